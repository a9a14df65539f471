// The script editor's about box with injected system figures: the platform and processor read
// once when it is made, the memory at every showing, and its two buttons.
#include "apps/script-editor/Main.h"
#include "apps/script-editor/WendleStartup.h"
#include "apps/script-editor/about.h"
#include "platform/app/SysInfo.h"
#include "platform/rtl/SysUtils.h"
#include "platform/testing/AppTesting.h"
#include "platform/testing/ModalTesting.h"
#include "platform/testing/TestSupport.h"
#include "platform/testing/WinTesting.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

constexpr DWORDLONG KB = 1024;
constexpr DWORDLONG GB = 1024 * 1024 * 1024;

class WendleAbout : public ::testing::Test {
protected:
    WendleAbout()
    {
        SetProgramName("wendle");
        MakeTempDir("about");
        TSystemQueryOverride O;
        O.PlatformId = VER_PLATFORM_WIN32_NT;
        O.ProcessorType = 4000;
        O.AvailPhys = 3 * GB;
        O.AvailPageFile = 2 * GB;
        O.MemoryLoad = 37;
        SetSystemQueryOverride(&O);
        RunUnitStartups();
        CreateProgramForms();
        MainForm->Show();
        ProcessMessages();
    }
    ~WendleAbout() override { SetSystemQueryOverride(nullptr); }

    static void ShowAndClose(TCustomForm* Box)
    {
        RunModalSteps([Box] { Box->ShowModal(); }, {});
        EXPECT_FALSE(Box->Visible());
    }

    TAppTest Fixture;
};

TEST_F(WendleAbout, FiguresFromInjectedValues)
{
    // Made at start-up: only the platform's name shows, and the processor's number follows its
    // text without a blank.
    EXPECT_EQ(aboutbox->Label3->Caption(), "Windows NT");
    EXPECT_EQ(aboutbox->Label4->Caption(), "Unknown Processor4000");
    EXPECT_EQ(aboutbox->Label7->Caption(), "");

    bool Modal = false;
    auto* Item = dynamic_cast<TMenuItem*>(MainForm->FindComponent("HelpAboutItem"));
    ASSERT_NE(Item, nullptr);
    RunModalSteps([Item] { Item->Click(); },
                  {[&] { Modal = aboutbox->Visible() && aboutbox->FormState.Contains(fsModal); }});
    EXPECT_TRUE(Modal);
    // 5 GB free: more than 32 bits can hold.
    EXPECT_EQ(aboutbox->Label7->Caption(), "5,242,880KB Free");
    EXPECT_EQ(aboutbox->Label8->Caption(), "37% Load");
}

TEST_F(WendleAbout, EachPlatformAndProcessorName)
{
    struct TCase {
        DWORD Platform, Processor;
        const char *Label3, *Label4;
    } Cases[] = {
        {0, 386, "Win32s", "80386"},
        {1, 486, "Windows 95", "80486"},
        {2, 586, "Windows NT", "Pentium"},
        {2, 686, "Windows NT", "Unknown Processor686"},
        // Beyond the three-entry table.
        {3, 586, "Unknown Platform3", "Pentium"},
        {1000, 586, "Unknown Platform1000", "Pentium"},
    };
    for (const TCase& C : Cases) {
        TSystemQueryOverride O;
        O.PlatformId = C.Platform;
        O.ProcessorType = C.Processor;
        SetSystemQueryOverride(&O);
        auto* Box = CreateNewForm<Taboutbox>(Application);
        EXPECT_EQ(Box->Label3->Caption(), C.Label3);
        EXPECT_EQ(Box->Label4->Caption(), C.Label4);
    }
}

TEST_F(WendleAbout, MemoryIsReadAgainAtEveryShowingThePlatformOnlyOnce)
{
    ShowAndClose(aboutbox);
    EXPECT_EQ(aboutbox->Label8->Caption(), "37% Load");

    TSystemQueryOverride O;
    O.PlatformId = VER_PLATFORM_WIN32s;
    O.ProcessorType = PROCESSOR_INTEL_386;
    O.AvailPhys = 1234567 * KB;
    O.AvailPageFile = 0;
    O.MemoryLoad = 9;
    SetSystemQueryOverride(&O);
    ShowAndClose(aboutbox);
    EXPECT_EQ(aboutbox->Label7->Caption(), "1,234,567KB Free");
    EXPECT_EQ(aboutbox->Label8->Caption(), "9% Load");
    EXPECT_EQ(aboutbox->Label3->Caption(), "Windows NT");
    EXPECT_EQ(aboutbox->Label4->Caption(), "Unknown Processor4000");
}

TEST_F(WendleAbout, ButtonsVisitTheHomePageAndClose)
{
    EXPECT_EQ(aboutbox->Caption(), "About Orvane Wendle");
    EXPECT_EQ(aboutbox->BorderStyle(), bsDialog);
    EXPECT_EQ(aboutbox->BorderIcons(), TBorderIcons{biSystemMenu});
    EXPECT_EQ(aboutbox->Button1->Caption(), "&OK");
    EXPECT_EQ(aboutbox->Button2->Caption(), "Visit Orvane Online");
    auto CaptionOf = [](const char* Name) {
        auto* L = dynamic_cast<TLabel*>(aboutbox->FindComponent(Name));
        return L ? L->Caption() : std::string("<none>");
    };
    EXPECT_EQ(CaptionOf("Label1"), "Memory:");
    EXPECT_EQ(CaptionOf("Label2"), "Memory Load:");

    const int Ran =
        RunModalSteps([] { aboutbox->ShowModal(); }, {[] { ClickControl(aboutbox->Button2, 10, 10); },
                                                      [] { ClickControl(aboutbox->Button1, 10, 10); }});
    EXPECT_EQ(Ran, 2);
    EXPECT_FALSE(aboutbox->Visible());
    ASSERT_EQ(Fixture.Recorder.Calls().size(), 1u);
    const TSystemCall& Call = Fixture.Recorder.Calls()[0];
    EXPECT_EQ(Call.Kind, TSystemCall::ShellExecute);
    EXPECT_EQ(Call.Operation, "open");
    EXPECT_EQ(Call.File, WendleHomePage);
    EXPECT_EQ(Call.Parameters, "");
    EXPECT_EQ(Call.ShowCmd, SW_SHOWNORMAL);
}

} // namespace
