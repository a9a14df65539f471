#include "apps/html-editor/Unit15.h"

#include "platform/classes/TypInfo.h"

TForm15* Form15 = nullptr;

TW_PUBLISH(TForm15, TForm) {}
