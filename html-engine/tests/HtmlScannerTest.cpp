#include "html-engine/HtmlParser.h"

#include "platform/classes/Classes.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"
#include "platform/testing/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

namespace {

struct Tok {
    int Sy;
    std::string Text;
    bool operator==(const Tok&) const = default;
};

void PrintTo(const Tok& T, std::ostream* Os)
{
    *Os << "{" << T.Sy << ", \"" << T.Text << "\"}";
}

enum TMode { mNormal, mPre, mTextArea, mScript };

// Every token up to and including the end of input, with a bound that a scanner stuck on one
// character would hit.
std::vector<Tok> ScanOpened(THtmlParser& P, TMode Mode = mNormal)
{
    P.ResetScanner();
    P.State().PreFormatted = Mode == mPre;
    P.State().ScriptMode = Mode == mScript;
    P.NextCh();
    std::vector<Tok> Result;
    for (int Guard = 0; Guard < 100000; ++Guard) {
        if (Mode == mTextArea)
            P.GetTextAreaSymbol();
        else if (Mode == mScript)
            P.GetScriptSymbol();
        else
            P.GetSymbol();
        Result.push_back({P.State().Sy, P.State().TokenText});
        if (P.State().Sy == EofSy)
            return Result;
    }
    ADD_FAILURE() << "scanner did not reach the end of input";
    return Result;
}

std::vector<Tok> Scan(const std::string& Src, TMode Mode = mNormal)
{
    THtmlParser P;
    P.OpenSourceBuffer(Src.data(), Src.size());
    return ScanOpened(P, Mode);
}

// The text of the first token with the given symbol after scanning Src.
std::string AttributesOf(const std::string& Src)
{
    THtmlParser P;
    P.OpenSourceBuffer(Src.data(), Src.size());
    P.ResetScanner();
    P.NextCh();
    P.GetSymbol();
    std::string Out;
    for (int I = 0; I < P.State().Attributes.Count(); ++I) {
        TAttribute* A = P.State().Attributes.Attr(I);
        if (!Out.empty())
            Out += "|";
        Out += std::to_string(A->Which) + ":" + A->Text + ":" + std::to_string(A->Value);
    }
    return Out;
}

const Tok Eof{EofSy, ""};

struct TokenCase {
    const char* Name;
    std::string Src;
    TMode Mode;
    std::vector<Tok> Expected;
};

void PrintTo(const TokenCase& C, std::ostream* Os)
{
    *Os << C.Name;
}

class TokenStream : public ::testing::TestWithParam<TokenCase> {};

TEST_P(TokenStream, GivesTheTokens)
{
    const TokenCase& C = GetParam();
    EXPECT_EQ(Scan(C.Src, C.Mode), C.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Tags, TokenStream,
    ::testing::Values(
        TokenCase{"StartAndEnd", "<b>bold</B>", mNormal, {{BSy, "B"}, {TextSy, "bold"}, {BEndSy, "B"}, Eof}},
        TokenCase{"UnknownTag",
                  "<blink>x</blink>",
                  mNormal,
                  {{UnknownTagSy, "BLINK"}, {TextSy, "x"}, {UnknownTagSy, "BLINK"}, Eof}},
        TokenCase{"EndTagsWithoutEndSymbol",
                  "</li></br><hr>",
                  mNormal,
                  {{UnknownTagSy, "LI"}, {UnknownTagSy, "BR"}, {HRSy, "HR"}, Eof}},
        TokenCase{"LessThanAndSpaceSwallowsToGreaterThan",
                  "a < b > c",
                  mNormal,
                  {{TextSy, "a "}, {UnknownTagSy, ""}, {TextSy, " c"}, Eof}},
        TokenCase{"StrayGreaterThanAndControl",
                  "a>b\x01",
                  mNormal,
                  {{TextSy, "a"}, {OtherCharSy, ">"}, {TextSy, "b"}, {OtherCharSy, "\x01"}, Eof}},
        TokenCase{"TagUnclosedAtEnd", "x<p align=", mNormal, {{TextSy, "x"}, {PSy, "P"}, Eof}},
        TokenCase{"LessThanAtEnd", "x<", mNormal, {{TextSy, "x"}, {UnknownTagSy, ""}, Eof}},
        TokenCase{"AttributeValueHoldsGreaterThan",
                  "<a href=\"x>y\">t</a>",
                  mNormal,
                  {{ASy, "A"}, {TextSy, "t"}, {AEndSy, "A"}, Eof}}));

INSTANTIATE_TEST_SUITE_P(
    Text, TokenStream,
    ::testing::Values(TokenCase{"WhiteSpaceRunsFold", "a  \t\r\n b", mNormal, {{TextSy, "a b"}, Eof}},
                      TokenCase{
                          "PreformattedKeepsWhiteSpace", "a \tb\r\nc", mPre, {{TextSy, "a  b\rc"}, Eof}},
                      TokenCase{"CtrlZEndsTheInput", "ab\x1A<b>cd", mNormal, {{TextSy, "ab"}, Eof}},
                      TokenCase{"NulIsAStrayCharacter",
                                std::string("a\0b", 3),
                                mNormal,
                                {{TextSy, "a"}, {OtherCharSy, std::string(1, '\0')}, {TextSy, "b"}, Eof}},
                      TokenCase{"TextIsCutAt100Characters",
                                std::string(250, 'x'),
                                mNormal,
                                {{TextSy, std::string(100, 'x')},
                                 {TextSy, std::string(100, 'x')},
                                 {TextSy, std::string(50, 'x')},
                                 Eof}}));

// Line ends: CR, LF, CR LF and LF CR are one line break each; LF LF CR is two.
INSTANTIATE_TEST_SUITE_P(LineEnds, TokenStream,
                         ::testing::Values(TokenCase{"CR", "a\rb", mPre, {{TextSy, "a\rb"}, Eof}},
                                           TokenCase{"LF", "a\nb", mPre, {{TextSy, "a\rb"}, Eof}},
                                           TokenCase{"CRLF", "a\r\nb", mPre, {{TextSy, "a\rb"}, Eof}},
                                           TokenCase{"LFCR", "a\n\rb", mPre, {{TextSy, "a\rb"}, Eof}},
                                           TokenCase{"CRCR", "a\r\rb", mPre, {{TextSy, "a\r\rb"}, Eof}},
                                           TokenCase{"LFLFCR", "a\n\n\rb", mPre, {{TextSy, "a\r\rb"}, Eof}},
                                           TokenCase{
                                               "CRLFCRLF", "a\r\n\r\nb", mPre, {{TextSy, "a\r\rb"}, Eof}},
                                           TokenCase{"FinalLF", "a\n", mPre, {{TextSy, "a\r"}, Eof}}));

INSTANTIATE_TEST_SUITE_P(
    Entities, TokenStream,
    ::testing::Values(
        TokenCase{"AmpWithoutSemicolon", "&amp x", mNormal, {{TextSy, "&"}, {TextSy, " x"}, Eof}},
        TokenCase{"Markup", "&lt;&gt;&quot;", mNormal, {{TextSy, "<"}, {TextSy, ">"}, {TextSy, "\""}, Eof}},
        TokenCase{"Nbsp", "&nbsp;", mNormal, {{TextSy, "\xC2\xA0"}, Eof}},
        TokenCase{"NamesHaveCase", "&NBSP;", mNormal, {{TextSy, "&NBSP;"}, Eof}},
        TokenCase{"LatinLetters",
                  "&Eacute;&yuml;&copy",
                  mNormal,
                  {{TextSy, "\xC3\x89"}, {TextSy, "\xC3\xBF"}, {TextSy, "\xC2\xA9"}, Eof}},
        TokenCase{"TimesHasNoName", "&times;", mNormal, {{TextSy, "&times;"}, Eof}},
        TokenCase{"AmpersandBetweenCapitals",
                  "AT&T Corp",
                  mNormal,
                  {{TextSy, "AT"}, {TextSy, "&T"}, {TextSy, " Corp"}, Eof}},
        TokenCase{"AmpersandAlone", "a & b", mNormal, {{TextSy, "a "}, {TextSy, "&"}, {TextSy, " b"}, Eof}},
        TokenCase{"AmpersandSemicolon", "&;", mNormal, {{TextSy, "&"}, {TextSy, ";"}, Eof}},
        TokenCase{"SeventhNameCharacter", "&abcdefgh", mNormal, {{TextSy, "&abcdefg"}, {TextSy, "h"}, Eof}},
        TokenCase{"ThreeDigits", "&#065;", mNormal, {{TextSy, "A"}, Eof}},
        TokenCase{"FourDigitsStayLiteral", "&#0065;", mNormal, {{TextSy, "&#0065"}, {TextSy, ";"}, Eof}},
        TokenCase{"AboveByteStaysLiteral", "&#300;", mNormal, {{TextSy, "&#300;"}, Eof}},
        TokenCase{"TabCodeIsSpace", "&#9;", mNormal, {{TextSy, " "}, Eof}},
        TokenCase{"ControlCodeStaysLiteral", "&#5;", mNormal, {{TextSy, "&#5;"}, Eof}},
        TokenCase{"NoDigits", "&#x41;", mNormal, {{TextSy, "&#"}, {TextSy, "x41;"}, Eof}},
        TokenCase{"CodePageCharacter",
                  "&#128;&#233;",
                  mNormal,
                  {{TextSy, "\xE2\x82\xAC"}, {TextSy, "\xC3\xA9"}, Eof}},
        TokenCase{"EntityAtEnd", "&#", mNormal, {{TextSy, "&#"}, Eof}}));

INSTANTIATE_TEST_SUITE_P(
    Comments, TokenStream,
    ::testing::Values(
        TokenCase{"CommentInsideText", "a<!-- x -->b", mNormal, {{TextSy, "ab"}, Eof}},
        TokenCase{"InnerDashesThenWordContinue", "<!-- a -- b -->c", mNormal, {{TextSy, "c"}, Eof}},
        TokenCase{"SingleDashContinues", "<!-- a -> b --->c", mNormal, {{TextSy, "c"}, Eof}},
        TokenCase{"WhiteSpaceBeforeClose", "<!-- a --  \r\n >c", mNormal, {{TextSy, "c"}, Eof}},
        TokenCase{"ConsecutiveComments", "<!----><!-- --><!x>d", mNormal, {{TextSy, "d"}, Eof}},
        TokenCase{"Declaration", "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD\"><p>", mNormal, {{PSy, "P"}, Eof}},
        TokenCase{"ScriptModeKeepsThem", "<!-- x", mScript, {{UnknownTagSy, "<"}, {TextSy, "!-- x"}, Eof}}));

INSTANTIATE_TEST_SUITE_P(
    ContentReaders, TokenStream,
    ::testing::Values(
        TokenCase{"TextArea",
                  "one &amp; <b>two\r\n</TextArea>",
                  mTextArea,
                  {{TextSy, "one &amp; "},
                   {UnknownTagSy, "<b"},
                   {TextSy, ">two"},
                   {EolSy, ""},
                   {TextAreaEndSy, "</TextArea"},
                   {TextSy, ">"},
                   Eof}},
        TokenCase{
            "TextAreaEndingInsideTag", "abc<x", mTextArea, {{TextSy, "abc"}, {UnknownTagSy, "<x"}, Eof}},
        TokenCase{"TextAreaEndingAfterLessThan", "<", mTextArea, {{UnknownTagSy, "<"}, Eof}},
        TokenCase{"Script",
                  "if (a<b) x;\n</SCRIPT>",
                  mScript,
                  {{TextSy, "if (a"},
                   {UnknownTagSy, "<b"},
                   {TextSy, ") x;"},
                   {EolSy, ""},
                   {ScriptEndSy, "</SCRIPT>"},
                   Eof}},
        TokenCase{"ScriptTagIsCutAfterSevenCharacters",
                  "</scripts>",
                  mScript,
                  {{UnknownTagSy, "</script"}, {TextSy, "s>"}, Eof}},
        TokenCase{
            "ScriptEndingInsideTag", "x</scr", mScript, {{TextSy, "x"}, {UnknownTagSy, "</scr"}, Eof}}));

struct AttributeCase {
    const char* Name;
    const char* Src;
    const char* Expected; // symbol:text:value, joined by "|"
};

void PrintTo(const AttributeCase& C, std::ostream* Os)
{
    *Os << C.Name;
}

class Attributes : public ::testing::TestWithParam<AttributeCase> {};

TEST_P(Attributes, AreRead)
{
    EXPECT_EQ(AttributesOf(GetParam().Src), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Quoting, Attributes,
    ::testing::Values(AttributeCase{"DoubleQuoted", "<a href=\"a b.htm\">", "62:a b.htm:0"},
                      AttributeCase{"SingleQuoted", "<a href='it\"s'>", "62:it\"s:0"},
                      AttributeCase{"Unquoted", "<img src=pic.gif alt=x>", "64:pic.gif:0|65:x:0"},
                      AttributeCase{"UnquotedKeepsCase", "<img src=Pic.GIF>", "64:Pic.GIF:0"},
                      AttributeCase{"Valueless", "<table border cellpadding>", "84::1|85::0"},
                      AttributeCase{"BorderZero", "<table border=0>", "84:0:0"},
                      AttributeCase{"NumberAndPercent", "<td width=50%>", "88:50%:50"},
                      AttributeCase{"PercentAfterSpace", "<td width=50 % height=7>", "88:50%:50|139:7:7"},
                      AttributeCase{"SignedNumbers", "<font size=+2 color=-3>", "103:+2:2|117:-3:-3"},
                      AttributeCase{"NumberIsUpperCased", "<font size=1e>", "103:1E:0"},
                      AttributeCase{"QuotedNumber", "<td width=\" 40% \">", "88:40%:40"},
                      AttributeCase{"QuotedEntityAndLineBreak", "<img alt=\"a&amp;b\r\nc\">", "65:a&bc:0"},
                      AttributeCase{"QuotedUnclosed", "<a href=\"x", "62:x:0"},
                      AttributeCase{"SpacesAroundEquals", "<td  align = center >", "66:center:0"},
                      AttributeCase{"UnknownName", "<td nowrap foo=1 width=2>", "59::0|59:1:1|88:2:2"},
                      AttributeCase{"NameIsUpperCased", "<p ALiGn=Right>", "66:Right:0"},
                      AttributeCase{"EntitiesOnlyInQuotes", "<img alt=a&amp;b>", "65:a&amp;b:0"},
                      AttributeCase{"HyphenEndsTheList", "<form http-equiv=x method=get>", "59::0"},
                      AttributeCase{"EndTagDropsThem", "</td width=3>", ""}));

TEST(Scanner, HeadingLevelAndAttributes)
{
    THtmlParser P;
    std::string Src = "<h3 align=center>T</H 6><h>";
    P.OpenSourceBuffer(Src.data(), Src.size());
    P.ResetScanner();
    P.NextCh();
    P.GetSymbol();
    EXPECT_EQ(P.State().Sy, HeadingSy);
    EXPECT_EQ(P.State().HeadingLevel, 3);
    ASSERT_EQ(P.State().Attributes.Count(), 1);
    TAttribute* Align = nullptr;
    ASSERT_TRUE(P.State().Attributes.Find(AlignSy, Align));
    EXPECT_EQ(Align->Text, "center");
    EXPECT_EQ(Align->Value, 0);
    TAttribute* None = nullptr;
    EXPECT_FALSE(P.State().Attributes.Find(SrcSy, None));
    P.GetSymbol();
    P.GetSymbol();
    EXPECT_EQ(P.State().Sy, HeadingEndSy);
    EXPECT_EQ(P.State().HeadingLevel, 6);
    P.GetSymbol();
    EXPECT_EQ(P.State().Sy, HeadingSy);
    EXPECT_EQ(P.State().HeadingLevel, 0);
}

// Each parser keeps its own position, pushed-back character and token: two read side by side
// give what each gives alone.
TEST(Scanner, TwoParsersScanSideBySide)
{
    const std::string Sources[2] = {"<p align=left>one &amp; two<!-- c -->\r\n</p>x<y",
                                    "<h2>x</h2>\n\r<!DOCTYPE z><img src=\"a b\">&lt;"};
    THtmlParser Parsers[2];
    std::vector<Tok> Tokens[2];
    for (int I = 0; I < 2; ++I) {
        Parsers[I].OpenSourceBuffer(Sources[I].data(), Sources[I].size());
        Parsers[I].ResetScanner();
        Parsers[I].NextCh();
    }
    for (int Step = 0; Step < 100; ++Step)
        for (int I = 0; I < 2; ++I)
            if (Tokens[I].empty() || Tokens[I].back().Sy != EofSy) {
                Parsers[I].GetSymbol();
                Tokens[I].push_back({Parsers[I].State().Sy, Parsers[I].State().TokenText});
            }
    for (int I = 0; I < 2; ++I)
        EXPECT_EQ(Tokens[I], Scan(Sources[I])) << Sources[I];
}

// Only the tags that use their attributes replace the list; others leave the last one.
TEST(Scanner, AttributeListIsKeptAcrossOtherTags)
{
    THtmlParser P;
    std::string Src = "<p align=left><b x=1></p><foo align=right><img src=a>";
    P.OpenSourceBuffer(Src.data(), Src.size());
    P.ResetScanner();
    P.NextCh();
    TAttribute* A = nullptr;
    P.GetSymbol(); // P
    for (int I = 0; I < 3; ++I) {
        P.GetSymbol(); // B, end of P, FOO
        ASSERT_TRUE(P.State().Attributes.Find(AlignSy, A)) << I;
        EXPECT_EQ(A->Text, "left");
    }
    P.GetSymbol(); // IMG
    EXPECT_FALSE(P.State().Attributes.Find(AlignSy, A));
    EXPECT_TRUE(P.State().Attributes.Find(SrcSy, A));
}

TEST(Scanner, InputEndingInsideACommentRaises)
{
    for (const char* Src : {"a<!-- never closed", "<!DOCTYPE html", "<!", "<!-- x --", "<!-"}) {
        THtmlParser P;
        P.OpenSourceBuffer(Src, std::strlen(Src));
        P.ResetScanner();
        try {
            P.NextCh();
            for (int I = 0; I < 10; ++I)
                P.GetSymbol();
            ADD_FAILURE() << "no error for " << Src;
        } catch (const EParseError& E) {
            EXPECT_EQ(E.Message(), "Open Comment at End of HTML File") << Src;
        }
    }
    // The error does not stick to the next parse.
    EXPECT_EQ(Scan("ok"), (std::vector<Tok>{{TextSy, "ok"}, Eof}));
}

// Long runs are cut between characters, never inside one.
TEST(Scanner, TextLimitCountsCharacters)
{
    std::string E = "\xC3\xA9";
    std::string Src;
    for (int I = 0; I < 150; ++I)
        Src += E;
    std::vector<Tok> T = Scan(Src);
    ASSERT_EQ(T.size(), 3u);
    EXPECT_EQ(T[0].Text.size(), 200u);
    EXPECT_EQ(T[0].Text + T[1].Text, Src);
    T = Scan(Src, mTextArea);
    ASSERT_EQ(T.size(), 3u);
    EXPECT_EQ(T[0].Text.size(), 200u);
}

TEST(Scanner, EndOfInputRepeats)
{
    THtmlParser P;
    P.OpenSourceBuffer("a", 1);
    P.ResetScanner();
    P.NextCh();
    P.GetSymbol();
    for (int I = 0; I < 3; ++I) {
        P.GetSymbol();
        EXPECT_EQ(P.State().Sy, EofSy);
        P.GetTextAreaSymbol();
        EXPECT_EQ(P.State().Sy, EofSy);
        P.GetScriptSymbol();
        EXPECT_EQ(P.State().Sy, EofSy);
    }
}

TEST(SymbolTables, LookUps)
{
    EXPECT_EQ(LookupTag("TEXTAREA", false), TextAreaSy);
    EXPECT_EQ(LookupTag("TEXTAREA", true), TextAreaEndSy);
    EXPECT_EQ(LookupTag("PAGE", false), PageSy);
    EXPECT_EQ(LookupTag("PAGE", true), UnknownTagSy);
    EXPECT_EQ(LookupTag("page", false), UnknownTagSy);
    EXPECT_EQ(LookupAttribute("VALUE"), ValueSy);
    EXPECT_EQ(LookupAttribute("FRAMEBORDER"), FrameBorderSy);
    EXPECT_EQ(LookupAttribute("NOWRAP"), UnknownAttrSy);
    // The neighbours of the two codes without names sit at their own codes.
    EXPECT_EQ(LookupEntity("Ouml"), "\xC3\x96");   // 214
    EXPECT_EQ(LookupEntity("Oslash"), "\xC3\x98"); // 216
    EXPECT_EQ(LookupEntity("ouml"), "\xC3\xB6");   // 246
    EXPECT_EQ(LookupEntity("oslash"), "\xC3\xB8"); // 248
    EXPECT_EQ(LookupEntity("iquest"), "\xC2\xBF"); // 191
    EXPECT_EQ(LookupEntity("yuml"), "\xC3\xBF");
    EXPECT_EQ(LookupEntity("divide"), "");
    EXPECT_EQ(LookupEntity(""), "");
    EXPECT_TRUE(TagKeepsAttributes(DivSy));
    EXPECT_FALSE(TagKeepsAttributes(BSy));
    EXPECT_FALSE(TagKeepsAttributes(UnknownTagSy));
}

// ---------------------------------------------------------------------------------------------
// Sources

const std::string SampleDoc = "<html><body bgcolor=\"#FFFFFF\">\r\n<p>Hello &amp; welcome\n</body>\r";

std::vector<Tok> SampleTokens()
{
    return Scan(SampleDoc);
}

TEST(Sources, EveryKindGivesTheSameTokens)
{
    std::vector<Tok> Expected = SampleTokens();
    ASSERT_GT(Expected.size(), 5u);

    std::string Path = testing_support::MakeTempDir("src") + "/doc.htm";
    testing_support::WriteFileBytes(Path, SampleDoc);
    {
        THtmlParser P;
        P.OpenSourceFile(Path);
        EXPECT_EQ(P.State().SourceKind, 0);
        EXPECT_EQ(ScanOpened(P), Expected) << "file";
    }
    {
        TStringList Lines;
        Lines.Add("<html><body bgcolor=\"#FFFFFF\">");
        Lines.Add("<p>Hello &amp; welcome");
        Lines.Add("</body>");
        THtmlParser P;
        P.OpenSourceStrings(&Lines);
        EXPECT_EQ(P.State().SourceKind, 2);
        EXPECT_EQ(ScanOpened(P), Expected) << "strings";
    }
    {
        TMemoryStream Stream;
        Stream.Write(SampleDoc.data(), static_cast<int>(SampleDoc.size()));
        Stream.SetPosition(0);
        THtmlParser P;
        P.OpenSourceStream(&Stream);
        EXPECT_EQ(P.State().SourceKind, 3);
        EXPECT_EQ(ScanOpened(P), Expected) << "stream";
    }
}

TEST(Sources, StringListLinesEndWithOneBreakEach)
{
    TStringList Lines;
    Lines.Add("a");
    Lines.Add("");
    Lines.Add("b");
    THtmlParser P;
    P.OpenSourceStrings(&Lines);
    EXPECT_EQ(ScanOpened(P, mPre), (std::vector<Tok>{{TextSy, "a\r\rb\r"}, Eof}));
}

// A quoted value runs on over line ends and holds "<" and entities, from every source kind.
TEST(Sources, QuotedValueAcrossLines)
{
    const std::string Src = "<img alt=\"one <b>two\r\nthree&amp;<!-- c -->four\">x";
    const std::string Expected = "65:one <b>twothree&four:0";
    EXPECT_EQ(AttributesOf(Src), Expected);
    TStringList Lines;
    Lines.SetText(Src);
    ASSERT_EQ(Lines.Count(), 2);
    THtmlParser P;
    P.OpenSourceStrings(&Lines);
    P.ResetScanner();
    P.NextCh();
    P.GetSymbol();
    ASSERT_EQ(P.State().Attributes.Count(), 1);
    EXPECT_EQ(P.State().Attributes.Attr(0)->Text, "one <b>twothree&four");
    P.GetSymbol();
    EXPECT_EQ(P.State().TokenText, "x ");
}

TEST(Sources, EmptySources)
{
    TStringList Lines;
    TMemoryStream Stream;
    {
        THtmlParser P;
        P.OpenSourceStrings(&Lines);
        EXPECT_EQ(ScanOpened(P), std::vector<Tok>{Eof});
    }
    {
        THtmlParser P;
        P.OpenSourceStream(&Stream);
        EXPECT_EQ(ScanOpened(P), std::vector<Tok>{Eof});
    }
    {
        THtmlParser P;
        P.OpenSourceBuffer(nullptr, 0);
        EXPECT_EQ(ScanOpened(P), std::vector<Tok>{Eof});
    }
}

// A stream is read from where it stands; one of exactly one old chunk size ends cleanly.
TEST(Sources, StreamOfExactly250Bytes)
{
    std::string Text = "<p>" + std::string(247, 'y');
    ASSERT_EQ(Text.size(), 250u);
    TMemoryStream Stream;
    Stream.Write(Text.data(), 250);
    Stream.SetPosition(0);
    THtmlParser P;
    P.OpenSourceStream(&Stream);
    std::vector<Tok> T = ScanOpened(P);
    ASSERT_EQ(T.size(), 5u);
    EXPECT_EQ(T[0].Sy, PSy);
    EXPECT_EQ(T[1].Text + T[2].Text + T[3].Text, std::string(247, 'y'));
    EXPECT_EQ(T[4], Eof);
}

TEST(Sources, StreamIsReadFromItsPosition)
{
    TStringStream Stream("skipped<b>x");
    Stream.SetPosition(7);
    THtmlParser P;
    P.OpenSourceStream(&Stream);
    EXPECT_EQ(ScanOpened(P), (std::vector<Tok>{{BSy, "B"}, {TextSy, "x"}, Eof}));
}

TEST(Sources, Windows1252IsConverted)
{
    const std::string Cp1252 = "caf\xE9 \x80<img alt=\"\xE0\">";
    const std::vector<Tok> Expected{{TextSy, "caf\xC3\xA9 \xE2\x82\xAC"}, {ImageSy, "IMG"}, Eof};
    EXPECT_EQ(Scan(Cp1252), Expected) << "buffer";
    EXPECT_EQ(AttributesOf("<img alt=\"\xE0\">"), "65:\xC3\xA0:0");

    std::string Path = testing_support::MakeTempDir("cp") + "/latin.htm";
    testing_support::WriteFileBytes(Path, Cp1252);
    {
        THtmlParser P;
        P.OpenSourceFile(Path);
        EXPECT_EQ(ScanOpened(P), Expected) << "file";
    }
    TMemoryStream Stream;
    Stream.Write(Cp1252.data(), static_cast<int>(Cp1252.size()));
    Stream.SetPosition(0);
    THtmlParser P;
    P.OpenSourceStream(&Stream);
    EXPECT_EQ(ScanOpened(P), Expected) << "stream";
}

TEST(Sources, Utf8StaysAndLosesItsByteOrderMark)
{
    std::string Path = testing_support::MakeTempDir("u8") + "/bom.htm";
    testing_support::WriteFileBytes(Path, "\xEF\xBB\xBF\xC3\xA9t\xC3\xA9");
    THtmlParser P;
    P.OpenSourceFile(Path);
    EXPECT_EQ(ScanOpened(P), (std::vector<Tok>{{TextSy, "\xC3\xA9t\xC3\xA9"}, Eof}));
}

TEST(Sources, FileFromTestData)
{
    THtmlParser P;
    P.OpenSourceFile(std::string(TW_TEST_DATA_DIR) + "/tests/data/sample.htm");
    std::vector<Tok> T = ScanOpened(P);
    ASSERT_FALSE(T.empty());
    EXPECT_EQ(T.front().Sy, HtmlSy);
    EXPECT_EQ(T.back(), Eof);
    int Titles = 0;
    for (const Tok& K : T)
        Titles += K.Sy == TitleSy;
    EXPECT_EQ(Titles, 1);
}

TEST(Sources, MissingFileRaises)
{
    THtmlParser P;
    EXPECT_THROW(P.OpenSourceFile(testing_support::HomeDir() + "/no/such.htm"), EFOpenError);
    // Nothing is left open: the scanner sees only the end of input.
    EXPECT_EQ(ScanOpened(P), std::vector<Tok>{Eof});
}

} // namespace

namespace {

// A string list is taken as it is; stray continuation bytes still cannot make a token grow.
TEST(Sources, StrayContinuationBytesKeepTokensBounded)
{
    TStringList Lines;
    Lines.Add("a" + std::string(1000, '\x80'));
    THtmlParser P;
    P.OpenSourceStrings(&Lines);
    std::vector<Tok> T = ScanOpened(P);
    std::string Joined;
    for (const Tok& K : T) {
        EXPECT_LE(K.Text.size(), 104u);
        Joined += K.Text;
    }
    EXPECT_EQ(Joined, "a" + std::string(1000, '\x80') + " ");
}

} // namespace
