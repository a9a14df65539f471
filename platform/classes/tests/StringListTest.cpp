#include "platform/classes/Classes.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"
#include "platform/testing/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

std::string Dump(const TStrings& L)
{
    std::string S;
    for (int I = 0; I < L.Count(); ++I)
        S += (I ? "|" : "") + L[I];
    return S;
}

// Each case runs on a fresh list and answers "<result> : <lines>" (or the error message).
struct TListCase {
    const char* Name;
    std::function<std::string(TStringList&)> Run;
    std::string Expected;
};

std::string N(int V)
{
    return std::to_string(V);
}

const TListCase ListCases[] = {
    {"Add appends and answers the index",
     [](TStringList& L) {
         L.Add("b");
         return N(L.Add("a"));
     },
     "1 : b|a"},
    {"Insert at the front and at the end",
     [](TStringList& L) {
         L.Add("b");
         L.Insert(0, "a");
         L.Insert(2, "c");
         return N(L.Count());
     },
     "3 : a|b|c"},
    {"Insert past the end",
     [](TStringList& L) {
         L.Add("a");
         L.Insert(2, "x");
         return std::string();
     },
     "EStringListError List index out of bounds (2)"},
    {"Delete the middle line",
     [](TStringList& L) {
         L.SetText("a\r\nb\r\nc");
         L.Delete(1);
         return N(L.Count());
     },
     "2 : a|c"},
    {"Delete a negative index",
     [](TStringList& L) {
         L.Delete(-1);
         return std::string();
     },
     "EStringListError List index out of bounds (-1)"},
    {"Get past the end",
     [](TStringList& L) {
         L.Add("a");
         return L[1];
     },
     "EStringListError List index out of bounds (1)"},
    {"Clear",
     [](TStringList& L) {
         L.Add("a");
         L.Clear();
         return N(L.Count());
     },
     "0 : "},
    {"IndexOf ignores case",
     [](TStringList& L) {
         L.Add("Alpha");
         L.Add("beta");
         return N(L.IndexOf("BETA")) + "," + N(L.IndexOf("gamma"));
     },
     "1,-1 : Alpha|beta"},
    {"CaseSensitive IndexOf",
     [](TStringList& L) {
         L.SetCaseSensitive(true);
         L.Add("beta");
         return N(L.IndexOf("BETA"));
     },
     "-1 : beta"},
    {"Duplicates do not matter unsorted",
     [](TStringList& L) {
         L.Duplicates = dupError;
         L.Add("a");
         return N(L.Add("a"));
     },
     "1 : a|a"},
    {"Sorted orders without regard to case",
     [](TStringList& L) {
         L.SetSorted(true);
         L.Add("c");
         L.Add("B");
         L.Add("a");
         return N(L.Add("b2"));
     },
     "2 : a|B|b2|c"},
    {"Sorting an existing list",
     [](TStringList& L) {
         L.Add("z");
         L.Add("Y");
         L.Add("x");
         L.SetSorted(true);
         return N(L.IndexOf("y"));
     },
     "1 : x|Y|z"},
    {"dupIgnore keeps the first and answers its index",
     [](TStringList& L) {
         L.SetSorted(true);
         L.Add("b");
         L.Add("a");
         return N(L.Add("B"));
     },
     "1 : a|b"},
    {"dupError raises",
     [](TStringList& L) {
         L.SetSorted(true);
         L.Duplicates = dupError;
         L.Add("a");
         L.Add("A");
         return std::string();
     },
     "EStringListError String list does not allow duplicates"},
    {"dupAccept keeps both",
     [](TStringList& L) {
         L.SetSorted(true);
         L.Duplicates = dupAccept;
         L.Add("a");
         L.Add("A");
         return N(L.Count());
     },
     "2 : a|A"},
    {"Insert on a sorted list raises",
     [](TStringList& L) {
         L.SetSorted(true);
         L.Insert(0, "a");
         return std::string();
     },
     "EStringListError Operation not allowed on sorted string list"},
    {"Find answers the place of a missing line",
     [](TStringList& L) {
         L.SetSorted(true);
         L.Add("b");
         L.Add("d");
         int I1 = -1, I2 = -1;
         const bool F1 = L.Find("D", I1), F2 = L.Find("c", I2);
         return N(F1) + N(I1) + "," + N(F2) + N(I2);
     },
     "11,01 : b|d"},
    {"SetText splits at CR, LF and CR LF",
     [](TStringList& L) {
         L.SetText("a\rb\nc\r\nd");
         return N(L.Count());
     },
     "4 : a|b|c|d"},
    {"SetText keeps empty lines and drops only the final break",
     [](TStringList& L) {
         L.SetText("a\r\n\r\nb\r\n");
         return N(L.Count());
     },
     "3 : a||b"},
    {"A lone line break is one empty line",
     [](TStringList& L) {
         L.SetText("\n");
         return N(L.Count());
     },
     "1 : "},
    {"Text ends every line with CR LF",
     [](TStringList& L) {
         L.Add("a");
         L.Add("");
         std::string T = L.Text();
         for (std::size_t P; (P = T.find("\r\n")) != std::string::npos;)
             T.replace(P, 2, "<CRLF>");
         return T;
     },
     "a<CRLF><CRLF> : a|"},
    {"An empty list has empty text", [](TStringList& L) { return "[" + L.Text() + "]"; }, "[] : "},
    {"Objects follow their lines through a sort",
     [](TStringList& L) {
         TObject* X = reinterpret_cast<TObject*>(0x10);
         L.AddObject("b", X);
         L.Add("a");
         L.Sort();
         return N(L.Objects(1) == X) + N(L.Objects(0) == nullptr);
     },
     "11 : a|b"},
    {"Put keeps the object",
     [](TStringList& L) {
         TObject* X = reinterpret_cast<TObject*>(0x10);
         L.AddObject("a", X);
         L[0];
         L.SetStrings(0, "b");
         return N(L.Objects(0) == X);
     },
     "1 : b"},
    {"Names and values",
     [](TStringList& L) {
         L.Add("Font=Arial");
         L.Add("size=10");
         L.SetValues("SIZE", "12");
         L.SetValues("Colour", "red");
         L.SetValues("Font", "");
         return L.Values("size") + "," + L.Names(1);
     },
     "12,Colour : SIZE=12|Colour=red"},
    {"Exchange and Move",
     [](TStringList& L) {
         L.SetText("a\nb\nc");
         L.Exchange(0, 2);
         L.Move(0, 1);
         return std::string("ok");
     },
     "ok : b|c|a"},
    {"CommaText quotes what needs it",
     [](TStringList& L) {
         L.Add("a b");
         L.Add("say \"hi\"");
         L.Add("plain");
         const std::string T = L.CommaText();
         L.SetCommaText(T);
         return T;
     },
     "\"a b\",\"say \"\"hi\"\"\",plain : a b|say \"hi\"|plain"},
};

class StringListSemantics : public testing::TestWithParam<TListCase> {};

TEST_P(StringListSemantics, Case)
{
    const TListCase& C = GetParam();
    TStringList L;
    std::string Got;
    try {
        Got = C.Run(L);
        Got += " : " + Dump(L);
    } catch (const EStringListError& E) {
        Got = "EStringListError " + E.Message();
    }
    EXPECT_EQ(Got, C.Expected) << C.Name;
}

INSTANTIATE_TEST_SUITE_P(Table, StringListSemantics, testing::ValuesIn(ListCases),
                         [](const testing::TestParamInfo<TListCase>& Info) {
                             return "Case" + std::to_string(Info.index);
                         });

TEST(StringList, OnChangeFiresOncePerOutermostUpdate)
{
    TStringList L;
    int Changes = 0, Changings = 0;
    int CountSeenByChanging = -1;
    L.OnChange = [&](TObject* Sender) {
        EXPECT_EQ(Sender, &L);
        ++Changes;
    };
    L.OnChanging = [&](TObject*) {
        ++Changings;
        CountSeenByChanging = L.Count();
    };
    L.Add("a");
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(Changings, 1);
    EXPECT_EQ(CountSeenByChanging, 0); // before the line went in

    L.BeginUpdate();
    L.Add("b");
    L.BeginUpdate();
    L.Delete(0);
    L.EndUpdate();
    L.Add("c");
    EXPECT_EQ(Changes, 1);
    L.EndUpdate();
    EXPECT_EQ(Changes, 2);
    EXPECT_EQ(Changings, 2);

    L.SetText("x\r\ny\r\nz"); // clear and three adds: one change
    EXPECT_EQ(Changes, 3);
    L.EndUpdate(); // unbalanced: ignored
    EXPECT_EQ(L.UpdateCount(), 0);
}

TEST(StringList, AssignCopiesLinesAndObjects)
{
    TStringList A, B;
    TObject* X = reinterpret_cast<TObject*>(0x20);
    A.AddObject("one", X);
    A.Add("two");
    B.Add("old");
    int Changes = 0;
    B.OnChange = [&](TObject*) { ++Changes; };
    B.Assign(&A);
    EXPECT_EQ(Dump(B), "one|two");
    EXPECT_EQ(B.Objects(0), X);
    EXPECT_EQ(Changes, 1);
    EXPECT_TRUE(B.Equals(&A));
    B.Assign(&B); // itself: nothing happens
    EXPECT_EQ(Dump(B), "one|two");
}

// Files come back byte for byte: encoding, line-break style and a missing final break kept.
struct TFileCase {
    const char* Name;
    std::string Bytes;
    std::string Lines;
};

const TFileCase FileCases[] = {
    {"crlf", "one\r\ntwo\r\n", "one|two"},
    {"lf", "one\ntwo\n\nfour\n", "one|two||four"},
    {"cr", "one\rtwo\r", "one|two"},
    {"no final break", "one\ntwo", "one|two"},
    {"windows-1252", "caf\xE9\r\nna\xEFve\r\n", "caf\xC3\xA9|na\xC3\xAFve"},
    {"utf-8 with bom", "\xEF\xBB\xBF\xC3\xA9t\xC3\xA9\n", "\xC3\xA9t\xC3\xA9"},
};

class StringListFiles : public testing::TestWithParam<TFileCase> {};

TEST_P(StringListFiles, LoadAndSaveKeepTheBytes)
{
    const TFileCase& C = GetParam();
    const std::string Dir = testing_support::MakeTempDir("lists");
    const std::string In = Dir + "/in.txt", Out = Dir + "/out.txt";
    testing_support::WriteFileBytes(In, C.Bytes);
    TStringList L;
    L.LoadFromFile(In);
    EXPECT_EQ(Dump(L), C.Lines) << C.Name;
    L.SaveToFile(Out);
    EXPECT_EQ(testing_support::ReadFileBytes(Out), C.Bytes) << C.Name;
}

INSTANTIATE_TEST_SUITE_P(Table, StringListFiles, testing::ValuesIn(FileCases),
                         [](const testing::TestParamInfo<TFileCase>& Info) {
                             return "File" + std::to_string(Info.index);
                         });

TEST(StringList, NewListSavesUtf8WithCrLf)
{
    const std::string Dir = testing_support::MakeTempDir("lists");
    TStringList L;
    L.Add("\xC3\xA9");
    L.Add("b");
    L.SaveToFile(Dir + "/new.txt");
    EXPECT_EQ(testing_support::ReadFileBytes(Dir + "/new.txt"), "\xC3\xA9\r\nb\r\n");
}

TEST(StringList, StreamsKeepTheFormatToo)
{
    TStringStream In(std::string("a\nb", 3));
    TStringList L;
    L.LoadFromStream(&In);
    EXPECT_EQ(Dump(L), "a|b");
    L.Add("c");
    TMemoryStream Out;
    L.SaveToStream(&Out);
    EXPECT_EQ(Out.DataString(), "a\nb\nc");
}

TEST(StringList, MissingFileRaisesAndKeepsTheLines)
{
    TStringList L;
    L.Add("kept");
    EXPECT_THROW(L.LoadFromFile(testing_support::HomeDir() + "/no/such/file.txt"), EFOpenError);
    EXPECT_EQ(Dump(L), "kept");
}

// Lines of text hold no NUL byte: a file with one (a program, a picture, UTF-16 text) is refused
// whole, naming it, instead of being cut at the first NUL and saved back cut.
TEST(StringList, AFileHoldingNulBytesIsRefusedAndTheLinesKept)
{
    const std::string Dir = testing_support::MakeTempDir("lists");
    const std::string F = Dir + "/binary.dat";
    for (const std::string& Bytes :
         {std::string("MZ\x90\0\3\0\0\0", 8), std::string("text\0", 5), std::string("\xff\xfeh\0i\0", 6)}) {
        testing_support::WriteFileBytes(F, Bytes);
        TStringList L;
        L.Add("kept");
        try {
            L.LoadFromFile(F);
            FAIL() << "loaded";
        } catch (const EFOpenError& E) {
            EXPECT_NE(E.Message().find("\"" + F + "\""), std::string::npos) << E.Message();
            EXPECT_NE(E.Message().find("NUL"), std::string::npos) << E.Message();
        }
        EXPECT_EQ(Dump(L), "kept");
        EXPECT_EQ(testing_support::ReadFileBytes(F), Bytes);
    }
}

} // namespace
