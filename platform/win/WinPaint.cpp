// Painting: update regions, WM_PAINT and BeginPaint, window DCs over each window's backing
// image, scrolling, the window-update lock, carets, the standard non-client look, window
// scroll bars, composing windows for display and capture, and the desktop overlay.
#include "platform/qt/WinState.h"
#include "platform/win/ScrollGeometry.h"

#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <new>

using namespace win;

namespace {

struct TOpenDC {
    HDC DC = nullptr;
    HWND Wnd = nullptr;
    bool Desktop = false;
};
std::vector<TOpenDC> gOpenDCs;
HWND gLocked = nullptr;
const uchar* gOverlayZeros = nullptr; // the pixels of a blank desktop overlay
TCaretState gCaret;
UINT gBlinkTime = 530;
QImage gDeadImage(1, 1, QImage::Format_RGB32);

QRegion ClientArea(const TWindow* W)
{
    return QRegion(0, 0, W->ClientWidth(), W->ClientHeight());
}
QRect ToQRect(const RECT& R)
{
    return QRect(R.left, R.top, R.right - R.left, R.bottom - R.top);
}
RECT ToRect(const QRect& R)
{
    return Bounds(R.x(), R.y(), R.width(), R.height());
}

int RegionType(const QRegion& R)
{
    if (R.isEmpty())
        return NULLREGION;
    return R.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

void CopyToHrgn(HRGN Dest, const QRegion& R)
{
    if (!Dest)
        return;
    HRGN Tmp = gdi::CreateRgnFromQRegion(R);
    CombineRgn(Dest, Tmp, nullptr, RGN_COPY);
    DeleteObject(Tmp);
}

HDC OpenWindowDC(TWindow* W, bool WholeWindow, const QRegion& ExtraClip, bool HasExtra, bool Exclude)
{
    EnsureSurface(W);
    QPoint Origin = WholeWindow ? QPoint(0, 0) : QPoint(W->Client.left, W->Client.top);
    QRegion Clip = WholeWindow ? QRegion(0, 0, W->Width(), W->Height()) : ClientArea(W);
    if (HasExtra)
        Clip = Exclude ? Clip - ExtraClip : Clip & ExtraClip;
    if (Clip.isEmpty())
        Clip = QRegion(-2, -2, 1, 1); // nothing visible, yet not "no clip"
    HDC DC = gdi::CreateImageDC(&W->Surface, Origin, Clip);
    gOpenDCs.push_back(TOpenDC{DC, W->Handle, false});
    return DC;
}

HDC OpenDesktopDC()
{
    QImage& O = DesktopOverlay();
    HDC DC = gdi::CreateImageDC(&O, QPoint(0, 0), QRegion(0, 0, O.width(), O.height()));
    gOpenDCs.push_back(TOpenDC{DC, GetDesktopWindow(), true});
    return DC;
}

bool AnyNonBlack(const QImage& Image)
{
    const int W = Image.width(), H = Image.height();
    for (int Y = 0; Y < H; ++Y) {
        const QRgb* Row = reinterpret_cast<const QRgb*>(Image.constScanLine(Y));
        QRgb Seen = 0;
        for (int X = 0; X < W; ++X)
            Seen |= Row[X];
        if ((Seen & 0xFFFFFF) != 0)
            return true;
    }
    return false;
}

// Whether the overlay holds anything to show. Most desktop DCs are got only to measure text and
// draw nothing; Qt gives an image a new cache key whenever its pixels may have changed, so the
// screen-sized image is looked through again only after something drew on it.
bool OverlayHasPixels()
{
    static qint64 CheckedKey = 0;
    static bool Any = false;
    const QImage& O = DesktopOverlay();
    if (O.constBits() == gOverlayZeros) // not drawn on since it was made blank
        return false;
    if (O.cacheKey() != CheckedKey) {
        Any = AnyNonBlack(O);
        CheckedKey = O.cacheKey();
    }
    return Any;
}

bool CaretVisible()
{
    if (!gCaret.Wnd || gCaret.HideCount > 0 || !Find(gCaret.Wnd))
        return false;
    DWORD T = ClockNow() - gCaret.BlinkStart;
    return gBlinkTime == 0 || (T / gBlinkTime) % 2 == 0;
}

void RefreshCaret()
{
    if (TWindow* W = Find(gCaret.Wnd))
        SurfaceChanged(W);
}

void PaintScrollBar(HDC DC, TWindow* W, int Bar)
{
    QRect R = ScrollBarRect(W, Bar);
    if (R.isEmpty())
        return;
    const TScrollBarState& S = Bar == SB_VERT ? W->VScroll : W->HScroll;
    bool Vert = Bar == SB_VERT;
    int Arrow = Vert ? std::min(R.width(), R.height() / 2) : std::min(R.height(), R.width() / 2);
    RECT A1 = Vert ? Bounds(R.x(), R.y(), R.width(), Arrow) : Bounds(R.x(), R.y(), Arrow, R.height());
    RECT A2 = Vert ? Bounds(R.x(), R.bottom() + 1 - Arrow, R.width(), Arrow)
                   : Bounds(R.right() + 1 - Arrow, R.y(), Arrow, R.height());
    bool Scrolls = S.Info.nPage < ScrollRange(S.Info.nMin, S.Info.nMax) && S.Disabled != ESB_DISABLE_BOTH;
    UINT Inactive = Scrolls ? 0 : DFCS_INACTIVE;
    DrawFrameControl(DC, &A1, DFC_SCROLL, (Vert ? DFCS_SCROLLUP : DFCS_SCROLLLEFT) | Inactive);
    DrawFrameControl(DC, &A2, DFC_SCROLL, (Vert ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT) | Inactive);
    RECT Track = Vert ? Bounds(R.x(), R.y() + Arrow, R.width(), std::max(0, R.height() - 2 * Arrow))
                      : Bounds(R.x() + Arrow, R.y(), std::max(0, R.width() - 2 * Arrow), R.height());
    FillRect(DC, &Track, GetSysColorBrush(COLOR_SCROLLBAR));
    if (!Scrolls)
        return;
    int Len = Vert ? Track.bottom - Track.top : Track.right - Track.left;
    int Thumb = ScrollThumbLength(Len, S.Info.nMin, S.Info.nMax, S.Info.nPage, Arrow);
    int MaxPos = ScrollMaxPos(S.Info.nMin, S.Info.nMax, S.Info.nPage);
    int At = ScrollThumbOffset(Len - Thumb, S.Info.nMin, MaxPos, S.Info.nPos);
    RECT T = Vert ? Bounds(Track.left, Track.top + At, Track.right - Track.left, Thumb)
                  : Bounds(Track.left + At, Track.top, Thumb, Track.bottom - Track.top);
    FillRect(DC, &T, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(DC, &T, EDGE_RAISED, BF_RECT);
}

void InvalidateRegion(TWindow* W, const QRegion& R, bool Erase)
{
    QRegion Add = R & ClientArea(W);
    if (Add.isEmpty())
        return;
    W->Update += Add;
    if (Erase)
        W->Erase = true;
}

void ValidateRegion(TWindow* W, const QRegion* R)
{
    if (!R) {
        W->Update = QRegion();
        W->Erase = false;
        W->NcPaint = false;
        W->InternalPaint = false;
        return;
    }
    W->Update -= *R;
    if (W->Update.isEmpty())
        W->Erase = false;
}

TWindow* TargetOf(HWND Wnd)
{
    return Find(Wnd);
}

} // namespace

namespace win {

void InvalidateWhole(TWindow* W, bool Erase, bool Frame)
{
    if (!W)
        return;
    W->Update = ClientArea(W);
    if (Erase)
        W->Erase = true;
    if (Frame)
        W->NcPaint = true;
}

void InvalidateTree(TWindow* W)
{
    if (!W)
        return;
    InvalidateWhole(W, true, true);
    for (HWND K : W->Children)
        InvalidateTree(Find(K));
}

bool NeedsPaint(const TWindow* W)
{
    return !W->Update.isEmpty() || W->NcPaint || W->InternalPaint;
}

bool IsLocked(const TWindow* W)
{
    return gLocked && !IsDesktop(gLocked) && IsDescendant(gLocked, W->Handle);
}

namespace {
// The overlay as it starts: black, its pixels zero pages of memory that nothing has touched,
// shared read-only, so that the first drawing gives the image a copy of its own. A program that
// never drags a frame across the desktop neither fills nor keeps a screen-sized image.
QImage BlankOverlay()
{
    const int W = GetSystemMetrics(SM_CXSCREEN), H = GetSystemMetrics(SM_CYSCREEN);
    const std::size_t Bytes = std::size_t(W) * std::size_t(H) * 4;
    // Kept for the program's life, the earlier ones too: a blank image may still use one (the
    // screen's size is known only once the application is up).
    static std::vector<std::unique_ptr<void, void (*)(void*)>> Kept;
    static std::size_t ZerosBytes = 0;
    if (ZerosBytes < Bytes) {
        gOverlayZeros = static_cast<const uchar*>(std::calloc(Bytes, 1));
        if (!gOverlayZeros)
            throw std::bad_alloc();
        Kept.emplace_back(const_cast<uchar*>(gOverlayZeros), std::free);
        ZerosBytes = Bytes;
    }
    return QImage(gOverlayZeros, W, H, W * 4, QImage::Format_RGB32);
}
} // namespace

QImage& DesktopOverlay()
{
    static QImage Overlay = BlankOverlay();
    return Overlay;
}

const TCaretState& Caret()
{
    return gCaret;
}

void Compose(TWindow* W, QPainter& P, QPoint Offset, const QRegion& Clip, bool ForCapture)
{
    if (!W || Clip.isEmpty())
        return;
    EnsureSurface(W);
    P.save();
    P.setClipRegion(Clip);
    P.drawImage(Offset, W->Surface);
    QPoint ClientAt = Offset + QPoint(W->Client.left, W->Client.top);
    QRegion ClientClip = Clip & QRegion(QRect(ClientAt, QSize(W->ClientWidth(), W->ClientHeight())));
    if (ForCapture && W->Attached) {
        QWidget* A = W->Attached;
        P.setClipRegion(ClientClip);
        A->render(&P, ClientAt, QRegion(), QWidget::DrawChildren);
    }
    P.restore();
    for (auto It = W->Children.rbegin(); It != W->Children.rend(); ++It) {
        TWindow* K = Find(*It);
        if (!K || !(K->Style & WS_VISIBLE))
            continue;
        QPoint KAt = ClientAt + QPoint(K->Window.left, K->Window.top);
        QRegion KClip = ClientClip & QRegion(QRect(KAt, QSize(K->Width(), K->Height())));
        Compose(K, P, KAt, KClip, ForCapture);
    }
    if (!ForCapture && gCaret.Wnd == W->Handle && CaretVisible()) {
        P.save();
        P.setClipRegion(ClientClip);
        P.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        P.fillRect(QRect(ClientAt + QPoint(gCaret.Pos.x, gCaret.Pos.y), QSize(gCaret.Width, gCaret.Height)),
                   gCaret.Grey ? QColor(0x80, 0x80, 0x80) : QColor(Qt::white));
        P.restore();
    }
}

void SurfaceChanged(TWindow* W)
{
    if (!W || !IsShown(W))
        return;
    TWindow* Top = Find(Root(W->Handle));
    if (!Top)
        return;
    QRect R = ScreenWindowRect(W).translated(-WindowOrigin(Top));
    UpdateHost(Top, R);
}

void ForgetWindowDCs(HWND Wnd)
{
    for (TOpenDC& D : gOpenDCs)
        if (D.Wnd == Wnd && !D.Desktop)
            gdi::SetDCImage(D.DC, &gDeadImage);
}

void SurfaceReallocated(TWindow* W)
{
    for (TOpenDC& D : gOpenDCs)
        if (D.Wnd == W->Handle && !D.Desktop)
            gdi::SetDCImage(D.DC, &W->Surface);
}

void CaretWindowGone(HWND Wnd)
{
    if (gCaret.Wnd == Wnd)
        gCaret = TCaretState();
}

void PaintTreeNow(HWND Wnd)
{
    // The window asked for paints even while hidden (a capture of a form not shown yet); its
    // descendants only when they would show with it.
    std::function<void(HWND, bool)> Paint = [&](HWND H, bool IsRoot) {
        TWindow* W = Find(H);
        if (!W || (!IsRoot && !(W->Style & WS_VISIBLE)))
            return;
        if (NeedsPaint(W) && !W->RedrawOff)
            SendMessage(H, WM_PAINT, 0, 0);
        if (!(W = Find(H)))
            return;
        std::vector<HWND> Kids = W->Children;
        for (HWND K : Kids)
            Paint(K, false);
    };
    Paint(Wnd, true);
}

QImage RenderWindowImage(HWND Wnd, bool ClientOnly)
{
    TWindow* W = Find(Wnd);
    if (!W)
        return QImage();
    // Paint what is pending, up to three rounds (a paint may invalidate a child).
    for (int Round = 0; Round < 3; ++Round)
        PaintTreeNow(Wnd);
    if (!(W = Find(Wnd)))
        return QImage();
    QSize Size = ClientOnly ? QSize(W->ClientWidth(), W->ClientHeight()) : QSize(W->Width(), W->Height());
    QImage Img(Size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    Img.fill(0xFF000000u);
    QPainter P(&Img);
    QPoint Offset = ClientOnly ? QPoint(-W->Client.left, -W->Client.top) : QPoint(0, 0);
    Compose(W, P, Offset, QRegion(0, 0, Img.width(), Img.height()), true);
    P.end();
    return Img;
}

void ResetPaintState()
{
    for (TOpenDC& D : gOpenDCs)
        DeleteDC(D.DC);
    gOpenDCs.clear();
    gLocked = nullptr;
    gCaret = TCaretState();
    gBlinkTime = 530;
    DesktopOverlay() = BlankOverlay();
}

void PaintNonClient(TWindow* W, HRGN Clip)
{
    if (!W)
        return;
    W->NcPaint = false;
    QRegion NC = QRegion(0, 0, W->Width(), W->Height()) - QRegion(ToQRect(W->Client));
    if (NC.isEmpty())
        return;
    QRegion Extra;
    bool HasExtra = false;
    if (Clip && reinterpret_cast<std::uintptr_t>(Clip) != 1) {
        Extra = gdi::QRegionOf(Clip).translated(-WindowOrigin(W));
        HasExtra = true;
    }
    HDC DC = OpenWindowDC(W, true, HasExtra ? (NC & Extra) : NC, true, false);
    TNcLayout L = NcLayoutOf(W);
    RECT R = Bounds(0, 0, W->Width(), W->Height());
    int B = L.F.Border;
    if (B >= 3) {
        DrawEdge(DC, &R, EDGE_RAISED, BF_RECT | BF_ADJUST);
        for (int I = 2; I < B; ++I) {
            FrameRect(DC, &R, GetSysColorBrush(COLOR_BTNFACE));
            InflateRect(&R, -1, -1);
        }
    } else if (B > 0) {
        for (int I = 0; I < B; ++I) {
            FrameRect(DC, &R, GetSysColorBrush(COLOR_WINDOWFRAME));
            InflateRect(&R, -1, -1);
        }
    }
    if (L.F.Caption) {
        bool Active = W->CaptionActive;
        RECT Cap = ToRect(L.Caption);
        FillRect(DC, &Cap, GetSysColorBrush(Active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
        RECT Line = Bounds(Cap.left, Cap.bottom, Cap.right - Cap.left, 1);
        FillRect(DC, &Line, GetSysColorBrush(COLOR_BTNFACE));
        RECT Text = Cap;
        Text.left += L.SysIcon.isEmpty() ? 2 : L.SysIcon.width() + 4;
        QRect Leftmost = !L.Min.isEmpty() ? L.Min : !L.Close.isEmpty() ? L.Close : QRect();
        if (!Leftmost.isEmpty())
            Text.right = Leftmost.left() - 2;
        LOGFONT LF;
        LF.lfHeight = L.F.SmallCaption ? -10 : -11;
        LF.lfWeight = FW_BOLD;
        std::strncpy(LF.lfFaceName, "MS Sans Serif", LF_FACESIZE - 1);
        HFONT Font = CreateFontIndirect(&LF);
        HGDIOBJ OldFont = SelectObject(DC, Font);
        SetBkMode(DC, TRANSPARENT);
        SetTextColor(DC, GetSysColor(Active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
        DrawText(DC, W->Text.c_str(), -1, &Text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        SelectObject(DC, OldFont);
        DeleteObject(Font);
        if (!L.Close.isEmpty()) {
            RECT C = ToRect(L.Close);
            DrawFrameControl(DC, &C, DFC_CAPTION, DFCS_CAPTIONCLOSE);
        }
        if (!L.Max.isEmpty()) {
            RECT C = ToRect(L.Max);
            DrawFrameControl(DC, &C, DFC_CAPTION,
                             ((W->Style & WS_MAXIMIZE) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMAX) |
                                 ((W->Style & WS_MAXIMIZEBOX) ? 0 : DFCS_INACTIVE));
        }
        if (!L.Min.isEmpty()) {
            RECT C = ToRect(L.Min);
            DrawFrameControl(DC, &C, DFC_CAPTION,
                             ((W->Style & WS_MINIMIZE) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMIN) |
                                 ((W->Style & WS_MINIMIZEBOX) ? 0 : DFCS_INACTIVE));
        }
        R.top += L.F.Caption;
    }
    if (L.F.Menu) {
        RECT M = ToRect(L.Menu);
        FillRect(DC, &M, GetSysColorBrush(COLOR_MENU));
        R.top += L.F.Menu;
    }
    if (L.F.Edge == 2)
        DrawEdge(DC, &R, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    else if (L.F.Edge == 1)
        DrawEdge(DC, &R, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    PaintScrollBar(DC, W, SB_VERT);
    PaintScrollBar(DC, W, SB_HORZ);
    if (!L.SizeBox.isEmpty()) {
        RECT S = ToRect(L.SizeBox);
        FillRect(DC, &S, GetSysColorBrush(COLOR_BTNFACE));
    }
    ReleaseDC(W->Handle, DC);
}

} // namespace win

// ---------------------------------------------------------------------------------------------
// Update regions

BOOL InvalidateRect(HWND Wnd, const RECT* Rect, BOOL Erase)
{
    if (!Wnd || IsDesktop(Wnd)) {
        for (HWND T : TopLevels())
            if (TWindow* W = Find(T))
                InvalidateWhole(W, Erase != FALSE, true);
        return TRUE;
    }
    TWindow* W = TargetOf(Wnd);
    if (!W)
        return FALSE;
    InvalidateRegion(W, Rect ? QRegion(ToQRect(*Rect)) : ClientArea(W), Erase != FALSE);
    return TRUE;
}

BOOL InvalidateRgn(HWND Wnd, HRGN Rgn, BOOL Erase)
{
    TWindow* W = TargetOf(Wnd);
    if (!W)
        return FALSE;
    InvalidateRegion(W, Rgn ? gdi::QRegionOf(Rgn) : ClientArea(W), Erase != FALSE);
    return TRUE;
}

BOOL ValidateRect(HWND Wnd, const RECT* Rect)
{
    TWindow* W = TargetOf(Wnd);
    if (!W)
        return FALSE;
    if (Rect) {
        QRegion R(ToQRect(*Rect));
        ValidateRegion(W, &R);
    } else {
        ValidateRegion(W, nullptr);
    }
    return TRUE;
}

BOOL ValidateRgn(HWND Wnd, HRGN Rgn)
{
    TWindow* W = TargetOf(Wnd);
    if (!W)
        return FALSE;
    if (Rgn) {
        QRegion R = gdi::QRegionOf(Rgn);
        ValidateRegion(W, &R);
    } else {
        ValidateRegion(W, nullptr);
    }
    return TRUE;
}

BOOL GetUpdateRect(HWND Wnd, RECT* Rect, BOOL Erase)
{
    TWindow* W = TargetOf(Wnd);
    if (!W)
        return FALSE;
    if (Rect)
        *Rect = W->Update.isEmpty() ? RECT{} : ToRect(W->Update.boundingRect());
    if (Erase && W->Erase && !W->Update.isEmpty()) {
        HDC DC = OpenWindowDC(W, false, W->Update, true, false);
        W->Erase = false;
        SendMessage(Wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), 0);
        ReleaseDC(Wnd, DC);
    }
    return Find(Wnd) && !Find(Wnd)->Update.isEmpty();
}

int GetUpdateRgn(HWND Wnd, HRGN Rgn, BOOL Erase)
{
    TWindow* W = TargetOf(Wnd);
    if (!W || !Rgn)
        return ERROR;
    QRegion U = W->Update;
    CopyToHrgn(Rgn, U);
    if (Erase)
        GetUpdateRect(Wnd, nullptr, TRUE);
    return RegionType(U);
}

BOOL UpdateWindow(HWND Wnd)
{
    TWindow* W = TargetOf(Wnd);
    if (!W)
        return FALSE;
    if (IsShown(W) && NeedsPaint(W) && !IsLocked(W) && !W->RedrawOff)
        SendMessage(Wnd, WM_PAINT, 0, 0);
    return TRUE;
}

namespace {
void RedrawOne(TWindow* W, const QRegion& Region, UINT Flags)
{
    if (Flags & RDW_INVALIDATE) {
        InvalidateRegion(W, Region, (Flags & RDW_ERASE) != 0);
        if (Flags & RDW_FRAME)
            W->NcPaint = true;
    }
    if (Flags & RDW_INTERNALPAINT)
        W->InternalPaint = true;
    if (Flags & RDW_VALIDATE) {
        ValidateRegion(W, &Region);
        if (Flags & RDW_NOERASE)
            W->Erase = false;
        if (Flags & RDW_NOFRAME)
            W->NcPaint = false;
        if (Flags & RDW_NOINTERNALPAINT)
            W->InternalPaint = false;
    }
    if (Flags & RDW_ALLCHILDREN)
        for (HWND K : W->Children)
            if (TWindow* KW = Find(K)) {
                QRegion KR =
                    Region.translated(-KW->Window.left - KW->Client.left, -KW->Window.top - KW->Client.top);
                RedrawOne(KW, KR, Flags);
            }
}

void UpdateNow(HWND Wnd, bool Children)
{
    UpdateWindow(Wnd);
    if (!Children)
        return;
    TWindow* W = Find(Wnd);
    if (!W)
        return;
    std::vector<HWND> Kids = W->Children;
    for (HWND K : Kids)
        UpdateNow(K, true);
}
} // namespace

BOOL RedrawWindow(HWND Wnd, const RECT* Update, HRGN UpdateRgn, UINT Flags)
{
    if (!Wnd || IsDesktop(Wnd)) {
        std::vector<HWND> Tops = TopLevels();
        for (HWND T : Tops)
            RedrawWindow(T, nullptr, nullptr, Flags);
        return TRUE;
    }
    TWindow* W = TargetOf(Wnd);
    if (!W)
        return FALSE;
    QRegion R = UpdateRgn ? gdi::QRegionOf(UpdateRgn) : Update ? QRegion(ToQRect(*Update)) : ClientArea(W);
    RedrawOne(W, R, Flags);
    if (Flags & (RDW_UPDATENOW | RDW_ERASENOW))
        UpdateNow(Wnd, (Flags & RDW_ALLCHILDREN) != 0);
    return TRUE;
}

HDC BeginPaint(HWND Wnd, PAINTSTRUCT* Paint)
{
    TWindow* W = TargetOf(Wnd);
    if (!W)
        return nullptr;
    bool HideCaretHere = gCaret.Wnd == Wnd;
    if (HideCaretHere)
        ++gCaret.HideCount;
    if (W->NcPaint) {
        W->NcPaint = false;
        SendMessage(Wnd, WM_NCPAINT, 1, 0);
        if (!(W = Find(Wnd)))
            return nullptr;
    }
    QRegion Region = W->Update & ClientArea(W);
    bool Erase = W->Erase;
    W->Update = QRegion();
    W->Erase = false;
    W->InternalPaint = false;
    HDC DC = OpenWindowDC(W, false, Region, true, false);
    BOOL Erased = FALSE;
    if (Erase && !Region.isEmpty())
        Erased = SendMessage(Wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), 0) != 0;
    if (Paint) {
        *Paint = PAINTSTRUCT();
        Paint->hdc = DC;
        Paint->fErase = Erase && !Erased ? TRUE : FALSE;
        Paint->rcPaint = Region.isEmpty() ? RECT{} : ToRect(Region.boundingRect());
        Paint->fRestore = HideCaretHere ? TRUE : FALSE;
    }
    return DC;
}

BOOL EndPaint(HWND Wnd, const PAINTSTRUCT* Paint)
{
    if (Paint && Paint->hdc)
        ReleaseDC(Wnd, Paint->hdc);
    if (Paint && Paint->fRestore && gCaret.Wnd == Wnd && gCaret.HideCount > 0)
        --gCaret.HideCount;
    return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Device contexts

HDC GetDC(HWND Wnd)
{
    if (!Wnd || IsDesktop(Wnd))
        return OpenDesktopDC();
    TWindow* W = Find(Wnd);
    return W ? OpenWindowDC(W, false, QRegion(), false, false) : nullptr;
}

HDC GetWindowDC(HWND Wnd)
{
    if (!Wnd || IsDesktop(Wnd))
        return OpenDesktopDC();
    TWindow* W = Find(Wnd);
    return W ? OpenWindowDC(W, true, QRegion(), false, false) : nullptr;
}

HDC GetDCEx(HWND Wnd, HRGN Clip, DWORD Flags)
{
    if (!Wnd || IsDesktop(Wnd))
        return OpenDesktopDC();
    TWindow* W = Find(Wnd);
    if (!W)
        return nullptr;
    bool Whole = (Flags & DCX_WINDOW) != 0;
    bool HasRgn =
        Clip && reinterpret_cast<std::uintptr_t>(Clip) != 1 && (Flags & (DCX_INTERSECTRGN | DCX_EXCLUDERGN));
    QRegion Extra;
    if (HasRgn) {
        QPoint Origin = Whole ? WindowOrigin(W) : ClientOrigin(W);
        Extra = gdi::QRegionOf(Clip).translated(-Origin); // screen to device coordinates
    }
    if ((Flags & DCX_INTERSECTUPDATE) && !HasRgn) {
        Extra = W->Update;
        HasRgn = true;
    }
    HDC DC = OpenWindowDC(W, Whole, Extra, HasRgn, (Flags & DCX_EXCLUDERGN) != 0);
    if (Flags & DCX_VALIDATE)
        ValidateRegion(W, nullptr);
    return DC;
}

int ReleaseDC(HWND, HDC DC)
{
    auto It = std::find_if(gOpenDCs.begin(), gOpenDCs.end(), [&](const TOpenDC& D) { return D.DC == DC; });
    if (It == gOpenDCs.end())
        return 0;
    TOpenDC D = *It;
    gOpenDCs.erase(It);
    DeleteDC(D.DC);
    if (D.Desktop)
        ShowDesktopOverlay(OverlayHasPixels());
    else if (TWindow* W = Find(D.Wnd))
        SurfaceChanged(W);
    return 1;
}

HWND WindowFromDC(HDC DC)
{
    for (const TOpenDC& D : gOpenDCs)
        if (D.DC == DC)
            return D.Wnd;
    return nullptr;
}

// ---------------------------------------------------------------------------------------------
// Scrolling and the update lock

int ScrollWindowEx(HWND Wnd, int Dx, int Dy, const RECT* Scroll, const RECT* Clip, HRGN Update,
                   RECT* UpdateRect, UINT Flags)
{
    TWindow* W = Find(Wnd);
    if (!W)
        return ERROR;
    EnsureSurface(W);
    QRect C(0, 0, W->ClientWidth(), W->ClientHeight());
    QRect S = Scroll ? ToQRect(*Scroll) & C : C;
    QRect K = Clip ? ToQRect(*Clip) & C : C;
    QRect Src = S & K;
    QRect Dst = Src.translated(Dx, Dy) & K;
    QPoint CO(W->Client.left, W->Client.top);
    if (!Dst.isEmpty()) {
        QImage Part = W->Surface.copy(QRect(Dst.topLeft() - QPoint(Dx, Dy) + CO, Dst.size()));
        QPainter P(&W->Surface);
        P.setCompositionMode(QPainter::CompositionMode_Source);
        P.drawImage(Dst.topLeft() + CO, Part);
    }
    QRegion Uncovered = QRegion(Src) - QRegion(Dst);
    // The pending update region moves with the pixels.
    QRegion Inside = W->Update & QRegion(S);
    W->Update = (W->Update - QRegion(S)) + ((Inside.translated(Dx, Dy)) & QRegion(K));
    if (Flags & SW_INVALIDATE)
        InvalidateRegion(W, Uncovered, (Flags & SW_ERASE) != 0);
    if (Update)
        CopyToHrgn(Update, Uncovered);
    if (UpdateRect)
        *UpdateRect = Uncovered.isEmpty() ? RECT{} : ToRect(Uncovered.boundingRect());
    if (Flags & SW_SCROLLCHILDREN) {
        std::vector<HWND> Kids = W->Children;
        for (HWND H : Kids)
            if (TWindow* KW = Find(H)) {
                QRect KR = ToQRect(KW->Window);
                if (!Scroll || KR.intersects(S))
                    SetWindowPos(H, nullptr, KW->Window.left + Dx, KW->Window.top + Dy, 0, 0,
                                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            }
    }
    if ((W = Find(Wnd))) {
        if (gCaret.Wnd == Wnd) {
            gCaret.Pos.x += Dx;
            gCaret.Pos.y += Dy;
        }
        SurfaceChanged(W);
    }
    return RegionType(Uncovered);
}

BOOL ScrollWindow(HWND Wnd, int Dx, int Dy, const RECT* Scroll, const RECT* Clip)
{
    UINT Flags = SW_INVALIDATE | SW_ERASE | (Scroll ? 0 : SW_SCROLLCHILDREN);
    return ScrollWindowEx(Wnd, Dx, Dy, Scroll, Clip, nullptr, nullptr, Flags) != ERROR;
}

BOOL LockWindowUpdate(HWND Wnd)
{
    if (Wnd) {
        if (gLocked && gLocked != Wnd)
            return FALSE;
        if (!IsWindow(Wnd))
            return FALSE;
        gLocked = Wnd;
        return TRUE;
    }
    HWND Was = gLocked;
    gLocked = nullptr;
    if (Was && !IsDesktop(Was))
        if (TWindow* W = Find(Was))
            SurfaceChanged(W);
    return TRUE;
}

BOOL PrintWindow(HWND Wnd, HDC DC, UINT Flags)
{
    QImage Img = RenderWindowImage(Wnd, (Flags & PW_CLIENTONLY) != 0);
    if (Img.isNull() || !DC)
        return FALSE;
    HBITMAP Bmp = gdi::CreateBitmapFromImage(Img);
    HDC Mem = CreateCompatibleDC(DC);
    HGDIOBJ Old = SelectObject(Mem, Bmp);
    BitBlt(DC, 0, 0, Img.width(), Img.height(), Mem, 0, 0, SRCCOPY);
    SelectObject(Mem, Old);
    DeleteDC(Mem);
    DeleteObject(Bmp);
    return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Carets

BOOL CreateCaret(HWND Wnd, HBITMAP Bitmap, int Width, int Height)
{
    if (!Find(Wnd))
        return FALSE;
    RefreshCaret();
    gCaret = TCaretState();
    gCaret.Wnd = Wnd;
    gCaret.Width = Width > 0 ? Width : GetSystemMetrics(SM_CXBORDER);
    gCaret.Height = Height > 0 ? Height : GetSystemMetrics(SM_CYBORDER);
    gCaret.Grey = reinterpret_cast<std::uintptr_t>(Bitmap) == 1;
    if (Bitmap && !gCaret.Grey) {
        BITMAP BM;
        if (GetObject(Bitmap, sizeof(BM), &BM)) {
            gCaret.Width = BM.bmWidth;
            gCaret.Height = BM.bmHeight;
        }
    }
    gCaret.HideCount = 1;
    gCaret.BlinkStart = ClockNow();
    return TRUE;
}

BOOL DestroyCaret()
{
    if (!gCaret.Wnd)
        return FALSE;
    RefreshCaret();
    gCaret = TCaretState();
    return TRUE;
}

BOOL ShowCaret(HWND Wnd)
{
    if (!gCaret.Wnd || (Wnd && Wnd != gCaret.Wnd) || gCaret.HideCount == 0)
        return FALSE;
    if (--gCaret.HideCount == 0) {
        gCaret.BlinkStart = ClockNow();
        RefreshCaret();
    }
    return TRUE;
}

BOOL HideCaret(HWND Wnd)
{
    if (!gCaret.Wnd || (Wnd && Wnd != gCaret.Wnd))
        return FALSE;
    if (gCaret.HideCount++ == 0)
        RefreshCaret();
    return TRUE;
}

BOOL SetCaretPos(int X, int Y)
{
    if (!gCaret.Wnd)
        return FALSE;
    RefreshCaret();
    gCaret.Pos = POINT{X, Y};
    gCaret.BlinkStart = ClockNow();
    RefreshCaret();
    return TRUE;
}

BOOL GetCaretPos(POINT* Point)
{
    if (!Point || !gCaret.Wnd)
        return FALSE;
    *Point = gCaret.Pos;
    return TRUE;
}

UINT GetCaretBlinkTime()
{
    return gBlinkTime;
}

BOOL SetCaretBlinkTime(UINT Milliseconds)
{
    gBlinkTime = Milliseconds;
    return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Window scroll bars

namespace {
TScrollBarState* BarOf(HWND Wnd, int Bar)
{
    TWindow* W = Find(Wnd);
    if (!W || (Bar != SB_HORZ && Bar != SB_VERT))
        return nullptr;
    return Bar == SB_VERT ? &W->VScroll : &W->HScroll;
}

void RepaintBars(HWND Wnd)
{
    if (TWindow* W = Find(Wnd)) {
        W->NcPaint = true;
        if (IsShown(W))
            PaintNonClient(W, nullptr);
    }
}

int ClampPos(const SCROLLINFO& I)
{
    return std::clamp(I.nPos, I.nMin, ScrollMaxPos(I.nMin, I.nMax, I.nPage));
}
} // namespace

int SetScrollInfo(HWND Wnd, int Bar, const SCROLLINFO* Info, BOOL Redraw)
{
    if (Bar == SB_CTL) // a scroll-bar control keeps its own state
        return static_cast<int>(SendMessage(Wnd, SBM_SETSCROLLINFO, Redraw, reinterpret_cast<LPARAM>(Info)));
    TScrollBarState* S = BarOf(Wnd, Bar);
    if (!S || !Info)
        return 0;
    if (Info->fMask & SIF_RANGE) {
        S->Info.nMin = Info->nMin;
        S->Info.nMax = std::max(Info->nMin, Info->nMax);
    }
    if (Info->fMask & SIF_PAGE)
        S->Info.nPage = Info->nPage;
    if (Info->fMask & SIF_POS)
        S->Info.nPos = Info->nPos;
    S->Info.nPos = ClampPos(S->Info);
    int Pos = S->Info.nPos;
    const std::int64_t Range = ScrollRange(S->Info.nMin, S->Info.nMax);
    bool Needed = Range > 1 && S->Info.nPage < Range;
    DWORD Bit = Bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL;
    TWindow* W = Find(Wnd);
    if (Info->fMask & SIF_DISABLENOSCROLL) {
        S->Disabled = Needed ? ESB_ENABLE_BOTH : ESB_DISABLE_BOTH;
        if (!(W->Style & Bit))
            ShowScrollBar(Wnd, Bar, TRUE);
    } else if (Needed != ((W->Style & Bit) != 0)) {
        ShowScrollBar(Wnd, Bar, Needed);
    }
    if (Redraw)
        RepaintBars(Wnd);
    return Pos;
}

BOOL GetScrollInfo(HWND Wnd, int Bar, SCROLLINFO* Info)
{
    if (Bar == SB_CTL)
        return static_cast<BOOL>(SendMessage(Wnd, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(Info)));
    TScrollBarState* S = BarOf(Wnd, Bar);
    if (!S || !Info)
        return FALSE;
    if (Info->fMask & SIF_RANGE) {
        Info->nMin = S->Info.nMin;
        Info->nMax = S->Info.nMax;
    }
    if (Info->fMask & SIF_PAGE)
        Info->nPage = S->Info.nPage;
    if (Info->fMask & SIF_POS)
        Info->nPos = S->Info.nPos;
    if (Info->fMask & SIF_TRACKPOS)
        Info->nTrackPos = S->Info.nTrackPos;
    return TRUE;
}

int SetScrollPos(HWND Wnd, int Bar, int Pos, BOOL Redraw)
{
    if (Bar == SB_CTL)
        return static_cast<int>(SendMessage(Wnd, SBM_SETPOS, static_cast<WPARAM>(Pos), Redraw));
    TScrollBarState* S = BarOf(Wnd, Bar);
    if (!S)
        return 0;
    int Old = S->Info.nPos;
    S->Info.nPos = Pos;
    S->Info.nPos = ClampPos(S->Info);
    if (Redraw)
        RepaintBars(Wnd);
    return Old;
}

int GetScrollPos(HWND Wnd, int Bar)
{
    if (Bar == SB_CTL)
        return static_cast<int>(SendMessage(Wnd, SBM_GETPOS, 0, 0));
    TScrollBarState* S = BarOf(Wnd, Bar);
    return S ? S->Info.nPos : 0;
}

BOOL SetScrollRange(HWND Wnd, int Bar, int Min, int Max, BOOL Redraw)
{
    SCROLLINFO I;
    I.fMask = SIF_RANGE;
    I.nMin = Min;
    I.nMax = Max;
    return BarOf(Wnd, Bar) && (SetScrollInfo(Wnd, Bar, &I, Redraw), true);
}

BOOL GetScrollRange(HWND Wnd, int Bar, int* Min, int* Max)
{
    TScrollBarState* S = BarOf(Wnd, Bar);
    if (!S)
        return FALSE;
    if (Min)
        *Min = S->Info.nMin;
    if (Max)
        *Max = S->Info.nMax;
    return TRUE;
}

BOOL ShowScrollBar(HWND Wnd, int Bar, BOOL Show)
{
    TWindow* W = Find(Wnd);
    if (!W)
        return FALSE;
    DWORD Bits = Bar == SB_BOTH   ? (WS_VSCROLL | WS_HSCROLL)
                 : Bar == SB_VERT ? WS_VSCROLL
                 : Bar == SB_HORZ ? WS_HSCROLL
                                  : 0;
    DWORD New = Show ? (W->Style | Bits) : (W->Style & ~Bits);
    if (New == W->Style)
        return TRUE;
    W->Style = New;
    SetWindowPos(Wnd, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

BOOL EnableScrollBar(HWND Wnd, UINT Bar, UINT Arrows)
{
    TWindow* W = Find(Wnd);
    if (!W)
        return FALSE;
    if (Bar == SB_VERT || Bar == SB_BOTH)
        W->VScroll.Disabled = Arrows;
    if (Bar == SB_HORZ || Bar == SB_BOTH)
        W->HScroll.Disabled = Arrows;
    RepaintBars(Wnd);
    return TRUE;
}
