#include "platform/controls/Grids.h"
#include "platform/classes/TypInfo.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Spin.h"
#include "platform/testing/FormTesting.h"
#include "platform/testing/WinTesting.h"

#include "platform/controls/tests/ControlsTestFixture.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

using namespace testing_support;

namespace {

class GridsTest : public controls_testing::TLoadedFormTest {
protected:
    GridsTest() : TLoadedFormTest(500, 400) {}
};

TEST_F(GridsTest, DrawGridDefaultsAreTheClassicOnes)
{
    TDrawGrid G(nullptr);
    EXPECT_EQ(G.ColCount(), 5);
    EXPECT_EQ(G.RowCount(), 5);
    EXPECT_EQ(G.FixedCols(), 1);
    EXPECT_EQ(G.FixedRows(), 1);
    EXPECT_EQ(G.DefaultColWidth(), 64);
    EXPECT_EQ(G.DefaultRowHeight(), 24);
    EXPECT_EQ(G.GridLineWidth(), 1);
    EXPECT_EQ(G.Options(),
              (TGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect}));
    EXPECT_EQ(G.ScrollBars(), ssBoth);
    EXPECT_EQ(G.Col(), 1);
    EXPECT_EQ(G.Row(), 1);
    EXPECT_TRUE(PropsDifferingFromDefault(&G).empty());
    // No columns at all is one; fixed columns give way to fewer columns.
    G.SetFixedCols(0);
    G.SetColCount(0);
    EXPECT_EQ(G.ColCount(), 1);
    G.SetRowCount(1);
    EXPECT_EQ(G.FixedRows(), 0);
    EXPECT_THROW(G.SetFixedCols(1), EInvalidOperation);
}

const char* const Grid = R"(  object DrawGrid1: TDrawGrid
    Left = 0
    Top = 0
    Width = 300
    Height = 200
    ColCount = 8
    RowCount = 20
    DefaultColWidth = 40
    DefaultRowHeight = 20
    GridLineWidth = 2
    Options = [goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goDrawFocusSelected]
    ScrollBars = ssVertical
  end
)";

TEST_F(GridsTest, GridStreamsAndLaysOutCellsWithTheirLines)
{
    Load(Grid);
    auto* G = Find<TDrawGrid>("DrawGrid1");
    ASSERT_NE(G, nullptr);
    EXPECT_EQ(G->ColCount(), 8);
    EXPECT_EQ(G->ScrollBars(), ssVertical);
    EXPECT_TRUE(G->Options().Contains(goDrawFocusSelected));
    EXPECT_FALSE(G->Options().Contains(goRangeSelect));
    EXPECT_EQ(G->CellRect(0, 0), (TRect{0, 0, 40, 20}));
    EXPECT_EQ(G->CellRect(2, 3), (TRect{84, 66, 124, 86}));
    int C, R;
    G->MouseToCell(85, 67, C, R);
    EXPECT_EQ(std::make_pair(C, R), std::make_pair(2, 3));
    G->MouseToCell(125, 87, C, R); // on the lines after the cell
    EXPECT_EQ(std::make_pair(C, R), std::make_pair(2, 3));
    G->MouseToCell(-1, 5, C, R);
    EXPECT_EQ(std::make_pair(C, R), std::make_pair(-1, -1));
    // Scrolling keeps the fixed row and moves the others up.
    G->SetTopRow(5);
    EXPECT_EQ(G->CellRect(2, 0), (TRect{84, 0, 124, 20}));
    EXPECT_EQ(G->CellRect(2, 5), (TRect{84, 22, 124, 42}));
    EXPECT_EQ(G->CellRect(2, 3), TRect{});
    // Without the lines the cells touch.
    G->SetOptions(TGridOptions{});
    EXPECT_EQ(G->CellRect(2, 5), (TRect{80, 20, 120, 40}));
}

struct TCellCall {
    int Col, Row;
    TRect Rect;
    TGridDrawState State;
};

TEST_F(GridsTest, OnDrawCellGetsEachShownCellWithItsState)
{
    Load(Grid);
    auto* G = Find<TDrawGrid>("DrawGrid1");
    G->SetColCount(3);
    G->SetRowCount(3);
    G->SetFocus();
    ProcessMessages();
    std::vector<TCellCall> Calls;
    G->OnDrawCell = [&](TObject* S, int Col, int Row, const TRect& R, TGridDrawState St) {
        EXPECT_EQ(S, G);
        Calls.push_back({Col, Row, R, St});
    };
    G->SetCol(2);
    G->SetRow(2);
    G->Invalidate();
    ProcessMessages();
    ASSERT_EQ(Calls.size(), 9u);
    for (const TCellCall& K : Calls) {
        EXPECT_EQ(K.Rect, G->CellRect(K.Col, K.Row));
        EXPECT_EQ(K.State.Contains(gdFixed), K.Col == 0 || K.Row == 0) << K.Col << "," << K.Row;
        bool Current = K.Col == 2 && K.Row == 2;
        EXPECT_EQ(K.State.Contains(gdFocused), Current);
        EXPECT_EQ(K.State.Contains(gdSelected), Current);
    }
    // The canvas of the cell is the grid's: a cell painted red shows red.
    G->OnDrawCell = [&](TObject*, int Col, int Row, const TRect& R, TGridDrawState) {
        if (Col == 1 && Row == 1) {
            G->Canvas()->Brush()->SetColor(clRed);
            G->Canvas()->FillRect(R);
        }
    };
    G->Invalidate();
    auto Img = RenderControl(G);
    TRect R = G->CellRect(1, 1);
    EXPECT_EQ(PixelAt(Img.get(), R.left + 5, R.top + 5), clRed);
}

TEST_F(GridsTest, SelectCellVetoesClicksAndKeys)
{
    Load(Grid);
    auto* G = Find<TDrawGrid>("DrawGrid1");
    G->SetColCount(6);
    std::vector<std::pair<int, int>> Asked;
    G->OnSelectCell = [&](TObject*, int Col, int Row, bool& Can) {
        Asked.emplace_back(Col, Row);
        Can = Col != 3; // column 3 cannot be chosen
    };
    int Clicks = 0;
    G->OnClick = [&](TObject*) { ++Clicks; };
    TRect Cell = G->CellRect(3, 2);
    ASSERT_TRUE(ClickControl(G, Cell.left + 3, Cell.top + 3));
    EXPECT_EQ(G->Col(), 1);
    EXPECT_EQ(G->Row(), 1);
    EXPECT_EQ(Clicks, 0);
    Cell = G->CellRect(2, 2);
    ASSERT_TRUE(ClickControl(G, Cell.left + 3, Cell.top + 3));
    EXPECT_EQ(G->Col(), 2);
    EXPECT_EQ(G->Row(), 2);
    EXPECT_EQ(Clicks, 1);
    // Moving right skips the refused column.
    Asked.clear();
    ASSERT_TRUE(PressKey(VK_RIGHT));
    EXPECT_EQ(G->Col(), 4);
    EXPECT_EQ(Asked, (std::vector<std::pair<int, int>>{{3, 2}, {4, 2}}));
    // Fixed cells are never current.
    Cell = G->CellRect(0, 4);
    ASSERT_TRUE(ClickControl(G, Cell.left + 3, Cell.top + 3));
    EXPECT_EQ(G->Col(), 4);
    // Keys scroll the current row into view.
    ASSERT_TRUE(PressKey(VK_NEXT));
    ASSERT_TRUE(PressKey(VK_NEXT));
    ASSERT_TRUE(PressKey(VK_NEXT));
    EXPECT_EQ(G->Row(), 19);
    TRect Last = G->CellRect(4, 19);
    EXPECT_FALSE(Last == TRect{});
    EXPECT_LE(Last.bottom, G->ClientHeight());
    EXPECT_GT(G->TopRow(), 1);
}

TEST_F(GridsTest, RangeSelectionExtendsWithShift)
{
    Load(Grid);
    auto* G = Find<TDrawGrid>("DrawGrid1");
    G->SetOptions(G->Options() + goRangeSelect);
    G->SetFocus();
    ProcessMessages();
    ASSERT_TRUE(SimulateKey(WM_KEYDOWN, VK_SHIFT));
    ASSERT_TRUE(PressKey(VK_RIGHT));
    ASSERT_TRUE(PressKey(VK_DOWN));
    ASSERT_TRUE(SimulateKey(WM_KEYUP, VK_SHIFT));
    EXPECT_EQ(G->Selection(), (TGridRect{1, 1, 2, 2}));
    ASSERT_TRUE(PressKey(VK_RIGHT));
    EXPECT_EQ(G->Selection(), (TGridRect{3, 2, 3, 2}));
}

// ---- Spin edit --------------------------------------------------------------------------------
TEST_F(GridsTest, SpinEditStreamsAndClampsToItsLimits)
{
    Load(R"(  object SpinEdit1: TSpinEdit
    Left = 10
    Top = 10
    Width = 80
    Height = 22
    MaxValue = 10
    MinValue = 2
    Value = 50
    Increment = 3
  end
  object SpinEdit2: TSpinEdit
    Left = 10
    Top = 40
    Width = 80
    Height = 22
    Value = 0
  end
)");
    auto* S = Find<TSpinEdit>("SpinEdit1");
    ASSERT_NE(S, nullptr);
    EXPECT_EQ(S->Value(), 10);
    EXPECT_EQ(S->Text(), "10");
    int Changes = 0;
    S->OnChange = [&](TObject*) { ++Changes; };
    S->SetValue(-5);
    EXPECT_EQ(S->Value(), 2);
    EXPECT_EQ(Changes, 1);
    S->SetFocus();
    ProcessMessages();
    ASSERT_TRUE(PressKey(VK_UP));
    ASSERT_TRUE(PressKey(VK_UP));
    EXPECT_EQ(S->Value(), 8);
    ASSERT_TRUE(PressKey(VK_UP));
    EXPECT_EQ(S->Value(), 10);
    // The up arrow on the right does the same as the key.
    S->SetValue(4);
    ASSERT_TRUE(ClickControl(S, S->ClientWidth() - 4, 2));
    EXPECT_EQ(S->Value(), 7);
    // Typed text is held as typed and brought within the limits on leaving.
    ASSERT_TRUE(PressKey(VK_BACK));
    ASSERT_TRUE(PressKey('9', "9"));
    ASSERT_TRUE(PressKey('9', "9"));
    ASSERT_TRUE(PressKey('X', "x"));
    EXPECT_EQ(S->Text(), "99");
    auto* Other = Find<TSpinEdit>("SpinEdit2");
    Other->SetFocus();
    ProcessMessages();
    EXPECT_EQ(S->Text(), "10");
    // Equal limits: no limits at all, as the image-size fields use them.
    Other->SetValue(123456);
    EXPECT_EQ(Other->Value(), 123456);
    Other->SetValue(-7);
    EXPECT_EQ(Other->Value(), -7);
    Other->SetText("");
    EXPECT_EQ(Other->Value(), 0); // no number: MinValue
}

} // namespace
