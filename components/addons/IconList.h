// A list of icons that streams itself as the binary property "Icons" of a form description.
// An entry may be empty (no icon). Editing an icon of the list in place reports a change too.
#pragma once

#include "platform/classes/Classes.h"
#include "platform/classes/TypInfo.h"
#include "platform/graphics/Graphics.h"
#include "platform/rtl/Streams.h"

#include <string>
#include <vector>

class TIconList : public TPersistent {
public:
    TIconList();
    ~TIconList() override;
    TIconList(const TIconList&) = delete;
    TIconList& operator=(const TIconList&) = delete;

    virtual void Changed();
    // The entry at Index; nullptr for an empty entry. EListError for a bad index.
    virtual TIcon* GetItem(int Index) const;
    virtual int GetCount() const { return static_cast<int>(FList.size()); }
    // Index equal to the count appends; the entry then copies Icon.
    virtual void SetItem(int Index, TIcon* Icon);
    virtual int Add(TIcon* Icon);
    virtual int AddFromResource(HINSTANCE Instance, const std::string& ResName);
    virtual void Clear();
    virtual void Delete(int Index);
    virtual void Exchange(int Index1, int Index2);
    virtual int IndexOf(TIcon* Icon) const;
    virtual void Insert(int Index, TIcon* Icon);
    virtual void InsertFromResource(int Index, HINSTANCE Instance, const std::string& ResName);
    virtual void Move(int CurIndex, int NewIndex);
    void Assign(TPersistent* Source) override;

    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();

    // The "Icons" stream: a count, then per entry its size (0 for an empty entry) and the
    // icon's own stream. Reading raises what the icon's loader raises and keeps what was read.
    void ReadIcons(TStream* Stream);
    void WriteIcons(TStream* Stream);

    TNotifyEvent OnChange;

private:
    void CheckIndex(int Index, int Limit) const;
    void Hook(TIcon* Icon);
    void Unhook(TIcon* Icon);
    void IconChanged(TObject* Sender);
    // Takes a new icon into the list at Index; frees it when that fails.
    int Take(int Index, TIcon* Icon);

    std::vector<TIcon*> FList;
    int FUpdateCount = 0;
};
TW_LINK_CLASS(TIconList);
