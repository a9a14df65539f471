// The registry file reader: any bytes load; every key it lists opens, every value it lists reads
// back by its own type; and a value written (with every character the file format must escape)
// survives the file being written and read again, next to everything that was there.
#include "platform/rtl/Registry.h"
#include "platform/rtl/SysUtils.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

void Check(bool Condition)
{
    if (!Condition)
        __builtin_trap();
}

// Memory-backed when the machine has it, so the writes' syncs cost nothing.
const std::string& WorkDir()
{
    static const std::string Dir = [] {
        std::string Pattern =
            (access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + std::string("/tw-fuzz-reg-XXXXXX");
        return std::string(mkdtemp(Pattern.data()) ? Pattern : "/tmp");
    }();
    return Dir;
}

void Put(const std::string& Path, const std::string& Bytes)
{
    if (FILE* F = std::fopen(Path.c_str(), "wb")) {
        std::fwrite(Bytes.data(), 1, Bytes.size(), F);
        std::fclose(F);
    }
}

// Every value of the open key read by its type; the count of keys and values seen below Key.
int Walk(const std::string& Key, int Depth)
{
    TRegistry R;
    if (!R.OpenKeyReadOnly(Key))
        __builtin_trap(); // a listed key must open
    int Seen = 1;
    for (const std::string& Name : R.ValueNames()) {
        ++Seen;
        TRegDataInfo Info;
        Check(R.GetDataInfo(Name, Info));
        switch (Info.RegData) {
        case rdString:
        case rdExpandString:
            Check(static_cast<int>(R.ReadString(Name).size()) + 1 == Info.DataSize);
            break;
        case rdInteger:
            R.ReadInteger(Name);
            break;
        default: {
            std::vector<char> Buffer(static_cast<std::size_t>(Info.DataSize) + 1);
            Check(R.ReadBinaryData(Name, Buffer.data(), static_cast<int>(Buffer.size())) == Info.DataSize);
        }
        }
    }
    if (Depth < 8)
        for (const std::string& Sub : R.KeyNames())
            Seen += Walk(Key + "\\" + Sub, Depth + 1);
    return Seen;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const std::string Bytes(reinterpret_cast<const char*>(Data), Size);
    static int Round = 0;
    // A new name each time: the store reloads when the file's name or stamp changes.
    const std::string File = WorkDir() + "/reg" + std::to_string(Round++ % 2) + ".reg";
    Put(File, Bytes);
    SetRegistryFileName(File);
    const int Before = Walk("\\", 0);

    const std::string Odd = std::string("q\"uo\\te\r\nline\x01\x7F", 16) + "\xC3\xA9";
    {
        TRegistry R;
        Check(R.OpenKey("\\Software\\Fuzz\\Odd \"Key\"", true));
        R.WriteString("Name \"with\" =", Odd);
        R.WriteInteger("", -5);
    }
    // Read back from a copy of the file, so nothing is answered from what the store remembers.
    std::string Written;
    Check(ReadFileBytes(File, Written));
    const std::string Copy = WorkDir() + "/copy.reg";
    Put(Copy, Written);
    SetRegistryFileName(Copy);
    {
        TRegistry R;
        Check(R.OpenKeyReadOnly("\\Software\\Fuzz\\Odd \"Key\""));
        Check(R.ReadString("Name \"with\" =") == Odd);
        Check(R.ReadInteger("") == -5);
    }
    // Nothing that was readable before is lost by the write.
    Check(Walk("\\", 0) >= Before);
    SetRegistryFileName("");
    return 0;
}
