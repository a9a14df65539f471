#include "apps/html-editor/Unit26.h"

#include "platform/classes/TypInfo.h"

TForm26* Form26 = nullptr;

TW_PUBLISH(TForm26, TForm) {}
