#include "platform/classes/FormReader.h"

#include "platform/rtl/SysUtils.h"

#include <cmath>
#include <cstdio>

namespace {

// Sub-objects that answer their owner again must not send the writer round in circles.
constexpr int MaxObjectDepth = 16;

std::string Quote(const std::string& S)
{
    if (S.empty())
        return "''";
    std::string Out;
    bool InQuotes = false;
    for (char C : S) {
        const unsigned char U = static_cast<unsigned char>(C);
        if (U < 0x20 || U == 0x7F) {
            if (InQuotes) {
                Out += '\'';
                InQuotes = false;
            }
            Out += "#" + IntToStr(U);
            continue;
        }
        if (!InQuotes) {
            Out += '\'';
            InQuotes = true;
        }
        if (C == '\'')
            Out += '\'';
        Out += C;
    }
    if (InQuotes)
        Out += '\'';
    return Out;
}

class TWriter {
public:
    explicit TWriter(TComponent* Root) : FRoot(Root) {}

    std::string Run()
    {
        WriteObject(FRoot, 0);
        return FOut;
    }

private:
    void Line(int Indent, const std::string& S)
    {
        FOut.append(static_cast<std::size_t>(Indent) * 2, ' ');
        FOut += S;
        FOut += "\r\n";
    }

    bool IsChildOf(TComponent* C, TComponent* Parent) const
    {
        TComponent* P = C->GetParentComponent();
        if (Parent == FRoot)
            return !P || P == FRoot || P->Owner() != FRoot;
        return P == Parent;
    }

    void WriteObject(TComponent* C, int Indent)
    {
        if (Indent > 64)
            return;
        Line(Indent, "object " + (C->Name().empty() ? std::string() : C->Name() + ": ") + C->ClassName());
        WriteProps(C, "", Indent + 1, 0);
        for (int I = 0; I < FRoot->ComponentCount(); ++I) {
            TComponent* Child = FRoot->Components(I);
            if (Child != C && IsChildOf(Child, C))
                WriteObject(Child, Indent + 1);
        }
        Line(Indent, "end");
    }

    std::string ReferenceName(TComponent* C) const
    {
        if (C == FRoot || C->Owner() == FRoot || !C->Owner())
            return C->Name();
        return C->Owner()->Name() + "." + C->Name();
    }

    std::string OrdText(const TPropInfo& P, std::int64_t V) const
    {
        switch (P.Kind) {
        case TPropKind::Boolean:
            return V ? "True" : "False";
        case TPropKind::Char:
            return V >= 0x20 && V < 0x7F ? Quote(std::string(1, static_cast<char>(V))) : "#" + IntToStr(V);
        case TPropKind::Enumeration: {
            const TEnumInfo* E = P.Enum();
            const std::string N = E ? E->NameOf(V) : std::string();
            return N.empty() ? IntToStr(V) : N;
        }
        case TPropKind::Set: {
            const TEnumInfo* E = P.Enum();
            std::string S = "[";
            for (int I = 0; I < 64; ++I)
                if ((static_cast<std::uint64_t>(V) >> I) & 1) {
                    if (S.size() > 1)
                        S += ", ";
                    S += E ? E->NameOf(I) : IntToStr(I);
                }
            return S + "]";
        }
        case TPropKind::Ident: {
            std::string N;
            if (IntToIdent(P.IdentMap, V, N))
                return N;
            return IntToStr(V);
        }
        default:
            return IntToStr(V);
        }
    }

    void WriteProps(TObject* Obj, const std::string& Prefix, int Indent, int Depth)
    {
        const TClassInfo* Info = GetClassInfo(Obj);
        if (!Info || Depth > MaxObjectDepth)
            return;
        for (const TPropInfo* PP : Info->AllProps()) {
            const TPropInfo& P = *PP;
            if (!P.Stored)
                continue;
            const std::string Name = Prefix + P.Name;
            switch (P.Kind) {
            case TPropKind::Integer:
            case TPropKind::Char:
            case TPropKind::Enumeration:
            case TPropKind::Set:
            case TPropKind::Boolean:
            case TPropKind::Ident: {
                if (!P.GetOrd || !P.SetOrd)
                    break;
                const std::int64_t V = P.GetOrd(Obj);
                if (!P.DefaultOrd || V != *P.DefaultOrd)
                    Line(Indent, Name + " = " + OrdText(P, V));
                break;
            }
            case TPropKind::String: {
                if (!P.GetStr || !P.SetStr ||
                    (Prefix.empty() && SameText(P.Name, "Name") && Is<TComponent>(Obj)))
                    break;
                const std::string V = P.GetStr(Obj);
                if (P.DefaultStr ? V != *P.DefaultStr : !V.empty())
                    Line(Indent, Name + " = " + Quote(V));
                break;
            }
            case TPropKind::Float: {
                if (!P.GetFloat || !P.SetFloat)
                    break;
                const double V = P.GetFloat(Obj);
                if (!std::isfinite(V) || (P.DefaultFloat ? V == *P.DefaultFloat : V == 0))
                    break;
                char Buf[40];
                std::snprintf(Buf, sizeof Buf, "%.17g", V);
                Line(Indent, Name + " = " + Buf);
                break;
            }
            case TPropKind::Object:
                if (TObject* Sub = P.GetObj ? P.GetObj(Obj) : nullptr; Sub && Sub != Obj)
                    WriteProps(Sub, Name + ".", Indent, Depth + 1);
                break;
            case TPropKind::Strings: {
                auto* L = P.GetObj ? dynamic_cast<TStrings*>(P.GetObj(Obj)) : nullptr;
                if (!L || L->Count() == 0)
                    break;
                Line(Indent, Name + (SameText(P.Name, "Strings") ? "" : ".Strings") + " = (");
                for (int I = 0; I < L->Count(); ++I)
                    Line(Indent + 1, Quote(L->Strings(I)) + (I + 1 == L->Count() ? ")" : ""));
                break;
            }
            case TPropKind::Collection: {
                auto* C = P.GetObj ? dynamic_cast<TCollection*>(P.GetObj(Obj)) : nullptr;
                if (!C || C->Count() == 0)
                    break;
                Line(Indent, Name + " = <");
                for (int I = 0; I < C->Count(); ++I) {
                    Line(Indent + 1, "item");
                    WriteProps(C->Items(I), "", Indent + 2, Depth + 1);
                    Line(Indent + 1, I + 1 == C->Count() ? "end>" : "end");
                }
                break;
            }
            case TPropKind::Component: {
                auto* C = P.GetObj ? dynamic_cast<TComponent*>(P.GetObj(Obj)) : nullptr;
                if (C && P.SetObj && !C->Name().empty())
                    Line(Indent, Name + " = " + ReferenceName(C));
                break;
            }
            case TPropKind::Binary: {
                if (!P.GetStr)
                    break;
                const std::string Bytes = P.GetStr(Obj);
                if (Bytes.empty())
                    break;
                static const char Hex[] = "0123456789ABCDEF";
                Line(Indent, Name + " = {");
                for (std::size_t I = 0; I < Bytes.size(); I += 32) {
                    std::string Row;
                    for (std::size_t J = I; J < Bytes.size() && J < I + 32; ++J) {
                        const unsigned char U = static_cast<unsigned char>(Bytes[J]);
                        Row += Hex[U >> 4];
                        Row += Hex[U & 15];
                    }
                    Line(Indent + 1, Row + (I + 32 >= Bytes.size() ? "}" : ""));
                }
                break;
            }
            case TPropKind::Event:
                break;
            }
        }
    }

    TComponent* FRoot;
    std::string FOut;
};

} // namespace

std::string WriteForm(TComponent* Root)
{
    if (!Root)
        return "";
    return TWriter(Root).Run();
}
