// The HTML parser: a pull scanner that turns HTML source into symbols (tags with their
// attributes, entities, text), and the document builder above it, in one parser object
// (THtmlParser) that each parse owns.
//
// The scanner reads from one of four sources (a file, a memory buffer, a string list, a
// stream), folds every line end (CR, LF, CR LF, LF CR) into one CR, turns tabs into spaces
// and skips comments and declarations. Text is UTF-8: a file, buffer or stream that is not
// valid UTF-8 is read as Windows-1252 and converted. Character 26 (Ctrl-Z) is the end of the
// input in every source; the source keeps answering 26 once it has ended, so every scanning
// loop that stops at 26 ends.
//
// Use: open a source (OpenSourceXxx), ResetScanner, NextCh once, then GetSymbol repeatedly and
// read State().Sy, TokenText, HeadingLevel and Attributes. The source is released by
// CloseSource, by the next source or with the parser.
//
// Above the scanner, the document builder (HtmlParseXxx, TextParseXxx) drives it token by
// token and writes the document model directly: there is no element tree, block structure
// comes from the order of calls and a font stack.
#pragma once

#include "html-engine/HtmlImageUtil.h"
#include "platform/rtl/SysUtils.h"

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>

class TStrings;
class TStream;
class TStringList;
class TSectionList;
class TCell;
class TSection;
class TMyFont;
class ThtmlForm;
class TFormControlObj;
class TSubFrameSet;

// The handler of a SCRIPT element: the owner (the document or a frame set), the LANGUAGE
// attribute and the script text (lines separated by CR LF, ended by a NUL byte). The text
// belongs to the handler.
using TScriptEvent =
    std::function<void(TObject* Sender, const std::string& Language, std::unique_ptr<char[]> Script)>;

// One byte for every tag (a start and an end symbol), attribute and token kind. Attribute
// symbols share the numbering, so TextSy is both the text token and the TEXT attribute and
// SelectedSy both the SELECTED tag and attribute.
enum THtmlSymbol : std::uint8_t {
    HtmlSy = 0,
    TitleSy = 1,
    BodySy = 2,
    HeadSy = 3,
    PSy = 4,
    PEndSy = 5,
    BSy = 6,
    BEndSy = 7,
    ISy = 8,
    IEndSy = 9,
    HtmlEndSy = 10,
    TitleEndSy = 11,
    BodyEndSy = 12,
    HeadEndSy = 13,
    BRSy = 14,
    HeadingSy = 15,
    HeadingEndSy = 16,
    EmSy = 17,
    EmEndSy = 18,
    StrongSy = 19,
    StrongEndSy = 20,
    USy = 21,
    UEndSy = 22,
    HRSy = 23,
    CiteSy = 24,
    VarSy = 25,
    CiteEndSy = 26,
    VarEndSy = 27,
    BaseSy = 28,
    TTSy = 29,
    CodeSy = 30,
    KbdSy = 31,
    SampSy = 32,
    TTEndSy = 33,
    CodeEndSy = 34,
    KbdEndSy = 35,
    SampEndSy = 36,
    OLSy = 37,
    OLEndSy = 38,
    LISy = 39,
    ULSy = 40,
    ULEndSy = 41,
    DirSy = 42,
    DirEndSy = 43,
    MenuSy = 44,
    MenuEndSy = 45,
    DLSy = 46,
    DLEndSy = 47,
    DDSy = 48,
    DTSy = 49,
    AddressSy = 50,
    AddressEndSy = 51,
    BlockQuoteSy = 52,
    BlockQuoteEndSy = 53,
    PreSy = 54,
    PreEndSy = 55,
    ImageSy = 56,
    CenterSy = 57,
    CenterEndSy = 58,
    UnknownAttrSy = 59, // an attribute whose name is not in the attribute table
    ASy = 60,
    AEndSy = 61,
    HrefSy = 62,
    NameSy = 63,
    SrcSy = 64,
    AltSy = 65,
    AlignSy = 66,
    OtherCharSy = 67,  // a character no other token takes; the token text is that character
    UnknownTagSy = 69, // a tag (start or end) that is not in the tag table
    TextSy = 70,
    EofSy = 71,
    LinkSy = 72,
    BGColorSy = 73,
    BackgroundSy = 74,
    TableSy = 75,
    TableEndSy = 76,
    TDSy = 77,
    TDEndSy = 78,
    TRSy = 79,
    THSy = 80,
    THEndSy = 81,
    ColSpanSy = 82,
    RowSpanSy = 83,
    BorderSy = 84,
    CellPaddingSy = 85,
    CellSpacingSy = 86,
    VAlignSy = 87,
    WidthSy = 88,
    CaptionSy = 89,
    CaptionEndSy = 90,
    StartSy = 91,
    ButtonSy = 92,
    InputSy = 93,
    ValueSy = 94,
    TypeSy = 95,
    CheckBoxSy = 96,
    RadioSy = 97,
    FormSy = 98,
    FormEndSy = 99,
    MethodSy = 100,
    ActionSy = 101,
    CheckedSy = 102,
    SizeSy = 103,
    MaxLengthSy = 104,
    TextAreaSy = 105,
    TextAreaEndSy = 106,
    ColsSy = 107,
    RowsSy = 108,
    SelectSy = 109,
    SelectEndSy = 110,
    OptionSy = 111,
    OptionEndSy = 112,
    SelectedSy = 113,
    MultipleSy = 114,
    FontSy = 115,
    FontEndSy = 116,
    ColorSy = 117,
    FaceSy = 118,
    BaseFontSy = 119,
    TranspSy = 120,
    SubSy = 121,
    SubEndSy = 122,
    SupSy = 123,
    SupEndSy = 124,
    ClearSy = 125,
    IsMapSy = 126,
    BigSy = 127,
    BigEndSy = 128,
    SmallSy = 129,
    SmallEndSy = 130,
    BorderColorSy = 131,
    MapSy = 132,
    MapEndSy = 133,
    AreaSy = 134,
    ShapeSy = 135,
    CoordsSy = 136,
    NoHrefSy = 137,
    UseMapSy = 138,
    HeightSy = 139,
    PlainSy = 140,
    FrameSetSy = 141,
    FrameSetEndSy = 142,
    FrameSy = 143,
    TargetSy = 144,
    NoFramesSy = 145,
    NoFramesEndSy = 146,
    NoResizeSy = 147,
    ScrollingSy = 148,
    PageSy = 149,
    HSpaceSy = 150,
    ScriptSy = 151,
    ScriptEndSy = 152,
    LanguageSy = 153,
    DivSy = 154,
    DivEndSy = 155,
    SSy = 156,
    SEndSy = 157,
    StrikeSy = 158,
    StrikeEndSy = 159,
    FrameBorderSy = 160,
    EolSy = 161, // a line break, only from GetTextAreaSymbol and GetScriptSymbol
};

// Raised when the input ends inside a comment or a declaration.
class EParseError : public Exception {
public:
    using Exception::Exception;
};

// One attribute of a tag: its symbol, its value as an integer (0 when the text is not a
// number; 1 for a BORDER without value) and its value text.
class TAttribute : public TObject {
public:
    TAttribute(THtmlSymbol ASym, const std::string& AText, int AValue);

    THtmlSymbol Which;
    int Value;
    std::string Text;
};

// The attributes of one tag in source order; owns them.
class TAttributeList : public TFreeList {
public:
    TAttribute* Attr(int Index) const { return ItemAs<TAttribute>(Index); }
    // The first attribute with symbol Sym; false when the tag has none.
    bool Find(THtmlSymbol Sym, TAttribute*& T) const;
};

// The builder's font additions that a text block takes as it starts a font run: style flags
// added to every font (1 bold, 2 italic, 4 underline, 8 strike-out) and the script shift (0
// normal, 1 subscript, 2 superscript), which a new block resets once it has taken it.
struct TFontAdditions {
    int FontStyleFlags = 0;
    int ScriptShift = 0;
};

// The state of one parse: the scanner's current character and token, and the builder's open
// blocks and font stack. Each parser has its own.
struct TParseState : TFontAdditions {
    int SourceKind = -1;       // 0 text file, 1 memory buffer, 2 string list, 3 stream; -1 none
    char Ch = 26;              // current character, as written (after line-end folding)
    char LCh = 26;             // Ch upper-cased (only a..z change)
    bool ScriptMode = false;   // "<!" is not special (SCRIPT bodies; plain text shows it as written)
    bool PreFormatted = false; // text tokens keep every space and line break (PRE, plain text)
    THtmlSymbol Sy = EofSy;    // current symbol
    std::string TokenText;     // text of the current token; the upper-case name for a tag
    int HeadingLevel = 0;      // 1..6 after H or /H with a digit, else 0
    // Attributes of the last tag whose symbol replaces the list (see TagKeepsAttributes).
    TAttributeList Attributes;

    // The builder's state, set up by every entry point and kept after it returns (the caller
    // reads Title, Base and BaseTarget). The document and section pointers are cleared at the
    // end of each parse.
    TSectionList* Document = nullptr;
    TStringList* NameList = nullptr;    // named anchors: upper-cased NAME, object = its block
    TCell* CurrentCell = nullptr;       // receives finished blocks; none between table cells
    TSection* CurrentSection = nullptr; // the open text block, owned until added
    TFreeList FontStack;                // TMyFont; the bottom entry is never popped
    TUrlTarget LinkTarget;
    bool LinkOpen = false;
    bool LinkFontPushed = false; // the open link pushed a font (a full stack refuses it)
    int BaseFontStep = 3;
    std::string Title, Base, BaseTarget;
    int CurrentAlign = 1; // 0 none, 1 left, 2 centre, 3 right
    ThtmlForm* CurrentForm = nullptr;
    int NestDepth = 0;    // open lists, CENTER/DIV blocks and tables
    bool Parsing = false; // a document parse is running
};

// Table look-ups, exposed for the builder and the tests.
// The start (or, with EndTag, the end) symbol of a tag name in upper case; UnknownTagSy when
// there is none.
THtmlSymbol LookupTag(const std::string& Name, bool EndTag);
// The symbol of an attribute name in upper case; UnknownAttrSy when there is none.
THtmlSymbol LookupAttribute(const std::string& Name);
// The UTF-8 text of a named entity (case-sensitive); empty when the name is unknown.
std::string LookupEntity(const std::string& Name);
// True for the start symbols whose tags replace the attribute list.
bool TagKeepsAttributes(THtmlSymbol Sym);

// A colour from an attribute text: one of the 16 HTML colour names (upper-cased text, first 10
// characters) or RRGGBB in hexadecimal after deleting the first "#"; Color gets the Windows
// colour ($00BBGGRR). False for an empty text or one that is neither.
bool ColorFromString(const std::string& Text, std::int32_t& Color);

// Nesting deeper than this (lists, CENTER/DIV, tables, framesets) is ignored.
constexpr int MaxNestDepth = 200;
// The font stack's capacity, the bottom entry included.
constexpr int MaxFontStack = 25;

using TSymbolSet = std::bitset<256>;
TSymbolSet SymbolSet(std::initializer_list<THtmlSymbol> Symbols);

// One parser: the scanner and the document builder over a state of their own, so a parse
// started while another runs (a frame's document, a parse from another view's handler) keeps
// apart from it. The same parser, or a parse into the document being built, cannot be started
// again from inside its own parse (from a SCRIPT handler): that raises EParseError.
class THtmlParser {
public:
    THtmlParser() = default;
    THtmlParser(const THtmlParser&) = delete;
    THtmlParser& operator=(const THtmlParser&) = delete;

    // The current token and the builder's state; after a parse it keeps Title, Base and
    // BaseTarget for the caller.
    TParseState& State() { return PS; }
    const TParseState& State() const { return PS; }

    // Sources. Each replaces the previous source; the source is read from its start.
    // A file is read and decoded when opened (raises EFOpenError when it cannot be read).
    void OpenSourceFile(const std::string& FileName);
    // The buffer is copied, so it need not outlive the scan.
    void OpenSourceBuffer(const void* Buffer, std::size_t Size);
    // Lines are taken one by one, each followed by one CR; the list must outlive the scan.
    void OpenSourceStrings(TStrings* Lines);
    // Read from the stream's current position to its end when opened.
    void OpenSourceStream(TStream* Stream);
    // Releases the source; afterwards the scanner reads only the end of input.
    void CloseSource();

    // The start of a scan: no pushed-back character, script and preformatted modes off, an
    // empty attribute list, no current symbol.
    void ResetScanner();
    // Moves to the next character (Ch, LCh), skipping comments and declarations unless in
    // script mode. Raises EParseError when the input ends inside one.
    void NextCh();
    // NextCh while Ch is a space, a tab or a line break.
    void SkipWhite();
    // Reads the next token into Sy, TokenText, HeadingLevel and (for tags) Attributes. NextCh
    // must have been called once before the first call.
    void GetSymbol();
    // Content readers: inside TEXTAREA and inside SCRIPT (script mode on).
    void GetTextAreaSymbol();
    void GetScriptSymbol();

    // The document builder: parses a source into Document, adding named anchors to NameList
    // (may be null). What was built before an error stays in the document; the error passes on.
    void HtmlParseFile(TSectionList* Document, TStringList* NameList, const std::string& FileName);
    void HtmlParseBuffer(TSectionList* Document, TStringList* NameList, const void* Buffer, std::size_t Size);
    void HtmlParseStrings(TSectionList* Document, TStringList* NameList, TStrings* Strings);
    // The stream is read from its start.
    void HtmlParseStream(TSectionList* Document, TStringList* NameList, TStream* Stream);
    // Plain text: every character shows, one preformatted block per line.
    void TextParseFile(TSectionList* Document, TStringList* NameList, const std::string& FileName);
    void TextParseStrings(TSectionList* Document, TStringList* NameList, TStrings* Strings);

    // The frameset builder: fills Frameset (a top TFrameSet, or a nested one) from a FRAMESET
    // document; true when a FRAMESET was found. Kind is the source: 0 the file FileName, 1
    // Buffer and Size, 2 Strings, 3 Stream (from its start). Frames resolve their SRC against
    // FileName's directory. An error reading a file passes on; for the other kinds the result
    // is what was found before it. Title, Base and BaseTarget stay in State().
    bool FramesetParse(TSubFrameSet* Frameset, int Kind, const std::string& FileName, const void* Buffer,
                       std::size_t Size, TStream* Stream, TStrings* Strings);
    // True when a FRAMESET tag comes before any body content; the same sources and errors,
    // and false for any other kind.
    bool IsFramesetDocument(int Kind, const std::string& FileName, TStrings* Strings, const void* Buffer,
                            std::size_t Size, TStream* Stream);

private:
    // Counts one level of nesting while it lives; Allowed is false beyond MaxNestDepth.
    struct TNestGuard {
        int& Depth;
        bool Allowed;
        explicit TNestGuard(int& ADepth) : Depth(ADepth), Allowed(ADepth < MaxNestDepth)
        {
            if (Allowed)
                ++Depth;
        }
        ~TNestGuard()
        {
            if (Allowed)
                --Depth;
        }
        TNestGuard(const TNestGuard&) = delete;
        TNestGuard& operator=(const TNestGuard&) = delete;
    };

    // The text being scanned and the scanner's position in it.
    struct TSource {
        std::string Data; // decoded text (file, buffer, stream) or the current line plus CR
        const char* Pos = nullptr;
        const char* End = nullptr;
        TStrings* Lines = nullptr;
        int LineIndex = 0;
        bool Ended = true;
        // Pushed-back character; read before the source.
        bool HasPushBack = false;
        char PushBack = 0;
        // Inside "<!": the end of the input is an error there.
        bool InComment = false;
    };

    // Scanner steps.
    void StartData();
    void EndOfSource();
    void SetDecoded(std::string Bytes);
    void BeginSource(int Kind);
    bool NextLine();
    char ReadRawChar();
    [[noreturn]] void OpenCommentError();
    void SetCh(char C);
    void FetchChar();
    void SkipCommentOrDeclaration();
    void NextChSlow();
    template <class TTake> std::size_t TakeRun(std::string& Into, std::size_t Max, TTake Take);
    std::string ReadEntity();
    void ReadText();
    bool ReadAttribute(THtmlSymbol& Sym, std::string& Text, int& Value);
    void ReadTag();
    void ReadLiteralText();

    // Builder steps.
    // True when the current token is text: a text token, or a ">" standing in running text.
    bool IsTextSymbol() const;
    bool IsCommonSymbol(THtmlSymbol Sy) const;
    bool ApplyStyleSymbol(THtmlSymbol Sy);
    void FontChange();
    void EnsureSection(int Level);
    void SetFixedFont(TMyFont* F);
    TMyFont* TopFont();
    bool PushFont();
    void PopFont();
    // Pops the font stack down to Depth entries (never the bottom one).
    void PopFontsTo(int Depth);
    // The open section joins the current cell (freed when there is no current cell).
    void AddSection();
    // A new open section with the top font and the open link.
    void NewSection(int Level, int Justify);
    void EndLink();
    int ParagraphAlign(int CurrentAlign);
    // Removes every reference the document keeps into the blocks of Cell before it is freed.
    void ForgetCellBlocks(TCell* Cell);
    void ParseTitle();
    void ParseBase();
    // Reads a SCRIPT's content (the tag is current) and hands it to Handler (none: dropped).
    void ParseScript(TObject* Owner, const TScriptEvent& Handler);
    void ParseMap(bool ReadNext);
    void ParseSelectOptions(TFormControlObj* Control);
    void ParseTextAreaContent(TFormControlObj* Control);
    bool ParseFont(THtmlSymbol Sym, const int (&Sizes)[7]);
    bool ParseBigSmall(THtmlSymbol Sym, const int (&Sizes)[7]);
    TMyFont* HeadingFont();
    void ParseAnchor(int Level);
    TFormControlObj* InsertControl(int Level);
    void NewPreSection(int Level, TMyFont* Font);
    void ParsePre(int Level);
    void ParsePlainText();
    void ParseCommonTag(int Level);
    void ParseLists(int Level, THtmlSymbol Opening, const TSymbolSet& StopSet);
    void ParseBodyTag();
    void ParseCenterDiv(const TSymbolSet& StopSet);
    // Runs the body loop until the end of input, the end of BODY (consumed) or a symbol of
    // StopSet (left current).
    void ParseBody(const TSymbolSet& StopSet);
    // Builds a TABLE (current, with its attributes) into the current cell; leaves the token
    // after the table current.
    void ParseTable(int Level);
    void InitParse(TSectionList* Document, TStringList* NameList);
    void FinishParse();
    void RefuseNestedParse(const TSectionList* Document) const;
    template <class TOpen>
    void RunParse(TSectionList* Document, TStringList* NameList, bool PlainText, TOpen Open);
    // Frameset building.
    template <class TRun>
    bool RunFrameset(int Kind, const std::string& FileName, const void* Buffer, std::size_t Size,
                     TStream* Stream, TStrings* Strings, TRun Run);
    void FramesetTop(TSubFrameSet* Frameset, const std::string& FileName, bool& Found);
    void FramesetBuild(TSubFrameSet* Set, const std::string& FileName);
    bool FramesetProbe();
    void SkipNoFrames();

    TSource Src;
    TParseState PS;
};
