#include "platform/graphics/Resources.h"
#include "platform/graphics/ResourceCheck.h"
#include "platform/testing/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

// The test program embeds tests/data/res through tw_add_resources.
namespace {

std::string Fixture(const std::string& Name)
{
    return testing_support::ReadFileBytes(std::string(TW_TEST_DATA_DIR) + "/graphics/tests/data/images/" +
                                          Name);
}

TEST(ResourcesTest, IdentifiersAreNamesOrNumbers)
{
    EXPECT_TRUE(TResourceId(1001).IsNumber());
    EXPECT_EQ(TResourceId("#1001"), TResourceId(1001));
    EXPECT_EQ(TResourceId("1001"), TResourceId(1001));
    EXPECT_EQ(TResourceId("ad_HandCur"), TResourceId("AD_HANDCUR"));
    EXPECT_EQ(TResourceId("ad_HandCur").Name(), "AD_HANDCUR");
    EXPECT_FALSE(TResourceId("#10a").IsNumber());
    EXPECT_FALSE(TResourceId("99999999999").IsNumber()); // beyond int: a name, not a wrapped number
    EXPECT_EQ(TResourceId(7).ToString(), "7");
}

TEST(ResourcesTest, CompiledInResourcesByNameAndNumber)
{
    TIconImage cursor = LoadResourceCursor("AD_HANDCUR");
    EXPECT_TRUE(cursor.IsCursor);
    EXPECT_EQ(cursor.HotSpotX, 1);
    EXPECT_EQ(cursor.HotSpotY, 2);
    EXPECT_EQ(cursor.Image.Width, 4);
    EXPECT_EQ(LoadResourceCursor("ad_handcur").HotSpotY, 2);

    for (TResourceId id : {TResourceId(1001), TResourceId("#1001"), TResourceId("1001")}) {
        TDibImage bmp = LoadResourceBitmap(id);
        EXPECT_EQ(bmp.Width, 3);
        EXPECT_EQ(bmp.BitsPerPixel, 4);
    }
    // A file stem in mixed case is found in any case.
    EXPECT_EQ(LoadResourceBitmap("FEDITBMP").BitsPerPixel, 1);
    EXPECT_EQ(LoadResourceBitmap("feditbmp").BitsPerPixel, 1);

    EXPECT_EQ(LoadResourceIcon("MainIcon").Image.Width, 4);
    EXPECT_EQ(LoadResourceIcon("MainIcon", 2, 2).Image.Width, 2);

    EXPECT_EQ(LoadResourceForm("TForm1"), "object Form1: TForm1\n  Caption = 'Form1'\nend\n");
    EXPECT_EQ(ResourceBytes("rcdata", "BLOB").Bytes(), std::string("A\0B\0\xFF", 5));

    std::vector<TResourceId> bitmaps = ResourceIds(ResourceType::Bitmap);
    ASSERT_GE(bitmaps.size(), 2u);
    EXPECT_EQ(bitmaps[0], TResourceId(1001)); // numbers before names
}

TEST(ResourcesTest, StringTables)
{
    EXPECT_EQ(LoadResString(1), "First");
    EXPECT_EQ(LoadResString(42), "Answer\twith tab");
    EXPECT_EQ(LoadResString(65535), "Last\nline");
    std::string out = "untouched";
    EXPECT_FALSE(FindResourceString(7, out));
    EXPECT_EQ(out, "untouched");
    EXPECT_EQ(LoadResString(7), "");

    RegisterStringTable("\xEF\xBB\xBF"
                        "500=a\\\\b\r\n501=x=y\r\n; 502=comment\r\nnot=a number\r\n");
    EXPECT_EQ(LoadResString(500), "a\\b");
    EXPECT_EQ(LoadResString(501), "x=y");
    EXPECT_FALSE(FindResourceString(502, out));
}

TEST(ResourcesTest, MissingResourcesRaiseResNotFound)
{
    EXPECT_FALSE(ResourceExists(ResourceType::Bitmap, "NOPE"));
    // Type matters: the cursor is no bitmap.
    EXPECT_FALSE(ResourceExists(ResourceType::Bitmap, "AD_HANDCUR"));
    EXPECT_TRUE(ResourceExists("cursor", "AD_HANDCUR"));
    try {
        LoadResourceBitmap("nope");
        ADD_FAILURE();
    } catch (const EResNotFound& e) {
        EXPECT_EQ(e.Message(), "Resource NOPE not found");
    }
    EXPECT_THROW(LoadResourceCursor(1003), EResNotFound);
    EXPECT_THROW(LoadResourceForm("TNoSuchForm"), EResNotFound);
}

TEST(ResourcesTest, RunTimeRegistrationCopiesReplacesAndRemoves)
{
    std::string bytes = Fixture("rgb24.bmp");
    RegisterResource(ResourceType::Bitmap, 4242, bytes.data(), bytes.size());
    bytes.assign(bytes.size(), 'x'); // the registry holds its own copy
    TResourceData first = ResourceBytes(ResourceType::Bitmap, 4242);
    EXPECT_EQ(LoadResourceBitmap(4242).Width, 3);

    std::string other = Fixture("mono1.bmp");
    RegisterResource(ResourceType::Bitmap, 4242, other.data(), other.size());
    EXPECT_EQ(LoadResourceBitmap(4242).BitsPerPixel, 1);
    EXPECT_EQ(first.View().substr(0, 2), "BM"); // an earlier lookup stays readable

    EXPECT_TRUE(UnregisterResource(ResourceType::Bitmap, 4242));
    EXPECT_FALSE(UnregisterResource(ResourceType::Bitmap, 4242));
    EXPECT_THROW(LoadResourceBitmap(4242), EResNotFound);
}

TEST(ResourcesTest, ACompiledInNameGivenTwiceIsReportedAndTheFirstKept)
{
    // What the program holds is sound: the start of a program passes.
    EXPECT_NO_THROW(CheckResourceNames());
    static const char First[] = "first", Second[] = "second", Number[] = "n";
    RegisterStaticResource("RCDATA", TResourceId("TW_DUP"), First, 5);
    RegisterStaticResource("rcdata", TResourceId("tw_dup"), Second, 6); // names ignore case
    RegisterStaticResource("RCDATA", 77, Number, 1);
    RegisterStaticResource("RCDATA", TResourceId("#77"), Number, 1);
    EXPECT_EQ(ResourceBytes("RCDATA", TResourceId("TW_DUP")).Bytes(), "first");
    try {
        CheckResourceNames();
        ADD_FAILURE() << "no error";
    } catch (const EDuplicateResource& E) {
        EXPECT_EQ(E.Message(), "Duplicate resources in the program: RCDATA TW_DUP, RCDATA 77");
    }
    // A run-time registration still replaces: only compiled-in resources can clash.
    RegisterResource("RCDATA", TResourceId("TW_DUP"), Second, 6);
    EXPECT_EQ(ResourceBytes("RCDATA", TResourceId("TW_DUP")).Bytes(), "second");
    EXPECT_TRUE(UnregisterResource("RCDATA", TResourceId("TW_DUP")));
    EXPECT_TRUE(UnregisterResource("RCDATA", 77));
    EXPECT_NO_THROW(CheckResourceNames());
}

TEST(ResourcesTest, BitmapResourcesMayBeBareDibsButNotJunk)
{
    std::string bmp = Fixture("pal8.bmp");
    RegisterResource(ResourceType::Bitmap, "BAREDIB", bmp.data() + 14, bmp.size() - 14);
    EXPECT_EQ(LoadResourceBitmap("BAREDIB").Width, 3);

    RegisterResource(ResourceType::Bitmap, "JUNK", "junk", 4);
    EXPECT_THROW(LoadResourceBitmap("JUNK"), EInvalidGraphic);
    RegisterResource(ResourceType::Cursor, "JUNK", "junk", 4);
    EXPECT_THROW(LoadResourceCursor("JUNK"), EInvalidGraphic);
    UnregisterResource(ResourceType::Bitmap, "BAREDIB");
    UnregisterResource(ResourceType::Bitmap, "JUNK");
    UnregisterResource(ResourceType::Cursor, "JUNK");
}

} // namespace
