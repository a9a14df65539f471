#include "html-engine/HtmlViewCtl.h"

#include "html-engine/HtmlSections.h"
#include "html-engine/tests/ViewFixture.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdButtons.h"
#include "platform/rtl/Streams.h"
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

const std::string DataDir = std::string(TW_TEST_DATA_DIR) + "/tests/data/view/";

// One paragraph of short words: in a view 60 pixels wide with a 48-point font each word takes a
// line of its own, so the block grows taller than 65535 pixels.
std::string TallBlockPage()
{
    std::string S = "<p>Before</p><p>";
    for (int I = 0; I < 1300; ++I)
        S += "ab ";
    return S + "</p><p>After</p>";
}

// Preformatted lines (one block each), for a long document.
std::string TallPrePage(int Lines)
{
    std::string S = "<p>Before</p><pre>";
    for (int I = 0; I < Lines; ++I)
        S += "line " + std::to_string(I) + "\n";
    return S + "</pre><p>After</p>";
}

class HtmlViewTest : public ViewFixture {
protected:
    int Pos() const { return Viewer->VScrollPosition(); }
    int MaxPos() const { return Viewer->DocHeight() - Viewer->PaintPanel()->Height(); }
};

// ---- Loading ----------------------------------------------------------------------------------

TEST_F(HtmlViewTest, EverySourceKindLoadsTheSameDocument)
{
    const std::string Html = "<title>Kinds</title><h1>Head</h1><p>Some text here.</p><hr><p>More</p>";
    const std::string File = WriteFile("kinds.html", Html);
    struct TCase {
        const char* Kind;
        std::function<void()> Load;
        bool HasFile;
    };
    TStringList Lines;
    Lines.SetText(Html);
    TMemoryStream Stream;
    const TCase Cases[] = {
        {"file", [&] { Viewer->LoadFromFile(File); }, true},
        {"strings", [&] { Viewer->LoadFromStrings(&Lines); }, false},
        {"memory", [&] { Viewer->LoadFromMemory(Html.data(), Html.size()); }, false},
        {"stream",
         [&] {
             Stream.Clear();
             Stream.Write(Html.data(), static_cast<Longint>(Html.size()));
             Stream.Seek(0, 0);
             Viewer->LoadFromStream(&Stream);
         },
         false},
    };
    int Height = -1, Blocks = -1;
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Kind);
        Viewer->Clear();
        ASSERT_EQ(Viewer->DocHeight(), 0);
        C.Load();
        EXPECT_EQ(Viewer->GetDocumentTitle(), "Kinds");
        EXPECT_GT(Viewer->DocHeight(), 40);
        EXPECT_EQ(Viewer->GetCurrentFile(), C.HasFile ? ExpandFileName(File) : std::string());
        EXPECT_EQ(Viewer->VScrollPosition(), 0);
        EXPECT_FALSE(Viewer->Processing());
        if (Height < 0) {
            Height = Viewer->DocHeight();
            Blocks = Viewer->SectionList()->Count();
        }
        EXPECT_EQ(Viewer->DocHeight(), Height);
        EXPECT_EQ(Viewer->SectionList()->Count(), Blocks);
    }
}

TEST_F(HtmlViewTest, PlainTextLoadKeepsTheTextAsItIs)
{
    TStringList Lines;
    Lines.SetText("<b>not a tag</b>\r\nsecond line");
    Viewer->LoadStringsAs(&Lines, 1);
    EXPECT_EQ(Viewer->CurrentKind(), 1);
    std::string All;
    for (int I = 0; I < Viewer->SectionList()->Count(); ++I)
        if (auto* S = dynamic_cast<TSection*>(Viewer->SectionList()->Block(I)))
            All += S->Text() + "|";
    EXPECT_NE(All.find("<b>not a tag</b>|second line|"), std::string::npos) << All;
}

TEST_F(HtmlViewTest, MissingFileRaisesAndKeepsTheShownDocument)
{
    const std::string Good = WriteFile("good.html", "<title>Shown</title><p>Text</p>");
    Viewer->LoadFromFile(Good);
    const int Height = Viewer->DocHeight();
    const std::string Missing = HomeDir() + "/no such file.html";
    try {
        Viewer->LoadFromFile(Missing + "#anchor");
        FAIL() << "no exception";
    } catch (const EInOutError& E) {
        EXPECT_EQ(E.Message(), "Can't locate file: " + Missing);
    }
    EXPECT_EQ(Viewer->GetDocumentTitle(), "Shown");
    EXPECT_EQ(Viewer->GetCurrentFile(), ExpandFileName(Good));
    EXPECT_EQ(Viewer->DocHeight(), Height);
    EXPECT_GT(Viewer->SectionList()->Count(), 0);
    EXPECT_FALSE(Viewer->Processing());
}

TEST_F(HtmlViewTest, LoadsWhileProcessingAreIgnored)
{
    LoadString("<title>First</title><p>x</p>");
    Viewer->SetProcessing(true);
    LoadString("<title>Second</title><p>y</p>");
    Viewer->SetProcessing(false);
    EXPECT_EQ(Viewer->GetDocumentTitle(), "First");
}

TEST_F(HtmlViewTest, ProcessingEventFiresAroundALoad)
{
    std::vector<bool> Seen;
    Viewer->OnProcessing = [&](TObject*, bool On) { Seen.push_back(On); };
    LoadString("<p>x</p>");
    EXPECT_EQ(Seen, (std::vector<bool>{true, false}));
}

// A script handler of one view may load another view (as a frame's view loads while its frame
// set is read); each shows its own document with its own title and base. The view whose load
// runs ignores a load of its own meanwhile.
TEST_F(HtmlViewTest, ViewLoadedFromAnotherViewsScriptKeepsItsOwnResults)
{
    auto* Other = new THTMLViewer(Form);
    Other->SetParent(Form);
    Other->SetBounds(0, 0, 200, 100);
    Viewer->SetOnScript([&](TObject*, const std::string&, std::unique_ptr<char[]>) {
        const std::string Inner = "<title>Inner</title><base href=\"http://inner/\"><p>inner text</p>";
        Other->LoadFromMemory(Inner.data(), Inner.size());
        const std::string Again = "<title>Again</title>";
        Viewer->LoadFromMemory(Again.data(), Again.size());
    });
    LoadString("<title>Outer</title><base href=\"http://outer/\" target=main>"
               "<p>before<script>s</script> after</p>");
    EXPECT_EQ(Viewer->GetDocumentTitle(), "Outer");
    EXPECT_EQ(Viewer->GetBase(), "http://outer/");
    EXPECT_EQ(Viewer->GetBaseTarget(), "main");
    EXPECT_EQ(Other->GetDocumentTitle(), "Inner");
    EXPECT_EQ(Other->GetBase(), "http://inner/");
    EXPECT_EQ(Other->GetBaseTarget(), "");
    auto TextOf = [](THTMLViewer* V) {
        std::string All;
        for (int I = 0; I < V->SectionList()->Count(); ++I)
            if (auto* S = dynamic_cast<TSection*>(V->SectionList()->Block(I)))
                All += S->Text();
        return All;
    };
    EXPECT_EQ(TextOf(Viewer), "before after");
    EXPECT_EQ(TextOf(Other), "inner text");
    EXPECT_GT(Other->DocHeight(), 0);
}

// ---- Scrolling ------------------------------------------------------------------------------------

TEST_F(HtmlViewTest, KeysScrollByLineAndPageWithinTheDocument)
{
    LoadString(LongPage(200));
    Focus();
    ASSERT_TRUE(Viewer->VScrollBar()->Visible());
    const int Page = Viewer->VScrollBar()->LargeChange;
    EXPECT_EQ(Page, Viewer->PaintPanel()->Height() - 16);
    struct TStep {
        int Key;
        int Expected; // -1: the last position
    };
    const TStep Steps[] = {
        {VK_DOWN, 16}, {VK_DOWN, 32}, {VK_UP, 16},   {VK_NEXT, 16 + Page}, {VK_PRIOR, 16}, {VK_PRIOR, 0},
        {VK_UP, 0},    {VK_END, -1},  {VK_DOWN, -1}, {VK_NEXT, -1},        {VK_HOME, 0},
    };
    for (const auto& S : Steps) {
        SCOPED_TRACE(S.Key);
        ASSERT_TRUE(PressKey(S.Key));
        const int Want = S.Expected < 0 ? MaxPos() : S.Expected;
        EXPECT_EQ(Pos(), Want);
        EXPECT_EQ(Viewer->SectionList()->YOff, Want);
        EXPECT_EQ(Viewer->VScrollBar()->Position(), Want);
    }
}

TEST_F(HtmlViewTest, OneLineScrollPaintsWhatAFullRepaintPaints)
{
    LoadString(LongPage(60));
    Focus();
    PressKey(VK_DOWN);
    PressKey(VK_DOWN);
    const TDibImage Scrolled = CaptureWindowImage(Viewer->PaintPanel()->Handle());
    Viewer->PaintPanel()->Invalidate();
    const TDibImage Fresh = CaptureWindowImage(Viewer->PaintPanel()->Handle());
    ASSERT_EQ(Scrolled.Pixels.size(), Fresh.Pixels.size());
    EXPECT_TRUE(Scrolled.Pixels == Fresh.Pixels);
}

TEST_F(HtmlViewTest, HorizontalKeysMoveWithinTheWidestLine)
{
    LoadString("<pre>" + std::string(300, 'W') + "</pre>" + LongPage(5));
    Focus();
    ASSERT_TRUE(Viewer->HScrollBar()->Visible());
    PressKey(VK_RIGHT);
    EXPECT_EQ(Viewer->HScrollPosition(), 15);
    PressKey(VK_LEFT);
    PressKey(VK_LEFT);
    EXPECT_EQ(Viewer->HScrollPosition(), 0);
}

TEST_F(HtmlViewTest, ScrollBarArrowsAndTrackScroll)
{
    LoadString(LongPage(200));
    T32ScrollBar* Bar = Viewer->VScrollBar();
    ASSERT_TRUE(Bar->Visible());
    const int Page = Bar->LargeChange;
    ClickControl(Bar, Bar->Width() / 2, Bar->Height() - 3); // lower arrow
    EXPECT_EQ(Pos(), 16);
    EXPECT_TRUE(Viewer->Focused());
    ClickControl(Bar, Bar->Width() / 2, Bar->Height() - Bar->Width() - 4); // track below the thumb
    EXPECT_EQ(Pos(), 16 + Page);
    ClickControl(Bar, Bar->Width() / 2, 3); // upper arrow
    EXPECT_EQ(Pos(), Page);
    EXPECT_EQ(Viewer->SectionList()->YOff, Page);
}

TEST_F(HtmlViewTest, ThumbTrackKeepsPositionsBeyondSixteenBits)
{
    LoadString(TallPrePage(5000));
    ASSERT_GT(Viewer->DocHeight(), 70000);
    Viewer->VScrollNotify(scTrack, 70001);
    EXPECT_EQ(Pos(), 70001);
    Viewer->VScrollNotify(scBottom, 0);
    EXPECT_EQ(Pos(), MaxPos());
    Viewer->VScrollNotify(scTop, 0);
    EXPECT_EQ(Pos(), 0);
}

TEST_F(HtmlViewTest, JumpToAnchorScrollsToTheFirstOfItsName)
{
    LoadString("<p>top</p>" + LongPage(100, 50) + "<a name=\"MARK\">second</a><p>x</p>");
    const int I = Viewer->NameList()->IndexOf("MARK");
    ASSERT_GE(I, 0);
    auto* Section = dynamic_cast<TSectionBase*>(Viewer->NameList()->Objects(I));
    ASSERT_NE(Section, nullptr);
    for (const char* Name : {"mark", "#Mark"}) {
        Viewer->ScrollTo(0);
        EXPECT_TRUE(Viewer->JumpToAnchor(Name));
        EXPECT_EQ(Pos(), Section->StartY);
    }
    EXPECT_GT(Pos(), 0);
    const int Before = Pos();
    EXPECT_FALSE(Viewer->JumpToAnchor("nowhere"));
    EXPECT_FALSE(Viewer->JumpToAnchor(""));
    EXPECT_FALSE(Viewer->JumpToAnchor("#"));
    EXPECT_EQ(Pos(), Before);
}

TEST_F(HtmlViewTest, FileNameWithDestinationJumpsAfterLoading)
{
    const std::string File = WriteFile("anchors.html", LongPage(100, 60));
    Viewer->LoadFromFile(File + "#mark");
    EXPECT_GT(Pos(), 0);
    EXPECT_EQ(Viewer->GetCurrentFile(), ExpandFileName(File));
}

TEST_F(HtmlViewTest, SamplePageLoadsWithItsAnchor)
{
    Viewer->LoadFromFile(DataDir + "sample.html#end");
    EXPECT_EQ(Viewer->GetDocumentTitle(), "Sample page");
    EXPECT_GE(Viewer->NameList()->IndexOf("END"), 0);
    EXPECT_GT(Pos(), 0);
    EXPECT_EQ(Pos(), MaxPos()); // the anchor is near the end: the view stops at the last page
}

TEST_F(HtmlViewTest, ReloadingTheSameFileStaysAnotherFileStartsAtTheTop)
{
    const std::string A = WriteFile("same.html", LongPage(100));
    const std::string B = WriteFile("other.html", LongPage(100));
    Viewer->LoadFromFile(A);
    Viewer->ScrollTo(600);
    Viewer->LoadFromFile(A);
    EXPECT_EQ(Pos(), 600);
    EXPECT_EQ(Viewer->SectionList()->YOff, 600);
    Viewer->LoadFromFile(B);
    EXPECT_EQ(Pos(), 0);
    EXPECT_EQ(Viewer->SectionList()->YOff, 0);
}

// ---- Resizing and reformatting ------------------------------------------------------------------

TEST_F(HtmlViewTest, WidthChangeReflowsAndKeepsTheTopLine)
{
    LoadString(LongPage(150));
    Viewer->ScrollTo(1000);
    const TViewPosition Before = Viewer->GetPosition();
    const int Height = Viewer->DocHeight();
    Viewer->SetBounds(0, 0, 200, 300);
    EXPECT_GT(Viewer->DocHeight(), Height); // narrower: paragraphs wrap
    EXPECT_EQ(Viewer->GetPosition(), Before);
    Viewer->SetBounds(0, 0, 400, 300);
    EXPECT_EQ(Viewer->DocHeight(), Height);
    EXPECT_EQ(Viewer->GetPosition(), Before);
}

TEST_F(HtmlViewTest, HeightChangeKeepsTheLayoutAndReclampsThePosition)
{
    LoadString(LongPage(40));
    PressKey(VK_END);
    Viewer->SetFocus();
    ProcessMessages();
    PressKey(VK_END);
    const int Height = Viewer->DocHeight();
    const int Widest = Viewer->MaxWidth();
    Viewer->SetBounds(0, 0, 400, 500);
    EXPECT_EQ(Viewer->DocHeight(), Height);
    EXPECT_EQ(Viewer->MaxWidth(), Widest);
    EXPECT_EQ(Pos(), MaxPos());
}

TEST_F(HtmlViewTest, ShortDocumentHidesTheBarAndScrollsToTop)
{
    LoadString(LongPage(100));
    Viewer->ScrollTo(500);
    LoadString("<p>short</p>");
    EXPECT_FALSE(Viewer->VScrollBar()->Visible());
    EXPECT_EQ(Pos(), 0);
    EXPECT_EQ(Viewer->PaintPanel()->Width(), 398);
    Viewer->SetBounds(0, 0, 300, 200);
    EXPECT_EQ(Pos(), 0);
    EXPECT_FALSE(Viewer->VScrollBar()->Visible());
}

// The saved position keeps offsets into a block taller than 65535 pixels.
TEST_F(HtmlViewTest, ReformatKeepsOffsetsIntoVeryTallBlocks)
{
    Viewer->SetBounds(0, 0, 60, 300);
    Viewer->SetDefFontSize(48);
    LoadString(TallBlockPage());
    Viewer->ScrollTo(70000);
    const TViewPosition P = Viewer->GetPosition();
    EXPECT_GT(P.Offset, 65535);
    Viewer->Reformat();
    EXPECT_EQ(Pos(), 70000);
    Viewer->SetViewImages(true);
    EXPECT_EQ(Pos(), 70000);
    Viewer->SetDefFontName("Arial");
    EXPECT_EQ(Viewer->GetPosition().Index, P.Index);
    EXPECT_GT(Viewer->GetPosition().Offset, 65535);
}

TEST_F(HtmlViewTest, PositionRoundTripsBlockIndexAndOffset)
{
    LoadString(LongPage(120));
    for (int Y : {0, 37, 900, MaxPos()}) {
        Viewer->ScrollTo(Y);
        const TViewPosition P = Viewer->GetPosition();
        Viewer->ScrollTo(0);
        Viewer->SetPosition(P);
        EXPECT_EQ(Pos(), Y);
    }
    Viewer->ScrollTo(50);
    Viewer->SetPosition(TViewPosition{1 << 20, 0}); // no such block: ignored
    EXPECT_EQ(Pos(), 50);
}

// On a window lower than one line, Page Down must still move down.
TEST_F(HtmlViewTest, PageChangeIsAtLeastOneOnATinyWindow)
{
    LoadString(LongPage(50));
    Viewer->SetBounds(0, 0, 400, 12);
    EXPECT_GE(Viewer->VScrollBar()->LargeChange, 1);
    Viewer->ScrollTo(100);
    Focus();
    PressKey(VK_NEXT);
    EXPECT_GT(Pos(), 100);
    PressKey(VK_PRIOR);
    EXPECT_LE(Pos(), 100);
}

// ---- The image page ---------------------------------------------------------------------------------

TEST_F(HtmlViewTest, PicturePageWritesTheWholeNameEscaped)
{
    const std::string LongDir(300, 'd');
    const std::string Names[] = {
        "/tmp/plain.gif",
        "/tmp/it's \"quoted\".png",
        "/tmp/a&b <c>.jpg",
        "/tmp/" + LongDir + "/picture.bmp",
    };
    for (const auto& Name : Names) {
        SCOPED_TRACE(Name);
        const std::string Page = THTMLViewer::PicturePageMarkup(Name);
        EXPECT_EQ(Page.find('"', 10), Page.size() - 2); // the only other quote closes the value
        TSectionList Doc(nullptr, nullptr);
        THtmlParser().HtmlParseBuffer(&Doc, nullptr, Page.data(), Page.size());
        ASSERT_GT(Doc.Count(), 0);
        auto* S = dynamic_cast<TSection*>(Doc.Block(0));
        ASSERT_NE(S, nullptr);
        ASSERT_EQ(S->Images.Count(), 1);
        EXPECT_EQ(S->Images.Image(0)->Source, Name);
    }
}

TEST_F(HtmlViewTest, LoadPictureFileShowsTheImageOfThatName)
{
    const std::string Dir = MakeTempDir("pics & \"more\"");
    const std::string File = Dir + "/" + std::string(200, 'p') + ".gif";
    WriteFileBytes(File, "GIF89a");
    Viewer->LoadPictureFile(File);
    EXPECT_EQ(Viewer->CurrentKind(), 2);
    EXPECT_EQ(Viewer->GetCurrentFile(), ExpandFileName(File));
    auto* S = dynamic_cast<TSection*>(Viewer->SectionList()->Block(0));
    ASSERT_NE(S, nullptr);
    ASSERT_EQ(S->Images.Count(), 1);
    EXPECT_EQ(S->Images.Image(0)->Source, File);
}

// ---- History positions ------------------------------------------------------------------------------

TEST_F(HtmlViewTest, HistoryStepRemembersTheFullPosition)
{
    Viewer->SetBounds(0, 0, 60, 300);
    Viewer->SetDefFontSize(48);
    const std::string A = WriteFile("a.html", TallBlockPage());
    const std::string B = WriteFile("b.html", "<p>b</p>");
    Viewer->SetHistoryMaxCount(5);
    Viewer->LoadFromFile(A);
    Viewer->ScrollTo(70000);
    const TViewPosition P = Viewer->GetPosition();
    Viewer->LoadFromFile(B);
    ASSERT_EQ(Viewer->History()->Count(), 2);
    EXPECT_EQ(Viewer->History()->Strings(0), ExpandFileName(B));
    EXPECT_EQ(Viewer->History()->Strings(1), ExpandFileName(A));
    auto* Old = Viewer->PositionHistory()->ItemAs<PositionObj>(1);
    EXPECT_EQ(Old->Position, P);
    EXPECT_GT(Old->Position.Offset, 65535);
    EXPECT_EQ(Old->Serial, 0);
}

// ---- Properties -----------------------------------------------------------------------------------------

TEST_F(HtmlViewTest, PropertySettersClampAndIgnore)
{
    Viewer->SetDefFontSize(3);
    EXPECT_EQ(Viewer->DefFontSize(), 6);
    Viewer->SetImageCacheCount(50);
    EXPECT_EQ(Viewer->ImageCacheCount(), 20);
    Viewer->SetImageCacheCount(-4);
    EXPECT_EQ(Viewer->ImageCacheCount(), 0);
    Viewer->SetDefFontName(std::string(40, 'F'));
    EXPECT_EQ(Viewer->DefFontName().size(), 31u);
    Viewer->SetHistoryMaxCount(-1);
    EXPECT_EQ(Viewer->HistoryMaxCount(), 0);
    Viewer->SetBase("http://a/");
    Viewer->SetBase("http://b/");
    EXPECT_EQ(Viewer->GetBase(), "http://a/");

    LoadString("<p>Some selectable text</p>");
    Viewer->SectionList()->SelB = 0;
    Viewer->SectionList()->SelE = 4;
    Viewer->SetSelLength(5);
    EXPECT_EQ(Viewer->SectionList()->SelE, 4);
    Viewer->SetSelLength(0);
    EXPECT_EQ(Viewer->SelLength(), 0);
}

TEST_F(HtmlViewTest, FontSizeChangeRelaysTheDocument)
{
    LoadString(LongPage(20));
    const int Height = Viewer->DocHeight();
    Viewer->SetDefFontSize(24);
    EXPECT_GT(Viewer->DocHeight(), Height);
}

// ---- Painting ---------------------------------------------------------------------------------------------

TEST_F(HtmlViewTest, PaintShowsBackgroundTextAndRuleWhereLayoutPutsThem)
{
    LoadString("<body bgcolor=\"#FFFFC0\"><p>HHHHHHHH HHHHHHHH</p><hr><p>after</p></body>");
    TSectionList* Doc = Viewer->SectionList();
    TSectionBase* Text = nullptr;
    THorzLine* Rule = nullptr;
    for (int I = 0; I < Doc->Count(); ++I) {
        auto* S = dynamic_cast<TSection*>(Doc->Block(I));
        if (!Text && S && S->Text().find("HHH") != std::string::npos)
            Text = S;
        if (!Rule)
            Rule = dynamic_cast<THorzLine*>(Doc->Block(I));
    }
    ASSERT_TRUE(Text && Rule);
    auto Image = RenderControl(Viewer);
    ASSERT_TRUE(Image);
    // Background from the document's BODY colour, away from any text.
    EXPECT_EQ(PixelAt(Image.get(), 300, 250), RGB(0xFF, 0xFF, 0xC0));
    // Text starts at the 10-pixel margin inside the 1-pixel inset: ink in the first line's band
    // right of x = 11 and none left of it.
    auto Dark = [&](int X, int Y) {
        const TColor C = PixelAt(Image.get(), X, Y);
        return GetRValue(C) + GetGValue(C) + GetBValue(C) < 3 * 128;
    };
    const int Top = 1 + Text->StartY, Bottom = Top + Text->SectionHeight;
    int FirstInk = -1;
    for (int X = 0; X < 200 && FirstInk < 0; ++X)
        for (int Y = Top; Y < Bottom; ++Y)
            if (Dark(X, Y)) {
                FirstInk = X;
                break;
            }
    EXPECT_GE(FirstInk, 11);
    EXPECT_LE(FirstInk, 14);
    // The rule crosses the page at its layout place.
    bool RuleFound = false;
    for (int Y = 1 + Rule->StartY; Y < 1 + Rule->StartY + Rule->SectionHeight && !RuleFound; ++Y)
        RuleFound = PixelAt(Image.get(), 200, Y) != RGB(0xFF, 0xFF, 0xC0);
    EXPECT_TRUE(RuleFound);
}

TEST_F(HtmlViewTest, DefaultFontColourPaintsTheText)
{
    Viewer->SetDefFontColor(clRed);
    LoadString("<body bgcolor=white><p><font size=7>HHHH</font></p>");
    auto Image = RenderControl(Viewer);
    int Red = 0;
    for (int Y = 0; Y < 100; ++Y)
        for (int X = 0; X < 200; ++X)
            Red += PixelAt(Image.get(), X, Y) == clRed;
    EXPECT_GT(Red, 50);
}

TEST_F(HtmlViewTest, PaintFollowsTheScrollPosition)
{
    LoadString("<body bgcolor=white>" + LongPage(80));
    auto Top = RenderControl(Viewer);
    Viewer->ScrollTo(200);
    ProcessMessages();
    auto Moved = RenderControl(Viewer);
    // Row 220 of the top view is row 20 after scrolling by 200.
    int Same = 0;
    for (int X = 1; X < 380; ++X)
        Same += PixelAt(Top.get(), X, 220) == PixelAt(Moved.get(), X, 20);
    EXPECT_EQ(Same, 379);
}

TEST_F(HtmlViewTest, BackgroundComesFromTheDocumentOrTheDefault)
{
    struct TCase {
        const char* Html;
        TColor Expected;
    };
    Viewer->SetDefBackground(RGB(0xC0, 0xDC, 0xC0));
    const TCase Cases[] = {
        {"<p>no colour of its own</p>", RGB(0xC0, 0xDC, 0xC0)},
        {"<body bgcolor=\"#203040\"><p>x</p></body>", RGB(0x20, 0x30, 0x40)},
        {"<body bgcolor=red><p>x</p></body>", RGB(0xFF, 0, 0)},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Html);
        LoadString(C.Html);
        auto Image = RenderControl(Viewer);
        EXPECT_EQ(PixelAt(Image.get(), 200, 200), C.Expected);
        EXPECT_EQ(PixelAt(Image.get(), 1, 299 - 1), C.Expected); // the panel reaches the inset
    }
}

TEST_F(HtmlViewTest, FrameFollowsBorderStyleAndFocus)
{
    struct TCase {
        THTMLBorderStyle Style;
        bool Focused;
        bool Framed;
    };
    const TCase Cases[] = {
        {htFocused, true, true},
        {htFocused, false, false},
        {htSingle, false, true},
        {htNone, true, false},
    };
    Viewer->SetDefBackground(clWhite);
    LoadString("<p>x</p>");
    TButton* Other = new TButton(Form);
    Other->SetParent(Form);
    Other->SetBounds(405, 0, 10, 10);
    for (const auto& C : Cases) {
        SCOPED_TRACE(static_cast<int>(C.Style) * 10 + C.Focused);
        Viewer->SetBorderStyle(C.Style);
        Viewer->Reformat(); // the inset changes at the next layout
        if (C.Focused)
            Viewer->SetFocus();
        else
            Other->SetFocus();
        ProcessMessages();
        auto Image = RenderControl(Viewer);
        const TColor Edge = PixelAt(Image.get(), 0, 150);
        if (C.Framed)
            EXPECT_EQ(Edge, GetSysColor(COLOR_BTNTEXT));
        else
            EXPECT_EQ(Edge, clWhite);
        EXPECT_EQ(Viewer->PaintPanel()->Left(), C.Style == htNone ? 0 : 1);
    }
}

TEST_F(HtmlViewTest, ScrollBarsStyleDecidesWhichBarsShow)
{
    LoadString("<pre>" + std::string(300, 'W') + "</pre>" + LongPage(100));
    struct TCase {
        TScrollStyle Style;
        bool Vert, Horz;
    };
    const TCase Cases[] = {
        {ssBoth, true, true},
        {ssVertical, true, false},
        {ssHorizontal, false, true},
        {ssNone, false, false},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(static_cast<int>(C.Style));
        Viewer->SetScrollBars(C.Style);
        EXPECT_EQ(Viewer->VScrollBar()->Visible(), C.Vert);
        EXPECT_EQ(Viewer->HScrollBar()->Visible(), C.Horz);
        EXPECT_EQ(Viewer->PaintPanel()->Width(), C.Vert ? 400 - 2 - 16 : 398);
        EXPECT_EQ(Viewer->PaintPanel()->Height(), C.Horz ? 300 - 2 - 16 : 298);
    }
}

TEST_F(HtmlViewTest, ClearEmptiesTheView)
{
    LoadString("<title>T</title><base href=\"http://x/\">" + LongPage(100, 3));
    Viewer->ScrollTo(400);
    Viewer->Clear();
    EXPECT_EQ(Viewer->SectionList()->Count(), 0);
    EXPECT_EQ(Viewer->NameList()->Count(), 0);
    EXPECT_EQ(Viewer->GetDocumentTitle(), "");
    EXPECT_EQ(Viewer->GetBase(), "");
    EXPECT_FALSE(Viewer->VScrollBar()->Visible());
    EXPECT_EQ(Viewer->SectionList()->YOff, 0);
    auto Image = RenderControl(Viewer);
    EXPECT_EQ(PixelAt(Image.get(), 200, 20), clWhite);
}

TEST_F(HtmlViewTest, AnchorInATableTooWideToShowLeadsNowhere)
{
    std::vector<std::string> Errors;
    SetProcessErrorHandler([&](const std::string& M) { Errors.push_back(M); });
    std::string Html = "<p>top<table><tr><td><a name=inside>x</a><form><input type=text></form>";
    for (int I = 0; I < 30; ++I)
        Html += "<td>c";
    LoadString(Html + "</table><a name=after>after</a>");
    EXPECT_EQ(Errors, std::vector<std::string>{"Table has too many Columns"});
    EXPECT_FALSE(Viewer->JumpToAnchor("inside"));
    EXPECT_TRUE(Viewer->JumpToAnchor("after"));
    EXPECT_EQ(Viewer->SectionList()->AllFormControls.Count(), 0);
    Viewer->Reformat();
    ProcessMessages();
    EXPECT_EQ(Errors.size(), 1u);
    SetProcessErrorHandler(nullptr);
}

} // namespace
