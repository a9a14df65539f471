// The colouring memo: a multi-line edit that lets the edit control paint the text and then paints
// the visible part over in colours, after rules that look for keywords, begin/end pairs, line-end
// markers or spans an event reports, plus clickable hot spots between two marker characters.
//
// The rule model (TColorRule in a TDrawRules collection) compiles its text lists into a
// delimiter table and a keyword lookup string; the span finder (TColorSpans, FindColorRuns) turns
// the scanned text into coloured runs without touching a window, so the memo itself only reads
// positions from the edit control and draws.
#pragma once

#include "platform/classes/Classes.h"
#include "platform/controls/StdEdit.h"
#include "platform/graphics/Graphics.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class TColorRule;
class TDrawRules;
class THotSpot;

// ---- Colour text --------------------------------------------------------------------------------
// A colour name of the 16 below (any case, blanks around) or a hexadecimal red-green-blue number
// ("#FF0000", "$FF0000", "ff0000"); anything else is white. Never fails.
TColor ParseHtmlColor(const std::string& ColorText);

struct TRuleColorName {
    const char* Name;
    TColor Value;
};
inline constexpr TRuleColorName RuleColorNames[16] = {
    {"BLACK", 0x000000},  {"MAROON", 0x000080},  {"GREEN", 0x008000}, {"OLIVE", 0x008080},
    {"NAVY", 0x800000},   {"PURPLE", 0x800080},  {"TEAL", 0x808000},  {"GRAY", 0x808080},
    {"SILVER", 0xC0C0C0}, {"RED", 0x0000FF},     {"LIME", 0x00FF00},  {"YELLOW", 0x00FFFF},
    {"BLUE", 0xFF0000},   {"FUCHSIA", 0xFF00FF}, {"AQUA", 0xFFFF00},  {"WHITE", 0xFFFFFF},
};

// ---- Spans --------------------------------------------------------------------------------------
enum TKeyDrawingType { dtKeyShow, dtEventDraw, dtBeginEnd, dtBeginLineEnd };

// One span of text to colour (character indices, both ends inclusive).
struct TKeyDescr {
    std::int32_t StartPos = 0;
    std::int32_t EndPos = 0;
    TColor Color = 0;
    std::uint8_t ZOrder = 0; // in an OnDraw entry 0 stands for the rule's own ZOrder
    std::uint8_t IsKeyword = 0;
};

// A list that owns its span records. Recycle() empties it but keeps the records for the next
// pass, so a steady colouring pass allocates nothing.
class TKeyDescrList : public TList {
public:
    TKeyDescrList() = default;
    ~TKeyDescrList() override;
    TKeyDescr* Descr(int Index) const { return static_cast<TKeyDescr*>(Items(Index)); }
    TKeyDescr* AddDescr(const TKeyDescr& Value);
    void Recycle();

protected:
    void Notify(void* Ptr, TListNotification Action) override;

private:
    std::vector<TKeyDescr*> FSpare;
};

// Priorities the memo gives its own spans; they also select how a run is drawn.
inline constexpr std::uint8_t zoHotSpotText = 252;
inline constexpr std::uint8_t zoHotSpotMarker = 253;
inline constexpr std::uint8_t zoSelection = 254;
inline constexpr std::uint8_t zoTab = 255;

// The spans of one pass, their bounds, and the grid that resolves overlaps into runs.
class TColorSpans {
public:
    TColorSpans();
    void Reset();
    void Add(int StartPos, int EndPos, TColor Color, std::uint8_t ZOrder, std::uint8_t IsKeyword);
    // Replaces the spans by the runs to draw: per character the span of the highest priority
    // wins, at equal priority the later one; a run ends where colour, priority, keyword flag or
    // coverage changes, and only covered runs are kept.
    void Resolve();
    // Appends the runs another part of the pass resolved to.
    void AppendRuns(const TColorSpans& Runs);

    int Count() const { return FList.Count(); }
    const TKeyDescr& operator[](int Index) const { return *FList.Descr(Index); }
    int LowPos() const { return FLow; }   // -1 when no span was added
    int HighPos() const { return FHigh; } // -1 when no span was added
    TKeyDescrList& List() { return FList; }

private:
    struct TCell {
        TColor Color;
        std::uint8_t Priority;
        std::uint8_t IsKeyword;
        std::uint8_t Covered;
    };
    TKeyDescrList FList;
    int FLow = -1, FHigh = -1;
    std::vector<TCell> FGrid;
};

// ---- Events -------------------------------------------------------------------------------------
// FromPos: the first scanned character, zero-terminated at the end of the scanned range. The
// handler fills A[0 .. ItemsCount-1] with offsets relative to FromPos.
using TDrawEvent =
    std::function<void(TObject* Sender, const char* FromPos, std::span<TKeyDescr> A, int& ItemsCount)>;
using TKeyDrawEvent =
    std::function<void(TCanvas* Canvas, const std::string& PKey, TRect Rect, TColor KColor)>;
using THotSpotClickEvent = std::function<void(TObject* Sender, const std::string& SRC)>;

// ---- Rules --------------------------------------------------------------------------------------
// A begin/end or line-end entry of a rule, compiled. Each text holds up to six characters, so
// room for six of the longest UTF-8 characters and the terminator.
inline constexpr int DelimiterTextMax = 6;
struct TDelimiter {
    char BeginText[DelimiterTextMax * 4 + 1];
    char EndText[DelimiterTextMax * 4 + 1];
    TColor Color;
    std::int32_t FoundAt; // where BeginText was last found (scratch of the scan)
};
inline constexpr int DelimiterTableSize = 40;
inline constexpr int KeywordPatternMax = 30;

class TColorRule : public TCollectionItem {
public:
    explicit TColorRule(TCollection* Collection);
    ~TColorRule() override;
    void Assign(TPersistent* Source) override;

    std::uint8_t ZOrder = 0;
    std::string IntChar; // stored only
    TStrings* Keywords() const { return FKeywords.get(); }
    void SetKeywords(TStrings* Value);
    TStrings* KeyBegEndLst() const { return FKeyBegEndLst.get(); }
    void SetKeyBegEndLst(TStrings* Value);
    TStrings* KeyLineEndLst() const { return FKeyLineEndLst.get(); }
    void SetKeyLineEndLst(TStrings* Value);
    int KeyMaxHeight = 1; // look-back in lines; the memo reads the first rule's
    TKeyDrawingType KeyDrawingType = dtBeginEnd;
    bool KeyCase = false; // takes effect at the next compile of the keywords
    bool Enabled = true;
    bool PartWord = false;
    TColor DefKeyColor = 0x0000FF;
    TColor KeySelColor = 0x00FFFF;   // stored only
    TColor KeyBrushColor = clWindow; // stored only

    // Compiles the lists the drawing type reads; whether the rule has any entries.
    bool PrepareRule();

    // The memo that owns the rule's collection (a TDrawRules), else nullptr.
    TComponent* Memo() const { return FMemo; }
    // The compiled forms: nullptr before the first delimiter compile; the lookup string.
    const TDelimiter* DelimiterTable() const { return FTable.get(); }
    const std::string& KeyLookup() const { return FKeyLookup; }

    // Appends the spans of a keyword, begin/end or line-end rule found in Text (the scanned
    // range; its first character has index Base in the memo). Event rules are the memo's.
    void ScanText(std::string_view Text, int Base, TColorSpans& Spans);

private:
    void CompileBegEnd(TStrings* List);
    void CompileLineEnd(TStrings* List);
    void CompileKeywords(TStrings* List);
    void ClearTable();
    int FindBegin(std::string_view Text, int From);
    void ScanBeginEnd(std::string_view Text, int Base, TColorSpans& Spans);
    void ScanBeginLineEnd(std::string_view Text, int Base, TColorSpans& Spans);
    void ScanKeywords(std::string_view Text, int Base, TColorSpans& Spans);

    TComponent* FMemo = nullptr;
    int FTableCount = 0;
    std::unique_ptr<TDelimiter[]> FTable;
    std::string FKeyLookup = "*";
    bool FLookupKeyCase = false; // the KeyCase the lookup string was compiled with
    std::string FSearchPattern;
    std::string FUpperText; // upper-case copy of the scanned text, reused between passes
    // The keyword scan's own: the tokens of the lookup string, by first byte, and scratch.
    struct TToken {
        int From, Length; // in the lookup string
        TColor Color;
    };
    void ParseLookup();
    std::string FTokensOf; // the lookup string FTokens were read from, and with which DefKeyColor
    TColor FTokensColor = 0;
    std::vector<TToken> FTokens;
    std::array<int, 257> FFirst{}; // tokens starting with byte c: FByFirst[FFirst[c] .. FFirst[c + 1])
    std::vector<int> FByFirst, FNextSearch, FMatchStart, FByToken;
    std::vector<std::pair<int, int>> FMatches; // (token, position) in text order
    std::unique_ptr<TStringList> FKeywords, FKeyBegEndLst, FKeyLineEndLst;
};

class TDrawRules : public TCollection {
public:
    explicit TDrawRules(TComponent* AMemo);
    TComponent* Memo() const { return FMemo; }
    TColorRule* Items(int Index) const { return ItemsAs<TColorRule>(Index); }
    TColorRule* Add() { return static_cast<TColorRule*>(TCollection::Add()); }
    // Compiles every rule while RulesChanged is set; it stays set while no rule has entries.
    void PrepareRules();
    bool RulesChanged = true;

private:
    TComponent* FMemo;
};

class THotSpot : public TPersistent {
public:
    void Assign(TPersistent* Source) override;
    char BeginChar = '\x1E';
    char EndChar = '\x1F';
    TColor Color = 0xFF0000;
    TColor MarkerColor = clWindow;
    bool Active = false;
    bool Underlined = true;
};

// ---- Hot spots ----------------------------------------------------------------------------------
// Whether character C of Line (0-based) lies on a hot spot, and the hot-spot text a click there
// gives.
bool IsHotSpotAt(std::string_view Line, int C, char BeginChar, char EndChar);
std::string HotSpotTextAt(std::string_view Line, int C, char BeginChar, char EndChar);

// ---- The span finding of one colouring pass -------------------------------------------------
// Text is the memo's text with one byte per character; Text[End] is the terminator the OnDraw
// handler sees. Spans go in this order: hot spots, TABs, the caret line, each enabled rule, the
// selection; Spans then holds the resolved runs.
struct TScanInput {
    char* Text = nullptr;
    int Start = 0; // S: the first scanned character
    int End = 0;   // E: one past the last scanned character
    TDrawRules* Rules = nullptr;
    THotSpot* HotSpot = nullptr;
    bool WantTabs = false;
    TColor MemoColor = clWindow;
    bool RedrawAlways = false;
    int CaretLineStart = 0, CaretPos = 0;
    TColor FontColor = clWindowText;
    int SelStart = 0, SelLength = 0;
    TDrawEvent OnDraw;
    std::span<TKeyDescr> DrawArray; // the OnDraw descriptors (ColorLimMax entries)
};
void FindColorRuns(const TScanInput& In, TColorSpans& Spans);

// ---- The memo -----------------------------------------------------------------------------------
class TColorMemo : public TMemo {
public:
    explicit TColorMemo(TComponent* AOwner);
    ~TColorMemo() override;

    // One colouring pass (CaretLineOnly: the caret line alone). Inside the control's paint it
    // draws over the text the control has just painted; anywhere else it asks for a repaint of
    // the part it would colour, which then runs the pass.
    virtual void PaintColoredText(bool CaretLineOnly);

    TNotifyEvent OnVScroll;
    TNotifyEvent OnHScroll;
    THotSpotClickEvent OnHotSpotClick;
    TDrawEvent OnDraw;
    TKeyDrawEvent OnDrawKey;
    TDrawRules* ColorRules() const { return FColorRules.get(); }
    void SetColorRules(TDrawRules* Value);
    int ColorLimMax() const { return FColorLimMax; }
    void SetColorLimMax(int Value);
    bool RedrawAlways = false;
    THotSpot* HotSpot() const { return FHotSpot.get(); }
    void SetHotSpot(THotSpot* Value);

    bool ColoringAvailable() const { return FColoringAvailable; }
    // The runs the last pass drew (for tests and measurements).
    const TColorSpans& LastRuns() const { return FSpans; }
    // Scanned range of the last pass: first character and one past the last, and how many
    // characters of it were scanned (less than all on long lines).
    int LastScanStart() const { return FLastScanStart; }
    int LastScanEnd() const { return FLastScanEnd; }
    int LastScanned() const { return FLastScanned; }
    int PassCount() const { return FPassCount; }

    // Runs a pass onto DC as the paint does, the control's own painting left out.
    void ColorOnto(HDC DC, bool CaretLineOnly);
    // Drops what was read of the text, so the next pass reads what it scans again.
    void ForgetText() { FTextDirty = true; }

    void PaintWindow(HDC DC) override;

protected:
    TW_MESSAGE_HANDLERS(TColorMemo);
    void WMSetText(TWMSetText Message);
    void WMChar(TWMChar Message);
    void WMKeyDown(TWMKeyDown Message);
    void WMSysKeyDown(TWMSysKeyDown Message);
    // WM_PASTE, WM_CUT, WM_CLEAR, WM_UNDO, EM_UNDO, EM_REPLACESEL: the window edits the text.
    void WMTextEdit(TMessage& Message);
    void CMFontChanged(TMessage& Message);
    void WMHScroll(TWMHScroll Message);
    void WMVScroll(TWMVScroll Message);

    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Change() override;
    void CreateWnd() override;
    void Loaded() override;

private:
    // A line longer than the window shows, whose scan is cut around the part in view.
    struct TLineCut {
        int LineStart, LineEnd; // the line, less its break
        int ViewFrom, ViewTo;   // the part of it in view
        int ScanFrom, ScanTo;   // the part of it scanned
    };
    // A run that lies on one line: the part of it to draw and where it is measured.
    struct TPlacedRun {
        int Run;
        int From, To;
        int Point; // in FMeasure; -1: not drawn
        int Next;  // the character after a marker; -1: none
    };

    // After a scroll: the event, then the colours over what came into view.
    void Scrolled(const TNotifyEvent& Event);
    void ColoringPass(bool CaretLineOnly);
    // The control's text length; the buffer is made large enough for it.
    int TextLength();
    // Brings the characters [From, To) into the buffer at their own positions.
    void FetchText(int From, int To);
    void RequestColoring(bool CaretLineOnly);
    bool CanColor() const;
    int ScanStartLine(int FirstLine) const;
    // The parts of [S, E) (lines StartLine up to EndLine) a pass scans: all of it, less what
    // lies far from the view on lines longer than LongLine.
    void CutLongLines(int StartLine, int EndLine, int S, int E);
    // The part of a long line in view, and the part a pass scans: that and some text on
    // either side.
    TLineCut LineCut(int Line, int Start, int Length);
    const TLineCut* CutAt(int Index) const;
    int CharStartAt(int Index) const;
    // Narrows [From, To) of one line to what can show of a long line; false: nothing.
    bool ClipToView(int& From, int& To) const;
    bool ClientPos(int Index, int& X, int& Y);
    int LineStart(int Line);
    int LineLengthAt(int Index);
    int LineOf(int Index);
    void DrawRuns(int TextHeight);
    // Draws a run, asking the control where each of its lines shows.
    void DrawRun(const TKeyDescr& Run, int TextHeight);
    // Draws the part [From, To) of a run that lies on one line at At; NextAt: where the
    // character after a marker starts (when known).
    void DrawRunOnLine(const TKeyDescr& Run, int From, int To, TPoint At, const TPoint* NextAt,
                       int TextHeight);
    bool SingleLine(const TKeyDescr& Run) const;
    void DrawText(int Index, int EndIndex, int X, int Y);
    // The character under a client point, and its line; false when there is none.
    bool CharAtPoint(int X, int Y, int& Index, int& Line);
    bool HotSpotAtPoint(int X, int Y, std::string* Text);

    // Lines longer than this are scanned around their part in view: that far back along the
    // line (a few window widths, room for a tag or a string that began to the left), and that
    // far ahead.
    static constexpr int LongLine = 2048;
    static constexpr int LookBack = 256;
    static constexpr int LookAhead = 128;
    // Characters drawn beyond the edges of the view of a long line.
    static constexpr int DrawMargin = 16;

    std::unique_ptr<TControlCanvas> FCanvas;
    std::unique_ptr<TDrawRules> FColorRules;
    std::unique_ptr<THotSpot> FHotSpot;
    bool FColoringAvailable = false;
    int FColorLimMax = 0;
    std::vector<TKeyDescr> FDrawArray;
    std::vector<char> FTextBuf;
    int FTextLength = 0;
    bool FTextDirty = true;                  // the text may have changed since it was read
    int FValidFrom = 0, FValidTo = 0;        // the part of the buffer that holds the control's text
    std::vector<std::pair<int, int>> FParts; // what the pass scans
    std::vector<TLineCut> FCuts;
    TColorSpans FPartSpans;
    std::vector<TPlacedRun> FPlaced;
    std::vector<int> FMeasure;
    std::vector<TPoint> FPoints;
    std::vector<TEditTextPiece> FPieces;
    bool FCanvasFontStale = true;
    std::vector<char> FDrawBuf;
    TColorSpans FSpans;
    HDC FPaintDC = nullptr;
    int FLastLineCount = 0;
    int FLastTextEnd = 0;
    int FLastScanStart = 0, FLastScanEnd = 0, FLastScanned = 0;
    int FPassCount = 0;
    bool FCaretLineRequested = false;
};
TW_LINK_CLASS(TColorMemo);

// Puts the memo's hot-spot cursor (resource 1077, a pointing hand) into screen cursor slot 1.
void InitColMemoCursor();
inline constexpr TCursor crColMemoHotSpot = 1;
