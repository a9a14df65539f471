// Raster sequences the components build from the GDI calls (transparent stretching through masks,
// masks from a colour, XOR drag frames, embossed stencils, blackening under a mask): each must
// give the exact pixels the sequence is written for.
#include "platform/graphics/WinGdi.h"
#include "platform/graphics/tests/GdiTestUtil.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const COLORREF White = RGB(255, 255, 255);
const COLORREF Black = RGB(0, 0, 0);
const COLORREF Key = RGB(255, 0, 255);
const COLORREF Ink = RGB(10, 120, 30);
const COLORREF Back = RGB(0, 0, 200);

// One character per pixel: 'k' key, 'i' ink, 'b' back, 'w' white, '#' black, '?' anything else.
std::string Letters(const TTestSurface& S, int Y)
{
    std::string Out;
    for (int X = 0; X < S.Width; ++X) {
        const COLORREF C = S.At(X, Y);
        Out += C == Key ? 'k' : C == Ink ? 'i' : C == Back ? 'b' : C == White ? 'w' : C == Black ? '#' : '?';
    }
    return Out;
}

// 3x2 image: key pixels around ink.
void PaintImage(TTestSurface& S)
{
    const char* Rows[] = {"kik", "iik"};
    for (int Y = 0; Y < 2; ++Y)
        for (int X = 0; X < 3; ++X)
            S.Set(X, Y, Rows[Y][X] == 'k' ? Key : Ink);
}

TEST(Recipes, TransparentStretchThroughAMaskAndItsInverse)
{
    // Mask from the colour (background set palette-relative), inverse mask, then
    // work = dest AND mask(stretched); copy = copy AND inverse; work |= copy(stretched).
    TTestSurface Image(3, 2);
    PaintImage(Image);
    TTestSurface Mask(3, 2, true), Inverse(3, 2, true);
    const COLORREF OldBk = SetBkColor(Image.Dc, Key | 0x02000000);
    ASSERT_TRUE(BitBlt(Mask.Dc, 0, 0, 3, 2, Image.Dc, 0, 0, SRCCOPY));
    SetBkColor(Image.Dc, OldBk);
    ASSERT_TRUE(BitBlt(Inverse.Dc, 0, 0, 3, 2, Mask.Dc, 0, 0, NOTSRCCOPY));
    EXPECT_EQ(Mask.Row(0, White), "#.#");
    EXPECT_EQ(Inverse.Row(1, White), "##.");

    TTestSurface Dst(6, 4, false, Back), Work(6, 4);
    ASSERT_TRUE(BitBlt(Work.Dc, 0, 0, 6, 4, Dst.Dc, 0, 0, SRCCOPY));
    ASSERT_TRUE(StretchBlt(Work.Dc, 0, 0, 6, 4, Mask.Dc, 0, 0, 3, 2, SRCAND));
    ASSERT_TRUE(BitBlt(Image.Dc, 0, 0, 3, 2, Inverse.Dc, 0, 0, SRCAND));
    ASSERT_TRUE(StretchBlt(Work.Dc, 0, 0, 6, 4, Image.Dc, 0, 0, 3, 2, SRCPAINT));
    ASSERT_TRUE(BitBlt(Dst.Dc, 0, 0, 6, 4, Work.Dc, 0, 0, SRCCOPY));
    EXPECT_EQ(Letters(Dst, 0), "bbiibb");
    EXPECT_EQ(Letters(Dst, 1), "bbiibb");
    EXPECT_EQ(Letters(Dst, 2), "iiiibb");
    EXPECT_EQ(Letters(Dst, 3), "iiiibb");
}

TEST(Recipes, MaskAndImageStretchedInTheirOwnModes)
{
    // The image is blackened under its mask, the mask ANDed onto the target with WHITEONBLACK,
    // the image ORed on with COLORONCOLOR.
    TTestSurface Image(4, 1), Mask(4, 1, true), Inverse(4, 1, true);
    const char* Row = "kiik";
    for (int X = 0; X < 4; ++X) {
        Image.Set(X, 0, Row[X] == 'k' ? Key : Ink);
        Mask.Set(X, 0, Row[X] == 'k' ? White : Black);
    }
    BitBlt(Inverse.Dc, 0, 0, 4, 1, Mask.Dc, 0, 0, NOTSRCCOPY);
    const struct {
        int Width;
        const char* Want;
    } Cases[] = {{4, "biib"}, {8, "bbiiiibb"}};
    for (const auto& C : Cases) {
        TTestSurface Copy(4, 1), Dst(C.Width, 1, false, Back);
        BitBlt(Copy.Dc, 0, 0, 4, 1, Image.Dc, 0, 0, SRCCOPY);
        SetBkColor(Dst.Dc, White);
        SetTextColor(Dst.Dc, Black);
        SetStretchBltMode(Dst.Dc, WHITEONBLACK);
        ASSERT_TRUE(StretchBlt(Dst.Dc, 0, 0, C.Width, 1, Mask.Dc, 0, 0, 4, 1, SRCAND));
        ASSERT_TRUE(BitBlt(Copy.Dc, 0, 0, 4, 1, Inverse.Dc, 0, 0, SRCAND));
        SetStretchBltMode(Dst.Dc, COLORONCOLOR);
        ASSERT_TRUE(StretchBlt(Dst.Dc, 0, 0, C.Width, 1, Copy.Dc, 0, 0, 4, 1, SRCPAINT));
        EXPECT_EQ(Letters(Dst, 0), C.Want) << C.Width;
    }
}

TEST(Recipes, DestinationAndNotSourceBlackensUnderAMask)
{
    // DSna with a monochrome mask on a colour image: the mask's 1 (white) becomes the image's
    // background colour, so those pixels turn black and the rest stay.
    TTestSurface Image(3, 1), Mask(3, 1, true, Black);
    PaintImage(Image);
    Mask.Set(0, 0, White);
    Mask.Set(2, 0, White);
    ASSERT_TRUE(BitBlt(Image.Dc, 0, 0, 3, 1, Mask.Dc, 0, 0, 0x00220326));
    EXPECT_EQ(Letters(Image, 0), "#i#");
}

TEST(Recipes, EmbossedStencilWithBothDisabledRops)
{
    // A monochrome stencil (white = shape), a face-coloured image, the stencil drawn at (1, 1)
    // in the highlight brush and at (0, 0) in the shadow brush. DSPDxax paints the brush where
    // the stencil is white; PSDPxax where it is black.
    const COLORREF Face = RGB(192, 192, 192), Hi = RGB(255, 255, 255), Shadow = RGB(128, 128, 128);
    TTestSurface Stencil(3, 3, true, Black);
    Stencil.Set(0, 0, White);
    Stencil.Set(1, 1, White);
    const struct {
        DWORD Rop;
        const char* Rows[4];
    } Cases[] = {
        {0x00E20746, {"s...", ".s..", "..h.", "...."}},
        {0x00B8074A, {".ss.", "s.sh", "sssh", ".hhh"}},
    };
    for (const auto& C : Cases) {
        TTestSurface Out(4, 4, false, Face);
        SetTextColor(Out.Dc, Black);
        SetBkColor(Out.Dc, White);
        HBRUSH HiBrush = CreateSolidBrush(Hi), ShadowBrush = CreateSolidBrush(Shadow);
        HGDIOBJ Old = SelectObject(Out.Dc, HiBrush);
        ASSERT_TRUE(BitBlt(Out.Dc, 1, 1, 3, 3, Stencil.Dc, 0, 0, C.Rop));
        SelectObject(Out.Dc, ShadowBrush);
        ASSERT_TRUE(BitBlt(Out.Dc, 0, 0, 3, 3, Stencil.Dc, 0, 0, C.Rop));
        SelectObject(Out.Dc, Old);
        DeleteObject(HiBrush);
        DeleteObject(ShadowBrush);
        for (int Y = 0; Y < 4; ++Y) {
            std::string Got;
            for (int X = 0; X < 4; ++X) {
                const COLORREF P = Out.At(X, Y);
                Got += P == Face ? '.' : P == Hi ? 'h' : P == Shadow ? 's' : '?';
            }
            EXPECT_EQ(Got, C.Rows[Y]) << std::hex << C.Rop << " row " << Y;
        }
    }
}

TEST(Recipes, DragFramesInvertThroughARegionAndComeBack)
{
    // A checker pattern brush (words 0x5555 / 0xAAAA), a frame region (rectangle less its inside),
    // the old and new frames XORed, PATINVERT over the clip box: drawing the same frame again or
    // moving it leaves no trace and never touches the parts the frames share.
    const WORD Rows[8] = {0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA};
    HBITMAP Pattern = CreateBitmap(8, 8, 1, 1, Rows);
    HBRUSH Brush = CreatePatternBrush(Pattern);
    const COLORREF Desk = RGB(40, 80, 120);
    TTestSurface S(12, 10, false, Desk);
    auto Frame = [](const RECT& R, int T) {
        HRGN Outer = CreateRectRgn(R.left, R.top, R.right, R.bottom);
        HRGN Inner = CreateRectRgn(R.left + T, R.top + T, R.right - T, R.bottom - T);
        CombineRgn(Outer, Outer, Inner, RGN_DIFF);
        DeleteObject(Inner);
        return Outer;
    };
    auto Paint = [&](const RECT* New, const RECT* Old) {
        HRGN Rgn = CreateRectRgn(0, 0, 0, 0);
        if (New) {
            HRGN F = Frame(*New, 2);
            CombineRgn(Rgn, Rgn, F, RGN_XOR);
            DeleteObject(F);
        }
        if (Old) {
            HRGN F = Frame(*Old, 2);
            CombineRgn(Rgn, Rgn, F, RGN_XOR);
            DeleteObject(F);
        }
        SelectClipRgn(S.Dc, Rgn);
        RECT Box;
        GetClipBox(S.Dc, &Box);
        HGDIOBJ OldBrush = SelectObject(S.Dc, Brush);
        PatBlt(S.Dc, Box.left, Box.top, Box.right - Box.left, Box.bottom - Box.top, PATINVERT);
        SelectObject(S.Dc, OldBrush);
        SelectClipRgn(S.Dc, nullptr);
        DeleteObject(Rgn);
    };
    const COLORREF Inverted = RGB(255 - 40, 255 - 80, 255 - 120);
    const RECT A{1, 1, 9, 8}, B{2, 1, 10, 8};
    Paint(&A, nullptr);
    // Inside the frame every other pixel is inverted (the pattern's 1 bits); inside and outside
    // it nothing changes.
    std::string Top, Mid;
    for (int X = 0; X < 12; ++X) {
        Top += S.At(X, 1) == Inverted ? 'x' : S.At(X, 1) == Desk ? '.' : '?';
        Mid += S.At(X, 4) == Inverted ? 'x' : S.At(X, 4) == Desk ? '.' : '?';
    }
    EXPECT_EQ(Top, "..x.x.x.x...");
    EXPECT_EQ(Mid, ".x.....x....");
    // Moving the frame: a pixel both frames cover is not touched on the way.
    const COLORREF Shared = S.At(7, 2);
    Paint(&B, &A);
    EXPECT_EQ(S.At(7, 2), Shared);
    Paint(nullptr, &B);
    EXPECT_EQ(S.Count(Desk), 12 * 10);
    DeleteObject(Brush);
    DeleteObject(Pattern);
}

} // namespace
