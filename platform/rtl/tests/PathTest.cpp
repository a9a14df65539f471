#include "platform/rtl/SysUtils.h"

#include "platform/testing/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

using testing_support::ConfigDir;
using testing_support::MakeTempDir;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

namespace {

// Runs each test with a known program name and the current directory restored afterwards.
class Paths : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedName = ProgramName();
        SetProgramName("tamsel");
        savedDir = GetCurrentDir();
    }
    void TearDown() override
    {
        SetProgramName(savedName);
        SetCurrentDir(savedDir);
    }
    std::string Settings() const { return ConfigDir() + "/tamsel"; }
    std::string savedName, savedDir;
};

TEST_F(Paths, MapsWindowsNames)
{
    const std::string home = MakeTempDir("h");
    struct {
        std::string In, Out;
    } cases[] = {
        {"c:\\windows\\tqini.ini", Settings() + "/tqini.ini"},
        {"C:\\WINDOWS\\Sub\\x.dat", Settings() + "/Sub/x.dat"},
        {"c:\\windows", Settings()},
        {"browser.ini", Settings() + "/browser.ini"},
        {"lib.Ini", Settings() + "/lib.Ini"},
        {"c:\\pro", "/pro"},
        {"D:\\data\\a.txt", "/data/a.txt"},
        {"c:", "/"},
        {"c:\\windowsfoo\\a", "/windowsfoo/a"}, // only the directory itself is the settings directory
        {"\\temp.html", "/temp.html"},
        {"ERROR\\unit1.bmp", "ERROR/unit1.bmp"},
        {home + "\\doc.htm", home + "/doc.htm"},
        {home + "//a//b", home + "/a/b"},
        {"notes.txt", "notes.txt"}, // bare names other than INI files stay relative
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MapPath(c.In), c.Out) << c.In;
}

TEST_F(Paths, SettingsDirectoryFollowsXdgAndProgramName)
{
    EXPECT_EQ(SettingsDir(), Settings());
    EXPECT_TRUE(DirectoryExists(Settings())); // created on demand, like a Windows directory
    EXPECT_EQ(GetWindowsDirectory(), Settings());
    char buf[512];
    const UINT n = GetWindowsDirectory(buf, sizeof buf);
    EXPECT_EQ(std::string(buf, n), Settings());
    EXPECT_EQ(GetWindowsDirectory(buf, 3), Settings().size() + 1); // too small: the size needed

    SetProgramName("wendle");
    EXPECT_EQ(MapPath("lib.ini"), ConfigDir() + "/wendle/lib.ini");

    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(SettingsDir(), testing_support::HomeDir() + "/.config/wendle");
    setenv("XDG_CONFIG_HOME", ConfigDir().c_str(), 1);
}

TEST_F(Paths, MissingNamesFallBackToAnotherCase)
{
    const std::string dir = MakeTempDir("Data");
    WriteFileBytes(dir + "/Unit1.JS", "x");
    mkdir((dir + "/SubDir").c_str(), 0777);
    WriteFileBytes(dir + "/SubDir/Note.txt", "n");

    const std::string home = testing_support::HomeDir();
    EXPECT_EQ(MapPath(home + "\\data\\unit1.js"), dir + "/Unit1.JS");
    EXPECT_EQ(MapPath(home + "/DATA/subdir/NOTE.TXT"), dir + "/SubDir/Note.txt");
    EXPECT_TRUE(FileExists(home + "\\DATA\\UNIT1.js"));
    // A name that exists as written is never replaced, and a missing tail stays as written.
    WriteFileBytes(dir + "/unit1.js", "y");
    EXPECT_EQ(MapPath(dir + "/unit1.js"), dir + "/unit1.js");
    EXPECT_EQ(MapPath(home + "/data/New/File.txt"), dir + "/New/File.txt");

    // Relative names resolve against the current directory.
    ASSERT_TRUE(SetCurrentDir(dir));
    EXPECT_EQ(MapPath("subdir\\note.TXT"), "SubDir/Note.txt");
}

TEST_F(Paths, IniFallbackFindsTheFileUnderEitherSpelling)
{
    WriteFileBytes(SettingsDir() + "/lib.Ini", "[Lib]\r\n");
    EXPECT_EQ(MapPath("lib.ini"), Settings() + "/lib.Ini");
    EXPECT_EQ(MapPath("LIB.INI"), Settings() + "/lib.Ini");
}

TEST(FileNames, ExtractParts)
{
    struct {
        const char *Name, *Path, *Dir, *File, *Ext;
    } cases[] = {
        {"c:\\pro\\doc.htm", "c:\\pro\\", "c:\\pro", "doc.htm", ".htm"},
        {"c:\\doc.htm", "c:\\", "c:\\", "doc.htm", ".htm"},
        {"/home/u/a.b/file", "/home/u/a.b/", "/home/u/a.b", "file", ""},
        {"/file.tar.gz", "/", "/", "file.tar.gz", ".gz"},
        {"Untitled", "", "", "Untitled", ""},
        {"dir\\", "dir\\", "dir", "", ""},
        {"a.", "", "", "a.", "."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExtractFilePath(c.Name), c.Path) << c.Name;
        EXPECT_EQ(ExtractFileDir(c.Name), c.Dir) << c.Name;
        EXPECT_EQ(ExtractFileName(c.Name), c.File) << c.Name;
        EXPECT_EQ(ExtractFileExt(c.Name), c.Ext) << c.Name;
    }
    EXPECT_EQ(ChangeFileExt("c:\\a\\doc.htm", ".bak"), "c:\\a\\doc.bak");
    EXPECT_EQ(ChangeFileExt("/a.b/doc", ".js"), "/a.b/doc.js");
    EXPECT_EQ(ChangeFileExt("doc.htm", ""), "doc");
    // The preview file of an untitled document lands at the root.
    EXPECT_EQ(MapPath(ExtractFileDir("Untitled") + "\\temp.html"), "/temp.html");
}

TEST_F(Paths, ExpandFileName)
{
    const std::string dir = MakeTempDir("w");
    ASSERT_TRUE(SetCurrentDir(dir));
    EXPECT_EQ(GetCurrentDir(), dir);
    EXPECT_EQ(ExpandFileName("a.txt"), dir + "/a.txt");
    EXPECT_EQ(ExpandFileName(".\\x\\..\\b.txt"), dir + "/b.txt");
    EXPECT_EQ(ExpandFileName("/a/./b/../c"), "/a/c");
    EXPECT_EQ(ExpandFileName("c:\\pro\\..\\x"), "/x");
    EXPECT_EQ(ExpandFileName("/.."), "/");
}

TEST_F(Paths, FileRoutines)
{
    const std::string dir = MakeTempDir("f");
    const std::string a = dir + "/a.txt", b = dir + "/b.txt";
    EXPECT_FALSE(FileExists(a));
    const int h = FileCreate(a);
    ASSERT_GE(h, 0);
    EXPECT_EQ(FileWrite(h, "hello", 5), 5);
    FileClose(h);
    EXPECT_TRUE(FileExists(a));
    EXPECT_FALSE(FileExists(dir)); // a directory is not a file
    EXPECT_TRUE(DirectoryExists(dir));
    EXPECT_FALSE(DirectoryExists(a));
    EXPECT_EQ(FileSizeOf(a), 5);

    const int r = FileOpen(a, fmOpenRead);
    ASSERT_GE(r, 0);
    char buf[8] = {};
    EXPECT_EQ(FileSeek(r, 1, 0), 1);
    EXPECT_EQ(FileRead(r, buf, 8), 4);
    EXPECT_STREQ(buf, "ello");
    FileClose(r);
    EXPECT_EQ(FileOpen(dir + "/missing", fmOpenRead), -1);
    EXPECT_EQ(FileCreate(dir + "/no/such/dir/x"), -1);

    // RenameFile moves, but never over an existing file.
    EXPECT_TRUE(RenameFile(a, b));
    EXPECT_FALSE(FileExists(a));
    WriteFileBytes(a, "other");
    EXPECT_FALSE(RenameFile(a, b));
    EXPECT_EQ(ReadFileBytes(b), "hello");
    EXPECT_EQ(ReadFileBytes(a), "other");
    EXPECT_FALSE(RenameFile(dir + "/missing", dir + "/c"));

    EXPECT_TRUE(DeleteFile(a));
    EXPECT_FALSE(DeleteFile(a));
    EXPECT_FALSE(DeleteFile(dir));

    EXPECT_TRUE(CreateDir(dir + "\\sub"));
    EXPECT_FALSE(CreateDir(dir + "\\sub"));
    EXPECT_FALSE(CreateDir(dir + "/x/y")); // one level only
    EXPECT_TRUE(ForceDirectories(dir + "/x/y/z"));
    EXPECT_TRUE(DirectoryExists(dir + "/x/y/z"));
    EXPECT_TRUE(RemoveDir(dir + "/x/y/z"));
}

// Exclusive creation: a new name is created empty and open for writing; an existing file, a
// link (dangling or not) and a directory are left as they are.
TEST_F(Paths, FileCreateNewCreatesOnlyWhatIsAbsent)
{
    const std::string dir = MakeTempDir("excl");
    const std::string fresh = dir + "\\new.js";
    const int h = FileCreateNew(fresh);
    ASSERT_GE(h, 0);
    EXPECT_EQ(FileWrite(h, "ab", 2), 2);
    FileClose(h);
    EXPECT_EQ(ReadFileBytes(dir + "/new.js"), "ab");
    EXPECT_EQ(FileCreateNew(dir + "/new.js"), -1);
    EXPECT_EQ(ReadFileBytes(dir + "/new.js"), "ab");

    ASSERT_EQ(symlink((dir + "/nowhere").c_str(), (dir + "/dangling").c_str()), 0);
    EXPECT_EQ(FileCreateNew(dir + "/dangling"), -1);
    EXPECT_FALSE(FileExists(dir + "/nowhere"));
    ASSERT_EQ(symlink((dir + "/new.js").c_str(), (dir + "/link").c_str()), 0);
    EXPECT_EQ(FileCreateNew(dir + "/link"), -1);
    EXPECT_EQ(ReadFileBytes(dir + "/new.js"), "ab");

    EXPECT_EQ(FileCreateNew(dir), -1);
    EXPECT_EQ(FileCreateNew(dir + "/no/such/dir/x"), -1);
    EXPECT_EQ(FileCreateNew(""), -1);
}

TEST_F(Paths, AtomicWriteKeepsTheOldFileOnFailureAndItsPermissions)
{
    const std::string dir = MakeTempDir("atomic");
    const std::string f = dir + "/doc.txt";
    WriteFileBytes(f, "old");
    chmod(f.c_str(), 0640);
    ASSERT_TRUE(WriteFileAtomic(f, "new"));
    EXPECT_EQ(ReadFileBytes(f), "new");
    struct stat st {};
    ASSERT_EQ(stat(f.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);

    // A directory where the file should be, and a parent that is a file: both fail cleanly.
    mkdir((dir + "/adir").c_str(), 0777);
    std::string why;
    EXPECT_FALSE(WriteFileAtomic(dir + "/adir", "x", &why));
    EXPECT_FALSE(why.empty());
    EXPECT_FALSE(WriteFileAtomic(f + "/child", "x", &why));
    EXPECT_EQ(ReadFileBytes(f), "new");

    // No temporary file is left behind.
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        names.insert(e.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{"adir", "doc.txt"}));
}

TEST_F(Paths, AtomicWriteThroughALinkUpdatesTheTarget)
{
    const std::string dir = MakeTempDir("link");
    WriteFileBytes(dir + "/real.txt", "a");
    ASSERT_EQ(symlink("real.txt", (dir + "/link.txt").c_str()), 0);
    ASSERT_TRUE(WriteFileAtomic(dir + "/link.txt", "b"));
    EXPECT_EQ(ReadFileBytes(dir + "/real.txt"), "b");
    struct stat st {};
    ASSERT_EQ(lstat((dir + "/link.txt").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
}

} // namespace
