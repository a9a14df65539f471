#include "apps/script-editor/view.h"

#include "platform/classes/TypInfo.h"

Tviewclip* viewclip = nullptr;

void Tviewclip::Button1Click(TObject*)
{
    Close();
}

TW_PUBLISH(Tviewclip, TForm)
{
    Cls.Handler("Button1Click", &Tviewclip::Button1Click);
}
