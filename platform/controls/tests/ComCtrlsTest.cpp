#include "platform/controls/ComCtrls.h"
#include "platform/classes/FormReader.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdLists.h"
#include "platform/testing/FormTesting.h"
#include "platform/testing/WinTesting.h"

#include "platform/controls/tests/ControlsTestFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testing_support;

namespace {

class ComCtrlsTest : public controls_testing::TLoadedFormTest {};

// ---- Status bar -------------------------------------------------------------------------------
const char* const Bar = R"(  object StatusBar1: TStatusBar
    SimpleText = 'Ready'
    SizeGrip = False
    Panels = <
      item
        Text = 'Line 1'
        Width = 80
      end
      item
        Alignment = taCenter
        Bevel = pbRaised
        Text = 'INS'
        Width = 40
      end
      item
        Style = psOwnerDraw
        Width = 60
      end>
  end
)";

TEST_F(ComCtrlsTest, StatusBarStreamsPanelsAndSitsAtTheBottom)
{
    Load(Bar);
    auto* S = Find<TStatusBar>("StatusBar1");
    ASSERT_NE(S, nullptr);
    EXPECT_EQ(S->Align(), alBottom);
    EXPECT_EQ(S->Top() + S->Height(), Form->ClientHeight());
    EXPECT_EQ(S->Width(), Form->ClientWidth());
    EXPECT_EQ(S->SimpleText(), "Ready");
    EXPECT_FALSE(S->SimplePanel());
    EXPECT_FALSE(S->SizeGrip());
    ASSERT_EQ(S->Panels()->Count(), 3);
    EXPECT_EQ(S->Panels()->Items(0)->Text(), "Line 1");
    EXPECT_EQ(S->Panels()->Items(0)->Width(), 80);
    EXPECT_EQ(S->Panels()->Items(0)->Bevel(), pbLowered);
    EXPECT_EQ(S->Panels()->Items(1)->Alignment(), taCenter);
    EXPECT_EQ(S->Panels()->Items(1)->Bevel(), pbRaised);
    EXPECT_EQ(S->Panels()->Items(2)->Style(), psOwnerDraw);
    // Panels follow each other two pixels apart; the last one takes the rest of the bar.
    EXPECT_EQ(S->PanelRect(1).left, 82);
    EXPECT_EQ(S->PanelRect(1).right, 122);
    EXPECT_EQ(S->PanelRect(2).left, 124);
    EXPECT_EQ(S->PanelRect(2).right, S->ClientWidth());
    EXPECT_EQ(S->PanelRect(3), TRect{});
}

TEST_F(ComCtrlsTest, StatusBarPaintsPanelsOrTheSimpleText)
{
    Load(Bar);
    auto* S = Find<TStatusBar>("StatusBar1");
    std::vector<TRect> Drawn;
    S->OnDrawPanel = [&](TStatusBar* Sender, TStatusPanel* P, const TRect& R) {
        EXPECT_EQ(Sender, S);
        EXPECT_EQ(P, S->Panels()->Items(2));
        Drawn.push_back(R);
    };
    S->Invalidate();
    ProcessMessages();
    ASSERT_EQ(Drawn.size(), 1u);
    EXPECT_EQ(Drawn[0].left, 125); // inside the panel's frame
    auto Img = RenderControl(S);
    // The first panel's text is drawn: some pixel in it is not the face colour.
    bool Ink = false;
    for (int X = 2; X < 60 && !Ink; ++X)
        for (int Y = 3; Y < S->ClientHeight() - 2 && !Ink; ++Y)
            Ink = PixelAt(Img.get(), X, Y) != ColorToRGB(clBtnFace) &&
                  PixelAt(Img.get(), X, Y) != ColorToRGB(clBtnShadow);
    EXPECT_TRUE(Ink);
    // One panel across the bar: the owner-drawn panel is not drawn any more.
    Drawn.clear();
    S->SetSimplePanel(true);
    S->SetSimpleText("");
    ProcessMessages();
    EXPECT_TRUE(Drawn.empty());
    auto Blank = RenderControl(S);
    for (int X = 4; X < 60; X += 5)
        EXPECT_EQ(PixelAt(Blank.get(), X, S->ClientHeight() / 2), ColorToRGB(clBtnFace)) << X;
}

// ---- Tree view --------------------------------------------------------------------------------
const char* const Tree = R"(  object TreeView1: TTreeView
    Left = 8
    Top = 8
    Width = 200
    Height = 120
    Indent = 19
    Items.Strings = (
      'Date'
      ' getDate()'
      ' getDay()'
      'Window'
      ' history'
      '  length'
      '  history.back()'
      ' document'
      '  anchors[]'
      '   length'
      'Navigator')
  end
)";

std::vector<std::string> Walk(TTreeNodes* Items)
{
    std::vector<std::string> V;
    for (TTreeNode* N = Items->GetFirstNode(); N; N = N->GetNext())
        V.push_back(std::to_string(N->Level()) + ":" + N->Text());
    return V;
}

TEST_F(ComCtrlsTest, TreeNodesStreamFromTheFormInTheirLevels)
{
    Load(Tree);
    auto* T = Find<TTreeView>("TreeView1");
    ASSERT_NE(T, nullptr);
    EXPECT_EQ(T->Indent(), 19);
    TTreeNodes* Items = T->Items();
    EXPECT_EQ(Items->Count(), 11);
    EXPECT_EQ(Items->RootCount(), 3);
    EXPECT_EQ(Walk(Items), (std::vector<std::string>{
                               "0:Date", "1:getDate()", "1:getDay()", "0:Window", "1:history", "2:length",
                               "2:history.back()", "1:document", "2:anchors[]", "3:length", "0:Navigator"}));
    TTreeNode* Window = Items->Item(3);
    EXPECT_EQ(Window->Text(), "Window");
    EXPECT_EQ(Window->Count(), 2);
    EXPECT_EQ(Window->Item(1)->Text(), "document");
    EXPECT_EQ(Window->Item(1)->Parent(), Window);
    EXPECT_EQ(Window->GetFirstChild()->Text(), "history");
    EXPECT_EQ(Window->GetNextSibling()->Text(), "Navigator");
    EXPECT_EQ(Window->AbsoluteIndex(), 3);
    EXPECT_EQ(Items->Item(9)->GetNext()->Text(), "Navigator");
    EXPECT_THROW(Items->Item(11), EListError);
    EXPECT_THROW(Window->Item(2), EListError);
    // Written back in the same form.
    std::string Text = WriteForm(Form);
    EXPECT_NE(Text.find("'   length'"), std::string::npos) << Text;
}

TEST_F(ComCtrlsTest, MalformedNodeDepthsStillGiveATree)
{
    TStringList L;
    L.SetText("    deep first\r\nroot\r\n     jump\r\n  sibling\r\n");
    TTreeView T(nullptr);
    T.Items()->LoadFromStrings(&L);
    EXPECT_EQ(Walk(T.Items()), (std::vector<std::string>{"0:deep first", "0:root", "1:jump", "2:sibling"}));
}

TEST_F(ComCtrlsTest, ClicksAndKeysSelectNodesAndButtonsExpandThem)
{
    Load(Tree);
    auto* T = Find<TTreeView>("TreeView1");
    std::vector<std::string> Changes;
    T->OnChange = [&](TObject*, TTreeNode* N) { Changes.push_back(N ? N->Text() : "nil"); };
    int H = T->RowHeight();
    // Collapsed: three rows. A click on the text of the second selects it.
    ASSERT_TRUE(ClickControl(T, 19 + 10, H + H / 2));
    ASSERT_NE(T->Selected(), nullptr);
    EXPECT_EQ(T->Selected()->Text(), "Window");
    EXPECT_FALSE(T->Selected()->Expanded());
    // The button left of it opens the branch without changing the selection.
    ASSERT_TRUE(ClickControl(T, 19 / 2, H + H / 2));
    EXPECT_TRUE(T->Items()->Item(3)->Expanded());
    EXPECT_EQ(T->GetNodeAt(40, 2 * H + 1)->Text(), "history");
    // Down walks through the shown rows; Right opens and enters; Left goes back up.
    ASSERT_TRUE(PressKey(VK_DOWN));
    EXPECT_EQ(T->Selected()->Text(), "history");
    ASSERT_TRUE(PressKey(VK_RIGHT));
    EXPECT_TRUE(T->Selected()->Expanded());
    ASSERT_TRUE(PressKey(VK_RIGHT));
    EXPECT_EQ(T->Selected()->Text(), "length");
    ASSERT_TRUE(PressKey(VK_LEFT));
    EXPECT_EQ(T->Selected()->Text(), "history");
    EXPECT_EQ(Changes, (std::vector<std::string>{"Window", "history", "length", "history"}));
    // Collapsing a branch moves a selection inside it up to the branch.
    T->SetSelected(T->Items()->Item(5));
    T->Items()->Item(3)->Collapse(false);
    EXPECT_EQ(T->Selected()->Text(), "Window");
    // A double click opens the branch as well as firing OnDblClick.
    int Doubles = 0;
    T->OnDblClick = [&](TObject*) { ++Doubles; };
    ASSERT_TRUE(DoubleClickControl(T, 19 + 10, H + H / 2));
    EXPECT_EQ(Doubles, 1);
    EXPECT_TRUE(T->Items()->Item(3)->Expanded());
}

TEST_F(ComCtrlsTest, FullExpandScrollsAndDeletingTheSelectionClearsIt)
{
    Load(Tree);
    auto* T = Find<TTreeView>("TreeView1");
    T->FullExpand();
    for (TTreeNode* N = T->Items()->GetFirstNode(); N; N = N->GetNext())
        EXPECT_TRUE(!N->HasChildren() || N->Expanded()) << N->Text();
    int Rows = T->VisibleRowCount();
    ASSERT_LT(Rows, 11);
    // Selecting the last node brings it into view.
    T->SetSelected(T->Items()->Item(10));
    EXPECT_EQ(T->TopItem()->AbsoluteIndex(), 11 - Rows);
    EXPECT_EQ(T->Items()->Item(10)->DisplayRect(false).bottom, Rows * T->RowHeight());
    TTreeNode* Removed = T->Items()->Item(0);
    T->OnChange = [&](TObject*, TTreeNode* N) { Removed = N; };
    T->Items()->Item(3)->Delete(); // Window and the six nodes below it
    EXPECT_EQ(T->Items()->Count(), 4);
    EXPECT_EQ(T->Selected()->Text(), "Navigator");
    EXPECT_EQ(Removed, T->Items()->Item(0)); // no change yet
    T->Items()->Item(3)->Delete();
    EXPECT_EQ(T->Selected(), nullptr);
    EXPECT_EQ(Removed, nullptr);
    T->FullCollapse();
    T->Items()->Clear();
    EXPECT_EQ(T->Items()->Count(), 0);
    EXPECT_EQ(T->GetNodeAt(5, 5), nullptr);
}

TEST_F(ComCtrlsTest, NodesBuiltInCodeSitWhereTheyAreAdded)
{
    TTreeView T(nullptr);
    TTreeNodes* Items = T.Items();
    TTreeNode* A = Items->Add(nullptr, "a");
    TTreeNode* C = Items->Add(A, "c");
    Items->Insert(C, "b");
    TTreeNode* A2 = Items->AddChild(A, "a2");
    Items->AddChildFirst(A, "a1");
    Items->AddFirst(A2, "a0");
    EXPECT_EQ(Walk(Items), (std::vector<std::string>{"0:a", "1:a0", "1:a1", "1:a2", "0:b", "0:c"}));
    EXPECT_EQ(A2->GetPrevSibling()->Text(), "a1");
    EXPECT_EQ(C->GetPrev()->Text(), "b");
    EXPECT_EQ(Items->Item(4)->GetPrev()->Text(), "a2");
}

} // namespace

namespace {

// Everything these controls publish survives being written and read back.
TEST_F(ComCtrlsTest, WrittenFormReadsBackTheSame)
{
    Load(std::string(Bar) + Tree + R"(  object ListBox1: TListBox
    Left = 220
    Top = 8
    Width = 100
    Height = 60
    MultiSelect = True
    Sorted = True
    Items.Strings = (
      'b'
      'a')
  end
  object ComboBox1: TComboBox
    Left = 220
    Top = 80
    Width = 100
    Style = csOwnerDrawFixed
    ItemHeight = 18
    Items.Strings = (
      'x'
      'y')
  end
)");
    std::string Text = WriteForm(Form);
    Form->BeforeDestruction();
    delete Form;
    Form = nullptr;
    Form = CreateFormFromText<TForm>(nullptr, Text);
    auto* S = Find<TStatusBar>("StatusBar1");
    ASSERT_EQ(S->Panels()->Count(), 3);
    EXPECT_EQ(S->Panels()->Items(1)->Alignment(), taCenter);
    EXPECT_EQ(Find<TTreeView>("TreeView1")->Items()->Count(), 11);
    auto* L = Find<TListBox>("ListBox1");
    EXPECT_TRUE(L->MultiSelect());
    EXPECT_EQ(L->Items()->Strings(0), "a");
    auto* C = Find<TComboBox>("ComboBox1");
    EXPECT_EQ(C->Style(), csOwnerDrawFixed);
    EXPECT_EQ(C->ItemHeight(), 18);
    EXPECT_EQ(C->Items()->Count(), 2);
}

} // namespace
