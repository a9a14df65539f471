#include "apps/html-editor/Unit8.h"

#include "platform/classes/TypInfo.h"

TForm8* Form8 = nullptr;

TW_PUBLISH(TForm8, TForm) {}
