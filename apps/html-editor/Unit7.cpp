#include "apps/html-editor/Unit7.h"

#include "platform/classes/TypInfo.h"

TForm7* Form7 = nullptr;

TW_PUBLISH(TForm7, TForm)
{
    Cls.Field("Image1", &TForm7::Image1);
    Cls.Field("ClipboardViewer1", &TForm7::ClipboardViewer1);
}
