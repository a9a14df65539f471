#include "components/addons/AdHelpersRes.h"

#include "platform/rtl/SysUtils.h"

#include <cstdint>
#include <memory>

namespace {
// String-table number of the class library's "not found" message.
constexpr int SResNotFound = 61450;
} // namespace

bool IsNumericResIdent(TAdResIdent Ident)
{
    return (reinterpret_cast<std::uintptr_t>(Ident) >> 16) == 0;
}

std::string ResIdentText(TAdResIdent Ident)
{
    if (IsNumericResIdent(Ident))
        return IntToStr(reinterpret_cast<std::uintptr_t>(Ident) & 0xFFFF);
    return std::string(Ident);
}

void RaiseResourceNotFound(TAdResIdent Ident)
{
    std::string Message = LoadResString(SResNotFound);
    // A program without the library's string table still gets the documented text.
    if (Message.empty())
        Message = "Resource %s not found";
    throw EResNotFound(Format(Message, {ResIdentText(Ident)}));
}

TBitmap* BitmapFromResource(HINSTANCE Instance, TAdResIdent Ident)
{
    auto Bitmap = std::make_unique<TBitmap>();
    try {
        if (IsNumericResIdent(Ident))
            Bitmap->LoadFromResourceID(Instance, static_cast<int>(reinterpret_cast<std::uintptr_t>(Ident)));
        else
            Bitmap->LoadFromResourceName(Instance, Ident);
    } catch (...) {
        return nullptr;
    }
    return Bitmap.release();
}

std::string LoadResourceText(int Ident)
{
    return LoadResString(Ident);
}
