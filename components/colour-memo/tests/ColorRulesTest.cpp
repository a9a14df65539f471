#include "RulesHost.h"

#include "components/colour-memo/ColMemo.h"
#include "platform/classes/FormReader.h"
#include "platform/classes/TypInfo.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

std::unique_ptr<TStringList> Lines(std::initializer_list<const char*> Items)
{
    auto L = std::make_unique<TStringList>();
    for (const char* S : Items)
        L->Add(S);
    return L;
}

std::string ColorBytes(TColor C)
{
    std::string S;
    for (int b = 0; b < 4; ++b)
        S += static_cast<char>((static_cast<std::uint32_t>(C) >> (8 * b)) & 0xFF);
    return S;
}

// ---- Colour text --------------------------------------------------------------------------------
struct TColorCase {
    const char* Text;
    TColor Expected;
};

TEST(ParseHtmlColor, NamesNumbersAndFallback)
{
    const TColorCase Cases[] = {
        {"gray", 0x808080},
        {"  Gray ", 0x808080},
        {"GRAY", 0x808080},
        {"#ff0000", 0x0000FF},
        {"$FF0000", 0x0000FF},
        {"ff0000", 0x0000FF},
        {"#00ff00", 0x00FF00},
        {"#123456", 0x563412},
        {"12", 0x120000},       // "$12": red 0, green 0, blue $12 read as rgb
        {"nocolour", 0xFFFFFF}, // no name and no number
        {"#1FFFFFF", 0xFFFFFF}, // bits above 23 dropped
        {"", 0xFFFFFF},
        {"#", 0xFFFFFF},
        {"maroon", 0x000080},
        {"fuchsia", 0xFF00FF},
        {"aqua", 0xFFFF00},
        {"navy", 0x800000},
        {"#FF00FF00FF", 0xFFFFFF}, // too many digits for 32
                                   // bits
        {"$$12", 0xFFFFFF},
        {"$-10", 0xFFFFFF},
        {"-$10", 0xF0FFFF}, // -16 read as its 32-bit pattern
        {"Greenish", 0xFFFFFF},
    };
    for (const TColorCase& C : Cases)
        EXPECT_EQ(ParseHtmlColor(C.Text), C.Expected) << "'" << C.Text << "'";
    for (const TRuleColorName& N : RuleColorNames)
        EXPECT_EQ(ParseHtmlColor(N.Name), N.Value) << N.Name;
}

// ---- Keyword list -------------------------------------------------------------------------------
class Rules : public testing::Test {
protected:
    TDrawRules Collection{nullptr};
    TColorRule* Rule = Collection.Add();
};

TEST_F(Rules, DefaultsAreThePublishedOnes)
{
    EXPECT_TRUE(PropsDifferingFromDefault(Rule).empty());
    EXPECT_EQ(Rule->KeyDrawingType, dtBeginEnd);
    EXPECT_EQ(Rule->DefKeyColor, 0x0000FF);
    EXPECT_EQ(Rule->KeyMaxHeight, 1);
    EXPECT_TRUE(Rule->Enabled);
    EXPECT_EQ(Rule->KeyLookup(), "*");
    EXPECT_EQ(Rule->DelimiterTable(), nullptr);
    THotSpot HotSpot;
    EXPECT_TRUE(PropsDifferingFromDefault(&HotSpot).empty());
    EXPECT_EQ(HotSpot.BeginChar, '\x1E');
    EXPECT_EQ(HotSpot.EndChar, '\x1F');
    EXPECT_EQ(Collection.Count(), 1);
    EXPECT_TRUE(Collection.RulesChanged);
}

TEST_F(Rules, KeywordLookupStringBytes)
{
    auto L = Lines({"&nbsp;green", "="});
    Rule->SetKeywords(L.get());
    const std::string Expected = std::string("*&NBSP*+") + std::string("\x00\x80\x00\x00", 4) + "*" + "=*+" +
                                 std::string("\xFF\x00\x00\x00", 4) + "*";
    EXPECT_EQ(Rule->KeyLookup(), Expected);
    EXPECT_EQ(Rule->Keywords()->Text(), "&nbsp;green\r\n=\r\n"); // the list itself is kept as given
}

TEST_F(Rules, KeywordLinesSkipBlanksKeepSpacesAndHonourKeyCase)
{
    Rule->DefKeyColor = 0x00AA00;
    auto L = Lines({"", "   ", "TABLE;maroon", " ;red", " tr ", "a;", "x;nonsense"});
    Rule->SetKeywords(L.get());
    const std::string Expected = "*TABLE*+" + ColorBytes(0x000080) + "*" + " TR *+" + ColorBytes(0x00AA00) +
                                 "*" + "A*+" + ColorBytes(0x00AA00) + "*" + "X*+" + ColorBytes(0xFFFFFF) +
                                 "*";
    EXPECT_EQ(Rule->KeyLookup(), Expected);

    Rule->KeyCase = true;
    auto M = Lines({"Mixed;blue"});
    Rule->SetKeywords(M.get());
    EXPECT_EQ(Rule->KeyLookup(), "*Mixed*+" + ColorBytes(0xFF0000) + "*");
}

// ---- Delimiter lists ----------------------------------------------------------------------------
struct TDelimCase {
    const char* Begin;
    const char* End;
    TColor Color;
};

void ExpectTable(const TColorRule* Rule, const std::vector<TDelimCase>& Expected)
{
    const TDelimiter* T = Rule->DelimiterTable();
    ASSERT_NE(T, nullptr);
    for (std::size_t i = 0; i < Expected.size(); ++i) {
        SCOPED_TRACE("record " + std::to_string(i));
        EXPECT_STREQ(T[i].BeginText, Expected[i].Begin);
        EXPECT_STREQ(T[i].EndText, Expected[i].End);
        EXPECT_EQ(T[i].Color, Expected[i].Color);
    }
}

TEST_F(Rules, BeginEndLines)
{
    Rule->DefKeyColor = 0x123456;
    auto L = Lines({"<!--;-->;gray", "<;>;blue", "<;>", "[;", "abcdefgh;12345678;red", " a ; b ;  ",
                    "\xC2\xAB\xC2\xAB\xC2\xAB\xC2\xAB\xC2\xAB\xC2\xAB\xC2\xAB;"
                    "x\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC",
                    "nosemicolon", ";first;red", "after;end"});
    Rule->SetKeyBegEndLst(L.get());
    ExpectTable(Rule, {{"<!--", "-->", 0x808080},
                       {"<", ">", 0xFF0000},
                       {"<", ">", 0x123456},
                       {"[", "", 0x123456},
                       {"abcdef", "123456", 0x0000FF},
                       {" a ", " b ", 0x123456},
                       // six characters, not six bytes, and never half a character
                       {"\xC2\xAB\xC2\xAB\xC2\xAB\xC2\xAB\xC2\xAB\xC2\xAB",
                        "x\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC", 0x123456},
                       {"", "", 0}, // no ";": the table ends here for scanning
                       {"", "", 0}, // ";" first
                       {"after", "end", 0x123456}});
}

TEST_F(Rules, LineEndLines)
{
    Rule->DefKeyColor = 0x654321;
    auto L = Lines({"//;green", ";;maroon", ";x", "--", "rem;", "", "'"});
    Rule->SetKeyLineEndLst(L.get());
    ExpectTable(Rule, {{"//", "", 0x008000},
                       {";", "", 0x000080},
                       {";x", "", 0x654321},
                       {"--", "", 0x654321},
                       {"rem", "", 0x654321},
                       {"", "", 0x654321},
                       {"'", "", 0x654321}});
}

TEST_F(Rules, DelimiterListsStopAtFortyLinesAndAreClearedEachCompile)
{
    auto Many = std::make_unique<TStringList>();
    for (int i = 0; i < 45; ++i)
        Many->Add("b" + std::to_string(i) + ";e;red");
    Rule->SetKeyBegEndLst(Many.get());
    const TDelimiter* T = Rule->DelimiterTable();
    EXPECT_STREQ(T[39].BeginText, "b39");

    auto One = Lines({"<;>"});
    Rule->SetKeyBegEndLst(One.get());
    EXPECT_EQ(Rule->DelimiterTable(), T); // allocated once
    EXPECT_STREQ(T[0].BeginText, "<");
    EXPECT_STREQ(T[1].BeginText, "");
    EXPECT_EQ(T[1].Color, 0);
}

TEST_F(Rules, AssignCopiesAllButKeySelColorAndIntChar)
{
    Rule->KeyDrawingType = dtBeginLineEnd;
    Rule->ZOrder = 7;
    Rule->KeyMaxHeight = 5;
    Rule->KeyCase = true;
    Rule->Enabled = false;
    Rule->PartWord = true;
    Rule->DefKeyColor = 0x111111;
    Rule->KeyBrushColor = 0x222222;
    Rule->KeySelColor = 0x333333;
    Rule->IntChar = "source";
    auto K = Lines({"kw"});
    auto B = Lines({"<;>;red"});
    auto E = Lines({"//"});
    Rule->SetKeywords(K.get());
    Rule->SetKeyBegEndLst(B.get());
    Rule->SetKeyLineEndLst(E.get());

    TColorRule* Copy = Collection.Add();
    Copy->KeySelColor = 0x444444;
    Copy->IntChar = "mine";
    Copy->Assign(Rule);
    EXPECT_EQ(Copy->KeyDrawingType, dtBeginLineEnd);
    EXPECT_EQ(Copy->ZOrder, 7);
    EXPECT_EQ(Copy->KeyMaxHeight, 5);
    EXPECT_TRUE(Copy->KeyCase);
    EXPECT_FALSE(Copy->Enabled);
    EXPECT_TRUE(Copy->PartWord);
    EXPECT_EQ(Copy->DefKeyColor, 0x111111);
    EXPECT_EQ(Copy->KeyBrushColor, 0x222222);
    EXPECT_EQ(Copy->KeySelColor, 0x444444);
    EXPECT_EQ(Copy->IntChar, "mine");
    EXPECT_EQ(Copy->Keywords()->Text(), "kw\r\n");
    EXPECT_EQ(Copy->KeyBegEndLst()->Text(), "<;>;red\r\n");
    EXPECT_EQ(Copy->KeyLineEndLst()->Text(), "//\r\n");
    EXPECT_EQ(Copy->KeyLookup(), "*kw*+" + ColorBytes(0x111111) + "*");
    // The begin/end list was set last, so the table holds it.
    ExpectTable(Copy, {{"<", ">", 0x0000FF}});
}

TEST(DrawRules, PrepareRulesCompilesUntilSomeRuleHasEntries)
{
    TDrawRules Collection(nullptr);
    TColorRule* Empty = Collection.Add();
    Collection.PrepareRules();
    EXPECT_TRUE(Collection.RulesChanged); // nothing found: compile again next pass
    EXPECT_NE(Empty->DelimiterTable(), nullptr);

    TColorRule* Keys = Collection.Add();
    Keys->KeyDrawingType = dtKeyShow;
    Keys->Keywords()->Add("if"); // as form data does: no setter runs
    EXPECT_EQ(Keys->KeyLookup(), "*");
    Collection.PrepareRules();
    EXPECT_FALSE(Collection.RulesChanged);
    EXPECT_EQ(Keys->KeyLookup(), "*IF*+" + ColorBytes(0x0000FF) + "*");

    Keys->Keywords()->Add("else");
    Collection.PrepareRules(); // flag clear: nothing recompiles
    EXPECT_EQ(Keys->KeyLookup(), "*IF*+" + ColorBytes(0x0000FF) + "*");
}

TEST(DrawRules, PrepareRuleReadsTheListsOfItsDrawingType)
{
    TDrawRules Collection(nullptr);
    TColorRule* R = Collection.Add();
    R->KeyDrawingType = dtBeginLineEnd;
    R->KeyBegEndLst()->Add("<;>");
    R->KeyLineEndLst()->Add("//;green");
    R->Keywords()->Add("ignored");
    EXPECT_TRUE(R->PrepareRule());
    ExpectTable(R, {{"//", "", 0x008000}}); // the line-end list replaced the begin/end entries
    EXPECT_EQ(R->KeyLookup(), "*");

    TColorRule* Event = Collection.Add();
    Event->KeyDrawingType = dtEventDraw;
    Event->Keywords()->Add("x");
    EXPECT_FALSE(Event->PrepareRule());
}

TEST(HotSpotSettings, AssignCopiesAllSix)
{
    THotSpot A, B;
    A.BeginChar = '[';
    A.EndChar = ']';
    A.Color = 1;
    A.MarkerColor = 2;
    A.Active = true;
    A.Underlined = false;
    B.Assign(&A);
    EXPECT_EQ(B.BeginChar, '[');
    EXPECT_EQ(B.EndChar, ']');
    EXPECT_EQ(B.Color, 1);
    EXPECT_EQ(B.MarkerColor, 2);
    EXPECT_TRUE(B.Active);
    EXPECT_FALSE(B.Underlined);
}

// ---- Form data ----------------------------------------------------------------------------------
TEST(RulesFormData, MainPaneRulesAreReadIntoTheRuleLists)
{
    auto Host = ReadRulesHost("MainPaneRules.form");
    TDrawRules* R = Host->ColorRules();
    ASSERT_EQ(R->Count(), 5);
    EXPECT_EQ(R->Items(0)->KeyDrawingType, dtBeginEnd);
    EXPECT_EQ(R->Items(0)->KeyBegEndLst()->Text(), "<!--;-->;gray\r\n");
    EXPECT_EQ(R->Items(1)->KeyDrawingType, dtKeyShow);
    EXPECT_EQ(R->Items(1)->Keywords()->Count(), 2);
    EXPECT_EQ(R->Items(4)->Keywords()->Count(), 15);
    EXPECT_EQ(R->Items(4)->Memo(), Host.get());
    // Form data fills the lists directly: nothing is compiled before the first pass.
    EXPECT_EQ(R->Items(1)->KeyLookup(), "*");
    EXPECT_TRUE(R->RulesChanged);
    R->PrepareRules();
    EXPECT_FALSE(R->RulesChanged);
    ExpectTable(R->Items(0), {{"<!--", "-->", 0x808080}});
    EXPECT_EQ(R->Items(3)->KeyLookup().substr(0, 8), "*TABLE*+");
}

TEST(RulesFormData, ScriptEditorRulesWithNamedColoursAndHotSpot)
{
    auto Host = ReadRulesHost("ScriptEditorRules.form");
    TDrawRules* R = Host->ColorRules();
    ASSERT_EQ(R->Count(), 9);
    EXPECT_TRUE(Host->HotSpot()->Active);
    EXPECT_EQ(R->Items(1)->KeyBegEndLst()->Count(), 2);
    EXPECT_EQ(R->Items(2)->DefKeyColor, clPurple);
    EXPECT_EQ(R->Items(2)->Keywords()->Count(), 92);
    EXPECT_EQ(R->Items(2)->KeyBegEndLst()->Count(), 12);
    EXPECT_EQ(R->Items(4)->DefKeyColor, clGreen);
    EXPECT_EQ(R->Items(5)->Keywords()->Strings(0), "\\n");
    EXPECT_EQ(R->Items(6)->DefKeyColor, clAqua);
    EXPECT_EQ(R->Items(7)->Keywords()->Count(), 26);
}

TEST(RulesFormData, EveryPropertyByName)
{
    const std::string Text = "object RulesHost1: TRulesHost\n"
                             "  HotSpot.BeginChar = '['\n"
                             "  HotSpot.EndChar = #93\n"
                             "  HotSpot.Color = clRed\n"
                             "  HotSpot.MarkerColor = clBlack\n"
                             "  HotSpot.Underlined = False\n"
                             "  ColorRules = <\n"
                             "    item\n"
                             "      ZOrder = 3\n"
                             "      IntChar = 'x'\n"
                             "      KeyLineEndLst.Strings = ( '//;red' )\n"
                             "      KeyMaxHeight = 4\n"
                             "      KeyDrawingType = dtBeginLineEnd\n"
                             "      KeyCase = True\n"
                             "      Enabled = False\n"
                             "      PartWord = True\n"
                             "      DefKeyColor = clNavy\n"
                             "      KeySelColor = clLime\n"
                             "      KeyBrushColor = $00123456\n"
                             "    end\n"
                             "    item\n"
                             "      KeyDrawingType = dtEventDraw\n"
                             "    end>\n"
                             "end\n";
    TRulesHost Host;
    ReadForm(&Host, Text, "Props.form");
    EXPECT_EQ(Host.HotSpot()->BeginChar, '[');
    EXPECT_EQ(Host.HotSpot()->EndChar, ']');
    EXPECT_EQ(Host.HotSpot()->Color, clRed);
    EXPECT_EQ(Host.HotSpot()->MarkerColor, clBlack);
    EXPECT_FALSE(Host.HotSpot()->Underlined);
    ASSERT_EQ(Host.ColorRules()->Count(), 2);
    TColorRule* R = Host.ColorRules()->Items(0);
    EXPECT_EQ(R->ZOrder, 3);
    EXPECT_EQ(R->IntChar, "x");
    EXPECT_EQ(R->KeyMaxHeight, 4);
    EXPECT_EQ(R->KeyDrawingType, dtBeginLineEnd);
    EXPECT_TRUE(R->KeyCase);
    EXPECT_FALSE(R->Enabled);
    EXPECT_TRUE(R->PartWord);
    EXPECT_EQ(R->DefKeyColor, clNavy);
    EXPECT_EQ(R->KeySelColor, clLime);
    EXPECT_EQ(R->KeyBrushColor, 0x123456);
    EXPECT_EQ(Host.ColorRules()->Items(1)->KeyDrawingType, dtEventDraw);

    // A byte ZOrder refuses 256.
    TRulesHost Bad;
    EXPECT_THROW(
        ReadForm(&Bad,
                 "object RulesHost1: TRulesHost\n  ColorRules = <\n    item\n      ZOrder = 256\n    "
                 "end>\nend\n",
                 "Bad.form"),
        Exception);
}

} // namespace
