#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/rtl/SysUtils.h"
#include "platform/testing/FormTesting.h"
#include "platform/testing/WinTesting.h"

#include "platform/controls/tests/ControlsTestFixture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

class ExtCtrlsTest : public controls_testing::TBuiltFormTest {};

// A small bitmap with four distinct quadrant colours (2 x 2 pixels).
std::unique_ptr<TBitmap> FourColours()
{
    auto B = std::make_unique<TBitmap>(2, 2);
    B->Canvas()->SetPixels(0, 0, clRed);
    B->Canvas()->SetPixels(1, 0, clLime);
    B->Canvas()->SetPixels(0, 1, clBlue);
    B->Canvas()->SetPixels(1, 1, clYellow);
    return B;
}

std::string Hex(const std::string& Bytes)
{
    std::string Out;
    char Buf[3];
    for (unsigned char C : Bytes) {
        std::snprintf(Buf, sizeof Buf, "%02X", C);
        Out += Buf;
    }
    return Out;
}

TEST_F(ExtCtrlsTest, ControlsStreamFromAFormDescription)
{
    std::string Bmp = FourColours()->SaveToBytes();
    std::string Size;
    for (int I = 0; I < 4; ++I)
        Size += static_cast<char>((Bmp.size() >> (8 * I)) & 0xFF);
    std::string PictureData = Hex(std::string("\x07TBitmap") + Size + Bmp);
    auto* F = CreateFormFromText<TForm>(nullptr, R"(object Dlg: TForm
  ClientWidth = 300
  ClientHeight = 200
  object Panel1: TPanel
    Left = 0
    Top = 0
    Width = 120
    Height = 60
    BevelOuter = bvLowered
    BevelInner = bvRaised
    BevelWidth = 2
    BorderWidth = 3
    BorderStyle = bsSingle
    Alignment = taLeftJustify
    Caption = 'Panel'
    object Inner: TPanel
      Align = alClient
      BevelOuter = bvNone
    end
  end
  object Bevel1: TBevel
    Left = 130
    Top = 0
    Width = 50
    Height = 40
    Shape = bsFrame
    Style = bsRaised
  end
  object Shape1: TShape
    Left = 190
    Top = 0
    Shape = stCircle
    Pen.Color = clRed
    Pen.Width = 3
    Brush.Color = clBlue
    Brush.Style = bsCross
  end
  object Image1: TImage
    Left = 0
    Top = 100
    AutoSize = True
    Center = True
    Transparent = True
    Picture.Data = {)" + PictureData + R"(}
  end
  object Box1: TPaintBox
    Left = 100
    Top = 100
  end
  object Timer1: TTimer
    Interval = 250
    Enabled = False
  end
  object Book1: TNotebook
    Left = 150
    Top = 100
    PageIndex = 1
    object TPage
      Caption = 'First'
    end
    object TPage
      Caption = 'Second'
      object Panel2: TPanel
      end
    end
    object TPage
      Caption = 'Third'
    end
  end
end
)");
    Extra.push_back(F);
    auto* Panel = dynamic_cast<TPanel*>(F->FindComponent("Panel1"));
    auto* Inner = dynamic_cast<TPanel*>(F->FindComponent("Inner"));
    auto* Bevel = dynamic_cast<TBevel*>(F->FindComponent("Bevel1"));
    auto* Shape = dynamic_cast<TShape*>(F->FindComponent("Shape1"));
    auto* Image = dynamic_cast<TImage*>(F->FindComponent("Image1"));
    auto* Box = dynamic_cast<TPaintBox*>(F->FindComponent("Box1"));
    auto* Timer = dynamic_cast<TTimer*>(F->FindComponent("Timer1"));
    auto* Book = dynamic_cast<TNotebook*>(F->FindComponent("Book1"));
    ASSERT_TRUE(Panel && Inner && Bevel && Shape && Image && Box && Timer && Book);

    EXPECT_EQ(Panel->BevelOuter(), bvLowered);
    EXPECT_EQ(Panel->BevelInner(), bvRaised);
    EXPECT_EQ(Panel->BevelWidth(), 2);
    EXPECT_EQ(Panel->BorderWidth(), 3);
    EXPECT_EQ(Panel->BorderStyle(), bsSingle);
    EXPECT_EQ(Panel->Alignment(), taLeftJustify);
    EXPECT_EQ(Panel->Caption(), "Panel");
    // The client area lies inside the line, both bevels and the border: 1 + 2 + 3 + 2.
    EXPECT_EQ(Inner->BoundsRect(), Rect(8, 8, 112, 52));

    EXPECT_EQ(Bevel->Shape(), bsFrame);
    EXPECT_EQ(Bevel->Style(), bsRaised);
    EXPECT_EQ(Shape->Shape(), stCircle);
    EXPECT_EQ(Shape->Pen()->Color(), clRed);
    EXPECT_EQ(Shape->Pen()->Width(), 3);
    EXPECT_EQ(Shape->Brush()->Color(), clBlue);
    EXPECT_EQ(Shape->Brush()->Style(), bsCross);

    ASSERT_NE(Image->Picture()->Graphic(), nullptr);
    EXPECT_EQ(Image->Picture()->Width(), 2);
    EXPECT_TRUE(Image->AutoSize());
    EXPECT_EQ(Image->Width(), 2);
    EXPECT_EQ(Image->Height(), 2);
    EXPECT_TRUE(Image->Center());
    EXPECT_TRUE(Image->Transparent());
    EXPECT_EQ(Box->Width(), 105);

    EXPECT_EQ(Timer->Interval(), 250u);
    EXPECT_FALSE(Timer->Enabled());

    // The read pages replace the notebook's first page; PageIndex applies once they are there.
    ASSERT_EQ(Book->PageCount(), 3);
    EXPECT_EQ(Book->Pages()->Strings(0), "First");
    EXPECT_EQ(Book->PageIndex(), 1);
    EXPECT_EQ(Book->ActivePage(), "Second");
    EXPECT_TRUE(Book->Page(1)->Visible());
    EXPECT_FALSE(Book->Page(0)->Visible());
    EXPECT_EQ(F->FindComponent("Panel2") ? static_cast<TControl*>(F->FindComponent("Panel2"))->Parent()
                                         : nullptr,
              Book->Page(1));
}

// ---- Frame3D, panels and bevels -----------------------------------------------------------------

TEST(Frame3DTest, RingsTakeTopLeftAndBottomRightColours)
{
    TBitmap B(10, 8);
    B.Canvas()->Brush()->SetColor(clWhite);
    B.Canvas()->FillRect(Rect(0, 0, 10, 8));
    TRect R = Rect(0, 0, 10, 8);
    Frame3D(B.Canvas(), R, clRed, clBlue, 2);
    EXPECT_EQ(R, Rect(2, 2, 8, 6));
    TCanvas* C = B.Canvas();
    EXPECT_EQ(C->Pixels(0, 0), clRed);
    EXPECT_EQ(C->Pixels(8, 0), clRed);  // the top row but its last pixel
    EXPECT_EQ(C->Pixels(9, 0), clBlue); // the top-right corner is the bottom colour's
    EXPECT_EQ(C->Pixels(0, 6), clRed);
    EXPECT_EQ(C->Pixels(0, 7), clBlue); // so is the bottom-left one
    EXPECT_EQ(C->Pixels(9, 7), clBlue);
    EXPECT_EQ(C->Pixels(1, 1), clRed); // second ring
    EXPECT_EQ(C->Pixels(8, 6), clBlue);
    EXPECT_EQ(C->Pixels(2, 2), clWhite);
}

struct TPanelCase {
    const char* Name;
    TPanelBevel Outer, Inner;
    int BevelWidth, BorderWidth;
    TBorderStyle Border;
    // Expected pixels: (X, Y, colour).
    std::vector<std::tuple<int, int, TColor>> Pixels;
};

TEST_F(ExtCtrlsTest, PanelDrawsItsBevelsRings)
{
    const TColor Hi = ColorToRGB(clBtnHighlight), Sh = ColorToRGB(clBtnShadow), Face = clAqua;
    const TPanelCase Cases[] = {
        {"raised",
         bvRaised,
         bvNone,
         1,
         0,
         bsNone,
         {{0, 0, Hi}, {58, 0, Hi}, {59, 0, Sh}, {0, 39, Sh}, {59, 39, Sh}, {1, 1, Face}}},
        {"lowered", bvLowered, bvNone, 1, 0, bsNone, {{0, 0, Sh}, {59, 39, Hi}, {1, 1, Face}}},
        {"no bevel", bvNone, bvNone, 1, 0, bsNone, {{0, 0, Face}, {59, 39, Face}}},
        {"wide bevel", bvRaised, bvNone, 2, 0, bsNone, {{1, 1, Hi}, {58, 38, Sh}, {2, 2, Face}}},
        {"inner after the border",
         bvRaised,
         bvLowered,
         1,
         2,
         bsNone,
         {{0, 0, Hi}, {1, 1, Face}, {2, 2, Face}, {3, 3, Sh}, {56, 36, Hi}, {4, 4, Face}}},
        {"single line outside",
         bvRaised,
         bvNone,
         1,
         0,
         bsSingle,
         {{0, 0, ColorToRGB(clWindowFrame)}, {59, 39, ColorToRGB(clWindowFrame)}, {1, 1, Hi}, {58, 38, Sh}}},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Name);
        auto* P = Add<TPanel>(std::string("P") + std::to_string(&C - Cases), 10, 10, 60, 40);
        P->SetColor(Face);
        P->SetBevelOuter(C.Outer);
        P->SetBevelInner(C.Inner);
        P->SetBevelWidth(C.BevelWidth);
        P->SetBorderWidth(C.BorderWidth);
        P->SetBorderStyle(C.Border);
        for (auto [X, Y, Want] : C.Pixels)
            EXPECT_EQ(Pixel(P, X, Y), Want) << X << "," << Y;
        delete P;
    }
}

TEST_F(ExtCtrlsTest, PanelCaptionFollowsAlignment)
{
    auto* P = Add<TPanel>("P", 10, 10, 200, 40);
    P->SetBevelOuter(bvNone);
    P->SetColor(clWhite);
    P->SetCaption("Caption");
    auto Columns = [&] {
        ProcessMessages();
        auto Shot = RenderControl(P);
        int First = -1, Last = -1;
        for (int X = 0; X < Shot->Width(); ++X)
            for (int Y = 0; Y < Shot->Height(); ++Y)
                if (PixelAt(Shot.get(), X, Y) != clWhite) {
                    if (First < 0)
                        First = X;
                    Last = X;
                    break;
                }
        return std::make_pair(First, Last);
    };
    auto Centre = Columns();
    ASSERT_GE(Centre.first, 0);
    EXPECT_NEAR((Centre.first + Centre.second) / 2, 100, 3);
    P->SetAlignment(taLeftJustify);
    EXPECT_LT(Columns().first, 3);
    P->SetAlignment(taRightJustify);
    EXPECT_GT(Columns().second, 196);
}

struct TBevelCase {
    TBevelShape Shape;
    TBevelStyle Style;
    std::vector<std::tuple<int, int, TColor>> Pixels;
};

TEST_F(ExtCtrlsTest, BevelShapesDrawTheirLines)
{
    const TColor Hi = ColorToRGB(clBtnHighlight), Sh = ColorToRGB(clBtnShadow), Bg = clWhite;
    // A 40 x 30 bevel.
    const TBevelCase Cases[] = {
        {bsBox, bsLowered, {{0, 0, Sh}, {38, 0, Sh}, {39, 29, Hi}, {20, 15, Bg}}},
        {bsBox, bsRaised, {{0, 0, Hi}, {39, 29, Sh}}},
        {bsFrame, bsLowered, {{0, 0, Sh}, {1, 1, Hi}, {38, 28, Sh}, {39, 29, Hi}, {20, 15, Bg}}},
        {bsTopLine, bsLowered, {{5, 0, Sh}, {5, 1, Hi}, {5, 2, Bg}, {5, 29, Bg}}},
        {bsBottomLine, bsRaised, {{5, 28, Hi}, {5, 29, Sh}, {5, 0, Bg}}},
        {bsLeftLine, bsLowered, {{0, 5, Sh}, {1, 5, Hi}, {2, 5, Bg}}},
        {bsRightLine, bsLowered, {{38, 5, Sh}, {39, 5, Hi}, {37, 5, Bg}}},
        {bsSpacer, bsLowered, {{0, 0, Bg}, {39, 29, Bg}}},
    };
    auto* B = Add<TBevel>("B", 20, 20, 40, 30);
    for (const auto& C : Cases) {
        SCOPED_TRACE(std::to_string(C.Shape) + "/" + std::to_string(C.Style));
        B->SetShape(C.Shape);
        B->SetStyle(C.Style);
        for (auto [X, Y, Want] : C.Pixels)
            EXPECT_EQ(Pixel(B, X, Y), Want) << X << "," << Y;
    }
}

TEST_F(ExtCtrlsTest, ShapeFillsWithItsBrushInsideItsPen)
{
    auto* S = Add<TShape>("S", 10, 10, 60, 40);
    S->Brush()->SetColor(clBlue);
    S->Pen()->SetColor(clRed);
    EXPECT_EQ(Pixel(S, 0, 0), clRed);
    EXPECT_EQ(Pixel(S, 30, 20), clBlue);
    // A circle sits in the middle of the wider box: the corners and the sides stay clear.
    S->SetShape(stCircle);
    EXPECT_EQ(Pixel(S, 30, 20), clBlue);
    EXPECT_EQ(Pixel(S, 2, 20), clWhite);
    EXPECT_EQ(Pixel(S, 0, 0), clWhite);
    // A pen change repaints.
    S->SetShape(stRectangle);
    S->Pen()->SetColor(clLime);
    EXPECT_EQ(Pixel(S, 0, 0), clLime);
}

// ---- TImage -----------------------------------------------------------------------------------

TEST_F(ExtCtrlsTest, ImagePlacesItsPictureAsStretchAndCenterSay)
{
    auto* I = Add<TImage>("I", 10, 10, 40, 40);
    auto Bmp = FourColours();
    I->Picture()->SetGraphic(Bmp.get());
    // Top-left, at its own size.
    EXPECT_EQ(Pixel(I, 0, 0), clRed);
    EXPECT_EQ(Pixel(I, 1, 1), clYellow);
    EXPECT_EQ(Pixel(I, 20, 20), clWhite);
    // Centred: the 2 x 2 picture at (19, 19).
    I->SetCenter(true);
    EXPECT_EQ(Pixel(I, 19, 19), clRed);
    EXPECT_EQ(Pixel(I, 20, 20), clYellow);
    EXPECT_EQ(Pixel(I, 0, 0), clWhite);
    // Stretched: each source pixel becomes a 20 x 20 quarter.
    I->SetStretch(true);
    EXPECT_EQ(Pixel(I, 5, 5), clRed);
    EXPECT_EQ(Pixel(I, 30, 5), clLime);
    EXPECT_EQ(Pixel(I, 5, 30), clBlue);
    EXPECT_EQ(Pixel(I, 35, 35), clYellow);
    EXPECT_EQ(I->DestRect(), Rect(0, 0, 40, 40));
    // Transparent: the bitmap's bottom-left colour (blue) lets the form show through.
    I->SetTransparent(true);
    EXPECT_TRUE(I->Picture()->Graphic()->Transparent());
    EXPECT_EQ(Pixel(I, 5, 30), clWhite);
    EXPECT_EQ(Pixel(I, 5, 5), clRed);
    I->SetTransparent(false);
    EXPECT_EQ(Pixel(I, 5, 30), clBlue);
    // AutoSize takes the picture's size.
    I->SetAutoSize(true);
    EXPECT_EQ(I->Width(), 2);
    EXPECT_EQ(I->Height(), 2);
}

TEST_F(ExtCtrlsTest, ImageCanvasMakesABitmapOfTheControlsSize)
{
    auto* I = Add<TImage>("I", 10, 10, 30, 20);
    int Changes = 0;
    TCanvas* C = I->Canvas();
    ASSERT_NE(dynamic_cast<TBitmap*>(I->Picture()->Graphic()), nullptr);
    EXPECT_EQ(I->Picture()->Width(), 30);
    EXPECT_EQ(I->Picture()->Height(), 20);
    I->Picture()->OnChange = [&, Old = I->Picture()->OnChange](TObject* S) {
        ++Changes;
        Old(S);
    };
    C->Brush()->SetColor(clNavy);
    C->FillRect(Rect(0, 0, 30, 20));
    EXPECT_GT(Changes, 0);
    EXPECT_EQ(Pixel(I, 15, 10), clNavy);
    // Another kind of graphic has no canvas to draw on.
    TIcon Icon;
    I->Picture()->SetGraphic(&Icon);
    EXPECT_THROW(I->Canvas(), EInvalidOperation);
}

TEST_F(ExtCtrlsTest, ImageClicksFireItsEvents)
{
    auto* I = Add<TImage>("I", 10, 10, 30, 20);
    int Clicks = 0, Doubles = 0;
    I->OnClick = [&](TObject*) { ++Clicks; };
    I->OnDblClick = [&](TObject*) { ++Doubles; };
    ProcessMessages();
    ClickControl(I, 5, 5);
    EXPECT_EQ(Clicks, 1);
    AdvanceClock(1000);
    DoubleClickControl(I, 5, 5);
    EXPECT_EQ(Doubles, 1);
}

TEST_F(ExtCtrlsTest, PaintBoxPaintsThroughOnPaint)
{
    auto* P = Add<TPaintBox>("P", 10, 10, 50, 50);
    P->OnPaint = [P](TObject*) {
        P->Canvas()->Brush()->SetColor(clMaroon);
        P->Canvas()->FillRect(Rect(10, 10, 20, 20));
    };
    P->Invalidate();
    EXPECT_EQ(Pixel(P, 15, 15), clMaroon);
    EXPECT_EQ(Pixel(P, 30, 30), clWhite);
}

// ---- TTimer -----------------------------------------------------------------------------------

TEST_F(ExtCtrlsTest, TimerFiresOnTheTestClock)
{
    auto* T = new TTimer(Form);
    int Ticks = 0;
    T->OnTimer = [&](TObject*) { ++Ticks; };
    T->SetInterval(100);
    auto Step = [](int Ms) {
        for (int I = 0; I < Ms / 10; ++I) {
            AdvanceClock(10);
            ProcessMessages();
        }
    };
    Step(350);
    EXPECT_EQ(Ticks, 3);
    T->SetEnabled(false);
    Step(300);
    EXPECT_EQ(Ticks, 3);
    // Enabled again, the interval starts over.
    T->SetEnabled(true);
    Step(90);
    EXPECT_EQ(Ticks, 3);
    Step(20);
    EXPECT_EQ(Ticks, 4);
    // A new interval restarts the count; 0 stops the timer.
    T->SetInterval(500);
    Step(400);
    EXPECT_EQ(Ticks, 4);
    Step(100);
    EXPECT_EQ(Ticks, 5);
    T->SetInterval(0);
    Step(1000);
    EXPECT_EQ(Ticks, 5);
    delete T;
    Step(1000);
    // A new timer runs at its default second.
    auto* Fresh = new TTimer(Form);
    Fresh->OnTimer = [&](TObject*) { ++Ticks; };
    Step(1000);
    EXPECT_EQ(Ticks, 6);
}

// ---- TNotebook --------------------------------------------------------------------------------

TEST_F(ExtCtrlsTest, NotebookIgnoresPageIndexOutOfRange)
{
    auto* Book = Add<TNotebook>("Book", 10, 10, 200, 150);
    ASSERT_EQ(Book->PageCount(), 1);
    EXPECT_EQ(Book->ActivePage(), "Default");
    Book->Pages()->Clear();
    EXPECT_EQ(Book->PageIndex(), -1);
    Book->Pages()->Add("A");
    Book->Pages()->Add("B");
    Book->Pages()->Add("C");
    EXPECT_EQ(Book->PageIndex(), 0);
    int Changes = 0;
    Book->OnPageChanged = [&](TObject*) { ++Changes; };
    for (int Bad : {3, -1, 100}) {
        Book->SetPageIndex(Bad);
        EXPECT_EQ(Book->PageIndex(), 0) << Bad;
    }
    EXPECT_EQ(Changes, 0);
    Book->SetPageIndex(2);
    EXPECT_EQ(Book->PageIndex(), 2);
    EXPECT_EQ(Book->ActivePage(), "C");
    EXPECT_EQ(Changes, 1);
    EXPECT_TRUE(Book->Page(2)->Visible());
    EXPECT_FALSE(Book->Page(0)->Visible());
    Book->SetActivePage("Nope");
    EXPECT_EQ(Book->PageIndex(), 2);
    Book->SetActivePage("B");
    EXPECT_EQ(Book->PageIndex(), 1);
    // The page fills the notebook.
    EXPECT_EQ(Book->Page(1)->BoundsRect(), Rect(0, 0, 200, 150));
    // Inserting before the active page keeps the same page showing.
    Book->Pages()->Insert(0, "Z");
    EXPECT_EQ(Book->ActivePage(), "B");
    EXPECT_EQ(Book->PageIndex(), 2);
    // Deleting the active page shows the one now at its place.
    Book->Pages()->Delete(2);
    EXPECT_EQ(Book->ActivePage(), "C");
    EXPECT_TRUE(Book->Page(2)->Visible());
    Book->Pages()->Strings(0);
    EXPECT_THROW(Book->Pages()->Delete(7), EStringListError);
}

TEST_F(ExtCtrlsTest, NotebookShowsOnlyTheActivePagesChildren)
{
    auto* Book = Add<TNotebook>("Book", 0, 0, 200, 150);
    Book->Pages()->Clear();
    Book->Pages()->Add("Red");
    Book->Pages()->Add("Green");
    Book->Page(0)->SetParentColor(false);
    Book->Page(0)->SetColor(clRed);
    Book->Page(1)->SetParentColor(false);
    Book->Page(1)->SetColor(clLime);
    EXPECT_EQ(Pixel(Book, 100, 75), clRed);
    Book->SetPageIndex(1);
    EXPECT_EQ(Pixel(Book, 100, 75), clLime);
}

} // namespace
