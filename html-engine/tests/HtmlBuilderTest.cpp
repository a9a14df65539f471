// The document builder: documents in, block structure, fonts, links and content out.
#include "html-engine/HtmlForms.h"
#include "html-engine/HtmlModel.h"
#include "html-engine/HtmlParser.h"
#include "html-engine/HtmlSections.h"
#include "html-engine/HtmlTables.h"
#include "platform/classes/Classes.h"
#include "platform/controls/StdLists.h"
#include "platform/graphics/Graphics.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"
#include "platform/testing/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

// One line per block: kind, list level, a justify mark for non-left text and the text.
// S text, F preformatted, U/O/D list items, P paragraph space, H<n> heading space, HR, PAGE,
// TABLE{cell;cell/next row} with each cell's blocks joined by ",".
std::string DescribeBlock(TSectionBase* B);

std::vector<std::string> Describe(const TCell& Cell)
{
    std::vector<std::string> Out;
    for (int I = 0; I < Cell.Count(); ++I)
        Out.push_back(DescribeBlock(Cell.Block(I)));
    return Out;
}

std::string Join(const std::vector<std::string>& V, const char* Sep)
{
    std::string S;
    for (std::size_t I = 0; I < V.size(); ++I)
        S += (I ? Sep : "") + V[I];
    return S;
}

std::string DescribeBlock(TSectionBase* B)
{
    if (auto* S = dynamic_cast<TSection*>(B)) {
        const char* Kind = dynamic_cast<TPreFormated*>(S) ? "F"
                           : dynamic_cast<TOListItem*>(S) ? "O"
                           : dynamic_cast<TUListItem*>(S) ? "U"
                           : dynamic_cast<TDListItem*>(S) ? "D"
                                                          : "S";
        const char* Just = S->Justify == 2 ? "c" : S->Justify == 3 ? "r" : "";
        return Kind + std::to_string(S->Level) + Just + ":" + S->Text();
    }
    if (auto* T = dynamic_cast<ThtmlTable*>(B)) {
        std::vector<std::string> Rows;
        for (int R = 0; R < T->Rows.Count(); ++R) {
            std::vector<std::string> Cells;
            for (int C = 0; C < T->Row(R)->Count(); ++C)
                Cells.push_back(Join(Describe(*T->Row(R)->CellObj(C)->Cell), ","));
            Rows.push_back(Join(Cells, ";"));
        }
        std::string Caption = Join(Describe(*T->Caption->Cell), ",");
        return "TABLE{" + (Caption.empty() ? "" : "cap=" + Caption + "|") + Join(Rows, "/") + "}";
    }
    if (auto* H = dynamic_cast<THeadingSpace*>(B))
        return "H" + std::to_string(H->HeadingSize);
    if (dynamic_cast<TParagraphSpace*>(B))
        return "P";
    if (dynamic_cast<THorzLine*>(B))
        return "HR";
    if (dynamic_cast<TPage*>(B))
        return "PAGE";
    return "?";
}

struct BuilderFixture : ::testing::Test {
    std::unique_ptr<TSectionList> Doc;
    TStringList Names;
    THtmlParser Parser; // one parser for every parse of a test: each starts afresh

    void SetUp() override
    {
        Names.SetSorted(true);
        NewDocument();
    }

    void NewDocument()
    {
        Names.Clear();
        Doc = std::make_unique<TSectionList>(nullptr, nullptr);
        Doc->SetDefaults("Arial", "Courier New", clWhite, clBlue, clBlack, 12);
    }

    std::vector<std::string> Parse(const std::string& Html)
    {
        Parser.HtmlParseBuffer(Doc.get(), &Names, Html.data(), Html.size());
        return Describe(*Doc);
    }

    TSection* Section(int Index) { return dynamic_cast<TSection*>(Doc->Block(Index)); }
    TSection* LastSection()
    {
        for (int I = Doc->Count() - 1; I >= 0; --I)
            if (auto* S = dynamic_cast<TSection*>(Doc->Block(I)))
                return S;
        return nullptr;
    }
    // The font run of the first occurrence of Text in the text blocks, table cells included.
    static TFontObj* RunIn(const TCell& Cell, const std::string& Text)
    {
        for (int I = 0; I < Cell.Count(); ++I) {
            if (auto* S = dynamic_cast<TSection*>(Cell.Block(I))) {
                const std::size_t P = S->Text().find(Text);
                if (P != std::string::npos)
                    return S->Fonts.GetFontObjAt(static_cast<int>(P));
            } else if (auto* T = dynamic_cast<ThtmlTable*>(Cell.Block(I))) {
                if (TFontObj* R = RunIn(*T->Caption->Cell, Text))
                    return R;
                for (int Row = 0; Row < T->Rows.Count(); ++Row)
                    for (int C = 0; C < T->Row(Row)->Count(); ++C)
                        if (TFontObj* R = RunIn(*T->Row(Row)->CellObj(C)->Cell, Text))
                            return R;
            }
        }
        return nullptr;
    }
    TFontObj* RunOf(const std::string& Text) { return RunIn(*Doc, Text); }
    const TMyFont* FontOf(const std::string& Text)
    {
        TFontObj* R = RunOf(Text);
        return R ? R->TheFont.get() : nullptr;
    }
};

using V = std::vector<std::string>;

struct TStructureCase {
    const char* Name;
    const char* Html;
    V Blocks;
};

void PrintTo(const TStructureCase& Case, std::ostream* Os)
{
    *Os << Case.Name;
}

class BuilderStructure : public BuilderFixture, public ::testing::WithParamInterface<TStructureCase> {};

TEST_P(BuilderStructure, GivesBlocks)
{
    EXPECT_EQ(Parse(GetParam().Html), GetParam().Blocks) << GetParam().Html;
}

const TStructureCase StructureCases[] = {
    {"PlainText", "hello   world", {"S0:hello world"}},
    {"Empty", "", {"S0:"}},
    {"Paragraphs", "<p>a<p></p><p align=right>b", {"S0:", "P", "S0:a", "P", "S0r:b"}},
    {"Headings",
     "<h1>T</h1>x<h align=center>u</h>",
     {"S0:", "H1", "S0:T", "H1", "S0:x", "H0", "S0c:u", "H0"}},
    {"Rule", "a<hr>b", {"S0:a", "HR", "S0:b"}},
    {"Page", "a<page>b", {"S0:a", "PAGE", "S0:b"}},
    {"BrKeepsEmptyLine", "a<br><br>b", {"S0:a", "S0: ", "S0:b"}},
    {"UnorderedList", "<ul><li>a<li><p>b</ul>c", {"S0:", "U1:a", "U1:b", "S0:c"}},
    {"NestedLists", "<ol><li>a<ul><li>b</ul><li>c</ol>", {"S0:", "O1:a", "U2:b", "O1:c"}},
    {"OtherListEndEndsList", "<ol><li>a</ul>b", {"S0:", "O1:a", "S0:b"}},
    {"DefinitionList", "<dl><dt>t<dd>d</dl>", {"S0:", "D0:t", "D1:d"}},
    {"BlockQuote", "<blockquote>q</blockquote>x", {"S0:", "S1:q", "S0:x"}},
    {"Address", "<address>me</address>x", {"S0:", "S0:me", "S0:x"}},
    {"Pre", "<pre>x  y\rz</pre>w", {"S0:", "F0:x  y", "F0:z", "S0:w"}},
    {"PreBrThenLineBreakIsOneBreak", "<pre>a<br>\r\nb</pre>", {"S0:", "F0:a", "F0:b"}},
    {"PreKeepsTagsAsMarkup", "<pre>&lt;b&gt; <b>x</b> > y</pre>", {"S0:", "F0:<b> x > y"}},
    {"Entities", "a &amp; b &lt;c&gt; caf&eacute;", {"S0:a & b <c> caf\xC3\xA9"}},
    {"EntitiesKeptLiteral", "&#0065; &#300; &NBSP; &#065;", {"S0:&#0065; &#300; &NBSP; A"}},
    {"Windows1252IsConverted",
     "caf\xE9 \x93q\x94 &eacute;",
     {"S0:caf\xC3\xA9 \xE2\x80\x9Cq\xE2\x80\x9D \xC3\xA9"}},
    {"GreaterThanInText", "a > b >> c", {"S0:a > b >> c"}},
    {"UnclosedInline", "<b>bold<i>it<tt>tt", {"S0:boldittt"}},
    {"StrayEndTags", "</ul></b></table></center></div></pre></a>x", {"S0:x"}},
    {"UnknownTagsVanish", "<html><head><foo bar=1>a</foo></head>b", {"S0:ab"}},
    {"CenterAndDiv",
     "<center>a<div align=right>b</center>c</div>d",
     {"S0:", "S0c:a", "S0r:b", "S0c:c", "S0:d"}},
    {"CloseCenterAfterUnclosedList", "<center><ul><li>a</center>b", {"S0:", "S0c:", "U1:a", "S0:b"}},
    {"ListStopSymbolEndsCell", "<table><tr><td><ul><li>a<td>b</table>", {"S0:", "TABLE{U1:a;S0:b}"}},
    {"CenterStopSymbolEndsCell", "<table><td><center>a<td>b</table>", {"S0:", "TABLE{S0c:a,S0:;S0:b}"}},
    {"TableRowsAndCaption",
     "<table><caption>c</caption><tr><td>1<td>2<tr><th>3</table>x",
     {"S0:", "TABLE{cap=S0c:c|S0:1;S0:2/S0c:3}", "S0:x"}},
    {"TextBeforeFirstCell", "<table>above<td>in</table>", {"S0:", "S0:above", "TABLE{S0:in}"}},
    {"GreaterThanBeforeFirstCell", "<table>> a<td>in</table>", {"S0:", "S0:> a", "TABLE{S0:in}"}},
    {"UnclosedTable", "<table><td>a", {"S0:", "TABLE{S0:a}"}},
    {"PreEndsAtCellEnd", "<table><td><pre>x</td><td>y</table>", {"S0:", "TABLE{F0:x;S0:y}"}},
    {"CommentBetweenCells", "<table><tr><td>a</td><!-- <td>no --><td>b</table>", {"S0:", "TABLE{S0:a;S0:b}"}},
    {"UnclosedCellsAndRows",
     "<table><tr><td>a<td>b<tr><td>c<tr><td>d</table>",
     {"S0:", "TABLE{S0:a;S0:b/S0:c/S0:d}"}},
    {"WhiteSpaceBetweenTags",
     "<table>\r\n <tr>\r\n  <td>a</td>\r\n  <td>b</td>\r\n </tr>\r\n</table>",
     {"S0:", "TABLE{S0:a;S0:b}"}},
    {"CaptionBelow",
     "<table><tr><td>a<caption align=bottom>c</caption></table>",
     {"S0:", "TABLE{cap=S0c:c|S0:a}"}},
    {"NestedTable",
     "<table><tr><td>a<table><tr><td>b<td>c</table>d<td>e</table>f",
     {"S0:", "TABLE{S0:a,TABLE{S0:b;S0:c},S0:d;S0:e}", "S0:f"}},
    {"TableTagInsideRowIsIgnored",
     "<table><tr><td>a<tr><table><td>b</table>c",
     {"S0:", "TABLE{S0:a/S0:b}", "S0:c"}},
    {"TrAfterTableOpensNoEmptyRow", "<table><tr><td>a</table>", {"S0:", "TABLE{S0:a}"}},
    {"TruncatedTag", "a<b", {"S0:a"}},
    {"TruncatedAttribute", "a<a href=\"x", {"S0:a"}},
    {"AttributeHoldsGreaterThan",
     "<img alt=\"a>b\">c",
     {"S0:\x04"
      "c"}},
    {"TextBeforeBodyIsDropped", "junk<body>real", {"S0:real"}},
    {"BodyAfterContentIgnored", "a<p>b<body>c", {"S0:a", "P", "S0:bc"}},
    {"SelectContentNotText",
     "a<select><option>One<option>Two</select>b",
     {"S0:a\x02"
      "b"}},
    {"TextAreaContentNotText",
     "a<textarea>x<b>y</b></textarea>b",
     {"S0:a\x02"
      "b"}},
    {"TextAreaEndingInsideTag", "a<textarea>abc<x", {"S0:a\x02"}},
    {"MapContentNotText", "a<map name=m><area href=x>text</map>b", {"S0:ab"}},
    {"ScriptWithoutHandlerShowsNothing", "a<script>document.write('x')</script>b", {"S0:ab"}},
};

INSTANTIATE_TEST_SUITE_P(Documents, BuilderStructure, ::testing::ValuesIn(StructureCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

// ---------------------------------------------------------------------------------------------
// Entry points

TEST_F(BuilderFixture, EveryEntryPointBuildsTheSameDocument)
{
    const std::string Html = "<title>T</title><b>x</b>\r\n<p>y\r\n";
    const V Expected = {"S0:x ", "P", "S0:y "};
    const std::string Dir = testing_support::MakeTempDir("builder");
    const std::string Path = Dir + "/doc.htm";
    testing_support::WriteFileBytes(Path, Html);

    Parser.HtmlParseFile(Doc.get(), &Names, Path);
    EXPECT_EQ(Describe(*Doc), Expected) << "file";
    EXPECT_EQ(Parser.State().Title, "T");

    NewDocument();
    Parser.HtmlParseBuffer(Doc.get(), &Names, Html.data(), Html.size());
    EXPECT_EQ(Describe(*Doc), Expected) << "buffer";

    NewDocument();
    TStringList Lines;
    Lines.SetText(Html);
    Parser.HtmlParseStrings(Doc.get(), &Names, &Lines);
    EXPECT_EQ(Describe(*Doc), Expected) << "strings";

    NewDocument();
    TMemoryStream Stream;
    Stream.Write(Html.data(), static_cast<Longint>(Html.size()));
    // The stream is read from its start wherever it stands.
    Parser.HtmlParseStream(Doc.get(), &Names, &Stream);
    EXPECT_EQ(Describe(*Doc), Expected) << "stream";
}

TEST_F(BuilderFixture, TextEntryPointsShowEveryCharacter)
{
    const std::string Text = "<!-- not a comment -->\r\na<b>&amp; <!x\r\n";
    const V Expected = {"S0:", "F0:<!-- not a comment -->", "F0:a<b>&amp; <!x", "F0: "};
    const std::string Path = testing_support::MakeTempDir("text") + "/notes.txt";
    testing_support::WriteFileBytes(Path, Text);
    Parser.TextParseFile(Doc.get(), &Names, Path);
    EXPECT_EQ(Describe(*Doc), Expected);
    EXPECT_TRUE(FontOf("a<b>")->Fixed);
    EXPECT_EQ(FontOf("a<b>")->Name(), "Courier New");

    NewDocument();
    TStringList Lines;
    Lines.Add("<!-- open comment never closed");
    Lines.Add("x");
    Parser.TextParseStrings(Doc.get(), &Names, &Lines);
    EXPECT_EQ(Describe(*Doc), (V{"S0:", "F0:<!-- open comment never closed", "F0:x", "F0: "}));
}

TEST_F(BuilderFixture, MissingFileRaisesAndLeavesNoParseRunning)
{
    EXPECT_THROW(Parser.HtmlParseFile(Doc.get(), &Names, "/nonexistent/dir/doc.htm"), Exception);
    EXPECT_THROW(Parser.TextParseFile(Doc.get(), &Names, "/nonexistent/dir/doc.txt"), Exception);
    EXPECT_FALSE(Parser.State().Parsing);
    EXPECT_FALSE(Doc->Parsing);
    EXPECT_EQ(Parse("ok"), V{"S0:ok"});
}

TEST_F(BuilderFixture, OpenCommentErrorPassesOutAfterKeepingWhatWasBuilt)
{
    const std::string Html = "<table><td><a name=n>a<p>b<ul><li>c<!-- never closed";
    try {
        Parser.HtmlParseBuffer(Doc.get(), &Names, Html.data(), Html.size());
        FAIL() << "no error";
    } catch (const EParseError& E) {
        EXPECT_STREQ(E.what(), "Open Comment at End of HTML File");
    }
    EXPECT_FALSE(Parser.State().Parsing);
    EXPECT_FALSE(Doc->Parsing);
    EXPECT_EQ(Parser.State().FontStack.Count(), 0);
    // Every anchor left points at a block of the document.
    for (int I = 0; I < Names.Count(); ++I)
        EXPECT_TRUE(Doc->HoldsObject(Names.Objects(I)));
    // What the document holds is read before the next parse, which adds to it.
    const V Kept = Describe(*Doc);
    EXPECT_EQ(Kept, V{"S0:"});
    V Then = Kept;
    Then.push_back("S0:x");
    EXPECT_EQ(Parse("x"), Then);
}

// ---------------------------------------------------------------------------------------------
// Fonts

TEST_F(BuilderFixture, FontSizesAndSteps)
{
    Parse("<font size=+2>a</font><font size=+9>b</font><font size=-1>c</font><font size=1>d"
          "<small>e</small>f</font>g<big><big>h</big></big><h1>i</h1><h>j</h>"
          "<font size=7><big>k</big>l</font>");
    struct {
        const char* Text;
        int Size;
    } Expect[] = {{"a", 18}, {"b", 36}, {"c", 10}, {"d", 8},  {"e", 8},  {"f", 12},
                  {"g", 12}, {"h", 18}, {"i", 24}, {"j", 12}, {"k", 36}, {"l", 36}};
    for (auto& E : Expect) {
        ASSERT_NE(FontOf(E.Text), nullptr) << E.Text;
        EXPECT_EQ(FontOf(E.Text)->NormalSize, E.Size) << E.Text;
    }
    EXPECT_TRUE(FontOf("i")->Style().Contains(fsBold));
    EXPECT_FALSE(FontOf("j")->Style().Contains(fsBold));
}

TEST_F(BuilderFixture, BaseFontMovesTheStepButChangesNoFontAfterContent)
{
    Parse("a<p>b<basefont size=5>c<font size=+1>d</font><font size=-5>e");
    EXPECT_EQ(FontOf("c")->NormalSize, 12);
    EXPECT_EQ(FontOf("d")->NormalSize, 24);
    EXPECT_EQ(FontOf("e")->NormalSize, 8);
    NewDocument();
    Parse("<basefont size=1>a");
    EXPECT_EQ(FontOf("a")->NormalSize, 8);
}

TEST_F(BuilderFixture, FaceColourAndFixedFonts)
{
    Parse("<font face=\" Verdana , Arial\" color=red>a</font><font color=\"#00ff00\">b</font>"
          "<font color=nonsense>c</font><tt>d</tt><code>e</code>f"
          "<font face=\"" +
          std::string(48, 'F') + "\xC3\xA9\xC3\xA9\xC3\xA9\">g</font>");
    EXPECT_EQ(FontOf("a")->Name(), "Verdana");
    // A face name is cut after 50 characters.
    EXPECT_EQ(FontOf("g")->Name(), std::string(48, 'F') + "\xC3\xA9\xC3\xA9");
    EXPECT_EQ(FontOf("a")->Color(), 0x020000FF);
    EXPECT_EQ(FontOf("b")->Color(), 0x0200FF00);
    EXPECT_EQ(FontOf("c")->Color(), clBlack);
    EXPECT_EQ(FontOf("c")->Name(), "Arial");
    for (const char* T : {"d", "e"}) {
        EXPECT_TRUE(FontOf(T)->Fixed) << T;
        EXPECT_EQ(FontOf(T)->Name(), "Courier New") << T;
        EXPECT_EQ(FontOf(T)->NormalSize, 10) << T;
    }
    EXPECT_FALSE(FontOf("f")->Fixed);
}

TEST_F(BuilderFixture, StyleFlagsAndScriptShift)
{
    Parse("<b>a<i>b</b>c<u>d<s>e</u></s>f<sub>g</sub><sup>h</sup>i<strong>j</strong><em>k</em>");
    auto Has = [&](const char* T, TFontStyle S) { return FontOf(T)->Style().Contains(S); };
    EXPECT_TRUE(Has("a", fsBold));
    EXPECT_TRUE(Has("b", fsBold) && Has("b", fsItalic));
    EXPECT_TRUE(!Has("c", fsBold) && Has("c", fsItalic));
    EXPECT_TRUE(Has("d", fsUnderline));
    EXPECT_TRUE(Has("e", fsUnderline) && Has("e", fsStrikeOut));
    EXPECT_FALSE(Has("f", fsUnderline) || Has("f", fsStrikeOut));
    EXPECT_EQ(RunOf("g")->SScript, 1);
    EXPECT_EQ(RunOf("h")->SScript, 2);
    EXPECT_EQ(RunOf("i")->SScript, 0);
    EXPECT_TRUE(Has("j", fsBold));
    EXPECT_TRUE(Has("k", fsItalic));
}

// The stack depth is read from inside the parse through a script handler.
TEST_F(BuilderFixture, FontStackHoldsTwentyFiveEntriesAndKeepsTheBottom)
{
    std::vector<int> Depths;
    Doc->OnScript = [&](TObject*, const std::string&, std::unique_ptr<char[]>) {
        Depths.push_back(Parser.State().FontStack.Count());
    };
    std::string Html;
    for (int I = 0; I < 23; ++I)
        Html += "<font color=red>";
    // Past 25 entries nothing is pushed, yet every end tag still pops one entry.
    Html += "<script></script><font color=blue>a<font color=lime>b<h1>c<big>d<script></script></big>e</h1>";
    for (int I = 0; I < 40; ++I)
        Html += "</font>";
    Html += "<script></script>f";
    Parse(Html);
    EXPECT_EQ(Depths, (std::vector<int>{24, 25, 1}));
    EXPECT_EQ(FontOf("a")->Color(), 0x02FF0000);
    // The 26th entry is refused: "b" keeps blue, the heading keeps its font.
    EXPECT_EQ(FontOf("b")->Color(), 0x02FF0000);
    EXPECT_EQ(FontOf("c")->NormalSize, 12);
    EXPECT_EQ(FontOf("f")->Color(), clBlack);
    EXPECT_EQ(FontOf("f")->NormalSize, 12);
}

// ---------------------------------------------------------------------------------------------
// Colours and BODY

TEST_F(BuilderFixture, BodyColoursBeforeContent)
{
    Parse("<body text=blue link=\"#00FF00\" bgcolor=#102030 background=\"bg.gif\">x<a href=u>y</a>");
    EXPECT_EQ(Doc->FontColor, 0x02FF0000);
    EXPECT_EQ(Doc->HotSpotColor, 0x0200FF00);
    EXPECT_EQ(Doc->Background, 0x02302010);
    EXPECT_EQ(Doc->BackgroundName, "bg.gif");
    EXPECT_EQ(FontOf("x")->Color(), 0x02FF0000);
    EXPECT_EQ(FontOf("y")->Color(), 0x0200FF00);
}

TEST_F(BuilderFixture, BodyAfterContentAndBadColoursChangeNothing)
{
    Parse("<body bgcolor=zzzzzz text=\"\">a<p><body bgcolor=red text=red>b");
    EXPECT_EQ(Doc->Background, clWhite);
    EXPECT_EQ(Doc->FontColor, clBlack);
    EXPECT_EQ(FontOf("b")->Color(), clBlack);
}

TEST_F(BuilderFixture, AnchorBeforeBodyLeadsToTheBody)
{
    Parse("<a name=top>skipped<input name=i></a><body bgcolor=red>y<a href=\"#top\">z</a>");
    ASSERT_EQ(Names.Count(), 1);
    EXPECT_EQ(Names.Strings(0), "TOP");
    // The jump: the anchor's block is a block of the document, at its top.
    TObject* Target = Names.Objects(0);
    const int Index = Doc->IndexOf(Target);
    ASSERT_GE(Index, 0);
    EXPECT_EQ(static_cast<TSection*>(Doc->Block(Index))->Text(), "yz");
    EXPECT_EQ(Doc->SectionTop(Index), 0);
    // The control of the dropped text went with it.
    EXPECT_EQ(Doc->AllFormControls.Count(), 0);
}

// ---------------------------------------------------------------------------------------------
// Links and anchors

TEST_F(BuilderFixture, LinksCarryUrlTargetAndHotSpotFont)
{
    Parse("<a href=\"a.htm\" target=main>go</a> rest <a href=b.htm>one<a href=c.htm>two</a>"
          "<a href=\"x>y\">gt</a>");
    TFontObj* Go = RunOf("go");
    EXPECT_EQ(Go->UrlTarget.URL, "a.htm");
    EXPECT_EQ(Go->UrlTarget.Target, "main");
    EXPECT_TRUE(Go->TheFont->Style().Contains(fsUnderline));
    EXPECT_EQ(Go->TheFont->Color(), clBlue);
    TFontObj* Rest = RunOf("rest");
    EXPECT_EQ(Rest->UrlTarget.URL, "");
    EXPECT_FALSE(Rest->TheFont->Style().Contains(fsUnderline));
    // A new HREF ends the open link first.
    EXPECT_EQ(RunOf("one")->UrlTarget.URL, "b.htm");
    EXPECT_EQ(RunOf("two")->UrlTarget.URL, "c.htm");
    EXPECT_EQ(RunOf("two")->UrlTarget.Target, "");
    EXPECT_EQ(RunOf("gt")->UrlTarget.URL, "x>y");
}

TEST_F(BuilderFixture, LinkOpenAcrossBlocksGoesIntoTheNewBlock)
{
    Parse("<a href=u.htm>a<p>b</a>c");
    EXPECT_EQ(RunOf("a")->UrlTarget.URL, "u.htm");
    EXPECT_EQ(RunOf("b")->UrlTarget.URL, "u.htm");
    EXPECT_EQ(RunOf("c")->UrlTarget.URL, "");
}

TEST_F(BuilderFixture, NamedAnchorsAreUpperCasedWithTheirBlock)
{
    Parse("<a name=Intro>i</a><p><a name=\"sec 2\"></a>two<ul><li><a name=item>x</a></ul>");
    ASSERT_EQ(Names.Count(), 3);
    int I = -1;
    ASSERT_TRUE(Names.Find("INTRO", I));
    EXPECT_EQ(static_cast<TSection*>(Names.Objects(I))->Text(), "i");
    ASSERT_TRUE(Names.Find("SEC 2", I));
    EXPECT_EQ(static_cast<TSection*>(Names.Objects(I))->Text(), "two");
    ASSERT_TRUE(Names.Find("ITEM", I));
    EXPECT_NE(dynamic_cast<TUListItem*>(Names.Objects(I)), nullptr);
    for (int J = 0; J < Names.Count(); ++J)
        EXPECT_GE(Doc->IndexOf(Names.Objects(J)), 0);
}

// ---------------------------------------------------------------------------------------------
// Lists

TEST_F(BuilderFixture, OrderedListNumbering)
{
    Parse("<ol start=-3><li>a<li>b</ol><ol type=i start=4><li>c<li>d</ol><ol type=\"\"><li>e</ol>"
          "<ul plain><li>f</ul><ul><li>g</ul>");
    auto* A = dynamic_cast<TOListItem*>(Section(1));
    auto* B = dynamic_cast<TOListItem*>(Section(2));
    ASSERT_TRUE(A && B);
    EXPECT_EQ(A->ListNumb, 1);
    EXPECT_EQ(B->ListNumb, 2);
    auto* C = dynamic_cast<TOListItem*>(RunOf("c") ? Section(3) : nullptr);
    auto* D = dynamic_cast<TOListItem*>(Section(4));
    ASSERT_TRUE(C && D);
    EXPECT_EQ(C->NumType, 'i');
    EXPECT_EQ(C->ListNumb, 4);
    EXPECT_EQ(D->ListNumb, 5);
    auto* E = dynamic_cast<TOListItem*>(Section(5));
    ASSERT_TRUE(E);
    EXPECT_EQ(E->NumType, '1');
    auto* F = dynamic_cast<TUListItem*>(Section(6));
    auto* G = dynamic_cast<TUListItem*>(Section(7));
    ASSERT_TRUE(F && G);
    EXPECT_TRUE(F->Plain);
    EXPECT_FALSE(G->Plain);
}

TEST_F(BuilderFixture, ListItemsTakeTheOpenFont)
{
    Parse("<ul><li><b>a</b><li>b<ul><li>c</ul></ul>");
    EXPECT_TRUE(FontOf("a")->Style().Contains(fsBold));
    EXPECT_FALSE(FontOf("b")->Style().Contains(fsBold));
    EXPECT_EQ(Describe(*Doc), (V{"S0:", "U1:a", "U1:b", "U2:c"}));
}

TEST_F(BuilderFixture, PreKeepsLinksImagesAndFonts)
{
    Parse("<pre>a<a href=u.htm>b</a>c<img src=x.gif>d<font size=7>e</font><i>f</i>g</pre>h");
    EXPECT_EQ(Describe(*Doc), (V{"S0:",
                                 "F0:abc\x04"
                                 "defg",
                                 "S0:h"}));
    EXPECT_EQ(RunOf("b")->UrlTarget.URL, "u.htm");
    EXPECT_EQ(RunOf("c")->UrlTarget.URL, "");
    EXPECT_EQ(FontOf("e")->NormalSize, 30);
    EXPECT_TRUE(FontOf("f")->Style().Contains(fsItalic));
    EXPECT_TRUE(FontOf("g")->Fixed);
    EXPECT_EQ(FontOf("g")->NormalSize, 10);
    EXPECT_FALSE(FontOf("h")->Fixed);
    EXPECT_FALSE(Parser.State().PreFormatted);
}

TEST_F(BuilderFixture, TableCellsResetStyleAndFonts)
{
    Parse("<table><tr align=right><th>h<td><b><font size=7>x<td align=left>y</table>z");
    EXPECT_TRUE(FontOf("h")->Style().Contains(fsBold));
    EXPECT_TRUE(FontOf("x")->Style().Contains(fsBold));
    EXPECT_FALSE(FontOf("y")->Style().Contains(fsBold));
    EXPECT_EQ(FontOf("y")->NormalSize, 12);
    EXPECT_FALSE(FontOf("z")->Style().Contains(fsBold));
    auto* T = dynamic_cast<ThtmlTable*>(Doc->Block(1));
    ASSERT_NE(T, nullptr);
    ASSERT_EQ(T->Rows.Count(), 1);
    ASSERT_EQ(T->Row(0)->Count(), 3);
    auto JustifyOf = [&](int C) {
        return static_cast<TSection*>(T->Row(0)->CellObj(C)->Cell->Block(0))->Justify;
    };
    EXPECT_EQ(JustifyOf(0), 3);
    EXPECT_EQ(JustifyOf(1), 3);
    EXPECT_EQ(JustifyOf(2), 1);
}

// ---------------------------------------------------------------------------------------------
// Forms, maps, scripts

// Limits on option texts and values count characters, not bytes.
std::string Repeat(const std::string& S, int N)
{
    std::string R;
    for (int I = 0; I < N; ++I)
        R += S;
    return R;
}

std::vector<std::string> LinesOf(const TStrings& Lines)
{
    std::vector<std::string> R;
    for (int I = 0; I < Lines.Count(); ++I)
        R.push_back(Lines[I]);
    return R;
}

TEST_F(BuilderFixture, SelectOptions)
{
    const std::string E = "\xC3\xA9";
    Parse("<form action=go.cgi><select name=s><option value=1>  One  <option selected>Two"
          "</option>stray<option value=v3>" +
          std::string(100, 'x') + "<option value=\"" + Repeat(E, 80) + "\">" + Repeat(E, 100) +
          "<option value=" + std::string(81, 'v') + ">1 > 0<option></select></form>");
    ASSERT_EQ(Doc->AllFormControls.Count(), 1);
    auto* C = dynamic_cast<TComboFormControlObj*>(static_cast<TFormControlObj*>(Doc->AllFormControls[0]));
    ASSERT_NE(C, nullptr);
    ASSERT_EQ(C->Options.Count(), 5);
    auto Option = [C](int I) { return static_cast<TOptionObj*>(C->Options.Objects(I)); };
    EXPECT_EQ(C->Options[0], "One");
    EXPECT_EQ(Option(0)->OptionValue, "1");
    EXPECT_FALSE(Option(0)->InitiallySelected);
    EXPECT_EQ(C->Options[1], "Two");
    EXPECT_TRUE(Option(1)->InitiallySelected);
    EXPECT_EQ(C->Options[2], std::string(80, 'x'));
    EXPECT_EQ(C->Options[3], Repeat(E, 80));
    EXPECT_EQ(Option(3)->OptionValue, Repeat(E, 80));
    // A value longer than the limit is dropped whole; a ">" in the text is text.
    EXPECT_EQ(Option(4)->OptionValue, "");
    EXPECT_EQ(C->Options[4], "1 > 0");
    EXPECT_EQ(C->ComboBox()->ItemIndex(), 1);
    // The widest option is 80 characters of two bytes each.
    EXPECT_EQ(C->LongestText, 80);
    ASSERT_EQ(Doc->formList.Count(), 1);
    EXPECT_EQ(C->OwnerForm, Doc->formList[0]);
    EXPECT_EQ(Doc->formList.ItemAs<ThtmlForm>(0)->Action, "go.cgi");
}

TEST_F(BuilderFixture, TextAreaLines)
{
    Parse("<textarea name=t>line one\r\n  <b>two</b>\r\nthree</textarea >after");
    ASSERT_EQ(Doc->AllFormControls.Count(), 1);
    auto* C = dynamic_cast<TTextAreaFormControlObj*>(static_cast<TFormControlObj*>(Doc->AllFormControls[0]));
    ASSERT_NE(C, nullptr);
    EXPECT_EQ(LinesOf(C->InitialLines), (std::vector<std::string>{"line one", "  <b>two</b>", "three"}));
    EXPECT_EQ(Describe(*Doc), V{"S0:\x02"
                                "after"});
}

TEST_F(BuilderFixture, UnclosedSelectAndTextAreaNeverFail)
{
    Parse("<select><option>a");
    EXPECT_EQ(dynamic_cast<TListBoxFormControlObj*>(static_cast<TFormControlObj*>(Doc->AllFormControls[0]))
                  ->Options.Count(),
              1);
    const struct {
        const char* Html;
        std::vector<std::string> Lines;
    } TextAreas[] = {
        {"<textarea>a\r\nb", {"a", "b"}},
        // The input ends inside what could be a tag.
        {"<textarea>abc<x", {"abc<x"}},
        {"<textarea>a\r\n<", {"a", "<"}},
        {"<textarea>a</textarea", {"a"}},
    };
    for (const auto& C : TextAreas) {
        NewDocument();
        Parse(C.Html);
        ASSERT_EQ(Doc->AllFormControls.Count(), 1) << C.Html;
        auto* Area = dynamic_cast<TTextAreaFormControlObj*>(static_cast<TFormControlObj*>(Doc->AllFormControls[0]));
        ASSERT_NE(Area, nullptr) << C.Html;
        EXPECT_EQ(LinesOf(Area->InitialLines), C.Lines) << C.Html;
    }
}

TEST_F(BuilderFixture, MapsJoinTheDocumentOnlyWhenClosed)
{
    Parse("<map name=Nav><area href=a.htm target=top coords=0,0,9,9><area nohref coords=0,0,20,20></map>"
          "<map name=open><area href=b.htm coords=0,0,9,9>");
    ASSERT_EQ(Doc->MapList.Count(), 1);
    auto* M = Doc->MapList.ItemAs<TMapItem>(0);
    EXPECT_EQ(M->MapName, "NAV");
    ASSERT_EQ(M->Areas.Count(), 2);
    EXPECT_EQ(M->Areas.Strings(0), "a.htm");
    EXPECT_EQ(M->AreaTargets.Strings(0), "top");
}

TEST_F(BuilderFixture, ScriptReachesTheHandler)
{
    std::vector<std::string> Scripts, Languages;
    std::vector<TObject*> Senders;
    Doc->OnScript = [&](TObject* Sender, const std::string& Language, std::unique_ptr<char[]> Script) {
        Senders.push_back(Sender);
        Languages.push_back(Language);
        Scripts.push_back(Script.get());
    };
    const std::string Long(40000, 'z');
    Parse("a<script language=JavaScript>if (a<b) x();\r\n<!-- y -->\r\n</script>b<pre>p<script>" + Long +
          "</script>q</pre><script>never closed");
    ASSERT_EQ(Scripts.size(), 3u);
    EXPECT_EQ(Scripts[0], "if (a<b) x();\r\n<!-- y -->\r\n");
    EXPECT_EQ(Languages[0], "JavaScript");
    EXPECT_EQ(Scripts[1], Long);
    EXPECT_EQ(Languages[1], "");
    EXPECT_EQ(Scripts[2], "never closed");
    EXPECT_EQ(Senders[0], Doc.get());
    EXPECT_EQ(Describe(*Doc), (V{"S0:ab", "F0:pq"}));
    EXPECT_FALSE(Parser.State().ScriptMode);
}

// A handler cannot start its own parse again: neither the parser that runs it nor another
// parse into the document being built.
TEST_F(BuilderFixture, ParseFromAScriptHandlerIntoTheRunningParseIsRefused)
{
    const struct {
        const char* Name;
        std::function<void(TSectionList* Sender)> Start;
    } Cases[] = {
        {"same parser",
         [&](TSectionList*) {
             TSectionList Other(nullptr, nullptr);
             Parser.HtmlParseBuffer(&Other, nullptr, "x", 1);
         }},
        {"same document",
         [](TSectionList* Sender) { THtmlParser().HtmlParseBuffer(Sender, nullptr, "x", 1); }},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Name);
        NewDocument();
        std::string Message;
        Doc->OnScript = [&](TObject* Sender, const std::string&, std::unique_ptr<char[]>) {
            try {
                C.Start(static_cast<TSectionList*>(Sender));
            } catch (const EParseError& E) {
                Message = E.what();
                throw;
            }
        };
        const std::string Html = "a<script>s</script>b";
        EXPECT_THROW(Parser.HtmlParseBuffer(Doc.get(), &Names, Html.data(), Html.size()), EParseError);
        EXPECT_EQ(Message, "Cannot start a parse while another one is running");
        EXPECT_FALSE(Parser.State().Parsing);
        EXPECT_FALSE(Doc->Parsing);
        Doc->OnScript = nullptr;
        NewDocument();
        EXPECT_EQ(Parse("c"), V{"S0:c"});
    }
}

// A handler may build another document (as a frame's document is built while its frame set is
// read): each parse keeps its own position, fonts, anchors and title.
TEST_F(BuilderFixture, IndependentParseFromAScriptHandlerKeepsBothApart)
{
    TSectionList Inner(nullptr, nullptr);
    Inner.SetDefaults("Arial", "Courier New", clWhite, clBlue, clBlack, 12);
    TStringList InnerNames;
    InnerNames.SetSorted(true);
    std::string InnerTitle;
    Doc->OnScript = [&](TObject*, const std::string&, std::unique_ptr<char[]>) {
        const std::string Html = "<title>inner</title><a name=deep>d</a><ul><li>i</ul>";
        THtmlParser InnerParser;
        InnerParser.HtmlParseBuffer(&Inner, &InnerNames, Html.data(), Html.size());
        InnerTitle = InnerParser.State().Title;
    };
    Parse("<title>outer</title><a name=top>t</a><table><td><b>a<script>s</script>b</table>c");
    EXPECT_EQ(Describe(Inner), (V{"S0:d", "U1:i"}));
    EXPECT_EQ(InnerTitle, "inner");
    ASSERT_EQ(InnerNames.Count(), 1);
    EXPECT_EQ(InnerNames.Strings(0), "DEEP");
    // The outer parse goes on inside its cell, still bold, with its own anchors and title.
    EXPECT_EQ(Describe(*Doc), (V{"S0:t", "TABLE{S0:ab}", "S0:c"}));
    EXPECT_TRUE(FontOf("b")->Style().Contains(fsBold));
    EXPECT_FALSE(FontOf("c")->Style().Contains(fsBold));
    ASSERT_EQ(Names.Count(), 1);
    EXPECT_EQ(Names.Strings(0), "TOP");
    EXPECT_EQ(Doc->NameList, &Names);
    EXPECT_EQ(Parser.State().Title, "outer");
    EXPECT_FALSE(Doc->Parsing);
    EXPECT_FALSE(Inner.Parsing);
}

TEST_F(BuilderFixture, TitleAndBase)
{
    Parse("<title>My &amp; Page > Home</title><base href=\"http://x/\" target=_top>a");
    EXPECT_EQ(Parser.State().Title, "My & Page > Home");
    EXPECT_EQ(Describe(*Doc), V{"S0:a"});
    EXPECT_EQ(Parser.State().Base, "http://x/");
    EXPECT_EQ(Parser.State().BaseTarget, "_top");
    NewDocument();
    Parse("b");
    EXPECT_EQ(Parser.State().Title, "");
    EXPECT_EQ(Parser.State().Base, "");
}

// ---------------------------------------------------------------------------------------------
// Hostile input

// The deepest list level and table nesting below Cell (a table inside a cell counts one).
void NestingOf(const TCell& Cell, int Tables, int& MaxLevel, int& MaxTables)
{
    MaxTables = std::max(MaxTables, Tables);
    for (int I = 0; I < Cell.Count(); ++I) {
        if (auto* S = dynamic_cast<TSection*>(Cell.Block(I)))
            MaxLevel = std::max(MaxLevel, S->Level);
        else if (auto* T = dynamic_cast<ThtmlTable*>(Cell.Block(I)))
            for (int R = 0; R < T->Rows.Count(); ++R)
                for (int C = 0; C < T->Row(R)->Count(); ++C)
                    NestingOf(*T->Row(R)->CellObj(C)->Cell, Tables + 1, MaxLevel, MaxTables);
    }
}

TEST_F(BuilderFixture, DeepNestingIsCutOff)
{
    const struct {
        const char* Open;
        int Level, Tables; // what 5000 nested copies give
    } Cases[] = {
        {"<ul><li>x", MaxNestDepth, 0},
        {"<blockquote>x", MaxNestDepth, 0},
        {"<ol><dl><dd>x", MaxNestDepth, 0},
        {"<center>x", 0, 0},
        {"<div>x", 0, 0},
        {"<table><td>x", 0, MaxNestDepth},
        // Lists count from level 1 again inside each cell; both kinds share the limit.
        {"<table><td><ul><li>x", 1, MaxNestDepth / 2},
    };
    for (const auto& C : Cases) {
        NewDocument();
        std::string Html;
        for (int I = 0; I < 5000; ++I)
            Html += C.Open;
        Parse(Html);
        EXPECT_GT(Doc->Count(), 0) << C.Open;
        int MaxLevel = 0, MaxTables = 0;
        NestingOf(*Doc, 0, MaxLevel, MaxTables);
        // Nesting holds up to the limit and no further.
        EXPECT_EQ(MaxLevel, C.Level) << C.Open;
        EXPECT_EQ(MaxTables, C.Tables) << C.Open;
    }
    // Opening tags beyond the limit are ignored, so fewer end tags close every block.
    NewDocument();
    std::string Html;
    for (int I = 0; I < MaxNestDepth + 100; ++I)
        Html += "<center>";
    Html += "a";
    for (int I = 0; I < MaxNestDepth; ++I)
        Html += "</center>";
    Parse(Html + "b");
    EXPECT_EQ(LastSection()->Text(), "b");
    EXPECT_EQ(LastSection()->Justify, 1);
}

TEST_F(BuilderFixture, BuiltDocumentLaysOut)
{
    Parse("<h2>Title</h2><p>Text with <a href=x>link</a> and <img src=a.gif width=10 height=10>."
          "<table border><tr><td>cell<td><ul><li>item</ul></table><pre>pre\r\ntext</pre><hr>"
          "<form><input type=text name=n><select><option>o</select><textarea>t</textarea></form>");
    TBitmap Bitmap(400, 300);
    int Curs = 0, MaxWidth = 0;
    const int Height = Doc->DoLogic(Bitmap.Canvas(), 0, Curs, MaxWidth, 400);
    EXPECT_GT(Height, 0);
    EXPECT_GT(Curs, 0);
    Doc->Draw(Bitmap.Canvas(), Rect(0, 0, 400, 300), 0, 0, 400);
}

// Found by fuzzing: an anchor in a finished cell of the open row of a table cut short by an
// error must not outlive the table.
TEST_F(BuilderFixture, ErrorInsideATableDropsTheAnchorsOfItsOpenRow)
{
    const std::string Html = "<table><tr><td><a name=a>x</a><td>y<!-- open";
    EXPECT_THROW(Parser.HtmlParseBuffer(Doc.get(), &Names, Html.data(), Html.size()), EParseError);
    for (int I = 0; I < Names.Count(); ++I)
        EXPECT_TRUE(Doc->HoldsObject(Names.Objects(I))) << Names.Strings(I);
}

} // namespace
