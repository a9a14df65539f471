#include "html-engine/ImgDecode.h"

#include "platform/graphics/ImageCodecs.h"
#include "platform/graphics/WinGdi.h"

#include <cstring>
#include <new>
#include <unordered_map>
#include <vector>

namespace ImgDecode {

HPALETTE DecoderPalette = nullptr;
WORD DecodeOptions = 0;

int DepthClassOfBits(int BitsPerPixel)
{
    if (BitsPerPixel <= 4)
        return 4;
    if (BitsPerPixel < 16)
        return 8;
    return 24;
}

int ScreenDepthClass(HDC DC)
{
    return DepthClassOfBits(GetDeviceCaps(DC, BITSPIXEL));
}

namespace {

enum class TEntryKind { Bmp, Gif, Jpeg, Png };

// Results of a decode: 1 success; below 1 failure.
constexpr std::int16_t DecodeDone = 1;
constexpr std::int16_t DecodeStopped = 0;
constexpr std::int16_t DecodeWrongKind = -1;
constexpr std::int16_t DecodeInvalid = -2;
constexpr std::int16_t DecodeNoMemory = -3;

// The progress callback is asked before the decode, after it, and every so many rows while the
// pixels are converted.
constexpr int RowsPerPoll = 64;

std::uint32_t U32At(const std::uint8_t* P)
{
    return std::uint32_t(P[0]) | std::uint32_t(P[1]) << 8 | std::uint32_t(P[2]) << 16 |
           std::uint32_t(P[3]) << 24;
}

bool IsOfKind(const std::uint8_t* Data, std::size_t Size, TEntryKind Kind)
{
    switch (SniffImage(Data, Size)) {
    case TImageKind::Bmp:
        // The Windows form only (an info header of 40 bytes or more); the older OS/2 form is
        // left to the class library's own reader.
        return Kind == TEntryKind::Bmp && U32At(Data + 14) >= 40;
    case TImageKind::Gif:
        return Kind == TEntryKind::Gif;
    case TImageKind::Jpeg:
        return Kind == TEntryKind::Jpeg;
    case TImageKind::Png:
        return Kind == TEntryKind::Png;
    default:
        return false;
    }
}

// The transparent colour index that the graphic control extension before the first image
// gives, or -1.
int GifTransparentIndex(const std::uint8_t* P, std::size_t Size)
{
    if (Size < 13)
        return -1;
    std::size_t Pos = 13;
    if (P[10] & 0x80)
        Pos += 3 * (std::size_t(1) << ((P[10] & 7) + 1));
    int Index = -1;
    while (Pos < Size) {
        if (P[Pos] == 0x2C)
            return Index;
        if (P[Pos] != 0x21 || Pos + 1 >= Size)
            return -1;
        const std::uint8_t Label = P[Pos + 1];
        Pos += 2;
        if (Label == 0xF9 && Pos + 4 < Size && P[Pos] >= 4)
            Index = (P[Pos + 1] & 1) ? P[Pos + 4] : -1;
        while (Pos < Size && P[Pos] != 0)
            Pos += std::size_t(P[Pos]) + 1;
        ++Pos;
    }
    return -1;
}

std::uint32_t OverWhite(std::uint32_t Argb)
{
    const std::uint32_t A = Argb >> 24;
    std::uint32_t Out = 0;
    for (int Shift = 0; Shift <= 16; Shift += 8) {
        const std::uint32_t C = (Argb >> Shift) & 0xFF;
        Out |= ((C * A + 255 * (255 - A) + 127) / 255) << Shift;
    }
    return Out;
}

// The colours a screen of few colours can show: the given palette's, else for 16 colours the
// standard sixteen. Empty: any colour.
std::vector<std::uint32_t> TargetColours(int DepthClass, HPALETTE Palette)
{
    std::vector<std::uint32_t> Out;
    if (DepthClass > 8)
        return Out;
    if (Palette) {
        WORD Count = 0;
        if (GetObject(Palette, sizeof(Count), &Count) > 0 && Count > 0) {
            std::vector<PALETTEENTRY> Entries(Count);
            const UINT Got = GetPaletteEntries(Palette, 0, Count, Entries.data());
            for (UINT I = 0; I < Got; ++I)
                Out.push_back(std::uint32_t(Entries[I].peRed) << 16 | std::uint32_t(Entries[I].peGreen) << 8 |
                              Entries[I].peBlue);
        }
    } else if (DepthClass == 4) {
        Out = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
               0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    }
    return Out;
}

class TNearest {
public:
    explicit TNearest(std::vector<std::uint32_t> Colours) : FColours(std::move(Colours)) {}
    bool Active() const { return !FColours.empty(); }
    std::uint32_t operator()(std::uint32_t Rgb)
    {
        auto Known = FSeen.find(Rgb);
        if (Known != FSeen.end())
            return Known->second;
        std::uint32_t Best = FColours.front();
        long BestDistance = -1;
        for (std::uint32_t C : FColours) {
            long D = 0;
            for (int Shift = 0; Shift <= 16; Shift += 8) {
                const long Diff = long((Rgb >> Shift) & 0xFF) - long((C >> Shift) & 0xFF);
                D += Diff * Diff;
            }
            if (BestDistance < 0 || D < BestDistance) {
                BestDistance = D;
                Best = C;
            }
        }
        FSeen.emplace(Rgb, Best);
        return Best;
    }

private:
    std::vector<std::uint32_t> FColours;
    std::unordered_map<std::uint32_t, std::uint32_t> FSeen;
};

HPALETTE CopyPalette(HPALETTE Palette)
{
    WORD Count = 0;
    if (!Palette || GetObject(Palette, sizeof(Count), &Count) <= 0 || Count == 0)
        return nullptr;
    std::vector<unsigned char> Block(sizeof(LOGPALETTE) + Count * sizeof(PALETTEENTRY));
    auto* Log = reinterpret_cast<LOGPALETTE*>(Block.data());
    Log->palVersion = 0x300;
    Log->palNumEntries = Count;
    GetPaletteEntries(Palette, 0, Count, Log->palPalEntry);
    return CreatePalette(Log);
}

HPALETTE PaletteOfColours(const std::vector<std::uint32_t>& Colours)
{
    if (Colours.empty() || Colours.size() > 256)
        return nullptr;
    std::vector<unsigned char> Block(sizeof(LOGPALETTE) + Colours.size() * sizeof(PALETTEENTRY));
    auto* Log = reinterpret_cast<LOGPALETTE*>(Block.data());
    Log->palVersion = 0x300;
    Log->palNumEntries = WORD(Colours.size());
    for (std::size_t I = 0; I < Colours.size(); ++I) {
        Log->palPalEntry[I].peRed = BYTE(Colours[I] >> 16);
        Log->palPalEntry[I].peGreen = BYTE(Colours[I] >> 8);
        Log->palPalEntry[I].peBlue = BYTE(Colours[I]);
        Log->palPalEntry[I].peFlags = 0;
    }
    return CreatePalette(Log);
}

// The decoder. It writes *Bitmap and *Palette only on success; the palette it hands out is a
// new one, the caller's to own.
std::int16_t Decode(TEntryKind Kind, const void* Data, std::size_t Size, int DepthClass, HBITMAP* Bitmap,
                    HPALETTE* Palette, const TImgProgress& Progress)
{
    auto GoOn = [&] { return !Progress || Progress() != 0; };
    if (!GoOn())
        return DecodeStopped;
    const auto* Bytes = static_cast<const std::uint8_t*>(Data);
    if (!Bytes || !IsOfKind(Bytes, Size, Kind))
        return DecodeWrongKind;
    try {
        const TDibImage Image = DecodeImage(Data, Size);
        if (Image.Empty())
            return DecodeInvalid;
        if (!GoOn())
            return DecodeStopped;

        bool HasTransparent = false;
        std::uint32_t TransparentRgb = 0;
        if (Kind == TEntryKind::Gif) {
            const int Index = GifTransparentIndex(Bytes, Size);
            if (Index >= 0 && std::size_t(Index) < Image.Palette.size()) {
                HasTransparent = true;
                TransparentRgb = Image.Palette[std::size_t(Index)] & 0xFFFFFF;
            }
        }
        TNearest Nearest(TargetColours(DepthClass, *Palette));

        const int W = Image.Width, H = Image.Height;
        const std::size_t Stride = (std::size_t(W) * 3 + 1) & ~std::size_t(1); // rows padded to 16 bits
        std::vector<std::uint8_t> Bits(Stride * std::size_t(H));
        for (int Y = 0; Y < H; ++Y) {
            if (Y > 0 && Y % RowsPerPoll == 0 && !GoOn())
                return DecodeStopped;
            std::uint8_t* Row = Bits.data() + Stride * std::size_t(Y);
            for (int X = 0; X < W; ++X) {
                const std::uint32_t P = Image.Pixel(X, Y);
                std::uint32_t Rgb = P & 0xFFFFFF;
                if ((P >> 24) != 0xFF) {
                    if (Kind == TEntryKind::Png)
                        Rgb = OverWhite(P);
                    else if (Kind == TEntryKind::Gif && HasTransparent && (P >> 24) < 0x80)
                        Rgb = TransparentRgb;
                }
                if (Nearest.Active())
                    Rgb = Nearest(Rgb);
                Row[3 * X] = std::uint8_t(Rgb);
                Row[3 * X + 1] = std::uint8_t(Rgb >> 8);
                Row[3 * X + 2] = std::uint8_t(Rgb >> 16);
            }
        }
        HBITMAP Made = CreateBitmap(W, H, 1, 24, Bits.data());
        if (!Made)
            return DecodeNoMemory;
        HPALETTE Out = *Palette ? CopyPalette(*Palette) : nullptr;
        if (!Out && DepthClass <= 8)
            Out = PaletteOfColours(Image.Palette);
        *Bitmap = Made;
        *Palette = Out;
        return DecodeDone;
    } catch (const EInvalidGraphic&) {
        return DecodeInvalid;
    } catch (const std::bad_alloc&) {
        return DecodeNoMemory;
    }
}

std::int16_t DecodeFile(TEntryKind Kind, const std::string& FileName, int DepthClass, HBITMAP* Bitmap,
                        HPALETTE* Palette, const TImgProgress& Progress)
{
    TMemoryStream Stream;
    try {
        Stream.LoadFromFile(FileName);
    } catch (const Exception&) {
        return DecodeInvalid;
    }
    return Decode(Kind, Stream.Memory(), std::size_t(Stream.Size()), DepthClass, Bitmap, Palette, Progress);
}

// A successful decode goes into the bitmap: the handle first, as taking a handle drops the
// bitmap's old palette, then the palette.
bool Store(std::int16_t Result, HBITMAP Handle, HPALETTE Palette, TBitmap* Bitmap)
{
    if (Result < 1)
        return false;
    Bitmap->SetHandle(Handle);
    Bitmap->SetPalette(Palette);
    return true;
}

bool LoadFile(TEntryKind Kind, const std::string& FileName, int DepthClass, const TImgProgress& Progress,
              TBitmap* Bitmap)
{
    if (!Bitmap)
        return false;
    HBITMAP Handle = nullptr;
    HPALETTE Palette = DecoderPalette;
    const std::int16_t Result = DecodeFile(Kind, FileName, DepthClass, &Handle, &Palette, Progress);
    return Store(Result, Handle, Palette, Bitmap);
}

bool LoadStream(TEntryKind Kind, TMemoryStream* Stream, int DepthClass, const TImgProgress& Progress,
                TBitmap* Bitmap)
{
    if (!Bitmap || !Stream || !Stream->Memory() || Stream->Size() < 1)
        return false;
    HBITMAP Handle = nullptr;
    HPALETTE Palette = DecoderPalette;
    const std::int16_t Result =
        Decode(Kind, Stream->Memory(), std::size_t(Stream->Size()), DepthClass, &Handle, &Palette, Progress);
    return Store(Result, Handle, Palette, Bitmap);
}

} // namespace

// The decode flag and the options word select nothing in this decoder; they are part of the
// calls all the same, so the callers stay as they are written.
bool LoadBmpFile(const std::string& FileName, int DepthClass, int, const TImgProgress& Progress,
                 TBitmap* Bitmap)
{
    return LoadFile(TEntryKind::Bmp, FileName, DepthClass, Progress, Bitmap);
}
bool LoadGifFile(const std::string& FileName, int DepthClass, int, const TImgProgress& Progress,
                 TBitmap* Bitmap)
{
    return LoadFile(TEntryKind::Gif, FileName, DepthClass, Progress, Bitmap);
}
bool LoadJpegFile(const std::string& FileName, int DepthClass, int, const TImgProgress& Progress,
                  TBitmap* Bitmap)
{
    return LoadFile(TEntryKind::Jpeg, FileName, DepthClass, Progress, Bitmap);
}
bool LoadPngFile(const std::string& FileName, int DepthClass, int, const TImgProgress& Progress,
                 TBitmap* Bitmap)
{
    return LoadFile(TEntryKind::Png, FileName, DepthClass, Progress, Bitmap);
}

bool LoadBmpStream(TMemoryStream* Stream, int DepthClass, int, const TImgProgress& Progress, TBitmap* Bitmap)
{
    return LoadStream(TEntryKind::Bmp, Stream, DepthClass, Progress, Bitmap);
}
bool LoadGifStream(TMemoryStream* Stream, int DepthClass, int, const TImgProgress& Progress, TBitmap* Bitmap)
{
    return LoadStream(TEntryKind::Gif, Stream, DepthClass, Progress, Bitmap);
}
bool LoadJpegStream(TMemoryStream* Stream, int DepthClass, int, const TImgProgress& Progress, TBitmap* Bitmap)
{
    return LoadStream(TEntryKind::Jpeg, Stream, DepthClass, Progress, Bitmap);
}
bool LoadPngStream(TMemoryStream* Stream, int DepthClass, int, const TImgProgress& Progress, TBitmap* Bitmap)
{
    return LoadStream(TEntryKind::Png, Stream, DepthClass, Progress, Bitmap);
}

} // namespace ImgDecode
