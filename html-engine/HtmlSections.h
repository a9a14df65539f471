// Text blocks: a TSection holds one paragraph-like run of text with its font runs, inline images
// and form controls, breaks it into lines around floats, aligns, paints (links, sub/superscript,
// selection), answers hit tests, searches and counts selected text. TPreFormated never wraps;
// the list items paint a bullet or a number before their first line.
//
// Text is bytes of UTF-8; a position counts bytes, so a character of several bytes takes as many
// positions (lines never break inside one). Code 4 stands for an image, code 2 for a control.
#pragma once

#include "html-engine/HtmlForms.h"
#include "html-engine/HtmlImages.h"
#include "html-engine/HtmlModel.h"

#include <string>
#include <vector>

// One laid-out line.
struct LineRec {
    int Start = 0; // index of its first character in the block's text
    int SpaceBefore = 0, SpaceAfter = 0;
    int LineHt = 0;
    int DrawHeight = 0;
    int Ln = 0;
    int Descent = 0;
    int LineIndent = 0;
    int DrawX = 0, DrawY = 0; // from the last paint: screen X, document Y of the text top
};

// The lines of a block. Most blocks have one line, which the list holds itself; longer ones are
// kept on the heap, trimmed to the lines that exist once a layout is done.
class TLineList {
public:
    TLineList() {}
    TLineList(const TLineList&) = delete;
    TLineList& operator=(const TLineList&) = delete;
    ~TLineList() { Clear(); }

    int Count() const { return FCount; }
    // Pointers into the list stay good until it next grows.
    LineRec* Item(int Index);
    const LineRec* Item(int Index) const { return const_cast<TLineList*>(this)->Item(Index); }
    LineRec& Add();
    void Clear();
    void Trim();

private:
    LineRec* Heap() const;
    void SetHeap(LineRec* Lines, int Capacity);

    // The heap part keeps the list 4-byte aligned, so the block packs it between its integers.
    struct THeap {
        unsigned char Lines[sizeof(LineRec*)];
        int Capacity;
    };
    union TStore {
        TStore() {}
        LineRec One;
        THeap Many;
    } F;
    int FCount = 0;
};

class TSection : public TSectionBase {
public:
    static constexpr char ImgChar = 4;
    static constexpr char FmCtlChar = 2;
    static constexpr int MaxText = 20000;

    // Link may be null. Font is copied with the builder's style additions, when given; the
    // block takes their script shift and resets it.
    TSection(int ALevel, int AJustify, const TUrlTarget* Link, TMyFont* Font,
             TFontAdditions* Additions = nullptr);
    TSection(TSectionList* AMasterList, const TSection& Source);
    ~TSection() override;

    TSectionBase* Duplicate(TSectionList* MasterList) const override;
    void CopyToClipboard() override;
    int DrawLogic(TCanvas* Canvas, int Y, int& Curs, int& MaxWidth, IndentManager* IMgr) override;
    int Draw(TCanvas* Canvas, const TRect& ARect, int Y, int X, IndentManager* IMgr) override;
    bool GetURL(TCanvas* Canvas, int X, int Y, TFormControlObj*& FormControl, TUrlTarget& UrlTarget) override;
    int FindCursor(TCanvas* Canvas, int X, int Y, TCell*& Cell, int& LineHeight, int& Top,
                   int& CaretX) override;
    int FindString(int From, const std::string& ToFind, bool MatchCase) override;
    bool CursorToXY(TCanvas* Canvas, int Cursor, int& X, int& Y) override;
    bool GetChAtPos(int Pos, char& Ch, TObject*& Obj) override;
    void UpdateFonts() override;
    void MinMaxWidth(TCanvas* Canvas, int& Min, int& Max) override;
    bool HoldsObject(const TObject* Obj) const override;
    // A block done with building shares its fonts with the blocks that have the same ones.
    void AddedToCell() override { Fonts.Share(); }
    virtual void AddText(const std::string& Text);

    // The new run takes the builder's style additions and script shift, when given.
    void SwitchFont(TSectionList* Document, TMyFont* Font, const TFontAdditions* Additions = nullptr);
    void SwitchLink(bool Starting, TSectionList* Document, TMyFont* Font, const TUrlTarget* Link,
                    const TFontAdditions* Additions = nullptr);
    TImageObj* InsertImage(TAttributeList* Attributes, TCell* Cell);
    // Form may be null: the control then joins the document's last form (a new one when there
    // is none).
    TFormControlObj* InsertFormControl(THtmlSymbol Which, TSectionList* Document, TCell* Cell,
                                       TAttributeList* Attributes, ThtmlForm* Form = nullptr);
    void SetClear(TAttributeList* Attributes);
    int FinishSection();

    const std::string& Text() const { return Buff; }
    LineRec* Line(int Index) { return Lines.Item(Index); }
    const LineRec* Line(int Index) const { return Lines.Item(Index); }
    TFormControlObj* FormControlAt(int Pos) const { return FormControls.ControlAt(Pos); }
    // Copy of the font the block started with; list numbers are painted in it.
    const TMyFont& BulletFont() const { return Fonts.BulletFont(); }

    // Measuring (the font of each character from its run, selected into Canvas).
    int TextWidth(TCanvas* Canvas, int Start, bool StripTrailing, int Count);
    int FindCountThatFits(TCanvas* Canvas, int Width, int MaxChars, int Start);

    // A document holds a block per line break, so the fields are ordered to leave no gaps (the
    // bytes first fill the end of the base) and the rarely used parts are made when needed.
    std::uint8_t ListType = 0; // 0 plain, 1 ordered item, 2 unordered item, 3 definition item
    std::uint8_t Justify = 1;  // 1 left, 2 centre, 3 right
    std::uint8_t ClearAttr = 0;
    int Level = 0;
    int Indent = 0;
    std::string Buff;
    TFontList Fonts;
    HtmlEngine::TImageList Images;
    TFormControlList FormControls; // the visible controls in the text, not owned
    int LeftIndentAtStart = 0;
    TLineList Lines;

protected:
    virtual bool IsPreformatted() const { return false; }
    // The text of a list item's label ("A.", "iv.", "3."); empty for none.
    virtual std::string ListLabel() const { return std::string(); }

private:
    int FitText(TCanvas* Canvas, int Width, std::vector<TImageObj*>& PendingFloats, int& FloatHeight,
                IndentManager* IMgr, int Y, int MaxChars, int Start);
    int Fit(TCanvas* Canvas, int Width, int MaxChars, int Start, bool PlaceFloats,
            std::vector<TImageObj*>* PendingFloats, int* FloatHeight, IndentManager* IMgr, int Y);
    int PieceLength(int Start, int End) const;
    void SelectRunFont(TCanvas* Canvas, int Pos, TFontObj*& Run);
    void FormLine(TCanvas* Canvas, int Start, int N, int& Y, IndentManager* IMgr, int FloatHeight,
                  std::vector<TImageObj*>& PendingFloats);
    void DrawBullet(TCanvas* Canvas, int Bx, int Y, const LineRec* L);
};

class TPreFormated : public TSection {
public:
    using TSection::TSection;
    TPreFormated(TSectionList* AMasterList, const TPreFormated& Source);
    TSectionBase* Duplicate(TSectionList* MasterList) const override;
    void AddText(const std::string& Text) override;
    int DrawLogic(TCanvas* Canvas, int Y, int& Curs, int& MaxWidth, IndentManager* IMgr) override;
    void MinMaxWidth(TCanvas* Canvas, int& Min, int& Max) override;
    // An empty preformatted line still takes a line's height.
    void AddedToCell() override
    {
        if (Len == 0)
            AddText(" ");
        TSection::AddedToCell();
    }

protected:
    bool IsPreformatted() const override { return true; }
};

class TUListItem : public TSection {
public:
    TUListItem(int ALevel, const TUrlTarget* Link, TMyFont* Font, TFontAdditions* Additions = nullptr);
    TUListItem(TSectionList* AMasterList, const TUListItem& Source);
    TSectionBase* Duplicate(TSectionList* MasterList) const override;

    bool Plain = false;
};

class TDListItem : public TSection {
public:
    TDListItem(int ALevel, const TUrlTarget* Link, TMyFont* Font, TFontAdditions* Additions = nullptr);
    TDListItem(TSectionList* AMasterList, const TDListItem& Source);
    TSectionBase* Duplicate(TSectionList* MasterList) const override;
};

class TOListItem : public TSection {
public:
    // A number below 1 (START of 0, negative or not a number) gives decimal numbering from 1.
    TOListItem(int ALevel, const TUrlTarget* Link, TMyFont* Font, char ANumType, int AListNumb,
               TFontAdditions* Additions = nullptr);
    TOListItem(TSectionList* AMasterList, const TOListItem& Source);
    TSectionBase* Duplicate(TSectionList* MasterList) const override;

    char NumType = '1';
    int ListNumb = 0;

protected:
    std::string ListLabel() const override;
};

// The label of ordered item N: "A".."Z" (letters past Z stay Z), "I".."XX" / "i".."xx" (numbers
// past 20 show XX), else N in decimal; followed by ".".
std::string OrderedListLabel(char NumType, int N);
