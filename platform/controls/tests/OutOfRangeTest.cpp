// Values out of range in a stored form description: the control keeps to its limits and the
// form still opens and paints.
#include "platform/controls/ComCtrls.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Grids.h"
#include "platform/controls/Spin.h"
#include "platform/controls/StdCtrls.h"
#include "platform/controls/TabNotBk.h"

#include "platform/controls/tests/ControlsTestFixture.h"

#include <gtest/gtest.h>

#include <string>

using namespace testing_support;

namespace {

class OutOfRangeTest : public controls_testing::TLoadedFormTest {};

TEST_F(OutOfRangeTest, StoredValuesOutOfRangeAreKeptWithinTheLimits)
{
    Load(R"(  object List1: TListBox
    Left = 0
    Top = 0
    Width = 100
    Height = 60
    Items.Strings = (
      'a'
      'b')
    ItemIndex = 9
  end
  object Combo1: TComboBox
    Left = 0
    Top = 70
    Width = 100
    Style = csDropDownList
    Items.Strings = (
      'x')
    ItemIndex = 5
  end
  object Bar1: TScrollBar
    Left = 0
    Top = 100
    Width = 100
    Height = 16
    Min = 10
    Max = 20
    Position = 50
  end
  object Spin1: TSpinEdit
    Left = 0
    Top = 120
    Width = 60
    Height = 22
    MinValue = 1
    MaxValue = 5
    Value = 99
  end
  object Grid1: TDrawGrid
    Left = 110
    Top = 0
    Width = 150
    Height = 100
    ColCount = 2
    RowCount = 2
  end
  object Book1: TNotebook
    Left = 110
    Top = 110
    Width = 100
    Height = 50
    PageIndex = 7
  end
  object Tabs1: TTabbedNotebook
    Left = 220
    Top = 110
    Width = 150
    Height = 100
    PageIndex = -3
    object TTabPage
      Caption = 'Only'
    end
  end
  object Status1: TStatusBar
    SimplePanel = False
  end
)");
    ProcessMessages();
    auto* List = Find<TListBox>("List1");
    auto* Combo = Find<TComboBox>("Combo1");
    auto* Bar = Find<TScrollBar>("Bar1");
    auto* Spin = Find<TSpinEdit>("Spin1");
    auto* Book = Find<TNotebook>("Book1");
    auto* Tabs = Find<TTabbedNotebook>("Tabs1");
    ASSERT_TRUE(List && Combo && Bar && Spin && Find<TDrawGrid>("Grid1") && Book && Tabs);
    EXPECT_EQ(List->ItemIndex(), -1);

    EXPECT_EQ(Combo->ItemIndex(), -1);
    EXPECT_GE(Bar->Position(), 10);
    EXPECT_LE(Bar->Position(), 20);
    EXPECT_LE(Spin->Value(), 5);
    EXPECT_EQ(Tabs->PageIndex(), 0);
    // The form paints with all of it.
    auto Shot = RenderControl(Form);
    EXPECT_GT(Shot->Width(), 0);
}

} // namespace
