#include "components/addons/ClipView.h"
#include "components/addons/AdHelpersVcl.h"

#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "platform/controls/StdEdit.h"
#include "platform/graphics/ImageCodecs.h"
#include "platform/testing/FormTesting.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

HPALETTE MakePalette(int Count)
{
    std::vector<char> Buffer(sizeof(LOGPALETTE) + std::size_t(Count) * sizeof(PALETTEENTRY), 0);
    auto* Log = reinterpret_cast<LOGPALETTE*>(Buffer.data());
    Log->palVersion = 0x300;
    Log->palNumEntries = static_cast<WORD>(Count);
    for (int I = 0; I < Count; ++I)
        Log->palPalEntry[I] = PALETTEENTRY{BYTE(I * 15), BYTE(255 - I * 15), BYTE(I * 7), 0};
    return CreatePalette(Log);
}

void PutPalette(int Count)
{
    Clipboard()->Open();
    Clipboard()->Clear();
    SetClipboardData(CF_PALETTE, MakePalette(Count));
    Clipboard()->Close();
}

void PutBitmap(int W, int H, TColor Colour)
{
    TBitmap B;
    B.SetSize(W, H);
    B.Canvas()->Brush()->SetColor(Colour);
    B.Canvas()->FillRect(Rect(0, 0, W, H));
    Clipboard()->Assign(&B);
}

// A viewer window outside the component that records the chain messages and passes them on.
struct TOtherViewer {
    HWND Wnd = nullptr;
    HWND Next = nullptr;
    int Draws = 0;
    TOtherViewer()
    {
        Wnd = AllocateHWnd([this](TMessage& M) {
            if (M.Msg == WM_DRAWCLIPBOARD) {
                ++Draws;
                if (Next)
                    SendMessage(Next, M.Msg, M.WParam, M.LParam);
            } else if (M.Msg == WM_CHANGECBCHAIN) {
                if (reinterpret_cast<HWND>(M.WParam) == Next)
                    Next = reinterpret_cast<HWND>(M.LParam);
                else if (Next)
                    SendMessage(Next, M.Msg, M.WParam, M.LParam);
            }
            M.Result = DefWindowProc(Wnd, M.Msg, M.WParam, M.LParam);
        });
        Next = SetClipboardViewer(Wnd);
    }
    ~TOtherViewer()
    {
        ChangeClipboardChain(Wnd, Next);
        DeallocateHWnd(Wnd);
    }
};

class ClipViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!IconClipboardFormat)
            RegisterIconClipboardFormat();
        Clipboard()->Clear();
        Form = new TForm(nullptr);
        Form->SetBounds(100, 100, 300, 240);
        Viewer = new TClipboardViewer(Form);
        Viewer->SetBorderStyle(bsNone);
        Viewer->SetBounds(0, 0, 200, 150);
        Viewer->SetParent(Form);
        Viewer->OnChange = [this](TObject*) { ++Changes; };
        Form->Show();
        ProcessMessages();
    }
    void TearDown() override
    {
        Form->BeforeDestruction();
        delete Form;
    }
    template <typename T> T* ViewAs() { return dynamic_cast<T*>(Viewer->View()); }
    TWindowTest Fixture;
    TForm* Form = nullptr;
    TClipboardViewer* Viewer = nullptr;
    int Changes = 0;
};

} // namespace

TEST_F(ClipViewTest, AnEmptiedClipboardLeavesNoChild)
{
    Clipboard()->SetAsText("something");
    ASSERT_NE(Viewer->View(), nullptr);
    Changes = 0;
    Clipboard()->Clear();
    EXPECT_EQ(Viewer->View(), nullptr);
    EXPECT_EQ(Viewer->ControlCount(), 0);
    EXPECT_EQ(Viewer->ViewFormat(), cvEmpty);
    EXPECT_EQ(Changes, 1);
    // The next copy shows again and leaves the empty state.
    Clipboard()->SetAsText("back");
    EXPECT_EQ(Viewer->ViewFormat(), cvDefault);
    ASSERT_NE(ViewAs<TMemo>(), nullptr);
}

TEST_F(ClipViewTest, TextShowsReadOnlyWithBothScrollBars)
{
    Clipboard()->SetAsText("first line\r\nsecond line");
    auto* Memo = ViewAs<TMemo>();
    ASSERT_NE(Memo, nullptr);
    EXPECT_EQ(Viewer->ControlCount(), 1);
    EXPECT_EQ(Memo->Text(), "first line\r\nsecond line");
    EXPECT_TRUE(Memo->ReadOnly());
    EXPECT_EQ(Memo->ScrollBars(), ssBoth);
    EXPECT_EQ(Memo->Align(), alClient);
    EXPECT_EQ(Memo->Width(), Viewer->ClientWidth());
    // Rendered: dark text on the window colour near the top left.
    auto Image = RenderControl(Viewer);
    bool Ink = false;
    for (int Y = 0; Y < 14 && !Ink; ++Y)
        for (int X = 0; X < 60 && !Ink; ++X)
            Ink = (PixelAt(Image.get(), X, Y) & 0xFFFFFF) == 0;
    EXPECT_TRUE(Ink);
}

TEST_F(ClipViewTest, OemTextShowsInTheTerminalFont)
{
    Clipboard()->SetAsText("C:\\>dir");
    Viewer->SetViewFormat(cvOemText);
    EXPECT_EQ(Viewer->ViewFormat(), cvOemText);
    auto* Memo = ViewAs<TMemo>();
    ASSERT_NE(Memo, nullptr);
    EXPECT_EQ(Memo->Font()->Name(), "Terminal");
    EXPECT_FALSE(Memo->ParentFont());
    EXPECT_EQ(Memo->Lines()->Strings(0), "C:\\>dir");
}

TEST_F(ClipViewTest, ABitmapShowsCentredInAPicture)
{
    PutBitmap(40, 30, clRed);
    auto* Image = ViewAs<TImage>();
    ASSERT_NE(Image, nullptr);
    EXPECT_EQ(Viewer->ViewFormat(), cvDefault);
    EXPECT_EQ(Image->Width(), 40);
    EXPECT_EQ(Image->Height(), 30);
    EXPECT_EQ(Image->Left(), (200 - 40) / 2);
    EXPECT_EQ(Image->Top(), (150 - 30) / 2);
    auto Shot = RenderControl(Viewer);
    EXPECT_EQ(PixelAt(Shot.get(), 100, 75) & 0xFFFFFF, TColor(clRed));
    EXPECT_EQ(PixelAt(Shot.get(), 5, 5) & 0xFFFFFF, ColorToRGB(clWindow) & 0xFFFFFF);
    // A larger viewer centres it again.
    Viewer->SetBounds(0, 0, 280, 200);
    EXPECT_EQ(Image->Left(), (280 - 40) / 2);
    EXPECT_EQ(Image->Top(), (200 - 30) / 2);
}

TEST_F(ClipViewTest, APaletteOfSixteenFillsANineByTwoGrid)
{
    PutPalette(16);
    auto* Grid = ViewAs<TPaletteGrid>();
    ASSERT_NE(Grid, nullptr);
    ASSERT_EQ(Grid->ClientWidth(), 200);
    EXPECT_EQ(Grid->EntryCount(), 16);
    EXPECT_EQ(Grid->ColCount(), 9); // (200 - 16) div 20
    EXPECT_EQ(Grid->RowCount(), 2);
    EXPECT_EQ(Grid->CellColor(0, 0), RGB(0, 255, 0));
    EXPECT_EQ(Grid->CellColor(6, 1), RGB(15 * 15, 255 - 15 * 15, 15 * 7)); // entry 15
    EXPECT_EQ(Grid->CellColor(7, 1), NoTransparentColor);                  // entry 16
    EXPECT_EQ(Grid->CellColor(8, 1), NoTransparentColor);                  // entry 17

    // Cells with an entry can be chosen; the two without cannot, and (0, 0) always can.
    Grid->SetCol(3);
    Grid->SetRow(1);
    EXPECT_EQ(Grid->Col(), 3);
    Grid->SetCol(7);
    EXPECT_EQ(Grid->Col(), 3);
    Grid->SetCol(8);
    EXPECT_EQ(Grid->Col(), 3);

    // Rendered: the middle of a cell holds its entry's colour, a cell without one the grid colour.
    auto Shot = RenderControl(Grid);
    EXPECT_EQ(PixelAt(Shot.get(), 2 * 20 + 10, 10) & 0xFFFFFF, Grid->CellColor(2, 0));
    EXPECT_EQ(PixelAt(Shot.get(), 5 * 20 + 10, 20 + 10) & 0xFFFFFF, Grid->CellColor(5, 1));
    EXPECT_EQ(PixelAt(Shot.get(), 7 * 20 + 10, 20 + 10) & 0xFFFFFF, ColorToRGB(Grid->Color()) & 0xFFFFFF);
    // A narrower grid reflows.
    Viewer->SetBounds(0, 0, 116, 150);
    EXPECT_EQ(Grid->ColCount(), 5);
    EXPECT_EQ(Grid->RowCount(), 4);
}

TEST_F(ClipViewTest, APaletteGridKeepsItsOwnCopy)
{
    TPaletteGrid Grid(nullptr);
    HPALETTE P = MakePalette(256);
    Grid.SetPalette(P);
    DeleteObject(P);
    EXPECT_EQ(Grid.EntryCount(), 256);
    ASSERT_NE(Grid.GetPalette(), nullptr);
    EXPECT_NE(Grid.GetPalette(), P);
    Grid.SetPalette(nullptr);
    EXPECT_EQ(Grid.EntryCount(), 0);
    EXPECT_EQ(Grid.GetPalette(), nullptr);
    EXPECT_EQ(Grid.CellColor(0, 0), NoTransparentColor);
}

TEST_F(ClipViewTest, ChoosingAFormatTheClipboardLacksFallsBackAtOnce)
{
    Clipboard()->SetAsText("only text");
    struct {
        TClipboardViewFormat Set, Stored;
    } const Cases[] = {
        {cvBitmap, cvDefault},  {cvPalette, cvDefault}, {cvEmpty, cvDefault},
        {cvUnknown, cvDefault}, {cvText, cvText},       {cvOemText, cvOemText},
    };
    for (const auto& C : Cases) {
        Viewer->SetViewFormat(C.Set);
        EXPECT_EQ(Viewer->ViewFormat(), C.Stored) << int(C.Set);
        auto* Memo = ViewAs<TMemo>();
        ASSERT_NE(Memo, nullptr) << int(C.Set);
        EXPECT_EQ(Memo->Lines()->Strings(0), "only text");
        Viewer->SetViewFormat(cvDefault);
    }
}

TEST_F(ClipViewTest, AChosenFormatGoneFromTheClipboardFallsBack)
{
    PutBitmap(8, 8, clBlue);
    Viewer->SetViewFormat(cvBitmap);
    EXPECT_EQ(Viewer->ViewFormat(), cvBitmap);
    Clipboard()->SetAsText("now text");
    EXPECT_EQ(Viewer->ViewFormat(), cvDefault);
    EXPECT_NE(ViewAs<TMemo>(), nullptr);
}

TEST_F(ClipViewTest, AnUnknownFormatIsNamedAsSuch)
{
    Clipboard()->SetAsBytes(static_cast<WORD>(RegisterClipboardFormat("Some Private Data")), "xyz");
    auto* Memo = ViewAs<TMemo>();
    ASSERT_NE(Memo, nullptr);
    EXPECT_EQ(Memo->Lines()->Strings(0), "Cannot display. Data in Clipboard is in an unknown format.");
    EXPECT_TRUE(Memo->ReadOnly());
}

TEST_F(ClipViewTest, AnIconShowsItsPicture)
{
    TIconImage Face;
    Face.Image.Width = Face.Image.Height = 32;
    Face.Image.Pixels.assign(32 * 32, 0xFF00FF00);
    Face.Mask.assign(32 * 32, 0);
    TIcon Source;
    Source.SetImage(Face);
    Clipboard()->SetAsBytes(static_cast<WORD>(IconClipboardFormat), Source.SaveToBytes());
    std::unique_ptr<TIcon> Read(IconFromClipboard());
    ASSERT_NE(Read, nullptr);
    EXPECT_EQ(Read->Width(), 32);
    auto* Image = ViewAs<TImage>();
    ASSERT_NE(Image, nullptr);
    EXPECT_EQ(Image->Width(), 32);
    auto Shot = RenderControl(Viewer);
    EXPECT_EQ(PixelAt(Shot.get(), 100, 75) & 0xFFFFFF, TColor(clLime));
    // Without icon data nothing is read.
    Clipboard()->SetAsText("no icon");
    EXPECT_EQ(IconFromClipboard(), nullptr);
}

TEST_F(ClipViewTest, ACopiedControlShowsCentredAndStaysCentred)
{
    TForm Source(nullptr);
    auto* Button = new TButton(&Source);
    Button->SetName("Copied");
    Button->SetBounds(5, 5, 60, 24);
    Button->SetCaption("Press");
    Clipboard()->SetComponent(Button);
    auto* Shown = ViewAs<TButton>();
    ASSERT_NE(Shown, nullptr);
    EXPECT_EQ(Shown->Caption(), "Press");
    EXPECT_EQ(Shown->Parent(), Viewer);
    EXPECT_EQ(Shown->Left(), (200 - 60) / 2);
    EXPECT_EQ(Shown->Top(), (150 - 24) / 2);
    Viewer->SetBounds(0, 0, 260, 190);
    EXPECT_EQ(Shown->Left(), (260 - 60) / 2);
    EXPECT_EQ(Shown->Top(), (190 - 24) / 2);
    // Not a control: its stored form as text.
    TComponent Plain(nullptr);
    auto* Timer = new TTimer(&Plain);
    Timer->SetName("Ticker");
    Timer->SetInterval(250);
    Clipboard()->SetComponent(Timer);
    auto* Memo = ViewAs<TMemo>();
    ASSERT_NE(Memo, nullptr);
    EXPECT_EQ(Memo->Lines()->Strings(0), "object Ticker: TTimer");
    EXPECT_NE(Memo->Lines()->Text().find("Interval = 250"), std::string::npos);
    EXPECT_EQ(Viewer->ControlCount(), 1);
}

TEST_F(ClipViewTest, AChangeByAnotherProgramReachesTheViewer)
{
    Clipboard()->SetAsText("ours");
    Changes = 0;
    SetClipboardTextFromOutside("from another program");
    EXPECT_EQ(Changes, 1);
    auto* Memo = ViewAs<TMemo>();
    ASSERT_NE(Memo, nullptr);
    EXPECT_EQ(Memo->Lines()->Strings(0), "from another program");
}

TEST_F(ClipViewTest, ARecreatedViewerRejoinsWithTheChainIntact)
{
    TOtherViewer Before; // joins after the viewer: first in the chain, passing on to it
    Viewer->RecreateWnd();
    ProcessMessages();
    TOtherViewer After;
    Changes = 0;
    Before.Draws = After.Draws = 0;
    Clipboard()->SetAsText("everyone hears");
    EXPECT_EQ(After.Draws, 1);
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(Before.Draws, 1);
    // Leaving takes the viewer out without cutting the others off.
    Viewer->SetParent(nullptr);
    delete Viewer;
    Before.Draws = After.Draws = 0;
    Clipboard()->SetAsText("the rest still hear");
    EXPECT_EQ(After.Draws, 1);
    EXPECT_EQ(Before.Draws, 1);
}
