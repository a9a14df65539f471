// Pages that stress the text blocks: one paragraph of tens of thousands of images, whose layout must
// grow with the paragraph's length, and pages of a million tiny blocks, whose memory per block is
// reported (the heap the loaded and laid-out document holds, divided by its blocks).
#include "ViewerHost.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdint>
#include <functional>
#include <string>

namespace {

// One paragraph of range(0) images of range(1) pixels high, at 800 pixels: a few images per line.
// The time should grow in proportion to the count.
void BM_HtmlImageParagraph(benchmark::State& State)
{
    const std::string Img = "<img width=30 height=" + std::to_string(State.range(1)) + ">";
    std::string Page = "<p>";
    for (int I = 0; I < State.range(0); ++I)
        Page += Img;
    Page += "</p>";
    WithViewer(800, 600, [&](THTMLViewer* Viewer) {
        for (auto _ : State) {
            Viewer->LoadFromMemory(Page.data(), Page.size());
            Application->ProcessMessages();
        }
        State.counters["height"] = Viewer->DocHeight();
    });
}
BENCHMARK(BM_HtmlImageParagraph)
    ->Args({12500, 20})
    ->Args({25000, 20})
    ->Args({50000, 20})
    ->Args({70000, 2000})
    ->Unit(benchmark::kMillisecond);

std::int64_t HeapInUse()
{
    const struct mallinfo2 M = mallinfo2();
    return static_cast<std::int64_t>(M.uordblks + M.hblkhd);
}

struct TBlockPage {
    const char* Name;
    int Elements; // the <br>, <p> or lines the page is made of
    std::function<std::string()> Make;
};

const TBlockPage BlockPages[] = {
    {"4 MB of <br>", 1000000,
     [] {
         std::string S;
         for (int I = 0; I < 1000000; ++I)
             S += "<br>";
         return S;
     }},
    {"4 MB of <p>x", 1000000,
     [] {
         std::string S;
         for (int I = 0; I < 1000000; ++I)
             S += "<p>x";
         return S;
     }},
    {"300,000 PRE lines", 300000,
     [] {
         std::string S = "<pre>";
         for (int I = 0; I < 300000; ++I)
             S += "line " + std::to_string(I) + "\n";
         return S + "</pre>";
     }},
};

// range(0) picks the page. Counters: the blocks of the document and the heap bytes the loaded,
// laid-out and painted document holds, in all, per block and per element of the page.
void BM_HtmlBlockMemory(benchmark::State& State)
{
    const TBlockPage& P = BlockPages[State.range(0)];
    const std::string Page = P.Make();
    WithViewer(800, 600, [&](THTMLViewer* Viewer) {
        for (auto _ : State) {
            Viewer->LoadFromMemory("", 0);
            Application->ProcessMessages();
            malloc_trim(0);
            const std::int64_t Before = HeapInUse();
            Viewer->LoadFromMemory(Page.data(), Page.size());
            Application->ProcessMessages();
            const std::int64_t After = HeapInUse();
            const int Blocks = Viewer->SectionList()->Count();
            State.counters["blocks"] = Blocks;
            State.counters["MB"] = static_cast<double>(After - Before) / (1 << 20);
            State.counters["bytes/block"] = static_cast<double>(After - Before) / (Blocks > 0 ? Blocks : 1);
            State.counters["bytes/element"] = static_cast<double>(After - Before) / P.Elements;
        }
    });
    State.SetLabel(P.Name);
}
BENCHMARK(BM_HtmlBlockMemory)->DenseRange(0, 2)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
