#include "platform/rtl/IniFiles.h"

#include "platform/testing/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using testing_support::MakeTempDir;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

namespace {

// Stands in for a string list: the INI routines fill anything with this shape.
struct FakeStrings {
    std::vector<std::string> Items;
    int Updates = 0;
    void BeginUpdate() { ++Updates; }
    void EndUpdate() { --Updates; }
    void Clear() { Items.clear(); }
    void Add(const std::string& S) { Items.push_back(S); }
};

class IniFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedName = ProgramName();
        SetProgramName("wendle");
        dir = MakeTempDir("ini");
    }
    void TearDown() override { SetProgramName(savedName); }
    std::string savedName, dir;
};

TEST_F(IniFiles, RoundTripOfEveryKind)
{
    const std::string f = dir + "/a.ini";
    {
        TIniFile ini(f);
        ini.WriteString("Editor", "MainFont", "Courier New");
        ini.WriteInteger("Editor", "Size", -12);
        ini.WriteBool("Editor", "Bold", true);
        ini.WriteFloat("Editor", "Ratio", 1.25);
        ini.WriteString("Other", "Empty", "");
    }
    EXPECT_EQ(
        ReadFileBytes(f),
        "[Editor]\r\nMainFont=Courier New\r\nSize=-12\r\nBold=1\r\nRatio=1.25\r\n\r\n[Other]\r\nEmpty=\r\n");
    TIniFile ini(f);
    EXPECT_EQ(ini.ReadString("editor", "MAINFONT", "Arial"), "Courier New");
    EXPECT_EQ(ini.ReadInteger("Editor", "Size", 0), -12);
    EXPECT_TRUE(ini.ReadBool("Editor", "Bold", false));
    EXPECT_DOUBLE_EQ(ini.ReadFloat("Editor", "Ratio", 0), 1.25);
    EXPECT_EQ(ini.ReadString("Other", "Empty", "dflt"), ""); // present but empty is not missing
    EXPECT_TRUE(ini.ValueExists("Other", "Empty"));
    EXPECT_TRUE(ini.SectionExists("OTHER"));
}

TEST_F(IniFiles, MissingKeysReadAsTheDefault)
{
    TIniFile ini(dir + "/none.ini"); // the file does not even exist
    EXPECT_EQ(ini.ReadString("Lib", "q1", "ERROR"), "ERROR");
    EXPECT_EQ(ini.ReadInteger("Lib", "n", 42), 42);
    EXPECT_TRUE(ini.ReadBool("Lib", "b", true));
    EXPECT_FALSE(ini.SectionExists("Lib"));
    WriteFileBytes(dir + "/bad.ini", "[Lib]\r\nn=twelve\r\nb=\r\n");
    TIniFile bad(dir + "/bad.ini");
    EXPECT_EQ(bad.ReadInteger("Lib", "n", 7), 7); // not a number: the default
    EXPECT_EQ(bad.ReadInteger("Lib", "b", 3), 3);
    EXPECT_EQ(bad.ReadString("Lib", "q2", "ERROR"), "ERROR");
}

TEST_F(IniFiles, ParsingFollowsTheProfileFormat)
{
    WriteFileBytes(dir + "/p.ini", "top=ignored\r\n"
                                   "  [ Configuration ]  trailing\r\n"
                                   "  IE  =  c:\\ie\\iexplore.exe  \r\n"
                                   "Quoted=\"  spaced  \"\r\n"
                                   "Single='x'\r\n"
                                   "Eq=a=b\r\n"
                                   ";IE=commented\r\n"
                                   "no equals sign\r\n"
                                   "IE=second\r\n"
                                   "[configuration]\r\n"
                                   "Later=1\r\n"
                                   "Hex=0x10\r\n");
    TIniFile ini(dir + "/p.ini");
    EXPECT_EQ(ini.ReadString("Configuration", "IE", ""), "c:\\ie\\iexplore.exe"); // first wins
    EXPECT_EQ(ini.ReadString("Configuration", "Quoted", ""), "  spaced  ");
    EXPECT_EQ(ini.ReadString("Configuration", "Single", ""), "x");
    EXPECT_EQ(ini.ReadString("Configuration", "Eq", ""), "a=b");
    EXPECT_EQ(ini.ReadString("Configuration", "top", "none"), "none");
    // Only the first of two sections with one name counts.
    EXPECT_EQ(ini.ReadString("Configuration", "Later", "none"), "none");
    FakeStrings keys, sections, values;
    ini.ReadSection("CONFIGURATION", &keys);
    EXPECT_EQ(keys.Items, (std::vector<std::string>{"IE", "Quoted", "Single", "Eq", "IE"}));
    ini.ReadSections(&sections);
    EXPECT_EQ(sections.Items, (std::vector<std::string>{"Configuration"}));
    EXPECT_EQ(sections.Updates, 0);
    ini.ReadSectionValues("Configuration", &values);
    EXPECT_EQ(values.Items.front(), "IE=c:\\ie\\iexplore.exe");
}

TEST_F(IniFiles, ValuesHoldAtMost1023Characters)
{
    TIniFile ini(dir + "/long.ini");
    const std::string exact(1023, 'a');
    ini.WriteString("S", "exact", exact);
    EXPECT_EQ(ini.ReadString("S", "exact", ""), exact);
    ini.WriteString("S", "long", std::string(1023, 'b') + "cdef");
    EXPECT_EQ(ini.ReadString("S", "long", ""), std::string(1023, 'b'));
    // Characters, not bytes: a two-byte character is not cut in half.
    std::string wide;
    for (int i = 0; i < 1100; ++i)
        wide += "\xC3\xA9";
    ini.WriteString("S", "wide", wide);
    EXPECT_EQ(ini.ReadString("S", "wide", "").size(), 1023u * 2);
    // A default longer than the limit is clipped the same way.
    EXPECT_EQ(ini.ReadString("S", "missing", std::string(2000, 'z')).size(), 1023u);
    // So is a whole section read at once.
    FakeStrings values;
    ini.ReadSectionValues("S", &values);
    ASSERT_EQ(values.Items.size(), 3u);
    EXPECT_EQ(values.Items[1], "long=" + std::string(1023, 'b'));
}

TEST_F(IniFiles, WritesKeepCommentsBlankLinesAndLineBreaks)
{
    const std::string f = dir + "/keep.ini";
    WriteFileBytes(f, "; settings\n"
                      "\n"
                      "[Editor]\n"
                      "; the font\n"
                      "mainfont=Arial\n"
                      "\n"
                      "[Lib]\n"
                      "q1=c:\\units\\one\\\n");
    TIniFile ini(f);
    ini.WriteString("Editor", "MainFont", "Times New Roman");
    ini.WriteString("Editor", "ToDoFont", "Arial");
    ini.WriteString("Lib", "q2", "d\\");
    ini.WriteString("New", "k", "v");
    EXPECT_EQ(ReadFileBytes(f), "; settings\n"
                                "\n"
                                "[Editor]\n"
                                "; the font\n"
                                "mainfont=Times New Roman\n"
                                "ToDoFont=Arial\n"
                                "\n"
                                "[Lib]\n"
                                "q1=c:\\units\\one\\\n"
                                "q2=d\\\n"
                                "\n"
                                "[New]\n"
                                "k=v\n");
    ini.DeleteKey("Editor", "TODOFONT");
    ini.EraseSection("lib");
    EXPECT_EQ(ReadFileBytes(f), "; settings\n"
                                "\n"
                                "[Editor]\n"
                                "; the font\n"
                                "mainfont=Times New Roman\n"
                                "\n"
                                "[New]\n"
                                "k=v\n");
}

TEST_F(IniFiles, Windows1252AndFinalLineSurviveAWrite)
{
    const std::string f = dir + "/enc.ini";
    WriteFileBytes(f, "[A]\r\nName=Caf\xE9\r\nLast=1");
    TIniFile ini(f);
    EXPECT_EQ(ini.ReadString("A", "Name", ""), "Caf\xC3\xA9");
    ini.WriteString("A", "Last", "2");
    EXPECT_EQ(ReadFileBytes(f), "[A]\r\nName=Caf\xE9\r\nLast=2");
}

TEST_F(IniFiles, ValuesWithLineBreaksStayOnOneLine)
{
    TIniFile ini(dir + "/nl.ini");
    ini.WriteString("S", "k", "a\r\nb=c\n[X]");
    EXPECT_EQ(ini.ReadString("S", "k", ""), "a  b=c [X]");
    EXPECT_FALSE(ini.SectionExists("X"));
}

TEST_F(IniFiles, BareNamesLiveInTheSettingsDirectory)
{
    {
        TIniFile ini("browser.ini");
        ini.WriteString("Configuration", "IE", "/usr/bin/browser");
        EXPECT_EQ(ini.FileName(), "browser.ini");
    }
    EXPECT_EQ(ReadFileBytes(SettingsDir() + "/browser.ini"), "[Configuration]\r\nIE=/usr/bin/browser\r\n");
    // The frame opens "lib.Ini", the dialog "lib.ini": one file.
    TIniFile(std::string("lib.Ini")).WriteString("Lib", "q1", "x\\");
    EXPECT_EQ(TIniFile("lib.ini").ReadString("Lib", "q1", "ERROR"), "x\\");
    TIniFile win("c:\\windows\\tqini.ini");
    win.WriteString("Editor", "MainFont", "Arial");
    EXPECT_EQ(win.Path(), SettingsDir() + "/tqini.ini");
}

TEST_F(IniFiles, TwoObjectsSeeEachOthersWrites)
{
    TIniFile a(dir + "/shared.ini"), b(dir + "/shared.ini");
    a.WriteString("S", "k", "1");
    EXPECT_EQ(b.ReadString("S", "k", ""), "1");
    b.WriteString("S", "k", "2");
    EXPECT_EQ(a.ReadString("S", "k", ""), "2");
}

TEST_F(IniFiles, AFailedWriteRaisesAndLeavesTheFileAlone)
{
    WriteFileBytes(dir + "/notadir", "x");
    const std::string name = dir + "/notadir/set.ini";
    TIniFile ini(name);
    EXPECT_EQ(ini.ReadString("S", "k", "d"), "d");
    try {
        ini.WriteString("S", "k", "v");
        FAIL() << "no error";
    } catch (const EIniFileException& e) {
        EXPECT_EQ(e.Message(), "Unable to write to " + name);
    }
    EXPECT_THROW(ini.WriteInteger("S", "n", 1), Exception);
    EXPECT_EQ(ReadFileBytes(dir + "/notadir"), "x");
    // Erasing what is not there writes nothing, so it cannot fail.
    EXPECT_NO_THROW(ini.EraseSection("S"));
}

TEST_F(IniFiles, AnUnreadableFileIsNeverOverwritten)
{
    // A directory stands for a settings file that cannot be read (permissions do not stop root).
    const std::string name = dir + "/locked.ini";
    ASSERT_TRUE(CreateDir(name));
    TIniFile ini(name);
    EXPECT_THROW(ini.WriteString("S", "k", "v"), EIniFileException);
    EXPECT_TRUE(DirectoryExists(name));
}

// A reader can tell a settings file that is there but unreadable from one that is missing: both
// give the defaults, only the first is flagged, with the system's reason.
TEST_F(IniFiles, ReadsTellAnUnreadableFileFromAMissingOne)
{
    TIniFile missing(dir + "/none.ini");
    EXPECT_EQ(missing.ReadString("S", "k", "d"), "d");
    EXPECT_FALSE(missing.Unreadable());

    const std::string name = dir + "/locked.ini";
    ASSERT_TRUE(CreateDir(name));
    TIniFile locked(name);
    EXPECT_EQ(locked.ReadString("S", "k", "d"), "d");
    EXPECT_TRUE(locked.Unreadable());
    EXPECT_FALSE(locked.UnreadableReason().empty());

    // The flag follows the last read: the file made readable, it clears.
    ASSERT_TRUE(RemoveDir(name));
    WriteFileBytes(name, "[S]\r\nk=v\r\n");
    EXPECT_EQ(locked.ReadString("S", "k", "d"), "v");
    EXPECT_FALSE(locked.Unreadable());
}

// A value that does not convert names where it stands, so the user can mend that line; what
// converts comes through as it is.
TEST_F(IniFiles, AConversionErrorNamesTheFileAndTheKey)
{
    const std::string f = dir + "/tqini.ini";
    WriteFileBytes(f, "[Editor]\r\nSize=twelve\r\nCount=3\r\n");
    TIniFile ini(f);
    auto ToInt = [](const std::string& S) { return StrToInt(S); };
    EXPECT_EQ(ini.ConvertValue("Editor", "Count", ini.ReadString("Editor", "Count", ""), ToInt), 3);
    try {
        ini.ConvertValue("Editor", "Size", ini.ReadString("Editor", "Size", ""), ToInt);
        FAIL() << "converted";
    } catch (const EConvertError& E) {
        for (const std::string& Part : {std::string("'twelve' is not a valid integer value"),
                                        std::string("Size"), std::string("[Editor]"), ini.Path()})
            EXPECT_NE(E.Message().find(Part), std::string::npos) << Part << " in " << E.Message();
    }
}

TEST(IniContent, ErasingASectionKeepsTheCommentsAboveTheNextOne)
{
    struct {
        const char *What, *Before, *Erase, *After;
    } cases[] = {
        {"comment above the next header", "[A]\r\nx=1\r\n\r\n; about B\r\n[B]\r\ny=2\r\n", "a",
         "; about B\r\n[B]\r\ny=2\r\n"},
        {"blank line between comment and header", "[A]\r\nx=1\r\n; about B\r\n\r\n[B]\r\n", "A",
         "; about B\r\n\r\n[B]\r\n"},
        {"comments among the keys go", "[A]\r\n; the x\r\nx=1\r\ny=2\r\n[B]\r\n", "A", "[B]\r\n"},
        {"only blank lines before the next header", "[A]\r\nx=1\r\n\r\n[B]\r\n", "A", "[B]\r\n"},
        {"the last section takes its tail", "[A]\r\nx=1\r\n[B]\r\ny=2\r\n; end\r\n", "B", "[A]\r\nx=1\r\n"},
        {"a comment above the erased header stays", "[A]\r\n; about B\r\n[B]\r\nx=1\r\n[C]\r\n", "B",
         "[A]\r\n; about B\r\n[C]\r\n"},
        {"an empty section", "[A]\r\n; about B\r\n[B]\r\n", "A", "; about B\r\n[B]\r\n"},
    };
    for (const auto& c : cases) {
        TIniContent ini(c.Before);
        EXPECT_TRUE(ini.EraseSection(c.Erase)) << c.What;
        EXPECT_EQ(ini.Text(), c.After) << c.What;
    }
}

TEST(IniContent, EditsAnyText)
{
    TIniContent c("[a]\rk=1\r\r[b]\nk=2");
    c.WriteValue("B", "j", "3");
    c.WriteValue("a", "K", "9");
    EXPECT_EQ(c.Text(), "[a]\r\nk=9\r\n\r\n[b]\r\nk=2\r\nj=3\r\n");
    std::string v;
    EXPECT_TRUE(c.ReadValue("b", "J", v));
    EXPECT_EQ(v, "3");
    EXPECT_FALSE(c.DeleteKey("c", "k"));
    EXPECT_TRUE(c.EraseSection("A"));
    EXPECT_EQ(c.SectionNames(), std::vector<std::string>{"b"});
}

} // namespace
