#include "platform/graphics/ImageCodecs.h"
#include "platform/graphics/PngWriter.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <limits>
#include <optional>
#include <unordered_map>

namespace {

// Beyond this many pixels an image is treated as corrupt: a small run-length stream could
// otherwise ask for gigabytes. Matches the toolkit readers' own allocation limit.
constexpr std::uint64_t MaxImagePixels = std::uint64_t(1) << 26;

// Each kind names itself, so a user told a file cannot be loaded learns what it claimed to be.
const char* const SUnknownImage = "Unknown picture format";
const char* const SInvalidPng = "PNG image is not valid";
const char* const SInvalidJpeg = "JPEG image is not valid";
const char* const SInvalidGif = "GIF image is not valid";
const char* const SInvalidBitmap = "Bitmap image is not valid";
const char* const SInvalidIcon = "Icon image is not valid";

[[noreturn]] void Fail(const char* Msg)
{
    throw EInvalidGraphic(Msg);
}

// Bounds-checked little-endian access to a byte range; every read outside it fails the image.
class TBytes {
public:
    TBytes(const void* Data, std::size_t Size, const char* Error)
        : FData(static_cast<const std::uint8_t*>(Data)), FSize(Data ? Size : 0), FError(Error)
    {
    }
    std::size_t Size() const { return FSize; }
    const std::uint8_t* Ptr(std::size_t Offset, std::size_t Count) const
    {
        Need(Offset, Count);
        return FData + Offset;
    }
    bool Has(std::size_t Offset, std::size_t Count) const
    {
        return Offset <= FSize && Count <= FSize - Offset;
    }
    void Need(std::size_t Offset, std::size_t Count) const
    {
        if (!Has(Offset, Count))
            Fail(FError);
    }
    std::uint8_t U8(std::size_t Offset) const { return *Ptr(Offset, 1); }
    std::uint16_t U16(std::size_t Offset) const
    {
        const std::uint8_t* p = Ptr(Offset, 2);
        return std::uint16_t(p[0] | (p[1] << 8));
    }
    std::uint32_t U32(std::size_t Offset) const
    {
        const std::uint8_t* p = Ptr(Offset, 4);
        return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
               (std::uint32_t(p[3]) << 24);
    }
    std::int32_t I32(std::size_t Offset) const { return std::int32_t(U32(Offset)); }
    TBytes Sub(std::size_t Offset, std::size_t Count) const
    {
        return TBytes(Ptr(Offset, Count), Count, FError);
    }
    TBytes From(std::size_t Offset) const
    {
        Need(Offset, 0);
        return TBytes(FData + Offset, FSize - Offset, FError);
    }
    const char* Error() const { return FError; }

private:
    const std::uint8_t* FData;
    std::size_t FSize;
    const char* FError;
};

void CheckDimensions(std::int64_t Width, std::int64_t Height, const char* Error)
{
    if (Width <= 0 || Height <= 0 || Width > MaxImageSide || Height > MaxImageSide ||
        std::uint64_t(Width) * std::uint64_t(Height) > MaxImagePixels)
        Fail(Error);
}

void AllocatePixels(TDibImage& Image, std::uint32_t Fill)
{
    Image.Pixels.assign(std::size_t(Image.Width) * std::size_t(Image.Height), Fill);
}

bool AnyAlphaBelowOpaque(const std::vector<std::uint32_t>& Pixels)
{
    return std::any_of(Pixels.begin(), Pixels.end(), [](std::uint32_t p) { return (p >> 24) != 0xFF; });
}

// ---------------------------------------------------------------------------------------
// BMP reading

enum : std::uint32_t { BI_RGB_ = 0, BI_RLE8_ = 1, BI_RLE4_ = 2, BI_BITFIELDS_ = 3, BI_ALPHABITFIELDS_ = 6 };

struct TChannel {
    std::uint32_t Mask = 0;
    int Shift = 0;
    std::uint32_t Max = 0;
    static TChannel Of(std::uint32_t Mask)
    {
        TChannel c;
        c.Mask = Mask;
        if (Mask) {
            c.Shift = std::countr_zero(Mask);
            c.Max = Mask >> c.Shift;
        }
        return c;
    }
    // The channel value scaled to 0..255.
    std::uint32_t Get(std::uint32_t Pixel) const
    {
        if (!Mask)
            return 0;
        std::uint64_t v = (Pixel & Mask) >> Shift;
        return std::uint32_t((v * 255 + Max / 2) / Max);
    }
};

struct TDibHeader {
    std::uint32_t HeaderSize = 0;
    std::int64_t Width = 0, Height = 0; // Height is positive; TopDown tells the row order
    bool TopDown = false;
    int Bpp = 0;
    std::uint32_t Compression = BI_RGB_;
    std::uint32_t ColorsUsed = 0;
    bool Core = false;
    std::uint32_t RedMask = 0, GreenMask = 0, BlueMask = 0, AlphaMask = 0;
    bool HasMasks = false;
    std::size_t PaletteOffset = 0; // within the DIB: after the header and any separate masks
    std::size_t PaletteEntries = 0;
    std::size_t PaletteBytes = 0; // colour table size in the data (entries * 3 or 4)
};

// Reads the info header at the start of Dib. IconHeight halves the height (icon entries hold
// the colour bits and the AND mask in one DIB of double height).
TDibHeader ReadDibHeader(const TBytes& Dib, bool IconHeight)
{
    TDibHeader h;
    h.HeaderSize = Dib.U32(0);
    if (h.HeaderSize == 12) {
        Dib.Need(0, 12);
        h.Core = true;
        h.Width = Dib.U16(4);
        h.Height = Dib.U16(6);
        if (Dib.U16(8) != 1)
            Fail(Dib.Error());
        h.Bpp = Dib.U16(10);
    } else if (h.HeaderSize >= 40 && h.HeaderSize <= 4096) {
        Dib.Need(0, h.HeaderSize);
        h.Width = Dib.I32(4);
        std::int32_t height = Dib.I32(8);
        if (height == std::numeric_limits<std::int32_t>::min())
            Fail(Dib.Error());
        h.TopDown = height < 0;
        h.Height = height < 0 ? -std::int64_t(height) : height;
        if (Dib.U16(12) != 1)
            Fail(Dib.Error());
        h.Bpp = Dib.U16(14);
        h.Compression = Dib.U32(16);
        h.ColorsUsed = Dib.U32(32);
    } else {
        Fail(Dib.Error());
    }
    if (IconHeight)
        h.Height /= 2;
    CheckDimensions(h.Width, h.Height, Dib.Error());

    switch (h.Bpp) {
    case 1:
    case 4:
    case 8:
    case 24:
        break;
    case 16:
    case 32:
        if (h.Core)
            Fail(Dib.Error());
        break;
    default:
        Fail(Dib.Error());
    }

    std::size_t pos = h.HeaderSize;
    switch (h.Compression) {
    case BI_RGB_:
        if (h.Bpp == 16) {
            h.RedMask = 0x7C00, h.GreenMask = 0x03E0, h.BlueMask = 0x001F;
        } else if (h.Bpp == 32) {
            h.RedMask = 0xFF0000, h.GreenMask = 0xFF00, h.BlueMask = 0xFF;
        }
        break;
    case BI_RLE8_:
        if (h.Bpp != 8 || h.TopDown)
            Fail(Dib.Error());
        break;
    case BI_RLE4_:
        if (h.Bpp != 4 || h.TopDown)
            Fail(Dib.Error());
        break;
    case BI_BITFIELDS_:
    case BI_ALPHABITFIELDS_: {
        if (h.Bpp != 16 && h.Bpp != 32)
            Fail(Dib.Error());
        h.HasMasks = true;
        bool withAlpha = h.Compression == BI_ALPHABITFIELDS_;
        // Masks live inside a V2 and later header, else right after the 40-byte one.
        std::size_t maskPos = 40;
        std::size_t maskCount = withAlpha ? 4 : 3;
        if (h.HeaderSize >= 40 + 4 * maskCount) {
            pos = h.HeaderSize;
        } else if (h.HeaderSize == 40) {
            pos = 40 + 4 * maskCount;
        } else {
            Fail(Dib.Error());
        }
        h.RedMask = Dib.U32(maskPos);
        h.GreenMask = Dib.U32(maskPos + 4);
        h.BlueMask = Dib.U32(maskPos + 8);
        if (withAlpha || h.HeaderSize >= 56)
            h.AlphaMask = Dib.U32(maskPos + 12);
        break;
    }
    default:
        Fail(Dib.Error()); // embedded JPEG/PNG and the rest are not bitmaps we read
    }
    // An alpha mask in a V3+ header applies to plain 32-bit data too.
    if (h.Compression == BI_RGB_ && h.Bpp == 32 && h.HeaderSize >= 56)
        h.AlphaMask = Dib.U32(52);

    h.PaletteOffset = pos;
    std::size_t entrySize = h.Core ? 3 : 4;
    if (h.Bpp <= 8) {
        std::size_t full = std::size_t(1) << h.Bpp;
        std::size_t stored = h.ColorsUsed ? h.ColorsUsed : full;
        if (h.ColorsUsed > (1u << 16))
            Fail(Dib.Error());
        h.PaletteEntries = std::min(stored, full);
        h.PaletteBytes = stored * entrySize;
    } else {
        if (h.ColorsUsed > (1u << 16))
            Fail(Dib.Error());
        h.PaletteBytes = std::size_t(h.ColorsUsed) * entrySize;
    }
    return h;
}

std::vector<std::uint32_t> ReadPalette(const TBytes& Dib, const TDibHeader& h)
{
    std::vector<std::uint32_t> palette;
    std::size_t entrySize = h.Core ? 3 : 4;
    Dib.Need(h.PaletteOffset, h.PaletteEntries * entrySize);
    palette.reserve(h.PaletteEntries);
    for (std::size_t i = 0; i < h.PaletteEntries; ++i) {
        const std::uint8_t* p = Dib.Ptr(h.PaletteOffset + i * entrySize, 3);
        palette.push_back((std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0]);
    }
    return palette;
}

std::uint64_t RowStride(std::int64_t Width, int Bpp)
{
    return ((std::uint64_t(Width) * Bpp + 31) / 32) * 4;
}

// The last row's padding may be missing; everything else must be there.
void CheckRawBitsSize(const TBytes& Bits, const TDibHeader& h)
{
    const std::uint64_t stride = RowStride(h.Width, h.Bpp);
    const std::uint64_t lastRow = (std::uint64_t(h.Width) * h.Bpp + 7) / 8;
    if (std::uint64_t(Bits.Size()) < stride * (h.Height - 1) + lastRow)
        Fail(Bits.Error());
}

// Uncompressed pixel rows from Bits into Image (already sized); Image.Palette holds the table.
void ReadRawBits(const TBytes& Bits, const TDibHeader& h, TDibImage& Image)
{
    CheckRawBitsSize(Bits, h);
    const std::uint64_t stride = RowStride(h.Width, h.Bpp);
    const std::uint64_t lastRow = (std::uint64_t(h.Width) * h.Bpp + 7) / 8;
    const std::uint32_t black = 0xFF000000;
    const auto& pal = Image.Palette;
    auto palColor = [&](std::uint32_t index) {
        return index < pal.size() ? (0xFF000000 | pal[index]) : black;
    };
    TChannel r = TChannel::Of(h.RedMask), g = TChannel::Of(h.GreenMask), b = TChannel::Of(h.BlueMask),
             a = TChannel::Of(h.AlphaMask);
    const int w = Image.Width;
    for (int y = 0; y < Image.Height; ++y) {
        const std::uint8_t* row = Bits.Ptr(std::size_t(stride * y), std::size_t(lastRow));
        int destY = h.TopDown ? y : Image.Height - 1 - y;
        std::uint32_t* out = Image.Pixels.data() + std::size_t(destY) * w;
        switch (h.Bpp) {
        case 1:
            for (int x = 0; x < w; ++x)
                out[x] = palColor((row[x >> 3] >> (7 - (x & 7))) & 1);
            break;
        case 4:
            for (int x = 0; x < w; ++x)
                out[x] = palColor((x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4));
            break;
        case 8:
            for (int x = 0; x < w; ++x)
                out[x] = palColor(row[x]);
            break;
        case 24:
            for (int x = 0; x < w; ++x) {
                const std::uint8_t* p = row + 3 * x;
                out[x] = 0xFF000000 | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
            }
            break;
        case 16:
        case 32:
            for (int x = 0; x < w; ++x) {
                std::uint32_t v;
                if (h.Bpp == 16) {
                    v = std::uint32_t(row[2 * x] | (row[2 * x + 1] << 8));
                } else {
                    const std::uint8_t* p = row + 4 * x;
                    v = std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
                        (std::uint32_t(p[3]) << 24);
                }
                std::uint32_t alpha = a.Mask ? a.Get(v) : 0xFF;
                out[x] = (alpha << 24) | (r.Get(v) << 16) | (g.Get(v) << 8) | b.Get(v);
            }
            break;
        }
    }
}

// Run-length encoded rows (always bottom-up). Pixels the stream skips keep colour 0.
void ReadRleBits(const TBytes& Bits, const TDibHeader& h, TDibImage& Image)
{
    const bool four = h.Compression == BI_RLE4_;
    const auto& pal = Image.Palette;
    auto palColor = [&](std::uint32_t index) {
        return index < pal.size() ? (0xFF000000 | pal[index]) : std::uint32_t(0xFF000000);
    };
    std::fill(Image.Pixels.begin(), Image.Pixels.end(), palColor(0));
    const std::int64_t w = Image.Width, hgt = Image.Height;
    std::int64_t x = 0, y = 0; // y counts from the bottom row
    auto put = [&](std::uint32_t index) {
        if (x < w && y < hgt)
            Image.Pixels[std::size_t((hgt - 1 - y) * w + x)] = palColor(index);
        ++x;
    };
    std::size_t pos = 0;
    const std::size_t size = Bits.Size();
    while (true) {
        if (pos + 2 > size) {
            // A stream may stop once every row is written; earlier it is truncated.
            if (y >= hgt)
                return;
            Fail(Bits.Error());
        }
        std::uint8_t count = Bits.U8(pos), value = Bits.U8(pos + 1);
        pos += 2;
        if (count > 0) {
            for (int i = 0; i < count; ++i)
                put(four ? ((i & 1) ? (value & 0x0F) : (value >> 4)) : value);
            continue;
        }
        switch (value) {
        case 0: // end of line
            x = 0;
            ++y;
            break;
        case 1: // end of bitmap
            return;
        case 2: // delta
            if (pos + 2 > size)
                Fail(Bits.Error());
            x += Bits.U8(pos);
            y += Bits.U8(pos + 1);
            pos += 2;
            break;
        default: { // absolute run of 'value' pixels, padded to a 16-bit boundary
            std::size_t bytes = four ? (value + 1) / 2 : value;
            Bits.Need(pos, bytes);
            for (int i = 0; i < value; ++i) {
                std::uint8_t byte = Bits.U8(pos + (four ? i / 2 : i));
                put(four ? ((i & 1) ? (byte & 0x0F) : (byte >> 4)) : byte);
            }
            pos += (bytes + 1) & ~std::size_t(1);
            break;
        }
        }
        if (y > hgt) // far past the top: nothing more can land
            return;
    }
}

// Decodes the DIB whose header is at the start of Dib; Bits is where the pixel rows are.
TDibImage DecodeDibParts(const TBytes& Dib, const TDibHeader& h, const TBytes& Bits)
{
    TDibImage image;
    image.Width = int(h.Width);
    image.Height = int(h.Height);
    image.BitsPerPixel = h.Bpp;
    if (h.Bpp <= 8)
        image.Palette = ReadPalette(Dib, h);
    const bool rle = h.Compression == BI_RLE4_ || h.Compression == BI_RLE8_;
    if (!rle)
        CheckRawBitsSize(Bits, h); // before allocating for a size the data cannot hold
    AllocatePixels(image, 0xFF000000);
    if (rle)
        ReadRleBits(Bits, h, image);
    else
        ReadRawBits(Bits, h, image);
    if (h.Bpp == 32 && h.AlphaMask == 0 && h.Compression == BI_RGB_) {
        // Plain 32-bit data keeps alpha in its fourth byte by common use; all zero means none.
        bool any = false;
        const std::uint64_t stride = RowStride(h.Width, 32);
        for (int y = 0; y < image.Height && !any; ++y) {
            const std::uint8_t* row = Bits.Ptr(std::size_t(stride * y), std::size_t(4 * h.Width));
            for (int x = 0; x < image.Width; ++x)
                if (row[4 * x + 3]) {
                    any = true;
                    break;
                }
        }
        if (any) {
            for (int y = 0; y < image.Height; ++y) {
                const std::uint8_t* row = Bits.Ptr(std::size_t(stride * y), std::size_t(4 * h.Width));
                int destY = h.TopDown ? y : image.Height - 1 - y;
                std::uint32_t* out = image.Pixels.data() + std::size_t(destY) * image.Width;
                for (int x = 0; x < image.Width; ++x)
                    out[x] = (out[x] & 0x00FFFFFF) | (std::uint32_t(row[4 * x + 3]) << 24);
            }
        }
    }
    image.HasAlpha = AnyAlphaBelowOpaque(image.Pixels);
    return image;
}

TDibImage DecodeBmpFile(const void* Data, std::size_t Size)
{
    TBytes file(Data, Size, SInvalidBitmap);
    if (file.Size() < 14 + 12 || file.U8(0) != 'B' || file.U8(1) != 'M')
        Fail(SInvalidBitmap);
    std::uint32_t offBits = file.U32(10);
    TBytes dib = file.From(14);
    TDibHeader h = ReadDibHeader(dib, false);
    std::size_t afterPalette = h.PaletteOffset + h.PaletteBytes;
    std::size_t bitsAt;
    if (offBits == 0) {
        bitsAt = afterPalette;
    } else {
        if (offBits < 14 + h.PaletteOffset)
            Fail(SInvalidBitmap);
        bitsAt = offBits - 14;
    }
    return DecodeDibParts(dib, h, dib.From(bitsAt));
}

// ---------------------------------------------------------------------------------------
// PNG, JPEG, GIF through the toolkit

QImage ReadWithToolkit(const void* Data, std::size_t Size, const char* Format, const char* Error)
{
    if (Size > std::size_t(std::numeric_limits<int>::max()))
        Fail(Error);
    QByteArray bytes = QByteArray::fromRawData(static_cast<const char*>(Data), qsizetype(Size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, Format);
    reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(false);
    QSize size = reader.size();
    if (size.isValid())
        CheckDimensions(size.width(), size.height(), Error);
    QImage image;
    if (!reader.read(&image) || image.isNull())
        Fail(Error);
    CheckDimensions(image.width(), image.height(), Error);
    return image;
}

TDibImage FromQImage(const QImage& Source, int SourceBpp, const char* Error)
{
    TDibImage out;
    out.Width = Source.width();
    out.Height = Source.height();
    out.BitsPerPixel = SourceBpp;
    if (Source.format() == QImage::Format_Indexed8 || Source.format() == QImage::Format_Mono ||
        Source.format() == QImage::Format_MonoLSB) {
        for (QRgb c : Source.colorTable())
            out.Palette.push_back(std::uint32_t(c) & 0x00FFFFFF);
        if (out.Palette.size() <= 2 && Source.depth() == 1)
            out.BitsPerPixel = 1;
    }
    QImage argb = Source.convertToFormat(QImage::Format_ARGB32);
    if (argb.isNull())
        Fail(Error);
    AllocatePixels(out, 0);
    for (int y = 0; y < out.Height; ++y)
        std::memcpy(out.Pixels.data() + std::size_t(y) * out.Width, argb.constScanLine(y),
                    std::size_t(out.Width) * 4);
    out.HasAlpha = AnyAlphaBelowOpaque(out.Pixels);
    return out;
}

// The end-of-image marker must follow the scan data; the toolkit would show a cut file grey.
// The segments before the first scan are walked by their lengths, so a thumbnail inside an
// application segment (with its own scan and end marker) does not count.
void CheckJpegComplete(const TBytes& b)
{
    std::size_t pos = 2; // after the start-of-image marker
    while (true) {
        if (b.U8(pos) != 0xFF)
            Fail(b.Error());
        std::uint8_t marker = b.U8(pos + 1);
        if (marker == 0xFF) { // fill byte
            ++pos;
            continue;
        }
        pos += 2;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8))
            continue; // markers without a length
        if (marker == 0xD9)
            Fail(b.Error()); // ends before any scan
        std::size_t length = (std::size_t(b.U8(pos)) << 8) | b.U8(pos + 1);
        if (length < 2)
            Fail(b.Error());
        b.Need(pos, length);
        pos += length;
        if (marker == 0xDA)
            break;
    }
    const std::uint8_t* p = b.Ptr(0, b.Size());
    for (std::size_t i = pos; i + 1 < b.Size(); ++i)
        if (p[i] == 0xFF && p[i + 1] == 0xD9)
            return;
    Fail(b.Error());
}

// The toolkit reader accepts a cut file as a partial frame, so the first image's data must be
// whole. Returns the colour table that frame uses (its own, else the global one).
std::vector<std::uint32_t> CheckGifComplete(const TBytes& b)
{
    auto readTable = [&](std::size_t At, std::uint8_t Flags) {
        std::size_t n = std::size_t(1) << ((Flags & 7) + 1);
        b.Need(At, 3 * n);
        std::vector<std::uint32_t> table;
        for (std::size_t i = 0; i < n; ++i)
            table.push_back(std::uint32_t(b.U8(At + 3 * i)) << 16 | std::uint32_t(b.U8(At + 3 * i + 1)) << 8 |
                            b.U8(At + 3 * i + 2));
        return table;
    };
    std::size_t pos = 13;
    std::uint8_t flags = b.U8(10);
    std::vector<std::uint32_t> palette;
    if (flags & 0x80) {
        palette = readTable(pos, flags);
        pos += 3 * palette.size();
    }
    auto skipSubBlocks = [&]() {
        while (true) {
            std::uint8_t n = b.U8(pos);
            ++pos;
            if (n == 0)
                return;
            b.Need(pos, n);
            pos += n;
        }
    };
    while (true) {
        std::uint8_t kind = b.U8(pos);
        if (kind == 0x21) { // extension
            b.Need(pos, 2);
            pos += 2;
            skipSubBlocks();
        } else if (kind == 0x2C) { // image descriptor
            std::uint8_t f = b.U8(pos + 9);
            pos += 10;
            if (f & 0x80) {
                palette = readTable(pos, f);
                pos += 3 * palette.size();
            }
            b.U8(pos); // LZW minimum code size
            ++pos;
            skipSubBlocks();
            return palette;
        } else {
            Fail(b.Error()); // trailer or junk before any image
        }
    }
}

TDibImage DecodeWithToolkit(const void* Data, std::size_t Size, TImageKind Kind)
{
    switch (Kind) {
    case TImageKind::Png: {
        QImage img = ReadWithToolkit(Data, Size, "png", SInvalidPng);
        int bpp = img.format() == QImage::Format_Indexed8 ? 8
                  : img.format() == QImage::Format_Mono   ? 1
                  : img.hasAlphaChannel()                 ? 32
                                                          : 24;
        return FromQImage(img, bpp, SInvalidPng);
    }
    case TImageKind::Jpeg:
        CheckJpegComplete(TBytes(Data, Size, SInvalidJpeg));
        return FromQImage(ReadWithToolkit(Data, Size, "jpeg", SInvalidJpeg), 24, SInvalidJpeg);
    case TImageKind::Gif: {
        std::vector<std::uint32_t> palette = CheckGifComplete(TBytes(Data, Size, SInvalidGif));
        TDibImage image = FromQImage(ReadWithToolkit(Data, Size, "gif", SInvalidGif), 8, SInvalidGif);
        image.Palette = std::move(palette);
        return image;
    }
    default:
        Fail(SUnknownImage);
    }
}

// ---------------------------------------------------------------------------------------
// ICO / CUR reading

constexpr std::uint8_t PngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

struct TIconDirEntry {
    int Width, Height;
    std::uint16_t PlanesOrHotX, BppOrHotY;
    std::uint32_t Bytes, Offset;
};

std::vector<TIconDirEntry> ReadIconDirectory(const TBytes& File, bool& IsCursor)
{
    if (File.Size() < 6 || File.U16(0) != 0)
        Fail(SInvalidIcon);
    std::uint16_t type = File.U16(2);
    if (type != 1 && type != 2)
        Fail(SInvalidIcon);
    IsCursor = type == 2;
    std::uint16_t count = File.U16(4);
    if (count == 0)
        Fail(SInvalidIcon);
    File.Need(6, std::size_t(count) * 16);
    std::vector<TIconDirEntry> entries;
    // Entries of real files never share data; refusing overlap keeps the work linear in the
    // file size (a small file could otherwise name one large image thousands of times).
    std::uint64_t claimed = 0;
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t at = 6 + 16 * i;
        TIconDirEntry e;
        e.Width = File.U8(at) ? File.U8(at) : 256;
        e.Height = File.U8(at + 1) ? File.U8(at + 1) : 256;
        e.PlanesOrHotX = File.U16(at + 4);
        e.BppOrHotY = File.U16(at + 6);
        e.Bytes = File.U32(at + 8);
        e.Offset = File.U32(at + 12);
        File.Need(e.Offset, e.Bytes);
        claimed += e.Bytes;
        if (claimed > File.Size())
            Fail(SInvalidIcon);
        entries.push_back(e);
    }
    return entries;
}

TIconImage DecodeIconEntry(const TBytes& File, const TIconDirEntry& e, bool IsCursor)
{
    TBytes data = File.Sub(e.Offset, e.Bytes);
    TIconImage out;
    out.IsCursor = IsCursor;
    if (IsCursor) {
        out.HotSpotX = e.PlanesOrHotX;
        out.HotSpotY = e.BppOrHotY;
    }
    if (data.Size() >= 8 && std::memcmp(data.Ptr(0, 8), PngSignature, 8) == 0) {
        out.IsPng = true;
        out.Image = DecodeWithToolkit(data.Ptr(0, data.Size()), data.Size(), TImageKind::Png);
        out.Mask.resize(out.Image.Pixels.size());
        for (std::size_t i = 0; i < out.Mask.size(); ++i)
            out.Mask[i] = (out.Image.Pixels[i] >> 24) == 0;
    } else {
        TBytes dib(data.Ptr(0, data.Size()), data.Size(), SInvalidIcon);
        TDibHeader h = ReadDibHeader(dib, true);
        if (h.Compression != BI_RGB_ && h.Compression != BI_BITFIELDS_)
            Fail(SInvalidIcon);
        h.TopDown = false; // icon bits are always bottom-up
        std::size_t bitsAt = h.PaletteOffset + h.PaletteBytes;
        TBytes bits = dib.From(bitsAt);
        out.Image = DecodeDibParts(dib, h, bits);
        const int w = out.Image.Width, hgt = out.Image.Height;
        const std::uint64_t colorBytes = RowStride(w, h.Bpp) * hgt;
        const std::uint64_t maskStride = RowStride(w, 1);
        const bool alphaFromColor = out.Image.HasAlpha && h.Bpp == 32;
        out.Mask.assign(std::size_t(w) * hgt, 0);
        bool haveMask = std::uint64_t(bits.Size()) >= colorBytes + maskStride * hgt;
        // 32-bit entries may leave the mask out; every other depth needs it.
        if (!haveMask && !alphaFromColor)
            Fail(SInvalidIcon);
        for (int y = 0; y < hgt; ++y) {
            std::uint32_t* px = out.Image.Pixels.data() + std::size_t(hgt - 1 - y) * w;
            std::uint8_t* mk = out.Mask.data() + std::size_t(hgt - 1 - y) * w;
            const std::uint8_t* row =
                haveMask ? bits.Ptr(std::size_t(colorBytes + maskStride * y), std::size_t(maskStride))
                         : nullptr;
            for (int x = 0; x < w; ++x) {
                if (alphaFromColor) {
                    mk[x] = (px[x] >> 24) == 0;
                } else {
                    bool transparent = (row[x >> 3] >> (7 - (x & 7))) & 1;
                    mk[x] = transparent;
                    // Keep the colour: a set mask bit over a non-black colour inverts the screen.
                    px[x] = (px[x] & 0x00FFFFFF) | (transparent ? 0u : 0xFF000000u);
                }
            }
        }
    }
    out.Image.HasAlpha = true;
    // A hot spot off the image would point the cursor at nothing it shows.
    out.HotSpotX = std::min(out.HotSpotX, out.Image.Width - 1);
    out.HotSpotY = std::min(out.HotSpotY, out.Image.Height - 1);
    return out;
}

std::vector<std::optional<TIconImage>> DecodeIconsTolerant(const void* Data, std::size_t Size, bool Strict)
{
    TBytes file(Data, Size, SInvalidIcon);
    bool isCursor = false;
    std::vector<TIconDirEntry> entries = ReadIconDirectory(file, isCursor);
    std::vector<std::optional<TIconImage>> out;
    // All entries together are held to the one-image limit.
    std::uint64_t total = 0;
    for (const TIconDirEntry& e : entries) {
        std::optional<TIconImage> icon;
        try {
            icon = DecodeIconEntry(file, e, isCursor);
        } catch (const EInvalidGraphic&) {
            if (Strict)
                throw;
        }
        if (icon) {
            total += icon->Image.Pixels.size();
            if (total > MaxImagePixels)
                Fail(SInvalidIcon);
        }
        out.push_back(std::move(icon));
    }
    return out;
}

// ---------------------------------------------------------------------------------------
// BMP writing

void Put16(std::string& s, std::uint32_t v)
{
    s.push_back(char(v & 0xFF));
    s.push_back(char((v >> 8) & 0xFF));
}
void Put32(std::string& s, std::uint32_t v)
{
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

void PutInfoHeader(std::string& s, int Width, int Height, int Bpp, std::uint32_t ImageBytes,
                   std::uint32_t Colors)
{
    Put32(s, 40);
    Put32(s, std::uint32_t(Width));
    Put32(s, std::uint32_t(Height));
    Put16(s, 1);
    Put16(s, std::uint32_t(Bpp));
    Put32(s, BI_RGB_);
    Put32(s, ImageBytes);
    Put32(s, 3780); // 96 pixels per inch
    Put32(s, 3780);
    Put32(s, Colors);
    Put32(s, 0);
}

std::vector<std::uint32_t> FixedPalette(int Bpp)
{
    if (Bpp == 1)
        return {0x000000, 0xFFFFFF};
    if (Bpp == 4)
        return {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0x808080,
                0xC0C0C0, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    std::vector<std::uint32_t> pal;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                pal.push_back(std::uint32_t(r * 51) << 16 | std::uint32_t(g * 51) << 8 |
                              std::uint32_t(b * 51));
    for (int i = 1; i <= 40; ++i) { // greys between the cube's own
        std::uint32_t v = std::uint32_t(i * 255 / 41);
        pal.push_back(v << 16 | v << 8 | v);
    }
    return pal;
}

std::vector<std::uint32_t> ChoosePalette(const TDibImage& Image, int Bpp)
{
    const std::size_t room = std::size_t(1) << Bpp;
    if (!Image.Palette.empty() && Image.Palette.size() <= room)
        return Image.Palette;
    std::vector<std::uint32_t> colours;
    std::unordered_map<std::uint32_t, bool> seen;
    for (std::uint32_t p : Image.Pixels) {
        std::uint32_t c = p & 0x00FFFFFF;
        if (seen.emplace(c, true).second) {
            colours.push_back(c);
            if (colours.size() > room)
                return FixedPalette(Bpp);
        }
    }
    std::sort(colours.begin(), colours.end());
    return colours;
}

std::uint32_t NearestIndex(const std::vector<std::uint32_t>& Palette, std::uint32_t Colour)
{
    std::uint32_t best = 0;
    std::int64_t bestDistance = std::numeric_limits<std::int64_t>::max();
    int r = (Colour >> 16) & 0xFF, g = (Colour >> 8) & 0xFF, b = Colour & 0xFF;
    for (std::size_t i = 0; i < Palette.size(); ++i) {
        std::uint32_t p = Palette[i] & 0x00FFFFFF;
        if (p == Colour)
            return std::uint32_t(i);
        int dr = int((p >> 16) & 0xFF) - r, dg = int((p >> 8) & 0xFF) - g, db = int(p & 0xFF) - b;
        std::int64_t d = std::int64_t(dr) * dr + std::int64_t(dg) * dg + std::int64_t(db) * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = std::uint32_t(i);
        }
    }
    return best;
}

void CheckEncodable(const TDibImage& Image)
{
    if (Image.Empty() || Image.Width > MaxImageSide || Image.Height > MaxImageSide ||
        Image.Pixels.size() != std::size_t(Image.Width) * std::size_t(Image.Height))
        Fail(SInvalidBitmap);
}

// The rows of a DIB, bottom-up and padded.
std::string EncodeBits(const TDibImage& Image, int Bpp, const std::vector<std::uint32_t>& Palette)
{
    const int w = Image.Width, hgt = Image.Height;
    const std::size_t stride = std::size_t(RowStride(w, Bpp));
    std::string bits(stride * hgt, '\0');
    std::unordered_map<std::uint32_t, std::uint32_t> indexOf;
    for (int y = 0; y < hgt; ++y) {
        std::uint8_t* row = reinterpret_cast<std::uint8_t*>(bits.data()) + stride * (hgt - 1 - y);
        const std::uint32_t* src = Image.Pixels.data() + std::size_t(y) * w;
        for (int x = 0; x < w; ++x) {
            std::uint32_t p = src[x];
            if (Bpp <= 8) {
                std::uint32_t c = p & 0x00FFFFFF;
                auto it = indexOf.find(c);
                std::uint32_t index =
                    it != indexOf.end() ? it->second : (indexOf[c] = NearestIndex(Palette, c));
                if (Bpp == 1)
                    row[x >> 3] |= std::uint8_t(index << (7 - (x & 7)));
                else if (Bpp == 4)
                    row[x >> 1] |= std::uint8_t((x & 1) ? index : index << 4);
                else
                    row[x] = std::uint8_t(index);
            } else if (Bpp == 16) {
                std::uint32_t v = (((p >> 19) & 0x1F) << 10) | (((p >> 11) & 0x1F) << 5) | ((p >> 3) & 0x1F);
                row[2 * x] = std::uint8_t(v);
                row[2 * x + 1] = std::uint8_t(v >> 8);
            } else {
                std::uint8_t* q = row + (Bpp / 8) * x;
                q[0] = std::uint8_t(p);
                q[1] = std::uint8_t(p >> 8);
                q[2] = std::uint8_t(p >> 16);
                if (Bpp == 32)
                    q[3] = Image.HasAlpha ? std::uint8_t(p >> 24) : 0xFF;
            }
        }
    }
    return bits;
}

} // namespace

// ---------------------------------------------------------------------------------------

TImageKind SniffImage(const void* Data, std::size_t Size)
{
    if (!Data)
        return TImageKind::Unknown;
    const auto* p = static_cast<const std::uint8_t*>(Data);
    if (Size >= 8 && std::memcmp(p, PngSignature, 8) == 0)
        return TImageKind::Png;
    if (Size >= 3 && p[0] == 0xFF && p[1] == 0xD8 && p[2] == 0xFF)
        return TImageKind::Jpeg;
    if (Size >= 6 && (std::memcmp(p, "GIF87a", 6) == 0 || std::memcmp(p, "GIF89a", 6) == 0))
        return TImageKind::Gif;
    if (Size >= 18 && p[0] == 'B' && p[1] == 'M') {
        std::uint32_t header = std::uint32_t(p[14]) | (std::uint32_t(p[15]) << 8) |
                               (std::uint32_t(p[16]) << 16) | (std::uint32_t(p[17]) << 24);
        if (header == 12 || (header >= 40 && header <= 4096))
            return TImageKind::Bmp;
    }
    if (Size >= 6 && p[0] == 0 && p[1] == 0 && p[3] == 0 && (p[2] == 1 || p[2] == 2) && (p[4] || p[5]))
        return p[2] == 1 ? TImageKind::Ico : TImageKind::Cur;
    return TImageKind::Unknown;
}

TDibImage DecodeImage(const void* Data, std::size_t Size)
{
    switch (SniffImage(Data, Size)) {
    case TImageKind::Bmp:
        return DecodeBmpFile(Data, Size);
    case TImageKind::Png:
        return DecodeWithToolkit(Data, Size, TImageKind::Png);
    case TImageKind::Jpeg:
        return DecodeWithToolkit(Data, Size, TImageKind::Jpeg);
    case TImageKind::Gif:
        return DecodeWithToolkit(Data, Size, TImageKind::Gif);
    case TImageKind::Ico:
    case TImageKind::Cur:
        return DecodeIcon(Data, Size).Image;
    case TImageKind::Unknown:
        break;
    }
    Fail(SUnknownImage);
}

TDibImage DecodeDib(const void* Data, std::size_t Size)
{
    TBytes dib(Data, Size, SInvalidBitmap);
    TDibHeader h = ReadDibHeader(dib, false);
    return DecodeDibParts(dib, h, dib.From(h.PaletteOffset + h.PaletteBytes));
}

TDibImage DecodeDibBits(const void* Info, std::size_t InfoSize, const void* Bits, std::size_t BitsSize)
{
    TBytes dib(Info, InfoSize, SInvalidBitmap);
    TDibHeader h = ReadDibHeader(dib, false);
    return DecodeDibParts(dib, h, TBytes(Bits, BitsSize, SInvalidBitmap));
}

std::string EncodePng(const TDibImage& Image)
{
    CheckEncodable(Image);
    QImage image(Image.Width, Image.Height, Image.HasAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    for (int y = 0; y < Image.Height; ++y)
        std::memcpy(image.scanLine(y), Image.Pixels.data() + std::size_t(y) * std::size_t(Image.Width),
                    std::size_t(Image.Width) * sizeof(std::uint32_t));
    if (!Image.HasAlpha)
        image = image.convertToFormat(QImage::Format_RGB888);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        Fail(SInvalidBitmap);
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}

std::string EncodeBmp(const TDibImage& Image, int BitsPerPixel)
{
    if (BitsPerPixel != 1 && BitsPerPixel != 4 && BitsPerPixel != 8 && BitsPerPixel != 16 &&
        BitsPerPixel != 24 && BitsPerPixel != 32)
        Fail(SInvalidBitmap);
    CheckEncodable(Image);
    std::vector<std::uint32_t> palette;
    if (BitsPerPixel <= 8)
        palette = ChoosePalette(Image, BitsPerPixel);
    std::string bits = EncodeBits(Image, BitsPerPixel, palette);
    const std::size_t headers = 14 + 40 + 4 * palette.size();
    if (headers + bits.size() > std::numeric_limits<std::uint32_t>::max())
        Fail(SInvalidBitmap);
    std::string out;
    out.reserve(headers + bits.size());
    out += "BM";
    Put32(out, std::uint32_t(headers + bits.size()));
    Put32(out, 0);
    Put32(out, std::uint32_t(headers));
    PutInfoHeader(out, Image.Width, Image.Height, BitsPerPixel, std::uint32_t(bits.size()),
                  std::uint32_t(palette.size()));
    for (std::uint32_t c : palette)
        Put32(out, c & 0x00FFFFFF);
    out += bits;
    return out;
}

std::vector<TIconImage> DecodeIconEntries(const void* Data, std::size_t Size)
{
    std::vector<TIconImage> out;
    for (auto& e : DecodeIconsTolerant(Data, Size, true))
        out.push_back(std::move(*e));
    return out;
}

TIconImage DecodeIcon(const void* Data, std::size_t Size, int Width, int Height)
{
    auto entries = DecodeIconsTolerant(Data, Size, false);
    const TIconImage* best = nullptr;
    auto area = [](const TIconImage& i) { return std::int64_t(i.Image.Width) * i.Image.Height; };
    auto deeper = [](const TIconImage& a, const TIconImage& b) {
        return a.Image.BitsPerPixel > b.Image.BitsPerPixel;
    };
    if (Width <= 0 || Height <= 0) {
        for (auto& e : entries)
            if (e && (!best || area(*e) > area(*best) || (area(*e) == area(*best) && deeper(*e, *best))))
                best = &*e;
    } else {
        for (auto& e : entries) // the exact size, deepest first
            if (e && e->Image.Width == Width && e->Image.Height == Height && (!best || deeper(*e, *best)))
                best = &*e;
        if (!best)
            for (auto& e : entries) // else the smallest that is larger
                if (e && e->Image.Width >= Width && e->Image.Height >= Height &&
                    (!best || area(*e) < area(*best) || (area(*e) == area(*best) && deeper(*e, *best))))
                    best = &*e;
        if (!best)
            for (auto& e : entries) // else the largest
                if (e && (!best || area(*e) > area(*best) || (area(*e) == area(*best) && deeper(*e, *best))))
                    best = &*e;
    }
    if (!best)
        Fail(SInvalidIcon);
    return *best;
}

std::string EncodeIcon(const std::vector<TIconImage>& Images)
{
    if (Images.empty() || Images.size() > 0xFFFF)
        Fail(SInvalidIcon);
    const bool cursor = Images.front().IsCursor;
    std::vector<std::string> blobs;
    for (const TIconImage& icon : Images) {
        const TDibImage& img = icon.Image;
        CheckEncodable(img);
        if (img.Width > 256 || img.Height > 256)
            Fail(SInvalidIcon);
        if (!icon.Mask.empty() && icon.Mask.size() != img.Pixels.size())
            Fail(SInvalidIcon);
        const int w = img.Width, hgt = img.Height;
        std::string blob;
        const std::size_t colorStride = std::size_t(w) * 4;
        const std::size_t maskStride = std::size_t(RowStride(w, 1));
        PutInfoHeader(blob, w, hgt * 2, 32, std::uint32_t((colorStride + maskStride) * hgt), 0);
        std::string mask(maskStride * hgt, '\0');
        for (int y = hgt - 1; y >= 0; --y) {
            for (int x = 0; x < w; ++x) {
                std::size_t i = std::size_t(y) * w + x;
                std::uint32_t p = img.Pixels[i];
                bool transparent = icon.Mask.empty() ? (p >> 24) == 0 : icon.Mask[i] != 0;
                std::uint32_t alpha = img.HasAlpha ? (p >> 24) : 0xFF;
                if (transparent && !icon.Mask.empty())
                    alpha = 0;
                Put32(blob, (alpha << 24) | (p & 0x00FFFFFF));
                if (transparent)
                    mask[maskStride * (hgt - 1 - y) + (x >> 3)] |= char(0x80 >> (x & 7));
            }
        }
        blob += mask;
        blobs.push_back(std::move(blob));
    }
    std::string out;
    Put16(out, 0);
    Put16(out, cursor ? 2 : 1);
    Put16(out, std::uint32_t(Images.size()));
    std::size_t offset = 6 + 16 * Images.size();
    for (std::size_t i = 0; i < Images.size(); ++i) {
        const TIconImage& icon = Images[i];
        out.push_back(char(icon.Image.Width == 256 ? 0 : icon.Image.Width));
        out.push_back(char(icon.Image.Height == 256 ? 0 : icon.Image.Height));
        out.push_back(0);
        out.push_back(0);
        Put16(out, cursor ? std::uint32_t(icon.HotSpotX) : 1);
        Put16(out, cursor ? std::uint32_t(icon.HotSpotY) : 32);
        Put32(out, std::uint32_t(blobs[i].size()));
        Put32(out, std::uint32_t(offset));
        offset += blobs[i].size();
    }
    for (const std::string& b : blobs)
        out += b;
    return out;
}
