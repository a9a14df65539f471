#include "apps/html-editor/Unit33.h"

#include "platform/classes/TypInfo.h"

TForm33* Form33 = nullptr;

TW_PUBLISH(TForm33, TForm) {}
