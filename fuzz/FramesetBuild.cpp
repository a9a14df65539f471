// The frameset probe and builder on arbitrary bytes: any input gives an answer and a frame tree
// within its limits (at most twenty dimensions a set, valid dimension codes, nesting
// within the builder's limit, every named frame alive), without crashing, hanging or leaking. The first byte
// picks the source kind and whether a script handler is set.
#include "html-engine/FrameView.h"
#include "html-engine/HtmlModel.h"
#include "html-engine/HtmlParser.h"
#include "platform/classes/Classes.h"
#include "platform/rtl/Streams.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace {

void Check(bool Condition)
{
    if (!Condition)
        __builtin_trap();
}

// Checks every set of the tree under Set.
void CheckSet(const TSubFrameSet* Set, int Depth)
{
    Check(Depth <= MaxNestDepth + 1);
    // A closed set has a dimension for every child (frames past the list take one share).
    Check(Set->DimCount >= 0 && static_cast<int>(Set->Dims.size()) >= Set->DimCount);
    for (int I = 0; I < Set->DimCount; ++I) {
        const int D = Set->Dims[static_cast<std::size_t>(I)];
        Check((D >= 1 && D <= 5000) || (D <= -1 && D >= -99) || (D <= -101 && D >= -1000));
    }
    for (int I = 0; I < Set->Children.Count(); ++I)
        if (auto* Sub = dynamic_cast<TSubFrameSet*>(Set->Child(I)))
            CheckSet(Sub, Depth + 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    if (Size == 0)
        return 0;
    const int Kind = 1 + Data[0] % 3;
    const bool WithScripts = (Data[0] & 8) != 0;
    const std::string Text(reinterpret_cast<const char*>(Data + 1), Size - 1);
    TStringList Lines;
    Lines.SetText(Text);
    TMemoryStream Stream;
    Stream.Write(Text.data(), static_cast<Longint>(Text.size()));
    THtmlParser Parser;
    TFrameViewer Host(nullptr);
    if (WithScripts)
        Host.SetOnScript([](TObject* Sender, const std::string&, std::unique_ptr<char[]> Script) {
            Check(Script && dynamic_cast<TSubFrameSet*>(Sender));
        });
    Parser.IsFramesetDocument(Kind, "", &Lines, Text.data(), Text.size(), &Stream);
    Check(!Parser.State().Parsing);
    {
        TFrameSet Set(nullptr, &Host);
        const bool Found =
            Parser.FramesetParse(&Set, Kind, "/fuzz/index.html", Text.data(), Text.size(), &Stream, &Lines);
        Check(!Parser.State().Parsing);
        if (!Found)
            Check(Set.Children.Count() == 0);
        CheckSet(&Set, 0);
        for (int I = 0; I < Set.NamedFrames.Count(); ++I)
            Check(dynamic_cast<TFrame*>(Set.NamedFrames.Objects(I)) != nullptr);
    }
    // The same parser builds a page afterwards.
    TSectionList Doc(nullptr, nullptr);
    Doc.SetDefaults("Arial", "Courier New", clWhite, clBlue, clBlack, 12);
    try {
        Parser.HtmlParseBuffer(&Doc, nullptr, Text.data(), Text.size());
    } catch (const EParseError&) {
    }
    Check(!Parser.State().Parsing);
    return 0;
}
