#include "apps/html-editor/Unit11.h"

#include "platform/classes/TypInfo.h"

TForm11* Form11 = nullptr;

TW_PUBLISH(TForm11, TForm) {}
