#include "apps/script-editor/view.h"

#include "platform/classes/TypInfo.h"

Tviewclip* viewclip = nullptr;

void Tviewclip::Button1Click(TObject*)
{
    Close();
}

TW_PUBLISH(Tviewclip, TForm)
{
    Cls.Field("ClipboardViewer1", &Tviewclip::ClipboardViewer1);
    Cls.Field("Button1", &Tviewclip::Button1);
    Cls.Handler("Button1Click", &Tviewclip::Button1Click);
}
