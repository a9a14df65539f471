#include "apps/html-editor/HtmlForm.h"

#include "platform/classes/TypInfo.h"

Thtmlform* htmlform = nullptr;

TW_PUBLISH(Thtmlform, TForm) {}
