// The document builder over a 1 MB document of ordinary markup: text, links, lists, a table,
// preformatted text and form controls.
#include "html-engine/HtmlModel.h"
#include "html-engine/HtmlParser.h"
#include "platform/classes/Classes.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

std::string MakeBuilderDocument(std::size_t Size)
{
    const std::string Block =
        "<h2 align=center>Section heading</h2>\r\n"
        "<p>Some running text with <b>bold</b>, <i>italic</i> and <a href=\"page.htm#anchor\" "
        "target=main>a link</a>; caf&eacute; &amp; bar &#169; 1999. More words follow here so that "
        "the paragraph holds a few lines of text, as real pages do.\r\n"
        "<ul><li>first item<li>second item with <font color=red size=+1>colour</font></ul>\r\n"
        "<table border width=80% cellpadding=2><tr><td align=left>one</td><td>two</td></tr></table>\r\n"
        "<pre>preformatted line\r\n  another line</pre>\r\n"
        "<a name=\"n\">anchor</a> <img src=\"images/picture.gif\" alt='A picture' width=120 height=80>\r\n";
    std::string Doc = "<html><head><title>Benchmark</title></head><body>\r\n";
    while (Doc.size() < Size)
        Doc += Block;
    Doc += "</body></html>\r\n";
    return Doc;
}

// The parse alone: the document is made before and freed after the timed part.
void BM_BuildDocument(benchmark::State& State)
{
    const std::string Html = MakeBuilderDocument(1 << 20);
    for (auto _ : State) {
        State.PauseTiming();
        {
            TSectionList Doc(nullptr, nullptr);
            Doc.SetDefaults("Arial", "Courier New", clWhite, clBlue, clBlack, 12);
            TStringList Names;
            Names.SetSorted(true);
            State.ResumeTiming();
            THtmlParser().HtmlParseBuffer(&Doc, &Names, Html.data(), Html.size());
            benchmark::DoNotOptimize(Doc.Count());
            State.PauseTiming();
        }
        State.ResumeTiming();
    }
    State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations()) *
                            static_cast<std::int64_t>(Html.size()));
}
BENCHMARK(BM_BuildDocument)->Unit(benchmark::kMillisecond);

// The same with making and freeing the document, as a reload does.
void BM_BuildAndFreeDocument(benchmark::State& State)
{
    const std::string Html = MakeBuilderDocument(1 << 20);
    for (auto _ : State) {
        TSectionList Doc(nullptr, nullptr);
        Doc.SetDefaults("Arial", "Courier New", clWhite, clBlue, clBlack, 12);
        TStringList Names;
        Names.SetSorted(true);
        THtmlParser().HtmlParseBuffer(&Doc, &Names, Html.data(), Html.size());
        benchmark::DoNotOptimize(Doc.Count());
    }
    State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations()) *
                            static_cast<std::int64_t>(Html.size()));
}
BENCHMARK(BM_BuildAndFreeDocument)->Unit(benchmark::kMillisecond);

} // namespace
