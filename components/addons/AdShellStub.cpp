#include "components/addons/AdShellStub.h"

TAdTrayIcon::~TAdTrayIcon() = default;

void TAdTrayIcon::SetPopupMenu(TPopupMenu* Value)
{
    FPopupMenu = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TAdTrayIcon::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FPopupMenu)
        FPopupMenu = nullptr;
}

TW_PUBLISH(TAdTrayIcon, TComponent)
{
    Cls.Bool("Active", &TAdTrayIcon::Active).Default(true);
    Cls.Bool("Animated", &TAdTrayIcon::Animated).Default(false);
    Cls.Int("Interval", &TAdTrayIcon::Interval).Default(150);
    Cls.Bool("ShowDesign", &TAdTrayIcon::ShowDesign).Default(false);
    Cls.Str("Hint", &TAdTrayIcon::Hint);
    Cls.Component("PopupMenu", &TAdTrayIcon::PopupMenu, &TAdTrayIcon::SetPopupMenu);
    Cls.Event("OnDblClick", &TAdTrayIcon::OnDblClick);
}
