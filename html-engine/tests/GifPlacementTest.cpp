// Animated GIFs placed in documents: which sources come whole as animations, the copies image
// objects own; and in the view, on the test clock: frames reach the screen at their delays, each
// placement animates by itself, only what the view shows is stepped, a revisit starts over, a
// transparent animation shows the page behind it in step with the page's tiles, and documents
// can be cleared or reloaded while their images animate.
#include "html-engine/GifImages.h"
#include "html-engine/HtmlImages.h"
#include "html-engine/HtmlSections.h"
#include "html-engine/HtmlViewCtl.h"
#include "html-engine/tests/GifWriter.h"
#include "html-engine/tests/ImageFixtures.h"
#include "html-engine/tests/ModelFixture.h"
#include "html-engine/tests/ViewFixture.h"

#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"
#include "platform/testing/FormTesting.h"
#include "platform/testing/WinTesting.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace gif_writer;
using namespace image_fixtures;
using namespace testing_support;

namespace {

// Colour indices of the fixtures and the letters the screen is read back in.
enum : std::uint8_t { R, G, B, W, K };
const std::vector<std::uint32_t> Table = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0, 0, 0};
const char Letters[] = "RGBWK";

char LetterOf(TColor Pixel)
{
    const COLORREF C = COLORREF(Pixel) & 0xFFFFFF;
    for (int I = 0; I < 5; ++I) {
        const std::uint32_t Rgb = Table[std::size_t(I)];
        if (C == RGB(int(Rgb >> 16), int((Rgb >> 8) & 0xFF), int(Rgb & 0xFF)))
            return Letters[I];
    }
    return '?';
}

TColor Win(std::uint32_t Rgb)
{
    return TColor(RGB(int(Rgb >> 16), int((Rgb >> 8) & 0xFF), int(Rgb & 0xFF)));
}

// One frame: its picture (Size x Size indices, or one colour) and its delay in hundredths.
struct TShow {
    std::vector<std::uint8_t> Indices;
    int Delay = 5;
    int Transparent = -1;
};
TShow Solid(std::uint8_t Colour, int Delay, int Size = 4)
{
    return TShow{std::vector<std::uint8_t>(std::size_t(Size * Size), Colour), Delay};
}

// Each frame covers the whole Size x Size screen and is left in place. Loop -1 writes no
// looping extension (the file plays once).
std::string Animation(const std::vector<TShow>& Frames, int Loop, int Size = 4)
{
    TGifBuilder Builder;
    Builder.Screen(Size, Size, Table);
    if (Loop >= 0)
        Builder.Loop(Loop);
    for (const TShow& S : Frames) {
        TFrame F;
        F.Width = F.Height = Size;
        F.Indices = S.Indices;
        F.MinCodeSize = 3;
        F.Control = true;
        F.Disposal = 1;
        F.Delay = S.Delay;
        F.Transparent = S.Transparent >= 0;
        F.TransparentIndex = F.Transparent ? S.Transparent : 0;
        Builder.Image(F);
    }
    return Builder.Trailer().Bytes();
}

// ---- Placing ---------------------------------------------------------------------------------

struct AnimatedImages : ModelFixture {
    void SetUp() override
    {
        ModelFixture::SetUp();
        ImageCache->Clear();
        MakeTempDir("gifs");
    }
    void TearDown() override
    {
        Doc.Clear();
        ImageCache->Clear();
    }
    TImageObj* AddImage(const std::string& Src)
    {
        auto* S = new TSection(0, 1, nullptr, &Font);
        auto A = Attrs({{SrcSy, Src, 0}});
        TImageObj* Img = S->InsertImage(A.get(), &Doc);
        Doc.Add(S);
        return Img;
    }
};

TEST_F(AnimatedImages, AnimationsComeWholeFromGifFilesAndStreams)
{
    const std::string Animated = Animation({Solid(R, 5, 3), Solid(G, 5, 3)}, 0, 3);
    const std::string Single = Animation({Solid(B, 5, 3)}, 0, 3);
    TMemoryStream Stream;
    Stream.WriteString(Animated);
    struct TCase {
        const char* Name;
        std::string Src;
        bool Whole; // a TGIFImage; else the first image as a bitmap
    };
    const TCase Cases[] = {
        {"AnimatedFile", WriteTemp("gifs/a.gif", Animated), true},
        {"AnimatedFileOfUpperCaseName", WriteTemp("gifs/B.GIF", Animated), true},
        // Only names ending in .gif are offered to the animation decoder.
        {"AnimatedFileOfAnotherName", WriteTemp("gifs/c.dat", Animated), false},
        {"SingleImageFile", WriteTemp("gifs/d.gif", Single), false},
        {"AnimatedStream", "stream", true},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        Doc.Clear();
        Doc.OnImageRequest = nullptr;
        if (C.Src == "stream")
            Doc.OnImageRequest = [&](TObject*, const std::string&, TMemoryStream*& S) { S = &Stream; };
        TImageObj* Img = AddImage(C.Src);
        Layout(300);
        auto* Gif = dynamic_cast<TGIFImage*>(Img->Image);
        EXPECT_EQ(Gif != nullptr, C.Whole);
        EXPECT_EQ(Doc.GIFList.Count(), C.Whole ? 1 : 0);
        EXPECT_FALSE(Img->ShowsPlaceholder());
        EXPECT_EQ(Img->ImageWidth, 3);
        EXPECT_EQ(Img->ImageHeight, 3);
        if (Gif) {
            EXPECT_TRUE(Gif->Animate());
            EXPECT_FALSE(Gif->IsCopy); // the cache's own: the first placement shows it
        }
    }
    Doc.OnImageRequest = nullptr;
}

TEST_F(AnimatedImages, ACopiedImageOwnsAnAnimationOfItsOwn)
{
    const std::string Src = WriteTemp("gifs/a.gif", Animation({Solid(R, 5), Solid(G, 5)}, 0));
    TImageObj* Img = AddImage(Src);
    Layout(300);
    auto* Gif = dynamic_cast<TGIFImage*>(Img->Image);
    ASSERT_TRUE(Gif);
    Gif->SetCurrentFrame(2);
    const int Entry = ImageCache->IndexOf(TrimBlanks(UpperCase(Src)));
    {
        TImageObj Copy(*Img);
        auto* Own = dynamic_cast<TGIFImage*>(Copy.Image);
        ASSERT_TRUE(Own);
        EXPECT_NE(Own, Gif);
        EXPECT_TRUE(Own->IsCopy);
        EXPECT_EQ(Own->CurrentFrame(), 1);
        EXPECT_EQ(ImageCache->Item(Entry)->Users, 2);
    } // the copy goes with its object (the sanitizer would see a leak)
    EXPECT_EQ(ImageCache->Item(Entry)->Users, 1);
    EXPECT_EQ(Gif->CurrentFrame(), 2);
    EXPECT_EQ(Doc.GIFList.Count(), 1);
}

// ---- In the view --------------------------------------------------------------------------------

struct AnimatedView : ViewFixture {
    TWindowTest Window; // the test clock drives the document's timer

    void SetUp() override
    {
        ImageCache->Clear();
        ImageCache->MaxAge = 4;
        ViewFixture::SetUp();
        Viewer->SetViewImages(true);
        MakeTempDir("site");
    }
    void TearDown() override
    {
        ViewFixture::TearDown();
        ImageCache->Clear();
    }

    std::string Site(const std::string& Name, const std::string& Bytes)
    {
        return WriteTemp("site/" + Name, Bytes);
    }
    void Load(const std::string& Page)
    {
        Viewer->LoadFromFile(Page);
        ProcessMessages();
    }
    // Steps of the document's 50 ms timer, each followed by the paints it asks for.
    void Tick(int Count = 1)
    {
        for (int I = 0; I < Count; ++I) {
            AdvanceClock(50);
            ProcessMessages();
        }
    }
    // The image objects of the document in text order.
    std::vector<TImageObj*> Images()
    {
        std::vector<TImageObj*> Out;
        TSectionList* Doc = Viewer->SectionList();
        for (int I = 0; I < Doc->Count(); ++I)
            if (auto* S = dynamic_cast<TSection*>(Doc->Block(I)))
                for (int J = 0; J < S->Images.Count(); ++J)
                    Out.push_back(S->Images.Image(J));
        return Out;
    }
    static TGIFImage* GifOf(TImageObj* Img) { return dynamic_cast<TGIFImage*>(Img->Image); }
    // The view's pixel at (X, Y) of the picture Img painted last.
    TColor ShownAt(TImageObj* Img, int X, int Y)
    {
        auto Shot = RenderControl(Viewer);
        const int Top = Img->DrawY - Viewer->SectionList()->YOff;
        return PixelAt(Shot.get(), 1 + Img->DrawX + X, 1 + Top + Y); // inside the view's frame
    }
    char Shown(TImageObj* Img) { return LetterOf(ShownAt(Img, 1, 1)); }
};

TEST_F(AnimatedView, FramesReachTheScreenAtTheirDelays)
{
    struct TCase {
        const char* Name;
        std::vector<TShow> Frames;
        int Loop;
        const char* Timeline; // on screen after each tick
    };
    const TCase Cases[] = {
        {"Delays", {Solid(R, 10), Solid(G, 5), Solid(B, 15)}, 0, "RGBBBRRG"},
        {"DelayZeroStepsEveryTick", {Solid(R, 0), Solid(G, 0)}, 0, "GRGRGR"},
        {"NoLoopingPlaysOnceAndKeepsTheLastFrame", {Solid(R, 5), Solid(G, 5), Solid(B, 5)}, -1, "GBBBBB"},
        {"TwoLoops", {Solid(R, 5), Solid(G, 5)}, 2, "GRGGGG"},
    };
    int N = 0;
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        const std::string Name = "a" + std::to_string(++N) + ".gif";
        Site(Name, Animation(C.Frames, C.Loop));
        Load(Site("page.htm", "<img src=\"" + Name + "\">"));
        std::vector<TImageObj*> Imgs = Images();
        ASSERT_EQ(Imgs.size(), 1u);
        ASSERT_TRUE(GifOf(Imgs[0]));
        EXPECT_EQ(Shown(Imgs[0]), 'R');
        std::string Timeline;
        for (std::size_t I = 0; I < std::strlen(C.Timeline); ++I) {
            Tick();
            Timeline += Shown(Imgs[0]);
        }
        EXPECT_EQ(Timeline, C.Timeline);
    }
}

TEST_F(AnimatedView, EachPlacementAnimatesByItselfAndOnlyWhileInView)
{
    Site("a.gif", Animation({Solid(R, 5), Solid(G, 5), Solid(B, 5)}, 0));
    std::string Html = "<img src=\"a.gif\">";
    for (int I = 0; I < 40; ++I)
        Html += "<p>line";
    Html += "<p><img src=\"a.gif\">";
    Load(Site("page.htm", Html));
    std::vector<TImageObj*> Imgs = Images();
    ASSERT_EQ(Imgs.size(), 2u);
    TGIFImage* Top = GifOf(Imgs[0]);
    TGIFImage* Bottom = GifOf(Imgs[1]);
    ASSERT_TRUE(Top && Bottom);
    ASSERT_GT(Viewer->DocHeight(), 2 * Viewer->Height());
    // The first placement shows the cached animation, the second a copy of its own.
    EXPECT_NE(Top, Bottom);
    ASSERT_EQ(ImageCache->Count(), 1);
    EXPECT_EQ(ImageCache->Item(0)->Picture.get(), Top);
    EXPECT_FALSE(Top->IsCopy);
    EXPECT_TRUE(Bottom->IsCopy);
    EXPECT_EQ(Viewer->SectionList()->GIFList.Count(), 2);

    EXPECT_EQ(Shown(Imgs[0]), 'R');
    Tick(2);
    EXPECT_EQ(Shown(Imgs[0]), 'B');
    EXPECT_EQ(Bottom->CurrentFrame(), 1); // below the view: not stepped

    Viewer->ScrollTo(Viewer->DocHeight());
    ProcessMessages();
    EXPECT_EQ(Shown(Imgs[1]), 'R');
    Tick();
    EXPECT_EQ(Shown(Imgs[1]), 'G');
    Tick();
    EXPECT_EQ(Shown(Imgs[1]), 'B');
    EXPECT_EQ(Top->CurrentFrame(), 3); // above the view now: it waits where it was
}

TEST_F(AnimatedView, ARevisitStartsWithTheFirstFrame)
{
    const std::string Gif = Site("a.gif", Animation({Solid(R, 5), Solid(G, 5), Solid(B, 5)}, 0));
    const std::string Page = Site("a.htm", "<img src=\"a.gif\">");
    const std::string Other = Site("b.htm", "<p>no pictures");
    Load(Page);
    TGIFImage* Cached = GifOf(Images()[0]);
    ASSERT_TRUE(Cached);
    Tick();
    EXPECT_EQ(Shown(Images()[0]), 'G');
    Load(Other);
    Tick(2);
    Load(Page);
    TImageObj* Again = Images()[0];
    ASSERT_TRUE(GifOf(Again));
    EXPECT_NE(GifOf(Again), Cached);
    EXPECT_TRUE(GifOf(Again)->IsCopy);
    EXPECT_EQ(Cached->CurrentFrame(), 2); // the cached animation stayed where it was left
    EXPECT_EQ(Shown(Again), 'R');
    Tick();
    EXPECT_EQ(Shown(Again), 'G');
    EXPECT_EQ(ImageCache->Item(ImageCache->IndexOf(TrimBlanks(UpperCase(Gif))))->Users, 1);
}

TEST_F(AnimatedView, ClearingOrReloadingWhileAnimatingLeavesNothingBehind)
{
    const std::string Gif = Site("a.gif", Animation({Solid(R, 0), Solid(G, 0)}, 0));
    const std::string Page = Site("a.htm", "<img src=\"a.gif\"><img src=\"a.gif\"><img src=\"a.gif\">");
    const std::string Other = Site("b.htm", "<img src=\"a.gif\">");
    const std::string Key = TrimBlanks(UpperCase(Gif));
    // Freed copies still listed for stepping, or copies never freed, show under the sanitizers.
    for (const std::string& Next : {Page, Page, Other, Page}) {
        Load(Next);
        Tick(3);
    }
    EXPECT_EQ(ImageCache->Item(ImageCache->IndexOf(Key))->Users, 3);
    Viewer->Clear();
    Tick(3);
    TSectionList* Doc = Viewer->SectionList();
    EXPECT_EQ(Doc->GIFList.Count(), 0);
    EXPECT_FALSE(Doc->TimerEnabled());
    EXPECT_EQ(ImageCache->Item(ImageCache->IndexOf(Key))->Users, 0);
}

TEST_F(AnimatedView, TransparentAnimationShowsThePageInStepWithItsTiles)
{
    const std::vector<std::uint32_t> Tile = {0xFFFF00, 0x00FFFF, 0xFF00FF, 0x808080};
    Site("tile.bmp", BmpBytes(2, 2, Tile));
    // Frame 1: red on a transparent checkerboard; frame 2: opaque blue.
    TShow Checker;
    for (int Y = 0; Y < 4; ++Y)
        for (int X = 0; X < 4; ++X)
            Checker.Indices.push_back((X + Y) % 2 ? W : R);
    Checker.Transparent = W;
    Site("t.gif", Animation({Checker, Solid(B, 5)}, 0));
    std::string Html = "<body background=\"tile.bmp\"><p><img src=\"t.gif\" width=8 height=8>";
    for (int I = 0; I < 40; ++I)
        Html += "<p>line";
    Load(Site("page.htm", Html));
    // An odd scroll offset: the tiles under the picture must move with the page's.
    Viewer->ScrollTo(1);
    ProcessMessages();
    ASSERT_EQ(Viewer->SectionList()->YOff, 1);
    TImageObj* Img = Images()[0];
    auto Expect = [&](const char* When, bool Blue) {
        SCOPED_TRACE(When);
        auto Shot = RenderControl(Viewer);
        const int Left = Img->DrawX, Top = Img->DrawY - 1;
        for (int Y = 0; Y < 8; ++Y)
            for (int X = 0; X < 8; ++X) {
                TColor Want = Win(Table[B]);
                if (!Blue) {
                    // The page's tiles sit in document coordinates from the panel's left edge.
                    const bool Clear = (X / 2 + Y / 2) % 2 != 0;
                    const std::size_t T = std::size_t(((Top + Y + 1) % 2) * 2 + (Left + X) % 2);
                    Want = Clear ? Win(Tile[T]) : Win(Table[R]);
                }
                ASSERT_EQ(PixelAt(Shot.get(), 1 + Left + X, 1 + Top + Y) & 0xFFFFFF, Want) << X << "," << Y;
            }
    };
    Expect("first frame", false);
    Tick();
    Expect("second frame", true);
    Tick();
    Expect("first frame again", false);
}

TEST_F(AnimatedView, AnimatedBackgroundTilesWithItsFirstFrame)
{
    Site("a.gif", Animation({Solid(G, 5, 2), Solid(R, 5, 2)}, 0, 2));
    Load(Site("page.htm", "<body background=\"a.gif\"><p>text"));
    TSectionList* Doc = Viewer->SectionList();
    ASSERT_TRUE(Doc->BackgroundBitmap);
    EXPECT_EQ(Doc->GIFList.Count(), 0); // a background does not animate
    for (int I = 0; I < 3; ++I) {
        auto Shot = RenderControl(Viewer);
        EXPECT_EQ(LetterOf(PixelAt(Shot.get(), 300, 200)), 'G');
        Tick();
    }
}

} // namespace
