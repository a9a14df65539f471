// The fixtures themselves: a dialog nobody expected, or an answer nobody asked for, must fail the
// test that relies on them, or every other window test could pass while a box blocked a user.
#include "platform/controls/ExtCtrls.h"
#include "platform/testing/AppTesting.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

class FixturesTest : public ::testing::Test, public TAppTest {};

TEST_F(FixturesTest, UnexpectedOrUnusedAnswersFailTheTest)
{
    // A box with no answer queued fails and is answered as if cancelled.
    int Answer = 0;
    EXPECT_NONFATAL_FAILURE(Answer = MessageBox(nullptr, "Really?", "Note", MB_YESNOCANCEL),
                            "unexpected message box");
    EXPECT_EQ(Answer, IDCANCEL);
    // An answer of another kind fails too, and the dialog is cancelled.
    TOpenDialog Open(nullptr);
    Dialogs.ExpectMessageBox(IDOK);
    bool Opened = true;
    EXPECT_NONFATAL_FAILURE(Opened = Open.Execute(), "expected a message box, got a open dialog");
    EXPECT_FALSE(Opened);
    // A box that does not say what the test expects.
    Dialogs.ExpectMessageBox(IDOK, "saved");
    EXPECT_NONFATAL_FAILURE(MessageBox(nullptr, "Deleted.", "Note", MB_OK), "does not say \"saved\"");
    // An answer queued but never asked for.
    Dialogs.ExpectSaveFile("/tmp/x.txt");
    EXPECT_NONFATAL_FAILURE(Dialogs.VerifyAllUsed(), "an expected save dialog never came");
    EXPECT_EQ(Dialogs.Pending(), 0u);
    // The same for menus.
    TPopupMenu Menu(nullptr);
    auto* Item = new TMenuItem(&Menu);
    Item->SetCaption("&Copy");
    Menu.Items()->Add(Item);
    EXPECT_NONFATAL_FAILURE(Menu.Popup(10, 10), "unexpected menu");
    MenuChoices.ExpectChoice({"Paste"});
    EXPECT_NONFATAL_FAILURE(Menu.Popup(10, 10), "no entry \"Paste\"");
    MenuChoices.ExpectChoice({"Copy"});
    EXPECT_NONFATAL_FAILURE(MenuChoices.VerifyAllUsed(), "never came");
}

TEST_F(FixturesTest, MessageBoxesSayWhatTheyAreAndReturnTheButton)
{
    App->SetTitle("Fixture Program");
    struct TCase {
        std::function<int()> Show;
        int Answer;
        std::string Caption;
        UINT Flags;
    };
    std::vector<TCase> Cases = {
        {[] { return MessageDlg("Save?", mtConfirmation, mbYesNoCancel, 0); }, IDNO, "Confirm",
         MB_YESNOCANCEL | MB_ICONQUESTION},
        {[] { return MessageDlg("Careful", mtWarning, TMsgDlgButtons{mbOK}, 0); }, IDOK, "Warning",
         MB_OK | MB_ICONWARNING},
        {[] { return MessageDlg("Broke", mtError, mbAbortRetryIgnore, 0); }, IDRETRY, "Error",
         MB_ABORTRETRYIGNORE | MB_ICONERROR},
        {[] { return MessageDlg("Note", mtInformation, mbOKCancel, 0); }, IDCANCEL, "Information",
         MB_OKCANCEL | MB_ICONINFORMATION},
        {[] {
             return MessageDlg("Plain", mtCustom, TMsgDlgButtons{mbYes, mbNo}, 0);
         },
         IDYES, "Fixture Program", MB_YESNO},
        {[] {
             ShowMessage("Done");
             return IDOK;
         },
         IDOK, "Fixture Program", MB_OK},
        {[this] { return App->MessageBox("Stop", "Halt", MB_RETRYCANCEL | MB_ICONSTOP); }, IDRETRY, "Halt",
         MB_RETRYCANCEL | MB_ICONSTOP},
    };
    for (std::size_t I = 0; I < Cases.size(); ++I) {
        Dialogs.ExpectMessageBox(Cases[I].Answer);
        EXPECT_EQ(Cases[I].Show(), Cases[I].Answer) << I;
        ASSERT_EQ(Dialogs.Records().size(), I + 1);
        EXPECT_EQ(Dialogs.Records()[I].Caption, Cases[I].Caption) << I;
        EXPECT_EQ(Dialogs.Records()[I].Flags & (MB_TYPEMASK | MB_ICONMASK), Cases[I].Flags) << I;
    }
    // The modal results are the box answers of the same number.
    EXPECT_EQ(mrYes, IDYES);
    EXPECT_EQ(mrRetry, IDRETRY);
}

TEST_F(FixturesTest, CommonDialogsTakeTheQueuedChoices)
{
    TFontDialog Font(nullptr);
    Font.Font()->SetName("Arial");
    Dialogs.ExpectFont("Courier New", 12);
    ASSERT_TRUE(Font.Execute());
    EXPECT_EQ(Font.Font()->Name(), "Courier New");
    EXPECT_EQ(Font.Font()->Size(), 12);
    Dialogs.ExpectFont("Times New Roman", 20, false);
    EXPECT_FALSE(Font.Execute());
    EXPECT_EQ(Font.Font()->Name(), "Courier New");

    TColorDialog Colour(nullptr);
    Colour.Color = clBlue;
    Dialogs.ExpectColor(clRed, false);
    EXPECT_FALSE(Colour.Execute());
    EXPECT_EQ(Colour.Color, clBlue);

    TSaveDialog Save(nullptr);
    Dialogs.ExpectSaveFile("");
    EXPECT_FALSE(Save.Execute());
    EXPECT_EQ(Dialogs.Records().back().Kind, TDialogKind::SaveFile);
}

TEST_F(FixturesTest, TimersRunOnTheTestClockAndControlsRenderToBitmaps)
{
    auto* F = new TForm(App);
    F->SetBounds(50, 50, 200, 150);
    F->SetColor(clWhite);
    auto* P = new TPanel(F);
    P->SetParent(F);
    P->SetBounds(10, 10, 40, 30);
    P->SetBevelOuter(bvNone);
    P->SetColor(clRed);
    auto* T = new TTimer(F);
    T->SetInterval(100);
    int Ticks = 0;
    T->OnTimer = [&](TObject*) { ++Ticks; };
    F->Show();
    ProcessMessages();
    // Nothing happens on the wall clock; the test decides when time passes.
    EXPECT_EQ(Ticks, 0);
    AdvanceClock(99);
    ProcessMessages();
    EXPECT_EQ(Ticks, 0);
    AdvanceClock(1);
    ProcessMessages();
    EXPECT_EQ(Ticks, 1);
    AdvanceClock(250);
    ProcessMessages();
    EXPECT_GE(Ticks, 2);
    T->SetEnabled(false);

    auto Form = RenderControl(F);
    EXPECT_EQ(PixelAt(Form.get(), 5, 5), clWhite);
    EXPECT_EQ(PixelAt(Form.get(), 20, 20), clRed);
    auto Panel = RenderControl(P);
    EXPECT_EQ(Panel->Width(), 40);
    EXPECT_EQ(Panel->Height(), 30);
    EXPECT_EQ(PixelAt(Panel.get(), 0, 0), clRed);
}

} // namespace
