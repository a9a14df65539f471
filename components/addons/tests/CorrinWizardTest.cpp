#include "components/addons/CorrinWizard.h"

#include "platform/classes/FormReader.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdCtrls.h"
#include "platform/testing/FormTesting.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

class CorrinWizardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(nullptr);
        Form->SetBounds(100, 100, 600, 300);
        Form->SetClientWidth(509);
        Book = new TNotebook(Form);
        Book->SetParent(Form);
        Book->SetAlign(alClient);
        TStringList Pages;
        for (int I = 0; I < 6; ++I)
            Pages.Add("Page" + std::to_string(I));
        Book->SetPages(&Pages);
        Bar = new TCorrinWizard(Form);
        Bar->SetParent(Form);
        Bar->OnBackClick = [this](TObject* S) { Log(S, "back"); };
        Bar->OnNextClick = [this](TObject* S) { Log(S, "next"); };
        Bar->OnPageChange = [this](TObject* S) { Log(S, "change"); };
        Bar->OnEndClick = [this](TObject* S) { Log(S, "end"); };
        Bar->OnHelpClick = [this](TObject* S) { Log(S, "help"); };
        Form->Show();
        ProcessMessages();
    }
    void TearDown() override
    {
        Form->BeforeDestruction();
        delete Form;
    }
    void Log(TObject* Sender, const std::string& What)
    {
        EXPECT_EQ(Sender, Bar) << What;
        Events.push_back(What);
    }
    // Page index, Back and Next enabled, the third button's caption.
    void ExpectState(int Page, bool Back, bool Next, const std::string& End)
    {
        SCOPED_TRACE("page " + std::to_string(Page));
        EXPECT_EQ(Book->PageIndex(), Page);
        EXPECT_EQ(Bar->BackButton()->Enabled(), Back);
        EXPECT_EQ(Bar->NextButton()->Enabled(), Next);
        EXPECT_EQ(Bar->EndButton()->Caption(), End);
    }
    TWindowTest Fixture;
    TForm* Form = nullptr;
    TNotebook* Book = nullptr;
    TCorrinWizard* Bar = nullptr;
    std::vector<std::string> Events;
};

TEST_F(CorrinWizardTest, ButtonsSitWhereTheBarsWidthPutsThem)
{
    ASSERT_EQ(Bar->Width(), 509);
    ASSERT_EQ(Bar->Height(), 44);
    EXPECT_EQ(Bar->Top(), Form->ClientHeight() - 44);
    struct {
        TButton* Button;
        int Left;
        const char* Caption;
    } const Cases[] = {
        {Bar->HelpButton(), 182, "&Help"},
        {Bar->BackButton(), 266, "< &Back"},
        {Bar->NextButton(), 341, "&Next >"},
        {Bar->EndButton(), 426, "&Finish"}, // no notebook yet: the bar reads Finish
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Caption);
        EXPECT_EQ(C.Button->Left(), C.Left);
        EXPECT_EQ(C.Button->Top(), 13);
        EXPECT_EQ(C.Button->Width(), 75);
        EXPECT_EQ(C.Button->Height(), 23);
        EXPECT_EQ(C.Button->Caption(), C.Caption);
        EXPECT_TRUE(C.Button->Visible());
    }
    EXPECT_FALSE(Bar->BackButton()->Enabled());
    EXPECT_FALSE(Bar->NextButton()->Enabled());

    // The etched line: shadow over highlight, 9 pixels in from either end.
    auto Image = RenderControl(Bar);
    EXPECT_EQ(PixelAt(Image.get(), 9, 1) & 0xFFFFFF, ColorToRGB(clBtnShadow));
    EXPECT_EQ(PixelAt(Image.get(), 250, 1) & 0xFFFFFF, ColorToRGB(clBtnShadow));
    EXPECT_EQ(PixelAt(Image.get(), 250, 2) & 0xFFFFFF, ColorToRGB(clBtnHighlight));
    EXPECT_EQ(PixelAt(Image.get(), 5, 1) & 0xFFFFFF, ColorToRGB(clBtnFace));
    EXPECT_EQ(PixelAt(Image.get(), 502, 1) & 0xFFFFFF, ColorToRGB(clBtnFace));
    if (const char* Dir = std::getenv("TW_RENDER_DIR"))
        Image->SaveToFile(std::string(Dir) + "/wizard-bar.bmp");

    // The buttons follow the bar when it grows.
    Form->SetClientWidth(600);
    ProcessMessages();
    EXPECT_EQ(Bar->EndButton()->Left(), 600 - 83);
    EXPECT_EQ(Bar->HelpButton()->Left(), 600 - 327);
}

TEST_F(CorrinWizardTest, StepsThroughSixPages)
{
    Book->SetPageIndex(2);
    Bar->SetNoteBook(Book);
    ExpectState(0, false, true, "&Finish"); // the caption waits for the first step
    Bar->GoNext();
    ExpectState(1, true, true, "&Cancel");
    for (int I = 0; I < 4; ++I)
        Bar->GoNext();
    ExpectState(5, true, false, "&Finish");
    EXPECT_TRUE(Bar->AtLastPage());
    EXPECT_EQ(Bar->LastPageName(), "Page5");
    Bar->GoNext(); // nowhere further to go
    ExpectState(5, true, false, "&Finish");
    Bar->GoBack();
    ExpectState(4, true, true, "&Cancel");
    EXPECT_FALSE(Bar->AtLastPage());
    EXPECT_EQ(Events.size(), 14u);
    EXPECT_EQ(Events[0], "next");
    EXPECT_EQ(Events[1], "change");
}

TEST_F(CorrinWizardTest, BackAtTheFirstPageStaysAndStillReports)
{
    Bar->SetNoteBook(Book);
    Bar->GoBack();
    ExpectState(0, false, true, "&Cancel");
    EXPECT_EQ(Events, (std::vector<std::string>{"back", "change"}));
}

TEST_F(CorrinWizardTest, PageChangingRedirectsTheStep)
{
    Bar->SetNoteBook(Book);
    std::vector<std::pair<TWizDirection, int>> Asked;
    Bar->OnPageChanging = [&](TWizDirection Direction, int& ShowPage) {
        Asked.emplace_back(Direction, ShowPage);
        if (Direction == wdForward)
            ShowPage = 3;
    };
    Bar->GoNext();
    ExpectState(3, true, true, "&Cancel");
    Bar->GoBack();
    ExpectState(2, true, true, "&Cancel");
    ASSERT_EQ(Asked.size(), 2u);
    EXPECT_EQ(Asked[0], std::make_pair(wdForward, 1));
    EXPECT_EQ(Asked[1], std::make_pair(wdBackward, 2));
}

TEST_F(CorrinWizardTest, ButtonClicksStepCloseAndAskForHelp)
{
    Bar->SetNoteBook(Book);
    ProcessMessages();
    ASSERT_TRUE(ClickControl(Bar->NextButton(), 10, 10));
    EXPECT_EQ(Book->PageIndex(), 1);
    ASSERT_TRUE(ClickControl(Bar->BackButton(), 10, 10));
    EXPECT_EQ(Book->PageIndex(), 0);
    ASSERT_TRUE(ClickControl(Bar->EndButton(), 10, 10));
    ASSERT_TRUE(ClickControl(Bar->HelpButton(), 10, 10));
    EXPECT_EQ(Events, (std::vector<std::string>{"next", "change", "back", "change", "end", "help"}));

    Bar->SetEnableHelp(false);
    ProcessMessages();
    EXPECT_FALSE(Bar->HelpButton()->Visible());
}

TEST_F(CorrinWizardTest, CaptionsGoOnTheirButtons)
{
    Bar->SetNoteBook(Book);
    Bar->SetBackCaption("Zur\xC3\xBC"
                        "ck");
    Bar->SetNextCaption("Weiter");
    Bar->SetHelpCaption("Hilfe");
    Bar->SetReadyCaption("Fertig");
    Bar->SetAbortCaption("Abbrechen");
    EXPECT_EQ(Bar->BackButton()->Caption(), "Zur\xC3\xBC"
                                            "ck");
    EXPECT_EQ(Bar->NextButton()->Caption(), "Weiter");
    EXPECT_EQ(Bar->HelpButton()->Caption(), "Hilfe");
    EXPECT_EQ(Bar->EndButton()->Caption(), "Abbrechen");
    Book->SetPageIndex(4);
    Bar->GoNext();
    EXPECT_EQ(Bar->EndButton()->Caption(), "Fertig");
    // The abort caption goes on the button whatever the page.
    Bar->SetAbortCaption("Stop");
    EXPECT_EQ(Bar->EndButton()->Caption(), "Stop");
}

TEST_F(CorrinWizardTest, OneOrNoPageAndAFreedNotebook)
{
    TStringList One;
    One.Add("Only");
    Book->SetPages(&One);
    Bar->SetNoteBook(Book);
    ExpectState(0, false, false, "&Finish");
    EXPECT_TRUE(Bar->EndButton()->Enabled());
    Bar->GoNext();
    ExpectState(0, false, false, "&Finish");

    delete Book;
    Book = nullptr;
    EXPECT_EQ(Bar->NoteBook(), nullptr);
    Bar->GoNext(); // without a notebook only the events come
    EXPECT_EQ(Events.back(), "change");
}

TEST_F(CorrinWizardTest, ABarTooShortForItsButtonsPaintsOnce)
{
    Bar->SetHeight(20);
    ProcessMessages();
    EXPECT_EQ(Bar->EndButton()->Top(), 20 - 31);
    // Placing the buttons again changes nothing, so nothing is left to repaint.
    Bar->Invalidate();
    ProcessMessages();
    EXPECT_EQ(ProcessMessages(), 0);
}

TEST_F(CorrinWizardTest, ReadFromAFormDescription)
{
    TForm* Read = CreateFormFromText<TForm>(nullptr, R"(object Wizard: TForm
  ClientWidth = 509
  ClientHeight = 300
  object Notebook1: TNotebook
    Align = alClient
    Pages.Strings = ( 'One' 'Two' 'Three' )
  end
  object CorrinWizard1: TCorrinWizard
    NoteBook = Notebook1
    EnableHelp = False
    ReadyCaption = 'Done'
  end
end
)");
    std::unique_ptr<TForm> Guard(Read);
    auto* W = dynamic_cast<TCorrinWizard*>(Read->FindComponent("CorrinWizard1"));
    auto* NB = dynamic_cast<TNotebook*>(Read->FindComponent("Notebook1"));
    ASSERT_TRUE(W && NB);
    EXPECT_EQ(W->NoteBook(), NB);
    EXPECT_EQ(NB->PageIndex(), 0);
    EXPECT_FALSE(W->EnableHelp());
    EXPECT_EQ(W->Align(), alBottom);
    W->GoNext();
    W->GoNext();
    EXPECT_EQ(W->EndButton()->Caption(), "Done");
    // The defaults are not written back; the buttons are the bar's own, not the form's.
    const std::string Written = WriteForm(Read);
    EXPECT_EQ(Written.find("BackCaption"), std::string::npos);
    EXPECT_NE(Written.find("ReadyCaption = 'Done'"), std::string::npos);
    EXPECT_EQ(Written.find("TButton"), std::string::npos);
    Read->BeforeDestruction();
}

} // namespace
