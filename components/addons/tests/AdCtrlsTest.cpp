#include "components/addons/AdCtrls.h"
#include "components/addons/AdHelpersVcl.h"

#include "platform/classes/FormReader.h"
#include "platform/classes/TypInfo.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/graphics/Resources.h"
#include "platform/testing/FormTesting.h"
#include "platform/testing/WinTesting.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

TColor Rgb(TColor Color)
{
    return ColorToRGB(Color) & 0xFFFFFF;
}

// A strip of glyphs of Size x Size, each filled with its colour; the bottom-left pixel of the
// strip is magenta, which makes magenta the transparent colour.
std::unique_ptr<TBitmap> GlyphStrip(int Size, const std::vector<TColor>& Colours)
{
    auto B = std::make_unique<TBitmap>();
    B->SetSize(Size * static_cast<int>(Colours.size()), Size);
    for (std::size_t I = 0; I < Colours.size(); ++I) {
        B->Canvas()->Brush()->SetColor(Colours[I]);
        B->Canvas()->FillRect(Rect(int(I) * Size, 0, int(I + 1) * Size, Size));
    }
    B->Canvas()->SetPixels(0, Size - 1, clFuchsia);
    return B;
}

TColor ImagePixel(TAdButtonGlyph& G, TAdGlyphState State, int X, int Y)
{
    TBitmap* Image = G.StateImage(G.MakeStateImage(State));
    return Image ? Rgb(Image->Canvas()->Pixels(X, Y)) : TColor(-1);
}

} // namespace

// ---- The glyph object -------------------------------------------------------------------------
TEST(AdButtonGlyph, GlyphCountFollowsTheStripShape)
{
    struct {
        int W, H, Count;
    } Cases[] = {{16, 16, 1}, {32, 16, 2}, {80, 16, 5}, {96, 16, 1}, {64, 16, 4}};
    for (const auto& C : Cases) {
        TAdButtonGlyph G;
        TBitmap B;
        B.SetSize(C.W, C.H);
        G.SetGlyph(&B);
        EXPECT_EQ(G.NumGlyphs(), C.Count) << C.W << "x" << C.H;
    }
    // A width that is no multiple of the height keeps the count set before.
    TAdButtonGlyph G;
    G.SetNumGlyphs(3);
    TBitmap Odd;
    Odd.SetSize(40, 16);
    G.SetGlyph(&Odd);
    EXPECT_EQ(G.NumGlyphs(), 3);
}

TEST(AdButtonGlyph, ANarrowGlyphNeverGivesAZeroCount)
{
    TAdButtonGlyph G;
    TBitmap B;
    B.SetSize(0, 16); // width 0 is a multiple of every height
    G.SetGlyph(&B);
    EXPECT_GE(G.NumGlyphs(), 1);
    auto Canvas = std::make_unique<TBitmap>();
    Canvas->SetSize(40, 40);
    std::string Caption = "Text";
    TPoint GlyphPos;
    TRect TextBounds;
    G.LayoutGlyphAndCaption(Canvas->Canvas(), Rect(0, 0, 40, 40), GlyphPos, TextBounds, false, -1, -1,
                            blGlyphLeft, Caption); // divides by the count
    EXPECT_EQ(G.MakeStateImage(gsUp), -1);
}

TEST(AdButtonGlyph, NumGlyphsIsClampedAndDropsTheMadeImages)
{
    TAdButtonGlyph G;
    auto Strip = GlyphStrip(16, {clRed, clGreen});
    G.SetGlyph(Strip.get());
    ASSERT_EQ(G.NumGlyphs(), 2);
    int Changes = 0;
    G.OnChange = [&Changes](TObject*) { ++Changes; };
    EXPECT_EQ(G.StateImage(G.MakeStateImage(gsUp))->Width(), 16);
    G.SetNumGlyphs(9);
    EXPECT_EQ(G.NumGlyphs(), 5);
    EXPECT_EQ(Changes, 1);
    G.SetNumGlyphs(0);
    EXPECT_EQ(G.NumGlyphs(), 5);
    G.SetNumGlyphs(5);
    EXPECT_EQ(Changes, 1);
    G.SetNumGlyphs(1);
    EXPECT_EQ(G.StateImage(G.MakeStateImage(gsUp))->Width(), 32); // made again, at the new size
}

TEST(AdButtonGlyph, StateImagesOfATwoGlyphStrip)
{
    TAdButtonGlyph G;
    auto Strip = GlyphStrip(16, {clRed, clGreen});
    G.SetGlyph(Strip.get());
    EXPECT_EQ(G.TransparentColor(), clFuchsia);
    EXPECT_EQ(ImagePixel(G, gsUp, 5, 5), 0x0000FF);
    EXPECT_EQ(G.MakeStateImage(gsDown), G.MakeStateImage(gsUp)); // fewer than three glyphs
    EXPECT_EQ(ImagePixel(G, gsDisabled, 5, 5), 0x008000);        // the second glyph
    EXPECT_EQ(ImagePixel(G, gsExclusive, 5, 5), 0x0000FF);       // no fourth glyph: the first
    // The grey image: (77 R + 150 G + 29 B) shr 8 of the first glyph; the transparent colour stays.
    const int Grey = (77 * 255) >> 8;
    EXPECT_EQ(ImagePixel(G, gsInactive, 5, 5), RGB(Grey, Grey, Grey));
    EXPECT_EQ(ImagePixel(G, gsInactive, 0, 15), 0xFF00FF);
    // Made once: asking again answers the same image.
    EXPECT_EQ(G.MakeStateImage(gsInactive), G.MakeStateImage(gsInactive));
}

TEST(AdButtonGlyph, StateImagesOfAFiveGlyphStripCopyTheirOwnGlyphs)
{
    TAdButtonGlyph G;
    const std::vector<TColor> Colours = {clRed, clGreen, clBlue, clYellow, clNavy};
    auto Strip = GlyphStrip(8, Colours);
    G.SetGlyph(Strip.get());
    ASSERT_EQ(G.NumGlyphs(), 5);
    const TAdGlyphState States[] = {gsUp, gsDisabled, gsDown, gsExclusive, gsInactive};
    for (TAdGlyphState S : States)
        EXPECT_EQ(ImagePixel(G, S, 4, 4), Colours[S]) << int(S);
}

TEST(AdButtonGlyph, DisabledImageOfASingleGlyphIsEmbossed)
{
    TAdButtonGlyph G;
    TBitmap B;
    B.SetSize(16, 16);
    B.Canvas()->Brush()->SetColor(clWhite);
    B.Canvas()->FillRect(Rect(0, 0, 16, 16));
    B.Canvas()->Brush()->SetColor(clBlack);
    B.Canvas()->FillRect(Rect(4, 4, 8, 8));
    G.SetGlyph(&B);
    EXPECT_EQ(ImagePixel(G, gsDisabled, 4, 4), Rgb(clBtnShadow));
    EXPECT_EQ(ImagePixel(G, gsDisabled, 8, 8), Rgb(clBtnHighlight));
    EXPECT_EQ(ImagePixel(G, gsDisabled, 12, 12), Rgb(clBtnFace));
    // Drawn with clBtnFace transparent, so the background shows around the shape.
    TBitmap Dest;
    Dest.SetSize(16, 16);
    Dest.Canvas()->Brush()->SetColor(clYellow);
    Dest.Canvas()->FillRect(Rect(0, 0, 16, 16));
    TPoint Size = G.DrawGlyphImage(Dest.Canvas(), Point(0, 0), gsDisabled);
    EXPECT_EQ(Size.x, 16);
    EXPECT_EQ(Rgb(Dest.Canvas()->Pixels(12, 12)), 0x00FFFF);
    EXPECT_EQ(Rgb(Dest.Canvas()->Pixels(4, 4)), Rgb(clBtnShadow));
}

TEST(AdButtonGlyph, FitCaptionShortensEachLine)
{
    TAdButtonGlyph G;
    TBitmap B;
    B.SetSize(10, 10);
    TCanvas* C = B.Canvas();
    const int Room = C->TextWidth("WWW...");
    EXPECT_EQ(G.FitCaption(C, "WWWWW\r\nWW\r\n  \r\n", Room), "WWW...\r\nWW");
    EXPECT_EQ(G.FitCaption(C, std::string(300, 'i'), 100000).size(), 255u);
    G.WordWrap = true;
    EXPECT_EQ(G.FitCaption(C, "WWWWW WWWWW", Room), "WWWWW WWWWW");
}

namespace {
struct TLayoutCase {
    TButtonLayout Layout;
    int Margin, Spacing;
    int GlyphX, GlyphY;
};
} // namespace

TEST(AdButtonGlyph, LayoutWithGivenMarginPlacesTheGlyphOnEachSide)
{
    TAdButtonGlyph G;
    auto Strip = GlyphStrip(16, {clBlue});
    G.SetGlyph(Strip.get());
    TBitmap B;
    B.SetSize(100, 100);
    const TRect Client = Rect(10, 20, 70, 60); // 60 x 40
    const TLayoutCase Cases[] = {
        {blGlyphLeft, 4, 2, 10 + 4, 20 + 12},   {blGlyphRight, 4, 2, 10 + 60 - 4 - 16, 20 + 12},
        {blGlyphTop, 4, 2, 10 + 22, 20 + 4},    {blGlyphBottom, 4, 2, 10 + 22, 20 + 40 - 4 - 16},
        {blGlyphLeft, -1, 0, 10 + 22, 20 + 12}, // no caption: centred
        {blGlyphTop, -1, 0, 10 + 22, 20 + 12},
    };
    for (const auto& C : Cases) {
        std::string Caption;
        TPoint GlyphPos;
        TRect TextBounds;
        G.LayoutGlyphAndCaption(B.Canvas(), Client, GlyphPos, TextBounds, false, C.Margin, C.Spacing,
                                C.Layout, Caption);
        EXPECT_EQ(GlyphPos.x, C.GlyphX) << "layout " << C.Layout << " margin " << C.Margin;
        EXPECT_EQ(GlyphPos.y, C.GlyphY) << "layout " << C.Layout << " margin " << C.Margin;
    }
}

TEST(AdButtonGlyph, AutomaticMarginAndSpacingSplitTheRoomInThree)
{
    TAdButtonGlyph G;
    auto Strip = GlyphStrip(16, {clBlue});
    G.SetGlyph(Strip.get());
    TBitmap B;
    B.SetSize(10, 10);
    std::string Caption = "Ab";
    TPoint GlyphPos;
    TRect TextBounds;
    G.LayoutGlyphAndCaption(B.Canvas(), Rect(0, 0, 120, 30), GlyphPos, TextBounds, false, -1, -1, blGlyphLeft,
                            Caption);
    const int Margin = GlyphPos.x;
    const int Spacing = TextBounds.left - (GlyphPos.x + 16);
    const int Rest = 120 - TextBounds.right;
    EXPECT_GT(Margin, 0);
    EXPECT_EQ(Margin, Spacing);
    EXPECT_NEAR(Rest, Margin, 2); // what the division by three leaves over
    EXPECT_EQ(TextBounds.right - TextBounds.left, B.Canvas()->TextWidth("Ab"));
    // Text and glyph share the vertical middle.
    EXPECT_NEAR(GlyphPos.y + 8, (TextBounds.top + TextBounds.bottom) / 2, 1);
}

TEST(AdButtonGlyph, CaptionWithoutGlyphIsCentredAndTheMarkFollowsIt)
{
    TAdButtonGlyph G;
    TBitmap B;
    B.SetSize(80, 30);
    B.Canvas()->Brush()->SetColor(clBtnFace);
    B.Canvas()->FillRect(Rect(0, 0, 80, 30));
    B.Canvas()->Font()->SetColor(clBtnText);
    const TRect Text =
        G.DrawGlyphAndCaption(B.Canvas(), Rect(0, 0, 80, 30), gsUp, false, 1, -1, blGlyphTop, "Go");
    EXPECT_NEAR((Text.left + Text.right) / 2, 40, 1);
    EXPECT_NEAR((Text.top + Text.bottom) / 2, 15, 1);

    B.Canvas()->Brush()->SetColor(clBtnFace);
    B.Canvas()->Brush()->SetStyle(bsSolid);
    B.Canvas()->FillRect(Rect(0, 0, 80, 30));
    const TRect Marked =
        G.DrawGlyphAndCaption(B.Canvas(), Rect(0, 0, 80, 30), gsUp, true, 1, -1, blGlyphTop, "Go");
    const int X = Marked.right + 3;
    const int Y = Marked.top + (Marked.bottom - Marked.top) / 2;
    auto At = [&B](int PX, int PY) { return Rgb(B.Canvas()->Pixels(PX, PY)); };
    for (int I = 0; I <= 6; ++I)
        EXPECT_EQ(At(X + I, Y - 1), Rgb(clBtnText)) << I;
    EXPECT_EQ(At(X, Y), Rgb(clBtnFace));
    EXPECT_EQ(At(X + 1, Y), Rgb(clBtnText));
    EXPECT_EQ(At(X + 3, Y + 2), Rgb(clBtnText));
    EXPECT_EQ(At(X + 2, Y + 2), Rgb(clBtnFace));
    EXPECT_EQ(At(X - 1, Y - 1), Rgb(clBtnFace));
    EXPECT_EQ(At(X + 7, Y - 1), Rgb(clBtnFace));
}

TEST(AdButtonGlyph, DisabledMarkAndCaptionAreEmbossed)
{
    TAdButtonGlyph G;
    TBitmap B;
    B.SetSize(20, 20);
    B.Canvas()->Brush()->SetColor(clBtnFace);
    B.Canvas()->FillRect(Rect(0, 0, 20, 20));
    G.DrawDropDownMark(B.Canvas(), 5, 5, gsDisabled);
    auto At = [&B](int PX, int PY) { return Rgb(B.Canvas()->Pixels(PX, PY)); };
    EXPECT_EQ(At(5, 4), Rgb(clBtnShadow));
    EXPECT_EQ(At(12, 5), Rgb(clWhite)); // the white copy one pixel down and right
    EXPECT_EQ(At(9, 8), Rgb(clWhite));
    EXPECT_EQ(At(8, 7), Rgb(clBtnShadow));
}

// ---- The frame --------------------------------------------------------------------------------
TEST(AdSpeedButtonFrame, EachLookDrawsItsRings)
{
    struct {
        TButtonStyle Style;
        bool Flat, Down;
        TColor Outer, OuterBR, Inner, InnerBR; // (0,0), (9,9), (1,1), (8,8); clRed: untouched
        int Inset;
    } Cases[] = {
        {bsNew, false, true, clWindowFrame, clBtnHighlight, clBtnShadow, clBtnFace, 3},
        {bsNew, false, false, clBtnHighlight, clWindowFrame, clBtnFace, clBtnShadow, 3},
        {bsAutoDetect, false, false, clBtnHighlight, clWindowFrame, clBtnFace, clBtnShadow, 3},
        {bsNew, true, true, clWindowFrame, clBtnHighlight, clRed, clRed, 2},
        {bsNew, true, false, clBtnHighlight, clBtnShadow, clRed, clRed, 2},
        {bsWin31, false, true, clWindowFrame, clWindowFrame, clBtnShadow, clRed, 2},
        {bsWin31, false, false, clWindowFrame, clWindowFrame, clBtnHighlight, clBtnShadow, 3},
        {bsWin31, true, true, clWindowFrame, clBtnHighlight, clRed, clRed, 2},
        {bsWin31, true, false, clBtnHighlight, clWindowFrame, clRed, clRed, 2},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(testing::Message() << "style " << C.Style << " flat " << C.Flat << " down " << C.Down);
        TBitmap B;
        B.SetSize(10, 10);
        B.Canvas()->Brush()->SetColor(clRed);
        B.Canvas()->FillRect(Rect(0, 0, 10, 10));
        const TRect Inner = PaintButtonFrame(B.Canvas(), Rect(0, 0, 10, 10), C.Down, C.Flat, C.Style);
        auto At = [&B](int X, int Y) { return Rgb(B.Canvas()->Pixels(X, Y)); };
        EXPECT_EQ(At(0, 0), Rgb(C.Outer));
        EXPECT_EQ(At(9, 9), Rgb(C.OuterBR));
        EXPECT_EQ(At(1, 1), Rgb(C.Inner));
        EXPECT_EQ(At(8, 8), Rgb(C.InnerBR));
        EXPECT_EQ(At(5, 5), Rgb(clRed));
        EXPECT_TRUE(Inner == Rect(C.Inset, C.Inset, 10 - C.Inset, 10 - C.Inset));
    }
}

// ---- The button on a form ---------------------------------------------------------------------
class AdSpeedButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(nullptr);
        Form->SetBounds(100, 100, 300, 200);
        Form->Show();
        ProcessMessages();
        SetActiveWindow(Form->Handle());
    }
    void TearDown() override
    {
        Form->BeforeDestruction();
        delete Form;
    }
    TAdSpeedButton* Add(int L, int T, int W = 40, int H = 40)
    {
        auto* B = new TAdSpeedButton(Form);
        B->SetBounds(L, T, W, H);
        B->SetParent(Form);
        B->OnClick = [this, B](TObject*) { Clicks.push_back(B); };
        return B;
    }
    int ClicksOf(TAdSpeedButton* B) const
    {
        return static_cast<int>(std::count(Clicks.begin(), Clicks.end(), B));
    }
    TColor Shot(TAdSpeedButton* B, int X, int Y)
    {
        auto Image = RenderControl(B);
        return PixelAt(Image.get(), X, Y) & 0xFFFFFF;
    }
    TWindowTest Fixture;
    TForm* Form = nullptr;
    std::vector<TAdSpeedButton*> Clicks;
};

TEST_F(AdSpeedButtonTest, DefaultsMatchThePublishedOnes)
{
    TAdSpeedButton Fresh(nullptr);
    EXPECT_EQ(Fresh.Width(), 25);
    EXPECT_EQ(Fresh.Height(), 25);
    EXPECT_TRUE(Fresh.ControlStyle.Contains(csCaptureMouse));
    EXPECT_TRUE(Fresh.ControlStyle.Contains(csDoubleClicks));
    EXPECT_FALSE(Fresh.ControlStyle.Contains(csClickEvents));
    EXPECT_EQ(PropsDifferingFromDefault(&Fresh), std::vector<std::string>{})
        << "constructor and published defaults disagree";
}

TEST_F(AdSpeedButtonTest, GlyphLayoutsRender)
{
    auto Strip = GlyphStrip(16, {clBlue});
    struct {
        TButtonLayout Layout;
        int X, Y; // the glyph's top-left corner in the 40 x 40 button (frame inset 3)
    } Cases[] = {{blGlyphLeft, 3 + 2, 12},
                 {blGlyphRight, 3 + 34 - 2 - 16, 12},
                 {blGlyphTop, 12, 3 + 2},
                 {blGlyphBottom, 12, 3 + 34 - 2 - 16}};
    for (const auto& C : Cases) {
        SCOPED_TRACE(testing::Message() << "layout " << C.Layout);
        auto* B = Add(10, 10);
        B->SetStyle(bsNew);
        B->SetGlyph(Strip.get());
        B->SetMargin(2);
        B->SetLayout(C.Layout);
        EXPECT_EQ(Shot(B, C.X + 1, C.Y), 0xFF0000);
        EXPECT_EQ(Shot(B, C.X + 15, C.Y + 15), 0xFF0000);
        EXPECT_EQ(Shot(B, C.X - 1, C.Y + 5), Rgb(clBtnFace));
        EXPECT_EQ(Shot(B, C.X + 16, C.Y + 5), Rgb(clBtnFace));
        EXPECT_EQ(Shot(B, C.X, C.Y + 15), Rgb(clBtnFace)); // the transparent corner shows the face
        EXPECT_EQ(Shot(B, 0, 0), Rgb(clBtnHighlight));
        EXPECT_EQ(Shot(B, 39, 39), Rgb(clWindowFrame));
        delete B;
    }
}

TEST_F(AdSpeedButtonTest, EachStateShowsItsOwnGlyphOfAFiveGlyphStrip)
{
    // Glyphs: up, disabled, down, latched, inactive; at the left with margin 2, so the glyph of a
    // 40 x 40 button lies at (5, 12), or (6, 13) while pressed or latched, and at (4, 12) in a
    // flat button (a thinner frame).
    const std::vector<TColor> Colours = {clBlue, clGreen, clRed, clNavy, clOlive};
    auto Strip = GlyphStrip(16, Colours);
    struct {
        const char* Name;
        std::function<void(TAdSpeedButton*)> Make;
        int X, Y;
        TColor Expected;
    } Cases[] = {
        {"up", [](TAdSpeedButton*) {}, 5, 12, clBlue},
        {"disabled", [](TAdSpeedButton* B) { B->SetEnabled(false); }, 5, 12, clGreen},
        {"down", [](TAdSpeedButton* B) { SendMouse(B, WM_LBUTTONDOWN, 30, 30); }, 6, 13, clRed},
        {"latched",
         [](TAdSpeedButton* B) {
             B->SetGroupIndex(4);
             B->SetDown(true);
         },
         6, 13, clNavy},
        {"flat, mouse away", [](TAdSpeedButton* B) { B->SetFlat(true); }, 4, 12, clOlive},
        {"flat, mouse over",
         [](TAdSpeedButton* B) {
             B->SetFlat(true);
             SendMouse(B, WM_MOUSEMOVE, 30, 30);
         },
         4, 12, clBlue},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Name);
        auto* B = Add(10, 10);
        B->SetStyle(bsNew);
        B->SetGlyph(Strip.get());
        ASSERT_EQ(B->NumGlyphs(), 5);
        B->SetLayout(blGlyphLeft);
        B->SetMargin(2);
        C.Make(B);
        EXPECT_EQ(Shot(B, C.X + 2, C.Y + 2), Rgb(C.Expected));
        EXPECT_EQ(Shot(B, C.X + 15, C.Y + 14), Rgb(C.Expected));
        EXPECT_NE(Shot(B, C.X + 16, C.Y + 5), Rgb(C.Expected)); // the glyph ends there
        if (B->MouseCapture())
            SendMouse(B, WM_LBUTTONUP, 80, 80);
        delete B;
    }
}

TEST_F(AdSpeedButtonTest, TheCaptionGoesToTheSideAwayFromTheGlyph)
{
    // A 16 x 16 glyph and the caption "Go" in a 60 x 60 button: where the caption's dark pixels
    // lie, seen from the glyph, for each layout.
    auto Strip = GlyphStrip(16, {clBlue});
    struct {
        TButtonLayout Layout;
        int DX, DY; // the direction of the caption from the glyph
    } Cases[] = {{blGlyphLeft, 1, 0}, {blGlyphRight, -1, 0}, {blGlyphTop, 0, 1}, {blGlyphBottom, 0, -1}};
    for (const auto& C : Cases) {
        SCOPED_TRACE(testing::Message() << "layout " << C.Layout);
        auto* B = Add(10, 10, 60, 60);
        B->SetStyle(bsNew);
        B->SetGlyph(Strip.get());
        B->SetCaption("Go");
        B->SetLayout(C.Layout);
        auto Image = RenderControl(B);
        long GX = 0, GY = 0, GN = 0, TX = 0, TY = 0, TN = 0;
        for (int Y = 3; Y < 57; ++Y)
            for (int X = 3; X < 57; ++X) {
                const TColor P = PixelAt(Image.get(), X, Y) & 0xFFFFFF;
                if (P == 0xFF0000) {
                    GX += X, GY += Y, ++GN;
                } else if (P == Rgb(clBtnText)) {
                    TX += X, TY += Y, ++TN;
                }
            }
        ASSERT_GT(GN, 200);
        ASSERT_GT(TN, 10);
        const long DX = TX / TN - GX / GN, DY = TY / TN - GY / GN;
        if (C.DX)
            EXPECT_GT(DX * C.DX, 8);
        else
            EXPECT_LT(std::abs(DX), 4);
        if (C.DY)
            EXPECT_GT(DY * C.DY, 8);
        else
            EXPECT_LT(std::abs(DY), 4);
        delete B;
    }
}

TEST_F(AdSpeedButtonTest, PressedGlyphMovesOneDownAndRight)
{
    auto Strip = GlyphStrip(16, {clBlue});
    auto* B = Add(10, 10);
    B->SetStyle(bsNew);
    B->SetGlyph(Strip.get());
    B->SetLayout(blGlyphLeft);
    B->SetMargin(2);
    EXPECT_EQ(Shot(B, 5, 12), 0xFF0000);
    SendMouse(B, WM_LBUTTONDOWN, 20, 20);
    EXPECT_EQ(B->State(), gsDown);
    EXPECT_EQ(Shot(B, 5, 12), Rgb(clBtnFace));
    EXPECT_EQ(Shot(B, 6, 13), 0xFF0000);
    EXPECT_EQ(Shot(B, 0, 0), Rgb(clWindowFrame)); // the sunken frame
    SendMouse(B, WM_LBUTTONUP, 20, 20);
    EXPECT_EQ(B->State(), gsUp);
    EXPECT_EQ(ClicksOf(B), 1);
}

TEST_F(AdSpeedButtonTest, DisabledButtonShowsTheEmbossedGlyphAndCaption)
{
    TBitmap G;
    G.SetSize(16, 16);
    G.Canvas()->Brush()->SetColor(clWhite);
    G.Canvas()->FillRect(Rect(0, 0, 16, 16));
    G.Canvas()->Brush()->SetColor(clBlack);
    G.Canvas()->FillRect(Rect(2, 2, 6, 6));
    auto* B = Add(10, 10);
    B->SetGlyph(&G);
    B->SetLayout(blGlyphLeft);
    B->SetMargin(2);
    B->SetEnabled(false);
    // Glyph at (5, 12): its black square becomes shadow over highlight.
    EXPECT_EQ(Shot(B, 5 + 2, 12 + 2), Rgb(clBtnShadow));
    EXPECT_EQ(Shot(B, 5 + 6, 12 + 6), Rgb(clBtnHighlight));
    EXPECT_EQ(B->State(), gsDisabled);
    B->SetEnabled(true);
    EXPECT_EQ(Shot(B, 5 + 2, 12 + 2), 0x000000);
    EXPECT_EQ(B->State(), gsUp);
}

TEST_F(AdSpeedButtonTest, FlatButtonTracksTheMouse)
{
    auto Strip = GlyphStrip(16, {clBlue});
    auto* B = Add(10, 10);
    B->SetStyle(bsNew);
    B->SetFlat(true);
    B->SetGlyph(Strip.get());
    B->SetLayout(blGlyphLeft);
    B->SetMargin(2);
    const int Grey = (29 * 255) >> 8;
    // The mouse elsewhere: no frame and the grey glyph (flat inactive: inset 2, glyph at 4).
    EXPECT_FALSE(B->MouseInControl());
    EXPECT_EQ(Shot(B, 0, 0), Rgb(clBtnFace));
    EXPECT_EQ(Shot(B, 4 + 1, 12), RGB(Grey, Grey, Grey));

    SendMouse(B, WM_MOUSEMOVE, 20, 20);
    EXPECT_TRUE(B->MouseInControl());
    EXPECT_EQ(Shot(B, 0, 0), Rgb(clBtnHighlight));
    EXPECT_EQ(Shot(B, 39, 39), Rgb(clBtnShadow));
    EXPECT_EQ(Shot(B, 4 + 1, 12), 0xFF0000);

    SendMouse(Form, WM_MOUSEMOVE, 250, 150);
    EXPECT_FALSE(B->MouseInControl());
    EXPECT_EQ(Shot(B, 0, 0), Rgb(clBtnFace));

    // Without GrayedInactive the colour glyph shows even when inactive.
    B->SetGrayedInactive(false);
    EXPECT_EQ(Shot(B, 4 + 1, 12), 0xFF0000);
}

TEST_F(AdSpeedButtonTest, MouseOverDoesNotCountWhileAnotherProgramIsActive)
{
    auto* B = Add(10, 10);
    B->SetFlat(true);
    SetApplicationActive(false);
    SetActiveWindow(nullptr);
    SendMouse(B, WM_MOUSEMOVE, 20, 20);
    EXPECT_FALSE(B->MouseInControl());
    SetApplicationActive(true);
    SetActiveWindow(Form->Handle());
}

TEST_F(AdSpeedButtonTest, LatchedButtonsShowCheckerOrSunkenFlatFrame)
{
    auto* Plain = Add(10, 10);
    Plain->SetStyle(bsNew);
    Plain->SetGroupIndex(1);
    Plain->SetDown(true);
    EXPECT_EQ(Plain->State(), gsExclusive);
    const TColor A = Shot(Plain, 20, 30);
    const TColor B = Shot(Plain, 21, 30);
    EXPECT_NE(A, B); // the checker brush alternates
    EXPECT_TRUE((A == 0xFFFFFF && B == Rgb(clBtnFace)) || (B == 0xFFFFFF && A == Rgb(clBtnFace)));
    EXPECT_TRUE(TAdSpeedButton::SharedCheckerPatternMade());

    auto* Flat = Add(100, 10);
    Flat->SetStyle(bsNew);
    Flat->SetFlat(true);
    Flat->SetGroupIndex(2);
    Flat->SetDown(true);
    EXPECT_FALSE(Flat->MouseInControl());
    EXPECT_EQ(Shot(Flat, 0, 0), Rgb(clWindowFrame)); // sunken although the mouse is away
    EXPECT_EQ(Shot(Flat, 39, 39), Rgb(clBtnHighlight));
    EXPECT_EQ(Shot(Flat, 20, 30), Rgb(clBtnFace)); // a flat latched button has no checker
}

TEST_F(AdSpeedButtonTest, SharedPatternLivesAsLongAsTheButtons)
{
    const int Before = TAdSpeedButton::InstanceCount();
    {
        TAdSpeedButton One(nullptr);
        TAdSpeedButton Two(nullptr);
        EXPECT_EQ(TAdSpeedButton::InstanceCount(), Before + 2);
        TAdSpeedButton::SharedCheckerPattern();
    }
    EXPECT_EQ(TAdSpeedButton::InstanceCount(), Before);
    if (Before == 0)
        EXPECT_FALSE(TAdSpeedButton::SharedCheckerPatternMade());
}

TEST_F(AdSpeedButtonTest, GroupedButtonsLatchOneAtATime)
{
    auto* B1 = Add(10, 10);
    auto* B2 = Add(60, 10);
    auto* B3 = Add(110, 10);
    auto* Other = Add(160, 10);
    for (auto* B : {B1, B2, B3})
        B->SetGroupIndex(1);
    Other->SetGroupIndex(2);
    Other->SetDown(true);

    ClickControl(B1, 5, 5);
    EXPECT_TRUE(B1->Down());
    EXPECT_EQ(B1->State(), gsExclusive);
    ClickControl(B2, 5, 5);
    EXPECT_TRUE(B2->Down());
    EXPECT_FALSE(B1->Down());
    EXPECT_EQ(B1->State(), gsUp);
    EXPECT_TRUE(Other->Down()); // another group is not touched
    EXPECT_EQ(ClicksOf(B1), 1);
    EXPECT_EQ(ClicksOf(B2), 1);

    // Clicking the down button again keeps it down while AllowAllUp is off (the clock moves on
    // so that the second click is no double click) ...
    AdvanceClock(1000);
    ClickControl(B2, 5, 5);
    EXPECT_TRUE(B2->Down());
    EXPECT_EQ(ClicksOf(B2), 2);
    // ... and setting Down to False does nothing either.
    B2->SetDown(false);
    EXPECT_TRUE(B2->Down());
    // AllowAllUp spreads through the group and lets the last one go.
    B1->SetAllowAllUp(true);
    EXPECT_TRUE(B2->AllowAllUp());
    EXPECT_TRUE(B3->AllowAllUp());
    EXPECT_FALSE(Other->AllowAllUp());
    B2->SetDown(false);
    EXPECT_FALSE(B2->Down());
    EXPECT_EQ(B2->State(), gsUp);
    ClickControl(B3, 5, 5);
    EXPECT_TRUE(B3->Down());
    AdvanceClock(1000);
    ClickControl(B3, 5, 5);
    EXPECT_FALSE(B3->Down());
}

TEST_F(AdSpeedButtonTest, DownNeedsAGroup)
{
    auto* B = Add(10, 10);
    B->SetDown(true);
    EXPECT_FALSE(B->Down());
    EXPECT_EQ(B->State(), gsUp);
}

TEST_F(AdSpeedButtonTest, GroupMessageFromAnotherGroupOrANonButtonIsIgnored)
{
    auto* B1 = Add(10, 10);
    auto* B2 = Add(60, 10);
    B1->SetGroupIndex(1);
    B2->SetGroupIndex(1);
    B1->SetDown(true);
    B2->SetAllowAllUp(false);
    B1->Perform(GroupButtonDownMessage, 2, reinterpret_cast<LPARAM>(static_cast<TObject*>(B2)));
    EXPECT_TRUE(B1->Down());
    TForm* NotAButton = Form;
    B1->Perform(GroupButtonDownMessage, 1, reinterpret_cast<LPARAM>(static_cast<TObject*>(NotAButton)));
    EXPECT_TRUE(B1->Down());
}

TEST_F(AdSpeedButtonTest, ReleaseOutside)
{
    auto* Plain = Add(10, 10);
    SendMouse(Plain, WM_LBUTTONDOWN, 5, 5);
    SendMouse(Plain, WM_MOUSEMOVE, 80, 5, MK_LBUTTON);
    EXPECT_EQ(Plain->State(), gsUp);
    SendMouse(Plain, WM_MOUSEMOVE, 20, 5, MK_LBUTTON);
    EXPECT_EQ(Plain->State(), gsDown); // back inside
    SendMouse(Plain, WM_MOUSEMOVE, 80, 5, MK_LBUTTON);
    SendMouse(Plain, WM_LBUTTONUP, 80, 5);
    EXPECT_EQ(ClicksOf(Plain), 0);
    EXPECT_EQ(Plain->State(), gsUp);

    auto* Latched = Add(100, 10);
    Latched->SetGroupIndex(1);
    Latched->SetDown(true);
    SendMouse(Latched, WM_LBUTTONDOWN, 5, 5);
    SendMouse(Latched, WM_MOUSEMOVE, 80, 5, MK_LBUTTON);
    EXPECT_EQ(Latched->State(), gsExclusive);
    SendMouse(Latched, WM_LBUTTONUP, 80, 5);
    EXPECT_TRUE(Latched->Down());
    EXPECT_EQ(Latched->State(), gsExclusive);
    EXPECT_EQ(ClicksOf(Latched), 0);
}

TEST_F(AdSpeedButtonTest, ShiftedOrRightPressesDoNotPress)
{
    auto* B = Add(10, 10);
    SendMouse(B, WM_LBUTTONDOWN, 5, 5, MK_LBUTTON | MK_SHIFT);
    EXPECT_EQ(B->State(), gsUp);
    SendMouse(B, WM_LBUTTONUP, 5, 5, MK_SHIFT);
    SendMouse(B, WM_RBUTTONDOWN, 5, 5);
    EXPECT_EQ(B->State(), gsUp);
    SendMouse(B, WM_RBUTTONUP, 5, 5);
    EXPECT_EQ(ClicksOf(B), 0);
    EXPECT_TRUE(B->MouseInControl()); // hot tracking runs after right-button messages
}

TEST_F(AdSpeedButtonTest, AutoRepeatFollowsInitPauseAndRepeatInterval)
{
    auto* B = Add(10, 10);
    B->SetAllowTimer(true);
    EXPECT_EQ(B->InitPause, 500);
    EXPECT_EQ(B->RepeatInterval, 100);
    SendMouse(B, WM_LBUTTONDOWN, 5, 5);
    ASSERT_NE(B->RepeatTimer(), nullptr);
    AdvanceClock(499);
    EXPECT_EQ(ClicksOf(B), 0);
    AdvanceClock(1);
    EXPECT_EQ(ClicksOf(B), 1);
    AdvanceClock(99);
    EXPECT_EQ(ClicksOf(B), 1);
    AdvanceClock(201);
    EXPECT_EQ(ClicksOf(B), 4);
    // Outside the button the timer runs on but clicks nothing.
    SendMouse(B, WM_MOUSEMOVE, 80, 5, MK_LBUTTON);
    AdvanceClock(500);
    EXPECT_EQ(ClicksOf(B), 4);
    SendMouse(B, WM_LBUTTONUP, 80, 5);
    EXPECT_FALSE(B->RepeatTimer()->Enabled());
    AdvanceClock(1000);
    EXPECT_EQ(ClicksOf(B), 4);

    // The next press starts with the initial pause again.
    SendMouse(B, WM_LBUTTONDOWN, 5, 5);
    AdvanceClock(400);
    EXPECT_EQ(ClicksOf(B), 4);
    AdvanceClock(100);
    EXPECT_EQ(ClicksOf(B), 5);
    SendMouse(B, WM_LBUTTONUP, 5, 5);
    EXPECT_EQ(ClicksOf(B), 6); // the release inside clicks once more
}

TEST_F(AdSpeedButtonTest, TurningTheTimerOffFromItsOwnTickIsSafe)
{
    auto* B = Add(10, 10);
    B->SetAllowTimer(true);
    int Repeats = 0;
    B->OnClick = [&](TObject*) {
        ++Repeats;
        if (Repeats == 2)
            B->SetAllowTimer(false); // inside the timer's own tick
    };
    SendMouse(B, WM_LBUTTONDOWN, 5, 5);
    AdvanceClock(500);
    AdvanceClock(100);
    EXPECT_EQ(Repeats, 2);
    EXPECT_EQ(B->RepeatTimer(), nullptr);
    AdvanceClock(1000); // the retired timer is freed after its tick, and never fires again
    EXPECT_EQ(Repeats, 2);
    SendMouse(B, WM_LBUTTONUP, 5, 5);
    EXPECT_EQ(Repeats, 3);
    EXPECT_EQ(B->RepeatTimer(), nullptr);
    // Turned off outside a tick the timer goes at once.
    B->SetAllowTimer(true);
    SendMouse(B, WM_LBUTTONDOWN, 5, 5);
    ASSERT_NE(B->RepeatTimer(), nullptr);
    B->SetAllowTimer(false);
    EXPECT_EQ(B->RepeatTimer(), nullptr);
    SendMouse(B, WM_LBUTTONUP, 5, 5);
}

TEST_F(AdSpeedButtonTest, ARaisingRepeatClickStopsTheTimer)
{
    auto* B = Add(10, 10);
    B->SetAllowTimer(true);
    int Attempts = 0;
    B->OnClick = [&Attempts](TObject*) {
        ++Attempts;
        throw std::runtime_error("click failed");
    };
    SendMouse(B, WM_LBUTTONDOWN, 5, 5);
    ASSERT_NE(B->RepeatTimer(), nullptr);
    // The error goes on to the application's handler (or back to the caller without one).
    try {
        AdvanceClock(500);
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(Attempts, 1);
    EXPECT_FALSE(B->RepeatTimer()->Enabled());
    AdvanceClock(500);
    EXPECT_EQ(Attempts, 1);
    B->OnClick = nullptr;
    SendMouse(B, WM_LBUTTONUP, 5, 5);
}

TEST_F(AdSpeedButtonTest, TransparentButtonShowsItsParent)
{
    class TTealPanel : public TCustomControl {
    public:
        using TCustomControl::TCustomControl;

    protected:
        void Paint() override
        {
            Canvas()->Brush()->SetColor(clTeal);
            Canvas()->FillRect(Rect(0, 0, Width(), Height()));
        }
    };
    auto* Panel = new TTealPanel(Form);
    Panel->SetBounds(0, 0, 200, 100);
    Panel->SetParent(Form);
    auto* B = new TAdSpeedButton(Form);
    B->SetBounds(10, 10, 40, 40);
    B->SetParent(Panel);
    EXPECT_EQ(Shot(B, 20, 20), Rgb(clBtnFace));
    B->SetTransparent(true);
    EXPECT_EQ(Shot(B, 20, 20), Rgb(clTeal));
    EXPECT_EQ(Shot(B, 0, 0), Rgb(clBtnHighlight)); // the frame is still drawn
}

TEST_F(AdSpeedButtonTest, ClickHandsTheModalResultToTheForm)
{
    auto* B = Add(10, 10);
    B->ModalResult = mrCancel;
    ClickControl(B, 5, 5);
    EXPECT_EQ(Form->ModalResult(), mrCancel);
    Form->SetModalResult(mrNone);

    auto* Dialog = new TForm(nullptr);
    Dialog->SetBounds(200, 200, 200, 120);
    auto* Ok = new TAdSpeedButton(Dialog);
    Ok->SetBounds(10, 10, 60, 25);
    Ok->SetParent(Dialog);
    Ok->ModalResult = mrOk;
    bool Sent = false;
    SetWaitHandler([&]() {
        if (Sent)
            return false;
        Sent = true;
        int OX = 0, OY = 0;
        HWND Wnd = InputWindow(Ok, OX, OY);
        SimulateMouse(Wnd, WM_LBUTTONDOWN, OX + 5, OY + 5);
        SimulateMouse(Wnd, WM_LBUTTONUP, OX + 5, OY + 5);
        return true;
    });
    EXPECT_EQ(Dialog->ShowModal(), mrOk);
    SetWaitHandler(nullptr);
    Dialog->BeforeDestruction();
    delete Dialog;
}

TEST_F(AdSpeedButtonTest, AcceleratorOfTheCaptionClicks)
{
    auto* B = Add(10, 10);
    B->SetCaption("&Open");
    EXPECT_EQ(B->Perform(CM_DIALOGCHAR, 'o', 0), 1);
    EXPECT_EQ(B->Perform(CM_DIALOGCHAR, 'x', 0), 0);
    B->SetEnabled(false);
    EXPECT_EQ(B->Perform(CM_DIALOGCHAR, 'O', 0), 0);
    EXPECT_EQ(ClicksOf(B), 1);
}

TEST_F(AdSpeedButtonTest, DoubleClickOnlyOnADownButton)
{
    auto* B = Add(10, 10);
    int Doubles = 0;
    B->OnDblClick = [&Doubles](TObject*) { ++Doubles; };
    DoubleClickControl(B, 5, 5);
    EXPECT_EQ(Doubles, 0);
    B->SetGroupIndex(1);
    B->SetDown(true); // the only button of its group, so clicks cannot release it
    AdvanceClock(1000);
    DoubleClickControl(B, 5, 5);
    EXPECT_TRUE(B->Down());
    EXPECT_EQ(Doubles, 1);
}

// ---- Drop-down menu ---------------------------------------------------------------------------
namespace {
// Answers a menu by pressing the mouse at a screen point, as a click that closes the menu does.
class TClosingClick : public TMenuTracker {
public:
    int ScreenX = 0, ScreenY = 0;
    int Shown = 0;
    UINT Track(HMENU, int, int, HWND) override
    {
        ++Shown;
        SimulateMouseAt(ScreenX, ScreenY, WM_LBUTTONDOWN);
        return 0;
    }
};

class TPressLog : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    int Presses = 0;

protected:
    void MouseDown(TMouseButton, TShiftState, int, int) override { ++Presses; }
};
} // namespace

TEST_F(AdSpeedButtonTest, PressOpensTheDropDownMenuWithoutAClick)
{
    auto* Menu = new TPopupMenu(Form);
    auto* Item = new TMenuItem(Menu);
    Item->SetCaption("One");
    int Chosen = 0;
    Item->OnClick = [&Chosen](TObject*) { ++Chosen; };
    Menu->Items()->Add(Item);
    auto* B = Add(10, 10, 60, 22);
    B->SetDropDownMenu(Menu);
    Fixture.MenuChoices.ExpectChoice({"One"});
    SendMouse(B, WM_LBUTTONDOWN, 5, 5);
    EXPECT_EQ(Chosen, 1);
    EXPECT_EQ(Menu->PopupComponent(), B);
    EXPECT_EQ(B->State(), gsUp); // released at once
    EXPECT_FALSE(B->MenuTracking());
    SendMouse(B, WM_LBUTTONUP, 5, 5);
    EXPECT_EQ(ClicksOf(B), 0);
    EXPECT_EQ(Fixture.MenuChoices.MenusShown(), 1);

    // Freeing the menu clears the reference.
    delete Menu;
    EXPECT_EQ(B->DropDownMenu(), nullptr);
}

TEST_F(AdSpeedButtonTest, DropDownMarkShowsOnlyWithAMenu)
{
    auto* B = Add(10, 10, 60, 22);
    B->SetStyle(bsNew);
    B->SetCaption("Go");
    auto* Menu = new TPopupMenu(Form);
    auto CountMarkPixels = [&]() {
        auto Image = RenderControl(B);
        int N = 0;
        for (int Y = 0; Y < 22; ++Y)
            for (int X = 0; X < 60; ++X)
                if ((PixelAt(Image.get(), X, Y) & 0xFFFFFF) == Rgb(clBtnText))
                    ++N;
        return N;
    };
    const int Without = CountMarkPixels();
    B->SetDropDownMenu(Menu);
    EXPECT_EQ(CountMarkPixels() - Without, 16); // the triangle's sixteen pixels
    B->SetMarkDropDown(false);
    EXPECT_EQ(CountMarkPixels(), Without);
}

TEST_F(AdSpeedButtonTest, TheClickThatClosesTheMenuDoesNotPressAgain)
{
    auto* Menu = new TPopupMenu(Form);
    auto* Item = new TMenuItem(Menu);
    Item->SetCaption("One");
    Menu->Items()->Add(Item);
    auto* B = Add(10, 10, 60, 22);
    B->SetDropDownMenu(Menu);
    auto* Elsewhere = new TPressLog(Form);
    Elsewhere->SetBounds(150, 100, 40, 40);
    Elsewhere->SetParent(Form);

    TClosingClick Tracker;
    SetMenuTracker(&Tracker);
    const TPoint OnButton = B->ClientToScreen(Point(20, 10));
    Tracker.ScreenX = OnButton.x;
    Tracker.ScreenY = OnButton.y;
    SendMouse(B, WM_LBUTTONDOWN, 5, 5);
    SendMouse(B, WM_LBUTTONUP, 20, 10);
    ProcessMessages();
    EXPECT_EQ(Tracker.Shown, 1); // not opened a second time by the closing click
    EXPECT_EQ(ClicksOf(B), 0);

    // A closing click elsewhere is left for the control it was meant for.
    const TPoint Away = Elsewhere->ClientToScreen(Point(5, 5));
    Tracker.ScreenX = Away.x;
    Tracker.ScreenY = Away.y;
    SendMouse(B, WM_LBUTTONDOWN, 5, 5);
    ProcessMessages();
    SendMouse(Elsewhere, WM_LBUTTONUP, 5, 5);
    EXPECT_EQ(Tracker.Shown, 2);
    EXPECT_EQ(Elsewhere->Presses, 1);
    SetMenuTracker(&Fixture.MenuChoices);
}

TEST_F(AdSpeedButtonTest, GlyphFromAResourceByName)
{
    TDibImage Image;
    Image.Width = 32;
    Image.Height = 16;
    Image.Pixels.assign(32 * 16, 0xFF0000FF);
    const std::string Bmp = EncodeBmp(Image, 24);
    RegisterResource(ResourceType::Bitmap, "AD_TESTGLYPH", Bmp.data(), Bmp.size());
    const std::string Text = R"(object Form1: TForm
  object SpeedButton1: TAdSpeedButton
    Glyph = 'AD_TESTGLYPH'
  end
end
)";
    TForm* Read = CreateFormFromText<TForm>(nullptr, Text);
    auto* B = dynamic_cast<TAdSpeedButton*>(Read->FindComponent("SpeedButton1"));
    ASSERT_NE(B, nullptr);
    EXPECT_EQ(B->Glyph()->Width(), 32);
    EXPECT_EQ(B->NumGlyphs(), 2);
    // Written back, the glyph goes inline and reads back the same.
    const std::string Written = WriteForm(Read);
    Read->BeforeDestruction();
    delete Read;
    EXPECT_NE(Written.find("    Glyph.Data = {\r\n"), std::string::npos) << Written;
    EXPECT_EQ(Written.find("AD_TESTGLYPH"), std::string::npos) << Written;
    TForm* Back = CreateFormFromText<TForm>(nullptr, Written);
    auto* BackButton = dynamic_cast<TAdSpeedButton*>(Back->FindComponent("SpeedButton1"));
    ASSERT_NE(BackButton, nullptr);
    EXPECT_EQ(BackButton->Glyph()->Width(), 32);
    EXPECT_EQ(BackButton->Glyph()->Height(), 16);
    EXPECT_EQ(BackButton->Glyph()->Canvas()->Pixels(31, 15), clBlue); // 0xFF0000FF is ARGB
    Back->BeforeDestruction();
    delete Back;

    const std::string Missing = R"(object Form1: TForm
  object SpeedButton1: TAdSpeedButton
    Glyph = 'AD_NOGLYPH'
  end
end
)";
    try {
        TForm* Bad = CreateFormFromText<TForm>(nullptr, Missing);
        Bad->BeforeDestruction();
        delete Bad;
        ADD_FAILURE() << "a missing glyph resource was accepted";
    } catch (const EFormError& E) {
        EXPECT_EQ(E.Line(), 3);
        EXPECT_EQ(E.Word(), "AD_NOGLYPH");
        EXPECT_EQ(E.Problem(), "Image resource not found");
    }
    UnregisterResource(ResourceType::Bitmap, "AD_TESTGLYPH");
}

// ---- Streaming --------------------------------------------------------------------------------
TEST_F(AdSpeedButtonTest, ReadsFromAFormDescription)
{
    const std::string Text = R"(object Form1: TForm
  Left = 10
  Top = 10
  Width = 300
  Height = 200
  object PopupMenu1: TPopupMenu
  end
  object SpeedButton1: TAdSpeedButton
    Left = 8
    Top = 8
    Width = 60
    Height = 22
    Caption = '&Open'
    Alignment = taLeftJustify
    AllowAllUp = True
    AllowTimer = True
    GroupIndex = 3
    Down = True
    DropDownMenu = PopupMenu1
    MenuPosition = dmpRight
    Flat = True
    GrayedInactive = False
    InitPause = 300
    Layout = blGlyphLeft
    Margin = 2
    MarkDropDown = False
    ModalResult = 1
    NumGlyphs = 9
    RepeatInterval = 50
    ShowHint = False
    ParentShowHint = True
    Spacing = -1
    Style = bsWin31
    Transparent = True
    WordWrap = True
    OnClick = nil
  end
end
)";
    TForm* Read = CreateFormFromText<TForm>(nullptr, Text);
    auto* B = dynamic_cast<TAdSpeedButton*>(Read->FindComponent("SpeedButton1"));
    ASSERT_NE(B, nullptr);
    EXPECT_EQ(B->Parent(), Read);
    EXPECT_EQ(B->Width(), 60);
    EXPECT_EQ(B->Caption(), "&Open");
    EXPECT_EQ(B->Alignment(), taLeftJustify);
    EXPECT_TRUE(B->AllowAllUp());
    EXPECT_TRUE(B->AllowTimer());
    EXPECT_EQ(B->GroupIndex(), 3);
    EXPECT_TRUE(B->Down());
    EXPECT_EQ(B->DropDownMenu(), Read->FindComponent("PopupMenu1"));
    EXPECT_EQ(B->MenuPosition, dmpRight);
    EXPECT_TRUE(B->Flat());
    EXPECT_FALSE(B->GrayedInactive());
    EXPECT_EQ(B->InitPause, 300);
    EXPECT_EQ(B->Layout(), blGlyphLeft);
    EXPECT_EQ(B->Margin(), 2);
    EXPECT_FALSE(B->MarkDropDown());
    EXPECT_EQ(B->ModalResult, mrOk);
    EXPECT_EQ(B->NumGlyphs(), 5); // 9 is stored as 5
    EXPECT_EQ(B->RepeatInterval, 50);
    EXPECT_FALSE(B->ShowHint());
    EXPECT_EQ(B->Spacing(), -1);
    EXPECT_EQ(B->Style(), bsWin31);
    EXPECT_TRUE(B->Transparent());
    EXPECT_TRUE(B->WordWrap());

    // Written back and read again, the button keeps its settings.
    const std::string Written = WriteForm(Read);
    TForm* Again = CreateFormFromText<TForm>(nullptr, Written);
    auto* B2 = dynamic_cast<TAdSpeedButton*>(Again->FindComponent("SpeedButton1"));
    ASSERT_NE(B2, nullptr) << Written;
    EXPECT_EQ(B2->Layout(), blGlyphLeft);
    EXPECT_EQ(B2->Spacing(), -1);
    EXPECT_EQ(B2->Style(), bsWin31);
    EXPECT_EQ(B2->DropDownMenu(), Again->FindComponent("PopupMenu1"));
    Again->BeforeDestruction();
    delete Again;
    Read->BeforeDestruction();
    delete Read;
}
