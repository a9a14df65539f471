// Pixel coverage of lines and shapes, clipping and coordinate origins, regions, 3-D edges, the
// system colour table, palettes, DIB round trips and handle lifetimes.
#include "platform/graphics/WinGdi.h"
#include "platform/graphics/tests/GdiTestUtil.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const COLORREF White = RGB(255, 255, 255);
const COLORREF Black = RGB(0, 0, 0);
const COLORREF Red = RGB(255, 0, 0);

TEST(Lines, LineToExcludesTheEndPointAndMovesThePosition)
{
    TTestSurface S(8, 3);
    MoveToEx(S.Dc, 1, 1, nullptr);
    ASSERT_TRUE(LineTo(S.Dc, 6, 1));
    EXPECT_EQ(S.Row(1), ".#####..");
    POINT P;
    GetCurrentPositionEx(S.Dc, &P);
    EXPECT_EQ(P.x, 6);
    LineTo(S.Dc, 6, 3); // continues from the end point, which it now draws
    EXPECT_EQ(S.Row(1), ".######.");
    EXPECT_EQ(S.Row(2), "......#.");
}

TEST(Lines, PolylineAndDiagonals)
{
    TTestSurface S(5, 5);
    const POINT Pts[] = {{0, 0}, {4, 4}, {4, 0}};
    ASSERT_TRUE(Polyline(S.Dc, Pts, 3));
    EXPECT_EQ(S.Row(0), "#....");
    EXPECT_EQ(S.Row(1), ".#..#");
    EXPECT_EQ(S.Row(3), "...##");
    EXPECT_EQ(S.Row(4), "....#");
}

TEST(Lines, XorPenDrawnTwiceRestores)
{
    TTestSurface S(10, 10, false, RGB(30, 60, 90));
    for (int Mode : {R2_XORPEN, R2_NOT, R2_NOTXORPEN}) {
        HPEN Pen = CreatePen(PS_SOLID, 1, RGB(200, 100, 50));
        HGDIOBJ Old = SelectObject(S.Dc, Pen);
        SetROP2(S.Dc, Mode);
        SelectObject(S.Dc, GetStockObject(NULL_BRUSH));
        for (int Pass = 0; Pass < 2; ++Pass) {
            Rectangle(S.Dc, 1, 1, 9, 7);
            if (Pass == 0)
                EXPECT_NE(S.At(1, 1), RGB(30, 60, 90)) << Mode;
        }
        EXPECT_EQ(S.Count(RGB(30, 60, 90)), 100) << Mode;
        SelectObject(S.Dc, Old);
        DeleteObject(Pen);
    }
    SetROP2(S.Dc, R2_XORPEN);
    HPEN Pen = CreatePen(PS_SOLID, 1, White);
    SelectObject(S.Dc, Pen);
    MoveToEx(S.Dc, 0, 0, nullptr);
    LineTo(S.Dc, 1, 0);
    EXPECT_EQ(S.At(0, 0), RGB(255 - 30, 255 - 60, 255 - 90));
    SelectObject(S.Dc, GetStockObject(BLACK_PEN));
    DeleteObject(Pen);
}

TEST(Lines, EveryBinaryRasterOperation)
{
    // Table bit (pen << 1 | destination) of mode - 1 gives the result, per bit of the colour.
    const COLORREF Pens[2] = {Black, White};
    for (int Mode = R2_BLACK; Mode <= R2_WHITE; ++Mode) {
        std::string Got, Want;
        for (int P = 0; P < 2; ++P) {
            TTestSurface S(2, 1);
            S.Set(0, 0, Black);
            HPEN Pen = CreatePen(PS_SOLID, 1, Pens[P]);
            SelectObject(S.Dc, Pen);
            SetROP2(S.Dc, Mode);
            MoveToEx(S.Dc, 0, 0, nullptr);
            LineTo(S.Dc, 2, 0);
            for (int D = 0; D < 2; ++D) {
                Want += ((Mode - 1) >> (P << 1 | D)) & 1 ? '1' : '0';
                const COLORREF C = S.At(D, 0); // pixel 0 was black, pixel 1 white
                Got += C == White ? '1' : C == Black ? '0' : '?';
            }
            SelectObject(S.Dc, GetStockObject(BLACK_PEN));
            DeleteObject(Pen);
        }
        EXPECT_EQ(Got, Want) << "mode " << Mode;
    }
}

TEST(Lines, DottedPenGapsTakeTheBackgroundWhenOpaque)
{
    TTestSurface S(12, 1, false, RGB(0, 255, 0));
    HPEN Pen = CreatePen(PS_DOT, 1, Black);
    SelectObject(S.Dc, Pen);
    SetBkMode(S.Dc, TRANSPARENT);
    MoveToEx(S.Dc, 0, 0, nullptr);
    LineTo(S.Dc, 12, 0);
    EXPECT_EQ(S.Row(0), "###...###...");
    EXPECT_EQ(S.Count(RGB(0, 255, 0)), 6);
    SetBkMode(S.Dc, OPAQUE);
    MoveToEx(S.Dc, 0, 0, nullptr);
    LineTo(S.Dc, 12, 0);
    EXPECT_EQ(S.Count(White), 6);
    SelectObject(S.Dc, GetStockObject(BLACK_PEN));
    DeleteObject(Pen);
}

TEST(Shapes, RectangleCoverage)
{
    TTestSurface S(8, 6);
    HBRUSH Brush = CreateSolidBrush(Red);
    SelectObject(S.Dc, Brush);
    ASSERT_TRUE(Rectangle(S.Dc, 1, 1, 6, 5));
    EXPECT_EQ(S.Row(0), "........");
    EXPECT_EQ(S.Row(1), ".#####..");
    EXPECT_EQ(S.Row(2), ".#...#..");
    EXPECT_EQ(S.Row(4), ".#####..");
    EXPECT_EQ(S.Row(5), "........");
    EXPECT_EQ(S.Row(2, Red), "..###...");

    // Without a pen the filled area is one pixel smaller at the right and bottom.
    S.Clear(White);
    SelectObject(S.Dc, GetStockObject(NULL_PEN));
    Rectangle(S.Dc, 1, 1, 6, 5);
    EXPECT_EQ(S.Row(1, Red), ".####...");
    EXPECT_EQ(S.Row(3, Red), ".####...");
    EXPECT_EQ(S.Row(4, Red), "........");
    SelectObject(S.Dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(Brush);
}

TEST(Shapes, WidePensCentreOnTheOutlineUnlessInsideFrame)
{
    TTestSurface S(12, 12);
    SelectObject(S.Dc, GetStockObject(NULL_BRUSH));
    HPEN Wide = CreatePen(PS_SOLID, 3, Black);
    SelectObject(S.Dc, Wide);
    Rectangle(S.Dc, 2, 2, 10, 10);
    RECT Box = S.InkBox();
    EXPECT_EQ(Box.left, 1);
    EXPECT_EQ(Box.right, 11);
    EXPECT_EQ(S.Row(5), ".###....###.");
    S.Clear(White);
    HPEN Inside = CreatePen(PS_INSIDEFRAME, 3, Black);
    SelectObject(S.Dc, Inside);
    Rectangle(S.Dc, 2, 2, 10, 10);
    Box = S.InkBox();
    EXPECT_EQ(Box.left, 2);
    EXPECT_EQ(Box.top, 2);
    EXPECT_EQ(Box.right, 10);
    EXPECT_EQ(Box.bottom, 10);
    SelectObject(S.Dc, GetStockObject(BLACK_PEN));
    DeleteObject(Wide);
    DeleteObject(Inside);
}

TEST(Shapes, EllipseStaysInsideItsBounds)
{
    TTestSurface S(20, 20);
    HBRUSH Brush = CreateSolidBrush(Red);
    SelectObject(S.Dc, Brush);
    ASSERT_TRUE(Ellipse(S.Dc, 2, 3, 18, 15));
    const RECT Box = S.InkBox();
    EXPECT_EQ(Box.left, 2);
    EXPECT_EQ(Box.top, 3);
    EXPECT_EQ(Box.right, 18);
    EXPECT_EQ(Box.bottom, 15);
    EXPECT_EQ(S.At(10, 9), Red);  // centre: brush
    EXPECT_EQ(S.At(2, 9), Black); // left extreme: pen
    EXPECT_EQ(S.At(2, 3), White); // corner: outside
    SelectObject(S.Dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(Brush);
}

TEST(Shapes, PolygonFillAndPieSlices)
{
    TTestSurface S(12, 12);
    HBRUSH Brush = CreateSolidBrush(Red);
    SelectObject(S.Dc, Brush);
    const POINT Tri[] = {{1, 1}, {10, 1}, {1, 10}};
    ASSERT_TRUE(Polygon(S.Dc, Tri, 3));
    EXPECT_EQ(S.At(1, 1), Black);
    EXPECT_EQ(S.At(3, 3), Red);
    EXPECT_EQ(S.At(9, 9), White);
    S.Clear(White);
    // The top-right quarter of a circle, counter-clockwise from 3 o'clock to 12.
    ASSERT_TRUE(Pie(S.Dc, 0, 0, 12, 12, 12, 6, 6, 0));
    EXPECT_EQ(S.At(8, 3), Red);
    EXPECT_EQ(S.At(3, 8), White);
    EXPECT_EQ(S.At(3, 3), White);
    SelectObject(S.Dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(Brush);
}

TEST(Clip, ViewportAndWindowOriginsMoveDrawing)
{
    TTestSurface S(10, 10);
    SetViewportOrgEx(S.Dc, 5, 4, nullptr);
    RECT R{0, 0, 2, 1};
    FillRect(S.Dc, &R, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(S.Row(4), ".....##...");
    SetWindowOrgEx(S.Dc, 5, 0, nullptr); // logical (5,0) is now device (5,4)
    EXPECT_EQ(GetPixel(S.Dc, 5, 0), Black);
    POINT P{6, 1};
    LPtoDP(S.Dc, &P, 1);
    EXPECT_EQ(P.x, 6);
    EXPECT_EQ(P.y, 5);
    POINT Org;
    GetViewportOrgEx(S.Dc, &Org);
    EXPECT_EQ(Org.x, 5);
}

TEST(Clip, ScalingMapModes)
{
    TTestSurface S(60, 60);
    EXPECT_EQ(SetMapMode(S.Dc, MM_ANISOTROPIC), MM_TEXT);
    SetWindowExtEx(S.Dc, 100, 100, nullptr);
    SetViewportExtEx(S.Dc, 50, 25, nullptr);
    POINT P{100, 100};
    LPtoDP(S.Dc, &P, 1);
    EXPECT_EQ(P.x, 50);
    EXPECT_EQ(P.y, 25);
    DPtoLP(S.Dc, &P, 1);
    EXPECT_EQ(P.x, 100);
    RECT R{0, 0, 100, 100};
    FillRect(S.Dc, &R, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    const RECT Ink = S.InkBox();
    EXPECT_EQ(Ink.right, 50);
    EXPECT_EQ(Ink.bottom, 25);
    // The metric modes put y upwards: 1 mm (10 units) at 96 dpi is about 4 pixels.
    SetMapMode(S.Dc, MM_LOMETRIC);
    POINT M{254, -254};
    LPtoDP(S.Dc, &M, 1);
    EXPECT_EQ(M.x, 96);
    EXPECT_EQ(M.y, 96);
    SetMapMode(S.Dc, MM_ISOTROPIC);
    SetWindowExtEx(S.Dc, 10, 10, nullptr);
    SetViewportExtEx(S.Dc, 40, 20, nullptr); // the smaller scale wins on both axes
    SIZE V;
    GetViewportExtEx(S.Dc, &V);
    EXPECT_EQ(V.cx, 20);
    EXPECT_EQ(V.cy, 20);
}

TEST(Clip, RectanglesRegionsAndClipBox)
{
    TTestSurface S(10, 10);
    RECT Box;
    EXPECT_EQ(GetClipBox(S.Dc, &Box), SIMPLEREGION);
    EXPECT_EQ(Box.right, 10);
    EXPECT_EQ(IntersectClipRect(S.Dc, 2, 2, 8, 8), SIMPLEREGION);
    EXPECT_EQ(ExcludeClipRect(S.Dc, 4, 4, 6, 6), COMPLEXREGION);
    RECT All{0, 0, 10, 10};
    FillRect(S.Dc, &All, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(S.Row(1), "..........");
    EXPECT_EQ(S.Row(2), "..######..");
    EXPECT_EQ(S.Row(4), "..##..##..");
    GetClipBox(S.Dc, &Box);
    EXPECT_EQ(Box.left, 2);
    EXPECT_EQ(Box.bottom, 8);
    EXPECT_FALSE(PtVisible(S.Dc, 5, 5));
    EXPECT_TRUE(PtVisible(S.Dc, 3, 3));

    // SelectClipRgn takes device coordinates: the viewport origin does not move it, but the
    // clip box comes back in logical ones.
    S.Clear(White);
    SetViewportOrgEx(S.Dc, 3, 0, nullptr);
    HRGN Rgn = CreateRectRgn(0, 0, 2, 10);
    EXPECT_EQ(SelectClipRgn(S.Dc, Rgn), SIMPLEREGION);
    DeleteObject(Rgn); // the DC keeps its own copy
    RECT Wide{-3, 0, 7, 10};
    FillRect(S.Dc, &Wide, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(S.Row(0), "##........");
    GetClipBox(S.Dc, &Box);
    EXPECT_EQ(Box.left, -3);
    EXPECT_EQ(Box.right, -1);
    SelectClipRgn(S.Dc, nullptr);
    EXPECT_EQ(GetPixel(S.Dc, 3, 0), White); // device (6,0): no longer clipped, never drawn
}

TEST(Clip, SaveAndRestoreTheState)
{
    TTestSurface S(4, 4);
    SetTextColor(S.Dc, Red);
    const int Level = SaveDC(S.Dc);
    EXPECT_EQ(Level, 1);
    SetTextColor(S.Dc, Black);
    IntersectClipRect(S.Dc, 0, 0, 1, 1);
    HPEN Pen = CreatePen(PS_SOLID, 1, Red);
    SelectObject(S.Dc, Pen);
    EXPECT_TRUE(DeleteObject(Pen)); // still selected: freed once nothing holds it
    EXPECT_EQ(SaveDC(S.Dc), 2);
    EXPECT_TRUE(RestoreDC(S.Dc, -1));
    EXPECT_TRUE(RestoreDC(S.Dc, Level));
    EXPECT_EQ(GetTextColor(S.Dc), Red);
    RECT Box;
    GetClipBox(S.Dc, &Box);
    EXPECT_EQ(Box.right, 4);
    EXPECT_EQ(GetCurrentObject(S.Dc, OBJ_PEN), GetStockObject(BLACK_PEN));
    EXPECT_EQ(GetObjectType(Pen), 0u); // gone now
    EXPECT_FALSE(RestoreDC(S.Dc, 1));
}

TEST(Regions, HitTestsInsideAndOutside)
{
    HRGN Rect = CreateRectRgn(10, 10, 20, 20);
    HRGN Ellipse = CreateEllipticRgn(0, 0, 40, 20);
    const POINT Tri[] = {{0, 0}, {30, 0}, {0, 30}};
    HRGN Poly = CreatePolygonRgn(Tri, 3, ALTERNATE);
    struct {
        HRGN R;
        int X, Y;
        bool In;
    } Cases[] = {
        {Rect, 10, 10, true},    {Rect, 19, 19, true},   {Rect, 20, 15, false},  {Rect, 5, 5, false},
        {Ellipse, 20, 10, true}, {Ellipse, 2, 10, true}, {Ellipse, 1, 1, false}, {Ellipse, 39, 19, false},
        {Poly, 5, 5, true},      {Poly, 20, 20, false},  {Poly, 28, 1, true},    {Poly, -1, 5, false},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(bool(PtInRegion(C.R, C.X, C.Y)), C.In) << C.X << "," << C.Y;

    HRGN Out = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(CombineRgn(Out, Rect, Ellipse, RGN_AND), COMPLEXREGION); // the ellipse cuts the corners
    EXPECT_TRUE(PtInRegion(Out, 15, 15));
    EXPECT_FALSE(PtInRegion(Out, 10, 19));
    EXPECT_EQ(CombineRgn(Out, Ellipse, Rect, RGN_DIFF), COMPLEXREGION);
    EXPECT_FALSE(PtInRegion(Out, 15, 15));
    EXPECT_TRUE(PtInRegion(Out, 25, 10));
    EXPECT_EQ(CombineRgn(Out, Rect, Rect, RGN_XOR), NULLREGION);
    EXPECT_EQ(CombineRgn(Out, Rect, nullptr, RGN_COPY), SIMPLEREGION);
    EXPECT_EQ(OffsetRgn(Out, 5, -10), SIMPLEREGION);
    RECT Box;
    GetRgnBox(Out, &Box);
    EXPECT_EQ(Box.left, 15);
    EXPECT_EQ(Box.top, 0);
    EXPECT_EQ(Box.right, 25);
    EXPECT_EQ(CombineRgn(Out, Rect, nullptr, RGN_OR), ERROR);
    for (HRGN R : {Rect, Ellipse, Poly, Out})
        DeleteObject(R);
}

TEST(Regions, FillAndFrame)
{
    TTestSurface S(6, 5);
    HRGN R = CreateRectRgn(1, 1, 5, 4);
    HBRUSH B = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    ASSERT_TRUE(FrameRgn(S.Dc, R, B, 1, 1));
    EXPECT_EQ(S.Row(1), ".####.");
    EXPECT_EQ(S.Row(2), ".#..#.");
    ASSERT_TRUE(FillRgn(S.Dc, R, B));
    EXPECT_EQ(S.Row(2), ".####.");
    ASSERT_TRUE(InvertRgn(S.Dc, R));
    EXPECT_EQ(S.Count(White), 30);
    DeleteObject(R);
}

TEST(Frames, FocusRectIsAnXorOfDots)
{
    TTestSurface S(6, 4);
    RECT R{0, 0, 6, 4};
    ASSERT_TRUE(DrawFocusRect(S.Dc, &R));
    EXPECT_EQ(S.Row(0), "#.#.#.");
    EXPECT_EQ(S.Row(1), ".....#");
    DrawFocusRect(S.Dc, &R);
    EXPECT_EQ(S.Count(White), 24);
}

TEST(Frames, RaisedEdgeUsesTheClassicColours)
{
    TTestSurface S(6, 6, false, RGB(1, 2, 3));
    RECT R{0, 0, 6, 6};
    ASSERT_TRUE(DrawEdge(S.Dc, &R, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST));
    EXPECT_EQ(S.At(0, 0), GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(S.At(5, 5), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(S.At(5, 0), GetSysColor(COLOR_3DDKSHADOW)); // the shadow owns the far corners
    EXPECT_EQ(S.At(1, 1), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(S.At(4, 4), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(S.At(2, 2), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(R.left, 2);
    EXPECT_EQ(R.right, 4);
    RECT Sunken{0, 0, 6, 6};
    DrawEdge(S.Dc, &Sunken, EDGE_SUNKEN, BF_RECT);
    EXPECT_EQ(S.At(0, 0), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(S.At(1, 1), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(S.At(5, 5), GetSysColor(COLOR_BTNHIGHLIGHT));
}

TEST(Frames, FrameControlsDrawSomething)
{
    TTestSurface S(16, 16, false, RGB(1, 2, 3));
    const struct {
        UINT Type, State;
    } Cases[] = {{DFC_BUTTON, DFCS_BUTTONPUSH},
                 {DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED},
                 {DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED},
                 {DFC_CAPTION, DFCS_CAPTIONCLOSE},
                 {DFC_SCROLL, DFCS_SCROLLDOWN},
                 {DFC_MENU, DFCS_MENUCHECK}};
    for (const auto& C : Cases) {
        S.Clear(RGB(1, 2, 3));
        RECT R{0, 0, 16, 16};
        ASSERT_TRUE(DrawFrameControl(S.Dc, &R, C.Type, C.State));
        EXPECT_LT(S.Count(RGB(1, 2, 3)), 200) << C.Type << "/" << C.State;
    }
    // A checked box shows its mark in the window text colour on the window colour.
    S.Clear(RGB(1, 2, 3));
    RECT R{0, 0, 13, 13};
    DrawFrameControl(S.Dc, &R, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
    EXPECT_EQ(S.At(0, 0), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_GT(S.Count(GetSysColor(COLOR_WINDOW)), 20);
    EXPECT_GT(S.Count(GetSysColor(COLOR_WINDOWTEXT)), 10);
}

TEST(SysColors, OneFixedClassicTable)
{
    const struct {
        int Index;
        COLORREF Want;
    } Cases[] = {
        {COLOR_BTNFACE, RGB(192, 192, 192)},
        {COLOR_BTNSHADOW, RGB(128, 128, 128)},
        {COLOR_BTNHIGHLIGHT, White},
        {COLOR_WINDOW, White},
        {COLOR_WINDOWTEXT, Black},
        {COLOR_HIGHLIGHT, RGB(0, 0, 128)},
        {COLOR_HIGHLIGHTTEXT, White},
        {COLOR_INFOBK, RGB(255, 255, 225)},
        {COLOR_GRAYTEXT, RGB(128, 128, 128)},
        {COLOR_3DDKSHADOW, Black},
        {COLOR_APPWORKSPACE, RGB(128, 128, 128)},
        {COLOR_ACTIVECAPTION, RGB(0, 0, 128)},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(GetSysColor(C.Index), C.Want) << C.Index;
    EXPECT_EQ(GetSysColor(-1), 0u);
    EXPECT_EQ(GetSysColorBrush(99), nullptr);
    // Brushes of the table, and the (COLOR_xxx + 1) form FillRect accepts.
    TTestSurface S(2, 1);
    RECT R{0, 1 - 1, 1, 1};
    FillRect(S.Dc, &R, GetSysColorBrush(COLOR_HIGHLIGHT));
    RECT R2{1, 0, 2, 1};
    FillRect(S.Dc, &R2, reinterpret_cast<HBRUSH>(std::intptr_t(COLOR_BTNFACE + 1)));
    EXPECT_EQ(S.At(0, 0), RGB(0, 0, 128));
    EXPECT_EQ(S.At(1, 0), RGB(192, 192, 192));
    EXPECT_TRUE(DeleteObject(GetSysColorBrush(COLOR_HIGHLIGHT))); // ignored
    FillRect(S.Dc, &R, GetSysColorBrush(COLOR_HIGHLIGHT));
    EXPECT_EQ(S.At(0, 0), RGB(0, 0, 128));
}

TEST(Palettes, PlainDataAndPaletteIndexColours)
{
    std::vector<unsigned char> Buf(sizeof(LOGPALETTE) + 3 * sizeof(PALETTEENTRY));
    auto* Lp = reinterpret_cast<LOGPALETTE*>(Buf.data());
    Lp->palVersion = 0x300;
    Lp->palNumEntries = 3;
    Lp->palPalEntry[0] = PALETTEENTRY{255, 0, 0, 0};
    Lp->palPalEntry[1] = PALETTEENTRY{0, 255, 0, 0};
    Lp->palPalEntry[2] = PALETTEENTRY{0, 0, 250, 0};
    HPALETTE Pal = CreatePalette(Lp);
    ASSERT_NE(Pal, nullptr);
    EXPECT_EQ(GetNearestPaletteIndex(Pal, RGB(10, 10, 200)), 2u);
    WORD Count = 0;
    EXPECT_EQ(GetObject(Pal, sizeof Count, &Count), 2);
    EXPECT_EQ(Count, 3);
    PALETTEENTRY E[3];
    EXPECT_EQ(GetPaletteEntries(Pal, 1, 5, E), 2u);
    EXPECT_EQ(E[0].peGreen, 255);
    TTestSurface S(1, 1);
    SelectPalette(S.Dc, Pal, FALSE);
    EXPECT_EQ(RealizePalette(S.Dc), 0u);
    SetPixel(S.Dc, 0, 0, PALETTEINDEX(2));
    EXPECT_EQ(S.At(0, 0), RGB(0, 0, 250));
    SetPixel(S.Dc, 0, 0, PALETTERGB(1, 2, 3));
    EXPECT_EQ(S.At(0, 0), RGB(1, 2, 3));
    SelectPalette(S.Dc, static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), FALSE);
    DeleteObject(Pal);
    PALETTEENTRY Sys[256];
    EXPECT_EQ(GetSystemPaletteEntries(S.Dc, 0, 256, Sys), 256u);
    EXPECT_EQ(Sys[255].peRed, 255);
    EXPECT_EQ(Sys[7].peRed, 192);
}

TEST(DeviceCaps, FixedResolutionAndTrueColour)
{
    HDC Dc = CreateCompatibleDC(nullptr);
    SelectObject(Dc, GetStockObject(BLACK_BRUSH));
    EXPECT_EQ(GetDeviceCaps(nullptr, LOGPIXELSX), 96);
    EXPECT_EQ(GetDeviceCaps(nullptr, LOGPIXELSY), 96);
    EXPECT_EQ(GetDeviceCaps(nullptr, BITSPIXEL), 24);
    EXPECT_EQ(GetDeviceCaps(nullptr, PLANES), 1);
    EXPECT_EQ(GetDeviceCaps(nullptr, SIZEPALETTE), 0);
    EXPECT_EQ(GetDeviceCaps(nullptr, RASTERCAPS) & RC_PALETTE, 0);
    EXPECT_NE(GetDeviceCaps(nullptr, RASTERCAPS) & RC_STRETCHBLT, 0);
    EXPECT_GT(GetDeviceCaps(nullptr, HORZRES), 0);
    EXPECT_EQ(GetDeviceCaps(Dc, BITSPIXEL), 1); // still holding its 1x1 monochrome bitmap
    DeleteDC(Dc);
}

TEST(Dibs, RoundTripsAt24And1BitsPerPixel)
{
    TTestSurface S(3, 2);
    S.Set(0, 0, RGB(1, 2, 3));
    S.Set(2, 1, RGB(200, 100, 50));
    std::vector<unsigned char> Info(sizeof(BITMAPINFOHEADER) + 256 * 4);
    auto* Bi = reinterpret_cast<BITMAPINFO*>(Info.data());
    Bi->bmiHeader = BITMAPINFOHEADER();
    Bi->bmiHeader.biBitCount = 0;
    EXPECT_EQ(GetDIBits(S.Dc, S.Bitmap, 0, 2, nullptr, Bi, DIB_RGB_COLORS), 2);
    EXPECT_EQ(Bi->bmiHeader.biWidth, 3);
    EXPECT_EQ(Bi->bmiHeader.biBitCount, 24);
    Bi->bmiHeader.biBitCount = 24;
    std::vector<unsigned char> Bits(12 * 2);
    ASSERT_EQ(GetDIBits(S.Dc, S.Bitmap, 0, 2, Bits.data(), Bi, DIB_RGB_COLORS), 2);
    // Bottom-up: the first row in the buffer is the bitmap's last.
    EXPECT_EQ(Bits[6], 50);
    EXPECT_EQ(Bits[8], 200);
    EXPECT_EQ(Bits[12 + 0], 3);
    HBITMAP Copy = CreateDIBitmap(nullptr, &Bi->bmiHeader, CBM_INIT, Bits.data(), Bi, DIB_RGB_COLORS);
    HDC Mem = CreateCompatibleDC(nullptr);
    SelectObject(Mem, Copy);
    EXPECT_EQ(GetPixel(Mem, 0, 0), RGB(1, 2, 3));
    EXPECT_EQ(GetPixel(Mem, 2, 1), RGB(200, 100, 50));
    // StretchDIBits counts the source y from the bottom of a bottom-up DIB.
    TTestSurface D(1, 1);
    ASSERT_EQ(StretchDIBits(D.Dc, 0, 0, 1, 1, 2, 0, 1, 1, Bits.data(), Bi, DIB_RGB_COLORS, SRCCOPY), 1);
    EXPECT_EQ(D.At(0, 0), RGB(200, 100, 50));
    DeleteDC(Mem);
    DeleteObject(Copy);

    // A monochrome bitmap from packed 16-bit rows, read back as a 1-bit DIB.
    const unsigned char Mono[] = {0xA0, 0x00, 0x40, 0x00};
    HBITMAP M = CreateBitmap(3, 2, 1, 1, Mono);
    Bi->bmiHeader = BITMAPINFOHEADER();
    Bi->bmiHeader.biWidth = 3;
    Bi->bmiHeader.biHeight = -2; // top-down
    Bi->bmiHeader.biBitCount = 1;
    unsigned char Out[8] = {};
    ASSERT_EQ(GetDIBits(S.Dc, M, 0, 2, Out, Bi, DIB_RGB_COLORS), 2);
    EXPECT_EQ(Out[0], 0xA0);
    EXPECT_EQ(Out[4], 0x40);
    EXPECT_EQ(Bi->bmiColors[1].rgbRed, 255);
    unsigned char Back[4] = {};
    EXPECT_EQ(GetBitmapBits(M, 4, Back), 4);
    EXPECT_EQ(Back[0], 0xA0);
    DeleteObject(M);
}

TEST(Dibs, PaletteAndTrueColourLayouts)
{
    TTestSurface S(3, 1);
    std::vector<unsigned char> Info(sizeof(BITMAPINFOHEADER) + 16 * 4);
    auto* Bi = reinterpret_cast<BITMAPINFO*>(Info.data());
    Bi->bmiHeader = BITMAPINFOHEADER();
    Bi->bmiHeader.biWidth = 3;
    Bi->bmiHeader.biHeight = 1;
    // 8 bits per pixel through a two-entry colour table.
    Bi->bmiHeader.biBitCount = 8;
    Bi->bmiHeader.biClrUsed = 2;
    Bi->bmiColors[0] = RGBQUAD{255, 0, 0, 0};       // blue
    (&Bi->bmiColors[0])[1] = RGBQUAD{0, 0, 255, 0}; // red
    const unsigned char Eight[4] = {1, 0, 1, 0};
    ASSERT_EQ(SetDIBits(S.Dc, S.Bitmap, 0, 1, Eight, Bi, DIB_RGB_COLORS), 1);
    EXPECT_EQ(S.At(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(S.At(1, 0), RGB(0, 0, 255));
    // 4 bits: high nibble first.
    Bi->bmiHeader.biBitCount = 4;
    const unsigned char Four[4] = {0x01, 0x10, 0, 0};
    ASSERT_EQ(SetDIBits(S.Dc, S.Bitmap, 0, 1, Four, Bi, DIB_RGB_COLORS), 1);
    EXPECT_EQ(S.At(0, 0), RGB(0, 0, 255));
    EXPECT_EQ(S.At(1, 0), RGB(255, 0, 0));
    EXPECT_EQ(S.At(2, 0), RGB(255, 0, 0));
    // 32 bits: B, G, R, unused.
    Bi->bmiHeader.biBitCount = 32;
    Bi->bmiHeader.biClrUsed = 0;
    const unsigned char ThirtyTwo[12] = {1, 2, 3, 99, 4, 5, 6, 99, 7, 8, 9, 99};
    ASSERT_EQ(SetDIBits(S.Dc, S.Bitmap, 0, 1, ThirtyTwo, Bi, DIB_RGB_COLORS), 1);
    EXPECT_EQ(S.At(2, 0), RGB(9, 8, 7));
    unsigned char Back[12] = {};
    ASSERT_EQ(GetDIBits(S.Dc, S.Bitmap, 0, 1, Back, Bi, DIB_RGB_COLORS), 1);
    EXPECT_EQ(Back[4], 4);
    EXPECT_EQ(Back[7], 0);
    // 16 bits, 5-5-5.
    Bi->bmiHeader.biBitCount = 16;
    const unsigned char Sixteen[8] = {0x1F, 0x00, 0x00, 0x7C, 0xE0, 0x03, 0, 0};
    ASSERT_EQ(SetDIBits(S.Dc, S.Bitmap, 0, 1, Sixteen, Bi, DIB_RGB_COLORS), 1);
    EXPECT_EQ(S.At(0, 0), RGB(0, 0, 255));
    EXPECT_EQ(S.At(1, 0), RGB(255, 0, 0));
    EXPECT_EQ(S.At(2, 0), RGB(0, 255, 0));
}

TEST(Dibs, BadHeadersAreRefused)
{
    BITMAPINFO Bi;
    Bi.bmiHeader.biWidth = -5;
    Bi.bmiHeader.biHeight = 3;
    Bi.bmiHeader.biBitCount = 24;
    unsigned char Bits[64] = {};
    TTestSurface D(2, 2);
    EXPECT_EQ(StretchDIBits(D.Dc, 0, 0, 1, 1, 0, 0, 1, 1, Bits, &Bi, DIB_RGB_COLORS, SRCCOPY), 0);
    Bi.bmiHeader.biWidth = 2;
    Bi.bmiHeader.biBitCount = 7;
    EXPECT_EQ(StretchDIBits(D.Dc, 0, 0, 1, 1, 0, 0, 1, 1, Bits, &Bi, DIB_RGB_COLORS, SRCCOPY), 0);
    Bi.bmiHeader.biBitCount = 8;
    Bi.bmiHeader.biCompression = BI_RLE8;
    EXPECT_EQ(SetDIBits(D.Dc, D.Bitmap, 0, 1, Bits, &Bi, DIB_RGB_COLORS), 0);
    EXPECT_EQ(CreateBitmap(100000, 100000, 1, 24, nullptr), nullptr);
}

TEST(Handles, GetObjectDescribesEachKind)
{
    HPEN Pen = CreatePen(PS_DASH, 1, Red);
    LOGPEN Lp;
    ASSERT_EQ(GetObject(Pen, sizeof Lp, &Lp), int(sizeof Lp));
    EXPECT_EQ(Lp.lopnStyle, UINT(PS_DASH));
    EXPECT_EQ(Lp.lopnColor, Red);
    EXPECT_EQ(GetObject(Pen, 0, nullptr), int(sizeof Lp));
    HBRUSH Hatch = CreateHatchBrush(HS_CROSS, Red);
    LOGBRUSH Lb;
    GetObject(Hatch, sizeof Lb, &Lb);
    EXPECT_EQ(Lb.lbStyle, BS_HATCHED);
    EXPECT_EQ(Lb.lbHatch, std::uintptr_t(HS_CROSS));
    HFONT Font = CreateFont(-20, 0, 0, 0, FW_BOLD, 1, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
    LOGFONT Lf;
    GetObject(Font, sizeof Lf, &Lf);
    EXPECT_EQ(Lf.lfHeight, -20);
    EXPECT_EQ(Lf.lfWeight, FW_BOLD);
    EXPECT_EQ(Lf.lfItalic, 1);
    EXPECT_STREQ(Lf.lfFaceName, "Arial");
    EXPECT_EQ(GetObjectType(Font), DWORD(OBJ_FONT));
    for (HGDIOBJ O : {Pen, Hatch, Font})
        EXPECT_TRUE(DeleteObject(O));
}

TEST(Handles, StaleAndForeignHandlesAreRefused)
{
    HBRUSH B = CreateSolidBrush(Red);
    EXPECT_EQ(GetObjectType(B), DWORD(OBJ_BRUSH));
    EXPECT_TRUE(DeleteObject(B));
    EXPECT_FALSE(DeleteObject(B));
    EXPECT_EQ(GetObjectType(B), 0u);
    HDC Dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectObject(Dc, B), nullptr);
    int Local = 0;
    EXPECT_EQ(SelectObject(Dc, reinterpret_cast<HGDIOBJ>(&Local)), nullptr);
    EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_PEN))); // stock objects survive
    EXPECT_EQ(GetObjectType(GetStockObject(BLACK_PEN)), DWORD(OBJ_PEN));
    EXPECT_EQ(GetObjectType(Dc), DWORD(OBJ_MEMDC));
    EXPECT_TRUE(DeleteDC(Dc));
    EXPECT_FALSE(DeleteDC(Dc));
    EXPECT_EQ(GetPixel(Dc, 0, 0), CLR_INVALID);
    // A bitmap lives in one memory DC at a time.
    HDC A = CreateCompatibleDC(nullptr), C = CreateCompatibleDC(nullptr);
    HBITMAP Bm = CreateCompatibleBitmap(nullptr, 2, 2);
    EXPECT_NE(SelectObject(A, Bm), nullptr);
    EXPECT_EQ(SelectObject(C, Bm), nullptr);
    DeleteDC(A);
    EXPECT_NE(SelectObject(C, Bm), nullptr);
    DeleteDC(C);
    EXPECT_TRUE(DeleteObject(Bm));
}

} // namespace
