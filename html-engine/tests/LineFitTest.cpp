// How much of a block fits a width: the measuring of only about a line's worth of text must give
// the same answer as measuring every candidate prefix.
#include "ModelFixture.h"

namespace {

using LineFit = ModelFixture;

bool IsBoundary(const std::string& Buff, int Pos)
{
    return Pos >= static_cast<int>(Buff.size()) || (static_cast<unsigned char>(Buff[Pos]) & 0xC0) != 0x80;
}

// The longest prefix from Start, ending on a character boundary (or at MaxChars), whose width is
// at most Width: every candidate measured from the start of the line.
int ReferenceFit(TSection* S, TCanvas* Canvas, int Width, int MaxChars, int Start)
{
    const int Most = std::min(MaxChars, S->Len - Start);
    if (S->TextWidth(Canvas, Start, false, Most) <= Width)
        return Most;
    int Best = 0;
    for (int K = 1; K < Most; ++K) {
        if (!IsBoundary(S->Buff, Start + K))
            continue;
        if (S->TextWidth(Canvas, Start, false, K) > Width)
            break;
        Best = K;
    }
    return Best;
}

TEST_F(LineFit, CountThatFitsMatchesMeasuringEveryPrefix)
{
    TMyFont Bold, Big;
    Bold.Assign(&Font);
    Bold.SetStyle(TFontStyles{fsBold});
    Big.Assign(&Font);
    Big.SetNormalSize(&Doc, 20);
    auto* S = new TSection(0, 1, nullptr, &Font);
    // Several runs, multi-byte characters and a stray continuation byte; long enough that one
    // run spans many lines.
    const char* const Words[] = {"plain",
                                 "caf\xC3\xA9",
                                 "\xD0\xBF\xD1\x80\xD0\xB8",
                                 "\xE3\x81\x82\xE3\x81\x84",
                                 "x\x80y",
                                 "wide-wordwithoutanybreak"};
    for (int I = 0; I < 250; ++I) {
        if (I % 97 == 10)
            S->SwitchFont(&Doc, &Bold);
        else if (I % 97 == 40)
            S->SwitchFont(&Doc, &Big);
        else if (I % 97 == 70)
            S->SwitchFont(&Doc, &Font);
        S->AddText(std::string(Words[I % 6]) + " ");
    }
    Doc.Add(S);
    for (const int Width : {-5, 0, 1, 7, 60, 333, 800, 100000})
        for (int Start = 0; Start < S->Len; Start += 37) {
            if (!IsBoundary(S->Buff, Start))
                continue;
            for (const int MaxChars : {S->Len, 50}) {
                SCOPED_TRACE("width " + std::to_string(Width) + " start " + std::to_string(Start) + " max " +
                             std::to_string(MaxChars));
                EXPECT_EQ(S->FindCountThatFits(Canvas(), Width, MaxChars, Start),
                          ReferenceFit(S, Canvas(), Width, MaxChars, Start));
            }
        }
}

TEST_F(LineFit, LongParagraphBreaksAsEveryLineIsMeasuredWhole)
{
    std::string Text;
    for (int I = 0; I < 2000; ++I)
        Text += (I % 7 == 3 ? "na\xC3\xAFve " : "word") + std::to_string(I) + " ";
    TSection* S = AddSection(Text);
    const int Width = 230;
    Layout(Width);
    ASSERT_GT(S->Lines.Count(), 100);
    for (int I = 0; I < S->Lines.Count(); ++I) {
        const LineRec* L = S->Line(I);
        SCOPED_TRACE("line " + std::to_string(I));
        // Each line fits, and the next word would not have.
        EXPECT_LE(S->TextWidth(Canvas(), L->Start, true, L->Ln), Width);
        if (I + 1 < S->Lines.Count()) {
            const LineRec* Next = S->Line(I + 1);
            int WordEnd = Next->Start;
            while (WordEnd < S->Len && S->Buff[WordEnd] != ' ')
                ++WordEnd;
            EXPECT_GT(S->TextWidth(Canvas(), L->Start, true, WordEnd - L->Start), Width);
        }
    }
}

} // namespace
