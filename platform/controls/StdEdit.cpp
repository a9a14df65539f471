// The "EDIT" window class and the edit and memo controls on it.
//
// The text lives in a QPlainTextEdit that is never shown on screen: it does the text storage,
// layout, cursor movement and undo, and is rendered into the window's surface during WM_PAINT.
// Input reaches the window as our messages like any other window's and is handed to the editor
// here, so a control handling a key or click itself keeps the editor from seeing it, and
// anything a descendant draws on the window after the inherited painting stays on top.
//
// Character indexes in messages are byte offsets into the UTF-8 text with CR LF between lines;
// the editor counts UTF-16 units with one separator per line. TEditState maps between the two.
#include "platform/controls/StdEdit.h"

#include "platform/classes/TypInfo.h"
#include "platform/qt/EditLines.h"
#include "platform/qt/GdiSurface.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QRawFont>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

namespace {

// The editor's layout with lines exactly the font's text height apart (ascent + descent), as the
// platform's edit spaces them; the stock layout adds the font's fractional leading, which makes
// lines drift away from positions computed from the text height.
class TEditLayout : public QPlainTextDocumentLayout {
public:
    explicit TEditLayout(QTextDocument* Doc) : QPlainTextDocumentLayout(Doc) {}
    int Pitch = 0;
    QRectF blockBoundingRect(const QTextBlock& Block) const override
    {
        QRectF R = QPlainTextDocumentLayout::blockBoundingRect(Block);
        QTextLayout* L = Block.isValid() ? Block.layout() : nullptr;
        if (!L || Pitch <= 0 || !Block.isVisible() || L->lineCount() == 0)
            return R;
        for (int K = 0; K < L->lineCount(); ++K) {
            QTextLine Line = L->lineAt(K);
            if (Line.y() != K * Pitch)
                Line.setPosition(QPointF(Line.x(), K * Pitch));
        }
        R.setHeight(L->lineCount() * Pitch);
        return R;
    }
};

// The editor, with its painting switched off except while we render it ourselves.
class TEditView : public QPlainTextEdit {
public:
    bool Rendering = false;
    using QPlainTextEdit::contentOffset;
    using QPlainTextEdit::firstVisibleBlock;
    using QPlainTextEdit::setViewportMargins;

protected:
    void paintEvent(QPaintEvent* E) override
    {
        if (Rendering)
            QPlainTextEdit::paintEvent(E);
    }
};

std::string ToUtf8(const QString& S)
{
    QByteArray B = S.toUtf8();
    return std::string(B.constData(), static_cast<std::size_t>(B.size()));
}

// CR, LF and CR LF all become one "\n" (the editor's line break).
QString EditorText(const std::string& Text)
{
    std::string S;
    S.reserve(Text.size());
    for (std::size_t I = 0; I < Text.size(); ++I) {
        char C = Text[I];
        if (C == '\r') {
            S += '\n';
            if (I + 1 < Text.size() && Text[I + 1] == '\n')
                ++I;
        } else {
            S += C;
        }
    }
    return QString::fromUtf8(S.data(), static_cast<qsizetype>(S.size()));
}

std::string NormalizeBreaks(const std::string& Text)
{
    std::string S;
    S.reserve(Text.size() + 16);
    for (std::size_t I = 0; I < Text.size(); ++I) {
        char C = Text[I];
        if (C == '\r' || C == '\n') {
            S += "\r\n";
            if (C == '\r' && I + 1 < Text.size() && Text[I + 1] == '\n')
                ++I;
        } else {
            S += C;
        }
    }
    return S;
}

int QtKeyOf(int Vk)
{
    switch (Vk) {
    case VK_PRIOR:
        return Qt::Key_PageUp;
    case VK_NEXT:
        return Qt::Key_PageDown;
    case VK_END:
        return Qt::Key_End;
    case VK_HOME:
        return Qt::Key_Home;
    case VK_LEFT:
        return Qt::Key_Left;
    case VK_UP:
        return Qt::Key_Up;
    case VK_RIGHT:
        return Qt::Key_Right;
    case VK_DOWN:
        return Qt::Key_Down;
    case VK_DELETE:
        return Qt::Key_Delete;
    default:
        return 0;
    }
}

struct TEditState {
    HWND Wnd = nullptr;
    std::unique_ptr<TEditView> View;
    QTextDocument* Doc = nullptr;
    TEditLayout* Layout = nullptr;
    bool Modified = false;
    bool Focused = false;
    bool Dragging = false;
    bool Painting = false;
    bool Notifying = true; // EN_CHANGE for text set from code too
    int Limit = 0;         // bytes; 0: none
    char32_t PasswordChar = 0;
    bool HaveRect = false;
    RECT FormatRect{};
    HFONT Font = nullptr;
    // Byte offset of each line's start; the last entry is the text length.
    mutable std::vector<int> Starts;
    mutable bool MapValid = false;
    // Offsets and x positions along long lines.
    std::unique_ptr<TEditLines> Lines;
    SCROLLINFO LastV{}, LastH{};

    DWORD Style() const { return static_cast<DWORD>(GetWindowLong(Wnd, GWL_STYLE)); }
    bool Multi() const { return (Style() & ES_MULTILINE) != 0; }
    bool ReadOnly() const { return (Style() & ES_READONLY) != 0; }
    bool Wraps() const
    {
        DWORD S = Style();
        return (S & ES_MULTILINE) && !(S & ES_AUTOHSCROLL) && !(S & WS_HSCROLL);
    }

    // ---- index mapping ----
    void BuildMap() const
    {
        if (MapValid)
            return;
        Starts.clear();
        int At = 0;
        for (QTextBlock B = Doc->begin(); B.isValid(); B = B.next()) {
            Starts.push_back(At);
            const QString T = B.text();
            At += Utf8Length(T, static_cast<int>(T.size())) + 2;
        }
        if (Starts.empty())
            Starts.push_back(0);
        Starts.push_back(std::max(0, At - 2));
        MapValid = true;
    }
    // After an edit inside one block the map is mended (that block's length, the starts after
    // it); anything else builds it again. Rebuilding reads every block's text, which costs a long
    // text far more than the keystroke that changed one line.
    void ContentsChanged(int Pos, int Removed, int Added) const
    {
        const bool Consistent = Lines->Changed(Pos, Removed, Added);
        Lines->KeepShapes(Pos, Added);
        if (!MapValid)
            return;
        const int Blocks = Doc->blockCount();
        const QTextBlock B = Doc->findBlock(Pos);
        // Nothing added across a break and as many blocks as before: nothing removed across one.
        if (!B.isValid() || static_cast<std::size_t>(Blocks) + 1 != Starts.size() ||
            Doc->findBlock(Pos + Added) != B) {
            MapValid = false;
            return;
        }
        const auto N = static_cast<std::size_t>(B.blockNumber());
        const int OldBytes = BlockBytes(N);
        const int Units = B.length() - 1;
        int NewBytes;
        if (Consistent && OldBytes == Units - Added + Removed && Added <= 4096) {
            // The block was ASCII, a byte a unit, so only what came in needs counting: a long
            // line is not read again for each character typed into it.
            NewBytes = OldBytes - Removed + Utf8Length(Lines->CharsAt(Pos, Added), Added);
        } else {
            const QString Text = B.text();
            NewBytes = Utf8Length(Text, static_cast<int>(Text.size()));
        }
        const int Delta = NewBytes - OldBytes;
        if (Delta != 0)
            for (std::size_t I = N + 1; I < Starts.size(); ++I)
                Starts[I] += Delta;
    }
    // UTF-8 length of block N (the map is built).
    int BlockBytes(std::size_t N) const
    {
        const int End = N + 2 == Starts.size() ? Starts.back() : Starts[N + 1] - 2;
        return End - Starts[N];
    }
    int Length() const
    {
        BuildMap();
        return Starts.back();
    }
    int ToByte(int Pos) const
    {
        BuildMap();
        QTextBlock B = Doc->findBlock(std::max(0, Pos));
        if (!B.isValid())
            return Length();
        const auto N = static_cast<std::size_t>(B.blockNumber());
        return Starts[N] + Lines->UnitsToBytes(B, BlockBytes(N), Pos - B.position());
    }
    int ToPos(int Byte) const
    {
        BuildMap();
        Byte = std::clamp(Byte, 0, Length());
        auto It = std::upper_bound(Starts.begin(), Starts.end() - 1, Byte);
        int N = static_cast<int>(It - Starts.begin()) - 1;
        N = std::clamp(N, 0, Doc->blockCount() - 1);
        QTextBlock B = Doc->findBlockByNumber(N);
        const auto I = static_cast<std::size_t>(N);
        return B.position() + Lines->BytesToUnits(B, BlockBytes(I), Byte - Starts[I]);
    }
    std::string Text() const
    {
        std::string S;
        for (QTextBlock B = Doc->begin(); B.isValid(); B = B.next()) {
            if (B != Doc->begin())
                S += "\r\n";
            S += ToUtf8(B.text());
        }
        return S;
    }

    // ---- lines (wrapped lines when the edit wraps) ----
    void EnsureLayout(const QTextBlock& B) const
    {
        if (B.isValid() && B.layout() && B.layout()->lineCount() == 0)
            Doc->documentLayout()->blockBoundingRect(B);
    }
    void LayoutAll() const
    {
        if (!Wraps())
            return;
        for (QTextBlock B = Doc->begin(); B.isValid(); B = B.next())
            EnsureLayout(B);
    }
    int LineCount() const
    {
        if (!Multi())
            return 1;
        if (!Wraps())
            return Doc->blockCount();
        LayoutAll();
        return std::max(1, Doc->lineCount());
    }
    int LineOfPos(int Pos) const
    {
        QTextBlock B = Doc->findBlock(std::max(0, Pos));
        if (!B.isValid())
            B = Doc->lastBlock();
        if (!Wraps())
            return Multi() ? B.blockNumber() : 0;
        LayoutAll();
        QTextLine L = B.layout()->lineForTextPosition(Pos - B.position());
        return B.firstLineNumber() + (L.isValid() ? L.lineNumber() : 0);
    }
    // Start and end (before the line break) of a line, editor positions; false past the end.
    bool LineRange(int Line, int& Start, int& End) const
    {
        if (Line < 0 || Line >= LineCount())
            return false;
        if (!Multi()) {
            Start = 0;
            End = Doc->characterCount() - 1;
            return true;
        }
        if (!Wraps()) {
            QTextBlock B = Doc->findBlockByNumber(Line);
            Start = B.position();
            End = B.position() + (B.length() - 1);
            return true;
        }
        QTextBlock B = Doc->findBlockByLineNumber(Line);
        if (!B.isValid())
            return false;
        int K = Line - B.firstLineNumber();
        QTextLayout* Lay = B.layout();
        if (K < 0 || K >= std::max(1, Lay->lineCount())) {
            Start = End = B.position();
            return true;
        }
        if (Lay->lineCount() == 0) {
            Start = B.position();
            End = B.position() + (B.length() - 1);
            return true;
        }
        QTextLine L = Lay->lineAt(K);
        Start = B.position() + L.textStart();
        End = Start + L.textLength();
        if (K == Lay->lineCount() - 1)
            End = B.position() + (B.length() - 1);
        return true;
    }

    // ---- geometry ----
    RECT ClientRect() const
    {
        RECT R{};
        GetClientRect(Wnd, &R);
        return R;
    }
    RECT Rect() const
    {
        if (HaveRect)
            return FormatRect;
        RECT R = ClientRect();
        R.left += 2;
        R.right = std::max(R.left, R.right - 2);
        if (Multi()) {
            R.top += 1;
        } else {
            // One line, centred like the platform's single-line edit.
            int H = static_cast<int>(std::lround(LineHeight()));
            R.top = std::max(0, (R.bottom - H) / 2);
        }
        return R;
    }
    double LineHeight() const
    {
        QTextBlock B = Doc->begin();
        EnsureLayout(B);
        if (Layout && Layout->Pitch > 0)
            return Layout->Pitch;
        if (B.isValid() && B.layout() && B.layout()->lineCount() > 0)
            return Doc->documentLayout()->blockBoundingRect(B).height() / B.layout()->lineCount();
        return QFontMetricsF(View->font()).lineSpacing();
    }
    int FirstVisibleLine() const
    {
        if (!Multi())
            return 0;
        return View->verticalScrollBar()->value();
    }
    // Whether lines are laid out unwrapped from the left, so x along them grows with the text
    // and long ones can be measured from points along them.
    bool StraightLines() const
    {
        return !Wraps() && (Doc->defaultTextOption().alignment() & Qt::AlignHorizontal_Mask &
                            ~Qt::AlignAbsolute) == Qt::AlignLeft;
    }
    // Where layout x and line numbers land in the client area (the lines laid out).
    struct TClientOrigin {
        int TopLine;
        QPointF Off;
        RECT R;
        double Pitch;
        QPoint Of(double X, int Line) const
        {
            const double Y = R.top + Off.y() + (Line - TopLine) * Pitch;
            return QPoint(static_cast<int>(std::floor(R.left + Off.x() + X)),
                          static_cast<int>(std::lround(Y)));
        }
    };
    TClientOrigin ClientOrigin() const
    {
        const QTextBlock Top = View->firstVisibleBlock();
        const int TopLine = Top.isValid() ? (Wraps() ? Top.firstLineNumber() : Top.blockNumber()) : 0;
        return TClientOrigin{TopLine, View->contentOffset(), Rect(), LineHeight()};
    }
    // Client positions of editor positions Pos (ascending), the top-left of each character cell;
    // positions on one unwrapped line are measured together.
    void PosToClients(const int* Pos, int Count, QPoint* Out) const
    {
        if (Count <= 0)
            return;
        LayoutAll();
        const TClientOrigin O = ClientOrigin();
        const bool Straight = StraightLines();
        auto ClientOf = [&](double X, int Line) { return O.Of(X, Line); };
        for (int I = 0; I < Count;) {
            QTextBlock B = Doc->findBlock(std::max(0, Pos[I]));
            if (!B.isValid())
                B = Doc->lastBlock();
            EnsureLayout(B);
            QTextLayout* Lay = B.layout();
            const int First = B.position();
            const bool Last = !B.next().isValid();
            int J = I + 1;
            while (J < Count && Pos[J] >= First && (Last || Pos[J] < First + B.length()))
                ++J;
            if (Straight && Lay->lineCount() == 1) {
                const QTextLine L = Lay->lineAt(0);
                const int N = J - I;
                FRels.resize(static_cast<std::size_t>(N));
                FXs.resize(static_cast<std::size_t>(N));
                for (int K = 0; K < N; ++K)
                    FRels[static_cast<std::size_t>(K)] = std::max(0, Pos[I + K]) - First;
                BuildMap();
                Lines->XsOf(B, BlockBytes(static_cast<std::size_t>(B.blockNumber())), L, FRels.data(), N,
                            FXs.data());
                const int Line = Multi() ? B.blockNumber() : 0;
                for (int K = 0; K < N; ++K)
                    Out[I + K] = ClientOf(FXs[static_cast<std::size_t>(K)], Line);
            } else {
                for (int K = I; K < J; ++K) {
                    const int Rel = std::max(0, Pos[K]) - First;
                    QTextLine L = Lay->lineForTextPosition(Rel);
                    if (!L.isValid() && Lay->lineCount() > 0)
                        L = Lay->lineAt(Lay->lineCount() - 1);
                    const double X = L.isValid() ? L.cursorToX(Rel) : 0.0;
                    Out[K] = ClientOf(X, LineOfPos(Pos[K]));
                }
            }
            I = J;
        }
    }
    // The pieces of editor positions [P0, P1) of one block, cut where its layout turns or jumps
    // (in the order of the text); false when the block holds no right-to-left text.
    bool PiecesOf(int P0, int P1, std::vector<TEditTextPiece>& Pieces) const
    {
        Pieces.clear();
        const QTextBlock B = Doc->findBlock(std::max(0, P0));
        if (!B.isValid())
            return false;
        BuildMap();
        const int Bytes = BlockBytes(static_cast<std::size_t>(B.blockNumber()));
        const int Len = B.length() - 1;
        if (Len > MaxPiecesLine || !Lines->HoldsRightToLeft(B, Bytes))
            return false;
        LayoutAll();
        EnsureLayout(B);
        QTextLayout* Lay = B.layout();
        const TClientOrigin O = ClientOrigin();
        const int From = P0 - B.position(), To = std::min(P1 - B.position(), Len);
        struct TBox {
            double Left, Right;
            bool Rtl;
            int Line;
        };
        std::optional<TBox> Cur;
        int CurFrom = From;
        auto Close = [&](int End) {
            if (!Cur || End <= CurFrom)
                return;
            TEditTextPiece P;
            P.From = ToByte(B.position() + CurFrom);
            P.To = ToByte(B.position() + End);
            const QPoint At = O.Of(Cur->Left, LineOfPos(B.position() + CurFrom));
            P.At = TPoint{At.x(), At.y()};
            P.RightToLeft = Cur->Rtl;
            Pieces.push_back(P);
        };
        for (int I = From; I < To;) {
            const int N = Doc->characterAt(B.position() + I).isHighSurrogate() && I + 1 < Len ? 2 : 1;
            const QTextLine L = Lay->lineForTextPosition(I);
            if (!L.isValid())
                break;
            // The leading and trailing edges of the character; where a run of one direction
            // starts the layout answers both with the end of the run before, so the character's
            // glyphs tell.
            double Lead = L.cursorToX(I, QTextLine::Leading), Trail = L.cursorToX(I, QTextLine::Trailing);
            bool Rtl = Lead > Trail;
            if (Lead == Trail) {
                const QList<QGlyphRun> Runs = L.glyphRuns(I, N);
                if (!Runs.isEmpty()) {
                    double Lo = 1e300, Hi = -1e300;
                    for (const QGlyphRun& R : Runs) {
                        const QList<QPointF> Ps = R.positions();
                        const QList<QPointF> Adv = R.rawFont().advancesForGlyphIndexes(R.glyphIndexes());
                        for (qsizetype K = 0; K < Ps.size(); ++K) {
                            Lo = std::min(Lo, Ps[K].x());
                            Hi = std::max(Hi, Ps[K].x() + (K < Adv.size() ? Adv[K].x() : 0.0));
                        }
                        Rtl = R.isRightToLeft();
                    }
                    if (Lo <= Hi) {
                        Lead = Rtl ? Hi : Lo;
                        Trail = Rtl ? Lo : Hi;
                    }
                } else if (Cur) {
                    Rtl = Cur->Rtl; // a character without glyphs of its own goes with the one before
                }
            }
            const TBox Box{std::min(Lead, Trail), std::max(Lead, Trail), Rtl, L.lineNumber()};
            const bool Joins =
                Cur && Cur->Rtl == Rtl && Cur->Line == Box.Line &&
                (Rtl ? std::abs(Box.Right - Cur->Left) < 0.5 : std::abs(Box.Left - Cur->Right) < 0.5);
            if (Joins) {
                Cur->Left = std::min(Cur->Left, Box.Left);
                Cur->Right = std::max(Cur->Right, Box.Right);
            } else {
                Close(I);
                Cur = Box;
                CurFrom = I;
            }
            I += N;
        }
        Close(To);
        return true;
    }
    // Lines longer than this are not cut into pieces: each character's place costs a walk
    // along its line.
    static constexpr int MaxPiecesLine = 16384;
    // Client position of an editor position (top-left of the character cell).
    QPoint PosToClient(int Pos) const
    {
        QPoint P;
        PosToClients(&Pos, 1, &P);
        return P;
    }
    // The unwrapped line under client y Y, when it is long enough to be measured from points
    // along it; an invalid block otherwise.
    QTextBlock LongLineAt(int Y) const
    {
        if (!StraightLines())
            return {};
        const QTextBlock Top = View->firstVisibleBlock();
        if (!Top.isValid())
            return {};
        int Line = 0;
        if (Multi()) {
            const double Row = (Y - Rect().top - View->contentOffset().y()) / LineHeight();
            if (Row < 0)
                return {};
            Line = Top.blockNumber() + static_cast<int>(std::floor(Row));
        }
        QTextBlock B = Doc->findBlockByNumber(Line);
        if (!B.isValid() || B.length() - 1 < TEditLines::NearStart())
            return {};
        EnsureLayout(B);
        return B.layout()->lineCount() == 1 ? B : QTextBlock();
    }
    // Editor position of layout x X on the only line of block B.
    int PosOnLine(const QTextBlock& B, double X, QTextLine::CursorPosition Mode) const
    {
        BuildMap();
        const int Bytes = BlockBytes(static_cast<std::size_t>(B.blockNumber()));
        return B.position() + Lines->PosAtX(B, Bytes, B.layout()->lineAt(0), X, Mode);
    }
    int ClientToPos(int X, int Y) const
    {
        RECT R = Rect();
        // The editor's hit test walks a line from its start: a long one is measured here.
        if (const QTextBlock B = LongLineAt(Y); B.isValid())
            return PosOnLine(B, X - R.left - View->contentOffset().x(), QTextLine::CursorBetweenCharacters);
        return View->cursorForPosition(QPoint(X - R.left, Y - R.top)).position();
    }
    mutable std::vector<int> FRels;
    mutable std::vector<double> FXs;
};

std::unordered_map<HWND, std::unique_ptr<TEditState>>& Edits()
{
    // Never freed: editors left at exit must not outlive the application object's teardown.
    static auto* Map = new std::unordered_map<HWND, std::unique_ptr<TEditState>>;
    return *Map;
}

TEditState* StateOf(HWND Wnd)
{
    auto It = Edits().find(Wnd);
    if (It == Edits().end())
        return nullptr;
    if (!IsWindow(Wnd)) {
        Edits().erase(It);
        return nullptr;
    }
    return It->second.get();
}

void Notify(TEditState* S, WORD Code)
{
    HWND Parent = GetParent(S->Wnd);
    if (!Parent)
        return;
    WORD Id = static_cast<WORD>(GetWindowLong(S->Wnd, GWL_ID));
    SendMessage(Parent, WM_COMMAND, MAKEWPARAM(Id, Code), reinterpret_cast<LPARAM>(S->Wnd));
}

void Layout(TEditState* S)
{
    RECT C = S->ClientRect();
    int W = std::max<int>(1, C.right - C.left), H = std::max<int>(1, C.bottom - C.top);
    if (S->View->size() != QSize(W, H))
        S->View->resize(W, H);
    RECT R = S->Rect();
    S->View->setViewportMargins(R.left, R.top, std::max<int>(0, W - R.right), std::max<int>(0, H - R.bottom));
    S->View->setLineWrapMode(S->Wraps() ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    S->MapValid = false;
    S->Lines->Reset();
}

void SyncScrollBars(TEditState* S)
{
    DWORD Style = S->Style();
    auto Sync = [&](int Bar, QScrollBar* Q, SCROLLINFO& Last) {
        SCROLLINFO I{};
        I.cbSize = sizeof(I);
        I.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
        I.nMin = 0;
        I.nPage = static_cast<UINT>(std::max(1, Q->pageStep()));
        I.nMax = std::max(0, Q->maximum() + Q->pageStep() - 1);
        I.nPos = Q->value();
        if (I.nMin == Last.nMin && I.nMax == Last.nMax && I.nPage == Last.nPage && I.nPos == Last.nPos)
            return;
        Last = I;
        SetScrollInfo(S->Wnd, Bar, &I, TRUE);
    };
    if (Style & WS_VSCROLL)
        Sync(SB_VERT, S->View->verticalScrollBar(), S->LastV);
    if (Style & WS_HSCROLL)
        Sync(SB_HORZ, S->View->horizontalScrollBar(), S->LastH);
}

void UpdateCaret(TEditState* S)
{
    if (!S->Focused)
        return;
    QPoint P = S->PosToClient(S->View->textCursor().position());
    SetCaretPos(P.x(), P.y());
}

// After anything that may change what shows: scroll bars, caret, and a repaint (at once when
// Now, as the platform's edit draws typed text before it notifies).
void Refresh(TEditState* S, bool Now)
{
    SyncScrollBars(S);
    UpdateCaret(S);
    InvalidateRect(S->Wnd, nullptr, FALSE);
    if (Now && IsWindowVisible(S->Wnd))
        UpdateWindow(S->Wnd);
}

void TextChanged(TEditState* S, bool ByUser)
{
    // The document told the map of the change already (contentsChange).
    if (ByUser)
        S->Modified = true;
    Refresh(S, true);
    if (S->Notifying)
        Notify(S, EN_CHANGE);
}

// Inserts Text at the selection, cut to the length limit; false when nothing could go in.
bool InsertText(TEditState* S, QString Text, bool ByUser, bool OwnUndoStep = false)
{
    QTextCursor C = S->View->textCursor();
    if (!S->Multi()) {
        qsizetype Br = Text.indexOf(QChar('\n'));
        if (Br >= 0)
            Text.truncate(Br);
    }
    DWORD Style = S->Style();
    if (Style & ES_UPPERCASE)
        Text = Text.toUpper();
    else if (Style & ES_LOWERCASE)
        Text = Text.toLower();
    if (S->Limit > 0) {
        int Selected = S->ToByte(C.selectionEnd()) - S->ToByte(C.selectionStart());
        int Room = S->Limit - (S->Length() - Selected);
        // A line break is two bytes in our text, one unit in the editor's.
        int Bytes = 0;
        qsizetype Keep = 0;
        while (Keep < Text.size()) {
            QChar Ch = Text[Keep];
            int Units = Ch.isHighSurrogate() && Keep + 1 < Text.size() ? 2 : 1;
            int Len = Ch == QChar('\n') ? 2 : Utf8Length(Text.mid(Keep, Units), Units);
            if (Bytes + Len > Room)
                break;
            Bytes += Len;
            Keep += Units;
        }
        if (Keep < Text.size()) {
            Text.truncate(Keep);
            Notify(S, EN_MAXTEXT);
            if (Text.isEmpty())
                return false;
        }
    }
    // Typed characters run together into one undo step; a paste or a replaced selection is a
    // step of its own (an edit block never merges with the typing before or after it).
    if (OwnUndoStep)
        C.beginEditBlock();
    C.insertText(Text);
    if (OwnUndoStep)
        C.endEditBlock();
    S->View->setTextCursor(C);
    S->View->ensureCursorVisible();
    TextChanged(S, ByUser);
    return true;
}

std::string SelectedText(TEditState* S)
{
    QTextCursor C = S->View->textCursor();
    int A = S->ToByte(C.selectionStart()), B = S->ToByte(C.selectionEnd());
    return S->Text().substr(static_cast<std::size_t>(A), static_cast<std::size_t>(B - A));
}

void SetText(TEditState* S, const std::string& Text)
{
    QString T = EditorText(Text);
    if (!S->Multi()) {
        qsizetype Br = T.indexOf(QChar('\n'));
        if (Br >= 0)
            T.truncate(Br);
    }
    if (S->Style() & ES_UPPERCASE)
        T = T.toUpper();
    else if (S->Style() & ES_LOWERCASE)
        T = T.toLower();
    S->View->setPlainText(T);
    S->View->moveCursor(QTextCursor::Start);
    S->Modified = false;
    TextChanged(S, false);
}

void Render(TEditState* S, HDC DC)
{
    QImage* Img = gdi::ImageOf(DC);
    if (!Img)
        return;
    RECT C = S->ClientRect();
    int W = C.right - C.left, H = C.bottom - C.top;
    if (W <= 0 || H <= 0)
        return;
    // The parent chooses the colours, as for any edit window.
    bool Disabled = !IsWindowEnabled(S->Wnd);
    UINT ColorMsg = (S->ReadOnly() || Disabled) ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT;
    SetTextColor(DC, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(DC, GetSysColor(COLOR_WINDOW));
    HWND Parent = GetParent(S->Wnd);
    if (Parent)
        SendMessage(Parent, ColorMsg, reinterpret_cast<WPARAM>(DC), reinterpret_cast<LPARAM>(S->Wnd));
    QColor Fore = gdi::ToQColor(Disabled ? GetSysColor(COLOR_GRAYTEXT) : GetTextColor(DC));
    QColor Back = gdi::ToQColor(GetBkColor(DC));

    QPalette Pal = gdi::ClassicPalette();
    bool ShowSel = S->Focused || (S->Style() & ES_NOHIDESEL);
    for (QPalette::ColorGroup G : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        Pal.setColor(G, QPalette::Base, Back);
        Pal.setColor(G, QPalette::Window, Back);
        Pal.setColor(G, QPalette::Text, Fore);
        Pal.setColor(G, QPalette::Highlight, ShowSel ? gdi::ToQColor(GetSysColor(COLOR_HIGHLIGHT)) : Back);
        Pal.setColor(G, QPalette::HighlightedText,
                     ShowSel ? gdi::ToQColor(GetSysColor(COLOR_HIGHLIGHTTEXT)) : Fore);
    }
    S->Painting = true;
    if (S->View->palette() != Pal)
        S->View->setPalette(Pal);

    QImage Tmp(W, H, QImage::Format_RGB32);
    Tmp.fill(Back);
    if (S->PasswordChar) {
        QPainter P(&Tmp);
        P.setFont(S->View->font());
        P.setPen(Fore);
        RECT R = S->Rect();
        int N = static_cast<int>(S->View->toPlainText().toUcs4().size());
        QString Mask(N, QChar(static_cast<char16_t>(S->PasswordChar)));
        QFontMetricsF M(S->View->font());
        P.drawText(QPointF(R.left + S->View->contentOffset().x(), R.top + M.ascent()), Mask);
    } else {
        S->View->Rendering = true;
        S->View->render(&Tmp, QPoint(), QRegion(0, 0, W, H), QWidget::DrawChildren);
        S->View->Rendering = false;
    }
    S->Painting = false;

    POINT Vp{};
    GetViewportOrgEx(DC, &Vp);
    QPainter P(Img);
    QRegion Clip = gdi::VisibleRegionOf(DC);
    if (!Clip.isEmpty())
        P.setClipRegion(Clip);
    P.drawImage(gdi::OriginOf(DC) + QPoint(Vp.x, Vp.y), Tmp);
}

void ScrollLines(TEditState* S, int Lines)
{
    QScrollBar* V = S->View->verticalScrollBar();
    V->setValue(V->value() + Lines);
}

void DoScroll(TEditState* S, bool Vert, int Code, int Thumb)
{
    QScrollBar* B = Vert ? S->View->verticalScrollBar() : S->View->horizontalScrollBar();
    int Line = Vert ? 1 : std::max(1, static_cast<int>(QFontMetricsF(S->View->font()).averageCharWidth()));
    int Page = std::max(1, B->pageStep());
    switch (Code) {
    case SB_LINEUP:
        B->setValue(B->value() - Line);
        break;
    case SB_LINEDOWN:
        B->setValue(B->value() + Line);
        break;
    case SB_PAGEUP:
        B->setValue(B->value() - Page);
        break;
    case SB_PAGEDOWN:
        B->setValue(B->value() + Page);
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO I{};
        I.cbSize = sizeof(I);
        I.fMask = SIF_TRACKPOS;
        if (Code == SB_THUMBTRACK && GetScrollInfo(S->Wnd, Vert ? SB_VERT : SB_HORZ, &I))
            Thumb = I.nTrackPos;
        B->setValue(Thumb);
        break;
    }
    case SB_TOP:
        B->setValue(B->minimum());
        break;
    case SB_BOTTOM:
        B->setValue(B->maximum());
        break;
    default:
        return;
    }
}

bool CtrlDown()
{
    return GetKeyState(VK_CONTROL) < 0;
}
bool ShiftDown()
{
    return GetKeyState(VK_SHIFT) < 0;
}

void Copy(TEditState* S)
{
    if (S->PasswordChar)
        return;
    QString T = S->View->textCursor().selectedText();
    if (T.isEmpty())
        return;
    T.replace(QChar::ParagraphSeparator, QChar('\n'));
    if (QClipboard* Cb = QGuiApplication::clipboard())
        Cb->setText(T);
}

void DeleteSelection(TEditState* S, bool ByUser)
{
    QTextCursor C = S->View->textCursor();
    if (!C.hasSelection())
        return;
    C.beginEditBlock();
    C.removeSelectedText();
    C.endEditBlock();
    S->View->setTextCursor(C);
    TextChanged(S, ByUser);
}

void Paste(TEditState* S)
{
    QClipboard* Cb = QGuiApplication::clipboard();
    if (!Cb)
        return;
    QString T = Cb->text();
    if (T.isEmpty())
        return;
    InsertText(S, EditorText(ToUtf8(T)), true, true);
}

// A key for the editor's own handling (caret movement, Delete); true when the text changed.
bool SendKeyToView(TEditState* S, int QtKey, Qt::KeyboardModifiers Mods)
{
    int Before = S->Doc->revision();
    QKeyEvent E(QEvent::KeyPress, QtKey, Mods);
    QCoreApplication::sendEvent(S->View.get(), &E);
    return S->Doc->revision() != Before;
}

Qt::KeyboardModifiers Modifiers()
{
    Qt::KeyboardModifiers M;
    if (ShiftDown())
        M |= Qt::ShiftModifier;
    if (CtrlDown())
        M |= Qt::ControlModifier;
    return M;
}

TEditState* CreateState(HWND Wnd)
{
    // Windows destroyed without reaching us (their control went first) give back their editors.
    std::erase_if(Edits(), [](const auto& E) { return !IsWindow(E.first); });
    auto S = std::make_unique<TEditState>();
    S->Wnd = Wnd;
    S->View = std::make_unique<TEditView>();
    TEditView* V = S->View.get();
    auto* Doc = new QTextDocument(V);
    S->Layout = new TEditLayout(Doc);
    Doc->setDocumentLayout(S->Layout);
    V->setDocument(Doc);
    V->setAttribute(Qt::WA_DontShowOnScreen);
    V->setAttribute(Qt::WA_ShowWithoutActivating);
    V->setAttribute(Qt::WA_QuitOnClose, false);
    V->setFocusPolicy(Qt::NoFocus);
    V->setFrameShape(QFrame::NoFrame);
    V->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    V->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    V->setCursorWidth(0);
    V->setContextMenuPolicy(Qt::NoContextMenu);
    V->viewport()->setAutoFillBackground(false);
    V->document()->setDocumentMargin(0);
    V->setUndoRedoEnabled(true);
    S->Doc = V->document();
    S->Font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    V->setFont(gdi::QFontOf(S->Font));
    V->setPalette(gdi::ClassicPalette());
    TEditState* Raw = S.get();
    S->Lines = std::make_unique<TEditLines>(S->Doc);
    QObject::connect(S->Doc, &QTextDocument::contentsChange, V,
                     [Raw](int Pos, int Removed, int Added) { Raw->ContentsChanged(Pos, Removed, Added); });
    QObject::connect(V, &QPlainTextEdit::updateRequest, V, [Raw](const QRect&, int) {
        if (!Raw->Painting)
            InvalidateRect(Raw->Wnd, nullptr, FALSE);
    });
    V->resize(1, 1);
    V->show();
    Edits()[Wnd] = std::move(S);
    return Raw;
}

void ApplyFont(TEditState* S)
{
    QFont F = gdi::QFontOf(S->Font);
    QFontMetrics M(F);
    S->Layout->Pitch = M.ascent() + M.descent();
    S->View->setFont(F);
    S->Doc->setDefaultFont(F);
    S->View->setTabStopDistance(8 * QFontMetricsF(F).averageCharWidth());
    S->MapValid = false;
    S->Lines->Reset();
}

void ApplyAlignment(TEditState* S)
{
    DWORD Style = S->Style();
    QTextOption O = S->Doc->defaultTextOption();
    Qt::Alignment A = (Style & ES_RIGHT)    ? Qt::AlignRight
                      : (Style & ES_CENTER) ? Qt::AlignHCenter
                                            : Qt::AlignLeft;
    // Lines read left to right, as the window does, whatever script a line starts with: text
    // of right-to-left scripts is laid out in reading order inside them.
    A |= Qt::AlignAbsolute;
    if (O.alignment() != A || O.textDirection() != Qt::LeftToRight) {
        O.setAlignment(A);
        O.setTextDirection(Qt::LeftToRight);
        S->Doc->setDefaultTextOption(O);
        S->Lines->Reset();
    }
}

// ---- The EDIT window procedure: one function per message ------------------------------------

// One call of the edit's window procedure: the window, its editor and the message.
struct TEditCall {
    HWND Wnd;
    TEditState* S;
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
    LRESULT Default() const { return DefWindowProc(Wnd, Msg, WParam, LParam); }
};
using TEditHandler = LRESULT (*)(TEditCall& C);

LRESULT EditProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

LRESULT WMCreate(TEditCall& C)
{
    TEditState* S = C.S;
    auto* CS = reinterpret_cast<CREATESTRUCT*>(C.LParam);
    bool Saved = S->Notifying;
    S->Notifying = false;
    if (CS && CS->lpszName && *CS->lpszName)
        SetText(S, CS->lpszName);
    S->Notifying = Saved;
    Layout(S);
    return 0;
}

LRESULT WMNCDestroy(TEditCall& C)
{
    LRESULT R = C.Default();
    Edits().erase(C.Wnd);
    return R;
}

LRESULT WMSize(TEditCall& C)
{
    Layout(C.S);
    SyncScrollBars(C.S);
    UpdateCaret(C.S);
    InvalidateRect(C.Wnd, nullptr, FALSE);
    return 0;
}

LRESULT WMStyleChanged(TEditCall& C)
{
    ApplyAlignment(C.S);
    Layout(C.S);
    InvalidateRect(C.Wnd, nullptr, FALSE);
    return 0;
}

LRESULT WMSetFont(TEditCall& C)
{
    TEditState* S = C.S;
    S->Font = reinterpret_cast<HFONT>(C.WParam);
    if (!S->Font)
        S->Font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    ApplyFont(S);
    Layout(S);
    if (S->Focused) {
        CreateCaret(C.Wnd, nullptr, 1, static_cast<int>(std::lround(S->LineHeight())));
        ShowCaret(C.Wnd);
    }
    Refresh(S, false);
    return 0;
}

LRESULT WMEnable(TEditCall& C)
{
    // Grey text while disabled.
    InvalidateRect(C.Wnd, nullptr, FALSE);
    return 0;
}

LRESULT WMGetFont(TEditCall& C)
{
    return reinterpret_cast<LRESULT>(C.S->Font);
}

LRESULT WMEraseBkgnd(TEditCall&)
{
    return 1;
}

LRESULT WMPaint(TEditCall& C)
{
    HDC DC = reinterpret_cast<HDC>(C.WParam);
    PAINTSTRUCT PS;
    bool Own = DC == nullptr;
    if (Own)
        DC = BeginPaint(C.Wnd, &PS);
    Render(C.S, DC);
    if (Own)
        EndPaint(C.Wnd, &PS);
    return 0;
}

LRESULT WMPrintClient(TEditCall& C)
{
    Render(C.S, reinterpret_cast<HDC>(C.WParam));
    return 0;
}

LRESULT WMGetDlgCode(TEditCall& C)
{
    return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS | (C.S->Multi() ? DLGC_WANTALLKEYS : 0);
}

LRESULT WMSetFocus(TEditCall& C)
{
    TEditState* S = C.S;
    S->Focused = true;
    CreateCaret(C.Wnd, nullptr, 1, static_cast<int>(std::lround(S->LineHeight())));
    UpdateCaret(S);
    ShowCaret(C.Wnd);
    InvalidateRect(C.Wnd, nullptr, FALSE);
    Notify(S, EN_SETFOCUS);
    return 0;
}

LRESULT WMKillFocus(TEditCall& C)
{
    TEditState* S = C.S;
    S->Focused = false;
    S->Dragging = false;
    DestroyCaret();
    InvalidateRect(C.Wnd, nullptr, FALSE);
    Notify(S, EN_KILLFOCUS);
    return 0;
}

// ---- text ----

LRESULT WMSetText(TEditCall& C)
{
    C.Default();
    SetText(C.S, C.LParam ? reinterpret_cast<const char*>(C.LParam) : "");
    return TRUE;
}

LRESULT WMGetTextLength(TEditCall& C)
{
    return C.S->Length();
}

LRESULT WMGetText(TEditCall& C)
{
    if (!C.LParam || C.WParam == 0)
        return 0;
    std::string T = C.S->Text();
    std::size_t N = std::min<std::size_t>(T.size(), C.WParam - 1);
    std::copy_n(T.data(), N, reinterpret_cast<char*>(C.LParam));
    reinterpret_cast<char*>(C.LParam)[N] = '\0';
    return static_cast<LRESULT>(N);
}

LRESULT EMGetLine(TEditCall& C)
{
    // The buffer's first WORD holds its size; the line is copied without a terminator.
    if (!C.LParam)
        return 0;
    TEditState* S = C.S;
    int Start, End;
    if (!S->LineRange(static_cast<int>(C.WParam), Start, End))
        return 0;
    auto* Buf = reinterpret_cast<char*>(C.LParam);
    WORD Size = 0;
    std::memcpy(&Size, Buf, sizeof(WORD));
    // Only the line itself: a caller reading the visible lines of a long text one by one
    // must not pay for the whole text each time.
    const QTextBlock Block = S->Doc->findBlock(Start);
    std::string T = ToUtf8(Block.text().mid(Start - Block.position(), End - Start));
    std::size_t N = std::min<std::size_t>(T.size(), Size);
    std::copy_n(T.data(), N, Buf);
    return static_cast<LRESULT>(N);
}

LRESULT EMLimitText(TEditCall& C)
{
    C.S->Limit = static_cast<int>(C.WParam);
    return 0;
}

LRESULT EMGetLimitText(TEditCall& C)
{
    return C.S->Limit > 0 ? C.S->Limit : 0x7FFFFFFE;
}

LRESULT EMGetModify(TEditCall& C)
{
    return C.S->Modified ? TRUE : FALSE;
}

LRESULT EMSetModify(TEditCall& C)
{
    C.S->Modified = C.WParam != 0;
    return 0;
}

LRESULT EMSetReadOnly(TEditCall& C)
{
    DWORD Style = C.S->Style();
    Style = C.WParam ? (Style | ES_READONLY) : (Style & ~ES_READONLY);
    SetWindowLong(C.Wnd, GWL_STYLE, static_cast<LONG_PTR>(Style));
    InvalidateRect(C.Wnd, nullptr, FALSE);
    return TRUE;
}

LRESULT EMSetPasswordChar(TEditCall& C)
{
    C.S->PasswordChar = static_cast<char32_t>(C.WParam);
    InvalidateRect(C.Wnd, nullptr, FALSE);
    return 0;
}

LRESULT EMGetPasswordChar(TEditCall& C)
{
    return static_cast<LRESULT>(C.S->PasswordChar);
}

// EM_SETTABSTOPS, EM_SETMARGINS: accepted, with no effect on the layout.
LRESULT AnswerTrue(TEditCall&)
{
    return TRUE;
}

LRESULT EMCanUndo(TEditCall& C)
{
    return C.S->Doc->isUndoAvailable() || C.S->Doc->isRedoAvailable() ? TRUE : FALSE;
}

// EM_UNDO, WM_UNDO.
LRESULT EMUndo(TEditCall& C)
{
    TEditState* S = C.S;
    // The edit control keeps one change: undoing again puts back what the undo took away.
    if (S->Doc->isRedoAvailable())
        S->Doc->redo();
    else if (S->Doc->isUndoAvailable())
        S->Doc->undo();
    else
        return FALSE;
    TextChanged(S, true);
    return TRUE;
}

LRESULT EMEmptyUndoBuffer(TEditCall& C)
{
    C.S->Doc->clearUndoRedoStacks();
    return 0;
}

// ---- selection ----

LRESULT EMGetSel(TEditCall& C)
{
    TEditState* S = C.S;
    QTextCursor Cur = S->View->textCursor();
    DWORD A = static_cast<DWORD>(S->ToByte(Cur.selectionStart()));
    DWORD B = static_cast<DWORD>(S->ToByte(Cur.selectionEnd()));
    if (C.WParam)
        *reinterpret_cast<DWORD*>(C.WParam) = A;
    if (C.LParam)
        *reinterpret_cast<DWORD*>(C.LParam) = B;
    return MAKELRESULT(static_cast<WORD>(std::min<DWORD>(A, 0xFFFF)),
                       static_cast<WORD>(std::min<DWORD>(B, 0xFFFF)));
}

LRESULT EMSetSel(TEditCall& C)
{
    TEditState* S = C.S;
    int A = static_cast<int>(static_cast<std::intptr_t>(C.WParam));
    int B = static_cast<int>(C.LParam);
    int Len = S->Length();
    QTextCursor Cur = S->View->textCursor();
    if (A < 0) {
        Cur.clearSelection();
    } else {
        if (B < 0)
            B = Len;
        A = std::min(A, Len);
        B = std::min(B, Len);
        // The caret goes to the second position, as on the platform.
        Cur.setPosition(S->ToPos(A));
        Cur.setPosition(S->ToPos(B), QTextCursor::KeepAnchor);
    }
    S->View->setTextCursor(Cur);
    Refresh(S, false);
    return 0;
}

LRESULT EMReplaceSel(TEditCall& C)
{
    InsertText(C.S, EditorText(C.LParam ? reinterpret_cast<const char*>(C.LParam) : ""), true, true);
    return 0;
}

LRESULT EMScrollCaret(TEditCall& C)
{
    C.S->View->ensureCursorVisible();
    Refresh(C.S, true);
    return TRUE;
}

// ---- lines and positions ----

LRESULT EMGetLineCount(TEditCall& C)
{
    return C.S->LineCount();
}

LRESULT EMLineIndex(TEditCall& C)
{
    TEditState* S = C.S;
    int Line = static_cast<int>(static_cast<std::intptr_t>(C.WParam));
    if (Line < 0)
        Line = S->LineOfPos(S->View->textCursor().position());
    int Start, End;
    if (!S->LineRange(Line, Start, End))
        return -1;
    return S->ToByte(Start);
}

LRESULT EMLineLength(TEditCall& C)
{
    TEditState* S = C.S;
    int Index = static_cast<int>(static_cast<std::intptr_t>(C.WParam));
    int Start, End;
    if (Index < 0) {
        // The unselected characters on the lines the selection touches.
        QTextCursor Cur = S->View->textCursor();
        int S0, E0, S1, E1;
        if (!S->LineRange(S->LineOfPos(Cur.selectionStart()), S0, E0) ||
            !S->LineRange(S->LineOfPos(Cur.selectionEnd()), S1, E1))
            return 0;
        return (S->ToByte(Cur.selectionStart()) - S->ToByte(S0)) +
               (S->ToByte(E1) - S->ToByte(Cur.selectionEnd()));
    }
    if (Index > S->Length())
        return 0;
    if (!S->LineRange(S->LineOfPos(S->ToPos(Index)), Start, End))
        return 0;
    return S->ToByte(End) - S->ToByte(Start);
}

LRESULT EMLineFromChar(TEditCall& C)
{
    TEditState* S = C.S;
    int Index = static_cast<int>(static_cast<std::intptr_t>(C.WParam));
    int Pos = Index < 0 ? S->View->textCursor().selectionStart() : S->ToPos(Index);
    return S->LineOfPos(Pos);
}

LRESULT EMGetFirstVisibleLine(TEditCall& C)
{
    return C.S->FirstVisibleLine();
}

LRESULT EMPosFromChar(TEditCall& C)
{
    TEditState* S = C.S;
    int Index = static_cast<int>(static_cast<std::intptr_t>(C.WParam));
    if (Index < 0 || Index > S->Length())
        return -1;
    QPoint P = S->PosToClient(S->ToPos(Index));
    auto Clamp = [](int V) { return static_cast<WORD>(static_cast<SmallInt>(std::clamp(V, -32768, 32767))); };
    return MAKELRESULT(Clamp(P.x()), Clamp(P.y()));
}

LRESULT EMCharFromPos(TEditCall& C)
{
    TEditState* S = C.S;
    int Pos = S->ClientToPos(GET_X_LPARAM(C.LParam), GET_Y_LPARAM(C.LParam));
    int Index = S->ToByte(Pos);
    int Line = S->LineOfPos(Pos);
    return MAKELRESULT(static_cast<WORD>(std::min(Index, 0xFFFF)), static_cast<WORD>(std::min(Line, 0xFFFF)));
}

LRESULT EMGetRect(TEditCall& C)
{
    if (C.LParam)
        *reinterpret_cast<RECT*>(C.LParam) = C.S->Rect();
    return 0;
}

// EM_SETRECT, EM_SETRECTNP (the same without the repaint).
LRESULT EMSetRect(TEditCall& C)
{
    TEditState* S = C.S;
    if (C.LParam) {
        S->FormatRect = *reinterpret_cast<const RECT*>(C.LParam);
        S->HaveRect = true;
    } else {
        S->HaveRect = false;
    }
    Layout(S);
    if (C.Msg == EM_SETRECT)
        InvalidateRect(C.Wnd, nullptr, FALSE);
    UpdateCaret(S);
    return 0;
}

LRESULT EMLineScroll(TEditCall& C)
{
    TEditState* S = C.S;
    if (!S->Multi())
        return FALSE;
    QScrollBar* H = S->View->horizontalScrollBar();
    int Cw = std::max(1, static_cast<int>(QFontMetricsF(S->View->font()).averageCharWidth()));
    H->setValue(H->value() + static_cast<int>(static_cast<std::intptr_t>(C.WParam)) * Cw);
    ScrollLines(S, static_cast<int>(C.LParam));
    Refresh(S, true);
    return TRUE;
}

LRESULT EMScroll(TEditCall& C)
{
    TEditState* S = C.S;
    int Before = S->FirstVisibleLine();
    DoScroll(S, true, static_cast<int>(C.WParam), 0);
    Refresh(S, true);
    return MAKELRESULT(static_cast<WORD>(static_cast<SmallInt>(S->FirstVisibleLine() - Before)), TRUE);
}

// WM_VSCROLL, WM_HSCROLL.
LRESULT WMScroll(TEditCall& C)
{
    const bool Vert = C.Msg == WM_VSCROLL;
    DoScroll(C.S, Vert, LOWORD(C.WParam), HIWORD(C.WParam));
    Refresh(C.S, true);
    if (LOWORD(C.WParam) != SB_ENDSCROLL)
        Notify(C.S, Vert ? EN_VSCROLL : EN_HSCROLL);
    return 0;
}

LRESULT WMMouseWheel(TEditCall& C)
{
    int Delta = static_cast<SmallInt>(HIWORD(C.WParam));
    ScrollLines(C.S, -Delta * 3 / 120);
    Refresh(C.S, true);
    return 0;
}

// ---- clipboard ----

LRESULT WMCopy(TEditCall& C)
{
    Copy(C.S);
    return 0;
}

LRESULT WMCut(TEditCall& C)
{
    if (C.S->ReadOnly())
        return 0;
    Copy(C.S);
    DeleteSelection(C.S, true);
    return 0;
}

LRESULT WMClear(TEditCall& C)
{
    if (!C.S->ReadOnly())
        DeleteSelection(C.S, true);
    return 0;
}

LRESULT WMPaste(TEditCall& C)
{
    if (!C.S->ReadOnly())
        Paste(C.S);
    return 0;
}

// ---- input ----

// WM_LBUTTONDOWN places the caret and starts a drag; WM_LBUTTONDBLCLK selects the word.
LRESULT WMLButtonDown(TEditCall& C)
{
    TEditState* S = C.S;
    if (GetFocus() != C.Wnd)
        SetFocus(C.Wnd);
    int Pos = S->ClientToPos(GET_X_LPARAM(C.LParam), GET_Y_LPARAM(C.LParam));
    QTextCursor Cur = S->View->textCursor();
    if (C.Msg == WM_LBUTTONDBLCLK) {
        Cur.setPosition(Pos);
        Cur.select(QTextCursor::WordUnderCursor);
    } else {
        Cur.setPosition(Pos, (C.WParam & MK_SHIFT) ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor);
        S->Dragging = true;
        SetCapture(C.Wnd);
    }
    S->View->setTextCursor(Cur);
    Refresh(S, true);
    return 0;
}

LRESULT WMMouseMove(TEditCall& C)
{
    TEditState* S = C.S;
    if (S->Dragging && (C.WParam & MK_LBUTTON)) {
        int Pos = S->ClientToPos(GET_X_LPARAM(C.LParam), GET_Y_LPARAM(C.LParam));
        QTextCursor Cur = S->View->textCursor();
        if (Cur.position() != Pos) {
            Cur.setPosition(Pos, QTextCursor::KeepAnchor);
            S->View->setTextCursor(Cur);
            S->View->ensureCursorVisible();
            Refresh(S, true);
        }
    }
    return C.Default();
}

LRESULT WMLButtonUp(TEditCall& C)
{
    if (C.S->Dragging) {
        C.S->Dragging = false;
        if (GetCapture() == C.Wnd)
            ReleaseCapture();
    }
    return 0;
}

LRESULT WMCaptureChanged(TEditCall& C)
{
    C.S->Dragging = false;
    return 0;
}

LRESULT WMKeyDown(TEditCall& C)
{
    TEditState* S = C.S;
    HWND Wnd = C.Wnd;
    int Vk = static_cast<int>(C.WParam);
    bool Ctrl = CtrlDown(), Shift = ShiftDown();
    if (Ctrl && !Shift) {
        switch (Vk) {
        case 'C':
        case VK_INSERT:
            return EditProc(Wnd, WM_COPY, 0, 0);
        case 'X':
            return EditProc(Wnd, WM_CUT, 0, 0);
        case 'V':
            return EditProc(Wnd, WM_PASTE, 0, 0);
        case 'Z':
            return EditProc(Wnd, EM_UNDO, 0, 0);
        case 'A':
            return EditProc(Wnd, EM_SETSEL, 0, -1);
        default:
            break;
        }
    }
    if (Shift && !Ctrl && Vk == VK_INSERT)
        return EditProc(Wnd, WM_PASTE, 0, 0);
    if (Shift && !Ctrl && Vk == VK_DELETE)
        return EditProc(Wnd, WM_CUT, 0, 0);
    int Key = QtKeyOf(Vk);
    if (!Key)
        return 0;
    if (Key == Qt::Key_Delete && S->ReadOnly())
        return 0;
    if (!S->Multi() &&
        (Key == Qt::Key_Up || Key == Qt::Key_Down || Key == Qt::Key_PageUp || Key == Qt::Key_PageDown))
        Key = (Key == Qt::Key_Up || Key == Qt::Key_PageUp) ? Qt::Key_Left : Qt::Key_Right;
    if (SendKeyToView(S, Key, Modifiers()))
        TextChanged(S, true);
    else
        Refresh(S, true);
    return 0;
}

LRESULT WMChar(TEditCall& C)
{
    TEditState* S = C.S;
    auto Ch = static_cast<char32_t>(C.WParam);
    if (Ch == 8) {
        if (S->ReadOnly())
            return 0;
        if (SendKeyToView(S, Qt::Key_Backspace, CtrlDown() ? Qt::ControlModifier : Qt::NoModifier))
            TextChanged(S, true);
        return 0;
    }
    if (S->ReadOnly())
        return 0;
    if (Ch == '\r' || Ch == '\n') {
        if (S->Multi())
            InsertText(S, QString(QChar('\n')), true);
        return 0;
    }
    if (Ch == '\t') {
        if (S->Multi())
            InsertText(S, QString(QChar('\t')), true);
        return 0;
    }
    if (Ch < 32 || Ch == 127 || Ch > 0x10FFFF)
        return 0;
    if ((S->Style() & ES_NUMBER) && (Ch < '0' || Ch > '9'))
        return 0;
    InsertText(S, QString::fromUcs4(&Ch, 1), true);
    return 0;
}

// WM_KEYUP, WM_SYSCHAR: taken, with nothing to do.
LRESULT AnswerZero(TEditCall&)
{
    return 0;
}

const TMessageMap<TEditHandler>& EditHandlers()
{
    static const TMessageMap<TEditHandler> Map{
        {WM_CREATE, &WMCreate},
        {WM_NCDESTROY, &WMNCDestroy},
        {WM_SIZE, &WMSize},
        {WM_STYLECHANGED, &WMStyleChanged},
        {WM_SETFONT, &WMSetFont},
        {WM_ENABLE, &WMEnable},
        {WM_GETFONT, &WMGetFont},
        {WM_ERASEBKGND, &WMEraseBkgnd},
        {WM_PAINT, &WMPaint},
        {WM_PRINTCLIENT, &WMPrintClient},
        {WM_GETDLGCODE, &WMGetDlgCode},
        {WM_SETFOCUS, &WMSetFocus},
        {WM_KILLFOCUS, &WMKillFocus},
        {WM_SETTEXT, &WMSetText},
        {WM_GETTEXTLENGTH, &WMGetTextLength},
        {WM_GETTEXT, &WMGetText},
        {EM_GETLINE, &EMGetLine},
        {EM_LIMITTEXT, &EMLimitText},
        {EM_GETLIMITTEXT, &EMGetLimitText},
        {EM_GETMODIFY, &EMGetModify},
        {EM_SETMODIFY, &EMSetModify},
        {EM_SETREADONLY, &EMSetReadOnly},
        {EM_SETPASSWORDCHAR, &EMSetPasswordChar},
        {EM_GETPASSWORDCHAR, &EMGetPasswordChar},
        {EM_SETTABSTOPS, &AnswerTrue},
        {EM_SETMARGINS, &AnswerTrue},
        {EM_CANUNDO, &EMCanUndo},
        {EM_UNDO, &EMUndo},
        {WM_UNDO, &EMUndo},
        {EM_EMPTYUNDOBUFFER, &EMEmptyUndoBuffer},
        {EM_GETSEL, &EMGetSel},
        {EM_SETSEL, &EMSetSel},
        {EM_REPLACESEL, &EMReplaceSel},
        {EM_SCROLLCARET, &EMScrollCaret},
        {EM_GETLINECOUNT, &EMGetLineCount},
        {EM_LINEINDEX, &EMLineIndex},
        {EM_LINELENGTH, &EMLineLength},
        {EM_LINEFROMCHAR, &EMLineFromChar},
        {EM_GETFIRSTVISIBLELINE, &EMGetFirstVisibleLine},
        {EM_POSFROMCHAR, &EMPosFromChar},
        {EM_CHARFROMPOS, &EMCharFromPos},
        {EM_GETRECT, &EMGetRect},
        {EM_SETRECT, &EMSetRect},
        {EM_SETRECTNP, &EMSetRect},
        {EM_LINESCROLL, &EMLineScroll},
        {EM_SCROLL, &EMScroll},
        {WM_VSCROLL, &WMScroll},
        {WM_HSCROLL, &WMScroll},
        {WM_MOUSEWHEEL, &WMMouseWheel},
        {WM_COPY, &WMCopy},
        {WM_CUT, &WMCut},
        {WM_CLEAR, &WMClear},
        {WM_PASTE, &WMPaste},
        {WM_LBUTTONDOWN, &WMLButtonDown},
        {WM_LBUTTONDBLCLK, &WMLButtonDown},
        {WM_MOUSEMOVE, &WMMouseMove},
        {WM_LBUTTONUP, &WMLButtonUp},
        {WM_CAPTURECHANGED, &WMCaptureChanged},
        {WM_KEYDOWN, &WMKeyDown},
        {WM_CHAR, &WMChar},
        {WM_KEYUP, &AnswerZero},
        {WM_SYSCHAR, &AnswerZero},
    };
    return Map;
}

LRESULT EditProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    if (Msg == WM_NCCREATE)
        Edits().erase(Wnd); // a handle used again starts afresh
    TEditState* S = StateOf(Wnd);
    if (!S) {
        if (Msg == WM_NCDESTROY || !IsWindow(Wnd))
            return DefWindowProc(Wnd, Msg, WParam, LParam);
        S = CreateState(Wnd);
        ApplyFont(S);
        ApplyAlignment(S);
        Layout(S);
    }
    const TEditHandler* Handler = EditHandlers().Find(Msg);
    if (!Handler)
        return DefWindowProc(Wnd, Msg, WParam, LParam);
    TEditCall Call{Wnd, S, Msg, WParam, LParam};
    return (*Handler)(Call);
}

TEditState* EditStateOf(TWinControl* C)
{
    return C->HandleAllocated() ? StateOf(C->Handle()) : nullptr;
}

} // namespace

void SetEditMeasuredFromStart(int Characters)
{
    TEditLines::NearStart() = Characters > 0 ? Characters : TEditLines::DefaultNearStart;
}

void RegisterEditClass()
{
    WNDCLASS WC;
    if (GetClassInfo(nullptr, "EDIT", &WC))
        return;
    WNDCLASS New;
    New.style = CS_DBLCLKS;
    New.lpfnWndProc = &EditProc;
    New.hCursor = LoadCursor(nullptr, IDC_IBEAM);
    New.hbrBackground = nullptr;
    New.lpszClassName = "EDIT";
    RegisterClass(&New);
}

// ---- TCustomEdit ------------------------------------------------------------------------------

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner)
{
    SetBounds(FLeft, FTop, 121, 21);
    FTabStop = true;
    FCursor = crIBeam;
    ControlStyle.Include(csDoubleClicks);
}

TCustomEdit::~TCustomEdit() = default;

void TCustomEdit::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    RegisterEditClass();
    CreateSubClass(Params, "EDIT");
    Params.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL;
    if (FBorderStyle != bsNone)
        Params.ExStyle |= WS_EX_CLIENTEDGE;
    if (FReadOnly)
        Params.Style |= ES_READONLY;
    if (!FHideSelection)
        Params.Style |= ES_NOHIDESEL;
    if (FCharCase == ecUpperCase)
        Params.Style |= ES_UPPERCASE;
    else if (FCharCase == ecLowerCase)
        Params.Style |= ES_LOWERCASE;
    if (FPasswordChar)
        Params.Style |= ES_PASSWORD;
}

void TCustomEdit::CreateWnd()
{
    FCreating = true;
    try {
        TWinControl::CreateWnd();
    } catch (...) {
        FCreating = false;
        throw;
    }
    FCreating = false;
    HWND Wnd = FHandle;
    SendMessage(Wnd, EM_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
    if (FPasswordChar)
        SendMessage(Wnd, EM_SETPASSWORDCHAR, static_cast<unsigned char>(FPasswordChar), 0);
    SendMessage(Wnd, EM_SETMODIFY, FModified ? TRUE : FALSE, 0);
}

void TCustomEdit::DestroyWnd()
{
    // The modified flag lives in the window; the inherited part keeps the text.
    if (FHandle)
        FModified = SendMessage(FHandle, EM_GETMODIFY, 0, 0) != 0;
    TWinControl::DestroyWnd();
}

void TCustomEdit::SetBorderStyle(TBorderStyle Value)
{
    if (FBorderStyle == Value)
        return;
    FBorderStyle = Value;
    RecreateWnd();
}

void TCustomEdit::SetCharCase(TEditCharCase Value)
{
    if (FCharCase == Value)
        return;
    FCharCase = Value;
    RecreateWnd();
}

void TCustomEdit::SetHideSelection(bool Value)
{
    if (FHideSelection == Value)
        return;
    FHideSelection = Value;
    RecreateWnd();
}

void TCustomEdit::SetMaxLength(int Value)
{
    FMaxLength = std::max(0, Value);
    if (HandleAllocated())
        SendMessage(FHandle, EM_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
}

bool TCustomEdit::Modified() const
{
    if (FHandle)
        return SendMessage(FHandle, EM_GETMODIFY, 0, 0) != 0;
    return FModified;
}

void TCustomEdit::SetModified(bool Value)
{
    FModified = Value;
    if (FHandle)
        SendMessage(FHandle, EM_SETMODIFY, Value ? TRUE : FALSE, 0);
}

void TCustomEdit::SetPasswordChar(char Value)
{
    if (FPasswordChar == Value)
        return;
    FPasswordChar = Value;
    if (HandleAllocated()) {
        SendMessage(FHandle, EM_SETPASSWORDCHAR, static_cast<unsigned char>(Value), 0);
        Invalidate();
    }
}

void TCustomEdit::SetReadOnly(bool Value)
{
    if (FReadOnly == Value)
        return;
    FReadOnly = Value;
    if (HandleAllocated())
        SendMessage(FHandle, EM_SETREADONLY, Value ? TRUE : FALSE, 0);
}

int TCustomEdit::SelStart()
{
    DWORD A = 0, B = 0;
    SendMessage(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&A), reinterpret_cast<LPARAM>(&B));
    return static_cast<int>(A);
}

void TCustomEdit::SetSelStart(int Value)
{
    SendMessage(Handle(), EM_SETSEL, static_cast<WPARAM>(Value), Value);
}

int TCustomEdit::SelLength()
{
    DWORD A = 0, B = 0;
    SendMessage(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&A), reinterpret_cast<LPARAM>(&B));
    return static_cast<int>(B - A);
}

void TCustomEdit::SetSelLength(int Value)
{
    int Start = SelStart();
    SendMessage(Handle(), EM_SETSEL, static_cast<WPARAM>(Start), Start + std::max(0, Value));
}

std::string TCustomEdit::SelText()
{
    TEditState* S = StateOf(Handle());
    return S ? SelectedText(S) : std::string();
}

void TCustomEdit::SetSelText(const std::string& Value)
{
    SendMessage(Handle(), EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(Value.c_str()));
}

void TCustomEdit::SelectAll()
{
    SendMessage(Handle(), EM_SETSEL, 0, -1);
}

void TCustomEdit::ClearSelection()
{
    SendMessage(Handle(), WM_CLEAR, 0, 0);
}

void TCustomEdit::CutToClipboard()
{
    SendMessage(Handle(), WM_CUT, 0, 0);
}

void TCustomEdit::CopyToClipboard()
{
    SendMessage(Handle(), WM_COPY, 0, 0);
}

void TCustomEdit::PasteFromClipboard()
{
    SendMessage(Handle(), WM_PASTE, 0, 0);
}

void TCustomEdit::Clear()
{
    SetText("");
}

void TCustomEdit::Undo()
{
    SendMessage(Handle(), EM_UNDO, 0, 0);
}

bool TCustomEdit::CanUndo()
{
    return SendMessage(Handle(), EM_CANUNDO, 0, 0) != 0;
}

void TCustomEdit::ClearUndo()
{
    SendMessage(Handle(), EM_EMPTYUNDOBUFFER, 0, 0);
}

bool TCustomEdit::CharPositions(std::span<const int> Indexes, std::span<TPoint> Points)
{
    TEditState* S = EditStateOf(this);
    if (!S || Points.size() < Indexes.size())
        return false;
    const int Length = S->Length();
    std::vector<int> Pos(Indexes.size());
    for (std::size_t I = 0; I < Indexes.size(); ++I) {
        if (Indexes[I] < 0 || Indexes[I] > Length)
            return false;
        Pos[I] = S->ToPos(Indexes[I]);
    }
    std::vector<QPoint> Out(Pos.size());
    S->PosToClients(Pos.data(), static_cast<int>(Pos.size()), Out.data());
    for (std::size_t I = 0; I < Out.size(); ++I)
        Points[I] = TPoint{Out[I].x(), Out[I].y()};
    return true;
}

bool TCustomEdit::LineSpanInView(int Line, int& From, int& To)
{
    TEditState* S = EditStateOf(this);
    int Start, End;
    if (!S || !S->LineRange(Line, Start, End))
        return false;
    From = S->ToByte(Start);
    To = S->ToByte(End);
    if (!S->StraightLines() || End - Start < TEditLines::NearStart())
        return true;
    const QTextBlock B = S->Doc->findBlock(Start);
    S->EnsureLayout(B);
    S->BuildMap();
    if (B.layout()->lineCount() != 1 ||
        !S->Lines->Measurable(B, S->BlockBytes(static_cast<std::size_t>(B.blockNumber()))))
        return true;
    const RECT R = S->Rect();
    const double Left = -S->View->contentOffset().x();
    int First, Last;
    S->Lines->SpanAtX(B, S->BlockBytes(static_cast<std::size_t>(B.blockNumber())), B.layout()->lineAt(0),
                      Left, Left + (R.right - R.left), First, Last);
    From = S->ToByte(B.position() + First);
    To = S->ToByte(std::min(B.position() + Last + 1, End));
    return true;
}

bool TCustomEdit::TextPieces(int From, int To, std::vector<TEditTextPiece>& Pieces)
{
    Pieces.clear();
    TEditState* S = EditStateOf(this);
    if (!S || From < 0 || To < From || To > S->Length())
        return false;
    return S->PiecesOf(S->ToPos(From), S->ToPos(To), Pieces);
}

int TCustomEdit::GetTextRange(int From, int To, char* Buffer)
{
    TEditState* S = EditStateOf(this);
    if (!S || !Buffer)
        return 0;
    const int Length = S->Length();
    From = std::clamp(From, 0, Length);
    To = std::clamp(To, From, Length);
    if (To == From)
        return 0;
    // The characters holding the first and the last byte, whole, block by block (a cursor
    // placed on a long line measures its x from the line's start).
    const int First = S->ToPos(From);
    const int FirstByte = S->ToByte(First);
    int Last = S->ToPos(To);
    while (S->ToByte(Last) < To || S->Doc->characterAt(Last).isLowSurrogate())
        ++Last;
    std::string U;
    for (QTextBlock B = S->Doc->findBlock(First); B.isValid() && B.position() < Last; B = B.next()) {
        const int Len = B.length() - 1;
        const int A = std::max(First - B.position(), 0), Z = std::min(Last - B.position(), Len);
        if (Z > A)
            U += ToUtf8(S->Lines->TextOf(B, A, Z));
        if (Last > B.position() + Len)
            U += "\r\n";
    }
    const std::size_t Skip = static_cast<std::size_t>(From - FirstByte);
    const std::size_t N = std::min(static_cast<std::size_t>(To - From), U.size() - std::min(Skip, U.size()));
    std::memcpy(Buffer, U.data() + Skip, N);
    return static_cast<int>(N);
}

bool TCustomEdit::CharFromPos(int X, int Y, int& Index, int& Line)
{
    TEditState* S = EditStateOf(this);
    if (!S)
        return false;
    const int Pos = S->ClientToPos(X, Y);
    Index = S->ToByte(Pos);
    Line = S->LineOfPos(Pos);
    return true;
}

void TCustomEdit::SetTextBuf(const std::string& Value)
{
    // The stored text keeps the window's form: CR LF between lines, one line in an edit.
    std::string T = NormalizeBreaks(Value);
    if (!dynamic_cast<TCustomMemo*>(this)) {
        std::size_t Br = T.find("\r\n");
        if (Br != std::string::npos)
            T.resize(Br);
    }
    TWinControl::SetTextBuf(T);
}

void TCustomEdit::Change()
{
    if (OnChange)
        OnChange(this);
}

void TCustomEdit::DoEnter()
{
    // Entered by keyboard: a single-line edit selects its text, ready to be typed over.
    if (AutoSelect && !ControlState.Contains(csLButtonDown) && HandleAllocated() &&
        !(GetWindowLong(FHandle, GWL_STYLE) & ES_MULTILINE) && GetKeyState(VK_LBUTTON) >= 0)
        SelectAll();
    TWinControl::DoEnter();
}

void TCustomEdit::CNCommand(TWMCommand Message)
{
    if (Message.NotifyCode() == EN_CHANGE && !FCreating)
        Change();
}

void TCustomEdit::CMTextChanged(TMessage&)
{
    // The window already holds the new text (WM_SETTEXT); it repaints itself.
}

void TCustomEdit::CMFontChanged(TMessage& Message)
{
    TWinControl::CMFontChanged(Message);
    if (HandleAllocated())
        Invalidate();
}

void TCustomEdit::CMColorChanged(TMessage& Message)
{
    TWinControl::CMColorChanged(Message);
    if (HandleAllocated())
        Invalidate();
}

// ---- TMemoStrings -----------------------------------------------------------------------------
//
// Lines are the text's own lines (not the wrapped ones). Each operation works on the memo's text
// through the edit messages when it has a window (keeping caret and scroll position), and on
// the stored text otherwise.

namespace {

// Byte offsets of each line start in Text; a final empty line after CR LF is included.
std::vector<std::size_t> LineStarts(const std::string& Text)
{
    std::vector<std::size_t> Starts{0};
    for (std::size_t I = 0; I + 1 < Text.size(); ++I)
        if (Text[I] == '\r' && Text[I + 1] == '\n')
            Starts.push_back(I + 2);
    return Starts;
}

std::size_t LineEnd(const std::string& Text, std::size_t Start)
{
    std::size_t P = Text.find("\r\n", Start);
    return P == std::string::npos ? Text.size() : P;
}

} // namespace

std::string TMemoStrings::Text() const
{
    return FMemo->Text();
}

void TMemoStrings::SetText(const std::string& Value)
{
    FMemo->SetText(NormalizeBreaks(Value));
}

int TMemoStrings::GetCount() const
{
    if (TEditState* S = EditStateOf(FMemo)) {
        int N = S->Doc->blockCount();
        if (S->Doc->lastBlock().text().isEmpty())
            --N;
        return std::max(0, N);
    }
    const std::string T = FMemo->Text();
    int N = static_cast<int>(LineStarts(T).size());
    if (T.empty() || (T.size() >= 2 && T.compare(T.size() - 2, 2, "\r\n") == 0))
        --N;
    return std::max(0, N);
}

std::string TMemoStrings::Get(int Index) const
{
    if (Index < 0)
        return {};
    if (TEditState* S = EditStateOf(FMemo)) {
        QTextBlock B = S->Doc->findBlockByNumber(Index);
        return B.isValid() ? ToUtf8(B.text()) : std::string();
    }
    const std::string T = FMemo->Text();
    auto Starts = LineStarts(T);
    if (static_cast<std::size_t>(Index) >= Starts.size())
        return {};
    std::size_t A = Starts[static_cast<std::size_t>(Index)];
    return T.substr(A, LineEnd(T, A) - A);
}

namespace {

// Replaces bytes [A, B) of the memo's text with S (through the selection when it has a window).
void ReplaceRange(TCustomMemo* Memo, std::size_t A, std::size_t B, const std::string& S)
{
    if (Memo->HandleAllocated()) {
        HWND Wnd = Memo->Handle();
        SendMessage(Wnd, EM_SETSEL, static_cast<WPARAM>(A), static_cast<LPARAM>(B));
        SendMessage(Wnd, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(S.c_str()));
        return;
    }
    std::string T = Memo->Text();
    A = std::min(A, T.size());
    B = std::clamp(B, A, T.size());
    T.replace(A, B - A, S);
    Memo->SetText(T);
}

} // namespace

void TMemoStrings::Put(int Index, const std::string& S)
{
    const std::string T = FMemo->Text();
    auto Starts = LineStarts(T);
    if (Index < 0 || static_cast<std::size_t>(Index) >= Starts.size())
        return;
    std::size_t A = Starts[static_cast<std::size_t>(Index)];
    ReplaceRange(FMemo, A, LineEnd(T, A), S);
}

void TMemoStrings::Insert(int Index, const std::string& S)
{
    if (Index < 0)
        return;
    const std::string T = FMemo->Text();
    auto Starts = LineStarts(T);
    if (static_cast<std::size_t>(Index) < Starts.size()) {
        std::size_t A = Starts[static_cast<std::size_t>(Index)];
        ReplaceRange(FMemo, A, A, S + "\r\n");
        return;
    }
    // Past the last line: after a last line that has no break yet.
    if (static_cast<std::size_t>(Index) != Starts.size())
        return;
    std::size_t A = Starts.back();
    std::size_t E = LineEnd(T, A);
    if (E == A)
        return;
    ReplaceRange(FMemo, E, E, "\r\n" + S);
}

void TMemoStrings::Delete(int Index)
{
    const std::string T = FMemo->Text();
    auto Starts = LineStarts(T);
    if (Index < 0 || static_cast<std::size_t>(Index) >= Starts.size())
        return;
    std::size_t A = Starts[static_cast<std::size_t>(Index)];
    std::size_t B = static_cast<std::size_t>(Index) + 1 < Starts.size()
                        ? Starts[static_cast<std::size_t>(Index) + 1]
                        : LineEnd(T, A);
    ReplaceRange(FMemo, A, B, "");
}

void TMemoStrings::Clear()
{
    FMemo->Clear();
}

void TMemoStrings::SetUpdateState(bool Updating)
{
    if (!FMemo->HandleAllocated())
        return;
    SendMessage(FMemo->Handle(), WM_SETREDRAW, Updating ? FALSE : TRUE, 0);
    if (!Updating)
        FMemo->Invalidate();
}

// ---- TCustomMemo ------------------------------------------------------------------------------

TCustomMemo::TCustomMemo(TComponent* AOwner) : TCustomEdit(AOwner), FLines(new TMemoStrings(this))
{
    SetBounds(FLeft, FTop, 185, 89);
    AutoSize = false;
}

TCustomMemo::~TCustomMemo()
{
    delete FLines;
}

void TCustomMemo::SetLines(TStrings* Value)
{
    if (Value && Value != FLines)
        FLines->Assign(Value);
}

void TCustomMemo::SetAlignment(TAlignment Value)
{
    if (FAlignment == Value)
        return;
    FAlignment = Value;
    RecreateWnd();
}

void TCustomMemo::SetScrollBars(TScrollStyle Value)
{
    if (FScrollBars == Value)
        return;
    FScrollBars = Value;
    RecreateWnd();
}

void TCustomMemo::SetWordWrap(bool Value)
{
    if (FWordWrap == Value)
        return;
    FWordWrap = Value;
    RecreateWnd();
}

void TCustomMemo::CreateParams(TCreateParams& Params)
{
    TCustomEdit::CreateParams(Params);
    Params.Style |= ES_MULTILINE | WS_CLIPCHILDREN;
    if (WantReturns)
        Params.Style |= ES_WANTRETURN;
    if (FWordWrap)
        Params.Style &= ~ES_AUTOHSCROLL;
    if (FScrollBars == ssVertical || FScrollBars == ssBoth)
        Params.Style |= WS_VSCROLL;
    if (FScrollBars == ssHorizontal || FScrollBars == ssBoth)
        Params.Style |= WS_HSCROLL;
    if (FAlignment == taRightJustify)
        Params.Style |= ES_RIGHT;
    else if (FAlignment == taCenter)
        Params.Style |= ES_CENTER;
}

void TCustomMemo::WMGetDlgCode(TWMGetDlgCode Message)
{
    // Enter and Tab are the memo's only when it wants them; Esc goes to the form.
    Message.Result = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS | (WantTabs ? DLGC_WANTTAB : 0);
}

void TCustomMemo::CMWantSpecialKey(TCMWantSpecialKey Message)
{
    Message.Result = (Message.WParam == VK_RETURN && WantReturns) ? 1 : 0;
}

void TCustomMemo::WMChar(TWMChar Message)
{
    // A Tab or Enter the form took (focus moved, default button) still arrives as a character.
    if ((Message.WParam == '\t' && !WantTabs) || (Message.WParam == '\r' && !WantReturns))
        return;
    TCustomEdit::WMChar(Message);
}

// ---- Registration ----------------------------------------------------------------------------

TW_ENUM(TEditCharCase, "ecNormal", "ecUpperCase", "ecLowerCase");

TW_PUBLISH(TCustomEdit, TWinControl)
{
    Cls.Bool("AutoSelect", &TCustomEdit::AutoSelect).Default(true);
    Cls.Bool("AutoSize", &TCustomEdit::AutoSize).Default(true);
    Cls.Enum("BorderStyle", &TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle).Default(bsSingle);
    Cls.Enum("CharCase", &TCustomEdit::CharCase, &TCustomEdit::SetCharCase).Default(ecNormal);
    Cls.Bool("HideSelection", &TCustomEdit::HideSelection, &TCustomEdit::SetHideSelection).Default(true);
    Cls.Int("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength).Default(0);
    Cls.Bool("OEMConvert", &TCustomEdit::OEMConvert).Default(false);
    Cls.Char("PasswordChar", &TCustomEdit::PasswordChar, &TCustomEdit::SetPasswordChar).Default('\0');
    Cls.Bool("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly).Default(false);
    Cls.Event("OnChange", &TCustomEdit::OnChange);
    Cls.Message(CN_COMMAND, &TCustomEdit::CNCommand);
    Cls.Message(CM_TEXTCHANGED, &TCustomEdit::CMTextChanged);
    Cls.Message(CM_FONTCHANGED, &TCustomEdit::CMFontChanged);
    Cls.Message(CM_COLORCHANGED, &TCustomEdit::CMColorChanged);
}

TW_PUBLISH(TEdit, TCustomEdit) {}

TW_PUBLISH(TCustomMemo, TCustomEdit)
{
    Cls.Enum("Alignment", &TCustomMemo::Alignment, &TCustomMemo::SetAlignment).Default(taLeftJustify);
    Cls.Strings("Lines", &TCustomMemo::Lines, &TCustomMemo::SetLines);
    Cls.Enum("ScrollBars", &TCustomMemo::ScrollBars, &TCustomMemo::SetScrollBars).Default(ssNone);
    Cls.Bool("WantReturns", &TCustomMemo::WantReturns).Default(true);
    Cls.Bool("WantTabs", &TCustomMemo::WantTabs).Default(false);
    Cls.Bool("WordWrap", &TCustomMemo::WordWrap, &TCustomMemo::SetWordWrap).Default(true);
    Cls.Message(WM_GETDLGCODE, &TCustomMemo::WMGetDlgCode);
    Cls.Message(CM_WANTSPECIALKEY, &TCustomMemo::CMWantSpecialKey);
    Cls.Message(WM_CHAR, &TCustomMemo::WMChar);
}

TW_PUBLISH(TMemo, TCustomMemo) {}
