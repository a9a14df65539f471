// The notification-area (tray) icon: an icon with a tip in the desktop's notification area,
// whose mouse actions become component events; a right click opens the popup menu, a double
// click runs the menu's default item, and the icon can animate through a list of icons.
//
// The animation steps on a timer of the icon's own hidden window, so every step runs on the
// user-interface thread: nothing else ever touches the component, and stopping or freeing it
// has nothing to wait for. Where the desktop has no notification area the icon simply is not
// shown; that is no error.
#pragma once

#include "components/addons/IconList.h"

#include "platform/app/ShellApi.h"
#include "platform/classes/Classes.h"
#include "platform/classes/TypInfo.h"
#include "platform/controls/Controls.h"
#include "platform/controls/Menus.h"
#include "platform/graphics/Graphics.h"

#include <cstdint>
#include <memory>
#include <string>

// The message the shell sends the hidden window for mouse actions on the icon.
inline constexpr UINT WM_TRAYICONCALLBACK = 0xB040;

class TAdTrayIcon : public TComponent {
public:
    explicit TAdTrayIcon(TComponent* AOwner);
    ~TAdTrayIcon() override;

    bool Active() const { return FActive; }
    void SetActive(bool Value);
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value);
    TIcon* Icon() const { return FIcon.get(); }
    void SetIcon(TIcon* Value);
    TIconList* Icons() const { return FIcons.get(); }
    void SetIcons(TIconList* Value);
    bool Animated() const { return FAnimated; }
    void SetAnimated(bool Value);
    // Milliseconds between animation steps; a change takes effect after the step under way.
    unsigned short Interval() const { return FInterval; }
    void SetInterval(unsigned short Value);
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* Value);
    bool ShowDesign = false;

    // Whether the icon is in the notification area, the hidden window the shell reports to,
    // the index of the icon shown while animated and the record last given to the shell.
    bool Shown() const { return FShown; }
    HWND WindowHandle() const { return FWindow; }
    int IconIndex() const { return FIconIndex; }
    const TNotifyIconData& NotifyData() const { return FData; }

    // One animation step: the next icon of Icons.
    void AnimateStep();

    TMouseEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;

protected:
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    virtual void RefreshNotifyRecord();
    virtual void DblClick();
    virtual void Click(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);

private:
    TIcon* CurrentIcon() const;
    void UpdateIcon();
    void ShowIcon();
    void HideIcon();
    bool Designing() const { return ComponentState().Contains(csDesigning); }
    void StartTimer();
    void StopTimer();
    bool PopupAtCursor();
    bool RunDefaultItem();
    void IconsChanged(TObject* Sender);
    void WndProc(TMessage& Message);
    void HandleCallback(UINT MouseMessage);

    HWND FWindow = nullptr;
    bool FShown = false;
    bool FAnimated = false;
    std::uint8_t FClickFlags = 0; // bit 0: a left press was seen, bit 1: a right press
    int FIconIndex = -1;
    unsigned short FInterval = 150;
    bool FActive = true;
    TNotifyIconData FData;
    std::unique_ptr<TIcon> FIcon;
    std::unique_ptr<TIconList> FIcons;
    bool FDestroying = false;
    std::string FHint;
    TPopupMenu* FPopupMenu = nullptr;
    UINT FTimerInterval = 0; // the interval the running timer was set with; 0: none runs
};
TW_LINK_CLASS(TAdTrayIcon);
