#include "apps/html-editor/Unit9.h"

#include "platform/app/ShellApi.h"
#include "platform/classes/TypInfo.h"

TForm9* Form9 = nullptr;

const char* const ViewerMakerAddress = "http://www.pellowan-soft.example/viewer/";

void TForm9::Label1Click(TObject*)
{
    ShellExecute(Handle(), "open", ViewerMakerAddress, nullptr, nullptr, SW_SHOWNORMAL);
}

TW_PUBLISH(TForm9, TForm)
{
    Cls.Field("GroupBox1", &TForm9::GroupBox1);
    Cls.Field("Memo1", &TForm9::Memo1);
    Cls.Field("Label1", &TForm9::Label1);
    Cls.Handler("Label1Click", &TForm9::Label1Click);
}
