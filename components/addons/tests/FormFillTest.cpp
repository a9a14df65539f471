#include "components/addons/FormFill.h"
#include "components/addons/tests/RenderShots.h"

#include "platform/classes/TypInfo.h"
#include "platform/controls/StdButtons.h"
#include "platform/rtl/RandomGen.h"
#include "platform/rtl/SysUtils.h"
#include "platform/testing/AppTesting.h"
#include "platform/testing/WinTesting.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

TColor Rgb(TColor Color)
{
    return ColorToRGB(Color) & 0xFFFFFF;
}

const std::vector<std::string> AllFillTypes = {
    "Adobe",     "Alcatraz",     "ElPaso",    "Hanoi",     "Harvard",    "Holes",
    "Hollywood", "Honolulu",     "London",    "Manhattan", "Minsk",      "Orleans",
    "Oshawa",    "Philadelphia", "Pittsburg", "Sahara",    "Smithsonian"};

// A painter for the error cases: raises while told to, else fills the tile with red.
bool gPainterThrows = false;
int gPainterCalls = 0;
void TestPainter(TFormFill* F, int&)
{
    ++gPainterCalls;
    F->TileCanvas()->Brush()->SetColor(clRed);
    F->TileCanvas()->FillRect(Rect(0, 0, 30, 30));
    if (gPainterThrows)
        throw Exception("painter failed");
}

// Paints the control into a bitmap of its size filled with magenta first, clipped to the control
// as its parent would be.
std::unique_ptr<TBitmap> PaintAlone(TFormFill* F, int Width, int Height)
{
    auto B = std::make_unique<TBitmap>();
    B->SetSize(std::max(Width, 1), std::max(Height, 1));
    B->Canvas()->Brush()->SetColor(clFuchsia);
    B->Canvas()->FillRect(Rect(0, 0, B->Width(), B->Height()));
    HDC DC = B->Canvas()->Handle();
    const int Saved = SaveDC(DC);
    IntersectClipRect(DC, 0, 0, Width, Height);
    try {
        F->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    } catch (...) {
        RestoreDC(DC, Saved);
        throw;
    }
    RestoreDC(DC, Saved);
    return B;
}

bool SameImage(TBitmap* A, TBitmap* B)
{
    if (A->Width() != B->Width() || A->Height() != B->Height())
        return false;
    for (int Y = 0; Y < A->Height(); ++Y)
        for (int X = 0; X < A->Width(); ++X)
            if ((PixelAt(A, X, Y) & 0xFFFFFF) != (PixelAt(B, X, Y) & 0xFFFFFF))
                return false;
    return true;
}

class FormFillTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterFillTypes();
        RegisterFillType("ZzTestPainter", TestPainter);
        gPainterThrows = false;
        gPainterCalls = 0;
        Form = new TForm(nullptr);
        Form->SetBounds(100, 100, 300, 200);
        Form->Show();
        ProcessMessages();
    }
    void TearDown() override
    {
        if (Form) {
            Form->BeforeDestruction();
            delete Form;
        }
    }
    // A pattern control of W x H, not aligned, with a colour of its own.
    TFormFill* Loose(const std::string& FillType, int W, int H)
    {
        auto* F = new TFormFill(Form);
        F->SetAlign(alNone);
        F->SetBounds(0, 0, W, H);
        F->SetColor(clBtnFace);
        F->SetFillType(FillType);
        return F;
    }
    WNDPROC FormProc() { return reinterpret_cast<WNDPROC>(GetWindowLong(Form->Handle(), GWL_WNDPROC)); }
    TAppTest Fixture; // paint errors reach the application object, which shows them
    TForm* Form = nullptr;
};

} // namespace

TEST_F(FormFillTest, TheRegistryHoldsTheNamedPatternsSortedAndLooksUpWithoutCase)
{
    TStringList* L = FillTypeRegistry();
    ASSERT_NE(L, nullptr);
    std::vector<std::string> Names;
    for (int I = 0; I < L->Count(); ++I)
        if (L->Strings(I) != "ZzTestPainter")
            Names.push_back(L->Strings(I));
    EXPECT_EQ(Names, AllFillTypes);

    TFormFill* F = Loose("Adobe", 10, 10);
    auto* Fresh = new TFormFill(Form);
    EXPECT_EQ(Fresh->FillType(), "Adobe"); // index 0
    EXPECT_EQ(Fresh->Align(), alClient);
    EXPECT_TRUE(Fresh->ControlStyle.Contains(csOpaque));
    struct {
        const char* Set;
        const char* Expected;
    } Cases[] = {{"sahara", "Sahara"},
                 {"HOLES", "Holes"},
                 {"no such pattern", "Holes"},
                 {"", "Holes"},
                 {"elpaso", "ElPaso"}};
    for (const auto& C : Cases) {
        F->SetFillType(C.Set);
        EXPECT_EQ(F->FillType(), C.Expected) << C.Set;
    }
    // Registering again replaces the painter and adds no second entry.
    const int Count = L->Count();
    RegisterFillTypes();
    RegisterFillType("Nothing", nullptr);
    EXPECT_EQ(L->Count(), Count);
}

TEST_F(FormFillTest, HolesAtOneHundredAndFiftyDrawsOneHundredAndOneBeads)
{
    TFormFill* F = Loose("Holes", 150, 150);
    EXPECT_EQ(F->Density(), 100);
    const std::uint32_t Seed = 20261211;
    SetRandSeed(Seed);
    auto Image = PaintAlone(F, 150, 150);
    KeepShot(Image.get(), "fill-holes");
    const std::uint32_t After = RandSeed();

    // The same seed gives the bead positions, X drawn before Y.
    SetRandSeed(Seed);
    std::vector<TPoint> Beads;
    for (int I = 0; I < 200; ++I) {
        const int X = Random(150);
        const int Y = Random(150);
        Beads.push_back(Point(X, Y));
    }
    // Two draws per bead, nothing else.
    SetRandSeed(Seed);
    for (int I = 0; I < 202; ++I)
        Random(150);
    EXPECT_EQ(After, RandSeed());

    // The last bead lies on top: its 7 x 7 square is the bead's image (it must fit inside).
    const TPoint Last = Beads[100];
    ASSERT_LE(Last.x, 143);
    ASSERT_LE(Last.y, 143);
    TBitmap Bead;
    Bead.SetSize(7, 7);
    BitBlt(Bead.Canvas()->Handle(), 0, 0, 7, 7, Image->Canvas()->Handle(), Last.x, Last.y, SRCCOPY);
    EXPECT_EQ(PixelAt(&Bead, 2, 2) & 0xFFFFFF, Rgb(clBtnShadow));    // the hole
    EXPECT_EQ(PixelAt(&Bead, 0, 2) & 0xFFFFFF, Rgb(clBtnHighlight)); // its rim

    // Rebuilt from that image at the first N positions, only N = 101 gives the painting.
    auto Rebuilt = [&](int N) {
        auto B = std::make_unique<TBitmap>();
        B->SetSize(150, 150);
        B->Canvas()->Brush()->SetColor(clBtnFace);
        B->Canvas()->FillRect(Rect(0, 0, 150, 150));
        for (int I = 0; I < N; ++I)
            BitBlt(B->Canvas()->Handle(), Beads[I].x, Beads[I].y, 7, 7, Bead.Canvas()->Handle(), 0, 0,
                   SRCCOPY);
        return B;
    };
    EXPECT_TRUE(SameImage(Rebuilt(101).get(), Image.get()));
    EXPECT_FALSE(SameImage(Rebuilt(100).get(), Image.get()));
    EXPECT_FALSE(SameImage(Rebuilt(102).get(), Image.get()));
}

TEST_F(FormFillTest, EveryPatternDrawsItsOwnPictureOverTheWholeControl)
{
    std::vector<std::unique_ptr<TBitmap>> Images;
    for (const std::string& Name : AllFillTypes) {
        SCOPED_TRACE(Name);
        TFormFill* F = Loose(Name, 150, 120);
        ASSERT_EQ(F->FillType(), Name);
        SetRandSeed(5);
        Images.push_back(PaintAlone(F, 150, 120));
        KeepShot(Images.back().get(), "fill-" + Name);
        int Untouched = 0;
        for (int Y = 0; Y < 120; ++Y)
            for (int X = 0; X < 150; ++X)
                Untouched += (PixelAt(Images.back().get(), X, Y) & 0xFFFFFF) == Rgb(clFuchsia);
        EXPECT_EQ(Untouched, 0);
        // The same seed paints the same picture again.
        SetRandSeed(5);
        EXPECT_TRUE(SameImage(PaintAlone(F, 150, 120).get(), Images.back().get()));
        EXPECT_FALSE(F->TileOpen());
        delete F;
    }
    for (std::size_t A = 0; A < Images.size(); ++A)
        for (std::size_t B = A + 1; B < Images.size(); ++B)
            EXPECT_FALSE(SameImage(Images[A].get(), Images[B].get()))
                << AllFillTypes[A] << " " << AllFillTypes[B];
}

TEST_F(FormFillTest, ATilePatternRepeatsEveryThirtyPixels)
{
    TFormFill* F = Loose("Pittsburg", 100, 80);
    auto Image = PaintAlone(F, 100, 80);
    EXPECT_EQ(PixelAt(Image.get(), 10, 0) & 0xFFFFFF, Rgb(clBtnHighlight));
    EXPECT_EQ(PixelAt(Image.get(), 10, 29) & 0xFFFFFF, Rgb(clBtnShadow));
    EXPECT_EQ(PixelAt(Image.get(), 15, 15) & 0xFFFFFF, Rgb(clBtnFace));
    int Differing = 0;
    for (int Y = 0; Y < 80; ++Y)
        for (int X = 0; X + 30 < 100; ++X) {
            Differing += PixelAt(Image.get(), X, Y) != PixelAt(Image.get(), X + 30, Y);
            if (Y + 30 < 80)
                Differing += PixelAt(Image.get(), X, Y) != PixelAt(Image.get(), X, Y + 30);
        }
    EXPECT_EQ(Differing, 0);
}

TEST_F(FormFillTest, TinyControlsRaiseNothingAndDrawOnlyInside)
{
    const struct {
        int W, H;
    } Sizes[] = {{0, 0}, {150, 0}, {0, 150}, {1, 1}, {3, 3}, {7, 2}, {20, 3}};
    for (const std::string& Name : AllFillTypes)
        for (const auto& S : Sizes) {
            SCOPED_TRACE(testing::Message() << Name << " " << S.W << "x" << S.H);
            TFormFill* F = Loose(Name, S.W, S.H);
            std::unique_ptr<TBitmap> Image;
            ASSERT_NO_THROW(Image = PaintAlone(F, S.W, S.H));
            if (S.W == 0 || S.H == 0)
                EXPECT_EQ(PixelAt(Image.get(), 0, 0) & 0xFFFFFF, Rgb(clFuchsia));
            EXPECT_FALSE(F->TileOpen());
            delete F;
        }
}

TEST_F(FormFillTest, ASecondTileWhileOneIsOpenIsAnError)
{
    TFormFill* F = Loose("Holes", 30, 30);
    TBitmap B;
    B.SetSize(30, 30);
    F->Canvas()->SetHandle(B.Canvas()->Handle());
    F->BeginTile();
    try {
        F->BeginTile();
        ADD_FAILURE() << "no error";
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message(), "FillType was already started");
    }
    F->EndTile();
    EXPECT_FALSE(F->TileOpen());
    F->Canvas()->SetHandle(nullptr);
}

TEST_F(FormFillTest, APainterErrorRaisesOnceAndLaterPaintsWork)
{
    TFormFill* F = Loose("ZzTestPainter", 60, 60);
    gPainterThrows = true;
    try {
        PaintAlone(F, 60, 60);
        ADD_FAILURE() << "no error";
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message(), "painter failed"); // not "already started"
    }
    EXPECT_FALSE(F->TileOpen());
    gPainterThrows = false;
    auto Image = PaintAlone(F, 60, 60);
    EXPECT_EQ(PixelAt(Image.get(), 45, 45) & 0xFFFFFF, Rgb(clRed));

    // On a shown form: one error box for the failed paint, none for the paints after it (the
    // fixture fails on any box nobody expected).
    F->SetParent(Form);
    F->SetAlign(alClient);
    ProcessMessages();
    gPainterThrows = true;
    Fixture.Dialogs.ExpectMessageBox(IDOK, "painter failed");
    F->Invalidate();
    ProcessMessages();
    EXPECT_EQ(Fixture.Dialogs.Pending(), 0u);
    gPainterThrows = false;
    const int Calls = gPainterCalls;
    F->Invalidate();
    ProcessMessages();
    EXPECT_GT(gPainterCalls, Calls);
    EXPECT_EQ(PixelAt(RenderControl(Form).get(), 150, 100) & 0xFFFFFF, Rgb(clRed));
}

TEST_F(FormFillTest, OnlyTheFirstOfTwoFillsHooksTheParent)
{
    const WNDPROC Own = FormProc();
    auto* First = new TFormFill(Form);
    First->SetParent(Form);
    EXPECT_TRUE(First->HooksParent());
    EXPECT_NE(FormProc(), Own);
    const WNDPROC Hooked = FormProc();
    auto* Second = new TFormFill(Form);
    Second->SetParent(Form);
    EXPECT_FALSE(Second->HooksParent());
    EXPECT_EQ(FormProc(), Hooked);

    // Hooked: the background erase is answered and nothing is drawn while the fill is visible.
    TBitmap B;
    B.SetSize(20, 20);
    B.Canvas()->Brush()->SetColor(clFuchsia);
    B.Canvas()->FillRect(Rect(0, 0, 20, 20));
    EXPECT_EQ(SendMessage(Form->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(B.Canvas()->Handle()), 0),
              1);
    EXPECT_EQ(PixelAt(&B, 5, 5) & 0xFFFFFF, Rgb(clFuchsia));
    First->SetVisible(false);
    SendMessage(Form->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(B.Canvas()->Handle()), 0);
    EXPECT_EQ(PixelAt(&B, 5, 5) & 0xFFFFFF, Rgb(Form->Color()));
    First->SetVisible(true);

    // Removing the first puts the form's own procedure back; other messages went through.
    Form->SetCaption("still answered");
    EXPECT_EQ(GetWindowTextString(Form->Handle()), "still answered");
    delete First;
    EXPECT_EQ(FormProc(), Own);
    delete Second;
    EXPECT_EQ(FormProc(), Own);
}

TEST_F(FormFillTest, MovingToAnotherParentMovesTheHookAndFreeingTheFormIsClean)
{
    const WNDPROC Own = FormProc();
    auto* Fill = new TFormFill(Form);
    Fill->SetParent(Form);
    auto* Other = new TForm(nullptr);
    Other->SetBounds(50, 50, 100, 100);
    Other->Show();
    const WNDPROC OtherOwn = reinterpret_cast<WNDPROC>(GetWindowLong(Other->Handle(), GWL_WNDPROC));
    Fill->SetParent(Other);
    EXPECT_EQ(FormProc(), Own);
    EXPECT_NE(reinterpret_cast<WNDPROC>(GetWindowLong(Other->Handle(), GWL_WNDPROC)), OtherOwn);
    // The fill sits below a label already there.
    auto* Label = new TLabel(Other);
    Label->SetParent(Other);
    auto* Below = new TFormFill(Other);
    Below->SetParent(Other);
    EXPECT_EQ(Other->Controls(0), Below);
    // The form frees the fill (owned by the first form, parented by this one) along with it.
    Other->BeforeDestruction();
    delete Other;
    ProcessMessages();
}

TEST_F(FormFillTest, AFillComesFromAStoredFormAndPaintsItsPattern)
{
    const std::string Text = "object FillForm: TForm\n"
                             "  Left = 0\n  Top = 0\n  Width = 200\n  Height = 160\n"
                             "  object FormFill1: TFormFill\n"
                             "    FillType = 'Sahara'\n"
                             "  end\n"
                             "end\n";
    TForm* Read = CreateFormFromText<TForm>(nullptr, Text);
    auto* Fill = dynamic_cast<TFormFill*>(Read->FindComponent("FormFill1"));
    ASSERT_NE(Fill, nullptr);
    EXPECT_EQ(Fill->FillType(), "Sahara");
    EXPECT_TRUE(Fill->HooksParent());
    Read->Show();
    ProcessMessages();
    EXPECT_EQ(Fill->Width(), Read->ClientWidth());
    auto Image = RenderControl(Read);
    KeepShot(Image.get(), "fill-form-sahara");
    // Specks on the face colour: both edge colours appear.
    int Light = 0, Shadow = 0;
    for (int Y = 0; Y < Image->Height(); ++Y)
        for (int X = 0; X < Image->Width(); ++X) {
            const TColor C = PixelAt(Image.get(), X, Y) & 0xFFFFFF;
            Light += C == Rgb(clBtnHighlight);
            Shadow += C == Rgb(clBtnShadow);
        }
    EXPECT_GT(Light, 100);
    EXPECT_GT(Shadow, 100);
    Read->BeforeDestruction();
    delete Read;
}
