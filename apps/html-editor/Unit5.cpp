#include "apps/html-editor/Unit5.h"

#include "platform/classes/TypInfo.h"

TForm5* Form5 = nullptr;

TW_PUBLISH(TForm5, TForm) {}
