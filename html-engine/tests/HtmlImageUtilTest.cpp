#include "html-engine/HtmlImageUtil.h"

#include "platform/rtl/SysUtils.h"
#include "platform/testing/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TW_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define TW_ASAN 1
#endif

namespace {

// Records the order in which items are freed.
class TTracked : public TObject {
public:
    TTracked(std::vector<int>& Log, int Id) : FLog(Log), FId(Id) {}
    ~TTracked() override { FLog.push_back(FId); }

private:
    std::vector<int>& FLog;
    int FId;
};

TEST(FreeList, ClearAndDestructorFreeInIndexOrder)
{
    std::vector<int> Log;
    {
        TFreeList List;
        for (int I = 0; I < 3; ++I)
            List.Add(new TTracked(Log, I));
        List.Clear();
        EXPECT_EQ(List.Count(), 0);
        EXPECT_EQ(Log, (std::vector<int>{0, 1, 2}));
        List.Add(new TTracked(Log, 7));
        List.Add(new TTracked(Log, 8));
    }
    EXPECT_EQ(Log, (std::vector<int>{0, 1, 2, 7, 8}));
}

TEST(FreeList, DeleteFreesExtractDoesNot)
{
    std::vector<int> Log;
    TFreeList List;
    auto* Kept = new TTracked(Log, 1);
    List.Add(new TTracked(Log, 0));
    List.Add(Kept);
    List.Add(new TTracked(Log, 2));
    List.Delete(0);
    EXPECT_EQ(Log, std::vector<int>{0});
    EXPECT_EQ(List.Extract(Kept), Kept);
    EXPECT_EQ(Log, std::vector<int>{0});
    EXPECT_EQ(List.ItemAs<TTracked>(0), List.Items(0));
    delete Kept;
    EXPECT_EQ(Log, (std::vector<int>{0, 1}));
}

TEST(SelTextCount, CountsCharactersButNotPlaceholders)
{
    SelTextCount C;
    EXPECT_EQ(C.Terminate(), 0);
    C.AddTextCR("abc", 3);
    EXPECT_EQ(C.Terminate(), 5);
    C.AddText("a\x04"
              "b\x02",
              4);
    EXPECT_EQ(C.Terminate(), 7);
    // Two-byte and three-byte characters count once each.
    C.AddText("\xC3\xA9\xE2\x82\xAC", 5);
    EXPECT_EQ(C.Terminate(), 9);
    C.AddText("ignored past count", 0);
    EXPECT_EQ(C.Terminate(), 9);
}

TEST(UrlTarget, AssignReplacesOnlyWhatIsGiven)
{
    TUrlTarget T;
    EXPECT_TRUE(T.URL.empty());
    EXPECT_TRUE(T.Target.empty());
    std::string Url = "a.htm", Target = "main", Other = "side";
    T.Assign(&Url, nullptr);
    EXPECT_EQ(T.URL, "a.htm");
    EXPECT_EQ(T.Target, "");
    T.Assign(nullptr, &Target);
    EXPECT_EQ(T.URL, "a.htm");
    EXPECT_EQ(T.Target, "main");
    TUrlTarget Copy;
    Copy.Copy(T);
    T.Clear();
    EXPECT_TRUE(T.URL.empty() && T.Target.empty());
    EXPECT_EQ(Copy.URL, "a.htm");
    EXPECT_EQ(Copy.Target, "main");
    Copy.Assign(nullptr, &Other);
    EXPECT_EQ(Copy.Target, "side");
}

TEST(AllocRec, GivesZeroedBlocksSmallAndLarge)
{
    for (std::size_t Size :
         {std::size_t(0), std::size_t(100), std::size_t(65279), std::size_t(65280), std::size_t(1) << 20}) {
        AllocRec Block(Size);
        EXPECT_EQ(Block.Size(), Size);
        ASSERT_NE(Block.Ptr(), nullptr);
        auto* Bytes = static_cast<unsigned char*>(Block.Ptr());
        if (Size) {
            EXPECT_EQ(Bytes[0], 0);
            EXPECT_EQ(Bytes[Size - 1], 0);
            Bytes[Size - 1] = 0xFF; // the whole block is writable (checked by the address sanitizer)
        }
    }
}

TEST(AllocRec, HugeRequestRaisesOutOfMemory)
{
    // Asks for more than any machine has; the sanitizers' allocator may abort instead of
    // failing, so only run where the request can fail normally.
#ifndef TW_ASAN
    EXPECT_THROW(AllocRec(std::size_t(1) << 62), EOutOfMemory);
#else
    GTEST_SKIP() << "the address sanitizer aborts on impossible allocations";
#endif
}

TEST(IntMinMax, PickTheRightOne)
{
    EXPECT_EQ(IntMin(-3, 2), -3);
    EXPECT_EQ(IntMax(-3, 2), 2);
    EXPECT_EQ(IntMin(5, 5), 5);
}

struct TrimCase {
    std::string In, Out;
};

TEST(TrimBlanks, DropsControlsAndBlanksAtBothEnds)
{
    const TrimCase Cases[] = {
        {"", ""},
        {"   \t\r\n ", ""},
        {" \x01"
         "a b\x1F ",
         "a b"},
        {"\xC2\xA0x\xC2\xA0", "\xC2\xA0x\xC2\xA0"}, // only bytes up to 32 count as blanks
        {"x", "x"},
    };
    for (const TrimCase& C : Cases)
        EXPECT_EQ(TrimBlanks(C.In), C.Out) << C.In;
}

struct LinkCase {
    const char* In;
    const char* Out;
};

TEST(LinkToDosName, TurnsLinksIntoNativeNames)
{
    const LinkCase Cases[] = {
        {"FILE:///C|/Docs/A.htm", "/Docs/A.htm"},
        {"file://C|/Docs/A.htm", "/Docs/A.htm"},
        {"C:\\Docs\\A.htm", "/Docs/A.htm"},
        {"d:/pages/x.htm", "/pages/x.htm"},
        {"file:///home/user/Page.HTM", "/home/user/Page.HTM"},
        {"images\\logo.gif", "images/logo.gif"},
        {"..\\up\\Page.htm#top", "../up/Page.htm#top"},
        {"sub/page.htm", "sub/page.htm"},
        {"page.htm", "page.htm"},
        {"http://www.example.com/A.htm", "http://www.example.com/A.htm"},
        {"a|b/c", "a|b/c"},
        {"", ""},
    };
    for (const LinkCase& C : Cases)
        EXPECT_EQ(LinkToDosName(C.In), C.Out) << C.In;
}

TEST(LinkToDosName, FileUrlReachesAnExistingFile)
{
    std::string Dir = testing_support::MakeTempDir("links");
    testing_support::WriteFileBytes(Dir + "/Page.htm", "x");
    std::string Name = LinkToDosName("file://" + Dir + "/Page.htm");
    EXPECT_EQ(Name, Dir + "/Page.htm");
    EXPECT_TRUE(FileExists(Name));
    std::string Backslashed = Dir + "\\Page.htm";
    EXPECT_TRUE(FileExists(LinkToDosName(Backslashed)));
}

} // namespace
