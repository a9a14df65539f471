// The laid-out document on arbitrary pages: whatever the builder makes of the bytes lays out at
// any width, paints at any scroll offset, and answers every hit test, search and selection count
// with a position inside the document, without crashing or reading freed memory; its form
// controls paint themselves when printed and reset.
// The first byte picks the layout width, the second the base font size.
#include "html-engine/HtmlForms.h"
#include "html-engine/HtmlModel.h"
#include "html-engine/HtmlParser.h"
#include "html-engine/HtmlSections.h"
#include "platform/classes/Classes.h"
#include "platform/graphics/Graphics.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

namespace {

void Check(bool Condition)
{
    if (!Condition)
        __builtin_trap();
}

void Probe(TSectionList& Doc, TCanvas* Canvas, int Width, int Height)
{
    const int Len = Doc.Len;
    for (int YOff : {0, Height / 3, Height - 5}) {
        Doc.SetYOffset(std::max(0, YOff));
        Doc.Draw(Canvas, Rect(0, 0, 160, 120), 0, 3, 160);
    }
    Doc.SetYOffset(0);
    // Printed, the form controls paint themselves; a reset puts them back as the page had them.
    Doc.Printing = true;
    Doc.Draw(Canvas, Rect(0, 0, 160, 120), 0, 3, 160);
    Doc.Printing = false;
    for (int I = 0; I < Doc.formList.Count(); ++I)
        Doc.formList.ItemAs<ThtmlForm>(I)->ResetAll();
    for (int Y = -3; Y < Height + 10; Y += std::max(1, Height / 13)) {
        for (int X = -5; X < Width + 20; X += std::max(1, Width / 7)) {
            TCell* Cell = nullptr;
            int LineHeight = 0, Top = 0, CaretX = 0;
            const int Pos = Doc.FindCursor(Canvas, X, Y, Cell, LineHeight, Top, CaretX);
            Check(Pos >= -1 && Pos <= Len);
            TFormControlObj* Control = nullptr;
            TUrlTarget Link;
            Doc.GetURL(Canvas, X, Y, Control, Link);
        }
    }
    for (int P = 0; P <= Len; P += std::max(1, Len / 17)) {
        int X = 0, Y = 0;
        Doc.CursorToXY(Canvas, P, X, Y);
        char Ch = 0;
        TObject* Obj = nullptr;
        if (Doc.GetChAtPos(P, Ch, Obj))
            Check(Obj != nullptr);
        for (const char* What : {"a", "E", " t", "\xC3\xA9"}) {
            const int Found = Doc.FindString(P, What, P % 2 == 0);
            Check(Found == -1 || (Found >= P && Found < Len));
        }
        Doc.SelB = P;
        Doc.SelE = Len - P / 2;
        Check(Doc.GetSelLength() >= 0);
    }
    Doc.SelB = Doc.SelE = 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    if (Size < 2)
        return 0;
    const int Width = 1 + Data[0] * 3;
    const int FontSize = 6 + Data[1] % 30;
    const std::string Text(reinterpret_cast<const char*>(Data + 2), Size - 2);
    SetProcessErrorHandler([](const std::string&) {});
    TSectionList Doc(nullptr, nullptr);
    Doc.SetDefaults("Arial", "Courier New", clWhite, clBlue, clBlack, FontSize);
    TStringList Names;
    Names.SetSorted(true);
    try {
        THtmlParser().HtmlParseBuffer(&Doc, &Names, Text.data(), Text.size());
    } catch (const EParseError&) {
    }
    TBitmap Bitmap(160, 120);
    TCanvas* Canvas = Bitmap.Canvas();
    // Once at the chosen width, then again narrower after a font change, as a resize does.
    for (int Pass = 0; Pass < 2; ++Pass) {
        const int W = Pass == 0 ? Width : std::max(1, Width / 3);
        int Curs = 0, MaxWidth = 0;
        const int Height = Doc.DoLogic(Canvas, 0, Curs, MaxWidth, W);
        Check(Height >= 0 && MaxWidth >= 0);
        Check(Curs == Doc.Len);
        for (int I = 0; I < Names.Count(); ++I)
            Check(!Names.Objects(I) || Doc.HoldsObject(Names.Objects(I)));
        Probe(Doc, Canvas, W, Height);
        Doc.SetDefaults("Times New Roman", "Courier New", clWhite, clBlue, clBlack, FontSize + 4);
    }
    SetProcessErrorHandler(nullptr);
    return 0;
}
