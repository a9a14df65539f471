#include "platform/rtl/IniFiles.h"

#include "platform/rtl/FileInternals.h"

#include <cerrno>
#include <sys/stat.h>

namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\f' || c == '\v';
}

std::string Strip(const std::string& S, std::size_t b, std::size_t e)
{
    while (b < e && IsSpace(S[b]))
        ++b;
    while (e > b && IsSpace(S[e - 1]))
        --e;
    return S.substr(b, e - b);
}

enum TLineKind { lkOther, lkSection, lkKey };

struct TLine {
    TLineKind Kind = lkOther;
    std::string Name; // section or key name
    std::size_t ValueStart = 0, ValueEnd = 0;
};

TLine Classify(const std::string& L)
{
    TLine r;
    std::size_t i = 0;
    while (i < L.size() && IsSpace(L[i]))
        ++i;
    if (i >= L.size() || L[i] == ';' || L[i] == '#')
        return r;
    if (L[i] == '[') {
        const std::size_t close = L.find(']', i + 1);
        r.Kind = lkSection;
        r.Name = Strip(L, i + 1, close == std::string::npos ? L.size() : close);
        return r;
    }
    const std::size_t eq = L.find('=', i);
    if (eq == std::string::npos)
        return r;
    r.Kind = lkKey;
    r.Name = Strip(L, i, eq);
    r.ValueStart = eq + 1;
    r.ValueEnd = L.size();
    return r;
}

std::string ValueOf(const std::string& L, const TLine& T)
{
    std::string v = Strip(L, T.ValueStart, T.ValueEnd);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return v;
}

bool IsBlankLine(const std::string& L)
{
    for (char c : L)
        if (!IsSpace(c))
            return false;
    return true;
}

bool IsComment(const std::string& L)
{
    std::size_t i = 0;
    while (i < L.size() && IsSpace(L[i]))
        ++i;
    return i < L.size() && (L[i] == ';' || L[i] == '#');
}

// A value cannot hold a line break in this format: each becomes a blank.
std::string OneLine(const std::string& S)
{
    std::string r = S;
    for (char& c : r)
        if (c == '\r' || c == '\n')
            c = ' ';
    return r;
}

std::string ClipChars(const std::string& S, std::size_t Max)
{
    std::size_t chars = 0;
    for (std::size_t i = 0; i < S.size(); ++i) {
        if ((static_cast<unsigned char>(S[i]) & 0xC0) != 0x80) {
            if (chars == Max)
                return S.substr(0, i);
            ++chars;
        }
    }
    return S;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TIniContent

void TIniContent::SetText(const std::string& Text)
{
    FLines.clear();
    std::size_t start = 0;
    const std::size_t n = Text.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (Text[i] == '\r' || Text[i] == '\n') {
            FLines.emplace_back(Text, start, i - start);
            if (Text[i] == '\r' && i + 1 < n && Text[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        FLines.emplace_back(Text, start, n - start);
}

std::string TIniContent::Text() const
{
    std::string out;
    for (const std::string& l : FLines) {
        out += l;
        out += "\r\n";
    }
    return out;
}

int TIniContent::FindSection(const std::string& Section) const
{
    for (std::size_t i = 0; i < FLines.size(); ++i) {
        const TLine t = Classify(FLines[i]);
        if (t.Kind == lkSection && SameText(t.Name, Section))
            return static_cast<int>(i);
    }
    return -1;
}

int TIniContent::SectionEnd(int Header) const
{
    std::size_t i = static_cast<std::size_t>(Header) + 1;
    while (i < FLines.size() && Classify(FLines[i]).Kind != lkSection)
        ++i;
    return static_cast<int>(i);
}

int TIniContent::FindKey(int Header, const std::string& Ident) const
{
    const int end = SectionEnd(Header);
    for (int i = Header + 1; i < end; ++i) {
        const TLine t = Classify(FLines[static_cast<std::size_t>(i)]);
        if (t.Kind == lkKey && SameText(t.Name, Ident))
            return i;
    }
    return -1;
}

bool TIniContent::ReadValue(const std::string& Section, const std::string& Ident, std::string& Value) const
{
    const int h = FindSection(Section);
    if (h < 0)
        return false;
    const int k = FindKey(h, Ident);
    if (k < 0)
        return false;
    const std::string& line = FLines[static_cast<std::size_t>(k)];
    Value = ValueOf(line, Classify(line));
    return true;
}

void TIniContent::WriteValue(const std::string& Section, const std::string& Ident, const std::string& Value)
{
    const std::string value = OneLine(Value);
    int h = FindSection(Section);
    if (h < 0) {
        // A new section goes at the end, a blank line apart from what is there.
        while (!FLines.empty() && IsBlankLine(FLines.back()))
            FLines.pop_back();
        if (!FLines.empty())
            FLines.emplace_back();
        FLines.push_back("[" + OneLine(Section) + "]");
        FLines.push_back(OneLine(Ident) + "=" + value);
        return;
    }
    const int k = FindKey(h, Ident);
    if (k >= 0) {
        // The key keeps its spelling and indentation; only the value changes.
        std::string& line = FLines[static_cast<std::size_t>(k)];
        line = line.substr(0, line.find('=') + 1) + value;
        return;
    }
    // A new key follows the section's last non-blank line, so blank lines that separate it from
    // the next section stay where they are.
    int at = SectionEnd(h);
    while (at - 1 > h && IsBlankLine(FLines[static_cast<std::size_t>(at - 1)]))
        --at;
    FLines.insert(FLines.begin() + at, OneLine(Ident) + "=" + value);
}

std::vector<std::string> TIniContent::SectionNames() const
{
    std::vector<std::string> out;
    for (const std::string& l : FLines) {
        const TLine t = Classify(l);
        if (t.Kind != lkSection)
            continue;
        bool seen = false;
        for (const std::string& s : out)
            if (SameText(s, t.Name)) {
                seen = true;
                break;
            }
        if (!seen)
            out.push_back(t.Name);
    }
    return out;
}

std::vector<std::string> TIniContent::KeyNames(const std::string& Section) const
{
    std::vector<std::string> out;
    const int h = FindSection(Section);
    if (h < 0)
        return out;
    const int end = SectionEnd(h);
    for (int i = h + 1; i < end; ++i) {
        const TLine t = Classify(FLines[static_cast<std::size_t>(i)]);
        if (t.Kind == lkKey)
            out.push_back(t.Name);
    }
    return out;
}

std::vector<std::string> TIniContent::KeyValues(const std::string& Section) const
{
    std::vector<std::string> out;
    const int h = FindSection(Section);
    if (h < 0)
        return out;
    const int end = SectionEnd(h);
    for (int i = h + 1; i < end; ++i) {
        const std::string& line = FLines[static_cast<std::size_t>(i)];
        const TLine t = Classify(line);
        if (t.Kind == lkKey)
            out.push_back(t.Name + "=" + ClipChars(ValueOf(line, t), IniValueMaxChars));
    }
    return out;
}

bool TIniContent::SectionExists(const std::string& Section) const
{
    return FindSection(Section) >= 0;
}

bool TIniContent::EraseSection(const std::string& Section)
{
    const int h = FindSection(Section);
    if (h < 0)
        return false;
    int end = SectionEnd(h);
    // Comments just above the next section's header speak of that section: they stay, with the
    // blank lines between them and it.
    if (end < static_cast<int>(FLines.size())) {
        int tail = end;
        while (tail - 1 > h && (IsBlankLine(FLines[static_cast<std::size_t>(tail - 1)]) ||
                                IsComment(FLines[static_cast<std::size_t>(tail - 1)])))
            --tail;
        while (tail < end && !IsComment(FLines[static_cast<std::size_t>(tail)]))
            ++tail;
        end = tail;
    }
    FLines.erase(FLines.begin() + h, FLines.begin() + end);
    return true;
}

bool TIniContent::DeleteKey(const std::string& Section, const std::string& Ident)
{
    const int h = FindSection(Section);
    if (h < 0)
        return false;
    const int k = FindKey(h, Ident);
    if (k < 0)
        return false;
    FLines.erase(FLines.begin() + k);
    return true;
}

// ---------------------------------------------------------------------------------------------
// TIniFile

TIniFile::TIniFile(const std::string& FileName) : FFileName(FileName)
{
    // The class library puts a name without a directory into the Windows directory.
    if (!FileName.empty() && FileName.find_first_of("/\\:") == std::string::npos)
        FPath = MapPath(SettingsDir() + "/" + FileName);
    else
        FPath = MapPath(FileName);
}

TIniContent TIniFile::Load(TTextFormat* TextFormat)
{
    std::string bytes;
    // A missing or unreadable file reads as empty: every key then gives its default.
    FUnreadable = false;
    if (FPath.empty() || !ReadFileBytes(FPath, bytes, &FUnreadableWhy)) {
        struct stat st {};
        FUnreadable = !FPath.empty() && stat(FPath.c_str(), &st) == 0;
        bytes.clear();
    }
    TIniContent content(DecodeText(bytes, TextFormat));
    // A new file is written in the documented form: CR LF after every line.
    if (TextFormat && bytes.empty())
        TextFormat->FinalLineBreak = true;
    return content;
}

void TIniFile::Save(const TIniContent& Content, const TTextFormat& TextFormat)
{
    std::string why;
    // A file that exists but could not be read is never replaced by what little we know of it.
    if (FUnreadable)
        why = FUnreadableWhy;
    else if (FPath.empty())
        why = FileErrorText(ENOENT);
    else if (WriteFileAtomic(FPath, EncodeText(Content.Text(), TextFormat), &why))
        return;
    throw EIniFileException(Format("Unable to write to %s", {FFileName}), why);
}

template <class TEdit> void TIniFile::Update(TEdit Edit)
{
    TFileLock lock(FPath);
    TTextFormat f;
    TIniContent c = Load(&f);
    if (Edit(c))
        Save(c, f);
}

std::string TIniFile::ReadString(const std::string& Section, const std::string& Ident,
                                 const std::string& Default)
{
    std::string v;
    if (!Load(nullptr).ReadValue(Section, Ident, v))
        v = Default;
    return ClipChars(v, IniValueMaxChars);
}

void TIniFile::WriteString(const std::string& Section, const std::string& Ident, const std::string& Value)
{
    Update([&](TIniContent& C) {
        C.WriteValue(Section, Ident, Value);
        return true;
    });
}

int TIniFile::ReadInteger(const std::string& Section, const std::string& Ident, int Default)
{
    return StrToIntDef(ReadString(Section, Ident, ""), Default);
}

void TIniFile::WriteInteger(const std::string& Section, const std::string& Ident, int Value)
{
    WriteString(Section, Ident, IntToStr(Value));
}

bool TIniFile::ReadBool(const std::string& Section, const std::string& Ident, bool Default)
{
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TIniFile::WriteBool(const std::string& Section, const std::string& Ident, bool Value)
{
    WriteString(Section, Ident, Value ? "1" : "0");
}

double TIniFile::ReadFloat(const std::string& Section, const std::string& Ident, double Default)
{
    return StrToFloatDef(ReadString(Section, Ident, ""), Default);
}

void TIniFile::WriteFloat(const std::string& Section, const std::string& Ident, double Value)
{
    WriteString(Section, Ident, FloatToStr(Value));
}

bool TIniFile::SectionExists(const std::string& Section)
{
    return Load(nullptr).SectionExists(Section);
}

bool TIniFile::ValueExists(const std::string& Section, const std::string& Ident)
{
    std::string v;
    return Load(nullptr).ReadValue(Section, Ident, v);
}

void TIniFile::EraseSection(const std::string& Section)
{
    Update([&](TIniContent& C) { return C.EraseSection(Section); });
}

void TIniFile::DeleteKey(const std::string& Section, const std::string& Ident)
{
    Update([&](TIniContent& C) { return C.DeleteKey(Section, Ident); });
}

std::vector<std::string> TIniFile::SectionNames()
{
    return Load(nullptr).SectionNames();
}
std::vector<std::string> TIniFile::SectionKeys(const std::string& Section)
{
    return Load(nullptr).KeyNames(Section);
}
std::vector<std::string> TIniFile::SectionValues(const std::string& Section)
{
    return Load(nullptr).KeyValues(Section);
}
