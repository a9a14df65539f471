#include "components/addons/BalloonHint.h"

#include "platform/app/Application.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdCtrls.h"
#include "platform/graphics/WinGdi.h"
#include "platform/testing/AppTesting.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

LOGFONT StatusFont(const char* Face, int Weight, BYTE Pitch = VARIABLE_PITCH)
{
    LOGFONT F;
    std::strncpy(F.lfFaceName, Face, LF_FACESIZE - 1);
    F.lfHeight = -11;
    F.lfWeight = Weight;
    F.lfPitchAndFamily = Pitch;
    return F;
}

// A pointer whose opaque part ends at row Bottom (hot spot at HotY).
HCURSOR PointerEndingAt(int Bottom, int HotY)
{
    std::vector<std::uint32_t> Pixels(32 * 32, 0);
    for (int Y = 0; Y <= Bottom; ++Y)
        Pixels[std::size_t(Y) * 32 + 3] = 0xFF000000u;
    return CreateCursorFromImage(32, 32, Pixels.data(), 3, HotY);
}

// A 32 x 64 monochrome pointer mask: AND half on top, XOR half below.
HBITMAP MonochromeMask(int BlackRow, int WhiteRow)
{
    std::vector<std::uint8_t> Bits(4 * 64, 0xFF); // all AND bits set: transparent
    for (int Y = 32; Y < 64; ++Y)
        std::memset(&Bits[std::size_t(Y) * 4], 0, 4); // XOR half: nothing drawn
    if (BlackRow >= 0)
        Bits[std::size_t(BlackRow) * 4] = 0x7F;
    if (WhiteRow >= 0)
        Bits[std::size_t(WhiteRow) * 4] = 0x80;
    return CreateBitmap(32, 64, 1, 1, Bits.data());
}

class BalloonHintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(Application);
        Form->SetBounds(200, 200, 400, 300);
        Application->SetMainForm(Form);
        Balloon = new TBalloonHint(Form);
        Button = new TButton(Form);
        Button->SetBounds(20, 200, 80, 24);
        Button->SetParent(Form);
        Form->Show();
        ProcessMessages();
    }
    void TearDown() override { delete Window; }
    // Runs the application's show-hint step for Control, as a hint cycle does.
    void HintCycle(TControl* Control)
    {
        std::string Text = "hint";
        bool CanShow = true;
        THintInfo Info;
        Info.HintControl = Control;
        ASSERT_TRUE(Application->OnShowHint);
        Application->OnShowHint(Text, CanShow, Info);
    }
    THintWindow95* Show(int X, int Y, const std::string& Text = "A balloon hint")
    {
        SetCursorPos(X, Y);
        if (!Window)
            Window = new THintWindow95(nullptr);
        Window->ActivateHint(Rect(0, 0, 300, 0), Text);
        ProcessMessages();
        return Window;
    }
    TAppTest App;
    TForm* Form = nullptr;
    TBalloonHint* Balloon = nullptr;
    TButton* Button = nullptr;
    THintWindow95* Window = nullptr;
};

} // namespace

TEST_F(BalloonHintTest, PlacingItTakesOverTheApplicationsHints)
{
    EXPECT_EQ(Application->HintShortPause, 25);
    EXPECT_EQ(Application->HintPause, 500);
    EXPECT_EQ(Application->HintHidePause, 5000);
    EXPECT_TRUE(Application->ShowHint());
    ASSERT_TRUE(Application->HintWindowClass());
    std::unique_ptr<THintWindow> Made(Application->HintWindowClass()(nullptr));
    EXPECT_NE(dynamic_cast<THintWindow95*>(Made.get()), nullptr);
    EXPECT_EQ(FindHintComponent(), Balloon);
    EXPECT_EQ(Balloon->HintStyle(), hsWindows95);
    EXPECT_EQ(Balloon->HintFont()->Color(), clInfoText);
    // The form's own OnShowHint still hears every hint.
    int Heard = 0;
    Balloon->OnShowHint = [&](std::string& S, bool&, THintInfo&) {
        ++Heard;
        S = "changed";
    };
    std::string Text = "original";
    bool CanShow = true;
    THintInfo Info;
    Info.HintControl = Button;
    Application->OnShowHint(Text, CanShow, Info);
    EXPECT_EQ(Heard, 1);
    EXPECT_EQ(Text, "changed");
    EXPECT_EQ(HintControl(), Button);
}

TEST_F(BalloonHintTest, TheHintFontFollowsTheStatusFont)
{
    TStringList Installed;
    struct {
        LOGFONT Status;
        bool Office;
        bool Tahoma;
        const char* Name;
        bool Bold;
        TFontPitch Pitch;
    } const Cases[] = {
        {StatusFont("Verdana", 700), false, false, "Verdana", true, fpVariable},
        {StatusFont("Verdana", 500), false, false, "Verdana", false, fpVariable},
        {StatusFont("Courier New", 400, FIXED_PITCH), false, false, "Courier New", false, fpFixed},
        {StatusFont("Arial", 400, DEFAULT_PITCH), false, false, "Arial", false, fpDefault},
        {StatusFont("MS Sans Serif", 400), true, true, "Tahoma", false, fpVariable},
        {StatusFont("MS Sans Serif", 400), true, false, "MS Sans Serif", false, fpVariable},
        {StatusFont("MS Sans Serif", 400), false, true, "MS Sans Serif", false, fpVariable},
        {StatusFont("A face name longer than thirty-two characters", 400), false, false,
         "A face name longer than thirty-", false, fpVariable},
    };
    for (const auto& C : Cases) {
        Installed.Clear();
        if (C.Tahoma)
            Installed.Add("Tahoma");
        TFont F;
        HintFontFromLogFont(&F, C.Status, C.Office, &Installed);
        EXPECT_EQ(F.Name(), C.Name) << C.Status.lfFaceName;
        EXPECT_EQ(F.Style().Contains(fsBold), C.Bold) << C.Status.lfFaceName;
        EXPECT_EQ(F.Pitch(), C.Pitch) << C.Status.lfFaceName;
        EXPECT_EQ(F.Height(), -11);
    }
    LOGFONT Italic = StatusFont("Arial", 400);
    Italic.lfItalic = Italic.lfUnderline = Italic.lfStrikeOut = 1;
    TFont F;
    HintFontFromLogFont(&F, Italic, false, nullptr);
    EXPECT_TRUE(F.Style() == (TFontStyles{fsItalic, fsUnderline, fsStrikeOut}));
}

TEST_F(BalloonHintTest, ASettingsChangeReadsTheFontAgain)
{
    NONCLIENTMETRICS Metrics;
    ASSERT_TRUE(SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof Metrics, &Metrics, 0));
    EXPECT_EQ(Balloon->HintFont()->Name(), Metrics.lfStatusFont.lfFaceName);
    Metrics.lfStatusFont = StatusFont("Verdana", 700);
    SystemParametersInfo(SPI_SETNONCLIENTMETRICS, sizeof Metrics, &Metrics, 0);
    EXPECT_NE(Balloon->HintFont()->Name(), "Verdana"); // read when the settings change
    SendMessage(HWND_BROADCAST, WM_WININICHANGE, 0, 0);
    EXPECT_EQ(Balloon->HintFont()->Name(), "Verdana");
    EXPECT_TRUE(Balloon->HintFont()->Style().Contains(fsBold));
}

TEST_F(BalloonHintTest, PointerDepthComesFromItsMask)
{
    struct {
        int BlackRow, WhiteRow, HotY, Offset;
    } const Cases[] = {
        {20, -1, 5, 15}, // the AND mask's lowest opaque row
        {31, 50, 0, 31}, // the AND mask wins over the XOR half
        {-1, 50, 4, 14}, // a monochrome pointer drawn only in its XOR half
        {-1, -1, 7, 32}, // nothing drawn at all (the AND half's last row is no XOR row)
        {-1, 32, 0, 0},  // the XOR half's first row
    };
    for (const auto& C : Cases) {
        HBITMAP Mask = MonochromeMask(C.BlackRow, C.WhiteRow);
        EXPECT_EQ(THintWindow95::CursorBottomOffset(Mask, C.HotY), C.Offset)
            << C.BlackRow << "/" << C.WhiteRow;
        DeleteObject(Mask);
    }
    EXPECT_EQ(THintWindow95::CursorBottomOffset(nullptr, 3), 32);
}

TEST_F(BalloonHintTest, TheHintSitsBelowThePointersDrawnPart)
{
    HCURSOR Pointer = PointerEndingAt(17, 2);
    SetCursor(Pointer);
    THintWindow95* W = Show(300, 300);
    EXPECT_TRUE(W->Visible());
    EXPECT_EQ(W->Left(), 300);
    EXPECT_EQ(W->Top(), 300 + 17 - 2);
    // The frame and the tooltip colours, as shown.
    auto Shot = RenderControl(W);
    const int Wd = W->Width(), Ht = W->Height();
    EXPECT_EQ(PixelAt(Shot.get(), 0, 0) & 0xFFFFFF, ColorToRGB(cl3DLight) & 0xFFFFFF);
    EXPECT_EQ(PixelAt(Shot.get(), Wd - 1, Ht - 1) & 0xFFFFFF, ColorToRGB(cl3DDkShadow) & 0xFFFFFF);
    EXPECT_EQ(PixelAt(Shot.get(), 1, Ht / 2) & 0xFFFFFF, GetSysColor(COLOR_INFOBK) & 0xFFFFFF);
    bool Ink = false;
    for (int X = 4; X < Wd - 4 && !Ink; ++X)
        Ink = (PixelAt(Shot.get(), X, Ht / 2) & 0xFFFFFF) == (ColorToRGB(clInfoText) & 0xFFFFFF);
    EXPECT_TRUE(Ink);
    // Flat: one frame colour all round, 2 pixels narrower.
    const int Wide = W->Width();
    Balloon->SetHintStyle(hsFlat);
    Show(300, 300);
    EXPECT_EQ(W->Width(), Wide - 2);
    Shot = RenderControl(W);
    EXPECT_EQ(PixelAt(Shot.get(), 0, 0) & 0xFFFFFF, ColorToRGB(clWindowFrame) & 0xFFFFFF);
    EXPECT_EQ(PixelAt(Shot.get(), W->Width() - 1, W->Height() - 1) & 0xFFFFFF,
              ColorToRGB(clWindowFrame) & 0xFFFFFF);
    SetCursor(nullptr);
    DestroyCursor(Pointer);
}

TEST_F(BalloonHintTest, NearTheScreenEdgesTheHintStaysOnTheScreen)
{
    HCURSOR Pointer = PointerEndingAt(19, 0);
    SetCursor(Pointer);
    const int ScreenW = Screen->Width(), ScreenH = Screen->Height();
    // The right edge: moved left until it touches.
    THintWindow95* W = Show(ScreenW - 10, 300);
    EXPECT_EQ(W->Left() + W->Width(), ScreenW);
    EXPECT_EQ(W->Top(), 319);
    const int H = W->Height();

    // The bottom edge, by style and by what the hint belongs to.
    const int Y = ScreenH - 5;
    const TPoint ButtonTop = Form->ClientToScreen(Point(0, Button->Top()));
    struct {
        THintStyle Style;
        TControl* Control;
        int Bottom;
    } const Cases[] = {
        {hsWindows95, Button, ButtonTop.y},                            // above the hinted control
        {hsFlat, Button, ButtonTop.y},      {hsOffice, Button, Y - 2}, // above the pointer
        {hsWindows95, Form, Y - 2},         // a form's own hint: above the pointer too
        {hsWindows95, nullptr, Y + 19 + H}, // nothing to go above: stays
    };
    for (const auto& C : Cases) {
        Balloon->SetHintStyle(C.Style);
        HintCycle(C.Control);
        Show(300, Y);
        EXPECT_EQ(W->Top() + W->Height(), C.Bottom)
            << int(C.Style) << " " << (C.Control ? "control" : "none");
        EXPECT_EQ(W->Left(), 300);
    }
    SetCursor(nullptr);
    DestroyCursor(Pointer);
}

TEST_F(BalloonHintTest, ADestroyedControlLeavesNoReferenceBehind)
{
    // Destroyed between hint cycles.
    HintCycle(Button);
    ASSERT_EQ(HintControl(), Button);
    delete Button;
    Button = nullptr;
    EXPECT_EQ(HintControl(), nullptr);
    Show(300, Screen->Height() - 5); // near the bottom, where the hinted control would be asked
    EXPECT_TRUE(Window->Visible());

    // Destroyed while its hint shows.
    auto* Other = new TButton(Form);
    Other->SetParent(Form);
    HintCycle(Other);
    Show(300, Screen->Height() - 5);
    delete Other;
    EXPECT_EQ(HintControl(), nullptr);
    Show(320, Screen->Height() - 5);

    // A new cycle moves the watch from one control to the next.
    auto* First = new TButton(Form);
    auto* Second = new TButton(Form);
    HintCycle(First);
    HintCycle(Second);
    delete First;
    EXPECT_EQ(HintControl(), Second);
    // And the component going away takes its watch with it.
    delete Balloon;
    Balloon = nullptr;
    EXPECT_EQ(HintControl(), nullptr);
    EXPECT_EQ(FindHintComponent(), nullptr);
    EXPECT_FALSE(Application->OnShowHint);
    Show(300, 300); // no component: the default style and the status font
    EXPECT_TRUE(Window->Visible());
}
