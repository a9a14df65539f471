// The information windows as the program makes them at start-up: the about box with its system
// figures (injected, so every machine reads the same), the credits, the viewer's about box, the
// tutorial and the JavaScript reference; and the start-up steps the windows rely on.
#include "apps/html-editor/About.h"
#include "apps/html-editor/HtmlForm.h"
#include "apps/html-editor/JsRef.h"
#include "apps/html-editor/TamselStartup.h"
#include "apps/html-editor/Unit1.h"
#include "apps/html-editor/Unit13.h"
#include "apps/html-editor/Unit17.h"
#include "apps/html-editor/Unit9.h"
#include "components/addons/ClipView.h"
#include "components/addons/FormFill.h"
#include "components/colour-memo/ColMemo.h"
#include "platform/app/MMSystem.h"
#include "platform/app/SysInfo.h"
#include "platform/rtl/SysUtils.h"
#include "platform/testing/AppTesting.h"
#include "platform/testing/ModalTesting.h"
#include "platform/testing/TestSupport.h"
#include "platform/testing/WinTesting.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

constexpr DWORDLONG KB = 1024;
constexpr DWORDLONG GB = 1024 * 1024 * 1024;

// The figures every window of the fixture is made with.
TSystemQueryOverride Machine()
{
    TSystemQueryOverride O;
    O.PlatformId = VER_PLATFORM_WIN32_NT;
    O.MajorVersion = 4;
    O.MinorVersion = 0;
    O.ProcessorType = PROCESSOR_INTEL_PENTIUM;
    O.AvailPhys = 1000000 * KB;
    O.AvailPageFile = 234567 * KB;
    O.MemoryLoad = 37;
    return O;
}

class InfoWindows : public testing::Test {
protected:
    TAppTest Fixture;

    void SetUp() override
    {
        SetProgramName("tamsel");
        MakeTempDir("info");
        const TSystemQueryOverride O = Machine();
        SetSystemQueryOverride(&O);
        RunUnitStartups();
        CreateTamselForms();
        Form1->Show();
        ProcessMessages();
    }
    void TearDown() override
    {
        SetWaitHandler(nullptr);
        SetSystemQueryOverride(nullptr);
    }

    static std::string CaptionOf(TComponent* Owner, const std::string& Name)
    {
        auto* C = dynamic_cast<TControl*>(Owner->FindComponent(Name));
        return C ? C->Caption() : "<no " + Name + ">";
    }
    // Shows Box modally and closes it again once its loop waits.
    static void ShowAndClose(TCustomForm* Box)
    {
        RunModalSteps([Box] { Box->ShowModal(); }, {});
        EXPECT_FALSE(Box->Visible());
    }
};

// ---- About box -----------------------------------------------------------------------------------

TEST_F(InfoWindows, AboutBoxShowsItsTextsAndThePlatformFromStartUp)
{
    EXPECT_EQ(about->Caption(), "About");
    EXPECT_EQ(about->BorderStyle(), bsDialog);
    EXPECT_EQ(about->ClientWidth(), 275);
    EXPECT_EQ(about->ClientHeight(), 275);
    EXPECT_EQ(CaptionOf(about, "Label5"), "Memory:");
    EXPECT_EQ(CaptionOf(about, "Label6"), "Memory Load:");
    EXPECT_EQ(about->Button1->Caption(), "Credits...");
    EXPECT_EQ(about->Button2->Caption(), "OK");
    EXPECT_EQ(about->FormFill1->FillType(), "Sahara");
    EXPECT_EQ(about->FormFill1->Align(), alClient);
    for (const char* Name : {"Label1", "Label3", "Label4", "Label5", "Label6", "Label7", "Label8"}) {
        auto* L = dynamic_cast<TShadeLabel*>(about->FindComponent(Name));
        ASSERT_NE(L, nullptr) << Name;
        EXPECT_TRUE(L->Transparent()) << Name;
        EXPECT_EQ(L->Font()->Name(), "Arial") << Name;
    }
    // Filled while the box was made at start-up; the memory waits for the first showing.
    EXPECT_EQ(about->Label3->Caption(), "Windows NT, version 4.00");
    EXPECT_EQ(about->Label4->Caption(), "Pentium");
    EXPECT_EQ(about->Label7->Caption(), "");
    EXPECT_EQ(about->Label8->Caption(), "");
}

TEST_F(InfoWindows, AboutBoxFiguresFromInjectedValues)
{
    struct TCase {
        DWORD Platform, Major, Minor, Processor;
        DWORDLONG Phys, Page;
        DWORD Load;
        const char *Label3, *Label4, *Label7, *Label8;
    } Cases[] = {
        {2, 4, 0, 586, 1000000 * KB, 234567 * KB, 37, "Windows NT, version 4.00", "Pentium",
         "1,234,567KB Free", "37% Load"},
        {0, 3, 95, 386, 512 * KB, 512 * KB, 0, "Win32s, version 3.95", "80386", "1,024KB Free", "0% Load"},
        {1, 4, 10, 486, 2048 + 1023, 0, 100, "Windows 95, version 4.10", "80486", "2KB Free", "100% Load"},
        // More than 4 GB free: no 32-bit wrap, in either figure or their sum.
        {2, 6, 1, 8664, 6 * GB, 3 * GB, 58, "Windows NT, version 6.01", "Unknown Processor8664",
         "9,437,184KB Free", "58% Load"},
        {2, 5, 0, 586, 4 * GB, 1 * KB, 1, "Windows NT, version 5.00", "Pentium", "4,194,305KB Free",
         "1% Load"},
        // Identifiers beyond the tables get their fallbacks.
        {3, 10, 0, 4000, 1 * GB, 0, 12, "Unknown Platform3, version 10.00", "Unknown Processor4000",
         "1,048,576KB Free", "12% Load"},
        {0xFFFFFFFF, 4, 0, 0, 0, 0, 50, "Unknown Platform4294967295, version 4.00", "Unknown Processor0",
         "KB Free", "50% Load"},
    };
    for (const TCase& C : Cases) {
        TSystemQueryOverride O;
        O.PlatformId = C.Platform;
        O.MajorVersion = C.Major;
        O.MinorVersion = C.Minor;
        O.ProcessorType = C.Processor;
        O.AvailPhys = C.Phys;
        O.AvailPageFile = C.Page;
        O.MemoryLoad = C.Load;
        SetSystemQueryOverride(&O);
        auto* Box = CreateNewForm<Tabout>(Application);
        ShowAndClose(Box);
        EXPECT_EQ(Box->Label3->Caption(), C.Label3);
        EXPECT_EQ(Box->Label4->Caption(), C.Label4);
        EXPECT_EQ(Box->Label7->Caption(), C.Label7);
        EXPECT_EQ(Box->Label8->Caption(), C.Label8);
    }
}

TEST_F(InfoWindows, AboutBoxReadsMemoryAtEachShowingAndThePlatformOnce)
{
    ShowAndClose(about);
    // Every activation plays the welcome sound through the platform's sound call.
    ASSERT_EQ(Fixture.Recorder.Calls().size(), 1u);
    EXPECT_EQ(Fixture.Recorder.Calls()[0].Kind, TSystemCall::PlaySound);
    EXPECT_EQ(Fixture.Recorder.Calls()[0].File, "c:\\windows\\media\\The Microsoft Sound.wav");
    EXPECT_EQ(Fixture.Recorder.Calls()[0].Flags, SND_ASYNC);
    EXPECT_EQ(about->Label7->Caption(), "1,234,567KB Free");
    EXPECT_EQ(about->Label8->Caption(), "37% Load");

    TSystemQueryOverride O = Machine();
    O.PlatformId = VER_PLATFORM_WIN32_WINDOWS;
    O.ProcessorType = PROCESSOR_INTEL_486;
    O.AvailPhys = 5 * GB;
    O.AvailPageFile = 0;
    O.MemoryLoad = 81;
    SetSystemQueryOverride(&O);
    ShowAndClose(about);
    EXPECT_EQ(about->Label7->Caption(), "5,242,880KB Free");
    EXPECT_EQ(about->Label8->Caption(), "81% Load");
    EXPECT_EQ(about->Label3->Caption(), "Windows NT, version 4.00");
    EXPECT_EQ(about->Label4->Caption(), "Pentium");
    ASSERT_EQ(Fixture.Recorder.Calls().size(), 2u);
    EXPECT_EQ(Fixture.Recorder.Calls()[1].Kind, TSystemCall::PlaySound);
}

TEST_F(InfoWindows, AboutOpensFromTheHelpMenuAndTheTrayAndItsCreditsButtonShowsTheCredits)
{
    for (const char* Item : {"About1", "About2"}) {
        bool Shown = false;
        auto* Entry = dynamic_cast<TMenuItem*>(Form1->FindComponent(Item));
        ASSERT_NE(Entry, nullptr) << Item;
        RunModalSteps([Entry] { Entry->Click(); },
                      {[&] { Shown = about->Visible() && about->FormState.Contains(fsModal); }});
        EXPECT_TRUE(Shown) << Item;
        EXPECT_FALSE(about->Visible()) << Item;
    }

    bool CreditsModal = false, AboutStillUp = false;
    RunModalSteps([] { about->ShowModal(); }, {[] { about->Button1->Click(); },
                                               [&] {
                                                   CreditsModal = Form13->Visible() &&
                                                                  Form13->FormState.Contains(fsModal);
                                                   Form13->Button1->Click();
                                               },
                                               [&] {
                                                   AboutStillUp = about->Visible() && !Form13->Visible();
                                                   about->Button2->Click();
                                               }});
    EXPECT_TRUE(CreditsModal);
    EXPECT_TRUE(AboutStillUp);
    EXPECT_FALSE(about->Visible());
    EXPECT_FALSE(Form13->Visible());
}

// ---- Credits and the viewer's about box ------------------------------------------------------

TEST_F(InfoWindows, CreditsAndViewerAboutTexts)
{
    EXPECT_EQ(Form13->Caption(), "Tamsel Pro Credits.");
    EXPECT_EQ(Form13->BorderStyle(), bsDialog);
    EXPECT_EQ(Form13->Button1->Caption(), "&OK");
    EXPECT_EQ(Form13->Label1->Style(), stSunken);
    EXPECT_TRUE(Form13->Label1->Transparent());
    EXPECT_EQ(Form13->Label1->Font()->Name(), "Arial");

    EXPECT_EQ(Form9->Caption(), "About HTML Viewer");
    EXPECT_EQ(Form9->BorderStyle(), bsDialog);
    EXPECT_EQ(Form9->GroupBox1->Caption(), "About HTML Viewer");
    EXPECT_EQ(Form9->Memo1->BorderStyle(), bsNone);
    EXPECT_TRUE(Form9->Memo1->ReadOnly());
    EXPECT_GT(Form9->Memo1->Lines()->Count(), 0);
    EXPECT_EQ(Form9->Label1->Caption(), ViewerMakerAddress);
}

TEST_F(InfoWindows, ViewerAboutLabelOpensTheMakersAddress)
{
    RunModalSteps([] { Form9->ShowModal(); }, {[] { ClickControl(Form9->Label1, 5, 5); }});
    ASSERT_EQ(Fixture.Recorder.Calls().size(), 1u);
    const TSystemCall& Call = Fixture.Recorder.Calls()[0];
    EXPECT_EQ(Call.Kind, TSystemCall::ShellExecute);
    EXPECT_EQ(Call.Operation, "open");
    EXPECT_EQ(Call.File, ViewerMakerAddress);
    EXPECT_EQ(Call.ShowCmd, SW_SHOWNORMAL);
}

// ---- Tutorial ----------------------------------------------------------------------------------

TEST_F(InfoWindows, TutorialPagesAndTexts)
{
    EXPECT_EQ(htmlform->Caption(), "Tamsel Pro. HTML Tutorial.");
    TStrings* Pages = htmlform->Notebook1->Pages();
    ASSERT_EQ(Pages->Count(), 6);
    const std::vector<std::string> Names = {"Default", "Welcome", "Basics", "Tags", "Tags2", "tags3"};
    for (int I = 0; I < 6; ++I)
        EXPECT_EQ(Pages->Strings(I), Names[static_cast<std::size_t>(I)]);
    EXPECT_EQ(htmlform->Shape1->Shape(), stCircle);
    EXPECT_EQ(htmlform->Shape1->Brush()->Color(), clBlue);
    EXPECT_EQ(htmlform->Shape2->Shape(), stCircle);
    EXPECT_EQ(htmlform->Shape2->Brush()->Color(), clRed);
    EXPECT_EQ(htmlform->Shape1->Parent(), htmlform->Notebook1->Page(0));
    EXPECT_EQ(CaptionOf(htmlform, "Label1"), "Tamsel Pro HTML Tutorial.");
    const std::vector<std::string> Headings = {"Welcome to the Tamsel Pro HTML Tutorial.", "HTML, the Basics",
                                               "HTML Tags and How JavaScript fits In.",
                                               "The Body Tag and OnLoad", "The Head Tag"};
    for (int I = 1; I <= 5; ++I) {
        auto* Heading = dynamic_cast<TLabel*>(htmlform->FindComponent("Heading" + std::to_string(I)));
        auto* Lesson = dynamic_cast<TMemo*>(htmlform->FindComponent("Lesson" + std::to_string(I)));
        ASSERT_TRUE(Heading && Lesson) << I;
        EXPECT_EQ(Heading->Caption(), Headings[static_cast<std::size_t>(I - 1)]);
        EXPECT_EQ(Heading->Parent(), htmlform->Notebook1->Page(I));
        EXPECT_EQ(Lesson->Parent(), htmlform->Notebook1->Page(I));
        EXPECT_TRUE(Lesson->ReadOnly());
        EXPECT_EQ(Lesson->BorderStyle(), bsNone);
        EXPECT_GT(Lesson->Lines()->Count(), 5);
    }
}

TEST_F(InfoWindows, TutorialStepsPageByPageAndFinishCloses)
{
    TCorrinWizard* Bar = htmlform->CorrinWizard1;
    EXPECT_EQ(Bar->NoteBook(), htmlform->Notebook1);
    EXPECT_FALSE(Bar->EnableHelp());
    EXPECT_EQ(Bar->Align(), alBottom);
    EXPECT_EQ(Bar->BackButton()->Caption(), "< &Back");
    EXPECT_EQ(Bar->NextButton()->Caption(), "&Next >");
    EXPECT_EQ(Bar->EndButton()->Caption(), "&Cancel");
    EXPECT_EQ(Bar->HelpButton()->Caption(), "&Help");
    EXPECT_EQ(Bar->ReadyCaption(), "&Finish");

    struct TState {
        int Page;
        bool Back, Next;
        std::string End;
    };
    std::vector<TState> Seen;
    auto Look = [&] {
        Seen.push_back({htmlform->Notebook1->PageIndex(), Bar->BackButton()->Enabled(),
                        Bar->NextButton()->Enabled(), Bar->EndButton()->Caption()});
    };
    auto Click = [](TButton* B) { ClickControl(B, 10, 10); };
    std::vector<std::function<void()>> Steps;
    Steps.push_back([&] {
        Look();
        EXPECT_FALSE(Bar->HelpButton()->Visible());
        for (int I = 0; I < 5; ++I) {
            Click(Bar->NextButton());
            Look();
        }
        for (int I = 0; I < 2; ++I) {
            Click(Bar->BackButton());
            Look();
        }
        Click(Bar->NextButton());
        Click(Bar->NextButton());
        Look();
        Click(Bar->EndButton()); // Finish
    });
    RunModalSteps([] { htmlform->ShowModal(); }, Steps);
    EXPECT_FALSE(htmlform->Visible());
    const std::vector<TState> Expected = {
        {0, false, true, "&Cancel"}, {1, true, true, "&Cancel"}, {2, true, true, "&Cancel"},
        {3, true, true, "&Cancel"},  {4, true, true, "&Cancel"}, {5, true, false, "&Finish"},
        {4, true, true, "&Cancel"},  {3, true, true, "&Cancel"}, {5, true, false, "&Finish"}};
    ASSERT_EQ(Seen.size(), Expected.size());
    for (std::size_t I = 0; I < Seen.size(); ++I) {
        EXPECT_EQ(Seen[I].Page, Expected[I].Page) << I;
        EXPECT_EQ(Seen[I].Back, Expected[I].Back) << I;
        EXPECT_EQ(Seen[I].Next, Expected[I].Next) << I;
        EXPECT_EQ(Seen[I].End, Expected[I].End) << I;
    }

    // Cancel on a middle page ends it too; the next showing goes on from that page.
    RunModalSteps([] { htmlform->ShowModal(); }, {[&] {
                      EXPECT_EQ(htmlform->Notebook1->PageIndex(), 5);
                      Click(Bar->BackButton());
                      Click(Bar->EndButton());
                  }});
    EXPECT_FALSE(htmlform->Visible());
    EXPECT_EQ(htmlform->Notebook1->PageIndex(), 4);
}

TEST_F(InfoWindows, TutorialCirclesDriftOnePixelPerTickWhetherShownOrNot)
{
    EXPECT_EQ(htmlform->Timer1->Interval(), 100u);
    EXPECT_TRUE(htmlform->Timer1->Enabled());
    ASSERT_FALSE(htmlform->Visible());
    const int Left1 = htmlform->Shape1->Left(), Left2 = htmlform->Shape2->Left();
    AdvanceClock(1000);
    EXPECT_EQ(htmlform->Shape1->Left(), Left1 + 10);
    EXPECT_EQ(htmlform->Shape2->Left(), Left2 + 10);
    // No limit: they leave the page after a while.
    AdvanceClock(60000);
    EXPECT_GT(htmlform->Shape1->Left(), htmlform->Notebook1->Width());
}

// ---- Reference ---------------------------------------------------------------------------------

// The tree as stored: one line per entry, depth first, one blank per level.
std::vector<std::string> ReferenceEntries()
{
    std::vector<std::string> Rows;
    auto Add = [&Rows](int Level, const std::vector<std::string>& Texts) {
        for (const std::string& T : Texts)
            Rows.push_back(std::string(static_cast<std::size_t>(Level), ' ') + T);
    };
    Add(0, {"Date"});
    Add(1, {"getDate()",    "getDay()",   "getHours()",          "getMinutes()", "getMonth()",
            "getSeconds()", "getTime()",  "getTimeZoneoffset()", "getYear()",    "parse()",
            "setDate()",    "setHours()", "setMinutes()",        "setMonth()",   "setSeconds()",
            "setTime()",    "setYear()",  "toGMTString()",       "UTC()",        "toLocaleString()"});
    Add(0, {"Math"});
    Add(1, {"Math.E",        "Math.LN2",     "Math.LN10",   "Math.LOG2E",  "Math.LOG10E",
            "Math.PI",       "Math.SQRT1_2", "Math.SQRT2",  "Math.abs()",  "Math.acos()",
            "Math.asin()",   "Math.atan()",  "Math.ceil()", "Math.cos()",  "Math.exp()",
            "Math.floor()",  "Math.log()",   "Math.max()",  "Math.min()",  "Math.pow()",
            "Math.random()", "Math.round()", "Math.sin()",  "Math.sqrt()", "Math.tan()"});
    Add(0, {"Window"});
    Add(1, {"history"});
    Add(2, {"length", "history.back()", "history.forward()", "history.go()"});
    Add(1, {"location"});
    Add(2, {"location.hash", "location.host", "location.hostname", "location.pathname", "location.protocol",
            "location.search", "location.reload()", "location.replace()"});
    Add(1, {"document"});
    Add(2, {"document.aLinkColor", "document.bgColor", "document.cookie", "document.vLinkColor",
            "document.fgColor", "document.lastModified", "document.linkColor", "document.location",
            "document.referrer", "document.title", "anchors[]"});
    Add(3, {"length"});
    Add(2, {"embeds[]"});
    Add(3, {"length"});
    Add(2, {"form", "form[]"});
    Add(3, {"length"});
    Add(2, {"image", "images[]"});
    Add(3, {"length"});
    Add(2, {"link", "links[]"});
    Add(3, {"length"});
    Add(2, {"plugin"});
    Add(3, {"length", "name"});
    Add(1, {"frame"});
    Add(2, {"frame.frames", "frame.name", "frame.length", "frame.parent", "frame.self", "frame.window",
            "frame.blur()", "frame.clearTimeout()", "frame.focus()", "frame.setTimeout"});
    Add(0, {"String"});
    Add(1, {"length",        "anchor()", "big()",         "blink()",      "bold()",    "char()",
            "charAt()",      "fixed()",  "fontColor()",   "fontSize()",   "indexOf()", "italics()",
            "lastIndexOf()", "link()",   "small()",       "split()",      "strike()",  "sub()",
            "substring()",   "sup()",    "toLowerCase()", "toUpperCase()"});
    Add(0, {"Navigator"});
    Add(1, {"navigator.appCodeName", "navigator.appName", "navigator.appVersion", "navigator.javaEnabled",
            "navigator.mimeTypes", "navigator.plugins", "navigator.userAgent"});
    Add(0, {"Reserved Words"});
    return Rows; // the reserved words come from the scratch pane's rule (see the test)
}

TEST_F(InfoWindows, ReferenceTreeHoldsItsEntriesInFourLevels)
{
    EXPECT_EQ(jsref->Caption(), "JavaScript Reference.");
    EXPECT_EQ(jsref->BorderStyle(), bsSingle);
    EXPECT_EQ(jsref->FormStyle(), fsStayOnTop);
    EXPECT_EQ(jsref->Button1->Caption(), "&OK");
    EXPECT_EQ(jsref->TreeView1->Indent(), 19);

    TTreeNodes* Items = jsref->TreeView1->Items();
    ASSERT_EQ(Items->Count(), 185);
    std::vector<std::string> Expected = ReferenceEntries();
    // The same 53 words, in the same order, as the scratch pane's reserved-word rule.
    TStrings* Reserved = Form17->ColorMemo1->ColorRules()->Items(8)->Keywords();
    ASSERT_EQ(Reserved->Count(), 53);
    for (int I = 0; I < Reserved->Count(); ++I)
        Expected.push_back(" " + Reserved->Strings(I));
    ASSERT_EQ(Expected.size(), 185u);
    int MaxLevel = 0;
    for (int I = 0; I < Items->Count(); ++I) {
        TTreeNode* Node = Items->Item(I);
        EXPECT_EQ(std::string(static_cast<std::size_t>(Node->Level()), ' ') + Node->Text(),
                  Expected[static_cast<std::size_t>(I)])
            << "entry " << I;
        MaxLevel = std::max(MaxLevel, Node->Level());
    }
    EXPECT_EQ(MaxLevel, 3);
    ASSERT_EQ(Items->RootCount(), 6);
    const std::vector<int> Children = {20, 25, 4, 22, 7, 53};
    for (int I = 0; I < 6; ++I)
        EXPECT_EQ(Items->Root(I)->Count(), Children[static_cast<std::size_t>(I)]) << Items->Root(I)->Text();
}

TEST_F(InfoWindows, ReferenceShowsWithoutBlockingAndItsOkHidesIt)
{
    auto* Entry = dynamic_cast<TMenuItem*>(Form1->FindComponent("Reference1"));
    ASSERT_NE(Entry, nullptr);
    Entry->Click();
    ProcessMessages();
    EXPECT_TRUE(jsref->Visible());
    EXPECT_FALSE(jsref->FormState.Contains(fsModal));
    ClickControl(jsref->Button1, 10, 10);
    ProcessMessages();
    EXPECT_FALSE(jsref->Visible());
}

// ---- Start-up ----------------------------------------------------------------------------------

TEST_F(InfoWindows, UnitStartUpsRunInLinkOrder)
{
    std::vector<std::string> Names;
    for (const TUnitStartup& Step : TamselUnitStartups())
        Names.push_back(Step.Name);
    const std::vector<std::string> Expected = {"InitAdCursors", "RegisterFillTypes", "HtmlImageInit",
                                               "InitColMemoCursor", "RegisterIconClipboardFormat"};
    EXPECT_EQ(Names, Expected);
    // What the steps left behind.
    ASSERT_NE(FillTypeRegistry(), nullptr);
    EXPECT_EQ(FillTypeRegistry()->Count(), 17);
    EXPECT_NE(IconClipboardFormat, 0u);
    EXPECT_NE(Screen->Cursors(crColMemoHotSpot), nullptr);
}

} // namespace
