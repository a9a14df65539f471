#include "apps/html-editor/Unit4.h"

#include "platform/classes/TypInfo.h"

TForm4* Form4 = nullptr;

void TForm4::Exit1Click(TObject*)
{
    Close();
}

TW_PUBLISH(TForm4, TForm)
{
    Cls.Field("MainMenu1", &TForm4::MainMenu1);
    Cls.Handler("Exit1Click", &TForm4::Exit1Click);
}
