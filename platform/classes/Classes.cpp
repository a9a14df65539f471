#include "platform/classes/Classes.h"

#include "platform/classes/TypInfo.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TextFiles.h"

#include <algorithm>
#include <typeinfo>

// ---------------------------------------------------------------------------------------------
// TObject, TPersistent

std::string TObject::ClassName() const
{
    return ClassNameOf(typeid(*this));
}

bool TObject::ClassNameIs(const std::string& Name) const
{
    return SameText(ClassName(), Name);
}

bool TObject::InheritsFrom(const std::string& Name) const
{
    for (const TClassInfo* Info = GetClassInfo(this); Info; Info = Info->Parent())
        if (SameText(Info->Name, Name))
            return true;
    return ClassNameIs(Name);
}

void TPersistent::Assign(TPersistent* Source)
{
    if (Source)
        Source->AssignTo(this);
    else
        AssignTo(nullptr);
}

void TPersistent::AssignTo(TPersistent* Dest)
{
    const std::string from = Dest ? ClassName() : std::string("nil");
    throw EConvertError("Cannot assign a " + from + " to a " + (Dest ? Dest->ClassName() : ClassName()));
}

// ---------------------------------------------------------------------------------------------
// TList

TList::~TList()
{
    Clear();
}

void TList::Error(const std::string& Msg, int Data)
{
    throw EListError(Format(Msg, {Data}));
}

void TList::CheckIndex(int Index) const
{
    if (Index < 0 || Index >= Count())
        Error("List index out of bounds (%d)", Index);
}

void TList::SetCount(int NewCount)
{
    if (NewCount < 0)
        Error("List count out of bounds (%d)", NewCount);
    if (NewCount > Count())
        FList.resize(static_cast<std::size_t>(NewCount), nullptr);
    else
        while (Count() > NewCount)
            Delete(Count() - 1);
}

void TList::SetCapacity(int NewCapacity)
{
    if (NewCapacity < Count())
        Error("List capacity out of bounds (%d)", NewCapacity);
    FList.reserve(static_cast<std::size_t>(NewCapacity));
}

void TList::SetItems(int Index, void* Item)
{
    CheckIndex(Index);
    void*& Slot = FList[static_cast<std::size_t>(Index)];
    if (Slot == Item)
        return;
    void* Old = Slot;
    Slot = Item;
    if (Old)
        Notify(Old, lnDeleted);
    if (Item)
        Notify(Item, lnAdded);
}

int TList::Add(void* Item)
{
    FList.push_back(Item);
    if (Item)
        Notify(Item, lnAdded);
    return Count() - 1;
}

void TList::Insert(int Index, void* Item)
{
    if (Index < 0 || Index > Count())
        Error("List index out of bounds (%d)", Index);
    FList.insert(FList.begin() + Index, Item);
    if (Item)
        Notify(Item, lnAdded);
}

void TList::Delete(int Index)
{
    CheckIndex(Index);
    void* Item = FList[static_cast<std::size_t>(Index)];
    FList.erase(FList.begin() + Index);
    if (Item)
        Notify(Item, lnDeleted);
}

int TList::Remove(void* Item)
{
    const int Index = IndexOf(Item);
    if (Index >= 0)
        Delete(Index);
    return Index;
}

void* TList::Extract(void* Item)
{
    const int Index = IndexOf(Item);
    if (Index < 0)
        return nullptr;
    FList.erase(FList.begin() + Index);
    Notify(Item, lnExtracted);
    return Item;
}

void TList::Clear()
{
    while (!FList.empty())
        Delete(Count() - 1);
    FList.shrink_to_fit();
}

int TList::IndexOf(void* Item) const
{
    auto It = std::find(FList.begin(), FList.end(), Item);
    return It == FList.end() ? -1 : static_cast<int>(It - FList.begin());
}

void TList::Exchange(int Index1, int Index2)
{
    CheckIndex(Index1);
    CheckIndex(Index2);
    std::swap(FList[static_cast<std::size_t>(Index1)], FList[static_cast<std::size_t>(Index2)]);
}

void TList::Move(int CurIndex, int NewIndex)
{
    if (CurIndex == NewIndex)
        return;
    CheckIndex(CurIndex);
    CheckIndex(NewIndex);
    void* Item = FList[static_cast<std::size_t>(CurIndex)];
    FList.erase(FList.begin() + CurIndex);
    FList.insert(FList.begin() + NewIndex, Item);
}

void TList::Pack()
{
    FList.erase(std::remove(FList.begin(), FList.end(), nullptr), FList.end());
}

void TList::Sort(const std::function<int(void*, void*)>& Compare)
{
    std::stable_sort(FList.begin(), FList.end(), [&](void* A, void* B) { return Compare(A, B) < 0; });
}

void TList::Notify(void* Ptr, TListNotification Action)
{
    (void)Ptr;
    (void)Action;
}

// ---------------------------------------------------------------------------------------------
// TComponent

namespace {
bool IsValidIdent(const std::string& S)
{
    if (S.empty())
        return false;
    auto Alpha = [](char C) { return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || C == '_'; };
    if (!Alpha(S[0]))
        return false;
    return std::all_of(S.begin(), S.end(), [&](char C) { return Alpha(C) || (C >= '0' && C <= '9'); });
}
} // namespace

TComponent::TComponent(TComponent* AOwner)
{
    if (AOwner)
        AOwner->InsertComponent(this);
}

TComponent::~TComponent()
{
    Destroying();
    while (!FFreeNotifies.empty()) {
        TComponent* Other = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        Other->RemoveFreeLink(this);
        Other->Notification(this, opRemove);
    }
    DestroyComponents();
    if (FOwner)
        FOwner->RemoveComponent(this);
}

void TComponent::SetName(const std::string& NewName)
{
    if (FName == NewName)
        return;
    if (!NewName.empty() && !IsValidIdent(NewName))
        throw EComponentError("'" + NewName + "' is not a valid component name");
    if (FOwner)
        FOwner->ValidateRename(this, FName, NewName);
    const std::string OldName = FName;
    FName = NewName;
    if (FOwner && FOwner->FNameIndex) {
        FOwner->UnindexName(this, OldName);
        FOwner->IndexName(this);
    }
}

void TComponent::ValidateRename(TComponent* AComponent, const std::string& CurName,
                                const std::string& NewName) const
{
    if (NewName.empty() || SameText(CurName, NewName))
        return;
    TComponent* Existing = FindComponent(NewName);
    if (Existing && Existing != AComponent)
        throw EComponentError("A component named " + NewName + " already exists");
}

TComponent* TComponent::Components(int Index) const
{
    if (Index < 0 || Index >= ComponentCount())
        throw EListError(Format("List index out of bounds (%d)", {Index}));
    return FComponents[static_cast<std::size_t>(Index)];
}

int TComponent::ComponentIndex() const
{
    if (!FOwner)
        return -1;
    auto& L = FOwner->FComponents;
    auto It = std::find(L.begin(), L.end(), this);
    return It == L.end() ? -1 : static_cast<int>(It - L.begin());
}

namespace {
// Below this many, walking the list is as quick as the index and needs no memory.
constexpr std::size_t NameIndexFrom = 32;
} // namespace

void TComponent::IndexName(TComponent* AComponent) const
{
    if (!AComponent->FName.empty())
        FNameIndex->emplace(UpperCase(AComponent->FName), AComponent);
}

void TComponent::UnindexName(TComponent* AComponent, const std::string& Name)
{
    if (!FNameIndex || Name.empty())
        return;
    const auto It = FNameIndex->find(UpperCase(Name));
    if (It == FNameIndex->end() || It->second != AComponent)
        return;
    FNameIndex->erase(It); // names are unique among an owner's components: nobody else had it
}

TComponent* TComponent::FindComponent(const std::string& AName) const
{
    if (AName.empty())
        return nullptr;
    if (!FNameIndex && FComponents.size() >= NameIndexFrom) {
        FNameIndex = std::make_unique<std::unordered_map<std::string, TComponent*>>();
        for (TComponent* C : FComponents)
            IndexName(C);
    }
    if (FNameIndex) {
        const auto It = FNameIndex->find(UpperCase(AName));
        return It == FNameIndex->end() ? nullptr : It->second;
    }
    for (TComponent* C : FComponents)
        if (SameText(C->FName, AName))
            return C;
    return nullptr;
}

void TComponent::InsertComponent(TComponent* AComponent)
{
    if (!AComponent || AComponent->FOwner == this)
        return;
    ValidateRename(AComponent, "", AComponent->FName);
    if (AComponent->FOwner)
        AComponent->FOwner->RemoveComponent(AComponent);
    FComponents.push_back(AComponent);
    AComponent->FOwner = this;
    if (FNameIndex)
        IndexName(AComponent);
    if (FComponentState.Contains(csDesigning))
        AComponent->SetDesigning(true);
    Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent)
{
    if (!AComponent || AComponent->FOwner != this)
        return;
    Notification(AComponent, opRemove);
    auto It = std::find(FComponents.begin(), FComponents.end(), AComponent);
    if (It != FComponents.end())
        FComponents.erase(It);
    UnindexName(AComponent, AComponent->FName);
    AComponent->FOwner = nullptr;
}

void TComponent::DestroyComponents()
{
    while (!FComponents.empty()) {
        TComponent* Last = FComponents.back();
        FComponents.pop_back();
        UnindexName(Last, Last->FName);
        Last->FOwner = nullptr; // freed by its owner: the owner is not told about it
        delete Last;
    }
}

void TComponent::Destroying()
{
    if (FComponentState.Contains(csDestroying))
        return;
    FComponentState.Include(csDestroying);
    for (TComponent* C : FComponents)
        C->Destroying();
}

void TComponent::SetDesigning(bool Value, bool SetChildren)
{
    SetComponentStateItem(csDesigning, Value);
    if (SetChildren)
        for (TComponent* C : FComponents)
            C->SetDesigning(Value, true);
}

void TComponent::SetComponentStateItem(TComponentStateItem Item, bool On)
{
    if (On)
        FComponentState.Include(Item);
    else
        FComponentState.Exclude(Item);
}

void TComponent::FreeNotification(TComponent* AComponent)
{
    if (!AComponent || AComponent == this)
        return;
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end())
        FFreeNotifies.push_back(AComponent);
    auto& Theirs = AComponent->FFreeNotifies;
    if (std::find(Theirs.begin(), Theirs.end(), this) == Theirs.end())
        Theirs.push_back(this);
    FComponentState.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent)
{
    if (!AComponent)
        return;
    RemoveFreeLink(AComponent);
    AComponent->RemoveFreeLink(this);
}

void TComponent::RemoveFreeLink(TComponent* AComponent)
{
    auto It = std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent);
    if (It != FFreeNotifies.end())
        FFreeNotifies.erase(It);
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove && AComponent)
        RemoveFreeNotification(AComponent);
    // A handler may free components: walk by index and re-check the bounds each time.
    for (int I = ComponentCount() - 1; I >= 0; --I) {
        if (I >= ComponentCount())
            continue;
        TComponent* C = FComponents[static_cast<std::size_t>(I)];
        if (C != AComponent)
            C->Notification(AComponent, Operation);
    }
}

void TComponent::Loaded()
{
    FComponentState.Exclude(csLoading);
}

// ---------------------------------------------------------------------------------------------
// TStrings

void TStrings::Error(const std::string& Msg, int Data)
{
    throw EStringListError(Format(Msg, {Data}));
}

void TStrings::Put(int Index, const std::string& S)
{
    TObject* Obj = GetObject(Index);
    BeginUpdate();
    Delete(Index);
    InsertObject(Index, S, Obj);
    EndUpdate();
}

TObject* TStrings::GetObject(int Index) const
{
    (void)Index;
    return nullptr;
}

void TStrings::PutObject(int Index, TObject* AObject)
{
    (void)Index;
    (void)AObject;
}

int TStrings::Add(const std::string& S)
{
    const int Index = GetCount();
    Insert(Index, S);
    return Index;
}

int TStrings::AddObject(const std::string& S, TObject* AObject)
{
    const int Index = Add(S);
    PutObject(Index, AObject);
    return Index;
}

void TStrings::AddStrings(TStrings* Strings)
{
    if (!Strings)
        return;
    BeginUpdate();
    const int N = Strings->Count(); // stable even when Strings is this list
    for (int I = 0; I < N; ++I)
        AddObject(Strings->Get(I), Strings->GetObject(I));
    EndUpdate();
}

void TStrings::InsertObject(int Index, const std::string& S, TObject* AObject)
{
    Insert(Index, S);
    PutObject(Index, AObject);
}

void TStrings::Exchange(int Index1, int Index2)
{
    BeginUpdate();
    const std::string S1 = Get(Index1);
    TObject* O1 = GetObject(Index1);
    Put(Index1, Get(Index2));
    PutObject(Index1, GetObject(Index2));
    Put(Index2, S1);
    PutObject(Index2, O1);
    EndUpdate();
}

void TStrings::Move(int CurIndex, int NewIndex)
{
    if (CurIndex == NewIndex)
        return;
    BeginUpdate();
    const std::string S = Get(CurIndex);
    TObject* Obj = GetObject(CurIndex);
    Delete(CurIndex);
    InsertObject(NewIndex, S, Obj);
    EndUpdate();
}

int TStrings::IndexOf(const std::string& S) const
{
    for (int I = 0, N = GetCount(); I < N; ++I)
        if (SameText(Get(I), S))
            return I;
    return -1;
}

int TStrings::IndexOfObject(TObject* AObject) const
{
    for (int I = 0, N = GetCount(); I < N; ++I)
        if (GetObject(I) == AObject)
            return I;
    return -1;
}

int TStrings::IndexOfName(const std::string& Name) const
{
    for (int I = 0, N = GetCount(); I < N; ++I) {
        const std::string S = Get(I);
        const auto Eq = S.find('=');
        if (Eq != std::string::npos && SameText(S.substr(0, Eq), Name))
            return I;
    }
    return -1;
}

std::string TStrings::Names(int Index) const
{
    const std::string S = Get(Index);
    const auto Eq = S.find('=');
    return Eq == std::string::npos ? std::string() : S.substr(0, Eq);
}

std::string TStrings::Values(const std::string& Name) const
{
    const int I = IndexOfName(Name);
    if (I < 0)
        return "";
    const std::string S = Get(I);
    return S.substr(S.find('=') + 1);
}

void TStrings::SetValues(const std::string& Name, const std::string& Value)
{
    const int I = IndexOfName(Name);
    if (Value.empty()) {
        if (I >= 0)
            Delete(I);
    } else if (I < 0) {
        Add(Name + "=" + Value);
    } else {
        Put(I, Name + "=" + Value);
    }
}

std::string TStrings::Text() const
{
    std::string Result;
    for (int I = 0, N = GetCount(); I < N; ++I) {
        Result += Get(I);
        Result += "\r\n";
    }
    return Result;
}

void TStrings::SetText(const std::string& Value)
{
    BeginUpdate();
    Clear();
    std::size_t Start = 0;
    const std::size_t N = Value.size();
    std::size_t I = 0;
    while (I < N) {
        const char C = Value[I];
        if (C == '\r' || C == '\n') {
            Add(Value.substr(Start, I - Start));
            I += (C == '\r' && I + 1 < N && Value[I + 1] == '\n') ? 2 : 1;
            Start = I;
        } else {
            ++I;
        }
    }
    if (Start < N)
        Add(Value.substr(Start));
    EndUpdate();
}

std::string TStrings::CommaText() const
{
    std::string Result;
    for (int I = 0, N = GetCount(); I < N; ++I) {
        if (I > 0)
            Result += ',';
        const std::string S = Get(I);
        const bool Quote = S.empty() || S.find_first_of(" ,\"\t") != std::string::npos;
        if (!Quote) {
            Result += S;
            continue;
        }
        Result += '"';
        for (char C : S) {
            if (C == '"')
                Result += '"';
            Result += C;
        }
        Result += '"';
    }
    return Result;
}

void TStrings::SetCommaText(const std::string& Value)
{
    BeginUpdate();
    Clear();
    std::size_t I = 0;
    const std::size_t N = Value.size();
    auto SkipBlanks = [&] {
        while (I < N && (Value[I] == ' ' || Value[I] == '\t'))
            ++I;
    };
    SkipBlanks();
    while (I < N) {
        std::string Item;
        if (Value[I] == '"') {
            ++I;
            while (I < N) {
                if (Value[I] == '"') {
                    if (I + 1 < N && Value[I + 1] == '"') {
                        Item += '"';
                        I += 2;
                        continue;
                    }
                    ++I;
                    break;
                }
                Item += Value[I++];
            }
        } else {
            while (I < N && Value[I] != ',' && Value[I] != ' ' && Value[I] != '\t')
                Item += Value[I++];
        }
        Add(Item);
        SkipBlanks();
        if (I < N && Value[I] == ',') {
            ++I;
            SkipBlanks();
            if (I >= N)
                Add("");
        }
    }
    EndUpdate();
}

void TStrings::BeginUpdate()
{
    if (FUpdateCount == 0)
        SetUpdateState(true); // still outside the update: OnChanging fires
    ++FUpdateCount;
}

void TStrings::EndUpdate()
{
    if (FUpdateCount <= 0)
        return;
    if (--FUpdateCount == 0)
        SetUpdateState(false);
}

void TStrings::LoadFromFile(const std::string& FileName)
{
    TTextFormat Format;
    const std::string Text = LoadTextFile(FileName, &Format);
    // Lines end at a NUL byte: such a file (a program, a picture, UTF-16 text) would be cut there
    // and saved back cut, so it is refused whole.
    if (Text.find('\0') != std::string::npos)
        throw EFOpenError("Cannot open file \"" + FileName + "\". It holds NUL bytes, so it is no text to edit.");
    SetText(Text);
    FileFormat = Format;
}

void TStrings::SaveToFile(const std::string& FileName) const
{
    SaveTextFile(FileName, Text(), FileFormat);
}

void TStrings::LoadFromStream(TStream* Stream)
{
    TTextFormat Format;
    const std::string Text = DecodeText(Stream ? Stream->ReadAll() : std::string(), &Format);
    SetText(Text);
    FileFormat = Format;
}

void TStrings::SaveToStream(TStream* Stream) const
{
    if (!Stream)
        return;
    Stream->WriteString(EncodeText(Text(), FileFormat));
}

void TStrings::Assign(TPersistent* Source)
{
    if (auto* Src = dynamic_cast<TStrings*>(Source)) {
        if (Src == this)
            return;
        BeginUpdate();
        Clear();
        AddStrings(Src);
        EndUpdate();
        return;
    }
    TPersistent::Assign(Source);
}

void TStrings::AssignTo(TPersistent* Dest)
{
    TPersistent::AssignTo(Dest);
}

bool TStrings::Equals(const TStrings* Strings) const
{
    if (!Strings || Strings->GetCount() != GetCount())
        return false;
    for (int I = 0, N = GetCount(); I < N; ++I)
        if (Get(I) != Strings->Get(I))
            return false;
    return true;
}

// ---------------------------------------------------------------------------------------------
// TStringList

TStringList::~TStringList()
{
    // Nobody is told about the lines of a list that goes away.
    OnChange = nullptr;
    OnChanging = nullptr;
}

void TStringList::CheckIndex(int Index) const
{
    if (Index < 0 || Index >= GetCount())
        Error("List index out of bounds (%d)", Index);
}

std::string TStringList::Get(int Index) const
{
    CheckIndex(Index);
    return FList[static_cast<std::size_t>(Index)].S;
}

void TStringList::Put(int Index, const std::string& S)
{
    if (FSorted)
        throw EStringListError("Operation not allowed on sorted string list");
    CheckIndex(Index);
    Changing();
    FList[static_cast<std::size_t>(Index)].S = S;
    Changed();
}

TObject* TStringList::GetObject(int Index) const
{
    CheckIndex(Index);
    return FList[static_cast<std::size_t>(Index)].Object;
}

void TStringList::PutObject(int Index, TObject* AObject)
{
    CheckIndex(Index);
    Changing();
    FList[static_cast<std::size_t>(Index)].Object = AObject;
    Changed();
}

void TStringList::Insert(int Index, const std::string& S)
{
    if (FSorted)
        throw EStringListError("Operation not allowed on sorted string list");
    if (Index < 0 || Index > GetCount())
        Error("List index out of bounds (%d)", Index);
    InsertItem(Index, S, nullptr);
}

void TStringList::InsertItem(int Index, const std::string& S, TObject* AObject)
{
    Changing();
    FList.insert(FList.begin() + Index, TItem{S, AObject});
    Changed();
}

void TStringList::Delete(int Index)
{
    CheckIndex(Index);
    Changing();
    FList.erase(FList.begin() + Index);
    Changed();
}

void TStringList::Clear()
{
    if (FList.empty())
        return;
    Changing();
    FList.clear();
    Changed();
}

int TStringList::Add(const std::string& S)
{
    return AddObject(S, nullptr);
}

int TStringList::AddObject(const std::string& S, TObject* AObject)
{
    int Index = GetCount();
    if (FSorted && Find(S, Index)) {
        if (Duplicates == dupIgnore)
            return Index;
        if (Duplicates == dupError)
            throw EStringListError("String list does not allow duplicates");
        // Accepted duplicates go after their equals, so equal lines keep the order they came in.
        while (Index < GetCount() && CompareStrings(FList[static_cast<std::size_t>(Index)].S, S) == 0)
            ++Index;
    }
    InsertItem(Index, S, AObject);
    return Index;
}

void TStringList::Exchange(int Index1, int Index2)
{
    CheckIndex(Index1);
    CheckIndex(Index2);
    Changing();
    std::swap(FList[static_cast<std::size_t>(Index1)], FList[static_cast<std::size_t>(Index2)]);
    Changed();
}

int TStringList::CompareStrings(const std::string& S1, const std::string& S2) const
{
    return FCaseSensitive ? CompareStr(S1, S2) : CompareText(S1, S2);
}

int TStringList::IndexOf(const std::string& S) const
{
    if (FSorted) {
        int Index = 0;
        return Find(S, Index) ? Index : -1;
    }
    for (int I = 0, N = GetCount(); I < N; ++I)
        if (CompareStrings(FList[static_cast<std::size_t>(I)].S, S) == 0)
            return I;
    return -1;
}

bool TStringList::Find(const std::string& S, int& Index) const
{
    // Lower bound, so that among equal lines the first is found.
    int L = 0, H = GetCount();
    while (L < H) {
        const int M = L + (H - L) / 2;
        if (CompareStrings(FList[static_cast<std::size_t>(M)].S, S) < 0)
            L = M + 1;
        else
            H = M;
    }
    Index = L;
    return L < GetCount() && CompareStrings(FList[static_cast<std::size_t>(L)].S, S) == 0;
}

void TStringList::SetSorted(bool Value)
{
    if (FSorted == Value)
        return;
    if (Value)
        Sort();
    FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value)
{
    if (FCaseSensitive == Value)
        return;
    FCaseSensitive = Value;
    if (FSorted)
        Sort();
}

void TStringList::Sort()
{
    CustomSort([](TStringList* List, int I1, int I2) {
        return List->CompareStrings(List->FList[static_cast<std::size_t>(I1)].S,
                                    List->FList[static_cast<std::size_t>(I2)].S);
    });
}

void TStringList::CustomSort(const std::function<int(TStringList*, int, int)>& Compare)
{
    if (GetCount() < 2)
        return;
    Changing();
    // Sort an index permutation, so Compare sees the list as it stands.
    std::vector<int> Order(FList.size());
    for (std::size_t I = 0; I < Order.size(); ++I)
        Order[I] = static_cast<int>(I);
    std::stable_sort(Order.begin(), Order.end(), [&](int A, int B) { return Compare(this, A, B) < 0; });
    std::vector<TItem> Sorted;
    Sorted.reserve(FList.size());
    for (int I : Order)
        Sorted.push_back(FList[static_cast<std::size_t>(I)]);
    FList.swap(Sorted);
    Changed();
}

void TStringList::Changed()
{
    if (UpdateCount() == 0 && OnChange)
        OnChange(this);
}

void TStringList::Changing()
{
    if (UpdateCount() == 0 && OnChanging)
        OnChanging(this);
}

void TStringList::SetUpdateState(bool Updating)
{
    if (Updating)
        Changing();
    else
        Changed();
}

// ---------------------------------------------------------------------------------------------
// TCollectionItem, TCollection

TCollectionItem::TCollectionItem(TCollection* Collection)
{
    SetCollection(Collection);
}

TCollectionItem::~TCollectionItem()
{
    SetCollection(nullptr);
}

void TCollectionItem::SetCollection(TCollection* Value)
{
    if (FCollection == Value)
        return;
    if (FCollection)
        FCollection->RemoveItem(this);
    if (Value)
        Value->InsertItem(this);
}

int TCollectionItem::Index() const
{
    if (!FCollection)
        return -1;
    auto& L = FCollection->FItems;
    auto It = std::find(L.begin(), L.end(), this);
    return It == L.end() ? -1 : static_cast<int>(It - L.begin());
}

void TCollectionItem::SetIndex(int Value)
{
    const int Cur = Index();
    if (Cur < 0 || Value == Cur || Value < 0 || Value >= FCollection->Count())
        return;
    auto& L = FCollection->FItems;
    L.erase(L.begin() + Cur);
    L.insert(L.begin() + Value, this);
    Changed(true);
}

std::string TCollectionItem::DisplayName() const
{
    return ClassName();
}

void TCollectionItem::Changed(bool AllItems)
{
    if (FCollection && FCollection->UpdateCount() == 0)
        FCollection->Update(AllItems ? nullptr : this);
}

TCollection::TCollection(TCollectionItemClass ItemClass, TPersistent* Owner)
    : FItemClass(std::move(ItemClass)), FOwner(Owner)
{
}

TCollection::~TCollection()
{
    FUpdateCount = 1; // no Update while the items go
    while (!FItems.empty())
        delete FItems.back();
}

TCollectionItem* TCollection::Add()
{
    if (!FItemClass)
        throw EInvalidOperation("Collection has no item class");
    TCollectionItem* Item = FItemClass(this);
    if (Item && Item->FCollection != this)
        Item->SetCollection(this);
    return Item;
}

TCollectionItem* TCollection::Insert(int Index)
{
    if (Index < 0 || Index > Count())
        throw EListError(Format("List index out of bounds (%d)", {Index}));
    BeginUpdate();
    TCollectionItem* Item = nullptr;
    try {
        Item = Add();
        Item->SetIndex(Index);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    return Item;
}

void TCollection::Delete(int Index)
{
    delete Items(Index);
}

void TCollection::Clear()
{
    if (FItems.empty())
        return;
    BeginUpdate();
    while (!FItems.empty())
        delete FItems.back();
    EndUpdate();
}

TCollectionItem* TCollection::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError(Format("List index out of bounds (%d)", {Index}));
    return FItems[static_cast<std::size_t>(Index)];
}

TCollectionItem* TCollection::FindItemID(int ID) const
{
    for (TCollectionItem* Item : FItems)
        if (Item->FID == ID)
            return Item;
    return nullptr;
}

void TCollection::BeginUpdate()
{
    ++FUpdateCount;
}

void TCollection::EndUpdate()
{
    if (FUpdateCount <= 0)
        return;
    if (--FUpdateCount == 0)
        Changed();
}

void TCollection::Assign(TPersistent* Source)
{
    auto* Src = dynamic_cast<TCollection*>(Source);
    if (!Src) {
        TPersistent::Assign(Source);
        return;
    }
    if (Src == this)
        return;
    BeginUpdate();
    try {
        Clear();
        for (TCollectionItem* Item : Src->FItems)
            Add()->Assign(Item);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TCollection::Update(TCollectionItem* Item)
{
    (void)Item;
}

void TCollection::Changed()
{
    if (FUpdateCount == 0)
        Update(nullptr);
}

void TCollection::InsertItem(TCollectionItem* Item)
{
    FItems.push_back(Item);
    Item->FCollection = this;
    Item->FID = FNextID++;
    Changed();
}

void TCollection::RemoveItem(TCollectionItem* Item)
{
    auto It = std::find(FItems.begin(), FItems.end(), Item);
    if (It != FItems.end())
        FItems.erase(It);
    Item->FCollection = nullptr;
    Changed();
}
