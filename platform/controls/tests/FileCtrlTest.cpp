#include "platform/controls/FileCtrl.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdButtons.h"
#include "platform/controls/StdEdit.h"
#include "platform/rtl/SysUtils.h"
#include "platform/testing/FormTesting.h"
#include "platform/testing/WinTesting.h"
#include "platform/testing/StringsTesting.h"

#include "platform/controls/tests/ControlsTestFixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

class FileCtrlTest : public controls_testing::TLoadedFormTest {
protected:
    FileCtrlTest() : TLoadedFormTest(500, 400) {}
    void SetUp() override
    {
        Root = fs::temp_directory_path() / ("tw-filectrl-" + std::to_string(::getpid()));
        fs::remove_all(Root);
        fs::create_directories(Root / "site" / "images");
        fs::create_directories(Root / "site" / "Scripts");
        fs::create_directories(Root / "site" / ".hidden");
        for (const char* F : {"index.html", "About.HTM", "notes.txt", "page.htm", "style.css", ".secret.html",
                              "page.html.bak"})
            std::ofstream(Root / "site" / F) << "x";
        Site = (Root / "site").string();
    }
    void TearDown() override
    {
        TLoadedFormTest::TearDown();
        fs::remove_all(Root);
    }
    fs::path Root;
    std::string Site;
};

TEST(MaskTest, PatternsMatchWithoutRegardToCase)
{
    struct TCase {
        const char* Name;
        const char* Mask;
        bool Match;
    } Cases[] = {
        {"index.html", "*.html;*.htm", true},
        {"INDEX.HTM", "*.html;*.htm", true},
        {"index.htmx", "*.html;*.htm", true},
        {"index.htmx", "*.html", false},
        {"page.HTML", "*.htm", true},
        {"page.htm", "*.html", false},
        {"page.shtml", "*.htm", false},
        {"page.html.bak", "*.htm", false},
        {"page.htmlx", "p*.ht?", false},
        {"htmlfile", "*.htm", false},
        {"readme", "*.*", true},
        {"readme", "*", true},
        {"a.txt", "?.txt", true},
        {"ab.txt", "?.txt", false},
        {"a.txt", " *.css ; *.TXT ", true},
        {"a.txt", "", true},
        {"a.txt", ";;", true},
        {"report.html.bak", "*.html", false},
        {"x.tar.gz", "*.gz", true},
    };
    for (const TCase& C : Cases)
        EXPECT_EQ(MatchesMask(C.Name, C.Mask), C.Match) << C.Name << " / " << C.Mask;
}

TEST_F(FileCtrlTest, FileListShowsTheFilesMatchingAMultiPatternMask)
{
    Load(R"(  object FileListBox1: TFileListBox
    Left = 10
    Top = 10
    Width = 150
    Height = 120
    Mask = '*.html;*.htm'
    FileEdit = Edit1
  end
  object Edit1: TEdit
    Left = 200
    Top = 10
    Width = 100
    Height = 21
  end
)");
    auto* F = Find<TFileListBox>("FileListBox1");
    auto* E = Find<TEdit>("Edit1");
    ASSERT_NE(F, nullptr);
    EXPECT_EQ(F->Mask(), "*.html;*.htm");
    EXPECT_EQ(F->FileEdit(), E);
    int Changes = 0;
    F->OnChange = [&](TObject*) { ++Changes; };
    F->SetDirectory(Site);
    EXPECT_EQ(F->Directory(), Site);
    // Sorted without regard to case; hidden files and other extensions left out.
    EXPECT_EQ(ItemsOf(F->Items()), (std::vector<std::string>{"About.HTM", "index.html", "page.htm"}));
    EXPECT_EQ(F->FileName(), "");
    EXPECT_EQ(E->Text(), "*.html;*.htm"); // no file chosen: the edit shows the mask
    // Choosing a file with the mouse names it in the edit.
    ASSERT_TRUE(ClickControl(F, 10, F->ItemHeight() + 2));
    EXPECT_EQ(F->FileName(), Site + "/index.html");
    EXPECT_EQ(E->Text(), "index.html");
    EXPECT_GE(Changes, 2);
    // Another mask lists again.
    F->SetMask("*.txt");
    EXPECT_EQ(ItemsOf(F->Items()), (std::vector<std::string>{"notes.txt"}));
    F->SetMask("*.*");
    EXPECT_EQ(F->Items()->Count(), 6);
    // FileName selects, changing directory first.
    F->SetDirectory("/");
    F->SetFileName(Site + "/style.css");
    EXPECT_EQ(F->Directory(), Site);
    EXPECT_EQ(F->Items()->Strings(F->ItemIndex()), "style.css");
    // A directory that does not exist lists nothing and raises nothing.
    F->SetDirectory(Site + "/missing");
    EXPECT_EQ(F->Items()->Count(), 0);
}

TEST_F(FileCtrlTest, DirectoryListShowsThePathAndTheSubdirectories)
{
    Load(R"(  object DirectoryListBox1: TDirectoryListBox
    Left = 10
    Top = 10
    Width = 200
    Height = 200
    DirLabel = Label4
    FileList = FileListBox1
  end
  object FileListBox1: TFileListBox
    Left = 220
    Top = 10
    Width = 150
    Height = 120
    Mask = '*.htm'
  end
  object Label4: TLabel
    Left = 10
    Top = 220
    Width = 200
    Height = 13
    Caption = 'C:\pro'
  end
  object DriveComboBox1: TDriveComboBox
    Left = 10
    Top = 250
    Width = 200
    Height = 22
    DirList = DirectoryListBox1
  end
)");
    auto* D = Find<TDirectoryListBox>("DirectoryListBox1");
    auto* F = Find<TFileListBox>("FileListBox1");
    auto* L = Find<TLabel>("Label4");
    auto* Drives = Find<TDriveComboBox>("DriveComboBox1");
    ASSERT_NE(D, nullptr);
    EXPECT_EQ(D->DirLabel(), L);
    EXPECT_EQ(D->FileList(), F);
    EXPECT_EQ(Drives->DirList(), D);
    std::string Changed;
    D->OnChange = [&](TObject*) { Changed = D->Directory(); };
    D->SetDirectory(Site);
    EXPECT_EQ(Changed, Site);
    // The label and the file list follow; "*.htm" lists the long extension too, not ".html.bak".
    EXPECT_EQ(L->Caption(), Site);
    EXPECT_EQ(F->Directory(), Site);
    EXPECT_EQ(ItemsOf(F->Items()), (std::vector<std::string>{"About.HTM", "index.html", "page.htm"}));
    // "/", then one item per path component, each a level deeper, then the subdirectories.
    std::vector<std::string> Parts;
    for (const auto& P : fs::path(Site))
        if (P != "/")
            Parts.push_back(P.string());
    int N = static_cast<int>(Parts.size());
    ASSERT_EQ(D->Items()->Count(), N + 3);
    EXPECT_EQ(D->Items()->Strings(0), "/");
    EXPECT_EQ(D->ItemLevel(0), 0);
    EXPECT_EQ(D->Items()->Strings(N), "site");
    EXPECT_EQ(D->ItemLevel(N), N);
    EXPECT_EQ(D->ItemIndex(), N); // the open directory
    EXPECT_EQ(D->Items()->Strings(N + 1), "images");
    EXPECT_EQ(D->Items()->Strings(N + 2), "Scripts");
    EXPECT_EQ(D->ItemLevel(N + 2), N + 1);
    EXPECT_EQ(D->GetItemPath(N + 2), Site + "/Scripts");
    EXPECT_THROW(D->GetItemPath(N + 3), EListError);
    // A double click on a subdirectory opens it.
    int H = D->ItemHeight();
    D->SetTopIndex(0);
    ASSERT_TRUE(DoubleClickControl(D, 30, (N + 1) * H + 2));
    EXPECT_EQ(D->Directory(), Site + "/images");
    EXPECT_EQ(F->Items()->Count(), 0);
    // Going up: the parent's item opens it.
    D->SetItemIndex(N);
    D->OpenCurrent();
    EXPECT_EQ(D->Directory(), Site);
    // The drive box lists "/" first and chose the file system holding the directory.
    ASSERT_GE(Drives->Items()->Count(), 1);
    EXPECT_EQ(Drives->Items()->Strings(0), "/");
    std::string Drive = Drives->Drive();
    EXPECT_EQ(Site.compare(0, Drive.size(), Drive), 0) << Drive;
    // Choosing "/" opens the root in the directory list.
    Drives->SetDrive("/");
    if (Drive != "/")
        EXPECT_EQ(D->Directory(), "/");
}

TEST_F(FileCtrlTest, FreedPartnersAreForgotten)
{
    Load(R"(  object DirectoryListBox1: TDirectoryListBox
    FileList = FileListBox1
  end
  object FileListBox1: TFileListBox
  end
)");
    auto* D = Find<TDirectoryListBox>("DirectoryListBox1");
    delete Find<TFileListBox>("FileListBox1");
    EXPECT_EQ(D->FileList(), nullptr);
    D->SetDirectory(Site); // no call into the freed list
    EXPECT_EQ(D->Directory(), Site);
}

} // namespace
