// The view under the mouse: focus on the first click, selection by dragging, double click and
// shift, automatic scrolling while a drag is outside, links (hover, click, following), history,
// image maps and form submissions. All input goes through the window model's input path.
#include "html-engine/HtmlForms.h"
#include "html-engine/HtmlImages.h"
#include "html-engine/HtmlSections.h"
#include "html-engine/HtmlViewCtl.h"
#include "html-engine/tests/ImageFixtures.h"
#include "html-engine/tests/ViewFixture.h"
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

const std::string Words = "<p>alpha beta42 gamma</p><p>second line here</p>";

// One paragraph of N lines: text all the way down, with no gaps between blocks.
std::string Lines(int N)
{
    std::string S = "<p>";
    for (int I = 0; I < N; ++I)
        S += "Line " + std::to_string(I) + " of the page.<br>";
    return S + "</p>";
}

class ViewMouseTest : public ViewFixture {
protected:
    TWindowTest Window; // the test clock drives the timers
    void SetUp() override
    {
        ViewFixture::SetUp();
        Viewer->SetBounds(0, 0, 300, 200); // leaves room on the form below the panel for drags
        ProcessMessages();
    }
    void TearDown() override
    {
        if (Form)
            ViewFixture::TearDown();
        else
            ResetWindowModel();
    }

    TPaintPanel* Panel() const { return Viewer->PaintPanel(); }
    int PanelHeight() const { return Panel()->Height(); }
    void LoadFile(const std::string& Path)
    {
        Viewer->LoadFromFile(Path);
        ProcessMessages();
    }
    // A panel point just inside the character at document position Pos (the left half of even
    // a narrow letter).
    TPoint PointAt(int Pos)
    {
        int X = 0, Y = 0;
        EXPECT_TRUE(Viewer->SectionList()->CursorToXY(Panel()->Canvas(), Pos, X, Y)) << Pos;
        return TPoint{10 - Viewer->HScrollPosition() + X + 1, Y - Viewer->SectionList()->YOff + 8};
    }
    int PosOf(const std::string& Text)
    {
        const int P = Viewer->SectionList()->FindString(0, Text, true);
        EXPECT_GE(P, 0) << Text;
        return P;
    }
    TPoint PointOf(const std::string& Text, int Into = 0) { return PointAt(PosOf(Text) + Into); }

    void Press(TPoint P, WPARAM Keys = 0) { SendMouse(Panel(), WM_LBUTTONDOWN, P.x, P.y, Keys); }
    void MoveTo(TPoint P) { SendMouse(Panel(), WM_MOUSEMOVE, P.x, P.y); }
    void Release(TPoint P) { SendMouse(Panel(), WM_LBUTTONUP, P.x, P.y); }
    // Long enough after the last press that the next one is no double click.
    void Pause() { AdvanceClock(1000); }
    void Drag(TPoint From, TPoint To)
    {
        Pause();
        MoveTo(From);
        Press(From);
        MoveTo(To);
        Release(To);
    }
    void Click(TPoint P, WPARAM Keys = 0)
    {
        Pause();
        MoveTo(P);
        Press(P, Keys);
        Release(P);
    }
};

// ---- Focus and selection ----------------------------------------------------------------------

TEST_F(ViewMouseTest, FirstClickIntoAnUnfocusedViewOnlyFocusesIt)
{
    LoadString(Words);
    ASSERT_FALSE(Viewer->Focused());
    Drag(PointOf("alpha"), PointOf("gamma"));
    EXPECT_TRUE(Viewer->Focused());
    EXPECT_EQ(Viewer->SelLength(), 0);
    EXPECT_EQ(Viewer->SelText(), "");

    Drag(PointOf("alpha"), PointOf("gamma"));
    EXPECT_EQ(Viewer->SelText(), "alpha beta42 ");
}

TEST_F(ViewMouseTest, DragSelectsBetweenThePressAndThePointerEitherWay)
{
    LoadString(Words);
    Focus();
    struct TCase {
        const char* Name;
        const char* From;
        const char* To;
        const char* Text;
    };
    const TCase Cases[] = {
        {"forward", "beta42", "gamma", "beta42 "},
        {"backward", "gamma", "beta42", "beta42 "},
        {"one character", "beta42", "eta42", "b"},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        Drag(PointOf(C.From), PointOf(C.To));
        EXPECT_EQ(Viewer->SelStart(), PosOf(C.Text));
        EXPECT_EQ(Viewer->SelLength(), static_cast<int>(std::string(C.Text).size()));
        EXPECT_EQ(Viewer->SelText(), C.Text);
        EXPECT_EQ(Viewer->CaretPos, PosOf(C.To));
    }

    // Across blocks the text has its line end; a plain click empties the selection.
    Drag(PointOf("gamma"), PointOf("line"));
    const std::string Text = Viewer->SelText();
    EXPECT_EQ(Text.substr(0, 7), "gamma\r\n") << Text;
    EXPECT_EQ(Text.substr(Text.size() - 7), "second ") << Text;
    EXPECT_EQ(Viewer->SelLength(), static_cast<int>(Text.size()));
    Click(PointOf("here"));
    EXPECT_EQ(Viewer->SelLength(), 0);
    EXPECT_EQ(Viewer->SelStart(), PosOf("here"));

    // Below the last line the selection runs to the end of the document.
    TSectionList* Doc = Viewer->SectionList();
    ASSERT_LT(Viewer->DocHeight(), PanelHeight() - 10);
    Drag(PointOf("line"), TPoint{40, PanelHeight() - 5});
    EXPECT_EQ(Doc->SelB, PosOf("line"));
    EXPECT_EQ(Doc->SelE, Doc->StartCurs + Doc->Len);
    EXPECT_EQ(Viewer->SelText().substr(0, 9), "line here");
}

TEST_F(ViewMouseTest, ShiftClickExtendsFromWhereTheSelectionStarted)
{
    LoadString(Words);
    Focus();
    Click(PointOf("beta42"));
    Click(PointOf("gamma"), MK_SHIFT);
    EXPECT_EQ(Viewer->SelText(), "beta42 ");
    Click(PointOf("alpha"), MK_SHIFT);
    EXPECT_EQ(Viewer->SelText(), "alpha ");
    Click(PointOf("gamma")); // without shift a click starts anew
    EXPECT_EQ(Viewer->SelLength(), 0);
}

TEST_F(ViewMouseTest, DoubleClickSelectsTheWordOfLettersAndDigits)
{
    LoadString(Words);
    Focus();
    struct TCase {
        const char* Name;
        TPoint At;
        const char* Word; // empty: nothing selected
    };
    const TCase Cases[] = {
        {"word with digits", PointOf("beta42", 2), "beta42"},
        {"first word", PointOf("alpha", 4), "alpha"},
        {"last word of a block", PointOf("gamma", 1), "gamma"},
        {"blank between words", PointOf(" beta42"), ""},
        // Past the line's end the next block's first word must not be taken.
        {"past the end of the text", TPoint{280, PointOf("alpha").y}, ""},
    };
    TSectionList* Doc = Viewer->SectionList();
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        Click(PointOf("second")); // an empty selection to start from
        Pause();
        DoubleClickControl(Panel(), C.At.x, C.At.y);
        const std::string Word = C.Word;
        if (Word.empty()) {
            EXPECT_EQ(Viewer->SelLength(), 0);
            continue;
        }
        EXPECT_EQ(Viewer->SelStart(), PosOf(Word));
        EXPECT_EQ(Doc->SelE - Doc->SelB, static_cast<int>(Word.size()));
        EXPECT_EQ(Viewer->SelText().substr(0, Word.size()), Word);
    }

    Viewer->SetNoSelect(true);
    Pause();
    DoubleClickControl(Panel(), PointOf("alpha").x, PointOf("alpha").y);
    EXPECT_EQ(Viewer->SelLength(), 0);
}

// ---- Automatic scrolling -------------------------------------------------------------------

TEST_F(ViewMouseTest, DragOutsideScrollsEveryTickFasterFarOut)
{
    LoadString(Lines(120));
    Focus();
    const int H = PanelHeight();
    const TPoint Start = PointOf("Line 1 ");
    Pause();
    MoveTo(Start);
    Press(Start);
    MoveTo(TPoint{Start.x, H + 5});
    ASSERT_TRUE(Viewer->AutoScrolling());
    EXPECT_EQ(Viewer->VScrollPosition(), 0); // the first step waits for the timer
    AdvanceClock(99);
    EXPECT_EQ(Viewer->VScrollPosition(), 0);
    AdvanceClock(1);
    EXPECT_EQ(Viewer->VScrollPosition(), 16);
    AdvanceClock(100);
    EXPECT_EQ(Viewer->VScrollPosition(), 32);
    EXPECT_EQ(Viewer->SectionList()->YOff, 32);
    const int Selected = Viewer->SelLength();
    EXPECT_GT(Selected, 0);

    MoveTo(TPoint{Start.x, H + 20});
    AdvanceClock(100);
    EXPECT_EQ(Viewer->VScrollPosition(), 32 + 128);
    EXPECT_GT(Viewer->SelLength(), Selected); // the selection follows the scrolled text

    MoveTo(TPoint{Start.x, -30});
    AdvanceClock(100);
    EXPECT_EQ(Viewer->VScrollPosition(), 32);
    MoveTo(TPoint{Start.x, -2});
    AdvanceClock(100);
    EXPECT_EQ(Viewer->VScrollPosition(), 16);

    // Back inside: the next tick ends it.
    MoveTo(TPoint{Start.x, H / 2});
    AdvanceClock(100);
    EXPECT_FALSE(Viewer->AutoScrolling());
    AdvanceClock(500);
    EXPECT_EQ(Viewer->VScrollPosition(), 16);
    Release(TPoint{Start.x, H / 2});
}

TEST_F(ViewMouseTest, AutoScrollEndsWithTheButtonAndWithTheView)
{
    LoadString(Lines(120));
    Focus();
    const int H = PanelHeight();
    const TPoint Start = PointOf("Line 1 ");
    MoveTo(Start);
    Press(Start);
    MoveTo(TPoint{Start.x, H + 5});
    AdvanceClock(100);
    ASSERT_EQ(Viewer->VScrollPosition(), 16);
    Release(TPoint{Start.x, H + 5});
    EXPECT_FALSE(Viewer->AutoScrolling());
    AdvanceClock(1000);
    EXPECT_EQ(Viewer->VScrollPosition(), 16);

    // The view goes away in the middle of a drag: its timer goes with it.
    Pause();
    Press(Start);
    MoveTo(TPoint{Start.x, H + 5});
    ASSERT_TRUE(Viewer->AutoScrolling());
    Form->Release();
    ProcessMessages();
    Form = nullptr;
    Viewer = nullptr;
    AdvanceClock(1000);
    SimulateMouseAt(5, 5, WM_LBUTTONUP);
}

// ---- Links ----------------------------------------------------------------------------------

TEST_F(ViewMouseTest, HoverShowsTheHandAndReportsEachLinkOnce)
{
    LoadString(
        "<p>plain <a href=\"one.htm\">first</a> and <a href=\"two.htm\" target=\"side\">other</a></p>");
    std::vector<std::string> Covered;
    Viewer->OnHotSpotCovered = [&](TObject*, const std::string& URL) { Covered.push_back(URL); };
    MoveTo(PointOf("first", 1));
    MoveTo(PointOf("first", 3));
    EXPECT_EQ(Panel()->Cursor(), 1);
    EXPECT_EQ(Viewer->GetLinkUrl(), "one.htm");
    MoveTo(PointOf("and"));
    EXPECT_EQ(Panel()->Cursor(), crIBeam);
    MoveTo(PointOf("other", 2));
    EXPECT_EQ(Viewer->GetLinkTarget(), "side");
    // Out of the view altogether.
    SendMouse(Form, WM_MOUSEMOVE, 400, 300);
    EXPECT_EQ(Covered, (std::vector<std::string>{"one.htm", "", "two.htm", ""}));
    EXPECT_EQ(Panel()->Cursor(), crIBeam);
}

TEST_F(ViewMouseTest, LinkClickAsksTheHandlerThenLoadsAndJumps)
{
    const std::string Second = WriteFile("second.html", LongPage(60, 40));
    const std::string First = WriteFile("first.html", "<p>go <a href=\"second.html#mark\">there</a> now</p>");
    Viewer->SetHistoryMaxCount(5);
    for (const bool Handled : {true, false}) {
        SCOPED_TRACE(Handled ? "handled" : "not handled");
        LoadFile(First);
        Focus();
        std::vector<std::string> Clicked;
        Viewer->OnHotSpotClick = [&](TObject*, const std::string& URL, bool& H) {
            Clicked.push_back(URL);
            H = Handled;
        };
        Click(PointOf("there"));
        EXPECT_EQ(Clicked, std::vector<std::string>{"second.html#mark"});
        EXPECT_EQ(Viewer->GetCurrentFile(), ExpandFileName(Handled ? First : Second));
        EXPECT_EQ(Viewer->SelLength(), 0);
    }
    const int Down = Viewer->VScrollPosition();
    EXPECT_GT(Down, 0);
    EXPECT_EQ(Viewer->GetDocumentTitle(), "Long");
    EXPECT_EQ(Viewer->History()->Strings(0), ExpandFileName(Second));
    EXPECT_EQ(Viewer->History()->Strings(1), ExpandFileName(First));
}

TEST_F(ViewMouseTest, LinksIntoTheShownPageJumpWithoutReloading)
{
    const std::string Page =
        WriteFile("self.html", "<p>to <a href=\"#mark\">mark</a> or <a href=\"self.html#mark\">again</a> "
                               "or <a href=\"#nowhere\">lost</a></p>" +
                                   LongPage(60, 40));
    struct TCase {
        const char* Link;
        int HistoryMax;
        bool Jumps;
    };
    const TCase Cases[] = {
        {"mark", 0, true}, {"mark", 3, true}, {"again", 0, true}, {"again", 3, true}, {"lost", 3, false},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(std::string(C.Link) + " with history " + std::to_string(C.HistoryMax));
        Viewer->SetHistoryMaxCount(0);
        Viewer->SetHistoryMaxCount(C.HistoryMax);
        Viewer->Clear(); // so the load makes the first entry
        LoadFile(Page);
        Focus();
        TSectionBase* FirstBlock = Viewer->SectionList()->Block(0);
        const TViewPosition Top = Viewer->GetPosition();
        int Changes = 0;
        Viewer->OnHistoryChange = [&](TObject*) { ++Changes; };
        const int Before = Viewer->History()->Count();
        Click(PointOf(C.Link));
        EXPECT_EQ(Viewer->SectionList()->Block(0), FirstBlock); // the same document
        EXPECT_EQ(Viewer->VScrollPosition() > 0, C.Jumps);
        const int Added = C.Jumps && C.HistoryMax > 0 ? 1 : 0;
        EXPECT_EQ(Viewer->History()->Count(), Before + Added);
        EXPECT_EQ(Changes, Added);
        if (Added) {
            ASSERT_EQ(Viewer->History()->Count(), 2);
            EXPECT_EQ(Viewer->PositionHistory()->ItemAs<PositionObj>(0)->Position, Viewer->GetPosition());
            EXPECT_EQ(Viewer->PositionHistory()->ItemAs<PositionObj>(1)->Position, Top);
        }
        Viewer->OnHistoryChange = nullptr;
    }
}

TEST_F(ViewMouseTest, DoubleClickOnAFollowedLinkSelectsNothing)
{
    LoadString("<p>see <a href=\"#mark\">below</a></p>" + LongPage(60, 40));
    Focus();
    const TPoint At = PointOf("below", 2);
    Pause();
    DoubleClickControl(Panel(), At.x, At.y);
    ASSERT_GT(Viewer->VScrollPosition(), 0);
    EXPECT_EQ(Viewer->SelLength(), 0);
    // The next double click, not on a link, selects again.
    const TPoint Word = PointOf("Paragraph number 41", 3);
    Pause();
    DoubleClickControl(Panel(), Word.x, Word.y);
    EXPECT_EQ(Viewer->SelText(), "Paragraph");
}

TEST_F(ViewMouseTest, LinkTargetsByKind)
{
    const std::string Picture = WriteFile("shot.jpeg", "not really a picture");
    const std::string Upper = WriteFile("Upper.HTM", "<title>Upper</title><p>loaded</p>");
    WriteFile("notes.txt", "text");
    const std::string Page =
        WriteFile("kinds.html", "<p><a href=\"shot.jpeg\">pic</a> <a href=\"notes.txt\">txt</a> "
                                "<a href=\"Upper.HTM\">upper</a> "
                                "<a href=\"http://www.example.com/a.html\">web</a> "
                                "<a href=\"file:Upper.HTM\">fileurl</a></p>");
    struct TCase {
        const char* Link;
        std::string File; // empty: the page stays
        int Kind;
    };
    const TCase Cases[] = {
        {"pic", Picture, 2}, {"txt", "", 0}, {"upper", Upper, 0}, {"web", "", 0}, {"fileurl", Upper, 0},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Link);
        LoadFile(Page);
        Focus();
        Click(PointOf(C.Link));
        EXPECT_EQ(Viewer->GetCurrentFile(), ExpandFileName(C.File.empty() ? Page : C.File));
        EXPECT_EQ(Viewer->CurrentKind(), C.Kind);
    }
}

TEST_F(ViewMouseTest, LinkToAMissingFileReportsItAndKeepsThePage)
{
    const std::string Page =
        WriteFile("page.html", "<p><a href=\"gone.html\">gone</a> <a href=\"#x\">x</a></p>");
    LoadFile(Page);
    Focus();
    testing::internal::CaptureStderr(); // where the report goes without an application
    Click(PointOf("gone"));
    const std::string Report = testing::internal::GetCapturedStderr();
    EXPECT_NE(Report.find("Can't locate file: " + HomeDir() + "/gone.html"), std::string::npos) << Report;
    EXPECT_EQ(Viewer->GetCurrentFile(), ExpandFileName(Page));
    EXPECT_GE(PosOf("gone"), 0);
    // The failed click left no half-done state behind: the next click works.
    std::string Clicked;
    Viewer->OnHotSpotClick = [&](TObject*, const std::string& URL, bool&) { Clicked = URL; };
    Click(PointOf("x"));
    EXPECT_EQ(Clicked, "#x");
}

TEST_F(ViewMouseTest, HandlerThatReplacesOrClosesTheViewEndsTheClick)
{
    const std::string Next = WriteFile("next.html", "<p>next page</p>");
    const std::string Page = WriteFile("page.html", "<p><a href=\"next.html\">onward</a></p>");

    LoadFile(Page);
    Focus();
    Viewer->OnHotSpotClick = [&](TObject*, const std::string&, bool&) {
        const std::string Other = "<p>put in by the handler</p>";
        Viewer->LoadFromMemory(Other.data(), Other.size());
    };
    Click(PointOf("onward"));
    EXPECT_GE(PosOf("handler"), 0);
    EXPECT_EQ(Viewer->GetCurrentFile(), "");

    LoadFile(Page);
    Viewer->OnHotSpotClick = [&](TObject*, const std::string&, bool&) { Form->Close(); };
    Form->OnClose = [](TObject*, TCloseAction& Action) { Action = caFree; };
    Click(PointOf("onward"));
    ProcessMessages();
    Form = nullptr; // freed by its close
    Viewer = nullptr;
}

TEST_F(ViewMouseTest, LinkNamesResolveToNativeFiles)
{
    const std::string Dir = MakeTempDir("site");
    const std::string Page = Dir + "/page.html";
    WriteFileBytes(Page, "<p>x</p>");
    LoadFile(Page);
    struct TCase {
        const char* Link;
        std::string File;
    };
    const TCase Cases[] = {
        {"other.html", Dir + "/other.html"},
        {"  spaced.html ", Dir + "/spaced.html"},
        {"sub\\x.htm", Dir + "/sub/x.htm"},
        {"../up.htm", ExtractFileDir(Dir) + "/up.htm"},
        {"/abs/p.htm", "/abs/p.htm"},
        {"\\abs\\p.htm", "/abs/p.htm"},
        {"file:///abs/p.htm", "/abs/p.htm"},
        {"file:rel.htm", Dir + "/rel.htm"},
        {"C:\\Docs\\A.htm", "/Docs/A.htm"},
        {"d:top.htm", "/top.htm"},
        {"http://www.example.com/A.htm", "http://www.example.com/A.htm"},
        {"mailto:someone@example.com", "mailto:someone@example.com"},
    };
    for (const TCase& C : Cases)
        EXPECT_EQ(Viewer->ResolveFileName(C.Link), C.File) << C.Link;

    struct TBaseCase {
        const char* Base;
        std::string File;
    };
    const TBaseCase Bases[] = {
        {"file:///base/dir/index.html", "/base/dir/x.htm"},
        {"C:\\base\\index.html", "/base/x.htm"},
        {"http://host/dir/index.html", "http://host/dir/x.htm"},
        {"DosPath", ExpandFileName("x.htm")},
    };
    for (const TBaseCase& B : Bases) {
        LoadFile(Page);
        Viewer->SetBase(B.Base);
        EXPECT_EQ(Viewer->ResolveFileName("x.htm"), B.File) << B.Base;
    }
}

TEST(ViewLinks, WebAddressesAreTheOnesWithASchemeOtherThanFile)
{
    struct TCase {
        const char* Link;
        bool Web;
    };
    const TCase Cases[] = {
        {"http://www.example.com/", true},
        {"HTTPS://x", true},
        {"mailto:a@b", true},
        {" ftp://x", true},
        {"svn+ssh://x", true},
        {"file:///x", false},
        {"File:x.htm", false},
        {"C:\\x.htm", false},
        {"c:x.htm", false},
        {"page.htm", false},
        {"dir/a:b.htm", false},
        {"", false},
    };
    for (const TCase& C : Cases)
        EXPECT_EQ(THTMLViewer::IsWebAddress(C.Link), C.Web) << C.Link;
}

// ---- History -----------------------------------------------------------------------------------

TEST_F(ViewMouseTest, HistoryKeepsTheNewestEntriesFirst)
{
    std::vector<std::string> Files;
    for (int I = 0; I < 5; ++I)
        Files.push_back(WriteFile("h" + std::to_string(I) + ".html",
                                  "<title>T" + std::to_string(I) + "</title><p>x</p>"));
    Viewer->SetHistoryMaxCount(3);
    int Changes = 0;
    Viewer->OnHistoryChange = [&](TObject*) { ++Changes; };
    for (const std::string& F : Files)
        LoadFile(F);
    EXPECT_EQ(Changes, 5);
    ASSERT_EQ(Viewer->History()->Count(), 3);
    ASSERT_EQ(Viewer->TitleHistory()->Count(), 3);
    ASSERT_EQ(Viewer->PositionHistory()->Count(), 3);
    for (int I = 0; I < 3; ++I) {
        EXPECT_EQ(Viewer->History()->Strings(I), ExpandFileName(Files[4 - I]));
        EXPECT_EQ(Viewer->TitleHistory()->Strings(I), "T" + std::to_string(4 - I));
    }
    EXPECT_EQ(Viewer->HistoryIndex(), 0);

    Viewer->SetHistoryMaxCount(2); // smaller: the history starts again
    EXPECT_EQ(Viewer->History()->Count(), 0);
    EXPECT_EQ(Changes, 6);
}

// ---- Image maps and form submissions ---------------------------------------------------------

class ViewPictureTest : public ViewMouseTest {
protected:
    void SetUp() override
    {
        ViewMouseTest::SetUp();
        Viewer->SetViewImages(true);
        WriteFile("pic.bmp", image_fixtures::BmpBytes(40, 30, std::vector<std::uint32_t>(40 * 30, 0x0000FF)));
    }
    void LoadPage(const std::string& Html)
    {
        LoadFile(WriteFile("pictures.html", Html));
        Focus();
    }
    // The panel point (X, Y) pixels into the first picture.
    TPoint InPicture(int X, int Y)
    {
        TSectionList* Doc = Viewer->SectionList();
        for (int I = 0; I < Doc->Count(); ++I)
            if (auto* S = dynamic_cast<TSection*>(Doc->Block(I)); S && S->Images.Count() > 0) {
                TImageObj* Img = S->Images.Image(0);
                return TPoint{Img->DrawX + X, Img->DrawY - Doc->YOff + Y};
            }
        ADD_FAILURE() << "no picture";
        return TPoint{};
    }
};

TEST_F(ViewPictureTest, ServerMapClickAddsThePointToTheLink)
{
    LoadPage("<p><a href=\"map.cgi\"><img src=\"pic.bmp\" ismap border=0></a></p>");
    std::vector<std::string> Covered, Clicked;
    Viewer->OnHotSpotCovered = [&](TObject*, const std::string& URL) { Covered.push_back(URL); };
    Viewer->OnHotSpotClick = [&](TObject*, const std::string& URL, bool& Handled) {
        Clicked.push_back(URL);
        Handled = true;
    };
    Click(InPicture(3, 4));
    EXPECT_EQ(Clicked, std::vector<std::string>{"map.cgi?3,4"});
    EXPECT_EQ(Covered, std::vector<std::string>{"map.cgi?3,4"});
    EXPECT_EQ(Panel()->Cursor(), 1);
}

TEST_F(ViewPictureTest, ImageInputSubmitsItsClickAfterTheClickReturns)
{
    LoadPage("<form action=\"go.cgi\" method=\"post\"><input type=hidden name=h value=v>"
             "<input type=image name=m src=\"pic.bmp\"><input type=submit name=go></form>");
    struct TGot {
        std::string Action, Method, Results;
    };
    std::vector<TGot> Got;
    Viewer->SetOnFormSubmit(
        [&](TObject* Sender, const std::string& Action, const std::string& Method, TStringList* Results) {
            EXPECT_EQ(Sender, Viewer);
            Got.push_back({Action, Method, Results->CommaText()});
        });
    MoveTo(InPicture(5, 7));
    EXPECT_EQ(Panel()->Cursor(), 1);
    Click(InPicture(5, 7));
    ASSERT_EQ(Got.size(), 1u);
    EXPECT_EQ(Got[0].Action, "go.cgi");
    EXPECT_EQ(Got[0].Method, "post");
    EXPECT_EQ(Got[0].Results, "h=v,m.x=5,m.y=7");

    // Submitted straight from the control, the handler waits for the message.
    auto* Image = dynamic_cast<TImageFormControlObj*>(
        static_cast<TFormControlObj*>(Viewer->SectionList()->AllFormControls[1]));
    ASSERT_NE(Image, nullptr);
    Image->SubmitFromImage();
    EXPECT_EQ(Got.size(), 1u);
    ProcessMessages();
    EXPECT_EQ(Got.size(), 2u);
    // The click point goes with one submission only.
    auto* Go = static_cast<TFormControlObj*>(Viewer->SectionList()->AllFormControls[2]);
    Pause();
    ClickControl(Go->Control, 5, 5);
    ProcessMessages();
    ASSERT_EQ(Got.size(), 3u);
    EXPECT_EQ(Got[2].Results, "h=v,go=Submit");

    // Without a handler the document has no hook, and a form submits nothing.
    Viewer->SetOnFormSubmit(nullptr);
    EXPECT_FALSE(Viewer->SectionList()->SubmitForm);
    Click(InPicture(5, 7));
    EXPECT_EQ(Got.size(), 3u);
}

TEST_F(ViewMouseTest, EachSubmissionKeepsItsOwnRecord)
{
    struct TGot {
        std::string Action, Method, Results;
    };
    std::vector<TGot> Got;
    Viewer->SetOnFormSubmit(
        [&](TObject*, const std::string& Action, const std::string& Method, TStringList* Results) {
            Got.push_back({Action, Method, Results->CommaText()});
            Results->Add("added by the handler"); // the list is the view's to free, after this
        });
    auto Results = [](std::vector<std::string> Lines) {
        auto L = std::make_unique<TStringList>();
        for (const std::string& S : Lines)
            L->Add(S);
        return L;
    };
    Viewer->SubmitForm("first.cgi", "get", Results({"a=1", "b=2"}));
    Viewer->SubmitForm("second.cgi", "post", Results({"c=3"}));
    EXPECT_TRUE(Got.empty());
    ProcessMessages();
    ASSERT_EQ(Got.size(), 2u);
    EXPECT_EQ(Got[0].Action, "first.cgi");
    EXPECT_EQ(Got[0].Method, "get");
    EXPECT_EQ(Got[0].Results, "a=1,b=2");
    EXPECT_EQ(Got[1].Action, "second.cgi");
    EXPECT_EQ(Got[1].Method, "post");
    EXPECT_EQ(Got[1].Results, "c=3");

    // One still waiting when the view goes is freed with it.
    Viewer->SubmitForm("late.cgi", "get", Results({"d=4"}));
    Form->BeforeDestruction();
    delete Form;
    Form = nullptr;
    Viewer = nullptr;
    ProcessMessages();
    EXPECT_EQ(Got.size(), 2u);
}

// ---- Messages --------------------------------------------------------------------------------

TEST_F(ViewMouseTest, ViewAsksForTheArrowKeys)
{
    EXPECT_EQ(Viewer->Perform(WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS);
}

} // namespace
