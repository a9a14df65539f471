#include "ModelFixture.h"

#include "platform/graphics/WinGdi.h"

namespace {

using TextSection = ModelFixture;

// ---- Building text ---------------------------------------------------------------------------

TEST_F(TextSection, PiecesJoinWithOneBlankAndLeadingBlanksDrop)
{
    auto* S = new TSection(0, 1, nullptr, &Font);
    S->AddText(" one ");
    S->AddText(" two");
    S->AddText("");
    S->AddText("  three");
    EXPECT_EQ(S->Buff, "one two  three");
    EXPECT_EQ(S->Len, 14);
    delete S;
}

TEST_F(TextSection, BlankAfterFloatingImagesOnlyIsDropped)
{
    auto* S = new TSection(0, 1, nullptr, &Font);
    auto L = Attrs({{AlignSy, "left", 0}});
    S->InsertImage(L.get(), &Doc);
    S->AddText(" text");
    EXPECT_EQ(S->Buff, std::string("\4text"));
    auto* T = new TSection(0, 1, nullptr, &Font);
    T->InsertImage(nullptr, &Doc); // an inline image keeps the blank after it
    T->AddText(" text");
    EXPECT_EQ(T->Buff, std::string("\4 text"));
    delete S;
    delete T;
}

TEST_F(TextSection, TextStopsOnceTheLimitIsPassed)
{
    auto* S = new TSection(0, 1, nullptr, &Font);
    S->AddText(std::string(TSection::MaxText, 'x'));
    S->AddText("yy"); // exactly at the limit: appended whole
    EXPECT_EQ(S->Len, TSection::MaxText + 2);
    S->AddText("zz");
    EXPECT_EQ(S->Len, TSection::MaxText + 2);
    delete S;
}

TEST_F(TextSection, SwitchFontReplacesAnUnusedRunAndNewRunsKeepTheLink)
{
    auto* S = new TSection(0, 1, nullptr, &Font);
    TMyFont Bold;
    Bold.Assign(&Font);
    Bold.SetStyle(TFontStyles{fsBold});
    S->SwitchFont(&Doc, &Bold); // no text yet: the first run changes
    ASSERT_EQ(S->Fonts.Count(), 1);
    EXPECT_TRUE(S->Fonts.Run(0)->TheFont->Style().Contains(fsBold));
    S->AddText("a ");
    TUrlTarget Link;
    std::string Url = "page.htm";
    Link.Assign(&Url, nullptr);
    S->SwitchLink(true, &Doc, &Font, &Link);
    S->AddText("link");
    S->SwitchFont(&Doc, &Bold); // inside the link
    S->AddText("bold");
    S->SwitchLink(false, &Doc, &Font, nullptr);
    S->AddText(" after");
    ASSERT_EQ(S->Fonts.Count(), 4);
    EXPECT_EQ(S->Fonts.Run(1)->Pos, 2);
    EXPECT_EQ(S->Fonts.Run(1)->UrlTarget.URL, "page.htm");
    EXPECT_EQ(S->Fonts.Run(2)->UrlTarget.URL, "page.htm");
    EXPECT_EQ(S->Fonts.Run(3)->UrlTarget.URL, "");
    int OHang = 0;
    EXPECT_EQ(S->Fonts.GetFontAt(7, OHang), S->Fonts.Run(2)->TheFont.get());
    EXPECT_EQ(S->Fonts.GetFontCountAt(3, S->Len), 3);
    EXPECT_EQ(S->Fonts.GetFontCountAt(12, S->Len), S->Len - 12);
    delete S;
}

TEST_F(TextSection, ScriptRunsTakeThreeQuartersOfTheirSize)
{
    auto* S = new TSection(0, 1, nullptr, &Font);
    S->AddText("x");
    TFontAdditions Superscript;
    Superscript.ScriptShift = 2;
    S->SwitchFont(&Doc, &Font, &Superscript);
    EXPECT_EQ(S->Fonts.Run(1)->SScript, 2);
    EXPECT_EQ(S->Fonts.Run(1)->TheFont->NormalSize, 9);
    EXPECT_EQ(S->Fonts.Run(1)->TheFont->Size(), 9);
    delete S;
}

TEST_F(TextSection, ClearAndFinish)
{
    struct Case {
        std::string Value;
        int Clear;
    } Cases[] = {{"left", 1}, {"RIGHT", 2}, {"all", 3}, {"", 3}};
    for (const Case& C : Cases) {
        TSection S(0, 2, nullptr, &Font);
        auto L = Attrs({{ClearSy, C.Value, 0}});
        S.SetClear(L.get());
        EXPECT_EQ(S.ClearAttr, C.Clear) << C.Value;
        EXPECT_EQ(S.FinishSection(), 2);
        EXPECT_EQ(S.Buff, " ");
    }
    TSection S(0, 1, nullptr, &Font);
    auto None = Attrs({{AlignSy, "left", 0}});
    S.SetClear(None.get());
    EXPECT_EQ(S.ClearAttr, 0);
}

// ---- Line breaking ---------------------------------------------------------------------------

TEST_F(TextSection, LineBreaking)
{
    struct Case {
        const char* Text;
        const char* FitsExactly; // the line width is the width of this text
        std::vector<std::string> Lines;
    } Cases[] = {
        // The blank after "bbb" does not fit: the word moves down.
        {"aaa bbb ccc", "aaa bbb", {"aaa ", "bbb ccc"}},
        {"aaa bbb ccc", "aaa bbb ", {"aaa bbb ", "ccc"}},
        // ... unless the word ends the section.
        {"aaa bbb", "aaa bbb", {"aaa bbb"}},
        // A word wider than the line stays whole and takes the blanks after it.
        {"a verylongword b", "a ver", {"a ", "verylongword ", "b"}},
        {"verylongword b", "ver", {"verylongword ", "b"}},
        // A line takes every blank after its last word.
        {"aaa   bbb", "aaa ", {"aaa   ", "bbb"}},
    };
    for (const Case& C : Cases) {
        Doc.Clear();
        TSection* S = AddSection(C.Text);
        Layout(W(C.FitsExactly));
        EXPECT_EQ(LineTexts(S), C.Lines) << C.Text << " / " << C.FitsExactly;
        EXPECT_EQ(S->SectionHeight, LineHeight() * static_cast<int>(C.Lines.size()));
    }
}

// A block keeps one line inside itself and more on the heap: laying it out again at other widths
// moves between the two and must give the same lines as a first layout.
TEST_F(TextSection, LinesAreTheSameWhenLaidOutAgain)
{
    std::string Text;
    for (int I = 0; I < 40; ++I)
        Text += "word" + std::to_string(I) + " ";
    TSection* S = AddSection(Text);
    std::vector<std::vector<std::string>> First;
    const int Widths[] = {60, 5000, 200, 61, 90, 5000};
    for (const int Width : Widths) {
        Layout(Width);
        First.push_back(LineTexts(S));
    }
    EXPECT_EQ(First[1].size(), 1u);
    EXPECT_GT(First[0].size(), First[2].size());
    for (std::size_t I = 0; I < std::size(Widths); ++I) {
        Doc.Clear();
        TSection* Fresh = AddSection(Text);
        Layout(Widths[I]);
        EXPECT_EQ(First[I], LineTexts(Fresh)) << Widths[I];
        EXPECT_THROW(Fresh->Line(Fresh->Lines.Count()), EListError);
    }
}

TEST_F(TextSection, OverlongWordOverflowsTheLine)
{
    TSection* S = AddSection("a verylongword b");
    const int Width = W("a ver");
    Layout(Width);
    ASSERT_EQ(S->Lines.Count(), 3);
    EXPECT_EQ(S->Line(1)->LineIndent, 0);
    EXPECT_GT(S->TextWidth(Canvas(), S->Line(1)->Start, true, S->Line(1)->Ln), Width);
}

TEST_F(TextSection, InlineImageBreaksBeforeItWhenTheTextFits)
{
    auto* S = new TSection(0, 1, nullptr, &Font);
    S->AddText("aaa ");
    auto L = Attrs({{WidthSy, "", 60}, {HeightSy, "", 10}});
    S->InsertImage(L.get(), &Doc);
    S->AddText("bbb");
    Doc.Add(S);
    Layout(W("aaa ") + 30);
    EXPECT_EQ(LineTexts(S), (std::vector<std::string>{"aaa ", "\4bbb"}));
}

TEST_F(TextSection, Alignment)
{
    const int Width = 300;
    struct Case {
        int Justify;
        int Indent;
    } Cases[] = {{1, 0}, {2, (Width - W("abc def")) / 2}, {3, Width - W("abc def")}};
    for (const Case& C : Cases) {
        Doc.Clear();
        // The trailing blank is not part of the width that is aligned.
        TSection* S = AddSection("abc def ", C.Justify);
        Layout(Width);
        ASSERT_EQ(S->Lines.Count(), 1);
        EXPECT_EQ(S->Line(0)->LineIndent, C.Indent) << C.Justify;
    }
}

TEST_F(TextSection, RightAlignedTextIsPaintedAtItsIndent)
{
    TSection* S = AddSection("HHHH", 3);
    Layout(300);
    Paint();
    const int Left = S->Line(0)->LineIndent;
    EXPECT_EQ(Left, 300 - W("HHHH"));
    EXPECT_EQ(CountNot(clWhite, 0, 0, Left - 1, 30), 0);
    EXPECT_GT(CountNot(clWhite, Left, 0, 300, 30), 20);
    EXPECT_EQ(CountNot(clWhite, 301, 0, 400, 30), 0);
}

TEST_F(TextSection, TextSitsOnTheBaseline)
{
    TSection* S = AddSection("HHHH");
    Layout(300);
    Paint(10);
    const LineRec* L = S->Line(0);
    const int Baseline = L->LineHt - L->Descent;
    const int Right = 10 + W("HHHH");
    EXPECT_EQ(L->DrawX, 10);
    EXPECT_EQ(CountNot(clWhite, 0, 0, 10, 40), 0);
    EXPECT_GT(CountNot(clWhite, 10, Baseline - 3, Right, Baseline), 8);
    EXPECT_EQ(CountNot(clWhite, 0, Baseline + 1, 400, 60), 0);
}

TEST_F(TextSection, ScrollOffsetMovesThePaint)
{
    AddSection("HHHH");
    Layout(300);
    Doc.SetYOffset(5);
    Paint();
    const int H = LineHeight();
    EXPECT_EQ(CountNot(clWhite, 0, H - 5, 400, 60), 0);
    ClearBitmap();
    Doc.SetYOffset(500); // outside the paint rectangle: nothing
    Paint();
    EXPECT_EQ(CountNot(clWhite, 0, 0, 400, 60), 0);
}

TEST_F(TextSection, SuperscriptIsRaisedAndSubscriptLowered)
{
    // The lowest inked row of the columns [Left, Right).
    auto Bottom = [&](int Left, int Right) {
        for (int Y = 59; Y >= 0; --Y)
            if (CountNot(clWhite, Left, Y, Right, Y + 1) > 0)
                return Y;
        return -1;
    };
    for (int Shift : {1, 2}) {
        Doc.Clear();
        ClearBitmap();
        auto* S = new TSection(0, 1, nullptr, &Font);
        S->AddText("HH");
        TFontAdditions Additions;
        Additions.ScriptShift = Shift;
        S->SwitchFont(&Doc, &Font, &Additions);
        S->AddText("HH");
        Doc.Add(S);
        Layout(300);
        Paint();
        const TFontObj* Script = S->Fonts.Run(1);
        const int Normal = Bottom(0, W("HH"));
        const int Shifted = Bottom(W("HH") + 1, 200);
        if (Shift == 1)
            EXPECT_EQ(Shifted - Normal, Script->Descent / 2 + 1);
        else
            EXPECT_EQ(Normal - Shifted, Script->FontHeight / 3);
    }
}

TEST_F(TextSection, PositionsNeverFallInsideAMultiByteCharacter)
{
    TSection* S = AddSection("\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9 \xC3\xA9\xC3\xA9");
    Layout(W("\xC3\xA9\xC3\xA9") + 3);
    ASSERT_EQ(S->Lines.Count(), 2);
    EXPECT_EQ(S->Line(0)->Ln, 9);
    Paint();
    for (int X = 0; X < W("\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9"); ++X) {
        TCell* Cell = nullptr;
        int LH = 0, Top = 0, CaretX = 0;
        const int Pos = Doc.FindCursor(Canvas(), X, 2, Cell, LH, Top, CaretX);
        EXPECT_EQ(Pos % 2, 0) << X;
        EXPECT_EQ(S->FindCountThatFits(Canvas(), X, 8, 0) % 2, 0) << X;
    }
}

// ---- Floats ---------------------------------------------------------------------------------

TEST_F(TextSection, LinesBesideALeftFloatThenBelowIt)
{
    auto* S = new TSection(0, 1, nullptr, &Font);
    auto L = Attrs({{AlignSy, "left", 0}, {WidthSy, "", 50}, {HeightSy, "", 40}});
    TImageObj* Img = WithPicture(S->InsertImage(L.get(), &Doc));
    S->AddText("one two three four five six seven eight nine ten eleven twelve");
    Doc.Add(S);
    const int Height = Layout(150);
    ASSERT_GE(S->Lines.Count(), 4);
    int Top = 0;
    for (int I = 0; I < S->Lines.Count(); ++I) {
        const LineRec* Line = S->Line(I);
        EXPECT_EQ(Line->LineIndent, Top < 40 ? 55 : 0) << "line " << I << " at " << Top;
        Top += Line->LineHt + Line->SpaceBefore + Line->SpaceAfter;
    }
    EXPECT_EQ(Img->Indent, 0);
    EXPECT_GE(S->DrawHeight, 40);
    EXPECT_GE(Height, 40);

    ClearBitmap();
    Paint();
    EXPECT_EQ(Img->DrawX, 0);
    EXPECT_EQ(Img->DrawY, 0);
    EXPECT_EQ(CountIs(clGray, 0, 0, 50, 40), 50 * 40);
}

// Every float before the line's first text is placed beside the line, and painted there, the
// second one to the right of the first; a float after text hangs below its line.
TEST_F(TextSection, FloatsBeforeTheFirstTextArePaintedBesideTheLine)
{
    auto* S = new TSection(0, 1, nullptr, &Font);
    auto A = Attrs({{AlignSy, "left", 0}, {WidthSy, "", 40}, {HeightSy, "", 30}});
    auto B = Attrs({{AlignSy, "left", 0}, {WidthSy, "", 20}, {HeightSy, "", 50}});
    auto C = Attrs({{AlignSy, "right", 0}, {WidthSy, "", 30}, {HeightSy, "", 20}});
    TImageObj* First = WithPicture(S->InsertImage(A.get(), &Doc));
    TImageObj* Second = WithPicture(S->InsertImage(B.get(), &Doc));
    S->AddText("text ");
    TImageObj* Later = WithPicture(S->InsertImage(C.get(), &Doc));
    S->AddText("more");
    Doc.Add(S);
    Layout(300);
    ASSERT_EQ(S->Lines.Count(), 1);
    EXPECT_EQ(S->Line(0)->LineIndent, 45 + 25);
    ClearBitmap();
    Paint();
    EXPECT_EQ(First->DrawX, 0);
    EXPECT_EQ(First->DrawY, 0);
    EXPECT_EQ(Second->DrawX, 45);
    EXPECT_EQ(Second->DrawY, 0);
    EXPECT_EQ(Later->DrawX, 270);
    EXPECT_EQ(Later->DrawY, S->Line(0)->LineHt);
    EXPECT_EQ(CountIs(clGray, 45, 0, 65, 50), 20 * 50);
    EXPECT_EQ(CountIs(clGray, 270, S->Line(0)->LineHt, 300, S->Line(0)->LineHt + 20), 30 * 20);
}

TEST_F(TextSection, FloatAfterTextStartsBelowTheCurrentLine)
{
    auto* S = new TSection(0, 1, nullptr, &Font);
    S->AddText("aa ");
    auto L = Attrs({{AlignSy, "left", 0}, {WidthSy, "", 30}, {HeightSy, "", 100}});
    TImageObj* Img = S->InsertImage(L.get(), &Doc);
    S->AddText("bb cc dd ee ff gg hh ii jj kk ll mm");
    Doc.Add(S);
    Layout(W("aa bb cc dd"));
    ASSERT_GE(S->Lines.Count(), 3);
    const int H = LineHeight();
    EXPECT_EQ(S->Line(0)->LineIndent, 0);
    EXPECT_EQ(S->Line(1)->LineIndent, 35);
    ASSERT_EQ(Doc.IMgr->L.Count(), 1);
    EXPECT_EQ(Doc.IMgr->LeftRec(0)->YT, H);
    EXPECT_EQ(Img->Indent, 0);
}

TEST_F(TextSection, RightFloatNarrowsTheLineFromTheRight)
{
    auto* S = new TSection(0, 3, nullptr, &Font);
    auto L = Attrs({{AlignSy, "right", 0}, {WidthSy, "", 40}, {HeightSy, "", 30}, {HSpaceSy, "", 10}});
    TImageObj* Img = S->InsertImage(L.get(), &Doc);
    S->AddText("abc");
    Doc.Add(S);
    Layout(200);
    EXPECT_EQ(Img->Indent, 160);
    EXPECT_EQ(S->Line(0)->LineIndent, 150 - W("abc"));
}

TEST_F(TextSection, ClearMovesTextBelowTheFloat)
{
    auto* A = new TSection(0, 1, nullptr, &Font);
    auto L = Attrs({{AlignSy, "left", 0}, {WidthSy, "", 50}, {HeightSy, "", 60}});
    A->InsertImage(L.get(), &Doc);
    A->AddText("beside");
    Doc.Add(A);
    TSection* Beside = AddSection("still beside");
    auto* Below = new TSection(0, 1, nullptr, &Font);
    auto C = Attrs({{ClearSy, "left", 0}});
    Below->SetClear(C.get());
    Below->AddText("below");
    Doc.Add(Below);
    Layout(300);
    EXPECT_EQ(Beside->Line(0)->LineIndent, 55);
    ASSERT_EQ(Below->Lines.Count(), 2);
    EXPECT_EQ(Below->Line(0)->Ln, 0); // the gap
    EXPECT_EQ(Below->StartY + Below->Line(0)->LineHt, 60);
    EXPECT_EQ(Below->Line(1)->LineIndent, 0);
}

// ---- Lists ----------------------------------------------------------------------------------

TEST(OrderedListLabels, Table)
{
    struct Case {
        char Type;
        int N;
        const char* Label;
    } Cases[] = {{'A', 1, "A."},   {'A', 27, "Z."}, {'a', 3, "c."},         {'I', 4, "IV."},
                 {'i', 21, "xx."}, {'i', 9, "ix."}, {'1', 12, "12."},       {'x', 7, "7."},
                 {'A', 0, "A."},   {'I', -5, "I."}, {'a', 2147483647, "z."}};
    for (const Case& C : Cases)
        EXPECT_EQ(OrderedListLabel(C.Type, C.N), C.Label) << C.Type << C.N;
}

TEST_F(TextSection, ListStartBelowOneFallsBackToDecimalFromOne)
{
    for (int Start : {0, -3}) {
        TOListItem Item(1, nullptr, &Font, 'A', Start);
        EXPECT_EQ(Item.NumType, '1');
        EXPECT_EQ(Item.ListNumb, 1);
    }
    TOListItem Item(1, nullptr, &Font, 'i', 4);
    EXPECT_EQ(Item.NumType, 'i');
    EXPECT_EQ(Item.ListNumb, 4);
    EXPECT_EQ(Item.ListType, 1);
}

// The labels a whole list gets from its START and TYPE, as the builder numbers it.
TEST_F(TextSection, ListStartBelowOneNumbersTheWholeListInDecimal)
{
    struct TCase {
        const char* Html;
        std::vector<std::string> Labels;
    } Cases[] = {
        {"<ol start=0 type=A><li>a<li>b<li>c</ol>", {"1.", "2.", "3."}},
        {"<ol start=-3><li>a<li>b</ol>", {"1.", "2."}},
        {"<ol type=i start=\"many\"><li>a<li>b</ol>", {"1.", "2."}},
        {"<ol type=a start=x><li>a<li>b</ol>", {"1.", "2."}},
        {"<ol start=3 type=A><li>a<li>b</ol>", {"C.", "D."}},
        {"<ol type=I start=19><li>a<li>b<li>c</ol>", {"XIX.", "XX.", "XX."}},
        {"<ol type=a start=25><li>a<li>b<li>c</ol>", {"y.", "z.", "z."}},
        {"<ol><li>a<li>b</ol>", {"1.", "2."}},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Html);
        TSectionList Page(nullptr, nullptr);
        const std::string Html = C.Html;
        THtmlParser().HtmlParseBuffer(&Page, nullptr, Html.data(), Html.size());
        std::vector<std::string> Labels;
        for (int I = 0; I < Page.Count(); ++I)
            if (auto* Item = dynamic_cast<TOListItem*>(Page.Block(I)); Item && Item->Len > 0)
                Labels.push_back(OrderedListLabel(Item->NumType, Item->ListNumb));
        EXPECT_EQ(Labels, C.Labels);
    }
}

TEST_F(TextSection, OrderedItemLabelEndsFivePixelsLeftOfTheText)
{
    auto* Item = new TOListItem(1, nullptr, &Font, 'A', 27);
    Item->AddText("item");
    Doc.Add(Item);
    Layout(300);
    Paint(20);
    const int Bx = 20 + 35;
    EXPECT_EQ(Item->LeftIndentAtStart, 35);
    EXPECT_EQ(Item->Line(0)->DrawX, Bx);
    const int LabelW = W("Z.");
    EXPECT_GT(CountNot(clWhite, Bx - 5 - LabelW, 0, Bx - 5, 20), 5);
    EXPECT_EQ(CountNot(clWhite, 0, 0, Bx - 6 - LabelW, 20), 0);
    EXPECT_EQ(CountNot(clWhite, Bx - 4, 0, Bx, 20), 0);
}

TEST_F(TextSection, BulletsByLevelAndBackground)
{
    struct Case {
        int Level;
        TColor Background;
        bool Plain;
        TColor Disc;
    } Cases[] = {{1, clWhite, false, clNavy},
                 {2, clWhite, false, clMaroon},
                 {3, clSilver, false, clRed},
                 {1, clWhite, true, clWhite},
                 {4, clBtnFace, false, clNavy}};
    for (const Case& C : Cases) {
        Doc.Clear();
        Doc.SetBackground(C.Background);
        ClearBitmap(C.Background);
        auto* Item = new TUListItem(C.Level, nullptr, &Font);
        Item->Plain = C.Plain;
        Item->AddText("x");
        Doc.Add(Item);
        Layout(300);
        Paint(0);
        const int Bx = 35 * C.Level;
        const int Cy = Item->Line(0)->LineHt / 2;
        const TColor Back = ColorToRGB(C.Background);
        if (C.Plain)
            EXPECT_EQ(CountNot(Back, Bx - 10, Cy - 2, Bx - 5, Cy + 3), 0);
        else
            EXPECT_GE(CountIs(C.Disc, Bx - 10, Cy - 2, Bx - 5, Cy + 3), 9) << C.Level;
    }
    Doc.SetBackground(clWhite);
}

TEST_F(TextSection, BulletOnADarkBackgroundIsAnOutline)
{
    Doc.SetBackground(clNavy);
    ClearBitmap(clNavy);
    Doc.FontColor = clYellow;
    auto* Item = new TUListItem(1, nullptr, &Font);
    Item->AddText("x");
    Doc.Add(Item);
    Layout(300);
    Paint(0);
    const int Cy = Item->Line(0)->LineHt / 2;
    EXPECT_GT(CountIs(clYellow, 25, Cy - 2, 30, Cy + 3), 0);
    EXPECT_EQ(CountIs(clRed, 25, Cy - 2, 30, Cy + 3), 0);
}

TEST_F(TextSection, ListLevelsIndentAndCloseBelow)
{
    auto* Item = new TUListItem(2, nullptr, &Font);
    Item->AddText("nested");
    Doc.Add(Item);
    TSection* After = AddSection("after");
    Layout(300);
    EXPECT_EQ(Item->Indent, 70);
    EXPECT_EQ(Item->Line(0)->LineIndent, 70);
    EXPECT_EQ(After->Line(0)->LineIndent, 0);
}

// ---- Preformatted text ------------------------------------------------------------------------

TEST_F(TextSection, PreformattedNeverWraps)
{
    const std::string Long =
        "  keep   these blanks and never wrap this rather long preformatted line of text";
    auto* P = new TPreFormated(0, 1, nullptr, &Font);
    P->AddText(Long);
    Doc.Add(P);
    int Curs = 0, MaxWidth = 0;
    Doc.DoLogic(Canvas(), 0, Curs, MaxWidth, 100);
    ASSERT_EQ(P->Lines.Count(), 1);
    EXPECT_EQ(P->Buff, Long);
    EXPECT_EQ(MaxWidth, W(Long));
    int Min = 0, Max = 0;
    P->MinMaxWidth(Canvas(), Min, Max);
    EXPECT_EQ(Max, W(Long));
    EXPECT_EQ(Min, std::min(500, Max));
    EXPECT_LE(Min, 500);
    EXPECT_EQ(Doc.IMgr->Width, 100); // restored after the layout
}

TEST_F(TextSection, PreformattedTextIsClippedToTheClipWidth)
{
    auto* P = new TPreFormated(0, 1, nullptr, &Font);
    P->AddText("HHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHH");
    Doc.Add(P);
    Layout(100);
    Doc.Draw(Canvas(), Rect(0, 0, 400, 300), 0, 0, 120);
    EXPECT_GT(CountNot(clWhite, 100, 0, 120, 30), 0);
    EXPECT_EQ(CountNot(clWhite, 121, 0, 400, 30), 0);
}

TEST_F(TextSection, EmptyPreformattedBlockTakesOneBlank)
{
    auto* P = new TPreFormated(0, 1, nullptr, &Font);
    Doc.Add(P);
    EXPECT_EQ(P->Buff, " ");
    auto* S = new TSection(0, 1, nullptr, &Font);
    Doc.Add(S);
    EXPECT_EQ(S->Len, 0);
    Layout(300);
    EXPECT_EQ(S->SectionHeight, 0);
    EXPECT_EQ(P->SectionHeight, LineHeight());
}

// ---- Character positions, selection and search across blocks -------------------------------

struct TwoBlocks : ModelFixture {
    TSection* First = nullptr;
    TSection* Second = nullptr;
    void SetUp() override
    {
        ModelFixture::SetUp();
        First = AddSection("Hello world");
        Doc.Add(new TParagraphSpace);
        Second = AddSection("Second HHHH");
        Layout(300);
        Paint();
    }
};

TEST_F(TwoBlocks, BlocksShareOneSequenceOfPositions)
{
    EXPECT_EQ(First->StartCurs, 0);
    EXPECT_EQ(Second->StartCurs, 11);
    EXPECT_EQ(Doc.Len, 22);
    char Ch = 0;
    TObject* Obj = nullptr;
    ASSERT_TRUE(Doc.GetChAtPos(11, Ch, Obj));
    EXPECT_EQ(Ch, 'S');
    EXPECT_EQ(Obj, Second);
    ASSERT_TRUE(Doc.GetChAtPos(4, Ch, Obj));
    EXPECT_EQ(Ch, 'o');
    EXPECT_EQ(Obj, First);
    EXPECT_FALSE(Doc.GetChAtPos(23, Ch, Obj));
}

TEST_F(TwoBlocks, SelectionLength)
{
    struct Case {
        int SelB, SelE, Count;
    } Cases[] = {
        {6, 14, 5 + 2 + 2 + 3}, // "world", its line end, the paragraph gap, "Sec"
        {0, 11, 11 + 2},        // the whole first block and its line end
        {3, 3, 0},              // empty
        {5, 2, 0},              // reversed is empty
    };
    for (const Case& C : Cases) {
        Doc.SelB = C.SelB;
        Doc.SelE = C.SelE;
        EXPECT_EQ(Doc.GetSelLength(), C.Count) << C.SelB << ".." << C.SelE;
        EXPECT_EQ(Doc.SelCount, nullptr);
    }
}

TEST_F(TwoBlocks, FindString)
{
    struct Case {
        int From;
        const char* What;
        bool MatchCase;
        int Found;
    } Cases[] = {{0, "second", false, 11}, {0, "second", true, -1}, {0, "WORLD", false, 6},
                 {7, "o", false, 7},       {8, "o", false, 14},     {0, "hhhh", false, 18},
                 {19, "hhhh", false, -1},  {0, "d S", false, -1},   {0, "world", true, 6}};
    for (const Case& C : Cases)
        EXPECT_EQ(Doc.FindString(C.From, C.What, C.MatchCase), C.Found) << C.What << " from " << C.From;
}

TEST_F(TwoBlocks, SelectedTextIsDrawnInverted)
{
    Doc.SelB = 18; // "HHHH" of the second block
    Doc.SelE = 22;
    ClearBitmap();
    Paint();
    const LineRec* L = Second->Line(0);
    const int Top = Second->StartY + L->SpaceBefore;
    const int Left = W("Second ");
    const int Right = W("Second HHHH");
    const int Area = (Right - Left) * L->LineHt;
    EXPECT_GT(CountIs(clBlack, Left, Top, Right, Top + L->LineHt), Area / 2);
    EXPECT_GT(CountIs(clWhite, Left, Top, Right, Top + L->LineHt), 10); // the letters
    EXPECT_LT(CountIs(clBlack, 0, Top, Left, Top + L->LineHt), (Left * L->LineHt) / 4);
}

TEST_F(TwoBlocks, FindCursorAndCursorToXY)
{
    const int H = LineHeight();
    const int Y = Second->StartY + 3;
    TCell* Cell = nullptr;
    int LineHeight = 0, Top = 0, CaretX = 0;
    // Left half of the third H: the caret stays before it.
    int Pos = Doc.FindCursor(Canvas(), W("Second HH") + 2, Y, Cell, LineHeight, Top, CaretX);
    EXPECT_EQ(Pos, 11 + 9);
    EXPECT_EQ(CaretX, W("Second HH"));
    EXPECT_EQ(Cell, &Doc);
    EXPECT_EQ(LineHeight, H);
    EXPECT_EQ(Top, Second->StartY);
    // Right half: past it.
    Pos = Doc.FindCursor(Canvas(), W("Second HHH") - 2, Y, Cell, LineHeight, Top, CaretX);
    EXPECT_EQ(Pos, 11 + 10);
    EXPECT_EQ(CaretX, W("Second HHH"));
    EXPECT_EQ(Doc.FindCursor(Canvas(), 5, 1000, Cell, LineHeight, Top, CaretX), -1);

    int X = 0, CY = 0;
    ASSERT_TRUE(Doc.CursorToXY(Canvas(), 11 + 7, X, CY));
    EXPECT_EQ(X, W("Second "));
    EXPECT_EQ(CY, Second->StartY);
    ASSERT_TRUE(Doc.CursorToXY(Canvas(), 4, X, CY));
    EXPECT_EQ(X, W("Hell"));
    EXPECT_EQ(CY, 0);
    EXPECT_FALSE(Doc.CursorToXY(Canvas(), 400, X, CY));
}

TEST_F(TextSection, CursorOnAWrappedLine)
{
    TSection* S = AddSection("aaa bbb ccc");
    Layout(W("aaa bbb"));
    Paint();
    int X = 0, Y = 0;
    ASSERT_TRUE(S->CursorToXY(Canvas(), 5, X, Y));
    EXPECT_EQ(Y, LineHeight());
    EXPECT_EQ(X, W("b"));
    TCell* Cell = nullptr;
    int LH = 0, Top = 0, CaretX = 0;
    EXPECT_EQ(Doc.FindCursor(Canvas(), 0, LineHeight() + 2, Cell, LH, Top, CaretX), 4);
    EXPECT_EQ(Top, LineHeight());
}

TEST_F(TextSection, LinkUnderThePoint)
{
    auto* S = new TSection(0, 1, nullptr, &Font);
    S->AddText("click ");
    TUrlTarget Link;
    std::string Url = "next.htm", Target = "main";
    Link.Assign(&Url, &Target);
    S->SwitchLink(true, &Doc, &Font, &Link);
    S->AddText("here");
    S->SwitchLink(false, &Doc, &Font, nullptr);
    S->AddText(" now");
    Doc.Add(S);
    Layout(300);
    Paint(10);
    TFormControlObj* FC = nullptr;
    TUrlTarget Found;
    ASSERT_TRUE(Doc.GetURL(Canvas(), 10 + W("click h"), 5, FC, Found));
    EXPECT_EQ(Found.URL, "next.htm");
    EXPECT_EQ(Found.Target, "main");
    EXPECT_FALSE(Doc.GetURL(Canvas(), 10 + W("cl"), 5, FC, Found));
    EXPECT_FALSE(Doc.GetURL(Canvas(), 10 + W("click here n"), 5, FC, Found));
    EXPECT_FALSE(Doc.GetURL(Canvas(), 5, 5, FC, Found));
    EXPECT_FALSE(Doc.GetURL(Canvas(), 10 + W("click h"), 500, FC, Found));
}

TEST_F(TextSection, ImageLinkAndImageMapPoint)
{
    auto* S = new TSection(0, 1, nullptr, &Font);
    TUrlTarget Link;
    std::string Url = "map.cgi";
    Link.Assign(&Url, nullptr);
    S->SwitchLink(true, &Doc, &Font, &Link);
    auto L = Attrs({{WidthSy, "", 40}, {HeightSy, "", 30}, {IsMapSy, "", 0}});
    TImageObj* Img = WithPicture(S->InsertImage(L.get(), &Doc));
    Doc.Add(S);
    Layout(300);
    Paint(0);
    EXPECT_EQ(Img->DrawX, 1); // inside its link border
    TFormControlObj* FC = nullptr;
    TUrlTarget Found;
    ASSERT_TRUE(Doc.GetURL(Canvas(), Img->DrawX + 7, Img->DrawY + 9, FC, Found));
    EXPECT_EQ(Found.URL, "map.cgi?7,9");
}

TEST_F(TextSection, FormControlsCountAsOneCharacterAndRaiseTheLine)
{
    auto* S = new TSection(0, 1, nullptr, &Font);
    S->AddText("name ");
    auto L = Attrs({{TypeSy, "TEXT", 0}});
    TFormControlObj* Edit = S->InsertFormControl(InputSy, &Doc, &Doc, L.get());
    auto H = Attrs({{TypeSy, "hidden", 0}});
    S->InsertFormControl(InputSy, &Doc, &Doc, H.get());
    S->AddText(" end");
    Doc.Add(S);
    EXPECT_EQ(S->Buff, std::string("name \2 end"));
    EXPECT_EQ(Doc.AllFormControls.Count(), 2);
    Layout(400);
    const LineRec* Line = S->Line(0);
    EXPECT_EQ(Line->SpaceBefore, std::max(0, Edit->Height() - Line->LineHt));
    EXPECT_EQ(S->TextWidth(Canvas(), 0, false, S->Len), W("name ") + Edit->Width() + W(" end"));
    Paint(0);
    EXPECT_TRUE(Edit->ShowIt);
    EXPECT_EQ(Edit->Control->Left(), W("name "));
    EXPECT_EQ(Edit->Control->Top(), Line->SpaceBefore + Line->LineHt - Edit->Height()); // on the line bottom
    Doc.SelB = 0;
    Doc.SelE = S->Len;
    EXPECT_EQ(Doc.GetSelLength(), 9 + 2); // the control's character is not counted
}

TEST_F(TextSection, CheckBoxSitsOnTheBaselineAndImageControlsTakeTheClick)
{
    auto* S = new TSection(0, 1, nullptr, &Font);
    S->AddText("tick ");
    auto L = Attrs({{TypeSy, "checkbox", 0}});
    TFormControlObj* Box = S->InsertFormControl(InputSy, &Doc, &Doc, L.get());
    auto I = Attrs({{TypeSy, "image", 0}, {WidthSy, "", 30}, {HeightSy, "", 30}});
    auto* Go = dynamic_cast<TImageFormControlObj*>(S->InsertFormControl(InputSy, &Doc, &Doc, I.get()));
    ASSERT_NE(Go, nullptr);
    Doc.Add(S);
    EXPECT_EQ(S->Buff, std::string("tick \2\4"));
    Layout(400);
    Paint(0);
    const LineRec* Line = S->Line(0);
    EXPECT_EQ(Box->AlignValue, 1);
    EXPECT_EQ(Box->Control->Top(), Line->SpaceBefore + Line->LineHt - Line->Descent - Box->Height());
    TImageObj* Img = S->Images.Image(0);
    EXPECT_EQ(Img->MyFormControl, Go);
    TFormControlObj* FC = nullptr;
    TUrlTarget Found;
    ASSERT_TRUE(Doc.GetURL(Canvas(), Img->DrawX + 4, Img->DrawY + 6, FC, Found));
    EXPECT_EQ(FC, Go);
    EXPECT_EQ(Go->MouseX, 4);
    EXPECT_EQ(Go->MouseY, 6);
}

// Images and controls are looked up by position (by halving); every position of a mixed text must
// find exactly the object standing there and the distance to the next one.
TEST_F(TextSection, ImagesAndControlsAreFoundByPosition)
{
    auto* S = new TSection(0, 1, nullptr, &Font);
    auto E = Attrs({{TypeSy, "text", 0}});
    for (int I = 0; I < 40; ++I) {
        if (I % 3 == 0)
            S->AddText(I % 2 ? "ab " : "c");
        if (I % 5 == 1)
            S->InsertFormControl(InputSy, &Doc, &Doc, E.get());
        else
            S->InsertImage(nullptr, &Doc);
    }
    Doc.Add(S);
    for (int P = 0; P <= S->Len + 1; ++P) {
        SCOPED_TRACE("position " + std::to_string(P));
        const char C = P < S->Len ? S->Buff[static_cast<std::size_t>(P)] : '\0';
        TImageObj* Img = S->Images.FindImage(P);
        EXPECT_EQ(Img != nullptr, C == TSection::ImgChar);
        if (Img)
            EXPECT_EQ(Img->Pos, P);
        TFormControlObj* Ctl = S->FormControlAt(P);
        EXPECT_EQ(Ctl != nullptr, C == TSection::FmCtlChar);
        if (Ctl)
            EXPECT_EQ(Ctl->Pos, P);
        int NextImg = P, NextCtl = P;
        while (NextImg < S->Len && S->Buff[static_cast<std::size_t>(NextImg)] != TSection::ImgChar)
            ++NextImg;
        while (NextCtl < S->Len && S->Buff[static_cast<std::size_t>(NextCtl)] != TSection::FmCtlChar)
            ++NextCtl;
        EXPECT_EQ(S->Images.GetImageCountAt(P), NextImg < S->Len ? NextImg - P : 9999);
        EXPECT_EQ(S->FormControls.DistanceToNextControl(P), NextCtl < S->Len ? NextCtl - P : 9999);
    }
}

TEST_F(TextSection, MinMaxWidth)
{
    auto* S = new TSection(0, 1, nullptr, &Font);
    S->AddText("a widest bb");
    auto L = Attrs({{AlignSy, "left", 0}, {WidthSy, "", 20}, {HeightSy, "", 20}});
    S->InsertImage(L.get(), &Doc);
    Doc.Add(S);
    int Min = 0, Max = 0;
    S->MinMaxWidth(Canvas(), Min, Max);
    EXPECT_EQ(Min, W("widest") + 25);
    EXPECT_EQ(Max, W("a widest bb") + 25);
}

} // namespace
