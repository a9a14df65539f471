#include "platform/controls/StdLists.h"
#include "platform/classes/FormReader.h"
#include "platform/classes/TypInfo.h"
#include "platform/controls/ComCtrls.h"
#include "platform/controls/FileCtrl.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Grids.h"
#include "platform/controls/Spin.h"
#include "platform/testing/FormTesting.h"
#include "platform/testing/WinTesting.h"
#include "platform/testing/StringsTesting.h"

#include "platform/controls/tests/ControlsTestFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testing_support;

namespace {

class ListsTest : public controls_testing::TLoadedFormTest {};

const char* const FiveItems = R"(  object ListBox1: TListBox
    Left = 10
    Top = 10
    Width = 120
    Height = 100
    Items.Strings = (
      'one'
      'two'
      'three'
      'four'
      'five'
      'six'
      'seven'
      'eight'
      'nine'
      'ten'
      'eleven'
      'twelve')
  end
)";

TEST_F(ListsTest, ListBoxStreamsItsPropertiesFromAForm)
{
    Load(R"(  object ListBox1: TListBox
    Left = 10
    Top = 10
    Width = 120
    Height = 100
    ItemIndex = 1
    MultiSelect = True
    ExtendedSelect = False
    Sorted = True
    Style = lbOwnerDrawFixed
    ItemHeight = 20
    Items.Strings = (
      'pear'
      'Apple'
      'fig')
  end
)");
    auto* L = Find<TListBox>("ListBox1");
    ASSERT_NE(L, nullptr);
    // Sorted without regard to case; ItemIndex read before the items still applies.
    EXPECT_EQ(ItemsOf(L->Items()), (std::vector<std::string>{"Apple", "fig", "pear"}));
    EXPECT_EQ(L->ItemIndex(), 1);
    EXPECT_TRUE(L->MultiSelect());
    EXPECT_FALSE(L->ExtendedSelect());
    EXPECT_EQ(L->Style(), lbOwnerDrawFixed);
    EXPECT_EQ(L->ItemHeight(), 20);
    EXPECT_EQ(L->Perform(LB_GETCOUNT, 0, 0), 3);
}

TEST_F(ListsTest, StandardItemHeightFollowsTheFont)
{
    Load(FiveItems);
    auto* L = Find<TListBox>("ListBox1");
    int Small = L->ItemHeight();
    EXPECT_EQ(Small, FontLineHeight(L->Font()));
    EXPECT_EQ(L->Perform(LB_GETITEMHEIGHT, 0, 0), Small);
    L->Font()->SetSize(20);
    EXPECT_GT(L->ItemHeight(), Small);
    // The stored height only counts for owner-drawn lists.
    L->SetItemHeight(40);
    EXPECT_EQ(L->ItemHeight(), FontLineHeight(L->Font()));
    L->SetStyle(lbOwnerDrawFixed);
    EXPECT_EQ(L->ItemHeight(), 40);
}

TEST_F(ListsTest, ClickSelectsTheItemUnderThePointerAndFiresOnClick)
{
    Load(FiveItems);
    auto* L = Find<TListBox>("ListBox1");
    int H = L->ItemHeight();
    int Clicks = 0, Doubles = 0;
    L->OnClick = [&](TObject*) { ++Clicks; };
    L->OnDblClick = [&](TObject*) { ++Doubles; };
    ASSERT_TRUE(ClickControl(L, 10, 2 * H + H / 2));
    EXPECT_EQ(L->ItemIndex(), 2);
    EXPECT_TRUE(L->Selected(2));
    EXPECT_FALSE(L->Selected(0));
    EXPECT_EQ(Clicks, 1);
    EXPECT_TRUE(L->Focused());
    ASSERT_TRUE(DoubleClickControl(L, 10, 3 * H + 1));
    EXPECT_EQ(L->ItemIndex(), 3);
    EXPECT_EQ(Doubles, 1);
    // Below the last item nothing changes.
    L->Items()->BeginUpdate();
    while (L->Items()->Count() > 2)
        L->Items()->Delete(2);
    L->Items()->EndUpdate();
    EXPECT_EQ(L->ItemIndex(), -1); // the selected item went
    Clicks = 0;
    ASSERT_TRUE(ClickControl(L, 10, 5 * H));
    EXPECT_EQ(L->ItemIndex(), -1);
    EXPECT_EQ(Clicks, 0);
    // Setting ItemIndex from code fires nothing.
    L->SetItemIndex(1);
    EXPECT_EQ(Clicks, 0);
    L->SetItemIndex(7);
    EXPECT_EQ(L->ItemIndex(), -1);
}

TEST_F(ListsTest, KeysMoveTheSelectionAndScrollTopIndex)
{
    Load(FiveItems);
    auto* L = Find<TListBox>("ListBox1");
    int Rows = L->VisibleRows();
    ASSERT_LT(Rows, 12);
    int Clicks = 0;
    L->OnClick = [&](TObject*) { ++Clicks; };
    L->SetFocus();
    ProcessMessages();
    ASSERT_TRUE(PressKey(VK_DOWN));
    EXPECT_EQ(L->ItemIndex(), 0); // from no selection the first item
    ASSERT_TRUE(PressKey(VK_DOWN));
    EXPECT_EQ(L->ItemIndex(), 1);
    EXPECT_EQ(Clicks, 2);
    ASSERT_TRUE(PressKey(VK_END));
    EXPECT_EQ(L->ItemIndex(), 11);
    EXPECT_EQ(L->TopIndex(), 12 - Rows);
    EXPECT_EQ(L->Perform(LB_GETTOPINDEX, 0, 0), 12 - Rows);
    ASSERT_TRUE(PressKey(VK_DOWN)); // at the end: no move, no event
    EXPECT_EQ(Clicks, 3);
    ASSERT_TRUE(PressKey(VK_HOME));
    EXPECT_EQ(L->ItemIndex(), 0);
    EXPECT_EQ(L->TopIndex(), 0);
    // A letter goes to the next item starting with it.
    ASSERT_TRUE(PressKey('T', "t"));
    EXPECT_EQ(L->Items()->Strings(L->ItemIndex()), "two");
    ASSERT_TRUE(PressKey('T', "t"));
    EXPECT_EQ(L->Items()->Strings(L->ItemIndex()), "three");
    // TopIndex is clamped to what can still fill the box.
    L->SetTopIndex(100);
    EXPECT_EQ(L->TopIndex(), 12 - Rows);
    L->SetTopIndex(-3);
    EXPECT_EQ(L->TopIndex(), 0);
}

TEST_F(ListsTest, ExtendedSelectionTakesShiftAndControlClicks)
{
    Load(FiveItems);
    auto* L = Find<TListBox>("ListBox1");
    L->SetMultiSelect(true);
    int H = L->ItemHeight();
    auto Row = [H](int I) { return I * H + 1; };
    ASSERT_TRUE(ClickControl(L, 5, Row(1)));
    // Modifiers are held on the keyboard, as a user does.
    ASSERT_TRUE(SimulateKey(WM_KEYDOWN, VK_SHIFT));
    ASSERT_TRUE(ClickControl(L, 5, Row(3)));
    ASSERT_TRUE(SimulateKey(WM_KEYUP, VK_SHIFT));
    ProcessMessages();
    EXPECT_EQ(L->SelCount(), 3);
    for (int I : {1, 2, 3})
        EXPECT_TRUE(L->Selected(I)) << I;
    EXPECT_EQ(L->ItemIndex(), 3);
    ASSERT_TRUE(SimulateKey(WM_KEYDOWN, VK_CONTROL));
    ASSERT_TRUE(ClickControl(L, 5, Row(2)));
    ASSERT_TRUE(SimulateKey(WM_KEYUP, VK_CONTROL));
    ProcessMessages();
    EXPECT_FALSE(L->Selected(2));
    EXPECT_EQ(L->SelCount(), 2);
    EXPECT_EQ(L->Perform(LB_GETSELCOUNT, 0, 0), 2);
    // A plain click starts again.
    ASSERT_TRUE(ClickControl(L, 5, Row(5)));
    EXPECT_EQ(L->SelCount(), 1);
    EXPECT_TRUE(L->Selected(5));
    // Selected[] from code, and LB_SETSEL for all items.
    L->SetSelected(0, true);
    EXPECT_EQ(L->SelCount(), 2);
    L->Perform(LB_SETSEL, 0, -1);
    EXPECT_EQ(L->SelCount(), 0);
    EXPECT_THROW(L->Selected(12), EListError);
}

TEST_F(ListsTest, PlainMultiSelectTogglesWithClicksAndTheSpaceBar)
{
    Load(FiveItems);
    auto* L = Find<TListBox>("ListBox1");
    L->SetMultiSelect(true);
    L->SetExtendedSelect(false);
    int H = L->ItemHeight();
    ASSERT_TRUE(ClickControl(L, 5, 1));
    ASSERT_TRUE(ClickControl(L, 5, 2 * H + 1));
    EXPECT_EQ(L->SelCount(), 2);
    ASSERT_TRUE(ClickControl(L, 5, 1));
    EXPECT_FALSE(L->Selected(0));
    // Keys move the focus rectangle only; the space bar toggles.
    ASSERT_TRUE(PressKey(VK_DOWN));
    EXPECT_EQ(L->ItemIndex(), 1);
    EXPECT_EQ(L->SelCount(), 1);
    ASSERT_TRUE(PressKey(VK_SPACE, " "));
    EXPECT_TRUE(L->Selected(1));
    EXPECT_EQ(L->SelCount(), 2);
    // Single selection has no count.
    L->SetMultiSelect(false);
    EXPECT_EQ(L->SelCount(), -1);
}

TEST_F(ListsTest, ListBoxMessagesAnswerLikeTheListControl)
{
    Load(FiveItems);
    auto* L = Find<TListBox>("ListBox1");
    char Buf[32] = {};
    EXPECT_EQ(L->Perform(LB_GETTEXT, 2, reinterpret_cast<LPARAM>(Buf)), 5);
    EXPECT_STREQ(Buf, "three");
    EXPECT_EQ(L->Perform(LB_GETTEXTLEN, 40, 0), LB_ERR);
    EXPECT_EQ(L->Perform(LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("TEN")), 9);
    EXPECT_EQ(L->Perform(LB_FINDSTRING, 9, reinterpret_cast<LPARAM>("t")), 11); // wraps after 'ten'
    EXPECT_EQ(L->Perform(LB_SETCURSEL, 4, 0), 4);
    EXPECT_EQ(L->ItemIndex(), 4);
    EXPECT_EQ(L->Perform(LB_GETCURSEL, 0, 0), 4);
    // Inserting above the selection moves it along; deleting it clears it.
    EXPECT_EQ(L->Perform(LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("zero")), 0);
    EXPECT_EQ(L->ItemIndex(), 5);
    L->Perform(LB_DELETESTRING, 5, 0);
    EXPECT_EQ(L->ItemIndex(), -1);
    EXPECT_EQ(L->Perform(LB_SETTOPINDEX, 3, 0), 0);
    EXPECT_EQ(L->TopIndex(), 3);
    RECT R;
    EXPECT_EQ(L->Perform(LB_GETITEMRECT, 4, reinterpret_cast<LPARAM>(&R)), 1);
    EXPECT_EQ(R.top, L->ItemHeight());
    EXPECT_EQ(L->ItemAtPos(TPoint{3, R.top + 1}, true), 4);
    L->Perform(LB_RESETCONTENT, 0, 0);
    EXPECT_EQ(L->Items()->Count(), 0);
    EXPECT_EQ(L->TopIndex(), 0);
}

TEST_F(ListsTest, ListAndComboBoxAnswerTheItemMessagesAlike)
{
    TListBox List(nullptr);
    TComboBox Combo(nullptr);
    const struct {
        const char* What;
        TControl* Control;
        UINT Add, Insert, Delete, Count, Text, TextLen, GetData, SetData, Find, FindExact;
        LRESULT Err;
    } Cases[] = {
        {"list box", &List, LB_ADDSTRING, LB_INSERTSTRING, LB_DELETESTRING, LB_GETCOUNT, LB_GETTEXT,
         LB_GETTEXTLEN, LB_GETITEMDATA, LB_SETITEMDATA, LB_FINDSTRING, LB_FINDSTRINGEXACT, LB_ERR},
        {"combo box", &Combo, CB_ADDSTRING, CB_INSERTSTRING, CB_DELETESTRING, CB_GETCOUNT, CB_GETLBTEXT,
         CB_GETLBTEXTLEN, CB_GETITEMDATA, CB_SETITEMDATA, CB_FINDSTRING, CB_FINDSTRINGEXACT, CB_ERR},
    };
    auto Str = [](const char* S) { return reinterpret_cast<LPARAM>(S); };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.What);
        auto Send = [&](UINT Msg, WPARAM W, LPARAM L) { return C.Control->Perform(Msg, W, L); };
        const auto Last = static_cast<WPARAM>(-1);
        EXPECT_EQ(Send(C.Find, Last, Str("a")), C.Err); // nothing to find in an empty list
        EXPECT_EQ(Send(C.Add, 0, Str("alpha")), 0);
        EXPECT_EQ(Send(C.Add, 0, Str("beta")), 1);
        EXPECT_EQ(Send(C.Insert, 0, Str("gamma")), 0);
        EXPECT_EQ(Send(C.Insert, Last, Str("delta")), 3); // -1 appends
        EXPECT_EQ(Send(C.Insert, 9, Str("far")), C.Err);
        EXPECT_EQ(Send(C.Count, 0, 0), 4);

        char Buf[16] = {};
        EXPECT_EQ(Send(C.Text, 2, reinterpret_cast<LPARAM>(Buf)), 4);
        EXPECT_STREQ(Buf, "beta");
        EXPECT_EQ(Send(C.Text, 4, reinterpret_cast<LPARAM>(Buf)), C.Err);
        EXPECT_EQ(Send(C.TextLen, 0, 0), 5);
        EXPECT_EQ(Send(C.TextLen, Last, 0), C.Err);

        EXPECT_EQ(Send(C.SetData, 1, 0x1234), 0);
        EXPECT_EQ(Send(C.GetData, 1, 0), 0x1234);
        EXPECT_EQ(Send(C.SetData, 7, 1), C.Err);
        EXPECT_EQ(Send(C.GetData, 7, 0), C.Err);

        // Searches start after WParam and wrap; the exact one ignores case.
        EXPECT_EQ(Send(C.Find, 0, Str("a")), 1);
        EXPECT_EQ(Send(C.Find, 1, Str("g")), 0);
        EXPECT_EQ(Send(C.FindExact, Last, Str("DELTA")), 3);
        EXPECT_EQ(Send(C.FindExact, Last, Str("delt")), -1);

        EXPECT_EQ(Send(C.Delete, 0, 0), 3); // the count left
        EXPECT_EQ(Send(C.Delete, 3, 0), C.Err);
        EXPECT_EQ(ItemsOf(C.Control == &List ? List.Items() : Combo.Items()),
                  (std::vector<std::string>{"alpha", "beta", "delta"}));
    }
    EXPECT_EQ(Combo.Perform(CB_SELECTSTRING, static_cast<WPARAM>(-1), Str("be")), 1);
    EXPECT_EQ(Combo.ItemIndex(), 1);
}

TEST_F(ListsTest, StandardListPaintsTheSelectionInTheHighlightColours)
{
    Load(FiveItems);
    auto* L = Find<TListBox>("ListBox1");
    L->SetItemIndex(1);
    int H = L->ItemHeight();
    auto Img = RenderControl(L);
    // The selected row is highlighted to the right edge; the others are on the window colour.
    EXPECT_EQ(PixelAt(Img.get(), L->ClientWidth() - 2, H + H / 2), ColorToRGB(clHighlight));
    EXPECT_EQ(PixelAt(Img.get(), L->ClientWidth() - 2, H / 2), ColorToRGB(clWindow));
    EXPECT_EQ(PixelAt(Img.get(), L->ClientWidth() - 2, 2 * H + H / 2), ColorToRGB(clWindow));
    // Its text is in the highlight text colour, the others' in the font colour.
    auto Has = [&](int Row, TColor Colour) {
        for (int X = 0; X < 40; ++X)
            for (int Y = Row * H; Y < Row * H + H; ++Y)
                if (PixelAt(Img.get(), X, Y) == ColorToRGB(Colour))
                    return true;
        return false;
    };
    EXPECT_TRUE(Has(1, clHighlightText));
    EXPECT_TRUE(Has(0, ColorToRGB(L->Font()->Color())));
    EXPECT_FALSE(Has(0, clHighlight));
}

struct TDrawCall {
    int Index;
    TRect Rect;
    TOwnerDrawState State;
};

TEST_F(ListsTest, OwnerDrawnListDrawsEachShownItemInItsRow)
{
    Load(FiveItems);
    auto* L = Find<TListBox>("ListBox1");
    L->SetStyle(lbOwnerDrawFixed);
    L->SetItemHeight(30);
    std::vector<TDrawCall> Calls;
    L->OnDrawItem = [&](TWinControl* C, int Index, const TRect& R, TOwnerDrawState S) {
        EXPECT_EQ(C, L);
        Calls.push_back({Index, R, S});
    };
    L->SetItemIndex(1);
    L->SetTopIndex(1);
    L->Invalidate();
    ProcessMessages();
    // 96 client pixels: rows 1, 2, 3 and the top of 4.
    ASSERT_EQ(Calls.size(), 4u);
    for (int K = 0; K < 4; ++K) {
        EXPECT_EQ(Calls[K].Index, K + 1);
        EXPECT_EQ(Calls[K].Rect, (TRect{0, K * 30, L->ClientWidth(), K * 30 + 30}));
        EXPECT_EQ(Calls[K].State.Contains(odSelected), K == 0);
    }
}

// ---- Combo boxes --------------------------------------------------------------------------
const char* const Combo = R"(  object ComboBox1: TComboBox
    Left = 10
    Top = 10
    Width = 150
    Height = 60
    Style = csDropDownList
    ItemIndex = 1
    DropDownCount = 4
    Items.Strings = (
      'red'
      'green'
      'blue'
      'cyan'
      'magenta'
      'yellow')
  end
)";

TEST_F(ListsTest, ComboBoxStreamsAndTakesTheHeightOfOneItem)
{
    Load(Combo);
    auto* C = Find<TComboBox>("ComboBox1");
    ASSERT_NE(C, nullptr);
    EXPECT_EQ(C->Style(), csDropDownList);
    EXPECT_EQ(C->ItemIndex(), 1);
    EXPECT_EQ(C->Text(), "green");
    EXPECT_EQ(C->DropDownCount, 4);
    EXPECT_EQ(C->Height(), FontLineHeight(C->Font()) + 8);
    C->SetStyle(csOwnerDrawFixed);
    C->SetItemHeight(20);
    EXPECT_EQ(C->Height(), 28);
    EXPECT_EQ(C->Perform(CB_GETITEMHEIGHT, 0, 0), 20);
}

TEST_F(ListsTest, ComboBoxKeysPickItemsAndFireOnClickThenOnChange)
{
    Load(Combo);
    auto* C = Find<TComboBox>("ComboBox1");
    std::vector<std::string> Log;
    C->OnChange = [&](TObject*) { Log.push_back("change " + C->Text()); };
    C->OnClick = [&](TObject*) { Log.push_back("click"); };
    C->SetFocus();
    ProcessMessages();
    ASSERT_TRUE(PressKey(VK_DOWN));
    EXPECT_EQ(C->ItemIndex(), 2);
    ASSERT_TRUE(PressKey('Y', "y"));
    EXPECT_EQ(C->ItemIndex(), 5);
    ASSERT_TRUE(PressKey(VK_DOWN)); // already the last
    EXPECT_EQ(Log, (std::vector<std::string>{"click", "change blue", "click", "change yellow"}));
    // From code: no events; a list-only box shows an item or nothing.
    Log.clear();
    C->SetItemIndex(0);
    C->SetText("cyan");
    EXPECT_EQ(C->ItemIndex(), 3);
    C->SetText("nothing like it");
    EXPECT_EQ(C->ItemIndex(), -1);
    EXPECT_EQ(C->Text(), "");
    EXPECT_TRUE(Log.empty());
}

TEST_F(ListsTest, DropDownComboEditsItsText)
{
    Load(R"(  object ComboBox2: TComboBox
    Left = 10
    Top = 10
    Width = 150
    Height = 21
    Text = 'Select Button.'
    Items.Strings = (
      '1'
      '2'
      '3')
  end
  object ComboBox3: TComboBox
    Left = 10
    Top = 40
    Width = 150
    Height = 21
  end
)");
    auto* C = Find<TComboBox>("ComboBox2");
    EXPECT_EQ(C->Style(), csDropDown);
    EXPECT_EQ(C->Text(), "Select Button.");
    EXPECT_EQ(C->ItemIndex(), -1);
    std::vector<std::string> Changes;
    C->OnChange = [&](TObject*) { Changes.push_back(C->Text()); };
    // Getting the focus selects the whole text, so typing replaces it.
    C->SetFocus();
    ProcessMessages();
    EXPECT_EQ(C->SelLength(), 14);
    ASSERT_TRUE(PressKey('4', "4"));
    ASSERT_TRUE(PressKey('2', "2"));
    EXPECT_EQ(C->Text(), "42");
    // The caret moves with the keys; Backspace and Delete take one character.
    ASSERT_TRUE(PressKey(VK_HOME));
    ASSERT_TRUE(PressKey('1', "1"));
    ASSERT_TRUE(PressKey(VK_DELETE));
    EXPECT_EQ(C->Text(), "12");
    ASSERT_TRUE(PressKey(VK_END));
    ASSERT_TRUE(PressKey(VK_BACK));
    EXPECT_EQ(C->Text(), "1");
    EXPECT_EQ(Changes, (std::vector<std::string>{"4", "42", "142", "12", "1"}));
    // Shift with the arrows selects.
    ASSERT_TRUE(PressKey('0', "0"));
    ASSERT_TRUE(SimulateKey(WM_KEYDOWN, VK_SHIFT));
    ASSERT_TRUE(PressKey(VK_LEFT));
    ASSERT_TRUE(PressKey(VK_LEFT));
    ASSERT_TRUE(SimulateKey(WM_KEYUP, VK_SHIFT));
    EXPECT_EQ(C->SelText(), "10");
    // Choosing an item from the list puts its text in the field.
    ASSERT_TRUE(PressKey(VK_DOWN));
    EXPECT_EQ(C->Text(), "1");
    EXPECT_EQ(C->ItemIndex(), 0);
    // Leaving and coming back selects everything again.
    Find<TComboBox>("ComboBox3")->SetFocus();
    C->SetFocus();
    ProcessMessages();
    EXPECT_EQ(C->SelText(), "1");
}

TEST_F(ListsTest, DroppedDownListChoosesWithTheMouse)
{
    Load(Combo);
    auto* C = Find<TComboBox>("ComboBox1");
    int DropDowns = 0, Changes = 0;
    C->OnDropDown = [&](TObject*) { ++DropDowns; };
    C->OnChange = [&](TObject*) { ++Changes; };
    ASSERT_TRUE(ClickControl(C, 20, 5));
    ASSERT_TRUE(C->DroppedDown());
    EXPECT_EQ(DropDowns, 1);
    TCustomListBox* List = C->DropDownList();
    ASSERT_NE(List, nullptr);
    EXPECT_EQ(List->Items()->Count(), 6);
    EXPECT_EQ(List->ItemIndex(), 1);
    // Four rows shown (DropDownCount), just below the box.
    EXPECT_EQ(List->ClientHeight(), 4 * List->ItemHeight());
    EXPECT_EQ(List->Top(), C->ClientToScreen(TPoint{0, C->Height()}).y - 2);
    int H = List->ItemHeight();
    ASSERT_TRUE(SimulateClick(List->Handle(), 10, 2 * H + 2));
    ProcessMessages();
    EXPECT_FALSE(C->DroppedDown());
    EXPECT_EQ(C->ItemIndex(), 2);
    EXPECT_EQ(C->Text(), "blue");
    EXPECT_EQ(Changes, 1);
    // F4 opens, Escape closes without a choice.
    C->SetFocus();
    ASSERT_TRUE(PressKey(VK_F4));
    EXPECT_TRUE(C->DroppedDown());
    ASSERT_TRUE(PressKey(VK_DOWN));
    ASSERT_TRUE(PressKey(VK_ESCAPE));
    EXPECT_FALSE(C->DroppedDown());
    EXPECT_EQ(C->ItemIndex(), 2);
    // Enter takes the highlighted item.
    ASSERT_TRUE(PressKey(VK_F4));
    ASSERT_TRUE(PressKey(VK_DOWN));
    ASSERT_TRUE(PressKey(VK_RETURN));
    EXPECT_EQ(C->ItemIndex(), 3);
    EXPECT_EQ(Changes, 2);
}

TEST_F(ListsTest, OwnerDrawnComboDrawsTheFieldAndTheListItems)
{
    Load(Combo);
    auto* C = Find<TComboBox>("ComboBox1");
    C->SetStyle(csOwnerDrawFixed);
    C->SetItemHeight(20);
    std::vector<TDrawCall> Calls;
    C->OnDrawItem = [&](TWinControl*, int Index, const TRect& R, TOwnerDrawState S) {
        Calls.push_back({Index, R, S});
    };
    C->Invalidate();
    ProcessMessages();
    ASSERT_EQ(Calls.size(), 1u);
    EXPECT_EQ(Calls[0].Index, 1);
    EXPECT_TRUE(Calls[0].State.Contains(odComboBoxEdit));
    EXPECT_EQ(Calls[0].Rect.top, 2);
    EXPECT_EQ(Calls[0].Rect.bottom - Calls[0].Rect.top, 20);
    EXPECT_EQ(Calls[0].Rect.right, C->ClientWidth() - GetSystemMetrics(SM_CXVSCROLL) - 2);
    Calls.clear();
    C->SetDroppedDown(true);
    ProcessMessages();
    // Every shown row of the list, without the field flag (the field is drawn again too).
    std::erase_if(Calls, [](const TDrawCall& D) { return D.State.Contains(odComboBoxEdit); });
    ASSERT_EQ(Calls.size(), 4u);
    for (int K = 0; K < 4; ++K) {
        EXPECT_EQ(Calls[K].Index, K);
        EXPECT_EQ(Calls[K].Rect.top, K * 20);
        EXPECT_FALSE(Calls[K].State.Contains(odComboBoxEdit));
        EXPECT_EQ(Calls[K].State.Contains(odSelected), K == 1);
    }
    C->SetDroppedDown(false);
}

} // namespace

// A new control matches the defaults it publishes, so a form that leaves them out gets them.
TEST(ListControlsDefaults, ConstructorsMatchThePublishedDefaults)
{
    for (const char* Name : {"TListBox", "TComboBox", "TStatusBar", "TTreeView", "TSpinEdit", "TSpinButton",
                             "TDrawGrid", "TFileListBox", "TDirectoryListBox", "TDriveComboBox"}) {
        TComponent* C = CreateComponent(Name, nullptr);
        ASSERT_NE(C, nullptr) << Name;
        std::vector<std::string> Differ = PropsDifferingFromDefault(C);
        std::string All;
        for (const std::string& P : Differ)
            All += P + " ";
        EXPECT_TRUE(Differ.empty()) << Name << ": " << All;
        delete C;
    }
}

namespace {

TEST_F(ListsTest, WheelAndScrollBarScrollTheList)
{
    Load(FiveItems);
    auto* L = Find<TListBox>("ListBox1");
    int Rows = L->VisibleRows();
    ASSERT_TRUE(SimulateWheel(L->Handle(), 10, 10, -120));
    ProcessMessages();
    EXPECT_EQ(L->TopIndex(), 3);
    L->Perform(WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(L->TopIndex(), std::min(3 + Rows, 12 - Rows));
    L->Perform(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 1), 0);
    EXPECT_EQ(L->TopIndex(), 1);
    SCROLLINFO SI;
    SI.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(L->Handle(), SB_VERT, &SI));
    EXPECT_EQ(SI.nMax, 11);
    EXPECT_EQ(static_cast<int>(SI.nPage), Rows);
    EXPECT_EQ(SI.nPos, 1);
}

TEST_F(ListsTest, FreeingAFormWithAnOpenListIsSafe)
{
    Load(Combo);
    auto* C = Find<TComboBox>("ComboBox1");
    C->SetDroppedDown(true);
    ProcessMessages();
    ASSERT_TRUE(C->DroppedDown());
    HWND List = C->DropDownList()->Handle();
    Form->BeforeDestruction();
    delete Form;
    Form = nullptr;
    EXPECT_FALSE(IsWindow(List));
    ProcessMessages();
}

TEST_F(ListsTest, ListOpensAboveABoxNearTheBottomOfTheScreen)
{
    Load(Combo);
    Form->SetTop(GetSystemMetrics(SM_CYSCREEN) - 80);
    ProcessMessages();
    auto* C = Find<TComboBox>("ComboBox1");
    C->SetDroppedDown(true);
    TCustomListBox* List = C->DropDownList();
    ASSERT_NE(List, nullptr);
    EXPECT_EQ(List->Top() + List->Height(), C->ClientToScreen(TPoint{0, 0}).y - 2);
    C->SetDroppedDown(false);
}

} // namespace

namespace {

// A control's client size is not stored: read back before its border is known, it would
// shrink the control. The form's own client size is.
TEST_F(ListsTest, WrittenFormKeepsTheSizeOfABorderedControl)
{
    Load(FiveItems);
    auto* L = Find<TListBox>("ListBox1");
    ASSERT_LT(L->ClientHeight(), L->Height()); // it has a border
    std::string Text = WriteForm(Form);
    std::size_t Box = Text.find("object ListBox1");
    ASSERT_NE(Box, std::string::npos) << Text;
    EXPECT_EQ(Text.find("ClientWidth", Box), std::string::npos) << Text;
    EXPECT_EQ(Text.find("ClientHeight", Box), std::string::npos) << Text;
    EXPECT_NE(Text.find("ClientWidth"), std::string::npos) << Text;
    TForm* Again = CreateFormFromText<TForm>(nullptr, Text);
    auto* L2 = dynamic_cast<TListBox*>(Again->FindComponent("ListBox1"));
    ASSERT_TRUE(L2);
    EXPECT_EQ(L2->Width(), 120);
    EXPECT_EQ(L2->Height(), 100);
    EXPECT_EQ(Again->ClientWidth(), Form->ClientWidth());
    EXPECT_EQ(Again->ClientHeight(), Form->ClientHeight());
    Again->BeforeDestruction();
    delete Again;
}

} // namespace
