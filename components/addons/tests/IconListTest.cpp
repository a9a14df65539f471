#include "components/addons/IconList.h"

#include "platform/graphics/ImageCodecs.h"
#include "platform/rtl/Streams.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

namespace {

// A 16 x 16 icon of one colour (0xRRGGBB).
std::unique_ptr<TIcon> SolidIcon(std::uint32_t Rgb)
{
    TIconImage Face;
    Face.Image.Width = Face.Image.Height = 16;
    Face.Image.BitsPerPixel = 32;
    Face.Image.Pixels.assign(16 * 16, 0xFF000000u | Rgb);
    Face.Mask.assign(16 * 16, 0);
    auto Icon = std::make_unique<TIcon>();
    Icon->SetImage(Face);
    return Icon;
}

std::uint32_t ColourOf(TIcon* Icon)
{
    return Icon->Image().Image.Pixel(3, 3) & 0xFFFFFF;
}

std::string Int32(std::int32_t V)
{
    std::string S(4, '\0');
    for (int I = 0; I < 4; ++I)
        S[std::size_t(I)] = static_cast<char>((static_cast<std::uint32_t>(V) >> (8 * I)) & 0xFF);
    return S;
}

std::string Written(TIconList& List)
{
    TMemoryStream S;
    List.WriteIcons(&S);
    return S.DataString();
}

void ReadBytes(TIconList& List, const std::string& Bytes)
{
    TMemoryStream S;
    S.WriteString(Bytes);
    S.SetPosition(0);
    List.ReadIcons(&S);
}

} // namespace

TEST(IconListTest, RoundTripKeepsAnEmptyMiddleEntry)
{
    TIconList List;
    List.Add(SolidIcon(0xFF0000).get());
    List.SetItem(1, SolidIcon(0x00FF00).get());
    List.Add(SolidIcon(0x0000FF).get());
    List.Delete(1);
    List.Insert(1, nullptr); // an empty icon, stored as an empty entry
    ASSERT_EQ(List.GetCount(), 3);

    const std::string Bytes = Written(List);
    ASSERT_GE(Bytes.size(), 12u);
    EXPECT_EQ(Bytes.substr(0, 4), Int32(3));
    const std::int32_t FirstSize = static_cast<std::int32_t>(static_cast<unsigned char>(Bytes[4]) |
                                                             static_cast<unsigned char>(Bytes[5]) << 8 |
                                                             static_cast<unsigned char>(Bytes[6]) << 16);
    ASSERT_GT(FirstSize, 0);
    EXPECT_EQ(Bytes.substr(8 + std::size_t(FirstSize), 4), Int32(0)); // the middle entry

    TIconList Back;
    int Changes = 0;
    Back.OnChange = [&](TObject*) { ++Changes; };
    ReadBytes(Back, Bytes);
    EXPECT_EQ(Changes, 1); // one change for the whole read
    ASSERT_EQ(Back.GetCount(), 3);
    ASSERT_NE(Back.GetItem(0), nullptr);
    EXPECT_EQ(Back.GetItem(1), nullptr);
    ASSERT_NE(Back.GetItem(2), nullptr);
    EXPECT_EQ(ColourOf(Back.GetItem(0)), 0xFF0000u);
    EXPECT_EQ(ColourOf(Back.GetItem(2)), 0x0000FFu);
    EXPECT_EQ(Written(Back), Bytes);
}

TEST(IconListTest, DamagedStreamsRaiseAndLeaveNoHalfIcon)
{
    TIconList Good;
    Good.Add(SolidIcon(0xFF0000).get());
    const std::string One = Written(Good);
    struct {
        const char* What;
        std::string Bytes;
        int CountAfter;
    } const Cases[] = {
        {"no count", "", 0},
        {"negative count", Int32(-1), 0},
        {"count beyond the data", Int32(2) + One.substr(4), 1},
        {"size beyond the data", Int32(1) + Int32(0x7FFFFFFF), 0},
        {"not an icon", Int32(1) + Int32(4) + "junk", 0},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.What);
        TIconList List;
        List.Add(SolidIcon(0x00FF00).get());
        int Changes = 0;
        List.OnChange = [&](TObject*) { ++Changes; };
        EXPECT_ANY_THROW(ReadBytes(List, C.Bytes));
        EXPECT_EQ(List.GetCount(), C.CountAfter);
        EXPECT_EQ(Changes, 1);               // the update ends even when reading fails
        List.Add(SolidIcon(0x0000FF).get()); // and the list still works
        EXPECT_EQ(Changes, 2);
    }
}

TEST(IconListTest, ChangesAreReportedOnceOutsideUpdates)
{
    TIconList List;
    int Changes = 0;
    List.OnChange = [&](TObject*) { ++Changes; };
    auto Red = SolidIcon(0xFF0000);
    List.Add(Red.get());
    EXPECT_EQ(Changes, 1);
    // The list holds a copy; editing the copy in place reports a change.
    EXPECT_NE(List.GetItem(0), Red.get());
    List.GetItem(0)->Assign(SolidIcon(0x00FF00).get());
    EXPECT_EQ(Changes, 2);
    List.BeginUpdate();
    List.Add(Red.get());
    List.Add(Red.get());
    List.Exchange(0, 2);
    List.Move(0, 1);
    EXPECT_EQ(Changes, 2);
    List.EndUpdate();
    EXPECT_EQ(Changes, 3);
    EXPECT_EQ(ColourOf(List.GetItem(2)), 0x00FF00u);
    List.Clear();
    EXPECT_EQ(Changes, 4);
    EXPECT_EQ(List.GetCount(), 0);
    EXPECT_THROW(List.GetItem(0), EListError);
    EXPECT_THROW(List.SetItem(1, Red.get()), EListError);
    EXPECT_THROW(List.Delete(-1), EListError);
}

TEST(IconListTest, AssignTakesListsIconsAndNil)
{
    TIconList Written3;
    Written3.Add(SolidIcon(0x111111).get());
    Written3.Add(nullptr);
    Written3.Add(SolidIcon(0x333333).get());
    TIconList Source;
    ReadBytes(Source, Written(Written3));
    ASSERT_EQ(Source.GetItem(1), nullptr);
    TIconList List;
    int Changes = 0;
    List.OnChange = [&](TObject*) { ++Changes; };
    List.Assign(&Source);
    EXPECT_EQ(Changes, 1);
    ASSERT_EQ(List.GetCount(), 3);
    EXPECT_NE(List.GetItem(0), Source.GetItem(0));
    EXPECT_EQ(List.GetItem(1), nullptr);
    EXPECT_EQ(ColourOf(List.GetItem(2)), 0x333333u);
    EXPECT_EQ(List.IndexOf(List.GetItem(2)), 2);
    EXPECT_EQ(List.IndexOf(Source.GetItem(2)), -1);

    auto One = SolidIcon(0x444444);
    List.Assign(One.get());
    ASSERT_EQ(List.GetCount(), 1);
    EXPECT_EQ(ColourOf(List.GetItem(0)), 0x444444u);
    List.Assign(nullptr);
    EXPECT_EQ(List.GetCount(), 0);
    TStringList NotIcons;
    EXPECT_ANY_THROW(List.Assign(&NotIcons));
}
