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

void TColorSpans::AppendRuns(const TColorSpans& Runs)
{
    for (int i = 0; i < Runs.Count(); ++i)
        FList.AddDescr(Runs[i]);
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

void TColorRule::ParseLookup()
{
    // The lookup string is read from its second character: each "*" ends a token; a token
    // followed by "+" takes the next four bytes as its colour.
    FTokens.clear();
    FTokensOf = FKeyLookup;
    FTokensColor = DefKeyColor;
    const std::string_view Lookup = FKeyLookup;
    std::size_t TokenStart = 1;
    while (TokenStart < Lookup.size()) {
        const std::size_t Star = Lookup.find('*', TokenStart);
        if (Star == std::string_view::npos)
            break;
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
        if (Star > TokenStart)
            FTokens.push_back(
                TToken{static_cast<int>(TokenStart), static_cast<int>(Star - TokenStart), Color});
        TokenStart = Next;
    }
    // The tokens by their first byte, each byte's in token order.
    FByFirst.assign(FTokens.size(), 0);
    FFirst.fill(0);
    for (const TToken& T : FTokens)
        ++FFirst[static_cast<unsigned char>(Lookup[static_cast<std::size_t>(T.From)]) + 1];
    for (std::size_t c = 1; c < FFirst.size(); ++c)
        FFirst[c] += FFirst[c - 1];
    std::array<int, 257> Fill = FFirst;
    for (int t = 0; t < static_cast<int>(FTokens.size()); ++t)
        FByFirst[static_cast<std::size_t>(Fill[static_cast<unsigned char>(
            Lookup[static_cast<std::size_t>(FTokens[static_cast<std::size_t>(t)].From)])]++)] = t;
}

void TColorRule::ScanKeywords(std::string_view Text, int Base, TColorSpans& Spans)
{
    if (Trim(FKeyLookup).size() < 3)
        return;
    if (FTokensOf != FKeyLookup || FTokensColor != DefKeyColor)
        ParseLookup();
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
    const char* Lookup = FKeyLookup.data();
    const int N = static_cast<int>(Searched.size());
    // Each token is searched for from the start of the text, each next search starting after
    // the occurrence found: done for all tokens in one walk over the text, a token looked at
    // only where the text holds its first byte. Same occurrences as one search per token.
    FNextSearch.assign(FTokens.size(), 0);
    FMatches.clear();
    for (int p = 0; p < N; ++p) {
        const auto c = static_cast<unsigned char>(Searched[static_cast<std::size_t>(p)]);
        for (int k = FFirst[c]; k < FFirst[c + 1]; ++k) {
            const int t = FByFirst[static_cast<std::size_t>(k)];
            const TToken& Token = FTokens[static_cast<std::size_t>(t)];
            if (p < FNextSearch[static_cast<std::size_t>(t)] || Token.Length > N - p ||
                std::memcmp(Searched.data() + p + 1, Lookup + Token.From + 1,
                            static_cast<std::size_t>(Token.Length - 1)) != 0)
                continue;
            FMatches.emplace_back(t, p);
            FNextSearch[static_cast<std::size_t>(t)] = p + Token.Length;
        }
    }
    // The spans go token by token, each token's in text order.
    FMatchStart.assign(FTokens.size() + 1, 0);
    for (const auto& [t, p] : FMatches)
        ++FMatchStart[static_cast<std::size_t>(t) + 1];
    for (std::size_t t = 1; t < FMatchStart.size(); ++t)
        FMatchStart[t] += FMatchStart[t - 1];
    FByToken.resize(FMatches.size());
    FNextSearch.assign(FMatchStart.begin(), FMatchStart.end() - 1); // reused as fill positions
    for (const auto& [t, p] : FMatches)
        FByToken[static_cast<std::size_t>(FNextSearch[static_cast<std::size_t>(t)]++)] = p;
    for (std::size_t t = 0; t < FTokens.size(); ++t) {
        const TToken& Token = FTokens[t];
        // A pattern longer than the search pattern's room still matches on its whole text.
        FSearchPattern.assign(Lookup + Token.From,
                              static_cast<std::size_t>(std::min(Token.Length, KeywordPatternMax)));
        const int L = Token.Length;
        for (int m = FMatchStart[t]; m < FMatchStart[t + 1]; ++m) {
            const int At = FByToken[static_cast<std::size_t>(m)];
            bool Counts = true;
            if (!PartWord) {
                const bool WordBefore = At > 0 && IsWordChar(static_cast<unsigned char>(Searched[At - 1]));
                const bool WordAfter = At + L < N && IsWordChar(static_cast<unsigned char>(Searched[At + L]));
                Counts = !WordBefore && !WordAfter;
            }
            if (Counts)
                Spans.Add(Base + At, Base + At + L - 1, Token.Color, ZOrder, 1);
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
    const int Got = GetTextRange(From, To, FTextBuf.data() + From);
    To = From + std::max(Got, 0);
    if (FValidTo > FValidFrom && From <= FValidTo && To >= FValidFrom) {
        FValidFrom = std::min(FValidFrom, From);
        FValidTo = std::max(FValidTo, To);
    } else {
        FValidFrom = From;
        FValidTo = To;
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
    const int StartLine = ScanStartLine(First);
    const int S = std::max(LineStart(StartLine), 0);

    // The range ends before the first line that is not wholly inside the window.
    const int ClientBottom = ClientHeight();
    int E = -1;
    int EndLine = First + Count; // one past the last line of the range
    for (int Line = First; Line < First + Count; ++Line) {
        const int Index = LineStart(Line);
        int X, Y;
        if (Index < 0 || !ClientPos(Index, X, Y) || Y < 0 || Y + TextHeight >= ClientBottom) {
            E = std::max(Index, 0);
            EndLine = Line;
            break;
        }
    }
    if (E < 0) {
        const int LastStart = LineStart(First + Count - 1);
        E = LastStart < 0 ? Got : LastStart + LineLengthAt(LastStart);
    }
    E = std::clamp(E, S, Got);
    FLastScanStart = S;
    FLastScanEnd = E;
    CutLongLines(StartLine, EndLine, S, E);

    int CaretLineStart = 0, CaretPos = 0;
    if (RedrawAlways) {
        // The caret line is drawn up to the caret even where it lies outside the scanned range
        // (on a long line, within the part of it a pass looks at).
        const int CaretLine = LineOf(-1);
        CaretLineStart = std::max(LineStart(CaretLine), 0);
        CaretPos = std::min(SelStart_ + SelLength_, Got - 1);
        const int Length = LineLengthAt(CaretLineStart);
        if (Length > LongLine) {
            const TLineCut Cut = LineCut(CaretLine, CaretLineStart, Length);
            CaretLineStart = std::max(CaretLineStart, Cut.ScanFrom);
            CaretPos = std::min(CaretPos, Cut.ScanTo);
        }
        FetchText(CaretLineStart, CaretPos + 1);
    }

    TScanInput In;
    In.Text = FTextBuf.data();
    In.Rules = FColorRules.get();
    In.HotSpot = FHotSpot.get();
    In.WantTabs = WantTabs;
    In.MemoColor = Color();
    In.FontColor = Font()->Color();
    In.CaretLineStart = CaretLineStart;
    In.CaretPos = CaretPos;
    In.SelStart = SelStart_;
    In.SelLength = SelLength_;
    In.OnDraw = OnDraw;
    In.DrawArray = FDrawArray;
    // The caret line's span goes with the part that holds the caret, else with the first.
    std::size_t CaretPart = 0;
    for (std::size_t i = 0; i < FParts.size(); ++i)
        if (CaretPos >= FParts[i].first && CaretPos < FParts[i].second)
            CaretPart = i;
    FSpans.Reset();
    FLastScanned = 0;
    for (std::size_t i = 0; i < FParts.size(); ++i) {
        auto [From, To] = FParts[i];
        // A cut inside a long line may fall inside a character: the part holds whole ones.
        FetchText(From, To + 1);
        while (From < To &&
               (static_cast<unsigned char>(FTextBuf[static_cast<std::size_t>(From)]) & 0xC0) == 0x80)
            ++From;
        if (To < FTextLength)
            To = std::max(From, CharStartAt(To));
        // The handler of OnDraw sees the scanned text end here; the character is put back after.
        const char Saved = FTextBuf[static_cast<std::size_t>(To)];
        FTextBuf[static_cast<std::size_t>(To)] = 0;
        In.Start = From;
        In.End = To;
        In.RedrawAlways = RedrawAlways && i == CaretPart;
        if (FParts.size() == 1) {
            FindColorRuns(In, FSpans);
        } else {
            FindColorRuns(In, FPartSpans);
            FSpans.AppendRuns(FPartSpans);
        }
        FTextBuf[static_cast<std::size_t>(To)] = Saved;
        FLastScanned += To - From;
    }

    DrawRuns(TextHeight);
    ShowCaret(Wnd);
}

TColorMemo::TLineCut TColorMemo::LineCut(int Line, int Start, int Length)
{
    TLineCut Cut{Start, Start + Length, Start, Start + Length, Start, Start + Length};
    if (LineSpanInView(Line, Cut.ViewFrom, Cut.ViewTo)) {
        Cut.ScanFrom = std::max(Start, Cut.ViewFrom - LookBack);
        Cut.ScanTo = std::min(Start + Length, Cut.ViewTo + LookAhead);
    }
    return Cut;
}

void TColorMemo::CutLongLines(int StartLine, int EndLine, int S, int E)
{
    // Lines are scanned whole, so that spans reaching over the window's edges find their ends.
    // A line far wider than the window is scanned only around the part of it in view, with a
    // look-back along it as KeyMaxHeight looks back over lines: scanning and drawing all of it
    // would cost the pass the line's length, however little of it shows.
    FParts.clear();
    FCuts.clear();
    int PartFrom = S;
    for (int Line = StartLine; Line < EndLine && PartFrom < E; ++Line) {
        const int Start = LineStart(Line);
        if (Start < 0 || Start >= E)
            break;
        const int Length = LineLengthAt(Start);
        if (Length <= LongLine)
            continue;
        const TLineCut Cut = LineCut(Line, Start, Length);
        FCuts.push_back(Cut);
        const int From = Cut.ScanFrom, To = Cut.ScanTo;
        if (From > Start) {
            if (Start > PartFrom)
                FParts.emplace_back(PartFrom, Start);
            PartFrom = From;
        }
        if (To < Start + Length) {
            FParts.emplace_back(PartFrom, std::min(To, E));
            const int Next = LineStart(Line + 1);
            PartFrom = Next < 0 ? E : Next;
        }
    }
    if (PartFrom < E || FParts.empty())
        FParts.emplace_back(std::min(PartFrom, E), E);
}

bool TColorMemo::SingleLine(const TKeyDescr& Run) const
{
    // Without word wrap a run lies on one line unless it holds a line break.
    return !WordWrap() && !std::memchr(FTextBuf.data() + Run.StartPos, '\n',
                                       static_cast<std::size_t>(Run.EndPos - Run.StartPos + 1));
}

void TColorMemo::DrawRuns(int TextHeight)
{
    // Where the runs that lie on one line start (and where the character after a marker does)
    // is asked of the control in one go: asked run by run, each answer would measure its line
    // again from the start.
    const int Count = FSpans.Count();
    FPlaced.clear();
    FMeasure.clear();
    for (int i = 0; i < Count; ++i) {
        const TKeyDescr& Run = FSpans[i];
        if (Run.ZOrder >= zoSelection || !SingleLine(Run))
            continue;
        TPlacedRun P{i, Run.StartPos, Run.EndPos + 1, 0, -1};
        if (!ClipToView(P.From, P.To))
            P.Point = -1; // outside the view of its long line: not drawn
        else {
            P.Point = static_cast<int>(FMeasure.size());
            FMeasure.push_back(P.From);
            if (Run.ZOrder == zoHotSpotMarker) {
                P.Next = static_cast<int>(FMeasure.size());
                FMeasure.push_back(Run.EndPos + 1);
            }
        }
        FPlaced.push_back(P);
    }
    FPoints.resize(FMeasure.size());
    const bool Measured = FMeasure.empty() || CharPositions(FMeasure, FPoints);
    std::size_t Next = 0;
    for (int i = 0; i < Count; ++i) {
        const TKeyDescr& Run = FSpans[i];
        if (Next < FPlaced.size() && FPlaced[Next].Run == i) {
            const TPlacedRun& P = FPlaced[Next++];
            if (P.Point < 0)
                continue;
            if (!Measured) {
                DrawRun(Run, TextHeight);
                continue;
            }
            FCanvas->Font()->SetColor(Run.Color);
            DrawRunOnLine(Run, P.From, P.To, FPoints[static_cast<std::size_t>(P.Point)],
                          P.Next < 0 ? nullptr : &FPoints[static_cast<std::size_t>(P.Next)], TextHeight);
            FCanvas->Font()->SetColor(Color());
        } else {
            DrawRun(Run, TextHeight);
        }
    }
}

const TColorMemo::TLineCut* TColorMemo::CutAt(int Index) const
{
    auto It = std::upper_bound(FCuts.begin(), FCuts.end(), Index,
                               [](int I, const TLineCut& C) { return I < C.LineStart; });
    if (It == FCuts.begin())
        return nullptr;
    --It;
    return Index <= It->LineEnd ? &*It : nullptr;
}

int TColorMemo::CharStartAt(int Index) const
{
    while (Index > 0 &&
           (static_cast<unsigned char>(FTextBuf[static_cast<std::size_t>(Index)]) & 0xC0) == 0x80)
        --Index;
    return Index;
}

bool TColorMemo::ClipToView(int& From, int& To) const
{
    const TLineCut* Cut = CutAt(From);
    if (!Cut)
        return true;
    // A few characters on either side, for glyphs that reach into the window from outside.
    const int ViewFrom = std::max(Cut->LineStart, Cut->ViewFrom - DrawMargin);
    const int ViewTo = std::min(Cut->LineEnd, Cut->ViewTo + DrawMargin);
    if (To <= ViewFrom || From >= ViewTo)
        return false;
    // A short run is drawn whole (a keyword's handler gets the whole keyword); a long one only
    // where it can show.
    if (To - From > DrawMargin) {
        if (From < ViewFrom)
            From = CharStartAt(ViewFrom);
        if (To > ViewTo)
            To = CharStartAt(ViewTo);
    }
    return From < To;
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
    const UINT Flags = static_cast<UINT>(FCanvas->TextFlags);
    // On a line holding right-to-left text the control shows the text in reading order: each
    // piece that reads one way is drawn where the control put it, in its direction.
    if (TextPieces(Index, EndIndex, FPieces)) {
        for (const TEditTextPiece& P : FPieces)
            ExtTextOut(FCanvas->Handle(), P.At.x, P.At.y, P.RightToLeft ? Flags | ETO_RTLREADING : Flags,
                       nullptr, FDrawBuf.data() + (P.From - Index), static_cast<UINT>(P.To - P.From),
                       nullptr);
        return;
    }
    ExtTextOut(FCanvas->Handle(), X, Y, Flags, nullptr, FDrawBuf.data(), static_cast<UINT>(N), nullptr);
}

void TColorMemo::DrawRunOnLine(const TKeyDescr& Run, int From, int To, TPoint At, const TPoint* NextAt,
                               int TextHeight)
{
    TCanvas* C = FCanvas.get();
    const int X = At.x, Y = At.y;
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
        if (NextAt && NextAt->y == Y && NextAt->x > X)
            C->FillRect(Rect(X, Y, NextAt->x, Y + TextHeight));
        DrawText(From, To, X, Y);
        C->Brush()->SetColor(Color());
    } else if (Run.ZOrder == zoHotSpotText) {
        const TFontStyles Style = C->Font()->Style();
        if (FHotSpot->Underlined)
            C->Font()->SetStyle(Style + fsUnderline);
        DrawText(From, To, X, Y);
        C->Font()->SetStyle(Style);
    } else {
        int End = To;
        if (End == Run.EndPos + 1) {
            if (End - Run.StartPos > 1 && FTextBuf[End - 2] == '\r' && FTextBuf[End - 1] == '\n')
                End -= 2;
            // A line break alone has nothing to show.
            while (End > From && (FTextBuf[End - 1] == '\r' || FTextBuf[End - 1] == '\n'))
                --End;
        }
        DrawText(From, End, X, Y);
    }
}

void TColorMemo::DrawRun(const TKeyDescr& Run, int TextHeight)
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
        int X = 0, Y = 0;
        // Text [From, To) of one line, at its own place (on a long line, the part in view).
        auto DrawPiece = [&](int From, int To) {
            if (ClipToView(From, To) && ClientPos(From, X, Y))
                DrawText(From, To, X, Y);
        };
        if (LastLine > FirstLine) {
            const int Start = LineStart(FirstLine);
            DrawPiece(Run.StartPos, Start + LineLengthAt(Start));
            // The lines in between, those inside the window.
            const int Bottom = ClientHeight();
            for (int Line = FirstLine + 1; Line < LastLine; ++Line) {
                const int Start = LineStart(Line);
                if (!ClientPos(Start, X, Y) || Y < 0)
                    continue;
                if (Y >= Bottom)
                    break;
                DrawPiece(Start, Start + LineLengthAt(Start));
            }
            DrawPiece(LineStart(LastLine), Run.EndPos + 1);
        } else {
            int From = Run.StartPos, To = Run.EndPos + 1;
            if (ClipToView(From, To) && ClientPos(From, X, Y)) {
                TPoint Next;
                const bool HasNext =
                    Run.ZOrder == zoHotSpotMarker && ClientPos(Run.EndPos + 1, Next.x, Next.y);
                DrawRunOnLine(Run, From, To, Point(X, Y), HasNext ? &Next : nullptr, TextHeight);
            }
        }
    }
    C->Font()->SetColor(Color());
}

bool TColorMemo::CharAtPoint(int X, int Y, int& Index, int& Line)
{
    return HandleAllocated() && CharFromPos(X, Y, Index, Line);
}

bool TColorMemo::HotSpotAtPoint(int X, int Y, std::string* Text)
{
    int Index, Line;
    if (!CharAtPoint(X, Y, Index, Line))
        return false;
    int Start = LineStart(Line);
    if (Start < 0)
        return false;
    int End = Start + LineLengthAt(Start);
    // A hot spot is a few words: on a long line only the text near the pointer is looked at.
    if (End - Start > LongLine) {
        Start = std::max(Start, Index - LookBack);
        End = std::min(End, Index + LookAhead);
    }
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
