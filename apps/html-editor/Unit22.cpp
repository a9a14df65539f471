#include "apps/html-editor/Unit22.h"

#include "platform/classes/TypInfo.h"

TForm22* Form22 = nullptr;

void TForm22::Exit1Click(TObject*)
{
    Close();
}

TW_PUBLISH(TForm22, TForm)
{
    Cls.Field("Memo1", &TForm22::Memo1);
    Cls.Field("MainMenu1", &TForm22::MainMenu1);
    Cls.Handler("Exit1Click", &TForm22::Exit1Click);
}
