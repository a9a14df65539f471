// Menus: menu items with captions, "&" accelerators, "-" separators, shortcuts, check marks and
// radio groups; the main menu a form shows as its menu bar; popup menus; and the menu handles
// (HMENU) the window model's menu functions work on.
#pragma once

#include "platform/controls/Controls.h"

#include <string>
#include <vector>

class TMenu;
class TMenuItem;

// A shortcut: the virtual key in the low byte, scShift/scCtrl/scAlt above it.
using TShortCut = WORD;
inline constexpr TShortCut scShift = 0x2000;
inline constexpr TShortCut scCtrl = 0x4000;
inline constexpr TShortCut scAlt = 0x8000;
inline constexpr TShortCut scNone = 0;

TShortCut ShortCut(WORD Key, TShiftState Shift);
void ShortCutToKey(TShortCut ShortCut, WORD& Key, TShiftState& Shift);
// "Ctrl+S", "Shift+F5", "Del" ... and back (scNone for text that is not a shortcut).
std::string ShortCutToText(TShortCut ShortCut);
TShortCut TextToShortCut(const std::string& Text);
// The accelerator character after "&" ("&&" is a literal ampersand), lower case; 0 when none.
char GetHotkey(const std::string& Text);
bool IsAccel(WORD VK, const std::string& Str);
std::string StripHotkey(const std::string& Text);

enum TMenuBreak { mbNone, mbBreak, mbBarBreak };
enum TMenuItemAutoFlag { maAutomatic, maManual, maParent };
enum TPopupAlignment { paLeft, paRight, paCenter };
enum TFindItemKind { fkCommand, fkHandle, fkShortCut };

// Raised for a menu item inserted twice or a bad index.
class EMenuError : public Exception {
public:
    using Exception::Exception;
};

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    bool IsLine() const { return FCaption == "-"; }
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    bool RadioItem() const { return FRadioItem; }
    void SetRadioItem(bool Value);
    BYTE GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(BYTE Value);
    TMenuBreak Break() const { return FBreak; }
    void SetBreak(TMenuBreak Value);
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut Value);
    std::string Hint;
    int HelpContext = 0;

    // Children.
    int Count() const { return static_cast<int>(FItems.size()); }
    TMenuItem* Items(int Index) const;
    TMenuItem* operator[](int Index) const { return Items(Index); }
    void Add(TMenuItem* Item);
    void Insert(int Index, TMenuItem* Item);
    // Takes the item at Index out of the menu; its owner still frees it.
    void Delete(int Index);
    // Takes the item out without freeing it.
    void Remove(TMenuItem* Item);
    // Frees every child item.
    void Clear();
    int IndexOf(TMenuItem* Item) const;
    TMenuItem* Parent() const { return FParent; }
    int MenuIndex() const;
    void SetMenuIndex(int Value);
    // The item whose caption (without "&") is Caption, among the children.
    TMenuItem* Find(const std::string& ACaption) const;

    // The command number WM_COMMAND carries for this item.
    WORD Command() const { return FCommand; }
    // The submenu handle (made when first asked for) of an item with children.
    HMENU Handle();
    // Brings the submenu handle up to date with the children.
    void RebuildHandle();
    TMenu* GetParentMenu() const;

    virtual void Click();
    TNotifyEvent OnClick;

    // The form reader's parent link: the enclosing item, or the menu for top-level items.
    void SetParentComponent(TComponent* Value) override;
    TComponent* GetParentComponent() const override;
    bool HasParent() const override { return true; }

private:
    void MenuChanged(bool Rebuild);
    void TurnSiblingsOff();
    std::string FCaption;
    bool FChecked = false;
    bool FEnabled = true;
    bool FVisible = true;
    bool FDefault = false;
    bool FRadioItem = false;
    BYTE FGroupIndex = 0;
    TMenuBreak FBreak = mbNone;
    TShortCut FShortCut = 0;
    WORD FCommand = 0;
    HMENU FHandle = nullptr;
    TMenuItem* FParent = nullptr;
    TMenu* FMenu = nullptr; // the menu whose root this item is
    std::vector<TMenuItem*> FItems;
    friend class TMenu;
};

class TMenu : public TComponent {
public:
    explicit TMenu(TComponent* AOwner);
    ~TMenu() override;

    TMenuItem* Items() const { return FItems; }
    virtual HMENU Handle();
    TMenuItem* FindItem(std::uintptr_t Value, TFindItemKind Kind) const;
    // A key message (WM_KEYDOWN/WM_SYSKEYDOWN) matching an item's shortcut clicks it.
    bool IsShortCut(TMessage& Message);
    // WM_COMMAND with an item's command number clicks it.
    bool DispatchCommand(WORD ACommand);
    // WM_INITMENUPOPUP: brings the submenu up to date.
    bool DispatchPopup(HMENU AHandle);
    // The window that receives the menu's messages.
    HWND WindowHandle() const { return FWindowHandle; }
    void SetWindowHandle(HWND Value) { FWindowHandle = Value; }
    TPopupAlignment Alignment = paLeft;

protected:
    virtual void MenuChanged(TMenuItem* Source, bool Rebuild);
    friend class TMenuItem;

private:
    TMenuItem* FItems;
    HWND FWindowHandle = nullptr;
};

// A form's menu bar.
class TMainMenu : public TMenu {
public:
    explicit TMainMenu(TComponent* AOwner);
    HMENU Handle() override;
    bool AutoMerge = false;

protected:
    void MenuChanged(TMenuItem* Source, bool Rebuild) override;
};

class TPopupMenu : public TMenu {
public:
    explicit TPopupMenu(TComponent* AOwner);
    ~TPopupMenu() override;
    // Shows the menu at a screen point and runs the chosen item's OnClick.
    virtual void Popup(int X, int Y);
    TComponent* PopupComponent() const { return FPopupComponent; }
    void SetPopupComponent(TComponent* Value) { FPopupComponent = Value; }
    bool AutoPopup = true;
    TNotifyEvent OnPopup;

protected:
    virtual void DoPopup(TObject* Sender);
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // What the popup window's own handlers leave goes to the default window procedure.
    void DefaultHandler(TMessage& Message) override;
    TW_MESSAGE_HANDLERS(TPopupMenu);
    void WMInitMenuPopup(TWMInitMenuPopup Message);
    void WMMenuSelect(TWMMenuSelect Message);

private:
    void PopupWndProc(TMessage& Message);
    TComponent* FPopupComponent = nullptr;
    HWND FWindow = nullptr; // receives WM_COMMAND for the items
};

// ---- Menu handles -----------------------------------------------------------------------------
// The window model has no menus of its own: these are the user32 menu functions, kept here
// with the menus that use them.
inline constexpr UINT MF_STRING = 0x0000;
inline constexpr UINT MF_BYCOMMAND = 0x0000;
inline constexpr UINT MF_BYPOSITION = 0x0400;
inline constexpr UINT MF_ENABLED = 0x0000;
inline constexpr UINT MF_GRAYED = 0x0001;
inline constexpr UINT MF_DISABLED = 0x0002;
inline constexpr UINT MF_UNCHECKED = 0x0000;
inline constexpr UINT MF_CHECKED = 0x0008;
inline constexpr UINT MF_POPUP = 0x0010;
inline constexpr UINT MF_MENUBARBREAK = 0x0020;
inline constexpr UINT MF_MENUBREAK = 0x0040;
inline constexpr UINT MF_HILITE = 0x0080;
inline constexpr UINT MF_OWNERDRAW = 0x0100;
inline constexpr UINT MF_SEPARATOR = 0x0800;
inline constexpr UINT MF_DEFAULT = 0x1000;
inline constexpr UINT MF_SYSMENU = 0x2000;
inline constexpr UINT MF_RIGHTJUSTIFY = 0x4000;
inline constexpr UINT MF_MOUSESELECT = 0x8000;
inline constexpr UINT MFT_RADIOCHECK = 0x0200;

inline constexpr UINT TPM_LEFTBUTTON = 0x0000;
inline constexpr UINT TPM_RIGHTBUTTON = 0x0002;
inline constexpr UINT TPM_LEFTALIGN = 0x0000;
inline constexpr UINT TPM_CENTERALIGN = 0x0004;
inline constexpr UINT TPM_RIGHTALIGN = 0x0008;
inline constexpr UINT TPM_TOPALIGN = 0x0000;
inline constexpr UINT TPM_VCENTERALIGN = 0x0010;
inline constexpr UINT TPM_BOTTOMALIGN = 0x0020;
inline constexpr UINT TPM_NONOTIFY = 0x0080;
inline constexpr UINT TPM_RETURNCMD = 0x0100;

HMENU CreateMenu();
HMENU CreatePopupMenu();
BOOL DestroyMenu(HMENU Menu);
BOOL IsMenu(HMENU Menu);
BOOL AppendMenu(HMENU Menu, UINT Flags, std::uintptr_t IDNewItem, const char* NewItem);
BOOL InsertMenu(HMENU Menu, UINT Position, UINT Flags, std::uintptr_t IDNewItem, const char* NewItem);
BOOL RemoveMenu(HMENU Menu, UINT Position, UINT Flags);
BOOL DeleteMenu(HMENU Menu, UINT Position, UINT Flags);
int GetMenuItemCount(HMENU Menu);
UINT GetMenuItemID(HMENU Menu, int Pos);
HMENU GetSubMenu(HMENU Menu, int Pos);
UINT GetMenuState(HMENU Menu, UINT Id, UINT Flags);
int GetMenuString(HMENU Menu, UINT Id, char* Buffer, int MaxCount, UINT Flags);
DWORD CheckMenuItem(HMENU Menu, UINT Id, UINT Check);
BOOL EnableMenuItem(HMENU Menu, UINT Id, UINT Enable);
BOOL SetMenuDefaultItem(HMENU Menu, UINT Item, UINT ByPos);
BOOL SetMenu(HWND Wnd, HMENU Menu);
HMENU GetMenu(HWND Wnd);
BOOL DrawMenuBar(HWND Wnd);
// Shows the menu and tracks it: WM_INITMENUPOPUP before it opens, WM_MENUSELECT as items are
// highlighted, then WM_COMMAND with the chosen item (or, with TPM_RETURNCMD, the item as result).
BOOL TrackPopupMenu(HMENU Menu, UINT Flags, int X, int Y, int Reserved, HWND Wnd, const RECT* Rect);

// WM_HELP's parameter: what help was asked for. For a menu item, iCtrlId is its command and
// hItemHandle the menu holding it.
inline constexpr int HELPINFO_WINDOW = 1;
inline constexpr int HELPINFO_MENUITEM = 2;
struct HELPINFO {
    UINT cbSize = sizeof(HELPINFO);
    int iContextType = 0;
    int iCtrlId = 0;
    HANDLE hItemHandle = nullptr;
    DWORD_PTR dwContextId = 0;
    POINT MousePos{};
};
struct TWMHelp : TMessageView {
    using TMessageView::TMessageView;
    HELPINFO* HelpInfo() const { return reinterpret_cast<HELPINFO*>(LParam); }
};

// How a shown menu is answered: the interactive one (Qt) by default, a test's queue in tests.
// Highlight(Item position path) sends WM_MENUSELECT; the result is the chosen command or 0.
class TMenuTracker {
public:
    virtual ~TMenuTracker() = default;
    // Called with the menu to track; Select(Menu, Pos) highlights an entry (WM_MENUSELECT) and
    // Open(SubMenu) announces a submenu (WM_INITMENUPOPUP). Returns the chosen command, 0 for
    // none.
    virtual UINT Track(HMENU Menu, int X, int Y, HWND Owner) = 0;
};
void SetMenuTracker(TMenuTracker* Tracker); // nullptr: the interactive tracker
TMenuTracker* MenuTracker();
// For trackers: sends WM_MENUSELECT for the entry at Pos of Menu to Owner (the hint machinery),
// then paints what that changed.
void MenuSelectEntry(HWND Owner, HMENU Menu, int Pos);
// For trackers: sends WM_INITMENUPOPUP for Menu (at Pos in its parent) to Owner.
void MenuInitPopup(HWND Owner, HMENU Menu, int Pos);
// What a menu handle holds, for trackers that build a visible menu from it.
struct TMenuEntryInfo {
    std::string Text;
    UINT Flags = 0; // MF_*
    UINT Id = 0;
    HMENU SubMenu = nullptr;
};
std::vector<TMenuEntryInfo> GetMenuEntries(HMENU Menu);
