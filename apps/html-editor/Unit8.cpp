#include "apps/html-editor/Unit8.h"

#include "apps/html-editor/Unit1.h"
#include "platform/classes/TypInfo.h"

TForm8* Form8 = nullptr;

const std::vector<std::string>& TForm8::HtmlTemplate()
{
    static const std::vector<std::string> Lines = {"<HTML>",
                                                   "<HEAD>",
                                                   "<TITLE>",
                                                   "ADD TITLE HERE",
                                                   "</TITLE>",
                                                   "<!--PUT JAVASCRIPT HERE-->",
                                                   "<META NAME=GENERATOR CONTENT=\"TAMSEL PRO V1\">",
                                                   "</HEAD>",
                                                   "<BODY>",
                                                   "",
                                                   "",
                                                   "</BODY>",
                                                   "</HTML>"};
    return Lines;
}

const std::vector<std::string>& TForm8::JavaScriptTemplate()
{
    static const std::vector<std::string> Lines = {"<script language=\"JavaScript\">",
                                                   "<!-- Hide the script from old browsers --",
                                                   "",
                                                   "//CREATED WITH TAMSEL PRO",
                                                   "",
                                                   "//WWW.EXAMPLE.COM/TAMSEL/",
                                                   "",
                                                   "",
                                                   "",
                                                   "// -- End Hiding Here -->",
                                                   "</SCRIPT>"};
    return Lines;
}

void TForm8::StartFile(const std::vector<std::string>& Lines, const char* Status)
{
    TStrings* Main = Form1->main->Lines();
    Main->BeginUpdate();
    Main->Clear();
    for (const std::string& L : Lines)
        Main->Add(L);
    Main->EndUpdate();
    Form1->StatusBar1->SetSimpleText(Status);
    Close();
}

void TForm8::AdSpeedButton1Click(TObject*)
{
    StartFile({}, "New Text File");
}

void TForm8::AdSpeedButton2Click(TObject*)
{
    StartFile(JavaScriptTemplate(), "New JavaScript File");
}

void TForm8::AdSpeedButton3Click(TObject*)
{
    StartFile(HtmlTemplate(), "New HTML File");
}

TW_PUBLISH(TForm8, TForm)
{
    Cls.Field("Label1", &TForm8::Label1);
    Cls.Field("AdSpeedButton1", &TForm8::AdSpeedButton1);
    Cls.Field("AdSpeedButton2", &TForm8::AdSpeedButton2);
    Cls.Field("AdSpeedButton3", &TForm8::AdSpeedButton3);
    Cls.Handler("AdSpeedButton1Click", &TForm8::AdSpeedButton1Click);
    Cls.Handler("AdSpeedButton2Click", &TForm8::AdSpeedButton2Click);
    Cls.Handler("AdSpeedButton3Click", &TForm8::AdSpeedButton3Click);
}
