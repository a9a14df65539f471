// Unsmoothed text drawn straight onto an image surface. Each glyph is drawn once by the painter
// into a scratch image, and the pixels it set are kept as horizontal spans relative to the pen
// and the baseline; later text copies those spans in the ink colour. An unsmoothed glyph sets
// its pixels to the ink or leaves them alone, so the result is the painter's to the pixel, without
// starting a painter and asking the font engine for every piece of text (the colouring memo
// draws a few hundred short pieces per paint).
#include "platform/qt/GdiPrivate.h"

#include <QGlyphRun>

#include <cstdint>
#include <mutex>

namespace gdi {

namespace {

struct TGlyphSpan {
    std::int16_t Dy;     // row, from the baseline
    std::int16_t X0, X1; // columns from the pen, X1 exclusive
};

struct TGlyphMask {
    bool Plain = false; // false: the glyph has shades or reaches the scratch border; the painter draws it
    std::vector<TGlyphSpan> Spans;
};

TGlyphMask MakeMask(TFont* F, quint32 Index)
{
    TGlyphMask Mask;
    const TEXTMETRIC& Tm = F->Metric;
    // Room all around for bearings, overhangs and accents beyond the cell.
    const int Margin = std::max(8, int(Tm.tmHeight));
    const int W = std::max(1, int(Tm.tmMaxCharWidth)) + 2 * Margin;
    const int H = std::max(1, int(Tm.tmHeight)) + 2 * Margin;
    if (W > 4000 || H > 4000)
        return Mask;
    QImage Scratch(W, H, QImage::Format_RGB32);
    Scratch.fill(0xFFFFFFFFu);
    const int PenX = Margin, BaseY = Margin + Tm.tmAscent;
    {
        QPainter P(&Scratch);
        P.setRenderHint(QPainter::Antialiasing, false);
        P.setRenderHint(QPainter::SmoothPixmapTransform, false);
        P.setRenderHint(QPainter::TextAntialiasing, false);
        P.setPen(QColor::fromRgb(0xFF000000u));
        P.setFont(F->DrawFont(false));
        QGlyphRun Run;
        Run.setRawFont(F->Raw);
        Run.setGlyphIndexes({Index});
        Run.setPositions({QPointF(PenX, BaseY)});
        P.drawGlyphRun(QPointF(0, 0), Run);
    }
    for (int Y = 0; Y < H; ++Y) {
        const QRgb* Row = reinterpret_cast<const QRgb*>(Scratch.constScanLine(Y));
        int X = 0;
        while (X < W) {
            const QRgb P = Row[X] & 0xFFFFFFu;
            if (P == 0xFFFFFFu) {
                ++X;
                continue;
            }
            if (P != 0 || X == 0 || Y == 0 || Y == H - 1)
                return Mask; // a shade, or a glyph that may go on beyond the scratch
            const int Start = X;
            while (X < W && (Row[X] & 0xFFFFFFu) == 0)
                ++X;
            if (X == W)
                return Mask;
            Mask.Spans.push_back(
                TGlyphSpan{std::int16_t(Y - BaseY), std::int16_t(Start - PenX), std::int16_t(X - PenX)});
        }
    }
    Mask.Plain = true;
    return Mask;
}

} // namespace

struct TGlyphMasks {
    std::mutex Lock;
    std::unordered_map<quint32, TGlyphMask> ByIndex;
    std::vector<const TGlyphMask*> Current; // scratch of one call
};

std::shared_ptr<TGlyphMasks> NewGlyphMasks()
{
    return std::make_shared<TGlyphMasks>();
}

bool TDirectSurface::Suits(const QImage& Image)
{
    return !Image.isNull() &&
           (Image.format() == QImage::Format_RGB32 || Image.format() == QImage::Format_ARGB32_Premultiplied);
}

TDirectSurface::TDirectSurface(QImage& Image, QRegion Clip_)
    : Bits(Image.bits()), Stride(Image.bytesPerLine()), Clip(std::move(Clip_)), Bounds(Clip.boundingRect()),
      OneRect(Clip.rectCount() <= 1)
{
}

void TDirectSurface::Limit(const QRect& R)
{
    Clip &= R;
    Bounds = Clip.boundingRect();
    OneRect = Clip.rectCount() <= 1;
}

void TDirectSurface::FillRow(int Y, int X0, int X1, QRgb Color)
{
    if (Y < Bounds.top() || Y > Bounds.bottom() || X1 <= Bounds.left() || X0 > Bounds.right())
        return;
    QRgb* Row = reinterpret_cast<QRgb*>(Bits + Y * Stride);
    auto Within = [&](const QRect& R) {
        if (Y < R.top() || Y > R.bottom())
            return;
        const int A = std::max(X0, R.left()), B = std::min(X1, R.right() + 1);
        for (int X = A; X < B; ++X)
            Row[X] = Color;
    };
    if (OneRect)
        Within(Bounds);
    else
        for (const QRect& R : Clip)
            Within(R);
}

void TDirectSurface::Fill(const QRect& R, QRgb Color)
{
    const QRect Area = R & Bounds;
    for (int Y = Area.top(); Y <= Area.bottom(); ++Y)
        FillRow(Y, Area.left(), Area.right() + 1, Color);
}

bool DrawGlyphsDirect(TDirectSurface& Surface, TFont* F, const std::vector<char32_t>& Chars,
                      const std::vector<int>& Adv, int Left, int Base, QRgb Ink)
{
    if (!F->Masks || !F->Raw.isValid())
        return false;
    TGlyphMasks& Masks = *F->Masks;
    const std::lock_guard<std::mutex> Hold(Masks.Lock);
    // Every glyph is looked up before a pixel changes, so a refusal leaves the surface as it was.
    Masks.Current.clear();
    for (char32_t C : Chars) {
        const TGlyph& G = F->Glyph(C);
        if (!G.Index) {
            if (C >= 0x20)
                return false; // drawn by the painter's fallback fonts
            Masks.Current.push_back(nullptr);
            continue;
        }
        auto It = Masks.ByIndex.find(G.Index);
        if (It == Masks.ByIndex.end())
            It = Masks.ByIndex.emplace(G.Index, MakeMask(F, G.Index)).first;
        if (!It->second.Plain)
            return false;
        Masks.Current.push_back(&It->second);
    }
    const QRgb Pixel = Ink | 0xFF000000u;
    int Pen = Left;
    for (std::size_t I = 0; I < Chars.size(); ++I) {
        if (const TGlyphMask* M = Masks.Current[I])
            for (const TGlyphSpan& S : M->Spans)
                Surface.FillRow(Base + S.Dy, Pen + S.X0, Pen + S.X1, Pixel);
        Pen += Adv[I];
    }
    return true;
}

} // namespace gdi
