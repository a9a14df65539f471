#include "platform/classes/FormReader.h"

#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <unordered_set>
#include <vector>

EFormError::EFormError(const std::string& FormName, int Line, const std::string& Word,
                       const std::string& Problem)
    : EReadError(FormName + ", line " + IntToStr(Line) + ": " + Problem +
                 (Word.empty() ? "" : " '" + Word + "'")),
      FFormName(FormName), FLine(Line), FWord(Word), FProblem(Problem)
{
}

void ReadForm(TComponent* Root, const std::string& Text, const std::string& FormName)
{
    TFormReader::Read(Root, Text, FormName);
}

void ReadForm(TComponent* Root, TStream* Stream, const std::string& FormName)
{
    if (!Stream)
        throw EReadError("No stream to read " + FormName + " from");
    TFormReader::Read(Root, Stream->ReadAll(), FormName);
}

namespace {

// Nesting of objects and collection items; deeper text is refused rather than recursed into.
constexpr int MaxDepth = 64;

enum class TTok { End, Ident, String, Integer, Float, Symbol };

struct TToken {
    TTok Kind = TTok::End;
    std::string Text; // identifier, decoded string, or the number/symbol as written
    std::int64_t Int = 0;
    double Float = 0;
    char Sym = 0;
    int Line = 1;
};

bool IsIdentStart(char C)
{
    return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || C == '_';
}
bool IsIdentChar(char C)
{
    return IsIdentStart(C) || (C >= '0' && C <= '9');
}
bool IsDigit(char C)
{
    return C >= '0' && C <= '9';
}
int HexValue(char C)
{
    if (C >= '0' && C <= '9')
        return C - '0';
    if (C >= 'A' && C <= 'F')
        return C - 'A' + 10;
    if (C >= 'a' && C <= 'f')
        return C - 'a' + 10;
    return -1;
}

void AppendUtf8(std::string& S, std::uint32_t Code)
{
    if (Code < 0x80) {
        S += static_cast<char>(Code);
    } else if (Code < 0x800) {
        S += static_cast<char>(0xC0 | (Code >> 6));
        S += static_cast<char>(0x80 | (Code & 0x3F));
    } else if (Code < 0x10000) {
        S += static_cast<char>(0xE0 | (Code >> 12));
        S += static_cast<char>(0x80 | ((Code >> 6) & 0x3F));
        S += static_cast<char>(0x80 | (Code & 0x3F));
    } else {
        S += static_cast<char>(0xF0 | (Code >> 18));
        S += static_cast<char>(0x80 | ((Code >> 12) & 0x3F));
        S += static_cast<char>(0x80 | ((Code >> 6) & 0x3F));
        S += static_cast<char>(0x80 | (Code & 0x3F));
    }
}

// The one character of a Char value: a single byte, or one code point up to 255 written as
// UTF-8 (what #nn above 127 decodes to).
bool SingleChar(const std::string& S, std::int64_t& Code)
{
    const auto* B = reinterpret_cast<const unsigned char*>(S.data());
    if (S.size() == 1) {
        Code = B[0];
        return true;
    }
    if (S.size() == 2 && (B[0] & 0xE0) == 0xC0 && (B[1] & 0xC0) == 0x80) {
        const int V = ((B[0] & 0x1F) << 6) | (B[1] & 0x3F);
        if (V >= 0x80 && V <= 0xFF) {
            Code = V;
            return true;
        }
    }
    return false;
}

// A long string as an error message quotes it: its start, never cut inside a UTF-8 sequence.
std::string Shorten(const std::string& S)
{
    if (S.size() <= 40)
        return S;
    std::size_t N = 40;
    while (N > 0 && (static_cast<unsigned char>(S[N]) & 0xC0) == 0x80)
        --N;
    return S.substr(0, N) + "...";
}

class TLexer {
public:
    TLexer(const std::string& Text, const std::string& FormName) : FText(Text), FForm(FormName)
    {
        if (FText.compare(0, 3, "\xEF\xBB\xBF") == 0)
            FPos = 3;
    }

    const TToken& Tok() const { return FTok; }

    [[noreturn]] void Fail(int Line, const std::string& Word, const std::string& Problem) const
    {
        throw EFormError(FForm, Line, Word, Problem);
    }
    [[noreturn]] void Fail(const std::string& Problem) const { Fail(FTok.Line, Describe(FTok), Problem); }

    static std::string Describe(const TToken& T)
    {
        switch (T.Kind) {
        case TTok::End:
            return "end of file";
        case TTok::String:
            return Shorten(T.Text);
        default:
            return T.Text;
        }
    }

    void Advance()
    {
        SkipBlanks();
        FTok = TToken();
        FTok.Line = FLine;
        if (FPos >= FText.size()) {
            FTok.Kind = TTok::End;
            return;
        }
        const char C = FText[FPos];
        if (IsIdentStart(C)) {
            ReadIdent();
        } else if (C == '\'' || C == '#') {
            ReadString();
        } else if (IsDigit(C) || C == '$' ||
                   ((C == '-' || C == '+') && FPos + 1 < FText.size() &&
                    (IsDigit(FText[FPos + 1]) || FText[FPos + 1] == '$'))) {
            ReadNumber();
        } else if (std::string("=:[](){}<>,+").find(C) != std::string::npos) {
            FTok.Kind = TTok::Symbol;
            FTok.Sym = C;
            FTok.Text = std::string(1, C);
            ++FPos;
        } else {
            const unsigned char U = static_cast<unsigned char>(C);
            Fail(FLine, U < 0x20 || U >= 0x7F ? "#" + IntToStr(U) : std::string(1, C),
                 "Unexpected character");
        }
    }

    bool IsSym(char C) const { return FTok.Kind == TTok::Symbol && FTok.Sym == C; }
    bool IsKeyword(const char* Word) const { return FTok.Kind == TTok::Ident && SameText(FTok.Text, Word); }

    // After the "{" token: hex digit pairs up to "}", blanks and line breaks allowed between.
    std::string ReadBinary()
    {
        const int StartLine = FTok.Line;
        std::string Bytes;
        int Pending = -1;
        while (true) {
            SkipBlanks();
            if (FPos >= FText.size())
                Fail(StartLine, "{", "Unterminated binary data");
            const char C = FText[FPos];
            if (C == '}') {
                if (Pending >= 0)
                    Fail(FLine, "}", "Odd number of hex digits in binary data");
                ++FPos;
                return Bytes;
            }
            const int V = HexValue(C);
            if (V < 0)
                Fail(FLine, std::string(1, C), "Bad hex digit in binary data");
            ++FPos;
            if (Pending < 0) {
                Pending = V;
            } else {
                Bytes += static_cast<char>((Pending << 4) | V);
                Pending = -1;
            }
        }
    }

private:
    void SkipBlanks()
    {
        while (FPos < FText.size()) {
            const char C = FText[FPos];
            if (C == '\n') {
                ++FLine;
                ++FPos;
            } else if (C == '\r') {
                ++FLine;
                ++FPos;
                if (FPos < FText.size() && FText[FPos] == '\n')
                    ++FPos;
            } else if (C == ' ' || C == '\t' || C == '\f' || C == '\v') {
                ++FPos;
            } else if (C == '/' && FPos + 1 < FText.size() && FText[FPos + 1] == '/') {
                while (FPos < FText.size() && FText[FPos] != '\r' && FText[FPos] != '\n')
                    ++FPos;
            } else {
                break;
            }
        }
    }

    void ReadIdent()
    {
        const std::size_t Start = FPos;
        while (true) {
            while (FPos < FText.size() && IsIdentChar(FText[FPos]))
                ++FPos;
            if (FPos + 1 < FText.size() && FText[FPos] == '.' && IsIdentStart(FText[FPos + 1]))
                ++FPos;
            else
                break;
        }
        FTok.Kind = TTok::Ident;
        FTok.Text = FText.substr(Start, FPos - Start);
    }

    void ReadString()
    {
        FTok.Kind = TTok::String;
        std::string Value;
        while (FPos < FText.size() && (FText[FPos] == '\'' || FText[FPos] == '#')) {
            if (FText[FPos] == '\'') {
                ++FPos;
                while (true) {
                    if (FPos >= FText.size() || FText[FPos] == '\r' || FText[FPos] == '\n')
                        Fail(FTok.Line, Shorten(Value), "Unterminated string");
                    const char C = FText[FPos++];
                    if (C == '\'') {
                        if (FPos < FText.size() && FText[FPos] == '\'') {
                            Value += '\'';
                            ++FPos;
                            continue;
                        }
                        break;
                    }
                    Value += C;
                }
            } else {
                const std::size_t Start = FPos++;
                std::uint64_t Code = 0;
                int Digits = 0;
                if (FPos < FText.size() && FText[FPos] == '$') {
                    ++FPos;
                    while (FPos < FText.size() && HexValue(FText[FPos]) >= 0 && Digits < 9) {
                        Code = Code * 16 + static_cast<std::uint64_t>(HexValue(FText[FPos++]));
                        ++Digits;
                    }
                } else {
                    while (FPos < FText.size() && IsDigit(FText[FPos]) && Digits < 9) {
                        Code = Code * 10 + static_cast<std::uint64_t>(FText[FPos++] - '0');
                        ++Digits;
                    }
                }
                const bool Hex = FText[Start + 1] == '$';
                const bool TooLong =
                    FPos < FText.size() && (Hex ? HexValue(FText[FPos]) >= 0 : IsDigit(FText[FPos]));
                const std::string Written = FText.substr(Start, FPos - Start);
                if (Digits == 0 || TooLong || Code > 0x10FFFF || (Code >= 0xD800 && Code <= 0xDFFF))
                    Fail(FLine, Written, "Bad character code");
                AppendUtf8(Value, static_cast<std::uint32_t>(Code));
            }
        }
        FTok.Text = std::move(Value);
    }

    void ReadNumber()
    {
        const std::size_t Start = FPos;
        bool Negative = false;
        if (FText[FPos] == '-' || FText[FPos] == '+')
            Negative = FText[FPos++] == '-';
        auto Written = [&] { return FText.substr(Start, FPos - Start); };
        if (FText[FPos] == '$') {
            ++FPos;
            std::uint64_t V = 0;
            int Digits = 0;
            while (FPos < FText.size() && HexValue(FText[FPos]) >= 0) {
                if (++Digits > 16)
                    Fail(FLine, Written(), "Number out of range");
                V = V * 16 + static_cast<std::uint64_t>(HexValue(FText[FPos++]));
            }
            if (Digits == 0 || (FPos < FText.size() && IsIdentChar(FText[FPos])))
                Fail(FLine, Written(), "Bad number");
            FTok.Kind = TTok::Integer;
            FTok.Int = static_cast<std::int64_t>(Negative ? 0 - V : V);
            FTok.Text = Written();
            return;
        }
        while (FPos < FText.size() && IsDigit(FText[FPos]))
            ++FPos;
        bool IsFloat = false;
        if (FPos + 1 < FText.size() && FText[FPos] == '.' && IsDigit(FText[FPos + 1])) {
            IsFloat = true;
            ++FPos;
            while (FPos < FText.size() && IsDigit(FText[FPos]))
                ++FPos;
        }
        if (FPos < FText.size() && (FText[FPos] == 'e' || FText[FPos] == 'E')) {
            std::size_t P = FPos + 1;
            if (P < FText.size() && (FText[P] == '+' || FText[P] == '-'))
                ++P;
            if (P < FText.size() && IsDigit(FText[P])) {
                IsFloat = true;
                FPos = P;
                while (FPos < FText.size() && IsDigit(FText[FPos]))
                    ++FPos;
            }
        }
        if (FPos < FText.size() && IsIdentChar(FText[FPos]))
            Fail(FLine, Written() + FText[FPos], "Bad number");
        FTok.Text = Written();
        if (IsFloat) {
            FTok.Kind = TTok::Float;
            FTok.Float = std::strtod(FTok.Text.c_str(), nullptr);
            if (!std::isfinite(FTok.Float))
                Fail(FLine, FTok.Text, "Number out of range");
            return;
        }
        // Decimal integer with an overflow check (the magnitude of INT64_MIN included).
        std::uint64_t V = 0;
        const std::uint64_t Limit = Negative ? std::uint64_t(1) << 63 : (std::uint64_t(1) << 63) - 1;
        for (std::size_t I = Start + ((FText[Start] == '-' || FText[Start] == '+') ? 1 : 0); I < FPos; ++I) {
            const std::uint64_t D = static_cast<std::uint64_t>(FText[I] - '0');
            if (V > (Limit - D) / 10)
                Fail(FLine, FTok.Text, "Number out of range");
            V = V * 10 + D;
        }
        FTok.Kind = TTok::Integer;
        FTok.Int = Negative ? static_cast<std::int64_t>(0 - V) : static_cast<std::int64_t>(V);
    }

    const std::string& FText;
    std::string FForm;
    std::size_t FPos = 0;
    int FLine = 1;
    TToken FTok;
};

struct TFixup {
    TComponent* Component; // the component whose object block holds the property
    TObject* Instance;     // the object holding the reference property
    const TPropInfo* Prop;
    std::string Name;
    int Line;
    // The collection items being read around the property, outermost first: clearing any of
    // their collections frees Instance, nested items included.
    std::vector<TObject*> Items;
};

bool IsObjectKeyword(const TToken& T)
{
    return T.Kind == TTok::Ident &&
           (SameText(T.Text, "object") || SameText(T.Text, "inherited") || SameText(T.Text, "inline"));
}

} // namespace

class TFormReader::TImpl {
public:
    TImpl(TComponent* Root, const std::string& Text, const std::string& FormName)
        : FRoot(Root), FForm(FormName), FLex(Text, FormName)
    {
    }

    void Run()
    {
        try {
            FLex.Advance();
            if (!IsObjectKeyword(FLex.Tok()))
                FLex.Fail("'object' expected, found");
            ReadObject(nullptr, 0);
            if (FLex.Tok().Kind != TTok::End)
                FLex.Fail("Text after the end of the form");
            ResolveFixups();
        } catch (...) {
            DropFreed();
            for (TComponent* C : FLoaded) {
                SetState(C, csReading, false);
                SetState(C, csLoading, false);
            }
            throw;
        }
        DropFreed();
        for (TComponent* C : FLoaded)
            SetState(C, csReading, false);
        // Loaded may raise (a bad glyph); the rest still leave csLoading.
        std::size_t I = 0;
        try {
            for (; I < FLoaded.size(); ++I)
                FLoaded[I]->Loaded();
        } catch (...) {
            for (; I < FLoaded.size(); ++I)
                SetState(FLoaded[I], csLoading, false);
            throw;
        }
    }

private:
    // A setter may have freed a component read earlier (a control replacing a child): only those
    // the root still owns are finished.
    std::unordered_set<TComponent*> OwnedNow() const
    {
        std::unordered_set<TComponent*> Owned{FRoot};
        for (int I = 0; I < FRoot->ComponentCount(); ++I)
            Owned.insert(FRoot->Components(I));
        return Owned;
    }

    void DropFreed()
    {
        const auto Owned = OwnedNow();
        std::erase_if(FLoaded, [&](TComponent* C) { return !Owned.count(C); });
    }

    // Runs Step; an exception that is not the reader's own gets the form and line in front.
    template <class F> void At(int Line, F&& Step)
    {
        try {
            Step();
        } catch (EFormError&) {
            throw;
        } catch (Exception& E) {
            E.SetMessage(FForm + ", line " + IntToStr(Line) + ": " + E.Message());
            throw;
        }
    }

    std::string ExpectIdent(const char* What)
    {
        if (FLex.Tok().Kind != TTok::Ident)
            FLex.Fail(std::string(What) + " expected, found");
        std::string S = FLex.Tok().Text;
        FLex.Advance();
        return S;
    }

    void ExpectSym(char C)
    {
        if (!FLex.IsSym(C))
            FLex.Fail(std::string("'") + C + "' expected, found");
        FLex.Advance();
    }

    void BeginLoading(TComponent* C)
    {
        SetState(C, csLoading, true);
        SetState(C, csReading, true);
        FLoaded.push_back(C);
    }

    void ReadObject(TComponent* Parent, int Depth)
    {
        if (Depth > MaxDepth)
            FLex.Fail("Objects nested too deeply at");
        const int Line = FLex.Tok().Line;
        const bool Inherited = FLex.IsKeyword("inherited"); // "inline" makes its component like "object"
        FLex.Advance();
        std::string Name = ExpectIdent("Component name");
        std::string ClassName;
        if (FLex.IsSym(':')) {
            FLex.Advance();
            ClassName = ExpectIdent("Class name");
        } else {
            ClassName = Name;
            Name.clear();
        }
        if (FLex.IsSym('[')) { // the position index of an inherited component: not needed
            FLex.Advance();
            if (FLex.Tok().Kind != TTok::Integer)
                FLex.Fail("Index expected, found");
            FLex.Advance();
            ExpectSym(']');
        }

        TComponent* Instance = nullptr;
        if (!Parent) {
            Instance = FRoot;
            if (!FRoot->InheritsFrom(ClassName))
                FLex.Fail(Line, ClassName, "The form is a " + FRoot->ClassName() + ", not a");
            BeginLoading(FRoot);
            if (!Name.empty() && !SameText(FRoot->Name(), Name))
                At(Line, [&] { SetRootName(Name); });
        } else if (Inherited) {
            Instance = FRoot->FindComponent(Name);
            if (!Instance)
                FLex.Fail(Line, Name, "Unknown inherited component");
            if (!Instance->InheritsFrom(ClassName))
                FLex.Fail(Line, ClassName, "Inherited component " + Name + " is not a");
            BeginLoading(Instance);
        } else {
            const TClassInfo* Info = FindClassInfo(ClassName);
            if (!Info)
                FLex.Fail(Line, ClassName, "Class not found:");
            if (!Info->Create)
                FLex.Fail(Line, ClassName, "Not a component class:");
            At(Line, [&] { Instance = Info->Create(FRoot); });
            BeginLoading(Instance);
            try {
                At(Line, [&] { Instance->SetName(Name); });
                if (!Name.empty())
                    if (const TClassInfo* RootInfo = GetClassInfo(FRoot))
                        if (const TFieldInfo* Field = RootInfo->FindField(Name))
                            if (!Field->Set(FRoot, Instance))
                                FLex.Fail(Line, Name, "Field does not fit the component's class:");
            } catch (...) {
                FLoaded.pop_back();
                delete Instance;
                throw;
            }
            At(Line, [&] { Instance->SetParentComponent(Parent); });
        }

        TComponent* const Outer = FCurrent;
        FCurrent = Instance;
        while (!FLex.IsKeyword("end")) {
            if (FLex.Tok().Kind == TTok::End)
                FLex.Fail(Line, Name.empty() ? ClassName : Name, "Missing 'end' of object");
            if (IsObjectKeyword(FLex.Tok()))
                ReadObject(Instance, Depth + 1);
            else
                ReadProperty(Instance, Depth);
        }
        FCurrent = Outer;
        FLex.Advance();
    }

    void SetRootName(const std::string& Name)
    {
        // A second instance of a form under the same owner gets "Name_2", "Name_3"...
        try {
            FRoot->SetName(Name);
            return;
        } catch (EComponentError&) {
            if (!FRoot->Owner() || !FRoot->Owner()->FindComponent(Name))
                throw;
        }
        for (int N = 2;; ++N) {
            const std::string Candidate = Name + "_" + IntToStr(N);
            if (!FRoot->Owner()->FindComponent(Candidate)) {
                FRoot->SetName(Candidate);
                return;
            }
        }
    }

    // Prop = value, the property found along a dotted path from Holder.
    void ReadProperty(TObject* Holder, int Depth)
    {
        const int Line = FLex.Tok().Line;
        const std::string Path = ExpectIdent("Property name");
        TObject* Target = Holder;
        const TPropInfo* Prop = nullptr;
        std::size_t Start = 0;
        while (true) {
            const std::size_t Dot = Path.find('.', Start);
            const std::string Seg =
                Path.substr(Start, Dot == std::string::npos ? std::string::npos : Dot - Start);
            const TClassInfo* Info = GetClassInfo(Target);
            Prop = Info ? Info->FindProp(Seg) : nullptr;
            if (!Prop)
                FLex.Fail(Line, Path, "Unknown property");
            if (Dot == std::string::npos)
                break;
            if (!Prop->GetObj || Prop->Kind == TPropKind::Component)
                FLex.Fail(Line, Path, "Not an object property");
            TObject* Sub = nullptr;
            At(Line, [&] { Sub = Prop->GetObj(Target); });
            if (!Sub)
                FLex.Fail(Line, Path, "Property holds no object");
            Target = Sub;
            Start = Dot + 1;
        }
        ExpectSym('=');
        ReadValue(Target, *Prop, Path, Line, Depth);
    }

    [[noreturn]] void BadValue(const TToken& T) const
    {
        FLex.Fail(T.Line, TLexer::Describe(T), "Invalid property value");
    }

    void NeedSetter(bool Has, const std::string& Path, int Line) const
    {
        if (!Has)
            FLex.Fail(Line, Path, "Read-only property");
    }

    void CheckRange(const TPropInfo& Prop, std::int64_t V, const TToken& T) const
    {
        if (V < Prop.MinValue || V > Prop.MaxValue)
            FLex.Fail(T.Line, T.Text, "Value out of range");
    }

    // A string value: one string token or several joined by "+".
    std::string ReadStringValue()
    {
        std::string S = FLex.Tok().Text;
        FLex.Advance();
        while (FLex.IsSym('+')) {
            FLex.Advance();
            if (FLex.Tok().Kind != TTok::String)
                FLex.Fail("String expected after '+', found");
            S += FLex.Tok().Text;
            FLex.Advance();
        }
        return S;
    }

    void ReadValue(TObject* Target, const TPropInfo& Prop, const std::string& Path, int Line, int Depth)
    {
        const TToken T = FLex.Tok();
        switch (T.Kind) {
        case TTok::Symbol:
            if (T.Sym == '<') {
                if (Prop.Kind != TPropKind::Collection)
                    BadValue(T);
                ReadCollection(Target, Prop, Line, Depth);
            } else if (T.Sym == '(') {
                if (Prop.Kind != TPropKind::Strings)
                    BadValue(T);
                ReadStrings(Target, Prop, Line);
            } else if (T.Sym == '{') {
                if (Prop.Kind != TPropKind::Binary)
                    BadValue(T);
                const std::string Bytes = FLex.ReadBinary();
                FLex.Advance();
                NeedSetter(static_cast<bool>(Prop.SetStr), Path, Line);
                At(Line, [&] { Prop.SetStr(Target, Bytes); });
            } else if (T.Sym == '[') {
                if (Prop.Kind != TPropKind::Set)
                    BadValue(T);
                ReadSet(Target, Prop, Path, Line);
            } else {
                BadValue(T);
            }
            return;
        case TTok::String: {
            const std::string S = ReadStringValue();
            if (Prop.Kind == TPropKind::String) {
                NeedSetter(static_cast<bool>(Prop.SetStr), Path, Line);
                At(Line, [&] { Prop.SetStr(Target, S); });
            } else if (Prop.Kind == TPropKind::Char) {
                std::int64_t Code = 0;
                if (!SingleChar(S, Code))
                    FLex.Fail(T.Line, S, "One character expected, found");
                NeedSetter(static_cast<bool>(Prop.SetOrd), Path, Line);
                At(Line, [&] { Prop.SetOrd(Target, Code); });
            } else if (Prop.Kind == TPropKind::Object) {
                ReadObjectFromString(Target, Prop, Path, Line, T, S);
            } else {
                BadValue(T);
            }
            return;
        }
        case TTok::Integer:
            FLex.Advance();
            if (Prop.Kind == TPropKind::Integer || Prop.Kind == TPropKind::Ident) {
                CheckRange(Prop, T.Int, T);
                NeedSetter(static_cast<bool>(Prop.SetOrd), Path, Line);
                std::int64_t V = T.Int;
                if (Prop.Kind == TPropKind::Ident &&
                    Prop.MaxValue == std::numeric_limits<std::uint32_t>::max())
                    V = static_cast<std::int32_t>(static_cast<std::uint32_t>(V)); // $80000005 is clWindow
                At(Line, [&] { Prop.SetOrd(Target, V); });
            } else if (Prop.Kind == TPropKind::Float) {
                NeedSetter(static_cast<bool>(Prop.SetFloat), Path, Line);
                At(Line, [&] { Prop.SetFloat(Target, static_cast<double>(T.Int)); });
            } else {
                BadValue(T);
            }
            return;
        case TTok::Float:
            FLex.Advance();
            if (Prop.Kind != TPropKind::Float)
                BadValue(T);
            NeedSetter(static_cast<bool>(Prop.SetFloat), Path, Line);
            At(Line, [&] { Prop.SetFloat(Target, T.Float); });
            return;
        case TTok::Ident:
            FLex.Advance();
            ReadIdentValue(Target, Prop, Path, Line, T);
            return;
        case TTok::End:
            FLex.Fail("Value expected, found");
        }
    }

    // Glyph = 'SB_NEWFILE': the class of the object the property holds loads it from the string.
    void ReadObjectFromString(TObject* Target, const TPropInfo& Prop, const std::string& Path, int Line,
                              const TToken& T, const std::string& S)
    {
        TObject* Sub = nullptr;
        At(Line, [&] { Sub = Prop.GetObj ? Prop.GetObj(Target) : nullptr; });
        if (!Sub)
            FLex.Fail(Line, Path, "Property holds no object");
        const TClassInfo* Info = GetClassInfo(Sub);
        const auto* Assign = Info ? Info->FindFromString() : nullptr;
        if (!Assign)
            BadValue(T);
        try {
            (*Assign)(Sub, S);
        } catch (EFormError&) {
            throw;
        } catch (Exception& E) {
            FLex.Fail(T.Line, S, E.Message());
        }
    }

    void ReadIdentValue(TObject* Target, const TPropInfo& Prop, const std::string& Path, int Line,
                        const TToken& T)
    {
        const std::string& Word = T.Text;
        std::int64_t V = 0;
        switch (Prop.Kind) {
        case TPropKind::Boolean:
            if (SameText(Word, "True"))
                V = 1;
            else if (!SameText(Word, "False"))
                BadValue(T);
            break;
        case TPropKind::Enumeration: {
            const TEnumInfo* E = Prop.Enum();
            if (!E)
                FLex.Fail(T.Line, Prop.Name, "No names registered for the enumeration of");
            const int Index = E->ValueOf(Word);
            if (Index < 0)
                BadValue(T);
            V = Index;
            break;
        }
        case TPropKind::Ident:
            if (!IdentToInt(Prop.IdentMap, Word, V))
                BadValue(T);
            break;
        case TPropKind::Component:
            // A later value of the same property wins over a reference still pending.
            std::erase_if(FFixups, [&](const TFixup& F) { return F.Instance == Target && F.Prop == &Prop; });
            if (SameText(Word, "nil")) {
                NeedSetter(static_cast<bool>(Prop.SetObj), Path, Line);
                At(Line, [&] { Prop.SetObj(Target, nullptr); });
            } else {
                NeedSetter(static_cast<bool>(Prop.SetObj), Path, Line);
                FFixups.push_back(TFixup{FCurrent, Target, &Prop, Word, T.Line, FItemChain});
            }
            return;
        case TPropKind::Event: {
            NeedSetter(static_cast<bool>(Prop.SetEvent), Path, Line);
            if (SameText(Word, "nil")) {
                At(Line, [&] { Prop.SetEvent(Target, std::any()); });
                return;
            }
            const TClassInfo* RootInfo = GetClassInfo(FRoot);
            const THandlerInfo* H = RootInfo ? RootInfo->FindHandler(Word) : nullptr;
            if (!H)
                FLex.Fail(T.Line, Word, "Unknown handler");
            if (H->Type != Prop.Type)
                FLex.Fail(T.Line, Word, "Handler does not fit " + Prop.TypeName() + " " + Prop.Name + ":");
            At(Line, [&] { Prop.SetEvent(Target, H->Bind(FRoot)); });
            return;
        }
        default:
            BadValue(T);
        }
        NeedSetter(static_cast<bool>(Prop.SetOrd), Path, Line);
        At(Line, [&] { Prop.SetOrd(Target, V); });
    }

    void ReadSet(TObject* Target, const TPropInfo& Prop, const std::string& Path, int Line)
    {
        FLex.Advance(); // [
        const TEnumInfo* E = Prop.Enum();
        if (!E)
            FLex.Fail(Line, Prop.Name, "No names registered for the enumeration of");
        std::uint64_t Bits = 0;
        while (!FLex.IsSym(']')) {
            const TToken T = FLex.Tok();
            if (T.Kind != TTok::Ident)
                FLex.Fail("Set element expected, found");
            const int Index = E->ValueOf(T.Text);
            if (Index < 0 || Index >= 64)
                BadValue(T);
            Bits |= std::uint64_t(1) << Index;
            FLex.Advance();
            if (FLex.IsSym(','))
                FLex.Advance();
            else if (!FLex.IsSym(']'))
                FLex.Fail("',' or ']' expected, found");
        }
        FLex.Advance();
        NeedSetter(static_cast<bool>(Prop.SetOrd), Path, Line);
        At(Line, [&] { Prop.SetOrd(Target, static_cast<std::int64_t>(Bits)); });
    }

    void ReadStrings(TObject* Target, const TPropInfo& Prop, int Line)
    {
        FLex.Advance(); // (
        std::vector<std::string> Lines;
        while (!FLex.IsSym(')')) {
            if (FLex.Tok().Kind != TTok::String)
                FLex.Fail("String expected, found");
            Lines.push_back(ReadStringValue());
        }
        FLex.Advance();
        At(Line, [&] {
            auto* List = dynamic_cast<TStrings*>(Prop.GetObj(Target));
            if (!List)
                FLex.Fail(Line, Prop.Name, "Property holds no string list");
            List->BeginUpdate();
            try {
                List->Clear();
                for (const std::string& S : Lines)
                    List->Add(S);
            } catch (...) {
                List->EndUpdate();
                throw;
            }
            List->EndUpdate();
        });
    }

    void ReadCollection(TObject* Target, const TPropInfo& Prop, int Line, int Depth)
    {
        FLex.Advance(); // <
        TCollection* Coll = nullptr;
        At(Line, [&] { Coll = dynamic_cast<TCollection*>(Prop.GetObj(Target)); });
        if (!Coll)
            FLex.Fail(Line, Prop.Name, "Property holds no collection");
        // The items about to go, and the items of collections inside them, may hold pending
        // component references.
        std::unordered_set<TObject*> Going;
        for (int I = 0; I < Coll->Count(); ++I)
            Going.insert(Coll->Items(I));
        std::erase_if(FFixups, [&](const TFixup& F) {
            return std::any_of(F.Items.begin(), F.Items.end(),
                               [&](TObject* O) { return Going.count(O) > 0; });
        });
        Coll->BeginUpdate();
        try {
            At(Line, [&] { Coll->Clear(); });
            while (!FLex.IsSym('>')) {
                if (!FLex.IsKeyword("item"))
                    FLex.Fail("'item' expected, found");
                const int ItemLine = FLex.Tok().Line;
                FLex.Advance();
                if (Depth + 1 > MaxDepth)
                    FLex.Fail(ItemLine, "item", "Items nested too deeply at");
                TCollectionItem* Item = nullptr;
                At(ItemLine, [&] { Item = Coll->Add(); });
                FItemChain.push_back(Item);
                while (!FLex.IsKeyword("end")) {
                    if (FLex.Tok().Kind == TTok::End)
                        FLex.Fail(ItemLine, "item", "Missing 'end' of");
                    ReadProperty(Item, Depth + 1);
                }
                FItemChain.pop_back();
                FLex.Advance();
            }
            FLex.Advance();
        } catch (...) {
            Coll->EndUpdate();
            throw;
        }
        At(Line, [&] { Coll->EndUpdate(); });
    }

    TComponent* FindReference(const std::string& Name) const
    {
        // "Button1", "Form1.Button1" through the root's own name, or a path of owned names.
        std::vector<std::string> Segs;
        for (std::size_t Start = 0;;) {
            const std::size_t Dot = Name.find('.', Start);
            Segs.push_back(Name.substr(Start, Dot == std::string::npos ? std::string::npos : Dot - Start));
            if (Dot == std::string::npos)
                break;
            Start = Dot + 1;
        }
        TComponent* Cur = nullptr;
        std::size_t I = 1;
        if (Segs.size() > 1 && SameText(Segs[0], FRoot->Name()))
            Cur = FRoot;
        else
            Cur = FRoot->FindComponent(Segs[0]);
        if (!Cur && SameText(Segs[0], FRoot->Name()))
            Cur = FRoot;
        for (; Cur && I < Segs.size(); ++I)
            Cur = Cur->FindComponent(Segs[I]);
        return Cur;
    }

    void ResolveFixups()
    {
        const auto Owned = OwnedNow();
        std::erase_if(FFixups, [&](const TFixup& F) { return !Owned.count(F.Component); });
        for (const TFixup& F : FFixups) {
            TComponent* C = FindReference(F.Name);
            if (!C)
                FLex.Fail(F.Line, F.Name, "Unknown component");
            if (F.Prop->Accepts && !F.Prop->Accepts(C))
                FLex.Fail(F.Line, F.Name, "Component is not a " + F.Prop->TypeName() + ":");
            At(F.Line, [&] { F.Prop->SetObj(F.Instance, C); });
        }
        FFixups.clear();
    }

    static void SetState(TComponent* C, TComponentStateItem Item, bool On)
    {
        TFormReader::SetState(C, Item, On);
    }

    TComponent* FRoot;
    std::string FForm;
    TLexer FLex;
    TComponent* FCurrent = nullptr; // the component whose object block is being read
    std::vector<TComponent*> FLoaded;
    std::vector<TFixup> FFixups;
    std::vector<TObject*> FItemChain; // the collection items being read, outermost first
};

void TFormReader::Read(TComponent* Root, const std::string& Text, const std::string& FormName)
{
    if (!Root)
        throw EReadError("No component to read " + FormName + " into");
    TImpl(Root, Text, FormName).Run();
}
