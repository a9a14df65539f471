#include "apps/html-editor/Unit19.h"

#include "platform/classes/TypInfo.h"

TForm19* Form19 = nullptr;

TW_PUBLISH(TForm19, TForm) {}
