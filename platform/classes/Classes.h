// The component model: objects, persistent objects, components with ownership and free
// notification, pointer lists, string lists and collections, and the event closures they fire.
// Published properties and the form reader build on this (TypInfo.h, FormReader.h).
#pragma once

#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TextFiles.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <type_traits>
#include <unordered_map>
#include <vector>

class TComponent;
class TFormReader;
class TStream;

// Raised for a bad component name or a name used twice under one owner.
class EComponentError : public Exception {
public:
    using Exception::Exception;
};
// Raised by As<T>() when an object is not of the class asked for.
class EInvalidCast : public Exception {
public:
    using Exception::Exception;
};

// ---------------------------------------------------------------------------------------------
// A set of enumeration values (at most 64 of them), for the "X in S" tests of the class library:
// S.Contains(X). Bits()/FromBits() are what the published-property registry stores.
template <typename E> class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> Items)
    {
        for (E Item : Items)
            FBits |= Bit(Item);
    }
    static constexpr TSet FromBits(std::uint64_t Bits)
    {
        TSet S;
        S.FBits = Bits;
        return S;
    }
    constexpr std::uint64_t Bits() const { return FBits; }
    constexpr bool Contains(E Item) const { return (FBits & Bit(Item)) != 0; }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr void Include(E Item) { FBits |= Bit(Item); }
    constexpr void Exclude(E Item) { FBits &= ~Bit(Item); }
    constexpr TSet operator+(TSet O) const { return FromBits(FBits | O.FBits); }
    constexpr TSet operator-(TSet O) const { return FromBits(FBits & ~O.FBits); }
    constexpr TSet operator*(TSet O) const { return FromBits(FBits & O.FBits); }
    constexpr TSet operator+(E Item) const { return FromBits(FBits | Bit(Item)); }
    constexpr TSet operator-(E Item) const { return FromBits(FBits & ~Bit(Item)); }
    constexpr TSet& operator+=(TSet O)
    {
        FBits |= O.FBits;
        return *this;
    }
    constexpr TSet& operator-=(TSet O)
    {
        FBits &= ~O.FBits;
        return *this;
    }
    constexpr bool operator==(const TSet& O) const = default;

private:
    static constexpr std::uint64_t Bit(E Item) { return std::uint64_t(1) << static_cast<unsigned>(Item); }
    std::uint64_t FBits = 0;
};

// ---------------------------------------------------------------------------------------------
struct TMessage;                        // platform/win/Messages.h
template <class C> class TClassBuilder; // platform/classes/TypInfo.h

class TObject {
public:
    virtual ~TObject() = default;
    // The class name: a class registered with the property registry answers its registered name,
    // any other its C++ name; a class may still override it.
    virtual std::string ClassName() const;
    bool ClassNameIs(const std::string& Name) const; // without regard to case
    // True when this object's class is Name or descends from it. Registered classes answer
    // through the registry's parent chain; an unregistered one knows only its own name.
    bool InheritsFrom(const std::string& Name) const;

    // Hands a message to the method the class's message table names for it (TypInfo.h,
    // TClassBuilder::Message), else to DefaultHandler. Not virtual: a class changes how it
    // handles a message in its table, never by replacing the lookup.
    void Dispatch(TMessage& Message);
    // What happens to a message no table claims; nothing here.
    virtual void DefaultHandler(TMessage& Message);
};

// The class library's "is" and "as" for our objects.
template <class T> bool Is(const TObject* Obj)
{
    return dynamic_cast<const T*>(Obj) != nullptr;
}
template <class T> T* As(TObject* Obj)
{
    if (!Obj)
        return nullptr;
    if (T* Result = dynamic_cast<T*>(Obj))
        return Result;
    throw EInvalidCast("Invalid class typecast");
}

class TPersistent : public TObject {
public:
    // Copies Source into this object; falls back to Source->AssignTo(this).
    virtual void Assign(TPersistent* Source);

protected:
    virtual void AssignTo(TPersistent* Dest);
};

// ---------------------------------------------------------------------------------------------
// An event is a closure whose first argument is the sender. Typed events follow the same shape,
// e.g. using THotSpotClickEvent = std::function<void(TObject* Sender, const std::string& SRC)>;
// results travel back through reference arguments, as the var arguments of the originals do.
using TNotifyEvent = std::function<void(TObject* Sender)>;

// Horizontal alignment of a caption or text inside its control.
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// Binds a method of Instance as an event closure: OnClick = MakeEvent(this, &TForm1::Button1Click).
template <class Obj, class C, class R, class... A>
std::function<R(A...)> MakeEvent(Obj* Instance, R (C::*Method)(A...))
{
    C* Target = Instance;
    return [Target, Method](A... Args) -> R { return (Target->*Method)(std::forward<A>(Args)...); };
}

// ---------------------------------------------------------------------------------------------
// A list of untyped pointers. It owns nothing; a descendant that owns its entries frees them in
// Notify(Ptr, lnDeleted), which runs for every entry that Delete or Clear drops, and calls
// Clear() in its own destructor (the base destructor no longer reaches the descendant's Notify).
enum TListNotification { lnAdded, lnExtracted, lnDeleted };

class TList : public TObject {
public:
    TList() = default;
    TList(const TList&) = delete;
    TList& operator=(const TList&) = delete;
    ~TList() override;

    int Count() const { return static_cast<int>(FList.size()); }
    void SetCount(int NewCount); // grows with nil entries, shrinks with Delete
    int Capacity() const { return static_cast<int>(FList.capacity()); }
    void SetCapacity(int NewCapacity);
    // Inline: the layout engines read lists in their innermost loops.
    void* Items(int Index) const
    {
        if (static_cast<std::size_t>(Index) >= FList.size())
            Error("List index out of bounds (%d)", Index);
        return FList[static_cast<std::size_t>(Index)];
    }
    void SetItems(int Index, void* Item);
    void* operator[](int Index) const { return Items(Index); }
    void* First() const { return Items(0); }
    void* Last() const { return Items(Count() - 1); }

    int Add(void* Item);
    void Insert(int Index, void* Item);
    void Delete(int Index);
    int Remove(void* Item); // the index it had, -1 when absent
    void* Extract(void* Item);
    virtual void Clear();
    int IndexOf(void* Item) const;
    void Exchange(int Index1, int Index2);
    void Move(int CurIndex, int NewIndex);
    void Pack(); // drops the nil entries
    // Compare returns <0, 0, >0 as Item1 sorts before, with, after Item2.
    void Sort(const std::function<int(void* Item1, void* Item2)>& Compare);
    std::vector<void*>& List() { return FList; }

protected:
    virtual void Notify(void* Ptr, TListNotification Action);
    [[noreturn]] static void Error(const std::string& Msg, int Data);

private:
    void CheckIndex(int Index) const;
    std::vector<void*> FList;
};

// ---------------------------------------------------------------------------------------------
// Components: named objects owned by another component, which frees them with itself.
enum TComponentStateItem {
    csLoading, // properties are being read from a form description; Loaded ends it
    csReading, // the reader is still reading this component's own properties
    csWriting,
    csDestroying, // the destructor runs
    csDesigning,  // placed on a form at design time (never at run time in our programs)
    csAncestor,
    csUpdating,
    csFixups,
    csFreeNotification,
    csInline,
};
using TComponentState = TSet<TComponentStateItem>;

enum TOperation { opInsert, opRemove };

class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* AOwner);
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;
    // Sends the free notifications, frees the owned components (the last one first) and leaves
    // the owner. A class whose owned components still reach back into it while they are freed
    // (controls into their parent, a form's handlers into its fields) calls Destroying() and
    // DestroyComponents() at the start of its own destructor, while it is still whole.
    ~TComponent() override;

    TComponent* Owner() const { return FOwner; }
    const std::string& Name() const { return FName; }
    // An identifier (letters, digits, "_", not starting with a digit) or empty; unique among the
    // owner's components without regard to case. Raises EComponentError otherwise.
    virtual void SetName(const std::string& NewName);
    int Tag = 0;

    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int Index) const;
    int ComponentIndex() const; // position in the owner's list, -1 without owner
    // An owned component by name, without regard to case; nullptr when none.
    TComponent* FindComponent(const std::string& AName) const;
    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);
    void DestroyComponents();
    void Destroying(); // marks csDestroying on this component and every owned one

    TComponentState ComponentState() const { return FComponentState; }
    void SetDesigning(bool Value, bool SetChildren = true);

    // Asks to be told (Notification(AComponent, opRemove)) when AComponent is freed. Both sides
    // remember the link, so whichever goes first the other is told and forgets it.
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

    // The form reader's parent link: the component of the enclosing "object" block. Controls
    // make it their Parent, menu items their parent menu.
    virtual bool HasParent() const { return false; }
    virtual TComponent* GetParentComponent() const { return nullptr; }
    virtual void SetParentComponent(TComponent* Value) { (void)Value; }
    // Calls Proc for each component a writer stores inside this one's "object" block, in order
    // (a form: the components it owns that have no other parent; a menu: its items).
    virtual void GetChildren(const std::function<void(TComponent* Child)>& Proc, TComponent* Root)
    {
        (void)Proc;
        (void)Root;
    }

    // Runs once after a form description has been read, every reference resolved: ends csLoading.
    virtual void Loaded();

protected:
    // Told when a component is inserted into (opInsert) or removed from (opRemove) this owner,
    // or when a component this one asked about is freed. The base version forgets a freed
    // component's free-notification link and passes the news on to every owned component, so
    // references between components of one form are cleared as well.
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    void SetComponentStateItem(TComponentStateItem Item, bool On);

private:
    friend class TFormReader;
    void RemoveFreeLink(TComponent* AComponent);
    void ValidateRename(TComponent* AComponent, const std::string& CurName, const std::string& NewName) const;

    void IndexName(TComponent* AComponent) const;
    void UnindexName(TComponent* AComponent, const std::string& Name);

    TComponent* FOwner = nullptr;
    std::string FName;
    std::vector<TComponent*> FComponents;
    // The owned components by upper-cased name, made once there are many of them and kept up to
    // date from then on, so a lookup by name (every component a form description names needs
    // one) does not walk all the others.
    mutable std::unique_ptr<std::unordered_map<std::string, TComponent*>> FNameIndex;
    std::vector<TComponent*> FFreeNotifies;
    TComponentState FComponentState;
};

// ---------------------------------------------------------------------------------------------
// String lists. Indices are 0-based. Text separates lines with CR LF; setting it splits at CR,
// LF and CR LF alike.
class TStrings : public TPersistent {
public:
    TStrings() = default;
    TStrings(const TStrings&) = delete;
    TStrings& operator=(const TStrings&) = delete;

    // What a descendant stores.
    virtual int GetCount() const = 0;
    virtual std::string Get(int Index) const = 0;
    virtual void Put(int Index, const std::string& S); // default: delete and insert, object kept
    virtual TObject* GetObject(int Index) const;
    virtual void PutObject(int Index, TObject* AObject);
    virtual void Insert(int Index, const std::string& S) = 0;
    virtual void Delete(int Index) = 0;
    virtual void Clear() = 0;

    int Count() const { return GetCount(); }
    std::string Strings(int Index) const { return Get(Index); }
    void SetStrings(int Index, const std::string& S) { Put(Index, S); }
    std::string operator[](int Index) const { return Get(Index); }
    TObject* Objects(int Index) const { return GetObject(Index); }
    void SetObjects(int Index, TObject* AObject) { PutObject(Index, AObject); }

    virtual int Add(const std::string& S);
    virtual int AddObject(const std::string& S, TObject* AObject);
    void Append(const std::string& S) { Add(S); }
    virtual void AddStrings(TStrings* Strings);
    void InsertObject(int Index, const std::string& S, TObject* AObject);
    virtual void Exchange(int Index1, int Index2);
    virtual void Move(int CurIndex, int NewIndex);

    // Searches without regard to case; -1 when absent.
    virtual int IndexOf(const std::string& S) const;
    int IndexOfObject(TObject* AObject) const;
    // "Name=Value" lines.
    int IndexOfName(const std::string& Name) const;
    std::string Names(int Index) const;
    std::string Values(const std::string& Name) const;
    void SetValues(const std::string& Name, const std::string& Value); // empty Value deletes

    virtual std::string Text() const; // every line followed by CR LF
    virtual void SetText(const std::string& Value);
    // Lines separated by ","; a line with a blank, comma or quote is double-quoted.
    std::string CommaText() const;
    void SetCommaText(const std::string& Value);

    // OnChange-style notifications wait until the outermost EndUpdate.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // Reads a text file (UTF-8 or Windows-1252; CR, LF and CR LF all end a line) and remembers its
    // format, so SaveToFile writes the same encoding and line breaks back. A list that was never
    // loaded saves UTF-8 with CR LF. Raise EFOpenError / EFCreateError.
    void LoadFromFile(const std::string& FileName);
    void SaveToFile(const std::string& FileName) const;
    // The same from the current position to the end of Stream, and into Stream.
    void LoadFromStream(TStream* Stream);
    void SaveToStream(TStream* Stream) const;
    TTextFormat FileFormat;

    void Assign(TPersistent* Source) override;
    bool Equals(const TStrings* Strings) const;

protected:
    void AssignTo(TPersistent* Dest) override;
    // Called with true by the first BeginUpdate and with false by the last EndUpdate.
    virtual void SetUpdateState(bool Updating) { (void)Updating; }
    [[noreturn]] static void Error(const std::string& Msg, int Data);

private:
    int FUpdateCount = 0;
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList : public TStrings {
public:
    TStringList() = default;
    ~TStringList() override;

    int GetCount() const override { return static_cast<int>(FList.size()); }
    std::string Get(int Index) const override;
    void Put(int Index, const std::string& S) override;
    TObject* GetObject(int Index) const override;
    void PutObject(int Index, TObject* AObject) override;
    void Insert(int Index, const std::string& S) override;
    void Delete(int Index) override;
    void Clear() override;
    int Add(const std::string& S) override;
    int AddObject(const std::string& S, TObject* AObject) override;
    void Exchange(int Index1, int Index2) override;
    int IndexOf(const std::string& S) const override;

    // A sorted list keeps its lines in order (without regard to case unless CaseSensitive);
    // Insert and Put raise EStringListError on it, Add puts the line in its place. Duplicates
    // applies to sorted lists: dupIgnore drops the new line (Add answers the old index),
    // dupError raises, dupAccept keeps both (the new line after its equals).
    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool Value);
    TDuplicates Duplicates = dupIgnore;
    // Binary search of a sorted list: true and the index when found, else false and the index
    // where S belongs.
    virtual bool Find(const std::string& S, int& Index) const;
    virtual void Sort();
    void CustomSort(const std::function<int(TStringList* List, int Index1, int Index2)>& Compare);

    TNotifyEvent OnChange;   // after every change (once per outermost BeginUpdate/EndUpdate)
    TNotifyEvent OnChanging; // before every change

protected:
    virtual void Changed();
    virtual void Changing();
    void SetUpdateState(bool Updating) override;
    int CompareStrings(const std::string& S1, const std::string& S2) const;

private:
    struct TItem {
        std::string S;
        TObject* Object = nullptr;
    };
    void InsertItem(int Index, const std::string& S, TObject* AObject);
    void CheckIndex(int Index) const;
    std::vector<TItem> FList;
    bool FSorted = false;
    bool FCaseSensitive = false;
};

// ---------------------------------------------------------------------------------------------
// Collections: a list of items of one class, owned by the collection. An item's constructor
// puts it into the collection and its destructor takes it out.
class TCollection;

class TCollectionItem : public TPersistent {
public:
    explicit TCollectionItem(TCollection* Collection);
    TCollectionItem(const TCollectionItem&) = delete;
    TCollectionItem& operator=(const TCollectionItem&) = delete;
    ~TCollectionItem() override;

    TCollection* Collection() const { return FCollection; }
    void SetCollection(TCollection* Value);
    int Index() const;
    virtual void SetIndex(int Value);
    int ID() const { return FID; }
    virtual std::string DisplayName() const; // the class name unless a descendant says otherwise

protected:
    // Tells the collection: Update(this), or Update(nullptr) when AllItems.
    void Changed(bool AllItems);

private:
    friend class TCollection;
    TCollection* FCollection = nullptr;
    int FID = 0;
};

// Makes a new item of the collection's item class inside the given collection.
using TCollectionItemClass = std::function<TCollectionItem*(TCollection* Collection)>;
template <class T> TCollectionItemClass CollectionItemClass()
{
    return [](TCollection* Collection) -> TCollectionItem* { return new T(Collection); };
}

class TCollection : public TPersistent {
public:
    // Owner is the persistent object holding the collection (nullptr for a free-standing one).
    explicit TCollection(TCollectionItemClass ItemClass, TPersistent* Owner = nullptr);
    TCollection(const TCollection&) = delete;
    TCollection& operator=(const TCollection&) = delete;
    ~TCollection() override;

    TCollectionItem* Add();
    TCollectionItem* Insert(int Index);
    void Delete(int Index);
    void Clear();
    int Count() const { return static_cast<int>(FItems.size()); }
    TCollectionItem* Items(int Index) const;
    void SetItems(int Index, TCollectionItem* Value) { Items(Index)->Assign(Value); }
    template <class T> T* ItemsAs(int Index) const { return static_cast<T*>(Items(Index)); }
    TCollectionItem* FindItemID(int ID) const;
    TPersistent* Owner() const { return FOwner; }

    // Update(nullptr) waits until the outermost EndUpdate, which then runs it once.
    void BeginUpdate();
    virtual void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // From another collection: clear, then Add and Assign one item per source item, inside
    // BeginUpdate/EndUpdate. Anything else goes to the inherited Assign.
    void Assign(TPersistent* Source) override;

protected:
    // A change of Item (nullptr: of the collection as a whole, or of several items).
    virtual void Update(TCollectionItem* Item);
    void Changed();

private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem* Item);
    void RemoveItem(TCollectionItem* Item);

    TCollectionItemClass FItemClass;
    TPersistent* FOwner = nullptr;
    std::vector<TCollectionItem*> FItems;
    int FUpdateCount = 0;
    int FNextID = 0;
};

// Lets the TW_PUBLISH of Class register the protected message handlers of Class (TypInfo.h).
// Put it at the head of the class's message-handler block.
#define TW_MESSAGE_HANDLERS(Class) friend void TwPublish_##Class(TClassBuilder<Class> Cls)

// Keeps the unit that publishes Class (TW_PUBLISH in TypInfo.h) in every program whose code
// includes this line's header, so the form reader can create Class by name. Put it after the
// class in its header.
#define TW_LINK_CLASS(Class)                                                                                 \
    void TwLinkClass_##Class();                                                                              \
    [[gnu::used]] static void (*const TwLinkRef_##Class)() = &TwLinkClass_##Class
