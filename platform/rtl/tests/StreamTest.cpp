#include "platform/rtl/Streams.h"

#include "platform/testing/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using testing_support::MakeTempDir;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

namespace {

TEST(Streams, MemoryStreamReadsWritesAndSeeks)
{
    TMemoryStream m;
    m.WriteBuffer("hello world", 11);
    EXPECT_EQ(m.Size(), 11);
    EXPECT_EQ(m.Position(), 11);
    m.SetPosition(6);
    char buf[16] = {};
    EXPECT_EQ(m.Read(buf, 16), 5);
    EXPECT_STREQ(buf, "world");
    EXPECT_EQ(m.Read(buf, 4), 0); // at the end
    EXPECT_EQ(m.Seek(-5, soFromEnd), 6);
    EXPECT_EQ(m.Seek(-100, soFromCurrent), 0);
    EXPECT_THROW(m.ReadBuffer(buf, 12), EReadError);
    m.SetPosition(0);
    m.WriteBuffer("J", 1);
    EXPECT_EQ(m.DataString(), "Jello world");
    m.SetSize(4);
    EXPECT_EQ(m.DataString(), "Jell");
    EXPECT_EQ(m.Position(), 1);
    // Writing past the end fills the gap with zeros.
    m.Seek(6, soFromBeginning);
    m.WriteBuffer("!", 1);
    EXPECT_EQ(m.DataString(), std::string("Jell\0\0!", 7));
    m.Clear();
    EXPECT_EQ(m.Size(), 0);
}

TEST(Streams, StringStreamAndCopyFrom)
{
    TStringStream s("abcdef");
    EXPECT_EQ(s.ReadString(2), "ab");
    EXPECT_EQ(s.ReadString(100), "cdef");
    TMemoryStream m;
    s.SetPosition(2);
    EXPECT_EQ(m.CopyFrom(&s, 3), 3);
    EXPECT_EQ(m.DataString(), "cde");
    EXPECT_EQ(m.CopyFrom(&s, 0), 6); // 0 copies all of the source
    EXPECT_EQ(m.DataString(), "cdeabcdef");
    s.SetPosition(5);
    EXPECT_THROW(m.CopyFrom(&s, 4), EReadError);
}

TEST(Streams, FileStreamCreatesAtomically)
{
    const std::string dir = MakeTempDir("fs");
    const std::string f = dir + "/out.bin";
    WriteFileBytes(f, "previous");
    {
        TFileStream s(f, fmCreate);
        s.WriteString("fresh");
        // Until the stream is done, the old file is still whole.
        EXPECT_EQ(ReadFileBytes(f), "previous");
        s.SetPosition(0);
        char c = 0;
        s.ReadBuffer(&c, 1);
        EXPECT_EQ(c, 'f');
    }
    EXPECT_EQ(ReadFileBytes(f), "fresh");

    // Through a link, the file it points to is replaced and the link stays.
    ASSERT_EQ(symlink("out.bin", (dir + "/link.bin").c_str()), 0);
    {
        TFileStream s(dir + "/link.bin", fmCreate);
        s.WriteString("fresh");
    }
    struct stat st {};
    ASSERT_EQ(lstat((dir + "/link.bin").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));

    TFileStream r(f, fmOpenRead | fmShareDenyWrite);
    EXPECT_EQ(r.Size(), 5);
    EXPECT_EQ(r.ReadAll(), "fresh");
    EXPECT_THROW(r.WriteBuffer("x", 1), EWriteError);
}

TEST(Streams, FileStreamErrorsNameTheFile)
{
    const std::string dir = MakeTempDir("fe");
    try {
        TFileStream s(dir + "/missing.dat", fmOpenRead);
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_NE(e.Message().find("missing.dat"), std::string::npos);
    }
    WriteFileBytes(dir + "/file", "");
    EXPECT_THROW(TFileStream(dir + "/file/x", fmCreate), EFCreateError);
    EXPECT_THROW(TFileStream(dir, fmCreate), EFCreateError);
    EXPECT_THROW(TFileStream(dir, fmOpenRead), EFOpenError);
    // Both are stream errors, and so Exceptions.
    EXPECT_THROW(TFileStream("", fmOpenRead), EStreamError);
}

TEST(Streams, MemoryStreamFiles)
{
    const std::string dir = MakeTempDir("ms");
    TMemoryStream m;
    m.WriteString(std::string("a\0b", 3));
    m.SaveToFile(dir + "\\m.bin");
    EXPECT_EQ(ReadFileBytes(dir + "/m.bin"), std::string("a\0b", 3));
    TMemoryStream n;
    n.LoadFromFile(dir + "/M.BIN"); // found under another case
    EXPECT_EQ(n.DataString(), std::string("a\0b", 3));
    EXPECT_THROW(n.LoadFromFile(dir + "/none"), EFOpenError);
    EXPECT_THROW(m.SaveToFile(dir + "/m.bin/x"), EFCreateError);
}

} // namespace
