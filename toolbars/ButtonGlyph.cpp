#include "toolbars/ButtonGlyph.h"

#include "components/addons/AdHelpersVcl.h"
#include "platform/graphics/ImageCodecs.h"
#include "platform/graphics/WinGdi.h"

#include <algorithm>
#include <cstdint>

namespace {

int GlyphObjects = 0; // live TButtonGlyph objects
std::unique_ptr<TGlyphCache> Cache;

TGlyphCache* CacheNeeded()
{
    if (!Cache)
        Cache = std::make_unique<TGlyphCache>();
    return Cache.get();
}

// Pixels of TDibImage are 0x00RRGGBB (alpha aside); colours are $00BBGGRR.
std::uint32_t PixelOf(TColor Color)
{
    const COLORREF C = ColorToColorRef(Color);
    return (std::uint32_t(GetRValue(C)) << 16) | (std::uint32_t(GetGValue(C)) << 8) | GetBValue(C);
}

constexpr std::uint32_t Black = 0x000000, White = 0xFFFFFF;

TDibImage BlankDib(int Width, int Height, std::uint32_t Fill)
{
    TDibImage Dib;
    Dib.Width = Width;
    Dib.Height = Height;
    Dib.BitsPerPixel = 24;
    Dib.Pixels.assign(std::size_t(Width) * std::size_t(Height), 0xFF000000u | Fill);
    return Dib;
}

// Width x Height of Strip from column X0 on, RGB only; what lies beyond the strip is Fill.
TDibImage CutColumn(const TDibImage& Strip, int X0, int Width, int Height, std::uint32_t Fill)
{
    TDibImage Dib = BlankDib(Width, Height, Fill);
    for (int Y = 0; Y < Height && Y < Strip.Height; ++Y)
        for (int X = 0; X < Width && X0 + X < Strip.Width; ++X)
            Dib.Pixels[std::size_t(Y) * std::size_t(Width) + std::size_t(X)] =
                0xFF000000u | (Strip.Pixel(X0 + X, Y) & 0xFFFFFF);
    return Dib;
}

void SetDibPixel(TDibImage& Dib, int X, int Y, std::uint32_t P)
{
    Dib.Pixels[std::size_t(Y) * std::size_t(Dib.Width) + std::size_t(X)] = 0xFF000000u | P;
}

// A mask pixel marks transparency when it is light (white in a monochrome mask).
bool MaskClear(std::uint32_t P)
{
    return ((P >> 16) & 0xFF) + ((P >> 8) & 0xFF) + (P & 0xFF) >= 384;
}

std::unique_ptr<TBitmap> BitmapOf(const TDibImage& Dib)
{
    auto B = std::make_unique<TBitmap>();
    B->LoadFromDibImage(Dib);
    return B;
}

int SquaredDistance(std::uint32_t A, std::uint32_t B)
{
    auto D = [&](int Shift) {
        const int V = int((A >> Shift) & 0xFF) - int((B >> Shift) & 0xFF);
        return V * V;
    };
    return D(16) + D(8) + D(0);
}

// A strip's own disabled image is drawn in the standard greys: the parts nearest white are its
// light edge, those nearest dark grey its shadow, and both follow the system colours.
std::uint32_t RecolourDisabledPixel(std::uint32_t P)
{
    static constexpr std::uint32_t Greys[] = {Black, 0x808080, 0xC0C0C0, White};
    std::uint32_t Nearest = Greys[0];
    for (std::uint32_t G : Greys)
        if (SquaredDistance(P, G) < SquaredDistance(P, Nearest))
            Nearest = G;
    if (Nearest == White)
        return PixelOf(clBtnHighlight);
    if (Nearest == 0x808080)
        return PixelOf(clBtnShadow);
    return P;
}

} // namespace

// ---- TGlyphList -------------------------------------------------------------------------------
TGlyphList::TGlyphList(int AWidth, int AHeight) : TImageList(AWidth, AHeight) {}

int TGlyphList::TakeSlot()
{
    auto Free = std::find(FUsed.begin(), FUsed.end(), false);
    return Free == FUsed.end() ? -1 : static_cast<int>(Free - FUsed.begin());
}

int TGlyphList::AddImage(TBitmap* Image, TBitmap* Mask)
{
    int Slot = TakeSlot();
    if (Slot >= 0)
        Replace(Slot, Image, Mask);
    else
        Slot = Add(Image, Mask);
    FUsed.resize(std::max<std::size_t>(FUsed.size(), std::size_t(Count())), false);
    FUsed[std::size_t(Slot)] = true;
    ++FUsedCount;
    return Slot;
}

int TGlyphList::AddImageMasked(TBitmap* Image, TColor MaskColor)
{
    int Slot = TakeSlot();
    if (Slot >= 0)
        ReplaceMasked(Slot, Image, MaskColor);
    else
        Slot = AddMasked(Image, MaskColor);
    FUsed.resize(std::max<std::size_t>(FUsed.size(), std::size_t(Count())), false);
    FUsed[std::size_t(Slot)] = true;
    ++FUsedCount;
    return Slot;
}

void TGlyphList::FreeSlot(int Index)
{
    if (Index < 0 || Index >= static_cast<int>(FUsed.size()) || !FUsed[std::size_t(Index)])
        return;
    FUsed[std::size_t(Index)] = false;
    --FUsedCount;
}

// ---- TGlyphCache ------------------------------------------------------------------------------
TGlyphCache::~TGlyphCache() = default;

TGlyphList* TGlyphCache::AcquireList(int AWidth, int AHeight)
{
    for (const auto& List : FLists)
        if (List->Width() == AWidth && List->Height() == AHeight)
            return List.get();
    FLists.push_back(std::make_unique<TGlyphList>(AWidth, AHeight));
    return FLists.back().get();
}

void TGlyphCache::ReleaseList(TGlyphList* List)
{
    if (!List || List->UsedCount() > 0)
        return;
    std::erase_if(FLists, [List](const std::unique_ptr<TGlyphList>& L) { return L.get() == List; });
}

TGlyphCache* SharedGlyphCache()
{
    return Cache.get();
}

// ---- TButtonGlyph -----------------------------------------------------------------------------
TButtonGlyph::TButtonGlyph() : FGlyph(std::make_unique<TBitmap>()), FGlyphMask(std::make_unique<TBitmap>())
{
    ++GlyphObjects;
    FGlyph->OnChange = [this](TObject* Sender) { GlyphChanged(Sender); };
    FGlyphMask->OnChange = [this](TObject* Sender) { GlyphChanged(Sender); };
}

TButtonGlyph::~TButtonGlyph()
{
    FGlyph->OnChange = nullptr;
    FGlyphMask->OnChange = nullptr;
    ReleaseImages();
    if (--GlyphObjects == 0 && Cache && Cache->IsEmpty())
        Cache.reset();
}

void TButtonGlyph::SetGlyph(TBitmap* Value)
{
    FGlyph->Assign(Value);
}

void TButtonGlyph::SetGlyphMask(TBitmap* Value)
{
    FGlyphMask->Assign(Value);
}

void TButtonGlyph::SetNumGlyphs(TToolbarNumGlyphs Value)
{
    Value = std::clamp(Value, 1, 5);
    if (Value == FNumGlyphs)
        return;
    FNumGlyphs = Value;
    ReleaseImages();
    Changed();
}

void TButtonGlyph::SetOldDisabledStyle(bool Value)
{
    if (Value == FOldDisabledStyle)
        return;
    FOldDisabledStyle = Value;
    ReleaseImages();
    Changed();
}

void TButtonGlyph::GlyphChanged(TObject* Sender)
{
    ReleaseImages();
    if (Sender == FGlyph.get()) {
        FTransparentColor = FGlyph->TransparentColor();
        const int W = FGlyph->Width(), H = FGlyph->Height();
        // A cleared or failed glyph has no height: it says nothing about the count.
        if (H > 0 && W % H == 0) {
            const int Count = W / H;
            FNumGlyphs = Count >= 1 && Count < 6 ? Count : 1;
        }
    }
    Changed();
}

void TButtonGlyph::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TButtonGlyph::ReleaseImages()
{
    for (int L = 0; L < 2; ++L) {
        if (!FLists[L])
            continue;
        for (int& Index : FIndexes[L]) {
            FLists[L]->FreeSlot(Index);
            Index = -1;
        }
        if (Cache)
            Cache->ReleaseList(FLists[L]);
        FLists[L] = nullptr;
    }
}

std::unique_ptr<TBitmap> TButtonGlyph::StripColumn(TBitmap* Strip, int Index) const
{
    const int W = FGlyph->Width() / FNumGlyphs, H = FGlyph->Height();
    return BitmapOf(CutColumn(Strip->ToDibImage(), Index * W, W, H, White));
}

std::unique_ptr<TBitmap> TButtonGlyph::GeneratedDisabledImage()
{
    const int W = FGlyph->Width() / FNumGlyphs, H = FGlyph->Height();
    const TDibImage Glyph = CutColumn(FGlyph->ToDibImage(), 0, W, H, White);
    const bool HasMask = !FGlyphMask->Empty();
    const TDibImage Mask = HasMask ? CutColumn(FGlyphMask->ToDibImage(), 0, W, H, White) : TDibImage();
    const std::uint32_t Key = PixelOf(FTransparentColor);
    // The stencil, black where the shape is, one pixel larger each way for the light edge.
    TDibImage Stencil = BlankDib(W + 1, H + 1, White);
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X) {
            const std::uint32_t P = Glyph.Pixel(X, Y) & 0xFFFFFF;
            const bool Opaque = !HasMask || !MaskClear(Mask.Pixel(X, Y));
            bool Shape;
            if (FOldDisabledStyle)
                Shape = Opaque && P == Black; // the older look embosses only the black lines
            else if (HasMask)
                Shape = Opaque;
            else
                Shape = P != Key && P != White && P != 0xC0C0C0;
            if (Shape)
                SetDibPixel(Stencil, X, Y, Black);
        }
    // The shape in highlight one pixel down and right under the shape in shadow, on the face.
    return std::unique_ptr<TBitmap>(MakeDisabledBitmap(BitmapOf(Stencil).get(), clBlack));
}

std::unique_ptr<TBitmap> TButtonGlyph::RecolouredDisabledImage(std::unique_ptr<TBitmap>& MaskOut)
{
    const int W = FGlyph->Width() / FNumGlyphs, H = FGlyph->Height();
    const TDibImage Glyph = CutColumn(FGlyph->ToDibImage(), W, W, H, White);
    const bool HasMask = !FGlyphMask->Empty();
    const TDibImage Mask = HasMask ? CutColumn(FGlyphMask->ToDibImage(), W, W, H, White) : TDibImage();
    const std::uint32_t Key = PixelOf(FTransparentColor);
    TDibImage Image = BlankDib(W + 1, H + 1, Black);
    TDibImage Clear = BlankDib(W + 1, H + 1, White);
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X) {
            const std::uint32_t P = Glyph.Pixel(X, Y) & 0xFFFFFF;
            if (HasMask ? MaskClear(Mask.Pixel(X, Y)) : P == Key)
                continue;
            SetDibPixel(Image, X, Y, RecolourDisabledPixel(P));
            SetDibPixel(Clear, X, Y, Black);
        }
    MaskOut = BitmapOf(Clear);
    return BitmapOf(Image);
}

TButtonGlyph::TStateImage TButtonGlyph::BuildStateImage(TToolbarButtonState State)
{
    const int W = FGlyph->Width() / FNumGlyphs, H = FGlyph->Height();
    if (W <= 0 || H <= 0)
        return {};
    if (State >= FNumGlyphs && State != tbsDisabled)
        State = tbsUp;
    const int L = State == tbsDisabled ? 1 : 0;
    if (FIndexes[L][State] >= 0)
        return {FLists[L], FIndexes[L][State]};
    if (!FLists[L])
        FLists[L] = CacheNeeded()->AcquireList(W + L, H + L);
    TGlyphList* List = FLists[L];
    int Index;
    if (State != tbsDisabled) {
        auto Image = StripColumn(FGlyph.get(), State);
        if (!FGlyphMask->Empty())
            Index = List->AddImage(Image.get(), StripColumn(FGlyphMask.get(), State).get());
        else
            Index = List->AddImageMasked(Image.get(), FTransparentColor & ~clPaletteRelative);
    } else if (FNumGlyphs == 1) {
        // The generated image lies on the face colour, which is what turns transparent.
        Index = List->AddImageMasked(GeneratedDisabledImage().get(), clBtnFace);
    } else {
        std::unique_ptr<TBitmap> Mask;
        auto Image = RecolouredDisabledImage(Mask);
        Index = List->AddImage(Image.get(), Mask.get());
    }
    FIndexes[L][State] = Index;
    return {List, Index};
}

void TButtonGlyph::DrawStateImage(TCanvas* Canvas, const TPoint& Pos, TToolbarButtonState State)
{
    const TStateImage Image = BuildStateImage(State);
    if (!Image.List)
        return;
    Canvas->RequiredState(csAllValid);
    ImageList_DrawEx(Image.List->Handle(), Image.Index, Canvas->Handle(), Pos.x, Pos.y, 0, 0, CLR_NONE,
                     CLR_NONE, ILD_TRANSPARENT);
}

void TButtonGlyph::DrawCaptionText(TCanvas* Canvas, const std::string& Caption, TRect TextBounds,
                                   TToolbarButtonState State, bool WordWrap)
{
    const UINT Flags = DT_CENTER | DT_VCENTER | (WordWrap ? DT_WORDBREAK : DT_SINGLELINE);
    DrawButtonText(Canvas, Caption, TextBounds, Flags, State == tbsDisabled, clBtnHighlight, clBtnShadow);
}

void TButtonGlyph::DrawDropArrow(TCanvas* Canvas, int X, int Y, TToolbarButtonState State)
{
    auto Triangle = [Canvas](int X0, int Y0, TColor Color) {
        Canvas->Pen()->SetColor(Color);
        Canvas->Brush()->SetColor(Color);
        Canvas->Brush()->SetStyle(bsSolid);
        Canvas->Polygon({Point(X0 + 4, Y0), Point(X0 + 8, Y0), Point(X0 + 6, Y0 + 2)});
    };
    if (State == tbsDisabled) {
        Triangle(X + 1, Y + 1, clBtnHighlight);
        Triangle(X, Y, clBtnShadow);
    } else {
        Triangle(X, Y, Canvas->Font()->Color());
    }
}

TButtonGlyph::TContentLayout TButtonGlyph::ComputeLayout(TCanvas* Canvas, const TRect& Client,
                                                         const TPoint& Offset, const std::string& Caption,
                                                         TButtonLayout Layout, int Margin, int Spacing,
                                                         bool DropArrow, bool WordWrap, bool DrawText,
                                                         bool DrawGlyph)
{
    const int CW = Client.right - Client.left, CH = Client.bottom - Client.top;
    TSize G{0, 0};
    if (DrawGlyph && !FGlyph->Empty())
        G = TSize{FGlyph->Width() / FNumGlyphs, FGlyph->Height()};
    const bool HasGlyph = G.cx > 0 && G.cy > 0;
    if (!HasGlyph)
        G = TSize{0, 0};
    const TSize A = DropArrow ? TSize{9, 3} : TSize{0, 0};
    if (!HasGlyph && (Layout == blGlyphTop || Layout == blGlyphBottom))
        Layout = blGlyphLeft;
    const bool Horizontal = Layout == blGlyphLeft || Layout == blGlyphRight;

    TSize T{0, 0};
    if (DrawText && !Caption.empty()) {
        TRect M = Rect(0, 0, CW - (Horizontal ? A.cx : 0), 0);
        UINT Flags = DT_CALCRECT;
        if (WordWrap) {
            Flags |= DT_WORDBREAK;
            if (Horizontal && HasGlyph)
                M.right -= G.cx + (Spacing == -1 ? 4 : Spacing);
            M.right -= 2 * (Margin != -1 ? Margin : Spacing != -1 ? Spacing : 4);
        }
        M.right = std::max<int>(M.right, 0);
        Canvas->RequiredState(csAllValid);
        ::DrawText(Canvas->Handle(), Caption.c_str(), static_cast<int>(Caption.size()), &M, Flags);
        T = TSize{M.right - M.left, M.bottom - M.top};
    }

    TPoint GP{0, 0}, TP{0, 0}, AP{0, 0};
    if (Horizontal) {
        GP.y = (CH - G.cy + 1) / 2;
        TP.y = (CH - T.cy + 1) / 2;
    } else {
        GP.x = (CW - G.cx - A.cx + 1) / 2;
        TP.x = (CW - T.cx + 1) / 2;
    }
    if (!HasGlyph || T.cx == 0 || T.cy == 0)
        Spacing = 0;
    const int C = Horizontal ? CW : CH;
    const int GL = Horizontal ? G.cx : G.cy;
    const int TL = Horizontal ? T.cx : T.cy;
    const int AL = Horizontal ? A.cx : 0;
    if (Margin == -1 && Spacing == -1) {
        Margin = (C - GL - TL - AL) / 3;
        Spacing = Margin;
    } else if (Margin == -1) {
        Margin = (C - (GL + Spacing + TL + AL) + 1) / 2;
    } else if (Spacing == -1) {
        Spacing = (C - Margin - GL - AL - TL) / 2;
    }

    switch (Layout) {
    case blGlyphLeft:
        GP.x = Margin;
        TP.x = Margin + G.cx + Spacing;
        AP.x = TP.x + T.cx;
        break;
    case blGlyphRight:
        AP.x = CW - Margin - A.cx;
        GP.x = AP.x - G.cx;
        TP.x = GP.x - Spacing - T.cx;
        break;
    case blGlyphTop:
        GP.y = Margin;
        TP.y = GP.y + G.cy + Spacing;
        AP.x = GP.x + G.cx;
        break;
    case blGlyphBottom:
        GP.y = CH - Margin - G.cy;
        TP.y = GP.y - Spacing - T.cy;
        AP.x = GP.x + G.cx;
        break;
    }
    AP.y = HasGlyph ? GP.y + (G.cy - A.cy + 1) / 2 : TP.y + (T.cy - A.cy + 1) / 2;

    const int DX = Client.left + Offset.x, DY = Client.top + Offset.y;
    TContentLayout Result;
    Result.GlyphPos = Point(GP.x + DX, GP.y + DY);
    Result.GlyphSize = G;
    Result.TextBounds = Rect(TP.x + DX, TP.y + DY, TP.x + DX + T.cx, TP.y + DY + T.cy);
    Result.ArrowPos = Point(AP.x + DX, AP.y + DY);
    return Result;
}

void TButtonGlyph::DrawContent(TCanvas* Canvas, const TRect& Client, const TPoint& Offset,
                               const std::string& Caption, TButtonLayout Layout, int Margin, int Spacing,
                               TToolbarButtonState State, bool DropArrow, bool WordWrap, bool DrawText,
                               bool DrawGlyph)
{
    const TContentLayout L = ComputeLayout(Canvas, Client, Offset, Caption, Layout, Margin, Spacing,
                                           DropArrow, WordWrap, DrawText, DrawGlyph);
    if (L.GlyphSize.cx > 0)
        DrawStateImage(Canvas, L.GlyphPos, State);
    if (DrawText && !Caption.empty())
        DrawCaptionText(Canvas, Caption, L.TextBounds, State, WordWrap);
    if (DropArrow)
        DrawDropArrow(Canvas, L.ArrowPos.x, L.ArrowPos.y, State);
}
