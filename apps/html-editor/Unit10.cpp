#include "apps/html-editor/Unit10.h"

#include "platform/classes/TypInfo.h"

TForm10* Form10 = nullptr;

TW_PUBLISH(TForm10, TForm) {}
