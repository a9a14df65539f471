// Tokens per second of the HTML scanner over a 1 MB document of ordinary markup.
#include "html-engine/HtmlParser.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

std::string MakeDocument(std::size_t Size)
{
    const std::string Block =
        "<h2 align=center>Section heading</h2>\r\n"
        "<p>Some running text with <b>bold</b>, <i>italic</i> and <a href=\"page.htm#anchor\" "
        "target=main>a link</a>; caf&eacute; &amp; bar &#169; 1999.\r\n"
        "<!-- a comment between paragraphs -->\r\n"
        "<table border width=80% cellpadding=2><tr><td align=left>one</td><td>two</td></tr></table>\r\n"
        "<img src=\"images/picture.gif\" alt='A picture' width=120 height=80>\r\n";
    std::string Doc = "<html><head><title>Benchmark</title></head><body>\r\n";
    while (Doc.size() < Size)
        Doc += Block;
    Doc += "</body></html>\r\n";
    return Doc;
}

void BM_ScanTokens(benchmark::State& State)
{
    const std::string Doc = MakeDocument(1 << 20);
    std::int64_t Tokens = 0;
    THtmlParser P;
    for (auto _ : State) {
        P.OpenSourceBuffer(Doc.data(), Doc.size());
        P.ResetScanner();
        P.NextCh();
        do {
            P.GetSymbol();
            ++Tokens;
        } while (P.State().Sy != EofSy);
    }
    State.counters["tokens/s"] = benchmark::Counter(static_cast<double>(Tokens), benchmark::Counter::kIsRate);
    State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations()) *
                            static_cast<std::int64_t>(Doc.size()));
}
BENCHMARK(BM_ScanTokens)->Unit(benchmark::kMillisecond);

} // namespace
