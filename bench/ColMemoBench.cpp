// The colouring memo's pass: a full window of a 10,000-line HTML document under the script
// editor's nine rules, and the caret-line pass that follows typing one character. Each pass reads
// the text it scans from the control, as a pass after a scroll or an edit does.
#include "components/colour-memo/ColMemo.h"
#include "platform/app/Application.h"
#include "platform/controls/Forms.h"
#include "platform/rtl/SysUtils.h"

#include <benchmark/benchmark.h>

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

// Runs Body with the application up, a memo filling a 1024 x 768 window, holding the document
// and scrolled to its middle.
void WithMemo(benchmark::State& State, const std::function<void(TColorMemo* Memo)>& Body)
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
    Memo->SetText(HtmlDocument(10000));
    SendMessage(Memo->Handle(), EM_LINESCROLL, 0, 5000);
    Application->ProcessMessages();
    if (Memo->ColorRules()->Count() != 9)
        State.SkipWithError("the memo did not get the nine rules");
    else
        Body(Memo);
    F->BeforeDestruction();
    delete F;
}

void BM_ColMemoFullPass(benchmark::State& State)
{
    WithMemo(State, [&](TColorMemo* Memo) {
        HDC DC = GetDC(Memo->Handle());
        for (auto _ : State) {
            Memo->ForgetText();
            Memo->ColorOnto(DC, false);
        }
        ReleaseDC(Memo->Handle(), DC);
        State.counters["runs"] = Memo->LastRuns().Count();
        State.counters["chars"] = Memo->LastScanEnd() - Memo->LastScanStart();
    });
}
BENCHMARK(BM_ColMemoFullPass)->Unit(benchmark::kMicrosecond);

void BM_ColMemoCaretLinePass(benchmark::State& State)
{
    WithMemo(State, [&](TColorMemo* Memo) {
        // The caret on a line in the middle of the window; one character typed there, then taken
        // back, by turns, so the line stays as long as it was.
        HWND Wnd = Memo->Handle();
        const int Line = static_cast<int>(SendMessage(Wnd, EM_GETFIRSTVISIBLELINE, 0, 0)) + 20;
        const int At = static_cast<int>(SendMessage(Wnd, EM_LINEINDEX, static_cast<WPARAM>(Line), 0)) + 40;
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
        State.counters["chars"] = Memo->LastScanEnd() - Memo->LastScanStart();
    });
}
BENCHMARK(BM_ColMemoCaretLinePass)->Unit(benchmark::kMicrosecond)->Iterations(300);

} // namespace
