// The snippet wizards as a user drives them: opened from the main window's menus, fields filled,
// Generate pressed, closed with the close button; the exact lines they add to the to-do pane,
// their help notes in the note viewer, and the script sheets.
#include "apps/html-editor/SnippetWizard.h"
#include "apps/html-editor/TamselStartup.h"
#include "apps/html-editor/Unit1.h"
#include "apps/html-editor/Unit10.h"
#include "apps/html-editor/Unit12.h"
#include "apps/html-editor/Unit15.h"
#include "apps/html-editor/Unit16.h"
#include "apps/html-editor/Unit18.h"
#include "apps/html-editor/Unit19.h"
#include "apps/html-editor/Unit21.h"
#include "apps/html-editor/Unit22.h"
#include "apps/html-editor/Unit23.h"
#include "apps/html-editor/Unit24.h"
#include "apps/html-editor/Unit25.h"
#include "apps/html-editor/Unit26.h"
#include "apps/html-editor/Unit28.h"
#include "apps/html-editor/Unit29.h"
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
#include "apps/html-editor/Unit6.h"
#include "platform/rtl/DataFiles.h"
#include "platform/rtl/SysUtils.h"
#include "platform/testing/AppTesting.h"
#include "platform/testing/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

using namespace testing_support;

namespace {

// 4 March 2026, 09:05:07: far from any real "now", so a heading that used the real clock shows.
TDateTime FixedMoment()
{
    return EncodeDate(2026, 3, 4) + EncodeTime(9, 5, 7, 0);
}

std::vector<std::string> PaneLines(TStrings* Lines, int From)
{
    std::vector<std::string> Out;
    for (int I = From; I < Lines->Count(); ++I)
        Out.push_back(Lines->Strings(I));
    return Out;
}

class Wizards : public testing::Test {
protected:
    TAppTest Fixture;
    std::string Dir;
    std::string OldDir;

    void SetUp() override
    {
        SetProgramName("tamsel");
        Dir = MakeTempDir("wizards");
        OldDir = GetCurrentDir();
        RunUnitStartups();
        CreateTamselForms();
        WizardClock = &FixedMoment;
        Form1->Show();
        ProcessMessages();
    }
    void TearDown() override
    {
        WizardClock = nullptr;
        SetWaitHandler(nullptr);
        SetCurrentDir(OldDir);
    }

    TMenuItem* Item(const std::string& Name) { return dynamic_cast<TMenuItem*>(Form1->FindComponent(Name)); }

    // Opens Target (through the menu item when it has one) and runs Inside once its modal loop
    // waits; a window Inside leaves open is closed afterwards. Returns whether it was modal.
    bool RunModal(TMenuItem* Entry, TCustomForm* Target, const std::function<void()>& Inside)
    {
        return testing_support::RunModal(
            Target,
            [&] {
                if (Entry)
                    Entry->Click();
                else
                    Target->ShowModal();
            },
            Inside);
    }
};

// ---- The fragments and the to-do entries ---------------------------------------------------------

TEST_F(Wizards, EachWizardAddsItsExactEntryToTheToDoPane)
{
    struct TCase {
        const char* Item; // the menu entry that opens it (null: disabled in the menu, shown directly)
        TSnippetWizard* Wizard;
        std::string Caption;
        std::vector<std::pair<TEdit*, std::string>> Fields; // the rest keep their defaults
        int Lead;
        int Rule;
        std::vector<std::string> After; // the lines after the rule
    };
    std::vector<TCase> Cases = {
        {"BrowserDiscrimination1",
         Form33,
         "Misc - Browser Prejudice",
         {{Form33->Edit2, "nn.html"}},
         2,
         23,
         {"Add this to the <HEAD> section", "", "", R"(<SCRIPT LANGUAGE="JAVASCRIPT">)",
          R"(if(navigator.appName.indexOf("Netscape") != -1){)", R"(location="nn.html";})",
          R"(if(navigator.appName.indexOf("Microsoft Internet Explorer") != -1){)", R"(location="ie.html";})",
          "</SCRIPT>"}},
        {"RandomQuote1",
         Form34,
         "Random Quote",
         {{Form34->Edit1, "Q1"},
          {Form34->Edit2, "Q2"},
          {Form34->Edit3, "Q3"},
          {Form34->Edit4, "Q4"},
          {Form34->Edit5, "Q5"},
          {Form34->Edit6, "Q6"},
          {Form34->Edit7, "Q7"},
          {Form34->Edit8, "Q8"},
          {Form34->Edit9, "Q9"},
          {Form34->Edit10, "Q10"}},
         2,
         23,
         {"",
          "Add this to your <HEAD> section.",
          "",
          "",
          R"(<script language="JavaScript">)",
          "<!-- Hide this script from old browsers --",
          R"(var a = Math.random() + "")",
          "var rand1 = a.charAt(5)",
          "quotes = new Array",
          R"(quotes[1] = "Q1")",
          R"(quotes[2] = "Q2")",
          R"(quotes[3] = "Q3")",
          R"(quotes[4] = "Q4")",
          R"(quotes[5] = "Q5")",
          R"(quotes[6] = "Q6")",
          R"(quotes[7] = "Q7")",
          R"(quotes[8] = "Q8")",
          R"(quotes[9] = "Q9")",
          R"(quotes[10] = "Q10")",
          "var quote = quotes[rand1]",
          "// -- End Hiding Here -->",
          "</script>",
          "",
          "",
          "",
          "Add this where you want the quotes to appear.",
          "",
          R"(<script language="JavaScript"><!-- Hide this script from old browsers --)",
          R"(document.write("<i>" + quote + "</i>")// -- End Hiding Here --></script>)",
          ""}},
        {"LinkStatusDescription1",
         Form30,
         "Misc - Link Status Bar",
         {{Form30->Edit1, "Home"}, {Form30->Edit2, "Go home"}, {Form30->Edit3, "index.html"}},
         1,
         23,
         {"", "Add this where you want the link to appear", "",
          R"(<a href="index.html" onMouseOver="window.status='Go home';return true" OnMouseOut="window.status='';return true">Home</a>)"}},
        {"PageUpdated1",
         Form29,
         "Misc - Page Updated",
         {},
         2,
         23,
         {"", "Add this where you want the details to appear.", "", "",
          "Page Last Updated: <SCRIPT language=JavaScript>document.write(document.lastModified);</script>"}},
        {"ViewSource1",
         Form26,
         "Buttons - View Source",
         {},
         0,
         35,
         {"", "Add this where you want the button to appear.", "",
          R"(<form><INPUT TYPE="BUTTON" VALUE="View Source" onClick='window.location = "view-source:" + window.location.href'></FORM>)"}},
        {"BackForward1",
         Form25,
         "Buttons. - Back / Forwards",
         {},
         0,
         23,
         {"", "Add this where you want the buttons to appear.",
          R"~(<FORM METHOD="post"><INPUT TYPE="button" VALUE="Back" onClick="history.go(-1)">)~",
          R"~(<INPUT TYPE="button" VALUE="Forward" onClick="history.go(1)"></form>)~"}},
        {"Link1",
         Form24,
         "Buttons - Link",
         {{Form24->Edit1, "page2.html"}, {Form24->Edit2, "Next"}},
         0,
         23,
         {"", "Add this where you want the button to appear",
          R"(<form><INPUT TYPE="button" VALUE="Next" onClick="parent.location='page2.html'"></form>)"}},
        {"PageReferral1",
         Form28,
         "Misc - Refer",
         {},
         0,
         23,
         {"", "Add this where you want the details to appear", "",
          R"(<Script Language="JavaScript">document.write('You came here from :',document.referrer)</SCRIPT>)"}},
        {"BreakoutofFrame1",
         Form23,
         "Misc. Break out of Frame",
         {},
         0,
         23,
         {"", "Add this to your <HEAD> section", "",
          R"(<script language="JavaScript">if (self.parent.frames.length != 0) self.parent.location="noframe.htm";</script>)"}},
        {"Reload1",
         Form21,
         "Buttons - Reload.",
         {{Form21->Edit1, "Reload"}},
         0,
         32,
         {"", "Add this where you want the button to appear",
          R"~(<FORM> <INPUT TYPE=BUTTON VALUE=Reload onClick='parent.location="javascript:location.reload()"'></Form>)~"}},
        {"ButtonClick1",
         Form15,
         "Alerts - Button Click.",
         {},
         0,
         23,
         {"", "<FORM>",
          R"~(<input type="button" value="Click Here"onClick="alert('Thankyou for Clicking!');return true"></form>)~",
          "", ""}},
        {"NewLocation1",
         Form18,
         "Alert -  New Location",
         {{Form18->Edit1, "Leave?"}, {Form18->Edit2, "away.html"}},
         0,
         23,
         {"", "Add this to your <HEAD> section", "",
          R"~(<script language="JavaScript">function CONFIRM(){if (confirm("Leave?"))location="away.html";return " "}document.writeln(CONFIRM())</script>)~",
          "", "", "", "", "", ""}},
        {"LinkAlert1",
         Form16,
         "Alerts - Link Click",
         {{Form16->Edit1, "a.html"}, {Form16->Edit2, "Bye"}, {Form16->Edit3, "Go"}},
         0,
         23,
         {"", "", "Add this where you want the link to appear.", "",
          R"~(<A HREF="a.html" onClick="alert('Bye')">Go</a>)~", "", ""}},
        {"AfterPagehasLoaded1",
         Form19,
         "Alerts - After Page Has Loaded",
         {{Form19->Edit1, "Loaded"}},
         0,
         23,
         {"", "Add this to your <HEAD> section", "", "<SCRIPT NAME=JAVASCRIPT>", "function after(){",
          "alert('Loaded')}", "</SCRIPT>", "", "", "", "Add this to the body tag", R"~(onLoad="after()")~"}},
        {"GoBackinHistory1",
         Form12,
         "Alerts - History",
         {},
         0,
         23,
         {"", "Add this to the <HEAD> section.", R"(<script language="JavaScript"> )",
          R"~(function CONFIRM(){if (!confirm("Do you wish to stay here?")))~",
          R"(history.go(-1);return ""} )", "document.writeln(CONFIRM())</script>", "", "", ""}},
        {nullptr,
         Form6,
         "Two Scripts in the OnLoad.",
         {},
         0,
         23,
         {"", "This would go into the <HEAD> section:", "", R"(<SCRIPT LANGUAGE="JAVASCRIPT">)", "<!--Hide--",
          "function new(){startclock();welcome();}", "//--End-->", "",
          "You will put this in the <BODY> section:", "", R"~(onLoad="new()")~"}},
        {"SimplePassword1",
         Form10,
         "Password Protection",
         {{Form10->Edit4, "members.html"}},
         0,
         23,
         {"",
          "Add this to your <HEAD> section",
          "",
          R"(<SCRIPT LANGUAGE="JAVASCRIPT">)",
          "function pass()",
          "{",
          R"(var pass=prompt("Insert Password");)",
          "if (pass=='Zr4ko')",
          "{",
          R"(alert("Thankyou");)",
          R"(location="members.html";)",
          "}",
          "else",
          "{",
          R"~(alert("Sorry, Wrong Password."))~",
          "close() ",
          "}",
          "}",
          "</script>",
          "",
          "//--End-->",
          "",
          "",
          "Add this to your <BODY> tag.",
          "",
          R"~(onLoad="pass()")~"}},
    };
    ASSERT_EQ(Cases.size(), 17u);
    const std::string When = " at ";
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Caption);
        TStrings* ToDo = Form1->todo->Lines();
        ToDo->Clear();
        ToDo->Add("earlier entry");
        TMenuItem* Entry = C.Item ? Item(C.Item) : nullptr;
        if (C.Item)
            ASSERT_NE(Entry, nullptr) << C.Item;
        ASSERT_TRUE(C.Wizard->CheckBox1->Checked());
        const bool Modal = RunModal(Entry, C.Wizard, [&] {
            for (const auto& [Edit, Text] : C.Fields)
                Edit->SetText(Text);
            EXPECT_TRUE(ClickControl(C.Wizard->Button1, 5, 5));
            EXPECT_TRUE(ClickControl(C.Wizard->AdSpeedButton1, 5, 5));
        });
        EXPECT_TRUE(Modal);
        std::vector<std::string> Expected(static_cast<std::size_t>(C.Lead), "");
        Expected.push_back("On " + DateToStr(FixedMoment()) + When + TimeToStr(FixedMoment()) + " - " +
                           C.Caption);
        Expected.push_back(std::string(static_cast<std::size_t>(C.Rule), '='));
        Expected.insert(Expected.end(), C.After.begin(), C.After.end());
        EXPECT_EQ(PaneLines(ToDo, 1), Expected);
        EXPECT_EQ(ToDo->Strings(0), "earlier entry"); // the pane only grows
    }
}

TEST_F(Wizards, HeadingCarriesTheInjectedDateAndTime)
{
    const auto Saved = FormatSettings();
    FormatSettings().ShortDateFormat = "dd/mm/yyyy";
    FormatSettings().LongTimeFormat = "hh:nn:ss";
    Form1->todo->Lines()->Clear();
    Form34->AddToToDo();
    FormatSettings() = Saved;
    ASSERT_EQ(Form1->todo->Lines()->Count(), 2 + 2 + 4 + 18 + 8);
    EXPECT_EQ(Form1->todo->Lines()->Strings(2), "On 04/03/2026 at 09:05:07 - Random Quote");
}

// ---- Odd behaviours that are kept -------------------------------------------------------------

TEST_F(Wizards, SecondGenerateReplacesTheSetLineAndAppendsTheRestAgain)
{
    Form33->Button1->Click();
    Form33->Button1->Click();
    TStrings* M = Form33->Memo1->Lines();
    ASSERT_EQ(M->Count(), 11);
    EXPECT_EQ(M->Strings(0), R"(<SCRIPT LANGUAGE="JAVASCRIPT">)");
    for (int I = 1; I <= 5; ++I)
        EXPECT_EQ(M->Strings(I), M->Strings(I + 5)) << I;
    EXPECT_EQ(M->Strings(10), "</SCRIPT>");
    // The to-do entry copies only the first six lines.
    Form1->todo->Lines()->Clear();
    Form33->AddToToDo();
    EXPECT_EQ(Form1->todo->Lines()->Count(), 2 + 2 + 3 + 6);
}

TEST_F(Wizards, SetLinesAreReplacedNotAddedOnEveryGenerate)
{
    for (int I = 0; I < 3; ++I)
        Form10->Button1->Click();
    EXPECT_EQ(Form10->Memo1->Lines()->Count(), 16);
    Form6->Edit3->SetText("both");
    Form6->Button1->Click();
    Form6->Button1->Click();
    EXPECT_EQ(Form6->Memo1->Lines()->Count(), 4);
    EXPECT_EQ(Form6->Memo1->Lines()->Strings(1), "function both(){startclock();welcome();}");
    EXPECT_EQ(Form6->Edit4->Text(), R"~(onLoad="both()")~");
    EXPECT_TRUE(Form6->Label4->Visible());
    EXPECT_TRUE(Form6->Label5->Visible());
}

TEST_F(Wizards, FieldsGoInAsTheyAreInTheirOrder)
{
    // Quotes and markup are not escaped; the link-status line is URL, description, text.
    Form30->Edit1->SetText("<b>\"x\"</b>");
    Form30->Edit2->SetText("it's");
    Form30->Edit3->SetText("");
    Form30->Button1->Click();
    EXPECT_EQ(
        Form30->Memo1->Lines()->Strings(0),
        R"(<a href="" onMouseOver="window.status='it's';return true" OnMouseOut="window.status='';return true"><b>"x"</b></a>)");
    EXPECT_EQ(Form30->Memo1->Lines()->Count(), 1);
}

TEST_F(Wizards, ClosingUntickedLeavesThePaneAloneAndClosesTheWizard)
{
    Form1->todo->SetText("kept\r\n");
    for (TSnippetWizard* W : std::vector<TSnippetWizard*>{Form33, Form10, Form6, Form21}) {
        SCOPED_TRACE(W->Caption());
        RunModal(nullptr, W, [&] {
            W->Button1->Click();
            W->CheckBox1->SetChecked(false);
            EXPECT_TRUE(ClickControl(W->AdSpeedButton1, 5, 5));
            EXPECT_NE(W->ModalResult(), mrNone); // the close button ended the modal loop
        });
    }
    EXPECT_EQ(Form1->todo->Text(), "kept\r\n");
}

TEST_F(Wizards, FormsHoldTheirFieldsDefaultsAndCaptions)
{
    EXPECT_EQ(Form10->Edit1->Text(), R"~(onLoad="pass()")~");
    EXPECT_TRUE(Form10->Edit1->ReadOnly());
    EXPECT_EQ(Form10->Memo1->Lines()->Count(), 16);
    EXPECT_EQ(Form10->Memo1->Lines()->Strings(12), "close() ");
    EXPECT_EQ(Form10->CheckBox1->Caption(), "Add to ToDo List");
    EXPECT_EQ(Form19->CheckBox1->Caption(), "Add to ToDo List?");
    EXPECT_EQ(Form6->CheckBox1->Caption(), "Add to \"To Do\" Box.");
    EXPECT_EQ(Form6->Button1->Caption(), "Generate the OnLoad Tag.");
    EXPECT_FALSE(Form6->Label4->Visible());
    EXPECT_EQ(Form21->Button1->Caption(), "Generate Javascript.");
    EXPECT_EQ(Form33->CheckBox1->Caption(), "Add to ToDo Box");
    EXPECT_EQ(Form33->Button1->Caption(), "Generate JavaScript");
    EXPECT_EQ(Form33->edit1->Text(), "ie.html");
    EXPECT_EQ(Form15->Memo1->Lines()->Strings(0), "<FORM>");
    EXPECT_EQ(Form29->Edit1->Text(), "Page Last Updated: ");
    EXPECT_EQ(Form12->Edit1->Text(), "Do you wish to stay here?");
    for (TSnippetWizard* W :
         std::vector<TSnippetWizard*>{Form33, Form34, Form30, Form29, Form26, Form25, Form24, Form28, Form23,
                                      Form21, Form15, Form18, Form16, Form19, Form12, Form6, Form10}) {
        SCOPED_TRACE(W->Caption());
        EXPECT_EQ(W->BorderStyle(), bsDialog);
        EXPECT_TRUE(W->AdSpeedButton1->Flat());
        EXPECT_FALSE(W->AdSpeedButton1->Glyph()->Empty());
        EXPECT_FALSE(W->Image1->Picture()->Graphic() == nullptr);
        // The note picture is there exactly when the wizard has a note.
        EXPECT_EQ(W->Image2 != nullptr, !W->NoteFile().empty());
    }
}

// ---- Notes ---------------------------------------------------------------------------------------

TEST_F(Wizards, EveryNoteOpensInTheViewerWithItsTitle)
{
    const std::vector<std::pair<TSnippetWizard*, std::string>> Notes = {{Form33, "discrimination.txt"},
                                                                        {Form34, "quote.txt"},
                                                                        {Form30, "status.txt"},
                                                                        {Form26, "source.txt"},
                                                                        {Form25, "bf.txt"},
                                                                        {Form24, "linkbut.txt"},
                                                                        {Form28, "ref.txt"},
                                                                        {Form23, "break.txt"},
                                                                        {Form21, "reload.txt"},
                                                                        {Form15, "button.txt"},
                                                                        {Form18, "location.txt"},
                                                                        {Form16, "link.txt"},
                                                                        {Form19, "after.txt"},
                                                                        {Form12, "alhist.txt"},
                                                                        {Form10, "password.txt"}};
    const std::string DataDir = std::string(TW_TEST_DATA_DIR) + "/data";
    ASSERT_TRUE(SetCurrentDir(DataDir));
    TMenuItem* Exit = dynamic_cast<TMenuItem*>(Form22->FindComponent("Exit1"));
    ASSERT_NE(Exit, nullptr);
    for (const auto& [W, File] : Notes) {
        SCOPED_TRACE(File);
        EXPECT_EQ(W->NoteFile(), File);
        const std::string Bytes = ReadFileBytes(DataDir + "/" + File);
        ASSERT_FALSE(Bytes.empty());
        const std::string Title = Bytes.substr(0, Bytes.find("\r\n"));
        ASSERT_FALSE(Title.empty());
        std::string Caption, Text;
        bool WasModal = false;
        SetWaitHandler([&] {
            if (Form22->Visible()) {
                WasModal = Form22->FormState.Contains(fsModal);
                Caption = Form22->Caption();
                Text = Form22->Memo1->Text();
                Exit->Click();
            }
            return true;
        });
        W->Image2->Click();
        SetWaitHandler(nullptr);
        EXPECT_TRUE(WasModal);
        EXPECT_FALSE(Form22->Visible());
        EXPECT_EQ(Caption, "Tamsel Pro Note Viewer: " + Title);
        EXPECT_EQ(Text, Bytes);
    }
}

// A note is looked for in the current directory first, then beside the program, so the notes
// show wherever the program was started from.
TEST_F(Wizards, NoteComesFromTheCurrentDirectoryFirstThenFromBesideTheProgram)
{
    auto NoteCaption = [] {
        std::string Caption;
        SetWaitHandler([&] {
            if (Form22->Visible()) {
                Caption = Form22->Caption();
                Form22->Close();
            }
            return true;
        });
        Form34->Image2->Click();
        SetWaitHandler(nullptr);
        return Caption;
    };
    ASSERT_TRUE(SetCurrentDir(Dir));
    const std::string Installed = ProgramDataDir() + "/quote.txt";
    ASSERT_TRUE(FileExists(Installed)) << Installed;
    EXPECT_EQ(ReadFileBytes(Installed), ReadFileBytes(std::string(TW_TEST_DATA_DIR) + "/data/quote.txt"));
    EXPECT_EQ(NoteCaption(), "Tamsel Pro Note Viewer: Random Quote");
    WriteFileBytes(Dir + "/quote.txt", "My own quote note\r\nline two\r\n");
    EXPECT_EQ(NoteCaption(), "Tamsel Pro Note Viewer: My own quote note");
}

TEST_F(Wizards, MissingNoteIsReportedAndTheWizardKeepsWorking)
{
    ASSERT_TRUE(SetCurrentDir(Dir));
    Form23->SetNoteFile("no-such-note.txt");
    const std::string Before = Form22->Caption();
    // Straight from the handler: the file error, and no viewer.
    EXPECT_THROW(Form23->Image2Click(nullptr), EFOpenError);
    EXPECT_FALSE(Form22->Visible());
    EXPECT_EQ(Form22->Caption(), Before);
    // Clicked by the user: the application reports it, and Generate and Close still work.
    Form1->todo->Lines()->Clear();
    Fixture.Dialogs.ExpectMessageBox(IDOK, "no-such-note.txt");
    RunModal(nullptr, Form23, [&] {
        EXPECT_TRUE(ClickControl(Form23->Image2, 5, 5));
        EXPECT_FALSE(Form22->Visible());
        EXPECT_TRUE(ClickControl(Form23->Button1, 5, 5));
        EXPECT_TRUE(ClickControl(Form23->AdSpeedButton1, 5, 5));
    });
    EXPECT_EQ(Fixture.Dialogs.Records().size(), 1u);
    ASSERT_EQ(Form1->todo->Lines()->Count(), 6);
    EXPECT_EQ(
        Form1->todo->Lines()->Strings(5),
        R"(<script language="JavaScript">if (self.parent.frames.length != 0) self.parent.location="noframe.htm";</script>)");
}

// ---- Script sheets ------------------------------------------------------------------------------

TEST_F(Wizards, ScriptSheetsShowTheirScriptsReadOnly)
{
    struct TCase {
        TForm* Sheet;
        TMemo* Memo;
        const char* Item;
        bool OnTop;
        std::string First; // empty: the sheet words it itself
    };
    const std::vector<TCase> Cases = {
        {Form35, Form35->Memo1, nullptr, true,
         "This script displays the Day, Date and time when you follow these simple instructions."},
        {Form36, Form36->Memo1, "Clockinabox1", true, "Add this to you <HEAD> section."},
        {Form37, Form37->Memo1, "DigitalClockStatusBar1", true,
         "This script will insert a digital clock readout at the bottom of your page in the status bar."},
        {Form38, Form38->Memo1, "FakeFormatofCDrive1", true, ""},
        {Form39, Form39->Memo1, "RainbowLettering1", false,
         "This script creates rainbow text...Try It.  Add this section to your <HEAD> tag."},
        {Form40, Form40->Memo1, "TypeWriterStatusScroller1", false, ""},
        {Form41, Form41->Memo1, "RandomStatusBar1", true, ""}};
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Sheet->Caption());
        ASSERT_NE(C.Memo, nullptr);
        EXPECT_TRUE(C.Memo->ReadOnly());
        EXPECT_EQ(C.Memo->BorderStyle(), bsNone);
        EXPECT_EQ(C.Sheet->FormStyle() == fsStayOnTop, C.OnTop);
        if (!C.First.empty())
            EXPECT_EQ(C.Memo->Lines()->Strings(0), C.First);
        const std::string Text = C.Memo->Text();
        // A complete script follows the instructions.
        const auto Open = Text.find("<SCRIPT");
        ASSERT_NE(Open, std::string::npos);
        EXPECT_NE(Text.find("</SCRIPT>", Open), std::string::npos);
        if (C.Item) {
            TMenuItem* Entry = Item(C.Item);
            ASSERT_NE(Entry, nullptr);
            EXPECT_TRUE(RunModal(Entry, C.Sheet, [] {}));
        }
    }
    EXPECT_NE(Form38->Memo1->Text().find("joke"), std::string::npos);
}

} // namespace
