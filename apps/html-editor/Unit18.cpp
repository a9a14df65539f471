#include "apps/html-editor/Unit18.h"

#include "platform/classes/TypInfo.h"

TForm18* Form18 = nullptr;

TW_PUBLISH(TForm18, TForm) {}
