#include "apps/html-editor/Unit21.h"

#include "platform/classes/TypInfo.h"

TForm21* Form21 = nullptr;

TW_PUBLISH(TForm21, TForm) {}
