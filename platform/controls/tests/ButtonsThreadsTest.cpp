#include "platform/controls/Buttons.h"
#include "platform/controls/Forms.h"
#include "platform/controls/ScrollBox.h"
#include "platform/controls/TabNotBk.h"
#include "platform/controls/Threads.h"
#include "platform/rtl/SysUtils.h"
#include "platform/testing/FormTesting.h"
#include "platform/testing/WinTesting.h"

#include "platform/controls/tests/ControlsTestFixture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

using namespace testing_support;

namespace {

class ButtonsTest : public controls_testing::TBuiltFormTest {};

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

// ---- TSpeedButton -----------------------------------------------------------------------------

TEST_F(ButtonsTest, SpeedButtonStreamsWithItsGlyph)
{
    TBitmap Strip(32, 16); // two 16 x 16 images
    Strip.Canvas()->Brush()->SetColor(clFuchsia);
    Strip.Canvas()->FillRect(Rect(0, 0, 32, 16));
    std::string Bmp = Strip.SaveToBytes();
    std::string Size;
    for (int I = 0; I < 4; ++I)
        Size += static_cast<char>((Bmp.size() >> (8 * I)) & 0xFF);
    auto* F = CreateFormFromText<TForm>(nullptr, R"(object Dlg: TForm
  object Speed1: TSpeedButton
    Left = 4
    Top = 4
    Width = 60
    Height = 40
    Caption = 'Go'
    GroupIndex = 3
    Down = True
    AllowAllUp = True
    Flat = True
    Layout = blGlyphTop
    Spacing = 2
    Margin = 1
    Glyph.Data = {)" + Hex(Size + Bmp) + R"(}
  end
end
)");
    Extra.push_back(F);
    auto* B = dynamic_cast<TSpeedButton*>(F->FindComponent("Speed1"));
    ASSERT_NE(B, nullptr);
    EXPECT_EQ(B->Caption(), "Go");
    EXPECT_EQ(B->GroupIndex(), 3);
    EXPECT_TRUE(B->Down());
    EXPECT_TRUE(B->AllowAllUp());
    EXPECT_TRUE(B->Flat());
    EXPECT_EQ(B->Layout(), blGlyphTop);
    EXPECT_EQ(B->Spacing(), 2);
    EXPECT_EQ(B->Margin(), 1);
    EXPECT_EQ(B->Glyph()->Width(), 32);
    EXPECT_EQ(B->NumGlyphs(), 2); // from the strip's shape
}

TEST_F(ButtonsTest, SpeedButtonsOfAGroupLatchOneAtATime)
{
    auto* A = Add<TSpeedButton>("A", 10, 10, 23, 22);
    auto* B = Add<TSpeedButton>("B", 40, 10, 23, 22);
    auto* C = Add<TSpeedButton>("C", 70, 10, 23, 22);
    auto* Alone = Add<TSpeedButton>("Alone", 100, 10, 23, 22);
    std::vector<std::string> Log;
    for (TSpeedButton* S : {A, B, C, Alone}) {
        S->SetGroupIndex(S == Alone ? 0 : 1);
        std::string N = S->Name();
        S->OnClick = [&Log, N](TObject*) { Log.push_back(N); };
    }
    ProcessMessages();
    ClickControl(B, 5, 5);
    EXPECT_TRUE(B->Down());
    ClickControl(C, 5, 5);
    EXPECT_TRUE(C->Down());
    EXPECT_FALSE(B->Down());
    EXPECT_EQ(C->State(), bsExclusive);
    // Without AllowAllUp the down button stays down when clicked again.
    ClickControl(C, 5, 5);
    EXPECT_TRUE(C->Down());
    C->SetAllowAllUp(true); // shared by the group
    EXPECT_TRUE(A->AllowAllUp());
    ClickControl(C, 5, 5);
    EXPECT_FALSE(C->Down());
    EXPECT_EQ(Log, (std::vector<std::string>{"B", "C", "C", "C"}));
    // Down from code also releases the others; a button outside groups never stays down.
    A->SetDown(true);
    B->SetDown(true);
    EXPECT_FALSE(A->Down());
    Alone->SetDown(true);
    EXPECT_FALSE(Alone->Down());
    ClickControl(Alone, 5, 5);
    EXPECT_FALSE(Alone->Down());
    EXPECT_EQ(Alone->State(), bsUp);
}

TEST_F(ButtonsTest, SpeedButtonFaceAndGlyph)
{
    auto* S = Add<TSpeedButton>("S", 10, 10, 30, 30);
    TBitmap Glyph(8, 8);
    Glyph.Canvas()->Brush()->SetColor(clFuchsia); // the bottom-left colour: transparent
    Glyph.Canvas()->FillRect(Rect(0, 0, 8, 8));
    Glyph.Canvas()->Brush()->SetColor(clNavy);
    Glyph.Canvas()->FillRect(Rect(2, 2, 6, 6));
    S->SetGlyph(&Glyph);
    // Up: raised edges, the glyph centred at (11, 11).
    EXPECT_EQ(Pixel(S, 0, 0), ColorToRGB(cl3DLight));
    EXPECT_EQ(Pixel(S, 29, 29), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(Pixel(S, 15, 15), clNavy);
    EXPECT_EQ(Pixel(S, 11, 11), ColorToRGB(clBtnFace)); // transparent part of the glyph
    // Flat and not under the pointer: no frame at all.
    S->SetFlat(true);
    EXPECT_EQ(Pixel(S, 0, 0), ColorToRGB(clBtnFace));
    EXPECT_EQ(Pixel(S, 15, 15), clNavy);
}

TEST_F(ButtonsTest, FlatSpeedButtonShowsItsFrameUnderThePointer)
{
    auto* S = Add<TSpeedButton>("S", 10, 10, 30, 30);
    S->SetFlat(true);
    EXPECT_EQ(Pixel(S, 0, 0), ColorToRGB(clBtnFace));
    SendMouse(S, WM_MOUSEMOVE, 15, 15);
    EXPECT_TRUE(S->MouseInControl());
    EXPECT_EQ(Pixel(S, 0, 0), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(Pixel(S, 29, 29), ColorToRGB(clBtnShadow));
    SendMouse(S, WM_MOUSEMOVE, 200, 200);
    EXPECT_FALSE(S->MouseInControl());
    EXPECT_EQ(Pixel(S, 0, 0), ColorToRGB(clBtnFace));
    // Pressed: sunken.
    SendMouse(S, WM_MOUSEMOVE, 15, 15);
    SendMouse(S, WM_LBUTTONDOWN, 15, 15);
    EXPECT_EQ(S->State(), bsDown);
    EXPECT_EQ(Pixel(S, 0, 0), ColorToRGB(clBtnShadow));
    SendMouse(S, WM_LBUTTONUP, 15, 15);
    EXPECT_EQ(S->State(), bsUp);
}

TEST(GlyphLayoutTest, PlacesGlyphAndCaption)
{
    struct TCase {
        TButtonLayout Layout;
        int Margin, Spacing;
        TPoint Glyph;
        TRect Text;
    };
    // A 100 x 40 client, a 16 x 16 glyph, a 30 x 12 caption.
    const TCase Cases[] = {
        {blGlyphLeft, -1, 4, {25, 12}, {45, 14, 75, 26}}, {blGlyphRight, -1, 4, {59, 12}, {25, 14, 55, 26}},
        {blGlyphLeft, 2, 4, {2, 12}, {22, 14, 52, 26}},   {blGlyphTop, -1, 2, {42, 5}, {35, 23, 65, 35}},
        {blGlyphBottom, 3, 1, {42, 21}, {35, 8, 65, 20}}, {blGlyphLeft, -1, -1, {18, 12}, {52, 14, 82, 26}},
    };
    for (const auto& C : Cases) {
        TPoint G;
        TRect T;
        LayoutGlyphAndCaption(Rect(0, 0, 100, 40), TSize{16, 16}, TSize{30, 12}, C.Layout, C.Margin,
                              C.Spacing, G, T);
        SCOPED_TRACE(std::to_string(C.Layout) + " " + std::to_string(C.Margin) + " " +
                     std::to_string(C.Spacing));
        EXPECT_EQ(G.x, C.Glyph.x);
        EXPECT_EQ(G.y, C.Glyph.y);
        EXPECT_EQ(T, C.Text);
    }
}

// ---- TTabbedNotebook --------------------------------------------------------------------------

TEST_F(ButtonsTest, TabbedNotebookSwitchesPagesByItsTabs)
{
    auto* F = CreateFormFromText<TForm>(nullptr, R"(object Dlg: TForm
  ClientWidth = 320
  ClientHeight = 240
  object Tabs1: TTabbedNotebook
    Left = 0
    Top = 0
    Width = 300
    Height = 200
    PageIndex = 1
    TabFont.Color = clRed
    object TTabPage
      Caption = 'General'
    end
    object TTabPage
      Caption = 'Colours'
      object Inside: TTabbedNotebook
        Left = 0
        Top = 0
      end
    end
    object TTabPage
      Caption = 'Keys'
    end
  end
end
)");
    Extra.push_back(F);
    F->Show();
    ProcessMessages();
    auto* Tabs = dynamic_cast<TTabbedNotebook*>(F->FindComponent("Tabs1"));
    ASSERT_NE(Tabs, nullptr);
    ASSERT_EQ(Tabs->PageCount(), 3);
    EXPECT_EQ(Tabs->Pages()->Strings(2), "Keys");
    EXPECT_EQ(Tabs->PageIndex(), 1);
    EXPECT_EQ(Tabs->ActivePage(), "Colours");
    EXPECT_EQ(Tabs->TabFont()->Color(), clRed);
    EXPECT_TRUE(Tabs->Page(1)->Visible());
    // The page lies below the tabs.
    EXPECT_GT(Tabs->Page(1)->Top(), Tabs->TabRect(0).bottom - 3);
    EXPECT_EQ(Tabs->Page(1)->Left(), 4);

    std::vector<std::string> Log;
    bool Allow = true;
    Tabs->OnChange = [&](TObject*, int NewTab, bool& AllowChange) {
        Log.push_back("change " + std::to_string(NewTab));
        AllowChange = Allow;
    };
    Tabs->OnClick = [&](TObject*) { Log.push_back("click"); };
    TRect R = Tabs->TabRect(2);
    ClickControl(Tabs, (R.left + R.right) / 2, (R.top + R.bottom) / 2);
    EXPECT_EQ(Tabs->PageIndex(), 2);
    EXPECT_TRUE(Tabs->Page(2)->Visible());
    EXPECT_FALSE(Tabs->Page(1)->Visible());
    // A refused change keeps the page.
    Allow = false;
    R = Tabs->TabRect(0);
    ClickControl(Tabs, (R.left + R.right) / 2, (R.top + R.bottom) / 2);
    EXPECT_EQ(Tabs->PageIndex(), 2);
    EXPECT_EQ(Log, (std::vector<std::string>{"change 2", "click", "change 0"}));
    // Out of range is ignored.
    Tabs->SetPageIndex(9);
    Tabs->SetPageIndex(-2);
    EXPECT_EQ(Tabs->PageIndex(), 2);
    Tabs->SetActivePage("General");
    EXPECT_EQ(Tabs->PageIndex(), 0);
}

TEST_F(ButtonsTest, TabbedNotebookKeepsTheActiveRowNextToThePage)
{
    auto* Tabs = Add<TTabbedNotebook>("Rows", 10, 10, 300, 150);
    Tabs->Pages()->Clear();
    for (const char* Name : {"One", "Two", "Three", "Four", "Five"})
        Tabs->Pages()->Add(Name);
    Tabs->SetPageIndex(3);
    ProcessMessages();
    const int H = Tabs->TabRect(0).bottom - Tabs->TabRect(0).top; // an inactive tab's height
    ASSERT_GT(H, 0);
    for (int Active : {3, 0, 4, 1}) {
        SCOPED_TRACE(Active);
        Tabs->SetPageIndex(Active);
        ProcessMessages();
        const int ActiveRow = Active / 3;
        for (int I = 0; I < 5; ++I) {
            TRect R = Tabs->TabRect(I);
            if (I != Active)
                InflateRect(&R, 2, 2); // compare at the active tab's size
            // The active tab's row is the lower one, the other row above it.
            EXPECT_EQ(R.top, I / 3 == ActiveRow ? H : 0) << I; // two rows of three
            // Every tab can still be clicked where it shows.
            EXPECT_EQ(Tabs->TabAt((R.left + R.right) / 2, (R.top + R.bottom) / 2), I) << I;
        }
        // The page starts below both rows, whichever is active.
        EXPECT_GE(Tabs->Page(Active)->Top(), 2 + 2 * H);
    }
}

// ---- TScrollBox -------------------------------------------------------------------------------

TEST_F(ButtonsTest, ScrollBoxScrollsItsChildrenIntoView)
{
    auto* Box = Add<TScrollBox>("Box", 10, 10, 150, 100);
    Box->SetBorderStyle(bsNone);
    auto* Far = Add<TSpeedButton>("Far", 20, 300, 30, 50, Box);
    ProcessMessages();
    EXPECT_EQ(Box->VertRange(), 350);
    EXPECT_NE(GetWindowLong(Box->Handle(), GWL_STYLE) & WS_VSCROLL, 0);
    EXPECT_EQ(GetWindowLong(Box->Handle(), GWL_STYLE) & WS_HSCROLL, 0);
    Box->SetVertPosition(100);
    EXPECT_EQ(Far->Top(), 200);
    // Too far is kept at the end.
    Box->SetVertPosition(10000);
    EXPECT_EQ(Box->VertPosition(), 350 - Box->ClientHeight());
    Box->SetVertPosition(0);
    Box->ScrollInView(Far);
    EXPECT_EQ(Far->Top() + Far->Height(), Box->ClientHeight());
    // The window's own scroll bar arrives as WM_VSCROLL.
    int Before = Box->VertPosition();
    SendMessage(Box->Handle(), WM_VSCROLL, SB_LINEUP, 0);
    EXPECT_EQ(Box->VertPosition(), Before - Box->Increment);
    // Moving the child back in removes the need to scroll.
    Far->SetTop(10 - Box->VertPosition()); // 10 from the top of the contents
    ProcessMessages();
    EXPECT_EQ(Box->VertPosition(), 0);
    EXPECT_EQ(Far->Top(), 10);
    EXPECT_EQ(GetWindowLong(Box->Handle(), GWL_STYLE) & WS_VSCROLL, 0);
}

TEST_F(ButtonsTest, ScrollBoxStreamsWithItsChildren)
{
    auto* F = CreateFormFromText<TForm>(nullptr, R"(object Dlg: TForm
  ClientWidth = 320
  ClientHeight = 240
  object Box1: TScrollBox
    Left = 8
    Top = 8
    Width = 200
    Height = 120
    BorderStyle = bsNone
    object Low1: TSpeedButton
      Left = 10
      Top = 400
      Width = 40
      Height = 20
    end
  end
  object Box2: TScrollBox
    Left = 8
    Top = 140
    Width = 200
    Height = 80
    AutoScroll = False
    object Wide1: TSpeedButton
      Left = 500
      Top = 4
      Width = 40
      Height = 20
    end
  end
end
)");
    Extra.push_back(F);
    F->Show();
    ProcessMessages();
    auto* Box1 = dynamic_cast<TScrollBox*>(F->FindComponent("Box1"));
    auto* Box2 = dynamic_cast<TScrollBox*>(F->FindComponent("Box2"));
    auto* Low1 = dynamic_cast<TSpeedButton*>(F->FindComponent("Low1"));
    ASSERT_TRUE(Box1 && Box2 && Low1);
    EXPECT_EQ(Box1->BorderStyle(), bsNone);
    EXPECT_TRUE(Box1->AutoScroll());
    EXPECT_EQ(Low1->Parent(), Box1);
    EXPECT_EQ(Box1->VertRange(), 420);
    EXPECT_NE(GetWindowLong(Box1->Handle(), GWL_STYLE) & WS_VSCROLL, 0);
    Box1->ScrollInView(Low1);
    EXPECT_EQ(Low1->Top() + Low1->Height(), Box1->ClientHeight());
    // The default border is the sunken edge; without AutoScroll no bar appears.
    EXPECT_EQ(Box2->BorderStyle(), bsSingle);
    EXPECT_NE(GetWindowLong(Box2->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    EXPECT_FALSE(Box2->AutoScroll());
    EXPECT_EQ(GetWindowLong(Box2->Handle(), GWL_STYLE) & WS_HSCROLL, 0);
}

// ---- TThread ----------------------------------------------------------------------------------

// Pumps the UI thread's messages until Done or a few seconds passed.
template <class F> bool PumpUntil(F Done)
{
    auto Until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!Done()) {
        if (std::chrono::steady_clock::now() > Until)
            return false;
        ProcessPendingMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

class TRecordingThread : public TThread {
public:
    explicit TRecordingThread(bool Suspended) : TThread(Suspended) {}
    ~TRecordingThread() override { TerminateAndWait(); }
    std::atomic<bool> Ran{false};
    std::thread::id WorkerId, SyncId;
    std::atomic<int> Steps{0};
    bool SyncRaised = false;
    std::atomic<bool> Loop{false};
    std::atomic<bool>* Returned = nullptr; // set when Execute returns

protected:
    void Execute() override
    {
        WorkerId = std::this_thread::get_id();
        Ran = true;
        Synchronize([this] { SyncId = std::this_thread::get_id(); });
        try {
            Synchronize([] { throw Exception("from the UI thread"); });
        } catch (const Exception&) {
            SyncRaised = true;
        }
        while (Loop && !Terminated()) {
            ++Steps;
            Sleep(5);
        }
        ReturnValue = 42;
        if (Returned)
            *Returned = true;
    }
};

TEST(ThreadTest, SynchronizeRunsOnTheUserInterfaceThread)
{
    TWindowTest Fixture;
    auto* T = NewThread<TRecordingThread>(false);
    std::thread::id Terminated;
    T->OnTerminate = [&](TObject*) { Terminated = std::this_thread::get_id(); };
    EXPECT_EQ(T->WaitFor(), 42);
    EXPECT_TRUE(T->Ran.load());
    EXPECT_NE(T->WorkerId, std::this_thread::get_id());
    EXPECT_EQ(T->SyncId, std::this_thread::get_id());
    EXPECT_EQ(Terminated, std::this_thread::get_id());
    EXPECT_TRUE(T->SyncRaised);
    EXPECT_TRUE(TThread::IsMainThread());
    delete T;
}

TEST(ThreadTest, SynchronizedCallsArriveThroughTheMessageQueue)
{
    TWindowTest Fixture;
    auto* T = new TRecordingThread(true);
    EXPECT_TRUE(T->Suspended());
    // Suspended, it does not start even when the queue is handled.
    ProcessPendingMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(T->Ran.load());
    T->Resume();
    // The worker waits in Synchronize until the UI thread handles its messages.
    ASSERT_TRUE(PumpUntil([&] { return T->Finished(); }));
    EXPECT_EQ(T->SyncId, std::this_thread::get_id());
    delete T;
}

TEST(ThreadTest, TerminateEndsALoopAndFreeOnTerminateDeletesTheThread)
{
    TWindowTest Fixture;
    static std::atomic<int> Deleted{0};
    class TCounted : public TRecordingThread {
    public:
        TCounted() : TRecordingThread(false) { Loop = true; }
        ~TCounted() override { ++Deleted; }
    };
    Deleted = 0;
    auto* T = new TCounted(); // started by the queue once made
    ASSERT_TRUE(PumpUntil([&] { return T->Steps.load() > 2; }));
    // Suspended, the loop stops at its next pause.
    T->Suspend();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    int Paused = T->Steps.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_LE(T->Steps.load(), Paused + 1);
    T->Resume();
    ASSERT_TRUE(PumpUntil([&] { return T->Steps.load() > Paused + 2; }));
    T->FreeOnTerminate = true;
    T->Terminate();
    ASSERT_TRUE(PumpUntil([&] { return Deleted.load() == 1; }));
}

TEST(ThreadTest, AnExceptionLeavingExecuteEndsTheThread)
{
    TWindowTest Fixture;
    class TFailing : public TThread {
    public:
        TFailing() : TThread(true) {}
        ~TFailing() override { TerminateAndWait(); }

    protected:
        void Execute() override { throw EInvalidOperation("worker failed"); }
    };
    auto* T = new TFailing();
    EXPECT_EQ(T->WaitFor(), 0); // a suspended thread starts when waited for
    ASSERT_TRUE(T->FatalException());
    EXPECT_THROW(std::rethrow_exception(T->FatalException()), EInvalidOperation);
    delete T;
}

TEST(ThreadTest, DeletingARunningThreadStopsAndJoinsIt)
{
    TWindowTest Fixture;
    auto* T = NewThread<TRecordingThread>(false);
    std::atomic<bool> Returned{false};
    T->Returned = &Returned;
    T->Loop = true;
    ASSERT_TRUE(PumpUntil([&] { return T->Steps.load() > 0; }));
    delete T; // terminates, handles its synchronized calls meanwhile, joins
    EXPECT_TRUE(Returned.load());
}

} // namespace
