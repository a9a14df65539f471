#include "platform/testing/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;
using namespace testing_support;

TEST(TestSupport, EachTestHasItsOwnHomeAndSettingsDirectory)
{
    ASSERT_FALSE(HomeDir().empty());
    EXPECT_EQ(std::string(std::getenv("HOME")), HomeDir());
    EXPECT_EQ(std::string(std::getenv("XDG_CONFIG_HOME")), ConfigDir());
    EXPECT_TRUE(fs::is_directory(ConfigDir()));
    EXPECT_TRUE(fs::is_empty(ConfigDir()));

    const std::string path = (fs::path(MakeTempDir("docs")) / "a.txt").string();
    WriteFileBytes(path, std::string("x\r\ny\0z", 6));
    EXPECT_EQ(ReadFileBytes(path), std::string("x\r\ny\0z", 6));
}

TEST(TestSupport, RunsOnTheOffscreenPlatform)
{
    ASSERT_NE(std::getenv("QT_QPA_PLATFORM"), nullptr);
    EXPECT_EQ(std::string(std::getenv("QT_QPA_PLATFORM")), "offscreen");
}
