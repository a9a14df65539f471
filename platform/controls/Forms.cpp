#include "platform/controls/Forms.h"

#include "platform/controls/Dialogs.h"

#include "platform/classes/FormReader.h"
#include "platform/classes/TypInfo.h"
#include "platform/controls/Menus.h"
#include "platform/graphics/Resources.h"

#include <QFontDatabase>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace {

const char* const MDIClientClass = "TWMDIClient";

// One round of the message loop when no application object is installed (controls alone).
void PumpOneMessage()
{
    if (TApplicationHost* Host = ApplicationHost()) {
        Host->HandleMessage();
        return;
    }
    MSG Msg;
    if (GetMessage(&Msg, nullptr, 0, 0)) {
        TranslateMessage(&Msg);
        DispatchMessage(&Msg);
    } else {
        PostQuitMessage(static_cast<int>(Msg.wParam));
        throw EAbort("quit");
    }
}

bool HostTerminated()
{
    TApplicationHost* Host = ApplicationHost();
    return Host && Host->Terminated();
}

int MinimizedWidth()
{
    return 160;
}
int MinimizedHeight()
{
    return GetSystemMetrics(SM_CYCAPTION) + 2 * GetSystemMetrics(SM_CYFRAME);
}

} // namespace

TCustomForm* GetParentForm(TControl* Control)
{
    if (!Control)
        return nullptr;
    while (Control->Parent())
        Control = Control->Parent();
    return dynamic_cast<TCustomForm*>(Control);
}

// ---- TCustomForm ------------------------------------------------------------------------------

TCustomForm::TCustomForm(TComponent* AOwner) : TScrollingWinControl(AOwner)
{
    FormState.Include(fsCreating);
    FVisible = false;
    FColor = clBtnFace;
    FLeft = 0;
    FTop = 0;
    FWidth = 320;
    FHeight = 240;
    ControlStyle =
        TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    FCanvas = new TControlCanvas();
    FCanvas->SetControl(this);
    ScreenInstance()->AddForm(this);
}

TCustomForm::~TCustomForm()
{
    Destroying();
    DoDestroy();
    if (FMDIFrame)
        FMDIFrame->RemoveMDIChild(this);
    for (TCustomForm* Child : std::vector<TCustomForm*>(FMDIChildren)) {
        Child->FMDIFrame = nullptr;
        Child->DestroyHandle();
    }
    FMDIChildren.clear();
    ScreenInstance()->RemoveForm(this);
    DestroyComponents();
    FCanvas->FreeHandle();
    delete FCanvas;
    FCanvas = nullptr;
    if (FHandle)
        DestroyHandle();
}

void TCustomForm::InitInheritedComponent()
{
    if (FCreateCalled)
        return;
    std::string Cls = ClassName();
    if (!SameText(Cls, "TForm") && !SameText(Cls, "TCustomForm") && ResourceExists(ResourceType::Form, Cls))
        ReadForm(this, LoadResourceForm(Cls), Cls + ".form");
    FormState.Exclude(fsCreating);
    DoCreate();
    if (FVisible)
        UpdateShowing();
}

void TCustomForm::ReadDescription(const std::string& Text)
{
    ReadForm(this, Text, ClassName() + ".form");
    FormState.Exclude(fsCreating);
    if (!FCreateCalled)
        DoCreate();
    if (FVisible)
        UpdateShowing();
}

void TCustomForm::BeforeDestruction()
{
    DoDestroy();
}

void TCustomForm::DoCreate()
{
    FCreateCalled = true;
    if (OnCreate)
        OnCreate(this);
}

void TCustomForm::DoDestroy()
{
    if (FDestroyCalled)
        return;
    FDestroyCalled = true;
    if (OnDestroy)
        SafeCall(this, [&] { OnDestroy(this); });
}

void TCustomForm::Loaded()
{
    TScrollingWinControl::Loaded();
    if (FPendingClientWidth >= 0)
        SetClientWidth(FPendingClientWidth);
    if (FPendingClientHeight >= 0)
        SetClientHeight(FPendingClientHeight);
    FPendingClientWidth = FPendingClientHeight = -1;
}

void TCustomForm::FrameStyles(DWORD& Style, DWORD& ExStyle) const
{
    Style = WS_CLIPCHILDREN;
    ExStyle = 0;
    TBorderIcons Icons = FBorderIcons;
    switch (FBorderStyle) {
    case bsNone:
        if (FFormStyle != fsMDIChild)
            Style |= WS_POPUP;
        Icons = TBorderIcons{};
        break;
    case bsSingle:
        Style |= WS_CAPTION | WS_BORDER;
        break;
    case bsSizeable:
        Style |= WS_CAPTION | WS_THICKFRAME;
        break;
    case bsDialog:
        Style |= WS_POPUP | WS_CAPTION;
        ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
        Icons = Icons * TBorderIcons{biSystemMenu, biHelp};
        break;
    case bsToolWindow:
        Style |= WS_CAPTION;
        ExStyle |= WS_EX_TOOLWINDOW;
        Icons = Icons * TBorderIcons{biSystemMenu};
        break;
    case bsSizeToolWin:
        Style |= WS_CAPTION | WS_THICKFRAME;
        ExStyle |= WS_EX_TOOLWINDOW;
        Icons = Icons * TBorderIcons{biSystemMenu};
        break;
    }
    if (Icons.Contains(biSystemMenu)) {
        Style |= WS_SYSMENU;
        if (Icons.Contains(biMinimize))
            Style |= WS_MINIMIZEBOX;
        if (Icons.Contains(biMaximize))
            Style |= WS_MAXIMIZEBOX;
        if (Icons.Contains(biHelp) && FBorderStyle == bsDialog)
            ExStyle |= WS_EX_CONTEXTHELP;
    }
    if (FFormStyle == fsStayOnTop)
        ExStyle |= WS_EX_TOPMOST;
    if (FFormStyle == fsMDIChild) {
        Style |= WS_CHILD | WS_CLIPSIBLINGS;
        Style &= ~WS_POPUP;
        ExStyle |= WS_EX_MDICHILD;
    }
}

TCustomForm* TCustomForm::FindMDIFrame() const
{
    if (TApplicationHost* Host = ApplicationHost())
        if (TCustomForm* Main = Host->MainForm(); Main && Main != this && Main->FFormStyle == fsMDIForm)
            return Main;
    TScreen* S = ScreenInstance();
    for (int I = 0; I < S->FormCount(); ++I)
        if (TCustomForm* F = S->Forms(I); F != this && F->FFormStyle == fsMDIForm)
            return F;
    return nullptr;
}

void TCustomForm::CreateParams(TCreateParams& Params)
{
    TScrollingWinControl::CreateParams(Params);
    FrameStyles(Params.Style, Params.ExStyle);
    if (!FEnabled)
        Params.Style |= WS_DISABLED;
    Params.WndParent = nullptr;
    if (FFormStyle == fsMDIChild) {
        TCustomForm* Frame = FindMDIFrame();
        if (!Frame)
            throw EInvalidOperation("Cannot create form. No MDI forms are currently active");
        Frame->HandleNeeded();
        Params.WndParent = Frame->FClientHandle;
    } else if (TApplicationHost* Host = ApplicationHost()) {
        // Other forms stay above the main form (they are owned by it).
        TCustomForm* Main = Host->MainForm();
        if (Main && Main != this && Main->HandleAllocated())
            Params.WndParent = Main->FHandle;
    }
    Params.ClassStyle = CS_DBLCLKS;
    if (FMenu && FFormStyle != fsMDIChild)
        Params.Menu = FMenu->Handle();
    if (FPosition == poDefault || FPosition == poDefaultPosOnly) {
        if (FFormStyle != fsMDIChild) {
            Params.X = CW_USEDEFAULT;
            Params.Y = CW_USEDEFAULT;
        }
    }
}

void TCustomForm::CreateWnd()
{
    if (!FPlaced)
        PlaceForm();
    TScrollingWinControl::CreateWnd();
    if (FFormStyle == fsMDIForm && !FClientHandle) {
        WNDCLASS Existing;
        if (!GetClassInfo(nullptr, MDIClientClass, &Existing)) {
            WNDCLASS WC;
            WC.lpfnWndProc = &::DefWindowProc;
            WC.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_APPWORKSPACE + 1));
            WC.hCursor = LoadCursor(nullptr, IDC_ARROW);
            WC.lpszClassName = MDIClientClass;
            RegisterClass(&WC);
        }
        RECT R;
        GetClientRect(FHandle, &R);
        FClientHandle = CreateWindowEx(WS_EX_CLIENTEDGE, MDIClientClass, "",
                                       WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0,
                                       R.right, R.bottom, FHandle, nullptr, nullptr, nullptr);
        Realign();
    }
    if (FFormStyle == fsMDIChild) {
        FMDIFrame = FindMDIFrame();
        if (FMDIFrame)
            FMDIFrame->AddMDIChild(this);
    }
    if (FMenu) {
        FMenu->SetWindowHandle(FHandle);
        ::SetMenu(FHandle, FMenu->Handle());
    }
}

void TCustomForm::DestroyWnd()
{
    if (FMDIFrame) {
        FMDIFrame->RemoveMDIChild(this);
        FMDIFrame = nullptr;
    }
    for (TCustomForm* Child : std::vector<TCustomForm*>(FMDIChildren))
        Child->DestroyHandle();
    if (FHandle && FMenu)
        ::SetMenu(FHandle, nullptr);
    FClientHandle = nullptr;
    TScrollingWinControl::DestroyWnd();
}

void TCustomForm::PlaceForm()
{
    FPlaced = true;
    int X = FLeft, Y = FTop;
    switch (FPosition) {
    case poScreenCenter:
        X = (ScreenInstance()->Width() - FWidth) / 2;
        Y = (ScreenInstance()->Height() - FHeight) / 2;
        break;
    case poMainFormCenter:
        if (TApplicationHost* Host = ApplicationHost();
            Host && Host->MainForm() && Host->MainForm() != this) {
            TCustomForm* Main = Host->MainForm();
            X = Main->Left() + (Main->Width() - FWidth) / 2;
            Y = Main->Top() + (Main->Height() - FHeight) / 2;
        } else {
            X = (ScreenInstance()->Width() - FWidth) / 2;
            Y = (ScreenInstance()->Height() - FHeight) / 2;
        }
        break;
    case poDefault:
    case poDefaultPosOnly:
        if (FFormStyle == fsMDIChild) {
            // Each new document window steps down and right from the last one.
            TCustomForm* Frame = FindMDIFrame();
            int N = Frame ? Frame->MDIChildCount() : 0;
            int Step = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
            X = (N % 8) * Step;
            Y = (N % 8) * Step;
        }
        break;
    default:
        break;
    }
    if (FPosition == poScreenCenter || FPosition == poMainFormCenter) {
        X = std::max(0, X);
        Y = std::max(0, Y);
    }
    FLeft = X;
    FTop = Y;
}

TRect TCustomForm::ClientRect() const
{
    if (FHandle)
        return TScrollingWinControl::ClientRect();
    DWORD Style, ExStyle;
    FrameStyles(Style, ExStyle);
    RECT R{0, 0, 0, 0};
    AdjustWindowRectEx(&R, Style, FMenu != nullptr, ExStyle);
    int W = FWidth - (R.right - R.left);
    int H = FHeight - (R.bottom - R.top);
    return Rect(0, 0, std::max(0, W), std::max(0, H));
}

void TCustomForm::SetClientWidth(int Value)
{
    if (ComponentState().Contains(csLoading)) {
        FPendingClientWidth = Value;
        return;
    }
    TScrollingWinControl::SetClientWidth(Value);
}

void TCustomForm::SetClientHeight(int Value)
{
    if (ComponentState().Contains(csLoading)) {
        FPendingClientHeight = Value;
        return;
    }
    TScrollingWinControl::SetClientHeight(Value);
}

void TCustomForm::AlignControls(TControl* AControl, TRect& Rect)
{
    TScrollingWinControl::AlignControls(AControl, Rect);
    if (FClientHandle)
        SetWindowPos(FClientHandle, HWND_BOTTOM, Rect.left, Rect.top,
                     std::max(0, int(Rect.right - Rect.left)), std::max(0, int(Rect.bottom - Rect.top)),
                     SWP_NOACTIVATE);
}

void TCustomForm::SizeChanged()
{
    TScrollingWinControl::SizeChanged();
    // A maximised document window follows the frame's client area.
    for (TCustomForm* Child : FMDIChildren)
        if (Child->FWindowState == wsMaximized)
            Child->ApplyWindowState();
}

void TCustomForm::SetBorderStyle(TBorderStyle Value)
{
    if (FBorderStyle == Value)
        return;
    FBorderStyle = Value;
    if (FBorderStyle == bsDialog || FBorderStyle == bsToolWindow || FBorderStyle == bsSizeToolWin)
        FBorderIcons = FBorderIcons * TBorderIcons{biSystemMenu, biHelp};
    RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons Value)
{
    if (FBorderIcons == Value)
        return;
    FBorderIcons = Value;
    RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle Value)
{
    if (FFormStyle == Value)
        return;
    if (FHandle &&
        (Value == fsMDIChild || FFormStyle == fsMDIChild || Value == fsMDIForm || FFormStyle == fsMDIForm)) {
        DestroyHandle();
        FFormStyle = Value;
        UpdateShowing();
        return;
    }
    FFormStyle = Value;
    if (FHandle) {
        SetWindowPos(FHandle, Value == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

void TCustomForm::SetWindowState(TWindowState Value)
{
    if (FWindowState == Value)
        return;
    FWindowState = Value;
    if (FShowing && !ComponentState().Contains(csLoading))
        ApplyWindowState();
}

void TCustomForm::ApplyWindowState()
{
    if (!FHandle)
        return;
    if (FFormStyle == fsMDIChild && FMDIFrame) {
        // Document windows are laid out inside the frame's client window.
        RECT R;
        GetClientRect(FMDIFrame->FClientHandle, &R);
        if (FWindowState == wsNormal) {
            if (FNormalBounds.right > FNormalBounds.left)
                SetBoundsRect(FNormalBounds);
            FNormalBounds = TRect{};
        } else {
            if (FNormalBounds.right <= FNormalBounds.left)
                FNormalBounds = BoundsRect();
            if (FWindowState == wsMaximized) {
                // The client area fills the frame's: caption and borders lie outside, clipped.
                RECT WR, CR;
                GetWindowRect(FHandle, &WR);
                GetClientRect(FHandle, &CR);
                POINT C{0, 0};
                ::ClientToScreen(FHandle, &C);
                const int Left = C.x - WR.left, Top = C.y - WR.top;
                const int Right = WR.right - (C.x + CR.right), Bottom = WR.bottom - (C.y + CR.bottom);
                SetBounds(R.left - Left, R.top - Top, R.right - R.left + Left + Right,
                          R.bottom - R.top + Top + Bottom);
            } else {
                FMDIFrame->ArrangeIcons();
            }
        }
        // The frame's menu bar shows or drops the document's buttons.
        if (FMDIFrame->FHandle)
            RedrawWindow(FMDIFrame->FHandle, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
        return;
    }
    switch (FWindowState) {
    case wsNormal:
        ShowWindow(FHandle, SW_RESTORE);
        break;
    case wsMinimized:
        ShowWindow(FHandle, SW_MINIMIZE);
        break;
    case wsMaximized:
        ShowWindow(FHandle, SW_MAXIMIZE);
        break;
    }
    UpdateBoundsFromWindow();
}

void TCustomForm::SetMenu(TMainMenu* Value)
{
    if (FMenu == Value)
        return;
    if (FMenu)
        RemoveFreeNotification(FMenu);
    FMenu = Value;
    if (Value)
        FreeNotification(Value);
    if (FHandle && FFormStyle != fsMDIChild) {
        if (Value)
            Value->SetWindowHandle(FHandle);
        ::SetMenu(FHandle, Value ? Value->Handle() : nullptr);
        Realign();
    }
}

std::vector<std::pair<TMenuItem*, TRect>> TCustomForm::MenuBarLayout()
{
    std::vector<std::pair<TMenuItem*, TRect>> Result;
    if (!FMenu || !FHandle || FFormStyle == fsMDIChild)
        return Result;
    RECT WR;
    GetWindowRect(FHandle, &WR);
    POINT C{0, 0};
    ::ClientToScreen(FHandle, &C);
    int Bottom = C.y - WR.top;
    int Top = Bottom - GetSystemMetrics(SM_CYMENU);
    int X = C.x - WR.left;
    TBitmap Measure(1, 1);
    TCanvas* Canvas = Measure.Canvas();
    TMenuItem* Root = FMenu->Items();
    for (int I = 0; I < Root->Count(); ++I) {
        TMenuItem* Item = Root->Items(I);
        if (!Item->Visible())
            continue;
        int W = Canvas->TextWidth(StripHotkey(Item->Caption())) + 14;
        Result.emplace_back(Item, Rect(X, Top, X + W, Bottom));
        X += W;
    }
    return Result;
}

std::vector<std::pair<UINT, TRect>> TCustomForm::MenuBarButtons()
{
    std::vector<std::pair<UINT, TRect>> Result;
    TCustomForm* Child = FFormStyle == fsMDIForm ? ActiveMDIChild() : nullptr;
    if (!Child || Child->FWindowState != wsMaximized || !FMenu || !FHandle)
        return Result;
    RECT WR;
    GetWindowRect(FHandle, &WR);
    POINT C{0, 0};
    ::ClientToScreen(FHandle, &C);
    const int Bottom = C.y - WR.top;
    const int Top = Bottom - GetSystemMetrics(SM_CYMENU) + 2;
    const int H = std::max(4, Bottom - Top - 2), W = H + 2;
    // From the right: close, then restore and minimise side by side a little apart from it.
    int X = C.x - WR.left + ClientWidth() - 2;
    for (UINT Cmd : {UINT(SC_CLOSE), UINT(SC_RESTORE), UINT(SC_MINIMIZE)}) {
        X -= W;
        Result.insert(Result.begin(), {Cmd, Rect(X, Top, X + W, Top + H)});
        if (Cmd == SC_CLOSE)
            X -= 2;
    }
    return Result;
}

void TCustomForm::PaintMenuBar()
{
    auto Layout = MenuBarLayout();
    if (Layout.empty())
        return;
    HDC DC = GetWindowDC(FHandle);
    if (!DC)
        return;
    {
        TCanvas Canvas;
        Canvas.SetHandle(DC);
        Canvas.Brush()->SetStyle(bsClear);
        for (auto& [Item, R] : Layout) {
            std::string Text = StripHotkey(Item->Caption());
            Canvas.Font()->SetColor(Item->Enabled() ? clMenuText : clGrayText);
            int TextY = R.top + (R.bottom - R.top - Canvas.TextHeight("Wg")) / 2;
            Canvas.TextOut(R.left + 7, TextY, Text);
            // The accelerator letter is underlined.
            const std::string& Cap = Item->Caption();
            std::size_t Amp = Cap.find('&');
            if (Amp != std::string::npos && Amp + 1 < Cap.size() && Cap[Amp + 1] != '&') {
                std::string Before = StripHotkey(Cap.substr(0, Amp));
                int X0 = R.left + 7 + Canvas.TextWidth(Before);
                int X1 = X0 + Canvas.TextWidth(std::string(1, Cap[Amp + 1]));
                int LineY = TextY + Canvas.TextHeight("Wg") - 1;
                Canvas.Pen()->SetColor(Canvas.Font()->Color());
                Canvas.MoveTo(X0, LineY);
                Canvas.LineTo(X1, LineY);
            }
        }
        Canvas.SetHandle(nullptr);
    }
    // The maximised document's own buttons, which its hidden caption would carry.
    for (auto& [Cmd, R] : MenuBarButtons()) {
        RECT Box{R.left, R.top, R.right, R.bottom};
        DrawFrameControl(DC, &Box, DFC_CAPTION,
                         Cmd == SC_CLOSE     ? DFCS_CAPTIONCLOSE
                         : Cmd == SC_RESTORE ? DFCS_CAPTIONRESTORE
                                             : DFCS_CAPTIONMIN);
    }
    ReleaseDC(FHandle, DC);
}

void TCustomForm::TrackMenuBarItem(TMenuItem* Item)
{
    if (!Item || !FMenu || !Item->Enabled())
        return;
    if (Item->Count() == 0) {
        Item->Click();
        return;
    }
    RECT WR;
    GetWindowRect(FHandle, &WR);
    for (auto& [I, R] : MenuBarLayout()) {
        if (I != Item)
            continue;
        // The bar's entry is highlighted while its menu is open: its hint shows until an item
        // of the menu is.
        const std::vector<TMenuEntryInfo> Bar = GetMenuEntries(FMenu->Handle());
        for (std::size_t Pos = 0; Pos < Bar.size(); ++Pos)
            if (Bar[Pos].SubMenu && Bar[Pos].SubMenu == Item->Handle())
                MenuSelectEntry(FHandle, FMenu->Handle(), static_cast<int>(Pos));
        UINT Cmd =
            static_cast<UINT>(TrackPopupMenu(Item->Handle(), TPM_LEFTALIGN | TPM_RETURNCMD, WR.left + R.left,
                                             WR.top + R.bottom, 0, FHandle, nullptr));
        if (Cmd && FMenu)
            FMenu->DispatchCommand(static_cast<WORD>(Cmd));
        return;
    }
}

void TCustomForm::SetWindowMenu(TMenuItem* Value)
{
    if (FWindowMenu == Value)
        return;
    for (TMenuItem* Item : std::vector<TMenuItem*>(FWindowMenuItems))
        delete Item;
    FWindowMenuItems.clear();
    if (FWindowMenu)
        RemoveFreeNotification(FWindowMenu);
    FWindowMenu = Value;
    if (Value)
        FreeNotification(Value);
    MergeWindowMenu();
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation)
{
    TScrollingWinControl::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FMenu)
        FMenu = nullptr;
    if (AComponent == FWindowMenu)
        FWindowMenu = nullptr;
    FWindowMenuItems.erase(std::remove(FWindowMenuItems.begin(), FWindowMenuItems.end(), AComponent),
                           FWindowMenuItems.end());
    if (AComponent == FActiveControl)
        FActiveControl = nullptr;
    if (AComponent == FFocusedControl)
        FFocusedControl = nullptr;
}

void TCustomForm::SendCancelMode(TControl* Sender)
{
    if (FActiveControl && FActiveControl != Sender)
        FActiveControl->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(Sender));
    if (TCustomForm* Child = ActiveMDIChild(); Child && Child != Sender)
        Child->SendCancelMode(Sender);
}

void TCustomForm::ControlRemoving(TControl* Control)
{
    auto Inside = [Control](TWinControl* C) {
        if (!C)
            return false;
        if (C == Control)
            return true;
        TWinControl* W = dynamic_cast<TWinControl*>(Control);
        return W && W->ContainsControl(C);
    };
    if (Inside(FActiveControl))
        FActiveControl = nullptr;
    if (Inside(FFocusedControl))
        FFocusedControl = nullptr;
    ScreenInstance()->ControlRemoving(Control);
}

void TCustomForm::DefocusControl(TWinControl* Control)
{
    if (!FActiveControl || (FActiveControl != Control && !Control->ContainsControl(FActiveControl)))
        return;
    FActiveControl = nullptr;
    HWND Focus = GetFocus();
    if (FActive && Control->HandleAllocated() && Focus &&
        (Focus == Control->Handle() || IsChild(Control->Handle(), Focus)))
        SetWindowFocus();
}

void TCustomForm::SetActiveControl(TWinControl* Control)
{
    if (FActiveControl == Control)
        return;
    bool Loading = ComponentState().Contains(csLoading);
    if (Control && !Loading && (!ContainsControl(Control) || (FShowing && !Control->CanFocus())))
        throw EInvalidOperation("Cannot focus a disabled or invisible window");
    FActiveControl = Control;
    if (!Loading && FActive && Control && Control->CanFocus())
        ::SetFocus(Control->Handle());
}

void TCustomForm::FocusControl(TWinControl* Control)
{
    if (!Control || !ContainsControl(Control))
        return;
    if (!Control->CanFocus())
        throw EInvalidOperation("Cannot focus a disabled or invisible window");
    FActiveControl = Control;
    if (FShowing)
        ::SetFocus(Control->Handle());
}

bool TCustomForm::SetFocusedControl(TWinControl* Control)
{
    // A form on its way out records no focus and fires no enter and exit events: the screen
    // would keep a pointer to it, and its derived part is gone.
    if (ComponentState().Contains(csDestroying))
        return false;
    if (FFormStyle == fsMDIChild && FMDIFrame && FMDIFrame->ActiveMDIChild() != this)
        FMDIFrame->ActivateMDIChild(this);
    TScreen* S = ScreenInstance();
    if (FFocusedControl == Control) {
        S->SetActiveControl(Control);
        return true;
    }
    TWinControl* Old = FFocusedControl;
    FFocusedControl = Control;
    if (Control != this)
        FActiveControl = Control;
    // Exit the old control and its containers up to the one shared with the new control, then
    // enter the new one's containers from the outside in.
    if (Old && Old != this) {
        for (TWinControl* P = Old; P && P != this; P = P->Parent()) {
            if (P == Control || P->ContainsControl(Control))
                break;
            P->Perform(CM_EXIT, 0, 0);
            if (FFocusedControl != Control)
                return false;
        }
    }
    std::vector<TWinControl*> Chain;
    for (TWinControl* P = Control; P && P != this; P = P->Parent()) {
        if (Old && (P == Old || P->ContainsControl(Old)))
            break;
        Chain.push_back(P);
    }
    for (auto It = Chain.rbegin(); It != Chain.rend(); ++It)
        (*It)->Perform(CM_ENTER, 0, 0);
    S->SetActiveControl(Control);
    Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(Control));
    return true;
}

namespace {

// Whether the keyboard given to Control reaches something on screen: a control whose window is
// never shown (the parent a floating tool window hangs under) would swallow every key.
bool FocusableOnScreen(TWinControl* Control)
{
    return Control && Control->CanFocus() && Control->HandleAllocated() && IsWindowVisible(Control->Handle());
}

} // namespace

void TCustomForm::SetWindowFocus()
{
    TWinControl* Target = FActiveControl;
    if (!FocusableOnScreen(Target) && ActiveDocumentToFocus()) {
        // A frame without a control of its own to focus hands the focus to its active document,
        // whose own focused control takes it (the frame's WM_SETFOCUS passes it on).
        ::SetFocus(FHandle);
        return;
    }
    if (!Target || !Target->CanFocus()) {
        Target = FindNextControl(nullptr, true, true, false);
        if (Target)
            FActiveControl = Target;
    }
    if (Target && Target->CanFocus())
        ::SetFocus(Target->Handle());
    else if (FHandle && GetFocus() != FHandle)
        ::SetFocus(FHandle);
}

bool TCustomForm::ShouldShow() const
{
    return (FVisible || ComponentState().Contains(csDesigning)) && !ComponentState().Contains(csLoading);
}

void TCustomForm::UpdateShowing()
{
    bool Show = ShouldShow();
    if (Show == FShowing) {
        if (Show)
            for (TWinControl* C : std::vector<TWinControl*>(FWinControls))
                C->UpdateShowing();
        return;
    }
    if (Show) {
        DoShow();
        HandleNeeded();
        FShowing = true;
        FormState.Include(fsShowing);
        for (TWinControl* C : std::vector<TWinControl*>(FWinControls))
            C->UpdateShowing();
        if (FFormStyle == fsMDIChild) {
            ShowWindow(FHandle, SW_SHOWNA);
            ApplyWindowState();
            if (FMDIFrame)
                FMDIFrame->ActivateMDIChild(this);
        } else {
            int Cmd = FWindowState == wsMaximized   ? SW_SHOWMAXIMIZED
                      : FWindowState == wsMinimized ? SW_SHOWMINIMIZED
                                                    : SW_SHOWNORMAL;
            ShowWindow(FHandle, Cmd);
            UpdateBoundsFromWindow();
            if (FWindowState != wsNormal)
                SizeChanged();
        }
        FormState.Exclude(fsShowing);
    } else {
        DoHide();
        FShowing = false;
        if (FHandle) {
            bool WasActive = GetActiveWindow() == FHandle;
            ShowWindow(FHandle, SW_HIDE);
            if (WasActive || ScreenInstance()->ActiveForm() == this)
                MoveActivationAway();
        }
        for (TWinControl* C : std::vector<TWinControl*>(FWinControls))
            C->UpdateShowing();
        if (FMDIFrame && FMDIFrame->ActiveMDIChild() == this && FMDIFrame->FMDIChildren.size() > 1)
            FMDIFrame->Next();
    }
}

void TCustomForm::MoveActivationAway()
{
    if (FFormStyle == fsMDIChild)
        return;
    // The owner (or else the main form, or any visible form) takes the activation over; a form
    // disabled under a modal one cannot.
    TCustomForm* Next = nullptr;
    if (TApplicationHost* Host = ApplicationHost())
        if (TCustomForm* Main = Host->MainForm();
            Main && Main != this && Main->FShowing && Main->FHandle && IsWindowEnabled(Main->FHandle))
            Next = Main;
    TScreen* S = ScreenInstance();
    for (int I = 0; !Next && I < S->FormCount(); ++I) {
        TCustomForm* F = S->Forms(I);
        if (F != this && F->FShowing && F->FFormStyle != fsMDIChild && F->FHandle &&
            IsWindowEnabled(F->FHandle))
            Next = F;
    }
    if (Next && Next->FHandle)
        SetActiveWindow(Next->FHandle);
}

void TCustomForm::DoShow()
{
    if (OnShow)
        OnShow(this);
}

void TCustomForm::DoHide()
{
    if (OnHide)
        OnHide(this);
}

void TCustomForm::Show()
{
    SetVisible(true);
    BringToFront();
}

void TCustomForm::Hide()
{
    SetVisible(false);
}

void TCustomForm::BringToFront()
{
    if (!FHandle || !FShowing)
        return;
    if (FFormStyle == fsMDIChild) {
        if (FMDIFrame)
            FMDIFrame->ActivateMDIChild(this);
        return;
    }
    SetWindowPos(FHandle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    if (IsWindowEnabled(FHandle))
        SetActiveWindow(FHandle);
}

void TCustomForm::SetFocus()
{
    if (!FShowing || !FEnabled)
        throw EInvalidOperation("Cannot focus a disabled or invisible window");
    if (FFormStyle == fsMDIChild && FMDIFrame) {
        FMDIFrame->ActivateMDIChild(this);
        return;
    }
    SetActiveWindow(FHandle);
}

bool TCustomForm::CanFocus() const
{
    return FShowing && FEnabled;
}

bool TCustomForm::CloseQuery()
{
    if (FFormStyle == fsMDIForm)
        for (TCustomForm* Child : std::vector<TCustomForm*>(FMDIChildren))
            if (!Child->CloseQuery())
                return false;
    bool CanClose = true;
    if (OnCloseQuery)
        OnCloseQuery(this, CanClose);
    return CanClose;
}

void TCustomForm::DoClose(TCloseAction& Action)
{
    if (OnClose)
        OnClose(this, Action);
}

void TCustomForm::Close()
{
    if (FormState.Contains(fsModal)) {
        FModalResult = mrCancel;
        return;
    }
    if (!CloseQuery())
        return;
    TCloseAction Action = caHide;
    if (FFormStyle == fsMDIChild)
        Action = FBorderIcons.Contains(biMinimize) ? caMinimize : caNone;
    DoClose(Action);
    if (Action == caNone)
        return;
    TApplicationHost* Host = ApplicationHost();
    if (Host && Host->MainForm() == this) {
        Host->Terminate();
        return;
    }
    switch (Action) {
    case caHide:
        Hide();
        break;
    case caMinimize:
        SetWindowState(wsMinimized);
        break;
    case caFree:
        Release();
        break;
    default:
        break;
    }
}

void TCustomForm::Release()
{
    HandleNeeded();
    PostMessage(FHandle, CM_RELEASE, 0, 0);
}

void TCustomForm::CloseModal()
{
    TCloseAction Action = caNone;
    if (CloseQuery()) {
        Action = caHide;
        DoClose(Action);
    }
    switch (Action) {
    case caNone:
        FModalResult = mrNone;
        break;
    case caFree:
        Release();
        break;
    default:
        break;
    }
}

namespace {
struct TDisableState {
    HWND Keep;
    std::vector<HWND> Disabled;
};
BOOL DisableOtherWindow(HWND Wnd, LPARAM Param)
{
    auto* State = reinterpret_cast<TDisableState*>(Param);
    if (Wnd != State->Keep && IsWindowVisible(Wnd) && IsWindowEnabled(Wnd)) {
        State->Disabled.push_back(Wnd);
        EnableWindow(Wnd, FALSE);
    }
    return TRUE;
}
} // namespace

int TCustomForm::ShowModal()
{
    if (FVisible || !FEnabled || FormState.Contains(fsModal) || FFormStyle == fsMDIChild)
        throw EInvalidOperation("Cannot make a visible window modal");
    if (HWND Capture = GetCapture()) {
        SendMessage(Capture, WM_CANCELMODE, 0, 0);
        ReleaseCapture();
    }
    FormState.Include(fsModal);
    HWND Previous = GetActiveWindow();
    HandleNeeded();
    HWND Own = FHandle;
    TDisableState State{Own, {}};
    EnumThreadWindows(GetCurrentThreadId(), &DisableOtherWindow, reinterpret_cast<LPARAM>(&State));
    auto Restore = [&] {
        for (HWND W : State.Disabled)
            if (IsWindow(W))
                EnableWindow(W, TRUE);
    };
    // The window the user was in takes the activation back, frame drawn active. A form answered
    // while the program was in front keeps the program in front, even when the desktop took its
    // activation away with the closing window.
    auto Reactivate = [&](bool Foreground) {
        if (!Previous || Previous == Own || !IsWindow(Previous))
            return;
        if (Foreground && IsWindowVisible(Previous))
            SetForegroundWindow(Previous);
        else
            SetActiveWindow(Previous);
    };
    int Result = mrCancel;
    try {
        FModalResult = mrNone;
        Show();
        for (;;) {
            PumpOneMessage();
            if (!IsWindow(Own)) {
                FModalResult = mrCancel;
                break;
            }
            if (HostTerminated())
                FModalResult = mrCancel;
            else if (FModalResult != mrNone)
                CloseModal();
            if (FModalResult != mrNone)
                break;
        }
        Result = FModalResult;
    } catch (...) {
        bool Foreground = IsApplicationActive();
        Restore();
        FormState.Exclude(fsModal);
        if (FVisible)
            Hide();
        Reactivate(Foreground);
        throw;
    }
    // Re-enable the others before hiding, so the activation can go back to them.
    bool Foreground = IsApplicationActive();
    Restore();
    if (FVisible)
        Hide();
    Reactivate(Foreground);
    FormState.Exclude(fsModal);
    return Result;
}

// ---- MDI --------------------------------------------------------------------------------------

int TCustomForm::MDIChildCount() const
{
    return static_cast<int>(FMDIChildren.size());
}

TCustomForm* TCustomForm::MDIChildren(int Index) const
{
    if (Index < 0 || Index >= MDIChildCount())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FMDIChildren[Index];
}

TCustomForm* TCustomForm::ActiveDocumentToFocus() const
{
    TCustomForm* Child = ActiveMDIChild();
    if (!Child || !Child->HandleAllocated() || !IsWindowVisible(Child->Handle()) ||
        !IsWindowEnabled(Child->Handle()))
        return nullptr;
    return Child;
}

TCustomForm* TCustomForm::ActiveMDIChild() const
{
    if (FFormStyle != fsMDIForm || FMDIChildren.empty())
        return nullptr;
    return FMDIChildren.front();
}

void TCustomForm::AddMDIChild(TCustomForm* Child)
{
    if (std::find(FMDIChildren.begin(), FMDIChildren.end(), Child) != FMDIChildren.end())
        return;
    FMDIChildren.push_back(Child);
    MDIChildListChanged();
}

void TCustomForm::RemoveMDIChild(TCustomForm* Child)
{
    auto It = std::find(FMDIChildren.begin(), FMDIChildren.end(), Child);
    if (It == FMDIChildren.end())
        return;
    bool WasActive = It == FMDIChildren.begin();
    FMDIChildren.erase(It);
    if (WasActive) {
        Child->FActive = false;
        if (!FMDIChildren.empty() && !ComponentState().Contains(csDestroying)) {
            TCustomForm* Next = FMDIChildren.front();
            FMDIChildren.erase(FMDIChildren.begin());
            FMDIChildren.insert(FMDIChildren.begin(), Next);
            ActivateMDIChild(Next);
        }
    }
    MDIChildListChanged();
}

void TCustomForm::ActivateMDIChild(TCustomForm* Child)
{
    auto It = std::find(FMDIChildren.begin(), FMDIChildren.end(), Child);
    if (It == FMDIChildren.end())
        return;
    TCustomForm* Old = FMDIChildren.front();
    FMDIChildren.erase(It);
    FMDIChildren.insert(FMDIChildren.begin(), Child);
    if (Child->FHandle)
        SetWindowPos(Child->FHandle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // A maximised document hands that state on to the one activated after it.
    if (Old != Child && Old->FWindowState == wsMaximized && !Old->ComponentState().Contains(csDestroying)) {
        Child->SetWindowState(wsMaximized);
        Old->SetWindowState(wsNormal);
    }
    if (Old != Child || !Child->FActive) {
        if (Old != Child && Old->FActive) {
            Old->FActive = false;
            if (Old->FHandle)
                SendMessage(Old->FHandle, WM_NCACTIVATE, FALSE, 0);
            Old->Perform(CM_DEACTIVATE, 0, 0);
        }
        Child->FActive = true;
        if (Child->FHandle)
            SendMessage(Child->FHandle, WM_NCACTIVATE, TRUE, 0);
        Child->Perform(CM_ACTIVATE, 0, 0);
    }
    if (Child->FShowing && FShowing) {
        TWinControl* Target = Child->FActiveControl;
        if (!Target || !Target->CanFocus()) {
            // A document activated without a focused control of its own focuses its first one,
            // so the user can type into a new document at once.
            if (TWinControl* First = Child->FindNextControl(nullptr, true, true, false)) {
                Target = First;
                Child->FActiveControl = First;
            }
        }
        HWND Focus = GetFocus();
        bool FocusInside =
            Focus && Child->FHandle && (Focus == Child->FHandle || IsChild(Child->FHandle, Focus));
        if (!FocusInside) {
            if (Target && Target->CanFocus())
                ::SetFocus(Target->Handle());
            else if (Child->FHandle)
                ::SetFocus(Child->FHandle);
        }
    }
    MergeWindowMenu();
    ScreenInstance()->UpdateActiveCustomForm();
}

void TCustomForm::MDIChildListChanged()
{
    MergeWindowMenu();
    ScreenInstance()->UpdateActiveCustomForm();
}

void TCustomForm::Cascade()
{
    if (!FClientHandle)
        return;
    RECT R;
    GetClientRect(FClientHandle, &R);
    int Step = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
    std::vector<TCustomForm*> List;
    for (auto It = FMDIChildren.rbegin(); It != FMDIChildren.rend(); ++It)
        if ((*It)->FShowing && (*It)->FWindowState != wsMinimized)
            List.push_back(*It);
    int W = std::max(100, static_cast<int>(R.right * 3 / 4));
    int H = std::max(60, static_cast<int>(R.bottom * 3 / 4));
    for (std::size_t I = 0; I < List.size(); ++I) {
        TCustomForm* C = List[I];
        C->FWindowState = wsNormal;
        C->FNormalBounds = TRect{};
        int K = static_cast<int>(I % 8);
        C->SetBounds(K * Step, K * Step, W, H);
    }
    ArrangeIcons();
}

void TCustomForm::Tile()
{
    if (!FClientHandle)
        return;
    RECT R;
    GetClientRect(FClientHandle, &R);
    std::vector<TCustomForm*> List;
    for (TCustomForm* C : FMDIChildren)
        if (C->FShowing && C->FWindowState != wsMinimized)
            List.push_back(C);
    int N = static_cast<int>(List.size());
    if (N == 0)
        return;
    bool AnyMinimized = std::any_of(FMDIChildren.begin(), FMDIChildren.end(),
                                    [](TCustomForm* C) { return C->FWindowState == wsMinimized; });
    int Height = R.bottom - (AnyMinimized ? MinimizedHeight() : 0);
    int Cols, Rows;
    if (N <= 3) {
        Cols = TileMode == tbVertical ? N : 1;
        Rows = TileMode == tbVertical ? 1 : N;
    } else {
        Cols = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(N))));
        Rows = (N + Cols - 1) / Cols;
        if (TileMode == tbHorizontal)
            std::swap(Cols, Rows);
    }
    int Index = 0;
    for (int Col = 0; Col < Cols && Index < N; ++Col) {
        // The last column takes what is left, so every window gets a cell.
        int InCol = Col == Cols - 1 ? N - Index : Rows;
        for (int Row = 0; Row < InCol && Index < N; ++Row, ++Index) {
            TCustomForm* C = List[Index];
            C->FWindowState = wsNormal;
            C->FNormalBounds = TRect{};
            int X0 = R.right * Col / Cols, X1 = R.right * (Col + 1) / Cols;
            int Y0 = Height * Row / InCol, Y1 = Height * (Row + 1) / InCol;
            C->SetBounds(X0, Y0, X1 - X0, Y1 - Y0);
        }
    }
}

void TCustomForm::ArrangeIcons()
{
    if (!FClientHandle)
        return;
    RECT R;
    GetClientRect(FClientHandle, &R);
    int X = 0, Y = R.bottom - MinimizedHeight();
    for (auto It = FMDIChildren.rbegin(); It != FMDIChildren.rend(); ++It) {
        TCustomForm* C = *It;
        if (C->FWindowState != wsMinimized)
            continue;
        if (X + MinimizedWidth() > R.right && X > 0) {
            X = 0;
            Y -= MinimizedHeight();
        }
        C->SetBounds(X, Y, MinimizedWidth(), MinimizedHeight());
        X += MinimizedWidth();
    }
}

void TCustomForm::Next()
{
    if (FMDIChildren.size() < 2)
        return;
    // The active window goes to the back; the one behind it becomes active.
    TCustomForm* Current = FMDIChildren.front();
    ActivateMDIChild(FMDIChildren[1]);
    auto It = std::find(FMDIChildren.begin(), FMDIChildren.end(), Current);
    if (It != FMDIChildren.end()) {
        FMDIChildren.erase(It);
        FMDIChildren.push_back(Current);
    }
    if (Current->FHandle)
        SetWindowPos(Current->FHandle, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    MergeWindowMenu();
}

void TCustomForm::Previous()
{
    if (FMDIChildren.size() < 2)
        return;
    ActivateMDIChild(FMDIChildren.back());
}

void TCustomForm::MergeWindowMenu()
{
    for (TMenuItem* Item : std::vector<TMenuItem*>(FWindowMenuItems))
        delete Item;
    FWindowMenuItems.clear();
    if (!FWindowMenu || FFormStyle != fsMDIForm || FMDIChildren.empty() ||
        ComponentState().Contains(csDestroying))
        return;
    // The window list follows the menu's own items: a separator, then one numbered entry per
    // document in the order the documents were opened, the active one checked; past nine, one
    // entry leads to the list of them all.
    std::vector<TCustomForm*> Ordered = DocumentsInOpeningOrder();
    auto Add = [this](const std::string& Caption, bool Checked, TNotifyEvent OnClick) {
        auto* Item = new TMenuItem(this);
        Item->SetCaption(Caption);
        Item->SetChecked(Checked);
        Item->OnClick = std::move(OnClick);
        FWindowMenu->Add(Item);
        FreeNotification(Item);
        FWindowMenuItems.push_back(Item);
    };
    Add("-", false, nullptr);
    for (std::size_t N = 0; N < Ordered.size() && N < 9; ++N) {
        TCustomForm* Child = Ordered[N];
        Add("&" + std::to_string(N + 1) + " " + Child->Caption(), Child == ActiveMDIChild(),
            [this, Child](TObject*) { BringDocumentForward(Child); });
    }
    if (Ordered.size() > 9)
        Add("&More Windows...", false, [this](TObject*) { SelectDocumentFromList(); });
}

std::vector<TCustomForm*> TCustomForm::DocumentsInOpeningOrder() const
{
    std::vector<TCustomForm*> Ordered;
    TScreen* S = ScreenInstance();
    for (int I = 0; I < S->FormCount(); ++I)
        if (std::find(FMDIChildren.begin(), FMDIChildren.end(), S->Forms(I)) != FMDIChildren.end())
            Ordered.push_back(S->Forms(I));
    return Ordered;
}

void TCustomForm::BringDocumentForward(TCustomForm* Child)
{
    if (std::find(FMDIChildren.begin(), FMDIChildren.end(), Child) == FMDIChildren.end())
        return;
    if (Child->FWindowState == wsMinimized)
        Child->SetWindowState(wsNormal);
    ActivateMDIChild(Child);
}

void TCustomForm::SelectDocumentFromList()
{
    std::vector<TCustomForm*> Ordered = DocumentsInOpeningOrder();
    TDialogRequest R;
    R.Kind = TDialogKind::SelectWindow;
    R.Owner = FHandle;
    R.Caption = "Select Window";
    R.Text = "Select &Window:";
    for (std::size_t I = 0; I < Ordered.size(); ++I) {
        R.Items.push_back(Ordered[I]->Caption());
        if (Ordered[I] == ActiveMDIChild())
            R.ItemIndex = static_cast<int>(I);
    }
    if (PresentDialog(R) == 0 || R.ItemIndex < 0 || R.ItemIndex >= static_cast<int>(Ordered.size()))
        return;
    BringDocumentForward(Ordered[static_cast<std::size_t>(R.ItemIndex)]);
}

// ---- Messages ---------------------------------------------------------------------------------

bool TCustomForm::IsShortCut(TMessage& Message)
{
    if (OnShortCut) {
        bool Handled = false;
        OnShortCut(Message, Handled);
        if (Handled)
            return true;
    }
    if (FMenu && FMenu->IsShortCut(Message))
        return true;
    // Ctrl+F6 and Ctrl+Tab go to the next document, with Shift to the one before.
    if (FFormStyle == fsMDIForm && (Message.Msg == WM_KEYDOWN || Message.Msg == WM_SYSKEYDOWN) &&
        (Message.WParam == VK_F6 || Message.WParam == VK_TAB)) {
        TShiftState Shift = KeyDataToShiftState(Message.LParam);
        if (Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt) && !FMDIChildren.empty()) {
            if (Shift.Contains(ssShift))
                Previous();
            else
                Next();
            return true;
        }
    }
    // Alt and an accelerator letter open that menu of the bar; a letter alone is no accelerator,
    // even where it comes as a system key (nothing focused).
    const bool AltHeld = (Message.LParam & 0x20000000) != 0;
    if (Message.Msg == WM_SYSKEYDOWN && AltHeld && FMenu && FHandle && FFormStyle != fsMDIChild) {
        TMenuItem* Root = FMenu->Items();
        for (int I = 0; I < Root->Count(); ++I) {
            TMenuItem* Item = Root->Items(I);
            if (Item->Visible() && IsAccel(static_cast<WORD>(Message.WParam), Item->Caption())) {
                TrackMenuBarItem(Item);
                return true;
            }
        }
    }
    if (FFormStyle == fsMDIChild && FMDIFrame && FMDIFrame->IsShortCut(Message))
        return true;
    return false;
}

void TCustomForm::Activate()
{
    FormState.Include(fsActivated);
    if (OnActivate)
        OnActivate(this);
}

void TCustomForm::Deactivate()
{
    if (OnDeactivate)
        OnDeactivate(this);
}

void TCustomForm::Paint()
{
    if (OnPaint)
        OnPaint(this);
}

void TCustomForm::PaintWindow(HDC DC)
{
    TCanvasPaintScope Scope(FCanvas, DC);
    Paint();
}

void TCustomForm::ActivateAsMDIChild()
{
    if (FFormStyle == fsMDIChild && FMDIFrame && FMDIFrame->ActiveMDIChild() != this)
        FMDIFrame->ActivateMDIChild(this);
}

void TCustomForm::WMActivate(TWMActivate Message)
{
    DefaultHandler(Message);
    // A form on its way out (its derived part already gone) takes no part in the activation: the
    // windows it owns going away hand the activation back to it.
    if (ComponentState().Contains(csDestroying)) {
        FActive = false;
        return;
    }
    if (Message.Active() != WA_INACTIVE) {
        FActive = true;
        ScreenInstance()->FormActivated(this);
        SetWindowFocus();
    } else {
        FActive = false;
    }
}

// The window model draws the frame with an empty menu band; the bar's items go on top.
void TCustomForm::WMNCPaint(TWMNCPaint Message)
{
    DefaultHandler(Message);
    PaintMenuBar();
}

void TCustomForm::WMNCActivate(TWMNCActivate Message)
{
    DefaultHandler(Message);
    PaintMenuBar();
}

void TCustomForm::WMParentNotify(TWMParentNotify Message)
{
    // A press inside a document window makes it the active one.
    WORD Event = Message.Event();
    if (FFormStyle == fsMDIForm && FClientHandle &&
        (Event == WM_LBUTTONDOWN || Event == WM_RBUTTONDOWN || Event == WM_MBUTTONDOWN)) {
        POINT P = LParamToPoint(Message.LParam);
        ::ClientToScreen(FHandle, &P);
        for (TCustomForm* Child : std::vector<TCustomForm*>(FMDIChildren)) {
            RECT R;
            if (!Child->FHandle || !IsWindowVisible(Child->FHandle) || !GetWindowRect(Child->FHandle, &R))
                continue;
            if (P.x >= R.left && P.x < R.right && P.y >= R.top && P.y < R.bottom) {
                if (Child != ActiveMDIChild())
                    ActivateMDIChild(Child);
                break;
            }
        }
    }
    DefaultHandler(Message);
}

void TCustomForm::WMNCLButtonDown(TWMNCLButtonDown Message)
{
    ActivateAsMDIChild();
    if (Message.HitTest() != HTMENU) {
        DefaultHandler(Message);
        return;
    }
    RECT WR;
    GetWindowRect(FHandle, &WR);
    POINT P = LParamToPoint(Message.LParam);
    for (auto& [Cmd, R] : MenuBarButtons())
        if (P.x - WR.left >= R.left && P.x - WR.left < R.right && P.y - WR.top >= R.top &&
            P.y - WR.top < R.bottom) {
            if (TCustomForm* Child = ActiveMDIChild(); Child && Child->FHandle)
                SendMessage(Child->FHandle, WM_SYSCOMMAND, Cmd, 0);
            return;
        }
    for (auto& [Item, R] : MenuBarLayout())
        if (P.x - WR.left >= R.left && P.x - WR.left < R.right) {
            TrackMenuBarItem(Item);
            return;
        }
}

void TCustomForm::DesktopChanged(TMessage& Message, UINT Notice)
{
    DefaultHandler(Message);
    TMessage M{Notice, Message.WParam, Message.LParam, 0};
    Broadcast(M);
    Invalidate();
}

void TCustomForm::WMSysColorChange(TMessage& Message)
{
    DesktopChanged(Message, CM_SYSCOLORCHANGE);
}

void TCustomForm::WMWinIniChange(TWMWinIniChange Message)
{
    DesktopChanged(Message, CM_WININICHANGE);
}

void TCustomForm::WMFontChange(TMessage& Message)
{
    DesktopChanged(Message, CM_FONTCHANGE);
}

void TCustomForm::WMTimeChange(TMessage& Message)
{
    DesktopChanged(Message, CM_TIMECHANGE);
}

void TCustomForm::WMActivateApp(TWMActivateApp Message)
{
    if (TApplicationHost* Host = ApplicationHost())
        Host->ActivateApp(Message.Active());
    DefaultHandler(Message);
}

void TCustomForm::WMMouseActivate(TWMMouseActivate Message)
{
    ActivateAsMDIChild();
    DefaultHandler(Message);
}

void TCustomForm::WMSetFocus(TWMSetFocus Message)
{
    if (ComponentState().Contains(csDestroying)) {
        DefaultHandler(Message);
        return;
    }
    ActivateAsMDIChild();
    TCustomForm* Child = ActiveDocumentToFocus();
    if (FActiveControl && FActiveControl != this && FActiveControl->CanFocus() &&
        (!Child || FocusableOnScreen(FActiveControl))) {
        ::SetFocus(FActiveControl->Handle());
        return;
    }
    if (Child) {
        ::SetFocus(Child->Handle());
        return;
    }
    SetFocusedControl(this);
    DefaultHandler(Message);
}

void TCustomForm::WMClose(TWMClose Message)
{
    Close();
    Message.Result = 0;
}

// A logout ends the program as Exit does: the close query decides.
void TCustomForm::WMQueryEndSession(TWMQueryEndSession Message)
{
    Message.Result = CloseQuery() ? TRUE : FALSE;
}

void TCustomForm::WMSysCommand(TWMSysCommand Message)
{
    WPARAM Cmd = Message.CmdType();
    if (FFormStyle == fsMDIChild && (Cmd == SC_MINIMIZE || Cmd == SC_MAXIMIZE || Cmd == SC_RESTORE)) {
        SetWindowState(Cmd == SC_MINIMIZE ? wsMinimized : Cmd == SC_MAXIMIZE ? wsMaximized : wsNormal);
        return;
    }
    DefaultHandler(Message);
    if (FHandle && FFormStyle != fsMDIChild) {
        if (IsIconic(FHandle))
            FWindowState = wsMinimized;
        else if (IsZoomed(FHandle))
            FWindowState = wsMaximized;
        else
            FWindowState = wsNormal;
    }
}

void TCustomForm::WMMenuSelect(TWMMenuSelect Message)
{
    // The hint of the highlighted item goes to the application's status line.
    WORD Flags = Message.MenuFlag();
    HMENU Menu = Message.Menu();
    std::string Hint;
    if (!(Flags == 0xFFFF && !Menu)) {
        TMenuItem* Item = nullptr;
        UINT Id = Message.IDItem();
        auto Find = [&](TMenu* M) -> TMenuItem* {
            if (!M)
                return nullptr;
            if (Flags & MF_POPUP) {
                HMENU Sub = GetSubMenu(Menu, static_cast<int>(Id));
                return M->FindItem(reinterpret_cast<std::uintptr_t>(Sub), fkHandle);
            }
            return M->FindItem(Id, fkCommand);
        };
        Item = Find(FMenu);
        if (!Item) {
            // Popup menus of this form's components.
            for (int I = 0; !Item && I < ComponentCount(); ++I)
                if (auto* P = dynamic_cast<TPopupMenu*>(Components(I)))
                    Item = Find(P);
        }
        if (Item)
            Hint = GetLongHint(Item->Hint);
    }
    if (TApplicationHost* Host = ApplicationHost())
        Host->SetHint(Hint);
}

void TCustomForm::WMInitMenuPopup(TWMInitMenuPopup Message)
{
    if (!FMenu || !FMenu->DispatchPopup(Message.MenuPopup()))
        DefaultHandler(Message);
}

void TCustomForm::WMCommand(TWMCommand Message)
{
    if (Message.LParam == 0 && FMenu && FMenu->DispatchCommand(Message.ItemID()))
        return;
    TScrollingWinControl::WMCommand(Message);
}

void TCustomForm::WMSetText(TWMSetText Message)
{
    TScrollingWinControl::WMSetText(Message);
    PaintMenuBar();
}

void TCustomForm::CMDialogKey(TCMDialogKey Message)
{
    TShiftState Shift = KeyDataToShiftState(Message.KeyData());
    if (Message.CharCode() == VK_TAB && !Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt)) {
        SelectNext(FActiveControl, !Shift.Contains(ssShift), true);
        Message.Result = 1;
        return;
    }
    TScrollingWinControl::CMDialogKey(Message);
}

void TCustomForm::CMActivate(TMessage&)
{
    Activate();
}

void TCustomForm::CMDeactivate(TMessage&)
{
    Deactivate();
}

// A form shows and hides its window itself (UpdateShowing).
void TCustomForm::CMShowingChanged(TMessage&) {}

void TCustomForm::CMVisibleChanged(TMessage&)
{
    if (!ComponentState().Contains(csLoading))
        UpdateShowing();
}

void TCustomForm::CMTextChanged(TMessage& Message)
{
    TScrollingWinControl::CMTextChanged(Message);
    if (FMDIFrame)
        FMDIFrame->MergeWindowMenu();
}

void TCustomForm::CMRelease(TMessage&)
{
    BeforeDestruction();
    delete this;
}

// ---- TScreen ----------------------------------------------------------------------------------

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {}

TScreen::~TScreen()
{
    for (HCURSOR C : FOwnedCursors)
        DestroyCursor(C);
    delete FFonts;
}

HCURSOR TScreen::Cursors(int Index) const
{
    auto It = FCursors.find(Index);
    if (It != FCursors.end())
        return It->second;
    const char* Id = IDC_ARROW;
    switch (Index) {
    case crNone:
        return nullptr;
    case crCross:
        Id = IDC_CROSS;
        break;
    case crIBeam:
        Id = IDC_IBEAM;
        break;
    case crSizeNESW:
        Id = IDC_SIZENESW;
        break;
    case crSizeNS:
    case crVSplit:
        Id = IDC_SIZENS;
        break;
    case crSizeNWSE:
        Id = IDC_SIZENWSE;
        break;
    case crSizeWE:
    case crHSplit:
        Id = IDC_SIZEWE;
        break;
    case crUpArrow:
        Id = IDC_UPARROW;
        break;
    case crHourGlass:
    case crSQLWait:
        Id = IDC_WAIT;
        break;
    case crNoDrop:
    case crNo:
        Id = IDC_NO;
        break;
    case crAppStart:
        Id = IDC_APPSTARTING;
        break;
    case crHelp:
        Id = IDC_HELP;
        break;
    case crHandPoint:
        Id = IDC_HAND;
        break;
    case crSizeAll:
        Id = IDC_SIZEALL;
        break;
    default:
        break;
    }
    return LoadCursor(nullptr, Id);
}

void TScreen::SetCursors(int Index, HCURSOR Handle)
{
    auto It = FCursors.find(Index);
    if (It != FCursors.end()) {
        auto Own = std::find(FOwnedCursors.begin(), FOwnedCursors.end(), It->second);
        if (Own != FOwnedCursors.end() && *Own != Handle) {
            DestroyCursor(*Own);
            FOwnedCursors.erase(Own);
        }
    }
    if (!Handle) {
        FCursors.erase(Index);
        return;
    }
    FCursors[Index] = Handle;
    // Cursors made from images belong to the screen from now on.
    if (GetStandardCursorId(Handle) == 0 &&
        std::find(FOwnedCursors.begin(), FOwnedCursors.end(), Handle) == FOwnedCursors.end())
        FOwnedCursors.push_back(Handle);
}

void TScreen::SetCursor(TCursor Value)
{
    FCursor = Value;
    if (Value == crDefault) {
        // Let the window under the pointer choose again.
        POINT P;
        GetCursorPos(&P);
        if (HWND Wnd = WindowFromPoint(P))
            SendMessage(Wnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(Wnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    } else {
        ::SetCursor(Cursors(Value));
    }
}

TCustomForm* TScreen::Forms(int Index) const
{
    if (Index < 0 || Index >= FormCount())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FForms[Index];
}

int TScreen::Width() const
{
    return GetSystemMetrics(SM_CXSCREEN);
}
int TScreen::Height() const
{
    return GetSystemMetrics(SM_CYSCREEN);
}

TStrings* TScreen::Fonts()
{
    if (!FFonts) {
        FFonts = new TStringList();
        FFonts->SetSorted(true);
        for (const QString& Family : QFontDatabase::families())
            FFonts->Add(Family.toStdString());
    }
    return FFonts;
}

void TScreen::AddForm(TCustomForm* Form)
{
    if (std::find(FForms.begin(), FForms.end(), Form) == FForms.end())
        FForms.push_back(Form);
}

void TScreen::RemoveForm(TCustomForm* Form)
{
    FForms.erase(std::remove(FForms.begin(), FForms.end(), Form), FForms.end());
    bool Changed = false;
    if (FActiveForm == Form) {
        FActiveForm = nullptr;
        Changed = true;
    }
    if (FActiveCustomForm == Form) {
        FActiveCustomForm = nullptr;
        Changed = true;
    }
    if (FActiveControl && GetParentForm(FActiveControl) == Form)
        FActiveControl = nullptr;
    UpdateActiveCustomForm();
    if (Changed && OnActiveFormChange && !ComponentState().Contains(csDestroying))
        SafeCall(this, [&] { OnActiveFormChange(this); });
}

void TScreen::FormActivated(TCustomForm* Form)
{
    if (!Form || Form->FormStyle() == fsMDIChild)
        return;
    if (FActiveForm == Form) {
        // Activation came back to the same form (from a message box or another program).
        UpdateActiveCustomForm();
        return;
    }
    TCustomForm* Old = FActiveForm;
    FActiveForm = Form;
    if (Old)
        Old->Perform(CM_DEACTIVATE, 0, 0);
    if (FActiveForm == Form)
        Form->Perform(CM_ACTIVATE, 0, 0);
    TCustomForm* Before = FActiveCustomForm;
    UpdateActiveCustomForm();
    if (Before == FActiveCustomForm && OnActiveFormChange)
        OnActiveFormChange(this);
}

void TScreen::UpdateActiveCustomForm()
{
    TCustomForm* N = FActiveForm;
    if (N && N->FormStyle() == fsMDIForm && N->ActiveMDIChild())
        N = N->ActiveMDIChild();
    if (N == FActiveCustomForm)
        return;
    FActiveCustomForm = N;
    if (OnActiveFormChange)
        OnActiveFormChange(this);
}

void TScreen::SetActiveControl(TWinControl* Control)
{
    if (FActiveControl == Control)
        return;
    FActiveControl = Control;
    if (OnActiveControlChange)
        OnActiveControlChange(this);
}

void TScreen::ControlRemoving(TControl* Control)
{
    if (!FActiveControl)
        return;
    if (FActiveControl == Control)
        FActiveControl = nullptr;
    else if (auto* W = dynamic_cast<TWinControl*>(Control); W && W->ContainsControl(FActiveControl))
        FActiveControl = nullptr;
}

TScreen* ScreenInstance()
{
    static TScreen* Instance = new TScreen(nullptr);
    return Instance;
}

TScreen* Screen = ScreenInstance();

// ---- Published properties ---------------------------------------------------------------------

TW_ENUM(TFormStyle, "fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop");
TW_ENUM(TBorderIcon, "biSystemMenu", "biMinimize", "biMaximize", "biHelp");
TW_ENUM(TPosition, "poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly", "poScreenCenter",
        "poMainFormCenter");
TW_ENUM(TWindowState, "wsNormal", "wsMinimized", "wsMaximized");
TW_ENUM(TTileMode, "tbHorizontal", "tbVertical");

namespace {
const bool ModalIdentsRegistered = [] {
    RegisterIdents("TModalResult", {{"mrNone", mrNone},
                                    {"mrOk", mrOk},
                                    {"mrCancel", mrCancel},
                                    {"mrAbort", mrAbort},
                                    {"mrRetry", mrRetry},
                                    {"mrIgnore", mrIgnore},
                                    {"mrYes", mrYes},
                                    {"mrNo", mrNo},
                                    {"mrAll", mrAll}});
    RegisterEventType<TCloseEvent>("TCloseEvent");
    RegisterEventType<TCloseQueryEvent>("TCloseQueryEvent");
    return true;
}();
} // namespace

TW_PUBLISH(TScrollingWinControl, TWinControl) {}

TW_PUBLISH(TCustomForm, TScrollingWinControl)
{
    Cls.Message(WM_ACTIVATE, &TCustomForm::WMActivate);
    Cls.Message(WM_NCPAINT, &TCustomForm::WMNCPaint);
    Cls.Message(WM_NCACTIVATE, &TCustomForm::WMNCActivate);
    Cls.Message(WM_PARENTNOTIFY, &TCustomForm::WMParentNotify);
    Cls.Message(WM_NCLBUTTONDOWN, &TCustomForm::WMNCLButtonDown);
    Cls.Message(WM_SYSCOLORCHANGE, &TCustomForm::WMSysColorChange);
    Cls.Message(WM_WININICHANGE, &TCustomForm::WMWinIniChange);
    Cls.Message(WM_FONTCHANGE, &TCustomForm::WMFontChange);
    Cls.Message(WM_TIMECHANGE, &TCustomForm::WMTimeChange);
    Cls.Message(WM_ACTIVATEAPP, &TCustomForm::WMActivateApp);
    Cls.Message(WM_MOUSEACTIVATE, &TCustomForm::WMMouseActivate);
    Cls.Message(WM_SETFOCUS, &TCustomForm::WMSetFocus);
    Cls.Message(WM_CLOSE, &TCustomForm::WMClose);
    Cls.Message(WM_QUERYENDSESSION, &TCustomForm::WMQueryEndSession);
    Cls.Message(WM_SYSCOMMAND, &TCustomForm::WMSysCommand);
    Cls.Message(WM_MENUSELECT, &TCustomForm::WMMenuSelect);
    Cls.Message(WM_INITMENUPOPUP, &TCustomForm::WMInitMenuPopup);
    Cls.Message(WM_COMMAND, &TCustomForm::WMCommand);
    Cls.Message(WM_SETTEXT, &TCustomForm::WMSetText);
    Cls.Message(CM_DIALOGKEY, &TCustomForm::CMDialogKey);
    Cls.Message(CM_ACTIVATE, &TCustomForm::CMActivate);
    Cls.Message(CM_DEACTIVATE, &TCustomForm::CMDeactivate);
    Cls.Message(CM_SHOWINGCHANGED, &TCustomForm::CMShowingChanged);
    Cls.Message(CM_VISIBLECHANGED, &TCustomForm::CMVisibleChanged);
    Cls.Message(CM_TEXTCHANGED, &TCustomForm::CMTextChanged);
    Cls.Message(CM_RELEASE, &TCustomForm::CMRelease);

    // Only forms store their client size: a control's client size follows from its bounds, and
    // read back before its border is known it would shrink the control.
    Cls.Int("ClientWidth", &TCustomForm::ClientWidth, &TCustomForm::SetClientWidth);
    Cls.Int("ClientHeight", &TCustomForm::ClientHeight, &TCustomForm::SetClientHeight);
    Cls.Enum("BorderStyle", &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle).Default(bsSizeable);
    Cls.Set("BorderIcons", &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons);
    Cls.Enum("FormStyle", &TCustomForm::FormStyle, &TCustomForm::SetFormStyle).Default(fsNormal);
    Cls.Enum("Position", &TCustomForm::Position, &TCustomForm::SetPosition).Default(poDesigned);
    Cls.Enum("WindowState", &TCustomForm::WindowState, &TCustomForm::SetWindowState).Default(wsNormal);
    Cls.Component("Menu", &TCustomForm::Menu, &TCustomForm::SetMenu);
    Cls.Component("WindowMenu", &TCustomForm::WindowMenu, &TCustomForm::SetWindowMenu);
    Cls.Component("ActiveControl", &TCustomForm::ActiveControl, &TCustomForm::SetActiveControl);
    Cls.Bool("KeyPreview", &TCustomForm::KeyPreview).Default(false);
    Cls.Enum("TileMode", &TCustomForm::TileMode).Default(tbHorizontal);
    Cls.Int(
        "PixelsPerInch", [](TCustomForm*) { return 96; }, [](TCustomForm*, int) {});
    Cls.Int(
        "TextHeight", [](TCustomForm*) { return 13; }, [](TCustomForm*, int) {});
    Cls.Bool(
        "Scaled", [](TCustomForm*) { return true; }, [](TCustomForm*, bool) {});
    Cls.Bool(
        "OldCreateOrder", [](TCustomForm*) { return false; }, [](TCustomForm*, bool) {});
    Cls.Event("OnCreate", &TCustomForm::OnCreate);
    Cls.Event("OnDestroy", &TCustomForm::OnDestroy);
    Cls.Event("OnShow", &TCustomForm::OnShow);
    Cls.Event("OnHide", &TCustomForm::OnHide);
    Cls.Event("OnActivate", &TCustomForm::OnActivate);
    Cls.Event("OnDeactivate", &TCustomForm::OnDeactivate);
    Cls.Event("OnPaint", &TCustomForm::OnPaint);
    Cls.Event("OnClose", &TCustomForm::OnClose);
    Cls.Event("OnCloseQuery", &TCustomForm::OnCloseQuery);
}

TW_PUBLISH(TForm, TCustomForm) {}
