// Raster operations on surfaces: brush sampling, fills through binary raster operations, and
// BitBlt/StretchBlt/PatBlt/MaskBlt/TransparentBlt evaluating any ternary raster operation from its
// truth table, with the platform's colour/monochrome conversion rules.
#include "platform/qt/GdiPrivate.h"

#include <algorithm>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace gdi {

namespace {

// 8x8 hatch patterns, one byte per row, bit 7 = leftmost pixel.
const int HatchRows[6][8] = {
    {0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00}, // HS_HORIZONTAL
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08}, // HS_VERTICAL
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01}, // HS_FDIAGONAL
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80}, // HS_BDIAGONAL
    {0x08, 0x08, 0x08, 0xFF, 0x08, 0x08, 0x08, 0x08}, // HS_CROSS
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81}, // HS_DIAGCROSS
};

inline int Mod(int A, int B)
{
    const int R = A % B;
    return R < 0 ? R + B : R;
}

// Copies a row of pixels between rows that do not overlap. Surfaces are page-aligned, so a source
// row and a destination row often sit at the same offset in their pages; the C library's
// string-move copy then runs at a tenth of memory speed on some processors, plain vector moves
// do not.
inline void CopyPixels(QRgb* D, const QRgb* S, int N)
{
#if defined(__SSE2__)
    int I = 0;
    for (; I + 8 <= N; I += 8) {
        const __m128i A = _mm_loadu_si128(reinterpret_cast<const __m128i*>(S + I));
        const __m128i B = _mm_loadu_si128(reinterpret_cast<const __m128i*>(S + I + 4));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(D + I), A);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(D + I + 4), B);
    }
    for (; I < N; ++I)
        D[I] = S[I];
#else
    std::memcpy(D, S, std::size_t(N) * 4);
#endif
}

// Evaluates an 8-bit ternary truth table on whole words: a tree of bit selects over D, S, then P
// (table index = P<<2 | S<<1 | D), branch-free so the row loops vectorise.
struct TRop3 {
    QRgb M[8];
    explicit TRop3(unsigned Table)
    {
        for (int I = 0; I < 8; ++I)
            M[I] = (Table >> I) & 1 ? 0xFFFFFFFFu : 0u;
    }
    inline QRgb operator()(QRgb P, QRgb S, QRgb D) const
    {
        const QRgb X0 = (D & M[1]) | (~D & M[0]);
        const QRgb X1 = (D & M[3]) | (~D & M[2]);
        const QRgb X2 = (D & M[5]) | (~D & M[4]);
        const QRgb X3 = (D & M[7]) | (~D & M[6]);
        const QRgb Y0 = (S & X1) | (~S & X0);
        const QRgb Y1 = (S & X3) | (~S & X2);
        return ((P & Y1) | (~P & Y0)) | 0xFF000000u;
    }
};

bool UsesSource(unsigned T)
{
    return ((T >> 2) ^ T) & 0x33;
}
bool UsesPattern(unsigned T)
{
    return ((T >> 4) ^ T) & 0x0F;
}

// One row of the operation: D = Rop(P, S, D), with the frequent codes spelled out.
void RopRow(unsigned T, const TRop3& Op, QRgb* D, const QRgb* S, const QRgb* P, int N)
{
    constexpr QRgb A = 0xFF000000u;
    switch (T) {
    case 0xCC:
        CopyPixels(D, S, N);
        return;
    case 0x88:
        for (int I = 0; I < N; ++I)
            D[I] &= S[I];
        return;
    case 0xEE:
        for (int I = 0; I < N; ++I)
            D[I] |= S[I];
        return;
    case 0x66:
        for (int I = 0; I < N; ++I)
            D[I] = (D[I] ^ S[I]) | A;
        return;
    case 0x33:
        for (int I = 0; I < N; ++I)
            D[I] = ~S[I] | A;
        return;
    case 0x55:
        for (int I = 0; I < N; ++I)
            D[I] = ~D[I] | A;
        return;
    case 0x22:
        for (int I = 0; I < N; ++I)
            D[I] = (D[I] & ~S[I]) | A;
        return;
    case 0xBB:
        for (int I = 0; I < N; ++I)
            D[I] = ~S[I] | D[I] | A;
        return;
    case 0x44:
        for (int I = 0; I < N; ++I)
            D[I] = (S[I] & ~D[I]) | A;
        return;
    case 0xF0:
        CopyPixels(D, P, N);
        return;
    case 0x5A:
        for (int I = 0; I < N; ++I)
            D[I] = (D[I] ^ P[I]) | A;
        return;
    case 0xC0:
        for (int I = 0; I < N; ++I)
            D[I] = S[I] & P[I];
        return;
    case 0xB8: // PSDPxax: the brush where the source is 0, the destination where it is 1
        for (int I = 0; I < N; ++I)
            D[I] = (((D[I] ^ P[I]) & S[I]) ^ P[I]) | A;
        return;
    case 0xE2: // DSPDxax: the brush where the source is 1, the destination where it is 0
        for (int I = 0; I < N; ++I)
            D[I] = (((P[I] ^ D[I]) & S[I]) ^ D[I]) | A;
        return;
    case 0xAA:
        return;
    case 0x00:
        std::fill(D, D + N, A);
        return;
    case 0xFF:
        std::fill(D, D + N, 0xFFFFFFFFu);
        return;
    default: {
        // A local copy: stores to D cannot alias it, so the masks stay in registers.
        const TRop3 Local = Op;
        for (int I = 0; I < N; ++I)
            D[I] = Local(P[I], S[I], D[I]);
    }
    }
}

struct TSourceInfo {
    const QImage* Image = nullptr;
    bool Mono = false;
    QRgb Bk = 0; // the source DC's background colour as a pixel, for colour -> mono
};

// Converts raw source pixels to the destination's format.
struct TConvert {
    enum { None, ToMono, ToColour } Mode = None;
    QRgb SrcBk = 0, DstText = 0, DstBk = 0;
    inline QRgb operator()(QRgb P) const
    {
        switch (Mode) {
        case ToMono:
            return ((P ^ SrcBk) & 0xFFFFFF) == 0 ? 0xFFFFFFFFu : 0xFF000000u;
        case ToColour:
            return (P & 0xFFFFFF) ? DstBk : DstText;
        default:
            return P;
        }
    }
};

TConvert MakeConvert(const TDc* Dst, const TDc* Src)
{
    TConvert C;
    if (!Src)
        return C;
    const bool SrcMono = Src->Mono();
    const bool DstMono = Dst->Mono();
    if (DstMono && !SrcMono) {
        C.Mode = TConvert::ToMono;
        const COLORREF Bk = ResolveColor(Src, Src->St.BkColor);
        C.SrcBk = qRgb(GetRValue(Bk), GetGValue(Bk), GetBValue(Bk));
    } else if (!DstMono && SrcMono) {
        C.Mode = TConvert::ToColour;
        C.DstText = PixelOf(Dst, Dst->St.TextColor);
        C.DstBk = PixelOf(Dst, Dst->St.BkColor);
    }
    return C;
}

void PatternRow(const TBrushSampler& S, int X, int Y, int N, QRgb* Out)
{
    if (S.Mode == TBrushSampler::Solid || S.Mode == TBrushSampler::None) {
        std::fill(Out, Out + N, S.Mode == TBrushSampler::Solid ? S.Color : 0xFF000000u);
        return;
    }
    for (int I = 0; I < N; ++I) {
        QRgb P = S.Back;
        S.Sample(X + I, Y, P);
        Out[I] = P;
    }
}

// A painter DC cannot read back its pixels: draw what the operation mostly means.
BOOL PainterBlt(TDc* Dst, const QRect& DstRect, const QImage* Src, const QRect& SrcRect, unsigned T,
                const TConvert& Conv)
{
    TPaintScope P(Dst);
    if (!P.Ok())
        return FALSE;
    if (UsesSource(T) && Src) {
        QImage Part = Src->copy(SrcRect);
        if (Conv.Mode != TConvert::None || T == 0x33)
            for (int Y = 0; Y < Part.height(); ++Y) {
                auto* Row = reinterpret_cast<QRgb*>(Part.scanLine(Y));
                for (int X = 0; X < Part.width(); ++X)
                    Row[X] = T == 0x33 ? ~Conv(Row[X]) | 0xFF000000u : Conv(Row[X]);
            }
        P->drawImage(DstRect, Part);
    } else if (T == 0x00 || T == 0xFF) {
        P->fillRect(DstRect, QColor(T ? Qt::white : Qt::black));
    } else if (UsesPattern(T)) {
        const TBrushSampler S = MakeSampler(Dst, Dst->St.Brush, true);
        if (S.Mode == TBrushSampler::Solid)
            P->fillRect(DstRect, QColor::fromRgb(S.Color));
    }
    return TRUE;
}

// The general blit: DstRect and SrcRect in surface pixels (SrcRect may differ in size: then the
// stretch mode applies). MirrorX/MirrorY flip the source.
BOOL Blit(TDc* Dst, QRect DstRect, TDc* Src, QRect SrcRect, bool MirrorX, bool MirrorY, DWORD Rop,
          const QImage* Mask = nullptr, QPoint MaskOrg = QPoint(), DWORD BackRop = 0)
{
    const unsigned T = (Rop >> 16) & 0xFF;
    const unsigned TB = (BackRop >> 16) & 0xFF;
    const bool NeedSrc = UsesSource(T) || (Mask && UsesSource(TB));
    const QImage* SrcImage = nullptr;
    if (NeedSrc) {
        if (!Src)
            return FALSE;
        SrcImage = Src->Surface();
        if (!SrcImage || SrcImage->isNull())
            return FALSE;
    }
    if (DstRect.isEmpty())
        return TRUE;
    const TConvert Conv = MakeConvert(Dst, NeedSrc ? Src : nullptr);
    if (Dst->Painter)
        return PainterBlt(Dst, DstRect, SrcImage, SrcRect, T, Conv);
    QImage* Image = Dst->Surface();
    if (!Image || Image->isNull())
        return Dst->InfoOnly ? TRUE : FALSE;

    const bool Stretch = NeedSrc && (SrcRect.size() != DstRect.size() || MirrorX || MirrorY);
    QRegion Clip = ClipRegion(Dst) & DstRect;
    if (NeedSrc && !Stretch) {
        // Pixels whose source lies outside the source surface stay untouched.
        const QPoint Shift = DstRect.topLeft() - SrcRect.topLeft();
        Clip &= QRect(QPoint(0, 0), SrcImage->size()).translated(Shift);
    }
    if (Clip.isEmpty())
        return TRUE;

    // A blit inside one surface reads from a snapshot, so overlapping moves come out right.
    QImage Snapshot;
    if (NeedSrc && SrcImage == Image) {
        const QRect Valid = SrcRect.intersected(QRect(QPoint(0, 0), SrcImage->size()));
        if (Valid.isEmpty())
            return TRUE;
        Snapshot = SrcImage->copy(Valid);
        SrcRect.translate(-Valid.topLeft()); // the snapshot's (0,0) is Valid's corner
        SrcImage = &Snapshot;
        if (!Stretch)
            Clip &= Snapshot.rect().translated(DstRect.topLeft() - SrcRect.topLeft());
        if (Clip.isEmpty())
            return TRUE;
    }

    const TBrushSampler Pat = (UsesPattern(T) || (Mask && UsesPattern(TB)))
                                  ? MakeSampler(Dst, Dst->St.Brush, true)
                                  : TBrushSampler();
    const TRop3 Op(T), OpB(TB);
    const int StretchMode = Dst->St.StretchMode;
    const bool Fast = !Stretch && !Mask && Conv.Mode == TConvert::None && T == 0xCC;

    std::vector<QRgb> SrcRow, PatRow, BackRow;
    std::vector<int> XMap0, XMap1; // source columns of the destination columns the clip lets through
    const QRect ClipBounds = Clip.boundingRect();
    const int MapBase = ClipBounds.left() - DstRect.left();
    if (Stretch) {
        const int Dw = DstRect.width(), Sw = SrcRect.width();
        XMap0.resize(std::size_t(ClipBounds.width()));
        XMap1.resize(std::size_t(ClipBounds.width()));
        for (int I = MapBase; I < MapBase + ClipBounds.width(); ++I) {
            int A = int((std::int64_t(I) * Sw) / Dw), B = int((std::int64_t(I + 1) * Sw) / Dw);
            if (B <= A)
                B = A + 1;
            if (StretchMode == COLORONCOLOR || Sw <= Dw) {
                A = int(((std::int64_t(I) * 2 + 1) * Sw) / (2 * std::int64_t(Dw)));
                B = A + 1;
            }
            if (MirrorX) {
                const int A2 = Sw - B, B2 = Sw - A;
                A = A2;
                B = B2;
            }
            XMap0[std::size_t(I - MapBase)] = std::clamp(SrcRect.left() + A, 0, SrcImage->width() - 1);
            XMap1[std::size_t(I - MapBase)] = std::clamp(SrcRect.left() + B, 1, SrcImage->width());
        }
    }

    // A solid brush gives every row the same pattern row.
    const bool PatternPerRow = Pat.Mode != TBrushSampler::None && Pat.Mode != TBrushSampler::Solid;
    for (const QRect& R : Clip) {
        const int N = R.width();
        SrcRow.resize(std::size_t(N));
        PatRow.resize(std::size_t(N));
        if (Pat.Mode == TBrushSampler::Solid)
            PatternRow(Pat, R.left(), R.top(), N, PatRow.data());
        if (Mask)
            BackRow.resize(std::size_t(N));
        for (int Y = R.top(); Y <= R.bottom(); ++Y) {
            const QRgb* Src = SrcRow.data();
            QRgb* D = reinterpret_cast<QRgb*>(Image->scanLine(Y)) + R.left();
            if (Fast) {
                const int Sy = Y - DstRect.top() + SrcRect.top();
                const int Sx = R.left() - DstRect.left() + SrcRect.left();
                const QRgb* S = reinterpret_cast<const QRgb*>(SrcImage->constScanLine(Sy)) + Sx;
                CopyPixels(D, S, N); // a blit inside one surface reads a snapshot
                continue;
            }
            if (NeedSrc) {
                if (!Stretch) {
                    const int Sy = Y - DstRect.top() + SrcRect.top();
                    const int Sx = R.left() - DstRect.left() + SrcRect.left();
                    const QRgb* S = reinterpret_cast<const QRgb*>(SrcImage->constScanLine(Sy)) + Sx;
                    if (Conv.Mode == TConvert::None)
                        Src = S; // never the destination row: a blit inside one surface reads a snapshot
                    else if (Conv.Mode == TConvert::ToColour)
                        for (int I = 0; I < N; ++I)
                            SrcRow[std::size_t(I)] = (S[I] & 0xFFFFFF) ? Conv.DstBk : Conv.DstText;
                    else
                        for (int I = 0; I < N; ++I)
                            SrcRow[std::size_t(I)] = Conv(S[I]);
                } else {
                    const int Dh = DstRect.height(), Sh = SrcRect.height();
                    const int J = Y - DstRect.top();
                    int A = int((std::int64_t(J) * Sh) / Dh), B = int((std::int64_t(J + 1) * Sh) / Dh);
                    if (B <= A)
                        B = A + 1;
                    if (StretchMode == COLORONCOLOR || Sh <= Dh) {
                        A = int(((std::int64_t(J) * 2 + 1) * Sh) / (2 * std::int64_t(Dh)));
                        B = A + 1;
                    }
                    if (MirrorY) {
                        const int A2 = Sh - B, B2 = Sh - A;
                        A = A2;
                        B = B2;
                    }
                    const int Y0 = std::clamp(SrcRect.top() + A, 0, SrcImage->height() - 1);
                    const int Y1 = std::clamp(SrcRect.top() + B, Y0 + 1, SrcImage->height());
                    for (int I = 0; I < N; ++I) {
                        const std::size_t K = std::size_t(R.left() + I - ClipBounds.left());
                        const int X0 = XMap0[K], X1 = std::max(XMap1[K], X0 + 1);
                        QRgb V;
                        if (X1 - X0 == 1 && Y1 - Y0 == 1) {
                            V = reinterpret_cast<const QRgb*>(SrcImage->constScanLine(Y0))[X0];
                        } else if (StretchMode == HALFTONE) {
                            unsigned Rs = 0, Gs = 0, Bs = 0, Cnt = 0;
                            for (int Yy = Y0; Yy < Y1; ++Yy) {
                                const QRgb* Row = reinterpret_cast<const QRgb*>(SrcImage->constScanLine(Yy));
                                for (int Xx = X0; Xx < X1; ++Xx, ++Cnt) {
                                    Rs += qRed(Row[Xx]);
                                    Gs += qGreen(Row[Xx]);
                                    Bs += qBlue(Row[Xx]);
                                }
                            }
                            V = qRgb(int(Rs / Cnt), int(Gs / Cnt), int(Bs / Cnt));
                        } else {
                            // BLACKONWHITE keeps black (AND), WHITEONBLACK keeps white (OR).
                            const bool And = StretchMode == BLACKONWHITE;
                            V = And ? 0xFFFFFFFFu : 0xFF000000u;
                            for (int Yy = Y0; Yy < Y1; ++Yy) {
                                const QRgb* Row = reinterpret_cast<const QRgb*>(SrcImage->constScanLine(Yy));
                                for (int Xx = X0; Xx < X1; ++Xx)
                                    V = And ? (V & Row[Xx]) : (V | Row[Xx]);
                            }
                        }
                        SrcRow[std::size_t(I)] = Conv(V);
                    }
                }
            }
            if (PatternPerRow)
                PatternRow(Pat, R.left(), Y, N, PatRow.data());
            if (!Mask) {
                RopRow(T, Op, D, Src, PatRow.data(), N);
                continue;
            }
            CopyPixels(BackRow.data(), D, N);
            RopRow(TB, OpB, BackRow.data(), Src, PatRow.data(), N);
            RopRow(T, Op, D, Src, PatRow.data(), N);
            const int My = Y - DstRect.top() + MaskOrg.y();
            for (int I = 0; I < N; ++I) {
                const int Mx = R.left() + I - DstRect.left() + MaskOrg.x();
                bool Fore = true;
                if (My >= 0 && My < Mask->height() && Mx >= 0 && Mx < Mask->width())
                    Fore = (reinterpret_cast<const QRgb*>(Mask->constScanLine(My))[Mx] & 0xFFFFFF) != 0;
                if (!Fore)
                    D[I] = BackRow[std::size_t(I)];
            }
        }
    }
    // Averaging is the one way to make grey out of black and white.
    if (Dst->Mono() && Stretch && StretchMode == HALFTONE)
        SnapMono(Dst, DstRect);
    return TRUE;
}

QRect LogicalToSurface(const TDc* Dc, int X, int Y, int W, int H)
{
    return RectToSurface(Dc, X, Y, qint64(X) + W, qint64(Y) + H);
}

// Pixel loops (a canvas's Pixels) call this for every pixel: skip building the clip region when
// there is none.
bool PointVisible(const TDc* Dc, const QImage& Image, QPoint P)
{
    if (!Dc->SystemClip && !Dc->St.Clip)
        return P.x() >= 0 && P.y() >= 0 && P.x() < Image.width() && P.y() < Image.height();
    return ClipRegion(Dc).contains(P);
}

} // namespace

bool TBrushSampler::Sample(int X, int Y, QRgb& Out) const
{
    switch (Mode) {
    case Solid:
        Out = Color;
        return true;
    case Hatch: {
        const int Px = Mod(X - OrgX, 8), Py = Mod(Y - OrgY, 8);
        if (HatchBits[Py] & (0x80 >> Px)) {
            Out = Color;
            return true;
        }
        if (TransparentBack)
            return false;
        Out = Back;
        return true;
    }
    case Pattern: {
        const QImage& Img = Converted.isNull() ? *Image : Converted;
        const int Px = Mod(X - OrgX, Img.width()), Py = Mod(Y - OrgY, Img.height());
        Out = reinterpret_cast<const QRgb*>(Img.constScanLine(Py))[Px] | 0xFF000000u;
        return true;
    }
    default:
        return false;
    }
}

TBrushSampler MakeSampler(const TDc* Dc, const TBrush* Brush, bool ForBlt)
{
    TBrushSampler S;
    if (!Brush || Brush->Style == BS_NULL)
        return S;
    S.OrgX = Dc->Origin.x() + Dc->St.BrushOrg.x;
    S.OrgY = Dc->Origin.y() + Dc->St.BrushOrg.y;
    if (Brush->DcBrush) {
        S.Mode = TBrushSampler::Solid;
        S.Color = PixelOf(Dc, Dc->St.DcBrushColor);
        return S;
    }
    switch (Brush->Style) {
    case BS_HATCHED:
        S.Mode = TBrushSampler::Hatch;
        S.Color = PixelOf(Dc, Brush->Color);
        S.Back = PixelOf(Dc, Dc->St.BkColor);
        S.TransparentBack = !ForBlt && Dc->St.BkMode == TRANSPARENT;
        std::copy(std::begin(HatchRows[Brush->Hatch]), std::end(HatchRows[Brush->Hatch]), S.HatchBits);
        return S;
    case BS_PATTERN:
    case BS_DIBPATTERN:
    case BS_DIBPATTERNPT:
        if (Brush->Pattern.isNull())
            return S;
        S.Mode = TBrushSampler::Pattern;
        S.Image = &Brush->Pattern;
        if (Brush->PatternMono || Dc->Mono()) {
            S.Converted = Brush->Pattern.copy();
            const QRgb Text = PixelOf(Dc, Dc->St.TextColor), Back = PixelOf(Dc, Dc->St.BkColor);
            for (int Y = 0; Y < S.Converted.height(); ++Y) {
                auto* Row = reinterpret_cast<QRgb*>(S.Converted.scanLine(Y));
                for (int X = 0; X < S.Converted.width(); ++X)
                    Row[X] = Brush->PatternMono ? ((Row[X] & 0xFFFFFF) ? Back : Text) : Mono(Row[X]);
            }
        }
        return S;
    default:
        S.Mode = TBrushSampler::Solid;
        S.Color = PixelOf(Dc, Brush->Color);
        return S;
    }
}

void FillSurfaceRegion(TDc* Dc, const QRegion& Rgn, const TBrushSampler& Sampler, int Rop2)
{
    if (Sampler.Mode == TBrushSampler::None || Rop2 == R2_NOP)
        return;
    if (Dc->Painter) {
        TPaintScope P(Dc);
        if (!P.Ok())
            return;
        P->setClipRegion(Rgn & ClipRegion(Dc));
        const QRect B = Rgn.boundingRect();
        if (Sampler.Mode == TBrushSampler::Pattern) {
            QBrush Br(Sampler.Converted.isNull() ? *Sampler.Image : Sampler.Converted);
            Br.setTransform(QTransform::fromTranslate(Sampler.OrgX, Sampler.OrgY));
            P->fillRect(B, Br);
        } else {
            QRgb C = Sampler.Color;
            if (Rop2 == R2_BLACK)
                C = 0xFF000000u;
            if (Rop2 == R2_WHITE)
                C = 0xFFFFFFFFu;
            P->fillRect(B, QColor::fromRgb(C));
        }
        return;
    }
    QImage* Image = Dc->Surface();
    if (!Image)
        return;
    const QRegion Area = Rgn & ClipRegion(Dc);
    for (const QRect& R : Area) {
        for (int Y = R.top(); Y <= R.bottom(); ++Y) {
            QRgb* D = reinterpret_cast<QRgb*>(Image->scanLine(Y));
            if (Sampler.Mode == TBrushSampler::Solid && Rop2 == R2_COPYPEN) {
                std::fill(D + R.left(), D + R.left() + R.width(), Sampler.Color);
                continue;
            }
            if (Rop2 == R2_NOT) {
                for (int X = R.left(); X <= R.right(); ++X)
                    D[X] = ~D[X] | 0xFF000000u;
                continue;
            }
            for (int X = R.left(); X <= R.right(); ++X) {
                QRgb P;
                if (Sampler.Sample(X, Y, P))
                    D[X] = Rop2Apply(Rop2, P, D[X]);
            }
        }
    }
}

void FillSurfaceRect(TDc* Dc, const QRect& R, const TBrushSampler& Sampler, int Rop2)
{
    if (R.isEmpty())
        return;
    FillSurfaceRegion(Dc, QRegion(R), Sampler, Rop2);
}

void FillMask(TDc* Dc, const QImage& Mask, QPoint Pos, const TBrushSampler& Sampler, int Rop2)
{
    if (Sampler.Mode == TBrushSampler::None || Rop2 == R2_NOP)
        return;
    QImage* Image = Dc->Surface();
    if (!Image)
        return;
    const QRegion Area = ClipRegion(Dc) & QRect(Pos, Mask.size());
    for (const QRect& R : Area) {
        for (int Y = R.top(); Y <= R.bottom(); ++Y) {
            QRgb* D = reinterpret_cast<QRgb*>(Image->scanLine(Y));
            const QRgb* M = reinterpret_cast<const QRgb*>(Mask.constScanLine(Y - Pos.y()));
            for (int X = R.left(); X <= R.right(); ++X) {
                if (!(M[X - Pos.x()] & 0xFFFFFF))
                    continue;
                QRgb P;
                if (Sampler.Sample(X, Y, P))
                    D[X] = Rop2Apply(Rop2, P, D[X]);
            }
        }
    }
}

void SnapMono(TDc* Dc, const QRect& R)
{
    QImage* Image = Dc->Surface();
    if (!Image || !Dc->Mono())
        return;
    const QRect A = R.intersected(QRect(QPoint(0, 0), Image->size()));
    for (int Y = A.top(); Y <= A.bottom(); ++Y) {
        QRgb* D = reinterpret_cast<QRgb*>(Image->scanLine(Y));
        for (int X = A.left(); X <= A.right(); ++X)
            D[X] = Mono(D[X]);
    }
}

TPaintScope::TPaintScope(TDc* D) : Dc(D)
{
    if (Dc->Painter) {
        P = Dc->Painter;
        P->save();
        P->setClipRegion(ClipRegion(Dc));
    } else if (Dc->Target && !Dc->Target->isNull()) {
        Own.emplace(Dc->Target);
        P = &*Own;
        const QRegion Clip = ClipRegion(Dc);
        if (Clip != QRegion(QRect(QPoint(0, 0), Dc->Target->size())))
            P->setClipRegion(Clip);
    }
    if (P) {
        P->setRenderHint(QPainter::Antialiasing, false);
        P->setRenderHint(QPainter::SmoothPixmapTransform, false);
    }
}

TPaintScope::~TPaintScope()
{
    if (Dc->Painter && P)
        P->restore();
}

} // namespace gdi

using namespace gdi;

BOOL BitBlt(HDC DC, int X, int Y, int Width, int Height, HDC SrcDC, int XSrc, int YSrc, DWORD Rop)
{
    TDc* Dst = DcOf(DC);
    if (!Dst)
        return FALSE;
    TDc* Src = SrcDC ? DcOf(SrcDC) : nullptr;
    if (SrcDC && !Src)
        return FALSE;
    const QRect D = LogicalToSurface(Dst, X, Y, Width, Height);
    QRect S = D;
    if (Src) {
        S = LogicalToSurface(Src, XSrc, YSrc, Width, Height);
        if (S.size() != D.size() && IsIdentityScale(Src) && IsIdentityScale(Dst))
            S.setSize(D.size());
    }
    return Blit(Dst, D, Src, S, false, false, Rop);
}

BOOL StretchBlt(HDC DC, int X, int Y, int Width, int Height, HDC SrcDC, int XSrc, int YSrc, int SrcWidth,
                int SrcHeight, DWORD Rop)
{
    TDc* Dst = DcOf(DC);
    if (!Dst)
        return FALSE;
    TDc* Src = SrcDC ? DcOf(SrcDC) : nullptr;
    if (SrcDC && !Src)
        return FALSE;
    const QRect D = LogicalToSurface(Dst, X, Y, Width, Height);
    const QRect S = Src ? LogicalToSurface(Src, XSrc, YSrc, SrcWidth, SrcHeight) : D;
    const bool MirrorX = (Width < 0) != (SrcWidth < 0);
    const bool MirrorY = (Height < 0) != (SrcHeight < 0);
    if (Src && S.isEmpty())
        return TRUE;
    return Blit(Dst, D, Src, S, MirrorX, MirrorY, Rop);
}

BOOL PatBlt(HDC DC, int X, int Y, int Width, int Height, DWORD Rop)
{
    TDc* Dst = DcOf(DC);
    if (!Dst)
        return FALSE;
    const unsigned T = (Rop >> 16) & 0xFF;
    if (UsesSource(T))
        return FALSE;
    const QRect D = LogicalToSurface(Dst, X, Y, Width, Height);
    return Blit(Dst, D, nullptr, D, false, false, Rop);
}

BOOL MaskBlt(HDC DC, int X, int Y, int Width, int Height, HDC SrcDC, int XSrc, int YSrc, HBITMAP Mask,
             int XMask, int YMask, DWORD Rop)
{
    TDc* Dst = DcOf(DC);
    if (!Dst)
        return FALSE;
    TDc* Src = SrcDC ? DcOf(SrcDC) : nullptr;
    const DWORD Fore = Rop & 0x00FFFFFFu;
    if (!Mask)
        return BitBlt(DC, X, Y, Width, Height, SrcDC, XSrc, YSrc, Fore);
    TBitmap* M = LookupAs<TBitmap>(Mask, TKind::Bitmap);
    if (!M || !M->Mono)
        return FALSE;
    const DWORD Back = (Rop >> 8) & 0x00FF0000u;
    const QRect D = LogicalToSurface(Dst, X, Y, Width, Height);
    QRect S = Src ? LogicalToSurface(Src, XSrc, YSrc, Width, Height) : D;
    S.setSize(D.size());
    return Blit(Dst, D, Src, S, false, false, Fore, &M->Image, QPoint(XMask, YMask), Back);
}

BOOL TransparentBlt(HDC DC, int X, int Y, int Width, int Height, HDC SrcDC, int XSrc, int YSrc, int SrcWidth,
                    int SrcHeight, UINT Transparent)
{
    TDc* Dst = DcOf(DC);
    TDc* Src = DcOf(SrcDC);
    if (!Dst || !Src || Width <= 0 || Height <= 0 || SrcWidth <= 0 || SrcHeight <= 0)
        return FALSE;
    const QImage* SrcImage = Src->Surface();
    QImage* Image = Dst->Surface();
    if (!SrcImage || !Image)
        return FALSE;
    const QRect D = LogicalToSurface(Dst, X, Y, Width, Height);
    const QRect S = LogicalToSurface(Src, XSrc, YSrc, SrcWidth, SrcHeight);
    if (D.isEmpty() || S.isEmpty())
        return TRUE;
    const TConvert Conv = MakeConvert(Dst, Src);
    const COLORREF Tc = ResolveColor(Src, Transparent);
    const QRgb Key = Src->Mono() ? Mono(qRgb(GetRValue(Tc), GetGValue(Tc), GetBValue(Tc)))
                                 : qRgb(GetRValue(Tc), GetGValue(Tc), GetBValue(Tc));
    const QRegion Area = ClipRegion(Dst) & D;
    for (const QRect& R : Area)
        for (int Yd = R.top(); Yd <= R.bottom(); ++Yd) {
            const int Sy =
                S.top() + int(((std::int64_t(Yd - D.top()) * 2 + 1) * S.height()) / (2 * D.height()));
            if (Sy < 0 || Sy >= SrcImage->height())
                continue;
            const QRgb* Row = reinterpret_cast<const QRgb*>(SrcImage->constScanLine(Sy));
            QRgb* Out = reinterpret_cast<QRgb*>(Image->scanLine(Yd));
            for (int Xd = R.left(); Xd <= R.right(); ++Xd) {
                const int Sx =
                    S.left() + int(((std::int64_t(Xd - D.left()) * 2 + 1) * S.width()) / (2 * D.width()));
                if (Sx < 0 || Sx >= SrcImage->width())
                    continue;
                const QRgb P = Row[Sx];
                if (((P ^ Key) & 0xFFFFFF) == 0)
                    continue;
                Out[Xd] = Conv(P);
            }
        }
    return TRUE;
}

COLORREF SetPixel(HDC DC, int X, int Y, COLORREF Color)
{
    TDc* Dc = DcOf(DC);
    if (!Dc)
        return CLR_INVALID;
    const QPoint P = ToSurface(Dc, X, Y);
    const QRgb V = PixelOf(Dc, Color);
    if (Dc->Painter) {
        TPaintScope Ps(Dc);
        Ps->fillRect(QRect(P, QSize(1, 1)), QColor::fromRgb(V));
        return RgbToColorRef(V);
    }
    QImage* Image = Dc->Surface();
    if (!Image || !PointVisible(Dc, *Image, P))
        return CLR_INVALID;
    reinterpret_cast<QRgb*>(Image->scanLine(P.y()))[P.x()] = V;
    return RgbToColorRef(V);
}

BOOL SetPixelV(HDC DC, int X, int Y, COLORREF Color)
{
    return SetPixel(DC, X, Y, Color) != CLR_INVALID;
}

COLORREF GetPixel(HDC DC, int X, int Y)
{
    TDc* Dc = DcOf(DC);
    if (!Dc)
        return CLR_INVALID;
    QImage* Image = Dc->Surface();
    const QPoint P = ToSurface(Dc, X, Y);
    if (!Image || !PointVisible(Dc, *Image, P))
        return CLR_INVALID;
    return RgbToColorRef(reinterpret_cast<const QRgb*>(Image->constScanLine(P.y()))[P.x()]);
}
