#include "platform/controls/StdEdit.h"
#include "platform/app/Clipbrd.h"
#include "platform/classes/TypInfo.h"
#include "platform/controls/Forms.h"
#include "platform/rtl/SysUtils.h"
#include "platform/testing/FormTesting.h"
#include "platform/testing/WinTesting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

class StdEditTest : public ::testing::Test {
protected:
    TWindowTest Fixture;
    TForm* Form = nullptr;

    void SetUp() override
    {
        Form = new TForm(nullptr);
        Form->SetBounds(50, 50, 400, 300);
    }
    void TearDown() override
    {
        Form->BeforeDestruction();
        delete Form;
    }
    // A memo in a fixed-pitch font, so character positions are plain multiples.
    template <class T = TMemo> T* NewMemo(int Height = 100)
    {
        auto* M = new T(Form);
        M->SetParent(Form);
        M->SetBounds(10, 10, 200, Height);
        M->Font()->SetName("Courier New");
        M->Font()->SetSize(10);
        return M;
    }
    void ShowForm()
    {
        Form->Show();
        ProcessMessages();
    }
    // Height of a line of the memo's font: the text height and the font's external leading, as a
    // canvas on the memo measures them.
    static int LineHeightOf(TCustomEdit* E)
    {
        TControlCanvas C;
        C.SetControl(E);
        C.SetFont(E->Font());
        TEXTMETRIC TM{};
        GetTextMetrics(C.Handle(), &TM);
        return TM.tmHeight + TM.tmExternalLeading;
    }
    static int CharWidthOf(TCustomEdit* E)
    {
        TControlCanvas C;
        C.SetControl(E);
        C.SetFont(E->Font());
        return C.TextWidth("M");
    }
    static LRESULT Send(TWinControl* C, UINT Msg, WPARAM W = 0, LPARAM L = 0)
    {
        return SendMessage(C->Handle(), Msg, W, L);
    }
    static int PosX(LRESULT R) { return static_cast<SmallInt>(LOWORD(static_cast<DWORD>(R))); }
    static int PosY(LRESULT R) { return static_cast<SmallInt>(HIWORD(static_cast<DWORD>(R))); }
};

std::string ReadFile(const std::string& Name)
{
    std::ifstream F(Name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(F), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& Name, const std::string& Bytes)
{
    std::ofstream F(Name, std::ios::binary);
    F << Bytes;
}

// ---- text and indexes -------------------------------------------------------------------------

// Typing, deleting and pasting keep the byte offsets of every line right (the offsets are mended
// after an edit inside one line, built again after any other).
TEST_F(StdEditTest, IndexesFollowEveryKindOfEdit)
{
    TMemo* M = NewMemo();
    ShowForm();
    M->SetText("first \xC3\xA9t\xC3\xA9\r\nsecond\r\n\r\nfourth \xE2\x82\xAC line\r\nlast");
    auto Check = [&](const std::string& Step) {
        SCOPED_TRACE(Step);
        const std::string T = M->Text();
        EXPECT_EQ(Send(M, WM_GETTEXTLENGTH), static_cast<LRESULT>(T.size()));
        std::size_t Start = 0;
        for (int Line = 0;; ++Line) {
            const std::size_t Break = T.find("\r\n", Start);
            const std::size_t End = Break == std::string::npos ? T.size() : Break;
            EXPECT_EQ(Send(M, EM_LINEINDEX, static_cast<WPARAM>(Line)), static_cast<LRESULT>(Start)) << Line;
            EXPECT_EQ(Send(M, EM_LINELENGTH, Start), static_cast<LRESULT>(End - Start)) << Line;
            if (Break == std::string::npos) {
                EXPECT_EQ(Send(M, EM_GETLINECOUNT), Line + 1);
                break;
            }
            Start = Break + 2;
        }
    };
    Check("set");
    struct {
        const char* Name;
        int SelStart, SelLength;
        const char* Typed; // inserted in place of the selection; nullptr: a Backspace
    } Steps[] = {
        {"a letter in line 0", 3, 0, "x"},
        {"two bytes in line 1", 16, 0, "\xC3\xB6"},
        {"three bytes replacing two", 3, 2, "\xE2\x82\xAC"},
        {"backspace over a two-byte letter", 10, 0, nullptr},
        {"a break", 5, 0, "\r\n"},
        {"a paste of several lines", 0, 0, "one\r\ntwo \xC3\xA9\r\n"},
        {"a selection across lines removed", 4, 9, ""},
        {"backspace joining two lines", 8, 0, nullptr},
        {"at the very end", -1, 0, "!\xE2\x82\xAC"},
    };
    for (const auto& Step : Steps) {
        const int Length = static_cast<int>(M->Text().size());
        M->SetSelStart(Step.SelStart < 0 ? Length : Step.SelStart);
        M->SetSelLength(Step.SelLength);
        if (Step.Typed)
            M->SetSelText(Step.Typed);
        else
            Send(M, WM_CHAR, VK_BACK);
        Check(Step.Name);
    }
    Send(M, EM_UNDO);
    Check("undone");
}

TEST_F(StdEditTest, TextRoundTripWithMultibyteCharactersAndCrLfIndexes)
{
    TMemo* M = NewMemo();
    ShowForm();
    // "é", "ö" are two bytes, "€" three; every line break is CR LF (two bytes).
    const std::string T = "h\xC3\xA9llo\r\nw\xC3\xB6rld \xE2\x82\xAC\r\n\r\nlast";
    M->SetText(T);
    EXPECT_EQ(M->Text(), T);
    EXPECT_EQ(Send(M, WM_GETTEXTLENGTH), static_cast<LRESULT>(T.size()));
    EXPECT_EQ(Send(M, EM_GETLINECOUNT), 4);
    const int Starts[] = {0, 8, 20, 22};
    const int Lengths[] = {6, 10, 0, 4};
    for (int L = 0; L < 4; ++L) {
        EXPECT_EQ(Send(M, EM_LINEINDEX, L), Starts[L]) << L;
        EXPECT_EQ(Send(M, EM_LINELENGTH, static_cast<WPARAM>(Starts[L])), Lengths[L]) << L;
        EXPECT_EQ(Send(M, EM_LINEFROMCHAR, static_cast<WPARAM>(Starts[L])), L) << L;
    }
    EXPECT_EQ(Send(M, EM_LINEINDEX, 4), -1);
    // The CR and LF of a break belong to the line they end.
    EXPECT_EQ(Send(M, EM_LINEFROMCHAR, 6), 0);
    EXPECT_EQ(Send(M, EM_LINEFROMCHAR, 7), 0);
    // Selecting by byte offsets picks whole characters.
    Send(M, EM_SETSEL, 8, 14);
    EXPECT_EQ(M->SelText(), "w\xC3\xB6rld");
    Send(M, EM_SETSEL, 3, 18);
    EXPECT_EQ(M->SelText(), "llo\r\nw\xC3\xB6rld \xE2\x82\xAC");
    DWORD A = 0, B = 0;
    Send(M, EM_GETSEL, reinterpret_cast<WPARAM>(&A), reinterpret_cast<LPARAM>(&B));
    EXPECT_EQ(A, 3u);
    EXPECT_EQ(B, 18u);
    EXPECT_EQ(M->SelStart(), 3);
    EXPECT_EQ(M->SelLength(), 15);
    // EM_GETLINE: the buffer's first word gives its size; no terminator is written.
    char Line[16] = {};
    WORD Size = sizeof(Line);
    std::memcpy(Line, &Size, sizeof(Size));
    EXPECT_EQ(Send(M, EM_GETLINE, 1, reinterpret_cast<LPARAM>(Line)), 10);
    EXPECT_EQ(std::string(Line, 10), "w\xC3\xB6rld \xE2\x82\xAC");
    EXPECT_EQ(Send(M, EM_GETLINE, 9, reinterpret_cast<LPARAM>(Line)), 0);
    // WM_GETTEXT copies at most the buffer less its terminator.
    char Buf[6];
    EXPECT_EQ(Send(M, WM_GETTEXT, sizeof(Buf), reinterpret_cast<LPARAM>(Buf)), 5);
    EXPECT_EQ(std::string(Buf), "h\xC3\xA9ll");
}

TEST_F(StdEditTest, EveryKindOfLineBreakBecomesCrLf)
{
    TMemo* M = NewMemo();
    M->SetText("a\nb\rc\r\nd");
    EXPECT_EQ(M->Text(), "a\r\nb\r\nc\r\nd"); // stored before the window exists
    ShowForm();
    EXPECT_EQ(M->Text(), "a\r\nb\r\nc\r\nd");
    M->SetText("x\ny");
    EXPECT_EQ(M->Text(), "x\r\ny");
    EXPECT_EQ(M->Lines()->Count(), 2);
}

TEST_F(StdEditTest, SingleLineEditKeepsOneLine)
{
    auto* E = new TEdit(Form);
    E->SetParent(Form);
    E->SetText("one\r\ntwo");
    EXPECT_EQ(E->Text(), "one");
    ShowForm();
    E->SetText("abc\ndef");
    EXPECT_EQ(E->Text(), "abc");
    EXPECT_EQ(Send(E, EM_GETLINECOUNT), 1);
    E->SetSelStart(3);
    E->SetSelText("x\r\ny");
    EXPECT_EQ(E->Text(), "abcx");
}

// ---- positions ----------------------------------------------------------------------------------

TEST_F(StdEditTest, PositionQueriesWithPartlyVisibleLastLineAndScrolledView)
{
    TMemo* M = NewMemo(0);
    M->SetWordWrap(false);
    M->SetScrollBars(ssVertical);
    ShowForm();
    const int H = LineHeightOf(M);
    const int W = CharWidthOf(M);
    ASSERT_GT(H, 0);
    // Three and a half lines show.
    M->SetClientHeight(3 * H + H / 2 + 1);
    std::string T;
    for (int I = 0; I < 10; ++I)
        T += "line" + std::to_string(I) + (I < 9 ? "\r\n" : "");
    M->SetText(T);
    ProcessMessages();
    RECT R{};
    Send(M, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&R));
    RECT Client{};
    GetClientRect(M->Handle(), &Client);
    EXPECT_LE(R.right, Client.right);
    EXPECT_EQ(Send(M, EM_GETFIRSTVISIBLELINE), 0);

    LRESULT P0 = Send(M, EM_POSFROMCHAR, 0);
    EXPECT_EQ(PosX(P0), R.left);
    EXPECT_EQ(PosY(P0), R.top);
    // Line k starts k line heights down; character c of a line is c widths in.
    for (int Line = 0; Line < 10; ++Line) {
        LRESULT P = Send(M, EM_POSFROMCHAR, static_cast<WPARAM>(Send(M, EM_LINEINDEX, Line)));
        EXPECT_EQ(PosY(P), R.top + Line * H) << Line;
    }
    LRESULT P3 = Send(M, EM_POSFROMCHAR, 3);
    EXPECT_EQ(PosX(P3), R.left + 3 * W);
    // The fourth line is only partly visible: its top is inside, its bottom outside.
    int Top3 = PosY(Send(M, EM_POSFROMCHAR, static_cast<WPARAM>(Send(M, EM_LINEINDEX, 3))));
    EXPECT_LT(Top3, Client.bottom);
    EXPECT_GE(Top3 + H, Client.bottom);
    // Past the end of the text the control cannot tell; the end itself has a position.
    EXPECT_EQ(Send(M, EM_POSFROMCHAR, T.size() + 1), -1);
    EXPECT_NE(Send(M, EM_POSFROMCHAR, T.size()), -1);
    // Character from position: index in the low word, line in the high word.
    LRESULT C = Send(M, EM_CHARFROMPOS, 0, PointToLParam(R.left + 2 * W + 1, R.top + H + H / 2));
    EXPECT_EQ(LOWORD(static_cast<DWORD>(C)), 7 + 2);
    EXPECT_EQ(HIWORD(static_cast<DWORD>(C)), 1);

    // Scrolled by two lines: the lines above have negative tops.
    EXPECT_TRUE(Send(M, EM_LINESCROLL, 0, 2));
    EXPECT_EQ(Send(M, EM_GETFIRSTVISIBLELINE), 2);
    EXPECT_EQ(PosY(Send(M, EM_POSFROMCHAR, 0)), R.top - 2 * H);
    EXPECT_EQ(PosY(Send(M, EM_POSFROMCHAR, static_cast<WPARAM>(Send(M, EM_LINEINDEX, 2)))), R.top);
    C = Send(M, EM_CHARFROMPOS, 0, PointToLParam(R.left + 1, R.top + 1));
    EXPECT_EQ(HIWORD(static_cast<DWORD>(C)), 2);
    EXPECT_EQ(LOWORD(static_cast<DWORD>(C)), Send(M, EM_LINEINDEX, 2));
    EXPECT_EQ(GetScrollPos(M->Handle(), SB_VERT), 2);
    SCROLLINFO SI{};
    SI.cbSize = sizeof(SI);
    SI.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(M->Handle(), SB_VERT, &SI));
    EXPECT_EQ(SI.nPos, 2);
    EXPECT_EQ(SI.nMin, 0);
    EXPECT_EQ(SI.nMax, 9);
    EXPECT_GE(SI.nPage, 3u);
}

TEST_F(StdEditTest, ScrollMessagesMoveTheView)
{
    TMemo* M = NewMemo(60);
    M->SetWordWrap(false);
    M->SetScrollBars(ssBoth);
    ShowForm();
    std::string T;
    for (int I = 0; I < 40; ++I)
        T += std::string(60, static_cast<char>('a' + I % 26)) + "\r\n";
    M->SetText(T);
    struct TCase {
        UINT Msg;
        WPARAM W;
        int FirstLine; // -1: not checked
    };
    const TCase Cases[] = {
        {WM_VSCROLL, SB_LINEDOWN, 1}, {WM_VSCROLL, SB_LINEDOWN, 2},
        {WM_VSCROLL, SB_LINEUP, 1},   {WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 10), 10},
        {WM_VSCROLL, SB_TOP, 0},      {WM_VSCROLL, SB_PAGEDOWN, -1},
    };
    for (const TCase& C : Cases) {
        Send(M, C.Msg, C.W);
        if (C.FirstLine >= 0)
            EXPECT_EQ(Send(M, EM_GETFIRSTVISIBLELINE), C.FirstLine) << C.W;
        EXPECT_EQ(GetScrollPos(M->Handle(), SB_VERT), Send(M, EM_GETFIRSTVISIBLELINE));
    }
    EXPECT_GT(Send(M, EM_GETFIRSTVISIBLELINE), 1); // a page is more than a line
    Send(M, WM_VSCROLL, SB_BOTTOM);
    int Last = static_cast<int>(Send(M, EM_GETFIRSTVISIBLELINE));
    EXPECT_GT(Last, 30);
    // Horizontal scrolling moves the characters left.
    int X0 = PosX(Send(M, EM_POSFROMCHAR, static_cast<WPARAM>(Send(M, EM_LINEINDEX, Last))));
    Send(M, WM_HSCROLL, SB_LINERIGHT);
    int X1 = PosX(Send(M, EM_POSFROMCHAR, static_cast<WPARAM>(Send(M, EM_LINEINDEX, Last))));
    EXPECT_LT(X1, X0);
    EXPECT_GT(GetScrollPos(M->Handle(), SB_HORZ), 0);
    // The caret brought back into view scrolls back to the top.
    M->SetSelStart(0);
    Send(M, EM_SCROLLCARET);
    EXPECT_EQ(Send(M, EM_GETFIRSTVISIBLELINE), 0);
}

TEST_F(StdEditTest, FormattingRectangleMovesTheText)
{
    TMemo* M = NewMemo();
    ShowForm();
    M->SetText("abc\r\ndef");
    const int H = LineHeightOf(M);
    RECT R{12, 7, 150, 90};
    Send(M, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&R));
    RECT Got{};
    Send(M, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&Got));
    EXPECT_EQ(Got.left, 12);
    EXPECT_EQ(Got.top, 7);
    EXPECT_EQ(Got.right, 150);
    EXPECT_EQ(Got.bottom, 90);
    LRESULT P = Send(M, EM_POSFROMCHAR, 6); // "e" of the second line
    EXPECT_EQ(PosY(P), 7 + H);
    EXPECT_EQ(PosX(P), 12 + CharWidthOf(M));
    LRESULT C = Send(M, EM_CHARFROMPOS, 0, PointToLParam(13, 7 + H + 1));
    EXPECT_EQ(LOWORD(static_cast<DWORD>(C)), 5);
}

TEST_F(StdEditTest, WordWrapCountsWrappedLinesButLinesKeepsTextLines)
{
    TMemo* M = NewMemo();
    ASSERT_TRUE(M->WordWrap());
    ShowForm();
    std::string Long;
    for (int I = 0; I < 30; ++I)
        Long += "word ";
    M->SetText(Long + "\r\nshort");
    int Count = static_cast<int>(Send(M, EM_GETLINECOUNT));
    EXPECT_GT(Count, 2);
    int Second = static_cast<int>(Send(M, EM_LINEINDEX, 1));
    EXPECT_GT(Second, 0);
    EXPECT_LT(Second, static_cast<int>(Long.size()));
    EXPECT_EQ(Send(M, EM_LINEFROMCHAR, static_cast<WPARAM>(Second)), 1);
    EXPECT_EQ(Send(M, EM_LINEINDEX, Count - 1), static_cast<LRESULT>(Long.size() + 2));
    const int H = LineHeightOf(M);
    EXPECT_EQ(PosY(Send(M, EM_POSFROMCHAR, static_cast<WPARAM>(Second))) - PosY(Send(M, EM_POSFROMCHAR, 0)),
              H);
    EXPECT_EQ(M->Lines()->Count(), 2);
    EXPECT_EQ(M->Lines()->Get(1), "short");
}

TEST_F(StdEditTest, AlignmentPlacesLinesInTheRectangle)
{
    for (bool Wrap : {true, false}) {
        SCOPED_TRACE(Wrap ? "wrapped" : "not wrapped");
        TMemo* M = NewMemo();
        M->SetWordWrap(Wrap);
        M->SetAlignment(taRightJustify);
        ShowForm();
        M->SetText("ab\r\nabcd");
        RECT R{};
        Send(M, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&R));
        const int W = CharWidthOf(M);
        int X0 = PosX(Send(M, EM_POSFROMCHAR, 0));
        int X1 = PosX(Send(M, EM_POSFROMCHAR, 4));
        EXPECT_GT(X0, R.left);
        EXPECT_LE(X0 + 2 * W, R.right);
        EXPECT_EQ(X0 - X1, 2 * W); // right edges line up
        delete M;
    }
}

// A memo recording the order of its paints and scroll notifications, as a colouring memo sees it.
class TOrderMemo : public TMemo {
public:
    using TMemo::TMemo;
    std::vector<std::string> Log;
    void PaintWindow(HDC DC) override
    {
        TMemo::PaintWindow(DC);
        Log.push_back("paint");
    }

protected:
    TW_MESSAGE_HANDLERS(TOrderMemo);
    void WMVScroll(TWMVScroll Message)
    {
        TMemo::WMVScroll(Message);
        Log.push_back("vscroll");
    }
};

TW_PUBLISH(TOrderMemo, TMemo)
{
    Cls.Message(WM_VSCROLL, &TOrderMemo::WMVScroll);
}

TEST_F(StdEditTest, ScrollingPaintsBeforeTheScrollMessageReturns)
{
    auto* M = NewMemo<TOrderMemo>(60);
    M->SetScrollBars(ssVertical);
    ShowForm();
    std::string T;
    for (int I = 0; I < 20; ++I)
        T += "text\r\n";
    M->SetText(T);
    ProcessMessages();
    M->Log.clear();
    Send(M, WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(M->Log, (std::vector<std::string>{"paint", "vscroll"}));
    M->Log.clear();
    ProcessMessages();
    EXPECT_TRUE(M->Log.empty()); // nothing left to paint
}

// ---- Lines ------------------------------------------------------------------------------------

struct TLinesCase {
    const char* Text;
    int Count;
    std::vector<std::string> Items; // Get(0 .. Count-1), then one past the end gives ""
    const char* AfterAdd;           // Text after Add("N")
    const char* AfterPut0;          // Text after Put(0, "P")
    const char* AfterDelete0;       // Text after Delete(0)
};

const TLinesCase LinesCases[] = {
    {"", 0, {}, "N\r\n", "P", ""}, // the empty memo still has its one (empty) line to put into
    {"a", 1, {"a"}, "a\r\nN", "P", ""},
    {"a\r\n", 1, {"a"}, "a\r\nN\r\n", "P\r\n", ""},
    {"a\r\nb", 2, {"a", "b"}, "a\r\nb\r\nN", "P\r\nb", "b"},
    {"a\r\n\r\n", 2, {"a", ""}, "a\r\n\r\nN\r\n", "P\r\n\r\n", "\r\n"},
    {"\r\n", 1, {""}, "\r\nN\r\n", "P\r\n", ""},
};

class StdEditLinesTest : public StdEditTest, public ::testing::WithParamInterface<bool> {};

TEST_P(StdEditLinesTest, LinesSemantics)
{
    const bool WithWindow = GetParam();
    TMemo* M = NewMemo();
    if (WithWindow)
        ShowForm();
    for (const TLinesCase& C : LinesCases) {
        SCOPED_TRACE(std::string("text \"") + C.Text + "\"");
        M->SetText(C.Text);
        TStrings* L = M->Lines();
        EXPECT_EQ(L->Count(), C.Count);
        for (int I = 0; I < C.Count; ++I)
            EXPECT_EQ(L->Get(I), C.Items[static_cast<std::size_t>(I)]);
        EXPECT_EQ(L->Get(C.Count + 1), "");
        EXPECT_EQ(L->Get(-1), "");
        EXPECT_EQ(L->Text(), C.Text);
        L->Add("N");
        EXPECT_EQ(M->Text(), C.AfterAdd);
        M->SetText(C.Text);
        L->Put(0, "P");
        EXPECT_EQ(M->Text(), C.AfterPut0);
        M->SetText(C.Text);
        L->Delete(0);
        EXPECT_EQ(M->Text(), C.AfterDelete0);
    }
    M->SetText("a\r\nc");
    M->Lines()->Insert(1, "b");
    EXPECT_EQ(M->Text(), "a\r\nb\r\nc");
    M->Lines()->Clear();
    EXPECT_EQ(M->Text(), "");
    EXPECT_EQ(M->Lines()->Count(), 0);
    // A string list assigned to Lines.
    TStringList S;
    S.Add("x");
    S.Add("y");
    M->SetLines(&S);
    EXPECT_EQ(M->Text(), "x\r\ny\r\n");
}

INSTANTIATE_TEST_SUITE_P(WindowOrNot, StdEditLinesTest, ::testing::Values(false, true));

TEST_F(StdEditTest, LoadAndSaveKeepTheFilesBytes)
{
    TMemo* M = NewMemo();
    ShowForm();
    struct TCase {
        std::string Bytes;
        std::string Text; // what the memo shows
    };
    const TCase Cases[] = {
        {"a\nb\n", "a\r\nb\r\n"},
        {"a\r\nb", "a\r\nb"},
        {"x\ry\r", "x\r\ny\r\n"},
        {"caf\xE9\r\n", "caf\xC3\xA9\r\n"}, // Windows-1252 stays Windows-1252
        {"\xEF\xBB\xBFutf\xC3\xA9\n", "utf\xC3\xA9\r\n"},
        {"", ""},
    };
    int N = 0;
    for (const TCase& C : Cases) {
        std::string In = std::string(std::getenv("HOME")) + "/in" + std::to_string(N) + ".txt";
        std::string Out = std::string(std::getenv("HOME")) + "/out" + std::to_string(N++) + ".txt";
        WriteFile(In, C.Bytes);
        M->Lines()->LoadFromFile(In);
        EXPECT_EQ(M->Text(), C.Text);
        M->Lines()->SaveToFile(Out);
        EXPECT_EQ(ReadFile(Out), C.Bytes);
    }
    // An edited line is written in the file's own line breaks.
    WriteFile(std::string(std::getenv("HOME")) + "/lf.txt", "one\ntwo\n");
    M->Lines()->LoadFromFile(std::string(std::getenv("HOME")) + "/lf.txt");
    M->Lines()->Put(1, "zwei");
    M->Lines()->SaveToFile(std::string(std::getenv("HOME")) + "/lf2.txt");
    EXPECT_EQ(ReadFile(std::string(std::getenv("HOME")) + "/lf2.txt"), "one\nzwei\n");
    EXPECT_THROW(M->Lines()->LoadFromFile("/nonexistent/dir/file.txt"), EFOpenError);
}

// ---- selection, modification, undo --------------------------------------------------------------

TEST_F(StdEditTest, SelectionReplaceModifiedAndUndo)
{
    TMemo* M = NewMemo();
    ShowForm();
    int Changes = 0;
    M->OnChange = [&](TObject*) { ++Changes; };
    M->SetText("hello world");
    EXPECT_EQ(Changes, 1);
    EXPECT_FALSE(M->Modified());
    M->SetSelStart(6);
    M->SetSelLength(5);
    EXPECT_EQ(M->SelText(), "world");
    M->SetSelText("there\r\nfriend");
    EXPECT_EQ(M->Text(), "hello there\r\nfriend");
    EXPECT_TRUE(M->Modified());
    EXPECT_EQ(Changes, 2);
    EXPECT_EQ(M->SelStart(), static_cast<int>(M->Text().size())); // caret after the new text
    EXPECT_EQ(M->SelLength(), 0);
    EXPECT_TRUE(M->CanUndo());
    M->Undo();
    EXPECT_EQ(M->Text(), "hello world");
    // One level only: the next undo puts the change back, the one after takes it away again.
    EXPECT_TRUE(M->CanUndo());
    M->Undo();
    EXPECT_EQ(M->Text(), "hello there\r\nfriend");
    EXPECT_EQ(Send(M, EM_UNDO), TRUE);
    EXPECT_EQ(M->Text(), "hello world");
    M->SetModified(false);
    EXPECT_FALSE(M->Modified());
    M->SelectAll();
    EXPECT_EQ(M->SelLength(), 11);
    M->ClearSelection();
    EXPECT_EQ(M->Text(), "");
    // Modified survives a new window.
    M->SetText("abc");
    M->SetModified(true);
    M->SetWordWrap(false);
    EXPECT_TRUE(M->Modified());
    EXPECT_EQ(M->Text(), "abc");
}

TEST_F(StdEditTest, TypingThenAPasteCutOrReplacementUndoesOnlyTheLastEdit)
{
    TMemo* M = NewMemo();
    ShowForm();
    struct {
        const char* Name;
        std::function<void()> Edit;
        const char* After;
    } Cases[] = {
        {"paste", [&] { M->PasteFromClipboard(); }, "abXY"},
        {"replaced selection", [&] { M->SetSelText("XY"); }, "abXY"},
        {"cut", [&] { M->SetSelStart(1); M->SetSelLength(1); M->CutToClipboard(); }, "a"},
    };
    for (const auto& Case : Cases) {
        M->SetText("");
        M->ClearUndo();
        Clipboard()->SetAsText("XY");
        Send(M, WM_CHAR, 'a');
        Send(M, WM_CHAR, 'b');
        Case.Edit();
        EXPECT_EQ(M->Text(), Case.After) << Case.Name;
        // The undo takes back the last edit only, the typed text stays; a second undo redoes it.
        Send(M, EM_UNDO);
        EXPECT_EQ(M->Text(), "ab") << Case.Name;
        Send(M, EM_UNDO);
        EXPECT_EQ(M->Text(), Case.After) << Case.Name;
    }
    // Typing alone is one step.
    M->SetText("");
    M->ClearUndo();
    Send(M, WM_CHAR, 'a');
    Send(M, WM_CHAR, 'b');
    Send(M, EM_UNDO);
    EXPECT_EQ(M->Text(), "");
}

TEST_F(StdEditTest, TabIntoAnEditSelectsItsText)
{
    auto* A = new TEdit(Form);
    A->SetParent(Form);
    auto* B = new TEdit(Form);
    B->SetParent(Form);
    B->SetTop(40);
    B->SetText("select me");
    ShowForm();
    A->SetFocus();
    PressKey(VK_TAB, "\t");
    ASSERT_TRUE(B->Focused());
    EXPECT_EQ(B->SelText(), "select me");
    EXPECT_EQ(A->Text(), "");
    // Typing replaces the selection.
    PressKey('Z', "z");
    EXPECT_EQ(B->Text(), "z");
}

TEST_F(StdEditTest, FontChangeChangesTheLineHeight)
{
    TMemo* M = NewMemo();
    ShowForm();
    M->SetText("a\r\nb");
    int H1 = PosY(Send(M, EM_POSFROMCHAR, 3)) - PosY(Send(M, EM_POSFROMCHAR, 0));
    EXPECT_EQ(H1, LineHeightOf(M));
    M->Font()->SetSize(20);
    int H2 = PosY(Send(M, EM_POSFROMCHAR, 3)) - PosY(Send(M, EM_POSFROMCHAR, 0));
    EXPECT_EQ(H2, LineHeightOf(M));
    EXPECT_GT(H2, H1);
}

TEST_F(StdEditTest, ReadOnlyAndMaxLength)
{
    auto* E = new TEdit(Form);
    E->SetParent(Form);
    E->SetMaxLength(5);
    ShowForm();
    E->SetText("abc");
    E->SetSelStart(3);
    E->SetSelText("\xC3\xA9\xC3\xA9"); // 4 bytes, room for 2: one character goes in
    EXPECT_EQ(E->Text(), "abc\xC3\xA9");
    E->SetReadOnly(true);
    E->SetFocus();
    PressKey('X', "x");
    E->PasteFromClipboard();
    EXPECT_EQ(E->Text(), "abc\xC3\xA9");
    // Text set from code is not limited.
    E->SetText("abcdefgh");
    EXPECT_EQ(E->Text(), "abcdefgh");
}

// ---- input through the real path --------------------------------------------------------------

TEST_F(StdEditTest, TypingAndCaretKeys)
{
    TMemo* M = NewMemo();
    ShowForm();
    M->SetFocus();
    ProcessMessages();
    int Changes = 0;
    M->OnChange = [&](TObject*) { ++Changes; };
    PressKey('H', "h");
    PressKey('I', "i");
    PressKey(VK_RETURN, "\r");
    PressKey('X', "x");
    ProcessMessages();
    EXPECT_EQ(M->Text(), "hi\r\nx");
    EXPECT_EQ(Changes, 4);
    EXPECT_TRUE(M->Modified());
    EXPECT_EQ(M->SelStart(), 5);
    PressKey(VK_LEFT);
    EXPECT_EQ(M->SelStart(), 4);
    // The caret stands where the character it is before is reported.
    POINT Caret{};
    ASSERT_TRUE(GetCaretPos(&Caret));
    LRESULT At = Send(M, EM_POSFROMCHAR, 4);
    EXPECT_EQ(Caret.x, PosX(At));
    EXPECT_EQ(Caret.y, PosY(At));
    PressKey(VK_UP);
    EXPECT_EQ(Send(M, EM_LINEFROMCHAR, static_cast<WPARAM>(-1)), 0);
    PressKey(VK_END);
    EXPECT_EQ(M->SelStart(), 2);
    PressKey(VK_BACK, "\b");
    EXPECT_EQ(M->Text(), "h\r\nx");
    // A multibyte character typed counts as its bytes.
    PressKey('E', "\xC3\xA9");
    EXPECT_EQ(M->Text(), "h\xC3\xA9\r\nx");
    EXPECT_EQ(M->SelStart(), 3);
    // Shift+Home selects back to the line start.
    SimulateKey(WM_KEYDOWN, VK_SHIFT);
    PressKey(VK_HOME);
    SimulateKey(WM_KEYUP, VK_SHIFT);
    ProcessMessages();
    EXPECT_EQ(M->SelStart(), 0);
    EXPECT_EQ(M->SelLength(), 3);
    // Without WantTabs, Tab types nothing.
    M->SetSelStart(0);
    PressKey(VK_TAB, "\t");
    EXPECT_EQ(M->Text(), "h\xC3\xA9\r\nx");
    // What was typed survives a new window.
    M->SetScrollBars(ssBoth);
    EXPECT_NE(GetWindowLong(M->Handle(), GWL_STYLE) & WS_HSCROLL, 0);
    EXPECT_EQ(M->Text(), "h\xC3\xA9\r\nx");
    EXPECT_TRUE(M->Modified());
}

TEST_F(StdEditTest, TabsTypedWhenWanted)
{
    TMemo* M = NewMemo();
    M->WantTabs = true;
    ShowForm();
    M->SetFocus();
    PressKey('A', "a");
    PressKey(VK_TAB, "\t");
    PressKey('B', "b");
    EXPECT_EQ(M->Text(), "a\tb");
    EXPECT_TRUE(M->Focused());
}

TEST_F(StdEditTest, KeyHandlerCanDropACharacter)
{
    TMemo* M = NewMemo();
    ShowForm();
    M->SetFocus();
    M->OnKeyPress = [](TObject*, char& Key) {
        if (Key == 'q')
            Key = 0;
    };
    PressKey('Q', "q");
    PressKey('W', "w");
    EXPECT_EQ(M->Text(), "w");
}

TEST_F(StdEditTest, ClickPlacesTheCaretAndDragSelects)
{
    TMemo* M = NewMemo();
    M->SetWordWrap(false);
    ShowForm();
    M->SetText("abcdef\r\nghijkl");
    const int H = LineHeightOf(M);
    const int W = CharWidthOf(M);
    RECT R{};
    Send(M, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&R));
    ASSERT_TRUE(ClickControl(M, R.left + 2 * W + 1, R.top + H + 2));
    EXPECT_TRUE(M->Focused());
    EXPECT_EQ(M->SelStart(), 8 + 2);
    SendMouse(M, WM_LBUTTONDOWN, R.left + 1, R.top + 2);
    SendMouse(M, WM_MOUSEMOVE, R.left + 4 * W + 1, R.top + 2, MK_LBUTTON);
    SendMouse(M, WM_LBUTTONUP, R.left + 4 * W + 1, R.top + 2);
    EXPECT_EQ(M->SelText(), "abcd");
}

// ---- clipboard --------------------------------------------------------------------------------

TEST_F(StdEditTest, ClipboardCutCopyPaste)
{
    TMemo* M = NewMemo();
    auto* E = new TEdit(Form);
    E->SetParent(Form);
    E->SetTop(150);
    ShowForm();
    M->SetText("first\r\nsecond");
    M->SelectAll();
    M->CopyToClipboard();
    M->SetSelStart(0);
    M->PasteFromClipboard();
    EXPECT_EQ(M->Text(), "first\r\nsecondfirst\r\nsecond");
    // An edit takes the first line only.
    E->PasteFromClipboard();
    EXPECT_EQ(E->Text(), "first");
    M->SetText("keep cut");
    M->SetSelStart(4);
    M->SetSelLength(4);
    M->CutToClipboard();
    EXPECT_EQ(M->Text(), "keep");
    M->SetSelStart(0);
    Send(M, WM_PASTE);
    EXPECT_EQ(M->Text(), " cutkeep");
    // Ctrl+C / Ctrl+V through the keyboard.
    M->SetFocus();
    M->SelectAll();
    EXPECT_TRUE(PressShortCut('C', TShiftState{ssCtrl}));
    M->SetSelStart(static_cast<int>(M->Text().size()));
    EXPECT_TRUE(PressShortCut('V', TShiftState{ssCtrl}));
    EXPECT_EQ(M->Text(), " cutkeep cutkeep");
    // A password edit gives nothing away.
    E->SetPasswordChar('*');
    E->SetText("secret");
    E->SelectAll();
    E->CopyToClipboard();
    M->SetText("");
    M->PasteFromClipboard();
    EXPECT_EQ(M->Text(), " cutkeep");
}

// ---- painting ---------------------------------------------------------------------------------

// Paints a red square over the text after the control has painted, as a colouring memo does.
class THookMemo : public TMemo {
public:
    using TMemo::TMemo;
    int Paints = 0;
    void PaintWindow(HDC DC) override
    {
        TMemo::PaintWindow(DC);
        ++Paints;
        TCanvas C;
        C.SetHandle(DC);
        C.Brush()->SetColor(clRed);
        C.FillRect(Rect(0, 0, 6, 6));
        C.SetHandle(nullptr);
    }
};

TEST_F(StdEditTest, PaintHookDrawsOverTheText)
{
    auto* M = NewMemo<THookMemo>();
    M->SetColor(clWhite);
    M->Font()->SetColor(clBlack);
    ShowForm();
    M->SetText("MMMMMMMM\r\nMMMMMMMM");
    ProcessMessages();
    EXPECT_GT(M->Paints, 0);
    TDibImage I = CaptureWindowImage(M->Handle(), true);
    ASSERT_GT(I.Width, 20);
    auto Pixel = [&](int X, int Y) { return I.Pixels[static_cast<std::size_t>(Y * I.Width + X)] & 0xFFFFFF; };
    EXPECT_EQ(Pixel(2, 2), 0xFF0000u); // the hook's square on top
    // The text is there: dark pixels in the first line beside the square, white below the text.
    const int H = LineHeightOf(M);
    int Dark = 0;
    for (int Y = 0; Y < H; ++Y)
        for (int X = 8; X < 60; ++X)
            if (Pixel(X, Y) < 0x404040u)
                ++Dark;
    EXPECT_GT(Dark, 10);
    EXPECT_EQ(Pixel(100, 3 * H + 5), 0xFFFFFFu);

    // Drawing on the window outside a paint lands on the same pixels.
    TControlCanvas C;
    C.SetControl(M);
    C.Brush()->SetColor(clBlue);
    C.FillRect(Rect(100, 2, 110, 8));
    C.FreeHandle();
    I = CaptureWindowImage(M->Handle(), true);
    EXPECT_EQ(Pixel(105, 5), 0x0000FFu);
    // A repaint (here after an edit) paints the text again and the hook again.
    int Before = M->Paints;
    M->SetText("changed");
    ProcessMessages();
    EXPECT_GT(M->Paints, Before);
    I = CaptureWindowImage(M->Handle(), true);
    EXPECT_EQ(Pixel(105, 5), 0xFFFFFFu);
    EXPECT_EQ(Pixel(2, 2), 0xFF0000u);
}

// Draws the first line again through a canvas at the position the control reports, as a
// colouring memo draws its keywords: the pixels must not move.
class TOverdrawMemo : public TMemo {
public:
    using TMemo::TMemo;
    bool Overdraw = false;
    void PaintWindow(HDC DC) override
    {
        TMemo::PaintWindow(DC);
        if (!Overdraw)
            return;
        TCanvas C;
        C.SetHandle(DC);
        C.SetFont(Font());
        C.Brush()->SetColor(Color());
        for (int L = 0; L < Lines()->Count(); ++L) {
            LRESULT P = SendMessage(Handle(), EM_POSFROMCHAR, SendMessage(Handle(), EM_LINEINDEX, L, 0), 0);
            C.TextOut(static_cast<SmallInt>(LOWORD(static_cast<DWORD>(P))),
                      static_cast<SmallInt>(HIWORD(static_cast<DWORD>(P))), Lines()->Get(L));
        }
        C.SetHandle(nullptr);
    }
};

TEST_F(StdEditTest, TextDrawnAtReportedPositionsCoversTheControlsText)
{
    struct TCase {
        const char* Face;
        int Size;
    };
    const TCase Cases[] = {{"Courier New", 10}, {"Courier New", 20},     {"Arial", 12},
                           {"Arial", 9},        {"Times New Roman", 11}, {"MS Sans Serif", 8}};
    for (const TCase& FC : Cases) {
        SCOPED_TRACE(std::string(FC.Face) + " " + std::to_string(FC.Size));
        auto* M = NewMemo<TOverdrawMemo>(150);
        M->SetWordWrap(false);
        M->SetColor(clWhite);
        M->Font()->SetName(FC.Face);
        M->Font()->SetSize(FC.Size);
        ShowForm();
        M->SetText("Hello, world! {[(x)]}\r\nsecond line gjpqy\r\nthird\r\nfourth WWW\r\nfifth");
        TDibImage Plain = CaptureWindowImage(M->Handle(), true);
        M->Overdraw = true;
        M->Invalidate();
        TDibImage Over = CaptureWindowImage(M->Handle(), true);
        ASSERT_EQ(Plain.Pixels.size(), Over.Pixels.size());
        // The control clips its text to the formatting rectangle; a canvas may draw a glyph's
        // overhang into the margin, so only the rectangle is compared.
        RECT R{};
        SendMessage(M->Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&R));
        int Ink = 0, Diff = 0;
        for (std::size_t I = 0; I < Plain.Pixels.size(); ++I) {
            if (static_cast<int>(I % static_cast<std::size_t>(Plain.Width)) < R.left)
                continue;
            if ((Plain.Pixels[I] & 0xFFFFFF) != 0xFFFFFF)
                ++Ink;
            if (Plain.Pixels[I] != Over.Pixels[I])
                ++Diff;
        }
        EXPECT_GT(Ink, 50);
        EXPECT_EQ(Diff, 0);
        delete M;
    }
}

TEST_F(StdEditTest, PasswordCharShowsInPlaceOfTheText)
{
    auto* Secret = new TEdit(Form);
    Secret->SetParent(Form);
    Secret->SetPasswordChar('*');
    auto* Shown = new TEdit(Form);
    Shown->SetParent(Form);
    Shown->SetTop(40);
    ShowForm();
    Secret->SetText("WWWW");
    Shown->SetText("****");
    TDibImage A = CaptureWindowImage(Secret->Handle(), true);
    TDibImage B = CaptureWindowImage(Shown->Handle(), true);
    ASSERT_EQ(A.Pixels.size(), B.Pixels.size());
    EXPECT_TRUE(A.Pixels == B.Pixels);
    EXPECT_EQ(Secret->Text(), "WWWW");
}

TEST_F(StdEditTest, SelectionShowsOnlyWithTheFocusUnlessHideSelectionIsOff)
{
    TMemo* M = NewMemo();
    auto* Other = new TEdit(Form);
    Other->SetParent(Form);
    Other->SetTop(150);
    ShowForm();
    M->SetText("MMMMMMMMMM");
    M->SelectAll();
    const DWORD Highlight = 0xFF000000u | ((GetSysColor(COLOR_HIGHLIGHT) & 0xFF) << 16) |
                            (GetSysColor(COLOR_HIGHLIGHT) & 0xFF00) |
                            ((GetSysColor(COLOR_HIGHLIGHT) >> 16) & 0xFF);
    auto Highlighted = [&] {
        TDibImage I = CaptureWindowImage(M->Handle(), true);
        return std::count(I.Pixels.begin(), I.Pixels.end(), Highlight);
    };
    Other->SetFocus();
    ProcessMessages();
    EXPECT_EQ(Highlighted(), 0);
    M->SetFocus();
    ProcessMessages();
    EXPECT_GT(Highlighted(), 20);
    EXPECT_EQ(M->SelLength(), 10); // focusing by code keeps the selection
    M->SetHideSelection(false);
    Other->SetFocus();
    M->SelectAll();
    ProcessMessages();
    EXPECT_GT(Highlighted(), 20);
}

TEST_F(StdEditTest, ColourComesFromTheControl)
{
    TMemo* M = NewMemo();
    M->SetColor(clYellow);
    ShowForm();
    TDibImage I = CaptureWindowImage(M->Handle(), true);
    ASSERT_GT(I.Width, 50);
    EXPECT_EQ(I.Pixels[static_cast<std::size_t>(40 * I.Width + 150)] & 0xFFFFFF, 0xFFFF00u);
    // The text in the font's colour; grey while disabled.
    M->Font()->SetColor(clRed);
    M->SetText("MMMMMMMM");
    auto Count = [&](DWORD Rgb) {
        TDibImage J = CaptureWindowImage(M->Handle(), true);
        return std::count_if(J.Pixels.begin(), J.Pixels.end(),
                             [&](DWORD P) { return (P & 0xFFFFFF) == Rgb; });
    };
    EXPECT_GT(Count(0xFF0000u), 20);
    M->SetEnabled(false);
    EXPECT_EQ(Count(0xFF0000u), 0);
    EXPECT_GT(Count(0x808080u), 20);
}

// ---- streaming --------------------------------------------------------------------------------

TEST_F(StdEditTest, MemoAndEditStreamFromAFormDescription)
{
    auto* F = CreateFormFromText<TForm>(nullptr, R"(object Form1: TForm
  Left = 10
  Top = 10
  ClientWidth = 300
  ClientHeight = 200
  object Memo1: TMemo
    Left = 8
    Top = 8
    Width = 200
    Height = 100
    Lines.Strings = (
      'first line'
      'second line')
    ScrollBars = ssVertical
    WordWrap = False
    WantTabs = True
    ReadOnly = True
    BorderStyle = bsNone
    TabOrder = 0
  end
  object Edit1: TEdit
    Left = 8
    Top = 120
    Width = 100
    Height = 21
    Text = 'abc'
    MaxLength = 5
    PasswordChar = '*'
    CharCase = ecUpperCase
    TabOrder = 1
  end
end
)");
    auto* Memo = dynamic_cast<TMemo*>(F->FindComponent("Memo1"));
    auto* Edit = dynamic_cast<TEdit*>(F->FindComponent("Edit1"));
    ASSERT_NE(Memo, nullptr);
    ASSERT_NE(Edit, nullptr);
    EXPECT_EQ(Memo->Text(), "first line\r\nsecond line\r\n");
    EXPECT_EQ(Memo->Lines()->Count(), 2);
    EXPECT_EQ(Memo->ScrollBars(), ssVertical);
    EXPECT_FALSE(Memo->WordWrap());
    EXPECT_TRUE(Memo->WantTabs);
    EXPECT_TRUE(Memo->ReadOnly());
    EXPECT_EQ(Edit->Text(), "abc"); // no window yet
    EXPECT_EQ(Edit->MaxLength(), 5);
    EXPECT_EQ(Edit->PasswordChar(), '*');
    EXPECT_EQ(Edit->CharCase(), ecUpperCase);
    EXPECT_EQ(Memo->BorderStyle(), bsNone);
    F->Show();
    ProcessMessages();
    EXPECT_EQ(Memo->Lines()->Get(1), "second line");
    EXPECT_NE(GetWindowLong(Memo->Handle(), GWL_STYLE) & WS_VSCROLL, 0);
    EXPECT_NE(GetWindowLong(Memo->Handle(), GWL_STYLE) & ES_READONLY, 0);
    EXPECT_EQ(GetWindowLong(Memo->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    EXPECT_NE(GetWindowLong(Edit->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    Edit->SetFocus();
    Edit->SetSelStart(3);
    PressKey('D', "d");
    EXPECT_EQ(Edit->Text(), "ABCD"); // upper case, the stored text too
    F->BeforeDestruction();
    delete F;
}

} // namespace
