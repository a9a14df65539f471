#include "platform/rtl/DataFiles.h"

#include "platform/rtl/SysUtils.h"

#include <filesystem>
#include <system_error>

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
