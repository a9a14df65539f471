#include "apps/html-editor/Unit16.h"

#include "platform/classes/TypInfo.h"

TForm16* Form16 = nullptr;

TW_PUBLISH(TForm16, TForm) {}
