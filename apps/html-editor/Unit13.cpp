#include "apps/html-editor/Unit13.h"

#include "platform/classes/TypInfo.h"

TForm13* Form13 = nullptr;

void TForm13::Button1Click(TObject*)
{
    Close();
}

TW_PUBLISH(TForm13, TForm)
{
    Cls.Field("Label1", &TForm13::Label1);
    Cls.Field("Button1", &TForm13::Button1);
    Cls.Handler("Button1Click", &TForm13::Button1Click);
}
