#include "platform/controls/Menus.h"
#include "platform/controls/StdEdit.h"
#include "platform/testing/FormTesting.h"
#include "platform/testing/WinTesting.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

struct TShortCutCase {
    TShortCut Value;
    const char* Text;
};

TEST(ShortCutTest, TextRoundTrip)
{
    const TShortCutCase Cases[] = {
        {static_cast<TShortCut>(scCtrl | 'S'), "Ctrl+S"},
        {static_cast<TShortCut>(scShift | VK_F5), "Shift+F5"},
        {static_cast<TShortCut>(scAlt | 'X'), "Alt+X"},
        {static_cast<TShortCut>(scShift | scCtrl | 'N'), "Shift+Ctrl+N"},
        {VK_DELETE, "Del"},
        {static_cast<TShortCut>(scCtrl | VK_INSERT), "Ctrl+Ins"},
        {VK_F12, "F12"},
    };
    for (const auto& C : Cases) {
        EXPECT_EQ(ShortCutToText(C.Value), C.Text);
        EXPECT_EQ(TextToShortCut(C.Text), C.Value) << C.Text;
    }
    EXPECT_EQ(TextToShortCut("ctrl+s"), static_cast<TShortCut>(scCtrl | 'S'));
    EXPECT_EQ(TextToShortCut("Ctrl+"), scNone);
    EXPECT_EQ(TextToShortCut("Hyper+Q"), scNone);
    EXPECT_EQ(ShortCut('S', TShiftState{ssCtrl}), 16467); // the value stored forms hold
    WORD Key;
    TShiftState Shift;
    ShortCutToKey(static_cast<TShortCut>(scAlt | scShift | VK_F4), Key, Shift);
    EXPECT_EQ(Key, VK_F4);
    EXPECT_TRUE(Shift.Contains(ssAlt) && Shift.Contains(ssShift) && !Shift.Contains(ssCtrl));
}

TEST(ShortCutTest, Accelerators)
{
    EXPECT_EQ(GetHotkey("&File"), 'f');
    EXPECT_EQ(GetHotkey("Save &As..."), 'a');
    EXPECT_EQ(GetHotkey("Fish && Chips"), 0);
    EXPECT_EQ(GetHotkey("&&x&y"), 'y');
    EXPECT_EQ(GetHotkey("trailing&"), 0);
    EXPECT_EQ(StripHotkey("Save &As..."), "Save As...");
    EXPECT_EQ(StripHotkey("Fish && Chips"), "Fish & Chips");
    EXPECT_TRUE(IsAccel('F', "&File"));
    EXPECT_TRUE(IsAccel('f', "&File"));
    EXPECT_FALSE(IsAccel('I', "&File"));
}

class MenuTest : public ::testing::Test {
protected:
    TWindowTest Fixture;
    TComponent Owner{nullptr};
    TMenuItem* Item(const std::string& Caption, TMenuItem* Parent)
    {
        auto* I = new TMenuItem(&Owner);
        I->SetCaption(Caption);
        Parent->Add(I);
        return I;
    }
};

TEST_F(MenuTest, RadioItemsOfAGroupExcludeEachOther)
{
    TPopupMenu Menu(&Owner);
    TMenuItem* A = Item("A", Menu.Items());
    TMenuItem* B = Item("B", Menu.Items());
    TMenuItem* C = Item("C", Menu.Items());
    for (TMenuItem* I : {A, B})
        I->SetRadioItem(true);
    C->SetRadioItem(true);
    C->SetGroupIndex(2);
    A->SetChecked(true);
    C->SetChecked(true);
    B->SetChecked(true);
    EXPECT_FALSE(A->Checked());
    EXPECT_TRUE(B->Checked());
    EXPECT_TRUE(C->Checked()); // another group
}

TEST_F(MenuTest, ItemsAddInsertDeleteAndFind)
{
    TPopupMenu Menu(&Owner);
    TMenuItem* A = Item("&Alpha", Menu.Items());
    TMenuItem* C = Item("&Gamma", Menu.Items());
    auto* B = new TMenuItem(&Owner);
    B->SetCaption("&Beta");
    Menu.Items()->Insert(1, B);
    EXPECT_EQ(Menu.Items()->IndexOf(B), 1);
    EXPECT_EQ(B->MenuIndex(), 1);
    EXPECT_EQ(B->Parent(), Menu.Items());
    EXPECT_EQ(Menu.Items()->Find("Gamma"), C);
    EXPECT_THROW(Menu.Items()->Add(B), EMenuError);
    EXPECT_THROW(Menu.Items()->Insert(9, new TMenuItem(&Owner)), EMenuError);
    Menu.Items()->Delete(0);
    EXPECT_EQ(A->Parent(), nullptr);
    EXPECT_EQ(Menu.Items()->Count(), 2);
    EXPECT_EQ(Menu.FindItem(C->Command(), fkCommand), C);
    C->SetShortCut(TextToShortCut("Ctrl+G"));
    EXPECT_EQ(Menu.FindItem(TextToShortCut("Ctrl+G"), fkShortCut), C);
    EXPECT_NE(A->Command(), C->Command());
    // Freeing an item takes it out of its menu.
    delete B;
    EXPECT_EQ(Menu.Items()->Count(), 1);
}

TEST_F(MenuTest, HandleReflectsTheItems)
{
    TPopupMenu Menu(&Owner);
    TMenuItem* Open = Item("&Open", Menu.Items());
    Open->SetShortCut(TextToShortCut("Ctrl+O"));
    Item("-", Menu.Items());
    TMenuItem* Wrap = Item("&Wrap", Menu.Items());
    Wrap->SetChecked(true);
    TMenuItem* Gone = Item("Hidden", Menu.Items());
    Gone->SetVisible(false);
    TMenuItem* Recent = Item("&Recent", Menu.Items());
    TMenuItem* One = Item("one.txt", Recent);
    One->SetEnabled(false);
    auto Entries = GetMenuEntries(Menu.Handle());
    ASSERT_EQ(Entries.size(), 4u);
    EXPECT_EQ(Entries[0].Text, "&Open\tCtrl+O");
    EXPECT_EQ(Entries[0].Id, Open->Command());
    EXPECT_TRUE(Entries[1].Flags & MF_SEPARATOR);
    EXPECT_TRUE(Entries[2].Flags & MF_CHECKED);
    EXPECT_TRUE(Entries[3].Flags & MF_POPUP);
    auto Sub = GetMenuEntries(Entries[3].SubMenu);
    ASSERT_EQ(Sub.size(), 1u);
    EXPECT_TRUE(Sub[0].Flags & MF_GRAYED);
    // Changes reach the handle.
    Wrap->SetChecked(false);
    Gone->SetVisible(true);
    Entries = GetMenuEntries(Menu.Handle());
    ASSERT_EQ(Entries.size(), 5u);
    EXPECT_FALSE(Entries[2].Flags & MF_CHECKED);
    EXPECT_EQ(Entries[3].Text, "Hidden");
}

TEST_F(MenuTest, TrackPopupMenuSendsItsMessages)
{
    TPopupMenu Menu(&Owner);
    TMenuItem* File = Item("&File", Menu.Items());
    TMenuItem* Open = Item("&Open", File);
    std::vector<UINT> Seen;
    WORD Command = 0;
    HWND Wnd = AllocateHWnd([&](TMessage& M) {
        if (M.Msg == WM_INITMENUPOPUP || M.Msg == WM_MENUSELECT || M.Msg == WM_COMMAND)
            Seen.push_back(M.Msg);
        if (M.Msg == WM_COMMAND)
            Command = LOWORD(M.WParam);
    });
    Fixture.MenuChoices.ExpectChoice({"File", "Open"});
    EXPECT_TRUE(TrackPopupMenu(Menu.Handle(), TPM_LEFTALIGN, 10, 10, 0, Wnd, nullptr));
    ProcessMessages();
    // Opened, File highlighted, its submenu opened, Open highlighted, closed, then the command.
    EXPECT_EQ(Seen, (std::vector<UINT>{WM_INITMENUPOPUP, WM_MENUSELECT, WM_INITMENUPOPUP, WM_MENUSELECT,
                                       WM_MENUSELECT, WM_COMMAND}));
    EXPECT_EQ(Command, Open->Command());
    Fixture.MenuChoices.ExpectChoice({"File", "Open"});
    EXPECT_EQ(static_cast<UINT>(TrackPopupMenu(Menu.Handle(), TPM_RETURNCMD, 0, 0, 0, Wnd, nullptr)),
              Open->Command());
    DeallocateHWnd(Wnd);
}

TEST_F(MenuTest, PopupRunsTheChosenItemAndFiresOnPopup)
{
    TPopupMenu Menu(&Owner);
    TMenuItem* Cut = Item("Cu&t", Menu.Items());
    TMenuItem* Paste = Item("&Paste", Menu.Items());
    Paste->SetEnabled(false);
    int Popups = 0, Cuts = 0, Pastes = 0;
    Menu.OnPopup = [&](TObject*) { ++Popups; };
    Cut->OnClick = [&](TObject*) { ++Cuts; };
    Paste->OnClick = [&](TObject*) { ++Pastes; };
    Fixture.MenuChoices.ExpectChoice({"Cut"});
    Menu.Popup(100, 100);
    Fixture.MenuChoices.ExpectChoice({"Paste"}); // disabled: nothing happens
    Menu.Popup(100, 100);
    EXPECT_EQ(Popups, 2);
    EXPECT_EQ(Cuts, 1);
    EXPECT_EQ(Pastes, 0);
}

} // namespace

namespace {

// A menu shortcut that is also a key of the focused edit runs the menu item only: Ctrl+Z undone
// twice would give the text back.
TEST(MenuShortCutTest, TheMenuItemTakesTheKeyBeforeTheFocusedEdit)
{
    TWindowTest Fixture;
    auto* F = new TForm(nullptr);
    F->SetBounds(100, 100, 300, 200);
    auto* Menu = new TMainMenu(F);
    auto* Edit = new TMenuItem(F);
    Edit->SetCaption("&Edit");
    Menu->Items()->Add(Edit);
    auto* UndoItem = new TMenuItem(F);
    UndoItem->SetCaption("&Undo");
    UndoItem->SetShortCut(ShortCut('Z', TShiftState{ssCtrl}));
    Edit->Add(UndoItem);
    F->SetMenu(Menu);
    auto* M = new TMemo(F);
    M->SetParent(F);
    M->SetBounds(0, 0, 200, 100);
    int Undos = 0;
    UndoItem->OnClick = [&](TObject*) {
        ++Undos;
        M->Undo();
    };
    F->Show();
    ProcessMessages();
    M->SetFocus();
    M->SetText("abc");
    M->SetSelStart(3);
    PressKey('D', "d");
    ASSERT_EQ(M->Text(), "abcd");
    PressShortCut('Z', TShiftState{ssCtrl});
    EXPECT_EQ(Undos, 1);
    EXPECT_EQ(M->Text(), "abc");
    // Without the item the edit's own Ctrl+Z works: it takes the undo back.
    UndoItem->SetShortCut(0);
    PressShortCut('Z', TShiftState{ssCtrl});
    EXPECT_EQ(Undos, 1);
    EXPECT_EQ(M->Text(), "abcd");
    F->BeforeDestruction();
    delete F;
}

} // namespace

namespace {

// A form with a menu bar (File > Open Ctrl+O, Exit) and a memo, as the editors have them.
class MenuKeysTest : public ::testing::Test {
protected:
    MenuKeysTest()
    {
        Form = new TForm(nullptr);
        Form->SetBounds(100, 100, 300, 200);
        auto* Menu = new TMainMenu(Form);
        File = Add(Menu->Items(), "&File");
        Open = Add(File, "&Open");
        Open->SetShortCut(ShortCut('O', TShiftState{ssCtrl}));
        Exit = Add(File, "E&xit");
        Open->OnClick = [this](TObject*) { ++Opens; };
        Exit->OnClick = [this](TObject*) { ++Exits; };
        Form->SetMenu(Menu);
        Memo = new TMemo(Form);
        Memo->SetParent(Form);
        Memo->SetBounds(0, 0, 200, 100);
        Form->Show();
        ProcessMessages();
    }
    ~MenuKeysTest() override
    {
        Form->BeforeDestruction();
        delete Form;
    }
    TMenuItem* Add(TMenuItem* Parent, const std::string& Caption)
    {
        auto* I = new TMenuItem(Form);
        I->SetCaption(Caption);
        Parent->Add(I);
        return I;
    }
    void Type(const std::string& Text)
    {
        for (char C : Text)
            PressKey(std::toupper(static_cast<unsigned char>(C)), std::string(1, C));
    }

    TWindowTest Fixture;
    TForm* Form = nullptr;
    TMenuItem* File = nullptr;
    TMenuItem* Open = nullptr;
    TMenuItem* Exit = nullptr;
    TMemo* Memo = nullptr;
    int Opens = 0, Exits = 0;
};

// Alt+F opens the File menu, and the menu has the keyboard until Escape closes it: the F and the
// Alt go up there, so the program never hears them. Once the menu is left, letters are text
// again, not accelerators, and Ctrl shortcuts work.
TEST_F(MenuKeysTest, LettersAfterAnAltMenuAreText)
{
    ClickControl(Memo, 5, 5);
    Fixture.MenuChoices.ExpectHighlightOnly({}, [] {
        SimulateKeyElsewhere(WM_KEYUP, 'F');
        SimulateKeyElsewhere(WM_KEYUP, VK_MENU);
        SimulateKeyElsewhere(WM_KEYDOWN, VK_ESCAPE);
        SimulateKeyElsewhere(WM_KEYUP, VK_ESCAPE);
    });
    SimulateKey(WM_KEYDOWN, VK_MENU);
    SimulateKey(WM_KEYDOWN, 'F');
    ProcessMessages();
    ASSERT_EQ(Fixture.MenuChoices.MenusShown(), 1);
    EXPECT_EQ(Fixture.MenuChoices.LastCaptions(), (std::vector<std::string>{"Open", "Exit"}));
    ClickControl(Memo, 5, 5);
    Type("fix");
    EXPECT_EQ(Memo->Text(), "fix");
    EXPECT_EQ(Exits, 0);
    EXPECT_EQ(Opens, 0);
    EXPECT_EQ(Fixture.MenuChoices.MenusShown(), 1);
    PressShortCut('O', TShiftState{ssCtrl});
    EXPECT_EQ(Opens, 1);
}

// With nothing focused (the last document closed, a tool window gone) the keys reach the active
// window as system keys; Ctrl+O is still Ctrl+O, and a letter without Alt opens no menu.
TEST_F(MenuKeysTest, ShortCutsWorkWithNothingFocused)
{
    ClickControl(Memo, 5, 5);
    ::SetFocus(nullptr);
    ASSERT_EQ(GetFocus(), nullptr);
    PressShortCut('O', TShiftState{ssCtrl});
    EXPECT_EQ(Opens, 1);
    PressKey('F', "f");
    EXPECT_EQ(Fixture.MenuChoices.MenusShown(), 0);
    Fixture.MenuChoices.ExpectChoice({"Exit"});
    PressShortCut('F', TShiftState{ssAlt});
    EXPECT_EQ(Exits, 1);
}

} // namespace
