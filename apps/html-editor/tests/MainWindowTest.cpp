// The whole program as it starts: the windows made in their order, the main window's panes,
// settings, files, printing, preview, the to-do pane, the colouring of the document pane by
// the pixels it shows, and the two ways the program ends.
#include "apps/html-editor/TamselStartup.h"
#include "apps/html-editor/Unit1.h"
#include "apps/html-editor/Unit11.h"
#include "apps/html-editor/Unit14.h"
#include "apps/html-editor/Unit17.h"
#include "apps/html-editor/Unit29.h"
#include "apps/html-editor/Unit7.h"
#include "platform/app/Clipbrd.h"
#include "platform/app/Printers.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/SysUtils.h"
#include "platform/testing/AppTesting.h"
#include "platform/testing/TestSupport.h"
#include "platform/testing/WinTesting.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <unistd.h>

using namespace testing_support;

namespace {

class MainWindow : public testing::Test {
protected:
    TAppTest Fixture;
    std::string Dir;
    int SplashShows = 0;

    void SetUp() override
    {
        SetProgramName("tamsel");
        Dir = MakeTempDir("tamsel");
        RunUnitStartups();
        CreateTamselForms();
        Form14->OnShow = [this](TObject*) { ++SplashShows; };
    }
    void TearDown() override { SetWaitHandler(nullptr); }

    void ShowMain()
    {
        Form1->Show();
        ProcessMessages();
    }
    void WriteSettings(const std::string& Text) { WriteFileBytes(MapPath(SettingsFileName), Text); }
    std::string Path(const std::string& Name) const { return Dir + "/" + Name; }
    // The items of a menu, depth first, leaves only.
    static void Leaves(TMenuItem* Item, std::vector<TMenuItem*>& Out)
    {
        if (Item->Count() == 0) {
            Out.push_back(Item);
            return;
        }
        for (int I = 0; I < Item->Count(); ++I)
            Leaves(Item->Items(I), Out);
    }
    TMenuItem* FindItem(TComponent* Owner, const std::string& Name)
    {
        return dynamic_cast<TMenuItem*>(Owner->FindComponent(Name));
    }
};

TEST_F(MainWindow, StartUpMakesTheWindowsInOrderWithTheMainWindowFirst)
{
    ASSERT_EQ(Application->MainForm(), Form1);
    EXPECT_EQ(Application->Title(), "Tamsel Pro V1");
    EXPECT_EQ(Application->HelpFile, "Help.hlp");
    const std::vector<std::string> Order = {
        "TForm1",  "Tabout",  "TForm3",  "TForm4",    "TForm5",  "TForm6",  "TForm7",  "TForm8",
        "TForm9",  "TForm10", "TForm11", "TForm12",   "TForm13", "TForm14", "TForm15", "TForm16",
        "TForm17", "TForm18", "TForm19", "Thtmlform", "Tjsref",  "TForm21", "TForm22", "TForm23",
        "TForm24", "TForm25", "TForm26", "TForm28",   "TForm29", "TForm30", "TForm33", "TForm34",
        "TForm35", "TForm36", "TForm37", "TForm38",   "TForm39", "TForm40", "TForm41"};
    std::vector<std::string> Made;
    for (int I = 0; I < Application->ComponentCount(); ++I)
        if (auto* F = dynamic_cast<TCustomForm*>(Application->Components(I)))
            Made.push_back(F->ClassName());
    EXPECT_EQ(Made, Order);
    EXPECT_EQ(Form1->Caption(), "Tamsel Pro Version 1");
    EXPECT_EQ(Form1->WindowState(), wsMaximized);
    EXPECT_EQ(Form14->Timer1->Interval(), 5000u);
    EXPECT_TRUE(Form14->Timer1->Enabled());
    EXPECT_EQ(Form14->BorderStyle(), bsNone);
}

TEST_F(MainWindow, MainWindowHoldsItsPanesGalleryAndStatus)
{
    ShowMain();
    EXPECT_EQ(Form1->StatusBar1->SimpleText(), "No File Open.");
    EXPECT_TRUE(Form1->StatusBar1->SimplePanel());
    ASSERT_EQ(Form1->main->ColorRules()->Count(), 5);
    EXPECT_EQ(Form1->main->ColorRules()->Items(2)->KeyBegEndLst()->Strings(0), "<;>;blue");
    EXPECT_EQ(Form1->main->ColorRules()->Items(4)->Keywords()->Count(), 15);
    EXPECT_EQ(Form1->todo->ColorRules()->Count(), 0);
    EXPECT_EQ(Form1->main->Lines()->Count(), 1);
    EXPECT_FALSE(Form1->main->WordWrap());
    EXPECT_FALSE(Form1->main->HotSpot()->Active);
    EXPECT_EQ(Form1->main->Font()->Height(), -16);
    EXPECT_EQ(Form1->todo->PopupMenu(), Form1->PopupMenu1);
    EXPECT_EQ(Form1->todo->ScrollBars(), ssBoth);
    EXPECT_EQ(Form1->TabbedNotebook1->PageCount(), 5);
    EXPECT_EQ(Form1->TabbedNotebook1->PageIndex(), 3);
    EXPECT_EQ(Form1->TabbedNotebook1->ActivePage(), "Script - Misc");
    EXPECT_EQ(Form1->AdTrayIcon1->PopupMenu(), Form1->PopupMenu2);
    const std::vector<std::pair<TSpeedButton*, std::string>> Hints = {
        {Form1->SpeedButton1, "New File"},
        {Form1->SpeedButton2, "Open File"},
        {Form1->SpeedButton3, "Save"},
        {Form1->SpeedButton4, "Save As"},
        {Form1->SpeedButton5, "Cut"},
        {Form1->SpeedButton6, "Copy"},
        {Form1->SpeedButton7, "Paste"},
        {Form1->SpeedButton8, "Find HTML File"},
        {Form1->SpeedButton9, "Print"},
        {Form1->SpeedButton10, "Test"},
        {Form1->SpeedButton11, "Javascript Scribe"},
        {Form1->SpeedButton12, "Colour Picker"},
        {Form1->SpeedButton13, "JavaScript Ref."}};
    for (const auto& [Button, Hint] : Hints) {
        EXPECT_EQ(Button->Hint(), Hint);
        EXPECT_TRUE(Button->OnClick) << Hint;
        EXPECT_FALSE(Button->Glyph()->Empty()) << Hint;
    }
}

TEST_F(MainWindow, EveryMenuCommandIsBoundExceptOpenAndExit)
{
    std::vector<TMenuItem*> Items;
    for (TMenu* Menu :
         std::vector<TMenu*>{Form1->MainMenu1, Form1->PopupMenu1, Form1->PopupMenu2, Form1->alerts,
                             Form1->buttons, Form1->clock, Form1->misc, Form1->random})
        Leaves(Menu->Items(), Items);
    int Bound = 0;
    for (TMenuItem* Item : Items) {
        if (Item->Caption() == "-")
            continue;
        if (Item == FindItem(Form1, "Open1") || Item == FindItem(Form1, "Exit1"))
            EXPECT_FALSE(Item->OnClick) << Item->Name();
        else {
            EXPECT_TRUE(Item->OnClick) << Item->Name();
            ++Bound;
        }
    }
    EXPECT_GT(Bound, 80);
    EXPECT_FALSE(FindItem(Form1, "ClockandDate1")->Enabled());
    EXPECT_FALSE(FindItem(Form1, "RandomStatusBar2")->Enabled());
    EXPECT_FALSE(FindItem(Form1, "RunTwoScriptsonOnLoad1")->Enabled());
}

// ---- Settings ---------------------------------------------------------------------------------

TEST_F(MainWindow, FirstStartWithoutSettingsGivesArialBlackInBothPanes)
{
    // The old Windows name lands in the program's own settings directory.
    EXPECT_EQ(MapPath(SettingsFileName), ConfigDir() + "/tamsel/tqini.ini");
    ASSERT_FALSE(std::filesystem::exists(MapPath(SettingsFileName)));
    ShowMain();
    EXPECT_EQ(Form1->main->Font()->Name(), "Arial");
    EXPECT_EQ(Form1->main->Font()->Color(), clBlack);
    EXPECT_EQ(Form1->todo->Font()->Name(), "Arial");
    EXPECT_EQ(Form1->todo->Font()->Color(), clBlack);
}

TEST_F(MainWindow, SettingsKeysChangeTheFontsAtTheNextActivation)
{
    ShowMain();
    WriteSettings("[Editor]\r\nMainFont=Courier New\r\nMainColour=clNavy\r\nToDoFont=Times New Roman\r\n"
                  "ToDoColour=clRed\r\n");
    EXPECT_EQ(Form1->main->Font()->Name(), "Arial"); // not before the window is active again
    Form1->Deactivate();
    Form1->Activate();
    EXPECT_EQ(Form1->main->Font()->Name(), "Courier New");
    EXPECT_EQ(Form1->main->Font()->Color(), clNavy);
    EXPECT_EQ(Form1->todo->Font()->Name(), "Times New Roman");
    EXPECT_EQ(Form1->todo->Font()->Color(), clRed);
}

TEST_F(MainWindow, BadColourNameIsReportedOnceAndLeavesTheRestAndTheDocument)
{
    WriteSettings(
        "[Editor]\r\nMainFont=Courier New\r\nMainColour=clNoSuchColour\r\nToDoFont=Times New Roman\r\n");
    Fixture.Dialogs.ExpectMessageBox(IDOK, "clNoSuchColour");
    ShowMain();
    Form1->main->SetText("<p>kept</p>");
    ProcessMessages();
    ASSERT_EQ(Fixture.Dialogs.Records().size(), 1u);
    // The report says where the bad name stands.
    const std::string& Report = Fixture.Dialogs.Records()[0].Text;
    EXPECT_NE(Report.find("MainColour"), std::string::npos) << Report;
    EXPECT_NE(Report.find(MapPath(SettingsFileName)), std::string::npos) << Report;
    EXPECT_EQ(Form1->main->Font()->Name(), "Courier New");
    EXPECT_EQ(Form1->todo->Font()->Name(), "Arial"); // the key after the bad colour is not applied
    EXPECT_EQ(Form1->main->Text(), "<p>kept</p>");

    // Focus coming back from the box is no new activation: no second box, so no endless chain.
    SendMessage(Form1->Handle(), WM_ACTIVATE, WA_INACTIVE, 0);
    SendMessage(Form1->Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
    ProcessMessages();
    EXPECT_EQ(Fixture.Dialogs.Records().size(), 1u);

    // Coming back from another of the program's windows is one: one more report, and only one.
    Fixture.Dialogs.ExpectMessageBox(IDOK, "clNoSuchColour");
    SetWaitHandler([&] {
        if (Form29->Visible())
            PostMessage(Form29->Handle(), WM_CLOSE, 0, 0);
        return true;
    });
    Form1->PageUpdated1Click(nullptr);
    SetWaitHandler(nullptr);
    ProcessMessages();
    EXPECT_EQ(Fixture.Dialogs.Records().size(), 2u);
    EXPECT_EQ(Fixture.Dialogs.Pending(), 0u);
    EXPECT_EQ(Form1->main->Text(), "<p>kept</p>");
}

// ---- Files --------------------------------------------------------------------------------------

TEST_F(MainWindow, OpenShowsTheNameAndSaveAfterOpenAsksForAName)
{
    ShowMain();
    WriteFileBytes(Path("page.html"), "<HTML>\r\n<BODY>hello</BODY>\r\n");
    Fixture.Dialogs.ExpectOpenFile(Path("page.html"));
    ClickControl(Form1->SpeedButton2, 5, 5);
    EXPECT_EQ(Form1->main->Lines()->Strings(1), "<BODY>hello</BODY>");
    EXPECT_EQ(Form1->StatusBar1->SimpleText(), "page.html");

    Fixture.Dialogs.ExpectSaveFile(Path("copy.html"));
    Form1->Save1Click(nullptr);
    ASSERT_EQ(Fixture.Dialogs.Records().size(), 2u);
    EXPECT_EQ(Fixture.Dialogs.Records()[1].Kind, TDialogKind::SaveFile);
    EXPECT_EQ(ReadFileBytes(Path("copy.html")), "<HTML>\r\n<BODY>hello</BODY>\r\n");
    EXPECT_EQ(Form1->StatusBar1->SimpleText(), "File copy.html open.");
    // The name is not kept: the next Save asks again (a cancel then saves nothing).
    Fixture.Dialogs.ExpectSaveFile("");
    Form1->Save1Click(nullptr);
    EXPECT_EQ(Fixture.Dialogs.Records().size(), 3u);
    EXPECT_EQ(Form1->StatusBar1->SimpleText(), "File copy.html open.");
}

TEST_F(MainWindow, UnwritableFileIsReportedAndThePaneKeepsItsText)
{
    ShowMain();
    Form1->main->SetText("<P>unsaved</P>");
    Fixture.Dialogs.ExpectSaveFile(Path("no-such-dir/page.html"));
    Fixture.Dialogs.ExpectMessageBox(IDOK);
    ClickControl(Form1->SpeedButton3, 5, 5);
    ASSERT_EQ(Fixture.Dialogs.Records().size(), 2u);
    EXPECT_EQ(Fixture.Dialogs.Records()[1].Kind, TDialogKind::MessageBox);
    EXPECT_EQ(Form1->main->Text(), "<P>unsaved</P>");
    EXPECT_EQ(Form1->StatusBar1->SimpleText(), "No File Open.");
}

// Every file command whose file cannot be read or written: the application's error box, and
// both panes and the status bar as they were.
TEST_F(MainWindow, FileErrorsAreReportedAndThePanesKeepTheirText)
{
    struct TCase {
        const char* What;
        std::function<void()> Answer; // queues the dialog answers that lead to the failure
        std::function<void()> Run;    // the command, as the user gives it
    };
    const std::string Missing = Path("missing.html");
    const std::string NoDir = Path("no-such-dir/list.tdo");
    const std::string Gone = Path("gone");
    const std::string Binary = Path("tool.bin");
    WriteFileBytes(Binary, std::string("\x7f"
                                       "ELF\0\0\1",
                                       7));
    // The to-do commands come from the pane's own pop-up menu.
    auto Popup = [this](const char* Caption) {
        return [this, Caption] {
            Fixture.MenuChoices.ExpectChoice({Caption});
            ClickControl(Form1->todo, 20, 20, true);
            ProcessMessages();
        };
    };
    const std::vector<TCase> Cases = {
        {"open a missing file", [&] { Fixture.Dialogs.ExpectOpenFile(Missing); },
         [] { ClickControl(Form1->SpeedButton2, 5, 5); }},
        {"open a file holding NUL bytes", [&] { Fixture.Dialogs.ExpectOpenFile(Binary); },
         [] { ClickControl(Form1->SpeedButton2, 5, 5); }},
        {"save as into a missing directory",
         [&] { Fixture.Dialogs.ExpectSaveFile(Path("no-such-dir/a.html")); },
         [] { ClickControl(Form1->SpeedButton4, 5, 5); }},
        {"test where the current directory is gone", [] {}, [] { ClickControl(Form1->SpeedButton10, 5, 5); }},
        {"save the to-do list into a missing directory", [&] { Fixture.Dialogs.ExpectSaveFile(NoDir); },
         Popup("Save ToDo List...")},
        {"open a missing to-do list", [&] { Fixture.Dialogs.ExpectOpenFile(Path("missing.tdo")); },
         Popup("Open Old ToDo List...")},
    };
    ShowMain();
    struct TBackHome {
        std::string Dir = std::filesystem::current_path().string();
        ~TBackHome() { EXPECT_EQ(chdir(Dir.c_str()), 0); }
    } BackHome;
    std::filesystem::create_directory(Gone);
    ASSERT_EQ(chdir(Gone.c_str()), 0);
    std::filesystem::remove(Gone);
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.What);
        Form1->main->SetText("<P>document</P>");
        Form1->todo->SetText("to do\r\n");
        const std::size_t Before = Fixture.Dialogs.Records().size();
        C.Answer();
        Fixture.Dialogs.ExpectMessageBox(IDOK);
        C.Run();
        ASSERT_EQ(Fixture.Dialogs.Pending(), 0u);
        EXPECT_EQ(Fixture.Dialogs.Records().back().Kind, TDialogKind::MessageBox);
        EXPECT_EQ(Fixture.Dialogs.Records().back().Flags & MB_ICONMASK, static_cast<UINT>(MB_ICONHAND));
        EXPECT_GT(Fixture.Dialogs.Records().size(), Before);
        EXPECT_EQ(Form1->main->Text(), "<P>document</P>");
        EXPECT_EQ(Form1->todo->Text(), "to do\r\n");
        EXPECT_EQ(Form1->StatusBar1->SimpleText(), "No File Open.");
    }
    EXPECT_TRUE(Fixture.Recorder.Calls().empty()); // a page that was not written is not shown
}

TEST_F(MainWindow, SaveAsAlwaysAsksAndPrintSetupShowsTheSetupDialog)
{
    ShowMain();
    Form1->main->SetText("<HR>");
    // A name already in the dialog is used by Save without asking, but Save As asks.
    Form1->SaveDialog1->FileName = Path("first.html");
    Form1->Save1Click(nullptr);
    EXPECT_TRUE(Fixture.Dialogs.Records().empty());
    EXPECT_EQ(ReadFileBytes(Path("first.html")), "<HR>");
    Form1->SaveDialog1->FileName = Path("first.html");
    Fixture.Dialogs.ExpectSaveFile(Path("second.html"));
    Form1->SaveAs1Click(nullptr);
    ASSERT_EQ(Fixture.Dialogs.Records().size(), 1u);
    EXPECT_EQ(ReadFileBytes(Path("second.html")), "<HR>");
    EXPECT_EQ(Form1->StatusBar1->SimpleText(), "File second.html open.");
    EXPECT_TRUE(Form1->SaveDialog1->FileName.empty());
    // Cancelled, Save As writes nothing.
    Fixture.Dialogs.ExpectSaveFile("");
    Form1->main->SetText("<BR>");
    Form1->SaveAs1Click(nullptr);
    EXPECT_EQ(ReadFileBytes(Path("second.html")), "<HR>");

    Fixture.Dialogs.ExpectPrinterSetup(false);
    FindItem(Form1, "PrintSetup1")->Click();
    EXPECT_EQ(Fixture.Dialogs.Records().back().Kind, TDialogKind::PrinterSetup);
    EXPECT_FALSE(Printer()->Printing());
}

TEST_F(MainWindow, TestWritesTestHtmlAndOpensItWithTheShell)
{
    ShowMain();
    const std::string Old = std::filesystem::current_path().string();
    ASSERT_EQ(chdir(Dir.c_str()), 0);
    Form1->main->SetText("<HTML><BODY>preview</BODY></HTML>");
    Form1->Test1Click(nullptr);
    const std::string Written = ReadFileBytes(Path("test.html"));
    ASSERT_EQ(chdir(Old.c_str()), 0);
    EXPECT_EQ(Written, "<HTML><BODY>preview</BODY></HTML>");
    ASSERT_EQ(Fixture.Recorder.Calls().size(), 1u);
    const TSystemCall& Call = Fixture.Recorder.Calls()[0];
    EXPECT_EQ(Call.Kind, TSystemCall::ShellExecute);
    EXPECT_EQ(Call.Operation, "open");
    EXPECT_EQ(ExtractFileName(Call.File), "test.html");
}

TEST_F(MainWindow, ToDoListSavesAndOpensAgain)
{
    ShowMain();
    Form1->todo->SetText("first\r\nsecond line\r\n\r\nlast");
    Fixture.Dialogs.ExpectSaveFile(Path("list.tdo"));
    Form1->SavetodoList1Click(nullptr);
    EXPECT_EQ(ReadFileBytes(Path("list.tdo")), "first\r\nsecond line\r\n\r\nlast\r\n");
    Form1->ClearAll1Click(nullptr);
    EXPECT_EQ(Form1->todo->Text(), "");
    Fixture.Dialogs.ExpectOpenFile(Path("list.tdo"));
    Form1->OpenOldToDoList1Click(nullptr);
    EXPECT_EQ(Form1->todo->Lines()->Count(), 4);
    EXPECT_EQ(Form1->todo->Lines()->Strings(3), "last");
    EXPECT_EQ(Form1->todo->Lines()->Strings(1), "second line");
}

TEST_F(MainWindow, CancelledToDoDialogsSayNothingWasDone)
{
    struct TCase {
        void (TForm1::*Command)(TObject*);
        bool Save;
        std::string Text;
    };
    const std::vector<TCase> Cases = {{&TForm1::SavetodoList1Click, true, "No File Has Been Saved!"},
                                      {&TForm1::OpenOldToDoList1Click, false, "No File Opened"}};
    ShowMain();
    Form1->todo->SetText("stays");
    for (const TCase& C : Cases) {
        if (C.Save)
            Fixture.Dialogs.ExpectSaveFile("");
        else
            Fixture.Dialogs.ExpectOpenFile("");
        Fixture.Dialogs.ExpectMessageBox(IDOK, C.Text);
        (Form1->*C.Command)(nullptr);
        const TDialogRecord& Box = Fixture.Dialogs.Records().back();
        EXPECT_EQ(Box.Caption, C.Text);
        EXPECT_EQ(Box.Text, C.Text);
        EXPECT_EQ(Box.Flags & MB_ICONMASK, static_cast<UINT>(MB_ICONQUESTION));
    }
    EXPECT_EQ(Form1->todo->Text(), "stays");
}

// ---- Editing ------------------------------------------------------------------------------------

TEST_F(MainWindow, ClipboardCommandsWorkOnTheirOwnPane)
{
    ShowMain();
    Form1->main->SetText("<B>main</B>");
    Form1->todo->SetText("todo text");
    Form1->SelectAll1Click(nullptr);
    Form1->Copy1Click(nullptr);
    EXPECT_EQ(Clipboard()->AsText(), "<B>main</B>");
    Form1->SelectAll2Click(nullptr);
    Form1->Cut2Click(nullptr);
    EXPECT_EQ(Clipboard()->AsText(), "todo text");
    EXPECT_EQ(Form1->todo->Text(), "");
    EXPECT_EQ(Form1->main->Text(), "<B>main</B>"); // the other pane is left alone
    Form1->AdSpeedButton7Click(nullptr);           // paste beside the label
    EXPECT_EQ(Form1->todo->Text(), "todo text");
    Form1->main->SelectAll();
    Form1->Paste1Click(nullptr);
    EXPECT_EQ(Form1->main->Text(), "todo text");
}

// The clipboard window follows the clipboard; the options window lists the installed fonts and
// saves the two chosen ones only with Save; hints go through the balloon hint window.
TEST_F(MainWindow, ClipboardOptionsAndHintWindowsUseTheirComponents)
{
    ShowMain();
    Form1->main->SetText("<P>copied</P>");
    Form1->SelectAll1Click(nullptr);
    Form1->Copy1Click(nullptr);
    Form7->Show();
    ProcessMessages();
    auto* Shown = dynamic_cast<TMemo*>(Form7->ClipboardViewer1->View());
    ASSERT_NE(Shown, nullptr);
    EXPECT_EQ(Shown->Text(), "<P>copied</P>");
    Form7->Hide();

    WriteSettings("[Editor]\r\nMainFont=Arial\r\nToDoFont=Arial\r\n");
    Form11->Show();
    ProcessMessages();
    EXPECT_GE(Form11->FontComboBox1->Items()->IndexOf("Courier New"), 0);
    EXPECT_EQ(Form11->FontComboBox2->Items()->Count(), Form11->FontComboBox1->Items()->Count());
    Form11->FontComboBox1->SetFontName("courier new");
    Form11->FontComboBox2->SetFontName("Times New Roman");
    Form11->Button1Click(nullptr); // OK keeps nothing
    {
        TIniFile Ini(SettingsFileName);
        EXPECT_EQ(Ini.ReadString("Editor", "MainFont", ""), "Arial");
    }
    Form11->Button2Click(nullptr);
    TIniFile Ini(SettingsFileName);
    EXPECT_EQ(Ini.ReadString("Editor", "MainFont", ""), "Courier New");
    EXPECT_EQ(Ini.ReadString("Editor", "ToDoFont", ""), "Times New Roman");

    ASSERT_NE(Form1->BalloonHint1, nullptr);
    EXPECT_EQ(FindHintComponent(), Form1->BalloonHint1);
    std::unique_ptr<THintWindow> Hint(Application->HintWindowClass()(nullptr));
    EXPECT_NE(dynamic_cast<THintWindow95*>(Hint.get()), nullptr);
}

TEST_F(MainWindow, UndoTakesBackTheLastTypingInTheDocumentPane)
{
    ShowMain();
    Form1->main->SetFocus();
    ProcessMessages();
    const std::string Before = Form1->main->Text();
    PressKey('X', "x");
    ASSERT_EQ(Form1->main->Text(), "x" + Before);
    Form1->Undo1Click(nullptr);
    EXPECT_EQ(Form1->main->Text(), Before);
}

// ---- Printing -----------------------------------------------------------------------------------

TEST_F(MainWindow, PrintStartsAJobOnlyAfterOkAndEndsIt)
{
    ShowMain();
    const std::string Pdf = Path("out.pdf");
    SetPrinterOutputFile(Pdf);
    Form1->main->SetText("<HTML>\r\n<BODY>printed</BODY>\r\n</HTML>");
    Fixture.Dialogs.ExpectPrint(false);
    Form1->Print1Click(nullptr);
    EXPECT_FALSE(std::filesystem::exists(Pdf));
    EXPECT_FALSE(Printer()->Printing());

    Fixture.Dialogs.ExpectPrint(true);
    Form1->Print1Click(nullptr);
    EXPECT_FALSE(Printer()->Printing());
    EXPECT_TRUE(std::filesystem::exists(Pdf));
    EXPECT_EQ(Printer()->Canvas()->Font()->Name(), Form1->main->Font()->Name());

    // A job that cannot be written is reported and leaves no job open behind it.
    SetPrinterOutputFile(Path("no-such-dir/out.pdf"));
    Fixture.Dialogs.ExpectPrint(true);
    EXPECT_ANY_THROW(Form1->Print1Click(nullptr));
    EXPECT_FALSE(Printer()->Printing());
    SetPrinterOutputFile("");
}

// A device that takes nothing: every write fails. It counts how often the job is started and
// ended.
struct TFailingPrinter : TTextDevice {
    static inline int Opens = 0;
    static inline int Closes = 0;
    void Open(bool) override { ++Opens; }
    void Write(const std::string&) override { RaiseInOutError(ioDiskFull); }
    void Close() override { ++Closes; }
};

TEST_F(MainWindow, PrintEndsItsJobAlsoWhenWritingFails)
{
    AssignPrintDevice = [](TextFile& F) { AssignDevice(F, std::make_unique<TFailingPrinter>()); };
    ShowMain();
    TFailingPrinter::Opens = TFailingPrinter::Closes = 0;
    Fixture.Dialogs.ExpectPrint(false);
    ClickControl(Form1->SpeedButton9, 5, 5);
    EXPECT_EQ(TFailingPrinter::Opens, 0); // no job without OK
    // A short document fails as the job ends, a long one while its lines are written.
    for (const std::string& Line : {std::string("<P>short</P>"), std::string(300, 'x')}) {
        SCOPED_TRACE(Line.size());
        Form1->main->Lines()->Clear();
        for (int I = 0; I < 40; ++I)
            Form1->main->Lines()->Add(Line);
        TFailingPrinter::Opens = TFailingPrinter::Closes = 0;
        Fixture.Dialogs.ExpectPrint(true);
        Fixture.Dialogs.ExpectMessageBox(IDOK);
        ClickControl(Form1->SpeedButton9, 5, 5);
        EXPECT_EQ(Fixture.Dialogs.Pending(), 0u); // the failure was reported
        EXPECT_EQ(TFailingPrinter::Opens, 1);
        EXPECT_EQ(TFailingPrinter::Closes, 1);
        EXPECT_EQ(Form1->main->Lines()->Count(), 40);
    }
    AssignPrintDevice = &AssignPrn;
}

// ---- Windows shown by the commands ------------------------------------------------------------

// Every command that shows a window shows its own one modally (closed here from inside its loop),
// through the menu item the stored form binds.
TEST_F(MainWindow, EachWindowCommandShowsItsWindowModally)
{
    struct TCase {
        const char* Item;
        const char* Form;
    };
    const std::vector<TCase> Cases = {{"New1", "Form8"},
                                      {"Find1", "Form3"},
                                      {"ViewClipboard1", "Form7"},
                                      {"AfterPagehasLoaded1", "Form19"},
                                      {"ButtonClick1", "Form15"},
                                      {"GoBackinHistory1", "Form12"},
                                      {"LinkAlert1", "Form16"},
                                      {"NewLocation1", "Form18"},
                                      {"Alert1", "Form15"},
                                      {"BackForward1", "Form25"},
                                      {"Link1", "Form24"},
                                      {"Reload1", "Form21"},
                                      {"ViewSource1", "Form26"},
                                      {"ClockandDate1", "Form35"},
                                      {"Clockinabox1", "Form36"},
                                      {"DigitalClockStatusBar1", "Form37"},
                                      {"BreakoutofFrame1", "Form23"},
                                      {"BrowserDiscrimination1", "Form33"},
                                      {"FakeFormatofCDrive1", "Form38"},
                                      {"LinkStatusDescription1", "Form30"},
                                      {"PageReferral1", "Form28"},
                                      {"PageUpdated1", "Form29"},
                                      {"RainbowLettering1", "Form39"},
                                      {"SimplePassword1", "Form10"},
                                      {"TypeWriterStatusScroller1", "Form40"},
                                      {"RandomQuote1", "Form34"},
                                      {"RandomStatusBar1", "Form41"},
                                      {"ColourPicker1", "Form5"},
                                      {"RunTwoScriptsonOnLoad1", "Form6"},
                                      {"Editor1", "Form11"},
                                      {"Scribe1", "Form17"},
                                      {"HTMLTutorial1", "htmlform"},
                                      {"About1", "about"},
                                      {"About2", "about"},
                                      {"AfterPagehasloaded2", "Form19"},
                                      {"ButtonClick2", "Form15"},
                                      {"GoBackinHistory2", "Form12"},
                                      {"LinkAlert2", "Form16"},
                                      {"NewLocation2", "Form18"},
                                      {"Alert2", "Form15"},
                                      {"BackForward2", "Form25"},
                                      {"Link2", "Form24"},
                                      {"Reload2", "Form21"},
                                      {"ViewSource2", "Form26"},
                                      {"ClockandDate2", "Form35"},
                                      {"ClockinaBox2", "Form36"},
                                      {"DigitalClockStatusBar2", "Form37"},
                                      {"BreakoutofFrame2", "Form23"},
                                      {"BrowserDiscrimination2", "Form33"},
                                      {"FakeFormatofCDrive2", "Form38"},
                                      {"LinkStatusDescription2", "Form30"},
                                      {"PageReferral2", "Form28"},
                                      {"PageUpdated2", "Form29"},
                                      {"RainbowLettering2", "Form39"},
                                      {"SimplePassword2", "Form10"},
                                      {"TypeWriterStatusScroller2", "Form40"},
                                      {"RandomQuote2", "Form34"},
                                      {"RandomStatusBar2", "Form41"}};
    ShowMain();
    for (const TCase& C : Cases) {
        TMenuItem* Item = FindItem(Form1, C.Item);
        ASSERT_NE(Item, nullptr) << C.Item;
        auto* Target = dynamic_cast<TCustomForm*>(Application->FindComponent(C.Form));
        ASSERT_NE(Target, nullptr) << C.Form;
        bool WasModal = false;
        SetWaitHandler([&] {
            WasModal = Target->Visible() && Target->FormState.Contains(fsModal);
            PostMessage(Target->Handle(), WM_CLOSE, 0, 0);
            return true;
        });
        Item->Click();
        SetWaitHandler(nullptr);
        EXPECT_TRUE(WasModal) << C.Item;
        EXPECT_FALSE(Target->Visible()) << C.Item;
    }
}

// The gallery as the user works it: pick the page's tab, press its button, choose from the
// menu that drops down.
TEST_F(MainWindow, GalleryButtonsDropTheirMenusAndOpenTheChosenWizard)
{
    struct TCase {
        const char* Button;
        TPopupMenu* Menu;
        std::vector<std::string> Captions;
        std::string Choice;
        const char* Form;
    };
    const std::vector<TCase> Cases = {
        {"AdSpeedButton1",
         Form1->alerts,
         {"After Page has loaded...", "Button Click...", "Go Back in History...", "Link Alert...",
          "New Location..."},
         "Link Alert...",
         "Form16"},
        {"AdSpeedButton2",
         Form1->buttons,
         {"Alert...", "Back / Forward...", "Link...", "Reload...", "View Source..."},
         "Reload...",
         "Form21"},
        {"AdSpeedButton3",
         Form1->clock,
         {"Clock and Date...", "Clock in a Box...", "Digital Clock - Status Bar."},
         "Clock in a Box...",
         "Form36"},
        {"AdSpeedButton4",
         Form1->misc,
         {"Breakout of Frame...", "Browser Discrimination...", "Fake Format of C:\\ Drive...",
          "Link - Status Description.", "Page Referral...", "Page Updated...", "Rainbow Lettering...",
          "Simple Password.", "Type Writer - Status Scroller..."},
         "Simple Password.",
         "Form10"},
        {"AdSpeedButton5",
         Form1->random,
         {"Random Quote...", "Random Status Bar..."},
         "Random Quote...",
         "Form34"},
    };
    ShowMain();
    for (std::size_t Page = 0; Page < Cases.size(); ++Page) {
        const TCase& C = Cases[Page];
        SCOPED_TRACE(C.Button);
        auto* Button = dynamic_cast<TAdSpeedButton*>(Form1->FindComponent(C.Button));
        ASSERT_NE(Button, nullptr);
        EXPECT_EQ(Button->Caption(), "After Page Has Loaded...");
        EXPECT_EQ(Button->DropDownMenu(), C.Menu);
        auto* Target = dynamic_cast<TCustomForm*>(Application->FindComponent(C.Form));
        ASSERT_NE(Target, nullptr);
        Form1->TabbedNotebook1->SetPageIndex(static_cast<int>(Page));
        ProcessMessages();
        bool WasModal = false;
        SetWaitHandler([&] {
            if (Target->Visible()) {
                WasModal = WasModal || Target->FormState.Contains(fsModal);
                PostMessage(Target->Handle(), WM_CLOSE, 0, 0);
            }
            return true;
        });
        Fixture.MenuChoices.ExpectChoice({C.Choice});
        EXPECT_TRUE(ClickControl(Button, 10, 5));
        ProcessMessages();
        SetWaitHandler(nullptr);
        EXPECT_EQ(Fixture.MenuChoices.LastCaptions(), C.Captions);
        EXPECT_TRUE(WasModal);
        EXPECT_FALSE(Target->Visible());
    }
}

TEST_F(MainWindow, ReferenceWindowIsShownWithoutBlocking)
{
    ShowMain();
    Form1->Reference1Click(nullptr);
    auto* Ref = dynamic_cast<TCustomForm*>(Application->FindComponent("jsref"));
    ASSERT_NE(Ref, nullptr);
    EXPECT_TRUE(Ref->Visible());
    EXPECT_FALSE(Ref->FormState.Contains(fsModal));
    EXPECT_EQ(Ref->FormStyle(), fsStayOnTop);
}

// ---- Help and the web ---------------------------------------------------------------------------

TEST_F(MainWindow, HelpCommandsGoToTheHelpAndWebEntriesToTheShell)
{
    ShowMain();
    Form1->Contents1Click(nullptr);
    Form1->SearchfroHelpOn1Click(nullptr);
    Form1->HowtoUseHelp1Click(nullptr);
    Form1->TamselontheWeb1Click(nullptr);
    Form1->JavaScriptLanguageReference1Click(nullptr);
    Form1->JavaScriptTutorials1Click(nullptr);
    Form1->ModernJavaScriptGuide1Click(nullptr);
    const auto& Calls = Fixture.Recorder.Calls();
    ASSERT_EQ(Calls.size(), 7u);
    const std::vector<std::string> Commands = {std::to_string(HELP_CONTENTS), std::to_string(HELP_PARTIALKEY),
                                               std::to_string(HELP_HELPONHELP)};
    for (std::size_t I = 0; I < 3; ++I) {
        EXPECT_EQ(Calls[I].Kind, TSystemCall::Help);
        EXPECT_EQ(Calls[I].File, "Help.hlp");
        EXPECT_EQ(Calls[I].Operation, Commands[I]);
    }
    EXPECT_EQ(Calls[3].File, TForm1::TamselSite);
    EXPECT_NE(Calls[3].File.find("example.com"), std::string::npos);
    for (std::size_t I = 3; I < 7; ++I) {
        EXPECT_EQ(Calls[I].Kind, TSystemCall::ShellExecute);
        EXPECT_EQ(Calls[I].Operation, "open");
        EXPECT_EQ(Calls[I].File.rfind("https://", 0), 0u);
    }
}

// ---- Colouring of the document pane -------------------------------------------------------------

class MainPaneColours : public MainWindow {
protected:
    TColorMemo* Memo = nullptr;
    LRESULT Send(UINT Msg, WPARAM W = 0, LPARAM L = 0) { return SendMessage(Memo->Handle(), Msg, W, L); }
    TPoint PosOf(int Index)
    {
        const LRESULT R = Send(EM_POSFROMCHAR, static_cast<WPARAM>(Index));
        return TPoint{static_cast<SmallInt>(LOWORD(R)), static_cast<SmallInt>(HIWORD(R))};
    }
    // Pixels close to Color inside the boxes of the characters [From, To] of the first line.
    int CountNear(const TDibImage& I, int From, int To, TColor Color)
    {
        const TPoint A = PosOf(From);
        const TPoint B = PosOf(To + 1);
        const int H = -Memo->Font()->Height();
        const int R = Color & 0xFF, G = (Color >> 8) & 0xFF, Bl = (Color >> 16) & 0xFF;
        int N = 0;
        for (int Y = std::max(A.y, 0); Y < std::min(A.y + H + 3, I.Height); ++Y)
            for (int X = std::max(A.x, 0); X < std::min(B.x, I.Width); ++X) {
                const std::uint32_t P = I.Pixels[static_cast<std::size_t>(Y * I.Width + X)];
                const int PR = (P >> 16) & 0xFF, PG = (P >> 8) & 0xFF, PB = P & 0xFF;
                if (std::abs(PR - R) + std::abs(PG - G) + std::abs(PB - Bl) < 90)
                    ++N;
            }
        return N;
    }
    TDibImage Show(const std::string& Text) { return ShowIn(Form1, Form1->main, Text); }
    TDibImage ShowIn(TCustomForm* Form, TColorMemo* Pane, const std::string& Text)
    {
        ShowMain();
        Form->Show();
        ProcessMessages();
        Memo = Pane;
        Memo->SetText(Text);
        ProcessMessages();
        return CaptureWindowImage(Memo->Handle(), true);
    }
};

TEST_F(MainPaneColours, TagInsideACommentIsBlueOverTheCommentsGray)
{
    //                      0123456789012345678
    TDibImage I = Show("<!-- x <font> y -->");
    EXPECT_GT(CountNear(I, 8, 11, clBlue), 5); // "font"
    EXPECT_EQ(CountNear(I, 8, 11, clGray), 0);
    EXPECT_GT(CountNear(I, 14, 14, clGray), 2); // "y" keeps the comment's gray
    EXPECT_GT(CountNear(I, 16, 18, clGray), 3); // "-->"
}

TEST_F(MainPaneColours, TableIsMaroonInsideTheBlueOfItsTag)
{
    //                      0123456789
    TDibImage I = Show("<TABLE x>");
    EXPECT_GT(CountNear(I, 1, 5, clMaroon), 5);
    EXPECT_EQ(CountNear(I, 1, 5, clBlue), 0);
    EXPECT_GT(CountNear(I, 7, 7, clBlue), 2); // the rest of the tag is blue
}

TEST_F(MainPaneColours, AttributeNameIsRed)
{
    //                      0123456789012345
    TDibImage I = Show("<img WIDTH=40 x>");
    EXPECT_GT(CountNear(I, 5, 9, clRed), 5);
    EXPECT_EQ(CountNear(I, 5, 9, clBlue), 0);
    EXPECT_GT(CountNear(I, 1, 3, clBlue), 5); // "img" stays the tag's blue
}

TEST_F(MainPaneColours, ScratchPaneColoursAlertRedMathBlueAndFunctionBlack)
{
    //                                                0         1         2
    //                                                012345678901234567890123456
    TDibImage I = ShowIn(Form17, Form17->ColorMemo1, "alert( Math.PI function x");
    EXPECT_GT(CountNear(I, 0, 4, clRed), 5);
    EXPECT_GT(CountNear(I, 7, 13, clBlue), 5);
    EXPECT_EQ(CountNear(I, 16, 23, clRed), 0); // rule 9 wins over rule 6
    EXPECT_GT(CountNear(I, 16, 23, clBlack), 5);
    Form17->Hide();
}

// ---- The end of the program ---------------------------------------------------------------------

TEST_F(MainWindow, TrayCloseEndsWithoutTheSplash)
{
    ShowMain();
    TMenuItem* Close = FindItem(Form1, "Close1");
    ASSERT_NE(Close, nullptr);
    EXPECT_EQ(Close->Parent(), Form1->PopupMenu2->Items());
    Close->Click();
    EXPECT_TRUE(Application->Terminated());
    EXPECT_EQ(SplashShows, 0);
}

TEST_F(MainWindow, ClosingTheWindowShowsTheSplashUntilItsTimerTicks)
{
    ShowMain();
    // The splash's timer runs from start-up: 3 s of it are gone before the window closes.
    AdvanceClock(3000);
    ProcessMessages();
    DWORD Waited = 0;
    SetWaitHandler([&] {
        AdvanceClock(250);
        Waited += 250;
        return Waited <= 10000; // keep going while the timer may still tick
    });
    Form1->Close();
    SetWaitHandler(nullptr);
    EXPECT_EQ(SplashShows, 1);
    EXPECT_FALSE(Form14->Visible());
    EXPECT_LE(Waited, 2250u);
    EXPECT_TRUE(Application->Terminated());
}

} // namespace
