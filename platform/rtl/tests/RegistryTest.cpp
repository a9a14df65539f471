#include "platform/rtl/Registry.h"

#include "platform/testing/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>
#include <vector>

using testing_support::ConfigDir;
using testing_support::MakeTempDir;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

namespace {

class Registry : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedName = ProgramName();
        SetProgramName("wendle");
    }
    void TearDown() override
    {
        SetRegistryFileName("");
        SetProgramName(savedName);
    }
    std::string savedName;
};

TEST_F(Registry, LivesInTheSettingsDirectoryOnly)
{
    EXPECT_EQ(RegistryFileName(), ConfigDir() + "/wendle/registry.reg");
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Marrowby\\Quillet\\", true));
    struct stat st {};
    EXPECT_EQ(stat(RegistryFileName().c_str(), &st), 0);
}

TEST_F(Registry, OpenKeyCreatesOnlyWhenAllowed)
{
    TRegistry reg;
    EXPECT_EQ(reg.RootKey(), HKEY_CURRENT_USER);
    EXPECT_FALSE(reg.OpenKey("Software\\Marrowby\\Quillet", false));
    EXPECT_EQ(reg.CurrentKey(), 0u);
    EXPECT_FALSE(reg.KeyExists("Software\\Marrowby"));

    // The design core's first start: the key exists afterwards, with no values.
    ASSERT_TRUE(reg.OpenKey("Software\\Marrowby\\Quillet\\", true));
    EXPECT_NE(reg.CurrentKey(), 0u);
    EXPECT_EQ(reg.CurrentPath(), "Software\\Marrowby\\Quillet");
    EXPECT_FALSE(reg.ValueExists("KnownActiveXs"));
    EXPECT_EQ(reg.ReadString("KnownActiveXs"), "");
    reg.CloseKey();
    EXPECT_EQ(reg.CurrentKey(), 0u);

    TRegistry other;
    EXPECT_TRUE(other.KeyExists("software\\MARROWBY\\quillet"));
    EXPECT_TRUE(other.KeyExists("Software\\Marrowby"));
    ASSERT_TRUE(other.OpenKey("Software", false));
    EXPECT_TRUE(other.HasSubKeys());
    EXPECT_EQ(other.KeyNames(), std::vector<std::string>{"Marrowby"});
    // Relative to the open key, or absolute with a leading backslash.
    EXPECT_TRUE(other.OpenKey("Marrowby", false));
    EXPECT_EQ(other.CurrentPath(), "Software\\Marrowby");
    EXPECT_TRUE(other.OpenKey("\\Software", false));
    EXPECT_EQ(other.CurrentPath(), "Software");
}

TEST_F(Registry, ValuesRoundTripThroughTheFile)
{
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("Software\\Test", true));
        reg.WriteString("Name", "line one\r\nline \"two\" \\ end");
        reg.WriteString("", "the default");
        reg.WriteInteger("Count", -5);
        reg.WriteBool("Flag", true);
        reg.WriteFloat("Ratio", 0.1);
        reg.WriteCurrency("Price", 12.3456);
        reg.WriteDate("When", 45000.5);
        const unsigned char bytes[] = {0, 1, 0xFE};
        reg.WriteBinaryData("Blob", bytes, 3);
        reg.WriteExpandString("Path", "%HOME%\\x");
    }
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("SOFTWARE\\test", false));
    EXPECT_EQ(reg.ReadString("name"), "line one\r\nline \"two\" \\ end");
    EXPECT_EQ(reg.ReadString(""), "the default");
    EXPECT_EQ(reg.ReadInteger("Count"), -5);
    EXPECT_TRUE(reg.ReadBool("Flag"));
    EXPECT_DOUBLE_EQ(reg.ReadFloat("Ratio"), 0.1);
    EXPECT_DOUBLE_EQ(reg.ReadCurrency("Price"), 12.3456);
    EXPECT_DOUBLE_EQ(reg.ReadDate("When"), 45000.5);
    unsigned char back[8] = {};
    EXPECT_EQ(reg.ReadBinaryData("Blob", back, sizeof back), 3);
    EXPECT_EQ(back[2], 0xFE);
    EXPECT_EQ(reg.ReadString("Path"), "%HOME%\\x");
    EXPECT_EQ(reg.GetDataType("Count"), rdInteger);
    EXPECT_EQ(reg.GetDataType("Path"), rdExpandString);
    EXPECT_EQ(reg.GetDataSize("Name"), 27); // 26 bytes and the terminating zero
    EXPECT_EQ(reg.GetDataSize("nothing"), -1);
    EXPECT_EQ(reg.ValueNames().size(), 9u);

    // Reading a value as the wrong type, or a missing one with a typed read, raises.
    EXPECT_THROW(reg.ReadInteger("Name"), ERegistryException);
    EXPECT_THROW(reg.ReadString("Count"), ERegistryException);
    EXPECT_THROW(reg.ReadInteger("nothing"), ERegistryException);
    EXPECT_THROW(reg.ReadBinaryData("Blob", back, 2), ERegistryException);

    EXPECT_TRUE(reg.DeleteValue("Count"));
    EXPECT_FALSE(reg.DeleteValue("Count"));
    EXPECT_FALSE(TRegistry().DeleteKey(""));
    reg.CloseKey();
    EXPECT_TRUE(reg.DeleteKey("Software\\Test"));
    EXPECT_FALSE(reg.KeyExists("Software\\Test"));
    EXPECT_TRUE(reg.KeyExists("Software"));
}

TEST_F(Registry, CreateKeyMakesEveryLevel)
{
    TRegistry reg;
    EXPECT_TRUE(reg.CreateKey("Software\\Marrowby\\Quillet"));
    EXPECT_TRUE(reg.KeyExists("Software\\Marrowby"));
    EXPECT_TRUE(reg.KeyExists("SOFTWARE\\marrowby\\QUILLET"));
    EXPECT_EQ(reg.CurrentKey(), 0u);                           // creating does not open
    EXPECT_TRUE(reg.CreateKey("Software\\Marrowby\\Quillet")); // already there
    // Relative to the open key, and with the first spelling of a level kept.
    ASSERT_TRUE(reg.OpenKey("software\\marrowby", false));
    EXPECT_TRUE(reg.CreateKey("Sub"));
    EXPECT_EQ(reg.KeyNames(), (std::vector<std::string>{"Quillet", "Sub"}));
    EXPECT_TRUE(reg.KeyExists("\\Software\\Marrowby\\Sub"));
    EXPECT_THROW(reg.CreateKey("\\"), ERegistryException); // the root itself
    reg.SetRootKey(0x12345);                               // no such root
    EXPECT_THROW(reg.CreateKey("X"), ERegistryException);
}

TEST_F(Registry, KeyNamesWithLineBreaksNameNoKey)
{
    TRegistry reg;
    for (const std::string& name : {std::string("Software\\a\r\n[HKEY_CURRENT_USER\\X]"),
                                    std::string("Software\\tab\there"), std::string("a\nb")}) {
        EXPECT_FALSE(reg.OpenKey(name, true)) << name;
        EXPECT_THROW(reg.CreateKey(name), ERegistryException) << name;
        EXPECT_FALSE(reg.KeyExists(name)) << name;
        EXPECT_THROW(TRegIniFile("Software\\Ok").WriteString(name, "v", "x"), ERegistryException) << name;
    }
    // Nothing of them reached the file.
    EXPECT_FALSE(reg.KeyExists("\\X"));
    ASSERT_TRUE(reg.OpenKey("Software", false));
    EXPECT_EQ(reg.KeyNames(), std::vector<std::string>{"Ok"});
}

TEST_F(Registry, WritingWithoutAnOpenKeyOrReadOnlyFails)
{
    TRegistry reg;
    EXPECT_THROW(reg.WriteString("x", "y"), ERegistryException);
    ASSERT_TRUE(reg.OpenKey("Software\\RO", true));
    reg.WriteString("v", "1");
    TRegistry ro;
    ASSERT_TRUE(ro.OpenKeyReadOnly("Software\\RO"));
    EXPECT_EQ(ro.ReadString("v"), "1");
    EXPECT_THROW(ro.WriteString("v", "2"), ERegistryException);
    EXPECT_FALSE(ro.OpenKeyReadOnly("Software\\Missing"));
}

TEST_F(Registry, RegIniFileRegistersAFileType)
{
    // What the script editor does at each activation.
    const std::string program = "/usr/bin/wendle";
    {
        TRegIniFile reg("");
        reg.SetRootKey(HKEY_CLASSES_ROOT);
        reg.WriteString(".js", "", "Javascript File");
        reg.WriteString("Javascript File", "", "A JavaScript File");
        reg.WriteString("Javascript File\\shell\\open\\command", "", program + " \"%1\"");
    }
    TRegistry reg;
    reg.SetRootKey(HKEY_CLASSES_ROOT);
    ASSERT_TRUE(reg.OpenKey(".js", false));
    EXPECT_EQ(reg.ReadString(""), "Javascript File");
    ASSERT_TRUE(reg.OpenKey("\\Javascript File\\shell\\open\\command", false));
    EXPECT_EQ(reg.ReadString(""), "/usr/bin/wendle \"%1\"");
    EXPECT_FALSE(reg.KeyExists("\\Javascript File\\DefaultIcon"));
    // HKEY_CURRENT_USER saw none of it.
    TRegistry user;
    EXPECT_FALSE(user.KeyExists(".js"));
    // Writing again changes nothing in the file.
    const std::string before = ReadFileBytes(RegistryFileName());
    TRegIniFile again("");
    again.SetRootKey(HKEY_CLASSES_ROOT);
    again.WriteString(".js", "", "Javascript File");
    EXPECT_EQ(ReadFileBytes(RegistryFileName()), before);
}

TEST_F(Registry, RegIniFileSectionsAndDefaults)
{
    TRegIniFile ini("Software\\Tamsel");
    EXPECT_TRUE(TRegistry().KeyExists("Software\\Tamsel")); // opened with creation
    EXPECT_EQ(ini.ReadString("Fonts", "Main", "Arial"), "Arial");
    ini.WriteString("Fonts", "Main", "Courier New");
    ini.WriteInteger("Fonts", "Size", 10);
    ini.WriteBool("Fonts", "Bold", true);
    EXPECT_EQ(ini.ReadString("fonts", "MAIN", "Arial"), "Courier New");
    EXPECT_EQ(ini.ReadInteger("Fonts", "Size", 0), 10);
    EXPECT_TRUE(ini.ReadBool("Fonts", "Bold", false));
    EXPECT_EQ(ini.SectionNames(), std::vector<std::string>{"Fonts"});
    EXPECT_EQ(ini.SectionValues("Fonts"),
              (std::vector<std::string>{"Main=Courier New", "Size=10", "Bold=1"}));
    ini.DeleteKey("Fonts", "Size");
    EXPECT_EQ(ini.ReadInteger("Fonts", "Size", 7), 7);
    ini.EraseSection("Fonts");
    EXPECT_TRUE(ini.SectionNames().empty());
    // Stored as strings: a plain TRegistry reads them as such.
    ini.WriteInteger("N", "v", 3);
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Tamsel\\N", false));
    EXPECT_EQ(reg.ReadString("v"), "3");
}

TEST_F(Registry, AFailedWriteKeepsTheOldFile)
{
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("Software\\Keep", true));
        reg.WriteString("v", "old");
    }
    const std::string path = RegistryFileName();
    const std::string before = ReadFileBytes(path);
    // The file moves to a place that cannot be written: the write fails and nothing is lost.
    const std::string dir = MakeTempDir("reg");
    WriteFileBytes(dir + "/file", "");
    SetRegistryFileName(dir + "/file/registry.reg");
    TRegistry reg;
    EXPECT_FALSE(reg.OpenKey("Software\\Keep", true));
    SetRegistryFileName("");
    ASSERT_TRUE(reg.OpenKey("Software\\Keep", false));
    EXPECT_EQ(reg.ReadString("v"), "old");
    EXPECT_EQ(ReadFileBytes(path), before);
}

TEST_F(Registry, ChangesByAnotherProgramAreSeen)
{
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Shared", true));
    reg.WriteString("v", "1");
    std::string text = ReadFileBytes(RegistryFileName());
    const std::size_t at = text.find("\"v\"=\"1\"");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 7, "\"v\"=\"from outside\"\r\n\"n\"=dword:0000002a");
    WriteFileBytes(RegistryFileName(), text);
    EXPECT_EQ(reg.ReadString("v"), "from outside");
    EXPECT_EQ(reg.ReadInteger("n"), 42);
}

TEST_F(Registry, AMalformedFileReadsAsWhatCanBeUnderstood)
{
    WriteFileBytes(RegistryFileName(), "garbage line\n"
                                       "[HKEY_NOWHERE\\X]\n\"a\"=\"b\"\n"
                                       "[HKEY_CURRENT_USER\\Software\\Ok]\n"
                                       "\"good\"=\"yes\"\n"
                                       "\"unterminated=\"x\n"
                                       "\"bad\"=dword:\n"
                                       "\"hex\"=hex:0g,01\n"
                                       "@=\"dflt\n"
                                       "[HKEY_CURRENT_USER\\Software\\Ok\n");
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Ok", false));
    EXPECT_EQ(reg.ReadString("good"), "yes");
    EXPECT_FALSE(reg.ValueExists("bad"));
    EXPECT_FALSE(reg.ValueExists(""));
    EXPECT_EQ(reg.GetDataSize("hex"), 0);
    EXPECT_FALSE(reg.KeyExists("\\X"));
}

} // namespace

namespace {

// What cannot be written names the file and the system's reason, not only the value.
TEST_F(Registry, AWriteToAFileThatIsADirectoryNamesItAndWhy)
{
    const std::string dir = MakeTempDir("regdir");
    ASSERT_EQ(mkdir((dir + "/registry.reg").c_str(), 0700), 0);
    SetRegistryFileName(dir + "/registry.reg");
    TRegIniFile reg("");
    reg.SetRootKey(HKEY_CLASSES_ROOT);
    try {
        reg.WriteString(".js", "", "Javascript File");
        FAIL() << "the write went through";
    } catch (const ERegistryException& E) {
        EXPECT_NE(E.Message().find("Failed to set data for ''"), std::string::npos) << E.Message();
        EXPECT_NE(E.Message().find(dir + "/registry.reg"), std::string::npos) << E.Message();
        EXPECT_NE(E.Message().find("Is a directory"), std::string::npos) << E.Message();
    }
}

// A file with lines the program cannot read is not replaced without a trace: the first write
// keeps it beside the new one and says so, once.
TEST_F(Registry, AnUnreadableFileIsKeptBesideTheNewOne)
{
    std::vector<std::string> Notices;
    SetRegistryNotice([&](const std::string& Text) { Notices.push_back(Text); });
    const std::string garbage = "\x7f"
                                "ELF binary garbage\n[HKEY_CURRENT_USER\\Software\\Ok]\n\"good\"=\"yes\"\n";
    const std::string path = RegistryFileName();
    WriteFileBytes(path, garbage);
    // Reading says nothing.
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Ok", false));
    EXPECT_EQ(reg.ReadString("good"), "yes");
    EXPECT_TRUE(Notices.empty());
    reg.WriteString("new", "1");
    ASSERT_EQ(Notices.size(), 1u);
    EXPECT_EQ(ReadFileBytes(path + ".bak"), garbage);
    EXPECT_NE(Notices[0].find(path), std::string::npos) << Notices[0];
    EXPECT_NE(Notices[0].find(path + ".bak"), std::string::npos) << Notices[0];
    // The new file is whole and readable; later writes are silent.
    EXPECT_EQ(reg.ReadString("good"), "yes");
    reg.WriteString("new", "2");
    EXPECT_EQ(Notices.size(), 1u);
    // A second unreadable file does not overwrite the first copy.
    WriteFileBytes(path, "more garbage\n");
    reg.WriteString("new", "3");
    ASSERT_EQ(Notices.size(), 2u);
    EXPECT_EQ(ReadFileBytes(path + ".bak"), garbage);
    EXPECT_EQ(ReadFileBytes(path + ".bak2"), "more garbage\n");
    SetRegistryNotice(nullptr);
}

} // namespace
