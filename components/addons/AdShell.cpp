#include "components/addons/AdShell.h"

#include "components/addons/AdHelpersVcl.h"

#include "platform/app/Application.h"
#include "platform/controls/Forms.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr UINT_PTR AnimationTimer = 1;
constexpr UINT NotifyFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;

// The first MaxBytes bytes of S, never splitting a UTF-8 character.
std::string CutToBytes(const std::string& S, std::size_t MaxBytes)
{
    if (S.size() <= MaxBytes)
        return S;
    std::size_t N = MaxBytes;
    while (N > 0 && (static_cast<unsigned char>(S[N]) & 0xC0) == 0x80)
        --N;
    return S.substr(0, N);
}

TShiftState KeyboardShift()
{
    TShiftState Shift;
    if (GetKeyState(VK_SHIFT) < 0)
        Shift.Include(ssShift);
    if (GetKeyState(VK_MENU) < 0)
        Shift.Include(ssAlt);
    if (GetKeyState(VK_CONTROL) < 0)
        Shift.Include(ssCtrl);
    return Shift;
}

} // namespace

TAdTrayIcon::TAdTrayIcon(TComponent* AOwner)
    : TComponent(AOwner), FIcon(std::make_unique<TIcon>()), FIcons(std::make_unique<TIconList>())
{
    FWindow = AllocateHWnd(MakeEvent(this, &TAdTrayIcon::WndProc));
    FIcon->OnChange = MakeEvent(this, &TAdTrayIcon::IconsChanged);
    FIcons->OnChange = MakeEvent(this, &TAdTrayIcon::IconsChanged);
}

TAdTrayIcon::~TAdTrayIcon()
{
    FDestroying = true;
    FIcons->OnChange = nullptr;
    FIcon->OnChange = nullptr;
    SetAnimated(false);
    HideIcon();
    // The timer dies with the window: no step can come after this.
    StopTimer();
    if (FWindow)
        DeallocateHWnd(FWindow);
    FWindow = nullptr;
}

void TAdTrayIcon::Loaded()
{
    TComponent::Loaded();
    if (FActive && !Designing())
        ShowIcon();
}

void TAdTrayIcon::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FPopupMenu)
        FPopupMenu = nullptr;
}

void TAdTrayIcon::SetPopupMenu(TPopupMenu* Value)
{
    if (FPopupMenu && FPopupMenu != Value)
        FPopupMenu->RemoveFreeNotification(this);
    FPopupMenu = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TAdTrayIcon::SetIcon(TIcon* Value)
{
    FIcon->Assign(Value);
}

void TAdTrayIcon::SetIcons(TIconList* Value)
{
    FIcons->Assign(Value);
}

void TAdTrayIcon::SetHint(const std::string& Value)
{
    if (FHint == Value)
        return;
    FHint = Value;
    UpdateIcon();
}

void TAdTrayIcon::SetInterval(unsigned short Value)
{
    // The running timer takes the new interval at its next step.
    FInterval = Value;
}

void TAdTrayIcon::SetActive(bool Value)
{
    if (FActive == Value)
        return;
    FActive = Value;
    if (Designing() || ComponentState().Contains(csLoading))
        return;
    if (Value)
        ShowIcon();
    else
        HideIcon();
}

TIcon* TAdTrayIcon::CurrentIcon() const
{
    const int Count = FIcons ? FIcons->GetCount() : 0;
    if (Count > 0 && FAnimated)
        return FIcons->GetItem(std::clamp(FIconIndex, 0, Count - 1));
    return FIcon.get();
}

void TAdTrayIcon::IconsChanged(TObject*)
{
    UpdateIcon();
}

void TAdTrayIcon::UpdateIcon()
{
    if (!FIcons || FIcons->GetCount() == 0)
        SetAnimated(false);
    if (FShown) {
        TIcon* Current = CurrentIcon();
        if (!Current || Current->Empty()) {
            HideIcon();
        } else {
            RefreshNotifyRecord();
            Shell_NotifyIcon(NIM_MODIFY, &FData);
        }
    } else if (!Designing() && FActive && !ComponentState().Contains(csLoading) && !FDestroying) {
        // While the form is read, Loaded shows the icon once everything is in place.
        ShowIcon();
    }
}

void TAdTrayIcon::RefreshNotifyRecord()
{
    FData = TNotifyIconData();
    FData.cbSize = 88;
    FData.hWnd = FWindow;
    FData.uID = 0;
    FData.uFlags = NotifyFlags;
    TIcon* Current = CurrentIcon();
    FData.hIcon = Current && !Current->Empty() ? Current->Handle() : nullptr;
    const std::string Tip = CutToBytes(GetShortHint(FHint), sizeof FData.szTip - 1);
    std::memcpy(FData.szTip, Tip.data(), Tip.size());
    FData.szTip[Tip.size()] = '\0';
    FData.uCallbackMessage = WM_TRAYICONCALLBACK;
}

void TAdTrayIcon::ShowIcon()
{
    HideIcon();
    TIcon* Current = CurrentIcon();
    if (!Current || Current->Empty())
        return;
    FClickFlags = 0;
    RefreshNotifyRecord();
    FShown = Shell_NotifyIcon(NIM_ADD, &FData) != FALSE;
    if (FShown && GetShortHint(FHint).empty())
        Shell_NotifyIcon(NIM_MODIFY, &FData);
    if (FShown && FAnimated)
        StartTimer();
}

void TAdTrayIcon::HideIcon()
{
    if (FShown) {
        TNotifyIconData Data = FData;
        Data.hWnd = FWindow;
        Data.uID = 0;
        Shell_NotifyIcon(NIM_DELETE, &Data);
    }
    FShown = false;
    FClickFlags = 0;
    StopTimer();
}

void TAdTrayIcon::StartTimer()
{
    if (!FWindow)
        return;
    FTimerInterval = std::max<UINT>(FInterval, 1);
    SetTimer(FWindow, AnimationTimer, FTimerInterval, nullptr);
}

void TAdTrayIcon::StopTimer()
{
    if (FTimerInterval && FWindow)
        KillTimer(FWindow, AnimationTimer);
    FTimerInterval = 0;
}

void TAdTrayIcon::SetAnimated(bool Value)
{
    const bool Effective = Value && FIcons && FIcons->GetCount() >= 1;
    if (Effective == FAnimated)
        return;
    FAnimated = Effective;
    if (Effective) {
        if (FShown)
            StartTimer();
    } else {
        StopTimer();
    }
    FIconIndex = 0;
    UpdateIcon();
}

void TAdTrayIcon::AnimateStep()
{
    if (FDestroying || !FAnimated)
        return;
    ++FIconIndex;
    if (!FIcons || FIconIndex >= FIcons->GetCount())
        FIconIndex = 0;
    UpdateIcon();
}

void TAdTrayIcon::WndProc(TMessage& Message)
{
    try {
        if (Message.Msg == WM_TRAYICONCALLBACK) {
            HandleCallback(static_cast<UINT>(Message.LParam));
            return;
        }
        if (Message.Msg == WM_TIMER && Message.WParam == AnimationTimer) {
            // A timer already stopped (or a window on its way out) steps nothing.
            if (!FTimerInterval || FDestroying)
                return;
            if (FTimerInterval != std::max<UINT>(FInterval, 1))
                StartTimer();
            AnimateStep();
            return;
        }
    } catch (...) {
        if (Application)
            Application->HandleException(this);
        return;
    }
    Message.Result = DefWindowProc(FWindow, Message.Msg, Message.WParam, Message.LParam);
}

void TAdTrayIcon::HandleCallback(UINT MouseMessage)
{
    const TShiftState Shift = KeyboardShift();
    POINT P{};
    GetCursorPos(&P);
    switch (MouseMessage) {
    case WM_MOUSEMOVE:
        MouseMove(Shift, P.x, P.y);
        break;
    case WM_LBUTTONDOWN:
        MouseDown(mbLeft, Shift + ssLeft, P.x, P.y);
        FClickFlags |= 1;
        break;
    case WM_LBUTTONUP:
        if (FClickFlags & 1) {
            FClickFlags &= ~1;
            Click(mbLeft, Shift + ssLeft, P.x, P.y);
        }
        MouseUp(mbLeft, Shift + ssLeft, P.x, P.y);
        break;
    case WM_LBUTTONDBLCLK:
        DblClick();
        MouseDown(mbLeft, Shift + ssDouble, P.x, P.y);
        break;
    case WM_RBUTTONDOWN:
        MouseDown(mbRight, Shift + ssRight, P.x, P.y);
        FClickFlags |= 2;
        break;
    case WM_RBUTTONUP:
        if (FClickFlags & 2) {
            FClickFlags &= ~2;
            Click(mbRight, Shift + ssRight, P.x, P.y);
        }
        MouseUp(mbRight, Shift + ssRight, P.x, P.y);
        break;
    case WM_RBUTTONDBLCLK:
        MouseDown(mbRight, Shift + ssDouble, P.x, P.y);
        break;
    case WM_MBUTTONDOWN:
        MouseDown(mbMiddle, Shift + ssMiddle, P.x, P.y);
        break;
    case WM_MBUTTONUP:
        MouseUp(mbMiddle, Shift + ssMiddle, P.x, P.y);
        break;
    case WM_MBUTTONDBLCLK:
        MouseDown(mbMiddle, Shift + ssDouble, P.x, P.y);
        break;
    default:
        break;
    }
}

void TAdTrayIcon::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseDown)
        OnMouseDown(this, Button, Shift, X, Y);
}

void TAdTrayIcon::MouseMove(TShiftState Shift, int X, int Y)
{
    if (OnMouseMove)
        OnMouseMove(this, Shift, X, Y);
}

void TAdTrayIcon::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseUp)
        OnMouseUp(this, Button, Shift, X, Y);
}

void TAdTrayIcon::Click(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbRight && PopupAtCursor())
        return;
    if (OnClick)
        OnClick(this, Button, Shift, X, Y);
}

void TAdTrayIcon::DblClick()
{
    if (RunDefaultItem())
        return;
    if (OnDblClick)
        OnDblClick(this);
}

bool TAdTrayIcon::RunDefaultItem()
{
    if (Designing() || !FActive || !FPopupMenu || !FPopupMenu->Items())
        return false;
    TMenuItem* Items = FPopupMenu->Items();
    for (int I = 0; I < Items->Count(); ++I) {
        TMenuItem* Item = Items->Items(I);
        if (Item->Default() && Item->Enabled()) {
            Item->Click();
            return true;
        }
    }
    return false;
}

bool TAdTrayIcon::PopupAtCursor()
{
    if (Designing() || !FActive || !FPopupMenu || !FPopupMenu->AutoPopup)
        return false;
    FPopupMenu->SetPopupComponent(this);
    if (!FDestroying) {
        TCustomForm* Form = Screen ? Screen->ActiveForm() : nullptr;
        if (!Form && Application)
            Form = Application->MainForm();
        if (Form)
            Form->SendCancelMode(nullptr);
    }
    // The menu closes when the user clicks elsewhere only while its owner is in front.
    BringWindowForward(FWindow, false);
    if (Application)
        Application->ProcessMessages();
    POINT P{};
    GetCursorPos(&P);
    try {
        FPopupMenu->Popup(P.x, P.y);
    } catch (...) {
        BringWindowForward(FWindow, false);
        throw;
    }
    BringWindowForward(FWindow, false);
    return true;
}

TW_PUBLISH(TAdTrayIcon, TComponent)
{
    Cls.Bool("Active", &TAdTrayIcon::Active, &TAdTrayIcon::SetActive).Default(true);
    Cls.Str("Hint", &TAdTrayIcon::Hint, &TAdTrayIcon::SetHint);
    Cls.Object("Icon", &TAdTrayIcon::Icon, &TAdTrayIcon::SetIcon);
    Cls.Object("Icons", &TAdTrayIcon::Icons, &TAdTrayIcon::SetIcons);
    // After Icons: turning the animation on needs icons to step through.
    Cls.Bool("Animated", &TAdTrayIcon::Animated, &TAdTrayIcon::SetAnimated).Default(false);
    Cls.Int("Interval", &TAdTrayIcon::Interval, &TAdTrayIcon::SetInterval).Default(150);
    Cls.Component("PopupMenu", &TAdTrayIcon::PopupMenu, &TAdTrayIcon::SetPopupMenu);
    Cls.Bool("ShowDesign", &TAdTrayIcon::ShowDesign).Default(false);
    Cls.Event("OnClick", &TAdTrayIcon::OnClick);
    Cls.Event("OnDblClick", &TAdTrayIcon::OnDblClick);
    Cls.Event("OnMouseMove", &TAdTrayIcon::OnMouseMove);
    Cls.Event("OnMouseDown", &TAdTrayIcon::OnMouseDown);
    Cls.Event("OnMouseUp", &TAdTrayIcon::OnMouseUp);
}
