// Inside of the GDI layer: the objects behind the handles and the helpers the GDI units share.
// Only platform/graphics/Gdi*.cpp and WinGdi*.cpp include it.
#pragma once

#include "platform/graphics/WinGdi.h"
#include "platform/qt/GdiSurface.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QRawFont>
#include <QRegion>

#include <array>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace gdi {

enum class TKind { Pen, Brush, Font, Bitmap, Palette, Region, DC };

struct TObject {
    explicit TObject(TKind K) : Kind(K) {}
    virtual ~TObject() = default;
    TKind Kind;
    bool Stock = false;
    int SelectCount = 0;        // DCs (and saved DC states) holding it
    bool DeletePending = false; // DeleteObject came while it was selected
};

struct TPen : TObject {
    TPen() : TObject(TKind::Pen) {}
    int Style = PS_SOLID; // PS_STYLE_MASK part
    int Width = 1;        // >= 1
    COLORREF Color = 0;
    DWORD Flags = 0; // caps, joins, type of an ExtCreatePen pen
    bool Extended = false;
    bool DcPen = false; // DC_PEN: colour from the DC
    std::vector<DWORD> UserStyle;
};

struct TBrush : TObject {
    TBrush() : TObject(TKind::Brush) {}
    UINT Style = BS_SOLID;
    COLORREF Color = 0;
    int Hatch = 0;
    QImage Pattern; // BS_PATTERN / BS_DIBPATTERN, RGB32
    bool PatternMono = false;
    bool DcBrush = false;
    std::uintptr_t PatternHandle = 0; // what GetObject reports for lbHatch
};

struct TGlyph {
    quint32 Index = 0; // glyph in the primary font; 0: drawn through the fallback path
    int Advance = 0;
};

struct TGlyphMasks; // the pixels of a font's glyphs, drawn once (GdiGlyphs.cpp)

struct TFont : TObject {
    TFont() : TObject(TKind::Font) {}
    LOGFONT Log;
    QFont Font;
    TEXTMETRIC Metric;
    int EmHeight = 0;
    QRawFont Raw;
    std::unique_ptr<QFontMetrics> Metrics;
    std::array<TGlyph, 128> Ascii{};
    std::unordered_map<char32_t, TGlyph> Others;
    // The glyphs beyond ASCII looked up so far by the font built first and every copy of it
    // (copies are made on each font selection and would otherwise look each one up again).
    struct TSharedGlyphs {
        std::mutex Lock;
        std::unordered_map<char32_t, TGlyph> Map;
    };
    std::shared_ptr<TSharedGlyphs> Shared = std::make_shared<TSharedGlyphs>();
    const TGlyph& Glyph(char32_t C);
    // The font text is drawn in ([1]: smoothed), made on first use: lines are drawn apart.
    std::optional<QFont> Drawn[2];
    const QFont& DrawFont(bool Smooth);
    // Shared by every copy of the font built from the same LOGFONT.
    std::shared_ptr<TGlyphMasks> Masks;
};

struct TDc;

struct TBitmap : TObject {
    TBitmap() : TObject(TKind::Bitmap) {}
    QImage Image; // RGB32
    bool Mono = false;
    int BitsPixel = 24; // what GetObject reports
    TDc* SelectedIn = nullptr;
    SIZE Dimension;
};

struct TPalette : TObject {
    TPalette() : TObject(TKind::Palette) {}
    std::vector<PALETTEENTRY> Entries;
};

struct TRegion : TObject {
    TRegion() : TObject(TKind::Region) {}
    QRegion Rgn;
};

struct TDcState {
    TPen* Pen = nullptr;
    TBrush* Brush = nullptr;
    TFont* Font = nullptr;
    TBitmap* Bitmap = nullptr;
    TPalette* Palette = nullptr;
    COLORREF BkColor = RGB(255, 255, 255);
    COLORREF TextColor = 0;
    COLORREF DcBrushColor = RGB(255, 255, 255);
    COLORREF DcPenColor = 0;
    int BkMode = OPAQUE;
    int Rop2 = R2_COPYPEN;
    int StretchMode = BLACKONWHITE;
    int PolyFillMode = ALTERNATE;
    int ArcDirection = AD_COUNTERCLOCKWISE;
    UINT TextAlign = TA_TOP | TA_LEFT;
    int CharExtra = 0;
    int JustifyExtra = 0, JustifyBreaks = 0;
    int MapMode = MM_TEXT;
    POINT WindowOrg, ViewportOrg;
    SIZE WindowExt{1, 1}, ViewportExt{1, 1};
    POINT Pos;
    POINT BrushOrg;
    std::optional<QRegion> Clip; // application clip, device coordinates
};

struct TDc : TObject {
    TDc() : TObject(TKind::DC) {}
    ~TDc() override;
    bool Memory = false;         // CreateCompatibleDC
    bool InfoOnly = false;       // CreateDC("DISPLAY"): no surface
    QImage* Target = nullptr;    // image DCs (memory DCs: the selected bitmap's image)
    QPainter* Painter = nullptr; // painter DCs
    TDeviceCaps Caps;
    bool HasCaps = false;
    QPoint Origin;
    std::optional<QRegion> SystemClip; // device coordinates
    TDcState St;
    std::vector<TDcState> Saved;

    bool Mono() const { return Memory && St.Bitmap && St.Bitmap->Mono; }
    QImage* Surface() const { return Painter ? nullptr : Target; }
};

// Handle table: every live object, so a stale or foreign handle is refused instead of followed.
TObject* Lookup(const void* Handle);
template <class T> T* LookupAs(const void* Handle, TKind Kind)
{
    TObject* O = Lookup(Handle);
    return O && O->Kind == Kind ? static_cast<T*>(O) : nullptr;
}
inline TDc* DcOf(HDC DC)
{
    return LookupAs<TDc>(DC, TKind::DC);
}
HGDIOBJ Register(TObject* Object);
inline HGDIOBJ HandleOf(TObject* Object)
{
    return reinterpret_cast<HGDIOBJ>(Object);
}
inline HDC DcHandle(TDc* Dc)
{
    return reinterpret_cast<HDC>(Dc);
}
void Retain(TObject* Object);
void Release(TObject* Object); // frees it when a pending delete has no holders left

// Colours
QRgb SysRgb(int Index);
// A COLORREF as the pixel Dc draws it: palette indices resolved, black/white on mono surfaces.
QRgb PixelOf(const TDc* Dc, COLORREF Color);
COLORREF ResolveColor(const TDc* Dc, COLORREF Color); // palette indices resolved, flags cleared
inline QRgb Mono(QRgb P)
{
    const int R = qRed(P), G = qGreen(P), B = qBlue(P);
    return (R * 30 + G * 59 + B * 11) >= 128 * 100 ? 0xFFFFFFFFu : 0xFF000000u;
}
inline COLORREF RgbToColorRef(QRgb P)
{
    return RGB(qRed(P), qGreen(P), qBlue(P));
}

// Coordinates: logical -> surface pixels, and the clip as surface rectangles. Device and surface
// points saturate at kFarPixels from the origin, far outside any surface, so that sizes, sums and
// pen adjustments of them never overflow; what must keep its exact geometry that far out (lines
// and curved outlines) takes the exact point instead.
constexpr int kFarPixels = 1 << 29;
struct TExactPoint {
    qint64 X = 0, Y = 0;
};
TExactPoint ToSurfaceExact(const TDc* Dc, qint64 X, qint64 Y);
QPoint ToSurface(const TDc* Dc, qint64 X, qint64 Y);
QPoint ToDevice(const TDc* Dc, qint64 X, qint64 Y);
QPoint DeviceToLogical(const TDc* Dc, int X, int Y);
// Logical rectangle -> surface rectangle (normalised, right/bottom exclusive).
QRect RectToSurface(const TDc* Dc, qint64 Left, qint64 Top, qint64 Right, qint64 Bottom);
// The same unsaturated, for the outlines of curved shapes.
QRectF RectToSurfaceF(const TDc* Dc, qint64 Left, qint64 Top, qint64 Right, qint64 Bottom);
bool IsIdentityScale(const TDc* Dc);
int ScaleLengthX(const TDc* Dc, int L); // logical length -> device pixels
int ScaleLengthY(const TDc* Dc, int L);
// Surface bounds ∩ system clip ∩ application clip, in surface pixels.
QRegion ClipRegion(const TDc* Dc);

// A brush ready to sample at surface pixels.
struct TBrushSampler {
    enum { None, Solid, Pattern, Hatch } Mode = None;
    QRgb Color = 0;
    QRgb Back = 0;
    bool TransparentBack = false;
    const QImage* Image = nullptr;
    QImage Converted;       // mono pattern in the DC's text/background colours
    int OrgX = 0, OrgY = 0; // surface pixel where the pattern's (0,0) lies
    int HatchBits[8] = {};
    // False when this pixel stays untouched (hatch gaps in transparent mode).
    bool Sample(int X, int Y, QRgb& Out) const;
};
TBrushSampler MakeSampler(const TDc* Dc, const TBrush* Brush, bool ForBlt = false);
TBrush* BrushFromHandle(HBRUSH Brush); // also (HBRUSH)(COLOR_xxx + 1)

// Binary raster operation on one pixel.
inline QRgb Rop2Apply(int Rop2, QRgb P, QRgb D)
{
    const unsigned Table = unsigned(Rop2 - 1) & 15;
    QRgb R = 0;
    if (Table & 1)
        R |= ~P & ~D;
    if (Table & 2)
        R |= ~P & D;
    if (Table & 4)
        R |= P & ~D;
    if (Table & 8)
        R |= P & D;
    return R | 0xFF000000u;
}

// Fills the covered pixels of a surface rectangle (already clipped or not: the clip is applied)
// with Sampler through the DC's ROP2.
void FillSurfaceRect(TDc* Dc, const QRect& R, const TBrushSampler& Sampler, int Rop2);
void FillSurfaceRegion(TDc* Dc, const QRegion& Rgn, const TBrushSampler& Sampler, int Rop2);
// Composites a coverage mask (non-zero pixels covered) whose (0,0) is surface pixel Pos.
void FillMask(TDc* Dc, const QImage& Mask, QPoint Pos, const TBrushSampler& Sampler, int Rop2);
// Keeps a mono surface pure black and white after Qt drew on it.
void SnapMono(TDc* Dc, const QRect& R);

// Starts a QPainter on an image DC's surface with the clip set, or hands out a painter DC's own
// painter with its state saved; the painter is in surface coordinates, antialiasing off.
class TPaintScope {
public:
    explicit TPaintScope(TDc* Dc);
    ~TPaintScope();
    QPainter* operator->() { return P; }
    QPainter& operator*() { return *P; }
    bool Ok() const { return P != nullptr; }

private:
    TDc* Dc;
    QPainter* P = nullptr;
    std::optional<QPainter> Own;
};

// Fonts
TFont* NewFont(const LOGFONT& Log); // not registered
TFont* CurrentFont(const TDc* Dc);
void DecodeUtf8(const char* Text, int Count, std::vector<char32_t>& Chars, std::vector<int>* ByteLen);
int TextWidth(TFont* F, const TDc* Dc, const char32_t* Chars, int N);
void DrawTextRun(TDc* Dc, int X, int Y, const char* Text, int Count, const int* Dx, UINT Options,
                 const RECT* Rect);
std::shared_ptr<TGlyphMasks> NewGlyphMasks();

// The 32-bit pixels of an image DC inside its clip, for drawing without a painter.
class TDirectSurface {
public:
    static bool Suits(const QImage& Image);
    TDirectSurface(QImage& Image, QRegion Clip);
    void Limit(const QRect& R); // the clip shrinks to R
    void Fill(const QRect& R, QRgb Color);
    void FillRow(int Y, int X0, int X1, QRgb Color); // X1 exclusive

private:
    uchar* Bits;
    qsizetype Stride;
    QRegion Clip;
    QRect Bounds;
    bool OneRect;
};

// Draws unsmoothed, unrotated text onto a surface from glyph masks made once per font; false
// (nothing drawn) where only the painter can draw it. Left and Base are the surface pixels of the
// pen at the first character and of the baseline.
bool DrawGlyphsDirect(TDirectSurface& Surface, TFont* F, const std::vector<char32_t>& Chars,
                      const std::vector<int>& Adv, int Left, int Base, QRgb Ink);

// The classic face names and the installed families drawing them.
std::vector<std::pair<QString, QString>> FaceSubstitutes();

// Stock objects for the defaults.
TObject* StockObject(int Index);
TBitmap* StockMonoBitmap();

// Initialises the layer (fonts, stock objects) once.
void EnsureInit();

} // namespace gdi
