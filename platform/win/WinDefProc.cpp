// The default window procedure: standard non-client geometry and hit testing for a plain
// bordered window, the default answers of every message the model sends, and the system
// move, size, caption-button and scroll-bar loops.
#include "platform/qt/WinState.h"
#include "platform/win/ScrollGeometry.h"

#include <algorithm>
#include <cstring>

using namespace win;

namespace win {

TNcLayout NcLayoutOf(const TWindow* W)
{
    TNcLayout L;
    L.F = FrameOf(W->Style, W->ExStyle, W->IsChild(), !W->IsChild() && W->Menu != nullptr);
    int B = L.F.Border, Wd = W->Width();
    if (L.F.Caption) {
        L.Caption = QRect(B, B, std::max(0, Wd - 2 * B), L.F.Caption - 1);
        int BH = L.F.Caption - 1 - 4;
        int BW = (L.F.SmallCaption ? GetSystemMetrics(SM_CXSMSIZE) : GetSystemMetrics(SM_CXSIZE)) - 2;
        int X = L.Caption.right() - 1 - BW;
        int Y = L.Caption.top() + 2;
        if (W->Style & WS_SYSMENU) {
            L.Close = QRect(X, Y, BW, BH);
            X -= BW + 2;
            if (!L.F.SmallCaption && (W->Style & (WS_MAXIMIZEBOX | WS_MINIMIZEBOX))) {
                L.Max = QRect(X, Y, BW, BH);
                X -= BW;
                L.Min = QRect(X, Y, BW, BH);
            }
            if (!L.F.SmallCaption)
                L.SysIcon = QRect(L.Caption.left() + 2, L.Caption.top() + 1, 16,
                                  std::min(16, L.Caption.height() - 1));
        }
    }
    if (L.F.Menu)
        L.Menu = QRect(B, B + L.F.Caption, std::max(0, Wd - 2 * B), L.F.Menu);
    QRect C(W->Client.left, W->Client.top, W->ClientWidth(), W->ClientHeight());
    int SW = GetSystemMetrics(SM_CXVSCROLL), SH = GetSystemMetrics(SM_CYHSCROLL);
    if (W->Style & WS_VSCROLL)
        L.VScroll = QRect(C.right() + 1, C.top(), SW, C.height());
    if (W->Style & WS_HSCROLL)
        L.HScroll = QRect(C.left(), C.bottom() + 1, C.width(), SH);
    if ((W->Style & WS_VSCROLL) && (W->Style & WS_HSCROLL))
        L.SizeBox = QRect(C.right() + 1, C.bottom() + 1, SW, SH);
    return L;
}

QRect ScrollBarRect(const TWindow* W, int Bar)
{
    TNcLayout L = NcLayoutOf(W);
    return Bar == SB_VERT ? L.VScroll : L.HScroll;
}

} // namespace win

namespace {

LRESULT NcHitTest(TWindow* W, POINT Screen)
{
    QPoint O = WindowOrigin(W);
    QPoint P(Screen.x - O.x(), Screen.y - O.y());
    int Wd = W->Width(), Ht = W->Height();
    if (P.x() < 0 || P.y() < 0 || P.x() >= Wd || P.y() >= Ht)
        return HTNOWHERE;
    if (W->Style & WS_MINIMIZE)
        return HTCAPTION;
    QRect C(W->Client.left, W->Client.top, W->ClientWidth(), W->ClientHeight());
    if (C.contains(P))
        return HTCLIENT;
    TNcLayout L = NcLayoutOf(W);
    int B = L.F.Border;
    bool InBorder = B > 0 && (P.x() < B || P.y() < B || P.x() >= Wd - B || P.y() >= Ht - B);
    if (InBorder) {
        if (!L.F.Sizable || (W->Style & WS_MAXIMIZE))
            return HTBORDER;
        int K = GetSystemMetrics(SM_CYCAPTION) + B; // corner zones
        bool Left = P.x() < B, Right = P.x() >= Wd - B, Top = P.y() < B, Bottom = P.y() >= Ht - B;
        if (Left || Right) {
            if (P.y() < K)
                return Left ? HTTOPLEFT : HTTOPRIGHT;
            if (P.y() >= Ht - K)
                return Left ? HTBOTTOMLEFT : HTBOTTOMRIGHT;
            return Left ? HTLEFT : HTRIGHT;
        }
        if (Top || Bottom) {
            if (P.x() < K)
                return Top ? HTTOPLEFT : HTBOTTOMLEFT;
            if (P.x() >= Wd - K)
                return Top ? HTTOPRIGHT : HTBOTTOMRIGHT;
            return Top ? HTTOP : HTBOTTOM;
        }
    }
    if (!L.Caption.isEmpty() && P.y() >= L.Caption.top() && P.y() < L.Caption.top() + L.F.Caption) {
        if (L.Close.contains(P))
            return HTCLOSE;
        if (L.Max.contains(P))
            return (W->Style & WS_MAXIMIZEBOX) ? HTMAXBUTTON : HTCAPTION;
        if (L.Min.contains(P))
            return (W->Style & WS_MINIMIZEBOX) ? HTMINBUTTON : HTCAPTION;
        if (L.SysIcon.contains(P))
            return HTSYSMENU;
        return HTCAPTION;
    }
    if (L.Menu.contains(P))
        return HTMENU;
    if (L.SizeBox.contains(P))
        return L.F.Sizable ? HTBOTTOMRIGHT : HTGROWBOX;
    if (L.VScroll.contains(P))
        return HTVSCROLL;
    if (L.HScroll.contains(P))
        return HTHSCROLL;
    if (L.F.Edge || (W->Style & (WS_BORDER | WS_DLGFRAME)))
        return HTBORDER;
    return HTNOWHERE;
}

void CalcClient(TWindow* W, RECT* R)
{
    TFrame F = FrameOf(W->Style, W->ExStyle, W->IsChild(), !W->IsChild() && W->Menu != nullptr);
    if (!W->IsChild() && (W->Style & WS_MINIMIZE)) {
        R->bottom = R->top;
        R->right = R->left;
        return;
    }
    int B = F.Border + F.Edge;
    R->left += B;
    R->right -= B;
    R->top += F.Border + F.Caption + F.Menu + F.Edge;
    R->bottom -= B;
    if (W->Style & WS_VSCROLL)
        R->right -= GetSystemMetrics(SM_CXVSCROLL);
    if (W->Style & WS_HSCROLL)
        R->bottom -= GetSystemMetrics(SM_CYHSCROLL);
    R->right = std::max(R->left, R->right);
    R->bottom = std::max(R->top, R->bottom);
}

HCURSOR StandardCursorFor(int Hit)
{
    switch (Hit) {
    case HTLEFT:
    case HTRIGHT:
        return LoadCursor(nullptr, IDC_SIZEWE);
    case HTTOP:
    case HTBOTTOM:
        return LoadCursor(nullptr, IDC_SIZENS);
    case HTTOPLEFT:
    case HTBOTTOMRIGHT:
        return LoadCursor(nullptr, IDC_SIZENWSE);
    case HTTOPRIGHT:
    case HTBOTTOMLEFT:
        return LoadCursor(nullptr, IDC_SIZENESW);
    default:
        return LoadCursor(nullptr, IDC_ARROW);
    }
}

// A modal loop that tracks the mouse with the capture until the left button is released (true)
// or the loop is cancelled (Escape, capture lost). OnMove gets each new screen position.
template <typename F> bool TrackMouse(HWND Wnd, F OnMove)
{
    SetCapture(Wnd);
    bool Accepted = false;
    MSG M;
    while (GetCapture() == Wnd) {
        if (!GetMessage(&M, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(M.wParam));
            break;
        }
        if (M.message == WM_MOUSEMOVE) {
            OnMove(M.pt);
        } else if (M.message == WM_LBUTTONUP) {
            OnMove(M.pt);
            Accepted = true;
            break;
        } else if (M.message == WM_KEYDOWN && M.wParam == VK_ESCAPE) {
            break;
        } else if (M.message >= WM_KEYFIRST && M.message <= WM_KEYLAST) {
            // keys are swallowed while tracking
        } else if (M.message >= WM_MOUSEFIRST && M.message <= WM_MOUSELAST) {
            if (M.message == WM_LBUTTONDOWN || M.message == WM_RBUTTONDOWN)
                break;
        } else {
            TranslateMessage(&M);
            DispatchMessage(&M);
        }
    }
    if (GetCapture() == Wnd)
        ReleaseCapture();
    return Accepted;
}

void MoveSizeLoop(HWND Wnd, int Hit, POINT Start)
{
    TWindow* W = Find(Wnd);
    if (!W)
        return;
    RECT Orig = W->Window;
    SendMessage(Wnd, WM_ENTERSIZEMOVE, 0, 0);
    bool Ok = TrackMouse(Wnd, [&](POINT P) {
        TWindow* X = Find(Wnd);
        if (!X)
            return;
        int Dx = P.x - Start.x, Dy = P.y - Start.y;
        RECT R = Orig;
        if (Hit == HTCAPTION) {
            OffsetRect(&R, Dx, Dy);
            SendMessage(Wnd, WM_MOVING, 0, reinterpret_cast<LPARAM>(&R));
        } else {
            if (Hit == HTLEFT || Hit == HTTOPLEFT || Hit == HTBOTTOMLEFT)
                R.left = std::min(R.left + Dx, R.right - GetSystemMetrics(SM_CXMINTRACK));
            if (Hit == HTRIGHT || Hit == HTTOPRIGHT || Hit == HTBOTTOMRIGHT)
                R.right = std::max(R.right + Dx, R.left + GetSystemMetrics(SM_CXMINTRACK));
            if (Hit == HTTOP || Hit == HTTOPLEFT || Hit == HTTOPRIGHT)
                R.top = std::min(R.top + Dy, R.bottom - GetSystemMetrics(SM_CYMINTRACK));
            if (Hit == HTBOTTOM || Hit == HTBOTTOMLEFT || Hit == HTBOTTOMRIGHT)
                R.bottom = std::max(R.bottom + Dy, R.top + GetSystemMetrics(SM_CYMINTRACK));
            SendMessage(Wnd, WM_SIZING, static_cast<WPARAM>(Hit - HTLEFT + 1), reinterpret_cast<LPARAM>(&R));
        }
        SetWindowPos(Wnd, nullptr, R.left, R.top, R.right - R.left, R.bottom - R.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    });
    if (!Ok && Find(Wnd))
        SetWindowPos(Wnd, nullptr, Orig.left, Orig.top, Orig.right - Orig.left, Orig.bottom - Orig.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    if (Find(Wnd))
        SendMessage(Wnd, WM_EXITSIZEMOVE, 0, 0);
}

// Presses a caption button: true when released over it.
bool CaptionButtonLoop(HWND Wnd, int Hit)
{
    bool Inside = true;
    bool Ok = TrackMouse(Wnd, [&](POINT P) {
        if (Find(Wnd))
            Inside = static_cast<int>(SendMessage(Wnd, WM_NCHITTEST, 0, PointToLParam(P.x, P.y))) == Hit;
    });
    return Ok && Inside;
}

void ScrollBarLoop(HWND Wnd, int Bar, POINT Screen)
{
    TWindow* W = Find(Wnd);
    if (!W)
        return;
    UINT Msg = Bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL;
    QRect R = ScrollBarRect(W, Bar);
    TScrollBarState& S = Bar == SB_VERT ? W->VScroll : W->HScroll;
    QPoint P = QPoint(Screen.x, Screen.y) - WindowOrigin(W);
    bool Vert = Bar == SB_VERT;
    int Len = Vert ? R.height() : R.width();
    int Arrow = Vert ? R.width() : R.height();
    int Along = Vert ? P.y() - R.top() : P.x() - R.left();
    int Track = std::max(0, Len - 2 * Arrow);
    int Thumb = ScrollThumbLength(Track, S.Info.nMin, S.Info.nMax, S.Info.nPage, Arrow);
    int MaxPos = ScrollMaxPos(S.Info.nMin, S.Info.nMax, S.Info.nPage);
    std::int64_t Span = std::max<std::int64_t>(1, std::int64_t(MaxPos) - S.Info.nMin);
    int ThumbAt = Arrow + ScrollThumbOffset(Track - Thumb, S.Info.nMin, MaxPos, S.Info.nPos);
    int Code;
    if (Along < Arrow)
        Code = SB_LINEUP;
    else if (Along >= Len - Arrow)
        Code = SB_LINEDOWN;
    else if (Along < ThumbAt)
        Code = SB_PAGEUP;
    else if (Along >= ThumbAt + Thumb)
        Code = SB_PAGEDOWN;
    else
        Code = SB_THUMBTRACK;
    if (Code != SB_THUMBTRACK) {
        SendMessage(Wnd, Msg, static_cast<WPARAM>(Code), 0);
        TrackMouse(Wnd, [](POINT) {});
        if (Find(Wnd))
            SendMessage(Wnd, Msg, SB_ENDSCROLL, 0);
        return;
    }
    int StartAlong = Vert ? Screen.y : Screen.x;
    int StartPos = S.Info.nPos;
    int Pos = StartPos;
    bool Ok = TrackMouse(Wnd, [&](POINT Q) {
        int D = (Vert ? Q.y : Q.x) - StartAlong;
        int Room = std::max(1, Track - Thumb);
        Pos = ScrollPosMoved(StartPos, D * Span / Room, S.Info.nMin, MaxPos);
        if (TWindow* X = Find(Wnd))
            (Vert ? X->VScroll : X->HScroll).Info.nTrackPos = Pos;
        SendMessage(Wnd, Msg, MAKEWPARAM(SB_THUMBTRACK, static_cast<WORD>(Pos)), 0);
    });
    if (!Find(Wnd))
        return;
    if (Ok)
        SendMessage(Wnd, Msg, MAKEWPARAM(SB_THUMBPOSITION, static_cast<WORD>(Pos)), 0);
    if (Find(Wnd))
        SendMessage(Wnd, Msg, SB_ENDSCROLL, 0);
}

HWND TopOf(HWND Wnd)
{
    return Root(Wnd);
}

} // namespace

// ---- The default answers, one function per message ------------------------------------------

namespace {

// One call of the default procedure: the window, its record and the message.
struct TDefCall {
    HWND Wnd;
    TWindow* W;
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
};
using TDefHandler = LRESULT (*)(TDefCall& C);

LRESULT WMNCCreate(TDefCall& C)
{
    auto* CS = reinterpret_cast<CREATESTRUCT*>(C.LParam);
    if (CS && CS->lpszName && !IS_INTRESOURCE(CS->lpszName))
        C.W->Text = CS->lpszName;
    return TRUE;
}

LRESULT WMNCCalcSize(TDefCall& C)
{
    if (C.LParam)
        CalcClient(C.W, reinterpret_cast<RECT*>(C.LParam));
    return 0;
}

LRESULT WMNCHitTest(TDefCall& C)
{
    return NcHitTest(C.W, LParamToPoint(C.LParam));
}

LRESULT WMNCPaint(TDefCall& C)
{
    PaintNonClient(C.W, reinterpret_cast<HRGN>(C.WParam));
    return 0;
}

// A caption shows its window's text and activation: repaint the frame when either changes.
void RepaintCaption(TWindow* W)
{
    if ((W->Style & WS_CAPTION) == WS_CAPTION) {
        W->NcPaint = true;
        if (IsShown(W))
            PaintNonClient(W, nullptr);
    }
}

LRESULT WMNCActivate(TDefCall& C)
{
    if (C.W->CaptionActive != (C.WParam != 0)) {
        C.W->CaptionActive = C.WParam != 0;
        RepaintCaption(C.W);
    }
    return TRUE;
}

LRESULT WMPaint(TDefCall& C)
{
    PAINTSTRUCT PS;
    BeginPaint(C.Wnd, &PS);
    EndPaint(C.Wnd, &PS);
    return 0;
}

LRESULT WMEraseBkgnd(TDefCall& C)
{
    HBRUSH Brush = C.W->Class->Class.hbrBackground;
    if (!Brush)
        return 0;
    RECT R;
    GetClipBox(reinterpret_cast<HDC>(C.WParam), &R);
    FillRect(reinterpret_cast<HDC>(C.WParam), &R, Brush);
    return 1;
}

LRESULT WMSetText(TDefCall& C)
{
    C.W->Text = C.LParam ? reinterpret_cast<const char*>(C.LParam) : "";
    if (!C.W->IsChild())
        SyncHost(C.W); // the desktop's task list shows the title
    RepaintCaption(C.W);
    return TRUE;
}

LRESULT WMGetText(TDefCall& C)
{
    if (!C.LParam || C.WParam == 0)
        return 0;
    std::size_t N = std::min<std::size_t>(C.WParam - 1, C.W->Text.size());
    std::memcpy(reinterpret_cast<char*>(C.LParam), C.W->Text.data(), N);
    reinterpret_cast<char*>(C.LParam)[N] = 0;
    return static_cast<LRESULT>(N);
}

LRESULT WMGetTextLength(TDefCall& C)
{
    return static_cast<LRESULT>(C.W->Text.size());
}

LRESULT WMClose(TDefCall& C)
{
    DestroyWindow(C.Wnd);
    return 0;
}

LRESULT AnswerTrue(TDefCall&)
{
    return TRUE;
}

LRESULT WMWindowPosChanging(TDefCall& C)
{
    auto* WP = reinterpret_cast<WINDOWPOS*>(C.LParam);
    TWindow* W = C.W;
    if (WP && !(WP->flags & SWP_NOSIZE) && !W->IsChild() && (W->Style & (WS_THICKFRAME | WS_CAPTION)) &&
        !(W->Style & (WS_MINIMIZE | WS_MAXIMIZE))) {
        MINMAXINFO MMI;
        SendMessage(C.Wnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&MMI));
        WP->cx = std::clamp(WP->cx, static_cast<int>(MMI.ptMinTrackSize.x),
                            std::max<int>(MMI.ptMinTrackSize.x, MMI.ptMaxTrackSize.x));
        WP->cy = std::clamp(WP->cy, static_cast<int>(MMI.ptMinTrackSize.y),
                            std::max<int>(MMI.ptMinTrackSize.y, MMI.ptMaxTrackSize.y));
    }
    return 0;
}

LRESULT WMGetMinMaxInfo(TDefCall& C)
{
    auto* M = reinterpret_cast<MINMAXINFO*>(C.LParam);
    if (!M)
        return 0;
    M->ptMaxSize = POINT{GetSystemMetrics(SM_CXMAXIMIZED), GetSystemMetrics(SM_CYMAXIMIZED)};
    M->ptMaxPosition = POINT{-4, -4};
    M->ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
    M->ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
    return 0;
}

LRESULT WMWindowPosChanged(TDefCall& C)
{
    auto* WP = reinterpret_cast<WINDOWPOS*>(C.LParam);
    if (!WP)
        return 0;
    TWindow* W = C.W;
    if (!(WP->flags & 0x1000)) {
        QPoint CO = W->Parent ? QPoint(W->Window.left + W->Client.left, W->Window.top + W->Client.top)
                              : ClientOrigin(W);
        SendMessage(C.Wnd, WM_MOVE, 0, PointToLParam(CO.x(), CO.y()));
    }
    if (!(WP->flags & 0x0800) && (W = Find(C.Wnd))) {
        WPARAM Type = (W->Style & WS_MAXIMIZE)   ? SIZE_MAXIMIZED
                      : (W->Style & WS_MINIMIZE) ? SIZE_MINIMIZED
                                                 : SIZE_RESTORED;
        SendMessage(C.Wnd, WM_SIZE, Type, MAKELPARAM(W->ClientWidth(), W->ClientHeight()));
    }
    return 0;
}

LRESULT WMActivate(TDefCall& C)
{
    if (LOWORD(C.WParam) != WA_INACTIVE && !HIWORD(C.WParam) && !IsDescendant(C.Wnd, GetFocus()))
        SetFocus(C.Wnd);
    return 0;
}

LRESULT WMMouseActivate(TDefCall& C)
{
    if (C.W->Parent && (C.W->Style & WS_CHILD)) {
        LRESULT R = SendMessage(C.W->Parent, WM_MOUSEACTIVATE, C.WParam, C.LParam);
        if (R)
            return R;
    }
    return MA_ACTIVATE;
}

LRESULT WMSetCursor(TDefCall& C)
{
    if (C.W->Parent && (C.W->Style & WS_CHILD) && SendMessage(C.W->Parent, WM_SETCURSOR, C.WParam, C.LParam))
        return TRUE;
    int Hit = static_cast<SmallInt>(LOWORD(static_cast<std::uintptr_t>(C.LParam)));
    TWindow* W = Find(C.Wnd);
    if (!W)
        return FALSE;
    if (Hit == HTCLIENT) {
        if (W->Class->Class.hCursor) {
            SetCursor(W->Class->Class.hCursor);
            return TRUE;
        }
        return FALSE;
    }
    if (Hit == HTERROR)
        return FALSE;
    SetCursor(StandardCursorFor(Hit));
    return TRUE;
}

LRESULT WMCancelMode(TDefCall& C)
{
    if (GetCapture() == C.Wnd)
        ReleaseCapture();
    return 0;
}

LRESULT WMNCLButtonDown(TDefCall& C)
{
    HWND Wnd = C.Wnd;
    int Hit = static_cast<int>(C.WParam);
    POINT P = LParamToPoint(C.LParam);
    if ((Hit == HTCAPTION || (Hit >= HTLEFT && Hit <= HTBOTTOMRIGHT)) && !(C.W->Style & WS_MAXIMIZE)) {
        if (Hit == HTCAPTION)
            SendMessage(Wnd, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, C.LParam);
        else
            SendMessage(Wnd, WM_SYSCOMMAND, SC_SIZE | static_cast<WPARAM>(Hit - HTLEFT + 1), C.LParam);
    } else if (Hit == HTCLOSE || Hit == HTMINBUTTON || Hit == HTMAXBUTTON) {
        if (CaptionButtonLoop(Wnd, Hit) && Find(Wnd)) {
            WPARAM Cmd = Hit == HTCLOSE       ? SC_CLOSE
                         : Hit == HTMINBUTTON ? SC_MINIMIZE
                         : IsZoomed(Wnd)      ? SC_RESTORE
                                              : SC_MAXIMIZE;
            SendMessage(Wnd, WM_SYSCOMMAND, Cmd, C.LParam);
        }
    } else if (Hit == HTVSCROLL || Hit == HTHSCROLL) {
        ScrollBarLoop(Wnd, Hit == HTVSCROLL ? SB_VERT : SB_HORZ, P);
    }
    return 0;
}

LRESULT WMNCLButtonDblClk(TDefCall& C)
{
    if (C.WParam == HTCAPTION && (C.W->Style & WS_MAXIMIZEBOX))
        SendMessage(C.Wnd, WM_SYSCOMMAND, IsZoomed(C.Wnd) ? SC_RESTORE : SC_MAXIMIZE, C.LParam);
    else if (C.WParam == HTVSCROLL || C.WParam == HTHSCROLL)
        ScrollBarLoop(C.Wnd, C.WParam == HTVSCROLL ? SB_VERT : SB_HORZ, LParamToPoint(C.LParam));
    return 0;
}

LRESULT WMSysCommand(TDefCall& C)
{
    HWND Wnd = C.Wnd;
    const WPARAM Cmd = C.WParam & 0xFFF0;
    if (Cmd == SC_CLOSE)
        SendMessage(Wnd, WM_CLOSE, 0, 0);
    else if (Cmd == SC_MINIMIZE)
        ShowWindow(Wnd, SW_MINIMIZE);
    else if (Cmd == SC_MAXIMIZE)
        ShowWindow(Wnd, SW_MAXIMIZE);
    else if (Cmd == SC_RESTORE)
        ShowWindow(Wnd, SW_RESTORE);
    else if (Cmd == SC_MOVE)
        MoveSizeLoop(Wnd, HTCAPTION, LParamToPoint(C.LParam));
    else if (Cmd == SC_SIZE)
        MoveSizeLoop(Wnd, static_cast<int>(C.WParam & 0xF) + HTLEFT - 1, LParamToPoint(C.LParam));
    return 0;
}

LRESULT WMSysKeyDown(TDefCall& C)
{
    if (C.WParam == VK_F4 && (C.LParam & (1 << 29)))
        SendMessage(TopOf(C.Wnd), WM_SYSCOMMAND, SC_CLOSE, 0);
    return 0;
}

LRESULT WMRButtonUp(TDefCall& C)
{
    POINT P = LParamToPoint(C.LParam);
    ClientToScreen(C.Wnd, &P);
    SendMessage(C.Wnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(C.Wnd), PointToLParam(P.x, P.y));
    return 0;
}

LRESULT WMNCRButtonUp(TDefCall& C)
{
    SendMessage(C.Wnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(C.Wnd), C.LParam);
    return 0;
}

// WM_CONTEXTMENU, WM_MOUSEWHEEL, WM_HELP: a child window passes them up to its parent.
LRESULT PassToParent(TDefCall& C)
{
    if (C.W->Parent && (C.W->Style & WS_CHILD))
        return SendMessage(C.W->Parent, C.Msg, C.WParam, C.LParam);
    return 0;
}

LRESULT WMSetRedraw(TDefCall& C)
{
    C.W->RedrawOff = C.WParam == 0;
    return 0;
}

LRESULT WMSetFont(TDefCall& C)
{
    C.W->Font = reinterpret_cast<HFONT>(C.WParam);
    if (C.LParam)
        InvalidateRect(C.Wnd, nullptr, TRUE);
    return 0;
}

LRESULT WMGetFont(TDefCall& C)
{
    return reinterpret_cast<LRESULT>(C.W->Font);
}

LRESULT WMSetIcon(TDefCall& C)
{
    HICON& Slot = C.WParam ? C.W->IconBig : C.W->IconSmall;
    HICON Old = Slot;
    Slot = reinterpret_cast<HICON>(C.LParam);
    return reinterpret_cast<LRESULT>(Old);
}

LRESULT WMGetIcon(TDefCall& C)
{
    return reinterpret_cast<LRESULT>(C.WParam ? C.W->IconBig : C.W->IconSmall);
}

// The WM_CTLCOLOR* family: window text on the window colour for edits and lists, else on the
// button face.
LRESULT WMCtlColor(TDefCall& C)
{
    HDC DC = reinterpret_cast<HDC>(C.WParam);
    bool Window = C.Msg == WM_CTLCOLOREDIT || C.Msg == WM_CTLCOLORLISTBOX;
    SetTextColor(DC, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(DC, GetSysColor(Window ? COLOR_WINDOW : COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(Window ? COLOR_WINDOW : COLOR_BTNFACE));
}

const TMessageMap<TDefHandler>& DefHandlers()
{
    static const TMessageMap<TDefHandler> Map{
        {WM_NCCREATE, &WMNCCreate},
        {WM_NCCALCSIZE, &WMNCCalcSize},
        {WM_NCHITTEST, &WMNCHitTest},
        {WM_NCPAINT, &WMNCPaint},
        {WM_NCACTIVATE, &WMNCActivate},
        {WM_PAINT, &WMPaint},
        {WM_ERASEBKGND, &WMEraseBkgnd},
        {WM_SETTEXT, &WMSetText},
        {WM_GETTEXT, &WMGetText},
        {WM_GETTEXTLENGTH, &WMGetTextLength},
        {WM_CLOSE, &WMClose},
        {WM_QUERYENDSESSION, &AnswerTrue},
        {WM_QUERYOPEN, &AnswerTrue},
        {WM_WINDOWPOSCHANGING, &WMWindowPosChanging},
        {WM_GETMINMAXINFO, &WMGetMinMaxInfo},
        {WM_WINDOWPOSCHANGED, &WMWindowPosChanged},
        {WM_ACTIVATE, &WMActivate},
        {WM_MOUSEACTIVATE, &WMMouseActivate},
        {WM_SETCURSOR, &WMSetCursor},
        {WM_CANCELMODE, &WMCancelMode},
        {WM_NCLBUTTONDOWN, &WMNCLButtonDown},
        {WM_NCLBUTTONDBLCLK, &WMNCLButtonDblClk},
        {WM_SYSCOMMAND, &WMSysCommand},
        {WM_SYSKEYDOWN, &WMSysKeyDown},
        {WM_RBUTTONUP, &WMRButtonUp},
        {WM_NCRBUTTONUP, &WMNCRButtonUp},
        {WM_CONTEXTMENU, &PassToParent},
        {WM_MOUSEWHEEL, &PassToParent},
        {WM_HELP, &PassToParent},
        {WM_SETREDRAW, &WMSetRedraw},
        {WM_SETFONT, &WMSetFont},
        {WM_GETFONT, &WMGetFont},
        {WM_SETICON, &WMSetIcon},
        {WM_GETICON, &WMGetIcon},
        {WM_CTLCOLORMSGBOX, &WMCtlColor},
        {WM_CTLCOLOREDIT, &WMCtlColor},
        {WM_CTLCOLORLISTBOX, &WMCtlColor},
        {WM_CTLCOLORBTN, &WMCtlColor},
        {WM_CTLCOLORDLG, &WMCtlColor},
        {WM_CTLCOLORSCROLLBAR, &WMCtlColor},
        {WM_CTLCOLORSTATIC, &WMCtlColor},
    };
    return Map;
}

} // namespace

LRESULT DefWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    TWindow* W = Find(Wnd);
    if (!W)
        return 0;
    if (Msg >= WM_MOUSEFIRST && Msg <= WM_MOUSELAST && ReplayNativeEvent(Wnd, Msg, WParam))
        return 0;
    if (Msg >= WM_KEYFIRST && Msg <= WM_KEYLAST && ReplayNativeEvent(Wnd, Msg, WParam))
        return 0;
    // What has no default answer here (WM_PRINT, WM_PRINTCLIENT, the rest) answers 0.
    const TDefHandler* Handler = DefHandlers().Find(Msg);
    if (!Handler)
        return 0;
    TDefCall Call{Wnd, W, Msg, WParam, LParam};
    return (*Handler)(Call);
}
