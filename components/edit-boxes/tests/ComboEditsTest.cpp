#include "components/edit-boxes/ComboEdits.h"

#include "platform/app/Clipbrd.h"
#include "platform/app/ShellApi.h"
#include "platform/controls/StdButtons.h"
#include "platform/testing/FormTesting.h"
#include "platform/testing/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testing_support;

class ComboEditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(nullptr);
        Form->SetBounds(100, 100, 400, 200);
        auto* Ok = new TButton(Form);
        Ok->SetParent(Form);
        Ok->SetBounds(300, 150, 75, 25);
        Ok->SetDefault(true);
        Ok->OnClick = [this](TObject*) { ++DefaultClicks; };
        File = new TFilenameEdit(Form);
        File->SetParent(Form);
        File->SetBounds(10, 10, 300, 21);
        Dir = new TDirectoryEdit(Form);
        Dir->SetParent(Form);
        Dir->SetBounds(10, 50, 300, 21);
        Dir->DialogKind = dkWin32;
        Form->Show();
        ProcessMessages();
        SetActiveWindow(Form->Handle());
    }
    void TearDown() override
    {
        Form->BeforeDestruction();
        delete Form;
    }
    void Focus(TWinControl* C)
    {
        C->SetFocus();
        ProcessMessages();
    }
    void Type(const std::string& Text)
    {
        for (char C : Text)
            PressKey(std::toupper(static_cast<unsigned char>(C)), std::string(1, C));
    }
    TWindowTest Fixture;
    TForm* Form = nullptr;
    TFilenameEdit* File = nullptr;
    TDirectoryEdit* Dir = nullptr;
    int DefaultClicks = 0;
};

TEST_F(ComboEditTest, EnterFiresTheDefaultButtonAndTypesNoLineBreak)
{
    Focus(File);
    Type("abc");
    PressKey(VK_RETURN);
    EXPECT_EQ(DefaultClicks, 1);
    EXPECT_EQ(File->Text(), "abc");
    // Tab still leaves the edit instead of typing a tab.
    PressKey(VK_TAB);
    EXPECT_EQ(File->Text(), "abc");
}

TEST_F(ComboEditTest, WithoutDirectInputOnlyTheButtonChangesTheText)
{
    File->SetText("old");
    File->SetDirectInput(false);
    Clipboard()->SetAsText("pasted");
    Focus(File);
    Type("x");
    PressShortCut('V', {ssCtrl});
    File->PasteFromClipboard();
    EXPECT_EQ(File->Text(), "old");

    Fixture.Dialogs.ExpectOpenFile("/tmp/with blank.gif");
    EXPECT_TRUE(PressShortCut(VK_DOWN, {ssAlt}));
    EXPECT_EQ(File->Text(), "\"/tmp/with blank.gif\"");
    EXPECT_EQ(File->FileName(), "/tmp/with blank.gif");

    Fixture.Dialogs.ExpectOpenFile("/tmp/plain.gif");
    int Clicks = 0;
    File->OnButtonClick = [&](TObject* Sender) {
        EXPECT_EQ(Sender, File);
        ++Clicks;
    };
    ClickControl(File->Button(), 5, 5);
    EXPECT_EQ(Clicks, 1);
    EXPECT_EQ(File->Text(), "/tmp/plain.gif");
    Fixture.Dialogs.VerifyAllUsed();
}

TEST_F(ComboEditTest, ReadOnlyIgnoresTheButtonAndTheClickKey)
{
    File->SetText("keep");
    File->SetReadOnly(true);
    Focus(File);
    Type("x");
    PressShortCut(VK_DOWN, {ssAlt});
    ClickControl(File->Button(), 5, 5);
    EXPECT_EQ(File->Text(), "keep");
    EXPECT_TRUE(Fixture.Dialogs.Records().empty()); // no dialog came

    // Without a button width the click key does nothing either.
    File->SetReadOnly(false);
    File->SetButtonWidth(0);
    PressShortCut(VK_DOWN, {ssAlt});
    EXPECT_TRUE(Fixture.Dialogs.Records().empty());
}

TEST_F(ComboEditTest, HeightSnapsToTheMinimumAndTheButtonFollows)
{
    File->SetHeight(5);
    ProcessMessages();
    int Min = File->Height();
    EXPECT_GT(Min, 5);
    File->SetHeight(Min - 1);
    EXPECT_EQ(File->Height(), Min);
    File->SetHeight(40);
    EXPECT_EQ(File->Height(), 40);
    EXPECT_EQ(File->Button()->Height(), 36);
    EXPECT_EQ(File->ButtonWidth(), 21);
    File->SetButtonWidth(File->ClientWidth()); // too wide: ignored
    EXPECT_EQ(File->ButtonWidth(), 21);
    File->SetButtonWidth(30);
    EXPECT_EQ(File->ButtonWidth(), 30);
}

TEST_F(ComboEditTest, DroppedFilesAndFolders)
{
    std::string Base = MakeTempDir("drops");
    for (const char* D : {"a", "b", "c"})
        CreateDir(Base + "/" + D);
    const std::string Pic = Base + "/a/pic.gif";
    WriteFileBytes(Pic, "GIF89a");
    const std::string Long = Base + "/" + std::string(300 - Base.size() - 1, 'p');
    WriteFileBytes(Long, "x");

    Dir->SetAcceptFiles(true);
    Dir->MultipleDirs = true;
    Dir->SetText("x");
    int Drops = 0;
    Dir->OnDropFiles = [&](TObject*) { ++Drops; };
    ASSERT_TRUE(SimulateFileDrop(Dir->Handle(), 5, 5, {Base + "/a", Base + "/b", Base + "/c"}));
    ProcessMessages();
    EXPECT_EQ(Dir->Text(), "x;" + Base + "/a;" + Base + "/b;" + Base + "/c");
    EXPECT_EQ(Drops, 1);

    // A file gives its directory, with the separator.
    Dir->MultipleDirs = false;
    ASSERT_TRUE(SimulateFileDrop(Dir->Handle(), 5, 5, {Pic}));
    ProcessMessages();
    EXPECT_EQ(Dir->Text(), Base + "/a/");

    // A file edit takes the first file only, at its full length.
    File->SetAcceptFiles(true);
    ASSERT_TRUE(SimulateFileDrop(File->Handle(), 5, 5, {Long, Pic}));
    ProcessMessages();
    ASSERT_EQ(Long.size(), 300u);
    EXPECT_EQ(File->Text(), Long);
    EXPECT_EQ(File->FileName(), Long);

    File->SetAcceptFiles(false);
    EXPECT_FALSE(SimulateFileDrop(File->Handle(), 5, 5, {Pic}));
}

TEST_F(ComboEditTest, DirectoryEditBrowsesAndCollects)
{
    std::string Base = MakeTempDir("dirs");
    CreateDir(Base + "/one");
    Dir->MultipleDirs = true;
    Dir->SetText(Base);
    Fixture.Dialogs.ExpectFolder(Base + "/one");
    Focus(Dir);
    Dir->SetSelStart(static_cast<int>(Base.size())); // the caret at the end, nothing selected
    PressShortCut(VK_DOWN, {ssAlt});
    EXPECT_EQ(Dir->Text(), Base + ";" + Base + "/one");
    EXPECT_EQ(Dir->InitialDir, Base + "/one");

    // A handler can stop the dialog or change where it starts.
    int Asked = 0;
    Dir->OnBeforeDialog = [&](TObject*, std::string&, bool& Action) {
        ++Asked;
        Action = false;
    };
    ClickControl(Dir->Button(), 5, 5);
    EXPECT_EQ(Asked, 1);
    EXPECT_EQ(Fixture.Dialogs.Records().size(), 1u);

    // With a text that names no directory, the dialog opens at the root.
    std::string Started;
    Dir->OnBeforeDialog = nullptr;
    Dir->OnAfterDialog = [&](TObject*, std::string& Name, bool& Action) {
        Started = Name;
        Action = false;
    };
    Dir->SetText("/no/such/dir");
    Fixture.Dialogs.ExpectFolder("");
    AdvanceClock(1000); // not a double click
    ClickControl(Dir->Button(), 5, 5);
    EXPECT_EQ(Started, "/");
    EXPECT_EQ(Dir->Text(), "/no/such/dir");
}

TEST_F(ComboEditTest, LongFormsOfPathLists)
{
    std::string Base = MakeTempDir("forms");
    CreateDir(Base + "/Alpha");
    Dir->MultipleDirs = true;
    Dir->SetText(Base + "/alpha;;" + Base);
    EXPECT_EQ(Dir->LongFormName(), Base + "/Alpha;" + Base);
    Dir->MultipleDirs = false;
    Dir->SetText(Base + "/alpha");
    EXPECT_EQ(Dir->LongFormName(), Base + "/Alpha");

    File->SetText(Base + "/alpha");
    EXPECT_EQ(File->LongFormName(), "Alpha");
    EXPECT_THROW(File->SetFileName("a|b"), EComboEditError);
    EXPECT_EQ(File->Text(), Base + "/alpha");
    File->SetFileName("/tmp/a b");
    EXPECT_EQ(File->Text(), "\"/tmp/a b\"");
    EXPECT_EQ(QuotedFileName("\"x y\""), "\"x y\"");
}
