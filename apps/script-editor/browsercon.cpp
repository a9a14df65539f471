#include "apps/script-editor/browsercon.h"

#include "apps/script-editor/Preview.h"
#include "platform/classes/TypInfo.h"
#include "platform/rtl/IniFiles.h"

Tbrowser* browser = nullptr;

void Tbrowser::FormActivate(TObject*)
{
    TIniFile Ini(BrowserIniName);
    FilenameEdit1->SetText(Ini.ReadString(BrowserSection, FirstBrowserKey, MissingBrowser));
    FilenameEdit2->SetText(Ini.ReadString(BrowserSection, SecondBrowserKey, MissingBrowser));
}

void Tbrowser::Button1Click(TObject*)
{
    TIniFile Ini(BrowserIniName);
    Ini.WriteString(BrowserSection, FirstBrowserKey, FilenameEdit1->Text());
    Ini.WriteString(BrowserSection, SecondBrowserKey, FilenameEdit2->Text());
    Close();
}

void Tbrowser::Button2Click(TObject*)
{
    Close();
}

TW_PUBLISH(Tbrowser, TForm)
{
    Cls.Field("FilenameEdit1", &Tbrowser::FilenameEdit1);
    Cls.Field("FilenameEdit2", &Tbrowser::FilenameEdit2);
    Cls.Handler("FormActivate", &Tbrowser::FormActivate);
    Cls.Handler("Button1Click", &Tbrowser::Button1Click);
    Cls.Handler("Button2Click", &Tbrowser::Button2Click);
}
