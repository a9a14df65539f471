#include "html-engine/HtmlModel.h"

#include "html-engine/GifImages.h"
#include "html-engine/HtmlForms.h"
#include "html-engine/HtmlImages.h"
#include "html-engine/HtmlViewCtl.h"
#include "platform/controls/Dialogs.h"
#include "platform/graphics/WinGdi.h"
#include "platform/win/WinUser.h"

#include <algorithm>
#include <climits>
#include <map>
#include <unordered_map>

namespace {

TProcessErrorHandler& ErrorHandler()
{
    static TProcessErrorHandler Handler;
    return Handler;
}

// The screen information context that font metrics are read on.
HDC MeasureDC()
{
    static HDC DC = CreateCompatibleDC(nullptr);
    return DC;
}

int BaseSizeOf(TSectionList* Document)
{
    return Document ? Document->FontSizeBase : 12;
}

} // namespace

void SetProcessErrorHandler(TProcessErrorHandler Handler)
{
    ErrorHandler() = std::move(Handler);
}

void ShowProcessError(const std::string& Message)
{
    if (ErrorHandler())
        ErrorHandler()(Message);
    else
        MessageDlg(Message, mtError, TMsgDlgButtons{mbOK}, 0);
}

int SatInt(std::int64_t Value)
{
    if (Value > INT_MAX)
        return INT_MAX;
    if (Value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(Value);
}

bool IsLightBackground(TColor Color)
{
    if ((Color & 0xFFFFFF) == 0xFFFFFF && Color >= 0)
        return true;
    return Color == clWindow && (GetSysColor(COLOR_WINDOW) & 0xFFFFFF) == 0xFFFFFF;
}

// ---------------------------------------------------------------------------------------------
// Fonts

void TMyFont::Assign(TPersistent* Source)
{
    if (auto* Src = dynamic_cast<TMyFont*>(Source)) {
        NormalSize = Src->NormalSize;
        Fixed = Src->Fixed;
    }
    TFont::Assign(Source);
}

void TMyFont::SetNormalSize(TSectionList* Document, int Size)
{
    NormalSize = Size;
    SetSize(MulDiv(BaseSizeOf(Document), Size, 12));
}

void TMyFont::UpdateFont(TSectionList* Document, TColor Color)
{
    if (Document)
        SetName(Fixed ? Document->PreFontName : Document->FontName);
    SetSize(MulDiv(BaseSizeOf(Document), NormalSize, 12));
    SetColor(Color | clPaletteRelative);
}

namespace {

struct TRunMetrics {
    int tmHeight, FontHeight, Overhang, Descent;
};

// Metrics depend only on the logical font, and asking the device for them is slow; fonts that
// differ only in colour share them.
TRunMetrics MeasureFont(TMyFont& Font)
{
    static std::unordered_map<std::string, TRunMetrics> Cache;
    // The name, then the other attributes as raw bytes.
    const std::int64_t Attributes[] = {Font.Height(), static_cast<std::int64_t>(Font.Style().Bits()),
                                       static_cast<std::int64_t>(Font.Pitch()),
                                       static_cast<std::int64_t>(Font.Charset())};
    std::string Key;
    Key.reserve(Font.Name().size() + 1 + sizeof Attributes);
    Key = Font.Name();
    Key += '\0';
    Key.append(reinterpret_cast<const char*>(Attributes), sizeof Attributes);
    auto It = Cache.find(Key);
    if (It == Cache.end()) {
        HDC DC = MeasureDC();
        HGDIOBJ Old = SelectObject(DC, Font.Handle());
        TEXTMETRIC TM;
        GetTextMetrics(DC, &TM);
        SelectObject(DC, Old);
        It = Cache
                 .emplace(std::move(Key), TRunMetrics{TM.tmHeight, TM.tmHeight + TM.tmExternalLeading,
                                                      TM.tmOverhang, TM.tmDescent})
                 .first;
    }
    return It->second;
}

void HashIn(std::size_t& H, std::size_t V)
{
    H ^= V + 0x9E3779B97F4A7C15ull + (H << 6) + (H >> 2);
}

// Font with Style in place of its own style.
std::size_t HashFont(const TMyFont& Font, TFontStyles Style)
{
    std::size_t H = std::hash<std::string>()(Font.Name());
    for (const std::int64_t V :
         {std::int64_t(Font.Height()), std::int64_t(Style.Bits()), std::int64_t(Font.Color()),
          std::int64_t(Font.Pitch()), std::int64_t(Font.Charset()), std::int64_t(Font.NormalSize),
          std::int64_t(Font.Fixed)})
        HashIn(H, std::hash<std::int64_t>()(V));
    return H;
}

bool SameFont(const TMyFont& A, const TMyFont& Font, TFontStyles Style)
{
    return A.Height() == Font.Height() && A.Style() == Style && A.Color() == Font.Color() &&
           A.NormalSize == Font.NormalSize && A.Fixed == Font.Fixed && A.Pitch() == Font.Pitch() &&
           A.Charset() == Font.Charset() && A.Name() == Font.Name();
}

// What the blocks of every document share. Made once and kept to the end of the program, so that
// blocks freed late in the shut-down still find it.
struct TSharedPool {
    std::unordered_multimap<std::size_t, TSharedFont*> Fonts;
    TSharedFont* LastFont = nullptr; // most blocks take the font the one before took
    std::unordered_multimap<std::size_t, TFontList::TRuns*> RunLists;
    TFontList::TRuns* LastRuns = nullptr;
    // The last font refreshed for a document: a refresh visits every block, and neighbours
    // mostly share their fonts.
    struct {
        TFontRef Source, Result;
        TColor Color = 0;
        int Base = 0;
        bool HasName = false;
        std::string Name;
    } LastUpdate;
};

TSharedPool& Pool()
{
    static TSharedPool* P = new TSharedPool;
    return *P;
}

template <class T> void Forget(std::unordered_multimap<std::size_t, T*>& Map, std::size_t Hash, T* Item)
{
    auto [It, End] = Map.equal_range(Hash);
    for (; It != End; ++It)
        if (It->second == Item) {
            Map.erase(It);
            return;
        }
}

const TMyFont& DefaultFont()
{
    static const TMyFont* F = new TMyFont;
    return *F;
}

} // namespace

TSharedFont::TSharedFont(const TMyFont& AFont, std::size_t AHash) : FHash(AHash)
{
    FFont.Assign(const_cast<TMyFont*>(&AFont));
    const TRunMetrics M = MeasureFont(FFont);
    FFontHeight = M.FontHeight;
    FtmHeight = M.tmHeight;
    FOverhang = M.Overhang;
    FDescent = M.Descent;
}

TFontRef::TFontRef(const TMyFont& Font, TFontStyles Extra)
{
    const TFontStyles Style = Font.Style() + Extra;
    TSharedPool& P = Pool();
    if (P.LastFont && SameFont(P.LastFont->FFont, Font, Style)) {
        FFont = P.LastFont;
    } else {
        const std::size_t H = HashFont(Font, Style);
        auto [It, End] = P.Fonts.equal_range(H);
        for (; It != End && !FFont; ++It)
            if (SameFont(It->second->FFont, Font, Style))
                FFont = It->second;
        if (!FFont) {
            TMyFont F;
            F.Assign(const_cast<TMyFont*>(&Font));
            F.SetStyle(Style);
            FFont = new TSharedFont(F, H);
            P.Fonts.emplace(H, FFont);
        }
        P.LastFont = FFont;
    }
    Use();
}

void TFontRef::Release()
{
    if (!FFont || --FFont->FUsers > 0)
        return;
    TSharedPool& P = Pool();
    Forget(P.Fonts, FFont->FHash, FFont);
    if (P.LastFont == FFont)
        P.LastFont = nullptr;
    delete FFont;
    FFont = nullptr;
}

TFontRef TFontRef::Updated(TSectionList* Document, TColor Color) const
{
    if (!FFont)
        return TFontRef();
    const std::string* Name = nullptr;
    if (Document)
        Name = FFont->FFont.Fixed ? &Document->PreFontName : &Document->FontName;
    const int Base = BaseSizeOf(Document);
    auto& Last = Pool().LastUpdate;
    if (Last.Source == *this && Last.Color == Color && Last.Base == Base &&
        Last.HasName == (Name != nullptr) && (!Name || Last.Name == *Name))
        return Last.Result;
    TMyFont F;
    F.Assign(const_cast<TMyFont*>(&FFont->FFont));
    F.UpdateFont(Document, Color);
    TFontRef Result(F);
    Last.Source = *this;
    Last.Result = Result;
    Last.Color = Color;
    Last.Base = Base;
    Last.HasName = Name != nullptr;
    Last.Name = Name ? *Name : std::string();
    return Result;
}

void SelectFont(TCanvas* Canvas, const TMyFont& Font)
{
    // Assign only reads its source.
    Canvas->Font()->Assign(const_cast<TMyFont*>(&Font));
}

namespace {

TFontRef UsableFont(TFontRef Font)
{
    return Font ? std::move(Font) : TFontRef(DefaultFont());
}

TUrlTarget LinkOf(const TUrlTarget* Link)
{
    TUrlTarget T;
    if (Link)
        T.Copy(*Link);
    return T;
}

} // namespace

TFontObj::TFontObj(TFontRef Font, int APos, const TUrlTarget* Link, std::uint8_t AScript)
    : Pos(APos), SScript(AScript), TheFont(UsableFont(std::move(Font))),
      FontHeight(TheFont.Shared().FontHeight()), tmHeight(TheFont.Shared().tmHeight()),
      Overhang(TheFont.Shared().Overhang()), Descent(TheFont.Shared().Descent()), UrlTarget(LinkOf(Link))
{
}

bool TFontObj::operator==(const TFontObj& Other) const
{
    return Pos == Other.Pos && SScript == Other.SScript && TheFont == Other.TheFont &&
           UrlTarget.URL == Other.UrlTarget.URL && UrlTarget.Target == Other.UrlTarget.Target;
}

// The runs behind one or more lists. A shared one (in the pool) holds one run.
struct TFontList::TRuns {
    int Users = 1;
    bool Shared = false;
    std::size_t Hash = 0;
    TFontRef Bullet;
    std::vector<TFontObj> Runs;
};

namespace {

std::size_t HashRuns(const TFontObj& Run, const TFontRef& Bullet)
{
    std::size_t H = std::hash<const void*>()(Run.TheFont.get());
    HashIn(H, std::hash<const void*>()(Bullet.get()));
    HashIn(H, std::hash<int>()(Run.Pos * 4 + Run.SScript));
    HashIn(H, std::hash<std::string>()(Run.UrlTarget.URL));
    HashIn(H, std::hash<std::string>()(Run.UrlTarget.Target));
    return H;
}

bool SameRuns(const TFontList::TRuns& R, const TFontObj& Run, const TFontRef& Bullet)
{
    return R.Runs.size() == 1 && R.Bullet == Bullet && R.Runs[0] == Run;
}

void ReleaseRuns(TFontList::TRuns* R)
{
    if (!R || --R->Users > 0)
        return;
    if (R->Shared) {
        TSharedPool& P = Pool();
        Forget(P.RunLists, R->Hash, R);
        if (P.LastRuns == R)
            P.LastRuns = nullptr;
    }
    delete R;
}

} // namespace

TFontList::TFontList(const TFontList& Source) : FRuns(Source.FRuns)
{
    if (FRuns)
        ++FRuns->Users;
}

TFontList& TFontList::operator=(const TFontList& Source)
{
    if (Source.FRuns)
        ++Source.FRuns->Users;
    ReleaseRuns(FRuns);
    FRuns = Source.FRuns;
    return *this;
}

TFontList::~TFontList()
{
    ReleaseRuns(FRuns);
}

int TFontList::Count() const
{
    return FRuns ? static_cast<int>(FRuns->Runs.size()) : 0;
}

TFontObj* TFontList::Run(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError(Format("List index out of bounds (%d)", {Index}));
    // Callers get read-only runs (their fields are const); the pointer type is the one the
    // measuring and painting code passes around.
    return const_cast<TFontObj*>(&FRuns->Runs[static_cast<std::size_t>(Index)]);
}

TFontList::TRuns* TFontList::Own()
{
    if (!FRuns) {
        FRuns = new TRuns;
    } else if (FRuns->Users > 1) {
        auto* Copy = new TRuns{1, false, 0, FRuns->Bullet, FRuns->Runs};
        ReleaseRuns(FRuns);
        FRuns = Copy;
    } else if (FRuns->Shared) {
        TSharedPool& P = Pool();
        Forget(P.RunLists, FRuns->Hash, FRuns);
        if (P.LastRuns == FRuns)
            P.LastRuns = nullptr;
        FRuns->Shared = false;
    }
    return FRuns;
}

void TFontList::Add(const TFontObj& Run)
{
    Own()->Runs.push_back(Run);
}

void TFontList::SetRun(int Index, const TFontObj& Run)
{
    if (Index < 0 || Index >= Count())
        throw EListError(Format("List index out of bounds (%d)", {Index}));
    // Runs are not assignable: the last one is made again, any other by making the list again.
    std::vector<TFontObj>& Runs = Own()->Runs;
    if (static_cast<std::size_t>(Index) + 1 == Runs.size()) {
        Runs.pop_back();
        Runs.push_back(Run);
        return;
    }
    std::vector<TFontObj> New;
    New.reserve(Runs.size());
    for (std::size_t I = 0; I < Runs.size(); ++I)
        New.push_back(I == static_cast<std::size_t>(Index) ? Run : Runs[I]);
    Runs.swap(New);
}

const TMyFont& TFontList::BulletFont() const
{
    return FRuns && FRuns->Bullet ? *FRuns->Bullet : DefaultFont();
}

void TFontList::SetBulletFont(const TFontRef& Font)
{
    if (FRuns && FRuns->Bullet == Font)
        return;
    Own()->Bullet = Font;
}

namespace {

// The shared list of Run and Bullet, or null; Hash is set when the pool was searched.
TFontList::TRuns* FindShared(const TFontObj& Run, const TFontRef& Bullet, std::size_t& Hash, bool& Hashed)
{
    TSharedPool& P = Pool();
    Hashed = false;
    if (P.LastRuns && SameRuns(*P.LastRuns, Run, Bullet))
        return P.LastRuns;
    Hash = HashRuns(Run, Bullet);
    Hashed = true;
    auto [It, End] = P.RunLists.equal_range(Hash);
    for (; It != End; ++It)
        if (SameRuns(*It->second, Run, Bullet)) {
            P.LastRuns = It->second;
            return It->second;
        }
    return nullptr;
}

} // namespace

void TFontList::Assign(const TFontObj& Run, const TFontRef& Bullet)
{
    std::size_t H = 0;
    bool Hashed = false;
    TRuns* Found = FindShared(Run, Bullet, H, Hashed);
    if (!Found) {
        Found = new TRuns;
        Found->Users = 0;
        Found->Bullet = Bullet;
        Found->Runs.push_back(Run);
        Found->Shared = true;
        Found->Hash = Hashed ? H : HashRuns(Run, Bullet);
        Pool().RunLists.emplace(Found->Hash, Found);
        Pool().LastRuns = Found;
    }
    ++Found->Users;
    ReleaseRuns(FRuns);
    FRuns = Found;
}

void TFontList::Share()
{
    if (!FRuns || FRuns->Shared || FRuns->Runs.size() != 1)
        return;
    std::size_t H = 0;
    bool Hashed = false;
    if (TRuns* Found = FindShared(FRuns->Runs[0], FRuns->Bullet, H, Hashed)) {
        ++Found->Users;
        ReleaseRuns(FRuns);
        FRuns = Found;
        return;
    }
    // Whoever else holds these runs copies them before a change, as with any shared ones.
    FRuns->Shared = true;
    FRuns->Hash = Hashed ? H : HashRuns(FRuns->Runs[0], FRuns->Bullet);
    Pool().RunLists.emplace(FRuns->Hash, FRuns);
    Pool().LastRuns = FRuns;
}

void TFontList::UpdateFonts(TSectionList* Document)
{
    if (!FRuns)
        return;
    const TColor FontColor = Document ? Document->FontColor : clBlack;
    const TColor LinkColor = Document ? Document->HotSpotColor : clBlack;
    std::vector<TFontRef> Fonts;
    Fonts.reserve(FRuns->Runs.size());
    bool Changed = false;
    for (const TFontObj& R : FRuns->Runs) {
        Fonts.push_back(R.TheFont.Updated(Document, R.UrlTarget.URL.empty() ? FontColor : LinkColor));
        Changed = Changed || !(Fonts.back() == R.TheFont);
    }
    const TFontRef Bullet = FRuns->Bullet.Updated(Document, FontColor);
    if (!Changed && Bullet == FRuns->Bullet)
        return;
    auto* New = new TRuns;
    New->Bullet = Bullet;
    New->Runs.reserve(FRuns->Runs.size());
    for (std::size_t I = 0; I < FRuns->Runs.size(); ++I) {
        const TFontObj& R = FRuns->Runs[I];
        New->Runs.emplace_back(Fonts[I], R.Pos, &R.UrlTarget, R.SScript);
    }
    ReleaseRuns(FRuns);
    FRuns = New;
    Share();
}

namespace {

// The index of the first run after the one holding Pos (Count() when none): runs start at
// increasing positions, so a paragraph with many links is searched by halving.
int NextRunIndex(const TFontList& Runs, int Pos)
{
    int Lo = 1, Hi = Runs.Count();
    while (Lo < Hi) {
        const int Mid = Lo + (Hi - Lo) / 2;
        if (Runs.Run(Mid)->Pos > Pos)
            Hi = Mid;
        else
            Lo = Mid + 1;
    }
    return Lo;
}

} // namespace

TFontObj* TFontList::GetFontObjAt(int Pos, int& Index) const
{
    Index = 0;
    if (Count() == 0)
        return nullptr;
    Index = NextRunIndex(*this, Pos) - 1;
    return Run(Index);
}

const TMyFont* TFontList::GetFontAt(int Pos, int& OHang) const
{
    TFontObj* F = GetFontObjAt(Pos);
    OHang = F ? F->Overhang : 0;
    return F ? F->TheFont.get() : nullptr;
}

int TFontList::GetFontCountAt(int Pos, int Len) const
{
    if (Count() > 0 && Run(0)->Pos > Pos)
        return Run(0)->Pos - Pos;
    const int Next = Count() > 0 ? NextRunIndex(*this, Pos) : 0;
    return Next < Count() ? Run(Next)->Pos - Pos : Len - Pos;
}

// ---------------------------------------------------------------------------------------------
// Block base

TSectionBase::TSectionBase(TSectionList* AMasterList, const TSectionBase& Source)
    : TObject(), ParentSectionList(AMasterList), SectionHeight(Source.SectionHeight)
{
}

TSectionBase* TSectionBase::Duplicate(TSectionList* MasterList) const
{
    return new TSectionBase(MasterList, *this);
}

void TSectionBase::CopyToClipboard() {}

int TSectionBase::DrawLogic(TCanvas* Canvas, int Y, int& Curs, int& MaxWidth, IndentManager* IMgr)
{
    (void)Canvas;
    (void)Y;
    StartCurs = Curs;
    DrawHeight = SectionHeight;
    MaxWidth = IMgr->Width;
    return SectionHeight;
}

int TSectionBase::Draw(TCanvas* Canvas, const TRect& ARect, int Y, int X, IndentManager* IMgr)
{
    (void)Canvas;
    (void)ARect;
    (void)X;
    (void)IMgr;
    StartY = Y;
    return SatAdd(Y, SectionHeight);
}

bool TSectionBase::GetURL(TCanvas*, int, int, TFormControlObj*&, TUrlTarget&)
{
    return false;
}

int TSectionBase::FindCursor(TCanvas*, int, int, TCell*&, int&, int&, int&)
{
    return -1;
}

int TSectionBase::FindString(int, const std::string&, bool)
{
    return -1;
}

bool TSectionBase::CursorToXY(TCanvas*, int, int&, int&)
{
    return false;
}

bool TSectionBase::GetChAtPos(int, char&, TObject*&)
{
    return false;
}

void TSectionBase::UpdateFonts()
{
    UpdateSpacing();
}

void TSectionBase::UpdateSpacing() {}

void TSectionBase::MinMaxWidth(TCanvas*, int& Min, int& Max)
{
    Min = 0;
    Max = 0;
}

bool TSectionBase::HoldsObject(const TObject* Obj) const
{
    return Obj == this;
}

// ---------------------------------------------------------------------------------------------
// Indent manager

void IndentManager::Clear()
{
    L.Clear();
    R.Clear();
    FLeft = TSide{};
    FRight = TSide{};
    FOpen.clear();
    FFloor = INT_MIN;
}

void IndentManager::Reset(int Lf, int Rt)
{
    LfEdge = Lf;
    RtEdge = Rt;
    CurrentLevel = 0;
}

void IndentManager::NoteFloat(TSide& Summary, int YB)
{
    Summary.AnyFloat = true;
    Summary.FloatBottom = std::max(Summary.FloatBottom, YB);
}

void IndentManager::AddRec(TFreeList& Side, TSide& Summary, int AX, int AYT, int AYB, int ALev)
{
    auto* IR = new IndentRec;
    IR->X = AX;
    IR->YT = AYT;
    IR->YB = AYB;
    IR->Lev = ALev;
    Side.Add(IR);
    Summary.Live.push_back(IR);
    if (ALev == 0)
        NoteFloat(Summary, AYB);
    else
        FOpen.push_back(IR);
}

void IndentManager::SetFloor(int Y)
{
    if (Y <= FFloor)
        return;
    FFloor = Y;
    for (TSide* S : {&FLeft, &FRight})
        std::erase_if(S->Live, [Y](const IndentRec* IR) { return IR->YB < Y; });
}

namespace {

// Visits the records of a side: the live ones when the manager gives them, else all.
template <class F> void ForEachRec(const TFreeList& All, const std::vector<IndentRec*>* Live, F Fn)
{
    if (Live)
        for (const IndentRec* IR : *Live)
            Fn(IR);
    else
        for (int I = 0; I < All.Count(); ++I)
            Fn(All.ItemAs<IndentRec>(I));
}

} // namespace

int IndentManager::LeftIndent(int Y) const
{
    int X = 0;
    ForEachRec(L, LiveFor(FLeft, Y), [&](const IndentRec* IR) {
        if (Y >= IR->YT && Y < IR->YB)
            X = std::max(X, IR->X);
    });
    return SatAdd(LfEdge, X);
}

int IndentManager::RightSide(int Y) const
{
    int X = 0;
    ForEachRec(R, LiveFor(FRight, Y), [&](const IndentRec* IR) {
        if (Y >= IR->YT && Y < IR->YB)
            X = std::min(X, IR->X);
    });
    return SatAdd(RtEdge, X);
}

void IndentManager::Update(int Y, TImageObj* Image)
{
    if (!Image || !Image->Floating())
        return;
    const std::int64_t W = static_cast<std::int64_t>(Image->ImageWidth) + Image->HSpace;
    const int YB = SatAdd(Y, Image->ImageHeight);
    if (Image->ImageAlign == 3) {
        Image->Indent = LeftIndent(Y) - LfEdge;
        AddRec(L, FLeft, SatAdd(Image->Indent, W), Y, YB, 0);
    } else {
        const int RS = RightSide(Y);
        Image->Indent = SatAdd(RS, -static_cast<std::int64_t>(Image->ImageWidth));
        AddRec(R, FRight, SatInt(static_cast<std::int64_t>(RS) - RtEdge - W), Y, YB, 0);
    }
}

void IndentManager::UpdateTable(int Y, int AWidth, int Justify, int Height)
{
    const int YB = SatAdd(Y, Height);
    if (Justify == 1)
        AddRec(L, FLeft, SatInt(static_cast<std::int64_t>(LeftIndent(Y)) + AWidth - LfEdge), Y, YB, 0);
    else if (Justify == 3)
        AddRec(R, FRight, SatInt(static_cast<std::int64_t>(RightSide(Y)) - RtEdge - AWidth), Y, YB, 0);
}

int IndentManager::ImageBottom() const
{
    int B = 0;
    if (FLeft.AnyFloat)
        B = std::max(B, FLeft.FloatBottom);
    if (FRight.AnyFloat)
        B = std::max(B, FRight.FloatBottom);
    return B;
}

void IndentManager::GetClearY(int& CL, int& CR) const
{
    CL = FLeft.AnyFloat ? SatAdd(FLeft.FloatBottom, 1) : 0;
    CR = FRight.AnyFloat ? SatAdd(FRight.FloatBottom, 1) : 0;
}

int IndentManager::GetLevelClear(int FromY) const
{
    // The X of the last record of the current level; above level 0 only open levels qualify.
    int LevelX = 0;
    if (CurrentLevel > 0) {
        for (const IndentRec* IR : FOpen)
            if (IR->Lev == CurrentLevel)
                LevelX = IR->X;
    } else {
        for (int I = L.Count() - 1; I >= 0; --I)
            if (LeftRec(I)->Lev == 0) {
                LevelX = LeftRec(I)->X;
                break;
            }
    }
    bool Any = false;
    int B = INT_MIN;
    ForEachRec(L, LiveFor(FLeft, FromY), [&](const IndentRec* IR) {
        if (IR->X > LevelX && IR->YB >= FromY) {
            Any = true;
            B = std::max(B, IR->YB);
        }
    });
    return Any ? SatAdd(B, 1) : 1;
}

void IndentManager::SetLevel(int Y, int Level)
{
    if (Level > CurrentLevel) {
        for (int C = CurrentLevel + 1; C <= Level; ++C)
            AddRec(L, FLeft, SatAdd(LeftIndent(Y) - LfEdge, 35), Y, 9999999, C);
    } else if (Level < CurrentLevel) {
        std::erase_if(FOpen, [&](IndentRec* IR) {
            if (IR->Lev <= Level)
                return false;
            IR->Lev = 0;
            IR->YB = Y - 1;
            NoteFloat(FLeft, IR->YB);
            // A level left open past the floor (a document taller than its bottom) was let go.
            if (IR->YB >= FFloor && std::find(FLeft.Live.begin(), FLeft.Live.end(), IR) == FLeft.Live.end())
                FLeft.Live.push_back(IR);
            return true;
        });
    }
    CurrentLevel = Level;
}

// ---------------------------------------------------------------------------------------------
// Cell

TCell::TCell(TSectionList* AMasterList) : MasterList(AMasterList), IMgr(std::make_unique<IndentManager>()) {}

TCell::TCell(TSectionList* AMasterList, const TCell& Source)
    : TFreeList(), MasterList(AMasterList), FontSizeBase(Source.FontSizeBase),
      IMgr(std::make_unique<IndentManager>()), BkGnd(Source.BkGnd), BkColor(Source.BkColor)
{
    for (int I = 0; I < Source.Count(); ++I)
        TFreeList::Add(Source.Block(I)->Duplicate(AMasterList));
}

TCell::~TCell()
{
    IMgr.reset();
    Clear();
}

void TCell::Add(TSectionBase* Block)
{
    if (!Block)
        return;
    TFreeList::Add(Block);
    Block->ParentSectionList = MasterList;
    Block->AddedToCell();
    Block->UpdateSpacing();
}

int TCell::DoLogic(TCanvas* Canvas, int Y, int& Curs, int& MaxWidth, int AWidth)
{
    IMgr->Clear();
    IMgr->Reset(0, AWidth);
    IMgr->Width = AWidth;
    StartY = Y;
    StartCurs = Curs;
    int H = 0;
    MaxWidth = 0;
    int I = 0;
    while (I < Count()) {
        TSectionBase* B = Block(I);
        IMgr->SetFloor(SatAdd(Y, H));
        try {
            int W = 0;
            H = SatAdd(H, B->DrawLogic(Canvas, SatAdd(Y, H), Curs, W, IMgr.get()));
            MaxWidth = std::max(MaxWidth, W);
            ++I;
        } catch (const EProcessError& E) {
            DropFailedBlock(I, E);
        }
    }
    Len = Curs - StartCurs;
    return std::max(H, IMgr->ImageBottom() - StartY);
}

int TCell::Draw(TCanvas* Canvas, const TRect& ARect, int Y, int X, int AWidth)
{
    // The records of the layout stay: they are relative to the edges, which move to X.
    IMgr->Reset(X, SatAdd(X, IMgr->Width));
    IMgr->ClipWidth = AWidth;
    for (int I = 0; I < Count(); ++I)
        Y = Block(I)->Draw(Canvas, ARect, Y, X, IMgr.get());
    return Y;
}

void TCell::DropFailedBlock(int Index, const EProcessError& E)
{
    ShowProcessError(E.Message());
    // Everything that points into the block goes before the block itself.
    if (MasterList)
        MasterList->ForgetBlock(Block(Index));
    Delete(Index);
}

void TCell::MinMaxWidth(TCanvas* Canvas, int& Min, int& Max)
{
    Min = 0;
    Max = 0;
    int I = 0;
    while (I < Count()) {
        int Mn = 0, Mx = 0;
        // A table inside a table cell fails here, before its own layout: only it goes.
        try {
            Block(I)->MinMaxWidth(Canvas, Mn, Mx);
        } catch (const EProcessError& E) {
            DropFailedBlock(I, E);
            continue;
        }
        Min = std::max(Min, Mn);
        Max = std::max(Max, Mx);
        ++I;
    }
}

void TCell::UpdateFonts()
{
    for (int I = 0; I < Count(); ++I)
        Block(I)->UpdateFonts();
}

TSectionBase* TCell::FindSectionAtPosition(int Y, int& Top, int& Index) const
{
    int T = 0;
    for (int I = 0; I < Count(); ++I) {
        const int H = Block(I)->SectionHeight;
        if (Y >= T && Y < SatAdd(T, H)) {
            Top = T;
            Index = I;
            return Block(I);
        }
        T = SatAdd(T, H);
    }
    return nullptr;
}

bool TCell::GetURL(TCanvas* Canvas, int X, int Y, TFormControlObj*& FormControl, TUrlTarget& UrlTarget)
{
    int Top = 0;
    for (int I = 0; I < Count(); ++I) {
        TSectionBase* B = Block(I);
        if (Y >= Top && Y < SatAdd(Top, B->DrawHeight) &&
            B->GetURL(Canvas, X, Y - Top, FormControl, UrlTarget))
            return true;
        Top = SatAdd(Top, B->SectionHeight);
    }
    return false;
}

int TCell::FindCursor(TCanvas* Canvas, int X, int Y, TCell*& Cell, int& LineHeight, int& Top, int& CaretX)
{
    int BlockTop = 0, Index = 0;
    TSectionBase* B = FindSectionAtPosition(Y, BlockTop, Index);
    if (!B)
        return -1;
    const int Result = B->FindCursor(Canvas, X, Y - BlockTop, Cell, LineHeight, Top, CaretX);
    Top = SatAdd(Top, BlockTop);
    if (Result >= 0 && !Cell)
        Cell = this;
    return Result;
}

int TCell::FindString(int From, const std::string& ToFind, bool MatchCase)
{
    for (int I = 0; I < Count(); ++I) {
        const int R = Block(I)->FindString(From, ToFind, MatchCase);
        if (R >= 0)
            return R;
    }
    return -1;
}

bool TCell::CursorToXY(TCanvas* Canvas, int Cursor, int& X, int& Y)
{
    for (int I = 0; I < Count(); ++I)
        if (Block(I)->CursorToXY(Canvas, Cursor, X, Y))
            return true;
    return false;
}

bool TCell::GetChAtPos(int Pos, char& Ch, TObject*& Obj)
{
    if (Pos < StartCurs || Pos > StartCurs + Len)
        return false;
    for (int I = 0; I < Count(); ++I)
        if (Block(I)->GetChAtPos(Pos, Ch, Obj))
            return true;
    return false;
}

void TCell::CopyToClipboard()
{
    if (!MasterList || MasterList->SelB >= MasterList->SelE)
        return;
    for (int I = 0; I < Count(); ++I) {
        TSectionBase* B = Block(I);
        if (B->StartCurs + B->Len <= MasterList->SelB)
            continue;
        if (B->StartCurs >= MasterList->SelE)
            break;
        B->CopyToClipboard();
    }
}

bool TCell::HoldsObject(const TObject* Obj) const
{
    for (int I = 0; I < Count(); ++I)
        if (Block(I)->HoldsObject(Obj))
            return true;
    return false;
}

// ---------------------------------------------------------------------------------------------
// Document

namespace {

std::map<std::uintptr_t, TSectionList*>& TimerOwners()
{
    static std::map<std::uintptr_t, TSectionList*> Owners;
    return Owners;
}

void AnimationTick(HWND, UINT, std::uintptr_t Id, DWORD)
{
    auto It = TimerOwners().find(Id);
    if (It != TimerOwners().end())
        It->second->AnimateGifs();
}

} // namespace

int TGIFList::Add(TGIFImage* Image)
{
    return TList::Add(static_cast<TObject*>(Image));
}

TGIFImage* TGIFList::Image(int Index) const
{
    return static_cast<TGIFImage*>(static_cast<TObject*>(Items(Index)));
}

TSectionList::TSectionList(TObject* Owner, TObject* PaintPanel)
    : TCell(nullptr), TheOwner(Owner), PPanel(PaintPanel)
{
    MasterList = this;
}

TSectionList::~TSectionList()
{
    SetTimerEnabled(false);
    Clear();
}

void TSectionList::SetTimerEnabled(bool Value)
{
    if (Value == TimerEnabled())
        return;
    if (Value) {
        FTimerId = SetTimer(nullptr, 0, static_cast<UINT>(TimerInterval), AnimationTick);
        if (FTimerId)
            TimerOwners()[FTimerId] = this;
    } else {
        KillTimer(nullptr, FTimerId);
        TimerOwners().erase(FTimerId);
        FTimerId = 0;
    }
}

void TSectionList::Clear()
{
    BackgroundBitmap = nullptr;
    BackgroundHold.Drop();
    BackgroundName.clear();
    BitmapLoaded = false;
    // Blocks first: they may look at nothing of the document while they go, but the form
    // controls they list are freed with the forms.
    AllFormControls.Clear();
    GIFList.Clear();
    SelB = SelE = 0;
    MapList.Clear();
    TCell::Clear();
    formList.Clear();
}

void TSectionList::SetDefaults(const std::string& AFontName, const std::string& APreFontName,
                               TColor ABackground, TColor AHotSpotColor, TColor AFontColor, int FontSize)
{
    FontName = AFontName.substr(0, 33);
    PreFontName = APreFontName.substr(0, 33);
    FontSizeBase = FontSize;
    FontColor = AFontColor;
    HotSpotColor = AHotSpotColor;
    SetBackground(ABackground);
    UpdateFonts();
}

void TSectionList::SetBackground(TColor Color)
{
    Background = Color;
    if (OnBackgroundChange)
        OnBackgroundChange(this);
}

void TSectionList::SetBackgroundImageName(const std::string& Name)
{
    BackgroundBitmap = nullptr;
    BackgroundHold.Drop();
    BackgroundName = Name;
    BitmapLoaded = false;
}

TBitmap* TSectionList::LoadBackgroundImage()
{
    if (ShowImages && !BitmapLoaded && !BackgroundName.empty() && !BackgroundBitmap) {
        if (!OnBitmapRequest && !OnImageRequest)
            BackgroundName = ResolveFileName(BackgroundName);
        std::uint8_t Transparent = 0;
        bool FromCache = false;
        TBitmap* Mask = nullptr;
        TObject* Picture = FetchImage(BackgroundName, Transparent, FromCache, Mask, BackgroundHold);
        BackgroundBitmap = dynamic_cast<TBitmap*>(Picture);
        // An animation tiles with its first frame: a background does not animate, but it
        // should not vanish because its file holds more than one image.
        if (auto* Gif = dynamic_cast<TGIFImage*>(Picture))
            BackgroundBitmap = Gif->GetBitmap();
        if (!BackgroundBitmap)
            BackgroundHold.Drop();
        BitmapLoaded = true;
    }
    return BackgroundBitmap;
}

std::string TSectionList::ResolveFileName(const std::string& Name) const
{
    if (auto* Viewer = dynamic_cast<THTMLViewer*>(TheOwner))
        return Viewer->ResolveFileName(Name);
    return Name;
}

void TSectionList::SetYOffset(int Y)
{
    if (Y == YOff)
        return;
    YOff = Y;
    YOffChange = true;
    for (int I = 0; I < AllFormControls.Count(); ++I)
        static_cast<TFormControlObj*>(AllFormControls[I])->ShowIt = false;
}

int TSectionList::DoLogic(TCanvas* Canvas, int Y, int& Curs, int& MaxWidth, int AWidth)
{
    SetTimerEnabled(false);
    for (int I = 0; I < formList.Count(); ++I)
        formList.ItemAs<ThtmlForm>(I)->FitAllToFont(Canvas);
    LayoutPass = ++FLayouts;
    struct TPassScope {
        std::uint64_t& Pass;
        ~TPassScope() { Pass = 0; }
    } Scope{LayoutPass};
    const int Result = TCell::DoLogic(Canvas, Y, Curs, MaxWidth, AWidth);
    // Every layout starts the animations over from their first frame.
    for (int I = 0; I < GIFList.Count(); ++I) {
        TGIFImage* Gif = GIFList.Image(I);
        Gif->SetCurrentFrame(1);
        Gif->SetAnimate(false);
        Gif->SetAnimate(true);
    }
    SetTimerEnabled(GIFList.Count() > 0);
    return Result;
}

int TSectionList::Draw(TCanvas* Canvas, const TRect& ARect, int Y, int X, int AWidth)
{
    SetTimerEnabled(false);
    // Only what this paint shows is stepped until the next paint.
    for (int I = 0; I < GIFList.Count(); ++I)
        GIFList.Image(I)->Shown = false;
    // Pictures were converted through the shared palette, so they draw through it too.
    HPALETTE OldPalette = nullptr;
    if (SharedPalette) {
        OldPalette = SelectPalette(Canvas->Handle(), SharedPalette, TRUE);
        RealizePalette(Canvas->Handle());
    }
    int Result;
    try {
        Result = TCell::Draw(Canvas, ARect, Y, X, AWidth);
    } catch (...) {
        if (SharedPalette)
            SelectPalette(Canvas->Handle(), OldPalette, TRUE);
        throw;
    }
    if (SharedPalette)
        SelectPalette(Canvas->Handle(), OldPalette, TRUE);
    if (YOffChange && !Printing) {
        for (int I = 0; I < AllFormControls.Count(); ++I) {
            auto* C = static_cast<TFormControlObj*>(AllFormControls[I]);
            if (!C->ShowIt && C->Control)
                C->Control->Hide();
        }
        YOffChange = false;
    }
    SetTimerEnabled(GIFList.Count() > 0);
    return Result;
}

void TSectionList::AnimateGifs()
{
    auto* Panel = dynamic_cast<TWinControl*>(PPanel);
    HWND Window = Panel && Panel->HandleAllocated() ? Panel->Handle() : nullptr;
    for (int I = 0; I < GIFList.Count(); ++I) {
        TGIFImage* Gif = GIFList.Image(I);
        if (Gif->Shown)
            Gif->AnimationStep(Window);
    }
    TimerInterval = 50;
}

namespace {

// Lets the blocks copy the selection out into Counter, and takes it back however that ends.
void CopySelectionInto(TSectionList* Doc, SelTextCount& Counter)
{
    Doc->SelCount = &Counter;
    struct TReset {
        TSectionList* Doc;
        ~TReset() { Doc->SelCount = nullptr; }
    } Reset{Doc};
    Doc->CopyToClipboard();
}

} // namespace

int TSectionList::GetSelLength()
{
    if (SelB >= SelE)
        return 0;
    SelTextCount Counter;
    CopySelectionInto(this, Counter);
    return Counter.Terminate();
}

std::string TSectionList::GetSelText()
{
    if (SelB >= SelE)
        return {};
    SelTextBuf Buffer;
    CopySelectionInto(this, Buffer);
    return Buffer.Text();
}

int TSectionList::SectionTop(int Index) const
{
    const int N = std::min(Index - 1, Count() - 2) + 1;
    int T = 0;
    for (int I = 0; I < N; ++I)
        T = SatAdd(T, Block(I)->SectionHeight);
    return T;
}

void TSectionList::ForgetBlock(TSectionBase* Block)
{
    if (NameList)
        for (int I = NameList->Count() - 1; I >= 0; --I)
            if (NameList->Objects(I) && Block->HoldsObject(NameList->Objects(I)))
                NameList->Delete(I);
    for (int I = GIFList.Count() - 1; I >= 0; --I)
        if (Block->HoldsObject(GIFList.Image(I)))
            GIFList.Delete(I);
    for (int I = AllFormControls.Count() - 1; I >= 0; --I)
        if (Block->HoldsObject(static_cast<TObject*>(AllFormControls[I])))
            AllFormControls.Delete(I);
    // The controls of the block go with it: their forms own them.
    for (int F = 0; F < formList.Count(); ++F) {
        ThtmlForm* Form = formList.ItemAs<ThtmlForm>(F);
        TFreeList& Controls = Form->Controls;
        for (int I = Controls.Count() - 1; I >= 0; --I)
            if (Block->HoldsObject(Controls.ItemAs<TObject>(I))) {
                if (!Controls.ItemAs<TFormControlObj>(I)->IsHidden())
                    --Form->VisibleControlCount;
                Controls.Delete(I);
            }
    }
}

// ---------------------------------------------------------------------------------------------
// Small blocks

TParagraphSpace::TParagraphSpace(TSectionList* AMasterList, const TParagraphSpace& Source)
    : TSectionBase(AMasterList, Source)
{
}

TSectionBase* TParagraphSpace::Duplicate(TSectionList* MasterList) const
{
    return new TParagraphSpace(MasterList, *this);
}

void TParagraphSpace::UpdateSpacing()
{
    SectionHeight = MulDiv(14, BaseSizeOf(ParentSectionList), 12);
}

void TParagraphSpace::CopyToClipboard()
{
    if (ParentSectionList && ParentSectionList->SelCount)
        ParentSectionList->SelCount->AddTextCR("", 0);
}

THeadingSpace::THeadingSpace(int AHeadingSize) : HeadingSize(AHeadingSize) {}

THeadingSpace::THeadingSpace(TSectionList* AMasterList, const THeadingSpace& Source)
    : TSectionBase(AMasterList, Source), HeadingSize(Source.HeadingSize)
{
}

TSectionBase* THeadingSpace::Duplicate(TSectionList* MasterList) const
{
    return new THeadingSpace(MasterList, *this);
}

void THeadingSpace::UpdateSpacing()
{
    static const int Sizes[6] = {16, 12, 10, 8, 6, 4};
    const int S = HeadingSize >= 1 && HeadingSize <= 6 ? Sizes[HeadingSize - 1] : 8;
    SectionHeight = MulDiv(S, BaseSizeOf(ParentSectionList), 12);
}

void THeadingSpace::CopyToClipboard()
{
    if (ParentSectionList && ParentSectionList->SelCount)
        ParentSectionList->SelCount->AddTextCR("", 0);
}

THorzLine::THorzLine(TAttributeList* Attributes)
{
    if (!Attributes)
        return;
    for (int I = 0; I < Attributes->Count(); ++I) {
        TAttribute* A = Attributes->Attr(I);
        switch (A->Which) {
        case SizeSy:
            if (A->Value >= 1 && A->Value <= 20)
                VSize = A->Value;
            break;
        case WidthSy:
            if (A->Value > 0) {
                if (A->Text.find('%') == std::string::npos)
                    HWidth = A->Value;
                else {
                    if (A->Value <= 100)
                        HWidth = A->Value;
                    AsPercent = true;
                }
            }
            break;
        case ColorSy: {
            std::int32_t C = 0;
            if (ColorFromString(A->Text, C)) {
                Color = C | clPaletteRelative;
                UseColor = true;
            }
            break;
        }
        default:
            break;
        }
    }
}

THorzLine::THorzLine(TSectionList* AMasterList, const THorzLine& Source)
    : TSectionBase(AMasterList, Source), VSize(Source.VSize), HWidth(Source.HWidth),
      AsPercent(Source.AsPercent), Color(Source.Color), UseColor(Source.UseColor)
{
}

TSectionBase* THorzLine::Duplicate(TSectionList* MasterList) const
{
    return new THorzLine(MasterList, *this);
}

void THorzLine::UpdateSpacing()
{
    SectionHeight = MulDiv(20, BaseSizeOf(ParentSectionList), 12) + VSize - 2;
}

void THorzLine::CopyToClipboard()
{
    if (ParentSectionList && ParentSectionList->SelCount)
        ParentSectionList->SelCount->AddTextCR("", 0);
}

int THorzLine::Draw(TCanvas* Canvas, const TRect& ARect, int Y, int X, IndentManager* IMgr)
{
    const int Result = TSectionBase::Draw(Canvas, ARect, Y, X, IMgr);
    const int YOff = ParentSectionList ? ParentSectionList->YOff : 0;
    if (SatAdd(Y, static_cast<std::int64_t>(SectionHeight) - YOff) < ARect.top ||
        SatAdd(Y, -YOff) >= ARect.bottom)
        return Result;
    const int T = SatInt(static_cast<std::int64_t>(Y) + (SectionHeight - VSize) / 2 - YOff);
    const int L = IMgr->LeftIndent(Y);
    const int R = IMgr->RightSide(Y);
    int Left, Right;
    if (HWidth < 0) {
        Left = L + 10;
        Right = R - 10;
    } else {
        const std::int64_t W = AsPercent ? MulDiv(R - L, HWidth, 100) : HWidth;
        Left = SatInt(L + (static_cast<std::int64_t>(R) - L - W) / 2);
        Right = SatAdd(Left, W);
    }
    TPen* Pen = Canvas->Pen();
    TBrush* Brush = Canvas->Brush();
    if (UseColor) {
        const TColor OldColor = Brush->Color();
        const TBrushStyle OldStyle = Brush->Style();
        Brush->SetColor(Color);
        Brush->SetStyle(bsSolid);
        Canvas->FillRect(Rect(Left, T, Right, T + VSize));
        Brush->SetColor(OldColor);
        Brush->SetStyle(OldStyle);
    } else {
        const TColor OldPen = Pen->Color();
        const bool Light = IsLightBackground(ParentSectionList ? ParentSectionList->Background : clWhite);
        Pen->SetColor(clBtnShadow);
        Canvas->MoveTo(Left, T + VSize);
        Canvas->LineTo(Left, T);
        Canvas->LineTo(Right, T);
        Pen->SetColor(Light ? clSilver : clBtnHighlight);
        Canvas->LineTo(Right, T + VSize);
        Canvas->LineTo(Left, T + VSize);
        Pen->SetColor(OldPen);
    }
    return Result;
}

TPage::TPage(TSectionList* AMasterList, const TPage& Source) : TSectionBase(AMasterList, Source) {}

TSectionBase* TPage::Duplicate(TSectionList* MasterList) const
{
    return new TPage(MasterList, *this);
}
