#include "FakeControls.h"

#include "platform/classes/Classes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(Collection, AddItemsCountAndIndex)
{
    TFakeItems C;
    TFakeItem* A = static_cast<TFakeItem*>(C.Add());
    TFakeItem* B = static_cast<TFakeItem*>(C.Add());
    EXPECT_EQ(C.Count(), 2);
    EXPECT_EQ(C.Items(1), B);
    EXPECT_EQ(A->Collection(), &C);
    EXPECT_EQ(B->Index(), 1);
    EXPECT_NE(A->ID(), B->ID());
    EXPECT_EQ(C.FindItemID(B->ID()), B);
    B->SetIndex(0);
    EXPECT_EQ(C.Items(0), B);
    EXPECT_THROW(C.Items(2), EListError);
    delete A; // an item leaves its collection when freed
    EXPECT_EQ(C.Count(), 1);
    TCollectionItem* Front = C.Insert(0);
    EXPECT_EQ(C.Items(0), Front);
    C.Delete(0);
    EXPECT_EQ(C.Count(), 1);
}

TEST(Collection, AssignClearsThenAddsAndAssignsEachItem)
{
    TFakeItems Src, Dst;
    auto* S1 = static_cast<TFakeItem*>(Src.Add());
    S1->Caption = "one";
    S1->Width = 7;
    S1->Lines()->Add("x");
    auto* S2 = static_cast<TFakeItem*>(Src.Add());
    S2->Caption = "two";
    S2->Kind = fkBold;
    for (int I = 0; I < 3; ++I)
        static_cast<TFakeItem*>(Dst.Add())->Caption = "old";
    const int LastOldID = Dst.Items(2)->ID();
    Dst.Updates.clear();

    Dst.Assign(&Src);
    ASSERT_EQ(Dst.Count(), 2);
    // New items, not the old ones refilled: an item's ID is never given again (its address can
    // be, once it is freed).
    EXPECT_GT(Dst.Items(0)->ID(), LastOldID);
    EXPECT_GT(Dst.Items(1)->ID(), LastOldID);
    EXPECT_NE(Dst.Items(0), Src.Items(0)); // copies, not the source's items
    EXPECT_EQ(Dst.Items(0)->Caption, "one");
    EXPECT_EQ(Dst.Items(0)->Width, 7);
    EXPECT_EQ(Dst.Items(0)->Lines()->Text(), "x\r\n");
    EXPECT_EQ(Dst.Items(1)->Caption, "two");
    EXPECT_EQ(Dst.Items(1)->Kind, fkBold);
    EXPECT_EQ(Dst.Items(1)->Width, 50);
    // The whole Assign is one update, reported once for all items.
    EXPECT_EQ(Dst.Updates, (std::vector<TCollectionItem*>{nullptr}));
}

TEST(Collection, AssignFromSomethingElseRaises)
{
    TFakeItems C;
    TStringList L;
    EXPECT_THROW(C.Assign(&L), EConvertError);
}

TEST(Collection, UpdateWaitsForTheOutermostEndUpdate)
{
    TFakeItems C;
    C.BeginUpdate();
    C.Add();
    C.Add();
    C.BeginUpdate();
    C.Clear();
    C.EndUpdate();
    EXPECT_TRUE(C.Updates.empty());
    C.EndUpdate();
    EXPECT_EQ(C.Updates, (std::vector<TCollectionItem*>{nullptr}));
}

class TCountingList : public TList {
public:
    std::vector<std::string> Log;

protected:
    void Notify(void* Ptr, TListNotification Action) override
    {
        Log.push_back(std::string(Action == lnAdded     ? "+"
                                  : Action == lnDeleted ? "-"
                                                        : "x") +
                      static_cast<const char*>(Ptr));
    }
};

TEST(List, OperationsAndNotifications)
{
    char A[] = "a", B[] = "b", C[] = "c";
    TCountingList L;
    L.Add(A);
    L.Add(B);
    L.Insert(0, C);
    EXPECT_EQ(L.Count(), 3);
    EXPECT_EQ(L.First(), C);
    EXPECT_EQ(L.IndexOf(B), 2);
    L.Exchange(0, 2);
    EXPECT_EQ(L[0], B);
    L.Move(0, 2);
    EXPECT_EQ(L.Last(), B);
    EXPECT_EQ(L.Remove(A), 0);
    EXPECT_EQ(L.Remove(A), -1);
    EXPECT_EQ(L.Extract(C), C);
    L.Add(nullptr);
    L.Pack();
    EXPECT_EQ(L.Count(), 1);
    L.Sort(
        [](void* X, void* Y) { return std::string(static_cast<char*>(X)) < static_cast<char*>(Y) ? -1 : 1; });
    EXPECT_THROW(L.Items(5), EListError);
    EXPECT_THROW(L.Delete(-1), EListError);
    L.Clear();
    EXPECT_EQ(L.Log, (std::vector<std::string>{"+a", "+b", "+c", "-a", "xc", "-b"}));
}

TEST(List, ErrorMessageNamesTheIndex)
{
    TList L;
    try {
        L.Items(3);
        FAIL();
    } catch (const EListError& E) {
        EXPECT_EQ(E.Message(), "List index out of bounds (3)");
    }
}

} // namespace
