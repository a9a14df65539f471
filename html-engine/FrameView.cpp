#include "html-engine/FrameView.h"

#include "platform/rtl/SysUtils.h"

#include <algorithm>

namespace {

bool IsDigit(char C)
{
    return C >= '0' && C <= '9';
}

// A frame border wider than this is no border anyone draws; it only costs painting time.
constexpr int MaxFrameBorder = 100;

// A frame's SRC as a file name: resolved against the BASE HREF read so far, else against the
// frameset document's directory. Names with a scheme or an absolute path stay as they are.
std::string FrameFileName(const std::string& Src, const std::string& Directory, const std::string& BaseHref)
{
    const std::string Name = LinkToDosName(Src);
    if (Name.empty() || Name.find(':') != std::string::npos || Name[0] == '/')
        return Name;
    if (BaseHref.empty())
        return Directory + Name;
    if (SameText(BaseHref, "DosPath"))
        return ExpandFileName(Name);
    return ExtractFilePath(LinkToDosName(BaseHref)) + Name;
}

} // namespace

int ParseDimensions(const std::string& Text, std::array<std::int16_t, TSubFrameSet::MaxDims>& Dims)
{
    const std::size_t N = Text.size();
    std::size_t I = 0;
    int Count = 0;
    while (Count < TSubFrameSet::MaxDims) {
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
        Dims[static_cast<std::size_t>(Count++)] = static_cast<std::int16_t>(Code);
        while (I < N && Text[I] != ',')
            ++I;
        if (I >= N)
            break;
        ++I;
    }
    return Count;
}

// ---------------------------------------------------------------------------------------------
// Frames

TFrame::TFrame(TSubFrameSet* AOwner, const std::string& Directory, const std::string& BaseHref,
               TFrameSet* AMasterSet, TAttributeList* Attributes)
    : TFrameBase(AOwner, AMasterSet), ParentSet(AOwner)
{
    SetBevelInner(bvNone);
    if (AOwner && AOwner->BorderWidth > 0) {
        SetBevelOuter(bvLowered);
        SetBevelWidth(AOwner->BorderWidth);
    } else {
        SetBevelOuter(bvNone);
    }
    SetParentColor(true);
    for (int I = 0; Attributes && I < Attributes->Count(); ++I) {
        TAttribute* A = Attributes->Attr(I);
        switch (A->Which) {
        case NameSy:
            FrameName = A->Text;
            break;
        case SrcSy: {
            std::string Name = TrimBlanks(A->Text);
            const std::size_t Hash = Name.find('#');
            Anchor.clear();
            if (Hash != std::string::npos) {
                Anchor = Name.substr(Hash);
                Name.erase(Hash);
            }
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
}

TFrame::~TFrame()
{
    if (!MasterSet)
        return;
    TStringList& Names = MasterSet->NamedFrames;
    for (int I = Names.Count() - 1; I >= 0; --I)
        if (Names.Objects(I) == this)
            Names.Delete(I);
    MasterSet->AllFrames.Remove(this);
}

// ---------------------------------------------------------------------------------------------
// Framesets

TSubFrameSet::TSubFrameSet(TComponent* AOwner, TFrameSet* AMasterSet) : TFrameBase(AOwner, AMasterSet)
{
    SetBevelInner(bvNone);
    SetBevelOuter(bvNone);
    if (AMasterSet)
        BorderWidth = AMasterSet->BorderWidth;
}

TSubFrameSet::~TSubFrameSet()
{
    // The children leave the frame viewer's lists while those still exist.
    for (int I = Children.Count() - 1; I >= 0; --I)
        Children.Delete(I);
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
    // Sizes exist for MaxDims children only.
    if (Children.Count() >= MaxDims)
        return;
    AddChild(new TFrame(this, ExtractFilePath(FileName), BaseHref, MasterSet, Attributes));
}

TSubFrameSet* TSubFrameSet::AppendFrameSet()
{
    if (Children.Count() >= MaxDims)
        return nullptr;
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
        DimCount = ParseDimensions(A->Text, Dims);
    }
    if (Attributes->Find(ColsSy, A) && DimCount <= 1) {
        IsRows = false;
        DimCount = ParseDimensions(A->Text, Dims);
    }
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
    while (DimCount < Children.Count() && DimCount < MaxDims)
        Dims[static_cast<std::size_t>(DimCount++)] = -1;
    while (Children.Count() < DimCount)
        AppendFrame(nullptr, std::string());
    BaseHref = ABaseHref;
    BaseTarget = ABaseTarget;
}

void TSubFrameSet::ClearChildFrames()
{
    for (int I = Children.Count() - 1; I >= 0; --I)
        Children.Delete(I);
    DimCount = 0;
    Fresh = true;
    IsRows = false;
    EdgeLocked.fill(false);
    Edges.fill(0);
    BaseHref.clear();
    BaseTarget.clear();
}

TFrameSet::TFrameSet(TComponent* AOwner, TFrameViewer* AHost) : TSubFrameSet(AOwner, nullptr), Host(AHost)
{
    MasterSet = this;
    BorderWidth = 2;
    NamedFrames.SetSorted(true);
}

TFrameSet::~TFrameSet()
{
    ClearChildFrames();
}

void TFrameSet::CloseFrameSet(const std::string& ATitle, const std::string& ABaseHref,
                              const std::string& ABaseTarget)
{
    Title = ATitle;
    TSubFrameSet::CloseFrameSet(ATitle, ABaseHref, ABaseTarget);
    // Sizing the children over the client rectangle comes with the frames' layout.
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

bool TFrameSet::UsesRequests() const
{
    return Host &&
           (Host->OnStringsRequest || Host->OnStreamRequest || Host->OnBufferRequest || Host->OnFileRequest);
}

TScriptEvent TFrameSet::ScriptHandler() const
{
    return Host ? Host->OnScript : TScriptEvent();
}
