// The colouring memo's span finding with the script editor's own colour rules (read from its
// form description): any text, scanned from any point with any selection, gives runs in order,
// apart from each other and inside the scanned range.
#include "components/colour-memo/ColMemo.h"
#include "components/colour-memo/ColorRulesHost.h"
#include "platform/classes/FormReader.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

namespace {

// The lines of the memo's "ColorRules = < ... end>" in the script editor's document window.
std::string ScriptEditorRules()
{
    std::ifstream In(std::string(TW_SOURCE_DIR) + "/apps/script-editor/Childwin.form");
    std::string Line, Block;
    bool Inside = false;
    while (std::getline(In, Line)) {
        const std::size_t First = Line.find_first_not_of(' ');
        const std::string Trimmed = First == std::string::npos ? "" : Line.substr(First);
        if (!Inside && Trimmed.rfind("ColorRules = <", 0) == 0)
            Inside = true;
        if (Inside) {
            Block += Line + "\n";
            if (Trimmed == "end>")
                break;
        }
    }
    if (Block.empty())
        __builtin_trap(); // the form no longer has the rules this target reads
    return Block;
}

TRulesHost& Host()
{
    static TRulesHost* H = [] {
        auto* Made = new TRulesHost;
        ReadForm(Made, "object Host: TRulesHost\n" + ScriptEditorRules() + "  HotSpot.Active = True\nend\n",
                 "Childwin.form");
        Made->ColorRules()->PrepareRules();
        return Made;
    }();
    return *H;
}

void Check(bool Condition)
{
    if (!Condition)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    if (Size < 3)
        return 0;
    // Three bytes choose the scan: where it starts, the selection, tabs and the caret line.
    const std::uint8_t From = Data[0], Sel = Data[1], Flags = Data[2];
    std::string Text(reinterpret_cast<const char*>(Data + 3), Size - 3);
    const int Length = static_cast<int>(Text.size());
    Text += '\0'; // the scanned range ends in the terminator the OnDraw handler sees

    TScanInput In;
    In.Text = Text.data();
    In.Start = Length ? From % (Length + 1) : 0;
    In.End = Length;
    In.Rules = Host().ColorRules();
    In.HotSpot = Host().HotSpot();
    In.WantTabs = Flags & 1;
    In.RedrawAlways = Flags & 2;
    In.CaretLineStart = Length ? (Flags >> 2) % (In.Start + 1) : 0;
    In.CaretPos = In.Start + (Length - In.Start) / 2;
    In.SelStart = Length ? Sel % (Length + 1) : 0;
    In.SelLength = (Sel >> 4) * 3;
    TColorSpans Spans;
    FindColorRuns(In, Spans);

    const int Low = In.RedrawAlways ? std::min(In.Start, In.CaretLineStart) : In.Start;
    int Last = Low - 1;
    for (int I = 0; I < Spans.Count(); ++I) {
        const TKeyDescr& Run = Spans[I];
        Check(Run.StartPos <= Run.EndPos);
        Check(Run.StartPos > Last); // in order, never overlapping
        Check(Run.StartPos >= Low && Run.EndPos < std::max(In.End, In.CaretPos + 1));
        Last = Run.EndPos;
    }
    return 0;
}
