#include "platform/graphics/Resources.h"
#include "platform/graphics/ResourceCheck.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <memory>
#include <mutex>
#include <utility>

namespace {

std::string UpperAscii(std::string_view Text)
{
    std::string s(Text);
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return s;
}

// A number written in decimal digits only, within int range; -1 otherwise.
int ParseNumber(std::string_view Text)
{
    if (Text.empty() || Text.size() > 10)
        return -1;
    int value = 0;
    auto [end, ec] = std::from_chars(Text.data(), Text.data() + Text.size(), value);
    if (ec != std::errc() || end != Text.data() + Text.size() || value < 0)
        return -1;
    return value;
}

struct TKey {
    std::string Type;
    int Number;
    std::string Name;
    bool operator<(const TKey& o) const
    {
        if (Type != o.Type)
            return Type < o.Type;
        // Numbers sort before names, as ResourceIds promises.
        bool num = Number >= 0, onum = o.Number >= 0;
        if (num != onum)
            return num;
        if (Number != o.Number)
            return Number < o.Number;
        return Name < o.Name;
    }
};

struct TEntry {
    std::shared_ptr<const std::string> Owned; // null for compiled-in data
    const std::uint8_t* Data = nullptr;
    std::size_t Size = 0;
};

// Reached through a function so that registrations from other units' static initialisers
// always find it constructed.
struct TRegistry {
    std::mutex Lock;
    std::map<TKey, TEntry> Entries;
    std::map<int, std::string> Strings;
    std::vector<TKey> Duplicates; // compiled-in resources registered a second time
    // Replaced or removed copies stay alive: a caller may still hold a TResourceData on them.
    std::vector<std::shared_ptr<const std::string>> Retired;
};

TRegistry& Registry()
{
    static TRegistry* registry = new TRegistry; // never destroyed: exit-time lookups stay safe
    return *registry;
}

TKey MakeKey(std::string_view Type, const TResourceId& Id)
{
    return TKey{UpperAscii(Type), Id.IsNumber() ? Id.Number() : -1,
                Id.IsNumber() ? std::string() : Id.Name()};
}

void Store(std::string_view Type, const TResourceId& Id, TEntry Entry)
{
    TRegistry& r = Registry();
    std::lock_guard guard(r.Lock);
    TEntry& slot = r.Entries[MakeKey(Type, Id)];
    if (slot.Owned)
        r.Retired.push_back(slot.Owned);
    slot = std::move(Entry);
}

std::string Unescape(std::string_view Text)
{
    std::string out;
    out.reserve(Text.size());
    for (std::size_t i = 0; i < Text.size(); ++i) {
        char c = Text[i];
        if (c == '\\' && i + 1 < Text.size()) {
            char n = Text[++i];
            switch (n) {
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case '\\':
                out += '\\';
                break;
            default:
                out += '\\';
                out += n;
            }
        } else {
            out += c;
        }
    }
    return out;
}

[[noreturn]] void NotFound(const TResourceId& Id)
{
    throw EResNotFound("Resource " + Id.ToString() + " not found");
}

} // namespace

TResourceId::TResourceId(std::string_view Name)
{
    std::string_view digits = Name;
    if (!digits.empty() && digits.front() == '#')
        digits.remove_prefix(1);
    FNumber = ParseNumber(digits);
    if (FNumber < 0)
        FName = UpperAscii(Name);
}

std::string TResourceId::ToString() const
{
    return IsNumber() ? std::to_string(FNumber) : FName;
}

void RegisterResource(std::string_view Type, const TResourceId& Id, const void* Data, std::size_t Size)
{
    TEntry e;
    e.Owned = std::make_shared<const std::string>(static_cast<const char*>(Data), Data ? Size : 0);
    e.Data = reinterpret_cast<const std::uint8_t*>(e.Owned->data());
    e.Size = e.Owned->size();
    Store(Type, Id, std::move(e));
}

void RegisterStaticResource(std::string_view Type, const TResourceId& Id, const void* Data, std::size_t Size)
{
    TEntry e;
    e.Data = static_cast<const std::uint8_t*>(Data);
    e.Size = Data ? Size : 0;
    TRegistry& r = Registry();
    std::lock_guard guard(r.Lock);
    // Registered before main, where nothing can report: noted for the start of the program.
    if (!r.Entries.emplace(MakeKey(Type, Id), std::move(e)).second)
        r.Duplicates.push_back(MakeKey(Type, Id));
}

void CheckResourceNames()
{
    TRegistry& r = Registry();
    std::string names;
    {
        std::lock_guard guard(r.Lock);
        for (const TKey& k : r.Duplicates) {
            if (!names.empty())
                names += ", ";
            names += k.Type + " " + (k.Number >= 0 ? std::to_string(k.Number) : k.Name);
        }
    }
    if (!names.empty())
        throw EDuplicateResource("Duplicate resources in the program: " + names);
}

bool UnregisterResource(std::string_view Type, const TResourceId& Id)
{
    TRegistry& r = Registry();
    std::lock_guard guard(r.Lock);
    const TKey key = MakeKey(Type, Id);
    std::erase_if(r.Duplicates, [&](const TKey& k) { return !(k < key) && !(key < k); });
    auto it = r.Entries.find(key);
    if (it == r.Entries.end())
        return false;
    if (it->second.Owned)
        r.Retired.push_back(it->second.Owned);
    r.Entries.erase(it);
    return true;
}

bool FindResourceData(std::string_view Type, const TResourceId& Id, TResourceData& Out)
{
    TRegistry& r = Registry();
    std::lock_guard guard(r.Lock);
    auto it = r.Entries.find(MakeKey(Type, Id));
    if (it == r.Entries.end())
        return false;
    Out.Data = it->second.Data;
    Out.Size = it->second.Size;
    return true;
}

bool ResourceExists(std::string_view Type, const TResourceId& Id)
{
    TResourceData d;
    return FindResourceData(Type, Id, d);
}

TResourceData ResourceBytes(std::string_view Type, const TResourceId& Id)
{
    TResourceData d;
    if (!FindResourceData(Type, Id, d))
        NotFound(Id);
    return d;
}

std::vector<TResourceId> ResourceIds(std::string_view Type)
{
    std::string type = UpperAscii(Type);
    std::vector<TResourceId> out;
    TRegistry& r = Registry();
    std::lock_guard guard(r.Lock);
    for (const auto& [key, entry] : r.Entries)
        if (key.Type == type)
            out.push_back(key.Number >= 0 ? TResourceId(key.Number)
                                          : TResourceId(std::string_view(key.Name)));
    return out;
}

void RegisterStringTable(std::string_view Text)
{
    std::size_t pos = 0;
    while (pos < Text.size()) {
        std::size_t end = Text.find('\n', pos);
        if (end == std::string_view::npos)
            end = Text.size();
        std::string_view line = Text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.size() >= 3 && static_cast<unsigned char>(line[0]) == 0xEF &&
            static_cast<unsigned char>(line[1]) == 0xBB && static_cast<unsigned char>(line[2]) == 0xBF)
            line.remove_prefix(3); // a byte-order mark on the first line
        if (line.empty() || line.front() == ';')
            continue;
        std::size_t eq = line.find('=');
        if (eq == std::string_view::npos)
            continue;
        std::string_view number = line.substr(0, eq);
        while (!number.empty() && (number.back() == ' ' || number.back() == '\t'))
            number.remove_suffix(1);
        while (!number.empty() && (number.front() == ' ' || number.front() == '\t'))
            number.remove_prefix(1);
        int id = ParseNumber(number);
        if (id < 0)
            continue;
        std::string_view text = line.substr(eq + 1);
        while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
            text.remove_prefix(1);
        RegisterResourceString(id, Unescape(text));
    }
}

void RegisterResourceString(int Id, std::string_view Text)
{
    TRegistry& r = Registry();
    std::lock_guard guard(r.Lock);
    r.Strings[Id] = std::string(Text);
}

bool FindResourceString(int Id, std::string& Out)
{
    TRegistry& r = Registry();
    std::lock_guard guard(r.Lock);
    auto it = r.Strings.find(Id);
    if (it == r.Strings.end())
        return false;
    Out = it->second;
    return true;
}

std::string LoadResString(int Id)
{
    std::string s;
    FindResourceString(Id, s);
    return s;
}

TDibImage LoadResourceBitmap(const TResourceId& Id)
{
    std::string bytes = ResourceBytes(ResourceType::Bitmap, Id).Bytes();
    // A bitmap resource may be a whole file or a bare DIB.
    if (SniffImage(bytes) == TImageKind::Unknown)
        return DecodeDib(bytes.data(), bytes.size());
    return DecodeImage(bytes);
}

TIconImage LoadResourceCursor(const TResourceId& Id, int Width, int Height)
{
    std::string bytes = ResourceBytes(ResourceType::Cursor, Id).Bytes();
    TIconImage icon = DecodeIcon(bytes, Width, Height);
    icon.IsCursor = true;
    return icon;
}

TIconImage LoadResourceIcon(const TResourceId& Id, int Width, int Height)
{
    std::string bytes = ResourceBytes(ResourceType::Icon, Id).Bytes();
    return DecodeIcon(bytes, Width, Height);
}

std::string LoadResourceForm(std::string_view FormClassName)
{
    return ResourceBytes(ResourceType::Form, TResourceId(FormClassName)).Bytes();
}
