// Private to the edit control: byte offsets, text and x positions along the blocks of its
// document that stay cheap however long a block is.
//
// The editor's own queries walk a block from its start: its text comes out as a copy of the
// whole block, a cursor placed on it and an x position are measured glyph by glyph from the
// start of the line. On a line of a megabyte each costs milliseconds, and a pane that asks for
// a position per coloured run freezes. So:
// - Offsets: a block whose UTF-8 length equals its UTF-16 length is ASCII and maps one to one;
//   any other long block is read once per edit into a table of marks.
// - Text: of a long block a part around what was asked is kept, and mended by each edit.
// - X positions: an unwrapped, left-to-right long line is measured from an anchor, a point of
//   the line whose x is known (at least its start), over a small layout of the text from there
//   (a window), kept until the text changes. An anchor is placed where shaping cannot join the
//   characters on either side of it (after a blank or an ASCII sign, before an ASCII
//   character), so the window lays the glyphs after it out as the line does. Anchors before an
//   edit stay valid: nothing before them changed.
// Lines with right-to-left text, with a TAB in the window (its width depends on where the line
// starts) or that wrap are measured by the editor itself, as are short lines.
#pragma once

#include <QString>
#include <QTextBlock>
#include <QTextLayout>

#include <array>
#include <memory>
#include <utility>
#include <vector>

class QTextDocument;

// Bytes of the first N UTF-16 units of S in UTF-8 (a pair counts whole at its first unit).
int Utf8Length(QStringView S, int N);
// The UTF-16 index in S of byte offset Bytes (rounded down to a character start).
int Utf16Index(QStringView S, int Bytes);

class TEditLines {
public:
    explicit TEditLines(QTextDocument* Doc);

    // Bytes that the first Units units of block B take in UTF-8; Bytes: the block's UTF-8 length.
    int UnitsToBytes(const QTextBlock& B, int Bytes, int Units);
    // The unit index of byte offset Offset in block B (rounded down to a character start).
    int BytesToUnits(const QTextBlock& B, int Bytes, int Offset);

    // Layout x of the positions Rels (ascending, relative to the block) on line L, the only line
    // of the unwrapped, left-aligned block B.
    void XsOf(const QTextBlock& B, int Bytes, const QTextLine& L, const int* Rels, int Count, double* Xs);
    // The position of layout x X on that line, as QTextLine::xToCursor gives it.
    int PosAtX(const QTextBlock& B, int Bytes, const QTextLine& L, double X, QTextLine::CursorPosition Mode);
    // The characters under layout x Left and Right on that line.
    void SpanAtX(const QTextBlock& B, int Bytes, const QTextLine& L, double Left, double Right, int& First,
                 int& Last);

    // Text of block B from unit From to unit To. Of a long block, a part around it is kept and
    // mended by edits, so the block is not read whole again for each question or keystroke.
    QString TextOf(const QTextBlock& B, int From, int To);
    // The Count characters of the document from Pos, read one by one (for a few).
    QString CharsAt(int Pos, int Count) const;

    // The document changed at Pos, Removed characters replaced by Added, as it reports it;
    // whether those counts agree with how its length changed.
    bool Changed(int Pos, int Removed, int Added);
    // The editor shapes a line's glyphs again for every paint unless its layout keeps them: a
    // long line among blocks Pos to Pos + Added keeps them (called before the editor lays the
    // changed blocks out).
    void KeepShapes(int Pos, int Added);
    // Something the layout depends on changed (font, tabs, alignment, wrapping).
    void Reset();

    // Whether block B holds right-to-left text.
    bool HoldsRightToLeft(const QTextBlock& B, int Bytes);
    // Whether x along block B is measured from points along it (it is long enough, and left to
    // right).
    bool Measurable(const QTextBlock& B, int Bytes);

    // Lines shorter than this many units are measured by the editor itself.
    static int& NearStart();
    static constexpr int DefaultNearStart = 1024;

private:
    struct TBlockText {
        int Block = -1;
        unsigned Edit = 0;
        QString Text;
        // (unit, byte) every MarkStep units, never inside a surrogate pair.
        std::vector<std::pair<int, int>> Marks;
        bool RightToLeft = false;
        unsigned Used = 0;
    };
    struct TWindow {
        int Block = -1;
        unsigned Edit = 0;
        int From = 0, To = 0; // units of the block the layout holds
        double X0 = 0;        // layout x of From on the line
        std::unique_ptr<QTextLayout> Layout;
        bool Valid(int Block, unsigned Edit) const
        {
            return Layout && this->Block == Block && this->Edit == Edit;
        }
    };
    struct TAnchor {
        int Rel;
        double X;
    };
    struct TTextPart {
        int Block = -1; // -1: none
        int From = 0;   // the unit of the block Text starts at
        QString Text;
    };

    // The block's text and marks (for blocks that are not ASCII), read once per edit.
    const TBlockText& BlockText(const QTextBlock& B);
    // Makes the window cover units [Lo, Hi] of block B; false when those must be measured by
    // the editor.
    bool Cover(const QTextBlock& B, const QTextLine& L, int Lo, int Hi);
    // The same for layout x from Lo to Hi.
    bool CoverX(const QTextBlock& B, const QTextLine& L, double Lo, double Hi);
    // Whether the window holds layout x X.
    bool Holds(const QTextBlock& B, double X);
    // The last point at or before Rel (and after Floor) where a window may start; -1 if none.
    int AnchorPoint(const QString& Text, int TextFrom, int Rel, int Floor) const;
    void AddAnchor(int Block, int Rel, double X);
    bool Build(const QTextBlock& B, int From, int To, double X0);

    QTextDocument* FDoc;
    unsigned FEdit = 0;
    int FCount = 0, FBlocks = 0; // the document's size at the last change
    TTextPart FPart;
    std::array<TBlockText, 4> FTexts;
    unsigned FUse = 0;
    TWindow FWindow;
    int FAnchorBlock = -1;
    std::vector<TAnchor> FAnchors; // ascending Rel
};
