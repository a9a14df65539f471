#include "html-engine/HtmlTables.h"

#include <algorithm>

TCellList::TCellList(TAttributeList* Attributes)
{
    TAttribute* A = nullptr;
    std::int32_t Color = 0;
    if (Attributes && Attributes->Find(BGColorSy, A) && ColorFromString(A->Text, Color)) {
        BkGnd = true;
        BkColor = Color | clPaletteRelative;
    }
}

TCellList::TCellList(TSectionList* Master, const TCellList& Source)
    : TFreeList(), BkGnd(Source.BkGnd), BkColor(Source.BkColor)
{
    for (int I = 0; I < Source.Count(); ++I)
        Add(new TCellObj(Master, *Source.CellObj(I)));
}

ThtmlTable::ThtmlTable(TSectionList* Master, int ALevel, TCell* OwnerCell, int AJustify,
                       TAttributeList* Attributes)
    : Caption(std::make_unique<TCellObj>(Master, 0, nullptr)), Level(ALevel),
      Justify(static_cast<std::uint8_t>(AJustify))
{
    (void)OwnerCell;
    ParentSectionList = Master;
    TAttribute* A = nullptr;
    if (Attributes && Attributes->Find(BorderSy, A))
        BorderOn = A->Value > 0;
}

ThtmlTable::ThtmlTable(TSectionList* Master, const ThtmlTable& Source)
    : TSectionBase(Master, Source), Caption(std::make_unique<TCellObj>(Master, *Source.Caption)),
      CaptionTop(Source.CaptionTop), Level(Source.Level), Justify(Source.Justify), BorderOn(Source.BorderOn)
{
    for (int I = 0; I < Source.Rows.Count(); ++I)
        Rows.Add(new TCellList(Master, *Source.Row(I)));
}

TSectionBase* ThtmlTable::Duplicate(TSectionList* MasterList) const
{
    return new ThtmlTable(MasterList, *this);
}

template <class F> void ThtmlTable::ForEachCell(F Fn) const
{
    if (CaptionTop)
        Fn(Caption->Cell.get());
    for (int R = 0; R < Rows.Count(); ++R)
        for (int C = 0; C < Row(R)->Count(); ++C)
            Fn(Row(R)->CellObj(C)->Cell.get());
    if (!CaptionTop)
        Fn(Caption->Cell.get());
}

int ThtmlTable::DrawLogic(TCanvas* Canvas, int Y, int& Curs, int& MaxWidth, IndentManager* IMgr)
{
    StartY = Y;
    StartCurs = Curs;
    const int Width = std::max(0, IMgr->Width - Level * 35);
    int H = 0;
    MaxWidth = 0;
    ForEachCell([&](TCell* Cell) {
        int W = 0;
        H = SatAdd(H, Cell->DoLogic(Canvas, SatAdd(Y, H), Curs, W, Width));
        MaxWidth = std::max(MaxWidth, W);
    });
    Len = Curs - StartCurs;
    SectionHeight = H;
    DrawHeight = H;
    return H;
}

int ThtmlTable::Draw(TCanvas* Canvas, const TRect& ARect, int Y, int X, IndentManager* IMgr)
{
    StartY = Y;
    const int Width = std::max(0, IMgr->Width - Level * 35);
    const int CX = SatAdd(X, static_cast<std::int64_t>(Level) * 35);
    int CY = Y;
    ForEachCell([&](TCell* Cell) { CY = Cell->Draw(Canvas, ARect, CY, CX, Width); });
    return SatAdd(Y, SectionHeight);
}

void ThtmlTable::MinMaxWidth(TCanvas* Canvas, int& Min, int& Max)
{
    Min = 0;
    Max = 0;
    ForEachCell([&](TCell* Cell) {
        int Mn = 0, Mx = 0;
        Cell->MinMaxWidth(Canvas, Mn, Mx);
        Min = std::max(Min, Mn);
        Max = std::max(Max, Mx);
    });
}

void ThtmlTable::UpdateFonts()
{
    ForEachCell([](TCell* Cell) { Cell->UpdateFonts(); });
}

void ThtmlTable::CopyToClipboard()
{
    ForEachCell([](TCell* Cell) { Cell->CopyToClipboard(); });
}

bool ThtmlTable::HoldsObject(const TObject* Obj) const
{
    if (Obj == this)
        return true;
    bool Held = false;
    ForEachCell([&](TCell* Cell) { Held = Held || Cell->HoldsObject(Obj); });
    return Held;
}
