#include "apps/html-editor/Unit30.h"

#include "platform/classes/TypInfo.h"

TForm30* Form30 = nullptr;

TW_PUBLISH(TForm30, TForm) {}
