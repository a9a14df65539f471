#include "apps/script-editor/UnitPalette.h"
#include "apps/script-editor/Unit1.h"
#include "apps/script-editor/tests/WendleProgramTest.h"
#include "components/edit-boxes/ComboEdits.h"
#include "platform/app/Clipbrd.h"
#include "platform/graphics/Graphics.h"
#include "platform/rtl/IniFiles.h"

#include <gtest/gtest.h>

#include <string>

using namespace testing_support;

namespace {

class UnitPaletteTest : public WendleProgramTest {
protected:
    std::string LibIni() const { return ConfigDir() + "/wendle/lib.ini"; }
    // A UNIT directory Name holding the given script and, when Width > 0, a glyph that wide.
    std::string MakeUnit(const std::string& Name, const std::string& Script, int Width)
    {
        const std::string Dir = MakeTempDir(Name);
        WriteFileBytes(Dir + "/unit1.js", Script);
        if (Width > 0)
            MakeBitmap(Dir + "/unit1.bmp", Width);
        return Dir;
    }
    static void MakeBitmap(const std::string& FileName, int Width)
    {
        TBitmap Bitmap;
        Bitmap.SetWidth(Width);
        Bitmap.SetHeight(16);
        Bitmap.SaveToFile(FileName);
    }
    // Assigns a UNIT directory to button N as the dialog stores it.
    void Assign(int N, const std::string& Dir)
    {
        TIniFile("lib.ini").WriteString("Lib", "q" + std::to_string(N), StoredUnitDir(Dir));
    }
    TToolbarButton* Button(int N) { return Get<TToolbarButton>("q" + std::to_string(N)); }
    void Activate() { Frame->FormActivate(Frame); }
};

// ---- Tunitcon -------------------------------------------------------------------------------
// Save Changes stores the chosen directory with one separator after it; Look Up reads the key
// formed from the combo box's text as typed.
TEST_F(UnitPaletteTest, TheDialogStoresDirectoriesWithOneTrailingSeparatorAndLooksThemUp)
{
    struct TCase {
        const char* Button;
        const char* Chosen;
        const char* Stored;
    } Cases[] = {
        {"7", "/u/a", "/u/a\\"},
        {"8", "/u/b\\", "/u/b\\"}, // no second one
        {"9", "/u/c/", "/u/c/"},
        {"x", "/u/d", "/u/d\\"}, // the key as typed, unchecked
    };
    for (const TCase& C : Cases) {
        unitcon->ComboBox2->SetText(C.Button);
        Fire("Button2", unitcon);
        EXPECT_EQ(Get<TButton>("Button3", unitcon)->Caption(),
                  std::string("Save Changes to button ") + C.Button);
        EXPECT_EQ(unitcon->DirectoryEdit1->Text(), "ERROR");
        unitcon->DirectoryEdit1->SetText(C.Chosen);
        Fire("Button3", unitcon);
        EXPECT_EQ(TIniFile("lib.ini").ReadString("Lib", std::string("q") + C.Button, ""), C.Stored)
            << C.Chosen;
        unitcon->ComboBox1->SetText(C.Button);
        Fire("Button1", unitcon);
        EXPECT_EQ(unitcon->Edit1->Text(), C.Stored);
        EXPECT_EQ(unitcon->Label2->Caption(),
                  std::string("The current directory assigned to button: ") + C.Button + " is:");
    }
    // The initial text names no key.
    unitcon->ComboBox1->SetText("from the 50 available to you.");
    Fire("Button1", unitcon);
    EXPECT_EQ(unitcon->Edit1->Text(), "ERROR");
}

// ---- Palette load and clicks -------------------------------------------------------------------
TEST_F(UnitPaletteTest, ActivationLoadsAssignedGlyphsAndAClickPastesTheScriptWithCrLf)
{
    const std::string One = MakeUnit("one", "var a;\nalert(a);\n", 16);
    const std::string Fifty = MakeUnit("fifty", "// last", 24);
    Assign(1, One);
    Assign(50, Fifty);
    Activate();
    EXPECT_EQ(Button(1)->Glyph()->Width(), 16);
    EXPECT_EQ(Button(50)->Glyph()->Width(), 24);
    EXPECT_TRUE(Button(2)->Glyph()->Empty());
    EXPECT_EQ(Frame->UnitPalette[0].Dir, One + "\\");
    EXPECT_EQ(Frame->UnitPalette[0].JsPath, One + "\\unit1.js");
    EXPECT_EQ(Frame->UnitPalette[49].GlyphPath, Fifty + "\\unit1.bmp");

    TMDIChild* Child = Document("Untitled", "[]");
    Child->ColorMemo1->SetSelStart(1);
    Fire("q1");
    EXPECT_EQ(Child->ColorMemo1->Text(), "[var a;\r\nalert(a);\r\n]");
    EXPECT_EQ(Clipboard()->AsText(), "var a;\r\nalert(a);\r\n");
    // An unassigned button is skipped: nothing pasted, no error.
    Fire("q2");
    EXPECT_EQ(Child->ColorMemo1->Text(), "[var a;\r\nalert(a);\r\n]");

    // A button whose assignment is removed loses its glyph at the next load.
    TIniFile("lib.ini").DeleteKey("Lib", "q50");
    Fire("Button6", unitcon); // Load UNIT Palette Again
    EXPECT_TRUE(Button(50)->Glyph()->Empty());
    EXPECT_TRUE(Frame->UnitPalette[49].JsPath.empty());
    EXPECT_EQ(Button(1)->Glyph()->Width(), 16);
}

// A glyph that does not load costs its own button only, and the box telling so comes once, not at
// every activation, until the load goes cleanly again.
TEST_F(UnitPaletteTest, AGlyphThatDoesNotLoadIsReportedOnceAndTheOthersStillLoad)
{
    const std::string Bad = MakeUnit("bad", "x", 0);
    Assign(3, Bad);
    Assign(4, MakeUnit("good", "y", 16));
    Fixture.Dialogs.ExpectMessageBox(IDOK, "UNIT button 3: ");
    Activate();
    EXPECT_EQ(Fixture.Dialogs.Pending(), 0u);
    EXPECT_TRUE(Button(3)->Glyph()->Empty());
    EXPECT_EQ(Button(4)->Glyph()->Width(), 16);
    Activate(); // no second box (an unexpected one fails the test)
    Activate();

    MakeBitmap(Bad + "/unit1.bmp", 20);
    Activate();
    EXPECT_EQ(Button(3)->Glyph()->Width(), 20);
    DeleteFile(Bad + "/unit1.bmp");
    Fixture.Dialogs.ExpectMessageBox(IDOK, "UNIT button 3: ");
    Activate(); // a new occurrence is told again
    EXPECT_EQ(Fixture.Dialogs.Pending(), 0u);
}

// An unreadable lib.ini is told once; the activation that closing the box brings does not show it
// again, so there is no loop. A missing one is the state of a fresh installation: all buttons are
// simply unassigned.
TEST_F(UnitPaletteTest, AnUnreadableLibIniIsReportedOncePerActivationWithoutALoop)
{
    ASSERT_TRUE(ForceDirectories(LibIni())); // a directory stands for a file that cannot be read
    int Shown = 0;
    Fixture.Dialogs.Expect(TDialogKind::MessageBox, [&](TDialogRequest& R) {
        ++Shown;
        EXPECT_NE(R.Text.find("lib.ini\" cannot be read."), std::string::npos) << R.Text;
        Activate(); // closing the box activates the frame again
        return IDOK;
    });
    Activate();
    EXPECT_EQ(Shown, 1);
    Activate();
    EXPECT_EQ(Shown, 1);
    for (int N = 1; N <= TMainForm::UnitButtonCount; ++N)
        EXPECT_TRUE(Frame->UnitPalette[static_cast<std::size_t>(N - 1)].JsPath.empty()) << N;

    ASSERT_TRUE(RemoveDir(LibIni()));
    Activate(); // missing: no box
    EXPECT_EQ(Shown, 1);
}

// ---- Create New UNIT wizard ------------------------------------------------------------------
class CreateUnitTest : public UnitPaletteTest {
protected:
    // Runs Create on the two fields; the box shown must say Expected.
    void Create(const std::string& Dir, const std::string& Bitmap, const std::string& Expected)
    {
        Frame->Edit40->SetText(Dir);
        Frame->Edit41->SetText(Bitmap);
        Fixture.Dialogs.ExpectMessageBox(IDOK, Expected);
        Fire("Button39");
        EXPECT_EQ(Fixture.Dialogs.Pending(), 0u);
    }
    const std::string Failed =
        "This error could be either of the following.  You may not have specified a bmp "
        "file, an error occurred during the creation of the directory or files with the "
        "names unit1 are already in the directory specified.";
};

TEST_F(CreateUnitTest, CreateMakesTheDirectoryTwoEmptyFilesAndMovesTheBitmap)
{
    Fire("ToolbarButton49");
    EXPECT_TRUE(Frame->createunit->Visible());
    const std::string Base = MakeTempDir("units");
    WriteFileBytes(Base + "/open.bmp", "BM-bytes");
    Create(Base + "/myunit", Base + "/open.bmp", "The UNIT has been created.");
    const TDialogRecord& Box = Fixture.Dialogs.Records().back();
    EXPECT_EQ(Box.Caption, "UNIT Created");
    EXPECT_EQ(Box.Flags & MB_ICONMASK, MB_ICONINFORMATION);
    // Readable at once, empty, and the bitmap moved rather than copied.
    EXPECT_EQ(ReadFileBytes(Base + "/myunit/unit1.js"), "");
    const int Handle = FileOpen(Base + "/myunit/unit1.js", fmOpenRead);
    EXPECT_GE(Handle, 0);
    FileClose(Handle);
    EXPECT_EQ(ReadFileBytes(Base + "/myunit/unit1.txt"), "");
    EXPECT_EQ(ReadFileBytes(Base + "/myunit/unit1.bmp"), "BM-bytes");
    EXPECT_FALSE(FileExists(Base + "/open.bmp"));
    EXPECT_TRUE(Frame->createunit->Visible()); // the wizard stays up

    Fire("Button40");
    EXPECT_FALSE(Frame->createunit->Visible());
}

// Creating over an existing package reports the error and keeps every file of it; the chosen
// bitmap stays where it was.
TEST_F(CreateUnitTest, CreatingOverAnExistingPackageKeepsItsFiles)
{
    const std::string Unit = MakeTempDir("existing");
    WriteFileBytes(Unit + "/unit1.js", "keep js");
    WriteFileBytes(Unit + "/unit1.txt", "keep txt");
    WriteFileBytes(Unit + "/unit1.bmp", "keep bmp");
    const std::string Other = MakeTempDir("other") + "/new.bmp";
    WriteFileBytes(Other, "new bmp");
    Create(Unit, Other, Failed);
    const TDialogRecord& Box = Fixture.Dialogs.Records().back();
    EXPECT_EQ(Box.Caption, "Orvane Wendle ERROR!");
    EXPECT_EQ(Box.Flags & MB_ICONMASK, MB_ICONERROR);
    EXPECT_EQ(ReadFileBytes(Unit + "/unit1.js"), "keep js");
    EXPECT_EQ(ReadFileBytes(Unit + "/unit1.txt"), "keep txt");
    EXPECT_EQ(ReadFileBytes(Unit + "/unit1.bmp"), "keep bmp");
    EXPECT_EQ(ReadFileBytes(Other), "new bmp");
}

TEST_F(CreateUnitTest, EachFailedStepGivesTheErrorBox)
{
    const std::string Base = MakeTempDir("units");
    // An existing empty directory: the files are made and the bitmap moved, yet the directory
    // step failed.
    const std::string Empty = MakeTempDir("empty");
    WriteFileBytes(Base + "/a.bmp", "a");
    Create(Empty, Base + "/a.bmp", Failed);
    EXPECT_TRUE(FileExists(Empty + "/unit1.js"));
    EXPECT_EQ(ReadFileBytes(Empty + "/unit1.bmp"), "a");

    // No bitmap chosen: the directory and files are there, the box says why it is incomplete.
    Create(Base + "/nobmp", "", Failed);
    EXPECT_TRUE(FileExists(Base + "/nobmp/unit1.txt"));
    EXPECT_FALSE(FileExists(Base + "/nobmp/unit1.bmp"));

    // A directory that cannot be made (its parent is missing).
    WriteFileBytes(Base + "/b.bmp", "b");
    Create(Base + "/no/such", Base + "/b.bmp", Failed);
    EXPECT_EQ(ReadFileBytes(Base + "/b.bmp"), "b");

    // No directory at all: nothing is made anywhere (not in the root).
    const bool RootHadOne = FileExists("/unit1.js");
    Create("  ", Base + "/b.bmp", Failed);
    EXPECT_EQ(FileExists("/unit1.js"), RootHadOne);
    EXPECT_EQ(ReadFileBytes(Base + "/b.bmp"), "b");
}

TEST_F(CreateUnitTest, TheBrowseButtonFillsTheBitmapField)
{
    Fixture.Dialogs.ExpectOpenFile("/pics/open.bmp");
    Fire("SpeedButton1");
    EXPECT_EQ(Frame->Edit41->Text(), "/pics/open.bmp");
    Fixture.Dialogs.ExpectOpenFile(""); // cancelled: the field keeps its text
    Fire("SpeedButton1");
    EXPECT_EQ(Frame->Edit41->Text(), "/pics/open.bmp");
    EXPECT_EQ(Frame->OpenDialog2->Filter, "(*.bmp)|*.bmp");
}

// ---- UNIT help viewer -----------------------------------------------------------------------
TEST_F(UnitPaletteTest, TheHelpViewerLoadsTheChosenHelpFile)
{
    Fire("UNITHelpAboutFiles1");
    EXPECT_TRUE(Frame->unitwin->Visible());
    // Cancelled before any choice: the dialog's own file name.
    Fixture.Dialogs.ExpectOpenFile("");
    Fire("Button38");
    EXPECT_EQ(Frame->Label66->Caption(), "Current File Open: unit1.txt");
    EXPECT_EQ(Frame->Memo15->Text(), "");

    const std::string Help = MakeTempDir("help") + "/unit1.txt";
    WriteFileBytes(Help, "How to use\nthis UNIT");
    Fixture.Dialogs.ExpectOpenFile(Help);
    Fire("Button38");
    EXPECT_EQ(Frame->Memo15->Text(), "How to use\r\nthis UNIT");
    EXPECT_EQ(Frame->Label66->Caption(), "Current File Open: " + Help);
}

} // namespace
