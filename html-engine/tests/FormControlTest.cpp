// HTML forms in a shown view: the controls are real windows on the paint panel, driven here by
// mouse and keys through the window model's input path; they submit their name=value strings
// through the view's OnFormSubmit, reset, and draw their own look when the page is printed.
#include "html-engine/HtmlForms.h"
#include "html-engine/HtmlSections.h"
#include "html-engine/tests/ViewFixture.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdButtons.h"
#include "platform/controls/StdEdit.h"
#include "platform/controls/StdLists.h"
#include "platform/graphics/Graphics.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

class FormTest : public ViewFixture {
protected:
    TWindowTest Window; // the test clock: clicks far enough apart are no double clicks

    // Shows Html; every submission is recorded as its strings joined by "&".
    void Load(const std::string& Html)
    {
        Viewer->SetOnFormSubmit([this](TObject*, const std::string& Action, const std::string& Method,
                                       TStringList* Results) {
            std::string S;
            for (int I = 0; I < Results->Count(); ++I)
                S += (I ? "&" : "") + (*Results)[I];
            Submitted.push_back(S);
            Actions.push_back(Action + " " + Method);
        });
        LoadString(Html);
    }
    TSectionList* Doc() const { return Viewer->SectionList(); }
    template <class T = TFormControlObj> T* Ctl(int I) const
    {
        EXPECT_LT(I, Doc()->AllFormControls.Count());
        auto* C = dynamic_cast<T*>(static_cast<TFormControlObj*>(Doc()->AllFormControls[I]));
        EXPECT_NE(C, nullptr) << "control " << I;
        return C;
    }
    void Click(TControl* C, int X = -1, int Y = -1)
    {
        AdvanceClock(1000);
        ClickControl(C, X < 0 ? C->Width() / 2 : X, Y < 0 ? C->Height() / 2 : Y);
        ProcessMessages();
    }
    void Key(int VirtKey, const std::string& Text = std::string())
    {
        PressKey(VirtKey, Text);
        ProcessMessages();
    }
    // The control's window that has the focus, or null.
    TWinControl* FocusedControl() const
    {
        for (int I = 0; I < Doc()->AllFormControls.Count(); ++I) {
            TWinControl* W = static_cast<TFormControlObj*>(Doc()->AllFormControls[I])->Control;
            if (W && W->Focused())
                return W;
        }
        return nullptr;
    }

    std::vector<std::string> Submitted, Actions;
};

TEST_F(FormTest, EnterInTheOnlyVisibleBoxSubmits)
{
    const struct {
        const char* Html;
        const char* Submits; // nullptr: Enter does nothing
    } Cases[] = {
        {"<form><input name=a value=x></form>", "a=xy"},
        // A hidden input is not one of the visible controls.
        {"<form><input type=hidden name=h value=1><input name=a value=x></form>", "h=1&a=xy"},
        {"<form><input name=a value=x><input name=b></form>", nullptr},
        {"<form><input name=a value=x><input type=checkbox name=c></form>", nullptr},
        // The other box is in another form.
        {"<form><input name=a value=x></form><form><input name=b></form>", "a=xy"},
        // Enter in a text area is a new line.
        {"<form><textarea name=a>x</textarea></form>", nullptr},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Html);
        Submitted.clear();
        Load(C.Html);
        TFormControlObj* Edit = nullptr;
        for (int I = 0; I < Doc()->AllFormControls.Count() && !Edit; ++I)
            if (!Ctl(I)->IsHidden())
                Edit = Ctl(I);
        ASSERT_NE(Edit, nullptr);
        ASSERT_TRUE(Edit->Control->Visible());
        Click(Edit->Control);
        ASSERT_TRUE(Edit->Control->Focused());
        Key(VK_END);
        Key('Y', "y");
        Key(VK_RETURN);
        if (!C.Submits) {
            EXPECT_TRUE(Submitted.empty());
            continue;
        }
        EXPECT_EQ(Submitted, std::vector<std::string>{C.Submits});
    }
}

TEST_F(FormTest, ClickedButtonsSubmitTheirFormOrResetIt)
{
    const std::string Fields = "<form action=go.cgi method=POSTED><input name=t value=1>"
                               "<input type=checkbox name=c checked><input type=checkbox name=u>"
                               "<input type=checkbox name=v value=yes checked>";
    const struct {
        const char* Button;
        const char* Submits; // nullptr: no submission
    } Cases[] = {
        {"<input type=submit name=go>", "t=1&c=On&v=yes&go=Submit"},
        {"<input type=submit name=go value=Send>", "t=1&c=On&v=yes&go=Send"},
        {"<input type=submit>", "t=1&c=On&v=yes"},
        {"<input type=reset>", nullptr},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Button);
        Submitted.clear();
        Actions.clear();
        Load(Fields + C.Button + "</form>");
        auto* Button = Ctl<TButtonFormControlObj>(4);
        Click(Button->Control);
        if (!C.Submits) {
            EXPECT_TRUE(Submitted.empty());
            EXPECT_EQ(Button->Button()->Caption(), ""); // a reset without VALUE has no caption
            continue;
        }
        ASSERT_EQ(Submitted.size(), 1u);
        EXPECT_EQ(Submitted[0], C.Submits);
        EXPECT_EQ(Actions[0], "go.cgi POST"); // METHOD as written, cut to 4 characters
    }
}

TEST_F(FormTest, ListsAndTextAreasSubmitOneStringPerChoiceOrLine)
{
    const struct {
        const char* Control;
        const char* Submits;
    } Cases[] = {
        {"<textarea name=t>one\r\ntwo too\r\nthree</textarea>", "t=one&t=two too&t=three"},
        {"<textarea name=t></textarea>", ""},
        {"<select name=m multiple><option>a<option>b</select>", ""},
        {"<select name=m multiple><option selected>a<option value=2>b<option selected value=3>c</select>",
         "m=a&m=3"},
        // A single choice without SELECTED is its first option; the last of two SELECTED wins.
        {"<select name=s size=3><option value=1>a<option>b</select>", "s=1"},
        {"<select name=s><option>a<option selected>b<option selected>c</select>", "s=c"},
        {"<select name=s></select>", ""},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Control);
        Submitted.clear();
        Load(std::string("<form>") + C.Control + "<input type=submit></form>");
        Click(Ctl<TButtonFormControlObj>(1)->Control);
        ASSERT_EQ(Submitted.size(), 1u);
        EXPECT_EQ(Submitted[0], C.Submits);
    }
}

TEST_F(FormTest, RadioButtonsOfOneNameInAnyCaseExcludeEachOtherInTheirFormOnly)
{
    Load("<form><input type=radio name=Size value=s checked><input type=radio name=SIZE value=m>"
         "<input type=radio name=other value=o checked><input type=submit></form>"
         "<form><input type=radio name=size value=x checked><input type=submit></form>");
    auto* Medium = Ctl<TRadioButtonFormControlObj>(1);
    Click(Medium->RadioButton);
    EXPECT_TRUE(Medium->RadioButton->Checked());
    EXPECT_FALSE(Ctl<TRadioButtonFormControlObj>(0)->RadioButton->Checked());
    EXPECT_TRUE(Ctl<TRadioButtonFormControlObj>(2)->RadioButton->Checked());
    EXPECT_TRUE(Ctl<TRadioButtonFormControlObj>(4)->RadioButton->Checked());
    Click(Ctl<TButtonFormControlObj>(3)->Control);
    Click(Ctl<TButtonFormControlObj>(5)->Control);
    EXPECT_EQ(Submitted, (std::vector<std::string>{"SIZE=m&other=o", "size=x"}));
}

TEST_F(FormTest, ControlsOutsideAnyFormShareAFormOfTheirOwn)
{
    Load("<form><input name=a value=1></form><input name=b value=2><input name=c value=3>"
         "<input type=submit><form><input name=d value=4></form>");
    ASSERT_EQ(Doc()->formList.Count(), 3);
    EXPECT_EQ(Ctl(1)->OwnerForm, Ctl(2)->OwnerForm);
    EXPECT_NE(Ctl(0)->OwnerForm, Ctl(1)->OwnerForm);
    EXPECT_NE(Ctl(4)->OwnerForm, Ctl(1)->OwnerForm);
    Click(Ctl(3)->Control);
    EXPECT_EQ(Submitted, (std::vector<std::string>{"b=2&c=3"}));
}

TEST_F(FormTest, ResetRestoresEveryControl)
{
    Load("<form><input name=t value=start><input type=checkbox name=c checked>"
         "<input type=checkbox name=d><input type=radio name=r value=1 checked><input type=radio name=r value=2>"
         "<select name=s><option>a<option selected>b<option selected>c<option>d</select>"
         "<select name=m multiple><option selected>x<option>y<option>z</select>"
         "<textarea name=a>line 1\r\nline 2</textarea><input type=reset><input type=submit></form>");
    const std::string Initial = "t=start&c=On&r=1&s=c&m=x&a=line 1&a=line 2";
    Click(Ctl<TButtonFormControlObj>(9)->Control);
    ASSERT_EQ(Submitted.size(), 1u);
    EXPECT_EQ(Submitted[0], Initial);

    // Change everything by hand.
    auto* Edit = Ctl<TEditFormControlObj>(0);
    Click(Edit->Control);
    Key(VK_END);
    Key('X', "x");
    Click(Ctl(1)->Control);
    Click(Ctl(2)->Control);
    Click(Ctl<TRadioButtonFormControlObj>(4)->RadioButton);
    Ctl<TComboFormControlObj>(5)->ComboBox()->SetItemIndex(3);
    auto* Multi = Ctl<TListBoxFormControlObj>(6);
    Click(Multi->Control, 10, Multi->ListBox()->ItemRect(2).top + 2);
    auto* Area = Ctl<TTextAreaFormControlObj>(7);
    Click(Area->Control);
    Key('Q', "q");
    Click(Ctl<TButtonFormControlObj>(9)->Control);
    ASSERT_EQ(Submitted.size(), 2u);
    EXPECT_NE(Submitted[1], Initial);
    EXPECT_EQ(Submitted[1].substr(0, 15), "t=startx&d=On&r");

    Click(Ctl<TButtonFormControlObj>(8)->Control);
    EXPECT_EQ(Edit->Edit()->Text(), "start");
    EXPECT_EQ(Area->Memo()->SelStart(), 0);
    Click(Ctl<TButtonFormControlObj>(9)->Control);
    ASSERT_EQ(Submitted.size(), 3u);
    EXPECT_EQ(Submitted[2], Initial);
}

TEST_F(FormTest, TabMovesThroughTheControlsInDocumentOrder)
{
    Load("<form><input name=a><p>text <input type=checkbox name=b>"
         "<table><tr><td><select name=c><option>x</select></td></tr></table>"
         "<textarea name=d></textarea><input type=submit name=e></form>");
    Click(Ctl(0)->Control);
    std::vector<std::string> Order;
    for (int I = 0; I < 5; ++I) {
        TWinControl* F = FocusedControl();
        ASSERT_NE(F, nullptr) << I;
        for (int C = 0; C < Doc()->AllFormControls.Count(); ++C)
            if (Ctl(C)->Control == F)
                Order.push_back(Ctl(C)->Name);
        Key(VK_TAB);
    }
    EXPECT_EQ(Order, (std::vector<std::string>{"a", "b", "c", "d", "e"}));
}

TEST_F(FormTest, PageKeysInABoxScrollTheDocument)
{
    std::string Page = LongPage(60);
    Page.insert(Page.find("<body>") + 6, "<form><input name=a></form>");
    Load(Page);
    auto* Edit = Ctl(0);
    Click(Edit->Control);
    ASSERT_EQ(Viewer->VScrollBar()->Position(), 0);
    Key(VK_NEXT);
    EXPECT_GT(Viewer->VScrollBar()->Position(), 0);
    // Scrolled away, the box is hidden with the part of the page that holds it.
    EXPECT_FALSE(Edit->Control->Visible() && Edit->Control->Top() >= 0);
}

TEST_F(FormTest, SizesFollowTheFontAndAreCapped)
{
    Load("<form><input name=a size=10><input name=b size=99999999><textarea rows=99999999 cols=99999999>"
         "</textarea><select><option>\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9</select>"
         "<select size=2><option>abcdefgh</select></form>");
    auto* Small = Ctl(0);
    EXPECT_GT(Small->Width(), 10 * 4);
    EXPECT_LT(Small->Width(), 10 * 20);
    EXPECT_EQ(Ctl(1)->Width(), 8000);
    EXPECT_LE(Ctl(2)->Width(), 8000 + 40);
    EXPECT_LE(Ctl(2)->Height(), 8000 + 40);
    // Six characters of two bytes each are six characters wide.
    EXPECT_EQ(Ctl<TComboFormControlObj>(3)->LongestText, 6);
    EXPECT_EQ(Ctl<TListBoxFormControlObj>(4)->LongestText, 8);
    EXPECT_EQ(Ctl<TListBoxFormControlObj>(4)->VisibleRows, 2);
}

// Counts the pixels of Color in a region of the image.
int CountOf(const TDibImage& Image, std::uint32_t Color, int Left, int Top, int Right, int Bottom)
{
    int N = 0;
    for (int Y = std::max(0, Top); Y < std::min(Image.Height, Bottom); ++Y)
        for (int X = std::max(0, Left); X < std::min(Image.Width, Right); ++X)
            if ((Image.Pixels[static_cast<std::size_t>(Y) * Image.Width + X] & 0xFFFFFF) == Color)
                ++N;
    return N;
}

TEST_F(FormTest, SmallFormRendersOnTheScreenAndWhenPrinted)
{
    Load("<form>Name <input name=n value=\"Ada\"> <input type=password name=p value=\"secret\">"
         "<input type=checkbox name=c checked><input type=radio name=r checked>"
         "<input type=submit name=go value=Send></form>");
    auto* Edit = Ctl<TEditFormControlObj>(0);
    auto* Box = Ctl<TCheckBoxFormControlObj>(2);
    ASSERT_TRUE(Edit->Control->Visible());
    // On the screen the real controls stand in the text, after the word.
    EXPECT_GT(Edit->Control->Left(), 10);
    EXPECT_GE(Edit->Control->Top(), 0);
    const TDibImage Screen = CaptureWindowImage(Viewer->PaintPanel()->Handle(), true);
    const TRect E = Edit->Control->BoundsRect();
    EXPECT_GT(CountOf(Screen, 0x000000, E.left, E.top, E.right, E.bottom), 10); // its text

    // Printed, each control draws its look where it stands; the windows stay as they are.
    TBitmap Page;
    Page.SetWidth(400);
    Page.SetHeight(100);
    TCanvas* C = Page.Canvas();
    C->Brush()->SetColor(clWhite);
    C->FillRect(Rect(0, 0, 400, 100));
    Doc()->Printing = true;
    Doc()->Draw(C, Rect(10, 1, 400, 100), 0, 10, 400);
    Doc()->Printing = false;
    const TDibImage Printed = Page.ToDibImage();
    EXPECT_GT(CountOf(Printed, 0x000000, E.left, E.top, E.right, E.bottom), 10);
    EXPECT_GT(CountOf(Printed, 0x808080, E.left, E.top, E.right, E.bottom), E.right - E.left); // the frame
    // The tick of the check mark.
    const TRect B = Box->Control->BoundsRect();
    EXPECT_GT(CountOf(Printed, 0x000000, B.left + 2, B.top + 2, B.right - 2, B.bottom - 2), 3);

    // A printed password box shows stars, never the password.
    auto* Secret = Ctl<TEditFormControlObj>(1);
    TBitmap Plain, Starred;
    for (TBitmap* Bmp : {&Plain, &Starred}) {
        Bmp->SetWidth(Secret->Width());
        Bmp->SetHeight(Secret->Height());
        Bmp->Canvas()->Brush()->SetColor(clWhite);
        Bmp->Canvas()->FillRect(Rect(0, 0, Secret->Width(), Secret->Height()));
    }
    Secret->PaintOnCanvas(Starred.Canvas(), 0, 0);
    Secret->Edit()->SetPasswordChar(0);
    Secret->PaintOnCanvas(Plain.Canvas(), 0, 0);
    Secret->Edit()->SetText("******");
    TBitmap Stars;
    Stars.SetWidth(Secret->Width());
    Stars.SetHeight(Secret->Height());
    Stars.Canvas()->Brush()->SetColor(clWhite);
    Stars.Canvas()->FillRect(Rect(0, 0, Secret->Width(), Secret->Height()));
    Secret->PaintOnCanvas(Stars.Canvas(), 0, 0);
    EXPECT_EQ(Starred.ToDibImage().Pixels, Stars.ToDibImage().Pixels);
    EXPECT_NE(Plain.ToDibImage().Pixels, Stars.ToDibImage().Pixels);
}

} // namespace
