// Grids: rows and columns of cells painted through the canvas. TCustomGrid lays the cells out
// (fixed rows and columns stay put, the others scroll), draws the lines and the selection, and
// moves the current cell by mouse and keys, asking SelectCell first; TDrawGrid hands each cell
// to OnDrawCell.
#pragma once

#include "platform/controls/Controls.h"

#include <functional>
#include <vector>

enum TGridOption {
    goFixedVertLine,
    goFixedHorzLine,
    goVertLine,
    goHorzLine,
    goRangeSelect,
    goDrawFocusSelected,
    goRowSizing,
    goColSizing,
    goRowMoving,
    goColMoving,
    goEditing,
    goTabs,
    goRowSelect,
    goAlwaysShowEditor,
    goThumbTracking,
};
using TGridOptions = TSet<TGridOption>;

enum TGridDrawStateItem { gdSelected, gdFocused, gdFixed };
using TGridDrawState = TSet<TGridDrawStateItem>;

// A block of cells, corners included: Left/Right are columns, Top/Bottom rows.
struct TGridRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool operator==(const TGridRect&) const = default;
};
struct TGridCoord {
    int X = 0, Y = 0;
    bool operator==(const TGridCoord&) const = default;
};

using TDrawCellEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, const TRect& Rect, TGridDrawState State)>;
using TSelectCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)>;

class TCustomGrid : public TCustomControl {
public:
    explicit TCustomGrid(TComponent* AOwner);

    int ColCount() const { return FColCount; }
    void SetColCount(int Value);
    int RowCount() const { return FRowCount; }
    void SetRowCount(int Value);
    int FixedCols() const { return FFixedCols; }
    void SetFixedCols(int Value);
    int FixedRows() const { return FFixedRows; }
    void SetFixedRows(int Value);
    int DefaultColWidth() const { return FDefaultColWidth; }
    void SetDefaultColWidth(int Value);
    int DefaultRowHeight() const { return FDefaultRowHeight; }
    void SetDefaultRowHeight(int Value);
    int ColWidths(int Index) const;
    void SetColWidths(int Index, int Value);
    int RowHeights(int Index) const;
    void SetRowHeights(int Index, int Value);
    int GridLineWidth() const { return FGridLineWidth; }
    void SetGridLineWidth(int Value);
    TGridOptions Options() const { return FOptions; }
    void SetOptions(TGridOptions Value);
    bool DefaultDrawing = true;
    TColor FixedColor() const { return FFixedColor; }
    void SetFixedColor(TColor Value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);

    // The current cell. Setting it from code moves there when SelectCell allows it.
    int Col() const { return FCol; }
    void SetCol(int Value) { FocusCell(Value, FRow, true); }
    int Row() const { return FRow; }
    void SetRow(int Value) { FocusCell(FCol, Value, true); }
    TGridRect Selection() const;
    void SetSelection(const TGridRect& Value);
    // The first scrolling row and column shown.
    int TopRow() const { return FTopRow; }
    void SetTopRow(int Value);
    int LeftCol() const { return FLeftCol; }
    void SetLeftCol(int Value);
    int VisibleColCount() const; // scrolling columns wholly shown
    int VisibleRowCount() const;

    // Client rectangle of a cell; empty when it is scrolled out of view.
    TRect CellRect(int ACol, int ARow) const;
    // The cell under a client point; (-1, -1) outside the cells.
    void MouseToCell(int X, int Y, int& ACol, int& ARow) const;
    TGridCoord MouseCoord(int X, int Y) const;

    TCanvas* Canvas() const { return TCustomControl::Canvas(); }

protected:
    TW_MESSAGE_HANDLERS(TCustomGrid);
    void WMGetDlgCode(TWMGetDlgCode Message);
    void WMSetFocus(TWMSetFocus Message);
    void WMKillFocus(TWMKillFocus Message);
    void WMVScroll(TWMVScroll Message);
    void WMHScroll(TWMHScroll Message);
    void WMMouseWheel(TWMMouseWheel Message);

    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Paint() override;
    // Paints one cell after the default background (DefaultDrawing); TDrawGrid calls OnDrawCell.
    virtual void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) = 0;
    // Whether the cell may become the current one.
    virtual bool SelectCell(int ACol, int ARow);
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    // Moves the current cell (and, unless extending, the anchor) after asking SelectCell.
    bool FocusCell(int ACol, int ARow, bool MoveAnchor);
    void MakeVisible(int ACol, int ARow);
    void UpdateScrollBars();
    void SizeChanged() override;
    // Where a column/row starts along the axis (fixed ones first, then from LeftCol/TopRow);
    // -1 when scrolled away.
    int ColLeft(int ACol) const;
    int RowTop(int ARow) const;
    int Clamp(int Value, int Low, int High) const
    {
        return Value < Low ? Low : (Value > High ? High : Value);
    }

    int FColCount = 5, FRowCount = 5;
    int FFixedCols = 1, FFixedRows = 1;
    int FDefaultColWidth = 64, FDefaultRowHeight = 24;
    std::vector<int> FColWidths, FRowHeights;
    int FGridLineWidth = 1;
    TGridOptions FOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect};
    TColor FFixedColor = clBtnFace;
    TScrollStyle FScrollBars = ssBoth;
    TBorderStyle FBorderStyle = bsSingle;
    int FCol = 1, FRow = 1;
    int FAnchorCol = 1, FAnchorRow = 1;
    int FTopRow = 1, FLeftCol = 1;
    bool FSelecting = false;
};

class TDrawGrid : public TCustomGrid {
public:
    explicit TDrawGrid(TComponent* AOwner) : TCustomGrid(AOwner) {}
    TDrawCellEvent OnDrawCell;
    TSelectCellEvent OnSelectCell;

protected:
    void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
    bool SelectCell(int ACol, int ARow) override;
};
TW_LINK_CLASS(TDrawGrid);
