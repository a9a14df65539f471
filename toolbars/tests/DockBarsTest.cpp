#include "toolbars/DockBars.h"

#include "platform/controls/ExtCtrls.h"
#include "platform/rtl/SysUtils.h"
#include "platform/testing/AppTesting.h"
#include "platform/testing/WinTesting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

// A plain windowless child of a toolbar: the toolbar lays out any control by its size.
class TBox : public TGraphicControl {
public:
    TBox(TComponent* AOwner, int W, int H) : TGraphicControl(AOwner) { SetBounds(0, 0, W, H); }
};

RECT WorkRect()
{
    RECT R;
    SystemParametersInfo(SPI_GETWORKAREA, 0, &R, 0);
    return R;
}

// The bounding box of everything drawn on the desktop overlay (empty when nothing is).
RECT OverlayBox()
{
    TDibImage O = CaptureDesktopOverlay();
    RECT R{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (int Y = 0; Y < O.Height; ++Y)
        for (int X = 0; X < O.Width; ++X)
            if ((O.Pixel(X, Y) & 0xFFFFFF) != 0) {
                R.left = std::min<LONG>(R.left, X);
                R.top = std::min<LONG>(R.top, Y);
                R.right = std::max<LONG>(R.right, X + 1);
                R.bottom = std::max<LONG>(R.bottom, Y + 1);
            }
    return R.left == INT_MAX ? RECT{} : R;
}

RECT WindowRectOf(TWinControl* C)
{
    RECT R;
    GetWindowRect(C->Handle(), &R);
    return R;
}

// How a drag ends.
enum class TEnd { Release, Escape, SecondPress };

class DockTest : public ::testing::Test {
protected:
    DockTest()
    {
        Form = new TForm(nullptr);
        Form->SetName("Form");
        Form->SetBounds(50, 40, 700, 500);
    }
    ~DockTest() override
    {
        SetWaitHandler(nullptr);
        Form->BeforeDestruction();
        delete Form;
    }
    TDock* AddDock(TDockPosition Position, const std::string& Name)
    {
        auto* D = new TDock(Form);
        D->SetName(Name);
        D->SetPosition(Position);
        D->SetParent(Form);
        return D;
    }
    // A toolbar of Buttons 23 x 22 boxes (a separator after the indexes in Seps).
    TToolbar* AddBar(const std::string& Name, int Buttons, std::vector<int> Seps = {})
    {
        auto* B = new TToolbar(Form);
        B->SetName(Name);
        B->SetCaption(Name);
        for (int I = 0; I < Buttons; ++I) {
            (new TBox(Form, 23, 22))->SetParent(B);
            if (std::find(Seps.begin(), Seps.end(), I) != Seps.end())
                (new TToolbarSep(Form))->SetParent(B);
        }
        return B;
    }
    TToolbar* DockBar(TDock* Dock, const std::string& Name, int Row, int Pos, int Buttons)
    {
        TToolbar* B = AddBar(Name, Buttons);
        B->SetDockRow(Row);
        B->SetDockPos(Pos);
        B->SetDockedTo(Dock);
        return B;
    }
    void Show()
    {
        Form->Show();
        ProcessMessages();
    }
    // Presses at Start (client coordinates of Wnd), moves along Path and ends the loop as End
    // says; Look runs while the loop waits after the last move.
    void Drag(HWND Wnd, POINT Start, const std::vector<POINT>& Path, TEnd End,
              const std::function<void()>& Look = {})
    {
        AdvanceClock(1000); // not a double click with the press before
        SimulateMouse(Wnd, WM_LBUTTONDOWN, Start.x, Start.y);
        for (POINT P : Path)
            SimulateMouse(Wnd, WM_MOUSEMOVE, P.x, P.y);
        POINT Last = Path.empty() ? Start : Path.back();
        bool Done = false;
        SetWaitHandler([&] {
            if (Done)
                return false;
            Done = true;
            if (Look)
                Look();
            if (End == TEnd::Release)
                SimulateMouse(Wnd, WM_LBUTTONUP, Last.x, Last.y);
            else if (End == TEnd::Escape)
                SimulateKeyPress(VK_ESCAPE);
            else
                SimulateMouse(Wnd, WM_RBUTTONDOWN, Last.x, Last.y),
                    SimulateMouse(Wnd, WM_LBUTTONDOWN, Last.x, Last.y);
            return true;
        });
        ProcessMessages();
        SetWaitHandler(nullptr);
        ProcessMessages();
    }
    // The screen point of a client point of C.
    static POINT ScreenOf(TControl* C, int X, int Y)
    {
        TPoint P = C->ClientToScreen(TPoint{X, Y});
        return POINT{P.x, P.y};
    }
    static POINT ClientOf(TWinControl* C, POINT Screen)
    {
        ScreenToClient(C->Handle(), &Screen);
        return Screen;
    }

    TAppTest Fixture;
    TForm* Form = nullptr;
};

// ---- Rows ---------------------------------------------------------------------------------------

TEST_F(DockTest, RowsCloseUpAndTheDockTakesTheirThickness)
{
    TDock* Top = AddDock(dpTop, "Top");
    TToolbar* A = DockBar(Top, "A", 0, 0, 2);
    TToolbar* B = DockBar(Top, "B", 3, 0, 2);
    TToolbar* C = DockBar(Top, "C", 7, 0, 2);
    Show();
    EXPECT_EQ(A->DockRow(), 0);
    EXPECT_EQ(B->DockRow(), 1);
    EXPECT_EQ(C->DockRow(), 2);
    // 22-pixel buttons in a 2-pixel frame make 26-pixel rows.
    EXPECT_EQ(Top->Height(), 78);
    EXPECT_EQ(A->Top(), 0);
    EXPECT_EQ(B->Top(), 26);
    EXPECT_EQ(C->Top(), 52);
    EXPECT_EQ(A->Height(), 26);
    // Docked, a bar is its buttons' width plus frame and handle, and 22 high inside.
    EXPECT_EQ(A->ClientWidth(), 46);
    EXPECT_EQ(A->ClientHeight(), 22);
    EXPECT_EQ(A->Width(), 46 + 4 + 9);
}

TEST_F(DockTest, BottomAndRightDocksGrowAwayFromTheirEdge)
{
    TDock* Bottom = AddDock(dpBottom, "Bottom");
    TDock* Right = AddDock(dpRight, "Right");
    DockBar(Bottom, "A", 0, 0, 2);
    DockBar(Right, "V", 0, 0, 2);
    Show();
    const int BottomEdge = Bottom->Top() + Bottom->Height();
    const int RightEdge = Right->Left() + Right->Width();
    EXPECT_EQ(Bottom->Height(), 26);
    EXPECT_EQ(Right->Width(), 27); // the widest button is 23: row thickness 23 + 4
    DockBar(Bottom, "B", 1, 0, 2);
    DockBar(Right, "W", 1, 0, 2);
    ProcessMessages();
    EXPECT_EQ(Bottom->Height(), 52);
    EXPECT_EQ(Bottom->Top() + Bottom->Height(), BottomEdge);
    EXPECT_EQ(Right->Width(), 54);
    EXPECT_EQ(Right->Left() + Right->Width(), RightEdge);
}

TEST_F(DockTest, BarsOfARowNeverOverlapAndStayInsideTheDock)
{
    // Bars of one row are 59 wide (two buttons); the dock's client is the form's width.
    const struct {
        const char* Name;
        std::vector<int> Positions;
        std::vector<int> Lefts; // expected, given the client width W below
    } Cases[] = {
        {"overlapping positions are laid end to end in position order", {0, 30, 10}, {0, 118, 59}},
        {"gaps are kept", {0, 100, 300}, {0, 100, 300}},
        {"a row past the end moves back by the last bar's excess", {500, 560, 700}, {433, 493, 633}},
        {"but never before 0", {0, 300, 680}, {0, 253, 633}},
        {"nor over the bar in front", {0, 40, 680}, {0, 59, 633}},
    };
    TDock* Top = AddDock(dpTop, "Top");
    Show();
    ASSERT_EQ(Top->ClientWidth(), 692);
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        std::vector<TToolbar*> Bars;
        ++Top->ArrangeLock; // all bars in place before the dock lays them out
        for (std::size_t I = 0; I < Case.Positions.size(); ++I)
            Bars.push_back(DockBar(Top, "B" + std::to_string(I), 0, Case.Positions[I], 2));
        --Top->ArrangeLock;
        Top->LayoutBars();
        ProcessMessages();
        for (std::size_t I = 0; I < Bars.size(); ++I) {
            EXPECT_EQ(Bars[I]->Left(), Case.Lefts[I]) << I;
            EXPECT_EQ(Bars[I]->DockPos(), Case.Lefts[I]) << I;
        }
        for (TToolbar* B : Bars)
            delete B;
    }
}

TEST_F(DockTest, FullSizeBarTakesARowAloneAndOneRowLimitGathersAll)
{
    TDock* Top = AddDock(dpTop, "Top");
    TToolbar* A = DockBar(Top, "A", 0, 0, 2);
    TToolbar* F = DockBar(Top, "F", 0, 100, 2);
    TToolbar* C = DockBar(Top, "C", 1, 0, 2);
    F->SetFullSize(true);
    Show();
    // The full-size bar pushes the other bars of its row and the later rows down.
    EXPECT_EQ(A->DockRow(), 1);
    EXPECT_EQ(F->DockRow(), 0);
    EXPECT_EQ(C->DockRow(), 2);
    EXPECT_EQ(F->Left(), 0);
    EXPECT_EQ(F->Width(), Top->ClientWidth());

    F->SetFullSize(false);
    Top->LimitToOneRow = true;
    Top->LayoutBars();
    EXPECT_EQ(Top->HighestRow(), 0);
    EXPECT_EQ(Top->Height(), 26);
    std::vector<int> Lefts{A->Left(), F->Left(), C->Left()};
    std::sort(Lefts.begin(), Lefts.end());
    EXPECT_EQ(Lefts, (std::vector<int>{0, 59, 118}));
}

TEST_F(DockTest, EmptyDockIsNoneOrOnePixelThick)
{
    TDock* Top = AddDock(dpTop, "Top");
    Show();
    EXPECT_EQ(Top->Height(), 0);
    Top->SetFixAlign(true);
    EXPECT_EQ(Top->Height(), 1);
}

TEST_F(DockTest, DropPointsNearARowBoundaryOpenANewRow)
{
    TDock* Top = AddDock(dpTop, "Top");
    DockBar(Top, "A", 0, 0, 2);
    DockBar(Top, "B", 1, 0, 2);
    Show();
    // Two rows of 26: boundaries at 0, 26 and 52.
    const struct {
        int Pos;
        int Row;
        bool NewRow;
    } Cases[] = {{0, 0, true},  {5, 0, true},  {6, 0, false},  {21, 0, false},
                 {22, 1, true}, {31, 1, true}, {32, 1, false}, {47, 1, false},
                 {48, 2, true}, {57, 2, true}, {58, 2, false}, {500, 2, false}};
    for (const auto& C : Cases) {
        bool NewRow = !C.NewRow;
        EXPECT_EQ(Top->RowAtDropPoint(C.Pos, NewRow), C.Row) << C.Pos;
        EXPECT_EQ(NewRow, C.NewRow) << C.Pos;
    }
}

TEST_F(DockTest, MisplacedPartsRaiseTheirErrors)
{
    TDock* Top = AddDock(dpTop, "Top");
    TToolbar* A = DockBar(Top, "A", 0, 0, 1);
    auto* Plain = new TPanel(Form);
    Plain->SetParent(Form);
    auto* Other = new TForm(nullptr);
    const struct {
        const char* Message;
        std::function<void()> Do;
    } Cases[] = {
        {"TDock must be owned by a form", [&] { TDock D(Plain); }},
        {"A TDock control cannot be placed inside a tool window or another TDock",
         [&] { AddDock(dpTop, "Inner")->SetParent(A); }},
        {"A TDock control cannot be placed inside a tool window or another TDock",
         [&] { AddDock(dpTop, "Inner2")->SetParent(Top); }},
        {"Cannot change Position of a TDock if it already contains controls",
         [&] { Top->SetPosition(dpLeft); }},
        {"Cannot hide a TDock", [&] { Top->SetVisible(false); }},
        {"Tool windows must be owned by a form", [&] { TToolbar T(Plain); }},
        {"A tool window can only be placed on a TDock or directly on the form", [&] { A->SetParent(Plain); }},
        {"TToolbarSep can only be placed on a TToolbar", [&] { (new TToolbarSep(Form))->SetParent(Plain); }},
    };
    for (const auto& C : Cases) {
        try {
            C.Do();
            ADD_FAILURE() << "no error: " << C.Message;
        } catch (const EInvalidOperation& E) {
            EXPECT_EQ(std::string(E.what()), C.Message);
        }
    }
    // The failed calls left the bar and the dock as they were.
    EXPECT_EQ(A->Parent(), Top);
    EXPECT_EQ(A->DockedTo(), Top);
    EXPECT_EQ(Top->Position(), dpTop);
    EXPECT_TRUE(Top->Visible());
    Other->BeforeDestruction();
    delete Other;
}

// ---- Toolbar layout ------------------------------------------------------------------------

TEST_F(DockTest, FloatingToolbarWrapsAndSeparatorsBecomeGapLines)
{
    // Two groups of three 23-pixel buttons, split by a separator.
    TToolbar* T = AddBar("T", 6, {2});
    TToolbar* Empty = AddBar("Empty", 0);
    TToolbar* Blank = AddBar("Blank", 6, {2});
    dynamic_cast<TToolbarSep*>(Blank->ControlOrder()[3])->SetBlank(true);
    Show();
    // One row: 4 + buttons and separator + 4 across, 2 + 22 + 1 down.
    EXPECT_EQ(T->ClientWidth(), 4 + 6 * 23 + 6 + 4);
    EXPECT_EQ(T->ClientHeight(), 25);
    EXPECT_EQ(Empty->ClientWidth(), 16);
    EXPECT_EQ(Empty->ClientHeight(), 11);
    EXPECT_EQ(T->Width(), T->ClientWidth() + 2 * T->FrameX());
    EXPECT_EQ(T->Height(), T->ClientHeight() + 2 * T->FrameY() + TCustomToolWindow::CaptionHeight());

    // A limit that holds one group: the second group starts a row 22 + 6 lower and the
    // separator that closed the first row goes.
    for (TToolbar* B : {T, Blank}) {
        B->FloatRightX = 4 + 3 * 23 + 4;
        B->ArrangeControls();
    }
    EXPECT_EQ(T->ClientWidth(), 4 + 3 * 23 + 4);
    EXPECT_EQ(T->ClientHeight(), 2 + 22 + 6 + 22 + 1);
    auto* Sep = dynamic_cast<TToolbarSep*>(T->ControlOrder()[3]);
    ASSERT_TRUE(Sep);
    EXPECT_EQ(Sep->Width(), 0);
    ASSERT_EQ(T->GapLines().size(), 1u);
    EXPECT_EQ(T->GapLines()[0].Y, 2 + 22 + 6);
    EXPECT_EQ(T->ControlOrder()[4]->Left(), 4);
    EXPECT_EQ(T->ControlOrder()[4]->Top(), 30);
    // The etched line lies in the gap; a blank separator leaves the gap empty.
    ProcessMessages();
    TDibImage Shot = CaptureWindowImage(T->Handle(), true),
              BlankShot = CaptureWindowImage(Blank->Handle(), true);
    const COLORREF Shadow = GetSysColor(COLOR_BTNSHADOW);
    const std::uint32_t ShadowPixel =
        0xFF000000u | (GetRValue(Shadow) << 16) | (GetGValue(Shadow) << 8) | GetBValue(Shadow);
    EXPECT_EQ(Shot.Pixel(20, 30 - 4), ShadowPixel);
    EXPECT_NE(BlankShot.Pixel(20, 30 - 4), ShadowPixel);

    // A limit below the widest control + 8 acts as that width.
    T->FloatRightX = 5;
    T->ArrangeControls();
    EXPECT_EQ(T->ClientWidth(), 23 + 8);
    EXPECT_EQ(T->ControlOrder()[1]->Top(), T->ControlOrder()[0]->Top() + 22);
}

TEST_F(DockTest, DockedToolbarsNeverWrapAndStackInAVerticalDock)
{
    TDock* Left = AddDock(dpLeft, "Left");
    TToolbar* V = AddBar("V", 3, {0});
    V->FloatRightX = 30; // ignored while docked
    auto* Narrow = dynamic_cast<TBox*>(V->ControlOrder()[2]);
    Narrow->SetWidth(15);
    V->SetDockedTo(Left);
    TDock* Top = AddDock(dpTop, "Top");
    TToolbar* Empty = AddBar("E", 0);
    Empty->SetDockedTo(Top);
    Show();
    // Buttons stack downward under a 9-pixel handle, centred across the row.
    EXPECT_EQ(V->ClientWidth(), 23);
    EXPECT_EQ(V->ClientHeight(), 22 + 6 + 22 + 22);
    TControl* First = V->ControlOrder()[0];
    auto* Sep = dynamic_cast<TToolbarSep*>(V->ControlOrder()[1]);
    ASSERT_TRUE(Sep);
    EXPECT_EQ(First->Top(), 0);
    EXPECT_EQ(Sep->Top(), 22);
    EXPECT_EQ(Sep->Height(), 6);
    EXPECT_EQ(Sep->Width(), 23);
    EXPECT_EQ(Narrow->Left(), (23 - 15) / 2);
    EXPECT_EQ(Narrow->Top(), 22 + 6);
    // An empty docked toolbar is 8 long and as thick as its row.
    EXPECT_EQ(Empty->ClientWidth(), 8);
    EXPECT_EQ(Empty->ClientHeight(), 8);
}

// ---- Drag loop -----------------------------------------------------------------------------------

TEST_F(DockTest, ReleaseOverNothingFloatsWhereTheOutlineWas)
{
    TDock* Top = AddDock(dpTop, "Top");
    TToolbar* A = DockBar(Top, "A", 0, 0, 3);
    Show();
    ASSERT_TRUE(A->Docked());
    RECT Outline{};
    // From the drag handle to the middle of the form, well away from the dock.
    Drag(A->Handle(), POINT{-5, 10}, {POINT{200, 200}, POINT{250, 240}}, TEnd::Release,
         [&] { Outline = OverlayBox(); });
    ASSERT_FALSE(A->Docked());
    EXPECT_EQ(A->Parent(), A->FloatParent());
    RECT W = WindowRectOf(A);
    EXPECT_EQ(W, Outline);
    EXPECT_EQ(A->FloatPosition, (TPoint{Outline.left, Outline.top}));
    EXPECT_EQ(A->ClientHeight(), 25);
    EXPECT_TRUE(IsWindowVisible(A->Handle()));
    // The outline is gone from the desktop once the loop ends.
    EXPECT_EQ(OverlayBox(), RECT{});
    EXPECT_EQ(Top->Height(), 0);
}

TEST_F(DockTest, CtrlHeldOverADockFloats)
{
    TDock* Top = AddDock(dpTop, "Top");
    TToolbar* A = DockBar(Top, "A", 0, 0, 3);
    DockBar(Top, "B", 0, 200, 3);
    Show();
    SimulateKey(WM_KEYDOWN, VK_CONTROL);
    Drag(A->Handle(), POINT{-5, 10}, {POINT{100, 12}}, TEnd::Release);
    SimulateKey(WM_KEYUP, VK_CONTROL);
    ProcessMessages();
    EXPECT_FALSE(A->Docked());
    EXPECT_EQ(Top->DockedBars().size(), 1u);
}

TEST_F(DockTest, DropNearARowBoundaryOpensANewRow)
{
    TDock* Top = AddDock(dpTop, "Top");
    TToolbar* A = DockBar(Top, "A", 0, 0, 3);
    TToolbar* B = DockBar(Top, "B", 0, 200, 3);
    Show();
    // B's handle pressed at its vertical middle; released with the outline centred on the
    // dock's lower edge: a new row 1 below A's.
    const int Mid = B->Height() / 2 - 2;
    POINT To = ClientOf(B, ScreenOf(Top, 300, 26));
    Drag(B->Handle(), POINT{-5, Mid}, {POINT{To.x + 1, To.y}, To}, TEnd::Release);
    EXPECT_EQ(B->DockedTo(), Top);
    EXPECT_EQ(A->DockRow(), 0);
    EXPECT_EQ(B->DockRow(), 1);
    EXPECT_EQ(Top->Height(), 52);
    EXPECT_EQ(B->Top(), 26);

    // Dropped within 5 pixels of the dock's top edge: a new row 0 in front of A's.
    To = ClientOf(B, ScreenOf(Top, 100, 2));
    Drag(B->Handle(), POINT{-5, Mid}, {POINT{To.x + 1, To.y}, To}, TEnd::Release);
    EXPECT_EQ(B->DockRow(), 0);
    EXPECT_EQ(A->DockRow(), 1);
    EXPECT_EQ(B->Top(), 0);
    EXPECT_EQ(A->Top(), 26);
}

TEST_F(DockTest, FullSizeBarDroppedOnAnOccupiedRowGetsARowBelowIt)
{
    TDock* Top = AddDock(dpTop, "Top");
    TToolbar* A = DockBar(Top, "A", 0, 0, 3);
    TToolbar* B = DockBar(Top, "B", 1, 0, 3);
    TToolbar* F = AddBar("F", 3);
    F->SetFullSize(true);
    F->FloatPosition = TPoint{200, 300};
    F->SetDockedTo(nullptr);
    Show();
    ASSERT_FALSE(F->Docked());
    // Released with the outline centred in row 0 (not near a boundary).
    POINT To = ClientOf(F, ScreenOf(Top, 300, 13));
    Drag(F->Handle(), POINT{10, -7}, {POINT{To.x + 1, To.y}, To}, TEnd::Release);
    ASSERT_EQ(F->DockedTo(), Top);
    EXPECT_EQ(A->DockRow(), 0);
    EXPECT_EQ(F->DockRow(), 1);
    EXPECT_EQ(B->DockRow(), 2);
    EXPECT_EQ(F->Top(), 26);
    EXPECT_EQ(F->Width(), Top->ClientWidth());
}

TEST_F(DockTest, EscapeOrASecondPressCancelsAndChangesNothing)
{
    TDock* Top = AddDock(dpTop, "Top");
    TToolbar* A = DockBar(Top, "A", 0, 0, 3);
    TToolbar* B = DockBar(Top, "B", 0, 200, 3);
    Show();
    const TRect Before = B->BoundsRect();
    for (TEnd End : {TEnd::Escape, TEnd::SecondPress}) {
        Drag(B->Handle(), POINT{-5, 10}, {POINT{100, 300}, POINT{120, 320}}, End);
        EXPECT_EQ(B->DockedTo(), Top);
        EXPECT_EQ(B->BoundsRect(), Before);
        EXPECT_EQ(B->DockRow(), 0);
        EXPECT_EQ(A->Left(), 0);
        EXPECT_EQ(GetCapture(), nullptr);
        EXPECT_EQ(OverlayBox(), RECT{});
    }
}

TEST_F(DockTest, OutlineDraggedOffTheScreenKeepsItsFrameOnTheWorkArea)
{
    TToolbar* A = AddBar("A", 3);
    A->FloatPosition = TPoint{300, 300};
    A->SetDockedTo(nullptr);
    Show();
    const RECT WA = WorkRect();
    const int Fx = A->FrameX(), Fy = A->FrameY(), C = TCustomToolWindow::CaptionHeight();
    for (POINT Far : {POINT{-3000, -3000}, POINT{5000, 5000}, POINT{-3000, 5000}}) {
        RECT Outline{};
        POINT To = ClientOf(A, Far);
        Drag(A->Handle(), POINT{10, -7}, {To}, TEnd::Release, [&] { Outline = OverlayBox(); });
        RECT W = WindowRectOf(A);
        EXPECT_EQ(W.left, A->FloatPosition.x);
        EXPECT_GE(W.right, WA.left + Fx + 4);
        EXPECT_LE(W.left, WA.right - (Fx + 4));
        EXPECT_GE(W.bottom, WA.top + Fy + 4);
        EXPECT_LE(W.top, WA.bottom - (Fy + 4));
        EXPECT_GE(W.top, WA.top + 4 - Fy - C);
    }
}

TEST_F(DockTest, DoubleClickFloatsAndDocksIntoTheDefaultDock)
{
    TDock* Top = AddDock(dpTop, "Top");
    TToolbar* A = DockBar(Top, "A", 0, 0, 3);
    TToolbar* B = DockBar(Top, "B", 0, 100, 3);
    Show();
    SimulateMouse(B->Handle(), WM_LBUTTONDOWN, -5, 10);
    SimulateMouse(B->Handle(), WM_LBUTTONUP, -5, 10);
    SimulateMouse(B->Handle(), WM_LBUTTONDBLCLK, -5, 10);
    SimulateMouse(B->Handle(), WM_LBUTTONUP, -5, 10);
    ProcessMessages();
    ASSERT_FALSE(B->Docked());
    // Without a default dock a double click on the floating bar leaves it floating.
    SimulateMouse(B->Handle(), WM_LBUTTONDBLCLK, 10, -7);
    SimulateMouse(B->Handle(), WM_LBUTTONUP, 10, -7);
    ProcessMessages();
    EXPECT_FALSE(B->Docked());
    B->SetDefaultDock(Top);
    SimulateMouse(B->Handle(), WM_LBUTTONDBLCLK, 10, -7);
    SimulateMouse(B->Handle(), WM_LBUTTONUP, 10, -7);
    ProcessMessages();
    ASSERT_EQ(B->DockedTo(), Top);
    EXPECT_EQ(B->DockRow(), 0);
    EXPECT_EQ(B->Left(), 0);
    EXPECT_EQ(A->Left(), B->Width());
}

// ---- Size and close loops ---------------------------------------------------------------------

TEST_F(DockTest, SizingAToolbarSnapsToWrappedLayouts)
{
    TToolbar* T = AddBar("T", 6);
    T->FloatPosition = TPoint{200, 200};
    T->SetDockedTo(nullptr);
    Show();
    const int Full = T->Width(), Fx = T->FrameX();
    RECT W = WindowRectOf(T);
    // The right border, dragged left by 30: the next narrower layout that fits, two rows of
    // three buttons (a wrap limit of 4 + 69 + 4 gives the same height as 4 + 115 + 4 would not).
    const int Y = (W.bottom - W.top) / 2;
    POINT Edge = ClientOf(T, POINT{W.right - 1, W.top + Y});
    Drag(T->Handle(), Edge, {POINT{Edge.x - 30, Edge.y}}, TEnd::Release);
    EXPECT_LT(T->Width(), Full);
    EXPECT_EQ(T->FloatRightX, T->Width() - 2 * Fx);
    EXPECT_EQ(T->ClientWidth(), T->FloatRightX);
    EXPECT_EQ(T->ClientHeight(), 2 + 22 + 22 + 1);
    EXPECT_EQ(T->ControlOrder()[5]->Top(), 2 + 22);

    // Dragged far to the left: the narrowest layout, one button a row, never smaller.
    W = WindowRectOf(T);
    Edge = ClientOf(T, POINT{W.right - 1, W.top + 20});
    Drag(T->Handle(), Edge, {POINT{Edge.x - 400, Edge.y}}, TEnd::Release);
    EXPECT_EQ(T->ClientWidth(), 4 + 23 + 4);
    EXPECT_EQ(T->ClientHeight(), 2 + 6 * 22 + 1);

    // Escape leaves the size as it was.
    const TRect Before = T->BoundsRect();
    W = WindowRectOf(T);
    Edge = ClientOf(T, POINT{W.right - 1, W.top + 20});
    Drag(T->Handle(), Edge, {POINT{Edge.x + 300, Edge.y}}, TEnd::Escape);
    EXPECT_EQ(T->BoundsRect(), Before);
}

TEST_F(DockTest, ToolWindowSizesByItsBordersDownToItsMinimum)
{
    auto* W = new TToolWindow(Form);
    W->SetName("W");
    W->SetCaption("Tool");
    W->FloatPosition = TPoint{300, 200};
    W->SetDockedTo(nullptr);
    W->SetClientWidth(120);
    W->SetClientHeight(90);
    Show();
    const int NcW = W->Width() - W->ClientWidth(), NcH = W->Height() - W->ClientHeight();
    RECT R = WindowRectOf(W);
    // The bottom-right corner dragged far up and left stops at the minimum client size.
    POINT Corner = ClientOf(W, POINT{R.right - 1, R.bottom - 1});
    Drag(W->Handle(), Corner, {POINT{Corner.x - 500, Corner.y - 500}}, TEnd::Release);
    EXPECT_EQ(W->Width(), W->MinClientWidth + NcW);
    EXPECT_EQ(W->Height(), W->MinClientHeight + NcH);
    EXPECT_EQ(W->ClientWidth(), 32);
    // The left border dragged out: the right edge stays.
    R = WindowRectOf(W);
    POINT Left = ClientOf(W, POINT{R.left, (R.top + R.bottom) / 2});
    Drag(W->Handle(), Left, {POINT{Left.x - 50, Left.y}}, TEnd::Release);
    RECT After = WindowRectOf(W);
    EXPECT_EQ(After.right, R.right);
    EXPECT_EQ(W->ClientWidth(), 32 + 50);
}

TEST_F(DockTest, CloseButtonHidesOnlyWhenReleasedOverIt)
{
    TToolbar* T = AddBar("T", 3);
    T->FloatPosition = TPoint{200, 200};
    T->SetDockedTo(nullptr);
    int Closed = 0;
    T->OnClose = [&](TObject*) { ++Closed; };
    Show();
    TRect B = T->CloseButtonRect();
    RECT W = WindowRectOf(T);
    POINT In = ClientOf(T, POINT{W.left + (B.left + B.right) / 2, W.top + (B.top + B.bottom) / 2});
    bool PushedWhileHeld = false;
    Drag(T->Handle(), In, {POINT{In.x - 60, In.y + 40}}, TEnd::Release);
    EXPECT_TRUE(T->Visible());
    EXPECT_EQ(Closed, 0);
    Drag(T->Handle(), In, {POINT{In.x + 1, In.y}}, TEnd::Release,
         [&] { PushedWhileHeld = T->CloseButtonDown(); });
    EXPECT_TRUE(PushedWhileHeld);
    EXPECT_FALSE(T->Visible());
    EXPECT_FALSE(T->CloseButtonDown());
    EXPECT_EQ(Closed, 1);
}

TEST_F(DockTest, FloatingFrameAnswersItsZones)
{
    TToolbar* T = AddBar("T", 3);
    T->FloatPosition = TPoint{200, 200};
    T->SetDockedTo(nullptr);
    auto* W = new TToolWindow(Form);
    W->FloatPosition = TPoint{500, 200};
    W->SetDockedTo(nullptr);
    W->SetClientWidth(100);
    W->SetClientHeight(80);
    Show();
    auto Hit = [](TWinControl* C, int X, int Y) {
        RECT R = WindowRectOf(C);
        return static_cast<int>(SendMessage(C->Handle(), WM_NCHITTEST, 0, MAKELPARAM(R.left + X, R.top + Y)));
    };
    const int Tw = T->Width(), Th = T->Height(), Ww = W->Width(), Wh = W->Height();
    const struct {
        TWinControl* C;
        int X, Y;
        int Expected;
    } Cases[] = {
        {T, 1, Th / 2, HTLEFT},     {T, Tw - 1, Th / 2, HTRIGHT},
        {T, 1, 1, HTTOP},           {T, Tw - 1, Th - 1, HTBOTTOM},
        {T, 10, 10, HTCLIENT},      {T, Tw / 2, Th - 8, HTCLIENT},
        {W, 1, 1, HTTOPLEFT},       {W, Ww - 1, Wh - 1, HTBOTTOMRIGHT},
        {W, 1, Wh / 2, HTLEFT},     {W, Ww / 2, Wh - 1, HTBOTTOM},
        {W, Ww - 1, 8, HTTOPRIGHT}, {W, Ww - 4 - 7, 4 + 7, HTCLOSE},
    };
    for (const auto& Case : Cases)
        EXPECT_EQ(Hit(Case.C, Case.X, Case.Y), Case.Expected)
            << Case.C->Name() << " " << Case.X << "," << Case.Y;
    // Without sizing borders the frame answers no sizing code.
    W->SetResizable(false);
    EXPECT_EQ(Hit(W, 1, W->Height() / 2), HTNOWHERE);
}

// ---- Activation ----------------------------------------------------------------------------------

TEST_F(DockTest, FloatingWindowsHideWhileTheProgramIsInactive)
{
    TDock* Top = AddDock(dpTop, "Top");
    TToolbar* Docked = DockBar(Top, "D", 0, 0, 2);
    TToolbar* Hides = AddBar("H", 2);
    Hides->FloatPosition = TPoint{200, 300};
    Hides->SetDockedTo(nullptr);
    TToolbar* Stays = AddBar("S", 2);
    Stays->HideWhenInactive = false;
    Stays->FloatPosition = TPoint{400, 300};
    Stays->SetDockedTo(nullptr);
    Show();
    SetApplicationActive(true);
    ProcessMessages();
    ASSERT_TRUE(IsWindowVisible(Hides->Handle()));
    SetApplicationActive(false);
    ProcessMessages();
    EXPECT_FALSE(IsWindowVisible(Hides->Handle()));
    EXPECT_TRUE(Hides->Visible());
    EXPECT_TRUE(IsWindowVisible(Docked->Handle()));
    // Kept up, its caption shows the program is inactive.
    EXPECT_TRUE(IsWindowVisible(Stays->Handle()));
    EXPECT_TRUE(Stays->CaptionInactive());
    SetApplicationActive(true);
    ProcessMessages();
    EXPECT_TRUE(IsWindowVisible(Hides->Handle()));
    EXPECT_FALSE(Stays->CaptionInactive());
    // Minimising the form takes them away too.
    ShowWindow(Form->Handle(), SW_MINIMIZE);
    ProcessMessages();
    EXPECT_FALSE(IsWindowVisible(Stays->Handle()));
    ShowWindow(Form->Handle(), SW_RESTORE);
    ProcessMessages();
    EXPECT_TRUE(IsWindowVisible(Stays->Handle()));
}

} // namespace
