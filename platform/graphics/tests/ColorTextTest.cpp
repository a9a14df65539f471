#include "platform/graphics/ColorText.h"

#include <gtest/gtest.h>

// The red byte is the lowest of a colour value but comes first in the text.
TEST(ColorTextTest, SixUpperCaseDigitsRedGreenBlue)
{
    struct TCase {
        TColor Color;
        const char* Text;
    } Cases[] = {
        {static_cast<TColor>(0x0000FF), "FF0000"},
        {static_cast<TColor>(0x00C0FF), "FFC000"},
        {clBlack, "000000"},
        {clWhite, "FFFFFF"},
        {static_cast<TColor>(0x0A0B0C), "0C0B0A"},
        {static_cast<TColor>(0xABCDEF), "EFCDAB"},
    };
    for (const TCase& C : Cases)
        EXPECT_EQ(ColorToHexText(C.Color), C.Text) << std::hex << C.Color;
}

TEST(ColorTextTest, SystemColourGivesTheColourItStandsFor)
{
    const std::string T = ColorToHexText(clBtnFace);
    EXPECT_EQ(T.size(), 6u);
    EXPECT_EQ(T, ColorToHexText(ColorToRGB(clBtnFace)));
}
