// The image cache: uses, ageing and what each way of dropping entries keeps.
#include "html-engine/HtmlImageUtil.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// A picture that notes when it is freed.
class TTrackedPicture : public TObject {
public:
    TTrackedPicture(std::vector<std::string>& Log, std::string Name) : FLog(Log), FName(std::move(Name)) {}
    ~TTrackedPicture() override { FLog.push_back(FName); }

private:
    std::vector<std::string>& FLog;
    std::string FName;
};

struct ImageCacheTest : ::testing::Test {
    std::vector<std::string> Freed;
    TStringBitmapList Cache;

    TBitmapItem* Put(const std::string& Key, int Age, int Users)
    {
        auto* Item = new TBitmapItem(std::make_unique<TTrackedPicture>(Freed, Key), 0, nullptr);
        Cache.AddObject(Key, Item);
        Item->Age = Age;
        Item->Users = Users;
        return Item;
    }
    std::string Keys() const
    {
        std::string Out;
        for (int I = 0; I < Cache.Count(); ++I)
            Out += Cache[I];
        return Out;
    }
};

TEST_F(ImageCacheTest, AgeingAndDroppingKeepWhatIsInUse)
{
    struct Case {
        const char* Name;
        std::function<void(TStringBitmapList&)> Run;
        std::string Kept, Freed;
    };
    const std::vector<Case> Cases{
        // Ages become 1, 4, 5, 5, 10, 8: the unused entries older than 4 go.
        {"AgeAll", [](TStringBitmapList& C) { C.AgeAll(); }, "ABDE", "CF"},
        // Every unused entry older than 0; the one just used (age 0) stays.
        {"SetMaxAge(0)", [](TStringBitmapList& C) { C.SetMaxAge(0); }, "ADE", "BCF"},
        {"SetMaxAge(3)", [](TStringBitmapList& C) { C.SetMaxAge(3); }, "ABDE", "CF"},
        // Every unused entry, whatever its age.
        {"DropUnused", [](TStringBitmapList& C) { C.DropUnused(); }, "DE", "ABCF"},
        // Entries in use survive any number of loads.
        {"AgeAll x 20",
         [](TStringBitmapList& C) {
             for (int I = 0; I < 20; ++I)
                 C.AgeAll();
         },
         "DE", "ABCF"},
    };
    for (const Case& C : Cases) {
        Cache.Clear();
        Cache.MaxAge = 4;
        Put("A", 0, 0);
        Put("B", 3, 0);
        Put("C", 4, 0);
        Put("D", 4, 1);
        Put("E", 9, 2);
        Put("F", 7, -1); // released once too often still counts as unused
        Freed.clear();
        C.Run(Cache);
        EXPECT_EQ(Keys(), C.Kept) << C.Name;
        std::string FreedKeys;
        for (const std::string& K : Freed)
            FreedKeys += K;
        std::sort(FreedKeys.begin(), FreedKeys.end());
        EXPECT_EQ(FreedKeys, C.Freed) << C.Name;
    }
    Cache.SetMaxAge(7);
    EXPECT_EQ(Cache.MaxAge, 7);
}

TEST_F(ImageCacheTest, TakeAndReleaseCountUses)
{
    TBitmapItem* Item = Put("PIC.GIF", 3, 0);
    Item->Users = 0;
    Cache.AddObject("OTHER.GIF", new TBitmapItem(nullptr, 0, nullptr));
    EXPECT_EQ(Cache.Item(Cache.IndexOf("OTHER.GIF"))->Users, 1); // an add is a use
    const int Index = Cache.IndexOf("PIC.GIF");
    EXPECT_EQ(Cache.Take(Index), Item->Picture.get());
    EXPECT_EQ(Item->Age, 0);
    EXPECT_EQ(Item->Users, 1);
    Cache.Release("PIC.GIF");
    Cache.Release("NOT.THERE");
    EXPECT_EQ(Item->Users, 0);
}

TEST_F(ImageCacheTest, ASecondEntryUnderOneKeyIsRefused)
{
    Put("PIC.GIF", 0, 1);
    auto Second =
        std::make_unique<TBitmapItem>(std::make_unique<TTrackedPicture>(Freed, "second"), 0, nullptr);
    EXPECT_THROW(Cache.AddObject("PIC.GIF", Second.get()), EStringListError);
    EXPECT_EQ(Cache.Count(), 1);
    EXPECT_EQ(Second->Users, 0);
    EXPECT_TRUE(Freed.empty());
}

TEST_F(ImageCacheTest, ClearAndDestructionFreeEveryPictureAndMask)
{
    {
        TStringBitmapList Own;
        Own.AddObject("X", new TBitmapItem(std::make_unique<TTrackedPicture>(Freed, "x"), 1,
                                           std::make_unique<TBitmap>(2, 2)));
        Own.AddObject("Y", new TBitmapItem(std::make_unique<TTrackedPicture>(Freed, "y"), 0, nullptr));
        Own.Clear();
        EXPECT_EQ(Own.Count(), 0);
        EXPECT_EQ(Freed.size(), 2u);
        Own.AddObject("Z", new TBitmapItem(std::make_unique<TTrackedPicture>(Freed, "z"), 0, nullptr));
    }
    EXPECT_EQ(Freed.size(), 3u);
}

} // namespace
