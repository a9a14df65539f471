#include "html-engine/HtmlParser.h"

#include "html-engine/HtmlForms.h"
#include "html-engine/HtmlImages.h"
#include "html-engine/HtmlModel.h"
#include "html-engine/HtmlSections.h"

#include "platform/classes/Classes.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TextFiles.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <climits>
#include <cstring>
#include <string_view>

// ---------------------------------------------------------------------------------------------
// Attributes

TAttribute::TAttribute(THtmlSymbol ASym, const std::string& AText, int AValue)
    : Which(ASym), Value(AValue), Text(AText)
{
}

bool TAttributeList::Find(THtmlSymbol Sym, TAttribute*& T) const
{
    for (int I = 0; I < Count(); ++I) {
        TAttribute* A = Attr(I);
        if (A->Which == Sym) {
            T = A;
            return true;
        }
    }
    T = nullptr;
    return false;
}

// ---------------------------------------------------------------------------------------------
// Symbol tables

namespace {

constexpr int NoEndSymbol = -1;

struct TTagRow {
    std::string_view Name;
    THtmlSymbol Start;
    int End;
};

// Rows in their search order; the last rows have no end symbol, so their end tags are unknown.
constexpr std::array<TTagRow, 62> HtmlTagTable{{
    {"HTML", HtmlSy, HtmlEndSy},
    {"TITLE", TitleSy, TitleEndSy},
    {"BODY", BodySy, BodyEndSy},
    {"HEAD", HeadSy, HeadEndSy},
    {"B", BSy, BEndSy},
    {"I", ISy, IEndSy},
    {"H", HeadingSy, HeadingEndSy},
    {"EM", EmSy, EmEndSy},
    {"STRONG", StrongSy, StrongEndSy},
    {"U", USy, UEndSy},
    {"CITE", CiteSy, CiteEndSy},
    {"VAR", VarSy, VarEndSy},
    {"TT", TTSy, TTEndSy},
    {"CODE", CodeSy, CodeEndSy},
    {"KBD", KbdSy, KbdEndSy},
    {"SAMP", SampSy, SampEndSy},
    {"OL", OLSy, OLEndSy},
    {"UL", ULSy, ULEndSy},
    {"DIR", DirSy, DirEndSy},
    {"MENU", MenuSy, MenuEndSy},
    {"DL", DLSy, DLEndSy},
    {"A", ASy, AEndSy},
    {"ADDRESS", AddressSy, AddressEndSy},
    {"BLOCKQUOTE", BlockQuoteSy, BlockQuoteEndSy},
    {"PRE", PreSy, PreEndSy},
    {"CENTER", CenterSy, CenterEndSy},
    {"TABLE", TableSy, TableEndSy},
    {"TD", TDSy, TDEndSy},
    {"TH", THSy, THEndSy},
    {"CAPTION", CaptionSy, CaptionEndSy},
    {"FORM", FormSy, FormEndSy},
    {"TEXTAREA", TextAreaSy, TextAreaEndSy},
    {"SELECT", SelectSy, SelectEndSy},
    {"OPTION", OptionSy, OptionEndSy},
    {"FONT", FontSy, FontEndSy},
    {"SUB", SubSy, SubEndSy},
    {"SUP", SupSy, SupEndSy},
    {"BIG", BigSy, BigEndSy},
    {"SMALL", SmallSy, SmallEndSy},
    {"P", PSy, PEndSy},
    {"MAP", MapSy, MapEndSy},
    {"FRAMESET", FrameSetSy, FrameSetEndSy},
    {"NOFRAMES", NoFramesSy, NoFramesEndSy},
    {"SCRIPT", ScriptSy, ScriptEndSy},
    {"DIV", DivSy, DivEndSy},
    {"S", SSy, SEndSy},
    {"STRIKE", StrikeSy, StrikeEndSy},
    {"LI", LISy, NoEndSymbol},
    {"BR", BRSy, NoEndSymbol},
    {"HR", HRSy, NoEndSymbol},
    {"DD", DDSy, NoEndSymbol},
    {"DT", DTSy, NoEndSymbol},
    {"IMG", ImageSy, NoEndSymbol},
    {"BASE", BaseSy, NoEndSymbol},
    {"TR", TRSy, NoEndSymbol},
    {"BUTTON", ButtonSy, NoEndSymbol},
    {"INPUT", InputSy, NoEndSymbol},
    {"SELECTED", SelectedSy, NoEndSymbol},
    {"BASEFONT", BaseFontSy, NoEndSymbol},
    {"AREA", AreaSy, NoEndSymbol},
    {"FRAME", FrameSy, NoEndSymbol},
    {"PAGE", PageSy, NoEndSymbol},
}};

struct TAttributeRow {
    std::string_view Name;
    THtmlSymbol Sym;
};

// VALUE stands twice with the same symbol; the first match wins.
constexpr std::array<TAttributeRow, 49> HtmlAttributeTable{{
    {"HREF", HrefSy},
    {"NAME", NameSy},
    {"SRC", SrcSy},
    {"ALT", AltSy},
    {"ALIGN", AlignSy},
    {"TEXT", TextSy},
    {"BGCOLOR", BGColorSy},
    {"LINK", LinkSy},
    {"BACKGROUND", BackgroundSy},
    {"COLSPAN", ColSpanSy},
    {"ROWSPAN", RowSpanSy},
    {"BORDER", BorderSy},
    {"CELLPADDING", CellPaddingSy},
    {"CELLSPACING", CellSpacingSy},
    {"VALIGN", VAlignSy},
    {"WIDTH", WidthSy},
    {"START", StartSy},
    {"VALUE", ValueSy},
    {"TYPE", TypeSy},
    {"CHECKBOX", CheckBoxSy},
    {"RADIO", RadioSy},
    {"METHOD", MethodSy},
    {"ACTION", ActionSy},
    {"CHECKED", CheckedSy},
    {"SIZE", SizeSy},
    {"MAXLENGTH", MaxLengthSy},
    {"COLS", ColsSy},
    {"ROWS", RowsSy},
    {"MULTIPLE", MultipleSy},
    {"VALUE", ValueSy},
    {"SELECTED", SelectedSy},
    {"FACE", FaceSy},
    {"COLOR", ColorSy},
    {"TRANSP", TranspSy},
    {"CLEAR", ClearSy},
    {"ISMAP", IsMapSy},
    {"BORDERCOLOR", BorderColorSy},
    {"USEMAP", UseMapSy},
    {"SHAPE", ShapeSy},
    {"COORDS", CoordsSy},
    {"NOHREF", NoHrefSy},
    {"HEIGHT", HeightSy},
    {"PLAIN", PlainSy},
    {"TARGET", TargetSy},
    {"NORESIZE", NoResizeSy},
    {"SCROLLING", ScrollingSy},
    {"HSPACE", HSpaceSy},
    {"LANGUAGE", LanguageSy},
    {"FRAMEBORDER", FrameBorderSy},
}};

// Entity names, matched with case. The first four give the markup characters; the rest give
// 160..255 in code order, with no names for 215 and 247.
constexpr std::array<std::string_view, 100> HtmlEntityTable{{
    "amp",    "lt",     "gt",     "quot",   "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",
    "brvbar", "sect",   "uml",    "copy",   "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",
    "deg",    "plusmn", "sup2",   "sup3",   "acute",  "micro",  "para",   "middot", "cedil",  "sup1",
    "ordm",   "raquo",  "frac14", "frac12", "frac34", "iquest", "Agrave", "Aacute", "Acirc",  "Atilde",
    "Auml",   "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave", "Iacute",
    "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde", "Ouml",   "",
    "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",  "szlig",  "agrave", "aacute",
    "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil", "egrave", "eacute", "ecirc",  "euml",
    "igrave", "iacute", "icirc",  "iuml",   "eth",    "ntilde", "ograve", "oacute", "ocirc",  "otilde",
    "ouml",   "",       "oslash", "ugrave", "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml",
}};

constexpr std::array<THtmlSymbol, 28> KeepSymbols{
    BodySy,  PSy,        BRSy,  HeadingSy, HRSy,       BaseSy,  OLSy,     ULSy,       ImageSy,  ASy,
    TableSy, TDSy,       TRSy,  THSy,      CaptionSy,  InputSy, FormSy,   TextAreaSy, SelectSy, OptionSy,
    FontSy,  BaseFontSy, MapSy, AreaSy,    FrameSetSy, FrameSy, ScriptSy, DivSy,
};

constexpr std::array<bool, 256> MakeKeepSet()
{
    std::array<bool, 256> In{};
    for (THtmlSymbol S : KeepSymbols)
        In[S] = true;
    return In;
}
constexpr std::array<bool, 256> KeepSet = MakeKeepSet();

// The character an entity code stands for, in UTF-8. Codes are bytes of the documents'
// Windows code page, so 128..159 give the characters that page puts there.
std::string CodeToUtf8(int Code)
{
    if (Code < 128)
        return std::string(1, static_cast<char>(Code));
    return Windows1252ToUtf8(std::string(1, static_cast<char>(Code)));
}

// A name table's rows grouped by their first character, each group in table order, so a
// look-up compares only the names that can match and still finds the first matching row.
template <std::size_t N> class TNameIndex {
public:
    template <class TRow, class TNameOf>
    constexpr TNameIndex(const std::array<TRow, N>& Table, TNameOf NameOf)
    {
        std::size_t Next = 0;
        for (int C = 0; C < 256; ++C) {
            FStart[C] = static_cast<std::uint8_t>(Next);
            for (std::size_t I = 0; I < N; ++I) {
                const std::string_view Name = NameOf(Table[I]);
                if (!Name.empty() && static_cast<unsigned char>(Name[0]) == C) {
                    FNames[Next] = Name;
                    FRows[Next++] = static_cast<std::uint8_t>(I);
                }
            }
        }
        FStart[256] = static_cast<std::uint8_t>(Next);
    }

    // The first row named Name, or -1.
    int Find(std::string_view Name) const
    {
        if (Name.empty())
            return -1;
        const unsigned char C = static_cast<unsigned char>(Name[0]);
        for (int I = FStart[C]; I < FStart[C + 1]; ++I)
            if (FNames[I] == Name)
                return FRows[I];
        return -1;
    }

private:
    std::array<std::string_view, N> FNames{};
    std::array<std::uint8_t, N> FRows{};
    std::array<std::uint8_t, 257> FStart{}; // group of first character C: [FStart[C], FStart[C + 1])
};

constexpr TNameIndex<HtmlTagTable.size()> TagIndex(HtmlTagTable, [](const TTagRow& R) { return R.Name; });
constexpr TNameIndex<HtmlAttributeTable.size()> AttributeIndex(HtmlAttributeTable,
                                                               [](const TAttributeRow& R) { return R.Name; });
constexpr TNameIndex<HtmlEntityTable.size()> EntityIndex(HtmlEntityTable,
                                                         [](std::string_view Name) { return Name; });

} // namespace

THtmlSymbol LookupTag(const std::string& Name, bool EndTag)
{
    const int I = TagIndex.Find(Name);
    if (I < 0)
        return UnknownTagSy;
    const TTagRow& Row = HtmlTagTable[I];
    if (!EndTag)
        return Row.Start;
    return Row.End == NoEndSymbol ? UnknownTagSy : static_cast<THtmlSymbol>(Row.End);
}

THtmlSymbol LookupAttribute(const std::string& Name)
{
    const int I = AttributeIndex.Find(Name);
    return I < 0 ? UnknownAttrSy : HtmlAttributeTable[I].Sym;
}

std::string LookupEntity(const std::string& Name)
{
    static const char* const Markup[4] = {"&", "<", ">", "\""};
    const int I = EntityIndex.Find(Name);
    if (I < 0)
        return std::string();
    return I < 4 ? std::string(Markup[I]) : CodeToUtf8(I + 156);
}

bool TagKeepsAttributes(THtmlSymbol Sym)
{
    return KeepSet[Sym];
}

// ---------------------------------------------------------------------------------------------
// Sources

namespace {

constexpr char EofChar = 26;

} // namespace

void THtmlParser::StartData()
{
    Src.Pos = Src.Data.data();
    Src.End = Src.Data.data() + Src.Data.size();
}

void THtmlParser::EndOfSource()
{
    Src.Ended = true;
    Src.Pos = Src.End = nullptr;
}

// Valid UTF-8 is kept (without a byte-order mark); anything else is Windows-1252, as the
// run-time decides for every text file.
void THtmlParser::SetDecoded(std::string Bytes)
{
    if (IsValidUtf8(Bytes)) {
        if (Bytes.size() >= 3 && Bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
            Bytes.erase(0, 3);
        Src.Data = std::move(Bytes);
    } else {
        Src.Data = Windows1252ToUtf8(Bytes);
    }
    StartData();
    Src.Ended = false;
}

void THtmlParser::BeginSource(int Kind)
{
    CloseSource();
    PS.SourceKind = Kind;
    Src.HasPushBack = false;
    Src.InComment = false;
}

// The next line of a string-list source; false when none remains.
bool THtmlParser::NextLine()
{
    if (!Src.Lines || Src.LineIndex >= Src.Lines->Count())
        return false;
    Src.Data = Src.Lines->Strings(Src.LineIndex++);
    Src.Data += '\r';
    StartData();
    return true;
}

inline char THtmlParser::ReadRawChar()
{
    for (;;) {
        if (Src.Pos != Src.End) {
            char C = *Src.Pos++;
            // A Ctrl-Z inside the source ends it there.
            if (C == EofChar)
                EndOfSource();
            return C;
        }
        if (Src.Ended || PS.SourceKind != 2 || !NextLine()) {
            EndOfSource();
            return EofChar;
        }
    }
}

void THtmlParser::OpenCommentError()
{
    Src.InComment = false;
    throw EParseError("Open Comment at End of HTML File");
}

inline void THtmlParser::SetCh(char C)
{
    PS.Ch = C;
    PS.LCh = (C >= 'a' && C <= 'z') ? static_cast<char>(C - 32) : C;
}

// One character, line ends folded into one CR and tabs into spaces.
inline void THtmlParser::FetchChar()
{
    char C;
    if (Src.HasPushBack) {
        C = Src.PushBack;
        Src.HasPushBack = false;
    } else {
        C = ReadRawChar();
    }
    if (C == '\n' || C == '\r') {
        char Next = ReadRawChar();
        if ((C == '\n' && Next != '\r') || (C == '\r' && Next != '\n')) {
            Src.PushBack = Next;
            Src.HasPushBack = true;
        }
        C = '\r';
    } else if (C == '\t') {
        C = ' ';
    }
    SetCh(C);
    if (C == EofChar && Src.InComment)
        OpenCommentError();
}

// After "<!": a comment ("<!--" up to two or more dashes, optional white space and ">") or a
// declaration (up to the next ">"). Leaves Ch on the closing ">".
void THtmlParser::SkipCommentOrDeclaration()
{
    Src.InComment = true;
    FetchChar();
    bool Comment = false;
    if (PS.Ch == '-') {
        FetchChar();
        Comment = PS.Ch == '-';
    }
    if (Comment) {
        FetchChar();
        for (;;) {
            if (PS.Ch != '-') {
                FetchChar();
                continue;
            }
            int Dashes = 0;
            while (PS.Ch == '-') {
                ++Dashes;
                FetchChar();
            }
            if (Dashes < 2)
                continue;
            while (PS.Ch == ' ' || PS.Ch == '\r')
                FetchChar();
            if (PS.Ch == '>')
                break;
        }
    } else {
        while (PS.Ch != '>')
            FetchChar();
    }
    Src.InComment = false;
}

namespace {

inline bool IsLetter(char C)
{
    return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z');
}
inline bool IsDigit(char C)
{
    return C >= '0' && C <= '9';
}
inline bool IsControl(char C)
{
    return static_cast<unsigned char>(C) < 32;
}
// A byte that continues a UTF-8 sequence: limits cut only between characters.
inline bool IsContinuation(char C)
{
    return (static_cast<unsigned char>(C) & 0xC0) == 0x80;
}

// True when C begins a new character of Token: anything but a continuation byte, and also a
// continuation byte that cannot belong to the last one (more than three of them), so limits
// counted in characters bound the bytes too.
inline bool StartsCharacter(const std::string& Token, char C)
{
    if (!IsContinuation(C))
        return true;
    int Trail = 0;
    for (auto It = Token.rbegin(); It != Token.rend() && IsContinuation(*It); ++It)
        if (++Trail >= 3)
            return true;
    return Token.size() == static_cast<std::size_t>(Trail);
}

constexpr int MaxTextChars = 100;
constexpr int MaxTokenChars = 150;
constexpr int MaxScriptTagChars = 7;

} // namespace

void THtmlParser::OpenSourceFile(const std::string& FileName)
{
    BeginSource(0);
    std::string Bytes;
    try {
        Bytes = LoadFileBytes(FileName);
    } catch (...) {
        CloseSource();
        throw;
    }
    SetDecoded(std::move(Bytes));
}

void THtmlParser::OpenSourceBuffer(const void* Buffer, std::size_t Size)
{
    BeginSource(1);
    SetDecoded(Buffer && Size ? std::string(static_cast<const char*>(Buffer), Size) : std::string());
}

void THtmlParser::OpenSourceStrings(TStrings* Lines)
{
    BeginSource(2);
    Src.Lines = Lines;
    Src.LineIndex = 0;
    Src.Ended = false;
}

void THtmlParser::OpenSourceStream(TStream* Stream)
{
    BeginSource(3);
    std::string Bytes;
    if (Stream) {
        try {
            Bytes = Stream->ReadAll();
        } catch (...) {
            CloseSource();
            throw;
        }
    }
    SetDecoded(std::move(Bytes));
}

void THtmlParser::CloseSource()
{
    Src.Data.clear();
    Src.Data.shrink_to_fit();
    Src.Lines = nullptr;
    Src.LineIndex = 0;
    EndOfSource();
    PS.SourceKind = -1;
}

void THtmlParser::ResetScanner()
{
    Src.HasPushBack = false;
    Src.InComment = false;
    PS.ScriptMode = false;
    PS.PreFormatted = false;
    PS.Sy = EofSy;
    PS.TokenText.clear();
    PS.HeadingLevel = 0;
    PS.Attributes.Clear();
    SetCh(EofChar);
}

// ---------------------------------------------------------------------------------------------
// Characters

namespace {

// Bytes that FetchChar or NextCh must look at: line ends, tabs, the end mark and "<". Any
// other byte straight from the source becomes the current character as it is.
constexpr std::array<bool, 256> MakeSpecialSet()
{
    std::array<bool, 256> In{};
    for (char C : {'\n', '\r', '\t', EofChar, '<'})
        In[static_cast<unsigned char>(C)] = true;
    return In;
}
constexpr std::array<bool, 256> SpecialChar = MakeSpecialSet();

} // namespace

[[gnu::noinline]] void THtmlParser::NextChSlow()
{
    FetchChar();
    while (!PS.ScriptMode && PS.Ch == '<') {
        char Peek = ReadRawChar();
        if (Peek != '!') {
            Src.PushBack = Peek;
            Src.HasPushBack = true;
            return;
        }
        SkipCommentOrDeclaration();
        FetchChar();
    }
}

namespace {

// Bytes a text token takes one after another without a look at each (printable ASCII but
// "&", "<", ">" and the space, which need the token reader's attention).
constexpr std::array<bool, 256> MakePlainTextSet()
{
    std::array<bool, 256> In{};
    for (int C = 33; C < 127; ++C)
        In[C] = C != '&' && C != '<' && C != '>';
    return In;
}
constexpr std::array<bool, 256> PlainTextChar = MakePlainTextSet();

} // namespace

// Appends to Into the bytes that follow the current character in the source while Take
// accepts them (at most Max) and moves the source past them, as if each had been current in
// turn; NextCh then gives the byte after them. Take must refuse every byte of SpecialChar, so
// the bytes taken are exactly those NextCh would give unchanged. Returns how many were taken.
template <class TTake> std::size_t THtmlParser::TakeRun(std::string& Into, std::size_t Max, TTake Take)
{
    if (Src.HasPushBack)
        return 0;
    const char* Run = Src.Pos;
    const char* End = Run + std::min(static_cast<std::size_t>(Src.End - Run), Max);
    while (Run != End && Take(*Run))
        ++Run;
    const std::size_t Count = static_cast<std::size_t>(Run - Src.Pos);
    if (Count) {
        Into.append(Src.Pos, Count);
        Src.Pos = Run;
    }
    return Count;
}

void THtmlParser::NextCh()
{
    // Most characters need no folding and start no comment: take them directly.
    if (!Src.HasPushBack && Src.Pos != Src.End) {
        const char C = *Src.Pos;
        if (!SpecialChar[static_cast<unsigned char>(C)]) {
            ++Src.Pos;
            SetCh(C);
            return;
        }
    }
    NextChSlow();
}

void THtmlParser::SkipWhite()
{
    while (PS.Ch == ' ' || PS.Ch == '\r')
        NextCh();
}

// ---------------------------------------------------------------------------------------------
// Tokens

// An entity, "&" current; returns its text and leaves the character after it current.
std::string THtmlParser::ReadEntity()
{
    TParseState& P = PS;
    NextCh();
    if (P.Ch == '#') {
        NextCh();
        std::string Digits;
        while (IsDigit(P.Ch)) {
            Digits += P.Ch;
            NextCh();
            // Codes have at most three digits; a fourth one leaves the whole thing literal.
            if (Digits.size() == 4)
                return "&#" + Digits;
        }
        bool Semicolon = P.Ch == ';';
        if (Semicolon)
            NextCh();
        if (!Digits.empty()) {
            int Code = std::stoi(Digits);
            if (Code == 9)
                return " ";
            if (Code == 10 || (Code >= 32 && Code <= 255))
                return CodeToUtf8(Code);
        }
        return "&#" + Digits + (Semicolon ? ";" : "");
    }
    std::string Name;
    while (IsLetter(P.LCh) || IsDigit(P.LCh)) {
        Name += P.Ch;
        NextCh();
        if (Name.size() == 7)
            return "&" + Name;
    }
    if (Name.empty())
        return "&";
    bool Semicolon = P.Ch == ';';
    if (Semicolon)
        NextCh();
    std::string Value = LookupEntity(Name);
    if (!Value.empty())
        return Value;
    return "&" + Name + (Semicolon ? ";" : "");
}

// A text token of up to MaxTextChars characters; empty when the current character starts
// no text.
void THtmlParser::ReadText()
{
    TParseState& P = PS;
    std::string& T = P.TokenText;
    int Chars = 0;
    for (;;) {
        char C = P.Ch;
        if (C == '&' || C == '<' || C == '>' || (IsControl(C) && C != '\r'))
            break;
        if (StartsCharacter(T, C)) {
            if (Chars >= MaxTextChars)
                break;
            ++Chars;
        }
        if (!P.PreFormatted && (C == ' ' || C == '\r')) {
            T += ' ';
            SkipWhite();
        } else {
            T += C;
            if (PlainTextChar[static_cast<unsigned char>(C)])
                Chars +=
                    static_cast<int>(TakeRun(T, static_cast<std::size_t>(MaxTextChars - Chars), [](char N) {
                        return PlainTextChar[static_cast<unsigned char>(N)];
                    }));
            NextCh();
        }
    }
    if (!T.empty())
        P.Sy = TextSy;
}

namespace {

int IntegerOf(const std::string& S)
{
    return StrToIntDef(S, 0);
}

} // namespace

// One attribute of a tag; false when none is left.
bool THtmlParser::ReadAttribute(THtmlSymbol& Sym, std::string& Text, int& Value)
{
    TParseState& P = PS;
    Sym = UnknownAttrSy;
    SkipWhite();
    if (!IsLetter(P.LCh))
        return false;
    std::string Name;
    while (IsLetter(P.LCh)) {
        if (Name.size() < MaxTokenChars)
            Name += P.LCh;
        NextCh();
    }
    Sym = LookupAttribute(Name);
    SkipWhite();
    Text.clear();
    Value = Sym == BorderSy ? 1 : 0;
    if (P.Ch != '=')
        return true;
    NextCh();
    SkipWhite();
    if (P.Ch == '"' || P.Ch == '\'') {
        char Quote = P.Ch;
        NextCh();
        while (P.Ch != Quote && P.Ch != EofChar) {
            if (P.Ch == '\r') {
                NextCh();
            } else if (P.Ch == '&') {
                Text += ReadEntity();
            } else {
                Text += P.Ch;
                TakeRun(Text, SIZE_MAX, [Quote](char C) {
                    return C != Quote && C != '&' && !SpecialChar[static_cast<unsigned char>(C)];
                });
                NextCh();
            }
        }
        if (P.Ch == Quote)
            NextCh();
        Text = TrimBlanks(Text);
        std::string Number = Text;
        if (!Number.empty() && Number.back() == '%')
            Number.pop_back();
        Value = IntegerOf(Number);
    } else if (P.Ch == '+' || P.Ch == '-' || IsDigit(P.Ch)) {
        if (P.Ch == '+' || P.Ch == '-') {
            Text += P.Ch;
            NextCh();
        }
        while (P.Ch != ' ' && P.Ch != '\r' && P.Ch != EofChar && P.Ch != '%' && P.Ch != '>') {
            Text += P.LCh;
            NextCh();
        }
        SkipWhite();
        Value = IntegerOf(Text);
        if (P.Ch == '%') {
            Text += '%';
            NextCh();
        }
    } else {
        while (P.Ch != ' ' && P.Ch != '\r' && P.Ch != EofChar && P.Ch != '>') {
            Text += P.Ch;
            NextCh();
        }
    }
    return true;
}

// A tag, "<" current; leaves the character after its ">" current.
void THtmlParser::ReadTag()
{
    TParseState& P = PS;
    NextCh();
    bool EndTag = false;
    if (P.Ch == '/') {
        EndTag = true;
        NextCh();
    }
    std::string& Name = P.TokenText;
    while (IsLetter(P.LCh)) {
        if (Name.size() < MaxTokenChars)
            Name += P.LCh;
        NextCh();
    }
    P.Sy = LookupTag(Name, EndTag);
    SkipWhite();
    P.HeadingLevel = 0;
    if ((P.Sy == HeadingSy || P.Sy == HeadingEndSy) && P.LCh >= '1' && P.LCh <= '6') {
        P.HeadingLevel = P.LCh - '0';
        NextCh();
    }
    bool Keep = TagKeepsAttributes(P.Sy);
    if (Keep)
        P.Attributes.Clear();
    THtmlSymbol Sym;
    std::string Text;
    int Value;
    while (ReadAttribute(Sym, Text, Value))
        if (Keep)
            P.Attributes.Add(new TAttribute(Sym, Text, Value));
    while (P.Ch != '>' && P.Ch != EofChar)
        NextCh();
    NextCh();
}

void THtmlParser::GetSymbol()
{
    TParseState& P = PS;
    P.TokenText.clear();
    P.HeadingLevel = 0;
    if (P.Ch == EofChar) {
        P.Sy = EofSy;
    } else if (P.Ch == '<') {
        ReadTag();
    } else if (P.Ch == '&') {
        P.TokenText = ReadEntity();
        P.Sy = TextSy;
    } else {
        ReadText();
        if (P.TokenText.empty()) {
            P.Sy = OtherCharSy;
            P.TokenText = P.Ch;
            NextCh();
        }
    }
}

// Literal text of a content reader: up to MaxTextChars characters, to a line break, the end
// of the input or "<".
void THtmlParser::ReadLiteralText()
{
    TParseState& P = PS;
    int Chars = 0;
    while (P.Ch != '\r' && P.Ch != EofChar && P.Ch != '<') {
        if (StartsCharacter(P.TokenText, P.Ch)) {
            if (Chars >= MaxTextChars)
                break;
            ++Chars;
        }
        P.TokenText += P.Ch;
        NextCh();
    }
    P.Sy = TextSy;
}

void THtmlParser::GetTextAreaSymbol()
{
    TParseState& P = PS;
    P.TokenText.clear();
    if (P.Ch == EofChar) {
        P.Sy = EofSy;
    } else if (P.Ch == '\r') {
        P.Sy = EolSy;
        NextCh();
    } else if (P.Ch == '<') {
        P.TokenText = "<";
        NextCh();
        int Chars = 1;
        while (P.Ch != ' ' && P.Ch != '\r' && P.Ch != '>' && P.Ch != EofChar) {
            if (StartsCharacter(P.TokenText, P.Ch)) {
                if (Chars >= MaxTokenChars)
                    break;
                ++Chars;
            }
            P.TokenText += P.Ch;
            NextCh();
        }
        P.Sy = CompareText(P.TokenText, "</textarea") == 0 ? TextAreaEndSy : UnknownTagSy;
    } else {
        ReadLiteralText();
    }
}

void THtmlParser::GetScriptSymbol()
{
    TParseState& P = PS;
    P.TokenText.clear();
    if (P.Ch == EofChar) {
        P.Sy = EofSy;
    } else if (P.Ch == '\r') {
        P.Sy = EolSy;
        NextCh();
    } else if (P.Ch == '<') {
        P.TokenText = "<";
        NextCh();
        for (int I = 0; I < MaxScriptTagChars && (P.Ch == '/' || IsLetter(P.Ch)); ++I) {
            P.TokenText += P.Ch;
            NextCh();
        }
        if (P.Ch == '>') {
            P.TokenText += '>';
            NextCh();
        }
        P.Sy = CompareText(P.TokenText, "</script>") == 0 ? ScriptEndSy : UnknownTagSy;
    } else {
        ReadLiteralText();
    }
}

// ---------------------------------------------------------------------------------------------

bool ColorFromString(const std::string& Text, std::int32_t& Color)
{
    struct TColorName {
        const char* Name;
        std::uint32_t RGB;
    };
    static const TColorName HtmlColorNames[16] = {
        {"BLACK", 0x000000},  {"MAROON", 0x800000},  {"GREEN", 0x008000}, {"OLIVE", 0x808000},
        {"NAVY", 0x000080},   {"PURPLE", 0x800080},  {"TEAL", 0x008080},  {"GRAY", 0x808080},
        {"SILVER", 0xC0C0C0}, {"RED", 0xFF0000},     {"LIME", 0x00FF00},  {"YELLOW", 0xFFFF00},
        {"BLUE", 0x0000FF},   {"FUCHSIA", 0xFF00FF}, {"AQUA", 0x00FFFF},  {"WHITE", 0xFFFFFF}};
    if (Text.empty())
        return false;
    std::uint32_t RGB = 0;
    bool Found = false;
    const std::string Upper = UpperCase(Text.substr(0, 10));
    for (const TColorName& C : HtmlColorNames)
        if (Upper == C.Name) {
            RGB = C.RGB;
            Found = true;
            break;
        }
    if (!Found) {
        std::string S = Text;
        const std::size_t Hash = S.find('#');
        if (Hash != std::string::npos)
            S.erase(Hash, 1);
        if (S.empty() || S.size() > 8)
            return false;
        for (char C : S)
            if (!std::isxdigit(static_cast<unsigned char>(C)))
                return false;
        RGB = static_cast<std::uint32_t>(std::stoul(S, nullptr, 16));
    }
    // Windows order: red in the low byte; the top byte is dropped.
    Color = static_cast<std::int32_t>(((RGB & 0xFF) << 16) | (RGB & 0xFF00) | ((RGB >> 16) & 0xFF));
    return true;
}

// =============================================================================================
// The document builder

bool THtmlParser::IsTextSymbol() const
{
    // A ">" in running text is shown as text, as it is inside PRE.
    return PS.Sy == TextSy || (PS.Sy == OtherCharSy && PS.TokenText == ">");
}

TSymbolSet SymbolSet(std::initializer_list<THtmlSymbol> Symbols)
{
    TSymbolSet S;
    for (THtmlSymbol Sym : Symbols)
        S.set(Sym);
    return S;
}

namespace {

constexpr int FontSizes[7] = {8, 10, 12, 14, 18, 24, 36};
constexpr int PreSizes[7] = {7, 8, 10, 12, 15, 20, 30};
constexpr int MaxPreChars = 200;
constexpr int MaxOptionChars = 80;
constexpr int MaxFaceChars = 50;
constexpr std::size_t ScriptBufferSize = 32500;
constexpr std::size_t ScriptBufferGrowth = 10000;

bool IsListEnd(THtmlSymbol Sy)
{
    switch (Sy) {
    case OLEndSy:
    case ULEndSy:
    case DirEndSy:
    case MenuEndSy:
    case DLEndSy:
    case BlockQuoteEndSy:
        return true;
    default:
        return false;
    }
}

bool IsListStart(THtmlSymbol Sy)
{
    return Sy == OLSy || Sy == ULSy || Sy == DirSy || Sy == MenuSy || Sy == DLSy;
}

// The symbols ParseCommonTag handles (TABLE included).
constexpr THtmlSymbol CommonSymbols[] = {
    PSy,        PEndSy,        BSy,          BEndSy,      StrongSy, StrongEndSy, ISy,       IEndSy,
    EmSy,       EmEndSy,       CiteSy,       CiteEndSy,   VarSy,    VarEndSy,    USy,       UEndSy,
    SSy,        SEndSy,        StrikeSy,     StrikeEndSy, SubSy,    SubEndSy,    SupSy,     SupEndSy,
    BRSy,       HeadingSy,     HeadingEndSy, TTSy,        CodeSy,   KbdSy,       SampSy,    TTEndSy,
    CodeEndSy,  KbdEndSy,      SampEndSy,    FontEndSy,   BigEndSy, SmallEndSy,  AddressSy, AddressEndSy,
    PreSy,      ImageSy,       ASy,          AEndSy,      TextSy,   TableSy,     InputSy,   SelectSy,
    TextAreaSy, TextAreaEndSy, FormSy,       FormEndSy,   FontSy,   BaseFontSy,  BigSy,     SmallSy,
    MapSy,      PageSy,        ScriptSy,
};

constexpr std::array<bool, 256> MakeCommonSet()
{
    std::array<bool, 256> In{};
    for (THtmlSymbol S : CommonSymbols)
        In[S] = true;
    return In;
}
constexpr std::array<bool, 256> CommonSet = MakeCommonSet();

} // namespace

bool THtmlParser::IsCommonSymbol(THtmlSymbol Sy) const
{
    return CommonSet[Sy] || (Sy == OtherCharSy && IsTextSymbol());
}

// Style flag changes of B, I, U, S and their kin (also inside PRE); false for other symbols.
bool THtmlParser::ApplyStyleSymbol(THtmlSymbol Sy)
{
    int& F = PS.FontStyleFlags;
    switch (Sy) {
    case BSy:
    case StrongSy:
        F |= 1;
        return true;
    case BEndSy:
    case StrongEndSy:
        F &= ~1;
        return true;
    case ISy:
    case EmSy:
    case CiteSy:
    case VarSy:
        F |= 2;
        return true;
    case IEndSy:
    case EmEndSy:
    case CiteEndSy:
    case VarEndSy:
        F &= ~2;
        return true;
    case USy:
        F |= 4;
        return true;
    case UEndSy:
        F &= ~4;
        return true;
    case SSy:
    case StrikeSy:
        F |= 8;
        return true;
    case SEndSy:
    case StrikeEndSy:
        F &= ~8;
        return true;
    default:
        return false;
    }
}

void THtmlParser::FontChange()
{
    if (PS.CurrentSection)
        PS.CurrentSection->SwitchFont(PS.Document, TopFont(), &PS);
}

void THtmlParser::EnsureSection(int Level)
{
    if (!PS.CurrentSection)
        NewSection(Level, PS.CurrentAlign);
}

namespace {

// S cut after its first Max characters (limits count characters, never bytes of one).
std::string CutChars(const std::string& S, int Max)
{
    std::string Out;
    int Chars = 0;
    for (char C : S) {
        if (StartsCharacter(Out, C)) {
            if (Chars >= Max)
                break;
            ++Chars;
        }
        Out += C;
    }
    return Out;
}

} // namespace

void THtmlParser::SetFixedFont(TMyFont* F)
{
    F->SetName(PS.Document->PreFontName);
    F->SetNormalSize(PS.Document, 10);
    F->Fixed = true;
}

// ---------------------------------------------------------------------------------------------
// Common steps

TMyFont* THtmlParser::TopFont()
{
    return PS.FontStack.ItemAs<TMyFont>(PS.FontStack.Count() - 1);
}

bool THtmlParser::PushFont()
{
    if (PS.FontStack.Count() >= MaxFontStack)
        return false;
    auto* F = new TMyFont;
    F->Assign(TopFont());
    PS.FontStack.Add(F);
    return true;
}

void THtmlParser::PopFont()
{
    if (PS.FontStack.Count() > 1)
        PS.FontStack.Delete(PS.FontStack.Count() - 1);
}

void THtmlParser::PopFontsTo(int Depth)
{
    while (PS.FontStack.Count() > std::max(Depth, 1))
        PopFont();
}

void THtmlParser::AddSection()
{
    if (!PS.CurrentSection)
        return;
    TSection* S = PS.CurrentSection;
    PS.CurrentSection = nullptr;
    if (PS.CurrentCell) {
        PS.CurrentCell->Add(S);
    } else {
        if (PS.Document)
            PS.Document->ForgetBlock(S);
        delete S;
    }
}

void THtmlParser::NewSection(int Level, int Justify)
{
    AddSection();
    PS.CurrentSection = new TSection(Level, Justify, &PS.LinkTarget, TopFont(), &PS);
}

void THtmlParser::EndLink()
{
    if (PS.LinkOpen) {
        PS.LinkTarget.Clear();
        PS.LinkOpen = false;
        if (PS.LinkFontPushed)
            PopFont();
        PS.LinkFontPushed = false;
    }
    if (PS.CurrentSection)
        PS.CurrentSection->SwitchLink(false, PS.Document, TopFont(), nullptr, &PS);
}

int THtmlParser::ParagraphAlign(int CurrentAlign)
{
    if (PS.Sy == PEndSy)
        return CurrentAlign;
    TAttribute* A = nullptr;
    if (!PS.Attributes.Find(AlignSy, A))
        return CurrentAlign;
    const std::string V = LowerCase(A->Text.substr(0, 10));
    if (V == "left")
        return 1;
    if (V == "center")
        return 2;
    if (V == "right")
        return 3;
    return CurrentAlign;
}

void THtmlParser::ForgetCellBlocks(TCell* Cell)
{
    if (!Cell || !PS.Document)
        return;
    for (int I = 0; I < Cell->Count(); ++I)
        PS.Document->ForgetBlock(Cell->Block(I));
}

// ---------------------------------------------------------------------------------------------
// Element readers

void THtmlParser::ParseTitle()
{
    PS.Title.clear();
    GetSymbol();
    while (IsTextSymbol()) {
        PS.Title += PS.TokenText;
        GetSymbol();
    }
}

void THtmlParser::ParseBase()
{
    for (int I = 0; I < PS.Attributes.Count(); ++I) {
        TAttribute* A = PS.Attributes.Attr(I);
        if (A->Which == HrefSy)
            PS.Base = A->Text;
        else if (A->Which == TargetSy)
            PS.BaseTarget = A->Text;
    }
    GetSymbol();
}

void THtmlParser::ParseScript(TObject* Owner, const TScriptEvent& Handler)
{
    if (!Handler) {
        do
            GetScriptSymbol();
        while (PS.Sy != ScriptEndSy && PS.Sy != EofSy);
        return;
    }
    struct TScriptModeGuard {
        bool& Mode;
        explicit TScriptModeGuard(bool& AMode) : Mode(AMode) { Mode = true; }
        ~TScriptModeGuard() { Mode = false; }
    } ModeGuard(PS.ScriptMode);
    TAttribute* A = nullptr;
    const std::string Language = PS.Attributes.Find(LanguageSy, A) ? A->Text : std::string();
    std::size_t Capacity = ScriptBufferSize;
    std::size_t Used = 0;
    auto Buffer = std::make_unique<char[]>(Capacity);
    for (;;) {
        GetScriptSymbol();
        if (PS.Sy == ScriptEndSy || PS.Sy == EofSy)
            break;
        const std::string& Piece = PS.Sy == EolSy ? std::string("\r\n") : PS.TokenText;
        // One byte always stays free for the closing NUL.
        while (Used + Piece.size() >= Capacity) {
            auto Bigger = std::make_unique<char[]>(Capacity + ScriptBufferGrowth);
            std::memcpy(Bigger.get(), Buffer.get(), Used);
            Buffer = std::move(Bigger);
            Capacity += ScriptBufferGrowth;
        }
        std::memcpy(Buffer.get() + Used, Piece.data(), Piece.size());
        Used += Piece.size();
    }
    Buffer[Used] = 0;
    Handler(Owner, Language, std::move(Buffer));
}

// A MAP; inside PRE the token after the map is not read (PRE reads characters itself).
void THtmlParser::ParseMap(bool ReadNext)
{
    auto Item = std::make_unique<TMapItem>();
    TAttribute* A = nullptr;
    if (PS.Attributes.Find(NameSy, A))
        Item->MapName = UpperCase(A->Text);
    GetSymbol();
    while (PS.Sy != MapEndSy && PS.Sy != EofSy) {
        if (PS.Sy == AreaSy)
            Item->AddArea(&PS.Attributes);
        GetSymbol();
    }
    if (PS.Sy == MapEndSy)
        PS.Document->MapList.Add(Item.release());
    if (ReadNext)
        GetSymbol();
}

void THtmlParser::ParseSelectOptions(TFormControlObj* SelectControl)
{
    auto* Control = dynamic_cast<TListBoxFormControlObj*>(SelectControl);
    bool Open = false, Selected = false;
    std::string Text, Value;
    auto Complete = [&] {
        if (!Open)
            return;
        const std::string T = TrimBlanks(Text);
        if (!T.empty() && Control)
            Control->AddOption(T, Value, Selected);
        Open = false;
    };
    GetSymbol();
    while (PS.Sy != SelectEndSy && PS.Sy != EofSy) {
        if (IsTextSymbol() && Open) {
            Text = CutChars(Text + PS.TokenText, MaxOptionChars);
        } else if (PS.Sy == OptionSy || PS.Sy == OptionEndSy) {
            Complete();
            if (PS.Sy == OptionSy) {
                TAttribute* A = nullptr;
                Open = true;
                Text.clear();
                Selected = PS.Attributes.Find(SelectedSy, A);
                Value.clear();
                if (PS.Attributes.Find(ValueSy, A) &&
                    CutChars(A->Text, MaxOptionChars).size() == A->Text.size())
                    Value = A->Text;
            }
        }
        GetSymbol();
    }
    Complete();
    if (Control)
        Control->RestoreInitialValue();
}

void THtmlParser::ParseTextAreaContent(TFormControlObj* TextAreaControl)
{
    auto* Control = dynamic_cast<TTextAreaFormControlObj*>(TextAreaControl);
    std::string Line;
    GetTextAreaSymbol();
    while (PS.Sy != TextAreaEndSy && PS.Sy != EofSy) {
        if (PS.Sy == EolSy) {
            if (Control)
                Control->AddLine(Line);
            Line.clear();
        } else {
            Line += PS.TokenText;
        }
        GetTextAreaSymbol();
    }
    while (PS.Ch != '>' && PS.Ch != EofChar)
        NextCh();
    NextCh();
    if (!Line.empty() && Control)
        Control->AddLine(Line);
    if (Control)
        Control->RestoreInitialValue();
}

// FONT and BASEFONT; true when the font stack took a new font with a change.
bool THtmlParser::ParseFont(THtmlSymbol Sym, const int (&Sizes)[7])
{
    const bool IsFont = Sym == FontSy;
    bool HaveSize = false, HaveColor = false, HaveFace = false;
    int Step = 3;
    std::int32_t Color = 0;
    std::string Face;
    for (int I = 0; I < PS.Attributes.Count(); ++I) {
        TAttribute* A = PS.Attributes.Attr(I);
        switch (A->Which) {
        case SizeSy: {
            int V = A->Value;
            if (A->Text.size() > 1 && (A->Text[0] == '+' || A->Text[0] == '-'))
                V = SatAdd(V, PS.BaseFontStep);
            Step = std::clamp(V, 1, 7);
            HaveSize = true;
            if (!IsFont)
                PS.BaseFontStep = Step;
            break;
        }
        case ColorSy:
            if (IsFont && ColorFromString(A->Text, Color))
                HaveColor = true;
            break;
        case FaceSy:
            if (IsFont) {
                std::string F = CutChars(A->Text, MaxFaceChars);
                const std::size_t Comma = F.find(',');
                if (Comma != std::string::npos)
                    F.erase(Comma);
                F = TrimBlanks(F);
                if (!F.empty()) {
                    Face = F;
                    HaveFace = true;
                }
            }
            break;
        default:
            break;
        }
    }
    if (!IsFont && !(PS.CurrentCell == PS.Document && PS.Document->Count() == 0))
        return false;
    if (!PushFont())
        return false;
    if (!HaveSize && !HaveColor && !HaveFace)
        return false;
    TMyFont* F = TopFont();
    if (HaveColor)
        F->SetColor(Color | clPaletteRelative);
    if (HaveSize)
        F->SetNormalSize(PS.Document, Sizes[Step - 1]);
    if (HaveFace)
        F->SetName(Face);
    return true;
}

// BIG and SMALL move the top font one step along the size table. BIG at the largest step
// pushes a copy of the same size, so its end tag always has an entry to pop.
bool THtmlParser::ParseBigSmall(THtmlSymbol Sym, const int (&Sizes)[7])
{
    const int Size = TopFont()->NormalSize;
    int Step = 0;
    for (int I = 0; I < 7; ++I)
        if (Sizes[I] == Size)
            Step = I + 1;
    if (Step == 0)
        return false;
    if (Sym == BigSy)
        Step = std::min(Step + 1, 7);
    else if (Step == 1)
        return false;
    else
        --Step;
    if (!PushFont())
        return false;
    TopFont()->SetNormalSize(PS.Document, Sizes[Step - 1]);
    return true;
}

TMyFont* THtmlParser::HeadingFont()
{
    static const int Sizes[6] = {24, 18, 15, 12, 10, 8};
    const int Level = PS.HeadingLevel;
    auto* F = new TMyFont;
    F->Assign(TopFont());
    F->SetNormalSize(PS.Document, Level >= 1 && Level <= 6 ? Sizes[Level - 1] : 12);
    if (Level >= 1 && Level <= 6)
        F->SetStyle(F->Style() + fsBold);
    return F;
}

// A (start): HREF opens a link, NAME registers an anchor.
void THtmlParser::ParseAnchor(int Level)
{
    for (int I = 0; I < PS.Attributes.Count(); ++I) {
        TAttribute* A = PS.Attributes.Attr(I);
        if (A->Which == HrefSy) {
            EndLink();
            TAttribute* T = nullptr;
            const bool HasTarget = PS.Attributes.Find(TargetSy, T);
            PS.LinkTarget.Assign(&A->Text, HasTarget ? &T->Text : nullptr);
            PS.LinkOpen = true;
            PS.LinkFontPushed = PushFont();
            if (PS.LinkFontPushed) {
                TMyFont* F = TopFont();
                F->SetStyle(F->Style() + fsUnderline);
                F->SetColor(PS.Document->HotSpotColor);
            }
            if (PS.CurrentSection)
                PS.CurrentSection->SwitchLink(true, PS.Document, TopFont(), &PS.LinkTarget, &PS);
        } else if (A->Which == NameSy) {
            EnsureSection(Level);
            if (PS.NameList)
                PS.NameList->AddObject(UpperCase(A->Text), PS.CurrentSection);
        }
    }
}

TFormControlObj* THtmlParser::InsertControl(int Level)
{
    EnsureSection(Level);
    // Controls outside any FORM share a form of their own, which ends where the next FORM starts.
    if (!PS.CurrentForm)
        PS.CurrentForm = new ThtmlForm(PS.Document, nullptr);
    return PS.CurrentSection->InsertFormControl(PS.Sy, PS.Document, PS.CurrentCell, &PS.Attributes,
                                                PS.CurrentForm);
}

// A new preformatted line with Font (PRE and plain text).
void THtmlParser::NewPreSection(int Level, TMyFont* Font)
{
    AddSection();
    PS.CurrentSection = new TPreFormated(Level, 1, &PS.LinkTarget, Font, &PS);
}

void THtmlParser::ParsePre(int Level)
{
    AddSection();
    const bool Pushed = PushFont();
    if (Pushed)
        SetFixedFont(TopFont());
    NewPreSection(Level, TopFont());
    PS.PreFormatted = true;
    std::string Pending;
    auto Flush = [&] {
        if (!Pending.empty() && PS.CurrentSection)
            PS.CurrentSection->AddText(Pending);
        Pending.clear();
    };
    auto BreakLine = [&] {
        Flush();
        NewPreSection(Level, TopFont());
    };
    bool Done = false;
    while (!Done) {
        const char C = PS.Ch;
        if (C == '\r') {
            BreakLine();
            NextCh();
        } else if (C == EofChar) {
            Done = true;
        } else if (C == '&') {
            GetSymbol();
            Pending += PS.TokenText;
        } else if (C != '<') {
            Pending += C;
            if (Pending.size() > static_cast<std::size_t>(MaxPreChars))
                Flush();
            NextCh();
        } else {
            GetSymbol();
            const THtmlSymbol Sy = PS.Sy;
            switch (Sy) {
            case PSy:
            case BRSy:
                BreakLine();
                if (PS.Ch == '\r')
                    NextCh();
                break;
            case PreEndSy:
            case TDEndSy:
            case THEndSy:
                Done = true;
                break;
            case ImageSy:
                Flush();
                PS.CurrentSection->InsertImage(&PS.Attributes, PS.CurrentCell);
                break;
            case ASy:
                Flush();
                ParseAnchor(Level);
                break;
            case AEndSy:
                Flush();
                EndLink();
                break;
            case InputSy:
            case SelectSy:
            case TextAreaSy: {
                Flush();
                TFormControlObj* Control = InsertControl(Level);
                if (Sy == SelectSy)
                    ParseSelectOptions(Control);
                else if (Sy == TextAreaSy)
                    ParseTextAreaContent(Control);
                break;
            }
            case FormSy:
                PS.CurrentForm = new ThtmlForm(PS.Document, &PS.Attributes);
                break;
            case FormEndSy:
                PS.CurrentForm = nullptr;
                break;
            case MapSy:
                ParseMap(false);
                break;
            case ScriptSy:
                Flush();
                ParseScript(PS.Document, PS.Document->OnScript);
                break;
            case FontSy:
            case BaseFontSy:
                Flush();
                if (ParseFont(Sy, PreSizes))
                    PS.CurrentSection->SwitchFont(PS.Document, TopFont(), &PS);
                break;
            case FontEndSy:
                PopFont();
                Flush();
                PS.CurrentSection->SwitchFont(PS.Document, TopFont(), &PS);
                break;
            case PageSy:
                Flush();
                AddSection();
                PS.CurrentCell->Add(new TPage);
                NewPreSection(Level, TopFont());
                break;
            default:
                if (ApplyStyleSymbol(Sy)) {
                    Flush();
                    PS.CurrentSection->SwitchFont(PS.Document, TopFont(), &PS);
                }
                break;
            }
        }
    }
    Flush();
    AddSection();
    PS.PreFormatted = false;
    if (Pushed)
        PopFont();
    GetSymbol();
}

void THtmlParser::ParsePlainText()
{
    AddSection();
    const bool Pushed = PushFont();
    if (Pushed)
        SetFixedFont(TopFont());
    NewPreSection(0, TopFont());
    PS.PreFormatted = true;
    std::string Pending;
    auto Flush = [&] {
        if (!Pending.empty())
            PS.CurrentSection->AddText(Pending);
        Pending.clear();
    };
    for (;;) {
        const char C = PS.Ch;
        if (C == EofChar)
            break;
        if (C == '\r') {
            Flush();
            NewPreSection(0, TopFont());
        } else {
            Pending += C;
            if (Pending.size() > static_cast<std::size_t>(MaxPreChars))
                Flush();
        }
        NextCh();
    }
    Flush();
    AddSection();
    PS.PreFormatted = false;
    if (Pushed)
        PopFont();
    GetSymbol();
}

void THtmlParser::ParseCommonTag(int Level)
{
    const THtmlSymbol Sy = PS.Sy;
    if (ApplyStyleSymbol(Sy)) {
        FontChange();
        GetSymbol();
        return;
    }
    switch (Sy) {
    case PSy:
    case PEndSy: {
        AddSection();
        PS.CurrentCell->Add(new TParagraphSpace);
        SkipWhite();
        int Align = ParagraphAlign(PS.CurrentAlign);
        GetSymbol();
        while (PS.Sy == PSy || PS.Sy == PEndSy) {
            Align = ParagraphAlign(PS.CurrentAlign);
            SkipWhite();
            GetSymbol();
        }
        NewSection(Level, Align);
        break;
    }
    case SubSy:
    case SupSy:
    case SubEndSy:
    case SupEndSy:
        PS.ScriptShift = Sy == SubSy ? 1 : Sy == SupSy ? 2 : 0;
        FontChange();
        GetSymbol();
        break;
    case BRSy: {
        const int Align = PS.CurrentSection ? PS.CurrentSection->FinishSection() : PS.CurrentAlign;
        AddSection();
        NewSection(Level, Align);
        PS.CurrentSection->SetClear(&PS.Attributes);
        GetSymbol();
        break;
    }
    case HeadingSy:
        if (PS.FontStack.Count() < MaxFontStack) {
            AddSection();
            PS.FontStack.Add(HeadingFont());
            PS.CurrentCell->Add(new THeadingSpace(PS.HeadingLevel));
            NewSection(Level, ParagraphAlign(PS.CurrentAlign));
        }
        GetSymbol();
        break;
    case HeadingEndSy:
        if (PS.FontStack.Count() > 1) {
            AddSection();
            PS.CurrentCell->Add(new THeadingSpace(PS.HeadingLevel));
            PopFont();
        }
        GetSymbol();
        break;
    case TTSy:
    case CodeSy:
    case KbdSy:
    case SampSy:
        if (PushFont()) {
            SetFixedFont(TopFont());
            FontChange();
        }
        GetSymbol();
        break;
    case TTEndSy:
    case CodeEndSy:
    case KbdEndSy:
    case SampEndSy:
    case FontEndSy:
    case BigEndSy:
    case SmallEndSy:
        PopFont();
        FontChange();
        GetSymbol();
        break;
    case AddressSy:
        AddSection();
        if (PushFont()) {
            TMyFont* F = TopFont();
            F->SetStyle(F->Style() + fsItalic);
        }
        NewSection(Level, PS.CurrentAlign);
        GetSymbol();
        break;
    case AddressEndSy:
        AddSection();
        PopFont();
        GetSymbol();
        break;
    case PreSy:
        ParsePre(Level);
        break;
    case ImageSy:
        EnsureSection(Level);
        PS.CurrentSection->InsertImage(&PS.Attributes, PS.CurrentCell);
        GetSymbol();
        break;
    case ASy:
        ParseAnchor(Level);
        GetSymbol();
        break;
    case AEndSy:
        EndLink();
        GetSymbol();
        break;
    case TextSy:
    case OtherCharSy:
        EnsureSection(Level);
        PS.CurrentSection->AddText(PS.TokenText);
        GetSymbol();
        break;
    case TableSy: {
        TNestGuard Nest(PS.NestDepth);
        if (Nest.Allowed)
            ParseTable(Level);
        else
            GetSymbol();
        break;
    }
    case InputSy:
    case SelectSy: {
        TFormControlObj* Control = InsertControl(Level);
        if (Sy == SelectSy)
            ParseSelectOptions(Control);
        GetSymbol();
        break;
    }
    case TextAreaSy:
        ParseTextAreaContent(InsertControl(Level));
        GetSymbol();
        break;
    case TextAreaEndSy:
        GetSymbol();
        break;
    case FormSy:
        PS.CurrentForm = new ThtmlForm(PS.Document, &PS.Attributes);
        GetSymbol();
        break;
    case FormEndSy:
        PS.CurrentForm = nullptr;
        GetSymbol();
        break;
    case FontSy:
    case BaseFontSy:
        if (ParseFont(Sy, FontSizes))
            FontChange();
        GetSymbol();
        break;
    case BigSy:
    case SmallSy:
        if (ParseBigSmall(Sy, FontSizes))
            FontChange();
        GetSymbol();
        break;
    case MapSy:
        ParseMap(true);
        break;
    case PageSy:
        AddSection();
        PS.CurrentCell->Add(new TPage);
        GetSymbol();
        break;
    case ScriptSy:
        ParseScript(PS.Document, PS.Document->OnScript);
        GetSymbol();
        break;
    default:
        GetSymbol();
        break;
    }
}

// A list or BLOCKQUOTE, its opening tag current. Returns with its end tag current (the caller
// consumes it), at the end of input, or with a stop symbol current, which the caller must see.
void THtmlParser::ParseLists(int Level, THtmlSymbol Opening, const TSymbolSet& StopSet)
{
    const bool Ordered = Opening == OLSy;
    int Number = 1;
    char NumType = '1';
    bool Plain = false;
    TAttribute* A = nullptr;
    if (Ordered) {
        if (PS.Attributes.Find(TypeSy, A) && !A->Text.empty())
            NumType = A->Text[0];
        // A START below 1 or not a number numbers the whole list in decimal from 1.
        if (PS.Attributes.Find(StartSy, A)) {
            if (A->Value >= 1)
                Number = A->Value;
            else
                NumType = '1';
        }
    } else if (Opening == ULSy) {
        Plain = PS.Attributes.Find(PlainSy, A);
    }
    AddSection();
    GetSymbol();
    if (IsListEnd(PS.Sy))
        return;
    int E = Level;
    for (;;) {
        const THtmlSymbol Sy = PS.Sy;
        if (Sy == EofSy || IsListEnd(Sy))
            break;
        if (Sy == TableSy) {
            if (PS.CurrentSection)
                PS.CurrentSection->FinishSection();
            ParseCommonTag(E);
        } else if (IsCommonSymbol(Sy)) {
            ParseCommonTag(E);
        } else if (Sy == HRSy) {
            AddSection();
            PS.CurrentCell->Add(new THorzLine(&PS.Attributes));
            GetSymbol();
        } else if (IsListStart(Sy) || Sy == BlockQuoteSy) {
            AddSection();
            TNestGuard Nest(PS.NestDepth);
            if (!Nest.Allowed) {
                GetSymbol();
                continue;
            }
            ParseLists(Level + 1, Sy, StopSet);
            if (IsListEnd(PS.Sy))
                GetSymbol();
        } else if (Sy == LISy) {
            AddSection();
            if (Ordered) {
                PS.CurrentSection = new TOListItem(Level, &PS.LinkTarget, TopFont(), NumType, Number, &PS);
                Number = Number < INT_MAX ? Number + 1 : Number;
            } else {
                auto* Item = new TUListItem(Level, &PS.LinkTarget, TopFont(), &PS);
                Item->Plain = Plain;
                PS.CurrentSection = Item;
            }
            SkipWhite();
            GetSymbol();
            if (PS.Sy == PSy)
                GetSymbol();
            E = Level;
        } else if (Sy == DDSy || Sy == DTSy) {
            AddSection();
            E = Sy == DDSy ? Level : Level - 1;
            PS.CurrentSection = new TDListItem(E, &PS.LinkTarget, TopFont(), &PS);
            GetSymbol();
        } else if (StopSet.test(Sy)) {
            return;
        } else {
            GetSymbol();
        }
    }
    AddSection();
}

// BODY: sets the document's colours while nothing has been built yet.
void THtmlParser::ParseBodyTag()
{
    if (PS.CurrentCell->Count() != 0) {
        GetSymbol();
        return;
    }
    TSection* Old = PS.CurrentSection;
    PS.CurrentSection = nullptr;
    for (int I = 0; I < PS.Attributes.Count(); ++I) {
        TAttribute* A = PS.Attributes.Attr(I);
        std::int32_t Color = 0;
        switch (A->Which) {
        case TextSy:
            if (ColorFromString(A->Text, Color)) {
                TopFont()->SetColor(Color | clPaletteRelative);
                PS.Document->FontColor = Color | clPaletteRelative;
            }
            break;
        case LinkSy:
            if (ColorFromString(A->Text, Color))
                PS.Document->HotSpotColor = Color | clPaletteRelative;
            break;
        case BGColorSy:
            if (ColorFromString(A->Text, Color))
                PS.Document->SetBackground(Color | clPaletteRelative);
            break;
        case BackgroundSy:
            PS.Document->SetBackgroundImageName(A->Text);
            break;
        default:
            break;
        }
    }
    PS.CurrentSection = new TSection(0, PS.CurrentAlign, nullptr, PS.FontStack.ItemAs<TMyFont>(0), &PS);
    if (Old) {
        // Anchors written before BODY now lead to the top of the body, not to a freed block.
        if (PS.NameList)
            for (int I = 0; I < PS.NameList->Count(); ++I)
                if (PS.NameList->Objects(I) == Old)
                    PS.NameList->SetObjects(I, PS.CurrentSection);
        PS.Document->ForgetBlock(Old);
        delete Old;
    }
    GetSymbol();
}

// CENTER or DIV, current: a block of its own alignment.
void THtmlParser::ParseCenterDiv(const TSymbolSet& StopSet)
{
    TNestGuard Nest(PS.NestDepth);
    if (!Nest.Allowed) {
        GetSymbol();
        return;
    }
    AddSection();
    const int Saved = PS.CurrentAlign;
    if (PS.Sy == CenterSy)
        PS.CurrentAlign = 2;
    else
        PS.CurrentAlign = ParagraphAlign(PS.CurrentAlign);
    NewSection(0, PS.CurrentAlign);
    GetSymbol();
    TSymbolSet Inner = StopSet;
    Inner.set(CenterEndSy);
    Inner.set(DivEndSy);
    ParseBody(Inner);
    AddSection();
    PS.CurrentAlign = Saved;
    NewSection(0, PS.CurrentAlign);
    // Only its own end is consumed: a stop symbol of an enclosing block stays for it.
    if (PS.Sy == CenterEndSy || PS.Sy == DivEndSy)
        GetSymbol();
}

void THtmlParser::ParseBody(const TSymbolSet& StopSet)
{
    while (PS.Sy != EofSy && PS.Sy != BodyEndSy) {
        const THtmlSymbol Sy = PS.Sy;
        switch (Sy) {
        case TitleSy:
            ParseTitle();
            break;
        case BodySy:
            ParseBodyTag();
            break;
        case HRSy:
            AddSection();
            PS.CurrentCell->Add(new THorzLine(&PS.Attributes));
            GetSymbol();
            break;
        case BaseSy:
            ParseBase();
            break;
        case OLSy:
        case ULSy:
        case DirSy:
        case MenuSy:
        case DLSy:
        case BlockQuoteSy: {
            AddSection();
            TNestGuard Nest(PS.NestDepth);
            if (!Nest.Allowed) {
                GetSymbol();
                break;
            }
            ParseLists(1, Sy, StopSet);
            if (IsListEnd(PS.Sy))
                GetSymbol();
            break;
        }
        case CenterSy:
        case DivSy:
            ParseCenterDiv(StopSet);
            break;
        default:
            if (IsCommonSymbol(Sy))
                ParseCommonTag(0);
            else if (StopSet.test(Sy))
                return;
            else
                GetSymbol();
            break;
        }
    }
    if (PS.Sy == BodyEndSy)
        GetSymbol();
}

// ---------------------------------------------------------------------------------------------
// Entry points

void THtmlParser::InitParse(TSectionList* Document, TStringList* NameList)
{
    ResetScanner();
    PS.Document = Document;
    PS.NameList = NameList;
    Document->NameList = NameList;
    Document->Parsing = true;
    PS.CurrentCell = Document;
    PS.FontStack.Clear();
    auto* Bottom = new TMyFont;
    Bottom->SetName(Document->FontName);
    Bottom->SetColor(Document->FontColor);
    Bottom->SetNormalSize(Document, 12);
    PS.FontStack.Add(Bottom);
    PS.LinkTarget.Clear();
    PS.LinkOpen = false;
    PS.LinkFontPushed = false;
    PS.BaseFontStep = 3;
    PS.Title.clear();
    PS.Base.clear();
    PS.BaseTarget.clear();
    PS.CurrentAlign = 1;
    PS.FontStyleFlags = 0;
    PS.ScriptShift = 0;
    PS.CurrentForm = nullptr;
    PS.NestDepth = 0;
    PS.CurrentSection = new TSection(0, 1, nullptr, Bottom, &PS);
    PS.Parsing = true;
}

void THtmlParser::FinishParse()
{
    PS.Attributes.Clear();
    if (!PS.CurrentCell)
        PS.CurrentCell = PS.Document;
    AddSection();
    PS.FontStack.Clear();
    PS.LinkTarget.Clear();
    PS.LinkOpen = false;
    PS.LinkFontPushed = false;
    PS.ScriptMode = false;
    PS.PreFormatted = false;
    PS.FontStyleFlags = 0;
    PS.ScriptShift = 0;
    PS.NestDepth = 0;
    PS.CurrentForm = nullptr;
    PS.CurrentCell = nullptr;
    PS.Document->Parsing = false;
    PS.Document = nullptr;
    PS.NameList = nullptr;
    PS.Parsing = false;
}

// A parser holds one parse, and a document takes blocks from one parse: a SCRIPT handler that
// starts either again would pull the ground from under the parse that called it.
void THtmlParser::RefuseNestedParse(const TSectionList* Document) const
{
    if (PS.Parsing || (Document && Document->Parsing))
        throw EParseError("Cannot start a parse while another one is running");
}

// Opens the source (Open), then builds the document from it.
template <class TOpen>
void THtmlParser::RunParse(TSectionList* Document, TStringList* NameList, bool PlainText, TOpen Open)
{
    RefuseNestedParse(Document);
    struct TSourceGuard {
        THtmlParser& Parser;
        ~TSourceGuard() { Parser.CloseSource(); }
    } Guard{*this};
    Open();
    InitParse(Document, NameList);
    try {
        // In plain text "<!" is text like any other character.
        PS.ScriptMode = PlainText;
        NextCh();
        if (PlainText) {
            ParsePlainText();
        } else {
            GetSymbol();
            ParseBody(TSymbolSet());
        }
    } catch (...) {
        FinishParse();
        throw;
    }
    FinishParse();
}

void THtmlParser::HtmlParseFile(TSectionList* Document, TStringList* NameList, const std::string& FileName)
{
    RunParse(Document, NameList, false, [&] { OpenSourceFile(FileName); });
}

void THtmlParser::HtmlParseBuffer(TSectionList* Document, TStringList* NameList, const void* Buffer,
                                  std::size_t Size)
{
    RunParse(Document, NameList, false, [&] { OpenSourceBuffer(Buffer, Size); });
}

void THtmlParser::HtmlParseStrings(TSectionList* Document, TStringList* NameList, TStrings* Strings)
{
    RunParse(Document, NameList, false, [&] { OpenSourceStrings(Strings); });
}

void THtmlParser::HtmlParseStream(TSectionList* Document, TStringList* NameList, TStream* Stream)
{
    RunParse(Document, NameList, false, [&] {
        if (Stream)
            Stream->SetPosition(0);
        OpenSourceStream(Stream);
    });
}

void THtmlParser::TextParseFile(TSectionList* Document, TStringList* NameList, const std::string& FileName)
{
    RunParse(Document, NameList, true, [&] { OpenSourceFile(FileName); });
}

void THtmlParser::TextParseStrings(TSectionList* Document, TStringList* NameList, TStrings* Strings)
{
    RunParse(Document, NameList, true, [&] { OpenSourceStrings(Strings); });
}
