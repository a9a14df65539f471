// A small control hierarchy standing in for the graphics and controls areas in these tests: a
// font-like sub-object, a collection with its items, controls with every kind of published
// property, a non-visual component, and a form with component fields and handler methods.
#pragma once

#include "platform/classes/Classes.h"
#include "platform/rtl/Streams.h"

#include <memory>
#include <string>
#include <vector>

enum TFakeFontStyle { ffBold, ffItalic, ffUnderline };
using TFakeFontStyles = TSet<TFakeFontStyle>;

class TFakeFont : public TPersistent {
public:
    std::string Name = "Arial";
    int Height() const { return FHeight; }
    void SetHeight(int Value)
    {
        FHeight = Value;
        Changed();
    }
    TFakeFontStyles Style;
    int Color = 0;
    TNotifyEvent OnChange;
    void Assign(TPersistent* Source) override;

private:
    void Changed()
    {
        if (OnChange)
            OnChange(this);
    }
    int FHeight = -13;
};

enum TFakeAlign { faNone, faTop, faBottom, faClient };
using TFakeAligns = TSet<TFakeAlign>;
enum TFakeKind { fkPlain, fkBold };

class TFakeControl;

class TFakeItem : public TCollectionItem {
public:
    explicit TFakeItem(TCollection* Collection);
    ~TFakeItem() override;
    std::string Caption;
    int Width = 50;
    TFakeKind Kind = fkPlain;
    TStringList* Lines() const { return FLines.get(); }
    TFakeControl* Link = nullptr;
    // Items inside an item, as a tree of rules keeps them.
    TCollection* Sub() const { return FSub.get(); }
    void Assign(TPersistent* Source) override;

private:
    std::unique_ptr<TStringList> FLines = std::make_unique<TStringList>();
    std::unique_ptr<TCollection> FSub;
};

class TFakeItems : public TCollection {
public:
    TFakeItems() : TCollection(CollectionItemClass<TFakeItem>()) {}
    TFakeItem* Items(int Index) const { return ItemsAs<TFakeItem>(Index); }
    std::vector<TCollectionItem*> Updates; // every Update call, nullptr for "all"

protected:
    void Update(TCollectionItem* Item) override { Updates.push_back(Item); }
};

using TFakeMouseEvent = std::function<void(TObject* Sender, int Button, int X, int Y)>;

class TFakeControl : public TComponent {
public:
    explicit TFakeControl(TComponent* AOwner);
    ~TFakeControl() override;

    int Left = 0;
    int Top() const { return FTop; }
    void SetTop(int Value) { FTop = Value; }
    std::string Caption;
    bool Visible = true;
    bool Enabled = true;
    std::int32_t Color = static_cast<std::int32_t>(0x80000005); // the window colour
    int Cursor = 0;
    double Ratio = 1.0;
    char Mark = '#';
    TFakeAlign Align = faNone;
    TFakeAligns Anchors{faTop};
    unsigned char ZOrder = 0;
    TFakeFont* Font() const { return FFont.get(); }
    void SetFont(TFakeFont* Value) { FFont->Assign(Value); }
    TStringList* Lines() const { return FLines.get(); }
    void SetLines(TStrings* Value)
    {
        ++SetLinesCalls;
        FLines->Assign(Value);
    }
    TFakeItems* Items() const { return FItems.get(); }
    void SetItems(TFakeItems* Value)
    {
        ++SetItemsCalls;
        FItems->Assign(Value);
    }
    TFakeControl* Buddy() const { return FBuddy; }
    void SetBuddy(TFakeControl* Value);
    std::string Data;
    // Binary data in the stream style: the first byte counts the bytes that follow.
    std::string Blob;
    void ReadBlob(TStream* Stream);
    void WriteBlob(TStream* Stream) const;
    TNotifyEvent OnClick;
    TFakeMouseEvent OnMouseDown;

    TFakeControl* ParentControl = nullptr;
    std::vector<TFakeControl*> Children;
    int SetLinesCalls = 0;
    int SetItemsCalls = 0;
    int LoadedCalls = 0;
    TComponentState StateAtLoaded;
    TFakeControl* BuddyAtLoaded = nullptr;
    std::vector<std::string> StillLoadingAtLoaded; // owned components of the owner still in csLoading
    TComponentState StateWhenNamed;
    static inline std::vector<std::string> LoadLog; // names, in the order Loaded ran

    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override { return ParentControl; }
    void SetParentComponent(TComponent* Value) override;
    void SetName(const std::string& NewName) override
    {
        StateWhenNamed = ComponentState();
        TComponent::SetName(NewName);
    }
    void Loaded() override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    int FTop = 0;
    std::unique_ptr<TFakeFont> FFont = std::make_unique<TFakeFont>();
    std::unique_ptr<TStringList> FLines = std::make_unique<TStringList>();
    std::unique_ptr<TFakeItems> FItems = std::make_unique<TFakeItems>();
    TFakeControl* FBuddy = nullptr;
};

// A component that is not a control.
class TFakeTimer : public TComponent {
public:
    using TComponent::TComponent;
    int Interval = 1000;
};
TW_LINK_CLASS(TFakeTimer);

class TFakeForm : public TFakeControl {
public:
    explicit TFakeForm(TComponent* AOwner = nullptr) : TFakeControl(AOwner) {}
    TFakeControl* Panel1 = nullptr;
    TFakeControl* Button1 = nullptr;
    TFakeTimer* Timer1 = nullptr;

    // A setter that frees a component read earlier, as a control replacing a child does.
    bool DropPanel() const { return false; }
    void SetDropPanel(bool Value)
    {
        if (Value && Panel1) {
            delete Panel1;
            Panel1 = nullptr;
        }
    }

    std::vector<std::string> Calls;
    void Button1Click(TObject* Sender);
    void Panel1MouseDown(TObject* Sender, int Button, int X, int Y);
};

// Not registered: a form without handlers, whose properties are found through TFakeControl.
class TPlainForm : public TFakeControl {
public:
    using TFakeControl::TFakeControl;
};
