#include "apps/script-editor/Preview.h"

#include "apps/script-editor/Childwin.h"
#include "apps/script-editor/Main.h"
#include "platform/app/ShellApi.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/SysUtils.h"

std::string PreviewFileName(const std::string& Caption)
{
    // The root keeps its separator in ExtractFileDir, so it is added only where it is missing.
    return IncludeTrailingPathDelimiter(ExtractFileDir(Caption)) + "temp.html";
}

std::string TMainForm::WritePreviewFile()
{
    TMDIChild* Child = ActiveDocument();
    if (!Child)
        return {};
    // The text as shown goes out; the document itself stays unsaved and keeps its Modified flag.
    const std::string FileName = PreviewFileName(Child->Caption());
    Child->ColorMemo1->Lines()->SaveToFile(FileName);
    return FileName;
}

void TMainForm::PreviewInBrowser(const std::string& Key, const std::string& FailMessage)
{
    // Without a document there is nothing to show.
    const std::string FileName = WritePreviewFile();
    if (FileName.empty())
        return;
    TIniFile Ini(BrowserIniName);
    const std::string Exe = Ini.ReadString(BrowserSection, Key, MissingBrowser);
    // Program and file go unquoted, as the locations are stored. The missing-key default is
    // never started: it only marks a browser nobody has located.
    bool Started = false;
    if (Exe != MissingBrowser && !Trim(Exe).empty())
        Started = WinExec((Exe + " " + FileName).c_str(), SW_SHOWNORMAL) >= 32;
    if (!Started)
        MessageDlg(FailMessage, mtError, TMsgDlgButtons{mbOK}, 0);
}

void TMainForm::iebuttonClick(TObject*)
{
    PreviewInBrowser(FirstBrowserKey, "Failed to Execute Internet Explorer");
}

void TMainForm::ToolbarButton22Click(TObject*)
{
    PreviewInBrowser(SecondBrowserKey, "Failed to Execute Netscape Navigator");
}

void TMainForm::ToolbarButton21Click(TObject*)
{
    const std::string FileName = WritePreviewFile();
    if (!FileName.empty())
        ShellExecute(Handle(), "open", FileName.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void TMainForm::PreviewinDefaultBrowser1Click(TObject* Sender)
{
    ToolbarButton21Click(Sender);
}

void PublishPreviewMembers(TClassBuilder<TMainForm>& Cls)
{
    Cls.Handler("iebuttonClick", &TMainForm::iebuttonClick);
    Cls.Handler("ToolbarButton22Click", &TMainForm::ToolbarButton22Click);
    Cls.Handler("ToolbarButton21Click", &TMainForm::ToolbarButton21Click);
    Cls.Handler("PreviewinDefaultBrowser1Click", &TMainForm::PreviewinDefaultBrowser1Click);
}
