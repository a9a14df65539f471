#include "apps/html-editor/Unit3.h"

#include "platform/classes/TypInfo.h"

TForm3* Form3 = nullptr;

TW_PUBLISH(TForm3, TForm) {}
