// Lines long enough that the edit measures them from points along them instead of from their
// start: positions, hit tests, the part in view and byte offsets must come out as the editor's
// own measure from the start gives them, also after edits and font changes.
#include "platform/controls/Forms.h"
#include "platform/controls/StdEdit.h"
#include "platform/testing/FormTesting.h"
#include "platform/testing/WinTesting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

// Measured from points along a line from this many characters in (small, so test lines need not
// be huge); far above any test line, everything is measured from the start.
constexpr int AlongFrom = 64;
constexpr int FromStartOnly = 1 << 30;

class EditLongLines : public testing::Test {
protected:
    TWindowTest Fixture;
    TForm* Form = nullptr;
    TMemo* Memo = nullptr;

    void SetUp() override
    {
        Form = new TForm(nullptr);
        Form->SetBounds(50, 50, 520, 300);
        Memo = new TMemo(Form);
        Memo->SetParent(Form);
        Memo->SetBounds(10, 10, 480, 200);
        Memo->SetWordWrap(false);
        Memo->SetScrollBars(ssBoth);
        Form->Show();
        ProcessMessages();
    }
    void TearDown() override
    {
        SetEditMeasuredFromStart(0);
        Form->BeforeDestruction();
        delete Form;
    }
    void UseFont(const char* Face, int Size)
    {
        Memo->Font()->SetName(Face);
        Memo->Font()->SetSize(Size);
        ProcessMessages();
    }
    LRESULT Send(UINT Msg, WPARAM W = 0, LPARAM L = 0) { return SendMessage(Memo->Handle(), Msg, W, L); }
    // The caret to byte offset At, scrolled into view.
    void ShowAt(int At)
    {
        Memo->SetSelStart(At);
        Send(EM_SCROLLCARET);
        ProcessMessages();
    }
    std::vector<TPoint> Positions(const std::vector<int>& Indexes, int MeasuredFrom)
    {
        SetEditMeasuredFromStart(MeasuredFrom);
        std::vector<TPoint> P(Indexes.size());
        EXPECT_TRUE(Memo->CharPositions(Indexes, P));
        return P;
    }
    // Both ways agree on every index.
    void ExpectSamePositions(const std::vector<int>& Indexes, const std::string& Where)
    {
        SCOPED_TRACE(Where);
        const std::vector<TPoint> Exact = Positions(Indexes, FromStartOnly);
        const std::vector<TPoint> Along = Positions(Indexes, AlongFrom);
        ASSERT_EQ(Exact.size(), Along.size());
        int Wrong = 0;
        for (std::size_t I = 0; I < Exact.size(); ++I)
            if (Exact[I].x != Along[I].x || Exact[I].y != Along[I].y) {
                if (++Wrong <= 5)
                    ADD_FAILURE() << "index " << Indexes[I] << ": " << Along[I].x << "," << Along[I].y
                                  << " where the editor says " << Exact[I].x << "," << Exact[I].y;
            }
        EXPECT_EQ(Wrong, 0);
    }
};

// Byte offsets where characters start in T, from From up to To (a line break is one).
std::vector<int> CharStarts(const std::string& T, int From, int To)
{
    std::vector<int> R;
    for (int I = std::max(From, 0); I < std::min<int>(To, static_cast<int>(T.size())); ++I) {
        const auto C = static_cast<unsigned char>(T[static_cast<std::size_t>(I)]);
        if ((C & 0xC0) != 0x80 && !(C == '\n' && I > 0 && T[static_cast<std::size_t>(I) - 1] == '\r'))
            R.push_back(I);
    }
    return R;
}

std::string Repeat(const std::string& Piece, std::size_t Bytes)
{
    std::string T;
    while (T.size() < Bytes)
        T += Piece;
    return T;
}

struct TSample {
    const char* Name;
    const char* Piece;
};
const TSample Samples[] = {
    {"markup", "<tr><td width=\"120\" bgcolor=\"#ffffff\"><a href=\"page.html\">Chapter 7</a></td>"},
    {"kerning and ligatures", "AVAWAT To Ty Yo LT \"AV\" P. V, fi ffl fj WAVE. Wo-Va(Te)"},
    {"several bytes",
     "\xC3\xA9\xE2\x82\xAC \xC3\xBC \xE6\xBC\xA2\xE5\xAD\x97 x\xF0\x9F\x98\x80y e\xCC\x81 \xC3\xB1 "
     "\xE2\x80\x94 \xE2\x80\x9Cq\xE2\x80\x9D; "},
    {"no blanks or signs", "aGVsbG8gd29ybGQgdGhpcyBpcyBiYXNlNjQ0123456789"},
    {"tabs", "a\tbb\tccc = d;\t"},
    {"right to left",
     "abc \xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D 123 \xD9\x85\xD8\xB1\xD8\xAD\xD8\xA8\xD8\xA7 def; "},
};
const struct {
    const char* Face;
    int Size;
} Fonts[] = {{"Courier New", 10}, {"Arial", 12}, {"Times New Roman", 11}};

TEST_F(EditLongLines, PositionsAgreeWithTheEditorsOwnMeasure)
{
    for (const auto& F : Fonts)
        for (const TSample& Sample : Samples) {
            SCOPED_TRACE(std::string(F.Face) + ", " + Sample.Name);
            UseFont(F.Face, F.Size);
            const std::string Line = Repeat(Sample.Piece, 6000);
            const std::string T = "short line\r\n" + Line + "\r\nafter";
            Memo->SetText(T);
            ProcessMessages();
            const int L = 12; // where the long line starts
            for (int At : {L + 40, L + 3000, L + static_cast<int>(Line.size()) - 5}) {
                ShowAt(At);
                // The characters around the caret, some far before and after it, and one past
                // the line's end.
                std::vector<int> Indexes = CharStarts(T, At - 150, At + 150);
                std::vector<int> Far = CharStarts(T, L + 70, L + 80);
                Far.insert(Far.end(), Indexes.begin(), Indexes.end());
                const std::vector<int> After =
                    CharStarts(T, L + static_cast<int>(Line.size()) - 8, static_cast<int>(T.size()));
                Far.insert(Far.end(), After.begin(), After.end());
                std::sort(Far.begin(), Far.end());
                Far.erase(std::unique(Far.begin(), Far.end()), Far.end());
                ExpectSamePositions(Far, "around " + std::to_string(At));
            }
        }
}

TEST_F(EditLongLines, EditsAndFontChangesMeasureAfresh)
{
    UseFont("Arial", 12);
    const std::string Line = Repeat(Samples[1].Piece, 8000);
    Memo->SetText(Line);
    const int Mid = 4000;
    ShowAt(Mid);
    auto Around = [&](int At) { return CharStarts(Memo->Text(), At - 200, At + 200); };
    ExpectSamePositions(Around(Mid), "before any edit");
    // Typed, removed and pasted text in view changes everything after it, nothing before it.
    struct {
        const char* Name;
        int SelStart, SelLength;
        const char* Typed;
    } Edits[] = {
        {"a wide letter typed", Mid, 0, "W"},
        {"a narrow one over two", Mid - 50, 2, "i"},
        {"a pair that kerns", Mid + 10, 0, "AV"},
        {"several bytes", Mid - 5, 0, "\xE2\x82\xAC\xC3\xA9"},
        {"a line break", Mid + 30, 0, "\r\n"},
        {"the break taken out", Mid + 30, 2, ""},
        {"text before the window", 200, 0, "WWWWWWWWWW"},
    };
    for (const auto& E : Edits) {
        // Measured first, so what is remembered along the line is in place when the edit comes.
        Positions(Around(Mid), AlongFrom);
        Memo->SetSelStart(E.SelStart);
        Memo->SetSelLength(E.SelLength);
        Memo->SetSelText(E.Typed);
        ProcessMessages();
        ExpectSamePositions(Around(Mid), E.Name);
    }
    Send(EM_UNDO);
    ExpectSamePositions(Around(Mid), "undone");
    UseFont("Times New Roman", 14);
    ShowAt(Mid);
    ExpectSamePositions(Around(Mid), "another font");
    Memo->SetText(std::string(5000, 'i') + std::string(5000, 'W'));
    ShowAt(7000);
    ExpectSamePositions(Around(7000), "new text");
}

TEST_F(EditLongLines, HitTestsAndThePartInViewAgreeWithTheEditor)
{
    for (const auto& F : Fonts) {
        SCOPED_TRACE(F.Face);
        UseFont(F.Face, F.Size);
        const std::string T = "first\r\n" + Repeat(Samples[0].Piece, 9000) + "\r\nlast";
        Memo->SetText(T);
        ShowAt(4500);
        RECT R{};
        Send(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&R));
        const std::vector<TPoint> Line = Positions({7}, FromStartOnly);
        const int Y = Line[0].y + 3;
        for (int X = R.left - 3; X < R.right + 3; X += 3) {
            int Exact = -1, Along = -2, LineExact = -1, LineAlong = -2;
            SetEditMeasuredFromStart(FromStartOnly);
            ASSERT_TRUE(Memo->CharFromPos(X, Y, Exact, LineExact));
            SetEditMeasuredFromStart(AlongFrom);
            ASSERT_TRUE(Memo->CharFromPos(X, Y, Along, LineAlong));
            EXPECT_EQ(Along, Exact) << "x " << X;
            EXPECT_EQ(LineAlong, 1);
            EXPECT_EQ(LineExact, 1);
        }
        // The part in view: from the character under the left edge to the one under the right.
        int From = -1, To = -1;
        SetEditMeasuredFromStart(AlongFrom);
        ASSERT_TRUE(Memo->LineSpanInView(1, From, To));
        std::map<int, int> X; // character start -> client x
        const std::vector<int> Starts = CharStarts(T, 7, 7 + 9100);
        const std::vector<TPoint> P = Positions(Starts, FromStartOnly);
        for (std::size_t I = 0; I < P.size(); ++I)
            X[Starts[I]] = P[I].x;
        ASSERT_TRUE(X.count(From) && X.count(To));
        // Within one character of the edges (positions are whole pixels, the edges are not).
        EXPECT_LE(X[From], R.left);
        EXPECT_GE(std::next(X.find(From))->second, R.left);
        EXPECT_LT(std::prev(X.find(To))->second, R.right);
        EXPECT_GE(X[To], R.right - 1);
        // Short lines are given whole.
        ASSERT_TRUE(Memo->LineSpanInView(2, From, To));
        EXPECT_EQ(To - From, 4);
    }
}

TEST_F(EditLongLines, OffsetsAndTextRangesFollowEdits)
{
    SetEditMeasuredFromStart(AlongFrom);
    // A long ASCII line, a long line of characters of several bytes, a short one.
    // Long enough that only a part of it is kept for reading at a time.
    Memo->SetText(Repeat("plain ascii text; ", 40000) + "\r\n" +
                  Repeat("\xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80 ", 3000) + "\r\nend");
    std::mt19937 Random(7);
    auto Check = [&](const std::string& Step) {
        SCOPED_TRACE(Step);
        const std::string T = Memo->Text();
        ASSERT_EQ(Send(WM_GETTEXTLENGTH), static_cast<LRESULT>(T.size()));
        std::size_t Start = 0;
        for (int Line = 0;; ++Line) {
            const std::size_t Break = T.find("\r\n", Start);
            const std::size_t End = Break == std::string::npos ? T.size() : Break;
            EXPECT_EQ(Send(EM_LINEINDEX, static_cast<WPARAM>(Line)), static_cast<LRESULT>(Start)) << Line;
            EXPECT_EQ(Send(EM_LINELENGTH, Start), static_cast<LRESULT>(End - Start)) << Line;
            if (Break == std::string::npos)
                break;
            Start = Break + 2;
        }
        // Offsets where characters start go to the editor and back unchanged; ranges of the text
        // come out as the text has them, cut anywhere.
        const std::vector<int> Starts = CharStarts(T, 0, static_cast<int>(T.size()));
        for (int K = 0; K < 200; ++K) {
            const int At = Starts[Random() % Starts.size()];
            Send(EM_SETSEL, static_cast<WPARAM>(At), At);
            DWORD A = 0, B = 0;
            Send(EM_GETSEL, reinterpret_cast<WPARAM>(&A), reinterpret_cast<LPARAM>(&B));
            ASSERT_EQ(static_cast<int>(A), At);
            const int From = static_cast<int>(Random() % T.size());
            const int To =
                std::min<int>(static_cast<int>(T.size()), From + static_cast<int>(Random() % 5000));
            std::string Got(static_cast<std::size_t>(To - From), '\0');
            ASSERT_EQ(Memo->GetTextRange(From, To, Got.data()), To - From);
            ASSERT_EQ(Got, T.substr(static_cast<std::size_t>(From), static_cast<std::size_t>(To - From)))
                << From << ".." << To;
        }
    };
    Check("set");
    struct {
        const char* Name;
        int Line, Offset, SelLength; // where, in bytes into the line
        const char* Typed;           // nullptr: a Backspace
        int ReadAt;                  // bytes into line 0 read just before the edit; -1: none
    } Steps[] = {
        {"a letter in the ASCII line", 0, 3000, 0, "x", -1},
        {"two bytes in the ASCII line", 0, 3001, 0, "\xC3\xB6", -1},
        {"backspace over them", 0, 3003, 0, nullptr, -1},
        {"a word for three letters before the part read", 0, 10, 3, "words", 30000},
        {"letters removed after the part read", 0, 39000, 7, "", 1000},
        {"three bytes replacing two in the other line", 1, 3, 2, "\xE2\x82\xAC", -1},
        {"lines pasted inside the part read", 0, 39500, 0, "one\r\ntwo \xC3\xA9\r\n", 38000},
        {"backspace joining two lines", 1, 0, 0, nullptr, -1},
        {"a letter far into the long line", 0, 39000, 0, "z", -1},
    };
    for (const auto& S : Steps) {
        const int At = static_cast<int>(Send(EM_LINEINDEX, static_cast<WPARAM>(S.Line))) + S.Offset;
        Memo->SetSelStart(At);
        Memo->SetSelLength(S.SelLength);
        if (S.ReadAt >= 0) {
            char Some[100];
            Memo->GetTextRange(S.ReadAt, S.ReadAt + 100, Some);
        }
        if (S.Typed)
            Memo->SetSelText(S.Typed);
        else
            Send(WM_CHAR, VK_BACK);
        // What a colouring pass reads first: the text around the edit.
        const std::string T = Memo->Text();
        const int From = std::max(At - 50, 0), To = std::min<int>(At + 50, static_cast<int>(T.size()));
        std::string Got(static_cast<std::size_t>(To - From), '\0');
        Memo->GetTextRange(From, To, Got.data());
        EXPECT_EQ(Got, T.substr(static_cast<std::size_t>(From), Got.size())) << S.Name;
        Check(S.Name);
    }
    Send(EM_UNDO);
    Check("undone");
}

} // namespace
