#include "components/addons/AdCtrls.h"
#include "components/addons/ShadeLab.h"
#include "components/addons/tests/RenderShots.h"

#include "platform/classes/TypInfo.h"
#include "platform/controls/StdEdit.h"
#include "platform/testing/FormTesting.h"
#include "platform/testing/WinTesting.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

using namespace testing_support;

namespace {

TColor Rgb(TColor Color)
{
    return ColorToRGB(Color) & 0xFFFFFF;
}

// The pixels of an image that are not Background.
std::set<std::pair<int, int>> InkOf(TBitmap* Image, TColor Background)
{
    std::set<std::pair<int, int>> Ink;
    for (int Y = 0; Y < Image->Height(); ++Y)
        for (int X = 0; X < Image->Width(); ++X)
            if ((PixelAt(Image, X, Y) & 0xFFFFFF) != Rgb(Background))
                Ink.insert({X, Y});
    return Ink;
}

// One layer of drawn text: the plain text's pixels moved by (DX, DY), in Colour.
struct TLayer {
    int DX, DY;
    TColor Colour;
};

// Checks every pixel of Image against the layers painted in order over Background, the text's
// shape being Ink (taken from a plain rendering). Answers the number of wrong pixels.
int CountWrongPixels(TBitmap* Image, const std::set<std::pair<int, int>>& Ink,
                     const std::vector<TLayer>& Layers, TColor Background)
{
    int Wrong = 0;
    for (int Y = 0; Y < Image->Height(); ++Y)
        for (int X = 0; X < Image->Width(); ++X) {
            TColor Expected = Rgb(Background);
            for (const TLayer& L : Layers)
                if (Ink.count({X - L.DX, Y - L.DY}))
                    Expected = Rgb(L.Colour);
            if ((PixelAt(Image, X, Y) & 0xFFFFFF) != Expected)
                ++Wrong;
        }
    return Wrong;
}

class LabelsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(nullptr);
        Form->SetBounds(100, 100, 320, 240);
        Form->SetColor(clYellow);
        Form->Show();
        ProcessMessages();
        SetActiveWindow(Form->Handle());
    }
    void TearDown() override
    {
        Form->BeforeDestruction();
        delete Form;
    }
    // An edit on the form, for a label to focus (or to hold the focus elsewhere).
    TEdit* AddEdit(int Top)
    {
        auto* Edit = new TEdit(Form);
        Edit->SetParent(Form);
        Edit->SetBounds(10, Top, 100, 24);
        return Edit;
    }
    TAdLabel* AddLabel(const std::string& Caption, int L = 10, int T = 10)
    {
        auto* Label = new TAdLabel(Form);
        Label->SetParent(Form);
        Label->SetLeft(L);
        Label->SetTop(T);
        Label->Font()->SetName("Arial");
        Label->Font()->SetSize(20);
        Label->Font()->SetColor(clBlack);
        Label->SetColor(clWhite);
        Label->SetCaption(Caption);
        return Label;
    }
    TShadeLabel* AddShadeLabel(const std::string& Caption)
    {
        auto* Label = new TShadeLabel(Form);
        Label->SetParent(Form);
        Label->SetBounds(10, 10, 120, 50);
        Label->SetAutoSize(false);
        Label->Font()->SetSize(20);
        Label->Font()->SetColor(clBlack);
        Label->SetCaption(Caption);
        return Label;
    }
    TWindowTest Fixture;
    TForm* Form = nullptr;
};

} // namespace

// ---- The shadowed label -----------------------------------------------------------------------
TEST_F(LabelsTest, DefaultsMatchThePublishedOnes)
{
    TAdLabel Ad(nullptr);
    EXPECT_EQ(Ad.Width(), 65);
    EXPECT_EQ(Ad.Height(), 17);
    EXPECT_TRUE(Ad.ControlStyle.Contains(csOpaque));
    EXPECT_TRUE(Ad.ControlStyle.Contains(csReplicatable));
    EXPECT_EQ(Ad.ShadowColor(), clBtnHighlight);
    EXPECT_EQ(Ad.ShadowSize(), 1);
    EXPECT_EQ(Ad.ShadowPos(), spLeftTop);
    EXPECT_TRUE(Ad.ParentColor());
    EXPECT_EQ(PropsDifferingFromDefault(&Ad), std::vector<std::string>{});

    TShadeLabel Shade(nullptr);
    EXPECT_TRUE(Shade.Transparent());
    EXPECT_EQ(Shade.Style(), stSunken);
    EXPECT_EQ(Shade.ShadowOffset(), 3);
    EXPECT_EQ(Shade.ShadowColor(), clBtnShadow);
    EXPECT_EQ(Shade.PrintBkColor(), TColor(0xFFFFFF));
    EXPECT_EQ(Shade.About, "Version 1.0");
    EXPECT_EQ(Shade.Font()->Name(), "Arial");
    EXPECT_EQ(PropsDifferingFromDefault(&Shade), std::vector<std::string>{});
}

TEST_F(LabelsTest, TheShadowLiesTowardsItsPositionInItsColour)
{
    // A plain rendering (shadow size 0: the shadow lies under the text) gives the text's shape;
    // each position must show that shape moved by two pixels in red, under the black text.
    TAdLabel* Label = AddLabel("Wy&g");
    Label->SetAutoSize(false);
    Label->SetBounds(10, 10, 90, 50);
    Label->SetShadowColor(clRed);
    Label->SetShadowSize(0);
    auto Plain = RenderControl(Label);
    const auto Ink = InkOf(Plain.get(), clWhite);
    ASSERT_GT(Ink.size(), 50u);
    KeepShot(Plain.get(), "adlabel-plain");
    const struct {
        TShadowPosition Pos;
        int DX, DY;
        const char* Name;
    } Cases[] = {{spLeftTop, -2, -2, "lefttop"},
                 {spLeftBottom, -2, 2, "leftbottom"},
                 {spRightBottom, 2, 2, "rightbottom"},
                 {spRightTop, 2, -2, "righttop"}};
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Name);
        Label->SetShadowSize(2);
        Label->SetShadowPos(C.Pos);
        auto Image = RenderControl(Label);
        KeepShot(Image.get(), std::string("adlabel-") + C.Name);
        EXPECT_EQ(CountWrongPixels(Image.get(), Ink, {{C.DX, C.DY, clRed}, {0, 0, clBlack}}, clWhite), 0);
    }
}

TEST_F(LabelsTest, AnAutoSizedLabelGrowsByItsShadowOnTheShadowsSides)
{
    TAdLabel* Label = AddLabel("Shadow");
    Label->SetShadowSize(0);
    const int W0 = Label->Width();
    const int H0 = Label->Height();
    ASSERT_GT(W0, 10);
    // The label's box starts one pixel left of the text, so a shadow to the left or above only
    // draws into the room that is already there (and past the top edge).
    const struct {
        TShadowPosition Pos;
        int GrowW, GrowH;
    } Cases[] = {{spLeftTop, 0, 0}, {spLeftBottom, 0, 2}, {spRightBottom, 2, 2}, {spRightTop, 2, 0}};
    for (const auto& C : Cases) {
        SCOPED_TRACE(testing::Message() << "position " << int(C.Pos));
        Label->SetShadowPos(C.Pos);
        Label->SetShadowSize(2);
        EXPECT_EQ(Label->Width(), W0 + C.GrowW);
        EXPECT_EQ(Label->Height(), H0 + C.GrowH);
        Label->SetShadowSize(0);
    }
}

TEST_F(LabelsTest, AnEmptyAutoSizedLabelKeepsTheHeightOfOneLine)
{
    TAdLabel* Label = AddLabel("Xg");
    const int LineHeight = Label->Height();
    for (const char* Caption : {"", "&"}) {
        Label->SetCaption(Caption);
        EXPECT_EQ(Label->Height(), LineHeight) << '"' << Caption << '"';
        EXPECT_GT(Label->Width(), 2);
    }
}

TEST_F(LabelsTest, ARightJustifiedAutoSizedLabelKeepsItsRightEdge)
{
    TAdLabel* Label = AddLabel("ab", 150, 10);
    Label->SetAlignment(taRightJustify);
    const int Right = Label->Left() + Label->Width();
    Label->SetCaption("a much longer text");
    EXPECT_EQ(Label->Left() + Label->Width(), Right);
    EXPECT_LT(Label->Left(), 150);

    TAdLabel* Left = AddLabel("ab", 10, 80);
    Left->SetCaption("a much longer text");
    EXPECT_EQ(Left->Left(), 10);
}

TEST_F(LabelsTest, ADisabledLabelIsGreyWithAHighlight)
{
    TAdLabel* Label = AddLabel("Off");
    Label->SetAutoSize(false);
    Label->SetBounds(10, 10, 80, 50);
    Label->SetShadowSize(0);
    auto Plain = RenderControl(Label);
    const auto Ink = InkOf(Plain.get(), clWhite);
    ASSERT_FALSE(Ink.empty());
    Label->SetShadowColor(clRed); // a disabled label does not use it
    Label->SetEnabled(false);
    // Shadow size 0: the engraved look, a highlight one pixel right and down.
    auto Engraved = RenderControl(Label);
    KeepShot(Engraved.get(), "adlabel-disabled");
    EXPECT_EQ(CountWrongPixels(Engraved.get(), Ink, {{1, 1, clBtnHighlight}, {0, 0, clGrayText}}, clWhite),
              0);
    // Its own size and position otherwise.
    Label->SetShadowSize(2);
    Label->SetShadowPos(spRightTop);
    auto Sized = RenderControl(Label);
    EXPECT_EQ(CountWrongPixels(Sized.get(), Ink, {{2, -2, clBtnHighlight}, {0, 0, clGrayText}}, clWhite), 0);
}

TEST_F(LabelsTest, LayoutMovesTheTextDown)
{
    // Without a shadow: one reaching above the text moves the measured box up by its size.
    TAdLabel* Label = AddLabel("Mid");
    Label->SetShadowSize(0);
    const int TextHeight = Label->Height();
    Label->SetAutoSize(false);
    Label->SetHeight(TextHeight + 40);
    auto TopOf = [&] {
        const auto Ink = InkOf(RenderControl(Label).get(), clWhite);
        int Top = 1000;
        for (const auto& P : Ink)
            Top = std::min(Top, P.second);
        return Top;
    };
    const int AtTop = TopOf();
    Label->SetLayout(tlCenter);
    EXPECT_EQ(TopOf(), AtTop + 20);
    Label->SetLayout(tlBottom);
    EXPECT_EQ(TopOf(), AtTop + 40);
}

TEST_F(LabelsTest, TheAcceleratorFocusesTheFocusControl)
{
    TEdit* Edit = AddEdit(100);
    TEdit* Other = AddEdit(140);
    TAdLabel* Label = AddLabel("&Name");
    Label->SetFocusControl(Edit);
    struct {
        const char* Name;
        std::function<void()> Make;
        bool Focuses;
    } Cases[] = {
        {"enabled", [] {}, true},
        {"label disabled", [Label] { Label->SetEnabled(false); }, false},
        {"no accelerator shown", [Label] { Label->SetShowAccelChar(false); }, false},
        {"focus control disabled", [Edit] { Edit->SetEnabled(false); }, false},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Name);
        Label->SetEnabled(true);
        Label->SetShowAccelChar(true);
        Edit->SetEnabled(true);
        Other->SetFocus();
        ProcessMessages();
        C.Make();
        PressShortCut('N', {ssAlt});
        EXPECT_EQ(Edit->Focused(), C.Focuses);
    }
    // A freed focus control is forgotten.
    delete Edit;
    EXPECT_EQ(Label->FocusControl(), nullptr);
    PressShortCut('N', {ssAlt});
}

TEST_F(LabelsTest, AFocusRectangleShowsWhileTheFocusControlHasTheFocus)
{
    TEdit* Edit = AddEdit(100);
    TEdit* Other = AddEdit(140);
    TAdLabel* Label = AddLabel("Focus");
    Label->SetShadowSize(0);
    Label->SetFocusControl(Edit);
    Label->SetShowFocus(true);
    Other->SetFocus();
    ProcessMessages();
    const auto Without = InkOf(RenderControl(Label).get(), clWhite);
    Edit->SetFocus();
    ProcessMessages();
    EXPECT_TRUE(Label->FocusState());
    auto Image = RenderControl(Label);
    KeepShot(Image.get(), "adlabel-focus");
    const auto With = InkOf(Image.get(), clWhite);
    // The dotted frame runs along the label's left edge, where the text never reaches.
    int LeftEdge = 0;
    for (int Y = 0; Y < Label->Height(); ++Y)
        LeftEdge += With.count({0, Y}) - Without.count({0, Y});
    EXPECT_GE(LeftEdge, Label->Height() / 3);
    Other->SetFocus();
    ProcessMessages();
    EXPECT_FALSE(Label->FocusState());
    EXPECT_EQ(InkOf(RenderControl(Label).get(), clWhite), Without);
}

TEST_F(LabelsTest, MouseEnterAndLeaveFireOnceEachAndWaitForARelease)
{
    TAdLabel* Label = AddLabel("Hover", 10, 10);
    std::vector<std::string> Events;
    Label->OnMouseEnter = [&Events](TObject*) { Events.push_back("enter"); };
    Label->OnMouseLeave = [&Events](TObject*) { Events.push_back("leave"); };
    auto* Away = new TAdLabel(Form);
    Away->SetParent(Form);
    Away->SetBounds(10, 150, 60, 20);

    SendMouse(Label, WM_MOUSEMOVE, 5, 5);
    SendMouse(Label, WM_MOUSEMOVE, 6, 6);
    EXPECT_TRUE(Label->MouseInControl());
    SendMouse(Away, WM_MOUSEMOVE, 5, 5);
    EXPECT_EQ(Events, (std::vector<std::string>{"enter", "leave"}));

    // Pressed on the label, the mouse leaves only when the button comes up outside.
    Events.clear();
    SendMouse(Label, WM_MOUSEMOVE, 5, 5);
    SendMouse(Label, WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    EXPECT_TRUE(Label->Dragging());
    SendMouse(Away, WM_MOUSEMOVE, 5, 5, MK_LBUTTON);
    EXPECT_EQ(Events, (std::vector<std::string>{"enter"}));
    SendMouse(Away, WM_LBUTTONUP, 5, 5);
    EXPECT_FALSE(Label->Dragging());
    EXPECT_EQ(Events, (std::vector<std::string>{"enter", "leave"}));
    EXPECT_FALSE(Label->MouseInControl());

    // A disabled label takes no part.
    Events.clear();
    Label->SetEnabled(false);
    SendMouse(Label, WM_MOUSEMOVE, 5, 5);
    EXPECT_TRUE(Events.empty());
}

// ---- The 3-D label ----------------------------------------------------------------------------
TEST_F(LabelsTest, ShadeLabelStylesDrawTheirLayersInOrder)
{
    TShadeLabel* Label = AddShadeLabel("Shade");
    Label->SetTransparent(false);
    Label->SetColor(clYellow);
    Label->SetShadowColor(clRed);
    Label->SetStyle(stNormal);
    auto Plain = RenderControl(Label);
    const auto Ink = InkOf(Plain.get(), clYellow);
    ASSERT_GT(Ink.size(), 50u);
    const struct {
        TStyle Style;
        const char* Name;
        std::vector<TLayer> Layers; // in drawing order
    } Cases[] = {
        {stNormal, "normal", {{0, 0, clBlack}}},
        {stShadow, "shadow", {{3, 3, clRed}, {0, 0, clBlack}}},
        {stRaised, "raised", {{1, 1, clRed}, {-1, -1, clBtnHighlight}, {0, 0, clBlack}}},
        {stSunken, "sunken", {{1, 1, clBtnHighlight}, {-1, -1, clRed}, {0, 0, clBlack}}},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Name);
        Label->SetStyle(C.Style);
        auto Image = RenderControl(Label);
        KeepShot(Image.get(), std::string("shadelabel-") + C.Name);
        EXPECT_EQ(CountWrongPixels(Image.get(), Ink, C.Layers, clYellow), 0);
    }
    // Another shadow offset, and a disabled label's text in grey.
    Label->SetStyle(stShadow);
    Label->SetShadowOffset(5);
    EXPECT_EQ(CountWrongPixels(RenderControl(Label).get(), Ink, {{5, 5, clRed}, {0, 0, clBlack}}, clYellow),
              0);
    Label->SetStyle(stSunken);
    Label->SetEnabled(false);
    auto Disabled = RenderControl(Label);
    KeepShot(Disabled.get(), "shadelabel-disabled");
    EXPECT_EQ(CountWrongPixels(Disabled.get(), Ink,
                               {{1, 1, clBtnHighlight}, {-1, -1, clRed}, {0, 0, clGrayText}}, clYellow),
              0);
}

TEST_F(LabelsTest, ATransparentShadeLabelShowsItsParent)
{
    TShadeLabel* Label = AddShadeLabel("Glass");
    Label->SetColor(clLime);
    const auto Image = RenderControl(Label);
    KeepShot(Image.get(), "shadelabel-transparent");
    EXPECT_EQ(PixelAt(Image.get(), Label->Width() - 2, Label->Height() - 2) & 0xFFFFFF, Rgb(clYellow));
}

TEST_F(LabelsTest, BothLabelsComeFromAStoredForm)
{
    const std::string Text = "object LabelForm: TForm\n"
                             "  Left = 0\n  Top = 0\n  Width = 300\n  Height = 200\n"
                             "  object Title: TShadeLabel\n"
                             "    Left = 8\n    Top = 8\n    Caption = 'Tamsel'\n"
                             "    Style = stRaised\n    ShadowOffset = 4\n    About = 'kept'\n"
                             "  end\n"
                             "  object Name: TAdLabel\n"
                             "    Left = 8\n    Top = 60\n    Caption = '&Name'\n"
                             "    ShadowColor = clRed\n    ShadowSize = 2\n    ShadowPos = spRightBottom\n"
                             "    Layout = tlCenter\n    ShowFocus = True\n"
                             "  end\n"
                             "end\n";
    TForm* Read = CreateFormFromText<TForm>(nullptr, Text);
    auto* Title = dynamic_cast<TShadeLabel*>(Read->FindComponent("Title"));
    auto* Name = dynamic_cast<TAdLabel*>(Read->FindComponent("Name"));
    ASSERT_TRUE(Title && Name);
    EXPECT_EQ(Title->Style(), stRaised);
    EXPECT_EQ(Title->ShadowOffset(), 4);
    EXPECT_EQ(Title->About, "kept");
    EXPECT_EQ(Name->ShadowColor(), clRed);
    EXPECT_EQ(Name->ShadowSize(), 2);
    EXPECT_EQ(Name->ShadowPos(), spRightBottom);
    EXPECT_EQ(Name->Layout(), tlCenter);
    EXPECT_TRUE(Name->ShowFocus());
    EXPECT_GT(Name->Width(), 10); // sized to its caption once loaded
    Read->BeforeDestruction();
    delete Read;
}
