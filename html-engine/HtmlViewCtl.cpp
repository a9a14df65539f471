#include "html-engine/HtmlViewCtl.h"

#include "html-engine/HtmlForms.h"
#include "html-engine/HtmlSections.h"
#include "platform/classes/TypInfo.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr UINT WM_DELIVER_SUBMIT = WM_USER + 100;
constexpr UINT WM_REDRAW_FRAME = WM_USER + 101;

// The screen cursor slot the image start-up fills with the hand shown over links.
constexpr TCursor HandCursor = 1;
// How often a selection drag outside the panel scrolls it.
constexpr unsigned AutoScrollInterval = 100;

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

void TPaintPanel::WMEraseBkgnd(TWMEraseBkgnd Message)
{
    if (FErasePending && Message.DC()) {
        TCanvas C;
        C.SetHandle(Message.DC());
        DrawBackground(&C);
        C.SetHandle(nullptr);
        FErasePending = false;
    }
    Message.Result = 1;
}

void TPaintPanel::WMLButtonDblClk(TWMLButtonDblClk Message)
{
    // Passed on, the double click would be a second press and start a new selection over the
    // word; the release still comes here, as after a press.
    if (ControlStyle.Contains(csCaptureMouse))
        SetMouseCapture(true);
    if (Message.Keys() & MK_LBUTTON)
        FViewer->SelectWordAt(Message.XPos(), Message.YPos());
}

void TPaintPanel::CMMouseLeave(TMessage& Message)
{
    FViewer->PointerLeft();
    TCustomControl::CMMouseLeave(Message);
}

TW_PUBLISH(TPaintPanel, TCustomControl)
{
    Cls.Message(WM_ERASEBKGND, &TPaintPanel::WMEraseBkgnd);
    Cls.Message(WM_LBUTTONDBLCLK, &TPaintPanel::WMLButtonDblClk);
    Cls.Message(CM_MOUSELEAVE, &TPaintPanel::CMMouseLeave);
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

void T32ScrollBar::Scroll(TScrollCode ScrollCode, int& ScrollPos)
{
    TScrollBar::Scroll(ScrollCode, ScrollPos);
    auto* Viewer = dynamic_cast<THTMLViewer*>(Parent());
    if (!Viewer)
        return;
    // The message carries only 16 bits of the track position; the bar itself has all of it.
    SCROLLINFO Info;
    Info.fMask = SIF_ALL;
    Perform(SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&Info));
    Viewer->VScrollNotify(ScrollCode, Info.nTrackPos);
    // The viewer has placed the bar; the bar's own step must not move it elsewhere.
    ScrollPos = Viewer->VScrollPosition();
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

    FAutoScrollTimer = new TTimer(this);
    FAutoScrollTimer->SetEnabled(false);
    FAutoScrollTimer->SetInterval(AutoScrollInterval);
    FAutoScrollTimer->OnTimer = [this](TObject* Sender) { AutoScrollTick(Sender); };

    SetDefBackground(clBtnFace);
    FSectionList->SetDefaults(FFontName, FPreFontName, FBackground, FHotSpotColor, FFontColor, FFontSize);
    SetBounds(0, 0, 150, 150);
}

struct THTMLViewer::TSubmission {
    unsigned Number;
    std::string Action, Method;
    std::unique_ptr<TStringList> Results;
};

THTMLViewer::~THTMLViewer()
{
    *FAlive = false;
    FAutoScrollTimer->SetEnabled(false);
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
    ++FLoadSerial;
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

namespace {

// A link or base as a native name: "file:" dropped (with its slashes), "\" a separator, a
// drive letter through the one mapping of DOS names.
std::string NativeLinkName(const std::string& Link)
{
    std::string Name = TrimBlanks(Link);
    if (SameText(Name.substr(0, 5), "file:") && Name.compare(5, 2, "//") != 0)
        Name.erase(0, 5); // "file:page.htm", "file:/dir/page.htm"
    Name = LinkToDosName(Name);
    if (Name.size() >= 2 && std::isalpha(static_cast<unsigned char>(Name[0])) && Name[1] == ':')
        Name = MapPath(Name); // "c:page.htm" has no separator for the link rule to see
    return Name;
}

} // namespace

bool THTMLViewer::IsWebAddress(const std::string& URL)
{
    const std::string S = TrimBlanks(URL);
    const std::size_t Colon = S.find(':');
    // One letter before the colon is a drive; a scheme has two characters or more.
    if (Colon == std::string::npos || Colon < 2 || !std::isalpha(static_cast<unsigned char>(S[0])))
        return false;
    for (std::size_t I = 1; I < Colon; ++I) {
        const unsigned char C = static_cast<unsigned char>(S[I]);
        if (!std::isalnum(C) && C != '+' && C != '-' && C != '.')
            return false;
    }
    return !SameText(S.substr(0, Colon), "file");
}

std::string THTMLViewer::ResolveFileName(const std::string& URL)
{
    if (IsWebAddress(URL))
        return TrimBlanks(URL);
    const std::string Name = NativeLinkName(URL);
    if (Name.empty() || Name[0] == '/')
        return Name.empty() ? Name : ExpandFileName(Name);
    if (SameText(FBase, "DosPath"))
        return ExpandFileName(Name);
    if (!FBase.empty() && IsWebAddress(FBase)) {
        // A page from the web links relative to its own address.
        const std::string Base = TrimBlanks(FBase);
        return Base.substr(0, Base.find_last_of('/') + 1) + Name;
    }
    const std::string Dir =
        !FBase.empty() ? ExtractFilePath(NativeLinkName(FBase)) : ExtractFilePath(FCurrentFile);
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

int THTMLViewer::SelStart() const
{
    return FSectionList->SelB;
}

void THTMLViewer::SetSelStart(int Value)
{
    FSectionList->SelB = FSectionList->SelE = Value;
    CaretPos = Value;
    FPaintPanel->Invalidate();
}

int THTMLViewer::SelLength()
{
    return FSectionList->GetSelLength();
}

std::string THTMLViewer::SelText()
{
    return FSectionList->GetSelText();
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
    if (FOnFormSubmit)
        FSectionList->SubmitForm = [this](const std::string& Action, const std::string& Method,
                                          std::unique_ptr<TStringList> Results) {
            SubmitForm(Action, Method, std::move(Results));
        };
    else
        FSectionList->SubmitForm = nullptr;
}

void THTMLViewer::SubmitForm(const std::string& Action, const std::string& Method,
                             std::unique_ptr<TStringList> Results)
{
    if (!FOnFormSubmit)
        return;
    // Each submission keeps its own record until its message comes, so a second one before
    // that cannot overwrite the first.
    auto Record = std::make_unique<TSubmission>();
    Record->Number = ++FNextSubmission;
    Record->Action = Action;
    Record->Method = Method;
    Record->Results = Results ? std::move(Results) : std::make_unique<TStringList>();
    const unsigned Number = Record->Number;
    FSubmissions.push_back(std::move(Record));
    PostMessage(Handle(), WM_DELIVER_SUBMIT, 0, static_cast<LPARAM>(Number));
}

void THTMLViewer::WMFormSubmit(TMessage& Message)
{
    auto It = std::find_if(FSubmissions.begin(), FSubmissions.end(),
                           [&](const auto& R) { return R->Number == static_cast<unsigned>(Message.LParam); });
    if (It == FSubmissions.end())
        return;
    // Taken out first: the handler may free the view, and the record goes with this call.
    std::unique_ptr<TSubmission> Record = std::move(*It);
    FSubmissions.erase(It);
    if (FOnFormSubmit) {
        const TFormSubmitEvent Handler = FOnFormSubmit;
        Handler(this, Record->Action, Record->Method, Record->Results.get());
    }
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

int THTMLViewer::CursorAt(int X, int Y, int* LineTop, int* LineHeight)
{
    TCell* Cell = nullptr;
    int Height = 0, Top = 0, CaretX = 0;
    const int Pos =
        FSectionList->FindCursor(LayoutCanvas(), X, SatAdd(Y, FSectionList->YOff), Cell, Height, Top, CaretX);
    if (LineTop)
        *LineTop = Top;
    if (LineHeight)
        *LineHeight = Height;
    return Pos;
}

bool THTMLViewer::LinkAt(int X, int Y, TFormControlObj*& FormControl, TUrlTarget& Link)
{
    FormControl = nullptr;
    Link.Clear();
    if (FNoPaint || FProcessing)
        return false;
    return FSectionList->GetURL(LayoutCanvas(), X, SatAdd(Y, FSectionList->YOff), FormControl, Link);
}

void THTMLViewer::ViewerMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    (void)Sender;
    const std::shared_ptr<bool> Alive = FAlive;
    if (OnMouseDown)
        OnMouseDown(this, Button, Shift, X, Y);
    if (!*Alive)
        return;
    FFocusedAtClick = Focused();
    if (CanFocus())
        SetFocus();
    FLinkFollowed = false;
    if (Button != mbLeft)
        return;
    FLeftDown = true;
    if (!FFocusedAtClick || FProcessing)
        return; // the first click into the view only gives it the focus
    if (Shift.Contains(ssShift) && SelAnchor >= 0) {
        // Shift extends the selection from where it was started to the click.
        ExtendSelection(X, Y);
        return;
    }
    SelAnchor = CursorAt(X, Y);
    if (SelAnchor < 0)
        return;
    if (FSectionList->SelB != FSectionList->SelE)
        FPaintPanel->Invalidate();
    FSectionList->SelB = FSectionList->SelE = SelAnchor;
    CaretPos = SelAnchor;
}

void THTMLViewer::ViewerMouseMove(TObject* Sender, TShiftState Shift, int X, int Y)
{
    (void)Sender;
    const std::shared_ptr<bool> Alive = FAlive;
    if (OnMouseMove)
        OnMouseMove(this, Shift, X, Y);
    if (!*Alive)
        return;
    TFormControlObj* FormControl = nullptr;
    TUrlTarget Link;
    const bool Over = LinkAt(X, Y, FormControl, Link);
    FPaintPanel->SetCursor(Over ? HandCursor : Cursor());
    if (Link.URL != FURL) {
        FURL = Link.URL;
        FTarget = Link.Target;
        if (OnHotSpotCovered) {
            OnHotSpotCovered(this, FURL);
            if (!*Alive)
                return;
        }
    }
    if (Shift.Contains(ssLeft) && FLeftDown) {
        if (!FAutoScrolling && (Y <= 0 || Y > PanelHeight())) {
            FAutoScrolling = true;
            FAutoScrollTimer->SetEnabled(true);
        }
        if (!FNoSelect)
            ExtendSelection(X, Y);
    }
    if (OnMouseMove)
        OnMouseMove(this, Shift, X, Y);
}

void THTMLViewer::ViewerMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    (void)Sender;
    const std::shared_ptr<bool> Alive = FAlive;
    if (OnMouseUp)
        OnMouseUp(this, Button, Shift, X, Y);
    if (!*Alive || Button != mbLeft)
        return;
    ExtendSelection(X, Y);
    FFocusedAtClick = false;
    StopAutoScroll();
    const bool WasDown = FLeftDown;
    FLeftDown = false;
    if (!WasDown || FSectionList->SelB < FSectionList->SelE)
        return;
    TFormControlObj* FormControl = nullptr;
    TUrlTarget Link;
    if (!LinkAt(X, Y, FormControl, Link))
        return;
    // Both may run handlers that free or reload the view: nothing of it is touched after them.
    if (auto* ImageControl = dynamic_cast<TImageFormControlObj*>(FormControl)) {
        ImageControl->SubmitFromImage();
    } else if (!FormControl && !Link.URL.empty()) {
        FURL = Link.URL;
        FTarget = Link.Target;
        FLinkFollowed = true;
        FollowLink();
    }
}

void THTMLViewer::PointerLeft()
{
    FPaintPanel->SetCursor(Cursor());
    if (FURL.empty() || FLeftDown)
        return;
    FURL.clear();
    FTarget.clear();
    if (OnHotSpotCovered)
        OnHotSpotCovered(this, FURL);
}

void THTMLViewer::ExtendSelection(int X, int Y)
{
    if (!FFocusedAtClick || SelAnchor < 0 || FProcessing)
        return;
    Y = std::clamp(Y, 0, PanelHeight());
    int P = CursorAt(X, Y);
    // Below the last line the drag takes in the rest of the document.
    if (P < 0 && SatAdd(Y, FSectionList->YOff) >= FDocHeight)
        P = FSectionList->StartCurs + FSectionList->Len;
    if (P < 0)
        return;
    if (P != CaretPos && !FNoSelect) {
        FSectionList->SelB = std::min(SelAnchor, P);
        FSectionList->SelE = std::max(SelAnchor, P);
        FPaintPanel->Invalidate();
    }
    CaretPos = P;
}

void THTMLViewer::SelectWordAt(int X, int Y)
{
    if (FNoSelect || FProcessing || FLinkFollowed)
        return;
    int Top = 0, LineHeight = 0;
    const int DocY = SatAdd(Y, FSectionList->YOff);
    const int Pos = CursorAt(X, Y, &Top, &LineHeight);
    if (Pos < 0)
        return;
    CaretPos = Pos;
    // A point past a line's end gives the first position of the next line: no word there.
    int CX = 0, CY = 0;
    if (!FSectionList->CursorToXY(LayoutCanvas(), Pos, CX, CY) || CY > Top || DocY >= SatAdd(Top, LineHeight))
        return;
    auto IsWordChar = [](char Ch) { return std::isalnum(static_cast<unsigned char>(Ch)) != 0; };
    char Ch = 0;
    TObject* Block = nullptr;
    if (!FSectionList->GetChAtPos(Pos, Ch, Block) || !IsWordChar(Ch))
        return;
    // The end of one block is the start of the next: the character must be in the clicked one.
    auto* Section = dynamic_cast<TSectionBase*>(Block);
    if (!Section || DocY < Section->StartY || DocY >= SatAdd(Section->StartY, Section->SectionHeight))
        return;
    // The word stays inside the block of the clicked character.
    auto SameWord = [&](int P) {
        char C = 0;
        TObject* Obj = nullptr;
        return FSectionList->GetChAtPos(P, C, Obj) && Obj == Block && IsWordChar(C);
    };
    int First = Pos, Last = Pos;
    while (First > 0 && SameWord(First - 1))
        --First;
    while (SameWord(Last + 1))
        ++Last;
    FSectionList->SelB = First;
    FSectionList->SelE = Last + 1;
    FPaintPanel->Invalidate();
}

void THTMLViewer::AutoScrollTick(TObject* Sender)
{
    (void)Sender;
    POINT Screen{};
    GetCursorPos(&Screen);
    const TPoint P = FPaintPanel->ScreenToClient(TPoint{Screen.x, Screen.y});
    const int H = PanelHeight();
    // The release may have happened where the panel never heard it.
    if (!FAutoScrolling || (P.y > 0 && P.y <= H) || !(GetAsyncKeyState(VK_LBUTTON) & 0x8000)) {
        StopAutoScroll();
        return;
    }
    const int Small = FVScrollBar->SmallChange;
    const int Step = P.y < -15 ? -8 * Small : P.y <= 0 ? -Small : P.y > H + 15 ? 8 * Small : Small;
    const int Y = std::max(0, std::min(VScrollPosition() + Step, FDocHeight - H));
    FSectionList->SetYOffset(Y);
    FVScrollBar->SetPosition(Y);
    ExtendSelection(P.x, P.y);
    FPaintPanel->Invalidate();
}

void THTMLViewer::StopAutoScroll()
{
    FAutoScrolling = false;
    FAutoScrollTimer->SetEnabled(false);
}

bool THTMLViewer::DoHotSpotClick(const std::string& URL)
{
    bool Handled = false;
    if (OnHotSpotClick)
        OnHotSpotClick(this, URL, Handled);
    return Handled;
}

void THTMLViewer::FollowLink()
{
    const std::shared_ptr<bool> Alive = FAlive;
    const unsigned Serial = FLoadSerial;
    const std::string URL = FURL;
    if (DoHotSpotClick(URL))
        return;
    // A handler that closed the view or put another document into it has taken the click.
    if (!*Alive || FLoadSerial != Serial)
        return;
    const TViewPosition P = GetPosition();
    if (!URL.empty() && URL[0] == '#') {
        if (JumpToAnchor(URL))
            AddHistoryEntry(FCurrentFile, FTitle, FCurrentKind, P);
        return;
    }
    const std::size_t Hash = URL.find('#');
    const std::string Dest = Hash == std::string::npos ? std::string() : URL.substr(Hash);
    std::string Name = URL.substr(0, Hash);
    if (IsWebAddress(Name))
        return; // only the handler knows what to do with it
    Name = ResolveFileName(Name);
    if (IsWebAddress(Name))
        return; // relative to a page from the web
    const std::string Ext = UpperCase(ExtractFileExt(Name)).substr(0, 5);
    if (Ext == ".BMP" || Ext == ".GIF" || Ext == ".JPG" || Ext == ".JPEG" || Ext == ".PNG") {
        LoadPictureFile(Name);
    } else if (Ext == ".HTM" || Ext == ".HTML") {
        if (Name != FCurrentFile)
            LoadFromFile(Name + Dest);
        else if (JumpToAnchor(Dest))
            AddHistoryEntry(FCurrentFile, FTitle, 0, P);
    }
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

void THTMLViewer::WMGetDlgCode(TWMGetDlgCode Message)
{
    Message.Result = DLGC_WANTARROWS;
}

void THTMLViewer::WMRedrawFrame(TMessage& Message)
{
    (void)Message;
    DrawBorder();
}

TW_PUBLISH(THTMLViewer, TWinControl)
{
    Cls.Message(WM_GETDLGCODE, &THTMLViewer::WMGetDlgCode);
    Cls.Message(WM_DELIVER_SUBMIT, &THTMLViewer::WMFormSubmit);
    Cls.Message(WM_REDRAW_FRAME, &THTMLViewer::WMRedrawFrame);
}
