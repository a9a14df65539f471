// GIF decoding throughput (MB/s of file bytes), our decoder beside the system's GIF library on the
// same bytes: real files (the image library's documentation pictures, when that package is
// installed) and a generated 20-frame 640x480 animation. "Rasters" decodes to colour indices, the
// library's own output; "Full" also builds every frame's bitmaps and composes frame 1, as the
// view's loader does.
#include "html-engine/GifImages.h"

#include "html-engine/tests/GifOracle.h"
#include "html-engine/tests/GifWriter.h"
#include "platform/rtl/Streams.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const char* const RealGifDir = "/usr/share/doc/imagemagick-6-common/html/images";

int OurRasters(const std::string& Bytes)
{
    TGifRasters R;
    return ReadGifRasters(Bytes.data(), Bytes.size(), R) ? int(R.Frames.size()) : -1;
}

int OurFull(const std::string& Bytes)
{
    TGIFImage Image;
    TStringStream In(Bytes);
    Image.DataStream()->LoadFromStream(&In);
    return Image.ReadGIFData() ? Image.FrameCount() : -1;
}

// Twenty full frames of a gradient with a moving disc and a band of noise, 256 colours.
std::string Animation()
{
    using namespace gif_writer;
    const int W = 640, H = 480;
    std::vector<std::uint32_t> Table;
    for (int I = 0; I < 256; ++I)
        Table.push_back((std::uint32_t(I) << 16) | (std::uint32_t(255 - I) << 8) |
                        std::uint32_t((I * 7) & 255));
    TGifBuilder B;
    B.Screen(W, H, Table).Loop(0);
    std::uint32_t Noise = 1;
    for (int F = 0; F < 20; ++F) {
        TFrame Frame;
        Frame.Width = W;
        Frame.Height = H;
        Frame.Control = true;
        Frame.Delay = 5;
        Frame.Indices.resize(std::size_t(W) * H);
        const int CX = 80 + F * 24, CY = 240;
        for (int Y = 0; Y < H; ++Y)
            for (int X = 0; X < W; ++X) {
                int V = (X / 5 + Y / 7 + F) & 127;
                if ((X - CX) * (X - CX) + (Y - CY) * (Y - CY) < 90 * 90)
                    V = 128 + ((X + Y) / 9 & 31);
                if (Y > 400 && Y < 420) {
                    Noise = Noise * 1103515245u + 12345u;
                    V = 192 + int((Noise >> 16) & 63);
                }
                Frame.Indices[std::size_t(Y) * W + std::size_t(X)] = std::uint8_t(V);
            }
        B.Image(Frame);
    }
    return B.Trailer().Bytes();
}

const std::string& AnimationBytes()
{
    static const std::string Bytes = Animation();
    return Bytes;
}

std::vector<std::string> RealGifs()
{
    std::vector<std::string> Files;
    std::error_code Ec;
    for (const auto& E : std::filesystem::directory_iterator(RealGifDir, Ec))
        if (E.path().extension() == ".gif") {
            std::ifstream In(E.path(), std::ios::binary);
            Files.emplace_back(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
        }
    return Files;
}

const std::vector<std::string>& RealBytes()
{
    static const std::vector<std::string> Files = RealGifs();
    return Files;
}

std::vector<const std::string*> Real()
{
    std::vector<const std::string*> V;
    for (const std::string& F : RealBytes())
        V.push_back(&F);
    return V;
}

std::vector<const std::string*> Generated()
{
    return {&AnimationBytes()};
}

using TFiles = std::vector<const std::string*> (*)();

void BM_Gif(benchmark::State& State, int (*Decode)(const std::string&), TFiles Which)
{
    const std::vector<const std::string*> Files = Which();
    if (Files.empty()) {
        State.SkipWithError("no real GIFs here (the image library's documentation is not installed)");
        return;
    }
    std::int64_t Bytes = 0;
    for (const std::string* F : Files)
        Bytes += std::int64_t(F->size());
    for (auto _ : State)
        for (const std::string* F : Files)
            benchmark::DoNotOptimize(Decode(*F));
    State.SetBytesProcessed(State.iterations() * Bytes);
}

BENCHMARK_CAPTURE(BM_Gif, RealLibrary, gif_oracle::DecodeWithLibrary, Real)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Gif, RealOursRasters, OurRasters, Real)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Gif, RealOursFull, OurFull, Real)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Gif, AnimationLibrary, gif_oracle::DecodeWithLibrary, Generated)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Gif, AnimationOursRasters, OurRasters, Generated)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Gif, AnimationOursFull, OurFull, Generated)->Unit(benchmark::kMillisecond);

} // namespace
