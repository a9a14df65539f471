#include "platform/testing/TestSupport.h"
#include "platform/testing/CurrentDir.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string gHome;

// Gives each test its own home and settings directory, so no test sees another's files
// and none touches the real user's settings.
class TempHomeListener : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override
    {
        std::string pattern = (fs::temp_directory_path() / "tw-test-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("cannot create a temporary home");
        gHome = pattern;
        fs::create_directories(fs::path(gHome) / "config");
        setenv("HOME", gHome.c_str(), 1);
        setenv("XDG_CONFIG_HOME", (fs::path(gHome) / "config").c_str(), 1);
    }
    void OnTestEnd(const ::testing::TestInfo&) override
    {
        std::error_code ec;
        fs::remove_all(gHome, ec);
        gHome.clear();
    }
};

} // namespace

namespace testing_support {

std::string HomeDir()
{
    return gHome;
}
std::string ConfigDir()
{
    return (fs::path(gHome) / "config").string();
}

std::string MakeTempDir(const std::string& Name)
{
    fs::path dir = fs::path(gHome) / Name;
    fs::create_directories(dir);
    return dir.string();
}

TCurrentDirScope::TCurrentDirScope(const std::string& Dir) : FOld(fs::current_path().string())
{
    std::error_code Ec;
    fs::current_path(Dir, Ec);
    FEntered = !Ec;
}

TCurrentDirScope::~TCurrentDirScope()
{
    std::error_code Ec;
    fs::current_path(FOld, Ec);
    EXPECT_FALSE(Ec) << "could not return to " << FOld;
}

std::string ReadFileBytes(const std::string& Path)
{
    std::ifstream in(Path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteFileBytes(const std::string& Path, const std::string& Bytes)
{
    std::ofstream out(Path, std::ios::binary | std::ios::trunc);
    out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
}

bool WithPermissions(const std::function<bool()>& Body)
{
    if (geteuid() != 0)
        return Body();
    const pid_t Child = fork();
    if (Child == 0) {
        const bool Ok = setgid(65534) == 0 && setuid(65534) == 0 && Body();
        _exit(Ok ? 0 : 1);
    }
    int Status = 0;
    if (Child < 0 || waitpid(Child, &Status, 0) != Child)
        return false;
    return WIFEXITED(Status) && WEXITSTATUS(Status) == 0;
}

} // namespace testing_support

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (!std::getenv("XDG_RUNTIME_DIR")) {
        std::string runtime = (fs::temp_directory_path() / "tw-runtime-XXXXXX").string();
        if (mkdtemp(runtime.data()))
            setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    }
    ::testing::InitGoogleTest(&argc, argv);
    static int qtArgc = 1;
    static char* qtArgv[] = {argv[0], nullptr};
    QApplication app(qtArgc, qtArgv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new TempHomeListener);
    return RUN_ALL_TESTS();
}
