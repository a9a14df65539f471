// The run-time design core the script editor links: a singleton design application that keeps
// its registry key, the class items and actions that packages register, and the names of known
// controls read from the registry; the standard property editors it makes sure are registered;
// and a designer for root components. Only the start-up and the exit run in the programs.
#pragma once

#include "platform/classes/Classes.h"
#include "platform/classes/DesignTime.h"
#include "platform/graphics/Graphics.h"
#include "platform/rtl/Registry.h"
#include "platform/rtl/Variants.h"

#include <memory>
#include <string>
#include <vector>

// The designer's notifications to its clients (message identifiers of the client list).
constexpr UINT DM_FIRST = 2025;
constexpr UINT DM_MODIFIED = 2025;
constexpr UINT DM_COMPONENTINSERTED = 2026;
constexpr UINT DM_COMPONENTDELETED = 2027;
constexpr UINT DM_SELECTIONCHANGED = 2028;
// LParam points at the module's name (a std::string).
constexpr UINT DM_REMOVEMODULE = 2029;
constexpr UINT DM_LAST = 2065;

// The product path of the design core's settings under HKEY_CURRENT_USER\Software.
extern const char* const DesignProductPath;

class TActionListItem : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    std::string Module;
    std::string ActionName;
};

class TActionList : public TCollection {
public:
    TActionList() : TCollection(CollectionItemClass<TActionListItem>()) {}
    TActionListItem* Items(int Index) const { return ItemsAs<TActionListItem>(Index); }
};

// Flags of a class item.
constexpr int ClassItemNoIcon = 4;
constexpr int ClassItemPaged = 8;

class TClassItem : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    const TClassInfo* ComponentClass = nullptr;
    std::string Module;
    std::string Page;
    int Flags = 0;
};

class TClassItems : public TCollection {
public:
    TClassItems() : TCollection(CollectionItemClass<TClassItem>()) {}
    TClassItem* Items(int Index) const { return ItemsAs<TClassItem>(Index); }
    TClassItem* Find(const TClassInfo* ComponentClass) const; // nullptr when none
};

class TDesignApplication : public TObject {
public:
    TDesignApplication();
    ~TDesignApplication() override;

    TRegistry* Registry() const { return FRegistry.get(); }
    TActionList* ActionList() const { return FActionList.get(); }
    TClassItems* ClassItems() const { return FClassItems.get(); }
    TStringList* KnownControls() const { return FKnownControls.get(); }

    // The module whose registrations the hooks record (the package being loaded).
    std::string CurrentModule;

protected:
    TW_MESSAGE_HANDLERS(TDesignApplication);
    void DMRemoveModule(TMessage& Message);

private:
    std::unique_ptr<TRegistry> FRegistry;
    std::unique_ptr<TActionList> FActionList;
    std::unique_ptr<TClassItems> FClassItems;
    std::unique_ptr<TStringList> FKnownControls;
};

// The singleton, from the start-up to the finalisation; nullptr outside.
extern TDesignApplication* DesignApplication;
// The objects told of the designer's notifications (the singleton among them).
TList* DesignClients();

// Registers the finalisation as an exit routine, then creates the singleton.
void DesignGenInitialization();
// Frees the singleton (the exit routine; a second call does nothing).
void DesignGenFinalization();

// Reads the value named by ValuePath ("Name" or "Sub\Name", below the product's key) by the type
// of Default; Result is Default when the key cannot be opened or the value is missing or holds
// another type. The key is created when missing. An unsupported type of Default raises
// "This type isn't supported by WriteToRegistry".
void ReadRegistryValue(const std::string& ValuePath, const Variant& Default, Variant& Result);
// The list's text is the default; the value read replaces it, one entry a line.
void ReadRegistryStrings(const std::string& ValuePath, TStrings* Strings);
// The key ("Software\...\", with its final "\") and the value name ValuePath reads.
void RegistryValueLocation(const std::string& ValuePath, std::string& Key, std::string& ValueName);

// Makes sure the standard property editors are registered (once per process: a probe of the
// editor a colour property gets tells whether someone did it already).
void RegisterStandardEditors();

// The property editor of a font's Size: the sizes to pick from.
class TFontSizePropEdit : public TIntegerProperty {
public:
    using TIntegerProperty::TIntegerProperty;
    TPropertyAttributes GetAttributes() const override;
    void GetValues(const TGetStrProc& Proc) const override;
};

// The designer of a root component. Notifications go to every client of the client list by
// message dispatch; with Single, the first client that handles one (a non-zero Result) ends it.
class TRunDesigner : public TFormDesigner {
public:
    explicit TRunDesigner(TComponent* ARoot) : FRoot(ARoot) {}

    TComponent* GetRoot() const override { return FRoot; }
    void GetSelections(std::vector<TPersistent*>& List) const override { List = FSelection; }
    void SetSelections(const std::vector<TPersistent*>& List) override;
    // "Name" in the root, or "Form.Name" in another form of the screen.
    TComponent* GetComponent(const std::string& Name) const override;
    std::string GetComponentName(TComponent* Component) const override;
    // Base + 1, Base + 2 ... the first that no component of the root has.
    std::string UniqueName(const std::string& BaseName) const override;
    std::string GetPrivateDirectory() const override;
    void Modified() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // Passes one notification to the clients; true when one handled it.
    static bool Notify(UINT Msg, WPARAM WParam, LPARAM LParam, bool Single);

private:
    TComponent* FRoot;
    std::vector<TPersistent*> FSelection;
};

// The probe's component: one published colour property "c".
class TMClass : public TComponent {
public:
    using TComponent::TComponent;
    TColor c = 0;
};

// The component the design core registers its own fake editors for.
class TFakeComponent : public TComponent {
public:
    using TComponent::TComponent;
    std::string NN;
};
class TFakePropertyEditor : public TStringProperty {
public:
    using TStringProperty::TStringProperty;
};
class TFakeComponentEditor : public TComponentEditor {
public:
    using TComponentEditor::TComponentEditor;
};
