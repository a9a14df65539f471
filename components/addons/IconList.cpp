#include "components/addons/IconList.h"

#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <cstdint>

namespace {

std::int32_t ReadInt32(TStream* Stream)
{
    unsigned char B[4];
    Stream->ReadBuffer(B, 4);
    return static_cast<std::int32_t>(std::uint32_t(B[0]) | std::uint32_t(B[1]) << 8 |
                                     std::uint32_t(B[2]) << 16 | std::uint32_t(B[3]) << 24);
}

void WriteInt32(TStream* Stream, std::int32_t Value)
{
    const auto V = static_cast<std::uint32_t>(Value);
    const unsigned char B[4] = {static_cast<unsigned char>(V), static_cast<unsigned char>(V >> 8),
                                static_cast<unsigned char>(V >> 16), static_cast<unsigned char>(V >> 24)};
    Stream->WriteBuffer(B, 4);
}

} // namespace

TIconList::TIconList() = default;

TIconList::~TIconList()
{
    OnChange = nullptr;
    Clear();
}

void TIconList::Changed()
{
    if (FUpdateCount == 0 && OnChange)
        OnChange(this);
}

void TIconList::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0)
        Changed();
}

void TIconList::CheckIndex(int Index, int Limit) const
{
    if (Index < 0 || Index >= Limit)
        throw EListError(Format("List index out of bounds (%d)", {Index}));
}

void TIconList::Hook(TIcon* Icon)
{
    if (Icon)
        Icon->OnChange = MakeEvent(this, &TIconList::IconChanged);
}

void TIconList::Unhook(TIcon* Icon)
{
    if (Icon)
        Icon->OnChange = nullptr;
}

void TIconList::IconChanged(TObject*)
{
    Changed();
}

TIcon* TIconList::GetItem(int Index) const
{
    CheckIndex(Index, GetCount());
    return FList[static_cast<std::size_t>(Index)];
}

int TIconList::Take(int Index, TIcon* Icon)
{
    try {
        CheckIndex(Index, GetCount() + 1);
        FList.insert(FList.begin() + Index, Icon);
    } catch (...) {
        delete Icon;
        throw;
    }
    Hook(Icon);
    Changed();
    return Index;
}

void TIconList::SetItem(int Index, TIcon* Icon)
{
    BeginUpdate();
    try {
        if (Index == GetCount())
            FList.push_back(nullptr);
        CheckIndex(Index, GetCount());
        TIcon*& Entry = FList[static_cast<std::size_t>(Index)];
        if (!Entry) {
            Entry = new TIcon;
            Hook(Entry);
        }
        Entry->Assign(Icon);
        // An icon that was already this one reports no change of its own.
        Changed();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

int TIconList::Add(TIcon* Icon)
{
    Insert(GetCount(), Icon);
    return GetCount() - 1;
}

int TIconList::AddFromResource(HINSTANCE Instance, const std::string& ResName)
{
    InsertFromResource(GetCount(), Instance, ResName);
    return GetCount() - 1;
}

void TIconList::Insert(int Index, TIcon* Icon)
{
    CheckIndex(Index, GetCount() + 1);
    auto* Copy = new TIcon;
    try {
        Copy->Assign(Icon);
    } catch (...) {
        delete Copy;
        throw;
    }
    Take(Index, Copy);
}

void TIconList::InsertFromResource(int Index, HINSTANCE Instance, const std::string& ResName)
{
    CheckIndex(Index, GetCount() + 1);
    auto* Icon = new TIcon;
    try {
        Icon->LoadFromResourceName(Instance, ResName);
    } catch (...) {
        delete Icon;
        throw;
    }
    Take(Index, Icon);
}

void TIconList::Delete(int Index)
{
    CheckIndex(Index, GetCount());
    TIcon* Icon = FList[static_cast<std::size_t>(Index)];
    Unhook(Icon);
    delete Icon;
    FList.erase(FList.begin() + Index);
    Changed();
}

void TIconList::Clear()
{
    BeginUpdate();
    while (!FList.empty())
        Delete(GetCount() - 1);
    EndUpdate();
}

void TIconList::Exchange(int Index1, int Index2)
{
    CheckIndex(Index1, GetCount());
    CheckIndex(Index2, GetCount());
    std::swap(FList[static_cast<std::size_t>(Index1)], FList[static_cast<std::size_t>(Index2)]);
    Changed();
}

int TIconList::IndexOf(TIcon* Icon) const
{
    const auto It = std::find(FList.begin(), FList.end(), Icon);
    return It == FList.end() ? -1 : static_cast<int>(It - FList.begin());
}

void TIconList::Move(int CurIndex, int NewIndex)
{
    if (CurIndex == NewIndex)
        return;
    CheckIndex(CurIndex, GetCount());
    CheckIndex(NewIndex, GetCount());
    TIcon* Icon = FList[static_cast<std::size_t>(CurIndex)];
    FList.erase(FList.begin() + CurIndex);
    FList.insert(FList.begin() + NewIndex, Icon);
    Changed();
}

void TIconList::Assign(TPersistent* Source)
{
    if (!Source) {
        Clear();
        return;
    }
    if (Source == this)
        return;
    auto* List = dynamic_cast<TIconList*>(Source);
    auto* Icon = dynamic_cast<TIcon*>(Source);
    if (!List && !Icon) {
        TPersistent::Assign(Source);
        return;
    }
    BeginUpdate();
    try {
        Clear();
        if (Icon) {
            Add(Icon);
        } else {
            for (TIcon* Entry : List->FList) {
                if (Entry)
                    Add(Entry);
                else
                    FList.push_back(nullptr);
            }
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TIconList::ReadIcons(TStream* Stream)
{
    BeginUpdate();
    try {
        Clear();
        const std::int32_t Count = ReadInt32(Stream);
        if (Count < 0)
            throw EReadError("Stream read error");
        for (std::int32_t I = 0; I < Count; ++I) {
            const std::int32_t Size = ReadInt32(Stream);
            if (Size <= 0) {
                FList.push_back(nullptr);
                continue;
            }
            // A size beyond the data is a damaged stream, not a reason to allocate it.
            if (Size > Stream->Size() - Stream->Position())
                throw EReadError("Stream read error");
            TMemoryStream Data;
            Data.CopyFrom(Stream, Size);
            Data.SetPosition(0);
            auto* Icon = new TIcon;
            try {
                Icon->LoadFromStream(&Data);
            } catch (...) {
                delete Icon;
                throw;
            }
            Take(GetCount(), Icon);
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TIconList::WriteIcons(TStream* Stream)
{
    WriteInt32(Stream, GetCount());
    TMemoryStream Data;
    for (TIcon* Icon : FList) {
        if (!Icon || Icon->Empty()) {
            WriteInt32(Stream, 0);
            continue;
        }
        Data.Clear();
        Icon->SaveToStream(&Data);
        const std::string Bytes = Data.DataString();
        WriteInt32(Stream, static_cast<std::int32_t>(Bytes.size()));
        Stream->WriteString(Bytes);
    }
}

namespace {

// Nothing is stored for an empty list.
std::string IconsProperty(TIconList* List)
{
    if (List->GetCount() == 0)
        return {};
    TMemoryStream S;
    List->WriteIcons(&S);
    return S.DataString();
}

} // namespace

TW_PUBLISH(TIconList, TPersistent)
{
    Cls.Binary("Icons", &TIconList::ReadIcons, &IconsProperty);
}
