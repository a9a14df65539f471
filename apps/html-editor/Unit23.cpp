#include "apps/html-editor/Unit23.h"

#include "platform/classes/TypInfo.h"

TForm23* Form23 = nullptr;

TW_PUBLISH(TForm23, TForm) {}
