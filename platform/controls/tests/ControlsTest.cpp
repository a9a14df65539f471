#include "platform/controls/Controls.h"
#include "platform/classes/TypInfo.h"
#include "platform/controls/Forms.h"
#include "platform/controls/tests/ControlsTestFixture.h"
#include "platform/testing/FormTesting.h"
#include "platform/testing/WinTesting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

// A windowed control that paints itself in one colour and logs its mouse events.
class TLogControl : public TCustomControl {
public:
    explicit TLogControl(TComponent* AOwner) : TCustomControl(AOwner) { FTabStop = true; }
    TColor Fill = clRed;
    std::vector<std::string>* Log = nullptr;

protected:
    TW_MESSAGE_HANDLERS(TLogControl);
    void WMCancelMode(TWMCancelMode M)
    {
        if (Log)
            Log->push_back(Name() + " cancelmode");
        TCustomControl::WMCancelMode(M);
    }
    void CMCancelMode(TCMCancelMode M)
    {
        if (Log)
            Log->push_back(Name() + " cm_cancelmode from " + reinterpret_cast<TControl*>(M.LParam)->Name());
        TCustomControl::CMCancelMode(M);
    }
    void CMMouseEnter(TMessage& M)
    {
        if (Log && M.LParam == 0)
            Log->push_back(Name() + " enter");
        TCustomControl::CMMouseEnter(M);
    }
    void CMMouseLeave(TMessage& M)
    {
        if (Log && M.LParam == 0)
            Log->push_back(Name() + " leave");
        TCustomControl::CMMouseLeave(M);
    }
    void Paint() override
    {
        Canvas()->Brush()->SetColor(Fill);
        Canvas()->FillRect(ClientRect());
    }
};

// A windowless control: its parent paints it and hands it the mouse.
class TLogGraphic : public TGraphicControl {
public:
    explicit TLogGraphic(TComponent* AOwner) : TGraphicControl(AOwner) {}
    TColor Fill = clBlue;
    std::vector<std::string>* Log = nullptr;

protected:
    TW_MESSAGE_HANDLERS(TLogGraphic);
    void CMMouseEnter(TMessage& M)
    {
        if (Log)
            Log->push_back(Name() + " enter");
        TGraphicControl::CMMouseEnter(M);
    }
    void CMMouseLeave(TMessage& M)
    {
        if (Log)
            Log->push_back(Name() + " leave");
        TGraphicControl::CMMouseLeave(M);
    }
    void WMCancelMode(TWMCancelMode M)
    {
        if (Log)
            Log->push_back(Name() + " cancelmode");
        TGraphicControl::WMCancelMode(M);
    }
    void Paint() override
    {
        Canvas()->Brush()->SetColor(Fill);
        Canvas()->FillRect(ClientRect());
    }
};

TW_PUBLISH(TLogControl, TCustomControl)
{
    Cls.Message(WM_CANCELMODE, &TLogControl::WMCancelMode);
    Cls.Message(CM_CANCELMODE, &TLogControl::CMCancelMode);
    Cls.Message(CM_MOUSEENTER, &TLogControl::CMMouseEnter);
    Cls.Message(CM_MOUSELEAVE, &TLogControl::CMMouseLeave);
}

TW_PUBLISH(TLogGraphic, TGraphicControl)
{
    Cls.Message(CM_MOUSEENTER, &TLogGraphic::CMMouseEnter);
    Cls.Message(CM_MOUSELEAVE, &TLogGraphic::CMMouseLeave);
    Cls.Message(WM_CANCELMODE, &TLogGraphic::WMCancelMode);
}

template <class T> void LogMouse(T* C, std::vector<std::string>& Log)
{
    C->Log = &Log;
    std::string N = C->Name();
    C->OnMouseDown = [&Log, N](TObject*, TMouseButton B, TShiftState, int X, int Y) {
        Log.push_back(N + " down " + std::to_string(B) + " " + std::to_string(X) + "," + std::to_string(Y));
    };
    C->OnMouseUp = [&Log, N](TObject*, TMouseButton B, TShiftState, int, int) {
        Log.push_back(N + " up " + std::to_string(B));
    };
    C->OnClick = [&Log, N](TObject*) { Log.push_back(N + " click"); };
    C->OnDblClick = [&Log, N](TObject*) { Log.push_back(N + " dblclick"); };
}

class ControlsTest : public controls_testing::TBuiltFormTest {
protected:
    ControlsTest() : TBuiltFormTest(clBtnFace) {} // the colour a form has of its own
    std::vector<std::string> Log;
};

TEST_F(ControlsTest, ClickOnWindowedControlIsDownUpClick)
{
    auto* C = Add<TLogControl>("Box", 10, 10, 100, 50);
    ProcessMessages();
    LogMouse(C, Log);
    ASSERT_TRUE(ClickControl(C, 20, 15));
    EXPECT_EQ(Log, (std::vector<std::string>{"Box enter", "Box down 0 20,15", "Box up 0", "Box click"}));
}

TEST_F(ControlsTest, ClickOnWindowlessControlIsRoutedByTheParent)
{
    auto* G = Add<TLogGraphic>("Glyph", 50, 40, 30, 30);
    auto* Below = Add<TLogGraphic>("Below", 45, 35, 60, 60);
    Below->SendToBack(); // Glyph is on top where they overlap
    ProcessMessages();
    LogMouse(G, Log);
    LogMouse(Below, Log);
    // Client coordinates of the windowless control, not of the form.
    ASSERT_TRUE(ClickControl(G, 5, 6));
    EXPECT_EQ(Log,
              (std::vector<std::string>{"Glyph enter", "Glyph down 0 5,6", "Glyph up 0", "Glyph click"}));
    Log.clear();
    // Where only the lower one is, it gets the input; leaving sends CM_MOUSELEAVE first.
    ASSERT_TRUE(ClickControl(Below, 50, 50));
    EXPECT_EQ(Log, (std::vector<std::string>{"Glyph leave", "Below enter", "Below down 0 50,50", "Below up 0",
                                             "Below click"}));
}

TEST_F(ControlsTest, DisabledOrHiddenWindowlessControlGetsNoInput)
{
    auto* G = Add<TLogGraphic>("Glyph", 10, 10, 30, 30);
    ProcessMessages();
    LogMouse(G, Log);
    bool FormClicked = false;
    Form->OnClick = [&](TObject*) { FormClicked = true; };
    G->SetEnabled(false);
    ClickControl(G, 5, 5);
    EXPECT_TRUE(Log.empty());
    EXPECT_TRUE(FormClicked); // the parent itself got the click
    G->SetEnabled(true);
    G->SetVisible(false);
    FormClicked = false;
    ClickControl(G, 5, 5);
    EXPECT_TRUE(Log.empty());
    EXPECT_TRUE(FormClicked);
}

TEST_F(ControlsTest, ReleaseOutsideTheControlGivesNoClick)
{
    auto* C = Add<TLogControl>("Box", 10, 10, 100, 50);
    ProcessMessages();
    LogMouse(C, Log);
    SendMouse(C, WM_LBUTTONDOWN, 10, 10);
    // The control holds the capture, so the release far away still reaches it.
    SendMouse(C, WM_MOUSEMOVE, 250, 200);
    SendMouse(C, WM_LBUTTONUP, 250, 200);
    ASSERT_GE(Log.size(), 2u);
    EXPECT_EQ(Log[Log.size() - 1], "Box up 0");
    EXPECT_EQ(std::count(Log.begin(), Log.end(), "Box click"), 0);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ControlsTest, LosingTheCaptureSendsCancelModeAndCancelsTheClick)
{
    auto* C = Add<TLogControl>("Box", 10, 10, 100, 50);
    auto* G = Add<TLogGraphic>("Glyph", 200, 10, 40, 40);
    ProcessMessages();
    LogMouse(C, Log);
    LogMouse(G, Log);

    SendMouse(C, WM_LBUTTONDOWN, 10, 10);
    EXPECT_TRUE(C->MouseCapture());
    EXPECT_EQ(GetCapture(), C->Handle());
    // Another window of the program taking the capture ends ours quietly.
    SetCapture(Form->Handle());
    EXPECT_FALSE(C->MouseCapture());
    EXPECT_EQ(GetCaptureControl(), nullptr);
    ReleaseCapture();

    // The system taking it (the window disabled) sends WM_CANCELMODE: no click follows.
    Log.clear();
    SendMouse(C, WM_LBUTTONDOWN, 10, 10);
    EXPECT_TRUE(C->MouseCapture());
    EnableWindow(C->Handle(), FALSE);
    EXPECT_FALSE(C->MouseCapture());
    EXPECT_NE(std::find(Log.begin(), Log.end(), "Box cancelmode"), Log.end());
    EnableWindow(C->Handle(), TRUE);
    SendMouse(C, WM_LBUTTONUP, 10, 10);
    EXPECT_EQ(std::count(Log.begin(), Log.end(), "Box click"), 0);

    // A windowless control holds the capture through its parent's window and hears of the loss.
    Log.clear();
    SendMouse(G, WM_LBUTTONDOWN, 5, 5);
    EXPECT_TRUE(G->MouseCapture());
    EXPECT_EQ(GetCapture(), Form->Handle());
    EnableWindow(Form->Handle(), FALSE);
    EXPECT_FALSE(G->MouseCapture());
    EXPECT_NE(std::find(Log.begin(), Log.end(), "Glyph cancelmode"), Log.end());
    EnableWindow(Form->Handle(), TRUE);
    SendMouse(G, WM_LBUTTONUP, 5, 5);
    EXPECT_EQ(std::count(Log.begin(), Log.end(), "Glyph click"), 0);
}

TEST_F(ControlsTest, APressElsewhereCancelsTheFocusedControlsMode)
{
    auto* Edit = Add<TLogControl>("Edit", 10, 10, 100, 20);
    auto* G = Add<TLogGraphic>("Glyph", 200, 10, 40, 40);
    ProcessMessages();
    Edit->SetFocus();
    ProcessMessages();
    Edit->Log = &Log;
    ClickControl(G, 5, 5);
    EXPECT_NE(std::find(Log.begin(), Log.end(), "Edit cm_cancelmode from Glyph"), Log.end());
    Log.clear();
    ClickControl(Edit, 5, 5); // its own presses do not cancel it
    EXPECT_EQ(
        std::count_if(Log.begin(), Log.end(),
                      [](const std::string& S) { return S.find("cm_cancelmode") != std::string::npos; }),
        0);
}

TEST_F(ControlsTest, AutomaticDragDropsOnAControlThatAccepts)
{
    auto* G = Add<TLogGraphic>("Glyph", 10, 10, 30, 30);
    auto* Bin = Add<TLogControl>("Bin", 200, 100, 100, 80);
    auto* Refuse = Add<TLogControl>("Refuse", 50, 150, 60, 60);
    ProcessMessages();
    G->DragMode = dmAutomatic;
    std::vector<std::string> Events;
    G->OnStartDrag = [&](TObject*) { Events.push_back("start"); };
    G->OnEndDrag = [&](TObject*, TObject* Target, int, int) {
        Events.push_back(std::string("end ") + (Target ? static_cast<TComponent*>(Target)->Name() : "none"));
    };
    G->OnClick = [&](TObject*) { Events.push_back("click"); };
    Bin->OnDragOver = [&](TObject*, TObject* Source, int, int, TDragState State, bool& Accept) {
        Events.push_back("over " + std::to_string(State));
        Accept = Source == G;
    };
    Bin->OnDragDrop = [&](TObject*, TObject* Source, int X, int Y) {
        Events.push_back("drop " + static_cast<TComponent*>(Source)->Name() + " " + std::to_string(X) + "," +
                         std::to_string(Y));
    };
    // A press and release without moving is still a click.
    ClickControl(G, 5, 5);
    EXPECT_EQ(Events, (std::vector<std::string>{"click"}));
    EXPECT_EQ(DragSourceControl(), nullptr);

    Events.clear();
    AdvanceClock(1000); // not a double click
    SendMouse(G, WM_LBUTTONDOWN, 5, 5);
    SendMouse(Bin, WM_MOUSEMOVE, 10, 10);
    EXPECT_TRUE(G->Dragging());
    SendMouse(Bin, WM_MOUSEMOVE, 20, 15);
    SendMouse(Bin, WM_LBUTTONUP, 20, 15);
    EXPECT_EQ(Events, (std::vector<std::string>{"start", "over 0", "over 2", "drop Glyph 20,15", "end Bin"}));
    EXPECT_FALSE(G->Dragging());
    EXPECT_EQ(GetCapture(), nullptr);

    // Over a control without OnDragOver nothing is accepted: the drag ends without a target.
    Events.clear();
    AdvanceClock(1000);
    SendMouse(G, WM_LBUTTONDOWN, 5, 5);
    SendMouse(Refuse, WM_MOUSEMOVE, 10, 10);
    SendMouse(Refuse, WM_LBUTTONUP, 10, 10);
    EXPECT_EQ(Events, (std::vector<std::string>{"start", "end none"}));
}

TEST_F(ControlsTest, DoubleClickFiresDblClick)
{
    auto* C = Add<TLogControl>("Box", 10, 10, 100, 50);
    ProcessMessages();
    LogMouse(C, Log);
    ASSERT_TRUE(DoubleClickControl(C, 5, 5));
    EXPECT_NE(std::find(Log.begin(), Log.end(), "Box dblclick"), Log.end());
}

// ---- Hooks ------------------------------------------------------------------------------------

std::vector<std::pair<UINT, bool>>* gHookLog = nullptr;
HHOOK gHook = nullptr;
LRESULT HookProc(int Code, WPARAM WParam, LPARAM LParam)
{
    if (Code == HC_ACTION && gHookLog) {
        auto* Info = reinterpret_cast<CWPSTRUCT*>(LParam);
        if (Info->message >= WM_USER && Info->message < WM_USER + 10)
            gHookLog->push_back({Info->message, WParam != 0});
    }
    return CallNextHookEx(gHook, Code, WParam, LParam);
}

TEST_F(ControlsTest, CallWndProcHookSeesSentAndDispatchedMessages)
{
    auto* C = Add<TLogControl>("Box", 10, 10, 100, 50);
    std::vector<UINT> Seen;
    C->WindowProc = [C, &Seen](TMessage& M) {
        if (M.Msg >= WM_USER && M.Msg < WM_USER + 10)
            Seen.push_back(M.Msg);
        C->WndProc(M);
    };
    std::vector<std::pair<UINT, bool>> HookLog;
    gHookLog = &HookLog;
    gHook = SetWindowsHookEx(WH_CALLWNDPROC, &HookProc, nullptr, GetCurrentThreadId());
    SendMessage(C->Handle(), WM_USER + 1, 0, 0);
    PostMessage(C->Handle(), WM_USER + 2, 0, 0);
    ProcessMessages();
    // Perform goes straight to the control, past the window model's hooks.
    C->Perform(WM_USER + 3, 0, 0);
    UnhookWindowsHookEx(gHook);
    gHookLog = nullptr;
    EXPECT_EQ(HookLog, (std::vector<std::pair<UINT, bool>>{{WM_USER + 1, true}, {WM_USER + 2, false}}));
    EXPECT_EQ(Seen, (std::vector<UINT>{WM_USER + 1, WM_USER + 2, WM_USER + 3}));
}

// ---- Alignment --------------------------------------------------------------------------------

struct TAlignCase {
    const char* Name;
    std::vector<TAlign> Aligns; // one control each, added in this order
    std::vector<TRect> Expected;
};

class AlignTest : public ControlsTest, public ::testing::WithParamInterface<TAlignCase> {};

TEST_P(AlignTest, LaysOutChildren)
{
    const TAlignCase& Case = GetParam();
    auto* Host = Add<TLogControl>("Host", 0, 0, 200, 100);
    Host->DisableAlign();
    std::vector<TControl*> Children;
    for (std::size_t I = 0; I < Case.Aligns.size(); ++I) {
        auto* C = Add<TLogGraphic>("C" + std::to_string(I), 0, static_cast<int>(I), 20, 10, Host);
        C->SetAlign(Case.Aligns[I]);
        Children.push_back(C);
    }
    Host->EnableAlign();
    for (std::size_t I = 0; I < Children.size(); ++I)
        EXPECT_EQ(Children[I]->BoundsRect(), Case.Expected[I]) << Case.Name << " child " << I;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AlignTest,
    ::testing::Values(
        TAlignCase{"top then bottom", {alTop, alBottom}, {Rect(0, 0, 200, 10), Rect(0, 90, 200, 100)}},
        TAlignCase{"two tops stack", {alTop, alTop}, {Rect(0, 0, 200, 10), Rect(0, 10, 200, 20)}},
        TAlignCase{"left and right inside top/bottom",
                   {alLeft, alTop, alRight, alBottom},
                   {Rect(0, 10, 20, 90), Rect(0, 0, 200, 10), Rect(180, 10, 200, 90), Rect(0, 90, 200, 100)}},
        TAlignCase{"client takes the rest",
                   {alClient, alLeft, alTop},
                   {Rect(20, 10, 200, 100), Rect(0, 10, 20, 100), Rect(0, 0, 200, 10)}},
        TAlignCase{"none is left alone", {alNone, alClient}, {Rect(0, 0, 20, 10), Rect(0, 0, 200, 100)}}),
    [](const ::testing::TestParamInfo<TAlignCase>& Info) {
        std::string N = Info.param.Name;
        for (char& C : N)
            if (!std::isalnum(static_cast<unsigned char>(C)))
                C = '_';
        return N;
    });

TEST_F(ControlsTest, AlignFollowsResizeHideAndMoves)
{
    auto* Host = Add<TLogControl>("Host", 0, 0, 200, 100);
    auto* Top1 = Add<TLogGraphic>("Top1", 0, 0, 10, 10, Host);
    auto* Top2 = Add<TLogGraphic>("Top2", 0, 20, 10, 15, Host);
    auto* Client = Add<TLogControl>("Client", 0, 0, 10, 10, Host);
    Top1->SetAlign(alTop);
    Top2->SetAlign(alTop);
    Client->SetAlign(alClient);
    EXPECT_EQ(Client->BoundsRect(), Rect(0, 25, 200, 100));
    Host->SetBounds(0, 0, 300, 150);
    EXPECT_EQ(Client->BoundsRect(), Rect(0, 25, 300, 150));
    EXPECT_EQ(Top2->BoundsRect(), Rect(0, 10, 300, 25));
    // Moving the second bar above the first puts it first.
    Top2->SetTop(0);
    EXPECT_EQ(Top2->BoundsRect(), Rect(0, 0, 300, 15));
    EXPECT_EQ(Top1->BoundsRect(), Rect(0, 15, 300, 25));
    Top1->SetVisible(false);
    EXPECT_EQ(Client->BoundsRect(), Rect(0, 15, 300, 150));
    // While alignment is held back nothing moves; releasing it catches up once.
    Host->DisableAlign();
    Top1->SetVisible(true);
    EXPECT_EQ(Client->BoundsRect(), Rect(0, 15, 300, 150));
    Host->EnableAlign();
    EXPECT_EQ(Client->BoundsRect(), Rect(0, 25, 300, 150));
}

// ---- Painting ---------------------------------------------------------------------------------

TEST_F(ControlsTest, PaintsWindowedAndWindowlessControls)
{
    auto* Box = Add<TLogControl>("Box", 10, 10, 100, 60);
    Box->Fill = clRed;
    auto* Glyph = Add<TLogGraphic>("Glyph", 150, 20, 30, 30);
    Glyph->Fill = clBlue;
    Form->SetColor(clLime);
    ProcessMessages();
    auto Shot = RenderControl(Form);
    ASSERT_GT(Shot->Width(), 0);
    EXPECT_EQ(PixelAt(Shot.get(), 15, 15), clRed);
    EXPECT_EQ(PixelAt(Shot.get(), 160, 30), clBlue);
    EXPECT_EQ(PixelAt(Shot.get(), 300, 200), clLime);
    auto Part = RenderControl(Glyph);
    EXPECT_EQ(Part->Width(), 30);
    EXPECT_EQ(PixelAt(Part.get(), 0, 0), clBlue);
    // A windowless control below a windowed sibling stays under it.
    Glyph->SetBounds(20, 20, 30, 30);
    ProcessMessages();
    Shot = RenderControl(Form);
    EXPECT_EQ(PixelAt(Shot.get(), 25, 25), clRed);
}

TEST_F(ControlsTest, InvalidateRepaintsWithNewColour)
{
    auto* Box = Add<TLogControl>("Box", 10, 10, 50, 50);
    ProcessMessages();
    Box->Fill = clYellow;
    Box->Invalidate();
    ProcessMessages();
    auto Shot = RenderControl(Box);
    EXPECT_EQ(PixelAt(Shot.get(), 10, 10), clYellow);
}

// ---- Handles, visibility, properties ----------------------------------------------------------

TEST_F(ControlsTest, HandleMadeOnDemandAndRecreatedWithState)
{
    auto* Box = new TLogControl(Form);
    EXPECT_FALSE(Box->HandleAllocated());
    EXPECT_THROW(Box->HandleNeeded(), EInvalidOperation); // no parent window yet
    Box->SetParent(Form);
    Box->SetBounds(5, 6, 70, 30);
    Box->SetCaption("Hello");
    ProcessMessages();
    ASSERT_TRUE(Box->HandleAllocated());
    HWND Old = Box->Handle();
    EXPECT_EQ(GetWindowTextString(Old), "Hello");
    Box->RecreateWnd();
    EXPECT_TRUE(Box->HandleAllocated());
    EXPECT_NE(Box->Handle(), Old);
    EXPECT_FALSE(IsWindow(Old));
    EXPECT_EQ(Box->Caption(), "Hello");
    EXPECT_EQ(GetWindowTextString(Box->Handle()), "Hello");
    RECT R;
    GetWindowRect(Box->Handle(), &R);
    POINT P{R.left, R.top};
    ScreenToClient(Form->Handle(), &P);
    EXPECT_EQ(P.x, 5);
    EXPECT_EQ(P.y, 6);
    EXPECT_EQ(FindControl(Box->Handle()), Box);
}

TEST_F(ControlsTest, ShowingFollowsParentsAndVisible)
{
    auto* Panel = Add<TLogControl>("Panel", 0, 0, 100, 100);
    auto* Inner = Add<TLogControl>("Inner", 5, 5, 20, 20, Panel);
    ProcessMessages();
    EXPECT_TRUE(Inner->Showing());
    EXPECT_TRUE(IsWindowVisible(Inner->Handle()));
    Panel->SetVisible(false);
    EXPECT_FALSE(Inner->Showing());
    EXPECT_TRUE(Inner->Visible());
    EXPECT_FALSE(IsWindowVisible(Inner->Handle()));
    Panel->SetVisible(true);
    EXPECT_TRUE(Inner->Showing());
    EXPECT_TRUE(IsWindowVisible(Inner->Handle()));
}

TEST_F(ControlsTest, ParentFontColorAndShowHintFlowDown)
{
    auto* Panel = Add<TLogControl>("Panel", 0, 0, 100, 100);
    auto* Label = Add<TLogGraphic>("Label", 5, 5, 20, 20, Panel);
    Label->SetParentColor(true);
    Panel->Font()->SetName("Courier New");
    EXPECT_EQ(Label->Font()->Name(), "Courier New");
    EXPECT_TRUE(Label->ParentFont());
    Panel->SetColor(clAqua);
    EXPECT_EQ(Label->Color(), clAqua);
    Panel->SetShowHint(true);
    EXPECT_TRUE(Label->ShowHint());
    // A font of its own ends the inheritance.
    Label->Font()->SetSize(14);
    EXPECT_FALSE(Label->ParentFont());
    Panel->Font()->SetName("Arial");
    EXPECT_EQ(Label->Font()->Name(), "Courier New");
}

TEST_F(ControlsTest, ControlAtPosAndFindDragTarget)
{
    auto* Panel = Add<TLogControl>("Panel", 10, 10, 100, 100);
    auto* G = Add<TLogGraphic>("G", 150, 150, 20, 20);
    ProcessMessages();
    EXPECT_EQ(Form->ControlAtPos(Point(155, 155), false), G);
    EXPECT_EQ(Form->ControlAtPos(Point(20, 20), false), nullptr);
    EXPECT_EQ(Form->ControlAtPos(Point(20, 20), false, true), Panel);
    EXPECT_EQ(FindDragTarget(Form->ClientToScreen(Point(155, 155)), false), G);
    EXPECT_EQ(FindDragTarget(Form->ClientToScreen(Point(20, 20)), false), Panel);
    EXPECT_EQ(FindDragTarget(Form->ClientToScreen(Point(300, 250)), false), Form);
    G->SetEnabled(false);
    EXPECT_EQ(FindDragTarget(Form->ClientToScreen(Point(155, 155)), false), Form);
    EXPECT_EQ(FindDragTarget(Form->ClientToScreen(Point(155, 155)), true), G);
    EXPECT_EQ(Form->ControlCount(), 2);
    EXPECT_EQ(Form->Controls(0), G); // windowless first
    EXPECT_EQ(Form->Controls(1), Panel);
}

TEST_F(ControlsTest, ChildColourRequestsAreReflectedToTheChild)
{
    auto* Box = Add<TLogControl>("Box", 0, 0, 50, 20);
    Box->SetColor(clYellow);
    Box->Font()->SetColor(clNavy);
    HDC DC = CreateCompatibleDC(nullptr);
    LRESULT Brush = SendMessage(Form->Handle(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(DC),
                                reinterpret_cast<LPARAM>(Box->Handle()));
    EXPECT_NE(Brush, 0);
    EXPECT_EQ(GetTextColor(DC), ColorToColorRef(clNavy));
    EXPECT_EQ(GetBkColor(DC), ColorToColorRef(clYellow));
    DeleteDC(DC);
}

TEST_F(ControlsTest, BroadcastStopsAtTheFirstAnswer)
{
    auto* A = Add<TLogControl>("A", 0, 0, 10, 10);
    auto* B = Add<TLogControl>("B", 20, 0, 10, 10);
    int ReachedB = 0;
    A->WindowProc = [A](TMessage& M) {
        if (M.Msg == WM_USER + 5)
            M.Result = 7;
        else
            A->WndProc(M);
    };
    B->WindowProc = [B, &ReachedB](TMessage& M) {
        if (M.Msg == WM_USER + 5)
            ++ReachedB;
        else
            B->WndProc(M);
    };
    TMessage M{WM_USER + 5, 0, 0, 0};
    Form->Broadcast(M);
    EXPECT_EQ(M.Result, 7);
    EXPECT_EQ(ReachedB, 0);
}

TEST_F(ControlsTest, TabMovesFocusInTabOrderAndFiresEnterExit)
{
    auto* A = Add<TLogControl>("A", 0, 0, 10, 10);
    auto* B = Add<TLogControl>("B", 20, 0, 10, 10);
    auto* C = Add<TLogControl>("C", 40, 0, 10, 10);
    C->SetTabOrder(0); // C, A, B
    B->SetTabStop(false);
    std::vector<std::string> Focus;
    for (TWinControl* W :
         {static_cast<TWinControl*>(A), static_cast<TWinControl*>(B), static_cast<TWinControl*>(C)}) {
        std::string N = W->Name();
        W->OnEnter = [&Focus, N](TObject*) { Focus.push_back("enter " + N); };
        W->OnExit = [&Focus, N](TObject*) { Focus.push_back("exit " + N); };
    }
    ProcessMessages();
    C->SetFocus();
    ProcessMessages();
    EXPECT_TRUE(C->Focused());
    EXPECT_EQ(Form->ActiveControl(), C);
    PressKey(VK_TAB);
    EXPECT_TRUE(A->Focused());
    PressKey(VK_TAB); // B is no tab stop: back to C
    EXPECT_TRUE(C->Focused());
    EXPECT_EQ(Focus, (std::vector<std::string>{"enter C", "exit C", "enter A", "exit A", "enter C"}));
    EXPECT_EQ(ScreenInstance()->ActiveControl(), C);
}

TEST_F(ControlsTest, KeyEventsAndKeyPreview)
{
    auto* A = Add<TLogControl>("A", 0, 0, 10, 10);
    ProcessMessages();
    A->SetFocus();
    ProcessMessages();
    std::vector<std::string> Keys;
    A->OnKeyDown = [&](TObject*, WORD& Key, TShiftState) { Keys.push_back("down " + std::to_string(Key)); };
    A->OnKeyPress = [&](TObject*, char& Key) { Keys.push_back(std::string("press ") + Key); };
    A->OnKeyUp = [&](TObject*, WORD& Key, TShiftState) { Keys.push_back("up " + std::to_string(Key)); };
    PressKey('X', "x");
    EXPECT_EQ(Keys, (std::vector<std::string>{"down 88", "press x", "up 88"}));
    // With KeyPreview the form sees the key first and can swallow it.
    Keys.clear();
    Form->KeyPreview = true;
    Form->OnKeyDown = [&](TObject*, WORD& Key, TShiftState) {
        Keys.push_back("form " + std::to_string(Key));
        if (Key == 'Y')
            Key = 0;
    };
    PressKey('Y', "y");
    ASSERT_FALSE(Keys.empty());
    EXPECT_EQ(Keys[0], "form 89");
    EXPECT_EQ(std::count(Keys.begin(), Keys.end(), "down 89"), 0);
}

TEST_F(ControlsTest, AltLetterReachesControlsAsDialogChar)
{
    auto* A = Add<TLogControl>("A", 0, 0, 10, 10);
    auto* B = Add<TLogControl>("B", 20, 0, 10, 10);
    ProcessMessages();
    A->SetFocus();
    ProcessMessages();
    std::vector<WPARAM> Chars;
    B->WindowProc = [B, &Chars](TMessage& M) {
        if (M.Msg == CM_DIALOGCHAR) {
            Chars.push_back(M.WParam);
            M.Result = 1;
            return;
        }
        B->WndProc(M);
    };
    PressShortCut('K', TShiftState{ssAlt});
    ASSERT_EQ(Chars.size(), 1u);
    EXPECT_EQ(Chars[0] | 0x20, static_cast<WPARAM>('k'));
}

TEST_F(ControlsTest, CursorOfTheControlUnderThePointer)
{
    auto* G = Add<TLogGraphic>("G", 10, 10, 30, 30);
    G->SetCursor(crHandPoint);
    ProcessMessages();
    SendMouse(G, WM_MOUSEMOVE, 5, 5);
    EXPECT_EQ(GetCursor(), ScreenInstance()->Cursors(crHandPoint));
    SendMouse(Form, WM_MOUSEMOVE, 200, 200);
    EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_ARROW));
    ScreenInstance()->SetCursor(crHourGlass);
    SendMouse(G, WM_MOUSEMOVE, 6, 6);
    EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_WAIT));
    ScreenInstance()->SetCursor(crDefault);
}

// Logs the notifications the class library sends when a property of a control or of its
// parent changes.
template <class Base> class TNoticeLog : public Base {
public:
    using Base::Base;
    std::vector<std::string>* Log = nullptr;
    // Sees every message before the class's handlers do.
    void WndProc(TMessage& M) override
    {
        static const std::vector<std::pair<UINT, const char*>> Names = {
            {CM_ENABLEDCHANGED, "enabled"},
            {CM_VISIBLECHANGED, "visible"},
            {CM_SHOWINGCHANGED, "showing"},
            {CM_FONTCHANGED, "font"},
            {CM_PARENTFONTCHANGED, "parentfont"},
            {CM_COLORCHANGED, "color"},
            {CM_PARENTCOLORCHANGED, "parentcolor"},
            {CM_TEXTCHANGED, "text"},
            {CM_FOCUSCHANGED, "focus"},
            {CM_SYSCOLORCHANGE, "syscolor"},
            {CM_CURSORCHANGED, "cursor"},
            {CM_SHOWHINTCHANGED, "showhint"},
            {CM_PARENTSHOWHINTCHANGED, "parentshowhint"}};
        for (const auto& [Msg, Name] : Names)
            if (Log && M.Msg == Msg)
                Log->push_back(this->Name() + " " + Name);
        Base::WndProc(M);
    }

protected:
    void Paint() override {}
};

TEST_F(ControlsTest, PropertyChangesSendTheirNotificationsDownTheTree)
{
    auto* Panel = Add<TNoticeLog<TCustomControl>>("Panel", 10, 10, 200, 150);
    auto* Inner = Add<TNoticeLog<TCustomControl>>("Inner", 5, 5, 50, 50, Panel);
    auto* Glyph = Add<TNoticeLog<TGraphicControl>>("Glyph", 80, 5, 20, 20, Panel);
    Inner->SetParentColor(true);
    Glyph->SetParentColor(true);
    ProcessMessages();
    Panel->Log = Inner->Log = Glyph->Log = &Log;
    struct TCase {
        const char* What;
        std::function<void()> Change;
        std::vector<std::string> Expected;
    };
    std::vector<TCase> Cases = {
        {"disable", [&] { Panel->SetEnabled(false); }, {"Panel enabled"}},
        {"enable", [&] { Panel->SetEnabled(true); }, {"Panel enabled"}},
        {"same value again", [&] { Panel->SetEnabled(true); }, {}},
        {"caption", [&] { Panel->SetCaption("Files"); }, {"Panel text"}},
        {"font",
         [&] { Panel->Font()->SetName("Courier New"); },
         {"Panel font", "Glyph parentfont", "Glyph font", "Inner parentfont", "Inner font"}},
        {"colour",
         [&] { Panel->SetColor(clYellow); },
         {"Panel color", "Glyph parentcolor", "Glyph color", "Inner parentcolor", "Inner color"}},
        {"own colour stays",
         [&] {
             Inner->SetColor(clLime);
             Log.clear();
             Panel->SetColor(clAqua);
         },
         {"Panel color", "Glyph parentcolor", "Glyph color", "Inner parentcolor"}},
        {"show hint",
         [&] { Panel->SetShowHint(true); },
         {"Panel showhint", "Glyph parentshowhint", "Glyph showhint", "Inner parentshowhint",
          "Inner showhint"}},
        {"cursor", [&] { Glyph->SetCursor(crIBeam); }, {"Glyph cursor"}},
        {"hide", [&] { Panel->SetVisible(false); }, {"Panel visible", "Inner showing", "Panel showing"}},
        {"show", [&] { Panel->SetVisible(true); }, {"Panel visible", "Inner showing", "Panel showing"}},
        {"system colours",
         [&] { SendMessage(Form->Handle(), WM_SYSCOLORCHANGE, 0, 0); },
         {"Panel syscolor", "Glyph syscolor", "Inner syscolor"}},
    };
    for (TCase& C : Cases) {
        Log.clear();
        C.Change();
        EXPECT_EQ(Log, C.Expected) << C.What;
    }
    EXPECT_EQ(Inner->Color(), clLime);
    EXPECT_EQ(Glyph->Color(), clAqua);
    EXPECT_TRUE(Inner->Showing());

    // Focus moving inside the form is announced to every control on it.
    Log.clear();
    Inner->SetFocus();
    ProcessMessages();
    EXPECT_NE(std::find(Log.begin(), Log.end(), "Inner focus"), Log.end());
    EXPECT_NE(std::find(Log.begin(), Log.end(), "Glyph focus"), Log.end());
    Panel->Log = Inner->Log = Glyph->Log = nullptr;
}

// Counts its paints.
template <class Base> class TPaintCounter : public Base {
public:
    using Base::Base;
    int Paints = 0;

protected:
    void Paint() override { ++Paints; }
};

TEST_F(ControlsTest, RepaintPaintsAtOnceInvalidateWaitsForTheQueue)
{
    auto* Windowed = Add<TPaintCounter<TCustomControl>>("Windowed", 10, 10, 50, 50);
    auto* Windowless = Add<TPaintCounter<TGraphicControl>>("Windowless", 100, 10, 50, 50);
    ProcessMessages();
    for (TControl* C : std::vector<TControl*>{Windowed, Windowless}) {
        auto Count = [&] { return C == Windowed ? Windowed->Paints : Windowless->Paints; };
        int Before = Count();
        C->Invalidate();
        EXPECT_EQ(Count(), Before) << C->Name();
        C->Update(); // what is invalid is painted now
        EXPECT_EQ(Count(), Before + 1) << C->Name();
        C->Update(); // nothing left to paint
        EXPECT_EQ(Count(), Before + 1) << C->Name();
        C->Repaint();
        EXPECT_EQ(Count(), Before + 2) << C->Name();
        ProcessMessages();
        EXPECT_EQ(Count(), Before + 2) << C->Name();
        // Hidden, it neither paints nor asks to.
        C->SetVisible(false);
        ProcessMessages();
        C->Repaint();
        ProcessMessages();
        EXPECT_EQ(Count(), Before + 2) << C->Name();
        C->SetVisible(true);
        ProcessMessages();
    }
}

TEST(ShortHintTest, SplitsAtTheBar)
{
    EXPECT_EQ(GetShortHint("Open|Open a file"), "Open");
    EXPECT_EQ(GetLongHint("Open|Open a file"), "Open a file");
    EXPECT_EQ(GetShortHint("Plain"), "Plain");
    EXPECT_EQ(GetLongHint("Plain"), "Plain");
    EXPECT_EQ(GetLongHint("Short|"), "");
}

// A container that places every child itself hears of each child's move, size, visibility and
// coming and going; a plain container only of its aligned children.
class TPlacingPanel : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    bool PlacesAll = true;
    int Aligns = 0;

protected:
    bool PlacesEveryChild() const override { return PlacesAll; }
    void AlignControls(TControl* AControl, TRect& Rect) override
    {
        ++Aligns;
        TCustomControl::AlignControls(AControl, Rect);
    }
};

class PlacingParentTest : public controls_testing::TBuiltFormTest {};

TEST_F(PlacingParentTest, EveryChildChangeReachesAParentThatPlacesAll)
{
    for (bool PlacesAll : {true, false}) {
        SCOPED_TRACE(PlacesAll);
        auto* P = Add<TPlacingPanel>(PlacesAll ? "Placing" : "Plain", 10, 10, 200, 100);
        P->PlacesAll = PlacesAll;
        auto* Child = new TLogControl(Form);
        const struct {
            const char* What;
            std::function<void()> Do;
        } Steps[] = {
            {"insert", [&] { Child->SetParent(P); }},       {"move", [&] { Child->SetBounds(5, 5, 20, 20); }},
            {"resize", [&] { Child->SetWidth(30); }},       {"hide", [&] { Child->SetVisible(false); }},
            {"remove", [&] { Child->SetParent(nullptr); }},
        };
        for (const auto& S : Steps) {
            const int Before = P->Aligns;
            S.Do();
            EXPECT_EQ(P->Aligns > Before, PlacesAll) << S.What;
        }
        delete Child;
    }
}

} // namespace
