// Image lists. Each image keeps its pixels (black where transparent) and its mask as plain data;
// the GDI bitmaps that draw them are made on first draw and dropped when the image changes.
#include "platform/graphics/ImgList.h"
#include "platform/graphics/GraphicsPrivate.h"

#include <algorithm>
#include <set>

using namespace gfx;

namespace {

std::set<const TImageList*>& LiveLists()
{
    // Never destroyed: a list held in a static object may go after the last static destructor.
    static auto* Lists = new std::set<const TImageList*>;
    return *Lists;
}

// COLORREF $00BBGGRR to a pixel's $RRGGBB.
std::uint32_t PixelOfColorRef(COLORREF C)
{
    return (std::uint32_t(GetRValue(C)) << 16) | (std::uint32_t(GetGValue(C)) << 8) | GetBValue(C);
}

std::uint32_t Mix(std::uint32_t P, std::uint32_t With, int Percent)
{
    auto Channel = [&](int Shift) {
        const int A = int((P >> Shift) & 0xFF), B = int((With >> Shift) & 0xFF);
        return std::uint32_t((A * (100 - Percent) + B * Percent + 50) / 100) << Shift;
    };
    return 0xFF000000u | Channel(16) | Channel(8) | Channel(0);
}

} // namespace

struct TImageList::TEntry {
    int Width = 0, Height = 0;
    std::vector<std::uint32_t> Pixels; // 0xFFRRGGBB, black where transparent
    std::vector<std::uint8_t> Mask;    // 1 = transparent; empty = opaque
    HBITMAP ImageHandle = nullptr;
    HBITMAP MaskHandle = nullptr;

    TEntry() = default;
    TEntry(const TEntry& O) : Width(O.Width), Height(O.Height), Pixels(O.Pixels), Mask(O.Mask) {}
    TEntry& operator=(const TEntry&) = delete;
    ~TEntry() { DropHandles(); }

    bool Transparent(std::size_t I) const { return !Mask.empty() && Mask[I]; }
    void DropHandles()
    {
        if (ImageHandle)
            DeleteObject(ImageHandle);
        if (MaskHandle)
            DeleteObject(MaskHandle);
        ImageHandle = MaskHandle = nullptr;
    }
    HBITMAP Image()
    {
        if (!ImageHandle) {
            ImageHandle = CreateBitmap(Width, Height, 1, 32, nullptr);
            WritePixels(ImageHandle, Width, Height, Pixels);
        }
        return ImageHandle;
    }
    HBITMAP MaskBitmap()
    {
        if (!MaskHandle) {
            std::vector<std::uint8_t> Bits = Mask;
            Bits.resize(Pixels.size(), 0);
            MaskHandle = CreateMonoBitmap(Width, Height, Bits);
        }
        return MaskHandle;
    }
};

// ---------------------------------------------------------------------------------------------

TChangeLink::~TChangeLink()
{
    if (FSender)
        FSender->UnRegisterChanges(this);
}

TImageList::TImageList(TComponent* AOwner) : TComponent(AOwner)
{
    LiveLists().insert(this);
}

TImageList::TImageList(int AWidth, int AHeight, TComponent* AOwner) : TImageList(AOwner)
{
    FWidth = std::max(AWidth, 1);
    FHeight = std::max(AHeight, 1);
}

TImageList::~TImageList()
{
    LiveLists().erase(this);
    for (TChangeLink* Link : FLinks)
        Link->FSender = nullptr;
}

TImageList* TImageList::FromHandle(HIMAGELIST Handle)
{
    auto* List = reinterpret_cast<TImageList*>(Handle);
    return LiveLists().count(List) ? List : nullptr;
}

void TImageList::RegisterChanges(TChangeLink* Value)
{
    if (!Value || std::find(FLinks.begin(), FLinks.end(), Value) != FLinks.end())
        return;
    if (Value->FSender)
        Value->FSender->UnRegisterChanges(Value);
    Value->FSender = this;
    FLinks.push_back(Value);
}

void TImageList::UnRegisterChanges(TChangeLink* Value)
{
    auto It = std::find(FLinks.begin(), FLinks.end(), Value);
    if (It == FLinks.end())
        return;
    (*It)->FSender = nullptr;
    FLinks.erase(It);
}

void TImageList::Change()
{
    // A link may unregister itself from its handler: walk a copy.
    const std::vector<TChangeLink*> Links = FLinks;
    for (TChangeLink* Link : Links)
        if (std::find(FLinks.begin(), FLinks.end(), Link) != FLinks.end() && Link->OnChange)
            Link->OnChange(this);
    if (OnChange)
        OnChange(this);
}

void TImageList::Assign(TPersistent* Source)
{
    if (auto* Src = dynamic_cast<TImageList*>(Source)) {
        if (Src == this)
            return;
        FWidth = Src->FWidth;
        FHeight = Src->FHeight;
        FMasked = Src->FMasked;
        FBkColor = Src->FBkColor;
        FBlendColor = Src->FBlendColor;
        FDrawingStyle = Src->FDrawingStyle;
        FImageType = Src->FImageType;
        AllocBy = Src->AllocBy;
        FImages.clear();
        for (const auto& Entry : Src->FImages)
            FImages.push_back(std::make_unique<TEntry>(*Entry));
        Change();
        return;
    }
    TComponent::Assign(Source);
}

void TImageList::SetWidth(int Value)
{
    Value = std::max(Value, 1);
    if (Value == FWidth)
        return;
    FWidth = Value;
    FImages.clear();
    Change();
}

void TImageList::SetHeight(int Value)
{
    Value = std::max(Value, 1);
    if (Value == FHeight)
        return;
    FHeight = Value;
    FImages.clear();
    Change();
}

void TImageList::SetMasked(bool Value)
{
    if (Value == FMasked)
        return;
    FMasked = Value;
    Change();
}

void TImageList::SetBkColor(TColor Value)
{
    if (Value == FBkColor)
        return;
    FBkColor = Value;
    Change();
}

void TImageList::SetBlendColor(TColor Value)
{
    if (Value == FBlendColor)
        return;
    FBlendColor = Value;
    Change();
}

void TImageList::SetDrawingStyle(TDrawingStyle Value)
{
    if (Value == FDrawingStyle)
        return;
    FDrawingStyle = Value;
    Change();
}

void TImageList::SetImageType(TImageType Value)
{
    if (Value == FImageType)
        return;
    FImageType = Value;
    Change();
}

void TImageList::CheckSize(TBitmap* Image) const
{
    if (!Image || Image->Width() < FWidth || Image->Height() < FHeight)
        throw EInvalidOperation("Invalid image size");
}

namespace {

// Cuts a row of images out of Image; Transparent(x, y) says which source pixels are see-through.
template <class F>
std::vector<std::vector<std::uint32_t>> Columns(const TDibImage& Dib, int Width, int Height, F&& Transparent,
                                                std::vector<std::vector<std::uint8_t>>& Masks)
{
    std::vector<std::vector<std::uint32_t>> Result;
    const int Count = Dib.Width / Width;
    for (int C = 0; C < Count; ++C) {
        std::vector<std::uint32_t> Pixels(std::size_t(Width) * std::size_t(Height));
        std::vector<std::uint8_t> Mask(Pixels.size(), 0);
        bool AnyTransparent = false;
        for (int Y = 0; Y < Height; ++Y)
            for (int X = 0; X < Width; ++X) {
                const int SX = C * Width + X;
                const std::size_t I = std::size_t(Y) * std::size_t(Width) + std::size_t(X);
                const std::uint32_t P = Dib.Pixels[std::size_t(Y) * std::size_t(Dib.Width) + std::size_t(SX)];
                if (Transparent(SX, Y, P)) {
                    Mask[I] = 1;
                    Pixels[I] = 0xFF000000u;
                    AnyTransparent = true;
                } else
                    Pixels[I] = P | 0xFF000000u;
            }
        if (!AnyTransparent)
            Mask.clear();
        Result.push_back(std::move(Pixels));
        Masks.push_back(std::move(Mask));
    }
    return Result;
}

} // namespace

std::vector<std::unique_ptr<TImageList::TEntry>> TImageList::Split(TBitmap* Image, TBitmap* Mask)
{
    CheckSize(Image);
    const TDibImage Dib = Image->ToDibImage();
    TDibImage MaskDib;
    if (Mask && FMasked && !Mask->Empty())
        MaskDib = Mask->ToDibImage();
    std::vector<std::vector<std::uint8_t>> Masks;
    auto Pixels = Columns(
        Dib, FWidth, FHeight,
        [&](int X, int Y, std::uint32_t) {
            if (X >= MaskDib.Width || Y >= MaskDib.Height)
                return false;
            const std::uint32_t M = MaskDib.Pixel(X, Y);
            return ((M >> 16) & 0xFF) + ((M >> 8) & 0xFF) + (M & 0xFF) >= 384;
        },
        Masks);
    std::vector<std::unique_ptr<TEntry>> Result;
    for (std::size_t I = 0; I < Pixels.size(); ++I) {
        auto Entry = std::make_unique<TEntry>();
        Entry->Width = FWidth;
        Entry->Height = FHeight;
        Entry->Pixels = std::move(Pixels[I]);
        Entry->Mask = std::move(Masks[I]);
        Result.push_back(std::move(Entry));
    }
    return Result;
}

std::vector<std::unique_ptr<TImageList::TEntry>> TImageList::SplitMasked(TBitmap* Image, TColor MaskColor)
{
    CheckSize(Image);
    if (MaskColor == clDefault)
        MaskColor = Image->TransparentColor();
    const std::uint32_t Key = PixelOfColorRef(ColorToColorRef(MaskColor));
    const bool UseKey = FMasked && MaskColor != clNone;
    const TDibImage Dib = Image->ToDibImage();
    std::vector<std::vector<std::uint8_t>> Masks;
    auto Pixels = Columns(
        Dib, FWidth, FHeight, [&](int, int, std::uint32_t P) { return UseKey && (P & 0xFFFFFF) == Key; },
        Masks);
    std::vector<std::unique_ptr<TEntry>> Result;
    for (std::size_t I = 0; I < Pixels.size(); ++I) {
        auto Entry = std::make_unique<TEntry>();
        Entry->Width = FWidth;
        Entry->Height = FHeight;
        Entry->Pixels = std::move(Pixels[I]);
        Entry->Mask = std::move(Masks[I]);
        Result.push_back(std::move(Entry));
    }
    return Result;
}

int TImageList::Add(TBitmap* Image, TBitmap* Mask)
{
    auto Entries = Split(Image, Mask);
    const int First = Count();
    for (auto& E : Entries)
        FImages.push_back(std::move(E));
    Change();
    return Entries.empty() ? -1 : First;
}

int TImageList::AddMasked(TBitmap* Image, TColor MaskColor)
{
    auto Entries = SplitMasked(Image, MaskColor);
    const int First = Count();
    for (auto& E : Entries)
        FImages.push_back(std::move(E));
    Change();
    return Entries.empty() ? -1 : First;
}

int TImageList::AddIcon(TIcon* Image)
{
    if (!Image || Image->Empty())
        throw EInvalidOperation("Invalid image size");
    // The icon is scaled to the list's size, nearest pixel.
    const TIconImage& Icon = Image->Image();
    const TDibImage& Dib = Icon.Image;
    auto Entry = std::make_unique<TEntry>();
    Entry->Width = FWidth;
    Entry->Height = FHeight;
    Entry->Pixels.resize(std::size_t(FWidth) * std::size_t(FHeight));
    std::vector<std::uint8_t> Mask(Entry->Pixels.size(), 0);
    bool Any = false;
    for (int Y = 0; Y < FHeight; ++Y)
        for (int X = 0; X < FWidth; ++X) {
            const std::size_t S = std::size_t(Y * Dib.Height / FHeight) * std::size_t(Dib.Width) +
                                  std::size_t(X * Dib.Width / FWidth);
            const std::size_t D = std::size_t(Y) * std::size_t(FWidth) + std::size_t(X);
            const std::uint32_t P = Dib.Pixels[S];
            const bool Clear = (S < Icon.Mask.size() && Icon.Mask[S]) || (P >> 24) < 0x80;
            if (Clear && FMasked) {
                Mask[D] = 1;
                Entry->Pixels[D] = 0xFF000000u;
                Any = true;
            } else
                Entry->Pixels[D] = P | 0xFF000000u;
        }
    if (Any)
        Entry->Mask = std::move(Mask);
    FImages.push_back(std::move(Entry));
    Change();
    return Count() - 1;
}

void TImageList::Insert(int Index, TBitmap* Image, TBitmap* Mask)
{
    if (Index < 0 || Index > Count())
        throw EInvalidOperation("Unable to insert image");
    auto Entries = Split(Image, Mask);
    FImages.insert(FImages.begin() + Index, std::make_move_iterator(Entries.begin()),
                   std::make_move_iterator(Entries.end()));
    Change();
}

void TImageList::InsertMasked(int Index, TBitmap* Image, TColor MaskColor)
{
    if (Index < 0 || Index > Count())
        throw EInvalidOperation("Unable to insert image");
    auto Entries = SplitMasked(Image, MaskColor);
    FImages.insert(FImages.begin() + Index, std::make_move_iterator(Entries.begin()),
                   std::make_move_iterator(Entries.end()));
    Change();
}

void TImageList::Replace(int Index, TBitmap* Image, TBitmap* Mask)
{
    CheckSize(Image);
    if (Index < 0 || Index >= Count())
        throw EInvalidOperation("Unable to Replace Image");
    auto Entries = Split(Image, Mask);
    FImages[std::size_t(Index)] = std::move(Entries.front());
    Change();
}

void TImageList::ReplaceMasked(int Index, TBitmap* NewImage, TColor MaskColor)
{
    CheckSize(NewImage);
    if (Index < 0 || Index >= Count())
        throw EInvalidOperation("Unable to Replace Image");
    auto Entries = SplitMasked(NewImage, MaskColor);
    FImages[std::size_t(Index)] = std::move(Entries.front());
    Change();
}

void TImageList::Delete(int Index)
{
    if (Index == -1) {
        Clear();
        return;
    }
    if (Index < 0 || Index >= Count())
        throw EInvalidOperation("Invalid ImageList Index");
    FImages.erase(FImages.begin() + Index);
    Change();
}

void TImageList::Clear()
{
    FImages.clear();
    Change();
}

void TImageList::Move(int CurIndex, int NewIndex)
{
    if (CurIndex < 0 || CurIndex >= Count() || NewIndex < 0 || NewIndex >= Count())
        throw EInvalidOperation("Invalid ImageList Index");
    if (CurIndex == NewIndex)
        return;
    auto Entry = std::move(FImages[std::size_t(CurIndex)]);
    FImages.erase(FImages.begin() + CurIndex);
    FImages.insert(FImages.begin() + NewIndex, std::move(Entry));
    Change();
}

bool TImageList::DrawToDC(int Index, HDC DC, int X, int Y, int DX, int DY, COLORREF Bk, COLORREF Fg,
                          UINT Style)
{
    if (!DC || Index < 0 || Index >= Count())
        return false;
    TEntry& E = *FImages[std::size_t(Index)];
    const int W = DX > 0 ? std::min(DX, E.Width) : E.Width;
    const int H = DY > 0 ? std::min(DY, E.Height) : E.Height;
    const COLORREF OldText = ::SetTextColor(DC, RGB(0, 0, 0));
    const COLORREF OldBack = ::SetBkColor(DC, RGB(255, 255, 255));
    if (Style & ILD_MASK) {
        TMemoryDC MaskDC(E.MaskBitmap());
        BitBlt(DC, X, Y, W, H, MaskDC.DC, 0, 0, SRCCOPY);
    } else {
        if (Bk == CLR_DEFAULT)
            Bk = FBkColor == clNone ? CLR_NONE : ColorToColorRef(FBkColor);
        const bool HasMask = FMasked && !E.Mask.empty();
        // Blending mixes the colour into the visible pixels only.
        const int Blend = (Style & ILD_BLEND50) ? 50 : (Style & ILD_BLEND25) ? 25 : 0;
        HBITMAP Temp = nullptr;
        HBITMAP Image = E.Image();
        if (Blend) {
            if (Fg == CLR_DEFAULT || Fg == CLR_NONE)
                Fg = ColorToColorRef(FBlendColor == clNone ? clHighlight : FBlendColor);
            const std::uint32_t With = PixelOfColorRef(Fg);
            std::vector<std::uint32_t> Pixels = E.Pixels;
            for (std::size_t I = 0; I < Pixels.size(); ++I)
                if (!E.Transparent(I))
                    Pixels[I] = Mix(Pixels[I], With, Blend);
            Temp = CreateBitmap(E.Width, E.Height, 1, 32, nullptr);
            WritePixels(Temp, E.Width, E.Height, Pixels);
            Image = Temp;
        }
        TMemoryDC ImageDC(Image);
        if (!HasMask)
            BitBlt(DC, X, Y, W, H, ImageDC.DC, 0, 0, SRCCOPY);
        else {
            if (!(Style & ILD_TRANSPARENT) && Bk != CLR_NONE) {
                HBRUSH Brush = CreateSolidBrush(Bk);
                RECT R{X, Y, X + W, Y + H};
                FillRect(DC, &R, Brush);
                DeleteObject(Brush);
            }
            // The destination survives where the mask is white; the image (black there) is ORed in.
            TMemoryDC MaskDC(E.MaskBitmap());
            BitBlt(DC, X, Y, W, H, MaskDC.DC, 0, 0, SRCAND);
            BitBlt(DC, X, Y, W, H, ImageDC.DC, 0, 0, SRCPAINT);
        }
        if (Temp) {
            SelectObject(ImageDC.DC, ImageDC.Old);
            ImageDC.Old = nullptr;
            DeleteObject(Temp);
        }
    }
    ::SetTextColor(DC, OldText);
    ::SetBkColor(DC, OldBack);
    return true;
}

void TImageList::DrawDisabled(HDC DC, int X, int Y, const TEntry& E)
{
    // The stencil is every visible pixel that is not white; it is painted in the highlight
    // colour one pixel down and right, then in the shadow colour in place.
    constexpr DWORD ROP_DSPDxax = 0x00E20746;
    std::vector<std::uint8_t> Bits(E.Pixels.size(), 0);
    for (std::size_t I = 0; I < Bits.size(); ++I)
        Bits[I] = !E.Transparent(I) && (E.Pixels[I] & 0xFFFFFF) != 0xFFFFFF ? 1 : 0;
    HBITMAP Stencil = CreateMonoBitmap(E.Width, E.Height, Bits);
    {
        TMemoryDC StencilDC(Stencil);
        const COLORREF OldText = ::SetTextColor(DC, RGB(0, 0, 0));
        const COLORREF OldBack = ::SetBkColor(DC, RGB(255, 255, 255));
        HBRUSH Highlight = CreateSolidBrush(ColorToColorRef(clBtnHighlight));
        HBRUSH Shadow = CreateSolidBrush(ColorToColorRef(clBtnShadow));
        HGDIOBJ OldBrush = SelectObject(DC, Highlight);
        BitBlt(DC, X + 1, Y + 1, E.Width, E.Height, StencilDC.DC, 0, 0, ROP_DSPDxax);
        SelectObject(DC, Shadow);
        BitBlt(DC, X, Y, E.Width, E.Height, StencilDC.DC, 0, 0, ROP_DSPDxax);
        SelectObject(DC, OldBrush);
        DeleteObject(Highlight);
        DeleteObject(Shadow);
        ::SetTextColor(DC, OldText);
        ::SetBkColor(DC, OldBack);
    }
    DeleteObject(Stencil);
}

void TImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled)
{
    Draw(Canvas, X, Y, Index, FDrawingStyle, FImageType, Enabled);
}

void TImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, TDrawingStyle ADrawingStyle,
                      TImageType AImageType, bool Enabled)
{
    if (!Canvas || Index < 0 || Index >= Count())
        return;
    Canvas->Changing();
    Canvas->RequiredState({csHandleValid});
    HDC DC = Canvas->FHandle;
    if (!Enabled)
        DrawDisabled(DC, X, Y, *FImages[std::size_t(Index)]);
    else {
        static const UINT Styles[] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL, ILD_TRANSPARENT};
        UINT Style = Styles[ADrawingStyle];
        if (AImageType == itMask)
            Style |= ILD_MASK;
        DrawToDC(Index, DC, X, Y, 0, 0, CLR_DEFAULT, CLR_DEFAULT, Style);
    }
    Canvas->Changed();
}

void TImageList::GetBitmap(int Index, TBitmap* Image)
{
    if (!Image || Index < 0 || Index >= Count())
        return;
    Image->SetSize(FWidth, FHeight);
    Draw(Image->Canvas(), 0, 0, Index);
}

void TImageList::GetMask(int Index, TBitmap* Mask)
{
    if (!Mask || Index < 0 || Index >= Count())
        return;
    const TEntry& E = *FImages[std::size_t(Index)];
    TDibImage Dib;
    Dib.Width = E.Width;
    Dib.Height = E.Height;
    Dib.BitsPerPixel = 1;
    Dib.Palette = {0x000000, 0xFFFFFF};
    Dib.Pixels.resize(E.Pixels.size());
    for (std::size_t I = 0; I < Dib.Pixels.size(); ++I)
        Dib.Pixels[I] = E.Transparent(I) ? 0xFFFFFFFFu : 0xFF000000u;
    Mask->LoadFromDibImage(Dib);
}

void TImageList::GetIcon(int Index, TIcon* Image)
{
    if (!Image || Index < 0 || Index >= Count())
        return;
    const TEntry& E = *FImages[std::size_t(Index)];
    TIconImage Icon;
    Icon.Image.Width = E.Width;
    Icon.Image.Height = E.Height;
    Icon.Image.BitsPerPixel = 32;
    Icon.Image.HasAlpha = true;
    Icon.Image.Pixels = E.Pixels;
    Icon.Mask.assign(E.Pixels.size(), 0);
    for (std::size_t I = 0; I < E.Pixels.size(); ++I)
        if (E.Transparent(I)) {
            Icon.Image.Pixels[I] = 0;
            Icon.Mask[I] = 1;
        }
    Image->SetImage(Icon);
}

// ---------------------------------------------------------------------------------------------

BOOL ImageList_DrawEx(HIMAGELIST List, int Index, HDC DC, int X, int Y, int DX, int DY, COLORREF Bk,
                      COLORREF Fg, UINT Style)
{
    TImageList* L = TImageList::FromHandle(List);
    return L && L->DrawToDC(Index, DC, X, Y, DX, DY, Bk, Fg, Style) ? TRUE : FALSE;
}

BOOL ImageList_Draw(HIMAGELIST List, int Index, HDC DC, int X, int Y, UINT Style)
{
    return ImageList_DrawEx(List, Index, DC, X, Y, 0, 0, CLR_DEFAULT, CLR_DEFAULT, Style);
}

int ImageList_GetImageCount(HIMAGELIST List)
{
    TImageList* L = TImageList::FromHandle(List);
    return L ? L->Count() : 0;
}

BOOL ImageList_GetIconSize(HIMAGELIST List, int* Width, int* Height)
{
    TImageList* L = TImageList::FromHandle(List);
    if (!L)
        return FALSE;
    if (Width)
        *Width = L->Width();
    if (Height)
        *Height = L->Height();
    return TRUE;
}

BOOL ImageList_Remove(HIMAGELIST List, int Index)
{
    TImageList* L = TImageList::FromHandle(List);
    if (!L || Index < -1 || Index >= L->Count())
        return FALSE;
    L->Delete(Index);
    return TRUE;
}
