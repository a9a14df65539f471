// Forms with very many components side by side: every component read is named, and naming one
// looks its name up among its siblings, so the lookup must not walk them all.
#include "platform/classes/Classes.h"
#include "platform/classes/FormReader.h"
#include "platform/controls/Forms.h"
#include "platform/rtl/SysUtils.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

std::string ManySiblings(int Count)
{
    std::string Text = "object Form1: TForm\n";
    for (int I = 1; I <= Count; ++I)
        Text += "  object Label" + IntToStr(I) + ": TLabel\n    Left = " + IntToStr(I % 500) + "\n  end\n";
    return Text + "end\n";
}

// Reading the whole form: creating, naming and placing each label.
void BM_ReadFormManySiblings(benchmark::State& State)
{
    const int Count = static_cast<int>(State.range(0));
    const std::string Text = ManySiblings(Count);
    for (auto _ : State) {
        auto Form = std::make_unique<TForm>(nullptr);
        ReadForm(Form.get(), Text, "many.form");
        benchmark::DoNotOptimize(Form->FindComponent("Label" + IntToStr(Count)));
        Form->BeforeDestruction();
    }
    State.SetItemsProcessed(State.iterations() * Count);
}
BENCHMARK(BM_ReadFormManySiblings)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

// Naming plain components one after another, then finding each by name in another case.
void BM_NameAndFindSiblings(benchmark::State& State)
{
    const int Count = static_cast<int>(State.range(0));
    for (auto _ : State) {
        TComponent Root(nullptr);
        for (int I = 1; I <= Count; ++I)
            (new TComponent(&Root))->SetName("Item" + IntToStr(I));
        for (int I = 1; I <= Count; ++I)
            benchmark::DoNotOptimize(Root.FindComponent("ITEM" + IntToStr(I)));
    }
    State.SetItemsProcessed(State.iterations() * Count);
}
BENCHMARK(BM_NameAndFindSiblings)->Arg(20000)->Unit(benchmark::kMillisecond);

} // namespace
