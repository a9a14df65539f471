#include "components/addons/AdHelpersCore.h"
#include "components/addons/AdHelpersRes.h"
#include "components/addons/AdHelpersVcl.h"

#include "platform/controls/Forms.h"
#include "platform/graphics/Resources.h"
#include "platform/testing/AppTesting.h"
#include "platform/testing/FormTesting.h"
#include "platform/testing/WinTesting.h"

#include <gtest/gtest.h>

#include <memory>
#include <new>
#include <vector>

using namespace testing_support;

namespace {

TColor Rgb(TColor Color)
{
    return ColorToRGB(Color) & 0xFFFFFF;
}

std::unique_ptr<TBitmap> SolidBitmap(int W, int H, TColor Color)
{
    auto B = std::make_unique<TBitmap>();
    B->SetSize(W, H);
    B->Canvas()->Brush()->SetColor(Color);
    B->Canvas()->FillRect(Rect(0, 0, W, H));
    return B;
}

TColor Pixel(TBitmap* B, int X, int Y)
{
    return Rgb(B->Canvas()->Pixels(X, Y));
}

} // namespace

// ---- Integer routines -------------------------------------------------------------------------
TEST(AdHelpersCore, LargerSmallerAndLargest)
{
    struct {
        int A, B, Larger, Smaller;
    } Cases[] = {{1, 2, 2, 1}, {2, 1, 2, 1}, {-5, -7, -5, -7}, {3, 3, 3, 3}};
    for (const auto& C : Cases) {
        EXPECT_EQ(LargerOf(C.A, C.B), C.Larger) << C.A << "," << C.B;
        EXPECT_EQ(SmallerOf(C.A, C.B), C.Smaller) << C.A << "," << C.B;
    }
    EXPECT_EQ(LargestOfArray({4, -1, 9, 9, 2}), 9);
    EXPECT_EQ(LargestOfArray(std::vector<int>{-3}), -3);
    EXPECT_EQ(LargestOfArray(std::vector<int>{-8, -2, -5}), -2);
}

TEST(AdHelpersCore, InitAdCursorsFillsBothScreenSlotsFromTheProgramResources)
{
    ASSERT_TRUE(ResourceExists(ResourceType::Cursor, "AD_HANDCUR"));
    ASSERT_TRUE(ResourceExists(ResourceType::Cursor, "AD_DRAGCUR"));
    InitAdCursors();
    HCURSOR Hand = ScreenInstance()->Cursors(CursorHandPoint);
    HCURSOR Drag = ScreenInstance()->Cursors(CursorHandDrag);
    ASSERT_NE(Hand, nullptr);
    ASSERT_NE(Drag, nullptr);
    EXPECT_NE(Hand, Drag);
    POINT Hot;
    SIZE Size;
    ASSERT_TRUE(GetCursorHotSpot(Hand, &Hot, &Size));
    EXPECT_EQ(Size.cx, 32);
    EXPECT_EQ(Size.cy, 32);
    EXPECT_EQ(Hot.x, 5); // the tip of the pointing finger
    EXPECT_EQ(Hot.y, 0);
    ASSERT_TRUE(GetCursorHotSpot(Drag, &Hot, &Size));
    EXPECT_EQ(Hot.x, 11); // the palm
    EXPECT_EQ(Hot.y, 12);
}

// ---- Resources --------------------------------------------------------------------------------
TEST(AdHelpersRes, ResourceNotFoundNamesTheNumberOrTheName)
{
    struct {
        TAdResIdent Ident;
        const char* Message;
    } Cases[] = {{TW_MAKEINTRESOURCE(1003), "Resource 1003 not found"},
                 {"AD_NOSUCH", "Resource AD_NOSUCH not found"}};
    for (const auto& C : Cases) {
        try {
            RaiseResourceNotFound(C.Ident);
            ADD_FAILURE() << "no exception";
        } catch (const EResNotFound& E) {
            EXPECT_EQ(std::string(E.what()), C.Message);
        }
    }
}

TEST(AdHelpersRes, BitmapFromResourceLoadsOrAnswersNil)
{
    TDibImage Image;
    Image.Width = 3;
    Image.Height = 2;
    Image.Pixels.assign(6, 0xFF00FF00);
    const std::string Bmp = EncodeBmp(Image, 24);
    RegisterResource(ResourceType::Bitmap, 4711, Bmp.data(), Bmp.size());
    RegisterResource(ResourceType::Bitmap, "AD_TESTBMP", Bmp.data(), Bmp.size());
    const std::string Broken = "BM not really";
    RegisterResource(ResourceType::Bitmap, "AD_BROKEN", Broken.data(), Broken.size());
    HINSTANCE Instance = GetModuleHandle(nullptr);

    std::unique_ptr<TBitmap> ByNumber(BitmapFromResource(Instance, TW_MAKEINTRESOURCE(4711)));
    ASSERT_TRUE(ByNumber);
    EXPECT_EQ(ByNumber->Width(), 3);
    EXPECT_EQ(Pixel(ByNumber.get(), 1, 1), 0x00FF00);
    std::unique_ptr<TBitmap> ByName(BitmapFromResource(Instance, "ad_testbmp"));
    ASSERT_TRUE(ByName);
    EXPECT_EQ(ByName->Height(), 2);
    EXPECT_EQ(BitmapFromResource(Instance, "AD_MISSING"), nullptr);
    EXPECT_EQ(BitmapFromResource(Instance, "AD_BROKEN"), nullptr);
    EXPECT_EQ(BitmapFromResource(Instance, TW_MAKEINTRESOURCE(4712)), nullptr);
    UnregisterResource(ResourceType::Bitmap, 4711);
    UnregisterResource(ResourceType::Bitmap, "AD_TESTBMP");
    UnregisterResource(ResourceType::Bitmap, "AD_BROKEN");
}

TEST(AdHelpersRes, LoadResourceTextAnswersEmptyWhenMissing)
{
    RegisterResourceString(31999, "A test string");
    EXPECT_EQ(LoadResourceText(31999), "A test string");
    EXPECT_EQ(LoadResourceText(31998), "");
}

// ---- Bitmaps ----------------------------------------------------------------------------------
TEST(AdHelpersVcl, CheckerPatternAlternatesStartingWithColor2)
{
    std::unique_ptr<TBitmap> P(MakeCheckerPattern(clBtnFace, clWhite));
    ASSERT_EQ(P->Width(), 8);
    ASSERT_EQ(P->Height(), 8);
    EXPECT_EQ(Pixel(P.get(), 0, 0), 0xFFFFFF);
    EXPECT_EQ(Pixel(P.get(), 1, 0), Rgb(clBtnFace));
    EXPECT_EQ(Pixel(P.get(), 1, 1), 0xFFFFFF);
    for (int Y = 0; Y < 8; ++Y)
        for (int X = 0; X < 8; ++X)
            EXPECT_EQ(Pixel(P.get(), X, Y), (X + Y) % 2 == 0 ? 0xFFFFFF : Rgb(clBtnFace)) << X << "," << Y;
}

TEST(AdHelpersVcl, TransparentStretchBlitKeepsTheDestinationUnderTheKeyColour)
{
    auto Src = SolidBitmap(4, 4, clFuchsia);
    Src->Canvas()->Brush()->SetColor(clRed);
    Src->Canvas()->FillRect(Rect(2, 0, 4, 4));
    auto Dst = SolidBitmap(8, 8, clBlue);
    TransparentStretchBlit(Dst->Canvas()->Handle(), 0, 0, 8, 8, Src->Canvas()->Handle(), 0, 0, 4, 4,
                           clFuchsia, nullptr);
    EXPECT_EQ(Pixel(Dst.get(), 1, 1), 0xFF0000); // blue stays where the source was the key
    EXPECT_EQ(Pixel(Dst.get(), 3, 7), 0xFF0000);
    EXPECT_EQ(Pixel(Dst.get(), 4, 0), 0x0000FF); // red, stretched twice as wide
    EXPECT_EQ(Pixel(Dst.get(), 7, 7), 0x0000FF);
}

TEST(AdHelpersVcl, PaintBitmapOnCanvasDefaultsToTheWholeBitmapAtItsOwnSize)
{
    auto Src = SolidBitmap(4, 2, clLime);
    auto Dst = SolidBitmap(10, 10, clWhite);
    // SrcW 0 takes the whole bitmap (SrcX is reset too); DstW/DstH 0 the bitmap's own size.
    PaintBitmapOnCanvas(Dst->Canvas(), 1, 1, 0, 0, Src.get(), 2, 0, 0, 0, NoTransparentColor);
    EXPECT_EQ(Pixel(Dst.get(), 1, 1), 0x00FF00);
    EXPECT_EQ(Pixel(Dst.get(), 4, 2), 0x00FF00);
    EXPECT_EQ(Pixel(Dst.get(), 5, 1), 0xFFFFFF);
    EXPECT_EQ(Pixel(Dst.get(), 1, 3), 0xFFFFFF);
    EXPECT_EQ(Pixel(Dst.get(), 0, 0), 0xFFFFFF);
}

TEST(AdHelpersVcl, DrawBitmapTransparentSkipsTheTransparentColourAndRestoresOnChanging)
{
    auto Src = SolidBitmap(3, 3, clFuchsia);
    Src->Canvas()->SetPixels(1, 1, clNavy);
    int Changing = 0;
    Src->Canvas()->OnChanging = [&Changing](TObject*) { ++Changing; };
    auto Dst = SolidBitmap(6, 6, clYellow);
    DrawBitmapTransparent(Dst->Canvas(), 2, 2, clFuchsia, Src.get());
    EXPECT_EQ(Pixel(Dst.get(), 2, 2), 0x00FFFF);
    EXPECT_EQ(Pixel(Dst.get(), 3, 3), 0x800000);
    EXPECT_EQ(Pixel(Dst.get(), 4, 4), 0x00FFFF);
    EXPECT_EQ(Changing, 0);
    ASSERT_TRUE(Src->Canvas()->OnChanging); // given back after drawing
    // Opaque drawing copies the key colour as well.
    DrawBitmapTransparent(Dst->Canvas(), 2, 2, NoTransparentColor, Src.get());
    EXPECT_EQ(Pixel(Dst.get(), 2, 2), 0xFF00FF);
}

TEST(AdHelpersVcl, AMonochromeBitmapIsTransparentWhereItIsWhite)
{
    auto Src = SolidBitmap(4, 4, clWhite);
    Src->Canvas()->SetPixels(1, 1, clBlack);
    Src->Canvas()->Brush()->SetColor(clWhite);
    Src->SetMonochrome(true);
    auto Dst = SolidBitmap(4, 4, clLime);
    DrawBitmapTransparent(Dst->Canvas(), 0, 0, clRed, Src.get()); // the colour given does not matter
    EXPECT_EQ(Pixel(Dst.get(), 1, 1), 0x000000);
    EXPECT_EQ(Pixel(Dst.get(), 2, 2), 0x00FF00);
}

TEST(AdHelpersVcl, DisabledBitmapEmbossesTheBlackPixelsOfColourAndMonochromeSources)
{
    for (bool Monochrome : {false, true}) {
        SCOPED_TRACE(Monochrome ? "monochrome source" : "colour source");
        auto Src = SolidBitmap(8, 8, clWhite);
        Src->Canvas()->SetPixels(2, 2, clBlack);
        Src->Canvas()->SetPixels(5, 2, clBlack);
        if (Monochrome) {
            Src->Canvas()->Brush()->SetColor(clWhite);
            Src->SetMonochrome(true);
            ASSERT_TRUE(Src->Monochrome());
        }
        std::unique_ptr<TBitmap> D(MakeDisabledBitmap(Src.get(), clBlack));
        ASSERT_EQ(D->Width(), 8);
        ASSERT_EQ(D->Height(), 8);
        EXPECT_EQ(Pixel(D.get(), 2, 2), Rgb(clBtnShadow));
        EXPECT_EQ(Pixel(D.get(), 3, 3), Rgb(clBtnHighlight)); // one pixel down and right
        EXPECT_EQ(Pixel(D.get(), 5, 2), Rgb(clBtnShadow));
        EXPECT_EQ(Pixel(D.get(), 6, 3), Rgb(clBtnHighlight));
        EXPECT_EQ(Pixel(D.get(), 0, 0), Rgb(clBtnFace)); // the white background becomes the face
        EXPECT_EQ(Pixel(D.get(), 7, 7), Rgb(clBtnFace));
        EXPECT_EQ(Pixel(D.get(), 4, 5), Rgb(clBtnFace));
        EXPECT_EQ(Src->Monochrome(), Monochrome); // the source is left alone
    }
}

TEST(AdHelpersVcl, PaletteRelativeColourAndRectSizes)
{
    EXPECT_EQ(PaletteRelativeColor(clRed), 0x020000FF);
    EXPECT_EQ(PaletteRelativeColor(clBtnFace), Rgb(clBtnFace) | 0x02000000);
    EXPECT_EQ(RectWidth(Rect(3, 4, 10, 20)), 7);
    EXPECT_EQ(RectHeight(Rect(3, 4, 10, 20)), 16);
}

TEST(AdHelpersVcl, PaletteEntryCountReadsTheLogicalPalette)
{
    std::vector<BYTE> Buffer(sizeof(LOGPALETTE) + 16 * sizeof(PALETTEENTRY));
    auto* Log = new (Buffer.data()) LOGPALETTE;
    Log->palNumEntries = 5;
    HPALETTE Pal = CreatePalette(Log);
    ASSERT_NE(Pal, nullptr);
    EXPECT_EQ(PaletteEntryCount(Pal), 5);
    DeleteObject(Pal);
}

// ---- Text -------------------------------------------------------------------------------------
TEST(AdHelpersVcl, EllipsizeTextCutsFromTheRightDownToTheDots)
{
    auto B = SolidBitmap(10, 10, clWhite);
    TCanvas* C = B->Canvas();
    // Wide letters, so that every shorter candidate is also narrower.
    const std::string S = "WWWWW";
    EXPECT_EQ(EllipsizeText(S, C, C->TextWidth(S)), S); // fits: unchanged
    EXPECT_EQ(EllipsizeText(S, C, 1000), S);
    EXPECT_EQ(EllipsizeText(S, C, C->TextWidth(S) - 1), "WWW..."); // the first cut takes two
    // Each narrower width walks on through 2, 1 and 0 characters and stops at "...".
    for (const char* Expected : {"WWW...", "WW...", "W...", "..."})
        EXPECT_EQ(EllipsizeText(S, C, C->TextWidth(Expected)), Expected);
    EXPECT_EQ(EllipsizeText(S, C, C->TextWidth("W...") - 1), "...");
    EXPECT_EQ(EllipsizeText(S, C, 0), "...");
    for (const char* Short : {"", "W"})
        for (int Width : {0, 1, 1000})
            EXPECT_EQ(EllipsizeText(Short, C, Width), Short) << Short << " " << Width;
    // Characters are cut whole, never in the middle of a multi-byte one.
    EXPECT_EQ(EllipsizeText("a\xC3\xA9\xC3\xA9\xC3\xA9z", C, 0), "...");
    const std::string Accented = "WW\xC3\x89\xC3\x89W";
    EXPECT_EQ(EllipsizeText(Accented, C, C->TextWidth("WW\xC3\x89...")), "WW\xC3\x89...");
}

// ---- Windows ----------------------------------------------------------------------------------
class AdHelpersWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(nullptr);
        Form->SetBounds(100, 100, 300, 200);
        Form->Show();
        ProcessMessages();
    }
    void TearDown() override
    {
        Form->BeforeDestruction();
        delete Form;
    }
    TWindowTest Fixture;
    TForm* Form = nullptr;
};

namespace {
class TColourBlock : public TGraphicControl {
public:
    TColourBlock(TComponent* Owner, TColor C) : TGraphicControl(Owner), Fill(C) {}
    TColor Fill;

protected:
    void Paint() override
    {
        Canvas()->Brush()->SetColor(Fill);
        Canvas()->FillRect(Rect(0, 0, Width(), Height()));
    }
};

// A windowed parent that paints its own surface.
class TPaintedPanel : public TCustomControl {
public:
    using TCustomControl::TCustomControl;

protected:
    void Paint() override
    {
        Canvas()->Brush()->SetColor(clTeal);
        Canvas()->FillRect(Rect(0, 0, Width(), Height()));
    }
};
} // namespace

TEST_F(AdHelpersWindowTest, CentreInParentCentresAndNeverGoesNegative)
{
    auto* Panel = new TColourBlock(Form, clRed);
    Panel->SetParent(Form);
    struct {
        int W, H, X, Y;
    } Cases[] = {{100, 50, (300 - 100) / 2, 0}, {1000, 1000, 0, 0}, {3, 3, 0, 0}};
    for (const auto& C : Cases) {
        Panel->SetBounds(7, 9, C.W, C.H);
        CentreInParent(Panel);
        EXPECT_EQ(Panel->Width(), C.W);
        EXPECT_EQ(Panel->Height(), C.H);
        EXPECT_EQ(Panel->Left(), C.W > Form->ClientWidth() ? 0 : (Form->ClientWidth() - C.W) / 2);
        EXPECT_EQ(Panel->Top(), C.H > Form->ClientHeight() ? 0 : (Form->ClientHeight() - C.H) / 2);
    }
    // An ordinary form goes to the middle of the screen.
    CentreInParent(Form);
    EXPECT_EQ(Form->Left(), (ScreenInstance()->Width() - 300) / 2);
    EXPECT_EQ(Form->Top(), (ScreenInstance()->Height() - 200) / 2);
    // A control without a parent stays where it is.
    TColourBlock Loose(nullptr, clRed);
    Loose.SetBounds(11, 12, 5, 5);
    CentreInParent(&Loose);
    EXPECT_EQ(Loose.Left(), 11);
    EXPECT_EQ(Loose.Top(), 12);
}

TEST_F(AdHelpersWindowTest, PurgeQueuedMessageRemovesOneAndKeepsQuit)
{
    HWND Wnd = Form->Handle();
    const UINT Msg = WM_USER + 7;
    PurgeQueuedMessage(Wnd, Msg); // nothing pending: nothing happens
    PostMessage(Wnd, Msg, 1, 0);
    PostMessage(Wnd, Msg, 2, 0);
    PostMessage(Wnd, WM_USER + 8, 3, 0);
    PurgeQueuedMessage(Wnd, Msg);
    MSG M;
    ASSERT_TRUE(PeekMessage(&M, Wnd, Msg, Msg, PM_REMOVE));
    EXPECT_EQ(M.wParam, 2u); // only the first was removed
    EXPECT_FALSE(PeekMessage(&M, Wnd, Msg, Msg, PM_REMOVE));
    EXPECT_TRUE(PeekMessage(&M, Wnd, WM_USER + 8, WM_USER + 8, PM_REMOVE));

    // A quit request removed on the way is posted again.
    PostQuitMessage(42);
    PurgeQueuedMessage(nullptr, WM_QUIT);
    ASSERT_TRUE(PeekMessage(&M, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(M.message, WM_QUIT);
    EXPECT_EQ(M.wParam, 42u);
}

TEST_F(AdHelpersWindowTest, PaintParentBackgroundShowsOnlyWhatLiesBelow)
{
    auto* Panel = new TPaintedPanel(Form);
    Panel->SetBounds(5, 5, 200, 150);
    Panel->SetParent(Form);
    auto Add = [&](TColor Colour, int L, int T, int W, int H) {
        auto* Block = new TColourBlock(Form, Colour);
        Block->SetBounds(L, T, W, H);
        Block->SetParent(Panel);
        return Block;
    };
    Add(clRed, 10, 10, 20, 20);                 // below, overlapping
    auto* Hidden = Add(clYellow, 20, 20, 5, 5); // below but hidden
    Hidden->SetVisible(false);
    auto* Self = Add(clBlue, 20, 20, 20, 20);
    Add(clLime, 30, 30, 20, 20); // above: never shows through

    auto Dest = SolidBitmap(20, 20, clBlack);
    PaintParentBackground(Self, Dest->Canvas());
    EXPECT_EQ(Pixel(Dest.get(), 0, 0), 0x0000FF); // the sibling below
    EXPECT_EQ(Pixel(Dest.get(), 9, 9), 0x0000FF);
    EXPECT_EQ(Pixel(Dest.get(), 2, 2), 0x0000FF);      // not the hidden one
    EXPECT_EQ(Pixel(Dest.get(), 10, 10), Rgb(clTeal)); // the parent's surface, not the sibling above
    EXPECT_EQ(Pixel(Dest.get(), 19, 19), Rgb(clTeal));
    EXPECT_EQ(Pixel(Dest.get(), 15, 3), Rgb(clTeal));

    TColourBlock Orphan(nullptr, clRed);
    auto Untouched = SolidBitmap(4, 4, clBlack);
    PaintParentBackground(&Orphan, Untouched->Canvas());
    EXPECT_EQ(Pixel(Untouched.get(), 1, 1), 0x000000);
}

TEST_F(AdHelpersWindowTest, OwnThreadActiveAndBringWindowForward)
{
    SetActiveWindow(Form->Handle());
    EXPECT_TRUE(IsOwnThreadActive());
    EXPECT_TRUE(BringWindowForward(Form->Handle(), false));
    EXPECT_TRUE(BringWindowForward(Form->Handle(), true));
    EXPECT_EQ(GetFocus() != nullptr, true);
    EnableWindow(Form->Handle(), FALSE);
    EXPECT_FALSE(BringWindowForward(Form->Handle(), true));
    EnableWindow(Form->Handle(), TRUE);
    Form->Hide();
    ProcessMessages();
    EXPECT_FALSE(BringWindowForward(Form->Handle(), true)); // not visible
}

TEST(AdHelpersMdi, CentreInParentPutsAnMdiChildInTheMiddleOfTheMainForm)
{
    TAppTest Fixture;
    auto* Main = new TForm(nullptr);
    Main->SetFormStyle(fsMDIForm);
    Main->SetBounds(0, 0, 600, 400);
    Fixture.App->SetMainForm(Main);
    Main->Show();
    ProcessMessages();
    auto* Child = new TForm(Main);
    Child->SetFormStyle(fsMDIChild);
    Child->SetBounds(3, 4, 100, 60);
    Child->Show();
    ProcessMessages();
    CentreInParent(Child);
    EXPECT_EQ(Child->Left(), (Main->ClientWidth() - 100) / 2);
    EXPECT_EQ(Child->Top(), (Main->ClientHeight() - 60) / 2);
    EXPECT_EQ(Child->Width(), 100);
    Fixture.App->SetMainForm(nullptr);
    Child->BeforeDestruction();
    delete Child;
    Main->BeforeDestruction();
    delete Main;
}
