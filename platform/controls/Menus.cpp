#include "platform/controls/Menus.h"

#include "platform/classes/TypInfo.h"
#include "platform/controls/Forms.h"
#include "platform/qt/GdiSurface.h"
#include "platform/qt/WinHost.h"

#include <QAction>
#include <QActionGroup>
#include <QFont>
#include <QGuiApplication>
#include <QMenu>
#include <QPalette>
#include <QString>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <unordered_map>
#include <unordered_set>

// ---- Shortcuts --------------------------------------------------------------------------------

TShortCut ShortCut(WORD Key, TShiftState Shift)
{
    TShortCut Result = static_cast<TShortCut>(Key & 0xFF);
    if (Shift.Contains(ssShift))
        Result |= scShift;
    if (Shift.Contains(ssCtrl))
        Result |= scCtrl;
    if (Shift.Contains(ssAlt))
        Result |= scAlt;
    return Result;
}

void ShortCutToKey(TShortCut Value, WORD& Key, TShiftState& Shift)
{
    Key = Value & 0xFF;
    Shift = TShiftState{};
    if (Value & scShift)
        Shift.Include(ssShift);
    if (Value & scCtrl)
        Shift.Include(ssCtrl);
    if (Value & scAlt)
        Shift.Include(ssAlt);
}

namespace {

struct TKeyName {
    WORD Key;
    const char* Name;
};
const TKeyName KeyNames[] = {
    {VK_BACK, "BkSp"},  {VK_TAB, "Tab"},     {VK_RETURN, "Enter"}, {VK_ESCAPE, "Esc"}, {VK_SPACE, "Space"},
    {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"},   {VK_END, "End"},      {VK_HOME, "Home"},  {VK_LEFT, "Left"},
    {VK_UP, "Up"},      {VK_RIGHT, "Right"}, {VK_DOWN, "Down"},    {VK_INSERT, "Ins"}, {VK_DELETE, "Del"},
};

std::string KeyToText(WORD Key)
{
    if ((Key >= 'A' && Key <= 'Z') || (Key >= '0' && Key <= '9'))
        return std::string(1, static_cast<char>(Key));
    if (Key >= VK_F1 && Key <= VK_F12)
        return "F" + std::to_string(Key - VK_F1 + 1);
    for (const TKeyName& K : KeyNames)
        if (K.Key == Key)
            return K.Name;
    return {};
}

bool StartsWithNoCase(const std::string& S, std::size_t Pos, const std::string& Prefix)
{
    if (S.size() - Pos < Prefix.size())
        return false;
    for (std::size_t I = 0; I < Prefix.size(); ++I)
        if (std::tolower(static_cast<unsigned char>(S[Pos + I])) !=
            std::tolower(static_cast<unsigned char>(Prefix[I])))
            return false;
    return true;
}

} // namespace

std::string ShortCutToText(TShortCut Value)
{
    std::string Name = KeyToText(Value & 0xFF);
    if (Name.empty())
        return {};
    std::string Result;
    if (Value & scShift)
        Result += "Shift+";
    if (Value & scCtrl)
        Result += "Ctrl+";
    if (Value & scAlt)
        Result += "Alt+";
    return Result + Name;
}

TShortCut TextToShortCut(const std::string& Text)
{
    TShortCut Shift = 0;
    std::size_t Pos = 0;
    for (;;) {
        if (StartsWithNoCase(Text, Pos, "Shift+")) {
            Shift |= scShift;
            Pos += 6;
        } else if (StartsWithNoCase(Text, Pos, "Ctrl+")) {
            Shift |= scCtrl;
            Pos += 5;
        } else if (StartsWithNoCase(Text, Pos, "Alt+")) {
            Shift |= scAlt;
            Pos += 4;
        } else {
            break;
        }
    }
    std::string Rest = Text.substr(Pos);
    for (int Key = 1; Key < 256; ++Key) {
        std::string Name = KeyToText(static_cast<WORD>(Key));
        if (!Name.empty() && Name.size() == Rest.size() && StartsWithNoCase(Rest, 0, Name))
            return static_cast<TShortCut>(Shift | Key);
    }
    return scNone;
}

char GetHotkey(const std::string& Text)
{
    for (std::size_t I = 0; I + 1 < Text.size(); ++I) {
        if (Text[I] != '&')
            continue;
        if (Text[I + 1] == '&') {
            ++I;
            continue;
        }
        return static_cast<char>(std::tolower(static_cast<unsigned char>(Text[I + 1])));
    }
    return 0;
}

bool IsAccel(WORD VK, const std::string& Str)
{
    // Either case matches: a key message carries the upper-case key, a typed character either.
    char C = GetHotkey(Str);
    return C != 0 && VK < 0x100 &&
           std::toupper(static_cast<unsigned char>(C)) == std::toupper(static_cast<int>(VK));
}

std::string StripHotkey(const std::string& Text)
{
    std::string Result;
    for (std::size_t I = 0; I < Text.size(); ++I) {
        if (Text[I] == '&') {
            if (I + 1 < Text.size() && Text[I + 1] == '&')
                Result += '&';
            ++I;
            if (I < Text.size() && Text[I] != '&')
                Result += Text[I];
            continue;
        }
        Result += Text[I];
    }
    return Result;
}

// ---- Menu handles -----------------------------------------------------------------------------

namespace {

struct TMenuEntry {
    std::string Text;
    UINT Flags = 0;
    UINT Id = 0;
    HMENU Sub = nullptr;
};

struct TMenuData {
    bool Bar = false;
    std::vector<TMenuEntry> Entries;
};

std::unordered_map<HMENU, TMenuData*>& Menus()
{
    static std::unordered_map<HMENU, TMenuData*> Table;
    return Table;
}

std::unordered_map<HWND, HMENU>& WindowMenus()
{
    static std::unordered_map<HWND, HMENU> Table;
    return Table;
}

TMenuData* Data(HMENU Menu)
{
    auto It = Menus().find(Menu);
    return It == Menus().end() ? nullptr : It->second;
}

HMENU NewMenu(bool Bar)
{
    auto* D = new TMenuData;
    D->Bar = Bar;
    HMENU H = reinterpret_cast<HMENU>(D);
    Menus()[H] = D;
    return H;
}

// The entry of a menu addressed by command or by position; -1 when there is none.
int EntryIndex(TMenuData* D, UINT Position, UINT Flags)
{
    if (!D)
        return -1;
    if (Flags & MF_BYPOSITION)
        return Position < D->Entries.size() ? static_cast<int>(Position) : -1;
    for (std::size_t I = 0; I < D->Entries.size(); ++I)
        if (!(D->Entries[I].Flags & MF_POPUP) && D->Entries[I].Id == Position)
            return static_cast<int>(I);
    return -1;
}

TMenuEntry MakeEntry(UINT Flags, std::uintptr_t IDNewItem, const char* NewItem)
{
    TMenuEntry E;
    E.Flags = Flags & ~MF_BYPOSITION;
    if (Flags & MF_POPUP)
        E.Sub = reinterpret_cast<HMENU>(IDNewItem);
    else
        E.Id = static_cast<UINT>(IDNewItem);
    if (!(Flags & MF_SEPARATOR) && NewItem)
        E.Text = NewItem;
    return E;
}

TMenuTracker* gTracker = nullptr;

// A pop-up looks like the menu bar it drops from: the menu colours of the fixed scheme (the
// style paints a menu's panel in the edit-field colour otherwise) and the menu font.
void StyleAsMenu(QMenu* Q)
{
    QPalette P = gdi::ClassicPalette();
    auto C = [](int I) {
        COLORREF R = GetSysColor(I);
        return QColor(GetRValue(R), GetGValue(R), GetBValue(R));
    };
    for (auto Group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        P.setColor(Group, QPalette::Base, C(COLOR_MENU));
        P.setColor(Group, QPalette::Window, C(COLOR_MENU));
        P.setColor(Group, QPalette::Button, C(COLOR_MENU));
    }
    for (auto Group : {QPalette::Active, QPalette::Inactive}) {
        P.setColor(Group, QPalette::Text, C(COLOR_MENUTEXT));
        P.setColor(Group, QPalette::WindowText, C(COLOR_MENUTEXT));
        P.setColor(Group, QPalette::ButtonText, C(COLOR_MENUTEXT));
    }
    Q->setPalette(P);
    NONCLIENTMETRICS M{};
    M.cbSize = sizeof(M);
    if (SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof(M), &M, 0)) {
        if (HFONT F = CreateFontIndirect(&M.lfMenuFont)) {
            Q->setFont(gdi::QFontOf(F));
            DeleteObject(F);
        }
    }
}

// The interactive tracker: a Qt menu built from the handle, run at the point.
class TQtMenuTracker : public TMenuTracker {
public:
    UINT Track(HMENU Menu, int X, int Y, HWND Owner) override
    {
        if (QGuiApplication::platformName() == QLatin1String("offscreen"))
            return 0; // nobody can choose: a headless run never blocks on a menu
        QMenu Root;
        StyleAsMenu(&Root);
        UINT Chosen = 0;
        Build(&Root, Menu, Owner, Chosen);
        TPaintsDuringForeignLoop Beneath;
        Root.exec(QPoint(X, Y));
        return Chosen;
    }

private:
    void Build(QMenu* Q, HMENU Menu, HWND Owner, UINT& Chosen)
    {
        TMenuData* D = Data(Menu);
        if (!D)
            return;
        for (std::size_t I = 0; I < D->Entries.size(); ++I) {
            const TMenuEntry& E = D->Entries[I];
            if (E.Flags & MF_SEPARATOR) {
                Q->addSeparator();
                continue;
            }
            // Our "&" accelerators are Qt's too; the shortcut text follows a tab.
            QString Text = QString::fromStdString(E.Text);
            int Pos = static_cast<int>(I);
            if (E.Flags & MF_POPUP) {
                QMenu* Sub = Q->addMenu(Text);
                StyleAsMenu(Sub);
                HMENU SubMenu = E.Sub;
                QObject::connect(Sub, &QMenu::aboutToShow, Sub, [this, Sub, SubMenu, Owner, Pos, &Chosen] {
                    Sub->clear();
                    MenuInitPopup(Owner, SubMenu, Pos);
                    Build(Sub, SubMenu, Owner, Chosen);
                });
                Sub->menuAction()->setEnabled(!(E.Flags & (MF_GRAYED | MF_DISABLED)));
                QObject::connect(Sub->menuAction(), &QAction::hovered, Sub,
                                 [Owner, Menu, Pos] { MenuSelectEntry(Owner, Menu, Pos); });
                continue;
            }
            QAction* A = Q->addAction(Text);
            A->setEnabled(!(E.Flags & (MF_GRAYED | MF_DISABLED)));
            A->setCheckable((E.Flags & MF_CHECKED) != 0);
            A->setChecked((E.Flags & MF_CHECKED) != 0);
            if (E.Flags & MFT_RADIOCHECK) {
                // An exclusive group is what makes the style draw a bullet instead of a tick.
                auto* Group = new QActionGroup(A);
                Group->addAction(A);
            }
            if (E.Flags & MF_DEFAULT) {
                QFont F = A->font();
                F.setBold(true);
                A->setFont(F);
            }
            UINT Id = E.Id;
            QObject::connect(A, &QAction::hovered, A,
                             [Owner, Menu, Pos] { MenuSelectEntry(Owner, Menu, Pos); });
            QObject::connect(A, &QAction::triggered, A, [&Chosen, Id] { Chosen = Id; });
        }
    }
};

} // namespace

HMENU CreateMenu()
{
    return NewMenu(true);
}
HMENU CreatePopupMenu()
{
    return NewMenu(false);
}

BOOL DestroyMenu(HMENU Menu)
{
    TMenuData* D = Data(Menu);
    if (!D)
        return FALSE;
    Menus().erase(Menu);
    for (const TMenuEntry& E : D->Entries)
        if (E.Flags & MF_POPUP)
            DestroyMenu(E.Sub);
    for (auto It = WindowMenus().begin(); It != WindowMenus().end();)
        It = It->second == Menu ? WindowMenus().erase(It) : std::next(It);
    delete D;
    return TRUE;
}

BOOL IsMenu(HMENU Menu)
{
    return Data(Menu) ? TRUE : FALSE;
}

BOOL AppendMenu(HMENU Menu, UINT Flags, std::uintptr_t IDNewItem, const char* NewItem)
{
    TMenuData* D = Data(Menu);
    if (!D)
        return FALSE;
    D->Entries.push_back(MakeEntry(Flags, IDNewItem, NewItem));
    return TRUE;
}

BOOL InsertMenu(HMENU Menu, UINT Position, UINT Flags, std::uintptr_t IDNewItem, const char* NewItem)
{
    TMenuData* D = Data(Menu);
    if (!D)
        return FALSE;
    int Index = EntryIndex(D, Position, Flags);
    if (Index < 0)
        Index = static_cast<int>(D->Entries.size());
    D->Entries.insert(D->Entries.begin() + Index, MakeEntry(Flags, IDNewItem, NewItem));
    return TRUE;
}

BOOL RemoveMenu(HMENU Menu, UINT Position, UINT Flags)
{
    TMenuData* D = Data(Menu);
    int Index = EntryIndex(D, Position, Flags);
    if (Index < 0)
        return FALSE;
    D->Entries.erase(D->Entries.begin() + Index);
    return TRUE;
}

BOOL DeleteMenu(HMENU Menu, UINT Position, UINT Flags)
{
    TMenuData* D = Data(Menu);
    int Index = EntryIndex(D, Position, Flags);
    if (Index < 0)
        return FALSE;
    TMenuEntry E = D->Entries[Index];
    D->Entries.erase(D->Entries.begin() + Index);
    if (E.Flags & MF_POPUP)
        DestroyMenu(E.Sub);
    return TRUE;
}

int GetMenuItemCount(HMENU Menu)
{
    TMenuData* D = Data(Menu);
    return D ? static_cast<int>(D->Entries.size()) : -1;
}

UINT GetMenuItemID(HMENU Menu, int Pos)
{
    TMenuData* D = Data(Menu);
    if (!D || Pos < 0 || Pos >= static_cast<int>(D->Entries.size()))
        return static_cast<UINT>(-1);
    const TMenuEntry& E = D->Entries[Pos];
    return (E.Flags & MF_POPUP) ? static_cast<UINT>(-1) : E.Id;
}

HMENU GetSubMenu(HMENU Menu, int Pos)
{
    TMenuData* D = Data(Menu);
    if (!D || Pos < 0 || Pos >= static_cast<int>(D->Entries.size()))
        return nullptr;
    return D->Entries[Pos].Sub;
}

UINT GetMenuState(HMENU Menu, UINT Id, UINT Flags)
{
    TMenuData* D = Data(Menu);
    int Index = EntryIndex(D, Id, Flags);
    if (Index < 0)
        return static_cast<UINT>(-1);
    const TMenuEntry& E = D->Entries[Index];
    UINT State = E.Flags & ~MF_POPUP;
    if (E.Flags & MF_POPUP)
        State |= MF_POPUP | (static_cast<UINT>(GetMenuItemCount(E.Sub)) << 8);
    return State;
}

int GetMenuString(HMENU Menu, UINT Id, char* Buffer, int MaxCount, UINT Flags)
{
    TMenuData* D = Data(Menu);
    int Index = EntryIndex(D, Id, Flags);
    if (Index < 0)
        return 0;
    const std::string& Text = D->Entries[Index].Text;
    if (!Buffer || MaxCount <= 0)
        return static_cast<int>(Text.size());
    std::size_t N = std::min<std::size_t>(Text.size(), static_cast<std::size_t>(MaxCount - 1));
    std::copy_n(Text.data(), N, Buffer);
    Buffer[N] = '\0';
    return static_cast<int>(N);
}

DWORD CheckMenuItem(HMENU Menu, UINT Id, UINT Check)
{
    TMenuData* D = Data(Menu);
    int Index = EntryIndex(D, Id, Check);
    if (Index < 0)
        return static_cast<DWORD>(-1);
    UINT& F = D->Entries[Index].Flags;
    DWORD Old = F & MF_CHECKED;
    F = (F & ~MF_CHECKED) | (Check & MF_CHECKED);
    return Old;
}

BOOL EnableMenuItem(HMENU Menu, UINT Id, UINT Enable)
{
    TMenuData* D = Data(Menu);
    int Index = EntryIndex(D, Id, Enable);
    if (Index < 0)
        return -1;
    UINT& F = D->Entries[Index].Flags;
    BOOL Old = static_cast<BOOL>(F & (MF_GRAYED | MF_DISABLED));
    F = (F & ~(MF_GRAYED | MF_DISABLED)) | (Enable & (MF_GRAYED | MF_DISABLED));
    return Old;
}

BOOL SetMenuDefaultItem(HMENU Menu, UINT Item, UINT ByPos)
{
    TMenuData* D = Data(Menu);
    if (!D)
        return FALSE;
    for (TMenuEntry& E : D->Entries)
        E.Flags &= ~MF_DEFAULT;
    if (Item == static_cast<UINT>(-1))
        return TRUE;
    int Index = EntryIndex(D, Item, ByPos ? MF_BYPOSITION : MF_BYCOMMAND);
    if (Index < 0)
        return FALSE;
    D->Entries[Index].Flags |= MF_DEFAULT;
    return TRUE;
}

BOOL SetMenu(HWND Wnd, HMENU Menu)
{
    if (!IsWindow(Wnd))
        return FALSE;
    if (Menu)
        WindowMenus()[Wnd] = Menu;
    else
        WindowMenus().erase(Wnd);
    // The window model keeps a top-level window's menu in its id slot and leaves a band for it
    // in the frame.
    if (!(GetWindowLong(Wnd, GWL_STYLE) & WS_CHILD) &&
        reinterpret_cast<HMENU>(GetWindowLong(Wnd, GWL_ID)) != Menu) {
        SetWindowLong(Wnd, GWL_ID, reinterpret_cast<LONG_PTR>(Menu));
        SetWindowPos(Wnd, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    return TRUE;
}

HMENU GetMenu(HWND Wnd)
{
    auto It = WindowMenus().find(Wnd);
    return It == WindowMenus().end() ? nullptr : It->second;
}

BOOL DrawMenuBar(HWND Wnd)
{
    return IsWindow(Wnd) ? TRUE : FALSE;
}

void SetMenuTracker(TMenuTracker* Tracker)
{
    gTracker = Tracker;
}

TMenuTracker* MenuTracker()
{
    static TQtMenuTracker Interactive;
    return gTracker ? gTracker : &Interactive;
}

void MenuSelectEntry(HWND Owner, HMENU Menu, int Pos)
{
    TMenuData* D = Data(Menu);
    if (!Owner || !D || Pos < 0 || Pos >= static_cast<int>(D->Entries.size()))
        return;
    const TMenuEntry& E = D->Entries[Pos];
    WORD Item = (E.Flags & MF_POPUP) ? static_cast<WORD>(Pos) : static_cast<WORD>(E.Id);
    WORD Flags =
        static_cast<WORD>((E.Flags & (MF_POPUP | MF_CHECKED | MF_GRAYED | MF_DISABLED | MF_SEPARATOR)) |
                          MF_HILITE | MF_MOUSESELECT);
    SendMessage(Owner, WM_MENUSELECT, MAKEWPARAM(Item, Flags), reinterpret_cast<LPARAM>(Menu));
    // The menu loop keeps the windows painted: a status line showing the item's hint changes
    // while the menu is still open.
    DispatchPendingPaints();
}

void MenuInitPopup(HWND Owner, HMENU Menu, int Pos)
{
    if (Owner)
        SendMessage(Owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(Menu),
                    MAKELPARAM(static_cast<WORD>(Pos), 0));
}

std::vector<TMenuEntryInfo> GetMenuEntries(HMENU Menu)
{
    std::vector<TMenuEntryInfo> Result;
    if (TMenuData* D = Data(Menu))
        for (const TMenuEntry& E : D->Entries)
            Result.push_back(TMenuEntryInfo{E.Text, E.Flags, E.Id, E.Sub});
    return Result;
}

BOOL TrackPopupMenu(HMENU Menu, UINT Flags, int X, int Y, int, HWND Wnd, const RECT*)
{
    if (!Data(Menu))
        return FALSE;
    bool Notify = !(Flags & TPM_NONOTIFY);
    if (Notify && Wnd) {
        SendMessage(Wnd, WM_ENTERMENULOOP, TRUE, 0);
        SendMessage(Wnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(Menu), 0);
    }
    UINT Chosen = MenuTracker()->Track(Menu, X, Y, Notify ? Wnd : nullptr);
    // The Alt of an Alt+F that opened the menu is mostly let go while the menu is up.
    ForgetModifiersReleasedElsewhere();
    if (Notify && Wnd) {
        // The menu closed: the hint line clears.
        SendMessage(Wnd, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
        SendMessage(Wnd, WM_EXITMENULOOP, TRUE, 0);
    }
    if (Flags & TPM_RETURNCMD)
        return static_cast<BOOL>(Chosen);
    if (Chosen && Wnd)
        PostMessage(Wnd, WM_COMMAND, Chosen, 0);
    return Chosen ? TRUE : FALSE;
}

// ---- TMenuItem --------------------------------------------------------------------------------

namespace {

std::set<WORD>& UsedCommands()
{
    static std::set<WORD> Used;
    return Used;
}

WORD AllocateCommand()
{
    static WORD Next = 0;
    for (int Tries = 0; Tries < 0xFFFF; ++Tries) {
        Next = static_cast<WORD>(Next % 0xFFFE + 1);
        if (UsedCommands().insert(Next).second)
            return Next;
    }
    return 0;
}

} // namespace

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner), FCommand(AllocateCommand()) {}

TMenuItem::~TMenuItem()
{
    Destroying();
    if (FParent)
        FParent->Remove(this);
    while (!FItems.empty())
        delete FItems.back();
    if (FHandle)
        DestroyMenu(FHandle);
    UsedCommands().erase(FCommand);
}

void TMenuItem::SetCaption(const std::string& Value)
{
    if (FCaption == Value)
        return;
    FCaption = Value;
    MenuChanged(true);
}

void TMenuItem::SetChecked(bool Value)
{
    if (FChecked == Value)
        return;
    FChecked = Value;
    if (Value && FRadioItem)
        TurnSiblingsOff();
    MenuChanged(true);
}

void TMenuItem::SetEnabled(bool Value)
{
    if (FEnabled == Value)
        return;
    FEnabled = Value;
    MenuChanged(true);
}

void TMenuItem::SetVisible(bool Value)
{
    if (FVisible == Value)
        return;
    FVisible = Value;
    MenuChanged(true);
}

void TMenuItem::SetDefault(bool Value)
{
    if (FDefault == Value)
        return;
    if (Value && FParent)
        for (TMenuItem* Sib : FParent->FItems)
            Sib->FDefault = false;
    FDefault = Value;
    MenuChanged(true);
}

void TMenuItem::SetRadioItem(bool Value)
{
    if (FRadioItem == Value)
        return;
    FRadioItem = Value;
    if (FChecked && Value)
        TurnSiblingsOff();
    MenuChanged(true);
}

void TMenuItem::SetGroupIndex(BYTE Value)
{
    if (FGroupIndex == Value)
        return;
    FGroupIndex = Value;
    if (FChecked && FRadioItem)
        TurnSiblingsOff();
    MenuChanged(true);
}

void TMenuItem::SetBreak(TMenuBreak Value)
{
    if (FBreak == Value)
        return;
    FBreak = Value;
    MenuChanged(true);
}

void TMenuItem::SetShortCut(TShortCut Value)
{
    if (FShortCut == Value)
        return;
    FShortCut = Value;
    MenuChanged(true);
}

void TMenuItem::TurnSiblingsOff()
{
    // Radio items of one group in one menu: checking one unchecks the others.
    if (!FParent)
        return;
    for (TMenuItem* Sib : FParent->FItems)
        if (Sib != this && Sib->FRadioItem && Sib->FGroupIndex == FGroupIndex)
            Sib->FChecked = false;
}

TMenuItem* TMenuItem::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EMenuError("Menu index out of range");
    return FItems[Index];
}

void TMenuItem::Add(TMenuItem* Item)
{
    Insert(Count(), Item);
}

void TMenuItem::Insert(int Index, TMenuItem* Item)
{
    if (!Item)
        return;
    if (Item->FParent)
        throw EMenuError("Menu inserted twice");
    if (Index < 0 || Index > Count())
        throw EMenuError("Menu index out of range");
    FItems.insert(FItems.begin() + Index, Item);
    Item->FParent = this;
    if (Item->FChecked && Item->FRadioItem)
        Item->TurnSiblingsOff();
    MenuChanged(true);
}

void TMenuItem::Delete(int Index)
{
    if (Index < 0 || Index >= Count())
        throw EMenuError("Menu index out of range");
    TMenuItem* Item = FItems[Index];
    FItems.erase(FItems.begin() + Index);
    Item->FParent = nullptr;
    MenuChanged(true);
}

void TMenuItem::Remove(TMenuItem* Item)
{
    int Index = IndexOf(Item);
    if (Index >= 0)
        Delete(Index);
}

void TMenuItem::Clear()
{
    while (!FItems.empty())
        delete FItems.back();
}

int TMenuItem::IndexOf(TMenuItem* Item) const
{
    auto It = std::find(FItems.begin(), FItems.end(), Item);
    return It == FItems.end() ? -1 : static_cast<int>(It - FItems.begin());
}

int TMenuItem::MenuIndex() const
{
    return FParent ? FParent->IndexOf(const_cast<TMenuItem*>(this)) : -1;
}

void TMenuItem::SetMenuIndex(int Value)
{
    if (!FParent)
        return;
    TMenuItem* P = FParent;
    P->Remove(this);
    P->Insert(std::clamp(Value, 0, P->Count()), this);
}

TMenuItem* TMenuItem::Find(const std::string& ACaption) const
{
    std::string Want = StripHotkey(ACaption);
    for (TMenuItem* Item : FItems)
        if (SameText(StripHotkey(Item->FCaption), Want))
            return Item;
    return nullptr;
}

HMENU TMenuItem::Handle()
{
    if (!FHandle) {
        bool Bar = FMenu && dynamic_cast<TMainMenu*>(FMenu) != nullptr;
        FHandle = Bar ? CreateMenu() : CreatePopupMenu();
        RebuildHandle();
    }
    return FHandle;
}

void TMenuItem::RebuildHandle()
{
    if (!FHandle)
        return;
    // Entries are rebuilt; the handles of submenus stay (they belong to their items).
    TMenuData* D = Data(FHandle);
    if (!D)
        return;
    D->Entries.clear();
    for (TMenuItem* Item : FItems) {
        if (!Item->FVisible)
            continue;
        UINT Flags = 0;
        if (Item->IsLine()) {
            AppendMenu(FHandle, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        if (Item->FChecked)
            Flags |= MF_CHECKED;
        if (!Item->FEnabled)
            Flags |= MF_GRAYED;
        if (Item->FDefault)
            Flags |= MF_DEFAULT;
        if (Item->FRadioItem)
            Flags |= MFT_RADIOCHECK;
        if (Item->FBreak == mbBreak)
            Flags |= MF_MENUBREAK;
        else if (Item->FBreak == mbBarBreak)
            Flags |= MF_MENUBARBREAK;
        std::string Text = Item->FCaption;
        if (Item->FShortCut)
            Text += "\t" + ShortCutToText(Item->FShortCut);
        if (!Item->FItems.empty()) {
            D->Entries.push_back(
                MakeEntry(Flags | MF_POPUP, reinterpret_cast<std::uintptr_t>(Item->Handle()), Text.c_str()));
            D->Entries.back().Id = Item->FCommand;
        } else {
            D->Entries.push_back(MakeEntry(Flags, Item->FCommand, Text.c_str()));
        }
    }
}

void TMenuItem::MenuChanged(bool Rebuild)
{
    if (ComponentState().Contains(csDestroying))
        return;
    if (FParent && Rebuild)
        FParent->RebuildHandle();
    if (Rebuild)
        RebuildHandle();
    if (TMenu* M = GetParentMenu())
        M->MenuChanged(this, Rebuild);
}

TMenu* TMenuItem::GetParentMenu() const
{
    const TMenuItem* Item = this;
    while (Item->FParent)
        Item = Item->FParent;
    return Item->FMenu;
}

void TMenuItem::Click()
{
    if (OnClick)
        OnClick(this);
}

void TMenuItem::SetParentComponent(TComponent* Value)
{
    if (FParent)
        FParent->Remove(this);
    if (auto* Item = dynamic_cast<TMenuItem*>(Value))
        Item->Add(this);
    else if (auto* Menu = dynamic_cast<TMenu*>(Value))
        Menu->Items()->Add(this);
}

TComponent* TMenuItem::GetParentComponent() const
{
    if (FParent && FParent->FMenu)
        return FParent->FMenu;
    return FParent;
}

// ---- TMenu ------------------------------------------------------------------------------------

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(new TMenuItem(this))
{
    FItems->FMenu = this;
}

TMenu::~TMenu()
{
    Destroying();
    TMenuItem* Root = FItems;
    FItems = nullptr;
    Root->FMenu = nullptr;
    delete Root;
}

HMENU TMenu::Handle()
{
    return FItems->Handle();
}

namespace {
TMenuItem* FindIn(TMenuItem* Item, std::uintptr_t Value, TFindItemKind Kind)
{
    for (int I = 0; I < Item->Count(); ++I) {
        TMenuItem* C = Item->Items(I);
        switch (Kind) {
        case fkCommand:
            if (C->Command() == Value)
                return C;
            break;
        case fkHandle:
            if (C->Count() > 0 && reinterpret_cast<std::uintptr_t>(C->Handle()) == Value)
                return C;
            break;
        case fkShortCut:
            if (C->ShortCut() != 0 && C->ShortCut() == Value && C->Visible())
                return C;
            break;
        }
        if (TMenuItem* Found = FindIn(C, Value, Kind))
            return Found;
    }
    return nullptr;
}
} // namespace

TMenuItem* TMenu::FindItem(std::uintptr_t Value, TFindItemKind Kind) const
{
    if (!FItems)
        return nullptr;
    if (Kind == fkHandle && reinterpret_cast<std::uintptr_t>(FItems->FHandle) == Value && Value)
        return FItems;
    return FindIn(FItems, Value, Kind);
}

bool TMenu::IsShortCut(TMessage& Message)
{
    if (Message.Msg != WM_KEYDOWN && Message.Msg != WM_SYSKEYDOWN)
        return false;
    WORD Key = static_cast<WORD>(Message.WParam);
    if (Key == VK_SHIFT || Key == VK_CONTROL || Key == VK_MENU)
        return false;
    // Alt comes from the key data: with nothing focused every key is a system key, Ctrl+O too.
    TShiftState Shift = KeyDataToShiftState(Message.LParam);
    TMenuItem* Item = FindItem(ShortCut(Key, Shift), fkShortCut);
    if (!Item)
        return false;
    // A shortcut of a disabled item (or one under a disabled submenu) is swallowed, not run.
    for (TMenuItem* P = Item; P; P = P->Parent())
        if (!P->Enabled())
            return true;
    // Submenus are told first, as if they were opened, so they can update their items.
    std::vector<TMenuItem*> Chain;
    for (TMenuItem* P = Item->Parent(); P && P != FItems; P = P->Parent())
        Chain.push_back(P);
    for (auto It = Chain.rbegin(); It != Chain.rend(); ++It)
        (*It)->Click();
    if (Item->Enabled())
        Item->Click();
    return true;
}

bool TMenu::DispatchCommand(WORD ACommand)
{
    TMenuItem* Item = FindItem(ACommand, fkCommand);
    if (!Item)
        return false;
    Item->Click();
    return true;
}

bool TMenu::DispatchPopup(HMENU AHandle)
{
    TMenuItem* Item = FindItem(reinterpret_cast<std::uintptr_t>(AHandle), fkHandle);
    if (!Item)
        return false;
    if (Item != FItems)
        Item->Click();
    Item->RebuildHandle();
    return true;
}

void TMenu::MenuChanged(TMenuItem*, bool) {}

TMainMenu::TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}

HMENU TMainMenu::Handle()
{
    return TMenu::Handle();
}

void TMainMenu::MenuChanged(TMenuItem* Source, bool Rebuild)
{
    TMenu::MenuChanged(Source, Rebuild);
    if (WindowHandle())
        DrawMenuBar(WindowHandle());
}

// ---- TPopupMenu -------------------------------------------------------------------------------

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}

TPopupMenu::~TPopupMenu()
{
    if (FWindow)
        DeallocateHWnd(FWindow);
}

void TPopupMenu::DoPopup(TObject* Sender)
{
    if (OnPopup)
        OnPopup(Sender);
}

void TPopupMenu::PopupWndProc(TMessage& Message)
{
    Dispatch(Message);
}

void TPopupMenu::DefaultHandler(TMessage& Message)
{
    Message.Result = DefWindowProc(FWindow, Message.Msg, Message.WParam, Message.LParam);
}

void TPopupMenu::WMInitMenuPopup(TWMInitMenuPopup Message)
{
    DispatchPopup(Message.MenuPopup());
}

void TPopupMenu::WMMenuSelect(TWMMenuSelect Message)
{
    WORD Flags = Message.MenuFlag();
    HMENU Menu = Message.Menu();
    std::string Hint;
    if (!(Flags == 0xFFFF && !Menu)) {
        UINT Id = Message.IDItem();
        TMenuItem* Item =
            (Flags & MF_POPUP)
                ? FindItem(reinterpret_cast<std::uintptr_t>(GetSubMenu(Menu, static_cast<int>(Id))), fkHandle)
                : FindItem(Id, fkCommand);
        if (Item)
            Hint = GetLongHint(Item->Hint);
    }
    if (TApplicationHost* Host = ApplicationHost())
        Host->SetHint(Hint);
}

void TPopupMenu::Popup(int X, int Y)
{
    DoPopup(this);
    if (!FWindow)
        FWindow = AllocateHWnd([this](TMessage& M) { PopupWndProc(M); });
    HMENU Menu = Handle();
    Items()->RebuildHandle();
    UINT Flags = TPM_RIGHTBUTTON | TPM_RETURNCMD;
    if (Alignment == paRight)
        Flags |= TPM_RIGHTALIGN;
    else if (Alignment == paCenter)
        Flags |= TPM_CENTERALIGN;
    UINT Chosen = static_cast<UINT>(TrackPopupMenu(Menu, Flags, X, Y, 0, FWindow, nullptr));
    if (Chosen)
        DispatchCommand(static_cast<WORD>(Chosen));
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation)
{
    TMenu::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FPopupComponent)
        FPopupComponent = nullptr;
}

// ---- Published properties ---------------------------------------------------------------------

TW_ENUM(TMenuBreak, "mbNone", "mbBreak", "mbBarBreak");
TW_ENUM(TPopupAlignment, "paLeft", "paRight", "paCenter");

TW_PUBLISH(TMenuItem, TComponent)
{
    Cls.Str("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption);
    Cls.Bool("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked).Default(false);
    Cls.Bool("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled).Default(true);
    Cls.Bool("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible).Default(true);
    Cls.Bool("Default", &TMenuItem::Default, &TMenuItem::SetDefault).Default(false);
    Cls.Bool("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem).Default(false);
    Cls.Int("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex).Default(0);
    Cls.Enum("Break", &TMenuItem::Break, &TMenuItem::SetBreak).Default(mbNone);
    Cls.Int("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut).Default(0);
    Cls.Str("Hint", &TMenuItem::Hint);
    Cls.Int("HelpContext", &TMenuItem::HelpContext).Default(0);
    Cls.Event("OnClick", &TMenuItem::OnClick);
}

TW_PUBLISH(TMenu, TComponent) {}

TW_PUBLISH(TMainMenu, TMenu)
{
    Cls.Bool("AutoMerge", &TMainMenu::AutoMerge).Default(false);
}

TW_PUBLISH(TPopupMenu, TMenu)
{
    Cls.Bool("AutoPopup", &TPopupMenu::AutoPopup).Default(true);
    Cls.Enum("Alignment", &TPopupMenu::Alignment).Default(paLeft);
    Cls.Event("OnPopup", &TPopupMenu::OnPopup);
    Cls.Message(WM_INITMENUPOPUP, &TPopupMenu::WMInitMenuPopup);
    Cls.Message(WM_MENUSELECT, &TPopupMenu::WMMenuSelect);
}
