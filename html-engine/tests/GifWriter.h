// A small GIF writer for test fixtures and benchmarks: it builds files block by block, so a test
// can make exactly the oddity it needs (any minimum code size, clears at table-full or deferred,
// codes straddling sub-blocks, interlace, local tables, every disposal, comments, unknown
// extensions, hand-made code streams).
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace gif_writer {

// Packs codes least-significant bit first and cuts the bytes into sub-blocks.
class TCodePacker {
public:
    void Put(unsigned Code, int Width)
    {
        FAcc |= std::uint64_t(Code & ((1u << Width) - 1)) << FBits;
        FBits += Width;
        while (FBits >= 8) {
            FBytes.push_back(char(FAcc & 0xFF));
            FAcc >>= 8;
            FBits -= 8;
        }
    }
    // The data bytes (the last partial byte padded with zero bits).
    std::string Bytes() const
    {
        std::string B = FBytes;
        if (FBits > 0)
            B.push_back(char(FAcc & 0xFF));
        return B;
    }

private:
    std::uint64_t FAcc = 0;
    int FBits = 0;
    std::string FBytes;
};

// Data cut into sub-blocks of at most BlockSize bytes, with the terminator.
inline std::string SubBlocks(const std::string& Data, int BlockSize = 255, bool Terminate = true)
{
    std::string Out;
    for (std::size_t I = 0; I < Data.size(); I += std::size_t(BlockSize)) {
        const std::size_t N = std::min<std::size_t>(std::size_t(BlockSize), Data.size() - I);
        Out.push_back(char(N));
        Out.append(Data, I, N);
    }
    if (Terminate)
        Out.push_back('\0');
    return Out;
}

struct TLzwOptions {
    // When the table is full: emit a clear code at once (0), or go on with the full table for
    // this many codes before the clear (a deferred clear; -1: never clear).
    int CodesBeforeClear = 0;
    // A clear after every this many codes (0: only when the table is full), as encoders that
    // keep their tables small do.
    int ClearEvery = 0;
    // The bit width grows by the next code to be read (the rule every decoder shares for
    // minimum code sizes of 2 and up); with false, for a minimum code size of 1 the first two
    // codes stay 2 bits wide.
    bool LateGrowthAtSize1 = false;
};

// The LZW code stream of Indices (each below 2^MinCodeSize, or truncated to it), without the
// minimum-code-size byte and without sub-blocks.
inline std::string EncodeLzw(const std::vector<std::uint8_t>& Indices, int MinCodeSize,
                             const TLzwOptions& Options = {})
{
    const unsigned Clear = 1u << MinCodeSize, End = Clear + 1;
    const unsigned Limit = Clear - 1;
    std::unordered_map<unsigned, unsigned> Table; // (prefix << 8 | pixel) -> code
    Table.reserve(8192);
    TCodePacker P;
    unsigned Next = Clear + 2;
    int Width = MinCodeSize + 1;
    int SinceClear = 0, FullFor = 0;
    auto BitsOf = [](unsigned V) {
        int B = 0;
        while (V) {
            ++B;
            V >>= 1;
        }
        return B;
    };
    auto Reset = [&] {
        Table.clear();
        Next = Clear + 2;
        Width = MinCodeSize + 1;
        SinceClear = 0;
        FullFor = 0;
    };
    // With the late rule the code after the first one of a table is still read at the start width.
    auto LateStart = [&] { return Options.LateGrowthAtSize1 && MinCodeSize == 1 && SinceClear < 2; };
    auto Emit = [&](unsigned Code) {
        P.Put(Code, Width);
        ++SinceClear;
    };
    P.Put(Clear, Width);
    if (Indices.empty()) {
        P.Put(End, Width);
        return P.Bytes();
    }
    unsigned Prefix = Indices[0] & Limit;
    for (std::size_t I = 1; I < Indices.size(); ++I) {
        const unsigned C = Indices[I] & Limit;
        const auto Known = Table.find(Prefix << 8 | C);
        if (Known != Table.end()) {
            Prefix = Known->second;
            continue;
        }
        Emit(Prefix);
        if (Next < 4096) {
            Table.emplace(Prefix << 8 | C, Next++);
            if (!LateStart())
                Width = std::max(Width, std::min(12, BitsOf(Next - 1)));
        }
        bool ClearNow = Options.ClearEvery > 0 && SinceClear >= Options.ClearEvery;
        if (Next == 4096) {
            if (Options.CodesBeforeClear >= 0 && FullFor++ >= Options.CodesBeforeClear)
                ClearNow = true;
        }
        if (ClearNow) {
            P.Put(Clear, Width);
            Reset();
        }
        Prefix = C;
    }
    Emit(Prefix);
    // The end code is read at the width after the last entry was added.
    if (Next < 4096 && !LateStart())
        Width = std::max(Width, std::min(12, BitsOf(Next)));
    P.Put(End, Width);
    return P.Bytes();
}

struct TFrame {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    std::vector<std::uint8_t> Indices; // Width * Height, top row first
    int MinCodeSize = 8;
    bool Interlaced = false;
    std::vector<std::uint32_t> LocalTable; // 0xRRGGBB; empty: none; 2..256 entries, a power of 2
    // The graphic control extension before the image.
    bool Control = false;
    int Disposal = 0;
    int Delay = 0; // hundredths of a second
    bool Transparent = false;
    int TransparentIndex = 0;
    TLzwOptions Lzw;
    int BlockSize = 255;
};

// The colour-table size exponent for a table of N entries (N a power of 2, 2..256).
inline int TableBits(std::size_t N)
{
    int B = 1;
    while ((std::size_t(1) << B) < N)
        ++B;
    return B;
}

inline void PutWord(std::string& S, int V)
{
    S.push_back(char(V & 0xFF));
    S.push_back(char((V >> 8) & 0xFF));
}

inline void PutTable(std::string& S, const std::vector<std::uint32_t>& Table)
{
    const std::size_t N = std::size_t(1) << TableBits(Table.size());
    for (std::size_t I = 0; I < N; ++I) {
        const std::uint32_t C = I < Table.size() ? Table[I] : 0;
        S.push_back(char((C >> 16) & 0xFF));
        S.push_back(char((C >> 8) & 0xFF));
        S.push_back(char(C & 0xFF));
    }
}

// Indices in the order an interlaced image stores its rows.
inline std::vector<std::uint8_t> InterlaceRows(const std::vector<std::uint8_t>& Indices, int Width,
                                               int Height)
{
    std::vector<std::uint8_t> Out;
    Out.reserve(Indices.size());
    const int Start[4] = {0, 4, 2, 1}, Step[4] = {8, 8, 4, 2};
    for (int Pass = 0; Pass < 4; ++Pass)
        for (int Y = Start[Pass]; Y < Height; Y += Step[Pass])
            Out.insert(Out.end(), Indices.begin() + std::ptrdiff_t(Y) * Width,
                       Indices.begin() + std::ptrdiff_t(Y + 1) * Width);
    return Out;
}

// Builds a file block by block.
class TGifBuilder {
public:
    // Header and logical screen; an empty GlobalTable writes none.
    TGifBuilder& Screen(int Width, int Height, const std::vector<std::uint32_t>& GlobalTable = {},
                        bool Gif89 = true, int Background = 0)
    {
        FOut = Gif89 ? "GIF89a" : "GIF87a";
        PutWord(FOut, Width);
        PutWord(FOut, Height);
        const int Packed = GlobalTable.empty() ? 0 : 0x80 | 0x70 | (TableBits(GlobalTable.size()) - 1);
        FOut.push_back(char(Packed));
        FOut.push_back(char(Background));
        FOut.push_back('\0');
        if (!GlobalTable.empty())
            PutTable(FOut, GlobalTable);
        return *this;
    }
    // The looping application extension (0: endless).
    TGifBuilder& Loop(int Count)
    {
        FOut += "\x21\xFF\x0BNETSCAPE2.0";
        FOut += '\x03';
        FOut += '\x01';
        PutWord(FOut, Count);
        FOut += '\0';
        return *this;
    }
    TGifBuilder& Comment(const std::string& Text)
    {
        FOut += "\x21\xFE";
        FOut += SubBlocks(Text);
        return *this;
    }
    // Any extension: label, then Data as sub-blocks.
    TGifBuilder& Extension(int Label, const std::string& Data)
    {
        FOut += '\x21';
        FOut += char(Label);
        FOut += SubBlocks(Data);
        return *this;
    }
    TGifBuilder& Control(int Disposal, int Delay, bool Transparent, int TransparentIndex)
    {
        FOut += "\x21\xF9\x04";
        FOut += char(((Disposal & 7) << 2) | (Transparent ? 1 : 0));
        PutWord(FOut, Delay);
        FOut += char(TransparentIndex);
        FOut += '\0';
        return *this;
    }
    // The descriptor (and local table) of an image without its data.
    TGifBuilder& Descriptor(const TFrame& F)
    {
        FOut += ',';
        PutWord(FOut, F.Left);
        PutWord(FOut, F.Top);
        PutWord(FOut, F.Width);
        PutWord(FOut, F.Height);
        int Packed = F.Interlaced ? 0x40 : 0;
        if (!F.LocalTable.empty())
            Packed |= 0x80 | (TableBits(F.LocalTable.size()) - 1);
        FOut += char(Packed);
        if (!F.LocalTable.empty())
            PutTable(FOut, F.LocalTable);
        return *this;
    }
    // A whole image: control extension when asked, descriptor, minimum code size and data.
    TGifBuilder& Image(const TFrame& F)
    {
        if (F.Control)
            Control(F.Disposal, F.Delay, F.Transparent, F.TransparentIndex);
        Descriptor(F);
        const std::vector<std::uint8_t>& Rows =
            F.Interlaced ? InterlaceRows(F.Indices, F.Width, F.Height) : F.Indices;
        FOut += char(F.MinCodeSize);
        FOut += SubBlocks(EncodeLzw(Rows, F.MinCodeSize, F.Lzw), F.BlockSize);
        return *this;
    }
    TGifBuilder& Raw(const std::string& Bytes)
    {
        FOut += Bytes;
        return *this;
    }
    TGifBuilder& Trailer()
    {
        FOut += ';';
        return *this;
    }
    const std::string& Bytes() const { return FOut; }

private:
    std::string FOut;
};

// A table of N distinct colours, easy to tell apart in pixel checks.
inline std::vector<std::uint32_t> DistinctTable(std::size_t N, std::uint32_t Seed = 0)
{
    std::vector<std::uint32_t> T;
    for (std::size_t I = 0; I < N; ++I)
        T.push_back(((std::uint32_t(I) * 0x9E3779B1u + Seed * 0x85EBCA6Bu) & 0xFFFF00u) | std::uint32_t(I));
    return T;
}

// A pattern of indices below 2^Bits with runs and repeats, so the LZW table fills.
inline std::vector<std::uint8_t> Pattern(int Width, int Height, int Bits, std::uint32_t Seed = 1)
{
    std::vector<std::uint8_t> P(std::size_t(Width) * std::size_t(Height));
    std::uint32_t S = Seed * 2654435761u + 1;
    const unsigned Mask = (1u << Bits) - 1;
    for (int Y = 0; Y < Height; ++Y)
        for (int X = 0; X < Width; ++X) {
            S = S * 1103515245u + 12345u;
            const unsigned Noise = (S >> 16) & 7;
            const unsigned V = Noise < 2 ? (S >> 19) : unsigned((X / 3 + Y / 2) ^ (X * Y / 7));
            P[std::size_t(Y) * std::size_t(Width) + std::size_t(X)] = std::uint8_t(V & Mask);
        }
    return P;
}

} // namespace gif_writer
