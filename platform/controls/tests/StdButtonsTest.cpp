#include "platform/controls/StdButtons.h"
#include "platform/classes/TypInfo.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/rtl/SysUtils.h"
#include "platform/testing/FormTesting.h"
#include "platform/testing/WinTesting.h"

#include "platform/controls/tests/ControlsTestFixture.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

class StdButtonsTest : public controls_testing::TBuiltFormTest {
protected:
    StdButtonsTest() : TBuiltFormTest(clBtnFace) {}
    void LogClicks(TControl* C)
    {
        std::string N = C->Name();
        C->OnClick = [this, N](TObject*) { Log.push_back(N); };
    }
    std::vector<std::string> Log;
};

TEST_F(StdButtonsTest, ControlsStreamFromAFormDescription)
{
    auto* F = CreateFormFromText<TForm>(nullptr, R"(object Dlg: TForm
  ClientWidth = 300
  ClientHeight = 200
  object Label1: TLabel
    Left = 8
    Top = 8
    Width = 120
    Height = 30
    Caption = '&Name:'
    AutoSize = False
    Transparent = True
    Layout = tlCenter
    WordWrap = True
    Alignment = taRightJustify
    ShowAccelChar = False
    FocusControl = Check1
  end
  object OkButton: TButton
    Left = 8
    Top = 40
    Caption = 'OK'
    Default = True
    ModalResult = mrOk
    TabOrder = 0
  end
  object CancelButton: TButton
    Left = 90
    Top = 40
    Caption = 'Cancel'
    Cancel = True
    ModalResult = 2
  end
  object Check1: TCheckBox
    Left = 8
    Top = 70
    Caption = 'Check'
    AllowGrayed = True
    State = cbGrayed
    Alignment = taLeftJustify
  end
  object Group1: TGroupBox
    Left = 150
    Top = 8
    Width = 140
    Height = 80
    Caption = 'Group'
    object Radio1: TRadioButton
      Left = 8
      Top = 16
      Caption = 'One'
      Checked = True
    end
    object Radio2: TRadioButton
      Left = 8
      Top = 36
      Caption = 'Two'
    end
  end
  object Bar1: TScrollBar
    Left = 8
    Top = 100
    Width = 16
    Height = 90
    Kind = sbVertical
    Min = 200
    Max = 300
    Position = 250
    SmallChange = 2
    LargeChange = 20
    PageSize = 10
  end
end
)");
    Extra.push_back(F);
    auto* Label = dynamic_cast<TLabel*>(F->FindComponent("Label1"));
    auto* Ok = dynamic_cast<TButton*>(F->FindComponent("OkButton"));
    auto* Cancel = dynamic_cast<TButton*>(F->FindComponent("CancelButton"));
    auto* Check = dynamic_cast<TCheckBox*>(F->FindComponent("Check1"));
    auto* Group = dynamic_cast<TGroupBox*>(F->FindComponent("Group1"));
    auto* Radio1 = dynamic_cast<TRadioButton*>(F->FindComponent("Radio1"));
    auto* Radio2 = dynamic_cast<TRadioButton*>(F->FindComponent("Radio2"));
    auto* Bar = dynamic_cast<TScrollBar*>(F->FindComponent("Bar1"));
    ASSERT_TRUE(Label && Ok && Cancel && Check && Group && Radio1 && Radio2 && Bar);

    EXPECT_EQ(Label->Caption(), "&Name:");
    EXPECT_FALSE(Label->AutoSize());
    EXPECT_EQ(Label->Width(), 120); // not auto-sized
    EXPECT_TRUE(Label->Transparent());
    EXPECT_EQ(Label->Layout(), tlCenter);
    EXPECT_TRUE(Label->WordWrap());
    EXPECT_EQ(Label->Alignment(), taRightJustify);
    EXPECT_FALSE(Label->ShowAccelChar());
    EXPECT_EQ(Label->FocusControl(), Check);

    EXPECT_TRUE(Ok->Default());
    EXPECT_EQ(Ok->ModalResult(), mrOk);
    EXPECT_EQ(Ok->Width(), 75);
    EXPECT_TRUE(Cancel->Cancel());
    EXPECT_EQ(Cancel->ModalResult(), mrCancel);

    EXPECT_EQ(Check->State(), cbGrayed);
    EXPECT_TRUE(Check->AllowGrayed);
    EXPECT_EQ(Check->Alignment(), taLeftJustify);

    EXPECT_EQ(Radio1->Parent(), Group);
    EXPECT_TRUE(Radio1->Checked());
    EXPECT_FALSE(Radio2->Checked());

    // Min arrives before Max: the range is checked only once all three are read.
    EXPECT_EQ(Bar->Kind(), sbVertical);
    EXPECT_EQ(Bar->Width(), 16);
    EXPECT_EQ(Bar->Height(), 90);
    EXPECT_EQ(Bar->Min(), 200);
    EXPECT_EQ(Bar->Max(), 300);
    EXPECT_EQ(Bar->Position(), 250);
    EXPECT_EQ(Bar->SmallChange, 2);
    EXPECT_EQ(Bar->LargeChange, 20);
    EXPECT_EQ(Bar->PageSize(), 10);
}

// A form whose description binds the controls' events to its handlers.
class TBtnEventsForm : public TForm {
public:
    using TForm::TForm;
    std::vector<std::string> Calls;
    void OkClick(TObject*) { Calls.push_back("ok"); }
    void BarScroll(TObject*, TScrollCode Code, int& Pos)
    {
        Calls.push_back("scroll " + std::to_string(Code));
        Pos = 7;
    }
    void BarChange(TObject*) { Calls.push_back("change"); }
};

} // namespace

TW_PUBLISH(TBtnEventsForm, TForm)
{
    Cls.Handler("OkClick", &TBtnEventsForm::OkClick);
    Cls.Handler("BarScroll", &TBtnEventsForm::BarScroll);
    Cls.Handler("BarChange", &TBtnEventsForm::BarChange);
}

namespace {

TEST_F(StdButtonsTest, EventsBindToTheFormsHandlers)
{
    auto* F = CreateFormFromText<TBtnEventsForm>(nullptr, R"(object BtnEvents: TBtnEventsForm
  object Ok: TButton
    Caption = 'OK'
    OnClick = OkClick
  end
  object Bar: TScrollBar
    Top = 40
    Width = 200
    Height = 16
    OnScroll = BarScroll
    OnChange = BarChange
  end
end
)");
    Extra.push_back(F);
    F->Show();
    ProcessMessages();
    auto* Bar = static_cast<TScrollBar*>(F->FindComponent("Bar"));
    ClickControl(static_cast<TControl*>(F->FindComponent("Ok")), 10, 10);
    ClickControl(Bar, 196, 8);
    EXPECT_EQ(F->Calls, (std::vector<std::string>{"ok", "scroll 1", "change", "scroll 8"}));
    EXPECT_EQ(Bar->Position(), 7);
}

TEST_F(StdButtonsTest, ButtonClickWithModalResultEndsTheModalForm)
{
    auto* Dlg = new TForm(nullptr);
    Extra.push_back(Dlg);
    Dlg->SetBounds(50, 50, 200, 120);
    auto* Ok = new TButton(Dlg);
    Ok->SetName("Ok");
    Ok->SetBounds(10, 10, 75, 25);
    Ok->SetModalResult(mrOk);
    Ok->SetParent(Dlg);
    bool Clicked = false;
    Ok->OnClick = [&](TObject*) { Clicked = true; };
    int Waits = 0;
    SetWaitHandler([&] {
        // The press and release arrive as the button's messages.
        if (++Waits == 2) {
            PostMessage(Ok->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 10));
            PostMessage(Ok->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(20, 10));
        }
        if (Waits > 50)
            PostMessage(Dlg->Handle(), WM_CLOSE, 0, 0);
        return true;
    });
    int Result = Dlg->ShowModal();
    SetWaitHandler(nullptr);
    EXPECT_EQ(Result, mrOk);
    EXPECT_TRUE(Clicked);
    EXPECT_FALSE(Dlg->Visible());
    // A plain click outside a modal loop just sets the form's result.
    Ok->SetModalResult(mrRetry);
    Ok->Click();
    EXPECT_EQ(Dlg->ModalResult(), mrRetry);
}

struct TDialogKeyCase {
    const char* Name;
    const char* Focus; // the control with the focus
    int Key;
    const char* Clicked; // "" for none
};

TEST_F(StdButtonsTest, EnterClicksTheDefaultAndEscTheCancelButton)
{
    auto* Ok = Add<TButton>("Ok", 10, 10, 75, 25);
    Ok->SetDefault(true);
    auto* Cancel = Add<TButton>("Cancel", 100, 10, 75, 25);
    Cancel->SetCancel(true);
    auto* Other = Add<TButton>("Other", 190, 10, 75, 25);
    auto* Check = Add<TCheckBox>("Check", 10, 50, 100, 17);
    for (TControl* C :
         {static_cast<TControl*>(Ok), static_cast<TControl*>(Cancel), static_cast<TControl*>(Other)})
        LogClicks(C);
    Check->OnClick = [this](TObject*) { Log.push_back("Check"); };
    ProcessMessages();
    const TDialogKeyCase Cases[] = {
        {"enter on a check box clicks the default", "Check", VK_RETURN, "Ok"},
        {"esc on a check box clicks the cancel button", "Check", VK_ESCAPE, "Cancel"},
        {"enter on another button clicks that button", "Other", VK_RETURN, "Other"},
        {"esc on another button still cancels", "Other", VK_ESCAPE, "Cancel"},
        {"enter on the cancel button clicks it", "Cancel", VK_RETURN, "Cancel"},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Name);
        Log.clear();
        static_cast<TWinControl*>(Form->FindComponent(C.Focus))->SetFocus();
        ProcessMessages();
        PressKey(C.Key);
        std::vector<std::string> Want;
        if (*C.Clicked)
            Want.push_back(C.Clicked);
        EXPECT_EQ(Log, Want);
    }
    // Without a default button Enter clicks nothing.
    Ok->SetDefault(false);
    Check->SetFocus();
    ProcessMessages();
    Log.clear();
    PressKey(VK_RETURN);
    EXPECT_TRUE(Log.empty());
    // A disabled cancel button does not take Esc.
    Cancel->SetEnabled(false);
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(Log.empty());
}

TEST_F(StdButtonsTest, SpaceAndMouseClickAButtonOnlyWhenReleasedOverIt)
{
    auto* B = Add<TButton>("B", 10, 10, 75, 25);
    LogClicks(B);
    ProcessMessages();
    ClickControl(B, 10, 10);
    EXPECT_EQ(Log, std::vector<std::string>{"B"});
    EXPECT_TRUE(B->Focused());
    // Pressed over the button, released outside: no click.
    Log.clear();
    SendMouse(B, WM_LBUTTONDOWN, 10, 10);
    SendMouse(B, WM_MOUSEMOVE, 200, 100);
    SendMouse(B, WM_LBUTTONUP, 200, 100);
    EXPECT_TRUE(Log.empty());
    PressKey(VK_SPACE, " ");
    EXPECT_EQ(Log, std::vector<std::string>{"B"});
    // Alt and the accelerator click it too.
    B->SetCaption("&Go");
    Log.clear();
    PressShortCut('G', TShiftState{ssAlt});
    EXPECT_EQ(Log, std::vector<std::string>{"B"});
}

TEST_F(StdButtonsTest, RadioButtonsOfOneParentExcludeEachOther)
{
    auto* Group = Add<TGroupBox>("Group", 10, 10, 200, 120);
    auto* R1 = Add<TRadioButton>("R1", 8, 20, 100, 17, Group);
    auto* R2 = Add<TRadioButton>("R2", 8, 40, 100, 17, Group);
    auto* R3 = Add<TRadioButton>("R3", 8, 60, 100, 17, Group);
    auto* Outside = Add<TRadioButton>("Outside", 250, 20, 100, 17);
    for (TControl* C : {static_cast<TControl*>(R1), static_cast<TControl*>(R2), static_cast<TControl*>(R3),
                        static_cast<TControl*>(Outside)})
        LogClicks(C);
    ProcessMessages();

    Outside->SetChecked(true);
    R1->SetChecked(true);
    // Checked from code fires OnClick; the other group is left alone.
    EXPECT_EQ(Log, (std::vector<std::string>{"Outside", "R1"}));
    EXPECT_TRUE(Outside->Checked());

    Log.clear();
    R2->SetChecked(true);
    EXPECT_EQ(Log, std::vector<std::string>{"R2"});
    EXPECT_FALSE(R1->Checked());
    EXPECT_TRUE(R2->Checked());
    // Setting the same state again fires nothing; unchecking from code fires nothing either.
    Log.clear();
    R2->SetChecked(true);
    R3->SetChecked(false);
    EXPECT_TRUE(Log.empty());

    // A mouse click checks the button and fires OnClick once.
    ClickControl(R3, 5, 8);
    EXPECT_EQ(Log, std::vector<std::string>{"R3"});
    EXPECT_TRUE(R3->Checked());
    EXPECT_FALSE(R2->Checked());
    // Clicking the checked one fires OnClick and it stays checked.
    Log.clear();
    ClickControl(R3, 5, 8);
    EXPECT_EQ(Log, std::vector<std::string>{"R3"});
    EXPECT_TRUE(R3->Checked());
    EXPECT_TRUE(Outside->Checked());
}

TEST_F(StdButtonsTest, GroupBoxFramesItsChildrenAndPassesItsAccelerator)
{
    auto* Outside = Add<TButton>("Outside", 250, 10, 75, 25);
    auto* Group = Add<TGroupBox>("Group", 10, 10, 200, 120);
    Group->SetCaption("&Options");
    auto* First = Add<TCheckBox>("First", 8, 20, 100, 17, Group);
    auto* Fill = Add<TPanel>("Fill", 0, 0, 10, 10, Group);
    Fill->SetAlign(alClient);
    TBitmap Probe(1, 1);
    Probe.Canvas()->SetFont(Group->Font());
    int H = Probe.Canvas()->TextHeight("0");
    // The caption's line and a 2-pixel margin stay free.
    EXPECT_EQ(Fill->BoundsRect(), Rect(2, H + 2, 198, 118));
    ProcessMessages();
    Outside->SetFocus();
    PressShortCut('O', TShiftState{ssAlt});
    EXPECT_TRUE(First->Focused());
    // The etched frame: a shadow line with a highlight inside, below half the caption's height.
    auto Shot = RenderControl(Group);
    EXPECT_EQ(PixelAt(Shot.get(), 0, 60), ColorToRGB(clBtnShadow));
    EXPECT_EQ(PixelAt(Shot.get(), 1, 60), ColorToRGB(clBtnHighlight));
}

TEST_F(StdButtonsTest, CheckBoxStatesAndClicks)
{
    auto* C = Add<TCheckBox>("C", 10, 10, 100, 17);
    LogClicks(C);
    ProcessMessages();
    C->SetChecked(true);
    EXPECT_EQ(Log.size(), 1u); // from code too
    ClickControl(C, 5, 8);
    EXPECT_EQ(C->State(), cbUnchecked);
    C->AllowGrayed = true;
    ClickControl(C, 5, 8);
    ClickControl(C, 5, 8);
    EXPECT_EQ(C->State(), cbGrayed);
    EXPECT_FALSE(C->Checked());
    ClickControl(C, 5, 8);
    EXPECT_EQ(C->State(), cbUnchecked);
    EXPECT_EQ(Log.size(), 5u);
    // Alt and the accelerator focus and toggle it.
    C->SetCaption("&Wrap");
    C->AllowGrayed = false;
    PressShortCut('W', TShiftState{ssAlt});
    EXPECT_TRUE(C->Focused());
    EXPECT_TRUE(C->Checked());
    PressShortCut('W', TShiftState{ssAlt});
    EXPECT_FALSE(C->Checked());
    Log.resize(5);
    // A disabled box ignores clicks.
    C->SetEnabled(false);
    ClickControl(C, 5, 8);
    EXPECT_EQ(C->State(), cbUnchecked);
    EXPECT_EQ(Log.size(), 5u);
}

TEST_F(StdButtonsTest, LabelAutoSizeFollowsTheCaption)
{
    auto* L = Add<TLabel>("L", 20, 20, 10, 10);
    L->SetCaption("Hello");
    TBitmap Probe(1, 1);
    Probe.Canvas()->SetFont(L->Font());
    TSize One = Probe.Canvas()->TextExtent("Hello");
    EXPECT_EQ(L->Width(), One.cx);
    EXPECT_EQ(L->Height(), One.cy);
    // An empty caption keeps one line's height.
    L->SetCaption("");
    EXPECT_EQ(L->Height(), One.cy);
    // The accelerator's ampersand takes no room.
    L->SetCaption("&Hello");
    EXPECT_EQ(L->Width(), One.cx);
    // Right-justified, the right edge stays.
    L->SetAlignment(taRightJustify);
    int Right = L->Left() + L->Width();
    L->SetCaption("Hello, wider world");
    EXPECT_EQ(L->Left() + L->Width(), Right);
    EXPECT_GT(L->Width(), One.cx);
    // Turned off, the size stays as set.
    L->SetAutoSize(false);
    L->SetBounds(20, 20, 50, 40);
    L->SetCaption("x");
    EXPECT_EQ(L->Width(), 50);
}

TEST_F(StdButtonsTest, WordWrapKeepsTheWidthAndGrowsTheHeight)
{
    auto* L = Add<TLabel>("L", 10, 10, 60, 10);
    L->SetWordWrap(true);
    L->SetCaption("one two three four five six");
    TBitmap Probe(1, 1);
    Probe.Canvas()->SetFont(L->Font());
    int LineH = Probe.Canvas()->TextHeight("one");
    EXPECT_LE(L->Width(), 60);
    EXPECT_GE(L->Height(), 3 * LineH);
    L->SetWordWrap(false);
    EXPECT_EQ(L->Height(), LineH);
    EXPECT_GT(L->Width(), 60);
}

TEST_F(StdButtonsTest, LabelAcceleratorFocusesItsFocusControl)
{
    auto* Button = Add<TButton>("Button", 10, 10, 75, 25);
    auto* Check = Add<TCheckBox>("Check", 10, 50, 100, 17);
    auto* L = Add<TLabel>("L", 10, 80, 60, 17);
    L->SetCaption("&Name");
    L->SetFocusControl(Check);
    ProcessMessages();
    Button->SetFocus();
    ProcessMessages();
    PressShortCut('N', TShiftState{ssAlt});
    EXPECT_TRUE(Check->Focused());
    // Without accelerators, or disabled, the label leaves the focus where it is.
    Button->SetFocus();
    L->SetShowAccelChar(false);
    PressShortCut('N', TShiftState{ssAlt});
    EXPECT_TRUE(Button->Focused());
    L->SetShowAccelChar(true);
    L->SetEnabled(false);
    PressShortCut('N', TShiftState{ssAlt});
    EXPECT_TRUE(Button->Focused());
    // The focus control going away clears the link.
    L->SetEnabled(true);
    delete Check;
    EXPECT_EQ(L->FocusControl(), nullptr);
    PressShortCut('N', TShiftState{ssAlt});
    EXPECT_TRUE(Button->Focused());
}

TEST_F(StdButtonsTest, TransparentLabelShowsTheParentAroundItsText)
{
    auto* L = Add<TLabel>("L", 10, 10, 100, 20);
    L->SetAutoSize(false);
    L->SetCaption("");
    L->SetBounds(10, 10, 100, 20); // the parent's font sized it to its name before
    L->SetParentColor(false);
    L->SetColor(clYellow);
    ProcessMessages();
    auto Shot = RenderControl(Form);
    EXPECT_EQ(PixelAt(Shot.get(), 50, 15), clYellow);
    L->SetTransparent(true);
    ProcessMessages();
    Shot = RenderControl(Form);
    EXPECT_EQ(PixelAt(Shot.get(), 50, 15), ColorToRGB(clBtnFace));
}

// The rows of a rendered control that hold a pixel other than Background.
std::pair<int, int> InkRows(TBitmap* Shot, TColor Background)
{
    int First = -1, Last = -1;
    for (int Y = 0; Y < Shot->Height(); ++Y)
        for (int X = 0; X < Shot->Width(); ++X)
            if (PixelAt(Shot, X, Y) != Background) {
                if (First < 0)
                    First = Y;
                Last = Y;
                break;
            }
    return {First, Last};
}

TEST_F(StdButtonsTest, LabelLayoutPlacesTheTextVertically)
{
    auto* L = Add<TLabel>("L", 10, 10, 100, 60);
    L->SetAutoSize(false);
    L->SetBounds(10, 10, 100, 60);
    L->SetParentColor(false);
    L->SetColor(clWhite);
    L->SetCaption("Text");
    ProcessMessages();
    auto Top = InkRows(RenderControl(L).get(), clWhite);
    L->SetLayout(tlCenter);
    ProcessMessages();
    auto Mid = InkRows(RenderControl(L).get(), clWhite);
    L->SetLayout(tlBottom);
    ProcessMessages();
    auto Bottom = InkRows(RenderControl(L).get(), clWhite);
    ASSERT_GE(Top.first, 0);
    EXPECT_LT(Top.second, 20);
    EXPECT_GT(Mid.first, Top.first + 15);
    EXPECT_LT(Mid.second, 45);
    EXPECT_GT(Bottom.first, Mid.first + 15);
    EXPECT_EQ(Bottom.second - Bottom.first, Top.second - Top.first);
}

TEST_F(StdButtonsTest, ButtonDrawsTheRaisedClassicEdges)
{
    auto* B = Add<TButton>("B", 10, 10, 60, 24);
    ProcessMessages();
    auto Shot = RenderControl(B);
    EXPECT_EQ(PixelAt(Shot.get(), 0, 0), ColorToRGB(cl3DLight));
    EXPECT_EQ(PixelAt(Shot.get(), 1, 1), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(PixelAt(Shot.get(), 59, 23), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(PixelAt(Shot.get(), 58, 22), ColorToRGB(clBtnShadow));
    EXPECT_EQ(PixelAt(Shot.get(), 30, 12), ColorToRGB(clBtnFace));
    // Held down: a shadow frame instead of the raised edges.
    SendMouse(B, WM_LBUTTONDOWN, 30, 12);
    ProcessMessages();
    Shot = RenderControl(B);
    EXPECT_EQ(PixelAt(Shot.get(), 1, 1), ColorToRGB(clBtnShadow));
    SendMouse(B, WM_LBUTTONUP, 30, 12);
}

// ---- Scroll bar -------------------------------------------------------------------------------

struct TClampCase {
    int Position, Min, Max;
    int Want;
};

TEST_F(StdButtonsTest, ScrollBarPositionStaysInTheRange)
{
    auto* Bar = Add<TScrollBar>("Bar", 10, 10, 200, 16);
    int Changes = 0;
    Bar->OnChange = [&](TObject*) { ++Changes; };
    const TClampCase Cases[] = {
        {50, 0, 100, 50}, {150, 0, 100, 100}, {-5, 0, 100, 0}, {7, 10, 20, 10}, {5, 5, 5, 5},
    };
    for (const auto& C : Cases) {
        Bar->SetParams(C.Position, C.Min, C.Max);
        EXPECT_EQ(Bar->Position(), C.Want) << C.Position << " in " << C.Min << ".." << C.Max;
    }
    EXPECT_EQ(Changes, 5); // 50, 100, 0, 10, 5
    Bar->SetParams(0, 0, 100);
    Changes = 0;
    Bar->SetPosition(1000);
    EXPECT_EQ(Bar->Position(), 100);
    Bar->SetPosition(100);
    EXPECT_EQ(Changes, 1);
    // Lowering Max pulls the position in.
    Bar->SetMax(40);
    EXPECT_EQ(Bar->Position(), 40);
    EXPECT_THROW(Bar->SetParams(0, 10, 5), EInvalidOperation);
    EXPECT_EQ(Bar->Min(), 0);
    EXPECT_EQ(Bar->Max(), 40);
}

TEST_F(StdButtonsTest, ScrollBarPartsSendTheirScrollCodes)
{
    auto* Bar = Add<TScrollBar>("Bar", 10, 10, 200, 16);
    Bar->SetParams(50, 0, 100);
    Bar->SmallChange = 3;
    Bar->LargeChange = 10;
    std::vector<std::pair<TScrollCode, int>> Seen;
    Bar->OnScroll = [&](TObject*, TScrollCode Code, int& Pos) { Seen.emplace_back(Code, Pos); };
    ProcessMessages();
    using Seq = std::vector<std::pair<TScrollCode, int>>;

    ClickControl(Bar, 4, 8); // the left arrow
    EXPECT_EQ(Seen, (Seq{{scLineUp, 47}, {scEndScroll, 47}}));
    EXPECT_EQ(Bar->Position(), 47);
    Seen.clear();
    ClickControl(Bar, 196, 8); // the right arrow
    EXPECT_EQ(Seen, (Seq{{scLineDown, 50}, {scEndScroll, 50}}));
    Seen.clear();
    ClickControl(Bar, 180, 8); // the track right of the thumb
    EXPECT_EQ(Seen, (Seq{{scPageDown, 60}, {scEndScroll, 60}}));
    Seen.clear();
    ClickControl(Bar, 20, 8); // the track left of the thumb
    EXPECT_EQ(Seen, (Seq{{scPageUp, 50}, {scEndScroll, 50}}));

    // Keys: Home and End go to the ends.
    Bar->SetFocus();
    Seen.clear();
    PressKey(VK_HOME);
    PressKey(VK_END);
    EXPECT_EQ(Seen, (Seq{{scTop, 0}, {scEndScroll, 0}, {scBottom, 100}, {scEndScroll, 100}}));

    // OnScroll may change where the bar goes.
    Bar->OnScroll = [](TObject*, TScrollCode Code, int& Pos) {
        if (Code == scLineUp)
            Pos = 10;
    };
    ClickControl(Bar, 4, 8);
    EXPECT_EQ(Bar->Position(), 10);
}

TEST_F(StdButtonsTest, ScrollBarReportsEachReleaseOnce)
{
    // A bar with no range holds nothing on a press; one with a range holds the arrow.
    const struct {
        const char* What;
        int Max;
        std::size_t Scrolls;
    } Cases[] = {{"nothing held", 0, 0}, {"arrow held", 100, 2}};
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.What);
        auto* Bar = Add<TScrollBar>(std::string("Bar") + std::to_string(C.Max), 10, 10, 200, 16);
        Bar->SetParams(0, 0, C.Max);
        int Downs = 0, Ups = 0;
        std::size_t Scrolls = 0;
        Bar->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++Downs; };
        Bar->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { ++Ups; };
        Bar->OnScroll = [&](TObject*, TScrollCode, int&) { ++Scrolls; };
        ProcessMessages();
        SendMouse(Bar, WM_LBUTTONDOWN, 4, 8);
        SendMouse(Bar, WM_LBUTTONUP, 4, 8);
        EXPECT_EQ(Downs, 1);
        EXPECT_EQ(Ups, 1);
        EXPECT_EQ(Scrolls, C.Scrolls);
        delete Bar;
    }
}

TEST_F(StdButtonsTest, DraggingTheThumbTracksThenSetsThePosition)
{
    auto* Bar = Add<TScrollBar>("Bar", 10, 10, 216, 16);
    Bar->SetParams(0, 0, 100);
    std::vector<TScrollCode> Codes;
    Bar->OnScroll = [&](TObject*, TScrollCode Code, int&) { Codes.push_back(Code); };
    ProcessMessages();
    // Arrows of 16 pixels, a square thumb of 16: the thumb travels 168 pixels for 100 units.
    SendMouse(Bar, WM_LBUTTONDOWN, 20, 8);
    SendMouse(Bar, WM_MOUSEMOVE, 20 + 84, 8);
    EXPECT_EQ(Bar->Position(), 50);
    SendMouse(Bar, WM_MOUSEMOVE, 400, 8);
    EXPECT_EQ(Bar->Position(), 100);
    SendMouse(Bar, WM_LBUTTONUP, 400, 8);
    ASSERT_GE(Codes.size(), 4u);
    EXPECT_EQ(Codes.front(), scTrack);
    EXPECT_EQ(Codes[Codes.size() - 2], scPosition);
    EXPECT_EQ(Codes.back(), scEndScroll);
    EXPECT_EQ(Bar->Position(), 100);
}

TEST_F(StdButtonsTest, ScrollInfoOfTheControlReachesTheBar)
{
    auto* Bar = Add<TScrollBar>("Bar", 10, 10, 200, 16);
    Bar->SetKind(sbVertical); // turns the bar: 16 x 200
    ASSERT_EQ(Bar->Height(), 200);
    int Changes = 0;
    Bar->OnChange = [&](TObject*) { ++Changes; };
    // 32-bit values through SetScrollInfo(SB_CTL), as a bar over a long document sets them.
    SCROLLINFO Info{};
    Info.cbSize = sizeof(Info);
    Info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    Info.nMin = 0;
    Info.nMax = 1000000;
    Info.nPage = 1000;
    Info.nPos = 2000000; // beyond the end: the last page
    SetScrollInfo(Bar->Handle(), SB_CTL, &Info, TRUE);
    EXPECT_EQ(Bar->Max(), 1000000);
    EXPECT_EQ(Bar->PageSize(), 1000);
    EXPECT_EQ(Bar->Position(), 1000000 - 999);
    EXPECT_EQ(GetScrollPos(Bar->Handle(), SB_CTL), 1000000 - 999);
    EXPECT_EQ(Changes, 0);
    SetScrollPos(Bar->Handle(), SB_CTL, 70000, TRUE);
    EXPECT_EQ(Bar->Position(), 70000);
    // While the thumb is dragged the track position is read back whole.
    ProcessMessages();
    SCROLLINFO Track{};
    Track.cbSize = sizeof(Track);
    Track.fMask = SIF_TRACKPOS | SIF_RANGE;
    int TrackSeen = -1;
    Bar->OnScroll = [&](TObject* S, TScrollCode Code, int&) {
        if (Code == scTrack && GetScrollInfo(static_cast<TScrollBar*>(S)->Handle(), SB_CTL, &Track))
            TrackSeen = Track.nTrackPos;
    };
    // 16-pixel arrows and the smallest thumb (8 pixels) on a 168-pixel track.
    int Start = 16 + (168 - 8) * 70000 / (1000000 - 999 - 0);
    SendMouse(Bar, WM_LBUTTONDOWN, 8, Start + 2);
    SendMouse(Bar, WM_MOUSEMOVE, 8, 100);
    EXPECT_GT(TrackSeen, 65535);
    EXPECT_EQ(TrackSeen, Bar->Position());
    SendMouse(Bar, WM_LBUTTONUP, 8, 100);
    EXPECT_EQ(Track.nMax, 1000000);
}

// The largest ranges and pages (a bar over a document 2^31 - 1 pixels high): the last position,
// the thumb drawn at the end of the track, steps of any size and a drag to the far end all stay
// within the range.
TEST_F(StdButtonsTest, ScrollBarTakesTheLargestRangesAndPages)
{
    struct TCase {
        int Min, Max, Page;
        int WantMaxPos;
    };
    const TCase Cases[] = {
        {0, INT_MAX, INT_MAX, 1},
        {0, INT_MAX, 1000, INT_MAX - 999},
        {INT_MIN, INT_MAX, 0, INT_MAX},
        {INT_MIN, INT_MAX, INT_MAX, 1},
        {INT_MIN, INT_MIN + 10, INT_MAX, INT_MIN},
    };
    auto* Bar = Add<TScrollBar>("Bar", 10, 10, 200, 16);
    // 16-pixel arrows: the track is 16..183.
    auto Thumb = [&] {
        ProcessMessages();
        auto Shot = testing_support::RenderControl(Bar);
        const TColor Track = ColorToRGB(clScrollBar);
        std::pair<int, int> Ends{-1, -1};
        for (int X = 16; X < 184; ++X)
            if (testing_support::PixelAt(Shot.get(), X, 8) != Track) {
                if (Ends.first < 0)
                    Ends.first = X;
                Ends.second = X;
            }
        return Ends;
    };
    for (const TCase& C : Cases) {
        const std::string Name =
            std::to_string(C.Min) + ".." + std::to_string(C.Max) + " page " + std::to_string(C.Page);
        Bar->SetParams(0, 0, 0);
        Bar->SetPageSize(C.Page);
        Bar->SetParams(INT_MAX, C.Min, C.Max);
        EXPECT_EQ(Bar->Position(), C.WantMaxPos) << Name;
        const bool Moves = C.WantMaxPos > C.Min;
        if (Moves)
            EXPECT_EQ(Thumb().second, 183) << Name;
        Bar->SmallChange = INT_MAX;
        Bar->LargeChange = INT_MAX;
        ClickControl(Bar, 196, 8); // a step down from the last position
        EXPECT_EQ(Bar->Position(), C.WantMaxPos) << Name;
        for (int I = 0; I < 3; ++I)
            ClickControl(Bar, 4, 8); // steps up: at most three reach the first position
        EXPECT_EQ(Bar->Position(), C.Min) << Name;
        if (!Moves)
            continue;
        EXPECT_LE(Thumb().first, 17) << Name; // the thumb's outer light edge has the track's colour
        // The thumb dragged to the far end.
        SendMouse(Bar, WM_LBUTTONDOWN, Thumb().first + 2, 8);
        SendMouse(Bar, WM_MOUSEMOVE, 400, 8);
        SendMouse(Bar, WM_LBUTTONUP, 400, 8);
        EXPECT_EQ(Bar->Position(), C.WantMaxPos) << Name;
    }
}

TEST_F(StdButtonsTest, HeldArrowRepeatsOnTheClock)
{
    auto* Bar = Add<TScrollBar>("Bar", 10, 10, 200, 16);
    Bar->SetParams(50, 0, 100);
    ProcessMessages();
    SendMouse(Bar, WM_LBUTTONDOWN, 196, 8);
    EXPECT_EQ(Bar->Position(), 51);
    AdvanceClock(400);
    ProcessMessages();
    AdvanceClock(100);
    ProcessMessages();
    EXPECT_EQ(Bar->Position(), 53);
    SendMouse(Bar, WM_LBUTTONUP, 196, 8);
    AdvanceClock(500);
    ProcessMessages();
    EXPECT_EQ(Bar->Position(), 53);
}

} // namespace
