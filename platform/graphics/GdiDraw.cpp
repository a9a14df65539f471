// Lines, shapes, fills, regions and the window system's frame drawing (DrawEdge,
// DrawFrameControl, focus rectangles). One-pixel lines are our own stepping (end point excluded,
// pen styles continued across segments); curved shapes are rasterised by Qt without
// antialiasing into a coverage mask and then composited through the DC's binary raster operation.
#include "platform/qt/GdiPrivate.h"

#include <QPainterPath>

#include <algorithm>
#include <climits>
#include <cmath>
#include <deque>
#include <vector>

namespace gdi {
namespace {

struct TPenInfo {
    bool Null = true;
    QRgb Color = 0;
    int Width = 1;
    bool InsideFrame = false;
    std::vector<int> Dash; // on, off, on, off ...: empty = solid
    DWORD Flags = 0;
};

TPenInfo PenInfo(const TDc* Dc)
{
    TPenInfo I;
    const TPen* P = Dc->St.Pen;
    if (!P || P->Style == PS_NULL)
        return I;
    I.Null = false;
    I.Color = PixelOf(Dc, P->DcPen ? Dc->St.DcPenColor : P->Color);
    // Wider than any surface is as wide as needed; keeps the outline arithmetic in range.
    I.Width = std::clamp(ScaleLengthX(Dc, P->Width), 1, kFarPixels / 2);
    if (P->Width <= 1)
        I.Width = 1;
    I.InsideFrame = P->Style == PS_INSIDEFRAME;
    I.Flags = P->Flags;
    if (I.Width == 1) {
        switch (P->Style) {
        case PS_DASH:
            I.Dash = {18, 6};
            break;
        case PS_DOT:
            I.Dash = {3, 3};
            break;
        case PS_DASHDOT:
            I.Dash = {9, 6, 3, 6};
            break;
        case PS_DASHDOTDOT:
            I.Dash = {9, 3, 3, 3, 3, 3};
            break;
        case PS_ALTERNATE:
            I.Dash = {1, 1};
            break;
        case PS_USERSTYLE:
            for (DWORD V : P->UserStyle)
                I.Dash.push_back(std::max(1, int(V)));
            if (I.Dash.size() % 2)
                I.Dash.push_back(I.Dash.back());
            break;
        default:
            break;
        }
    }
    return I;
}

TBrushSampler SolidSampler(QRgb C)
{
    TBrushSampler S;
    S.Mode = TBrushSampler::Solid;
    S.Color = C;
    return S;
}

// One-pixel line stepping with the clip, the pen style and the ROP2.
struct TPlotter {
    TDc* Dc;
    QImage* Image;
    std::vector<QRect> Clip;
    QRect Bounds;
    int Rop2;
    TPenInfo Pen;
    QRgb Back;
    bool OpaqueGaps;
    int DashIndex = 0, DashLeft = 0;

    TPlotter(TDc* D, const TPenInfo& P) : Dc(D), Image(D->Surface()), Rop2(D->St.Rop2), Pen(P)
    {
        const QRegion R = ClipRegion(D);
        Clip.assign(R.begin(), R.end());
        Bounds = R.boundingRect();
        Back = PixelOf(D, D->St.BkColor);
        OpaqueGaps = D->St.BkMode == OPAQUE;
        if (!Pen.Dash.empty())
            DashLeft = Pen.Dash[0];
    }

    void Plot(int X, int Y)
    {
        bool On = true;
        if (!Pen.Dash.empty()) {
            On = (DashIndex % 2) == 0;
            if (--DashLeft <= 0) {
                DashIndex = (DashIndex + 1) % int(Pen.Dash.size());
                DashLeft = Pen.Dash[std::size_t(DashIndex)];
            }
            if (!On && !OpaqueGaps)
                return;
        }
        if (!Image || !Bounds.contains(X, Y))
            return;
        bool Inside = Clip.size() == 1;
        if (!Inside)
            for (const QRect& R : Clip)
                if (R.contains(X, Y)) {
                    Inside = true;
                    break;
                }
        if (!Inside)
            return;
        QRgb& D = reinterpret_cast<QRgb*>(Image->scanLine(Y))[X];
        D = Rop2Apply(Rop2, On ? Pen.Color : Back, D);
    }

    // Moves the pen style on as if N pixels had been stepped.
    void SkipSteps(qint64 N)
    {
        if (Pen.Dash.empty() || N <= 0)
            return;
        qint64 Cycle = 0;
        for (int D : Pen.Dash)
            Cycle += D;
        N %= Cycle;
        while (N > 0) {
            if (N < DashLeft) {
                DashLeft -= int(N);
                return;
            }
            N -= DashLeft;
            DashIndex = (DashIndex + 1) % int(Pen.Dash.size());
            DashLeft = Pen.Dash[std::size_t(DashIndex)];
        }
    }

    // From A up to but not including B, in surface pixels. Only the steps that can land inside
    // the clip's bounds are walked: the state of the stepping (minor coordinate, error term, pen
    // style) at the first of them is worked out directly, so a line a billion pixels long costs
    // what its visible part costs and sets the same pixels.
    void Line(TExactPoint A, TExactPoint B)
    {
        const bool XMajor = std::abs(B.X - A.X) >= std::abs(B.Y - A.Y);
        // Major axis: the one stepped every pixel; minor: the one the error term moves.
        const qint64 M0 = XMajor ? A.X : A.Y, M1 = XMajor ? B.X : B.Y;
        const qint64 N0 = XMajor ? A.Y : A.X, N1 = XMajor ? B.Y : B.X;
        const qint64 Dm = std::abs(M1 - M0), Dn = std::abs(N1 - N0);
        const int Sm = M0 < M1 ? 1 : -1, Sn = N0 < N1 ? 1 : -1;
        if (Dm == 0)
            return;
        const qint64 Lm = XMajor ? Bounds.left() : Bounds.top(),
                     Hm = XMajor ? Bounds.right() : Bounds.bottom();
        const qint64 Ln = XMajor ? Bounds.top() : Bounds.left(),
                     Hn = XMajor ? Bounds.bottom() : Bounds.right();
        // The minor coordinate at step I is N0 + Sn * K(I), K(I) = ceil((I * Dn - Dm / 2) / Dm): the
        // error term starts at Dm / 2 and stays in [0, Dm).
        const qint64 Half = Dm / 2;
        auto K = [&](qint64 I) { return qint64((__int128(I) * Dn - Half + Dm - 1) / Dm); };
        // Steps whose major coordinate lies inside the bounds.
        qint64 First = Sm > 0 ? Lm - M0 : M0 - Hm, Last = Sm > 0 ? Hm - M0 : M0 - Lm;
        // Steps whose minor coordinate does: K(I) within [KLow, KHigh].
        const qint64 KLow = Sn > 0 ? Ln - N0 : N0 - Hn, KHigh = Sn > 0 ? Hn - N0 : N0 - Ln;
        if (Dn == 0) {
            if (KLow > 0 || KHigh < 0)
                First = Dm;
        } else {
            if (KLow > 0) // the first I with K(I) >= KLow
                First = std::max(First, qint64((__int128(KLow - 1) * Dm + Half) / Dn) + 1);
            if (KHigh < 0)
                First = Dm;
            else // the last I with K(I) <= KHigh
                Last = std::min(Last, qint64((__int128(KHigh) * Dm + Half) / Dn));
        }
        First = std::max<qint64>(First, 0);
        Last = std::min(Last, Dm - 1);
        if (!Image || First > Last) {
            SkipSteps(Dm);
            return;
        }
        SkipSteps(First);
        const qint64 K0 = K(First);
        qint64 Err = Half - qint64(__int128(First) * Dn - __int128(K0) * Dm);
        int M = int(M0 + Sm * First), N = int(N0 + Sn * K0);
        for (qint64 I = First; I <= Last; ++I, M += Sm) {
            if (XMajor)
                Plot(M, N);
            else
                Plot(N, M);
            Err -= Dn;
            if (Err < 0) {
                N += Sn;
                Err += Dm;
            }
        }
        SkipSteps(Dm - 1 - Last);
    }
};

// Coverage of something Qt draws: the callback paints white on black with the painter in surface
// coordinates; the mask covers Box.
struct TMask {
    QImage Image;
    QPoint Pos;
    bool Empty = true;
};

// What a mask for a shape with these bounds (plus Margin pixels around) must cover: only what the
// clip lets through, worked out before anything is rounded to whole pixels, as a far shape's
// bounds need not fit an int.
QRect MaskBox(const TDc* Dc, const QRectF& Bounds, int Margin)
{
    const QRect Clip = ClipRegion(Dc).boundingRect();
    const QRectF Box = Bounds.adjusted(-Margin, -Margin, Margin, Margin) & QRectF(Clip);
    return Box.isEmpty() ? QRect() : Box.toAlignedRect() & Clip;
}

template <class F> TMask MakeMask(const QRect& Box, F&& Paint)
{
    TMask M;
    if (Box.isEmpty())
        return M;
    M.Image = QImage(Box.size(), QImage::Format_RGB32);
    M.Image.fill(0xFF000000u);
    M.Pos = Box.topLeft();
    {
        QPainter P(&M.Image);
        P.setRenderHint(QPainter::Antialiasing, false);
        P.translate(-Box.left(), -Box.top());
        Paint(P);
    }
    M.Empty = false;
    return M;
}

void Subtract(TMask& From, const TMask& What)
{
    if (From.Empty || What.Empty)
        return;
    const QRect A(From.Pos, From.Image.size()), B(What.Pos, What.Image.size());
    const QRect C = A & B;
    for (int Y = C.top(); Y <= C.bottom(); ++Y) {
        auto* D = reinterpret_cast<QRgb*>(From.Image.scanLine(Y - A.top()));
        const auto* S = reinterpret_cast<const QRgb*>(What.Image.constScanLine(Y - B.top()));
        for (int X = C.left(); X <= C.right(); ++X)
            if (S[X - B.left()] & 0xFFFFFF)
                D[X - A.left()] = 0xFF000000u;
    }
}

QPen QtPen(const TPenInfo& I, QRgb Color = 0xFFFFFFFFu)
{
    QPen P(QColor::fromRgb(Color));
    P.setWidth(I.Width <= 1 ? 0 : I.Width);
    const DWORD Cap = I.Flags & PS_ENDCAP_MASK, Join = I.Flags & PS_JOIN_MASK;
    P.setCapStyle(Cap == PS_ENDCAP_SQUARE ? Qt::SquareCap
                  : Cap == PS_ENDCAP_FLAT ? Qt::FlatCap
                                          : Qt::RoundCap);
    P.setJoinStyle(Join == PS_JOIN_BEVEL   ? Qt::BevelJoin
                   : Join == PS_JOIN_MITER ? Qt::MiterJoin
                                           : Qt::RoundJoin);
    if (I.Width <= 1)
        P.setCapStyle(Qt::FlatCap);
    if (!I.Dash.empty()) {
        QList<qreal> D;
        for (int V : I.Dash)
            D << qreal(V);
        P.setDashPattern(D);
    }
    return P;
}

// Strokes a path with the DC's pen: through our plotter for plain polylines, else via a mask.
void StrokePath(TDc* Dc, const QPainterPath& Path, const TPenInfo& Pen, TMask* PenMaskOut = nullptr)
{
    if (Pen.Null || Dc->St.Rop2 == R2_NOP)
        return;
    if (Dc->Painter) {
        TPaintScope P(Dc);
        P->setPen(QtPen(Pen, Pen.Color));
        P->setBrush(Qt::NoBrush);
        P->drawPath(Path);
        return;
    }
    const int M = Pen.Width + 2;
    TMask Mask = MakeMask(MaskBox(Dc, Path.boundingRect(), M), [&](QPainter& P) {
        P.setPen(QtPen(Pen));
        P.setBrush(Qt::NoBrush);
        P.drawPath(Path);
    });
    if (Mask.Empty)
        return;
    FillMask(Dc, Mask.Image, Mask.Pos, SolidSampler(Pen.Color), Dc->St.Rop2);
    if (PenMaskOut)
        *PenMaskOut = std::move(Mask);
}

// Fills and outlines a closed shape: the brush first (minus the pen's pixels, so XOR modes do not
// cancel), then the pen.
void DrawShape(TDc* Dc, const QPainterPath& Fill, const QPainterPath& Outline, const TPenInfo& Pen)
{
    const TBrushSampler Brush = MakeSampler(Dc, Dc->St.Brush);
    if (Dc->Painter) {
        TPaintScope P(Dc);
        if (Brush.Mode != TBrushSampler::None) {
            if (Brush.Mode == TBrushSampler::Pattern)
                P->fillPath(Fill, QBrush(Brush.Converted.isNull() ? *Brush.Image : Brush.Converted));
            else
                P->fillPath(Fill, QColor::fromRgb(Brush.Color));
        }
        if (!Pen.Null) {
            P->setPen(QtPen(Pen, Pen.Color));
            P->setBrush(Qt::NoBrush);
            P->drawPath(Outline);
        }
        return;
    }
    if (!Dc->Surface())
        return;
    const int M = Pen.Width + 2;
    TMask PenMask;
    if (!Pen.Null) {
        PenMask = MakeMask(MaskBox(Dc, Outline.boundingRect(), M), [&](QPainter& P) {
            P.setPen(QtPen(Pen));
            P.setBrush(Qt::NoBrush);
            P.drawPath(Outline);
        });
    }
    if (Brush.Mode != TBrushSampler::None) {
        TMask FillMaskImg = MakeMask(MaskBox(Dc, Fill.boundingRect(), 2), [&](QPainter& P) {
            P.setPen(Qt::NoPen);
            P.setBrush(Qt::white);
            P.drawPath(Fill);
        });
        Subtract(FillMaskImg, PenMask);
        if (!FillMaskImg.Empty)
            FillMask(Dc, FillMaskImg.Image, FillMaskImg.Pos, Brush, Dc->St.Rop2);
    }
    if (!PenMask.Empty)
        FillMask(Dc, PenMask.Image, PenMask.Pos, SolidSampler(Pen.Color), Dc->St.Rop2);
}

QPointF SurfaceF(const TDc* Dc, int X, int Y)
{
    const TExactPoint P = ToSurfaceExact(Dc, X, Y);
    return QPointF(double(P.X), double(P.Y));
}

QPointF PixelCentre(TExactPoint P)
{
    return QPointF(double(P.X) + 0.5, double(P.Y) + 0.5);
}

void PolylineSurface(TDc* Dc, const std::vector<TExactPoint>& Pts, bool Closed)
{
    const TPenInfo Pen = PenInfo(Dc);
    if (Pen.Null || Pts.size() < 2)
        return;
    if (Pen.Width == 1 && !Dc->Painter) {
        TPlotter P(Dc, Pen);
        for (std::size_t I = 0; I + 1 < Pts.size(); ++I)
            P.Line(Pts[I], Pts[I + 1]);
        if (Closed)
            P.Line(Pts.back(), Pts.front());
        return;
    }
    QPainterPath Path;
    Path.moveTo(PixelCentre(Pts[0]));
    for (std::size_t I = 1; I < Pts.size(); ++I)
        Path.lineTo(PixelCentre(Pts[I]));
    if (Closed)
        Path.closeSubpath();
    StrokePath(Dc, Path, Pen);
}

std::vector<TExactPoint> ToSurfacePoints(const TDc* Dc, const POINT* Points, int Count)
{
    std::vector<TExactPoint> Out;
    Out.reserve(std::size_t(std::max(Count, 0)));
    for (int I = 0; I < Count; ++I)
        Out.push_back(ToSurfaceExact(Dc, Points[I].x, Points[I].y));
    return Out;
}

// The rectangle of an ellipse-like shape, through the centres of its outermost pixels; a wide
// inside-frame pen moves it inwards so the stroke stays within the bounds.
QRectF ShapeRect(const QRectF& R, const TPenInfo& Pen)
{
    QRectF F(R.left() + 0.5, R.top() + 0.5, R.width() - 1, R.height() - 1);
    if (!Pen.Null && Pen.InsideFrame && Pen.Width > 1) {
        const qreal H = (Pen.Width - 1) / 2.0;
        F.adjust(H, H, -H, -H);
    }
    return F;
}

// Parametric angle (degrees, counter-clockwise) of the point where the radial through (X, Y) meets
// the ellipse in Rect.
qreal RadialAngle(const QRectF& Rect, QPointF P)
{
    const QPointF C = Rect.center();
    const qreal A = std::max(Rect.width() / 2, 0.5), B = std::max(Rect.height() / 2, 0.5);
    const qreal Theta = std::atan2(-(P.y() - C.y()), P.x() - C.x());
    return std::atan2(A * std::sin(Theta), B * std::cos(Theta)) * 180.0 / M_PI;
}

enum class TArcKind { Arc, Pie, Chord };

BOOL ArcShape(HDC DC, int L, int T, int R, int B, int Xs, int Ys, int Xe, int Ye, TArcKind Kind, bool MoveCp)
{
    TDc* Dc = DcOf(DC);
    if (!Dc)
        return FALSE;
    const TPenInfo Pen = PenInfo(Dc);
    const QRect Box = RectToSurface(Dc, L, T, R, B);
    if (Box.width() < 1 || Box.height() < 1)
        return TRUE;
    const QRectF Rect = ShapeRect(RectToSurfaceF(Dc, L, T, R, B), Pen);
    const QPointF S = SurfaceF(Dc, Xs, Ys) + QPointF(0.5, 0.5), E = SurfaceF(Dc, Xe, Ye) + QPointF(0.5, 0.5);
    const qreal A0 = RadialAngle(Rect, S), A1 = RadialAngle(Rect, E);
    qreal Sweep = A1 - A0;
    if (Dc->St.ArcDirection == AD_COUNTERCLOCKWISE) {
        while (Sweep <= 0)
            Sweep += 360;
    } else {
        while (Sweep >= 0)
            Sweep -= 360;
    }
    QPainterPath Path;
    Path.arcMoveTo(Rect, A0);
    const QPointF Start = Path.currentPosition();
    if (MoveCp && !Pen.Null) {
        QPainterPath Lead;
        Lead.moveTo(PixelCentre(ToSurfaceExact(Dc, Dc->St.Pos.x, Dc->St.Pos.y)));
        Lead.lineTo(Start);
        StrokePath(Dc, Lead, Pen);
    }
    Path.arcTo(Rect, A0, Sweep);
    const QPointF End = Path.currentPosition();
    if (MoveCp) {
        const QPoint Dev = (End - QPointF(0.5, 0.5)).toPoint() - Dc->Origin;
        const QPoint Lp = DeviceToLogical(Dc, Dev.x(), Dev.y());
        Dc->St.Pos = POINT{Lp.x(), Lp.y()};
    }
    if (Kind == TArcKind::Arc) {
        StrokePath(Dc, Path, Pen);
        return TRUE;
    }
    if (Kind == TArcKind::Pie)
        Path.lineTo(Rect.center());
    Path.closeSubpath();
    DrawShape(Dc, Path, Path, Pen);
    return TRUE;
}

QRegion RegionToSurface(const TDc* Dc, const QRegion& Rgn)
{
    if (IsIdentityScale(Dc))
        return Rgn.translated(ToSurface(Dc, 0, 0));
    QRegion Out;
    for (const QRect& R : Rgn)
        Out |= RectToSurface(Dc, R.left(), R.top(), R.right() + 1, R.bottom() + 1);
    return Out;
}

void FillSys(TDc* Dc, const QRect& R, int Index)
{
    FillSurfaceRect(Dc, R, SolidSampler(Dc->Mono() ? Mono(SysRgb(Index)) : SysRgb(Index)), R2_COPYPEN);
}

// One band of a 3-D border: top/left in Tl, bottom/right in Br (which wins the shared corners).
void EdgeBand(TDc* Dc, const QRect& R, UINT Flags, int Tl, int Br)
{
    if (R.width() <= 0 || R.height() <= 0)
        return;
    if (Flags & BF_LEFT)
        FillSys(Dc, QRect(R.left(), R.top(), 1, R.height()), Tl);
    if (Flags & BF_TOP)
        FillSys(Dc, QRect(R.left(), R.top(), R.width(), 1), Tl);
    if (Flags & BF_RIGHT)
        FillSys(Dc, QRect(R.right(), R.top(), 1, R.height()), Br);
    if (Flags & BF_BOTTOM)
        FillSys(Dc, QRect(R.left(), R.bottom(), R.width(), 1), Br);
}

QRect Shrink(const QRect& R, UINT Flags)
{
    return R.adjusted(Flags & BF_LEFT ? 1 : 0, Flags & BF_TOP ? 1 : 0, Flags & BF_RIGHT ? -1 : 0,
                      Flags & BF_BOTTOM ? -1 : 0);
}

// The pixels of a frame control's glyph, as rectangles kept only where the DC can show them: a
// glyph grows with its control's rectangle, which may be far larger than the surface.
class TGlyphParts {
public:
    explicit TGlyphParts(const TDc* Dc) : Keep(ClipRegion(Dc).boundingRect()) {}
    const QRect Keep;

    // Columns X0..X1 by rows Y0..Y1, inclusive.
    void Add(qint64 X0, qint64 Y0, qint64 X1, qint64 Y1)
    {
        X0 = std::max<qint64>(X0, Keep.left());
        X1 = std::min<qint64>(X1, Keep.right());
        Y0 = std::max<qint64>(Y0, Keep.top());
        Y1 = std::min<qint64>(Y1, Keep.bottom());
        if (X0 <= X1 && Y0 <= Y1)
            Parts.emplace_back(QPoint(int(X0), int(Y0)), QPoint(int(X1), int(Y1)));
    }
    void Point(qint64 X, qint64 Y) { Add(X, Y, X, Y); }
    // The first and last of the indices I in [0, Count) whose row (or column) Base + Step * I
    // can show; Step is 1 or -1.
    std::pair<qint64, qint64> Rows(qint64 Base, int Step, qint64 Count) const
    {
        return Within(Base, Step, Count, Keep.top(), Keep.bottom());
    }
    std::pair<qint64, qint64> Columns(qint64 Base, int Step, qint64 Count) const
    {
        return Within(Base, Step, Count, Keep.left(), Keep.right());
    }
    void Fill(TDc* Dc, QRgb C) const
    {
        C = Dc->Mono() ? Mono(C) : C;
        if (QImage* Image = Dc->Surface(); Image && TDirectSurface::Suits(*Image)) {
            TDirectSurface Surface(*Image, ClipRegion(Dc)); // the clip worked out once for all parts
            for (const QRect& R : Parts)
                Surface.Fill(R, C);
            return;
        }
        for (const QRect& R : Parts)
            FillSurfaceRect(Dc, R, SolidSampler(C), R2_COPYPEN);
    }

private:
    static std::pair<qint64, qint64> Within(qint64 Base, int Step, qint64 Count, qint64 Lo, qint64 Hi)
    {
        const qint64 A = Step > 0 ? Lo - Base : Base - Hi, B = Step > 0 ? Hi - Base : Base - Lo;
        return {std::max<qint64>(A, 0), std::min(B, Count - 1)};
    }
    std::vector<QRect> Parts;
};

// A 7x7 check mark whose top-left is (X, Y).
void CheckMark(TGlyphParts& G, int X, int Y)
{
    for (int I = 0; I < 7; ++I) {
        const int Top = I <= 2 ? 2 + I : 4 - (I - 2);
        G.Add(X + I, Y + Top, X + I, Y + Top + 2);
    }
}

// A solid triangle pointing Dir (0 up, 1 down, 2 left, 3 right) centred in R: row I of it is
// 2 * I + 1 pixels wide.
void Arrow(TGlyphParts& G, const QRect& R, int Dir)
{
    const int S = std::max(2, std::min(R.width(), R.height()) / 4 + 1); // rows of the triangle
    const QPoint C = R.center();
    const bool Vertical = Dir <= 1;
    // Where row 0 lies, and which way the rows go.
    const qint64 Base = Vertical ? C.y() + (Dir == 0 ? -S / 2 : S / 2) : C.x() + (Dir == 2 ? -S / 2 : S / 2);
    const int Step = Dir == 0 || Dir == 2 ? 1 : -1;
    const qint64 Across = Vertical ? C.x() : C.y();
    const auto [First, Last] = Vertical ? G.Rows(Base, Step, S) : G.Columns(Base, Step, S);
    for (qint64 I = First; I <= Last; ++I) {
        const qint64 At = Base + Step * I;
        if (Vertical)
            G.Add(Across - I, At, Across + I, At);
        else
            G.Add(At, Across - I, At, Across + I);
    }
}

void ButtonFrame(TDc* Dc, QRect& R, UINT State)
{
    const bool Down = State & (DFCS_PUSHED | DFCS_CHECKED);
    RECT Rc{R.left() - Dc->Origin.x(), R.top() - Dc->Origin.y(), R.left() + R.width() - Dc->Origin.x(),
            R.top() + R.height() - Dc->Origin.y()};
    // DrawEdge works in logical units; frame controls are drawn in MM_TEXT pixels.
    const HDC H = DcHandle(Dc);
    const int Saved = SaveDC(H);
    SetMapMode(H, MM_TEXT);
    SetViewportOrgEx(H, 0, 0, nullptr);
    SetWindowOrgEx(H, 0, 0, nullptr);
    if (State & DFCS_FLAT)
        DrawEdge(H, &Rc, Down ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT | BF_FLAT | BF_MIDDLE | BF_ADJUST);
    else if (State & DFCS_MONO)
        DrawEdge(H, &Rc, BDR_RAISEDOUTER, BF_RECT | BF_MONO | BF_MIDDLE | BF_ADJUST);
    else
        DrawEdge(H, &Rc, Down ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST);
    RestoreDC(H, Saved);
    R = QRect(Rc.left + Dc->Origin.x(), Rc.top + Dc->Origin.y(), Rc.right - Rc.left, Rc.bottom - Rc.top);
    if (Down)
        R.translate(1, 1);
}

} // namespace
} // namespace gdi

using namespace gdi;

// ---------------------------------------------------------------------------------------------
// Lines

BOOL MoveToEx(HDC DC, int X, int Y, POINT* Old)
{
    TDc* Dc = DcOf(DC);
    if (!Dc)
        return FALSE;
    if (Old)
        *Old = Dc->St.Pos;
    Dc->St.Pos = POINT{X, Y};
    return TRUE;
}

BOOL GetCurrentPositionEx(HDC DC, POINT* Pos)
{
    TDc* Dc = DcOf(DC);
    if (!Dc || !Pos)
        return FALSE;
    *Pos = Dc->St.Pos;
    return TRUE;
}

BOOL LineTo(HDC DC, int X, int Y)
{
    TDc* Dc = DcOf(DC);
    if (!Dc)
        return FALSE;
    PolylineSurface(Dc, {ToSurfaceExact(Dc, Dc->St.Pos.x, Dc->St.Pos.y), ToSurfaceExact(Dc, X, Y)}, false);
    Dc->St.Pos = POINT{X, Y};
    return TRUE;
}

BOOL Polyline(HDC DC, const POINT* Points, int Count)
{
    TDc* Dc = DcOf(DC);
    if (!Dc || !Points || Count < 2)
        return FALSE;
    PolylineSurface(Dc, ToSurfacePoints(Dc, Points, Count), false);
    return TRUE;
}

BOOL PolylineTo(HDC DC, const POINT* Points, int Count)
{
    TDc* Dc = DcOf(DC);
    if (!Dc || !Points || Count < 1)
        return FALSE;
    std::vector<TExactPoint> Pts{ToSurfaceExact(Dc, Dc->St.Pos.x, Dc->St.Pos.y)};
    for (const TExactPoint& P : ToSurfacePoints(Dc, Points, Count))
        Pts.push_back(P);
    PolylineSurface(Dc, Pts, false);
    Dc->St.Pos = Points[Count - 1];
    return TRUE;
}

BOOL PolyPolyline(HDC DC, const POINT* Points, const DWORD* Counts, DWORD Polylines)
{
    if (!Points || !Counts)
        return FALSE;
    for (DWORD I = 0; I < Polylines; ++I) {
        if (!Polyline(DC, Points, int(Counts[I])))
            return FALSE;
        Points += Counts[I];
    }
    return TRUE;
}

BOOL PolyBezier(HDC DC, const POINT* Points, DWORD Count)
{
    TDc* Dc = DcOf(DC);
    if (!Dc || !Points || Count < 4 || (Count - 1) % 3)
        return FALSE;
    QPainterPath Path;
    const QPointF H(0.5, 0.5);
    Path.moveTo(SurfaceF(Dc, Points[0].x, Points[0].y) + H);
    for (DWORD I = 1; I + 2 < Count; I += 3)
        Path.cubicTo(SurfaceF(Dc, Points[I].x, Points[I].y) + H,
                     SurfaceF(Dc, Points[I + 1].x, Points[I + 1].y) + H,
                     SurfaceF(Dc, Points[I + 2].x, Points[I + 2].y) + H);
    StrokePath(Dc, Path, PenInfo(Dc));
    return TRUE;
}

BOOL PolyBezierTo(HDC DC, const POINT* Points, DWORD Count)
{
    TDc* Dc = DcOf(DC);
    if (!Dc || !Points || Count < 3 || Count % 3)
        return FALSE;
    std::vector<POINT> All{Dc->St.Pos};
    All.insert(All.end(), Points, Points + Count);
    const BOOL Ok = PolyBezier(DC, All.data(), DWORD(All.size()));
    Dc->St.Pos = Points[Count - 1];
    return Ok;
}

// ---------------------------------------------------------------------------------------------
// Shapes

BOOL Polygon(HDC DC, const POINT* Points, int Count)
{
    return PolyPolygon(DC, Points, &Count, 1);
}

BOOL PolyPolygon(HDC DC, const POINT* Points, const int* Counts, int Polygons)
{
    TDc* Dc = DcOf(DC);
    if (!Dc || !Points || !Counts || Polygons < 1)
        return FALSE;
    QPainterPath Fill;
    Fill.setFillRule(Dc->St.PolyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    const POINT* P = Points;
    std::vector<std::vector<TExactPoint>> Outlines;
    for (int I = 0; I < Polygons; ++I) {
        if (Counts[I] < 2)
            return FALSE;
        const std::vector<TExactPoint> Pts = ToSurfacePoints(Dc, P, Counts[I]);
        P += Counts[I];
        QPolygonF Poly;
        for (const TExactPoint& Q : Pts)
            Poly << QPointF(double(Q.X), double(Q.Y));
        Fill.addPolygon(Poly);
        Fill.closeSubpath();
        Outlines.push_back(Pts);
    }
    const TBrushSampler Brush = MakeSampler(Dc, Dc->St.Brush);
    if (Brush.Mode != TBrushSampler::None && Dc->Surface()) {
        TMask M = MakeMask(MaskBox(Dc, Fill.boundingRect(), 1), [&](QPainter& Pa) {
            Pa.setPen(Qt::NoPen);
            Pa.setBrush(Qt::white);
            Pa.drawPath(Fill);
        });
        // The outline's pixels belong to the pen.
        const TPenInfo Pen = PenInfo(Dc);
        if (!Pen.Null && !M.Empty && Dc->St.Rop2 != R2_COPYPEN) {
            TMask Outline = MakeMask(MaskBox(Dc, Fill.boundingRect(), 1 + Pen.Width), [&](QPainter& Pa) {
                Pa.setPen(QtPen(Pen));
                for (const auto& O : Outlines) {
                    QPolygonF Poly;
                    for (const TExactPoint& Q : O)
                        Poly << PixelCentre(Q);
                    Pa.drawPolygon(Poly);
                }
            });
            Subtract(M, Outline);
        }
        if (!M.Empty)
            FillMask(Dc, M.Image, M.Pos, Brush, Dc->St.Rop2);
    } else if (Brush.Mode != TBrushSampler::None && Dc->Painter) {
        TPaintScope Pa(Dc);
        Pa->fillPath(Fill, QColor::fromRgb(Brush.Color));
    }
    for (const auto& O : Outlines)
        PolylineSurface(Dc, O, true);
    return TRUE;
}

BOOL Rectangle(HDC DC, int Left, int Top, int Right, int Bottom)
{
    TDc* Dc = DcOf(DC);
    if (!Dc)
        return FALSE;
    const QRect R = RectToSurface(Dc, Left, Top, Right, Bottom);
    if (R.width() < 1 || R.height() < 1)
        return TRUE;
    const TPenInfo Pen = PenInfo(Dc);
    const TBrushSampler Brush = MakeSampler(Dc, Dc->St.Brush);
    const int Rop2 = Dc->St.Rop2;
    if (Pen.Null) {
        FillSurfaceRect(Dc, R.adjusted(0, 0, -1, -1), Brush, Rop2);
        return TRUE;
    }
    if (!Pen.Dash.empty()) {
        FillSurfaceRect(Dc, R.adjusted(1, 1, -1, -1), Brush, Rop2);
        // The corners unsaturated: the pen style at the visible pixels depends on the distance
        // walked from the first corner.
        const QRectF E = RectToSurfaceF(Dc, Left, Top, Right, Bottom);
        const qint64 L = qint64(E.left()), T = qint64(E.top()), Rr = qint64(E.right()) - 1,
                     B = qint64(E.bottom()) - 1;
        PolylineSurface(Dc, {{L, T}, {Rr, T}, {Rr, B}, {L, B}}, true);
        return TRUE;
    }
    const int W = Pen.Width;
    QRect Outer = R;
    if (!(Pen.InsideFrame && W > 1))
        Outer = R.adjusted(-(W - 1) / 2, -(W - 1) / 2, W / 2, W / 2);
    const QRect Inner = Outer.adjusted(W, W, -W, -W);
    if (Inner.width() > 0 && Inner.height() > 0)
        FillSurfaceRect(Dc, Inner, Brush, Rop2);
    const QRegion Frame = QRegion(Outer) - QRegion(Inner.width() > 0 && Inner.height() > 0 ? Inner : QRect());
    FillSurfaceRegion(Dc, Frame, SolidSampler(Pen.Color), Rop2);
    return TRUE;
}

BOOL Ellipse(HDC DC, int Left, int Top, int Right, int Bottom)
{
    TDc* Dc = DcOf(DC);
    if (!Dc)
        return FALSE;
    const QRect R = RectToSurface(Dc, Left, Top, Right, Bottom);
    if (R.width() < 1 || R.height() < 1)
        return TRUE;
    const TPenInfo Pen = PenInfo(Dc);
    QPainterPath Path;
    const QRectF E = RectToSurfaceF(Dc, Left, Top, Right, Bottom);
    Path.addEllipse(ShapeRect(Pen.Null ? E.adjusted(0, 0, -1, -1) : E, Pen));
    DrawShape(Dc, Path, Path, Pen);
    return TRUE;
}

BOOL RoundRect(HDC DC, int Left, int Top, int Right, int Bottom, int Width, int Height)
{
    TDc* Dc = DcOf(DC);
    if (!Dc)
        return FALSE;
    const QRect R = RectToSurface(Dc, Left, Top, Right, Bottom);
    if (R.width() < 1 || R.height() < 1)
        return TRUE;
    const TPenInfo Pen = PenInfo(Dc);
    QPainterPath Path;
    const QRectF E = RectToSurfaceF(Dc, Left, Top, Right, Bottom);
    const qreal Rx = std::min<qreal>(ScaleLengthX(Dc, Width == INT_MIN ? INT_MAX : std::abs(Width)) / 2.0,
                                     E.width() / 2.0);
    const qreal Ry = std::min<qreal>(ScaleLengthY(Dc, Height == INT_MIN ? INT_MAX : std::abs(Height)) / 2.0,
                                     E.height() / 2.0);
    Path.addRoundedRect(ShapeRect(Pen.Null ? E.adjusted(0, 0, -1, -1) : E, Pen), Rx, Ry);
    DrawShape(Dc, Path, Path, Pen);
    return TRUE;
}

BOOL Arc(HDC DC, int Left, int Top, int Right, int Bottom, int XStart, int YStart, int XEnd, int YEnd)
{
    return ArcShape(DC, Left, Top, Right, Bottom, XStart, YStart, XEnd, YEnd, TArcKind::Arc, false);
}
BOOL ArcTo(HDC DC, int Left, int Top, int Right, int Bottom, int XStart, int YStart, int XEnd, int YEnd)
{
    return ArcShape(DC, Left, Top, Right, Bottom, XStart, YStart, XEnd, YEnd, TArcKind::Arc, true);
}
BOOL Pie(HDC DC, int Left, int Top, int Right, int Bottom, int XStart, int YStart, int XEnd, int YEnd)
{
    return ArcShape(DC, Left, Top, Right, Bottom, XStart, YStart, XEnd, YEnd, TArcKind::Pie, false);
}
BOOL Chord(HDC DC, int Left, int Top, int Right, int Bottom, int XStart, int YStart, int XEnd, int YEnd)
{
    return ArcShape(DC, Left, Top, Right, Bottom, XStart, YStart, XEnd, YEnd, TArcKind::Chord, false);
}

BOOL ExtFloodFill(HDC DC, int X, int Y, COLORREF Color, UINT Type)
{
    TDc* Dc = DcOf(DC);
    if (!Dc)
        return FALSE;
    QImage* Image = Dc->Surface();
    if (!Image)
        return FALSE;
    const QRegion Clip = ClipRegion(Dc);
    const QPoint Start = ToSurface(Dc, X, Y);
    if (!Clip.contains(Start))
        return FALSE;
    const QRgb Key = PixelOf(Dc, Color) & 0xFFFFFF;
    auto Fillable = [&](int Px, int Py) {
        const QRgb V = reinterpret_cast<const QRgb*>(Image->constScanLine(Py))[Px] & 0xFFFFFF;
        return Type == FLOODFILLSURFACE ? V == Key : V != Key;
    };
    if (!Fillable(Start.x(), Start.y()))
        return FALSE;
    const QRect B = Clip.boundingRect();
    QImage Mask(B.size(), QImage::Format_RGB32);
    Mask.fill(0xFF000000u);
    std::deque<QPoint> Todo{Start};
    while (!Todo.empty()) {
        const QPoint P = Todo.front();
        Todo.pop_front();
        if (!B.contains(P) || !Clip.contains(P))
            continue;
        QRgb& M = reinterpret_cast<QRgb*>(Mask.scanLine(P.y() - B.top()))[P.x() - B.left()];
        if (M != 0xFF000000u || !Fillable(P.x(), P.y()))
            continue;
        M = 0xFFFFFFFFu;
        Todo.emplace_back(P.x() + 1, P.y());
        Todo.emplace_back(P.x() - 1, P.y());
        Todo.emplace_back(P.x(), P.y() + 1);
        Todo.emplace_back(P.x(), P.y() - 1);
    }
    FillMask(Dc, Mask, B.topLeft(), MakeSampler(Dc, Dc->St.Brush), R2_COPYPEN);
    return TRUE;
}

BOOL FloodFill(HDC DC, int X, int Y, COLORREF Border)
{
    return ExtFloodFill(DC, X, Y, Border, FLOODFILLBORDER);
}

// ---------------------------------------------------------------------------------------------
// Rectangles

int FillRect(HDC DC, const RECT* Rect, HBRUSH Brush)
{
    TDc* Dc = DcOf(DC);
    TBrush* B = BrushFromHandle(Brush);
    if (!Dc || !Rect || !B)
        return FALSE;
    FillSurfaceRect(Dc, RectToSurface(Dc, Rect->left, Rect->top, Rect->right, Rect->bottom),
                    MakeSampler(Dc, B, true), R2_COPYPEN);
    return TRUE;
}

int FrameRect(HDC DC, const RECT* Rect, HBRUSH Brush)
{
    TDc* Dc = DcOf(DC);
    TBrush* B = BrushFromHandle(Brush);
    if (!Dc || !Rect || !B)
        return FALSE;
    const QRect R = RectToSurface(Dc, Rect->left, Rect->top, Rect->right, Rect->bottom);
    if (R.isEmpty())
        return TRUE;
    FillSurfaceRegion(Dc, QRegion(R) - QRegion(R.adjusted(1, 1, -1, -1)), MakeSampler(Dc, B, true),
                      R2_COPYPEN);
    return TRUE;
}

BOOL InvertRect(HDC DC, const RECT* Rect)
{
    if (!Rect)
        return FALSE;
    return PatBlt(DC, Rect->left, Rect->top, Rect->right - Rect->left, Rect->bottom - Rect->top, DSTINVERT);
}

BOOL DrawFocusRect(HDC DC, const RECT* Rect)
{
    TDc* Dc = DcOf(DC);
    if (!Dc || !Rect)
        return FALSE;
    QImage* Image = Dc->Surface();
    if (!Image)
        return Dc->Painter != nullptr;
    const QRect R = RectToSurface(Dc, Rect->left, Rect->top, Rect->right, Rect->bottom);
    if (R.isEmpty())
        return TRUE;
    const QRegion Frame = (QRegion(R) - QRegion(R.adjusted(1, 1, -1, -1))) & ClipRegion(Dc);
    for (const QRect& F : Frame)
        for (int Y = F.top(); Y <= F.bottom(); ++Y) {
            QRgb* D = reinterpret_cast<QRgb*>(Image->scanLine(Y));
            for (int X = F.left(); X <= F.right(); ++X)
                if (((X - Dc->Origin.x() + Y - Dc->Origin.y()) & 1) == 0)
                    D[X] = ~D[X] | 0xFF000000u;
        }
    return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Regions

BOOL FillRgn(HDC DC, HRGN Region, HBRUSH Brush)
{
    TDc* Dc = DcOf(DC);
    TRegion* R = LookupAs<TRegion>(Region, TKind::Region);
    TBrush* B = BrushFromHandle(Brush);
    if (!Dc || !R || !B)
        return FALSE;
    FillSurfaceRegion(Dc, RegionToSurface(Dc, R->Rgn), MakeSampler(Dc, B, true), R2_COPYPEN);
    return TRUE;
}

BOOL FrameRgn(HDC DC, HRGN Region, HBRUSH Brush, int Width, int Height)
{
    TDc* Dc = DcOf(DC);
    TRegion* R = LookupAs<TRegion>(Region, TKind::Region);
    TBrush* B = BrushFromHandle(Brush);
    if (!Dc || !R || !B || Width < 0 || Height < 0)
        return FALSE;
    const QRegion& Rg = R->Rgn;
    QRegion Inner = Rg;
    Inner &= Rg.translated(Width, 0);
    Inner &= Rg.translated(-Width, 0);
    Inner &= Rg.translated(0, Height);
    Inner &= Rg.translated(0, -Height);
    FillSurfaceRegion(Dc, RegionToSurface(Dc, Rg - Inner), MakeSampler(Dc, B, true), R2_COPYPEN);
    return TRUE;
}

BOOL PaintRgn(HDC DC, HRGN Region)
{
    TDc* Dc = DcOf(DC);
    TRegion* R = LookupAs<TRegion>(Region, TKind::Region);
    if (!Dc || !R)
        return FALSE;
    FillSurfaceRegion(Dc, RegionToSurface(Dc, R->Rgn), MakeSampler(Dc, Dc->St.Brush), Dc->St.Rop2);
    return TRUE;
}

BOOL InvertRgn(HDC DC, HRGN Region)
{
    TDc* Dc = DcOf(DC);
    TRegion* R = LookupAs<TRegion>(Region, TKind::Region);
    if (!Dc || !R)
        return FALSE;
    FillSurfaceRegion(Dc, RegionToSurface(Dc, R->Rgn), SolidSampler(0xFF000000u), R2_NOT);
    return TRUE;
}

// ---------------------------------------------------------------------------------------------
// 3-D frames

BOOL DrawEdge(HDC DC, RECT* Rect, UINT Edge, UINT Flags)
{
    TDc* Dc = DcOf(DC);
    if (!Dc || !Rect)
        return FALSE;
    QRect R = RectToSurface(Dc, Rect->left, Rect->top, Rect->right, Rect->bottom);
    const UINT Outer = Edge & BDR_OUTER, Inner = Edge & BDR_INNER;
    int OTl = -1, OBr = -1, ITl = -1, IBr = -1;
    if (Flags & BF_MONO) {
        if (Outer)
            OTl = OBr = COLOR_WINDOWFRAME;
        if (Inner)
            ITl = IBr = COLOR_WINDOW;
    } else if (Flags & BF_FLAT) {
        if (Outer)
            OTl = OBr = COLOR_BTNSHADOW;
        if (Inner)
            ITl = IBr = COLOR_BTNFACE;
    } else {
        const bool Soft = Flags & BF_SOFT;
        if (Outer & BDR_RAISEDOUTER) {
            OTl = Soft ? COLOR_BTNHIGHLIGHT : COLOR_3DLIGHT;
            OBr = COLOR_3DDKSHADOW;
        } else if (Outer & BDR_SUNKENOUTER) {
            OTl = Soft ? COLOR_3DDKSHADOW : COLOR_BTNSHADOW;
            OBr = COLOR_BTNHIGHLIGHT;
        }
        if (Inner & BDR_RAISEDINNER) {
            ITl = Soft ? COLOR_3DLIGHT : COLOR_BTNHIGHLIGHT;
            IBr = COLOR_BTNSHADOW;
        } else if (Inner & BDR_SUNKENINNER) {
            ITl = Soft ? COLOR_BTNSHADOW : COLOR_3DDKSHADOW;
            IBr = COLOR_3DLIGHT;
        }
    }
    if (OTl >= 0) {
        EdgeBand(Dc, R, Flags, OTl, OBr);
        R = Shrink(R, Flags);
    }
    if (ITl >= 0) {
        EdgeBand(Dc, R, Flags, ITl, IBr);
        R = Shrink(R, Flags);
    }
    if ((Flags & BF_MIDDLE) && R.width() > 0 && R.height() > 0)
        FillSys(Dc, R, (Flags & BF_MONO) ? COLOR_WINDOW : COLOR_BTNFACE);
    if (Flags & BF_ADJUST) {
        const QPoint A = DeviceToLogical(Dc, R.left() - Dc->Origin.x(), R.top() - Dc->Origin.y());
        const QPoint B = DeviceToLogical(Dc, R.left() + std::max(R.width(), 0) - Dc->Origin.x(),
                                         R.top() + std::max(R.height(), 0) - Dc->Origin.y());
        *Rect = RECT{A.x(), A.y(), B.x(), B.y()};
    }
    return TRUE;
}

BOOL DrawFrameControl(HDC DC, RECT* Rect, UINT Type, UINT State)
{
    TDc* Dc = DcOf(DC);
    if (!Dc || !Rect)
        return FALSE;
    QRect R = RectToSurface(Dc, Rect->left, Rect->top, Rect->right, Rect->bottom);
    if (R.isEmpty())
        return TRUE;
    const bool Inactive = State & DFCS_INACTIVE;
    const QRgb Glyph = SysRgb(Inactive ? COLOR_GRAYTEXT : COLOR_BTNTEXT);
    const UINT Kind = State & 0xFF;
    switch (Type) {
    case DFC_BUTTON: {
        if (Kind & DFCS_BUTTONPUSH) {
            ButtonFrame(Dc, R, State);
            break;
        }
        const int S = std::min({13, R.width(), R.height()});
        const QRect Box(R.left(), R.top() + (R.height() - S) / 2, S, S);
        const bool Checked = State & DFCS_CHECKED;
        if (Kind & (DFCS_BUTTONRADIO | DFCS_BUTTONRADIOIMAGE | DFCS_BUTTONRADIOMASK)) {
            const HDC H = DC;
            const int Saved = SaveDC(H);
            SetMapMode(H, MM_TEXT);
            SetViewportOrgEx(H, 0, 0, nullptr);
            SetWindowOrgEx(H, 0, 0, nullptr);
            SetROP2(H, R2_COPYPEN);
            const int L = Box.left() - Dc->Origin.x(), T = Box.top() - Dc->Origin.y();
            auto Disc = [&](int Inset, int Color) {
                SelectObject(H, GetStockObject(NULL_PEN));
                SelectObject(H, GetSysColorBrush(Color));
                Ellipse(H, L + Inset, T + Inset, L + S - Inset + 1, T + S - Inset + 1);
            };
            auto Half = [&](int Inset, int Color) {
                SelectObject(H, GetStockObject(NULL_PEN));
                SelectObject(H, GetSysColorBrush(Color));
                Pie(H, L + Inset, T + Inset, L + S - Inset + 1, T + S - Inset + 1, L + S, T, L, T + S);
            };
            if (Kind & DFCS_BUTTONRADIOMASK) {
                Disc(0, COLOR_WINDOWTEXT);
            } else {
                Disc(0, COLOR_BTNHIGHLIGHT);
                Half(0, COLOR_BTNSHADOW);
                Disc(1, COLOR_3DLIGHT);
                Half(1, COLOR_3DDKSHADOW);
                Disc(2, Inactive || (State & DFCS_PUSHED) ? COLOR_BTNFACE : COLOR_WINDOW);
                if (Checked)
                    Disc(S / 2 - 2, Inactive ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT);
            }
            RestoreDC(H, Saved);
            break;
        }
        // Check box (two or three state).
        FillSys(Dc, QRect(Box.left(), Box.top(), S, 1), COLOR_BTNSHADOW);
        FillSys(Dc, QRect(Box.left(), Box.top(), 1, S), COLOR_BTNSHADOW);
        FillSys(Dc, QRect(Box.left() + S - 1, Box.top(), 1, S), COLOR_BTNHIGHLIGHT);
        FillSys(Dc, QRect(Box.left(), Box.top() + S - 1, S, 1), COLOR_BTNHIGHLIGHT);
        const QRect In = Box.adjusted(1, 1, -1, -1);
        FillSys(Dc, QRect(In.left(), In.top(), In.width(), 1), COLOR_3DDKSHADOW);
        FillSys(Dc, QRect(In.left(), In.top(), 1, In.height()), COLOR_3DDKSHADOW);
        FillSys(Dc, QRect(In.right(), In.top(), 1, In.height()), COLOR_3DLIGHT);
        FillSys(Dc, QRect(In.left(), In.bottom(), In.width(), 1), COLOR_3DLIGHT);
        const bool Gray = (Kind & DFCS_BUTTON3STATE) && Checked;
        FillSys(Dc, In.adjusted(1, 1, -1, -1),
                Inactive || Gray || (State & DFCS_PUSHED) ? COLOR_BTNFACE : COLOR_WINDOW);
        if (Checked) {
            const QRect C = In.adjusted(1, 1, -1, -1);
            TGlyphParts Mark(Dc);
            CheckMark(Mark, C.left() + (C.width() - 7) / 2, C.top() + (C.height() - 7) / 2);
            Mark.Fill(Dc, SysRgb(Gray || Inactive ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT));
        }
        break;
    }
    case DFC_CAPTION: {
        ButtonFrame(Dc, R, State);
        const QRect G = R.adjusted(R.width() / 5, R.height() / 5, -R.width() / 5, -R.height() / 5);
        TGlyphParts Pts(Dc);
        switch (Kind) {
        case DFCS_CAPTIONCLOSE: {
            const auto [First, Last] = Pts.Rows(G.top(), 1, std::min(G.width(), G.height()));
            for (qint64 I = First; I <= Last; ++I) {
                Pts.Add(G.left() + I, G.top() + I, G.left() + I + 1, G.top() + I);
                Pts.Add(G.right() - I - 1, G.top() + I, G.right() - I, G.top() + I);
            }
            break;
        }
        case DFCS_CAPTIONMIN:
            Pts.Add(G.left(), G.bottom() - 1, G.right() - 2, G.bottom());
            break;
        case DFCS_CAPTIONMAX:
        case DFCS_CAPTIONRESTORE: {
            auto Frame = [&](const QRect& F) {
                Pts.Add(F.left(), F.top(), F.right(), F.top() + 1);
                Pts.Add(F.left(), F.bottom(), F.right(), F.bottom());
                Pts.Add(F.left(), F.top(), F.left(), F.bottom());
                Pts.Add(F.right(), F.top(), F.right(), F.bottom());
            };
            if (Kind == DFCS_CAPTIONMAX) {
                Frame(G);
            } else {
                const int D = std::max(2, G.width() / 3);
                Frame(G.adjusted(D, 0, 0, -D));
                Frame(G.adjusted(0, D, -D, 0));
            }
            break;
        }
        default: {
            RECT T{G.left() - Dc->Origin.x(), G.top() - Dc->Origin.y(), G.left() + G.width() - Dc->Origin.x(),
                   G.top() + G.height() - Dc->Origin.y()};
            const int Saved = SaveDC(DC);
            SetMapMode(DC, MM_TEXT);
            SetViewportOrgEx(DC, 0, 0, nullptr);
            SetWindowOrgEx(DC, 0, 0, nullptr);
            SetBkMode(DC, TRANSPARENT);
            SetTextColor(DC, RgbToColorRef(Glyph));
            SelectObject(DC, GetStockObject(DEFAULT_GUI_FONT));
            DrawText(DC, "?", 1, &T, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP);
            RestoreDC(DC, Saved);
        }
        }
        Pts.Fill(Dc, Glyph);
        break;
    }
    case DFC_SCROLL: {
        if (Kind == DFCS_SCROLLSIZEGRIP || Kind == DFCS_SCROLLSIZEGRIPRIGHT) {
            FillSys(Dc, R, COLOR_BTNFACE);
            // Diagonal K (every fourth) has pixel I at column R.right() - K - 1 + I of row
            // R.bottom() - I, for I up to K + 1: walked by the rows and columns that can show.
            TGlyphParts Light(Dc), Dark(Dc);
            const qint64 S = std::min(R.width(), R.height());
            const auto [FirstRow, LastRow] = Light.Rows(R.bottom(), -1, S);
            for (qint64 I = FirstRow; I <= LastRow; ++I) {
                const qint64 Y = R.bottom() - I, Near = R.right() - 1 + I;
                qint64 K = std::max<qint64>({I - 1, 0, Near - (Light.Keep.right() + 1)});
                K = (K + 3) / 4 * 4;
                for (; K + 3 < S && Near - K >= Light.Keep.left() - 1; K += 4) {
                    Light.Point(Near - K - 1, Y);
                    Dark.Add(Near - K, Y, Near - K + 1, Y);
                }
            }
            Light.Fill(Dc, SysRgb(COLOR_BTNHIGHLIGHT));
            Dark.Fill(Dc, SysRgb(COLOR_BTNSHADOW));
            break;
        }
        ButtonFrame(Dc, R, State);
        int Dir = 1;
        if (Kind == DFCS_SCROLLUP)
            Dir = 0;
        if (Kind == DFCS_SCROLLLEFT)
            Dir = 2;
        if (Kind == DFCS_SCROLLRIGHT)
            Dir = 3;
        if (Inactive) {
            TGlyphParts Shadow(Dc);
            Arrow(Shadow, R.translated(1, 1), Dir);
            Shadow.Fill(Dc, SysRgb(COLOR_BTNHIGHLIGHT));
        }
        TGlyphParts Mark(Dc);
        Arrow(Mark, R, Dir);
        Mark.Fill(Dc, Glyph);
        break;
    }
    case DFC_MENU:
    case DFC_POPUPMENU: {
        // Menu glyphs come as black marks on white, ready for use as masks.
        FillSurfaceRect(Dc, R, SolidSampler(0xFFFFFFFFu), R2_COPYPEN);
        TGlyphParts Mark(Dc);
        if (Kind == DFCS_MENUCHECK) {
            CheckMark(Mark, R.left() + (R.width() - 7) / 2, R.top() + (R.height() - 7) / 2);
        } else if (Kind == DFCS_MENUBULLET) {
            const QPoint C = R.center();
            for (int Y = -2; Y <= 2; ++Y)
                for (int X = -2; X <= 2; ++X)
                    if (X * X + Y * Y <= 5)
                        Mark.Point(C.x() + X, C.y() + Y);
        } else {
            Arrow(Mark, R, Kind == DFCS_MENUARROWRIGHT ? 2 : 3);
        }
        Mark.Fill(Dc, 0xFF000000u);
        break;
    }
    default:
        return FALSE;
    }
    if (State & DFCS_ADJUSTRECT) {
        const QPoint A = DeviceToLogical(Dc, R.left() - Dc->Origin.x(), R.top() - Dc->Origin.y());
        const QPoint B =
            DeviceToLogical(Dc, R.left() + R.width() - Dc->Origin.x(), R.top() + R.height() - Dc->Origin.y());
        *Rect = RECT{A.x(), A.y(), B.x(), B.y()};
    }
    return TRUE;
}
