// The class library's design-time interface: property editors and component editors registered
// for property types, component classes and property names; the enumeration of components'
// properties through their editors; the designer a root component answers to; and the two hooks
// through which a package registers its component classes. The programs only register here at
// start-up; nothing shows an object inspector.
#pragma once

#include "platform/classes/TypInfo.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TFormDesigner;
class TPropertyEditor;
class TComponentEditor;

// ---- Property editors ------------------------------------------------------------------------
enum TPropertyAttribute {
    paValueList,
    paSubProperties,
    paDialog,
    paMultiSelect,
    paAutoUpdate,
    paSortList,
    paReadOnly,
    paRevertable,
};
using TPropertyAttributes = TSet<TPropertyAttribute>;

using TGetStrProc = std::function<void(const std::string& S)>;

class TPropertyEditor {
public:
    TPropertyEditor(TFormDesigner* ADesigner, std::vector<TPersistent*> AComponents, const TPropInfo* AProp);
    virtual ~TPropertyEditor() = default;
    TPropertyEditor(const TPropertyEditor&) = delete;
    TPropertyEditor& operator=(const TPropertyEditor&) = delete;

    virtual TPropertyAttributes GetAttributes() const;
    // The entries of the value list (paValueList), in order.
    virtual void GetValues(const TGetStrProc& Proc) const;
    // The value of the first component as text, and a text set into every component.
    virtual std::string GetValue() const;
    virtual void SetValue(const std::string& Value);

    std::string GetName() const { return FProp ? FProp->Name : std::string(); }
    const TPropInfo* GetPropInfo() const { return FProp; }
    TFormDesigner* Designer() const { return FDesigner; }
    int PropCount() const { return static_cast<int>(FComponents.size()); }
    TPersistent* GetComponent(int Index) const;

private:
    TFormDesigner* FDesigner;
    std::vector<TPersistent*> FComponents;
    const TPropInfo* FProp;
};

class TOrdinalProperty : public TPropertyEditor {
public:
    using TPropertyEditor::TPropertyEditor;
    TPropertyAttributes GetAttributes() const override;
};
class TIntegerProperty : public TOrdinalProperty {
public:
    using TOrdinalProperty::TOrdinalProperty;
};
class TCharProperty : public TOrdinalProperty {
public:
    using TOrdinalProperty::TOrdinalProperty;
};
class TStringProperty : public TPropertyEditor {
public:
    using TPropertyEditor::TPropertyEditor;
    TPropertyAttributes GetAttributes() const override;
};
// A sub-object: edited through its own properties.
class TClassProperty : public TPropertyEditor {
public:
    using TPropertyEditor::TPropertyEditor;
    TPropertyAttributes GetAttributes() const override;
    std::string GetValue() const override; // "(TFont)"
};
// A reference to another component, chosen from a sorted list.
class TComponentProperty : public TPropertyEditor {
public:
    using TPropertyEditor::TPropertyEditor;
    TPropertyAttributes GetAttributes() const override;
};
// Integers written by the names of an identifier map (colours, cursors, modal results).
class TIdentProperty : public TIntegerProperty {
public:
    using TIntegerProperty::TIntegerProperty;
    TPropertyAttributes GetAttributes() const override;
    std::string GetValue() const override;
    void SetValue(const std::string& Value) override;
};
class TColorProperty : public TIdentProperty {
public:
    using TIdentProperty::TIdentProperty;
    TPropertyAttributes GetAttributes() const override; // the colour dialog as well
};
class TCursorProperty : public TIdentProperty {
public:
    using TIdentProperty::TIdentProperty;
};
class TModalResultProperty : public TIdentProperty {
public:
    using TIdentProperty::TIdentProperty;
};
class TFontProperty : public TClassProperty {
public:
    using TClassProperty::TClassProperty;
    TPropertyAttributes GetAttributes() const override; // the font dialog as well
};
class TCaptionProperty : public TStringProperty {
public:
    using TStringProperty::TStringProperty;
    TPropertyAttributes GetAttributes() const override; // the control follows each keystroke
};
class TFontNameProperty : public TStringProperty {
public:
    using TStringProperty::TStringProperty;
    TPropertyAttributes GetAttributes() const override;
};
class TShortCutProperty : public TOrdinalProperty {
public:
    using TOrdinalProperty::TOrdinalProperty;
};
class TComponentNameProperty : public TStringProperty {
public:
    using TStringProperty::TStringProperty;
    TPropertyAttributes GetAttributes() const override; // one component at a time
};
class TTabOrderProperty : public TIntegerProperty {
public:
    using TIntegerProperty::TIntegerProperty;
    TPropertyAttributes GetAttributes() const override;
};

// A property editor class: its name and how to make one.
struct TPropertyEditorClass {
    std::string Name;
    std::function<std::unique_ptr<TPropertyEditor>(TFormDesigner*, std::vector<TPersistent*>,
                                                   const TPropInfo*)>
        Create;
};
template <class E> TPropertyEditorClass PropertyEditorClass(const std::string& Name)
{
    return {Name, [](TFormDesigner* D, std::vector<TPersistent*> C, const TPropInfo* P) {
                return std::unique_ptr<TPropertyEditor>(std::make_unique<E>(D, std::move(C), P));
            }};
}

// PropertyType names the property's type as TPropInfo::TypeName gives it ("Integer", "TColor",
// "TFont"); a class name also covers the properties holding a descendant, so "TObject" takes
// every sub-object and "TComponent" every component reference. ComponentClass nullptr means
// every class, PropertyName "" every name. The most specific registration wins, among equals
// the latest.
struct TPropertyEditorRegistration {
    std::string PropertyType;
    const TClassInfo* ComponentClass = nullptr;
    std::string PropertyName;
    TPropertyEditorClass EditorClass;
};
void RegisterPropertyEditor(const std::string& PropertyType, const TClassInfo* ComponentClass,
                            const std::string& PropertyName, TPropertyEditorClass EditorClass);
const std::vector<TPropertyEditorRegistration>& PropertyEditorRegistrations();

// The editor class for one property of one component class: the best registration, else the
// plain editor of the property's kind.
TPropertyEditorClass FindPropertyEditorClass(const TClassInfo* ComponentClass, const TPropInfo* Prop);

using TPropKinds = TSet<TPropKind>;
TPropKinds AllPropKinds();
// Calls Proc with an editor for each published property that every component of Components has
// and whose kind is in Filter (events have no editor). Proc owns the editor.
void GetComponentProperties(const std::vector<TPersistent*>& Components, TPropKinds Filter,
                            TFormDesigner* Designer,
                            const std::function<void(std::unique_ptr<TPropertyEditor> Editor)>& Proc);

// ---- Component editors ---------------------------------------------------------------------
class TComponentEditor {
public:
    TComponentEditor(TComponent* AComponent, TFormDesigner* ADesigner)
        : FComponent(AComponent), FDesigner(ADesigner)
    {
    }
    virtual ~TComponentEditor() = default;
    virtual void Edit() {}
    virtual int GetVerbCount() const { return 0; }
    virtual std::string GetVerb(int Index) const
    {
        (void)Index;
        return std::string();
    }
    virtual void ExecuteVerb(int Index) { (void)Index; }
    TComponent* Component() const { return FComponent; }
    TFormDesigner* Designer() const { return FDesigner; }

private:
    TComponent* FComponent;
    TFormDesigner* FDesigner;
};

struct TComponentEditorClass {
    std::string Name;
    std::function<std::unique_ptr<TComponentEditor>(TComponent*, TFormDesigner*)> Create;
};
template <class E> TComponentEditorClass ComponentEditorClass(const std::string& Name)
{
    return {Name, [](TComponent* C, TFormDesigner* D) {
                return std::unique_ptr<TComponentEditor>(std::make_unique<E>(C, D));
            }};
}
void RegisterComponentEditor(const TClassInfo* ComponentClass, TComponentEditorClass EditorClass);
// The editor of the nearest class of Component's chain with one registered, else the plain one.
std::unique_ptr<TComponentEditor> GetComponentEditor(TComponent* Component, TFormDesigner* Designer);
// The editor class registered for exactly this class; empty name when none.
TComponentEditorClass FindComponentEditorClass(const TClassInfo* ComponentClass);

// Forgets every property and component editor registration (tests start from a clean library).
void ClearDesignTimeRegistrations();

// ---- Designers -------------------------------------------------------------------------------
// What the class library asks of the designer of a root component (a form or data module).
class TFormDesigner {
public:
    virtual ~TFormDesigner() = default;
    virtual TComponent* GetRoot() const = 0;
    virtual void GetSelections(std::vector<TPersistent*>& List) const = 0;
    virtual void SetSelections(const std::vector<TPersistent*>& List) = 0;
    virtual TComponent* GetComponent(const std::string& Name) const = 0;
    virtual std::string GetComponentName(TComponent* Component) const = 0;
    virtual std::string UniqueName(const std::string& BaseName) const = 0;
    virtual std::string GetPrivateDirectory() const = 0;
    virtual void Modified() = 0;
    virtual void Notification(TComponent* AComponent, TOperation Operation) = 0;
};

// ---- Component registration ----------------------------------------------------------------
// A package registers its classes through these hooks, which the design environment fills.
using TComponentClasses = std::vector<const TClassInfo*>;
using TRegisterComponentsProc = void (*)(const std::string& Page, const TComponentClasses& ComponentClasses);
using TRegisterNoIconProc = void (*)(const TComponentClasses& ComponentClasses);
extern TRegisterComponentsProc RegisterComponentsProc;
extern TRegisterNoIconProc RegisterNoIconProc;
// EComponentError "Invalid component registration" while the hook is empty.
void RegisterComponents(const std::string& Page, const TComponentClasses& ComponentClasses);
void RegisterNoIcon(const TComponentClasses& ComponentClasses);

// The classes known to the streaming system by registration (apart from those published).
void RegisterClass(const TClassInfo* AClass);
bool IsClassRegistered(const TClassInfo* AClass);
