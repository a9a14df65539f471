// Picture files made byte by byte for the image tests, independently of the decoders under test:
// GIFs (a clear code before every pixel keeps the codes at one width), PNGs (stored deflate
// blocks), 24-bit BMPs in the Windows and the older OS/2 form. Colours are 0xRRGGBB, 0xAARRGGBB
// for PNG.
#pragma once

#include "platform/graphics/Graphics.h"
#include "platform/testing/TestSupport.h"

#include <cstdint>
#include <string>
#include <vector>

namespace image_fixtures {

inline void Put16(std::string& S, unsigned V)
{
    S += char(V & 0xFF);
    S += char((V >> 8) & 0xFF);
}
inline void Put32(std::string& S, std::uint32_t V)
{
    Put16(S, V & 0xFFFF);
    Put16(S, V >> 16);
}
inline void Put32BE(std::string& S, std::uint32_t V)
{
    for (int Shift = 24; Shift >= 0; Shift -= 8)
        S += char((V >> Shift) & 0xFF);
}

struct TGifSpec {
    int Width = 1, Height = 1;
    std::vector<std::uint32_t> Colours; // the global colour table
    std::vector<int> Indices;           // Width * Height, top row first
    int Transparent = -1;               // the transparent index, -1 for none
    bool Gif89 = true;
};

inline std::string GifBytes(const TGifSpec& G)
{
    int Bits = 1;
    while ((1u << Bits) < G.Colours.size())
        ++Bits;
    const int MinCode = Bits < 2 ? 2 : Bits;
    std::string S = G.Gif89 ? "GIF89a" : "GIF87a";
    Put16(S, unsigned(G.Width));
    Put16(S, unsigned(G.Height));
    S += char(0x80 | (MinCode - 1)); // a global table of 2^MinCode entries
    S += '\0';
    S += '\0';
    for (unsigned I = 0; I < (1u << MinCode); ++I) {
        const std::uint32_t C = I < G.Colours.size() ? G.Colours[I] : 0;
        S += char(C >> 16);
        S += char(C >> 8);
        S += char(C);
    }
    if (G.Transparent >= 0) {
        S += "\x21\xF9\x04";
        S += '\x01';
        Put16(S, 0);
        S += char(G.Transparent);
        S += '\0';
    }
    S += ',';
    Put16(S, 0);
    Put16(S, 0);
    Put16(S, unsigned(G.Width));
    Put16(S, unsigned(G.Height));
    S += '\0';
    S += char(MinCode);
    const int Width = MinCode + 1, Clear = 1 << MinCode;
    std::string Data;
    std::uint32_t Acc = 0;
    int N = 0;
    auto Code = [&](int C) {
        Acc |= std::uint32_t(C) << N;
        N += Width;
        while (N >= 8) {
            Data += char(Acc & 0xFF);
            Acc >>= 8;
            N -= 8;
        }
    };
    for (int Index : G.Indices) {
        Code(Clear);
        Code(Index);
    }
    Code(Clear + 1);
    if (N > 0)
        Data += char(Acc & 0xFF);
    for (std::size_t Pos = 0; Pos < Data.size(); Pos += 255) {
        const std::size_t Len = std::min<std::size_t>(255, Data.size() - Pos);
        S += char(Len);
        S.append(Data, Pos, Len);
    }
    S += '\0';
    S += ';';
    return S;
}

inline std::uint32_t Crc32(const std::string& Data, std::size_t From)
{
    std::uint32_t C = 0xFFFFFFFFu;
    for (std::size_t I = From; I < Data.size(); ++I) {
        C ^= std::uint8_t(Data[I]);
        for (int K = 0; K < 8; ++K)
            C = (C & 1) ? 0xEDB88320u ^ (C >> 1) : C >> 1;
    }
    return C ^ 0xFFFFFFFFu;
}

// An RGBA PNG.
inline std::string PngBytes(int Width, int Height, const std::vector<std::uint32_t>& Argb)
{
    std::string Raw;
    for (int Y = 0; Y < Height; ++Y) {
        Raw += '\0';
        for (int X = 0; X < Width; ++X) {
            const std::uint32_t P = Argb[std::size_t(Y) * Width + X];
            Raw += char(P >> 16);
            Raw += char(P >> 8);
            Raw += char(P);
            Raw += char(P >> 24);
        }
    }
    std::string Z = "\x78\x01";
    Z += '\x01';
    Put16(Z, unsigned(Raw.size()));
    Put16(Z, unsigned(~Raw.size() & 0xFFFF));
    Z += Raw;
    std::uint32_t A = 1, B = 0;
    for (unsigned char C : Raw) {
        A = (A + C) % 65521;
        B = (B + A) % 65521;
    }
    Put32BE(Z, (B << 16) | A);
    auto Chunk = [](std::string& Png, const char* Type, const std::string& Body) {
        Put32BE(Png, std::uint32_t(Body.size()));
        const std::size_t Start = Png.size();
        Png += Type;
        Png += Body;
        Put32BE(Png, Crc32(Png, Start));
    };
    std::string Png = "\x89PNG\r\n\x1a\n";
    std::string Header;
    Put32BE(Header, std::uint32_t(Width));
    Put32BE(Header, std::uint32_t(Height));
    Header += std::string("\x08\x06\x00\x00\x00", 5);
    Chunk(Png, "IHDR", Header);
    Chunk(Png, "IDAT", Z);
    Chunk(Png, "IEND", "");
    return Png;
}

// A 24-bit BMP; Core: the OS/2 form with a 12-byte header.
inline std::string BmpBytes(int Width, int Height, const std::vector<std::uint32_t>& Rgb, bool Core = false)
{
    const std::size_t Row = (std::size_t(Width) * 3 + 3) & ~std::size_t(3);
    std::string Bits;
    for (int Y = Height - 1; Y >= 0; --Y) {
        for (int X = 0; X < Width; ++X) {
            const std::uint32_t P = Rgb[std::size_t(Y) * Width + X];
            Bits += char(P);
            Bits += char(P >> 8);
            Bits += char(P >> 16);
        }
        Bits.append(Row - std::size_t(Width) * 3, '\0');
    }
    std::string Info;
    if (Core) {
        Put32(Info, 12);
        Put16(Info, unsigned(Width));
        Put16(Info, unsigned(Height));
        Put16(Info, 1);
        Put16(Info, 24);
    } else {
        Put32(Info, 40);
        Put32(Info, std::uint32_t(Width));
        Put32(Info, std::uint32_t(Height));
        Put16(Info, 1);
        Put16(Info, 24);
        Put32(Info, 0);
        Put32(Info, std::uint32_t(Bits.size()));
        Put32(Info, 2835);
        Put32(Info, 2835);
        Put32(Info, 0);
        Put32(Info, 0);
    }
    std::string S = "BM";
    Put32(S, std::uint32_t(14 + Info.size() + Bits.size()));
    Put32(S, 0);
    Put32(S, std::uint32_t(14 + Info.size()));
    return S + Info + Bits;
}

inline std::string JpegBytes()
{
    return testing_support::ReadFileBytes(std::string(TW_TEST_DATA_DIR) + "/tests/data/images/tiny.jpg");
}

// Writes Bytes into the test's home directory; the file's path.
inline std::string WriteTemp(const std::string& Name, const std::string& Bytes)
{
    const std::string Path = testing_support::HomeDir() + "/" + Name;
    testing_support::WriteFileBytes(Path, Bytes);
    return Path;
}

// The pixels of a bitmap as 0xRRGGBB, top row first.
inline std::vector<std::uint32_t> RgbOf(TBitmap* Bitmap)
{
    const TDibImage Dib = Bitmap->ToDibImage();
    std::vector<std::uint32_t> Out;
    for (std::uint32_t P : Dib.Pixels)
        Out.push_back(P & 0xFFFFFF);
    return Out;
}

} // namespace image_fixtures
