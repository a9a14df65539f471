#include "platform/graphics/Graphics.h"
#include "platform/rtl/Streams.h"
#include "platform/testing/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

std::string Fixture(const std::string& Name)
{
    return testing_support::ReadFileBytes(std::string(TW_TEST_DATA_DIR) + "/graphics/tests/data/images/" +
                                          Name);
}

TEST(PictureTest, LoadFromFileGoesBySignatureNotExtension)
{
    const std::string Dir = testing_support::MakeTempDir("gfx-picture");
    struct TCase {
        const char* Fixture;
        const char* SavedAs; // a misleading name
        bool Icon;
        int Width, Height;
    } Cases[] = {
        {"rgb24.bmp", "a.png", false, 0, 0}, {"tiny.png", "b.bmp", false, 2, 2},
        {"tiny.jpg", "c.gif", false, 8, 8},  {"tiny.gif", "d.ico", false, 2, 2},
        {"two.ico", "e.jpg", true, 0, 0},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Fixture);
        const std::string Name = Dir + "/" + C.SavedAs;
        testing_support::WriteFileBytes(Name, Fixture(C.Fixture));
        TPicture P;
        int Changes = 0;
        P.OnChange = [&](TObject*) { ++Changes; };
        P.LoadFromFile(Name);
        EXPECT_GE(Changes, 1);
        ASSERT_NE(P.Graphic(), nullptr);
        EXPECT_EQ(dynamic_cast<TIcon*>(P.Graphic()) != nullptr, C.Icon);
        EXPECT_EQ(dynamic_cast<TBitmap*>(P.Graphic()) != nullptr, !C.Icon);
        EXPECT_GT(P.Width(), 0);
        if (C.Width)
            EXPECT_EQ(P.Width(), C.Width);
        if (C.Height)
            EXPECT_EQ(P.Height(), C.Height);
    }
}

TEST(PictureTest, DecodedPixelsArriveInTheBitmap)
{
    TPicture P;
    P.LoadFromBytes(Fixture("tiny.gif")); // red, green / blue, white
    TCanvas* C = P.Bitmap()->Canvas();
    EXPECT_EQ(C->Pixels(0, 0), clRed);
    EXPECT_EQ(C->Pixels(1, 0), clLime);
    EXPECT_EQ(C->Pixels(0, 1), clBlue);
    EXPECT_EQ(C->Pixels(1, 1), clWhite);

    P.LoadFromBytes(Fixture("tiny.png")); // red, green / blue, see-through
    C = P.Bitmap()->Canvas();
    EXPECT_EQ(C->Pixels(0, 0), clRed);
    EXPECT_EQ(C->Pixels(0, 1), clBlue);
    EXPECT_EQ(C->Pixels(1, 1), clWhite); // no alpha in a bitmap: shown over white
}

TEST(PictureTest, ClipboardFormatsBindToGraphicClasses)
{
    constexpr WORD IconFormat = 0xC123;
    TPicture P;
    EXPECT_FALSE(TPicture::SupportsClipboardFormat(IconFormat));
    EXPECT_THROW(P.LoadFromClipboardFormat(IconFormat, Fixture("two.ico"), nullptr), EInvalidGraphic);
    TPicture::RegisterClipboardFormat(IconFormat, [] { return std::make_unique<TIcon>(); });
    EXPECT_TRUE(TPicture::SupportsClipboardFormat(IconFormat));
    EXPECT_THROW(P.LoadFromClipboardFormat(IconFormat, "garbage", nullptr), EInvalidGraphic);
    EXPECT_EQ(P.Graphic(), nullptr);
    P.LoadFromClipboardFormat(IconFormat, Fixture("two.ico"), nullptr);
    EXPECT_NE(dynamic_cast<TIcon*>(P.Graphic()), nullptr);
    TPicture::UnregisterClipboardFormat(IconFormat);
    EXPECT_FALSE(TPicture::SupportsClipboardFormat(IconFormat));
}

TEST(PictureTest, CorruptOrUnknownDataIsAClearErrorAndLeavesThePicture)
{
    TPicture P;
    P.LoadFromBytes(Fixture("tiny.png"));
    TGraphic* Before = P.Graphic();
    const std::string Png = Fixture("tiny.png");
    EXPECT_THROW(P.LoadFromBytes(Png.substr(0, Png.size() / 2)), EInvalidGraphic);
    EXPECT_THROW(P.LoadFromBytes("just some text"), EInvalidGraphic);
    EXPECT_THROW(P.LoadFromBytes(std::string()), EInvalidGraphic);
    EXPECT_EQ(P.Graphic(), Before);

    const std::string Name = testing_support::MakeTempDir("gfx-picture-bad") + "/broken.png";
    testing_support::WriteFileBytes(Name, Png.substr(0, 20));
    try {
        P.LoadFromFile(Name);
        FAIL() << "no error";
    } catch (const EInvalidGraphic& E) {
        EXPECT_NE(E.Message().find("broken.png"), std::string::npos) << E.Message();
    }
    EXPECT_THROW(P.LoadFromFile(Name + ".missing"), EFOpenError);
}

TEST(PictureTest, GraphicIsCopiedAndBitmapForcesTheKind)
{
    TBitmap B(3, 2);
    B.Canvas()->SetPixels(0, 0, clRed);
    TPicture P;
    P.SetGraphic(&B);
    ASSERT_NE(P.Graphic(), &B);
    EXPECT_EQ(P.Width(), 3);
    B.Canvas()->SetPixels(0, 0, clBlue);
    EXPECT_EQ(P.Bitmap()->Canvas()->Pixels(0, 0), clRed);

    int Changes = 0;
    P.OnChange = [&](TObject*) { ++Changes; };
    P.Bitmap()->Canvas()->SetPixels(1, 1, clLime); // changes of the graphic reach the picture
    EXPECT_EQ(Changes, 1);

    P.LoadFromBytes(Fixture("two.ico"));
    EXPECT_NE(dynamic_cast<TIcon*>(P.Graphic()), nullptr);
    TBitmap* Forced = P.Bitmap();
    EXPECT_EQ(P.Graphic(), Forced);
    EXPECT_TRUE(Forced->Empty());

    // Picture to picture and picture to bitmap.
    TPicture Q;
    P.Bitmap()->Assign(&B);
    Q.Assign(&P);
    EXPECT_EQ(Q.Width(), 3);
    TBitmap Out;
    Out.Assign(&Q);
    EXPECT_EQ(Out.Canvas()->Pixels(0, 0), clBlue);
    Q.Assign(nullptr);
    EXPECT_EQ(Q.Graphic(), nullptr);
    EXPECT_EQ(Q.Width(), 0);
}

TEST(IconTest, HalfTransparentPixelsBlendWithTheBackground)
{
    TIconImage Image;
    Image.Image.Width = 2;
    Image.Image.Height = 1;
    Image.Image.BitsPerPixel = 32;
    Image.Image.HasAlpha = true;
    Image.Image.Pixels = {0x80FF0000u, 0x40FF0000u}; // red at alpha 128 and 64
    TIcon Icon;
    Icon.SetImage(Image);
    TBitmap Dest(2, 1);
    Dest.Canvas()->Brush()->SetColor(clBlue);
    Dest.Canvas()->FillRect(Rect(0, 0, 2, 2));
    Dest.Canvas()->Draw(0, 0, &Icon);
    EXPECT_EQ(Dest.Canvas()->Pixels(0, 0), static_cast<TColor>(RGB(128, 0, 127)));
    EXPECT_EQ(Dest.Canvas()->Pixels(1, 0), static_cast<TColor>(RGB(64, 0, 191)));
}

TEST(IconTest, StreamsDrawsAndHandsOutAHandle)
{
    TIcon I;
    EXPECT_TRUE(I.Empty());
    const std::string Ico = Fixture("two.ico");
    TMemoryStream In;
    In.WriteString(Ico);
    In.SetPosition(0);
    I.LoadFromStream(&In);
    ASSERT_FALSE(I.Empty());
    EXPECT_EQ(I.Width(), 4); // the larger of the two entries
    EXPECT_THROW(I.SetWidth(16), EInvalidGraphicOperation);

    TMemoryStream Out;
    I.SaveToStream(&Out);
    EXPECT_EQ(Out.DataString(), Ico); // every entry is written back

    HICON H = I.Handle();
    ASSERT_NE(H, nullptr);
    EXPECT_EQ(I.Handle(), H);
    auto Image = IconHandleImage(H);
    ASSERT_NE(Image, nullptr);
    EXPECT_EQ(Image->Image.Width, 4);
    TIcon Copy;
    Copy.SetHandle(CreateIconHandle(*Image));
    EXPECT_EQ(Copy.Width(), 4);

    // Drawing leaves the destination where the icon is transparent.
    TBitmap Dest(8, 8);
    Dest.Canvas()->Brush()->SetColor(clFuchsia);
    Dest.Canvas()->FillRect(Rect(0, 0, 8, 8));
    Dest.Canvas()->Draw(2, 2, &I);
    const TIconImage& Src = I.Image();
    int Kept = 0, Drawn = 0;
    for (int Y = 0; Y < 4; ++Y)
        for (int X = 0; X < 4; ++X) {
            const std::size_t N = std::size_t(Y * 4 + X);
            const bool Clear = (N < Src.Mask.size() && Src.Mask[N]) || (Src.Image.Pixels[N] >> 24) < 0x80;
            const TColor Got = Dest.Canvas()->Pixels(2 + X, 2 + Y);
            if (Clear) {
                EXPECT_EQ(Got, clFuchsia) << X << "," << Y;
                ++Kept;
            } else {
                const std::uint32_t P = Src.Image.Pixels[N];
                EXPECT_EQ(Got, static_cast<TColor>(RGB((P >> 16) & 0xFF, (P >> 8) & 0xFF, P & 0xFF)));
                ++Drawn;
            }
        }
    EXPECT_GT(Drawn, 0);
    EXPECT_EQ(Dest.Canvas()->Pixels(7, 7), clFuchsia);
    (void)Kept;

    // A bitmap takes the icon drawn over white.
    TBitmap AsBitmap;
    AsBitmap.Assign(&I);
    EXPECT_EQ(AsBitmap.Width(), 4);
    for (int Y = 0; Y < 4; ++Y)
        for (int X = 0; X < 4; ++X)
            if (Dest.Canvas()->Pixels(2 + X, 2 + Y) == clFuchsia)
                EXPECT_EQ(AsBitmap.Canvas()->Pixels(X, Y), clWhite);
            else
                EXPECT_EQ(AsBitmap.Canvas()->Pixels(X, Y), Dest.Canvas()->Pixels(2 + X, 2 + Y));

    EXPECT_THROW(I.LoadFromBytes(Fixture("rgb24.bmp")), EInvalidGraphic);
    EXPECT_EQ(I.Width(), 4);
    HICON Released = I.ReleaseHandle();
    EXPECT_TRUE(DestroyIconHandle(Released));
    EXPECT_FALSE(DestroyIconHandle(Released));
}

} // namespace
