// The window table: creation and destruction, subclassing, SetWindowPos, non-client geometry
// and hit testing, focus and activation, rendering, the desktop overlay, scrolling, metrics.
#include "Recorder.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

using namespace wintest;

namespace {

class ModelTest : public WindowTest {};

TEST_F(ModelTest, CreationSendsNcCreateCalcSizeCreateThenSizeAndMove)
{
    HWND C = nullptr;
    HWND T = Top(10, 20, 300, 200, WS_POPUP);
    C = Child(T, 5, 6, 40, 30, WS_CHILD);
    EXPECT_EQ(MessagesOf(C), (std::vector<UINT>{WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE}));
    EXPECT_EQ(GetWindowTextString(C), "Child");
    RECT R;
    GetWindowRect(C, &R);
    EXPECT_EQ(R, Rect(15, 26, 55, 56)); // screen coordinates through the parent's client origin
    EXPECT_EQ(GetParent(C), T);
    EXPECT_EQ(GetWindow(T, GW_CHILD), C);
    // WM_CREATE answering -1 refuses the window.
    WNDCLASS Refuse;
    Refuse.lpfnWndProc = [](HWND W, UINT M, WPARAM WP, LPARAM LP) -> LRESULT {
        return M == WM_CREATE ? -1 : DefWindowProc(W, M, WP, LP);
    };
    Refuse.lpszClassName = "Refuse";
    RegisterClass(&Refuse);
    EXPECT_EQ(CreateWindowEx(0, "Refuse", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr),
              nullptr);
    EXPECT_EQ(
        CreateWindowEx(0, "NoSuchClass", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr),
        nullptr);
    EXPECT_EQ(CreateWindowEx(0, "TestWindow", "", WS_CHILD, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr),
              nullptr); // a child needs a parent
}

TEST_F(ModelTest, DestroySendsDestroyParentsFirstAndNcDestroyChildrenFirst)
{
    HWND T = Top();
    HWND C = Child(T, 0, 0, 10, 10);
    HWND G = Child(C, 0, 0, 5, 5);
    HWND Owned = CreateWindowEx(0, "TestWindow", "", WS_POPUP, 0, 0, 10, 10, T, nullptr, nullptr, nullptr);
    EXPECT_EQ(GetWindow(Owned, GW_OWNER), T);
    SetFocus(G);
    Log().clear();
    EXPECT_TRUE(DestroyWindow(T));
    std::vector<std::pair<HWND, UINT>> Seq;
    for (const TRecord& R : Log())
        if (R.Msg == WM_DESTROY || R.Msg == WM_NCDESTROY)
            Seq.emplace_back(R.Wnd, R.Msg);
    EXPECT_EQ(Seq, (std::vector<std::pair<HWND, UINT>>{{Owned, WM_DESTROY},
                                                       {Owned, WM_NCDESTROY},
                                                       {T, WM_DESTROY},
                                                       {C, WM_DESTROY},
                                                       {G, WM_DESTROY},
                                                       {G, WM_NCDESTROY},
                                                       {C, WM_NCDESTROY},
                                                       {T, WM_NCDESTROY}}));
    for (HWND W : {T, C, G, Owned})
        EXPECT_FALSE(IsWindow(W));
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_FALSE(DestroyWindow(T));
    EXPECT_EQ(SendMessage(T, WM_USER, 0, 0), 0);
    EXPECT_FALSE(PostMessage(T, WM_USER, 0, 0));
}

WNDPROC gOldProc = nullptr;
std::vector<UINT> gSubclassSaw;
LRESULT SubclassProc(HWND W, UINT M, WPARAM WP, LPARAM LP)
{
    gSubclassSaw.push_back(M);
    if (M == WM_USER + 1)
        return 42;
    return CallWindowProc(gOldProc, W, M, WP, LP);
}

TEST_F(ModelTest, SubclassingThroughGwlWndProcChainsToTheOldProcedure)
{
    HWND T = Top();
    gSubclassSaw.clear();
    gOldProc =
        reinterpret_cast<WNDPROC>(SetWindowLong(T, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
    EXPECT_EQ(gOldProc, &RecordingProc);
    EXPECT_EQ(GetWindowLong(T, GWL_WNDPROC), reinterpret_cast<LONG_PTR>(SubclassProc));
    Log().clear();
    EXPECT_EQ(SendMessage(T, WM_USER + 1, 0, 0), 42);
    EXPECT_EQ(SendMessage(T, WM_GETTEXTLENGTH, 0, 0), 3);
    EXPECT_EQ(gSubclassSaw, (std::vector<UINT>{WM_USER + 1, WM_GETTEXTLENGTH}));
    EXPECT_EQ(MessagesOf(T), (std::vector<UINT>{WM_GETTEXTLENGTH})); // only what was passed on

    // An object instance (a closure) works as a procedure too, and can be called directly.
    int Seen = 0;
    WNDPROC Inst = MakeObjectInstance([&](TMessage& M) {
        ++Seen;
        if (M.Msg == WM_USER + 2)
            M.Result = 7;
        else
            M.Result = CallWindowProc(SubclassProc, T, M.Msg, M.WParam, M.LParam);
    });
    ASSERT_NE(Inst, nullptr);
    SetWindowLong(T, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(Inst));
    EXPECT_EQ(SendMessage(T, WM_USER + 2, 0, 0), 7);
    EXPECT_EQ(Inst(T, WM_USER + 2, 0, 0), 7);
    EXPECT_EQ(SendMessage(T, WM_USER + 1, 0, 0), 42);
    EXPECT_EQ(Seen, 3);
    SetWindowLong(T, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(gOldProc));
    FreeObjectInstance(Inst);
    SendMessage(T, WM_USER + 2, 0, 0);
    EXPECT_EQ(Seen, 3);
}

TEST_F(ModelTest, WindowDataStylesPropsAndUserData)
{
    HWND T = Top(0, 0, 100, 100, WS_POPUP);
    SetWindowLong(T, GWL_USERDATA, 1234);
    EXPECT_EQ(GetWindowLong(T, GWL_USERDATA), 1234);
    int Data = 0;
    EXPECT_TRUE(SetProp(T, "Owner", &Data));
    EXPECT_EQ(GetProp(T, "OWNER"), &Data);
    EXPECT_EQ(RemoveProp(T, "owner"), &Data);
    EXPECT_EQ(GetProp(T, "Owner"), nullptr);
    Log().clear();
    LONG_PTR Old = SetWindowLong(T, GWL_STYLE, static_cast<LONG_PTR>(WS_POPUP | WS_BORDER));
    EXPECT_EQ(static_cast<DWORD>(Old), WS_POPUP);
    EXPECT_EQ(MessagesOf(T), (std::vector<UINT>{WM_STYLECHANGING, WM_STYLECHANGED}));
}

TEST_F(ModelTest, SetWindowPosSendsChangingCalcSizeChangedMoveSize)
{
    HWND T = Top();
    HWND C = Child(T, 10, 10, 50, 50);
    Log().clear();
    SetWindowPos(C, nullptr, 20, 30, 80, 40, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(MessagesOf(C), (std::vector<UINT>{WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, WM_WINDOWPOSCHANGED,
                                                WM_MOVE, WM_SIZE}));
    EXPECT_EQ(GET_X_LPARAM(FirstOf(C, WM_MOVE)->LParam), 20);
    EXPECT_EQ(LOWORD(static_cast<std::uintptr_t>(FirstOf(C, WM_SIZE)->LParam)), 80);
    // Only a move: no WM_NCCALCSIZE and no WM_SIZE.
    Log().clear();
    SetWindowPos(C, nullptr, 25, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(MessagesOf(C), (std::vector<UINT>{WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_MOVE}));
    // A frame change recomputes the client area; a new border moves and shrinks it.
    Log().clear();
    SetWindowLong(C, GWL_STYLE, static_cast<LONG_PTR>(WS_CHILD | WS_VISIBLE | WS_BORDER));
    SetWindowPos(C, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    EXPECT_EQ(
        MessagesOf(C, {WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE}),
        (std::vector<UINT>{WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE}));
    RECT CR;
    GetClientRect(C, &CR);
    EXPECT_EQ(CR, Rect(0, 0, 78, 38));
    // WM_WINDOWPOSCHANGING may change the position.
    Handlers()[C] = [](HWND, UINT M, WPARAM, LPARAM L, LRESULT*) {
        if (M == WM_WINDOWPOSCHANGING)
            reinterpret_cast<WINDOWPOS*>(L)->cx = 33;
        return false;
    };
    SetWindowPos(C, nullptr, 0, 0, 100, 100, SWP_NOZORDER);
    RECT R;
    GetWindowRect(C, &R);
    EXPECT_EQ(R.right - R.left, 33);
    EXPECT_EQ(R.bottom - R.top, 100);
}

TEST_F(ModelTest, ZOrderHideAndShowThroughSetWindowPos)
{
    HWND T = Top();
    HWND A = Child(T, 0, 0, 10, 10);
    HWND B = Child(T, 0, 0, 10, 10);
    EXPECT_EQ(GetWindow(T, GW_CHILD), B); // the newest is on top
    EXPECT_EQ(GetWindow(B, GW_HWNDNEXT), A);
    SetWindowPos(A, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(GetWindow(T, GW_CHILD), A);
    SetWindowPos(A, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(GetWindow(T, GW_CHILD), B);
    SetWindowPos(B, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_FALSE(IsWindowVisible(B));
    Log().clear();
    ShowWindow(B, SW_SHOWNA);
    EXPECT_TRUE(IsWindowVisible(B));
    EXPECT_EQ(MessagesOf(B, {WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED}),
              (std::vector<UINT>{WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED}));
    ShowWindow(T, SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(B)); // a hidden parent hides its children
    // Topmost windows stay above the others.
    HWND P = Top(0, 0, 50, 50, WS_POPUP | WS_VISIBLE, WS_EX_TOPMOST);
    HWND Q = Top(0, 0, 50, 50, WS_POPUP | WS_VISIBLE);
    EXPECT_EQ(GetTopWindow(nullptr), P);
    EXPECT_EQ(GetWindow(P, GW_HWNDNEXT), Q);
    // Owned windows stay above their owner when it comes to the top.
    HWND Owner = Top(0, 0, 50, 50, WS_POPUP | WS_VISIBLE);
    HWND Owned = CreateWindowEx(0, "TestWindow", "", WS_POPUP | WS_VISIBLE, 0, 0, 20, 20, Owner, nullptr,
                                nullptr, nullptr);
    HWND Other = Top(0, 0, 50, 50, WS_POPUP | WS_VISIBLE);
    EXPECT_EQ(GetWindow(P, GW_HWNDNEXT), Other);
    SetActiveWindow(Owner);
    EXPECT_EQ(GetWindow(P, GW_HWNDNEXT), Owned);
    EXPECT_EQ(GetWindow(Owned, GW_HWNDNEXT), Owner);
    EXPECT_EQ(GetParent(Owned), Owner); // a pop-up's parent is its owner
}

TEST_F(ModelTest, MaximiseMinimiseAndRestore)
{
    HWND T = Top(100, 100, 300, 200);
    ShowWindow(T, SW_MAXIMIZE);
    EXPECT_TRUE(IsZoomed(T));
    RECT R, Work;
    GetWindowRect(T, &R);
    SystemParametersInfo(SPI_GETWORKAREA, 0, &Work, 0);
    EXPECT_EQ(R, Rect(Work.left - 4, Work.top - 4, Work.right + 4, Work.bottom + 4));
    EXPECT_EQ(SendMessage(T, WM_NCHITTEST, 0, PointToLParam(R.left + 1, R.top + 100)), HTBORDER); // no sizing
    WINDOWPLACEMENT WP;
    ASSERT_TRUE(GetWindowPlacement(T, &WP));
    EXPECT_EQ(WP.showCmd, static_cast<UINT>(SW_SHOWMAXIMIZED));
    EXPECT_EQ(WP.rcNormalPosition, Rect(100, 100, 400, 300));
    ShowWindow(T, SW_RESTORE);
    EXPECT_FALSE(IsZoomed(T));
    GetWindowRect(T, &R);
    EXPECT_EQ(R, Rect(100, 100, 400, 300));
    ShowWindow(T, SW_MINIMIZE);
    EXPECT_TRUE(IsIconic(T));
    EXPECT_TRUE(IsWindowVisible(T));
    SendMessage(T, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_FALSE(IsIconic(T));
    GetWindowRect(T, &R);
    EXPECT_EQ(R, Rect(100, 100, 400, 300));
}

// ---- non-client ------------------------------------------------------------------------------

struct THitCase {
    const char* Name;
    DWORD Style;
    DWORD ExStyle;
    int X, Y; // relative to the window's top-left
    int Expected;
};

TEST_F(ModelTest, DefaultHitTestClassifiesEveryPartOfTheFrame)
{
    const DWORD Over = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
    const THitCase Cases[] = {
        {"client", Over, 0, 150, 100, HTCLIENT},
        {"caption", Over, 0, 100, 10, HTCAPTION},
        {"close button", Over, 0, 300 - 4 - 2 - 8, 4 + 2 + 5, HTCLOSE},
        {"maximise button", Over, 0, 300 - 4 - 2 - 16 - 2 - 8, 4 + 2 + 5, HTMAXBUTTON},
        {"minimise button", Over, 0, 300 - 4 - 2 - 16 - 2 - 16 - 8, 4 + 2 + 5, HTMINBUTTON},
        {"system menu", Over, 0, 4 + 4, 4 + 4, HTSYSMENU},
        {"left edge", Over, 0, 1, 100, HTLEFT},
        {"right edge", Over, 0, 298, 100, HTRIGHT},
        {"top edge", Over, 0, 150, 1, HTTOP},
        {"bottom edge", Over, 0, 150, 198, HTBOTTOM},
        {"top-left", Over, 0, 1, 1, HTTOPLEFT},
        {"top-right corner zone", Over, 0, 298, 10, HTTOPRIGHT},
        {"bottom-left", Over, 0, 10, 198, HTBOTTOMLEFT},
        {"bottom-right", Over, 0, 298, 198, HTBOTTOMRIGHT},
        {"outside", Over, 0, 310, 100, HTNOWHERE},
        {"thin border", WS_POPUP | WS_BORDER | WS_VISIBLE, 0, 0, 100, HTBORDER},
        {"client edge", WS_POPUP | WS_VISIBLE, WS_EX_CLIENTEDGE, 1, 100, HTBORDER},
        {"no frame at all", WS_POPUP | WS_VISIBLE, 0, 0, 0, HTCLIENT},
        {"vertical scroll bar", WS_POPUP | WS_VSCROLL | WS_VISIBLE, 0, 290, 100, HTVSCROLL},
        {"horizontal scroll bar", WS_POPUP | WS_HSCROLL | WS_VISIBLE, 0, 100, 190, HTHSCROLL},
        {"size box", WS_POPUP | WS_VSCROLL | WS_HSCROLL | WS_VISIBLE, 0, 290, 190, HTGROWBOX},
        {"tool window caption", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, WS_EX_TOOLWINDOW, 50, 8,
         HTCAPTION},
        {"tool window close", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, WS_EX_TOOLWINDOW,
         300 - 3 - 2 - 5, 3 + 2 + 4, HTCLOSE},
    };
    for (const THitCase& C : Cases) {
        HWND W = Top(100, 100, 300, 200, C.Style, C.ExStyle);
        LRESULT Hit = SendMessage(W, WM_NCHITTEST, 0, PointToLParam(100 + C.X, 100 + C.Y));
        EXPECT_EQ(Hit, C.Expected) << C.Name;
        DestroyWindow(W);
    }
}

TEST_F(ModelTest, ClientAreaFollowsFrameCaptionAndAdjustWindowRect)
{
    struct {
        DWORD Style, ExStyle;
        RECT Client; // in window coordinates
    } const Cases[] = {
        {WS_OVERLAPPEDWINDOW, 0, Rect(4, 23, 296, 196)},
        {WS_POPUP | WS_CAPTION, 0, Rect(3, 22, 297, 197)},
        {WS_POPUP | WS_BORDER, WS_EX_CLIENTEDGE, Rect(3, 3, 297, 197)},
        {WS_POPUP | WS_CAPTION | WS_THICKFRAME, WS_EX_TOOLWINDOW, Rect(4, 19, 296, 196)},
        {WS_POPUP | WS_VSCROLL | WS_HSCROLL, 0, Rect(0, 0, 284, 184)},
    };
    for (const auto& C : Cases) {
        HWND W = Top(100, 100, 300, 200, C.Style, C.ExStyle);
        RECT CR;
        GetClientRect(W, &CR);
        POINT O{0, 0};
        ClientToScreen(W, &O);
        EXPECT_EQ(Bounds(O.x - 100, O.y - 100, CR.right, CR.bottom), C.Client) << C.Style;
        RECT A = Bounds(0, 0, CR.right, CR.bottom);
        AdjustWindowRectEx(&A, C.Style, FALSE, C.ExStyle);
        EXPECT_EQ(A.right - A.left, 300);
        EXPECT_EQ(A.bottom - A.top, 200);
        DestroyWindow(W);
    }
}

TEST_F(ModelTest, CustomNcCalcSizeAndHitTestOverrideTheDefaults)
{
    HWND T = Top(100, 100, 100, 60, WS_POPUP);
    Handlers()[T] = [](HWND, UINT M, WPARAM, LPARAM L, LRESULT* R) {
        if (M == WM_NCCALCSIZE) {
            InflateRect(reinterpret_cast<RECT*>(L), -2, -2);
            reinterpret_cast<RECT*>(L)->top += 9;
            *R = 0;
            return true;
        }
        return false;
    };
    SetWindowPos(T, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    RECT CR;
    GetClientRect(T, &CR);
    EXPECT_EQ(CR, Rect(0, 0, 96, 47));
    // The default hit test gives nowhere for the custom frame of a window without border styles.
    EXPECT_EQ(SendMessage(T, WM_NCHITTEST, 0, PointToLParam(101, 105)), HTNOWHERE);
    EXPECT_EQ(SendMessage(T, WM_NCHITTEST, 0, PointToLParam(110, 115)), HTCLIENT);
}

// ---- focus and activation ---------------------------------------------------------------------

TEST_F(ModelTest, SetFocusSendsKillFocusThenSetFocus)
{
    HWND T = Top();
    HWND A = Child(T, 0, 0, 10, 10);
    HWND B = Child(T, 20, 0, 10, 10);
    SetFocus(A);
    EXPECT_EQ(GetFocus(), A);
    EXPECT_EQ(GetActiveWindow(), T);
    Log().clear();
    EXPECT_EQ(SetFocus(B), A);
    std::vector<std::pair<HWND, UINT>> Seq;
    for (const TRecord& R : Log())
        if (R.Msg == WM_SETFOCUS || R.Msg == WM_KILLFOCUS)
            Seq.emplace_back(R.Wnd, R.Msg);
    EXPECT_EQ(Seq, (std::vector<std::pair<HWND, UINT>>{{A, WM_KILLFOCUS}, {B, WM_SETFOCUS}}));
    EXPECT_EQ(reinterpret_cast<HWND>(FirstOf(B, WM_SETFOCUS)->WParam), A);
    // A disabled window cannot take the focus.
    EnableWindow(A, FALSE);
    EXPECT_EQ(SetFocus(A), nullptr);
    EXPECT_EQ(GetFocus(), B);
    // Disabling the focus window drops the focus.
    EnableWindow(B, FALSE);
    EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(ModelTest, ActivationMovesBetweenTopLevelWindowsWithTheirMessages)
{
    HWND A = Top(0, 0, 100, 100);
    HWND B = Top(200, 0, 100, 100);
    EXPECT_EQ(GetActiveWindow(), B); // showing activates
    Log().clear();
    EXPECT_EQ(SetActiveWindow(A), B);
    std::vector<std::pair<HWND, UINT>> Seq;
    for (const TRecord& R : Log())
        if (R.Msg == WM_ACTIVATE || R.Msg == WM_NCACTIVATE)
            Seq.emplace_back(R.Wnd, R.Msg);
    EXPECT_EQ(Seq, (std::vector<std::pair<HWND, UINT>>{
                       {B, WM_NCACTIVATE}, {B, WM_ACTIVATE}, {A, WM_NCACTIVATE}, {A, WM_ACTIVATE}}));
    EXPECT_EQ(LOWORD(FirstOf(B, WM_ACTIVATE)->WParam), WA_INACTIVE);
    EXPECT_EQ(LOWORD(FirstOf(A, WM_ACTIVATE)->WParam), WA_ACTIVE);
    EXPECT_EQ(GetFocus(), A); // the default WM_ACTIVATE gives the window the focus
    // The program losing activation as a whole: WM_ACTIVATEAPP, and no active window.
    Log().clear();
    SetApplicationActive(false);
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_TRUE(FirstOf(A, WM_ACTIVATEAPP) && FirstOf(B, WM_ACTIVATEAPP));
    SetApplicationActive(true);
    EXPECT_EQ(GetActiveWindow(), A);
    // SetForegroundWindow brings the program back to the front with that window active.
    SetApplicationActive(false);
    EXPECT_EQ(GetForegroundWindow(), nullptr);
    EXPECT_TRUE(SetForegroundWindow(B));
    EXPECT_EQ(GetActiveWindow(), B);
    EXPECT_EQ(GetForegroundWindow(), B);
    EXPECT_FALSE(SetForegroundWindow(reinterpret_cast<HWND>(0x7777)));
    SetActiveWindow(A);
    // Hiding the active window activates another.
    ShowWindow(A, SW_HIDE);
    EXPECT_EQ(GetActiveWindow(), B);
}

TEST_F(ModelTest, ClickOnInactiveWindowAsksMouseActivate)
{
    HWND A = Top(0, 0, 100, 100);
    HWND B = Top(200, 0, 100, 100);
    HWND BC = Child(B, 0, 0, 50, 50);
    SetActiveWindow(A);
    ProcessPendingMessages();
    Log().clear();
    SimulateClick(BC, 5, 5);
    ProcessPendingMessages();
    // The child asks its parent first (the default), then the window activates as a click.
    EXPECT_EQ(MessagesOf(0, {WM_MOUSEACTIVATE}), (std::vector<UINT>{WM_MOUSEACTIVATE, WM_MOUSEACTIVATE}));
    EXPECT_EQ(FirstOf(BC, WM_MOUSEACTIVATE)->WParam, reinterpret_cast<WPARAM>(B));
    EXPECT_EQ(GetActiveWindow(), B);
    EXPECT_EQ(LOWORD(FirstOf(B, WM_ACTIVATE)->WParam), WA_CLICKACTIVE);
    EXPECT_TRUE(FirstOf(BC, WM_LBUTTONDOWN));
    // MA_NOACTIVATE leaves activation alone and still delivers the click; ...ANDEAT swallows it.
    SetActiveWindow(A);
    for (LRESULT Answer : {LRESULT(MA_NOACTIVATE), LRESULT(MA_NOACTIVATEANDEAT)}) {
        Handlers()[B] = [Answer](HWND, UINT M, WPARAM, LPARAM, LRESULT* R) {
            if (M != WM_MOUSEACTIVATE)
                return false;
            *R = Answer;
            return true;
        };
        Log().clear();
        AdvanceTestClock(1000); // not a double click
        SimulateClick(BC, 5, 5);
        ProcessPendingMessages();
        EXPECT_EQ(GetActiveWindow(), A);
        EXPECT_EQ(FirstOf(BC, WM_LBUTTONDOWN) != nullptr, Answer == MA_NOACTIVATE);
    }
}

TEST_F(ModelTest, EnumerationAndLookups)
{
    HWND A = Top(0, 0, 100, 100);
    HWND B = Top(200, 0, 100, 100);
    HWND C = Child(A, 0, 0, 10, 10);
    HWND Msg =
        CreateWindowEx(0, "TestWindow", "hidden", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_TRUE(Msg);
    std::vector<HWND> Seen;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND W, LPARAM P) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(P)->push_back(W);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&Seen));
    EXPECT_EQ(Seen, (std::vector<HWND>{B, A})); // z-order; message-only windows are not listed
    // The check the controls use to know whether their program is active.
    struct TFind {
        HWND Active;
        bool Found;
    } F{GetActiveWindow(), false};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND W, LPARAM P) -> BOOL {
            auto* X = reinterpret_cast<TFind*>(P);
            if (W == X->Active) {
                X->Found = true;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&F));
    EXPECT_TRUE(F.Found);
    EXPECT_EQ(FindWindowEx(nullptr, nullptr, "testwindow", "Top"), B);
    EXPECT_EQ(FindWindowEx(nullptr, B, "TestWindow", nullptr), A);
    EXPECT_EQ(FindWindowEx(A, nullptr, nullptr, "Child"), C);
    EXPECT_EQ(FindWindowEx(HWND_MESSAGE, nullptr, nullptr, "hidden"), Msg);
    EXPECT_EQ(WindowFromPoint(POINT{205, 50}), B);
    POINT ChildPt{5, 5};
    ClientToScreen(A, &ChildPt);
    EXPECT_EQ(WindowFromPoint(ChildPt), C);
    EXPECT_EQ(ChildWindowFromPoint(A, POINT{5, 5}), C);
    EXPECT_EQ(ChildWindowFromPoint(A, POINT{50, 50}), A);
    EXPECT_EQ(ChildWindowFromPoint(A, POINT{-5, 5}), nullptr);
    POINT P{0, 0}, CO{0, 0}, BO{0, 0};
    MapWindowPoints(C, B, &P, 1);
    ClientToScreen(C, &CO);
    ClientToScreen(B, &BO);
    EXPECT_EQ(P, Point(CO.x - BO.x, CO.y - BO.y));
}

TEST_F(ModelTest, AllocateHWndRunsTheClosureAndReceivesBroadcasts)
{
    std::vector<UINT> Got;
    HWND U = AllocateHWnd([&](TMessage& M) {
        Got.push_back(M.Msg);
        M.Result = DefWindowProc(nullptr, M.Msg, M.WParam, M.LParam);
    });
    ASSERT_TRUE(U);
    EXPECT_FALSE(IsWindowVisible(U));
    PostMessage(U, 0xB040, 0, WM_LBUTTONDOWN);
    SendMessage(HWND_BROADCAST, WM_WININICHANGE, 0, 0);
    ProcessPendingMessages();
    EXPECT_EQ(Got, (std::vector<UINT>{WM_WININICHANGE, 0xB040}));
    DeallocateHWnd(U);
    EXPECT_FALSE(IsWindow(U));
}

// ---- rendering ---------------------------------------------------------------------------------

TEST_F(ModelTest, RenderingComposesFrameClientAndClippedChildren)
{
    HWND T = Top(50, 50, 200, 150, WS_POPUP | WS_BORDER | WS_VISIBLE);
    HWND C = Child(T, 150, 20, 100, 30); // reaches past the parent's right edge
    Handlers()[C] = [](HWND W, UINT M, WPARAM, LPARAM, LRESULT* R) {
        if (M != WM_PAINT)
            return false;
        PAINTSTRUCT PS;
        HDC DC = BeginPaint(W, &PS);
        RECT All = Bounds(0, 0, 100, 30);
        HBRUSH Brush = CreateSolidBrush(RGB(0, 0, 255));
        FillRect(DC, &All, Brush);
        DeleteObject(Brush);
        EndPaint(W, &PS);
        *R = 0;
        return true;
    };
    TDibImage I = CaptureWindowImage(T);
    ASSERT_EQ(I.Width, 200);
    ASSERT_EQ(I.Height, 150);
    EXPECT_EQ(PixelAt(I, 0, 0), Rgb(GetSysColor(COLOR_WINDOWFRAME)));            // the one-pixel border
    EXPECT_EQ(PixelAt(I, 10, 10), Rgb(GetSysColor(COLOR_WINDOW)));               // the class brush
    EXPECT_EQ(PixelAt(I, 1 + 150 + 5, 1 + 20 + 5), 0x0000FFu);                   // the child
    EXPECT_EQ(PixelAt(I, 199, 1 + 20 + 5), Rgb(GetSysColor(COLOR_WINDOWFRAME))); // clipped at the client edge
    TDibImage CI = CaptureWindowImage(T, true);
    EXPECT_EQ(CI.Width, 198);
    EXPECT_EQ(PixelAt(CI, 150 + 5, 20 + 5), 0x0000FFu);
    // A hidden child is not shown.
    ShowWindow(C, SW_HIDE);
    I = CaptureWindowImage(T);
    EXPECT_EQ(PixelAt(I, 1 + 150 + 5, 1 + 20 + 5), Rgb(GetSysColor(COLOR_WINDOW)));
    // A window not shown yet still renders, its pending paints run for the capture.
    HWND Hidden = Top(0, 0, 40, 40, WS_POPUP);
    HWND HiddenKid = Child(Hidden, 0, 0, 20, 20);
    Handlers()[HiddenKid] = Handlers()[C];
    I = CaptureWindowImage(Hidden);
    EXPECT_EQ(PixelAt(I, 5, 5), 0x0000FFu);
    EXPECT_EQ(PixelAt(I, 30, 30), Rgb(GetSysColor(COLOR_WINDOW)));
    // PrintWindow draws the same into any DC.
    HDC Mem = CreateCompatibleDC(nullptr);
    HBITMAP Bmp = CreateBitmap(200, 150, 1, 32, nullptr);
    HGDIOBJ Old = SelectObject(Mem, Bmp);
    EXPECT_TRUE(PrintWindow(T, Mem, 0));
    EXPECT_EQ(GetPixel(Mem, 10, 10), GetSysColor(COLOR_WINDOW));
    SelectObject(Mem, Old);
    DeleteObject(Bmp);
    DeleteDC(Mem);
}

TEST_F(ModelTest, CaptionIsPaintedActiveOrInactive)
{
    HWND A = Top(0, 0, 200, 100, WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE);
    HWND B = Top(300, 0, 200, 100, WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE);
    TDibImage IA = CaptureWindowImage(A), IB = CaptureWindowImage(B);
    EXPECT_EQ(PixelAt(IB, 100, 3 + 2), Rgb(GetSysColor(COLOR_ACTIVECAPTION)));
    EXPECT_EQ(PixelAt(IA, 100, 3 + 2), Rgb(GetSysColor(COLOR_INACTIVECAPTION)));
}

TEST_F(ModelTest, DesktopOverlayTakesXorFramesAndEraseRestoresIt)
{
    ASSERT_TRUE(LockWindowUpdate(GetDesktopWindow()));
    HDC DC = GetDCEx(GetDesktopWindow(), nullptr, DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE);
    ASSERT_TRUE(DC);
    PatBlt(DC, 100, 100, 50, 4, DSTINVERT);
    ReleaseDC(GetDesktopWindow(), DC);
    TDibImage O = CaptureDesktopOverlay();
    EXPECT_EQ(O.Width, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(PixelAt(O, 120, 101), 0xFFFFFFu);
    EXPECT_EQ(PixelAt(O, 120, 110), 0u);
    DC = GetDC(nullptr);
    PatBlt(DC, 100, 100, 50, 4, DSTINVERT);
    ReleaseDC(nullptr, DC);
    EXPECT_EQ(PixelAt(CaptureDesktopOverlay(), 120, 101), 0u);
    LockWindowUpdate(nullptr);
}

// The overlay window shows exactly while the overlay holds pixels, whatever drew them; desktop
// DCs that only measure text in between change nothing.
TEST_F(ModelTest, DesktopOverlayShowsWhileAnyDrawingPathLeftPixels)
{
    auto Measure = [] {
        HDC DC = GetDC(nullptr);
        SIZE Size{};
        GetTextExtentPoint32(DC, "Measure", 7, &Size);
        ReleaseDC(nullptr, DC);
        return Size.cx;
    };
    auto InvertBlt = [](HDC DC) {
        HDC Mem = CreateCompatibleDC(DC);
        HBITMAP Bmp = CreateCompatibleBitmap(DC, 16, 16);
        HGDIOBJ Old = SelectObject(Mem, Bmp);
        PatBlt(Mem, 0, 0, 16, 16, WHITENESS);
        BitBlt(DC, GetSystemMetrics(SM_CXSCREEN) - 20, 40, 16, 16, Mem, 0, 0, SRCINVERT);
        SelectObject(Mem, Old);
        DeleteObject(Bmp);
        DeleteDC(Mem);
    };
    struct TCase {
        const char* Name;
        std::function<void(HDC)> Draw, Erase;
    };
    // Spread over the screen, the bottom right corner included.
    const int Cx = GetSystemMetrics(SM_CXSCREEN), Cy = GetSystemMetrics(SM_CYSCREEN);
    RECT Box = Bounds(Cx / 2, Cy / 2, 40, 30);
    auto NotLine = [&](HDC DC) {
        SetROP2(DC, R2_NOT);
        MoveToEx(DC, 5, Cy - 3, nullptr);
        LineTo(DC, Cx - 5, Cy - 3);
    };
    const TCase Cases[] = {
        {"PatBlt", [](HDC DC) { PatBlt(DC, 100, 100, 50, 4, DSTINVERT); },
         [](HDC DC) { PatBlt(DC, 100, 100, 50, 4, DSTINVERT); }},
        {"focus rectangle", [&](HDC DC) { DrawFocusRect(DC, &Box); },
         [&](HDC DC) { DrawFocusRect(DC, &Box); }},
        {"line", NotLine, NotLine},
        {"one pixel", [&](HDC DC) { SetPixel(DC, Cx - 1, Cy - 1, RGB(1, 0, 0)); },
         [&](HDC DC) { SetPixel(DC, Cx - 1, Cy - 1, RGB(0, 0, 0)); }},
        {"text",
         [](HDC DC) {
             SetBkMode(DC, TRANSPARENT);
             SetTextColor(DC, RGB(255, 255, 255));
             TextOut(DC, 600, 500, "XOR", 3);
         },
         [](HDC DC) { PatBlt(DC, 590, 490, 100, 60, BLACKNESS); }},
        {"blt from a bitmap", InvertBlt, InvertBlt},
    };
    ASSERT_GT(Measure(), 0);
    EXPECT_FALSE(DesktopOverlayShown());
    for (const TCase& C : Cases) {
        HDC DC = GetDC(nullptr);
        C.Draw(DC);
        ReleaseDC(nullptr, DC);
        EXPECT_TRUE(DesktopOverlayShown()) << C.Name;
        Measure();
        EXPECT_TRUE(DesktopOverlayShown()) << C.Name << ", after measuring";
        DC = GetDC(nullptr);
        C.Erase(DC);
        ReleaseDC(nullptr, DC);
        EXPECT_FALSE(DesktopOverlayShown()) << C.Name << ", erased";
        Measure();
        EXPECT_FALSE(DesktopOverlayShown()) << C.Name << ", erased and measured";
    }
}

TEST_F(ModelTest, ScrollWindowMovesPixelsAndInvalidatesTheUncoveredStrip)
{
    HWND T = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
    HWND C = Child(T, 10, 10, 20, 20);
    ProcessPendingMessages();
    HDC DC = GetDC(T);
    RECT Mark = Bounds(0, 50, 100, 10);
    HBRUSH Red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(DC, &Mark, Red);
    DeleteObject(Red);
    ReleaseDC(T, DC);
    ValidateRect(T, nullptr);
    ScrollWindow(T, 0, -20, nullptr, nullptr);
    RECT U;
    ASSERT_TRUE(GetUpdateRect(T, &U, FALSE));
    EXPECT_EQ(U, Rect(0, 80, 100, 100));
    RECT CR;
    GetWindowRect(C, &CR);
    EXPECT_EQ(CR.top, -10); // children move with a whole-window scroll
    Handlers()[T] = [](HWND W, UINT M, WPARAM, LPARAM, LRESULT* R) {
        if (M != WM_PAINT)
            return false;
        ValidateRect(W, nullptr);
        *R = 0;
        return true;
    };
    ShowWindow(C, SW_HIDE);
    TDibImage I = CaptureWindowImage(T);
    EXPECT_EQ(PixelAt(I, 50, 35), 0xFF0000u);
    EXPECT_NE(PixelAt(I, 50, 55), 0xFF0000u);
}

TEST_F(ModelTest, CaretShowsInTheCompositionOnlyWhenShown)
{
    HWND T = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
    ASSERT_TRUE(CreateCaret(T, nullptr, 2, 12));
    SetCaretPos(10, 20);
    POINT P;
    GetCaretPos(&P);
    EXPECT_EQ(P, Point(10, 20));
    EXPECT_TRUE(ShowCaret(T));
    EXPECT_TRUE(HideCaret(T));
    EXPECT_TRUE(HideCaret(T));
    EXPECT_TRUE(ShowCaret(T)); // nested: still hidden
    EXPECT_TRUE(ShowCaret(T));
    EXPECT_FALSE(ShowCaret(T)); // not hidden any more
    EXPECT_TRUE(DestroyCaret());
    EXPECT_FALSE(GetCaretPos(&P));
}

// ---- metrics -----------------------------------------------------------------------------------

TEST_F(ModelTest, MetricsAndParametersComeFromTheFixedTables)
{
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
    EXPECT_EQ(GetSystemMetrics(SM_CYSMCAPTION), 15);
    EXPECT_EQ(GetSystemMetrics(SM_CXFRAME), 4);
    EXPECT_EQ(GetSystemMetrics(SM_CXDLGFRAME), 3);
    RECT Work;
    ASSERT_TRUE(SystemParametersInfo(SPI_GETWORKAREA, 0, &Work, 0));
    EXPECT_EQ(Work, Rect(0, 0, 1024, 740));
    static_assert(sizeof(NONCLIENTMETRICS) == 340, "the record the hint window reads");
    NONCLIENTMETRICS M;
    ASSERT_TRUE(SystemParametersInfo(SPI_GETNONCLIENTMETRICS, 340, &M, 0));
    EXPECT_STREQ(M.lfStatusFont.lfFaceName, "MS Sans Serif");
    EXPECT_EQ(M.lfStatusFont.lfHeight, -11);
    EXPECT_EQ(M.lfStatusFont.lfWeight, FW_NORMAL);
    M.cbSize = 12;
    EXPECT_FALSE(SystemParametersInfo(SPI_GETNONCLIENTMETRICS, 12, &M, 0));
}

} // namespace

namespace {

// The edit class's styles, notifications and messages come with the window layer, so code that
// builds an edit window needs no control header.
TEST(EditDeclarations, StylesAndNotificationsAreDistinctAndLimitMessagesPair)
{
    static_assert(EM_SETLIMITTEXT == EM_LIMITTEXT);
    static_assert(EM_GETLIMITTEXT == EM_GETMARGINS + 1);
    const DWORD Styles[] = {ES_CENTER,   ES_RIGHT,       ES_MULTILINE,   ES_UPPERCASE, ES_LOWERCASE,
                            ES_PASSWORD, ES_AUTOVSCROLL, ES_AUTOHSCROLL, ES_NOHIDESEL, ES_OEMCONVERT,
                            ES_READONLY, ES_WANTRETURN,  ES_NUMBER};
    DWORD Seen = ES_LEFT;
    for (DWORD S : Styles) {
        EXPECT_EQ(Seen & S, 0u) << S;
        Seen |= S;
    }
    EXPECT_EQ(Seen & 0xFFFF0000u, 0u); // clear of the WS_* bits
    const WORD Codes[] = {EN_SETFOCUS, EN_KILLFOCUS, EN_CHANGE,  EN_UPDATE,
                          EN_ERRSPACE, EN_MAXTEXT,   EN_HSCROLL, EN_VSCROLL};
    std::vector<WORD> Sorted(std::begin(Codes), std::end(Codes));
    std::sort(Sorted.begin(), Sorted.end());
    EXPECT_EQ(std::adjacent_find(Sorted.begin(), Sorted.end()), Sorted.end());
}

} // namespace
