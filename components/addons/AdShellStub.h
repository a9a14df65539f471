// Stand-in for the notification-area icon until it lands: it keeps the published properties the
// forms set (so the popup menu's commands stay bound) and shows no icon.
#pragma once

#include "platform/classes/Classes.h"
#include "platform/classes/TypInfo.h"
#include "platform/controls/Menus.h"

#include <string>

class TAdTrayIcon : public TComponent {
public:
    explicit TAdTrayIcon(TComponent* AOwner) : TComponent(AOwner) {}
    ~TAdTrayIcon() override;
    bool Active = true;
    bool Animated = false;
    unsigned short Interval = 150;
    bool ShowDesign = false;
    std::string Hint;
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* Value);
    TNotifyEvent OnDblClick;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TPopupMenu* FPopupMenu = nullptr;
};
TW_LINK_CLASS(TAdTrayIcon);
