#include "apps/html-editor/Unit1.h"

#include "apps/html-editor/About.h"
#include "apps/html-editor/HtmlForm.h"
#include "apps/html-editor/JsRef.h"
#include "apps/html-editor/Unit10.h"
#include "apps/html-editor/Unit11.h"
#include "apps/html-editor/Unit12.h"
#include "apps/html-editor/Unit14.h"
#include "apps/html-editor/Unit15.h"
#include "apps/html-editor/Unit16.h"
#include "apps/html-editor/Unit17.h"
#include "apps/html-editor/Unit18.h"
#include "apps/html-editor/Unit19.h"
#include "apps/html-editor/Unit21.h"
#include "apps/html-editor/Unit23.h"
#include "apps/html-editor/Unit24.h"
#include "apps/html-editor/Unit25.h"
#include "apps/html-editor/Unit26.h"
#include "apps/html-editor/Unit28.h"
#include "apps/html-editor/Unit29.h"
#include "apps/html-editor/Unit3.h"
#include "apps/html-editor/Unit30.h"
#include "apps/html-editor/Unit33.h"
#include "apps/html-editor/Unit34.h"
#include "apps/html-editor/Unit35.h"
#include "apps/html-editor/Unit36.h"
#include "apps/html-editor/Unit37.h"
#include "apps/html-editor/Unit38.h"
#include "apps/html-editor/Unit39.h"
#include "apps/html-editor/Unit40.h"
#include "apps/html-editor/Unit41.h"
#include "apps/html-editor/Unit5.h"
#include "apps/html-editor/Unit6.h"
#include "apps/html-editor/Unit7.h"
#include "apps/html-editor/Unit8.h"
#include "platform/app/Application.h"
#include "platform/app/Printers.h"
#include "platform/app/ShellApi.h"
#include "platform/classes/TypInfo.h"
#include "platform/graphics/Graphics.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TextIO.h"

TForm1* Form1 = nullptr;
TPrintDeviceAssign AssignPrintDevice = &AssignPrn;

const char* const TForm1::TamselSite = "https://www.example.com/tamsel/";
const char* const TForm1::JavaScriptReferenceSite =
    "https://developer.mozilla.org/en-US/docs/Web/JavaScript/Reference";
const char* const TForm1::JavaScriptTutorialSite = "https://www.w3schools.com/js/";
const char* const TForm1::JavaScriptGuideSite = "https://javascript.info/";

std::string StatusFileName(const std::string& FileName)
{
    return ExtractFileName(FileName);
}

// ---- Activation and close -------------------------------------------------------------------

// The settings are read afresh at every activation, so what the options window saved shows as
// soon as the main window is active again. A colour name that names no colour raises the
// conversion error here (the application reports it, with the key and the file); the keys after
// it stay as they were.
void TForm1::FormActivate(TObject*)
{
    TIniFile Ini(SettingsFileName);
    const std::string MainFont = Ini.ReadString("Editor", "MainFont", "Arial");
    const std::string MainColour = Ini.ReadString("Editor", "MainColour", "clblack");
    const std::string ToDoFont = Ini.ReadString("Editor", "ToDoFont", "Arial");
    const std::string ToDoColour = Ini.ReadString("Editor", "ToDoColour", "clblack");
    auto Colour = [&Ini](const char* Ident, const std::string& Name) {
        return Ini.ConvertValue("Editor", Ident, Name, [](const std::string& S) { return StringToColor(S); });
    };
    main->Font()->SetName(MainFont);
    main->Font()->SetColor(Colour("MainColour", MainColour));
    todo->Font()->SetName(ToDoFont);
    todo->Font()->SetColor(Colour("ToDoColour", ToDoColour));
}

// The logo splash stays until its timer, running since start-up, next ticks.
void TForm1::FormClose(TObject*, TCloseAction&)
{
    Form14->ShowModal();
}

// ---- Files ----------------------------------------------------------------------------------

void TForm1::OpenFile()
{
    if (!OpenDialog1->Execute())
        return;
    main->Lines()->LoadFromFile(OpenDialog1->FileName);
    StatusBar1->SetSimpleText(StatusFileName(OpenDialog1->FileName));
}

// The save dialog's name is cleared after each save, so every Save asks again; the name of the
// last open is not used (the open dialog is another one).
void TForm1::SaveFile()
{
    if (SaveDialog1->FileName.empty())
        SaveDialog1->Execute();
    if (SaveDialog1->FileName.empty())
        return;
    main->Lines()->SaveToFile(SaveDialog1->FileName);
    StatusBar1->SetSimpleText("File " + StatusFileName(SaveDialog1->FileName) + " open.");
    SaveDialog1->FileName.clear();
}

void TForm1::SaveFileAs()
{
    SaveDialog1->Execute();
    if (SaveDialog1->FileName.empty())
        return;
    main->Lines()->SaveToFile(SaveDialog1->FileName);
    StatusBar1->SetSimpleText("File " + StatusFileName(SaveDialog1->FileName) + " open.");
    SaveDialog1->FileName.clear();
}

void TForm1::TestFile()
{
    main->Lines()->SaveToFile(TestFileName);
    ShellExecute(Handle(), "open", TestFileName, nullptr, nullptr, SW_SHOWNORMAL);
}

// One print job in the pane's font. The job starts only once the dialog is confirmed, and is
// ended even when a line cannot be written, so a failed print never leaves the printer busy.
void TForm1::PrintFile()
{
    if (!PrintDialog1->Execute())
        return;
    TextFile Prn;
    AssignPrintDevice(Prn);
    Rewrite(Prn);
    try {
        Printer()->Canvas()->Font()->Assign(main->Font());
        TStrings* Lines = main->Lines();
        for (int I = 0; I < Lines->Count(); ++I)
            WriteLn(Prn, Lines->Strings(I));
    } catch (...) {
        try {
            CloseFile(Prn);
        } catch (...) {
            // The first error is the one worth reporting.
        }
        throw;
    }
    CloseFile(Prn);
}

void TForm1::OpenWebAddress(const char* Address)
{
    ShellExecute(Handle(), "open", Address, nullptr, nullptr, SW_SHOWNORMAL);
}

// ---- Toolbar --------------------------------------------------------------------------------

void TForm1::SpeedButton1Click(TObject*)
{
    Form8->ShowModal();
}
void TForm1::SpeedButton2Click(TObject*)
{
    OpenFile();
}
void TForm1::SpeedButton3Click(TObject*)
{
    SaveFile();
}
void TForm1::SpeedButton4Click(TObject*)
{
    SaveFileAs();
}
void TForm1::SpeedButton5Click(TObject*)
{
    main->CutToClipboard();
}
void TForm1::SpeedButton6Click(TObject*)
{
    main->CopyToClipboard();
}
void TForm1::SpeedButton7Click(TObject*)
{
    main->PasteFromClipboard();
}
void TForm1::SpeedButton8Click(TObject*)
{
    Form3->ShowModal();
}
void TForm1::SpeedButton9Click(TObject*)
{
    PrintFile();
}
void TForm1::SpeedButton10Click(TObject*)
{
    TestFile();
}
void TForm1::SpeedButton11Click(TObject*)
{
    Form17->ShowModal();
}
void TForm1::SpeedButton12Click(TObject*)
{
    Form5->ShowModal();
}
void TForm1::SpeedButton13Click(TObject*)
{
    jsref->Show();
}
void TForm1::AdSpeedButton6Click(TObject*)
{
    todo->CopyToClipboard();
}
void TForm1::AdSpeedButton7Click(TObject*)
{
    todo->PasteFromClipboard();
}

// ---- Menus ----------------------------------------------------------------------------------

void TForm1::Save1Click(TObject*)
{
    SaveFile();
}
void TForm1::SaveAs1Click(TObject*)
{
    SaveFileAs();
}
void TForm1::Print1Click(TObject*)
{
    PrintFile();
}
void TForm1::PrintSetup1Click(TObject*)
{
    PrinterSetupDialog1->Execute();
}
void TForm1::Test1Click(TObject*)
{
    TestFile();
}

void TForm1::Undo1Click(TObject*)
{
    if (main->HandleAllocated())
        main->Undo();
}

void TForm1::Cut1Click(TObject*)
{
    main->CutToClipboard();
}
void TForm1::Copy1Click(TObject*)
{
    main->CopyToClipboard();
}
void TForm1::Paste1Click(TObject*)
{
    main->PasteFromClipboard();
}
void TForm1::SelectAll1Click(TObject*)
{
    main->SelectAll();
}
void TForm1::Reference1Click(TObject*)
{
    jsref->Show();
}

void TForm1::Contents1Click(TObject*)
{
    Application->HelpCommand(HELP_CONTENTS, 0);
}

void TForm1::SearchfroHelpOn1Click(TObject*)
{
    static const char NoKey[] = "";
    Application->HelpCommand(HELP_PARTIALKEY, reinterpret_cast<LPARAM>(NoKey));
}

void TForm1::HowtoUseHelp1Click(TObject*)
{
    Application->HelpCommand(HELP_HELPONHELP, 0);
}
void TForm1::TamselontheWeb1Click(TObject*)
{
    OpenWebAddress(TamselSite);
}
void TForm1::JavaScriptLanguageReference1Click(TObject*)
{
    OpenWebAddress(JavaScriptReferenceSite);
}
void TForm1::JavaScriptTutorials1Click(TObject*)
{
    OpenWebAddress(JavaScriptTutorialSite);
}
void TForm1::ModernJavaScriptGuide1Click(TObject*)
{
    OpenWebAddress(JavaScriptGuideSite);
}

// ---- To-do pane -----------------------------------------------------------------------------

// A cancelled dialog counts as no file name, whatever name the dialog still holds.
void TForm1::SavetodoList1Click(TObject*)
{
    if (SaveDialog2->Execute() && !SaveDialog2->FileName.empty()) {
        // Through a plain list, so every line of the file ends with CR LF, the last one too.
        TStringList List;
        List.Assign(todo->Lines());
        List.SaveToFile(SaveDialog2->FileName);
    } else
        Application->MessageBox("No File Has Been Saved!", "No File Has Been Saved!",
                                MB_OK | MB_ICONQUESTION);
}

void TForm1::OpenOldToDoList1Click(TObject*)
{
    if (OpenDialog2->Execute() && !OpenDialog2->FileName.empty())
        todo->Lines()->LoadFromFile(OpenDialog2->FileName);
    else
        Application->MessageBox("No File Opened", "No File Opened", MB_OK | MB_ICONQUESTION);
}

void TForm1::Cut2Click(TObject*)
{
    todo->CutToClipboard();
}
void TForm1::Copy2Click(TObject*)
{
    todo->CopyToClipboard();
}
void TForm1::Paste2Click(TObject*)
{
    todo->PasteFromClipboard();
}
void TForm1::SelectAll2Click(TObject*)
{
    todo->SelectAll();
}
void TForm1::ClearAll1Click(TObject*)
{
    todo->Lines()->Clear();
}

// The tray's Close ends the program at once: the main window is not closed, so no splash.
void TForm1::Close1Click(TObject*)
{
    Application->Terminate();
}

// ---- Windows shown modally ------------------------------------------------------------------

void TForm1::New1Click(TObject*)
{
    Form8->ShowModal();
}
void TForm1::Find1Click(TObject*)
{
    Form3->ShowModal();
}
void TForm1::ViewClipboard1Click(TObject*)
{
    Form7->ShowModal();
}
void TForm1::AfterPagehasLoaded1Click(TObject*)
{
    Form19->ShowModal();
}
void TForm1::ButtonClick1Click(TObject*)
{
    Form15->ShowModal();
}
void TForm1::GoBackinHistory1Click(TObject*)
{
    Form12->ShowModal();
}
void TForm1::LinkAlert1Click(TObject*)
{
    Form16->ShowModal();
}
void TForm1::NewLocation1Click(TObject*)
{
    Form18->ShowModal();
}
void TForm1::Alert1Click(TObject*)
{
    Form15->ShowModal();
}
void TForm1::BackForward1Click(TObject*)
{
    Form25->ShowModal();
}
void TForm1::Link1Click(TObject*)
{
    Form24->ShowModal();
}
void TForm1::Reload1Click(TObject*)
{
    Form21->ShowModal();
}
void TForm1::ViewSource1Click(TObject*)
{
    Form26->ShowModal();
}
void TForm1::ClockandDate1Click(TObject*)
{
    Form35->ShowModal();
}
void TForm1::Clockinabox1Click(TObject*)
{
    Form36->ShowModal();
}
void TForm1::DigitalClockStatusBar1Click(TObject*)
{
    Form37->ShowModal();
}
void TForm1::BreakoutofFrame1Click(TObject*)
{
    Form23->ShowModal();
}
void TForm1::BrowserDiscrimination1Click(TObject*)
{
    Form33->ShowModal();
}
void TForm1::FakeFormatofCDrive1Click(TObject*)
{
    Form38->ShowModal();
}
void TForm1::LinkStatusDescription1Click(TObject*)
{
    Form30->ShowModal();
}
void TForm1::PageReferral1Click(TObject*)
{
    Form28->ShowModal();
}
void TForm1::PageUpdated1Click(TObject*)
{
    Form29->ShowModal();
}
void TForm1::RainbowLettering1Click(TObject*)
{
    Form39->ShowModal();
}
void TForm1::SimplePassword1Click(TObject*)
{
    Form10->ShowModal();
}
void TForm1::TypeWriterStatusScroller1Click(TObject*)
{
    Form40->ShowModal();
}
void TForm1::RandomQuote1Click(TObject*)
{
    Form34->ShowModal();
}
void TForm1::RandomStatusBar1Click(TObject*)
{
    Form41->ShowModal();
}
void TForm1::ColourPicker1Click(TObject*)
{
    Form5->ShowModal();
}
void TForm1::RunTwoScriptsonOnLoad1Click(TObject*)
{
    Form6->ShowModal();
}
void TForm1::Editor1Click(TObject*)
{
    Form11->ShowModal();
}
void TForm1::Scribe1Click(TObject*)
{
    Form17->ShowModal();
}
void TForm1::HTMLTutorial1Click(TObject*)
{
    htmlform->ShowModal();
}
void TForm1::About1Click(TObject*)
{
    about->ShowModal();
}
void TForm1::About2Click(TObject*)
{
    about->ShowModal();
}
void TForm1::AfterPagehasloaded2Click(TObject*)
{
    Form19->ShowModal();
}
void TForm1::ButtonClick2Click(TObject*)
{
    Form15->ShowModal();
}
void TForm1::GoBackinHistory2Click(TObject*)
{
    Form12->ShowModal();
}
void TForm1::LinkAlert2Click(TObject*)
{
    Form16->ShowModal();
}
void TForm1::NewLocation2Click(TObject*)
{
    Form18->ShowModal();
}
void TForm1::Alert2Click(TObject*)
{
    Form15->ShowModal();
}
void TForm1::BackForward2Click(TObject*)
{
    Form25->ShowModal();
}
void TForm1::Link2Click(TObject*)
{
    Form24->ShowModal();
}
void TForm1::Reload2Click(TObject*)
{
    Form21->ShowModal();
}
void TForm1::ViewSource2Click(TObject*)
{
    Form26->ShowModal();
}
void TForm1::ClockandDate2Click(TObject*)
{
    Form35->ShowModal();
}
void TForm1::ClockinaBox2Click(TObject*)
{
    Form36->ShowModal();
}
void TForm1::DigitalClockStatusBar2Click(TObject*)
{
    Form37->ShowModal();
}
void TForm1::BreakoutofFrame2Click(TObject*)
{
    Form23->ShowModal();
}
void TForm1::BrowserDiscrimination2Click(TObject*)
{
    Form33->ShowModal();
}
void TForm1::FakeFormatofCDrive2Click(TObject*)
{
    Form38->ShowModal();
}
void TForm1::LinkStatusDescription2Click(TObject*)
{
    Form30->ShowModal();
}
void TForm1::PageReferral2Click(TObject*)
{
    Form28->ShowModal();
}
void TForm1::PageUpdated2Click(TObject*)
{
    Form29->ShowModal();
}
void TForm1::RainbowLettering2Click(TObject*)
{
    Form39->ShowModal();
}
void TForm1::SimplePassword2Click(TObject*)
{
    Form10->ShowModal();
}
void TForm1::TypeWriterStatusScroller2Click(TObject*)
{
    Form40->ShowModal();
}
void TForm1::RandomQuote2Click(TObject*)
{
    Form34->ShowModal();
}
void TForm1::RandomStatusBar2Click(TObject*)
{
    Form41->ShowModal();
}

TW_PUBLISH(TForm1, TForm)
{
    Cls.Field("Panel1", &TForm1::Panel1);
    Cls.Field("SpeedButton1", &TForm1::SpeedButton1);
    Cls.Field("SpeedButton2", &TForm1::SpeedButton2);
    Cls.Field("SpeedButton3", &TForm1::SpeedButton3);
    Cls.Field("SpeedButton4", &TForm1::SpeedButton4);
    Cls.Field("SpeedButton5", &TForm1::SpeedButton5);
    Cls.Field("SpeedButton6", &TForm1::SpeedButton6);
    Cls.Field("SpeedButton7", &TForm1::SpeedButton7);
    Cls.Field("SpeedButton8", &TForm1::SpeedButton8);
    Cls.Field("SpeedButton9", &TForm1::SpeedButton9);
    Cls.Field("SpeedButton10", &TForm1::SpeedButton10);
    Cls.Field("SpeedButton11", &TForm1::SpeedButton11);
    Cls.Field("SpeedButton12", &TForm1::SpeedButton12);
    Cls.Field("SpeedButton13", &TForm1::SpeedButton13);
    Cls.Field("main", &TForm1::main);
    Cls.Field("Panel2", &TForm1::Panel2);
    Cls.Field("Label1", &TForm1::Label1);
    Cls.Field("AdSpeedButton6", &TForm1::AdSpeedButton6);
    Cls.Field("AdSpeedButton7", &TForm1::AdSpeedButton7);
    Cls.Field("TabbedNotebook1", &TForm1::TabbedNotebook1);
    Cls.Field("todo", &TForm1::todo);
    Cls.Field("StatusBar1", &TForm1::StatusBar1);
    Cls.Field("OpenDialog1", &TForm1::OpenDialog1);
    Cls.Field("SaveDialog1", &TForm1::SaveDialog1);
    Cls.Field("SaveDialog2", &TForm1::SaveDialog2);
    Cls.Field("OpenDialog2", &TForm1::OpenDialog2);
    Cls.Field("PrintDialog1", &TForm1::PrintDialog1);
    Cls.Field("PrinterSetupDialog1", &TForm1::PrinterSetupDialog1);
    Cls.Field("BalloonHint1", &TForm1::BalloonHint1);
    Cls.Field("AdTrayIcon1", &TForm1::AdTrayIcon1);
    Cls.Field("MainMenu1", &TForm1::MainMenu1);
    Cls.Field("PopupMenu1", &TForm1::PopupMenu1);
    Cls.Field("PopupMenu2", &TForm1::PopupMenu2);
    Cls.Field("alerts", &TForm1::alerts);
    Cls.Field("buttons", &TForm1::buttons);
    Cls.Field("clock", &TForm1::clock);
    Cls.Field("misc", &TForm1::misc);
    Cls.Field("random", &TForm1::random);
    Cls.Handler("FormActivate", &TForm1::FormActivate);
    Cls.Handler("FormClose", &TForm1::FormClose);
    Cls.Handler("SpeedButton1Click", &TForm1::SpeedButton1Click);
    Cls.Handler("SpeedButton2Click", &TForm1::SpeedButton2Click);
    Cls.Handler("SpeedButton3Click", &TForm1::SpeedButton3Click);
    Cls.Handler("SpeedButton4Click", &TForm1::SpeedButton4Click);
    Cls.Handler("SpeedButton5Click", &TForm1::SpeedButton5Click);
    Cls.Handler("SpeedButton6Click", &TForm1::SpeedButton6Click);
    Cls.Handler("SpeedButton7Click", &TForm1::SpeedButton7Click);
    Cls.Handler("SpeedButton8Click", &TForm1::SpeedButton8Click);
    Cls.Handler("SpeedButton9Click", &TForm1::SpeedButton9Click);
    Cls.Handler("SpeedButton10Click", &TForm1::SpeedButton10Click);
    Cls.Handler("SpeedButton11Click", &TForm1::SpeedButton11Click);
    Cls.Handler("SpeedButton12Click", &TForm1::SpeedButton12Click);
    Cls.Handler("SpeedButton13Click", &TForm1::SpeedButton13Click);
    Cls.Handler("AdSpeedButton6Click", &TForm1::AdSpeedButton6Click);
    Cls.Handler("AdSpeedButton7Click", &TForm1::AdSpeedButton7Click);
    Cls.Handler("New1Click", &TForm1::New1Click);
    Cls.Handler("Save1Click", &TForm1::Save1Click);
    Cls.Handler("SaveAs1Click", &TForm1::SaveAs1Click);
    Cls.Handler("Print1Click", &TForm1::Print1Click);
    Cls.Handler("PrintSetup1Click", &TForm1::PrintSetup1Click);
    Cls.Handler("Find1Click", &TForm1::Find1Click);
    Cls.Handler("Test1Click", &TForm1::Test1Click);
    Cls.Handler("Undo1Click", &TForm1::Undo1Click);
    Cls.Handler("Cut1Click", &TForm1::Cut1Click);
    Cls.Handler("Copy1Click", &TForm1::Copy1Click);
    Cls.Handler("Paste1Click", &TForm1::Paste1Click);
    Cls.Handler("SelectAll1Click", &TForm1::SelectAll1Click);
    Cls.Handler("ViewClipboard1Click", &TForm1::ViewClipboard1Click);
    Cls.Handler("AfterPagehasLoaded1Click", &TForm1::AfterPagehasLoaded1Click);
    Cls.Handler("ButtonClick1Click", &TForm1::ButtonClick1Click);
    Cls.Handler("GoBackinHistory1Click", &TForm1::GoBackinHistory1Click);
    Cls.Handler("LinkAlert1Click", &TForm1::LinkAlert1Click);
    Cls.Handler("NewLocation1Click", &TForm1::NewLocation1Click);
    Cls.Handler("Alert1Click", &TForm1::Alert1Click);
    Cls.Handler("BackForward1Click", &TForm1::BackForward1Click);
    Cls.Handler("Link1Click", &TForm1::Link1Click);
    Cls.Handler("Reload1Click", &TForm1::Reload1Click);
    Cls.Handler("ViewSource1Click", &TForm1::ViewSource1Click);
    Cls.Handler("ClockandDate1Click", &TForm1::ClockandDate1Click);
    Cls.Handler("Clockinabox1Click", &TForm1::Clockinabox1Click);
    Cls.Handler("DigitalClockStatusBar1Click", &TForm1::DigitalClockStatusBar1Click);
    Cls.Handler("BreakoutofFrame1Click", &TForm1::BreakoutofFrame1Click);
    Cls.Handler("BrowserDiscrimination1Click", &TForm1::BrowserDiscrimination1Click);
    Cls.Handler("FakeFormatofCDrive1Click", &TForm1::FakeFormatofCDrive1Click);
    Cls.Handler("LinkStatusDescription1Click", &TForm1::LinkStatusDescription1Click);
    Cls.Handler("PageReferral1Click", &TForm1::PageReferral1Click);
    Cls.Handler("PageUpdated1Click", &TForm1::PageUpdated1Click);
    Cls.Handler("RainbowLettering1Click", &TForm1::RainbowLettering1Click);
    Cls.Handler("SimplePassword1Click", &TForm1::SimplePassword1Click);
    Cls.Handler("TypeWriterStatusScroller1Click", &TForm1::TypeWriterStatusScroller1Click);
    Cls.Handler("RandomQuote1Click", &TForm1::RandomQuote1Click);
    Cls.Handler("RandomStatusBar1Click", &TForm1::RandomStatusBar1Click);
    Cls.Handler("ColourPicker1Click", &TForm1::ColourPicker1Click);
    Cls.Handler("RunTwoScriptsonOnLoad1Click", &TForm1::RunTwoScriptsonOnLoad1Click);
    Cls.Handler("Editor1Click", &TForm1::Editor1Click);
    Cls.Handler("Reference1Click", &TForm1::Reference1Click);
    Cls.Handler("Scribe1Click", &TForm1::Scribe1Click);
    Cls.Handler("Contents1Click", &TForm1::Contents1Click);
    Cls.Handler("SearchfroHelpOn1Click", &TForm1::SearchfroHelpOn1Click);
    Cls.Handler("HowtoUseHelp1Click", &TForm1::HowtoUseHelp1Click);
    Cls.Handler("HTMLTutorial1Click", &TForm1::HTMLTutorial1Click);
    Cls.Handler("TamselontheWeb1Click", &TForm1::TamselontheWeb1Click);
    Cls.Handler("JavaScriptLanguageReference1Click", &TForm1::JavaScriptLanguageReference1Click);
    Cls.Handler("JavaScriptTutorials1Click", &TForm1::JavaScriptTutorials1Click);
    Cls.Handler("ModernJavaScriptGuide1Click", &TForm1::ModernJavaScriptGuide1Click);
    Cls.Handler("About1Click", &TForm1::About1Click);
    Cls.Handler("SavetodoList1Click", &TForm1::SavetodoList1Click);
    Cls.Handler("OpenOldToDoList1Click", &TForm1::OpenOldToDoList1Click);
    Cls.Handler("Cut2Click", &TForm1::Cut2Click);
    Cls.Handler("Copy2Click", &TForm1::Copy2Click);
    Cls.Handler("Paste2Click", &TForm1::Paste2Click);
    Cls.Handler("SelectAll2Click", &TForm1::SelectAll2Click);
    Cls.Handler("ClearAll1Click", &TForm1::ClearAll1Click);
    Cls.Handler("About2Click", &TForm1::About2Click);
    Cls.Handler("Close1Click", &TForm1::Close1Click);
    Cls.Handler("AfterPagehasloaded2Click", &TForm1::AfterPagehasloaded2Click);
    Cls.Handler("ButtonClick2Click", &TForm1::ButtonClick2Click);
    Cls.Handler("GoBackinHistory2Click", &TForm1::GoBackinHistory2Click);
    Cls.Handler("LinkAlert2Click", &TForm1::LinkAlert2Click);
    Cls.Handler("NewLocation2Click", &TForm1::NewLocation2Click);
    Cls.Handler("Alert2Click", &TForm1::Alert2Click);
    Cls.Handler("BackForward2Click", &TForm1::BackForward2Click);
    Cls.Handler("Link2Click", &TForm1::Link2Click);
    Cls.Handler("Reload2Click", &TForm1::Reload2Click);
    Cls.Handler("ViewSource2Click", &TForm1::ViewSource2Click);
    Cls.Handler("ClockandDate2Click", &TForm1::ClockandDate2Click);
    Cls.Handler("ClockinaBox2Click", &TForm1::ClockinaBox2Click);
    Cls.Handler("DigitalClockStatusBar2Click", &TForm1::DigitalClockStatusBar2Click);
    Cls.Handler("BreakoutofFrame2Click", &TForm1::BreakoutofFrame2Click);
    Cls.Handler("BrowserDiscrimination2Click", &TForm1::BrowserDiscrimination2Click);
    Cls.Handler("FakeFormatofCDrive2Click", &TForm1::FakeFormatofCDrive2Click);
    Cls.Handler("LinkStatusDescription2Click", &TForm1::LinkStatusDescription2Click);
    Cls.Handler("PageReferral2Click", &TForm1::PageReferral2Click);
    Cls.Handler("PageUpdated2Click", &TForm1::PageUpdated2Click);
    Cls.Handler("RainbowLettering2Click", &TForm1::RainbowLettering2Click);
    Cls.Handler("SimplePassword2Click", &TForm1::SimplePassword2Click);
    Cls.Handler("TypeWriterStatusScroller2Click", &TForm1::TypeWriterStatusScroller2Click);
    Cls.Handler("RandomQuote2Click", &TForm1::RandomQuote2Click);
    Cls.Handler("RandomStatusBar2Click", &TForm1::RandomStatusBar2Click);
}
