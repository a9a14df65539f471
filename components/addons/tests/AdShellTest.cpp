#include "components/addons/AdShell.h"

#include "platform/app/Application.h"
#include "platform/app/ShellApi.h"
#include "platform/classes/FormReader.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Menus.h"
#include "platform/graphics/ImageCodecs.h"
#include "platform/rtl/Streams.h"
#include "platform/testing/AppTesting.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

std::unique_ptr<TIcon> SolidIcon(std::uint32_t Rgb)
{
    TIconImage Face;
    Face.Image.Width = Face.Image.Height = 16;
    Face.Image.BitsPerPixel = 32;
    Face.Image.Pixels.assign(16 * 16, 0xFF000000u | Rgb);
    Face.Mask.assign(16 * 16, 0);
    auto Icon = std::make_unique<TIcon>();
    Icon->SetImage(Face);
    return Icon;
}

// The colour of the icon the notification area shows now (0xRRGGBB); -1 for none.
long ShownColour(TAdTrayIcon* Tray)
{
    const TTrayIconState S = TrayIconState(Tray->WindowHandle(), 0);
    if (!S.Exists)
        return -1;
    auto Image = IconHandleImage(S.Icon);
    if (!Image)
        return -1;
    return static_cast<long>(Image->Image.Pixel(3, 3) & 0xFFFFFF);
}

class AdTrayIconTest : public ::testing::Test {
protected:
    AdTrayIconTest() { SetTrayAvailableOverride(true, true); }
    ~AdTrayIconTest() override { SetTrayAvailableOverride(false); }
    void SetUp() override
    {
        Form = new TForm(Application);
        Form->SetBounds(100, 100, 300, 200);
        Application->SetMainForm(Form);
        Form->Show();
        ProcessMessages();
        Tray = new TAdTrayIcon(Form);
        Tray->OnClick = [this](TObject*, TMouseButton B, TShiftState, int, int) {
            Log.push_back(B == mbRight ? "click right" : "click left");
        };
        Tray->OnDblClick = [this](TObject*) { Log.push_back("dblclick"); };
        Tray->OnMouseDown = [this](TObject*, TMouseButton B, TShiftState S, int, int) {
            Log.push_back(std::string("down ") +
                          (B == mbRight    ? "right"
                           : B == mbMiddle ? "middle"
                                           : "left") +
                          (S.Contains(ssDouble) ? " double" : ""));
        };
        Tray->OnMouseUp = [this](TObject*, TMouseButton B, TShiftState, int, int) {
            Log.push_back(std::string("up ") + (B == mbRight ? "right" : B == mbMiddle ? "middle" : "left"));
        };
    }
    void TearDown() override
    {
        Form->BeforeDestruction();
        delete Form;
    }
    void Shell(UINT MouseMessage)
    {
        PostMessage(Tray->WindowHandle(), WM_TRAYICONCALLBACK, 0, static_cast<LPARAM>(MouseMessage));
        ProcessMessages();
    }
    void ThreeIcons()
    {
        Tray->Icons()->Add(SolidIcon(0xFF0000).get());
        Tray->Icons()->Add(SolidIcon(0x00FF00).get());
        Tray->Icons()->Add(SolidIcon(0x0000FF).get());
    }
    TPopupMenu* MenuWith(const std::vector<std::string>& Captions, int DefaultIndex = -1)
    {
        auto* Menu = new TPopupMenu(Form);
        for (std::size_t I = 0; I < Captions.size(); ++I) {
            auto* Item = new TMenuItem(Form);
            Item->SetCaption(Captions[I]);
            Item->SetDefault(int(I) == DefaultIndex);
            Item->OnClick = [this, C = Captions[I]](TObject*) { Log.push_back("menu " + C); };
            Menu->Items()->Add(Item);
        }
        Tray->SetPopupMenu(Menu);
        return Menu;
    }
    TAppTest Fixture;
    TForm* Form = nullptr;
    TAdTrayIcon* Tray = nullptr;
    std::vector<std::string> Log;
};

TEST_F(AdTrayIconTest, TheTipIsTheShortHintCutTo63Characters)
{
    Tray->SetIcon(SolidIcon(0x808080).get());
    ASSERT_TRUE(Tray->Shown());
    const std::string Accent = "\xC3\xA9"; // two bytes, one character
    struct {
        std::string Hint;
        std::string Tip;
    } const Cases[] = {
        {"Tamsel Pro", "Tamsel Pro"},
        {std::string(70, 'x'), std::string(63, 'x')},
        {std::string(63, 'y'), std::string(63, 'y')},
        {"Short|The long hint", "Short"},
        {"|only long", ""},
        {std::string(62, 'z') + Accent, std::string(62, 'z')}, // a character is never split
        {"", ""},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Hint);
        Tray->SetHint(C.Hint);
        EXPECT_EQ(TrayIconState(Tray->WindowHandle(), 0).Tip, C.Tip);
        EXPECT_EQ(std::string(Tray->NotifyData().szTip), C.Tip);
    }
    const TNotifyIconData& D = Tray->NotifyData();
    EXPECT_EQ(D.cbSize, 88u);
    EXPECT_EQ(D.uFlags, 7u);
    EXPECT_EQ(D.uCallbackMessage, 0xB040u);
    EXPECT_EQ(D.uID, 0u);
    EXPECT_EQ(D.hWnd, Tray->WindowHandle());
    EXPECT_EQ(ShownColour(Tray), 0x808080);
}

TEST_F(AdTrayIconTest, ShownOnlyWithAnIconWhileActive)
{
    EXPECT_FALSE(Tray->Shown()); // no icon yet
    EXPECT_FALSE(TrayIconState(Tray->WindowHandle(), 0).Exists);
    Tray->SetIcon(SolidIcon(0x00FFFF).get());
    EXPECT_TRUE(Tray->Shown());
    Tray->SetActive(false);
    EXPECT_FALSE(Tray->Shown());
    EXPECT_FALSE(TrayIconState(Tray->WindowHandle(), 0).Exists);
    Tray->SetActive(true);
    EXPECT_TRUE(Tray->Shown());
    Tray->Icon()->Assign(nullptr); // no icon left: hidden
    EXPECT_FALSE(Tray->Shown());
    EXPECT_FALSE(TrayIconState(Tray->WindowHandle(), 0).Exists);
}

TEST_F(AdTrayIconTest, ADesktopWithoutANotificationAreaIsNoError)
{
    SetTrayAvailableOverride(true, false);
    EXPECT_NO_THROW(Tray->SetIcon(SolidIcon(0x00FFFF).get()));
    EXPECT_FALSE(Tray->Shown());
    // The next change tries again.
    SetTrayAvailableOverride(true, true);
    Tray->SetHint("back");
    EXPECT_TRUE(Tray->Shown());
    EXPECT_EQ(TrayIconState(Tray->WindowHandle(), 0).Tip, "back");
}

TEST_F(AdTrayIconTest, AnimationStepsOnTheClock)
{
    Tray->SetIcon(SolidIcon(0x808080).get());
    Tray->SetAnimated(true);
    EXPECT_FALSE(Tray->Animated()); // nothing to step through
    ThreeIcons();
    Tray->SetAnimated(true);
    ASSERT_TRUE(Tray->Animated());
    EXPECT_EQ(Tray->IconIndex(), 0);
    EXPECT_EQ(ShownColour(Tray), 0xFF0000);
    AdvanceClock(149);
    EXPECT_EQ(Tray->IconIndex(), 0);
    AdvanceClock(1);
    EXPECT_EQ(Tray->IconIndex(), 1);
    EXPECT_EQ(ShownColour(Tray), 0x00FF00);
    AdvanceClock(300);
    EXPECT_EQ(Tray->IconIndex(), 0); // wrapped round
    EXPECT_EQ(ShownColour(Tray), 0xFF0000);

    // A new interval counts from the step after the one under way.
    Tray->SetInterval(50);
    AdvanceClock(150);
    EXPECT_EQ(Tray->IconIndex(), 1);
    AdvanceClock(100);
    EXPECT_EQ(Tray->IconIndex(), 0);

    // Hidden, it does not step.
    Tray->SetActive(false);
    AdvanceClock(500);
    EXPECT_EQ(Tray->IconIndex(), 0);
    Tray->SetActive(true);
    AdvanceClock(50);
    EXPECT_EQ(Tray->IconIndex(), 1);

    Tray->SetAnimated(false);
    EXPECT_EQ(Tray->IconIndex(), 0);
    EXPECT_EQ(ShownColour(Tray), 0x808080);
    AdvanceClock(500);
    EXPECT_EQ(ShownColour(Tray), 0x808080);
}

TEST_F(AdTrayIconTest, DeletingTheLastAnimatedIconShowsTheIcon)
{
    Tray->SetIcon(SolidIcon(0x808080).get());
    Tray->Icons()->Add(SolidIcon(0xFF0000).get());
    Tray->SetAnimated(true);
    EXPECT_EQ(ShownColour(Tray), 0xFF0000);
    Tray->Icons()->Delete(0);
    EXPECT_FALSE(Tray->Animated());
    EXPECT_EQ(ShownColour(Tray), 0x808080);
    AdvanceClock(1000);
    EXPECT_EQ(ShownColour(Tray), 0x808080);
}

TEST_F(AdTrayIconTest, FreedWhileAnimatingLeavesNothingBehind)
{
    Tray->SetIcon(SolidIcon(0x808080).get());
    ThreeIcons();
    Tray->SetAnimated(true);
    AdvanceClock(150);
    const HWND Wnd = Tray->WindowHandle();
    delete Tray;
    Tray = nullptr;
    EXPECT_FALSE(TrayIconState(Wnd, 0).Exists);
    EXPECT_FALSE(IsWindow(Wnd));
    AdvanceClock(1000); // no step finds a freed component
    EXPECT_EQ(ProcessMessages(), 0);
}

TEST_F(AdTrayIconTest, MouseActionsBecomeEvents)
{
    Tray->SetIcon(SolidIcon(0x808080).get());
    ASSERT_TRUE(SimulateTrayClick(Tray->WindowHandle(), 0, WM_LBUTTONUP));
    ProcessMessages();
    EXPECT_EQ(Log, (std::vector<std::string>{"down left", "click left", "up left"}));
    Log.clear();
    ASSERT_TRUE(SimulateTrayClick(Tray->WindowHandle(), 0, WM_RBUTTONUP));
    ProcessMessages();
    EXPECT_EQ(Log, (std::vector<std::string>{"down right", "click right", "up right"}));
    Log.clear();
    ASSERT_TRUE(SimulateTrayClick(Tray->WindowHandle(), 0, WM_LBUTTONDBLCLK));
    ProcessMessages();
    EXPECT_EQ(Log, (std::vector<std::string>{"dblclick", "down left double", "up left"}));
    Log.clear();
    // Releases without a press the icon saw are no clicks.
    Shell(WM_RBUTTONUP);
    Shell(WM_LBUTTONUP);
    Shell(WM_MBUTTONDOWN);
    Shell(WM_MBUTTONUP);
    Shell(WM_RBUTTONDBLCLK);
    EXPECT_EQ(Log, (std::vector<std::string>{"up right", "up left", "down middle", "up middle",
                                             "down right double"}));
}

TEST_F(AdTrayIconTest, ARightClickOpensThePopupMenuInsteadOfOnClick)
{
    Tray->SetIcon(SolidIcon(0x808080).get());
    TPopupMenu* Menu = MenuWith({"&About...", "Close"});
    Fixture.MenuChoices.ExpectChoice({"Close"});
    ASSERT_TRUE(SimulateTrayClick(Tray->WindowHandle(), 0, WM_RBUTTONUP));
    ProcessMessages();
    EXPECT_EQ(Log, (std::vector<std::string>{"down right", "menu Close", "up right"}));
    EXPECT_EQ(Menu->PopupComponent(), Tray);
    EXPECT_EQ(Fixture.MenuChoices.MenusShown(), 1);

    // Without AutoPopup, or inactive, the click is a click.
    Log.clear();
    Menu->AutoPopup = false;
    ASSERT_TRUE(SimulateTrayClick(Tray->WindowHandle(), 0, WM_RBUTTONUP));
    ProcessMessages();
    EXPECT_EQ(Log, (std::vector<std::string>{"down right", "click right", "up right"}));
    EXPECT_EQ(Fixture.MenuChoices.MenusShown(), 1);

    // A freed menu is forgotten.
    delete Menu;
    EXPECT_EQ(Tray->PopupMenu(), nullptr);
}

TEST_F(AdTrayIconTest, ADoubleClickRunsTheDefaultItem)
{
    Tray->SetIcon(SolidIcon(0x808080).get());
    TPopupMenu* Menu = MenuWith({"&About...", "Close"}, 0);
    Shell(WM_LBUTTONDBLCLK);
    EXPECT_EQ(Log, (std::vector<std::string>{"menu &About...", "down left double"}));
    Log.clear();
    Menu->Items()->Items(0)->SetEnabled(false); // a disabled default is no default
    Shell(WM_LBUTTONDBLCLK);
    EXPECT_EQ(Log, (std::vector<std::string>{"dblclick", "down left double"}));
}

TEST_F(AdTrayIconTest, AnExceptionInAHandlerIsReportedAndTheIconCarriesOn)
{
    Tray->SetIcon(SolidIcon(0x808080).get());
    Tray->OnClick = [](TObject*, TMouseButton, TShiftState, int, int) {
        throw Exception("Tray handler failed");
    };
    Fixture.Dialogs.ExpectMessageBox(IDOK, "Tray handler failed");
    ASSERT_TRUE(SimulateTrayClick(Tray->WindowHandle(), 0, WM_LBUTTONUP));
    ProcessMessages();
    EXPECT_EQ(Fixture.Dialogs.Pending(), 0u);
    // The error ends the handling of that message; the next one comes through.
    EXPECT_EQ(Log, (std::vector<std::string>{"down left"}));
    EXPECT_TRUE(Tray->Shown());
    Shell(WM_LBUTTONUP);
    EXPECT_EQ(Log, (std::vector<std::string>{"down left", "up left"}));
}

// A form that holds an animated icon list in its description.
std::string Hex(const std::string& Bytes)
{
    static const char Digits[] = "0123456789ABCDEF";
    std::string Out;
    for (unsigned char C : Bytes) {
        Out += Digits[C >> 4];
        Out += Digits[C & 15];
    }
    return Out;
}

TEST_F(AdTrayIconTest, ReadFromAFormDescriptionItShowsOnceLoaded)
{
    TIconList List;
    List.Add(SolidIcon(0xFF0000).get());
    List.Add(SolidIcon(0x0000FF).get());
    TMemoryStream S;
    List.WriteIcons(&S);
    const std::string Text = "object TrayForm: TForm\n"
                             "  object PopupMenu1: TPopupMenu\n"
                             "  end\n"
                             "  object AdTrayIcon1: TAdTrayIcon\n"
                             "    Hint = 'Animated|with a long hint'\n"
                             "    Icons.Icons = { " +
                             Hex(S.DataString()) +
                             " }\n"
                             "    Animated = True\n"
                             "    Interval = 100\n"
                             "    PopupMenu = PopupMenu1\n"
                             "  end\n"
                             "end\n";
    std::unique_ptr<TForm> Read(CreateFormFromText<TForm>(nullptr, Text));
    auto* T = dynamic_cast<TAdTrayIcon*>(Read->FindComponent("AdTrayIcon1"));
    ASSERT_NE(T, nullptr);
    EXPECT_TRUE(T->Animated());
    EXPECT_TRUE(T->Shown());
    EXPECT_EQ(T->Interval(), 100);
    EXPECT_EQ(T->PopupMenu(), Read->FindComponent("PopupMenu1"));
    EXPECT_EQ(TrayIconState(T->WindowHandle(), 0).Tip, "Animated");
    EXPECT_EQ(ShownColour(T), 0xFF0000);
    AdvanceClock(100);
    EXPECT_EQ(ShownColour(T), 0x0000FF);
    const std::string Written = WriteForm(Read.get());
    EXPECT_NE(Written.find("Icons.Icons = {"), std::string::npos);
    EXPECT_NE(Written.find("Animated = True"), std::string::npos);
    // An empty list stores nothing.
    T->Icons()->Clear();
    EXPECT_FALSE(T->Animated());
    EXPECT_EQ(WriteForm(Read.get()).find("Icons.Icons"), std::string::npos);
    Read->BeforeDestruction();
}

} // namespace
