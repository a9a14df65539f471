#include "platform/app/MMSystem.h"
#include "platform/app/ShellApi.h"
#include "platform/controls/Dialogs.h"
#include "platform/testing/AppTesting.h"
#include "platform/testing/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

using namespace testing_support;

namespace {

TEST(SplitCommandLineTest, QuotesGroupAndAreDropped)
{
    struct Case {
        const char* Line;
        std::vector<std::string> Args;
    } Cases[] = {
        {"", {}},
        {"   ", {}},
        {"prog", {"prog"}},
        {"  prog   a\tb  ", {"prog", "a", "b"}},
        {"prog \"two words\" x", {"prog", "two words", "x"}},
        {"prog a\"b c\"d", {"prog", "ab cd"}},
        {"prog \"\"", {"prog", ""}},
        {"prog \"say \"\"hi\"\"\"", {"prog", "say \"hi\""}},
        {"prog c:\\dir\\file.html", {"prog", "c:\\dir\\file.html"}},
        {"prog \"unterminated arg", {"prog", "unterminated arg"}},
        {"prog ;rm -rf x $(id) `id` |cat", {"prog", ";rm", "-rf", "x", "$(id)", "`id`", "|cat"}},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(SplitCommandLine(C.Line), C.Args) << C.Line;
}

// Writes an executable script.
void WriteScript(const std::string& Path, const std::string& Body)
{
    WriteFileBytes(Path, "#!/bin/sh\n" + Body);
    chmod(Path.c_str(), 0755);
}

// Waits for a file a started program writes last (it renames it into place when done).
std::string WaitForFile(const std::string& Path)
{
    for (int I = 0; I < 500; ++I) {
        if (FileExists(Path))
            return ReadFileBytes(Path);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return "(timed out)";
}

class ProgramTest : public ::testing::Test {
protected:
    ProgramTest()
    {
        SetSystemCallHandler(nullptr);
        Dir = MakeTempDir("programs");
        Out = Dir + "/argv.txt";
        // Prints every argument it gets between brackets, one a line.
        WriteScript(Dir + "/show-args", "for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done > \"$0.tmp\"\n"
                                        "/bin/mv \"$0.tmp\" \"" +
                                            Out + "\"\n");
        const char* Path = std::getenv("PATH");
        SavedPath = Path ? Path : "";
    }
    ~ProgramTest() override { setenv("PATH", SavedPath.c_str(), 1); }
    std::string Dir, Out, SavedPath;
};

TEST_F(ProgramTest, WinExecPassesArgumentsExactlyWithoutAShell)
{
    const std::string Witness = Dir + "/injected";
    const std::string Line = Dir + "/show-args \"two words\" ;touch " + Witness + " $(touch " + Witness +
                             ") `touch " + Witness + "` '|' && \"say \"\"hi\"\"\" *";
    const UINT Result = WinExec(Line.c_str(), SW_SHOWNORMAL);
    EXPECT_GT(Result, 31u);
    const std::string Got = WaitForFile(Out);
    EXPECT_EQ(Got, "[two words]\n[;touch]\n[" + Witness + "]\n[$(touch]\n[" + Witness + ")]\n[`touch]\n[" +
                       Witness + "`]\n['|']\n[&&]\n[say \"hi\"]\n[*]\n");
    EXPECT_FALSE(FileExists(Witness));
}

TEST_F(ProgramTest, WinExecFindsProgramsOnPathAndMapsWindowsPaths)
{
    setenv("PATH", (Dir + ":" + SavedPath).c_str(), 1);
    WriteFileBytes(Dir + "/page.html", "<html>");
    // The way the browser preview builds its command line: a native directory, "\" and a name.
    const std::string Line = "show-args " + Dir + "\\page.html plain\\text";
    EXPECT_GT(WinExec(Line.c_str(), SW_SHOWNORMAL), 31u);
    EXPECT_EQ(WaitForFile(Out), "[" + Dir + "/page.html]\n[plain\\text]\n");
}

TEST_F(ProgramTest, WinExecFailuresAreBelow32)
{
    WriteFileBytes(Dir + "/not-executable", "data");
    struct Case {
        std::string Line;
        UINT Expected;
    } Cases[] = {
        {"", ERROR_FILE_NOT_FOUND},
        {"ERROR " + Dir + "\\temp.html", ERROR_FILE_NOT_FOUND}, // browser not configured
        {"no-such-program-anywhere-xyz", ERROR_FILE_NOT_FOUND},
        {Dir + "/missing", ERROR_FILE_NOT_FOUND},
        {Dir + "/no-dir/missing", ERROR_PATH_NOT_FOUND},
        {Dir + "/not-executable", SE_ERR_ACCESSDENIED},
        {Dir, SE_ERR_ACCESSDENIED},
    };
    for (const Case& C : Cases) {
        const UINT R = WinExec(C.Line.c_str(), SW_SHOWNORMAL);
        EXPECT_LT(R, 32u) << C.Line;
        EXPECT_EQ(R, C.Expected) << C.Line;
    }
}

TEST_F(ProgramTest, ShellExecuteOfAMissingDocumentFails)
{
    EXPECT_EQ(reinterpret_cast<std::intptr_t>(ShellExecute(nullptr, "open", (Dir + "/absent.html").c_str(),
                                                           nullptr, nullptr, SW_SHOWNORMAL)),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(reinterpret_cast<std::intptr_t>(ShellExecute(nullptr, "print", (Dir + "/show-args").c_str(),
                                                           nullptr, nullptr, SW_SHOWNORMAL)),
              SE_ERR_NOASSOC);
    // A program named as the document is started with the parameters.
    EXPECT_GT(reinterpret_cast<std::intptr_t>(ShellExecute(nullptr, "open", (Dir + "/show-args").c_str(),
                                                           "\"a b\" c", nullptr, SW_SHOWNORMAL)),
              32);
    EXPECT_EQ(WaitForFile(Out), "[a b]\n[c]\n");
}

TEST_F(ProgramTest, SoundPlaysWithAPlayerAndIsSilentOtherwise)
{
    // A stand-in player that records what it was asked to play.
    const std::string Played = Dir + "/played.txt";
    WriteScript(Dir + "/paplay",
                "printf '%s\\n' \"$@\" > \"$0.tmp\"; /bin/mv \"$0.tmp\" \"" + Played + "\"\n");
    const std::string Wav = Dir + "/ding.wav";
    WriteFileBytes(Wav, "RIFF....WAVE");
    setenv("PATH", Dir.c_str(), 1);

    EXPECT_FALSE(sndPlaySound((Dir + "/missing.wav").c_str(), SND_ASYNC));
    EXPECT_FALSE(sndPlaySound(nullptr, SND_ASYNC));
    EXPECT_FALSE(sndPlaySound("", SND_ASYNC));
    EXPECT_TRUE(sndPlaySound(Wav.c_str(), SND_ASYNC));
    EXPECT_EQ(WaitForFile(Played), Wav + "\n");

    // No player at all: nothing plays, nothing complains.
    setenv("PATH", (Dir + "/empty").c_str(), 1);
    EXPECT_FALSE(sndPlaySound(Wav.c_str(), SND_ASYNC));
}

class ShellRecordTest : public TAppTest, public ::testing::Test {};

TEST_F(ShellRecordTest, CallsReachTheRecorder)
{
    EXPECT_EQ(reinterpret_cast<std::intptr_t>(
                  ShellExecute(nullptr, "open", "http://example.test/page", nullptr, nullptr, SW_SHOWNORMAL)),
              33);
    Recorder.Result = 40;
    EXPECT_EQ(WinExec("browser \"c:\\my docs\\temp.html\" -x", SW_SHOWNORMAL), 40u);
    EXPECT_TRUE(sndPlaySound("c:\\sounds\\ding.wav", SND_ASYNC));
    EXPECT_TRUE(MessageBeep(MB_ICONEXCLAMATION));
    ASSERT_EQ(Recorder.Calls().size(), 4u);
    const TSystemCall& Open = Recorder.Calls()[0];
    EXPECT_EQ(Open.Kind, TSystemCall::ShellExecute);
    EXPECT_EQ(Open.Operation, "open");
    EXPECT_EQ(Open.File, "http://example.test/page");
    EXPECT_EQ(Open.ShowCmd, SW_SHOWNORMAL);
    const TSystemCall& Exec = Recorder.Calls()[1];
    EXPECT_EQ(Exec.Kind, TSystemCall::StartProgram);
    EXPECT_EQ(Exec.File, "browser");
    EXPECT_EQ(Exec.Parameters, "\"c:\\my docs\\temp.html\" -x");
    const TSystemCall& Sound = Recorder.Calls()[2];
    EXPECT_EQ(Sound.Kind, TSystemCall::PlaySound);
    EXPECT_EQ(Sound.File, "c:\\sounds\\ding.wav");
    EXPECT_EQ(Sound.Flags, SND_ASYNC);
    EXPECT_EQ(Recorder.Calls()[3].Kind, TSystemCall::MessageBeep);
    EXPECT_EQ(Recorder.Calls()[3].Flags, MB_ICONEXCLAMATION);
    // A handler that refuses the beep makes it fail.
    Recorder.Result = 0;
    EXPECT_FALSE(MessageBeep(0xFFFFFFFF));
}

TEST_F(ShellRecordTest, HelpOpensTheHtmlRenditionOrSaysItIsMissing)
{
    const std::string Dir = MakeTempDir("help");
    WriteFileBytes(Dir + "/Help.html", "<html>help</html>");
    App->SetTitle("Help Test");

    // Through the application object when no help viewer is installed.
    SetHelpViewer(nullptr);
    App->HelpFile = Dir + "/Help.hlp";
    EXPECT_TRUE(App->HelpCommand(HELP_CONTENTS, 0));
    ASSERT_EQ(Recorder.Calls().size(), 1u);
    EXPECT_EQ(Recorder.Calls()[0].Kind, TSystemCall::Help);
    EXPECT_EQ(Recorder.Calls()[0].File, Dir + "/Help.html");
    EXPECT_EQ(Recorder.Calls()[0].Operation, std::to_string(HELP_CONTENTS));

    // Found in the current directory when the name has no directory.
    const std::string Saved = GetCurrentDir();
    ASSERT_TRUE(SetCurrentDir(Dir));
    EXPECT_TRUE(WinHelp(nullptr, "help.HLP", HELP_PARTIALKEY, reinterpret_cast<ULONG_PTR>("")));
    SetCurrentDir(Saved);
    ASSERT_EQ(Recorder.Calls().size(), 2u);
    EXPECT_EQ(Recorder.Calls()[1].File, Dir + "/Help.html");

    EXPECT_TRUE(WinHelp(nullptr, "Help.hlp", HELP_QUIT, 0));
    EXPECT_EQ(Recorder.Calls().size(), 2u);

    // Without an HTML rendition: a message box, and nothing is opened.
    Dialogs.ExpectMessageBox(IDOK, "Cannot find the help file Other.html");
    App->HelpFile = Dir + "/Other.hlp";
    EXPECT_FALSE(App->HelpCommand(HELP_CONTENTS, 0));
    EXPECT_EQ(Recorder.Calls().size(), 2u);
    EXPECT_EQ(Dialogs.Pending(), 0u);
    SetHelpViewer(&Recorder);
}

class TrayTest : public ::testing::Test {
protected:
    ~TrayTest() override { SetTrayAvailableOverride(false); }
    TWindowTest Windows;
};

NOTIFYICONDATA MakeData(HWND Wnd, const std::string& Tip)
{
    NOTIFYICONDATA D;
    D.hWnd = Wnd;
    D.uID = 0;
    D.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    D.uCallbackMessage = 0xB040;
    std::snprintf(D.szTip, sizeof D.szTip, "%s", Tip.c_str());
    return D;
}

TEST_F(TrayTest, AddFailsWithoutATray)
{
    HWND Wnd = AllocateHWnd([](TMessage&) {});
    NOTIFYICONDATA D = MakeData(Wnd, "tip");
    EXPECT_FALSE(TrayAvailable()); // the offscreen desktop has none
    EXPECT_FALSE(Shell_NotifyIcon(NIM_ADD, &D));
    SetTrayAvailableOverride(true, false);
    EXPECT_FALSE(Shell_NotifyIcon(NIM_ADD, &D));
    EXPECT_FALSE(Shell_NotifyIcon(NIM_MODIFY, &D));
    EXPECT_FALSE(Shell_NotifyIcon(NIM_DELETE, &D));
    EXPECT_FALSE(TrayIconState(Wnd, 0).Exists);
    DeallocateHWnd(Wnd);
}

TEST_F(TrayTest, IconLifeAndClicks)
{
    SetTrayAvailableOverride(true, true);
    HWND Wnd = AllocateHWnd([](TMessage&) {});
    NOTIFYICONDATA D = MakeData(Wnd, std::string(70, 'x'));
    ASSERT_TRUE(Shell_NotifyIcon(NIM_ADD, &D));
    EXPECT_FALSE(Shell_NotifyIcon(NIM_ADD, &D)); // already there
    EXPECT_EQ(TrayIconState(Wnd, 0).Tip, std::string(63, 'x'));
    std::snprintf(D.szTip, sizeof D.szTip, "%s", "new tip");
    D.uFlags = NIF_TIP;
    EXPECT_TRUE(Shell_NotifyIcon(NIM_MODIFY, &D));
    EXPECT_EQ(TrayIconState(Wnd, 0).Tip, "new tip");
    EXPECT_EQ(TrayIconState(Wnd, 0).CallbackMessage, 0xB040u);

    struct Case {
        UINT Action;
        std::vector<LPARAM> Posted;
    } Cases[] = {
        {WM_LBUTTONUP, {WM_LBUTTONDOWN, WM_LBUTTONUP}},
        {WM_RBUTTONUP, {WM_RBUTTONDOWN, WM_RBUTTONUP}},
        {WM_LBUTTONDBLCLK, {WM_LBUTTONDBLCLK, WM_LBUTTONUP}},
        {WM_MOUSEMOVE, {WM_MOUSEMOVE}},
    };
    for (const Case& C : Cases) {
        ASSERT_TRUE(SimulateTrayClick(Wnd, 0, C.Action));
        std::vector<LPARAM> Got;
        MSG M;
        while (PeekMessage(&M, Wnd, 0xB040, 0xB040, PM_REMOVE)) {
            EXPECT_EQ(M.wParam, 0u);
            Got.push_back(M.lParam);
        }
        EXPECT_EQ(Got, C.Posted) << C.Action;
    }

    EXPECT_TRUE(Shell_NotifyIcon(NIM_DELETE, &D));
    EXPECT_FALSE(TrayIconState(Wnd, 0).Exists);
    EXPECT_FALSE(SimulateTrayClick(Wnd, 0, WM_LBUTTONUP));
    EXPECT_FALSE(Shell_NotifyIcon(NIM_MODIFY, &D));
    DeallocateHWnd(Wnd);
}

TEST_F(TrayTest, AnimationThreadMayModifyTheIcon)
{
    SetTrayAvailableOverride(true, true);
    HWND Wnd = AllocateHWnd([](TMessage&) {});
    NOTIFYICONDATA D = MakeData(Wnd, "first");
    D.uID = 7;
    ASSERT_TRUE(Shell_NotifyIcon(NIM_ADD, &D));
    std::thread Worker([&] {
        NOTIFYICONDATA M = MakeData(Wnd, "from the worker");
        M.uID = 7;
        M.uFlags = NIF_TIP;
        EXPECT_TRUE(Shell_NotifyIcon(NIM_MODIFY, &M));
    });
    Worker.join();
    ProcessMessages();
    EXPECT_EQ(TrayIconState(Wnd, 7).Tip, "from the worker");
    EXPECT_TRUE(Shell_NotifyIcon(NIM_DELETE, &D));
    DeallocateHWnd(Wnd);
}

class DropTest : public ::testing::Test {
protected:
    DropTest()
    {
        WNDCLASS C;
        C.lpfnWndProc = DefWindowProc;
        C.lpszClassName = "ServiceDropTest";
        RegisterClass(&C);
        Top = CreateWindowEx(0, "ServiceDropTest", "drop", WS_POPUP | WS_VISIBLE, 100, 100, 300, 200, nullptr,
                             nullptr, nullptr, nullptr);
        Child = CreateWindowEx(0, "ServiceDropTest", "", WS_CHILD | WS_VISIBLE, 50, 40, 100, 80, Top, nullptr,
                               nullptr, nullptr);
    }
    // The WM_DROPFILES posted by the drop, if any.
    bool TakeDrop(MSG& M) { return PeekMessage(&M, nullptr, WM_DROPFILES, WM_DROPFILES, PM_REMOVE) != FALSE; }
    TWindowTest Windows;
    HWND Top = nullptr, Child = nullptr;
};

TEST_F(DropTest, DroppedFilesArriveWithFullNamesAndPoint)
{
    const std::string Long = "/tmp/" + std::string(300, 'n') + ".txt";
    const std::vector<std::string> Files = {"/tmp/with blank.html", Long};
    EXPECT_FALSE(SimulateFileDrop(Top, 10, 10, Files)); // not accepting yet
    MSG M;
    EXPECT_FALSE(TakeDrop(M));

    DragAcceptFiles(Top, TRUE);
    EXPECT_TRUE(GetWindowLong(Top, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    // Dropped on the child, which does not accept files: the parent takes the drop.
    ASSERT_TRUE(SimulateFileDrop(Child, 5, 6, Files));
    ASSERT_TRUE(TakeDrop(M));
    EXPECT_EQ(M.hwnd, Top);
    HDROP Drop = reinterpret_cast<HDROP>(M.wParam);
    ASSERT_EQ(DragQueryFile(Drop, 0xFFFFFFFF, nullptr, 0), 2u);
    char Name[512];
    EXPECT_EQ(DragQueryFile(Drop, 0, Name, sizeof Name), Files[0].size());
    EXPECT_EQ(std::string(Name), Files[0]);
    EXPECT_EQ(DragQueryFile(Drop, 1, nullptr, 0), Long.size());
    EXPECT_EQ(DragQueryFile(Drop, 1, Name, sizeof Name), Long.size());
    EXPECT_EQ(std::string(Name), Long);
    char Small[6];
    EXPECT_EQ(DragQueryFile(Drop, 0, Small, sizeof Small), 5u);
    EXPECT_STREQ(Small, "/tmp/");
    EXPECT_EQ(DragQueryFile(Drop, 2, Name, sizeof Name), 0u);
    POINT P;
    EXPECT_TRUE(DragQueryPoint(Drop, &P));
    EXPECT_EQ(P.x, 55);
    EXPECT_EQ(P.y, 46);
    DragFinish(Drop);
    EXPECT_EQ(DragQueryFile(Drop, 0xFFFFFFFF, nullptr, 0), 0u); // finished: no longer a drop

    // The child accepting itself gets its own drops; withdrawing stops them.
    DragAcceptFiles(Child, TRUE);
    ASSERT_TRUE(SimulateFileDrop(Child, 1, 2, {"/tmp/one"}));
    ASSERT_TRUE(TakeDrop(M));
    EXPECT_EQ(M.hwnd, Child);
    DragFinish(reinterpret_cast<HDROP>(M.wParam));
    DragAcceptFiles(Child, FALSE);
    DragAcceptFiles(Top, FALSE);
    EXPECT_FALSE(SimulateFileDrop(Child, 1, 2, {"/tmp/one"}));
    EXPECT_FALSE(TakeDrop(M));
}

TEST_F(DropTest, WindowShownAfterRegisteringTakesDrops)
{
    HWND Later = CreateWindowEx(0, "ServiceDropTest", "later", WS_POPUP, 500, 100, 200, 100, nullptr, nullptr,
                                nullptr, nullptr);
    DragAcceptFiles(Later, TRUE);
    EXPECT_FALSE(SimulateFileDrop(Later, 3, 4, {"/tmp/x"})); // not shown: nothing to drop on
    ShowWindow(Later, SW_SHOW);
    ASSERT_TRUE(SimulateFileDrop(Later, 3, 4, {"/tmp/x"}));
    MSG M;
    ASSERT_TRUE(TakeDrop(M));
    EXPECT_EQ(M.hwnd, Later);
    DragFinish(reinterpret_cast<HDROP>(M.wParam));
    DestroyWindow(Later);
}

} // namespace
