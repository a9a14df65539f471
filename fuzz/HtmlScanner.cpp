// The HTML scanner on arbitrary bytes: every token reader must reach the end of input, and
// the only error it may raise is the open-comment error. The first byte picks the reader and
// the source kind, so the content readers and the string-list and stream sources are covered.
#include "html-engine/HtmlParser.h"

#include "platform/classes/Classes.h"
#include "platform/rtl/Streams.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

void ScanToEnd(THtmlParser& P, int Reader)
{
    P.ResetScanner();
    P.State().PreFormatted = Reader == 1;
    P.State().ScriptMode = Reader == 3;
    try {
        P.NextCh();
        // Every token consumes at least one byte, so this bound is never reached unless the
        // scanner stops advancing.
        for (std::size_t Guard = 0;; ++Guard) {
            if (Guard > 10'000'000)
                __builtin_trap();
            switch (Reader) {
            case 2:
                P.GetTextAreaSymbol();
                break;
            case 3:
                P.GetScriptSymbol();
                break;
            default:
                P.GetSymbol();
                break;
            }
            if (P.State().Sy == EofSy)
                break;
            if (P.State().TokenText.size() > 1000)
                __builtin_trap();
        }
    } catch (const EParseError&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    if (Size == 0)
        return 0;
    const int Reader = Data[0] & 3;
    const int Kind = (Data[0] >> 2) & 3;
    const char* Text = reinterpret_cast<const char*>(Data + 1);
    const std::size_t Length = Size - 1;
    THtmlParser P;
    if (Kind == 2) {
        TStringList Lines;
        Lines.SetText(std::string(Text, Length));
        P.OpenSourceStrings(&Lines);
        ScanToEnd(P, Reader);
    } else if (Kind == 3) {
        TMemoryStream Stream;
        Stream.Write(Text, static_cast<Longint>(Length));
        Stream.SetPosition(0);
        P.OpenSourceStream(&Stream);
        ScanToEnd(P, Reader);
    } else {
        P.OpenSourceBuffer(Text, Length);
        ScanToEnd(P, Reader);
    }
    return 0;
}
