#include "apps/html-editor/JsRef.h"

#include "platform/classes/TypInfo.h"

Tjsref* jsref = nullptr;

// Closing only hides it; the main window shows it again as it was.
void Tjsref::Button1Click(TObject*)
{
    Close();
}

TW_PUBLISH(Tjsref, TForm)
{
    Cls.Field("Image1", &Tjsref::Image1);
    Cls.Field("TreeView1", &Tjsref::TreeView1);
    Cls.Field("Button1", &Tjsref::Button1);
    Cls.Handler("Button1Click", &Tjsref::Button1Click);
}
