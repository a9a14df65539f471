// Speed of the run-time's conversions the layout and status code call in loops.
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TextFiles.h"

#include <benchmark/benchmark.h>

namespace {

void BM_IntToStr(benchmark::State& State)
{
    int i = 0;
    for (auto _ : State)
        benchmark::DoNotOptimize(IntToStr((i++ % 100000) * 7919));
}
BENCHMARK(BM_IntToStr);

void BM_StrToInt(benchmark::State& State)
{
    const std::string texts[] = {"12345", "$FF00FF", "-42", "2147483647"};
    int i = 0;
    for (auto _ : State)
        benchmark::DoNotOptimize(StrToInt(texts[i++ & 3]));
}
BENCHMARK(BM_StrToInt);

void BM_Format(benchmark::State& State)
{
    int i = 0;
    for (auto _ : State) {
        benchmark::DoNotOptimize(Format("%s, version %u.%.2u (%d%%)", {"Windows NT", 4, i & 63, i & 1023}));
        ++i;
    }
}
BENCHMARK(BM_Format);

void BM_FormatFloat(benchmark::State& State)
{
    double v = 1234567;
    for (auto _ : State)
        benchmark::DoNotOptimize(FormatFloat("#,\"KB Free\"", v += 1024));
}
BENCHMARK(BM_FormatFloat);

void BM_DecodeText1252(benchmark::State& State)
{
    std::string bytes;
    for (int i = 0; i < 2000; ++i)
        bytes += "caf\xE9 au lait, \x93quoted\x94\n";
    for (auto _ : State)
        benchmark::DoNotOptimize(DecodeText(bytes));
    State.SetBytesProcessed(static_cast<int64_t>(State.iterations() * bytes.size()));
}
BENCHMARK(BM_DecodeText1252);

void BM_IniLookup(benchmark::State& State)
{
    std::string text = "[Lib]\r\n";
    for (int i = 1; i <= 50; ++i)
        text += "q" + IntToStr(i) + "=c:\\units\\u" + IntToStr(i) + "\\\r\n";
    const TIniContent ini(text);
    std::string v;
    int i = 0;
    for (auto _ : State)
        benchmark::DoNotOptimize(ini.ReadValue("Lib", "q" + IntToStr(1 + (i++ % 50)), v));
}
BENCHMARK(BM_IniLookup);

} // namespace
