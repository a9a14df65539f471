#include "platform/classes/TypInfo.h"
#include "platform/graphics/Graphics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// ---------------------------------------------------------------------------------------------
// Colours

TEST(GraphicsColorsTest, NamesAndNumbersConvertBothWays)
{
    struct TCase {
        const char* Text;
        TColor Color;
        const char* Back; // ColorToString of the colour
    } Cases[] = {
        {"clRed", clRed, "clRed"},
        {"CLBTNFACE", clBtnFace, "clBtnFace"},
        {"clwindowtext", clWindowText, "clWindowText"},
        {"cl3DDkShadow", cl3DDkShadow, "cl3DDkShadow"},
        {"clInfoBk", clInfoBk, "clInfoBk"},
        {"clNone", clNone, "clNone"},
        {"clDefault", clDefault, "clDefault"},
        {"clLtGray", clSilver, "clSilver"}, // an alias prints under the main name
        {"clDkGray", clGray, "clGray"},
        {"$00123456", 0x123456, "$00123456"},
        {"$80000005", clWindow, "clWindow"},
        {"255", clRed, "clRed"},
        {"4227327", 0x4080FF, "$004080FF"},
        {"$02FF0000", PaletteRGB(0, 0, 255), "$02FF0000"},
        {"-16777201", static_cast<TColor>(0xFF00000F), "$FF00000F"},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Text);
        EXPECT_EQ(StringToColor(C.Text), C.Color);
        EXPECT_EQ(ColorToString(C.Color), C.Back);
        EXPECT_EQ(StringToColor(ColorToString(C.Color)), C.Color);
    }
}

TEST(GraphicsColorsTest, FormDescriptionsKnowTheColourNames)
{
    std::int64_t Value = 0;
    ASSERT_TRUE(IdentToInt("TColor", "clbtnface", Value));
    EXPECT_EQ(Value, clBtnFace);
    ASSERT_TRUE(IdentToInt("TColor", "clLtGray", Value));
    EXPECT_EQ(Value, clSilver);
    std::string Ident;
    ASSERT_TRUE(IntToIdent("TColor", clSilver, Ident));
    EXPECT_EQ(Ident, "clSilver");
    ASSERT_TRUE(IntToIdent("TColor", clWindowText, Ident));
    EXPECT_EQ(Ident, "clWindowText");
}

TEST(GraphicsColorsTest, UnknownNamesRaiseConvertError)
{
    for (const char* Bad : {"clFoo", "", "red", "12x", "$", "$1FFFFFFFF", "cl"}) {
        SCOPED_TRACE(Bad);
        EXPECT_THROW(StringToColor(Bad), EConvertError);
        TColor C = 7;
        EXPECT_FALSE(IdentToColor(Bad, C));
        EXPECT_EQ(C, 7);
    }
    std::string Ident;
    EXPECT_FALSE(ColorToIdent(0x123456, Ident));
}

TEST(GraphicsColorsTest, SystemColoursResolveThroughTheFixedTable)
{
    // Every system colour name resolves to the table entry of its index.
    int SystemNames = 0;
    GetColorValues([&](const std::string& Name) {
        const TColor C = StringToColor(Name);
        if (C < 0) {
            ++SystemNames;
            EXPECT_EQ(ColorToRGB(C), static_cast<TColor>(GetSysColor(C & 0xFF))) << Name;
        }
    });
    EXPECT_EQ(SystemNames, 30);
    // The classic scheme itself.
    EXPECT_EQ(ColorToRGB(clBtnFace), 0xC0C0C0);
    EXPECT_EQ(ColorToRGB(clBtnShadow), 0x808080);
    EXPECT_EQ(ColorToRGB(clBtnHighlight), 0xFFFFFF);
    EXPECT_EQ(ColorToRGB(clWindow), 0xFFFFFF);
    EXPECT_EQ(ColorToRGB(clWindowText), 0x000000);
    EXPECT_EQ(ColorToRGB(clHighlight), 0x800000);
    // Plain colours and markers pass unchanged; palette-relative ones keep their bit for GDI's
    // sake but draw as their RGB.
    EXPECT_EQ(ColorToRGB(clRed), clRed);
    EXPECT_EQ(ColorToRGB(clNone), clNone);
    EXPECT_EQ(ColorToRGB(PaletteRGB(1, 2, 3)), 0x02030201);
    EXPECT_EQ(ColorToColorRef(PaletteRGB(1, 2, 3)), 0x030201u);
    EXPECT_EQ(ColorToColorRef(clBtnFace), 0xC0C0C0u);
}

// ---------------------------------------------------------------------------------------------
// Fonts, pens, brushes

TEST(GraphicsFontTest, SizeAndHeightFollowTheFixedResolution)
{
    TFont F;
    EXPECT_EQ(F.Name(), "MS Sans Serif");
    EXPECT_EQ(F.Height(), -11);
    EXPECT_EQ(F.Size(), 8);
    EXPECT_EQ(F.Color(), clWindowText);
    struct TCase {
        int Size, Height;
    } Cases[] = {{8, -11}, {10, -13}, {12, -16}, {9, -12}, {24, -32}, {72, -96}};
    for (const TCase& C : Cases) {
        F.SetSize(C.Size);
        EXPECT_EQ(F.Height(), C.Height) << C.Size;
        F.SetHeight(C.Height);
        EXPECT_EQ(F.Size(), C.Size) << C.Height;
    }
}

TEST(GraphicsFontTest, HandleIsMadeFromTheAttributesAndRemadeAfterAChange)
{
    TFont F;
    int Changes = 0;
    F.OnChange = [&](TObject* Sender) {
        EXPECT_EQ(Sender, &F);
        ++Changes;
    };
    F.SetName("Courier New");
    F.SetHeight(-16);
    F.SetStyle({fsBold, fsItalic});
    F.SetHeight(-16); // unchanged: no event
    EXPECT_EQ(Changes, 3);
    EXPECT_FALSE(F.HandleAllocated());

    HFONT H = F.Handle();
    ASSERT_NE(H, nullptr);
    EXPECT_EQ(F.Handle(), H);
    LOGFONT LF;
    ASSERT_GT(GetObject(H, sizeof(LF), &LF), 0);
    EXPECT_EQ(LF.lfHeight, -16);
    EXPECT_EQ(LF.lfWeight, FW_BOLD);
    EXPECT_EQ(LF.lfItalic, 1);
    EXPECT_EQ(std::string(LF.lfFaceName), "Courier New");

    F.SetStyle({});
    EXPECT_FALSE(F.HandleAllocated());
    ASSERT_GT(GetObject(F.Handle(), sizeof(LF), &LF), 0);
    EXPECT_EQ(LF.lfWeight, FW_NORMAL);

    // A colour change reaches the listeners but keeps the handle.
    H = F.Handle();
    F.SetColor(clRed);
    EXPECT_EQ(Changes, 5);
    EXPECT_EQ(F.Handle(), H);
}

TEST(GraphicsFontTest, AssignCopiesAttributesNotListenersAndSetHandleReadsThemBack)
{
    TFont A, B;
    A.SetName("Times New Roman");
    A.SetSize(14);
    A.SetStyle({fsUnderline, fsStrikeOut});
    A.SetColor(clBlue);
    A.SetPitch(fpVariable);
    A.SetCharset(ANSI_CHARSET);
    bool AChanged = false, BChanged = false;
    A.OnChange = [&](TObject*) { AChanged = true; };
    B.OnChange = [&](TObject*) { BChanged = true; };
    B.Assign(&A);
    EXPECT_TRUE(BChanged);
    EXPECT_FALSE(AChanged);
    EXPECT_EQ(B.Name(), "Times New Roman");
    EXPECT_EQ(B.Height(), A.Height());
    EXPECT_EQ(B.Style(), A.Style());
    EXPECT_EQ(B.Color(), clBlue);
    EXPECT_EQ(B.Pitch(), fpVariable);
    EXPECT_EQ(B.Charset(), ANSI_CHARSET);

    TFont C;
    LOGFONT LF = A.LogFont();
    LF.lfWeight = FW_BOLD;
    C.SetHandle(CreateFontIndirect(&LF));
    EXPECT_EQ(C.Name(), "Times New Roman");
    EXPECT_EQ(C.Height(), A.Height());
    EXPECT_EQ(C.Style(), (TFontStyles{fsBold, fsUnderline, fsStrikeOut}));

    TPen P;
    EXPECT_THROW(P.Assign(&A), Exception);
}

TEST(GraphicsBrushTest, ColourMakesAClearBrushSolidAndStylesMakeTheirHandles)
{
    TBrush B;
    B.SetStyle(bsClear);
    LOGBRUSH LB;
    ASSERT_GT(GetObject(B.Handle(), sizeof(LB), &LB), 0);
    EXPECT_EQ(LB.lbStyle, BS_NULL);
    B.SetColor(clRed);
    EXPECT_EQ(B.Style(), bsSolid);
    ASSERT_GT(GetObject(B.Handle(), sizeof(LB), &LB), 0);
    EXPECT_EQ(LB.lbStyle, BS_SOLID);
    EXPECT_EQ(LB.lbColor, 0x0000FFu);
    B.SetStyle(bsDiagCross);
    ASSERT_GT(GetObject(B.Handle(), sizeof(LB), &LB), 0);
    EXPECT_EQ(LB.lbStyle, BS_HATCHED);
    EXPECT_EQ(LB.lbHatch, std::uintptr_t(HS_DIAGCROSS));
    B.SetColor(clBtnFace); // system colours are resolved when the handle is made
    ASSERT_GT(GetObject(B.Handle(), sizeof(LB), &LB), 0);
    EXPECT_EQ(LB.lbColor, 0xC0C0C0u);
}

// ---------------------------------------------------------------------------------------------
// Canvas drawing, checked pixel by pixel on a bitmap

class CanvasTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Bitmap.SetSize(40, 30);
        C = Bitmap.Canvas();
    }
    TColor At(int X, int Y) { return C->Pixels(X, Y); }
    // Every pixel that is not white, as a bounding rectangle (empty when none).
    TRect Ink()
    {
        TRect R{1000, 1000, -1, -1};
        for (int Y = 0; Y < Bitmap.Height(); ++Y)
            for (int X = 0; X < Bitmap.Width(); ++X)
                if (At(X, Y) != clWhite) {
                    R.left = std::min<LONG>(R.left, X);
                    R.top = std::min<LONG>(R.top, Y);
                    R.right = std::max<LONG>(R.right, X + 1);
                    R.bottom = std::max<LONG>(R.bottom, Y + 1);
                }
        return R.right < 0 ? TRect{} : R;
    }
    TBitmap Bitmap;
    TCanvas* C = nullptr;
};

TEST_F(CanvasTest, NewBitmapIsWhiteAndClipRectIsItsSize)
{
    EXPECT_EQ(Ink(), TRect{});
    EXPECT_EQ(C->ClipRect(), Rect(0, 0, 40, 30));
}

TEST_F(CanvasTest, RectangleCoversLeftTopInclusiveRightBottomExclusive)
{
    C->Pen()->SetColor(clBlack);
    C->Brush()->SetColor(clRed);
    C->Rectangle(2, 3, 10, 8);
    EXPECT_EQ(Ink(), Rect(2, 3, 10, 8));
    EXPECT_EQ(At(2, 3), clBlack);
    EXPECT_EQ(At(9, 7), clBlack);
    EXPECT_EQ(At(9, 5), clBlack);
    EXPECT_EQ(At(3, 4), clRed);
    EXPECT_EQ(At(8, 6), clRed);
}

TEST_F(CanvasTest, InsideFramePenStaysInsideWhereAWideSolidPenSpills)
{
    C->Pen()->SetWidth(3);
    C->Pen()->SetColor(clBlue);
    C->Brush()->SetStyle(bsClear);
    C->Pen()->SetStyle(psInsideFrame);
    C->Rectangle(10, 10, 20, 20);
    EXPECT_EQ(Ink(), Rect(10, 10, 20, 20));
    EXPECT_EQ(At(12, 15), clBlue);
    EXPECT_EQ(At(13, 15), clWhite);

    C->Brush()->SetColor(clWhite);
    C->FillRect(Rect(0, 0, 40, 30));
    C->Brush()->SetStyle(bsClear);
    C->Pen()->SetStyle(psSolid);
    C->Rectangle(10, 10, 20, 20);
    const TRect R = Ink();
    EXPECT_LT(R.left, 10);
    EXPECT_GT(R.right, 20);
}

TEST_F(CanvasTest, LineToLeavesOutItsEndPointWhichBecomesThePenPosition)
{
    C->MoveTo(2, 2);
    C->LineTo(10, 2);
    EXPECT_EQ(Ink(), Rect(2, 2, 10, 3));
    EXPECT_EQ(C->PenPos(), Point(10, 2));
    C->LineTo(10, 8);
    EXPECT_EQ(At(10, 2), clBlack);
    EXPECT_EQ(At(10, 7), clBlack);
    EXPECT_EQ(At(10, 8), clWhite);

    std::vector<TPoint> Points{Point(20, 20), Point(30, 20), Point(30, 25)};
    C->Polyline(Points);
    EXPECT_EQ(At(20, 20), clBlack);
    EXPECT_EQ(At(30, 24), clBlack);
    EXPECT_EQ(At(30, 25), clWhite);
}

TEST_F(CanvasTest, PenModesCombineWithTheDestination)
{
    C->Brush()->SetColor(clRed);
    C->FillRect(Rect(0, 0, 20, 10));
    C->Pen()->SetMode(pmXor);
    C->Pen()->SetColor(clWhite);
    C->MoveTo(0, 5);
    C->LineTo(30, 5);
    EXPECT_EQ(At(5, 5), 0xFFFF00); // red xor white = cyan
    EXPECT_EQ(At(25, 5), clBlack); // white xor white
    C->MoveTo(0, 5);
    C->LineTo(30, 5);
    EXPECT_EQ(At(5, 5), clRed);
    EXPECT_EQ(At(25, 5), clWhite);

    C->Pen()->SetMode(pmNot);
    C->MoveTo(0, 6);
    C->LineTo(30, 6);
    EXPECT_EQ(At(5, 6), 0xFFFF00);
    EXPECT_EQ(At(25, 6), clBlack);

    C->Pen()->SetMode(pmNop);
    C->MoveTo(0, 7);
    C->LineTo(30, 7);
    EXPECT_EQ(At(5, 7), clRed);
}

TEST_F(CanvasTest, ClearPenFillsOnlyTheBrushAndClearBrushOnlyThePen)
{
    C->Pen()->SetStyle(psClear);
    C->Brush()->SetColor(clGreen);
    C->Rectangle(0, 0, 10, 10);
    // With no pen the fill is one pixel smaller at the right and bottom.
    EXPECT_EQ(Ink(), Rect(0, 0, 9, 9));
    EXPECT_EQ(At(0, 0), clGreen);

    C->Pen()->SetStyle(psSolid);
    C->Brush()->SetStyle(bsClear);
    C->Ellipse(20, 10, 30, 20);
    EXPECT_EQ(At(25, 15), clWhite);
    EXPECT_EQ(At(20, 15), clBlack);
}

TEST_F(CanvasTest, CurvedAndPolygonShapesFillInsideTheirOutline)
{
    C->Brush()->SetColor(clRed);
    C->Polygon({Point(0, 0), Point(10, 0), Point(0, 10)});
    EXPECT_EQ(At(0, 0), clBlack);
    EXPECT_EQ(At(2, 2), clRed);
    EXPECT_EQ(At(8, 8), clWhite);

    C->Brush()->SetColor(clLime);
    C->RoundRect(12, 0, 24, 12, 8, 8);
    EXPECT_EQ(At(12, 0), clWhite); // the corner is cut off
    EXPECT_EQ(At(18, 0), clBlack);
    EXPECT_EQ(At(18, 6), clLime);
    EXPECT_EQ(Ink().right, 24);

    // A pie from the right (3 o'clock) counter-clockwise to the top (12 o'clock): the upper
    // right quarter.
    C->Brush()->SetColor(clBlue);
    C->Pie(26, 0, 38, 12, 38, 6, 32, 0);
    EXPECT_EQ(At(34, 3), clBlue);
    EXPECT_EQ(At(29, 9), clWhite);
    EXPECT_EQ(At(34, 9), clWhite);

    // Flood fill of the white area inside the round rectangle's frame.
    C->Brush()->SetColor(clYellow);
    C->FloodFill(18, 6, clLime, fsSurface);
    EXPECT_EQ(At(18, 6), clYellow);
    EXPECT_EQ(At(18, 0), clBlack);
    EXPECT_EQ(At(12, 0), clWhite);

    // An arc draws only the outline.
    C->Arc(0, 14, 12, 26, 12, 20, 0, 20); // the upper half
    EXPECT_EQ(At(6, 14), clBlack);
    EXPECT_EQ(At(6, 20), clWhite);
    EXPECT_EQ(At(6, 25), clWhite);
}

TEST_F(CanvasTest, FillFrameAndFocusRectangles)
{
    C->Brush()->SetColor(clNavy);
    C->FillRect(Rect(1, 1, 5, 4));
    EXPECT_EQ(Ink(), Rect(1, 1, 5, 4));
    EXPECT_EQ(At(4, 3), clNavy);

    C->Brush()->SetColor(clMaroon);
    C->FrameRect(Rect(10, 10, 20, 16));
    EXPECT_EQ(At(10, 10), clMaroon);
    EXPECT_EQ(At(19, 15), clMaroon);
    EXPECT_EQ(At(15, 12), clWhite);
    EXPECT_EQ(At(20, 15), clWhite);

    // A focus rectangle drawn twice leaves nothing behind.
    C->Brush()->SetColor(clWhite);
    C->FillRect(Rect(0, 0, 40, 30));
    C->DrawFocusRect(Rect(5, 5, 25, 20));
    const TRect R = Ink();
    EXPECT_EQ(R, Rect(5, 5, 25, 20));
    C->DrawFocusRect(Rect(5, 5, 25, 20));
    EXPECT_EQ(Ink(), TRect{});
}

TEST_F(CanvasTest, TextLandsWhereTextWidthSaysAndMovesThePen)
{
    C->Font()->SetName("Arial");
    C->Font()->SetHeight(-13);
    C->Font()->SetColor(clBlack);
    C->Brush()->SetStyle(bsClear);
    const TSize Size = C->TextExtent("Hello");
    EXPECT_EQ(Size.cx, C->TextWidth("Hello"));
    EXPECT_GT(Size.cx, 15);
    EXPECT_GE(Size.cy, 13);
    EXPECT_EQ(C->TextWidth("HelloHello"), 2 * Size.cx); // no kerning
    C->TextOut(3, 4, "Hello");
    const TRect R = Ink();
    ASSERT_NE(R, TRect{});
    EXPECT_GE(R.left, 3);
    EXPECT_LE(R.right, 3 + Size.cx);
    EXPECT_GE(R.top, 4);
    EXPECT_LE(R.bottom, 4 + Size.cy);
    EXPECT_GT(R.right - R.left, Size.cx / 2);
    EXPECT_EQ(C->PenPos(), Point(3 + Size.cx, 4));
}

TEST_F(CanvasTest, TextRectClipsAndFillsWithTheBrush)
{
    C->Font()->SetName("Arial");
    C->Font()->SetHeight(-13);
    C->Font()->SetColor(clBlack);
    C->Brush()->SetColor(clYellow);
    C->TextRect(Rect(0, 0, 12, 20), 0, 0, "WWWWWWWW");
    EXPECT_EQ(Ink(), Rect(0, 0, 12, 20));
    int Dark = 0;
    for (int Y = 0; Y < 20; ++Y)
        for (int X = 0; X < 12; ++X)
            Dark += (At(X, Y) & 0xFF) < 0x80; // glyph edges are smoothed: count dark pixels
    EXPECT_GT(Dark, 5);
    EXPECT_EQ(At(11, 19), clYellow);
}

TEST_F(CanvasTest, AFontChangeIsSelectedForTheNextText)
{
    C->Brush()->SetStyle(bsClear);
    C->Font()->SetColor(clRed);
    C->TextOut(0, 0, "I");
    C->Font()->SetColor(clBlue);
    C->Font()->SetHeight(-20);
    C->TextOut(20, 0, "I");
    bool Red = false, Blue = false;
    int BlueBottom = 0, RedBottom = 0;
    for (int Y = 0; Y < 30; ++Y)
        for (int X = 0; X < 40; ++X) {
            // Smoothed glyph edges mix in the white: go by the dominant channel.
            const TColor P = At(X, Y);
            const int R = P & 0xFF, B = (P >> 16) & 0xFF, G = (P >> 8) & 0xFF;
            if (X < 20 && R > 0x80 && G < 0x80 && B < 0x80) {
                Red = true;
                RedBottom = Y;
            }
            if (X >= 20 && B > 0x80 && R < 0x80 && G < 0x80) {
                Blue = true;
                BlueBottom = Y;
            }
        }
    EXPECT_TRUE(Red);
    EXPECT_TRUE(Blue);
    EXPECT_GT(BlueBottom, RedBottom);
}

TEST_F(CanvasTest, PixelsTakeSystemAndPaletteRelativeColoursAsRGB)
{
    C->SetPixels(1, 1, clBtnFace);
    C->SetPixels(2, 1, PaletteRGB(10, 20, 30));
    C->SetPixels(3, 1, clRed);
    EXPECT_EQ(At(1, 1), 0xC0C0C0);
    EXPECT_EQ(At(2, 1), 0x1E140A);
    EXPECT_EQ(At(3, 1), clRed);
    EXPECT_EQ(At(-1, 1), static_cast<TColor>(CLR_INVALID));

    C->Brush()->SetColor(PaletteRGB(0, 128, 0));
    C->FillRect(Rect(10, 10, 12, 12));
    EXPECT_EQ(At(11, 11), 0x008000);
}

TEST_F(CanvasTest, DrawingCallsSignalChangingThenChanged)
{
    std::string Log;
    C->OnChanging = [&](TObject*) { Log += "<"; };
    C->OnChange = [&](TObject*) { Log += ">"; };
    C->Rectangle(0, 0, 5, 5);
    C->TextOut(0, 0, "x");
    C->SetPixels(1, 1, clRed);
    EXPECT_EQ(Log, "<><><>");
    Log.clear();
    (void)C->Pixels(1, 1);
    (void)C->TextWidth("abc");
    EXPECT_EQ(Log, "");
}

TEST_F(CanvasTest, CopyRectUsesTheCopyMode)
{
    TBitmap Src(4, 4);
    Src.Canvas()->Brush()->SetColor(clRed);
    Src.Canvas()->FillRect(Rect(0, 0, 4, 4));
    C->Brush()->SetColor(clBlue);
    C->FillRect(Rect(0, 0, 4, 4));
    C->SetCopyMode(cmSrcPaint);
    C->CopyRect(Rect(0, 0, 4, 4), Src.Canvas(), Rect(0, 0, 4, 4));
    EXPECT_EQ(At(1, 1), clFuchsia);
    C->SetCopyMode(cmNotSrcCopy);
    C->CopyRect(Rect(10, 10, 18, 18), Src.Canvas(), Rect(0, 0, 4, 4)); // stretched twice
    EXPECT_EQ(At(10, 10), 0xFFFF00);
    EXPECT_EQ(At(17, 17), 0xFFFF00);
    EXPECT_EQ(At(18, 18), clWhite);
}

TEST_F(CanvasTest, LockCountsNestedLocks)
{
    C->Lock();
    C->Lock();
    EXPECT_EQ(C->LockCount(), 2);
    EXPECT_TRUE(C->TryLock());
    C->Unlock();
    C->Unlock();
    C->Unlock();
    EXPECT_EQ(C->LockCount(), 0);
}

TEST(CanvasOnForeignDCTest, DrawsIntoTheDCAndGivesItsObjectsBack)
{
    HDC DC = CreateCompatibleDC(nullptr);
    HBITMAP Bmp = CreateBitmap(10, 10, 1, 32, nullptr);
    HGDIOBJ OldBmp = SelectObject(DC, Bmp);
    RECT All{0, 0, 10, 10};
    FillRect(DC, &All, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    HGDIOBJ OwnBrush = GetCurrentObject(DC, OBJ_BRUSH);
    HGDIOBJ OwnPen = GetCurrentObject(DC, OBJ_PEN);
    HGDIOBJ OwnFont = GetCurrentObject(DC, OBJ_FONT);
    {
        TCanvas C;
        EXPECT_THROW(C.Rectangle(0, 0, 2, 2), EInvalidOperation);
        C.SetHandle(DC);
        C.Brush()->SetColor(clLime);
        C.Pen()->SetColor(clRed);
        C.Rectangle(0, 0, 6, 6);
        EXPECT_EQ(GetPixel(DC, 3, 3) & 0xFFFFFF, 0x00FF00u);
        EXPECT_EQ(GetPixel(DC, 5, 3) & 0xFFFFFF, 0x0000FFu);
        C.TextOut(0, 0, "a");
        EXPECT_EQ(GetCurrentObject(DC, OBJ_BRUSH), C.Brush()->Handle());
        C.Refresh(); // takes the objects out until the next drawing call
        EXPECT_EQ(GetCurrentObject(DC, OBJ_BRUSH), OwnBrush);
        C.FillRect(Rect(0, 0, 1, 1));
        EXPECT_EQ(GetCurrentObject(DC, OBJ_BRUSH), C.Brush()->Handle());
        C.SetHandle(nullptr);
        EXPECT_EQ(GetCurrentObject(DC, OBJ_BRUSH), OwnBrush);
        EXPECT_EQ(GetCurrentObject(DC, OBJ_PEN), OwnPen);
        EXPECT_EQ(GetCurrentObject(DC, OBJ_FONT), OwnFont);
        // Back on the DC, the canvas selects its objects again.
        C.SetHandle(DC);
        C.FillRect(Rect(8, 8, 10, 10));
        EXPECT_EQ(GetPixel(DC, 9, 9) & 0xFFFFFF, 0x00FF00u);
    } // the canvas leaves the DC alone when it goes
    EXPECT_EQ(GetCurrentObject(DC, OBJ_BRUSH), OwnBrush);
    SelectObject(DC, OldBmp);
    DeleteObject(Bmp);
    DeleteDC(DC);
}

} // namespace
