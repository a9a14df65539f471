#include "toolbars/ToolbarButton.h"

#include "platform/classes/TypInfo.h"
#include "platform/testing/AppTesting.h"
#include "platform/testing/FormTesting.h"
#include "platform/testing/WinTesting.h"
#include "toolbars/DockBars.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

constexpr TColor Olive = 0x008080;

TColor Rgb(TColor Color)
{
    return ColorToRGB(Color) & 0xFFFFFF;
}

// A 16 x 16 glyph: a black square on olive (the transparent colour).
std::unique_ptr<TBitmap> SquareGlyph()
{
    auto B = std::make_unique<TBitmap>();
    B->SetSize(16, 16);
    B->Canvas()->Brush()->SetColor(Olive);
    B->Canvas()->FillRect(Rect(0, 0, 16, 16));
    B->Canvas()->Brush()->SetColor(clBlack);
    B->Canvas()->FillRect(Rect(4, 4, 12, 12));
    return B;
}

// Records where menus open and answers nothing.
class TMenuSpy : public TMenuTracker {
public:
    int Shown = 0;
    int X = 0, Y = 0;
    UINT Track(HMENU, int AX, int AY, HWND) override
    {
        ++Shown;
        X = AX;
        Y = AY;
        return 0;
    }
};

// Answers a menu by pressing the mouse at a screen point, as the click that closes it does.
class TClosingClick : public TMenuTracker {
public:
    TPoint At{};
    int Shown = 0;
    UINT Track(HMENU, int, int, HWND) override
    {
        ++Shown;
        SimulateMouseAt(At.x, At.y, WM_LBUTTONDOWN);
        return 0;
    }
};

class TPressLog : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    int Presses = 0;

protected:
    void MouseDown(TMouseButton, TShiftState, int, int) override { ++Presses; }
};

} // namespace

// A shown, active form to put buttons on; freed with the fixture.
struct TButtonForm {
    TButtonForm()
    {
        Form = new TForm(nullptr);
        Form->SetBounds(100, 100, 300, 200);
        Form->Show();
        ProcessMessages();
        SetActiveWindow(Form->Handle());
    }
    ~TButtonForm()
    {
        Form->BeforeDestruction();
        delete Form;
    }
    TToolbarButton* Add(int L, int T)
    {
        auto* B = new TToolbarButton(Form);
        B->SetLeft(L);
        B->SetTop(T);
        B->SetParent(Form);
        B->OnClick = [this, B](TObject*) { Clicks.push_back(B); };
        return B;
    }
    int ClicksOf(TToolbarButton* B) const
    {
        return static_cast<int>(std::count(Clicks.begin(), Clicks.end(), B));
    }
    TForm* Form = nullptr;
    std::vector<TToolbarButton*> Clicks;
};

class ToolbarButtonTest : public ::testing::Test {
protected:
    ~ToolbarButtonTest() override { SetMenuTracker(&Fixture.MenuChoices); }
    TToolbarButton* Add(int L, int T) { return Shown.Add(L, T); }
    int ClicksOf(TToolbarButton* B) const { return Shown.ClicksOf(B); }
    TPopupMenu* MenuWith(const std::string& Caption, int* Chosen)
    {
        auto* Menu = new TPopupMenu(Form);
        auto* Item = new TMenuItem(Menu);
        Item->SetCaption(Caption);
        Item->Hint = Caption + " hint";
        Item->OnClick = [Chosen](TObject*) { ++*Chosen; };
        Menu->Items()->Add(Item);
        return Menu;
    }
    TColor Shot(TControl* B, int X, int Y)
    {
        auto Image = RenderControl(B);
        return PixelAt(Image.get(), X, Y) & 0xFFFFFF;
    }
    // A press and release far enough apart in time not to make a double click.
    void Click(TControl* B, int X, int Y)
    {
        AdvanceClock(1000);
        ClickControl(B, X, Y);
    }
    TWindowTest Fixture;
    TButtonForm Shown;
    TForm* Form = Shown.Form;
};

TEST_F(ToolbarButtonTest, DefaultsAreThePublishedOnes)
{
    TToolbarButton Fresh(nullptr);
    EXPECT_EQ(Fresh.Width(), 23);
    EXPECT_EQ(Fresh.Height(), 22);
    EXPECT_TRUE(Fresh.ControlStyle.Contains(csCaptureMouse));
    EXPECT_TRUE(Fresh.ControlStyle.Contains(csOpaque));
    EXPECT_TRUE(Fresh.ControlStyle.Contains(csDoubleClicks));
    EXPECT_FALSE(Fresh.ControlStyle.Contains(csClickEvents));
    EXPECT_TRUE(Fresh.ParentFont());
    EXPECT_EQ(PropsDifferingFromDefault(&Fresh), std::vector<std::string>{});
    // Only a flat button that is not opaque lets its parent's background be erased under it.
    Fresh.SetOpaque(false);
    EXPECT_FALSE(Fresh.ControlStyle.Contains(csOpaque));
    Fresh.SetFlat(false);
    EXPECT_TRUE(Fresh.ControlStyle.Contains(csOpaque));
    Fresh.SetMargin(-2);
    EXPECT_EQ(Fresh.Margin(), -1);
}

TEST_F(ToolbarButtonTest, ComboWidthFollowsTheArrowPart)
{
    struct TCase {
        int Width;
        int On, Off;
    } const Cases[] = {{23, 34, 23}, {12, 23, 12}, {5, 16, 5}};
    for (const TCase& C : Cases) {
        TToolbarButton B(nullptr);
        B.SetWidth(C.Width);
        B.SetDropdownCombo(true);
        EXPECT_EQ(B.Width(), C.On);
        B.SetDropdownCombo(false);
        EXPECT_EQ(B.Width(), C.Off);
    }
    TToolbarButton Narrow(nullptr);
    Narrow.SetDropdownCombo(true);
    Narrow.SetWidth(8);
    Narrow.SetDropdownCombo(false);
    EXPECT_EQ(Narrow.Width(), 1);
}

TEST_F(ToolbarButtonTest, StoredComboWidthIsKeptWhenRead)
{
    auto* Panel = CreateFormFromText<TForm>(nullptr, R"(object F: TForm
  Left = 0
  Top = 0
  Width = 200
  Height = 100
  object Go: TToolbarButton
    Left = 4
    Top = 4
    Width = 34
    Height = 22
    Caption = '&Go'
    DropdownCombo = True
    Repeating = True
    RepeatDelay = 250
    Layout = blGlyphTop
    DisplayMode = dmTextOnly
    ModalResult = mrOk
  end
end
)");
    auto* Go = dynamic_cast<TToolbarButton*>(Panel->FindComponent("Go"));
    ASSERT_TRUE(Go);
    EXPECT_EQ(Go->Width(), 34);
    EXPECT_TRUE(Go->DropdownCombo());
    EXPECT_TRUE(Go->Repeating);
    EXPECT_EQ(Go->RepeatDelay, 250);
    EXPECT_EQ(Go->Layout(), blGlyphTop);
    EXPECT_EQ(Go->DisplayMode(), dmTextOnly);
    EXPECT_EQ(Go->ModalResult, mrOk);
    Panel->BeforeDestruction();
    delete Panel;
}

// ---- Hot tracking -------------------------------------------------------------------------------
TEST_F(ToolbarButtonTest, HotBorderMovesAtOnceBetweenButtonsAndClearsAfterLeaving)
{
    auto* A = Add(10, 10);
    auto* B = Add(33, 10);
    int Entered = 0, Left = 0;
    A->OnMouseEnter = [&](TObject*) { ++Entered; };
    A->OnMouseExit = [&](TObject*) { ++Left; };
    EXPECT_EQ(Shot(A, 0, 0), Rgb(clBtnFace)); // flat: no border while the mouse is elsewhere

    SendMouse(A, WM_MOUSEMOVE, 5, 5);
    EXPECT_EQ(TToolbarButton::HotButton(), A);
    EXPECT_TRUE(A->CursorInside());
    EXPECT_EQ(A->ButtonState(), tbsHot);
    EXPECT_EQ(Shot(A, 0, 0), Rgb(clBtnHighlight));
    EXPECT_EQ(Shot(A, 22, 21), Rgb(clBtnShadow));
    EXPECT_EQ(Entered, 1);

    SendMouse(B, WM_MOUSEMOVE, 5, 5);
    EXPECT_EQ(TToolbarButton::HotButton(), B);
    EXPECT_FALSE(A->CursorInside());
    EXPECT_EQ(A->ButtonState(), tbsUp);
    EXPECT_EQ(Shot(A, 0, 0), Rgb(clBtnFace));
    EXPECT_EQ(Shot(B, 0, 0), Rgb(clBtnHighlight));
    EXPECT_EQ(Left, 1);

    // Onto the form beside them: the border goes at once.
    SendMouse(Form, WM_MOUSEMOVE, 200, 150);
    EXPECT_EQ(TToolbarButton::HotButton(), nullptr);
    EXPECT_FALSE(B->CursorInside());

    // The pointer leaving without a message to any of our windows: the timer finds it out.
    SendMouse(B, WM_MOUSEMOVE, 5, 5);
    ASSERT_EQ(TToolbarButton::HotButton(), B);
    SetCursorPos(5, 5);
    AdvanceClock(124);
    EXPECT_TRUE(B->CursorInside());
    AdvanceClock(1);
    EXPECT_FALSE(B->CursorInside());
    EXPECT_EQ(TToolbarButton::HotButton(), nullptr);
    EXPECT_EQ(Shot(B, 0, 0), Rgb(clBtnFace));
}

TEST_F(ToolbarButtonTest, NoBorderAndDisabledButtonsStayPlain)
{
    auto* A = Add(10, 10);
    A->SetNoBorder(true);
    SendMouse(A, WM_MOUSEMOVE, 5, 5);
    EXPECT_TRUE(A->CursorInside());
    EXPECT_EQ(Shot(A, 0, 0), Rgb(clBtnFace));

    auto* B = Add(40, 10);
    B->SetEnabled(false);
    SendMouse(B, WM_MOUSEMOVE, 5, 5);
    EXPECT_FALSE(B->CursorInside());
    EXPECT_EQ(Shot(B, 0, 0), Rgb(clBtnFace));

    // A raised button always has its border.
    auto* C = Add(70, 10);
    C->SetFlat(false);
    EXPECT_EQ(Shot(C, 0, 0), Rgb(clBtnHighlight));
}

TEST_F(ToolbarButtonTest, DestroyedHotButtonLeavesNoTraces)
{
    auto* A = Add(10, 10);
    auto* B = Add(33, 10);
    SendMouse(A, WM_MOUSEMOVE, 5, 5);
    ASSERT_EQ(TToolbarButton::HotButton(), A);
    delete A;
    EXPECT_EQ(TToolbarButton::HotButton(), nullptr);
    AdvanceClock(500);
    SendMouse(B, WM_MOUSEMOVE, 5, 5);
    EXPECT_EQ(TToolbarButton::HotButton(), B);
    EXPECT_TRUE(B->CursorInside());
}

class ToolbarButtonAppTest : public ::testing::Test {
protected:
    ~ToolbarButtonAppTest() override { SetApplicationActive(true); }
    TToolbarButton* Add(int L, int T) { return Shown.Add(L, T); }
    TAppTest Fixture;
    TButtonForm Shown;
    TForm* Form = Shown.Form;
};

TEST_F(ToolbarButtonAppTest, DeactivatingTheProgramClearsTheHotBorder)
{
    auto* A = Add(10, 10);
    SendMouse(A, WM_MOUSEMOVE, 5, 5);
    ASSERT_TRUE(A->CursorInside());
    SetApplicationActive(false);
    EXPECT_FALSE(A->CursorInside());
    EXPECT_EQ(TToolbarButton::HotButton(), nullptr);
    // While another program is active the mouse over a button lights nothing.
    SendMouse(A, WM_MOUSEMOVE, 6, 6);
    EXPECT_FALSE(A->CursorInside());

    // Unless the button says so, in both respects.
    A->ShowBorderWhenInactive = true;
    SendMouse(A, WM_MOUSEMOVE, 5, 5);
    EXPECT_TRUE(A->CursorInside());
    SetApplicationActive(true);
    SetApplicationActive(false);
    EXPECT_TRUE(A->CursorInside());
    EXPECT_EQ(TToolbarButton::HotButton(), A);
}

TEST_F(ToolbarButtonAppTest, MenuItemHintsReachTheApplication)
{
    auto* A = Add(10, 10);
    auto* Menu = new TPopupMenu(Form);
    auto* Item = new TMenuItem(Menu);
    Item->SetCaption("Open");
    Item->Hint = "Opens|Opens a file";
    Menu->Items()->Add(Item);
    A->SetDropdownMenu(Menu);
    std::string Seen;
    Fixture.App->OnHint = [&](TObject*) {
        if (!Fixture.App->Hint().empty())
            Seen = Fixture.App->Hint();
    };
    Fixture.MenuChoices.ExpectHighlightOnly({"Open"});
    SendMouse(A, WM_LBUTTONDOWN, 5, 5);
    SendMouse(A, WM_LBUTTONUP, 5, 5);
    EXPECT_EQ(Seen, "Opens a file");
    EXPECT_EQ(Fixture.App->Hint(), ""); // the closed menu clears it
}

TEST_F(ToolbarButtonAppTest, HelpOnAMenuItemFollowsTheActiveForm)
{
    auto* A = Add(10, 10);
    auto* Menu = new TPopupMenu(Form);
    auto* Item = new TMenuItem(Menu);
    Item->SetCaption("Open");
    Item->HelpContext = 42;
    Menu->Items()->Add(Item);
    A->SetDropdownMenu(Menu);
    Fixture.App->HelpFile = "wendle.hlp";
    HELPINFO Info;
    Info.iContextType = HELPINFO_MENUITEM;
    Info.iCtrlId = Item->Command();
    Info.hItemHandle = Menu->Handle();
    auto Ask = [&] { SendMessage(DropdownList()->Window(), WM_HELP, 0, reinterpret_cast<LPARAM>(&Info)); };
    ASSERT_EQ(ScreenInstance()->ActiveForm(), Form);
    Ask();
    Form->SetBorderIcons(TBorderIcons{biSystemMenu, biHelp});
    Ask();
    const auto& Calls = Fixture.Recorder.Calls();
    ASSERT_EQ(Calls.size(), 2u);
    EXPECT_EQ(Calls[0].Operation, std::to_string(HELP_CONTEXT));
    EXPECT_EQ(Calls[1].Operation, std::to_string(HELP_CONTEXTPOPUP));
    EXPECT_EQ(Calls[0].Flags, 42u);
    EXPECT_EQ(Calls[1].Flags, 42u);
}

// ---- Pressing, clicking, repeating --------------------------------------------------------------
TEST_F(ToolbarButtonTest, PressedButtonSinksAndClicksOnlyWhenReleasedInside)
{
    auto Glyph = SquareGlyph();
    auto* A = Add(10, 10);
    A->SetGlyph(Glyph.get());
    // The glyph is centred in the 21 x 20 inside the border: at (4, 3), its square at (8, 7).
    EXPECT_EQ(Shot(A, 8, 7), Rgb(clBlack));
    EXPECT_EQ(Shot(A, 7, 7), Rgb(clBtnFace));

    SendMouse(A, WM_MOUSEMOVE, 5, 5);
    SendMouse(A, WM_LBUTTONDOWN, 5, 5);
    EXPECT_TRUE(A->Tracking());
    EXPECT_EQ(A->ButtonState(), tbsDown);
    EXPECT_EQ(Shot(A, 0, 0), Rgb(clBtnShadow)); // sunk
    EXPECT_EQ(Shot(A, 22, 21), Rgb(clBtnHighlight));
    EXPECT_EQ(Shot(A, 8, 7), Rgb(clBtnFace)); // the content moved one down and right
    EXPECT_EQ(Shot(A, 9, 8), Rgb(clBlack));

    SendMouse(A, WM_MOUSEMOVE, 40, 5); // held outside: up again
    EXPECT_EQ(A->ButtonState(), tbsUp);
    SendMouse(A, WM_MOUSEMOVE, 6, 5);
    EXPECT_EQ(A->ButtonState(), tbsDown);
    SendMouse(A, WM_MOUSEMOVE, 40, 5);
    SendMouse(A, WM_LBUTTONUP, 40, 5);
    EXPECT_EQ(ClicksOf(A), 0);
    EXPECT_FALSE(A->Tracking());

    Click(A, 5, 5);
    EXPECT_EQ(ClicksOf(A), 1);
    EXPECT_EQ(A->ButtonState(), tbsUp);
    EXPECT_TRUE(A->CursorInside()); // still under the mouse
}

TEST_F(ToolbarButtonTest, ClickHandsTheModalResultToTheForm)
{
    auto* A = Add(10, 10);
    A->ModalResult = mrCancel;
    Click(A, 5, 5);
    EXPECT_EQ(Form->ModalResult(), mrCancel);
    EXPECT_EQ(ClicksOf(A), 1);
}

TEST_F(ToolbarButtonTest, CancelModeEndsThePress)
{
    auto* A = Add(10, 10);
    A->Repeating = true;
    SendMouse(A, WM_MOUSEMOVE, 5, 5);
    SendMouse(A, WM_LBUTTONDOWN, 5, 5);
    ASSERT_EQ(ClicksOf(A), 1);
    A->Perform(WM_CANCELMODE, 0, 0);
    EXPECT_FALSE(A->Tracking());
    AdvanceClock(1000);
    EXPECT_EQ(ClicksOf(A), 1);
    A->Repeating = false;
    SendMouse(A, WM_LBUTTONUP, 5, 5);
    EXPECT_EQ(ClicksOf(A), 1);
}

TEST_F(ToolbarButtonTest, RepeatingButtonClicksAtPressThenAfterTheDelayAndEachInterval)
{
    auto* A = Add(10, 10);
    A->Repeating = true;
    SendMouse(A, WM_MOUSEMOVE, 5, 5);
    SendMouse(A, WM_LBUTTONDOWN, 5, 5);
    EXPECT_EQ(ClicksOf(A), 1);
    const std::pair<DWORD, int> Steps[] = {{399, 1}, {1, 2}, {99, 2}, {1, 3}, {100, 4}};
    for (auto [Ms, Expected] : Steps) {
        AdvanceClock(Ms);
        EXPECT_EQ(ClicksOf(A), Expected) << "after " << Ms;
    }
    // Held outside the button the repeat pauses, and resumes when the pointer is back.
    SendMouse(A, WM_MOUSEMOVE, 40, 5);
    AdvanceClock(100);
    AdvanceClock(500);
    EXPECT_EQ(ClicksOf(A), 4);
    SendMouse(A, WM_MOUSEMOVE, 5, 5);
    AdvanceClock(99);
    EXPECT_EQ(ClicksOf(A), 4);
    AdvanceClock(1);
    EXPECT_EQ(ClicksOf(A), 5);
    // The release adds no click of its own and stops the repeat.
    SendMouse(A, WM_LBUTTONUP, 5, 5);
    AdvanceClock(1000);
    EXPECT_EQ(ClicksOf(A), 5);
}

TEST_F(ToolbarButtonTest, AcceleratorOfTheCaptionClicks)
{
    auto* A = Add(10, 10);
    A->SetCaption("&Go");
    EXPECT_EQ(A->Perform(CM_DIALOGCHAR, 'g', 0), 1);
    EXPECT_EQ(A->Perform(CM_DIALOGCHAR, 'x', 0), 0);
    A->SetEnabled(false);
    EXPECT_EQ(A->Perform(CM_DIALOGCHAR, 'g', 0), 0);
    EXPECT_EQ(ClicksOf(A), 1);
}

// ---- Groups -------------------------------------------------------------------------------------
TEST_F(ToolbarButtonTest, GroupedButtonsLatchOneAtATime)
{
    auto* A = Add(10, 10);
    auto* B = Add(33, 10);
    auto* Other = Add(56, 10);
    for (TToolbarButton* X : {A, B})
        X->SetGroupIndex(1);
    Other->SetGroupIndex(2);
    Other->SetDown(true);

    Click(A, 5, 5);
    EXPECT_TRUE(A->Down());
    EXPECT_EQ(A->ButtonState(), tbsExclusive);
    Click(B, 5, 5);
    EXPECT_TRUE(B->Down());
    EXPECT_FALSE(A->Down());
    EXPECT_TRUE(Other->Down()); // another group
    // Without AllowAllUp the down button of a group stays down.
    Click(B, 5, 5);
    EXPECT_TRUE(B->Down());
    B->SetDown(false);
    EXPECT_TRUE(B->Down());
    EXPECT_EQ(ClicksOf(A) + ClicksOf(B), 3);

    // AllowAllUp set on one button holds for the whole group.
    A->SetAllowAllUp(true);
    EXPECT_TRUE(B->AllowAllUp());
    EXPECT_FALSE(Other->AllowAllUp());
    Click(B, 5, 5);
    EXPECT_FALSE(B->Down());
    EXPECT_FALSE(A->Down());

    // A button without a group never latches.
    auto* Loose = Add(100, 10);
    Loose->SetDown(true);
    EXPECT_FALSE(Loose->Down());
    Click(Loose, 5, 5);
    EXPECT_FALSE(Loose->Down());
}

TEST_F(ToolbarButtonTest, LatchedButtonShowsThePatternUnlessHot)
{
    auto* A = Add(10, 10);
    A->SetGroupIndex(1);
    A->SetDown(true);
    // Sunk, and inside the border the checker of face and highlight (x + y even is light).
    EXPECT_EQ(Shot(A, 0, 0), Rgb(clBtnShadow));
    EXPECT_EQ(Shot(A, 2, 2), Rgb(clBtnHighlight));
    EXPECT_EQ(Shot(A, 3, 2), Rgb(clBtnFace));
    SendMouse(A, WM_MOUSEMOVE, 5, 5);
    EXPECT_EQ(Shot(A, 2, 2), Rgb(clBtnFace));
}

TEST_F(ToolbarButtonTest, DoubleClickOnlyOnADownButton)
{
    auto* A = Add(10, 10);
    int Doubles = 0;
    A->OnDblClick = [&](TObject*) { ++Doubles; };
    AdvanceClock(1000);
    DoubleClickControl(A, 5, 5);
    EXPECT_EQ(Doubles, 0);
    A->SetGroupIndex(1);
    A->SetDown(true);
    AdvanceClock(1000);
    DoubleClickControl(A, 5, 5);
    EXPECT_EQ(Doubles, 1);
    EXPECT_TRUE(A->Down());
}

// ---- Disabled look ------------------------------------------------------------------------------
TEST_F(ToolbarButtonTest, DisabledButtonShowsItsGlyphEmbossed)
{
    auto Glyph = SquareGlyph();
    auto* A = Add(10, 10);
    A->SetGlyph(Glyph.get());
    A->SetEnabled(false);
    EXPECT_EQ(A->ButtonState(), tbsDisabled);
    // The square (8..15, 7..14 in the button) in shadow, its light copy one down and right.
    EXPECT_EQ(Shot(A, 8, 7), Rgb(clBtnShadow));
    EXPECT_EQ(Shot(A, 15, 14), Rgb(clBtnShadow));
    EXPECT_EQ(Shot(A, 16, 15), Rgb(clBtnHighlight));
    EXPECT_EQ(Shot(A, 16, 7), Rgb(clBtnFace));
    A->SetEnabled(true);
    EXPECT_EQ(Shot(A, 8, 7), Rgb(clBlack));
    EXPECT_EQ(Shot(A, 16, 15), Rgb(clBtnFace));
}

// ---- Drop-down menus ----------------------------------------------------------------------------
TEST_F(ToolbarButtonTest, ComboDropsTheMenuFromItsArrowPartAndClicksElsewhere)
{
    int Chosen = 0;
    auto* A = Add(10, 10);
    A->SetDropdownMenu(MenuWith("One", &Chosen));
    A->SetDropdownCombo(true);
    ASSERT_EQ(A->Width(), 34);
    const struct {
        int X;
        bool Drops;
    } Cases[] = {{0, false}, {22, false}, {23, true}, {33, true}};
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.X);
        const int ChosenBefore = Chosen, ClicksBefore = ClicksOf(A);
        if (C.Drops)
            Fixture.MenuChoices.ExpectChoice({"One"});
        Click(A, C.X, 5);
        EXPECT_EQ(Chosen - ChosenBefore, C.Drops ? 1 : 0);
        EXPECT_EQ(ClicksOf(A) - ClicksBefore, C.Drops ? 0 : 1);
        EXPECT_EQ(A->ButtonState(), tbsUp);
    }
    EXPECT_EQ(Fixture.MenuChoices.MenusShown(), 2);
}

TEST_F(ToolbarButtonTest, PlainMenuButtonDropsFromAnyPressBelowItself)
{
    int Chosen = 0, Popups = 0;
    auto* A = Add(10, 10);
    TPopupMenu* Menu = MenuWith("One", &Chosen);
    Menu->OnPopup = [&](TObject*) { ++Popups; };
    Menu->Alignment = paCenter;
    A->SetDropdownMenu(Menu);
    TMenuSpy Spy;
    SetMenuTracker(&Spy);
    SendMouse(A, WM_LBUTTONDOWN, 5, 5);
    SendMouse(A, WM_LBUTTONUP, 5, 5);
    EXPECT_EQ(Spy.Shown, 1);
    const TPoint Below = A->ClientToScreen(Point(0, A->Height()));
    EXPECT_EQ(Spy.X, Below.x);
    EXPECT_EQ(Spy.Y, Below.y);
    EXPECT_EQ(Menu->PopupComponent(), A);
    EXPECT_EQ(Popups, 1);
    EXPECT_EQ(Menu->Alignment, paCenter); // given back after the menu
    EXPECT_EQ(ClicksOf(A), 0);
    EXPECT_FALSE(A->Tracking());

    // The small arrow beside the content shows only with a menu.
    auto TextPixels = [&] {
        auto Image = RenderControl(A);
        int N = 0;
        for (int Y = 0; Y < A->Height(); ++Y)
            for (int X = 0; X < A->Width(); ++X)
                N += (PixelAt(Image.get(), X, Y) & 0xFFFFFF) == Rgb(A->Font()->Color());
        return N;
    };
    EXPECT_EQ(TextPixels(), 9);
    A->SetDropdownArrow(false);
    EXPECT_EQ(TextPixels(), 0);
    A->SetDropdownArrow(true);

    // Freeing the menu leaves a plain button, and the menus' window goes with the last menu.
    ASSERT_TRUE(DropdownList()->Window());
    delete Menu;
    EXPECT_EQ(A->DropdownMenu(), nullptr);
    EXPECT_EQ(DropdownList()->Window(), nullptr);
    EXPECT_EQ(TextPixels(), 0);
    Click(A, 5, 5);
    EXPECT_EQ(ClicksOf(A), 1);
    EXPECT_EQ(Spy.Shown, 1);
}

TEST_F(ToolbarButtonTest, MenuOpensBesideAToolbarInASideDock)
{
    struct TCase {
        TDockPosition Position;
        bool Right; // the point is the button's right edge
    } const Cases[] = {{dpLeft, true}, {dpRight, false}};
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Position);
        auto* Dock = new TDock(Form);
        Dock->SetPosition(C.Position);
        Dock->SetParent(Form);
        auto* Bar = new TToolbar(Form);
        Bar->SetDockedTo(Dock);
        auto* A = new TToolbarButton(Form);
        A->SetParent(Bar);
        int Chosen = 0;
        TPopupMenu* Menu = MenuWith("One", &Chosen);
        A->SetDropdownMenu(Menu);
        Bar->ArrangeControls();
        ProcessMessages();
        TMenuSpy Spy;
        SetMenuTracker(&Spy);
        SendMouse(A, WM_LBUTTONDOWN, 5, 5);
        SendMouse(A, WM_LBUTTONUP, 5, 5);
        ASSERT_EQ(Spy.Shown, 1);
        const TPoint Want = A->ClientToScreen(Point(C.Right ? A->Width() : 0, 0));
        EXPECT_EQ(Spy.X, Want.x);
        EXPECT_EQ(Spy.Y, Want.y);
        EXPECT_EQ(Menu->Alignment, paLeft);
        SetMenuTracker(&Fixture.MenuChoices);
        delete Bar;
        delete Dock;
    }
}

TEST_F(ToolbarButtonTest, TheClickThatClosesTheMenuDoesNotDropItAgain)
{
    int Chosen = 0;
    auto* A = Add(10, 10);
    A->SetDropdownMenu(MenuWith("One", &Chosen));
    auto* Elsewhere = new TPressLog(Form);
    Elsewhere->SetBounds(150, 100, 40, 40);
    Elsewhere->SetParent(Form);

    TClosingClick Tracker;
    SetMenuTracker(&Tracker);
    Tracker.At = A->ClientToScreen(Point(12, 10));
    SendMouse(A, WM_LBUTTONDOWN, 5, 5);
    SendMouse(A, WM_LBUTTONUP, 12, 10);
    ProcessMessages();
    EXPECT_EQ(Tracker.Shown, 1);
    EXPECT_EQ(ClicksOf(A), 0);

    // A closing click elsewhere goes on to the control it was aimed at.
    AdvanceClock(1000);
    Tracker.At = Elsewhere->ClientToScreen(Point(5, 5));
    SendMouse(A, WM_LBUTTONDOWN, 5, 5);
    ProcessMessages();
    SendMouse(Elsewhere, WM_LBUTTONUP, 5, 5);
    EXPECT_EQ(Tracker.Shown, 2);
    EXPECT_EQ(Elsewhere->Presses, 1);
}
