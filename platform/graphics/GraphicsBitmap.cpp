// TGraphic and TBitmap: bitmaps over GDI bitmap handles, their canvases, conversions and BMP
// streaming, and the canvas calls that draw bitmaps.
#include "platform/graphics/Graphics.h"
#include "platform/graphics/GraphicsPrivate.h"
#include "platform/graphics/Resources.h"
#include "platform/rtl/Streams.h"

#include <algorithm>
#include <cstring>

// ---------------------------------------------------------------------------------------------
// TGraphic

void TGraphic::SetTransparent(bool Value)
{
    if (Value == FTransparent)
        return;
    FTransparent = Value;
    Changed(this);
}

void TGraphic::SetModified(bool Value)
{
    if (Value)
        Changed(this);
    else
        FModified = false;
}

void TGraphic::Changed(TObject*)
{
    FModified = true;
    if (OnChange)
        OnChange(this);
}

void TGraphic::LoadFromFile(const std::string& FileName)
{
    std::string Bytes = LoadFileBytes(FileName);
    try {
        LoadFromBytes(Bytes);
    } catch (const EInvalidGraphic& E) {
        throw EInvalidGraphic(FileName + ": " + E.Message());
    }
}

void TGraphic::SaveToFile(const std::string& FileName)
{
    const std::string Bytes = SaveToBytes();
    std::string Error;
    if (!WriteFileAtomic(FileName, Bytes, &Error))
        throw EFCreateError("Cannot create file \"" + FileName + "\"" + (Error.empty() ? "" : ". " + Error));
}

void TGraphic::LoadFromClipboardFormat(WORD, const std::string& Data, HPALETTE)
{
    LoadFromBytes(Data);
}

// ---------------------------------------------------------------------------------------------
// Helpers shared with the icon and image-list code

namespace gfx {

TMemoryDC::TMemoryDC(HGDIOBJ Bitmap) : DC(CreateCompatibleDC(nullptr))
{
    if (DC && Bitmap)
        Old = SelectObject(DC, Bitmap);
}

TMemoryDC::~TMemoryDC()
{
    if (!DC)
        return;
    if (Old)
        SelectObject(DC, Old);
    DeleteDC(DC);
}

HBITMAP CreateBlankBitmap(int Width, int Height, bool Monochrome, COLORREF Fill)
{
    if (Width <= 0 || Height <= 0)
        return nullptr;
    HBITMAP Bitmap = CreateBitmap(Width, Height, 1, Monochrome ? 1 : 32, nullptr);
    if (!Bitmap)
        throw EOutOfMemory("Out of system resources");
    TMemoryDC DC(Bitmap);
    HBRUSH Brush = CreateSolidBrush(Fill);
    RECT R{0, 0, Width, Height};
    FillRect(DC.DC, &R, Brush);
    DeleteObject(Brush);
    return Bitmap;
}

HBITMAP CopyBitmapHandle(HBITMAP Source)
{
    BITMAP Info;
    if (!Source || GetObject(Source, sizeof(Info), &Info) <= 0)
        return nullptr;
    // Through the bits, so the source may stay selected into whatever DC holds it.
    const std::vector<std::uint32_t> Pixels = ReadPixels(Source, Info.bmWidth, Info.bmHeight);
    if (Info.bmBitsPixel == 1 && Info.bmPlanes == 1) {
        std::vector<std::uint8_t> Bits(Pixels.size());
        for (std::size_t I = 0; I < Bits.size(); ++I)
            Bits[I] = (Pixels[I] & 0xFFFFFF) != 0 ? 1 : 0;
        return CreateMonoBitmap(Info.bmWidth, Info.bmHeight, Bits);
    }
    HBITMAP Copy = CreateBitmap(Info.bmWidth, Info.bmHeight, 1, 32, nullptr);
    if (!Copy)
        throw EOutOfMemory("Out of system resources");
    WritePixels(Copy, Info.bmWidth, Info.bmHeight, Pixels);
    return Copy;
}

std::vector<std::uint32_t> ReadPixels(HBITMAP Bitmap, int Width, int Height)
{
    std::vector<std::uint32_t> Pixels(std::size_t(Width) * std::size_t(Height));
    if (!Bitmap || Pixels.empty())
        return Pixels;
    BITMAPINFO Info;
    Info.bmiHeader.biWidth = Width;
    Info.bmiHeader.biHeight = -Height;
    Info.bmiHeader.biBitCount = 32;
    HDC DC = CreateCompatibleDC(nullptr);
    GetDIBits(DC, Bitmap, 0, static_cast<UINT>(Height), Pixels.data(), &Info, DIB_RGB_COLORS);
    DeleteDC(DC);
    for (std::uint32_t& P : Pixels)
        P |= 0xFF000000u;
    return Pixels;
}

void WritePixels(HBITMAP Bitmap, int Width, int Height, const std::vector<std::uint32_t>& Pixels)
{
    if (!Bitmap || Width <= 0 || Height <= 0 || Pixels.size() < std::size_t(Width) * std::size_t(Height))
        return;
    BITMAPINFO Info;
    Info.bmiHeader.biWidth = Width;
    Info.bmiHeader.biHeight = -Height;
    Info.bmiHeader.biBitCount = 32;
    HDC DC = CreateCompatibleDC(nullptr);
    SetDIBits(DC, Bitmap, 0, static_cast<UINT>(Height), Pixels.data(), &Info, DIB_RGB_COLORS);
    DeleteDC(DC);
}

HBITMAP CreateMonoBitmap(int Width, int Height, const std::vector<std::uint8_t>& Bits)
{
    if (Width <= 0 || Height <= 0)
        return nullptr;
    // Rows padded to 16 bits, top row first, as CreateBitmap takes them.
    const int RowBytes = ((Width + 15) / 16) * 2;
    std::vector<std::uint8_t> Packed(std::size_t(RowBytes) * std::size_t(Height), 0);
    for (int Y = 0; Y < Height; ++Y)
        for (int X = 0; X < Width; ++X)
            if (Bits[std::size_t(Y) * std::size_t(Width) + X])
                Packed[std::size_t(Y) * RowBytes + X / 8] |= std::uint8_t(0x80u >> (X % 8));
    HBITMAP Bitmap = CreateBitmap(Width, Height, 1, 1, Packed.data());
    if (!Bitmap)
        throw EOutOfMemory("Out of system resources");
    return Bitmap;
}

void StretchTransparent(HDC Dst, const TRect& Rect, HDC Src, int SrcX, int SrcY, int SrcW, int SrcH,
                        HDC MaskDC, int MaskX, int MaskY)
{
    const int DstW = Rect.right - Rect.left, DstH = Rect.bottom - Rect.top;
    // dst ^= src; dst &= mask (1 keeps the destination, 0 clears it); dst ^= src: where the mask
    // is 1 the destination comes back unchanged, elsewhere the source is left.
    const COLORREF OldText = SetTextColor(Dst, RGB(0, 0, 0));
    const COLORREF OldBack = SetBkColor(Dst, RGB(255, 255, 255));
    StretchBlt(Dst, Rect.left, Rect.top, DstW, DstH, Src, SrcX, SrcY, SrcW, SrcH, SRCINVERT);
    StretchBlt(Dst, Rect.left, Rect.top, DstW, DstH, MaskDC, MaskX, MaskY, SrcW, SrcH, SRCAND);
    StretchBlt(Dst, Rect.left, Rect.top, DstW, DstH, Src, SrcX, SrcY, SrcW, SrcH, SRCINVERT);
    SetTextColor(Dst, OldText);
    SetBkColor(Dst, OldBack);
}

void StretchWithTransparentColor(HDC Dst, const TRect& Rect, HDC Src, int SrcX, int SrcY, int SrcW, int SrcH,
                                 COLORREF Transparent, bool SourceMonochrome)
{
    if (SrcW <= 0 || SrcH <= 0)
        return;
    HBITMAP Mask = CreateBitmap(SrcW, SrcH, 1, 1, nullptr);
    if (!Mask)
        return;
    {
        TMemoryDC MaskDC(Mask);
        if (SourceMonochrome) {
            // Bits copy straight across: white is 1 already; a black transparent colour inverts.
            const bool BlackIsTransparent = (Transparent & 0x00FFFFFFu) == 0;
            BitBlt(MaskDC.DC, 0, 0, SrcW, SrcH, Src, SrcX, SrcY, BlackIsTransparent ? NOTSRCCOPY : SRCCOPY);
        } else {
            const COLORREF OldBack = SetBkColor(Src, Transparent & 0x00FFFFFFu);
            BitBlt(MaskDC.DC, 0, 0, SrcW, SrcH, Src, SrcX, SrcY, SRCCOPY);
            SetBkColor(Src, OldBack);
        }
        StretchTransparent(Dst, Rect, Src, SrcX, SrcY, SrcW, SrcH, MaskDC.DC, 0, 0);
    }
    DeleteObject(Mask);
}

} // namespace gfx

using namespace gfx;

// ---------------------------------------------------------------------------------------------
// The image behind one or more bitmaps (Assign shares it until one of them changes).

struct TBitmapImage {
    HBITMAP Handle = nullptr;
    HPALETTE Palette = nullptr;
    int Width = 0, Height = 0;
    bool Monochrome = false;
    TPixelFormat PixelFormat = pfDevice;
    std::vector<std::uint32_t> PaletteEntries; // 0x00RRGGBB, the colour table of a palette format
    std::unique_ptr<TDibImage> Saved;          // the pixels while the handle is freed (Dormant)

    TBitmapImage() = default;
    TBitmapImage(const TBitmapImage&) = delete;
    TBitmapImage& operator=(const TBitmapImage&) = delete;
    ~TBitmapImage()
    {
        if (Handle)
            DeleteObject(Handle);
        if (Palette)
            DeleteObject(Palette);
    }
};

namespace {

TPixelFormat FormatOfDepth(int BitsPerPixel)
{
    switch (BitsPerPixel) {
    case 1:
        return pf1bit;
    case 4:
        return pf4bit;
    case 8:
        return pf8bit;
    case 15:
    case 16:
        return pf15bit;
    case 24:
        return pf24bit;
    case 32:
        return pf32bit;
    default:
        return pfDevice;
    }
}

int DepthOfFormat(TPixelFormat Format)
{
    switch (Format) {
    case pf1bit:
        return 1;
    case pf4bit:
        return 4;
    case pf8bit:
        return 8;
    case pf15bit:
    case pf16bit:
        return 16;
    case pf32bit:
        return 32;
    default:
        return 24;
    }
}

bool IsBlackAndWhite(const std::vector<std::uint32_t>& Palette)
{
    if (Palette.empty())
        return true;
    if (Palette.size() != 2)
        return false;
    return (Palette[0] & 0xFFFFFF) == 0 && (Palette[1] & 0xFFFFFF) == 0xFFFFFF;
}

// 0x00RRGGBB palette entries from a palette handle.
std::vector<std::uint32_t> EntriesOfPalette(HPALETTE Palette)
{
    std::vector<std::uint32_t> Result;
    WORD Count = 0;
    if (!Palette || GetObject(Palette, sizeof(Count), &Count) <= 0 || Count == 0)
        return Result;
    std::vector<PALETTEENTRY> Entries(Count);
    const UINT Got = GetPaletteEntries(Palette, 0, Count, Entries.data());
    for (UINT I = 0; I < Got; ++I)
        Result.push_back((std::uint32_t(Entries[I].peRed) << 16) | (std::uint32_t(Entries[I].peGreen) << 8) |
                         Entries[I].peBlue);
    return Result;
}

HPALETTE PaletteOfEntries(const std::vector<std::uint32_t>& Colors)
{
    if (Colors.empty())
        return nullptr;
    const std::size_t Count = std::min<std::size_t>(Colors.size(), 256);
    std::vector<std::uint8_t> Buffer(sizeof(LOGPALETTE) + Count * sizeof(PALETTEENTRY));
    auto* LP = reinterpret_cast<LOGPALETTE*>(Buffer.data());
    LP->palVersion = 0x300;
    LP->palNumEntries = static_cast<WORD>(Count);
    for (std::size_t I = 0; I < Count; ++I) {
        LP->palPalEntry[I].peRed = BYTE(Colors[I] >> 16);
        LP->palPalEntry[I].peGreen = BYTE(Colors[I] >> 8);
        LP->palPalEntry[I].peBlue = BYTE(Colors[I]);
        LP->palPalEntry[I].peFlags = 0;
    }
    return CreatePalette(LP);
}

// Pixels of a decoded image as a bitmap without alpha holds them. A palette image keeps the colour
// of its see-through pixels, so a mask can still be made from the transparent colour; partly
// transparent true-colour pixels are blended over white, the background a page most often has.
std::vector<std::uint32_t> OpaquePixels(const TDibImage& Image)
{
    std::vector<std::uint32_t> Pixels = Image.Pixels;
    if (Image.HasAlpha && Image.BitsPerPixel > 8)
        for (std::uint32_t& P : Pixels) {
            const std::uint32_t A = P >> 24;
            if (A == 0xFF)
                continue;
            auto Blend = [A](std::uint32_t C) { return (C * A + 0xFF * (0xFF - A) + 127) / 0xFF; };
            P = (Blend((P >> 16) & 0xFF) << 16) | (Blend((P >> 8) & 0xFF) << 8) | Blend(P & 0xFF);
        }
    for (std::uint32_t& P : Pixels)
        P |= 0xFF000000u;
    return Pixels;
}

std::shared_ptr<TBitmapImage> ImageFromDib(const TDibImage& Dib)
{
    auto Image = std::make_shared<TBitmapImage>();
    if (Dib.Width <= 0 || Dib.Height <= 0 ||
        Dib.Pixels.size() < std::size_t(Dib.Width) * std::size_t(Dib.Height))
        return Image;
    Image->Width = Dib.Width;
    Image->Height = Dib.Height;
    Image->PixelFormat = FormatOfDepth(Dib.BitsPerPixel);
    if (Dib.BitsPerPixel <= 8)
        Image->PaletteEntries = Dib.Palette;
    Image->Monochrome = Dib.BitsPerPixel == 1 && IsBlackAndWhite(Dib.Palette);
    if (Image->Monochrome) {
        std::vector<std::uint8_t> Bits(Dib.Pixels.size());
        for (std::size_t I = 0; I < Bits.size(); ++I) {
            const std::uint32_t P = Dib.Pixels[I];
            const int Sum = int((P >> 16) & 0xFF) + int((P >> 8) & 0xFF) + int(P & 0xFF);
            Bits[I] = Sum >= 384 ? 1 : 0;
        }
        Image->Handle = CreateMonoBitmap(Dib.Width, Dib.Height, Bits);
    } else {
        Image->Handle = CreateBitmap(Dib.Width, Dib.Height, 1, 32, nullptr);
        if (!Image->Handle)
            throw EOutOfMemory("Out of system resources");
        WritePixels(Image->Handle, Dib.Width, Dib.Height, OpaquePixels(Dib));
    }
    return Image;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// The canvas of a bitmap: a memory DC holding the bitmap, made when first drawn on.

class TBitmapCanvas : public TCanvas {
public:
    explicit TBitmapCanvas(TBitmap* ABitmap) : FBitmap(ABitmap) {}
    ~TBitmapCanvas() override { FreeContext(); }

    void FreeContext()
    {
        if (!FHandle)
            return;
        HDC DC = FHandle;
        SetHandle(nullptr);
        if (FOldBitmap)
            SelectObject(DC, FOldBitmap);
        if (FOldPalette)
            SelectPalette(DC, FOldPalette, TRUE);
        DeleteDC(DC);
        FOldBitmap = nullptr;
        FOldPalette = nullptr;
    }

protected:
    void CreateHandle() override
    {
        if (!FBitmap)
            return;
        FBitmap->Unshare();
        FBitmap->HandleNeeded();
        HDC DC = CreateCompatibleDC(nullptr);
        if (!DC)
            throw EOutOfMemory("Out of system resources");
        TBitmapImage& Image = *FBitmap->FImage;
        if (Image.Handle)
            FOldBitmap = SelectObject(DC, Image.Handle);
        if (HPALETTE Palette = FBitmap->Palette()) {
            FOldPalette = SelectPalette(DC, Palette, TRUE);
            RealizePalette(DC);
        }
        SetHandle(DC);
    }

private:
    TBitmap* FBitmap;
    HGDIOBJ FOldBitmap = nullptr;
    HPALETTE FOldPalette = nullptr;
};

// ---------------------------------------------------------------------------------------------
// TBitmap

TBitmap::TBitmap() : FImage(std::make_shared<TBitmapImage>()) {}

TBitmap::TBitmap(int AWidth, int AHeight) : TBitmap()
{
    SetSize(AWidth, AHeight);
}

TBitmap::~TBitmap()
{
    FCanvas.reset();
    FImage.reset();
}

TCanvas* TBitmap::Canvas()
{
    if (!FCanvas) {
        FCanvas = std::make_unique<TBitmapCanvas>(this);
        FCanvas->OnChanging = [this](TObject*) { ImageChanging(); };
        FCanvas->OnChange = [this](TObject* Sender) { Changed(Sender); };
    }
    return FCanvas.get();
}

void TBitmap::FreeContext()
{
    if (FCanvas)
        FCanvas->FreeContext();
}

void TBitmap::ImageChanging()
{
    Unshare();
    // The kept copy of the pixels no longer matches once the canvas draws.
    if (FImage->Handle)
        FImage->Saved.reset();
}

void TBitmap::Unshare()
{
    if (FImage.use_count() <= 1)
        return;
    const TBitmapImage& Old = *FImage;
    auto Copy = std::make_shared<TBitmapImage>();
    Copy->Width = Old.Width;
    Copy->Height = Old.Height;
    Copy->Monochrome = Old.Monochrome;
    Copy->PixelFormat = Old.PixelFormat;
    Copy->PaletteEntries = Old.PaletteEntries;
    if (Old.Saved)
        Copy->Saved = std::make_unique<TDibImage>(*Old.Saved);
    if (Old.Handle)
        Copy->Handle = CopyBitmapHandle(Old.Handle);
    // The other bitmap's canvas may hold the old handle selected: leave it there untouched.
    FreeContext();
    FImage = std::move(Copy);
}

void TBitmap::HandleNeeded()
{
    TBitmapImage& Image = *FImage;
    if (Image.Handle || Image.Width <= 0 || Image.Height <= 0)
        return;
    if (Image.Saved) {
        auto Restored = ImageFromDib(*Image.Saved);
        Image.Handle = Restored->Handle;
        Restored->Handle = nullptr;
    } else
        Image.Handle = CreateBlankBitmap(Image.Width, Image.Height, Image.Monochrome, RGB(255, 255, 255));
}

void TBitmap::NewImage(std::shared_ptr<TBitmapImage> Image)
{
    FreeContext();
    FImage = std::move(Image);
}

bool TBitmap::Empty() const
{
    return FImage->Width <= 0 || FImage->Height <= 0;
}
int TBitmap::Width() const
{
    return FImage->Width;
}
int TBitmap::Height() const
{
    return FImage->Height;
}
bool TBitmap::HandleAllocated() const
{
    return FImage->Handle != nullptr;
}
bool TBitmap::Monochrome() const
{
    return FImage->Monochrome;
}

TPixelFormat TBitmap::PixelFormat() const
{
    return FImage->Monochrome ? pf1bit : FImage->PixelFormat;
}

void TBitmap::SetWidth(int Value)
{
    SetSize(Value, FImage->Height);
}
void TBitmap::SetHeight(int Value)
{
    SetSize(FImage->Width, Value);
}

void TBitmap::SetSize(int AWidth, int AHeight)
{
    AWidth = std::max(AWidth, 0);
    AHeight = std::max(AHeight, 0);
    if (AWidth == FImage->Width && AHeight == FImage->Height)
        return;
    // New pixels take the brush colour of an existing canvas, as the class library does.
    const COLORREF Fill = FCanvas ? ColorToColorRef(FCanvas->Brush()->Color()) : RGB(255, 255, 255);
    FreeContext();
    HandleNeeded();
    const TBitmapImage& Old = *FImage;
    auto Image = std::make_shared<TBitmapImage>();
    Image->Width = AWidth;
    Image->Height = AHeight;
    Image->Monochrome = Old.Monochrome;
    Image->PixelFormat = Old.PixelFormat;
    Image->PaletteEntries = Old.PaletteEntries;
    if (AWidth > 0 && AHeight > 0) {
        Image->Handle = CreateBlankBitmap(AWidth, AHeight, Old.Monochrome, Fill);
        if (Old.Handle) {
            TMemoryDC Src(Old.Handle), Dst(Image->Handle);
            BitBlt(Dst.DC, 0, 0, std::min(AWidth, Old.Width), std::min(AHeight, Old.Height), Src.DC, 0, 0,
                   SRCCOPY);
        }
    }
    NewImage(std::move(Image));
    Changed(this);
}

HBITMAP TBitmap::Handle()
{
    // The caller may select the handle into a DC of its own: take it out of ours first.
    FreeContext();
    Unshare();
    HandleNeeded();
    FImage->Saved.reset();
    return FImage->Handle;
}

void TBitmap::SetHandle(HBITMAP Value)
{
    if (Value && Value == FImage->Handle)
        return;
    auto Image = std::make_shared<TBitmapImage>();
    BITMAP Info;
    if (Value && GetObject(Value, sizeof(Info), &Info) > 0) {
        Image->Handle = Value;
        Image->Width = Info.bmWidth;
        Image->Height = Info.bmHeight;
        Image->Monochrome = Info.bmBitsPixel == 1 && Info.bmPlanes == 1;
        Image->PixelFormat = Info.bmBitsPixel == 32 ? pf32bit : pfDevice;
    }
    NewImage(std::move(Image));
    Changed(this);
}

HBITMAP TBitmap::ReleaseHandle()
{
    FreeContext();
    Unshare();
    HandleNeeded();
    TBitmapImage& Image = *FImage;
    if (!Image.Handle)
        return nullptr;
    // The bitmap goes on showing the same pixels from a copy taken now.
    Image.Saved = std::make_unique<TDibImage>(ToDibImage());
    HBITMAP Result = Image.Handle;
    Image.Handle = nullptr;
    return Result;
}

HPALETTE TBitmap::Palette()
{
    TBitmapImage& Image = *FImage;
    if (!Image.Palette && !Image.PaletteEntries.empty() && !Image.Monochrome)
        Image.Palette = PaletteOfEntries(Image.PaletteEntries);
    return Image.Palette;
}

void TBitmap::SetPalette(HPALETTE Value)
{
    if (Value && Value == FImage->Palette)
        return;
    FreeContext();
    Unshare();
    TBitmapImage& Image = *FImage;
    if (Image.Palette)
        DeleteObject(Image.Palette);
    Image.Palette = Value;
    Image.PaletteEntries = EntriesOfPalette(Value);
    Changed(this);
}

HPALETTE TBitmap::ReleasePalette()
{
    HPALETTE Result = Palette();
    FreeContext();
    Unshare();
    FImage->Palette = nullptr;
    return Result;
}

void TBitmap::SetMonochrome(bool Value)
{
    if (Value == FImage->Monochrome)
        return;
    if (Empty()) {
        Unshare();
        FImage->Monochrome = Value;
        Changed(this);
        return;
    }
    // The conversion colours come from the canvas: pixels of its brush colour turn white, and
    // back to colour, 0 draws in its font colour and 1 in its brush colour.
    TCanvas* C = Canvas();
    const COLORREF Back = ColorToColorRef(C->Brush()->Color());
    const COLORREF Text = ColorToColorRef(C->Font()->Color());
    FreeContext();
    HandleNeeded();
    const TBitmapImage& Old = *FImage;
    auto Image = std::make_shared<TBitmapImage>();
    Image->Width = Old.Width;
    Image->Height = Old.Height;
    Image->Monochrome = Value;
    Image->PixelFormat = Value ? pf1bit : pfDevice;
    Image->Handle = CreateBitmap(Old.Width, Old.Height, 1, Value ? 1 : 32, nullptr);
    {
        TMemoryDC Src(Old.Handle), Dst(Image->Handle);
        SetBkColor(Src.DC, Back);
        SetTextColor(Dst.DC, Text);
        SetBkColor(Dst.DC, Back);
        BitBlt(Dst.DC, 0, 0, Old.Width, Old.Height, Src.DC, 0, 0, SRCCOPY);
    }
    NewImage(std::move(Image));
    Changed(this);
}

void TBitmap::SetPixelFormat(TPixelFormat Value)
{
    if (Value == PixelFormat())
        return;
    if (Value == pf1bit) {
        SetMonochrome(true);
        return;
    }
    if (FImage->Monochrome)
        SetMonochrome(false);
    Unshare();
    TBitmapImage& Image = *FImage;
    Image.PixelFormat = Value;
    if (DepthOfFormat(Value) > 8 || Value == pfDevice) {
        Image.PaletteEntries.clear();
        if (Image.Palette) {
            FreeContext();
            DeleteObject(Image.Palette);
            Image.Palette = nullptr;
        }
    }
    Image.Saved.reset();
    Changed(this);
}

void TBitmap::Mask(TColor TransparentColor)
{
    if (Empty())
        return;
    const COLORREF Key = ColorToColorRef(TransparentColor);
    FreeContext();
    HandleNeeded();
    const TBitmapImage& Old = *FImage;
    auto Image = std::make_shared<TBitmapImage>();
    Image->Width = Old.Width;
    Image->Height = Old.Height;
    Image->Monochrome = true;
    Image->PixelFormat = pf1bit;
    Image->Handle = CreateBitmap(Old.Width, Old.Height, 1, 1, nullptr);
    {
        TMemoryDC Src(Old.Handle), Dst(Image->Handle);
        DWORD Rop = SRCCOPY;
        if (Old.Monochrome)
            Rop = (Key & 0xFFFFFF) == 0 ? NOTSRCCOPY : SRCCOPY; // 1 is white already
        else
            SetBkColor(Src.DC, Key);
        BitBlt(Dst.DC, 0, 0, Old.Width, Old.Height, Src.DC, 0, 0, Rop);
    }
    NewImage(std::move(Image));
    Changed(this);
}

TColor TBitmap::TransparentColor()
{
    if (FTransparentMode == tmFixed && FTransparentColor != clDefault)
        return FTransparentColor;
    if (Empty())
        return clNone;
    if (FImage->Monochrome)
        return clWhite | clPaletteRelative;
    const TColor Corner = Canvas()->Pixels(0, FImage->Height - 1);
    return (Corner & 0x00FFFFFF) | clPaletteRelative;
}

void TBitmap::SetTransparentColor(TColor Value)
{
    if (Value == FTransparentColor && (Value == clDefault) == (FTransparentMode == tmAuto))
        return;
    FTransparentMode = Value == clDefault ? tmAuto : tmFixed;
    FTransparentColor = Value;
    Changed(this);
}

void TBitmap::SetTransparentMode(TTransparentMode Value)
{
    if (Value == FTransparentMode)
        return;
    if (Value == tmAuto)
        SetTransparentColor(clDefault);
    else
        SetTransparentColor(TransparentColor());
}

void TBitmap::Dormant()
{
    FreeContext();
    Unshare();
    TBitmapImage& Image = *FImage;
    if (!Image.Handle)
        return;
    // Taken afresh: the handle may have been drawn on with the change events detached.
    Image.Saved = std::make_unique<TDibImage>(ToDibImage());
    DeleteObject(Image.Handle);
    Image.Handle = nullptr;
    if (Image.Palette) {
        DeleteObject(Image.Palette);
        Image.Palette = nullptr;
    }
}

void TBitmap::FreeImage()
{
    if (FImage->Handle)
        FImage->Saved.reset();
}

void TBitmap::Assign(TPersistent* Source)
{
    if (!Source) {
        NewImage(std::make_shared<TBitmapImage>());
        Changed(this);
        return;
    }
    if (auto* Src = dynamic_cast<TBitmap*>(Source)) {
        if (Src == this)
            return;
        // Only an unshared image is ever selected into a canvas's DC: let go of it first.
        Src->FreeContext();
        NewImage(Src->FImage);
        FTransparent = Src->FTransparent;
        FTransparentColor = Src->FTransparentColor;
        FTransparentMode = Src->FTransparentMode;
        FHandleType = Src->FHandleType;
        Changed(this);
        return;
    }
    TGraphic::Assign(Source);
}

TDibImage TBitmap::ToDibImage()
{
    TDibImage Dib;
    const TBitmapImage& Image = *FImage;
    Dib.Width = Image.Width;
    Dib.Height = Image.Height;
    Dib.BitsPerPixel = Image.Monochrome ? 1 : DepthOfFormat(Image.PixelFormat);
    if (Image.Monochrome)
        Dib.Palette = {0x000000, 0xFFFFFF};
    else if (Dib.BitsPerPixel <= 8)
        Dib.Palette = Image.PaletteEntries;
    if (Empty())
        return Dib;
    if (Image.Handle)
        Dib.Pixels = ReadPixels(Image.Handle, Image.Width, Image.Height); // fine while selected
    else if (Image.Saved)
        Dib.Pixels = OpaquePixels(*Image.Saved);
    else
        Dib.Pixels.assign(std::size_t(Image.Width) * std::size_t(Image.Height), 0xFFFFFFFFu);
    return Dib;
}

void TBitmap::LoadFromDibImage(const TDibImage& Image)
{
    NewImage(ImageFromDib(Image));
    Changed(this);
}

void TBitmap::LoadFromBytes(const std::string& Bytes)
{
    const TImageKind Kind = SniffImage(Bytes);
    if (Kind == TImageKind::Ico || Kind == TImageKind::Cur)
        throw EInvalidGraphic("Bitmap image is not valid");
    LoadFromDibImage(DecodeImage(Bytes));
}

std::string TBitmap::SaveToBytes()
{
    if (Empty())
        return std::string();
    return EncodeBmp(ToDibImage(), PixelFormat() == pf1bit ? 1 : DepthOfFormat(FImage->PixelFormat));
}

void TBitmap::LoadFromStream(TStream* Stream)
{
    if (!Stream)
        return;
    const std::int64_t Start = Stream->Position();
    std::string Bytes = Stream->ReadAll();
    // A BMP says how long it is: leave whatever follows it in the stream for the next reader.
    if (Bytes.size() >= 14 && Bytes[0] == 'B' && Bytes[1] == 'M') {
        const auto* B = reinterpret_cast<const unsigned char*>(Bytes.data());
        const std::uint32_t FileSize = B[2] | (B[3] << 8) | (B[4] << 16) | (std::uint32_t(B[5]) << 24);
        if (FileSize >= 14 && FileSize < Bytes.size()) {
            // Some writers put a wrong size there: then the whole rest is the bitmap.
            try {
                LoadFromBytes(Bytes.substr(0, FileSize));
                Stream->SetPosition(Start + FileSize);
                return;
            } catch (const EInvalidGraphic&) {
            }
        }
    }
    LoadFromBytes(Bytes);
}

void TBitmap::SaveToStream(TStream* Stream)
{
    if (Stream)
        Stream->WriteString(SaveToBytes());
}

void TBitmap::LoadFromResourceName(HINSTANCE, const std::string& ResName)
{
    LoadFromDibImage(LoadResourceBitmap(TResourceId(ResName)));
}

void TBitmap::LoadFromResourceID(HINSTANCE, int ResID)
{
    LoadFromDibImage(LoadResourceBitmap(TResourceId(ResID)));
}

void TBitmap::Draw(TCanvas* ACanvas, const TRect& Rect)
{
    if (Empty() || !ACanvas)
        return;
    ACanvas->RequiredState({csHandleValid});
    HDC Dst = ACanvas->FHandle;
    TCanvas* Own = Canvas();
    // Our own change events must not fire for a read of the pixels.
    Own->RequiredState({csHandleValid});
    HDC Src = Own->FHandle;
    const bool Mono = FImage->Monochrome;
    HPALETTE OldPalette = nullptr;
    if (HPALETTE Pal = Palette()) {
        OldPalette = SelectPalette(Dst, Pal, TRUE);
        RealizePalette(Dst);
    }
    int OldStretch = 0;
    if (!Mono)
        OldStretch = SetStretchBltMode(Dst, STRETCH_DELETESCANS);
    // A monochrome bitmap shows black and white, whatever the destination's colours.
    COLORREF OldText = 0, OldBack = 0;
    if (Mono) {
        OldText = SetTextColor(Dst, RGB(0, 0, 0));
        OldBack = SetBkColor(Dst, RGB(255, 255, 255));
    }
    if (Transparent())
        StretchWithTransparentColor(Dst, Rect, Src, 0, 0, FImage->Width, FImage->Height,
                                    ColorToColorRef(TransparentColor()), Mono);
    else if (Rect.right - Rect.left == FImage->Width && Rect.bottom - Rect.top == FImage->Height)
        BitBlt(Dst, Rect.left, Rect.top, FImage->Width, FImage->Height, Src, 0, 0, ACanvas->CopyMode());
    else
        StretchBlt(Dst, Rect.left, Rect.top, Rect.right - Rect.left, Rect.bottom - Rect.top, Src, 0, 0,
                   FImage->Width, FImage->Height, ACanvas->CopyMode());
    if (Mono) {
        SetTextColor(Dst, OldText);
        SetBkColor(Dst, OldBack);
    } else
        SetStretchBltMode(Dst, OldStretch);
    if (OldPalette)
        SelectPalette(Dst, OldPalette, TRUE);
}

// ---------------------------------------------------------------------------------------------
// TCanvas::BrushCopy lives here: it needs the bitmap's masks.

void TCanvas::BrushCopy(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Color)
{
    if (!Bitmap || Bitmap->Empty())
        return;
    // DSPDxax: the brush where the mask is white, the destination where it is black.
    constexpr DWORD ROP_DSPDxax = 0x00E20746;
    Lock();
    try {
        Changing();
        RequiredState({csHandleValid, csBrushValid});
        const int DstW = Dest.right - Dest.left, DstH = Dest.bottom - Dest.top;
        const int SrcW = Source.right - Source.left, SrcH = Source.bottom - Source.top;
        TBitmap MaskBitmap;
        MaskBitmap.Assign(Bitmap);
        MaskBitmap.Mask(Color);
        TCanvas* MaskCanvas = MaskBitmap.Canvas();
        MaskCanvas->RequiredState({csHandleValid});
        TCanvas* SrcCanvas = Bitmap->Canvas();
        SrcCanvas->RequiredState({csHandleValid});
        if (FBrush.Style() == bsClear)
            StretchTransparent(FHandle, Dest, SrcCanvas->FHandle, Source.left, Source.top, SrcW, SrcH,
                               MaskCanvas->FHandle, Source.left, Source.top);
        else {
            StretchBlt(FHandle, Dest.left, Dest.top, DstW, DstH, SrcCanvas->FHandle, Source.left, Source.top,
                       SrcW, SrcH, SRCCOPY);
            const COLORREF OldText = SetTextColor(FHandle, RGB(0, 0, 0));
            const COLORREF OldBack = SetBkColor(FHandle, RGB(255, 255, 255));
            StretchBlt(FHandle, Dest.left, Dest.top, DstW, DstH, MaskCanvas->FHandle, Source.left, Source.top,
                       SrcW, SrcH, ROP_DSPDxax);
            SetTextColor(FHandle, OldText);
            SetBkColor(FHandle, OldBack);
        }
        Changed();
    } catch (...) {
        Unlock();
        throw;
    }
    Unlock();
}
