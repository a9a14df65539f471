#include "html-engine/HtmlImageUtil.h"

#include "platform/graphics/Graphics.h"
#include "platform/graphics/WinGdi.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A white bitmap with black Arial text, for the drawing helpers.
struct DrawFixture : ::testing::Test {
    TBitmap Bitmap{200, 120};
    TCanvas* Canvas = nullptr;
    void SetUp() override
    {
        Canvas = Bitmap.Canvas();
        Canvas->Brush()->SetColor(clWhite);
        Canvas->FillRect(Rect(0, 0, 200, 120));
        Canvas->Font()->SetName("Arial");
        Canvas->Font()->SetHeight(-13);
        Canvas->Font()->SetColor(clBlack);
        Canvas->Brush()->SetStyle(bsClear);
    }
    // True when any pixel of the band [Top, Bottom) x [Left, Right) is not white.
    bool Ink(int Left, int Top, int Right, int Bottom)
    {
        for (int Y = Top; Y < Bottom; ++Y)
            for (int X = Left; X < Right; ++X)
                if ((Canvas->Pixels(X, Y) & 0xFFFFFF) != 0xFFFFFF)
                    return true;
        return false;
    }
};

using TextDrawing = DrawFixture;

TEST_F(TextDrawing, TextWidthOfMeasuresThePrefix)
{
    EXPECT_EQ(TextWidthOf(Canvas->Handle(), "abcdef", 3), Canvas->TextWidth("abc"));
    EXPECT_EQ(TextWidthOf(Canvas->Handle(), "abcdef", 0), 0);
}

TEST_F(TextDrawing, WordsWrapWhenThePairDoesNotFit)
{
    const int LH = Canvas->TextHeight("A");
    const int Pair = Canvas->TextWidth("aaa bbb");
    // Just too narrow for both words: two lines.
    DrawWrapped(Canvas, 10, 10, "aaa bbb", 10 + 3 * LH, 10 + Pair - 1);
    EXPECT_TRUE(Ink(10, 10, 200, 10 + LH));
    EXPECT_TRUE(Ink(10, 10 + LH, 200, 10 + 2 * LH));
    EXPECT_FALSE(Ink(0, 10 + 2 * LH, 200, 120));
    SetUp();
    // Exactly wide enough: one line.
    DrawWrapped(Canvas, 10, 10, "aaa bbb", 10 + 3 * LH, 10 + Pair);
    EXPECT_TRUE(Ink(10, 10, 200, 10 + LH));
    EXPECT_FALSE(Ink(0, 10 + LH, 200, 120));
}

TEST_F(TextDrawing, NothingOutsideTheRectangle)
{
    const int LH = Canvas->TextHeight("A");
    // One word far wider than the box goes alone on its line and is clipped; the lines that
    // do not fit whole above the bottom are left out.
    DrawWrapped(Canvas, 20, 20, "Supercalifragilistic word another third fourth", 20 + 2 * LH, 60);
    EXPECT_TRUE(Ink(20, 20, 60, 20 + LH));
    EXPECT_FALSE(Ink(60, 0, 200, 120));
    EXPECT_FALSE(Ink(0, 20 + 2 * LH, 200, 120));
    EXPECT_FALSE(Ink(0, 0, 20, 120));
    EXPECT_FALSE(Ink(0, 0, 200, 20));
}

TEST_F(TextDrawing, RectangleLowerThanOneLineDrawsNothing)
{
    const int LH = Canvas->TextHeight("A");
    DrawWrapped(Canvas, 10, 10, "some words here", 10 + LH - 1, 190);
    EXPECT_FALSE(Ink(0, 0, 200, 120));
    DrawWrapped(Canvas, 10, 10, "", 100, 190);
    EXPECT_FALSE(Ink(0, 0, 200, 120));
}

struct BoxFixture : ::testing::Test {
    TBitmap Bitmap{30, 30};
    TCanvas* Canvas = nullptr;
    void Prepare(bool Mono)
    {
        if (Mono)
            Bitmap.SetMonochrome(true);
        Canvas = Bitmap.Canvas();
        Canvas->Brush()->SetColor(Mono ? clBlack : clRed);
        Canvas->FillRect(Rect(0, 0, 30, 30));
        Canvas->Brush()->SetColor(clYellow);
        Canvas->Brush()->SetStyle(bsSolid);
        Canvas->Pen()->SetWidth(3);
        Canvas->Pen()->SetStyle(psDot);
    }
    TColor At(int X, int Y) { return Canvas->Pixels(X, Y) & 0xFFFFFF; }
};

using ControlBox = BoxFixture;

TEST_F(ControlBox, SunkenAndRaisedEdges)
{
    const TColor Shadow = ColorToRGB(clBtnShadow) & 0xFFFFFF;
    for (bool Raised : {false, true}) {
        Prepare(false);
        DrawControlBox(Canvas, 4, 4, Raised, 24, 24);
        const TColor TopLeft = Raised ? clSilver : Shadow;
        const TColor BottomRight = Raised ? Shadow : clSilver;
        EXPECT_EQ(At(14, 14), clWhite) << Raised;
        EXPECT_EQ(At(4, 14), TopLeft) << Raised;
        EXPECT_EQ(At(14, 4), TopLeft) << Raised;
        EXPECT_EQ(At(23, 14), BottomRight) << Raised;
        EXPECT_EQ(At(14, 23), BottomRight) << Raised;
        EXPECT_EQ(At(27, 27), clRed) << Raised;
        EXPECT_EQ(At(1, 1), clRed) << Raised;
        // Pen width and style and the brush come back; the pen colour does not.
        EXPECT_EQ(Canvas->Pen()->Width(), 3);
        EXPECT_EQ(Canvas->Pen()->Style(), psDot);
        EXPECT_EQ(Canvas->Brush()->Color(), clYellow);
        EXPECT_EQ(Canvas->Brush()->Style(), bsSolid);
    }
}

TEST_F(ControlBox, MonochromeIsABlackFrame)
{
    Prepare(true);
    DrawControlBox(Canvas, 4, 4, false, 24, 24);
    EXPECT_EQ(At(14, 14), clWhite);
    EXPECT_EQ(At(4, 14), clBlack);
    EXPECT_EQ(At(14, 4), clBlack);
    EXPECT_EQ(At(23, 14), clBlack);
    EXPECT_EQ(At(14, 23), clBlack);
    // One pixel wide on a monochrome device.
    EXPECT_EQ(At(6, 14), clWhite);
}

} // namespace
