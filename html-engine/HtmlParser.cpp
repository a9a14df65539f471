#include "html-engine/HtmlParser.h"

#include "platform/classes/Classes.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TextFiles.h"

#include <array>
#include <cctype>
#include <cstring>
#include <string_view>

TParseState ParseState;

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

} // namespace

THtmlSymbol LookupTag(const std::string& Name, bool EndTag)
{
    for (const TTagRow& Row : HtmlTagTable) {
        if (Row.Name == Name) {
            if (!EndTag)
                return Row.Start;
            return Row.End == NoEndSymbol ? UnknownTagSy : static_cast<THtmlSymbol>(Row.End);
        }
    }
    return UnknownTagSy;
}

THtmlSymbol LookupAttribute(const std::string& Name)
{
    for (const TAttributeRow& Row : HtmlAttributeTable)
        if (Row.Name == Name)
            return Row.Sym;
    return UnknownAttrSy;
}

std::string LookupEntity(const std::string& Name)
{
    static const char* const Markup[4] = {"&", "<", ">", "\""};
    if (Name.empty())
        return std::string();
    for (std::size_t I = 0; I < HtmlEntityTable.size(); ++I) {
        if (HtmlEntityTable[I] == Name)
            return I < 4 ? std::string(Markup[I]) : CodeToUtf8(static_cast<int>(I) + 156);
    }
    return std::string();
}

bool TagKeepsAttributes(THtmlSymbol Sym)
{
    return KeepSet[Sym];
}

// ---------------------------------------------------------------------------------------------
// Sources

namespace {

constexpr char EofChar = 26;

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

TSource Src;

void StartData()
{
    Src.Pos = Src.Data.data();
    Src.End = Src.Data.data() + Src.Data.size();
}

void EndOfSource()
{
    Src.Ended = true;
    Src.Pos = Src.End = nullptr;
}

// Valid UTF-8 is kept (without a byte-order mark); anything else is Windows-1252, as the
// run-time decides for every text file.
void SetDecoded(std::string Bytes)
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

void BeginSource(int Kind)
{
    CloseSource();
    ParseState.SourceKind = Kind;
    Src.HasPushBack = false;
    Src.InComment = false;
}

// The next line of a string-list source; false when none remains.
bool NextLine()
{
    if (!Src.Lines || Src.LineIndex >= Src.Lines->Count())
        return false;
    Src.Data = Src.Lines->Strings(Src.LineIndex++);
    Src.Data += '\r';
    StartData();
    return true;
}

inline char ReadRawChar()
{
    for (;;) {
        if (Src.Pos != Src.End) {
            char C = *Src.Pos++;
            // A Ctrl-Z inside the source ends it there.
            if (C == EofChar)
                EndOfSource();
            return C;
        }
        if (Src.Ended || ParseState.SourceKind != 2 || !NextLine()) {
            EndOfSource();
            return EofChar;
        }
    }
}

[[noreturn]] void OpenCommentError()
{
    Src.InComment = false;
    throw EParseError("Open Comment at End of HTML File");
}

inline void SetCh(char C)
{
    ParseState.Ch = C;
    ParseState.LCh = (C >= 'a' && C <= 'z') ? static_cast<char>(C - 32) : C;
}

// One character, line ends folded into one CR and tabs into spaces.
inline void FetchChar()
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
void SkipCommentOrDeclaration()
{
    Src.InComment = true;
    FetchChar();
    bool Comment = false;
    if (ParseState.Ch == '-') {
        FetchChar();
        Comment = ParseState.Ch == '-';
    }
    if (Comment) {
        FetchChar();
        for (;;) {
            if (ParseState.Ch != '-') {
                FetchChar();
                continue;
            }
            int Dashes = 0;
            while (ParseState.Ch == '-') {
                ++Dashes;
                FetchChar();
            }
            if (Dashes < 2)
                continue;
            while (ParseState.Ch == ' ' || ParseState.Ch == '\r')
                FetchChar();
            if (ParseState.Ch == '>')
                break;
        }
    } else {
        while (ParseState.Ch != '>')
            FetchChar();
    }
    Src.InComment = false;
}

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

void OpenSourceFile(const std::string& FileName)
{
    BeginSource(0);
    std::string Bytes;
    try {
        TFileStream File(FileName, fmOpenRead | fmShareDenyWrite);
        Bytes = File.ReadAll();
    } catch (...) {
        CloseSource();
        throw;
    }
    SetDecoded(std::move(Bytes));
}

void OpenSourceBuffer(const void* Buffer, std::size_t Size)
{
    BeginSource(1);
    SetDecoded(Buffer && Size ? std::string(static_cast<const char*>(Buffer), Size) : std::string());
}

void OpenSourceStrings(TStrings* Lines)
{
    BeginSource(2);
    Src.Lines = Lines;
    Src.LineIndex = 0;
    Src.Ended = false;
}

void OpenSourceStream(TStream* Stream)
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

void CloseSource()
{
    Src.Data.clear();
    Src.Data.shrink_to_fit();
    Src.Lines = nullptr;
    Src.LineIndex = 0;
    EndOfSource();
    ParseState.SourceKind = -1;
}

void ResetScanner()
{
    Src.HasPushBack = false;
    Src.InComment = false;
    ParseState.ScriptMode = false;
    ParseState.PreFormatted = false;
    ParseState.Sy = EofSy;
    ParseState.TokenText.clear();
    ParseState.HeadingLevel = 0;
    ParseState.Attributes.Clear();
    SetCh(EofChar);
}

// ---------------------------------------------------------------------------------------------
// Characters

void NextCh()
{
    FetchChar();
    while (!ParseState.ScriptMode && ParseState.Ch == '<') {
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

void SkipWhite()
{
    while (ParseState.Ch == ' ' || ParseState.Ch == '\r')
        NextCh();
}

// ---------------------------------------------------------------------------------------------
// Tokens

namespace {

// An entity, "&" current; returns its text and leaves the character after it current.
std::string ReadEntity()
{
    TParseState& P = ParseState;
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
void ReadText()
{
    TParseState& P = ParseState;
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
            NextCh();
        }
    }
    if (!T.empty())
        P.Sy = TextSy;
}

int IntegerOf(const std::string& S)
{
    return StrToIntDef(S, 0);
}

// One attribute of a tag; false when none is left.
bool ReadAttribute(THtmlSymbol& Sym, std::string& Text, int& Value)
{
    TParseState& P = ParseState;
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
void ReadTag()
{
    TParseState& P = ParseState;
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

} // namespace

void GetSymbol()
{
    TParseState& P = ParseState;
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

namespace {

// Literal text of a content reader: up to MaxTextChars characters, to a line break, the end
// of the input or "<".
void ReadLiteralText()
{
    TParseState& P = ParseState;
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

} // namespace

void GetTextAreaSymbol()
{
    TParseState& P = ParseState;
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

void GetScriptSymbol()
{
    TParseState& P = ParseState;
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
