// The function navigator's search: the next or previous keyword "function" standing as a word in
// a document's text. The text is scanned lower-cased in windows of 250 characters that start 225
// apart, each framed by two blanks; the word counts when a blank or LF stands before it and a
// blank or CR after it. The framing blanks can stand in for the text's own neighbours at a
// window's edge, so a word cut off there matches even when a letter follows (or precedes) it in
// the text; that is kept on purpose, so the navigator stops where it always has.
#pragma once

#include <optional>
#include <string>

namespace funcnav {

constexpr int WindowSize = 250;
constexpr int WindowStep = 225;
// Stands for "pattern not in this window": beyond any position inside one.
constexpr int NotInWindow = 300;

// The word's selection: the first character and one past the last (0-based offsets).
struct THit {
    int First = 0;
    int Last = 0;
    bool operator==(const THit&) const = default;
};

// The 1-based position, in a framed window, of the first character of the leftmost word standing
// as such; 0 when there is none. Reversed: the window and the word read backwards (the patterns
// reversed as well, so the same four shapes are recognised).
int MatchWindow(const std::string& Window, bool Reversed);

// The next word at or after From (the caret). Text in any case.
std::optional<THit> FindForward(const std::string& Text, int From);
// The previous word ending at or before From: only the characters before the caret are read.
std::optional<THit> FindBackward(const std::string& Text, int From);

} // namespace funcnav
