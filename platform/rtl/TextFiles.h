// Text files as the programs see them: one UTF-8 string with CR LF line breaks in memory,
// whatever encoding and line-break style the file on disk has, and the file written back in
// that same style so an edit does not rewrite every line of someone's document.
#pragma once

#include <string>

struct TTextFormat {
    enum TEncoding { teUtf8, teUtf8Bom, teWindows1252 } Encoding = teUtf8;
    enum TLineBreak { lbCRLF, lbLF, lbCR } LineBreak = lbCRLF;
    bool FinalLineBreak = true; // the file ended with a line break (or was empty)
};

// Reads the whole file; returns its text as UTF-8 with every line break (CR, LF, CR LF) turned
// into CR LF, and the file's own format in *Format (may be null). Raises EFOpenError when the file
// cannot be read. Bytes that are not valid UTF-8 make the whole file Windows-1252.
std::string LoadTextFile(const std::string& FileName, TTextFormat* Format = nullptr);

// Writes Text (UTF-8, lines separated by CR LF) back in Format (line breaks and encoding; a
// character Windows-1252 cannot hold switches the file to UTF-8), through a temporary file in the
// same directory renamed into place. Raises EFCreateError when it cannot write.
// Text is written as given, except that when Format.FinalLineBreak is false ONE line break at the
// very end of Text is left out: a string list always ends its text with a line break, so a file
// that had none gets none back. A caller holding the exact text of such a file (no final break)
// loses nothing, since there is no break to drop.
void SaveTextFile(const std::string& FileName, const std::string& Text, const TTextFormat& Format);

// The same conversions on bytes already in memory (the clipboard, a downloaded page, a stream).
std::string DecodeText(const std::string& Bytes, TTextFormat* Format = nullptr);
std::string EncodeText(const std::string& Text, const TTextFormat& Format);

// True when Bytes is well-formed UTF-8 (no overlong forms, no surrogates, nothing past U+10FFFF).
bool IsValidUtf8(const std::string& Bytes);
// Windows-1252 bytes to UTF-8 (the five unassigned bytes map to the C1 controls of the same value).
std::string Windows1252ToUtf8(const std::string& Bytes);
// UTF-8 to Windows-1252; returns false (and leaves Out partial) when a character has no byte.
bool Utf8ToWindows1252(const std::string& Text, std::string& Out);
