#include "platform/classes/DesignTime.h"

#include <algorithm>

TRegisterComponentsProc RegisterComponentsProc = nullptr;
TRegisterNoIconProc RegisterNoIconProc = nullptr;

namespace {
std::vector<TPropertyEditorRegistration>& PropertyEditors()
{
    static std::vector<TPropertyEditorRegistration> List;
    return List;
}

struct TComponentEditorRegistration {
    const TClassInfo* ComponentClass;
    TComponentEditorClass EditorClass;
};
std::vector<TComponentEditorRegistration>& ComponentEditors()
{
    static std::vector<TComponentEditorRegistration> List;
    return List;
}

std::vector<const TClassInfo*>& RegisteredClasses()
{
    static std::vector<const TClassInfo*> List;
    return List;
}

bool IsClassKind(TPropKind Kind)
{
    return Kind == TPropKind::Object || Kind == TPropKind::Strings || Kind == TPropKind::Collection ||
           Kind == TPropKind::Component;
}

bool TypeMatches(const std::string& PropertyType, const TPropInfo* Prop)
{
    if (SameText(PropertyType, Prop->TypeName()))
        return true;
    if (!IsClassKind(Prop->Kind))
        return false;
    // "TComponent" names the component references, "TObject" the sub-objects a class owns;
    // any other class name the properties holding it or a descendant.
    if (SameText(PropertyType, "TComponent"))
        return Prop->Kind == TPropKind::Component;
    if (SameText(PropertyType, "TObject"))
        return Prop->Kind != TPropKind::Component;
    const TClassInfo* Wanted = FindClassInfo(PropertyType);
    const TClassInfo* Held = ClassInfoOf(Prop->Type);
    return Wanted && Held && Held->InheritsFrom(Wanted);
}

TPropertyEditorClass KindEditorClass(TPropKind Kind)
{
    switch (Kind) {
    case TPropKind::Integer:
        return PropertyEditorClass<TIntegerProperty>("TIntegerProperty");
    case TPropKind::Ident:
        return PropertyEditorClass<TIdentProperty>("TIdentProperty");
    case TPropKind::Char:
        return PropertyEditorClass<TCharProperty>("TCharProperty");
    case TPropKind::Enumeration:
    case TPropKind::Set:
    case TPropKind::Boolean:
        return PropertyEditorClass<TOrdinalProperty>("TOrdinalProperty");
    case TPropKind::String:
        return PropertyEditorClass<TStringProperty>("TStringProperty");
    case TPropKind::Component:
        return PropertyEditorClass<TComponentProperty>("TComponentProperty");
    case TPropKind::Object:
    case TPropKind::Strings:
    case TPropKind::Collection:
        return PropertyEditorClass<TClassProperty>("TClassProperty");
    default:
        return PropertyEditorClass<TPropertyEditor>("TPropertyEditor");
    }
}
} // namespace

// ---- TPropertyEditor ---------------------------------------------------------------------------
TPropertyEditor::TPropertyEditor(TFormDesigner* ADesigner, std::vector<TPersistent*> AComponents,
                                 const TPropInfo* AProp)
    : FDesigner(ADesigner), FComponents(std::move(AComponents)), FProp(AProp)
{
}

TPersistent* TPropertyEditor::GetComponent(int Index) const
{
    if (Index < 0 || Index >= PropCount())
        throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
    return FComponents[static_cast<std::size_t>(Index)];
}

TPropertyAttributes TPropertyEditor::GetAttributes() const
{
    return {paMultiSelect, paRevertable};
}

void TPropertyEditor::GetValues(const TGetStrProc&) const {}

std::string TPropertyEditor::GetValue() const
{
    if (!FProp || FComponents.empty())
        return std::string();
    TObject* Obj = FComponents.front();
    if (FProp->GetStr)
        return FProp->GetStr(Obj);
    if (FProp->GetOrd)
        return IntToStr(FProp->GetOrd(Obj));
    if (FProp->GetFloat)
        return FloatToStr(FProp->GetFloat(Obj));
    return std::string();
}

void TPropertyEditor::SetValue(const std::string& Value)
{
    if (!FProp)
        return;
    for (TPersistent* Obj : FComponents) {
        if (FProp->SetStr)
            FProp->SetStr(Obj, Value);
        else if (FProp->SetOrd)
            FProp->SetOrd(Obj, StrToInt(Value));
        else if (FProp->SetFloat)
            FProp->SetFloat(Obj, StrToFloat(Value));
    }
}

TPropertyAttributes TOrdinalProperty::GetAttributes() const
{
    return TPropertyEditor::GetAttributes();
}

TPropertyAttributes TStringProperty::GetAttributes() const
{
    return TPropertyEditor::GetAttributes();
}

TPropertyAttributes TClassProperty::GetAttributes() const
{
    return {paMultiSelect, paSubProperties, paReadOnly};
}

std::string TClassProperty::GetValue() const
{
    return GetPropInfo() ? "(" + GetPropInfo()->TypeName() + ")" : std::string();
}

TPropertyAttributes TComponentProperty::GetAttributes() const
{
    return {paMultiSelect, paValueList, paSortList, paRevertable};
}

TPropertyAttributes TIdentProperty::GetAttributes() const
{
    return {paMultiSelect, paValueList, paSortList, paRevertable};
}

std::string TIdentProperty::GetValue() const
{
    const TPropInfo* Prop = GetPropInfo();
    if (!Prop || !Prop->GetOrd || PropCount() == 0)
        return std::string();
    const std::int64_t Value = Prop->GetOrd(GetComponent(0));
    std::string Ident;
    return IntToIdent(Prop->IdentMap, Value, Ident) ? Ident : IntToStr(Value);
}

void TIdentProperty::SetValue(const std::string& Value)
{
    const TPropInfo* Prop = GetPropInfo();
    if (!Prop || !Prop->SetOrd)
        return;
    std::int64_t Ord = 0;
    if (!IdentToInt(Prop->IdentMap, Value, Ord))
        Ord = StrToInt(Value);
    for (int I = 0; I < PropCount(); ++I)
        Prop->SetOrd(GetComponent(I), Ord);
}

TPropertyAttributes TColorProperty::GetAttributes() const
{
    return TIdentProperty::GetAttributes() + paDialog;
}

TPropertyAttributes TFontProperty::GetAttributes() const
{
    return TClassProperty::GetAttributes() + paDialog;
}

TPropertyAttributes TCaptionProperty::GetAttributes() const
{
    return TStringProperty::GetAttributes() + paAutoUpdate;
}

TPropertyAttributes TFontNameProperty::GetAttributes() const
{
    return TStringProperty::GetAttributes() + paValueList + paSortList;
}

TPropertyAttributes TComponentNameProperty::GetAttributes() const
{
    return TStringProperty::GetAttributes() - paMultiSelect;
}

TPropertyAttributes TTabOrderProperty::GetAttributes() const
{
    return TIntegerProperty::GetAttributes() - paMultiSelect;
}

// ---- Registrations -----------------------------------------------------------------------------
void RegisterPropertyEditor(const std::string& PropertyType, const TClassInfo* ComponentClass,
                            const std::string& PropertyName, TPropertyEditorClass EditorClass)
{
    PropertyEditors().push_back({PropertyType, ComponentClass, PropertyName, std::move(EditorClass)});
}

const std::vector<TPropertyEditorRegistration>& PropertyEditorRegistrations()
{
    return PropertyEditors();
}

TPropertyEditorClass FindPropertyEditorClass(const TClassInfo* ComponentClass, const TPropInfo* Prop)
{
    const TPropertyEditorRegistration* Best = nullptr;
    int BestScore = -1;
    for (const TPropertyEditorRegistration& R : PropertyEditors()) {
        if (!TypeMatches(R.PropertyType, Prop))
            continue;
        if (R.ComponentClass && !(ComponentClass && ComponentClass->InheritsFrom(R.ComponentClass)))
            continue;
        if (!R.PropertyName.empty() && !SameText(R.PropertyName, Prop->Name))
            continue;
        const int Score = (R.ComponentClass ? 2 : 0) + (R.PropertyName.empty() ? 0 : 1);
        if (Score >= BestScore) {
            Best = &R;
            BestScore = Score;
        }
    }
    return Best ? Best->EditorClass : KindEditorClass(Prop->Kind);
}

TPropKinds AllPropKinds()
{
    TPropKinds Kinds;
    for (int K = 0; K <= static_cast<int>(TPropKind::Event); ++K)
        Kinds.Include(static_cast<TPropKind>(K));
    return Kinds;
}

void GetComponentProperties(const std::vector<TPersistent*>& Components, TPropKinds Filter,
                            TFormDesigner* Designer,
                            const std::function<void(std::unique_ptr<TPropertyEditor> Editor)>& Proc)
{
    if (Components.empty() || !Proc)
        return;
    const TClassInfo* First = GetClassInfo(Components.front());
    if (!First)
        return;
    for (const TPropInfo* Prop : First->AllProps()) {
        if (Prop->Kind == TPropKind::Event || !Filter.Contains(Prop->Kind))
            continue;
        const bool Shared = std::all_of(Components.begin(), Components.end(), [&](TPersistent* C) {
            const TPropInfo* Other = ::GetPropInfo(C, Prop->Name);
            return Other && Other->Kind == Prop->Kind;
        });
        if (!Shared)
            continue;
        TPropertyEditorClass Class = FindPropertyEditorClass(First, Prop);
        if (Class.Create)
            Proc(Class.Create(Designer, Components, Prop));
    }
}

void RegisterComponentEditor(const TClassInfo* ComponentClass, TComponentEditorClass EditorClass)
{
    ComponentEditors().push_back({ComponentClass, std::move(EditorClass)});
}

TComponentEditorClass FindComponentEditorClass(const TClassInfo* ComponentClass)
{
    const auto& List = ComponentEditors();
    for (auto It = List.rbegin(); It != List.rend(); ++It)
        if (It->ComponentClass == ComponentClass)
            return It->EditorClass;
    return {};
}

std::unique_ptr<TComponentEditor> GetComponentEditor(TComponent* Component, TFormDesigner* Designer)
{
    for (const TClassInfo* C = GetClassInfo(Component); C; C = C->Parent()) {
        TComponentEditorClass Class = FindComponentEditorClass(C);
        if (Class.Create)
            return Class.Create(Component, Designer);
    }
    return std::make_unique<TComponentEditor>(Component, Designer);
}

void ClearDesignTimeRegistrations()
{
    PropertyEditors().clear();
    ComponentEditors().clear();
}

void RegisterComponents(const std::string& Page, const TComponentClasses& ComponentClasses)
{
    if (!RegisterComponentsProc)
        throw EComponentError("Invalid component registration");
    RegisterComponentsProc(Page, ComponentClasses);
}

void RegisterNoIcon(const TComponentClasses& ComponentClasses)
{
    if (!RegisterNoIconProc)
        throw EComponentError("Invalid component registration");
    RegisterNoIconProc(ComponentClasses);
}

void RegisterClass(const TClassInfo* AClass)
{
    if (AClass && !IsClassRegistered(AClass))
        RegisteredClasses().push_back(AClass);
}

bool IsClassRegistered(const TClassInfo* AClass)
{
    const auto& List = RegisteredClasses();
    return std::find(List.begin(), List.end(), AClass) != List.end();
}
