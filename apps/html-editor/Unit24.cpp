#include "apps/html-editor/Unit24.h"

#include "platform/classes/TypInfo.h"

TForm24* Form24 = nullptr;

TW_PUBLISH(TForm24, TForm) {}
