// The data-file lookup: a bare name is looked for in the current directory first, then in the
// data directory installed beside the executable.
#include "platform/rtl/DataFiles.h"
#include "platform/rtl/SysUtils.h"
#include "platform/testing/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

using namespace testing_support;

namespace {

TEST(DataFiles, BareNameLooksInTheCurrentDirectoryThenBesideTheProgram)
{
    const std::string Old = GetCurrentDir();
    const std::string Here = MakeTempDir("datafiles");
    ASSERT_TRUE(SetCurrentDir(Here));
    const std::string Data = ProgramDataDir();
    ASSERT_FALSE(Data.empty());
    ASSERT_TRUE(ForceDirectories(Data));
    const std::string Name = "tw-lookup-" + std::to_string(getpid()) + ".txt";
    // Only beside the program: found there.
    WriteFileBytes(Data + "/" + Name, "installed");
    EXPECT_EQ(FindDataFile(Name), Data + "/" + Name);
    // In the current directory too: that one wins.
    WriteFileBytes(Here + "/" + Name, "local");
    EXPECT_EQ(FindDataFile(Name), Name);
    DeleteFile(Data + "/" + Name);
    DeleteFile(Here + "/" + Name);
    // Nowhere, or with a directory part: the name as given, so opening it reports that name.
    EXPECT_EQ(FindDataFile(Name), Name);
    EXPECT_EQ(FindDataFile("sub/" + Name), "sub/" + Name);
    SetCurrentDir(Old);
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
