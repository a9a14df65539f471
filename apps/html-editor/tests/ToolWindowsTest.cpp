// The editor's tool windows as a user works them: the new-file templates, the colour picker, the
// options, the find window with its viewer, the clipboard window and the script pane.
#include "apps/html-editor/About.h"
#include "apps/html-editor/TamselStartup.h"
#include "apps/html-editor/Unit1.h"
#include "apps/html-editor/Unit11.h"
#include "apps/html-editor/Unit17.h"
#include "apps/html-editor/Unit3.h"
#include "apps/html-editor/Unit4.h"
#include "apps/html-editor/Unit5.h"
#include "apps/html-editor/Unit7.h"
#include "apps/html-editor/Unit8.h"
#include "platform/rtl/DataFiles.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/SysUtils.h"
#include "platform/testing/AppTesting.h"
#include "platform/testing/TestSupport.h"
#include "platform/testing/WinTesting.h"
#include "platform/testing/StringsTesting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

class ToolWindows : public testing::Test {
protected:
    TAppTest Fixture;
    std::string Dir;

    void SetUp() override
    {
        SetProgramName("tamsel");
        Dir = MakeTempDir("tamsel-tools");
        RunUnitStartups();
        CreateTamselForms();
        Form1->Show();
        ProcessMessages();
        // Each modal loop waiting runs the step of the innermost window once.
        SetWaitHandler([this] {
            if (!Levels.empty() && !Levels.back()->Done) {
                TLevel* L = Levels.back();
                L->Done = L->Step();
            }
            return true;
        });
    }
    void TearDown() override { SetWaitHandler(nullptr); }
    std::string Path(const std::string& Name) const { return Dir + "/" + Name; }
    // Runs Command, which shows a window modally; Step runs once while that window waits for the
    // user and must close it. Steps may open further windows with WhileModal.
    void WhileModal(const std::function<void()>& Command, const std::function<bool()>& Step)
    {
        TLevel L{Step};
        Levels.push_back(&L);
        Command();
        Levels.pop_back();
        EXPECT_TRUE(L.Done);
    }
    static TMenuItem* Item(TComponent* Owner, const std::string& Name)
    {
        auto* I = dynamic_cast<TMenuItem*>(Owner->FindComponent(Name));
        EXPECT_NE(I, nullptr) << Name;
        return I;
    }

private:
    struct TLevel {
        std::function<bool()> Step;
        bool Done = false;
    };
    std::vector<TLevel*> Levels;
};

// ---- New-file window ------------------------------------------------------------------------------

std::string Joined(const std::vector<std::string>& Lines)
{
    std::string S;
    for (const std::string& L : Lines)
        S += L + "\r\n";
    return S;
}

// Each template replaces unsaved text without asking; saved, the pane gives exactly these bytes.
TEST_F(ToolWindows, TemplatesReplaceTheDocumentByteForByte)
{
    struct TCase {
        TAdSpeedButton* TForm8::*Button;
        std::string Bytes;
        const char* Status;
    };
    const std::vector<TCase> Cases = {
        {&TForm8::AdSpeedButton3,
         "<HTML>\r\n<HEAD>\r\n<TITLE>\r\nADD TITLE HERE\r\n</TITLE>\r\n<!--PUT JAVASCRIPT HERE-->\r\n"
         "<META NAME=GENERATOR CONTENT=\"TAMSEL PRO "
         "V1\">\r\n</HEAD>\r\n<BODY>\r\n\r\n\r\n</BODY>\r\n</HTML>\r\n",
         "New HTML File"},
        {&TForm8::AdSpeedButton2,
         "<script language=\"JavaScript\">\r\n<!-- Hide the script from old browsers --\r\n\r\n"
         "//CREATED WITH TAMSEL PRO\r\n\r\n//WWW.EXAMPLE.COM/TAMSEL/\r\n\r\n\r\n\r\n"
         "// -- End Hiding Here -->\r\n</SCRIPT>\r\n",
         "New JavaScript File"},
        {&TForm8::AdSpeedButton1, "", "New Text File"},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Status);
        Form1->main->SetText("<P>unsaved work</P>\r\nsecond line");
        WhileModal([] { Form1->SpeedButton1->Click(); },
                   [&] {
                       EXPECT_TRUE(Form8->FormState.Contains(fsModal));
                       ClickControl(Form8->*C.Button, 20, 20);
                       return true;
                   });
        EXPECT_FALSE(Form8->Visible());
        EXPECT_EQ(Form1->StatusBar1->SimpleText(), C.Status);
        EXPECT_EQ(Joined(ItemsOf(Form1->main->Lines())), C.Bytes);
        Form1->main->Lines()->SaveToFile(Path("new.txt"));
        EXPECT_EQ(ReadFileBytes(Path("new.txt")), C.Bytes);
    }
    // The comment line is "//" and a web address in capitals.
    const std::string& Address = TForm8::JavaScriptTemplate()[5];
    EXPECT_EQ(Address.substr(0, 2), "//");
    EXPECT_EQ(Address, UpperCase(Address));
}

TEST_F(ToolWindows, NewFileWindowShowsTheWarningAndTwoLineFlatButtons)
{
    EXPECT_EQ(Form8->Caption(), "Tamsel Pro - Create New File");
    EXPECT_EQ(Form8->BorderStyle(), bsDialog);
    EXPECT_EQ(Form8->Label1->Caption(), "The creation of a new file will delete any unsaved work.");
    EXPECT_EQ(Form8->AdSpeedButton3->Caption(), "HTML\r\nPage");
    EXPECT_EQ(Form8->AdSpeedButton2->Caption(), "JavaScript\r\nFile");
    EXPECT_EQ(Form8->AdSpeedButton1->Caption(), "Text\r\nFile");
    EXPECT_TRUE(Form8->AdSpeedButton1->Flat());
}

// ---- Colour picker --------------------------------------------------------------------------------

TEST_F(ToolWindows, ColourPickerWritesTheChosenColoursHexText)
{
    // Before any choice the dialog's colour is black.
    Form5->Button2->Click();
    EXPECT_EQ(Form5->Edit1->Text(), "000000");
    Fixture.Dialogs.ExpectColor(static_cast<TColor>(0x00C0FF));
    Form5->Button1->Click();
    EXPECT_EQ(Form5->Edit1->Text(), "000000"); // only "Make Hex Value." writes the field
    Form5->Button2->Click();
    EXPECT_EQ(Form5->Edit1->Text(), "FFC000");
    // A cancelled dialog keeps the colour chosen before.
    Fixture.Dialogs.ExpectColor(clRed, false);
    Form5->Button1->Click();
    Form5->Button2->Click();
    EXPECT_EQ(Form5->Edit1->Text(), "FFC000");
    Fixture.Dialogs.ExpectColor(clRed);
    Form5->Button1->Click();
    Form5->Button2->Click();
    EXPECT_EQ(Form5->Edit1->Text(), "FF0000");
    EXPECT_EQ(Fixture.Dialogs.Records().size(), 3u);
    EXPECT_EQ(Form5->Memo1->Lines()->Strings(2), "JavaScript will acccept HEX values for colours ");
}

// ---- Options --------------------------------------------------------------------------------------

// Save writes at once and leaves the window open; the panes change when the main window is active
// again, after the options window has closed.
TEST_F(ToolWindows, OptionsSaveWritesBothFontsAndTheMainWindowAppliesThemNext)
{
    WriteFileBytes(MapPath(SettingsFileName), "[Editor]\r\nMainFont=Arial\r\nToDoFont=Arial\r\nKept=1\r\n");
    std::string SavedMain;
    bool OpenAfterSave = false;
    std::string PaneFontWhileOpen;
    WhileModal([] { Item(Form1, "Editor1")->Click(); },
               [&] {
                   Form11->FontComboBox1->SetFontName("Courier New");
                   Form11->FontComboBox2->SetFontName("Times New Roman");
                   ClickControl(Form11->Button2, 10, 10);
                   OpenAfterSave = Form11->Visible();
                   SavedMain = TIniFile(SettingsFileName).ReadString("Editor", "MainFont", "");
                   PaneFontWhileOpen = Form1->main->Font()->Name();
                   ClickControl(Form11->Button3, 10, 10);
                   return true;
               });
    EXPECT_TRUE(OpenAfterSave);
    EXPECT_EQ(SavedMain, "Courier New");
    EXPECT_EQ(PaneFontWhileOpen, "Arial");
    ProcessMessages();
    EXPECT_EQ(Form1->main->Font()->Name(), "Courier New");
    EXPECT_EQ(Form1->todo->Font()->Name(), "Times New Roman");
    TIniFile Ini(SettingsFileName);
    EXPECT_EQ(Ini.ReadString("Editor", "ToDoFont", ""), "Times New Roman");
    EXPECT_EQ(Ini.ReadString("Editor", "Kept", ""), "1");

    // OK after other choices writes nothing.
    WhileModal([] { Item(Form1, "Editor1")->Click(); },
               [&] {
                   Form11->FontComboBox1->SetFontName("Arial");
                   ClickControl(Form11->Button1, 10, 10);
                   return true;
               });
    EXPECT_FALSE(Form11->Visible());
    EXPECT_EQ(TIniFile(SettingsFileName).ReadString("Editor", "MainFont", ""), "Courier New");
    EXPECT_EQ(Form1->main->Font()->Name(), "Courier New");
}

// ---- Find window and viewer -------------------------------------------------------------------------

class FindAndView : public ToolWindows {
protected:
    std::string Site;
    void SetUp() override
    {
        ToolWindows::SetUp();
        Site = Path("site");
        std::filesystem::create_directories(Site + "/sub");
        WriteFileBytes(
            Site + "/index.htm",
            "<HTML><HEAD><TITLE>Two Frames</TITLE></HEAD>\r\n"
            "<FRAMESET COLS=\"50%,50%\"><FRAME SRC=\"left.htm\"><FRAME SRC=\"right.htm\"></FRAMESET>"
            "</HTML>\r\n");
        WriteFileBytes(Site + "/left.htm", "<HTML><BODY BGCOLOR=\"#FF0000\">left</BODY></HTML>\r\n");
        WriteFileBytes(Site + "/right.htm", "<HTML><BODY BGCOLOR=\"#0000FF\">right</BODY></HTML>\r\n");
        WriteFileBytes(Site + "/Page.HTML",
                       "<HTML><HEAD><TITLE>Long</TITLE></HEAD><BODY>x</BODY></HTML>\r\n");
        WriteFileBytes(Site + "/notes.txt", "notes");
        WriteFileBytes(Site + "/sub/deeper.htm", "<P>deeper</P>");
    }
    // Shows the find window from the toolbar, runs InFind there, and closes it unless InFind did.
    void InFindWindow(const std::function<void()>& InFind)
    {
        WhileModal([] { Form1->SpeedButton8->Click(); },
                   [&] {
                       InFind();
                       if (Form3->Visible())
                           Form3->Close();
                       return true;
                   });
    }
    // Presses "Now!" and runs Then while the viewer is up, closing it with Exit unless Then did.
    void InViewer(const std::function<void()>& Then)
    {
        WhileModal([] { ClickControl(Form3->Button1, 10, 10); },
                   [&] {
                       EXPECT_TRUE(Form4->FormState.Contains(fsModal));
                       Then();
                       if (Form4->Visible())
                           Item(Form4, "Exit1")->Click();
                       return true;
                   });
    }
};

TEST_F(FindAndView, ListsFollowTheChosenDriveAndDirectory)
{
    EXPECT_EQ(Form3->Caption(), "Find HTML File");
    EXPECT_EQ(Form3->FileListBox1->Mask(), "*.htm");
    EXPECT_FALSE(Form3->ext->Enabled());
    EXPECT_EQ(Form3->ext->Text(), "*.htm");
    // No "C:\pro" here: browsing starts at home.
    if (!DirectoryExists(MapPath(TForm3::StartDirectory))) {
        EXPECT_EQ(Form3->DirectoryListBox1->Directory(), GetHomeDir());
        EXPECT_EQ(Form3->Label4->Caption(), GetHomeDir());
    }
    InFindWindow([&] {
        Form3->DirectoryListBox1->SetDirectory(Site);
        ProcessMessages();
        EXPECT_EQ(Form3->Label4->Caption(), Site);
        // The mask finds the long extension and other cases too, never another type.
        EXPECT_EQ(ItemsOf(Form3->FileListBox1->Items()),
                  (std::vector<std::string>{"index.htm", "left.htm", "Page.HTML", "right.htm"}));
        EXPECT_EQ(Form3->Edit1->Text(), "*.htm");
        // Double-clicking the subdirectory opens it, and the files follow.
        const int Sub = Form3->DirectoryListBox1->Items()->IndexOf("sub");
        ASSERT_GE(Sub, 0);
        const int H = Form3->DirectoryListBox1->ItemHeight();
        Form3->DirectoryListBox1->SetTopIndex(std::max(0, Sub - 3));
        const int Row = Sub - Form3->DirectoryListBox1->TopIndex();
        ASSERT_TRUE(DoubleClickControl(Form3->DirectoryListBox1, 40, Row * H + 2));
        EXPECT_EQ(Form3->DirectoryListBox1->Directory(), Site + "/sub");
        EXPECT_EQ(ItemsOf(Form3->FileListBox1->Items()), (std::vector<std::string>{"deeper.htm"}));
        // Choosing another file system moves both lists to its top.
        TStrings* Drives = Form3->DriveComboBox1->Items();
        ASSERT_GE(Drives->Count(), 1);
        EXPECT_EQ(Drives->Strings(0), "/");
        const std::string Current = Form3->DriveComboBox1->Drive();
        EXPECT_EQ(Site.compare(0, Current.size(), Current), 0) << Current;
        std::string Other;
        for (int I = 0; I < Drives->Count() && Other.empty(); ++I)
            if (Drives->Strings(I) != Current)
                Other = Drives->Strings(I);
        if (!Other.empty()) {
            Form3->DriveComboBox1->SetDrive(Other);
            EXPECT_EQ(Form3->DirectoryListBox1->Directory(), Other);
            EXPECT_EQ(Form3->FileListBox1->Directory(), Other);
            EXPECT_EQ(Form3->Label4->Caption(), Other);
        }
        // Back to the site; clicking a file names it in the field.
        Form3->DirectoryListBox1->SetDirectory(Site);
        ASSERT_TRUE(ClickControl(Form3->FileListBox1, 10, Form3->FileListBox1->ItemHeight() * 2 + 2));
        EXPECT_EQ(Form3->Edit1->Text(), "Page.HTML");
    });
    // The place and the choice stay for the next showing.
    InFindWindow([&] {
        EXPECT_EQ(Form3->DirectoryListBox1->Directory(), Site);
        EXPECT_EQ(Form3->FileListBox1->FileName(), Site + "/Page.HTML");
    });
    // The type field, were it enabled, sets the mask.
    Form3->ext->SetText("*.txt");
    EXPECT_EQ(Form3->FileListBox1->Mask(), "*.txt");
    EXPECT_EQ(ItemsOf(Form3->FileListBox1->Items()), (std::vector<std::string>{"notes.txt"}));
}

// Samples a pixel of an image in the colour form of TColor.
TColor PixelAt(const TDibImage& I, int X, int Y)
{
    const std::uint32_t P = I.Pixels[static_cast<std::size_t>(Y * I.Width + X)];
    return static_cast<TColor>(((P >> 16) & 0xFF) | (P & 0xFF00) | ((P & 0xFF) << 16));
}

TEST_F(FindAndView, ViewerShowsTheChosenFramesetWithItsTitle)
{
    EXPECT_EQ(Form4->Viewer->DefFontName(), "Times New Roman");
    EXPECT_EQ(Form4->Viewer->DefPreFontName(), "Courier New");
    EXPECT_EQ(Form4->Viewer->HistoryMaxCount(), 0);
    EXPECT_FALSE(Form4->Viewer->NoSelect());
    EXPECT_EQ(Form4->Viewer->PrintMarginLeft(), 2.0);
    EXPECT_EQ(Form4->Viewer->PrintMarginBottom(), 2.0);
    EXPECT_EQ(Form4->Viewer->Align(), alClient);
    std::string Caption;
    TColor Left = clNone, Right = clNone;
    InFindWindow([&] {
        Form3->FileListBox1->SetFileName(Site + "/index.htm");
        InViewer([&] {
            ProcessMessages();
            Caption = Form4->Caption();
            const TDibImage I = CaptureWindowImage(Form4->Viewer->Handle(), true);
            ASSERT_GT(I.Width, 100);
            Left = PixelAt(I, I.Width / 4, I.Height - 20);
            Right = PixelAt(I, I.Width * 3 / 4, I.Height - 20);
        });
    });
    EXPECT_EQ(Caption, "Two Frames");
    EXPECT_EQ(Left, clRed);
    EXPECT_EQ(Right, clBlue);
}

// The page is read again each time the viewer is active, also when an About window closes.
TEST_F(FindAndView, ViewerReloadsThePageWhenActiveAgain)
{
    std::string Before, After;
    InFindWindow([&] {
        Form3->FileListBox1->SetFileName(Site + "/Page.HTML");
        InViewer([&] {
            Before = Form4->Caption();
            WriteFileBytes(Site + "/Page.HTML", "<HTML><HEAD><TITLE>Edited</TITLE></HEAD></HTML>\r\n");
            WhileModal([] { Item(Form4, "AboutTamselPro1")->Click(); },
                       [] {
                           about->Close();
                           return true;
                       });
            ProcessMessages();
            After = Form4->Caption();
        });
    });
    EXPECT_EQ(Before, "Long");
    EXPECT_EQ(After, "Edited");
}

// "Open File With Tamsel Pro" puts the page into the document pane and closes both windows; the
// status bar keeps what it said.
TEST_F(FindAndView, OpenFileWithTamselPutsThePageIntoTheEditor)
{
    Form1->main->SetText("<P>old</P>");
    bool FindClosed = false;
    const std::string Status = Form1->StatusBar1->SimpleText();
    InFindWindow([&] {
        Form3->FileListBox1->SetFileName(Site + "/left.htm");
        InViewer([&] { Item(Form4, "OpenFileWithTamselPro1")->Click(); });
        EXPECT_FALSE(Form4->Visible());
        FindClosed = Form3->ModalResult() != mrNone;
    });
    EXPECT_TRUE(FindClosed);
    EXPECT_FALSE(Form3->Visible());
    EXPECT_EQ(Form1->main->Text(), ReadFileBytes(Site + "/left.htm"));
    EXPECT_EQ(Form1->StatusBar1->SimpleText(), Status);
}

// With no file chosen the viewer shows nothing new, says nothing, and Open keeps the document.
TEST_F(FindAndView, NoChosenFileLeavesViewerAndDocumentAlone)
{
    Form1->main->SetText("<P>kept</P>");
    std::string Caption;
    InFindWindow([&] {
        Form3->DirectoryListBox1->SetDirectory(Site);
        ASSERT_EQ(Form3->FileListBox1->FileName(), "");
        InViewer([&] {
            Caption = Form4->Caption();
            Item(Form4, "OpenFileWithTamselPro1")->Click();
        });
    });
    EXPECT_EQ(Caption, "Tamsel Pro. HTML Viewer.");
    EXPECT_EQ(Form1->main->Text(), "<P>kept</P>");
    EXPECT_TRUE(Fixture.Dialogs.Records().empty());
}

// ---- Clipboard window -------------------------------------------------------------------------------

TEST_F(ToolWindows, ClipboardWindowShowsItsPictureAndTheClipboard)
{
    EXPECT_EQ(Form7->Caption(), "Tamsel Pro. Clipboard Viewer");
    ASSERT_NE(Form7->Image1, nullptr);
    EXPECT_EQ(Form7->Image1->Picture()->Width(), 64);
    Form1->main->SetText("copied text");
    Form1->main->SelectAll();
    Form1->main->CopyToClipboard();
    Form7->Show();
    ProcessMessages();
    auto* Shown = dynamic_cast<TMemo*>(Form7->ClipboardViewer1->View());
    ASSERT_NE(Shown, nullptr);
    EXPECT_EQ(Shown->Text(), "copied text");
    Form7->Hide();
}

// ---- Script pane ---------------------------------------------------------------------------------------

TEST_F(ToolWindows, ScriptPaneHoldsItsNineRules)
{
    EXPECT_EQ(Form17->Caption(), "Tamsel JavaScript Scribe.");
    EXPECT_EQ(Form17->FormStyle(), fsStayOnTop);
    TDrawRules* Rules = Form17->ColorMemo1->ColorRules();
    ASSERT_EQ(Rules->Count(), 9);
    const TColor Colours[] = {clMaroon, clGreen, clOlive,   clPurple, clTeal,
                              clRed,    clBlue,  clFuchsia, clBlack};
    const int Words[] = {7, 21, 2, 2, 2, 25, 25, 23, 53}; // "fixed" stands twice in rule 8
    for (int I = 0; I < 9; ++I) {
        SCOPED_TRACE(I);
        EXPECT_EQ(Rules->Items(I)->DefKeyColor, Colours[I]);
        EXPECT_EQ(Rules->Items(I)->Keywords()->Count(), Words[I]);
    }
}

// Open and Save from the toolbar and the menu; a cancelled dialog changes neither the pane nor a
// file; the clear button empties the pane.
TEST_F(ToolWindows, ScriptPaneOpensSavesAndIgnoresCancelledDialogs)
{
    WriteFileBytes(Path("in.js"), "alert(1);\r\nvar x = Math.PI;\r\n");
    WriteFileBytes(Path("out.js"), "old");
    Form17->Show();
    ProcessMessages();
    Fixture.Dialogs.ExpectOpenFile(Path("in.js"));
    ClickControl(Form17->SpeedButton2, 5, 5);
    EXPECT_EQ(Form17->ColorMemo1->Text(), "alert(1);\r\nvar x = Math.PI;\r\n");
    Fixture.Dialogs.ExpectSaveFile(Path("out.js"));
    ClickControl(Form17->SpeedButton3, 5, 5);
    EXPECT_EQ(ReadFileBytes(Path("out.js")), "alert(1);\r\nvar x = Math.PI;\r\n");

    Form17->ColorMemo1->SetText("edited");
    Fixture.Dialogs.ExpectOpenFile("");
    Item(Form17, "Open1")->Click();
    Fixture.Dialogs.ExpectSaveFile("");
    Item(Form17, "Save1")->Click();
    EXPECT_EQ(Form17->ColorMemo1->Text(), "edited");
    EXPECT_EQ(ReadFileBytes(Path("out.js")), "alert(1);\r\nvar x = Math.PI;\r\n");

    Fixture.Dialogs.ExpectSaveFile(Path("out.js"));
    Item(Form17, "Save1")->Click();
    EXPECT_EQ(ReadFileBytes(Path("out.js")), "edited");
    Fixture.Dialogs.ExpectOpenFile(Path("in.js"));
    Item(Form17, "Open1")->Click();
    EXPECT_EQ(Form17->ColorMemo1->Lines()->Count(), 2);
    ClickControl(Form17->SpeedButton1, 5, 5);
    EXPECT_EQ(Form17->ColorMemo1->Text(), "");
    EXPECT_EQ(Fixture.Dialogs.Records().size(), 6u);
    Item(Form17, "Exit1")->Click();
    EXPECT_FALSE(Form17->Visible());
}

} // namespace
