// Feeds arbitrary text to the form reader over a small registered class hierarchy that has a
// property of every kind. Any outcome but a clean read or an Exception is a fault.
#include "platform/classes/FormReader.h"
#include "platform/classes/Classes.h"
#include "platform/classes/TypInfo.h"
#include "platform/rtl/SysUtils.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace {

enum TFzKind { fzOne, fzTwo, fzThree };
using TFzKinds = TSet<TFzKind>;

class TFzFont : public TPersistent {
public:
    std::string Name;
    int Height = 0;
    TFzKinds Style;
};

class TFzControl;

class TFzItem : public TCollectionItem {
public:
    explicit TFzItem(TCollection* Collection) : TCollectionItem(Collection) {}
    std::string Caption;
    TFzKind Kind = fzOne;
    TStringList* Lines() const { return FLines.get(); }
    TFzControl* Link = nullptr;
    // Nested collections inside items, to exercise the depth limit.
    TCollection* Sub() const { return FSub.get(); }

private:
    std::unique_ptr<TStringList> FLines = std::make_unique<TStringList>();
    std::unique_ptr<TCollection> FSub = std::make_unique<TCollection>(CollectionItemClass<TFzItem>());
};

using TFzMouseEvent = std::function<void(TObject*, int, int)>;

class TFzControl : public TComponent {
public:
    explicit TFzControl(TComponent* AOwner) : TComponent(AOwner) {}
    ~TFzControl() override
    {
        Destroying();
        DestroyComponents();
    }
    int Left = 0;
    unsigned char Small = 0;
    std::string Caption;
    bool Visible = true;
    std::int32_t Color = 0;
    double Ratio = 0;
    char Mark = 0;
    TFzKind Kind = fzOne;
    TFzKinds Kinds;
    TFzFont* Font() const { return FFont.get(); }
    TStringList* Lines() const { return FLines.get(); }
    TCollection* Items() const { return FItems.get(); }
    TFzControl* Buddy() const { return FBuddy; }
    void SetBuddy(TFzControl* Value)
    {
        if (FBuddy)
            FBuddy->RemoveFreeNotification(this);
        FBuddy = Value;
        if (FBuddy)
            FBuddy->FreeNotification(this);
    }
    std::string Data;
    TNotifyEvent OnClick;
    TFzMouseEvent OnMouse;
    void Click(TObject*) {}
    void Mouse(TObject*, int, int) {}

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        TComponent::Notification(AComponent, Operation);
        if (Operation == opRemove && AComponent == FBuddy)
            FBuddy = nullptr;
    }

private:
    std::unique_ptr<TFzFont> FFont = std::make_unique<TFzFont>();
    std::unique_ptr<TStringList> FLines = std::make_unique<TStringList>();
    std::unique_ptr<TCollection> FItems = std::make_unique<TCollection>(CollectionItemClass<TFzItem>());
    TFzControl* FBuddy = nullptr;
};

class TFzForm : public TFzControl {
public:
    using TFzControl::TFzControl;
    TFzControl* Button1 = nullptr;
};

} // namespace

TW_ENUM(TFzKind, "fzOne", "fzTwo", "fzThree");

TW_PUBLISH(TFzFont, TPersistent)
{
    Cls.Str("Name", &TFzFont::Name);
    Cls.Int("Height", &TFzFont::Height);
    Cls.Set("Style", &TFzFont::Style);
}

TW_PUBLISH(TFzItem, TCollectionItem)
{
    Cls.Str("Caption", &TFzItem::Caption);
    Cls.Enum("Kind", &TFzItem::Kind);
    Cls.Strings("Lines", &TFzItem::Lines);
    Cls.Component("Link", &TFzItem::Link);
    Cls.Collection("Sub", &TFzItem::Sub);
}

TW_PUBLISH(TFzControl, TComponent)
{
    Cls.Int("Left", &TFzControl::Left);
    Cls.Int("Small", &TFzControl::Small);
    Cls.Str("Caption", &TFzControl::Caption);
    Cls.Bool("Visible", &TFzControl::Visible);
    Cls.Color("Color", &TFzControl::Color);
    Cls.Float("Ratio", &TFzControl::Ratio);
    Cls.Char("Mark", &TFzControl::Mark);
    Cls.Enum("Kind", &TFzControl::Kind);
    Cls.Set("Kinds", &TFzControl::Kinds);
    Cls.Object("Font", &TFzControl::Font);
    Cls.Strings("Lines", &TFzControl::Lines);
    Cls.Collection("Items", &TFzControl::Items);
    Cls.Component("Buddy", &TFzControl::Buddy, &TFzControl::SetBuddy);
    Cls.Binary("Data", [](TFzControl* C, const std::string& B) { C->Data = B; });
    Cls.Event("OnClick", &TFzControl::OnClick);
    Cls.Event("OnMouse", &TFzControl::OnMouse);
}

TW_PUBLISH(TFzForm, TFzControl)
{
    Cls.Field("Button1", &TFzForm::Button1);
    Cls.Handler("Click", &TFzForm::Click);
    Cls.Handler("Mouse", &TFzForm::Mouse);
}

[[maybe_unused]] static const bool FzIdents =
    (RegisterIdents("TColor", {{"clRed", 0xFF}, {"clBlue", 0xFF0000}}), true);

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const std::string Text(reinterpret_cast<const char*>(Data), Size);
    TFzForm Form(nullptr);
    try {
        ReadForm(&Form, Text, "fuzz.form");
    } catch (const Exception&) {
    }
    if (Form.ComponentState().Contains(csLoading))
        __builtin_trap();
    return 0;
}
