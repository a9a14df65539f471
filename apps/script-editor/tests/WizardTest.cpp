#include "apps/script-editor/Childwin.h"
#include "apps/script-editor/Main.h"
#include "apps/script-editor/WendleStartup.h"
#include "apps/script-editor/Wizards.h"
#include "components/addons/AdCtrls.h"
#include "components/edit-boxes/ComboEdits.h"
#include "components/edit-boxes/DesignGen.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/rtl/Registry.h"
#include "platform/rtl/SysUtils.h"
#include "platform/testing/AppTesting.h"
#include "platform/testing/TestSupport.h"
#include "platform/testing/WinTesting.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

std::vector<std::string> SplitCrLf(const std::string& Text)
{
    std::vector<std::string> Lines;
    std::size_t Start = 0;
    for (std::size_t P = Text.find("\r\n"); P != std::string::npos; P = Text.find("\r\n", Start)) {
        Lines.push_back(Text.substr(Start, P - Start));
        Start = P + 2;
    }
    if (Start < Text.size())
        Lines.push_back(Text.substr(Start));
    return Lines;
}

// The virtual key that types C on a US keyboard (the text itself goes with the key).
int KeyFor(char C)
{
    if (std::isalnum(static_cast<unsigned char>(C)))
        return std::toupper(static_cast<unsigned char>(C));
    switch (C) {
    case ' ':
        return VK_SPACE;
    case '.':
    case '>':
        return VK_OEM_PERIOD;
    case ',':
    case '<':
        return VK_OEM_COMMA;
    case '-':
    case '_':
        return VK_OEM_MINUS;
    case '=':
        return VK_OEM_PLUS;
    case '@':
        return '2';
    case '"':
        return VK_OEM_7;
    default:
        return VK_OEM_2;
    }
}

// The program as it starts, the frame shown; the wizards are filled in by typing and run by
// clicking their buttons.
class WizardTest : public ::testing::Test {
protected:
    WizardTest()
    {
        SetProgramName("wendle");
        Dir = MakeTempDir("site");
        RunUnitStartups();
        CreateProgramForms();
        Frame = MainForm;
        Frame->Show();
        ProcessMessages();
    }

    // Clicks into the field and types Text; "\n" presses Return (a line break in a memo).
    void TypeInto(TWinControl* Field, const std::string& Text)
    {
        ASSERT_TRUE(Field);
        ASSERT_TRUE(ClickControl(Field, 4, 4)) << Field->Name();
        for (char C : Text) {
            if (C == '\n')
                PressKey(VK_RETURN, "\r");
            else
                PressKey(KeyFor(C), std::string(1, C));
        }
        ProcessMessages();
    }
    void Click(TControl* Button)
    {
        ASSERT_TRUE(Button);
        ASSERT_TRUE(ClickControl(Button, 5, 5)) << Button->Name();
        ProcessMessages();
    }
    template <typename T> T* Get(const std::string& Name)
    {
        auto* C = dynamic_cast<T*>(Frame->FindComponent(Name));
        EXPECT_TRUE(C) << Name;
        return C;
    }
    std::string MakeFile(const std::string& Name, const std::string& Text)
    {
        const std::string Path = Dir + "/" + Name;
        WriteFileBytes(Path, Text);
        return Path;
    }
    std::string DocumentText() const
    {
        TMDIChild* Child = Frame->ActiveDocument();
        return Child ? Child->ColorMemo1->Text() : std::string("<no document>");
    }
    std::string DocumentCaption() const
    {
        TMDIChild* Child = Frame->ActiveDocument();
        return Child ? Child->Caption() : std::string("<no document>");
    }

    TAppTest Fixture;
    TMainForm* Frame = nullptr;
    std::string Dir;
};

TEST_F(WizardTest, ChooserPicturesShowTheirInfoAndOpenTheirWizards)
{
    struct {
        const char* Image;
        const char* Info;
        const char* Wizard; // nullptr: a new Untitled document
    } Cases[] = {
        {"Image4", "Memo3", "html"},       {"Image5", "Memo4", "js"},        {"Image6", "Memo6", "metakey"},
        {"Image7", "Memo5", "createunit"}, {"Image8", "Memo7", "nmetadesc"}, {"Image9", "Memo8", "bodytag"},
        {"Image10", "Memo9", nullptr},
    };
    for (const auto& C : Cases) {
        Frame->FileNewItemClick(Frame);
        ProcessMessages();
        ASSERT_TRUE(Frame->newfile->Visible());
        auto* Image = Get<TImage>(C.Image);
        auto* Info = Get<TMemo>(C.Info);
        ASSERT_TRUE(Image && Info);
        EXPECT_FALSE(Info->Visible()) << C.Info;
        Click(Image);
        EXPECT_TRUE(Info->Visible()) << C.Image;
        // A pause, so the second click is no double click.
        AdvanceClock(1000);
        Click(Image);
        EXPECT_FALSE(Info->Visible()) << C.Image;

        AdvanceClock(1000);
        const int Documents = Frame->MDIChildCount();
        // The chooser is gone before the last release, which then finds no window.
        DoubleClickControl(Image, 5, 5);
        ProcessMessages();
        EXPECT_FALSE(Frame->newfile->Visible()) << C.Image;
        if (C.Wizard) {
            auto* Wizard = Get<TToolWindow>(C.Wizard);
            EXPECT_TRUE(Wizard && Wizard->Visible()) << C.Wizard;
            if (Wizard)
                Wizard->SetVisible(false);
        } else {
            EXPECT_EQ(Frame->MDIChildCount(), Documents + 1);
            EXPECT_EQ(DocumentCaption(), "Untitled");
        }
        Info->SetVisible(false);
        AdvanceClock(1000);
    }
    // The BODY tag info ends in an empty line of its own.
    EXPECT_EQ(Get<TMemo>("Memo8")->Lines()->Count(), 4);

    Frame->FileNewItemClick(Frame);
    ProcessMessages();
    Click(Get<TButton>("Button22"));
    EXPECT_FALSE(Frame->newfile->Visible());
}

TEST_F(WizardTest, MetaWizardsWriteTheMemoTextAsTypedAndOpenIt)
{
    struct {
        const char* Show;
        const char* Wizard;
        const char* DirField;
        const char* NameField;
        const char* Memo;
        const char* Ok;
        const char* FileName;
    } Cases[] = {
        {"ToolbarButton23", "metakey", "DirectoryEdit3", "Edit29", "Memo12", "Button30", "main.kmt"},
        {"ToolbarButton45", "nmetadesc", "DirectoryEdit2", "Edit19", "Memo10", "Button17", "main.dmt"},
    };
    // Blanks kept, lines not joined, no line break added after the last one.
    const std::string Typed = "  alpha, beta\ngamma  ";
    for (const auto& C : Cases) {
        auto* Show = Get<TToolbarButton>(C.Show);
        ASSERT_TRUE(Show && Show->OnClick);
        Show->OnClick(Show);
        ProcessMessages();
        auto* Wizard = Get<TToolWindow>(C.Wizard);
        ASSERT_TRUE(Wizard && Wizard->Visible());
        TypeInto(Get<TDirectoryEdit>(C.DirField), Dir);
        TypeInto(Get<TEdit>(C.NameField), C.FileName);
        TypeInto(Get<TMemo>(C.Memo), Typed);
        Click(Get<TButton>(C.Ok));

        const std::string Path = Dir + "/" + C.FileName;
        EXPECT_EQ(ReadFileBytes(Path), "  alpha, beta\r\ngamma  ") << C.Wizard;
        EXPECT_EQ(DocumentCaption(), Path);
        EXPECT_EQ(DocumentText(), "  alpha, beta\r\ngamma  ");
        EXPECT_FALSE(Wizard->Visible());
    }
}

TEST_F(WizardTest, AFileThatCannotBeWrittenOpensNoDocument)
{
    Frame->ToolbarButton23Click(Frame);
    Get<TDirectoryEdit>("DirectoryEdit3")->SetText(Dir + "/missing-dir");
    Get<TEdit>("Edit29")->SetText("k.kmt");
    Get<TMemo>("Memo12")->SetText("words");
    EXPECT_THROW(Frame->Button30Click(Frame), EFCreateError);
    EXPECT_EQ(Frame->MDIChildCount(), 0);
    EXPECT_TRUE(Frame->metakey->Visible());

    Click(Get<TButton>("Button31"));
    EXPECT_FALSE(Frame->metakey->Visible());
}

TEST_F(WizardTest, JavaScriptFileGetsOnlyItsOwnSixHeaderLines)
{
    struct {
        const char* Name;
        const char* Author;
        const char* Mail;
        const char* Description;
    } Files[] = {
        {"first.js", "Ann Author", "ann@example.org", "Menu code"},
        {"second.js", "Bob", "bob@example.org", "Clock"},
    };
    for (const auto& F : Files) {
        Frame->ToolbarButton47Click(Frame);
        ProcessMessages();
        ASSERT_TRUE(Frame->js->Visible());
        const std::string Day = DateToStr(Date());
        TypeInto(Get<TDirectoryEdit>("DirectoryEdit4"), Dir);
        TypeInto(Get<TEdit>("Edit30"), F.Name);
        TypeInto(Get<TEdit>("Edit31"), F.Author);
        TypeInto(Get<TEdit>("Edit32"), F.Mail);
        TypeInto(Get<TEdit>("Edit33"), F.Description);
        Click(Get<TButton>("Button32"));

        const std::string Path = Dir + "/" + F.Name;
        const std::string Bytes = ReadFileBytes(Path);
        const std::vector<std::string> Lines = SplitCrLf(Bytes);
        ASSERT_EQ(Lines.size(), 6u) << Bytes;
        EXPECT_EQ(Bytes.substr(Bytes.size() - 2), "\r\n");
        EXPECT_EQ(Lines[0], std::string("// File: ") + F.Name);
        EXPECT_EQ(Lines[1].rfind("// Created on " + Day + " at ", 0), 0u) << Lines[1];
        EXPECT_GT(Lines[1].size(), ("// Created on " + Day + " at ").size());
        EXPECT_EQ(Lines[2], std::string("// Author: ") + F.Author);
        EXPECT_EQ(Lines[3], std::string("// E-Mail to: ") + F.Mail);
        EXPECT_EQ(Lines[4], std::string("// Description: ") + F.Description);
        EXPECT_EQ(Lines[5], "// Created with Orvane Wendle Version 1.00");
        EXPECT_EQ(DocumentCaption(), Path);
        EXPECT_EQ(DocumentText(), Bytes);
        EXPECT_FALSE(Frame->js->Visible());
        // Typing appends: the fields of the first file are emptied for the second.
        for (const char* Field : {"DirectoryEdit4", "Edit30", "Edit31", "Edit32", "Edit33"})
            Get<TCustomEdit>(Field)->SetText("");
    }
}

TEST_F(WizardTest, HtmlWizardWritesItsThirtyNineLinesFromTheTemplates)
{
    // Only the first line of each template counts.
    const std::string Kmt = MakeFile("t.kmt", "red, green\r\nignored\r\n");
    const std::string Dmt = MakeFile("t.dmt", "A page about colours\nignored too\n");
    const std::string Bod = MakeFile("t.bod", "<BODY BGCOLOR=\"#FFFFFF\">");

    Frame->ToolbarButton50Click(Frame);
    ProcessMessages();
    ASSERT_TRUE(Frame->html->Visible());
    EXPECT_EQ(Get<TEdit>("Filenameedit2")->Text(), "c:\\tovrel\\default\\def.kmt");
    // The template fields are filled through their browse buttons.
    Fixture.Dialogs.ExpectOpenFile(Kmt);
    Fixture.Dialogs.ExpectOpenFile(Dmt);
    Fixture.Dialogs.ExpectOpenFile(Bod);
    Click(Get<TAdSpeedButton>("SpeedButton4"));
    Click(Get<TAdSpeedButton>("SpeedButton5"));
    Click(Get<TAdSpeedButton>("SpeedButton6"));
    EXPECT_EQ(Get<TEdit>("Filenameedit2")->Text(), Kmt);
    EXPECT_EQ(Get<TEdit>("Filenameedit3")->Text(), Dmt);
    EXPECT_EQ(Get<TEdit>("Filenameedit4")->Text(), Bod);
    TypeInto(Get<TDirectoryEdit>("DirectoryEdit1"), Dir);
    TypeInto(Get<TEdit>("Edit17"), "index.html");
    TypeInto(Get<TEdit>("Edit18"), "My Page");
    Click(Get<TButton>("Button16"));

    const std::string Path = Dir + "/index.html";
    const std::string Bytes = ReadFileBytes(Path);
    const std::vector<std::string> Lines = SplitCrLf(Bytes);
    ASSERT_EQ(Lines.size(), 39u) << Bytes;
    // The stamp of the first line, taken from the file: the rest is fixed.
    const std::string Head = "<!-- index.html Created on: " + DateToStr(Date()) + " at: ";
    ASSERT_EQ(Lines[0].rfind(Head, 0), 0u) << Lines[0];
    ASSERT_EQ(Lines[0].substr(Lines[0].size() - 3), "-->");
    const std::string Dq = "\"";
    const std::string Expected =
        Lines[0] + "\r\n" +
        "<HTML>\r\n\r\n\r\n<!--Start HEAD Section, Add JavaScript Here-->\r\n<HEAD>\r\n\r\n" +
        "<!--Title-->\r\n<TITLE>My Page</TITLE>\r\n\r\n\r\n<!--META TAGS-->\r\n" +
        "<META NAME=\"DESCRIPTION\" CONTENT=\"A page about colours\">\r\n\r\n\r\n" +
        "<META NAME=\"Generator\" CONTENT=\"Orvane Wendle - " + ProductWebAddress + "\">\r\n\r\n\r\n" +
        "<META NAME=\"KEYWORDS\" CONTENT=\"red, green\">\r\n\r\n\r\n" +
        "</HEAD>\r\n<!--End HEAD Tag-->\r\n\r\n\r\n" +
        "<!--BODY TAG BELOW-->\r\n\r\n<BODY BGCOLOR=\"#FFFFFF\">\r\n\r\n" + "\r\n\r\n\r\n\r\n\r\n" +
        "</BODY>\r\n<!--End BODY-->\r\n</HTML>\r\n\r\n<!--END HTML PAGE-->\r\n";
    EXPECT_EQ(Bytes, Expected);
    EXPECT_EQ(DocumentCaption(), Path);
    EXPECT_EQ(DocumentText(), Bytes);
    EXPECT_FALSE(Frame->html->Visible());
}

TEST_F(WizardTest, HtmlWizardStopsBeforeWritingOnABadTemplate)
{
    const std::string Good = MakeFile("good.kmt", "words\r\n");
    const std::string Empty = MakeFile("empty.bod", "");
    struct {
        const char* Case;
        std::string Kmt, Dmt, Bod;
        bool ListError; // else the file-open error
    } Cases[] = {
        {"empty field", "", Good, Good, false},
        {"missing file", Good, Dir + "/nothing.dmt", Good, false},
        {"empty template", Good, Good, Empty, true},
    };
    for (const auto& C : Cases) {
        Frame->ToolbarButton50Click(Frame);
        Get<TDirectoryEdit>("DirectoryEdit1")->SetText(Dir);
        Get<TEdit>("Edit17")->SetText("page.html");
        Get<TEdit>("Filenameedit2")->SetText(C.Kmt);
        Get<TEdit>("Filenameedit3")->SetText(C.Dmt);
        Get<TEdit>("Filenameedit4")->SetText(C.Bod);
        if (C.ListError)
            EXPECT_THROW(Frame->Button16Click(Frame), EStringListError) << C.Case;
        else
            EXPECT_THROW(Frame->Button16Click(Frame), EFOpenError) << C.Case;
        EXPECT_FALSE(FileExists(Dir + "/page.html")) << C.Case;
        EXPECT_EQ(Frame->MDIChildCount(), 0) << C.Case;
        EXPECT_TRUE(Frame->html->Visible()) << C.Case;
    }
    Click(Get<TButton>("Button19"));
    EXPECT_FALSE(Frame->html->Visible());
}

TEST_F(WizardTest, BodyTagSaveWritesItsOwnFieldOrderAndReplacesTheDocument)
{
    Frame->ToolbarButton48Click(Frame);
    ProcessMessages();
    ASSERT_TRUE(Frame->ActiveDocument());
    Frame->ActiveDocument()->ColorMemo1->SetText("old text\r\n");

    Frame->ToolbarButton46Click(Frame);
    ProcessMessages();
    ASSERT_TRUE(Frame->bodytag->Visible());
    TypeInto(Frame->Edit2, "\"#000000\"");
    TypeInto(Frame->Edit3, "\"#111111\"");
    TypeInto(Frame->Edit4, "\"#222222\"");
    TypeInto(Frame->Edit5, "\"#333333\"");
    TypeInto(Frame->Edit6, "\"#444444\"");
    Frame->pic->SetText("back.gif");

    // A cancelled dialog writes and loads nothing.
    Fixture.Dialogs.ExpectSaveFile("");
    Click(Get<TButton>("Button29"));
    EXPECT_FALSE(Frame->bodytag->Visible());
    EXPECT_EQ(DocumentText(), "old text\r\n");
    EXPECT_EQ(Get<TMemo>("Memo11")->Text(), "");

    const std::string Path = Dir + "/main.bod";
    Frame->ToolbarButton46Click(Frame);
    ProcessMessages();
    Fixture.Dialogs.ExpectSaveFile(Path);
    Click(Get<TButton>("Button29"));
    const std::string Tag = "<BODY BGCOLOR=\"#000000\" ALINK=\"#111111\" LINK=\"#222222\" VLINK=\"#333333\" "
                            "TEXT=\"#444444\" BACKGROUND=back.gif>";
    EXPECT_EQ(ReadFileBytes(Path), Tag);
    EXPECT_EQ(DocumentText(), Tag);
    EXPECT_EQ(Get<TMemo>("Memo11")->Text(), "");
    EXPECT_FALSE(Frame->bodytag->Visible());

    // Without a document the file is still written.
    Frame->ActiveDocument()->Release();
    ProcessMessages();
    ASSERT_EQ(Frame->MDIChildCount(), 0);
    const std::string Second = Dir + "/second.bod";
    Fixture.Dialogs.ExpectSaveFile(Second);
    Frame->Button29Click(Frame);
    EXPECT_EQ(ReadFileBytes(Second), Tag);
    Fixture.Dialogs.VerifyAllUsed();
}

TEST_F(WizardTest, EachWizardsCancelHidesItAndWritesNothing)
{
    struct {
        const char* Wizard;
        const char* Cancel;
    } Cases[] = {
        {"newfile", "Button22"}, {"metakey", "Button31"}, {"nmetadesc", "Button18"},
        {"js", "Button33"},      {"html", "Button19"},
    };
    for (const auto& C : Cases) {
        auto* Wizard = Get<TToolWindow>(C.Wizard);
        ASSERT_TRUE(Wizard);
        Wizard->SetVisible(true);
        ProcessMessages();
        Click(Get<TButton>(C.Cancel));
        EXPECT_FALSE(Wizard->Visible()) << C.Wizard;
    }
    EXPECT_EQ(Frame->MDIChildCount(), 0);
}

TEST(WizardPath, OneSeparatorBetweenDirectoryAndName)
{
    struct {
        const char* Dir;
        const char* Name;
        const char* Path;
    } Cases[] = {
        {"/w/site", "a.kmt", "/w/site/a.kmt"},
        {"/w/site/", "a.kmt", "/w/site/a.kmt"},
        {"/", "a.kmt", "/a.kmt"},
        {"", "a.kmt", "/a.kmt"},
        {"/w", "", "/w/"},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(WizardFilePath(C.Dir, C.Name), C.Path) << C.Dir << " + " << C.Name;
}

TEST(WendleStartup, TheDesignCoreRunsFirstAndOpensItsKey)
{
    TAppTest Fixture;
    SetProgramName("wendle");
    std::vector<std::string> Order;
    for (const TUnitStartup& Step : UnitStartups())
        Order.push_back(Step.Unit);
    EXPECT_EQ(Order,
              (std::vector<std::string>{"ScreenMetrics", "DesignGen", "RegisterFillTypes", "InitAdCursors",
                                        "InitColMemoCursor", "HtmlImageInit",
                                        "RegisterIconClipboardFormat"}));

    DesignGenFinalization();
    RunUnitStartups();
    ASSERT_TRUE(DesignApplication);
    TRegistry Reg;
    EXPECT_TRUE(Reg.KeyExists("Software\\Marrowby\\Quillet"));
}

} // namespace
