// The data-file lookup: a bare name is looked for in the current directory first, then in the
// data directory installed beside the executable.
#include "platform/rtl/DataFiles.h"
#include "platform/rtl/SysUtils.h"
#include "platform/testing/CurrentDir.h"
#include "platform/testing/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <cstdlib>
#include <string>

using namespace testing_support;

namespace {

TEST(DataFiles, TheDataDirectoryLiesBesideTheProgram)
{
    const std::filesystem::path Data = ProgramDataDir();
    EXPECT_EQ(Data.filename(), "data");
    EXPECT_EQ(Data.parent_path(), std::filesystem::read_symlink("/proc/self/exe").parent_path());
}

TEST(DataFiles, BareNameLooksInTheCurrentDirectoryThenInTheDataDirectory)
{
    const std::string Here = MakeTempDir("here");
    const std::string Data = MakeTempDir("data");
    TCurrentDirScope InHere(Here);
    ASSERT_TRUE(InHere.Entered());
    const std::string Name = "lookup.txt";
    // Only in the data directory: found there.
    WriteFileBytes(Data + "/" + Name, "installed");
    EXPECT_EQ(FindDataFile(Name, Data), Data + "/" + Name);
    EXPECT_EQ(FindDataFile(Name, Data + "/"), Data + "/" + Name);
    // In the current directory too: that one wins.
    WriteFileBytes(Here + "/" + Name, "local");
    EXPECT_EQ(FindDataFile(Name, Data), Name);
    DeleteFile(Data + "/" + Name);
    DeleteFile(Here + "/" + Name);
    // Nowhere, with a directory part, or no data directory known: the name as given, so opening
    // it reports that name.
    EXPECT_EQ(FindDataFile(Name, Data), Name);
    EXPECT_EQ(FindDataFile("sub/" + Name, Data), "sub/" + Name);
    WriteFileBytes(Data + "/" + Name, "installed");
    EXPECT_EQ(FindDataFile(Name, ""), Name);
    EXPECT_EQ(FindDataFile("", Data), "");
}

TEST(DataFiles, HomeDirIsHomeWhenItExistsElseSomeExistingDirectory)
{
    const std::string Saved = std::getenv("HOME");
    EXPECT_EQ(GetHomeDir(), Saved);
    const std::string Missing = Saved + "/no-such-home";
    setenv("HOME", Missing.c_str(), 1);
    const std::string Fallback = GetHomeDir();
    setenv("HOME", "", 1);
    const std::string Unset = GetHomeDir();
    setenv("HOME", Saved.c_str(), 1);
    EXPECT_NE(Fallback, Missing);
    EXPECT_TRUE(DirectoryExists(Fallback)) << Fallback;
    EXPECT_EQ(Unset, Fallback);
}

} // namespace
