#include "toolbars/ToolbarButton.h"

#include "components/addons/AdHelpersVcl.h"
#include "platform/app/Application.h"
#include "platform/classes/TypInfo.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/graphics/WinGdi.h"
#include "platform/win/WinUser.h"
#include "toolbars/DockBars.h"

#include <algorithm>

namespace {

// What all buttons share, alive while any button is.
int ButtonCount = 0;
TToolbarButton* Hot = nullptr;
std::unique_ptr<TTimer> HotTimer;
std::unique_ptr<TDropdownList> MenuList;
std::unique_ptr<TBitmap> LatchedPattern;
TColor PatternFace = clNone, PatternLight = clNone;

// The main-window hook, kept while any button that registered for it lives.
int HookedButtons = 0;
TApplication* HookedApplication = nullptr;
int HookId = 0;

constexpr int HotTrackingInterval = 125;

TBitmap* LatchedPatternNeeded()
{
    const TColor Face = ColorToRGB(clBtnFace), Light = ColorToRGB(clBtnHighlight);
    if (!LatchedPattern || PatternFace != Face || PatternLight != Light) {
        LatchedPattern.reset(MakeCheckerPattern(clBtnFace, clBtnHighlight));
        PatternFace = Face;
        PatternLight = Light;
    }
    return LatchedPattern.get();
}

// The dock the button's tool window sits in; nullptr when it floats or is on something else.
TDock* DockOfParent(TControl* Button)
{
    auto* Bar = dynamic_cast<TCustomToolWindow*>(Button->Parent());
    return Bar ? Bar->DockedTo() : nullptr;
}

bool IsPress(UINT Msg)
{
    return Msg == WM_LBUTTONDOWN || Msg == WM_LBUTTONDBLCLK || Msg == WM_RBUTTONDOWN ||
           Msg == WM_RBUTTONDBLCLK || Msg == WM_MBUTTONDOWN || Msg == WM_MBUTTONDBLCLK;
}

} // namespace

TToolbarButton* TToolbarButton::HotButton()
{
    return Hot;
}

TDropdownList* DropdownList()
{
    return MenuList.get();
}

// ---- TToolbarButton ---------------------------------------------------------------------------
TToolbarButton::TToolbarButton(TComponent* AOwner)
    : TGraphicControl(AOwner), FGlyph(std::make_unique<TButtonGlyph>())
{
    if (ButtonCount++ == 0) {
        HotTimer = std::make_unique<TTimer>(nullptr);
        HotTimer->SetEnabled(false);
        HotTimer->SetInterval(HotTrackingInterval);
        HotTimer->OnTimer = &TToolbarButton::HotTimerTick;
        MenuList = std::make_unique<TDropdownList>(nullptr);
    }
    if (!ComponentState().Contains(csDesigning) && Application) {
        // One hook serves all buttons; an application object made later gets its own.
        if (HookedButtons == 0 || HookedApplication != Application) {
            HookId = Application->HookMainWindow(&TToolbarButton::AppWindowHook);
            HookedApplication = Application;
        }
        ++HookedButtons;
        FHooked = true;
    }
    SetBounds(Left(), Top(), 23, 22);
    ControlStyle = TControlStyle{csCaptureMouse, csOpaque, csDoubleClicks};
    FGlyph->OnChange = [this](TObject*) { Invalidate(); };
    SetParentFont(true);
    // The face shows the toolbar's colour.
    SetParentColor(true);
}

TToolbarButton::~TToolbarButton()
{
    if (Hot == this) {
        HotTimer->SetEnabled(false);
        Hot = nullptr; // hovering another button later must not reach this one
    }
    StopRepeat();
    FGlyph.reset();
    if (FHooked && --HookedButtons == 0) {
        if (Application && Application == HookedApplication)
            Application->UnhookMainWindow(HookId);
        HookedApplication = nullptr;
        HookId = 0;
    }
    if (--ButtonCount == 0) {
        HotTimer.reset();
        MenuList.reset();
        LatchedPattern.reset();
    }
}

bool TToolbarButton::AppWindowHook(TMessage& Message)
{
    if (Message.Msg == CM_APPACTIVATE && Message.WParam == 0 && Hot && !Hot->ShowBorderWhenInactive)
        Hot->ClearHot();
    return false;
}

void TToolbarButton::HotTimerTick(TObject*)
{
    if (Hot && !Hot->IsCursorOver())
        Hot->ClearHot();
}

// ---- Properties -------------------------------------------------------------------------------
void TToolbarButton::SetAllowAllUp(bool Value)
{
    if (Value == FAllowAllUp)
        return;
    FAllowAllUp = Value;
    UpdateExclusive();
}

void TToolbarButton::SetGroupIndex(int Value)
{
    if (Value == FGroupIndex)
        return;
    FGroupIndex = Value;
    UpdateExclusive();
}

void TToolbarButton::SetDown(bool Value)
{
    if (FGroupIndex == 0)
        Value = false;
    if (Value == FDown || (FDown && !FAllowAllUp))
        return;
    FDown = Value;
    FButtonState = Value ? tbsExclusive : tbsUp;
    Invalidate();
    if (Value)
        UpdateExclusive();
}

void TToolbarButton::SetDisplayMode(TButtonDisplayMode Value)
{
    if (Value == FDisplayMode)
        return;
    FDisplayMode = Value;
    Invalidate();
}

void TToolbarButton::SetDropdownMenu(TPopupMenu* Value)
{
    if (Value == FDropdownMenu)
        return;
    if (FDropdownMenu)
        FDropdownMenu->RemoveFreeNotification(this);
    FDropdownMenu = Value;
    if (Value) {
        Value->FreeNotification(this);
        MenuList->AddMenu(Value);
    }
    if (FDropdownArrow)
        Invalidate();
}

void TToolbarButton::SetDropdownArrow(bool Value)
{
    if (Value == FDropdownArrow)
        return;
    FDropdownArrow = Value;
    Invalidate();
}

void TToolbarButton::SetDropdownCombo(bool Value)
{
    if (Value == FDropdownCombo)
        return;
    FDropdownCombo = Value;
    // A stored width already holds the arrow part.
    if (!ComponentState().Contains(csLoading)) {
        if (Value)
            SetWidth(Width() + DropdownComboSpace);
        else
            SetWidth(Width() <= DropdownComboSpace ? 1 : Width() - DropdownComboSpace);
    }
    Invalidate();
}

void TToolbarButton::SetFlat(bool Value)
{
    if (Value == FFlat)
        return;
    FFlat = Value;
    UpdateOpaqueStyle();
    Invalidate();
}

void TToolbarButton::SetOpaque(bool Value)
{
    if (Value == FOpaque)
        return;
    FOpaque = Value;
    UpdateOpaqueStyle();
    Invalidate();
}

void TToolbarButton::UpdateOpaqueStyle()
{
    // Only a flat, see-through button needs its parent's background erased under it.
    if (FOpaque || !FFlat)
        ControlStyle.Include(csOpaque);
    else
        ControlStyle.Exclude(csOpaque);
}

void TToolbarButton::SetLayout(TButtonLayout Value)
{
    if (Value == FLayout)
        return;
    FLayout = Value;
    Invalidate();
}

void TToolbarButton::SetMargin(int Value)
{
    if (Value == FMargin || Value < -1)
        return;
    FMargin = Value;
    Invalidate();
}

void TToolbarButton::SetNoBorder(bool Value)
{
    if (Value == FNoBorder)
        return;
    FNoBorder = Value;
    Invalidate();
}

void TToolbarButton::SetSpacing(int Value)
{
    if (Value == FSpacing)
        return;
    FSpacing = Value;
    Invalidate();
}

void TToolbarButton::SetWordWrap(bool Value)
{
    if (Value == FWordWrap)
        return;
    FWordWrap = Value;
    Invalidate();
}

void TToolbarButton::UpdateExclusive()
{
    if (FGroupIndex == 0 || !Parent())
        return;
    TMessage Message{CM_BUTTONPRESSED, static_cast<WPARAM>(FGroupIndex),
                     reinterpret_cast<LPARAM>(static_cast<TControl*>(this)), 0};
    Parent()->Broadcast(Message);
}

void TToolbarButton::BuildImageOfEnabledState()
{
    FGlyph->BuildStateImage(Enabled() ? tbsUp : tbsDisabled);
}

void TToolbarButton::Loaded()
{
    TGraphicControl::Loaded();
    BuildImageOfEnabledState();
}

void TToolbarButton::Notification(TComponent* AComponent, TOperation Operation)
{
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FDropdownMenu) {
        FDropdownMenu = nullptr;
        Invalidate();
    }
}

// ---- Painting ---------------------------------------------------------------------------------
void TToolbarButton::Paint()
{
    const bool Designing = ComponentState().Contains(csDesigning);
    if (!Enabled()) {
        FButtonState = tbsDisabled;
        FTracking = false;
    } else if (FButtonState == tbsDisabled) {
        FButtonState = FDown && FGroupIndex != 0 ? tbsExclusive : tbsUp;
    }
    const int W = Width(), H = Height();
    // An opaque button is drawn off-screen and copied, so it never flickers through its parent.
    std::unique_ptr<TBitmap> Buffer;
    TCanvas* C = Canvas();
    if (FOpaque || !FFlat) {
        Buffer = std::make_unique<TBitmap>();
        Buffer->SetSize(W, H);
        C = Buffer->Canvas();
        C->Brush()->SetColor(Color());
        C->Brush()->SetStyle(bsSolid);
        C->FillRect(Rect(0, 0, W, H));
    }
    C->SetFont(Font());

    const bool Pushed = FButtonState == tbsDown || FButtonState == tbsExclusive;
    const bool Combo = HasComboArrow();
    const bool ArrowPressed = Combo && FMenuPressed;
    TRect Main = Rect(0, 0, Combo ? W - DropdownComboSpace : W, H);
    if ((!FNoBorder && (!FFlat || Pushed || (FCursorInside && FButtonState != tbsDisabled))) || Designing) {
        auto Edge = [this, C](TRect R, bool Down) {
            if (FFlat)
                DrawEdge(C->Handle(), &R, Down ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
            else
                DrawEdge(C->Handle(), &R, Down ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_SOFT);
        };
        if (Combo)
            Edge(Rect(W - DropdownComboSpace, 0, W - 2, H), Pushed && ArrowPressed);
        Edge(Main, Pushed && !ArrowPressed);
    }
    TRect Content = Main;
    if (!FNoBorder) {
        const int Inset = FFlat ? 1 : 2;
        InflateRect(&Content, -Inset, -Inset);
    }
    const TPoint Offset = Pushed && !ArrowPressed ? Point(1, 1) : Point(0, 0);
    if (FButtonState == tbsExclusive && (!FFlat || !FCursorInside)) {
        C->Brush()->SetBitmap(LatchedPatternNeeded());
        C->FillRect(Content);
        C->Brush()->SetBitmap(nullptr);
    }
    FGlyph->DrawContent(C, Content, Offset, Caption(), FLayout, FMargin, FSpacing, FButtonState,
                        FDropdownArrow && !FDropdownCombo && FDropdownMenu, FWordWrap,
                        FDisplayMode != dmGlyphOnly, FDisplayMode != dmTextOnly);
    if (Combo)
        FGlyph->DrawDropArrow(C, W - 13, H / 2 - 1, FButtonState);
    if (Buffer)
        Canvas()->Draw(0, 0, Buffer.get());
}

// ---- Hot tracking -----------------------------------------------------------------------------
bool TToolbarButton::IsCursorOver()
{
    POINT P;
    GetCursorPos(&P);
    return FindDragTarget(P, true) == this;
}

void TToolbarButton::ShowHot()
{
    if (!Enabled() || FCursorInside)
        return;
    FCursorInside = true;
    if (FButtonState == tbsUp)
        FButtonState = tbsHot;
    Repaint();
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TToolbarButton::ClearHot()
{
    if (!Enabled() || !FCursorInside || FTracking)
        return;
    if (FButtonState == tbsHot || (FButtonState == tbsDown && !FInClick))
        FButtonState = tbsUp;
    FCursorInside = false;
    Repaint();
    if (Hot == this) {
        HotTimer->SetEnabled(false);
        Hot = nullptr;
    }
    if (OnMouseExit)
        OnMouseExit(this);
}

void TToolbarButton::TakeHot()
{
    if (Hot && Hot != this)
        Hot->ClearHot();
    if (ShowBorderWhenInactive || IsApplicationActive()) {
        Hot = this;
        HotTimer->SetEnabled(true);
        ShowHot();
    }
}

void TToolbarButton::RecheckHot()
{
    if (!IsCursorOver())
        ClearHot();
    else if (Hot != this)
        TakeHot();
    else
        ShowHot();
}

void TToolbarButton::CMMouseLeave(TMessage& Message)
{
    ClearHot();
    TGraphicControl::CMMouseLeave(Message);
}

// ---- Mouse ------------------------------------------------------------------------------------
bool TToolbarButton::InsideClickPart(int X, int Y) const
{
    const int Right = HasComboArrow() ? Width() - DropdownComboSpace : Width();
    return X >= 0 && X < Right && Y >= 0 && Y < Height();
}

void TToolbarButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (!Enabled()) {
        TGraphicControl::MouseDown(Button, Shift, X, Y);
        return;
    }
    if (Button != mbLeft) {
        ShowHot();
        TGraphicControl::MouseDown(Button, Shift, X, Y);
        return;
    }
    if (!FCursorInside)
        ShowHot();
    FMenuPressed = FDropdownMenu && (!FDropdownCombo || X >= Width() - DropdownComboSpace);
    struct TClearMenuPressed {
        bool& Flag;
        ~TClearMenuPressed() { Flag = false; }
    } Clear{FMenuPressed};
    if (!FDown) {
        FButtonState = tbsDown;
        Repaint();
    } else if (FAllowAllUp) {
        Repaint();
    }
    FTracking = !FMenuPressed;
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (FMenuPressed) {
        Click();
    } else if (Repeating) {
        TGraphicControl::Click();
        StartRepeat();
    }
}

void TToolbarButton::MouseMove(TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseMove(Shift, X, Y);
    if (Hot != this && IsCursorOver())
        TakeHot();
    if (!FTracking)
        return;
    const bool Inside = InsideClickPart(X, Y);
    if (Inside && FRepeatTimer)
        FRepeatTimer->SetEnabled(true);
    const TToolbarButtonState State = FDown ? tbsExclusive : Inside ? tbsDown : tbsUp;
    if (State != FButtonState) {
        FButtonState = State;
        Repaint();
    }
}

void TToolbarButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    StopRepeat();
    if (Button == mbRight && Enabled()) {
        FTracking = false;
        ClearHot();
    }
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft || !FTracking)
        return;
    FTracking = false;
    const bool Inside = InsideClickPart(X, Y);
    if (FGroupIndex != 0) {
        if (Inside) {
            SetDown(!FDown);
        } else if (FDown) {
            FButtonState = tbsExclusive;
            Invalidate();
        }
    }
    if (Inside && !Repeating) {
        Click();
        return;
    }
    if (FButtonState == tbsDown) {
        FButtonState = tbsUp;
        Invalidate();
    }
    RecheckHot();
}

void TToolbarButton::WMLButtonDblClk(TWMLButtonDblClk Message)
{
    TGraphicControl::WMLButtonDblClk(Message);
    if (FDown)
        TGraphicControl::DblClick();
}

void TToolbarButton::WMCancelMode(TWMCancelMode Message)
{
    StopRepeat();
    if (FTracking) {
        FTracking = false;
        if (FDown && FGroupIndex != 0)
            FButtonState = tbsExclusive;
        Invalidate();
        ClearHot();
    }
    TGraphicControl::WMCancelMode(Message);
}

// ---- Repeat -----------------------------------------------------------------------------------
void TToolbarButton::StartRepeat()
{
    if (!FRepeatTimer) {
        FRepeatTimer = new TTimer(this);
        FRepeatTimer->OnTimer = [this](TObject* Sender) { RepeatTimerTick(Sender); };
    }
    FRepeatTimer->SetEnabled(false);
    FRepeatTimer->SetInterval(static_cast<unsigned>(std::max(RepeatDelay, 0)));
    FRepeatTimer->SetEnabled(true);
}

void TToolbarButton::StopRepeat()
{
    // Stopped rather than freed: a cancel raised by a click inside the timer's own tick must not
    // free the timer under it.
    if (FRepeatTimer)
        FRepeatTimer->SetEnabled(false);
}

void TToolbarButton::RepeatTimerTick(TObject*)
{
    FRepeatTimer->SetInterval(static_cast<unsigned>(std::max(RepeatInterval, 0)));
    POINT P;
    GetCursorPos(&P);
    const TPoint Local = ScreenToClient(P);
    if (Repeating && FTracking && MouseCapture() && InsideClickPart(Local.x, Local.y))
        TGraphicControl::Click();
    else
        FRepeatTimer->SetEnabled(false); // moving back inside starts it again
}

// ---- Click and drop-down ----------------------------------------------------------------------
void TToolbarButton::Click()
{
    FInClick = true;
    if (FButtonState == tbsUp || FButtonState == tbsHot) {
        FButtonState = tbsDown;
        Repaint();
    }
    struct TAfterClick {
        TToolbarButton* Button;
        ~TAfterClick()
        {
            Button->FInClick = false;
            if (Button->FButtonState == tbsDown)
                Button->FButtonState = tbsUp;
            if (!Button->ComponentState().Contains(csDestroying)) {
                Button->Repaint();
                Button->RecheckHot();
            }
        }
    } After{this};
    if (!FDropdownMenu || (FDropdownCombo && !FMenuPressed)) {
        if (TCustomForm* Form = GetParentForm(this))
            Form->SetModalResult(ModalResult);
        TGraphicControl::Click();
    } else {
        DropDown();
    }
}

void TToolbarButton::DropDown()
{
    TPopupMenu* Menu = FDropdownMenu;
    SetMouseCapture(false);
    const TPopupAlignment SavedAlignment = Menu->Alignment;
    struct TRestoreAlignment {
        TPopupMenu* Menu;
        TPopupAlignment Saved;
        ~TRestoreAlignment() { Menu->Alignment = Saved; }
    } Restore{Menu, SavedAlignment};
    Menu->Alignment = paLeft;
    // Below the button; beside it on a toolbar docked at the left or right edge.
    TPoint At = Point(0, Height());
    if (TDock* Dock = DockOfParent(this)) {
        if (Dock->Position() == dpLeft) {
            At = Point(Width(), 0);
        } else if (Dock->Position() == dpRight) {
            At = Point(0, 0);
            Menu->Alignment = paRight;
        }
    }
    At = ClientToScreen(At);
    Menu->SetPopupComponent(this);
    if (Menu->OnPopup)
        Menu->OnPopup(Menu);
    static constexpr UINT AlignFlags[] = {TPM_LEFTALIGN, TPM_RIGHTALIGN, TPM_CENTERALIGN};
    HMENU Handle = Menu->Handle();
    Menu->Items()->RebuildHandle();
    TrackPopupMenu(Handle, AlignFlags[Menu->Alignment], At.x, At.y, 0, MenuList->Window(), nullptr);

    // The click that closed the menu over this button must not drop it again; any other click
    // goes on to where it was aimed, in its order.
    std::vector<MSG> Kept;
    MSG M;
    while (PeekMessage(&M, nullptr, WM_LBUTTONDOWN, WM_MBUTTONDBLCLK, PM_REMOVE)) {
        const TPoint P = ScreenToClient(M.pt);
        if (IsPress(M.message) && P.x >= 0 && P.x < Width() && P.y >= 0 && P.y < Height())
            continue;
        Kept.push_back(M);
    }
    for (const MSG& K : Kept)
        PostMessage(K.hwnd, K.message, K.wParam, K.lParam);
}

// ---- Notifications ----------------------------------------------------------------------------
void TToolbarButton::CMEnabledChanged(TMessage&)
{
    BuildImageOfEnabledState();
    RecheckHot();
    Repaint();
}

void TToolbarButton::CMButtonPressed(TMessage& Message)
{
    if (static_cast<int>(Message.WParam) != FGroupIndex)
        return;
    auto* Sender = dynamic_cast<TToolbarButton*>(reinterpret_cast<TControl*>(Message.LParam));
    if (!Sender || Sender == this)
        return;
    if (Sender->FDown && FDown) {
        FDown = false;
        FButtonState = tbsUp;
        Repaint();
    }
    FAllowAllUp = Sender->FAllowAllUp;
}

void TToolbarButton::CMDialogChar(TCMDialogChar Message)
{
    if (Enabled() && Visible() && IsAccel(Message.CharCode(), Caption())) {
        Click();
        Message.Result = 1;
        return;
    }
    TGraphicControl::CMDialogChar(Message);
}

void TToolbarButton::CMSysColorChange(TMessage& Message)
{
    FGlyph->ReleaseImages();
    Invalidate();
    TGraphicControl::CMSysColorChange(Message);
}

// ---- TDropdownList ----------------------------------------------------------------------------
TDropdownList::TDropdownList(TComponent* AOwner) : TComponent(AOwner) {}

TDropdownList::~TDropdownList()
{
    if (FWindow)
        DeallocateHWnd(FWindow);
}

void TDropdownList::AddMenu(TPopupMenu* Menu)
{
    if (!Menu || std::find(FList.begin(), FList.end(), Menu) != FList.end())
        return;
    if (!FWindow)
        FWindow = AllocateHWnd([this](TMessage& Message) { WndProc(Message); });
    FList.push_back(Menu);
    Menu->FreeNotification(this);
}

void TDropdownList::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    std::erase(FList, AComponent);
    if (FList.empty() && FWindow) {
        DeallocateHWnd(FWindow);
        FWindow = nullptr;
    }
}

void TDropdownList::WndProc(TMessage& Message)
{
    try {
        Dispatch(Message);
    } catch (...) {
        HandleControlException(this);
    }
}

void TDropdownList::DefaultHandler(TMessage& Message)
{
    Message.Result = FWindow ? DefWindowProc(FWindow, Message.Msg, Message.WParam, Message.LParam) : 0;
}

void TDropdownList::WMMenuSelect(TWMMenuSelect Message)
{
    TMenuItem* Item = nullptr;
    if (!(Message.MenuFlag() == 0xFFFF && !Message.Menu())) {
        for (TPopupMenu* Menu : FList) {
            Item = (Message.MenuFlag() & MF_POPUP)
                       ? Menu->FindItem(
                             reinterpret_cast<std::uintptr_t>(GetSubMenu(Message.Menu(), Message.IDItem())),
                             fkHandle)
                       : Menu->FindItem(Message.IDItem(), fkCommand);
            if (Item)
                break;
        }
    }
    if (TApplicationHost* Host = ApplicationHost())
        Host->SetHint(Item ? GetLongHint(Item->Hint) : std::string());
}

void TDropdownList::WMCommand(TWMCommand Message)
{
    // A click may free menus (or this list with the last button): stop at the one that took it.
    const std::vector<TPopupMenu*> Menus = FList;
    for (TPopupMenu* Menu : Menus)
        if (Menu->DispatchCommand(Message.ItemID()))
            return;
}

void TDropdownList::WMInitMenuPopup(TWMInitMenuPopup Message)
{
    const std::vector<TPopupMenu*> Menus = FList;
    for (TPopupMenu* Menu : Menus)
        if (Menu->DispatchPopup(Message.MenuPopup()))
            return;
}

void TDropdownList::WMHelp(TWMHelp Message)
{
    const HELPINFO* Info = Message.HelpInfo();
    if (!Info || Info->iContextType != HELPINFO_MENUITEM)
        return;
    const auto Owner = reinterpret_cast<std::uintptr_t>(Info->hItemHandle);
    for (TPopupMenu* Menu : FList) {
        if (reinterpret_cast<std::uintptr_t>(Menu->Handle()) != Owner && !Menu->FindItem(Owner, fkHandle))
            continue;
        TMenuItem* Item = Menu->FindItem(static_cast<std::uintptr_t>(Info->iCtrlId), fkCommand);
        if (!Item)
            Item = Menu->FindItem(Owner, fkHandle);
        const int Context = Item ? Item->HelpContext : 0;
        TCustomForm* Form = ScreenInstance()->ActiveForm();
        if (!Form || !Application)
            return;
        if (Form->BorderIcons().Contains(biHelp))
            Application->HelpCommand(HELP_CONTEXTPOPUP, static_cast<LPARAM>(Context));
        else
            Application->HelpContext(Context);
        return;
    }
}

// ---- Published properties ---------------------------------------------------------------------
TW_ENUM(TButtonDisplayMode, "dmBoth", "dmGlyphOnly", "dmTextOnly");

TW_PUBLISH(TToolbarButton, TGraphicControl)
{
    Cls.Message(WM_LBUTTONDBLCLK, &TToolbarButton::WMLButtonDblClk);
    Cls.Message(WM_CANCELMODE, &TToolbarButton::WMCancelMode);
    Cls.Message(CM_ENABLEDCHANGED, &TToolbarButton::CMEnabledChanged);
    Cls.Message(CM_BUTTONPRESSED, &TToolbarButton::CMButtonPressed);
    Cls.Message(CM_DIALOGCHAR, &TToolbarButton::CMDialogChar);
    Cls.Message(CM_SYSCOLORCHANGE, &TToolbarButton::CMSysColorChange);
    Cls.Message(CM_MOUSELEAVE, &TToolbarButton::CMMouseLeave);

    Cls.Bool("AllowAllUp", &TToolbarButton::AllowAllUp, &TToolbarButton::SetAllowAllUp).Default(false);
    Cls.Int("GroupIndex", &TToolbarButton::GroupIndex, &TToolbarButton::SetGroupIndex).Default(0);
    Cls.Bool("Down", &TToolbarButton::Down, &TToolbarButton::SetDown).Default(false);
    Cls.Enum("DisplayMode", &TToolbarButton::DisplayMode, &TToolbarButton::SetDisplayMode).Default(dmBoth);
    Cls.Component("DropdownMenu", &TToolbarButton::DropdownMenu, &TToolbarButton::SetDropdownMenu);
    Cls.Bool("DropdownArrow", &TToolbarButton::DropdownArrow, &TToolbarButton::SetDropdownArrow)
        .Default(true);
    Cls.Bool("DropdownCombo", &TToolbarButton::DropdownCombo, &TToolbarButton::SetDropdownCombo)
        .Default(false);
    Cls.Bool("Flat", &TToolbarButton::Flat, &TToolbarButton::SetFlat).Default(true);
    Cls.Object("Glyph", &TToolbarButton::Glyph, &TToolbarButton::SetGlyph);
    Cls.Object("GlyphMask", &TToolbarButton::GlyphMask, &TToolbarButton::SetGlyphMask);
    Cls.Enum("Layout", &TToolbarButton::Layout, &TToolbarButton::SetLayout).Default(blGlyphLeft);
    Cls.Int("Margin", &TToolbarButton::Margin, &TToolbarButton::SetMargin).Default(-1);
    Cls.Bool("NoBorder", &TToolbarButton::NoBorder, &TToolbarButton::SetNoBorder).Default(false);
    Cls.Int("NumGlyphs", &TToolbarButton::NumGlyphs, &TToolbarButton::SetNumGlyphs).Default(1);
    Cls.Bool("OldDisabledStyle", &TToolbarButton::OldDisabledStyle, &TToolbarButton::SetOldDisabledStyle)
        .Default(false);
    Cls.Bool("Opaque", &TToolbarButton::Opaque, &TToolbarButton::SetOpaque).Default(true);
    Cls.Bool("Repeating", &TToolbarButton::Repeating).Default(false);
    Cls.Int("RepeatDelay", &TToolbarButton::RepeatDelay).Default(400);
    Cls.Int("RepeatInterval", &TToolbarButton::RepeatInterval).Default(100);
    Cls.Bool("ShowBorderWhenInactive", &TToolbarButton::ShowBorderWhenInactive).Default(false);
    Cls.Int("Spacing", &TToolbarButton::Spacing, &TToolbarButton::SetSpacing).Default(4);
    Cls.Bool("WordWrap", &TToolbarButton::WordWrap, &TToolbarButton::SetWordWrap).Default(false);
    Cls.Ident("TModalResult", "ModalResult", &TToolbarButton::ModalResult).Default(mrNone);
    Cls.Event("OnMouseEnter", &TToolbarButton::OnMouseEnter);
    Cls.Event("OnMouseExit", &TToolbarButton::OnMouseExit);
}

TW_PUBLISH(TDropdownList, TComponent)
{
    Cls.Message(WM_MENUSELECT, &TDropdownList::WMMenuSelect);
    Cls.Message(WM_COMMAND, &TDropdownList::WMCommand);
    Cls.Message(WM_INITMENUPOPUP, &TDropdownList::WMInitMenuPopup);
    Cls.Message(WM_HELP, &TDropdownList::WMHelp);
}
