#include "FakeControls.h"

#include "platform/classes/TypInfo.h"

#include <algorithm>

void TFakeFont::Assign(TPersistent* Source)
{
    if (auto* F = dynamic_cast<TFakeFont*>(Source)) {
        Name = F->Name;
        FHeight = F->FHeight;
        Style = F->Style;
        Color = F->Color;
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

TFakeItem::TFakeItem(TCollection* Collection)
    : TCollectionItem(Collection), FSub(std::make_unique<TCollection>(CollectionItemClass<TFakeItem>()))
{
}

TFakeItem::~TFakeItem() = default;

void TFakeItem::Assign(TPersistent* Source)
{
    if (auto* I = dynamic_cast<TFakeItem*>(Source)) {
        Caption = I->Caption;
        Width = I->Width;
        Kind = I->Kind;
        FLines->Assign(I->Lines());
        Link = I->Link;
        FSub->Assign(I->Sub());
        return;
    }
    TCollectionItem::Assign(Source);
}

TFakeControl::TFakeControl(TComponent* AOwner) : TComponent(AOwner) {}

TFakeControl::~TFakeControl()
{
    // Children reach back into this control while they go: free them while it is whole.
    Destroying();
    DestroyComponents();
    SetParentComponent(nullptr);
    for (TFakeControl* C : Children)
        C->ParentControl = nullptr;
}

void TFakeControl::SetBuddy(TFakeControl* Value)
{
    if (FBuddy == Value)
        return;
    if (FBuddy)
        FBuddy->RemoveFreeNotification(this);
    FBuddy = Value;
    if (FBuddy)
        FBuddy->FreeNotification(this);
}

void TFakeControl::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FBuddy)
        FBuddy = nullptr;
}

void TFakeControl::SetParentComponent(TComponent* Value)
{
    if (ParentControl) {
        auto& C = ParentControl->Children;
        C.erase(std::remove(C.begin(), C.end(), this), C.end());
    }
    ParentControl = dynamic_cast<TFakeControl*>(Value);
    if (ParentControl)
        ParentControl->Children.push_back(this);
}

void TFakeControl::ReadBlob(TStream* Stream)
{
    unsigned char N = 0;
    Stream->ReadBuffer(&N, 1); // raises on empty data, as a reader of a bad stream does
    Blob.resize(N);
    if (N)
        Stream->ReadBuffer(Blob.data(), N);
}

void TFakeControl::WriteBlob(TStream* Stream) const
{
    if (Blob.empty())
        return;
    const unsigned char N = static_cast<unsigned char>(Blob.size());
    Stream->WriteBuffer(&N, 1);
    Stream->WriteBuffer(Blob.data(), N);
}

void TFakeControl::Loaded()
{
    TComponent::Loaded();
    ++LoadedCalls;
    StateAtLoaded = ComponentState();
    BuddyAtLoaded = FBuddy;
    for (int I = 0; I < ComponentCount(); ++I)
        if (Components(I)->ComponentState().Contains(csLoading))
            StillLoadingAtLoaded.push_back(Components(I)->Name());
    LoadLog.push_back(Name());
}

void TFakeForm::Button1Click(TObject* Sender)
{
    auto* C = dynamic_cast<TComponent*>(Sender);
    Calls.push_back("Button1Click(" + (C ? C->Name() : std::string("?")) + ")");
}

void TFakeForm::Panel1MouseDown(TObject* Sender, int Button, int X, int Y)
{
    auto* C = dynamic_cast<TComponent*>(Sender);
    Calls.push_back("Panel1MouseDown(" + (C ? C->Name() : std::string("?")) + "," + std::to_string(Button) +
                    "," + std::to_string(X) + "," + std::to_string(Y) + ")");
}

// ---------------------------------------------------------------------------------------------
// Registration, as the graphics and controls areas will write theirs.

TW_ENUM(TFakeFontStyle, "ffBold", "ffItalic", "ffUnderline");
TW_ENUM(TFakeAlign, "faNone", "faTop", "faBottom", "faClient");
TW_ENUM(TFakeKind, "fkPlain", "fkBold");

[[maybe_unused]] static const bool FakeIdents = [] {
    RegisterIdents(
        "TColor", {{"clBlack", 0}, {"clRed", 0x0000FF}, {"clWindow", static_cast<std::int32_t>(0x80000005)}});
    RegisterIdents("TCursor", {{"crDefault", 0}, {"crHandPoint", -21}});
    RegisterEventType<TFakeMouseEvent>("TFakeMouseEvent");
    return true;
}();

TW_PUBLISH(TFakeFont, TPersistent)
{
    Cls.Str("Name", &TFakeFont::Name).Default("Arial");
    Cls.Int("Height", &TFakeFont::Height, &TFakeFont::SetHeight).Default(-13);
    Cls.Set("Style", &TFakeFont::Style).Default(TFakeFontStyles{});
    Cls.Color("Color", &TFakeFont::Color).Default(0);
}

TW_PUBLISH(TFakeItem, TCollectionItem)
{
    Cls.Str("Caption", &TFakeItem::Caption);
    Cls.Int("Width", &TFakeItem::Width).Default(50);
    Cls.Enum("Kind", &TFakeItem::Kind).Default(fkPlain);
    Cls.Strings("Lines", &TFakeItem::Lines);
    Cls.Component("Link", &TFakeItem::Link);
    Cls.Collection("Sub", &TFakeItem::Sub);
}

TW_PUBLISH(TFakeItems, TCollection) {}

TW_PUBLISH(TFakeControl, TComponent)
{
    Cls.Int("Left", &TFakeControl::Left).Default(0);
    Cls.Int("Top", &TFakeControl::Top, &TFakeControl::SetTop).Default(0);
    Cls.Str("Caption", &TFakeControl::Caption);
    Cls.Bool("Visible", &TFakeControl::Visible).Default(true);
    Cls.Bool("Enabled", &TFakeControl::Enabled).Default(true);
    Cls.Color("Color", &TFakeControl::Color).Default(static_cast<std::int32_t>(0x80000005));
    Cls.Cursor("Cursor", &TFakeControl::Cursor).Default(0);
    Cls.Float("Ratio", &TFakeControl::Ratio).Default(1.0);
    Cls.Char("Mark", &TFakeControl::Mark).Default('#');
    Cls.Enum("Align", &TFakeControl::Align).Default(faNone);
    Cls.Set("Anchors", &TFakeControl::Anchors).Default(TFakeAligns{faTop});
    Cls.Int("ZOrder", &TFakeControl::ZOrder).Default(0);
    Cls.Object("Font", &TFakeControl::Font, &TFakeControl::SetFont);
    Cls.Strings("Lines", &TFakeControl::Lines, &TFakeControl::SetLines);
    Cls.Collection("Items", &TFakeControl::Items, &TFakeControl::SetItems);
    Cls.Component("Buddy", &TFakeControl::Buddy, &TFakeControl::SetBuddy);
    Cls.Binary(
        "Data", [](TFakeControl* C, const std::string& Bytes) { C->Data = Bytes; },
        [](TFakeControl* C) { return C->Data; });
    Cls.Binary("Blob", &TFakeControl::ReadBlob, &TFakeControl::WriteBlob);
    Cls.Event("OnClick", &TFakeControl::OnClick);
    Cls.Event("OnMouseDown", &TFakeControl::OnMouseDown);
    Cls.Int("LoadedCalls", [](TFakeControl* C) { return C->LoadedCalls; }); // read-only
}

TW_PUBLISH(TFakeTimer, TComponent)
{
    Cls.Int("Interval", &TFakeTimer::Interval).Default(1000);
}

TW_PUBLISH(TFakeForm, TFakeControl)
{
    Cls.Bool("DropPanel", &TFakeForm::DropPanel, &TFakeForm::SetDropPanel);
    Cls.Field("Panel1", &TFakeForm::Panel1);
    Cls.Field("Button1", &TFakeForm::Button1);
    Cls.Field("Timer1", &TFakeForm::Timer1);
    Cls.Handler("Button1Click", &TFakeForm::Button1Click);
    Cls.Handler("Panel1MouseDown", &TFakeForm::Panel1MouseDown);
}
