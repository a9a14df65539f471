// The GIF decoder against an independent one (the system's GIF library, in the tests only): on
// files made by the test writer and by an outside optimiser, the colour indices, the frame bitmaps
// and the masks of every frame must equal what the other decoder reads. Then the inputs only our
// decoder sees: broken code streams, absurd sizes, truncation anywhere.
#include "html-engine/GifImages.h"

#include "html-engine/tests/GifOracle.h"
#include "html-engine/tests/GifWriter.h"
#include "platform/graphics/WinGdi.h"
#include "platform/rtl/Streams.h"
#include "platform/testing/TestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

using namespace gif_oracle;
using namespace gif_writer;

namespace {

// ---- Our side -------------------------------------------------------------------------------

// The bitmap's pixels as 0x00RRGGBB, top row first.
std::vector<std::uint32_t> PixelsOf(TBitmap* Bitmap)
{
    const int W = Bitmap->Width(), H = Bitmap->Height();
    std::vector<std::uint32_t> P(std::size_t(W) * std::size_t(H));
    BITMAPINFO Info;
    Info.bmiHeader.biWidth = W;
    Info.bmiHeader.biHeight = -H;
    Info.bmiHeader.biBitCount = 32;
    EXPECT_EQ(GetDIBits(nullptr, Bitmap->Handle(), 0, UINT(H), P.data(), &Info, DIB_RGB_COLORS), H);
    for (std::uint32_t& V : P)
        V &= 0xFFFFFF;
    return P;
}

std::unique_ptr<TGIFImage> ReadFull(const std::string& Bytes)
{
    auto Image = std::make_unique<TGIFImage>();
    TStringStream In(Bytes);
    Image->DataStream()->LoadFromStream(&In);
    EXPECT_TRUE(Image->ReadGIFData());
    return Image;
}

// Our frames (indices, then bitmaps and masks of a full read) against the oracle's first
// ExpectFrames frames (all when -1).
void ExpectLikeOracle(const std::string& Bytes, int ExpectFrames = -1)
{
    const TOracle O = Oracle(Bytes);
    ASSERT_TRUE(O.Ok);
    if (ExpectFrames < 0)
        ExpectFrames = int(O.Frames.size());
    TGifRasters R;
    ASSERT_TRUE(ReadGifRasters(Bytes.data(), Bytes.size(), R));
    ASSERT_EQ(int(R.Frames.size()), ExpectFrames);
    EXPECT_EQ(R.ScreenWidth, O.Width);
    EXPECT_EQ(R.ScreenHeight, O.Height);
    EXPECT_EQ(R.LoopCount, O.LoopCount < 0 ? 1 : O.LoopCount);
    auto Image = ReadFull(Bytes);
    ASSERT_EQ(Image->FrameCount(), ExpectFrames);
    for (int I = 0; I < ExpectFrames; ++I) {
        SCOPED_TRACE("frame " + std::to_string(I + 1));
        const TOracleFrame& Want = O.Frames[std::size_t(I)];
        const TGifRaster& Got = R.Frames[std::size_t(I)];
        EXPECT_EQ(Got.Left, Want.Left);
        EXPECT_EQ(Got.Top, Want.Top);
        ASSERT_EQ(Got.Width, Want.Width);
        ASSERT_EQ(Got.Height, Want.Height);
        EXPECT_EQ(Got.Interlaced, Want.Interlaced);
        EXPECT_EQ(Got.LocalTable, Want.LocalTable);
        EXPECT_EQ(Got.Disposal, Want.Disposal);
        EXPECT_EQ(Got.Delay, Want.Delay * 10);
        EXPECT_EQ(Got.Transparent ? int(Got.TransparentIndex) : -1, Want.TransparentIndex);
        ASSERT_EQ(Got.Pixels, Want.Pixels);

        TGIFFrame* F = Image->Frame(I + 1);
        ASSERT_TRUE(F->Image);
        const std::vector<std::uint32_t> Colours = PixelsOf(F->Image.get());
        std::vector<std::uint32_t> Mask;
        ASSERT_EQ(F->Mask != nullptr, Want.TransparentIndex >= 0);
        if (F->Mask)
            Mask = PixelsOf(F->Mask.get());
        for (std::size_t P = 0; P < Want.Pixels.size(); ++P) {
            const int Index = Want.Pixels[P];
            const bool Clear = Index == Want.TransparentIndex;
            const std::uint32_t Colour = Clear ? 0
                                         : std::size_t(Index) < Want.Colours.size()
                                             ? Want.Colours[std::size_t(Index)]
                                             : 0;
            ASSERT_EQ(Colours[P], Colour) << "pixel " << P;
            if (F->Mask)
                ASSERT_EQ(Mask[P], Clear ? 0xFFFFFFu : 0u) << "mask pixel " << P;
        }
    }
}

TFrame Plain(int W, int H, int Bits, std::uint32_t Seed = 1)
{
    TFrame F;
    F.Width = W;
    F.Height = H;
    F.MinCodeSize = std::max(Bits, 1);
    F.Indices = Pattern(W, H, Bits, Seed);
    return F;
}

std::string OneImage(const TFrame& F, int TableBits)
{
    return TGifBuilder()
        .Screen(F.Width, F.Height, DistinctTable(std::size_t(1) << TableBits))
        .Image(F)
        .Trailer()
        .Bytes();
}

// ---- Against the oracle ---------------------------------------------------------------------

struct TCodeCase {
    const char* Name;
    int CodesBeforeClear; // 0: clear at table-full; >0 deferred; -1 never
    int ClearEvery;
};
const TCodeCase CodeCases[] = {
    {"ClearAtTableFull", 0, 0},
    {"DeferredClear", 60, 0},
    {"NeverClear", -1, 0},
    {"ClearEvery7", 0, 7},
};

TEST(GifOracle, EveryCodeSizeAndClearStrategyAcrossSubBlockBoundaries)
{
    const int BlockSizes[] = {1, 2, 3, 7, 100, 254, 255};
    int B = 0;
    for (int Bits = 1; Bits <= 8; ++Bits)
        for (const TCodeCase& C : CodeCases) {
            SCOPED_TRACE(std::string(C.Name) + " at code size " + std::to_string(Bits));
            TFrame F = Plain(256, 160, Bits, std::uint32_t(Bits));
            F.Lzw.CodesBeforeClear = C.CodesBeforeClear;
            F.Lzw.ClearEvery = C.ClearEvery;
            F.BlockSize = BlockSizes[B++ % 7];
            ExpectLikeOracle(OneImage(F, Bits));
        }
}

TEST(GifOracle, LongestStringsOfAUniformImage)
{
    // One colour: each code is one pixel longer than the last, up to the full table.
    TFrame F = Plain(400, 300, 8);
    std::fill(F.Indices.begin(), F.Indices.end(), 5);
    F.Lzw.CodesBeforeClear = -1;
    ExpectLikeOracle(OneImage(F, 8));
}

TEST(GifOracle, InterlacedHeightsOneToNine)
{
    for (int H = 1; H <= 9; ++H) {
        SCOPED_TRACE("height " + std::to_string(H));
        TFrame F = Plain(5, H, 4, std::uint32_t(H));
        F.Interlaced = true;
        ExpectLikeOracle(OneImage(F, 4));
    }
}

TEST(GifOracle, LocalAndGlobalTablesOfEverySize)
{
    TGifBuilder B;
    B.Screen(20, 12, DistinctTable(256, 1));
    for (int Bits = 1; Bits <= 8; ++Bits) {
        TFrame F = Plain(20 - Bits, 12 - Bits, Bits, std::uint32_t(Bits));
        F.Left = Bits;
        F.Top = Bits / 2;
        if (Bits % 2)
            F.LocalTable = DistinctTable(std::size_t(1) << Bits, std::uint32_t(Bits + 7));
        B.Image(F);
    }
    ExpectLikeOracle(B.Trailer().Bytes());

    // No global table: every frame brings its own.
    TGifBuilder L;
    L.Screen(6, 4);
    for (int I = 0; I < 3; ++I) {
        TFrame F = Plain(6, 4, 2, std::uint32_t(I));
        F.LocalTable = DistinctTable(4, std::uint32_t(I + 3));
        L.Image(F);
    }
    ExpectLikeOracle(L.Trailer().Bytes());
}

TEST(GifOracle, DisposalsDelaysAndTransparency)
{
    TGifBuilder B;
    B.Screen(8, 6, DistinctTable(16)).Loop(0);
    for (int D = 0; D <= 7; ++D) {
        TFrame F = Plain(8 - D / 2, 6 - D / 3, 4, std::uint32_t(D + 1));
        F.Control = true;
        F.Disposal = D;
        F.Delay = D == 3 ? 0 : 5 * D + 1;
        F.Transparent = D % 2 == 0;
        F.TransparentIndex = 3 + D;
        B.Image(F);
    }
    ExpectLikeOracle(B.Trailer().Bytes());
}

TEST(GifOracle, LoopCounts)
{
    for (int Count : {0, 1, 2, 65535}) {
        SCOPED_TRACE("loop count " + std::to_string(Count));
        TFrame F = Plain(4, 4, 2);
        ExpectLikeOracle(
            TGifBuilder().Screen(4, 4, DistinctTable(4)).Loop(Count).Image(F).Image(F).Trailer().Bytes());
    }
}

TEST(GifOracle, CommentsAndApplicationBlocksAreSkipped)
{
    TFrame F = Plain(6, 5, 3);
    const std::string Bytes = TGifBuilder()
                                  .Screen(6, 5, DistinctTable(8))
                                  .Comment("made by hand")
                                  .Extension(0xFF, "\x0B"
                                                   "OTHERAPP1.0" +
                                                       std::string("\x05xyzzy", 6))
                                  .Image(F)
                                  .Extension(0x01, std::string(12, 'p') + "\x04text")
                                  .Comment(std::string(300, 'c'))
                                  .Image(F)
                                  .Trailer()
                                  .Bytes();
    ExpectLikeOracle(Bytes);
    TGifRasters R;
    ASSERT_TRUE(ReadGifRasters(Bytes.data(), Bytes.size(), R));
    EXPECT_EQ(R.Frames[0].Comment, "made by hand");
    EXPECT_EQ(R.Frames[1].Comment, std::string(300, 'c'));
}

TEST(GifOracle, AnUnknownExtensionEndsReadingWithTheFramesSoFar)
{
    TFrame F = Plain(4, 3, 2);
    const std::string Bytes = TGifBuilder()
                                  .Screen(4, 3, DistinctTable(4))
                                  .Image(F)
                                  .Image(F)
                                  .Extension(0x42, "unknown")
                                  .Image(F)
                                  .Trailer()
                                  .Bytes();
    ASSERT_EQ(Oracle(Bytes).Frames.size(), 3u);
    ExpectLikeOracle(Bytes, 2);
}

TEST(GifOracle, FramesPastTheLimitAreNotRead)
{
    TGifBuilder B;
    B.Screen(3, 2, DistinctTable(4));
    for (int I = 0; I < 257; ++I)
        B.Image(Plain(3, 2, 2, std::uint32_t(I)));
    const std::string Bytes = B.Trailer().Bytes();
    ASSERT_EQ(Oracle(Bytes).Frames.size(), 257u);
    ExpectLikeOracle(Bytes, 256);
}

// Files another program made: its optimiser writes frame differences, transparency, local tables
// and its own LZW.
TEST(GifOracle, FilesMadeByAnotherProgram)
{
    for (const char* Name : {"optimized.gif", "interlaced.gif", "localcolors.gif", "unoptimized.gif"}) {
        SCOPED_TRACE(Name);
        const std::string Bytes =
            testing_support::ReadFileBytes(std::string(TW_TEST_DATA_DIR) + "/tests/data/gif/" + Name);
        ASSERT_FALSE(Bytes.empty());
        ExpectLikeOracle(Bytes);
    }
}

// ---- Inputs only we see -----------------------------------------------------------------------

// A frame whose data is the given codes (each at Width bits), with MinCodeSize.
std::string FrameWithCodes(int W, int H, int MinCodeSize, const std::vector<std::pair<unsigned, int>>& Codes)
{
    TCodePacker P;
    for (const auto& [Code, Width] : Codes)
        P.Put(Code, Width);
    TFrame F;
    F.Width = W;
    F.Height = H;
    std::string Out;
    Out += ',';
    PutWord(Out, 0);
    PutWord(Out, 0);
    PutWord(Out, W);
    PutWord(Out, H);
    Out += '\0';
    Out += char(MinCodeSize);
    Out += SubBlocks(P.Bytes());
    return Out;
}

TGifRasters Rasters(const std::string& Bytes)
{
    TGifRasters R;
    EXPECT_TRUE(ReadGifRasters(Bytes.data(), Bytes.size(), R));
    return R;
}

TEST(GifSafety, BrokenCodeStreamsKeepWhatWasDecoded)
{
    struct TCase {
        const char* Name;
        int MinCodeSize;
        std::vector<std::pair<unsigned, int>> Codes;
        std::vector<std::uint8_t> Want; // 6 pixels
    };
    // Code size 2: clear 4, end 5, first free 6, codes 3 bits wide until 8 entries.
    const TCase Cases[] = {
        {"CodeAboveTheNextFreeEndsTheData", 2, {{4, 3}, {1, 3}, {7, 3}, {1, 3}}, {1, 0, 0, 0, 0, 0}},
        // After a clear, codes of the old table are not in the new one.
        {"OldTableCodeAfterClearEndsTheData",
         2,
         {{4, 3}, {1, 3}, {2, 3}, {3, 3}, {4, 4}, {1, 3}, {7, 3}, {1, 3}},
         {1, 2, 3, 1, 0, 0}},
        {"CodeEqualToTheNextFreeIsTheRepeat", 2, {{4, 3}, {1, 3}, {6, 3}, {5, 3}}, {1, 1, 1, 0, 0, 0}},
        {"FirstCodeAfterClearMustBeAPixel", 2, {{4, 3}, {6, 3}, {1, 3}}, {0, 0, 0, 0, 0, 0}},
        {"LeadingClearsAreSkipped", 2, {{4, 3}, {4, 3}, {4, 3}, {3, 3}, {2, 3}, {5, 3}}, {3, 2, 0, 0, 0, 0}},
        {"EndCodeStopsEarly", 2, {{4, 3}, {3, 3}, {5, 3}, {1, 3}, {1, 3}}, {3, 0, 0, 0, 0, 0}},
        {"DataEndingMidCode", 2, {{4, 3}, {2, 3}, {1, 2}}, {2, 0, 0, 0, 0, 0}},
        {"MinimumCodeSizeZeroHasNoData", 0, {{1, 1}, {0, 1}, {0, 1}}, {0, 0, 0, 0, 0, 0}},
        {"MinimumCodeSizeTwelveHasNoData", 12, {{4096, 13}, {1, 13}, {2, 13}}, {0, 0, 0, 0, 0, 0}},
        {"MoreDataThanPixelsIsDropped",
         2,
         {{4, 3}, {1, 3}, {6, 3}, {7, 3}, {7, 4}, {3, 4}},
         {1, 1, 1, 1, 1, 1}},
    };
    TFrame Next = Plain(3, 2, 2, 9);
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        const std::string Bytes = TGifBuilder()
                                      .Screen(3, 2, DistinctTable(4))
                                      .Raw(FrameWithCodes(3, 2, C.MinCodeSize, C.Codes))
                                      .Image(Next)
                                      .Trailer()
                                      .Bytes();
        const TGifRasters R = Rasters(Bytes);
        ASSERT_EQ(R.Frames.size(), 2u); // the next frame is found after the broken one
        EXPECT_EQ(R.Frames[0].Pixels, C.Want);
        EXPECT_EQ(R.Frames[1].Pixels, Next.Indices);
        auto Image = ReadFull(Bytes);
        EXPECT_EQ(Image->FrameCount(), 2);
    }
}

TEST(GifSafety, LargestCodeSizeFillsTheWholeTable)
{
    // Code size 11: codes start 12 bits wide, so the table fills at once; pixel values keep
    // their low byte.
    std::vector<std::pair<unsigned, int>> Codes{{2048, 12}};
    std::vector<std::uint8_t> Want;
    for (unsigned I = 0; I < 3000; ++I) {
        Codes.push_back({(I * 7) % 2048, 12});
        Want.push_back(std::uint8_t((I * 7) % 2048));
    }
    Codes.push_back({2049, 12});
    const std::string Bytes = TGifBuilder()
                                  .Screen(100, 30, DistinctTable(256))
                                  .Raw(FrameWithCodes(100, 30, 11, Codes))
                                  .Trailer()
                                  .Bytes();
    EXPECT_EQ(Rasters(Bytes).Frames.at(0).Pixels, Want);
}

TEST(GifSafety, ZeroSizedFramesSkipTheirData)
{
    TFrame Empty = Plain(3, 2, 2);
    Empty.Width = 0;
    TFrame Flat = Plain(3, 2, 2);
    Flat.Height = 0;
    TFrame Real = Plain(3, 2, 2, 4);
    const std::string Bytes =
        TGifBuilder().Screen(3, 2, DistinctTable(4)).Image(Empty).Image(Flat).Image(Real).Trailer().Bytes();
    const TGifRasters R = Rasters(Bytes);
    ASSERT_EQ(R.Frames.size(), 3u);
    EXPECT_TRUE(R.Frames[0].Pixels.empty());
    EXPECT_TRUE(R.Frames[1].Pixels.empty());
    EXPECT_EQ(R.Frames[2].Pixels, Real.Indices);
    auto Image = ReadFull(Bytes);
    ASSERT_EQ(Image->FrameCount(), 3);
    EXPECT_FALSE(Image->Frame(1)->Image);
    ASSERT_TRUE(Image->Frame(3)->Image);
    // Stepping through the empty frames draws nothing and breaks nothing.
    for (int I = 1; I <= 4; ++I)
        Image->SetCurrentFrame(I);
    EXPECT_EQ(Image->CurrentFrame(), 1);
}

TEST(GifSafety, SizeLimitsMakeTheReadFail)
{
    struct TCase {
        const char* Name;
        int ScreenW, ScreenH;
        std::vector<std::array<int, 4>> Frames; // left, top, width, height
    };
    const TCase Cases[] = {
        {"FrameAboveThePixelCap", 10, 10, {{0, 0, 8193, 8193}}},
        {"FrameSideAboveTheLimit", 10, 10, {{0, 0, 40000, 1}}},
        {"FramesAddingUpPastTheTotal", 10, 10, {{0, 0, 8000, 8000}, {0, 0, 8000, 8000}, {0, 0, 8000, 8000}}},
        {"ScreenAboveThePixelCap", 9000, 9000, {{0, 0, 2, 2}}},
        {"FramePushingTheScreenPastTheSide", 10, 10, {{30000, 0, 3000, 2}}},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        TGifBuilder B;
        B.Screen(C.ScreenW, C.ScreenH, DistinctTable(4));
        for (const auto& [L, T, W, H] : C.Frames) {
            TFrame F;
            F.Left = L;
            F.Top = T;
            F.Width = W;
            F.Height = H;
            F.MinCodeSize = 2;
            B.Descriptor(F).Raw(std::string("\x02\x01\x44\x00", 4));
        }
        TStringStream In(B.Trailer().Bytes());
        // The header-only pass already refuses it, so the loader decodes the file itself.
        bool NotAnimated = false;
        EXPECT_EQ(LoadAnimatedGifStream(&In, NotAnimated), nullptr);
        EXPECT_TRUE(NotAnimated);
        TGIFImage Header;
        Header.HeaderOnly = true;
        Header.DataStream()->LoadFromStream(&In);
        EXPECT_FALSE(Header.ReadGIFData());
    }
}

// Every prefix of a small file: frames that ended before the cut are whole, the frame that was
// cut keeps a prefix of its pixels (the rest 0), and nothing reads past the end.
TEST(GifSafety, TruncationAtEveryByte)
{
    TFrame A = Plain(7, 5, 3, 1);
    A.Control = true;
    A.Transparent = true;
    A.TransparentIndex = 2;
    A.Delay = 4;
    TFrame B = Plain(5, 6, 4, 2);
    B.Left = 2;
    B.LocalTable = DistinctTable(16, 5);
    B.BlockSize = 9;
    TFrame C = Plain(6, 4, 2, 3);
    C.Control = true;
    C.Disposal = 3;
    const std::string Full = TGifBuilder()
                                 .Screen(7, 6, DistinctTable(8))
                                 .Loop(3)
                                 .Comment("cut")
                                 .Image(A)
                                 .Image(B)
                                 .Image(C)
                                 .Trailer()
                                 .Bytes();
    const TGifRasters Whole = Rasters(Full);
    ASSERT_EQ(Whole.Frames.size(), 3u);
    for (std::size_t Cut = 0; Cut < Full.size(); ++Cut) {
        SCOPED_TRACE("cut at " + std::to_string(Cut));
        // A copy of exactly Cut bytes, so the sanitizer sees any read past it.
        std::vector<std::uint8_t> Part(Full.begin(), Full.begin() + std::ptrdiff_t(Cut));
        TGifRasters R;
        const bool Ok = ReadGifRasters(Part.data(), Part.size(), R);
        EXPECT_EQ(Ok, Cut >= 3);
        ASSERT_LE(R.Frames.size(), 3u);
        for (std::size_t I = 0; I < R.Frames.size(); ++I) {
            const std::vector<std::uint8_t>& Got = R.Frames[I].Pixels;
            const std::vector<std::uint8_t>& Want = Whole.Frames[I].Pixels;
            ASSERT_EQ(Got.size(), Want.size());
            std::size_t Same = 0;
            while (Same < Got.size() && Got[Same] == Want[Same])
                ++Same;
            for (std::size_t P = Same; P < Got.size(); ++P)
                ASSERT_EQ(Got[P], 0) << "frame " << I << " pixel " << P;
            if (I + 1 < R.Frames.size())
                EXPECT_EQ(Got, Want) << "frame " << I;
        }
        auto Image = std::make_unique<TGIFImage>();
        TStringStream In(std::string(Part.begin(), Part.end()));
        Image->DataStream()->LoadFromStream(&In);
        EXPECT_EQ(Image->ReadGIFData(), Ok);
        EXPECT_EQ(Image->FrameCount(), int(R.Frames.size()));
        EXPECT_EQ(Image->DataStream()->Size(), 0);
        for (int F = 2; F <= Image->FrameCount() + 1; ++F)
            Image->SetCurrentFrame(F);
    }
}

TEST(GifSafety, NotAGif)
{
    for (const std::string& Bytes :
         {std::string(), std::string("GI"), std::string("PNG89a"), std::string("\x89PNG\r\n")}) {
        TGifRasters R;
        EXPECT_FALSE(ReadGifRasters(Bytes.data(), Bytes.size(), R));
        TGIFImage Image;
        TStringStream In(Bytes);
        Image.DataStream()->LoadFromStream(&In);
        EXPECT_FALSE(Image.ReadGIFData());
        EXPECT_TRUE(Image.Empty());
    }
}

} // namespace
