#include "html-engine/HtmlViewCtl.h"

#include "html-engine/HtmlSections.h"
#include "platform/controls/Forms.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>

namespace {

constexpr UINT WM_DELIVER_SUBMIT = WM_USER + 100;
constexpr UINT WM_REDRAW_FRAME = WM_USER + 101;
constexpr UINT WM_AUTO_SCROLL = WM_USER + 102;

// Restores the screen cursor when a load or a switch ends, however it ends.
struct THourGlass {
    TCursor Old;
    THourGlass() : Old(ScreenInstance()->Cursor()) { ScreenInstance()->SetCursor(crHourGlass); }
    ~THourGlass() { ScreenInstance()->SetCursor(Old); }
};

// Processing on for a scope (off again on every way out).
struct TProcessingScope {
    THTMLViewer* Viewer;
    explicit TProcessingScope(THTMLViewer* V) : Viewer(V) { Viewer->SetProcessing(true); }
    ~TProcessingScope() { Viewer->SetProcessing(false); }
};

std::string EscapeAttribute(const std::string& S)
{
    std::string R;
    R.reserve(S.size() + 16);
    for (char C : S) {
        switch (C) {
        case '&':
            R += "&amp;";
            break;
        case '"':
            R += "&quot;";
            break;
        case '<':
            R += "&lt;";
            break;
        case '>':
            R += "&gt;";
            break;
        default:
            R += C;
        }
    }
    return R;
}

} // namespace

// ---- TPaintPanel --------------------------------------------------------------------------------

TPaintPanel::TPaintPanel(TComponent* AOwner, THTMLViewer* Viewer) : TCustomControl(AOwner), FViewer(Viewer)
{
    ControlStyle.Exclude(csSetCaption);
}

// ---- TBorderBox ---------------------------------------------------------------------------------

TBorderBox::TBorderBox(TComponent* AOwner) : TGraphicControl(AOwner) {}

void TBorderBox::Paint()
{
    if (OnPaint)
        OnPaint(this);
}

void TPaintPanel::Paint()
{
    if (FViewer->NoPaint() || !FViewer->SectionList())
        return;
    TCanvas* C = Canvas();
    C->SetFont(Font());
    C->Brush()->SetColor(Color());
    HDC DC = C->Handle();
    RECT R{};
    GetClipBox(DC, &R);
    const int W = R.right - R.left, H = R.bottom - R.top;
    if (W <= 0 || H <= 0)
        return;
    HDC MemDC = CreateCompatibleDC(DC);
    HBITMAP Bitmap = MemDC ? CreateCompatibleBitmap(DC, W, H) : nullptr;
    if (!Bitmap) {
        if (MemDC)
            DeleteDC(MemDC);
        throw EOutOfResources("Out of Resources");
    }
    HGDIOBJ OldBitmap = SelectObject(MemDC, Bitmap);
    SetWindowOrgEx(MemDC, R.left, R.top, nullptr);
    TCanvas Temp;
    Temp.SetHandle(MemDC);
    Temp.SetFont(Font());
    FCanvas2 = &Temp;
    auto Cleanup = [&] {
        FCanvas2 = nullptr;
        Temp.SetHandle(nullptr);
        SelectObject(MemDC, OldBitmap);
        DeleteDC(MemDC);
        DeleteObject(Bitmap);
    };
    try {
        DrawBackground(&Temp);
        if (OnPaint)
            OnPaint(this);
        BitBlt(DC, R.left, R.top, W, H, MemDC, R.left, R.top, SRCCOPY);
    } catch (...) {
        Cleanup();
        throw;
    }
    Cleanup();
    if (FViewer->HandleAllocated())
        PostMessage(FViewer->Handle(), WM_REDRAW_FRAME, 0, 0);
}

void TPaintPanel::DrawBackground(TCanvas* ACanvas)
{
    TRect Clip = ACanvas->ClipRect();
    ACanvas->Brush()->SetColor(Color() | clPaletteRelative);
    ACanvas->Brush()->SetStyle(bsSolid);
    TSectionList* Doc = FViewer->SectionList();
    TBitmap* Bmp = Doc->ShowImages ? Doc->BackgroundBitmap : nullptr;
    if (Bmp && Bmp->Width() > 0 && Bmp->Height() > 0) {
        try {
            // Tiles sit in document coordinates, so they scroll with the text.
            const int BW = Bmp->Width(), BH = Bmp->Height();
            const int V = FViewer->VScrollPosition(), HP = FViewer->HScrollPosition();
            int Y = (V / BH) * BH - V;
            while (Y + BH <= Clip.top)
                Y += BH;
            int X0 = (HP / BW) * BW - HP;
            while (X0 + BW <= Clip.left)
                X0 += BW;
            for (; Y < Clip.bottom; Y += BH)
                for (int X = X0; X < Clip.right; X += BW)
                    ACanvas->Draw(X, Y, Bmp);
            return;
        } catch (const Exception&) {
            // A tile that cannot be drawn leaves the plain fill.
        }
    }
    ACanvas->FillRect(Clip);
}

void TPaintPanel::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        if (FErasePending && Message.WParam) {
            TCanvas C;
            C.SetHandle(reinterpret_cast<HDC>(Message.WParam));
            DrawBackground(&C);
            C.SetHandle(nullptr);
            FErasePending = false;
        }
        Message.Result = 1;
        return;
    default:
        break;
    }
    TCustomControl::Dispatch(Message);
}

// ---- T32ScrollBar -------------------------------------------------------------------------------

void T32ScrollBar::SetParams(int APosition, int APage, int AMin, int AMax)
{
    if (APosition == FPos && APage == FPage && AMin == FMin32 && AMax == FMax32)
        return;
    FPos = APosition;
    FPage = APage;
    FMin32 = AMin;
    FMax32 = AMax;
    SCROLLINFO Info;
    Info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    Info.nMin = AMin;
    Info.nMax = AMax;
    Info.nPage = static_cast<UINT>(std::max(0, APage));
    Info.nPos = APosition;
    if (HandleAllocated())
        SetScrollInfo(Handle(), SB_CTL, &Info, TRUE);
    else
        Perform(SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&Info));
}

void T32ScrollBar::Dispatch(TMessage& Message)
{
    if (Message.Msg == CN_VSCROLL) {
        // The track position of the message is only 16 bits; the viewer reads the whole one.
        auto* Viewer = dynamic_cast<THTMLViewer*>(Parent());
        if (Viewer) {
            SCROLLINFO Info;
            Info.fMask = SIF_ALL;
            Perform(SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&Info));
            Viewer->VScrollNotify(static_cast<TScrollCode>(LOWORD(Message.WParam)), Info.nTrackPos);
        }
        Message.Result = 0;
        return;
    }
    TScrollBar::Dispatch(Message);
}

// ---- THTMLViewer --------------------------------------------------------------------------------

THTMLViewer::THTMLViewer(TComponent* AOwner) : TWinControl(AOwner)
{
    ControlStyle =
        TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks, csSetCaption};
    SetCursor(crIBeam);
    SetTabStop(false);

    FBorderPanel = new TBorderBox(this);
    FBorderPanel->SetParent(this);
    FBorderPanel->SetAlign(alClient);
    FBorderPanel->OnPaint = [this](TObject*) { DrawBorder(); };

    FPaintPanel = new TPaintPanel(this, this);
    FPaintPanel->SetParent(this);
    FPaintPanel->SetBounds(1, 1, 148, 148);
    FPaintPanel->SetCursor(crIBeam);
    FPaintPanel->OnPaint = [this](TObject* Sender) { DrawDocument(Sender); };
    FPaintPanel->OnMouseDown = [this](TObject* S, TMouseButton B, TShiftState Sh, int X, int Y) {
        ViewerMouseDown(S, B, Sh, X, Y);
    };
    FPaintPanel->OnMouseMove = [this](TObject* S, TShiftState Sh, int X, int Y) {
        ViewerMouseMove(S, Sh, X, Y);
    };
    FPaintPanel->OnMouseUp = [this](TObject* S, TMouseButton B, TShiftState Sh, int X, int Y) {
        ViewerMouseUp(S, B, Sh, X, Y);
    };

    FNameList = new TStringList;
    FNameList->SetSorted(true);
    FNameList->Duplicates = dupIgnore;

    FSectionList = new TSectionList(this, FPaintPanel);
    FSectionList->NameList = FNameList;
    FSectionList->OnBackgroundChange = [this](TSectionList* S) { BackgroundChange(S); };
    FSectionList->ShowImages = false;

    FVScrollBar = new T32ScrollBar(this);
    FVScrollBar->SetKind(sbVertical);
    FVScrollBar->SmallChange = 16;
    FVScrollBar->SetVisible(false);
    FVScrollBar->SetTabStop(false);
    FVScrollBar->SetParent(this);
    FScrollWidth = FVScrollBar->Width();

    FHScrollBar = new TScrollBar(this);
    FHScrollBar->SetKind(sbHorizontal);
    FHScrollBar->SmallChange = 15;
    FHScrollBar->SetVisible(false);
    FHScrollBar->SetTabStop(false);
    FHScrollBar->OnScroll = [this](TObject* S, TScrollCode C, int& P) { HScrollChange(S, C, P); };
    FHScrollBar->SetParent(this);

    FHistory = new TStringList;
    FTitleHistory = new TStringList;
    FPositionHistory = new TFreeList;

    SetDefBackground(clBtnFace);
    FSectionList->SetDefaults(FFontName, FPreFontName, FBackground, FHotSpotColor, FFontColor, FFontSize);
    SetBounds(0, 0, 150, 150);
}

THTMLViewer::~THTMLViewer()
{
    // The panel outlives the document by a little (children go with the component base): it
    // must not paint from a freed document.
    FNoPaint = true;
    FSectionList->OnBackgroundChange = nullptr;
    delete FSectionList;
    FSectionList = nullptr;
    delete FNameList;
    delete FHistory;
    delete FTitleHistory;
    delete FPositionHistory;
}

void THTMLViewer::SetProcessing(bool Value)
{
    if (FProcessing == Value)
        return;
    FProcessing = Value;
    if (OnProcessing)
        OnProcessing(this, Value);
}

int THTMLViewer::PanelWidth() const
{
    return FPaintPanel->Width();
}

int THTMLViewer::PanelHeight() const
{
    return FPaintPanel->Height();
}

TCanvas* THTMLViewer::LayoutCanvas()
{
    // Text measures the same on any canvas (one fixed resolution), so before the panel can have
    // a window a small bitmap's canvas stands in.
    if (FPaintPanel->HandleAllocated())
        return FPaintPanel->Canvas();
    if (!FMeasureBitmap)
        FMeasureBitmap = std::make_unique<TBitmap>(1, 1);
    return FMeasureBitmap->Canvas();
}

// ---- Loading ----

void THTMLViewer::ResetForLoad(bool ForLoad)
{
    FSectionList->Clear();
    if (ForLoad && ImageCache)
        ImageCache->AgeAll();
    FSectionList->SetDefaults(FFontName, FPreFontName, FBackground, FHotSpotColor, FFontColor, FFontSize);
    FNameList->Clear();
    CaretPos = 0;
    SelAnchor = -1;
}

void THTMLViewer::LoadDocument(const std::string& Name, int Kind)
{
    THourGlass Cursor;
    std::string FileName = Name, Dest;
    if (auto Hash = Name.find('#'); Hash != std::string::npos) {
        FileName = Name.substr(0, Hash);
        Dest = Name.substr(Hash + 1);
    }
    TProcessingScope Busy(this);
    if (!FileExists(FileName))
        throw EInOutError("Can't locate file: " + FileName);
    const std::string OldFile = FCurrentFile;
    auto Parse = [&](THtmlParser& Parser) {
        switch (Kind) {
        case 0:
            Parser.HtmlParseFile(FSectionList, FNameList, FileName);
            break;
        case 1:
            Parser.TextParseFile(FSectionList, FNameList, FileName);
            break;
        default: {
            const std::string Page = PicturePageMarkup(FileName);
            Parser.HtmlParseBuffer(FSectionList, FNameList, Page.data(), Page.size());
            break;
        }
        }
    };
    auto Place = [&] {
        if (!Dest.empty())
            JumpToAnchor(Dest);
        else if (FCurrentFile != OldFile) {
            ScrollTo(0);
            SetHPosition(0);
        } else
            ScrollTo(VScrollPosition()); // the same file again: stay, within the new height
    };
    LoadWith(ExpandFileName(FileName), Kind, Parse, Place);
}

void THTMLViewer::LoadWith(const std::string& File, int Kind, const std::function<void(THtmlParser&)>& Parse,
                           const std::function<void()>& Place)
{
    ResetForLoad();
    THtmlParser Parser;
    std::exception_ptr Failure;
    try {
        Parse(Parser);
    } catch (...) {
        Failure = std::current_exception();
    }
    // What was parsed is shown even when the parse stopped with an error.
    FCurrentFile = File;
    FCurrentKind = Kind;
    TakeParseResults(Parser);
    Place();
    FPaintPanel->Invalidate();
    if (Failure)
        std::rethrow_exception(Failure);
}

void THTMLViewer::LoadUnnamed(int Kind, const std::function<void(THtmlParser&)>& Parse)
{
    TProcessingScope Busy(this);
    LoadWith(std::string(), Kind, Parse, [this] {
        ScrollTo(0);
        SetHPosition(0);
    });
}

void THTMLViewer::LoadWithHistory(const std::string& Name, int Kind)
{
    if (FProcessing || Name.empty())
        return;
    const std::string OldFile = FCurrentFile, OldTitle = FTitle;
    const int OldKind = FCurrentKind;
    const TViewPosition OldPos = GetPosition();
    auto Step = [&] {
        if (FCurrentFile != OldFile || FCurrentKind != OldKind)
            AddHistoryEntry(OldFile, OldTitle, OldKind, OldPos);
    };
    try {
        LoadDocument(Name, Kind);
    } catch (const EInOutError&) {
        throw; // nothing was loaded
    } catch (...) {
        Step();
        throw;
    }
    Step();
}

void THTMLViewer::LoadFromFile(const std::string& Name)
{
    LoadWithHistory(Name, 0);
}

void THTMLViewer::LoadPlainTextFile(const std::string& Name)
{
    LoadWithHistory(Name, 1);
}

void THTMLViewer::LoadPictureFile(const std::string& Name)
{
    LoadWithHistory(Name, 2);
}

std::string THTMLViewer::ResolveFileName(const std::string& URL)
{
    std::string Name = LinkToDosName(TrimBlanks(URL));
    if (Name.empty() || Name[0] == '/')
        return Name.empty() ? Name : ExpandFileName(Name);
    if (LowerCase(FBase) == "dospath")
        return Name;
    const std::string Dir =
        !FBase.empty() ? ExtractFilePath(LinkToDosName(FBase)) : ExtractFilePath(FCurrentFile);
    return ExpandFileName(Dir + Name);
}

std::string THTMLViewer::PicturePageMarkup(const std::string& FileName)
{
    // The whole name, escaped: quotes, "&" and long paths must reach the image as they are.
    return "<img src=\"" + EscapeAttribute(FileName) + "\">";
}

void THTMLViewer::LoadStringsAs(TStrings* Strings, int Kind)
{
    if (FProcessing || !Strings)
        return;
    LoadUnnamed(Kind == 1 ? 1 : 0, [&](THtmlParser& Parser) {
        if (Kind == 1)
            Parser.TextParseStrings(FSectionList, FNameList, Strings);
        else
            Parser.HtmlParseStrings(FSectionList, FNameList, Strings);
    });
}

void THTMLViewer::LoadFromMemory(const void* Buffer, std::size_t Size)
{
    if (FProcessing)
        return;
    LoadUnnamed(0, [&](THtmlParser& Parser) {
        Parser.HtmlParseBuffer(FSectionList, FNameList, Buffer, Buffer ? Size : 0);
    });
}

void THTMLViewer::LoadFromStream(TStream* Stream)
{
    if (FProcessing || !Stream)
        return;
    LoadUnnamed(0, [&](THtmlParser& Parser) { Parser.HtmlParseStream(FSectionList, FNameList, Stream); });
}

void THTMLViewer::TakeParseResults(const THtmlParser& Parser)
{
    FTitle = Parser.State().Title;
    FBase = Parser.State().Base;
    FBaseTarget = Parser.State().BaseTarget;
    FNoPaint = true;
    FSectionList->LoadBackgroundImage();
    FNoPaint = false;
    LayoutDocument();
}

// ---- Layout ----

void THTMLViewer::LayoutDocument()
{
    FMaxWidth = 0;
    FNoPaint = true;
    struct TReset {
        bool& Flag;
        ~TReset() { Flag = false; }
    } Reset{FNoPaint};
    int AWidth = Width() - 20;
    if (FScrollBars == ssVertical || FScrollBars == ssBoth)
        AWidth -= FScrollWidth;
    int Curs = 0;
    FDocHeight = FSectionList->DoLogic(LayoutCanvas(), 0, Curs, FMaxWidth, std::max(1, AWidth));
    FNoPaint = false;
    UpdateScrollBars();
}

void THTMLViewer::UpdateScrollBars()
{
    const int BW = FScrollWidth;
    const int W = Width(), H = Height();
    const int A = FBorderStyle == htNone ? 0 : 1;
    const bool HorzAllowed = FScrollBars == ssHorizontal || FScrollBars == ssBoth;
    const bool VertAllowed = FScrollBars == ssVertical || FScrollBars == ssBoth;
    const bool NeedVert =
        VertAllowed &&
        (FDocHeight >= H - 2 || (HorzAllowed && FDocHeight >= H - BW - 2 && W - BW < FMaxWidth + 20));
    const bool NeedHorz = HorzAllowed && (W < FMaxWidth + 20 || (NeedVert && W - BW < FMaxWidth + 20));
    const int AWidth = NeedVert ? W - BW : W;
    const int PW = std::max(0, AWidth - 2 * A);
    const int PH = std::max(0, H - 2 * A - (NeedHorz ? BW : 0));
    FPaintPanel->SetBounds(A, A, PW, PH);

    FHScrollBar->SetVisible(NeedHorz);
    FHScrollBar->LargeChange = std::max(1, AWidth - 20);
    FHScrollBar->SetBounds(A, H - BW - A, std::max(0, AWidth - A), BW);
    FHScrollBar->SetMax(std::max(0, std::max(FMaxWidth + 20, AWidth - 2 * A)));
    FHScrollBar->SetPageSize(AWidth);

    FVScrollBar->SetBounds(W - BW - A, A, BW, PH);
    // A tiny window must still page forward, never backward.
    FVScrollBar->LargeChange = std::max(1, PH - FVScrollBar->SmallChange);
    FVScrollBar->SetVisible(NeedVert);
    FVScrollBar->SetParams(FVScrollBar->Position32(), PH + 1, 0, FDocHeight);
}

void THTMLViewer::Reformat()
{
    if (FProcessing)
        return;
    TProcessingScope Busy(this);
    const TViewPosition P = GetPosition();
    LayoutDocument();
    SetPosition(P);
}

void THTMLViewer::SizeChanged()
{
    TWinControl::SizeChanged();
    if (!FPaintPanel || !FSectionList)
        return; // still being built
    if (Width() == FLastWidth || FProcessing)
        UpdateScrollBars();
    else {
        FPaintPanel->FErasePending = true;
        Reformat();
        FLastWidth = Width();
    }
    if (FDocHeight < PanelHeight())
        SetPosition(TViewPosition{});
    else
        ScrollTo(VScrollPosition());
    SetHPosition(std::min(HScrollPosition(), FHScrollBar->Max() - PanelWidth()));
}

// ---- Painting ----

void THTMLViewer::DrawDocument(TObject* Sender)
{
    (void)Sender;
    if (FNoPaint)
        return;
    TCanvas* C = FPaintPanel->Canvas2();
    if (!C)
        return;
    FSectionList->Draw(C, Rect(10, 1, PanelWidth(), PanelHeight()), 0, 10 - HScrollPosition(), 1300);
}

void THTMLViewer::PaintWindow(HDC DC)
{
    (void)DC;
    FPaintPanel->Invalidate();
}

void THTMLViewer::DrawBorder()
{
    if (!Showing())
        return;
    TCanvas* C = FBorderPanel->Canvas();
    const bool Lined = (Focused() && FBorderStyle == htFocused) || FBorderStyle == htSingle ||
                       ComponentState().Contains(csDesigning);
    C->Pen()->SetColor(Lined ? clBtnText : (FPaintPanel->Color() | clPaletteRelative));
    C->Brush()->SetStyle(bsClear);
    C->Rectangle(0, 0, Width(), Height());
}

void THTMLViewer::BackgroundChange(TSectionList* Sender)
{
    FPaintPanel->SetColor(Sender->Background | clPaletteRelative);
}

// ---- Scrolling ----

void THTMLViewer::ScrollTo(int Y)
{
    Y = std::max(0, std::min(Y, FDocHeight - PanelHeight()));
    FVScrollBar->SetPosition(Y);
    FSectionList->SetYOffset(Y);
    FPaintPanel->Invalidate();
}

void THTMLViewer::SetHPosition(int Value)
{
    FHScrollBar->SetPosition(std::max(0, Value));
}

void THTMLViewer::HScrollChange(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos)
{
    (void)Sender;
    (void)ScrollCode;
    if (CanFocus())
        SetFocus();
    ScrollPos = std::max(0, std::min(ScrollPos, FHScrollBar->Max() - PanelWidth()));
    FPaintPanel->Invalidate();
}

void THTMLViewer::MoveVertical(int Y, int SmallChange)
{
    Y = std::max(0, std::min(Y, FDocHeight - PanelHeight()));
    const int Old = VScrollPosition();
    FVScrollBar->SetPosition(Y);
    FSectionList->SetYOffset(Y);
    if (std::abs(Old - Y) == SmallChange && FPaintPanel->HandleAllocated()) {
        // One line: move what is shown and paint only the strip that comes in.
        ScrollWindow(FPaintPanel->Handle(), 0, Old - Y, nullptr, nullptr);
        FPaintPanel->Update();
    } else if (Old != Y)
        FPaintPanel->Invalidate();
}

void THTMLViewer::KeyDown(WORD& Key, TShiftState Shift)
{
    TWinControl::KeyDown(Key, Shift);
    const int Pos = VScrollPosition();
    const int Small = FVScrollBar->SmallChange;
    int Y;
    switch (Key) {
    case VK_PRIOR:
        Y = Pos - FVScrollBar->LargeChange;
        break;
    case VK_NEXT:
        Y = Pos + FVScrollBar->LargeChange;
        break;
    case VK_END:
        Y = FDocHeight;
        break;
    case VK_HOME:
        Y = 0;
        break;
    case VK_UP:
        Y = Pos - Small;
        break;
    case VK_DOWN:
        Y = Pos + Small;
        break;
    case VK_LEFT:
    case VK_RIGHT: {
        int HP = HScrollPosition() + (Key == VK_LEFT ? -FHScrollBar->SmallChange : FHScrollBar->SmallChange);
        HP = std::max(0, std::min(HP, FHScrollBar->Max() - PanelWidth()));
        SetHPosition(HP);
        FPaintPanel->Invalidate();
        return;
    }
    default:
        return;
    }
    MoveVertical(Y, Small);
}

void THTMLViewer::VScrollNotify(TScrollCode Code, int TrackPos)
{
    if (CanFocus())
        SetFocus();
    int Y = VScrollPosition();
    switch (Code) {
    case scTrack:
        Y = TrackPos;
        break;
    case scLineUp:
        Y -= FVScrollBar->SmallChange;
        break;
    case scLineDown:
        Y += FVScrollBar->SmallChange;
        break;
    case scPageUp:
        Y -= FVScrollBar->LargeChange;
        break;
    case scPageDown:
        Y += FVScrollBar->LargeChange;
        break;
    case scTop:
        Y = 0;
        break;
    case scBottom:
        Y = FDocHeight - PanelHeight();
        break;
    default:
        break;
    }
    MoveVertical(Y, FVScrollBar->SmallChange);
}

TViewPosition THTMLViewer::GetPosition()
{
    const int Y = VScrollPosition();
    int Top = 0, Index = 0;
    if (FSectionList->FindSectionAtPosition(Y, Top, Index))
        return TViewPosition{Index, Y - Top};
    return {};
}

void THTMLViewer::SetPosition(const TViewPosition& P)
{
    if (P.Index >= 0 && P.Index < FSectionList->Count())
        ScrollTo(SatAdd(FSectionList->SectionTop(P.Index), P.Offset));
}

bool THTMLViewer::JumpToAnchor(const std::string& Name)
{
    std::string N = Name;
    if (!N.empty() && N[0] == '#')
        N.erase(0, 1);
    if (N.empty())
        return false;
    int I;
    if (!FNameList->Find(UpperCase(N), I))
        return false;
    auto* Section = dynamic_cast<TSectionBase*>(FNameList->Objects(I));
    if (!Section)
        return false;
    ScrollTo(Section->StartY);
    SetHPosition(0);
    return true;
}

void THTMLViewer::Clear()
{
    if (FProcessing)
        return;
    ResetForLoad(false);
    FBase.clear();
    FBaseTarget.clear();
    FTitle.clear();
    FCurrentFile.clear();
    FDocHeight = 0;
    FMaxWidth = 0;
    FVScrollBar->SetParams(0, FVScrollBar->Page(), 0, 0);
    FSectionList->SetYOffset(0);
    FVScrollBar->SetVisible(false);
    FVScrollBar->SetHeight(PanelHeight());
    FHScrollBar->SetVisible(false);
    FHScrollBar->SetPosition(0);
    FPaintPanel->Invalidate();
}

// ---- Properties ----

void THTMLViewer::SetBase(const std::string& Value)
{
    if (FBase.empty())
        FBase = Value;
}

int THTMLViewer::SelLength()
{
    return FSectionList->GetSelLength();
}

void THTMLViewer::SetSelLength(int Value)
{
    if (Value != 0)
        return;
    FSectionList->SelE = FSectionList->SelB;
    FPaintPanel->Invalidate();
}

bool THTMLViewer::ViewImages() const
{
    return FSectionList->ShowImages;
}

void THTMLViewer::SetViewImages(bool Value)
{
    if (Value == FSectionList->ShowImages || FProcessing)
        return;
    THourGlass Cursor;
    TProcessingScope Busy(this);
    FSectionList->ShowImages = Value;
    if (FSectionList->Count() > 0) {
        FSectionList->LoadBackgroundImage();
        const TViewPosition P = GetPosition();
        LayoutDocument();
        SetPosition(P);
        FPaintPanel->Invalidate();
    }
}

void THTMLViewer::SetDefBackground(TColor Value)
{
    if (FProcessing)
        return;
    FBackground = Value;
    FSectionList->SetBackground(Value);
    FPaintPanel->SetColor(Value);
    FPaintPanel->Invalidate();
}

void THTMLViewer::SetBorderStyle(THTMLBorderStyle Value)
{
    FBorderStyle = Value;
    DrawBorder();
}

void THTMLViewer::SetHistoryMaxCount(int Value)
{
    if (Value < 0 || Value == FHistoryMaxCount)
        return;
    if (Value < FHistoryMaxCount)
        ClearHistory();
    FHistoryMaxCount = Value;
}

void THTMLViewer::SetDefFontName(const std::string& Value)
{
    const std::string V = Value.substr(0, 31);
    if (SameText(V, FFontName))
        return;
    FFontName = V;
    FSectionList->FontName = V;
    FSectionList->UpdateFonts();
    if (FSectionList->Count() > 0)
        Reformat();
    FPaintPanel->Invalidate();
}

void THTMLViewer::SetDefPreFontName(const std::string& Value)
{
    const std::string V = Value.substr(0, 31);
    if (SameText(V, FPreFontName))
        return;
    FPreFontName = V;
    FSectionList->PreFontName = V;
    FSectionList->UpdateFonts();
    if (FSectionList->Count() > 0)
        Reformat();
    FPaintPanel->Invalidate();
}

void THTMLViewer::SetDefFontSize(int Value)
{
    FFontSize = std::max(6, Value);
    FSectionList->FontSizeBase = FFontSize;
    FSectionList->UpdateFonts();
    if (FSectionList->Count() > 0)
        Reformat();
    FPaintPanel->Invalidate();
}

void THTMLViewer::SetDefFontColor(TColor Value)
{
    FFontColor = Value;
    FSectionList->FontColor = Value;
    FSectionList->UpdateFonts();
    FPaintPanel->Invalidate();
}

void THTMLViewer::SetDefHotSpotColor(TColor Value)
{
    FHotSpotColor = Value;
    FSectionList->HotSpotColor = Value;
    FSectionList->UpdateFonts();
    FPaintPanel->Invalidate();
}

void THTMLViewer::SetImageCacheCount(int Value)
{
    Value = std::clamp(Value, 0, 20);
    if (Value == FImageCacheCount)
        return;
    FImageCacheCount = Value;
    if (ImageCache)
        ImageCache->SetMaxAge(Value);
}

void THTMLViewer::SetNoSelect(bool Value)
{
    FNoSelect = Value;
    if (Value) {
        FSectionList->SelB = -1;
        FSectionList->SelE = -1;
        FPaintPanel->Invalidate();
    }
}

void THTMLViewer::SetScrollBars(TScrollStyle Value)
{
    if (Value == FScrollBars)
        return;
    FScrollBars = Value;
    if (ComponentState().Contains(csLoading) || !HandleAllocated())
        return;
    {
        TProcessingScope Busy(this);
        LayoutDocument();
    }
    FPaintPanel->Invalidate();
}

void THTMLViewer::SetOnFormSubmit(TFormSubmitEvent Value)
{
    FOnFormSubmit = std::move(Value);
}

// ---- History ----

void THTMLViewer::AddHistoryEntry(const std::string& OldFile, const std::string& OldTitle, int OldKind,
                                  const TViewPosition& OldPos)
{
    if (FHistoryMaxCount < 1 || FCurrentFile.empty())
        return;
    const TViewPosition Now = GetPosition();
    if (OldFile == FCurrentFile && OldKind == FCurrentKind && OldPos == Now)
        return;
    if (FHistory->Count() > 0 && !OldFile.empty()) {
        FHistory->Put(FHistoryIndex, OldFile);
        FTitleHistory->Put(FHistoryIndex, OldTitle);
        auto* P = FPositionHistory->ItemAs<PositionObj>(FHistoryIndex);
        P->Position = OldPos;
        P->Serial = OldKind;
        for (int I = 0; I < FHistoryIndex; ++I) {
            FHistory->Delete(0);
            FTitleHistory->Delete(0);
            FPositionHistory->Delete(0);
        }
    }
    FHistoryIndex = 0;
    FHistory->Insert(0, FCurrentFile);
    FTitleHistory->Insert(0, FTitle);
    auto* P = new PositionObj;
    P->Position = Now;
    P->Serial = FCurrentKind;
    FPositionHistory->Insert(0, P);
    if (FHistory->Count() > FHistoryMaxCount) {
        FHistory->Delete(FHistoryMaxCount);
        FTitleHistory->Delete(FHistoryMaxCount);
        FPositionHistory->Delete(FHistoryMaxCount);
    }
    if (OnHistoryChange)
        OnHistoryChange(this);
}

void THTMLViewer::ClearHistory()
{
    const bool Had = FHistory->Count() > 0;
    FHistory->Clear();
    FTitleHistory->Clear();
    FPositionHistory->Clear();
    FHistoryIndex = 0;
    if (Had && OnHistoryChange)
        OnHistoryChange(this);
}

// ---- Mouse (the panel's events) ----

void THTMLViewer::ViewerMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    (void)Sender;
    if (OnMouseDown)
        OnMouseDown(this, Button, Shift, X, Y);
    if (CanFocus())
        SetFocus();
}

void THTMLViewer::ViewerMouseMove(TObject* Sender, TShiftState Shift, int X, int Y)
{
    (void)Sender;
    if (OnMouseMove)
        OnMouseMove(this, Shift, X, Y);
}

void THTMLViewer::ViewerMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    (void)Sender;
    if (OnMouseUp)
        OnMouseUp(this, Button, Shift, X, Y);
}

// ---- Messages ----

void THTMLViewer::DoEnter()
{
    TWinControl::DoEnter();
    DrawBorder();
}

void THTMLViewer::DoExit()
{
    TWinControl::DoExit();
    DrawBorder();
}

void THTMLViewer::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS;
        return;
    case WM_REDRAW_FRAME:
        DrawBorder();
        return;
    case WM_DELIVER_SUBMIT:
    case WM_AUTO_SCROLL:
        return;
    default:
        break;
    }
    TWinControl::Dispatch(Message);
}
