// The path mapping: any name maps without a fault, to a native name with no "\" in it, and
// mapping again changes nothing; the write form differs from the read form only where the read
// form found another file by its case; and the name rules split a name into parts that join back.
#include "platform/rtl/SysUtils.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <sys/stat.h>

namespace {

void Check(bool Condition)
{
    if (!Condition)
        __builtin_trap();
}

bool Exists(const std::string& Path)
{
    struct stat St {};
    return lstat(Path.c_str(), &St) == 0;
}

// A small tree at a fixed place, so seeds can name it, whose names differ from the seeds' only
// in case, and a settings directory of its own, so the mapping's look-ups have something to find.
// The current directory stays: the fuzzer reads and writes its files relative to it.
void MakeSandbox()
{
    static bool Done = false;
    if (Done)
        return;
    Done = true;
    const std::string Dir = "/tmp/tw-fuzz-paths";
    setenv("XDG_CONFIG_HOME", (Dir + "/config").c_str(), 1);
    SetProgramName("fuzz");
    ForceDirectories(Dir + "/Docs/Sub");
    WriteFileAtomic(Dir + "/Docs/Notes.txt", "n");
    WriteFileAtomic(Dir + "/Docs/Sub/Page.HTM", "p");
    WriteFileAtomic(SettingsDir() + "/TqIni.ini", "[E]");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    MakeSandbox();
    std::string Name(reinterpret_cast<const char*>(Data), Size);
    // A file name ends at its first zero byte; the system calls would see no more of it.
    Name = Name.substr(0, Name.find('\0'));
    if (Name.size() > 512)
        return 0;

    const std::string Read = MapPath(Name);
    const std::string Write = MapWritePath(Name);
    Check(Read.find('\\') == std::string::npos && Write.find('\\') == std::string::npos);
    Check(MapPath(Read) == Read);
    Check(Read == Write || !Exists(Write));
    Check(Name.empty() == Read.empty());

    Check(ExtractFilePath(Name) + ExtractFileName(Name) == Name);
    Check(ChangeFileExt(Name, ExtractFileExt(Name)) == Name);
    const std::string Dir = ExtractFileDir(Name);
    Check(Dir.size() <= Name.size() && Name.compare(0, Dir.size(), Dir) == 0);

    const std::string Full = ExpandFileName(Name);
    if (!Name.empty()) {
        Check(!Full.empty() && Full[0] == '/');
        Check(Full.find("/./") == std::string::npos && Full.find("/../") == std::string::npos);
    }
    return 0;
}
