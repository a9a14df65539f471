// The document model of the HTML view: a document is a cell (an owning list of blocks laid out one
// below the other) with the document-wide settings; every block answers the same set of virtual
// operations (layout, paint, hit tests, search, selection count, font refresh, width range).
// Here: the block base, the cell, the document, the indent manager for floats and list levels,
// font runs, and the small blocks (paragraph space, heading space, horizontal rule, page).
//
// Coordinates are pixels. A document Y counts from the top of the document; a screen Y is the
// document Y less the document's scroll offset YOff. Character positions ("cursor" values) count
// the characters of all text blocks in order; an image in text is one character (code 4), a form
// control one (code 2).
#pragma once

#include "html-engine/HtmlImageUtil.h"
#include "html-engine/HtmlParser.h"
#include "platform/classes/Classes.h"
#include "platform/graphics/Graphics.h"
#include "platform/rtl/SysUtils.h"

#include <climits>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TSectionList;
class TCell;
class IndentManager;
class TImageObj;
class TFormControlObj;
class ThtmlForm;
class TGIFImage;

class TMemoryStream;

// Asked for a picture by its SRC: the host may hand over a bitmap (and its transparent colour) or
// a stream holding the picture's bytes; left untouched, the picture is read from its file.
using TGetBitmapEvent =
    std::function<void(TObject* Sender, const std::string& SRC, TBitmap*& Bitmap, TColor& Color)>;
using TGetImageEvent = std::function<void(TObject* Sender, const std::string& SRC, TMemoryStream*& Stream)>;

// A layout error of one block; the cell that lays the block out reports it and drops the block.
class EProcessError : public Exception {
public:
    using Exception::Exception;
};

// The error box a cell shows for a dropped block. Goes through the platform's message box; a test
// or a host may replace it (nullptr restores the message box).
using TProcessErrorHandler = std::function<void(const std::string& Message)>;
void SetProcessErrorHandler(TProcessErrorHandler Handler);
void ShowProcessError(const std::string& Message);

// Saturating arithmetic for sizes that come from attributes, so that huge WIDTH/HEIGHT values
// never wrap around.
int SatInt(std::int64_t Value);
inline int SatAdd(int A, std::int64_t B)
{
    return SatInt(static_cast<std::int64_t>(A) + B);
}

// A background counts as light when it is white, or the window colour while that is white.
bool IsLightBackground(TColor Color);

// ---------------------------------------------------------------------------------------------
// Fonts

class TMyFont : public TFont {
public:
    TMyFont() = default;
    void Assign(TPersistent* Source) override;
    // NormalSize := Size; point size := MulDiv(base size, Size, 12).
    void SetNormalSize(TSectionList* Document, int Size);
    // The document's default name (the preformatted one when Fixed), the scaled size and Color
    // made palette-relative.
    void UpdateFont(TSectionList* Document, TColor Color);

    int NormalSize = 12; // the size in points at a base size of 12
    bool Fixed = false;  // takes the preformatted font name
};

// A font shared by everything that uses the same attributes (a document of a million blocks
// holds a handful of fonts), with its metrics, read once. A shared font never changes: whoever
// wants another font takes a reference to that one.
class TSharedFont {
public:
    const TMyFont& Font() const { return FFont; }
    int FontHeight() const { return FFontHeight; } // tmHeight + tmExternalLeading
    int tmHeight() const { return FtmHeight; }
    int Overhang() const { return FOverhang; }
    int Descent() const { return FDescent; }

private:
    friend class TFontRef;
    TSharedFont(const TMyFont& AFont, std::size_t AHash);
    TMyFont FFont;
    int FFontHeight = 0, FtmHeight = 0, FOverhang = 0, FDescent = 0;
    std::size_t FHash;
    int FUsers = 0;
};

// A counted reference to a shared font; null only when default-made.
class TFontRef {
public:
    TFontRef() = default;
    // The shared font with the attributes of Font (and Extra styles added), made when none exists.
    explicit TFontRef(const TMyFont& Font, TFontStyles Extra = TFontStyles());
    TFontRef(const TFontRef& Source) : FFont(Source.FFont) { Use(); }
    TFontRef(TFontRef&& Source) noexcept : FFont(Source.FFont) { Source.FFont = nullptr; }
    TFontRef& operator=(TFontRef Source) noexcept
    {
        std::swap(FFont, Source.FFont);
        return *this;
    }
    ~TFontRef() { Release(); }

    const TMyFont* get() const { return FFont ? &FFont->FFont : nullptr; }
    const TMyFont* operator->() const { return &FFont->FFont; }
    const TMyFont& operator*() const { return FFont->FFont; }
    explicit operator bool() const { return FFont != nullptr; }
    const TSharedFont& Shared() const { return *FFont; }
    bool operator==(const TFontRef& Other) const { return FFont == Other.FFont; }
    // The font as TMyFont::UpdateFont makes it for Document and Color.
    TFontRef Updated(TSectionList* Document, TColor Color) const;

private:
    void Use()
    {
        if (FFont)
            ++FFont->FUsers;
    }
    void Release();
    TSharedFont* FFont = nullptr;
};

// The canvas takes the attributes of a shared font (its own font is changed, the shared one only
// read).
void SelectFont(TCanvas* Canvas, const TMyFont& Font);

// One font run of a text block, with the metrics of its font. Runs are values that never change
// (several blocks may share them): the block's list replaces a run instead.
class TFontObj {
public:
    TFontObj(TFontRef Font, int APos, const TUrlTarget* Link = nullptr, std::uint8_t AScript = 0);
    TFontObj(const TMyFont& Font, int APos, const TUrlTarget* Link = nullptr, std::uint8_t AScript = 0)
        : TFontObj(TFontRef(Font), APos, Link, AScript)
    {
    }
    TFontObj(const TFontObj& Source) = default;
    TFontObj& operator=(const TFontObj&) = delete;
    bool operator==(const TFontObj& Other) const;

    const int Pos;
    const std::uint8_t SScript; // 0 normal, 1 subscript, 2 superscript
    const TFontRef TheFont;
    const int FontHeight; // tmHeight + tmExternalLeading
    const int tmHeight;
    const int Overhang;
    const int Descent;
    const TUrlTarget UrlTarget; // empty URL: not a link
};

// The runs of one block in increasing Pos (the first starts at 0), and the font its list label is
// painted in. Blocks whose fonts are the same share them: a list is a counted reference to its
// runs, copied before it changes, and a one-run list can be handed to the shared ones.
class TFontList {
public:
    TFontList() = default;
    TFontList(const TFontList& Source);
    TFontList& operator=(const TFontList& Source);
    ~TFontList();

    int Count() const;
    // Pointers into the list stay good until the list changes.
    TFontObj* Run(int Index) const;
    void Add(const TFontObj& Run);
    void SetRun(int Index, const TFontObj& Run);
    const TMyFont& BulletFont() const;
    void SetBulletFont(const TFontRef& Font);
    // Every run takes the document's defaults (the link colour in links), the label font the
    // default colour.
    void UpdateFonts(TSectionList* Document);
    // A list of one run joins the shared lists: every block with the same run and label font
    // holds the same one.
    void Share();
    // The list becomes the shared one of Run and label font Bullet.
    void Assign(const TFontObj& Run, const TFontRef& Bullet);

    // The font of the run holding Pos (the last with Pos <= the position), and its overhang.
    const TMyFont* GetFontAt(int Pos, int& OHang) const;
    // Characters from Pos to the start of the next run after Pos; Len - Pos when there is none.
    int GetFontCountAt(int Pos, int Len) const;
    TFontObj* GetFontObjAt(int Pos, int& Index) const;
    TFontObj* GetFontObjAt(int Pos) const
    {
        int I;
        return GetFontObjAt(Pos, I);
    }

    struct TRuns;

private:
    TRuns* Own();
    TRuns* FRuns = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Blocks

class TSectionBase : public TObject {
public:
    TSectionBase() = default;
    // Copy constructor of the base: SectionHeight only.
    TSectionBase(TSectionList* AMasterList, const TSectionBase& Source);

    // A deep copy of the block for the document MasterList.
    virtual TSectionBase* Duplicate(TSectionList* MasterList) const;
    // Adds the block's selected text to the document's selection counter.
    virtual void CopyToClipboard();
    // Layout at document Y; returns SectionHeight.
    virtual int DrawLogic(TCanvas* Canvas, int Y, int& Curs, int& MaxWidth, IndentManager* IMgr);
    // Paints the block whose top is at document Y and left edge at X; returns Y + SectionHeight.
    virtual int Draw(TCanvas* Canvas, const TRect& ARect, int Y, int X, IndentManager* IMgr);
    // The link under a point (Y relative to the block's top).
    virtual bool GetURL(TCanvas* Canvas, int X, int Y, TFormControlObj*& FormControl, TUrlTarget& UrlTarget);
    // The character position under a point (Y relative to the block's top); -1 when none.
    virtual int FindCursor(TCanvas* Canvas, int X, int Y, TCell*& Cell, int& LineHeight, int& Top,
                           int& CaretX);
    // Position of the next match at or after From; -1 when none.
    virtual int FindString(int From, const std::string& ToFind, bool MatchCase);
    virtual bool CursorToXY(TCanvas* Canvas, int Cursor, int& X, int& Y);
    virtual bool GetChAtPos(int Pos, char& Ch, TObject*& Obj);
    virtual void UpdateFonts();
    virtual void UpdateSpacing();
    virtual void MinMaxWidth(TCanvas* Canvas, int& Min, int& Max);
    // True when Obj is this block or an object inside it (a run, an image, a control, a
    // nested block); the document uses it to forget every reference into a dropped block.
    virtual bool HoldsObject(const TObject* Obj) const;
    // Runs when a cell takes the block, before UpdateSpacing (an empty preformatted block takes
    // its one blank here).
    virtual void AddedToCell() {}

    TSectionList* ParentSectionList = nullptr;
    int SectionHeight = 0; // the height the block takes in the flow
    int DrawHeight = 0;    // the height it paints (floats may hang below)
    int StartY = 0;
    int StartCurs = 0;
    int Len = 0;
};

// The indent of one float or list level, on one side.
class IndentRec : public TObject {
public:
    int X = 0;   // left: indent from LfEdge; right: offset from RtEdge (<= 0)
    int YT = 0;  // top, inclusive
    int YB = 0;  // bottom, exclusive
    int Lev = 0; // 0 a float, else its list level
};

class IndentManager : public TObject {
public:
    void Clear();
    void Reset(int Lf, int Rt);
    // Places a floating image (LEFT or RIGHT) at Y; other images and nil are ignored.
    void Update(int Y, TImageObj* Image);
    // Places a floating table (Justify 1 left, 3 right).
    void UpdateTable(int Y, int AWidth, int Justify, int Height);
    int LeftIndent(int Y) const;
    int RightSide(int Y) const;
    int ImageBottom() const;
    void GetClearY(int& CL, int& CR) const;
    // FromY leaves out the records that end above it (YB < FromY): a block that starts at FromY
    // takes the same height from the rest.
    int GetLevelClear(int FromY = INT_MIN) const;
    void SetLevel(int Y, int Level);
    // Layout tells the manager that no query of this pass looks above Y any more, so records
    // that end above it need not be visited again (a long document collects thousands of closed
    // list levels). Queries above it still see every record.
    void SetFloor(int Y);

    IndentRec* LeftRec(int I) const { return L.ItemAs<IndentRec>(I); }
    IndentRec* RightRec(int I) const { return R.ItemAs<IndentRec>(I); }

    int Width = 0;
    int ClipWidth = 0;
    // Read freely; records change only through the manager (it keeps summaries of them).
    TFreeList L, R;
    int CurrentLevel = 0;
    int LfEdge = 0, RtEdge = 0;

private:
    struct TSide {
        std::vector<IndentRec*> Live; // every record of the side with YB >= the floor, and maybe others
        bool AnyFloat = false;        // a record with Lev 0 exists
        int FloatBottom = INT_MIN;    // the largest YB of those
    };
    void AddRec(TFreeList& Side, TSide& Summary, int AX, int AYT, int AYB, int ALev);
    void NoteFloat(TSide& Summary, int YB);
    // The records a query at Y must visit.
    const std::vector<IndentRec*>* LiveFor(const TSide& Summary, int Y) const
    {
        return Y >= FFloor ? &Summary.Live : nullptr;
    }

    TSide FLeft, FRight;
    std::vector<IndentRec*> FOpen; // open list levels (Lev > 0), all on the left
    int FFloor = INT_MIN;
};

// An owning list of blocks laid out one below the other.
class TCell : public TFreeList {
public:
    explicit TCell(TSectionList* AMasterList);
    TCell(TSectionList* AMasterList, const TCell& Source);
    ~TCell() override;

    TSectionBase* Block(int Index) const { return ItemAs<TSectionBase>(Index); }
    // nil is ignored. The block joins the document and takes its spacing.
    void Add(TSectionBase* Block);
    int DoLogic(TCanvas* Canvas, int Y, int& Curs, int& MaxWidth, int AWidth);
    int Draw(TCanvas* Canvas, const TRect& ARect, int Y, int X, int AWidth);
    void MinMaxWidth(TCanvas* Canvas, int& Min, int& Max);
    void UpdateFonts();
    TSectionBase* FindSectionAtPosition(int Y, int& Top, int& Index) const;
    bool GetURL(TCanvas* Canvas, int X, int Y, TFormControlObj*& FormControl, TUrlTarget& UrlTarget);
    int FindCursor(TCanvas* Canvas, int X, int Y, TCell*& Cell, int& LineHeight, int& Top, int& CaretX);
    int FindString(int From, const std::string& ToFind, bool MatchCase);
    bool CursorToXY(TCanvas* Canvas, int Cursor, int& X, int& Y);
    bool GetChAtPos(int Pos, char& Ch, TObject*& Obj);
    void CopyToClipboard();
    bool HoldsObject(const TObject* Obj) const;

    TSectionList* MasterList;
    int FontSizeBase = 12;
    int StartY = 0, StartCurs = 0, Len = 0;
    std::unique_ptr<IndentManager> IMgr;
    bool BkGnd = false;
    TColor BkColor = clWhite;

private:
    // A block whose layout failed: the error is shown, the block and every reference into it go.
    void DropFailedBlock(int Index, const EProcessError& E);
};

// One table cell (its content is a TCell).
class TCellObj : public TObject {
public:
    TCellObj(TSectionList* Master, int AVAlign, TAttributeList* Attributes);
    TCellObj(TSectionList* Master, const TCellObj& Source);
    void UpdateFonts() { Cell->UpdateFonts(); }

    int ColSpan = 1; // 0: a filler under a column span
    int RowSpan = 1; // 0: a filler under a row span
    int Wd = 0, Ht = 0, VSize = 0, SpecHt = 0, YIndent = 0;
    std::uint8_t VAlign = 0; // 0 top, 1 middle, 2 bottom
    int SpecWd = 0;
    bool AsPercent = false;
    std::unique_ptr<TCell> Cell;

    // What the table found of the cell during the document layout LayoutPass names: the
    // content height at one width and the content's width range.
    std::uint64_t MeasuredIn = 0;
    int MeasuredWidth = -1, MeasuredHeight = 0;
    std::uint64_t RangeIn = 0;
    int RangeMin = 0, RangeMax = 0;
};

// The animated images placed in a document, in placement order; not owned. Entries are kept as
// TObject pointers, so a picture can be looked for by its address alone.
class TGIFList : public TList {
public:
    int Add(TGIFImage* Image);
    TGIFImage* Image(int Index) const;
    bool Holds(const TObject* Picture) const { return IndexOf(const_cast<TObject*>(Picture)) >= 0; }
    // Drops Picture when it is listed; Picture is not looked at (it may be gone already).
    void Forget(const TObject* Picture) { TList::Remove(const_cast<TObject*>(Picture)); }
};

// The document.
class TSectionList : public TCell {
public:
    // Owner: the view control; PaintPanel: its paint panel (either may be null).
    TSectionList(TObject* Owner, TObject* PaintPanel);
    ~TSectionList() override;

    void Clear() override;
    void SetDefaults(const std::string& AFontName, const std::string& APreFontName, TColor ABackground,
                     TColor AHotSpotColor, TColor AFontColor, int FontSize);
    void SetBackground(TColor Color);
    void SetBackgroundImageName(const std::string& Name);
    // The background bitmap, fetched once while images are shown and a name is set (a picture
    // other than a plain bitmap is not used as a background).
    TBitmap* LoadBackgroundImage();
    // The picture for an image name: from the image cache, else from OnBitmapRequest, else from
    // OnImageRequest, else from the file; null when there is none (nothing is reported). A new
    // picture enters the cache. Hold takes what the caller gives back when it is done with the
    // picture. Transparent (0, 1 for TRANSP) may become 2; Mask is the picture's mask or null.
    TObject* FetchImage(const std::string& Name, std::uint8_t& Transparent, bool& FromCache, TBitmap*& Mask,
                        TImageHold& Hold);
    // An image or background name as the view resolves it (unchanged without a view).
    std::string ResolveFileName(const std::string& Name) const;
    void SetYOffset(int Y);
    int DoLogic(TCanvas* Canvas, int Y, int& Curs, int& MaxWidth, int AWidth);
    int Draw(TCanvas* Canvas, const TRect& ARect, int Y, int X, int AWidth);
    // The animation timer's tick: the images the last paint showed step on the paint panel.
    void AnimateGifs();
    int GetSelLength();
    // The selected text as a copy gives it: lines end in CR LF, images and controls left out.
    std::string GetSelText();
    int SectionTop(int Index) const;
    // Removes every reference the document keeps into Block (anchors, form controls, animated
    // images) before the block is freed.
    void ForgetBlock(TSectionBase* Block);

    bool ShowImages = true;
    // Set while the page is drawn for paper or a picture: the form controls paint their look
    // on the canvas instead of showing their windows.
    bool Printing = false;
    int YOff = 0;
    bool YOffChange = false;
    int SelB = 0, SelE = 0;
    std::string FontName = "Times New Roman";
    std::string PreFontName = "Courier New";
    TColor FontColor = clBlack;
    TColor HotSpotColor = clBlue;
    TObject* TheOwner = nullptr;
    TObject* PPanel = nullptr;
    // The view's picture requests, for fetching images. A bitmap handed out by OnBitmapRequest
    // belongs to the document from then on; a stream from OnImageRequest stays the host's.
    TGetBitmapEvent OnBitmapRequest;
    TGetImageEvent OnImageRequest;
    TColor Background = clWhite;
    std::function<void(TSectionList*)> OnBackgroundChange;
    TBitmap* BackgroundBitmap = nullptr; // held through BackgroundHold
    std::string BackgroundName;
    bool BitmapLoaded = false;
    TImageHold BackgroundHold;
    TFreeList formList; // ThtmlForm, owned
    TGIFList GIFList;
    SelTextCount* SelCount = nullptr;
    TFreeList MapList;     // client-side image maps, owned
    TList AllFormControls; // every form control, in creation order, not owned
    // Takes a form's submission (its ACTION, METHOD and name=value strings, handed over); the
    // view sets it while it has a submission handler. Unset, forms submit nothing.
    std::function<void(const std::string& Action, const std::string& Method,
                       std::unique_ptr<TStringList> Results)>
        SubmitForm;
    // The view's anchor list (upper-cased names, objects = the block that holds each); the
    // builder fills it. Not owned; may be null.
    TStringList* NameList = nullptr;
    // Takes the scripts of the document's SCRIPT elements (the view's OnScript); none: they are
    // dropped.
    TScriptEvent OnScript;
    // Set while a parse builds the document; another parse into it is refused meanwhile.
    bool Parsing = false;
    // Non-zero only while DoLogic runs, and new for every run: what blocks remember of one
    // layout is good while it is unchanged.
    std::uint64_t LayoutPass = 0;
    // The animation timer: enabled state and interval (ms); it ticks through the window
    // system's thread timer while enabled.
    bool TimerEnabled() const { return FTimerId != 0; }
    void SetTimerEnabled(bool Value);
    int TimerInterval = 50;

private:
    std::uintptr_t FTimerId = 0;
    std::uint64_t FLayouts = 0;
};

// ---------------------------------------------------------------------------------------------
// Small blocks

class TParagraphSpace : public TSectionBase {
public:
    TParagraphSpace() = default;
    TParagraphSpace(TSectionList* AMasterList, const TParagraphSpace& Source);
    TSectionBase* Duplicate(TSectionList* MasterList) const override;
    void UpdateSpacing() override;
    void CopyToClipboard() override;
};

class THeadingSpace : public TSectionBase {
public:
    explicit THeadingSpace(int AHeadingSize);
    THeadingSpace(TSectionList* AMasterList, const THeadingSpace& Source);
    TSectionBase* Duplicate(TSectionList* MasterList) const override;
    void UpdateSpacing() override;
    void CopyToClipboard() override;

    int HeadingSize = 0;
};

class THorzLine : public TSectionBase {
public:
    explicit THorzLine(TAttributeList* Attributes);
    THorzLine(TSectionList* AMasterList, const THorzLine& Source);
    TSectionBase* Duplicate(TSectionList* MasterList) const override;
    void UpdateSpacing() override;
    void CopyToClipboard() override;
    int Draw(TCanvas* Canvas, const TRect& ARect, int Y, int X, IndentManager* IMgr) override;

    int VSize = 2;
    int HWidth = -1;
    bool AsPercent = false;
    TColor Color = clBlack;
    bool UseColor = false;
};

class TPage : public TSectionBase {
public:
    TPage() = default;
    TPage(TSectionList* AMasterList, const TPage& Source);
    TSectionBase* Duplicate(TSectionList* MasterList) const override;
};
