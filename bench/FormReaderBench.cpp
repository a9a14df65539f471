// Forms with very many components side by side: every component read is named, and naming one
// looks its name up among its siblings, so the lookup must not walk them all.
#include "platform/classes/Classes.h"
#include "platform/classes/FormReader.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/Forms.h"
#include "platform/rtl/SysUtils.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

TW_LINK_CLASS(TOpenDialog); // created by the form reader only

namespace {

std::string ManySiblings(int Count)
{
    std::string Text = "object Form1: TForm\n";
    for (int I = 1; I <= Count; ++I)
        Text += "  object Dialog" + IntToStr(I) + ": TOpenDialog\n    Title = 'Open " + IntToStr(I) +
                "'\n  end\n";
    return Text + "end\n";
}

// Reading the whole form: creating and naming each component. (Components with windows or that
// measure text, timers and labels, add costs of their own; these have neither.)
void BM_ReadFormManySiblings(benchmark::State& State)
{
    const int Count = static_cast<int>(State.range(0));
    const std::string Text = ManySiblings(Count);
    for (auto _ : State) {
        auto Form = std::make_unique<TForm>(nullptr);
        ReadForm(Form.get(), Text, "many.form");
        benchmark::DoNotOptimize(Form->FindComponent("Dialog" + IntToStr(Count)));
        Form->BeforeDestruction();
    }
    State.SetItemsProcessed(State.iterations() * Count);
}
BENCHMARK(BM_ReadFormManySiblings)->Arg(2000)->Arg(6000)->Arg(20000)->Unit(benchmark::kMillisecond);

// One lookup by name, in another case, among Count named siblings.
void BM_FindComponentAmongSiblings(benchmark::State& State)
{
    const int Count = static_cast<int>(State.range(0));
    TComponent Root(nullptr);
    for (int I = 1; I <= Count; ++I)
        (new TComponent(&Root))->SetName("Item" + IntToStr(I));
    std::vector<std::string> Names;
    for (int I = 1; I <= Count; I += 97)
        Names.push_back("ITEM" + IntToStr(I));
    std::size_t Next = 0;
    for (auto _ : State)
        benchmark::DoNotOptimize(Root.FindComponent(Names[Next++ % Names.size()]));
}
BENCHMARK(BM_FindComponentAmongSiblings)->Arg(20)->Arg(20000);

} // namespace
