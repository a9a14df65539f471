#include "platform/rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace {

struct IntCase {
    const char* Text;
    bool Valid;
    int Value;
};

class StrToIntCases : public ::testing::TestWithParam<IntCase> {};

TEST_P(StrToIntCases, ConvertsOrRaises)
{
    const IntCase& c = GetParam();
    if (c.Valid) {
        EXPECT_EQ(StrToInt(c.Text), c.Value) << c.Text;
        EXPECT_EQ(StrToIntDef(c.Text, -77), c.Value) << c.Text;
    } else {
        EXPECT_THROW(StrToInt(c.Text), EConvertError) << c.Text;
        EXPECT_EQ(StrToIntDef(c.Text, -77), -77) << c.Text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, StrToIntCases,
    ::testing::Values(IntCase{"0", true, 0}, IntCase{"42", true, 42}, IntCase{"-17", true, -17},
                      IntCase{"+5", true, 5}, IntCase{"  12", true, 12}, IntCase{"$FF", true, 255},
                      IntCase{"$ff", true, 255}, IntCase{"0x1A", true, 26}, IntCase{"-$10", true, -16},
                      IntCase{"$FFFFFFFF", true, -1}, IntCase{"$0000000010", true, 16},
                      IntCase{"2147483647", true, INT_MAX}, IntCase{"-2147483648", true, INT_MIN},
                      // out of range, malformed, empty
                      IntCase{"2147483648", false, 0}, IntCase{"$100000000", false, 0},
                      IntCase{"12 ", false, 0}, IntCase{"1a", false, 0}, IntCase{"", false, 0},
                      IntCase{"-", false, 0}, IntCase{"$", false, 0}, IntCase{"$G1", false, 0},
                      IntCase{"1.5", false, 0}));

TEST(Conversions, StrToIntMessageNamesTheText)
{
    try {
        StrToInt("abc");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'abc' is not a valid integer value");
    }
}

TEST(Conversions, ValReportsThePositionOfTheFirstBadCharacter)
{
    struct {
        const char* Text;
        int Value, Code;
    } cases[] = {{"123", 123, 0}, {"12x4", 0, 3}, {"", 0, 1}, {" -7", -7, 0}, {"$1F", 31, 0}, {"9 ", 0, 2}};
    for (const auto& c : cases) {
        int v = -1, code = -1;
        Val(c.Text, v, code);
        EXPECT_EQ(code, c.Code) << c.Text;
        EXPECT_EQ(v, c.Value) << c.Text;
    }
    double d = 0;
    int code = 0;
    Val("2.5e3", d, code);
    EXPECT_EQ(code, 0);
    EXPECT_DOUBLE_EQ(d, 2500);
    Val("2.5q", d, code);
    EXPECT_EQ(code, 4);
}

TEST(Conversions, IntToStrAndHex)
{
    EXPECT_EQ(IntToStr(0), "0");
    EXPECT_EQ(IntToStr(-2147483648LL), "-2147483648");
    EXPECT_EQ(IntToStr(9000000000LL), "9000000000");
    EXPECT_EQ(IntToHex(255, 4), "00FF");
    EXPECT_EQ(IntToHex(0x1234567, 2), "1234567");
}

struct FormatCase {
    const char* Expected;
    std::string Result;
};

TEST(Format, Table)
{
    const FormatCase cases[] = {
        {"37% Load", Format("%d%% Load", {37})},
        {"Windows NT, version 4.00", Format("%s, version %u.%.2u", {"Windows NT", 4, 0})},
        {"version 3.51", Format("version %u.%.2u", {3u, 51u})},
        {"Windows 95", Format("%s", {"Windows 95", 4, 0})}, // extra arguments ignored
        {"Invalid file name - x.y", Format("Invalid file name - %s", {std::string("x.y")})},
        {"Boom (5)", Format("%s (%d)", {"Boom", 5})},
        {"[   42]", Format("[%5d]", {42})},
        {"[42   ]", Format("[%-5d]", {42})},
        {"[-0042]", Format("[%.4d]", {-42})},
        {"[  007]", Format("[%5.3d]", {7})},
        {"FF", Format("%x", {255})},
        {"00FF", Format("%.4x", {255})},
        {"FFFFFFFF", Format("%x", {-1})},
        {"4294967295", Format("%u", {-1})},
        {"abc", Format("%.3s", {"abcdef"})},
        {"  ab", Format("%4s", {"ab"})},
        {"x", Format("%s", {'x'})},
        {"3.14", Format("%f", {3.14159})},
        {"3.142", Format("%.3f", {3.14159})},
        {"2.50", Format("%.2f", {2.5})},
        {"0.13", Format("%.2f", {0.125})},
        {"1,234,567.89", Format("%n", {1234567.891})},
        {"1.5E+003", Format("%.2e", {1500.0})},
        {"0.001", Format("%g", {0.001})},
        {"b a", Format("%1:s %0:s", {"a", "b"})},
        {"[  9]", Format("[%*d]", {3, 9})},
        {"100%", Format("100%%")},
        {"", Format("", {1})},
    };
    for (const FormatCase& c : cases)
        EXPECT_EQ(c.Result, c.Expected);
}

TEST(Format, BadFormatsRaiseConvertError)
{
    EXPECT_THROW(Format("%d", {"text"}), EConvertError);
    EXPECT_THROW(Format("%s", {5}), EConvertError);
    EXPECT_THROW(Format("%d %d", {1}), EConvertError); // missing argument
    EXPECT_THROW(Format("%", {1}), EConvertError);
    EXPECT_THROW(Format("%q", {1}), EConvertError);
    EXPECT_THROW(Format("%5", {1}), EConvertError);
}

TEST(Format, FormatFloatPatterns)
{
    struct {
        const char* Pattern;
        double Value;
        const char* Expected;
    } cases[] = {
        {"#,\"KB Free\"", 1234567, "1,234,567KB Free"},
        {"#,\"KB Free\"", 512, "512KB Free"},
        {"#,\"KB Free\"", -2048, "-2,048KB Free"},
        {"0.00", 3.14159, "3.14"},
        {"0.00", 0.005, "0.01"},
        {"#.##", 5, "5"},
        {"#.##", 5.1, "5.1"},
        {"#,##0.00", 1234.5, "1,234.50"},
        {"000", 7, "007"},
        {"#", 0, ""},
        {"0", 0.4, "0"},
        {"0.0;(0.0);zero", -2.25, "(2.3)"},
        {"0.0;(0.0);zero", 0, "zero"},
        {"0.0;(0.0);zero", 0.01, "zero"}, // rounds to zero, so the zero section
        {"'x='0", 5, "x=5"},
        {"0.00E+00", 12345, "1.23E+04"},
        {"0.0e-0", 0.00025, "2.5e-4"},
        {"", 1.5, "1.5"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatFloat(c.Pattern, c.Value), c.Expected) << c.Pattern << " " << c.Value;
}

TEST(Conversions, FloatToStrAndBack)
{
    EXPECT_EQ(FloatToStr(0), "0");
    EXPECT_EQ(FloatToStr(1.5), "1.5");
    EXPECT_EQ(FloatToStr(-0.1), "-0.1");
    EXPECT_EQ(FloatToStr(1e20), "1E20");
    EXPECT_EQ(FloatToStr(1.5e-7), "1.5E-7");
    EXPECT_EQ(FloatToStr(123456789012345.0), "123456789012345");
    EXPECT_DOUBLE_EQ(StrToFloat(" 2.75 "), 2.75);
    EXPECT_THROW(StrToFloat("2,75x"), EConvertError);
    EXPECT_DOUBLE_EQ(StrToFloatDef("nope", 9.5), 9.5);
}

TEST(Strings, TrimAndCase)
{
    EXPECT_EQ(Trim("  \t a b \r\n"), "a b");
    EXPECT_EQ(TrimLeft("  a "), "a ");
    EXPECT_EQ(TrimRight("  a "), "  a");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(UpperCase("abc-\xC3\xA9z"), "ABC-\xC3\xA9Z"); // only ASCII letters change
    EXPECT_EQ(LowerCase("ABC\xC3\x89"), "abc\xC3\x89");
    EXPECT_EQ(AnsiUpperCase("\xC3\xA9t\xC3\xA9"), "\xC3\x89T\xC3\x89");
}

TEST(Strings, CompareTextIgnoresAsciiCaseOnly)
{
    EXPECT_EQ(CompareText("Browser.INI", "browser.ini"), 0);
    EXPECT_LT(CompareText("abc", "ABD"), 0);
    EXPECT_GT(CompareText("abcd", "ABC"), 0);
    // '_' lies between the upper- and lower-case letters; folding to upper case sorts it after
    // every letter, as sorted string lists expect.
    EXPECT_GT(CompareText("a_", "AB"), 0);
    EXPECT_TRUE(SameText("Lib", "LIB"));
    EXPECT_FALSE(SameText("\xC3\xA9", "\xC3\x89"));
    EXPECT_LT(CompareStr("B", "a"), 0);
}

TEST(Strings, PosCopyAndReplace)
{
    EXPECT_EQ(Pos("lo", "hello"), 4);
    EXPECT_EQ(Pos("x", "hello"), 0);
    EXPECT_EQ(Copy("hello", 2, 3), "ell");
    EXPECT_EQ(Copy("hello", 4, 100), "lo");
    EXPECT_EQ(Copy("hello", 9, 1), "");
    EXPECT_EQ(StringReplace("a.b.c", ".", "\\", rfReplaceAll), "a\\b\\c");
    EXPECT_EQ(StringReplace("aXbx", "x", "-", rfReplaceAll | rfIgnoreCase), "a-b-");
    EXPECT_EQ(StringReplace("aXbx", "x", "-", 0), "aXb-");
    EXPECT_EQ(QuotedStr("it's"), "'it''s'");
    EXPECT_EQ(LastDelimiter("\\.", "c:\\a.b\\c"), 7);
}

TEST(MulDiv, RoundsHalfAwayFromZeroAndGuardsTheDivisor)
{
    struct {
        int A, B, C, Expected;
    } cases[] = {
        {10, 1, 3, 3},
        {10, 2, 3, 7},
        {5, 1, 2, 3},
        {-5, 1, 2, -3},
        {5, -1, 2, -3},
        {-5, -1, -2, -3},
        {7, 3, 0, -1},
        {0, 5, 0, -1},
        {12, 14, 12, 14},
        {16, 13, 12, 17},
        {3, 3, 4, 2},
        {100000, 100000, 1, -1} /* overflow */,
        {INT_MAX, 2, 2, INT_MAX},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MulDiv(c.A, c.B, c.C), c.Expected) << c.A << "*" << c.B << "/" << c.C;
}

class DateFormats : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved = FormatSettings();
        FormatSettings() = TFormatSettings{}; // English names, whatever the machine's locale
    }
    void TearDown() override { FormatSettings() = saved; }
    TFormatSettings saved;
};

TEST_F(DateFormats, EncodeDecodeRoundTrip)
{
    EXPECT_DOUBLE_EQ(EncodeDate(1899, 12, 30), 0);
    EXPECT_DOUBLE_EQ(EncodeDate(2000, 1, 1), 36526);
    int y, m, d;
    DecodeDate(EncodeDate(2024, 2, 29), y, m, d);
    EXPECT_EQ(y * 10000 + m * 100 + d, 20240229);
    DecodeDate(-1.25, y, m, d); // before the epoch the time still counts forward
    EXPECT_EQ(y * 10000 + m * 100 + d, 18991229);
    int h, n, s, ms;
    DecodeTime(EncodeTime(13, 5, 9, 250), h, n, s, ms);
    EXPECT_EQ(h * 10000000 + n * 100000 + s * 1000 + ms, 130509250);
    EXPECT_THROW(EncodeDate(2023, 2, 29), EConvertError);
    EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
    EXPECT_EQ(DayOfWeek(EncodeDate(2026, 12, 10)), 5); // a Thursday
}

TEST_F(DateFormats, DateToStrAndTimeToStrFollowTheSettings)
{
    TFormatSettings& fs = FormatSettings();
    fs.ShortDateFormat = "dd/mm/yyyy";
    fs.DateSeparator = '.';
    fs.LongTimeFormat = "hh:nn:ss";
    fs.TimeSeparator = ':';
    const TDateTime t = EncodeDate(2026, 3, 7) + EncodeTime(9, 4, 5, 0);
    EXPECT_EQ(DateToStr(t), "07.03.2026");
    EXPECT_EQ(TimeToStr(t), "09:04:05");
    fs.LongTimeFormat = "h:nn:ss AMPM";
    EXPECT_EQ(TimeToStr(EncodeTime(15, 30, 0, 0)), "3:30:00 PM");
    EXPECT_EQ(TimeToStr(EncodeTime(0, 30, 0, 0)), "12:30:00 AM");
    EXPECT_EQ(FormatDateTime("dddd d mmmm yy, h:m", t), "Saturday 7 March 26, 9:4");
    EXPECT_EQ(FormatDateTime("\"at\" hh'h'", t), "at 09h");
    // "c": the short date, then the long time unless it is midnight; the time's own format
    // decides between 12 and 24 hours.
    fs.ShortDateFormat = "m/d/yyyy";
    fs.DateSeparator = '/';
    EXPECT_EQ(DateTimeToStr(EncodeDate(2026, 3, 7) + EncodeTime(15, 4, 5, 0)), "3/7/2026 3:04:05 PM");
    EXPECT_EQ(DateTimeToStr(EncodeDate(2026, 3, 7)), "3/7/2026");
}

// The user's locale decides the short date and the long time; whatever the locale's own
// pattern holds (blank-separated fields, a time zone in brackets, a day period) comes out as text
// a user of that locale reads.
TEST_F(DateFormats, LocaleFormatsBecomeTheClassicTokens)
{
    struct {
        const char *Locale, *Date, *Time;
    } cases[] = {
        {"C", "3/7/2026", "3:04:05 PM"},
        {"en_US", "3/7/26", "3:04:05 PM"},
        {"en_GB", "07/03/2026", "15:04:05"},
        {"de_DE", "07.03.26", "15:04:05"},
        {"fi_FI", "7.3.2026", "15.04.05"}, // dots between the time's fields too
        {"ko_KR", "26. 3. 7.", "\xEC\x98\xA4\xED\x9B\x84 3\xEC\x8B\x9C 4\xEB\xB6\x84 5\xEC\xB4\x88"},
        {"zh_CN", "2026/3/7", "15:04:05"}, // the time zone before the time is dropped
        {"zh_TW", "2026/3/7",
         "\xE4\xB8\x8B\xE5\x8D\x88"
         "3:04:05"},                       // a day period, a zone in brackets
        {"fa_IR", "2026/3/7", "15:04:05"}, // a zone in parentheses
        {"fr_CA", "2026-03-07", "15 h 04 min 05 s"},
    };
    const TDateTime t = EncodeDate(2026, 3, 7) + EncodeTime(15, 4, 5, 0);
    for (const auto& c : cases) {
        FormatSettings() = LocaleFormatSettings(c.Locale);
        EXPECT_EQ(DateToStr(t), c.Date) << c.Locale;
        EXPECT_EQ(TimeToStr(t), c.Time) << c.Locale;
    }
    // The short time of a locale that puts the day period first still separates with ":".
    FormatSettings() = LocaleFormatSettings("ko_KR");
    EXPECT_EQ(FormatDateTime("t", t), "\xEC\x98\xA4\xED\x9B\x84 3:04");
}

TEST(DateTime, NowIsToday)
{
    const TDateTime now = Now();
    EXPECT_GT(now, EncodeDate(2020, 1, 1));
    EXPECT_LE(Date(), now);
    EXPECT_LT(now - Date(), 1.0);
    EXPECT_FALSE(DateToStr(now).empty());
    EXPECT_FALSE(TimeToStr(now).empty());
}

} // namespace
