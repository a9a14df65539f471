#include "apps/html-editor/Unit17.h"

#include "platform/classes/TypInfo.h"

TForm17* Form17 = nullptr;

// A cancelled dialog leaves the pane and the files alone.
void TForm17::OpenScript()
{
    if (OpenDialog1->Execute())
        ColorMemo1->Lines()->LoadFromFile(OpenDialog1->FileName);
}

void TForm17::SaveScript()
{
    if (SaveDialog1->Execute())
        ColorMemo1->Lines()->SaveToFile(SaveDialog1->FileName);
}

void TForm17::SpeedButton1Click(TObject*)
{
    ColorMemo1->Lines()->Clear();
}

void TForm17::SpeedButton2Click(TObject*)
{
    OpenScript();
}

void TForm17::SpeedButton3Click(TObject*)
{
    SaveScript();
}

void TForm17::Open1Click(TObject*)
{
    OpenScript();
}

void TForm17::Save1Click(TObject*)
{
    SaveScript();
}

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
    Cls.Handler("SpeedButton1Click", &TForm17::SpeedButton1Click);
    Cls.Handler("SpeedButton2Click", &TForm17::SpeedButton2Click);
    Cls.Handler("SpeedButton3Click", &TForm17::SpeedButton3Click);
    Cls.Handler("Open1Click", &TForm17::Open1Click);
    Cls.Handler("Save1Click", &TForm17::Save1Click);
    Cls.Handler("Exit1Click", &TForm17::Exit1Click);
}
