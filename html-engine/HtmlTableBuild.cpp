// Building a TABLE element into a ThtmlTable: rows, cells and caption, with the body loop
// filling each cell.
#include "html-engine/HtmlParser.h"
#include "html-engine/HtmlSections.h"
#include "html-engine/HtmlTables.h"

#include <memory>

namespace {

int CellAlign(TAttributeList& Attributes)
{
    TAttribute* A = nullptr;
    if (!Attributes.Find(AlignSy, A))
        return 0;
    const std::string V = LowerCase(A->Text.substr(0, 9));
    return V == "left" ? 1 : V == "center" ? 2 : V == "right" ? 3 : 0;
}

int CellVAlign(TAttributeList& Attributes, int Default)
{
    TAttribute* A = nullptr;
    if (!Attributes.Find(VAlignSy, A))
        return Default;
    const std::string V = LowerCase(A->Text.substr(0, 9));
    return V == "top" ? 0 : V == "middle" ? 1 : V == "bottom" ? 2 : Default;
}

} // namespace

void THtmlParser::ParseTable(int Level)
{
    static const TSymbolSet CellStopSet =
        SymbolSet({TableEndSy, TDSy, TDEndSy, TRSy, THSy, THEndSy, CaptionSy, CaptionEndSy});
    EndLink();
    const int SavedDepth = PS.FontStack.Count();
    TCell* const Enclosing = PS.CurrentCell;
    const int SavedAlign = PS.CurrentAlign;
    const int SavedFlags = PS.FontStyleFlags;
    AddSection();
    PS.CurrentCell = nullptr;
    auto Table = std::make_unique<ThtmlTable>(PS.Document, Level, Enclosing, SavedAlign, &PS.Attributes);
    auto Row = std::make_unique<TCellList>(nullptr);
    std::unique_ptr<TCellObj> LastCell; // made for the last TD or TH, not yet in a row
    int RowAlign = 0, RowVAlign = 1;
    bool FirstRow = true;

    auto FinishCell = [&] {
        if (!PS.CurrentCell)
            return;
        AddSection();
        if (LastCell && PS.CurrentCell == LastCell->Cell.get())
            Row->Add(LastCell.release());
        PS.CurrentCell = nullptr;
    };
    auto ResetCellState = [&] {
        EndLink();
        PopFontsTo(SavedDepth);
        PS.FontStyleFlags = SavedFlags;
    };

    try {
        GetSymbol();
        while (PS.Sy != TableEndSy && PS.Sy != EofSy) {
            switch (PS.Sy) {
            case TDSy:
            case THSy: {
                const bool Head = PS.Sy == THSy;
                ResetCellState();
                FinishCell();
                int Align = RowAlign ? RowAlign : Head ? 2 : 1;
                if (Head)
                    PS.FontStyleFlags |= 1;
                else
                    PS.FontStyleFlags &= ~1;
                if (const int Own = CellAlign(PS.Attributes))
                    Align = Own;
                LastCell = std::make_unique<TCellObj>(PS.Document, CellVAlign(PS.Attributes, RowVAlign),
                                                      &PS.Attributes);
                PS.CurrentCell = LastCell->Cell.get();
                PS.CurrentAlign = Align;
                SkipWhite();
                GetSymbol();
                if (PS.Sy == PSy) {
                    PS.CurrentAlign = ParagraphAlign(PS.CurrentAlign);
                    GetSymbol();
                }
                ParseBody(CellStopSet);
                FirstRow = false;
                break;
            }
            case TDEndSy:
            case THEndSy:
                FinishCell();
                GetSymbol();
                break;
            case TRSy:
                EndLink();
                if (FirstRow) {
                    FirstRow = false;
                } else {
                    FinishCell();
                    Table->Rows.Add(Row.release());
                }
                // The first row has no cell yet, so it too can be made again with the TR's
                // attributes.
                Row = std::make_unique<TCellList>(&PS.Attributes);
                RowAlign = CellAlign(PS.Attributes);
                RowVAlign = CellVAlign(PS.Attributes, 1);
                GetSymbol();
                break;
            case CaptionSy: {
                ResetCellState();
                FinishCell();
                TAttribute* A = nullptr;
                if (PS.Attributes.Find(AlignSy, A))
                    Table->CaptionTop = LowerCase(A->Text.substr(0, 9)) != "bottom";
                PS.CurrentCell = Table->Caption->Cell.get();
                PS.CurrentAlign = 2;
                GetSymbol();
                ParseBody(CellStopSet);
                AddSection();
                PS.CurrentCell = nullptr;
                if (PS.Sy == CaptionEndSy)
                    GetSymbol();
                break;
            }
            case TextSy:
            case OtherCharSy:
                // Blanks between the tags of rows and cells are layout of the source, not text:
                // each would leave an empty block before the table.
                if (!IsTextSymbol() || PS.CurrentCell ||
                    PS.TokenText.find_first_not_of(' ') == std::string::npos) {
                    GetSymbol();
                    break;
                }
                // Text outside every cell stands above the table.
                PS.CurrentCell = Enclosing;
                ParseBody(CellStopSet);
                AddSection();
                PS.CurrentCell = nullptr;
                break;
            default:
                GetSymbol();
                break;
            }
        }
        ResetCellState();
        FinishCell();
        Table->Rows.Add(Row.release());
    } catch (...) {
        // The table is dropped: nothing may keep pointing into it.
        if (PS.CurrentCell != Enclosing)
            AddSection();
        PS.CurrentCell = Enclosing;
        if (LastCell)
            ForgetCellBlocks(LastCell->Cell.get());
        if (Row)
            for (int I = 0; I < Row->Count(); ++I)
                ForgetCellBlocks(Row->CellObj(I)->Cell.get());
        if (PS.Document)
            PS.Document->ForgetBlock(Table.get());
        PS.FontStyleFlags = SavedFlags;
        PS.CurrentAlign = SavedAlign;
        throw;
    }
    PS.CurrentCell = Enclosing;
    Enclosing->Add(Table.release());
    PS.FontStyleFlags = SavedFlags;
    PS.CurrentAlign = SavedAlign;
    GetSymbol();
}
