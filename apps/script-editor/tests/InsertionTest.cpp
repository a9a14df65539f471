#include "apps/script-editor/Childwin.h"
#include "apps/script-editor/Inserts.h"
#include "apps/script-editor/Main.h"
#include "apps/script-editor/WendleStartup.h"
#include "apps/script-editor/tests/WendleProgramTest.h"
#include "components/addons/AdCtrls.h"
#include "components/edit-boxes/ComboEdits.h"
#include "platform/app/Clipbrd.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Spin.h"
#include "platform/rtl/SysUtils.h"
#include "platform/testing/AppTesting.h"
#include "platform/testing/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

const std::string Dq = "\"";

// The program as it starts, with commands fired through the events their menu items and buttons
// are bound to in the frame's description.
class InsertionTest : public WendleProgramTest {
protected:
    // A new document holding Text with the selection [Start, Start + Length).
    TColorMemo* Document(const std::string& Text, int Start, int Length)
    {
        Frame->ToolbarButton48Click(Frame);
        ProcessMessages();
        TMDIChild* Child = Frame->ActiveDocument();
        EXPECT_TRUE(Child);
        if (!Child)
            return nullptr;
        TColorMemo* Memo = Child->ColorMemo1;
        Memo->SetText(Text);
        Memo->SetSelStart(Start);
        Memo->SetSelLength(Length);
        return Memo;
    }
    void SetField(const std::string& Name, const std::string& Text)
    {
        if (auto* Edit = Get<TCustomEdit>(Name))
            Edit->SetText(Text);
    }

    static bool Within(TControl* Control, TWinControl* Window)
    {
        for (TWinControl* P = Control ? Control->Parent() : nullptr; P; P = P->Parent())
            if (P == Window)
                return true;
        return false;
    }
};

// ---- Fixed texts, tags around and before the selection --------------------------------------
struct TInsertCase {
    const char* Command;
    const char* Before;
    int SelStart, SelLength;
    const char* After;
};

TEST_F(InsertionTest, CommandsReplaceTheSelectionAndLeaveTheCaretAfterTheText)
{
    const TInsertCase Cases[] = {
        // Fixed texts replace the selection (or go in at the caret).
        {"HTML2", "xy", 1, 0, "x<HTML></HTML>y"},
        {"HEAD2", "xy", 1, 0, "x<HEAD></HEAD>y"},
        {"TITLE2", "xy", 0, 2, "<TITLE></TITLE>"},
        {"H12", "a", 1, 0, "a<H1></H1>"},
        {"H22", "a", 1, 0, "a<H2></H2>"},
        {"H32", "a", 1, 0, "a<H3></H3>"},
        {"H42", "a", 1, 0, "a<H4></H4>"},
        {"H52", "a", 1, 0, "a<H5></H5>"},
        {"H62", "a", 0, 0, "<H6></H6>a"},
        {"BR1", "abcd", 1, 2, "a<BR>d"},
        {"HR1", "abcd", 1, 2, "a<HR>d"},
        {"N3", "", 0, 0, "<TABLE></TABLE>"},
        {"TR1", "", 0, 0, "<TR></TR>"},
        {"TD1", "", 0, 0, "<TD></TD>"},
        {"documentwrite1", "a\r\nb", 3, 0, "a\r\ndocument.write(add here)b"},
        {"ToolbarButton37", "a\r\nb", 0, 4, "document.write(add here)"},
        // The selection between an opening and a closing tag.
        {"ToolbarButton2", "xabcy", 1, 3, "x<B>abc</B>y"},
        {"ToolbarButton2", "xy", 1, 0, "x<B></B>y"},
        {"ToolbarButton16", "ab", 0, 2, "<I>ab</I>"},
        {"ToolbarButton15", "ab", 0, 2, "<U>ab</U>"},
        {"ToolbarButton14", "ab", 0, 2, "<BLINK>ab</BLINK>"},
        {"ToolbarButton13", "ab", 0, 2, "<STRONG>ab</STRONG>"},
        {"ToolbarButton11", "ab", 0, 2, "<KBD>ab</KBD>"},
        {"ToolbarButton10", "ab", 0, 2, "<VAR>ab</VAR>"},
        {"ToolbarButton9", "ab", 0, 2, "<STRIKE>ab</STRIKE>"},
        {"ToolbarButton8", "ab", 0, 2, "<CODE>ab</CODE>"},
        {"ToolbarButton7", "ab", 0, 2, "<DFN>ab</DFN>"},
        {"ToolbarButton6", "ab", 0, 2, "<TT>ab</TT>"},
        {"ToolbarButton5", "ab", 0, 2, "<EM>ab</EM>"},
        {"ToolbarButton4", "ab", 0, 2, "<SAMP>ab</SAMP>"},
        {"ToolbarButton12", "ab", 0, 2, "<CITE>ab</CITE>"},
        {"UL2", "p\r\nq", 0, 4, "<UL>p\r\nq</UL>"},
        {"OL2", "pq", 2, 0, "pq<OL></OL>"},
        {"DL2", "pq", 1, 1, "p<DL>q</DL>"},
        // An opening tag directly before the selection.
        {"LI2", "item", 0, 4, "<LI>item"},
        {"LH2", "ab", 1, 0, "a<LH>b"},
        {"DD2", "ab", 0, 1, "<DD>ab"},
        {"DIRMENU", "ab", 1, 1, "a<DIR>b"},
        {"MENU2", "ab", 2, 0, "ab<MENU>"},
        {"N4", "ab", 0, 2, "<P>ab"},
    };
    for (const TInsertCase& C : Cases) {
        SCOPED_TRACE(C.Command);
        TColorMemo* Memo = Document(C.Before, C.SelStart, C.SelLength);
        ASSERT_TRUE(Memo);
        Fire(C.Command);
        const std::string After = C.After;
        EXPECT_EQ(Memo->Text(), After);
        // The caret ends after what was put in, nothing selected.
        int Inserted =
            static_cast<int>(After.size()) - (static_cast<int>(std::string(C.Before).size()) - C.SelLength);
        EXPECT_EQ(Memo->SelStart(), C.SelStart + Inserted);
        EXPECT_EQ(Memo->SelLength(), 0);
        EXPECT_TRUE(Memo->Modified());
        Frame->ActiveDocument()->ColorMemo1->SetModified(false);
        Frame->ActiveDocument()->Close();
        ProcessMessages();
    }
}

// The Insert menu as stored: its groups and the captions and hints the status bar shows.
TEST_F(InsertionTest, InsertMenuHoldsItsGroupsCaptionsAndHints)
{
    const struct {
        const char* Name;
        const char* Caption;
        const char* Hint;
    } Items[] = {
        {"Insert1", "&Insert", "Insert"},
        {"InsertHTMLTag2", "Insert HTML Tag", "Insert HTML Tags"},
        {"HTML2", "<HTML>", "Add HTML Enclosures."},
        {"HEAD2", "<HEAD>", "Add Head Enclosures"},
        {"TITLE2", "<TITLE>", "Add Title Enclosures"},
        {"H12", "<H1>", "Heading Size 1"},
        {"H22", "<H2>", "Heading Size 2"},
        {"H32", "<H3>", "Heading Size 3"},
        {"H42", "<H4>", "Heading Size 4"},
        {"H52", "<H5>", "Heading Size 5"},
        {"H62", "<H6>", "Heading Size 6"},
        {"documentwrite1", "document.write()", ""},
        {"windowopen1", "window.open()", ""},
        {"JavaScriptAlert1", "JavaScript &Alert...", ""},
        {"JavaScriptPrompt1", "JavaScript &Prompt...", ""},
        {"JavaScriptConfirm1", "JavaScript &Confirm...", ""},
        {"ScriptTags1", "&Script Tags", ""},
        {"Comment1", "Comment...", ""},
        {"Function1", "Function...", ""},
        {"HexadecimalColour1", "Hexadecimal Colour...", ""},
        {"Date1", "Date.", ""},
        {"Time1", "Time", ""},
        {"TimeDate1", "Time && Date", ""},
    };
    for (const auto& I : Items) {
        auto* Item = Get<TMenuItem>(I.Name);
        ASSERT_TRUE(Item);
        EXPECT_EQ(Item->Caption(), I.Caption) << I.Name;
        EXPECT_EQ(Item->Hint, I.Hint) << I.Name;
    }
    std::vector<std::string> Groups;
    TMenuItem* Tags = Get<TMenuItem>("InsertHTMLTag2");
    for (int I = 0; I < Tags->Count(); ++I)
        Groups.push_back(Tags->Items(I)->Caption());
    EXPECT_EQ(Groups, (std::vector<std::string>{"Document", "Headings", "Links", "List", "Multimedia",
                                                "Paragraphs", "Tables"}));
}

TEST_F(InsertionTest, OnlyTheActiveDocumentChanges)
{
    TColorMemo* First = Document("one", 3, 0);
    TColorMemo* Second = Document("two", 3, 0);
    ASSERT_EQ(Frame->ActiveDocument()->ColorMemo1, Second);
    Fire("BR1");
    EXPECT_EQ(Second->Text(), "two<BR>");
    EXPECT_EQ(First->Text(), "one");
}

TEST_F(InsertionTest, DateAndTimeUseTheSystemFormatsDateFirst)
{
    auto Run = [&](const char* Command, auto Expected) {
        SCOPED_TRACE(Command);
        TColorMemo* Memo = Document("[]", 1, 0);
        std::string Early = Expected();
        Fire(Command);
        std::string Late = Expected();
        std::string Text = Memo->Text();
        EXPECT_TRUE(Text == "[" + Early + "]" || Text == "[" + Late + "]") << Text;
    };
    Run("Date1", [] { return DateToStr(Date()); });
    Run("Time1", [] { return TimeToStr(Time()); });
    Run("TimeDate1", [] { return DateToStr(Date()) + "-" + TimeToStr(Time()); });
}

// ---- Tag builders --------------------------------------------------------------------------------
TEST_F(InsertionTest, MenuItemsAndButtonsShowTheirBuildersAndHideButtonsHideThem)
{
    const struct {
        const char* Window;
        std::vector<const char*> Show;
        const char* Hide;
    } Cases[] = {
        {"bodytag", {"BODY2"}, "Button2"},
        {"alertwin", {"JavaScriptAlert1", "ToolbarButton42"}, "Button4"},
        {"promptwin", {"JavaScriptPrompt1", "ToolbarButton44"}, "Button6"},
        {"ancwin", {"A2"}, "Button8"},
        {"hx", {"HexadecimalColour1"}, "Button11"},
        {"Newfunc", {"Function1", "ToolbarButton39"}, "Button13"},
        {"com1", {"Comment1", "ToolbarButton38"}, "Button15"},
        {"applet", {"APPLET1"}, "Button21"},
        {"sound", {"N5"}, "Button24"},
        {"param", {"PARAM1"}, "Button26"},
        {"window", {"windowopen1", "ToolbarButton41"}, "Button28"},
        {"conwin", {"JavaScriptConfirm1", "ToolbarButton43"}, "Button35"},
        {"imgwin", {"IMG1"}, "Button37"},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Window);
        auto* W = Get<TToolWindow>(C.Window);
        ASSERT_TRUE(W);
        for (const char* Trigger : C.Show) {
            EXPECT_FALSE(W->Visible()) << Trigger;
            Fire(Trigger);
            EXPECT_TRUE(W->Visible()) << Trigger;
            Fire(C.Hide);
            EXPECT_FALSE(W->Visible()) << C.Hide;
        }
    }
    // The buffer's window is never shown.
    EXPECT_FALSE(Frame->ToolWindow1->Visible());
}

TEST_F(InsertionTest, BuildersHoldTheirFieldsWithTheStoredDefaults)
{
    EXPECT_EQ(Frame->Edit20->Text(), Dq + "Java" + Dq);
    EXPECT_EQ(Frame->Edit21->Text(), "300");
    EXPECT_EQ(Frame->Edit22->Text(), "600");
    EXPECT_EQ(Frame->Edit23->Text(), "0");
    EXPECT_EQ(Frame->Edit38->Text(), "0");
    EXPECT_EQ(Frame->SpinEdit1->Value(), 0);
    EXPECT_EQ(Frame->SpinEdit2->Value(), 0);
    for (TEdit* E : {Frame->Edit2, Frame->Edit7, Frame->Edit8, Frame->Edit14, Frame->Edit34, Frame->Edit39})
        EXPECT_EQ(E->Text(), "") << E->Name();
    EXPECT_EQ(Frame->pic->Dialog()->Filter, "GIF|*.gif|jpg|*.jpg");
    EXPECT_EQ(Frame->FilenameEdit1->Dialog()->Filter, "Java Class File|*.class");
    const char* Options[] = {"toolbars",    "scrollbars", "status bars", "copyhistory",
                             "directories", "menubar",    "resizable",   "location"};
    TCheckBox* Boxes[] = {Frame->CheckBox1, Frame->CheckBox2, Frame->CheckBox3, Frame->CheckBox4,
                          Frame->CheckBox5, Frame->CheckBox6, Frame->CheckBox7, Frame->CheckBox8};
    for (int I = 0; I < 8; ++I) {
        EXPECT_EQ(Boxes[I]->Caption(), Options[I]);
        EXPECT_FALSE(Boxes[I]->Checked());
        EXPECT_TRUE(Within(Boxes[I], Frame->window));
    }
    // Every field lives in its builder.
    EXPECT_TRUE(Within(Frame->Edit7, Frame->alertwin));
    EXPECT_TRUE(Within(Frame->Edit34, Frame->promptwin));
    EXPECT_TRUE(Within(Frame->SpinEdit2, Frame->imgwin));
    EXPECT_TRUE(Within(Frame->ALinkColourLabel, Frame->bodytag));
    EXPECT_TRUE(Within(Frame->Memo1, Frame->Newfunc));
    EXPECT_FALSE(Frame->Memo1->Visible());
    EXPECT_TRUE(Within(Frame->Memo2, Frame->ToolWindow1));
    EXPECT_EQ(Get<TButton>("Button1")->Caption(), "&OK");
    EXPECT_EQ(Get<TButton>("Button2")->Caption(), "&Hide");
    EXPECT_EQ(Get<TButton>("Button9")->Caption(), "Convert");
}

// Each builder's controls lie below its caption inside its client area, clear of one another.
TEST_F(InsertionTest, BuilderControlsFitTheirWindows)
{
    for (const char* Name : {"bodytag", "alertwin", "promptwin", "ancwin", "hx", "Newfunc", "com1", "applet",
                             "sound", "param", "window", "conwin", "imgwin"}) {
        SCOPED_TRACE(Name);
        auto* W = Get<TToolWindow>(Name);
        ASSERT_TRUE(W);
        W->SetVisible(true);
        ProcessMessages();
        auto* Body = Get<TPanel>(Name + std::string("Client"));
        ASSERT_TRUE(Body);
        ASSERT_EQ(Body->Parent(), W);
        // The caption and frame are the window's non-client area: the body fills the client.
        EXPECT_EQ(Body->Left(), 0);
        EXPECT_EQ(Body->Top(), 0);
        EXPECT_EQ(Body->Width(), W->ClientWidth());
        EXPECT_EQ(Body->Height(), W->ClientHeight());
        TRect Client = Body->ClientRect();
        std::vector<TControl*> Shown;
        for (int I = 0; I < Body->ControlCount(); ++I) {
            TControl* C = Body->Controls(I);
            if (!C->Visible())
                continue;
            EXPECT_GE(C->Left(), 0) << C->Name();
            EXPECT_GE(C->Top(), 0) << C->Name();
            EXPECT_LE(C->Left() + C->Width(), Client.right) << C->Name();
            EXPECT_LE(C->Top() + C->Height(), Client.bottom) << C->Name();
            for (TControl* D : Shown) {
                bool Apart = C->Left() >= D->Left() + D->Width() || D->Left() >= C->Left() + C->Width() ||
                             C->Top() >= D->Top() + D->Height() || D->Top() >= C->Top() + C->Height();
                EXPECT_TRUE(Apart) << C->Name() << " overlaps " << D->Name();
            }
            Shown.push_back(C);
        }
        EXPECT_GE(Shown.size(), 3u);
        if (const char* Keep = std::getenv("WENDLE_KEEP_BUILDERS")) {
            std::unique_ptr<TBitmap> Shot = RenderControl(W, false);
            if (Shot)
                Shot->SaveToFile(std::string(Keep) + "/" + Name + ".bmp");
        }
        W->SetVisible(false);
    }
}

struct TBuilderCase {
    const char* Window;
    std::vector<std::pair<const char*, std::string>> Fields;
    const char* Ok;
    std::string Text;
    bool Hides;
};

TEST_F(InsertionTest, BuildersPutTheirTextFromTheFieldsAsTheyStand)
{
    const TBuilderCase Cases[] = {
        {"bodytag",
         {{"Edit2", Dq + "#FF0000" + Dq},
          {"pic", "bg.gif"},
          {"Edit3", "a"},
          {"Edit4", "unused"},
          {"Edit5", "v"},
          {"Edit6", "t"}},
         "Button1",
         "<BODY BGCOLOR=" + Dq + "#FF0000" + Dq + " BACKGROUND=bg.gif TEXT=t ALINK=a VLINK=v>",
         false},
        {"bodytag",
         {{"Edit2", ""}, {"pic", ""}, {"Edit3", ""}, {"Edit4", ""}, {"Edit5", ""}, {"Edit6", ""}},
         "Button1",
         "<BODY BGCOLOR= BACKGROUND= TEXT= ALINK= VLINK=>",
         false},
        {"alertwin", {{"Edit7", "Hello there"}}, "Button3", "alert('Hello there')", true},
        {"promptwin",
         {{"Edit34", "x"}, {"Edit8", "Your name?"}, {"Edit9", ""}},
         "Button5",
         "x=prompt(" + Dq + "Your name?" + Dq + "," + Dq + Dq + ")",
         true},
        {"ancwin",
         {{"Edit10", "page.htm"}, {"Edit11", "TARGET=_top"}, {"Edit12", "Home"}},
         "Button7",
         "<A HREF=page.htm TARGET=_top>Home</A>",
         false},
        {"hx", {{"Edit13", Dq + "#00FF80" + Dq}}, "Button10", Dq + "#00FF80" + Dq, false},
        {"applet",
         {},
         "Button20",
         "<APPLET CODEBASE=" + Dq + "Java" + Dq + " CODE= WIDTH=300 HEIGHT=600></APPLET>",
         false},
        {"applet",
         {{"FilenameEdit1", "Clock.class"}, {"Edit21", "40"}},
         "Button20",
         "<APPLET CODEBASE=" + Dq + "Java" + Dq + " CODE=Clock.class WIDTH=40 HEIGHT=600></APPLET>",
         false},
        {"sound", {}, "Button23", "<BGSOUND SRC= LOOP=0>", false},
        {"sound",
         {{"FilenameEdit5", "tune.wav"}, {"Edit23", "-1"}},
         "Button23",
         "<BGSOUND SRC=tune.wav LOOP=-1>",
         false},
        {"param", {{"Edit24", "speed"}, {"Edit25", "3"}}, "Button25", "<PARAM NAME=speed VALUE=3>", false},
        {"window",
         {{"FilenameEdit6", "news.htm"}, {"Edit26", "News"}, {"Edit27", "100"}, {"Edit28", "200"}},
         "Button27",
         "window.open('news.htm', 'News' , width=200, height=100,);",
         true},
        {"imgwin",
         {{"FilenameEdit7", "logo.gif"}, {"Edit39", "Our logo"}},
         "Button36",
         "<IMG SRC=logo.gif BORDER=0 ALT=" + Dq + "Our logo" + Dq + " WIDTH=0 HEIGHT=0>",
         true},
    };
    for (const TBuilderCase& C : Cases) {
        SCOPED_TRACE(C.Ok + std::string(" of ") + C.Window);
        TColorMemo* Memo = Document("[]", 1, 0);
        auto* W = Get<TToolWindow>(C.Window);
        ASSERT_TRUE(W);
        W->SetVisible(true);
        for (const auto& [Name, Value] : C.Fields)
            SetField(Name, Value);
        Fire(C.Ok);
        EXPECT_EQ(Memo->Text(), "[" + C.Text + "]");
        EXPECT_EQ(Memo->SelStart(), 1 + static_cast<int>(C.Text.size()));
        EXPECT_EQ(W->Visible(), !C.Hides);
        // The fields stay as they were for the next use.
        for (const auto& [Name, Value] : C.Fields)
            EXPECT_EQ(Get<TCustomEdit>(Name)->Text(), Value) << Name;
        W->SetVisible(false);
    }
}

TEST_F(InsertionTest, WindowOpenJoinsTheTickedOptionsInBoxOrder)
{
    TCheckBox* Boxes[] = {Frame->CheckBox1, Frame->CheckBox2, Frame->CheckBox3, Frame->CheckBox4,
                          Frame->CheckBox5, Frame->CheckBox6, Frame->CheckBox7, Frame->CheckBox8};
    TColorMemo* Memo = Document("", 0, 0);
    SetField("FilenameEdit6", "p.htm");
    for (TCheckBox* B : Boxes)
        B->SetChecked(true);
    Fire("Button27");
    EXPECT_EQ(Memo->Text(),
              "window.open('p.htm', '' , width=, height=,toolbars, scrollbars, status, copyhistory, "
              "directories, menubar, resizable, location,);");
    for (TCheckBox* B : Boxes)
        B->SetChecked(false);
    Boxes[1]->SetChecked(true);
    Boxes[7]->SetChecked(true);
    Memo->SetText("");
    Fire("Button27");
    EXPECT_EQ(Memo->Text(), "window.open('p.htm', '' , width=, height=,scrollbars, location,);");
}

TEST_F(InsertionTest, ImageTagWritesTheSpinValuesInDecimal)
{
    TColorMemo* Memo = Document("", 0, 0);
    Frame->SpinEdit1->SetValue(320);
    Frame->SpinEdit2->SetValue(-5); // no limits
    SetField("Edit38", "");
    Fire("Button36");
    EXPECT_EQ(Memo->Text(), "<IMG SRC= BORDER= ALT=" + Dq + Dq + " WIDTH=320 HEIGHT=-5>");
}

TEST(ColourText, SixUpperCaseDigitsRedGreenBlue)
{
    EXPECT_EQ(ColorToHexText(clRed), "FF0000");
    EXPECT_EQ(ColorToHexText(clBlue), "0000FF");
    EXPECT_EQ(ColorToHexText(static_cast<TColor>(0x00563412)), "123456");
    EXPECT_EQ(ColorToHexText(static_cast<TColor>(0x000A0B0C)), "0C0B0A");
    EXPECT_EQ(ColorToHexText(clBlack), "000000");
    EXPECT_EQ(QuotedColorText(clRed), Dq + "#FF0000" + Dq);
    EXPECT_EQ(QuotedColorText(clRed).size(), 9u);
}

TEST_F(InsertionTest, ColourButtonsWriteTheQuotedColourAndShowIt)
{
    struct {
        const char* Button;
        TEdit* Edit;
        std::function<TColor()> Shown;
    } Cases[] = {
        {"AdSpeedButton2", Frame->Edit2, [&] { return Frame->Panel1->Color(); }},
        {"AdSpeedButton3", Frame->Edit3, [&] { return Frame->ALinkColourLabel->Font()->Color(); }},
        {"AdSpeedButton4", Frame->Edit4, [&] { return Frame->LinkColourLabel->Font()->Color(); }},
        {"AdSpeedButton5", Frame->Edit5, [&] { return Frame->VLinkColourLabel->Font()->Color(); }},
        {"AdSpeedButton6", Frame->Edit6, [&] { return Frame->TextColourLabel->Font()->Color(); }},
    };
    const TColor Picked = static_cast<TColor>(0x00563412);
    for (auto& C : Cases) {
        SCOPED_TRACE(C.Button);
        Fixture.Dialogs.ExpectColor(Picked);
        Fire(C.Button);
        EXPECT_EQ(C.Edit->Text(), Dq + "#123456" + Dq);
        EXPECT_EQ(C.Shown(), Picked);
    }
    // Convert: the same text into the hex field; a cancelled dialog still gives its colour.
    Fixture.Dialogs.ExpectColor(clRed);
    Fire("Button9");
    EXPECT_EQ(Frame->Edit13->Text(), Dq + "#FF0000" + Dq);
    Fixture.Dialogs.ExpectColor(clBlue, false);
    Fire("Button9");
    EXPECT_EQ(Frame->Edit13->Text(), Dq + "#FF0000" + Dq);
    // And OK puts it in.
    TColorMemo* Memo = Document("", 0, 0);
    Fire("Button10");
    EXPECT_EQ(Memo->Text(), Dq + "#FF0000" + Dq);
    Fixture.Dialogs.VerifyAllUsed();
}

// ---- Blocks through the clipboard ---------------------------------------------------------------
const std::string ScriptBlock =
    "<SCRIPT LANGUAGE=" + Dq + "JAVASCRIPT" + Dq + ">\r\n\r\n\r\n\r\n</SCRIPT>\r\n";

TEST_F(InsertionTest, ScriptTagsPasteTheFiveLineBlockAndLeaveItOnTheClipboard)
{
    for (const char* Command : {"ScriptTags1", "ToolbarButton40"}) {
        SCOPED_TRACE(Command);
        TColorMemo* Memo = Document("ab", 1, 0);
        Clipboard()->SetAsText("old");
        Fire(Command);
        EXPECT_EQ(Memo->Text(), "a" + ScriptBlock + "b");
        EXPECT_EQ(Memo->SelStart(), 1 + static_cast<int>(ScriptBlock.size()));
        EXPECT_EQ(Clipboard()->AsText(), ScriptBlock);
        // Cut from the buffer: nothing stays behind in it.
        EXPECT_EQ(Frame->Memo2->Text(), "");
        // A later Paste inserts it again.
        Frame->PasteItemClick(Frame);
        EXPECT_EQ(Memo->Text(), "a" + ScriptBlock + ScriptBlock + "b");
    }
}

TEST_F(InsertionTest, ConfirmationBlockHasNoLineBreakAfterItsLastLine)
{
    TColorMemo* Memo = Document("x\r\n", 3, 0);
    Frame->conwin->SetVisible(true);
    SetField("Edit35", "Leave the page?");
    SetField("Edit36", "history.back()");
    SetField("Edit37", "");
    Fire("Button34");
    const std::string Block =
        "if (confirm(" + Dq + "Leave the page?" + Dq + "))\r\nhistory.back();\r\nelse\r\n;";
    EXPECT_EQ(Memo->Text(), "x\r\n" + Block);
    EXPECT_EQ(Clipboard()->AsText(), Block);
    EXPECT_FALSE(Frame->conwin->Visible());
    // The shared buffer starts afresh: script tags after the confirmation are the bare block.
    Fire("ScriptTags1");
    EXPECT_EQ(Clipboard()->AsText(), ScriptBlock);
}

TEST_F(InsertionTest, FunctionAndCommentBlocksEndEachLineWithCrLf)
{
    auto Stamp = [] { return "//Date : " + DateToStr(Date()) + " Time : " + TimeToStr(Time()) + "\r\n"; };
    {
        TColorMemo* Memo = Document("", 0, 0);
        Frame->Newfunc->SetVisible(true);
        SetField("Edit14", "calc");
        SetField("Edit15", " adds two numbers");
        std::string Early = Stamp();
        Fire("Button12");
        std::string Late = Stamp();
        auto Block = [](const std::string& S) {
            return "//Function : calc\r\n" + S +
                   "//Description : adds two numbers\r\nfunction calc()\r\n{\r\n\r\n\r\n}\r\n"
                   "//End Function: calc\r\n\r\n";
        };
        std::string Text = Memo->Text();
        EXPECT_TRUE(Text == Block(Early) || Text == Block(Late)) << Text;
        EXPECT_EQ(Clipboard()->AsText(), Text);
        // Copied, not cut: the buffer keeps it (and stays hidden with its window).
        EXPECT_EQ(Frame->Memo1->Text(), Text);
        EXPECT_FALSE(Frame->Newfunc->Visible());
    }
    {
        TColorMemo* Memo = Document("", 0, 0);
        Frame->com1->SetVisible(true);
        SetField("Edit16", "checks the form");
        std::string Early = Stamp();
        Fire("Button14");
        std::string Late = Stamp();
        auto Block = [](const std::string& S) {
            return "//Comment:\r\n" + S + "//Comment :checks the form\r\n\r\n";
        };
        std::string Text = Memo->Text();
        EXPECT_TRUE(Text == Block(Early) || Text == Block(Late)) << Text;
        EXPECT_EQ(Clipboard()->AsText(), Text);
        EXPECT_FALSE(Frame->com1->Visible());
    }
    {
        // Empty fields: the literals alone.
        TColorMemo* Memo = Document("", 0, 0);
        SetField("Edit14", "");
        SetField("Edit15", "");
        Fire("Button12");
        std::string Text = Memo->Text();
        EXPECT_EQ(Text.substr(0, 15), "//Function : \r\n");
        EXPECT_NE(
            Text.find("\r\n//Description :\r\nfunction ()\r\n{\r\n\r\n\r\n}\r\n//End Function: \r\n\r\n"),
            std::string::npos)
            << Text;
    }
}

// A palette button pastes its UNIT's script as the file holds it, every line break made CR LF.
TEST_F(InsertionTest, PaletteButtonsPasteTheirScriptWithCrLfLineBreaks)
{
    const std::string Dir = MakeTempDir("units");
    auto Unit = [&](int Number, const std::string& Bytes) {
        const std::string Path = Dir + "/unit" + std::to_string(Number) + ".js";
        WriteFileBytes(Path, Bytes);
        Frame->UnitPalette[static_cast<std::size_t>(Number - 1)].JsPath = Path;
    };
    Unit(1, "var a;\nvar b;\rvar c;\r\nalert(a);");
    Unit(50, "// last\n\n");
    Unit(7, "");
    const std::string First = "var a;\r\nvar b;\r\nvar c;\r\nalert(a);";
    const std::string Last = "// last\r\n\r\n";

    TColorMemo* Memo = Document("[]", 1, 0);
    Fire("q1");
    EXPECT_EQ(Memo->Text(), "[" + First + "]");
    EXPECT_EQ(Memo->SelStart(), 1 + static_cast<int>(First.size()));
    EXPECT_EQ(Clipboard()->AsText(), First);
    EXPECT_EQ(Frame->Memo2->Text(), ""); // cut from the buffer
    Memo->SetSelStart(0);
    Memo->SetSelLength(static_cast<int>(Memo->Text().size()));
    Fire("q50");
    EXPECT_EQ(Memo->Text(), Last);
    EXPECT_EQ(Clipboard()->AsText(), Last);

    // An empty script inserts nothing (not what the clipboard held before).
    Fire("q7");
    EXPECT_EQ(Memo->Text(), Last);
    EXPECT_EQ(Clipboard()->AsText(), Last);

    // A script that cannot be read: the file error, the document as it was.
    Frame->UnitPalette[1].JsPath = Dir + "/missing.js";
    EXPECT_THROW(Fire("q2"), EFOpenError);
    EXPECT_EQ(Memo->Text(), Last);

    // Without a document the clipboard still gets the script.
    Frame->ActiveDocument()->ColorMemo1->SetModified(false);
    Frame->ActiveDocument()->Close();
    ProcessMessages();
    ASSERT_EQ(Frame->MDIChildCount(), 0);
    Fire("q1");
    EXPECT_EQ(Clipboard()->AsText(), First);
}

// ---- Without a document ---------------------------------------------------------------------
TEST_F(InsertionTest, WithoutADocumentNothingChangesButBlocksReachTheClipboard)
{
    ASSERT_FALSE(Frame->ActiveDocument());
    const char* Commands[] = {"HTML2",
                              "HEAD2",
                              "TITLE2",
                              "H12",
                              "H22",
                              "H32",
                              "H42",
                              "H52",
                              "H62",
                              "BR1",
                              "HR1",
                              "N3",
                              "TR1",
                              "TD1",
                              "documentwrite1",
                              "ToolbarButton37",
                              "Date1",
                              "Time1",
                              "TimeDate1",
                              "ToolbarButton2",
                              "ToolbarButton16",
                              "ToolbarButton15",
                              "ToolbarButton14",
                              "ToolbarButton13",
                              "ToolbarButton11",
                              "ToolbarButton10",
                              "ToolbarButton9",
                              "ToolbarButton8",
                              "ToolbarButton7",
                              "ToolbarButton6",
                              "ToolbarButton5",
                              "ToolbarButton4",
                              "ToolbarButton12",
                              "UL2",
                              "OL2",
                              "DL2",
                              "LI2",
                              "LH2",
                              "DD2",
                              "DIRMENU",
                              "MENU2",
                              "N4",
                              "Button1",
                              "Button3",
                              "Button5",
                              "Button7",
                              "Button10",
                              "Button20",
                              "Button23",
                              "Button25",
                              "Button27",
                              "Button36",
                              "back",
                              "forward1"};
    for (const char* Command : Commands)
        Fire(Command);
    EXPECT_EQ(Frame->MDIChildCount(), 0);

    // The builders that hide after OK still hide.
    for (auto [Window, Ok] : {std::pair{Frame->alertwin, "Button3"}, std::pair{Frame->window, "Button27"},
                              std::pair{Frame->imgwin, "Button36"}, std::pair{Frame->conwin, "Button34"},
                              std::pair{Frame->Newfunc, "Button12"}, std::pair{Frame->com1, "Button14"}}) {
        Window->SetVisible(true);
        Fire(Ok);
        EXPECT_FALSE(Window->Visible()) << Ok;
    }
    Fire("ScriptTags1");
    EXPECT_EQ(Clipboard()->AsText(), ScriptBlock);
    EXPECT_EQ(Frame->MDIChildCount(), 0);
    // No message or dialog came (the fixture fails on any).
}

} // namespace
