#include "platform/rtl/TextFiles.h"

#include "platform/rtl/SysUtils.h"
#include "platform/testing/TestSupport.h"

#include <gtest/gtest.h>

using testing_support::MakeTempDir;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

namespace {

class TextFiles : public ::testing::Test {
protected:
    void SetUp() override { dir = MakeTempDir("text"); }
    // Writes Bytes, loads them, saves the text back unchanged and returns the file's bytes.
    std::string RoundTrip(const std::string& Bytes, TTextFormat* Format = nullptr,
                          std::string* Text = nullptr)
    {
        const std::string f = dir + "/t.txt";
        WriteFileBytes(f, Bytes);
        TTextFormat fmt;
        const std::string text = LoadTextFile(f, &fmt);
        SaveTextFile(f, text, fmt);
        if (Format)
            *Format = fmt;
        if (Text)
            *Text = text;
        return ReadFileBytes(f);
    }
    std::string dir;
};

TEST_F(TextFiles, FilesComeBackByteIdentical)
{
    struct {
        const char* What;
        std::string Bytes;
        TTextFormat::TEncoding Encoding;
        TTextFormat::TLineBreak Break;
        bool Final;
    } cases[] = {
        {"1252 CRLF", "caf\xE9 \x80 \x93quoted\x94\r\nline 2\r\n", TTextFormat::teWindows1252,
         TTextFormat::lbCRLF, true},
        {"LF", "one\ntwo\n\nfour\n", TTextFormat::teUtf8, TTextFormat::lbLF, true},
        {"CR", "one\rtwo\r", TTextFormat::teUtf8, TTextFormat::lbCR, true},
        {"no final break", "a\nb", TTextFormat::teUtf8, TTextFormat::lbLF, false},
        {"UTF-8 with BOM", "\xEF\xBB\xBFna\xC3\xAFve\r\n", TTextFormat::teUtf8Bom, TTextFormat::lbCRLF, true},
        {"UTF-8", "\xE2\x82\xAC 5\n", TTextFormat::teUtf8, TTextFormat::lbLF, true},
        {"empty", "", TTextFormat::teUtf8, TTextFormat::lbCRLF, true},
        {"one line", "x", TTextFormat::teUtf8, TTextFormat::lbCRLF, false},
        {"blank lines at the end", "a\r\n\r\n\r\n", TTextFormat::teUtf8, TTextFormat::lbCRLF, true},
        {"1252 LF no final", "\xFCml\xE4ut\nend", TTextFormat::teWindows1252, TTextFormat::lbLF, false},
        {"NUL byte", std::string("a\0b\n", 4), TTextFormat::teUtf8, TTextFormat::lbLF, true},
    };
    for (const auto& c : cases) {
        TTextFormat f;
        EXPECT_EQ(RoundTrip(c.Bytes, &f), c.Bytes) << c.What;
        EXPECT_EQ(f.Encoding, c.Encoding) << c.What;
        EXPECT_EQ(f.LineBreak, c.Break) << c.What;
        EXPECT_EQ(f.FinalLineBreak, c.Final) << c.What;
    }
}

TEST_F(TextFiles, EveryWindows1252ByteSurvives)
{
    std::string all;
    for (int b = 1; b < 256; ++b)
        if (b != '\r' && b != '\n')
            all += static_cast<char>(b);
    all += "\r\n";
    TTextFormat f;
    std::string text;
    EXPECT_EQ(RoundTrip(all, &f, &text), all);
    EXPECT_EQ(f.Encoding, TTextFormat::teWindows1252);
    EXPECT_TRUE(IsValidUtf8(text));
}

TEST_F(TextFiles, LoadGivesUtf8WithCrLf)
{
    WriteFileBytes(dir + "/a.txt", "caf\xE9\n\x80\x99\x9F\nmixed\r\nbreaks\rend");
    TTextFormat f;
    EXPECT_EQ(LoadTextFile(dir + "/a.txt", &f),
              "caf\xC3\xA9\r\n\xE2\x82\xAC\xE2\x84\xA2\xC5\xB8\r\nmixed\r\nbreaks\r\nend");
    EXPECT_EQ(f.LineBreak, TTextFormat::lbLF); // the first break decides
}

TEST_F(TextFiles, ACharacterOutside1252SwitchesToUtf8)
{
    const std::string f = dir + "/w.txt";
    WriteFileBytes(f, "caf\xE9\r\n");
    TTextFormat fmt;
    std::string text = LoadTextFile(f, &fmt);
    ASSERT_EQ(fmt.Encoding, TTextFormat::teWindows1252);
    SaveTextFile(f, text + "\xE2\x82\xAC and \xE2\x80\x93\r\n", fmt); // euro and en dash fit 1252
    EXPECT_EQ(ReadFileBytes(f), "caf\xE9\r\n\x80 and \x96\r\n");
    SaveTextFile(f, text + "\xCE\xA9\r\n", fmt); // Greek omega does not
    EXPECT_EQ(ReadFileBytes(f), "caf\xC3\xA9\r\n\xCE\xA9\r\n");
    LoadTextFile(f, &fmt);
    EXPECT_EQ(fmt.Encoding, TTextFormat::teUtf8);
}

TEST_F(TextFiles, SavingConvertsEditedLines)
{
    const std::string f = dir + "/e.txt";
    TTextFormat fmt;
    fmt.LineBreak = TTextFormat::lbLF;
    SaveTextFile(f, "a\r\nb\r\nc\r\n", fmt);
    EXPECT_EQ(ReadFileBytes(f), "a\nb\nc\n");
    // A string list's text always ends with a break; a file that had none gets none.
    fmt.FinalLineBreak = false;
    SaveTextFile(f, "a\r\nb\r\n", fmt);
    EXPECT_EQ(ReadFileBytes(f), "a\nb");
    SaveTextFile(f, "a\r\nb", fmt);
    EXPECT_EQ(ReadFileBytes(f), "a\nb");
    // New files default to CR LF.
    SaveTextFile(f, "x\ny\n", TTextFormat{});
    EXPECT_EQ(ReadFileBytes(f), "x\r\ny\r\n");
}

TEST_F(TextFiles, ErrorsAreStreamErrors)
{
    EXPECT_THROW(LoadTextFile(dir + "/missing.txt"), EFOpenError);
    EXPECT_THROW(LoadTextFile(dir), EFOpenError);
    WriteFileBytes(dir + "/plain", "keep");
    try {
        SaveTextFile(dir + "/plain/child.txt", "x", TTextFormat{});
        FAIL();
    } catch (const EFCreateError& e) {
        EXPECT_NE(e.Message().find("plain/child.txt"), std::string::npos);
    }
    EXPECT_EQ(ReadFileBytes(dir + "/plain"), "keep");
}

TEST(Encodings, Utf8Validation)
{
    EXPECT_TRUE(IsValidUtf8("plain"));
    EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x98\x80"));
    EXPECT_FALSE(IsValidUtf8("\xC0\x80"));         // overlong
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));     // surrogate
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80")); // past U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\xE2\x82"));         // cut short
    EXPECT_FALSE(IsValidUtf8("\x80"));
    std::string out;
    EXPECT_TRUE(Utf8ToWindows1252("\xC5\x93\xC2\x81", out)); // oe ligature, the unassigned 0x81
    EXPECT_EQ(out, "\x9C\x81");
    EXPECT_FALSE(Utf8ToWindows1252("\xC2\x85", out)); // U+0085 has no byte: 0x85 is the ellipsis
}

} // namespace
