// The span finding of a colouring pass over plain text: what each rule kind finds, how overlaps
// resolve, and the hot-spot tests, without a window.
#include "RulesHost.h"

#include "components/colour-memo/ColMemo.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int None = -1;

// One colour per character of the text (None where no run covers it), and the runs themselves.
struct TPainted {
    std::vector<int> Colors;
    std::vector<TKeyDescr> Runs;
    int At(int Pos) const { return Colors.at(static_cast<std::size_t>(Pos)); }
    // Every character of [From, To] in Color.
    bool All(int From, int To, int Color) const
    {
        for (int p = From; p <= To; ++p)
            if (At(p) != Color)
                return false;
        return true;
    }
};

TPainted Collect(const TColorSpans& Spans, std::size_t Length)
{
    TPainted P;
    P.Colors.assign(Length, None);
    for (int i = 0; i < Spans.Count(); ++i) {
        const TKeyDescr& R = Spans[i];
        P.Runs.push_back(R);
        for (int p = R.StartPos; p <= R.EndPos; ++p)
            if (p >= 0 && static_cast<std::size_t>(p) < Length)
                P.Colors[static_cast<std::size_t>(p)] = R.Color;
    }
    return P;
}

// A pass over the whole text with the given rules (compiled first) and optional extras.
TPainted Pass(TDrawRules* Rules, std::string Text, TScanInput In = {})
{
    if (Rules)
        Rules->PrepareRules();
    In.Text = Text.data();
    In.Start = 0;
    In.End = static_cast<int>(Text.size());
    In.Rules = Rules;
    TColorSpans Spans;
    FindColorRuns(In, Spans);
    return Collect(Spans, Text.size());
}

TColorRule* KeywordRule(TDrawRules& Rules, std::initializer_list<const char*> Words, TColor Def = clRed)
{
    TColorRule* R = Rules.Add();
    R->KeyDrawingType = dtKeyShow;
    R->DefKeyColor = Def;
    for (const char* W : Words)
        R->Keywords()->Add(W);
    return R;
}

TColorRule* BeginEndRule(TDrawRules& Rules, std::initializer_list<const char*> Lines_,
                         TKeyDrawingType Type = dtBeginEnd)
{
    TColorRule* R = Rules.Add();
    R->KeyDrawingType = Type;
    for (const char* L : Lines_)
        (Type == dtBeginLineEnd ? R->KeyLineEndLst() : R->KeyBegEndLst())->Add(L);
    return R;
}

// ---- The main pane's five rules -----------------------------------------------------------------
class MainPaneRules : public testing::Test {
protected:
    std::unique_ptr<TRulesHost> Host = ReadRulesHost("MainPaneRules.form");
    TDrawRules* Rules = Host->ColorRules();
};

TEST_F(MainPaneRules, EqualsSignNeedsNonWordNeighbours)
{
    const std::string T = "x=1 and y = 2";
    TPainted P = Pass(Rules, T);
    EXPECT_EQ(P.At(1), None); // a letter precedes it
    EXPECT_EQ(P.At(10), clRed);
    EXPECT_EQ(P.At(0), None);
}

TEST_F(MainPaneRules, AttributeNamesAreRedOverTheTagsBlueAndTagsBlueOverComments)
{
    const std::string T = "<font COLOR=\"red\" face=x>&nbsp;<!-- <i> -->";
    TPainted P = Pass(Rules, T);
    EXPECT_TRUE(P.All(0, 5, clBlue));
    EXPECT_TRUE(P.All(6, 10, clRed));  // COLOR: later rule, equal ZOrder
    EXPECT_EQ(P.At(11), clBlue);       // "=" after a letter is no keyword
    EXPECT_TRUE(P.All(18, 21, clRed)); // face, matched without regard to case
    EXPECT_EQ(P.At(24), clBlue);
    EXPECT_TRUE(P.All(25, 29, clGreen)); // &nbsp without its ";"
    EXPECT_EQ(P.At(30), None);
    // The comment "<!-- <i> -->" at 31: the tag rule's "<" at 31 runs to the ">" of <i>.
    EXPECT_TRUE(P.All(31, 38, clBlue));
    EXPECT_TRUE(P.All(39, 42, clGray));
}

TEST_F(MainPaneRules, KeywordAtTheStartAndTheLastCharacterOfTheText)
{
    TPainted P = Pass(Rules, "TABLE <b> = x =");
    EXPECT_TRUE(P.All(0, 4, clMaroon));
    EXPECT_TRUE(P.All(6, 8, clRed)); // the keyword <B> of rule 4 over the tag of rule 3
    EXPECT_EQ(P.At(10), clRed);
    EXPECT_EQ(P.At(14), clRed);
}

TEST_F(MainPaneRules, UnterminatedBeginColoursNothingButEarlierSpansStay)
{
    const std::string T = "a = <i> <open";
    TPainted P = Pass(Rules, T);
    EXPECT_EQ(P.At(2), clRed);        // an earlier rule's span stays
    EXPECT_TRUE(P.All(4, 6, clBlue)); // and so does this rule's
    EXPECT_TRUE(P.All(8, 12, None));
}

TEST_F(MainPaneRules, CommentEndBeyondTheRangeIsNotColoured)
{
    std::string T = "<!-- open comment\r\nstill";
    TPainted P = Pass(Rules, T);
    EXPECT_TRUE(P.All(0, static_cast<int>(T.size()) - 1, None));
}

// ---- Keywords -----------------------------------------------------------------------------------
struct TWordCase {
    const char* Text;
    bool KeyCase;
    bool PartWord;
    int MatchAt; // where "if" is coloured, or None
};

TEST(KeywordScan, WordBoundariesCaseAndPartWord)
{
    const TWordCase Cases[] = {
        {"if", false, false, 0},         {"IF x", false, false, 0},   {"If x", true, false, None},
        {"elif", false, false, None},    {"elif", false, true, 2},    {"1if2", false, false, 1},
        {"_if_", false, false, 1},       {"@if", false, false, None}, {"if@", false, false, None},
        {"[if]", false, false, 1},       {"`if`", false, false, 1},   {"{if}", false, false, 1},
        {"\xC3\xA9if", false, false, 2}, {"Zif", false, false, None},
    };
    for (const TWordCase& C : Cases) {
        TDrawRules Rules(nullptr);
        TColorRule* R = KeywordRule(Rules, {"if;blue"});
        R->KeyCase = C.KeyCase;
        R->PartWord = C.PartWord;
        const std::string T = C.Text;
        TPainted P = Pass(&Rules, T);
        SCOPED_TRACE(T);
        for (int p = 0; p < static_cast<int>(T.size()); ++p) {
            const bool In = C.MatchAt != None && p >= C.MatchAt && p < C.MatchAt + 2;
            EXPECT_EQ(P.At(p), In ? clBlue : None) << "at " << p;
        }
        for (const TKeyDescr& Run : P.Runs)
            EXPECT_EQ(Run.IsKeyword, 1);
    }
}

TEST(KeywordScan, EveryOccurrenceAndSearchesResumeAfterTheKeyword)
{
    TDrawRules Rules(nullptr);
    KeywordRule(Rules, {"aa;blue"}, clRed)->PartWord = true;
    TPainted P = Pass(&Rules, "aaa aa");
    EXPECT_TRUE(P.All(0, 1, clBlue));
    EXPECT_EQ(P.At(2), None); // the next search starts after the two characters
    EXPECT_TRUE(P.All(4, 5, clBlue));
}

TEST(KeywordScan, ChangingKeyCaseAloneDoesNotChangeMatching)
{
    TDrawRules Rules(nullptr);
    TColorRule* R = KeywordRule(Rules, {"word"});
    TPainted Before = Pass(&Rules, "a WORD b");
    R->KeyCase = true;
    TPainted After = Pass(&Rules, "a WORD b");
    EXPECT_EQ(Before.Colors, After.Colors);
    EXPECT_TRUE(After.All(2, 5, clRed));
    R->SetKeywords(R->Keywords()); // compiled again: now case counts
    EXPECT_TRUE(Pass(&Rules, "a WORD b").All(2, 5, None));
}

TEST(KeywordScan, AsteriskSplitsAKeywordAndEmptyTokensKeepTheirColourBytes)
{
    TDrawRules Rules(nullptr);
    // "#2B002A" is stored as the bytes '+', 0, '*', 0: the colour of an empty token must be
    // stepped over as a whole, or its '*' would start a token of its own.
    KeywordRule(Rules, {"a*b;green", "x*;#2B002A", "y;navy"}, clRed);
    const std::string T = "a b x y + ab";
    TPainted P = Pass(&Rules, T);
    EXPECT_EQ(P.At(0), clRed); // every piece but the last takes DefKeyColor
    EXPECT_EQ(P.At(2), clGreen);
    EXPECT_EQ(P.At(4), clRed);
    EXPECT_EQ(P.At(6), clNavy);
    EXPECT_EQ(P.At(8), None);
    EXPECT_TRUE(P.All(10, 11, None));
}

TEST(KeywordScan, LongKeywordsMatchOnlyOnTheirWholeText)
{
    const std::string Long = std::string(30, 'k') + "tail1";
    TDrawRules Rules(nullptr);
    KeywordRule(Rules, {(Long + ";blue").c_str()});
    const std::string Near = std::string(30, 'k') + "other";
    TPainted P = Pass(&Rules, Near + " " + Long);
    EXPECT_TRUE(P.All(0, 34, None));
    EXPECT_TRUE(P.All(36, 70, clBlue));
}

// The keyword scan as a plain search per token in turn, each search resuming after the
// occurrence it found, from the rule's lookup string.
void SearchEachToken(const TColorRule& R, const std::string& Text, TColorSpans& Spans)
{
    const std::string& Lookup = R.KeyLookup();
    std::string Searched = Text;
    if (!R.KeyCase)
        for (char& C : Searched)
            if (C >= 'a' && C <= 'z')
                C = static_cast<char>(C - 'a' + 'A');
    auto Word = [](unsigned char C) { return (C >= 64 && C <= 90) || (C >= 97 && C <= 122); };
    std::size_t From = 1;
    while (From < Lookup.size()) {
        const std::size_t Star = Lookup.find('*', From);
        if (Star == std::string::npos)
            break;
        const std::string Token = Lookup.substr(From, Star - From);
        TColor Color = R.DefKeyColor;
        std::size_t Next = Star + 1;
        if (Next < Lookup.size() && Lookup[Next] == '+') {
            std::uint32_t C = 0;
            for (int b = 0; b < 4 && Next + 1 + b < Lookup.size(); ++b)
                C |= static_cast<std::uint32_t>(static_cast<unsigned char>(Lookup[Next + 1 + b])) << (8 * b);
            Color = static_cast<TColor>(C);
            Next += 5;
        }
        From = Next;
        if (Token.empty())
            continue;
        const std::size_t L = Token.size();
        for (std::size_t At = Searched.find(Token); At != std::string::npos;
             At = Searched.find(Token, At + L)) {
            const bool Before = At > 0 && Word(static_cast<unsigned char>(Searched[At - 1]));
            const bool After = At + L < Searched.size() && Word(static_cast<unsigned char>(Searched[At + L]));
            if (R.PartWord || (!Before && !After))
                Spans.Add(static_cast<int>(At), static_cast<int>(At + L) - 1, Color, R.ZOrder, 1);
        }
    }
}

TEST(KeywordScan, FindsWhatASearchPerTokenFinds)
{
    // Tokens that overlap themselves and each other, share first letters, repeat, hold "*"
    // or bytes of several-byte characters, over texts made of the same few characters.
    std::mt19937 Random(38);
    const std::string Alphabet = "aAbB=*+ <>\xC3\xA9-";
    auto Pick = [&](int MaxLength) {
        std::string S;
        const int N = 1 + static_cast<int>(Random() % static_cast<unsigned>(MaxLength));
        for (int i = 0; i < N; ++i)
            S += Alphabet[Random() % Alphabet.size()];
        return S;
    };
    for (int Round = 0; Round < 400; ++Round) {
        SCOPED_TRACE("round " + std::to_string(Round));
        TDrawRules Rules(nullptr);
        TColorRule* R = Rules.Add();
        R->KeyDrawingType = dtKeyShow;
        R->KeyCase = Random() % 2;
        R->PartWord = Random() % 2;
        R->DefKeyColor = static_cast<TColor>(Random() % 0x1000000);
        const int Words = 1 + static_cast<int>(Random() % 8);
        for (int w = 0; w < Words; ++w)
            R->Keywords()->Add(Pick(4) +
                               (Random() % 3 == 0 ? ";#" + std::to_string(100000 + Random() % 800000) : ""));
        Rules.PrepareRules();
        std::string Text = Pick(120);
        TColorSpans Expected;
        SearchEachToken(*R, Text, Expected);
        Expected.Resolve();
        TScanInput In;
        In.Text = Text.data();
        In.End = static_cast<int>(Text.size());
        In.Rules = &Rules;
        TColorSpans Got;
        FindColorRuns(In, Got);
        ASSERT_EQ(Got.Count(), Expected.Count()) << Text;
        for (int i = 0; i < Got.Count(); ++i) {
            EXPECT_EQ(Got[i].StartPos, Expected[i].StartPos) << Text;
            EXPECT_EQ(Got[i].EndPos, Expected[i].EndPos) << Text;
            EXPECT_EQ(Got[i].Color, Expected[i].Color) << Text;
        }
    }
}

TEST(KeywordScan, NothingWithoutKeywords)
{
    TDrawRules Rules(nullptr);
    KeywordRule(Rules, {"", "  "});
    EXPECT_TRUE(Pass(&Rules, "  anything  ").Runs.empty());
}

// ---- Begin/end and line-end -----------------------------------------------------------------
TEST(BeginEndScan, EarliestBeginWinsAndEqualPositionsGoToTheEarlierRecord)
{
    TDrawRules Rules(nullptr);
    BeginEndRule(Rules, {"<;>;red", "<!--;-->;gray"});
    const std::string T = "<!-- <b> --> x";
    TPainted P = Pass(&Rules, T);
    EXPECT_TRUE(P.All(0, 7, clRed));
    EXPECT_TRUE(P.All(8, 13, None));

    TDrawRules Swapped(nullptr);
    BeginEndRule(Swapped, {"<!--;-->;gray", "<;>;red"});
    P = Pass(&Swapped, T);
    EXPECT_TRUE(P.All(0, 11, clGray));
}

TEST(BeginEndScan, ScanResumesOneAfterTheEndTextsFirstCharacter)
{
    TDrawRules Rules(nullptr);
    TColorRule* R = BeginEndRule(Rules, {"x;yx;red"});
    Rules.PrepareRules();
    TColorSpans Spans;
    R->ScanText("xyxyx", 10, Spans);
    ASSERT_EQ(Spans.Count(), 2);
    EXPECT_EQ(Spans[0].StartPos, 10);
    EXPECT_EQ(Spans[0].EndPos, 12);
    EXPECT_EQ(Spans[1].StartPos, 12); // the end's last "x" begins the next span
    EXPECT_EQ(Spans[1].EndPos, 14);
}

TEST(BeginEndScan, AcrossLinesAndEmptyRecordsEndTheTable)
{
    TDrawRules Rules(nullptr);
    BeginEndRule(Rules, {"/*;*/;green", "bad", "<;>;red"});
    const std::string T = "a /* one\r\ntwo */ <b>";
    TPainted P = Pass(&Rules, T);
    EXPECT_TRUE(P.All(2, 15, clGreen));
    EXPECT_TRUE(P.All(17, 19, None)); // behind the empty record
}

TEST(BeginEndScan, EmptyEndTextStopsTheScan)
{
    TDrawRules Rules(nullptr);
    BeginEndRule(Rules, {"[;;red", "<;>;blue"});
    TPainted P = Pass(&Rules, "<a> [ <b>");
    EXPECT_TRUE(P.All(0, 2, clBlue));
    EXPECT_TRUE(P.All(4, 8, None));
}

TEST(LineEndScan, ToTheEndOfEachLineAndOfTheText)
{
    TDrawRules Rules(nullptr);
    BeginEndRule(Rules, {"//;green", ";;maroon"}, dtBeginLineEnd);
    const std::string T = "a // b\r\nc ; d\r\n// e";
    TPainted P = Pass(&Rules, T);
    EXPECT_EQ(P.At(0), None);
    EXPECT_TRUE(P.All(2, 5, clGreen));
    EXPECT_EQ(P.At(6), None); // the line break stays plain
    EXPECT_TRUE(P.All(10, 12, clMaroon));
    EXPECT_TRUE(P.All(15, 18, clGreen));
}

// ---- Event rules --------------------------------------------------------------------------------
TEST(EventScan, ReportedSpansAreOffsetClippedAndLimited)
{
    TDrawRules Rules(nullptr);
    TColorRule* R = Rules.Add();
    R->KeyDrawingType = dtEventDraw;
    R->ZOrder = 9;
    std::vector<TKeyDescr> Array(3);
    std::string Seen;
    TObject* Sender = nullptr;
    TScanInput In;
    In.DrawArray = Array;
    In.OnDraw = [&](TObject* S, const char* FromPos, std::span<TKeyDescr> A, int& ItemsCount) {
        Sender = S;
        Seen = FromPos;
        EXPECT_EQ(ItemsCount, 0);
        EXPECT_EQ(A.size(), 3u);
        EXPECT_EQ(A[0].EndPos, 0);      // cleared before the call
        A[0] = {0, 1, clBlue, 0, 0};    // the rule's ZOrder
        A[1] = {3, 99, clGreen, 20, 0}; // runs past the range: clipped
        A[2] = {-5, -1, clRed, 0, 0};   // before the range: dropped
        ItemsCount = 7;                 // more than the array: the rest is ignored
    };
    std::string Text = "0123456789";
    In.Text = Text.data();
    In.Start = 2;
    In.End = 8;
    Text[8] = 0;
    In.Rules = &Rules;
    TColorSpans Spans;
    FindColorRuns(In, Spans);
    EXPECT_EQ(Sender, R);
    EXPECT_EQ(Seen, "234567");
    TPainted P = Collect(Spans, 10);
    EXPECT_TRUE(P.All(2, 3, clBlue));
    EXPECT_TRUE(P.All(5, 7, clGreen));
    EXPECT_EQ(P.At(8), None);
    ASSERT_EQ(P.Runs.size(), 2u);
    EXPECT_EQ(P.Runs[0].ZOrder, 9);
    EXPECT_EQ(P.Runs[1].ZOrder, 20);
    EXPECT_EQ(P.Runs[1].IsKeyword, 0);
}

TEST(EventScan, NoArrayOrNoHandlerNoCall)
{
    TDrawRules Rules(nullptr);
    Rules.Add()->KeyDrawingType = dtEventDraw;
    int Calls = 0;
    TScanInput In;
    In.OnDraw = [&](TObject*, const char*, std::span<TKeyDescr>, int&) { ++Calls; };
    EXPECT_TRUE(Pass(&Rules, "text", In).Runs.empty());
    EXPECT_EQ(Calls, 0);
}

// ---- Overlaps -----------------------------------------------------------------------------------
TEST(Resolve, HigherZOrderWinsAndLaterWinsAtEqualZOrder)
{
    TDrawRules Rules(nullptr);
    TColorRule* High = BeginEndRule(Rules, {"(;);green"});
    High->ZOrder = 5;
    KeywordRule(Rules, {"x;blue", "y;red"});
    TColorRule* Later = BeginEndRule(Rules, {"[;];navy"});
    (void)Later;
    TPainted P = Pass(&Rules, "(x) [y] x");
    EXPECT_TRUE(P.All(0, 2, clGreen)); // ZOrder 5 beats the later keyword rule
    EXPECT_TRUE(P.All(4, 6, clNavy));  // equal ZOrder: the later rule
    EXPECT_EQ(P.At(8), clBlue);
}

TEST(Resolve, RunsEndWhereCoverageChanges)
{
    // A covered span in colour 0 at priority 0 next to uncovered text: only the span is a run.
    TColorSpans Spans;
    Spans.Add(2, 4, 0, 0, 0);
    Spans.Add(8, 9, 0x123, 0, 0);
    Spans.Resolve();
    ASSERT_EQ(Spans.Count(), 2);
    EXPECT_EQ(Spans[0].StartPos, 2);
    EXPECT_EQ(Spans[0].EndPos, 4);
    EXPECT_EQ(Spans[1].StartPos, 8);

    // A covered black run followed by uncovered cells is kept whole.
    TColorSpans Other;
    Other.Add(0, 2, 0, 0, 0);
    Other.Add(6, 6, 0x456, 1, 0);
    Other.Resolve();
    ASSERT_EQ(Other.Count(), 2);
    EXPECT_EQ(Other[0].StartPos, 0);
    EXPECT_EQ(Other[0].EndPos, 2);
    EXPECT_EQ(Other[1].StartPos, 6);
    EXPECT_EQ(Other[1].ZOrder, 1);

    // Uncovered cells before a covered black span are not painted with it.
    TColorSpans Third;
    Third.Add(0, 0, 0x789, 0, 0);
    Third.Add(3, 4, 0, 0, 0);
    Third.Resolve();
    ASSERT_EQ(Third.Count(), 2);
    EXPECT_EQ(Third[1].StartPos, 3);
    EXPECT_EQ(Third[1].EndPos, 4);
}

TEST(Resolve, KeywordFlagSplitsRunsAndEmptySpansAreSkipped)
{
    TColorSpans Spans;
    Spans.Add(0, 3, clRed, 0, 0);
    Spans.Add(2, 3, clRed, 0, 1);
    Spans.Add(7, 6, clBlue, 9, 0); // empty: only widens the bounds
    Spans.Resolve();
    ASSERT_EQ(Spans.Count(), 2);
    EXPECT_EQ(Spans[0].EndPos, 1);
    EXPECT_EQ(Spans[1].StartPos, 2);
    EXPECT_EQ(Spans[1].IsKeyword, 1);
    EXPECT_EQ(Spans.LowPos(), 0); // the bounds stay until the next Reset
    Spans.Reset();
    EXPECT_EQ(Spans.LowPos(), -1);
    Spans.Resolve();
    EXPECT_EQ(Spans.Count(), 0);
}

TEST(Resolve, SelectionTabsCaretLineAndHotSpots)
{
    TDrawRules Rules(nullptr);
    KeywordRule(Rules, {"ab;blue"});
    THotSpot HotSpot;
    HotSpot.Active = true;
    HotSpot.BeginChar = '[';
    HotSpot.EndChar = ']';
    HotSpot.MarkerColor = clYellow;
    TScanInput In;
    In.HotSpot = &HotSpot;
    In.WantTabs = true;
    In.MemoColor = clWhite;
    In.RedrawAlways = true;
    In.CaretLineStart = 0;
    In.CaretPos = 1;
    In.FontColor = clBlack;
    In.SelStart = 3;
    In.SelLength = 2;
    //                 0123456789012345
    const std::string T = "xy ab\t[go] [] [x";
    TPainted P = Pass(&Rules, T, In);
    EXPECT_TRUE(P.All(0, 1, clBlack)); // the caret line up to the caret, inclusive
    EXPECT_EQ(P.At(2), None);
    EXPECT_TRUE(P.All(3, 4, clWhite)); // the selection masks the keyword
    EXPECT_EQ(P.Runs[1].ZOrder, zoSelection);
    EXPECT_EQ(P.At(5), clWhite); // TAB
    EXPECT_EQ(P.At(6), clYellow);
    EXPECT_TRUE(P.All(7, 8, 0xFF0000));
    EXPECT_EQ(P.At(9), clYellow);
    EXPECT_TRUE(P.All(11, 12, clYellow)); // adjacent markers: only the two markers
    EXPECT_TRUE(P.All(14, 15, None));     // unterminated: nothing
    int Tabs = 0, Markers = 0, Texts = 0;
    for (const TKeyDescr& R : P.Runs) {
        Tabs += R.ZOrder == zoTab;
        Markers += R.ZOrder == zoHotSpotMarker;
        Texts += R.ZOrder == zoHotSpotText;
    }
    EXPECT_EQ(Tabs, 1);
    EXPECT_EQ(Markers, 3); // "[", "]", and the adjacent pair as one run
    EXPECT_EQ(Texts, 1);
}

TEST(Resolve, InactiveHotSpotAndNoRulesColourNothing)
{
    THotSpot HotSpot;
    TScanInput In;
    In.HotSpot = &HotSpot;
    EXPECT_TRUE(Pass(nullptr, "\x1Eword\x1F", In).Runs.empty());
    HotSpot.Active = true;
    HotSpot.BeginChar = 0;
    EXPECT_TRUE(Pass(nullptr, "\x1Eword\x1F", In).Runs.empty());
}

// ---- Hot-spot test ----------------------------------------------------------------------------
struct THotCase {
    const char* Line;
    int C;
    bool On;
    const char* Text;
};

TEST(HotSpotTest, PointsAndClickedText)
{
    const THotCase Cases[] = {
        {"see \x1Eword\x1F here", 6, true, "word"},    // inside
        {"see \x1Eword\x1F here", 5, true, "word"},    // first letter
        {"see \x1Eword\x1F here", 9, true, "word"},    // on the end marker
        {"see \x1Eword\x1F here", 4, false, "word"},   // on the begin marker: a begin lies before the end
        {"see \x1Eword\x1F here", 2, false, "see "},   // before: the begin comes first
        {"see \x1Eword\x1F here", 11, false, " here"}, // after: no end
        {"a\x1E"
         "b\x1F c\x1E"
         "d\x1F",
         3, true, "b"},
        {"plain", 0, false, "plain"},
    };
    for (const THotCase& C : Cases) {
        SCOPED_TRACE(std::string(C.Line) + " @" + std::to_string(C.C));
        EXPECT_EQ(IsHotSpotAt(C.Line, C.C, '\x1E', '\x1F'), C.On);
        if (C.On)
            EXPECT_EQ(HotSpotTextAt(C.Line, C.C, '\x1E', '\x1F'), C.Text);
    }
    // Equal marker characters: any point before an end is on a hot spot.
    EXPECT_TRUE(IsHotSpotAt("x |y| z", 3, '|', '|'));
    EXPECT_EQ(HotSpotTextAt("x |y| z", 3, '|', '|'), "y");
    EXPECT_FALSE(IsHotSpotAt("abc", 7, '[', ']'));
}

// ---- Arbitrary input ----------------------------------------------------------------------------
// Random rule lines and texts (from a fixed seed): every pass ends, and its runs lie inside the
// scanned range, in order, without overlapping.
TEST(ArbitraryInput, RunsStayOrderedDisjointAndInsideTheRange)
{
    std::mt19937 Random(20261210);
    const std::string Alphabet = "<>!-;*+#$/ abAB\r\n\t\x1E\x1F=\"'\xC3\xA9";
    auto Pick = [&](int MaxLength) {
        std::string S;
        const int N = static_cast<int>(Random() % static_cast<unsigned>(MaxLength + 1));
        for (int i = 0; i < N; ++i)
            S += Alphabet[Random() % Alphabet.size()];
        return S;
    };
    for (int Round = 0; Round < 300; ++Round) {
        TDrawRules Rules(nullptr);
        const int RuleCount = 1 + static_cast<int>(Random() % 4);
        for (int r = 0; r < RuleCount; ++r) {
            TColorRule* R = Rules.Add();
            R->KeyDrawingType = static_cast<TKeyDrawingType>(Random() % 4);
            R->ZOrder = static_cast<std::uint8_t>(Random() % 3 == 0 ? Random() % 256 : 0);
            R->PartWord = Random() % 2;
            R->KeyCase = Random() % 2;
            for (int l = 0; l < 4; ++l) {
                R->Keywords()->Add(Pick(8));
                R->KeyBegEndLst()->Add(Pick(10));
                R->KeyLineEndLst()->Add(Pick(8));
            }
        }
        THotSpot HotSpot;
        HotSpot.Active = Random() % 2;
        std::vector<TKeyDescr> Array(3);
        TScanInput In;
        In.HotSpot = &HotSpot;
        In.WantTabs = Random() % 2;
        In.DrawArray = Array;
        In.OnDraw = [&](TObject*, const char*, std::span<TKeyDescr> A, int& ItemsCount) {
            for (TKeyDescr& D : A)
                D = {static_cast<int>(Random() % 80) - 20, static_cast<int>(Random() % 80) - 20, 1,
                     static_cast<std::uint8_t>(Random() % 256), 0};
            ItemsCount = static_cast<int>(Random() % 6) - 1;
        };
        std::string Text = Pick(60);
        const int Length = static_cast<int>(Text.size());
        In.SelStart = static_cast<int>(Random() % 70);
        In.SelLength = static_cast<int>(Random() % 10);
        In.Text = Text.data();
        In.Start = Length ? static_cast<int>(Random() % static_cast<unsigned>(Length)) : 0;
        In.End = Length;
        In.Rules = &Rules;
        Rules.PrepareRules();
        TColorSpans Spans;
        FindColorRuns(In, Spans);
        int Last = In.Start - 1;
        for (int i = 0; i < Spans.Count(); ++i) {
            SCOPED_TRACE("round " + std::to_string(Round));
            EXPECT_GT(Spans[i].StartPos, Last);
            EXPECT_LE(Spans[i].StartPos, Spans[i].EndPos);
            EXPECT_LT(Spans[i].EndPos, In.End);
            Last = Spans[i].EndPos;
        }
    }
}

} // namespace
