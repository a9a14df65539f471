// Animated GIFs as the view shows them: the composite after each frame (worked out by hand on
// tiny files), the timeline on the test clock, copies, drawing with and without a background
// under a transparent first frame, and the loader's answers.
#include "html-engine/GifImages.h"

#include "html-engine/HtmlImageUtil.h"
#include "html-engine/HtmlModel.h"
#include "html-engine/tests/GifWriter.h"
#include "platform/graphics/WinGdi.h"
#include "platform/rtl/Streams.h"
#include "platform/testing/FormTesting.h"
#include "platform/testing/TestSupport.h"
#include "platform/win/WinUser.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace gif_writer;

namespace {

// Colour indices of the fixtures, and the letters pictures are written in.
enum : std::uint8_t { R, G, B, W, Y, C, M, K };
const std::vector<std::uint32_t> Table = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF,
                                          0xFFFF00, 0x00FFFF, 0xFF00FF, 0x000000};
const char Letters[] = "RGBWYCMK";

char LetterOf(COLORREF Pixel)
{
    const std::uint32_t Rgb = (GetRValue(Pixel) << 16) | (GetGValue(Pixel) << 8) | GetBValue(Pixel);
    for (int I = 0; I < 8; ++I)
        if (Table[std::size_t(I)] == Rgb)
            return Letters[I];
    return '?';
}

// The pixels of DC in (X, Y, W, H) as letters, rows separated by '/'.
std::string Picture(HDC DC, int X, int Y, int Width, int Height)
{
    std::string S;
    for (int Row = Y; Row < Y + Height; ++Row) {
        if (Row > Y)
            S += '/';
        for (int Col = X; Col < X + Width; ++Col)
            S += LetterOf(GetPixel(DC, Col, Row));
    }
    return S;
}

TFrame FrameOf(int Left, int Top, int Width, int Height, std::vector<std::uint8_t> Indices, int Disposal,
               int Delay, int Transparent = -1)
{
    TFrame F;
    F.Left = Left;
    F.Top = Top;
    F.Width = Width;
    F.Height = Height;
    F.Indices = std::move(Indices);
    F.MinCodeSize = 3;
    F.Control = true;
    F.Disposal = Disposal;
    F.Delay = Delay;
    F.Transparent = Transparent >= 0;
    F.TransparentIndex = Transparent >= 0 ? Transparent : 0;
    return F;
}

std::string Gif(int Width, int Height, const std::vector<TFrame>& Frames, int Loop = -1)
{
    TGifBuilder Builder;
    Builder.Screen(Width, Height, Table);
    if (Loop >= 0)
        Builder.Loop(Loop);
    for (const TFrame& F : Frames)
        Builder.Image(F);
    return Builder.Trailer().Bytes();
}

std::unique_ptr<TGIFImage> Read(const std::string& Bytes)
{
    auto Image = std::make_unique<TGIFImage>();
    TStringStream In(Bytes);
    Image->DataStream()->LoadFromStream(&In);
    EXPECT_TRUE(Image->ReadGIFData());
    return Image;
}

// A red screen; frame 2 covers the middle with green, blue and a transparent white, and goes
// back to the background; frame 3 puts yellow on one pixel and restores what was under it.
std::string Stage(int Loop = -1)
{
    return Gif(4, 2,
               {FrameOf(0, 0, 4, 2, {R, R, R, R, R, R, R, R}, 1, 10),
                FrameOf(1, 0, 2, 2, {G, W, W, B}, 2, 20, W), FrameOf(2, 1, 1, 1, {Y}, 3, 30)},
               Loop);
}

// What Stage shows with each frame on show: composite and mask (K opaque, W transparent).
struct TShown {
    const char* Composite;
    const char* Mask;
};
const TShown StageFrames[] = {
    {"RRRR/RRRR", "KKKK/KKKK"},
    {"RGRR/RRBR", "KKKK/KKKK"},
    {"RKKR/RKYR", "KWWK/KWKK"},
};

// A null mask: the image has none (no frame is transparent).
void ExpectShows(TGIFImage& Image, const TShown& Want)
{
    EXPECT_EQ(Picture(Image.CompositeDC(), 0, 0, Image.Width(), Image.Height()), Want.Composite);
    if (Want.Mask)
        EXPECT_EQ(Picture(Image.CompositeMaskDC(), 0, 0, Image.Width(), Image.Height()), Want.Mask);
    else
        EXPECT_EQ(Image.CompositeMaskDC(), nullptr);
}

struct Animation : ::testing::Test {
    testing_support::TWindowTest Window; // the test clock
    // The frame on show after each of Ticks steps of the document's 50 ms timer.
    std::string Timeline(TGIFImage& Image, int Ticks)
    {
        std::string S;
        for (int I = 0; I < Ticks; ++I) {
            testing_support::AdvanceClock(50);
            Image.AnimationStep(nullptr);
            S += char('0' + Image.CurrentFrame());
        }
        return S;
    }
};

// ---- Composition ------------------------------------------------------------------------------

TEST_F(Animation, CompositeAfterEachFrameAndItsDisposal)
{
    auto Image = Read(Stage());
    ASSERT_EQ(Image->FrameCount(), 3);
    ASSERT_TRUE(Image->IsTransparent());
    ExpectShows(*Image, StageFrames[0]);
    for (int Frame : {2, 3, 1, 2}) {
        SCOPED_TRACE("frame " + std::to_string(Frame));
        Image->SetCurrentFrame(Frame);
        ExpectShows(*Image, StageFrames[Frame - 1]);
    }
}

TEST_F(Animation, EachCycleStartsFromAnEmptyPicture)
{
    // Frame 1 leaves its right pixel transparent; frame 2 fills it and stays. The next cycle's
    // frame 1 must show that pixel transparent again, as the first cycle did.
    auto Image = Read(Gif(2, 1, {FrameOf(0, 0, 2, 1, {R, W}, 1, 10, W), FrameOf(1, 0, 1, 1, {B}, 1, 10)}));
    const TShown First{"RK", "KW"};
    ExpectShows(*Image, First);
    Image->SetCurrentFrame(2);
    ExpectShows(*Image, TShown{"RB", "KK"});
    Image->SetCurrentFrame(1);
    ExpectShows(*Image, First);
}

TEST_F(Animation, DisposalValuesAboveThreeRestoreTheBackground)
{
    std::vector<TFrame> Frames;
    for (int D = 0; D <= 7; ++D)
        Frames.push_back(FrameOf(0, 0, 1, 1, {G}, D, 1));
    auto Image = Read(Gif(1, 1, Frames));
    const int Want[] = {0, 1, 2, 3, 2, 2, 2, 2};
    for (int D = 0; D <= 7; ++D)
        EXPECT_EQ(Image->Frame(D + 1)->Disposal, Want[D]) << "disposal " << D;
}

TEST_F(Animation, FrameOutsideTheScreenWidensTheImage)
{
    auto Image = Read(
        Gif(2, 2, {FrameOf(0, 0, 2, 2, {R, R, R, R}, 1, 1), FrameOf(1, 1, 3, 2, {G, G, G, B, B, B}, 1, 1)}));
    EXPECT_EQ(Image->Width(), 4);
    EXPECT_EQ(Image->Height(), 3);
    Image->SetCurrentFrame(2);
    ExpectShows(*Image, TShown{"RRKK/RGGG/KBBB", nullptr});
}

// ---- Timeline ----------------------------------------------------------------------------------

TEST_F(Animation, TimelineByLoopCount)
{
    // Frames show for 100, 200 and 300 ms; the timer ticks every 50 ms.
    struct TCase {
        int Loop; // -1: no looping extension
        const char* Frames;
        bool Running;
    };
    const TCase Cases[] = {
        {0, "122223333331122223333331", true},
        // A counted animation ends on its last frame after that many plays.
        {1, "122223333333333333333333", false},
        {-1, "122223333333333333333333", false},
        {2, "122223333331122223333333", false},
    };
    for (const TCase& T : Cases) {
        SCOPED_TRACE("loop count " + std::to_string(T.Loop));
        auto Image = Read(Stage(T.Loop));
        EXPECT_EQ(Image->LoopCount(), T.Loop < 0 ? 1 : T.Loop);
        Image->SetAnimate(true);
        EXPECT_EQ(Timeline(*Image, 24), T.Frames);
        EXPECT_EQ(Image->Animate(), T.Running);
        ExpectShows(*Image, StageFrames[Image->CurrentFrame() - 1]);
    }
}

TEST_F(Animation, DelayZeroChangesTheFrameAtEveryTick)
{
    auto Image = Read(Gif(
        1, 1,
        {FrameOf(0, 0, 1, 1, {R}, 1, 0), FrameOf(0, 0, 1, 1, {G}, 1, 0), FrameOf(0, 0, 1, 1, {B}, 1, 0)}, 0));
    Image->SetAnimate(true);
    EXPECT_EQ(Timeline(*Image, 7), "2312312");
    // A step is due after one millisecond.
    Image->AnimationStep(nullptr);
    EXPECT_EQ(Image->CurrentFrame(), 2);
    testing_support::AdvanceClock(1);
    Image->AnimationStep(nullptr);
    EXPECT_EQ(Image->CurrentFrame(), 3);
}

TEST_F(Animation, SpeedScalesTheDelays)
{
    auto Image = Read(Stage(0));
    Image->Speed = 200;
    Image->SetAnimate(true);
    EXPECT_EQ(Timeline(*Image, 8), "22333122");
}

TEST_F(Animation, NothingStepsWhileOffOrWithOneFrame)
{
    auto Image = Read(Stage(0));
    EXPECT_EQ(Timeline(*Image, 10), "1111111111");
    auto Single = Read(Gif(1, 1, {FrameOf(0, 0, 1, 1, {G}, 2, 0)}));
    EXPECT_FALSE(Single->IsAnimated());
    Single->SetAnimate(true);
    EXPECT_EQ(Timeline(*Single, 3), "111");
    ExpectShows(*Single, TShown{"G", nullptr});
}

TEST_F(Animation, ARestartDisposesTheFrameOnShow)
{
    // The document restarts every animated image after a layout: frame 1, off, on. Whatever was
    // on show before, the restarted animation shows what a fresh one shows.
    auto Image = Read(Stage(0));
    Image->SetAnimate(true);
    EXPECT_EQ(Timeline(*Image, 7), "1222233");
    for (int Restart = 0; Restart < 2; ++Restart) {
        Image->SetCurrentFrame(1);
        Image->SetAnimate(false);
        Image->SetAnimate(true);
        ExpectShows(*Image, StageFrames[0]);
        const std::string Frames = Timeline(*Image, 12);
        EXPECT_EQ(Frames, "122223333331");
        ExpectShows(*Image, StageFrames[0]);
    }
    // Started on another frame, the first step disposes that frame.
    Image->SetAnimate(false);
    Image->SetCurrentFrame(2);
    Image->SetAnimate(true);
    EXPECT_EQ(Timeline(*Image, 4), "2223");
    ExpectShows(*Image, StageFrames[2]);
}

TEST_F(Animation, SwitchingOffReturnsToFrameOne)
{
    auto Image = Read(Stage(0));
    Image->SetAnimate(true);
    Timeline(*Image, 6);
    ASSERT_EQ(Image->CurrentFrame(), 3);
    Image->SetAnimate(false);
    EXPECT_EQ(Image->CurrentFrame(), 1);
    ExpectShows(*Image, StageFrames[0]);
    // Out-of-range frame numbers wrap to the first and the last.
    Image->SetCurrentFrame(9);
    EXPECT_EQ(Image->CurrentFrame(), 1);
    // A jump shows the frame over frame 1, without the frames between.
    Image->SetCurrentFrame(0);
    EXPECT_EQ(Image->CurrentFrame(), 3);
    ExpectShows(*Image, TShown{"RRRR/RRYR", "KKKK/KKKK"});
}

TEST_F(Animation, AStepInvalidatesTheLastDrawnRectangle)
{
    WNDCLASS Class;
    Class.lpfnWndProc = DefWindowProc;
    Class.lpszClassName = "GifTestWindow";
    RegisterClass(&Class);
    HWND Wnd = CreateWindowEx(0, "GifTestWindow", "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 80, nullptr, nullptr,
                              nullptr, nullptr);
    ASSERT_TRUE(Wnd);
    auto Image = Read(Stage(0));
    TBitmap Canvas(100, 80);
    Image->Draw(Canvas.Canvas(), nullptr, nullptr, 10, 20, 8, 4);
    Image->SetAnimate(true);
    ValidateRect(Wnd, nullptr);
    testing_support::AdvanceClock(50);
    Image->AnimationStep(Wnd);
    RECT Update{};
    EXPECT_FALSE(GetUpdateRect(Wnd, &Update, FALSE));
    testing_support::AdvanceClock(50);
    Image->AnimationStep(Wnd);
    ASSERT_TRUE(GetUpdateRect(Wnd, &Update, FALSE));
    EXPECT_EQ(Update.left, 10);
    EXPECT_EQ(Update.top, 20);
    EXPECT_EQ(Update.right, 18);
    EXPECT_EQ(Update.bottom, 24);
    DestroyWindow(Wnd);
}

// ---- Copies -----------------------------------------------------------------------------------

TEST_F(Animation, ACopyStartsOnFrameOneAndAnimatesOnItsOwn)
{
    auto Source = Read(Stage(0));
    Source->SetCurrentFrame(2);
    auto Copy = TGIFImage::Duplicate(*Source);
    EXPECT_TRUE(Copy->IsCopy);
    EXPECT_FALSE(Source->IsCopy);
    ASSERT_EQ(Copy->FrameCount(), 3);
    EXPECT_EQ(Copy->CurrentFrame(), 1);
    ExpectShows(*Copy, StageFrames[0]);
    Copy->SetAnimate(true);
    EXPECT_EQ(Timeline(*Copy, 6), "122223");
    ExpectShows(*Copy, StageFrames[2]);
    ExpectShows(*Source, StageFrames[1]);
    // The copy outlives its source.
    Source.reset();
    Copy->SetCurrentFrame(1);
    ExpectShows(*Copy, StageFrames[0]);
}

TEST_F(Animation, FrameOneBitmapAndMaskAreKeptCopies)
{
    auto Image = Read(Stage());
    TBitmap* Bitmap = Image->GetBitmap();
    ASSERT_TRUE(Bitmap);
    EXPECT_EQ(Image->GetBitmap(), Bitmap);
    EXPECT_EQ(Picture(Bitmap->Canvas()->Handle(), 0, 0, 4, 2), "RRRR/RRRR");
    EXPECT_EQ(Image->GetMask(), nullptr); // frame 1 has no transparency
    auto Clear = Read(Gif(2, 1, {FrameOf(0, 0, 2, 1, {G, W}, 1, 1, W), FrameOf(0, 0, 2, 1, {B, B}, 1, 1)}));
    ASSERT_TRUE(Clear->GetMask());
    EXPECT_EQ(Picture(Clear->GetMask()->Canvas()->Handle(), 0, 0, 2, 1), "KW");
    EXPECT_EQ(Picture(Clear->GetBitmap()->Canvas()->Handle(), 0, 0, 2, 1), "GK");
}

// ---- Drawing ----------------------------------------------------------------------------------

struct Drawing : Animation {
    TBitmap Screen{12, 8};
    TSectionList Doc{nullptr, nullptr};
    void SetUp() override { Fill(clFuchsia); }
    void Fill(TColor Colour)
    {
        Screen.Canvas()->Brush()->SetColor(Colour);
        Screen.Canvas()->FillRect(Rect(0, 0, 12, 8));
    }
    std::string Shown(int X, int Y, int Width, int Height)
    {
        return Picture(Screen.Canvas()->Handle(), X, Y, Width, Height);
    }
};

TEST_F(Drawing, OpaqueFirstFrameIsStretchedOver)
{
    auto Image = Read(Stage());
    Image->Draw(Screen.Canvas(), &Doc, &Doc, 1, 1, 8, 4);
    EXPECT_EQ(Shown(0, 0, 10, 6), "MMMMMMMMMM/MRRRRRRRRM/MRRRRRRRRM/MRRRRRRRRM/MRRRRRRRRM/MMMMMMMMMM");
    Image->SetCurrentFrame(2);
    Image->Draw(Screen.Canvas(), &Doc, &Doc, 1, 1, 4, 2);
    EXPECT_EQ(Shown(1, 1, 4, 2), "RGRR/RRBR");
    // Nothing while hidden.
    Fill(clFuchsia);
    Image->SetVisible(false);
    Image->Draw(Screen.Canvas(), &Doc, &Doc, 1, 1, 4, 2);
    EXPECT_EQ(Shown(1, 1, 4, 2), "MMMM/MMMM");
}

TEST_F(Drawing, TransparentFirstFrameThatClearsGoesStraightOntoTheCanvas)
{
    for (int Disposal : {2, 3}) {
        SCOPED_TRACE("disposal " + std::to_string(Disposal));
        Fill(clFuchsia);
        auto Image =
            Read(Gif(2, 1, {FrameOf(0, 0, 2, 1, {R, W}, Disposal, 1, W), FrameOf(0, 0, 1, 1, {B}, 1, 1)}));
        Image->Draw(Screen.Canvas(), &Doc, &Doc, 0, 0, 4, 2);
        EXPECT_EQ(Shown(0, 0, 5, 2), "RRMMM/RRMMM");
    }
}

TEST_F(Drawing, TransparentFirstFrameThatStaysOverTheBackground)
{
    // Under a transparent first frame that stays: the cell's own colour, else the document's.
    TCell Cell(&Doc);
    struct TCase {
        const char* Name;
        TCell* Where;
        bool CellColour;
        const char* Want;
        const char* Larger; // drawn at twice the size, one canvas column more
    };
    const TCase Cases[] = {
        {"Document", &Doc, false, "RRYY/RRYY", "RRRRYYYYM/RRRRYYYYM/RRRRYYYYM/RRRRYYYYM"},
        {"CellWithoutColour", &Cell, false, "RRYY/RRYY", "RRRRYYYYM/RRRRYYYYM/RRRRYYYYM/RRRRYYYYM"},
        {"CellWithColour", &Cell, true, "RRCC/RRCC", "RRRRCCCCM/RRRRCCCCM/RRRRCCCCM/RRRRCCCCM"},
    };
    Doc.Background = clYellow;
    for (const TCase& T : Cases) {
        SCOPED_TRACE(T.Name);
        Cell.BkGnd = T.CellColour;
        Cell.BkColor = clAqua;
        Fill(clFuchsia);
        auto Image = Read(Gif(2, 1, {FrameOf(0, 0, 2, 1, {R, W}, 1, 1, W), FrameOf(1, 0, 1, 1, {B}, 1, 1)}));
        Image->Draw(Screen.Canvas(), &Doc, T.Where, 0, 0, 4, 2);
        EXPECT_EQ(Shown(0, 0, 4, 2), T.Want);
        // Drawn at another size, the background is made for that size.
        Fill(clFuchsia);
        Image->Draw(Screen.Canvas(), &Doc, T.Where, 0, 0, 8, 4);
        EXPECT_EQ(Shown(0, 0, 9, 4), T.Larger);
        // Frames drawn later keep the background under them.
        Fill(clFuchsia);
        Image->SetCurrentFrame(2);
        Image->Draw(Screen.Canvas(), &Doc, T.Where, 0, 0, 4, 2);
        EXPECT_EQ(Shown(0, 0, 4, 2), "RRBB/RRBB");
    }
}

TEST_F(Drawing, BackgroundTilesFollowTheDocumentAlsoLeftOfAndAboveTheOrigin)
{
    // A 3 x 2 tile; the document's tiling puts tile pixel (x mod 3, y mod 2) at every point,
    // with floor modulo for negative coordinates.
    TBitmap Tile(3, 2);
    const TColor Colours[2][3] = {{clLime, clBlue, clYellow}, {clAqua, clBlack, clRed}};
    for (int TY = 0; TY < 2; ++TY)
        for (int TX = 0; TX < 3; ++TX)
            Tile.Canvas()->SetPixels(TX, TY, Colours[TY][TX]);
    Doc.BackgroundBitmap = &Tile;
    HDC DC = Screen.Canvas()->Handle();
    // Logical (-8, -5) is the bitmap's top left corner.
    SetWindowOrgEx(DC, -8, -5, nullptr);
    for (int YOff : {0, 3}) {
        SCOPED_TRACE("scrolled by " + std::to_string(YOff));
        Doc.YOff = YOff;
        auto Image = Read(Gif(4, 3,
                              {FrameOf(0, 0, 4, 3, std::vector<std::uint8_t>(12, W), 1, 1, W),
                               FrameOf(0, 0, 1, 1, {M}, 1, 1)}));
        const int X = -7, Y = -5;
        Image->Draw(Screen.Canvas(), &Doc, &Doc, X, Y, 4, 3);
        std::string Want;
        for (int Row = 0; Row < 3; ++Row) {
            if (Row)
                Want += '/';
            for (int Col = 0; Col < 4; ++Col) {
                const int DocX = X + Col, DocY = Y + YOff + Row;
                const int TX = ((DocX % 3) + 3) % 3, TY = ((DocY % 2) + 2) % 2;
                Want += LetterOf(ColorToColorRef(Colours[TY][TX]));
            }
        }
        EXPECT_EQ(Picture(DC, X, Y, 4, 3), Want);
    }
    SetWindowOrgEx(DC, 0, 0, nullptr);
}

// ---- The shared palette -------------------------------------------------------------------------

TEST_F(Animation, FramesTakeTheNearestColoursOfTheSharedPalette)
{
    struct TPalette {
        WORD Version = 0x300, Count = 3;
        PALETTEENTRY Entries[3] = {{0, 0, 0, 0}, {255, 255, 255, 0}, {0, 0, 255, 0}};
    } Entries;
    HPALETTE Palette = CreatePalette(reinterpret_cast<const LOGPALETTE*>(&Entries));
    // As on a 256-colour screen.
    HPALETTE Screen = SharedPalette;
    SharedPalette = Palette;
    TGifBuilder Builder;
    Builder.Screen(3, 1, {0xC8C8C8, 0x1E1E1E, 0x2020E0, 0x00FF00});
    TFrame F = FrameOf(0, 0, 3, 1, {0, 1, 2}, 1, 1);
    Builder.Image(F).Image(F);
    auto Image = Read(Builder.Trailer().Bytes());
    SharedPalette = Screen;
    DeleteObject(Palette);
    EXPECT_EQ(Picture(Image->CompositeDC(), 0, 0, 3, 1), "WKB");
}

// ---- Loading ----------------------------------------------------------------------------------

// The image cache holds one entry no document uses and one in use, so that a drop of the unused
// entries shows.
struct Loading : ::testing::Test {
    void SetUp() override
    {
        ImageCache->Clear();
        ImageCache->AddObject("UNUSED", new TBitmapItem(std::make_unique<TBitmap>(), 0, nullptr));
        ImageCache->Release("UNUSED");
        ImageCache->AddObject("USED", new TBitmapItem(std::make_unique<TBitmap>(), 0, nullptr));
    }
    void TearDown() override { ImageCache->Clear(); }
    bool Dropped() const { return ImageCache->IndexOf("UNUSED") < 0; }
};

TEST_F(Loading, OnlyAnimatedGifsAreKept)
{
    struct TCase {
        const char* Name;
        std::string Bytes;
        bool Kept;
    };
    const TCase Cases[] = {
        {"Animated", Stage(), true},
        {"OneImage", Gif(2, 1, {FrameOf(0, 0, 2, 1, {R, G}, 0, 0)}), false},
        {"NoImage", Gif(2, 1, {}), false},
        {"NotAGif", "\x89PNG\r\n\x1a\n", false},
        {"Empty", "", false},
    };
    for (const TCase& T : Cases) {
        SCOPED_TRACE(T.Name);
        TStringStream In(T.Bytes);
        bool NotAnimated = false;
        std::unique_ptr<TGIFImage> Image = LoadAnimatedGifStream(&In, NotAnimated);
        EXPECT_EQ(Image != nullptr, T.Kept);
        EXPECT_EQ(NotAnimated, !T.Kept);
        if (!Image)
            continue;
        // Loaded in full, not yet animating or shown; the bytes are not kept.
        EXPECT_FALSE(Image->HeaderOnly);
        EXPECT_FALSE(Image->Animate());
        EXPECT_FALSE(Image->Visible());
        EXPECT_EQ(Image->DataStream()->Size(), 0);
        ExpectShows(*Image, StageFrames[0]);
    }
    EXPECT_FALSE(Dropped());
}

TEST_F(Loading, FromAFile)
{
    const std::string Name = testing_support::MakeTempDir("gif") + "/anim.gif";
    testing_support::WriteFileBytes(Name, Stage(2));
    bool NotAnimated = true;
    auto Image = LoadAnimatedGifFile(Name, NotAnimated);
    ASSERT_TRUE(Image);
    EXPECT_FALSE(NotAnimated);
    EXPECT_EQ(Image->LoopCount(), 2);
    EXPECT_EQ(LoadAnimatedGifFile(Name + ".missing", NotAnimated), nullptr);
    EXPECT_TRUE(NotAnimated);
}

// A stream that can be read once: the full read after the header-only one fails.
class TOnceStream : public TStringStream {
public:
    using TStringStream::TStringStream;
    Longint Read(void* Buffer, Longint Count) override
    {
        if (Position() == 0 && ++FReads > 1)
            throw EReadError("Stream read error");
        return TStringStream::Read(Buffer, Count);
    }

private:
    int FReads = 0;
};

TEST_F(Loading, AFailedFullReadDropsUnusedCacheEntries)
{
    TOnceStream In(Stage());
    bool NotAnimated = true;
    EXPECT_EQ(LoadAnimatedGifStream(&In, NotAnimated), nullptr);
    EXPECT_FALSE(NotAnimated);
    EXPECT_TRUE(Dropped());
    EXPECT_GE(ImageCache->IndexOf("USED"), 0);
}

TEST_F(Loading, HeaderOnlyReadsTheStructureAlone)
{
    TGIFImage Image;
    Image.HeaderOnly = true;
    TStringStream In(Stage(3));
    Image.DataStream()->LoadFromStream(&In);
    ASSERT_TRUE(Image.ReadGIFData());
    EXPECT_TRUE(Image.IsAnimated());
    EXPECT_EQ(Image.FrameCount(), 3);
    EXPECT_EQ(Image.LoopCount(), 3);
    EXPECT_EQ(Image.Frame(2)->Delay, 200);
    EXPECT_TRUE(Image.Frame(2)->IsTransparent);
    EXPECT_FALSE(Image.Frame(1)->Image);
    EXPECT_EQ(Image.CompositeDC(), nullptr);
    EXPECT_EQ(Image.GetBitmap(), nullptr);
    TBitmap Canvas(4, 2);
    Image.Draw(Canvas.Canvas(), nullptr, nullptr, 0, 0, 4, 2);
    Image.SetAnimate(true);
    Image.AnimationStep(nullptr);
    EXPECT_EQ(Image.CurrentFrame(), 1);
}

} // namespace
