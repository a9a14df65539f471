// GDI throughput on full-HD surfaces: plain copies, a general ternary raster operation, brush
// fills, and measuring a long line of text.
#include "platform/graphics/WinGdi.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int W = 1920, H = 1080;

struct TSurface {
    HDC Dc;
    HBITMAP Bm;
    HGDIOBJ Old;
    TSurface()
    {
        Dc = CreateCompatibleDC(nullptr);
        Bm = CreateCompatibleBitmap(nullptr, W, H);
        Old = SelectObject(Dc, Bm);
        PatBlt(Dc, 0, 0, W, H, WHITENESS);
    }
    ~TSurface()
    {
        SelectObject(Dc, Old);
        DeleteObject(Bm);
        DeleteDC(Dc);
    }
};

void BM_BitBltSrcCopy(benchmark::State& State)
{
    TSurface Src, Dst;
    for (auto _ : State)
        BitBlt(Dst.Dc, 0, 0, W, H, Src.Dc, 0, 0, SRCCOPY);
    State.SetBytesProcessed(State.iterations() * std::int64_t(W) * H * 4);
}
BENCHMARK(BM_BitBltSrcCopy)->Unit(benchmark::kMillisecond);

// The yardstick for SRCCOPY: one plain copy of a surface's bytes.
void BM_MemcpyBaseline(benchmark::State& State)
{
    std::vector<std::uint32_t> Src(std::size_t(W) * H, 0xFFFFFFFFu), Dst(std::size_t(W) * H);
    for (auto _ : State) {
        benchmark::DoNotOptimize(Src.data());
        std::memcpy(Dst.data(), Src.data(), Src.size() * 4);
        benchmark::DoNotOptimize(Dst.data());
        benchmark::ClobberMemory();
    }
    State.SetBytesProcessed(State.iterations() * std::int64_t(W) * H * 4);
}
BENCHMARK(BM_MemcpyBaseline)->Unit(benchmark::kMillisecond);

// A code with no fast path, using pattern, source and destination.
void BM_BitBltGeneralRop3(benchmark::State& State)
{
    TSurface Src, Dst;
    HBRUSH Brush = CreateSolidBrush(RGB(0x12, 0x34, 0x56));
    SelectObject(Dst.Dc, Brush);
    for (auto _ : State)
        BitBlt(Dst.Dc, 0, 0, W, H, Src.Dc, 0, 0, 0x00960169); // DPSxx
    State.SetBytesProcessed(State.iterations() * std::int64_t(W) * H * 4);
    SelectObject(Dst.Dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(Brush);
}
BENCHMARK(BM_BitBltGeneralRop3)->Unit(benchmark::kMillisecond);

void BM_MonoToColourBlt(benchmark::State& State)
{
    TSurface Dst;
    HDC Mono = CreateCompatibleDC(nullptr);
    HBITMAP Bm = CreateBitmap(W, H, 1, 1, nullptr);
    HGDIOBJ Old = SelectObject(Mono, Bm);
    for (auto _ : State)
        BitBlt(Dst.Dc, 0, 0, W, H, Mono, 0, 0, SRCAND);
    SelectObject(Mono, Old);
    DeleteObject(Bm);
    DeleteDC(Mono);
}
BENCHMARK(BM_MonoToColourBlt)->Unit(benchmark::kMillisecond);

void BM_FillRect(benchmark::State& State)
{
    TSurface Dst;
    HBRUSH Brush = CreateSolidBrush(RGB(0x80, 0x40, 0x20));
    RECT R{0, 0, W, H};
    for (auto _ : State)
        FillRect(Dst.Dc, &R, Brush);
    DeleteObject(Brush);
}
BENCHMARK(BM_FillRect)->Unit(benchmark::kMillisecond);

void BM_TextExtentLongLine(benchmark::State& State)
{
    HDC Dc = CreateCompatibleDC(nullptr);
    HFONT Font = CreateFont(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Courier New");
    SelectObject(Dc, Font);
    std::string Line;
    while (Line.size() < 4000)
        Line += "<td class=\"cell\">The quick brown fox jumps over the lazy dog</td> ";
    SIZE Sz;
    for (auto _ : State) {
        GetTextExtentPoint32(Dc, Line.data(), int(Line.size()), &Sz);
        benchmark::DoNotOptimize(Sz);
    }
    State.SetBytesProcessed(State.iterations() * std::int64_t(Line.size()));
    SelectObject(Dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(Font);
    DeleteDC(Dc);
}
BENCHMARK(BM_TextExtentLongLine);

void BM_TextOutLine(benchmark::State& State)
{
    TSurface Dst;
    HFONT Font = CreateFont(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
    SelectObject(Dst.Dc, Font);
    const std::string Line = "function main() { return document.getElementById(\"x\").value; } // 80 columns";
    for (auto _ : State)
        TextOut(Dst.Dc, 10, 10, Line.data(), int(Line.size()));
    SelectObject(Dst.Dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(Font);
}
BENCHMARK(BM_TextOutLine);

} // namespace
