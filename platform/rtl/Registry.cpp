#include "platform/rtl/Registry.h"

#include "platform/rtl/FileInternals.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <sys/stat.h>

namespace {

struct TRegValue {
    std::string Name;
    TRegDataType Type = rdString;
    std::string Data; // strings as UTF-8, integers as 4 bytes little-endian, binary as is
};

struct TRegKey {
    std::string Name; // full name as first created, e.g. "HKEY_CURRENT_USER\Software\X"
    std::vector<TRegValue> Values;
    TRegValue* Find(const std::string& ValueName)
    {
        for (TRegValue& v : Values)
            if (SameText(v.Name, ValueName))
                return &v;
        return nullptr;
    }
};

const struct {
    HKEY Key;
    const char* Name;
} kRoots[] = {
    {HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT"},
    {HKEY_CURRENT_USER, "HKEY_CURRENT_USER"},
    {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"},
    {HKEY_USERS, "HKEY_USERS"},
    {HKEY_PERFORMANCE_DATA, "HKEY_PERFORMANCE_DATA"},
    {HKEY_CURRENT_CONFIG, "HKEY_CURRENT_CONFIG"},
    {HKEY_DYN_DATA, "HKEY_DYN_DATA"},
};

bool IsRootName(const std::string& Name)
{
    for (const auto& r : kRoots)
        if (SameText(Name, r.Name))
            return true;
    return false;
}

// "a\\b\" -> "a\b": empty levels dropped.
std::string NormalizeKey(const std::string& Key)
{
    std::string out;
    std::size_t i = 0;
    while (i <= Key.size()) {
        std::size_t slash = Key.find('\\', i);
        if (slash == std::string::npos)
            slash = Key.size();
        if (slash > i) {
            if (!out.empty())
                out += '\\';
            out.append(Key, i, slash - i);
        }
        i = slash + 1;
    }
    return out;
}

std::string FoldKey(const std::string& Name)
{
    return UpperCase(Name);
}

// --- the file format ------------------------------------------------------------------------

std::string Quote(const std::string& S)
{
    std::string r = "\"";
    for (unsigned char c : S) {
        switch (c) {
        case '\\':
            r += "\\\\";
            break;
        case '"':
            r += "\\\"";
            break;
        case '\n':
            r += "\\n";
            break;
        case '\r':
            r += "\\r";
            break;
        default:
            if (c < 0x20) {
                char b[8];
                std::snprintf(b, sizeof b, "\\x%02X", c);
                r += b;
            } else {
                r += static_cast<char>(c);
            }
        }
    }
    return r + "\"";
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Reads a quoted string at S[i]; i ends after the closing quote. False when malformed.
bool Unquote(const std::string& S, std::size_t& i, std::string& Out)
{
    Out.clear();
    if (i >= S.size() || S[i] != '"')
        return false;
    ++i;
    while (i < S.size()) {
        const char c = S[i++];
        if (c == '"')
            return true;
        if (c != '\\') {
            Out += c;
            continue;
        }
        if (i >= S.size())
            return false;
        const char e = S[i++];
        if (e == 'n')
            Out += '\n';
        else if (e == 'r')
            Out += '\r';
        else if (e == 'x' && i + 1 < S.size() && HexDigit(S[i]) >= 0 && HexDigit(S[i + 1]) >= 0) {
            Out += static_cast<char>(HexDigit(S[i]) * 16 + HexDigit(S[i + 1]));
            i += 2;
        } else
            Out += e;
    }
    return false;
}

std::string DataText(const TRegValue& V)
{
    char b[16];
    switch (V.Type) {
    case rdString:
        return Quote(V.Data);
    case rdExpandString:
        return "expand:" + Quote(V.Data);
    case rdInteger: {
        std::uint32_t n = 0;
        for (std::size_t k = 0; k < 4 && k < V.Data.size(); ++k)
            n |= static_cast<std::uint32_t>(static_cast<unsigned char>(V.Data[k])) << (8 * k);
        std::snprintf(b, sizeof b, "%08x", n);
        return std::string("dword:") + b;
    }
    default: {
        std::string r = "hex:";
        for (std::size_t k = 0; k < V.Data.size(); ++k) {
            std::snprintf(b, sizeof b, k ? ",%02x" : "%02x", static_cast<unsigned char>(V.Data[k]));
            r += b;
        }
        return r;
    }
    }
}

bool ParseData(const std::string& S, std::size_t i, TRegValue& V)
{
    auto startsWith = [&](const char* p) { return S.compare(i, std::strlen(p), p) == 0; };
    if (i < S.size() && S[i] == '"') {
        V.Type = rdString;
        return Unquote(S, i, V.Data);
    }
    if (startsWith("expand:")) {
        i += 7;
        V.Type = rdExpandString;
        return Unquote(S, i, V.Data);
    }
    if (startsWith("dword:")) {
        i += 6;
        std::uint32_t n = 0;
        int digits = 0;
        for (; i < S.size() && HexDigit(S[i]) >= 0 && digits < 8; ++i, ++digits)
            n = (n << 4) | static_cast<std::uint32_t>(HexDigit(S[i]));
        if (digits == 0)
            return false;
        V.Type = rdInteger;
        V.Data.assign(4, '\0');
        for (int k = 0; k < 4; ++k)
            V.Data[static_cast<std::size_t>(k)] = static_cast<char>((n >> (8 * k)) & 0xFF);
        return true;
    }
    if (startsWith("hex:")) {
        i += 4;
        V.Type = rdBinary;
        V.Data.clear();
        while (i + 1 < S.size() && HexDigit(S[i]) >= 0 && HexDigit(S[i + 1]) >= 0) {
            V.Data += static_cast<char>(HexDigit(S[i]) * 16 + HexDigit(S[i + 1]));
            i += 2;
            if (i < S.size() && S[i] == ',')
                ++i;
        }
        return true;
    }
    return false;
}

// --- the store ------------------------------------------------------------------------------

// Recursive: the notice's receiver may show a box whose loop reads the registry.
std::recursive_mutex gLock;
std::string gFileOverride;
TRegistryNotice gNotice;

struct TStamp {
    bool Exists = false;
    long long MTime = 0, Size = 0, Inode = 0;
    bool operator==(const TStamp&) const = default;
};

TStamp StampOf(const std::string& Path)
{
    TStamp s;
    struct stat st {};
    if (stat(Path.c_str(), &st) == 0) {
        s.Exists = true;
        s.MTime = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
        s.Size = static_cast<long long>(st.st_size);
        s.Inode = static_cast<long long>(st.st_ino);
    }
    return s;
}

class TStore {
public:
    std::map<std::string, TRegKey> Keys; // by folded full name

    // Brings the store up to date with the file (another object or program may have written it).
    // Force reads it whatever its stamp says: a write must start from exactly what is there.
    void Refresh(bool Force = false)
    {
        const std::string path = RegistryFileName();
        const TStamp stamp = StampOf(path);
        if (!Force && path == FPath && stamp == FStamp && FLoaded)
            return;
        FPath = path;
        FStamp = stamp;
        FLoaded = true;
        Keys.clear();
        std::string bytes;
        FUnreadable = stamp.Exists && !ReadFileBytes(path, bytes, &FUnreadableWhy);
        FDamaged = false;
        if (!FUnreadable)
            Parse(bytes);
        FBytes = FDamaged ? std::move(bytes) : std::string();
    }

    void Save(const std::string& ValueName)
    {
        std::string out = "; Registry of " + ProgramName() +
                          ", kept by the program itself. Keys in [brackets], values as \"name\"=data.\r\n";
        for (const auto& [folded, key] : Keys) {
            out += "\r\n[" + key.Name + "]\r\n";
            for (const TRegValue& v : key.Values)
                out += (v.Name.empty() ? std::string("@") : Quote(v.Name)) + "=" + DataText(v) + "\r\n";
        }
        // A file that is there but could not be read is never replaced by the little we know.
        std::string why = FUnreadableWhy;
        auto Fail = [&] {
            FLoaded = false; // what is in memory no longer matches the file
            throw ERegistryException(
                "Failed to set data for '" + ValueName + "'.\r\nCannot write \"" + FPath + "\": " + why, why);
        };
        if (FUnreadable)
            Fail();
        // Lines that could not be understood would be lost by the rewrite: the file as it was
        // goes beside the new one first, under a name no earlier copy has.
        std::string Copy;
        if (FDamaged) {
            Copy = FPath + ".bak";
            for (int N = 2; FileExists(Copy) || DirectoryExists(Copy); ++N)
                Copy = FPath + ".bak" + std::to_string(N);
            if (!WriteFileAtomic(Copy, FBytes, &why))
                Fail();
        }
        if (!WriteFileAtomic(FPath, out, &why))
            Fail();
        FStamp = StampOf(FPath);
        FDamaged = false;
        FBytes.clear();
        if (!Copy.empty()) {
            const std::string Text =
                "The registry file \"" + FPath +
                "\" held lines that could not be read; it was rewritten, and the file as it "
                "was is kept in \"" +
                Copy + "\".";
            if (gNotice)
                gNotice(Text);
            else
                std::fprintf(stderr, "%s: %s\n", ProgramName().c_str(), Text.c_str());
        }
    }

    TRegKey* Find(const std::string& Full)
    {
        auto it = Keys.find(FoldKey(Full));
        return it == Keys.end() ? nullptr : &it->second;
    }

    bool Exists(const std::string& Full)
    {
        if (Find(Full))
            return true;
        return Full.find('\\') == std::string::npos && IsRootName(Full);
    }

    // Creates Full and every missing level above it; the first spelling of a level is kept.
    TRegKey& Create(const std::string& Full)
    {
        std::size_t p = 0;
        TRegKey* key = nullptr;
        while (true) {
            p = Full.find('\\', p);
            const std::string level = Full.substr(0, p);
            auto [it, added] = Keys.try_emplace(FoldKey(level));
            if (added)
                it->second.Name = level;
            key = &it->second;
            if (p == std::string::npos)
                break;
            ++p;
        }
        return *key;
    }

    std::vector<std::string> SubKeys(const std::string& Full)
    {
        std::vector<std::string> out;
        const std::string prefix = FoldKey(Full) + "\\";
        for (auto it = Keys.lower_bound(prefix);
             it != Keys.end() && it->first.compare(0, prefix.size(), prefix) == 0; ++it) {
            if (it->first.find('\\', prefix.size()) == std::string::npos)
                out.push_back(it->second.Name.substr(prefix.size()));
        }
        return out;
    }

    bool Delete(const std::string& Full)
    {
        const std::string folded = FoldKey(Full);
        const std::string prefix = folded + "\\";
        bool any = Keys.erase(folded) > 0;
        for (auto it = Keys.lower_bound(prefix);
             it != Keys.end() && it->first.compare(0, prefix.size(), prefix) == 0;) {
            it = Keys.erase(it);
            any = true;
        }
        return any;
    }

private:
    void Parse(const std::string& Bytes)
    {
        TRegKey* current = nullptr;
        std::size_t start = 0;
        while (start < Bytes.size()) {
            std::size_t end = Bytes.find_first_of("\r\n", start);
            if (end == std::string::npos)
                end = Bytes.size();
            const std::string line = Trim(Bytes.substr(start, end - start));
            start = end + 1;
            if (line.empty() || line[0] == ';')
                continue;
            // A line that is not understood is left out; the file is marked so that the first
            // rewrite keeps a copy of it.
            if (!ParseLine(line, current))
                FDamaged = true;
        }
    }

    bool ParseLine(const std::string& line, TRegKey*& current)
    {
        if (line[0] == '[') {
            current = nullptr;
            const std::size_t close = line.rfind(']');
            if (close == std::string::npos || close < 1)
                return false;
            const std::string name = NormalizeKey(line.substr(1, close - 1));
            const std::string root = name.substr(0, name.find('\\'));
            // A name with a control character names no key: nothing could open it.
            if (!IsRootName(root) || std::any_of(name.begin(), name.end(),
                                                 [](char c) { return static_cast<unsigned char>(c) < 0x20; }))
                return false;
            current = &Create(name);
            return true;
        }
        if (!current)
            return false;
        TRegValue v;
        std::size_t i = 0;
        if (line[0] == '@') {
            i = 1;
        } else if (!Unquote(line, i, v.Name)) {
            return false;
        }
        while (i < line.size() && line[i] == ' ')
            ++i;
        if (i >= line.size() || line[i] != '=')
            return false;
        ++i;
        while (i < line.size() && line[i] == ' ')
            ++i;
        if (!ParseData(line, i, v))
            return false;
        if (TRegValue* old = current->Find(v.Name))
            *old = v;
        else
            current->Values.push_back(std::move(v));
        return true;
    }

    std::string FPath;
    TStamp FStamp;
    bool FLoaded = false;
    bool FUnreadable = false; // the file exists but the last refresh could not read it
    std::string FUnreadableWhy;
    bool FDamaged = false; // the file had lines that are no registry's; FBytes holds it as read
    std::string FBytes;
};

TStore& Store()
{
    static TStore store;
    return store;
}

// One change of the store: under the file's lock, from the file as it is now, so another
// program's keys written since our last look are kept.
class TStoreWrite {
public:
    explicit TStoreWrite(TStore& S) : FLock(RegistryFileName()) { S.Refresh(true); }

private:
    TFileLock FLock;
};

std::atomic<HKEY> gNextHandle{1};

} // namespace

void SetRegistryNotice(TRegistryNotice Notice)
{
    std::lock_guard<std::recursive_mutex> lock(gLock);
    gNotice = std::move(Notice);
}

void SetRegistryFileName(const std::string& FileName)
{
    std::lock_guard<std::recursive_mutex> lock(gLock);
    gFileOverride = FileName.empty() ? std::string() : MapPath(FileName);
}

std::string RegistryFileName()
{
    // Called with gLock held by the store, or unlocked by callers: the override is a plain read.
    if (!gFileOverride.empty())
        return gFileOverride;
    return SettingsDir() + "/registry.reg";
}

std::string RootKeyName(HKEY Key)
{
    for (const auto& r : kRoots)
        if (r.Key == Key)
            return r.Name;
    return {};
}

// ---------------------------------------------------------------------------------------------
// TRegistry

TRegistry::TRegistry() = default;
TRegistry::TRegistry(std::uint32_t AAccess) : Access(AAccess) {}
TRegistry::~TRegistry()
{
    CloseKey();
}

void TRegistry::SetRootKey(HKEY Value)
{
    CloseKey();
    FRootKey = Value;
}

void TRegistry::CloseKey()
{
    FCurrentKey = 0;
    FCurrentPath.clear();
    FReadOnly = false;
}

std::string TRegistry::CurrentFullName() const
{
    const std::string root = RootKeyName(FRootKey);
    return FCurrentPath.empty() ? root : root + "\\" + FCurrentPath;
}

std::string TRegistry::FullName(const std::string& Key) const
{
    const std::string root = RootKeyName(FRootKey);
    // A line break or other control character would break the file's "[key]" lines.
    if (root.empty() ||
        std::any_of(Key.begin(), Key.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }))
        return {};
    const bool absolute = !Key.empty() && Key[0] == '\\';
    const std::string base = (absolute || FCurrentKey == 0) ? root : CurrentFullName();
    return NormalizeKey(base + "\\" + Key);
}

bool TRegistry::OpenKey(const std::string& Key, bool CanCreate)
{
    const std::string full = FullName(Key);
    if (full.empty())
        return false;
    {
        std::lock_guard<std::recursive_mutex> lock(gLock);
        TStore& s = Store();
        s.Refresh();
        if (!s.Exists(full)) {
            if (!CanCreate || (Access & KEY_CREATE_SUB_KEY) == 0)
                return false;
            const TStoreWrite write(s);
            if (!s.Exists(full)) {
                s.Create(full);
                try {
                    s.Save(Key);
                } catch (const ERegistryException&) {
                    return false;
                }
            }
        }
    }
    const std::string root = RootKeyName(FRootKey);
    FCurrentPath = full.size() > root.size() ? full.substr(root.size() + 1) : std::string();
    FCurrentKey = gNextHandle++;
    FReadOnly = (Access & KEY_SET_VALUE) == 0;
    return true;
}

bool TRegistry::OpenKeyReadOnly(const std::string& Key)
{
    const std::uint32_t saved = Access;
    Access = KEY_READ;
    const bool ok = OpenKey(Key, false);
    Access = saved;
    if (ok)
        FReadOnly = true;
    return ok;
}

bool TRegistry::CreateKey(const std::string& Key)
{
    const std::string full = FullName(Key);
    if (full.empty() || full.find('\\') == std::string::npos)
        throw ERegistryException("Failed to create key " + Key);
    std::lock_guard<std::recursive_mutex> lock(gLock);
    TStore& s = Store();
    const TStoreWrite write(s);
    if (s.Exists(full))
        return true;
    s.Create(full);
    try {
        s.Save(Key);
    } catch (const ERegistryException& E) {
        throw ERegistryException("Failed to create key " + Key, E.Reason);
    }
    return true;
}

bool TRegistry::DeleteKey(const std::string& Key)
{
    const std::string full = FullName(Key);
    if (full.empty() || full.find('\\') == std::string::npos)
        return false; // a root key cannot be deleted
    std::lock_guard<std::recursive_mutex> lock(gLock);
    TStore& s = Store();
    const TStoreWrite write(s);
    if (!s.Delete(full))
        return false;
    s.Save(Key);
    return true;
}

bool TRegistry::KeyExists(const std::string& Key)
{
    const std::string full = FullName(Key);
    if (full.empty())
        return false;
    std::lock_guard<std::recursive_mutex> lock(gLock);
    Store().Refresh();
    return Store().Exists(full);
}

bool TRegistry::HasSubKeys()
{
    return !KeyNames().empty();
}

std::vector<std::string> TRegistry::KeyNames()
{
    std::lock_guard<std::recursive_mutex> lock(gLock);
    Store().Refresh();
    return Store().SubKeys(FCurrentKey ? CurrentFullName() : RootKeyName(FRootKey));
}

std::vector<std::string> TRegistry::ValueNames()
{
    std::vector<std::string> out;
    if (!FCurrentKey)
        return out;
    std::lock_guard<std::recursive_mutex> lock(gLock);
    Store().Refresh();
    if (TRegKey* k = Store().Find(CurrentFullName()))
        for (const TRegValue& v : k->Values)
            out.push_back(v.Name);
    return out;
}

bool TRegistry::GetKeyInfo(TRegKeyInfo& Value)
{
    Value = TRegKeyInfo{};
    if (!FCurrentKey)
        return false;
    const std::vector<std::string> subs = KeyNames();
    Value.NumSubKeys = static_cast<int>(subs.size());
    for (const std::string& s : subs)
        Value.MaxSubKeyLen = std::max(Value.MaxSubKeyLen, static_cast<int>(s.size()));
    std::lock_guard<std::recursive_mutex> lock(gLock);
    Store().Refresh();
    if (TRegKey* k = Store().Find(CurrentFullName())) {
        Value.NumValues = static_cast<int>(k->Values.size());
        for (const TRegValue& v : k->Values) {
            Value.MaxValueLen = std::max(Value.MaxValueLen, static_cast<int>(v.Name.size()));
            Value.MaxDataLen = std::max(Value.MaxDataLen, static_cast<int>(v.Data.size()));
        }
    }
    return true;
}

void TRegistry::MoveKey(const std::string& OldName, const std::string& NewName, bool Delete)
{
    const std::string from = FullName(OldName), to = FullName(NewName);
    if (from.empty() || to.empty() || SameText(from, to))
        return;
    std::lock_guard<std::recursive_mutex> lock(gLock);
    TStore& s = Store();
    const TStoreWrite write(s);
    if (!s.Exists(from) || s.Exists(to))
        return;
    const std::string folded = FoldKey(from);
    std::vector<std::pair<std::string, TRegKey>> copies;
    for (auto& [k, key] : s.Keys)
        if (k == folded || k.compare(0, folded.size() + 1, folded + "\\") == 0)
            copies.emplace_back(to + key.Name.substr(from.size()), key);
    for (auto& [name, key] : copies)
        s.Create(name).Values = key.Values;
    if (Delete)
        s.Delete(from);
    s.Save(NewName);
}

bool TRegistry::GetData(const std::string& Name, TRegDataType& Type, std::string& Data)
{
    if (!FCurrentKey)
        return false;
    std::lock_guard<std::recursive_mutex> lock(gLock);
    Store().Refresh();
    TRegKey* k = Store().Find(CurrentFullName());
    TRegValue* v = k ? k->Find(Name) : nullptr;
    if (!v)
        return false;
    Type = v->Type;
    Data = v->Data;
    return true;
}

void TRegistry::PutData(const std::string& Name, TRegDataType Type, const std::string& Data)
{
    if (!FCurrentKey || FReadOnly)
        throw ERegistryException("Failed to set data for '" + Name + "'");
    std::lock_guard<std::recursive_mutex> lock(gLock);
    TStore& s = Store();
    const TStoreWrite write(s);
    TRegKey& k = s.Create(CurrentFullName());
    if (TRegValue* v = k.Find(Name)) {
        v->Type = Type;
        v->Data = Data;
    } else {
        k.Values.push_back(TRegValue{Name, Type, Data});
    }
    s.Save(Name);
}

bool TRegistry::ValueExists(const std::string& Name)
{
    TRegDataType t;
    std::string d;
    return GetData(Name, t, d);
}

bool TRegistry::DeleteValue(const std::string& Name)
{
    if (!FCurrentKey || FReadOnly)
        return false;
    std::lock_guard<std::recursive_mutex> lock(gLock);
    TStore& s = Store();
    const TStoreWrite write(s);
    TRegKey* k = s.Find(CurrentFullName());
    if (!k)
        return false;
    for (auto it = k->Values.begin(); it != k->Values.end(); ++it) {
        if (SameText(it->Name, Name)) {
            k->Values.erase(it);
            s.Save(Name);
            return true;
        }
    }
    return false;
}

void TRegistry::RenameValue(const std::string& OldName, const std::string& NewName)
{
    TRegDataType t;
    std::string d;
    if (ValueExists(NewName) || !GetData(OldName, t, d))
        return;
    PutData(NewName, t, d);
    DeleteValue(OldName);
}

TRegDataType TRegistry::GetDataType(const std::string& Name)
{
    TRegDataType t = rdUnknown;
    std::string d;
    return GetData(Name, t, d) ? t : rdUnknown;
}

int TRegistry::GetDataSize(const std::string& Name)
{
    TRegDataType t;
    std::string d;
    if (!GetData(Name, t, d))
        return -1;
    // Strings count their terminating zero, as the platform reports them.
    return static_cast<int>(d.size()) + ((t == rdString || t == rdExpandString) ? 1 : 0);
}

bool TRegistry::GetDataInfo(const std::string& Name, TRegDataInfo& Value)
{
    Value = TRegDataInfo{};
    TRegDataType t;
    std::string d;
    if (!GetData(Name, t, d))
        return false;
    Value.RegData = t;
    Value.DataSize = GetDataSize(Name);
    return true;
}

std::string TRegistry::ReadString(const std::string& Name)
{
    TRegDataType t;
    std::string d;
    if (!GetData(Name, t, d))
        return {};
    if (t != rdString && t != rdExpandString)
        throw ERegistryException("Invalid data type for '" + Name + "'");
    return d;
}

void TRegistry::WriteString(const std::string& Name, const std::string& Value)
{
    PutData(Name, rdString, Value);
}
void TRegistry::WriteExpandString(const std::string& Name, const std::string& Value)
{
    PutData(Name, rdExpandString, Value);
}

int TRegistry::ReadInteger(const std::string& Name)
{
    TRegDataType t;
    std::string d;
    if (!GetData(Name, t, d) || t != rdInteger || d.size() != 4)
        throw ERegistryException("Invalid data type for '" + Name + "'");
    std::uint32_t n = 0;
    for (int k = 0; k < 4; ++k)
        n |= static_cast<std::uint32_t>(static_cast<unsigned char>(d[static_cast<std::size_t>(k)]))
             << (8 * k);
    return static_cast<int>(n);
}

void TRegistry::WriteInteger(const std::string& Name, int Value)
{
    std::string d(4, '\0');
    const std::uint32_t n = static_cast<std::uint32_t>(Value);
    for (int k = 0; k < 4; ++k)
        d[static_cast<std::size_t>(k)] = static_cast<char>((n >> (8 * k)) & 0xFF);
    PutData(Name, rdInteger, d);
}

bool TRegistry::ReadBool(const std::string& Name)
{
    return ReadInteger(Name) != 0;
}
void TRegistry::WriteBool(const std::string& Name, bool Value)
{
    WriteInteger(Name, Value ? 1 : 0);
}

namespace {
template <class T> std::string BytesOf(T Value)
{
    std::string d(sizeof(T), '\0');
    std::memcpy(d.data(), &Value, sizeof(T));
    return d;
}
} // namespace

double TRegistry::ReadFloat(const std::string& Name)
{
    TRegDataType t;
    std::string d;
    if (!GetData(Name, t, d) || t != rdBinary || d.size() != sizeof(double))
        throw ERegistryException("Invalid data type for '" + Name + "'");
    double v = 0;
    std::memcpy(&v, d.data(), sizeof v);
    return v;
}

void TRegistry::WriteFloat(const std::string& Name, double Value)
{
    PutData(Name, rdBinary, BytesOf(Value));
}

// Currency is a 64-bit integer of ten-thousandths.
double TRegistry::ReadCurrency(const std::string& Name)
{
    TRegDataType t;
    std::string d;
    if (!GetData(Name, t, d) || t != rdBinary || d.size() != sizeof(std::int64_t))
        throw ERegistryException("Invalid data type for '" + Name + "'");
    std::int64_t v = 0;
    std::memcpy(&v, d.data(), sizeof v);
    return static_cast<double>(v) / 10000.0;
}

void TRegistry::WriteCurrency(const std::string& Name, double Value)
{
    PutData(Name, rdBinary, BytesOf(static_cast<std::int64_t>(std::llround(Value * 10000.0))));
}

TDateTime TRegistry::ReadDate(const std::string& Name)
{
    return ReadFloat(Name);
}
void TRegistry::WriteDate(const std::string& Name, TDateTime Value)
{
    WriteFloat(Name, Value);
}

int TRegistry::ReadBinaryData(const std::string& Name, void* Buffer, int BufSize)
{
    TRegDataType t;
    std::string d;
    if (!GetData(Name, t, d))
        return 0;
    if ((t != rdBinary && t != rdUnknown) || static_cast<int>(d.size()) > BufSize)
        throw ERegistryException("Invalid data type for '" + Name + "'");
    if (!d.empty())
        std::memcpy(Buffer, d.data(), d.size());
    return static_cast<int>(d.size());
}

void TRegistry::WriteBinaryData(const std::string& Name, const void* Buffer, int BufSize)
{
    PutData(Name, rdBinary,
            BufSize > 0 ? std::string(static_cast<const char*>(Buffer), static_cast<std::size_t>(BufSize))
                        : std::string());
}

// ---------------------------------------------------------------------------------------------
// TRegIniFile

TRegIniFile::TRegIniFile(const std::string& FileName) : FFileName(FileName)
{
    if (!FileName.empty())
        OpenKey(FileName, true);
}

std::string TRegIniFile::SectionName(const std::string& Section) const
{
    return FullName(Section);
}

std::string TRegIniFile::ReadString(const std::string& Section, const std::string& Ident,
                                    const std::string& Default)
{
    const std::string full = SectionName(Section);
    if (full.empty())
        return Default;
    std::lock_guard<std::recursive_mutex> lock(gLock);
    Store().Refresh();
    TRegKey* k = Store().Find(full);
    TRegValue* v = k ? k->Find(Ident) : nullptr;
    if (!v)
        return Default;
    if (v->Type == rdString || v->Type == rdExpandString)
        return v->Data;
    if (v->Type == rdInteger && v->Data.size() == 4) {
        std::uint32_t n = 0;
        for (int i = 0; i < 4; ++i)
            n |= static_cast<std::uint32_t>(static_cast<unsigned char>(v->Data[static_cast<std::size_t>(i)]))
                 << (8 * i);
        return IntToStr(static_cast<int>(n));
    }
    return Default;
}

void TRegIniFile::WriteString(const std::string& Section, const std::string& Ident, const std::string& Value)
{
    const std::string full = SectionName(Section);
    if (full.empty())
        throw ERegistryException("Failed to set data for '" + Ident + "'");
    std::lock_guard<std::recursive_mutex> lock(gLock);
    TStore& s = Store();
    const TStoreWrite write(s);
    TRegKey& k = s.Create(full);
    if (TRegValue* v = k.Find(Ident)) {
        v->Type = rdString;
        v->Data = Value;
    } else {
        k.Values.push_back(TRegValue{Ident, rdString, Value});
    }
    s.Save(Ident);
}

int TRegIniFile::ReadInteger(const std::string& Section, const std::string& Ident, int Default)
{
    return StrToIntDef(ReadString(Section, Ident, ""), Default);
}

void TRegIniFile::WriteInteger(const std::string& Section, const std::string& Ident, int Value)
{
    WriteString(Section, Ident, IntToStr(Value));
}

bool TRegIniFile::ReadBool(const std::string& Section, const std::string& Ident, bool Default)
{
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TRegIniFile::WriteBool(const std::string& Section, const std::string& Ident, bool Value)
{
    WriteString(Section, Ident, Value ? "1" : "0");
}

void TRegIniFile::EraseSection(const std::string& Section)
{
    TRegistry::DeleteKey(Section);
}

void TRegIniFile::DeleteKey(const std::string& Section, const std::string& Ident)
{
    const std::string full = SectionName(Section);
    if (full.empty())
        return;
    std::lock_guard<std::recursive_mutex> lock(gLock);
    TStore& s = Store();
    const TStoreWrite write(s);
    TRegKey* k = s.Find(full);
    if (!k)
        return;
    for (auto it = k->Values.begin(); it != k->Values.end(); ++it) {
        if (SameText(it->Name, Ident)) {
            k->Values.erase(it);
            s.Save(Ident);
            return;
        }
    }
}

std::vector<std::string> TRegIniFile::SectionNames()
{
    return KeyNames();
}

std::vector<std::string> TRegIniFile::SectionKeys(const std::string& Section)
{
    std::vector<std::string> out;
    const std::string full = SectionName(Section);
    std::lock_guard<std::recursive_mutex> lock(gLock);
    Store().Refresh();
    if (TRegKey* k = Store().Find(full))
        for (const TRegValue& v : k->Values)
            out.push_back(v.Name);
    return out;
}

std::vector<std::string> TRegIniFile::SectionValues(const std::string& Section)
{
    std::vector<std::string> out;
    for (const std::string& name : SectionKeys(Section))
        out.push_back(name + "=" + ReadString(Section, name, ""));
    return out;
}
