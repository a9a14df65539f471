#include "apps/script-editor/Preview.h"
#include "apps/script-editor/browsercon.h"
#include "apps/script-editor/tests/WendleProgramTest.h"
#include "components/edit-boxes/ComboEdits.h"
#include "platform/app/SystemCalls.h"
#include "platform/rtl/IniFiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <vector>

using namespace testing_support;

namespace {

class PreviewTest : public WendleProgramTest {
protected:
    // browser.ini in the settings directory holding Text.
    void BrowserIni(const std::string& Text) { WriteFileBytes(ConfigDir() + "/wendle/browser.ini", Text); }
    std::vector<TSystemCall> Calls(TSystemCall::TKind Kind) const
    {
        std::vector<TSystemCall> Result;
        for (const TSystemCall& Call : Fixture.Recorder.Calls())
            if (Call.Kind == Kind)
                Result.push_back(Call);
        return Result;
    }
};

TEST(PreviewFileNameTest, TempHtmlStandsInTheDocumentsDirectoryWithOneSeparator)
{
    struct TCase {
        const char* Caption;
        const char* Expected;
    } Cases[] = {
        {"/w/p.js", "/w/temp.html"},
        {"/p.js", "/temp.html"}, // the root keeps its one separator
        {"/my docs/a b.htm", "/my docs/temp.html"},
        {"Untitled", "/temp.html"}, // no directory: the root
    };
    for (const TCase& C : Cases)
        EXPECT_EQ(PreviewFileName(C.Caption), C.Expected) << C.Caption;
}

// Both named browsers: the document's text goes to temp.html beside it (the document stays as it
// was) and the stored program is started with that path after one blank.
TEST_F(PreviewTest, NamedBrowsersGetThePreviewFileAfterTheirProgram)
{
    const std::string Dir = MakeTempDir("w");
    BrowserIni("[Configuration]\r\nIE=/opt/first/browse\r\nNetscape=navigate --new\r\n");
    TMDIChild* Child = Document(Dir + "/p.js", "line one\r\nline two");
    Child->ColorMemo1->SetModified(true);
    WriteFileBytes(Dir + "/temp.html", "the last preview");

    Fire("iebutton");
    // The text as the pane shows it; no line break is added after the last line.
    EXPECT_EQ(ReadFileBytes(Dir + "/temp.html"), "line one\r\nline two");
    EXPECT_FALSE(FileExists(Dir + "/p.js"));
    EXPECT_TRUE(Child->ColorMemo1->Modified());
    Child->ColorMemo1->SetText("changed");
    Fire("ToolbarButton22");
    EXPECT_EQ(ReadFileBytes(Dir + "/temp.html"), "changed");

    const auto Started = Calls(TSystemCall::StartProgram);
    ASSERT_EQ(Started.size(), 2u);
    EXPECT_EQ(Started[0].File, "/opt/first/browse");
    EXPECT_EQ(Started[0].Parameters, Dir + "/temp.html");
    EXPECT_EQ(Started[0].ShowCmd, SW_SHOWNORMAL);
    EXPECT_EQ(Started[1].File, "navigate");
    EXPECT_EQ(Started[1].Parameters, "--new " + Dir + "/temp.html");
}

// A browser nobody located (its key reads "ERROR") is never started, and one that cannot be
// started gives the same box; the preview file is written all the same.
TEST_F(PreviewTest, ABrowserThatIsMissingOrDoesNotStartGivesItsErrorBox)
{
    const std::string Dir = MakeTempDir("w");
    struct TCase {
        const char* Button;
        const char* Ini;
        int Answer; // what starting the program gives
        const char* Message;
        bool Tried;
    } Cases[] = {
        {"iebutton", "", 33, "Failed to Execute Internet Explorer", false},
        {"ToolbarButton22", "[Configuration]\r\nIE=/bin/x\r\n", 33, "Failed to Execute Netscape Navigator",
         false},
        {"iebutton", "[Configuration]\r\nIE=ERROR\r\n", 33, "Failed to Execute Internet Explorer", false},
        {"iebutton", "[Configuration]\r\nIE=/no/such/browser\r\n", 2, "Failed to Execute Internet Explorer",
         true},
        {"ToolbarButton22", "[Configuration]\r\nNetscape=/etc\r\n", 11,
         "Failed to Execute Netscape Navigator", true},
    };
    Document(Dir + "/p.htm", "<P>x</P>");
    for (const TCase& C : Cases) {
        SCOPED_TRACE(std::string(C.Button) + " " + C.Ini);
        BrowserIni(C.Ini);
        DeleteFile(Dir + "/temp.html");
        Fixture.Recorder.Result = C.Answer;
        const std::size_t Before = Calls(TSystemCall::StartProgram).size();
        Fixture.Dialogs.ExpectMessageBox(IDOK, C.Message);
        Fire(C.Button);
        EXPECT_EQ(Fixture.Dialogs.Pending(), 0u);
        EXPECT_EQ(Fixture.Dialogs.Records().back().Flags & MB_ICONMASK, MB_ICONERROR);
        EXPECT_EQ(Calls(TSystemCall::StartProgram).size(), Before + (C.Tried ? 1 : 0));
        EXPECT_EQ(ReadFileBytes(Dir + "/temp.html"), "<P>x</P>");
    }
}

TEST_F(PreviewTest, TheDefaultBrowserOpensThePreviewFileFromButtonAndMenu)
{
    const std::string Dir = MakeTempDir("w");
    Document(Dir + "/p.js", "alert(1);");
    Fixture.Recorder.Result = 2; // not examined: no box
    Fire("ToolbarButton21");
    Fire("PreviewinDefaultBrowser1");
    const auto Opened = Calls(TSystemCall::ShellExecute);
    ASSERT_EQ(Opened.size(), 2u);
    for (const TSystemCall& Call : Opened) {
        EXPECT_EQ(Call.Operation, "open");
        EXPECT_EQ(Call.File, Dir + "/temp.html");
        EXPECT_EQ(Call.Parameters, "");
        EXPECT_EQ(Call.ShowCmd, SW_SHOWNORMAL);
    }
    EXPECT_EQ(ReadFileBytes(Dir + "/temp.html"), "alert(1);");
}

// A preview file that cannot be written raises the file error, and no browser is started.
TEST_F(PreviewTest, APreviewFileThatCannotBeWrittenStartsNoBrowser)
{
    BrowserIni("[Configuration]\r\nIE=/bin/true\r\nNetscape=/bin/true\r\n");
    TMDIChild* Child = Document(MakeTempDir("w") + "/gone/p.js", "text");
    for (const char* Button : {"iebutton", "ToolbarButton22", "ToolbarButton21"})
        EXPECT_THROW(Fire(Button), EFCreateError) << Button;
    EXPECT_TRUE(Fixture.Recorder.Calls().empty());
    EXPECT_EQ(Child->ColorMemo1->Text(), "text");
}

TEST_F(PreviewTest, WithoutADocumentNothingIsWrittenOrStarted)
{
    BrowserIni("[Configuration]\r\nIE=/bin/true\r\n");
    for (const char* Button : {"iebutton", "ToolbarButton22", "ToolbarButton21", "PreviewinDefaultBrowser1"})
        Fire(Button);
    EXPECT_TRUE(Fixture.Recorder.Calls().empty());
}

// A real program started as a browser: it gets its arguments split at blanks, without a shell,
// exactly as the unquoted command line gives them.
TEST_F(PreviewTest, AFakeBrowserRecordsTheArgumentsItWasStartedWith)
{
    const std::string Dir = MakeTempDir("my docs"), Bin = MakeTempDir("bin");
    const std::string Browser = Bin + "/browse", Record = Bin + "/args.txt";
    WriteFileBytes(Browser, "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + Record + ".part'\nmv '" + Record +
                                ".part' '" + Record + "'\n");
    ASSERT_EQ(chmod(Browser.c_str(), 0755), 0);
    BrowserIni("[Configuration]\r\nNetscape=" + Browser + " -x;echo\r\n");
    Document(Dir + "/page.htm", "<P>page</P>");

    SetSystemCallHandler(nullptr);
    Fire("ToolbarButton22");
    SetSystemCallHandler(&Fixture.Recorder);
    for (int I = 0; I < 500 && !FileExists(Record); ++I)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(FileExists(Record));
    // The directory's blank splits the path: it is passed unquoted, as stored.
    EXPECT_EQ(ReadFileBytes(Record), "-x;echo\n" + Dir.substr(0, Dir.find(' ')) + "\ndocs/temp.html\n");
}

// ---- The Locate Browsers dialog ---------------------------------------------------------------
TEST_F(PreviewTest, TheBrowserDialogShowsTheStoredLocationsAndOkStoresTheFields)
{
    BrowserIni("[Configuration]\r\nNetscape=/usr/bin/nav\r\n");
    EXPECT_TRUE(RunModal(
        browser, [&] { Fire("Browsers1"); },
        [&] {
            // A missing key shows as "ERROR".
            EXPECT_EQ(browser->FilenameEdit1->Text(), "ERROR");
            EXPECT_EQ(browser->FilenameEdit2->Text(), "/usr/bin/nav");
            browser->FilenameEdit1->SetText("/opt/b one/run");
            Fire("Button2", browser);
        }));
    EXPECT_EQ(TIniFile("browser.ini").ReadString("Configuration", "IE", "none"), "none"); // Cancel: nothing

    EXPECT_TRUE(RunModal(
        browser, [&] { Fire("ToolbarButton17"); },
        [&] {
            EXPECT_EQ(browser->FilenameEdit1->Text(), "ERROR"); // read afresh
            browser->FilenameEdit2->SetText("/opt/b two/run");
            Fire("Button1", browser);
        }));
    TIniFile Ini("browser.ini");
    EXPECT_EQ(Ini.ReadString("Configuration", "IE", "none"), "ERROR");
    EXPECT_EQ(Ini.ReadString("Configuration", "Netscape", "none"), "/opt/b two/run");
    EXPECT_EQ(browser->FilenameEdit1->Dialog()->Filter, "Executable|*");
}

} // namespace
