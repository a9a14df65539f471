// Raster operations: every ternary code from its truth table, the colour/monochrome conversion
// rules, stretching modes, overlapping copies and brush origins.
#include "platform/graphics/WinGdi.h"
#include "platform/graphics/tests/GdiTestUtil.h"

#include <gtest/gtest.h>

namespace {

const COLORREF White = RGB(255, 255, 255);
const COLORREF Black = RGB(0, 0, 0);

// Bit I of the table is the result for pattern = I & 4, source = I & 2, destination = I & 1.
COLORREF Reference(unsigned Table, COLORREF P, COLORREF S, COLORREF D)
{
    COLORREF R = 0;
    for (int Bit = 0; Bit < 24; ++Bit) {
        const unsigned I = (((P >> Bit) & 1) << 2) | (((S >> Bit) & 1) << 1) | ((D >> Bit) & 1);
        if ((Table >> I) & 1)
            R |= COLORREF(1) << Bit;
    }
    return R;
}

// Pixel I of an 8x1 surface is white when bit Mask of I is set.
void Stripes(TTestSurface& S, int Mask)
{
    for (int I = 0; I < 8; ++I)
        S.Set(I, 0, (I & Mask) ? White : Black);
}

struct TTruthCase {
    const char* Name;
    DWORD Rop;
};

class RopTruthTable : public testing::TestWithParam<bool> {};

TEST_P(RopTruthTable, NamedCodesFollowTheirTables)
{
    const bool Mono = GetParam();
    const TTruthCase Cases[] = {
        {"SRCCOPY", SRCCOPY},         {"SRCAND", SRCAND},       {"SRCPAINT", SRCPAINT},
        {"SRCINVERT", SRCINVERT},     {"SRCERASE", SRCERASE},   {"NOTSRCCOPY", NOTSRCCOPY},
        {"NOTSRCERASE", NOTSRCERASE}, {"MERGECOPY", MERGECOPY}, {"MERGEPAINT", MERGEPAINT},
        {"PATCOPY", PATCOPY},         {"PATPAINT", PATPAINT},   {"PATINVERT", PATINVERT},
        {"DSTINVERT", DSTINVERT},     {"BLACKNESS", BLACKNESS}, {"WHITENESS", WHITENESS},
        {"DSna", 0x00220326},         {"PSDPxax", 0x00B8074A},  {"DSPDxax", 0x00E20746},
    };
    TTestSurface Src(8, 1, Mono), Pat(8, 1, Mono);
    Stripes(Src, 2);
    Stripes(Pat, 4);
    HBRUSH Brush = CreatePatternBrush(Pat.Bitmap);
    for (const TTruthCase& C : Cases) {
        TTestSurface Dst(8, 1, Mono);
        Stripes(Dst, 1);
        HGDIOBJ Old = SelectObject(Dst.Dc, Brush);
        ASSERT_TRUE(BitBlt(Dst.Dc, 0, 0, 8, 1, Src.Dc, 0, 0, C.Rop)) << C.Name;
        SelectObject(Dst.Dc, Old);
        const unsigned Table = (C.Rop >> 16) & 0xFF;
        std::string Want, Got;
        for (int I = 0; I < 8; ++I) {
            Want += (Table >> I) & 1 ? '1' : '0';
            Got += Dst.At(I, 0) == White ? '1' : Dst.At(I, 0) == Black ? '0' : '?';
        }
        EXPECT_EQ(Got, Want) << C.Name;
    }
    DeleteObject(Brush);
}

INSTANTIATE_TEST_SUITE_P(ColourAndMono, RopTruthTable, testing::Values(false, true));

TEST(Rop3, EveryCodeWorksBitwiseOnColours)
{
    const COLORREF P = RGB(0xAA, 0xCC, 0x33), S = RGB(0xF0, 0x0F, 0x55), D = RGB(0x12, 0x34, 0x56);
    TTestSurface Src(1, 1, false, S);
    HBRUSH Brush = CreateSolidBrush(P);
    for (unsigned Table = 0; Table < 256; ++Table) {
        TTestSurface Dst(1, 1, false, D);
        HGDIOBJ Old = SelectObject(Dst.Dc, Brush);
        BitBlt(Dst.Dc, 0, 0, 1, 1, Src.Dc, 0, 0, DWORD(Table) << 16);
        SelectObject(Dst.Dc, Old);
        ASSERT_EQ(Dst.At(0, 0), Reference(Table, P, S, D)) << "table " << Table;
    }
    DeleteObject(Brush);
}

TEST(Rop3, WideRowsFollowTheTableAtEveryPixel)
{
    // Rows long enough for the whole-row code paths, at odd offsets and widths so that their
    // tails show, with a patterned brush: every code, every pixel against the table.
    constexpr int W = 23, H = 2, X = 3, SrcX = 1, N = 19;
    auto Colour = [](int I, unsigned Seed) {
        const unsigned V = (unsigned(I) + 1) * 2654435761u ^ Seed;
        return RGB(V & 0xFF, (V >> 8) & 0xFF, (V >> 16) & 0xFF);
    };
    TTestSurface Src(W, H), Pat(8, 8), Start(W, H);
    for (int I = 0; I < W * H; ++I) {
        Src.Set(I % W, I / W, Colour(I, 0x1234567u));
        Start.Set(I % W, I / W, Colour(I, 0x89ABCDEu));
    }
    for (int I = 0; I < 64; ++I)
        Pat.Set(I % 8, I / 8, Colour(I, 0x5A5A5A5u));
    HBRUSH Brush = CreatePatternBrush(Pat.Bitmap);
    TTestSurface Dst(W, H);
    for (unsigned Table = 0; Table < 256; ++Table) {
        BitBlt(Dst.Dc, 0, 0, W, H, Start.Dc, 0, 0, SRCCOPY);
        HGDIOBJ Old = SelectObject(Dst.Dc, Brush);
        ASSERT_TRUE(BitBlt(Dst.Dc, X, 0, N, H, Src.Dc, SrcX, 0, DWORD(Table) << 16));
        SelectObject(Dst.Dc, Old);
        for (int Y = 0; Y < H; ++Y)
            for (int I = 0; I < W; ++I) {
                const COLORREF D = Start.At(I, Y);
                const COLORREF Want =
                    I < X || I >= X + N ? D
                                        : Reference(Table, Pat.At(I % 8, Y % 8), Src.At(I - X + SrcX, Y), D);
                ASSERT_EQ(Dst.At(I, Y), Want) << "table " << Table << " at " << I << "," << Y;
            }
    }
    DeleteObject(Brush);
}

TEST(Rop3, PatBltUsesThePatternAndRefusesSourceCodes)
{
    TTestSurface Dst(4, 1, false, RGB(0x0F, 0xF0, 0x00));
    HBRUSH Brush = CreateSolidBrush(RGB(0xFF, 0xFF, 0x00));
    SelectObject(Dst.Dc, Brush);
    EXPECT_TRUE(PatBlt(Dst.Dc, 0, 0, 2, 1, PATINVERT));
    EXPECT_EQ(Dst.At(0, 0), RGB(0xF0, 0x0F, 0x00));
    EXPECT_EQ(Dst.At(2, 0), RGB(0x0F, 0xF0, 0x00));
    EXPECT_FALSE(PatBlt(Dst.Dc, 0, 0, 2, 1, SRCCOPY));
    SelectObject(Dst.Dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(Brush);
}

TEST(Conversion, ColourToMonoMapsTheSourceBackgroundToWhite)
{
    const COLORREF Key = RGB(0, 255, 0);
    TTestSurface Src(4, 1);
    Src.Set(0, 0, RGB(255, 0, 0));
    Src.Set(1, 0, White);
    Src.Set(2, 0, Key);
    Src.Set(3, 0, Black);
    SetBkColor(Src.Dc, Key);
    TTestSurface Mono(4, 1, true, Black);
    // The destination's own colours play no part in this direction.
    SetBkColor(Mono.Dc, RGB(255, 0, 0));
    SetTextColor(Mono.Dc, White);
    ASSERT_TRUE(BitBlt(Mono.Dc, 0, 0, 4, 1, Src.Dc, 0, 0, SRCCOPY));
    EXPECT_EQ(Mono.Row(0, White), "..#.");
}

TEST(Conversion, MonoToColourUsesTheDestinationTextAndBackground)
{
    TTestSurface Mono(2, 1, true);
    Mono.Set(0, 0, Black);
    Mono.Set(1, 0, White);
    SetTextColor(Mono.Dc, RGB(0, 255, 0)); // the source's own colours play no part
    TTestSurface Dst(2, 1);
    SetTextColor(Dst.Dc, RGB(255, 0, 0));
    SetBkColor(Dst.Dc, RGB(0, 0, 255));
    ASSERT_TRUE(BitBlt(Dst.Dc, 0, 0, 2, 1, Mono.Dc, 0, 0, SRCCOPY));
    EXPECT_EQ(Dst.At(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(Dst.At(1, 0), RGB(0, 0, 255));
}

TEST(Conversion, TransparentDrawingWithAMonoMask)
{
    // The classic masked draw: a mask made with the colour->mono rule, then SRCINVERT/SRCAND/SRCINVERT.
    const COLORREF Key = RGB(255, 0, 255), Ink = RGB(10, 20, 30), Back = RGB(200, 100, 50);
    TTestSurface Image(3, 1, false, Key);
    Image.Set(1, 0, Ink);
    SetBkColor(Image.Dc, Key);
    TTestSurface Mask(3, 1, true);
    BitBlt(Mask.Dc, 0, 0, 3, 1, Image.Dc, 0, 0, SRCCOPY);
    EXPECT_EQ(Mask.Row(0, White), "#.#");

    TTestSurface Dst(3, 1, false, Back);
    SetTextColor(Dst.Dc, Black);
    SetBkColor(Dst.Dc, White);
    BitBlt(Dst.Dc, 0, 0, 3, 1, Image.Dc, 0, 0, SRCINVERT);
    BitBlt(Dst.Dc, 0, 0, 3, 1, Mask.Dc, 0, 0, SRCAND);
    BitBlt(Dst.Dc, 0, 0, 3, 1, Image.Dc, 0, 0, SRCINVERT);
    EXPECT_EQ(Dst.At(0, 0), Back);
    EXPECT_EQ(Dst.At(1, 0), Ink);
    EXPECT_EQ(Dst.At(2, 0), Back);
}

TEST(Conversion, CompatibleBitmapOfAFreshMemoryDcIsMonochrome)
{
    HDC Mem = CreateCompatibleDC(nullptr);
    HBITMAP Bm = CreateCompatibleBitmap(Mem, 8, 8);
    BITMAP Info;
    ASSERT_EQ(GetObject(Bm, sizeof Info, &Info), int(sizeof Info));
    EXPECT_EQ(Info.bmBitsPixel, 1);
    EXPECT_EQ(Info.bmWidthBytes, 2);
    HBITMAP Colour = CreateCompatibleBitmap(nullptr, 8, 8);
    GetObject(Colour, sizeof Info, &Info);
    EXPECT_EQ(Info.bmBitsPixel, 24);
    SelectObject(Mem, Colour);
    EXPECT_EQ(GetDeviceCaps(Mem, BITSPIXEL), 24);
    HBITMAP Mono = CreateBitmap(8, 8, 1, 1, nullptr);
    SelectObject(Mem, Mono);
    EXPECT_EQ(GetDeviceCaps(Mem, BITSPIXEL), 1);
    // Drawing colours on a monochrome surface comes out black or white.
    EXPECT_EQ(SetPixel(Mem, 0, 0, RGB(250, 240, 230)), White);
    EXPECT_EQ(SetPixel(Mem, 1, 0, RGB(90, 20, 30)), Black);
    DeleteDC(Mem);
    for (HBITMAP B : {Bm, Colour, Mono})
        EXPECT_TRUE(DeleteObject(B));
}

struct TStretchCase {
    int Mode;
    const char* Want;
};

TEST(Stretch, ShrinkingFollowsTheStretchMode)
{
    // 8 pixels into 4: pairs (black, white), (white, white), (black, black), (white, black).
    const TStretchCase Cases[] = {
        {BLACKONWHITE, "#.##"},
        {WHITEONBLACK, "..#."},
        {COLORONCOLOR, "..##"}, // the right pixel of each pair
    };
    TTestSurface S(8, 1);
    const char* Row = "#...##.#";
    for (int I = 0; I < 8; ++I)
        S.Set(I, 0, Row[I] == '#' ? Black : White);
    for (const TStretchCase& C : Cases) {
        TTestSurface D(4, 1);
        SetStretchBltMode(D.Dc, C.Mode);
        ASSERT_TRUE(StretchBlt(D.Dc, 0, 0, 4, 1, S.Dc, 0, 0, 8, 1, SRCCOPY));
        EXPECT_EQ(D.Row(0), C.Want) << "mode " << C.Mode;
    }
}

TEST(Stretch, GrowsByRepeatingAndMirrorsOnNegativeWidth)
{
    TTestSurface S(3, 1);
    S.Set(0, 0, Black);
    TTestSurface D(6, 2);
    ASSERT_TRUE(StretchBlt(D.Dc, 0, 0, 6, 2, S.Dc, 0, 0, 3, 1, SRCCOPY));
    EXPECT_EQ(D.Row(0), "##....");
    EXPECT_EQ(D.Row(1), "##....");
    D.Clear(White);
    ASSERT_TRUE(StretchBlt(D.Dc, 6, 0, -6, 1, S.Dc, 0, 0, 3, 1, SRCCOPY));
    EXPECT_EQ(D.Row(0), "....##");
}

TEST(Stretch, ClippedAndHugeDestinations)
{
    TTestSurface S(3, 1);
    S.Set(1, 0, Black);
    TTestSurface D(6, 1);
    IntersectClipRect(D.Dc, 3, 0, 6, 1);
    ASSERT_TRUE(StretchBlt(D.Dc, 0, 0, 6, 1, S.Dc, 0, 0, 3, 1, SRCCOPY));
    EXPECT_EQ(D.Row(0), "...#..");
    // Only the pixels on the surface are ever worked on.
    SelectClipRgn(D.Dc, nullptr);
    ASSERT_TRUE(StretchBlt(D.Dc, -300000000, 0, 600000000, 1, S.Dc, 0, 0, 3, 1, SRCCOPY));
    EXPECT_EQ(D.Row(0), "######");
}

TEST(BitBltTest, OverlappingCopyInsideOneSurface)
{
    TTestSurface S(6, 3);
    S.Set(0, 0, Black);
    S.Set(2, 0, Black);
    ASSERT_TRUE(BitBlt(S.Dc, 1, 1, 5, 2, S.Dc, 0, 0, SRCCOPY)); // scroll down-right by one
    EXPECT_EQ(S.Row(0), "#.#...");
    EXPECT_EQ(S.Row(1), ".#.#..");
    EXPECT_EQ(S.Row(2), "......");
    ASSERT_TRUE(BitBlt(S.Dc, 0, 1, 5, 1, S.Dc, 1, 1, SRCCOPY)); // and left again
    EXPECT_EQ(S.Row(1), "#.#...");
}

TEST(BitBltTest, SourceOutsideItsSurfaceLeavesTheDestination)
{
    TTestSurface S(2, 1, false, Black), D(4, 1);
    ASSERT_TRUE(BitBlt(D.Dc, 0, 0, 4, 1, S.Dc, -1, 0, SRCCOPY));
    EXPECT_EQ(D.Row(0), ".##.");
}

TEST(Brushes, PatternFollowsTheBrushOrigin)
{
    // A 2x1 pattern: black, white.
    TTestSurface Pat(2, 1);
    Pat.Set(0, 0, Black);
    HBRUSH Brush = CreatePatternBrush(Pat.Bitmap);
    TTestSurface D(6, 1);
    RECT R{0, 0, 6, 1};
    FillRect(D.Dc, &R, Brush);
    EXPECT_EQ(D.Row(0), "#.#.#.");
    SetBrushOrgEx(D.Dc, 1, 0, nullptr);
    FillRect(D.Dc, &R, Brush);
    EXPECT_EQ(D.Row(0), ".#.#.#");
    // The pattern is fixed to the device, not to the rectangle.
    SetBrushOrgEx(D.Dc, 0, 0, nullptr);
    D.Clear(White);
    RECT Part{1, 0, 4, 1};
    FillRect(D.Dc, &Part, Brush);
    EXPECT_EQ(D.Row(0), "..#...");
    DeleteObject(Brush);
}

TEST(Brushes, MonoPatternDrawsInTextAndBackgroundColours)
{
    TTestSurface Pat(2, 1, true);
    Pat.Set(0, 0, Black);
    Pat.Set(1, 0, White);
    HBRUSH Brush = CreatePatternBrush(Pat.Bitmap);
    TTestSurface D(2, 1);
    SetTextColor(D.Dc, RGB(255, 0, 0));
    SetBkColor(D.Dc, RGB(0, 0, 255));
    RECT R{0, 0, 2, 1};
    FillRect(D.Dc, &R, Brush);
    EXPECT_EQ(D.At(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(D.At(1, 0), RGB(0, 0, 255));
    DeleteObject(Brush);
}

TEST(Brushes, HatchGapsFollowTheBackgroundMode)
{
    HBRUSH Brush = CreateHatchBrush(HS_VERTICAL, Black);
    TTestSurface D(8, 2, false, RGB(0, 255, 0));
    SelectObject(D.Dc, Brush);
    SelectObject(D.Dc, GetStockObject(NULL_PEN));
    SetBkMode(D.Dc, TRANSPARENT);
    Rectangle(D.Dc, 0, 0, 9, 3);
    EXPECT_EQ(D.Count(Black), 2);
    EXPECT_EQ(D.Count(RGB(0, 255, 0)), 14);
    SetBkMode(D.Dc, OPAQUE);
    Rectangle(D.Dc, 0, 0, 9, 3);
    EXPECT_EQ(D.Count(White), 14);
    SelectObject(D.Dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(Brush);
}

TEST(MaskBltTest, ForegroundWhereTheMaskIsSet)
{
    TTestSurface Src(2, 1, false, RGB(255, 0, 0));
    TTestSurface Mask(2, 1, true, Black);
    Mask.Set(1, 0, White);
    TTestSurface D(2, 1);
    ASSERT_TRUE(MaskBlt(D.Dc, 0, 0, 2, 1, Src.Dc, 0, 0, Mask.Bitmap, 0, 0, MAKEROP4(SRCCOPY, 0x00AA0029)));
    EXPECT_EQ(D.At(0, 0), White);
    EXPECT_EQ(D.At(1, 0), RGB(255, 0, 0));
}

TEST(TransparentBltTest, SkipsTheKeyColour)
{
    TTestSurface Src(3, 1, false, RGB(255, 0, 255));
    Src.Set(1, 0, Black);
    TTestSurface D(3, 1, false, RGB(0, 0, 255));
    ASSERT_TRUE(TransparentBlt(D.Dc, 0, 0, 3, 1, Src.Dc, 0, 0, 3, 1, RGB(255, 0, 255)));
    EXPECT_EQ(D.At(0, 0), RGB(0, 0, 255));
    EXPECT_EQ(D.At(1, 0), Black);
}

} // namespace
