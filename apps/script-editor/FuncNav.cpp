#include "apps/script-editor/FuncNav.h"

#include "apps/script-editor/Childwin.h"
#include "apps/script-editor/Main.h"
#include "platform/controls/Dialogs.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win/Messages.h"
#include "platform/win/WinUser.h"

#include <algorithm>
#include <array>

namespace funcnav {

namespace {

const std::string Word = "function";
constexpr int WordLength = 8;

// Leftmost first: blank-word-blank, LF-word-blank, LF-word-CR, blank-word-CR.
const std::array<std::string, 4> ForwardPatterns = {" " + Word + " ", "\n" + Word + " ", "\n" + Word + "\r",
                                                    " " + Word + "\r"};

std::array<std::string, 4> Reversed(std::array<std::string, 4> Patterns)
{
    for (std::string& P : Patterns)
        std::reverse(P.begin(), P.end());
    return Patterns;
}

const std::array<std::string, 4> BackwardPatterns = Reversed(ForwardPatterns);

// Count characters of S from the 1-based position Index, clipped to the text (none past it).
std::string Copy(const std::string& S, long Index, long Count)
{
    long Length = static_cast<long>(S.size());
    long From = Index < 1 ? 0 : std::min(Index - 1, Length);
    long N = std::clamp(Count, 0L, Length - From);
    return S.substr(static_cast<std::size_t>(From), static_cast<std::size_t>(N));
}

const std::string Frame = "  ";

} // namespace

int MatchWindow(const std::string& Window, bool Reversed)
{
    const auto& Patterns = Reversed ? BackwardPatterns : ForwardPatterns;
    std::array<int, 4> At{};
    for (std::size_t I = 0; I < Patterns.size(); ++I) {
        std::size_t P = Window.find(Patterns[I]);
        At[I] = P == std::string::npos ? NotInWindow : static_cast<int>(P) + 1;
    }
    // A hit lies strictly before each of the other three (two patterns never start together).
    int Hit = 0;
    for (std::size_t I = 0; I < At.size(); ++I) {
        bool Leftmost = At[I] < NotInWindow;
        for (std::size_t J = 0; J < At.size() && Leftmost; ++J)
            if (J != I && At[J] <= At[I])
                Leftmost = false;
        if (Leftmost)
            Hit = At[I] + 1; // the separator stands at the pattern's position
    }
    return Hit;
}

std::optional<THit> FindForward(const std::string& Text, int From)
{
    const std::string Lower = LowerCase(Text);
    const long Length = static_cast<long>(Lower.size());
    From = std::clamp(From, 0, static_cast<int>(Length));
    long Pos = static_cast<long>(From) + 1;
    long K = -1;
    int F = 0;
    while (F == 0) {
        if (Length + 223 < Pos)
            return std::nullopt;
        F = MatchWindow(Frame + Copy(Lower, Pos, WindowSize) + Frame, false);
        Pos += WindowStep;
        ++K;
    }
    int Start = static_cast<int>(From + WindowStep * K + F - 3);
    return THit{Start, Start + WordLength};
}

std::optional<THit> FindBackward(const std::string& Text, int From)
{
    const std::string Lower = LowerCase(Text);
    From = std::clamp(From, 0, static_cast<int>(Lower.size())); // a caret never lies past the text
    long Pos = static_cast<long>(From) + 1;
    long K = -1;
    int F = 0;
    while (F == 0) {
        if (Pos < -WindowSize)
            return std::nullopt;
        // Only what lies before the caret: a window of 250 reaching up to the caret would
        // take the character after it and put the selection one character early.
        long N = std::min<long>(WindowSize, Pos - 1);
        std::string W = Frame + (N > 0 ? Copy(Lower, Pos - N, N) : std::string()) + Frame;
        std::reverse(W.begin(), W.end());
        F = MatchWindow(W, true);
        Pos -= WindowStep;
        ++K;
    }
    int End = static_cast<int>(From - WindowStep * K - F + 3);
    return THit{End - WordLength, End};
}

} // namespace funcnav

// ---- The navigator's buttons on the frame --------------------------------------------------------
void TMainForm::forward1Click(TObject* Sender)
{
    findin(Sender);
}

void TMainForm::backClick(TObject* Sender)
{
    findin(Sender);
}

void TMainForm::findin(TObject* Sender)
{
    // Without a document there is nothing to search (the buttons stay enabled).
    TMDIChild* Child = ActiveDocument();
    if (!Child)
        return;
    TColorMemo* Memo = Child->ColorMemo1;
    HWND Wnd = Memo->Handle();
    std::optional<funcnav::THit> Hit;
    if (Sender == back && back) {
        Hit = funcnav::FindBackward(Memo->Text(), Memo->SelStart());
    } else {
        // A "function" selected by the previous search is stepped over.
        int Start = Memo->SelStart();
        if (LowerCase(Memo->SelText()) == "function")
            SendMessage(Wnd, EM_SETSEL, static_cast<WPARAM>(Start + 8), Start + 8);
        Hit = funcnav::FindForward(Memo->Text(), Memo->SelStart());
    }
    if (!Hit) {
        ShowMessage("\"function\" cannot be found");
        return;
    }
    SendMessage(Wnd, EM_SETSEL, static_cast<WPARAM>(Hit->First), Hit->Last);
    SendMessage(Wnd, EM_SCROLLCARET, 0, 0);
}
