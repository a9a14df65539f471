#include "apps/script-editor/about.h"

#include "platform/classes/TypInfo.h"

Taboutbox* aboutbox = nullptr;

void Taboutbox::Button1Click(TObject*)
{
    Close();
}

TW_PUBLISH(Taboutbox, TForm)
{
    Cls.Field("Label3", &Taboutbox::Label3);
    Cls.Field("Label4", &Taboutbox::Label4);
    Cls.Field("Label7", &Taboutbox::Label7);
    Cls.Field("Label8", &Taboutbox::Label8);
    Cls.Handler("Button1Click", &Taboutbox::Button1Click);
}
