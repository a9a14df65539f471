#include "platform/graphics/ImageCodecs.h"
#include "platform/graphics/PngWriter.h"
#include "platform/testing/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

std::string Fixture(const std::string& Name)
{
    return testing_support::ReadFileBytes(std::string(TW_TEST_DATA_DIR) + "/graphics/tests/data/images/" +
                                          Name);
}

constexpr std::uint32_t Red = 0xFFFF0000, Green = 0xFF00FF00, Blue = 0xFF0000FF, White = 0xFFFFFFFF,
                        Black = 0xFF000000, Yellow = 0xFFFFFF00;
// The 3 x 2 picture most fixtures hold, top row first.
const std::vector<std::uint32_t> Colours = {Red, Green, Blue, White, Black, Yellow};
const std::vector<std::uint32_t> Mono = {Black, White, Black, White, White, Black};
// The colour table of the palette fixtures.
const std::vector<std::uint32_t> FixturePalette = {0x000000, 0xFF0000, 0x00FF00,
                                                   0x0000FF, 0xFFFFFF, 0xFFFF00};

void Put32(std::string& s, std::size_t At, std::uint32_t V)
{
    for (int i = 0; i < 4; ++i)
        s[At + i] = char((V >> (8 * i)) & 0xFF);
}
void Put16(std::string& s, std::size_t At, std::uint32_t V)
{
    s[At] = char(V & 0xFF);
    s[At + 1] = char((V >> 8) & 0xFF);
}

TDibImage MakeImage(int W, int H, std::vector<std::uint32_t> Pixels)
{
    TDibImage img;
    img.Width = W;
    img.Height = H;
    img.Pixels = std::move(Pixels);
    return img;
}

struct TBmpCase {
    const char* File;
    int Bpp;
    const std::vector<std::uint32_t>* Expected;
};

TEST(ImageCodecsTest, DecodesEveryBmpDepthAndLayout)
{
    const TBmpCase cases[] = {
        {"mono1.bmp", 1, &Mono},
        {"pal4.bmp", 4, &Colours},
        {"pal8.bmp", 8, &Colours},
        {"pal8_topdown.bmp", 8, &Colours},
        {"pal8_core.bmp", 8, &Colours},
        {"rgb555.bmp", 16, &Colours},
        {"rgb565.bmp", 16, &Colours},
        {"rgb24.bmp", 24, &Colours},
        {"rgb24_topdown.bmp", 24, &Colours},
        {"rgb24_core.bmp", 24, &Colours},
        {"rgb32.bmp", 32, &Colours},
        {"rle8.bmp", 8, &Colours},
        {"rle4.bmp", 4, &Colours},
    };
    for (const TBmpCase& c : cases) {
        SCOPED_TRACE(c.File);
        std::string bytes = Fixture(c.File);
        ASSERT_EQ(SniffImage(bytes), TImageKind::Bmp);
        TDibImage img = DecodeImage(bytes);
        EXPECT_EQ(img.Width, 3);
        EXPECT_EQ(img.Height, 2);
        EXPECT_EQ(img.BitsPerPixel, c.Bpp);
        EXPECT_FALSE(img.HasAlpha);
        EXPECT_EQ(img.Pixels, *c.Expected);
    }
}

TEST(ImageCodecsTest, PaletteOfThePaletteDepthsIsKept)
{
    EXPECT_EQ(DecodeImage(Fixture("pal8.bmp")).Palette, FixturePalette);
    EXPECT_EQ(DecodeImage(Fixture("rle4.bmp")).Palette, FixturePalette);
    EXPECT_EQ(DecodeImage(Fixture("pal8_core.bmp")).Palette.size(), 256u);
    EXPECT_EQ(DecodeImage(Fixture("mono1.bmp")).Palette, (std::vector<std::uint32_t>{0x000000, 0xFFFFFF}));
    EXPECT_TRUE(DecodeImage(Fixture("rgb24.bmp")).Palette.empty());
}

TEST(ImageCodecsTest, AlphaOfV5BitmapIsRead)
{
    TDibImage img = DecodeImage(Fixture("argb32_v5.bmp"));
    EXPECT_TRUE(img.HasAlpha);
    EXPECT_EQ(img.Pixel(0, 0), 0x80FF0000u);
    EXPECT_EQ(img.Pixel(2, 1), 0x80FFFF00u);
    EXPECT_EQ(img.Pixel(1, 1), 0x00000000u);
}

TEST(ImageCodecsTest, RleDeltaSkipsPixelsAndEndsEarly)
{
    // 4 x 3: bottom row red, a delta to (2, 2) from the bottom, one green pixel, end of bitmap.
    TDibImage img = DecodeImage(Fixture("rle8_delta.bmp"));
    ASSERT_EQ(img.Width, 4);
    ASSERT_EQ(img.Height, 3);
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(img.Pixel(x, 2), Red);
    EXPECT_EQ(img.Pixel(2, 0), Green);
    EXPECT_EQ(img.Pixel(0, 0), Black); // skipped pixels take colour 0
    EXPECT_EQ(img.Pixel(3, 1), Black);
}

TEST(ImageCodecsTest, PlainThirtyTwoBitKeepsAlphaByteWhenAnyIsSet)
{
    std::string bmp = Fixture("rgb32.bmp");
    std::size_t bits = 14 + 40;
    bmp[bits + 3] = char(0x40); // bottom-left pixel
    TDibImage img = DecodeImage(bmp);
    EXPECT_TRUE(img.HasAlpha);
    EXPECT_EQ(img.Pixel(0, 1), 0x40FFFFFFu);
    EXPECT_EQ(img.Pixel(1, 1) >> 24, 0u); // the others' zero bytes now count as alpha too
}

TEST(ImageCodecsTest, BmpRoundTripsAtEveryDepth)
{
    const TDibImage colours = MakeImage(3, 2, Colours);
    const TDibImage mono = MakeImage(3, 2, Mono);
    struct TCase {
        const TDibImage* Image;
        int Bpp;
    } cases[] = {{&mono, 1}, {&colours, 4}, {&colours, 8}, {&colours, 16}, {&colours, 24}, {&colours, 32}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Bpp);
        std::string bmp = EncodeBmp(*c.Image, c.Bpp);
        TDibImage back = DecodeImage(bmp);
        EXPECT_EQ(back.BitsPerPixel, c.Bpp);
        EXPECT_EQ(back.Width, 3);
        EXPECT_EQ(back.Height, 2);
        EXPECT_EQ(back.Pixels, c.Image->Pixels);
    }
}

TEST(ImageCodecsTest, BmpRoundTripOfWiderImagesCoversRowPadding)
{
    // Widths 1..9 cross every byte and 32-bit boundary of the packed depths.
    for (int w = 1; w <= 9; ++w)
        for (int bpp : {1, 4, 8, 16, 24, 32}) {
            SCOPED_TRACE(std::to_string(w) + " @ " + std::to_string(bpp));
            std::vector<std::uint32_t> px;
            for (int i = 0; i < w * 3; ++i)
                px.push_back(bpp == 1 ? (i % 3 ? White : Black) : Colours[i % Colours.size()]);
            TDibImage img = MakeImage(w, 3, px);
            EXPECT_EQ(DecodeImage(EncodeBmp(img, bpp)).Pixels, img.Pixels);
        }
}

// The fixtures were written by a separate tool; our writer must lay out the same colour table
// and rows, so that writer and reader cannot share one fault unseen.
TEST(ImageCodecsTest, WrittenRowsMatchIndependentlyMadeFiles)
{
    auto offBits = [](const std::string& b) {
        return std::size_t(std::uint8_t(b[10])) | (std::size_t(std::uint8_t(b[11])) << 8);
    };
    for (auto [file, bpp] : {std::pair{"mono1.bmp", 1},
                             {"pal4.bmp", 4},
                             {"pal8.bmp", 8},
                             {"rgb555.bmp", 16},
                             {"rgb24.bmp", 24},
                             {"argb32_v5.bmp", 32}}) {
        SCOPED_TRACE(file);
        std::string theirs = Fixture(file);
        std::string ours = EncodeBmp(DecodeImage(theirs), bpp);
        EXPECT_EQ(ours.substr(offBits(ours)), theirs.substr(offBits(theirs))); // rows
        if (bpp <= 8)                                                          // colour table
            EXPECT_EQ(ours.substr(14 + 40, offBits(ours) - 54), theirs.substr(14 + 40, offBits(theirs) - 54));
        std::uint32_t fileSize = 0;
        std::memcpy(&fileSize, ours.data() + 2, 4);
        EXPECT_EQ(fileSize, ours.size());
    }
}

TEST(ImageCodecsTest, EncodeKeepsTheGivenPaletteAndAlpha)
{
    TDibImage pal8 = DecodeImage(Fixture("pal8.bmp"));
    EXPECT_EQ(DecodeImage(EncodeBmp(pal8, 8)).Palette, FixturePalette);

    TDibImage alpha = DecodeImage(Fixture("argb32_v5.bmp"));
    TDibImage back = DecodeImage(EncodeBmp(alpha, 32));
    EXPECT_EQ(back.Pixels, alpha.Pixels);
    EXPECT_TRUE(back.HasAlpha);
}

TEST(ImageCodecsTest, TooManyColoursMapToTheNearestFixedEntry)
{
    std::vector<std::uint32_t> px;
    for (int i = 0; i < 300; ++i)
        px.push_back(0xFF000000 | std::uint32_t(i * 0x010203 & 0xFFFFFF));
    px[0] = 0xFF0A0A0A; // near black
    TDibImage img = MakeImage(300, 1, px);
    TDibImage four = DecodeImage(EncodeBmp(img, 4));
    EXPECT_EQ(four.Palette.size(), 16u);
    EXPECT_EQ(four.Pixel(0, 0), Black);
    TDibImage eight = DecodeImage(EncodeBmp(img, 8));
    EXPECT_EQ(eight.BitsPerPixel, 8);
    for (int x = 0; x < 300; ++x) { // the cube and the greys are never more than one step off
        std::uint32_t a = img.Pixel(x, 0), b = eight.Pixel(x, 0);
        for (int shift : {0, 8, 16})
            EXPECT_LE(std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)), 26) << x;
    }
    // Two colours fit one bit as they are; a third sends them all to black and white.
    TDibImage two = DecodeImage(EncodeBmp(MakeImage(2, 1, {0xFF202020, 0xFFE0E0E0}), 1));
    EXPECT_EQ(two.Pixels, (std::vector<std::uint32_t>{0xFF202020, 0xFFE0E0E0}));
    TDibImage three = DecodeImage(EncodeBmp(MakeImage(3, 1, {0xFF202020, 0xFFE0E0E0, 0xFF0000F0}), 1));
    EXPECT_EQ(three.Pixels, (std::vector<std::uint32_t>{Black, White, Black}));
}

TEST(ImageCodecsTest, EncodeRefusesBadDepthsAndImages)
{
    TDibImage img = MakeImage(3, 2, Colours);
    EXPECT_THROW(EncodeBmp(img, 2), EInvalidGraphic);
    EXPECT_THROW(EncodeBmp(img, 0), EInvalidGraphic);
    EXPECT_THROW(EncodeBmp(TDibImage(), 24), EInvalidGraphic);
    EXPECT_THROW(EncodeBmp(MakeImage(3, 2, {Red}), 24), EInvalidGraphic); // pixel count mismatch
}

TEST(ImageCodecsTest, PngRoundTripsOpaqueAndWithAlpha)
{
    // 37 wide: rows that are no multiple of the writer's word size.
    std::vector<std::uint32_t> wide(37 * 3);
    for (std::size_t i = 0; i < wide.size(); ++i)
        wide[i] = 0xFF000000u | std::uint32_t(i * 0x030507u & 0xFFFFFFu);
    TDibImage translucent = MakeImage(3, 2, {0x80FF0000, 0x00000000, Blue, White, 0x40102030, Yellow});
    translucent.HasAlpha = true;
    struct TCase {
        TDibImage Image;
        int Bpp;
    } cases[] = {{MakeImage(3, 2, Colours), 24}, {MakeImage(37, 3, wide), 24}, {translucent, 32}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Image.Width);
        const std::string png = EncodePng(c.Image);
        EXPECT_EQ(SniffImage(png), TImageKind::Png);
        const TDibImage back = DecodeImage(png);
        EXPECT_EQ(back.Width, c.Image.Width);
        EXPECT_EQ(back.Height, c.Image.Height);
        EXPECT_EQ(back.HasAlpha, c.Image.HasAlpha);
        // Fully transparent pixels keep no colour in a PNG reader's hands; compare the rest.
        for (std::size_t i = 0; i < back.Pixels.size(); ++i)
            if (c.Image.Pixels[i] >> 24)
                EXPECT_EQ(back.Pixels[i], c.Image.Pixels[i]) << i;
    }
    EXPECT_THROW(EncodePng(TDibImage()), EInvalidGraphic);
    EXPECT_THROW(EncodePng(MakeImage(3, 2, {Red})), EInvalidGraphic);
}

TEST(ImageCodecsTest, SniffsBySignatureNotByName)
{
    struct TCase {
        std::string Bytes;
        TImageKind Kind;
    } cases[] = {
        {Fixture("rgb24.bmp"), TImageKind::Bmp},
        {Fixture("tiny.png"), TImageKind::Png},
        {Fixture("tiny.jpg"), TImageKind::Jpeg},
        {Fixture("tiny.gif"), TImageKind::Gif},
        {Fixture("two.ico"), TImageKind::Ico},
        {Fixture("hand.cur"), TImageKind::Cur},
        {"", TImageKind::Unknown},
        {"BM", TImageKind::Unknown},
        {"BM is how this text starts, not a bitmap", TImageKind::Unknown},
        {"GIF88a......", TImageKind::Unknown},
        {std::string("\0\0\1\0\0\0", 6), TImageKind::Unknown}, // an icon directory of no entries
        {"plain text", TImageKind::Unknown},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Bytes.substr(0, 12));
        EXPECT_EQ(SniffImage(c.Bytes), c.Kind);
    }
    // A PNG saved under a bitmap's name loads as the PNG it is.
    std::string path = testing_support::MakeTempDir("sniff") + "/picture.bmp";
    testing_support::WriteFileBytes(path, Fixture("tiny.png"));
    EXPECT_EQ(DecodeImage(testing_support::ReadFileBytes(path)).Width, 2);
    EXPECT_THROW(DecodeImage(std::string("plain text")), EInvalidGraphic);
}

// tiny.jpg with a whole copy of itself inside an application segment, as a camera's thumbnail.
std::string JpegWithThumbnail()
{
    std::string jpg = Fixture("tiny.jpg");
    std::string app = "\xFF\xE1";
    std::size_t length = jpg.size() + 2;
    app += char(length >> 8);
    app += char(length & 0xFF);
    return jpg.substr(0, 2) + app + jpg + jpg.substr(2);
}

TEST(ImageCodecsTest, DecodesPngGifAndJpeg)
{
    TDibImage png = DecodeImage(Fixture("tiny.png"));
    EXPECT_EQ(png.Width, 2);
    EXPECT_TRUE(png.HasAlpha);
    EXPECT_EQ(png.Pixels, (std::vector<std::uint32_t>{Red, Green, Blue, 0x00000000}));

    TDibImage gif = DecodeImage(Fixture("tiny.gif"));
    EXPECT_EQ(gif.BitsPerPixel, 8);
    EXPECT_EQ(gif.Pixels, (std::vector<std::uint32_t>{Red, Green, Blue, White}));
    EXPECT_EQ(gif.Palette.size(), 4u);

    EXPECT_EQ(DecodeImage(JpegWithThumbnail()).Width, 8);
    TDibImage jpg = DecodeImage(Fixture("tiny.jpg"));
    EXPECT_EQ(jpg.Width, 8);
    EXPECT_EQ(jpg.Height, 8);
    EXPECT_EQ(jpg.BitsPerPixel, 24);
    EXPECT_FALSE(jpg.HasAlpha);
    for (std::uint32_t p : jpg.Pixels) // lossy: near 0x204080
        EXPECT_TRUE(std::abs(int((p >> 16) & 0xFF) - 0x20) <= 4 &&
                    std::abs(int((p >> 8) & 0xFF) - 0x40) <= 4 && std::abs(int(p & 0xFF) - 0x80) <= 4)
            << std::hex << p;
}

TEST(ImageCodecsTest, AnimatedGifGivesItsFirstFrame)
{
    // Two frames; the first marks colour 3 transparent, the second would paint everything green.
    const std::string anim = Fixture("anim.gif");
    EXPECT_EQ(SniffImage(anim), TImageKind::Gif);
    TDibImage gif = DecodeImage(anim);
    EXPECT_EQ(gif.Width, 2);
    EXPECT_EQ(gif.Height, 2);
    EXPECT_TRUE(gif.HasAlpha);
    EXPECT_EQ(gif.Pixels[0], Red);
    EXPECT_EQ(gif.Pixels[1], Green);
    EXPECT_EQ(gif.Pixels[2], Blue);
    EXPECT_EQ(gif.Pixels[3] >> 24, 0u) << std::hex << gif.Pixels[3];
    EXPECT_EQ(gif.Palette.size(), 4u);
    // Only the first frame has to be whole: a file cut inside the second one still shows the
    // first, one cut inside the first is an error.
    const std::size_t second = anim.find(std::string("\x21\xF9", 2), anim.find(',') + 1);
    ASSERT_NE(second, std::string::npos);
    for (std::size_t cut : {anim.size() - 1, anim.size() - 6, second + 3}) {
        TDibImage part = DecodeImage(anim.substr(0, cut));
        EXPECT_EQ(part.Pixels[0], Red) << cut;
        EXPECT_EQ(part.Pixels[1], Green) << cut;
    }
    EXPECT_THROW(DecodeImage(anim.substr(0, second - 3)), EInvalidGraphic);
}

TEST(ImageCodecsTest, ReadsEveryIconEntryWithItsMask)
{
    std::vector<TIconImage> entries = DecodeIconEntries(Fixture("two.ico").data(), Fixture("two.ico").size());
    ASSERT_EQ(entries.size(), 2u);
    const TIconImage& small = entries[0];
    EXPECT_EQ(small.Image.Width, 2);
    EXPECT_EQ(small.Image.BitsPerPixel, 1);
    // Colour rows (top first): white black / black white; mask: 0 1 / 0 0.
    EXPECT_EQ(small.Mask, (std::vector<std::uint8_t>{0, 1, 0, 0}));
    EXPECT_EQ(small.Image.Pixel(0, 0), White);
    EXPECT_EQ(small.Image.Pixel(1, 0) >> 24, 0u);
    EXPECT_EQ(small.Image.Pixel(1, 1), White);

    const TIconImage& big = entries[1];
    EXPECT_EQ(big.Image.Width, 4);
    EXPECT_EQ(big.Image.BitsPerPixel, 4);
    EXPECT_FALSE(big.IsCursor);
    EXPECT_EQ(big.Mask, (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 1, 1, 0, 0, 1, 1, 0, 1, 0, 0, 1}));
    EXPECT_EQ(big.Image.Pixel(0, 0), Red);
    EXPECT_EQ(big.Image.Pixel(3, 0), White);
    EXPECT_EQ(big.Image.Pixel(0, 1), Black);
    EXPECT_EQ(big.Image.Pixel(1, 1), 0x00FF0000u); // masked: colour kept, alpha 0
    EXPECT_TRUE(big.Image.HasAlpha);
}

TEST(ImageCodecsTest, ChoosesTheIconEntryBySize)
{
    std::string ico = Fixture("two.ico");
    struct TCase {
        int W, H, Expected;
    } cases[] = {{0, 0, 4}, {2, 2, 2}, {4, 4, 4}, {3, 3, 4}, {1, 1, 2}, {32, 32, 4}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.W));
        EXPECT_EQ(DecodeIcon(ico, c.W, c.H).Image.Width, c.Expected);
    }
    EXPECT_EQ(DecodeImage(ico).Width, 4);
}

TEST(ImageCodecsTest, PngIconEntryAndCursorHotSpot)
{
    TIconImage png = DecodeIcon(Fixture("png.ico"));
    EXPECT_TRUE(png.IsPng);
    EXPECT_EQ(png.Mask, (std::vector<std::uint8_t>{0, 0, 0, 1}));
    EXPECT_EQ(png.Image.Pixel(0, 0), Red);

    TIconImage cur = DecodeIcon(Fixture("hand.cur"));
    EXPECT_TRUE(cur.IsCursor);
    EXPECT_EQ(cur.HotSpotX, 1);
    EXPECT_EQ(cur.HotSpotY, 2);
    EXPECT_EQ(cur.Image.Width, 4);
    EXPECT_EQ(SniffImage(Fixture("hand.cur")), TImageKind::Cur);
}

TEST(ImageCodecsTest, IconsRoundTripThroughEncodeIcon)
{
    for (const char* file : {"two.ico", "hand.cur", "png.ico"}) {
        SCOPED_TRACE(file);
        std::string bytes = Fixture(file);
        std::vector<TIconImage> entries = DecodeIconEntries(bytes.data(), bytes.size());
        std::string again = EncodeIcon(entries);
        std::vector<TIconImage> back = DecodeIconEntries(again.data(), again.size());
        ASSERT_EQ(back.size(), entries.size());
        for (std::size_t i = 0; i < back.size(); ++i) {
            EXPECT_EQ(back[i].Mask, entries[i].Mask);
            EXPECT_EQ(back[i].IsCursor, entries[i].IsCursor);
            EXPECT_EQ(back[i].HotSpotX, entries[i].HotSpotX);
            EXPECT_EQ(back[i].HotSpotY, entries[i].HotSpotY);
            for (std::size_t p = 0; p < back[i].Mask.size(); ++p)
                if (!back[i].Mask[p]) // visible pixels keep their colour exactly
                    EXPECT_EQ(back[i].Image.Pixels[p], entries[i].Image.Pixels[p]) << p;
        }
    }
    TIconImage huge;
    huge.Image = MakeImage(300, 1, std::vector<std::uint32_t>(300, Red));
    EXPECT_THROW(EncodeIcon({huge}), EInvalidGraphic);
    EXPECT_THROW(EncodeIcon({}), EInvalidGraphic);
}

TEST(ImageCodecsTest, PackedDibWithoutFileHeader)
{
    std::string bmp = Fixture("pal8.bmp");
    TDibImage img = DecodeDib(bmp.data() + 14, bmp.size() - 14);
    EXPECT_EQ(img.Pixels, Colours);
    // Header and colour table apart from the rows, run-length rows included.
    for (const char* file : {"pal8.bmp", "rle4.bmp"}) {
        SCOPED_TRACE(file);
        std::string b = Fixture(file);
        std::size_t bitsAt = std::uint8_t(b[10]) | (std::size_t(std::uint8_t(b[11])) << 8);
        EXPECT_EQ(DecodeDibBits(b.data() + 14, bitsAt - 14, b.data() + bitsAt, b.size() - bitsAt).Pixels,
                  Colours);
        EXPECT_THROW(DecodeDibBits(b.data() + 14, bitsAt - 14, b.data() + bitsAt, 3), EInvalidGraphic);
        EXPECT_THROW(DecodeDibBits(b.data() + 14, 20, b.data() + bitsAt, b.size() - bitsAt), EInvalidGraphic);
    }
}

// Each mutation turns a valid fixture into one that must be refused.
struct TCorruption {
    const char* Name;
    const char* File;
    std::function<void(std::string&)> Mutate;
};

TEST(ImageCodecsTest, CorruptOrTruncatedImagesRaiseInvalidGraphic)
{
    const std::size_t Info = 14; // where the info header starts
    const TCorruption cases[] = {
        {"header size 0", "rgb24.bmp", [&](std::string& s) { Put32(s, Info, 0); }},
        {"header size 13", "rgb24.bmp", [&](std::string& s) { Put32(s, Info, 13); }},
        {"header larger than file", "rgb24.bmp", [&](std::string& s) { Put32(s, Info, 4000); }},
        {"width 0", "rgb24.bmp", [&](std::string& s) { Put32(s, Info + 4, 0); }},
        {"negative width", "rgb24.bmp", [&](std::string& s) { Put32(s, Info + 4, std::uint32_t(-3)); }},
        {"height 0", "rgb24.bmp", [&](std::string& s) { Put32(s, Info + 8, 0); }},
        {"most negative height", "rgb24.bmp", [&](std::string& s) { Put32(s, Info + 8, 0x80000000u); }},
        {"width 40000", "rgb24.bmp", [&](std::string& s) { Put32(s, Info + 4, 40000); }},
        {"30000 x 30000", "rle8.bmp",
         [&](std::string& s) {
             Put32(s, Info + 4, 30000);
             Put32(s, Info + 8, 30000);
         }},
        {"rows past the end", "rgb24.bmp", [&](std::string& s) { Put32(s, Info + 8, 3); }},
        {"depth 7", "rgb24.bmp", [&](std::string& s) { Put16(s, Info + 14, 7); }},
        {"two planes", "rgb24.bmp", [&](std::string& s) { Put16(s, Info + 12, 2); }},
        {"embedded jpeg", "rgb24.bmp", [&](std::string& s) { Put32(s, Info + 16, 4); }},
        {"unknown compression", "rgb24.bmp", [&](std::string& s) { Put32(s, Info + 16, 99); }},
        {"rle8 at 24 bits", "rgb24.bmp", [&](std::string& s) { Put32(s, Info + 16, 1); }},
        {"bitfields at 8 bits", "pal8.bmp", [&](std::string& s) { Put32(s, Info + 16, 3); }},
        {"top-down rle", "rle8.bmp", [&](std::string& s) { Put32(s, Info + 8, std::uint32_t(-2)); }},
        {"bits offset past the end", "rgb24.bmp", [&](std::string& s) { Put32(s, 10, 100000); }},
        {"bits offset inside the header", "rgb24.bmp", [&](std::string& s) { Put32(s, 10, 20); }},
        {"huge colour count", "pal8.bmp", [&](std::string& s) { Put32(s, Info + 32, 1000000000); }},
        {"palette past the end", "pal8.bmp", [&](std::string& s) { Put32(s, Info + 32, 200); }},
        {"rle8 cut before its rows", "rle8.bmp", [&](std::string& s) { s.resize(s.size() - 12); }},
        {"rle8 absolute run past the end", "rle8.bmp",
         [&](std::string& s) {
             s.resize(s.size() - 12);
             s += std::string("\0\xC8\1\2", 4);
         }},
        {"bmp half", "rgb24.bmp", [&](std::string& s) { s.resize(s.size() / 2); }},
        {"png half", "tiny.png", [&](std::string& s) { s.resize(s.size() / 2); }},
        {"png pixel data broken", "tiny.png",
         [&](std::string& s) {
             std::size_t idat = s.find("IDAT");
             for (std::size_t i = idat + 4; i < idat + 14 && i < s.size(); ++i)
                 s[i] = char(0xA5);
         }},
        {"jpeg without its end", "tiny.jpg", [&](std::string& s) { s.resize(s.size() - 2); }},
        {"jpeg half", "tiny.jpg", [&](std::string& s) { s.resize(s.size() / 2); }},
        {"jpeg cut after a whole thumbnail", "tiny.jpg",
         [&](std::string& s) {
             s = JpegWithThumbnail();
             s.resize(s.size() - 40);
         }},
        {"jpeg segment longer than the file", "tiny.jpg", [&](std::string& s) { s[4] = char(0x7F); }},
        {"gif half", "tiny.gif", [&](std::string& s) { s.resize(s.size() / 2); }},
        {"gif cut in its data", "tiny.gif", [&](std::string& s) { s.resize(s.size() - 4); }},
        {"icon of no entries", "two.ico", [&](std::string& s) { Put16(s, 4, 0); }},
        {"icon entries past the end", "two.ico", [&](std::string& s) { Put16(s, 4, 200); }},
        {"icon entry offset past the end", "two.ico",
         [&](std::string& s) {
             Put32(s, 6 + 12, 100000);
             Put32(s, 22 + 12, 100000);
         }},
        {"icon entry size past the end", "two.ico",
         [&](std::string& s) {
             Put32(s, 6 + 8, 100000);
             Put32(s, 22 + 8, 100000);
         }},
        {"icon entries of depth 3", "two.ico",
         [&](std::string& s) {
             for (std::size_t e = 0; e < 2; ++e) {
                 std::uint32_t at = std::uint32_t(std::uint8_t(s[6 + 16 * e + 12])) |
                                    (std::uint32_t(std::uint8_t(s[6 + 16 * e + 13])) << 8);
                 Put16(s, at + 14, 3);
             }
         }},
        {"icon missing its mask", "hand.cur", [&](std::string& s) { s.resize(s.size() - 8); }},
        {"thousands of entries sharing one image", "hand.cur",
         [&](std::string& s) {
             // 65535 directory entries, all naming one 4 x 4 image grown to 256 x 256 x 32 bits.
             std::string dib(40, '\0');
             Put32(dib, 0, 40);
             Put32(dib, 4, 256);
             Put32(dib, 8, 512);
             Put16(dib, 12, 1);
             Put16(dib, 14, 32);
             dib += std::string(256 * 256 * 4 + 32 * 256, '\x7F');
             const std::size_t count = 65535, at = 6 + 16 * count;
             s.assign(at, '\0');
             Put16(s, 2, 2);
             Put16(s, 4, count);
             for (std::size_t i = 0; i < count; ++i) {
                 Put32(s, 6 + 16 * i + 8, std::uint32_t(dib.size()));
                 Put32(s, 6 + 16 * i + 12, std::uint32_t(at));
             }
             s += dib;
         }},
        {"png icon entry cut", "png.ico",
         [&](std::string& s) {
             s.resize(s.size() - 40);
             Put32(s, 6 + 8, std::uint32_t(s.size() - 22));
         }},
    };
    for (const TCorruption& c : cases) {
        SCOPED_TRACE(c.Name);
        std::string bytes = Fixture(c.File);
        c.Mutate(bytes);
        try {
            DecodeImage(bytes);
            ADD_FAILURE() << "decoded";
        } catch (const EInvalidGraphic& e) {
            // The message names the kind the data claims to be by its signature.
            const std::string file = c.File, kind = file.substr(file.rfind('.') + 1);
            const std::string want = SniffImage(bytes) == TImageKind::Unknown ? "Unknown picture format"
                                     : kind == "bmp"                          ? "Bitmap image is not valid"
                                     : kind == "png"                          ? "PNG image is not valid"
                                     : kind == "jpg"                          ? "JPEG image is not valid"
                                     : kind == "gif"                          ? "GIF image is not valid"
                                                                              : "Icon image is not valid";
            EXPECT_EQ(e.Message(), want);
        }
    }
}

TEST(ImageCodecsTest, EveryPrefixOfEveryFixtureDecodesOrRaises)
{
    // Under the sanitizers this also proves no prefix is read past its end.
    for (const char* file :
         {"mono1.bmp", "pal4.bmp", "pal8_core.bmp", "rgb565.bmp", "argb32_v5.bmp", "rle4.bmp", "rle8.bmp",
          "rle8_delta.bmp", "tiny.png", "tiny.gif", "tiny.jpg", "two.ico", "png.ico", "hand.cur"}) {
        SCOPED_TRACE(file);
        std::string whole = Fixture(file);
        int decoded = 0;
        for (std::size_t n = 0; n < whole.size(); ++n) {
            std::string prefix = whole.substr(0, n);
            try {
                TDibImage img = DecodeImage(prefix);
                ASSERT_EQ(img.Pixels.size(), std::size_t(img.Width) * img.Height);
                ++decoded;
            } catch (const EInvalidGraphic&) {
            }
        }
        // Only the last row's missing padding (or an RLE's missing end marker) may be forgiven.
        EXPECT_LE(decoded, 4);
    }
}

} // namespace
