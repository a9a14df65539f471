// The published-property registry: classes by name with their published properties, enumeration
// names, identifier maps (colour and cursor names), the component fields and handler methods of
// forms. The form reader creates components and sets properties through it; code may use the
// generic Get/Set functions at the end.
//
// Registering a class, in the .cpp of its unit:
//
//     TW_PUBLISH(TColorRule, TCollectionItem)
//     {
//         Cls.Int("ZOrder", &TColorRule::ZOrder, &TColorRule::SetZOrder).Default(0);
//         Cls.Str("IntChar", &TColorRule::IntChar);                      // a public field
//         Cls.Strings("Keywords", &TColorRule::Keywords);                // read into the list
//         Cls.Enum("KeyDrawingType", &TColorRule::KeyDrawingType, &TColorRule::SetKeyDrawingType)
//             .Default(dtBeginEnd);
//         Cls.Bool("Enabled", &TColorRule::Enabled).Default(true);
//         Cls.Color("DefKeyColor", &TColorRule::DefKeyColor).Default(0x0000FF);
//     }
//     TW_ENUM(TKeyDrawingType, "dtKeyShow", "dtEventDraw", "dtBeginEnd", "dtBeginLineEnd");
//
// Cls is a TClassBuilder<TColorRule>. Each property takes a getter and an optional setter:
// a pointer to a public field (read and written directly), a const member function, or any
// callable taking the object pointer; a setter is a member function or callable taking the
// object pointer and the value. The kinds:
//   Int      any integer type (the range of the C++ type is checked: a byte takes 0..255)
//   Char     a char, written 'a' or #30            Bool      True / False
//   Enum     a registered enumeration, by name     Set       TSet<E> of a registered E: [a, b]
//   Str      std::string                           Float     double (an integer is accepted)
//   Color, Cursor, Ident(MapName, ...)             an integer also written by a name of a map
//   Object   a sub-object the class owns (Font): its properties by dotted path (Font.Name)
//   Strings  a TStrings the class owns (Lines.Strings = ( ... )), read into the list
//   Collection  a TCollection the class owns (< item ... end >), read into the collection
//   Component   a reference to a component of the form, by name, type-checked, set at the end
//   Binary   { hex }: Read(obj, bytes) / Write(obj), or Read(obj, TStream*) / Write(obj, TStream*)
//   Event    a std::function member; bound to a handler method of the form by name
// .Default(value) after a property records its default (what the constructor sets), which
// the writer leaves out and PropsDifferingFromDefault checks. .Stored(false) keeps the writer
// from writing a property another one already carries (a font's Size beside its Height).
//
// A class may also take a string as the value of an Object property that holds one of its
// instances: Cls.FromString([](TBitmap* B, const std::string& Ref) { ... }) loads the object
// the property holds from what Ref names (a bitmap from the resource of that name), so that
// `Glyph = 'SB_NEWFILE'` reads. Descendants inherit it. An exception it raises becomes an
// EFormError whose problem is the exception's message and whose word is Ref. A component class constructible
// from (TComponent* Owner) can be created by name. A form registers its component fields and
// its handler methods:
//
//     TW_PUBLISH(TForm1, TForm)
//     {
//         Cls.Field("Button1", &TForm1::Button1);
//         Cls.Handler("Button1Click", &TForm1::Button1Click);  // void Button1Click(TObject*)
//     }
//
// An event property (Cls.Event("OnClick", &TButton::OnClick)) takes only a handler whose closure
// type is exactly the event's: void(TObject*) methods bind to TNotifyEvent properties, a
// void(TObject*, TMouseButton, TShiftState, int, int) method to a TMouseEvent property, and so on.
// RegisterEventType<TMouseEvent>("TMouseEvent") gives the type its name in error messages.
//
// Identifier maps (integer values written by name) are registered by the areas that own the
// names: RegisterIdents("TColor", {{"clRed", 0x0000FF}, ...}) and RegisterIdents("TCursor", ...);
// Cls.Color(...) and Cls.Cursor(...) use those two maps, Cls.Ident("TModalResult", ...) any other.
//
// Messages: a class handles each message in a method named after it, which takes the message's
// view of platform/win/Messages.h by value (or the TMessage itself), and registers it beside its
// published members:
//
//     TW_PUBLISH(TSizeGrip, TCustomControl)
//     {
//         Cls.Message(WM_NCHITTEST, &TSizeGrip::WMNCHitTest); // void WMNCHitTest(TWMNCHitTest)
//         Cls.Message({WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}, &TSizeGrip::WMLButtonDown);
//     }
//
// TObject::Dispatch calls the handler the object's class or its nearest ancestor registered for
// the message; what no class of the chain claims goes to DefaultHandler. A handler passes the
// message on by calling its base class's method of the same name; where no base class has one,
// it calls DefaultHandler:
//     void TSizeGrip::WMPaint(TWMPaint Message) { ...; TCustomControl::WMPaint(Message); }
//     void TSizeGrip::WMNCHitTest(TWMNCHitTest Message) { ...; DefaultHandler(Message); }
// Handlers are protected; TW_MESSAGE_HANDLERS(TSizeGrip) in the class lets TW_PUBLISH name them.
// A class without a registration of its own (a private descendant) uses its nearest registered
// ancestor's table, so a class with handlers of its own must be registered.
//
// Linking: a static library drops an object file nothing refers to, and with it the
// registrations in that file. A class that is only ever created by the form reader can be kept
// by naming it in its header with TW_LINK_CLASS(TName) (Classes.h, next to the class), which
// makes every unit including the header refer to the file holding its TW_PUBLISH. Class names
// given to TW_PUBLISH are plain identifiers (no namespace, no template).
#pragma once

#include "platform/classes/Classes.h"
#include "platform/rtl/Streams.h"
#include "platform/win/Messages.h"

#include <any>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <typeindex>
#include <typeinfo>
#include <utility>
#include <vector>

class EPropertyError : public Exception {
public:
    using Exception::Exception;
};
class EClassNotFound : public Exception {
public:
    using Exception::Exception;
};

enum class TPropKind {
    Integer,
    Char,        // one byte: 'a' or #30
    Enumeration, // stored by name
    Set,         // [name, name] of an enumeration
    Boolean,
    String,
    Ident, // an integer that may be written by name: colours, cursors, modal results
    Float,
    Object,     // a sub-object (a font, the hot-spot settings): its properties by dotted path
    Strings,    // a string list, read into the existing list
    Collection, // read into the existing collection: < item ... end >
    Component,  // a reference to another component of the form, resolved at the end
    Binary,     // { hex bytes }
    Event,      // a handler method of the form, by name
};

// Names of an enumeration's values, in value order from 0.
struct TEnumInfo {
    std::string Name;
    std::vector<std::string> Names;
    int ValueOf(const std::string& Ident) const;  // without regard to case; -1 when none
    std::string NameOf(std::int64_t Value) const; // empty when out of range
};

struct TIdentEntry {
    std::string Name;
    std::int64_t Value;
};

struct TPropInfo {
    std::string Name;
    TPropKind Kind = TPropKind::Integer;
    std::type_index Type = typeid(void); // the C++ type of the value (the enum, the set, the class)
    std::string IdentMap;                // Ident: the identifier map's name ("TColor")
    std::int64_t MinValue = std::numeric_limits<std::int64_t>::min();
    std::int64_t MaxValue = std::numeric_limits<std::int64_t>::max();

    // Which of these are set depends on Kind: ordinals (Integer, Char, Enumeration, Set as its
    // bits, Boolean, Ident) use GetOrd/SetOrd; String and Binary use GetStr/SetStr; Float uses
    // GetFloat/SetFloat; Object, Strings, Collection and Component use GetObj (SetObj when there
    // is a setter); Event uses SetEvent (the std::function, in a std::any).
    std::function<std::int64_t(TObject*)> GetOrd;
    std::function<void(TObject*, std::int64_t)> SetOrd;
    std::function<std::string(TObject*)> GetStr;
    std::function<void(TObject*, const std::string&)> SetStr;
    std::function<double(TObject*)> GetFloat;
    std::function<void(TObject*, double)> SetFloat;
    std::function<TObject*(TObject*)> GetObj;
    std::function<void(TObject*, TObject*)> SetObj;
    std::function<bool(const TObject*)> Accepts; // Component: whether a component fits the type
    std::function<void(TObject*, const std::any&)> SetEvent;
    std::function<bool(TObject*)> EventAssigned;

    // The default, when declared (what the constructor sets; a writer leaves such values out).
    std::optional<std::int64_t> DefaultOrd;
    std::optional<std::string> DefaultStr;
    std::optional<double> DefaultFloat;
    bool Stored = true; // false: the writer leaves the property out

    const TEnumInfo* Enum() const;           // Enumeration: its names; Set: the element enumeration's
    std::string TypeName() const;            // for messages: "Integer", "TAlign", "TFont", "TNotifyEvent"
    bool IsDefault(TObject* Instance) const; // false when no default is declared
};

struct THandlerInfo {
    std::string Name;
    std::type_index Type = typeid(void); // the closure type the method binds to
    std::function<std::any(TObject* Instance)> Bind;
};

// Calls a message handler of Instance's class (see TClassBuilder::Message).
using TMessageHandler = std::function<void(TObject* Instance, TMessage& Message)>;
struct TMessageEntry {
    UINT Msg = 0;
    TMessageHandler Handler;
};

struct TFieldInfo {
    std::string Name;
    std::type_index Type = typeid(void);
    std::function<bool(TObject* Instance, TComponent* Value)> Set; // false: the component does not fit
};

class TClassInfo {
public:
    std::string Name;
    std::type_index Type = typeid(void);
    std::type_index ParentType = typeid(void);
    std::function<TComponent*(TComponent* Owner)> Create; // components only
    std::function<bool(const TObject*)> IsInstance;       // whether an object is of this class
    std::vector<TPropInfo> Props;                         // in registration order
    std::vector<THandlerInfo> Handlers;
    std::vector<TFieldInfo> Fields;
    std::vector<TMessageEntry> Messages; // this class's own handlers, in registration order
    // Loads an instance from a reference string (see TClassBuilder::FromString); may be empty.
    std::function<void(TObject* Instance, const std::string& Ref)> FromString;

    const TClassInfo* Parent() const; // nullptr for the root or an unregistered parent
    bool InheritsFrom(const TClassInfo* Ancestor) const;
    // Searched from this class up to the root, without regard to case.
    const TPropInfo* FindProp(const std::string& PropName) const;
    const THandlerInfo* FindHandler(const std::string& HandlerName) const;
    const TFieldInfo* FindField(const std::string& FieldName) const;
    // The FromString of this class or of the nearest ancestor that has one; nullptr when none.
    const std::function<void(TObject*, const std::string&)>* FindFromString() const;
    // Every published property, the root class's first.
    std::vector<const TPropInfo*> AllProps() const;
    // The handler of Msg in the table of this class and its ancestors (a descendant's entry
    // wins); nullptr when none. The table is flattened on first use and again after any class
    // registers.
    const TMessageHandler* FindMessageHandler(UINT Msg) const;

private:
    mutable TMessageMap<const TMessageHandler*> FMessageTable;
    mutable unsigned FMessageTableGeneration = 0; // 0: not built
};

// ---------------------------------------------------------------------------------------------
// Lookups.
const TClassInfo* FindClassInfo(const std::string& ClassName); // without regard to case
const TClassInfo* ClassInfoOf(std::type_index Type);
template <class T> const TClassInfo* ClassInfo()
{
    return ClassInfoOf(typeid(T));
}
// The registered class of Instance's dynamic type, else the most derived registered class it
// descends from; nullptr when none.
const TClassInfo* GetClassInfo(const TObject* Instance);
const TPropInfo* GetPropInfo(const TObject* Instance, const std::string& PropName);
// A new component of the registered class ClassName owned by Owner; EClassNotFound
// "Class <name> not found" when no component class has that name.
TComponent* CreateComponent(const std::string& ClassName, TComponent* Owner);
// The message handler of Instance's class for Msg (see TClassInfo::FindMessageHandler).
const TMessageHandler* FindMessageHandler(const TObject* Instance, UINT Msg);
// Adds a handler to Info's own table (TClassBuilder::Message).
void AddMessageHandler(TClassInfo* Info, UINT Msg, TMessageHandler Handler);
// The registered name of a class, else its C++ name (what TObject::ClassName answers).
std::string ClassNameOf(const std::type_info& Type);

// Enumerations.
void RegisterEnumInfo(std::type_index Type, const std::string& Name, std::vector<std::string> Names);
const TEnumInfo* EnumInfoOf(std::type_index Type);
template <class E> void RegisterEnum(const std::string& Name, std::vector<std::string> Names)
{
    static_assert(std::is_enum_v<E>);
    RegisterEnumInfo(typeid(E), Name, std::move(Names));
}
template <class E> std::string GetEnumName(E Value)
{
    const TEnumInfo* Info = EnumInfoOf(typeid(E));
    return Info ? Info->NameOf(static_cast<std::int64_t>(Value)) : std::string();
}
template <class E> int GetEnumValue(const std::string& Name)
{
    const TEnumInfo* Info = EnumInfoOf(typeid(E));
    return Info ? Info->ValueOf(Name) : -1;
}

// Identifier maps. Registering the same map again adds to it (a later area adds its cursors).
void RegisterIdents(const std::string& MapName, const std::vector<TIdentEntry>& Entries);
bool IdentToInt(const std::string& MapName, const std::string& Ident, std::int64_t& Value);
bool IntToIdent(const std::string& MapName, std::int64_t Value, std::string& Ident);

// The name errors give an event type: RegisterEventType<TMouseEvent>("TMouseEvent").
void RegisterEventTypeName(std::type_index Type, const std::string& Name);
std::string EventTypeName(std::type_index Type);
template <class F> void RegisterEventType(const std::string& Name)
{
    RegisterEventTypeName(typeid(F), Name);
}

// ---------------------------------------------------------------------------------------------
// Generic access by property name; EPropertyError "Unknown property: <name>" when there is none
// and "Property <name> is read-only" / "... is not <kind>" for a misuse.
std::int64_t GetOrdProp(TObject* Instance, const std::string& PropName);
void SetOrdProp(TObject* Instance, const std::string& PropName, std::int64_t Value);
std::string GetStrProp(TObject* Instance, const std::string& PropName);
void SetStrProp(TObject* Instance, const std::string& PropName, const std::string& Value);
double GetFloatProp(TObject* Instance, const std::string& PropName);
void SetFloatProp(TObject* Instance, const std::string& PropName, double Value);
std::string GetEnumProp(TObject* Instance, const std::string& PropName);
void SetEnumProp(TObject* Instance, const std::string& PropName, const std::string& Value);
TObject* GetObjectProp(TObject* Instance, const std::string& PropName);
bool IsPublishedProp(const TObject* Instance, const std::string& PropName);
// Names of the properties whose value differs from their declared default, for tests that
// check a constructor against the published defaults.
std::vector<std::string> PropsDifferingFromDefault(TObject* Instance);

// ---------------------------------------------------------------------------------------------
// The builder behind TW_PUBLISH.
namespace TypInfoDetail {

template <class G, class C> using PropValue = std::remove_cvref_t<std::invoke_result_t<G, C*>>;

template <class C> C* Cast(TObject* Obj)
{
    return dynamic_cast<C*>(Obj);
}

template <class T> struct SetElement;
template <template <class> class S, class E> struct SetElement<S<E>> {
    using Type = E;
};

template <class F> struct MethodTraits;
template <class C, class R, class... A> struct MethodTraits<R (C::*)(A...)> {
    using Class = C;
    using Closure = std::function<R(A...)>;
    template <class Obj> static Closure Bind(Obj* Target, R (C::*Method)(A...))
    {
        C* T = Target;
        return [T, Method](A... Args) -> R { return (T->*Method)(std::forward<A>(Args)...); };
    }
};

// A getter of value type V from a field pointer, const member function or callable.
template <class C, class V, class G> std::function<V(TObject*)> Getter(G Get)
{
    return [Get](TObject* Obj) -> V { return static_cast<V>(std::invoke(Get, Cast<C>(Obj))); };
}

// A setter taking V: the given member function or callable, else a field pointer written
// directly, else none (read-only).
template <class C, class T, class V, class G, class S> std::function<void(TObject*, V)> Setter(G Get, S Set)
{
    if constexpr (!std::is_same_v<S, std::nullptr_t>) {
        return [Set](TObject* Obj, V Value) { std::invoke(Set, Cast<C>(Obj), static_cast<T>(Value)); };
    } else if constexpr (std::is_member_object_pointer_v<G>) {
        return [Get](TObject* Obj, V Value) { std::invoke(Get, Cast<C>(Obj)) = static_cast<T>(Value); };
    } else {
        (void)Get;
        return nullptr;
    }
}

} // namespace TypInfoDetail

template <class C> class TClassBuilder {
public:
    explicit TClassBuilder(TClassInfo* Info) : FInfo(Info) {}

    template <class G, class S = std::nullptr_t>
    TClassBuilder& Int(const std::string& Name, G Get, S Set = nullptr)
    {
        using T = TypInfoDetail::PropValue<G, C>;
        static_assert(std::is_integral_v<T> || std::is_enum_v<T>, "Int needs an integer property");
        TPropInfo& P = AddOrd<T>(Name, TPropKind::Integer, Get, Set);
        if constexpr (std::is_integral_v<T>) {
            P.MinValue = static_cast<std::int64_t>(std::numeric_limits<T>::min());
            P.MaxValue = std::numeric_limits<T>::max() > std::numeric_limits<std::int64_t>::max()
                             ? std::numeric_limits<std::int64_t>::max()
                             : static_cast<std::int64_t>(std::numeric_limits<T>::max());
        }
        return *this;
    }
    template <class G, class S = std::nullptr_t>
    TClassBuilder& Char(const std::string& Name, G Get, S Set = nullptr)
    {
        using T = TypInfoDetail::PropValue<G, C>;
        TPropInfo& P = AddOrd<T>(Name, TPropKind::Char, Get, Set);
        P.MinValue = 0;
        P.MaxValue = 255;
        return *this;
    }
    template <class G, class S = std::nullptr_t>
    TClassBuilder& Bool(const std::string& Name, G Get, S Set = nullptr)
    {
        using T = TypInfoDetail::PropValue<G, C>;
        TPropInfo& P = AddOrd<T>(Name, TPropKind::Boolean, Get, Set);
        P.MinValue = 0;
        P.MaxValue = 1;
        return *this;
    }
    template <class G, class S = std::nullptr_t>
    TClassBuilder& Enum(const std::string& Name, G Get, S Set = nullptr)
    {
        using T = TypInfoDetail::PropValue<G, C>;
        static_assert(std::is_enum_v<T>, "Enum needs an enumeration property");
        TPropInfo& P = AddOrd<T>(Name, TPropKind::Enumeration, Get, Set);
        P.Type = typeid(T);
        return *this;
    }
    // A TSet<E> (or any set type with Bits() and FromBits()) of a registered enumeration E.
    template <class G, class S = std::nullptr_t>
    TClassBuilder& Set(const std::string& Name, G Get, S Set = nullptr)
    {
        using T = TypInfoDetail::PropValue<G, C>;
        using E = typename TypInfoDetail::SetElement<T>::Type;
        using B = decltype(T().Bits());
        TPropInfo& P = Add(Name, TPropKind::Set);
        P.Type = typeid(E);
        P.GetOrd = [Get](TObject* Obj) {
            return static_cast<std::int64_t>(std::invoke(Get, TypInfoDetail::Cast<C>(Obj)).Bits());
        };
        auto Make = [](std::int64_t V) { return T::FromBits(static_cast<B>(V)); };
        if constexpr (!std::is_same_v<S, std::nullptr_t>)
            P.SetOrd = [Set, Make](TObject* Obj, std::int64_t V) {
                std::invoke(Set, TypInfoDetail::Cast<C>(Obj), Make(V));
            };
        else if constexpr (std::is_member_object_pointer_v<G>)
            P.SetOrd = [Get, Make](TObject* Obj, std::int64_t V) {
                std::invoke(Get, TypInfoDetail::Cast<C>(Obj)) = Make(V);
            };
        return *this;
    }
    template <class G, class S = std::nullptr_t>
    TClassBuilder& Str(const std::string& Name, G Get, S Set = nullptr)
    {
        using T = TypInfoDetail::PropValue<G, C>;
        TPropInfo& P = Add(Name, TPropKind::String);
        P.GetStr = TypInfoDetail::Getter<C, std::string>(Get);
        P.SetStr = TypInfoDetail::Setter<C, T, const std::string&>(Get, Set);
        return *this;
    }
    template <class G, class S = std::nullptr_t>
    TClassBuilder& Float(const std::string& Name, G Get, S Set = nullptr)
    {
        using T = TypInfoDetail::PropValue<G, C>;
        TPropInfo& P = Add(Name, TPropKind::Float);
        P.GetFloat = TypInfoDetail::Getter<C, double>(Get);
        P.SetFloat = TypInfoDetail::Setter<C, T, double>(Get, Set);
        return *this;
    }
    // An integer that may be written by a name of the identifier map MapName.
    template <class G, class S = std::nullptr_t>
    TClassBuilder& Ident(const std::string& MapName, const std::string& Name, G Get, S Set = nullptr)
    {
        using T = TypInfoDetail::PropValue<G, C>;
        TPropInfo& P = AddOrd<T>(Name, TPropKind::Ident, Get, Set);
        P.IdentMap = MapName;
        if constexpr (std::is_integral_v<T> && sizeof(T) == 4) {
            // Colours are written as signed or unsigned 32-bit numbers ($80000005 = clWindow).
            P.MinValue = std::numeric_limits<std::int32_t>::min();
            P.MaxValue = std::numeric_limits<std::uint32_t>::max();
        }
        return *this;
    }
    template <class G, class S = std::nullptr_t>
    TClassBuilder& Color(const std::string& Name, G Get, S Set = nullptr)
    {
        return Ident("TColor", Name, Get, Set);
    }
    template <class G, class S = std::nullptr_t>
    TClassBuilder& Cursor(const std::string& Name, G Get, S Set = nullptr)
    {
        return Ident("TCursor", Name, Get, Set);
    }
    // A sub-object the class owns (a TFont, a THotSpot): the getter answers it; the setter, when
    // given, is the class's own (usually an Assign).
    template <class G, class S = std::nullptr_t>
    TClassBuilder& Object(const std::string& Name, G Get, S Set = nullptr)
    {
        return AddObj(Name, TPropKind::Object, Get, Set);
    }
    template <class G, class S = std::nullptr_t>
    TClassBuilder& Strings(const std::string& Name, G Get, S Set = nullptr)
    {
        return AddObj(Name, TPropKind::Strings, Get, Set);
    }
    template <class G, class S = std::nullptr_t>
    TClassBuilder& Collection(const std::string& Name, G Get, S Set = nullptr)
    {
        return AddObj(Name, TPropKind::Collection, Get, Set);
    }
    // A reference to a component; the reader checks the referenced component's type.
    template <class G, class S = std::nullptr_t>
    TClassBuilder& Component(const std::string& Name, G Get, S Set = nullptr)
    {
        using PT = TypInfoDetail::PropValue<G, C>;
        using T = std::remove_pointer_t<PT>;
        TPropInfo& P = Add(Name, TPropKind::Component);
        P.Type = typeid(T);
        P.GetObj = [Get](TObject* Obj) -> TObject* { return std::invoke(Get, TypInfoDetail::Cast<C>(Obj)); };
        P.Accepts = [](const TObject* Obj) { return dynamic_cast<const T*>(Obj) != nullptr; };
        if constexpr (!std::is_same_v<S, std::nullptr_t>)
            P.SetObj = [Set](TObject* Obj, TObject* V) {
                std::invoke(Set, TypInfoDetail::Cast<C>(Obj), dynamic_cast<T*>(V));
            };
        else if constexpr (std::is_member_object_pointer_v<G>)
            P.SetObj = [Get](TObject* Obj, TObject* V) {
                std::invoke(Get, TypInfoDetail::Cast<C>(Obj)) = dynamic_cast<T*>(V);
            };
        return *this;
    }
    // Bytes in a form's { hex } notation. Read(obj, bytes) takes them in and Write(obj) answers
    // them; or, in the stream style of the class library, Read(obj, TStream*) reads them from a
    // memory stream and Write(obj, TStream*) writes them to one. Write may be nullptr.
    template <class R, class W = std::nullptr_t>
    TClassBuilder& Binary(const std::string& Name, R Read, W Write = nullptr)
    {
        TPropInfo& P = Add(Name, TPropKind::Binary);
        if constexpr (std::is_invocable_v<R, C*, TStream*>)
            P.SetStr = [Read](TObject* Obj, const std::string& Bytes) {
                TMemoryStream S;
                S.WriteString(Bytes);
                S.SetPosition(0);
                std::invoke(Read, TypInfoDetail::Cast<C>(Obj), static_cast<TStream*>(&S));
            };
        else
            P.SetStr = [Read](TObject* Obj, const std::string& Bytes) {
                std::invoke(Read, TypInfoDetail::Cast<C>(Obj), Bytes);
            };
        if constexpr (std::is_invocable_v<W, C*, TStream*>)
            P.GetStr = [Write](TObject* Obj) -> std::string {
                TMemoryStream S;
                std::invoke(Write, TypInfoDetail::Cast<C>(Obj), static_cast<TStream*>(&S));
                return S.DataString();
            };
        else if constexpr (!std::is_same_v<W, std::nullptr_t>)
            P.GetStr = [Write](TObject* Obj) -> std::string {
                return std::invoke(Write, TypInfoDetail::Cast<C>(Obj));
            };
        return *this;
    }
    // An event: a std::function field (or a getter and setter of one).
    template <class G, class S = std::nullptr_t>
    TClassBuilder& Event(const std::string& Name, G Get, S Set = nullptr)
    {
        using F = TypInfoDetail::PropValue<G, C>;
        TPropInfo& P = Add(Name, TPropKind::Event);
        P.Type = typeid(F);
        P.EventAssigned = [Get](TObject* Obj) {
            return static_cast<bool>(std::invoke(Get, TypInfoDetail::Cast<C>(Obj)));
        };
        if constexpr (!std::is_same_v<S, std::nullptr_t>)
            P.SetEvent = [Set](TObject* Obj, const std::any& V) {
                std::invoke(Set, TypInfoDetail::Cast<C>(Obj), V.has_value() ? std::any_cast<F>(V) : F());
            };
        else
            P.SetEvent = [Get](TObject* Obj, const std::any& V) {
                std::invoke(Get, TypInfoDetail::Cast<C>(Obj)) = V.has_value() ? std::any_cast<F>(V) : F();
            };
        return *this;
    }

    // The default of the property registered last.
    template <class I, std::enable_if_t<std::is_integral_v<I> && !std::is_same_v<I, bool>, int> = 0>
    TClassBuilder& Default(I Value)
    {
        Last().DefaultOrd = static_cast<std::int64_t>(Value);
        return *this;
    }
    template <class E, std::enable_if_t<std::is_enum_v<E>, int> = 0> TClassBuilder& Default(E Value)
    {
        Last().DefaultOrd = static_cast<std::int64_t>(Value);
        return *this;
    }
    template <class E, template <class> class S> TClassBuilder& Default(S<E> Value)
    {
        Last().DefaultOrd = static_cast<std::int64_t>(Value.Bits());
        return *this;
    }
    TClassBuilder& Default(bool Value)
    {
        Last().DefaultOrd = Value ? 1 : 0;
        return *this;
    }
    TClassBuilder& Default(double Value)
    {
        Last().DefaultFloat = Value;
        return *this;
    }
    TClassBuilder& Default(const char* Value) { return Default(std::string(Value)); }
    TClassBuilder& Default(const std::string& Value)
    {
        Last().DefaultStr = Value;
        return *this;
    }

    // Whether the writer writes the property registered last (see the top of this file).
    TClassBuilder& Stored(bool Value)
    {
        Last().Stored = Value;
        return *this;
    }

    // How an Object property holding an instance of C takes a string value (see the top of
    // this file). Assign is a callable taking (C*, const std::string&).
    template <class F> TClassBuilder& FromString(F Assign)
    {
        FInfo->FromString = [Assign](TObject* Obj, const std::string& Ref) {
            std::invoke(Assign, TypInfoDetail::Cast<C>(Obj), Ref);
        };
        return *this;
    }

    // A form's published component field: the reader stores the component of that name in it.
    template <class T> TClassBuilder& Field(const std::string& Name, T* C::*Member)
    {
        TFieldInfo F;
        F.Name = Name;
        F.Type = typeid(T);
        F.Set = [Member](TObject* Obj, TComponent* V) {
            T* Typed = dynamic_cast<T*>(V);
            if (V && !Typed)
                return false;
            TypInfoDetail::Cast<C>(Obj)->*Member = Typed;
            return true;
        };
        FInfo->Fields.push_back(std::move(F));
        return *this;
    }
    // A handler method that event bindings of the form name: OnClick = Button1Click.
    template <class M> TClassBuilder& Handler(const std::string& Name, M Method)
    {
        using Traits = TypInfoDetail::MethodTraits<M>;
        THandlerInfo H;
        H.Name = Name;
        H.Type = typeid(typename Traits::Closure);
        H.Bind = [Method](TObject* Obj) -> std::any {
            return std::any(Traits::Bind(TypInfoDetail::Cast<C>(Obj), Method));
        };
        FInfo->Handlers.push_back(std::move(H));
        return *this;
    }

    // A message handler: a method of C (or of a base) taking the message's view by value, or
    // TMessage&; one method may take several numbers that share a view.
    template <class B, class V> TClassBuilder& Message(UINT Msg, void (B::*Method)(V))
    {
        return Message({Msg}, Method);
    }
    template <class B, class V> TClassBuilder& Message(std::initializer_list<UINT> Msgs, void (B::*Method)(V))
    {
        static_assert(std::is_base_of_v<B, C>, "Message needs a method of the class or of a base");
        static_assert(std::is_same_v<V, TMessage&> || std::is_constructible_v<V, TMessage&>,
                      "a message handler takes TMessage& or a view made from it");
        TMessageHandler Handler = [Method](TObject* Obj, TMessage& M) {
            // The table of an instance's class holds only methods of classes it descends from.
            B* Target = static_cast<B*>(Obj);
            if constexpr (std::is_same_v<V, TMessage&>)
                (Target->*Method)(M);
            else
                (Target->*Method)(V(M));
        };
        for (UINT Msg : Msgs)
            AddMessageHandler(FInfo, Msg, Handler);
        return *this;
    }

    TClassInfo* Info() const { return FInfo; }

private:
    TPropInfo& Add(const std::string& Name, TPropKind Kind)
    {
        FInfo->Props.emplace_back();
        TPropInfo& P = FInfo->Props.back();
        P.Name = Name;
        P.Kind = Kind;
        return P;
    }
    TPropInfo& Last()
    {
        if (FInfo->Props.empty())
            throw EPropertyError("Default given before any property of " + FInfo->Name);
        return FInfo->Props.back();
    }
    template <class T, class G, class S>
    TPropInfo& AddOrd(const std::string& Name, TPropKind Kind, G Get, S Set)
    {
        TPropInfo& P = Add(Name, Kind);
        P.Type = typeid(T);
        P.GetOrd = TypInfoDetail::Getter<C, std::int64_t>(Get);
        P.SetOrd = TypInfoDetail::Setter<C, T, std::int64_t>(Get, Set);
        return P;
    }
    template <class G, class S> TClassBuilder& AddObj(const std::string& Name, TPropKind Kind, G Get, S Set)
    {
        using PT = TypInfoDetail::PropValue<G, C>;
        using T = std::remove_pointer_t<PT>;
        TPropInfo& P = Add(Name, Kind);
        P.Type = typeid(T);
        P.GetObj = [Get](TObject* Obj) -> TObject* { return std::invoke(Get, TypInfoDetail::Cast<C>(Obj)); };
        if constexpr (!std::is_same_v<S, std::nullptr_t>)
            P.SetObj = [Set](TObject* Obj, TObject* V) {
                std::invoke(Set, TypInfoDetail::Cast<C>(Obj), dynamic_cast<T*>(V));
            };
        return *this;
    }

    TClassInfo* FInfo;
};

// Registers class C (parent class Parent, void for the root) under Name, replacing an earlier
// registration of the same class; answers the builder for its published properties. TW_PUBLISH
// is the usual way to call it.
TClassInfo* RegisterClassInfo(std::type_index Type, std::type_index ParentType, const std::string& Name);
template <class C, class Parent = void> TClassBuilder<C> PublishClass(const std::string& Name)
{
    static_assert(std::is_void_v<Parent> || std::is_base_of_v<Parent, C>, "a class publishes its own base");
    TClassInfo* Info = RegisterClassInfo(typeid(C), typeid(Parent), Name);
    Info->IsInstance = [](const TObject* Obj) { return dynamic_cast<const C*>(Obj) != nullptr; };
    if constexpr (std::is_base_of_v<TComponent, C> && !std::is_abstract_v<C> &&
                  std::is_constructible_v<C, TComponent*>)
        Info->Create = [](TComponent* Owner) -> TComponent* { return new C(Owner); };
    return TClassBuilder<C>(Info);
}

#define TW_PUBLISH(Class, ParentClass)                                                                       \
    void TwPublish_##Class(TClassBuilder<Class> Cls);                                                        \
    [[maybe_unused]] void TwLinkClass_##Class() {}                                                           \
    [[maybe_unused]] static const bool TwPublished_##Class =                                                 \
        (TwPublish_##Class(PublishClass<Class, ParentClass>(#Class)), true);                                 \
    void TwPublish_##Class([[maybe_unused]] TClassBuilder<Class> Cls)

#define TW_ENUM(Enum, ...)                                                                                   \
    [[maybe_unused]] static const bool TwEnum_##Enum = (RegisterEnum<Enum>(#Enum, {__VA_ARGS__}), true)
