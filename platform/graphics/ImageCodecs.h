// Image file decoding and encoding into one plain in-memory form. BMP, ICO and CUR are read
// and written here byte by byte; PNG, JPEG and GIF go through the toolkit's readers. The kind
// of a file is always found from its first bytes, never from its name.
#pragma once

#include "platform/rtl/SysUtils.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Raised for any image that cannot be read: unknown kind, corrupt or truncated data, absurd size.
// The message names the kind the signature claimed ("GIF image is not valid"), or says the
// format is unknown.
class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};

// A decoded image. Pixels are always 32-bit 0xAARRGGBB, whatever the source depth; Palette
// keeps the source colour table of a palette image so it can be written back unchanged.
struct TDibImage {
    int Width = 0, Height = 0;
    int BitsPerPixel = 24;              // depth of the source: 1, 4, 8, 16, 24 or 32
    std::vector<std::uint32_t> Palette; // 0x00RRGGBB entries, for BitsPerPixel <= 8
    std::vector<std::uint32_t> Pixels;  // Width*Height, top row first, 0xAARRGGBB
    bool HasAlpha = false;              // false: every pixel's alpha is 0xFF

    bool Empty() const { return Width <= 0 || Height <= 0; }
    std::uint32_t Pixel(int X, int Y) const { return Pixels[std::size_t(Y) * std::size_t(Width) + X]; }
};

enum class TImageKind { Unknown, Bmp, Png, Jpeg, Gif, Ico, Cur };

// Sides larger than this are refused as corrupt rather than allocated.
constexpr int MaxImageSide = 32768;

// Kind of the data from its signature; Unknown when no signature matches.
TImageKind SniffImage(const void* Data, std::size_t Size);
inline TImageKind SniffImage(const std::string& Bytes)
{
    return SniffImage(Bytes.data(), Bytes.size());
}

// Decodes any supported kind (for ICO/CUR: the entry DecodeIcon picks with no wanted size).
// Raises EInvalidGraphic.
TDibImage DecodeImage(const void* Data, std::size_t Size);
inline TDibImage DecodeImage(const std::string& Bytes)
{
    return DecodeImage(Bytes.data(), Bytes.size());
}

// A packed device-independent bitmap: info header, colour table and bits, no file header (the
// form a DIB takes in an icon entry or on the clipboard). Raises EInvalidGraphic.
TDibImage DecodeDib(const void* Data, std::size_t Size);
// The same with the header and colour table (Info) apart from the pixel rows (Bits), as the DIB
// calls of the GDI take them; BI_RLE4/BI_RLE8 rows are accepted too. Raises EInvalidGraphic.
TDibImage DecodeDibBits(const void* Info, std::size_t InfoSize, const void* Bits, std::size_t BitsSize);

// BMP file bytes at BitsPerPixel 1, 4, 8, 16 (5-5-5), 24 or 32. Palette depths use
// Image.Palette when it fits (each pixel mapped to its nearest entry), else the image's own
// colours when few enough, else a fixed palette (black/white, the 16 standard colours, or a
// 6x6x6 cube with greys); the image's own colours are written in ascending 0xRRGGBB order.
// 32 bits keeps the alpha bytes (0xFF when !HasAlpha) in a plain 40-byte-header file. Raises
// EInvalidGraphic for another depth or an empty image.
std::string EncodeBmp(const TDibImage& Image, int BitsPerPixel);

// One image of an icon or cursor file.
struct TIconImage {
    // HasAlpha is true. Pixels the mask makes transparent have alpha 0 but keep their colour:
    // a masked pixel that is not black inverts the screen under it (cursors use this).
    TDibImage Image;
    std::vector<std::uint8_t> Mask; // Width*Height, top row first: 1 = transparent (AND mask)
    int HotSpotX = 0, HotSpotY = 0; // cursors only
    bool IsCursor = false;
    bool IsPng = false; // the entry was stored as PNG
};

// Every entry of an ICO or CUR file, in file order: BMP entries (1 to 32 bits, AND mask below the
// colour rows) and PNG entries. Raises EInvalidGraphic when the directory is corrupt, entries
// overlap, or any entry cannot be decoded.
std::vector<TIconImage> DecodeIconEntries(const void* Data, std::size_t Size);

// The entry that best fits Width x Height: the exact size with the greatest depth; else the
// smallest entry larger than wanted; else the largest. Width/Height 0 means "the largest, then
// the deepest". Entries that cannot be decoded are passed over; EInvalidGraphic when none can.
TIconImage DecodeIcon(const void* Data, std::size_t Size, int Width = 0, int Height = 0);
inline TIconImage DecodeIcon(const std::string& Bytes, int Width = 0, int Height = 0)
{
    return DecodeIcon(Bytes.data(), Bytes.size(), Width, Height);
}

// ICO (or CUR when the first image IsCursor) file bytes; each entry is written as a 32-bit
// BMP-in-ICO with its AND mask (from Mask, or from alpha 0 when Mask is empty). Entries larger
// than 256 per side are refused with EInvalidGraphic.
std::string EncodeIcon(const std::vector<TIconImage>& Images);
