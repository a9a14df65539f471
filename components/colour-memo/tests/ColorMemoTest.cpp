// The memo on a real window: what ends up on the pixels after loading, scrolling and typing, the
// scan range, the hot spot under the mouse and the memo's published properties.
#include "RulesHost.h"

#include "components/colour-memo/ColMemo.h"
#include "platform/classes/TypInfo.h"
#include "platform/controls/Forms.h"
#include "platform/testing/FormTesting.h"
#include "platform/testing/WinTesting.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

// A form description holding one colour memo named main, with the rules of a fixture.
std::string MemoForm(const std::string& Fixture, const std::string& MemoProps)
{
    std::string Rules = RulesFixture(Fixture);
    const std::size_t FirstLineEnd = Rules.find('\n');
    const std::size_t Last = Rules.rfind("end");
    std::string Body = Rules.substr(FirstLineEnd + 1, Last - FirstLineEnd - 1);
    return "object Form1: TForm\n"
           "  Left = 40\n  Top = 40\n  Width = 420\n  Height = 320\n"
           "  object main: TColorMemo\n"
           "    Left = 0\n    Top = 0\n    Width = 400\n    Height = 200\n"
           "    WordWrap = False\n" +
           MemoProps + Body + "  end\nend\n";
}

class ColorMemo : public testing::Test {
protected:
    TWindowTest Fixture;
    TForm* Form = nullptr;
    TColorMemo* Memo = nullptr;

    void TearDown() override
    {
        if (Form) {
            Form->BeforeDestruction();
            delete Form;
        }
    }
    void Load(const std::string& Fixture_, const std::string& Props = "")
    {
        Form = CreateFormFromText<TForm>(nullptr, MemoForm(Fixture_, Props));
        Memo = dynamic_cast<TColorMemo*>(Form->FindComponent("main"));
        ASSERT_NE(Memo, nullptr);
        Form->Show();
        ProcessMessages();
    }
    void MainPane(const std::string& Props = "")
    {
        Load("MainPaneRules.form", Props);
        SetFont(-16, false);
    }
    void ScriptEditor()
    {
        Load("ScriptEditorRules.form");
        SetFont(-13, true);
    }
    // A fixed-pitch font (set in code: the font's own properties are the graphics area's to
    // publish).
    void SetFont(int Height, bool Bold)
    {
        Memo->Font()->SetName("Courier New");
        Memo->Font()->SetHeight(Height);
        Memo->Font()->SetStyle(Bold ? TFontStyles{fsBold} : TFontStyles{});
        ProcessMessages();
    }
    void SetText(const std::string& Text)
    {
        Memo->SetText(Text);
        ProcessMessages();
    }
    LRESULT Send(UINT Msg, WPARAM W = 0, LPARAM L = 0) { return SendMessage(Memo->Handle(), Msg, W, L); }
    int LineIndex(int Line) { return static_cast<int>(Send(EM_LINEINDEX, static_cast<WPARAM>(Line))); }
    TPoint PosOf(int Index)
    {
        const LRESULT R = Send(EM_POSFROMCHAR, static_cast<WPARAM>(Index));
        return TPoint{static_cast<SmallInt>(LOWORD(R)), static_cast<SmallInt>(HIWORD(R))};
    }
    int LineHeight()
    {
        TControlCanvas C;
        C.SetControl(Memo);
        C.SetFont(Memo->Font());
        return C.TextHeight("Wg");
    }
    // Pixels near Color inside the boxes of characters [From, To] (one line).
    int CountNear(const TDibImage& I, int From, int To, TColor Color)
    {
        const TPoint A = PosOf(From);
        const TPoint B = PosOf(To + 1);
        const int H = LineHeight();
        const int R = Color & 0xFF, G = (Color >> 8) & 0xFF, Bl = (Color >> 16) & 0xFF;
        int N = 0;
        for (int Y = std::max(A.y, 0); Y < std::min(A.y + H, I.Height); ++Y)
            for (int X = std::max(A.x, 0); X < std::min(B.x, I.Width); ++X) {
                const std::uint32_t P = I.Pixels[static_cast<std::size_t>(Y * I.Width + X)];
                const int PR = (P >> 16) & 0xFF, PG = (P >> 8) & 0xFF, PB = P & 0xFF;
                if (std::abs(PR - R) + std::abs(PG - G) + std::abs(PB - Bl) < 90)
                    ++N;
            }
        return N;
    }
    TDibImage Capture() { return CaptureWindowImage(Memo->Handle(), true); }
};

TEST_F(ColorMemo, MainPaneColoursAfterLoad)
{
    MainPane();
    EXPECT_TRUE(Memo->ColoringAvailable());
    ASSERT_EQ(Memo->ColorRules()->Count(), 5);
    //                0         1         2
    //                0123456789012345678901234567
    SetText("<font COLOR=x>a = b\r\n<!-- a > b -->\r\nTABLE &nbsp; x=y");
    TDibImage I = Capture();
    EXPECT_GT(CountNear(I, 1, 4, clBlue), 5); // font: the tag
    EXPECT_EQ(CountNear(I, 1, 4, clRed), 0);
    EXPECT_GT(CountNear(I, 6, 10, clRed), 5);  // COLOR over the tag's blue
    EXPECT_GT(CountNear(I, 16, 16, clRed), 2); // "=" between blanks
    EXPECT_EQ(CountNear(I, 14, 14, clRed), 0); // plain text stays the control's
    const int L1 = LineIndex(1);
    EXPECT_GT(CountNear(I, L1 + 1, L1 + 5, clBlue), 5);  // "<!-- a >" is a tag to the rule after it
    EXPECT_GT(CountNear(I, L1 + 9, L1 + 13, clGray), 3); // " b -->" stays the comment's
    const int L2 = LineIndex(2);
    EXPECT_GT(CountNear(I, L2, L2 + 4, clMaroon), 5);
    EXPECT_GT(CountNear(I, L2 + 6, L2 + 10, clGreen), 5);
    EXPECT_EQ(CountNear(I, L2 + 14, L2 + 14, clRed), 0); // "x=y": a letter before "="
    EXPECT_GT(Memo->PassCount(), 0);
}

TEST_F(ColorMemo, NoRulesAndInactiveHotSpotNeverColours)
{
    Form = CreateFormFromText<TForm>(nullptr, "object Form1: TForm\n  Width = 300\n  Height = 200\n"
                                              "  object todo: TColorMemo\n    Width = 250\n    Height = 150\n"
                                              "    ScrollBars = ssBoth\n    WordWrap = False\n  end\nend\n");
    Memo = dynamic_cast<TColorMemo*>(Form->FindComponent("todo"));
    ASSERT_NE(Memo, nullptr);
    Form->Show();
    SetText("<b> = TABLE");
    Memo->PaintColoredText(false);
    ProcessMessages();
    EXPECT_EQ(Memo->PassCount(), 0);
}

TEST_F(ColorMemo, PartlyVisibleLastLineAndCommentsEndingBelowAreNotColoured)
{
    MainPane();
    const int H = LineHeight();
    Memo->SetClientHeight(3 * H + H / 2);
    SetText("a = b\r\n<!-- open\r\nc = d\r\ne = f\r\nstill -->");
    TDibImage I = Capture();
    EXPECT_GT(CountNear(I, 2, 2, clRed), 2);
    // The comment (and the tag rule's "<") end on line 4, below the window: not coloured.
    EXPECT_EQ(CountNear(I, LineIndex(1) + 1, LineIndex(1) + 8, clGray), 0);
    EXPECT_EQ(CountNear(I, LineIndex(1) + 1, LineIndex(1) + 8, clBlue), 0);
    EXPECT_GT(CountNear(I, LineIndex(2) + 2, LineIndex(2) + 2, clRed), 2);
    // Line 3 shows only in part: the scan stops before it.
    EXPECT_EQ(Memo->LastScanEnd(), LineIndex(3));
    EXPECT_EQ(CountNear(I, LineIndex(3) + 2, LineIndex(3) + 2, clRed), 0);

    // All of it in the window: the tag rule now runs from "<!--" to the end of "-->".
    Memo->SetClientHeight(7 * H);
    ProcessMessages();
    I = Capture();
    EXPECT_GT(CountNear(I, LineIndex(1) + 5, LineIndex(1) + 8, clBlue), 3);
    EXPECT_GT(CountNear(I, LineIndex(3) + 2, LineIndex(3) + 2, clBlue), 2);
    EXPECT_EQ(CountNear(I, LineIndex(3) + 2, LineIndex(3) + 2, clRed), 0);
}

TEST_F(ColorMemo, FirstPassMeasuresLinesInTheMemosFont)
{
    // A large font and a last line cut by a few pixels: measured in the canvas's previous
    // (small) font, the cut line would count as visible.
    Form = CreateFormFromText<TForm>(nullptr, MemoForm("MainPaneRules.form", ""));
    Memo = dynamic_cast<TColorMemo*>(Form->FindComponent("main"));
    ASSERT_NE(Memo, nullptr);
    Memo->Font()->SetName("Courier New");
    Memo->Font()->SetHeight(-30);
    Memo->SetText("a = b\r\nc = d\r\ne = f\r\ng = h");
    const int H = LineHeight();
    ASSERT_GT(H, 25);
    Memo->SetClientHeight(4 * H - 3);
    Form->Show();
    ProcessMessages();
    ASSERT_GE(Memo->PassCount(), 1);
    EXPECT_EQ(Memo->LastScanEnd(), LineIndex(3));
    EXPECT_EQ(CountNear(Capture(), LineIndex(3) + 2, LineIndex(3) + 2, clRed), 0);
}

TEST_F(ColorMemo, ScrollingRecoloursAndFiresTheEvent)
{
    MainPane();
    std::string T;
    for (int i = 0; i < 60; ++i)
        T += "x = TABLE " + std::to_string(i) + "\r\n";
    SetText(T);
    const int VisibleBefore = Memo->ClientHeight() / LineHeight();
    int VScrolls = 0;
    int PassesAtEvent = -1;
    Memo->OnVScroll = [&](TObject* Sender) {
        EXPECT_EQ(Sender, Memo);
        ++VScrolls;
        PassesAtEvent = Memo->PassCount();
    };
    for (int i = 0; i < 2; ++i)
        Send(WM_VSCROLL, SB_PAGEDOWN, 0);
    ProcessMessages();
    EXPECT_EQ(VScrolls, 2);
    const int First = static_cast<int>(Send(EM_GETFIRSTVISIBLELINE));
    ASSERT_GT(First, VisibleBefore);
    EXPECT_GT(Memo->PassCount(), PassesAtEvent); // recoloured after the event
    EXPECT_EQ(Memo->LastScanStart(), LineIndex(First));
    TDibImage I = Capture();
    const int L = LineIndex(First + 1); // a line that was not in the window before
    EXPECT_GT(CountNear(I, L + 2, L + 2, clRed), 2);
    EXPECT_GT(CountNear(I, L + 4, L + 8, clMaroon), 5);
}

TEST_F(ColorMemo, KeyMaxHeightLooksBackAndBelowOneCountsAsOne)
{
    MainPane();
    std::string T = "<!-- one\r\ntwo\r\nthree -->\r\nx = y\r\n";
    for (int i = 0; i < 30; ++i)
        T += "filler\r\n";
    SetText(T);
    Send(EM_LINESCROLL, 0, 1);
    ProcessMessages();
    ASSERT_EQ(Send(EM_GETFIRSTVISIBLELINE), 1);
    TDibImage I = Capture();
    EXPECT_EQ(Memo->LastScanStart(), LineIndex(1));
    EXPECT_EQ(CountNear(I, LineIndex(1), LineIndex(1) + 2, clBlue), 0); // the begin is out of reach

    Memo->ColorRules()->Items(0)->KeyMaxHeight = 3;
    Memo->Invalidate();
    ProcessMessages();
    I = Capture();
    EXPECT_EQ(Memo->LastScanStart(), 0);
    // The tag rule's "<" of "<!--" reaches its ">" now: the visible lines are blue.
    EXPECT_GT(CountNear(I, LineIndex(1), LineIndex(1) + 2, clBlue), 3);
    EXPECT_GT(CountNear(I, LineIndex(2), LineIndex(2) + 4, clBlue), 3);

    for (int Height : {0, -4}) {
        Memo->ColorRules()->Items(0)->KeyMaxHeight = Height;
        Memo->Invalidate();
        ProcessMessages();
        I = Capture();
        EXPECT_EQ(Memo->LastScanStart(), LineIndex(1)) << Height; // not after the first visible line
        EXPECT_GT(CountNear(I, LineIndex(3) + 2, LineIndex(3) + 2, clRed), 2) << Height;
    }
}

TEST_F(ColorMemo, TypingColoursTheNewTokenWithACaretLinePass)
{
    MainPane();
    SetText("first line\r\nx");
    Memo->SetFocus();
    Memo->SetSelStart(static_cast<int>(Memo->Text().size()));
    ProcessMessages();
    PressKey(VK_SPACE, " ");
    PressKey(VK_OEM_PLUS, "=");
    ProcessMessages();
    EXPECT_EQ(Memo->Text(), "first line\r\nx =");
    // The last pass covered the caret line alone.
    EXPECT_EQ(Memo->LastScanStart(), LineIndex(1));
    EXPECT_EQ(Memo->LastScanEnd(), static_cast<int>(Memo->Text().size()));
    TDibImage I = Capture();
    EXPECT_GT(CountNear(I, LineIndex(1) + 2, LineIndex(1) + 2, clRed), 2);

    // A new line changes the line count: a full pass.
    PressKey(VK_RETURN, "\r");
    ProcessMessages();
    EXPECT_EQ(Memo->LastScanStart(), 0);
    PressKey('T', "T");
    ProcessMessages();
    EXPECT_EQ(Memo->LastScanStart(), LineIndex(2));
}

TEST_F(ColorMemo, SelectionKeepsTheHighlightAndArrowKeysCollapseIt)
{
    MainPane();
    SetText("x = TABLE y");
    Memo->SetFocus();
    Memo->SetSelStart(4);
    Memo->SetSelLength(5);
    ProcessMessages();
    TDibImage I = Capture();
    EXPECT_EQ(CountNear(I, 4, 8, clMaroon), 0);
    EXPECT_GT(CountNear(I, 4, 8, ColorToRGB(clHighlight)), 20);
    EXPECT_GT(CountNear(I, 2, 2, clRed), 2);

    PressKey(VK_LEFT);
    ProcessMessages();
    EXPECT_EQ(Memo->SelLength(), 0);
    EXPECT_GE(Memo->SelStart(), 8); // collapsed to the end, then moved by the key
    I = Capture();
    EXPECT_GT(CountNear(I, 4, 8, clMaroon), 5);
}

TEST_F(ColorMemo, HotSpotCursorAndClick)
{
    InitColMemoCursor();
    ScriptEditor();
    EXPECT_TRUE(Memo->HotSpot()->Active);
    ASSERT_EQ(Memo->ColorRules()->Count(), 9);
    SetText("see \x1E"
            "file.htm\x1F now");
    TDibImage I = Capture();
    EXPECT_GT(CountNear(I, 5, 12, 0xFF0000), 10); // hot-spot text in HotSpot.Color
    // The markers are hidden: their cells are all in the marker colour (the window's white).
    EXPECT_EQ(CountNear(I, 4, 4, clBlack), 0);
    EXPECT_EQ(CountNear(I, 13, 13, clBlack), 0);
    EXPECT_GT(CountNear(I, 4, 4, clWhite), 10);
    std::vector<std::string> Clicks;
    Memo->OnHotSpotClick = [&](TObject* Sender, const std::string& SRC) {
        EXPECT_EQ(Sender, Memo);
        Clicks.push_back(SRC);
    };
    const TPoint P = PosOf(7);
    const int H = LineHeight();
    SendMouse(Memo, WM_MOUSEMOVE, P.x + 2, P.y + H / 2);
    EXPECT_EQ(Memo->Cursor(), crColMemoHotSpot);
    ClickControl(Memo, P.x + 2, P.y + H / 2);
    ProcessMessages();
    ASSERT_EQ(Clicks.size(), 1u);
    EXPECT_EQ(Clicks[0], "file.htm");

    const TPoint Q = PosOf(1);
    SendMouse(Memo, WM_MOUSEMOVE, Q.x + 2, Q.y + H / 2);
    EXPECT_EQ(Memo->Cursor(), Form->Cursor());
    ClickControl(Memo, Q.x + 2, Q.y + H / 2);
    EXPECT_EQ(Clicks.size(), 1u);
}

TEST_F(ColorMemo, ScriptEditorRules)
{
    ScriptEditor();
    //       0         1         2         3
    //       0123456789012345678901234567890123456
    SetText("function f() { if (a == b) alert(x) }\r\n// note\r\n<a href=x>");
    TDibImage I = Capture();
    EXPECT_GT(CountNear(I, 0, 7, clGreen), 10);
    EXPECT_GT(CountNear(I, 15, 16, clAqua), 3);
    EXPECT_GT(CountNear(I, 21, 22, clRed), 3);
    const int L2 = LineIndex(2);
    EXPECT_GT(CountNear(I, L2, L2 + 1, clBlue), 2);
    EXPECT_GT(CountNear(I, L2 + 3, L2 + 6, clPurple), 5); // href over the tag: later rule
}

TEST_F(ColorMemo, EventRulesAndKeyDrawing)
{
    MainPane("    ColorLimMax = 2\n");
    EXPECT_EQ(Memo->ColorLimMax(), 2);
    TColorRule* Event = Memo->ColorRules()->Add();
    Event->KeyDrawingType = dtEventDraw;
    Event->ZOrder = 3;
    TObject* Sender = nullptr;
    Memo->OnDraw = [&](TObject* S, const char* FromPos, std::span<TKeyDescr> A, int& ItemsCount) {
        Sender = S;
        const char* Hit = std::strstr(FromPos, "zz");
        if (!Hit)
            return;
        const int Offset = static_cast<int>(Hit - FromPos);
        A[0] = {Offset, Offset + 1, clFuchsia, 0, 0};
        ItemsCount = 1;
    };
    std::vector<std::string> Keys;
    Memo->OnDrawKey = [&](TCanvas* Canvas, const std::string& PKey, TRect R, TColor KColor) {
        Keys.push_back(PKey);
        EXPECT_EQ(KColor, Memo->Font()->Color());
        EXPECT_GT(R.right, R.left);
        EXPECT_GT(R.bottom, R.top);
        Canvas->TextOut(R.left, R.top, PKey);
    };
    SetText("ab zz = TABLE");
    Keys.clear();
    Memo->Invalidate();
    ProcessMessages();
    TDibImage I = Capture();
    EXPECT_EQ(Sender, Event);
    EXPECT_GT(CountNear(I, 3, 4, clFuchsia), 5);
    EXPECT_EQ(Keys, (std::vector<std::string>{"=", "TABLE"}));
    EXPECT_GT(CountNear(I, 8, 12, clMaroon), 5); // the handler drew in the run's colour

    Memo->SetColorLimMax(-3); // no array: the event is not called
    Sender = nullptr;
    Memo->Invalidate();
    ProcessMessages();
    EXPECT_EQ(Memo->ColorLimMax(), 0);
    EXPECT_EQ(Sender, nullptr);
}

TEST_F(ColorMemo, PublishedPropertiesAndAssigningRules)
{
    Load("MainPaneRules.form",
         "    RedrawAlways = True\n    HotSpot.Active = True\n    HotSpot.BeginChar = '['\n");
    EXPECT_TRUE(Memo->RedrawAlways);
    EXPECT_TRUE(Memo->HotSpot()->Active);
    EXPECT_EQ(Memo->HotSpot()->BeginChar, '[');
    EXPECT_EQ(Memo->ColorRules()->Items(0)->Memo(), Memo);

    auto Host = ReadRulesHost("ScriptEditorRules.form");
    Memo->SetColorRules(Host->ColorRules());
    EXPECT_EQ(Memo->ColorRules()->Count(), 9);
    EXPECT_EQ(Memo->ColorRules()->Items(2)->Keywords()->Count(), 92);
    EXPECT_EQ(Memo->ColorRules()->Items(0)->Memo(), Memo);
    Memo->SetHotSpot(Host->HotSpot());
    EXPECT_EQ(Memo->HotSpot()->BeginChar, '\x1E');

    TColorMemo Fresh(nullptr);
    for (const std::string& Name : PropsDifferingFromDefault(&Fresh)) {
        EXPECT_NE(Name, "ColorLimMax");
        EXPECT_NE(Name, "RedrawAlways");
    }
    EXPECT_EQ(Fresh.ColorLimMax(), 0);
    EXPECT_FALSE(Fresh.RedrawAlways);
    EXPECT_EQ(Fresh.ColorRules()->Count(), 0);
}

TEST_F(ColorMemo, ShiftReleaseAndLeftPressRecolourAndOtherInputDoesNot)
{
    MainPane();
    SetText("x = TABLE");
    Memo->SetFocus();
    ProcessMessages();
    int Before = Memo->PassCount();
    SimulateKey(WM_KEYDOWN, VK_SHIFT);
    SimulateKey(WM_KEYUP, VK_SHIFT);
    ProcessMessages();
    EXPECT_GT(Memo->PassCount(), Before);

    Before = Memo->PassCount();
    SendMouse(Memo, WM_RBUTTONDOWN, 5, 5);
    SendMouse(Memo, WM_RBUTTONUP, 5, 5);
    ProcessMessages();
    EXPECT_EQ(Memo->PassCount(), Before); // nothing asked for a pass

    SendMouse(Memo, WM_LBUTTONDOWN, 5, 5);
    ProcessMessages();
    EXPECT_GT(Memo->PassCount(), Before);
    SendMouse(Memo, WM_LBUTTONUP, 5, 5);
}

TEST_F(ColorMemo, HorizontalScrollFiresItsEvent)
{
    MainPane();
    SetText(std::string(300, 'w') + " = TABLE");
    int HScrolls = 0;
    Memo->OnHScroll = [&](TObject* Sender) {
        EXPECT_EQ(Sender, Memo);
        ++HScrolls;
    };
    const int Before = Memo->PassCount();
    Send(WM_HSCROLL, SB_PAGERIGHT, 0);
    ProcessMessages();
    EXPECT_EQ(HScrolls, 1);
    EXPECT_GT(Memo->PassCount(), Before);
}

TEST_F(ColorMemo, DisabledOrHiddenMemoIsNotColoured)
{
    MainPane();
    SetText("x = TABLE");
    Memo->SetEnabled(false);
    ProcessMessages();
    int Before = Memo->PassCount();
    Memo->Invalidate();
    ProcessMessages();
    EXPECT_EQ(Memo->PassCount(), Before);
    EXPECT_EQ(CountNear(Capture(), 4, 8, clMaroon), 0);
    Memo->SetEnabled(true);
    ProcessMessages();
    EXPECT_GT(CountNear(Capture(), 4, 8, clMaroon), 5);
}

TEST_F(ColorMemo, TabsKeepTheControlsRendering)
{
    MainPane();
    Memo->WantTabs = true;
    SetText("a\t= TABLE = b");
    ASSERT_GT(Memo->LastRuns().Count(), 0);
    int Tabs = 0;
    for (int i = 0; i < Memo->LastRuns().Count(); ++i)
        Tabs += Memo->LastRuns()[i].ZOrder == zoTab;
    EXPECT_EQ(Tabs, 1);
    TDibImage I = Capture();
    const int Eq = 2;
    EXPECT_GT(CountNear(I, Eq, Eq, clRed), 2); // after the TAB, where the control put it
    EXPECT_GT(CountNear(I, 4, 8, clMaroon), 5);
    EXPECT_GT(CountNear(I, 10, 10, clRed), 2); // a TAB before it: placed by the control, not measured
}

TEST_F(ColorMemo, RunsOfAProportionalFontLandOnTheirCharacters)
{
    // Runs between the first and the last of a line are placed by measuring the text before
    // them; each must sit on its own characters, also after characters of several bytes.
    Load("MainPaneRules.form");
    Memo->Font()->SetName("Arial");
    Memo->Font()->SetHeight(-16);
    ProcessMessages();
    const std::string T = "<font COLOR=x> = TABLE &nbsp; W = \xC3\xA9t\xC3\xA9 = <b> ALT = y";
    SetText(T);
    TDibImage I = Capture();
    // Each run by its text (the n-th time it occurs) and colour.
    struct {
        const char* Text;
        int Occurrence;
        TColor Color;
    } Runs[] = {{"font", 0, clBlue},   {"COLOR", 0, clRed}, {"=", 1, clRed}, {"TABLE", 0, clMaroon},
                {"&nbsp", 0, clGreen}, {"=", 2, clRed},     {"=", 3, clRed}, {"<b>", 0, clRed},
                {"ALT", 0, clRed},     {"=", 4, clRed}};
    for (const auto& R : Runs) {
        SCOPED_TRACE(std::string(R.Text) + " #" + std::to_string(R.Occurrence));
        std::size_t At = T.find(R.Text);
        for (int n = 0; n < R.Occurrence; ++n)
            At = T.find(R.Text, At + 1);
        ASSERT_NE(At, std::string::npos);
        const int From = static_cast<int>(At), To = From + static_cast<int>(std::strlen(R.Text)) - 1;
        EXPECT_GT(CountNear(I, From, To, R.Color), 2 * (To - From + 1));
    }
    // The plain text between the runs keeps the control's black.
    for (const char* Plain : {"W =", "t\xC3\xA9 =", "y"}) {
        const int At = static_cast<int>(T.find(Plain));
        EXPECT_EQ(CountNear(I, At, At, clRed), 0) << Plain;
        EXPECT_EQ(CountNear(I, At, At, clBlue), 0) << Plain;
    }
}

TEST_F(ColorMemo, WrappedLinesAreReadAndColoured)
{
    MainPane("    WordWrap = True\n");
    std::string T;
    for (int i = 0; i < 6; ++i)
        T += "word" + std::to_string(i) + " ";
    T += "TABLE x = y <!-- note --> end\r\nnext = line";
    SetText(T);
    ASSERT_GT(Send(EM_GETLINECOUNT), 2); // the first line wraps
    TDibImage I = Capture();
    const int Table = static_cast<int>(T.find("TABLE"));
    const int Eq = static_cast<int>(T.find(" = ")) + 1;
    const int Note = static_cast<int>(T.find("<!--"));
    EXPECT_GT(Send(EM_LINEFROMCHAR, static_cast<WPARAM>(Table)), 0); // on a continuation line
    EXPECT_GT(CountNear(I, Table, Table + 4, clMaroon), 5);
    EXPECT_GT(CountNear(I, Eq, Eq, clRed), 2);
    EXPECT_GT(CountNear(I, Note + 5, Note + 8, clBlue), 3); // the tag rule's "<" to ">" over the comment
    const int Next = static_cast<int>(T.find("next")) + 5;
    EXPECT_GT(CountNear(I, Next, Next, clRed), 2);
}

TEST_F(ColorMemo, EditsThatKeepTheLengthRecolour)
{
    MainPane();
    SetText("x = TABLE\r\nTABLE = x");
    Memo->SetFocus();
    EXPECT_GT(CountNear(Capture(), 2, 2, clRed), 2);
    // "=" becomes "+", "TABLE" becomes "TABLA": the same length, other colours.
    Memo->SetSelStart(2);
    Memo->SetSelLength(1);
    PressKey(VK_OEM_PLUS, "+");
    Memo->SetSelStart(8);
    Memo->SetSelLength(1);
    PressKey('A', "A");
    ProcessMessages();
    ASSERT_EQ(Memo->Text(), "x + TABLA\r\nTABLE = x");
    TDibImage I = Capture();
    EXPECT_EQ(CountNear(I, 2, 2, clRed), 0);
    EXPECT_EQ(CountNear(I, 4, 8, clMaroon), 0);
    EXPECT_GT(CountNear(I, LineIndex(1), LineIndex(1) + 4, clMaroon), 5);
}

TEST_F(ColorMemo, ALineTooLongToReadByItselfIsReadWithTheWholeText)
{
    MainPane();
    SetText("TABLE = " + std::string(70000, 'w') + "\r\nx = y");
    TDibImage I = Capture();
    EXPECT_GT(CountNear(I, 0, 4, clMaroon), 5);
    EXPECT_GT(CountNear(I, 6, 6, clRed), 2);
    EXPECT_GT(CountNear(I, LineIndex(1) + 2, LineIndex(1) + 2, clRed), 2);
}

TEST_F(ColorMemo, RedrawAlwaysRecoloursEverythingAndRepaintsTheCaretLine)
{
    MainPane("    RedrawAlways = True\n");
    SetText("x = TABLE\r\nsecond = line\r\nthird");
    Memo->SetFocus();
    Memo->SetSelStart(LineIndex(1) + 6);
    ProcessMessages();
    PressKey('Q', "Q");
    ProcessMessages();
    ASSERT_EQ(Memo->Text(), "x = TABLE\r\nsecondQ = line\r\nthird");
    EXPECT_EQ(Memo->LastScanStart(), 0); // a full pass, not the caret line's
    bool CaretRun = false;
    for (int i = 0; i < Memo->LastRuns().Count(); ++i) {
        const TKeyDescr& R = Memo->LastRuns()[i];
        if (R.ZOrder == 0 && R.StartPos == LineIndex(1)) {
            CaretRun = true;
            EXPECT_EQ(R.EndPos, LineIndex(1) + 7); // up to the caret, inclusive
            EXPECT_EQ(R.Color, Memo->Font()->Color());
        }
    }
    EXPECT_TRUE(CaretRun);
    TDibImage I = Capture();
    EXPECT_GT(CountNear(I, 2, 2, clRed), 2);
    EXPECT_GT(CountNear(I, 4, 8, clMaroon), 5);
    EXPECT_GT(CountNear(I, LineIndex(1) + 8, LineIndex(1) + 8, clRed), 2);
}

// One line of about Bytes bytes: Piece over and over.
std::string LongLine(const std::string& Piece, std::size_t Bytes)
{
    std::string T;
    while (T.size() < Bytes)
        T += Piece;
    return T;
}

TEST_F(ColorMemo, ALongLineIsScannedAroundItsPartInViewAndColouredThere)
{
    MainPane();
    Memo->SetScrollBars(ssBoth);
    //                      0         1         2         3
    //                      0123456789012345678901234567890123456
    const std::string Piece = "<font COLOR=x> a = b TABLE &nbsp; ";
    const std::string T = LongLine(Piece, 200000);
    SetText(T);
    // The caret in the middle of the line, and the window there.
    const int Mid = static_cast<int>(Piece.size()) * 3000;
    Memo->SetSelStart(Mid);
    Send(EM_SCROLLCARET);
    ProcessMessages();
    ASSERT_GT(PosOf(Mid).x, 0);
    EXPECT_EQ(Memo->LastScanEnd() - Memo->LastScanStart(), static_cast<int>(T.size()));
    EXPECT_LT(Memo->LastScanned(), 8000); // not the whole line
    int From = 0, To = 0;
    ASSERT_TRUE(Memo->LineSpanInView(0, From, To));
    ASSERT_LT(To - From, 200);
    ASSERT_GT(To - From, 20);
    // Every token wholly in view is coloured as on a short line.
    auto CheckPieces = [&](const std::string& Step) {
        SCOPED_TRACE(Step);
        const std::string Now = Memo->Text();
        const TDibImage I = Capture();
        struct {
            const char* Text;
            int Skip; // characters of it not looked at
            TColor Color;
        } Tokens[] = {{"<font", 1, clBlue},
                      {"COLOR", 0, clRed},
                      {" = ", 1, clRed},
                      {"TABLE", 0, clMaroon},
                      {"&nbsp", 0, clGreen}};
        int Seen = 0;
        for (const auto& Token : Tokens) {
            const std::string Text = Token.Text;
            for (std::size_t At = Now.find(Text, static_cast<std::size_t>(From)); At != std::string::npos;
                 At = Now.find(Text, At + 1)) {
                const int P = static_cast<int>(At) + Token.Skip;
                const int Last = static_cast<int>(At + Text.size()) - 1 - (Text == " = " ? 1 : 0);
                if (Last >= To)
                    break;
                ++Seen;
                EXPECT_GT(CountNear(I, P, Last, Token.Color), 2 * (Last - P + 1)) << Text << " at " << P;
            }
        }
        EXPECT_GE(Seen, 4);
        // The plain text between them keeps the control's black.
        for (std::size_t At = Now.find("> a", static_cast<std::size_t>(From));
             At != std::string::npos && static_cast<int>(At) + 3 < To; At = Now.find("> a", At + 1))
            EXPECT_EQ(CountNear(I, static_cast<int>(At) + 2, static_cast<int>(At) + 2, clRed), 0);
    };
    CheckPieces("after the load");

    // Typing in view recolours the caret line, again only around the view.
    Memo->SetFocus();
    const int Typed = static_cast<int>(Piece.size()) * 3001 + 14; // the blank after a tag
    Memo->SetSelStart(Typed);
    ProcessMessages();
    PressKey('Q', "Q");
    ProcessMessages();
    ASSERT_EQ(Memo->Text().substr(static_cast<std::size_t>(Typed), 2), "Q ");
    EXPECT_EQ(Memo->LastScanStart(), 0);
    EXPECT_LT(Memo->LastScanned(), 8000);
    ASSERT_TRUE(Memo->LineSpanInView(0, From, To));
    CheckPieces("after typing");
}

TEST_F(ColorMemo, ALongLineInAProportionalFontIsColouredWhereTheControlPutsItsText)
{
    // Positions far into a line are measured from points along it: the coloured text must land
    // on exactly the pixels it lands on when every position is measured from the line's start.
    Load("MainPaneRules.form");
    Memo->SetScrollBars(ssBoth);
    Memo->Font()->SetName("Arial");
    Memo->Font()->SetHeight(-16);
    ProcessMessages();
    const std::string T =
        "short = line\r\n" +
        LongLine("<p>AVAWA To = TABLE &nbsp; W\xC3\xA9t\xC3\xA9 fi <!-- x --> \xE2\x82\xAC ", 30000) +
        "\r\nlast = line";
    SetText(T);
    for (const int At : {20, 15000, 29000}) {
        SCOPED_TRACE(At);
        Memo->SetSelStart(At);
        Send(EM_SCROLLCARET);
        ProcessMessages();
        SetEditMeasuredFromStart(1 << 30);
        Memo->Invalidate();
        ProcessMessages();
        const TDibImage FromStart = Capture();
        SetEditMeasuredFromStart(0);
        Memo->Invalidate();
        ProcessMessages();
        const TDibImage Along = Capture();
        ASSERT_EQ(FromStart.Pixels.size(), Along.Pixels.size());
        int Diff = 0;
        for (std::size_t i = 0; i < Along.Pixels.size(); ++i)
            Diff += Along.Pixels[i] != FromStart.Pixels[i];
        EXPECT_EQ(Diff, 0);
        EXPECT_GT(CountNear(Along, At, At + 40, clMaroon) + CountNear(Along, At, At + 40, clBlue), 20);
    }
}

TEST_F(ColorMemo, HotSpotFarIntoALongLine)
{
    // Past 65535 characters into a line: beyond what EM_CHARFROMPOS can tell in its 16 bits.
    InitColMemoCursor();
    ScriptEditor();
    Memo->SetScrollBars(ssBoth);
    const std::string Filler = LongLine("var a = b; ", 70000);
    SetText(Filler +
            "see \x1E"
            "far.htm\x1F now; " +
            Filler);
    const int Spot = static_cast<int>(Filler.size()) + 5;
    Memo->SetSelStart(Spot);
    Send(EM_SCROLLCARET);
    ProcessMessages();
    std::vector<std::string> Clicks;
    Memo->OnHotSpotClick = [&](TObject*, const std::string& SRC) { Clicks.push_back(SRC); };
    const TPoint P = PosOf(Spot + 2);
    ASSERT_GT(P.x, 0);
    const int H = LineHeight();
    EXPECT_GT(CountNear(Capture(), Spot, Spot + 6, 0xFF0000), 10);
    SendMouse(Memo, WM_MOUSEMOVE, P.x + 2, P.y + H / 2);
    EXPECT_EQ(Memo->Cursor(), crColMemoHotSpot);
    ClickControl(Memo, P.x + 2, P.y + H / 2);
    ProcessMessages();
    EXPECT_EQ(Clicks, std::vector<std::string>{"far.htm"});
    const TPoint Q = PosOf(Spot - 8);
    SendMouse(Memo, WM_MOUSEMOVE, Q.x + 2, Q.y + H / 2);
    EXPECT_EQ(Memo->Cursor(), Form->Cursor());
}

TEST(ColMemoCursor, InitLoadsThePointingHandIntoSlotOne)
{
    TWindowTest Fixture;
    InitColMemoCursor();
    HCURSOR Cursor = ScreenInstance()->Cursors(crColMemoHotSpot);
    ASSERT_NE(Cursor, nullptr);
    POINT HotSpot{};
    SIZE Size{};
    ASSERT_TRUE(GetCursorHotSpot(Cursor, &HotSpot, &Size));
    EXPECT_EQ(HotSpot.x, 13);
    EXPECT_EQ(HotSpot.y, 9);
    EXPECT_EQ(Size.cx, 32);
}

} // namespace

TEST_F(ColorMemo, RightToLeftTextIsColouredInTheControlsReadingOrder)
{
    // The control lays right-to-left text out in reading order (numbers inside it left to
    // right); coloured runs must cover the very pixels its own text takes, line by line.
    MainPane();
    Memo->Font()->SetName("DejaVu Sans");
    ProcessMessages();
    const std::string Hebrew = "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D \xD7\xA2\xD7\x95\xD7\x9C\xD7\x9D";
    const std::string Arabic = "\xD9\x85\xD8\xB1\xD8\xAD\xD8\xA8\xD8\xA7";
    // Runs that end inside a stretch of right-to-left text: a tag's closing bracket between two
    // right-to-left words reads with them.
    const std::string T = "a <i " + Hebrew + " 12 " + Hebrew + "> " + Hebrew + "\r\n" + Hebrew +
                          " <b> = " + Hebrew + "\r\n<p " + Arabic + " x " + Arabic + ">" + Arabic +
                          " = TABLE";
    SetText(T);
    const TDibImage Coloured = Capture();

    std::unique_ptr<TForm> Plain(CreateFormFromText<TForm>(
        nullptr, "object Form2: TForm\n  Left = 40\n  Top = 40\n  Width = 420\n  Height = 320\n"
                 "  object plain: TMemo\n    Left = 0\n    Top = 0\n    Width = 400\n    Height = 200\n"
                 "    WordWrap = False\n  end\nend\n"));
    auto* P = dynamic_cast<TMemo*>(Plain->FindComponent("plain"));
    ASSERT_NE(P, nullptr);
    P->Font()->Assign(Memo->Font());
    P->Font()->SetColor(clBlack);
    P->SetText(T);
    Plain->Show();
    ProcessMessages();
    const TDibImage Native = CaptureWindowImage(P->Handle(), true);
    ASSERT_EQ(Native.Pixels.size(), Coloured.Pixels.size());

    // Ink is whatever is not the white ground; per line, the ink of the two must match.
    const int H = LineHeight();
    auto Ink = [](std::uint32_t Px) { return (Px & 0xFFFFFF) != 0xFFFFFF; };
    for (int Line = 0; Line < 3; ++Line) {
        SCOPED_TRACE(Line);
        const int Top = PosOf(LineIndex(Line)).y;
        int Inked = 0, Differ = 0;
        for (int Y = std::max(Top, 0); Y < std::min(Top + H, Native.Height); ++Y)
            for (int X = 0; X < Native.Width - 20; ++X) {
                const std::size_t I = static_cast<std::size_t>(Y * Native.Width + X);
                Inked += Ink(Native.Pixels[I]);
                Differ += Ink(Native.Pixels[I]) != Ink(Coloured.Pixels[I]);
            }
        ASSERT_GT(Inked, 100);
        EXPECT_LT(Differ, Inked / 20) << Inked;
    }
    // And the runs are coloured: the tags blue, the equals sign red.
    EXPECT_GT(CountNear(Coloured, 2, 40, clBlue), 50);
    Plain->BeforeDestruction();
}
