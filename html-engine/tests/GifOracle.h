// The system's GIF library as an independent decoder, for the tests and the benchmark: what it
// reads from a file's bytes, in plain values.
#pragma once

#include <gif_lib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace gif_oracle {

struct TOracleFrame {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    bool Interlaced = false;
    bool LocalTable = false;
    std::vector<std::uint8_t> Pixels;
    std::vector<std::uint32_t> Colours; // the table that applies, 0xRRGGBB
    int Disposal = 0;
    int Delay = 0; // hundredths
    int TransparentIndex = -1;
};

struct TOracle {
    bool Ok = false;
    int Width = 0, Height = 0;
    int LoopCount = -1; // -1: no looping extension
    std::vector<TOracleFrame> Frames;
};

struct TSource {
    const std::string* Bytes;
    std::size_t Pos;
};

inline int ReadSource(GifFileType* Gif, GifByteType* Buffer, int N)
{
    auto* S = static_cast<TSource*>(Gif->UserData);
    const std::size_t K = std::min<std::size_t>(std::size_t(N), S->Bytes->size() - S->Pos);
    std::memcpy(Buffer, S->Bytes->data() + S->Pos, K);
    S->Pos += K;
    return int(K);
}

inline std::vector<std::uint32_t> ColoursOf(const ColorMapObject* Map)
{
    std::vector<std::uint32_t> C;
    if (Map)
        for (int I = 0; I < Map->ColorCount; ++I)
            C.push_back((std::uint32_t(Map->Colors[I].Red) << 16) | (Map->Colors[I].Green << 8) |
                        Map->Colors[I].Blue);
    return C;
}

inline TOracle Oracle(const std::string& Bytes)
{
    TOracle O;
    TSource S{&Bytes, 0};
    int Error = 0;
    GifFileType* Gif = DGifOpen(&S, ReadSource, &Error);
    if (!Gif)
        return O;
    O.Ok = DGifSlurp(Gif) == GIF_OK;
    O.Width = Gif->SWidth;
    O.Height = Gif->SHeight;
    for (int I = 0; I < Gif->ImageCount; ++I) {
        const SavedImage& Im = Gif->SavedImages[I];
        TOracleFrame F;
        F.Left = Im.ImageDesc.Left;
        F.Top = Im.ImageDesc.Top;
        F.Width = Im.ImageDesc.Width;
        F.Height = Im.ImageDesc.Height;
        F.Interlaced = Im.ImageDesc.Interlace;
        F.LocalTable = Im.ImageDesc.ColorMap != nullptr;
        F.Colours = ColoursOf(Im.ImageDesc.ColorMap ? Im.ImageDesc.ColorMap : Gif->SColorMap);
        if (Im.RasterBits)
            F.Pixels.assign(Im.RasterBits, Im.RasterBits + std::size_t(F.Width) * std::size_t(F.Height));
        GraphicsControlBlock Gcb;
        if (DGifSavedExtensionToGCB(Gif, I, &Gcb) == GIF_OK) {
            F.Disposal = Gcb.DisposalMode;
            F.Delay = Gcb.DelayTime;
            F.TransparentIndex = Gcb.TransparentColor;
        }
        for (int E = 0; E + 1 < Im.ExtensionBlockCount; ++E) {
            const ExtensionBlock& B = Im.ExtensionBlocks[E];
            const ExtensionBlock& Sub = Im.ExtensionBlocks[E + 1];
            if (B.Function == APPLICATION_EXT_FUNC_CODE && B.ByteCount == 11 &&
                std::memcmp(B.Bytes, "NETSCAPE2.0", 11) == 0 && Sub.ByteCount >= 3)
                O.LoopCount = Sub.Bytes[1] | (Sub.Bytes[2] << 8);
        }
        O.Frames.push_back(std::move(F));
    }
    DGifCloseFile(Gif, &Error);
    return O;
}

// Only the decoding, as the benchmark times it: the frame count, or -1.
inline int DecodeWithLibrary(const std::string& Bytes)
{
    TSource S{&Bytes, 0};
    int Error = 0;
    GifFileType* Gif = DGifOpen(&S, ReadSource, &Error);
    if (!Gif)
        return -1;
    const int Frames = DGifSlurp(Gif) == GIF_OK ? Gif->ImageCount : -1;
    DGifCloseFile(Gif, &Error);
    return Frames;
}

} // namespace gif_oracle
