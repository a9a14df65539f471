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

LRESULT DefWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    TWindow* W = Find(Wnd);
    if (!W)
        return 0;
    if (Msg >= WM_MOUSEFIRST && Msg <= WM_MOUSELAST && ReplayNativeEvent(Wnd, Msg, WParam))
        return 0;
    if (Msg >= WM_KEYFIRST && Msg <= WM_KEYLAST && ReplayNativeEvent(Wnd, Msg, WParam))
        return 0;
    switch (Msg) {
    case WM_NCCREATE: {
        auto* CS = reinterpret_cast<CREATESTRUCT*>(LParam);
        if (CS && CS->lpszName && !IS_INTRESOURCE(CS->lpszName))
            W->Text = CS->lpszName;
        return TRUE;
    }
    case WM_NCCALCSIZE:
        if (LParam)
            CalcClient(W, reinterpret_cast<RECT*>(LParam));
        return 0;
    case WM_NCHITTEST:
        return NcHitTest(W, LParamToPoint(LParam));
    case WM_NCPAINT:
        PaintNonClient(W, reinterpret_cast<HRGN>(WParam));
        return 0;
    case WM_NCACTIVATE:
        if (W->CaptionActive != (WParam != 0)) {
            W->CaptionActive = WParam != 0;
            if ((W->Style & WS_CAPTION) == WS_CAPTION) {
                W->NcPaint = true;
                if (IsShown(W))
                    PaintNonClient(W, nullptr);
            }
        }
        return TRUE;
    case WM_PAINT: {
        PAINTSTRUCT PS;
        BeginPaint(Wnd, &PS);
        EndPaint(Wnd, &PS);
        return 0;
    }
    case WM_ERASEBKGND: {
        HBRUSH Brush = W->Class->Class.hbrBackground;
        if (!Brush)
            return 0;
        RECT R;
        GetClipBox(reinterpret_cast<HDC>(WParam), &R);
        FillRect(reinterpret_cast<HDC>(WParam), &R, Brush);
        return 1;
    }
    case WM_SETTEXT:
        W->Text = LParam ? reinterpret_cast<const char*>(LParam) : "";
        if (!W->IsChild())
            SyncHost(W); // the desktop's task list shows the title
        if ((W->Style & WS_CAPTION) == WS_CAPTION) {
            W->NcPaint = true;
            if (IsShown(W))
                PaintNonClient(W, nullptr);
        }
        return TRUE;
    case WM_GETTEXT: {
        if (!LParam || WParam == 0)
            return 0;
        std::size_t N = std::min<std::size_t>(WParam - 1, W->Text.size());
        std::memcpy(reinterpret_cast<char*>(LParam), W->Text.data(), N);
        reinterpret_cast<char*>(LParam)[N] = 0;
        return static_cast<LRESULT>(N);
    }
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(W->Text.size());
    case WM_CLOSE:
        DestroyWindow(Wnd);
        return 0;
    case WM_QUERYENDSESSION:
    case WM_QUERYOPEN:
        return TRUE;
    case WM_WINDOWPOSCHANGING: {
        auto* WP = reinterpret_cast<WINDOWPOS*>(LParam);
        if (WP && !(WP->flags & SWP_NOSIZE) && !W->IsChild() && (W->Style & (WS_THICKFRAME | WS_CAPTION)) &&
            !(W->Style & (WS_MINIMIZE | WS_MAXIMIZE))) {
            MINMAXINFO MMI;
            SendMessage(Wnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&MMI));
            WP->cx = std::clamp(WP->cx, static_cast<int>(MMI.ptMinTrackSize.x),
                                std::max<int>(MMI.ptMinTrackSize.x, MMI.ptMaxTrackSize.x));
            WP->cy = std::clamp(WP->cy, static_cast<int>(MMI.ptMinTrackSize.y),
                                std::max<int>(MMI.ptMinTrackSize.y, MMI.ptMaxTrackSize.y));
        }
        return 0;
    }
    case WM_GETMINMAXINFO: {
        auto* M = reinterpret_cast<MINMAXINFO*>(LParam);
        if (!M)
            return 0;
        M->ptMaxSize = POINT{GetSystemMetrics(SM_CXMAXIMIZED), GetSystemMetrics(SM_CYMAXIMIZED)};
        M->ptMaxPosition = POINT{-4, -4};
        M->ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
        M->ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
        return 0;
    }
    case WM_WINDOWPOSCHANGED: {
        auto* WP = reinterpret_cast<WINDOWPOS*>(LParam);
        if (!WP)
            return 0;
        if (!(WP->flags & 0x1000)) {
            QPoint CO = W->Parent ? QPoint(W->Window.left + W->Client.left, W->Window.top + W->Client.top)
                                  : ClientOrigin(W);
            SendMessage(Wnd, WM_MOVE, 0, PointToLParam(CO.x(), CO.y()));
        }
        if (!(WP->flags & 0x0800) && (W = Find(Wnd))) {
            WPARAM Type = (W->Style & WS_MAXIMIZE)   ? SIZE_MAXIMIZED
                          : (W->Style & WS_MINIMIZE) ? SIZE_MINIMIZED
                                                     : SIZE_RESTORED;
            SendMessage(Wnd, WM_SIZE, Type, MAKELPARAM(W->ClientWidth(), W->ClientHeight()));
        }
        return 0;
    }
    case WM_ACTIVATE:
        if (LOWORD(WParam) != WA_INACTIVE && !HIWORD(WParam) && !IsDescendant(Wnd, GetFocus()))
            SetFocus(Wnd);
        return 0;
    case WM_MOUSEACTIVATE:
        if (W->Parent && (W->Style & WS_CHILD)) {
            LRESULT R = SendMessage(W->Parent, WM_MOUSEACTIVATE, WParam, LParam);
            if (R)
                return R;
        }
        return MA_ACTIVATE;
    case WM_SETCURSOR: {
        if (W->Parent && (W->Style & WS_CHILD) && SendMessage(W->Parent, WM_SETCURSOR, WParam, LParam))
            return TRUE;
        int Hit = static_cast<SmallInt>(LOWORD(static_cast<std::uintptr_t>(LParam)));
        if (!(W = Find(Wnd)))
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
    case WM_CANCELMODE:
        if (GetCapture() == Wnd)
            ReleaseCapture();
        return 0;
    case WM_NCLBUTTONDOWN: {
        int Hit = static_cast<int>(WParam);
        POINT P = LParamToPoint(LParam);
        if ((Hit == HTCAPTION || (Hit >= HTLEFT && Hit <= HTBOTTOMRIGHT)) && !(W->Style & WS_MAXIMIZE)) {
            if (Hit == HTCAPTION)
                SendMessage(Wnd, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, LParam);
            else
                SendMessage(Wnd, WM_SYSCOMMAND, SC_SIZE | static_cast<WPARAM>(Hit - HTLEFT + 1), LParam);
        } else if (Hit == HTCLOSE || Hit == HTMINBUTTON || Hit == HTMAXBUTTON) {
            if (CaptionButtonLoop(Wnd, Hit) && Find(Wnd)) {
                WPARAM Cmd = Hit == HTCLOSE       ? SC_CLOSE
                             : Hit == HTMINBUTTON ? SC_MINIMIZE
                             : IsZoomed(Wnd)      ? SC_RESTORE
                                                  : SC_MAXIMIZE;
                SendMessage(Wnd, WM_SYSCOMMAND, Cmd, LParam);
            }
        } else if (Hit == HTVSCROLL || Hit == HTHSCROLL) {
            ScrollBarLoop(Wnd, Hit == HTVSCROLL ? SB_VERT : SB_HORZ, P);
        }
        return 0;
    }
    case WM_NCLBUTTONDBLCLK:
        if (WParam == HTCAPTION && (W->Style & WS_MAXIMIZEBOX))
            SendMessage(Wnd, WM_SYSCOMMAND, IsZoomed(Wnd) ? SC_RESTORE : SC_MAXIMIZE, LParam);
        else if (WParam == HTVSCROLL || WParam == HTHSCROLL)
            ScrollBarLoop(Wnd, WParam == HTVSCROLL ? SB_VERT : SB_HORZ, LParamToPoint(LParam));
        return 0;
    case WM_SYSCOMMAND:
        switch (WParam & 0xFFF0) {
        case SC_CLOSE:
            SendMessage(Wnd, WM_CLOSE, 0, 0);
            break;
        case SC_MINIMIZE:
            ShowWindow(Wnd, SW_MINIMIZE);
            break;
        case SC_MAXIMIZE:
            ShowWindow(Wnd, SW_MAXIMIZE);
            break;
        case SC_RESTORE:
            ShowWindow(Wnd, SW_RESTORE);
            break;
        case SC_MOVE:
            MoveSizeLoop(Wnd, HTCAPTION, LParamToPoint(LParam));
            break;
        case SC_SIZE:
            MoveSizeLoop(Wnd, static_cast<int>(WParam & 0xF) + HTLEFT - 1, LParamToPoint(LParam));
            break;
        default:
            break;
        }
        return 0;
    case WM_SYSKEYDOWN:
        if (WParam == VK_F4 && (LParam & (1 << 29)))
            SendMessage(TopOf(Wnd), WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    case WM_RBUTTONUP: {
        POINT P = LParamToPoint(LParam);
        ClientToScreen(Wnd, &P);
        SendMessage(Wnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Wnd), PointToLParam(P.x, P.y));
        return 0;
    }
    case WM_NCRBUTTONUP:
        SendMessage(Wnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Wnd), LParam);
        return 0;
    case WM_CONTEXTMENU:
    case WM_MOUSEWHEEL:
    case WM_HELP:
        if (W->Parent && (W->Style & WS_CHILD))
            return SendMessage(W->Parent, Msg, WParam, LParam);
        return 0;
    case WM_SETREDRAW:
        W->RedrawOff = WParam == 0;
        return 0;
    case WM_SETFONT:
        W->Font = reinterpret_cast<HFONT>(WParam);
        if (LParam)
            InvalidateRect(Wnd, nullptr, TRUE);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(W->Font);
    case WM_SETICON: {
        HICON Old = WParam ? W->IconBig : W->IconSmall;
        (WParam ? W->IconBig : W->IconSmall) = reinterpret_cast<HICON>(LParam);
        return reinterpret_cast<LRESULT>(Old);
    }
    case WM_GETICON:
        return reinterpret_cast<LRESULT>(WParam ? W->IconBig : W->IconSmall);
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
        HDC DC = reinterpret_cast<HDC>(WParam);
        bool Window = Msg == WM_CTLCOLOREDIT || Msg == WM_CTLCOLORLISTBOX;
        SetTextColor(DC, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(DC, GetSysColor(Window ? COLOR_WINDOW : COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(Window ? COLOR_WINDOW : COLOR_BTNFACE));
    }
    case WM_PRINTCLIENT:
    case WM_PRINT:
        return 0;
    default:
        return 0;
    }
}
