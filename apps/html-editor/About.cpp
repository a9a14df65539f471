#include "apps/html-editor/About.h"

#include "platform/classes/TypInfo.h"

Tabout* about = nullptr;

TW_PUBLISH(Tabout, TForm) {}
