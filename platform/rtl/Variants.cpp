#include "platform/rtl/Variants.h"

#include <cmath>

namespace {
[[noreturn]] void ConvertError(const char* Target)
{
    throw EVariantError(std::string("Could not convert variant to type (") + Target + ")");
}
} // namespace

Variant Variant::OfType(TVarType Type, double Value)
{
    Variant V;
    V.FType = Type;
    switch (Type) {
    case varSmallint:
    case varInteger:
        V.FInt = static_cast<std::int64_t>(std::llround(Value));
        break;
    case varBoolean:
        V.FInt = Value != 0 ? 1 : 0;
        break;
    case varSingle:
    case varDouble:
    case varCurrency:
    case varDate:
        V.FFloat = Value;
        break;
    default:
        // Text and the empty types take no number: an empty variant of that type.
        break;
    }
    return V;
}

bool Variant::IsFloat() const
{
    return FType == varSingle || FType == varDouble || FType == varCurrency || FType == varDate;
}

std::string Variant::AsString() const
{
    if (IsText())
        return FStr;
    if (FType == varBoolean)
        return FInt ? "True" : "False";
    if (IsOrdinal())
        return IntToStr(FInt);
    if (IsFloat())
        return FloatToStr(FFloat);
    if (FType == varEmpty)
        return std::string();
    ConvertError("String");
}

int Variant::AsInteger() const
{
    if (IsOrdinal())
        return static_cast<int>(FInt);
    if (IsFloat())
        return static_cast<int>(std::lround(FFloat));
    if (IsText()) {
        int Value = 0;
        if (TryStrToInt(FStr, Value))
            return Value;
    }
    if (FType == varEmpty)
        return 0;
    ConvertError("Integer");
}

double Variant::AsFloat() const
{
    if (IsFloat())
        return FFloat;
    if (IsOrdinal())
        return static_cast<double>(FInt);
    if (IsText()) {
        double Value = 0;
        if (TryStrToFloat(FStr, Value))
            return Value;
    }
    if (FType == varEmpty)
        return 0;
    ConvertError("Double");
}

bool Variant::AsBoolean() const
{
    if (IsOrdinal())
        return FInt != 0;
    if (IsFloat())
        return FFloat != 0;
    if (IsText()) {
        if (SameText(FStr, "True"))
            return true;
        if (SameText(FStr, "False"))
            return false;
    }
    if (FType == varEmpty)
        return false;
    ConvertError("Boolean");
}

bool Variant::operator==(const Variant& Other) const
{
    return FType == Other.FType && FInt == Other.FInt && FFloat == Other.FFloat && FStr == Other.FStr;
}

TVarType VarType(const Variant& V)
{
    return V.VarType();
}
