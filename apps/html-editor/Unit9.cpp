#include "apps/html-editor/Unit9.h"

#include "platform/classes/TypInfo.h"

TForm9* Form9 = nullptr;

TW_PUBLISH(TForm9, TForm) {}
