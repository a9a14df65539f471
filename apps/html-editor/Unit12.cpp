#include "apps/html-editor/Unit12.h"

#include "platform/classes/TypInfo.h"

TForm12* Form12 = nullptr;

TW_PUBLISH(TForm12, TForm) {}
