// The queue: input through the host widgets, send and post order, hooks, filters, capture,
// timers on the test clock, paint messages from update regions.
#include "Recorder.h"

using namespace wintest;

namespace {

const std::vector<UINT> kButtons = {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN,
                                    WM_RBUTTONUP};

class QueueTest : public WindowTest {};

TEST_F(QueueTest, ClickOnChildArrivesAsDownThenUpInClientCoordinates)
{
    HWND T = Top();
    HWND C = Child(T, 20, 30, 100, 50);
    ProcessPendingMessages();
    Log().clear();
    ASSERT_TRUE(SimulateMouse(C, WM_LBUTTONDOWN, 7, 9));
    ASSERT_TRUE(SimulateMouse(C, WM_LBUTTONUP, 7, 9));
    ProcessPendingMessages();
    EXPECT_EQ(MessagesOf(C, kButtons), (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP}));
    EXPECT_TRUE(MessagesOf(T, kButtons).empty());
    const TRecord* Down = FirstOf(C, WM_LBUTTONDOWN);
    ASSERT_TRUE(Down);
    EXPECT_EQ(GET_X_LPARAM(Down->LParam), 7);
    EXPECT_EQ(GET_Y_LPARAM(Down->LParam), 9);
    EXPECT_TRUE(Down->WParam & MK_LBUTTON);
    EXPECT_FALSE(FirstOf(C, WM_LBUTTONUP)->WParam & MK_LBUTTON);
    // The cursor was set for the window under it before the press.
    const auto All = MessagesOf(C, {WM_SETCURSOR, WM_LBUTTONDOWN});
    ASSERT_GE(All.size(), 2u);
    EXPECT_EQ(All.front(), static_cast<UINT>(WM_SETCURSOR));
}

TEST_F(QueueTest, SecondQuickClickIsDoubleClickOnlyWithClassStyle)
{
    HWND T = Top();
    HWND Dbl = Child(T, 0, 0, 50, 50);
    HWND NoDbl = Child(T, 60, 0, 50, 50, WS_CHILD | WS_VISIBLE, "TestNoDbl");
    for (HWND W : {Dbl, NoDbl}) {
        SimulateClick(W, 5, 5);
        SimulateClick(W, 5, 5);
    }
    ProcessPendingMessages();
    EXPECT_EQ(MessagesOf(Dbl, kButtons),
              (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}));
    EXPECT_EQ(MessagesOf(NoDbl, kButtons),
              (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP}));
    // After the double-click time a click is a plain press again.
    Log().clear();
    SimulateClick(Dbl, 5, 5);
    AdvanceTestClock(GetDoubleClickTime() + 1);
    SimulateClick(Dbl, 5, 5);
    ProcessPendingMessages();
    EXPECT_EQ(MessagesOf(Dbl, kButtons),
              (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP}));
}

TEST_F(QueueTest, PressOnFrameIsNonClientMessageWithHitCode)
{
    HWND T = Top(100, 100, 300, 200);
    ProcessPendingMessages();
    Log().clear();
    // The caption band starts inside the 4-pixel sizing frame.
    ASSERT_TRUE(SimulateMouseAt(200, 110, WM_MOUSEMOVE));
    ProcessPendingMessages();
    const TRecord* Move = FirstOf(T, WM_NCMOUSEMOVE);
    ASSERT_TRUE(Move);
    EXPECT_EQ(Move->WParam, static_cast<WPARAM>(HTCAPTION));
    EXPECT_EQ(GET_X_LPARAM(Move->LParam), 200); // screen coordinates
}

TEST_F(QueueTest, SentMessagesRunAtOncePostedOnesInOrderWhenRead)
{
    HWND T = Top();
    ProcessPendingMessages();
    Log().clear();
    PostMessage(T, WM_USER + 1, 0, 0);
    PostMessage(T, WM_USER + 2, 0, 0);
    SendMessage(T, WM_USER + 3, 0, 0);
    EXPECT_EQ(MessagesOf(T, {WM_USER + 1, WM_USER + 2, WM_USER + 3}), (std::vector<UINT>{WM_USER + 3}));
    // A message sent from inside a posted message's handler runs before the next posted one.
    Handlers()[T] = [](HWND W, UINT M, WPARAM, LPARAM, LRESULT*) {
        if (M == WM_USER + 1)
            SendMessage(W, WM_USER + 4, 0, 0);
        return false;
    };
    ProcessPendingMessages();
    EXPECT_EQ(MessagesOf(T, {WM_USER + 1, WM_USER + 2, WM_USER + 3, WM_USER + 4}),
              (std::vector<UINT>{WM_USER + 3, WM_USER + 1, WM_USER + 4, WM_USER + 2}));
}

TEST_F(QueueTest, PostedMessagesComeBeforePaintAndTimers)
{
    HWND T = Top();
    ProcessPendingMessages();
    SetTimer(T, 7, 10, nullptr);
    SetTestClock(true, GetTickCount() + 20); // due, not yet dispatched
    InvalidateRect(T, nullptr, FALSE);
    PostMessage(T, WM_USER, 0, 0);
    Log().clear();
    ProcessPendingMessages();
    EXPECT_EQ(MessagesOf(T, {WM_USER, WM_PAINT, WM_TIMER}), (std::vector<UINT>{WM_USER, WM_PAINT, WM_TIMER}));
}

// ---- hooks ----------------------------------------------------------------------------------

std::vector<std::pair<UINT, WPARAM>> gHookA, gHookB;
HHOOK gA = nullptr, gB = nullptr;
UINT gUnhookOn = 0;

LRESULT HookA(int Code, WPARAM W, LPARAM L)
{
    auto* C = reinterpret_cast<CWPSTRUCT*>(L);
    if (C->message >= WM_USER)
        gHookA.emplace_back(C->message, W);
    return CallNextHookEx(gA, Code, W, L);
}

LRESULT HookB(int Code, WPARAM W, LPARAM L)
{
    auto* C = reinterpret_cast<CWPSTRUCT*>(L);
    if (C->message >= WM_USER)
        gHookB.emplace_back(C->message, W);
    HHOOK Self = gB;
    if (C->message == gUnhookOn)
        UnhookWindowsHookEx(gB); // removed while the chain runs; the call goes on
    return CallNextHookEx(Self, Code, W, L);
}

TEST_F(QueueTest, CallWndProcHookSeesSentAndDispatchedMessagesAndCanBeRemovedInsideTheChain)
{
    HWND T = Top();
    ProcessPendingMessages();
    gHookA.clear();
    gHookB.clear();
    gA = SetWindowsHookEx(WH_CALLWNDPROC, HookA, nullptr, GetCurrentThreadId());
    gB = SetWindowsHookEx(WH_CALLWNDPROC, HookB, nullptr, GetCurrentThreadId());
    gUnhookOn = WM_USER + 2;
    SendMessage(T, WM_USER + 1, 0, 0);
    PostMessage(T, WM_USER + 2, 0, 0);
    ProcessPendingMessages();
    SendMessage(T, WM_USER + 3, 0, 0);
    // The newest hook runs first and passes each call on; B removed itself at WM_USER + 2.
    EXPECT_EQ(gHookB, (std::vector<std::pair<UINT, WPARAM>>{{WM_USER + 1, 1}, {WM_USER + 2, 0}}));
    EXPECT_EQ(gHookA,
              (std::vector<std::pair<UINT, WPARAM>>{{WM_USER + 1, 1}, {WM_USER + 2, 0}, {WM_USER + 3, 1}}));
    EXPECT_EQ(MessagesOf(T, {WM_USER + 1, WM_USER + 2, WM_USER + 3}),
              (std::vector<UINT>{WM_USER + 1, WM_USER + 2, WM_USER + 3}));
    EXPECT_TRUE(UnhookWindowsHookEx(gA));
    EXPECT_FALSE(UnhookWindowsHookEx(gA));
}

std::vector<UINT> gGetMsg;
HHOOK gG = nullptr;
LRESULT GetMsgHook(int Code, WPARAM W, LPARAM L)
{
    auto* M = reinterpret_cast<MSG*>(L);
    if (W == PM_REMOVE && M->message >= WM_USER) {
        gGetMsg.push_back(M->message);
        if (M->message == WM_USER + 5)
            M->message = WM_USER + 6; // a GetMessage hook may change what the loop sees
    }
    return CallNextHookEx(gG, Code, W, L);
}

TEST_F(QueueTest, GetMessageHookSeesRemovedMessagesAndMayChangeThem)
{
    HWND T = Top();
    ProcessPendingMessages();
    gGetMsg.clear();
    gG = SetWindowsHookEx(WH_GETMESSAGE, GetMsgHook, nullptr, 0);
    PostMessage(T, WM_USER + 5, 0, 0);
    MSG M;
    ASSERT_TRUE(PeekMessage(&M, nullptr, WM_USER, WM_USER + 10, PM_NOREMOVE));
    EXPECT_TRUE(gGetMsg.empty());
    ASSERT_TRUE(PeekMessage(&M, nullptr, WM_USER, WM_USER + 10, PM_REMOVE));
    EXPECT_EQ(M.message, static_cast<UINT>(WM_USER + 6));
    EXPECT_EQ(gGetMsg, (std::vector<UINT>{WM_USER + 5}));
    UnhookWindowsHookEx(gG);
}

// ---- filters ----------------------------------------------------------------------------------

TEST_F(QueueTest, PeekMessageHonoursWindowAndRangeFilters)
{
    HWND A = Top();
    HWND AChild = Child(A, 0, 0, 10, 10);
    HWND B = Top(500, 100);
    ProcessPendingMessages();
    PostMessage(B, WM_USER + 1, 0, 0);
    PostMessage(AChild, WM_USER + 2, 0, 0);
    PostMessage(A, WM_USER + 3, 0, 0);
    PostMessage(nullptr, WM_USER + 4, 0, 0); // a thread message
    MSG M;
    // A window filter takes the window's and its descendants' messages.
    ASSERT_TRUE(PeekMessage(&M, A, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(M.message, static_cast<UINT>(WM_USER + 2));
    EXPECT_EQ(M.hwnd, AChild);
    ASSERT_TRUE(PeekMessage(&M, A, WM_USER + 3, WM_USER + 3, PM_REMOVE));
    EXPECT_EQ(M.hwnd, A);
    EXPECT_FALSE(PeekMessage(&M, A, WM_USER + 3, WM_USER + 3, PM_REMOVE));
    EXPECT_FALSE(PeekMessage(&M, B, WM_USER + 2, WM_USER + 4, PM_REMOVE));
    // NOREMOVE left the others in order.
    std::vector<UINT> Rest;
    while (PeekMessage(&M, nullptr, WM_USER, WM_USER + 10, PM_REMOVE))
        Rest.push_back(M.message);
    EXPECT_EQ(Rest, (std::vector<UINT>{WM_USER + 1, WM_USER + 2, WM_USER + 4}));
}

TEST_F(QueueTest, QuitPassesEveryFilterAndIsRepostedByAPurge)
{
    HWND T = Top();
    ProcessPendingMessages();
    PostMessage(T, WM_USER + 9, 0, 0);
    PostQuitMessage(3);
    MSG M;
    // A purge of one message number that meets WM_QUIT posts it again.
    auto Purge = [&](UINT Msg) {
        MSG X;
        if (PeekMessage(&X, T, Msg, Msg, PM_REMOVE) && X.message == WM_QUIT)
            PostQuitMessage(static_cast<int>(X.wParam));
    };
    Purge(WM_USER + 9);
    Purge(WM_USER + 9); // finds WM_QUIT and puts it back
    ASSERT_TRUE(PeekMessage(&M, T, WM_USER + 20, WM_USER + 20, PM_REMOVE));
    EXPECT_EQ(M.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(M.wParam, 3u);
    EXPECT_FALSE(PeekMessage(&M, nullptr, 0, 0, PM_REMOVE) && M.message == WM_QUIT);
    PostQuitMessage(4);
    EXPECT_FALSE(GetMessage(&M, nullptr, 0, 0));
    EXPECT_EQ(M.wParam, 4u);
}

// ---- capture ---------------------------------------------------------------------------------

TEST_F(QueueTest, CaptureRoutesMouseToCaptureWindowInItsClientCoordinates)
{
    HWND T = Top(100, 100, 300, 200);
    HWND A = Child(T, 10, 10, 50, 50);
    HWND B = Child(T, 100, 10, 50, 50);
    ProcessPendingMessages();
    SetCapture(A);
    Log().clear();
    SimulateMouse(B, WM_MOUSEMOVE, 5, 5);
    ProcessPendingMessages();
    const TRecord* Move = FirstOf(A, WM_MOUSEMOVE);
    ASSERT_TRUE(Move);
    EXPECT_EQ(GET_X_LPARAM(Move->LParam), 95); // B's (5, 5) in A's client coordinates
    EXPECT_EQ(GET_Y_LPARAM(Move->LParam), 5);
    EXPECT_FALSE(FirstOf(B, WM_MOUSEMOVE));
    EXPECT_FALSE(FirstOf(A, WM_SETCURSOR)); // no cursor negotiation while captured
    // Far outside every window the captured window still hears of it, with negative positions.
    SimulateMouseAt(50, 50, WM_MOUSEMOVE);
    SimulateMouse(A, WM_MOUSEMOVE, -60, -70);
    ProcessPendingMessages();
    EXPECT_EQ(GET_X_LPARAM(Log().back().LParam), -60);
}

TEST_F(QueueTest, LosingCaptureSendsCaptureChangedAndCancelModeWhenTakenAway)
{
    HWND T = Top();
    HWND A = Child(T, 10, 10, 50, 50);
    HWND B = Child(T, 100, 10, 50, 50);
    ProcessPendingMessages();
    SetCapture(A);
    Log().clear();
    EXPECT_EQ(SetCapture(B), A);
    ASSERT_EQ(MessagesOf(A, {WM_CAPTURECHANGED, WM_CANCELMODE}), (std::vector<UINT>{WM_CAPTURECHANGED}));
    EXPECT_EQ(reinterpret_cast<HWND>(FirstOf(A, WM_CAPTURECHANGED)->LParam), B);
    Log().clear();
    // Disabling the window takes the capture away: WM_CANCELMODE, whose default releases it.
    EnableWindow(B, FALSE);
    EXPECT_EQ(MessagesOf(B, {WM_CANCELMODE, WM_CAPTURECHANGED, WM_ENABLE}),
              (std::vector<UINT>{WM_CANCELMODE, WM_CAPTURECHANGED, WM_ENABLE}));
    EXPECT_EQ(GetCapture(), nullptr);
    // A window that keeps the capture through WM_CANCELMODE loses it anyway.
    Handlers()[A] = [](HWND, UINT M, WPARAM, LPARAM, LRESULT*) { return M == WM_CANCELMODE; };
    SetCapture(A);
    ShowWindow(A, SW_HIDE);
    EXPECT_EQ(GetCapture(), nullptr);
    Log().clear();
    SetCapture(T);
    ReleaseCapture();
    ASSERT_TRUE(FirstOf(T, WM_CAPTURECHANGED));
    EXPECT_EQ(FirstOf(T, WM_CAPTURECHANGED)->LParam, 0);
}

// ---- timers ----------------------------------------------------------------------------------

std::vector<DWORD> gProcTicks;
void TimerProc(HWND, UINT, UINT_PTR, DWORD Time)
{
    gProcTicks.push_back(Time);
}

TEST_F(QueueTest, TestClockFiresTimersInStepsAndKillTimerStopsThem)
{
    HWND T = Top();
    ProcessPendingMessages();
    Log().clear();
    DWORD Start = GetTickCount();
    SetTimer(T, 1, 125, nullptr);
    SetTimer(T, 2, 200, nullptr);
    AdvanceTestClock(500);
    std::vector<std::pair<WPARAM, DWORD>> Ticks;
    for (const TRecord& R : Log())
        if (R.Msg == WM_TIMER)
            Ticks.emplace_back(R.WParam, 0);
    EXPECT_EQ(Ticks.size(), 6u); // 125, 200, 250, 375, 400, 500
    EXPECT_EQ(Ticks[0].first, 1u);
    EXPECT_EQ(Ticks[1].first, 2u);
    EXPECT_EQ(GetTickCount(), Start + 500);
    EXPECT_TRUE(KillTimer(T, 1));
    EXPECT_FALSE(KillTimer(T, 1));
    Log().clear();
    AdvanceTestClock(400);
    EXPECT_EQ(MessagesOf(T, {WM_TIMER}).size(), 2u);
    // A thread timer with a procedure gets the time of each tick.
    gProcTicks.clear();
    UINT_PTR Id = SetTimer(nullptr, 0, 50, TimerProc);
    EXPECT_NE(Id, 0u);
    DWORD At = GetTickCount();
    AdvanceTestClock(120);
    EXPECT_EQ(gProcTicks, (std::vector<DWORD>{At + 50, At + 100}));
    KillTimer(nullptr, Id);
    // Destroying the window ends its timers.
    DestroyWindow(T);
    AdvanceTestClock(1000);
}

TEST_F(QueueTest, DueTimerIsReadByPeekMessageOncePerElapse)
{
    HWND T = Top();
    ProcessPendingMessages();
    SetTimer(T, 5, 100, nullptr);
    MSG M;
    EXPECT_FALSE(PeekMessage(&M, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
    SetTestClock(true, GetTickCount() + 350); // much later: still one message, not three
    ASSERT_TRUE(PeekMessage(&M, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
    EXPECT_EQ(M.wParam, 5u);
    EXPECT_FALSE(PeekMessage(&M, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
}

// ---- painting --------------------------------------------------------------------------------

TEST_F(QueueTest, InvalidRegionsCoalesceIntoOnePaintWithTheUnionAsClip)
{
    HWND T = Top(100, 100, 300, 200, WS_POPUP | WS_VISIBLE);
    ProcessPendingMessages();
    RECT Painted{};
    int Erases = 0;
    Handlers()[T] = [&](HWND W, UINT M, WPARAM WP, LPARAM, LRESULT* R) {
        if (M == WM_ERASEBKGND) {
            ++Erases;
            return false;
        }
        if (M != WM_PAINT)
            return false;
        PAINTSTRUCT PS;
        HDC DC = BeginPaint(W, &PS);
        Painted = PS.rcPaint;
        RECT All = Bounds(0, 0, 300, 200);
        HBRUSH Red = CreateSolidBrush(RGB(255, 0, 0));
        FillRect(DC, &All, Red); // clipped to the update region
        DeleteObject(Red);
        EndPaint(W, &PS);
        (void)WP;
        *R = 0;
        return true;
    };
    RECT A = Bounds(10, 10, 20, 20), B = Bounds(50, 40, 10, 10);
    InvalidateRect(T, &A, FALSE);
    InvalidateRect(T, &B, TRUE);
    Log().clear();
    ProcessPendingMessages();
    EXPECT_EQ(MessagesOf(T, {WM_PAINT}).size(), 1u);
    EXPECT_EQ(Painted, Rect(10, 10, 60, 50));
    EXPECT_EQ(Erases, 1);
    TDibImage I = CaptureWindowImage(T);
    EXPECT_EQ(PixelAt(I, 15, 15), 0xFF0000u);
    EXPECT_EQ(PixelAt(I, 55, 45), 0xFF0000u);
    EXPECT_EQ(PixelAt(I, 40, 15), Rgb(GetSysColor(COLOR_WINDOW))); // inside the union, outside both rects
    RECT U;
    EXPECT_FALSE(GetUpdateRect(T, &U, FALSE));
    Log().clear();
    ProcessPendingMessages();
    EXPECT_TRUE(MessagesOf(T, {WM_PAINT}).empty());
}

TEST_F(QueueTest, ValidateAndUpdateWindowControlPaintMessages)
{
    HWND T = Top(100, 100, 200, 100, WS_POPUP | WS_VISIBLE);
    ProcessPendingMessages();
    RECT A = Bounds(0, 0, 50, 50);
    InvalidateRect(T, &A, FALSE);
    ValidateRect(T, &A);
    Log().clear();
    ProcessPendingMessages();
    EXPECT_TRUE(MessagesOf(T, {WM_PAINT}).empty());
    InvalidateRect(T, nullptr, FALSE);
    UpdateWindow(T); // sent at once, not queued
    EXPECT_EQ(MessagesOf(T, {WM_PAINT}).size(), 1u);
    ProcessPendingMessages();
    EXPECT_EQ(MessagesOf(T, {WM_PAINT}).size(), 1u);
    // A hidden window gets no paint until it shows again.
    InvalidateRect(T, nullptr, FALSE);
    ShowWindow(T, SW_HIDE);
    Log().clear();
    ProcessPendingMessages();
    EXPECT_TRUE(MessagesOf(T, {WM_PAINT}).empty());
    ShowWindow(T, SW_SHOWNA);
    ProcessPendingMessages();
    EXPECT_EQ(MessagesOf(T, {WM_PAINT}).size(), 1u);
}

TEST_F(QueueTest, LockedWindowPaintsOnlyAfterUnlock)
{
    HWND T = Top(100, 100, 200, 100, WS_POPUP | WS_VISIBLE);
    ProcessPendingMessages();
    ASSERT_TRUE(LockWindowUpdate(T));
    EXPECT_FALSE(LockWindowUpdate(Top(400, 100))); // one lock at a time
    InvalidateRect(T, nullptr, TRUE);
    Log().clear();
    MSG M;
    while (PeekMessage(&M, T, WM_PAINT, WM_PAINT, PM_REMOVE))
        DispatchMessage(&M);
    EXPECT_TRUE(MessagesOf(T, {WM_PAINT}).empty());
    LockWindowUpdate(nullptr);
    ProcessPendingMessages();
    EXPECT_EQ(MessagesOf(T, {WM_PAINT}).size(), 1u);
}

// ---- keyboard ------------------------------------------------------------------------------

TEST_F(QueueTest, QtKeyEventsBecomeKeyMessagesAndTranslateMessageAddsCharacters)
{
    HWND T = Top();
    HWND C = Child(T, 0, 0, 50, 50);
    SetFocus(C);
    ProcessPendingMessages();
    SmallInt StateInHandler = 0;
    Handlers()[C] = [&](HWND, UINT M, WPARAM W, LPARAM, LRESULT*) {
        if (M == WM_KEYDOWN && W == 'A')
            StateInHandler = GetKeyState('A');
        return false;
    };
    Log().clear();
    SimulateKeyPress('A');
    SimulateKey(WM_KEYDOWN, VK_SHIFT);
    SimulateKeyPress('B');
    SimulateKey(WM_KEYUP, VK_SHIFT);
    SimulateKeyPress(VK_RETURN);
    SimulateKeyPress('E', "\xC3\xA9"); // a layout that types a non-ASCII character
    ProcessPendingMessages();
    std::vector<WPARAM> Chars;
    for (const TRecord& R : Log())
        if (R.Wnd == C && R.Msg == WM_CHAR)
            Chars.push_back(R.WParam);
    EXPECT_EQ(Chars, (std::vector<WPARAM>{'a', 'B', 13, 0xE9}));
    EXPECT_LT(StateInHandler, 0); // down while its WM_KEYDOWN is handled
    EXPECT_GE(GetKeyState('A'), 0);
    const TRecord* Up = nullptr;
    for (const TRecord& R : Log())
        if (R.Wnd == C && R.Msg == WM_KEYUP && R.WParam == 'A')
            Up = &R;
    ASSERT_TRUE(Up);
    EXPECT_TRUE(static_cast<std::uint32_t>(Up->LParam) & 0xC0000000u); // previous state and transition
}

TEST_F(QueueTest, AltKeysAreSystemKeys)
{
    HWND T = Top();
    SetFocus(T);
    ProcessPendingMessages();
    Log().clear();
    SimulateKey(WM_KEYDOWN, VK_MENU);
    SimulateKeyPress('X');
    SimulateKey(WM_KEYUP, VK_MENU);
    ProcessPendingMessages();
    std::vector<UINT> Keys = MessagesOf(T, {WM_KEYDOWN, WM_SYSKEYDOWN, WM_SYSCHAR, WM_CHAR});
    EXPECT_EQ(Keys, (std::vector<UINT>{WM_SYSKEYDOWN, WM_SYSKEYDOWN, WM_SYSCHAR}));
}

} // namespace
