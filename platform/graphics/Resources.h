// The program's own resources: cursors, bitmaps, icons, string tables, stored form descriptions
// and raw data, by type and by name or number. They are compiled into the program (see
// cmake/Resources.cmake) and registered before main; tests may register more at run time.
#pragma once

#include "platform/graphics/ImageCodecs.h"
#include "platform/rtl/SysUtils.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Raised when a resource that must exist is missing.
class EResNotFound : public Exception {
public:
    using Exception::Exception;
};

// Resource type names: the subdirectory a resource file sits in. Types compare case-insensitively.
namespace ResourceType {
inline constexpr const char* Cursor = "CURSOR";
inline constexpr const char* Bitmap = "BITMAP";
inline constexpr const char* Icon = "ICON";
inline constexpr const char* String = "STRING"; // string tables, see RegisterStringTable
inline constexpr const char* RcData = "RCDATA";
inline constexpr const char* Form = "FORM"; // stored form descriptions, by form class name
} // namespace ResourceType

// A resource identifier: a name ("AD_HANDCUR", compared case-insensitively) or a number (1001).
// A name of the form "#1001" is the number 1001, and so is the text "1001".
class TResourceId {
public:
    TResourceId(int Number) : FNumber(Number) {}
    TResourceId(const char* Name) : TResourceId(std::string_view(Name ? Name : "")) {}
    TResourceId(const std::string& Name) : TResourceId(std::string_view(Name)) {}
    TResourceId(std::string_view Name);

    bool IsNumber() const { return FNumber >= 0; }
    int Number() const { return FNumber; }
    const std::string& Name() const { return FName; } // upper case; empty for a number
    std::string ToString() const;                     // "AD_HANDCUR" or "1001"
    bool operator==(const TResourceId& Other) const
    {
        return FNumber == Other.FNumber && FName == Other.FName;
    }

private:
    int FNumber = -1;
    std::string FName;
};

// Stays valid for the whole run, even when the resource is later replaced or removed.
struct TResourceData {
    const std::uint8_t* Data = nullptr;
    std::size_t Size = 0;
    std::string_view View() const { return {reinterpret_cast<const char*>(Data), Size}; }
    std::string Bytes() const { return std::string(View()); }
};

// Registers a copy of the bytes; a later registration of the same type and id replaces it.
void RegisterResource(std::string_view Type, const TResourceId& Id, const void* Data, std::size_t Size);
// Registers bytes that live as long as the program (compiled-in arrays); no copy is made.
void RegisterStaticResource(std::string_view Type, const TResourceId& Id, const void* Data, std::size_t Size);
// Removes a resource; returns whether it was there.
bool UnregisterResource(std::string_view Type, const TResourceId& Id);

// Looks a resource up; false (Out untouched) when it is missing.
bool FindResourceData(std::string_view Type, const TResourceId& Id, TResourceData& Out);
bool ResourceExists(std::string_view Type, const TResourceId& Id);
// The bytes of a resource; raises EResNotFound ("Resource AD_HANDCUR not found").
TResourceData ResourceBytes(std::string_view Type, const TResourceId& Id);
// Ids registered under Type, numbers first (ascending), then names (sorted).
std::vector<TResourceId> ResourceIds(std::string_view Type);

// String tables. A STRING resource is UTF-8 text of lines "<number>=<text>", where the text may
// use \n, \r, \t and \\ escapes and blanks after '=' are dropped; blank lines and lines
// starting with ';' are skipped. Each table's
// entries are registered when the table is; a later entry with the same number replaces it.
void RegisterStringTable(std::string_view Text);
void RegisterResourceString(int Id, std::string_view Text);
// false (Out untouched) when no string has that number.
bool FindResourceString(int Id, std::string& Out);
// The string, or empty when missing.
std::string LoadResString(int Id);

// Decoded resources; each raises EResNotFound when missing and EInvalidGraphic when corrupt.
TDibImage LoadResourceBitmap(const TResourceId& Id);
// Cursors and icons pick the entry nearest Width x Height (0: the largest).
TIconImage LoadResourceCursor(const TResourceId& Id, int Width = 0, int Height = 0);
TIconImage LoadResourceIcon(const TResourceId& Id, int Width = 0, int Height = 0);
// A stored form description by form class name ("TForm1"); raises EResNotFound.
std::string LoadResourceForm(std::string_view FormClassName);
