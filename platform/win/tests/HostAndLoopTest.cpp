// The Qt side and the loops: attached Qt widgets get their input through our messages, the
// default caption, close-button and scroll-bar loops, cursors from hit tests, and waiting for
// messages on the real clock and from other threads.
#include "Recorder.h"
#include "platform/qt/WinHost.h"
#include "platform/rtl/SysUtils.h"

#include <QCoreApplication>
#include <QLineEdit>

#include <chrono>
#include <climits>
#include <memory>
#include <string>
#include <thread>

using namespace wintest;

namespace {

class HostTest : public WindowTest {};

TEST_F(HostTest, ShownTopLevelWindowHasAHostAtItsScreenRectangle)
{
    HWND T = Top(100, 120, 300, 200);
    QWidget* H = WinHostWidget(T);
    ASSERT_TRUE(H);
    EXPECT_TRUE(H->isVisible());
    EXPECT_EQ(H->geometry(), QRect(100, 120, 300, 200));
    MoveWindow(T, 50, 60, 200, 100, TRUE);
    EXPECT_EQ(H->geometry(), QRect(50, 60, 200, 100));
    ShowWindow(T, SW_HIDE);
    EXPECT_FALSE(H->isVisible());
    HWND C = Child(T, 0, 0, 10, 10);
    EXPECT_EQ(WinHostWidget(C), H); // children are presented by their top-level window's host
}

// The desktop sizes and moves a window itself (maximise, a tiling or keyboard resize, a tool
// such as xdotool): the window takes that size, hears WM_SIZE, and keeps it.
TEST_F(HostTest, AWindowFollowsTheSizeTheDesktopGivesIt)
{
    HWND T = Top(100, 120, 300, 200);
    QWidget* H = WinHostWidget(T);
    ASSERT_TRUE(H);
    ProcessPendingMessages();
    Log().clear();
    H->setGeometry(QRect(20, 30, 640, 480));
    QCoreApplication::processEvents();
    ProcessPendingMessages();
    RECT R;
    GetWindowRect(T, &R);
    EXPECT_EQ(R.left, 20);
    EXPECT_EQ(R.top, 30);
    EXPECT_EQ(R.right - R.left, 640);
    EXPECT_EQ(R.bottom - R.top, 480);
    const TRecord* Size = FirstOf(T, WM_SIZE);
    ASSERT_TRUE(Size);
    RECT C;
    GetClientRect(T, &C);
    EXPECT_EQ(LOWORD(Size->LParam), C.right);
    EXPECT_EQ(HIWORD(Size->LParam), C.bottom);
    EXPECT_EQ(H->geometry(), QRect(20, 30, 640, 480)); // no snapping back
}

TEST_F(HostTest, ActivationMovesOnOnlyOnceTheHiddenWindowIsOffTheScreen)
{
    HWND Back = Top(50, 50, 400, 300);
    HWND Front = Top(100, 100, 200, 100);
    ASSERT_EQ(GetActiveWindow(), Front);
    QWidget* FrontHost = WinHostWidget(Front);
    ASSERT_TRUE(FrontHost && FrontHost->isVisible());
    // What the next window does on activation (a box, say) shows with the hidden one gone.
    bool FrontShownAtActivation = true;
    Handlers()[Back] = [&](HWND, UINT M, WPARAM WP, LPARAM, LRESULT*) {
        if (M == WM_ACTIVATE && LOWORD(WP) != WA_INACTIVE)
            FrontShownAtActivation = FrontHost->isVisible();
        return false;
    };
    ShowWindow(Front, SW_HIDE);
    EXPECT_EQ(GetActiveWindow(), Back);
    EXPECT_FALSE(FrontShownAtActivation);
}

TEST_F(HostTest, PendingPaintsAreDispatchedAndTheRestOfTheQueueWaits)
{
    HWND T = Top(100, 100, 300, 200);
    HWND C = Child(T, 10, 10, 50, 50);
    ProcessPendingMessages();
    InvalidateRect(C, nullptr, TRUE);
    PostMessage(T, WM_USER + 7, 0, 0);
    Log().clear();
    DispatchPendingPaints();
    EXPECT_EQ(MessagesOf(C, {WM_PAINT}), std::vector<UINT>{WM_PAINT});
    EXPECT_TRUE(MessagesOf(T, {WM_USER + 7}).empty());
    MSG M;
    EXPECT_FALSE(PeekMessage(&M, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE));
    EXPECT_TRUE(PeekMessage(&M, T, WM_USER + 7, WM_USER + 7, PM_REMOVE));
}

TEST_F(HostTest, AttachedWidgetInputPassesThroughMessagesAndReachesTheWidget)
{
    HWND T = Top(100, 100, 300, 200);
    HWND C = Child(T, 10, 10, 150, 24);
    auto Edit = std::make_unique<QLineEdit>();
    WinAttachWidget(C, Edit.get());
    EXPECT_EQ(WinAttachedWidget(C), Edit.get());
    EXPECT_EQ(WinWindowOfWidget(Edit.get()), C);
    EXPECT_EQ(Edit->parentWidget(), WinHostWidget(T));
    POINT O{0, 0};
    ClientToScreen(C, &O);
    EXPECT_EQ(Edit->geometry(), QRect(QPoint(O.x - 100, O.y - 100), QSize(150, 24)));
    SetFocus(C);
    ProcessPendingMessages();
    Log().clear();
    // Keys arrive as the window's messages first, then reach the widget through DefWindowProc.
    SimulateKeyPress('H', "h");
    SimulateKeyPress('I', "i");
    EXPECT_EQ(Edit->text(), QString()); // nothing yet: only queued
    ProcessPendingMessages();
    EXPECT_EQ(Edit->text(), QString("hi"));
    EXPECT_EQ(MessagesOf(C, {WM_KEYDOWN, WM_KEYUP}),
              (std::vector<UINT>{WM_KEYDOWN, WM_KEYUP, WM_KEYDOWN, WM_KEYUP}));
    // A window procedure that drops a character keeps it from the widget; one that changes it
    // passes the new one on; keys without text reach the widget with their WM_KEYDOWN.
    Handlers()[C] = [](HWND W, UINT M, WPARAM WP, LPARAM LP, LRESULT* R) {
        if (M == WM_CHAR && WP == 'x') {
            *R = 0;
            return true;
        }
        if (M == WM_CHAR && WP == 'y') {
            *R = DefWindowProc(W, M, 'Y', LP);
            return true;
        }
        return false;
    };
    SimulateKeyPress('X', "x");
    SimulateKeyPress('Y', "y");
    SimulateKeyPress(VK_HOME);
    SimulateKeyPress('Z', "z");
    ProcessPendingMessages();
    EXPECT_EQ(Edit->text(), QString("zhiY"));
    // Mouse input on the widget comes in the window's client coordinates.
    Log().clear();
    ASSERT_TRUE(SimulateMouse(C, WM_LBUTTONDOWN, 12, 5));
    SimulateMouse(C, WM_LBUTTONUP, 12, 5);
    ProcessPendingMessages();
    const TRecord* Down = FirstOf(C, WM_LBUTTONDOWN);
    ASSERT_TRUE(Down);
    EXPECT_EQ(GET_X_LPARAM(Down->LParam), 12);
    EXPECT_EQ(GET_Y_LPARAM(Down->LParam), 5);
    // Destroying the window detaches the widget, which its owner still frees.
    DestroyWindow(T);
    EXPECT_EQ(Edit->parentWidget(), nullptr);
    EXPECT_EQ(WinWindowOfWidget(Edit.get()), nullptr);
}

TEST_F(HostTest, CaptionDragMovesTheWindowAndEscapeRestoresIt)
{
    HWND T = Top(100, 100, 300, 200);
    ProcessPendingMessages();
    SimulateMouseAt(200, 110, WM_LBUTTONDOWN);
    SimulateMouseAt(230, 150, WM_MOUSEMOVE);
    SimulateMouseAt(250, 160, WM_MOUSEMOVE);
    SimulateMouseAt(250, 160, WM_LBUTTONUP);
    Log().clear();
    ProcessPendingMessages();
    RECT R;
    GetWindowRect(T, &R);
    EXPECT_EQ(R, Rect(150, 150, 450, 350));
    EXPECT_EQ(MessagesOf(T, {WM_ENTERSIZEMOVE, WM_EXITSIZEMOVE}),
              (std::vector<UINT>{WM_ENTERSIZEMOVE, WM_EXITSIZEMOVE}));
    EXPECT_EQ(GetCapture(), nullptr);
    // Sizing by the right border, cancelled with Escape.
    SetFocus(T);
    SimulateMouseAt(449, 250, WM_LBUTTONDOWN);
    SimulateMouseAt(500, 250, WM_MOUSEMOVE);
    SimulateKeyPress(VK_ESCAPE);
    ProcessPendingMessages();
    GetWindowRect(T, &R);
    EXPECT_EQ(R, Rect(150, 150, 450, 350));
}

TEST_F(HostTest, CloseButtonClosesOnlyWhenReleasedOverIt)
{
    HWND T = Top(100, 100, 300, 200);
    ProcessPendingMessages();
    int CloseX = 100 + 300 - 4 - 2 - 8, CloseY = 100 + 4 + 2 + 5;
    SimulateMouseAt(CloseX, CloseY, WM_LBUTTONDOWN);
    SimulateMouseAt(CloseX - 100, CloseY + 50, WM_MOUSEMOVE);
    SimulateMouseAt(CloseX - 100, CloseY + 50, WM_LBUTTONUP);
    ProcessPendingMessages();
    EXPECT_TRUE(IsWindow(T));
    AdvanceTestClock(1000);
    SimulateMouseAt(CloseX, CloseY, WM_LBUTTONDOWN);
    SimulateMouseAt(CloseX, CloseY, WM_LBUTTONUP);
    ProcessPendingMessages();
    EXPECT_FALSE(IsWindow(T));
}

TEST_F(HostTest, ScrollBarArrowSendsLineScrollThenEndScroll)
{
    HWND T = Top(100, 100, 200, 100, WS_POPUP | WS_VSCROLL | WS_VISIBLE);
    SCROLLINFO SI;
    SI.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    SI.nMin = 0;
    SI.nMax = 99;
    SI.nPage = 10;
    SI.nPos = 95;
    EXPECT_EQ(SetScrollInfo(T, SB_VERT, &SI, TRUE), 90); // clamped to Max - Page + 1
    ProcessPendingMessages();
    Log().clear();
    SimulateMouseAt(100 + 200 - 8, 100 + 100 - 4, WM_LBUTTONDOWN); // the down arrow
    SimulateMouseAt(100 + 200 - 8, 100 + 100 - 4, WM_LBUTTONUP);
    ProcessPendingMessages();
    std::vector<int> Codes;
    for (const TRecord& R : Log())
        if (R.Wnd == T && R.Msg == WM_VSCROLL)
            Codes.push_back(LOWORD(R.WParam));
    EXPECT_EQ(Codes, (std::vector<int>{SB_LINEDOWN, SB_ENDSCROLL}));
    // A range that needs no scrolling hides the bar and gives its room to the client.
    SI.fMask = SIF_RANGE | SIF_PAGE;
    SI.nMax = 5;
    SetScrollInfo(T, SB_VERT, &SI, TRUE);
    RECT CR;
    GetClientRect(T, &CR);
    EXPECT_EQ(CR.right, 200);
    EXPECT_FALSE(GetWindowLong(T, GWL_STYLE) & WS_VSCROLL);
}

// Ranges and pages that use all 32 bits (a document 2^31 - 1 pixels high): the position stays in
// the range, the thumb is drawn at the end it belongs to, and dragging it reaches the top.
TEST_F(HostTest, ScrollBarsTakeTheLargestRangesAndPages)
{
    struct TCase {
        int Min, Max;
        UINT Page;
        int WantMaxPos;
    };
    const TCase Cases[] = {
        {0, INT_MAX, UINT(INT_MAX), 1},
        {0, INT_MAX, 1000, INT_MAX - 999},
        {INT_MIN, INT_MAX, 0, INT_MAX},
        {INT_MIN, INT_MAX, UINT(INT_MAX), 1},
        {INT_MIN, INT_MAX, 0xFFFFFFFFu, INT_MIN + 1},
    };
    for (const TCase& C : Cases) {
        HWND T = Top(100, 100, 200, 300, WS_POPUP | WS_VSCROLL | WS_VISIBLE);
        SCROLLINFO SI{};
        SI.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
        SI.nMin = C.Min;
        SI.nMax = C.Max;
        SI.nPage = C.Page;
        SI.nPos = INT_MAX;
        const std::string Name =
            std::to_string(C.Min) + ".." + std::to_string(C.Max) + " page " + std::to_string(C.Page);
        EXPECT_EQ(SetScrollInfo(T, SB_VERT, &SI, TRUE), C.WantMaxPos) << Name;
        // The bar is the window's right 16 pixels: arrows at both ends, the thumb at the bottom.
        TDibImage I = CaptureWindowImage(T);
        const std::uint32_t Track = PixelAt(I, 192, 150);
        int Last = -1;
        for (int Y = 16; Y < 300 - 16; ++Y)
            if (PixelAt(I, 200 - 8, Y) != Track)
                Last = Y;
        if (C.WantMaxPos > C.Min)
            EXPECT_EQ(Last, 300 - 17) << Name;
        // Dragging the thumb up past the track gives the first position.
        SimulateMouseAt(100 + 200 - 8, 100 + 300 - 20, WM_LBUTTONDOWN);
        SimulateMouseAt(100 + 200 - 8, 100 + 2, WM_MOUSEMOVE);
        SimulateMouseAt(100 + 200 - 8, 100 + 2, WM_LBUTTONUP);
        ProcessPendingMessages();
        SCROLLINFO Got{};
        Got.fMask = SIF_TRACKPOS;
        GetScrollInfo(T, SB_VERT, &Got);
        if (C.WantMaxPos > C.Min)
            EXPECT_EQ(Got.nTrackPos, C.Min) << Name;
        DestroyWindow(T);
    }
}

TEST_F(HostTest, SetCursorFollowsHitTestDefaults)
{
    HWND T = Top(100, 100, 300, 200);
    ProcessPendingMessages();
    SimulateMouseAt(101, 200, WM_MOUSEMOVE); // left sizing border
    ProcessPendingMessages();
    EXPECT_EQ(GetStandardCursorId(GetCursor()), 32644); // IDC_SIZEWE
    SimulateMouseAt(250, 250, WM_MOUSEMOVE);            // client: the class cursor
    ProcessPendingMessages();
    EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_ARROW));
    // A window may answer WM_SETCURSOR itself.
    HCURSOR Beam = LoadCursor(nullptr, IDC_IBEAM);
    Handlers()[T] = [Beam](HWND, UINT M, WPARAM, LPARAM L, LRESULT* R) {
        if (M != WM_SETCURSOR || LOWORD(static_cast<std::uintptr_t>(L)) != HTCLIENT)
            return false;
        SetCursor(Beam);
        *R = TRUE;
        return true;
    };
    SimulateMouseAt(251, 250, WM_MOUSEMOVE);
    ProcessPendingMessages();
    EXPECT_EQ(GetCursor(), Beam);
    // A cursor from an image keeps its hot spot.
    std::vector<std::uint32_t> Px(16 * 16, 0xFF000000u);
    HCURSOR Own = CreateCursorFromImage(16, 16, Px.data(), 13, 9);
    POINT Hot;
    ASSERT_TRUE(GetCursorHotSpot(Own, &Hot, nullptr));
    EXPECT_EQ(Hot, Point(13, 9));
    ICONINFO II;
    ASSERT_TRUE(GetIconInfo(Own, &II));
    EXPECT_EQ(II.yHotspot, 9u);
    EXPECT_FALSE(II.fIcon);
    DeleteObject(II.hbmMask);
    DeleteObject(II.hbmColor);
    EXPECT_TRUE(DestroyCursor(Own));
    EXPECT_FALSE(DestroyCursor(LoadCursor(nullptr, IDC_ARROW)));
    EXPECT_EQ(LoadCursor(nullptr, TW_MAKEINTRESOURCE(12345)), nullptr);
}

TEST_F(HostTest, ClipCursorConfinesInputAndSetCursorPos)
{
    RECT Clip = Rect(10, 10, 100, 100);
    ClipCursor(&Clip);
    SetCursorPos(500, 5);
    POINT P;
    GetCursorPos(&P);
    EXPECT_EQ(P, Point(99, 10));
    ClipCursor(nullptr);
    SetCursorPos(500, 5);
    GetCursorPos(&P);
    EXPECT_EQ(P, Point(500, 5));
}

TEST_F(HostTest, WaitHandlerFeedsAModalLoopOnTheTestClock)
{
    HWND T = Top();
    ProcessPendingMessages();
    int Calls = 0;
    SetWaitHandler([&] {
        ++Calls;
        PostMessage(T, WM_USER + Calls, 0, 0);
        return true;
    });
    MSG M;
    std::vector<UINT> Seen;
    while (GetMessage(&M, nullptr, 0, 0)) {
        Seen.push_back(M.message);
        if (M.message == WM_USER + 3)
            break;
    }
    SetWaitHandler(nullptr);
    EXPECT_EQ(Seen, (std::vector<UINT>{WM_USER + 1, WM_USER + 2, WM_USER + 3}));
}

TEST_F(HostTest, RealClockWaitsWakeForTimersAndForPostsFromOtherThreads)
{
    HWND T = Top();
    ProcessPendingMessages();
    SetTestClock(false);
    SetTimer(T, 9, 30, nullptr);
    auto Start = std::chrono::steady_clock::now();
    MSG M;
    ASSERT_TRUE(GetMessage(&M, T, WM_TIMER, WM_TIMER));
    auto Waited = std::chrono::steady_clock::now() - Start;
    EXPECT_GE(Waited, std::chrono::milliseconds(25));
    EXPECT_LT(Waited, std::chrono::seconds(5));
    KillTimer(T, 9);
    std::thread Poster([T] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        PostMessage(T, WM_USER + 77, 1, 2);
    });
    ASSERT_TRUE(GetMessage(&M, nullptr, WM_USER + 77, WM_USER + 77));
    Poster.join();
    EXPECT_EQ(M.hwnd, T);
    EXPECT_EQ(M.lParam, 2);
}

} // namespace

namespace {

class MoreTest : public WindowTest {};

TEST_F(MoreTest, WheelGoesToTheFocusWindowAndUpToItsParent)
{
    HWND T = Top();
    HWND C = Child(T, 0, 0, 50, 50);
    SetFocus(C);
    ProcessPendingMessages();
    Log().clear();
    ASSERT_TRUE(SimulateWheel(T, 100, 60, -120));
    ProcessPendingMessages();
    const TRecord* W = FirstOf(C, WM_MOUSEWHEEL);
    ASSERT_TRUE(W);
    EXPECT_EQ(static_cast<SmallInt>(HIWORD(W->WParam)), -120);
    POINT O{100, 60};
    ClientToScreen(T, &O);
    EXPECT_EQ(LParamToPoint(W->LParam), O); // screen coordinates
    EXPECT_TRUE(FirstOf(T, WM_MOUSEWHEEL)); // the default passes it to the parent
}

HHOOK gMouseHook = nullptr, gKeyHook = nullptr;
std::vector<UINT> gMouseSeen;
LRESULT MouseHook(int Code, WPARAM W, LPARAM L)
{
    gMouseSeen.push_back(static_cast<UINT>(W));
    if (W == WM_RBUTTONDOWN)
        return 1; // discarded
    return CallNextHookEx(gMouseHook, Code, W, L);
}
LRESULT KeyHook(int Code, WPARAM W, LPARAM L)
{
    return W == 'Q' ? 1 : CallNextHookEx(gKeyHook, Code, W, L);
}

TEST_F(MoreTest, MouseAndKeyboardHooksMayDiscardInput)
{
    HWND T = Top();
    SetFocus(T);
    ProcessPendingMessages();
    gMouseSeen.clear();
    gMouseHook = SetWindowsHookEx(WH_MOUSE, MouseHook, nullptr, 0);
    gKeyHook = SetWindowsHookEx(WH_KEYBOARD, KeyHook, nullptr, 0);
    Log().clear();
    SimulateMouse(T, WM_RBUTTONDOWN, 10, 10);
    SimulateMouse(T, WM_RBUTTONUP, 10, 10);
    SimulateKeyPress('Q');
    SimulateKeyPress('W');
    ProcessPendingMessages();
    EXPECT_EQ(gMouseSeen, (std::vector<UINT>{WM_RBUTTONDOWN, WM_RBUTTONUP}));
    EXPECT_EQ(MessagesOf(T, {WM_RBUTTONDOWN, WM_RBUTTONUP}), (std::vector<UINT>{WM_RBUTTONUP}));
    std::vector<WPARAM> Keys;
    for (const TRecord& R : Log())
        if (R.Wnd == T && R.Msg == WM_KEYDOWN)
            Keys.push_back(R.WParam);
    EXPECT_EQ(Keys, (std::vector<WPARAM>{'W'}));
    // The right-button release's default asks for a context menu.
    EXPECT_TRUE(FirstOf(T, WM_CONTEXTMENU));
    UnhookWindowsHookEx(gMouseHook);
    UnhookWindowsHookEx(gKeyHook);
}

TEST_F(MoreTest, RedrawWindowPaintsNowWithChildrenAndFrame)
{
    HWND T = Top(0, 0, 200, 100, WS_POPUP | WS_BORDER | WS_VISIBLE);
    HWND C = Child(T, 10, 10, 50, 50);
    ProcessPendingMessages();
    Log().clear();
    RedrawWindow(T, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_EQ(MessagesOf(T, {WM_PAINT, WM_NCPAINT}), (std::vector<UINT>{WM_PAINT, WM_NCPAINT}));
    EXPECT_EQ(MessagesOf(C, {WM_PAINT}), (std::vector<UINT>{WM_PAINT}));
    Log().clear();
    RedrawWindow(T, nullptr, nullptr, RDW_INVALIDATE); // children untouched without RDW_ALLCHILDREN
    ProcessPendingMessages();
    EXPECT_TRUE(MessagesOf(C, {WM_PAINT}).empty());
    EXPECT_EQ(MessagesOf(T, {WM_PAINT}).size(), 1u);
}

TEST_F(MoreTest, CustomNonClientPaintDrawsThroughAWindowDC)
{
    HWND T = Top(0, 0, 60, 40, WS_POPUP | WS_VISIBLE);
    Handlers()[T] = [](HWND W, UINT M, WPARAM WP, LPARAM L, LRESULT* R) {
        if (M == WM_NCCALCSIZE) {
            InflateRect(reinterpret_cast<RECT*>(L), -2, -2);
            *R = 0;
            return true;
        }
        if (M == WM_NCPAINT) {
            HDC DC = GetDCEx(W, reinterpret_cast<HRGN>(WP), DCX_WINDOW | DCX_INTERSECTRGN);
            RECT All = Bounds(0, 0, 60, 40);
            HBRUSH G = CreateSolidBrush(RGB(0, 255, 0));
            FillRect(DC, &All, G); // the client area is not part of a window DC's frame paint
            DeleteObject(G);
            ReleaseDC(W, DC);
            *R = 0;
            return true;
        }
        return false;
    };
    SetWindowPos(T, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    TDibImage I = CaptureWindowImage(T);
    EXPECT_EQ(PixelAt(I, 0, 0), 0x00FF00u);
    EXPECT_EQ(PixelAt(I, 59, 39), 0x00FF00u);
    // The window DC's origin is the window's corner; a region in screen coordinates limits it.
    HRGN Corner = CreateRectRgn(0, 0, 1, 1);
    HDC DC = GetDCEx(T, Corner, DCX_WINDOW | DCX_INTERSECTRGN);
    SetPixel(DC, 0, 0, RGB(255, 0, 0));
    SetPixel(DC, 1, 0, RGB(255, 0, 0)); // outside the region: no effect
    ReleaseDC(T, DC);
    DeleteObject(Corner);
    I = CaptureWindowImage(T);
    EXPECT_EQ(PixelAt(I, 0, 0), 0xFF0000u);
    EXPECT_EQ(PixelAt(I, 1, 0), 0x00FF00u);
}

TEST_F(MoreTest, ModuleLookupsFindNoExports)
{
    HMODULE User = GetModuleHandle("user32.dll");
    EXPECT_NE(User, nullptr);
    EXPECT_EQ(GetProcAddress(User, "DrawCaption"), nullptr);
    EXPECT_EQ(GetModuleHandle("nosuch.dll"), nullptr);
}

TEST_F(MoreTest, EnumChildWindowsVisitsEveryDescendant)
{
    HWND T = Top();
    HWND A = Child(T, 0, 0, 10, 10);
    HWND B = Child(A, 0, 0, 5, 5);
    HWND C = Child(T, 20, 0, 10, 10);
    std::vector<HWND> Seen;
    EnumChildWindows(
        T,
        [](HWND W, LPARAM P) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(P)->push_back(W);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&Seen));
    EXPECT_EQ(Seen, (std::vector<HWND>{C, A, B}));
    EXPECT_TRUE(IsChild(T, B));
    EXPECT_FALSE(IsChild(B, T));
    EXPECT_EQ(GetAncestor(B, GA_ROOT), T);
}

} // namespace

namespace {

TEST_F(HostTest, AttachedWidgetFreedBeforeItsWindowIsForgotten)
{
    HWND T = Top();
    HWND C = Child(T, 0, 0, 50, 20);
    auto* Edit = new QLineEdit;
    WinAttachWidget(C, Edit);
    delete Edit;
    EXPECT_EQ(WinAttachedWidget(C), nullptr);
    MoveWindow(C, 5, 5, 60, 20, TRUE); // must not touch the freed widget
    DestroyWindow(T);
}

} // namespace

namespace {

TEST_F(MoreTest, ClickOnADisabledOwnerActivatesItsEnabledPopup)
{
    HWND Owner = Top(0, 0, 200, 200);
    HWND Modal = CreateWindowEx(0, "TestWindow", "", WS_POPUP | WS_CAPTION | WS_VISIBLE, 300, 0, 100, 100,
                                Owner, nullptr, nullptr, nullptr);
    EnableWindow(Owner, FALSE);
    SetActiveWindow(Owner);
    ProcessPendingMessages();
    Log().clear();
    SimulateClick(Owner, 50, 50);
    ProcessPendingMessages();
    EXPECT_EQ(GetActiveWindow(), Modal);
    EXPECT_TRUE(MessagesOf(Owner, {WM_LBUTTONDOWN, WM_LBUTTONUP}).empty());
}

TEST_F(MoreTest, TrackedWindowHearsWhenTheMouseLeaves)
{
    HWND T = Top();
    HWND A = Child(T, 0, 0, 50, 50);
    HWND B = Child(T, 60, 0, 50, 50);
    SimulateMouse(A, WM_MOUSEMOVE, 5, 5);
    ProcessPendingMessages();
    TRACKMOUSEEVENT TME;
    TME.dwFlags = TME_LEAVE;
    TME.hwndTrack = A;
    TrackMouseEvent(&TME);
    Log().clear();
    SimulateMouse(A, WM_MOUSEMOVE, 6, 5);
    ProcessPendingMessages();
    EXPECT_FALSE(FirstOf(A, WM_MOUSELEAVE));
    SimulateMouse(B, WM_MOUSEMOVE, 5, 5);
    ProcessPendingMessages();
    EXPECT_TRUE(FirstOf(A, WM_MOUSELEAVE));
    // Tracking ends with the notice.
    Log().clear();
    SimulateMouse(A, WM_MOUSEMOVE, 5, 5);
    SimulateMouse(B, WM_MOUSEMOVE, 5, 5);
    ProcessPendingMessages();
    EXPECT_FALSE(FirstOf(A, WM_MOUSELEAVE));
}

TEST_F(MoreTest, AncestorsHearOfPressesOnTheirChildren)
{
    HWND T = Top();
    HWND A = Child(T, 10, 10, 100, 100);
    HWND B = Child(A, 5, 5, 20, 20);
    ProcessPendingMessages();
    Log().clear();
    SimulateClick(B, 1, 2);
    ProcessPendingMessages();
    std::vector<HWND> Told;
    for (const TRecord& R : Log())
        if (R.Msg == WM_PARENTNOTIFY && LOWORD(R.WParam) == WM_LBUTTONDOWN)
            Told.push_back(R.Wnd);
    EXPECT_EQ(Told, (std::vector<HWND>{A, T}));
    const TRecord* ToA = FirstOf(A, WM_PARENTNOTIFY);
    EXPECT_EQ(LParamToPoint(ToA->LParam), Point(6, 7)); // in A's client coordinates
}

} // namespace

namespace {

TEST_F(MoreTest, WaitingOnAStoppedClockWithNothingToComeFailsInsteadOfHanging)
{
    Top();
    ProcessPendingMessages();
    MSG M;
    auto Start = std::chrono::steady_clock::now();
    EXPECT_THROW(GetMessage(&M, nullptr, WM_USER, WM_USER), EInvalidOperation);
    EXPECT_LT(std::chrono::steady_clock::now() - Start, std::chrono::seconds(10));
}

} // namespace

namespace {

// Keys given to one simulated mouse event are part of that event only.
TEST_F(MoreTest, SimulatedMouseModifiersHoldForThatEventOnly)
{
    const WPARAM Cases[] = {MK_SHIFT, MK_CONTROL, MK_SHIFT | MK_CONTROL};
    HWND T = Top();
    ProcessPendingMessages();
    int X = 10;
    for (WPARAM Keys : Cases) {
        Log().clear();
        X += 10; // a move to where the pointer already is sends nothing
        SimulateMouse(T, WM_LBUTTONDOWN, X, 10, Keys);
        EXPECT_FALSE(GetAsyncKeyState(VK_SHIFT) < 0);
        EXPECT_FALSE(GetAsyncKeyState(VK_CONTROL) < 0);
        SimulateMouse(T, WM_LBUTTONUP, X, 10);
        SimulateMouse(T, WM_MOUSEMOVE, X + 2, 10);
        ProcessPendingMessages();
        std::vector<WPARAM> Seen;
        for (const TRecord& R : Log())
            if (R.Wnd == T && (R.Msg == WM_LBUTTONDOWN || R.Msg == WM_LBUTTONUP || R.Msg == WM_MOUSEMOVE))
                Seen.push_back(R.WParam & (MK_SHIFT | MK_CONTROL));
        ASSERT_EQ(Seen.size(), 3u);
        // The message read after the key state was put back still reports the keys of its event.
        EXPECT_EQ(Seen[0], Keys);
        EXPECT_EQ(Seen[1], 0u);
        EXPECT_EQ(Seen[2], 0u);
    }
    // A key held down through the keyboard stays down across mouse events.
    SetFocus(T);
    SimulateKey(WM_KEYDOWN, VK_SHIFT);
    SimulateMouse(T, WM_MOUSEMOVE, 64, 10, MK_CONTROL);
    EXPECT_TRUE(GetAsyncKeyState(VK_SHIFT) < 0);
    EXPECT_FALSE(GetAsyncKeyState(VK_CONTROL) < 0);
    ProcessPendingMessages();
    Log().clear();
    SimulateMouse(T, WM_MOUSEMOVE, 66, 10);
    ProcessPendingMessages();
    const TRecord* Move = FirstOf(T, WM_MOUSEMOVE);
    ASSERT_TRUE(Move);
    EXPECT_EQ(Move->WParam & (MK_SHIFT | MK_CONTROL), WPARAM(MK_SHIFT));
    SimulateKey(WM_KEYUP, VK_SHIFT);
}

} // namespace
