// Loading pictures: kinds by signature, the decoder's call contract, flattening, masks, masked
// stretching, the shared palette and device-independent copies.
#include "html-engine/HtmlImageUtil.h"
#include "html-engine/ImgDecode.h"
#include "html-engine/tests/ImageFixtures.h"

#include "platform/app/Application.h"
#include "platform/graphics/WinGdi.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"
#include "platform/testing/TestSupport.h"
#include "platform/win/WinUser.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace image_fixtures;

namespace {

constexpr std::uint32_t Red = 0xFF0000, Green = 0x00FF00, Blue = 0x0000FF, Yellow = 0xFFFF00,
                        White = 0xFFFFFF, Cyan = 0x00FFFF;

std::string TwoByTwoGif(bool Gif89, int Transparent = -1)
{
    TGifSpec G;
    G.Width = G.Height = 2;
    G.Colours = {Red, Green, Blue, Yellow};
    G.Indices = {0, 1, 2, 3};
    G.Transparent = Transparent;
    G.Gif89 = Gif89;
    return GifBytes(G);
}

std::string SmallPng()
{
    return PngBytes(2, 1, {0xFF000000 | Red, 0xFF000000 | Blue});
}

std::string SmallBmp(bool Core = false)
{
    return BmpBytes(3, 2, {Red, Green, Blue, Yellow, White, Red}, Core);
}

std::unique_ptr<TMemoryStream> StreamOf(const std::string& Bytes)
{
    auto S = std::make_unique<TMemoryStream>();
    S->WriteString(Bytes);
    S->SetPosition(0);
    return S;
}

// A bitmap that a failed decode must leave exactly as it is.
std::unique_ptr<TBitmap> Untouched()
{
    auto B = std::make_unique<TBitmap>(3, 3);
    B->Canvas()->Brush()->SetColor(clRed);
    B->Canvas()->FillRect(Rect(0, 0, 3, 3));
    return B;
}

void ExpectUntouched(TBitmap* B)
{
    EXPECT_EQ(B->Width(), 3);
    EXPECT_EQ(B->Height(), 3);
    EXPECT_EQ(RgbOf(B), std::vector<std::uint32_t>(9, Red));
}

// ---- Kinds ------------------------------------------------------------------------------------------

TEST(ImageKinds, TheFirstBytesDecideAndShortDataHasNoKind)
{
    struct Case {
        std::string Bytes;
        int Kind;
    };
    const std::vector<Case> Cases{
        {"GIF87a and more", itGif87},
        {"GIF89a and more", itGif89},
        {"GIF8", itUnknown},
        {"BM", itBmp},
        {"B", itUnknown},
        {"\x89PNG\r\n", itPng},
        {"\x89PN", itUnknown},
        {"\xFF\xD8\xFF", itJpeg},
        {"\xFF", itUnknown},
        {"plain text", itUnknown},
        {"", itUnknown},
    };
    for (const Case& C : Cases) {
        EXPECT_EQ(GetImageType(C.Bytes.data(), C.Bytes.size()), C.Kind) << C.Bytes;
        EXPECT_EQ(ImageTypeOfFile(WriteTemp("kind", C.Bytes)), C.Kind) << C.Bytes;
    }
    EXPECT_EQ(ImageTypeOfFile(testing_support::HomeDir() + "/none.gif"), itUnknown);
}

// Whatever a file is called, its bytes decide how it is read.
TEST(ImageLoading, FilesLoadByTheirSignatureNotTheirName)
{
    struct Case {
        const char* Name;
        std::string Bytes;
        int Width, Height; // 0: no picture
    };
    const std::string Gif = TwoByTwoGif(true);
    const std::vector<Case> Cases{
        {"a.bmp", SmallBmp(), 3, 2},
        {"os2.bmp", SmallBmp(true), 3, 2},
        {"a.gif", TwoByTwoGif(false), 2, 2},
        {"b.gif", Gif, 2, 2},
        {"a.png", SmallPng(), 2, 1},
        {"png-named.gif", SmallPng(), 2, 1},
        {"gif-named.png", Gif, 2, 2},
        {"photo.jpg", JpegBytes(), 8, 8},
        {"text.gif", "plain text, not a picture", 0, 0},
        {"bm.bmp", "BM but nothing more", 0, 0},
        {"short.png", "\x89PNG", 0, 0},
        {"cut.gif", Gif.substr(0, 20), 0, 0},
    };
    for (const Case& C : Cases) {
        const std::string Path = WriteTemp(C.Name, C.Bytes);
        auto B = LoadImageFromFile(Path, true);
        if (C.Width == 0) {
            EXPECT_FALSE(B) << C.Name;
            continue;
        }
        ASSERT_TRUE(B) << C.Name;
        EXPECT_EQ(B->Width(), C.Width) << C.Name;
        EXPECT_EQ(B->Height(), C.Height) << C.Name;
        auto FromStream = LoadImageFromStream(StreamOf(C.Bytes).get(), false);
        if (std::string(C.Name) != "os2.bmp") { // the class library's reader stands behind files only
            ASSERT_TRUE(FromStream) << C.Name;
            EXPECT_EQ(RgbOf(FromStream.get()), RgbOf(B.get())) << C.Name;
        }
    }
    EXPECT_FALSE(LoadImageFromFile(testing_support::HomeDir() + "/missing.gif", true));
    EXPECT_FALSE(LoadImageFromStream(nullptr, true));
}

TEST(ImageLoading, BmpTheDecoderRefusesIsReadByTheClassLibrary)
{
    const std::string Path = WriteTemp("os2.bmp", SmallBmp(true));
    auto Direct = Untouched();
    EXPECT_FALSE(ImgDecode::LoadBmpFile(Path, 24, 1, nullptr, Direct.get()));
    ExpectUntouched(Direct.get());
    auto B = LoadImageFromFile(Path, true);
    ASSERT_TRUE(B);
    EXPECT_EQ(RgbOf(B.get()), (std::vector<std::uint32_t>{Red, Green, Blue, Yellow, White, Red}));
}

TEST(ImageLoading, FullLongFileNameReachesTheDecoder)
{
    std::string Relative = std::string(60, 'd');
    while (Relative.size() < 300)
        Relative += "/" + std::string(60, 'd');
    const std::string Path = testing_support::MakeTempDir(Relative) + "/picture.png";
    testing_support::WriteFileBytes(Path, SmallPng());
    ASSERT_GT(Path.size(), 255u);
    auto B = LoadImageFromFile(Path, true);
    ASSERT_TRUE(B);
    EXPECT_EQ(B->Width(), 2);
}

// ---- The decoder's call contract ----------------------------------------------------------------------

TEST(ImgDecode, AFailedCallLeavesTheBitmapAsItWas)
{
    const std::string GifPath = WriteTemp("a.gif", TwoByTwoGif(true));
    const std::string Png = SmallPng();
    auto B = Untouched();
    // The decoder checks the kind itself: a GIF offered as PNG is refused.
    EXPECT_FALSE(ImgDecode::LoadPngFile(GifPath, 24, 1, nullptr, B.get()));
    EXPECT_FALSE(ImgDecode::LoadJpegFile(WriteTemp("a.png", Png), 24, 1, nullptr, B.get()));
    EXPECT_FALSE(ImgDecode::LoadPngFile(testing_support::HomeDir() + "/none.png", 24, 1, nullptr, B.get()));
    EXPECT_FALSE(
        ImgDecode::LoadPngStream(StreamOf(Png.substr(0, Png.size() / 2)).get(), 24, 1, nullptr, B.get()));
    ExpectUntouched(B.get());
    EXPECT_TRUE(ImgDecode::LoadGifFile(GifPath, 24, 1, nullptr, B.get()));
    EXPECT_EQ(RgbOf(B.get()), (std::vector<std::uint32_t>{Red, Green, Blue, Yellow}));
}

TEST(ImgDecode, NoStreamOrAnEmptyOneIsRefusedWithoutADecode)
{
    int Calls = 0;
    const ImgDecode::TImgProgress Count = [&] { return ++Calls, 1; };
    auto B = Untouched();
    TMemoryStream Empty;
    EXPECT_FALSE(ImgDecode::LoadGifStream(nullptr, 24, 1, Count, B.get()));
    EXPECT_FALSE(ImgDecode::LoadBmpStream(&Empty, 24, 1, Count, B.get()));
    EXPECT_FALSE(ImgDecode::LoadPngStream(&Empty, 24, 1, Count, B.get()));
    EXPECT_EQ(Calls, 0);
    ExpectUntouched(B.get());
    // The masked load needs a whole header's worth of bytes.
    std::uint8_t Transp = 0;
    std::unique_ptr<TBitmap> Mask;
    EXPECT_FALSE(LoadImageWithMaskFromStream(StreamOf(TwoByTwoGif(true).substr(0, 19)).get(), Transp, Mask));
}

TEST(ImgDecode, ProgressIsPolledAndAZeroStopsTheDecode)
{
    const std::string Png = PngBytes(3, 200, std::vector<std::uint32_t>(600, 0xFF000000 | Green));
    int Calls = 0;
    auto B = Untouched();
    EXPECT_TRUE(ImgDecode::LoadPngStream(
        StreamOf(Png).get(), 24, 1, [&] { return ++Calls, 1; }, B.get()));
    EXPECT_GE(Calls, 4); // before and after decoding, and while converting the rows
    const int Polls = Calls;
    for (int StopAt = 1; StopAt <= Polls; ++StopAt) {
        int N = 0;
        auto Kept = Untouched();
        EXPECT_FALSE(ImgDecode::LoadPngStream(
            StreamOf(Png).get(), 24, 1, [&] { return ++N == StopAt ? 0 : 1; }, Kept.get()))
            << StopAt;
        EXPECT_EQ(N, StopAt);
        ExpectUntouched(Kept.get());
    }
}

TEST(ImgDecode, PngAlphaIsFlattenedOntoWhite)
{
    auto B = std::make_unique<TBitmap>();
    const std::string Png = PngBytes(3, 1, {0xFF000000 | Red, 0x00000000 | Green, 0x80000000 | Blue});
    ASSERT_TRUE(ImgDecode::LoadPngStream(StreamOf(Png).get(), 24, 1, nullptr, B.get()));
    EXPECT_EQ(RgbOf(B.get()), (std::vector<std::uint32_t>{Red, White, 0x7F7FFF}));
}

TEST(ImgDecode, TransparentGifPixelKeepsItsTableColour)
{
    auto B = std::make_unique<TBitmap>();
    ASSERT_TRUE(ImgDecode::LoadGifStream(StreamOf(TwoByTwoGif(true, 1)).get(), 24, 1, nullptr, B.get()));
    EXPECT_EQ(RgbOf(B.get()), (std::vector<std::uint32_t>{Red, Green, Blue, Yellow}));
}

TEST(ImgDecode, DepthClassOfTheDisplay)
{
    const std::vector<std::pair<int, int>> Cases{{1, 4},  {4, 4},   {5, 8},   {8, 8},
                                                 {15, 8}, {16, 24}, {24, 24}, {32, 24}};
    for (auto [Bits, Class] : Cases)
        EXPECT_EQ(ImgDecode::DepthClassOfBits(Bits), Class) << Bits;
    HDC Screen = GetDC(nullptr);
    EXPECT_EQ(ImgDecode::ScreenDepthClass(Screen), 24);
    ReleaseDC(nullptr, Screen);
    HDC Memory = CreateCompatibleDC(nullptr); // still holding its monochrome bitmap
    EXPECT_EQ(ImgDecode::ScreenDepthClass(Memory), 4);
    DeleteDC(Memory);
    EXPECT_EQ(DepthClass, 24);
    EXPECT_EQ(SharedPalette, nullptr);
}

TEST(ImgDecode, FewColourScreensGetTheDecoderPalettesColours)
{
    std::vector<std::uint32_t> Block(64);
    auto* Log = reinterpret_cast<LOGPALETTE*>(Block.data());
    Log->palNumEntries = 3;
    Log->palPalEntry[0] = PALETTEENTRY{0, 0, 0, 0};
    Log->palPalEntry[1] = PALETTEENTRY{255, 255, 255, 0};
    Log->palPalEntry[2] = PALETTEENTRY{255, 0, 0, 0};
    HPALETTE Palette = CreatePalette(Log);
    const HPALETTE Saved = ImgDecode::DecoderPalette;
    ImgDecode::DecoderPalette = Palette;
    const std::string Bmp = BmpBytes(3, 1, {0x202020, 0xE0E0E0, 0xC01010});
    auto Mapped = std::make_unique<TBitmap>();
    auto True = std::make_unique<TBitmap>();
    ASSERT_TRUE(ImgDecode::LoadBmpStream(StreamOf(Bmp).get(), 8, 1, nullptr, Mapped.get()));
    ASSERT_TRUE(ImgDecode::LoadBmpStream(StreamOf(Bmp).get(), 24, 1, nullptr, True.get()));
    ImgDecode::DecoderPalette = Saved;
    EXPECT_EQ(RgbOf(Mapped.get()), (std::vector<std::uint32_t>{0x000000, White, Red}));
    EXPECT_EQ(RgbOf(True.get()), (std::vector<std::uint32_t>{0x202020, 0xE0E0E0, 0xC01010}));
    // The bitmap owns a palette of its own with the same colours.
    ASSERT_NE(Mapped->Palette(), nullptr);
    EXPECT_NE(Mapped->Palette(), Palette);
    PALETTEENTRY Third{};
    EXPECT_EQ(GetPaletteEntries(Mapped->Palette(), 2, 1, &Third), 1u);
    EXPECT_EQ(Third.peRed, 255);
    EXPECT_EQ(Third.peGreen, 0);
    DeleteObject(Palette);
}

// ---- Transparency -------------------------------------------------------------------------------------

TEST(GifTransparency, TheColourOfTheIndexTheExtensionAfterTheTableNames)
{
    TColor Color = 0;
    auto Stream = StreamOf(TwoByTwoGif(true, 1));
    Stream->SetPosition(7);
    ASSERT_TRUE(GifTransparentColor(Stream.get(), Color));
    EXPECT_EQ(Color, TColor(RGB(0x00, 0xFF, 0x00)));
    EXPECT_EQ(Stream->Position(), 7);
    EXPECT_FALSE(GifTransparentColor(StreamOf(TwoByTwoGif(false, 1)).get(), Color)); // GIF87a
    EXPECT_FALSE(GifTransparentColor(StreamOf(TwoByTwoGif(true)).get(), Color));
    EXPECT_FALSE(GifTransparentColor(StreamOf(SmallPng()).get(), Color));
    EXPECT_TRUE(GifTransparentColorOfFile(WriteTemp("t.gif", TwoByTwoGif(true, 3)), Color));
    EXPECT_EQ(Color, TColor(RGB(0xFF, 0xFF, 0x00)));
}

// The mask is white exactly where the picture shows its transparent colour.
TEST(Masks, GifMaskIsWhiteExactlyAtTheTransparentIndex)
{
    TGifSpec G;
    G.Width = 4;
    G.Height = 3;
    G.Colours = {Red, Green, Blue, Yellow};
    G.Indices = {2, 0, 1, 2, 3, 2, 2, 0, 1, 1, 3, 2};
    G.Transparent = 2;
    const std::string Bytes = GifBytes(G);
    struct Source {
        const char* Name;
        std::function<std::unique_ptr<TBitmap>(std::uint8_t&, std::unique_ptr<TBitmap>&)> Load;
    };
    const std::vector<Source> Sources{
        {"file",
         [&](std::uint8_t& T, std::unique_ptr<TBitmap>& M) {
             return LoadImageWithMask(WriteTemp("m.gif", Bytes), T, M);
         }},
        {"stream",
         [&](std::uint8_t& T, std::unique_ptr<TBitmap>& M) {
             auto S = StreamOf(Bytes);
             S->SetPosition(9); // any position: the stream is read from its start
             return LoadImageWithMaskFromStream(S.get(), T, M);
         }},
    };
    for (const Source& S : Sources) {
        std::uint8_t Transp = 0;
        std::unique_ptr<TBitmap> Mask;
        auto Picture = S.Load(Transp, Mask);
        ASSERT_TRUE(Picture && Mask) << S.Name;
        EXPECT_EQ(Transp, 2) << S.Name;
        EXPECT_TRUE(Mask->Monochrome()) << S.Name;
        const std::vector<std::uint32_t> Bits = RgbOf(Mask.get());
        for (std::size_t I = 0; I < G.Indices.size(); ++I)
            EXPECT_EQ(Bits[I], G.Indices[I] == 2 ? White : 0u) << S.Name << " pixel " << I;
    }
    // Only a file named ".gif" is looked at for a transparent colour.
    std::uint8_t Transp = 0;
    std::unique_ptr<TBitmap> Mask;
    EXPECT_TRUE(LoadImageWithMask(WriteTemp("m.png", Bytes), Transp, Mask));
    EXPECT_EQ(Transp, 0);
    EXPECT_FALSE(Mask);
}

TEST(Masks, TranspTakesTheBottomLeftColour)
{
    const std::string Path = WriteTemp("corner.bmp", BmpBytes(3, 2, {Blue, Red, Blue, Blue, Green, Red}));
    std::uint8_t Transp = 1;
    std::unique_ptr<TBitmap> Mask;
    auto Picture = LoadImageWithMask(Path, Transp, Mask);
    ASSERT_TRUE(Picture && Mask);
    EXPECT_EQ(Transp, 1);
    EXPECT_EQ(RgbOf(Mask.get()), (std::vector<std::uint32_t>{White, 0, White, White, 0, 0}));
    auto Given = BuildMask(Picture.get(), true, TColor(RGB(0xFF, 0, 0)));
    ASSERT_TRUE(Given);
    EXPECT_EQ(RgbOf(Given.get()), (std::vector<std::uint32_t>{0, White, 0, 0, 0, White}));
    EXPECT_FALSE(BuildMask(nullptr, false, 0));
    // A file that is no picture gives neither.
    Transp = 1;
    EXPECT_FALSE(LoadImageWithMask(WriteTemp("x.bmp", "no picture"), Transp, Mask));
    EXPECT_FALSE(LoadImageWithMask(testing_support::HomeDir() + "/missing.bmp", Transp, Mask));
}

// ---- Masked stretching --------------------------------------------------------------------------------

struct Stretch : ::testing::Test {
    // A picture of Size x Size pixels whose colour and transparency come from Cell(x, y).
    void Make(int Size, const std::function<std::uint32_t(int, int)>& Cell)
    {
        std::vector<std::uint32_t> Rgb;
        for (int Y = 0; Y < Size; ++Y)
            for (int X = 0; X < Size; ++X)
                Rgb.push_back(Cell(X, Y));
        Picture = LoadImageFromStream(StreamOf(BmpBytes(Size, Size, Rgb)).get(), true);
        ASSERT_TRUE(Picture);
        Mask = BuildMask(Picture.get(), true, TColor(RGB(0xFF, 0xFF, 0)));
        ASSERT_TRUE(Mask);
        Target.SetSize(20, 20);
        Target.Canvas()->Brush()->SetColor(TColor(RGB(0, 0xFF, 0xFF)));
        Target.Canvas()->FillRect(Rect(0, 0, 20, 20));
    }
    std::uint32_t At(int X, int Y)
    {
        return std::uint32_t(ColorToRGB(Target.Canvas()->Pixels(X, Y))) & 0xFFFFFF;
    }

    std::unique_ptr<TBitmap> Picture, Mask;
    TBitmap Target;
};

// TColor of an 0xRRGGBB value.
std::uint32_t AsWindows(std::uint32_t Rgb)
{
    return (Rgb & 0xFF) << 16 | (Rgb & 0xFF00) | (Rgb >> 16);
}

TEST_F(Stretch, TwiceTheSizeAndTheSourceStaysAsItWas)
{
    // Yellow is transparent.
    auto Cell = [](int X, int Y) { return (X + Y) % 3 == 0 ? Yellow : (X % 2 ? Red : Blue); };
    Make(4, Cell);
    const auto Before = RgbOf(Picture.get()), MaskBefore = RgbOf(Mask.get());
    StretchDrawTransparent(Target.Canvas()->Handle(), Picture.get(), Mask.get(), 8, 8, 3, 2);
    for (int Y = 0; Y < 20; ++Y)
        for (int X = 0; X < 20; ++X) {
            const bool Inside = X >= 2 && X < 10 && Y >= 3 && Y < 11;
            const std::uint32_t Source = Inside ? Cell((X - 2) / 2, (Y - 3) / 2) : Yellow;
            const std::uint32_t Want = Source == Yellow ? Cyan : Source;
            ASSERT_EQ(At(X, Y), AsWindows(Want)) << X << "," << Y;
        }
    EXPECT_EQ(RgbOf(Picture.get()), Before);
    EXPECT_EQ(RgbOf(Mask.get()), MaskBefore);
}

TEST_F(Stretch, HalfTheSizeAndTheSourceStaysAsItWas)
{
    // Transparency and colour in whole 2 x 2 blocks, so either way of shrinking agrees.
    auto Block = [](int X, int Y) { return (X + 2 * Y) % 3 == 0 ? Yellow : (Y % 2 ? Green : Red); };
    Make(8, [&](int X, int Y) { return Block(X / 2, Y / 2); });
    const auto Before = RgbOf(Picture.get());
    StretchDrawTransparent(Target.Canvas()->Handle(), Picture.get(), Mask.get(), 4, 4, 5, 6);
    for (int Y = 0; Y < 20; ++Y)
        for (int X = 0; X < 20; ++X) {
            const bool Inside = X >= 6 && X < 10 && Y >= 5 && Y < 9;
            const std::uint32_t Source = Inside ? Block(X - 6, Y - 5) : Yellow;
            ASSERT_EQ(At(X, Y), AsWindows(Source == Yellow ? Cyan : Source)) << X << "," << Y;
        }
    EXPECT_EQ(RgbOf(Picture.get()), Before);
    // Drawn again, the same pixels: nothing of the first draw stayed in the picture.
    StretchDrawTransparent(Target.Canvas()->Handle(), Picture.get(), Mask.get(), 8, 8, 0, 0);
    EXPECT_EQ(At(0, 0), AsWindows(Cyan));
    EXPECT_EQ(At(2, 0), AsWindows(Red));
}

TEST_F(Stretch, NothingOnAMonochromeDevice)
{
    Make(4, [](int X, int) { return X ? Red : Yellow; });
    TBitmap Mono(10, 10);
    Mono.SetMonochrome(true);
    Mono.Canvas()->Brush()->SetColor(clWhite);
    Mono.Canvas()->FillRect(Rect(0, 0, 10, 10));
    StretchDrawTransparent(Mono.Canvas()->Handle(), Picture.get(), Mask.get(), 4, 4, 0, 0);
    EXPECT_EQ(RgbOf(&Mono), std::vector<std::uint32_t>(100, White));
}

// ---- The shared palette and device-independent copies ---------------------------------------------------

TEST(SharedPaletteLayout, CubeAndGreysBetweenTheStaticColours)
{
    HDC Screen = GetDC(nullptr);
    HPALETTE Palette = CreateSharedPalette(Screen);
    PALETTEENTRY System[256], Shared[256];
    GetSystemPaletteEntries(Screen, 0, 256, System);
    ReleaseDC(nullptr, Screen);
    ASSERT_EQ(GetPaletteEntries(Palette, 0, 256, Shared), 256u);
    DeleteObject(Palette);
    auto Same = [](const PALETTEENTRY& A, const PALETTEENTRY& B) {
        return A.peRed == B.peRed && A.peGreen == B.peGreen && A.peBlue == B.peBlue;
    };
    for (int I : {0, 9, 249, 255})
        EXPECT_TRUE(Same(Shared[I], System[I])) << I;
    struct Entry {
        int Index;
        BYTE R, G, B;
    };
    const std::vector<Entry> Expected{{10, 55, 55, 55},     {11, 115, 55, 55},   {15, 255, 55, 55},
                                      {16, 55, 115, 55},    {46, 55, 55, 115},   {224, 235, 255, 255},
                                      {225, 135, 135, 135}, {248, 250, 250, 250}};
    for (const Entry& E : Expected)
        EXPECT_TRUE(Same(Shared[E.Index], PALETTEENTRY{E.R, E.G, E.B, 0})) << E.Index;
    for (const PALETTEENTRY& E : Shared)
        EXPECT_EQ(E.peFlags, 0);
}

TEST(DeviceCopies, ConversionAndDibKeepThePixels)
{
    EXPECT_FALSE(ConvertToSharedPalette(nullptr));
    auto Picture = LoadImageFromStream(StreamOf(SmallBmp()).get(), false);
    ASSERT_TRUE(Picture);
    const auto Pixels = RgbOf(Picture.get());
    TBitmap* Old = Picture.get();
    auto Converted = ConvertToSharedPalette(std::move(Picture));
    ASSERT_TRUE(Converted);
    EXPECT_NE(Converted.get(), Old);
    EXPECT_EQ(RgbOf(Converted.get()), Pixels);

    HDC DC = CreateCompatibleDC(nullptr);
    TDib Dib(DC, Converted.get());
    EXPECT_EQ(Dib.Info()->bmiHeader.biBitCount, 24);
    EXPECT_EQ(Dib.Info()->bmiHeader.biSizeImage, 12u * 2u); // rows of 9 bytes padded to 12
    TBitmap Back;
    SelectObject(DC, Converted->Handle());
    Back.SetHandle(Dib.ToBitmap(DC));
    DeleteDC(DC);
    EXPECT_EQ(RgbOf(&Back), Pixels);

    TBitmap Wide(6, 2);
    Dib.StretchTo(Wide.Canvas()->Handle(), 0, 0, 6, 2, SRCCOPY);
    EXPECT_EQ(RgbOf(&Wide), (std::vector<std::uint32_t>{Red, Red, Green, Green, Blue, Blue, Yellow, Yellow,
                                                        White, White, Red, Red}));
    auto Mono = BuildMask(Converted.get(), true, TColor(RGB(0xFF, 0, 0)));
    TDib MonoDib(nullptr, Mono.get());
    EXPECT_EQ(MonoDib.Info()->bmiHeader.biBitCount, 1);
}

} // namespace
