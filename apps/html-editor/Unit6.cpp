#include "apps/html-editor/Unit6.h"

#include "platform/classes/TypInfo.h"

TForm6* Form6 = nullptr;

TW_PUBLISH(TForm6, TForm) {}
