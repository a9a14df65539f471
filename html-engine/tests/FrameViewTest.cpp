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
#include "platform/testing/WinTesting.h"

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
        // Inside the word: its first position is also the end of the line before.
        ASSERT_TRUE(V->SectionList()->CursorToXY(V->PaintPanel()->Canvas(), Pos + 1, X, Y));
        const TPoint P{10 + X + 1, Y - V->SectionList()->YOff + 6};
        AdvanceClock(1000);
        SendMouse(V->PaintPanel(), WM_MOUSEMOVE, P.x, P.y);
        ASSERT_FALSE(V->GetLinkUrl().empty()) << Text;
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

// ---- Links and their targets ------------------------------------------------------------------

class FrameLinkTest : public FrameViewerTest {
protected:
    void SetUp() override
    {
        FrameViewerTest::SetUp();
        Write("nav.html", Page("Nav", "<p><a href=main2.html target=main>ToMain</a>"
                                      "<p><a href=nav2.html>SelfLink</a>"
                                      "<p><a href=one.html target=_top>TopLink</a>"
                                      "<p><a href=x.html target=_blank>BlankLink</a>"
                                      "<p><a href=y.html target=nowhere>UnknownLink</a>"
                                      "<p><a href=top.html target=_top>TopReload</a>"
                                      "<p><a href=top.html target=_parent>ParentReload</a>"
                                      "<p><a href=\"main1.html#end\" target=MAIN>CaseLink</a>"));
        Write("navp.html", Page("NavP", "<p><a href=main2.html target=_parent>UpLink</a>"));
        std::string Long = "<p>first main";
        for (int I = 0; I < 60; ++I)
            Long += "<p>more of the first main page";
        Write("main1.html", Page("Main one", Long + "<p><a name=end>end</a>"));
        Write("main2.html", Page("Main two", "<p>second main"));
        Write("nav2.html", Page("Nav two", "<p>other nav"));
        Write("one.html", Page("One", "<p>one page <a href=two.html>NextPage</a>"));
        Write("two.html", Page("Two", "<p>page two"));
        Write("inner.html", "<frameset rows=*,*><frame src=navp.html name=innernav>"
                            "<frame src=main1.html></frameset>");
        Top = Write("top.html", "<title>Top</title><frameset cols=\"50%,*\"><frame src=nav.html name=nav>"
                                "<frame src=main1.html name=main></frameset>");
        Outer = Write("outer.html", "<frameset rows=*,*><frame src=inner.html name=holder>"
                                    "<frame src=main2.html></frameset>");
        Viewer->OnBlankWindowRequest = [this](TObject*, const std::string& Target, const std::string& URL) {
            Blank.push_back(Target + " " + URL);
        };
    }
    std::string Top, Outer;
    std::vector<std::string> Blank;
};

TEST_F(FrameLinkTest, EachTargetKindGoesWhereItSays)
{
    const struct {
        const char* Link;
        const char* Nav;  // what the frame named nav shows after the click ("" when gone)
        const char* Main; // the same for main
        const char* Title;
        const char* Blank;
    } Cases[] = {
        {"ToMain", "nav.html", "main2.html", "Top", ""},
        {"SelfLink", "nav2.html", "main1.html", "Top", ""},
        {"CaseLink", "nav.html", "main1.html", "Top", ""},
        {"TopLink", "", "", "One", ""},
        {"BlankLink", "nav.html", "main1.html", "Top", "_blank x.html"},
        {"UnknownLink", "nav.html", "main1.html", "Top", "nowhere y.html"},
        {"TopReload", "nav.html", "main1.html", "Top", ""},
        {"ParentReload", "nav.html", "main1.html", "Top", ""},
    };
    for (const auto& C : Cases) {
        Blank.clear();
        Load(Top);
        TFrame* OldNav = Named("nav");
        ClickLink(OldNav, C.Link);
        EXPECT_EQ(FileOf(Named("nav")), C.Nav) << C.Link;
        EXPECT_EQ(FileOf(Named("main")), C.Main) << C.Link;
        EXPECT_EQ(Viewer->GetDocumentTitle(), C.Title) << C.Link;
        EXPECT_EQ(Blank, std::string(C.Blank).empty() ? std::vector<std::string>{}
                                                      : std::vector<std::string>{C.Blank})
            << C.Link;
        EXPECT_EQ(Viewer->LastUrl, C.Link == std::string("ToMain") ? "main2.html" : Viewer->LastUrl);
        // Whatever the click replaced is gone once its handler has returned.
        EXPECT_EQ(Viewer->ControlCount(), 1) << C.Link;
        EXPECT_FALSE(Viewer->IsProcessing()) << C.Link;
    }
    // An anchor of the shown file only scrolls its frame.
    Load(Top);
    ClickLink(Named("nav"), "CaseLink");
    EXPECT_GT(Named("main")->Viewer->VScrollPosition(), 0);
}

TEST_F(FrameLinkTest, ParentOfANestedFramesetIsItsFrame)
{
    Load(Outer);
    TFrame* Holder = Named("holder");
    ASSERT_TRUE(Holder && Holder->NestedSet);
    TSubFrameSet* Inner = Holder->NestedSet;
    ClickLink(Named("innernav"), "UpLink");
    EXPECT_EQ(Named("holder"), Holder);
    EXPECT_EQ(FileOf(Holder), "main2.html");
    EXPECT_EQ(Holder->NestedSet, nullptr);
    // The nested frameset stays, hidden, in the frame's history; its names are gone.
    EXPECT_EQ(Named("innernav"), nullptr);
    EXPECT_FALSE(Inner->Visible());
    ASSERT_EQ(Holder->Visits.Count(), 2);
    EXPECT_EQ(ExtractFileName(Holder->Visits[0]), "main2.html");
    EXPECT_EQ(Holder->Visits.Objects(1), Inner);
    EXPECT_TRUE(Viewer->BackButtonEnabled());
    EXPECT_FALSE(Viewer->FwdButtonEnabled());
}

TEST_F(FrameLinkTest, AOneFramePageReplacedFromItsOwnLink)
{
    // Without history the old page's frameset (and the view that was clicked) is freed, but
    // only after the click has been handled.
    Load(HomeDir() + "/one.html");
    TFrameSet* Old = Shown();
    ClickLink(FrameAt(Shown(), 0), "NextPage");
    EXPECT_NE(Shown(), Old);
    EXPECT_EQ(Viewer->GetDocumentTitle(), "Two");
    EXPECT_EQ(Viewer->ControlCount(), 1);
    // With a history the replaced frameset is kept, hidden.
    Viewer->SetHistoryMaxCount(5);
    Load(HomeDir() + "/one.html");
    ClickLink(FrameAt(Shown(), 0), "NextPage");
    ASSERT_EQ(Viewer->PageNames.Count(), 2);
    EXPECT_EQ(Viewer->PageTitles[1], "One");
    EXPECT_EQ(Viewer->ControlCount(), 2);
}

TEST_F(FrameLinkTest, ATargetClickHandlerCanTakeTheLink)
{
    Load(Top);
    std::string Seen;
    Viewer->OnHotSpotTargetClick = [&](TObject*, const std::string& Target, const std::string& URL,
                                       bool& Handled) {
        Seen = Target + " " + URL;
        Handled = true;
    };
    ClickLink(Named("nav"), "ToMain");
    EXPECT_EQ(Seen, "main main2.html");
    EXPECT_EQ(FileOf(Named("main")), "main1.html");
}

// ---- Dividers ---------------------------------------------------------------------------------

class DividerTest : public FrameViewerTest {
protected:
    void Hover(TFrame* F, int X, int Y) { SendMouse(F, WM_MOUSEMOVE, X, Y); }
    void Drag(TFrame* F, TPoint From, TPoint To)
    {
        AdvanceClock(1000);
        Hover(F, From.x, From.y);
        SendMouse(F, WM_LBUTTONDOWN, From.x, From.y);
        SendMouse(F, WM_MOUSEMOVE, To.x, To.y);
        DuringDrag = DesktopOverlayShown();
        SendMouse(F, WM_LBUTTONUP, To.x, To.y);
        ProcessMessages();
    }
    bool DuringDrag = false;
};

TEST_F(DividerTest, DraggingMovesTheBorderUnlessLocked)
{
    Write("a.html", Page("A", "<p>a"));
    const struct {
        const char* Name;
        const char* Frameset;
        bool Rows;
        bool Moves;
    } Cases[] = {
        {"columns", "<frameset cols=\"200,*\"><frame src=a.html><frame src=a.html></frameset>", false, true},
        {"rows", "<frameset rows=\"100,*\"><frame src=a.html><frame src=a.html></frameset>", true, true},
        {"noresize beside",
         "<frameset cols=\"200,*\"><frame src=a.html><frame src=a.html noresize></frameset>", false, false},
    };
    for (const auto& C : Cases) {
        Load(Write("drag.html", C.Frameset));
        TFrame* First = FrameAt(Shown(), 0);
        TFrame* Second = FrameAt(Shown(), 1);
        const int Edge = C.Rows ? First->Height() : First->Width();
        const TPoint At = C.Rows ? TPoint{150, Edge - 1} : TPoint{Edge - 1, 150};
        const TPoint To = C.Rows ? TPoint{150, Edge + 49} : TPoint{Edge + 49, 150};
        Hover(First, At.x, At.y);
        EXPECT_EQ(First->Cursor(), C.Moves ? (C.Rows ? crVSplit : crHSplit) : crIBeam) << C.Name;
        Drag(First, At, To);
        EXPECT_EQ(DuringDrag, C.Moves) << C.Name;
        EXPECT_FALSE(DesktopOverlayShown()) << C.Name;
        // The divider goes where the pointer was let go.
        const int NewEdge = !C.Moves ? Edge : C.Rows ? To.y : To.x;
        EXPECT_EQ(C.Rows ? First->Height() : First->Width(), NewEdge) << C.Name;
        EXPECT_EQ(C.Rows ? Second->Top() : Second->Left(), NewEdge) << C.Name;
        EXPECT_EQ(C.Rows ? Second->Height() : Second->Width(), (C.Rows ? 300 : 400) - NewEdge) << C.Name;
        EXPECT_EQ(Shown()->DragOwner, nullptr) << C.Name;
    }
}

TEST_F(DividerTest, TheDragStaysBetweenTheNeighbouringDividers)
{
    Write("a.html", Page("A", "<p>a"));
    Load(Write(
        "three.html",
        "<frameset cols=\"100,100,*\"><frame src=a.html><frame src=a.html><frame src=a.html></frameset>"));
    TFrame* Middle = FrameAt(Shown(), 1);
    // The divider between the middle and the last frame, dragged far to the left.
    AdvanceClock(1000);
    Hover(Middle, 99, 150);
    ASSERT_EQ(Middle->Cursor(), crHSplit);
    SendMouse(Middle, WM_LBUTTONDOWN, 99, 150);
    RECT Clip{};
    GetClipCursor(&Clip);
    const TPoint Origin = Shown()->ClientToScreen(TPoint{0, 0});
    EXPECT_EQ(Clip.left - Origin.x, 101);
    EXPECT_EQ(Clip.right - Origin.x, 400);
    SendMouse(Middle, WM_MOUSEMOVE, -500, 150);
    SendMouse(Middle, WM_LBUTTONUP, -500, 150);
    ProcessMessages();
    EXPECT_EQ(FrameAt(Shown(), 0)->Width(), 100);
    EXPECT_EQ(Middle->Width(), 1);
    GetClipCursor(&Clip);
    EXPECT_EQ(Clip.right - Clip.left, GetSystemMetrics(SM_CXSCREEN)); // released
}

// ---- Rendering --------------------------------------------------------------------------------

TEST_F(DividerTest, TwoFramePageRendersEachFrameInItsPlace)
{
    Write("red.html", "<body bgcolor=#ff0000><p>red</body>");
    Write("blue.html", "<body bgcolor=#0000ff><p>blue</body>");
    Load(Write("colours.html",
               "<frameset cols=\"150,*\"><frame src=red.html><frame src=blue.html></frameset>"));
    auto Shot = RenderControl(Viewer);
    EXPECT_EQ(PixelAt(Shot.get(), 75, 200), clRed);
    EXPECT_EQ(PixelAt(Shot.get(), 300, 200), clBlue);
    EXPECT_EQ(PixelAt(Shot.get(), 175, 200), clBlue);
    // The bevels between the frames are no page colour.
    EXPECT_NE(PixelAt(Shot.get(), 149, 200), clRed);
    EXPECT_NE(PixelAt(Shot.get(), 149, 200), clBlue);
    Drag(FrameAt(Shown(), 0), TPoint{149, 200}, TPoint{199, 200});
    Shot = RenderControl(Viewer);
    EXPECT_EQ(PixelAt(Shot.get(), 175, 200), clRed);
    EXPECT_EQ(PixelAt(Shot.get(), 300, 200), clBlue);
}

// ---- A stored form ----------------------------------------------------------------------------

TEST(FrameViewerForm, ReadFromAFormDescription)
{
    TWindowTest Window;
    TForm* Form = CreateFormFromText<TForm>(
        nullptr, "object Form4: TForm\n  Width = 500\n  Height = 400\n"
                 "  object Viewer: TFrameViewer\n    Align = alClient\n    DefFontName = 'Arial'\n"
                 "    DefPreFontName = 'Courier New'\n    DefFontSize = 14\n    HistoryMaxCount = 3\n"
                 "    NoSelect = True\n    PrintMarginLeft = 1.5\n    PrintMarginBottom = 3\n"
                 "    Cursor = crArrow\n  end\nend\n");
    auto* Viewer = dynamic_cast<TFrameViewer*>(Form->FindComponent("Viewer"));
    ASSERT_NE(Viewer, nullptr);
    EXPECT_EQ(Viewer->DefFontName(), "Arial");
    EXPECT_EQ(Viewer->DefFontSize(), 14);
    EXPECT_EQ(Viewer->HistoryMaxCount(), 3);
    EXPECT_TRUE(Viewer->NoSelect());
    EXPECT_EQ(Viewer->PrintMarginLeft(), 1.5);
    EXPECT_EQ(Viewer->PrintMarginBottom(), 3.0);
    EXPECT_EQ(Viewer->PrintMarginTop(), 2.0);
    // The views made for a document take the settings.
    const std::string File = HomeDir() + "/form.html";
    WriteFileBytes(File, "<title>In the form</title><p>text");
    Form->Show();
    Viewer->LoadFromFile(File);
    ProcessMessages();
    EXPECT_EQ(Viewer->GetDocumentTitle(), "In the form");
    THTMLViewer* V = Viewer->ActiveFrameViewer();
    ASSERT_NE(V, nullptr);
    EXPECT_EQ(V->DefFontName(), "Arial");
    EXPECT_EQ(V->DefFontSize(), 14);
    EXPECT_TRUE(V->NoSelect());
    EXPECT_EQ(V->HistoryMaxCount(), 3);
    EXPECT_EQ(V->PrintMarginLeft, 1.5);
    EXPECT_EQ(V->Cursor(), crArrow);
    // And a later change reaches every view.
    Viewer->SetDefFontSize(10);
    EXPECT_EQ(V->DefFontSize(), 10);
    Form->BeforeDestruction();
    delete Form;
    ResetWindowModel();
}

} // namespace
