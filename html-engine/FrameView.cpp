#include "html-engine/FrameView.h"

#include "platform/classes/TypInfo.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win/Windows.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Frees what the frame viewer collected for a later free.
constexpr UINT WM_FREE_PENDING = WM_USER + 120;

// A frame border wider than this is no border anyone draws; it only costs painting time.
constexpr int MaxFrameBorder = 100;
// Frameset documents that load frameset documents stop loading at this depth.
constexpr int MaxLoadDepth = 4;
// A point this close to a frameset's own border belongs to the frameset outside it.
constexpr int EdgeSlack = 3;
// The pointer is over a divider when it is at most this far from it.
constexpr int DividerSlack = 4;

bool IsDigit(char C)
{
    return C >= '0' && C <= '9';
}

std::string Extension(const std::string& Name)
{
    return LowerCase(ExtractFileExt(Name)).substr(0, 5);
}

bool IsImageName(const std::string& Name)
{
    const std::string E = Extension(Name);
    return E == ".gif" || E == ".jpg" || E == ".jpeg" || E == ".bmp" || E == ".png";
}

bool IsTextName(const std::string& Name)
{
    return Extension(Name) == ".txt";
}

// Splits "name#dest" at the first "#"; Dest keeps its "#".
void SplitAnchor(const std::string& Name, std::string& File, std::string& Dest)
{
    const std::size_t Hash = Name.find('#');
    File = Name.substr(0, Hash);
    Dest = Hash == std::string::npos ? std::string() : Name.substr(Hash);
}

// A frame's SRC as a file name: resolved against the BASE HREF read so far, else against the
// frameset document's directory, and found through the one path mapping (a name written in
// another case than the file on disk still finds it). Names with a scheme stay as they are.
std::string FrameFileName(const std::string& Src, const std::string& Directory, const std::string& BaseHref)
{
    const std::string Name = LinkToDosName(Src);
    if (Name.empty() || Name.find(':') != std::string::npos)
        return Name;
    if (Name[0] == '/')
        return MapPath(Name);
    if (BaseHref.empty())
        return MapPath(Directory + Name);
    if (SameText(BaseHref, "DosPath"))
        return ExpandFileName(Name);
    return MapPath(ExtractFilePath(LinkToDosName(BaseHref)) + Name);
}

bool IsFramesetSource(const TFrameSource& S)
{
    THtmlParser Parser;
    return Parser.IsFramesetDocument(S.Kind, S.FileName, S.Strings, S.Buffer, S.Size, S.Stream);
}

// The position a frameset's only view shows, or the top when it has several.
TViewPosition OnlyViewerPosition(const TFrameSet* Set)
{
    if (Set && Set->AllViewers.Count() == 1)
        return static_cast<THTMLViewer*>(Set->AllViewers.Items(0))->GetPosition();
    return {};
}

// By object: another frame of the same name keeps its entry.
void ForgetName(TFrameSet* Master, TFrame* Frame)
{
    TStringList& Names = Master->NamedFrames;
    for (int I = Names.Count() - 1; I >= 0; --I)
        if (Names.Objects(I) == Frame)
            Names.Delete(I);
}

// Counts a load in progress for as long as it lives.
struct TLoadDepth {
    int& Depth;
    explicit TLoadDepth(int& D) : Depth(D) { ++Depth; }
    ~TLoadDepth() { --Depth; }
};

} // namespace

std::vector<int> ParseDimensions(const std::string& Text)
{
    std::vector<int> Dims;
    const std::size_t N = Text.size();
    std::size_t I = 0;
    while (static_cast<int>(Dims.size()) < TSubFrameSet::MaxDims) {
        while (I < N && !IsDigit(Text[I]) && Text[I] != '*' && Text[I] != ',')
            ++I;
        int Code = -1; // one share: "*", or nothing at all
        if (I < N && IsDigit(Text[I])) {
            std::int64_t V = 0;
            for (int Digits = 0; I < N && IsDigit(Text[I]); ++I)
                if (Digits++ < 20)
                    V = std::min<std::int64_t>(V * 10 + (Text[I] - '0'), 1000000000);
            V = std::max<std::int64_t>(1, V);
            while (I < N && Text[I] != '*' && Text[I] != '%' && Text[I] != ',')
                ++I;
            if (I < N && Text[I] == '*')
                Code = static_cast<int>(-std::min<std::int64_t>(99, V));
            else if (I < N && Text[I] == '%')
                Code = static_cast<int>(-std::min<std::int64_t>(1000, V + 100));
            else
                Code = static_cast<int>(std::min<std::int64_t>(V, 5000));
        } else if (I < N && Text[I] == '*') {
            ++I;
        }
        Dims.push_back(Code);
        while (I < N && Text[I] != ',')
            ++I;
        if (I >= N)
            break;
        ++I;
    }
    return Dims;
}

// ---------------------------------------------------------------------------------------------
// The panel base

TFrameBase* TFrameBase::EnclosingPanel() const
{
    return dynamic_cast<TFrameBase*>(Parent());
}

// ---------------------------------------------------------------------------------------------
// Frames

TFrame::TFrame(TSubFrameSet* AOwner, const std::string& Directory, const std::string& BaseHref,
               TFrameSet* AMasterSet, TAttributeList* Attributes)
    : TFrameBase(AOwner, AMasterSet), ParentSet(AOwner)
{
    SetBevelInner(bvNone);
    SetFrameBevel();
    SetParentColor(true);
    for (int I = 0; Attributes && I < Attributes->Count(); ++I) {
        TAttribute* A = Attributes->Attr(I);
        switch (A->Which) {
        case NameSy:
            FrameName = A->Text;
            break;
        case SrcSy: {
            std::string Name;
            SplitAnchor(TrimBlanks(A->Text), Name, Anchor);
            // A frame viewer that answers requests itself is asked for the name as written.
            SourceName =
                MasterSet && MasterSet->UsesRequests() ? Name : FrameFileName(Name, Directory, BaseHref);
            break;
        }
        case NoResizeSy:
            ResizeLocked = true;
            break;
        case ScrollingSy:
            ScrollingOff = SameText(A->Text, "NO");
            break;
        default:
            break;
        }
    }
    if (!FrameName.empty() && MasterSet)
        MasterSet->NamedFrames.AddObject(UpperCase(FrameName), this);
    OnMouseDown = [this](TObject* S, TMouseButton B, TShiftState Sh, int X, int Y) {
        EdgeMouseDown(S, B, Sh, X, Y);
    };
    OnMouseMove = [this](TObject* S, TShiftState Sh, int X, int Y) { EdgeMouseMove(S, Sh, X, Y); };
    OnMouseUp = [this](TObject* S, TMouseButton B, TShiftState Sh, int X, int Y) {
        EdgeMouseUp(S, B, Sh, X, Y);
    };
}

TFrame::~TFrame()
{
    Detach();
    // The views and framesets of this frame (shown or in its history) go with it as its
    // children.
}

void TFrame::Detach()
{
    if (!MasterSet)
        return;
    ForgetName(MasterSet, this);
    MasterSet->AllFrames.Remove(this);
    if (Viewer) {
        Viewer->OnEnter = nullptr; // the frameset it would report to may go first
        MasterSet->AllViewers.Remove(Viewer);
        if (MasterSet->FocusedViewer == Viewer)
            MasterSet->FocusedViewer = nullptr;
        if (MasterSet->Host)
            MasterSet->Host->BusyViewers.Remove(Viewer);
    }
    TFrameSet* Master = MasterSet;
    MasterSet = nullptr;
    for (int I = 0; I < Visits.Count(); ++I)
        if (auto* Set = dynamic_cast<TSubFrameSet*>(Visits.Objects(I)); Set && Set->MasterSet == Master)
            Set->Detach();
    if (NestedSet && NestedSet->MasterSet == Master)
        NestedSet->Detach();
}

TFrameViewer* TFrame::Host() const
{
    return MasterSet ? MasterSet->Host : nullptr;
}

void TFrame::SetFrameBevel()
{
    const int Border = ParentSet ? ParentSet->BorderWidth : 0;
    if (Border > 0) {
        SetBevelOuter(bvLowered);
        SetBevelWidth(Border);
    } else {
        SetBevelOuter(bvNone);
    }
}

void TFrame::UseHostMouseEvents()
{
    if (TFrameViewer* H = Host()) {
        OnMouseDown = H->OnMouseDown;
        OnMouseMove = H->OnMouseMove;
        OnMouseUp = H->OnMouseUp;
    }
}

void TFrame::RegisterFrames()
{
    if (!MasterSet)
        return;
    MasterSet->AllFrames.Add(this);
    if (NestedSet)
        NestedSet->RegisterFrames();
}

void TFrame::EdgeMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (TFrameBase* P = EnclosingPanel())
        P->EdgeMouseDown(Sender, Button, Shift, X + Left(), Y + Top());
}

void TFrame::EdgeMouseMove(TObject* Sender, TShiftState Shift, int X, int Y)
{
    if (ResizeLocked && !(MasterSet && MasterSet->DragOwner))
        return;
    if (TFrameBase* P = EnclosingPanel())
        P->EdgeMouseMove(Sender, Shift, X + Left(), Y + Top());
}

void TFrame::EdgeMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (TFrameBase* P = EnclosingPanel())
        P->EdgeMouseUp(Sender, Button, Shift, X + Left(), Y + Top());
}

bool TFrame::GetResizeLocks(bool& LeftLocked, bool& RightLocked)
{
    LeftLocked = RightLocked = ResizeLocked;
    return ResizeLocked;
}

void TFrame::SizeChildren(int ALeft, int ATop, int AHeight, int AWidth)
{
    if (NestedSet)
        NestedSet->SizeChildren(ALeft, ATop, AHeight, AWidth);
}

void TFrame::MakeViewer()
{
    TFrameViewer* H = Host();
    Viewer = new THTMLViewer(this);
    Viewer->SetParent(this);
    Viewer->SetAlign(alClient);
    if (MasterSet->BorderWidth == 0)
        Viewer->SetBorderStyle(htNone);
    if (ScrollingOff)
        Viewer->SetScrollBars(ssNone);
    THTMLViewer* V = Viewer;
    if (H) {
        V->OnHotSpotClick = [H](TObject* S, const std::string& URL, bool& Handled) {
            H->FrameHotSpotClick(S, URL, Handled);
        };
        V->OnHotSpotCovered = [H](TObject* S, const std::string& URL) { H->FrameLinkCovered(S, URL); };
        V->SetDefBackground(H->DefBackground());
        V->SetViewImages(H->ViewImages());
        V->SetImageCacheCount(H->ImageCacheCount());
        V->SetNoSelect(H->NoSelect());
        V->SetDefFontColor(H->DefFontColor());
        V->SetDefHotSpotColor(H->DefHotSpotColor());
        V->SetDefFontSize(H->DefFontSize());
        V->SetDefFontName(H->DefFontName());
        V->SetDefPreFontName(H->DefPreFontName());
        V->SetOnFormSubmit(H->OnFormSubmit());
        V->SetOnBitmapRequest(H->OnBitmapRequest());
        V->SetOnImageRequest(H->OnImageRequest());
        V->OnProcessing = [H](TObject* S, bool On) { H->ViewerBusyChanged(S, On); };
        V->OnMouseDown = H->OnMouseDown;
        V->OnMouseMove = H->OnMouseMove;
        V->OnMouseUp = H->OnMouseUp;
        V->OnKeyDown = H->OnKeyDown;
        V->OnKeyPress = H->OnKeyPress;
        V->OnKeyUp = H->OnKeyUp;
        V->SetCursor(H->Cursor());
        V->SetHistoryMaxCount(H->HistoryMaxCount());
        V->SetOnScript(H->OnScript());
        V->PrintMarginLeft = H->PrintMarginLeft();
        V->PrintMarginRight = H->PrintMarginRight();
        V->PrintMarginTop = H->PrintMarginTop();
        V->PrintMarginBottom = H->PrintMarginBottom();
        V->OnPrintHeader = H->OnPrintHeader();
        V->OnPrintFooter = H->OnPrintFooter();
    }
    TFrameSet* Master = MasterSet;
    V->OnEnter = [Master](TObject* S) { Master->ViewerEntered(S); };
    V->Show();
    V->SetTabStop(true);
    MasterSet->AllViewers.Add(V);
}

void TFrame::ShowErrorPage(const std::string& Name)
{
    if (!Viewer)
        MakeViewer();
    if (NestedSet) {
        TSubFrameSet* Set = NestedSet;
        NestedSet = nullptr;
        Set->Detach();
        delete Set; // built by this load and never shown: no handler of it can be running
    }
    // The picture names no file, so the error picture shows in its place.
    std::string Page = "<p><img src=\"qw%&.bmp\" alt=\"Error\"> Can't load " + Name;
    Page = Page.substr(0, 255);
    Viewer->LoadFromMemory(Page.data(), Page.size());
}

void TFrame::LoadViewer(const TFrameSource& Source, bool Image, bool Text, const std::string& Dest)
{
    if (Image)
        Viewer->LoadPictureFile(Source.FileName);
    else if (Text)
        Viewer->LoadPlainTextFile(Source.FileName + Dest);
    else if (Source.Kind == 0)
        Viewer->LoadFromFile(Source.FileName + Dest);
    else {
        if (Source.Kind == 1)
            Viewer->LoadFromMemory(Source.Buffer, Source.Size);
        else if (Source.Kind == 2)
            Viewer->LoadFromStrings(Source.Strings);
        else
            Viewer->LoadFromStream(Source.Stream);
        Viewer->JumpToAnchor(Dest);
    }
}

void TFrame::BuildNestedSet(const TFrameSource& Source, const std::string& Name)
{
    NestedSet = new TSubFrameSet(this, MasterSet);
    NestedSet->SetAlign(alClient);
    NestedSet->SetParent(this);
    THtmlParser Parser;
    Parser.FramesetParse(NestedSet, Source.Kind, Source.Kind == 0 ? Source.FileName : Name, Source.Buffer,
                         Source.Size, Source.Stream, Source.Strings);
    SetBevelOuter(bvNone);
}

TFrameSource TFrame::SourceDocument(bool Image, bool Text)
{
    TFrameSource Source;
    if (Image || Text || !MasterSet->RequestDocument(SourceName, Source)) {
        Source = TFrameSource{};
        Source.FileName = Host() ? Host()->ResolveFileName(SourceName) : ExpandFileName(SourceName);
    }
    return Source;
}

void TFrame::LoadSources()
{
    if (!MasterSet || SourceName.empty() || MasterSet->LoadDepth >= MaxLoadDepth) {
        UseHostMouseEvents();
        return;
    }
    const bool Image = IsImageName(SourceName), Text = IsTextName(SourceName);
    const TFrameSource Source = SourceDocument(Image, Text);
    TLoadDepth Depth(MasterSet->LoadDepth);
    try {
        if (Image || Text || !IsFramesetSource(Source)) {
            MakeViewer();
            LoadViewer(Source, Image, Text, Anchor);
            PushFirstVisit(SourceName, Viewer->GetPosition());
            Viewer->SetBase(MasterSet->BaseHref);
        } else {
            BuildNestedSet(Source, SourceName);
            PushFirstVisit(SourceName, TViewPosition{});
            NestedSet->LoadSources();
            bool L = false, R = false;
            NestedSet->GetResizeLocks(L, R);
        }
    } catch (const std::exception&) {
        ShowErrorPage(SourceName);
    }
}

void TFrame::ReloadSources(std::optional<TViewPosition> Position)
{
    if (NestedSet) {
        NestedSet->ReloadSources(Position);
        bool L = false, R = false;
        NestedSet->GetResizeLocks(L, R);
        return;
    }
    if (!Viewer || !MasterSet)
        return;
    const bool Image = IsImageName(SourceName), Text = IsTextName(SourceName);
    const TFrameSource Source = SourceDocument(Image, Text);
    try {
        LoadViewer(Source, Image, Text, std::string());
    } catch (const std::exception&) {
        if (!Image && !Text)
            ShowErrorPage(SourceName);
    }
    Viewer->SetPosition(Position ? *Position : SavedPosition);
    Viewer->SetBase(MasterSet->BaseHref);
}

void TFrame::UnloadSources()
{
    if (NestedSet)
        NestedSet->UnloadSources();
    if (Viewer) {
        SavedPosition = Viewer->GetPosition();
        Viewer->Clear();
    }
}

void TFrame::PushVisit(const std::string& NewName, const TViewPosition& NewPos, const TViewPosition& OldPos)
{
    if (!MasterSet)
        return;
    if (Visits.Count() > 0 && VisitIndex < VisitPositions.Count())
        VisitPositions.ItemAs<PositionObj>(VisitIndex)->Position = OldPos;
    MasterSet->DropForwardVisits();
    PushFirstVisit(NewName, NewPos);
}

void TFrame::PushFirstVisit(const std::string& NewName, const TViewPosition& Position)
{
    static int Serial = 0; // one sequence over every frame of the process
    VisitIndex = 0;
    Visits.InsertObject(0, NewName, NestedSet);
    auto* P = new PositionObj;
    P->Position = Position;
    P->Serial = ++Serial;
    VisitPositions.Insert(0, P);
    MasterSet->RegisterFrames();
    if (TFrameViewer* H = Host(); H && H->OnHistoryChange)
        H->OnHistoryChange(H);
}

void TFrame::Navigate(const std::string& AName, const std::string& Dest, bool Bump)
{
    if (!MasterSet)
        return;
    const std::string OldName = SourceName;
    const std::string Name = AName.empty() ? OldName : AName;
    SourceName = Name;
    const bool Same = SameText(Name, OldName);
    try {
        const bool Image = IsImageName(Name), Text = IsTextName(Name);
        TFrameSource Source;
        Source.FileName = Name;
        if (!Image && !Text && !Same && !MasterSet->RequestDocument(Name, Source)) {
            Source = TFrameSource{};
            Source.FileName = Name;
        }
        bool IsFrameset = !Viewer;
        if (!Same) {
            IsFrameset = false;
            if (!Image && !Text) {
                try {
                    IsFrameset = IsFramesetSource(Source);
                } catch (const std::exception&) {
                    throw EInOutError("Can't load: " + Name);
                }
            }
        }
        if (!Same && (!Viewer || IsFrameset)) {
            THTMLViewer* OldViewer = Viewer;
            TSubFrameSet* OldSet = NestedSet;
            const TViewPosition OldPos = OldViewer ? OldViewer->GetPosition() : TViewPosition{};
            if (OldSet)
                OldSet->RemoveNames();
            Viewer = nullptr;
            NestedSet = nullptr;
            if (!IsFrameset) {
                MakeViewer();
                LoadViewer(Source, Image, Text, Dest);
                PushVisit(Name, Viewer->GetPosition(), TViewPosition{});
            } else {
                TLoadDepth Depth(MasterSet->LoadDepth);
                BuildNestedSet(Source, Name);
                NestedSet->LoadSources();
                bool L = false, R = false;
                NestedSet->GetResizeLocks(L, R);
                const TRect C = ClientRect();
                NestedSet->SizeChildren(C.left, C.top, C.bottom - C.top, C.right - C.left);
                NestedSet->PlaceChildren();
                PushVisit(Name, TViewPosition{}, OldPos);
            }
            if (Viewer) {
                SetFrameBevel();
                Viewer->JumpToAnchor(Dest);
            }
            if (OldViewer) {
                OldViewer->OnEnter = nullptr;
                MasterSet->AllViewers.Remove(OldViewer);
                if (MasterSet->FocusedViewer == OldViewer)
                    MasterSet->FocusedViewer = nullptr;
                if (TFrameViewer* H = Host()) {
                    H->BusyViewers.Remove(OldViewer);
                    H->FreeLater(OldViewer);
                } else {
                    delete OldViewer;
                }
            }
            if (OldSet) {
                OldSet->UnloadSources();
                OldSet->Hide();
            }
            Invalidate();
        } else if (!Same) {
            const TViewPosition OldPos = Viewer->GetPosition();
            const std::string OldTitle = Viewer->GetDocumentTitle();
            LoadViewer(Source, Image, Text, Dest);
            if (MasterSet->AllViewers.Count() > 1 && Bump)
                PushVisit(Name, Viewer->GetPosition(), OldPos);
            Viewer->SetBase(MasterSet->BaseHref);
            if (MasterSet->AllViewers.Count() == 1 && Bump) {
                MasterSet->CurrentFile = Viewer->GetCurrentFile();
                MasterSet->Title = Viewer->GetDocumentTitle();
                MasterSet->BaseHref = Viewer->GetBase();
                MasterSet->BaseTarget = Viewer->GetBaseTarget();
                if (TFrameViewer* H = Host())
                    H->AddFrameHistory(OldName, OldTitle, OldPos);
            }
        } else if (Viewer) {
            const TViewPosition OldPos = Viewer->GetPosition();
            Viewer->JumpToAnchor(Dest);
            const TViewPosition NewPos = Viewer->GetPosition();
            if (Bump && !(NewPos == OldPos))
                PushVisit(Name, NewPos, OldPos);
        }
    } catch (...) {
        SourceName = OldName;
        throw;
    }
}

// ---------------------------------------------------------------------------------------------
// Framesets

TSubFrameSet::TSubFrameSet(TComponent* AOwner, TFrameSet* AMasterSet) : TFrameBase(AOwner, AMasterSet)
{
    SetBevelInner(bvNone);
    SetBevelOuter(bvNone);
    if (AMasterSet)
        BorderWidth = AMasterSet->BorderWidth;
    EdgesFitDims();
    OnMouseDown = [this](TObject* S, TMouseButton B, TShiftState Sh, int X, int Y) {
        EdgeMouseDown(S, B, Sh, X, Y);
    };
    OnMouseMove = [this](TObject* S, TShiftState Sh, int X, int Y) { EdgeMouseMove(S, Sh, X, Y); };
    OnMouseUp = [this](TObject* S, TMouseButton B, TShiftState Sh, int X, int Y) {
        EdgeMouseUp(S, B, Sh, X, Y);
    };
}

TSubFrameSet::~TSubFrameSet()
{
    if (MasterSet && MasterSet->DragOwner == this)
        MasterSet->DragOwner = nullptr;
    // The children leave the frame viewer's lists while those still exist.
    for (int I = Children.Count() - 1; I >= 0; --I)
        Children.Delete(I);
}

void TSubFrameSet::EdgesFitDims()
{
    const std::size_t N = static_cast<std::size_t>(DimCount);
    Dims.resize(N, -1);
    Sizes.resize(N, 0);
    Edges.resize(N + 1, 0);
    EdgeLocked.resize(N + 1, false);
}

void TSubFrameSet::AddChild(TFrameBase* Child)
{
    Children.Add(Child);
    Child->SetBounds(OuterBevel, OuterBevel, std::max(0, Width() - 2 * OuterBevel),
                     std::max(0, Height() - 2 * OuterBevel));
    Child->SetParent(this);
}

void TSubFrameSet::AppendFrame(TAttributeList* Attributes, const std::string& FileName,
                               const std::string& BaseHref)
{
    AddChild(new TFrame(this, ExtractFilePath(FileName), BaseHref, MasterSet, Attributes));
}

TSubFrameSet* TSubFrameSet::AppendFrameSet()
{
    auto* Set = new TSubFrameSet(this, MasterSet);
    AddChild(Set);
    return Set;
}

void TSubFrameSet::ReadDimensions(TAttributeList* Attributes)
{
    if (!Attributes)
        return;
    TAttribute* A = nullptr;
    if (Attributes->Find(RowsSy, A)) {
        IsRows = true;
        Dims = ParseDimensions(A->Text);
        DimCount = static_cast<int>(Dims.size());
    }
    if (Attributes->Find(ColsSy, A) && DimCount <= 1) {
        IsRows = false;
        Dims = ParseDimensions(A->Text);
        DimCount = static_cast<int>(Dims.size());
    }
    EdgesFitDims();
    if (this != static_cast<TSubFrameSet*>(MasterSet))
        return;
    for (int I = 0; I < Attributes->Count(); ++I) {
        A = Attributes->Attr(I);
        if (A->Which != BorderSy && A->Which != FrameBorderSy)
            continue;
        BorderWidth = std::clamp(A->Value, 0, MaxFrameBorder);
        OuterBevel = std::max(2 - BorderWidth, 0);
        if (OuterBevel > 0) {
            SetBevelOuter(bvLowered);
            SetBevelWidth(OuterBevel);
        }
    }
}

void TSubFrameSet::CloseFrameSet(const std::string& Title, const std::string& ABaseHref,
                                 const std::string& ABaseTarget)
{
    (void)Title;
    // Frames without a dimension take one share each; dimensions without a frame get an empty one.
    if (DimCount < Children.Count())
        DimCount = Children.Count();
    EdgesFitDims();
    while (Children.Count() < DimCount)
        AppendFrame(nullptr, std::string());
    BaseHref = ABaseHref;
    BaseTarget = ABaseTarget;
}

void TSubFrameSet::DropChild(TFrameBase* Child)
{
    TFrameViewer* Host = MasterSet ? MasterSet->Host : nullptr;
    Children.Extract(Child);
    if (Host)
        Host->FreeLater(Child);
    else
        delete Child;
}

void TSubFrameSet::ClearChildFrames()
{
    for (int I = Children.Count() - 1; I >= 0; --I)
        DropChild(Child(I));
    DimCount = 0;
    Fresh = true;
    IsRows = false;
    Dims.clear();
    Sizes.clear();
    Edges.clear();
    EdgeLocked.clear();
    EdgesFitDims();
    SizeTotal = 0;
    HotEdge = 0;
    BaseHref.clear();
    BaseTarget.clear();
}

void TSubFrameSet::Detach()
{
    if (!MasterSet)
        return;
    if (MasterSet->DragOwner == this)
        MasterSet->DragOwner = nullptr;
    for (int I = 0; I < Children.Count(); ++I)
        Child(I)->Detach();
    MasterSet = nullptr;
}

void TSubFrameSet::RemoveNames()
{
    if (!MasterSet)
        return;
    for (int I = 0; I < Children.Count(); ++I) {
        if (auto* F = dynamic_cast<TFrame*>(Child(I))) {
            ForgetName(MasterSet, F);
            if (F->NestedSet)
                F->NestedSet->RemoveNames();
        } else if (auto* S = dynamic_cast<TSubFrameSet*>(Child(I))) {
            S->RemoveNames();
        }
    }
}

void TSubFrameSet::LoadFromFile(const std::string& Name, const std::string& Dest)
{
    ClearChildFrames();
    AppendFrame(nullptr, std::string());
    auto* F = static_cast<TFrame*>(Child(0));
    F->SourceName = Name;
    F->Anchor = Dest;
    CloseFrameSet(std::string(), BaseHref, BaseTarget);
    F->LoadSources();
    const TRect C = ClientRect();
    SizeChildren(C.left, C.top, C.bottom - C.top, C.right - C.left);
    PlaceChildren();
    if (F->NestedSet) {
        const TRect FC = F->ClientRect();
        F->NestedSet->SizeChildren(FC.left, FC.top, FC.bottom - FC.top, FC.right - FC.left);
        F->NestedSet->PlaceChildren();
    } else if (F->Viewer) {
        F->Viewer->JumpToAnchor(Dest);
    }
}

void TSubFrameSet::RegisterFrames()
{
    for (int I = 0; I < Children.Count(); ++I)
        Child(I)->RegisterFrames();
}

void TSubFrameSet::LoadSources()
{
    for (int I = 0; I < Children.Count(); ++I)
        Child(I)->LoadSources();
}

void TSubFrameSet::ReloadSources(std::optional<TViewPosition> Position)
{
    for (int I = 0; I < Children.Count(); ++I)
        Child(I)->ReloadSources(Position);
}

void TSubFrameSet::UnloadSources()
{
    for (int I = 0; I < Children.Count(); ++I)
        Child(I)->UnloadSources();
}

void TSubFrameSet::SizeChildren(int ALeft, int ATop, int AHeight, int AWidth)
{
    EdgesFitDims();
    const int Extent = std::max(0, IsRows ? AHeight : AWidth);
    std::int64_t Fixed = 0, PercentSum = 0, Shares = 0;
    for (int Code : Dims) {
        if (Code > 0)
            Fixed += Code;
        else if (Code <= -101)
            PercentSum += -Code - 100;
        else
            Shares += -Code;
    }
    const std::int64_t Rest = Extent - Fixed;
    auto Scaled = [](std::int64_t N, std::int64_t Num, std::int64_t Den) {
        return Den > 0 ? static_cast<int>((N * Num * 2 + Den) / (2 * Den)) : 0;
    };
    if (Rest > 0) {
        const std::int64_t PercentPixels = std::min<std::int64_t>(Scaled(Extent, PercentSum, 100), Rest);
        const std::int64_t Unit = Shares > 0 ? (Rest - PercentPixels) / Shares : 0;
        for (std::size_t K = 0; K < Dims.size(); ++K) {
            const int Code = Dims[K];
            if (Code > 0)
                Sizes[K] = Code;
            else if (Code <= -101)
                Sizes[K] = Scaled(-Code - 100, PercentPixels, PercentSum);
            else
                Sizes[K] = static_cast<int>(-Code * Unit);
        }
    } else {
        // Too little room: the pixel sizes shrink in proportion, the rest get nothing.
        for (std::size_t K = 0; K < Dims.size(); ++K)
            Sizes[K] = Dims[K] > 0 ? Scaled(Dims[K], Extent, Fixed) : 0;
    }
    std::int64_t Total = 0;
    for (int S : Sizes)
        Total += S;
    SizeTotal = static_cast<int>(std::min<std::int64_t>(Total, 1 << 30));
    int Before = 0;
    for (int K = 0; K < std::min(Children.Count(), DimCount); ++K) {
        const int S = Sizes[static_cast<std::size_t>(K)];
        if (IsRows)
            Child(K)->SizeChildren(ALeft, ATop + Before, S, AWidth);
        else
            Child(K)->SizeChildren(ALeft + Before, ATop, AHeight, S);
        Before += S;
    }
}

void TSubFrameSet::PlaceChildren()
{
    EdgesFitDims();
    TRect R = ClientRect();
    R.left += OuterBevel;
    R.top += OuterBevel;
    R.right = std::max(R.left, R.right - OuterBevel);
    R.bottom = std::max(R.top, R.bottom - OuterBevel);
    const int Extent = IsRows ? R.bottom - R.top : R.right - R.left;
    int Sum = 0;
    Edges[0] = 0;
    for (int K = 0; K < DimCount; ++K) {
        // With nothing to share out every child is empty (never a negative size).
        const int E =
            SizeTotal > 0 ? std::max(0, MulDiv(Sizes[static_cast<std::size_t>(K)], Extent, SizeTotal)) : 0;
        if (K < Children.Count()) {
            if (IsRows)
                Child(K)->SetBounds(R.left, R.top + Sum, R.right - R.left, E);
            else
                Child(K)->SetBounds(R.left + Sum, R.top, E, R.bottom - R.top);
        }
        Sum += E;
        Edges[static_cast<std::size_t>(K) + 1] = Sum;
    }
}

void TSubFrameSet::Resize()
{
    TFrameBase::Resize();
    PlaceChildren();
}

bool TSubFrameSet::GetResizeLocks(bool& LeftLocked, bool& RightLocked)
{
    EdgesFitDims();
    LeftLocked = RightLocked = false;
    bool Any = false;
    for (int K = 0; K < Children.Count() && K < DimCount; ++K) {
        bool L = false, R = false;
        if (!Child(K)->GetResizeLocks(L, R))
            continue;
        Any = true;
        EdgeLocked[static_cast<std::size_t>(K)] = true;
        EdgeLocked[static_cast<std::size_t>(K) + 1] = true;
        if (K == 0)
            LeftLocked = true;
        if (K == Children.Count() - 1)
            RightLocked = true;
    }
    return Any;
}

bool TSubFrameSet::NearEdge(int X, int Y) const
{
    return std::abs(X) <= EdgeSlack || std::abs(X - Width()) <= EdgeSlack || std::abs(Y) <= EdgeSlack ||
           std::abs(Y - Height()) <= EdgeSlack;
}

TRect TSubFrameSet::DragLineAt(int X, int Y) const
{
    const TPoint P = ClientToScreen(TPoint{X, Y});
    const TPoint Origin = ClientToScreen(TPoint{0, 0});
    if (IsRows)
        return TRect{Origin.x, P.y - 1, Origin.x + Width(), P.y + 1};
    return TRect{P.x - 1, Origin.y, P.x + 1, Origin.y + Height()};
}

void TSubFrameSet::MoveDragLine(const TRect* From, const TRect* To)
{
    // One pass over the overlay: drawing a focus rectangle again takes it away.
    HDC DC = GetDC(nullptr);
    for (const TRect* L : {From, To})
        if (L) {
            RECT R{L->left, L->top, L->right, L->bottom};
            DrawFocusRect(DC, &R);
        }
    ReleaseDC(nullptr, DC);
    if (To)
        DragLine = *To;
}

void TSubFrameSet::EdgeMouseMove(TObject* Sender, TShiftState Shift, int X, int Y)
{
    if (!MasterSet)
        return;
    TFrameBase* Outer = EnclosingPanel();
    TSubFrameSet* Dragging = MasterSet->DragOwner;
    // A drag belongs to the frameset it started in, however far inside the pointer is.
    if (Outer && ((Dragging && Dragging != this) || (!Dragging && NearEdge(X, Y)))) {
        Outer->EdgeMouseMove(Sender, Shift, X + Left(), Y + Top());
        return;
    }
    auto* SenderControl = dynamic_cast<TControl*>(Sender);
    if (Dragging == this) {
        const TRect Line = DragLineAt(X, Y);
        if (Line != DragLine) // the overlay's own pointer notices repeat the position
            MoveDragLine(&DragLine, &Line);
        return;
    }
    if (Dragging)
        return;
    const int C = Across(X, Y);
    HotEdge = 0;
    int Best = 0;
    for (int K = 1; K < DimCount; ++K) {
        const int D = std::abs(C - Edges[static_cast<std::size_t>(K)]);
        if (HotEdge == 0 || D < Best) {
            HotEdge = K;
            Best = D;
        }
    }
    const TCursor Plain = MasterSet->Host ? MasterSet->Host->Cursor() : crIBeam;
    if (SenderControl) {
        if (HotEdge == 0 || Best > DividerSlack || EdgeLocked[static_cast<std::size_t>(HotEdge)])
            SenderControl->SetCursor(Plain);
        else
            SenderControl->SetCursor(IsRows ? crVSplit : crHSplit);
    }
    if (this == static_cast<TSubFrameSet*>(MasterSet) && (HotEdge == 0 || HotEdge == DimCount)) {
        if (SenderControl)
            SenderControl->SetCursor(Plain);
        SetCursor(Plain);
    }
}

void TSubFrameSet::EdgeMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button != mbLeft || !MasterSet)
        return;
    if (NearEdge(X, Y)) {
        if (TFrameBase* Outer = EnclosingPanel())
            Outer->EdgeMouseDown(Sender, Button, Shift, X + Left(), Y + Top());
        return;
    }
    auto* SenderControl = dynamic_cast<TControl*>(Sender);
    if (!SenderControl || (SenderControl->Cursor() != crVSplit && SenderControl->Cursor() != crHSplit) ||
        HotEdge <= 0 || HotEdge >= DimCount)
        return;
    MasterSet->DragOwner = this;
    // The pointer stays between the neighbouring dividers while it drags.
    const auto Lo = Edges[static_cast<std::size_t>(HotEdge) - 1] + 1 + OuterBevel;
    const auto Hi = Edges[static_cast<std::size_t>(HotEdge) + 1] - 1 + OuterBevel;
    TRect Allowed = IsRows ? TRect{0, Lo, Width(), Hi + 1} : TRect{Lo, 0, Hi + 1, Height()};
    const TPoint TL = ClientToScreen(TPoint{Allowed.left, Allowed.top});
    const TPoint BR = ClientToScreen(TPoint{Allowed.right, Allowed.bottom});
    RECT Clip{TL.x, TL.y, BR.x, BR.y};
    ClipCursor(&Clip);
    const TRect Line = DragLineAt(X, Y);
    MoveDragLine(nullptr, &Line);
}

void TSubFrameSet::EdgeMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button != mbLeft || !MasterSet)
        return;
    if (MasterSet->DragOwner != this) {
        if (TFrameBase* Outer = EnclosingPanel())
            Outer->EdgeMouseUp(Sender, Button, Shift, X + Left(), Y + Top());
        return;
    }
    MasterSet->DragOwner = nullptr;
    MoveDragLine(&DragLine, nullptr);
    ClipCursor(nullptr);
    const std::size_t H = static_cast<std::size_t>(HotEdge);
    Edges[H] = std::clamp(Across(X, Y), Edges[H - 1], Edges[H + 1]);
    const int Far = Edges[static_cast<std::size_t>(DimCount)];
    for (std::size_t K = 0; K < static_cast<std::size_t>(DimCount); ++K)
        Sizes[K] = Far > 0 ? std::max(0, MulDiv(Edges[K + 1] - Edges[K], SizeTotal, Far)) : 0;
    PlaceChildren();
    Invalidate();
}

TFrameSet::TFrameSet(TComponent* AOwner, TFrameViewer* AHost) : TSubFrameSet(AOwner, nullptr), Host(AHost)
{
    MasterSet = this;
    BorderWidth = 2;
    NamedFrames.SetSorted(true);
    NamedFrames.Duplicates = dupAccept;
}

TFrameSet::~TFrameSet()
{
    for (int I = Children.Count() - 1; I >= 0; --I)
        Children.Delete(I);
    MasterSet = nullptr;
}

void TFrameSet::Detach()
{
    // The whole tree goes with this set; only the frame viewer's list of busy views knows it.
    if (Host)
        for (int I = 0; I < AllViewers.Count(); ++I)
            Host->BusyViewers.Remove(AllViewers.Items(I));
    if (DragOwner)
        ClipCursor(nullptr);
    DragOwner = nullptr;
}

void TFrameSet::CloseFrameSet(const std::string& ATitle, const std::string& ABaseHref,
                              const std::string& ABaseTarget)
{
    Title = ATitle;
    TSubFrameSet::CloseFrameSet(ATitle, ABaseHref, ABaseTarget);
    const TRect C = ClientRect();
    SizeChildren(C.left, C.top, C.bottom - C.top, C.right - C.left);
}

void TFrameSet::ClearChildFrames()
{
    TSubFrameSet::ClearChildFrames();
    NamedFrames.Clear();
    AllViewers.Clear();
    AllFrames.Clear();
    DragOwner = nullptr;
    Title.clear();
    CurrentFile.clear();
    LastWidth = 0;
    LastHeight = 0;
    FocusedViewer = nullptr;
}

void TFrameSet::RegisterFrames()
{
    AllFrames.Clear();
    TSubFrameSet::RegisterFrames();
}

void TFrameSet::Resize()
{
    TFrameBase::Resize();
    ResizeTop();
}

void TFrameSet::ResizeTop()
{
    TRect R = ClientRect();
    const int W = std::max(0, R.right - R.left - 2 * OuterBevel);
    const int H = std::max(0, R.bottom - R.top - 2 * OuterBevel);
    if (W != LastWidth || H != LastHeight) {
        SizeChildren(R.left + OuterBevel, R.top + OuterBevel, H, W);
        PlaceChildren();
    }
    LastWidth = W;
    LastHeight = H;
}

void TFrameSet::LoadFromFile(const std::string& Name, const std::string& Dest)
{
    ClearChildFrames();
    LoadDepth = 0;
    const bool Image = IsImageName(Name), Text = IsTextName(Name);
    TFrameSource Source;
    bool Requested = false;
    if (!Image && !Text && RequestDocument(Name, Source)) {
        Requested = true;
        CurrentFile = Source.Kind == 0 ? Source.FileName : Name;
    } else {
        Source = TFrameSource{};
        Source.FileName = ExpandFileName(Name);
        CurrentFile = Source.FileName;
    }
    if (Image || Text || !IsFramesetSource(Source)) {
        AppendFrame(nullptr, std::string());
        auto* F = static_cast<TFrame*>(Child(0));
        F->SourceName = Requested ? Name : Source.FileName;
        F->Anchor = Dest;
        TSubFrameSet::CloseFrameSet(std::string(), std::string(), std::string());
        const TRect C = ClientRect();
        SizeChildren(C.left, C.top, C.bottom - C.top, C.right - C.left);
        F->LoadSources();
        if (F->Viewer) {
            Title = F->Viewer->GetDocumentTitle();
            BaseHref = F->Viewer->GetBase();
            BaseTarget = F->Viewer->GetBaseTarget();
        }
        LastWidth = LastHeight = -1;
        ResizeTop();
        return;
    }
    THtmlParser Parser;
    Parser.FramesetParse(this, Source.Kind, Source.Kind == 0 ? Source.FileName : Name, Source.Buffer,
                         Source.Size, Source.Stream, Source.Strings);
    LoadSources();
    LastWidth = LastHeight = -1;
    ResizeTop();
    bool L = false, R = false;
    GetResizeLocks(L, R);
}

bool TFrameSet::UsesRequests() const
{
    return Host &&
           (Host->OnStringsRequest || Host->OnStreamRequest || Host->OnBufferRequest || Host->OnFileRequest);
}

bool TFrameSet::RequestDocument(const std::string& Name, TFrameSource& Source)
{
    Source = TFrameSource{};
    if (!Host)
        return false;
    if (Host->OnStringsRequest) {
        Host->OnStringsRequest(this, Name, Source.Strings);
        Source.Kind = 2;
        return Source.Strings != nullptr;
    }
    if (Host->OnStreamRequest) {
        Host->OnStreamRequest(this, Name, Source.Stream);
        Source.Kind = 3;
        return Source.Stream != nullptr;
    }
    if (Host->OnBufferRequest) {
        const char* Buffer = nullptr;
        std::int32_t Size = 0;
        Host->OnBufferRequest(this, Name, Buffer, Size);
        Source.Kind = 1;
        Source.Buffer = Buffer;
        Source.Size = Size > 0 ? static_cast<std::size_t>(Size) : 0;
        return Buffer && Size > 0;
    }
    if (Host->OnFileRequest) {
        Host->OnFileRequest(this, Name, Source.FileName);
        Source.Kind = 0;
        return !Source.FileName.empty();
    }
    return false;
}

void TFrameSet::DropForwardVisits()
{
    std::vector<TSubFrameSet*> Candidates;
    for (int I = 0; I < AllFrames.Count(); ++I) {
        auto* F = static_cast<TFrame*>(AllFrames.Items(I));
        for (int K = 0; K < F->VisitIndex && F->Visits.Count() > 0; ++K) {
            if (auto* Set = dynamic_cast<TSubFrameSet*>(F->Visits.Objects(0));
                Set && std::find(Candidates.begin(), Candidates.end(), Set) == Candidates.end())
                Candidates.push_back(Set);
            F->Visits.Delete(0);
            F->VisitPositions.Delete(0);
        }
        F->VisitIndex = 0;
    }
    for (TSubFrameSet* Set : Candidates) {
        bool Named = false;
        for (int I = 0; I < AllFrames.Count() && !Named; ++I) {
            auto* F = static_cast<TFrame*>(AllFrames.Items(I));
            Named = F->NestedSet == Set || F->Visits.IndexOfObject(Set) >= 0;
        }
        if (Named)
            continue;
        Set->Detach();
        if (Host)
            Host->FreeLater(Set);
        else
            delete Set;
    }
}

THTMLViewer* TFrameSet::CurrentViewer() const
{
    if (AllViewers.Count() == 1)
        return static_cast<THTMLViewer*>(AllViewers.Items(0));
    return FocusedViewer;
}

void TFrameSet::ViewerEntered(TObject* Sender)
{
    if (auto* V = dynamic_cast<THTMLViewer*>(Sender); V && AllViewers.IndexOf(V) >= 0)
        FocusedViewer = V;
}

TScriptEvent TFrameSet::ScriptHandler() const
{
    return Host ? Host->OnScript() : TScriptEvent();
}

// ---------------------------------------------------------------------------------------------
// The frame viewer

TFrameViewer::TFrameViewer(TComponent* AOwner) : TWinControl(AOwner)
{
    SetBounds(0, 0, 150, 150);
    SetTabStop(true);
    TControl::SetCursor(crIBeam);
    ShownSet = new TFrameSet(this, this);
    ShownSet->OuterBevel = 2;
    ShownSet->SetBevelOuter(bvLowered);
    ShownSet->SetBevelWidth(2);
    ShownSet->SetAlign(alClient);
    ShownSet->SetParent(this);
}

TFrameViewer::~TFrameViewer()
{
    FDestroying = true;
    FreePending();
    // History framesets and the shown one are children of this control and go with it.
    for (int I = PageNames.Count() - 1; I >= 0; --I) {
        auto* Set = dynamic_cast<TFrameSet*>(PageNames.Objects(I));
        PageNames.Delete(I);
        if (Set && Set != ShownSet && PageNames.IndexOfObject(Set) < 0)
            delete Set;
    }
    delete ShownSet;
    ShownSet = nullptr;
}

void TFrameViewer::FreeLater(TControl* Control)
{
    if (!Control)
        return;
    if (auto* Panel = dynamic_cast<TFrameBase*>(Control))
        Panel->Detach();
    if (FDestroying || !HandleAllocated()) {
        // No window of the tree exists, so none of its handlers can be running.
        delete Control;
        return;
    }
    Control->SetVisible(false);
    if (Control->Owner() != this) {
        if (Control->Owner())
            Control->Owner()->RemoveComponent(Control);
        InsertComponent(Control);
    }
    if (Control->Parent() != this)
        Control->SetParent(this);
    FPending.push_back(Control);
    if (!FFreePosted) {
        FFreePosted = true;
        PostMessage(Handle(), WM_FREE_PENDING, 0, 0);
    }
}

void TFrameViewer::FreePending()
{
    std::vector<TControl*> Pending;
    Pending.swap(FPending);
    for (TControl* C : Pending)
        delete C;
}

void TFrameViewer::WMFreePending(TMessage& Message)
{
    (void)Message;
    FFreePosted = false;
    FreePending();
}

void TFrameViewer::SetProcessingOn(bool On)
{
    Loading = On;
    if (OnProcessing)
        OnProcessing(this, On);
}

void TFrameViewer::LoadFromFile(const std::string& Name)
{
    if (IsProcessing())
        return;
    std::string File, Dest;
    SplitAnchor(Name, File, Dest);
    if (!FileExists(File))
        throw EInOutError("Can't locate file: " + File);
    LoadFrameDocument(Name);
}

void TFrameViewer::LoadFrameDocument(const std::string& Name)
{
    SetProcessingOn(true);
    struct TEnd {
        TFrameViewer* V;
        ~TEnd() { V->SetProcessingOn(false); }
    } End{this};
    std::string File, Dest;
    SplitAnchor(Name, File, Dest);
    BusyViewers.Clear();
    ViewersBusy = false;
    if (SameText(File, ShownSet->CurrentFile) ||
        (!ShownSet->CurrentFile.empty() && SameText(ExpandFileName(File), ShownSet->CurrentFile))) {
        const TViewPosition OldPos = OnlyViewerPosition(ShownSet);
        ShownSet->LoadFromFile(File, Dest);
        AddPositionHistory(OldPos);
        return;
    }
    TFrameSet* Old = ShownSet;
    auto* New = new TFrameSet(this, this);
    New->SetVisible(false);
    New->SetAlign(alClient);
    New->SetParent(this);
    New->SetBoundsRect(ClientRect());
    ShownSet = New;
    try {
        New->LoadFromFile(File, Dest);
    } catch (...) {
        ShownSet = Old;
        FreeLater(New);
        throw;
    }
    const TViewPosition OldPos = OnlyViewerPosition(Old);
    Old->UnloadSources();
    New->Show();
    New->Repaint();
    Old->Hide();
    AddFrameSetHistory(Old, OldPos);
}

const std::string& TFrameViewer::GetDocumentTitle() const
{
    return ShownSet->Title;
}

THTMLViewer* TFrameViewer::ActiveFrameViewer() const
{
    return ShownSet->CurrentViewer();
}

int TFrameViewer::SelLength() const
{
    THTMLViewer* V = ActiveFrameViewer();
    return V ? V->SelLength() : 0;
}

void TFrameViewer::SetSelLength(int Value)
{
    if (THTMLViewer* V = ActiveFrameViewer())
        V->SetSelLength(Value);
}

bool TFrameViewer::FwdButtonEnabled() const
{
    if (PageIndex > 0)
        return true;
    for (int I = 0; I < ShownSet->AllFrames.Count(); ++I)
        if (static_cast<TFrame*>(ShownSet->AllFrames.Items(I))->VisitIndex > 0)
            return true;
    return false;
}

bool TFrameViewer::BackButtonEnabled() const
{
    if (PageIndex <= PageNames.Count() - 2)
        return true;
    for (int I = 0; I < ShownSet->AllFrames.Count(); ++I) {
        auto* F = static_cast<TFrame*>(ShownSet->AllFrames.Items(I));
        if (F->VisitIndex <= F->Visits.Count() - 2)
            return true;
    }
    return false;
}

namespace {

// The framesets around a view, innermost first, up to the shown one.
template <class F> std::string FromEnclosingSets(THTMLViewer* V, TFrameSet* Top, F Take)
{
    for (TControl* C = V ? V->Parent() : nullptr; C; C = C->Parent()) {
        if (auto* Set = dynamic_cast<TSubFrameSet*>(C); Set && !Take(Set).empty())
            return Take(Set);
        if (C == Top)
            break;
    }
    return std::string();
}

} // namespace

std::string TFrameViewer::GetActiveBase() const
{
    THTMLViewer* V = ActiveFrameViewer();
    if (!V)
        return std::string();
    if (!V->GetBase().empty())
        return V->GetBase();
    return FromEnclosingSets(V, ShownSet, [](TSubFrameSet* S) { return S->BaseHref; });
}

std::string TFrameViewer::GetActiveBaseTarget() const
{
    THTMLViewer* V = ActiveFrameViewer();
    if (!V)
        return std::string();
    if (!V->GetLinkTarget().empty())
        return V->GetLinkTarget();
    if (!V->GetBaseTarget().empty())
        return V->GetBaseTarget();
    return FromEnclosingSets(V, ShownSet, [](TSubFrameSet* S) { return S->BaseTarget; });
}

std::string TFrameViewer::ResolveFileName(const std::string& URL)
{
    const std::string Name = LinkToDosName(TrimBlanks(URL));
    if (Name.empty() || Name[0] == '/' || THTMLViewer::IsWebAddress(Name))
        return Name.empty() || THTMLViewer::IsWebAddress(Name) ? Name : MapPath(Name);
    const std::string Base = GetActiveBase();
    if (SameText(Base, "DosPath"))
        return Name;
    if (!Base.empty())
        return MapPath(ExtractFilePath(LinkToDosName(Base)) + Name);
    if (THTMLViewer* V = ActiveFrameViewer(); V && !V->GetCurrentFile().empty())
        return V->ResolveFileName(Name);
    return MapPath(ExtractFilePath(ShownSet->CurrentFile) + Name);
}

void TFrameViewer::FrameHotSpotClick(TObject* Sender, const std::string& URL, bool& Handled)
{
    if (IsProcessing()) {
        Handled = true;
        return;
    }
    auto* Clicked = dynamic_cast<THTMLViewer*>(Sender);
    if (Clicked && ShownSet->AllViewers.IndexOf(Clicked) >= 0)
        ShownSet->FocusedViewer = Clicked;
    LastUrl = URL;
    LastTarget = GetActiveBaseTarget();
    if (OnHotSpotTargetClick) {
        OnHotSpotTargetClick(this, LastTarget, LastUrl, Handled);
        if (Handled)
            return;
    }
    Handled = true;
    const std::string Target = LastTarget;
    TFrame* ClickFrame = Clicked ? dynamic_cast<TFrame*>(Clicked->Owner()) : nullptr;
    TFrameBase* Destination = nullptr;
    int Found = -1;
    if (Target.empty() || SameText(Target, "_self")) {
        Destination = ClickFrame;
    } else if (ShownSet->NamedFrames.Find(UpperCase(Target), Found)) {
        Destination = dynamic_cast<TFrame*>(ShownSet->NamedFrames.Objects(Found));
    } else if (SameText(Target, "_top")) {
        Destination = ShownSet;
    } else if (SameText(Target, "_parent")) {
        for (TComponent* C = ClickFrame ? ClickFrame->Owner() : nullptr; C && !Destination; C = C->Owner())
            if (dynamic_cast<TFrame*>(C) || dynamic_cast<TFrameSet*>(C))
                Destination = static_cast<TFrameBase*>(dynamic_cast<TFrameBase*>(C));
    } else {
        if (OnBlankWindowRequest)
            OnBlankWindowRequest(this, Target, URL);
        return;
    }
    if (!Destination)
        return;
    std::string Name, Dest;
    SplitAnchor(URL, Name, Dest);
    // A page on the web is for the program's own handlers; the frames show only files.
    if (THTMLViewer::IsWebAddress(Name) && !ShownSet->UsesRequests())
        return;
    if (!Name.empty() && !ShownSet->UsesRequests() && Clicked)
        Name = Clicked->ResolveFileName(Name);
    SetProcessingOn(true);
    struct TEnd {
        TFrameViewer* V;
        ~TEnd() { V->SetProcessingOn(false); }
    } End{this};
    if (dynamic_cast<TFrame*>(Destination) && ShownSet->AllViewers.Count() == 1 && !Name.empty() &&
        !SameText(Name, ShownSet->CurrentFile))
        Destination = ShownSet;
    if (auto* F = dynamic_cast<TFrame*>(Destination)) {
        F->Navigate(Name, Dest, true);
    } else if (Destination == ShownSet) {
        const std::string File = Name.empty() ? ShownSet->CurrentFile : Name;
        if (!ShownSet->UsesRequests() && !FileExists(File))
            throw EInOutError("Can't locate file: " + File);
        LoadFrameDocument(File + Dest);
    } else if (auto* Set = dynamic_cast<TSubFrameSet*>(Destination)) {
        Set->LoadFromFile(Name, Dest);
    }
}

void TFrameViewer::FrameLinkCovered(TObject* Sender, const std::string& URL)
{
    if (!OnHotSpotTargetCovered)
        return;
    auto* V = dynamic_cast<THTMLViewer*>(Sender);
    OnHotSpotTargetCovered(Sender, V ? V->GetLinkTarget() : std::string(), URL);
}

void TFrameViewer::ViewerBusyChanged(TObject* Viewer, bool Busy)
{
    const bool Before = IsProcessing();
    if (Busy) {
        if (BusyViewers.IndexOf(Viewer) < 0)
            BusyViewers.Add(Viewer);
    } else {
        BusyViewers.Remove(Viewer);
    }
    ViewersBusy = BusyViewers.Count() > 0;
    if (IsProcessing() != Before && OnProcessing)
        OnProcessing(this, IsProcessing());
}

// ---- History ----

void TFrameViewer::DeletePage(int Index)
{
    auto* Set = dynamic_cast<TFrameSet*>(PageNames.Objects(Index));
    PageNames.Delete(Index);
    PageTitles.Delete(Index);
    PagePositions.erase(PagePositions.begin() + Index);
    ReleaseHistoryFrameSet(Set);
}

void TFrameViewer::PushPage()
{
    for (int I = 0; I < PageIndex && PageNames.Count() > 0; ++I)
        DeletePage(0);
    PageIndex = 0;
    PageNames.InsertObject(0, ShownSet->CurrentFile, ShownSet);
    PageTitles.Insert(0, ShownSet->Title);
    PagePositions.insert(PagePositions.begin(), TViewPosition{});
    if (PageNames.Count() > FHistoryMaxCount)
        DeletePage(FHistoryMaxCount);
    if (OnHistoryChange)
        OnHistoryChange(this);
}

void TFrameViewer::AddFrameSetHistory(TFrameSet* OldFrameSet, const TViewPosition& OldPos)
{
    if (FHistoryMaxCount <= 0 || ShownSet->CurrentFile.empty()) {
        FreeLater(OldFrameSet);
        return;
    }
    if (PageNames.Count() == 0) {
        FreeLater(OldFrameSet);
    } else {
        PageNames.SetStrings(PageIndex, OldFrameSet->CurrentFile);
        PageNames.SetObjects(PageIndex, OldFrameSet);
        PageTitles.SetStrings(PageIndex, OldFrameSet->Title);
        PagePositions[static_cast<std::size_t>(PageIndex)] = OldPos;
        OldFrameSet->DropForwardVisits();
    }
    PushPage();
}

void TFrameViewer::AddFrameHistory(const std::string& OldName, const std::string& OldTitle,
                                   const TViewPosition& OldPos)
{
    if (FHistoryMaxCount <= 0 || OldName.empty())
        return;
    if (PageNames.Count() > 0) {
        PageNames.SetStrings(PageIndex, OldName);
        PageNames.SetObjects(PageIndex, ShownSet);
        PageTitles.SetStrings(PageIndex, OldTitle);
        PagePositions[static_cast<std::size_t>(PageIndex)] = OldPos;
    }
    PushPage();
}

void TFrameViewer::AddPositionHistory(const TViewPosition& OldPos)
{
    if (FHistoryMaxCount <= 0 || ShownSet->CurrentFile.empty())
        return;
    if (PageNames.Count() > 0) {
        PageNames.SetStrings(PageIndex, ShownSet->CurrentFile);
        PageNames.SetObjects(PageIndex, ShownSet);
        PageTitles.SetStrings(PageIndex, ShownSet->Title);
        PagePositions[static_cast<std::size_t>(PageIndex)] = OldPos;
    }
    PushPage();
}

void TFrameViewer::ReleaseHistoryFrameSet(TFrameSet* FrameSet)
{
    if (!FrameSet || FrameSet == ShownSet || PageNames.IndexOfObject(FrameSet) >= 0)
        return;
    FreeLater(FrameSet);
}

void TFrameViewer::ClearHistory()
{
    const bool Had = PageNames.Count() > 0;
    for (int I = PageNames.Count() - 1; I >= 0; --I)
        DeletePage(I);
    PageIndex = 0;
    if (Had && OnHistoryChange)
        OnHistoryChange(this);
}

// ---- Properties ----

template <class F> void TFrameViewer::ForEachViewer(F Each) const
{
    for (int I = 0; I < ShownSet->AllViewers.Count(); ++I)
        Each(static_cast<THTMLViewer*>(ShownSet->AllViewers.Items(I)));
}

void TFrameViewer::SetViewImages(bool Value)
{
    if (Value == FViewImages || IsProcessing())
        return;
    FViewImages = Value;
    ForEachViewer([&](THTMLViewer* V) { V->SetViewImages(Value); });
}

void TFrameViewer::SetImageCacheCount(int Value)
{
    if (Value == FImageCacheCount || IsProcessing())
        return;
    FImageCacheCount = Value;
    ForEachViewer([&](THTMLViewer* V) { V->SetImageCacheCount(Value); });
}

void TFrameViewer::SetNoSelect(bool Value)
{
    if (Value == FNoSelect)
        return;
    FNoSelect = Value;
    ForEachViewer([&](THTMLViewer* V) { V->SetNoSelect(Value); });
}

void TFrameViewer::SetHistoryMaxCount(int Value)
{
    if (Value == FHistoryMaxCount || Value < 0)
        return;
    ClearHistory();
    FHistoryMaxCount = Value;
    ForEachViewer([&](THTMLViewer* V) {
        V->ClearHistory();
        V->SetHistoryMaxCount(Value);
    });
}

void TFrameViewer::SetDefBackground(TColor Value)
{
    if (Value == FDefBackground)
        return;
    FDefBackground = Value;
    ForEachViewer([&](THTMLViewer* V) { V->SetDefBackground(Value); });
    SetColor(Value);
}

void TFrameViewer::SetDefFontName(const std::string& Value)
{
    const std::string V31 = Value.substr(0, 31);
    if (SameText(V31, FDefFontName))
        return;
    FDefFontName = V31;
    ForEachViewer([&](THTMLViewer* V) { V->SetDefFontName(V31); });
}

void TFrameViewer::SetDefPreFontName(const std::string& Value)
{
    const std::string V31 = Value.substr(0, 31);
    if (SameText(V31, FDefPreFontName))
        return;
    FDefPreFontName = V31;
    ForEachViewer([&](THTMLViewer* V) { V->SetDefPreFontName(V31); });
}

void TFrameViewer::SetDefFontSize(int Value)
{
    if (Value == FDefFontSize)
        return;
    FDefFontSize = Value;
    ForEachViewer([&](THTMLViewer* V) { V->SetDefFontSize(Value); });
}

void TFrameViewer::SetDefFontColor(TColor Value)
{
    if (Value == FDefFontColor)
        return;
    FDefFontColor = Value;
    ForEachViewer([&](THTMLViewer* V) { V->SetDefFontColor(Value); });
}

void TFrameViewer::SetDefHotSpotColor(TColor Value)
{
    if (Value == FDefHotSpotColor)
        return;
    FDefHotSpotColor = Value;
    ForEachViewer([&](THTMLViewer* V) { V->SetDefHotSpotColor(Value); });
}

void TFrameViewer::SetCursor(TCursor Value)
{
    if (Value == Cursor())
        return;
    TControl::SetCursor(Value);
    ForEachViewer([&](THTMLViewer* V) { V->SetCursor(Value); });
}

void TFrameViewer::SetMargin(int Index, double Value)
{
    if (Value == FMargins[Index])
        return;
    FMargins[Index] = Value;
    ForEachViewer([&](THTMLViewer* V) {
        double* M[] = {&V->PrintMarginLeft, &V->PrintMarginRight, &V->PrintMarginTop, &V->PrintMarginBottom};
        *M[Index] = Value;
    });
}

void TFrameViewer::SetOnFormSubmit(TFormSubmitEvent Value)
{
    FOnFormSubmit = std::move(Value);
    ForEachViewer([&](THTMLViewer* V) { V->SetOnFormSubmit(FOnFormSubmit); });
}

void TFrameViewer::SetOnBitmapRequest(TGetBitmapEvent Value)
{
    FOnBitmapRequest = std::move(Value);
    ForEachViewer([&](THTMLViewer* V) { V->SetOnBitmapRequest(FOnBitmapRequest); });
}

void TFrameViewer::SetOnImageRequest(TGetImageEvent Value)
{
    FOnImageRequest = std::move(Value);
    ForEachViewer([&](THTMLViewer* V) { V->SetOnImageRequest(FOnImageRequest); });
}

void TFrameViewer::SetOnScript(TScriptEvent Value)
{
    FOnScript = std::move(Value);
    ForEachViewer([&](THTMLViewer* V) { V->SetOnScript(FOnScript); });
}

void TFrameViewer::SetOnPrintHeader(TPagePrinted Value)
{
    FOnPrintHeader = std::move(Value);
    ForEachViewer([&](THTMLViewer* V) { V->OnPrintHeader = FOnPrintHeader; });
}

void TFrameViewer::SetOnPrintFooter(TPagePrinted Value)
{
    FOnPrintFooter = std::move(Value);
    ForEachViewer([&](THTMLViewer* V) { V->OnPrintFooter = FOnPrintFooter; });
}

TW_PUBLISH(TFrameViewer, TWinControl)
{
    Cls.Message(WM_FREE_PENDING, &TFrameViewer::WMFreePending);

    Cls.Bool("ViewImages", &TFrameViewer::ViewImages, &TFrameViewer::SetViewImages).Default(true);
    Cls.Int("ImageCacheCount", &TFrameViewer::ImageCacheCount, &TFrameViewer::SetImageCacheCount).Default(5);
    Cls.Bool("NoSelect", &TFrameViewer::NoSelect, &TFrameViewer::SetNoSelect).Default(false);
    Cls.Int("HistoryMaxCount", &TFrameViewer::HistoryMaxCount, &TFrameViewer::SetHistoryMaxCount).Default(0);
    Cls.Color("DefBackground", &TFrameViewer::DefBackground, &TFrameViewer::SetDefBackground)
        .Default(clBtnFace);
    Cls.Str("DefFontName", &TFrameViewer::DefFontName, &TFrameViewer::SetDefFontName);
    Cls.Str("DefPreFontName", &TFrameViewer::DefPreFontName, &TFrameViewer::SetDefPreFontName);
    Cls.Int("DefFontSize", &TFrameViewer::DefFontSize, &TFrameViewer::SetDefFontSize).Default(12);
    Cls.Color("DefFontColor", &TFrameViewer::DefFontColor, &TFrameViewer::SetDefFontColor).Default(clBtnText);
    Cls.Color("DefHotSpotColor", &TFrameViewer::DefHotSpotColor, &TFrameViewer::SetDefHotSpotColor)
        .Default(clBlue);
    Cls.Cursor("Cursor", &TFrameViewer::Cursor, &TFrameViewer::SetCursor).Default(crIBeam);
    Cls.Float("PrintMarginLeft", &TFrameViewer::PrintMarginLeft, &TFrameViewer::SetPrintMarginLeft);
    Cls.Float("PrintMarginRight", &TFrameViewer::PrintMarginRight, &TFrameViewer::SetPrintMarginRight);
    Cls.Float("PrintMarginTop", &TFrameViewer::PrintMarginTop, &TFrameViewer::SetPrintMarginTop);
    Cls.Float("PrintMarginBottom", &TFrameViewer::PrintMarginBottom, &TFrameViewer::SetPrintMarginBottom);
    Cls.Event("OnHotSpotTargetClick", &TFrameViewer::OnHotSpotTargetClick);
    Cls.Event("OnHotSpotTargetCovered", &TFrameViewer::OnHotSpotTargetCovered);
    Cls.Event("OnBlankWindowRequest", &TFrameViewer::OnBlankWindowRequest);
    Cls.Event("OnHistoryChange", &TFrameViewer::OnHistoryChange);
    Cls.Event("OnProcessing", &TFrameViewer::OnProcessing);
    Cls.Event("OnStreamRequest", &TFrameViewer::OnStreamRequest);
    Cls.Event("OnBufferRequest", &TFrameViewer::OnBufferRequest);
    Cls.Event("OnStringsRequest", &TFrameViewer::OnStringsRequest);
    Cls.Event("OnFileRequest", &TFrameViewer::OnFileRequest);
}
