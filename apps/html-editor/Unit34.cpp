#include "apps/html-editor/Unit34.h"

#include "platform/classes/TypInfo.h"

TForm34* Form34 = nullptr;

TW_PUBLISH(TForm34, TForm) {}
