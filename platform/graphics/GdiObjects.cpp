// Handles and the objects behind them: the live-object table, stock objects, pens, brushes,
// bitmaps, palettes, regions, device contexts and their attributes, coordinate mapping and
// clipping, and the fixed system colour table.
#include "platform/qt/GdiPrivate.h"

#include <QGuiApplication>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <unordered_set>

namespace gdi {

namespace {

std::unordered_set<const void*>& Live()
{
    static std::unordered_set<const void*> Set;
    return Set;
}

// The fixed screen of the window model until it learns the real display (SetScreenSize).
int ScreenWidth = 1024;
int ScreenHeight = 768;

void Destroy(TObject* O)
{
    Live().erase(O);
    delete O;
}

// The classic default scheme, $00BBGGRR.
const COLORREF SysColors[COLOR_ENDCOLORS + 1] = {
    RGB(192, 192, 192), // COLOR_SCROLLBAR
    RGB(0, 128, 128),   // COLOR_BACKGROUND
    RGB(0, 0, 128),     // COLOR_ACTIVECAPTION
    RGB(128, 128, 128), // COLOR_INACTIVECAPTION
    RGB(192, 192, 192), // COLOR_MENU
    RGB(255, 255, 255), // COLOR_WINDOW
    RGB(0, 0, 0),       // COLOR_WINDOWFRAME
    RGB(0, 0, 0),       // COLOR_MENUTEXT
    RGB(0, 0, 0),       // COLOR_WINDOWTEXT
    RGB(255, 255, 255), // COLOR_CAPTIONTEXT
    RGB(192, 192, 192), // COLOR_ACTIVEBORDER
    RGB(192, 192, 192), // COLOR_INACTIVEBORDER
    RGB(128, 128, 128), // COLOR_APPWORKSPACE
    RGB(0, 0, 128),     // COLOR_HIGHLIGHT
    RGB(255, 255, 255), // COLOR_HIGHLIGHTTEXT
    RGB(192, 192, 192), // COLOR_BTNFACE
    RGB(128, 128, 128), // COLOR_BTNSHADOW
    RGB(128, 128, 128), // COLOR_GRAYTEXT
    RGB(0, 0, 0),       // COLOR_BTNTEXT
    RGB(192, 192, 192), // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255), // COLOR_BTNHIGHLIGHT
    RGB(0, 0, 0),       // COLOR_3DDKSHADOW
    RGB(192, 192, 192), // COLOR_3DLIGHT
    RGB(0, 0, 0),       // COLOR_INFOTEXT
    RGB(255, 255, 225), // COLOR_INFOBK
    RGB(181, 181, 181), // 25: unused
    RGB(0, 0, 128),     // COLOR_HOTLIGHT
    RGB(16, 132, 208),  // COLOR_GRADIENTACTIVECAPTION
    RGB(181, 181, 181), // COLOR_GRADIENTINACTIVECAPTION
    RGB(0, 0, 128),     // COLOR_MENUHILIGHT
    RGB(192, 192, 192), // COLOR_MENUBAR
};

std::array<TBrush*, COLOR_ENDCOLORS + 1> SysBrushes{};
std::array<TObject*, DC_PEN + 1> Stock{};
TBitmap* StockBitmap = nullptr;

TPen* NewPen(int Style, int Width, COLORREF Color)
{
    auto* P = new TPen;
    P->Style = Style;
    P->Width = std::max(1, Width);
    P->Color = Color;
    return P;
}

TBrush* NewSolidBrush(COLORREF Color)
{
    auto* B = new TBrush;
    B->Style = BS_SOLID;
    B->Color = Color;
    return B;
}

template <class T> T* MakeStock(T* O)
{
    O->Stock = true;
    Register(O);
    return O;
}

// A stock object; the fonts among them are built on first use: each costs a font match and a
// table of glyphs, and most programs never ask for most of them.
TObject* StockFont(int Index)
{
    struct TSpec {
        int Index;
        const char* Face;
        int Height, Weight;
        BYTE Pitch;
    };
    static const TSpec Specs[] = {
        {SYSTEM_FONT, "System", 16, FW_BOLD, VARIABLE_PITCH | FF_SWISS},
        {DEVICE_DEFAULT_FONT, "System", 16, FW_BOLD, VARIABLE_PITCH | FF_SWISS},
        {DEFAULT_GUI_FONT, "MS Sans Serif", -11, FW_NORMAL, VARIABLE_PITCH | FF_SWISS},
        {ANSI_VAR_FONT, "MS Sans Serif", 13, FW_NORMAL, VARIABLE_PITCH | FF_SWISS},
        {ANSI_FIXED_FONT, "Courier", 13, FW_NORMAL, FIXED_PITCH | FF_MODERN},
        {OEM_FIXED_FONT, "Terminal", 12, FW_NORMAL, FIXED_PITCH | FF_MODERN},
        {SYSTEM_FIXED_FONT, "Fixedsys", 15, FW_NORMAL, FIXED_PITCH | FF_MODERN},
    };
    static std::mutex Lock;
    const std::lock_guard<std::mutex> Hold(Lock);
    if (!Stock[Index])
        for (const TSpec& S : Specs)
            if (S.Index == Index) {
                LOGFONT Lf;
                Lf.lfHeight = S.Height;
                Lf.lfWeight = S.Weight;
                Lf.lfPitchAndFamily = S.Pitch;
                Lf.lfCharSet = ANSI_CHARSET;
                std::strncpy(Lf.lfFaceName, S.Face, LF_FACESIZE - 1);
                Stock[Index] = MakeStock(NewFont(Lf));
            }
    return Stock[Index];
}

void InitStock()
{
    Stock[WHITE_BRUSH] = MakeStock(NewSolidBrush(RGB(255, 255, 255)));
    Stock[LTGRAY_BRUSH] = MakeStock(NewSolidBrush(RGB(192, 192, 192)));
    Stock[GRAY_BRUSH] = MakeStock(NewSolidBrush(RGB(128, 128, 128)));
    Stock[DKGRAY_BRUSH] = MakeStock(NewSolidBrush(RGB(64, 64, 64)));
    Stock[BLACK_BRUSH] = MakeStock(NewSolidBrush(RGB(0, 0, 0)));
    auto* Null = NewSolidBrush(0);
    Null->Style = BS_NULL;
    Stock[NULL_BRUSH] = MakeStock(Null);
    Stock[WHITE_PEN] = MakeStock(NewPen(PS_SOLID, 1, RGB(255, 255, 255)));
    Stock[BLACK_PEN] = MakeStock(NewPen(PS_SOLID, 1, RGB(0, 0, 0)));
    Stock[NULL_PEN] = MakeStock(NewPen(PS_NULL, 1, 0));
    auto* DcBrush = NewSolidBrush(RGB(255, 255, 255));
    DcBrush->DcBrush = true;
    Stock[DC_BRUSH] = MakeStock(DcBrush);
    auto* DcPen = NewPen(PS_SOLID, 1, 0);
    DcPen->DcPen = true;
    Stock[DC_PEN] = MakeStock(DcPen);

    // Every DC starts with the system font; the other stock fonts are built when first asked for.
    StockFont(SYSTEM_FONT);

    // The default palette: the 20 static colours.
    auto* Pal = new TPalette;
    PALETTEENTRY E[20];
    GetSystemPaletteEntries(nullptr, 0, 10, E);
    GetSystemPaletteEntries(nullptr, 246, 10, E + 10);
    Pal->Entries.assign(E, E + 20);
    Stock[DEFAULT_PALETTE] = MakeStock(Pal);

    for (int I = 0; I <= COLOR_ENDCOLORS; ++I)
        SysBrushes[I] = MakeStock(NewSolidBrush(SysColors[I]));

    StockBitmap = new TBitmap;
    StockBitmap->Image = QImage(1, 1, QImage::Format_RGB32);
    StockBitmap->Image.fill(0xFF000000u);
    StockBitmap->Mono = true;
    StockBitmap->BitsPixel = 1;
    MakeStock(StockBitmap);
}

TDc* NewDc()
{
    EnsureInit();
    auto* Dc = new TDc;
    Register(Dc);
    ResetDCState(DcHandle(Dc));
    return Dc;
}

void RetainState(const TDcState& S)
{
    for (TObject* O :
         {static_cast<TObject*>(S.Pen), static_cast<TObject*>(S.Brush), static_cast<TObject*>(S.Font),
          static_cast<TObject*>(S.Bitmap), static_cast<TObject*>(S.Palette)})
        if (O)
            Retain(O);
}
void ReleaseState(const TDcState& S)
{
    for (TObject* O :
         {static_cast<TObject*>(S.Pen), static_cast<TObject*>(S.Brush), static_cast<TObject*>(S.Font),
          static_cast<TObject*>(S.Bitmap), static_cast<TObject*>(S.Palette)})
        if (O)
            Release(O);
}

void BindBitmap(TDc* Dc)
{
    if (!Dc->Memory)
        return;
    Dc->Target = Dc->St.Bitmap ? &Dc->St.Bitmap->Image : nullptr;
    if (Dc->St.Bitmap) {
        Dc->St.Bitmap->SelectedIn = Dc;
    }
}

int RegionType(const QRegion& R)
{
    if (R.isEmpty())
        return NULLREGION;
    return R.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

QRegion DeviceRect(const TDc* Dc, int L, int T, int R, int B)
{
    QPoint A = ToDevice(Dc, L, T), C = ToDevice(Dc, R, B);
    return QRegion(QRect(QPoint(std::min(A.x(), C.x()), std::min(A.y(), C.y())),
                         QPoint(std::max(A.x(), C.x()) - 1, std::max(A.y(), C.y()) - 1)));
}

const QRegion& Everything()
{
    static const QRegion All(QRect(-(1 << 28), -(1 << 28), 1 << 29, 1 << 29));
    return All;
}

void FixIsotropic(TDc* Dc)
{
    if (Dc->St.MapMode != MM_ISOTROPIC)
        return;
    SIZE& We = Dc->St.WindowExt;
    SIZE& Ve = Dc->St.ViewportExt;
    if (!We.cx || !We.cy)
        return;
    const double Sx = double(std::abs(Ve.cx)) / std::abs(We.cx);
    const double Sy = double(std::abs(Ve.cy)) / std::abs(We.cy);
    if (Sx > Sy)
        Ve.cx = LONG(std::lround(Sy * std::abs(We.cx))) * (Ve.cx < 0 ? -1 : 1);
    else if (Sy > Sx)
        Ve.cy = LONG(std::lround(Sx * std::abs(We.cy))) * (Ve.cy < 0 ? -1 : 1);
}

int DpiX(const TDc* Dc)
{
    return Dc->HasCaps ? Dc->Caps.DpiX : 96;
}
int DpiY(const TDc* Dc)
{
    return Dc->HasCaps ? Dc->Caps.DpiY : 96;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Handle table

TObject* Lookup(const void* Handle)
{
    if (!Handle)
        return nullptr;
    return Live().count(Handle) ? static_cast<TObject*>(const_cast<void*>(Handle)) : nullptr;
}

HGDIOBJ Register(TObject* Object)
{
    Live().insert(Object);
    return HandleOf(Object);
}

void Retain(TObject* Object)
{
    ++Object->SelectCount;
}

void Release(TObject* Object)
{
    if (--Object->SelectCount <= 0) {
        Object->SelectCount = 0;
        if (Object->DeletePending && !Object->Stock)
            Destroy(Object);
    }
}

TDc::~TDc() = default;

void EnsureInit()
{
    static bool Done = false;
    if (Done)
        return;
    Done = true;
    // Fonts need a GUI application; a tool or benchmark that draws without one gets a headless one.
    if (!QCoreApplication::instance()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int Argc = 1;
        static char Name[] = "gdi";
        static char* Argv[] = {Name, nullptr};
        new QGuiApplication(Argc, Argv); // lives as long as the process
    }
    // Qt code that names the classic faces directly (wrapped widgets) gets the same fonts as GDI.
    for (const auto& [Face, Family] : FaceSubstitutes())
        QFont::insertSubstitution(Face, Family);
    // And every Qt widget the layer shows (edits, menus, message and file boxes) is coloured from
    // the one fixed scheme, not from the desktop's theme.
    QGuiApplication::setPalette(ClassicPalette());
    InitStock();
}

TObject* StockObject(int Index)
{
    EnsureInit();
    return Index >= 0 && Index <= DC_PEN ? StockFont(Index) : nullptr;
}

TBitmap* StockMonoBitmap()
{
    EnsureInit();
    return StockBitmap;
}

// ---------------------------------------------------------------------------------------------
// Colours

QRgb SysRgb(int Index)
{
    COLORREF C = Index >= 0 && Index <= COLOR_ENDCOLORS ? SysColors[Index] : 0;
    return qRgb(GetRValue(C), GetGValue(C), GetBValue(C));
}

COLORREF ResolveColor(const TDc* Dc, COLORREF Color)
{
    if ((Color >> 24) == 0x01) {
        const TPalette* Pal =
            Dc && Dc->St.Palette ? Dc->St.Palette : static_cast<TPalette*>(StockObject(DEFAULT_PALETTE));
        const unsigned I = Color & 0xFFFF;
        if (Pal && I < Pal->Entries.size()) {
            const PALETTEENTRY& E = Pal->Entries[I];
            return RGB(E.peRed, E.peGreen, E.peBlue);
        }
        return 0;
    }
    return Color & 0x00FFFFFF;
}

QRgb PixelOf(const TDc* Dc, COLORREF Color)
{
    const COLORREF C = ResolveColor(Dc, Color);
    const QRgb P = qRgb(GetRValue(C), GetGValue(C), GetBValue(C));
    return Dc && Dc->Mono() ? Mono(P) : P;
}

QColor ToQColor(COLORREF Color)
{
    const COLORREF C = ResolveColor(nullptr, Color);
    return QColor(GetRValue(C), GetGValue(C), GetBValue(C));
}
COLORREF FromQColor(const QColor& Color)
{
    return RGB(Color.red(), Color.green(), Color.blue());
}
QRgb ToQRgb(COLORREF Color)
{
    return PixelOf(nullptr, Color);
}

QPalette ClassicPalette()
{
    auto C = [](int I) { return QColor::fromRgb(SysRgb(I)); };
    QPalette P;
    for (auto Group : {QPalette::Active, QPalette::Inactive}) {
        P.setColor(Group, QPalette::Window, C(COLOR_BTNFACE));
        P.setColor(Group, QPalette::WindowText, C(COLOR_WINDOWTEXT));
        P.setColor(Group, QPalette::Base, C(COLOR_WINDOW));
        P.setColor(Group, QPalette::AlternateBase, C(COLOR_BTNFACE));
        P.setColor(Group, QPalette::Text, C(COLOR_WINDOWTEXT));
        P.setColor(Group, QPalette::Button, C(COLOR_BTNFACE));
        P.setColor(Group, QPalette::ButtonText, C(COLOR_BTNTEXT));
        P.setColor(Group, QPalette::Light, C(COLOR_BTNHIGHLIGHT));
        P.setColor(Group, QPalette::Midlight, C(COLOR_3DLIGHT));
        P.setColor(Group, QPalette::Mid, C(COLOR_BTNSHADOW));
        P.setColor(Group, QPalette::Dark, C(COLOR_BTNSHADOW));
        P.setColor(Group, QPalette::Shadow, C(COLOR_3DDKSHADOW));
        P.setColor(Group, QPalette::Highlight, C(COLOR_HIGHLIGHT));
        P.setColor(Group, QPalette::HighlightedText, C(COLOR_HIGHLIGHTTEXT));
        P.setColor(Group, QPalette::ToolTipBase, C(COLOR_INFOBK));
        P.setColor(Group, QPalette::ToolTipText, C(COLOR_INFOTEXT));
        P.setColor(Group, QPalette::PlaceholderText, C(COLOR_GRAYTEXT));
        P.setColor(Group, QPalette::BrightText, C(COLOR_HIGHLIGHTTEXT));
        P.setColor(Group, QPalette::Link, QColor(0, 0, 255));
    }
    P.setColor(QPalette::Disabled, QPalette::Window, C(COLOR_BTNFACE));
    P.setColor(QPalette::Disabled, QPalette::Base, C(COLOR_BTNFACE));
    P.setColor(QPalette::Disabled, QPalette::Button, C(COLOR_BTNFACE));
    for (auto Role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        P.setColor(QPalette::Disabled, Role, C(COLOR_GRAYTEXT));
    P.setColor(QPalette::Disabled, QPalette::Light, C(COLOR_BTNHIGHLIGHT));
    P.setColor(QPalette::Disabled, QPalette::Highlight, C(COLOR_HIGHLIGHT));
    P.setColor(QPalette::Disabled, QPalette::HighlightedText, C(COLOR_HIGHLIGHTTEXT));
    return P;
}

// ---------------------------------------------------------------------------------------------
// Coordinates and clip

bool IsIdentityScale(const TDc* Dc)
{
    const TDcState& S = Dc->St;
    return S.MapMode == MM_TEXT || (S.WindowExt.cx == S.ViewportExt.cx && S.WindowExt.cy == S.ViewportExt.cy);
}

namespace {

// Device coordinates without saturation; scaled ones far beyond any use are held at 2^52.
TExactPoint ToDeviceExact(const TDc* Dc, qint64 X, qint64 Y)
{
    const TDcState& S = Dc->St;
    if (S.MapMode == MM_TEXT)
        return {X - S.WindowOrg.x + S.ViewportOrg.x, Y - S.WindowOrg.y + S.ViewportOrg.y};
    constexpr double Limit = double(qint64(1) << 52);
    const double Dx = double(X - S.WindowOrg.x) * S.ViewportExt.cx / (S.WindowExt.cx ? S.WindowExt.cx : 1);
    const double Dy = double(Y - S.WindowOrg.y) * S.ViewportExt.cy / (S.WindowExt.cy ? S.WindowExt.cy : 1);
    return {std::llround(std::clamp(Dx, -Limit, Limit)) + S.ViewportOrg.x,
            std::llround(std::clamp(Dy, -Limit, Limit)) + S.ViewportOrg.y};
}

int Saturate(qint64 V, qint64 Limit = kFarPixels)
{
    return int(std::clamp(V, -Limit, Limit));
}

} // namespace

TExactPoint ToSurfaceExact(const TDc* Dc, qint64 X, qint64 Y)
{
    const TExactPoint D = ToDeviceExact(Dc, X, Y);
    return {D.X + Dc->Origin.x(), D.Y + Dc->Origin.y()};
}

QPoint ToDevice(const TDc* Dc, qint64 X, qint64 Y)
{
    const TExactPoint D = ToDeviceExact(Dc, X, Y);
    return QPoint(Saturate(D.X), Saturate(D.Y));
}

QPoint DeviceToLogical(const TDc* Dc, int X, int Y)
{
    const TDcState& S = Dc->St;
    constexpr qint64 IntLimit = std::numeric_limits<int>::max();
    if (S.MapMode == MM_TEXT)
        return QPoint(Saturate(qint64(X) - S.ViewportOrg.x + S.WindowOrg.x, IntLimit),
                      Saturate(qint64(Y) - S.ViewportOrg.y + S.WindowOrg.y, IntLimit));
    const double Lx =
        double(qint64(X) - S.ViewportOrg.x) * S.WindowExt.cx / (S.ViewportExt.cx ? S.ViewportExt.cx : 1);
    const double Ly =
        double(qint64(Y) - S.ViewportOrg.y) * S.WindowExt.cy / (S.ViewportExt.cy ? S.ViewportExt.cy : 1);
    constexpr double Limit = double(qint64(1) << 40);
    return QPoint(Saturate(std::llround(std::clamp(Lx, -Limit, Limit)) + S.WindowOrg.x, IntLimit),
                  Saturate(std::llround(std::clamp(Ly, -Limit, Limit)) + S.WindowOrg.y, IntLimit));
}

QPoint ToSurface(const TDc* Dc, qint64 X, qint64 Y)
{
    const TExactPoint P = ToSurfaceExact(Dc, X, Y);
    return QPoint(Saturate(P.X), Saturate(P.Y));
}

QRect RectToSurface(const TDc* Dc, qint64 Left, qint64 Top, qint64 Right, qint64 Bottom)
{
    const QPoint A = ToSurface(Dc, Left, Top), B = ToSurface(Dc, Right, Bottom);
    const int L = std::min(A.x(), B.x()), R = std::max(A.x(), B.x());
    const int T = std::min(A.y(), B.y()), Bo = std::max(A.y(), B.y());
    return QRect(L, T, R - L, Bo - T);
}

QRectF RectToSurfaceF(const TDc* Dc, qint64 Left, qint64 Top, qint64 Right, qint64 Bottom)
{
    const TExactPoint A = ToSurfaceExact(Dc, Left, Top), B = ToSurfaceExact(Dc, Right, Bottom);
    return QRectF(QPointF(double(std::min(A.X, B.X)), double(std::min(A.Y, B.Y))),
                  QPointF(double(std::max(A.X, B.X)), double(std::max(A.Y, B.Y))));
}

int ScaleLengthX(const TDc* Dc, int L)
{
    const TDcState& S = Dc->St;
    if (S.MapMode == MM_TEXT || !S.WindowExt.cx)
        return L;
    return Saturate(std::llround(std::min(std::abs(double(L) * S.ViewportExt.cx / S.WindowExt.cx), 1e12)));
}
int ScaleLengthY(const TDc* Dc, int L)
{
    const TDcState& S = Dc->St;
    if (S.MapMode == MM_TEXT || !S.WindowExt.cy)
        return L;
    return Saturate(std::llround(std::min(std::abs(double(L) * S.ViewportExt.cy / S.WindowExt.cy), 1e12)));
}

QRegion ClipRegion(const TDc* Dc)
{
    QRect Bounds;
    if (Dc->Painter)
        Bounds = QRect(0, 0, Dc->Caps.Width, Dc->Caps.Height);
    else if (Dc->Target)
        Bounds = QRect(QPoint(0, 0), Dc->Target->size());
    QRegion R(Bounds);
    if (Dc->SystemClip)
        R &= Dc->SystemClip->translated(Dc->Origin);
    if (Dc->St.Clip)
        R &= Dc->St.Clip->translated(Dc->Origin);
    return R;
}

// ---------------------------------------------------------------------------------------------
// GdiSurface

// The raster code works on whole 32-bit pixels; any other layout would be misread.
static bool Drawable(const QImage* Image)
{
    return !Image || Image->format() == QImage::Format_RGB32 ||
           Image->format() == QImage::Format_ARGB32_Premultiplied;
}

HDC CreateImageDC(QImage* Image, QPoint Origin, const QRegion& Clip)
{
    if (!Drawable(Image))
        return nullptr;
    TDc* Dc = NewDc();
    Dc->Target = Image;
    Dc->Origin = Origin;
    if (!Clip.isEmpty())
        Dc->SystemClip = Clip;
    return DcHandle(Dc);
}

void SetDCImage(HDC DC, QImage* Image)
{
    if (TDc* Dc = DcOf(DC); Dc && !Dc->Memory && Drawable(Image))
        Dc->Target = Image;
}

void SetDCOrigin(HDC DC, QPoint Origin)
{
    if (TDc* Dc = DcOf(DC))
        Dc->Origin = Origin;
}

void SetDCSystemClip(HDC DC, const QRegion& Clip)
{
    if (TDc* Dc = DcOf(DC)) {
        if (Clip.isEmpty())
            Dc->SystemClip.reset();
        else
            Dc->SystemClip = Clip;
    }
}

void SetDCVisibleRegion(HDC DC, const QRegion& Visible)
{
    if (TDc* Dc = DcOf(DC))
        Dc->SystemClip = Visible;
}

void ResetDCState(HDC DC)
{
    TDc* Dc = DcOf(DC);
    if (!Dc)
        return;
    TBitmap* Bitmap = Dc->St.Bitmap;
    if (Bitmap)
        Retain(Bitmap);
    while (!Dc->Saved.empty()) {
        ReleaseState(Dc->Saved.back());
        Dc->Saved.pop_back();
    }
    ReleaseState(Dc->St);
    Dc->St = TDcState();
    Dc->St.Pen = static_cast<TPen*>(StockObject(BLACK_PEN));
    Dc->St.Brush = static_cast<TBrush*>(StockObject(WHITE_BRUSH));
    Dc->St.Font = static_cast<TFont*>(StockObject(SYSTEM_FONT));
    Dc->St.Palette = static_cast<TPalette*>(StockObject(DEFAULT_PALETTE));
    Dc->St.Bitmap = Bitmap;
    RetainState(Dc->St);
    if (Bitmap)
        Release(Bitmap);
}

HDC CreatePainterDC(QPainter* Painter, const TDeviceCaps& Caps)
{
    TDc* Dc = NewDc();
    Dc->Painter = Painter;
    Dc->Caps = Caps;
    Dc->HasCaps = true;
    return DcHandle(Dc);
}

QImage* ImageOf(HDC DC)
{
    TDc* Dc = DcOf(DC);
    return Dc ? Dc->Surface() : nullptr;
}
QPainter* PainterOf(HDC DC)
{
    TDc* Dc = DcOf(DC);
    return Dc ? Dc->Painter : nullptr;
}
QPoint OriginOf(HDC DC)
{
    TDc* Dc = DcOf(DC);
    return Dc ? Dc->Origin : QPoint();
}
QRegion VisibleRegionOf(HDC DC)
{
    TDc* Dc = DcOf(DC);
    return Dc ? ClipRegion(Dc) : QRegion();
}

QImage* BitmapImage(HBITMAP Bitmap)
{
    TBitmap* B = LookupAs<TBitmap>(Bitmap, TKind::Bitmap);
    return B ? &B->Image : nullptr;
}
bool IsMonochromeBitmap(HBITMAP Bitmap)
{
    TBitmap* B = LookupAs<TBitmap>(Bitmap, TKind::Bitmap);
    return B && B->Mono;
}

HBITMAP CreateBitmapFromImage(const QImage& Image, bool Monochrome)
{
    EnsureInit();
    if (Image.isNull())
        return HandleOf(StockMonoBitmap());
    auto* B = new TBitmap;
    B->Image = Image.convertToFormat(QImage::Format_RGB32);
    B->Mono = Monochrome;
    B->BitsPixel = Monochrome ? 1 : 24;
    if (Monochrome)
        for (int Y = 0; Y < B->Image.height(); ++Y) {
            auto* Row = reinterpret_cast<QRgb*>(B->Image.scanLine(Y));
            for (int X = 0; X < B->Image.width(); ++X)
                Row[X] = Mono(Row[X]);
        }
    return Register(B);
}

QRegion QRegionOf(HRGN Region)
{
    TRegion* R = LookupAs<TRegion>(Region, TKind::Region);
    return R ? R->Rgn : QRegion();
}
HRGN CreateRgnFromQRegion(const QRegion& Region)
{
    auto* R = new TRegion;
    R->Rgn = Region;
    return Register(R);
}

void SetScreenSize(int Width, int Height)
{
    if (Width > 0 && Height > 0) {
        ScreenWidth = Width;
        ScreenHeight = Height;
    }
}

TBrush* BrushFromHandle(HBRUSH Brush)
{
    const auto V = reinterpret_cast<std::uintptr_t>(Brush);
    if (V >= 1 && V <= std::uintptr_t(COLOR_ENDCOLORS) + 1) {
        EnsureInit();
        return SysBrushes[V - 1];
    }
    return LookupAs<TBrush>(Brush, TKind::Brush);
}

} // namespace gdi

using namespace gdi;

// ---------------------------------------------------------------------------------------------
// Objects

HGDIOBJ GetStockObject(int Index)
{
    return HandleOf(StockObject(Index));
}

DWORD GetObjectType(HGDIOBJ Object)
{
    TObject* O = Lookup(Object);
    if (!O)
        return 0;
    switch (O->Kind) {
    case TKind::Pen:
        return static_cast<TPen*>(O)->Extended ? OBJ_EXTPEN : OBJ_PEN;
    case TKind::Brush:
        return OBJ_BRUSH;
    case TKind::Font:
        return OBJ_FONT;
    case TKind::Bitmap:
        return OBJ_BITMAP;
    case TKind::Palette:
        return OBJ_PAL;
    case TKind::Region:
        return OBJ_REGION;
    case TKind::DC:
        return static_cast<TDc*>(O)->Memory ? OBJ_MEMDC : OBJ_DC;
    }
    return 0;
}
DWORD GetObjectType(HDC DC)
{
    return GetObjectType(reinterpret_cast<HGDIOBJ>(DC));
}

int GetObject(HGDIOBJ Object, int Size, void* Buffer)
{
    TObject* O = Lookup(Object);
    if (!O)
        return 0;
    auto Out = [&](const void* Data, int Bytes) {
        if (!Buffer)
            return Bytes;
        const int N = std::min(Size, Bytes);
        if (N > 0)
            std::memcpy(Buffer, Data, std::size_t(N));
        return std::max(N, 0);
    };
    switch (O->Kind) {
    case TKind::Pen: {
        auto* P = static_cast<TPen*>(O);
        if (P->Extended) {
            EXTLOGPEN E;
            E.elpPenStyle = DWORD(P->Style) | P->Flags;
            E.elpWidth = DWORD(P->Width);
            E.elpBrushStyle = BS_SOLID;
            E.elpColor = P->Color;
            return Out(&E, int(sizeof E));
        }
        LOGPEN L;
        L.lopnStyle = UINT(P->Style);
        L.lopnWidth.x = P->Width;
        L.lopnColor = P->Color;
        return Out(&L, int(sizeof L));
    }
    case TKind::Brush: {
        auto* B = static_cast<TBrush*>(O);
        LOGBRUSH L;
        L.lbStyle = B->Style;
        L.lbColor = B->Color;
        L.lbHatch = B->Style == BS_HATCHED ? std::uintptr_t(B->Hatch) : B->PatternHandle;
        return Out(&L, int(sizeof L));
    }
    case TKind::Font:
        return Out(&static_cast<TFont*>(O)->Log, int(sizeof(LOGFONT)));
    case TKind::Bitmap: {
        auto* B = static_cast<TBitmap*>(O);
        BITMAP Bm;
        Bm.bmWidth = B->Image.width();
        Bm.bmHeight = B->Image.height();
        Bm.bmBitsPixel = WORD(B->BitsPixel);
        Bm.bmWidthBytes = ((Bm.bmWidth * Bm.bmBitsPixel + 15) / 16) * 2;
        Bm.bmPlanes = 1;
        return Out(&Bm, int(sizeof Bm));
    }
    case TKind::Palette: {
        const WORD N = WORD(static_cast<TPalette*>(O)->Entries.size());
        return Out(&N, int(sizeof N));
    }
    default:
        return 0;
    }
}

BOOL DeleteObject(HGDIOBJ Object)
{
    TObject* O = Lookup(Object);
    if (!O || O->Kind == TKind::DC)
        return FALSE;
    if (O->Stock)
        return TRUE;
    if (O->SelectCount > 0) {
        O->DeletePending = true;
        return TRUE;
    }
    Destroy(O);
    return TRUE;
}

HGDIOBJ SelectObject(HDC DC, HGDIOBJ Object)
{
    TDc* Dc = DcOf(DC);
    TObject* O = Lookup(Object);
    if (!Dc || !O || O->DeletePending)
        return nullptr;
    auto Swap = [&](auto*& Slot) -> HGDIOBJ {
        using T = std::remove_reference_t<decltype(*Slot)>;
        T* Old = Slot;
        Slot = static_cast<T*>(O);
        Retain(O);
        HGDIOBJ Result = HandleOf(Old);
        if (Old)
            Release(Old);
        return Result;
    };
    switch (O->Kind) {
    case TKind::Pen:
        return Swap(Dc->St.Pen);
    case TKind::Brush:
        return Swap(Dc->St.Brush);
    case TKind::Font:
        return Swap(Dc->St.Font);
    case TKind::Palette:
        return Swap(Dc->St.Palette);
    case TKind::Bitmap: {
        auto* B = static_cast<TBitmap*>(O);
        if (!Dc->Memory)
            return nullptr;
        if (!B->Stock && B->SelectedIn && B->SelectedIn != Dc)
            return nullptr;
        if (Dc->St.Bitmap && Dc->St.Bitmap != B) {
            if (Dc->St.Bitmap->SelectedIn == Dc)
                Dc->St.Bitmap->SelectedIn = nullptr;
        }
        HGDIOBJ Old = Swap(Dc->St.Bitmap);
        BindBitmap(Dc);
        return Old;
    }
    case TKind::Region:
        return reinterpret_cast<HGDIOBJ>(std::intptr_t(SelectClipRgn(DC, Object)));
    default:
        return nullptr;
    }
}

HGDIOBJ GetCurrentObject(HDC DC, UINT ObjectType)
{
    TDc* Dc = DcOf(DC);
    if (!Dc)
        return nullptr;
    switch (ObjectType) {
    case OBJ_PEN:
    case OBJ_EXTPEN:
        return HandleOf(Dc->St.Pen);
    case OBJ_BRUSH:
        return HandleOf(Dc->St.Brush);
    case OBJ_FONT:
        return HandleOf(Dc->St.Font);
    case OBJ_PAL:
        return HandleOf(Dc->St.Palette);
    case OBJ_BITMAP:
        return Dc->St.Bitmap ? HandleOf(Dc->St.Bitmap) : nullptr;
    default:
        return nullptr;
    }
}

BOOL UnrealizeObject(HGDIOBJ Object)
{
    return Lookup(Object) ? TRUE : FALSE;
}

// Drawing is never batched, so there is nothing to flush.
BOOL GdiFlush()
{
    return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Pens and brushes

HPEN CreatePen(int Style, int Width, COLORREF Color)
{
    EnsureInit();
    const int S = Style & PS_STYLE_MASK;
    if (S > PS_INSIDEFRAME)
        return nullptr;
    return Register(NewPen(S, Width, Color));
}

HPEN CreatePenIndirect(const LOGPEN* LogPen)
{
    if (!LogPen)
        return nullptr;
    return CreatePen(int(LogPen->lopnStyle), LogPen->lopnWidth.x, LogPen->lopnColor);
}

HPEN ExtCreatePen(DWORD Style, DWORD Width, const LOGBRUSH* Brush, DWORD StyleCount,
                  const DWORD* StyleLengths)
{
    EnsureInit();
    auto* P = NewPen(int(Style & PS_STYLE_MASK), (Style & PS_TYPE_MASK) == PS_GEOMETRIC ? int(Width) : 1,
                     Brush ? Brush->lbColor : 0);
    P->Extended = true;
    P->Flags = Style & ~DWORD(PS_STYLE_MASK);
    if (Brush && Brush->lbStyle == BS_NULL)
        P->Style = PS_NULL;
    if (P->Style == PS_USERSTYLE && StyleLengths)
        P->UserStyle.assign(StyleLengths, StyleLengths + std::min<DWORD>(StyleCount, 16));
    return Register(P);
}

HBRUSH CreateSolidBrush(COLORREF Color)
{
    EnsureInit();
    return Register(NewSolidBrush(Color));
}

HBRUSH CreateHatchBrush(int Hatch, COLORREF Color)
{
    if (Hatch < HS_HORIZONTAL || Hatch > HS_DIAGCROSS)
        return nullptr;
    EnsureInit();
    auto* B = NewSolidBrush(Color);
    B->Style = BS_HATCHED;
    B->Hatch = Hatch;
    return Register(B);
}

HBRUSH CreatePatternBrush(HBITMAP Bitmap)
{
    TBitmap* Bm = LookupAs<TBitmap>(Bitmap, TKind::Bitmap);
    if (!Bm)
        return nullptr;
    auto* B = new TBrush;
    B->Style = BS_PATTERN;
    B->Pattern = Bm->Image.copy();
    B->PatternMono = Bm->Mono;
    B->PatternHandle = reinterpret_cast<std::uintptr_t>(Bitmap);
    return Register(B);
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* LogBrush)
{
    if (!LogBrush)
        return nullptr;
    switch (LogBrush->lbStyle) {
    case BS_SOLID:
        return CreateSolidBrush(LogBrush->lbColor);
    case BS_NULL: {
        EnsureInit();
        auto* B = NewSolidBrush(LogBrush->lbColor);
        B->Style = BS_NULL;
        return Register(B);
    }
    case BS_HATCHED:
        return CreateHatchBrush(int(LogBrush->lbHatch), LogBrush->lbColor);
    case BS_PATTERN:
    case BS_PATTERN8X8:
        return CreatePatternBrush(reinterpret_cast<HBITMAP>(LogBrush->lbHatch));
    case BS_DIBPATTERNPT:
    case BS_DIBPATTERN8X8:
        return CreateDIBPatternBrushPt(reinterpret_cast<const void*>(LogBrush->lbHatch), DIB_RGB_COLORS);
    default:
        return nullptr;
    }
}

BOOL SetBrushOrgEx(HDC DC, int X, int Y, POINT* Old)
{
    TDc* Dc = DcOf(DC);
    if (!Dc)
        return FALSE;
    if (Old)
        *Old = Dc->St.BrushOrg;
    Dc->St.BrushOrg = POINT{X, Y};
    return TRUE;
}
BOOL GetBrushOrgEx(HDC DC, POINT* Org)
{
    TDc* Dc = DcOf(DC);
    if (!Dc || !Org)
        return FALSE;
    *Org = Dc->St.BrushOrg;
    return TRUE;
}

#define TW_DC_ATTR(Type, Name, Field, Fail)                                                                  \
    Type Set##Name(HDC DC, Type Value)                                                                       \
    {                                                                                                        \
        TDc* Dc = DcOf(DC);                                                                                  \
        if (!Dc)                                                                                             \
            return Fail;                                                                                     \
        Type Old = Dc->St.Field;                                                                             \
        Dc->St.Field = Value;                                                                                \
        return Old;                                                                                          \
    }                                                                                                        \
    Type Get##Name(HDC DC)                                                                                   \
    {                                                                                                        \
        TDc* Dc = DcOf(DC);                                                                                  \
        return Dc ? Type(Dc->St.Field) : Type(Fail);                                                         \
    }

TW_DC_ATTR(COLORREF, DCBrushColor, DcBrushColor, CLR_INVALID)
TW_DC_ATTR(COLORREF, DCPenColor, DcPenColor, CLR_INVALID)
TW_DC_ATTR(COLORREF, BkColor, BkColor, CLR_INVALID)
TW_DC_ATTR(COLORREF, TextColor, TextColor, CLR_INVALID)
TW_DC_ATTR(int, TextCharacterExtra, CharExtra, int(0x80000000))

int SetBkMode(HDC DC, int Mode)
{
    TDc* Dc = DcOf(DC);
    if (!Dc || (Mode != OPAQUE && Mode != TRANSPARENT))
        return 0;
    std::swap(Dc->St.BkMode, Mode);
    return Mode;
}
int GetBkMode(HDC DC)
{
    TDc* Dc = DcOf(DC);
    return Dc ? Dc->St.BkMode : 0;
}
UINT SetTextAlign(HDC DC, UINT Align)
{
    TDc* Dc = DcOf(DC);
    if (!Dc)
        return GDI_ERROR_ALIGN;
    std::swap(Dc->St.TextAlign, Align);
    return Align;
}
UINT GetTextAlign(HDC DC)
{
    TDc* Dc = DcOf(DC);
    return Dc ? Dc->St.TextAlign : GDI_ERROR_ALIGN;
}
int SetROP2(HDC DC, int Mode)
{
    TDc* Dc = DcOf(DC);
    if (!Dc || Mode < R2_BLACK || Mode > R2_WHITE)
        return 0;
    std::swap(Dc->St.Rop2, Mode);
    return Mode;
}
int GetROP2(HDC DC)
{
    TDc* Dc = DcOf(DC);
    return Dc ? Dc->St.Rop2 : 0;
}
int SetStretchBltMode(HDC DC, int Mode)
{
    TDc* Dc = DcOf(DC);
    if (!Dc || Mode < BLACKONWHITE || Mode > HALFTONE)
        return 0;
    std::swap(Dc->St.StretchMode, Mode);
    return Mode;
}
int GetStretchBltMode(HDC DC)
{
    TDc* Dc = DcOf(DC);
    return Dc ? Dc->St.StretchMode : 0;
}
int SetPolyFillMode(HDC DC, int Mode)
{
    TDc* Dc = DcOf(DC);
    if (!Dc || (Mode != ALTERNATE && Mode != WINDING))
        return 0;
    std::swap(Dc->St.PolyFillMode, Mode);
    return Mode;
}
int GetPolyFillMode(HDC DC)
{
    TDc* Dc = DcOf(DC);
    return Dc ? Dc->St.PolyFillMode : 0;
}
int SetArcDirection(HDC DC, int Direction)
{
    TDc* Dc = DcOf(DC);
    if (!Dc || (Direction != AD_CLOCKWISE && Direction != AD_COUNTERCLOCKWISE))
        return 0;
    std::swap(Dc->St.ArcDirection, Direction);
    return Direction;
}
int GetArcDirection(HDC DC)
{
    TDc* Dc = DcOf(DC);
    return Dc ? Dc->St.ArcDirection : 0;
}
BOOL SetTextJustification(HDC DC, int Extra, int Breaks)
{
    TDc* Dc = DcOf(DC);
    if (!Dc)
        return FALSE;
    Dc->St.JustifyExtra = Breaks > 0 ? Extra : 0;
    Dc->St.JustifyBreaks = std::max(Breaks, 0);
    return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Device contexts

HDC CreateCompatibleDC(HDC DC)
{
    TDc* Src = DC ? DcOf(DC) : nullptr;
    if (DC && !Src)
        return nullptr;
    TDc* Dc = NewDc();
    Dc->Memory = true;
    if (Src && Src->HasCaps) {
        Dc->Caps = Src->Caps;
        Dc->HasCaps = true;
    }
    Dc->St.Bitmap = StockMonoBitmap();
    Retain(Dc->St.Bitmap);
    BindBitmap(Dc);
    return DcHandle(Dc);
}

HDC CreateDC(const char* Driver, const char*, const char*, const void*)
{
    if (!Driver || qstricmp(Driver, "DISPLAY") != 0)
        return nullptr;
    TDc* Dc = NewDc();
    Dc->InfoOnly = true;
    return DcHandle(Dc);
}
HDC CreateIC(const char* Driver, const char* Device, const char* Output, const void* InitData)
{
    return CreateDC(Driver, Device, Output, InitData);
}

BOOL DeleteDC(HDC DC)
{
    TDc* Dc = DcOf(DC);
    if (!Dc)
        return FALSE;
    if (Dc->St.Bitmap && Dc->St.Bitmap->SelectedIn == Dc)
        Dc->St.Bitmap->SelectedIn = nullptr;
    for (const TDcState& S : Dc->Saved)
        ReleaseState(S);
    ReleaseState(Dc->St);
    Destroy(Dc);
    return TRUE;
}

int SaveDC(HDC DC)
{
    TDc* Dc = DcOf(DC);
    if (!Dc)
        return 0;
    Dc->Saved.push_back(Dc->St);
    RetainState(Dc->St);
    return int(Dc->Saved.size());
}

BOOL RestoreDC(HDC DC, int Level)
{
    TDc* Dc = DcOf(DC);
    if (!Dc || Level == 0)
        return FALSE;
    const int Count = int(Dc->Saved.size());
    const int Target = Level > 0 ? Level : Count + 1 + Level;
    if (Target < 1 || Target > Count)
        return FALSE;
    while (int(Dc->Saved.size()) > Target) {
        ReleaseState(Dc->Saved.back());
        Dc->Saved.pop_back();
    }
    TBitmap* OldBitmap = Dc->St.Bitmap;
    ReleaseState(Dc->St); // the saved copy's references move into the current state
    Dc->St = Dc->Saved.back();
    Dc->Saved.pop_back();
    if (OldBitmap && OldBitmap != Dc->St.Bitmap && OldBitmap->SelectedIn == Dc)
        OldBitmap->SelectedIn = nullptr;
    BindBitmap(Dc);
    return TRUE;
}

int GetDeviceCaps(HDC DC, int Index)
{
    EnsureInit();
    TDc* Dc = DC ? DcOf(DC) : nullptr;
    const bool Printer = Dc && Dc->HasCaps;
    const int Width = Printer ? Dc->Caps.Width : ScreenWidth;
    const int Height = Printer ? Dc->Caps.Height : ScreenHeight;
    const int Dx = Printer ? Dc->Caps.DpiX : 96, Dy = Printer ? Dc->Caps.DpiY : 96;
    const int Bits = Dc && Dc->Mono() ? 1 : (Printer ? Dc->Caps.BitsPixel : 24);
    switch (Index) {
    case DRIVERVERSION:
        return 0x4000;
    case TECHNOLOGY:
        return Printer ? Dc->Caps.Technology : DT_RASDISPLAY;
    case HORZSIZE:
        return int(std::lround(Width * 25.4 / Dx));
    case VERTSIZE:
        return int(std::lround(Height * 25.4 / Dy));
    case HORZRES:
        return Width;
    case VERTRES:
        return Height;
    case DESKTOPHORZRES:
        return Printer ? Width : ScreenWidth;
    case DESKTOPVERTRES:
        return Printer ? Height : ScreenHeight;
    case BITSPIXEL:
        return Bits;
    case PLANES:
        return 1;
    case NUMBRUSHES:
    case NUMPENS:
        return -1;
    case NUMMARKERS:
        return 0;
    case NUMFONTS:
        return 0;
    case NUMCOLORS:
        return Bits == 1 ? 2 : -1;
    case PDEVICESIZE:
        return 0;
    case CURVECAPS:
        return 0xFF;
    case LINECAPS:
        return 0xFE;
    case POLYGONALCAPS:
        return 0xFF;
    case TEXTCAPS:
        return 0x7807;
    case CLIPCAPS:
        return 1;
    case RASTERCAPS:
        return RC_BITBLT | RC_BITMAP64 | RC_GDI20_OUTPUT | RC_DI_BITMAP | RC_DIBTODEV | RC_BIGFONT |
               RC_STRETCHBLT | RC_FLOODFILL | RC_STRETCHDIB | (Printer ? RC_BANDING : 0);
    case ASPECTX:
    case ASPECTY:
        return 36;
    case ASPECTXY:
        return 51;
    case LOGPIXELSX:
        return Dx;
    case LOGPIXELSY:
        return Dy;
    case SIZEPALETTE:
        return 0;
    case NUMRESERVED:
        return 20;
    case COLORRES:
        return Bits == 1 ? 1 : 24;
    case PHYSICALWIDTH:
        return Printer ? (Dc->Caps.PhysicalWidth ? Dc->Caps.PhysicalWidth : Width) : 0;
    case PHYSICALHEIGHT:
        return Printer ? (Dc->Caps.PhysicalHeight ? Dc->Caps.PhysicalHeight : Height) : 0;
    case PHYSICALOFFSETX:
        return Printer ? Dc->Caps.OffsetX : 0;
    case PHYSICALOFFSETY:
        return Printer ? Dc->Caps.OffsetY : 0;
    case SCALINGFACTORX:
    case SCALINGFACTORY:
        return 0;
    case VREFRESH:
        return Printer ? 0 : 60;
    case BLTALIGNMENT:
        return 0;
    default:
        return 0;
    }
}

// ---------------------------------------------------------------------------------------------
// Mapping

int SetMapMode(HDC DC, int Mode)
{
    TDc* Dc = DcOf(DC);
    if (!Dc || Mode < MM_TEXT || Mode > MM_ANISOTROPIC)
        return 0;
    const int Old = Dc->St.MapMode;
    TDcState& S = Dc->St;
    S.MapMode = Mode;
    const int Dx = DpiX(Dc), Dy = DpiY(Dc);
    auto Metric = [&](int Units) {
        S.WindowExt = SIZE{Units, Units};
        S.ViewportExt = SIZE{Dx, -Dy};
    };
    switch (Mode) {
    case MM_TEXT:
        S.WindowExt = S.ViewportExt = SIZE{1, 1};
        break;
    case MM_LOMETRIC:
        Metric(254);
        break;
    case MM_HIMETRIC:
        Metric(2540);
        break;
    case MM_LOENGLISH:
        Metric(100);
        break;
    case MM_HIENGLISH:
        Metric(1000);
        break;
    case MM_TWIPS:
        Metric(1440);
        break;
    case MM_ISOTROPIC:
    case MM_ANISOTROPIC:
        if (Old == MM_TEXT)
            S.WindowExt = S.ViewportExt = SIZE{1, 1};
        break;
    }
    return Old;
}
int GetMapMode(HDC DC)
{
    TDc* Dc = DcOf(DC);
    return Dc ? Dc->St.MapMode : 0;
}

#define TW_POINT_ATTR(Name, Field)                                                                           \
    BOOL Set##Name##Ex(HDC DC, int X, int Y, POINT* Old)                                                     \
    {                                                                                                        \
        TDc* Dc = DcOf(DC);                                                                                  \
        if (!Dc)                                                                                             \
            return FALSE;                                                                                    \
        if (Old)                                                                                             \
            *Old = Dc->St.Field;                                                                             \
        Dc->St.Field = POINT{X, Y};                                                                          \
        return TRUE;                                                                                         \
    }                                                                                                        \
    BOOL Get##Name##Ex(HDC DC, POINT* Org)                                                                   \
    {                                                                                                        \
        TDc* Dc = DcOf(DC);                                                                                  \
        if (!Dc || !Org)                                                                                     \
            return FALSE;                                                                                    \
        *Org = Dc->St.Field;                                                                                 \
        return TRUE;                                                                                         \
    }                                                                                                        \
    BOOL Offset##Name##Ex(HDC DC, int DX, int DY, POINT* Old)                                                \
    {                                                                                                        \
        TDc* Dc = DcOf(DC);                                                                                  \
        if (!Dc)                                                                                             \
            return FALSE;                                                                                    \
        if (Old)                                                                                             \
            *Old = Dc->St.Field;                                                                             \
        Dc->St.Field.x += DX;                                                                                \
        Dc->St.Field.y += DY;                                                                                \
        return TRUE;                                                                                         \
    }

TW_POINT_ATTR(ViewportOrg, ViewportOrg)
TW_POINT_ATTR(WindowOrg, WindowOrg)

namespace {
// The viewport and window extents: set only in the scalable mapping modes (elsewhere the call
// answers the old extent and changes nothing), never to zero.
BOOL SetExtent(HDC DC, SIZE TDcState::*Extent, int X, int Y, SIZE* Old)
{
    TDc* Dc = DcOf(DC);
    if (!Dc)
        return FALSE;
    if (Old)
        *Old = Dc->St.*Extent;
    if (Dc->St.MapMode != MM_ISOTROPIC && Dc->St.MapMode != MM_ANISOTROPIC)
        return TRUE;
    if (!X || !Y)
        return FALSE;
    Dc->St.*Extent = SIZE{X, Y};
    FixIsotropic(Dc);
    return TRUE;
}
BOOL GetExtent(HDC DC, SIZE TDcState::*Extent, SIZE* Ext)
{
    TDc* Dc = DcOf(DC);
    if (!Dc || !Ext)
        return FALSE;
    *Ext = Dc->St.*Extent;
    return TRUE;
}
} // namespace

BOOL SetViewportExtEx(HDC DC, int X, int Y, SIZE* Old)
{
    return SetExtent(DC, &TDcState::ViewportExt, X, Y, Old);
}
BOOL GetViewportExtEx(HDC DC, SIZE* Ext)
{
    return GetExtent(DC, &TDcState::ViewportExt, Ext);
}
BOOL SetWindowExtEx(HDC DC, int X, int Y, SIZE* Old)
{
    return SetExtent(DC, &TDcState::WindowExt, X, Y, Old);
}
BOOL GetWindowExtEx(HDC DC, SIZE* Ext)
{
    return GetExtent(DC, &TDcState::WindowExt, Ext);
}

BOOL LPtoDP(HDC DC, POINT* Points, int Count)
{
    TDc* Dc = DcOf(DC);
    if (!Dc || (!Points && Count > 0))
        return FALSE;
    for (int I = 0; I < Count; ++I) {
        const TExactPoint P = ToDeviceExact(Dc, Points[I].x, Points[I].y);
        constexpr qint64 IntLimit = std::numeric_limits<int>::max();
        Points[I] = POINT{Saturate(P.X, IntLimit), Saturate(P.Y, IntLimit)};
    }
    return TRUE;
}
BOOL DPtoLP(HDC DC, POINT* Points, int Count)
{
    TDc* Dc = DcOf(DC);
    if (!Dc || (!Points && Count > 0))
        return FALSE;
    for (int I = 0; I < Count; ++I) {
        const QPoint P = DeviceToLogical(Dc, Points[I].x, Points[I].y);
        Points[I] = POINT{P.x(), P.y()};
    }
    return TRUE;
}
BOOL GetDCOrgEx(HDC DC, POINT* Org)
{
    TDc* Dc = DcOf(DC);
    if (!Dc || !Org)
        return FALSE;
    *Org = POINT{Dc->Origin.x(), Dc->Origin.y()};
    return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Bitmaps

namespace {

TBitmap* NewBitmap(int W, int H, bool Mono)
{
    EnsureInit();
    if (W <= 0 || H <= 0)
        return nullptr;
    if (W > 32768 || H > 32768 || std::int64_t(W) * H > (std::int64_t(1) << 28))
        return nullptr;
    auto* B = new TBitmap;
    B->Image = QImage(W, H, QImage::Format_RGB32);
    if (B->Image.isNull()) {
        delete B;
        return nullptr;
    }
    B->Image.fill(Mono ? 0xFF000000u : 0xFF000000u);
    B->Mono = Mono;
    B->BitsPixel = Mono ? 1 : 24;
    Register(B);
    return B;
}

// Rows padded to 16 bits, top row first, as bitmap bits travel outside DIBs.
void LoadBits(TBitmap* B, const std::uint8_t* Bits, std::size_t Size, int Bpp)
{
    const int W = B->Image.width(), H = B->Image.height();
    const std::size_t Stride = std::size_t(((W * Bpp + 15) / 16) * 2);
    for (int Y = 0; Y < H && (std::size_t(Y) + 1) * Stride <= Size; ++Y) {
        const std::uint8_t* Row = Bits + std::size_t(Y) * Stride;
        auto* Dst = reinterpret_cast<QRgb*>(B->Image.scanLine(Y));
        for (int X = 0; X < W; ++X) {
            QRgb P = 0xFF000000u;
            switch (Bpp) {
            case 1:
                P = (Row[X >> 3] & (0x80 >> (X & 7))) ? 0xFFFFFFFFu : 0xFF000000u;
                break;
            case 16: {
                const unsigned V = Row[X * 2] | (Row[X * 2 + 1] << 8);
                P = qRgb(((V >> 10) & 31) * 255 / 31, ((V >> 5) & 31) * 255 / 31, (V & 31) * 255 / 31);
                break;
            }
            case 24:
                P = qRgb(Row[X * 3 + 2], Row[X * 3 + 1], Row[X * 3]);
                break;
            case 32:
                P = qRgb(Row[X * 4 + 2], Row[X * 4 + 1], Row[X * 4]);
                break;
            default: {
                const int V = Bpp == 8 ? Row[X] : (Row[X >> 1] >> ((X & 1) ? 0 : 4)) & 15;
                const int G = Bpp == 8 ? V : V * 17;
                P = qRgb(G, G, G);
            }
            }
            Dst[X] = B->Mono ? Mono(P) : P;
        }
    }
}

} // namespace

HBITMAP CreateBitmap(int Width, int Height, UINT Planes, UINT BitsPerPixel, const void* Bits)
{
    EnsureInit();
    if (Width == 0 || Height == 0)
        return HandleOf(StockMonoBitmap());
    const int Bpp = int(Planes * BitsPerPixel);
    TBitmap* B = NewBitmap(Width, Height, Bpp == 1);
    if (!B)
        return nullptr;
    if (Bpp == 32)
        B->BitsPixel = 32;
    if (Bits) {
        const std::size_t Stride = std::size_t(((Width * Bpp + 15) / 16) * 2);
        LoadBits(B, static_cast<const std::uint8_t*>(Bits), Stride * std::size_t(Height), Bpp);
    }
    return HandleOf(B);
}

HBITMAP CreateBitmapIndirect(const BITMAP* Bitmap)
{
    if (!Bitmap)
        return nullptr;
    return CreateBitmap(Bitmap->bmWidth, Bitmap->bmHeight, Bitmap->bmPlanes, Bitmap->bmBitsPixel,
                        Bitmap->bmBits);
}

HBITMAP CreateCompatibleBitmap(HDC DC, int Width, int Height)
{
    EnsureInit();
    TDc* Dc = DC ? DcOf(DC) : nullptr;
    if (DC && !Dc)
        return nullptr;
    if (Width == 0 || Height == 0)
        return HandleOf(StockMonoBitmap());
    TBitmap* B = NewBitmap(Width, Height, Dc && Dc->Mono());
    return B ? HandleOf(B) : nullptr;
}

HBITMAP CreateDiscardableBitmap(HDC DC, int Width, int Height)
{
    return CreateCompatibleBitmap(DC, Width, Height);
}

LONG GetBitmapBits(HBITMAP Bitmap, LONG Count, void* Bits)
{
    TBitmap* B = LookupAs<TBitmap>(Bitmap, TKind::Bitmap);
    if (!B)
        return 0;
    const int W = B->Image.width(), H = B->Image.height();
    const int Bpp = B->Mono ? 1 : (B->BitsPixel == 32 ? 32 : 24);
    const LONG Stride = ((W * Bpp + 15) / 16) * 2;
    const LONG Total = Stride * H;
    if (!Bits)
        return Total;
    auto* Out = static_cast<std::uint8_t*>(Bits);
    const LONG N = std::min(Count, Total);
    std::memset(Out, 0, std::size_t(std::max<LONG>(N, 0)));
    for (int Y = 0; Y < H && LONG(Y + 1) * Stride <= N; ++Y) {
        std::uint8_t* Row = Out + std::size_t(Y) * Stride;
        const auto* Src = reinterpret_cast<const QRgb*>(B->Image.constScanLine(Y));
        for (int X = 0; X < W; ++X) {
            if (Bpp == 1) {
                if ((Src[X] & 0xFFFFFF) == 0xFFFFFF)
                    Row[X >> 3] |= std::uint8_t(0x80 >> (X & 7));
            } else {
                std::uint8_t* P = Row + X * (Bpp / 8);
                P[0] = qBlue(Src[X]);
                P[1] = qGreen(Src[X]);
                P[2] = qRed(Src[X]);
            }
        }
    }
    return N;
}

LONG SetBitmapBits(HBITMAP Bitmap, DWORD Count, const void* Bits)
{
    TBitmap* B = LookupAs<TBitmap>(Bitmap, TKind::Bitmap);
    if (!B || !Bits || B->Stock)
        return 0;
    const int Bpp = B->Mono ? 1 : (B->BitsPixel == 32 ? 32 : 24);
    LoadBits(B, static_cast<const std::uint8_t*>(Bits), Count, Bpp);
    return LONG(Count);
}

BOOL GetBitmapDimensionEx(HBITMAP Bitmap, SIZE* Size)
{
    TBitmap* B = LookupAs<TBitmap>(Bitmap, TKind::Bitmap);
    if (!B || !Size)
        return FALSE;
    *Size = B->Dimension;
    return TRUE;
}
BOOL SetBitmapDimensionEx(HBITMAP Bitmap, int Width, int Height, SIZE* Old)
{
    TBitmap* B = LookupAs<TBitmap>(Bitmap, TKind::Bitmap);
    if (!B)
        return FALSE;
    if (Old)
        *Old = B->Dimension;
    B->Dimension = SIZE{Width, Height};
    return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Regions

namespace {
// A rectangle's region, its edges held within reach of any surface so its size fits an int.
QRegion RectRegion(int Left, int Top, int Right, int Bottom)
{
    const int L = Saturate(std::min(Left, Right)), R = Saturate(std::max(Left, Right));
    const int T = Saturate(std::min(Top, Bottom)), B = Saturate(std::max(Top, Bottom));
    return R > L && B > T ? QRegion(L, T, R - L, B - T) : QRegion();
}
} // namespace

HRGN CreateRectRgn(int Left, int Top, int Right, int Bottom)
{
    EnsureInit();
    auto* R = new TRegion;
    R->Rgn = RectRegion(Left, Top, Right, Bottom);
    return Register(R);
}
HRGN CreateRectRgnIndirect(const RECT* Rect)
{
    return Rect ? CreateRectRgn(Rect->left, Rect->top, Rect->right, Rect->bottom) : nullptr;
}

HRGN CreateEllipticRgn(int Left, int Top, int Right, int Bottom)
{
    EnsureInit();
    auto* R = new TRegion;
    if (Left > Right)
        std::swap(Left, Right);
    if (Top > Bottom)
        std::swap(Top, Bottom);
    if (Right > Left && Bottom > Top)
        R->Rgn = QRegion(QRect(Left, Top, Right - Left, Bottom - Top), QRegion::Ellipse);
    return Register(R);
}
HRGN CreateEllipticRgnIndirect(const RECT* Rect)
{
    return Rect ? CreateEllipticRgn(Rect->left, Rect->top, Rect->right, Rect->bottom) : nullptr;
}

HRGN CreateRoundRectRgn(int Left, int Top, int Right, int Bottom, int Width, int Height)
{
    EnsureInit();
    if (Left > Right)
        std::swap(Left, Right);
    if (Top > Bottom)
        std::swap(Top, Bottom);
    auto* R = new TRegion;
    if (Right > Left && Bottom > Top) {
        QPainterPath Path;
        Path.addRoundedRect(QRectF(Left, Top, Right - Left, Bottom - Top), std::abs(Width) / 2.0,
                            std::abs(Height) / 2.0);
        R->Rgn = QRegion(Path.toFillPolygon().toPolygon());
    }
    return Register(R);
}

HRGN CreatePolyPolygonRgn(const POINT* Points, const int* Counts, int Polygons, int FillMode)
{
    EnsureInit();
    auto* R = new TRegion;
    const POINT* P = Points;
    for (int I = 0; Points && Counts && I < Polygons; ++I) {
        QPolygon Poly;
        for (int J = 0; J < Counts[I]; ++J)
            Poly << QPoint(P[J].x, P[J].y);
        P += std::max(Counts[I], 0);
        if (Poly.size() >= 3)
            R->Rgn = R->Rgn.xored(QRegion(Poly, FillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill));
    }
    return Register(R);
}
HRGN CreatePolygonRgn(const POINT* Points, int Count, int FillMode)
{
    return CreatePolyPolygonRgn(Points, &Count, 1, FillMode);
}

int CombineRgn(HRGN Dest, HRGN Src1, HRGN Src2, int Mode)
{
    TRegion* D = LookupAs<TRegion>(Dest, TKind::Region);
    TRegion* A = LookupAs<TRegion>(Src1, TKind::Region);
    TRegion* B = LookupAs<TRegion>(Src2, TKind::Region);
    if (!D || !A || (Mode != RGN_COPY && !B))
        return ERROR;
    switch (Mode) {
    case RGN_AND:
        D->Rgn = A->Rgn & B->Rgn;
        break;
    case RGN_OR:
        D->Rgn = A->Rgn | B->Rgn;
        break;
    case RGN_XOR:
        D->Rgn = A->Rgn ^ B->Rgn;
        break;
    case RGN_DIFF:
        D->Rgn = A->Rgn - B->Rgn;
        break;
    case RGN_COPY:
        D->Rgn = A->Rgn;
        break;
    default:
        return ERROR;
    }
    return RegionType(D->Rgn);
}

BOOL SetRectRgn(HRGN Region, int Left, int Top, int Right, int Bottom)
{
    TRegion* R = LookupAs<TRegion>(Region, TKind::Region);
    if (!R)
        return FALSE;
    R->Rgn = RectRegion(Left, Top, Right, Bottom);
    return TRUE;
}

int OffsetRgn(HRGN Region, int DX, int DY)
{
    TRegion* R = LookupAs<TRegion>(Region, TKind::Region);
    if (!R)
        return ERROR;
    R->Rgn.translate(DX, DY);
    return RegionType(R->Rgn);
}

int GetRgnBox(HRGN Region, RECT* Rect)
{
    TRegion* R = LookupAs<TRegion>(Region, TKind::Region);
    if (!R || !Rect)
        return ERROR;
    const QRect B = R->Rgn.boundingRect();
    *Rect = R->Rgn.isEmpty() ? RECT{} : RECT{B.left(), B.top(), B.left() + B.width(), B.top() + B.height()};
    return RegionType(R->Rgn);
}

BOOL EqualRgn(HRGN A, HRGN B)
{
    TRegion* Ra = LookupAs<TRegion>(A, TKind::Region);
    TRegion* Rb = LookupAs<TRegion>(B, TKind::Region);
    return Ra && Rb && Ra->Rgn == Rb->Rgn;
}

BOOL PtInRegion(HRGN Region, int X, int Y)
{
    TRegion* R = LookupAs<TRegion>(Region, TKind::Region);
    return R && R->Rgn.contains(QPoint(X, Y));
}

BOOL RectInRegion(HRGN Region, const RECT* Rect)
{
    TRegion* R = LookupAs<TRegion>(Region, TKind::Region);
    if (!R || !Rect || Rect->right <= Rect->left || Rect->bottom <= Rect->top)
        return FALSE;
    return R->Rgn.intersects(
        QRect(Rect->left, Rect->top, Rect->right - Rect->left, Rect->bottom - Rect->top));
}

// ---------------------------------------------------------------------------------------------
// Clipping

int ExtSelectClipRgn(HDC DC, HRGN Region, int Mode)
{
    TDc* Dc = DcOf(DC);
    if (!Dc)
        return ERROR;
    TRegion* R = Region ? LookupAs<TRegion>(Region, TKind::Region) : nullptr;
    if (Region && !R)
        return ERROR;
    if (!R) {
        if (Mode != RGN_COPY)
            return ERROR;
        Dc->St.Clip.reset();
    } else {
        const QRegion Cur = Dc->St.Clip ? *Dc->St.Clip : Everything();
        switch (Mode) {
        case RGN_AND:
            Dc->St.Clip = Cur & R->Rgn;
            break;
        case RGN_OR:
            Dc->St.Clip = Cur | R->Rgn;
            break;
        case RGN_XOR:
            Dc->St.Clip = Cur ^ R->Rgn;
            break;
        case RGN_DIFF:
            Dc->St.Clip = Cur - R->Rgn;
            break;
        case RGN_COPY:
            Dc->St.Clip = R->Rgn;
            break;
        default:
            return ERROR;
        }
    }
    return RegionType(ClipRegion(Dc));
}
int SelectClipRgn(HDC DC, HRGN Region)
{
    return ExtSelectClipRgn(DC, Region, RGN_COPY);
}

int IntersectClipRect(HDC DC, int Left, int Top, int Right, int Bottom)
{
    TDc* Dc = DcOf(DC);
    if (!Dc)
        return ERROR;
    const QRegion R = DeviceRect(Dc, Left, Top, Right, Bottom);
    Dc->St.Clip = Dc->St.Clip ? (*Dc->St.Clip & R) : R;
    return RegionType(ClipRegion(Dc));
}

int ExcludeClipRect(HDC DC, int Left, int Top, int Right, int Bottom)
{
    TDc* Dc = DcOf(DC);
    if (!Dc)
        return ERROR;
    const QRegion R = DeviceRect(Dc, Left, Top, Right, Bottom);
    Dc->St.Clip = (Dc->St.Clip ? *Dc->St.Clip : Everything()) - R;
    return RegionType(ClipRegion(Dc));
}

int OffsetClipRgn(HDC DC, int DX, int DY)
{
    TDc* Dc = DcOf(DC);
    if (!Dc)
        return ERROR;
    if (Dc->St.Clip)
        Dc->St.Clip->translate(ScaleLengthX(Dc, DX), ScaleLengthY(Dc, DY));
    return RegionType(ClipRegion(Dc));
}

int GetClipBox(HDC DC, RECT* Rect)
{
    TDc* Dc = DcOf(DC);
    if (!Dc || !Rect)
        return ERROR;
    const QRegion R = ClipRegion(Dc);
    if (R.isEmpty()) {
        *Rect = RECT{};
        return NULLREGION;
    }
    const QRect B = R.boundingRect().translated(-Dc->Origin);
    const QPoint A = DeviceToLogical(Dc, B.left(), B.top());
    const QPoint C = DeviceToLogical(Dc, B.left() + B.width(), B.top() + B.height());
    *Rect =
        RECT{std::min(A.x(), C.x()), std::min(A.y(), C.y()), std::max(A.x(), C.x()), std::max(A.y(), C.y())};
    return RegionType(R);
}

int GetClipRgn(HDC DC, HRGN Region)
{
    TDc* Dc = DcOf(DC);
    TRegion* R = LookupAs<TRegion>(Region, TKind::Region);
    if (!Dc || !R)
        return -1;
    if (!Dc->St.Clip)
        return 0;
    R->Rgn = *Dc->St.Clip;
    return 1;
}

BOOL PtVisible(HDC DC, int X, int Y)
{
    TDc* Dc = DcOf(DC);
    return Dc && ClipRegion(Dc).contains(ToSurface(Dc, X, Y));
}

BOOL RectVisible(HDC DC, const RECT* Rect)
{
    TDc* Dc = DcOf(DC);
    if (!Dc || !Rect)
        return FALSE;
    return ClipRegion(Dc).intersects(RectToSurface(Dc, Rect->left, Rect->top, Rect->right, Rect->bottom));
}

// ---------------------------------------------------------------------------------------------
// Palettes

HPALETTE CreatePalette(const LOGPALETTE* LogPalette)
{
    if (!LogPalette || LogPalette->palNumEntries == 0 || LogPalette->palNumEntries > 1024)
        return nullptr;
    EnsureInit();
    auto* P = new TPalette;
    P->Entries.assign(LogPalette->palPalEntry, LogPalette->palPalEntry + LogPalette->palNumEntries);
    return Register(P);
}

HPALETTE CreateHalftonePalette(HDC)
{
    EnsureInit();
    auto* P = new TPalette;
    P->Entries.resize(256);
    GetSystemPaletteEntries(nullptr, 0, 256, P->Entries.data());
    return Register(P);
}

UINT GetPaletteEntries(HPALETTE Palette, UINT Start, UINT Count, PALETTEENTRY* Entries)
{
    TPalette* P = LookupAs<TPalette>(Palette, TKind::Palette);
    if (!P)
        return 0;
    if (!Entries)
        return UINT(P->Entries.size());
    UINT N = 0;
    for (; N < Count && Start + N < P->Entries.size(); ++N)
        Entries[N] = P->Entries[Start + N];
    return N;
}

UINT SetPaletteEntries(HPALETTE Palette, UINT Start, UINT Count, const PALETTEENTRY* Entries)
{
    TPalette* P = LookupAs<TPalette>(Palette, TKind::Palette);
    if (!P || !Entries || P->Stock)
        return 0;
    UINT N = 0;
    for (; N < Count && Start + N < P->Entries.size(); ++N)
        P->Entries[Start + N] = Entries[N];
    return N;
}

BOOL ResizePalette(HPALETTE Palette, UINT Count)
{
    TPalette* P = LookupAs<TPalette>(Palette, TKind::Palette);
    if (!P || P->Stock || Count == 0 || Count > 1024)
        return FALSE;
    P->Entries.resize(Count);
    return TRUE;
}

BOOL AnimatePalette(HPALETTE Palette, UINT Start, UINT Count, const PALETTEENTRY* Entries)
{
    TPalette* P = LookupAs<TPalette>(Palette, TKind::Palette);
    if (!P || !Entries)
        return FALSE;
    for (UINT N = 0; N < Count && Start + N < P->Entries.size(); ++N)
        if (P->Entries[Start + N].peFlags & PC_RESERVED)
            P->Entries[Start + N] = Entries[N];
    return TRUE;
}

UINT GetSystemPaletteEntries(HDC, UINT Start, UINT Count, PALETTEENTRY* Entries)
{
    static const BYTE Low[10][3] = {{0, 0, 0},       {128, 0, 0},    {0, 128, 0},   {128, 128, 0},
                                    {0, 0, 128},     {128, 0, 128},  {0, 128, 128}, {192, 192, 192},
                                    {192, 220, 192}, {166, 202, 240}};
    static const BYTE High[10][3] = {{255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},
                                     {0, 255, 0},     {255, 255, 0},   {0, 0, 255},     {255, 0, 255},
                                     {0, 255, 255},   {255, 255, 255}};
    if (!Entries)
        return 256;
    UINT N = 0;
    for (; N < Count && Start + N < 256; ++N) {
        const UINT I = Start + N;
        PALETTEENTRY E;
        if (I < 10) {
            E = PALETTEENTRY{Low[I][0], Low[I][1], Low[I][2], 0};
        } else if (I >= 246) {
            E = PALETTEENTRY{High[I - 246][0], High[I - 246][1], High[I - 246][2], 0};
        } else if (I - 10 < 216) {
            // The middle holds a 6x6x6 colour cube, then grays.
            const UINT C = I - 10;
            E = PALETTEENTRY{BYTE((C / 36) * 51), BYTE(((C / 6) % 6) * 51), BYTE((C % 6) * 51), 0};
        } else {
            const BYTE G = BYTE((I - 226) * 12 + 8);
            E = PALETTEENTRY{G, G, G, 0};
        }
        Entries[N] = E;
    }
    return N;
}

HPALETTE SelectPalette(HDC DC, HPALETTE Palette, BOOL)
{
    TDc* Dc = DcOf(DC);
    TPalette* P = LookupAs<TPalette>(Palette, TKind::Palette);
    if (!Dc || !P)
        return nullptr;
    return SelectObject(DC, Palette);
}

UINT RealizePalette(HDC DC)
{
    return DcOf(DC) ? 0 : UINT(GDI_ERROR);
}

UINT GetNearestPaletteIndex(HPALETTE Palette, COLORREF Color)
{
    TPalette* P = LookupAs<TPalette>(Palette, TKind::Palette);
    if (!P || P->Entries.empty())
        return CLR_INVALID;
    const COLORREF C = ResolveColor(nullptr, Color);
    UINT Best = 0;
    long BestD = -1;
    for (UINT I = 0; I < P->Entries.size(); ++I) {
        const PALETTEENTRY& E = P->Entries[I];
        const long Dr = long(E.peRed) - GetRValue(C), Dg = long(E.peGreen) - GetGValue(C),
                   Db = long(E.peBlue) - GetBValue(C);
        const long D = Dr * Dr + Dg * Dg + Db * Db;
        if (BestD < 0 || D < BestD) {
            BestD = D;
            Best = I;
        }
    }
    return Best;
}

COLORREF GetNearestColor(HDC DC, COLORREF Color)
{
    TDc* Dc = DcOf(DC);
    if (!Dc)
        return CLR_INVALID;
    return RgbToColorRef(PixelOf(Dc, Color));
}

UINT GetSystemPaletteUse(HDC DC)
{
    return DcOf(DC) ? SYSPAL_STATIC : SYSPAL_ERROR;
}
UINT SetSystemPaletteUse(HDC DC, UINT)
{
    return DcOf(DC) ? SYSPAL_STATIC : SYSPAL_ERROR;
}

// ---------------------------------------------------------------------------------------------
// System colours

DWORD GetSysColor(int Index)
{
    return Index >= 0 && Index <= COLOR_ENDCOLORS ? SysColors[Index] : 0;
}

HBRUSH GetSysColorBrush(int Index)
{
    EnsureInit();
    return Index >= 0 && Index <= COLOR_ENDCOLORS ? HandleOf(SysBrushes[Index]) : nullptr;
}
