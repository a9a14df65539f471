#include "components/edit-boxes/PathUtils.h"

#include "platform/rtl/SysUtils.h"
#include "platform/testing/FormTesting.h"
#include "platform/testing/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testing_support;

TEST(PathUtils, CommandLineTokens)
{
    const std::string Long(300, 'x');
    struct {
        std::string Line;
        std::string Program, Params;
        int Count;
    } Cases[] = {
        {"\"/opt/my browser/run\" -a b", "/opt/my browser/run", "-a b", 3},
        {"\"\"first second", "first", "second", 2},
        {"  prog \"two words\" x", "prog", "\"two words\" x", 3},
        {Long + " tail", Long, "tail", 2}, // a long token stays one token
        {"", "", "", 0},
        {"\t\r\n", "", "", 0},
    };
    for (const auto& C : Cases) {
        std::string Program, Params;
        SplitProgramAndParams(C.Line, Program, Params);
        EXPECT_EQ(Program, C.Program) << C.Line.substr(0, 40);
        EXPECT_EQ(Params, C.Params) << C.Line.substr(0, 40);
        EXPECT_EQ(CommandTokenCount(C.Line), C.Count) << C.Line.substr(0, 40);
    }
    EXPECT_EQ(CommandTokenAt("a b c", 2), "c");
    EXPECT_EQ(CommandTokenAt("a b c", 3), "");
}

TEST(PathUtils, FileNamesAndDelimiters)
{
    struct {
        std::string Name;
        bool Valid;
    } Names[] = {{"|", false},
                 {"", false},
                 {"a<b", false},
                 {"x[1]", false},
                 {"q\"", false},
                 {"c:\\dir\\sub\\file.txt", true},
                 {"/home/u/file name.html", true}};
    for (const auto& N : Names)
        EXPECT_EQ(IsValidFileName(N.Name), N.Valid) << N.Name;

    std::string Text = "a;;b";
    std::size_t Pos = 0;
    std::vector<std::string> Parts;
    while (Pos <= Text.size())
        Parts.push_back(ExtractToDelimiter(Text, Pos, {';'}));
    EXPECT_EQ(Parts, (std::vector<std::string>{"a", "", "b"}));
}

TEST(PathUtils, LongPathNameKeepsFoundComponentsAndBlanksMissingOnes)
{
    std::string Base = MakeTempDir("long");
    ForceDirectories(Base + "/Alpha/Gamma");
    // Looked up without regard to case, answered as the disk spells it.
    EXPECT_EQ(LongPathName(Base + "/alpha/GAMMA"), Base + "/Alpha/Gamma");
    // A missing middle component leaves an empty name; the others are kept.
    EXPECT_EQ(LongPathName(Base + "/Beta/Gamma"), Base + "//");
    EXPECT_EQ(LongPathName(Base + "/Alpha/nothing"), Base + "/Alpha/");
    EXPECT_EQ(ShortPathName(Base + "/Alpha"), Base + "/Alpha");
    std::string Deep = Base + "/" + std::string(120, 'd') + "/" + std::string(120, 'e');
    ForceDirectories(Deep);
    EXPECT_EQ(LongPathName(Deep), Deep);
    EXPECT_TRUE(IsExistingDirectory(Deep));
    EXPECT_FALSE(IsExistingDirectory(Deep + "/none"));
}

TEST(PathUtils, FitRectOnScreen)
{
    int W = GetSystemMetrics(SM_CXSCREEN), H = GetSystemMetrics(SM_CYSCREEN);
    struct {
        TRect In, Out;
    } Cases[] = {
        {Rect(10, 10, 50, 50), Rect(10, 10, 50, 50)},
        {Rect(W - 10, H - 10, W + 30, H + 30), Rect(W - 40, H - 40, W, H)},
        {Rect(-20, -5, 30, 40), Rect(0, 0, 50, 45)},
        // Wider than the screen: Left 0, the width kept.
        {Rect(100, 0, W + 300, 10), Rect(0, 0, W + 200, 10)},
    };
    for (const auto& C : Cases) {
        TRect R = C.In;
        FitRectOnScreen(R);
        EXPECT_TRUE(R == C.Out) << R.left << "," << R.top << "," << R.right << "," << R.bottom;
    }
}

TEST(PathUtils, FailedPathQueryRaisesAClearMessage)
{
    EXPECT_EQ(CheckWin32Result(7), 7);
    try {
        CheckWin32Result(0);
        FAIL() << "no exception";
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message(), "The chosen folder has no path in the file system");
    }
}

// ---- The folder dialog -----------------------------------------------------------------------
class FolderDialogTest : public ::testing::Test {
protected:
    TWindowTest Fixture;
};

TEST_F(FolderDialogTest, CallbacksPreselectionAndChoice)
{
    std::string A = MakeTempDir("start"), B = MakeTempDir("chosen");
    TBrowseFolderDlg Dlg(nullptr);
    Dlg.Directory = A;
    Dlg.DialogText = "Select the UNIT directory";
    std::vector<std::string> Log;
    Dlg.OnInitialized = [&](TObject*) { Log.push_back("init " + Dlg.Selection()); };
    Dlg.OnSelChanged = [&](TObject*) { Log.push_back("sel " + Dlg.Selection()); };
    bool OkWasEnabled = false, HelpShown = true;
    Fixture.Dialogs.Expect(TDialogKind::BrowseFolder, [&](TDialogRequest& R) {
        EXPECT_EQ(R.Text, "Select the UNIT directory");
        HWND Ok = FindWindowEx(R.Window, nullptr, "BUTTON", nullptr);
        OkWasEnabled = Ok && IsWindowEnabled(Ok);
        HelpShown = FindWindowEx(R.Window, nullptr, "BUTTON", "&Help") != nullptr;
        SendMessage(R.Window, BFFM_SETSELECTION, TRUE, reinterpret_cast<LPARAM>(B.c_str()));
        return 1;
    });
    ASSERT_TRUE(Dlg.Execute());
    // The preselection reports before the dialog is set up; the user's move after it.
    EXPECT_EQ(Log, (std::vector<std::string>{"sel " + A, "init " + A, "sel " + B}));
    EXPECT_TRUE(OkWasEnabled);
    EXPECT_FALSE(HelpShown); // HelpContext 0
    EXPECT_EQ(Dlg.Directory, B);
    EXPECT_EQ(Dlg.DialogHandle(), nullptr);
}

TEST_F(FolderDialogTest, DisabledOkAndCancelLeaveTheDirectory)
{
    std::string A = MakeTempDir("start");
    std::string Path = A;
    Fixture.Dialogs.Expect(TDialogKind::BrowseFolder, [](TDialogRequest& R) {
        SendMessage(R.Window, BFFM_ENABLEOK, 0, 0);
        return 1; // a press of the disabled OK does nothing
    });
    EXPECT_FALSE(ShowFolderBrowser(Path, "t", 0));
    Fixture.Dialogs.ExpectFolder("");
    EXPECT_FALSE(ShowFolderBrowser(Path, "t", 0));
    EXPECT_EQ(Path, A);

    Fixture.Dialogs.Expect(TDialogKind::BrowseFolder, [](TDialogRequest& R) {
        EXPECT_NE(FindWindowEx(R.Window, nullptr, "BUTTON", "&Help"), nullptr);
        return 0;
    });
    EXPECT_FALSE(ShowFolderBrowser(Path, "t", 12));
}

TEST_F(FolderDialogTest, SelectDirectoryStartsAtTheGivenDirectory)
{
    std::string A = MakeTempDir("lib"), B = MakeTempDir("other");
    std::string Dir = A;
    std::string Seen;
    Fixture.Dialogs.Expect(TDialogKind::BrowseFolder, [&](TDialogRequest& R) {
        auto* Form = dynamic_cast<TCustomForm*>(FindControl(R.Window));
        EXPECT_NE(Form, nullptr);
        SendMessage(R.Window, BFFM_SETSELECTION, TRUE, reinterpret_cast<LPARAM>(B.c_str()));
        return 1;
    });
    EXPECT_TRUE(SelectDirectory(Dir, {}, 0));
    EXPECT_EQ(Dir, B);
}
