// Every writer of the run-time, when the disk fills up in the middle of a write, reports it and
// leaves the old file whole, with no temporary file left beside it; and a settings file that is
// there but cannot be read is never replaced by a fresh one.
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/Registry.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TextFiles.h"
#include "platform/rtl/TextIO.h"

#include "platform/testing/TestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using testing_support::MakeTempDir;
using testing_support::ReadFileBytes;
using testing_support::WithPermissions;
using testing_support::WriteFileBytes;

namespace {

// While it lives, no file of the process may grow past Bytes: a write beyond fails as on a full
// disk (the limit's signal is ignored, so the write just reports the error).
class TDiskFull {
public:
    explicit TDiskFull(rlim_t Bytes)
    {
        getrlimit(RLIMIT_FSIZE, &FSaved);
        FOldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit Limit = FSaved;
        Limit.rlim_cur = Bytes;
        setrlimit(RLIMIT_FSIZE, &Limit);
    }
    ~TDiskFull()
    {
        setrlimit(RLIMIT_FSIZE, &FSaved);
        std::signal(SIGXFSZ, FOldHandler);
    }
    TDiskFull(const TDiskFull&) = delete;
    TDiskFull& operator=(const TDiskFull&) = delete;

private:
    rlimit FSaved{};
    void (*FOldHandler)(int) = nullptr;
};

const std::string Big(4096, 'x'); // far more than the limit lets through

struct TWriterCase {
    const char* What;
    std::string OldBytes;
    // Writes Big (or a text holding it) to File; must raise or answer false.
    std::function<bool(const std::string& File)> Write;
};

const TWriterCase WriterCases[] = {
    {"WriteFileAtomic", "old contents\r\n", [](const std::string& F) { return WriteFileAtomic(F, Big); }},
    {"SaveTextFile", "caf\xE9\r\n",
     [](const std::string& F) {
         TTextFormat Format;
         Format.Encoding = TTextFormat::teWindows1252;
         SaveTextFile(F, Big + "\r\n", Format);
         return true;
     }},
    {"TIniFile", "; kept\r\n[S]\r\nk=old\r\n",
     [](const std::string& F) {
         TIniFile(F).WriteString("S", "k", Big.substr(0, 1000));
         return true;
     }},
    {"TMemoryStream::SaveToFile", "old",
     [](const std::string& F) {
         TMemoryStream M;
         M.WriteString(Big);
         M.SaveToFile(F);
         return true;
     }},
    {"TFileStream, WriteBuffer raises", "old",
     [](const std::string& F) {
         TFileStream S(F, fmCreate);
         S.WriteBuffer(Big.data(), static_cast<Longint>(Big.size()));
         return true;
     }},
    {"TFileStream, a short Write nobody checks", "old",
     [](const std::string& F) {
         TFileStream S(F, fmCreate);
         return S.Write(Big.data(), static_cast<Longint>(Big.size())) == static_cast<Longint>(Big.size());
     }},
    {"TextFile", "old line\r\n",
     [](const std::string& F) {
         TextFile T;
         AssignFile(T, F);
         Rewrite(T);
         WriteLn(T, Big);
         CloseFile(T);
         return true;
     }},
    {"TRegistry", "; Registry\r\n\r\n[HKEY_CURRENT_USER\\Software\\Keep]\r\n\"v\"=\"old\"\r\n",
     [](const std::string& F) {
         SetRegistryFileName(F);
         TRegistry Reg;
         const bool Opened = Reg.OpenKey("Software\\Keep", false);
         Reg.WriteString("v", Big);
         SetRegistryFileName("");
         return Opened;
     }},
};

void PrintTo(const TWriterCase& C, std::ostream* Out)
{
    *Out << C.What;
}

class FailedWrites : public testing::TestWithParam<TWriterCase> {
protected:
    void TearDown() override { SetRegistryFileName(""); }
};

TEST_P(FailedWrites, LeaveTheOldFileWhole)
{
    const TWriterCase& C = GetParam();
    const std::string Dir = MakeTempDir("full");
    const std::string File = Dir + "/target.dat";
    WriteFileBytes(File, C.OldBytes);

    bool Reported = false;
    {
        TDiskFull Full(256);
        try {
            Reported = !C.Write(File);
        } catch (const Exception&) {
            Reported = true;
        }
    }
    EXPECT_TRUE(Reported) << C.What << ": the failure went unreported";
    EXPECT_EQ(ReadFileBytes(File), C.OldBytes) << C.What;
    std::vector<std::string> Names;
    for (const auto& E : std::filesystem::directory_iterator(Dir))
        Names.push_back(E.path().filename().string());
    EXPECT_EQ(Names, std::vector<std::string>{"target.dat"}) << C.What;
}

INSTANTIATE_TEST_SUITE_P(Table, FailedWrites, testing::ValuesIn(WriterCases),
                         [](const testing::TestParamInfo<TWriterCase>& Info) {
                             return "Writer" + std::to_string(Info.index);
                         });

// The same stream, left by an exception that has nothing to do with the disk: what it wrote
// may be half a document, so it does not replace the old one.
TEST(FailedWrites, AFileStreamLeftByAnExceptionKeepsTheOldFile)
{
    const std::string Dir = MakeTempDir("unwind");
    const std::string File = Dir + "/doc.txt";
    WriteFileBytes(File, "old");
    try {
        TFileStream S(File, fmCreate);
        S.WriteString("half of the new");
        throw EConvertError("the rest could not be made");
    } catch (const EConvertError&) {
    }
    EXPECT_EQ(ReadFileBytes(File), "old");
    // A stream made and finished while another exception is already in flight still writes.
    struct TWriteOnUnwind {
        std::string Target;
        ~TWriteOnUnwind()
        {
            TFileStream S(Target, fmCreate);
            S.WriteString("written during unwinding");
        }
    };
    try {
        TWriteOnUnwind W{File};
        throw EAbort("leave");
    } catch (const EAbort&) {
    }
    EXPECT_EQ(ReadFileBytes(File), "written during unwinding");
}

struct TUnreadableCase {
    const char* What;
    std::string Bytes;
    // Tries to change the settings in File; true when the attempt was refused with an error.
    std::function<bool(const std::string& File)> Refused;
};

void PrintTo(const TUnreadableCase& C, std::ostream* Out)
{
    *Out << C.What;
}

const TUnreadableCase UnreadableCases[] = {
    {"TIniFile", "[Fonts]\r\nMain=Courier New\r\n",
     [](const std::string& F) {
         TIniFile Ini(F);
         try {
             Ini.WriteString("Fonts", "Size", "10");
         } catch (const EIniFileException& E) {
             return E.Message() == "Unable to write to " + F;
         }
         return false;
     }},
    {"TRegistry", "[HKEY_CURRENT_USER\\Software\\Keep]\r\n\"v\"=\"old\"\r\n",
     [](const std::string& F) {
         SetRegistryFileName(F);
         TRegistry Reg;
         if (Reg.OpenKey("Software\\New", true)) // creating a key writes the file
             return false;
         try {
             TRegIniFile("").WriteString("Software\\Other", "v", "new");
         } catch (const ERegistryException&) {
             return true;
         }
         return false;
     }},
};

class UnreadableSettings : public testing::TestWithParam<TUnreadableCase> {
protected:
    void TearDown() override { SetRegistryFileName(""); }
};

TEST_P(UnreadableSettings, AreNeverReplaced)
{
    const TUnreadableCase& C = GetParam();
    // The directory lets anybody make files, so only the file's own permissions stop a reader.
    chmod(testing_support::HomeDir().c_str(), 0711);
    const std::string Dir = MakeTempDir("perm");
    chmod(Dir.c_str(), 0777);
    const std::string File = Dir + "/settings.dat";
    WriteFileBytes(File, C.Bytes);
    chmod(File.c_str(), 0600);
    EXPECT_TRUE(WithPermissions([&] { return access(File.c_str(), R_OK) != 0 && C.Refused(File); }))
        << C.What;
    EXPECT_EQ(ReadFileBytes(File), C.Bytes) << C.What;
}

INSTANTIATE_TEST_SUITE_P(Table, UnreadableSettings, testing::ValuesIn(UnreadableCases),
                         [](const testing::TestParamInfo<TUnreadableCase>& Info) {
                             return std::string(Info.index == 0 ? "Ini" : "Registry");
                         });

} // namespace
