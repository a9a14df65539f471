// Tables: attributes, grid normalisation, column and row sizing, placement, painting, hit tests
// and the errors of tables too wide to lay out, on documents built from HTML.
#include "html-engine/HtmlModel.h"
#include "html-engine/HtmlParser.h"
#include "html-engine/HtmlSections.h"
#include "html-engine/HtmlTables.h"
#include "platform/graphics/Graphics.h"

#include <gtest/gtest.h>

#include <memory>
#include <numeric>
#include <string>
#include <vector>

namespace {

struct TableFixture : ::testing::Test {
    std::unique_ptr<TSectionList> Doc;
    TStringList Names;
    THtmlParser Parser;
    TBitmap Bitmap{700, 500};
    std::vector<std::string> Errors;

    void SetUp() override
    {
        Names.SetSorted(true);
        SetProcessErrorHandler([this](const std::string& M) { Errors.push_back(M); });
    }
    void TearDown() override { SetProcessErrorHandler(nullptr); }

    TCanvas* Canvas() { return Bitmap.Canvas(); }

    void Load(const std::string& Html)
    {
        Names.Clear();
        Doc = std::make_unique<TSectionList>(nullptr, nullptr);
        Doc->SetDefaults("Arial", "Courier New", clWhite, clBlue, clBlack, 12);
        Parser.HtmlParseBuffer(Doc.get(), &Names, Html.data(), Html.size());
    }
    int Layout(int Width)
    {
        int Curs = 0, MaxWidth = 0;
        return Doc->DoLogic(Canvas(), 0, Curs, MaxWidth, Width);
    }
    void Paint()
    {
        Canvas()->Brush()->SetColor(clWhite);
        Canvas()->Brush()->SetStyle(bsSolid);
        Canvas()->FillRect(Rect(0, 0, Bitmap.Width(), Bitmap.Height()));
        Doc->Draw(Canvas(), Rect(0, 0, Bitmap.Width(), Bitmap.Height()), 0, 0, Bitmap.Width());
    }
    TColor Px(int X, int Y) { return Canvas()->Pixels(X, Y) & 0xFFFFFF; }

    // The N-th table among the document's blocks.
    ThtmlTable* Table(int N = 0) const
    {
        for (int I = 0; I < Doc->Count(); ++I)
            if (auto* T = dynamic_cast<ThtmlTable*>(Doc->Block(I)))
                if (N-- == 0)
                    return T;
        return nullptr;
    }
    static std::string TextOf(const TCell& Cell)
    {
        std::string S;
        for (int I = 0; I < Cell.Count(); ++I)
            if (auto* Sec = dynamic_cast<TSection*>(Cell.Block(I)))
                S += Sec->Text();
        return S;
    }
    // The text section holding Text anywhere in the document, table cells included.
    static TSection* SectionWith(const TCell& Cell, const std::string& Text)
    {
        for (int I = 0; I < Cell.Count(); ++I) {
            if (auto* S = dynamic_cast<TSection*>(Cell.Block(I))) {
                if (S->Text().find(Text) != std::string::npos)
                    return S;
            } else if (auto* T = dynamic_cast<ThtmlTable*>(Cell.Block(I))) {
                if (TSection* In = SectionWith(*T->Caption->Cell, Text))
                    return In;
                for (int R = 0; R < T->Rows.Count(); ++R)
                    for (int C = 0; C < T->Row(R)->Count(); ++C)
                        if (TSection* In = SectionWith(*T->Row(R)->CellObj(C)->Cell, Text))
                            return In;
            }
        }
        return nullptr;
    }
    TSection* SectionWith(const std::string& Text) const { return SectionWith(*Doc, Text); }
    // Every row as its entries: a filler is ".", a cell its text.
    static std::vector<std::string> Grid(const ThtmlTable* T)
    {
        std::vector<std::string> Out;
        for (int R = 0; R < T->Rows.Count(); ++R) {
            std::string Row;
            for (int C = 0; C < T->Row(R)->Count(); ++C) {
                const TCellObj* Cell = T->Row(R)->CellObj(C);
                Row += Cell->ColSpan == 0 || Cell->RowSpan == 0 ? "." : TextOf(*Cell->Cell);
            }
            Out.push_back(Row);
        }
        return Out;
    }
    static std::vector<int> Widths(const ThtmlTable* T)
    {
        return std::vector<int>(T->Widths.begin(), T->Widths.begin() + T->NumCols);
    }
    static int Sum(const std::vector<int>& V) { return std::accumulate(V.begin(), V.end(), 0); }
};

using V = std::vector<std::string>;
using W = std::vector<int>;

// ---- Attributes -------------------------------------------------------------------------------

TEST_F(TableFixture, TableAttributes)
{
    const struct {
        const char* Attrs;
        int Padding, Spacing, WidthAttr;
        bool AsPercent, Border, Float;
        int Justify, HSpace;
    } Cases[] = {
        {"", 1, 3, 0, false, false, false, 1, 5},
        {"border=1 cellpadding=0", 1, 3, 0, false, true, false, 1, 5},
        {"border", 2, 3, 0, false, true, false, 1, 5},
        {"border=0 cellpadding=200 cellspacing=200", 49, 40, 0, false, false, false, 1, 5},
        {"cellpadding=-4 cellspacing=-1", 1, 3, 0, false, false, false, 1, 5},
        {"width=50%", 1, 3, 50, true, false, false, 1, 5},
        {"width=150%", 1, 3, 0, true, false, false, 1, 5},
        {"width=320", 1, 3, 320, false, false, false, 1, 5},
        {"align=Center", 1, 3, 0, false, false, false, 2, 5},
        {"align=left hspace=-40", 1, 3, 0, false, false, true, 1, 20},
        {"align=right hspace=7", 1, 3, 0, false, false, true, 3, 7},
        {"align=middle", 1, 3, 0, false, false, false, 1, 5},
    };
    for (const auto& C : Cases) {
        Load(std::string("<table ") + C.Attrs + "><td>x</table>");
        ThtmlTable* T = Table();
        ASSERT_NE(T, nullptr) << C.Attrs;
        EXPECT_EQ(T->CellPadding, C.Padding) << C.Attrs;
        EXPECT_EQ(T->CellSpacing, C.Spacing) << C.Attrs;
        EXPECT_EQ(T->WidthAttr, C.WidthAttr) << C.Attrs;
        EXPECT_EQ(T->AsPercent, C.AsPercent) << C.Attrs;
        EXPECT_EQ(T->BorderOn, C.Border) << C.Attrs;
        EXPECT_EQ(T->Float, C.Float) << C.Attrs;
        EXPECT_EQ(T->Justify, C.Justify) << C.Attrs;
        EXPECT_EQ(T->HSpace, C.HSpace) << C.Attrs;
    }
    // A table inside CENTER takes that alignment unless it has its own.
    Load("<center><table><td>x</table></center>");
    EXPECT_EQ(Table()->Justify, 2);
}

TEST_F(TableFixture, CellAttributes)
{
    Load("<table><tr bgcolor=red><td colspan=1 rowspan=0 width=100%>a<td width=1%>b<td width=40% "
         "height=30>c<td width=120 bgcolor=#00ff00 colspan=2>d</table>");
    TCellList* Row = Table()->Row(0);
    ASSERT_EQ(Row->Count(), 4);
    // The first row takes its TR colour too.
    EXPECT_TRUE(Row->BkGnd);
    EXPECT_EQ(Row->BkColor, clRed | clPaletteRelative);
    const TCellObj* A = Row->CellObj(0);
    EXPECT_EQ(A->ColSpan, 1);
    EXPECT_EQ(A->RowSpan, 1);
    EXPECT_EQ(A->SpecWd, 0); // 100 percent says nothing
    EXPECT_EQ(Row->CellObj(1)->SpecWd, 0);
    EXPECT_EQ(Row->CellObj(2)->SpecWd, 40);
    EXPECT_TRUE(Row->CellObj(2)->AsPercent);
    EXPECT_EQ(Row->CellObj(2)->SpecHt, 30);
    const TCellObj* D = Row->CellObj(3);
    EXPECT_EQ(D->SpecWd, 120);
    EXPECT_FALSE(D->AsPercent);
    EXPECT_EQ(D->ColSpan, 2);
    EXPECT_TRUE(D->Cell->BkGnd);
    EXPECT_EQ(D->Cell->BkColor, clLime | clPaletteRelative);
}

// ---- Grid normalisation -------------------------------------------------------------------------

TEST_F(TableFixture, SpansNormaliseToFillers)
{
    const struct {
        const char* Name;
        const char* Rows;
        V Grid;
    } Cases[] = {
        {"ColSpanThenCell", "<tr><td colspan=3>A<td>B", {"A..B"}},
        {"RowSpan", "<tr><td rowspan=2>A<td>B<tr><td>C", {"AB", ".C"}},
        {"RowSpanCutToTheRowsLeft", "<tr><td>A<td rowspan=5>B<tr><td>C", {"AB", "C."}},
        {"BothSpans",
         "<tr><td colspan=2 rowspan=2>A<td>B<tr><td>C<tr><td>D<td>E<td>F",
         {"A.B", "..C", "DEF"}},
        {"ShortRowIsPadded", "<tr><td>A<td rowspan=3>B<tr><tr><td>C", {"AB", "..", "C."}},
        {"SpanInTheMiddle", "<tr><td>A<td rowspan=2>B<td>C<tr><td>D<td>E", {"ABC", "D.E"}},
        {"HugeRowSpanIsCheap", "<tr><td rowspan=2000000000>A<td>B<tr><td>C<tr><td>D", {"AB", ".C", ".D"}},
        {"EmptyLastRow", "<tr><td>A<tr>", {"A", ""}},
    };
    for (const auto& C : Cases) {
        Load(std::string("<table>") + C.Rows + "</table>");
        Layout(600);
        ThtmlTable* T = Table();
        ASSERT_NE(T, nullptr) << C.Name;
        EXPECT_EQ(Grid(T), C.Grid) << C.Name;
        EXPECT_TRUE(Errors.empty()) << C.Name;
    }
    Load("<table><tr><td>A<td rowspan=5>B<tr><td>C</table>");
    Layout(600);
    EXPECT_EQ(Table()->Row(0)->CellObj(1)->RowSpan, 2);
    EXPECT_EQ(Table()->NumCols, 2);
}

TEST_F(TableFixture, TooManyColumnsDropsOnlyThatTable)
{
    std::string Cells31;
    for (int I = 0; I < 31; ++I)
        Cells31 += "<td>c";
    std::string Cells30, Spans30;
    for (int I = 0; I < 30; ++I) {
        Cells30 += "<td>c";
        Spans30 += "<td rowspan=2>c";
    }
    const struct {
        const char* Name;
        std::string Html;
        bool Dropped; // the table (the inner one for the nested case) goes with one error
        int Tables;   // tables left in the document
    } Cases[] = {
        {"ThirtyOne", "<p>before<table><tr>" + Cells31 + "</table>after", true, 0},
        {"ThirtyFits", "<table><tr>" + Cells30 + "</table>", false, 1},
        {"HugeColSpan", "<table><tr><td colspan=2000000000>a</table>", true, 0},
        {"ColSpanOverflowingInt", "<table><tr><td colspan=99999999999>a</table>", true, 0},
        {"SpansAddUp", "<table><tr><td colspan=20>a<td colspan=11>b</table>", true, 0},
        // Thirty cells reaching down push the second row's cell to column 31.
        {"RowSpansPushPastTheEdge", "<table><tr>" + Spans30 + "<tr><td>d</table>", true, 0},
        {"NestedGoesAloneOuterStays", "<table><tr><td>outer<table><tr>" + Cells31 + "</table></table>", true,
         1},
    };
    for (const auto& C : Cases) {
        Errors.clear();
        Load(C.Html);
        Layout(600);
        int Tables = 0;
        while (Table(Tables))
            ++Tables;
        EXPECT_EQ(Tables, C.Tables) << C.Name;
        EXPECT_EQ(Errors, C.Dropped ? V{"Table has too many Columns"} : V{}) << C.Name;
        // A second layout finds nothing more to drop.
        Errors.clear();
        Layout(300);
        EXPECT_TRUE(Errors.empty()) << C.Name;
    }
    // The outer table keeps its own cell, without the inner table.
    ThtmlTable* Outer = Table();
    ASSERT_EQ(Grid(Outer), (V{"outer"}));
    EXPECT_EQ(Outer->Row(0)->CellObj(0)->Cell->Count(), 1);
}

// ---- Column widths -------------------------------------------------------------------------------

TEST_F(TableFixture, PercentTableAimsAtItsShareLessSpacing)
{
    const struct {
        const char* Attrs;
        int Spacing, Columns;
    } Cases[] = {
        {"width=50%", 3, 297},
        {"width=50% cellspacing=2", 3, 297},
        {"width=50% cellspacing=3", 4, 296},
        {"width=50% cellspacing=0", 1, 299},
        {"width=300", 3, 297},
    };
    for (const auto& C : Cases) {
        Load(std::string("<table border ") + C.Attrs + "><tr><td>x</table>");
        Layout(600);
        ThtmlTable* T = Table();
        EXPECT_EQ(T->CellSpacing, C.Spacing) << C.Attrs;
        EXPECT_EQ(Sum(Widths(T)), C.Columns) << C.Attrs;
        EXPECT_EQ(T->TableWidth, 300) << C.Attrs;
    }
}

// The borders in the painted image: the raised outline of the table at 0 and 300, the sunken one
// of the cell CellSpacing inside it, ending at the column's right edge, 297.
TEST_F(TableFixture, PercentTableBordersWhereTheColumnsEnd)
{
    Load("<table border width=50%><tr><td>&nbsp;</table>");
    Layout(600);
    Paint();
    ThtmlTable* T = Table();
    ASSERT_EQ(T->DrawX, 0);
    const int Y = T->Row(0)->RowHeight / 2;
    const TColor Light = clSilver & 0xFFFFFF, Shadow = ColorToRGB(clBtnShadow) & 0xFFFFFF;
    EXPECT_EQ(Px(0, Y), Light);
    EXPECT_EQ(Px(300, Y), Shadow);
    EXPECT_EQ(Px(3, Y), Shadow);
    EXPECT_EQ(Px(297, Y), Light);
    for (int X : {1, 2, 298, 299, 301})
        EXPECT_EQ(Px(X, Y), 0xFFFFFFu & clWhite) << X;
}

TEST_F(TableFixture, ColumnWidthRules)
{
    // CS: the 4 pixels a cell adds around its content (padding 1 on both sides, spacing 3, less 1).
    {
        // Pixel rule: the pixel column keeps its width, the other takes the rest of the table.
        Load("<table width=400><tr><td width=100>a<td>b</table>");
        Layout(600);
        EXPECT_EQ(Widths(Table()), (W{104, 293}));
    }
    {
        // A percentage next to a free column in a table of a given width.
        Load("<table width=400><tr><td width=25%>a<td>b</table>");
        Layout(600);
        EXPECT_EQ(Widths(Table()), (W{99, 298}));
    }
    {
        // Pixel and percentage widths mixed: the pixel rule holds, the percentage counts for
        // nothing, and the two free columns with the same content share the rest alike.
        Load("<table width=400><tr><td width=100>a<td width=50%>b<td>b</table>");
        Layout(600);
        const W Got = Widths(Table());
        ASSERT_EQ(Got.size(), 3u);
        EXPECT_EQ(Got[0], 104);
        EXPECT_EQ(Got[1], Got[2]);
        EXPECT_NEAR(Sum(Got), 397, 1);
    }
    {
        // Percentages without a table width: the table is as narrow as its percentages allow.
        Load("<table><tr><td width=60%>a<td>a</table>");
        Layout(600);
        const W Got = Widths(Table());
        EXPECT_GT(Got[0], Got[1]);
        EXPECT_NEAR(Got[0] * 100.0 / Sum(Got), 60, 3);
        EXPECT_LT(Table()->TableWidth, 200);
    }
    {
        // Percentages over 100 without a table width: every column its widest.
        Load("<table><tr><td width=70%>a<td width=60%>a</table>");
        Layout(600);
        const W Got = Widths(Table());
        EXPECT_EQ(Got[0], Got[1]);
        EXPECT_LT(Sum(Got), 60);
    }
}

TEST_F(TableFixture, NarrowPercentagesAreScaledToFit)
{
    // All of the width in percentages beside a free column: too little room, so the shares are
    // scaled down until the free column keeps its minimum.
    Load("<table width=200><tr><td width=50%>a<td width=50%>a<td>bbbbbbbbbbbb</table>");
    Layout(600);
    const W Got = Widths(Table());
    ASSERT_EQ(Got.size(), 3u);
    EXPECT_EQ(Got[0], Got[1]);
    int Min = 0, Max = 0;
    Table()->Row(0)->CellObj(2)->Cell->MinMaxWidth(Canvas(), Min, Max);
    EXPECT_GE(Got[2], Min + 4);
    // The scaled shares are whole percentages, so the table may end a few pixels short.
    EXPECT_LE(Sum(Got), 197);
    EXPECT_GE(Sum(Got), 190) << Got[0] << " " << Got[1] << " " << Got[2];
}

// Arithmetic that would divide by zero or overflow keeps every column at a width it can use.
TEST_F(TableFixture, DegenerateWidthsStayUsable)
{
    const char* Cases[] = {
        "<table width=300 border><tr></tr></table>",
        "<table width=1><tr><td width=100%>a<td width=100%>b</table>",
        "<table width=10><tr><td width=99%>wide words<td width=99%>more words</table>",
        "<table><tr><td width=2000000000>a<td width=2000000000>b</table>",
        "<table width=2000000000><tr><td width=50%>a<td>b</table>",
        "<table width=100%><tr><td colspan=2 width=90%>a<tr><td width=95%>b<td width=95%>c</table>",
        "<table><tr><td colspan=3 width=80%>abc<tr><td>a<td>b<td>c</table>",
        "<table><tr><td colspan=2>spanning wide text<tr><td><td></table>",
        "<table cellpadding=-5 cellspacing=-5 width=-20><tr><td height=-9>a</table>",
        // Columns made only by an empty spanning cell have no width at all to share the table's
        // out by.
        "<table width=200 cellpadding=0 cellspacing=0><tr><td colspan=2 width=100></table>",
        "<table><tr><td width=99999999999 height=99999999999>a<td>b</table>",
    };
    for (const char* Html : Cases) {
        Load(Html);
        Layout(500);
        Paint();
        ThtmlTable* T = Table();
        ASSERT_NE(T, nullptr) << Html;
        for (int I = 0; I < T->NumCols; ++I)
            EXPECT_GE(T->Widths[I], 0) << Html << " column " << I;
        for (int R = 0; R < T->Rows.Count(); ++R) {
            EXPECT_GE(T->Row(R)->RowHeight, 0) << Html;
            for (int C = 0; C < T->Row(R)->Count(); ++C)
                EXPECT_GE(T->Row(R)->CellObj(C)->Wd, 0) << Html;
        }
        EXPECT_GE(T->TableWidth, T->CellSpacing) << Html;
    }
}

TEST_F(TableFixture, SpanningCellSpreadsOverItsColumns)
{
    Load("<table><tr><td colspan=2>spanning wide text<tr><td>a<td>a</table>");
    Layout(600);
    ThtmlTable* T = Table();
    int Min = 0, Max = 0;
    T->Row(0)->CellObj(0)->Cell->MinMaxWidth(Canvas(), Min, Max);
    const W Got = Widths(T);
    EXPECT_NEAR(Got[0], Got[1], 1);
    EXPECT_NEAR(Sum(Got), Max + 4, 1);
    EXPECT_EQ(T->Row(0)->CellObj(0)->Wd, Sum(Got));
}

// ---- Rows -------------------------------------------------------------------------------------------

TEST_F(TableFixture, RowSpanTallerThanItsRowsSharesTheExtra)
{
    Load("<table><tr><td rowspan=2>1<br>2<br>3<br>4<br>5<td>a<tr><td>b</table>");
    Layout(600);
    ThtmlTable* T = Table();
    const TCellObj* Tall = T->Row(0)->CellObj(0);
    const TCellObj* A = T->Row(0)->CellObj(1);
    const int R0 = T->Row(0)->RowHeight, R1 = T->Row(1)->RowHeight;
    const int Single = A->VSize + 4; // what each row needs alone
    const int Extra = Tall->VSize + 4 - 2 * Single;
    ASSERT_GT(Extra, 0);
    EXPECT_EQ(R0, Single + Extra / 2);
    EXPECT_EQ(R1, Single + Extra / 2 + Extra % 2);
    EXPECT_EQ(Tall->Ht, R0 + R1);
    EXPECT_EQ(T->Row(0)->SpannedHeight, R0 + R1);
    EXPECT_EQ(T->TableHeight, R0 + R1 + T->CellSpacing);
}

TEST_F(TableFixture, HeightAndVerticalAlignment)
{
    Load("<table><tr><td height=100>h<td valign=top>t<td>m<td valign=bottom>b<td valign=baseline>x"
         "<tr valign=bottom><td>r<td valign=nonsense>s</table>");
    Layout(600);
    ThtmlTable* T = Table();
    // HEIGHT less the padding on both sides, plus the 2 the content gets, plus CS.
    EXPECT_EQ(T->Row(0)->RowHeight, 100 - 2 + 2 + 4);
    const TCellList* Row = T->Row(0);
    const int E = 104 - Row->CellObj(1)->VSize - 4;
    EXPECT_EQ(Row->CellObj(1)->YIndent, 0);
    EXPECT_EQ(Row->CellObj(2)->YIndent, E / 2);
    EXPECT_EQ(Row->CellObj(3)->YIndent, E);
    EXPECT_EQ(Row->CellObj(4)->YIndent, E / 2);
    // A VALIGN the table does not know falls back to the row's.
    EXPECT_EQ(T->Row(1)->CellObj(1)->VAlign, 2);
    // The content is laid out where the alignment puts it.
    EXPECT_EQ(SectionWith("b")->StartY, Row->CellObj(3)->YIndent + T->CellSpacing + T->CellPadding);
}

// ---- Placement --------------------------------------------------------------------------------------

TEST_F(TableFixture, CaptionAboveOrBelowTheGrid)
{
    for (const char* Align : {"", "align=left", "align=bottom"}) {
        Load(std::string("<table border><caption ") + Align + ">cap</caption><tr><td>cell</table>");
        Layout(600);
        ThtmlTable* T = Table();
        const bool Top = std::string(Align) != "align=bottom";
        EXPECT_EQ(T->CaptionTop, Top) << Align;
        TSection* Cap = SectionWith("cap");
        TSection* Cell = SectionWith("cell");
        EXPECT_EQ(Cap->StartY < Cell->StartY, Top) << Align;
        // Character positions follow the order on screen.
        EXPECT_EQ(Cap->StartCurs < Cell->StartCurs, Top) << Align;
        EXPECT_EQ(T->SectionHeight, T->CaptionHeight + T->TableHeight) << Align;
        if (!Top)
            EXPECT_EQ(Cap->StartY, T->StartY + T->TableHeight) << Align;
    }
}

TEST_F(TableFixture, AlignedAndIndentedTables)
{
    Load("<table width=200 align=center><td>x</table>");
    Layout(600);
    EXPECT_EQ(Table()->Indent, (600 - 200) / 2);
    Load("<ul><li>item<table width=100><td>x</table></ul>");
    Layout(600);
    EXPECT_EQ(Table()->Indent, 35);
}

TEST_F(TableFixture, RightFloatingTableLetsTextFlowLeftOfIt)
{
    Load("<table align=right width=150 border><tr><td>floating<br>table<br>cell</table>"
         "Text that wraps beside the table over several lines of the page beside it.");
    Layout(400);
    ThtmlTable* T = Table();
    EXPECT_EQ(T->SectionHeight, 0);
    EXPECT_GT(T->DrawHeight, 0);
    EXPECT_EQ(T->Indent, 400 - 150);
    TSection* Text = SectionWith("wraps");
    EXPECT_EQ(Text->StartY, T->StartY);
    LineRec* First = Text->Line(0);
    EXPECT_LE(First->LineIndent + Text->TextWidth(Canvas(), First->Start, true, First->Ln),
              T->Indent - T->HSpace);
    // The document is as tall as the table at least.
    EXPECT_GE(Layout(400), T->DrawHeight);
}

// ---- Painting ---------------------------------------------------------------------------------------

TEST_F(TableFixture, BackgroundsAndEmptyCells)
{
    Load("<table border bgcolor=yellow cellspacing=6><tr><td bgcolor=red>r<td>t<td></table>"
         "<table bordercolor=blue cellspacing=6><tr bgcolor=lime><td>g<td>h</table>");
    Layout(600);
    Paint();
    ThtmlTable* T = Table(0);
    const TCellList* Row = T->Row(0);
    const int Y = T->StartY + Row->RowHeight - 3;
    auto XOf = [&](int Col) {
        int X = T->DrawX;
        for (int I = 0; I < Col; ++I)
            X += T->Widths[I];
        return X;
    };
    // The cell's own colour, then the table's, inside the sunken outline.
    EXPECT_EQ(Px(XOf(0) + T->CellSpacing + 2, Y), clRed & 0xFFFFFF);
    EXPECT_EQ(Px(XOf(1) + T->CellSpacing + 2, Y), clYellow & 0xFFFFFF);
    // An empty cell shows neither background nor border.
    for (int X = XOf(2) + 1; X < XOf(2) + T->Widths[2]; ++X)
        EXPECT_EQ(Px(X, Y), clWhite & 0xFFFFFF) << X;
    // Between the cells: the gap of the spacing, white without BORDERCOLOR.
    EXPECT_EQ(Px(XOf(1) + 2, Y), clWhite & 0xFFFFFF);

    ThtmlTable* B = Table(1);
    const int BY = B->StartY + B->Row(0)->RowHeight - 3;
    int BX = B->DrawX;
    EXPECT_EQ(Px(BX + B->CellSpacing + 2, BY), clLime & 0xFFFFFF); // the row's colour
    BX += B->Widths[0];
    EXPECT_EQ(Px(BX + 3, BY), clBlue & 0xFFFFFF); // the gap in the border colour
}

TEST_F(TableFixture, NestedTableTakesItsCellsBackground)
{
    Load("<table><tr><td bgcolor=aqua><table><tr><td>inner</table></table>");
    Layout(600);
    TSection* Inner = SectionWith("inner");
    ASSERT_NE(Inner, nullptr);
    ThtmlTable* Outer = Table();
    auto* Nested = dynamic_cast<ThtmlTable*>(Outer->Row(0)->CellObj(0)->Cell->Block(0));
    ASSERT_NE(Nested, nullptr);
    EXPECT_TRUE(Nested->BkGnd);
    EXPECT_TRUE(Nested->Row(0)->CellObj(0)->Cell->BkGnd);
    EXPECT_EQ(Nested->Row(0)->CellObj(0)->Cell->BkColor, clAqua | clPaletteRelative);
}

// ---- Hit tests, search, selection --------------------------------------------------------------------

TEST_F(TableFixture, HitTestsReachTheCellsAndTheCaption)
{
    Load("<table border><caption align=bottom><a href=cap.htm>Caption</a></caption>"
         "<tr><td rowspan=2><a href=span.htm>Spanning</a><td><a href=one.htm>One</a>"
         "<tr><td><a href=two.htm>Two</a></table><p>after");
    Layout(600);
    Paint();
    for (const char* Text : {"Caption", "Spanning", "One", "Two"}) {
        TSection* S = SectionWith(Text);
        ASSERT_NE(S, nullptr) << Text;
        const LineRec* L = S->Line(0);
        const int X = L->DrawX + 2, Y = L->DrawY + 2;
        TFormControlObj* Control = nullptr;
        TUrlTarget Link;
        EXPECT_TRUE(Doc->GetURL(Canvas(), X, Y, Control, Link)) << Text;
        EXPECT_EQ(Link.URL, std::string(Text) == "Caption"    ? "cap.htm"
                            : std::string(Text) == "Spanning" ? "span.htm"
                            : std::string(Text) == "One"      ? "one.htm"
                                                              : "two.htm")
            << Text;
        TCell* Cell = nullptr;
        int LineHeight = 0, Top = 0, CaretX = 0;
        EXPECT_EQ(Doc->FindCursor(Canvas(), X - 2, Y, Cell, LineHeight, Top, CaretX), S->StartCurs) << Text;
        EXPECT_EQ(Top, L->DrawY) << Text;
        EXPECT_EQ(CaretX, L->DrawX) << Text;
        // (A block's first position is also the end of the block before it, which answers.)
        int CX = 0, CY = 0;
        EXPECT_TRUE(Doc->CursorToXY(Canvas(), S->StartCurs + 1, CX, CY)) << Text;
        EXPECT_EQ(CY, L->DrawY) << Text;
        char Ch = 0;
        TObject* Obj = nullptr;
        EXPECT_TRUE(Doc->GetChAtPos(S->StartCurs, Ch, Obj)) << Text;
        EXPECT_EQ(Obj, S) << Text;
        EXPECT_EQ(Ch, Text[0]) << Text;
    }
    // The spacing between cells and the space right of the table hold no link.
    ThtmlTable* T = Table();
    TFormControlObj* Control = nullptr;
    TUrlTarget Link;
    EXPECT_FALSE(Doc->GetURL(Canvas(), T->DrawX + T->TableWidth + 20, T->StartY + 5, Control, Link));
    EXPECT_FALSE(Doc->GetURL(Canvas(), T->DrawX + 1, T->StartY + 1, Control, Link));
    // Search runs through the cells in row order and the caption below them last.
    const int Spanning = Doc->FindString(0, "spanning", false);
    const int Two = Doc->FindString(0, "two", false);
    const int Cap = Doc->FindString(0, "caption", false);
    EXPECT_EQ(Spanning, SectionWith("Spanning")->StartCurs);
    EXPECT_LT(Spanning, Two);
    EXPECT_LT(Two, Cap);
    EXPECT_EQ(Doc->FindString(Two + 1, "o", true), Two + 2);
    // The selection counts the text of every cell.
    Doc->SelB = 0;
    Doc->SelE = Doc->Len;
    EXPECT_GE(Doc->GetSelLength(), static_cast<int>(std::string("CaptionSpanningOneTwoafter").size()));
}

// ---- Load, jump, nesting ------------------------------------------------------------------------------

TEST_F(TableFixture, DeepNestingLaysOutOnce)
{
    // Each table lays its cells out twice; without remembering what a layout measured, forty
    // levels would take 2^40 cell layouts.
    std::string Html;
    for (int I = 0; I < 40; ++I)
        Html += "<table border><tr><td>x";
    Html += "deepest";
    Load(Html);
    const int H = Layout(600);
    EXPECT_GT(H, 40 * 8);
    TSection* Deepest = SectionWith("deepest");
    ASSERT_NE(Deepest, nullptr);
    EXPECT_GT(Deepest->StartY, 40 * 4);
    Paint();
    EXPECT_TRUE(Errors.empty());
}

} // namespace
