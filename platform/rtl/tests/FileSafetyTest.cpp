// The save routes of the run-time never write a file other than the one named, refuse what they
// may not or should not replace, keep a file's owner, mode and links, clean up after a killed
// save, and let two programs write one settings file without losing each other's keys.
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/Registry.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TextFiles.h"
#include "platform/rtl/TextIO.h"

#include "platform/testing/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <iostream>
#include <ostream>
#include <string>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using testing_support::MakeTempDir;
using testing_support::ReadFileBytes;
using testing_support::WithPermissions;
using testing_support::WriteFileBytes;

namespace {

const std::string NewBytes = "new content\r\n";

// One way the programs save bytes to a named file. Save answers "" on success, else the error
// it reported (an exception's message or the reason WriteFileAtomic gave).
struct TRoute {
    const char* What;
    std::function<std::string(const std::string& File)> Save;
};

std::string Caught(const std::function<void()>& Body)
{
    try {
        Body();
    } catch (const Exception& E) {
        return E.Message().empty() ? "(no message)" : E.Message();
    }
    return {};
}

const TRoute Routes[] = {
    {"WriteFileAtomic",
     [](const std::string& F) {
         std::string Why;
         return WriteFileAtomic(F, NewBytes, &Why) ? std::string() : (Why.empty() ? "(no reason)" : Why);
     }},
    {"SaveTextFile",
     [](const std::string& F) { return Caught([&] { SaveTextFile(F, NewBytes, TTextFormat{}); }); }},
    {"TMemoryStream::SaveToFile",
     [](const std::string& F) {
         return Caught([&] {
             TMemoryStream M;
             M.WriteString(NewBytes);
             M.SaveToFile(F);
         });
     }},
    {"TFileStream(fmCreate)",
     [](const std::string& F) {
         return Caught([&] {
             TFileStream S(F, fmCreate);
             S.WriteString(NewBytes);
         });
     }},
    {"Rewrite/CloseFile",
     [](const std::string& F) {
         return Caught([&] {
             TextFile T;
             AssignFile(T, F);
             Rewrite(T);
             Write(T, NewBytes);
             CloseFile(T);
         });
     }},
};

void PrintTo(const TRoute& R, std::ostream* Out)
{
    *Out << R.What;
}

std::string RouteName(const testing::TestParamInfo<TRoute>& Info)
{
    std::string N;
    for (const char* P = Info.param.What; *P; ++P)
        if (std::isalnum(static_cast<unsigned char>(*P)))
            N += *P;
    return N;
}

std::vector<std::string> Entries(const std::string& Dir)
{
    std::vector<std::string> Names;
    for (const auto& E : fs::directory_iterator(Dir))
        Names.push_back(E.path().filename().string());
    std::sort(Names.begin(), Names.end());
    return Names;
}

class SaveRoutes : public testing::TestWithParam<TRoute> {};

// The name the user typed is the file written, whatever other files differ from it only in case;
// reading still finds a file whose case differs.
TEST_P(SaveRoutes, WriteTheNameExactlyAsGiven)
{
    const TRoute& R = GetParam();
    const std::string Dir = MakeTempDir("case");
    WriteFileBytes(Dir + "/Notes.txt", "old\r\n");
    ASSERT_EQ(R.Save(Dir + "/notes.TXT"), "");
    EXPECT_EQ(ReadFileBytes(Dir + "/Notes.txt"), "old\r\n");
    EXPECT_EQ(ReadFileBytes(Dir + "/notes.TXT"), NewBytes);
    EXPECT_EQ(Entries(Dir), (std::vector<std::string>{"Notes.txt", "notes.TXT"}));
    // A directory named in another case is not taken for the one typed either.
    fs::create_directory(Dir + "/Sub");
    EXPECT_NE(R.Save(Dir + "/SUB/a.txt"), "");
    EXPECT_TRUE(fs::is_empty(Dir + "/Sub"));
}

// A read-only file is refused with the platform's error and left as it was; so is a file in a
// directory the user may not write, and the save does not leave anything behind.
TEST_P(SaveRoutes, RefuseAFileTheUserMayNotWrite)
{
    const TRoute& R = GetParam();
    chmod(testing_support::HomeDir().c_str(), 0711);
    const std::string Dir = MakeTempDir("ro");
    chmod(Dir.c_str(), 0777); // only the file's own mode stops the save
    const std::string File = Dir + "/locked.txt";
    WriteFileBytes(File, "old\r\n");
    chmod(File.c_str(), 0444);
    EXPECT_TRUE(WithPermissions([&] {
        const std::string Error = R.Save(File);
        if (Error.empty())
            std::cerr << R.What << ": a read-only file was replaced\n";
        return !Error.empty();
    }));
    EXPECT_EQ(ReadFileBytes(File), "old\r\n");
    struct stat St {};
    ASSERT_EQ(stat(File.c_str(), &St), 0);
    EXPECT_EQ(St.st_mode & 07777, 0444u);
    EXPECT_EQ(Entries(Dir), std::vector<std::string>{"locked.txt"});
}

// Root saving someone's file leaves it theirs, with its group and mode.
TEST_P(SaveRoutes, KeepTheOwnerGroupAndMode)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can make a file that belongs to another user";
    const TRoute& R = GetParam();
    const std::string Dir = MakeTempDir("own");
    const std::string File = Dir + "/theirs.txt";
    WriteFileBytes(File, "old\r\n");
    ASSERT_EQ(chown(File.c_str(), 65534, 65534), 0);
    chmod(File.c_str(), 0640);
    ASSERT_EQ(R.Save(File), "");
    struct stat St {};
    ASSERT_EQ(stat(File.c_str(), &St), 0);
    EXPECT_EQ(St.st_uid, 65534u);
    EXPECT_EQ(St.st_gid, 65534u);
    EXPECT_EQ(St.st_mode & 07777, 0640u);
    EXPECT_EQ(ReadFileBytes(File), NewBytes);
}

TEST_P(SaveRoutes, FollowLinksAndRefuseWhatIsNoFile)
{
    const TRoute& R = GetParam();
    const std::string Dir = MakeTempDir("links");

    // A dangling link: the file it names is created, the link stays.
    fs::create_symlink("made.txt", Dir + "/dangling");
    ASSERT_EQ(R.Save(Dir + "/dangling"), "");
    EXPECT_TRUE(fs::is_symlink(Dir + "/dangling"));
    EXPECT_EQ(ReadFileBytes(Dir + "/made.txt"), NewBytes);

    // Hard links stay one file: every name shows the new content.
    WriteFileBytes(Dir + "/one.txt", "old\r\n");
    fs::create_hard_link(Dir + "/one.txt", Dir + "/two.txt");
    ASSERT_EQ(R.Save(Dir + "/one.txt"), "");
    EXPECT_EQ(ReadFileBytes(Dir + "/two.txt"), NewBytes);
    EXPECT_EQ(fs::hard_link_count(Dir + "/one.txt"), 2u);

    // A loop of links, a directory and a pipe are errors that leave them as they were.
    fs::create_symlink("loop-b", Dir + "/loop-a");
    fs::create_symlink("loop-a", Dir + "/loop-b");
    EXPECT_NE(R.Save(Dir + "/loop-a"), "");
    EXPECT_TRUE(fs::is_symlink(Dir + "/loop-a"));
    fs::create_directory(Dir + "/folder");
    EXPECT_NE(R.Save(Dir + "/folder"), "");
    EXPECT_TRUE(fs::is_directory(Dir + "/folder"));
    ASSERT_EQ(mkfifo((Dir + "/pipe").c_str(), 0644), 0);
    EXPECT_NE(R.Save(Dir + "/pipe"), "");
    EXPECT_TRUE(fs::is_fifo(Dir + "/pipe"));
    // A device node of our own (the null device), so a faulty save cannot harm the real one.
    if (geteuid() == 0 && mknod((Dir + "/null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
        EXPECT_NE(R.Save(Dir + "/null"), "");
        EXPECT_TRUE(fs::is_character_file(Dir + "/null"));
    }
    for (const std::string& N : Entries(Dir))
        EXPECT_NE(N[0], '.') << "left behind: " << N;
}

INSTANTIATE_TEST_SUITE_P(Table, SaveRoutes, testing::ValuesIn(Routes), RouteName);

// The program's own fixed names stand for a file system blind to case: they keep finding the
// file, for writing too.
TEST(FixedNames, KeepTheCaseFallbackForWrites)
{
    SetProgramName("tamsel");
    const std::string Settings = SettingsDir();
    WriteFileBytes(Settings + "/tqini.ini", "[Editor]\r\nMainFont=Arial\r\n");
    TIniFile("c:\\windows\\TQINI.INI").WriteString("Editor", "ToDoFont", "Courier New");
    EXPECT_EQ(ReadFileBytes(Settings + "/tqini.ini"),
              "[Editor]\r\nMainFont=Arial\r\nToDoFont=Courier New\r\n");
    ASSERT_TRUE(WriteFileAtomic("C:\\Windows\\TqIni.ini", "[E]\r\n"));
    EXPECT_EQ(ReadFileBytes(Settings + "/tqini.ini"), "[E]\r\n");
    EXPECT_EQ(Entries(Settings), std::vector<std::string>{"tqini.ini"});
}

// Opening reads only regular files: a pipe with no writer does not block, an endless device does
// not fill memory, a directory is no file, and each says why.
TEST(Opening, ReadsOnlyRegularFiles)
{
    const std::string Dir = MakeTempDir("open");
    const std::string Pipe = Dir + "/pipe";
    ASSERT_EQ(mkfifo(Pipe.c_str(), 0644), 0);
    struct {
        std::string Name, Reason;
    } Cases[] = {
        {Pipe, "Is a named pipe, not a regular file"},
        {"/dev/zero", "Is a device, not a regular file"},
        {Dir, "Is a directory"},
        {Dir + "/missing.txt", "No such file or directory"},
    };
    for (const auto& C : Cases) {
        std::string Bytes = "stale", Why;
        EXPECT_FALSE(ReadFileBytes(C.Name, Bytes, &Why)) << C.Name;
        EXPECT_EQ(Why, C.Reason) << C.Name;
        EXPECT_EQ(Bytes, "");
        try {
            LoadTextFile(C.Name);
            ADD_FAILURE() << C.Name << " loaded";
        } catch (const EFOpenError& E) {
            EXPECT_EQ(E.Message(), "Cannot open file \"" + C.Name + "\". " + C.Reason);
        }
        EXPECT_THROW({ TFileStream S(C.Name, fmOpenRead); }, EFOpenError) << C.Name;
        EXPECT_THROW(TMemoryStream().LoadFromFile(C.Name), EFOpenError) << C.Name;
        TextFile T;
        AssignFile(T, C.Name);
        EXPECT_THROW(Reset(T), EInOutError) << C.Name;
        EXPECT_EQ(FileOpen(C.Name, fmOpenRead), -1) << C.Name;
    }
}

TEST(Opening, RefusesFilesOverTheLimit)
{
    const std::string Dir = MakeTempDir("big");
    const std::string File = Dir + "/huge.log";
    WriteFileBytes(File, "");
    // Sparse: no disk space is used, and nothing is read before the refusal.
    fs::resize_file(File, static_cast<std::uintmax_t>(MaxReadFileBytes) + 1);
    std::string Bytes, Why;
    EXPECT_FALSE(ReadFileBytes(File, Bytes, &Why));
    EXPECT_EQ(Why, "File too large (the limit is 256 MB)");
    EXPECT_THROW(LoadTextFile(File), EFOpenError);
    // A stream reads a big file piecewise, so it still opens it.
    TFileStream S(File, fmOpenRead);
    EXPECT_EQ(S.Size(), MaxReadFileBytes + 1);
}

// Runs Body in a child process that ends without any clean-up, as a killed program does.
void RunAndDie(const std::function<void()>& Body)
{
    const pid_t Child = fork();
    if (Child == 0) {
        Body();
        _exit(0);
    }
    int Status = 0;
    ASSERT_EQ(waitpid(Child, &Status, 0), Child);
}

// A save killed midway leaves a hidden temporary file; the next save of that file removes it,
// while the temporary files of a save still running, and those of other files, stay.
TEST(CrashLeftovers, AreRemovedByTheNextSave)
{
    const std::string Dir = MakeTempDir("crash");
    const std::string File = Dir + "/doc.html";
    WriteFileBytes(File, "old");
    WriteFileBytes(Dir + "/other.html", "other");
    for (const std::string& Target : {File, Dir + "/other.html"})
        RunAndDie([&] {
            auto* S = new TFileStream(Target, fmCreate); // never freed: the process just ends
            S->WriteString(std::string(1 << 20, 'x'));
        });
    ASSERT_EQ(Entries(Dir).size(), 4u) << "the killed saves left no temporary files";

    TFileStream Running(File, fmCreate); // a save of this process, not finished yet
    Running.WriteString("running");
    ASSERT_TRUE(WriteFileAtomic(File, "new"));
    EXPECT_EQ(ReadFileBytes(File), "new");
    std::vector<std::string> Left = Entries(Dir);
    ASSERT_EQ(Left.size(), 4u); // doc.html, other.html, one temporary file of each
    int OfDoc = 0, OfOther = 0;
    for (const std::string& N : Left) {
        OfDoc += N.rfind(".doc.html.", 0) == 0;
        OfOther += N.rfind(".other.html.", 0) == 0;
    }
    EXPECT_EQ(OfDoc, 1);   // the running save's
    EXPECT_EQ(OfOther, 1); // another file's leftovers wait for a save of that file
}

// Refused settings writes keep the message the user sees and carry the system's reason.
TEST(SettingsErrors, CarryTheSystemsReason)
{
    chmod(testing_support::HomeDir().c_str(), 0711);
    const std::string Dir = MakeTempDir("reason");
    chmod(Dir.c_str(), 0777);
    const std::string Ini = Dir + "/lib.ini", Reg = Dir + "/registry.reg";
    WriteFileBytes(Ini, "[Lib]\r\nq1=a\r\n");
    WriteFileBytes(Reg, "[HKEY_CURRENT_USER\\Software\\Keep]\r\n\"v\"=\"old\"\r\n");
    chmod(Ini.c_str(), 0444);
    chmod(Reg.c_str(), 0444);
    EXPECT_TRUE(WithPermissions([&] {
        bool Ok = true;
        try {
            TIniFile(Ini).WriteString("Lib", "q2", "b");
            Ok = false;
        } catch (const EIniFileException& E) {
            Ok &= E.Message() == "Unable to write to " + Ini && E.Reason == "Permission denied";
            std::cerr << E.Message() << " / " << E.Reason << "\n";
        }
        SetRegistryFileName(Reg);
        try {
            TRegistry R;
            Ok &= R.OpenKey("Software\\Keep", false);
            R.WriteString("v", "new");
            Ok = false;
        } catch (const ERegistryException& E) {
            Ok &= E.Message() == "Failed to set data for 'v'.\r\nCannot write \"" + Reg + "\": Permission denied" &&
                  E.Reason == "Permission denied";
            std::cerr << E.Message() << " / " << E.Reason << "\n";
        }
        SetRegistryFileName("");
        return Ok;
    }));
    EXPECT_EQ(ReadFileBytes(Ini), "[Lib]\r\nq1=a\r\n");
}

// ---------------------------------------------------------------------------------------------
// Two running programs

// Starts Count child processes running Body(Index) at once; true when all of them succeeded.
bool InParallel(int Count, const std::function<bool(int)>& Body)
{
    std::vector<pid_t> Children;
    for (int I = 0; I < Count; ++I) {
        const pid_t Child = fork();
        if (Child == 0) {
            bool Ok = false;
            try {
                Ok = Body(I);
            } catch (const std::exception& E) {
                std::cerr << "child " << I << ": " << E.what() << "\n";
            }
            _exit(Ok ? 0 : 1);
        }
        Children.push_back(Child);
    }
    bool All = true;
    for (pid_t Child : Children) {
        int Status = 0;
        All &= waitpid(Child, &Status, 0) == Child && WIFEXITED(Status) && WEXITSTATUS(Status) == 0;
    }
    return All;
}

constexpr int KeysEach = 300;

// Two writers of 300 keys each, and a reader that must never see a torn file.
template <class TWrite, class TCount>
void TwoWritersAndAReader(const std::string& File, TWrite Write, TCount CountKeys)
{
    EXPECT_TRUE(InParallel(3, [&](int I) {
        if (I < 2) {
            for (int K = 0; K < KeysEach; ++K)
                Write(I, K);
            return true;
        }
        int Last = 0;
        for (int Look = 0; Look < 400; ++Look) {
            const std::string Bytes = ReadFileBytes(File);
            if (Bytes.empty())
                continue;
            // Every look sees a whole file: it ends with its last line's break, and never has
            // fewer keys than the look before.
            const int Keys = CountKeys();
            if (Bytes.size() < 2 || Bytes.compare(Bytes.size() - 2, 2, "\r\n") != 0 || Keys < Last) {
                std::cerr << "torn read after " << Last << " keys\n";
                return false;
            }
            Last = Keys;
        }
        return true;
    }));
}

TEST(TwoPrograms, KeepEachOthersIniKeys)
{
    const std::string File = MakeTempDir("two") + "/shared.ini";
    TwoWritersAndAReader(
        File,
        [&](int Writer, int K) {
            TIniFile(File).WriteInteger("Copy" + IntToStr(Writer), "Key" + IntToStr(K), K);
        },
        [&] {
            TIniFile Ini(File);
            return static_cast<int>(Ini.SectionKeys("Copy0").size() + Ini.SectionKeys("Copy1").size());
        });
    TIniFile Ini(File);
    for (int Writer = 0; Writer < 2; ++Writer) {
        const std::string Section = "Copy" + IntToStr(Writer);
        EXPECT_EQ(Ini.SectionKeys(Section).size(), static_cast<std::size_t>(KeysEach)) << Section;
        for (int K = 0; K < KeysEach; ++K)
            EXPECT_EQ(Ini.ReadInteger(Section, "Key" + IntToStr(K), -1), K) << Section << " Key" << K;
    }
}

TEST(TwoPrograms, KeepEachOthersRegistryKeys)
{
    const std::string File = MakeTempDir("two") + "/registry.reg";
    SetRegistryFileName(File);
    auto Count = [] {
        TRegistry R;
        int N = 0;
        for (const char* Key : {"\\Software\\Copy0", "\\Software\\Copy1"})
            if (R.OpenKeyReadOnly(Key))
                N += static_cast<int>(R.ValueNames().size());
        return N;
    };
    TwoWritersAndAReader(
        File,
        [&](int Writer, int K) {
            TRegistry R;
            if (!R.OpenKey("Software\\Copy" + IntToStr(Writer), true))
                throw Exception("cannot open the key");
            R.WriteInteger("Value" + IntToStr(K), K);
        },
        Count);
    EXPECT_EQ(Count(), 2 * KeysEach);
    TRegistry R;
    ASSERT_TRUE(R.OpenKey("Software\\Copy1", false));
    EXPECT_EQ(R.ReadInteger("Value299"), 299);
    SetRegistryFileName("");
}

} // namespace
