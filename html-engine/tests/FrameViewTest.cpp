// Frames and the frame viewer: sizing the frames of a frameset, loading each frame's document,
// nesting limits, the viewer's files, titles, history and busy state, link targets, dragging
// the dividers with the mouse, and what a click that replaces its own page frees and when.
#include "html-engine/FrameView.h"
#include "html-engine/HtmlParser.h"
#include "html-engine/HtmlViewCtl.h"
#include "platform/controls/Forms.h"
#include "platform/rtl/SysUtils.h"
#include "platform/testing/FormTesting.h"
#include "platform/testing/TestSupport.h"
#include "platform/win/WinTesting.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

using Ints = std::vector<int>;

// ---- Sizing (no windows) ----------------------------------------------------------------------

struct SizingFixture : ::testing::Test {
    THtmlParser Parser;
    TFrameSet Set{nullptr, nullptr};

    // The frameset of Html sized for a rectangle Extent pixels high (rows) or wide (columns).
    Ints SizesOf(const std::string& Html, int Extent)
    {
        Set.ClearChildFrames();
        Parser.FramesetParse(&Set, 1, "/d/f.html", Html.data(), Html.size(), nullptr, nullptr);
        Set.SizeChildren(0, 0, Extent, Extent);
        return Ints(Set.Sizes.begin(), Set.Sizes.end());
    }
};

std::string Frameset(const std::string& Attr, int Frames)
{
    std::string S = "<frameset " + Attr + ">";
    for (int I = 0; I < Frames; ++I)
        S += "<frame src=f" + std::to_string(I) + ".html>";
    return S + "</frameset>";
}

std::string Numbers(int From, int To)
{
    std::string S;
    for (int I = From; I <= To; ++I)
        S += std::to_string(I) + (I < To ? "," : "");
    return S;
}

TEST_F(SizingFixture, SizesFromRowsAndCols)
{
    Ints TwentyOne(20);
    for (int I = 0; I < 20; ++I)
        TwentyOne[static_cast<std::size_t>(I)] = I + 1;
    TwentyOne.push_back(1000 - 210); // the 21st item is ignored: its frame takes one share
    const struct {
        const char* Name;
        std::string Html;
        int Extent;
        Ints Sizes;
    } Cases[] = {
        {"pixels and shares", Frameset("rows=\"100,*,2*\"", 3), 400, {100, 100, 200}},
        {"percentages", Frameset("cols=\"50%,50%\"", 2), 300, {150, 150}},
        {"percentages and a share", Frameset("cols=\"25%,*\"", 2), 400, {100, 300}},
        {"pixel overflow", Frameset("rows=\"300,300,*,10%\"", 4), 400, {200, 200, 0, 0}},
        {"pixels exactly filling", Frameset("rows=\"200,200,*\"", 3), 400, {200, 200, 0}},
        {"21 items", Frameset("rows=\"" + Numbers(1, 21) + "\"", 21), 1000, TwentyOne},
        {"more frames than items", Frameset("cols=\"100,200\"", 3), 600, {100, 200, 300}},
        {"nothing to share", Frameset("rows=\"*,*\"", 2), 0, {0, 0}},
        {"no room at all", Frameset("rows=\"50,50\"", 2), 0, {0, 0}},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(SizesOf(C.Html, C.Extent), C.Sizes) << C.Name;
}

TEST_F(SizingFixture, PlacingNeverGivesNegativeExtents)
{
    for (int Extent : {0, 1, 7}) {
        SizesOf(Frameset("rows=\"*,*,30\"", 3), 0);
        Set.SetBounds(0, 0, Extent, Extent);
        Set.PlaceChildren();
        for (int K = 0; K < Set.Children.Count(); ++K) {
            EXPECT_GE(Set.Child(K)->Height(), 0) << Extent;
            EXPECT_GE(Set.Child(K)->Width(), 0) << Extent;
        }
        for (int Edge : Set.Edges)
            EXPECT_GE(Edge, 0) << Extent;
    }
}

TEST_F(SizingFixture, ANameLeavesTheListWithItsOwnFrameOnly)
{
    SizesOf("<frameset cols=*,*,*><frame name=dup src=a.html><frame name=Dup src=b.html>"
            "<frame name=other></frameset>",
            300);
    auto* Second = dynamic_cast<TFrame*>(Set.Child(1));
    ASSERT_EQ(Set.NamedFrames.Count(), 3);
    Set.Children.Delete(0);
    int I = -1;
    ASSERT_TRUE(Set.NamedFrames.Find("DUP", I));
    EXPECT_EQ(Set.NamedFrames.Objects(I), Second);
    EXPECT_EQ(Set.NamedFrames.Count(), 2);
}

// ---- The frame viewer on a form ---------------------------------------------------------------

class FrameViewerTest : public ::testing::Test {
protected:
    TWindowTest Window; // the test clock, so clicks are no double clicks by accident
    void SetUp() override
    {
        Form = new TForm(nullptr);
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(0, 0, 420, 320);
        Viewer = new TFrameViewer(Form);
        Viewer->SetParent(Form);
        Viewer->SetBounds(0, 0, 400, 300);
        Viewer->SetDefBackground(clWhite);
        Form->Show();
        ProcessMessages();
    }
    void TearDown() override
    {
        Form->BeforeDestruction();
        delete Form;
        ResetWindowModel();
    }
    std::string Write(const std::string& Name, const std::string& Bytes)
    {
        const std::string Path = HomeDir() + "/" + Name;
        WriteFileBytes(Path, Bytes);
        return Path;
    }
    void Load(const std::string& Path)
    {
        Viewer->LoadFromFile(Path);
        ProcessMessages();
    }
    TFrameSet* Shown() const { return Viewer->ShownSet; }
    TFrame* FrameAt(TSubFrameSet* Set, int Index) const { return dynamic_cast<TFrame*>(Set->Child(Index)); }
    TFrame* Named(const std::string& Name) const
    {
        int I = -1;
        return Shown()->NamedFrames.Find(UpperCase(Name), I)
                   ? dynamic_cast<TFrame*>(Shown()->NamedFrames.Objects(I))
                   : nullptr;
    }
    std::string FileOf(TFrame* F) const
    {
        return F && F->Viewer ? ExtractFileName(F->Viewer->GetCurrentFile()) : std::string();
    }
    // Clicks the link whose text is Text in the frame's view.
    void ClickLink(TFrame* F, const std::string& Text)
    {
        ASSERT_TRUE(F && F->Viewer) << Text;
        THTMLViewer* V = F->Viewer;
        const int Pos = V->SectionList()->FindString(0, Text, true);
        ASSERT_GE(Pos, 0) << Text;
        int X = 0, Y = 0;
        ASSERT_TRUE(V->SectionList()->CursorToXY(V->PaintPanel()->Canvas(), Pos, X, Y));
        const TPoint P{10 + X + 2, Y - V->SectionList()->YOff + 6};
        AdvanceClock(1000);
        SendMouse(V->PaintPanel(), WM_MOUSEMOVE, P.x, P.y);
        SendMouse(V->PaintPanel(), WM_LBUTTONDOWN, P.x, P.y);
        SendMouse(V->PaintPanel(), WM_LBUTTONUP, P.x, P.y);
        ProcessMessages();
    }

    TForm* Form = nullptr;
    TFrameViewer* Viewer = nullptr;
};

std::string Page(const std::string& Title, const std::string& Body)
{
    return "<html><head><title>" + Title + "</title></head><body>" + Body + "</body></html>";
}

TEST_F(FrameViewerTest, EachFrameLoadsItsSourceInItsSize)
{
    Write("left.html", Page("Left", "<p>left side"));
    Write("Right.html", Page("Right", "<p>right side"));
    // The second frame names its file in another case: the path mapping finds it.
    const std::string Top = Write("two.html", "<html><head><title>Two frames</title></head>"
                                              "<frameset cols=\"100,*\"><frame src=left.html name=a>"
                                              "<frame src=RIGHT.HTML name=b></frameset></html>");
    Load(Top);
    EXPECT_EQ(Viewer->GetDocumentTitle(), "Two frames");
    ASSERT_EQ(Shown()->Children.Count(), 2);
    EXPECT_EQ(Shown()->AllViewers.Count(), 2);
    TFrame* A = Named("a");
    TFrame* B = Named("b");
    ASSERT_TRUE(A && B);
    EXPECT_EQ(A->Viewer->GetDocumentTitle(), "Left");
    EXPECT_EQ(B->Viewer->GetDocumentTitle(), "Right");
    // 100 pixels and the rest (a loaded frameset has no outer bevel of its own).
    EXPECT_EQ(A->BoundsRect(), Bounds(0, 0, 100, 300));
    EXPECT_EQ(B->BoundsRect(), Bounds(100, 0, 300, 300));
    EXPECT_EQ(Shown()->Edges, (Ints{0, 100, 400}));
    // A resize shares out the new width.
    Viewer->SetBounds(0, 0, 300, 250);
    ProcessMessages();
    EXPECT_EQ(A->BoundsRect(), Bounds(0, 0, 100, 250));
    EXPECT_EQ(B->BoundsRect(), Bounds(100, 0, 200, 250));
}

TEST_F(FrameViewerTest, PlainPagesMissingFilesAndAnchors)
{
    std::string Long = "<html><head><title>Plain</title></head><body>";
    for (int I = 0; I < 80; ++I)
        Long += (I == 60 ? "<a name=far></a>" : "") + std::string("<p>Line ") + std::to_string(I);
    const std::string Plain = Write("plain.html", Long + "</body></html>");
    Load(Plain + "#far");
    EXPECT_EQ(Viewer->GetDocumentTitle(), "Plain");
    ASSERT_EQ(Shown()->AllViewers.Count(), 1);
    EXPECT_GT(Viewer->ActiveFrameViewer()->VScrollPosition(), 0);
    TFrameSet* Before = Shown();
    try {
        Viewer->LoadFromFile(HomeDir() + "/missing.html#far");
        ADD_FAILURE() << "no error";
    } catch (const EInOutError& E) {
        EXPECT_EQ(std::string(E.what()), "Can't locate file: " + HomeDir() + "/missing.html");
    }
    EXPECT_EQ(Shown(), Before);
    EXPECT_EQ(Viewer->GetDocumentTitle(), "Plain");
}

TEST_F(FrameViewerTest, AFrameThatCannotLoadShowsTheErrorPage)
{
    const std::string Top =
        Write("broken.html", "<frameset rows=\"*,*\"><frame src=nothere.html><frame src=ok.html></frameset>");
    Write("ok.html", Page("Fine", "<p>fine"));
    Load(Top);
    TFrame* Bad = FrameAt(Shown(), 0);
    ASSERT_TRUE(Bad && Bad->Viewer);
    EXPECT_GE(Bad->Viewer->SectionList()->FindString(0, "Can't load", true), 0);
    EXPECT_EQ(FrameAt(Shown(), 1)->Viewer->GetDocumentTitle(), "Fine");
}

TEST_F(FrameViewerTest, TwentyFiveFramesInOneFrameset)
{
    Write("cell.html", Page("Cell", "<p>x"));
    std::string Html = "<frameset cols=\"" + Numbers(1, 20) + "\">";
    for (int I = 0; I < 25; ++I)
        Html += "<frame src=cell.html>";
    Load(Write("many.html", Html + "</frameset>"));
    ASSERT_EQ(Shown()->Children.Count(), 25);
    EXPECT_EQ(Shown()->AllViewers.Count(), 25);
    int Right = 0;
    for (int K = 0; K < 25; ++K) {
        EXPECT_GE(Shown()->Child(K)->Width(), 0) << K;
        Right = std::max(Right, Shown()->Child(K)->Left() + Shown()->Child(K)->Width());
    }
    EXPECT_LE(Right, 400);
    // The five frames past the list share what the pixel widths leave.
    EXPECT_GT(Shown()->Child(24)->Width(), 20);
}

TEST_F(FrameViewerTest, NestingStopsAtTheFourthLevel)
{
    // A frameset whose second frame shows itself again.
    const std::string Self =
        Write("self.html", "<frameset rows=\"50,*\"><frame src=leaf.html><frame src=self.html></frameset>");
    Write("leaf.html", Page("Leaf", "<p>leaf"));
    Load(Self);
    // The document and four frames that show it again; the frames of the fourth stay empty.
    std::vector<TSubFrameSet*> Sets;
    for (TSubFrameSet* S = Shown(); S; S = FrameAt(S, 1)->NestedSet) {
        ASSERT_EQ(S->Children.Count(), 2);
        Sets.push_back(S);
    }
    ASSERT_EQ(Sets.size(), 5u);
    for (std::size_t L = 0; L < 4; ++L)
        EXPECT_NE(FrameAt(Sets[L], 0)->Viewer, nullptr) << L;
    for (int K = 0; K < 2; ++K) {
        EXPECT_EQ(FrameAt(Sets[4], K)->Viewer, nullptr);
        EXPECT_EQ(FrameAt(Sets[4], K)->NestedSet, nullptr);
    }
    EXPECT_EQ(Shown()->AllViewers.Count(), 4);
}

TEST_F(FrameViewerTest, HistoryOfFrameDocuments)
{
    std::vector<std::string> Files;
    for (const char* N : {"p1", "p2", "p3", "p4"})
        Files.push_back(Write(std::string(N) + ".html", Page(std::string("Title ") + N, "<p>text")));
    const std::string Frames = Write("fs.html", "<title>Set</title><frameset cols=*,*><frame src=p1.html>"
                                                "<frame src=p2.html></frameset>");
    int Changes = 0;
    Viewer->OnHistoryChange = [&](TObject*) { ++Changes; };
    Viewer->SetHistoryMaxCount(3);
    for (const std::string& F : {Files[0], Frames, Files[1], Files[2]})
        Load(F);
    ASSERT_EQ(Viewer->PageNames.Count(), 3);
    EXPECT_EQ(Viewer->PageIndex, 0);
    EXPECT_EQ(Viewer->PageNames[0], Files[2]);
    EXPECT_EQ(Viewer->PageNames[1], Files[1]);
    EXPECT_EQ(Viewer->PageNames[2], Frames);
    EXPECT_EQ(Viewer->PageTitles[2], "Set");
    EXPECT_EQ(Viewer->PageNames.Objects(0), Shown());
    EXPECT_GE(Changes, 4);
    EXPECT_TRUE(Viewer->BackButtonEnabled());
    EXPECT_FALSE(Viewer->FwdButtonEnabled());
    // Loading the shown file again keeps its frameset and records where it was.
    TFrameSet* Same = Shown();
    Load(Files[2]);
    EXPECT_EQ(Shown(), Same);
    EXPECT_EQ(Viewer->PageNames.Count(), 3);
    // A smaller history starts afresh.
    Viewer->SetHistoryMaxCount(1);
    EXPECT_EQ(Viewer->PageNames.Count(), 0);
    ProcessMessages();
    EXPECT_EQ(Viewer->ControlCount(), 1); // only the shown frameset is left
}

TEST_F(FrameViewerTest, WithoutHistoryReplacedFramesetsAreFreed)
{
    const std::string A = Write("a.html", Page("A", "<p>a"));
    const std::string B = Write("b.html", Page("B", "<p>b"));
    Load(A);
    Load(B);
    Load(A);
    EXPECT_EQ(Viewer->PageNames.Count(), 0);
    EXPECT_EQ(Viewer->ControlCount(), 1);
    EXPECT_EQ(Viewer->GetDocumentTitle(), "A");
}

TEST_F(FrameViewerTest, BusyWhileLoading)
{
    const std::string A = Write("a.html", Page("A", "<p>a"));
    std::vector<bool> Seen;
    bool BusyInside = false;
    Viewer->OnProcessing = [&](TObject* Sender, bool On) {
        EXPECT_EQ(Sender, Viewer);
        Seen.push_back(On);
        BusyInside = BusyInside || Viewer->IsProcessing();
    };
    Load(A);
    ASSERT_FALSE(Seen.empty());
    EXPECT_TRUE(Seen.front());
    EXPECT_FALSE(Seen.back());
    EXPECT_TRUE(BusyInside);
    EXPECT_FALSE(Viewer->IsProcessing());
    // A view that reports busy makes the viewer busy and ignores loads.
    THTMLViewer* V = Viewer->ActiveFrameViewer();
    Seen.clear();
    V->SetProcessing(true);
    EXPECT_TRUE(Viewer->IsProcessing());
    EXPECT_EQ(Seen, std::vector<bool>{true});
    Viewer->LoadFromFile(HomeDir() + "/missing.html"); // ignored, no error
    V->SetProcessing(false);
    EXPECT_FALSE(Viewer->IsProcessing());
    EXPECT_EQ(Seen, (std::vector<bool>{true, false}));
}

} // namespace
