// The main window's notification-area icon: shown with the program's icon and name where the
// desktop has a notification area, its menu ending the program; no area is no error.
#include "apps/html-editor/TamselStartup.h"
#include "apps/html-editor/Unit1.h"
#include "platform/app/ShellApi.h"
#include "platform/rtl/SysUtils.h"
#include "platform/testing/AppTesting.h"
#include "platform/testing/TestSupport.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

class TamselTray : public testing::Test {
protected:
    TAppTest Fixture;
    ~TamselTray() override { SetTrayAvailableOverride(false); }
    void Start(bool TrayAvailable)
    {
        SetTrayAvailableOverride(true, TrayAvailable);
        SetProgramName("tamsel");
        MakeTempDir("tamsel");
        RunUnitStartups();
        CreateTamselForms();
        Form1->Show();
        ProcessMessages();
    }
};

TEST_F(TamselTray, TheIconShowsAndItsMenuClosesTheProgram)
{
    Start(true);
    TAdTrayIcon* Tray = Form1->AdTrayIcon1;
    ASSERT_TRUE(Tray->Shown());
    EXPECT_FALSE(Tray->Animated());
    const TTrayIconState State = TrayIconState(Tray->WindowHandle(), 0);
    EXPECT_EQ(State.Tip, "Tamsel Pro");
    ASSERT_FALSE(Tray->Icon()->Empty());
    EXPECT_EQ(Tray->Icon()->Width(), 32);
    EXPECT_EQ(State.Icon, Tray->Icon()->Handle());

    Fixture.MenuChoices.ExpectChoice({"Close"});
    ASSERT_TRUE(SimulateTrayClick(Tray->WindowHandle(), 0, WM_RBUTTONUP));
    ProcessMessages();
    EXPECT_EQ(Fixture.MenuChoices.MenusShown(), 1);
    EXPECT_TRUE(Application->Terminated());
}

TEST_F(TamselTray, WithoutANotificationAreaTheProgramRunsWithoutIt)
{
    Start(false);
    EXPECT_FALSE(Form1->AdTrayIcon1->Shown());
    EXPECT_FALSE(Form1->AdTrayIcon1->Icon()->Empty());
    EXPECT_TRUE(Form1->Visible());
}

} // namespace
