#include "platform/controls/Grids.h"

#include "platform/classes/TypInfo.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>

TCustomGrid::TCustomGrid(TComponent* AOwner) : TCustomControl(AOwner)
{
    ControlStyle = TControlStyle{csCaptureMouse, csDoubleClicks, csOpaque};
    FColor = clWindow;
    FTabStop = true;
    FWidth = 320;
    FHeight = 120;
    FColWidths.assign(static_cast<std::size_t>(FColCount), FDefaultColWidth);
    FRowHeights.assign(static_cast<std::size_t>(FRowCount), FDefaultRowHeight);
}

void TCustomGrid::CreateParams(TCreateParams& Params)
{
    TCustomControl::CreateParams(Params);
    if (FScrollBars == ssVertical || FScrollBars == ssBoth)
        Params.Style |= WS_VSCROLL;
    if (FScrollBars == ssHorizontal || FScrollBars == ssBoth)
        Params.Style |= WS_HSCROLL;
    if (FBorderStyle == bsSingle)
        Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomGrid::CreateWnd()
{
    TCustomControl::CreateWnd();
    UpdateScrollBars();
}

// ---- Sizes ------------------------------------------------------------------------------------
void TCustomGrid::SetColCount(int Value)
{
    Value = std::max(1, Value);
    if (Value <= FFixedCols)
        FFixedCols = Value - 1;
    FColCount = Value;
    FColWidths.resize(static_cast<std::size_t>(Value), FDefaultColWidth);
    FCol = Clamp(FCol, FFixedCols, FColCount - 1);
    FAnchorCol = Clamp(FAnchorCol, FFixedCols, FColCount - 1);
    FLeftCol = Clamp(FLeftCol, FFixedCols, FColCount - 1);
    UpdateScrollBars();
    Invalidate();
}

void TCustomGrid::SetRowCount(int Value)
{
    Value = std::max(1, Value);
    if (Value <= FFixedRows)
        FFixedRows = Value - 1;
    FRowCount = Value;
    FRowHeights.resize(static_cast<std::size_t>(Value), FDefaultRowHeight);
    FRow = Clamp(FRow, FFixedRows, FRowCount - 1);
    FAnchorRow = Clamp(FAnchorRow, FFixedRows, FRowCount - 1);
    FTopRow = Clamp(FTopRow, FFixedRows, FRowCount - 1);
    UpdateScrollBars();
    Invalidate();
}

void TCustomGrid::SetFixedCols(int Value)
{
    if (Value < 0 || Value >= FColCount)
        throw EInvalidOperation("Fixed column count must be less than column count");
    FFixedCols = Value;
    FCol = std::max(FCol, Value);
    FAnchorCol = std::max(FAnchorCol, Value);
    FLeftCol = std::max(FLeftCol, Value);
    if (FLeftCol > Value && FLeftCol == FCol)
        FLeftCol = Value;
    UpdateScrollBars();
    Invalidate();
}

void TCustomGrid::SetFixedRows(int Value)
{
    if (Value < 0 || Value >= FRowCount)
        throw EInvalidOperation("Fixed row count must be less than row count");
    FFixedRows = Value;
    FRow = std::max(FRow, Value);
    FAnchorRow = std::max(FAnchorRow, Value);
    FTopRow = std::max(FTopRow, Value);
    if (FTopRow > Value && FTopRow == FRow)
        FTopRow = Value;
    UpdateScrollBars();
    Invalidate();
}

void TCustomGrid::SetDefaultColWidth(int Value)
{
    FDefaultColWidth = std::max(0, Value);
    FColWidths.assign(FColWidths.size(), FDefaultColWidth);
    UpdateScrollBars();
    Invalidate();
}

void TCustomGrid::SetDefaultRowHeight(int Value)
{
    FDefaultRowHeight = std::max(0, Value);
    FRowHeights.assign(FRowHeights.size(), FDefaultRowHeight);
    UpdateScrollBars();
    Invalidate();
}

int TCustomGrid::ColWidths(int Index) const
{
    if (Index < 0 || Index >= FColCount)
        throw EListError("Grid index out of range");
    return FColWidths[static_cast<std::size_t>(Index)];
}

void TCustomGrid::SetColWidths(int Index, int Value)
{
    if (Index < 0 || Index >= FColCount)
        throw EListError("Grid index out of range");
    FColWidths[static_cast<std::size_t>(Index)] = std::max(0, Value);
    UpdateScrollBars();
    Invalidate();
}

int TCustomGrid::RowHeights(int Index) const
{
    if (Index < 0 || Index >= FRowCount)
        throw EListError("Grid index out of range");
    return FRowHeights[static_cast<std::size_t>(Index)];
}

void TCustomGrid::SetRowHeights(int Index, int Value)
{
    if (Index < 0 || Index >= FRowCount)
        throw EListError("Grid index out of range");
    FRowHeights[static_cast<std::size_t>(Index)] = std::max(0, Value);
    UpdateScrollBars();
    Invalidate();
}

void TCustomGrid::SetGridLineWidth(int Value)
{
    FGridLineWidth = std::max(0, Value);
    Invalidate();
}

void TCustomGrid::SetOptions(TGridOptions Value)
{
    FOptions = Value;
    Invalidate();
}

void TCustomGrid::SetFixedColor(TColor Value)
{
    FFixedColor = Value;
    Invalidate();
}

void TCustomGrid::SetScrollBars(TScrollStyle Value)
{
    if (Value != FScrollBars) {
        FScrollBars = Value;
        if (HandleAllocated())
            RecreateWnd();
    }
}

void TCustomGrid::SetBorderStyle(TBorderStyle Value)
{
    if (Value != FBorderStyle) {
        FBorderStyle = Value;
        if (HandleAllocated())
            RecreateWnd();
    }
}

// ---- Layout -----------------------------------------------------------------------------------
namespace {

// The width of the line after a column or row: lines switched off take no room.
int LineAfter(const TGridOptions& O, bool Fixed, bool Vertical, int Width)
{
    if (Vertical)
        return O.Contains(Fixed ? goFixedVertLine : goVertLine) ? Width : 0;
    return O.Contains(Fixed ? goFixedHorzLine : goHorzLine) ? Width : 0;
}

} // namespace

int TCustomGrid::ColLeft(int ACol) const
{
    if (ACol < 0 || ACol >= FColCount)
        return -1;
    int X = 0;
    for (int C = 0; C < FFixedCols && C < ACol; ++C)
        X += FColWidths[C] + LineAfter(FOptions, true, true, FGridLineWidth);
    if (ACol < FFixedCols)
        return X;
    if (ACol < FLeftCol)
        return -1;
    for (int C = FLeftCol; C < ACol; ++C)
        X += FColWidths[C] + LineAfter(FOptions, false, true, FGridLineWidth);
    return X;
}

int TCustomGrid::RowTop(int ARow) const
{
    if (ARow < 0 || ARow >= FRowCount)
        return -1;
    int Y = 0;
    for (int R = 0; R < FFixedRows && R < ARow; ++R)
        Y += FRowHeights[R] + LineAfter(FOptions, true, false, FGridLineWidth);
    if (ARow < FFixedRows)
        return Y;
    if (ARow < FTopRow)
        return -1;
    for (int R = FTopRow; R < ARow; ++R)
        Y += FRowHeights[R] + LineAfter(FOptions, false, false, FGridLineWidth);
    return Y;
}

TRect TCustomGrid::CellRect(int ACol, int ARow) const
{
    int X = ColLeft(ACol), Y = RowTop(ARow);
    if (X < 0 || Y < 0 || X >= ClientWidth() || Y >= ClientHeight())
        return TRect{};
    return TRect{X, Y, X + FColWidths[ACol], Y + FRowHeights[ARow]};
}

void TCustomGrid::MouseToCell(int X, int Y, int& ACol, int& ARow) const
{
    TGridCoord C = MouseCoord(X, Y);
    ACol = C.X;
    ARow = C.Y;
}

TGridCoord TCustomGrid::MouseCoord(int X, int Y) const
{
    TGridCoord Result{-1, -1};
    if (X < 0 || Y < 0 || X >= ClientWidth() || Y >= ClientHeight())
        return Result;
    for (int C = 0; C < FColCount; ++C) {
        if (C >= FFixedCols && C < FLeftCol)
            continue;
        int L = ColLeft(C);
        if (L > X)
            break;
        if (X < L + FColWidths[C] + LineAfter(FOptions, C < FFixedCols, true, FGridLineWidth)) {
            Result.X = C;
            break;
        }
    }
    for (int R = 0; R < FRowCount; ++R) {
        if (R >= FFixedRows && R < FTopRow)
            continue;
        int T = RowTop(R);
        if (T > Y)
            break;
        if (Y < T + FRowHeights[R] + LineAfter(FOptions, R < FFixedRows, false, FGridLineWidth)) {
            Result.Y = R;
            break;
        }
    }
    if (Result.X < 0 || Result.Y < 0)
        return TGridCoord{-1, -1};
    return Result;
}

int TCustomGrid::VisibleColCount() const
{
    int N = 0;
    for (int C = FLeftCol; C < FColCount; ++C) {
        int L = ColLeft(C);
        if (L < 0 || L + FColWidths[C] > ClientWidth())
            break;
        ++N;
    }
    return std::max(1, N);
}

int TCustomGrid::VisibleRowCount() const
{
    int N = 0;
    for (int R = FTopRow; R < FRowCount; ++R) {
        int T = RowTop(R);
        if (T < 0 || T + FRowHeights[R] > ClientHeight())
            break;
        ++N;
    }
    return std::max(1, N);
}

void TCustomGrid::SetTopRow(int Value)
{
    // The last rows stay in view: the top row goes no further than what fills the client area.
    int Last = FRowCount - 1;
    int Fixed = 0;
    for (int R = 0; R < FFixedRows; ++R)
        Fixed += FRowHeights[R] + LineAfter(FOptions, true, false, FGridLineWidth);
    int Room = ClientHeight() - Fixed;
    int MaxTop = Last;
    for (int H = 0; MaxTop >= FFixedRows; --MaxTop) {
        H += FRowHeights[MaxTop] + LineAfter(FOptions, false, false, FGridLineWidth);
        if (H > Room)
            break;
    }
    MaxTop = std::max(FFixedRows, std::min(Last, MaxTop + 1));
    Value = Clamp(Value, FFixedRows, MaxTop);
    if (Value != FTopRow) {
        FTopRow = Value;
        UpdateScrollBars();
        Invalidate();
    }
}

void TCustomGrid::SetLeftCol(int Value)
{
    int Last = FColCount - 1;
    int Fixed = 0;
    for (int C = 0; C < FFixedCols; ++C)
        Fixed += FColWidths[C] + LineAfter(FOptions, true, true, FGridLineWidth);
    int Room = ClientWidth() - Fixed;
    int MaxLeft = Last;
    for (int W = 0; MaxLeft >= FFixedCols; --MaxLeft) {
        W += FColWidths[MaxLeft] + LineAfter(FOptions, false, true, FGridLineWidth);
        if (W > Room)
            break;
    }
    MaxLeft = std::max(FFixedCols, std::min(Last, MaxLeft + 1));
    Value = Clamp(Value, FFixedCols, MaxLeft);
    if (Value != FLeftCol) {
        FLeftCol = Value;
        UpdateScrollBars();
        Invalidate();
    }
}

void TCustomGrid::MakeVisible(int ACol, int ARow)
{
    if (ARow >= FFixedRows) {
        if (ARow < FTopRow)
            SetTopRow(ARow);
        else
            while (FTopRow < ARow && RowTop(ARow) + FRowHeights[ARow] > ClientHeight()) {
                int Old = FTopRow;
                SetTopRow(FTopRow + 1);
                if (FTopRow == Old)
                    break;
            }
    }
    if (ACol >= FFixedCols) {
        if (ACol < FLeftCol)
            SetLeftCol(ACol);
        else
            while (FLeftCol < ACol && ColLeft(ACol) + FColWidths[ACol] > ClientWidth()) {
                int Old = FLeftCol;
                SetLeftCol(FLeftCol + 1);
                if (FLeftCol == Old)
                    break;
            }
    }
}

void TCustomGrid::UpdateScrollBars()
{
    if (!HandleAllocated())
        return;
    if (FScrollBars == ssVertical || FScrollBars == ssBoth) {
        SCROLLINFO SI;
        SI.fMask = SIF_ALL;
        SI.nMin = FFixedRows;
        SI.nMax = FRowCount - 1;
        SI.nPage = static_cast<UINT>(VisibleRowCount());
        SI.nPos = FTopRow;
        SetScrollInfo(FHandle, SB_VERT, &SI, TRUE);
    }
    if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) {
        SCROLLINFO SI;
        SI.fMask = SIF_ALL;
        SI.nMin = FFixedCols;
        SI.nMax = FColCount - 1;
        SI.nPage = static_cast<UINT>(VisibleColCount());
        SI.nPos = FLeftCol;
        SetScrollInfo(FHandle, SB_HORZ, &SI, TRUE);
    }
}

void TCustomGrid::SizeChanged()
{
    TCustomControl::SizeChanged();
    UpdateScrollBars();
}

// ---- Selection --------------------------------------------------------------------------------
TGridRect TCustomGrid::Selection() const
{
    return TGridRect{std::min(FCol, FAnchorCol), std::min(FRow, FAnchorRow), std::max(FCol, FAnchorCol),
                     std::max(FRow, FAnchorRow)};
}

void TCustomGrid::SetSelection(const TGridRect& Value)
{
    FAnchorCol = Clamp(Value.Left, FFixedCols, FColCount - 1);
    FAnchorRow = Clamp(Value.Top, FFixedRows, FRowCount - 1);
    FCol = Clamp(Value.Right, FFixedCols, FColCount - 1);
    FRow = Clamp(Value.Bottom, FFixedRows, FRowCount - 1);
    Invalidate();
}

bool TCustomGrid::SelectCell(int ACol, int ARow)
{
    (void)ACol;
    (void)ARow;
    return true;
}

bool TCustomGrid::FocusCell(int ACol, int ARow, bool MoveAnchor)
{
    if (ACol < FFixedCols || ACol >= FColCount || ARow < FFixedRows || ARow >= FRowCount)
        return false;
    if (!SelectCell(ACol, ARow))
        return false;
    bool Moved = ACol != FCol || ARow != FRow;
    FCol = ACol;
    FRow = ARow;
    if (MoveAnchor || !FOptions.Contains(goRangeSelect)) {
        FAnchorCol = ACol;
        FAnchorRow = ARow;
    }
    MakeVisible(ACol, ARow);
    Invalidate();
    if (Moved)
        Click();
    return true;
}

// ---- Painting ---------------------------------------------------------------------------------
void TCustomGrid::Paint()
{
    TCanvas* C = Canvas();
    C->SetFont(FFont);
    TRect Client = ClientRect();
    C->Brush()->SetColor(FColor);
    C->FillRect(Client);
    bool HasFocus = Focused();
    TGridRect Sel = Selection();
    for (int R = 0; R < FRowCount; ++R) {
        if (R >= FFixedRows && R < FTopRow)
            continue;
        int Y = RowTop(R);
        if (Y >= Client.bottom)
            break;
        for (int Cc = 0; Cc < FColCount; ++Cc) {
            if (Cc >= FFixedCols && Cc < FLeftCol)
                continue;
            int X = ColLeft(Cc);
            if (X >= Client.right)
                break;
            TRect Cell{X, Y, X + FColWidths[Cc], Y + FRowHeights[R]};
            bool Fixed = Cc < FFixedCols || R < FFixedRows;
            TGridDrawState State;
            if (Fixed)
                State.Include(gdFixed);
            else {
                if (HasFocus && Cc == FCol && R == FRow)
                    State.Include(gdFocused);
                bool InSel = Cc >= Sel.Left && Cc <= Sel.Right && R >= Sel.Top && R <= Sel.Bottom;
                if (FOptions.Contains(goRowSelect))
                    InSel = R >= Sel.Top && R <= Sel.Bottom;
                if (InSel)
                    State.Include(gdSelected);
            }
            // Lines after the cell, in the fixed or the normal line colour.
            int VW = LineAfter(FOptions, Cc < FFixedCols, true, FGridLineWidth);
            int HW = LineAfter(FOptions, R < FFixedRows, false, FGridLineWidth);
            C->Brush()->SetColor(Fixed ? clBlack : clSilver);
            if (VW > 0)
                C->FillRect(TRect{Cell.right, Cell.top, Cell.right + VW, Cell.bottom + HW});
            if (HW > 0)
                C->FillRect(TRect{Cell.left, Cell.bottom, Cell.right + VW, Cell.bottom + HW});
            if (DefaultDrawing) {
                bool Highlight = State.Contains(gdSelected) &&
                                 (!State.Contains(gdFocused) ||
                                  !(FOptions * TGridOptions{goDrawFocusSelected, goRowSelect}).Empty());
                C->Brush()->SetColor(Fixed ? FFixedColor : (Highlight ? clHighlight : FColor));
                C->Font()->SetColor(Highlight ? clHighlightText : FFont->Color());
                C->FillRect(Cell);
            } else {
                C->Brush()->SetColor(FColor);
                C->Font()->SetColor(FFont->Color());
            }
            C->Pen()->SetColor(clWindowText);
            DrawCell(Cc, R, Cell, State);
            if (DefaultDrawing && Fixed && Ctl3D) {
                RECT E = Cell;
                DrawEdge(C->Handle(), &E, BDR_RAISEDINNER, BF_RECT);
            }
            if (DefaultDrawing && State.Contains(gdFocused) && !FOptions.Contains(goRowSelect))
                C->DrawFocusRect(Cell);
        }
    }
}

// ---- Input ------------------------------------------------------------------------------------
void TCustomGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft && !Shift.Contains(ssDouble)) {
        if (CanFocus() && !Focused())
            SetFocus();
        TGridCoord Cell = MouseCoord(X, Y);
        if (Cell.X >= FFixedCols && Cell.Y >= FFixedRows) {
            bool Extend = Shift.Contains(ssShift) && FOptions.Contains(goRangeSelect);
            FocusCell(Cell.X, Cell.Y, !Extend);
            FSelecting = FOptions.Contains(goRangeSelect);
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomGrid::MouseMove(TShiftState Shift, int X, int Y)
{
    if (FSelecting && Shift.Contains(ssLeft)) {
        TGridCoord Cell = MouseCoord(X, Y);
        if (Cell.X >= FFixedCols && Cell.Y >= FFixedRows && (Cell.X != FCol || Cell.Y != FRow))
            FocusCell(Cell.X, Cell.Y, false);
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

void TCustomGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft)
        FSelecting = false;
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TCustomGrid::KeyDown(WORD& Key, TShiftState Shift)
{
    TCustomControl::KeyDown(Key, Shift);
    if (Key == 0)
        return;
    bool Ctrl = Shift.Contains(ssCtrl);
    int NC = FCol, NR = FRow;
    int Page = std::max(1, VisibleRowCount());
    switch (Key) {
    case VK_UP:
        --NR;
        break;
    case VK_DOWN:
        ++NR;
        break;
    case VK_LEFT:
        --NC;
        break;
    case VK_RIGHT:
        ++NC;
        break;
    case VK_PRIOR:
        NR -= Page;
        break;
    case VK_NEXT:
        NR += Page;
        break;
    case VK_HOME:
        NC = FFixedCols;
        if (Ctrl)
            NR = FFixedRows;
        break;
    case VK_END:
        NC = FColCount - 1;
        if (Ctrl)
            NR = FRowCount - 1;
        break;
    default:
        return;
    }
    NC = Clamp(NC, FFixedCols, FColCount - 1);
    NR = Clamp(NR, FFixedRows, FRowCount - 1);
    bool Extend = Shift.Contains(ssShift) && FOptions.Contains(goRangeSelect);
    // A vetoed cell is skipped in the direction of travel, as far as the edge.
    int DC = NC > FCol ? 1 : (NC < FCol ? -1 : 0), DR = NR > FRow ? 1 : (NR < FRow ? -1 : 0);
    while (!FocusCell(NC, NR, !Extend)) {
        NC += DC;
        NR += DR;
        if ((DC == 0 && DR == 0) || NC < FFixedCols || NC >= FColCount || NR < FFixedRows || NR >= FRowCount)
            break;
    }
    Key = 0;
}

void TCustomGrid::WMGetDlgCode(TWMGetDlgCode Message)
{
    Message.Result = DLGC_WANTARROWS;
}

void TCustomGrid::WMSetFocus(TWMSetFocus Message)
{
    Invalidate();
    TCustomControl::WMSetFocus(Message);
}

void TCustomGrid::WMKillFocus(TWMKillFocus Message)
{
    Invalidate();
    DefaultHandler(Message);
}

void TCustomGrid::WMVScroll(TWMVScroll Message)
{
    SetTopRow(ScrolledPos(Message, FTopRow, VisibleRowCount(), FRowCount));
    Message.Result = 0;
}

void TCustomGrid::WMHScroll(TWMHScroll Message)
{
    SetLeftCol(ScrolledPos(Message, FLeftCol, VisibleColCount(), FColCount));
    Message.Result = 0;
}

void TCustomGrid::WMMouseWheel(TWMMouseWheel Message)
{
    SetTopRow(FTopRow - Message.WheelDelta() / 120);
    Message.Result = 0;
}

// ---- TDrawGrid --------------------------------------------------------------------------------
void TDrawGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState)
{
    if (OnDrawCell)
        OnDrawCell(this, ACol, ARow, ARect, AState);
}

bool TDrawGrid::SelectCell(int ACol, int ARow)
{
    bool Can = true;
    if (OnSelectCell)
        OnSelectCell(this, ACol, ARow, Can);
    return Can;
}

// ---- Registration -----------------------------------------------------------------------------
TW_ENUM(TGridOption, "goFixedVertLine", "goFixedHorzLine", "goVertLine", "goHorzLine", "goRangeSelect",
        "goDrawFocusSelected", "goRowSizing", "goColSizing", "goRowMoving", "goColMoving", "goEditing",
        "goTabs", "goRowSelect", "goAlwaysShowEditor", "goThumbTracking");
TW_ENUM(TGridDrawStateItem, "gdSelected", "gdFocused", "gdFixed");

[[maybe_unused]] static const bool TwGridEvents = [] {
    RegisterEventType<TDrawCellEvent>("TDrawCellEvent");
    RegisterEventType<TSelectCellEvent>("TSelectCellEvent");
    return true;
}();

TW_PUBLISH(TCustomGrid, TCustomControl)
{
    Cls.Message(WM_GETDLGCODE, &TCustomGrid::WMGetDlgCode);
    Cls.Message(WM_SETFOCUS, &TCustomGrid::WMSetFocus);
    Cls.Message(WM_KILLFOCUS, &TCustomGrid::WMKillFocus);
    Cls.Message(WM_VSCROLL, &TCustomGrid::WMVScroll);
    Cls.Message(WM_HSCROLL, &TCustomGrid::WMHScroll);
    Cls.Message(WM_MOUSEWHEEL, &TCustomGrid::WMMouseWheel);
}

TW_PUBLISH(TDrawGrid, TCustomGrid)
{
    Cls.Color("Color", &TControl::Color, &TControl::SetColor).Default(clWindow);
    Cls.Int("ColCount", &TCustomGrid::ColCount, &TCustomGrid::SetColCount).Default(5);
    Cls.Int("RowCount", &TCustomGrid::RowCount, &TCustomGrid::SetRowCount).Default(5);
    Cls.Int("DefaultColWidth", &TCustomGrid::DefaultColWidth, &TCustomGrid::SetDefaultColWidth).Default(64);
    Cls.Int("DefaultRowHeight", &TCustomGrid::DefaultRowHeight, &TCustomGrid::SetDefaultRowHeight)
        .Default(24);
    Cls.Int("FixedCols", &TCustomGrid::FixedCols, &TCustomGrid::SetFixedCols).Default(1);
    Cls.Int("FixedRows", &TCustomGrid::FixedRows, &TCustomGrid::SetFixedRows).Default(1);
    Cls.Color("FixedColor", &TCustomGrid::FixedColor, &TCustomGrid::SetFixedColor).Default(clBtnFace);
    Cls.Int("GridLineWidth", &TCustomGrid::GridLineWidth, &TCustomGrid::SetGridLineWidth).Default(1);
    Cls.Set("Options", &TCustomGrid::Options, &TCustomGrid::SetOptions)
        .Default(TGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect});
    Cls.Bool("DefaultDrawing", &TCustomGrid::DefaultDrawing).Default(true);
    Cls.Enum("ScrollBars", &TCustomGrid::ScrollBars, &TCustomGrid::SetScrollBars).Default(ssBoth);
    Cls.Enum("BorderStyle", &TCustomGrid::BorderStyle, &TCustomGrid::SetBorderStyle).Default(bsSingle);
    Cls.Bool("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(true);
    Cls.Event("OnDrawCell", &TDrawGrid::OnDrawCell);
    Cls.Event("OnSelectCell", &TDrawGrid::OnSelectCell);
}
