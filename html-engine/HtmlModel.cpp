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

TFontObj::TFontObj(TMyFont* Font, int APos) : Pos(APos), TheFont(Font)
{
    TheFont->OnChange = [this](TObject*) { Measure(); };
    Measure();
}

TFontObj::TFontObj(const TFontObj& Source)
    : TObject(), Pos(Source.Pos), TheFont(std::make_unique<TMyFont>()), SScript(Source.SScript)
{
    TheFont->Assign(Source.TheFont.get());
    TheFont->OnChange = [this](TObject*) { Measure(); };
    UrlTarget.Copy(Source.UrlTarget);
    Measure();
}

TFontObj::~TFontObj()
{
    if (TheFont)
        TheFont->OnChange = nullptr;
}

namespace {

struct TRunMetrics {
    int tmHeight, FontHeight, Overhang, Descent;
};

// Metrics depend only on the logical font, and asking the device for them is slow; a document
// makes a run for every font change, so they are kept per logical font.
std::unordered_map<std::string, TRunMetrics>& MetricsCache()
{
    static std::unordered_map<std::string, TRunMetrics> Cache;
    return Cache;
}

} // namespace

void TFontObj::Measure()
{
    const TMyFont& F = *TheFont;
    // The name, then the other attributes as raw bytes: the key is made for every run.
    const std::int64_t Attributes[] = {F.Height(), static_cast<std::int64_t>(F.Style().Bits()),
                                       static_cast<std::int64_t>(F.Pitch()),
                                       static_cast<std::int64_t>(F.Charset())};
    std::string Key;
    Key.reserve(F.Name().size() + 1 + sizeof Attributes);
    Key = F.Name();
    Key += '\0';
    Key.append(reinterpret_cast<const char*>(Attributes), sizeof Attributes);
    auto& Cache = MetricsCache();
    auto It = Cache.find(Key);
    if (It == Cache.end()) {
        HDC DC = MeasureDC();
        HGDIOBJ Old = SelectObject(DC, TheFont->Handle());
        TEXTMETRIC TM;
        GetTextMetrics(DC, &TM);
        SelectObject(DC, Old);
        It = Cache
                 .emplace(std::move(Key), TRunMetrics{TM.tmHeight, TM.tmHeight + TM.tmExternalLeading,
                                                      TM.tmOverhang, TM.tmDescent})
                 .first;
    }
    tmHeight = It->second.tmHeight;
    FontHeight = It->second.FontHeight;
    Overhang = It->second.Overhang;
    Descent = It->second.Descent;
}

void TFontObj::UpdateFont(TSectionList* Document)
{
    TColor C = clBlack;
    if (Document)
        C = UrlTarget.URL.empty() ? Document->FontColor : Document->HotSpotColor;
    TheFont->UpdateFont(Document, C);
}

TFontList::TFontList(const TFontList& Source) : TFreeList()
{
    for (int I = 0; I < Source.Count(); ++I)
        Add(new TFontObj(*Source.Run(I)));
}

void TFontList::UpdateFonts(TSectionList* Document)
{
    for (int I = 0; I < Count(); ++I)
        Run(I)->UpdateFont(Document);
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

TMyFont* TFontList::GetFontAt(int Pos, int& OHang) const
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
    if (YOffChange) {
        for (int I = 0; I < AllFormControls.Count(); ++I) {
            auto* C = static_cast<TFormControlObj*>(AllFormControls[I]);
            if (!C->ShowIt)
                C->Visible = false;
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

int TSectionList::GetSelLength()
{
    if (SelB >= SelE)
        return 0;
    auto Counter = std::make_unique<SelTextCount>();
    SelCount = Counter.get();
    struct TReset {
        TSectionList* Doc;
        ~TReset() { Doc->SelCount = nullptr; }
    } Reset{this};
    CopyToClipboard();
    return Counter->Terminate();
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
                if (Controls.ItemAs<TFormControlObj>(I)->Kind != fcHidden)
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
