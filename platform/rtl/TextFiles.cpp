#include "platform/rtl/TextFiles.h"

#include "platform/rtl/SysUtils.h"

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace {

// Windows-1252 bytes 0x80..0x9F. The five bytes the code page leaves unassigned map to the C1
// control of the same value, so that any byte sequence survives a load and save unchanged.
const char16_t k1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void AppendUtf8(std::string& Out, std::uint32_t cp)
{
    if (cp < 0x80) {
        Out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        Out += static_cast<char>(0xC0 | (cp >> 6));
        Out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        Out += static_cast<char>(0xE0 | (cp >> 12));
        Out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        Out += static_cast<char>(0xF0 | (cp >> 18));
        Out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        Out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes one UTF-8 sequence at S[i]; returns its length, or 0 when it is malformed.
std::size_t DecodeUtf8(const std::string& S, std::size_t i, std::uint32_t& cp)
{
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(S[k]); };
    const unsigned char c = b(i);
    const std::size_t n = S.size();
    if (c < 0x80) {
        cp = c;
        return 1;
    }
    std::size_t len;
    std::uint32_t min;
    if (c >= 0xC2 && c <= 0xDF) {
        len = 2;
        cp = c & 0x1F;
        min = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
        len = 3;
        cp = c & 0x0F;
        min = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
        len = 4;
        cp = c & 0x07;
        min = 0x10000;
    } else {
        return 0;
    }
    if (i + len > n)
        return 0;
    for (std::size_t k = 1; k < len; ++k) {
        const unsigned char t = b(i + k);
        if ((t & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (t & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return len;
}

// Every CR LF, lone CR and lone LF of Text as Break.
std::string ConvertBreaks(const std::string& Text, const char* Break)
{
    std::string out;
    out.reserve(Text.size() + Text.size() / 32);
    const std::size_t n = Text.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char c = Text[i];
        if (c == '\r') {
            out += Break;
            if (i + 1 < n && Text[i + 1] == '\n')
                ++i;
        } else if (c == '\n') {
            out += Break;
        } else {
            out += c;
        }
    }
    return out;
}

const char* BreakText(TTextFormat::TLineBreak LineBreak)
{
    switch (LineBreak) {
    case TTextFormat::lbLF:
        return "\n";
    case TTextFormat::lbCR:
        return "\r";
    default:
        return "\r\n";
    }
}

} // namespace

bool IsValidUtf8(const std::string& Bytes)
{
    std::uint32_t cp = 0;
    for (std::size_t i = 0; i < Bytes.size();) {
        // Runs of ASCII are the common case: skip them quickly.
        if (static_cast<unsigned char>(Bytes[i]) < 0x80) {
            ++i;
            continue;
        }
        const std::size_t len = DecodeUtf8(Bytes, i, cp);
        if (len == 0)
            return false;
        i += len;
    }
    return true;
}

std::string Windows1252ToUtf8(const std::string& Bytes)
{
    std::string out;
    out.reserve(Bytes.size() + Bytes.size() / 8);
    for (unsigned char c : Bytes) {
        if (c < 0x80)
            out += static_cast<char>(c);
        else if (c < 0xA0)
            AppendUtf8(out, k1252High[c - 0x80]);
        else
            AppendUtf8(out, c);
    }
    return out;
}

bool Utf8ToWindows1252(const std::string& Text, std::string& Out)
{
    Out.clear();
    Out.reserve(Text.size());
    for (std::size_t i = 0; i < Text.size();) {
        std::uint32_t cp = 0;
        const std::size_t len = DecodeUtf8(Text, i, cp);
        if (len == 0)
            return false;
        i += len;
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
            Out += static_cast<char>(cp);
            continue;
        }
        int byte = -1;
        for (int k = 0; k < 32; ++k)
            if (k1252High[k] == cp) {
                byte = 0x80 + k;
                break;
            }
        if (byte < 0)
            return false;
        Out += static_cast<char>(byte);
    }
    return true;
}

std::string DecodeText(const std::string& Bytes, TTextFormat* Format)
{
    TTextFormat f;
    std::string text;
    if (Bytes.size() >= 3 && Bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 && IsValidUtf8(Bytes)) {
        f.Encoding = TTextFormat::teUtf8Bom;
        text = Bytes.substr(3);
    } else if (IsValidUtf8(Bytes)) {
        f.Encoding = TTextFormat::teUtf8;
        text = Bytes;
    } else {
        f.Encoding = TTextFormat::teWindows1252;
        text = Windows1252ToUtf8(Bytes);
    }
    // The first line break decides the file's style; a file without one gets the documented CR LF.
    const std::size_t p = text.find_first_of("\r\n");
    if (p == std::string::npos)
        f.LineBreak = TTextFormat::lbCRLF;
    else if (text[p] == '\n')
        f.LineBreak = TTextFormat::lbLF;
    else if (p + 1 < text.size() && text[p + 1] == '\n')
        f.LineBreak = TTextFormat::lbCRLF;
    else
        f.LineBreak = TTextFormat::lbCR;
    // An empty file has no last line lacking a break, so lines added to it end with one.
    f.FinalLineBreak = text.empty() || text.back() == '\n' || text.back() == '\r';
    if (Format)
        *Format = f;
    return ConvertBreaks(text, "\r\n");
}

std::string EncodeText(const std::string& Text, const TTextFormat& Format)
{
    std::string body = Text;
    if (!Format.FinalLineBreak) {
        if (body.size() >= 2 && body.compare(body.size() - 2, 2, "\r\n") == 0)
            body.resize(body.size() - 2);
        else if (!body.empty() && (body.back() == '\n' || body.back() == '\r'))
            body.pop_back();
    }
    body = ConvertBreaks(body, BreakText(Format.LineBreak));
    if (Format.Encoding == TTextFormat::teWindows1252) {
        std::string bytes;
        // A character the code page cannot hold makes the file UTF-8 rather than losing it.
        if (Utf8ToWindows1252(body, bytes))
            return bytes;
        return body;
    }
    if (Format.Encoding == TTextFormat::teUtf8Bom)
        return "\xEF\xBB\xBF" + body;
    return body;
}

std::string LoadTextFile(const std::string& FileName, TTextFormat* Format)
{
    return DecodeText(LoadFileBytes(FileName), Format);
}

void SaveTextFile(const std::string& FileName, const std::string& Text, const TTextFormat& Format)
{
    std::string why;
    if (!WriteFileAtomic(FileName, EncodeText(Text, Format), &why))
        throw EFCreateError("Cannot create file \"" + FileName + "\". " + why);
}
