#include "apps/script-editor/Childwin.h"
#include "apps/script-editor/FuncNav.h"
#include "apps/script-editor/Main.h"
#include "apps/script-editor/WendleStartup.h"
#include "apps/script-editor/tests/WendleProgramTest.h"
#include "platform/testing/AppTesting.h"
#include "platform/testing/TestSupport.h"
#include "platform/win/Messages.h"
#include "platform/win/WinUser.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using namespace testing_support;

namespace funcnav {
void PrintTo(const THit& Hit, std::ostream* Os)
{
    *Os << "[" << Hit.First << ", " << Hit.Last << ")";
}
} // namespace funcnav

using funcnav::FindBackward;
using funcnav::FindForward;
using funcnav::THit;

namespace {

std::string Pad(int N, char C = 'a')
{
    return std::string(static_cast<std::size_t>(N), C);
}

struct TSearchCase {
    const char* What;
    std::string Text;
    int From;
    std::optional<THit> Hit;
};

TEST(FunctionSearch, ForwardFindsTheWordStandingBetweenBlanksAndLineBreaks)
{
    const TSearchCase Cases[] = {
        {"word at offset 0", "function a()", 0, THit{0, 8}},
        {"whole text is the word", "function", 0, THit{0, 8}},
        {"capital F", "x Function y", 0, THit{2, 10}},
        {"capitals", "x FUNCTION y", 0, THit{2, 10}},
        {"opening parenthesis after", "a function(x) ", 0, std::nullopt},
        {"letter after", "a functions b", 0, std::nullopt},
        {"letter before", "a xfunction b", 0, std::nullopt},
        {"tab before", "a\tfunction b", 0, std::nullopt},
        {"line start and end", "a\r\nfunction\r\nb", 0, THit{3, 11}},
        {"line start", "a\r\nfunction b", 0, THit{3, 11}},
        {"line end", "a function\r\nb", 0, THit{2, 10}},
        {"lone CR before", "a\rfunction b", 0, std::nullopt},
        {"lone LF after", "a function\nb", 0, std::nullopt},
        {"leftmost of two", "x function a function b", 0, THit{2, 10}},
        {"from inside the first", "function a function b", 1, THit{11, 19}},
        {"from just after the first", "function a function b", 8, THit{11, 19}},
        {"word before the caret only", "function x", 3, std::nullopt},
        {"nothing", "no keyword here", 0, std::nullopt},
        {"empty text", "", 0, std::nullopt},
        {"caret past the end", "function", 99, std::nullopt},
        // Windows of 250 characters, 225 apart.
        {"inside the overlap: first window", Pad(239) + " function " + Pad(20), 0, THit{240, 248}},
        {"across 250: second window", Pad(244) + " function z", 0, THit{245, 253}},
        {"across 225 from a later caret", Pad(300) + " function z", 80, THit{301, 309}},
        {"far away", Pad(999) + " function " + Pad(3), 0, THit{1000, 1008}},
        {"at the end, behind many windows", Pad(1000) + "\nfunction", 0, THit{1001, 1009}},
        // The framing blank stands in for the letter after a word cut at the window's end.
        {"cut at the window end", Pad(241) + " functionx tail", 0, THit{242, 250}},
        {"not cut one caret later", Pad(241) + " functionx tail", 1, std::nullopt},
    };
    for (const TSearchCase& C : Cases)
        EXPECT_EQ(FindForward(C.Text, C.From), C.Hit) << C.What;
}

TEST(FunctionSearch, BackwardReadsOnlyWhatLiesBeforeTheCaret)
{
    const TSearchCase Cases[] = {
        {"word at offset 0", "function a", 10, THit{0, 8}},
        {"caret right after the word", "function x", 8, THit{0, 8}},
        {"word ending the text", "a function", 10, THit{2, 10}},
        {"capitals", "a FuncTion b", 12, THit{2, 10}},
        {"previous of two", "function a function b", 11, THit{0, 8}},
        {"nearest of two", "function a function b", 21, THit{11, 19}},
        {"parenthesis after", "a function(x)", 13, std::nullopt},
        {"letter before", "a xfunction b", 13, std::nullopt},
        {"line start and end", "a\r\nfunction\r\nb", 14, THit{3, 11}},
        {"line start", "a\r\nfunction b", 13, THit{3, 11}},
        {"line end", "a function\r\nb", 13, THit{2, 10}},
        {"lone CR before", "a\rfunction b", 12, std::nullopt},
        {"caret at 0", "function a", 0, std::nullopt},
        {"nothing", "no keyword here", 15, std::nullopt},
        {"caret past the end is the end", "a function", 99, THit{2, 10}},
        // The character at the caret is not read: with the word just before a caret at 249 the
        // selection lands on it, not one character early.
        {"backward from 249", Pad(240) + " function tail", 249, THit{241, 249}},
        {"backward from 250", Pad(240) + " function tail", 250, THit{241, 249}},
        {"backward from 251", Pad(240) + " function tail", 251, THit{241, 249}},
        {"in an earlier window", Pad(9) + " function " + Pad(400), 400, THit{10, 18}},
        {"far back", " function " + Pad(2000), 2010, THit{1, 9}},
        // The framing blank stands in for the letter before a word cut at the window's start.
        {"cut at the window start", Pad(8, 'x') + "function " + Pad(241), 258, THit{8, 16}},
        {"not cut one caret later", Pad(8, 'x') + "function " + Pad(242), 259, std::nullopt},
    };
    for (const TSearchCase& C : Cases)
        EXPECT_EQ(FindBackward(C.Text, C.From), C.Hit) << C.What;
}

TEST(FunctionSearch, WindowMatchGivesThePositionOfTheWordsFirstCharacter)
{
    EXPECT_EQ(funcnav::MatchWindow("  function  ", false), 3);
    EXPECT_EQ(funcnav::MatchWindow("ab\nfunction\r", false), 4);
    EXPECT_EQ(funcnav::MatchWindow("  xfunction  ", false), 0);
    // Leftmost wins whatever the pattern's order.
    EXPECT_EQ(funcnav::MatchWindow("\nfunction\r function ", false), 2);
    EXPECT_EQ(funcnav::MatchWindow("  noitcnuf  ", true), 3);
    EXPECT_EQ(funcnav::MatchWindow(" \rnoitcnuf\n", true), 3);
    EXPECT_EQ(funcnav::MatchWindow("  function  ", true), 0);
}

// ---- The buttons on the frame -------------------------------------------------------------------
class NavigatorTest : public WendleProgramTest {
protected:
    TColorMemo* Document(const std::string& Text, int Caret)
    {
        Frame->ToolbarButton48Click(Frame);
        ProcessMessages();
        TColorMemo* Memo = Frame->ActiveDocument()->ColorMemo1;
        Memo->SetText(Text);
        Memo->SetSelStart(Caret);
        return Memo;
    }
    void Click(TToolbarButton* Button)
    {
        ASSERT_TRUE(Button && Button->OnClick);
        Button->OnClick(Button);
        ProcessMessages();
    }
    void ExpectNotFound() { Fixture.Dialogs.ExpectMessageBox(IDOK, "cannot be found"); }
};

TEST_F(NavigatorTest, ForwardStepsFromFunctionToFunctionThenReports)
{
    TColorMemo* Memo = Document("function a()\r\n{\r\n}\r\nFunction b()\r\n", 0);
    Click(Frame->forward1);
    EXPECT_EQ(Memo->SelStart(), 0);
    EXPECT_EQ(Memo->SelLength(), 8);
    // The selected word is stepped over.
    Click(Frame->forward1);
    EXPECT_EQ(Memo->SelStart(), 20);
    EXPECT_EQ(Memo->SelText(), "Function");
    // None after it: the message, once; the caret stays past the word it stepped over.
    ExpectNotFound();
    Click(Frame->forward1);
    ASSERT_EQ(Fixture.Dialogs.Records().size(), 1u);
    EXPECT_EQ(Fixture.Dialogs.Records()[0].Text, "\"function\" cannot be found");
    EXPECT_EQ(Memo->SelStart(), 28);
    EXPECT_EQ(Memo->SelLength(), 0);
    Fixture.Dialogs.VerifyAllUsed();
}

TEST_F(NavigatorTest, BackFindsThePreviousFunctionWithoutSteppingOver)
{
    std::string Text = "function a()\r\n{}\r\nfunction b()\r\n{}\r\n";
    TColorMemo* Memo = Document(Text, static_cast<int>(Text.size()));
    Click(Frame->back);
    EXPECT_EQ(Memo->SelStart(), 18);
    EXPECT_EQ(Memo->SelLength(), 8);
    Click(Frame->back);
    EXPECT_EQ(Memo->SelStart(), 0);
    EXPECT_EQ(Memo->SelLength(), 8);
    ExpectNotFound();
    Click(Frame->back);
    EXPECT_EQ(Memo->SelStart(), 0);
    EXPECT_EQ(Memo->SelLength(), 8);
    Fixture.Dialogs.VerifyAllUsed();
}

TEST_F(NavigatorTest, NotFoundLeavesTheSelectionAsItWas)
{
    TColorMemo* Memo = Document("var functional = 1;\r\nxfunction(y)\r\n", 4);
    Memo->SetSelLength(3);
    ExpectNotFound();
    Click(Frame->forward1);
    EXPECT_EQ(Memo->SelStart(), 4);
    EXPECT_EQ(Memo->SelLength(), 3);
    ExpectNotFound();
    Click(Frame->back);
    EXPECT_EQ(Memo->SelStart(), 4);
    EXPECT_EQ(Memo->SelLength(), 3);
    Fixture.Dialogs.VerifyAllUsed();
}

TEST_F(NavigatorTest, TheFoundWordIsScrolledIntoView)
{
    std::string Text;
    for (int I = 0; I < 300; ++I)
        Text += "var x" + std::to_string(I) + " = 0;\r\n";
    int At = static_cast<int>(Text.size());
    Text += "function late()\r\n";
    TColorMemo* Memo = Document(Text, 0);
    SendMessage(Memo->Handle(), EM_SETSEL, 0, 0);
    SendMessage(Memo->Handle(), EM_SCROLLCARET, 0, 0);
    ProcessMessages();
    ASSERT_EQ(SendMessage(Memo->Handle(), EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    Click(Frame->forward1);
    EXPECT_EQ(Memo->SelStart(), At);
    EXPECT_GT(SendMessage(Memo->Handle(), EM_GETFIRSTVISIBLELINE, 0, 0), 200);
}

// The user goes on typing where the navigator left off: a new document has the keyboard, and the
// "cannot be found" message gives it back to the document.
TEST_F(NavigatorTest, AfterTheMessageTypingGoesOnInTheDocument)
{
    TColorMemo* Memo = Document("function a", 0);
    ProcessMessages();
    ASSERT_EQ(GetFocus(), Memo->Handle());
    Click(Frame->forward1);
    ExpectNotFound();
    Click(Frame->forward1);
    ProcessMessages();
    EXPECT_EQ(GetFocus(), Memo->Handle());
    PressKey('X', "X");
    ProcessMessages();
    EXPECT_EQ(Memo->Text(), "functionX a");
    Fixture.Dialogs.VerifyAllUsed();
}

TEST_F(NavigatorTest, WithoutADocumentTheButtonsDoNothing)
{
    ASSERT_FALSE(Frame->ActiveDocument());
    Click(Frame->forward1);
    Click(Frame->back);
    EXPECT_TRUE(Fixture.Dialogs.Records().empty());
}

} // namespace
