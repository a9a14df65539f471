#include "platform/graphics/Graphics.h"
#include "platform/graphics/Resources.h"
#include "platform/rtl/Streams.h"
#include "platform/testing/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Pixels of a bitmap, row by row, as TColor.
std::vector<TColor> PixelsOf(TBitmap& B)
{
    std::vector<TColor> Result;
    for (int Y = 0; Y < B.Height(); ++Y)
        for (int X = 0; X < B.Width(); ++X)
            Result.push_back(B.Canvas()->Pixels(X, Y));
    return Result;
}

// A W x H bitmap whose pixel (x, y) is Colors[(x + y) % Colors.size()].
void Paint(TBitmap& B, int W, int H, const std::vector<TColor>& Colors)
{
    B.SetSize(W, H);
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X)
            B.Canvas()->SetPixels(X, Y, Colors[std::size_t(X + Y) % Colors.size()]);
}

TEST(BitmapTest, SizeKeepsPixelsAndFillsTheNewPartWithTheBrush)
{
    TBitmap B;
    EXPECT_TRUE(B.Empty());
    B.SetSize(3, 2);
    EXPECT_FALSE(B.Empty());
    EXPECT_EQ(B.Canvas()->Pixels(2, 1), clWhite);
    B.Canvas()->SetPixels(1, 1, clRed);
    B.Canvas()->Brush()->SetColor(clBlue);
    B.SetWidth(5);
    EXPECT_EQ(B.Width(), 5);
    EXPECT_EQ(B.Canvas()->Pixels(1, 1), clRed);
    EXPECT_EQ(B.Canvas()->Pixels(4, 1), clBlue);
    B.SetHeight(0);
    EXPECT_TRUE(B.Empty());
}

TEST(BitmapTest, ColourToMonochromeTurnsTheBrushColourWhite)
{
    TBitmap B;
    Paint(B, 4, 2, {clRed, clBlue, clWhite, clBlack});
    B.Canvas()->Brush()->SetColor(clRed);
    B.SetMonochrome(true);
    EXPECT_TRUE(B.Monochrome());
    EXPECT_EQ(B.PixelFormat(), pf1bit);
    BITMAP Info;
    ASSERT_GT(GetObject(B.Handle(), sizeof(Info), &Info), 0);
    EXPECT_EQ(Info.bmBitsPixel, 1);
    // Only red becomes white; white itself turns black, as it is not the brush colour.
    EXPECT_EQ(PixelsOf(B),
              (std::vector<TColor>{clWhite, clBlack, clBlack, clBlack, clBlack, clBlack, clBlack, clWhite}));
}

TEST(BitmapTest, MonochromeToColourDrawsZeroInTheFontColourAndOneInTheBrushColour)
{
    TBitmap B;
    Paint(B, 2, 2, {clWhite, clBlack});
    B.SetMonochrome(true); // brush white: white stays white
    EXPECT_EQ(PixelsOf(B), (std::vector<TColor>{clWhite, clBlack, clBlack, clWhite}));

    // The defaults (black font, white brush) keep black and white.
    TBitmap Plain;
    Plain.Assign(&B);
    Plain.SetMonochrome(false);
    EXPECT_FALSE(Plain.Monochrome());
    EXPECT_EQ(PixelsOf(Plain), (std::vector<TColor>{clWhite, clBlack, clBlack, clWhite}));

    B.Canvas()->Font()->SetColor(clBlue);
    B.Canvas()->Brush()->SetColor(clYellow);
    B.SetMonochrome(false);
    EXPECT_EQ(PixelsOf(B), (std::vector<TColor>{clYellow, clBlue, clBlue, clYellow}));
}

TEST(BitmapTest, EmbossingStencilOfAMonochromeGlyph)
{
    // The disabled-glyph recipe: a monochrome glyph made colour with a white font and back to
    // monochrome against white marks its black pixels.
    TBitmap Mono;
    Paint(Mono, 2, 1, {clBlack, clWhite});
    Mono.SetMonochrome(true);
    Mono.Canvas()->Brush()->SetColor(clBlack);
    Mono.Canvas()->Font()->SetColor(clWhite);
    Mono.SetMonochrome(false);
    Mono.Canvas()->Brush()->SetColor(clWhite);
    Mono.SetMonochrome(true);
    EXPECT_EQ(PixelsOf(Mono), (std::vector<TColor>{clWhite, clBlack}));
}

TEST(BitmapTest, DisabledLookIsBuiltFromTheMonochromeStencil)
{
    // The embossing recipe the button glyphs use, step by step through canvas and GDI calls.
    TBitmap Source;
    Paint(Source, 4, 4, {clWhite});
    Source.Canvas()->Brush()->SetColor(clBlack);
    Source.Canvas()->FillRect(Rect(1, 1, 3, 3));

    TBitmap Mono(4, 4);
    Mono.Canvas()->CopyRect(Rect(0, 0, 4, 4), Source.Canvas(), Rect(0, 0, 4, 4));
    Mono.Canvas()->Brush()->SetColor(clBlack); // the colour that becomes the shape
    Mono.SetMonochrome(true);

    TBitmap Result(4, 4);
    TCanvas* R = Result.Canvas();
    R->Brush()->SetColor(clBtnFace);
    R->FillRect(Rect(0, 0, 4, 4));
    constexpr DWORD DSPDxax = 0x00E20746;
    for (TColor Colour : {clBtnHighlight, clBtnShadow}) {
        R->Brush()->SetColor(Colour);
        HDC DC = R->Handle();
        SetTextColor(DC, RGB(0, 0, 0));
        SetBkColor(DC, RGB(255, 255, 255));
        const int Offset = Colour == clBtnHighlight ? 1 : 0;
        BitBlt(DC, Offset, Offset, 4, 4, Mono.Canvas()->Handle(), 0, 0, DSPDxax);
    }
    const TColor F = 0xC0C0C0, H = 0xFFFFFF, S = 0x808080;
    EXPECT_EQ(PixelsOf(Result), (std::vector<TColor>{F, F, F, F, //
                                                     F, S, S, F, //
                                                     F, S, S, H, //
                                                     F, F, H, H}));
}

TEST(BitmapTest, MaskMakesTheGivenColourWhite)
{
    TBitmap B;
    Paint(B, 3, 1, {clGreen, clRed, clGreen});
    B.Mask(clGreen);
    EXPECT_TRUE(B.Monochrome());
    EXPECT_EQ(PixelsOf(B), (std::vector<TColor>{clWhite, clBlack, clWhite}));
    B.Mask(clBlack); // a monochrome bitmap masked by black inverts
    EXPECT_EQ(PixelsOf(B), (std::vector<TColor>{clBlack, clWhite, clBlack}));
}

struct TRoundTrip {
    TPixelFormat Format;
    int Depth;
    std::vector<TColor> Colors;
};

class BitmapStreamTest : public ::testing::TestWithParam<TRoundTrip> {};

TEST_P(BitmapStreamTest, SavesAndLoadsBackTheSamePixels)
{
    const TRoundTrip& P = GetParam();
    TBitmap B;
    Paint(B, 7, 5, P.Colors); // odd width: rows need padding at every depth
    B.SetPixelFormat(P.Format);
    const std::vector<TColor> Before = PixelsOf(B);

    TMemoryStream Stream;
    B.SaveToStream(&Stream);
    const std::string Bytes = Stream.DataString();
    ASSERT_GT(Bytes.size(), 54u);
    EXPECT_EQ(Bytes.substr(0, 2), "BM");
    EXPECT_EQ(static_cast<unsigned char>(Bytes[28]), P.Depth); // biBitCount
    Stream.WriteString("TAIL");

    Stream.SetPosition(0);
    TBitmap Back;
    Back.LoadFromStream(&Stream);
    EXPECT_EQ(Stream.ReadAll(), "TAIL"); // the bitmap reads only its own bytes
    EXPECT_EQ(Back.Width(), 7);
    EXPECT_EQ(Back.Height(), 5);
    EXPECT_EQ(Back.PixelFormat(), P.Format);
    EXPECT_EQ(Back.Monochrome(), P.Format == pf1bit);
    EXPECT_EQ(PixelsOf(Back), Before);
}

INSTANTIATE_TEST_SUITE_P(Depths, BitmapStreamTest,
                         ::testing::Values(TRoundTrip{pf1bit, 1, {clBlack, clWhite, clWhite}},
                                           TRoundTrip{pf8bit, 8, {clRed, clLime, clBlue, clWhite, 0x336699}},
                                           TRoundTrip{pf24bit, 24, {0x123456, 0xABCDEF, clBlack, 0x010203}}));

TEST(BitmapTest, AWrongSizeInTheFileHeaderDoesNotCutTheBitmap)
{
    TBitmap B;
    Paint(B, 5, 3, {clRed, clBlue});
    std::string Bytes = B.SaveToBytes();
    Bytes[2] = 20; // far too small
    Bytes[3] = Bytes[4] = Bytes[5] = 0;
    TMemoryStream Stream;
    Stream.WriteString(Bytes + "TAIL");
    Stream.SetPosition(0);
    TBitmap Back;
    Back.LoadFromStream(&Stream);
    EXPECT_EQ(Back.Width(), 5);
    EXPECT_EQ(PixelsOf(Back), PixelsOf(B));
}

TEST(BitmapTest, EightBitFileKeepsItsPalette)
{
    TBitmap B;
    B.LoadFromFile(std::string(TW_TEST_DATA_DIR) + "/graphics/tests/data/images/pal8.bmp");
    EXPECT_EQ(B.PixelFormat(), pf8bit);
    HPALETTE Pal = B.Palette();
    ASSERT_NE(Pal, nullptr);
    WORD Entries = 0;
    ASSERT_GT(GetObject(Pal, sizeof(Entries), &Entries), 0);
    EXPECT_GT(Entries, 0);
}

TEST(BitmapTest, CorruptOrForeignDataIsAClearError)
{
    TBitmap B;
    Paint(B, 2, 2, {clRed});
    const std::string Good = B.SaveToBytes();
    TBitmap Other;
    EXPECT_THROW(Other.LoadFromBytes(Good.substr(0, 30)), EInvalidGraphic);
    EXPECT_THROW(Other.LoadFromBytes("not an image at all"), EInvalidGraphic);
    EXPECT_THROW(Other.LoadFromBytes(std::string()), EInvalidGraphic);
    EXPECT_THROW(Other.LoadFromBytes(testing_support::ReadFileBytes(std::string(TW_TEST_DATA_DIR) +
                                                                    "/graphics/tests/data/images/two.ico")),
                 EInvalidGraphic);
    EXPECT_TRUE(Other.Empty());
    // A bitmap that holds a picture keeps it when new data fails to load.
    EXPECT_THROW(B.LoadFromBytes(Good.substr(0, Good.size() - 5)), EInvalidGraphic);
    EXPECT_EQ(B.Width(), 2);
    EXPECT_EQ(B.Canvas()->Pixels(1, 1), clRed);
    EXPECT_THROW(Other.LoadFromFile("/nonexistent/dir/x.bmp"), EFOpenError);
    const std::string Dir = testing_support::MakeTempDir("gfx-corrupt");
    testing_support::WriteFileBytes(Dir + "/bad.bmp", "BM" + std::string(40, '\x7f'));
    try {
        Other.LoadFromFile(Dir + "/bad.bmp");
        FAIL() << "no error";
    } catch (const EInvalidGraphic& E) {
        EXPECT_NE(E.Message().find("bad.bmp"), std::string::npos) << E.Message();
    }
}

TEST(BitmapTest, FileRoundTripThroughTheFileSystem)
{
    TBitmap B;
    Paint(B, 3, 3, {clRed, clGreen});
    const std::string Name = testing_support::MakeTempDir("gfx-file") + "/pic.bmp";
    B.SaveToFile(Name);
    TBitmap Back;
    Back.LoadFromFile(Name);
    EXPECT_EQ(PixelsOf(Back), PixelsOf(B));
}

TEST(BitmapTest, AssignSharesUntilEitherSideChanges)
{
    TBitmap A;
    Paint(A, 3, 3, {clRed, clBlue});
    TBitmap B;
    int BChanges = 0;
    B.OnChange = [&](TObject*) { ++BChanges; };
    B.Assign(&A);
    EXPECT_EQ(BChanges, 1);
    EXPECT_EQ(PixelsOf(B), PixelsOf(A));
    B.Canvas()->SetPixels(0, 0, clLime);
    EXPECT_EQ(A.Canvas()->Pixels(0, 0), clRed);
    EXPECT_EQ(B.Canvas()->Pixels(0, 0), clLime);
    A.Canvas()->SetPixels(1, 1, clBlack);
    EXPECT_EQ(B.Canvas()->Pixels(1, 1), clRed);
    EXPECT_NE(A.Handle(), B.Handle());

    // Resizing or converting one of two sharing bitmaps leaves the other whole too.
    TBitmap C;
    C.Assign(&A);
    C.SetMonochrome(true);
    C.SetWidth(10);
    EXPECT_FALSE(A.Monochrome());
    EXPECT_EQ(A.Width(), 3);
    EXPECT_EQ(A.Canvas()->Pixels(1, 1), clBlack);

    A.SetTransparentColor(clBlue);
    TBitmap D;
    D.Assign(&A);
    EXPECT_EQ(D.TransparentMode(), tmFixed);
    EXPECT_EQ(D.TransparentColor(), clBlue);

    D.Assign(nullptr);
    EXPECT_TRUE(D.Empty());
    TFont NotAGraphic;
    EXPECT_THROW(D.Assign(&NotAGraphic), Exception);
}

TEST(BitmapTest, TransparentColourDefaultsToTheBottomLeftPixel)
{
    TBitmap B;
    Paint(B, 2, 2, {clRed});
    B.Canvas()->SetPixels(0, 1, clGreen);
    EXPECT_EQ(B.TransparentMode(), tmAuto);
    EXPECT_EQ(B.TransparentColor(), clGreen | clPaletteRelative);
    B.SetTransparentColor(clRed);
    EXPECT_EQ(B.TransparentMode(), tmFixed);
    EXPECT_EQ(B.TransparentColor(), clRed);
    B.SetTransparentMode(tmAuto);
    EXPECT_EQ(B.TransparentColor(), clGreen | clPaletteRelative);
    B.SetMonochrome(true);
    EXPECT_EQ(B.TransparentColor() & 0xFFFFFF, clWhite);
}

class BitmapDrawTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Dest.SetSize(10, 10);
        Dest.Canvas()->Brush()->SetColor(clBlue);
        Dest.Canvas()->FillRect(Rect(0, 0, 10, 10));
        // Red with a green frame; the bottom-left corner is green.
        Paint(Src, 4, 4, {clGreen});
        Src.Canvas()->Brush()->SetColor(clRed);
        Src.Canvas()->FillRect(Rect(1, 1, 3, 3));
    }
    TBitmap Dest, Src;
};

TEST_F(BitmapDrawTest, OpaqueDrawCopiesEveryPixel)
{
    Dest.Canvas()->Draw(2, 2, &Src);
    EXPECT_EQ(Dest.Canvas()->Pixels(2, 2), clGreen);
    EXPECT_EQ(Dest.Canvas()->Pixels(3, 3), clRed);
    EXPECT_EQ(Dest.Canvas()->Pixels(6, 6), clBlue);
}

TEST_F(BitmapDrawTest, TransparentDrawLeavesTheTransparentColour)
{
    Src.SetTransparent(true);
    Dest.Canvas()->Draw(2, 2, &Src);
    EXPECT_EQ(Dest.Canvas()->Pixels(2, 2), clBlue);
    EXPECT_EQ(Dest.Canvas()->Pixels(5, 5), clBlue);
    EXPECT_EQ(Dest.Canvas()->Pixels(3, 3), clRed);
    EXPECT_EQ(Dest.Canvas()->Pixels(4, 4), clRed);

    Src.SetTransparentColor(clRed);
    Dest.Canvas()->FillRect(Rect(0, 0, 10, 10));
    Dest.Canvas()->StretchDraw(Rect(0, 0, 8, 8), &Src); // twice the size
    EXPECT_EQ(Dest.Canvas()->Pixels(0, 0), clGreen);
    EXPECT_EQ(Dest.Canvas()->Pixels(2, 2), clBlue);
    EXPECT_EQ(Dest.Canvas()->Pixels(5, 5), clBlue);
    EXPECT_EQ(Dest.Canvas()->Pixels(7, 7), clGreen);
    EXPECT_EQ(Dest.Canvas()->Pixels(8, 8), clBlue);
}

TEST_F(BitmapDrawTest, MonochromeBitmapsDrawBlackAndWhiteAndWhiteIsTheirTransparentColour)
{
    TBitmap Mono;
    Paint(Mono, 2, 1, {clBlack, clWhite});
    Mono.SetMonochrome(true);
    Dest.Canvas()->Font()->SetColor(clRed); // the destination's colours do not matter
    Dest.Canvas()->Draw(0, 0, &Mono);
    EXPECT_EQ(Dest.Canvas()->Pixels(0, 0), clBlack);
    EXPECT_EQ(Dest.Canvas()->Pixels(1, 0), clWhite);
    Mono.SetTransparent(true);
    Dest.Canvas()->Draw(0, 5, &Mono);
    EXPECT_EQ(Dest.Canvas()->Pixels(0, 5), clBlack);
    EXPECT_EQ(Dest.Canvas()->Pixels(1, 5), clBlue);
}

TEST_F(BitmapDrawTest, BrushCopyReplacesOneColourByTheBrush)
{
    Dest.Canvas()->Brush()->SetColor(clYellow);
    Dest.Canvas()->BrushCopy(Rect(0, 0, 4, 4), &Src, Rect(0, 0, 4, 4), clGreen);
    EXPECT_EQ(Dest.Canvas()->Pixels(0, 0), clYellow);
    EXPECT_EQ(Dest.Canvas()->Pixels(1, 1), clRed);
    EXPECT_EQ(Dest.Canvas()->Pixels(5, 5), clBlue);

    Dest.Canvas()->Brush()->SetStyle(bsClear); // clear brush: the colour turns see-through
    Dest.Canvas()->BrushCopy(Rect(5, 5, 9, 9), &Src, Rect(0, 0, 4, 4), clGreen);
    EXPECT_EQ(Dest.Canvas()->Pixels(5, 5), clBlue);
    EXPECT_EQ(Dest.Canvas()->Pixels(6, 6), clRed);
}

TEST(BitmapTest, DrawingOnTheCanvasSignalsTheBitmapUnlessDetached)
{
    TBitmap B(4, 4);
    int Changes = 0;
    B.OnChange = [&](TObject*) { ++Changes; };
    B.Canvas()->Rectangle(0, 0, 2, 2);
    EXPECT_EQ(Changes, 1);
    TNotifyEvent Saved = B.Canvas()->OnChange;
    B.Canvas()->OnChange = nullptr;
    B.Canvas()->Rectangle(0, 0, 2, 2);
    B.Canvas()->OnChange = Saved;
    EXPECT_EQ(Changes, 1);
}

TEST(BitmapTest, DormantAndReleaseHandleKeepThePixels)
{
    TBitmap B;
    Paint(B, 3, 2, {clRed, clTeal});
    const std::vector<TColor> Pixels = PixelsOf(B);
    B.Dormant();
    EXPECT_FALSE(B.HandleAllocated());
    EXPECT_EQ(B.Width(), 3);
    EXPECT_EQ(PixelsOf(B), Pixels);
    EXPECT_TRUE(B.HandleAllocated());

    HBITMAP H = B.ReleaseHandle();
    ASSERT_NE(H, nullptr);
    BITMAP Info;
    ASSERT_GT(GetObject(H, sizeof(Info), &Info), 0);
    EXPECT_EQ(Info.bmWidth, 3);
    EXPECT_EQ(PixelsOf(B), Pixels);
    EXPECT_NE(B.Handle(), H);

    TBitmap C;
    C.SetHandle(H); // C owns it now
    EXPECT_EQ(C.Width(), 3);
    EXPECT_EQ(C.Height(), 2);
    EXPECT_EQ(PixelsOf(C), Pixels);
    C.SetHandle(CreateBitmap(5, 4, 1, 1, nullptr));
    EXPECT_TRUE(C.Monochrome());
    EXPECT_EQ(C.Width(), 5);
}

TEST(BitmapTest, ReadingThePixelsKeepsTheCanvasDC)
{
    TBitmap B;
    Paint(B, 2, 2, {clRed});
    HDC DC = B.Canvas()->Handle();
    (void)B.ToDibImage();
    (void)B.SaveToBytes();
    EXPECT_EQ(B.Canvas()->Handle(), DC);
    EXPECT_EQ(GetPixel(DC, 1, 1) & 0xFFFFFF, 0x0000FFu);
    TBitmap Copy;
    Copy.Assign(&B); // sharing the image takes it out of B's DC; B gets a DC of its own again
    EXPECT_EQ(GetPixel(B.Canvas()->Handle(), 1, 1) & 0xFFFFFF, 0x0000FFu);
    // Asking for the bitmap handle takes it out of the canvas's DC, so the caller can select it.
    HBITMAP H = B.Handle();
    HDC Mine = CreateCompatibleDC(nullptr);
    HGDIOBJ Old = SelectObject(Mine, H);
    EXPECT_NE(Old, nullptr);
    EXPECT_EQ(GetPixel(Mine, 0, 0) & 0xFFFFFF, 0x0000FFu);
    SelectObject(Mine, Old);
    DeleteDC(Mine);
    EXPECT_EQ(B.Canvas()->Pixels(0, 0), clRed);
}

TEST(BitmapTest, LoadsFromTheProgramResources)
{
    TBitmap ByNumber, ByName;
    ByNumber.LoadFromResourceID(nullptr, 1001);
    EXPECT_FALSE(ByNumber.Empty());
    ByName.LoadFromResourceName(nullptr, "feditbmp");
    EXPECT_FALSE(ByName.Empty());
    EXPECT_THROW(ByName.LoadFromResourceName(nullptr, "NO_SUCH_BITMAP"), EResNotFound);
    EXPECT_FALSE(ByName.Empty()); // a failed load leaves the bitmap as it was
}

TEST(BitmapTest, PatternBrushTilesTheBitmap)
{
    TBitmap Pattern;
    Paint(Pattern, 2, 2, {clRed, clBlue});
    TBitmap B(6, 6);
    B.Canvas()->Brush()->SetBitmap(&Pattern);
    B.Canvas()->FillRect(Rect(0, 0, 6, 6));
    B.Canvas()->Brush()->SetBitmap(nullptr);
    EXPECT_EQ(B.Canvas()->Pixels(0, 0), clRed);
    EXPECT_EQ(B.Canvas()->Pixels(1, 0), clBlue);
    EXPECT_EQ(B.Canvas()->Pixels(4, 4), clRed);
    EXPECT_EQ(B.Canvas()->Pixels(5, 4), clBlue);
}

} // namespace
