#include "toolbars/DockBars.h"

#include "platform/app/Application.h"
#include "platform/classes/TypInfo.h"
#include "platform/graphics/WinGdi.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win/WinUser.h"

#include <climits>
#include <cstring>

namespace {

// The deferred docked-frame repaint, and the pending-visibility message to the application
// window with its two identifying parameters.
constexpr UINT WM_DOCKEDNCREPAINT = 0x17AF;
constexpr UINT WM_TOOLWINDOWSPENDING = 0x17AE;
constexpr DWORD PendingMagic = 0xD3A590F4u;

bool IsDesigning(const TComponent* C)
{
    return C->ComponentState().Contains(csDesigning);
}
bool IsLoading(const TComponent* C)
{
    return C->ComponentState().Contains(csLoading);
}
bool IsDestroying(const TComponent* C)
{
    return C->ComponentState().Contains(csDestroying);
}

RECT WorkArea()
{
    RECT R{};
    if (!SystemParametersInfo(SPI_GETWORKAREA, 0, &R, 0))
        R = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return R;
}

// A window DC of Wnd clipped to Clip (screen coordinates; 0 or 1 for the whole window).
HDC FrameDC(HWND Wnd, HRGN Clip)
{
    HDC DC = GetWindowDC(Wnd);
    if (DC && reinterpret_cast<std::uintptr_t>(Clip) > 1) {
        RECT W;
        GetWindowRect(Wnd, &W);
        HRGN Local = CreateRectRgn(0, 0, 0, 0);
        if (CombineRgn(Local, Clip, nullptr, RGN_COPY) != ERROR) {
            OffsetRgn(Local, -W.left, -W.top);
            if (SelectClipRgn(DC, Local) == ERROR)
                SelectClipRgn(DC, nullptr);
        }
        DeleteObject(Local);
    }
    return DC;
}

void RecomputeFrame(HWND Wnd)
{
    SetWindowPos(Wnd, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

// ---- Unit-wide lists: the form registry, the activation watch list, the pending list ----------
struct TFormRecord {
    TCustomForm* Form = nullptr;
    int Kind = 0; // 0: top form, 1: MDI child owner
    bool Watch = false;
    HWND LastFocus = nullptr;
    int RefCount = 0;
};
struct TWatchRecord {
    TCustomForm* Form = nullptr;
    int Count = 0;
};
struct TUnitLists {
    std::vector<TFormRecord> Registry;
    std::vector<TWatchRecord> Watched;
    std::vector<TCustomToolWindow*> Pending;
    HHOOK CallWndHook = nullptr;
    TApplication* HookedApplication = nullptr;
    int MainHookId = 0;
};
TUnitLists& Lists()
{
    static TUnitLists L;
    return L;
}

TCustomForm* TopFormOf(TCustomForm* Form)
{
    if (!Form || Form->FormStyle() != fsMDIChild)
        return Form;
    TScreen* S = ScreenInstance();
    for (int I = 0; I < S->FormCount(); ++I) {
        TCustomForm* F = S->Forms(I);
        if (F->FormStyle() != fsMDIForm)
            continue;
        for (int J = 0; J < F->MDIChildCount(); ++J)
            if (F->MDIChildren(J) == Form)
                return F;
    }
    return Form;
}

bool MainWindowHook(TMessage& Message)
{
    TUnitLists& L = Lists();
    if (Message.Msg == WM_TOOLWINDOWSPENDING && static_cast<DWORD>(Message.WParam) == PendingMagic &&
        static_cast<DWORD>(Message.LParam) == PendingMagic) {
        while (!L.Pending.empty()) {
            TCustomToolWindow* W = L.Pending.back();
            L.Pending.pop_back();
            UpdateVisibility(W->TopForm(), Application && Application->Active());
        }
    } else if (Message.Msg == CM_APPACTIVATE) {
        std::vector<TWatchRecord> Watched = L.Watched;
        for (const TWatchRecord& R : Watched)
            UpdateVisibility(TopFormOf(R.Form), Message.WParam != 0);
    }
    return false;
}

LRESULT CallWndProcHook(int Code, WPARAM WParam, LPARAM LParam)
{
    TUnitLists& L = Lists();
    HHOOK Self = L.CallWndHook;
    if (Code == HC_ACTION) {
        const auto* C = reinterpret_cast<const CWPSTRUCT*>(LParam);
        if (C->message == WM_DESTROY || C->message == WM_SETFOCUS || C->message == WM_WINDOWPOSCHANGED) {
            for (std::size_t I = 0; I < L.Registry.size(); ++I) {
                TFormRecord& R = L.Registry[I];
                if (C->message == WM_DESTROY) {
                    if (R.LastFocus == C->hwnd)
                        R.LastFocus = nullptr;
                } else if (C->message == WM_SETFOCUS) {
                    if (!R.Form->HandleAllocated())
                        continue;
                    HWND FormWnd = R.Form->Handle();
                    if (C->hwnd != FormWnd && !IsChild(FormWnd, C->hwnd))
                        continue;
                    R.LastFocus = nullptr;
                    for (HWND H = C->hwnd; H; H = GetParent(H)) {
                        TWinControl* Ctl = FindControl(H);
                        if (!Ctl)
                            continue;
                        if (Ctl != R.Form && Ctl->HandleAllocated() && GetParentForm(Ctl) == R.Form)
                            R.LastFocus = Ctl->Handle();
                        break;
                    }
                } else if (R.Form->HandleAllocated() && C->hwnd == R.Form->Handle()) {
                    UpdateVisibility(R.Form, Application && Application->Active());
                }
            }
        }
    }
    return CallNextHookEx(Self, Code, WParam, LParam);
}

void RegisterForm(int Kind, TCustomForm* Form, bool Watch)
{
    TUnitLists& L = Lists();
    for (TFormRecord& R : L.Registry)
        if (R.Kind == Kind && R.Form == Form) {
            ++R.RefCount;
            return;
        }
    L.Registry.push_back(TFormRecord{Form, Kind, Watch, nullptr, 1});
    if (Watch) {
        auto It = std::find_if(L.Watched.begin(), L.Watched.end(),
                               [&](const TWatchRecord& W) { return W.Form == Form; });
        const bool First = L.Watched.empty();
        if (It != L.Watched.end())
            ++It->Count;
        else
            L.Watched.push_back(TWatchRecord{Form, 1});
        if (First && Application && !L.MainHookId) {
            L.HookedApplication = Application;
            L.MainHookId = Application->HookMainWindow(&MainWindowHook);
        }
    }
    if (L.Registry.size() == 1)
        L.CallWndHook = SetWindowsHookEx(WH_CALLWNDPROC, &CallWndProcHook, nullptr, GetCurrentThreadId());
}

void UnregisterForm(int Kind, TCustomForm* Form)
{
    TUnitLists& L = Lists();
    for (std::size_t I = L.Registry.size(); I-- > 0;) {
        TFormRecord& R = L.Registry[I];
        if (R.Kind != Kind || R.Form != Form)
            continue;
        if (--R.RefCount > 0)
            return;
        if (R.Watch) {
            auto It = std::find_if(L.Watched.begin(), L.Watched.end(),
                                   [&](const TWatchRecord& W) { return W.Form == Form; });
            if (It != L.Watched.end() && --It->Count <= 0)
                L.Watched.erase(It);
            if (L.Watched.empty() && L.MainHookId) {
                if (L.HookedApplication && L.HookedApplication == Application)
                    L.HookedApplication->UnhookMainWindow(L.MainHookId);
                L.MainHookId = 0;
                L.HookedApplication = nullptr;
            }
        }
        L.Registry.erase(L.Registry.begin() + static_cast<std::ptrdiff_t>(I));
        if (L.Registry.empty() && L.CallWndHook) {
            UnhookWindowsHookEx(L.CallWndHook);
            L.CallWndHook = nullptr;
        }
        return;
    }
}

const TFormRecord* RecordOf(int Kind, TCustomForm* Form)
{
    for (const TFormRecord& R : Lists().Registry)
        if (R.Kind == Kind && R.Form == Form)
            return &R;
    return nullptr;
}

bool IsWindowHidden(TCustomForm* Form)
{
    return !Form || !Form->HandleAllocated() || !IsWindowVisible(Form->Handle()) || IsIconic(Form->Handle());
}

TRect ScreenClientRect(TControl* C)
{
    TPoint O = C->ClientOrigin();
    return Bounds(O.x, O.y, C->ClientWidth(), C->ClientHeight());
}

} // namespace

int DockOrientation(const TDock* Dock)
{
    if (!Dock)
        return 0;
    return (Dock->Position() == dpLeft || Dock->Position() == dpRight) ? 2 : 1;
}

void FlushPaintMessages()
{
    MSG M;
    while (PeekMessage(&M, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE)) {
        if (!GetMessage(&M, nullptr, WM_PAINT, WM_PAINT))
            return PostQuitMessage(static_cast<int>(M.wParam));
        DispatchMessage(&M);
    }
}

HPALETTE DuplicatePalette(HPALETTE Palette)
{
    if (!Palette)
        return nullptr;
    int N = GetPaletteEntries(Palette, 0, 0, nullptr);
    if (N <= 0)
        return nullptr;
    std::vector<std::uint8_t> Buffer(sizeof(LOGPALETTE) + static_cast<std::size_t>(N) * sizeof(PALETTEENTRY));
    auto* LP = reinterpret_cast<LOGPALETTE*>(Buffer.data());
    LP->palVersion = 0x300;
    LP->palNumEntries = static_cast<WORD>(N);
    GetPaletteEntries(Palette, 0, static_cast<UINT>(N), LP->palPalEntry);
    return CreatePalette(LP);
}

void UpdateVisibility(TCustomForm* Form, bool AppActive)
{
    if (!Form)
        return;
    if (Form->FormStyle() == fsMDIForm)
        for (int I = 0; I < Form->MDIChildCount(); ++I)
            UpdateVisibility(Form->MDIChildren(I), AppActive);
    bool Hidden =
        (Application && Application->Handle() && IsIconic(Application->Handle())) || IsWindowHidden(Form);
    TCustomForm* Top = TopFormOf(Form);
    if (Top != Form && IsWindowHidden(Top))
        Hidden = true;
    for (int I = 0; I < Form->ComponentCount(); ++I) {
        auto* W = dynamic_cast<TCustomToolWindow*>(Form->Components(I));
        if (!W || IsDestroying(W))
            continue;
        W->SetHiddenByActivity(!W->Docked() && (Hidden || (W->HideWhenInactive && !AppActive)));
        W->SetCaptionInactive(!W->Docked() && !W->HideWhenInactive && !AppActive);
    }
}

// =================================================================================================
// TDock

TDock::TDock(TComponent* AOwner) : TCustomControl(AOwner)
{
    if (!dynamic_cast<TCustomForm*>(AOwner))
        throw EInvalidOperation("TDock must be owned by a form");
    ControlStyle.Include(csAcceptsControls);
    ++ArrangeLock;
    FBackground = new TBitmap;
    FBackground->OnChange = [this](TObject* Sender) { BackgroundChanged(Sender); };
    FColor = clBtnFace;
    SetAlign(alTop);
    --ArrangeLock;
    LayoutBars();
}

TDock::~TDock()
{
    Destroying();
    FBackgroundCache.reset();
    delete FBackground;
    FBackground = nullptr;
}

void TDock::SetParent(TWinControl* AParent)
{
    if (dynamic_cast<TCustomToolWindow*>(AParent) || dynamic_cast<TDock*>(AParent))
        throw EInvalidOperation("A TDock control cannot be placed inside a tool window or another TDock");
    TCustomControl::SetParent(AParent);
}

void TDock::Loaded()
{
    TCustomControl::Loaded();
    LayoutBars();
}

void TDock::SetPosition(TDockPosition Value)
{
    if (Value == FPosition)
        return;
    if (ControlCount() > 0)
        throw EInvalidOperation("Cannot change Position of a TDock if it already contains controls");
    FPosition = Value;
    static constexpr TAlign Aligns[] = {alTop, alBottom, alLeft, alRight};
    SetAlign(Aligns[Value]);
}

void TDock::SetAllowDrag(bool Value)
{
    if (Value == FAllowDrag)
        return;
    FAllowDrag = Value;
    for (int I = 0; I < ControlCount(); ++I)
        if (auto* W = dynamic_cast<TCustomToolWindow*>(Controls(I)); W && W->HandleAllocated()) {
            RecomputeFrame(W->Handle());
            W->ArrangeControls();
        }
    LayoutBars();
}

void TDock::SetBackground(TBitmap* Value)
{
    FBackground->Assign(Value);
}

void TDock::SetBackgroundOnToolbars(bool Value)
{
    if (Value == FBackgroundOnToolbars)
        return;
    FBackgroundOnToolbars = Value;
    InvalidateBackground();
}

void TDock::SetBackgroundTransparent(bool Value)
{
    if (Value == FBackgroundTransparent)
        return;
    FBackgroundTransparent = Value;
    if (HasBackground())
        BackgroundChanged(nullptr);
}

void TDock::SetBoundLines(TDockBoundLines Value)
{
    if (Value == FBoundLines)
        return;
    FBoundLines = Value;
    if (HandleAllocated())
        RecomputeFrame(Handle());
}

void TDock::SetFixAlign(bool Value)
{
    if (Value == FFixAlign)
        return;
    FFixAlign = Value;
    LayoutBars();
}

void TDock::BackgroundChanged(TObject*)
{
    FBackgroundCache.reset();
    InvalidateBackground();
}

void TDock::CreateParams(TCreateParams& Params)
{
    TCustomControl::CreateParams(Params);
    if (!IsDesigning(this))
        Params.ClassStyle &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TDock::VisibleChanging()
{
    if (Visible())
        throw EInvalidOperation("Cannot hide a TDock");
}

void TDock::AlignControls(TControl*, TRect&)
{
    LayoutBars();
}

bool TDock::HasBackground() const
{
    return FBackground && FBackground->Width() != 0 && FBackground->Height() != 0;
}

int TDock::HighestRow() const
{
    int R = -1;
    for (TCustomToolWindow* B : FDockedBars)
        R = std::max(R, B->DockRow());
    return R;
}

int TDock::CountBarsInRow(int Row, const TCustomToolWindow* Except) const
{
    int N = 0;
    for (TCustomToolWindow* B : FDockedBars)
        if (B != Except && B->DockRow() == Row)
            ++N;
    return N;
}

void TDock::InsertRow(int Row)
{
    for (TCustomToolWindow* B : FDockedBars)
        if (B->FDockRow >= Row)
            ++B->FDockRow;
}

void TDock::BuildRowThickness()
{
    FRowThickness.clear();
    const int O = DockOrientation(this);
    for (int R = 0, H = HighestRow(); R <= H; ++R) {
        int T = 8;
        for (TCustomToolWindow* B : FDockedBars)
            if (B->DockRow() == R)
                T = std::max(T, B->GetBarThickness(O));
        FRowThickness.push_back(T);
    }
}

int TDock::RowThicknessOf(int Row, TCustomToolWindow* Bar)
{
    if (Row >= 0 && Row < static_cast<int>(FRowThickness.size()))
        return FRowThickness[static_cast<std::size_t>(Row)];
    return Bar ? Bar->GetBarThickness(DockOrientation(this)) : 0;
}

int TDock::RowAtDropPoint(int Pos, bool& NewRow)
{
    const int Highest = HighestRow();
    int T = 0;
    for (int R = 0; R <= Highest + 1; ++R) {
        const int B = R > Highest ? INT_MAX : T + RowThicknessOf(R, nullptr) + 4;
        if (Pos <= T + 5) {
            NewRow = true;
            return R;
        }
        if (Pos <= B - 5) {
            NewRow = false;
            return R;
        }
        T = B;
    }
    NewRow = false;
    return Highest + 1;
}

int TDock::RowAtPosition(int Pos)
{
    const int Highest = HighestRow();
    int Sum = 0;
    for (int R = 0; R <= Highest; ++R) {
        Sum += RowThicknessOf(R, nullptr) + 4;
        if (Sum > Pos)
            return R;
    }
    return Highest + 1;
}

void TDock::ChangeBarList(bool Inserting, TCustomToolWindow* Bar, bool BarIsVisible)
{
    std::vector<TCustomToolWindow*> Before = FDockedBars;
    FDockedBars.erase(std::remove(FDockedBars.begin(), FDockedBars.end(), Bar), FDockedBars.end());
    if (Inserting && (BarIsVisible || IsDesigning(this)))
        FDockedBars.push_back(Bar);
    if (Before == FDockedBars || IsDestroying(this))
        return;
    LayoutBars();
    Bar->ArrangeControls();
    if (OnInsertRemoveBar)
        OnInsertRemoveBar(this, Inserting, Bar);
}

void TDock::SetDockSize(bool ClientAdjust, int NewWidth, int NewHeight)
{
    if (ClientAdjust) {
        NewWidth += Width() - ClientWidth();
        NewHeight += Height() - ClientHeight();
    }
    switch (FPosition) {
    case dpTop:
    case dpLeft:
        SetBounds(Left(), Top(), NewWidth, NewHeight);
        break;
    case dpBottom:
        SetBounds(Left(), Top() + Height() - NewHeight, NewWidth, NewHeight);
        break;
    case dpRight:
        SetBounds(Left() + Width() - NewWidth, Top(), NewWidth, NewHeight);
        break;
    }
}

void TDock::LayoutBars()
{
    if (ArrangeLock > 0 || IsLoading(this) || IsDestroying(this))
        return;
    // The bars' own moves below come back as alignment requests: they are ours, not new work.
    DisableAlign();
    ++ArrangeLock;
    struct TUnlock {
        TDock* D;
        ~TUnlock()
        {
            --D->ArrangeLock;
            D->ControlState.Exclude(csAlignmentNeeded);
            D->EnableAlign();
        }
    } Unlock{this};

    if (!IsDesigning(this) && HandleAllocated())
        SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    const bool Vertical = FPosition == dpLeft || FPosition == dpRight;
    if (FDockedBars.empty()) {
        const int T = IsDesigning(this) ? 9 : (FFixAlign ? 1 : 0);
        if (Vertical)
            SetDockSize(false, T, Height());
        else
            SetDockSize(false, Width(), T);
        return;
    }
    auto& Bars = FDockedBars;
    auto Length = [Vertical](TCustomToolWindow* B) { return Vertical ? B->Height() : B->Width(); };
    SortList(
        Bars,
        [](TCustomToolWindow* A, TCustomToolWindow* B, const void*) {
            if (A->DockRow() != B->DockRow())
                return A->DockRow() < B->DockRow() ? -1 : 1;
            if (A->DockPos() != B->DockPos())
                return A->DockPos() < B->DockPos() ? -1 : 1;
            return 0;
        },
        nullptr);
    if (LimitToOneRow)
        for (TCustomToolWindow* B : Bars)
            B->FDockRow = 0;
    // Blank rows go, so that the rows are numbered 0, 1, 2 ... without gaps.
    for (int R = 0; R <= HighestRow();) {
        if (CountBarsInRow(R, nullptr) > 0) {
            ++R;
            continue;
        }
        for (TCustomToolWindow* B : Bars)
            if (B->FDockRow > R)
                --B->FDockRow;
    }
    // A full-size bar keeps its row alone; the bars of a row are laid end to end in order.
    for (int R = 0; R <= HighestRow(); ++R) {
        int Pos = 0;
        for (TCustomToolWindow* B : Bars) {
            if (B->FDockRow != R)
                continue;
            if (B->FullSize() && CountBarsInRow(R, B) > 0)
                for (TCustomToolWindow* Other : Bars)
                    if (Other != B && Other->FDockRow >= R)
                        ++Other->FDockRow;
            if (B->FDockPos > Pos)
                Pos = B->FDockPos;
            else
                B->FDockPos = Pos;
            Pos += Length(B);
        }
    }
    BuildRowThickness();
    // A row that ends beyond the dock moves back inside by the excess of its last bar.
    const int ClientLen = Vertical ? ClientHeight() : ClientWidth();
    for (std::size_t K = 0; K < Bars.size(); ++K) {
        TCustomToolWindow* B = Bars[K];
        if (B->FullSize()) {
            B->FDockPos = 0;
            continue;
        }
        for (std::size_t Q = Bars.size(); Q-- > K;) {
            TCustomToolWindow* E = Bars[Q];
            if (E->FDockRow != B->FDockRow)
                continue;
            int Excess = E->FDockPos + Length(E) - ClientLen;
            if (Excess > 0) {
                B->FDockPos -= Excess;
                break;
            }
        }
    }
    int Cross = 0;
    for (int R = 0, H = HighestRow(); R <= H; ++R) {
        const int Thickness = RowThicknessOf(R, nullptr);
        const int Step = std::max(8, Thickness + 4);
        int Pos = 0;
        for (TCustomToolWindow* B : Bars) {
            if (B->FDockRow != R)
                continue;
            B->FDockPos = std::max(B->FDockPos, Pos);
            ++B->FBoundsUpdating;
            try {
                if (!Vertical)
                    B->SetBounds(B->FDockPos, Cross, B->FullSize() ? ClientWidth() : B->Width(),
                                 Thickness + 4);
                else
                    B->SetBounds(Cross, B->FDockPos, Thickness + 4,
                                 B->FullSize() ? ClientHeight() : B->Height());
            } catch (...) {
                --B->FBoundsUpdating;
                throw;
            }
            --B->FBoundsUpdating;
            Pos = B->FDockPos + Length(B);
        }
        Cross += Step;
    }
    if (Vertical)
        SetDockSize(true, Cross, ClientHeight());
    else
        SetDockSize(true, ClientWidth(), Cross);
}

TBitmap* TDock::BackgroundSource()
{
    if (!FBackgroundTransparent)
        return FBackground;
    if (!FBackgroundCache) {
        const int W = FBackground->Width(), H = FBackground->Height();
        FBackgroundCache = std::make_unique<TBitmap>();
        FBackgroundCache->SetPalette(DuplicatePalette(FBackground->Palette()));
        FBackgroundCache->SetSize(W, H);
        TCanvas* C = FBackgroundCache->Canvas();
        C->Brush()->SetColor(Color());
        TRect R = Rect(0, 0, W, H);
        C->FillRect(R);
        C->BrushCopy(R, FBackground, R, FBackground->Canvas()->Pixels(0, H - 1));
    }
    return FBackgroundCache.get();
}

void TDock::DrawBackground(HDC DC, const TRect& ClipRect, const TRect& TileArea, const TRect* ExcludeRect)
{
    if (!HasBackground())
        return;
    TBitmap* Source = BackgroundSource();
    const int W = Source->Width(), H = Source->Height();
    int Saved = SaveDC(DC);
    IntersectClipRect(DC, ClipRect.left, ClipRect.top, ClipRect.right, ClipRect.bottom);
    if (ExcludeRect)
        ExcludeClipRect(DC, ExcludeRect->left, ExcludeRect->top, ExcludeRect->right, ExcludeRect->bottom);
    HPALETTE OldPal = nullptr;
    if (HPALETTE Pal = Source->Palette()) {
        OldPal = SelectPalette(DC, Pal, TRUE);
        RealizePalette(DC);
    }
    HDC Src = Source->Canvas()->Handle();
    for (int X = TileArea.left; X < TileArea.right; X += W)
        for (int Y = TileArea.top; Y < TileArea.bottom; Y += H)
            BitBlt(DC, X, Y, W, H, Src, 0, 0, SRCCOPY);
    if (OldPal)
        SelectPalette(DC, OldPal, TRUE);
    RestoreDC(DC, Saved);
}

void TDock::InvalidateBackground()
{
    Invalidate();
    for (TCustomToolWindow* B : FDockedBars) {
        B->PostDockedNCRepaint();
        B->Invalidate();
    }
}

void TDock::Paint()
{
    TCanvas* C = Canvas();
    TRect R = ClientRect();
    if (IsDesigning(this)) {
        C->Pen()->SetColor(clBtnShadow);
        C->Pen()->SetStyle(psDot);
        C->Brush()->SetStyle(bsClear);
        C->Rectangle(R);
        C->Pen()->SetStyle(psSolid);
        C->Brush()->SetStyle(bsSolid);
        InflateRect(&R, -1, -1);
    }
    if (HasBackground()) {
        TRect NonClient{};
        if (HandleAllocated()) {
            RECT WR;
            GetWindowRect(Handle(), &WR);
            TPoint O = ClientOrigin();
            NonClient.left = O.x - WR.left;
            NonClient.top = O.y - WR.top;
        }
        TRect Tiles =
            Rect(-(Left() + NonClient.left), -(Top() + NonClient.top), ClientWidth(), ClientHeight());
        DrawBackground(C->Handle(), R, Tiles, nullptr);
    } else {
        C->Brush()->SetColor(Color());
        C->FillRect(R);
    }
}

void TDock::WMMove(TWMMove Message)
{
    DefaultHandler(Message);
    if (HasBackground())
        InvalidateBackground();
}

void TDock::WMSize(TWMSize Message)
{
    DefaultHandler(Message);
    LayoutBars();
}

void TDock::WMNCCalcSize(TWMNCCalcSize Message)
{
    DefaultHandler(Message);
    RECT* R = Message.Rect();
    if (R->right - R->left < 2 || R->bottom - R->top < 2)
        return;
    if (FBoundLines.Contains(blTop))
        ++R->top;
    if (FBoundLines.Contains(blBottom))
        --R->bottom;
    if (FBoundLines.Contains(blLeft))
        ++R->left;
    if (FBoundLines.Contains(blRight))
        --R->right;
}

void TDock::WMNCPaint(TWMNCPaint Message)
{
    (void)Message;
    if (!HandleAllocated() || Width() < 2 || Height() < 2)
        return;
    HDC DC = FrameDC(Handle(), Message.RGN());
    const int W = Width(), H = Height();
    HBRUSH Shadow = GetSysColorBrush(COLOR_BTNSHADOW), Light = GetSysColorBrush(COLOR_BTNHIGHLIGHT);
    RECT R;
    if (FBoundLines.Contains(blTop)) {
        R = RECT{0, 0, W, 1};
        FillRect(DC, &R, Shadow);
    }
    if (FBoundLines.Contains(blLeft)) {
        R = RECT{0, 0, 1, H};
        FillRect(DC, &R, Shadow);
    }
    if (FBoundLines.Contains(blBottom)) {
        R = RECT{0, H - 1, W, H};
        FillRect(DC, &R, Light);
    }
    if (FBoundLines.Contains(blRight)) {
        R = RECT{W - 1, 0, W, H};
        FillRect(DC, &R, Light);
    }
    ReleaseDC(Handle(), DC);
}

void TDock::CMColorChanged(TMessage& Message)
{
    TCustomControl::CMColorChanged(Message);
    if (HasBackground())
        BackgroundChanged(nullptr);
}

void TDock::CMSysColorChange(TMessage& Message)
{
    TCustomControl::CMSysColorChange(Message);
    if (HasBackground())
        BackgroundChanged(nullptr);
}

// =================================================================================================
// TFloatParent

TFloatParent::TFloatParent(TComponent* AOwner) : TWinControl(AOwner)
{
    SetBounds(0, 0, 0, 0);
}

void TFloatParent::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    Params.Style = WS_CHILD;
    Params.ExStyle = 0;
}

bool TFloatParent::ShouldShow() const
{
    return Parent() && Parent()->Showing();
}

void TFloatParent::CMShowingChanged(TMessage&)
{
    // The window itself stays hidden; only the floating windows above it show.
}

// =================================================================================================
// TCustomToolWindow

TCustomToolWindow::TCustomToolWindow(TComponent* AOwner) : TCustomControl(AOwner)
{
    QueryWindowOptions();
    auto* OwnerForm = dynamic_cast<TCustomForm*>(AOwner);
    if (!OwnerForm)
        throw EInvalidOperation("Tool windows must be owned by a form");
    ControlStyle.Include(csAcceptsControls);
    FTopForm = TopFormOf(OwnerForm);
    ++FOrderLock;
    if (IsDesigning(this)) {
        FFloatParent = nullptr;
    } else {
        FFloatParent = new TFloatParent(OwnerForm);
        FFloatParent->SetParent(FTopForm);
        FreeNotification(FFloatParent);
        RegisterForm(0, FTopForm, true);
        if (OwnerForm->FormStyle() == fsMDIChild)
            RegisterForm(1, OwnerForm, false);
        FRegistered = true;
        FHiddenByActivity = Application != nullptr;
    }
    FCaptionInactive = !(Application && Application->Active());
    FColor = clBtnFace;
    SetDockedTo(nullptr);
    --FOrderLock;
    if (!IsDesigning(this) && Application && Application->Handle()) {
        auto& P = Lists().Pending;
        if (std::find(P.begin(), P.end(), this) == P.end())
            P.push_back(this);
        PostMessage(Application->Handle(), WM_TOOLWINDOWSPENDING, PendingMagic,
                    static_cast<LPARAM>(PendingMagic));
    }
}

TCustomToolWindow::~TCustomToolWindow()
{
    Destroying();
    auto& P = Lists().Pending;
    P.erase(std::remove(P.begin(), P.end(), this), P.end());
    if (auto* D = dynamic_cast<TDock*>(Parent()))
        D->ChangeBarList(false, this, false);
    if (FRegistered) {
        UnregisterForm(0, FTopForm);
        if (auto* OwnerForm = dynamic_cast<TCustomForm*>(Owner()); OwnerForm && OwnerForm != FTopForm)
            UnregisterForm(1, OwnerForm);
    }
}

void TCustomToolWindow::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomControl::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FDefaultDock)
        FDefaultDock = nullptr;
    if (AComponent == FFloatParent)
        FFloatParent = nullptr;
}

int TCustomToolWindow::FrameX() const
{
    return GetSystemMetrics(FResizable ? SM_CXFRAME : SM_CXDLGFRAME);
}

int TCustomToolWindow::FrameY() const
{
    return GetSystemMetrics(FResizable ? SM_CYFRAME : SM_CYDLGFRAME);
}

int TCustomToolWindow::CaptionHeight()
{
    return GetSystemMetrics(SM_CYSMCAPTION);
}

TRect TCustomToolWindow::NonClientInsets(TDock* DockingTo) const
{
    if (DockingTo) {
        TRect R{2, 2, 2, 2};
        if (DockingTo->AllowDrag() && FDragHandle) {
            if (DockOrientation(DockingTo) == 2)
                R.top += 9;
            else
                R.left += 9;
        }
        return R;
    }
    return TRect{FrameX(), FrameY() + CaptionHeight(), FrameX(), FrameY()};
}

TSize TCustomToolWindow::NonClientSize() const
{
    TRect I = NonClientInsets(FDocked ? FDockedTo : nullptr);
    return TSize{I.left + I.right, I.top + I.bottom};
}

TRect TCustomToolWindow::ClientRect() const
{
    if (HandleAllocated())
        return TCustomControl::ClientRect();
    TRect I = NonClientInsets(FDocked ? FDockedTo : nullptr);
    return Rect(0, 0, std::max(0, Width() - I.left - I.right), std::max(0, Height() - I.top - I.bottom));
}

TRect TCustomToolWindow::FloatingCaptionRect(bool WithoutCloseButton) const
{
    const int C = CaptionHeight();
    TRect R = Bounds(FrameX(), FrameY(), ClientWidth(), C - 1);
    if (WithoutCloseButton && FCloseButton)
        R.right -= C - 1;
    return R;
}

TRect TCustomToolWindow::CloseButtonRect() const
{
    TRect R = FloatingCaptionRect(false);
    R.left = R.right - (CaptionHeight() - 1);
    return R;
}

// ---- Properties ----------------------------------------------------------------------------------
void TCustomToolWindow::SetDockRow(int Value)
{
    FDockRow = Value;
    if (FDocked && FDockedTo)
        FDockedTo->LayoutBars();
}

void TCustomToolWindow::SetDockPos(int Value)
{
    FDockPos = Value;
    if (FDocked && FDockedTo)
        FDockedTo->LayoutBars();
}

void TCustomToolWindow::SetDefaultDock(TDock* Value)
{
    if (Value == FDefaultDock)
        return;
    FDefaultDock = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TCustomToolWindow::FrameChanged()
{
    if (HandleAllocated())
        RecomputeFrame(Handle());
}

void TCustomToolWindow::SetCloseButton(bool Value)
{
    if (Value == FCloseButton)
        return;
    FCloseButton = Value;
    if (!FDocked && HandleAllocated())
        PaintFloatingFrame(nullptr, false, true, true);
}

void TCustomToolWindow::SetDragHandle(bool Value)
{
    if (Value == FDragHandle)
        return;
    FDragHandle = Value;
    if (FDocked && HandleAllocated()) {
        FrameChanged();
        ArrangeControls();
    }
}

void TCustomToolWindow::SetFullSize(bool Value)
{
    if (Value == FFullSize)
        return;
    FFullSize = Value;
    ArrangeControls();
}

void TCustomToolWindow::SetResizable(bool Value)
{
    FResizable = Value;
}

void TCustomToolWindow::SetCaptionInactive(bool Value)
{
    if (Value == FCaptionInactive)
        return;
    FCaptionInactive = Value;
    if (!FDocked && HandleAllocated())
        PaintFloatingFrame(nullptr, false, false, true);
}

void TCustomToolWindow::SetHiddenByActivity(bool Value)
{
    if (Value == FHiddenByActivity)
        return;
    FHiddenByActivity = Value;
    if (HandleAllocated())
        Perform(CM_SHOWINGCHANGED, 0, 0);
}

void TCustomToolWindow::ShowOrHideWindow()
{
    if (!HandleAllocated())
        return;
    const bool Show = Showing() && !FHiddenByActivity;
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE |
                     (Show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

// ---- Virtual operations and hooks -----------------------------------------------------------
int TCustomToolWindow::GetBarThickness(int)
{
    return 8;
}

void TCustomToolWindow::QueryMinimumSize(int& AWidth, int& AHeight)
{
    AWidth = 0;
    AHeight = 0;
}

TSize TCustomToolWindow::PositionControls(bool, TDock*, TDock*)
{
    return TSize{ClientWidth(), ClientHeight()};
}

void TCustomToolWindow::SizeAboutToChange(int, int) {}
void TCustomToolWindow::LoadPositionHook(const TPositionReadIntProc&, const TPositionReadStringProc&, void*)
{
}
void TCustomToolWindow::SavePositionHook(const TPositionWriteIntProc&, const TPositionWriteStringProc&, void*)
{
}
void TCustomToolWindow::SizingStart(int) {}
void TCustomToolWindow::SizingTrack(TRect&, const TRect&) {}
void TCustomToolWindow::SizingFinish(bool) {}
void TCustomToolWindow::PrepareOrdering() {}

void TCustomToolWindow::QueryWindowOptions()
{
    FAlignChildren = true;
    FCornerSizing = true;
    FClipCursorWhileSizing = true;
}

// ---- Parent, dock and bounds ------------------------------------------------------------------
void TCustomToolWindow::SetParent(TWinControl* AParent)
{
    auto* OwnerForm = dynamic_cast<TCustomForm*>(Owner());
    if (!IsDesigning(this) && AParent && AParent == OwnerForm && FFloatParent)
        AParent = FFloatParent;
    if (AParent && !dynamic_cast<TDock*>(AParent) && AParent != OwnerForm &&
        !dynamic_cast<TFloatParent*>(AParent))
        throw EInvalidOperation("A tool window can only be placed on a TDock or directly on the form");
    if (AParent == Parent()) {
        FDockedTo = dynamic_cast<TDock*>(AParent);
        FDocked = FDockedTo != nullptr;
        return;
    }
    const bool Dying = IsDestroying(this);
    if (!Dying && OnRecreating)
        OnRecreating(this);
    if (auto* D = dynamic_cast<TDock*>(Parent()))
        D->ChangeBarList(false, this, false);
    // A docked window is a child and a floating one a pop-up: the window is made anew.
    TCustomControl::SetParent(nullptr);
    FDockedTo = dynamic_cast<TDock*>(AParent);
    FDocked = FDockedTo != nullptr;
    try {
        TCustomControl::SetParent(AParent);
    } catch (...) {
        FDockedTo = dynamic_cast<TDock*>(Parent());
        FDocked = FDockedTo != nullptr;
        throw;
    }
    if (FDockedTo)
        FDockedTo->ChangeBarList(true, this, Visible() || FDockChangeHide > 0);
    if (!Dying && OnRecreated)
        OnRecreated(this);
}

void TCustomToolWindow::SetDockedTo(TDock* Value)
{
    TDock* Old = FDockedTo;
    const bool Changing = Value != Old;
    if (Changing && OnDockChanging)
        OnDockChanging(this);
    bool Hid = false;
    {
        ++FBoundsUpdating;
        if (Value)
            ++Value->ArrangeLock;
        struct TUnlock {
            TCustomToolWindow* W;
            TDock* D;
            ~TUnlock()
            {
                --W->FBoundsUpdating;
                if (D)
                    --D->ArrangeLock;
            }
        } Unlock{this, Value};
        if (!IsDesigning(this) && Changing && Visible()) {
            ++FDockChangeHide;
            Hid = true;
            if (Old)
                ++Old->ArrangeLock;
            try {
                SetVisible(false);
            } catch (...) {
                if (Old)
                    --Old->ArrangeLock;
                --FDockChangeHide;
                throw;
            }
            if (Old)
                --Old->ArrangeLock;
        }
        try {
            TSize S;
            if (Value) {
                if (Parent())
                    UpdateSize(1, Old, S, Value);
                if (Parent() != Value) {
                    ++FOrderLock;
                    try {
                        SetParent(Value);
                    } catch (...) {
                        --FOrderLock;
                        throw;
                    }
                    --FOrderLock;
                }
                ArrangeControls();
                if (Changing)
                    SetBounds(-Width(), -Height(), Width(), Height());
            } else {
                if (Parent())
                    UpdateSize(1, Old, S, nullptr);
                ++FOrderLock;
                try {
                    if (FFloatParent && Parent() != FFloatParent)
                        SetParent(FFloatParent);
                    SetBounds(FloatPosition.x, FloatPosition.y, Width(), Height());
                    KeepOnScreen(true);
                } catch (...) {
                    --FOrderLock;
                    throw;
                }
                --FOrderLock;
                ArrangeControls();
            }
        } catch (...) {
            if (Hid) {
                SetVisible(true);
                --FDockChangeHide;
            }
            throw;
        }
    }
    if (Hid) {
        SetVisible(true);
        --FDockChangeHide;
    }
    if (Value)
        Value->LayoutBars();
    if (Changing && OnDockChanged)
        OnDockChanged(this);
}

void TCustomToolWindow::ArrangeControls()
{
    TSize S;
    UpdateSize(2, FDockedTo, S, FDockedTo);
}

void TCustomToolWindow::UpdateSize(int Mode, TDock* WasDockedTo, TSize& Size, TDock* DockingTo)
{
    Size = TSize{0, 0};
    if (FOrderLock > 0 || IsLoading(this) || IsDestroying(this) || !Parent())
        return;
    if (Parent()->HandleAllocated() && IsDestroying(Parent()))
        return;
    ++FOrderLock;
    try {
        Size = PositionControls(Mode != 0, WasDockedTo, DockingTo);
    } catch (...) {
        --FOrderLock;
        throw;
    }
    --FOrderLock;
    if (Mode != 2)
        return;
    TSize S = Size;
    const TSize Nc = NonClientSize();
    const int NcW = Nc.cx, NcH = Nc.cy;
    if (FDocked && FDockedTo) {
        FDockedTo->BuildRowThickness();
        const int T = FDockedTo->RowThicknessOf(FDockRow, this);
        if (DockOrientation(FDockedTo) == 2) {
            S.cx = std::max(S.cx, T);
            if (FFullSize)
                S.cy = FDockedTo->ClientHeight() - NcH;
        } else {
            S.cy = std::max(S.cy, T);
            if (FFullSize)
                S.cx = FDockedTo->ClientWidth() - NcW;
        }
    }
    if (ClientWidth() != S.cx || ClientHeight() != S.cy) {
        ++FBoundsUpdating;
        try {
            SetBounds(Left(), Top(), S.cx + NcW, S.cy + NcH);
        } catch (...) {
            --FBoundsUpdating;
            throw;
        }
        --FBoundsUpdating;
    }
}

void TCustomToolWindow::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    if (FBoundsUpdating == 0 && (AWidth != Width() || AHeight != Height()))
        SizeAboutToChange(AWidth, AHeight);
    if (IsDesigning(this) && FDocked && FDockedTo && !IsLoading(this) && FBoundsUpdating == 0) {
        // The designer moved the bar: the move becomes a row and a position in the dock.
        if (DockOrientation(FDockedTo) == 2) {
            FDockRow = FDockedTo->RowAtPosition(ALeft + AWidth / 2);
            FDockPos = ATop;
        } else {
            FDockRow = FDockedTo->RowAtPosition(ATop + AHeight / 2);
            FDockPos = ALeft;
        }
        TCustomControl::SetBounds(Left(), Top(), AWidth, AHeight);
        FDockedTo->LayoutBars();
        return;
    }
    TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (!FDocked && !IsLoading(this) && FBoundsUpdating == 0)
        FloatPosition = TPoint{Left(), Top()};
}

void TCustomToolWindow::Loaded()
{
    TCustomControl::Loaded();
    if (!IsDesigning(this) && !FDocked) {
        // A floating window's stored place is relative to its form's client area.
        if (auto* OwnerForm = dynamic_cast<TCustomForm*>(Owner())) {
            TPoint P = OwnerForm->ClientToScreen(TPoint{Left(), Top()});
            SetBounds(P.x, P.y, Width(), Height());
        }
        KeepOnScreen(false);
    }
    PrepareOrdering();
    ArrangeControls();
}

void TCustomToolWindow::KeepOnScreen(bool OnlyWhenOffScreen)
{
    if (FDocked)
        return;
    RECT WA = WorkArea();
    TRect R = BoundsRect();
    RECT X;
    if (OnlyWhenOffScreen && IntersectRect(&X, &R, &WA))
        return;
    if (R.right > WA.right)
        OffsetRect(&R, WA.right - R.right, 0);
    if (R.bottom > WA.bottom)
        OffsetRect(&R, 0, WA.bottom - R.bottom);
    if (R.left < WA.left)
        OffsetRect(&R, WA.left - R.left, 0);
    if (R.top < WA.top)
        OffsetRect(&R, 0, WA.top - R.top);
    SetBounds(R.left, R.top, Width(), Height());
}

void TCustomToolWindow::AlignControls(TControl* AControl, TRect& Rect)
{
    if (FAlignChildren)
        TCustomControl::AlignControls(AControl, Rect);
    ArrangeControls();
}

void TCustomToolWindow::CreateParams(TCreateParams& Params)
{
    TCustomControl::CreateParams(Params);
    if (!Parent() || Parent() != FFloatParent)
        return;
    if (IsDesigning(this)) {
        Params.Style |= WS_BORDER | WS_THICKFRAME;
    } else {
        Params.Style = WS_POPUP | WS_BORDER | WS_THICKFRAME;
        Params.ExStyle = 0;
    }
}

// ---- Painting ----------------------------------------------------------------------------------
void TCustomToolWindow::Paint()
{
    TCustomControl::Paint();
    if (FDocked && FDockedTo && FDockedTo->HasBackground() && FDockedTo->BackgroundOnToolbars() &&
        FDockedTo->Parent()) {
        TPoint O = ScreenToClient(FDockedTo->Parent()->ClientOrigin());
        FDockedTo->DrawBackground(Canvas()->Handle(), ClientRect(),
                                  Rect(O.x, O.y, ClientWidth(), ClientHeight()), nullptr);
    }
}

void TCustomToolWindow::PostDockedNCRepaint()
{
    if (!HandleAllocated())
        return;
    MSG M;
    while (PeekMessage(&M, Handle(), WM_DOCKEDNCREPAINT, WM_DOCKEDNCREPAINT, PM_REMOVE)) {
    }
    PostMessage(Handle(), WM_DOCKEDNCREPAINT, 0, 0);
}

void TCustomToolWindow::PaintDockedFrame(HRGN Clip)
{
    if (!FDocked || !FDockedTo || !HandleAllocated())
        return;
    MSG M;
    while (PeekMessage(&M, Handle(), WM_DOCKEDNCREPAINT, WM_DOCKEDNCREPAINT, PM_REMOVE)) {
    }
    HDC DC = FrameDC(Handle(), Clip);
    RECT R{0, 0, Width(), Height()};
    DrawEdge(DC, &R, BDR_RAISEDINNER, BF_RECT);
    InflateRect(&R, -1, -1);
    HBRUSH Face = CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(Color())));
    FrameRect(DC, &R, Face);
    const bool Tiles = FDockedTo->HasBackground() && FDockedTo->BackgroundOnToolbars();
    if (Tiles && FDockedTo->Parent()) {
        RECT WR;
        GetWindowRect(Handle(), &WR);
        TPoint O = FDockedTo->Parent()->ClientOrigin();
        TPoint C = ClientOrigin();
        TRect Client = Bounds(C.x - WR.left, C.y - WR.top, ClientWidth(), ClientHeight());
        FDockedTo->DrawBackground(DC, R, Rect(O.x - WR.left, O.y - WR.top, Width(), Height()), &Client);
    }
    if (FDockedTo->AllowDrag() && FDragHandle) {
        const COLORREF H = GetSysColor(COLOR_BTNHIGHLIGHT);
        auto Fill = [&](int L, int T, int Rt, int B) {
            RECT F{L, T, Rt, B};
            FillRect(DC, &F, Face);
        };
        auto Grip = [&](int L, int T, int Rt, int B) {
            RECT G{L, T, Rt, B};
            DrawEdge(DC, &G, BDR_RAISEDINNER, BF_RECT | BF_MIDDLE);
        };
        if (DockOrientation(FDockedTo) == 2) {
            const int A = ClientWidth() + 2;
            if (!Tiles) {
                Fill(2, 2, A, 4);
                Fill(2, 10, A, 11);
            }
            Grip(2, 4, A, 7);
            Grip(2, 7, A, 10);
            SetPixel(DC, ClientWidth() + 1, 4, H);
            SetPixel(DC, ClientWidth() + 1, 7, H);
        } else {
            const int A = ClientHeight() + 2;
            if (!Tiles) {
                Fill(2, 2, 4, A);
                Fill(10, 2, 11, A);
            }
            Grip(4, 2, 7, A);
            Grip(7, 2, 10, A);
            SetPixel(DC, 4, ClientHeight() + 1, H);
            SetPixel(DC, 7, ClientHeight() + 1, H);
        }
    }
    DeleteObject(Face);
    ReleaseDC(Handle(), DC);
}

void TCustomToolWindow::PaintFloatingFrame(HRGN Clip, bool DrawFrame, bool DrawCloseButton, bool DrawCaption)
{
    if (FDocked || !HandleAllocated())
        return;
    HDC DC = FrameDC(Handle(), Clip);
    const int Fx = FrameX(), C = CaptionHeight();
    const TRect Full = FloatingCaptionRect(false);
    const TRect CaptionR = FloatingCaptionRect(true);
    const TRect Close = CloseButtonRect();
    if (DrawFrame) {
        RECT R{0, 0, Width(), Height()};
        DrawEdge(DC, &R, EDGE_RAISED, BF_RECT | BF_ADJUST);
        for (int Ring = 2; Ring < Fx; ++Ring) {
            FrameRect(DC, &R, GetSysColorBrush(COLOR_BTNFACE));
            InflateRect(&R, -1, -1);
        }
    }
    const int CaptionColor = FCaptionInactive ? COLOR_INACTIVECAPTION : COLOR_ACTIVECAPTION;
    if (DrawCaption) {
        int Saved = 0;
        if (DrawCloseButton && FCloseButton) {
            Saved = SaveDC(DC);
            ExcludeClipRect(DC, Close.left, Close.top, Close.right, Close.bottom);
        }
        // The system's own caption painter is never found here, so the caption is drawn by hand.
        RECT CR = CaptionR;
        FillRect(DC, &CR, GetSysColorBrush(CaptionColor));
        RECT TR = CR;
        ++TR.left;
        --TR.right;
        LOGFONT LF;
        LF.lfHeight = -11;
        LF.lfWeight = FW_NORMAL;
        std::strncpy(LF.lfFaceName, "MS Sans Serif", LF_FACESIZE - 1);
        HFONT Font = CreateFontIndirect(&LF);
        HGDIOBJ OldFont = SelectObject(DC, Font);
        std::string Text = Caption();
        auto Fits = [&](const std::string& S) {
            SIZE Sz{};
            GetTextExtentPoint32(DC, S.c_str(), static_cast<int>(S.size()), &Sz);
            return Sz.cx <= TR.right - TR.left;
        };
        if (!Fits(Text)) {
            Text += "...";
            while (!Fits(Text) && Text.size() > 4) {
                // Drop the whole character in front of the dots (UTF-8).
                std::size_t End = Text.size() - 3, Start = End - 1;
                while (Start > 0 && (static_cast<unsigned char>(Text[Start]) & 0xC0) == 0x80)
                    --Start;
                Text.erase(Start, End - Start);
            }
        }
        SetBkMode(DC, TRANSPARENT);
        SetTextColor(DC, GetSysColor(FCaptionInactive ? COLOR_INACTIVECAPTIONTEXT : COLOR_CAPTIONTEXT));
        DrawText(DC, Text.c_str(), static_cast<int>(Text.size()), &TR,
                 DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        SelectObject(DC, OldFont);
        DeleteObject(Font);
        if (Saved)
            RestoreDC(DC, Saved);
        RECT Line{Full.left, Full.bottom, Full.right, Full.bottom + 1};
        FillRect(DC, &Line, GetSysColorBrush(COLOR_BTNFACE));
    }
    if (FCloseButton) {
        if (DrawCloseButton) {
            RECT B = Close;
            InflateRect(&B, -1, -1);
            DrawFrameControl(DC, &B, DFC_CAPTION, DFCS_CAPTIONCLOSE | (FCloseButtonDown ? DFCS_PUSHED : 0));
        }
        if (DrawCaption) {
            RECT B = Close;
            FrameRect(DC, &B, GetSysColorBrush(CaptionColor));
        }
    }
    (void)C;
    ReleaseDC(Handle(), DC);
}

// ---- Messages ----------------------------------------------------------------------------------
void TCustomToolWindow::WMMove(TWMMove Message)
{
    DefaultHandler(Message);
    if (FDocked && FDockedTo && FDockedTo->HasBackground()) {
        PostDockedNCRepaint();
        if (HandleAllocated())
            InvalidateRect(Handle(), nullptr, FALSE);
    }
}

void TCustomToolWindow::WMSize(TWMSize Message)
{
    // OnResize follows from the size change the class library records.
    DefaultHandler(Message);
}

void TCustomToolWindow::WMGetMinMaxInfo(TWMGetMinMaxInfo Message)
{
    DefaultHandler(Message);
    MINMAXINFO* M = Message.MinMaxInfo();
    M->ptMinTrackSize = POINT{1, 1};
    M->ptMaxTrackSize = POINT{32767, 32767};
}

void TCustomToolWindow::WMActivate(TWMActivate Message)
{
    if (!FDocked && FTopForm && FTopForm->HandleAllocated())
        SendMessage(FTopForm->Handle(), WM_NCACTIVATE, Message.Active() != WA_INACTIVE, 0);
    DefaultHandler(Message);
    if (FDocked || Message.Active() != WA_INACTIVE)
        return;
    // The form's focus goes back where it was before the floating window took it.
    auto* OwnerForm = dynamic_cast<TCustomForm*>(Owner());
    if (!OwnerForm)
        return;
    TWinControl* Target = nullptr;
    if (const TFormRecord* R = RecordOf(OwnerForm == FTopForm ? 0 : 1, OwnerForm); R && R->LastFocus)
        Target = FindControl(R->LastFocus);
    if (!Target) {
        std::vector<TWinControl*> List;
        OwnerForm->GetTabOrderList(List);
        for (TWinControl* C : List) {
            bool InToolWindow = false;
            for (TControl* P = C; P; P = P->Parent())
                if (dynamic_cast<TCustomToolWindow*>(P))
                    InToolWindow = true;
            if (C->TabStop() && C->CanFocus() && !InToolWindow) {
                Target = C;
                break;
            }
        }
    }
    if (!Target)
        Target = FFloatParent;
    try {
        OwnerForm->SetActiveControl(Target);
    } catch (const EInvalidOperation&) {
    }
}

void TCustomToolWindow::WMMouseActivate(TWMMouseActivate Message)
{
    if (FDocked || IsDesigning(this)) {
        DefaultHandler(Message);
        return;
    }
    Message.Result = MA_NOACTIVATE;
    SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (ActivateParent && GetActiveWindow() != Handle() && FTopForm && FTopForm->HandleAllocated()) {
        SetActiveWindow(FTopForm->Handle());
        if (auto* OwnerForm = dynamic_cast<TCustomForm*>(Owner()); OwnerForm && OwnerForm != FTopForm)
            OwnerForm->BringToFront();
    }
}

void TCustomToolWindow::WMClose(TWMClose)
{
    if (FTopForm && FTopForm->HandleAllocated())
        SendMessage(FTopForm->Handle(), WM_CLOSE, 0, 0);
}

void TCustomToolWindow::WMNCCalcSize(TWMNCCalcSize Message)
{
    RECT* R = Message.Rect();
    TRect I = NonClientInsets(FDocked ? FDockedTo : nullptr);
    R->left += I.left;
    R->top += I.top;
    R->right = std::max(R->left, static_cast<int>(R->right - I.right));
    R->bottom = std::max(R->top, static_cast<int>(R->bottom - I.bottom));
    Message.Result = 0;
}

void TCustomToolWindow::WMNCHitTest(TWMNCHitTest Message)
{
    DefaultHandler(Message);
    if (FDocked) {
        if (Message.Result == HTNOWHERE)
            Message.Result = HTCLIENT;
        return;
    }
    if (Message.Result == HTCLIENT)
        return;
    RECT WR;
    GetWindowRect(Handle(), &WR);
    const POINT P{Message.XPos() - WR.left, Message.YPos() - WR.top};
    TRect Cap = FloatingCaptionRect(false);
    if (PtInRect(&Cap, P)) {
        TRect Close = CloseButtonRect();
        Message.Result = (FCloseButton && PtInRect(&Close, P)) ? HTCLOSE : HTCLIENT;
        return;
    }
    if (Message.Result >= HTLEFT && Message.Result <= HTBOTTOMRIGHT)
        Message.Result = HTNOWHERE;
    if (!FResizable)
        return;
    const int Fx = FrameX(), Fy = FrameY(), W = Width(), H = Height();
    const bool InLeft = P.x >= 0 && P.x < Fx, InRight = P.x >= W - Fx - 1 && P.x < W;
    const bool InTop = P.y >= 0 && P.y < Fy, InBottom = P.y >= H - Fy - 1 && P.y < H;
    if (!FCornerSizing) {
        if (InTop)
            Message.Result = HTTOP;
        else if (InBottom)
            Message.Result = HTBOTTOM;
        else if (InLeft)
            Message.Result = HTLEFT;
        else if (InRight)
            Message.Result = HTRIGHT;
        return;
    }
    const int K = CaptionHeight() - 1 + Fx;
    if (InLeft || InRight) {
        if (P.y < K)
            Message.Result = InLeft ? HTTOPLEFT : HTTOPRIGHT;
        else if (P.y >= H - K)
            Message.Result = InLeft ? HTBOTTOMLEFT : HTBOTTOMRIGHT;
        else
            Message.Result = InLeft ? HTLEFT : HTRIGHT;
    } else if (InTop || InBottom) {
        if (P.x < K)
            Message.Result = InTop ? HTTOPLEFT : HTBOTTOMLEFT;
        else if (P.x >= W - K)
            Message.Result = InTop ? HTTOPRIGHT : HTBOTTOMRIGHT;
        else
            Message.Result = InTop ? HTTOP : HTBOTTOM;
    }
}

void TCustomToolWindow::WMNCLButtonDown(TWMNCLButtonDown Message)
{
    const int Hit = Message.HitTest();
    if (!FDocked && Hit >= HTLEFT && Hit <= HTBOTTOMRIGHT) {
        bool Accepted = false;
        TRect NewBounds{};
        RunSizeLoop(Hit, Accepted, NewBounds);
        if (Accepted) {
            ++FOrderLock;
            try {
                SetBoundsRect(NewBounds);
            } catch (...) {
                --FOrderLock;
                throw;
            }
            --FOrderLock;
            ArrangeControls();
            KeepOnScreen(true);
        }
        return;
    }
    if (!FDocked && Hit == HTCLOSE) {
        RunCloseButtonLoop();
        return;
    }
    DefaultHandler(Message);
}

void TCustomToolWindow::WMNCPaint(TWMNCPaint Message)
{
    if (FDocked)
        PaintDockedFrame(Message.RGN());
    else
        PaintFloatingFrame(Message.RGN(), true, true, true);
}

void TCustomToolWindow::WMDockedNCRepaint(TMessage&)
{
    if (FDocked)
        PaintDockedFrame(nullptr);
}

void TCustomToolWindow::CMShowingChanged(TMessage&)
{
    ShowOrHideWindow();
}

void TCustomToolWindow::CMVisibleChanged(TMessage& Message)
{
    if (FDockChangeHide == 0 && !IsDesigning(this) && FDocked && FDockedTo)
        FDockedTo->ChangeBarList(true, this, Message.WParam != 0);
    TCustomControl::CMVisibleChanged(Message);
    if (FDockChangeHide == 0 && OnVisibleChanged)
        OnVisibleChanged(this);
}

void TCustomToolWindow::CMColorChanged(TMessage& Message)
{
    TCustomControl::CMColorChanged(Message);
    PostDockedNCRepaint();
}

void TCustomToolWindow::CMTextChanged(TMessage& Message)
{
    TCustomControl::CMTextChanged(Message);
    if (!FDocked && HandleAllocated())
        PaintFloatingFrame(nullptr, false, false, true);
}

// ---- Mouse and the modal loops --------------------------------------------------------------
void TCustomToolWindow::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    if (TControl* C = ControlAtPos(TPoint{X, Y}, true, true);
        C && C->Visible() && !dynamic_cast<TToolbarSep*>(C))
        return;
    if (FDocked && FDockedTo && !FDockedTo->AllowDrag())
        return;
    if (Shift.Contains(ssDouble)) {
        if (FDocked) {
            SetDockedTo(nullptr);
        } else if (FDefaultDock) {
            FDockRow = 0;
            FDockPos = -8;
            SetDockedTo(FDefaultDock);
        }
        return;
    }
    RunMoveLoop(X, Y);
}

namespace {

// What a modal loop does with a message it reads.
enum class TLoopAction { Dispatch, Swallow, Accept, Cancel };

// The keys and buttons every loop treats alike: Escape and a second press cancel, the release
// accepts, other keys and the right and middle buttons are swallowed.
TLoopAction CommonLoopAction(const MSG& M)
{
    if (M.message == WM_KEYDOWN && M.wParam == static_cast<WPARAM>(VK_ESCAPE))
        return TLoopAction::Cancel;
    if (M.message >= WM_KEYFIRST && M.message <= WM_KEYLAST)
        return TLoopAction::Swallow;
    if (M.message == WM_LBUTTONUP)
        return TLoopAction::Accept;
    if (M.message == WM_LBUTTONDOWN || M.message == WM_LBUTTONDBLCLK)
        return TLoopAction::Cancel;
    if (M.message >= WM_RBUTTONDOWN && M.message <= WM_MBUTTONDBLCLK)
        return TLoopAction::Swallow;
    return TLoopAction::Dispatch;
}

// Reads the next message for a loop; false when the loop is to end (a failure, or WM_QUIT,
// which is posted again).
bool NextLoopMessage(MSG& M)
{
    BOOL R = GetMessage(&M, nullptr, 0, 0);
    if (R == -1)
        return false;
    if (R == 0) {
        PostQuitMessage(static_cast<int>(M.wParam));
        return false;
    }
    return true;
}

// The desktop drawing surface of the move and size loops: updates locked, the overlay DC taken,
// all given back however the loop ends.
class TDesktopDraw {
public:
    TDesktopDraw()
    {
        FlushPaintMessages();
        LockWindowUpdate(GetDesktopWindow());
        DC = GetDCEx(GetDesktopWindow(), nullptr, DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE);
    }
    ~TDesktopDraw()
    {
        if (DC)
            ReleaseDC(GetDesktopWindow(), DC);
        LockWindowUpdate(nullptr);
    }
    TDesktopDraw(const TDesktopDraw&) = delete;
    TDesktopDraw& operator=(const TDesktopDraw&) = delete;
    HDC DC = nullptr;
};

} // namespace

void TCustomToolWindow::DrawDragFrame(HDC DC, const TRect* NewRect, const TRect* OldRect, bool NewDocked,
                                      bool OldDocked)
{
    static const WORD Pattern[8] = {0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA};
    HBITMAP Bits = CreateBitmap(8, 8, 1, 1, Pattern);
    HBRUSH Brush = CreatePatternBrush(Bits);
    auto FrameRegion = [&](const TRect& R, bool Docked) {
        const int T = Docked ? 1 : FrameX();
        HRGN Outer = CreateRectRgnIndirect(&R);
        TRect In = R;
        InflateRect(&In, -T, -T);
        HRGN Inner = CreateRectRgnIndirect(&In);
        CombineRgn(Outer, Outer, Inner, RGN_DIFF);
        DeleteObject(Inner);
        return Outer;
    };
    HRGN Region = CreateRectRgn(0, 0, 0, 0);
    for (auto [R, Docked] : {std::pair{NewRect, NewDocked}, std::pair{OldRect, OldDocked}})
        if (R) {
            HRGN F = FrameRegion(*R, Docked);
            CombineRgn(Region, Region, F, RGN_XOR);
            DeleteObject(F);
        }
    SelectClipRgn(DC, Region);
    RECT Box;
    GetClipBox(DC, &Box);
    HGDIOBJ OldBrush = SelectObject(DC, Brush);
    PatBlt(DC, Box.left, Box.top, Box.right - Box.left, Box.bottom - Box.top, PATINVERT);
    SelectObject(DC, OldBrush);
    SelectClipRgn(DC, nullptr);
    DeleteObject(Region);
    DeleteObject(Brush);
    DeleteObject(Bits);
}

void TCustomToolWindow::RunMoveLoop(int X, int Y)
{
    const TRect Ins = NonClientInsets(FDocked ? FDockedTo : nullptr);
    const TPoint G{X + Ins.left, Y + Ins.top};
    const TPoint S{Width() - 1, Height() - 1};
    bool Ctrl = GetKeyState(VK_CONTROL) < 0;
    const int Fx = FrameX(), Fy = FrameY(), C = CaptionHeight();

    // The size of the outline floating (first) and in each dock of the form.
    struct TPlace {
        TDock* Dock;
        TSize Size;
    };
    std::vector<TPlace> Sizes;
    {
        TSize F;
        UpdateSize(0, FDockedTo, F, nullptr);
        Sizes.push_back(TPlace{nullptr, TSize{F.cx + 2 * Fx, F.cy + C + 2 * Fy}});
    }
    auto* OwnerForm = dynamic_cast<TCustomForm*>(Owner());
    std::vector<TDock*> Docks;
    for (int I = 0; OwnerForm && I < OwnerForm->ComponentCount(); ++I)
        if (auto* D = dynamic_cast<TDock*>(OwnerForm->Components(I))) {
            Docks.push_back(D);
            TSize Z;
            if (D == FDockedTo)
                Z = TSize{ClientWidth(), ClientHeight()};
            else
                UpdateSize(0, FDockedTo, Z, D);
            Z.cx += 4;
            Z.cy += 4;
            if (FDragHandle) {
                if (DockOrientation(D) == 2)
                    Z.cy += 9;
                else
                    Z.cx += 9;
            }
            Sizes.push_back(TPlace{D, Z});
        }
    auto SizeFor = [&](TDock* D) {
        for (const TPlace& P : Sizes)
            if (P.Dock == D)
                return P.Size;
        return Sizes.front().Size;
    };
    auto Place = [&](TPoint P, TSize Z) {
        return Bounds(P.x - MulDiv(Z.cx - 1, G.x, S.x), P.y - MulDiv(Z.cy - 1, G.y, S.y), Z.cx, Z.cy);
    };
    auto HitDock = [&](TDock* D, TPoint P) {
        TRect R = ScreenClientRect(D);
        const bool Vertical = DockOrientation(D) == 2;
        if (R.right <= R.left || R.bottom <= R.top) {
            if (Vertical)
                InflateRect(&R, 1, 0);
            else
                InflateRect(&R, 0, 1);
        }
        const int Ox = MulDiv(32, G.x, S.x), Oy = MulDiv(20, G.y, S.y);
        if (!(R.left - 32 + Ox <= P.x && P.x <= R.right - 1 + Ox))
            return false;
        if (Vertical && !(R.top <= P.y && P.y < R.bottom))
            return false;
        if (!(R.top - 20 + Oy <= P.y && P.y <= R.bottom - 1 + Oy))
            return false;
        TRect Outline = Place(P, SizeFor(D)), X;
        return IntersectRect(&X, &Outline, &R) != FALSE;
    };

    TDesktopDraw Desk;
    TDock* Target = nullptr;
    TRect Last{};
    bool HaveLast = false, LastDocked = false;
    auto Update = [&](TPoint P) {
        Target = nullptr;
        if (!Ctrl)
            for (TDockPosition Pos : {dpTop, dpBottom, dpLeft, dpRight}) {
                if (!DockableTo.Contains(Pos))
                    continue;
                for (TDock* D : Docks) {
                    if (D->Position() != Pos || !D->AllowDrag() || !HitDock(D, P))
                        continue;
                    Target = D;
                    bool Accept = true;
                    if (D->OnRequestDock)
                        D->OnRequestDock(D, this, Accept);
                    if (Accept)
                        break;
                    Target = nullptr;
                }
            }
        if (!Target) {
            RECT WA = WorkArea();
            P.x = std::clamp(P.x, static_cast<int>(WA.left), static_cast<int>(WA.right) - 1);
            P.y = std::clamp(P.y, static_cast<int>(WA.top), static_cast<int>(WA.bottom) - 1);
        }
        TRect R = Place(P, SizeFor(Target));
        if (!Target) {
            // A floating outline stays within reach on the work area.
            RECT WA = WorkArea();
            RECT In = WA;
            InflateRect(&In, -(Fx + 4), -(Fy + 4));
            if (R.bottom < In.top)
                OffsetRect(&R, 0, In.top - R.bottom);
            if (R.top > In.bottom)
                OffsetRect(&R, 0, In.bottom - R.top);
            if (R.right < In.left)
                OffsetRect(&R, In.left - R.right, 0);
            if (R.left > In.right)
                OffsetRect(&R, In.right - R.left, 0);
            const int MinTop = WA.top + 4 - Fy - C;
            if (R.top < MinTop)
                OffsetRect(&R, 0, MinTop - R.top);
        }
        DrawDragFrame(Desk.DC, &R, HaveLast ? &Last : nullptr, Target != nullptr, LastDocked);
        Last = R;
        HaveLast = true;
        LastDocked = Target != nullptr;
    };

    bool Accepted = false;
    SetCapture(Handle());
    try {
        POINT P0;
        GetCursorPos(&P0);
        Update(P0);
        MSG M;
        while (GetCapture() == Handle() && NextLoopMessage(M)) {
            if ((M.message == WM_KEYDOWN || M.message == WM_KEYUP) &&
                M.wParam == static_cast<WPARAM>(VK_CONTROL)) {
                const bool Down = M.message == WM_KEYDOWN;
                if (Down != Ctrl) {
                    Ctrl = Down;
                    POINT P;
                    GetCursorPos(&P);
                    Update(P);
                }
                continue;
            }
            if (M.message == WM_MOUSEMOVE) {
                Update(M.pt);
                continue;
            }
            TLoopAction A = CommonLoopAction(M);
            if (A == TLoopAction::Accept)
                Accepted = true;
            if (A == TLoopAction::Accept || A == TLoopAction::Cancel)
                break;
            if (A == TLoopAction::Dispatch) {
                TranslateMessage(&M);
                DispatchMessage(&M);
            }
        }
    } catch (...) {
        if (GetCapture() == Handle())
            ReleaseCapture();
        if (HaveLast)
            DrawDragFrame(Desk.DC, nullptr, &Last, false, LastDocked);
        throw;
    }
    if (GetCapture() == Handle())
        ReleaseCapture();
    if (HaveLast)
        DrawDragFrame(Desk.DC, nullptr, &Last, false, LastDocked);
    if (!Accepted || !HaveLast)
        return;
    if (Target) {
        TPoint O = Target->ClientOrigin();
        TRect R = Last;
        OffsetRect(&R, -O.x, -O.y);
        const bool Vertical = DockOrientation(Target) == 2;
        bool NewRow = false;
        int Row = Target->RowAtDropPoint(Vertical ? (R.left + R.right) / 2 : (R.top + R.bottom) / 2, NewRow);
        if (NewRow) {
            Target->InsertRow(Row);
        } else if (FFullSize && Target->CountBarsInRow(Row, this) > 0) {
            // The full-size bar gets a row of its own below the one it was dropped on.
            Target->InsertRow(Row + 1);
            ++Row;
        }
        FDockRow = Row;
        FDockPos = Vertical ? R.top : R.left;
        SetDockedTo(Target);
    } else {
        FloatPosition = TPoint{Last.left, Last.top};
        SetDockedTo(nullptr);
    }
    KeepOnScreen(true);
}

void TCustomToolWindow::RunSizeLoop(int HitCode, bool& Accepted, TRect& NewBounds)
{
    Accepted = false;
    int MinW = 0, MinH = 0;
    QueryMinimumSize(MinW, MinH);
    const TSize Nc = NonClientSize();
    MinW += Nc.cx;
    MinH += Nc.cy;
    const bool MoveLeft = HitCode == HTLEFT || HitCode == HTTOPLEFT || HitCode == HTBOTTOMLEFT;
    const bool MoveRight = HitCode == HTRIGHT || HitCode == HTTOPRIGHT || HitCode == HTBOTTOMRIGHT;
    const bool MoveTop = HitCode == HTTOP || HitCode == HTTOPLEFT || HitCode == HTTOPRIGHT;
    const bool MoveBottom = HitCode == HTBOTTOM || HitCode == HTBOTTOMLEFT || HitCode == HTBOTTOMRIGHT;
    SizingStart(HitCode);
    TRect Start{}, Cur{};
    bool Drawn = false;
    {
        TDesktopDraw Desk;
        SetCapture(Handle());
        if (FClipCursorWhileSizing) {
            RECT WA = WorkArea();
            ClipCursor(&WA);
        }
        struct TRelease {
            TCustomToolWindow* W;
            ~TRelease()
            {
                if (W->HandleAllocated() && GetCapture() == W->Handle())
                    ReleaseCapture();
                ClipCursor(nullptr);
            }
        } Release{this};
        RECT WR;
        GetWindowRect(Handle(), &WR);
        Start = WR;
        Cur = Start;
        POINT P0;
        GetCursorPos(&P0);
        POINT LastP = P0;
        try {
            DrawDragFrame(Desk.DC, &Cur, nullptr, false, false);
            Drawn = true;
            MSG M;
            while (GetCapture() == Handle() && NextLoopMessage(M)) {
                if (M.message == WM_MOUSEMOVE) {
                    if (M.pt == LastP)
                        continue;
                    LastP = M.pt;
                    TRect R = Start;
                    const int Dx = M.pt.x - P0.x, Dy = M.pt.y - P0.y;
                    if (MoveLeft)
                        R.left += Dx;
                    if (MoveRight)
                        R.right += Dx;
                    if (MoveTop)
                        R.top += Dy;
                    if (MoveBottom)
                        R.bottom += Dy;
                    if (R.right - R.left < MinW) {
                        if (MoveLeft)
                            R.left = R.right - MinW;
                        else
                            R.right = R.left + MinW;
                    }
                    if (R.bottom - R.top < MinH) {
                        if (MoveTop)
                            R.top = R.bottom - MinH;
                        else
                            R.bottom = R.top + MinH;
                    }
                    SizingTrack(R, Start);
                    DrawDragFrame(Desk.DC, &R, &Cur, false, false);
                    Cur = R;
                    continue;
                }
                TLoopAction A = CommonLoopAction(M);
                if (A == TLoopAction::Accept)
                    Accepted = true;
                if (A == TLoopAction::Accept || A == TLoopAction::Cancel)
                    break;
                if (A == TLoopAction::Dispatch) {
                    TranslateMessage(&M);
                    DispatchMessage(&M);
                }
            }
        } catch (...) {
            if (Drawn)
                DrawDragFrame(Desk.DC, nullptr, &Cur, false, false);
            Accepted = false;
            SizingFinish(false);
            throw;
        }
        if (Drawn)
            DrawDragFrame(Desk.DC, nullptr, &Cur, false, false);
    }
    SizingFinish(Accepted);
    if (Accepted)
        NewBounds = Cur;
}

void TCustomToolWindow::RunCloseButtonLoop()
{
    FCloseButtonDown = true;
    PaintFloatingFrame(nullptr, false, true, false);
    SetCapture(Handle());
    bool Accepted = false;
    auto Finish = [&] {
        if (HandleAllocated() && GetCapture() == Handle())
            ReleaseCapture();
        if (FCloseButtonDown) {
            FCloseButtonDown = false;
            PaintFloatingFrame(nullptr, false, true, false);
        }
    };
    try {
        MSG M;
        while (GetCapture() == Handle() && NextLoopMessage(M)) {
            if (M.message == WM_MOUSEMOVE) {
                RECT WR;
                GetWindowRect(Handle(), &WR);
                TRect B = CloseButtonRect();
                const bool Inside = PtInRect(&B, POINT{M.pt.x - WR.left, M.pt.y - WR.top}) != FALSE;
                if (Inside != FCloseButtonDown) {
                    FCloseButtonDown = Inside;
                    PaintFloatingFrame(nullptr, false, true, false);
                }
                continue;
            }
            if (M.message == WM_LBUTTONUP) {
                Accepted = FCloseButtonDown;
                break;
            }
            TLoopAction A = CommonLoopAction(M);
            if (A == TLoopAction::Cancel && M.message != WM_KEYDOWN)
                break;
            if (A == TLoopAction::Dispatch) {
                TranslateMessage(&M);
                DispatchMessage(&M);
            }
        }
    } catch (...) {
        Finish();
        throw;
    }
    Finish();
    if (Accepted) {
        SetVisible(false);
        if (OnClose)
            OnClose(this);
    }
}

// =================================================================================================
// TCustomToolbar

struct TCustomToolbar::TSizingState {
    struct TCandidate {
        int Width, Height; // window size
        bool Unwrapped;
    };
    int HitCode = 0;
    std::vector<TCandidate> Sizes;
    int ChosenRightX = 0;
    bool Moved = false;
    int LastSide = 0;
    int Tolerance = 12;
    int Current = 0; // extent of the chosen outline along the sizing direction
};

TCustomToolbar::TCustomToolbar(TComponent* AOwner) : TCustomToolWindow(AOwner)
{
    QueryWindowOptions();
    ArrangeControls();
}

TCustomToolbar::~TCustomToolbar() = default;

void TCustomToolbar::QueryWindowOptions()
{
    FAlignChildren = false;
    FCornerSizing = false;
    FClipCursorWhileSizing = false;
}

void TCustomToolbar::CMControlListChange(TMessage& Message)
{
    auto* C = reinterpret_cast<TControl*>(Message.WParam);
    FControlOrder.erase(std::remove(FControlOrder.begin(), FControlOrder.end(), C), FControlOrder.end());
    if (Message.LParam)
        FControlOrder.push_back(C);
    DefaultHandler(Message);
}

void TCustomToolbar::PrepareOrdering()
{
    if (IsDesigning(this))
        return;
    const bool ByTop = Docked() && DockOrientation(DockedTo()) == 2;
    SortList(
        FControlOrder,
        [ByTop](TControl* A, TControl* B, const void*) {
            int KA = ByTop ? A->Top() : A->Left(), KB = ByTop ? B->Top() : B->Left();
            return KA < KB ? -1 : (KA > KB ? 1 : 0);
        },
        nullptr);
}

int TCustomToolbar::GetBarThickness(int Orientation)
{
    int T = 0;
    bool Any = false;
    for (TControl* C : FControlOrder)
        if (C->Visible() && !dynamic_cast<TToolbarSep*>(C)) {
            T = std::max(T, Orientation == 2 ? C->Width() : C->Height());
            Any = true;
        }
    return Any ? T : 8;
}

void TCustomToolbar::QueryMinimumSize(int& AWidth, int& AHeight)
{
    AWidth = 0;
    AHeight = 0;
}

TSize TCustomToolbar::PositionControls(bool CanMoveControls, TDock* WasDockedTo, TDock* DockingTo)
{
    const int O = DockOrientation(DockingTo);
    const bool D = DockingTo != nullptr;
    const int FirstRow = D ? 0 : 2, AfterLastRow = D ? 0 : 1, Lead = D ? 0 : 4, Trail = D ? 0 : 4;

    int Limit = INT_MAX;
    if (!D && FloatRightX != 0) {
        int Widest = 0;
        for (TControl* C : FControlOrder)
            if (!dynamic_cast<TToolbarSep*>(C))
                Widest = std::max(Widest, C->Width());
        Limit = std::max(FloatRightX, Widest + 8);
    }
    const int T = GetBarThickness(O);
    int T2 = T;
    if (D && DockingTo == DockedTo()) {
        DockingTo->BuildRowThickness();
        T2 = DockingTo->RowThicknessOf(DockRow(), this);
    }

    std::vector<TControl*> Order;
    if (IsDesigning(this)) {
        const bool ByTop = DockOrientation(WasDockedTo) == 2;
        SortList(
            FControlOrder,
            [ByTop](TControl* A, TControl* B, const void*) {
                int KA = ByTop ? A->Top() : A->Left(), KB = ByTop ? B->Top() : B->Left();
                return KA < KB ? -1 : (KA > KB ? 1 : 0);
            },
            nullptr);
    }
    for (TControl* C : FControlOrder)
        if (C->Visible() && C->Parent() == this)
            Order.push_back(C);
    std::vector<std::vector<TControl*>> Groups;
    for (TControl* C : Order) {
        if (Groups.empty() || dynamic_cast<TToolbarSep*>(Groups.back().back()))
            Groups.emplace_back();
        Groups.back().push_back(C);
    }
    if (CanMoveControls)
        FGapLines.clear();

    auto LengthOf = [O](TControl* C) {
        if (auto* S = dynamic_cast<TToolbarSep*>(C))
            return O == 2 ? S->SizeVert() : S->SizeHorz();
        return O == 2 ? C->Height() : C->Width();
    };
    int P = 0, Y = FirstRow, R = T, E = 0;
    bool First = true, Fits = true;
    TToolbarSep* EndingSep = nullptr; // the separator that closed the previous group
    int ExtentBeforeSep = 0;
    for (const auto& G : Groups) {
        int GroupLength = 0;
        for (TControl* C : G)
            if (!dynamic_cast<TToolbarSep*>(C))
                GroupLength += O == 2 ? C->Height() : C->Width();
        bool NewRow = true;
        if (D || Fits) {
            if (First)
                P += Lead;
            if (static_cast<long long>(P) + GroupLength + Trail <= Limit) {
                E = std::max(E, P);
                NewRow = false;
            }
        }
        if (NewRow) {
            P = Lead;
            E = std::max(E, P);
            if (!First)
                Y += R + 6;
            if (EndingSep) {
                E = ExtentBeforeSep;
                if (CanMoveControls) {
                    EndingSep->SetBounds(EndingSep->Left(), EndingSep->Top(), 0, EndingSep->Height());
                    FGapLines.push_back(TGapLine{Y, EndingSep->Blank()});
                }
            }
        }
        First = false;
        Fits = true;
        EndingSep = nullptr;
        for (TControl* C : G) {
            auto* Sep = dynamic_cast<TToolbarSep*>(C);
            const int Len = LengthOf(C);
            if (!Sep && static_cast<long long>(P) + Len + Trail > Limit) {
                P = Lead;
                E = std::max(E, P);
                Y += T;
                Fits = false;
            }
            if (Sep) {
                EndingSep = Sep;
                ExtentBeforeSep = E;
            }
            if (CanMoveControls) {
                if (O != 2) {
                    if (Sep)
                        C->SetBounds(P, Y, Sep->SizeHorz(), T2);
                    else
                        C->SetBounds(P, Y + (T2 - C->Height()) / 2, C->Width(), C->Height());
                } else {
                    if (Sep)
                        C->SetBounds(Y, P, T2, Sep->SizeVert());
                    else
                        C->SetBounds(Y + (T2 - C->Width()) / 2, P, C->Width(), C->Height());
                }
            }
            P += Len;
            E = std::max(E, P);
        }
    }
    if (Order.empty()) {
        E = Lead + 8;
        Y = FirstRow;
        if (D) {
            DockingTo->BuildRowThickness();
            R = DockingTo->RowThicknessOf(DockRow(), this);
        } else {
            R = 8;
        }
    }
    if (IsDesigning(this))
        Invalidate();
    const int Along = E + Trail, Across = Y + R + AfterLastRow;
    return O != 2 ? TSize{Along, Across} : TSize{Across, Along};
}

void TCustomToolbar::LoadPositionHook(const TPositionReadIntProc& ReadInt, const TPositionReadStringProc&,
                                      void* ExtraData)
{
    if (ReadInt)
        FloatRightX = ReadInt(Name(), "FloatRightX", 0, ExtraData);
}

void TCustomToolbar::SavePositionHook(const TPositionWriteIntProc& WriteInt, const TPositionWriteStringProc&,
                                      void* ExtraData)
{
    if (WriteInt)
        WriteInt(Name(), "FloatRightX", FloatRightX, ExtraData);
}

void TCustomToolbar::Paint()
{
    TCustomToolWindow::Paint();
    if (Docked())
        return;
    TCanvas* C = Canvas();
    for (const TGapLine& G : FGapLines) {
        if (G.Blank)
            continue;
        C->Pen()->SetColor(clBtnShadow);
        C->MoveTo(1, G.Y - 4);
        C->LineTo(ClientWidth() - 1, G.Y - 4);
        C->Pen()->SetColor(clBtnHighlight);
        C->MoveTo(1, G.Y - 3);
        C->LineTo(ClientWidth() - 1, G.Y - 3);
    }
}

void TCustomToolbar::SizingStart(int HitCode)
{
    auto S = std::make_unique<TSizingState>();
    S->HitCode = HitCode;
    S->ChosenRightX = FloatRightX;
    const int Fx = FrameX(), Fy = FrameY(), C = CaptionHeight();
    const int Saved = FloatRightX;
    FloatRightX = 0;
    TSize Z;
    UpdateSize(0, DockedTo(), Z, nullptr);
    S->Sizes.push_back({Z.cx + 2 * Fx, Z.cy + C + 2 * Fy, true});
    const int T = GetBarThickness(0);
    int LastMeasured = Z.cx;
    for (int W = Z.cx - 1; W >= T + 8; --W) {
        if (W > LastMeasured)
            continue;
        FloatRightX = W;
        TSize M;
        UpdateSize(0, DockedTo(), M, nullptr);
        LastMeasured = M.cx;
        if (M.cx != W)
            continue;
        const TSizingState::TCandidate Cand{W + 2 * Fx, M.cy + C + 2 * Fy, false};
        auto Same = std::find_if(S->Sizes.begin(), S->Sizes.end(),
                                 [&](const TSizingState::TCandidate& X) { return X.Height == Cand.Height; });
        if (Same != S->Sizes.end())
            *Same = Cand; // only the narrowest of equal heights stays
        else
            S->Sizes.push_back(Cand);
    }
    FloatRightX = Saved;
    const bool ByHeight = HitCode == HTTOP || HitCode == HTBOTTOM;
    auto Extent = [ByHeight](const TSizingState::TCandidate& X) { return ByHeight ? X.Height : X.Width; };
    std::stable_sort(S->Sizes.begin(), S->Sizes.end(),
                     [&](const auto& A, const auto& B) { return Extent(A) > Extent(B); });
    S->Current = ByHeight ? Height() : Width();
    for (std::size_t I = 0; I < S->Sizes.size(); ++I) {
        if (S->Sizes[I].Width != Width() || S->Sizes[I].Height != Height())
            continue;
        if (I > 0)
            S->Tolerance =
                std::min(S->Tolerance, std::abs(Extent(S->Sizes[I - 1]) - Extent(S->Sizes[I])) - 1);
        if (I + 1 < S->Sizes.size())
            S->Tolerance =
                std::min(S->Tolerance, std::abs(Extent(S->Sizes[I]) - Extent(S->Sizes[I + 1])) - 1);
        break;
    }
    S->Tolerance = std::max(0, S->Tolerance);
    FSizing = std::move(S);
}

void TCustomToolbar::SizingTrack(TRect& Rect, const TRect& StartRect)
{
    if (!FSizing || FSizing->Sizes.empty())
        return;
    TSizingState& S = *FSizing;
    const bool ByHeight = S.HitCode == HTTOP || S.HitCode == HTBOTTOM;
    auto Extent = [ByHeight](const TSizingState::TCandidate& X) { return ByHeight ? X.Height : X.Width; };
    int Wanted;
    switch (S.HitCode) {
    case HTLEFT:
        Wanted = StartRect.right - Rect.left;
        break;
    case HTTOP:
        Wanted = StartRect.bottom - Rect.top;
        break;
    case HTBOTTOM:
        Wanted = Rect.bottom - StartRect.top;
        break;
    default:
        Wanted = Rect.right - StartRect.left;
        break;
    }
    const int Side = Wanted > S.Current ? 1 : (Wanted < S.Current ? -1 : 0);
    const bool Crossed = Side != 0 && S.LastSide != 0 && Side != S.LastSide;
    if ((!S.Moved || Crossed) && S.Current - S.Tolerance <= Wanted && Wanted < S.Current + S.Tolerance)
        Wanted = S.Current;
    if (Side != 0)
        S.LastSide = Side;
    // Candidates are sorted largest first.
    const TSizingState::TCandidate* Pick = nullptr;
    if (Wanted > S.Current) {
        for (auto It = S.Sizes.rbegin(); It != S.Sizes.rend() && !Pick; ++It)
            if (Extent(*It) > Wanted)
                Pick = &*It;
        if (!Pick)
            Pick = &S.Sizes.front();
    } else if (Wanted < S.Current) {
        for (const auto& X : S.Sizes)
            if (Extent(X) <= Wanted) {
                Pick = &X;
                break;
            }
        if (!Pick)
            Pick = &S.Sizes.back();
    } else {
        for (const auto& X : S.Sizes)
            if (Extent(X) == S.Current) {
                Pick = &X;
                break;
            }
        if (!Pick) {
            Rect = StartRect;
            S.Moved = false;
            return;
        }
    }
    Rect = StartRect;
    switch (S.HitCode) {
    case HTLEFT:
        Rect.left = Rect.right - Pick->Width;
        Rect.bottom = Rect.top + Pick->Height;
        break;
    case HTTOP:
        Rect.top = Rect.bottom - Pick->Height;
        Rect.right = Rect.left + Pick->Width;
        break;
    case HTBOTTOM:
        Rect.bottom = Rect.top + Pick->Height;
        Rect.right = Rect.left + Pick->Width;
        break;
    default:
        Rect.right = Rect.left + Pick->Width;
        Rect.bottom = Rect.top + Pick->Height;
        break;
    }
    S.Current = Extent(*Pick);
    S.ChosenRightX = Pick->Unwrapped ? 0 : Pick->Width - 2 * FrameX();
    S.Moved = !(Rect == StartRect);
}

void TCustomToolbar::SizingFinish(bool Accepted)
{
    if (Accepted && FSizing)
        FloatRightX = FSizing->ChosenRightX;
    FSizing.reset();
}

// =================================================================================================
// TToolWindow

TToolWindow::TToolWindow(TComponent* AOwner) : TCustomToolWindow(AOwner)
{
    const TSize Nc = NonClientSize();
    SetBounds(Left(), Top(), 32 + Nc.cx, 32 + Nc.cy);
    FStoredClientWidth = 32;
    FStoredClientHeight = 32;
}

void TToolWindow::CreateParams(TCreateParams& Params)
{
    TCustomToolWindow::CreateParams(Params);
    if (!ComponentState().Contains(csDesigning))
        Params.ClassStyle &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TToolWindow::SetResizable(bool Value)
{
    if (Value == Resizable())
        return;
    TCustomToolWindow::SetResizable(Value);
    if (!Docked() && HandleAllocated()) {
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        Realign();
    }
}

int TToolWindow::GetBarThickness(int Orientation)
{
    return Orientation == 2 ? FStoredClientWidth : FStoredClientHeight;
}

void TToolWindow::QueryMinimumSize(int& AWidth, int& AHeight)
{
    AWidth = MinClientWidth;
    AHeight = MinClientHeight;
}

TSize TToolWindow::PositionControls(bool, TDock*, TDock*)
{
    return TSize{FStoredClientWidth, FStoredClientHeight};
}

void TToolWindow::SizeAboutToChange(int AWidth, int AHeight)
{
    const TSize Nc = NonClientSize();
    FStoredClientWidth = AWidth - Nc.cx;
    FStoredClientHeight = AHeight - Nc.cy;
}

void TToolWindow::LoadPositionHook(const TPositionReadIntProc& ReadInt, const TPositionReadStringProc&,
                                   void* ExtraData)
{
    if (!Resizable() || !ReadInt)
        return;
    FStoredClientWidth = ReadInt(Name(), "ClientWidth", FStoredClientWidth, ExtraData);
    FStoredClientHeight = ReadInt(Name(), "ClientHeight", FStoredClientHeight, ExtraData);
}

void TToolWindow::SavePositionHook(const TPositionWriteIntProc& WriteInt, const TPositionWriteStringProc&,
                                   void* ExtraData)
{
    if (!WriteInt)
        return;
    WriteInt(Name(), "ClientWidth", FStoredClientWidth, ExtraData);
    WriteInt(Name(), "ClientHeight", FStoredClientHeight, ExtraData);
}

// =================================================================================================
// TToolbarSep

TToolbarSep::TToolbarSep(TComponent* AOwner) : TGraphicControl(AOwner)
{
    ControlStyle.Exclude(csOpaque);
    ControlStyle.Exclude(csClickEvents);
    ControlStyle.Exclude(csCaptureMouse);
    SetBounds(0, 0, 6, 6);
}

void TToolbarSep::SetParent(TWinControl* AParent)
{
    if (AParent && !dynamic_cast<TCustomToolbar*>(AParent))
        throw EInvalidOperation("TToolbarSep can only be placed on a TToolbar");
    TGraphicControl::SetParent(AParent);
}

void TToolbarSep::SetBlank(bool Value)
{
    if (Value == FBlank)
        return;
    FBlank = Value;
    Invalidate();
}

void TToolbarSep::SetSizeHorz(int Value)
{
    if (Value == FSizeHorz)
        return;
    FSizeHorz = Value;
    if (auto* T = dynamic_cast<TCustomToolbar*>(Parent()))
        T->ArrangeControls();
}

void TToolbarSep::SetSizeVert(int Value)
{
    if (Value == FSizeVert)
        return;
    FSizeVert = Value;
    if (auto* T = dynamic_cast<TCustomToolbar*>(Parent()))
        T->ArrangeControls();
}

void TToolbarSep::Paint()
{
    auto* T = dynamic_cast<TCustomToolbar*>(Parent());
    if (!T)
        return;
    TCanvas* C = Canvas();
    if (IsDesigning(this)) {
        C->Pen()->SetColor(clBtnShadow);
        C->Pen()->SetStyle(psDot);
        C->Brush()->SetStyle(bsClear);
        C->Rectangle(0, 0, Width(), Height());
        C->Pen()->SetStyle(psSolid);
        C->Brush()->SetStyle(bsSolid);
    }
    if (FBlank)
        return;
    if (T->Docked() && DockOrientation(T->DockedTo()) == 2) {
        C->Pen()->SetColor(clBtnShadow);
        C->MoveTo(0, Height() / 2 - 1);
        C->LineTo(Width(), Height() / 2 - 1);
        C->Pen()->SetColor(clBtnHighlight);
        C->MoveTo(0, Height() / 2);
        C->LineTo(Width(), Height() / 2);
    } else {
        C->Pen()->SetColor(clBtnShadow);
        C->MoveTo(Width() / 2 - 1, 0);
        C->LineTo(Width() / 2 - 1, Height());
        C->Pen()->SetColor(clBtnHighlight);
        C->MoveTo(Width() / 2, 0);
        C->LineTo(Width() / 2, Height());
    }
}

void TToolbarSep::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    // A drag may start on a separator: the toolbar hears the press in its own coordinates.
    if (auto* T = dynamic_cast<TCustomToolbar*>(Parent()))
        T->MouseDown(Button, Shift, X + Left(), Y + Top());
}

// =================================================================================================
// Registration

TW_ENUM(TDockPosition, "dpTop", "dpBottom", "dpLeft", "dpRight");
TW_ENUM(TDockBoundLine, "blTop", "blBottom", "blLeft", "blRight");

TW_PUBLISH(TDock, TCustomControl)
{
    Cls.Message(WM_MOVE, &TDock::WMMove);
    Cls.Message(WM_SIZE, &TDock::WMSize);
    Cls.Message(WM_NCCALCSIZE, &TDock::WMNCCalcSize);
    Cls.Message(WM_NCPAINT, &TDock::WMNCPaint);
    Cls.Message(CM_COLORCHANGED, &TDock::CMColorChanged);
    Cls.Message(CM_SYSCOLORCHANGE, &TDock::CMSysColorChange);

    Cls.Enum("Position", &TDock::Position, &TDock::SetPosition).Default(dpTop);
    Cls.Bool("AllowDrag", &TDock::AllowDrag, &TDock::SetAllowDrag).Default(true);
    Cls.Object("Background", &TDock::Background, &TDock::SetBackground);
    Cls.Bool("BackgroundOnToolbars", &TDock::BackgroundOnToolbars, &TDock::SetBackgroundOnToolbars)
        .Default(true);
    Cls.Bool("BackgroundTransparent", &TDock::BackgroundTransparent, &TDock::SetBackgroundTransparent)
        .Default(false);
    Cls.Set("BoundLines", &TDock::BoundLines, &TDock::SetBoundLines);
    Cls.Bool("FixAlign", &TDock::FixAlign, &TDock::SetFixAlign).Default(false);
    Cls.Bool("LimitToOneRow", &TDock::LimitToOneRow).Default(false);
    Cls.Event("OnResize", &TDock::OnResize);
}

TW_PUBLISH(TFloatParent, TWinControl)
{
    Cls.Message(CM_SHOWINGCHANGED, &TFloatParent::CMShowingChanged);
}

TW_PUBLISH(TCustomToolWindow, TCustomControl)
{
    Cls.Message(WM_MOVE, &TCustomToolWindow::WMMove);
    Cls.Message(WM_SIZE, &TCustomToolWindow::WMSize);
    Cls.Message(WM_GETMINMAXINFO, &TCustomToolWindow::WMGetMinMaxInfo);
    Cls.Message(WM_ACTIVATE, &TCustomToolWindow::WMActivate);
    Cls.Message(WM_MOUSEACTIVATE, &TCustomToolWindow::WMMouseActivate);
    Cls.Message(WM_CLOSE, &TCustomToolWindow::WMClose);
    Cls.Message(WM_NCCALCSIZE, &TCustomToolWindow::WMNCCalcSize);
    Cls.Message(WM_NCHITTEST, &TCustomToolWindow::WMNCHitTest);
    Cls.Message(WM_NCLBUTTONDOWN, &TCustomToolWindow::WMNCLButtonDown);
    Cls.Message(WM_NCPAINT, &TCustomToolWindow::WMNCPaint);
    Cls.Message(WM_DOCKEDNCREPAINT, &TCustomToolWindow::WMDockedNCRepaint);
    Cls.Message(CM_SHOWINGCHANGED, &TCustomToolWindow::CMShowingChanged);
    Cls.Message(CM_VISIBLECHANGED, &TCustomToolWindow::CMVisibleChanged);
    Cls.Message(CM_COLORCHANGED, &TCustomToolWindow::CMColorChanged);
    Cls.Message(CM_TEXTCHANGED, &TCustomToolWindow::CMTextChanged);

    Cls.Component("DockedTo", &TCustomToolWindow::DockedTo, &TCustomToolWindow::SetDockedTo);
    Cls.Int("DockRow", &TCustomToolWindow::DockRow, &TCustomToolWindow::SetDockRow).Default(0);
    Cls.Int("DockPos", &TCustomToolWindow::DockPos, &TCustomToolWindow::SetDockPos).Default(-1);
    Cls.Component("DefaultDock", &TCustomToolWindow::DefaultDock, &TCustomToolWindow::SetDefaultDock);
    Cls.Set("DockableTo", &TCustomToolWindow::DockableTo);
    Cls.Bool("ActivateParent", &TCustomToolWindow::ActivateParent).Default(true);
    Cls.Bool("HideWhenInactive", &TCustomToolWindow::HideWhenInactive).Default(true);
    Cls.Bool("CloseButton", &TCustomToolWindow::CloseButton, &TCustomToolWindow::SetCloseButton)
        .Default(true);
    Cls.Bool("DragHandle", &TCustomToolWindow::DragHandle, &TCustomToolWindow::SetDragHandle).Default(true);
    Cls.Bool("FullSize", &TCustomToolWindow::FullSize, &TCustomToolWindow::SetFullSize).Default(false);
    Cls.Event("OnClose", &TCustomToolWindow::OnClose);
    Cls.Event("OnDockChanged", &TCustomToolWindow::OnDockChanged);
    Cls.Event("OnDockChanging", &TCustomToolWindow::OnDockChanging);
    Cls.Event("OnRecreated", &TCustomToolWindow::OnRecreated);
    Cls.Event("OnRecreating", &TCustomToolWindow::OnRecreating);
    Cls.Event("OnResize", &TCustomToolWindow::OnResize);
    Cls.Event("OnVisibleChanged", &TCustomToolWindow::OnVisibleChanged);
}

TW_PUBLISH(TCustomToolbar, TCustomToolWindow)
{
    Cls.Message(CM_CONTROLLISTCHANGE, &TCustomToolbar::CMControlListChange);
}

TW_PUBLISH(TToolbar, TCustomToolbar) {}

TW_PUBLISH(TToolWindow, TCustomToolWindow)
{
    Cls.Bool("Resizable", &TToolWindow::Resizable, &TToolWindow::SetResizable).Default(true);
    Cls.Int("ClientWidth", &TToolWindow::ClientWidth, &TToolWindow::SetClientWidth);
    Cls.Int("ClientHeight", &TToolWindow::ClientHeight, &TToolWindow::SetClientHeight);
    Cls.Int("MinClientWidth", &TToolWindow::MinClientWidth).Default(32);
    Cls.Int("MinClientHeight", &TToolWindow::MinClientHeight).Default(32);
}

TW_PUBLISH(TToolbarSep, TGraphicControl)
{
    Cls.Bool("Blank", &TToolbarSep::Blank, &TToolbarSep::SetBlank).Default(false);
    Cls.Int("SizeHorz", &TToolbarSep::SizeHorz, &TToolbarSep::SetSizeHorz).Default(6);
    Cls.Int("SizeVert", &TToolbarSep::SizeVert, &TToolbarSep::SetSizeVert).Default(6);
}
