// A variant value: one of the scalar types a setting may hold, tagged with its type code as the
// run-time numbers them (varInteger 3, varString 256 ...). Only the types the programs store are
// offered; conversions between them follow the run-time's rules for these few cases.
#pragma once

#include "platform/rtl/SysUtils.h"

#include <cstdint>
#include <string>

using TVarType = std::uint16_t;
constexpr TVarType varEmpty = 0;
constexpr TVarType varNull = 1;
constexpr TVarType varSmallint = 2;
constexpr TVarType varInteger = 3;
constexpr TVarType varSingle = 4;
constexpr TVarType varDouble = 5;
constexpr TVarType varCurrency = 6;
constexpr TVarType varDate = 7;
constexpr TVarType varOleStr = 8;
constexpr TVarType varBoolean = 11;
constexpr TVarType varString = 256;

TW_DECLARE_EXCEPTION(EVariantError, Exception);

class Variant {
public:
    Variant() = default;
    Variant(int Value) : FType(varInteger), FInt(Value) {}
    Variant(double Value) : FType(varDouble), FFloat(Value) {}
    Variant(bool Value) : FType(varBoolean), FInt(Value ? 1 : 0) {}
    Variant(std::string Value) : FType(varString), FStr(std::move(Value)) {}
    Variant(const char* Value) : Variant(std::string(Value)) {}

    // A value of a given numeric type code (varSmallint, varSingle, varCurrency, varDate ...).
    static Variant OfType(TVarType Type, double Value);

    TVarType VarType() const { return FType; }
    bool IsEmpty() const { return FType == varEmpty; }

    // EVariantError "Could not convert variant to type (<target>)" where no rule applies.
    std::string AsString() const;
    int AsInteger() const;
    double AsFloat() const;
    bool AsBoolean() const;

    bool operator==(const Variant& Other) const;

private:
    bool IsOrdinal() const { return FType == varSmallint || FType == varInteger || FType == varBoolean; }
    bool IsFloat() const;
    bool IsText() const { return FType == varString || FType == varOleStr; }

    TVarType FType = varEmpty;
    std::int64_t FInt = 0;
    double FFloat = 0;
    std::string FStr;
};

TVarType VarType(const Variant& V);
