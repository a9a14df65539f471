#include "ModelFixture.h"

#include "html-engine/GifImages.h"
#include "platform/controls/Dialogs.h"
#include "platform/testing/FormTesting.h"

#include <climits>

namespace {

using Model = ModelFixture;

// ---- Indent manager --------------------------------------------------------------------------

std::unique_ptr<TImageObj> Floating(const char* Align, int Width, int Height, int HSpace = 5)
{
    auto L =
        Attrs({{AlignSy, Align, 0}, {WidthSy, "", Width}, {HeightSy, "", Height}, {HSpaceSy, "", HSpace}});
    auto Img = std::make_unique<TImageObj>(0, L.get());
    Img->Size(nullptr, nullptr, nullptr);
    return Img;
}

TEST(IndentManagerTest, FloatsIndentUntilTheirBottomExclusive)
{
    IndentManager M;
    M.Reset(0, 300);
    EXPECT_EQ(M.LeftIndent(5), 0);
    EXPECT_EQ(M.RightSide(5), 300);
    int CL = -1, CR = -1;
    M.GetClearY(CL, CR);
    EXPECT_EQ(CL, 0);
    EXPECT_EQ(CR, 0);

    auto Left = Floating("left", 50, 40);
    M.Update(10, Left.get());
    EXPECT_EQ(Left->Indent, 0);
    struct Case {
        int Y, Indent;
    } Cases[] = {{9, 0}, {10, 55}, {49, 55}, {50, 0}};
    for (const Case& C : Cases)
        EXPECT_EQ(M.LeftIndent(C.Y), C.Indent) << C.Y;

    auto Right = Floating("right", 30, 20);
    M.Update(0, Right.get());
    EXPECT_EQ(Right->Indent, 270);
    EXPECT_EQ(M.RightRec(0)->X, -35);
    EXPECT_EQ(M.RightSide(0), 265);
    EXPECT_EQ(M.RightSide(20), 300);

    // A second left float beside the first one goes to its right.
    auto Second = Floating("left", 20, 10);
    M.Update(12, Second.get());
    EXPECT_EQ(Second->Indent, 55);
    EXPECT_EQ(M.LeftIndent(12), 80);

    EXPECT_EQ(M.ImageBottom(), 50);
    M.GetClearY(CL, CR);
    EXPECT_EQ(CL, 51);
    EXPECT_EQ(CR, 21);

    auto Inline = Floating("middle", 20, 10);
    M.Update(0, Inline.get());
    M.Update(0, nullptr);
    EXPECT_EQ(M.L.Count() + M.R.Count(), 3);
}

TEST(IndentManagerTest, ListLevelsOpenAndClose)
{
    IndentManager M;
    M.Reset(0, 300);
    M.SetLevel(100, 2);
    ASSERT_EQ(M.L.Count(), 2);
    EXPECT_EQ(M.LeftRec(0)->X, 35);
    EXPECT_EQ(M.LeftRec(1)->X, 70);
    EXPECT_EQ(M.LeftRec(1)->Lev, 2);
    EXPECT_EQ(M.LeftIndent(100), 70);
    EXPECT_EQ(M.LeftIndent(99), 0);
    EXPECT_EQ(M.ImageBottom(), 0); // open levels are not floats
    M.SetLevel(200, 0);
    EXPECT_EQ(M.CurrentLevel, 0);
    EXPECT_EQ(M.LeftRec(0)->YB, 199);
    EXPECT_EQ(M.LeftRec(1)->YB, 199);
    EXPECT_EQ(M.LeftRec(1)->Lev, 0);
    EXPECT_EQ(M.LeftIndent(198), 70);
    EXPECT_EQ(M.LeftIndent(199), 0);
}

TEST(IndentManagerTest, LevelClearIsBelowFloatsBesideTheLevel)
{
    IndentManager M;
    M.Reset(0, 300);
    M.SetLevel(0, 1);
    EXPECT_EQ(M.GetLevelClear(), 1);
    auto Img = Floating("left", 50, 40);
    M.Update(0, Img.get());
    EXPECT_EQ(Img->Indent, 35);
    EXPECT_EQ(M.GetLevelClear(), 41);
}

// The manager keeps summaries so that layout need not visit every closed list level again; every
// answer must still be the one a plain walk over all records gives, also for queries above the
// floor (painting and hit tests ask from the top again).
TEST(IndentManagerTest, SummariesAnswerAsAWalkOverEveryRecord)
{
    struct TRef {
        const IndentManager& M;
        // The edge moved by the records that apply at Y: the furthest in on the left, the
        // furthest in (most negative) on the right.
        int Edge(const TFreeList& Side, int Edge, int Sign, int Y) const
        {
            int X = 0;
            for (int I = 0; I < Side.Count(); ++I) {
                const auto* IR = Side.ItemAs<IndentRec>(I);
                if (Y >= IR->YT && Y < IR->YB && IR->X * Sign > X * Sign)
                    X = IR->X;
            }
            return Edge + X;
        }
        int Left(int Y) const { return Edge(M.L, M.LfEdge, 1, Y); }
        int Right(int Y) const { return Edge(M.R, M.RtEdge, -1, Y); }
        int Bottom(const TFreeList& Side, bool& Any) const
        {
            int B = INT_MIN;
            Any = false;
            for (int I = 0; I < Side.Count(); ++I)
                if (Side.ItemAs<IndentRec>(I)->Lev == 0) {
                    Any = true;
                    B = std::max(B, Side.ItemAs<IndentRec>(I)->YB);
                }
            return B;
        }
        int LevelClear() const
        {
            int LevelX = 0;
            for (int I = 0; I < M.L.Count(); ++I)
                if (M.LeftRec(I)->Lev == M.CurrentLevel)
                    LevelX = M.LeftRec(I)->X;
            int B = INT_MIN;
            for (int I = 0; I < M.L.Count(); ++I)
                if (M.LeftRec(I)->X > LevelX)
                    B = std::max(B, M.LeftRec(I)->YB);
            return B == INT_MIN ? 1 : B + 1;
        }
    };
    IndentManager M;
    M.Reset(0, 600);
    const TRef Ref{M};
    std::uint32_t Seed = 7;
    auto Rand = [&](int N) {
        Seed = Seed * 1103515245u + 12345u;
        return static_cast<int>((Seed >> 16) % static_cast<std::uint32_t>(N));
    };
    std::vector<std::unique_ptr<TImageObj>> Images;
    int Y = 0;
    for (int Step = 0; Step < 1000; ++Step) {
        M.SetFloor(Y);
        switch (Rand(4)) {
        case 0:
            M.SetLevel(Y, Rand(4));
            break;
        case 1:
            Images.push_back(Floating(Rand(2) ? "left" : "right", 10 + Rand(50), 5 + Rand(80)));
            M.Update(Y + Rand(10), Images.back().get());
            break;
        case 2:
            M.UpdateTable(Y, 20 + Rand(40), 1 + 2 * Rand(2), Rand(60));
            break;
        default:
            break;
        }
        for (int Q : {Y, Y + Rand(100), Rand(Y + 1)}) {
            ASSERT_EQ(M.LeftIndent(Q), Ref.Left(Q)) << Step << " " << Q;
            ASSERT_EQ(M.RightSide(Q), Ref.Right(Q)) << Step << " " << Q;
        }
        bool AnyL, AnyR;
        const int BL = Ref.Bottom(M.L, AnyL), BR = Ref.Bottom(M.R, AnyR);
        ASSERT_EQ(M.ImageBottom(), std::max({0, AnyL ? BL : 0, AnyR ? BR : 0}));
        int CL, CR;
        M.GetClearY(CL, CR);
        ASSERT_EQ(CL, AnyL ? BL + 1 : 0);
        ASSERT_EQ(CR, AnyR ? BR + 1 : 0);
        ASSERT_EQ(M.GetLevelClear(), Ref.LevelClear());
        // From a block's top only what reaches down to it counts: the height it gives that block
        // is the same.
        if (M.CurrentLevel > 0)
            ASSERT_EQ(std::max(0, M.GetLevelClear(Y) - Y), std::max(0, Ref.LevelClear() - Y)) << Step;
        Y += Rand(30);
    }
    EXPECT_GT(M.L.Count(), 300);
}

TEST(IndentManagerTest, TablesAndEdges)
{
    IndentManager M;
    M.Reset(10, 310);
    EXPECT_EQ(M.LeftIndent(0), 10);
    M.UpdateTable(0, 100, 1, 50);
    M.UpdateTable(0, 80, 3, 30);
    M.UpdateTable(0, 80, 2, 30); // centred: no record
    EXPECT_EQ(M.LeftIndent(0), 110);
    EXPECT_EQ(M.RightSide(0), 230);
    EXPECT_EQ(M.L.Count() + M.R.Count(), 2);
    // Huge sizes saturate instead of wrapping below the top.
    M.UpdateTable(100, INT_MAX, 1, INT_MAX);
    EXPECT_EQ(M.ImageBottom(), INT_MAX);
    EXPECT_EQ(M.LeftIndent(200), INT_MAX);
    int CL, CR;
    M.GetClearY(CL, CR);
    EXPECT_EQ(CL, INT_MAX);
    M.Clear();
    EXPECT_EQ(M.LeftIndent(0), 10);
}

// ---- Spacing blocks and rules ---------------------------------------------------------------

TEST_F(Model, SpacingFollowsTheBaseSize)
{
    auto* P = new TParagraphSpace;
    Doc.Add(P);
    std::vector<THeadingSpace*> Heads;
    for (int Level : {1, 2, 3, 4, 5, 6, 0, 7}) {
        Heads.push_back(new THeadingSpace(Level));
        Doc.Add(Heads.back());
    }
    auto* HR = new THorzLine(nullptr);
    Doc.Add(HR);
    EXPECT_EQ(P->SectionHeight, 14);
    const int Expected[] = {16, 12, 10, 8, 6, 4, 8, 8};
    for (std::size_t I = 0; I < Heads.size(); ++I)
        EXPECT_EQ(Heads[I]->SectionHeight, Expected[I]) << I;
    EXPECT_EQ(HR->SectionHeight, 20);

    Doc.SetDefaults("Arial", "Courier New", clWhite, clBlue, clBlack, 16);
    EXPECT_EQ(P->SectionHeight, 19);
    EXPECT_EQ(Heads[0]->SectionHeight, 21);
    EXPECT_EQ(HR->SectionHeight, 27);
}

TEST(HorzLineTest, Attributes)
{
    struct Case {
        THtmlSymbol Sym;
        std::string Text;
        int Value;
        int VSize, HWidth;
        bool AsPercent, UseColor;
    } Cases[] = {
        {SizeSy, "0", 0, 2, -1, false, false},       {SizeSy, "25", 25, 2, -1, false, false},
        {SizeSy, "7", 7, 7, -1, false, false},       {WidthSy, "150%", 150, 2, -1, true, false},
        {WidthSy, "50%", 50, 2, 50, true, false},    {WidthSy, "120", 120, 2, 120, false, false},
        {WidthSy, "0", 0, 2, -1, false, false},      {ColorSy, "red", 0, 2, -1, false, true},
        {ColorSy, "#00ff00", 0, 2, -1, false, true}, {ColorSy, "bogus", 0, 2, -1, false, false},
    };
    for (const Case& C : Cases) {
        auto L = Attrs({{C.Sym, C.Text, C.Value}});
        THorzLine HR(L.get());
        EXPECT_EQ(HR.VSize, C.VSize) << C.Text;
        EXPECT_EQ(HR.HWidth, C.HWidth) << C.Text;
        EXPECT_EQ(HR.AsPercent, C.AsPercent) << C.Text;
        EXPECT_EQ(HR.UseColor, C.UseColor) << C.Text;
    }
    auto L = Attrs({{ColorSy, "#00ff00", 0}});
    THorzLine Green(L.get());
    EXPECT_EQ(Green.Color & 0xFFFFFF, 0x00FF00);
}

TEST_F(Model, ColouredRuleIsCentred)
{
    struct Case {
        const char* Width;
        int Value;
        int Left, Right;
    } Cases[] = {{"100", 100, 100, 200}, {"50%", 50, 75, 225}};
    for (const Case& C : Cases) {
        Doc.Clear();
        ClearBitmap();
        auto L = Attrs({{ColorSy, "red", 0}, {WidthSy, C.Width, C.Value}});
        auto* HR = new THorzLine(L.get());
        Doc.Add(HR);
        Layout(300);
        Paint();
        const int T = (HR->SectionHeight - HR->VSize) / 2;
        EXPECT_EQ(CountIs(clRed, C.Left, T, C.Right, T + 2), (C.Right - C.Left) * 2) << C.Width;
        EXPECT_EQ(CountIs(clRed, 0, 0, 400, 300), (C.Right - C.Left) * 2) << C.Width;
    }
}

TEST_F(Model, EtchedRuleSpansTheCellLessTenPixels)
{
    auto* HR = new THorzLine(nullptr);
    Doc.Add(HR);
    Layout(300);
    Paint();
    const int T = (HR->SectionHeight - HR->VSize) / 2;
    EXPECT_EQ(Canvas()->Pixels(150, T) & 0xFFFFFF, 0x808080);
    EXPECT_EQ(Canvas()->Pixels(150, T + 2) & 0xFFFFFF, 0xC0C0C0); // light edge on a white page
    EXPECT_EQ(Canvas()->Pixels(150, T + 1) & 0xFFFFFF, 0xFFFFFF);
    EXPECT_EQ(Canvas()->Pixels(10, T + 1) & 0xFFFFFF, 0x808080);
    EXPECT_EQ(Canvas()->Pixels(290, T + 1) & 0xFFFFFF, 0xC0C0C0);
    EXPECT_EQ(CountNot(clWhite, 0, 0, 10, 40), 0);
    EXPECT_EQ(CountNot(clWhite, 291, 0, 400, 40), 0);
}

TEST_F(Model, RuleBesideAFloatStartsRightOfIt)
{
    auto* S = new TSection(0, 1, nullptr, &Font);
    auto L = Attrs({{AlignSy, "left", 0}, {WidthSy, "", 50}, {HeightSy, "", 100}});
    S->InsertImage(L.get(), &Doc);
    S->AddText("x");
    Doc.Add(S);
    auto C = Attrs({{ColorSy, "red", 0}});
    auto* HR = new THorzLine(C.get());
    Doc.Add(HR);
    Layout(300);
    Paint(20);
    const int T = S->SectionHeight + (HR->SectionHeight - HR->VSize) / 2;
    // The float (55 with its spacing) and the cell's X both move the rule.
    EXPECT_EQ(CountIs(clRed, 0, T, 400, T + 1), 300 - 55 - 20);
    EXPECT_EQ(Canvas()->Pixels(20 + 55 + 10, T) & 0xFFFFFF, 0x0000FF);
    EXPECT_EQ(Canvas()->Pixels(20 + 55 + 9, T) & 0xFFFFFF, 0xFFFFFF);
}

TEST_F(Model, HugeRuleWidthDoesNotOverflow)
{
    auto L = Attrs({{WidthSy, "2147483647", INT_MAX}, {ColorSy, "red", 0}});
    Doc.Add(new THorzLine(L.get()));
    Layout(300);
    Paint(); // sanitizers watch the arithmetic
    EXPECT_GT(CountIs(clRed, 0, 0, 400, 40), 0);
}

TEST(LightBackground, Rule)
{
    EXPECT_TRUE(IsLightBackground(clWhite));
    EXPECT_TRUE(IsLightBackground(clWhite | clPaletteRelative));
    EXPECT_TRUE(IsLightBackground(clWindow));
    EXPECT_FALSE(IsLightBackground(clSilver));
    EXPECT_FALSE(IsLightBackground(clBtnFace));
}

// ---- Cells and the document -----------------------------------------------------------------

TEST_F(Model, BlockBandsAndSectionTop)
{
    Doc.Add(new TParagraphSpace);
    Doc.Add(new THorzLine(nullptr));
    Doc.Add(new TParagraphSpace);
    EXPECT_EQ(Layout(300), 48);
    int Top = -1, Index = -1;
    EXPECT_EQ(Doc.FindSectionAtPosition(15, Top, Index), Doc.Block(1));
    EXPECT_EQ(Top, 14);
    EXPECT_EQ(Index, 1);
    EXPECT_EQ(Doc.FindSectionAtPosition(48, Top, Index), nullptr);
    struct Case {
        int Index, Top;
    } Cases[] = {{0, 0}, {1, 14}, {2, 34}, {5, 34}, {-4, 0}};
    for (const Case& C : Cases)
        EXPECT_EQ(Doc.SectionTop(C.Index), C.Top) << C.Index;
}

TEST_F(Model, CellHeightIncludesHangingFloats)
{
    auto* S = new TSection(0, 1, nullptr, &Font);
    auto L = Attrs({{AlignSy, "left", 0}, {WidthSy, "", 40}, {HeightSy, "", 200}});
    S->InsertImage(L.get(), &Doc);
    S->AddText("short");
    Doc.Add(S);
    EXPECT_EQ(Layout(300), 200);
    EXPECT_LT(S->SectionHeight, 200);
    EXPECT_EQ(S->DrawHeight, 200);
}

TEST_F(Model, FontsFollowTheDefaults)
{
    auto* S = new TSection(0, 1, nullptr, &Font);
    S->AddText("plain ");
    TUrlTarget Link;
    std::string Url = "x.htm";
    Link.Assign(&Url, nullptr);
    S->SwitchLink(true, &Doc, &Font, &Link);
    S->AddText("link");
    TMyFont Fixed;
    Fixed.Assign(&Font);
    Fixed.Fixed = true;
    S->SwitchLink(false, &Doc, &Fixed, nullptr);
    S->AddText("code");
    Doc.Add(S);
    const int OldHeight = S->Fonts.Run(0)->FontHeight;
    Doc.SetDefaults("Times New Roman", "Courier New", clWhite, clRed, clGreen, 18);
    TFontObj* Plain = S->Fonts.Run(0);
    TFontObj* Linked = S->Fonts.Run(1);
    TFontObj* Code = S->Fonts.Run(2);
    EXPECT_EQ(Plain->TheFont->Name(), "Times New Roman");
    EXPECT_EQ(Plain->TheFont->Size(), 18);
    EXPECT_EQ(Plain->TheFont->Color(), clGreen | clPaletteRelative);
    EXPECT_EQ(Linked->TheFont->Color(), clRed | clPaletteRelative);
    EXPECT_EQ(Code->TheFont->Name(), "Courier New");
    EXPECT_EQ(S->BulletFont().Color(), clGreen | clPaletteRelative);
    EXPECT_GT(Plain->FontHeight, OldHeight); // measured again
}

// Blocks with the same fonts hold one set of runs; a block that changes its fonts, or the fonts of
// another document's blocks, must never change what the others see.
TEST_F(Model, SharedFontsStayTheirOwnersAlone)
{
    TMyFont Bold;
    Bold.Assign(&Font);
    Bold.SetStyle(TFontStyles{fsBold});
    TSectionList Other(nullptr, nullptr);
    Other.SetDefaults("Arial", "Courier New", clWhite, clBlue, clBlack, 12);
    auto* A = AddSection("one");
    auto* B = AddSection("two");
    auto* C = new TSection(0, 1, nullptr, &Font);
    C->AddText("three");
    Other.Add(C);
    ASSERT_EQ(A->Fonts.Run(0), B->Fonts.Run(0));
    ASSERT_EQ(A->Fonts.Run(0), C->Fonts.Run(0));

    // A run not yet holding text takes another font in its block only.
    auto* D = new TSection(0, 1, nullptr, &Font);
    EXPECT_EQ(D->Fonts.Run(0), A->Fonts.Run(0));
    D->SwitchFont(&Doc, &Bold);
    D->AddText("bold");
    Doc.Add(D);
    EXPECT_TRUE(D->Fonts.Run(0)->TheFont->Style().Contains(fsBold));
    EXPECT_FALSE(A->Fonts.Run(0)->TheFont->Style().Contains(fsBold));

    // Links too.
    TUrlTarget Link;
    const std::string Url = "a.htm";
    Link.Assign(&Url, nullptr);
    B->SwitchLink(true, &Doc, &Font, &Link);
    B->AddText(" link");
    EXPECT_EQ(B->Fonts.Run(1)->UrlTarget.URL, "a.htm");
    EXPECT_EQ(A->Fonts.Count(), 1);
    EXPECT_EQ(A->Fonts.Run(0)->UrlTarget.URL, "");

    // New defaults of one document.
    Other.SetDefaults("Courier New", "Courier New", clWhite, clBlue, clRed, 20);
    EXPECT_EQ(C->Fonts.Run(0)->TheFont->Name(), "Courier New");
    EXPECT_EQ(C->Fonts.Run(0)->TheFont->Size(), 20);
    EXPECT_EQ(C->BulletFont().Color(), clRed | clPaletteRelative);
    EXPECT_EQ(A->Fonts.Run(0)->TheFont->Name(), "Arial");
    EXPECT_EQ(A->Fonts.Run(0)->TheFont->Size(), 12);
    EXPECT_EQ(A->BulletFont().Color(), clBlack);
    EXPECT_GT(C->Fonts.Run(0)->FontHeight, A->Fonts.Run(0)->FontHeight);
    // Both documents on the same defaults: their plain blocks share again.
    Doc.SetDefaults("Arial", "Courier New", clWhite, clBlue, clBlack, 12);
    Other.SetDefaults("Arial", "Courier New", clWhite, clBlue, clBlack, 12);
    EXPECT_EQ(C->Fonts.Run(0), A->Fonts.Run(0));
}

TEST_F(Model, MyFontAssignCopiesItsOwnFields)
{
    TMyFont A, B;
    A.SetNormalSize(&Doc, 18);
    A.Fixed = true;
    B.Assign(&A);
    EXPECT_EQ(B.NormalSize, 18);
    EXPECT_TRUE(B.Fixed);
    EXPECT_EQ(B.Size(), 18);
    TFont Plain;
    Plain.Assign(&A);
    EXPECT_EQ(Plain.Size(), 18);
}

TEST_F(Model, BackgroundHookAndClear)
{
    int Calls = 0;
    Doc.OnBackgroundChange = [&](TSectionList* D) {
        EXPECT_EQ(D, &Doc);
        ++Calls;
    };
    Doc.SetBackground(clSilver);
    EXPECT_EQ(Calls, 1);
    Doc.SetBackgroundImageName("back.gif");
    EXPECT_EQ(Doc.BackgroundName, "back.gif");
    auto* S = AddSection("text");
    auto L = Attrs({{TypeSy, "checkbox", 0}});
    S->InsertFormControl(InputSy, &Doc, &Doc, L.get());
    Doc.SelB = 1;
    Doc.SelE = 3;
    Doc.Clear();
    EXPECT_EQ(Doc.Count(), 0);
    EXPECT_EQ(Doc.formList.Count(), 0);
    EXPECT_EQ(Doc.AllFormControls.Count(), 0);
    EXPECT_EQ(Doc.SelB, 0);
    EXPECT_EQ(Doc.SelE, 0);
    EXPECT_TRUE(Doc.BackgroundName.empty());
    Doc.OnBackgroundChange = nullptr;
}

TEST_F(Model, DefaultNamesAreCut)
{
    const std::string Long(40, 'n');
    Doc.SetDefaults(Long, Long, clWhite, clBlue, clBlack, 12);
    EXPECT_EQ(Doc.FontName.size(), 33u);
    EXPECT_EQ(Doc.PreFontName.size(), 33u);
}

TEST_F(Model, ScrollingHidesControlsThatAreNotPaintedAgain)
{
    auto* S = new TSection(0, 1, nullptr, &Font);
    auto L = Attrs({{TypeSy, "submit", 0}});
    TFormControlObj* Button = S->InsertFormControl(InputSy, &Doc, &Doc, L.get());
    Doc.Add(S);
    Layout(300);
    Paint();
    EXPECT_TRUE(Button->ShowIt);
    EXPECT_TRUE(Button->Control->Visible());
    Doc.SetYOffset(1000);
    EXPECT_FALSE(Button->ShowIt);
    EXPECT_TRUE(Doc.YOffChange);
    Paint();
    EXPECT_FALSE(Button->Control->Visible());
    EXPECT_FALSE(Doc.YOffChange);
}

// A block that counts how often it is asked for its selected text.
struct TCountingBlock : TSectionBase {
    int* Calls;
    explicit TCountingBlock(int* ACalls) : Calls(ACalls) {}
    int DrawLogic(TCanvas*, int, int& Curs, int& MaxWidth, IndentManager*) override
    {
        StartCurs = Curs;
        Len = 5;
        Curs += 5;
        MaxWidth = 0;
        return 0;
    }
    void CopyToClipboard() override { ++*Calls; }
};

TEST_F(Model, EmptySelectionVisitsNoBlock)
{
    int Calls = 0;
    Doc.Add(new TCountingBlock(&Calls));
    Doc.Add(new TCountingBlock(&Calls));
    Layout(300);
    Doc.SelB = Doc.SelE = 2;
    EXPECT_EQ(Doc.GetSelLength(), 0);
    EXPECT_EQ(Calls, 0);
    Doc.SelE = 7; // reaches into the second block
    Doc.GetSelLength();
    EXPECT_EQ(Calls, 2);
    Calls = 0;
    Doc.SelB = 5; // the first ends where the selection starts
    Doc.GetSelLength();
    EXPECT_EQ(Calls, 1);
}

TEST_F(Model, DeepCopyOfACell)
{
    AddSection("first block");
    Doc.Add(new THeadingSpace(2));
    auto* Item = new TOListItem(1, nullptr, &Font, 'i', 3);
    Item->AddText("item");
    Doc.Add(Item);
    TCell Copy(&Doc, Doc);
    ASSERT_EQ(Copy.Count(), 3);
    auto* S = dynamic_cast<TSection*>(Copy.Block(0));
    ASSERT_NE(S, nullptr);
    EXPECT_NE(S, Doc.Block(0));
    EXPECT_EQ(S->Buff, "first block");
    // The copy's runs are its own: changing them leaves the original's alone.
    auto* Original = static_cast<TSection*>(Doc.Block(0));
    S->SwitchFont(&Doc, &Font);
    EXPECT_EQ(S->Fonts.Count(), 2);
    EXPECT_EQ(Original->Fonts.Count(), 1);
    EXPECT_EQ(Copy.Block(1)->SectionHeight, 12);
    auto* CopiedItem = dynamic_cast<TOListItem*>(Copy.Block(2));
    ASSERT_NE(CopiedItem, nullptr);
    EXPECT_EQ(CopiedItem->NumType, 'i');
    EXPECT_EQ(CopiedItem->ListNumb, 3);
    int Curs = 0, MaxWidth = 0;
    const int H = Copy.DoLogic(Canvas(), 0, Curs, MaxWidth, 300);
    EXPECT_EQ(H, Layout(300));
}

TEST_F(Model, TableCellAttributes)
{
    auto L = Attrs({{ColSpanSy, "3", 3}, {RowSpanSy, "-2", -2}, {WidthSy, "40%", 40}, {HeightSy, "20", 20}});
    TCellObj C(&Doc, 1, L.get());
    EXPECT_EQ(C.ColSpan, 3);
    EXPECT_EQ(C.RowSpan, 1);
    EXPECT_EQ(C.SpecWd, 40);
    EXPECT_TRUE(C.AsPercent);
    EXPECT_EQ(C.SpecHt, 20);
    EXPECT_EQ(C.VAlign, 1);
    C.Cell->Add(new TParagraphSpace);
    TCellObj Copy(&Doc, C);
    EXPECT_EQ(Copy.Cell->Count(), 1);
    EXPECT_NE(Copy.Cell.get(), C.Cell.get());
}

TEST_F(Model, AnimationTimerRunsOnlyWithAnimatedImages)
{
    AddSection("text");
    Layout(300);
    EXPECT_FALSE(Doc.TimerEnabled());
    TGIFImage Animated;
    Doc.GIFList.Add(&Animated);
    Layout(300);
    EXPECT_TRUE(Doc.TimerEnabled());
    Doc.GIFList.Clear();
    Paint();
    EXPECT_FALSE(Doc.TimerEnabled());
}

// ---- Layout errors ---------------------------------------------------------------------------

// A text block whose layout fails, as a table with too many columns does.
struct TFailingSection : TSection {
    using TSection::TSection;
    int DrawLogic(TCanvas*, int, int&, int&, IndentManager*) override
    {
        throw EProcessError("Table has too many Columns");
    }
};

TEST_F(Model, FailedBlockIsDroppedWithEveryReferenceIntoIt)
{
    testing_support::TDialogAnswers Answers;
    SetDialogPresenter(&Answers);
    Answers.ExpectMessageBox(IDOK, "Table has too many Columns");

    TSection* Before = AddSection("before");
    auto* Bad = new TFailingSection(0, 1, nullptr, &Font);
    Bad->AddText("bad ");
    auto ImgAttrs = Attrs({{WidthSy, "", 10}, {HeightSy, "", 10}});
    TImageObj* Img = Bad->InsertImage(ImgAttrs.get(), &Doc);
    TGIFImage Animation;
    Img->Image = &Animation;
    Doc.GIFList.Add(&Animation);
    auto* Form = new ThtmlForm(&Doc, nullptr);
    auto EditAttrs = Attrs({{TypeSy, "text", 0}});
    Bad->InsertFormControl(InputSy, &Doc, &Doc, EditAttrs.get(), Form);
    auto ImageAttrs = Attrs({{TypeSy, "image", 0}});
    Bad->InsertFormControl(InputSy, &Doc, &Doc, ImageAttrs.get(), Form);
    Doc.Add(Bad);
    auto* After = new TSection(0, 1, nullptr, &Font);
    After->AddText("after");
    auto AfterAttrs = Attrs({{TypeSy, "radio", 0}});
    TFormControlObj* Kept = After->InsertFormControl(InputSy, &Doc, &Doc, AfterAttrs.get(), Form);
    Doc.Add(After);
    TStringList Names;
    Names.AddObject("BAD", Bad);
    Names.AddObject("BEFORE", Before);
    Names.AddObject("AFTER", After);
    Doc.NameList = &Names;
    ASSERT_EQ(Doc.AllFormControls.Count(), 3);

    Layout(300);
    Answers.VerifyAllUsed();
    SetDialogPresenter(nullptr);

    ASSERT_EQ(Doc.Count(), 2);
    EXPECT_EQ(Doc.Block(0), Before);
    EXPECT_EQ(Doc.Block(1), After);
    EXPECT_EQ(After->StartCurs, 6); // layout went on with the block after it
    EXPECT_GT(After->Lines.Count(), 0);
    ASSERT_EQ(Names.Count(), 2);
    EXPECT_EQ(Names[0], "BEFORE");
    EXPECT_EQ(Names[1], "AFTER");
    EXPECT_EQ(Doc.GIFList.Count(), 0);
    ASSERT_EQ(Doc.AllFormControls.Count(), 1);
    EXPECT_EQ(Doc.AllFormControls[0], Kept);
    ASSERT_EQ(Doc.formList.Count(), 1);
    EXPECT_EQ(Doc.formList.ItemAs<ThtmlForm>(0)->Controls.Count(), 1);
    EXPECT_EQ(Doc.formList.ItemAs<ThtmlForm>(0)->VisibleControlCount, 1);

    // Everything that walks the document afterwards sees only live blocks.
    Doc.SetYOffset(2);
    Paint();
    Doc.SelB = 0;
    Doc.SelE = Doc.Len;
    EXPECT_EQ(Doc.GetSelLength(), 6 + 2 + 5 + 2);
    EXPECT_EQ(Doc.FindString(0, "bad", false), -1);
    Doc.NameList = nullptr;
}

TEST_F(Model, ErrorHandlerCanBeReplaced)
{
    std::vector<std::string> Shown;
    SetProcessErrorHandler([&](const std::string& M) { Shown.push_back(M); });
    Doc.Add(new TFailingSection(0, 1, nullptr, &Font));
    Doc.Add(new TFailingSection(0, 1, nullptr, &Font));
    EXPECT_EQ(Layout(300), 0);
    SetProcessErrorHandler(nullptr);
    EXPECT_EQ(Doc.Count(), 0);
    EXPECT_EQ(Shown.size(), 2u);
}

// ---- Sizes from attributes -------------------------------------------------------------------

TEST_F(Model, HugeImageSizesSaturate)
{
    auto* S = new TSection(0, 1, nullptr, &Font);
    for (int I = 0; I < 3; ++I) {
        auto L = Attrs({{WidthSy, "2000000000", 2000000000}, {HeightSy, "2000000000", 2000000000}});
        S->InsertImage(L.get(), &Doc);
        auto F = Attrs({{AlignSy, "left", 0}, {WidthSy, "2000000000", 2000000000}, {HeightSy, "9", 9}});
        S->InsertImage(F.get(), &Doc);
    }
    Doc.Add(S);
    const int H = Layout(300);
    EXPECT_GT(H, 0);
    int Min = 0, Max = 0;
    S->MinMaxWidth(Canvas(), Min, Max);
    EXPECT_GT(Min, 0);
    EXPECT_GE(Max, Min);
    EXPECT_GT(S->TextWidth(Canvas(), 0, false, S->Len), 0);
    Paint();
}

} // namespace
