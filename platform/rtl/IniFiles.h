// Settings files in the platform profile format ("[Section]" lines, "key=value" lines).
#pragma once

#include "platform/rtl/FillStrings.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TextFiles.h"

#include <string>
#include <vector>

// Message is the text the user sees ("Unable to write to <file name>"); Reason the system's
// words for what went wrong ("Permission denied"), empty when there are none.
class EIniFileException : public Exception {
public:
    explicit EIniFileException(std::string Msg, std::string AReason = std::string())
        : Exception(std::move(Msg)), Reason(std::move(AReason))
    {
    }
    std::string Reason;
};

// The text of a profile file as lines, with the lookups and edits the profile format defines.
// Sections and keys match without regard to case; the first of duplicates counts; values lose
// the blanks around them and one pair of enclosing quotes. Lines the format does not use
// (comments, blank lines, text before the first section) are kept as they are through edits.
class TIniContent {
public:
    TIniContent() = default;
    explicit TIniContent(const std::string& Text) { SetText(Text); }

    void SetText(const std::string& Text); // any line breaks
    std::string Text() const;              // lines joined with CR LF, ending with one unless empty

    bool ReadValue(const std::string& Section, const std::string& Ident, std::string& Value) const;
    void WriteValue(const std::string& Section, const std::string& Ident, const std::string& Value);
    std::vector<std::string> SectionNames() const;
    std::vector<std::string> KeyNames(const std::string& Section) const;
    // "key=value", each value clipped to IniValueMaxChars as a read of it is.
    std::vector<std::string> KeyValues(const std::string& Section) const;
    bool SectionExists(const std::string& Section) const;
    // The header and every line up to the next section, except the comments just above that
    // section's header; false when there was no such section.
    bool EraseSection(const std::string& Section);
    bool DeleteKey(const std::string& Section, const std::string& Ident);

    const std::vector<std::string>& Lines() const { return FLines; }

private:
    int FindSection(const std::string& Section) const; // index of its header line, or -1
    int SectionEnd(int Header) const;                  // index after its last line
    int FindKey(int Header, const std::string& Ident) const;
    std::vector<std::string> FLines;
};

// A profile file read and written through on every call, as the platform's profile routines do,
// so two objects (or two programs) on one file see each other's writes at once. A bare file name
// ("lib.ini") lives in the Windows directory, which is the program's settings directory. Every
// write takes an advisory lock on the file, reads it afresh under the lock and writes it back
// through a temporary file, so two programs writing keys at once lose none of each other's and a
// reader never sees half a file. Writes keep the file's encoding and line breaks; a failed write
// raises EIniFileException "Unable to write to <file name>" with the system's reason.
class TIniFile {
public:
    explicit TIniFile(const std::string& FileName);
    virtual ~TIniFile() = default;

    const std::string& FileName() const { return FFileName; }
    // The native path the file is read from and written to.
    const std::string& Path() const { return FPath; }
    // Whether the last read found the file but could not read it (its keys then gave their
    // defaults), and the system's words for why.
    bool Unreadable() const { return FUnreadable; }
    const std::string& UnreadableReason() const { return FUnreadableWhy; }

    // Value (read from Section/Ident of this file) through Convert (StringToColor, StrToInt ...);
    // a conversion error comes out with the key, its section and the file added to its message,
    // so the user can find the line to mend.
    template <class F>
    auto ConvertValue(const std::string& Section, const std::string& Ident, const std::string& Value,
                      F&& Convert) const -> decltype(Convert(Value))
    {
        try {
            return Convert(Value);
        } catch (const EConvertError& E) {
            throw EConvertError(E.Message() + "\r\n(" + Ident + " in [" + Section + "] of " + FPath + ")");
        }
    }

    // At most 1,023 characters of a value are read, as the profile routines' buffer holds.
    std::string ReadString(const std::string& Section, const std::string& Ident, const std::string& Default);
    void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value);
    int ReadInteger(const std::string& Section, const std::string& Ident, int Default);
    void WriteInteger(const std::string& Section, const std::string& Ident, int Value);
    bool ReadBool(const std::string& Section, const std::string& Ident, bool Default);
    void WriteBool(const std::string& Section, const std::string& Ident, bool Value);
    double ReadFloat(const std::string& Section, const std::string& Ident, double Default);
    void WriteFloat(const std::string& Section, const std::string& Ident, double Value);

    bool SectionExists(const std::string& Section);
    bool ValueExists(const std::string& Section, const std::string& Ident);
    void EraseSection(const std::string& Section);
    void DeleteKey(const std::string& Section, const std::string& Ident);
    void UpdateFile() {} // writes are never held back

    std::vector<std::string> SectionNames();
    std::vector<std::string> SectionKeys(const std::string& Section);
    std::vector<std::string> SectionValues(const std::string& Section);

    // Into any string list with Clear/Add/BeginUpdate/EndUpdate (TStrings).
    template <class TStringsT> void ReadSection(const std::string& Section, TStringsT* Strings)
    {
        Fill(Strings, SectionKeys(Section));
    }
    template <class TStringsT> void ReadSections(TStringsT* Strings) { Fill(Strings, SectionNames()); }
    template <class TStringsT> void ReadSectionValues(const std::string& Section, TStringsT* Strings)
    {
        Fill(Strings, SectionValues(Section));
    }

private:
    template <class TStringsT> static void Fill(TStringsT* Strings, const std::vector<std::string>& Items)
    {
        FillStrings(Strings, Items);
    }
    TIniContent Load(TTextFormat* TextFormat);
    void Save(const TIniContent& Content, const TTextFormat& TextFormat);
    // Load, Edit, Save under the file's lock; Edit answers whether it changed anything.
    template <class TEdit> void Update(TEdit Edit);

    std::string FFileName;
    std::string FPath;
    bool FUnreadable = false; // the last load found the file but could not read it
    std::string FUnreadableWhy;
};

// The profile-value length limit.
constexpr std::size_t IniValueMaxChars = 1023;
