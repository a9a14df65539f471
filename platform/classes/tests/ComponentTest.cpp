#include "FakeControls.h"

#include "platform/classes/Classes.h"
#include "platform/classes/TypInfo.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// Records every notification it gets and counts its own destruction.
class TWatcher : public TComponent {
public:
    TWatcher(TComponent* AOwner, std::vector<std::string>* Log) : TComponent(AOwner), FLog(Log) {}
    ~TWatcher() override
    {
        if (FLog)
            FLog->push_back("~" + Name());
    }
    TComponent* Ref = nullptr;
    std::vector<std::string> Seen;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        TComponent::Notification(AComponent, Operation);
        Seen.push_back(std::string(Operation == opInsert ? "+" : "-") + AComponent->Name());
        if (Operation == opRemove && AComponent == Ref)
            Ref = nullptr;
    }

private:
    std::vector<std::string>* FLog;
};

TEST(Component, OwnerFreesItsComponentsLastFirst)
{
    std::vector<std::string> Log;
    auto* Root = new TWatcher(nullptr, &Log);
    Root->SetName("Root");
    auto* A = new TWatcher(Root, &Log);
    A->SetName("A");
    auto* B = new TWatcher(Root, &Log);
    B->SetName("B");
    auto* C = new TWatcher(A, &Log); // owned by A, freed with it
    C->SetName("C");

    EXPECT_EQ(Root->ComponentCount(), 2);
    EXPECT_EQ(Root->Components(0), A);
    EXPECT_EQ(B->ComponentIndex(), 1);
    EXPECT_EQ(C->Owner(), A);
    delete Root;
    EXPECT_EQ(Log, (std::vector<std::string>{"~Root", "~B", "~A", "~C"}));
}

TEST(Component, FreeingAnOwnedComponentLeavesTheOwnerAndTellsSiblings)
{
    TWatcher Root(nullptr, nullptr);
    auto* A = new TWatcher(&Root, nullptr);
    A->SetName("A");
    auto* B = new TWatcher(&Root, nullptr);
    B->SetName("B");
    B->Ref = A; // no free notification asked: the owner passes the news on
    delete A;
    EXPECT_EQ(Root.ComponentCount(), 1);
    EXPECT_EQ(B->Ref, nullptr);
    EXPECT_EQ(Root.Seen, (std::vector<std::string>{"+", "+", "-A"}));
}

TEST(Component, FreeNotificationClearsAReferenceAcrossOwners)
{
    TFakeControl OwnerA(nullptr), OwnerB(nullptr);
    auto* Holder = new TFakeControl(&OwnerA);
    auto* Target = new TFakeControl(&OwnerB);
    Holder->SetBuddy(Target);
    delete Target;
    EXPECT_EQ(Holder->Buddy(), nullptr);

    delete Holder;

    // The link is two-way: freeing the holder first tells the target, which drops its side of the
    // link, so freeing the target afterwards notifies no freed holder.
    auto* Target2 = new TWatcher(nullptr, nullptr);
    auto* Holder2 = new TFakeControl(&OwnerA);
    Holder2->SetName("Holder2");
    Target2->FreeNotification(Holder2); // what SetBuddy asks of a buddy
    delete Holder2;
    EXPECT_EQ(Target2->Seen, (std::vector<std::string>{"-Holder2"}));
    delete Target2;
}

TEST(Component, RemoveFreeNotificationStopsTheNews)
{
    TWatcher A(nullptr, nullptr), B(nullptr, nullptr);
    auto* Target = new TWatcher(nullptr, nullptr);
    Target->SetName("T");
    A.FreeNotification(Target);
    B.FreeNotification(Target);
    B.RemoveFreeNotification(Target);
    delete Target;
    EXPECT_EQ(A.Seen, (std::vector<std::string>{"-T"}));
    EXPECT_TRUE(B.Seen.empty());
}

TEST(Component, NamesAreIdentifiersUniqueWithoutRegardToCase)
{
    TComponent Root(nullptr);
    auto* A = new TComponent(&Root);
    A->SetName("Button1");
    auto* B = new TComponent(&Root);
    EXPECT_THROW(B->SetName("BUTTON1"), EComponentError);
    EXPECT_THROW(B->SetName("1Button"), EComponentError);
    EXPECT_THROW(B->SetName("Bad Name"), EComponentError);
    B->SetName("Button2");
    A->SetName("button1"); // its own name in another case is fine
    EXPECT_EQ(Root.FindComponent("BUTTON2"), B);
    EXPECT_EQ(Root.FindComponent("button1"), A);
    EXPECT_EQ(Root.FindComponent("Button3"), nullptr);
    EXPECT_EQ(Root.FindComponent(""), nullptr);
    try {
        B->SetName("Button1");
        FAIL();
    } catch (const EComponentError& E) {
        EXPECT_EQ(E.Message(), "A component named Button1 already exists");
    }
}

TEST(Component, InsertAndRemoveMoveAComponentBetweenOwners)
{
    TWatcher A(nullptr, nullptr), B(nullptr, nullptr);
    auto* C = new TWatcher(&A, nullptr);
    C->SetName("C");
    B.InsertComponent(C);
    EXPECT_EQ(C->Owner(), &B);
    EXPECT_EQ(A.ComponentCount(), 0);
    EXPECT_EQ(A.Seen, (std::vector<std::string>{"+", "-C"})); // named after it was inserted
    EXPECT_EQ(B.Seen, (std::vector<std::string>{"+C"}));
    B.RemoveComponent(C);
    EXPECT_EQ(C->Owner(), nullptr);
    delete C;
}

TEST(Component, StateFlags)
{
    TComponent Root(nullptr);
    Root.SetDesigning(true);
    auto* Child = new TComponent(&Root);
    EXPECT_TRUE(Child->ComponentState().Contains(csDesigning)); // inherited from the owner
    EXPECT_FALSE(Child->ComponentState().Contains(csLoading));

    struct TProbe : TComponent {
        using TComponent::TComponent;
        TComponentState* Out = nullptr;
        ~TProbe() override { *Out = ComponentState(); }
    };
    // Freed by its owner, a component knows it is going while its own destructor runs.
    TComponentState AtDestruction;
    auto* Owner = new TComponent(nullptr);
    auto* P = new TProbe(Owner);
    P->Out = &AtDestruction;
    delete Owner;
    EXPECT_TRUE(AtDestruction.Contains(csDestroying));
}

TEST(Object, ClassNamesAndInheritance)
{
    TFakeForm Form;
    TPlainForm Plain(nullptr);
    TStringList List;
    EXPECT_EQ(Form.ClassName(), "TFakeForm");
    EXPECT_EQ(Plain.ClassName(), "TPlainForm"); // not registered: its C++ name
    EXPECT_EQ(List.ClassName(), "TStringList");
    EXPECT_TRUE(Form.InheritsFrom("TFakeControl"));
    EXPECT_TRUE(Form.InheritsFrom("tcomponent"));
    EXPECT_TRUE(Form.InheritsFrom("TObject"));
    EXPECT_FALSE(Form.InheritsFrom("TStrings"));
    EXPECT_TRUE(Plain.InheritsFrom("TFakeControl")); // through the nearest registered class
    EXPECT_TRUE(Plain.InheritsFrom("TPlainForm"));
    EXPECT_TRUE(List.InheritsFrom("TStrings"));
    EXPECT_TRUE(Is<TComponent>(&Form));
    EXPECT_THROW(As<TStrings>(&Form), EInvalidCast);
    EXPECT_EQ(As<TFakeControl>(&Form), &Form);
}

TEST(Persistent, AssignWithoutSupportRaises)
{
    TFakeFont Font;
    TStringList List;
    try {
        Font.Assign(&List);
        FAIL();
    } catch (const EConvertError& E) {
        EXPECT_EQ(E.Message(), "Cannot assign a TStringList to a TFakeFont");
    }
}

TEST(Events, MakeEventBindsAMethodWithTheSenderFirst)
{
    TFakeForm Form;
    TFakeControl Button(nullptr);
    Button.SetName("Btn");
    Button.OnClick = MakeEvent(&Form, &TFakeForm::Button1Click);
    Button.OnMouseDown = MakeEvent(&Form, &TFakeForm::Panel1MouseDown);
    Button.OnClick(&Button);
    Button.OnMouseDown(&Button, 1, 2, 3);
    EXPECT_EQ(Form.Calls, (std::vector<std::string>{"Button1Click(Btn)", "Panel1MouseDown(Btn,1,2,3)"}));
}

TEST(Set, Operations)
{
    TFakeAligns S{faTop, faClient};
    EXPECT_TRUE(S.Contains(faTop));
    EXPECT_FALSE(S.Contains(faBottom));
    EXPECT_EQ((S + faBottom).Bits(), 0b1110u);
    EXPECT_EQ((S - faTop), TFakeAligns{faClient});
    EXPECT_EQ((S * TFakeAligns{faClient, faNone}), TFakeAligns{faClient});
    EXPECT_TRUE(TFakeAligns{}.Empty());
}

} // namespace

// Lookups by name among many siblings stay right through renames, removals and frees.
TEST(Component, FindComponentAmongManySiblingsFollowsEveryChange)
{
    TComponent Root(nullptr);
    std::vector<TComponent*> Items;
    for (int I = 0; I < 40; ++I) {
        Items.push_back(new TComponent(&Root));
        Items.back()->SetName("Item" + std::to_string(I));
    }
    EXPECT_EQ(Root.FindComponent("ITEM7"), Items[7]);
    Items[7]->SetName("Renamed");
    EXPECT_EQ(Root.FindComponent("item7"), nullptr);
    EXPECT_EQ(Root.FindComponent("renamed"), Items[7]);
    Items[8]->SetName("ITEM8"); // only the case changes
    EXPECT_EQ(Root.FindComponent("Item8"), Items[8]);
    EXPECT_THROW(Items[9]->SetName("renamed"), EComponentError);
    EXPECT_EQ(Root.FindComponent("Item9"), Items[9]);

    TComponent Other(nullptr);
    Other.InsertComponent(Items[10]); // moves to another owner
    EXPECT_EQ(Root.FindComponent("Item10"), nullptr);
    EXPECT_EQ(Other.FindComponent("Item10"), Items[10]);
    delete Items[11];
    EXPECT_EQ(Root.FindComponent("Item11"), nullptr);
    auto* Late = new TComponent(&Root);
    Late->SetName("Item11"); // the freed one's name is free again
    EXPECT_EQ(Root.FindComponent("item11"), Late);
    Items[12]->SetName("");
    EXPECT_EQ(Root.FindComponent("Item12"), nullptr);
    EXPECT_EQ(Root.FindComponent(""), nullptr);
}
