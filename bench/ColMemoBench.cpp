// The colouring memo under the script editor's nine rules: the full pass over a window and the
// caret-line pass that follows typing one character, on a 10,000-line document and on documents
// of one very long line, and a whole keystroke into a long minified script line. Each pass reads
// the text it scans from the control, as a pass after a scroll or an edit does.
#include "components/colour-memo/ColMemo.h"
#include "platform/app/Application.h"
#include "platform/controls/Forms.h"
#include "platform/rtl/SysUtils.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

namespace {

std::string ScriptEditorRules()
{
    std::ifstream F(std::string(TW_SOURCE_DIR) + "/components/colour-memo/tests/data/ScriptEditorRules.form",
                    std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(F), std::istreambuf_iterator<char>());
}

// A page of tables, paragraphs, images, comments and the odd script line, repeated.
std::string HtmlDocument(int Lines)
{
    std::string T;
    for (int i = 0; i < Lines; ++i) {
        const std::string N = std::to_string(i);
        switch (i % 6) {
        case 0:
            T += "<tr><td width=\"120\" bgcolor=\"#ffffff\"><a href=\"page" + N + ".html\">Chapter " + N +
                 "</a></td>";
            break;
        case 1:
            T += "<p>Some plain paragraph text that runs on for a while, as the text of pages does.</p>";
            break;
        case 2:
            T += "<!-- section " + N + " -->";
            break;
        case 3:
            T += "<img src=\"pic" + N + ".gif\" alt=\"Picture\" border=\"0\" width=\"32\" height=\"32\">";
            break;
        case 4:
            T += "<script language=\"JavaScript\">if (n == 1) alert(\"x\"); var n = n + 1;</script>";
            break;
        default:
            T += "<font face=\"Arial\" size=\"2\" color=\"#000080\">More text in a font.</font><br>";
            break;
        }
        T += "\r\n";
    }
    return T;
}

// A minified script: statements one after the other with no line break.
std::string MinifiedScript(std::size_t Bytes)
{
    std::string T;
    for (int i = 0; T.size() < Bytes; ++i) {
        const std::string N = std::to_string(i);
        T += "function f" + N + "(a,b){if(a==b&&b!=" + N + "){a+=b;document.write(\"<b>\"+a+\"</b>\");}" +
             "else{for(var i=0;i<a;i++){b=b*2-i%3;}}return a||b;}";
    }
    return T;
}

// The HTML document above as one line of at least Bytes bytes.
std::string HtmlOneLine(std::size_t Bytes)
{
    std::string Page = HtmlDocument(600);
    std::erase(Page, '\r');
    std::erase(Page, '\n');
    std::string T;
    while (T.size() < Bytes)
        T += Page;
    return T;
}

struct TMemoDoc {
    std::string Text;
    // Where the caret goes and the window shows: on Line, Column bytes into it (the window is
    // scrolled so that the caret is in it).
    int Line;
    int Column;
};

TMemoDoc TenThousandLines()
{
    return {HtmlDocument(10000), 5020, 40};
}
TMemoDoc OneMegabyteLineAtStart()
{
    return {HtmlOneLine(1 << 20), 0, 40};
}
TMemoDoc OneMegabyteLineInTheMiddle()
{
    return {HtmlOneLine(1 << 20), 0, 1 << 19};
}
TMemoDoc MinifiedScriptLine()
{
    // A page holding one minified script of 89 KB, the caret in the middle of it.
    return {"<html>\r\n<script>\r\n" + MinifiedScript(89 * 1024) + "\r\n</script>\r\n</html>\r\n", 2,
            45 * 1024};
}

// Runs Body with the application up, a memo filling a 1024 x 768 window, holding the document,
// the caret where the document says and the window showing it.
void WithMemo(benchmark::State& State, const TMemoDoc& Doc, const std::function<void(TColorMemo* Memo)>& Body)
{
    std::string Rules = ScriptEditorRules();
    const std::size_t First = Rules.find('\n');
    const std::size_t Last = Rules.rfind("end");
    if (Rules.empty() || First == std::string::npos || Last == std::string::npos) {
        State.SkipWithError("the script editor's rules (tests/data/ScriptEditorRules.form) are missing");
        return;
    }
    const std::string Form = "object Form1: TForm\n  Width = 1024\n  Height = 768\n"
                             "  object ColorMemo1: TColorMemo\n    Align = alClient\n    WordWrap = False\n"
                             "    ScrollBars = ssBoth\n" +
                             Rules.substr(First + 1, Last - First - 1) + "  end\nend\n";
    TForm* F = new TForm(nullptr);
    F->ReadDescription(Form);
    auto* Memo = dynamic_cast<TColorMemo*>(F->FindComponent("ColorMemo1"));
    Memo->Font()->SetName("Courier New");
    Memo->Font()->SetHeight(-13);
    Memo->Font()->SetStyle(TFontStyles{fsBold});
    F->Show();
    Memo->SetText(Doc.Text);
    HWND Wnd = Memo->Handle();
    // The caret's line near the top of the window, the caret in it.
    SendMessage(Wnd, EM_LINESCROLL, 0, std::max(Doc.Line - 20, 0));
    const int At =
        static_cast<int>(SendMessage(Wnd, EM_LINEINDEX, static_cast<WPARAM>(Doc.Line), 0)) + Doc.Column;
    Memo->SetSelStart(At);
    SendMessage(Wnd, EM_SCROLLCARET, 0, 0);
    Application->ProcessMessages();
    if (Memo->ColorRules()->Count() != 9)
        State.SkipWithError("the memo did not get the nine rules");
    else
        Body(Memo);
    F->BeforeDestruction();
    delete F;
}

void FullPass(benchmark::State& State, const TMemoDoc& Doc)
{
    WithMemo(State, Doc, [&](TColorMemo* Memo) {
        HDC DC = GetDC(Memo->Handle());
        for (auto _ : State) {
            Memo->ForgetText();
            Memo->ColorOnto(DC, false);
        }
        ReleaseDC(Memo->Handle(), DC);
        State.counters["runs"] = Memo->LastRuns().Count();
        State.counters["chars"] = Memo->LastScanned();
    });
}

void CaretLinePass(benchmark::State& State, const TMemoDoc& Doc)
{
    WithMemo(State, Doc, [&](TColorMemo* Memo) {
        // One character typed at the caret, then taken back, by turns, so the line stays as long
        // as it was.
        HWND Wnd = Memo->Handle();
        const int At = Memo->SelStart();
        HDC DC = GetDC(Wnd);
        bool Typed = false;
        for (auto _ : State) {
            State.PauseTiming();
            Memo->SetSelStart(Typed ? At + 1 : At);
            SendMessage(Wnd, WM_CHAR, Typed ? VK_BACK : 'x', 0);
            Typed = !Typed;
            Application->ProcessMessages();
            Memo->ForgetText();
            State.ResumeTiming();
            Memo->ColorOnto(DC, true);
        }
        ReleaseDC(Wnd, DC);
        State.counters["runs"] = Memo->LastRuns().Count();
        State.counters["chars"] = Memo->LastScanned();
    });
}

// A keystroke as the user meets it: the character goes through the control, which repaints,
// reports the change and so has the memo colour the caret line.
void TypeOneCharacter(benchmark::State& State, const TMemoDoc& Doc)
{
    WithMemo(State, Doc, [&](TColorMemo* Memo) {
        HWND Wnd = Memo->Handle();
        const int At = Memo->SelStart();
        bool Typed = false;
        for (auto _ : State) {
            SendMessage(Wnd, WM_CHAR, Typed ? VK_BACK : 'x', 0);
            Typed = !Typed;
            Application->ProcessMessages();
        }
        if (Typed) {
            SendMessage(Wnd, WM_CHAR, VK_BACK, 0);
            Application->ProcessMessages();
        }
        State.counters["passes"] = Memo->PassCount();
        if (Memo->SelStart() != At)
            State.SkipWithError("the caret moved");
    });
}

BENCHMARK_CAPTURE(FullPass, TenThousandLines, TenThousandLines())->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(FullPass, OneMegabyteLineAtStart, OneMegabyteLineAtStart())->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(FullPass, OneMegabyteLineInTheMiddle, OneMegabyteLineInTheMiddle())
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(CaretLinePass, TenThousandLines, TenThousandLines())
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(300);
BENCHMARK_CAPTURE(CaretLinePass, OneMegabyteLineAtStart, OneMegabyteLineAtStart())
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(20);

BENCHMARK_CAPTURE(CaretLinePass, OneMegabyteLineInTheMiddle, OneMegabyteLineInTheMiddle())
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(20);

BENCHMARK_CAPTURE(TypeOneCharacter, TenThousandLines, TenThousandLines())
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(100);
BENCHMARK_CAPTURE(TypeOneCharacter, OneMegabyteLineInTheMiddle, OneMegabyteLineInTheMiddle())
    ->Unit(benchmark::kMillisecond)
    ->Iterations(4);
BENCHMARK_CAPTURE(TypeOneCharacter, MinifiedScriptLine, MinifiedScriptLine())
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(20);

// The span finding alone, over the whole text: what a pass costs before it draws anything.
void ScanOnly(benchmark::State& State, const TMemoDoc& Doc)
{
    WithMemo(State, TMemoDoc{"x", 0, 0}, [&](TColorMemo* Memo) {
        std::string Text = Doc.Text;
        Memo->ColorRules()->PrepareRules();
        TColorSpans Spans;
        TScanInput In;
        In.Text = Text.data();
        In.Start = 0;
        In.End = static_cast<int>(Text.size());
        In.Rules = Memo->ColorRules();
        In.HotSpot = Memo->HotSpot();
        if (State.range(0) == 1)
            for (int i = 2; i < Memo->ColorRules()->Count(); ++i)
                Memo->ColorRules()->Items(i)->Enabled = false;
        for (auto _ : State)
            FindColorRuns(In, Spans);
        State.counters["runs"] = Spans.Count();
    });
}
BENCHMARK_CAPTURE(ScanOnly, OneMegabyteLine, OneMegabyteLineAtStart())
    ->Unit(benchmark::kMillisecond)
    ->Arg(0)
    ->Arg(1);
BENCHMARK_CAPTURE(ScanOnly, MinifiedScriptLine, MinifiedScriptLine())->Unit(benchmark::kMillisecond);
} // namespace
