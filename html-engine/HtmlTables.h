// Tables in the document: a ThtmlTable block holds rows (TCellList) of cells (TCellObj, each
// with a TCell of blocks) and a caption cell. The table normalises its grid for row and column
// spans, sizes its columns from the cells' minimum and maximum widths under pixel or percentage
// WIDTH rules, sizes its rows, lays out and paints every cell with the 3-D borders, and routes
// hit tests, cursor queries, search and the selection count into its cells. ALIGN=LEFT or RIGHT
// makes it float beside the text like an image.
//
// After normalisation every row has one entry per grid position it covers: a position that a
// COLSPAN or ROWSPAN of another cell covers holds a filler cell (ColSpan 0, empty), so a column
// index is an index into the row's list. A grid is at most MaxTableCols wide.
#pragma once

#include "html-engine/HtmlModel.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One row of cells; owns them.
class TCellList : public TFreeList {
public:
    // The TR attributes (BGCOLOR); Attributes may be null.
    explicit TCellList(TAttributeList* Attributes);
    TCellList(TSectionList* Master, const TCellList& Source);
    TCellObj* CellObj(int Index) const { return ItemAs<TCellObj>(Index); }

    int RowHeight = 0;
    int SpannedHeight = 0; // the tallest Ht of its cells
    bool BkGnd = false;
    TColor BkColor = clWhite;
};

class ThtmlTable : public TSectionBase {
public:
    static constexpr int MaxTableCols = 30;

    ThtmlTable(TSectionList* Master, int ALevel, TCell* AOwnerCell, int AJustify, TAttributeList* Attributes);
    // Copies rows, caption and settings; the copy paints no background or border colour of
    // its own.
    ThtmlTable(TSectionList* Master, const ThtmlTable& Source);

    TSectionBase* Duplicate(TSectionList* MasterList) const override;
    void CopyToClipboard() override;
    int DrawLogic(TCanvas* Canvas, int Y, int& Curs, int& MaxWidth, IndentManager* IMgr) override;
    int Draw(TCanvas* Canvas, const TRect& ARect, int Y, int X, IndentManager* IMgr) override;
    bool GetURL(TCanvas* Canvas, int X, int Y, TFormControlObj*& FormControl, TUrlTarget& UrlTarget) override;
    int FindCursor(TCanvas* Canvas, int X, int Y, TCell*& Cell, int& LineHeight, int& Top,
                   int& CaretX) override;
    int FindString(int From, const std::string& ToFind, bool MatchCase) override;
    bool CursorToXY(TCanvas* Canvas, int Cursor, int& X, int& Y) override;
    bool GetChAtPos(int Pos, char& Ch, TObject*& Obj) override;
    void UpdateFonts() override;
    void MinMaxWidth(TCanvas* Canvas, int& Min, int& Max) override;
    bool HoldsObject(const TObject* Obj) const override;

    // Grid normalisation: colours passed down, fillers for the spans. Raises EProcessError
    // "Table has too many Columns" when the grid would be wider than MaxTableCols.
    void Initialize();

    TCellList* Row(int Index) const { return Rows.ItemAs<TCellList>(Index); }

    TFreeList Rows; // TCellList, owned
    std::unique_ptr<TCellObj> Caption;
    bool Initialized = false;
    bool BorderOn = false;
    bool CaptionTop = true;
    int TableIndent = 0;      // X of the grid from the paint X
    int Indent = 0;           // X of the table's box (alignment and left indent)
    std::uint8_t Justify = 1; // 1 left, 2 centre, 3 right
    bool Float = false;
    int NumCols = 0;
    int TableWidth = 0; // CellSpacing + the column widths
    int TotalWidth = 0; // the wider of the grid and the caption
    int WidthAttr = 0;  // WIDTH in pixels or percent; 0 when absent
    bool AsPercent = false;
    bool UseAbsolute = false; // some cell has a WIDTH in pixels
    int CaptionHeight = 0;
    int TableHeight = 0; // the grid with its last spacing
    int CellPadding = 2;
    int CellSpacing = 3;
    int CaptionMinWidth = 0;
    std::array<int, MaxTableCols + 1> Widths{};
    std::array<int, MaxTableCols + 1> Percents{};
    int HSpace = 5;
    int Level = 0;
    int DrawX = 0, DrawY = 0; // where the grid was painted last (screen X, document Y)
    bool BkGnd = false;
    bool BdrOn = false; // BORDERCOLOR given
    TColor BkColor = clWhite;
    TColor BorderColor = clBlack;
    TCell* OwnerCell = nullptr; // the cell holding the table, for its background

private:
    enum class TPart { None, Grid, Caption };

    // The space a cell adds around its content.
    int CS() const { return 2 * CellPadding + CellSpacing - 1; }
    static bool IsFiller(const TCellObj* C) { return C->ColSpan == 0 || C->RowSpan == 0; }
    // Column minima and maxima (FMin, FMax and their totals) by the rule UseAbsolute selects.
    void ColumnWidthRange(TCanvas* Canvas);
    template <class F> void ForCellsBySpan(TCanvas* Canvas, F Fn);
    // One cell's widths into the columns it spans, by the pixel or the percentage rule.
    void PixelSpan(const TCellObj* C, int K, int N, int Mn, int Mx);
    void PercentSpan(const TCellObj* C, int K, int N, int Mn, int Mx);
    void SumColumnRange();
    void SetColumnWidths(int Width, bool HasWidth);
    bool PercentColumnWidths(int Width);
    void Interpolate(int Width);
    void RowHeights(TCanvas* Canvas, std::vector<int>& RowHt);
    // A cell's content height at Width, and its width range. Within one layout of the document
    // each is found once per cell (and width), so nested tables do not lay out their cells
    // again for every pass of every table around them.
    int MeasureCell(TCanvas* Canvas, TCellObj* C, int Width);
    void CellMinMax(TCanvas* Canvas, TCellObj* C, int& Min, int& Max);
    // Where a point (Y from the table's top) falls: grid, caption or neither.
    TPart PartAt(int X, int Y) const;
    // The grid cell whose box holds (X, Y), Y from the grid's top; RowTop is the top of its row.
    TCellObj* CellAt(int X, int Y, int& RowTop) const;
    // A grid Y as a Y inside the content of C, whose row starts at RowTop.
    int ContentY(const TCellObj* C, int Y, int RowTop) const
    {
        return SatInt(std::int64_t(Y) - RowTop - CellSpacing - CellPadding - C->YIndent);
    }
    void DrawOutline(TCanvas* Canvas, int Left, int Top, int Right, int Bottom, bool Raised) const;
    // Fn on the content of every cell until it answers true: the caption first when it is
    // above, last when below.
    template <class F> bool AnyCell(F Fn) const;

    std::array<int, MaxTableCols + 1> FMin{}, FMax{};
    std::int64_t FTotalMin = 0, FTotalMax = 0;
};
