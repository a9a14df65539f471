// The registry, emulated per user: keys and values kept in one text file in the program's
// settings directory ($XDG_CONFIG_HOME/<program>/registry.reg), rewritten atomically on every
// change, under an advisory lock and from the file as it is at that moment, so two running
// programs keep each other's keys. Nothing here touches the desktop's own settings (file associations and the
// like).
#pragma once

#include "platform/rtl/FillStrings.h"
#include "platform/rtl/SysUtils.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

using HKEY = std::uintptr_t;
constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;
constexpr HKEY HKEY_USERS = 0x80000003u;
constexpr HKEY HKEY_PERFORMANCE_DATA = 0x80000004u;
constexpr HKEY HKEY_CURRENT_CONFIG = 0x80000005u;
constexpr HKEY HKEY_DYN_DATA = 0x80000006u;

// Access masks are accepted for source compatibility; the emulation does not restrict access
// except that a key opened read-only cannot be written through.
constexpr std::uint32_t KEY_QUERY_VALUE = 0x0001;
constexpr std::uint32_t KEY_SET_VALUE = 0x0002;
constexpr std::uint32_t KEY_CREATE_SUB_KEY = 0x0004;
constexpr std::uint32_t KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr std::uint32_t KEY_READ = 0x20019;
constexpr std::uint32_t KEY_WRITE = 0x20006;
constexpr std::uint32_t KEY_ALL_ACCESS = 0xF003F;

// Message is the text the user sees; Reason the system's words for a failed write of the
// registry file ("Permission denied"), empty when the error is not about the file.
class ERegistryException : public Exception {
public:
    explicit ERegistryException(std::string Msg, std::string AReason = std::string())
        : Exception(std::move(Msg)), Reason(std::move(AReason))
    {
    }
    std::string Reason;
};

enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

struct TRegDataInfo {
    TRegDataType RegData = rdUnknown;
    int DataSize = 0;
};

struct TRegKeyInfo {
    int NumSubKeys = 0;
    int MaxSubKeyLen = 0;
    int NumValues = 0;
    int MaxValueLen = 0;
    int MaxDataLen = 0;
};

// Where the emulated registry lives; by default the file in the settings directory. Tests and
// tools may point it elsewhere (an empty name restores the default).
void SetRegistryFileName(const std::string& FileName);
std::string RegistryFileName();
// Where the registry tells the user something that is no error: a file it could not wholly read
// was kept beside the new one. Without a receiver (nullptr) the words go to the error output.
using TRegistryNotice = std::function<void(const std::string& Text)>;
void SetRegistryNotice(TRegistryNotice Notice);
// The name of a root key as the registry file spells it ("HKEY_CURRENT_USER"); empty if unknown.
std::string RootKeyName(HKEY Key);

// Key names use "\" between levels. A name starting with "\" is taken from the root key, any
// other from the open key (or the root key when none is open). Names match without regard to
// case; a name holding a control character (a line break) names no key. The value name "" is the
// key's default value.
class TRegistry {
public:
    TRegistry();
    explicit TRegistry(std::uint32_t AAccess);
    virtual ~TRegistry();
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    HKEY RootKey() const { return FRootKey; }
    void SetRootKey(HKEY Value);                    // closes the open key
    HKEY CurrentKey() const { return FCurrentKey; } // 0 while no key is open
    const std::string& CurrentPath() const { return FCurrentPath; }
    std::uint32_t Access = KEY_ALL_ACCESS;
    bool LazyWrite = true; // accepted; every change is written at once

    bool OpenKey(const std::string& Key, bool CanCreate);
    bool OpenKeyReadOnly(const std::string& Key);
    bool CreateKey(const std::string& Key); // ERegistryException "Failed to create key <key>"
    bool DeleteKey(const std::string& Key); // with all its subkeys
    bool KeyExists(const std::string& Key);
    void CloseKey();
    bool HasSubKeys();
    bool GetKeyInfo(TRegKeyInfo& Value);
    std::vector<std::string> KeyNames();   // subkeys of the open key
    std::vector<std::string> ValueNames(); // values of the open key
    template <class TStringsT> void GetKeyNames(TStringsT* Strings) { Fill(Strings, KeyNames()); }
    template <class TStringsT> void GetValueNames(TStringsT* Strings) { Fill(Strings, ValueNames()); }
    void MoveKey(const std::string& OldName, const std::string& NewName, bool Delete);

    bool ValueExists(const std::string& Name);
    bool DeleteValue(const std::string& Name);
    void RenameValue(const std::string& OldName, const std::string& NewName);
    TRegDataType GetDataType(const std::string& Name);
    int GetDataSize(const std::string& Name); // -1 when the value does not exist
    bool GetDataInfo(const std::string& Name, TRegDataInfo& Value);

    // Reading a missing value: ReadString gives ""; the typed reads raise ERegistryException
    // "Invalid data type for '<name>'", as they do for a value of another type.
    std::string ReadString(const std::string& Name);
    void WriteString(const std::string& Name, const std::string& Value);
    void WriteExpandString(const std::string& Name, const std::string& Value);
    int ReadInteger(const std::string& Name);
    void WriteInteger(const std::string& Name, int Value);
    bool ReadBool(const std::string& Name);
    void WriteBool(const std::string& Name, bool Value);
    double ReadFloat(const std::string& Name);
    void WriteFloat(const std::string& Name, double Value);
    double ReadCurrency(const std::string& Name);
    void WriteCurrency(const std::string& Name, double Value);
    TDateTime ReadDate(const std::string& Name);
    void WriteDate(const std::string& Name, TDateTime Value);
    TDateTime ReadTime(const std::string& Name) { return ReadDate(Name); }
    void WriteTime(const std::string& Name, TDateTime Value) { WriteDate(Name, Value); }
    TDateTime ReadDateTime(const std::string& Name) { return ReadDate(Name); }
    void WriteDateTime(const std::string& Name, TDateTime Value) { WriteDate(Name, Value); }
    int ReadBinaryData(const std::string& Name, void* Buffer, int BufSize);
    void WriteBinaryData(const std::string& Name, const void* Buffer, int BufSize);

protected:
    template <class TStringsT> static void Fill(TStringsT* Strings, const std::vector<std::string>& Items)
    {
        FillStrings(Strings, Items);
    }
    // The full name ("HKEY_CURRENT_USER\Software\X") of Key as the rules above resolve it.
    std::string FullName(const std::string& Key) const;
    std::string CurrentFullName() const;
    void PutData(const std::string& Name, TRegDataType Type, const std::string& Data);
    bool GetData(const std::string& Name, TRegDataType& Type, std::string& Data);

private:
    HKEY FRootKey = HKEY_CURRENT_USER;
    HKEY FCurrentKey = 0;
    std::string FCurrentPath;
    bool FReadOnly = false;
};

// The registry through the names of a profile file: a "section" is a subkey of the open key,
// an "ident" a value in it. The constructor opens FileName as a key (created when missing) under
// HKEY_CURRENT_USER; an empty name opens nothing, so sections are taken from the root key.
// Numbers and Booleans are stored as strings, as the profile form stores them.
class TRegIniFile : public TRegistry {
public:
    explicit TRegIniFile(const std::string& FileName);
    const std::string& FileName() const { return FFileName; }

    std::string ReadString(const std::string& Section, const std::string& Ident, const std::string& Default);
    void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value);
    int ReadInteger(const std::string& Section, const std::string& Ident, int Default);
    void WriteInteger(const std::string& Section, const std::string& Ident, int Value);
    bool ReadBool(const std::string& Section, const std::string& Ident, bool Default);
    void WriteBool(const std::string& Section, const std::string& Ident, bool Value);
    void EraseSection(const std::string& Section);
    void DeleteKey(const std::string& Section, const std::string& Ident);
    std::vector<std::string> SectionNames();
    std::vector<std::string> SectionKeys(const std::string& Section);
    std::vector<std::string> SectionValues(const std::string& Section);
    template <class TStringsT> void ReadSections(TStringsT* Strings) { Fill(Strings, SectionNames()); }
    template <class TStringsT> void ReadSection(const std::string& Section, TStringsT* Strings)
    {
        Fill(Strings, SectionKeys(Section));
    }
    template <class TStringsT> void ReadSectionValues(const std::string& Section, TStringsT* Strings)
    {
        Fill(Strings, SectionValues(Section));
    }

private:
    std::string SectionName(const std::string& Section) const;
    std::string FFileName;
};
