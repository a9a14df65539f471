#include "platform/qt/EditLines.h"
#include "platform/qt/Bidi.h"

#include <QFontMetricsF>
#include <QTextDocument>
#include <QTextOption>

#include <algorithm>
#include <cmath>

namespace {

// Marks of a block's byte offsets, this many units apart.
constexpr int MarkStep = 512;
// Blocks shorter than this are read whole for each offset; it costs less than marks would.
constexpr int ShortBlock = 2 * MarkStep;
// A window starts at most this many units before the first position it must hold...
constexpr int Reach = 1024;
// ...holds at most this many units from there (the editor's layout slows down on long texts)...
constexpr int MaxSpan = 1024;
// ...and this many after the last one, so the glyphs near its end are shaped with their
// neighbours as in the line.
constexpr int Context = 32;
// How far back from a position a point to start a window is looked for.
constexpr int Search = 128;
// The text kept of a long block reaches this far around what was asked.
constexpr int PartSlack = 8192;

int Utf8Bytes(char16_t C)
{
    if (C < 0x80)
        return 1;
    if (C < 0x800)
        return 2;
    if (QChar::isHighSurrogate(C))
        return 4;
    if (QChar::isLowSurrogate(C))
        return 0;
    return 3;
}

} // namespace

int Utf8Length(QStringView S, int N)
{
    int Bytes = 0;
    N = std::min<int>(N, static_cast<int>(S.size()));
    for (int I = 0; I < N; ++I)
        Bytes += Utf8Bytes(S[I].unicode());
    return Bytes;
}

int Utf16Index(QStringView S, int Bytes)
{
    int Acc = 0;
    int I = 0;
    const int N = static_cast<int>(S.size());
    while (I < N) {
        char16_t C = S[I].unicode();
        int Len = C < 0x80 ? 1 : C < 0x800 ? 2 : QChar::isHighSurrogate(C) ? 4 : 3;
        int Units = QChar::isHighSurrogate(C) && I + 1 < N ? 2 : 1;
        if (Acc + Len > Bytes)
            break;
        Acc += Len;
        I += Units;
    }
    return I;
}

TEditLines::TEditLines(QTextDocument* Doc)
    : FDoc(Doc), FCount(Doc->characterCount()), FBlocks(Doc->blockCount())
{
}

int& TEditLines::NearStart()
{
    static int Units = DefaultNearStart;
    return Units;
}

// ---- offsets ------------------------------------------------------------------------------------

const TEditLines::TBlockText& TEditLines::BlockText(const QTextBlock& B)
{
    const int Block = B.blockNumber();
    for (TBlockText& T : FTexts)
        if (T.Block == Block && T.Edit == FEdit) {
            T.Used = ++FUse;
            return T;
        }
    // A pass goes over several lines by turns: a few are kept.
    TBlockText& Text =
        *std::min_element(FTexts.begin(), FTexts.end(),
                          [](const TBlockText& A, const TBlockText& B) { return A.Used < B.Used; });
    Text.Block = Block;
    Text.Edit = FEdit;
    Text.Used = ++FUse;
    Text.Text = B.text();
    Text.Marks.clear();
    Text.RightToLeft = false;
    const QString& T = Text.Text;
    const int N = static_cast<int>(T.size());
    int Bytes = 0;
    int NextMark = 0;
    for (int I = 0; I < N; ++I) {
        const char16_t C = T[I].unicode();
        if (I >= NextMark && !QChar::isLowSurrogate(C)) {
            Text.Marks.emplace_back(I, Bytes);
            NextMark = I + MarkStep;
        }
        Bytes += Utf8Bytes(C);
        if (C >= 0x590) {
            char32_t U = C;
            if (QChar::isHighSurrogate(C) && I + 1 < N && QChar::isLowSurrogate(T[I + 1].unicode()))
                U = QChar::surrogateToUcs4(C, T[I + 1].unicode());
            if (IsRightToLeftChar(U))
                Text.RightToLeft = true;
        }
    }
    if (Text.Marks.empty())
        Text.Marks.emplace_back(0, 0);
    return Text;
}

int TEditLines::UnitsToBytes(const QTextBlock& B, int Bytes, int Units)
{
    const int Len = B.length() - 1;
    Units = std::clamp(Units, 0, Len);
    if (Bytes == Len) // one byte per unit: ASCII
        return Units;
    if (Len < ShortBlock)
        return Utf8Length(B.text(), Units);
    const TBlockText& T = BlockText(B);
    auto It = std::upper_bound(T.Marks.begin(), T.Marks.end(), Units,
                               [](int U, const std::pair<int, int>& M) { return U < M.first; });
    --It;
    return It->second + Utf8Length(QStringView(T.Text).mid(It->first), Units - It->first);
}

int TEditLines::BytesToUnits(const QTextBlock& B, int Bytes, int Offset)
{
    const int Len = B.length() - 1;
    Offset = std::clamp(Offset, 0, Bytes);
    if (Bytes == Len)
        return Offset;
    if (Len < ShortBlock)
        return Utf16Index(B.text(), Offset);
    const TBlockText& T = BlockText(B);
    auto It = std::upper_bound(T.Marks.begin(), T.Marks.end(), Offset,
                               [](int O, const std::pair<int, int>& M) { return O < M.second; });
    --It;
    return It->first + Utf16Index(QStringView(T.Text).mid(It->first), Offset - It->second);
}

QString TEditLines::TextOf(const QTextBlock& B, int From, int To)
{
    const int Len = B.length() - 1;
    From = std::clamp(From, 0, Len);
    To = std::clamp(To, From, Len);
    if (Len < ShortBlock)
        return B.text().mid(From, To - From);
    const int Block = B.blockNumber();
    if (FPart.Block != Block || From < FPart.From || To > FPart.From + FPart.Text.size()) {
        // The block's own text comes only as a copy of all of it: done once per place.
        const int PartFrom = std::max(0, From - PartSlack), PartTo = std::min(Len, To + PartSlack);
        FPart.Text = B.text().mid(PartFrom, PartTo - PartFrom);
        FPart.From = PartFrom;
        FPart.Block = Block;
    }
    return FPart.Text.mid(From - FPart.From, To - From);
}

QString TEditLines::CharsAt(int Pos, int Count) const
{
    QString T;
    T.reserve(Count);
    for (int I = 0; I < Count; ++I)
        T += FDoc->characterAt(Pos + I);
    return T;
}

// ---- x positions --------------------------------------------------------------------------------

bool TEditLines::HoldsRightToLeft(const QTextBlock& B, int Bytes)
{
    return Bytes != B.length() - 1 && BlockText(B).RightToLeft;
}

bool TEditLines::Measurable(const QTextBlock& B, int Bytes)
{
    const int Len = B.length() - 1;
    if (Len < NearStart())
        return false;
    return !HoldsRightToLeft(B, Bytes);
}

int TEditLines::AnchorPoint(const QString& Text, int TextFrom, int Rel, int Floor) const
{
    const int Low = std::max({Floor + 1, TextFrom + 1, Rel - Search});
    for (int S = std::min(Rel, TextFrom + static_cast<int>(Text.size()) - 1); S >= Low; --S) {
        const char16_t Before = Text[S - 1 - TextFrom].unicode();
        const char16_t At = Text[S - TextFrom].unicode();
        // Nothing joins a blank or an ASCII sign to what follows it.
        const bool Sign = Before < 0x80 && Before != '\t' && !QChar::isLetterOrNumber(Before);
        if (Sign && At < 0x80 && At != '\t')
            return S;
    }
    return -1;
}

void TEditLines::AddAnchor(int Block, int Rel, double X)
{
    if (FAnchorBlock != Block) {
        FAnchors.clear();
        FAnchorBlock = Block;
    }
    auto It = std::lower_bound(FAnchors.begin(), FAnchors.end(), Rel,
                               [](const TAnchor& A, int R) { return A.Rel < R; });
    if (It != FAnchors.end() && It->Rel == Rel)
        return;
    FAnchors.insert(It, TAnchor{Rel, X});
    // A few dozen are plenty for a window's worth of scrolling; drop the one farthest away.
    if (FAnchors.size() > 64) {
        auto Far =
            std::max_element(FAnchors.begin(), FAnchors.end(), [Rel](const TAnchor& A, const TAnchor& B) {
                return std::abs(A.Rel - Rel) < std::abs(B.Rel - Rel);
            });
        FAnchors.erase(Far);
    }
}

bool TEditLines::Build(const QTextBlock& B, int From, int To, double X0)
{
    const QString T = TextOf(B, From, To);
    if (T.contains(QChar('\t')))
        return false;
    auto Layout = std::make_unique<QTextLayout>(T, FDoc->defaultFont());
    QTextOption O = FDoc->defaultTextOption();
    O.setWrapMode(QTextOption::NoWrap);
    O.setAlignment(Qt::AlignLeft);
    O.setTextDirection(Qt::LeftToRight);
    Layout->setTextOption(O);
    Layout->setCacheEnabled(true);
    Layout->beginLayout();
    QTextLine Line = Layout->createLine();
    if (Line.isValid())
        Line.setLineWidth(1e9);
    Layout->endLayout();
    if (!Line.isValid())
        return false;
    FWindow.Block = B.blockNumber();
    FWindow.Edit = FEdit;
    FWindow.From = From;
    FWindow.To = To;
    FWindow.X0 = X0;
    FWindow.Layout = std::move(Layout);
    return true;
}

bool TEditLines::Cover(const QTextBlock& B, const QTextLine& L, int Lo, int Hi)
{
    const int Block = B.blockNumber();
    const int Len = B.length() - 1;
    Hi = std::clamp(Hi, 0, Len);
    Lo = std::clamp(Lo, 0, Hi);
    const bool Current = FWindow.Valid(Block, FEdit);
    if (Current && FWindow.From <= Lo && (Hi + Context <= FWindow.To || FWindow.To == Len))
        return true;

    // Where the new window can start: the known point closest before Lo, at least the line's
    // start.
    int A = 0;
    double XA = L.x();
    if (FAnchorBlock == Block)
        for (auto It = FAnchors.rbegin(); It != FAnchors.rend(); ++It)
            if (It->Rel <= Lo) {
                A = It->Rel;
                XA = It->X;
                break;
            }
    if (Current && FWindow.From <= Lo) {
        // The window there knows the points it holds exactly.
        const int Limit = std::min(Lo, FWindow.To - Context);
        const int S = AnchorPoint(FWindow.Layout->text(), FWindow.From, Limit, std::max(A, FWindow.From - 1));
        if (S > A) {
            A = S;
            XA = FWindow.X0 + FWindow.Layout->lineAt(0).cursorToX(S - FWindow.From);
            AddAnchor(Block, A, XA);
        }
    }
    if (Lo - A > Reach) {
        // Nothing known near: one point measured from the line's start, once.
        const int From = std::max(0, Lo - Search);
        const int S = AnchorPoint(TextOf(B, From, Lo + 1), From, Lo, A);
        if (S < 0)
            return false;
        A = S;
        XA = L.cursorToX(S);
        AddAnchor(Block, A, XA);
    }
    if (!Build(B, A, std::min(Len, Hi + Context), XA))
        return false;
    // A point just before Lo, so the window built after the next edit starts near it.
    if (Lo - A > Search) {
        const int S = AnchorPoint(FWindow.Layout->text(), A, Lo, A);
        if (S > A)
            AddAnchor(Block, S, XA + FWindow.Layout->lineAt(0).cursorToX(S - A));
    }
    return true;
}

void TEditLines::XsOf(const QTextBlock& B, int Bytes, const QTextLine& L, const int* Rels, int Count,
                      double* Xs)
{
    const bool Long = Measurable(B, Bytes);
    int I = 0;
    while (I < Count) {
        const int P = Rels[I];
        if (!Long || P <= 0) {
            // A line's start needs no measuring; asking the editor for it would lay out again
            // what an edit left to be laid out, all along the line.
            Xs[I] = Long ? L.x() : L.cursorToX(P);
            ++I;
            continue;
        }
        int J = I + 1;
        while (J < Count && Rels[J] >= P && Rels[J] - P <= MaxSpan)
            ++J;
        if (Cover(B, L, P, Rels[J - 1])) {
            const QTextLine W = FWindow.Layout->lineAt(0);
            for (int K = I; K < J; ++K)
                Xs[K] = FWindow.X0 + W.cursorToX(Rels[K] - FWindow.From);
        } else {
            for (int K = I; K < J; ++K)
                Xs[K] = L.cursorToX(Rels[K]);
        }
        I = J;
    }
}

bool TEditLines::Holds(const QTextBlock& B, double X)
{
    if (!FWindow.Valid(B.blockNumber(), FEdit) || X < FWindow.X0)
        return false;
    if (FWindow.To == B.length() - 1)
        return true;
    // Short of the glyphs near its end, which are shaped without what follows them.
    const int Last = std::max(FWindow.From, FWindow.To - Context);
    return X < FWindow.X0 + FWindow.Layout->lineAt(0).cursorToX(Last - FWindow.From);
}

bool TEditLines::CoverX(const QTextBlock& B, const QTextLine& L, double Lo, double Hi)
{
    if (Holds(B, Lo) && Holds(B, Hi))
        return true;
    // From the known point last before Lo (at least the line's start), over as many characters
    // as Hi is likely away.
    TAnchor From{0, L.x()};
    if (FAnchorBlock == B.blockNumber())
        for (auto It = FAnchors.rbegin(); It != FAnchors.rend(); ++It)
            if (It->X <= Lo) {
                From = *It;
                break;
            }
    const double Average = std::max(1.0, QFontMetricsF(FDoc->defaultFont()).averageCharWidth());
    const int Units = static_cast<int>((Hi - From.X) / Average * 1.5) + Context;
    if (Units > Reach + MaxSpan)
        return false;
    Build(B, From.Rel, std::min(B.length() - 1, From.Rel + Units), From.X);
    return Holds(B, Lo) && Holds(B, Hi);
}

int TEditLines::PosAtX(const QTextBlock& B, int Bytes, const QTextLine& L, double X,
                       QTextLine::CursorPosition Mode)
{
    if (!Measurable(B, Bytes))
        return L.xToCursor(X, Mode);
    if (X <= L.x())
        return 0;
    if (CoverX(B, L, X, X))
        return FWindow.From + FWindow.Layout->lineAt(0).xToCursor(X - FWindow.X0, Mode);
    // Nothing known near X: the editor finds it, and a window there serves the next questions.
    const int P = L.xToCursor(X, Mode);
    Cover(B, L, std::max(0, P - Search), P + Search);
    return P;
}

void TEditLines::SpanAtX(const QTextBlock& B, int Bytes, const QTextLine& L, double Left, double Right,
                         int& First, int& Last)
{
    // One window for both edges, reaching a little past them, so that the positions asked next
    // (those of what shows between them) are in it too.
    if (Measurable(B, Bytes) && Right > L.x()) {
        const double Slack = Context * std::max(1.0, QFontMetricsF(FDoc->defaultFont()).averageCharWidth());
        CoverX(B, L, std::max(L.x(), Left - Slack), Right + Slack);
    }
    First = PosAtX(B, Bytes, L, Left, QTextLine::CursorOnCharacter);
    Last = PosAtX(B, Bytes, L, Right, QTextLine::CursorOnCharacter);
}

// ---- changes ------------------------------------------------------------------------------------

bool TEditLines::Changed(int Pos, int Removed, int Added)
{
    ++FEdit;
    const int Count = FDoc->characterCount(), Blocks = FDoc->blockCount();
    const bool Consistent = Count == FCount - Removed + Added;
    const bool SameBlocks = Blocks == FBlocks;
    FCount = Count;
    FBlocks = Blocks;
    const QTextBlock B = FDoc->findBlock(Pos);
    if (!B.isValid())
        return Consistent; // at the very end: every block before it is as it was
    const int Block = B.blockNumber();
    const int Q = Pos - B.position();
    // Inside one block, nothing removed or added across a break.
    const bool InBlock = Consistent && SameBlocks && FDoc->findBlock(Pos + Added) == B;

    if (FPart.Block >= 0 && Block <= FPart.Block) {
        const int PartEnd = FPart.From + static_cast<int>(FPart.Text.size());
        if (Block < FPart.Block || !Consistent)
            FPart.Block = -1;
        else if (!InBlock)
            FPart.Text.truncate(std::max(0, Q - FPart.From)); // the block from Pos on is another
        else if (Q + Removed <= FPart.From)
            FPart.From += Added - Removed;
        else if (Q >= PartEnd)
            ; // after the part
        else if (Q >= FPart.From && Q + Removed <= PartEnd && Added <= PartSlack)
            FPart.Text.replace(Q - FPart.From, Removed, CharsAt(Pos, Added));
        else
            FPart.Block = -1;
        if (FPart.Block >= 0 && FPart.Text.isEmpty())
            FPart.Block = -1;
    }

    if (FAnchorBlock < 0)
        return Consistent;
    if (Block < FAnchorBlock) {
        FAnchors.clear();
        FAnchorBlock = -1;
    } else if (Block == FAnchorBlock) {
        // The x of a point depends on the characters before it and on the one at it (kerning
        // of the pair in front); one more is kept out for clusters.
        std::erase_if(FAnchors, [Q](const TAnchor& A) { return A.Rel > Q - 2; });
    }
    return Consistent;
}

void TEditLines::KeepShapes(int Pos, int Added)
{
    const QTextBlock Last = FDoc->findBlock(Pos + Added);
    for (QTextBlock B = FDoc->findBlock(Pos); B.isValid(); B = B.next()) {
        if (B.length() > ShortBlock && B.layout() && !B.layout()->cacheEnabled())
            B.layout()->setCacheEnabled(true);
        if (B == Last)
            break;
    }
}

void TEditLines::Reset()
{
    ++FEdit;
    FAnchors.clear();
    FAnchorBlock = -1;
    FWindow.Layout.reset();
}
