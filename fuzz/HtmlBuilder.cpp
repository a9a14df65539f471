// The document builder on arbitrary bytes: any input builds a document (or ends in the
// open-comment error) without crashing, hanging or leaking, and the document it gives lays out.
// The first byte picks the entry point and whether a script handler is set; a script that
// starts with "p" makes the handler parse the script's text: into the running parse (its parser
// or its document) that is refused and the running parse goes on, into a document of its own it
// builds that document.
#include "html-engine/HtmlModel.h"
#include "html-engine/HtmlParser.h"
#include "platform/classes/Classes.h"
#include "platform/graphics/Graphics.h"
#include "platform/rtl/Streams.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    if (Size == 0)
        return 0;
    const int Mode = Data[0] & 7;
    const bool WithScripts = (Data[0] & 8) != 0;
    const std::string Text(reinterpret_cast<const char*>(Data + 1), Size - 1);
    TSectionList Doc(nullptr, nullptr);
    Doc.SetDefaults("Arial", "Courier New", clWhite, clBlue, clBlack, 12);
    TStringList Names;
    Names.SetSorted(true);
    THtmlParser Parser;
    if (WithScripts)
        Doc.OnScript = [&Parser](TObject* Sender, const std::string&, std::unique_ptr<char[]> Script) {
            auto* Running = dynamic_cast<TSectionList*>(Sender);
            if (!Script || !Running)
                __builtin_trap();
            if (Script[0] != 'p')
                return;
            const std::size_t Length = std::strlen(Script.get());
            TSectionList Other(nullptr, nullptr);
            Other.SetDefaults("Arial", "Courier New", clWhite, clBlue, clBlack, 12);
            for (int Into = 0; Into < 2; ++Into) {
                try {
                    if (Into == 0)
                        Parser.HtmlParseBuffer(&Other, nullptr, Script.get(), Length);
                    else
                        THtmlParser().HtmlParseBuffer(Running, nullptr, Script.get(), Length);
                    __builtin_trap();
                } catch (const EParseError&) {
                }
            }
            THtmlParser Own;
            try {
                Own.HtmlParseBuffer(&Other, nullptr, Script.get(), Length);
            } catch (const EParseError&) {
            }
            if (Own.State().Parsing || Other.Parsing || Own.State().FontStack.Count() != 0)
                __builtin_trap();
        };
    try {
        switch (Mode) {
        case 1: {
            TStringList Lines;
            Lines.SetText(Text);
            Parser.HtmlParseStrings(&Doc, &Names, &Lines);
            break;
        }
        case 2: {
            TMemoryStream Stream;
            Stream.Write(Text.data(), static_cast<Longint>(Text.size()));
            Parser.HtmlParseStream(&Doc, &Names, &Stream);
            break;
        }
        case 3: {
            TStringList Lines;
            Lines.SetText(Text);
            Parser.TextParseStrings(&Doc, &Names, &Lines);
            break;
        }
        default:
            Parser.HtmlParseBuffer(&Doc, &Names, Text.data(), Text.size());
            break;
        }
    } catch (const EParseError&) {
    }
    if (Parser.State().Parsing || Doc.Parsing || Parser.State().FontStack.Count() != 0)
        __builtin_trap();
    // Every anchor leads to a live block of the document.
    for (int I = 0; I < Names.Count(); ++I)
        if (Names.Objects(I) && !Doc.HoldsObject(Names.Objects(I)))
            __builtin_trap();
    if (Mode >= 4) {
        TBitmap Bitmap(200, 100);
        int Curs = 0, MaxWidth = 0;
        Doc.DoLogic(Bitmap.Canvas(), 0, Curs, MaxWidth, 200);
        Doc.Draw(Bitmap.Canvas(), Rect(0, 0, 200, 100), 0, 0, 200);
    }
    return 0;
}
