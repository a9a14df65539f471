// Tables: a bordered five-column table of range(0) rows laid out at 800 pixels, and built and laid
// out as a load does. The layout target is under 50 ms for 1,000 rows, with the time growing in
// proportion to the rows.
#include "html-engine/HtmlModel.h"
#include "html-engine/HtmlParser.h"
#include "platform/classes/Classes.h"
#include "platform/graphics/Graphics.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

std::string TablePage(int Rows)
{
    std::string S = "<html><body><h2>Table</h2>\n<table border width=100% cellpadding=2>\n"
                    "<tr><th>Row<th>Name<th>Amount<th>Link<th>Notes\n";
    for (int R = 0; R < Rows; ++R) {
        const std::string N = std::to_string(R);
        S += "<tr><td>" + N + "</td><td>Item number " + N + "</td><td align=right>" +
             std::to_string(R * 37 % 1000) + ".00</td><td><a href=\"item" + N +
             ".html\">details</a></td><td>" +
             (R % 3 == 0 ? "a longer note that takes a few more words in its cell" : "short") +
             "</td></tr>\n";
    }
    return S + "</table>\n<p>After the table.</body></html>";
}

struct TTableDoc {
    TSectionList Doc{nullptr, nullptr};
    TStringList Names;
    TBitmap Bitmap{800, 600};

    void Build(const std::string& Html)
    {
        Doc.Clear();
        Names.Clear();
        THtmlParser().HtmlParseBuffer(&Doc, &Names, Html.data(), Html.size());
    }
    int Layout()
    {
        int Curs = 0, MaxWidth = 0;
        return Doc.DoLogic(Bitmap.Canvas(), 0, Curs, MaxWidth, 800);
    }
};

// Layout alone: the built document laid out again, as a resize does.
void BM_TableLayout(benchmark::State& State)
{
    auto T = std::make_unique<TTableDoc>();
    T->Doc.SetDefaults("Times New Roman", "Courier New", clWhite, clBlue, clBlack, 12);
    T->Names.SetSorted(true);
    T->Build(TablePage(static_cast<int>(State.range(0))));
    int Height = T->Layout();
    for (auto _ : State)
        benchmark::DoNotOptimize(Height = T->Layout());
    State.counters["height"] = Height;
    State.SetComplexityN(State.range(0));
}
BENCHMARK(BM_TableLayout)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity();

// Building and laying out, as a load does.
void BM_TableLoad(benchmark::State& State)
{
    const std::string Html = TablePage(static_cast<int>(State.range(0)));
    auto T = std::make_unique<TTableDoc>();
    T->Doc.SetDefaults("Times New Roman", "Courier New", clWhite, clBlue, clBlack, 12);
    T->Names.SetSorted(true);
    for (auto _ : State) {
        T->Build(Html);
        benchmark::DoNotOptimize(T->Layout());
    }
    State.SetComplexityN(State.range(0));
}
BENCHMARK(BM_TableLoad)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity();

} // namespace
