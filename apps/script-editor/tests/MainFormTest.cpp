#include "apps/script-editor/Childwin.h"
#include "apps/script-editor/Main.h"
#include "apps/script-editor/Unit1.h"
#include "apps/script-editor/WendleStartup.h"
#include "apps/script-editor/about.h"
#include "apps/script-editor/browsercon.h"
#include "apps/script-editor/view.h"
#include "platform/app/Clipbrd.h"
#include "platform/app/Printers.h"
#include "platform/rtl/Registry.h"
#include "platform/rtl/SysUtils.h"
#include "platform/testing/AppTesting.h"
#include "platform/testing/TestSupport.h"
#include "platform/testing/WinTesting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

using namespace testing_support;

namespace {

bool HavePdfToText()
{
    return std::system("command -v pdftotext >/dev/null 2>&1") == 0;
}

// The text of each page of a PDF file (pdftotext ends each page with a form feed).
std::vector<std::string> PdfPages(const std::string& File)
{
    std::vector<std::string> Pages;
    FILE* P = popen(("pdftotext -layout '" + File + "' - 2>/dev/null").c_str(), "r");
    if (!P)
        return Pages;
    std::string All;
    char Buf[4096];
    while (std::size_t N = fread(Buf, 1, sizeof Buf, P))
        All.append(Buf, N);
    pclose(P);
    std::size_t Start = 0;
    for (std::size_t I = 0; I < All.size(); ++I)
        if (All[I] == '\f') {
            Pages.push_back(All.substr(Start, I - Start));
            Start = I + 1;
        }
    return Pages;
}

int CountOccurrences(const std::string& Text, const std::string& Word)
{
    int N = 0;
    for (std::size_t P = Text.find(Word); P != std::string::npos; P = Text.find(Word, P + Word.size()))
        ++N;
    return N;
}

std::vector<TToolWindow*> ToolWindowsOf(TComponent* Owner)
{
    std::vector<TToolWindow*> Result;
    for (int I = 0; I < Owner->ComponentCount(); ++I)
        if (auto* W = dynamic_cast<TToolWindow*>(Owner->Components(I)))
            Result.push_back(W);
    return Result;
}

// The whole program as it starts: unit start-ups, the five forms, the frame shown and active.
class WendleTest : public ::testing::Test {
protected:
    WendleTest()
    {
        SetProgramName("wendle");
        Dir = MakeTempDir("docs");
        Pdf = Dir + "/job.pdf";
        SetPrinterOutputFile(Pdf);
        delete SetPrinter(new TPrinter);
        RunUnitStartups();
        CreateProgramForms();
        Frame = MainForm;
        Frame->Show();
        ProcessMessages();
    }
    ~WendleTest() override
    {
        delete SetPrinter(nullptr);
        SetPrinterOutputFile("");
    }

    std::string MakeFile(const std::string& Name, const std::string& Text)
    {
        std::string Path = Dir + "/" + Name;
        WriteFileBytes(Path, Text);
        return Path;
    }
    TMDIChild* Open(const std::string& Path)
    {
        Fixture.Dialogs.ExpectOpenFile(Path);
        Frame->FileOpenItemClick(Frame);
        ProcessMessages();
        return Frame->ActiveDocument();
    }
    // A document open behind the image builder, a field of which has the keyboard.
    TMDIChild* OpenWithABuildersFieldFocused()
    {
        TMDIChild* A = Open(MakeFile("a.htm", "<P>page</P>\r\n"));
        Frame->IMG1Click(Frame);
        ProcessMessages();
        ClickControl(Frame->Edit38, 5, 5);
        return A;
    }
    TMDIChild* NewUntitled()
    {
        Frame->ToolbarButton48Click(Frame);
        ProcessMessages();
        return Frame->ActiveDocument();
    }
    // Types a character into the document, as the user edits it.
    void Type(TMDIChild* Child, char C)
    {
        Child->ColorMemo1->SetFocus();
        Child->ColorMemo1->SetSelStart(0);
        PressKey(std::toupper(static_cast<unsigned char>(C)), std::string(1, C));
        ProcessMessages();
    }
    bool IsOpen(TMDIChild* Child) const
    {
        for (int I = 0; I < Frame->MDIChildCount(); ++I)
            if (Frame->MDIChildren(I) == Child)
                return true;
        return false;
    }

    TAppTest Fixture;
    std::string Dir, Pdf;
    TMainForm* Frame = nullptr;
};

// ---- Start-up and the frame's description ---------------------------------------------------
TEST_F(WendleTest, StartUpMakesTheFiveFormsWithTheFrameAsMainForm)
{
    EXPECT_EQ(Application->MainForm(), Frame);
    EXPECT_EQ(Frame->Caption(), "Orvane Wendle");
    EXPECT_EQ(Frame->FormStyle(), fsMDIForm);
    EXPECT_EQ(Frame->WindowMenu(), Frame->Window1);
    ASSERT_TRUE(aboutbox && viewclip && browser && unitcon);
    EXPECT_EQ(aboutbox->Caption(), "About Orvane Wendle");
    EXPECT_EQ(viewclip->Caption(), "View Clipboard.");
    EXPECT_EQ(browser->Caption(), "Locate Browsers");
    EXPECT_EQ(unitcon->Caption(), "Install UNIT into Orvane Wendle.");
    EXPECT_FALSE(aboutbox->Visible());
    EXPECT_EQ(Frame->MDIChildCount(), 0);

    // Cursor slot 1 holds the memo's hand until the image cache's start-up takes it.
    EXPECT_NE(Screen->Cursors(1), nullptr);
}

TEST_F(WendleTest, TheClipboardWindowShowsTheClipboard)
{
    Clipboard()->SetAsText("for the viewer");
    viewclip->Show();
    ProcessMessages();
    ASSERT_NE(viewclip->ClipboardViewer1, nullptr);
    EXPECT_EQ(viewclip->ClipboardViewer1->BoundsRect(), Bounds(8, 16, 257, 113));
    auto* Shown = dynamic_cast<TMemo*>(viewclip->ClipboardViewer1->View());
    ASSERT_NE(Shown, nullptr);
    EXPECT_EQ(Shown->Text(), "for the viewer");
    Clipboard()->Clear();
    EXPECT_EQ(viewclip->ClipboardViewer1->View(), nullptr);
    EXPECT_EQ(viewclip->ClipboardViewer1->ViewFormat(), cvEmpty);
    viewclip->Button1Click(nullptr);
    EXPECT_FALSE(viewclip->Visible());
}

TEST_F(WendleTest, FrameHoldsDocksToolbarsAndHiddenToolWindows)
{
    int Docks = 0, Toolbars = 0;
    for (int I = 0; I < Frame->ComponentCount(); ++I) {
        TComponent* C = Frame->Components(I);
        Docks += dynamic_cast<TDock*>(C) != nullptr;
        Toolbars += dynamic_cast<TToolbar*>(C) != nullptr;
    }
    EXPECT_EQ(Docks, 4);
    EXPECT_EQ(Toolbars, 11);
    std::vector<TToolWindow*> Tools = ToolWindowsOf(Frame);
    EXPECT_EQ(Tools.size(), 22u);
    for (TToolWindow* W : Tools)
        EXPECT_FALSE(W->Visible()) << W->Name();

    // The docks stack at the top in their order, each as high as its row of bars.
    auto* Dock1 = dynamic_cast<TDock*>(Frame->FindComponent("Dock1"));
    auto* Dock2 = dynamic_cast<TDock*>(Frame->FindComponent("Dock2"));
    ASSERT_TRUE(Dock1 && Dock2);
    EXPECT_EQ(Dock1->Top(), 0);
    EXPECT_GT(Dock1->Height(), 0);
    EXPECT_EQ(Dock2->Top(), Dock1->Top() + Dock1->Height());
    auto* Toolbar5 = dynamic_cast<TToolbar*>(Frame->FindComponent("Toolbar5"));
    ASSERT_TRUE(Toolbar5);
    EXPECT_EQ(Toolbar5->Parent(), Dock1);
    EXPECT_GE(Toolbar5->Left(), 82);
}

// The frame as the user first sees it: four docks stacked at the top, each one row of its
// toolbars at their stored positions (a bar whose stored place overlaps the bar in front follows
// it), each bar its buttons' width with a raised frame and a drag handle at its left.
TEST_F(WendleTest, DocksShowTheirToolbarsInTheStoredRowsAndPositions)
{
    const struct {
        const char* Dock;
        std::vector<std::pair<const char*, int>> Bars; // name and left edge in the dock
    } Docks[] = {
        {"Dock1", {{"Toolbar1", 0}, {"Toolbar5", 82}, {"Toolbar2", 164}, {"Toolbar6", 499}}},
        {"Dock2",
         {{"Toolbar11", 0}, {"Toolbar10", 59}, {"Toolbar4", 239}, {"Toolbar8", 344}, {"Toolbar9", 472}}},
        {"Dock3", {{"Toolbar3", 0}}},
        {"Dock4", {{"Toolbar7", 0}}},
    };
    std::unique_ptr<TBitmap> Shot = RenderControl(Frame);
    ASSERT_TRUE(Shot);
    if (const char* Keep = std::getenv("WENDLE_KEEP_DOCKS"))
        Shot->SaveToFile(Keep);
    const TColor Face = ColorToRGB(clBtnFace), Light = ColorToRGB(clBtnHighlight);
    int DockTop = 0;
    for (const auto& D : Docks) {
        SCOPED_TRACE(D.Dock);
        auto* Dock = dynamic_cast<TDock*>(Frame->FindComponent(D.Dock));
        ASSERT_TRUE(Dock);
        EXPECT_EQ(Dock->Top(), DockTop);
        EXPECT_EQ(Dock->Height(), 26);
        DockTop += 26;
        for (const auto& [Name, Left] : D.Bars) {
            SCOPED_TRACE(Name);
            auto* Bar = dynamic_cast<TToolbar*>(Frame->FindComponent(Name));
            ASSERT_TRUE(Bar);
            EXPECT_EQ(Bar->DockedTo(), Dock);
            EXPECT_EQ(Bar->DockRow(), 0);
            EXPECT_EQ(Bar->Left(), Left);
            EXPECT_EQ(Bar->Top(), 0);
            int Buttons = 0;
            for (int I = 0; I < Bar->ControlCount(); ++I)
                Buttons += Bar->Controls(I)->Width();
            EXPECT_EQ(Bar->Width(), Buttons + 4 + 9);
            EXPECT_TRUE(IsWindowVisible(Bar->Handle()));
            // On screen: the highlight of the raised frame at the bar's corner, the face
            // strip and then the first grip of the handle.
            TPoint P = Frame->ScreenToClient(Bar->ClientToScreen(TPoint{0, 0}));
            const int X = P.x - 11, Y = P.y - 2;
            EXPECT_EQ(PixelAt(Shot.get(), X, Y), Light);
            EXPECT_EQ(PixelAt(Shot.get(), X + 3, Y + 8), Face);
            EXPECT_EQ(PixelAt(Shot.get(), X + 4, Y + 8), Light);
        }
    }
}

TEST_F(WendleTest, SyntaxWindowHoldsTheStoredTreeAndToggles)
{
    ASSERT_TRUE(Frame->syn);
    auto* Tree = dynamic_cast<TTreeView*>(Frame->FindComponent("TreeView1"));
    ASSERT_TRUE(Tree);
    EXPECT_EQ(Tree->Items()->Count(), 185);
    std::vector<std::string> Groups;
    for (TTreeNode* N = Tree->Items()->GetFirstNode(); N; N = N->GetNextSibling())
        Groups.push_back(N->Text());
    EXPECT_EQ(Groups,
              (std::vector<std::string>{"Date", "Math", "Window", "String", "Navigator", "Reserved Words"}));
    EXPECT_EQ(Frame->syn->ClientWidth(), 209);
    EXPECT_EQ(Frame->syn->ClientHeight(), 273);

    Frame->SyntaxWindow1Click(Frame);
    EXPECT_TRUE(Frame->syn->Visible());
    Frame->SyntaxWindow1Click(Frame);
    EXPECT_FALSE(Frame->syn->Visible());
}

TEST_F(WendleTest, MenuShortcutsAndHintsAreTheStoredOnes)
{
    struct TCase {
        const char* Name;
        const char* Caption;
        TShortCut Key;
        const char* Hint;
    };
    const TCase Cases[] = {
        {"FileNewItem", "&New", 16462, "Create a new file"},
        {"FileOpenItem", "&Open", 16463, "Open an existing file"},
        {"FileSaveItem", "&Save", 16467, "Save current file"},
        {"Print1", "&Print...", 16464, "Print file"},
        {"CutItem", "Cu&t", 16472, "Cut to clipboard"},
        {"CopyItem", "&Copy", 16451, "Copy to clipboard"},
        {"PasteItem", "&Paste", 16470, "Paste from clipboard"},
        {"SelectAll1", "&Select All", 16449, "Select All"},
        {"FileExitItem", "E&xit", 0, "Exit Wendle"},
    };
    for (const TCase& C : Cases) {
        auto* Item = dynamic_cast<TMenuItem*>(Frame->FindComponent(C.Name));
        ASSERT_TRUE(Item) << C.Name;
        EXPECT_EQ(Item->Caption(), C.Caption);
        EXPECT_EQ(Item->ShortCut(), C.Key) << C.Name;
        EXPECT_EQ(Item->Hint, C.Hint);
    }
    // Ctrl+N runs File New through the shortcut machinery: the new-file chooser comes up.
    auto* NewFile = dynamic_cast<TToolWindow*>(Frame->FindComponent("newfile"));
    ASSERT_TRUE(NewFile);
    PressShortCut('N', {ssCtrl});
    ProcessMessages();
    EXPECT_TRUE(NewFile->Visible());
}

TEST_F(WendleTest, MenuAndToolbarHintsGoToTheStatusBar)
{
    // A highlighted menu item (the hint is cleared again when the menu closes, so the status
    // bar is read each time the hint changes).
    std::vector<std::string> Shown;
    TNotifyEvent FrameHint = Application->OnHint;
    Application->OnHint = [&](TObject* Sender) {
        FrameHint(Sender);
        Shown.push_back(Frame->StatusBar->SimpleText());
    };
    auto* File1 = dynamic_cast<TMenuItem*>(Frame->FindComponent("File1"));
    ASSERT_TRUE(File1);
    Fixture.MenuChoices.ExpectHighlightOnly({"Open"}); // in the File drop-down
    Frame->TrackMenuBarItem(File1);
    ProcessMessages();
    EXPECT_NE(std::find(Shown.begin(), Shown.end(), "Open an existing file"), Shown.end());

    // The pointer over a toolbar button.
    auto* Tile = dynamic_cast<TControl*>(Frame->FindComponent("ToolbarButton35"));
    ASSERT_TRUE(Tile);
    SendMouse(Tile, WM_MOUSEMOVE, 5, 5);
    ProcessMessages();
    EXPECT_EQ(Frame->StatusBar->SimpleText(), "Tile Windows");
}

// ---- Enabled state ----------------------------------------------------------------------------
TEST_F(WendleTest, DocumentCommandsFollowTheNumberOfDocuments)
{
    auto Check = [&](bool Expected, const char* When) {
        for (TMenuItem* Item :
             {Frame->FileCloseItem, Frame->FileSaveItem, Frame->FileSaveAsItem, Frame->WindowCascadeItem,
              Frame->WindowTileItem, Frame->WindowArrangeItem, Frame->WindowMinimizeItem})
            EXPECT_EQ(Item->Enabled(), Expected) << Item->Name() << " " << When;
        for (TToolbarButton* B : {Frame->Cut, Frame->Copy1, Frame->Paste, Frame->Save})
            EXPECT_EQ(B->Enabled(), Expected) << B->Name() << " " << When;
        // Items nobody switches stay enabled throughout.
        EXPECT_TRUE(Frame->Print1->Enabled());
        EXPECT_TRUE(dynamic_cast<TMenuItem*>(Frame->FindComponent("CutItem"))->Enabled());
    };
    Check(false, "with no document");
    TMDIChild* A = Open(MakeFile("a.js", "var a = 1;\r\n"));
    ASSERT_TRUE(A);
    Check(true, "with one document");
    A->Close();
    ProcessMessages();
    EXPECT_EQ(Frame->MDIChildCount(), 0);
    Check(false, "after the last document closed");
}

// With no document open the document commands are disabled: their glyphs show embossed in the
// two greys; every other button with a glyph or a caption shows it in its own colours.
TEST_F(WendleTest, EveryToolbarButtonShowsItsGlyphOrCaption)
{
    const std::set<std::string> DocumentCommands{"Cut", "Copy1", "Paste", "Save"};
    auto Rgb = [](TColor Color) { return ColorToRGB(Color) & 0xFFFFFF; };
    const TColor Face = Rgb(clBtnFace), Light = Rgb(clBtnHighlight), Shadow = Rgb(clBtnShadow);
    int Checked = 0;
    for (int I = 0; I < Frame->ComponentCount(); ++I) {
        auto* B = dynamic_cast<TToolbarButton*>(Frame->Components(I));
        if (!B || (B->Glyph()->Empty() && B->Caption().empty()))
            continue;
        SCOPED_TRACE(B->Name());
        ++Checked;
        auto Image = RenderControl(B);
        int Grey = 0, Coloured = 0;
        for (int Y = 1; Y < B->Height() - 1; ++Y)
            for (int X = 1; X < B->Width() - 1; ++X) {
                const TColor P = PixelAt(Image.get(), X, Y) & 0xFFFFFF;
                Grey += P == Shadow;
                Coloured += P != Face && P != Light && P != Shadow;
            }
        if (DocumentCommands.count(B->Name())) {
            EXPECT_FALSE(B->Enabled());
            EXPECT_GT(Grey, 0);
            EXPECT_EQ(Coloured, 0);
        } else {
            EXPECT_GT(Coloured, 0);
        }
    }
    EXPECT_EQ(Checked, 42 + 4); // the glyphs and the four captions of the stored form
}

// ---- Registration -----------------------------------------------------------------------------
TEST_F(WendleTest, ActivationRegistersTheScriptFileType)
{
    TRegistry Reg;
    Reg.SetRootKey(HKEY_CLASSES_ROOT);
    ASSERT_TRUE(Reg.OpenKeyReadOnly("\\.js"));
    EXPECT_EQ(Reg.ReadString(""), "Javascript File");
    ASSERT_TRUE(Reg.OpenKeyReadOnly("\\Javascript File"));
    EXPECT_EQ(Reg.ReadString(""), "A JavaScript File");
    ASSERT_TRUE(Reg.OpenKeyReadOnly("\\Javascript File\\shell\\open\\command"));
    EXPECT_EQ(Reg.ReadString(""), Application->ExeName() + " \"%1\"");
    EXPECT_FALSE(Reg.KeyExists("\\Javascript File\\DefaultIcon"));
}

TEST_F(WendleTest, EveryActivationWritesTheRegistrationAgain)
{
    {
        TRegistry Reg;
        Reg.SetRootKey(HKEY_CLASSES_ROOT);
        ASSERT_TRUE(Reg.DeleteKey("\\.js"));
    }
    // Activation moves to another form of the program and comes back.
    aboutbox->Show();
    ProcessMessages();
    ASSERT_EQ(Screen->ActiveForm(), aboutbox);
    aboutbox->Hide();
    Frame->SetFocus();
    ProcessMessages();
    ASSERT_EQ(Screen->ActiveForm(), Frame);
    TRegistry Reg;
    Reg.SetRootKey(HKEY_CLASSES_ROOT);
    ASSERT_TRUE(Reg.OpenKeyReadOnly("\\.js"));
    EXPECT_EQ(Reg.ReadString(""), "Javascript File");
}

TEST(RegisterFileType, DotsTypeNameIconAndEmptyInputs)
{
    TAppTest Fixture;
    SetProgramName("wendle");
    RegisterFileType("..t.xt.", "", "Text", "icon.ico", "/bin/ed");
    TRegistry Reg;
    Reg.SetRootKey(HKEY_CLASSES_ROOT);
    ASSERT_TRUE(Reg.OpenKeyReadOnly("\\.txt"));
    EXPECT_EQ(Reg.ReadString(""), "txt_auto_file");
    ASSERT_TRUE(Reg.OpenKeyReadOnly("\\txt_auto_file\\DefaultIcon"));
    EXPECT_EQ(Reg.ReadString(""), "icon.ico");
    ASSERT_TRUE(Reg.OpenKeyReadOnly("\\txt_auto_file\\shell\\open\\command"));
    EXPECT_EQ(Reg.ReadString(""), "/bin/ed \"%1\"");

    RegisterFileType("...", "Dots", "x", "", "/bin/ed");
    RegisterFileType(".abc", "Abc", "x", "", "");
    EXPECT_FALSE(Reg.KeyExists("\\Dots"));
    EXPECT_FALSE(Reg.KeyExists("\\.abc"));
}

// ---- Opening, saving and closing documents ----------------------------------------------------
TEST_F(WendleTest, OpenShowsTheFileInANewActiveWindow)
{
    std::string PathA = MakeFile("a.js", "function a()\r\n{\r\n}\r\n");
    std::string PathB = MakeFile("b.htm", "<p>b</p>\r\n");
    TMDIChild* A = Open(PathA);
    TMDIChild* B = Open(PathB);
    ASSERT_TRUE(A && B);
    EXPECT_EQ(Frame->MDIChildCount(), 2);
    EXPECT_EQ(Frame->ActiveDocument(), B);
    EXPECT_EQ(A->Caption(), PathA);
    EXPECT_EQ(A->ColorMemo1->Lines()->Strings(0), "function a()");
    EXPECT_EQ(B->ColorMemo1->Lines()->Strings(0), "<p>b</p>");
    EXPECT_FALSE(B->ColorMemo1->Modified());

    // A cancelled dialog changes nothing.
    Fixture.Dialogs.ExpectOpenFile("");
    Frame->FileOpenItemClick(Frame);
    ProcessMessages();
    EXPECT_EQ(Frame->MDIChildCount(), 2);
    EXPECT_EQ(Frame->ActiveDocument(), B);
}

TEST_F(WendleTest, FailedOpenLeavesNoWindowAndReportsTheError)
{
    std::string Missing = Dir + "/missing.js";
    // The error reaches the application's report, as from a menu click.
    auto OpenMissing = [&] {
        Fixture.Dialogs.ExpectOpenFile(Missing);
        Fixture.Dialogs.ExpectMessageBox(IDOK);
        try {
            Frame->FileOpenItemClick(Frame);
        } catch (...) {
            Application->HandleException(Frame);
        }
        ProcessMessages();
    };
    OpenMissing();
    EXPECT_EQ(Frame->MDIChildCount(), 0);
    ASSERT_EQ(Fixture.Dialogs.Records().size(), 2u);
    EXPECT_NE(Fixture.Dialogs.Records()[1].Text.find("missing.js"), std::string::npos);
    EXPECT_FALSE(FileExists(Missing));
    // The short-lived window leaves the document commands as they were: off.
    EXPECT_FALSE(Frame->FileSaveItem->Enabled());
    EXPECT_FALSE(Frame->Save->Enabled());

    // With a document open, that one is active again afterwards, its text untouched.
    TMDIChild* A = Open(MakeFile("a.js", "alpha\r\n"));
    OpenMissing();
    EXPECT_EQ(Frame->MDIChildCount(), 1);
    EXPECT_EQ(Frame->ActiveDocument(), A);
    EXPECT_EQ(A->ColorMemo1->Text(), "alpha\r\n");
    EXPECT_TRUE(Frame->FileSaveItem->Enabled());
    Fixture.Dialogs.VerifyAllUsed();
}

// Two files open, one edited, then closed and answered each way.
TEST_F(WendleTest, ClosingAnEditedFileAsksAndFollowsTheAnswer)
{
    struct TCase {
        const char* Name;
        int Answer;
        bool Closed;
        bool Written;
    };
    const TCase Cases[] = {
        {"Yes saves and closes", IDYES, true, true},
        {"No discards and closes", IDNO, true, false},
        {"Cancel keeps the window", IDCANCEL, false, false},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        std::string PathA = MakeFile("a.js", "alpha\r\n");
        std::string PathB = MakeFile("b.js", "beta\r\n");
        TMDIChild* A = Open(PathA);
        TMDIChild* B = Open(PathB);
        Type(B, 'x');
        ASSERT_TRUE(B->ColorMemo1->Modified());
        Fixture.Dialogs.ExpectMessageBox(C.Answer, "Your file has been modified.");
        B->Close();
        ProcessMessages();
        EXPECT_EQ(Fixture.Dialogs.Records().back().Caption, "Save Changes to File?");
        EXPECT_EQ(IsOpen(B), !C.Closed);
        EXPECT_TRUE(IsOpen(A));
        EXPECT_EQ(ReadFileBytes(PathB), C.Written ? "xbeta\r\n" : "beta\r\n");
        EXPECT_EQ(ReadFileBytes(PathA), "alpha\r\n");
        if (!C.Closed) {
            EXPECT_EQ(B->ColorMemo1->Lines()->Strings(0), "xbeta");
            EXPECT_TRUE(B->ColorMemo1->Modified()); // asked again at the next close
            Fixture.Dialogs.ExpectMessageBox(IDNO);
            B->Close();
            ProcessMessages();
        }
        A->Close(); // unmodified: no question
        ProcessMessages();
        EXPECT_EQ(Frame->MDIChildCount(), 0);
        Fixture.Dialogs.VerifyAllUsed();
    }
}

TEST_F(WendleTest, ClosingAnEditedUntitledDocumentGoesThroughSaveAs)
{
    // Yes with the Save dialog answered: written there, window gone.
    TMDIChild* Doc = NewUntitled();
    ASSERT_TRUE(Doc);
    EXPECT_EQ(Doc->Caption(), "Untitled");
    Type(Doc, 'q');
    std::string Target = Dir + "/saved.js";
    Fixture.Dialogs.ExpectMessageBox(IDYES);
    Fixture.Dialogs.ExpectSaveFile(Target);
    Doc->Close();
    ProcessMessages();
    EXPECT_FALSE(IsOpen(Doc));
    EXPECT_EQ(ReadFileBytes(Target), "q");

    // Yes with the Save dialog cancelled: the window and its text stay.
    Doc = NewUntitled();
    Type(Doc, 'r');
    Fixture.Dialogs.ExpectMessageBox(IDYES);
    Fixture.Dialogs.ExpectSaveFile("");
    Doc->Close();
    ProcessMessages();
    ASSERT_TRUE(IsOpen(Doc));
    EXPECT_EQ(Doc->Caption(), "Untitled");
    EXPECT_EQ(Doc->ColorMemo1->Text(), "r");
    EXPECT_TRUE(Doc->ColorMemo1->Modified());
    Fixture.Dialogs.VerifyAllUsed();
}

TEST_F(WendleTest, SaveAndSaveAsFollowTheCaption)
{
    TMDIChild* Doc = NewUntitled();
    Type(Doc, 'a');
    // "Untitled" always goes through the dialog; a cancel keeps the caption.
    Fixture.Dialogs.ExpectSaveFile("");
    Frame->FileSaveItemClick(Frame);
    EXPECT_EQ(Doc->Caption(), "Untitled");
    std::string Target = Dir + "/page.js";
    Fixture.Dialogs.ExpectSaveFile(Target);
    Frame->SaveClick(Frame);
    EXPECT_EQ(Doc->Caption(), Target);
    EXPECT_EQ(ReadFileBytes(Target), "a");
    // Later saves write there without asking; the Modified flag is left as it was.
    Type(Doc, 'b');
    Frame->FileSaveItemClick(Frame);
    EXPECT_EQ(ReadFileBytes(Target), "ba");
    EXPECT_TRUE(Doc->ColorMemo1->Modified());
    Fixture.Dialogs.VerifyAllUsed();
}

TEST_F(WendleTest, FailedSaveKeepsCaptionAndText)
{
    TMDIChild* Doc = NewUntitled();
    Type(Doc, 'z');
    Fixture.Dialogs.ExpectSaveFile(Dir + "/no-such-dir/x.js");
    EXPECT_THROW(Frame->FileSaveAsItemClick(Frame), Exception);
    EXPECT_EQ(Doc->Caption(), "Untitled");
    EXPECT_EQ(Doc->ColorMemo1->Text(), "z");

    // Closing it: Yes, then the write fails: the error goes up and the window stays.
    Fixture.Dialogs.ExpectMessageBox(IDYES);
    Fixture.Dialogs.ExpectSaveFile(Dir + "/no-such-dir/x.js");
    EXPECT_THROW(Doc->Close(), Exception);
    ProcessMessages();
    EXPECT_TRUE(IsOpen(Doc));
    EXPECT_TRUE(Doc->ColorMemo1->Modified());
    Fixture.Dialogs.VerifyAllUsed();
}

TEST_F(WendleTest, ExitAsksAboutEveryModifiedDocumentAndCancelStopsIt)
{
    TMDIChild* A = Open(MakeFile("a.js", "a\r\n"));
    TMDIChild* B = Open(MakeFile("b.js", "b\r\n"));
    Open(MakeFile("c.js", "c\r\n")); // unmodified: not asked about
    Type(A, '1');
    Type(B, '2');
    const std::size_t Before = Fixture.Dialogs.Records().size();

    // The first answer is No, the second Cancel: the program keeps running, nothing is lost.
    // Each question is asked with its document in front.
    std::vector<TMDIChild*> InFront;
    for (int Answer : {IDNO, IDCANCEL})
        Fixture.Dialogs.Expect(TDialogKind::MessageBox, [&, Answer](TDialogRequest&) {
            InFront.push_back(Frame->ActiveDocument());
            return Answer;
        });
    Frame->FileExitItemClick(Frame);
    ProcessMessages();
    EXPECT_EQ(InFront, (std::vector<TMDIChild*>{B, A}));
    EXPECT_FALSE(Application->Terminated());
    EXPECT_EQ(Frame->MDIChildCount(), 3);
    EXPECT_EQ(Fixture.Dialogs.Records().size(), Before + 2);
    // The exit did not happen, so the No given before the cancel discarded nothing.
    EXPECT_TRUE(A->ColorMemo1->Modified());
    EXPECT_TRUE(B->ColorMemo1->Modified());

    // Both are answered No: the window's own close ends the program, asking nothing more as the
    // documents go.
    Fixture.Dialogs.ExpectMessageBox(IDNO);
    Fixture.Dialogs.ExpectMessageBox(IDNO);
    SendMessage(Frame->Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(Application->Terminated());
    Fixture.Dialogs.VerifyAllUsed();
}

// ---- Window commands --------------------------------------------------------------------------
TEST_F(WendleTest, WindowCommandsArrangeAndCloseDocuments)
{
    TMDIChild* A = Open(MakeFile("a.js", "a\r\n"));
    TMDIChild* B = Open(MakeFile("b.js", "b\r\n"));
    Frame->ToolbarButton20Click(Frame); // Minimize all
    EXPECT_EQ(A->WindowState(), wsMinimized);
    EXPECT_EQ(B->WindowState(), wsMinimized);
    A->SetWindowState(wsNormal);
    B->SetWindowState(wsNormal);

    // The cascade button shares its handler with Close Window.
    Frame->close123Click(Frame->casc);
    ProcessMessages();
    EXPECT_EQ(Frame->MDIChildCount(), 2);
    EXPECT_NE(A->Left(), B->Left());
    TMDIChild* Active = Frame->ActiveDocument();
    Frame->close123Click(Frame->FindComponent("close123"));
    ProcessMessages();
    EXPECT_EQ(Frame->MDIChildCount(), 1);
    EXPECT_FALSE(IsOpen(Active));
}

TEST_F(WendleTest, ShownToolWindowFloatsAboveTheDocuments)
{
    TMDIChild* A = Open(MakeFile("a.js", "function a()\r\n{\r\n  alert('a');\r\n}\r\n"));
    Open(MakeFile("b.htm", "<HTML>\r\n<!-- page > b -->\r\n</HTML>\r\n"));
    Frame->WindowTileItemClick(Frame);
    Frame->SyntaxWindow1Click(Frame);
    ProcessMessages();
    ASSERT_TRUE(A->Visible());
    TToolWindow* W = Frame->syn;
    ASSERT_FALSE(W->Docked());
    ASSERT_TRUE(IsWindowVisible(W->Handle()));
    // The middle of the floating caption is the tool window's own, above the documents.
    RECT R;
    GetWindowRect(W->Handle(), &R);
    TRect Cap = W->FloatingCaptionRect(true);
    POINT P{R.left + (Cap.left + Cap.right) / 2, R.top + (Cap.top + Cap.bottom) / 2};
    EXPECT_EQ(WindowFromPoint(P), W->Handle());
    TDibImage Shot = CaptureWindowImage(W->Handle());
    const COLORREF Caption = GetSysColor(COLOR_ACTIVECAPTION);
    EXPECT_EQ(Shot.Pixel(P.x - R.left, P.y - R.top),
              0xFF000000u | (GetRValue(Caption) << 16) | (GetGValue(Caption) << 8) | GetBValue(Caption));
}

// The toolbar buttons run their commands when clicked as a user clicks them.
TEST_F(WendleTest, ToolbarButtonsRunTheirCommands)
{
    auto Click = [&](const char* Name) {
        auto* B = dynamic_cast<TControl*>(Frame->FindComponent(Name));
        ASSERT_TRUE(B) << Name;
        ASSERT_TRUE(B->Enabled()) << Name;
        ClickControl(B, 5, 5);
        ProcessMessages();
    };
    Fixture.Dialogs.ExpectOpenFile(MakeFile("a.js", "alpha\r\n"));
    Click("ToolbarButton3"); // Open
    TMDIChild* A = Frame->ActiveDocument();
    ASSERT_TRUE(A);
    A->ColorMemo1->SelectAll();
    Click("Copy1");
    EXPECT_EQ(Clipboard()->AsText(), "alpha\r\n");
    Click("ToolbarButton48"); // New Text File: an "Untitled" document
    TMDIChild* B = Frame->ActiveDocument();
    ASSERT_NE(B, A);
    EXPECT_EQ(B->Caption(), "Untitled");
    Click("Paste");
    EXPECT_EQ(B->ColorMemo1->Text(), "alpha\r\n");
    std::string Target = Dir + "/copy.js";
    Fixture.Dialogs.ExpectSaveFile(Target);
    Click("Save");
    EXPECT_EQ(ReadFileBytes(Target), "alpha\r\n");
    Click("ToolbarButton1"); // New File: the chooser
    EXPECT_TRUE(Frame->newfile->Visible());

    // The Window menu lists both documents after its own items.
    ASSERT_EQ(Frame->Window1->Count(), 8);
    EXPECT_TRUE(Frame->Window1->Items(5)->IsLine());
    EXPECT_EQ(Frame->Window1->Items(7)->Caption(), "&2 " + Target);
    Fixture.Dialogs.VerifyAllUsed();
}

// The New Files buttons bring up their wizard windows; all but the UNIT one put the chooser away.
TEST_F(WendleTest, NewFilesButtonsShowTheirWizards)
{
    const struct {
        const char* Trigger;
        const char* Window;
        bool HidesChooser;
    } Cases[] = {
        {"ToolbarButton23", "metakey", true},      {"ToolbarButton45", "nmetadesc", true},
        {"ToolbarButton46", "bodytag", true},      {"ToolbarButton47", "js", true},
        {"ToolbarButton50", "html", true},         {"ToolbarButton49", "createunit", false},
        {"UNITHelpAboutFiles1", "unitwin", false},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Trigger);
        auto* W = dynamic_cast<TToolWindow*>(Frame->FindComponent(C.Window));
        ASSERT_TRUE(W);
        Frame->newfile->SetVisible(true);
        TComponent* T = Frame->FindComponent(C.Trigger);
        TNotifyEvent Click;
        if (auto* Item = dynamic_cast<TMenuItem*>(T))
            Click = Item->OnClick;
        else if (auto* Button = dynamic_cast<TControl*>(T))
            Click = Button->OnClick;
        ASSERT_TRUE(Click);
        Click(T);
        EXPECT_TRUE(W->Visible());
        EXPECT_EQ(Frame->newfile->Visible(), !C.HidesChooser);
        W->SetVisible(false);
    }
}

// With a builder's field focused, the editing keys edit the field; the document keeps its text.
TEST_F(WendleTest, EditingKeysInABuildersFieldStayInTheField)
{
    TMDIChild* A = OpenWithABuildersFieldFocused();
    ASSERT_EQ(GetFocus(), Frame->Edit38->Handle());
    PressShortCut('A', TShiftState{ssCtrl});
    PressKey('1', "1");
    PressKey('0', "0");
    EXPECT_EQ(Frame->Edit38->Text(), "10");
    Clipboard()->SetAsText("20");
    PressShortCut('V', TShiftState{ssCtrl});
    EXPECT_EQ(Frame->Edit38->Text(), "1020");
    EXPECT_EQ(A->ColorMemo1->Text(), "<P>page</P>\r\n");
    // The frame is freed with the field still focused.
}

// The builder's Cancel gives the keyboard back to the document.
TEST_F(WendleTest, ABuildersCancelGivesTheKeyboardBackToTheDocument)
{
    TMDIChild* A = OpenWithABuildersFieldFocused();
    ASSERT_EQ(GetFocus(), Frame->Edit38->Handle());
    auto* Cancel = dynamic_cast<TControl*>(Frame->FindComponent("Button37"));
    ASSERT_TRUE(Cancel);
    ClickControl(Cancel, 5, 5);
    EXPECT_FALSE(Frame->imgwin->Visible());
    EXPECT_EQ(GetFocus(), A->ColorMemo1->Handle());
    A->ColorMemo1->SetSelStart(0);
    PressKey('X', "x");
    EXPECT_EQ(A->ColorMemo1->Text(), "x<P>page</P>\r\n");
}

// The frame's shortcuts answer whenever the program is in front: after the last document
// closed, and after a tool window was shown and hidden.
TEST_F(WendleTest, FrameShortCutsWorkWithoutADocument)
{
    TMDIChild* A = Open(MakeFile("a.js", "alpha\r\n"));
    Frame->FileCloseItemClick(Frame);
    ProcessMessages();
    ASSERT_FALSE(IsOpen(A));
    Fixture.Dialogs.ExpectOpenFile("");
    PressShortCut('O', TShiftState{ssCtrl});
    EXPECT_EQ(Fixture.Dialogs.Pending(), 0u);

    Frame->SyntaxWindow1Click(Frame);
    ProcessMessages();
    ClickControl(Frame->syn, 20, 20);
    Frame->SyntaxWindow1Click(Frame);
    ProcessMessages();
    ASSERT_FALSE(Frame->syn->Visible());
    PressShortCut('N', TShiftState{ssCtrl});
    EXPECT_TRUE(Frame->newfile->Visible());
}

// A file holding NUL bytes is refused with its name; the document on show keeps its text.
TEST_F(WendleTest, OpeningAFileWithNulBytesIsRefused)
{
    TMDIChild* A = Open(MakeFile("a.js", "alpha\r\n"));
    const std::string Binary = MakeFile("tool.bin", std::string("\x7f"
                                                                "ELF\0\0\1",
                                                                7));
    Fixture.Dialogs.ExpectOpenFile(Binary);
    Fixture.Dialogs.ExpectMessageBox(IDOK, "tool.bin");
    try {
        Frame->FileOpenItemClick(Frame);
    } catch (...) {
        Application->HandleException(Frame);
    }
    ProcessMessages();
    EXPECT_EQ(Frame->MDIChildCount(), 1);
    EXPECT_EQ(Frame->ActiveDocument(), A);
    EXPECT_EQ(A->ColorMemo1->Text(), "alpha\r\n");
    EXPECT_NE(Fixture.Dialogs.Records().back().Text.find("NUL"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(Binary), std::string("\x7f"
                                                 "ELF\0\0\1",
                                                 7));
}

TEST_F(WendleTest, ToolWindowCloseBoxHidesIt)
{
    Frame->SyntaxWindow1Click(Frame);
    ProcessMessages();
    TToolWindow* W = Frame->syn;
    ASSERT_TRUE(W->Visible());
    int Closed = 0;
    W->OnClose = [&](TObject*) { ++Closed; };
    RECT R;
    GetWindowRect(W->Handle(), &R);
    TRect Box = W->CloseButtonRect();
    int X = R.left + (Box.left + Box.right) / 2, Y = R.top + (Box.top + Box.bottom) / 2;
    SimulateMouseAt(X, Y, WM_LBUTTONDOWN);
    SimulateMouseAt(X, Y, WM_LBUTTONUP);
    ProcessMessages();
    EXPECT_FALSE(W->Visible());
    EXPECT_EQ(Closed, 1);
}

// ---- Colouring ----------------------------------------------------------------------------------
// One sample per line, each chosen without descenders so the lines' ink stays apart. The
// comment holds a ">": the tag rule (after the comment rule) paints up to it, the comment's
// colour shows beyond, and the operator rule takes the "--".
TEST_F(WendleTest, DocumentsColourByTheNineStoredRules)
{
    TMDIChild* Doc =
        Open(MakeFile("c.htm", "<!-- a > note -->\r\n<b>\r\nfunction\r\nalert\r\na = b\r\nhref\r\n"
                               "while\r\n"));
    ASSERT_TRUE(Doc);
    EXPECT_EQ(Doc->ColorMemo1->ColorRules()->Count(), 9);
    EXPECT_TRUE(Doc->ColorMemo1->HotSpot()->Active);
    Doc->SetWindowState(wsMaximized);
    Doc->ColorMemo1->SetSelStart(
        static_cast<int>(Doc->ColorMemo1->Text().size())); // caret on the empty last line
    ProcessMessages();
    std::unique_ptr<TBitmap> Shot = RenderControl(Doc->ColorMemo1);
    ASSERT_TRUE(Shot);

    // Bands of rows holding ink (anything but the window colour), top to bottom.
    const TColor Paper = ColorToRGB(clWindow);
    std::vector<std::pair<int, int>> Bands;
    for (int Y = 0; Y < Shot->Height(); ++Y) {
        bool Ink = false;
        for (int X = 0; X < 200 && !Ink; ++X)
            Ink = PixelAt(Shot.get(), X, Y) != Paper;
        if (Ink && (Bands.empty() || Bands.back().second != Y - 1))
            Bands.push_back({Y, Y});
        else if (Ink)
            Bands.back().second = Y;
    }
    ASSERT_GE(Bands.size(), 7u);
    auto Has = [&](std::size_t Band, TColor Color) {
        for (int Y = Bands[Band].first; Y <= Bands[Band].second; ++Y)
            for (int X = 0; X < 200; ++X)
                if (PixelAt(Shot.get(), X, Y) == Color)
                    return true;
        return false;
    };
    const TColor Gray = 0x808080, Blue = 0xFF0000, Green = 0x008000, Red = 0x0000FF, Black = 0x000000,
                 Purple = 0x800080, Aqua = 0xFFFF00;
    struct TSample {
        const char* Line;
        std::vector<TColor> Present;
        std::vector<TColor> Absent;
    };
    const TSample Samples[] = {
        {"comment", {Blue, Gray, Red}, {Black}}, {"tag", {Blue}, {Black, Red}},
        {"function", {Green}, {Black, Red}},     {"alert", {Red}, {Black}},
        {"operator", {Red, Black}, {Blue}},      {"attribute", {Purple}, {Black}},
        {"loop word", {Aqua}, {Black}},
    };
    for (std::size_t I = 0; I < std::size(Samples); ++I) {
        for (TColor C : Samples[I].Present)
            EXPECT_TRUE(Has(I, C)) << Samples[I].Line << " lacks " << std::hex << C;
        for (TColor C : Samples[I].Absent)
            EXPECT_FALSE(Has(I, C)) << Samples[I].Line << " shows " << std::hex << C;
    }
}

// The document window as stored: the memo's look and its nine rules in their order, each with the
// fields its description sets (the rest at their defaults).
TEST_F(WendleTest, DocumentWindowHoldsTheStoredMemoAndRules)
{
    TMDIChild* Doc = NewUntitled();
    ASSERT_TRUE(Doc);
    TColorMemo* M = Doc->ColorMemo1;
    EXPECT_EQ(M->Align(), alClient);
    EXPECT_EQ(M->BorderStyle(), bsNone);
    EXPECT_EQ(M->ScrollBars(), ssBoth);
    EXPECT_EQ(M->Font()->Name(), "Courier New");
    EXPECT_EQ(M->Font()->Height(), -13);
    EXPECT_TRUE(M->Font()->Style().Contains(fsBold));
    EXPECT_EQ(M->Font()->Color(), clBlack);
    EXPECT_TRUE(M->HotSpot()->Active);

    const TColor Default = TColorRule(nullptr).DefKeyColor;
    struct TRuleCase {
        TKeyDrawingType Type;
        TColor Color;
        int Keywords;
        std::string FirstKeyword, LastKeyword;
        std::vector<std::string> BegEnd;
    };
    const TRuleCase Rules[] = {
        {dtBeginEnd, Default, 0, "", "", {"<!--;-->;gray"}},
        {dtBeginEnd, Default, 0, "", "", {"<;>;blue", ""}},
        {dtKeyShow,
         clPurple,
         92,
         "action",
         "charoff",
         {"BGCOLOR", "COLOR", "WIDTH", "HEIGHT", "SRC", "FACE", "HREF", "USEMAP", "SHAPE", "NAME", "BORDER",
          "ALT"}},
        {dtKeyShow, Default, 1, "//", "//", {}},
        {dtKeyShow, clGreen, 1, "function", "function", {}},
        {dtKeyShow, Default, 5, "\\n", "\\r", {}},
        {dtKeyShow, clAqua, 7, "for", "continue", {}},
        {dtKeyShow, Default, 26, "var", "!", {}},
        {dtKeyShow, Default, 4, "alert", "document.write", {}},
    };
    ASSERT_EQ(M->ColorRules()->Count(), 9);
    for (int I = 0; I < 9; ++I) {
        SCOPED_TRACE("rule " + std::to_string(I + 1));
        TColorRule* R = M->ColorRules()->Items(I);
        const TRuleCase& C = Rules[I];
        EXPECT_EQ(R->KeyDrawingType, C.Type);
        EXPECT_EQ(R->DefKeyColor, C.Color);
        ASSERT_EQ(R->Keywords()->Count(), C.Keywords);
        if (C.Keywords > 0) {
            EXPECT_EQ(R->Keywords()->Strings(0), C.FirstKeyword);
            EXPECT_EQ(R->Keywords()->Strings(C.Keywords - 1), C.LastKeyword);
        }
        std::vector<std::string> BegEnd;
        for (int J = 0; J < R->KeyBegEndLst()->Count(); ++J)
            BegEnd.push_back(R->KeyBegEndLst()->Strings(J));
        EXPECT_EQ(BegEnd, C.BegEnd);
    }
    // The escapes are two characters each, a backslash and a letter.
    std::string Escapes;
    for (int J = 0; J < 5; ++J)
        Escapes += M->ColorRules()->Items(5)->Keywords()->Strings(J) + ";";
    EXPECT_EQ(Escapes, "\\n;\\t;\\f;\\b;\\r;");
    // The attribute names keep their duplicates.
    int Names = 0;
    for (int J = 0; J < 92; ++J)
        Names += M->ColorRules()->Items(2)->Keywords()->Strings(J) == "name";
    EXPECT_EQ(Names, 2);
}

// ---- Printing -----------------------------------------------------------------------------------
TEST_F(WendleTest, PrintingPutsTheLinesOnPages)
{
    if (!HavePdfToText())
        GTEST_SKIP() << "pdftotext is not installed";
    std::string Text;
    const int Count = 130;
    for (int I = 1; I <= Count; ++I)
        Text += "line" + std::to_string(I) + "\r\n";
    Open(MakeFile("long.js", Text));
    Fixture.Dialogs.ExpectPrint(true);
    Frame->Print1Click(Frame);
    EXPECT_FALSE(Printer()->Printing());
    EXPECT_EQ(Printer()->Canvas()->Font()->Name(), "Courier New");
    EXPECT_TRUE(Printer()->Canvas()->Font()->Style().Contains(fsBold));

    int PerPage = Printer()->PageHeight() / Printer()->Canvas()->TextHeight("Wg");
    ASSERT_GT(PerPage, 0);
    std::vector<std::string> Pages = PdfPages(Pdf);
    EXPECT_EQ(int(Pages.size()), (Count + PerPage - 1) / PerPage);
    std::string All;
    for (const std::string& P : Pages)
        All += P;
    for (int I : {1, 2, PerPage, PerPage + 1, Count})
        EXPECT_EQ(CountOccurrences(All, "line" + std::to_string(I) + "\n"), 1) << I;
}

// A printer that cannot start the job reports it; no job stays open, so the next print works.
TEST_F(WendleTest, PrintThatCannotStartRaisesAndLeavesThePrinterFree)
{
    Open(MakeFile("a.js", "a\r\n"));
    SetPrinterOutputFile(Dir + "/no-such-dir/job.pdf");
    Fixture.Dialogs.ExpectPrint(true);
    EXPECT_THROW(Frame->Print1Click(Frame), Exception);
    EXPECT_FALSE(Printer()->Printing());
    SetPrinterOutputFile(Pdf);
    Fixture.Dialogs.ExpectPrint(true);
    Frame->Print1Click(Frame);
    EXPECT_FALSE(Printer()->Printing());
    EXPECT_TRUE(FileExists(Pdf));
    Fixture.Dialogs.VerifyAllUsed();
}

TEST_F(WendleTest, PrintWithoutADocumentOrWithACancelPrintsNothing)
{
    Frame->Print1Click(Frame); // no document: no dialog either
    EXPECT_FALSE(FileExists(Pdf));
    Open(MakeFile("a.js", "a\r\n"));
    Fixture.Dialogs.ExpectPrint(false);
    Frame->Print1Click(Frame);
    EXPECT_FALSE(Printer()->Printing());
    EXPECT_FALSE(FileExists(Pdf));
    Fixture.Dialogs.VerifyAllUsed();
}

} // namespace
