#include "platform/rtl/DataFiles.h"

#include "platform/rtl/SysUtils.h"

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <system_error>
#include <unistd.h>

std::string ProgramDataDir()
{
    std::error_code Ec;
    const std::filesystem::path Exe = std::filesystem::read_symlink("/proc/self/exe", Ec);
    if (Ec || Exe.empty())
        return {};
    return (Exe.parent_path() / "data").string();
}

std::string FindDataFile(const std::string& FileName)
{
    return FindDataFile(FileName, ProgramDataDir());
}

std::string FindDataFile(const std::string& FileName, const std::string& Dir)
{
    if (FileName.empty() || !ExtractFilePath(FileName).empty() || FileExists(FileName))
        return FileName;
    if (!Dir.empty()) {
        const std::string Installed = IncludeTrailingPathDelimiter(Dir) + FileName;
        if (FileExists(Installed))
            return Installed;
    }
    return FileName;
}

std::string GetHomeDir()
{
    if (const char* Home = std::getenv("HOME"); Home && Home[0] == '/' && DirectoryExists(Home))
        return Home;
    if (const passwd* Pw = getpwuid(getuid());
        Pw && Pw->pw_dir && Pw->pw_dir[0] == '/' && DirectoryExists(Pw->pw_dir))
        return Pw->pw_dir;
    return "/";
}
