// Image objects in a document: sizes, stand-ins, link frames, the ways a picture is fetched, the
// cache uses each image takes and gives back, image maps, and pictures in the view.
#include "html-engine/HtmlImages.h"
#include "html-engine/HtmlViewCtl.h"
#include "html-engine/tests/ImageFixtures.h"
#include "html-engine/tests/ModelFixture.h"
#include "html-engine/tests/ViewFixture.h"

#include "platform/controls/Forms.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"
#include "platform/testing/FormTesting.h"
#include "platform/testing/WinTesting.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace image_fixtures;
using namespace testing_support;

namespace {

constexpr std::uint32_t Red = 0xFF0000, Green = 0x00FF00, Blue = 0x0000FF, Yellow = 0xFFFF00;

// Uses of the cache entry of a picture name; -1 when it is not cached.
int Users(const std::string& Name)
{
    const int I = ImageCache->IndexOf(TrimBlanks(UpperCase(Name)));
    return I < 0 ? -1 : ImageCache->Item(I)->Users;
}

// The colour as the canvas reports it, from 0xRRGGBB.
TColor Win(std::uint32_t Rgb)
{
    return TColor(RGB(int(Rgb >> 16), int((Rgb >> 8) & 0xFF), int(Rgb & 0xFF)));
}

struct ImageObjects : ModelFixture {
    void SetUp() override
    {
        ModelFixture::SetUp();
        ImageCache->Clear();
        ImageCache->MaxAge = 4;
        LinkFont.Assign(&Font);
        LinkFont.SetColor(clBlue);
    }

    TImageObj* AddImage(TSectionList& D, std::unique_ptr<TAttributeList> A, const std::string& LinkUrl = "")
    {
        auto* S = new TSection(0, 1, nullptr, &Font);
        if (!LinkUrl.empty()) {
            TUrlTarget Link;
            Link.Assign(&LinkUrl, nullptr);
            S->SwitchLink(true, &D, &LinkFont, &Link);
        }
        TImageObj* Img = S->InsertImage(A.get(), &D);
        D.Add(S);
        return Img;
    }
    TImageObj* AddImage(std::unique_ptr<TAttributeList> A, const std::string& LinkUrl = "")
    {
        return AddImage(Doc, std::move(A), LinkUrl);
    }
    int LayoutOf(TSectionList& D)
    {
        int Curs = 0, MaxWidth = 0;
        return D.DoLogic(Canvas(), 0, Curs, MaxWidth, 300);
    }
    TMyFont LinkFont;

    // A 50 x 25 picture file.
    std::string Picture5025()
    {
        return WriteTemp("wide.bmp", BmpBytes(50, 25, std::vector<std::uint32_t>(50 * 25, Blue)));
    }
};

// ---- Sizes ---------------------------------------------------------------------------------------

TEST_F(ImageObjects, OneSizeGivenKeepsThePicturesAspect)
{
    const std::string Pic = Picture5025();
    struct Case {
        std::unique_ptr<TAttributeList> Attributes;
        int Width, Height;
    };
    std::vector<Case> Cases;
    Cases.push_back({Attrs({{SrcSy, Pic, 0}, {WidthSy, "100", 100}}), 100, 50});
    Cases.push_back({Attrs({{SrcSy, Pic, 0}, {HeightSy, "10", 10}}), 20, 10});
    Cases.push_back({Attrs({{SrcSy, Pic, 0}, {WidthSy, "30", 30}, {HeightSy, "40", 40}}), 30, 40});
    Cases.push_back({Attrs({{SrcSy, Pic, 0}}), 50, 25});
    Cases.push_back({Attrs({{SrcSy, Pic, 0}, {WidthSy, "80%", 80}}), 50, 25});
    std::vector<TImageObj*> Images;
    for (Case& C : Cases)
        Images.push_back(AddImage(std::move(C.Attributes)));
    Layout(300);
    for (std::size_t I = 0; I < Cases.size(); ++I) {
        EXPECT_EQ(Images[I]->ObjWidth, Cases[I].Width) << I;
        EXPECT_EQ(Images[I]->ObjHeight, Cases[I].Height) << I;
        EXPECT_EQ(Images[I]->ImageWidth, Cases[I].Width) << I;
        EXPECT_FALSE(Images[I]->ShowsPlaceholder()) << I;
    }
    // One file, one decoded picture, one use per image.
    EXPECT_EQ(Images[0]->Image, Images[4]->Image);
    EXPECT_EQ(Users(Pic), 5);
}

// ALT text in the stand-in's font of the given width.
std::string AltOfWidth(TCanvas* Canvas, int Width)
{
    Canvas->Font()->SetName("Arial");
    Canvas->Font()->SetSize(8);
    for (int Wide = 1; Wide < 30; ++Wide)
        for (int Narrow = 0; Narrow < 30; ++Narrow) {
            const std::string S = std::string(Wide, 'a') + std::string(Narrow, 'i');
            if (Canvas->TextWidth(S) == Width)
                return S;
        }
    return "";
}

TEST_F(ImageObjects, BrokenPictureStandInHoldsItsAltText)
{
    const std::string Alt60 = AltOfWidth(Canvas(), 60);
    ASSERT_FALSE(Alt60.empty());
    Canvas()->Font()->SetName("Arial");
    Canvas()->Font()->SetSize(8);
    const int AltHeight = Canvas()->TextHeight(Alt60);
    const std::string Missing = HomeDir() + "/missing.gif";
    struct Case {
        std::unique_ptr<TAttributeList> Attributes;
        int Width, Height;
        bool Known;
    };
    std::vector<Case> Cases;
    Cases.push_back(
        {Attrs({{SrcSy, Missing, 0}, {AltSy, Alt60, 0}}), 60 + 2 + 24, std::max(24, AltHeight), false});
    Cases.push_back({Attrs({{SrcSy, Missing, 0}}), 24, 24, false});
    Cases.push_back(
        {Attrs({{SrcSy, Missing, 0}, {AltSy, Alt60, 0}, {WidthSy, "50", 50}, {HeightSy, "40", 40}}), 50, 40,
         true});
    Cases.push_back({Attrs({{SrcSy, Missing, 0}, {WidthSy, "10", 10}, {HeightSy, "12", 12}}), 10, 12, true});
    Cases.push_back({Attrs({{AltSy, "no source at all", 0}, {WidthSy, "30", 30}}), 0, 24, false});
    std::vector<TImageObj*> Images;
    for (Case& C : Cases)
        Images.push_back(AddImage(std::move(C.Attributes)));
    Layout(300);
    for (std::size_t I = 0; I < Cases.size(); ++I) {
        TImageObj* Img = Images[I];
        EXPECT_EQ(Img->Image, BrokenImageBitmap) << I;
        EXPECT_EQ(Img->Mask, BrokenImageMask) << I;
        EXPECT_EQ(Img->ImageHeight, Cases[I].Height) << I;
        if (Cases[I].Width) {
            EXPECT_EQ(Img->ImageWidth, Cases[I].Width) << I;
        }
        EXPECT_EQ(Img->ImageKnown, Cases[I].Known) << I;
    }
    // A missing picture takes no cache entry.
    EXPECT_EQ(ImageCache->Count(), 0);
    EXPECT_EQ(BrokenImageBitmap->Width(), 16);
    EXPECT_EQ(BrokenImageMask->Height(), 16);
    EXPECT_TRUE(BrokenImageMask->Monochrome());
}

TEST_F(ImageObjects, StandInPaintsItsIconAltTextAndSunkenEdge)
{
    TImageObj* Img = AddImage(Attrs({{SrcSy, HomeDir() + "/none.gif", 0},
                                     {AltSy, "Logo of the firm", 0},
                                     {WidthSy, "150", 150},
                                     {HeightSy, "40", 40},
                                     {AlignSy, "top", 0}}));
    Layout(300);
    Paint();
    const int X = 0, Top = 0, W = 150, H = 40;
    EXPECT_EQ(Canvas()->Pixels(X, Top + 20) & 0xFFFFFF, 0x808080);         // shadow edge left
    EXPECT_EQ(Canvas()->Pixels(X + 70, Top) & 0xFFFFFF, 0x808080);         // and top
    EXPECT_EQ(Canvas()->Pixels(X + W - 1, Top + 20) & 0xFFFFFF, 0xC0C0C0); // light edge right
    EXPECT_EQ(Canvas()->Pixels(X + 70, Top + H - 1) & 0xFFFFFF, 0xC0C0C0); // and bottom
    // The broken picture at (4, 4) through its mask: the sheet shows, the corner around it does not.
    EXPECT_EQ(Img->DrawX, 4);
    EXPECT_EQ(Canvas()->Pixels(4 + 5, 4 + 5) & 0xFFFFFF, 0xFFFFFF);
    EXPECT_EQ(Canvas()->Pixels(4 + 2, 4 + 1) & 0xFFFFFF, 0x000000);
    EXPECT_EQ(Canvas()->Pixels(4 + 0, 4 + 0) & 0xFFFFFF, 0xFFFFFF); // transparent: the page
    EXPECT_EQ(CountNot(clWhite, 1, 1, 4, H - 1), 0);
    // The ALT text right of the icon area, in black.
    EXPECT_GT(CountIs(clBlack, X + 24, Top + 4, X + W - 2, Top + H - 1), 10);
    EXPECT_EQ(CountNot(clWhite, W + 1, 0, 300, H), 0);
}

TEST_F(ImageObjects, InsideALinkAFrameInTheLinkColourUnlessBorderIsZero)
{
    struct Case {
        std::unique_ptr<TAttributeList> Attributes;
        bool Framed;
    };
    const std::string Pic = WriteTemp("g.bmp", BmpBytes(20, 10, std::vector<std::uint32_t>(200, Green)));
    std::vector<Case> Cases;
    Cases.push_back({Attrs({{SrcSy, Pic, 0}, {AlignSy, "top", 0}}), true});
    Cases.push_back({Attrs({{SrcSy, Pic, 0}, {AlignSy, "top", 0}, {BorderSy, "0", 0}}), false});
    for (Case& C : Cases) {
        Doc.Clear();
        ClearBitmap();
        TImageObj* Img = AddImage(std::move(C.Attributes), "next.htm");
        Layout(300);
        Paint();
        EXPECT_EQ(Img->HasBorder, C.Framed);
        EXPECT_EQ(Img->ImageWidth, C.Framed ? 22 : 20);
        EXPECT_EQ(Img->ImageHeight, C.Framed ? 12 : 10);
        const int In = C.Framed ? 1 : 0;
        EXPECT_EQ(Img->DrawX, In);
        EXPECT_EQ(Canvas()->Pixels(In, In) & 0xFFFFFF, 0x00FF00);
        EXPECT_EQ(Canvas()->Pixels(In + 19, In + 9) & 0xFFFFFF, 0x00FF00);
        if (C.Framed) {
            EXPECT_EQ(CountIs(clBlue, 0, 0, 22, 12), 2 * 22 + 2 * 10); // the one-pixel frame
            EXPECT_EQ(CountNot(clWhite, 22, 0, 300, 12), 0);
        } else {
            EXPECT_EQ(CountIs(clBlue, 0, 0, 300, 40), 0);
        }
    }
}

// ---- Where pictures come from --------------------------------------------------------------------

TEST_F(ImageObjects, RequestEventsSupplyPicturesAndTheirTransparency)
{
    TObject Owner;
    TSectionList D(&Owner, nullptr);
    D.SetDefaults("Arial", "Courier New", clWhite, clBlue, clBlack, 12);
    std::vector<std::string> Asked;
    D.OnBitmapRequest = [&](TObject* Sender, const std::string& Src, TBitmap*& Bitmap, TColor& Color) {
        EXPECT_EQ(Sender, &Owner);
        Asked.push_back(Src);
        if (Src == "none")
            return;
        Bitmap = new TBitmap(3, 1);
        Bitmap->Canvas()->SetPixels(0, 0, clRed);
        Bitmap->Canvas()->SetPixels(1, 0, clLime);
        Bitmap->Canvas()->SetPixels(2, 0, clBlue);
        if (Src == "keyed")
            Color = clLime;
    };
    TImageObj* Keyed = AddImage(D, Attrs({{SrcSy, "keyed", 0}}));
    TImageObj* Corner = AddImage(D, Attrs({{SrcSy, "corner", 0}, {TranspSy, "", 0}}));
    TImageObj* Plain = AddImage(D, Attrs({{SrcSy, "plain", 0}}));
    TImageObj* None = AddImage(D, Attrs({{SrcSy, "none", 0}}));
    LayoutOf(D);
    EXPECT_EQ(Asked, (std::vector<std::string>{"keyed", "corner", "plain", "none"})); // names as written
    EXPECT_EQ(Keyed->Transparent, 2);
    ASSERT_TRUE(Keyed->Mask);
    EXPECT_EQ(RgbOf(Keyed->Mask), (std::vector<std::uint32_t>{0, 0xFFFFFF, 0}));
    EXPECT_EQ(Corner->Transparent, 1);
    ASSERT_TRUE(Corner->Mask);
    EXPECT_EQ(RgbOf(Corner->Mask), (std::vector<std::uint32_t>{0xFFFFFF, 0, 0}));
    EXPECT_EQ(Plain->Mask, nullptr);
    EXPECT_EQ(None->Image, BrokenImageBitmap);
    EXPECT_EQ(Users("keyed"), 1);
    EXPECT_EQ(Users("none"), -1);
}

TEST_F(ImageObjects, ImageRequestStreamsAreDecodedAndStayTheHosts)
{
    TGifSpec G;
    G.Width = 2;
    G.Height = 1;
    G.Colours = {Red, Yellow};
    G.Indices = {0, 1};
    G.Transparent = 1;
    TMemoryStream Stream;
    Stream.WriteString(GifBytes(G));
    int Calls = 0;
    Doc.OnImageRequest = [&](TObject*, const std::string& Src, TMemoryStream*& S) {
        ++Calls;
        if (Src == "pic.gif")
            S = &Stream;
    };
    TImageObj* Img = AddImage(Attrs({{SrcSy, "pic.gif", 0}}));
    TImageObj* Again = AddImage(Attrs({{SrcSy, " PIC.GIF ", 0}})); // the same cache key
    TImageObj* Other = AddImage(Attrs({{SrcSy, "other.gif", 0}}));
    Layout(300);
    EXPECT_EQ(Calls, 2);
    EXPECT_EQ(Img->Transparent, 2);
    ASSERT_TRUE(Img->Mask);
    EXPECT_EQ(RgbOf(Img->Mask), (std::vector<std::uint32_t>{0, 0xFFFFFF}));
    EXPECT_EQ(Again->Image, Img->Image);
    EXPECT_EQ(Again->Transparent, 2); // the entry's mask came from the GIF's colour
    EXPECT_EQ(Other->Image, BrokenImageBitmap);
    EXPECT_EQ(Users("pic.gif"), 2);
    Doc.OnImageRequest = nullptr;
}

TEST_F(ImageObjects, CachedPictureGetsACornerMaskWhenAskedForOne)
{
    const std::string Pic = WriteTemp("c.bmp", BmpBytes(2, 1, {Red, Blue}));
    TImageObj* First = AddImage(Attrs({{SrcSy, Pic, 0}}));
    Layout(300);
    EXPECT_EQ(First->Mask, nullptr);
    TSectionList Second(nullptr, nullptr);
    TImageObj* Img = AddImage(Second, Attrs({{SrcSy, Pic, 0}, {TranspSy, "", 0}}));
    LayoutOf(Second);
    EXPECT_EQ(Img->Image, First->Image);
    ASSERT_TRUE(Img->Mask);
    EXPECT_EQ(RgbOf(Img->Mask), (std::vector<std::uint32_t>{0xFFFFFF, 0}));
    EXPECT_EQ(ImageCache->Item(ImageCache->IndexOf(UpperCase(Pic)))->MaskKind, 1);
}

// ---- The uses an image takes and gives back --------------------------------------------------------

TEST_F(ImageObjects, ADocumentReleasesOnlyTheUsesItTook)
{
    const std::string Pic = WriteTemp("late.bmp", "not yet a picture");
    auto Shown = std::make_unique<TSectionList>(nullptr, nullptr);
    auto Off = std::make_unique<TSectionList>(nullptr, nullptr);
    auto Failed = std::make_unique<TSectionList>(nullptr, nullptr);
    Off->ShowImages = false;
    AddImage(*Failed, Attrs({{SrcSy, Pic, 0}}));
    LayoutOf(*Failed); // fails: takes nothing
    WriteFileBytes(Pic, BmpBytes(2, 2, std::vector<std::uint32_t>(4, Red)));
    TImageObj* Img = AddImage(*Shown, Attrs({{SrcSy, Pic, 0}}));
    AddImage(*Off, Attrs({{SrcSy, Pic, 0}}));
    LayoutOf(*Shown);
    LayoutOf(*Off); // images off: takes nothing
    ASSERT_EQ(Users(Pic), 1);
    Failed.reset();
    Off.reset();
    EXPECT_EQ(Users(Pic), 1);
    // So the entry outlives any number of loads while its document shows it.
    for (int I = 0; I < 10; ++I)
        ImageCache->AgeAll();
    EXPECT_EQ(Users(Pic), 1);
    EXPECT_EQ(RgbOf(dynamic_cast<TBitmap*>(Img->Image)), std::vector<std::uint32_t>(4, 0xFF0000));
    Shown.reset();
    EXPECT_EQ(Users(Pic), 0);
}

// A request event that fetches the same name into another document first: the cache keeps that
// document's picture, and this one keeps its own without taking (or later giving back) a use.
TEST_F(ImageObjects, PictureThatCannotBeCachedStaysWithItsImage)
{
    const std::string Pic = WriteTemp("both.bmp", BmpBytes(2, 1, {Red, Red}));
    TSectionList Inner(nullptr, nullptr);
    TImageObj* InnerImg = AddImage(Inner, Attrs({{SrcSy, Pic, 0}}));
    auto Outer = std::make_unique<TSectionList>(nullptr, nullptr);
    Outer->OnBitmapRequest = [&](TObject*, const std::string&, TBitmap*& Bitmap, TColor&) {
        LayoutOf(Inner);
        Bitmap = new TBitmap(2, 1);
        Bitmap->Canvas()->Brush()->SetColor(clBlue);
        Bitmap->Canvas()->FillRect(Rect(0, 0, 2, 1));
    };
    TImageObj* OuterImg = AddImage(*Outer, Attrs({{SrcSy, Pic, 0}}));
    LayoutOf(*Outer);
    ASSERT_TRUE(OuterImg->Image && InnerImg->Image);
    EXPECT_NE(OuterImg->Image, InnerImg->Image);
    EXPECT_EQ(RgbOf(dynamic_cast<TBitmap*>(OuterImg->Image)), (std::vector<std::uint32_t>{Blue, Blue}));
    EXPECT_EQ(Users(Pic), 1);
    Outer.reset(); // frees its own picture (the sanitizer would see a leak or a double free)
    EXPECT_EQ(Users(Pic), 1);
    EXPECT_EQ(RgbOf(dynamic_cast<TBitmap*>(InnerImg->Image)), (std::vector<std::uint32_t>{Red, Red}));
}

TEST_F(ImageObjects, CopiedImageTakesAUseOfItsOwn)
{
    const std::string Pic = WriteTemp("copy.bmp", BmpBytes(1, 1, {Green}));
    TImageObj* Img = AddImage(Attrs({{SrcSy, Pic, 0}}));
    Layout(300);
    {
        TImageObj Copy(*Img);
        EXPECT_EQ(Copy.Image, Img->Image);
        EXPECT_EQ(Users(Pic), 2);
    }
    EXPECT_EQ(Users(Pic), 1);
}

// ---- Image maps ----------------------------------------------------------------------------------

TEST(ImageMaps, AreasByShapeAndCoords)
{
    struct Case {
        const char* Shape; // nullptr: no SHAPE
        const char* Coords;
        bool Added;
        TRect Box;
    };
    const std::vector<Case> Cases{
        {"circle", "10,10,5", true, Rect(5, 5, 16, 16)},
        {"CIRC", "10, 10, 5", true, Rect(5, 5, 16, 16)},
        {"rect", "1,2,30,40", true, Rect(1, 2, 31, 41)},
        {nullptr, "1,2,30,40", true, Rect(1, 2, 31, 41)},
        {"anything", "1,2,30,40", true, Rect(1, 2, 31, 41)},
        {"rect", "1,2,3", false, {}},
        {"rect", "1,2,,4", false, {}}, // stops at the empty piece: two numbers
        {"circle", "10,10,,5", false, {}},
        {"poly", "0,0,20,0,0,20", true, Rect(0, 0, 20, 20)},
        {"polygon", "0,0,20,0,0", false, {}},
        {"rect", "x,2,3,4", true, Rect(0, 2, 4, 5)}, // a piece that is no number counts 0
    };
    for (const Case& C : Cases) {
        TMapItem Map;
        auto A = C.Shape ? Attrs({{HrefSy, "a.htm", 0}, {ShapeSy, C.Shape, 0}, {CoordsSy, C.Coords, 0}})
                         : Attrs({{HrefSy, "a.htm", 0}, {CoordsSy, C.Coords, 0}});
        Map.AddArea(A.get());
        ASSERT_EQ(Map.Areas.Count(), C.Added ? 1 : 0) << C.Coords;
        ASSERT_EQ(Map.AreaRegions.size(), C.Added ? 1u : 0u) << C.Coords;
        if (!C.Added)
            continue;
        RECT Box{};
        GetRgnBox(Map.AreaRegions[0], &Box);
        EXPECT_EQ(Box.left, C.Box.left) << C.Coords;
        EXPECT_EQ(Box.top, C.Box.top) << C.Coords;
        EXPECT_EQ(Box.right, C.Box.right) << C.Coords;
        EXPECT_EQ(Box.bottom, C.Box.bottom) << C.Coords;
    }
}

TEST(ImageMaps, CircleHoldsItsInsideNotTheCornersOfItsBox)
{
    TMapItem Map;
    auto A = Attrs({{HrefSy, "round.htm", 0}, {ShapeSy, "circle", 0}, {CoordsSy, "10,10,5", 0}});
    Map.AddArea(A.get());
    TUrlTarget U;
    for (auto [X, Y] : std::vector<std::pair<int, int>>{{10, 10}, {12, 8}, {10, 6}, {14, 10}})
        EXPECT_TRUE(Map.GetURL(X, Y, U)) << X << "," << Y;
    EXPECT_EQ(U.URL, "round.htm");
    for (auto [X, Y] :
         std::vector<std::pair<int, int>>{{5, 5}, {15, 5}, {5, 15}, {15, 15}, {10, 17}, {3, 10}})
        EXPECT_FALSE(Map.GetURL(X, Y, U)) << X << "," << Y;
}

TEST(ImageMaps, TheFirstAreaHitDecidesEvenWithoutALink)
{
    TMapItem Map;
    auto Hole =
        Attrs({{ShapeSy, "rect", 0}, {CoordsSy, "0,0,9,9", 0}, {HrefSy, "lost.htm", 0}, {NoHrefSy, "", 0}});
    auto Link = Attrs({{HrefSy, "b.htm", 0}, {TargetSy, "right", 0}, {CoordsSy, "0,0,49,49", 0}});
    Map.AddArea(Hole.get());
    Map.AddArea(Link.get());
    ASSERT_EQ(Map.Areas.Count(), 2);
    EXPECT_EQ(Map.Areas[0], "");
    TUrlTarget U;
    EXPECT_FALSE(Map.GetURL(5, 5, U)); // NOHREF first: no link, the second area is not asked
    EXPECT_TRUE(Map.GetURL(20, 20, U));
    EXPECT_EQ(U.URL, "b.htm");
    EXPECT_EQ(U.Target, "right");
    EXPECT_FALSE(Map.GetURL(60, 5, U));
}

TEST_F(ImageObjects, UseMapImageAnswersWithTheMapsAreas)
{
    auto* Map = new TMapItem;
    Map->MapName = "NAV";
    auto Left = Attrs({{HrefSy, "left.htm", 0}, {CoordsSy, "0,0,9,19", 0}});
    auto Right = Attrs({{HrefSy, "right.htm", 0}, {CoordsSy, "10,0,19,19", 0}});
    Map->AddArea(Left.get());
    Map->AddArea(Right.get());
    Doc.MapList.Add(Map);
    TImageObj* Img = WithPicture(AddImage(Attrs({{UseMapSy, "#nav", 0}, {AlignSy, "top", 0}}), "page.htm"));
    TImageObj* Unknown =
        WithPicture(AddImage(Attrs({{UseMapSy, "#elsewhere", 0}, {AlignSy, "top", 0}}), "page.htm"));
    Layout(300);
    Paint(0);
    EXPECT_EQ(Img->MapName, "NAV");
    TFormControlObj* FC = nullptr;
    TUrlTarget Found;
    ASSERT_TRUE(Doc.GetURL(Canvas(), Img->DrawX + 3, Img->DrawY + 4, FC, Found));
    EXPECT_EQ(Found.URL, "left.htm");
    ASSERT_TRUE(Doc.GetURL(Canvas(), Img->DrawX + 15, Img->DrawY + 4, FC, Found));
    EXPECT_EQ(Found.URL, "right.htm");
    // A map the document does not have leaves the link around the image.
    ASSERT_TRUE(Doc.GetURL(Canvas(), Unknown->DrawX + 3, Unknown->DrawY + 4, FC, Found));
    EXPECT_EQ(Found.URL, "page.htm");
}

// ---- Pictures in the view -------------------------------------------------------------------------

struct ImageView : ViewFixture {
    void SetUp() override
    {
        ImageCache->Clear();
        ImageCache->MaxAge = 4;
        ViewFixture::SetUp();
        Viewer->SetViewImages(true);
    }
    TImageObj* FirstImage()
    {
        TSectionList* Doc = Viewer->SectionList();
        for (int I = 0; I < Doc->Count(); ++I)
            if (auto* S = dynamic_cast<TSection*>(Doc->Block(I)); S && S->Images.Count() > 0)
                return S->Images.Image(0);
        return nullptr;
    }
};

TEST_F(ImageView, TransparentGifShowsTheBackgroundThroughIt)
{
    TGifSpec G;
    G.Width = G.Height = 4;
    G.Colours = {Red, Blue, Yellow, Green};
    G.Indices = {0, 1, 2, 2, 1, 0, 2, 2, 2, 2, 0, 1, 2, 2, 1, 0};
    G.Transparent = 2;
    MakeTempDir("site");
    WriteTemp("site/dots.gif", GifBytes(G));
    const std::string Page = WriteTemp(
        "site/page.htm", "<body bgcolor=\"#C000C0\"><img src=\"dots.gif\" width=8 height=8></body>");
    Viewer->LoadFromFile(Page);
    ProcessPendingMessages();
    TImageObj* Img = FirstImage();
    ASSERT_TRUE(Img);
    EXPECT_FALSE(Img->ShowsPlaceholder()); // found beside the page
    auto Shot = RenderControl(Viewer);
    ASSERT_TRUE(Shot);
    const TColor Background = TColor(RGB(0xC0, 0x00, 0xC0));
    const int X0 = 1 + Img->DrawX, Y0 = 1 + Img->DrawY; // inside the view's one-pixel frame
    for (int Y = 0; Y < 8; ++Y)
        for (int X = 0; X < 8; ++X) {
            const int Index = G.Indices[std::size_t(Y / 2) * 4 + X / 2];
            const TColor Want = Index == 2 ? Background : Win(G.Colours[std::size_t(Index)]);
            ASSERT_EQ(PixelAt(Shot.get(), X0 + X, Y0 + Y) & 0xFFFFFF, Want) << X << "," << Y;
        }
    EXPECT_EQ(PixelAt(Shot.get(), X0 + 8, Y0) & 0xFFFFFF, Background);
}

TEST_F(ImageView, RevisitedPagesTakeTheirPicturesFromTheCache)
{
    MakeTempDir("site");
    WriteTemp("site/p.bmp", BmpBytes(4, 4, std::vector<std::uint32_t>(16, Green)));
    const std::string Page = WriteTemp("site/a.htm", "<img src=\"p.bmp\">");
    const std::string Other = WriteTemp("site/b.htm", "<p>no pictures here");
    const std::string Key = UpperCase(HomeDir() + "/site/p.bmp");
    Viewer->LoadFromFile(Page);
    TObject* First = FirstImage()->Image;
    ASSERT_EQ(ImageCache->Count(), 1);
    EXPECT_EQ(ImageCache->Item(0)->Users, 1);
    EXPECT_EQ((*ImageCache)[0], Key);
    // Each load ages the cache; a revisit within the limit finds the same picture.
    for (int I = 0; I < 3; ++I)
        Viewer->LoadFromFile(Other);
    EXPECT_EQ(ImageCache->Item(0)->Users, 0);
    EXPECT_EQ(ImageCache->Item(0)->Age, 3);
    Viewer->LoadFromFile(Page);
    EXPECT_EQ(FirstImage()->Image, First);
    EXPECT_EQ(ImageCache->Item(0)->Age, 0);
    // One load more than the limit drops an unused picture.
    for (int I = 0; I < 5; ++I)
        Viewer->LoadFromFile(Other);
    EXPECT_EQ(ImageCache->Count(), 0);
    // The view's count is the limit: 0 drops it as soon as it is unused and aged.
    Viewer->LoadFromFile(Page);
    Viewer->LoadFromFile(Other);
    Viewer->SetImageCacheCount(0);
    EXPECT_EQ(ImageCache->MaxAge, 0);
    EXPECT_EQ(ImageCache->Count(), 0);
}

TEST_F(ImageView, BodyBackgroundIsTiledFromTheCache)
{
    MakeTempDir("site");
    WriteTemp("site/tile.bmp", BmpBytes(2, 2, {Red, Green, Blue, Yellow}));
    Viewer->LoadFromFile(WriteTemp("site/bg.htm", "<body background=\"tile.bmp\"><p>text</body>"));
    ProcessPendingMessages();
    TSectionList* Doc = Viewer->SectionList();
    ASSERT_TRUE(Doc->BackgroundBitmap);
    EXPECT_EQ(Users(Doc->BackgroundName), 1);
    auto Shot = RenderControl(Viewer);
    ASSERT_TRUE(Shot);
    // Tiles in document coordinates from the panel's corner at (1, 1).
    EXPECT_EQ(PixelAt(Shot.get(), 1 + 300, 1 + 200) & 0xFFFFFF, Win(Red));
    EXPECT_EQ(PixelAt(Shot.get(), 1 + 301, 1 + 200) & 0xFFFFFF, Win(Green));
    EXPECT_EQ(PixelAt(Shot.get(), 1 + 300, 1 + 201) & 0xFFFFFF, Win(Blue));
    const std::string Name = Doc->BackgroundName;
    Viewer->Clear();
    EXPECT_EQ(Users(Name), 0);
}

TEST_F(ImageView, ImagesOffShowTheirStandInAndComeOnWithTheirPictures)
{
    MakeTempDir("site");
    WriteTemp("site/p.bmp", BmpBytes(30, 20, std::vector<std::uint32_t>(600, Green)));
    Viewer->SetViewImages(false);
    Viewer->LoadFromFile(WriteTemp("site/a.htm", "<img src=\"p.bmp\">"));
    TImageObj* Img = FirstImage();
    ASSERT_TRUE(Img);
    EXPECT_EQ(Img->Image, nullptr);
    EXPECT_EQ(Img->ImageWidth, 24); // the images-off picture in a box of at least 24 x 24
    EXPECT_EQ(ImageCache->Count(), 0);
    Viewer->SetViewImages(true);
    EXPECT_EQ(Img->ImageWidth, 30);
    EXPECT_EQ(Img->ImageHeight, 20);
    EXPECT_EQ(ImageCache->Count(), 1);
}

} // namespace
