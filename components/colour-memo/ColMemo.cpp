#include "components/colour-memo/ColMemo.h"

#include "platform/app/SysInfo.h"
#include "platform/classes/TypInfo.h"
#include "platform/controls/Forms.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <cstring>

// ---- Colour text --------------------------------------------------------------------------------
TColor ParseHtmlColor(const std::string& ColorText)
{
    std::string S = UpperCase(Trim(ColorText)).substr(0, 10);
    for (const TRuleColorName& Entry : RuleColorNames)
        if (S == Entry.Name)
            return Entry.Value;
    if (std::size_t Hash = S.find('#'); Hash != std::string::npos)
        S.erase(Hash, 1);
    int Value = 0;
    const bool Ok = S.find('$') != std::string::npos ? TryStrToInt(S, Value) : TryStrToInt("$" + S, Value);
    if (!Ok)
        return 0xFFFFFF;
    // Written red-green-blue, stored blue-green-red.
    const std::uint32_t V = static_cast<std::uint32_t>(Value);
    return static_cast<TColor>((V & 0x00FF00) | ((V & 0xFF) << 16) | ((V >> 16) & 0xFF));
}

// ---- TKeyDescrList ------------------------------------------------------------------------------
TKeyDescrList::~TKeyDescrList()
{
    Clear();
    for (TKeyDescr* D : FSpare)
        delete D;
}

TKeyDescr* TKeyDescrList::AddDescr(const TKeyDescr& Value)
{
    TKeyDescr* D;
    if (!FSpare.empty()) {
        D = FSpare.back();
        FSpare.pop_back();
        *D = Value;
    } else {
        D = new TKeyDescr(Value);
    }
    Add(D);
    return D;
}

void TKeyDescrList::Recycle()
{
    std::vector<void*>& Items = List();
    FSpare.reserve(FSpare.size() + Items.size());
    for (void* P : Items)
        FSpare.push_back(static_cast<TKeyDescr*>(P));
    Items.clear(); // the records live on in FSpare; no Notify, so nothing is freed
}

void TKeyDescrList::Notify(void* Ptr, TListNotification Action)
{
    if (Action == lnDeleted)
        delete static_cast<TKeyDescr*>(Ptr);
    TList::Notify(Ptr, Action);
}

// ---- TColorSpans --------------------------------------------------------------------------------
TColorSpans::TColorSpans()
{
    FList.SetCapacity(100);
}

void TColorSpans::Reset()
{
    FList.Recycle();
    FLow = FHigh = -1;
}

void TColorSpans::Add(int StartPos, int EndPos, TColor Color, std::uint8_t ZOrder, std::uint8_t IsKeyword)
{
    FList.AddDescr(TKeyDescr{StartPos, EndPos, Color, ZOrder, IsKeyword});
    if (FLow < 0 || StartPos < FLow)
        FLow = StartPos;
    if (FHigh < 0 || EndPos > FHigh)
        FHigh = EndPos;
}

void TColorSpans::Resolve()
{
    if (FLow < 0 || FHigh < FLow) {
        FList.Recycle();
        return;
    }
    const std::size_t Needed = static_cast<std::size_t>(FHigh - FLow) + 2; // one sentinel cell
    if (FGrid.size() < Needed)
        FGrid.resize(Needed);
    std::memset(FGrid.data(), 0, Needed * sizeof(TCell));

    const int Count = FList.Count();
    for (int i = 0; i < Count; ++i) {
        const TKeyDescr& D = *FList.Descr(i);
        if (D.EndPos < D.StartPos)
            continue;
        for (int p = D.StartPos; p <= D.EndPos; ++p) {
            TCell& Cell = FGrid[p - FLow];
            if (Cell.Priority <= D.ZOrder) {
                Cell.Color = D.Color;
                Cell.Priority = D.ZOrder;
                Cell.IsKeyword = D.IsKeyword;
                Cell.Covered = 1;
            }
        }
    }

    FList.Recycle();
    std::size_t RunStart = 0;
    for (std::size_t i = 1; i < Needed; ++i) {
        const TCell& A = FGrid[RunStart];
        const TCell& B = FGrid[i];
        if (A.Color == B.Color && A.Priority == B.Priority && A.IsKeyword == B.IsKeyword &&
            A.Covered == B.Covered)
            continue;
        if (A.Covered)
            FList.AddDescr(TKeyDescr{FLow + static_cast<int>(RunStart), FLow + static_cast<int>(i) - 1,
                                     A.Color, A.Priority, A.IsKeyword});
        RunStart = i;
    }
}

// ---- TColorRule ---------------------------------------------------------------------------------
namespace {

std::string UpperAscii(std::string S)
{
    for (char& C : S)
        if (C >= 'a' && C <= 'z')
            C = static_cast<char>(C - 'a' + 'A');
    return S;
}

bool IsBlank(const std::string& S)
{
    return Trim(S).empty();
}

// Text cut to its first six characters (never inside a character).
void CopyCut(char (&Dest)[DelimiterTextMax * 4 + 1], const std::string& Text)
{
    std::size_t N = 0;
    for (int Chars = 0; N < Text.size() && Chars < DelimiterTextMax; ++Chars) {
        ++N;
        while (N < Text.size() && (static_cast<unsigned char>(Text[N]) & 0xC0) == 0x80 && N < sizeof Dest - 1)
            ++N;
    }
    N = std::min(N, sizeof Dest - 1);
    std::memcpy(Dest, Text.data(), N);
    Dest[N] = 0;
}

bool IsWordChar(unsigned char C)
{
    return (C >= 64 && C <= 90) || (C >= 97 && C <= 122);
}

int FindFrom(std::string_view Text, std::string_view What, int From)
{
    if (From < 0 || static_cast<std::size_t>(From) > Text.size())
        return -1;
    const std::size_t At = Text.find(What, static_cast<std::size_t>(From));
    return At == std::string_view::npos ? -1 : static_cast<int>(At);
}

} // namespace

TColorRule::TColorRule(TCollection* Collection)
    : TCollectionItem(Collection), FKeywords(std::make_unique<TStringList>()),
      FKeyBegEndLst(std::make_unique<TStringList>()), FKeyLineEndLst(std::make_unique<TStringList>())
{
    if (TDrawRules* Rules = dynamic_cast<TDrawRules*>(Collection))
        FMemo = Rules->Memo();
}

TColorRule::~TColorRule() = default;

void TColorRule::Assign(TPersistent* Source)
{
    if (TColorRule* Src = dynamic_cast<TColorRule*>(Source)) {
        KeyDrawingType = Src->KeyDrawingType;
        ZOrder = Src->ZOrder;
        KeyMaxHeight = Src->KeyMaxHeight;
        KeyCase = Src->KeyCase;
        Enabled = Src->Enabled;
        PartWord = Src->PartWord;
        DefKeyColor = Src->DefKeyColor;
        KeyBrushColor = Src->KeyBrushColor;
        // In this order, so the delimiter table ends up holding the begin/end list.
        SetKeywords(Src->Keywords());
        SetKeyLineEndLst(Src->KeyLineEndLst());
        SetKeyBegEndLst(Src->KeyBegEndLst());
        return;
    }
    TCollectionItem::Assign(Source);
}

void TColorRule::SetKeywords(TStrings* Value)
{
    CompileKeywords(Value);
    if (Value != FKeywords.get())
        FKeywords->Assign(Value);
}

void TColorRule::SetKeyBegEndLst(TStrings* Value)
{
    CompileBegEnd(Value);
    if (Value != FKeyBegEndLst.get())
        FKeyBegEndLst->Assign(Value);
}

void TColorRule::SetKeyLineEndLst(TStrings* Value)
{
    CompileLineEnd(Value);
    if (Value != FKeyLineEndLst.get())
        FKeyLineEndLst->Assign(Value);
}

void TColorRule::ClearTable()
{
    if (!FTable)
        FTable = std::make_unique<TDelimiter[]>(DelimiterTableSize);
    FTableCount = DelimiterTableSize;
    std::memset(FTable.get(), 0, sizeof(TDelimiter) * DelimiterTableSize);
}

void TColorRule::CompileBegEnd(TStrings* List)
{
    ClearTable();
    const int Lines = List ? std::min(List->Count(), DelimiterTableSize) : 0;
    for (int i = 0; i < Lines; ++i) {
        const std::string Line = List->Strings(i);
        const std::size_t P = Line.find(';');
        if (P == std::string::npos || P == 0)
            continue; // an empty record ends the table for scanning
        TDelimiter& D = FTable[i];
        CopyCut(D.BeginText, Line.substr(0, P));
        const std::string Rest = Line.substr(P + 1);
        const std::size_t Q = Rest.find(';');
        CopyCut(D.EndText, Rest.substr(0, Q));
        const std::string ColorText = Q == std::string::npos ? std::string() : Rest.substr(Q + 1);
        D.Color = IsBlank(ColorText) ? DefKeyColor : ParseHtmlColor(ColorText);
    }
}

void TColorRule::CompileLineEnd(TStrings* List)
{
    ClearTable();
    const int Lines = List ? std::min(List->Count(), DelimiterTableSize) : 0;
    for (int i = 0; i < Lines; ++i) {
        const std::string Line = List->Strings(i);
        // P: the 0-based position of the separating ";" (the line's length when none).
        std::size_t P = Line.find(';');
        if (P == std::string::npos)
            P = Line.size();
        else if (P == 0)
            P = Line.size() > 1 && Line[1] == ';' ? 1 : Line.size();
        TDelimiter& D = FTable[i];
        CopyCut(D.BeginText, Line.substr(0, P));
        D.EndText[0] = 0;
        const std::string ColorText = P < Line.size() ? Line.substr(P + 1) : std::string();
        D.Color = IsBlank(ColorText) ? DefKeyColor : ParseHtmlColor(ColorText);
    }
}

void TColorRule::CompileKeywords(TStrings* List)
{
    FKeyLookup = "*";
    FLookupKeyCase = KeyCase;
    const int Lines = List ? List->Count() : 0;
    for (int i = 0; i < Lines; ++i) {
        const std::string Line = List->Strings(i);
        if (IsBlank(Line))
            continue;
        const std::size_t P = Line.find(';');
        std::string Keyword = Line.substr(0, P);
        const std::string ColorText = P == std::string::npos ? std::string() : Line.substr(P + 1);
        const TColor Color = IsBlank(ColorText) ? DefKeyColor : ParseHtmlColor(ColorText);
        if (IsBlank(Keyword))
            continue;
        if (!KeyCase)
            Keyword = UpperAscii(std::move(Keyword));
        FKeyLookup += Keyword;
        FKeyLookup += "*+";
        const std::uint32_t C = static_cast<std::uint32_t>(Color);
        for (int b = 0; b < 4; ++b)
            FKeyLookup += static_cast<char>((C >> (8 * b)) & 0xFF);
        FKeyLookup += '*';
    }
}

bool TColorRule::PrepareRule()
{
    bool Has = FKeyBegEndLst->Count() > 0;
    CompileBegEnd(FKeyBegEndLst.get());
    if (KeyDrawingType == dtKeyShow) {
        CompileKeywords(FKeywords.get());
        Has = Has || FKeywords->Count() > 0;
    }
    if (KeyDrawingType == dtBeginLineEnd) {
        CompileLineEnd(FKeyLineEndLst.get());
        Has = Has || FKeyLineEndLst->Count() > 0;
    }
    return Has;
}

void TColorRule::ScanText(std::string_view Text, int Base, TColorSpans& Spans)
{
    switch (KeyDrawingType) {
    case dtBeginEnd:
        ScanBeginEnd(Text, Base, Spans);
        break;
    case dtBeginLineEnd:
        ScanBeginLineEnd(Text, Base, Spans);
        break;
    case dtKeyShow:
        ScanKeywords(Text, Base, Spans);
        break;
    case dtEventDraw:
        break;
    }
}

// The earliest begin text at or after From (the earlier record at equal positions); its record
// index, with the position in that record's FoundAt, or -1.
int TColorRule::FindBegin(std::string_view Text, int From)
{
    int Best = -1;
    for (int i = 0; i < FTableCount && FTable[i].BeginText[0]; ++i) {
        TDelimiter& D = FTable[i];
        // FoundAt caches the last search: still ahead of From, it stands; -2: none further on.
        if (D.FoundAt == -2)
            continue;
        if (D.FoundAt < From) {
            const int At = FindFrom(Text, D.BeginText, From);
            D.FoundAt = At < 0 ? -2 : At;
            if (At < 0)
                continue;
        }
        if (Best < 0 || D.FoundAt < FTable[Best].FoundAt)
            Best = i;
    }
    return Best;
}

void TColorRule::ScanBeginEnd(std::string_view Text, int Base, TColorSpans& Spans)
{
    if (!FTable)
        return;
    for (int i = 0; i < FTableCount; ++i)
        FTable[i].FoundAt = -1;
    int P = 0;
    for (;;) {
        const int R = FindBegin(Text, P);
        if (R < 0)
            return;
        const TDelimiter& D = FTable[R];
        const int Begin = D.FoundAt;
        if (!D.EndText[0])
            return;
        const int End = FindFrom(Text, D.EndText, Begin + 1);
        if (End < 0)
            return; // unterminated: no span for it, and the scan ends
        Spans.Add(Base + Begin, Base + End + static_cast<int>(std::strlen(D.EndText)) - 1, D.Color, ZOrder,
                  0);
        P = End + 1;
    }
}

void TColorRule::ScanBeginLineEnd(std::string_view Text, int Base, TColorSpans& Spans)
{
    if (!FTable)
        return;
    for (int i = 0; i < FTableCount; ++i)
        FTable[i].FoundAt = -1;
    int P = 0;
    while (P < static_cast<int>(Text.size())) {
        const int R = FindBegin(Text, P);
        if (R < 0)
            return;
        const int Begin = FTable[R].FoundAt;
        const int LineEnd = FindFrom(Text, "\r\n", Begin);
        if (LineEnd < 0) {
            Spans.Add(Base + Begin, Base + static_cast<int>(Text.size()) - 1, FTable[R].Color, ZOrder, 0);
            return;
        }
        Spans.Add(Base + Begin, Base + LineEnd - 1, FTable[R].Color, ZOrder, 0);
        P = LineEnd + 1;
    }
}

void TColorRule::ScanKeywords(std::string_view Text, int Base, TColorSpans& Spans)
{
    if (Trim(FKeyLookup).size() < 3)
        return;
    std::string_view Searched = Text;
    // The text is matched the way the lookup string was compiled, so changing KeyCase alone
    // changes nothing until the keywords are compiled again.
    if (!FLookupKeyCase) {
        FUpperText.assign(Text.data(), Text.size());
        for (char& C : FUpperText)
            if (C >= 'a' && C <= 'z')
                C = static_cast<char>(C - 'a' + 'A');
        Searched = FUpperText;
    }
    const std::string_view Lookup = FKeyLookup;
    const int N = static_cast<int>(Searched.size());
    std::size_t TokenStart = 1;
    while (TokenStart < Lookup.size()) {
        const std::size_t Star = Lookup.find('*', TokenStart);
        if (Star == std::string_view::npos)
            break;
        const std::string_view Token = Lookup.substr(TokenStart, Star - TokenStart);
        TColor Color = DefKeyColor;
        std::size_t Next = Star + 1;
        if (Next < Lookup.size() && Lookup[Next] == '+') {
            // Four colour bytes follow, least significant first; an empty token takes them too.
            std::uint32_t C = 0;
            for (int b = 0; b < 4 && Next + 1 + b < Lookup.size(); ++b)
                C |= static_cast<std::uint32_t>(static_cast<unsigned char>(Lookup[Next + 1 + b])) << (8 * b);
            Color = static_cast<TColor>(C);
            Next += 5;
        }
        TokenStart = Next;
        if (Token.empty())
            continue;
        // A pattern longer than the search pattern's room still matches on its whole text.
        FSearchPattern.assign(Token.substr(0, KeywordPatternMax));
        const int L = static_cast<int>(Token.size());
        int From = 0;
        for (;;) {
            const int At = FindFrom(Searched, Token, From);
            if (At < 0)
                break;
            bool Counts = true;
            if (!PartWord) {
                const bool WordBefore = At > 0 && IsWordChar(static_cast<unsigned char>(Searched[At - 1]));
                const bool WordAfter = At + L < N && IsWordChar(static_cast<unsigned char>(Searched[At + L]));
                Counts = !WordBefore && !WordAfter;
            }
            if (Counts)
                Spans.Add(Base + At, Base + At + L - 1, Color, ZOrder, 1);
            From = At + L;
        }
    }
}

// ---- TDrawRules ---------------------------------------------------------------------------------
TDrawRules::TDrawRules(TComponent* AMemo)
    : TCollection(CollectionItemClass<TColorRule>(), AMemo), FMemo(AMemo)
{
}

void TDrawRules::PrepareRules()
{
    if (!RulesChanged)
        return;
    bool Any = false;
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->PrepareRule())
            Any = true;
    RulesChanged = !Any;
}

// ---- THotSpot -----------------------------------------------------------------------------------
void THotSpot::Assign(TPersistent* Source)
{
    if (THotSpot* Src = dynamic_cast<THotSpot*>(Source)) {
        BeginChar = Src->BeginChar;
        EndChar = Src->EndChar;
        Color = Src->Color;
        MarkerColor = Src->MarkerColor;
        Active = Src->Active;
        Underlined = Src->Underlined;
        return;
    }
    TPersistent::Assign(Source);
}

bool IsHotSpotAt(std::string_view Line, int C, char BeginChar, char EndChar)
{
    if (C < 0 || static_cast<std::size_t>(C) > Line.size())
        return false;
    const std::string_view Rest = Line.substr(static_cast<std::size_t>(C));
    const std::size_t E = Rest.find(EndChar);
    if (E == std::string_view::npos)
        return false;
    const std::size_t B = Rest.find(BeginChar);
    return B == std::string_view::npos || B > E || BeginChar == EndChar;
}

std::string HotSpotTextAt(std::string_view Line, int C, char BeginChar, char EndChar)
{
    if (C < 0 || static_cast<std::size_t>(C) > Line.size())
        return {};
    const std::string_view Before = Line.substr(0, static_cast<std::size_t>(C));
    const std::string_view Rest = Line.substr(static_cast<std::size_t>(C));
    const std::string_view Tail = Rest.substr(0, Rest.find(EndChar));
    const std::size_t LastBegin = Before.rfind(BeginChar);
    const std::string_view Head = LastBegin == std::string_view::npos ? Before : Before.substr(LastBegin + 1);
    return std::string(Head) + std::string(Tail);
}

// ---- The span finding of one pass ---------------------------------------------------------------
namespace {

void ScanHotSpots(const THotSpot& HotSpot, std::string_view Text, int Base, TColorSpans& Spans)
{
    if (!HotSpot.Active || HotSpot.BeginChar == 0)
        return;
    std::size_t P = 0;
    for (;;) {
        const std::size_t B = Text.find(HotSpot.BeginChar, P);
        if (B == std::string_view::npos)
            return;
        const std::size_t E = Text.find(HotSpot.EndChar, B + 1);
        if (E == std::string_view::npos)
            return;
        const int b = Base + static_cast<int>(B), e = Base + static_cast<int>(E);
        Spans.Add(b, b, HotSpot.MarkerColor, zoHotSpotMarker, 0);
        Spans.Add(b + 1, e - 1, HotSpot.Color, zoHotSpotText, 0);
        Spans.Add(e, e, HotSpot.MarkerColor, zoHotSpotMarker, 0);
        P = E + 1;
    }
}

void ScanTabs(std::string_view Text, int Base, TColor MemoColor, TColorSpans& Spans)
{
    for (std::size_t P = Text.find('\t'); P != std::string_view::npos; P = Text.find('\t', P + 1))
        Spans.Add(Base + static_cast<int>(P), Base + static_cast<int>(P), MemoColor, zoTab, 0);
}

void ScanEventRule(TColorRule* Rule, const TScanInput& In, TColorSpans& Spans)
{
    if (In.DrawArray.empty() || !In.OnDraw)
        return;
    std::memset(static_cast<void*>(In.DrawArray.data()), 0, In.DrawArray.size_bytes());
    int ItemsCount = 0;
    In.OnDraw(Rule, In.Text + In.Start, In.DrawArray, ItemsCount);
    const int Count = std::clamp(ItemsCount, 0, static_cast<int>(In.DrawArray.size()));
    for (int i = 0; i < Count; ++i) {
        const TKeyDescr& D = In.DrawArray[i];
        // Reported spans are kept inside the scanned range.
        const int Start = std::max(In.Start + D.StartPos, In.Start);
        const int End = std::min(In.Start + D.EndPos, In.End - 1);
        if (End < Start)
            continue;
        Spans.Add(Start, End, D.Color, D.ZOrder ? D.ZOrder : Rule->ZOrder, 0);
    }
}

} // namespace

void FindColorRuns(const TScanInput& In, TColorSpans& Spans)
{
    Spans.Reset();
    const int Start = std::max(In.Start, 0);
    const int End = std::max(In.End, Start);
    const std::string_view Text(In.Text + Start, static_cast<std::size_t>(End - Start));
    if (In.HotSpot)
        ScanHotSpots(*In.HotSpot, Text, Start, Spans);
    if (In.WantTabs)
        ScanTabs(Text, Start, In.MemoColor, Spans);
    if (In.RedrawAlways)
        Spans.Add(In.CaretLineStart, In.CaretPos, In.FontColor, 0, 0);
    if (In.Rules)
        for (int i = 0; i < In.Rules->Count(); ++i) {
            TColorRule* Rule = In.Rules->Items(i);
            if (!Rule->Enabled)
                continue;
            if (Rule->KeyDrawingType == dtEventDraw)
                ScanEventRule(Rule, In, Spans);
            else
                Rule->ScanText(Text, Start, Spans);
        }
    if (In.SelLength > 0) {
        // The selection only masks what lies under it, so only its scanned part matters.
        const int SelStart = std::max(In.SelStart, Start);
        const int SelEnd = std::min(In.SelStart + In.SelLength - 1, End - 1);
        if (SelEnd >= SelStart)
            Spans.Add(SelStart, SelEnd, In.MemoColor, zoSelection, 0);
    }
    Spans.Resolve();
}

// ---- Published properties -----------------------------------------------------------------------
TW_ENUM(TKeyDrawingType, "dtKeyShow", "dtEventDraw", "dtBeginEnd", "dtBeginLineEnd");

TW_PUBLISH(TColorRule, TCollectionItem)
{
    Cls.Int("ZOrder", &TColorRule::ZOrder).Default(0);
    Cls.Str("IntChar", &TColorRule::IntChar);
    Cls.Strings("Keywords", &TColorRule::Keywords, &TColorRule::SetKeywords);
    Cls.Strings("KeyBegEndLst", &TColorRule::KeyBegEndLst, &TColorRule::SetKeyBegEndLst);
    Cls.Strings("KeyLineEndLst", &TColorRule::KeyLineEndLst, &TColorRule::SetKeyLineEndLst);
    Cls.Int("KeyMaxHeight", &TColorRule::KeyMaxHeight).Default(1);
    Cls.Enum("KeyDrawingType", &TColorRule::KeyDrawingType).Default(dtBeginEnd);
    Cls.Bool("KeyCase", &TColorRule::KeyCase).Default(false);
    Cls.Bool("Enabled", &TColorRule::Enabled).Default(true);
    Cls.Bool("PartWord", &TColorRule::PartWord).Default(false);
    Cls.Color("DefKeyColor", &TColorRule::DefKeyColor).Default(0x0000FF);
    Cls.Color("KeySelColor", &TColorRule::KeySelColor).Default(0x00FFFF);
    Cls.Color("KeyBrushColor", &TColorRule::KeyBrushColor).Default(clWindow);
}

TW_PUBLISH(TDrawRules, TCollection) {}

TW_PUBLISH(THotSpot, TPersistent)
{
    Cls.Char("BeginChar", &THotSpot::BeginChar).Default(0x1E);
    Cls.Char("EndChar", &THotSpot::EndChar).Default(0x1F);
    Cls.Color("Color", &THotSpot::Color).Default(0xFF0000);
    Cls.Color("MarkerColor", &THotSpot::MarkerColor).Default(clWindow);
    Cls.Bool("Active", &THotSpot::Active).Default(false);
    Cls.Bool("Underlined", &THotSpot::Underlined).Default(true);
}

// ---- TColorMemo ---------------------------------------------------------------------------------
namespace {

bool VersionAllowsColoring()
{
    OSVERSIONINFO Info;
    return GetVersionEx(&Info) && Info.dwMajorVersion >= 4;
}

constexpr int InitialBufferSize = 2048;
constexpr int BufferMargin = 1024;

TShiftState Modifiers(TShiftState Shift)
{
    return Shift * TShiftState{ssShift, ssAlt, ssCtrl};
}

} // namespace

TColorMemo::TColorMemo(TComponent* AOwner)
    : TMemo(AOwner), FCanvas(std::make_unique<TControlCanvas>()),
      FColorRules(std::make_unique<TDrawRules>(this)), FHotSpot(std::make_unique<THotSpot>()),
      FColoringAvailable(VersionAllowsColoring()), FTextBuf(InitialBufferSize), FDrawBuf(InitialBufferSize)
{
    if (TWinControl* Form = dynamic_cast<TWinControl*>(AOwner))
        SetParent(Form);
    FCanvas->SetControl(this);
}

TColorMemo::~TColorMemo()
{
    // The canvas may hold a DC of our window; give it back before the window goes.
    FCanvas->FreeHandle();
}

void TColorMemo::SetColorRules(TDrawRules* Value)
{
    FColorRules->Assign(Value);
}

void TColorMemo::SetHotSpot(THotSpot* Value)
{
    FHotSpot->Assign(Value);
}

void TColorMemo::SetColorLimMax(int Value)
{
    Value = std::max(Value, 0); // a negative count has no entries
    if (Value == FColorLimMax)
        return;
    FColorLimMax = Value;
    FDrawArray.assign(static_cast<std::size_t>(Value), TKeyDescr{});
}

bool TColorMemo::CanColor() const
{
    return FColoringAvailable && Enabled() && Visible() && Parent() && HandleAllocated() &&
           (FColorRules->Count() > 0 || FHotSpot->Active);
}

int TColorMemo::LineStart(int Line)
{
    return static_cast<int>(SendMessage(Handle(), EM_LINEINDEX, static_cast<WPARAM>(Line), 0));
}

int TColorMemo::LineLengthAt(int Index)
{
    return static_cast<int>(SendMessage(Handle(), EM_LINELENGTH, static_cast<WPARAM>(Index), 0));
}

int TColorMemo::LineOf(int Index)
{
    return static_cast<int>(SendMessage(Handle(), EM_LINEFROMCHAR, static_cast<WPARAM>(Index), 0));
}

bool TColorMemo::ClientPos(int Index, int& X, int& Y)
{
    const LRESULT R = SendMessage(Handle(), EM_POSFROMCHAR, static_cast<WPARAM>(Index), 0);
    if (R == -1)
        return false;
    X = static_cast<SmallInt>(LOWORD(R));
    Y = static_cast<SmallInt>(HIWORD(R));
    return true;
}

int TColorMemo::ScanStartLine(int FirstLine) const
{
    if (FColorRules->Count() == 0)
        return FirstLine;
    // A look-back below one line would start the scan after the first line.
    const int LookBack = std::max(FColorRules->Items(0)->KeyMaxHeight, 1) - 1;
    return std::max(FirstLine - LookBack, 0);
}

int TColorMemo::TextLength()
{
    const int Length = std::max(GetWindowTextLength(Handle()), 0);
    // Room for the text, its terminator and a margin, so typing does not grow it every time.
    if (Length + 1 > static_cast<int>(FTextBuf.size()))
        FTextBuf.resize(static_cast<std::size_t>(Length) + BufferMargin);
    if (Length != FTextLength) {
        FTextLength = Length;
        FTextDirty = true;
    }
    return Length;
}

bool TColorMemo::ReadLine(int Line, int Length, int At)
{
    // The control reads the room from the first two bytes, and the buffer always has a margin
    // past the text for them. A line longer than two bytes can tell is not read by itself.
    if (Length > 0xFFFF || At + std::max(Length, 2) > static_cast<int>(FTextBuf.size()))
        return false;
    char* Dest = FTextBuf.data() + At;
    char Behind[2];
    std::memcpy(Behind, Dest, sizeof Behind); // what a line shorter than two characters leaves
    const WORD Room = static_cast<WORD>(Length);
    std::memcpy(Dest, &Room, sizeof Room);
    const LRESULT Got =
        SendMessage(Handle(), EM_GETLINE, static_cast<WPARAM>(Line), reinterpret_cast<LPARAM>(Dest));
    for (int I = Length; I < 2; ++I)
        Dest[I] = Behind[I];
    return Got == Length;
}

void TColorMemo::FetchText(int From, int To)
{
    // Only the characters a pass scans or draws are read from the control, at their own
    // positions in the buffer: reading a long text whole costs far more than the pass. What was
    // read stays valid until the text may have changed.
    const int Length = TextLength();
    From = std::clamp(From, 0, Length);
    To = std::clamp(To, From, Length);
    if (FTextDirty) {
        FValidFrom = FValidTo = 0;
        FTextDirty = false;
    }
    if (From >= FValidFrom && To <= FValidTo)
        return;
    HWND Wnd = Handle();
    int Line = LineOf(From);
    int Pos = LineStart(Line);
    const int ReadFrom = std::max(Pos, 0);
    int ReadTo = ReadFrom;
    while (Pos >= 0 && Pos < To) {
        const int Count = LineLengthAt(Pos);
        const int Next = LineStart(Line + 1);
        // Lines are parted by CR LF, or by nothing where a long line wraps.
        const int Gap = Next < 0 ? Length - (Pos + Count) : Next - (Pos + Count);
        if (Count < 0 || Pos + Count > Length || (Gap != 0 && Gap != 2) || !ReadLine(Line, Count, Pos)) {
            // Not line by line: the whole text, once.
            const int Got = GetWindowText(Wnd, FTextBuf.data(), static_cast<int>(FTextBuf.size()));
            FTextBuf[static_cast<std::size_t>(std::clamp(Got, 0, Length))] = 0;
            FValidFrom = 0;
            FValidTo = std::clamp(Got, 0, Length);
            return;
        }
        if (Gap == 2) {
            FTextBuf[static_cast<std::size_t>(Pos + Count)] = '\r';
            FTextBuf[static_cast<std::size_t>(Pos + Count + 1)] = '\n';
        }
        ReadTo = Pos + Count + Gap;
        if (Next < 0)
            break;
        Pos = Next;
        ++Line;
    }
    if (FValidTo > FValidFrom && ReadFrom <= FValidTo && ReadTo >= FValidFrom) {
        FValidFrom = std::min(FValidFrom, ReadFrom);
        FValidTo = std::max(FValidTo, ReadTo);
    } else {
        FValidFrom = ReadFrom;
        FValidTo = ReadTo;
    }
}

void TColorMemo::PaintColoredText(bool CaretLineOnly)
{
    if (!CanColor())
        return;
    if (FPaintDC)
        ColoringPass(CaretLineOnly);
    else
        RequestColoring(CaretLineOnly);
}

void TColorMemo::RequestColoring(bool CaretLineOnly)
{
    HWND Wnd = Handle();
    if (!CaretLineOnly) {
        FCaretLineRequested = false;
        InvalidateRect(Wnd, nullptr, FALSE);
        return;
    }
    // The caret line and the look-back lines above it, as far as they are in the window.
    const int Line = LineOf(-1);
    int X, Top, Bottom;
    const int From = ScanStartLine(Line);
    if (!ClientPos(LineStart(From), X, Top) || Top < 0)
        Top = 0;
    if (!ClientPos(LineStart(Line), X, Bottom))
        return;
    TEXTMETRIC TM{};
    HDC DC = GetDC(Wnd);
    HGDIOBJ Old = SelectObject(DC, Font()->Handle());
    GetTextMetrics(DC, &TM);
    SelectObject(DC, Old);
    ReleaseDC(Wnd, DC);
    RECT R{0, Top, ClientWidth(), Bottom + TM.tmHeight};
    FCaretLineRequested = true;
    InvalidateRect(Wnd, &R, FALSE);
}

void TColorMemo::PaintWindow(HDC DC)
{
    TMemo::PaintWindow(DC); // the control paints the text first
    // A repaint the caret-line pass asked for needs only that pass; anything else gets the whole
    // window coloured.
    bool CaretLineOnly = false;
    if (FCaretLineRequested && CanColor()) {
        FCaretLineRequested = false;
        RECT Clip;
        int X, Top, LineTop;
        const int Line = LineOf(-1);
        if (GetClipBox(DC, &Clip) != ERROR && ClientPos(LineStart(ScanStartLine(Line)), X, Top) &&
            ClientPos(LineStart(Line), X, LineTop)) {
            TControlCanvas Measure;
            Measure.SetControl(this);
            Measure.SetFont(Font());
            CaretLineOnly = Clip.top >= std::max(Top, 0) && Clip.bottom <= LineTop + Measure.TextHeight("Wg");
            Measure.FreeHandle();
        }
    }
    ColorOnto(DC, CaretLineOnly);
}

void TColorMemo::ColorOnto(HDC DC, bool CaretLineOnly)
{
    if (!CanColor() || FPaintDC)
        return;
    FCanvas->FreeHandle();
    FCanvas->Lock();
    FCanvas->SetHandle(DC);
    FPaintDC = DC;
    try {
        ColoringPass(CaretLineOnly);
    } catch (...) {
        FPaintDC = nullptr;
        FCanvas->SetHandle(nullptr);
        FCanvas->Unlock();
        throw;
    }
    FPaintDC = nullptr;
    FCanvas->SetHandle(nullptr);
    FCanvas->Unlock();
}

void TColorMemo::ColoringPass(bool CaretLineOnly)
{
    HWND Wnd = Handle();
    ++FPassCount;
    TCanvas* C = FCanvas.get();
    // Measured with the memo's font in place, not the canvas's previous one. The canvas keeps
    // its copy until the memo's font changes: making the font again costs more than a pass.
    if (FCanvasFontStale) {
        C->Font()->Assign(Font());
        FCanvasFontStale = false;
    }
    TEXTMETRIC TM{};
    GetTextMetrics(C->Handle(), &TM);
    const int TextHeight = TM.tmHeight;
    const int SelStart_ = SelStart();
    const int SelLength_ = SelLength();
    HideCaret(Wnd);
    C->Font()->SetColor(Color());
    C->Brush()->SetColor(Color());
    C->Brush()->SetStyle(bsSolid);

    FColorRules->PrepareRules();

    const int Got = TextLength();

    const int LineCount = static_cast<int>(SendMessage(Wnd, EM_GETLINECOUNT, 0, 0));
    int First, Count;
    if (CaretLineOnly) {
        First = LineOf(-1);
        Count = 1;
    } else {
        First = static_cast<int>(SendMessage(Wnd, EM_GETFIRSTVISIBLELINE, 0, 0));
        Count = LineCount - First;
    }
    const int S = std::max(LineStart(ScanStartLine(First)), 0);

    // The range ends before the first line that is not wholly inside the window.
    const int ClientBottom = ClientHeight();
    int E = -1;
    for (int Line = First; Line < First + Count; ++Line) {
        const int Index = LineStart(Line);
        int X, Y;
        if (Index < 0 || !ClientPos(Index, X, Y) || Y < 0 || Y + TextHeight >= ClientBottom) {
            E = std::max(Index, 0);
            break;
        }
    }
    if (E < 0) {
        const int LastStart = LineStart(First + Count - 1);
        E = LastStart < 0 ? Got : LastStart + LineLengthAt(LastStart);
    }
    E = std::clamp(E, S, Got);
    FetchText(S, E);
    int CaretLineStart = 0, CaretPos = 0;
    if (RedrawAlways) {
        // The caret line is drawn up to the caret even where it lies outside the scanned range.
        CaretLineStart = std::max(LineStart(-1), 0);
        CaretPos = SelStart_ + SelLength_;
        FetchText(CaretLineStart, CaretPos + 1);
    }
    // The handler of OnDraw sees the scanned text end here; the character is put back after.
    const char Saved = FTextBuf[static_cast<std::size_t>(E)];
    FTextBuf[static_cast<std::size_t>(E)] = 0;
    FLastScanStart = S;
    FLastScanEnd = E;

    TScanInput In;
    In.Text = FTextBuf.data();
    In.Start = S;
    In.End = E;
    In.Rules = FColorRules.get();
    In.HotSpot = FHotSpot.get();
    In.WantTabs = WantTabs;
    In.MemoColor = Color();
    In.RedrawAlways = RedrawAlways;
    if (RedrawAlways) {
        In.CaretLineStart = CaretLineStart;
        In.CaretPos = std::min(CaretPos, Got - 1);
        In.FontColor = Font()->Color();
    }
    In.SelStart = SelStart_;
    In.SelLength = SelLength_;
    In.OnDraw = OnDraw;
    In.DrawArray = FDrawArray;
    FindColorRuns(In, FSpans);
    FTextBuf[static_cast<std::size_t>(E)] = Saved;

    DrawRuns(TextHeight);
    ShowCaret(Wnd);
}

bool TColorMemo::SingleLine(const TKeyDescr& Run) const
{
    // Without word wrap a run lies on one line unless it holds a line break.
    return !WordWrap() && !std::memchr(FTextBuf.data() + Run.StartPos, '\n',
                                       static_cast<std::size_t>(Run.EndPos - Run.StartPos + 1));
}

void TColorMemo::DrawRuns(int TextHeight)
{
    // Asking the control where each run starts costs more than drawing it. So per line the
    // control is asked where the line and its last run start, and the runs in between are placed
    // by measuring the text before them in the memo's font, the way the control lays it out. A
    // line with a TAB, or one where the measured and the reported start of the last run differ,
    // has every run asked for.
    const int Count = FSpans.Count();
    const char* Text = FTextBuf.data();
    const int S = FLastScanStart, E = FLastScanEnd; // S is a line start
    // A one-line run to draw inside the scanned range.
    auto Placeable = [&](const TKeyDescr& Run) {
        return Run.ZOrder < zoSelection && Run.StartPos >= S && Run.EndPos < E && SingleLine(Run);
    };
    int i = 0;
    while (i < Count) {
        const TKeyDescr& First = FSpans[i];
        if (!Placeable(First)) {
            DrawRun(First, TextHeight, nullptr);
            ++i;
            continue;
        }
        int LineFrom = First.StartPos;
        while (LineFrom > S && Text[LineFrom - 1] != '\n')
            --LineFrom;
        const char* Break = static_cast<const char*>(
            std::memchr(Text + First.StartPos, '\n', static_cast<std::size_t>(E - First.StartPos)));
        const int LineTo = Break ? static_cast<int>(Break - Text) : E;
        FLineRuns.clear();
        int k = i;
        for (; k < Count && FSpans[k].StartPos < LineTo; ++k)
            if (Placeable(FSpans[k]))
                FLineRuns.push_back(k);
        bool Measured = false;
        const int LastStart = FLineRuns.empty() ? LineFrom : FSpans[FLineRuns.back()].StartPos;
        if (FLineRuns.size() > 2 &&
            !std::memchr(Text + LineFrom, '\t', static_cast<std::size_t>(LastStart - LineFrom))) {
            int X0, Y0, XL, YL;
            if (ClientPos(LineFrom, X0, Y0) && ClientPos(LastStart, XL, YL) && YL == Y0) {
                FRunX.clear();
                FCanvas->RequiredState({csHandleValid, csFontValid});
                HDC DC = FCanvas->Handle();
                int X = X0, From = LineFrom;
                for (int Index : FLineRuns) {
                    SIZE Size{};
                    const int At = FSpans[Index].StartPos;
                    if (At > From)
                        GetTextExtentPoint32(DC, Text + From, At - From, &Size);
                    X += Size.cx;
                    From = At;
                    FRunX.push_back(X);
                }
                Measured = FRunX.back() == XL;
                if (Measured)
                    for (std::size_t r = 0; r < FLineRuns.size(); ++r) {
                        const TPoint At = Point(FRunX[r], Y0);
                        DrawRun(FSpans[FLineRuns[r]], TextHeight, &At);
                    }
            }
        }
        if (!Measured)
            for (int Index : FLineRuns)
                DrawRun(FSpans[Index], TextHeight, nullptr);
        // The rest of the runs that start on this line (not drawn, or reaching past it).
        for (int r = i; r < k; ++r)
            if (!Placeable(FSpans[r]))
                DrawRun(FSpans[r], TextHeight, nullptr);
        i = k;
    }
}

void TColorMemo::DrawText(int Index, int EndIndex, int X, int Y)
{
    // EndIndex is one past the last character.
    const int N = EndIndex - Index;
    if (N <= 0)
        return;
    if (N >= static_cast<int>(FDrawBuf.size()))
        FDrawBuf.resize(static_cast<std::size_t>(N) + BufferMargin);
    std::memcpy(FDrawBuf.data(), FTextBuf.data() + Index, static_cast<std::size_t>(N));
    FDrawBuf[static_cast<std::size_t>(N)] = 0;
    // The canvas's text output, less its moving the pen past the text, which measures the text
    // again and which nothing here uses.
    FCanvas->RequiredState({csHandleValid, csFontValid, csBrushValid});
    ExtTextOut(FCanvas->Handle(), X, Y, static_cast<UINT>(FCanvas->TextFlags), nullptr, FDrawBuf.data(),
               static_cast<UINT>(N), nullptr);
}

void TColorMemo::DrawRun(const TKeyDescr& Run, int TextHeight, const TPoint* At)
{
    TCanvas* C = FCanvas.get();
    C->Font()->SetColor(Run.Color);
    if (Run.ZOrder < zoSelection) {
        // Asking the control for the lines of a run only when it may span several.
        int FirstLine = 0, LastLine = 0;
        if (!SingleLine(Run)) {
            FirstLine = LineOf(Run.StartPos);
            LastLine = LineOf(Run.EndPos);
        }
        int X = At ? At->x : 0, Y = At ? At->y : 0;
        if (LastLine > FirstLine) {
            if (ClientPos(Run.StartPos, X, Y)) {
                const int Start = LineStart(FirstLine);
                DrawText(Run.StartPos, Start + LineLengthAt(Start), X, Y);
            }
            // The lines in between, those inside the window.
            const int Bottom = ClientHeight();
            for (int Line = FirstLine + 1; Line < LastLine; ++Line) {
                const int Start = LineStart(Line);
                if (!ClientPos(Start, X, Y) || Y < 0)
                    continue;
                if (Y >= Bottom)
                    break;
                DrawText(Start, Start + LineLengthAt(Start), X, Y);
            }
            const int Start = LineStart(LastLine);
            if (ClientPos(Start, X, Y))
                DrawText(Start, Run.EndPos + 1, X, Y);
        } else if (At || ClientPos(Run.StartPos, X, Y)) {
            if (Run.IsKeyword && OnDrawKey) {
                const std::string Key(FTextBuf.data() + Run.StartPos,
                                      static_cast<std::size_t>(Run.EndPos - Run.StartPos + 1));
                const TRect R = Rect(X, Y, X + C->TextWidth(Key), Y + TextHeight);
                OnDrawKey(C, Key, R, Font()->Color());
            } else if (Run.ZOrder == zoHotSpotMarker) {
                C->Brush()->SetColor(Run.Color);
                // The control shows a marker character as a box of its own width, where the text
                // output gives control characters none: the marker's cell, as the control lays it
                // out, is filled too, so the marker is hidden whatever the control drew.
                int Next, NextY;
                if (ClientPos(Run.EndPos + 1, Next, NextY) && NextY == Y && Next > X)
                    C->FillRect(Rect(X, Y, Next, Y + TextHeight));
                DrawText(Run.StartPos, Run.EndPos + 1, X, Y);
                C->Brush()->SetColor(Color());
            } else if (Run.ZOrder == zoHotSpotText) {
                const TFontStyles Style = C->Font()->Style();
                if (FHotSpot->Underlined)
                    C->Font()->SetStyle(Style + fsUnderline);
                DrawText(Run.StartPos, Run.EndPos + 1, X, Y);
                C->Font()->SetStyle(Style);
            } else {
                int End = Run.EndPos + 1;
                if (End - Run.StartPos > 1 && FTextBuf[End - 2] == '\r' && FTextBuf[End - 1] == '\n')
                    End -= 2;
                // A line break alone has nothing to show.
                while (End > Run.StartPos && (FTextBuf[End - 1] == '\r' || FTextBuf[End - 1] == '\n'))
                    --End;
                DrawText(Run.StartPos, End, X, Y);
            }
        }
    }
    C->Font()->SetColor(Color());
}

bool TColorMemo::CharAtPoint(int X, int Y, int& Index, int& Line)
{
    if (!HandleAllocated())
        return false;
    const LRESULT R = SendMessage(Handle(), EM_CHARFROMPOS, 0, MAKELPARAM(X, Y));
    if (R == -1)
        return false;
    Line = HIWORD(R);
    // The index comes in 16 bits; the line's start gives back the bits above them.
    const int Start = LineStart(Line);
    if (Start < 0)
        return false;
    Index = Start + ((static_cast<int>(LOWORD(R)) - Start) & 0xFFFF);
    return true;
}

bool TColorMemo::HotSpotAtPoint(int X, int Y, std::string* Text)
{
    int Index, Line;
    if (!CharAtPoint(X, Y, Index, Line))
        return false;
    const int Start = LineStart(Line);
    if (Start < 0)
        return false;
    const int End = Start + LineLengthAt(Start);
    FetchText(Start, End);
    if (Start < FValidFrom || End > FValidTo)
        return false;
    const std::string_view LineText(FTextBuf.data() + Start, static_cast<std::size_t>(End - Start));
    const int C = Index - Start;
    if (Text)
        *Text = HotSpotTextAt(LineText, C, FHotSpot->BeginChar, FHotSpot->EndChar);
    return IsHotSpotAt(LineText, C, FHotSpot->BeginChar, FHotSpot->EndChar);
}

void TColorMemo::KeyDown(WORD& Key, TShiftState Shift)
{
    if (Key >= VK_PRIOR && Key <= VK_DOWN && Modifiers(Shift).Empty() && HandleAllocated()) {
        const int Start = SelStart(), Length = SelLength();
        if (Length > 0) {
            SetSelStart(Start + Length);
            PaintColoredText(false);
        }
    }
    TMemo::KeyDown(Key, Shift);
}

void TColorMemo::KeyUp(WORD& Key, TShiftState Shift)
{
    if (Key == VK_SHIFT && Modifiers(Shift).Empty())
        PaintColoredText(false);
    TMemo::KeyUp(Key, Shift);
}

void TColorMemo::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft && Shift == TShiftState{ssLeft})
        PaintColoredText(false);
    TMemo::MouseDown(Button, Shift, X, Y);
}

void TColorMemo::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button != mbLeft) {
        TMemo::MouseUp(Button, Shift, X, Y);
        return;
    }
    PaintColoredText(false);
    TMemo::MouseUp(Button, Shift, X, Y);
    std::string Text;
    if (Cursor() == crColMemoHotSpot && OnHotSpotClick) {
        HotSpotAtPoint(X, Y, &Text);
        OnHotSpotClick(this, Text);
    }
}

void TColorMemo::MouseMove(TShiftState Shift, int X, int Y)
{
    if (FHotSpot->Active) {
        if (HotSpotAtPoint(X, Y, nullptr)) {
            if (Cursor() != crColMemoHotSpot)
                SetCursor(crColMemoHotSpot);
        } else if (Parent()) {
            SetCursor(Parent()->Cursor());
        }
    }
    TMemo::MouseMove(Shift, X, Y);
}

void TColorMemo::Change()
{
    FTextDirty = true;
    TMemo::Change();
    const TComponentState State = ComponentState();
    if (State.Contains(csLoading) || State.Contains(csReading) || State.Contains(csDesigning) ||
        !HandleAllocated())
        return;
    HWND Wnd = Handle();
    const int LineCount = static_cast<int>(SendMessage(Wnd, EM_GETLINECOUNT, 0, 0));
    const int LastStart = LineStart(LineCount - 1);
    const int TextEnd = LastStart + LineLengthAt(LastStart);
    if (RedrawAlways)
        PaintColoredText(false);
    else
        PaintColoredText(LineCount == FLastLineCount && TextEnd == FLastTextEnd + 1);
    FLastLineCount = LineCount;
    FLastTextEnd = TextEnd;
}

void TColorMemo::CreateWnd()
{
    TMemo::CreateWnd();
    FTextDirty = true;
}

void TColorMemo::Loaded()
{
    TMemo::Loaded();
    FTextDirty = true;
}

// The control repaints an edit before it reports the change: what was read of the text is
// dropped before any message that may edit it reaches the control.
void TColorMemo::WMSetText(TWMSetText Message)
{
    FTextDirty = true;
    TMemo::WMSetText(Message);
}

void TColorMemo::WMChar(TWMChar Message)
{
    FTextDirty = true;
    TMemo::WMChar(Message);
}

void TColorMemo::WMKeyDown(TWMKeyDown Message)
{
    FTextDirty = true;
    TMemo::WMKeyDown(Message);
}

void TColorMemo::WMSysKeyDown(TWMSysKeyDown Message)
{
    FTextDirty = true;
    TMemo::WMSysKeyDown(Message);
}

void TColorMemo::WMTextEdit(TMessage& Message)
{
    FTextDirty = true;
    DefaultHandler(Message);
}

void TColorMemo::CMFontChanged(TMessage& Message)
{
    FCanvasFontStale = true;
    TMemo::CMFontChanged(Message);
}

void TColorMemo::WMHScroll(TWMHScroll Message)
{
    TMemo::WMHScroll(Message);
    Scrolled(OnHScroll);
}

void TColorMemo::WMVScroll(TWMVScroll Message)
{
    TMemo::WMVScroll(Message);
    Scrolled(OnVScroll);
}

void TColorMemo::Scrolled(const TNotifyEvent& Event)
{
    if (Event)
        Event(this);
    PaintColoredText(false);
}

void InitColMemoCursor()
{
    ScreenInstance()->SetCursors(crColMemoHotSpot,
                                 LoadCursor(GetModuleHandle(nullptr), TW_MAKEINTRESOURCE(1077)));
}

// ---- Published properties of the memo -----------------------------------------------------------
namespace {
[[maybe_unused]] const bool MemoEventTypesRegistered = [] {
    RegisterEventType<TDrawEvent>("TDrawEvent");
    RegisterEventType<TKeyDrawEvent>("TKeyDrawEvent");
    RegisterEventType<THotSpotClickEvent>("THotSpotClickEvent");
    return true;
}();
} // namespace

TW_PUBLISH(TColorMemo, TMemo)
{
    Cls.Event("OnVScroll", &TColorMemo::OnVScroll);
    Cls.Event("OnHScroll", &TColorMemo::OnHScroll);
    Cls.Event("OnHotSpotClick", &TColorMemo::OnHotSpotClick);
    Cls.Event("OnDraw", &TColorMemo::OnDraw);
    Cls.Event("OnDrawKey", &TColorMemo::OnDrawKey);
    Cls.Collection("ColorRules", &TColorMemo::ColorRules, &TColorMemo::SetColorRules);
    Cls.Int("ColorLimMax", &TColorMemo::ColorLimMax, &TColorMemo::SetColorLimMax).Default(0);
    Cls.Bool("RedrawAlways", &TColorMemo::RedrawAlways).Default(false);
    Cls.Object("HotSpot", &TColorMemo::HotSpot, &TColorMemo::SetHotSpot);
    Cls.Message(WM_SETTEXT, &TColorMemo::WMSetText);
    Cls.Message(WM_CHAR, &TColorMemo::WMChar);
    Cls.Message(WM_KEYDOWN, &TColorMemo::WMKeyDown);
    Cls.Message(WM_SYSKEYDOWN, &TColorMemo::WMSysKeyDown);
    Cls.Message({WM_PASTE, WM_CUT, WM_CLEAR, WM_UNDO, EM_UNDO, EM_REPLACESEL}, &TColorMemo::WMTextEdit);
    Cls.Message(CM_FONTCHANGED, &TColorMemo::CMFontChanged);
    Cls.Message(WM_HSCROLL, &TColorMemo::WMHScroll);
    Cls.Message(WM_VSCROLL, &TColorMemo::WMVScroll);
}
