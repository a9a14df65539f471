// The frameset probe and the frameset builder: which sources are frameset documents, and the
// frame tree, dimensions, sources and base that a frameset document gives.
#include "html-engine/FrameView.h"
#include "html-engine/HtmlParser.h"
#include "platform/classes/Classes.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"
#include "platform/testing/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

using Dims = std::vector<int>;

Dims DimsOf(const TSubFrameSet* Set)
{
    return Dims(Set->Dims.begin(), Set->Dims.begin() + Set->DimCount);
}

struct FramesetFixture : ::testing::Test {
    THtmlParser Parser;
    std::unique_ptr<TFrameViewer> Host = std::make_unique<TFrameViewer>(nullptr);
    std::unique_ptr<TFrameSet> Set = std::make_unique<TFrameSet>(nullptr, Host.get());

    bool Parse(const std::string& Html, const std::string& FileName = "/docs/site/index.html")
    {
        Set->ClearChildFrames();
        return Parser.FramesetParse(Set.get(), 1, FileName, Html.data(), Html.size(), nullptr, nullptr);
    }
    TFrame* Frame(const TSubFrameSet* S, int Index) const { return dynamic_cast<TFrame*>(S->Child(Index)); }
    TSubFrameSet* SubSet(const TSubFrameSet* S, int Index) const
    {
        return dynamic_cast<TSubFrameSet*>(S->Child(Index));
    }
};

// ---- The probe --------------------------------------------------------------------------------

TEST_F(FramesetFixture, ProbeFindsAFramesetBeforeBodyContent)
{
    const struct {
        const char* Html;
        bool Frameset;
    } Cases[] = {
        {"<frameset rows=*><frame src=a.html></frameset>", true},
        {"<html><head><title>T</title><base href=x/></head><frameset cols=50%,*>", true},
        {"<script>document.write('<p>')</script><frameset>", true},
        {"<!-- <p> --><frameset>", true},
        {"<p>first<frameset>", false},
        {"<body><frameset>", false},
        {"<h1>x</h1><frameset>", false},
        {"<table><frameset>", false},
        {"<html><head><title>no frames</title></head>", false},
        {"", false},
        // The open comment raises inside the probe: no frameset found.
        {"<!-- never closed <frameset>", false},
    };
    for (const auto& C : Cases) {
        const std::string H = C.Html;
        EXPECT_EQ(Parser.IsFramesetDocument(1, "", nullptr, H.data(), H.size(), nullptr), C.Frameset) << H;
        TStringList Lines;
        Lines.SetText(H);
        EXPECT_EQ(Parser.IsFramesetDocument(2, "", &Lines, nullptr, 0, nullptr), C.Frameset) << H;
        TMemoryStream Stream;
        Stream.Write(H.data(), static_cast<Longint>(H.size()));
        EXPECT_EQ(Parser.IsFramesetDocument(3, "", nullptr, nullptr, 0, &Stream), C.Frameset) << H;
        EXPECT_FALSE(Parser.State().Parsing);
    }
    const std::string H = "<frameset>";
    EXPECT_FALSE(Parser.IsFramesetDocument(4, "", nullptr, H.data(), H.size(), nullptr));
}

TEST_F(FramesetFixture, FileSourcesPassTheirErrorsOn)
{
    using namespace testing_support;
    const std::string Dir = HomeDir();
    WriteFileBytes(Dir + "/frames.html",
                   "<frameset rows=*,*><frame src=a.html><frame src=b.html></frameset>");
    WriteFileBytes(Dir + "/open.html", "<!-- never closed");
    EXPECT_TRUE(Parser.IsFramesetDocument(0, Dir + "/frames.html", nullptr, nullptr, 0, nullptr));
    EXPECT_THROW(Parser.IsFramesetDocument(0, Dir + "/missing.html", nullptr, nullptr, 0, nullptr),
                 Exception);
    EXPECT_THROW(Parser.IsFramesetDocument(0, Dir + "/open.html", nullptr, nullptr, 0, nullptr), EParseError);
    EXPECT_FALSE(Parser.State().Parsing);

    EXPECT_TRUE(Parser.FramesetParse(Set.get(), 0, Dir + "/frames.html", nullptr, 0, nullptr, nullptr));
    ASSERT_EQ(Set->Children.Count(), 2);
    EXPECT_EQ(Frame(Set.get(), 1)->SourceName, Dir + "/b.html");
    EXPECT_THROW(Parser.FramesetParse(Set.get(), 0, Dir + "/missing.html", nullptr, 0, nullptr, nullptr),
                 Exception);
    EXPECT_FALSE(Parser.State().Parsing);
}

// ---- The builder ------------------------------------------------------------------------------

TEST_F(FramesetFixture, DimensionLists)
{
    const struct {
        const char* Attrs;
        bool Rows;
        Dims Codes;
    } Cases[] = {
        {"rows=\"100,*,2*\"", true, {100, -1, -2}},
        {"cols=\"50%,50%\"", false, {-150, -150}},
        {"rows=\"0, ,9999,250*,2000%\"", true, {1, -1, 5000, -99, -1000}},
        {"rows=\"100,\"", true, {100, -1}},
        {"rows=\"\"", true, {-1}},
        {"rows=\"12px , 30 %\"", true, {12, -130}},
        {"rows=\"99999999999999999999999,*\"", true, {5000, -1}},
        // One row and three columns: a column set of three.
        {"rows=\"*\" cols=\"1*,2*,3*\"", false, {-1, -2, -3}},
        // Two rows: the columns are ignored.
        {"rows=\"*,*\" cols=\"1*,2*,3*\"", true, {-1, -1}},
    };
    for (const auto& C : Cases) {
        Parse(std::string("<frameset ") + C.Attrs + "></frameset>");
        EXPECT_EQ(Set->IsRows, C.Rows) << C.Attrs;
        EXPECT_EQ(DimsOf(Set.get()), C.Codes) << C.Attrs;
    }
    std::string TwentyOne = "<frameset rows=\"";
    for (int I = 1; I <= 21; ++I)
        TwentyOne += std::to_string(I) + (I < 21 ? "," : "\">");
    Parse(TwentyOne);
    ASSERT_EQ(Set->DimCount, 20);
    EXPECT_EQ(Set->Dims[19], 20);
}

TEST_F(FramesetFixture, FramesAndDimensionsAreMatchedAtTheEnd)
{
    // Two dimensions, three frames: the third takes one share.
    EXPECT_TRUE(Parse("<frameset cols=100,200><frame src=a><frame src=b><frame src=c></frameset>"));
    EXPECT_EQ(DimsOf(Set.get()), (Dims{100, 200, -1}));
    EXPECT_EQ(Set->Children.Count(), 3);
    // Three dimensions, one frame: two empty frames are added.
    Parse("<frameset rows=*,*,*><frame src=a></frameset>");
    ASSERT_EQ(Set->Children.Count(), 3);
    EXPECT_EQ(Frame(Set.get(), 1)->SourceName, "");
    EXPECT_EQ(Frame(Set.get(), 2)->SourceName, "");
    // Every frame is kept; those past the dimension list take one share each.
    std::string Many = "<frameset rows=\"10,20\">";
    for (int I = 0; I < 1000; ++I)
        Many += "<frame src=f" + std::to_string(I) + ".html>";
    Parse(Many + "</frameset>");
    ASSERT_EQ(Set->Children.Count(), 1000);
    ASSERT_EQ(Set->DimCount, 1000);
    EXPECT_EQ(Set->Dims[1], 20);
    EXPECT_EQ(std::count(Set->Dims.begin() + 2, Set->Dims.begin() + 1000, -1), 998);
    EXPECT_EQ(Frame(Set.get(), 999)->SourceName, "/docs/site/f999.html");
}

TEST_F(FramesetFixture, NestedFramesetsAndWhatIsSkipped)
{
    const std::string Html =
        "<html><head><title>The frames</title><base href=\"/other/dir/page.html\" target=main>"
        "</head><frameset rows=\"20%,*\"><frame src=top.html name=Top>"
        "<noframes><frame src=hidden.html><p>Your browser</noframes>"
        "<frameset cols=\"*,3*\"><frame src=\"left.html#sec\" noresize>"
        "<script>one</script><frame src=right.html scrolling=No></frameset>"
        "</frameset><frameset rows=*><frame src=late.html></frameset>";
    std::vector<std::pair<TObject*, std::string>> Scripts;
    Host->SetOnScript([&](TObject* Sender, const std::string&, std::unique_ptr<char[]> Script) {
        Scripts.emplace_back(Sender, Script.get());
    });
    EXPECT_TRUE(Parse(Html));
    EXPECT_EQ(Set->Title, "The frames");
    EXPECT_EQ(Set->BaseHref, "/other/dir/page.html");
    EXPECT_EQ(Set->BaseTarget, "main");
    EXPECT_EQ(Parser.State().Title, "The frames");
    // The second top-level FRAMESET adds to the same set.
    ASSERT_EQ(Set->Children.Count(), 3);
    TFrame* Top = Frame(Set.get(), 0);
    ASSERT_NE(Top, nullptr);
    EXPECT_EQ(Top->FrameName, "Top");
    EXPECT_EQ(Top->SourceName, "/other/dir/top.html");
    TSubFrameSet* Inner = SubSet(Set.get(), 1);
    ASSERT_NE(Inner, nullptr);
    EXPECT_EQ(Inner->MasterSet, Set.get());
    EXPECT_FALSE(Inner->IsRows);
    EXPECT_EQ(DimsOf(Inner), (Dims{-1, -3}));
    // The script between the two frames leaves both in place.
    ASSERT_EQ(Inner->Children.Count(), 2);
    TFrame* Left = Frame(Inner, 0);
    EXPECT_EQ(Left->SourceName, "/other/dir/left.html");
    EXPECT_EQ(Left->Anchor, "#sec");
    EXPECT_TRUE(Left->ResizeLocked);
    EXPECT_FALSE(Left->ScrollingOff);
    EXPECT_TRUE(Frame(Inner, 1)->ScrollingOff);
    ASSERT_EQ(Scripts.size(), 1u);
    EXPECT_EQ(Scripts[0].first, Inner);
    EXPECT_EQ(Scripts[0].second, "one");
    // Named frames are found by their upper-cased name.
    int I = -1;
    ASSERT_TRUE(Set->NamedFrames.Find("TOP", I));
    EXPECT_EQ(Set->NamedFrames.Objects(I), Top);
    // Clearing frees the frames and forgets their names.
    Set->ClearChildFrames();
    EXPECT_EQ(Set->Children.Count(), 0);
    EXPECT_EQ(Set->NamedFrames.Count(), 0);
    EXPECT_EQ(Set->DimCount, 0);
}

TEST_F(FramesetFixture, FrameSourcesResolve)
{
    const struct {
        const char* Head;
        const char* Src;
        const char* Source;
        const char* Anchor;
    } Cases[] = {
        {"", "a.html", "/docs/site/a.html", ""},
        {"", "  sub\\b.html#x  ", "/docs/site/sub/b.html", "#x"},
        {"", "/abs/c.html", "/abs/c.html", ""},
        {"", "http://host/d.html", "http://host/d.html", ""},
        {"", "file:///e.html", "/e.html", ""},
        {"<base href=\"/b/base.html\">", "f.html", "/b/f.html", ""},
        {"<base href=dospath>", "g.html", "", ""}, // expanded from the current directory
    };
    for (const auto& C : Cases) {
        Parse(std::string(C.Head) + "<frameset rows=*><frame src=\"" + C.Src + "\"></frameset>");
        TFrame* F = Frame(Set.get(), 0);
        ASSERT_NE(F, nullptr) << C.Src;
        const std::string Expected = *C.Source ? C.Source : ExpandFileName("g.html");
        EXPECT_EQ(F->SourceName, Expected) << C.Src;
        EXPECT_EQ(F->Anchor, C.Anchor) << C.Src;
    }
    // A frame viewer that answers requests gets the name as written.
    Host->OnFileRequest = [](TObject*, const std::string&, std::string&) {};
    Parse("<frameset rows=*><frame src=\" a.html#y\"></frameset>");
    EXPECT_EQ(Frame(Set.get(), 0)->SourceName, "a.html");
    EXPECT_EQ(Frame(Set.get(), 0)->Anchor, "#y");
}

TEST_F(FramesetFixture, BorderOfTheTopFrameset)
{
    const struct {
        const char* Attrs;
        int BorderWidth, OuterBevel;
        bool FrameBevel;
    } Cases[] = {
        {"", 2, 0, true},       {"border=0", 0, 2, false}, {"frameborder=no", 0, 2, false},
        {"border", 1, 1, true}, {"border=5", 5, 0, true},  {"border=-7", 0, 2, false},
    };
    for (const auto& C : Cases) {
        Set = std::make_unique<TFrameSet>(nullptr, Host.get());
        Parse(std::string("<frameset rows=*,* ") + C.Attrs +
              "><frame><frameset cols=*><frame></frameset></frameset>");
        EXPECT_EQ(Set->BorderWidth, C.BorderWidth) << C.Attrs;
        EXPECT_EQ(Set->OuterBevel, C.OuterBevel) << C.Attrs;
        EXPECT_EQ(Set->BevelOuter(), C.OuterBevel > 0 ? bvLowered : bvNone) << C.Attrs;
        TFrame* F = Frame(Set.get(), 0);
        EXPECT_EQ(F->BevelOuter(), C.FrameBevel ? bvLowered : bvNone) << C.Attrs;
        if (C.FrameBevel)
            EXPECT_EQ(F->BevelWidth(), C.BorderWidth) << C.Attrs;
        // A nested frameset takes the top one's border and ignores its own.
        TSubFrameSet* Inner = SubSet(Set.get(), 1);
        EXPECT_EQ(Inner->BorderWidth, C.BorderWidth) << C.Attrs;
        EXPECT_EQ(Inner->OuterBevel, 0) << C.Attrs;
    }
}

TEST_F(FramesetFixture, BrokenAndHostileDocuments)
{
    // What was built before an error stays, and a FRAMESET was found. (The scanner reads past the
    // tag before the builder sees it, so the error comes with the second FRAME.)
    EXPECT_TRUE(Parse("<frameset rows=*,*><frame src=a.html><frame src=b.html><!-- open"));
    EXPECT_EQ(Set->Children.Count(), 1);
    EXPECT_FALSE(Parse("<p>no frames here"));
    EXPECT_EQ(Set->Children.Count(), 0);
    // Nesting beyond the builder's depth limit is ignored.
    std::string Deep;
    for (int I = 0; I < 5000; ++I)
        Deep += "<frameset rows=*,*><frame>";
    EXPECT_TRUE(Parse(Deep));
    int Depth = 0;
    for (TSubFrameSet* S = Set.get(); S; S = S->Children.Count() > 1 ? SubSet(S, 1) : nullptr)
        ++Depth;
    EXPECT_LE(Depth, MaxNestDepth + 1);
    EXPECT_GT(Depth, 10);
    // A nested frameset past the twentieth child is read to its end and kept.
    std::string Full = "<frameset rows=*>";
    for (int I = 0; I < 20; ++I)
        Full += "<frame>";
    Full += "<frameset rows=*,*><frame name=late><frame></frameset><frame name=also></frameset>";
    EXPECT_TRUE(Parse(Full));
    EXPECT_EQ(Set->Children.Count(), 22);
    EXPECT_EQ(SubSet(Set.get(), 20)->Children.Count(), 2);
    EXPECT_EQ(Set->NamedFrames.Count(), 2);
    // The parser builds pages again afterwards.
    Set.reset();
    EXPECT_FALSE(Parser.State().Parsing);
}

} // namespace
