#include "components/edit-boxes/DesignGen.h"

#include "platform/app/Application.h"
#include "platform/controls/Forms.h"

TDesignApplication* DesignApplication = nullptr;
const char* const DesignProductPath = "Marrowby\\Quillet";

namespace {
std::unique_ptr<TList>& ClientList()
{
    static std::unique_ptr<TList> List;
    return List;
}

// Nothing calls this object; it stands ready for the designer's click emulation.
class TFakeClickClass : public TObject {};
std::unique_ptr<TFakeClickClass>& FakeClick()
{
    static std::unique_ptr<TFakeClickClass> Object;
    return Object;
}

bool FinalizationRegistered = false;

// Records a class once in the class library and adds or updates its class item.
void RecordClasses(const TComponentClasses& Classes, const std::string& Page, int Flags)
{
    for (const TClassInfo* Class : Classes) {
        if (!Class)
            continue;
        RegisterClass(Class);
        if (!DesignApplication)
            continue;
        TClassItem* Item = DesignApplication->ClassItems()->Find(Class);
        if (!Item) {
            Item = static_cast<TClassItem*>(DesignApplication->ClassItems()->Add());
            Item->ComponentClass = Class;
        }
        Item->Module = DesignApplication->CurrentModule;
        Item->Page = Page;
        Item->Flags = Flags;
    }
}

void DesignRegisterComponents(const std::string& Page, const TComponentClasses& Classes)
{
    RecordClasses(Classes, Page, ClassItemPaged);
}

void DesignRegisterNoIcon(const TComponentClasses& Classes)
{
    RecordClasses(Classes, std::string(), ClassItemNoIcon);
}
} // namespace

TList* DesignClients()
{
    return ClientList().get();
}

// ---- TClassItems ---------------------------------------------------------------------------------
TClassItem* TClassItems::Find(const TClassInfo* ComponentClass) const
{
    for (int I = 0; I < Count(); ++I)
        if (Items(I)->ComponentClass == ComponentClass)
            return Items(I);
    return nullptr;
}

// ---- TDesignApplication --------------------------------------------------------------------------
TDesignApplication::TDesignApplication()
{
    DesignApplication = this;
    FKnownControls = std::make_unique<TStringList>();
    FKnownControls->SetSorted(true);
    FKnownControls->Duplicates = dupIgnore;
    if (!RegisterComponentsProc)
        RegisterComponentsProc = &DesignRegisterComponents;
    if (!RegisterNoIconProc)
        RegisterNoIconProc = &DesignRegisterNoIcon;
    FClassItems = std::make_unique<TClassItems>();
    FActionList = std::make_unique<TActionList>();
    RegisterPropertyEditor("String", ClassInfo<TFakeComponent>(), "NN",
                           PropertyEditorClass<TFakePropertyEditor>("TFakePropertyEditor"));
    RegisterComponentEditor(ClassInfo<TFakeComponent>(),
                            ComponentEditorClass<TFakeComponentEditor>("TFakeComponentEditor"));
    FRegistry = std::make_unique<TRegistry>();
    FakeClick() = std::make_unique<TFakeClickClass>();
    ClientList() = std::make_unique<TList>();
    ClientList()->Add(static_cast<TObject*>(this));
    RegisterStandardEditors();
    ReadRegistryStrings("KnownActiveXs", FKnownControls.get());
}

TDesignApplication::~TDesignApplication()
{
    if (ClientList())
        ClientList()->Remove(static_cast<TObject*>(this));
    if (RegisterComponentsProc == &DesignRegisterComponents)
        RegisterComponentsProc = nullptr;
    if (RegisterNoIconProc == &DesignRegisterNoIcon)
        RegisterNoIconProc = nullptr;
    FClassItems.reset();
    FActionList.reset();
    FakeClick().reset();
    ClientList().reset();
    FKnownControls.reset();
    FRegistry.reset();
    if (DesignApplication == this)
        DesignApplication = nullptr;
}

void TDesignApplication::DMRemoveModule(TMessage& Message)
{
    const auto* Module = reinterpret_cast<const std::string*>(Message.LParam);
    if (!Module)
        return;
    for (int I = FActionList->Count() - 1; I >= 0; --I)
        if (SameText(FActionList->Items(I)->Module, *Module))
            FActionList->Delete(I);
    for (int I = FClassItems->Count() - 1; I >= 0; --I)
        if (SameText(FClassItems->Items(I)->Module, *Module))
            FClassItems->Delete(I);
}

// ---- Start-up and exit -----------------------------------------------------------------------------
void DesignGenInitialization()
{
    if (!FinalizationRegistered) {
        FinalizationRegistered = true;
        AddExitProc([] {
            FinalizationRegistered = false;
            DesignGenFinalization();
        });
    }
    if (!DesignApplication)
        new TDesignApplication();
}

void DesignGenFinalization()
{
    // The destructor clears the singleton reference.
    std::unique_ptr<TDesignApplication> Singleton(DesignApplication);
}

// ---- Registry ----------------------------------------------------------------------------------------
void RegistryValueLocation(const std::string& ValuePath, std::string& Key, std::string& ValueName)
{
    std::string Path = std::string("Software\\") + DesignProductPath;
    if (Path.empty() || Path.back() != '\\')
        Path += '\\';
    Path += ValuePath;
    const std::size_t Slash = Path.rfind('\\');
    Key = Path.substr(0, Slash + 1);
    ValueName = Path.substr(Slash + 1);
}

void ReadRegistryValue(const std::string& ValuePath, const Variant& Default, Variant& Result)
{
    Result = Default;
    std::string Key, ValueName;
    RegistryValueLocation(ValuePath, Key, ValueName);
    TRegistry Reg;
    Reg.SetRootKey(HKEY_CURRENT_USER);
    if (!Reg.OpenKey(Key, true))
        return;
    try {
        if (Reg.ValueExists(ValueName)) {
            const TVarType Type = Default.VarType();
            // A value stored with another type than the default's reads as missing: what a
            // foreign program left there must not stop the start-up.
            try {
                switch (Type) {
                case varSmallint:
                case varInteger:
                    Result = Variant::OfType(Type, Reg.ReadInteger(ValueName));
                    break;
                case varSingle:
                case varDouble:
                    Result = Variant::OfType(Type, Reg.ReadFloat(ValueName));
                    break;
                case varCurrency:
                    Result = Variant::OfType(Type, Reg.ReadCurrency(ValueName));
                    break;
                case varDate:
                    Result = Variant::OfType(Type, Reg.ReadDate(ValueName));
                    break;
                case varOleStr:
                case varString:
                    if (Reg.GetDataType(ValueName) != rdString &&
                        Reg.GetDataType(ValueName) != rdExpandString)
                        break;
                    Result = Variant(Reg.ReadString(ValueName));
                    break;
                case varBoolean:
                    Result = Variant(Reg.ReadBool(ValueName));
                    break;
                default:
                    throw Exception("This type isn't supported by WriteToRegistry");
                }
            } catch (const ERegistryException&) {
                Result = Default;
            }
        }
    } catch (...) {
        Reg.CloseKey();
        throw;
    }
    Reg.CloseKey();
}

void ReadRegistryStrings(const std::string& ValuePath, TStrings* Strings)
{
    if (!Strings)
        return;
    Variant Result;
    ReadRegistryValue(ValuePath, Variant(Strings->Text()), Result);
    Strings->SetText(Result.AsString());
}

// ---- Property editors ------------------------------------------------------------------------------
TPropertyAttributes TFontSizePropEdit::GetAttributes() const
{
    return TIntegerProperty::GetAttributes() + paValueList;
}

void TFontSizePropEdit::GetValues(const TGetStrProc& Proc) const
{
    static const int Sizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
    for (int Size : Sizes)
        Proc(IntToStr(Size));
}

void RegisterStandardEditors()
{
    bool Found = false;
    {
        TComponent Holder(nullptr);
        auto* Probe = new TMClass(&Holder);
        TRunDesigner Designer(&Holder);
        GetComponentProperties({Probe}, AllPropKinds(), &Designer,
                               [&](std::unique_ptr<TPropertyEditor> Editor) {
                                   if (Editor->GetName() == "c")
                                       Found = dynamic_cast<TColorProperty*>(Editor.get()) != nullptr;
                               });
    }
    if (Found)
        return;
    RegisterPropertyEditor("TObject", nullptr, "", PropertyEditorClass<TClassProperty>("TClassProperty"));
    RegisterPropertyEditor("TComponent", nullptr, "",
                           PropertyEditorClass<TComponentProperty>("TComponentProperty"));
    RegisterPropertyEditor("Integer", nullptr, "", PropertyEditorClass<TIntegerProperty>("TIntegerProperty"));
    RegisterPropertyEditor("Char", nullptr, "", PropertyEditorClass<TCharProperty>("TCharProperty"));
    RegisterPropertyEditor("String", nullptr, "", PropertyEditorClass<TStringProperty>("TStringProperty"));
    RegisterPropertyEditor("TColor", nullptr, "", PropertyEditorClass<TColorProperty>("TColorProperty"));
    RegisterPropertyEditor("TFont", nullptr, "", PropertyEditorClass<TFontProperty>("TFontProperty"));
    RegisterPropertyEditor("TCursor", nullptr, "", PropertyEditorClass<TCursorProperty>("TCursorProperty"));
    RegisterPropertyEditor("TCaption", nullptr, "",
                           PropertyEditorClass<TCaptionProperty>("TCaptionProperty"));
    RegisterPropertyEditor("TFontName", nullptr, "",
                           PropertyEditorClass<TFontNameProperty>("TFontNameProperty"));
    RegisterPropertyEditor("TModalResult", nullptr, "",
                           PropertyEditorClass<TModalResultProperty>("TModalResultProperty"));
    RegisterPropertyEditor("TShortCut", nullptr, "",
                           PropertyEditorClass<TShortCutProperty>("TShortCutProperty"));
    RegisterPropertyEditor("TComponentName", nullptr, "",
                           PropertyEditorClass<TComponentNameProperty>("TComponentNameProperty"));
    RegisterPropertyEditor("TTabOrder", nullptr, "",
                           PropertyEditorClass<TTabOrderProperty>("TTabOrderProperty"));
    RegisterPropertyEditor("Integer", ClassInfo<TFont>(), "Size",
                           PropertyEditorClass<TFontSizePropEdit>("TFontSizePropEdit"));
}

// ---- TRunDesigner ----------------------------------------------------------------------------------
void TRunDesigner::SetSelections(const std::vector<TPersistent*>& List)
{
    FSelection = List;
    Notify(DM_SELECTIONCHANGED, 0, 0, false);
}

TComponent* TRunDesigner::GetComponent(const std::string& Name) const
{
    const std::size_t Dot = Name.find('.');
    if (Dot == std::string::npos)
        return FRoot ? FRoot->FindComponent(Name) : nullptr;
    const std::string FormName = Name.substr(0, Dot);
    const std::string Rest = Name.substr(Dot + 1);
    if (!Screen)
        return nullptr;
    for (int I = 0; I < Screen->FormCount(); ++I) {
        TCustomForm* Form = Screen->Forms(I);
        if (Form && SameText(Form->Name(), FormName))
            return Form->FindComponent(Rest);
    }
    return nullptr;
}

std::string TRunDesigner::GetComponentName(TComponent* Component) const
{
    if (!Component)
        return std::string();
    if (Component->Owner() && Component->Owner() != FRoot)
        return Component->Owner()->Name() + "." + Component->Name();
    return Component->Name();
}

std::string TRunDesigner::UniqueName(const std::string& BaseName) const
{
    for (int N = 1;; ++N) {
        std::string Candidate = BaseName + IntToStr(N);
        if (!FRoot || !FRoot->FindComponent(Candidate))
            return Candidate;
    }
}

std::string TRunDesigner::GetPrivateDirectory() const
{
    return Application ? ExtractFilePath(Application->ExeName()) : std::string();
}

void TRunDesigner::Modified()
{
    Notify(DM_MODIFIED, 0, 0, false);
}

void TRunDesigner::Notification(TComponent* AComponent, TOperation Operation)
{
    Notify(Operation == opInsert ? DM_COMPONENTINSERTED : DM_COMPONENTDELETED, 0,
           reinterpret_cast<LPARAM>(AComponent), false);
}

bool TRunDesigner::Notify(UINT Msg, WPARAM WParam, LPARAM LParam, bool Single)
{
    TList* Clients = DesignClients();
    if (!Clients)
        return false;
    bool Handled = false;
    // A client may leave the list while it is told: walk a copy.
    std::vector<TObject*> Targets;
    for (int I = 0; I < Clients->Count(); ++I)
        Targets.push_back(static_cast<TObject*>(Clients->Items(I)));
    for (TObject* Client : Targets) {
        TMessage Message{Msg, WParam, LParam, 0};
        Client->Dispatch(Message);
        if (Message.Result != 0) {
            Handled = true;
            if (Single)
                break;
        }
    }
    return Handled;
}

TW_PUBLISH(TDesignApplication, TObject)
{
    Cls.Message(DM_REMOVEMODULE, &TDesignApplication::DMRemoveModule);
}

TW_PUBLISH(TMClass, TComponent)
{
    Cls.Color("c", &TMClass::c);
}

TW_PUBLISH(TFakeComponent, TComponent)
{
    Cls.Str("NN", &TFakeComponent::NN);
}
