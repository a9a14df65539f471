#include "apps/html-editor/Unit28.h"

#include "platform/classes/TypInfo.h"

TForm28* Form28 = nullptr;

TW_PUBLISH(TForm28, TForm) {}
