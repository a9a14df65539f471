#include "platform/rtl/SysUtils.h"

#include <QLocale>
#include <QString>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <limits>
#include <sys/time.h>
#include <vector>

void Abort()
{
    throw EAbort("Operation aborted");
}

namespace {

bool IsBlank(unsigned char c)
{
    return c <= ' ';
}
char AsciiUpper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}
char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

[[noreturn]] void InvalidInteger(const std::string& S)
{
    throw EConvertError("'" + S + "' is not a valid integer value");
}

// The integer reader behind Val and StrToInt. Leading blanks, then a sign, then decimal digits or
// "$"/"0x" hexadecimal. Hexadecimal may fill all Bits (wrapping into the negative range), decimal
// must fit the signed range. Returns the 1-based position of the failing character, 0 when fine.
int ReadInteger(const std::string& S, std::int64_t& Value, int Bits)
{
    Value = 0;
    std::size_t i = 0, n = S.size();
    while (i < n && S[i] == ' ')
        ++i;
    bool negative = false;
    if (i < n && (S[i] == '-' || S[i] == '+'))
        negative = S[i++] == '-';
    bool hex = false;
    if (i < n && S[i] == '$') {
        hex = true;
        ++i;
    } else if (i + 1 < n && S[i] == '0' && (S[i + 1] == 'x' || S[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i >= n)
        return static_cast<int>(i) + 1;
    const std::uint64_t unsignedMax =
        Bits == 64 ? std::numeric_limits<std::uint64_t>::max() : (std::uint64_t(1) << Bits) - 1;
    const std::uint64_t signedMax = unsignedMax >> 1;
    std::uint64_t acc = 0;
    for (; i < n; ++i) {
        const char c = S[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return static_cast<int>(i) + 1;
        if (hex) {
            if (acc > (unsignedMax >> 4))
                return static_cast<int>(i) + 1;
            acc = (acc << 4) | static_cast<unsigned>(digit);
        } else {
            const std::uint64_t limit = negative ? signedMax + 1 : signedMax;
            if (acc > (limit - digit) / 10)
                return static_cast<int>(i) + 1;
            acc = acc * 10 + static_cast<unsigned>(digit);
        }
    }
    if (hex && acc > signedMax) // wraps, as a full-width hexadecimal constant does
        acc = acc - unsignedMax - 1;
    std::int64_t v = static_cast<std::int64_t>(acc);
    if (negative)
        v = static_cast<std::int64_t>(0 - acc);
    Value = v;
    return 0;
}

// A finite double as decimal digits: value = 0.Digits x 10^Exponent, Digits without trailing
// zeros (empty for zero), with 15 significant digits as the classic conversions use.
struct TDecimal {
    bool Negative = false;
    std::string Digits;
    int Exponent = 0;
};

TDecimal ToDecimal(double Value, int Significant = 15)
{
    TDecimal d;
    d.Negative = std::signbit(Value) && Value != 0;
    if (Value == 0)
        return d;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", Significant - 1, std::fabs(Value));
    const char* p = buf;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9')
            d.Digits += *p;
    d.Exponent = (*p == 'e' ? std::atoi(p + 1) : 0) + 1;
    while (!d.Digits.empty() && d.Digits.back() == '0')
        d.Digits.pop_back();
    return d;
}

// Rounds half away from zero so that Decimals digits remain after the point.
void RoundDecimal(TDecimal& d, int Decimals)
{
    const long keep = static_cast<long>(d.Exponent) + Decimals;
    if (keep < 0) {
        d.Digits.clear();
        return;
    }
    if (static_cast<std::size_t>(keep) >= d.Digits.size())
        return;
    const bool up = d.Digits[static_cast<std::size_t>(keep)] >= '5';
    d.Digits.resize(static_cast<std::size_t>(keep));
    if (up) {
        long i = keep - 1;
        while (i >= 0 && d.Digits[static_cast<std::size_t>(i)] == '9') {
            d.Digits[static_cast<std::size_t>(i)] = '0';
            --i;
        }
        if (i < 0) {
            d.Digits.insert(d.Digits.begin(), '1');
            ++d.Exponent;
        } else {
            ++d.Digits[static_cast<std::size_t>(i)];
        }
    }
    while (!d.Digits.empty() && d.Digits.back() == '0')
        d.Digits.pop_back();
}

char DigitAt(const TDecimal& d, long Index) // Index 0 = first digit of Digits
{
    if (Index < 0 || static_cast<std::size_t>(Index) >= d.Digits.size())
        return '0';
    return d.Digits[static_cast<std::size_t>(Index)];
}

std::string GroupThousands(const std::string& IntDigits, char Separator)
{
    std::string out;
    const std::size_t n = IntDigits.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += Separator;
        out += IntDigits[i];
    }
    return out;
}

// Fixed notation with exactly Decimals digits after the point; Thousands groups the integer part.
std::string FixedText(double Value, int Decimals, bool Thousands)
{
    if (std::isnan(Value))
        return "NAN";
    if (std::isinf(Value))
        return Value < 0 ? "-INF" : "INF";
    const TFormatSettings& fs = FormatSettings();
    TDecimal d = ToDecimal(Value);
    RoundDecimal(d, Decimals);
    std::string intPart;
    for (long i = 0; i < d.Exponent; ++i)
        intPart += DigitAt(d, i);
    if (intPart.empty())
        intPart = "0";
    std::string out = (d.Negative && !d.Digits.empty()) ? "-" : "";
    out += Thousands ? GroupThousands(intPart, fs.ThousandSeparator) : intPart;
    if (Decimals > 0) {
        out += fs.DecimalSeparator;
        for (int i = 0; i < Decimals; ++i)
            out += DigitAt(d, d.Exponent + i);
    }
    return out;
}

// Scientific notation "d.dddE+ddd" with Precision significant digits, as %e writes it.
std::string ScientificText(double Value, int Precision, int ExpDigits, bool ExpSignAlways)
{
    if (std::isnan(Value))
        return "NAN";
    if (std::isinf(Value))
        return Value < 0 ? "-INF" : "INF";
    Precision = std::clamp(Precision, 1, 18);
    TDecimal d = ToDecimal(Value, std::min(Precision, 15));
    std::string out = d.Negative ? "-" : "";
    const int exp = d.Digits.empty() ? 0 : d.Exponent - 1;
    out += DigitAt(d, 0);
    if (Precision > 1) {
        out += FormatSettings().DecimalSeparator;
        for (int i = 1; i < Precision; ++i)
            out += DigitAt(d, i);
    }
    out += 'E';
    if (exp < 0)
        out += '-';
    else if (ExpSignAlways)
        out += '+';
    std::string e = std::to_string(std::abs(exp));
    while (static_cast<int>(e.size()) < ExpDigits)
        e.insert(e.begin(), '0');
    return out + e;
}

// The general form: fixed when the value's integer digits fit Precision and it is not tiny,
// otherwise scientific; trailing zeros dropped.
std::string GeneralText(double Value, int Precision)
{
    if (std::isnan(Value))
        return "NAN";
    if (std::isinf(Value))
        return Value < 0 ? "-INF" : "INF";
    Precision = std::clamp(Precision, 1, 15);
    TDecimal d = ToDecimal(Value, Precision);
    if (d.Digits.empty())
        return "0";
    const char sep = FormatSettings().DecimalSeparator;
    std::string out = d.Negative ? "-" : "";
    if (d.Exponent > Precision || d.Exponent < -4) {
        out += d.Digits[0];
        if (d.Digits.size() > 1) {
            out += sep;
            out += d.Digits.substr(1);
        }
        const int exp = d.Exponent - 1;
        out += 'E';
        if (exp < 0)
            out += '-';
        return out + std::to_string(std::abs(exp));
    }
    if (d.Exponent <= 0) {
        out += '0';
        out += sep;
        out.append(static_cast<std::size_t>(-d.Exponent), '0');
        return out + d.Digits;
    }
    for (long i = 0; i < d.Exponent; ++i)
        out += DigitAt(d, i);
    if (static_cast<long>(d.Digits.size()) > d.Exponent) {
        out += sep;
        out += d.Digits.substr(static_cast<std::size_t>(d.Exponent));
    }
    return out;
}

// Number of UTF-8 characters (lead bytes) in S.
std::size_t Utf8Length(const std::string& S)
{
    std::size_t n = 0;
    for (unsigned char c : S)
        if ((c & 0xC0) != 0x80)
            ++n;
    return n;
}

// The first Count characters of S, never splitting a UTF-8 sequence.
std::string Utf8Prefix(const std::string& S, std::size_t Count)
{
    std::size_t chars = 0, i = 0;
    for (; i < S.size(); ++i) {
        if ((static_cast<unsigned char>(S[i]) & 0xC0) != 0x80) {
            if (chars == Count)
                break;
            ++chars;
        }
    }
    return S.substr(0, i);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Integers

std::string IntToStr(std::int64_t Value)
{
    return std::to_string(Value);
}

std::string IntToHex(std::int64_t Value, int Digits)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%llX", static_cast<unsigned long long>(Value));
    std::string s = buf;
    if (static_cast<int>(s.size()) < Digits)
        s.insert(0, static_cast<std::size_t>(Digits) - s.size(), '0');
    return s;
}

void Val(const std::string& S, std::int64_t& Value, int& Code)
{
    Code = ReadInteger(S, Value, 64);
}

void Val(const std::string& S, int& Value, int& Code)
{
    std::int64_t v = 0;
    Code = ReadInteger(S, v, 32);
    Value = Code == 0 ? static_cast<int>(v) : 0;
}

bool TryStrToInt(const std::string& S, int& Value)
{
    int code = 0;
    Val(S, Value, code);
    return code == 0;
}

int StrToInt(const std::string& S)
{
    int v = 0;
    if (!TryStrToInt(S, v))
        InvalidInteger(S);
    return v;
}

std::int64_t StrToInt64(const std::string& S)
{
    std::int64_t v = 0;
    int code = 0;
    Val(S, v, code);
    if (code != 0)
        InvalidInteger(S);
    return v;
}

int StrToIntDef(const std::string& S, int Default)
{
    int v = 0;
    return TryStrToInt(S, v) ? v : Default;
}

int MulDiv(int Number, int Numerator, int Denominator)
{
    if (Denominator == 0)
        return -1;
    const std::int64_t product = static_cast<std::int64_t>(Number) * Numerator;
    const std::int64_t half = std::abs(static_cast<std::int64_t>(Denominator)) / 2;
    // Half away from zero: move the product away from zero by half the divisor, then truncate.
    const std::int64_t adjusted = product < 0 ? product - half : product + half;
    const std::int64_t result = adjusted / Denominator;
    if (result > std::numeric_limits<int>::max() || result < std::numeric_limits<int>::min())
        return -1;
    return static_cast<int>(result);
}

// ---------------------------------------------------------------------------------------------
// Floating point

void Val(const std::string& S, double& Value, int& Code)
{
    Value = 0;
    std::size_t i = 0, n = S.size();
    while (i < n && S[i] == ' ')
        ++i;
    const std::size_t start = i;
    if (i < n && (S[i] == '+' || S[i] == '-'))
        ++i;
    bool digits = false;
    while (i < n && std::isdigit(static_cast<unsigned char>(S[i]))) {
        ++i;
        digits = true;
    }
    if (i < n && S[i] == '.') {
        ++i;
        while (i < n && std::isdigit(static_cast<unsigned char>(S[i]))) {
            ++i;
            digits = true;
        }
    }
    if (!digits) {
        Code = static_cast<int>(i) + 1;
        return;
    }
    if (i < n && (S[i] == 'e' || S[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < n && (S[j] == '+' || S[j] == '-'))
            ++j;
        if (j >= n || !std::isdigit(static_cast<unsigned char>(S[j]))) {
            Code = static_cast<int>(j) + 1;
            return;
        }
        while (j < n && std::isdigit(static_cast<unsigned char>(S[j])))
            ++j;
        i = j;
    }
    if (i < n) {
        Code = static_cast<int>(i) + 1;
        return;
    }
    Value = std::strtod(S.substr(start, i - start).c_str(), nullptr);
    Code = 0;
}

bool TryStrToFloat(const std::string& S, double& Value)
{
    // The user's decimal separator is accepted along with ".", and blanks around the number.
    std::string t = Trim(S);
    const char sep = FormatSettings().DecimalSeparator;
    if (sep != '.')
        std::replace(t.begin(), t.end(), sep, '.');
    int code = 0;
    Val(t, Value, code);
    if (code != 0 || t.empty() || !std::isfinite(Value)) {
        Value = 0;
        return false;
    }
    return true;
}

double StrToFloat(const std::string& S)
{
    double v = 0;
    if (!TryStrToFloat(S, v))
        throw EConvertError("'" + S + "' is not a valid floating point value");
    return v;
}

double StrToFloatDef(const std::string& S, double Default)
{
    double v = 0;
    return TryStrToFloat(S, v) ? v : Default;
}

std::string FloatToStr(double Value)
{
    return GeneralText(Value, 15);
}

std::string FormatFloat(const std::string& Fmt, double Value)
{
    if (Fmt.empty() || std::isnan(Value) || std::isinf(Value))
        return FloatToStr(Value);
    // Split into sections at ';' outside quotes.
    std::string sections[3];
    int count = 1;
    {
        char quote = 0;
        for (char c : Fmt) {
            if (quote) {
                if (c == quote)
                    quote = 0;
            } else if (c == '\'' || c == '"') {
                quote = c;
            } else if (c == ';') {
                if (count == 3)
                    break;
                ++count;
                continue;
            }
            sections[count - 1] += c;
        }
    }

    // Analyses one section: placeholder counts and flags.
    struct TPicture {
        int IntDigits = 0, IntZeros = 0, FracZeros = 0, FracDigits = 0;
        bool Thousands = false, Point = false, Exp = false, ExpPlus = false;
        int ExpDigits = 0;
        int FirstIntZero = -1; // index among integer placeholders of the first '0'
    };
    auto analyse = [](const std::string& s) {
        TPicture p;
        char quote = 0;
        for (std::size_t i = 0; i < s.size(); ++i) {
            const char c = s[i];
            if (quote) {
                if (c == quote)
                    quote = 0;
                continue;
            }
            if (c == '\'' || c == '"') {
                quote = c;
            } else if (p.Exp) {
                // Characters after the exponent are literals.
            } else if (c == '0' || c == '#') {
                if (p.Point) {
                    ++p.FracDigits;
                    if (c == '0')
                        p.FracZeros = p.FracDigits;
                } else {
                    if (c == '0' && p.FirstIntZero < 0)
                        p.FirstIntZero = p.IntDigits;
                    ++p.IntDigits;
                }
            } else if (c == '.') {
                p.Point = true;
            } else if (c == ',') {
                p.Thousands = true;
            } else if ((c == 'E' || c == 'e') && i + 1 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-')) {
                p.Exp = true;
                p.ExpPlus = s[i + 1] == '+';
                std::size_t j = i + 2;
                while (j < s.size() && s[j] == '0') {
                    ++p.ExpDigits;
                    ++j;
                }
                i = j - 1;
            }
        }
        if (p.FirstIntZero >= 0)
            p.IntZeros = p.IntDigits - p.FirstIntZero;
        return p;
    };

    int which = 0;
    bool minus = false;
    const TPicture first = analyse(sections[0]);
    {
        // The section is chosen by the value as it will be shown (rounded).
        TDecimal probe = ToDecimal(Value);
        if (!first.Exp)
            RoundDecimal(probe, first.FracDigits);
        const bool zero = probe.Digits.empty();
        if (zero && count >= 3 && !sections[2].empty())
            which = 2;
        else if (!zero && Value < 0 && count >= 2 && !sections[1].empty())
            which = 1;
        else
            minus = !zero && Value < 0;
    }
    const std::string& section = sections[which];
    const TPicture pic = which == 0 ? first : analyse(section);
    const TFormatSettings& fs = FormatSettings();

    // The digits to place.
    std::string intText, fracText, expText;
    TDecimal d = ToDecimal(std::fabs(Value));
    if (pic.Exp) {
        const int sig = std::max(1, std::min(pic.IntDigits + pic.FracDigits, 15));
        d = ToDecimal(std::fabs(Value), sig);
        const int intCount = std::max(pic.IntDigits, 1);
        int exp = d.Digits.empty() ? 0 : d.Exponent - intCount;
        for (int i = 0; i < intCount; ++i)
            intText += DigitAt(d, i);
        // Leading '#' placeholders do not show zeros.
        std::size_t strip = 0;
        while (strip + 1 < intText.size() && intText[strip] == '0' &&
               static_cast<int>(intText.size() - strip) > std::max(pic.IntZeros, 1))
            ++strip;
        intText.erase(0, strip);
        for (int i = 0; i < pic.FracDigits; ++i)
            fracText += DigitAt(d, intCount + i);
        std::string e = std::to_string(std::abs(exp));
        while (static_cast<int>(e.size()) < pic.ExpDigits)
            e.insert(e.begin(), '0');
        expText = (exp < 0 ? "-" : (pic.ExpPlus ? "+" : "")) + e;
    } else {
        RoundDecimal(d, pic.FracDigits);
        for (long i = 0; i < d.Exponent; ++i)
            intText += DigitAt(d, i);
        if (static_cast<int>(intText.size()) < pic.IntZeros)
            intText.insert(0, static_cast<std::size_t>(pic.IntZeros) - intText.size(), '0');
        for (int i = 0; i < pic.FracDigits; ++i)
            fracText += DigitAt(d, d.Exponent + i);
    }
    while (static_cast<int>(fracText.size()) > pic.FracZeros && !fracText.empty() && fracText.back() == '0')
        fracText.pop_back();
    if (pic.Thousands)
        intText = GroupThousands(intText, fs.ThousandSeparator);

    // Lay the digits out where the placeholders are; literals stay in place.
    std::string out = minus ? "-" : "";
    bool intDone = false, pointDone = false;
    std::size_t fracPos = 0;
    char quote = 0;
    bool afterExp = false;
    for (std::size_t i = 0; i < section.size(); ++i) {
        const char c = section[i];
        if (quote) {
            if (c == quote)
                quote = 0;
            else
                out += c;
            continue;
        }
        if (c == '\'' || c == '"') {
            quote = c;
            continue;
        }
        if (afterExp) {
            out += c;
            continue;
        }
        const bool intPlaceholder = !pointDone && (c == '0' || c == '#' || c == ',');
        if (intPlaceholder) {
            if (!intDone) {
                out += intText;
                intDone = true;
            }
            continue;
        }
        if (c == '.') {
            if (!intDone) {
                out += intText;
                intDone = true;
            }
            if (!pointDone) {
                pointDone = true;
                if (!fracText.empty())
                    out += fs.DecimalSeparator;
            }
            continue;
        }
        if (pointDone && (c == '0' || c == '#')) {
            if (fracPos < fracText.size())
                out += fracText[fracPos];
            ++fracPos;
            continue;
        }
        if (pic.Exp && (c == 'E' || c == 'e') && i + 1 < section.size() &&
            (section[i + 1] == '+' || section[i + 1] == '-')) {
            if (!intDone) {
                out += intText;
                intDone = true;
            }
            out += c;
            out += expText;
            i += 2;
            while (i < section.size() && section[i] == '0')
                ++i;
            --i;
            afterExp = true;
            continue;
        }
        out += c;
    }
    if (!intDone && (pic.IntDigits > 0 || pic.Point))
        out += intText;
    return out;
}

// ---------------------------------------------------------------------------------------------
// Format

namespace {

[[noreturn]] void BadFormat(const std::string& Fmt)
{
    throw EConvertError("Format '" + Fmt + "' invalid or incompatible with argument");
}

std::string Pad(std::string S, int Width, bool Left)
{
    const std::size_t len = Utf8Length(S);
    if (Width > 0 && len < static_cast<std::size_t>(Width)) {
        const std::size_t fill = static_cast<std::size_t>(Width) - len;
        if (Left)
            S.append(fill, ' ');
        else
            S.insert(0, fill, ' ');
    }
    return S;
}

} // namespace

std::string Format(const std::string& Fmt)
{
    return Format(Fmt, {});
}

std::string Format(const std::string& Fmt, std::initializer_list<TVarRec> Args)
{
    const TVarRec* args = Args.begin();
    const std::size_t argCount = Args.size();
    std::size_t next = 0;
    std::string out;
    out.reserve(Fmt.size() + 16);
    const std::size_t n = Fmt.size();
    auto takeArg = [&]() -> const TVarRec& {
        if (next >= argCount)
            BadFormat(Fmt);
        return args[next++];
    };
    auto takeInt = [&]() -> int {
        const TVarRec& a = takeArg();
        if (a.Kind != TVarRec::vtInteger && a.Kind != TVarRec::vtUnsigned)
            BadFormat(Fmt);
        return static_cast<int>(a.VInteger);
    };
    std::size_t i = 0;
    while (i < n) {
        const std::size_t pct = Fmt.find('%', i);
        if (pct == std::string::npos) {
            out.append(Fmt, i, std::string::npos);
            break;
        }
        out.append(Fmt, i, pct - i);
        i = pct + 1;
        if (i >= n)
            BadFormat(Fmt);
        if (Fmt[i] == '%') {
            out += '%';
            ++i;
            continue;
        }
        // [index:] [-] [width] [.precision] type
        auto readNumber = [&](int& Value) -> bool {
            if (i < n && Fmt[i] == '*') {
                ++i;
                Value = takeInt();
                return true;
            }
            if (i < n && std::isdigit(static_cast<unsigned char>(Fmt[i]))) {
                long v = 0;
                while (i < n && std::isdigit(static_cast<unsigned char>(Fmt[i]))) {
                    v = std::min<long>(v * 10 + (Fmt[i] - '0'), 1 << 20);
                    ++i;
                }
                Value = static_cast<int>(v);
                return true;
            }
            return false;
        };
        int number = -1;
        bool haveNumber = readNumber(number);
        if (haveNumber && i < n && Fmt[i] == ':') {
            if (number < 0)
                BadFormat(Fmt);
            next = static_cast<std::size_t>(number);
            ++i;
            haveNumber = false;
        }
        bool left = false;
        if (!haveNumber && i < n && Fmt[i] == '-') {
            left = true;
            ++i;
        }
        int width = -1;
        if (haveNumber)
            width = number;
        else
            readNumber(width);
        if (width < 0 && width != -1) {
            left = true;
            width = -width;
        }
        int precision = -1;
        if (i < n && Fmt[i] == '.') {
            ++i;
            precision = 0;
            readNumber(precision);
        }
        if (i >= n)
            BadFormat(Fmt);
        const char type = AsciiLower(Fmt[i++]);
        const TVarRec& a = takeArg();
        const bool isInt = a.Kind == TVarRec::vtInteger || a.Kind == TVarRec::vtUnsigned;
        std::string text;
        switch (type) {
        case 'd':
        case 'u':
        case 'x': {
            if (!isInt)
                BadFormat(Fmt);
            std::int64_t v = a.VInteger;
            bool negative = false;
            std::string digits;
            if (type == 'd') {
                negative = v < 0;
                digits = std::to_string(negative ? 0 - static_cast<std::uint64_t>(v)
                                                 : static_cast<std::uint64_t>(v));
            } else {
                // Negative values print as their 32-bit pattern when they fit it.
                std::uint64_t u = static_cast<std::uint64_t>(v);
                if (a.Kind == TVarRec::vtInteger && v < 0 && v >= std::numeric_limits<std::int32_t>::min())
                    u = static_cast<std::uint32_t>(v);
                char buf[32];
                std::snprintf(buf, sizeof buf, type == 'u' ? "%llu" : "%llX",
                              static_cast<unsigned long long>(u));
                digits = buf;
            }
            if (precision > 0 && static_cast<int>(digits.size()) < precision)
                digits.insert(0, static_cast<std::size_t>(precision) - digits.size(), '0');
            text = negative ? "-" + digits : digits;
            break;
        }
        case 's':
            if (a.Kind != TVarRec::vtString && a.Kind != TVarRec::vtChar)
                BadFormat(Fmt);
            text = precision >= 0 ? Utf8Prefix(a.VString, static_cast<std::size_t>(precision)) : a.VString;
            break;
        case 'f':
        case 'e':
        case 'g':
        case 'n':
        case 'm': {
            if (a.Kind != TVarRec::vtExtended && !isInt)
                BadFormat(Fmt);
            const double v = a.Kind == TVarRec::vtExtended
                                 ? a.VExtended
                                 : (a.Kind == TVarRec::vtUnsigned
                                        ? static_cast<double>(static_cast<std::uint64_t>(a.VInteger))
                                        : static_cast<double>(a.VInteger));
            if (type == 'f' || type == 'n' || type == 'm')
                text = FixedText(v, precision < 0 ? 2 : std::min(precision, 18), type != 'f');
            else if (type == 'e')
                text = ScientificText(v, precision < 0 ? 15 : precision, 3, true);
            else
                text = GeneralText(v, precision < 0 ? 15 : precision);
            break;
        }
        case 'p': {
            if (a.Kind != TVarRec::vtPointer)
                BadFormat(Fmt);
            text = IntToHex(static_cast<std::int64_t>(reinterpret_cast<std::uintptr_t>(a.VPointer)),
                            static_cast<int>(sizeof(void*) * 2));
            break;
        }
        default:
            BadFormat(Fmt);
        }
        out += Pad(std::move(text), width, left);
    }
    return out;
}

// ---------------------------------------------------------------------------------------------
// Strings

std::string Trim(const std::string& S)
{
    std::size_t b = 0, e = S.size();
    while (b < e && IsBlank(static_cast<unsigned char>(S[b])))
        ++b;
    while (e > b && IsBlank(static_cast<unsigned char>(S[e - 1])))
        --e;
    return S.substr(b, e - b);
}

std::string TrimLeft(const std::string& S)
{
    std::size_t b = 0;
    while (b < S.size() && IsBlank(static_cast<unsigned char>(S[b])))
        ++b;
    return S.substr(b);
}

std::string TrimRight(const std::string& S)
{
    std::size_t e = S.size();
    while (e > 0 && IsBlank(static_cast<unsigned char>(S[e - 1])))
        --e;
    return S.substr(0, e);
}

std::string UpperCase(const std::string& S)
{
    std::string r = S;
    for (char& c : r)
        c = AsciiUpper(c);
    return r;
}

std::string LowerCase(const std::string& S)
{
    std::string r = S;
    for (char& c : r)
        c = AsciiLower(c);
    return r;
}

std::string AnsiUpperCase(const std::string& S)
{
    return QString::fromUtf8(S.data(), static_cast<qsizetype>(S.size())).toUpper().toStdString();
}

std::string AnsiLowerCase(const std::string& S)
{
    return QString::fromUtf8(S.data(), static_cast<qsizetype>(S.size())).toLower().toStdString();
}

int CompareStr(const std::string& S1, const std::string& S2)
{
    const std::size_t n = std::min(S1.size(), S2.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int d = static_cast<unsigned char>(S1[i]) - static_cast<unsigned char>(S2[i]);
        if (d != 0)
            return d;
    }
    return static_cast<int>(S1.size() > S2.size()) - static_cast<int>(S1.size() < S2.size());
}

int CompareText(const std::string& S1, const std::string& S2)
{
    const std::size_t n = std::min(S1.size(), S2.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int d =
            static_cast<unsigned char>(AsciiUpper(S1[i])) - static_cast<unsigned char>(AsciiUpper(S2[i]));
        if (d != 0)
            return d;
    }
    return static_cast<int>(S1.size() > S2.size()) - static_cast<int>(S1.size() < S2.size());
}

bool SameText(const std::string& S1, const std::string& S2)
{
    return S1.size() == S2.size() && CompareText(S1, S2) == 0;
}

int AnsiCompareText(const std::string& S1, const std::string& S2)
{
    const QString a = QString::fromUtf8(S1.data(), static_cast<qsizetype>(S1.size()));
    const QString b = QString::fromUtf8(S2.data(), static_cast<qsizetype>(S2.size()));
    return a.compare(b, Qt::CaseInsensitive);
}

int Pos(const std::string& SubStr, const std::string& S)
{
    if (SubStr.empty())
        return 0;
    const std::size_t p = S.find(SubStr);
    return p == std::string::npos ? 0 : static_cast<int>(p) + 1;
}

std::string Copy(const std::string& S, int Index, int Count)
{
    if (Index < 1)
        Index = 1;
    if (Count <= 0 || static_cast<std::size_t>(Index) > S.size())
        return {};
    return S.substr(static_cast<std::size_t>(Index) - 1, static_cast<std::size_t>(Count));
}

std::string QuotedStr(const std::string& S)
{
    std::string r = "'";
    for (char c : S) {
        r += c;
        if (c == '\'')
            r += '\'';
    }
    return r + "'";
}

std::string StringOfChar(char Ch, int Count)
{
    return Count > 0 ? std::string(static_cast<std::size_t>(Count), Ch) : std::string();
}

std::string StringReplace(const std::string& S, const std::string& OldPattern, const std::string& NewPattern,
                          int Flags)
{
    if (OldPattern.empty())
        return S;
    const bool ignoreCase = (Flags & rfIgnoreCase) != 0;
    const std::string hay = ignoreCase ? UpperCase(S) : S;
    const std::string needle = ignoreCase ? UpperCase(OldPattern) : OldPattern;
    std::string out;
    std::size_t from = 0;
    while (true) {
        const std::size_t p = hay.find(needle, from);
        if (p == std::string::npos)
            break;
        out.append(S, from, p - from);
        out += NewPattern;
        from = p + needle.size();
        if (!(Flags & rfReplaceAll))
            break;
    }
    out.append(S, from, std::string::npos);
    return out;
}

bool IsDelimiter(const std::string& Delimiters, const std::string& S, int Index)
{
    if (Index < 1 || static_cast<std::size_t>(Index) > S.size())
        return false;
    return Delimiters.find(S[static_cast<std::size_t>(Index) - 1]) != std::string::npos;
}

int LastDelimiter(const std::string& Delimiters, const std::string& S)
{
    const std::size_t p = S.find_last_of(Delimiters);
    return p == std::string::npos ? 0 : static_cast<int>(p) + 1;
}

// ---------------------------------------------------------------------------------------------
// Dates and times

namespace {

constexpr double kMSecsPerDay = 86400000.0;
const int kDaysInMonth[2][12] = {{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                                 {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};
bool IsLeapYear(int Year)
{
    return Year % 4 == 0 && (Year % 100 != 0 || Year % 400 == 0);
}

// Days from 0001-01-01 to the date (civil calendar, proleptic Gregorian).
std::int64_t DaysFromCivil(int y, int m, int d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy =
        (153 * static_cast<unsigned>(m + (m > 2 ? -3 : 9)) + 2) / 5 + static_cast<unsigned>(d) - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468; // days since 1970-01-01
}

void CivilFromDays(std::int64_t z, int& y, int& m, int& d)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2));
}

const std::int64_t kUnixEpochAsDateTime = 25569; // 1970-01-01 in days since 1899-12-30

// Milliseconds since 1899-12-30 for Value, rounded to the nearest millisecond; the fraction of a
// negative date counts forward from midnight of its day, as the classic format stores it.
std::int64_t DateTimeToMSecs(TDateTime Value)
{
    if (!std::isfinite(Value))
        return 0;
    Value = std::clamp(Value, -693593.0, 2958465.99999999);
    double day = std::trunc(Value);
    double frac = std::fabs(Value - day);
    std::int64_t ms = static_cast<std::int64_t>(std::llround(frac * kMSecsPerDay));
    return static_cast<std::int64_t>(day) * 86400000LL + (day < 0 ? -ms : ms);
}

// Converts a locale date/time pattern into the classic tokens.
std::string FromLocalePattern(const QString& Pattern)
{
    std::string out;
    const std::string p = Pattern.toStdString();
    for (std::size_t i = 0; i < p.size();) {
        const char c = p[i];
        std::size_t run = 1;
        while (i + run < p.size() && p[i + run] == c)
            ++run;
        switch (c) {
        case 'd':
            out += run >= 4 ? "dddd" : run == 3 ? "ddd" : run == 2 ? "dd" : "d";
            break;
        case 'M':
        case 'L':
            out += run >= 4 ? "mmmm" : run == 3 ? "mmm" : run == 2 ? "mm" : "m";
            break;
        case 'y':
            out += run == 2 ? "yy" : "yyyy";
            break;
        case 'h':
        case 'H':
            out += run >= 2 ? "hh" : "h";
            break;
        case 'm':
            out += run >= 2 ? "nn" : "n";
            break;
        case 's':
            out += run >= 2 ? "ss" : "s";
            break;
        case 'z':
            out += "zzz";
            break;
        case 'A':
        case 'a':
        case 'B': // a period of the day ("in the afternoon"), shown as the AM/PM marker
            out += "AMPM";
            // Qt writes the marker as "AP" or "ap".
            if (c != 'B' && i + run < p.size() && (p[i + run] == 'P' || p[i + run] == 'p'))
                ++run;
            break;
        case 't':
            // Time zone names are not shown, nor the brackets some locales put around them.
            if (!out.empty() && (out.back() == '(' || out.back() == '[') && i + run < p.size() &&
                p[i + run] == (out.back() == '(' ? ')' : ']')) {
                out.pop_back();
                ++run;
            }
            break;
        case '\'': {
            const std::size_t end = p.find('\'', i + 1);
            const std::string lit =
                p.substr(i + 1, end == std::string::npos ? std::string::npos : end - i - 1);
            if (!lit.empty())
                out += '"' + lit + '"';
            i = end == std::string::npos ? p.size() : end + 1;
            continue;
        }
        default:
            if (std::isalpha(static_cast<unsigned char>(c)))
                out += '"' + std::string(run, c) + '"';
            else
                out.append(run, c);
        }
        i += run;
    }
    // Blanks left where a time zone was dropped, before or after the time.
    return Trim(out);
}

TFormatSettings SettingsOf(const QLocale& loc)
{
    TFormatSettings fs;
    if (loc.language() == QLocale::C)
        return fs;
    fs.ShortDateFormat = FromLocalePattern(loc.dateFormat(QLocale::ShortFormat));
    fs.LongDateFormat = FromLocalePattern(loc.dateFormat(QLocale::LongFormat));
    fs.ShortTimeFormat = FromLocalePattern(loc.timeFormat(QLocale::ShortFormat));
    fs.LongTimeFormat = FromLocalePattern(loc.timeFormat(QLocale::LongFormat));
    // Calls Visit for each character of a format outside its quoted literals.
    auto unquoted = [](std::string& f, const std::function<void(char&)>& Visit) {
        char quote = 0;
        for (char& c : f) {
            if (quote) {
                if (c == quote)
                    quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else {
                Visit(c);
            }
        }
    };
    // The separator is the first punctuation between fields; a blank is never one ("AMPM h:nn"
    // separates its hours with ":").
    auto separator = [&](std::string f, char fallback) {
        char found = 0;
        unquoted(f, [&](char& c) {
            if (!found && (c == '/' || c == '.' || c == '-' || c == ':'))
                found = c;
        });
        return found ? found : fallback;
    };
    fs.DateSeparator = separator(fs.ShortDateFormat, '/');
    fs.TimeSeparator = separator(fs.LongTimeFormat, separator(fs.ShortTimeFormat, ':'));
    // Literal separators become the separator tokens so that changing them has effect.
    unquoted(fs.ShortDateFormat, [&](char& c) {
        if (c == fs.DateSeparator)
            c = '/';
    });
    for (std::string* f : {&fs.ShortTimeFormat, &fs.LongTimeFormat})
        unquoted(*f, [&](char& c) {
            if (c == fs.TimeSeparator)
                c = ':';
        });
    if (!loc.amText().isEmpty())
        fs.TimeAMString = loc.amText().toStdString();
    if (!loc.pmText().isEmpty())
        fs.TimePMString = loc.pmText().toStdString();
    for (int i = 0; i < 12; ++i) {
        fs.ShortMonthNames[static_cast<std::size_t>(i)] =
            loc.monthName(i + 1, QLocale::ShortFormat).toStdString();
        fs.LongMonthNames[static_cast<std::size_t>(i)] =
            loc.monthName(i + 1, QLocale::LongFormat).toStdString();
    }
    for (int i = 0; i < 7; ++i) {
        const int qtDay = i == 0 ? 7 : i; // Qt counts Monday as 1
        fs.ShortDayNames[static_cast<std::size_t>(i)] =
            loc.dayName(qtDay, QLocale::ShortFormat).toStdString();
        fs.LongDayNames[static_cast<std::size_t>(i)] = loc.dayName(qtDay, QLocale::LongFormat).toStdString();
    }
    return fs;
}

} // namespace

TFormatSettings LocaleFormatSettings(const std::string& LocaleName)
{
    return SettingsOf(QLocale(QString::fromStdString(LocaleName)));
}

TFormatSettings& FormatSettings()
{
    static TFormatSettings settings = SettingsOf(QLocale::system());
    return settings;
}

TDateTime EncodeDate(int Year, int Month, int Day)
{
    if (Year < 1 || Year > 9999 || Month < 1 || Month > 12 || Day < 1 ||
        Day > kDaysInMonth[IsLeapYear(Year)][Month - 1])
        throw EConvertError("Invalid argument to date encode");
    return static_cast<double>(DaysFromCivil(Year, Month, Day) + kUnixEpochAsDateTime);
}

TDateTime EncodeTime(int Hour, int Min, int Sec, int MSec)
{
    if (Hour < 0 || Hour > 23 || Min < 0 || Min > 59 || Sec < 0 || Sec > 59 || MSec < 0 || MSec > 999)
        throw EConvertError("Invalid argument to time encode");
    return (((Hour * 60.0 + Min) * 60.0 + Sec) * 1000.0 + MSec) / kMSecsPerDay;
}

void DecodeDate(TDateTime Value, int& Year, int& Month, int& Day)
{
    // Truncation matches the encoding of negative dates (the day, then the time counted forward).
    const std::int64_t days = DateTimeToMSecs(Value) / 86400000LL;
    CivilFromDays(days - kUnixEpochAsDateTime, Year, Month, Day);
}

void DecodeTime(TDateTime Value, int& Hour, int& Min, int& Sec, int& MSec)
{
    std::int64_t ms = DateTimeToMSecs(Value) % 86400000LL;
    if (ms < 0)
        ms = -ms;
    Hour = static_cast<int>(ms / 3600000);
    Min = static_cast<int>(ms / 60000 % 60);
    Sec = static_cast<int>(ms / 1000 % 60);
    MSec = static_cast<int>(ms % 1000);
}

int DayOfWeek(TDateTime Value)
{
    const std::int64_t days = DateTimeToMSecs(Value) / 86400000LL;
    // 1899-12-30 was a Saturday (7).
    return static_cast<int>(((days + 6) % 7 + 7) % 7) + 1;
}

TDateTime Now()
{
    timeval tv{};
    gettimeofday(&tv, nullptr);
    std::tm local{};
    const time_t secs = tv.tv_sec;
    localtime_r(&secs, &local);
    return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
           EncodeTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59),
                      static_cast<int>(tv.tv_usec / 1000));
}

TDateTime Date()
{
    return std::floor(Now());
}
TDateTime Time()
{
    const TDateTime n = Now();
    return n - std::floor(n);
}

std::string FormatDateTime(const std::string& Fmt, TDateTime Value)
{
    const TFormatSettings& fs = FormatSettings();
    int year, month, day, hour, minute, sec, msec;
    DecodeDate(Value, year, month, day);
    DecodeTime(Value, hour, minute, sec, msec);
    const int dow = DayOfWeek(Value) - 1;
    auto two = [](int v) {
        char b[8];
        std::snprintf(b, sizeof b, "%02d", v);
        return std::string(b);
    };
    // An "am/pm" marker anywhere in a format makes its hours 12-hour ones.
    auto isTwelve = [](const std::string& f) {
        const std::string upper = UpperCase(f);
        return upper.find("AM/PM") != std::string::npos || upper.find("A/P") != std::string::npos ||
               upper.find("AMPM") != std::string::npos;
    };
    std::string out;
    bool lastWasHour = false;
    int depth = 0;
    std::function<void(const std::string&)> emitPart;
    emitPart = [&](const std::string& f) {
        if (++depth > 4) { // nested "c", "ddddd", "t" expand once or twice at most
            --depth;
            return;
        }
        const bool twelve = isTwelve(f);
        std::size_t i = 0;
        const std::size_t n = f.size();
        while (i < n) {
            const char c = f[i];
            const char u = AsciiUpper(c);
            std::size_t run = 1;
            while (i + run < n && AsciiUpper(f[i + run]) == u)
                ++run;
            if (c == '"' || c == '\'') {
                const std::size_t end = f.find(c, i + 1);
                out.append(f, i + 1, end == std::string::npos ? std::string::npos : end - i - 1);
                i = end == std::string::npos ? n : end + 1;
                continue;
            }
            switch (u) {
            case 'D':
                if (run >= 6) {
                    emitPart(fs.LongDateFormat);
                    run = 6;
                } else if (run == 5) {
                    emitPart(fs.ShortDateFormat);
                } else if (run == 4) {
                    out += fs.LongDayNames[static_cast<std::size_t>(dow)];
                } else if (run == 3) {
                    out += fs.ShortDayNames[static_cast<std::size_t>(dow)];
                } else if (run == 2) {
                    out += two(day);
                } else {
                    out += std::to_string(day);
                }
                lastWasHour = false;
                break;
            case 'M':
                // "m" after an hour means minutes, as in "h:m".
                if (lastWasHour && run <= 2) {
                    out += run == 2 ? two(minute) : std::to_string(minute);
                } else if (run >= 4) {
                    run = 4;
                    out += fs.LongMonthNames[static_cast<std::size_t>(month - 1)];
                } else if (run == 3) {
                    out += fs.ShortMonthNames[static_cast<std::size_t>(month - 1)];
                } else {
                    out += run == 2 ? two(month) : std::to_string(month);
                }
                lastWasHour = false;
                break;
            case 'Y':
                out += run <= 2 ? two(year % 100) : std::to_string(year);
                lastWasHour = false;
                break;
            case 'H': {
                int h = hour;
                if (twelve) {
                    h %= 12;
                    if (h == 0)
                        h = 12;
                }
                out += run >= 2 ? two(h) : std::to_string(h);
                run = std::min<std::size_t>(run, 2);
                lastWasHour = true;
                break;
            }
            case 'N':
                out += run >= 2 ? two(minute) : std::to_string(minute);
                run = std::min<std::size_t>(run, 2);
                lastWasHour = false;
                break;
            case 'S':
                out += run >= 2 ? two(sec) : std::to_string(sec);
                run = std::min<std::size_t>(run, 2);
                lastWasHour = false;
                break;
            case 'Z': {
                if (run >= 3) {
                    char b[8];
                    std::snprintf(b, sizeof b, "%03d", msec);
                    out += b;
                    run = 3;
                } else {
                    out += std::to_string(msec);
                    run = 1;
                }
                break;
            }
            case 'T':
                emitPart(run >= 2 ? fs.LongTimeFormat : fs.ShortTimeFormat);
                run = std::min<std::size_t>(run, 2);
                break;
            case 'C':
                emitPart(fs.ShortDateFormat);
                if (hour || minute || sec) {
                    out += ' ';
                    emitPart(fs.LongTimeFormat);
                }
                run = 1;
                break;
            case 'A': {
                const std::string rest = UpperCase(f.substr(i, 5));
                if (rest.rfind("AMPM", 0) == 0) {
                    out += hour < 12 ? fs.TimeAMString : fs.TimePMString;
                    run = 4;
                } else if (rest.rfind("AM/PM", 0) == 0) {
                    const std::string word = hour < 12 ? f.substr(i, 2) : f.substr(i + 3, 2);
                    out += word;
                    run = 5;
                } else if (rest.rfind("A/P", 0) == 0) {
                    out += hour < 12 ? f.substr(i, 1) : f.substr(i + 2, 1);
                    run = 3;
                } else {
                    out += c;
                    run = 1;
                }
                break;
            }
            case '/':
                out += fs.DateSeparator;
                run = 1;
                break;
            case ':':
                out += fs.TimeSeparator;
                run = 1;
                break;
            default:
                out += c;
                run = 1;
            }
            i += run;
        }
        --depth;
    };
    emitPart(Fmt.empty() ? std::string("c") : Fmt);
    return out;
}

std::string DateToStr(TDateTime Value)
{
    return FormatDateTime(FormatSettings().ShortDateFormat, Value);
}
std::string TimeToStr(TDateTime Value)
{
    return FormatDateTime(FormatSettings().LongTimeFormat, Value);
}
std::string DateTimeToStr(TDateTime Value)
{
    return FormatDateTime("c", Value);
}

// ---------------------------------------------------------------------------------------------
// Exit routines

namespace {

std::vector<std::function<void()>>& ExitProcs()
{
    static std::vector<std::function<void()>> Procs;
    return Procs;
}

} // namespace

void AddExitProc(std::function<void()> Proc)
{
    if (Proc)
        ExitProcs().push_back(std::move(Proc));
}

void RunExitProcs()
{
    // Each routine leaves the list before it runs, so one that adds another never runs twice;
    // one that fails at the very end keeps none of the others from running.
    while (!ExitProcs().empty()) {
        std::function<void()> Proc = std::move(ExitProcs().back());
        ExitProcs().pop_back();
        try {
            Proc();
        } catch (...) {
        }
    }
}
