#include "apps/html-editor/Unit29.h"

#include "platform/classes/TypInfo.h"

TForm29* Form29 = nullptr;

TW_PUBLISH(TForm29, TForm) {}
