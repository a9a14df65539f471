#include "apps/html-editor/Unit25.h"

#include "platform/classes/TypInfo.h"

TForm25* Form25 = nullptr;

TW_PUBLISH(TForm25, TForm) {}
