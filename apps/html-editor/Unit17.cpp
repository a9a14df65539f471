#include "apps/html-editor/Unit17.h"

#include "platform/classes/TypInfo.h"

TForm17* Form17 = nullptr;

void TForm17::Exit1Click(TObject*)
{
    Close();
}

TW_PUBLISH(TForm17, TForm)
{
    Cls.Field("Panel1", &TForm17::Panel1);
    Cls.Field("SpeedButton1", &TForm17::SpeedButton1);
    Cls.Field("SpeedButton2", &TForm17::SpeedButton2);
    Cls.Field("SpeedButton3", &TForm17::SpeedButton3);
    Cls.Field("ColorMemo1", &TForm17::ColorMemo1);
    Cls.Field("OpenDialog1", &TForm17::OpenDialog1);
    Cls.Field("SaveDialog1", &TForm17::SaveDialog1);
    Cls.Field("MainMenu1", &TForm17::MainMenu1);
    Cls.Handler("Exit1Click", &TForm17::Exit1Click);
}
