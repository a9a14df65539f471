#include "apps/html-editor/JsRef.h"

#include "platform/classes/TypInfo.h"

Tjsref* jsref = nullptr;

TW_PUBLISH(Tjsref, TForm) {}
