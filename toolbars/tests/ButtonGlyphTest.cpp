#include "toolbars/ButtonGlyph.h"

#include "platform/rtl/SysUtils.h"
#include "platform/testing/FormTesting.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

constexpr TColor Olive = 0x008080; // the fixtures' transparent colour (bottom-left pixel)

TColor Rgb(TColor Color)
{
    return ColorToRGB(Color) & 0xFFFFFF;
}

std::unique_ptr<TBitmap> Filled(int W, int H, TColor Colour)
{
    auto B = std::make_unique<TBitmap>();
    B->SetSize(W, H);
    if (W > 0 && H > 0) {
        B->Canvas()->Brush()->SetColor(Colour);
        B->Canvas()->FillRect(Rect(0, 0, W, H));
    }
    return B;
}

// A 16 x 16 glyph on olive: a black square (4..7, 4..7), a red dot at (10, 10), a white one at
// (12, 12), a silver one at (13, 13) and a black dot in the bottom-right corner.
std::unique_ptr<TBitmap> TestGlyph()
{
    auto B = Filled(16, 16, Olive);
    TCanvas* C = B->Canvas();
    C->Brush()->SetColor(clBlack);
    C->FillRect(Rect(4, 4, 8, 8));
    C->SetPixels(10, 10, clRed);
    C->SetPixels(12, 12, clWhite);
    C->SetPixels(13, 13, clSilver);
    C->SetPixels(15, 15, clBlack);
    return B;
}

// The state image drawn on blue, so that transparent pixels show blue.
std::unique_ptr<TBitmap> Drawn(TButtonGlyph& G, TToolbarButtonState State)
{
    auto Out = Filled(20, 20, clBlue);
    G.DrawStateImage(Out->Canvas(), Point(0, 0), State);
    return Out;
}

TColor At(TBitmap* B, int X, int Y)
{
    return B->Canvas()->Pixels(X, Y) & 0xFFFFFF;
}

} // namespace

// ---- The count of images in a strip -------------------------------------------------------------
TEST(ButtonGlyph, StripShapeSetsTheNumberOfImages)
{
    struct TCase {
        int W, H;
        int Expected; // NumGlyphs after the assignment, starting from 3
    } const Cases[] = {
        {64, 16, 4},
        {16, 16, 1},
        {96, 16, 1},
        {80, 16, 5},
        {100, 16, 3},
        // A cleared or failed glyph has no height: the count stays, nothing divides by it.
        {0, 0, 3},
        {16, 0, 3},
        {0, 16, 1},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(testing::Message() << C.W << " x " << C.H);
        TButtonGlyph G;
        G.SetNumGlyphs(3);
        auto Strip = Filled(C.W, C.H, Olive);
        G.SetGlyph(Strip.get());
        EXPECT_EQ(G.NumGlyphs(), C.Expected);
        // Building and drawing an image of any state stays safe.
        for (int S = 0; S < ToolbarButtonStateCount; ++S)
            Drawn(G, static_cast<TToolbarButtonState>(S));
        TBitmap Canvas;
        Canvas.SetSize(30, 30);
        G.DrawContent(Canvas.Canvas(), Rect(0, 0, 30, 30), Point(0, 0), "A", blGlyphTop, -1, -1, tbsDisabled,
                      true, false, true, true);
    }
}

TEST(ButtonGlyph, NumGlyphsStaysWithinOneToFive)
{
    const std::pair<int, int> Cases[] = {{0, 1}, {-2, 1}, {1, 1}, {5, 5}, {6, 5}, {9, 5}};
    for (auto [Given, Kept] : Cases) {
        TButtonGlyph G;
        G.SetNumGlyphs(2);
        G.SetNumGlyphs(Given);
        EXPECT_EQ(G.NumGlyphs(), Kept) << Given;
    }
}

// ---- State images -------------------------------------------------------------------------------
TEST(ButtonGlyph, EachStateShowsItsColumnAndMissingOnesTheFirst)
{
    TButtonGlyph G;
    auto Strip = Filled(48, 16, Olive);
    const TColor Columns[] = {clRed, clLime, clNavy};
    for (int I = 0; I < 3; ++I) {
        Strip->Canvas()->Brush()->SetColor(Columns[I]);
        Strip->Canvas()->FillRect(Rect(I * 16 + 2, 2, I * 16 + 14, 14));
    }
    G.SetGlyph(Strip.get());
    ASSERT_EQ(G.NumGlyphs(), 3);
    const std::pair<TToolbarButtonState, TColor> Cases[] = {
        {tbsUp, clRed}, {tbsDown, clNavy}, {tbsExclusive, clRed}, {tbsHot, clRed}};
    for (auto [State, Colour] : Cases) {
        auto Out = Drawn(G, State);
        EXPECT_EQ(At(Out.get(), 8, 8), Rgb(Colour)) << State;
        EXPECT_EQ(At(Out.get(), 0, 0), Rgb(clBlue)) << State; // the olive border is transparent
    }
}

TEST(ButtonGlyph, GlyphMaskDecidesTransparency)
{
    TButtonGlyph G;
    auto Strip = Filled(16, 16, clRed);
    G.SetGlyph(Strip.get());
    auto Mask = Filled(16, 16, clWhite);
    Mask->Canvas()->Brush()->SetColor(clBlack);
    Mask->Canvas()->FillRect(Rect(0, 0, 8, 16));
    Mask->Canvas()->Brush()->SetColor(clWhite); // white stays white in the conversion
    Mask->SetMonochrome(true);
    G.SetGlyphMask(Mask.get());
    auto Out = Drawn(G, tbsUp);
    EXPECT_EQ(At(Out.get(), 3, 3), Rgb(clRed));
    EXPECT_EQ(At(Out.get(), 12, 3), Rgb(clBlue));
}

TEST(ButtonGlyph, ImagesAreBuiltOnceAndSharedBySize)
{
    auto Strip = TestGlyph();
    auto Other = Filled(16, 16, clRed);
    auto Big = Filled(24, 24, clRed);
    {
        TButtonGlyph A, B, C;
        A.SetGlyph(Strip.get());
        B.SetGlyph(Other.get());
        C.SetGlyph(Big.get());
        const auto First = A.BuildStateImage(tbsUp);
        const auto Again = A.BuildStateImage(tbsUp);
        ASSERT_TRUE(First.List);
        EXPECT_EQ(Again.List, First.List);
        EXPECT_EQ(Again.Index, First.Index);
        EXPECT_EQ(First.List->UsedCount(), 1);
        // A state the strip has no image for is the first image.
        EXPECT_EQ(A.BuildStateImage(tbsHot).Index, First.Index);

        const auto OfB = B.BuildStateImage(tbsUp);
        EXPECT_EQ(OfB.List, First.List);
        EXPECT_NE(OfB.Index, First.Index);
        EXPECT_EQ(First.List->UsedCount(), 2);
        EXPECT_NE(C.BuildStateImage(tbsUp).List, First.List);
        // The disabled image goes to the list one pixel larger each way.
        const auto Disabled = A.BuildStateImage(tbsDisabled);
        EXPECT_EQ(Disabled.List->Width(), 17);
        EXPECT_EQ(Disabled.List->Height(), 17);
        ASSERT_TRUE(SharedGlyphCache());
        EXPECT_EQ(SharedGlyphCache()->ListCount(), 3);

        // A freed slot is taken again; a list goes with its last image.
        A.ReleaseImages();
        EXPECT_EQ(First.List->UsedCount(), 1);
        EXPECT_EQ(SharedGlyphCache()->ListCount(), 2);
        EXPECT_EQ(A.BuildStateImage(tbsUp).Index, First.Index);
        A.SetNumGlyphs(1); // unchanged: keeps the image
        EXPECT_EQ(First.List->UsedCount(), 2);
        A.SetOldDisabledStyle(true);
        EXPECT_EQ(First.List->UsedCount(), 1);
    }
    // The last glyph object takes the empty cache with it.
    EXPECT_EQ(SharedGlyphCache(), nullptr);
}

TEST(GlyphList, ReplacingWithASmallerImageIsRefused)
{
    TGlyphList List(16, 16);
    auto Image = Filled(16, 16, clRed);
    const int Slot = List.AddImageMasked(Image.get(), clNone);
    List.FreeSlot(Slot);
    auto Small = Filled(8, 8, clRed);
    try {
        List.AddImage(Small.get(), nullptr);
        FAIL() << "no exception";
    } catch (const EInvalidOperation& E) {
        EXPECT_EQ(E.Message(), "Invalid image size");
    }
    EXPECT_EQ(List.UsedCount(), 0);
}

// ---- Disabled images ----------------------------------------------------------------------------
TEST(ButtonGlyph, DisabledSingleImageIsEmbossedOnePixelLarger)
{
    TButtonGlyph G;
    auto Strip = TestGlyph();
    G.SetGlyph(Strip.get());
    auto Out = Drawn(G, tbsDisabled);
    const TColor Light = Rgb(clBtnHighlight), Shadow = Rgb(clBtnShadow), Blue = Rgb(clBlue);
    EXPECT_EQ(At(Out.get(), 4, 4), Shadow);
    EXPECT_EQ(At(Out.get(), 7, 7), Shadow);
    EXPECT_EQ(At(Out.get(), 8, 8), Light);    // the light copy one pixel down and right
    EXPECT_EQ(At(Out.get(), 8, 4), Blue);     // beside the square on the first row: nothing
    EXPECT_EQ(At(Out.get(), 10, 10), Shadow); // any colour but the background ones is shape
    EXPECT_EQ(At(Out.get(), 11, 11), Light);
    EXPECT_EQ(At(Out.get(), 12, 12), Blue);  // white counts as background
    EXPECT_EQ(At(Out.get(), 14, 14), Blue);  // so does silver (its light copy would be here)
    EXPECT_EQ(At(Out.get(), 2, 2), Blue);    // the transparent colour
    EXPECT_EQ(At(Out.get(), 16, 16), Light); // the extra row and column
}

TEST(ButtonGlyph, OldDisabledStyleEmbossesOnlyTheBlackParts)
{
    TButtonGlyph G;
    auto Strip = TestGlyph();
    G.SetGlyph(Strip.get());
    G.SetOldDisabledStyle(true);
    auto Out = Drawn(G, tbsDisabled);
    EXPECT_EQ(At(Out.get(), 5, 5), Rgb(clBtnShadow));
    EXPECT_EQ(At(Out.get(), 8, 8), Rgb(clBtnHighlight));
    EXPECT_EQ(At(Out.get(), 10, 10), Rgb(clBlue));
}

TEST(ButtonGlyph, DisabledImageFollowsTheMask)
{
    TButtonGlyph G;
    auto Strip = TestGlyph();
    G.SetGlyph(Strip.get());
    auto Mask = Filled(16, 16, clWhite);
    Mask->Canvas()->Brush()->SetColor(clBlack);
    Mask->Canvas()->FillRect(Rect(8, 8, 12, 12)); // only around the red dot, and olive beside it
    G.SetGlyphMask(Mask.get());
    auto Out = Drawn(G, tbsDisabled);
    EXPECT_EQ(At(Out.get(), 5, 5), Rgb(clBlue));
    EXPECT_EQ(At(Out.get(), 10, 10), Rgb(clBtnShadow));
    EXPECT_EQ(At(Out.get(), 8, 8), Rgb(clBtnShadow));
    EXPECT_EQ(At(Out.get(), 12, 12), Rgb(clBtnHighlight));
}

TEST(ButtonGlyph, AStripsOwnDisabledImageTakesTheSystemGreys)
{
    TButtonGlyph G;
    auto Strip = Filled(32, 16, Olive);
    TCanvas* C = Strip->Canvas();
    C->SetPixels(16 + 1, 1, 0xF0F0F0);  // near white
    C->SetPixels(16 + 2, 2, 0x707070);  // near dark grey
    C->SetPixels(16 + 3, 3, 0x000030);  // near black: kept
    C->SetPixels(16 + 15, 15, clWhite); // the last column and row
    G.SetGlyph(Strip.get());
    ASSERT_EQ(G.NumGlyphs(), 2);
    auto Out = Drawn(G, tbsDisabled);
    EXPECT_EQ(At(Out.get(), 1, 1), Rgb(clBtnHighlight));
    EXPECT_EQ(At(Out.get(), 2, 2), Rgb(clBtnShadow));
    EXPECT_EQ(At(Out.get(), 3, 3), TColor(0x000030));
    EXPECT_EQ(At(Out.get(), 5, 5), Rgb(clBlue));
    EXPECT_EQ(At(Out.get(), 15, 15), Rgb(clBtnHighlight));
    EXPECT_EQ(At(Out.get(), 16, 15), Rgb(clBlue));
    EXPECT_EQ(At(Out.get(), 15, 16), Rgb(clBlue));
}

// ---- Layout -------------------------------------------------------------------------------------
namespace {
struct TLayoutCase {
    const char* What;
    TButtonLayout Layout;
    int Margin, Spacing;
    bool Caption, Glyph, Arrow;
    // Expected positions in a 60 x 40 client; TW and TH are the caption's extent.
    std::function<TPoint(int TW, int TH)> GlyphPos, TextPos, ArrowPos;
};
} // namespace

TEST(ButtonGlyph, LayoutPlacesGlyphCaptionAndArrow)
{
    TButtonGlyph G;
    auto Strip = Filled(16, 16, clRed);
    G.SetGlyph(Strip.get());
    TBitmap Surface;
    Surface.SetSize(100, 100);
    TCanvas* C = Surface.Canvas();
    const std::string Caption = "Go";
    const int TW = C->TextWidth(Caption), TH = C->TextHeight(Caption);
    auto P = [](int X, int Y) { return Point(X, Y); };
    const TLayoutCase Cases[] = {
        {"left, centred", blGlyphLeft, -1, 4, true, true, false,
         [&](int W, int) { return P((60 - (16 + 4 + W) + 1) / 2, 12); },
         [&](int W, int H) { return P((60 - (16 + 4 + W) + 1) / 2 + 20, (40 - H + 1) / 2); }, nullptr},
        {"right, margin 2", blGlyphRight, 2, 4, true, true, false, [&](int, int) { return P(42, 12); },
         [&](int W, int H) { return P(42 - 4 - W, (40 - H + 1) / 2); }, nullptr},
        {"top, thirds", blGlyphTop, -1, -1, true, true, false,
         [&](int, int H) { return P(22, (40 - 16 - H) / 3); },
         [&](int W, int H) { return P((60 - W + 1) / 2, (40 - 16 - H) / 3 * 2 + 16); }, nullptr},
        {"bottom, spacing spread", blGlyphBottom, 3, -1, true, true, false,
         [&](int, int) { return P(22, 21); },
         [&](int W, int H) { return P((60 - W + 1) / 2, 21 - (40 - 3 - 16 - H) / 2 - H); }, nullptr},
        {"no caption: no spacing", blGlyphLeft, -1, 4, false, true, false,
         [&](int, int) { return P(22, 12); }, nullptr, nullptr},
        {"top without glyph is left", blGlyphTop, -1, 4, true, false, false, nullptr,
         [&](int W, int H) { return P((60 - W + 1) / 2, (40 - H + 1) / 2); }, nullptr},
        {"arrow after the glyph", blGlyphLeft, -1, 4, false, true, true, [&](int, int) { return P(18, 12); },
         nullptr, [&](int, int) { return P(34, 19); }},
        {"arrow after the caption", blGlyphLeft, 0, 4, true, true, true, [&](int, int) { return P(0, 12); },
         [&](int, int H) { return P(20, (40 - H + 1) / 2); }, [&](int W, int) { return P(20 + W, 19); }},
        {"arrow under a top glyph", blGlyphTop, 2, 4, false, true, true,
         [&](int, int) { return P((60 - 16 - 9 + 1) / 2, 2); }, nullptr,
         [&](int, int) { return P((60 - 16 - 9 + 1) / 2 + 16, 9); }},
    };
    for (const TLayoutCase& K : Cases) {
        SCOPED_TRACE(K.What);
        // The client's origin and the pressed offset move everything.
        const auto L = G.ComputeLayout(C, Rect(5, 6, 65, 46), Point(1, 1), K.Caption ? Caption : "", K.Layout,
                                       K.Margin, K.Spacing, K.Arrow, false, true, K.Glyph);
        auto Expect = [&](const TPoint& Got, const std::function<TPoint(int, int)>& Want) {
            const TPoint W = Want(TW, TH);
            EXPECT_EQ(Got.x, W.x + 6);
            EXPECT_EQ(Got.y, W.y + 7);
        };
        if (K.GlyphPos)
            Expect(L.GlyphPos, K.GlyphPos);
        if (K.TextPos) {
            Expect(Point(L.TextBounds.left, L.TextBounds.top), K.TextPos);
            EXPECT_EQ(L.TextBounds.right - L.TextBounds.left, TW);
        }
        if (K.ArrowPos)
            Expect(L.ArrowPos, K.ArrowPos);
        if (!K.Glyph)
            EXPECT_EQ(L.GlyphSize.cx, 0);
    }
}

TEST(ButtonGlyph, DisabledCaptionAndArrowAreEmbossed)
{
    TButtonGlyph G;
    auto Out = Filled(40, 20, clBlue);
    TCanvas* C = Out->Canvas();
    G.DrawDropArrow(C, 0, 5, tbsUp);
    G.DrawDropArrow(C, 20, 5, tbsDisabled);
    const TColor Text = Rgb(C->Font()->Color());
    // The triangle (x + 4 .. x + 8, y), (x + 5 .. x + 7, y + 1), (x + 6, y + 2).
    EXPECT_EQ(At(Out.get(), 4, 5), Text);
    EXPECT_EQ(At(Out.get(), 8, 5), Text);
    EXPECT_EQ(At(Out.get(), 6, 7), Text);
    EXPECT_EQ(At(Out.get(), 5, 7), Rgb(clBlue));
    EXPECT_EQ(At(Out.get(), 24, 5), Rgb(clBtnShadow));
    EXPECT_EQ(At(Out.get(), 29, 6), Rgb(clBtnHighlight)); // the light copy's right end
    EXPECT_EQ(At(Out.get(), 27, 8), Rgb(clBtnHighlight));

    auto Text2 = Filled(60, 20, clBlue);
    G.DrawCaptionText(Text2->Canvas(), "MMM", Rect(0, 0, 60, 20), tbsDisabled, false);
    int Light = 0, Shadow = 0, Other = 0;
    for (int Y = 0; Y < 20; ++Y)
        for (int X = 0; X < 60; ++X) {
            const TColor P = At(Text2.get(), X, Y);
            Light += P == Rgb(clBtnHighlight);
            Shadow += P == Rgb(clBtnShadow);
            Other += P != Rgb(clBtnHighlight) && P != Rgb(clBtnShadow) && P != Rgb(clBlue);
        }
    EXPECT_GT(Light, 0);
    EXPECT_GT(Shadow, 0);
    EXPECT_EQ(Other, 0) << "a disabled caption shows only the two greys";
}
