#include "apps/html-editor/Unit13.h"

#include "platform/classes/TypInfo.h"

TForm13* Form13 = nullptr;

TW_PUBLISH(TForm13, TForm) {}
