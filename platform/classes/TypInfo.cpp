#include "platform/classes/TypInfo.h"

#include "platform/rtl/SysUtils.h"

#include <cxxabi.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <mutex>
#include <unordered_map>

namespace {

// Every table of the registry. Filled mostly by static initialisers of many units, so it is a
// function-local static (built on first use, whatever the initialisation order). The lock covers
// the name cache, which ClassName() fills from any thread.
struct TRegistry {
    std::recursive_mutex Lock;
    std::vector<std::unique_ptr<TClassInfo>> Classes;
    std::map<std::string, TClassInfo*> ByName; // upper-cased name
    std::unordered_map<std::type_index, TClassInfo*> ByType;
    std::unordered_map<std::type_index, std::unique_ptr<TEnumInfo>> Enums;
    std::map<std::string, std::vector<TIdentEntry>> Idents; // upper-cased map name
    std::unordered_map<std::type_index, std::string> EventNames;
    std::unordered_map<std::type_index, std::string> NameCache;
    std::unordered_map<std::type_index, TClassInfo*> Nearest; // unregistered type -> registered base
    // Counts changes of any class's message table; a flattened table built at another count is stale.
    unsigned MessageGeneration = 1;
};

TRegistry& Registry()
{
    static TRegistry R;
    return R;
}

std::string Key(const std::string& S)
{
    return UpperCase(S);
}

std::string Demangle(const std::type_info& Type)
{
    int Status = 0;
    char* Name = abi::__cxa_demangle(Type.name(), nullptr, nullptr, &Status);
    std::string Result = (Status == 0 && Name) ? Name : Type.name();
    std::free(Name);
    return Result;
}

const char* KindName(TPropKind Kind)
{
    switch (Kind) {
    case TPropKind::Integer:
        return "Integer";
    case TPropKind::Char:
        return "Char";
    case TPropKind::Boolean:
        return "Boolean";
    case TPropKind::String:
        return "String";
    case TPropKind::Float:
        return "Float";
    case TPropKind::Binary:
        return "Binary";
    default:
        return "";
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------

int TEnumInfo::ValueOf(const std::string& Ident) const
{
    for (std::size_t I = 0; I < Names.size(); ++I)
        if (SameText(Names[I], Ident))
            return static_cast<int>(I);
    return -1;
}

std::string TEnumInfo::NameOf(std::int64_t Value) const
{
    if (Value < 0 || Value >= static_cast<std::int64_t>(Names.size()))
        return "";
    return Names[static_cast<std::size_t>(Value)];
}

const TEnumInfo* TPropInfo::Enum() const
{
    if (Kind != TPropKind::Enumeration && Kind != TPropKind::Set)
        return nullptr;
    return EnumInfoOf(Type);
}

std::string TPropInfo::TypeName() const
{
    switch (Kind) {
    case TPropKind::Enumeration:
    case TPropKind::Set: {
        const TEnumInfo* E = Enum();
        const std::string N = E ? E->Name : std::string("?");
        return Kind == TPropKind::Set ? "set of " + N : N;
    }
    case TPropKind::Ident:
        return IdentMap;
    case TPropKind::Object:
    case TPropKind::Strings:
    case TPropKind::Collection:
    case TPropKind::Component: {
        const TClassInfo* C = ClassInfoOf(Type);
        return C ? C->Name : std::string("object");
    }
    case TPropKind::Event:
        return EventTypeName(Type);
    default:
        return KindName(Kind);
    }
}

bool TPropInfo::IsDefault(TObject* Instance) const
{
    if (DefaultOrd && GetOrd)
        return GetOrd(Instance) == *DefaultOrd;
    if (DefaultStr && GetStr)
        return GetStr(Instance) == *DefaultStr;
    if (DefaultFloat && GetFloat)
        return GetFloat(Instance) == *DefaultFloat;
    return false;
}

const TClassInfo* TClassInfo::Parent() const
{
    if (ParentType == typeid(void))
        return nullptr;
    return ClassInfoOf(ParentType);
}

namespace {
// What Find answers for the first class from Info up to the root for which it answers anything;
// nullptr when none does. A chain deeper than any real one is taken for a loop and cut.
template <class F> auto FindInChain(const TClassInfo* Info, F Find) -> decltype(Find(*Info))
{
    int Depth = 0;
    for (const TClassInfo* C = Info; C && Depth < 256; C = C->Parent(), ++Depth)
        if (auto* Found = Find(*C))
            return Found;
    return nullptr;
}

// The entry of Items with Name, without regard to case.
template <class T> const T* FindNamed(const std::vector<T>& Items, const std::string& Name)
{
    for (const T& Item : Items)
        if (SameText(Item.Name, Name))
            return &Item;
    return nullptr;
}
} // namespace

bool TClassInfo::InheritsFrom(const TClassInfo* Ancestor) const
{
    return FindInChain(this, [Ancestor](const TClassInfo& C) { return &C == Ancestor ? &C : nullptr; });
}

const TPropInfo* TClassInfo::FindProp(const std::string& PropName) const
{
    return FindInChain(this, [&](const TClassInfo& C) { return FindNamed(C.Props, PropName); });
}

const THandlerInfo* TClassInfo::FindHandler(const std::string& HandlerName) const
{
    return FindInChain(this, [&](const TClassInfo& C) { return FindNamed(C.Handlers, HandlerName); });
}

const TFieldInfo* TClassInfo::FindField(const std::string& FieldName) const
{
    return FindInChain(this, [&](const TClassInfo& C) { return FindNamed(C.Fields, FieldName); });
}

const std::function<void(TObject*, const std::string&)>* TClassInfo::FindFromString() const
{
    return FindInChain(this, [](const TClassInfo& C) { return C.FromString ? &C.FromString : nullptr; });
}

namespace {
// A class and its registered ancestors, the root first.
std::vector<const TClassInfo*> RootFirstChain(const TClassInfo* Info)
{
    std::vector<const TClassInfo*> Chain;
    for (const TClassInfo* C = Info; C && Chain.size() < 256; C = C->Parent())
        Chain.push_back(C);
    std::reverse(Chain.begin(), Chain.end());
    return Chain;
}
} // namespace

std::vector<const TPropInfo*> TClassInfo::AllProps() const
{
    std::vector<const TPropInfo*> Result;
    for (const TClassInfo* C : RootFirstChain(this))
        for (const TPropInfo& P : C->Props) {
            // A descendant may publish a property again (a new default): the last one counts.
            bool Replaced = false;
            for (auto& R : Result)
                if (SameText(R->Name, P.Name)) {
                    R = &P;
                    Replaced = true;
                }
            if (!Replaced)
                Result.push_back(&P);
        }
    return Result;
}

// ---------------------------------------------------------------------------------------------

TClassInfo* RegisterClassInfo(std::type_index Type, std::type_index ParentType, const std::string& Name)
{
    TRegistry& R = Registry();
    std::lock_guard<std::recursive_mutex> Guard(R.Lock);
    auto It = R.ByType.find(Type);
    TClassInfo* Info = nullptr;
    if (It != R.ByType.end()) {
        Info = It->second; // registered again: start over
        R.ByName.erase(Key(Info->Name));
        *Info = TClassInfo();
    } else {
        R.Classes.push_back(std::make_unique<TClassInfo>());
        Info = R.Classes.back().get();
    }
    Info->Name = Name;
    Info->Type = Type;
    Info->ParentType = ParentType;
    R.ByType[Type] = Info;
    R.ByName[Key(Name)] = Info;
    R.NameCache.erase(Type);
    R.Nearest.clear();
    ++R.MessageGeneration;
    return Info;
}

void AddMessageHandler(TClassInfo* Info, UINT Msg, TMessageHandler Handler)
{
    TRegistry& R = Registry();
    std::lock_guard<std::recursive_mutex> Guard(R.Lock);
    Info->Messages.push_back(TMessageEntry{Msg, std::move(Handler)});
    ++R.MessageGeneration;
}

const TMessageHandler* TClassInfo::FindMessageHandler(UINT Msg) const
{
    TRegistry& R = Registry();
    std::lock_guard<std::recursive_mutex> Guard(R.Lock);
    if (FMessageTableGeneration != R.MessageGeneration) {
        // Root first, so that a descendant's entry comes later and wins.
        std::vector<std::pair<UINT, const TMessageHandler*>> Entries;
        for (const TClassInfo* C : RootFirstChain(this))
            for (const TMessageEntry& E : C->Messages)
                Entries.emplace_back(E.Msg, &E.Handler);
        FMessageTable = TMessageMap<const TMessageHandler*>(std::move(Entries));
        FMessageTableGeneration = R.MessageGeneration;
    }
    const TMessageHandler* const* Found = FMessageTable.Find(Msg);
    return Found ? *Found : nullptr;
}

const TMessageHandler* FindMessageHandler(const TObject* Instance, UINT Msg)
{
    TRegistry& R = Registry();
    std::lock_guard<std::recursive_mutex> Guard(R.Lock);
    const TClassInfo* Info = GetClassInfo(Instance);
    return Info ? Info->FindMessageHandler(Msg) : nullptr;
}

void TObject::Dispatch(TMessage& Message)
{
    // The handler runs outside the registry's lock: it sends messages of its own.
    if (const TMessageHandler* Handler = FindMessageHandler(this, Message.Msg))
        (*Handler)(this, Message);
    else
        DefaultHandler(Message);
}

void TObject::DefaultHandler(TMessage&) {}

const TClassInfo* FindClassInfo(const std::string& ClassName)
{
    TRegistry& R = Registry();
    std::lock_guard<std::recursive_mutex> Guard(R.Lock);
    auto It = R.ByName.find(Key(ClassName));
    return It == R.ByName.end() ? nullptr : It->second;
}

const TClassInfo* ClassInfoOf(std::type_index Type)
{
    TRegistry& R = Registry();
    std::lock_guard<std::recursive_mutex> Guard(R.Lock);
    auto It = R.ByType.find(Type);
    return It == R.ByType.end() ? nullptr : It->second;
}

const TClassInfo* GetClassInfo(const TObject* Instance)
{
    if (!Instance)
        return nullptr;
    TRegistry& R = Registry();
    std::lock_guard<std::recursive_mutex> Guard(R.Lock);
    const std::type_index Type = typeid(*Instance);
    if (auto It = R.ByType.find(Type); It != R.ByType.end())
        return It->second;
    if (auto It = R.Nearest.find(Type); It != R.Nearest.end())
        return It->second;
    // An unregistered class (a form without handlers, a private descendant): the most derived
    // registered class it descends from.
    TClassInfo* Best = nullptr;
    int BestDepth = -1;
    for (const auto& C : R.Classes) {
        if (!C->IsInstance || !C->IsInstance(Instance))
            continue;
        int Depth = 0;
        for (const TClassInfo* P = C->Parent(); P && Depth < 256; P = P->Parent())
            ++Depth;
        if (Depth > BestDepth) {
            Best = C.get();
            BestDepth = Depth;
        }
    }
    R.Nearest[Type] = Best;
    return Best;
}

TComponent* CreateComponent(const std::string& ClassName, TComponent* Owner)
{
    const TClassInfo* Info = FindClassInfo(ClassName);
    if (!Info || !Info->Create)
        throw EClassNotFound("Class " + ClassName + " not found");
    return Info->Create(Owner);
}

const TPropInfo* GetPropInfo(const TObject* Instance, const std::string& PropName)
{
    const TClassInfo* Info = GetClassInfo(Instance);
    return Info ? Info->FindProp(PropName) : nullptr;
}

std::string ClassNameOf(const std::type_info& Type)
{
    TRegistry& R = Registry();
    std::lock_guard<std::recursive_mutex> Guard(R.Lock);
    auto It = R.NameCache.find(Type);
    if (It != R.NameCache.end())
        return It->second;
    auto C = R.ByType.find(Type);
    std::string Name = C != R.ByType.end() ? C->second->Name : Demangle(Type);
    R.NameCache[Type] = Name;
    return Name;
}

void RegisterEnumInfo(std::type_index Type, const std::string& Name, std::vector<std::string> Names)
{
    TRegistry& R = Registry();
    std::lock_guard<std::recursive_mutex> Guard(R.Lock);
    auto Info = std::make_unique<TEnumInfo>();
    Info->Name = Name;
    Info->Names = std::move(Names);
    R.Enums[Type] = std::move(Info);
}

const TEnumInfo* EnumInfoOf(std::type_index Type)
{
    TRegistry& R = Registry();
    std::lock_guard<std::recursive_mutex> Guard(R.Lock);
    auto It = R.Enums.find(Type);
    return It == R.Enums.end() ? nullptr : It->second.get();
}

void RegisterIdents(const std::string& MapName, const std::vector<TIdentEntry>& Entries)
{
    TRegistry& R = Registry();
    std::lock_guard<std::recursive_mutex> Guard(R.Lock);
    auto& Map = R.Idents[Key(MapName)];
    for (const TIdentEntry& E : Entries) {
        bool Replaced = false;
        for (TIdentEntry& Old : Map)
            if (SameText(Old.Name, E.Name)) {
                Old.Value = E.Value;
                Replaced = true;
            }
        if (!Replaced)
            Map.push_back(E);
    }
}

bool IdentToInt(const std::string& MapName, const std::string& Ident, std::int64_t& Value)
{
    TRegistry& R = Registry();
    std::lock_guard<std::recursive_mutex> Guard(R.Lock);
    auto It = R.Idents.find(Key(MapName));
    if (It == R.Idents.end())
        return false;
    for (const TIdentEntry& E : It->second)
        if (SameText(E.Name, Ident)) {
            Value = E.Value;
            return true;
        }
    return false;
}

bool IntToIdent(const std::string& MapName, std::int64_t Value, std::string& Ident)
{
    TRegistry& R = Registry();
    std::lock_guard<std::recursive_mutex> Guard(R.Lock);
    auto It = R.Idents.find(Key(MapName));
    if (It == R.Idents.end())
        return false;
    for (const TIdentEntry& E : It->second)
        if (E.Value == Value) {
            Ident = E.Name;
            return true;
        }
    return false;
}

void RegisterEventTypeName(std::type_index Type, const std::string& Name)
{
    TRegistry& R = Registry();
    std::lock_guard<std::recursive_mutex> Guard(R.Lock);
    R.EventNames[Type] = Name;
}

std::string EventTypeName(std::type_index Type)
{
    TRegistry& R = Registry();
    std::lock_guard<std::recursive_mutex> Guard(R.Lock);
    auto It = R.EventNames.find(Type);
    return It == R.EventNames.end() ? std::string("event") : It->second;
}

// ---------------------------------------------------------------------------------------------

namespace {
const TPropInfo& NeedProp(const TObject* Instance, const std::string& PropName)
{
    const TPropInfo* P = GetPropInfo(Instance, PropName);
    if (!P)
        throw EPropertyError("Unknown property: " + PropName);
    return *P;
}
[[noreturn]] void Misuse(const TPropInfo& P, const char* What)
{
    throw EPropertyError("Property " + P.Name + " " + What);
}
} // namespace

std::int64_t GetOrdProp(TObject* Instance, const std::string& PropName)
{
    const TPropInfo& P = NeedProp(Instance, PropName);
    if (!P.GetOrd)
        Misuse(P, "is not an ordinal");
    return P.GetOrd(Instance);
}

void SetOrdProp(TObject* Instance, const std::string& PropName, std::int64_t Value)
{
    const TPropInfo& P = NeedProp(Instance, PropName);
    if (!P.GetOrd)
        Misuse(P, "is not an ordinal");
    if (!P.SetOrd)
        Misuse(P, "is read-only");
    P.SetOrd(Instance, Value);
}

std::string GetStrProp(TObject* Instance, const std::string& PropName)
{
    const TPropInfo& P = NeedProp(Instance, PropName);
    if (P.Kind != TPropKind::String || !P.GetStr)
        Misuse(P, "is not a string");
    return P.GetStr(Instance);
}

void SetStrProp(TObject* Instance, const std::string& PropName, const std::string& Value)
{
    const TPropInfo& P = NeedProp(Instance, PropName);
    if (P.Kind != TPropKind::String)
        Misuse(P, "is not a string");
    if (!P.SetStr)
        Misuse(P, "is read-only");
    P.SetStr(Instance, Value);
}

double GetFloatProp(TObject* Instance, const std::string& PropName)
{
    const TPropInfo& P = NeedProp(Instance, PropName);
    if (!P.GetFloat)
        Misuse(P, "is not a float");
    return P.GetFloat(Instance);
}

void SetFloatProp(TObject* Instance, const std::string& PropName, double Value)
{
    const TPropInfo& P = NeedProp(Instance, PropName);
    if (!P.GetFloat)
        Misuse(P, "is not a float");
    if (!P.SetFloat)
        Misuse(P, "is read-only");
    P.SetFloat(Instance, Value);
}

std::string GetEnumProp(TObject* Instance, const std::string& PropName)
{
    const TPropInfo& P = NeedProp(Instance, PropName);
    const TEnumInfo* E = P.Kind == TPropKind::Enumeration ? P.Enum() : nullptr;
    if (!E)
        Misuse(P, "is not an enumeration");
    return E->NameOf(P.GetOrd(Instance));
}

void SetEnumProp(TObject* Instance, const std::string& PropName, const std::string& Value)
{
    const TPropInfo& P = NeedProp(Instance, PropName);
    const TEnumInfo* E = P.Kind == TPropKind::Enumeration ? P.Enum() : nullptr;
    if (!E)
        Misuse(P, "is not an enumeration");
    const int V = E->ValueOf(Value);
    if (V < 0)
        throw EPropertyError("Invalid property value: " + Value);
    if (!P.SetOrd)
        Misuse(P, "is read-only");
    P.SetOrd(Instance, V);
}

TObject* GetObjectProp(TObject* Instance, const std::string& PropName)
{
    const TPropInfo& P = NeedProp(Instance, PropName);
    if (!P.GetObj)
        Misuse(P, "is not an object");
    return P.GetObj(Instance);
}

bool IsPublishedProp(const TObject* Instance, const std::string& PropName)
{
    return GetPropInfo(Instance, PropName) != nullptr;
}

std::vector<std::string> PropsDifferingFromDefault(TObject* Instance)
{
    std::vector<std::string> Result;
    const TClassInfo* Info = GetClassInfo(Instance);
    if (!Info)
        return Result;
    for (const TPropInfo* P : Info->AllProps())
        if ((P->DefaultOrd || P->DefaultStr || P->DefaultFloat) && !P->IsDefault(Instance))
            Result.push_back(P->Name);
    return Result;
}

// ---------------------------------------------------------------------------------------------
// The classes of this area.

TW_PUBLISH(TObject, void) {}
TW_PUBLISH(TPersistent, TObject) {}
TW_PUBLISH(TComponent, TPersistent)
{
    Cls.Str("Name", &TComponent::Name, &TComponent::SetName);
    Cls.Int("Tag", &TComponent::Tag).Default(0);
}
TW_PUBLISH(TStrings, TPersistent)
{
    // "Lines.Strings = ( ... )": the list's own lines.
    Cls.Strings("Strings", [](TStrings* S) { return S; });
}
TW_PUBLISH(TStringList, TStrings) {}
TW_PUBLISH(TCollectionItem, TPersistent) {}
TW_PUBLISH(TCollection, TPersistent) {}

[[maybe_unused]] static const bool TwNotifyEventName =
    (RegisterEventType<TNotifyEvent>("TNotifyEvent"), true);
