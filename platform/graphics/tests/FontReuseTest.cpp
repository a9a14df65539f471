// A font created again with the same description reuses what was built the first time: it must
// measure, report and draw exactly like one built from nothing.
#include "platform/graphics/WinGdi.h"
#include "platform/graphics/tests/GdiTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct TFontCase {
    const char* Face;
    int Height;
    int Width;
    int Weight;
    BYTE Italic;
    BYTE Underline;
    BYTE Quality;
};

const TFontCase FontCases[] = {
    {"Arial", -13, 0, FW_NORMAL, 0, 0, NONANTIALIASED_QUALITY},
    {"Arial", -9, 0, FW_BOLD, 1, 0, DEFAULT_QUALITY},
    {"Times New Roman", -16, 0, FW_NORMAL, 0, 1, NONANTIALIASED_QUALITY},
    {"Times New Roman", 20, 0, FW_NORMAL, 1, 0, ANTIALIASED_QUALITY}, // a cell height
    {"Courier New", -13, 0, FW_BOLD, 0, 0, NONANTIALIASED_QUALITY},
    {"Tahoma", -11, 0, FW_NORMAL, 0, 0, DEFAULT_QUALITY},
    {"Verdana", -24, 9, FW_NORMAL, 0, 0, NONANTIALIASED_QUALITY}, // a width asked for
    {"No Such Face", -14, 0, 600, 0, 0, NONANTIALIASED_QUALITY},
    {"", 0, 0, FW_DONTCARE, 0, 0, DEFAULT_QUALITY},
};

const char* const Texts[] = {
    "The quick brown fox jumps over the lazy dog 0123456789",
    "<td class=\"x\">&nbsp;{}[]()|\\/~`!@#$%^&*_+-=;:'\",.?</td>",
    "caf\xC3\xA9 na\xC3\xAFve \xC3\x9F\xC3\xB8\xC3\xA5",
    "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xCE\xB1\xCE\xB2\xCE\xB3",
    "\xE3\x81\x82\xE3\x81\x84 \xE2\x82\xAC \xE2\x80\x94 \xF0\x9F\x98\x80",
    "bad \x80\xC3 bytes\xE2\x82",
    "tab\there\r\nline",
    "",
};

// Orientation plays no part in how a font is built, so a unique value gets a font built afresh.
LOGFONT Describe(const TFontCase& C, int Orientation)
{
    LOGFONT Lf;
    Lf.lfHeight = C.Height;
    Lf.lfWidth = C.Width;
    Lf.lfWeight = C.Weight;
    Lf.lfItalic = C.Italic;
    Lf.lfUnderline = C.Underline;
    Lf.lfQuality = C.Quality;
    Lf.lfOrientation = Orientation;
    std::strncpy(Lf.lfFaceName, C.Face, LF_FACESIZE - 1);
    return Lf;
}

// Everything measurable about a font, plus the pixels of each text drawn with it.
struct TFontFacts {
    TEXTMETRIC Metric{};
    std::vector<int> CharWidths;
    std::vector<std::vector<int>> Extents; // per text: Dx of every byte, then the total
    std::vector<std::vector<unsigned char>> Pixels;
};

std::vector<long> MetricFields(const TEXTMETRIC& M)
{
    return {M.tmHeight,       M.tmAscent,       M.tmDescent,        M.tmInternalLeading, M.tmExternalLeading,
            M.tmAveCharWidth, M.tmMaxCharWidth, M.tmWeight,         M.tmOverhang,        M.tmItalic,
            M.tmUnderlined,   M.tmStruckOut,    M.tmPitchAndFamily, M.tmCharSet};
}

TFontFacts Probe(const LOGFONT& Lf)
{
    TFontFacts Out;
    TTestSurface S(420, 40);
    HFONT Font = CreateFontIndirect(&Lf);
    HGDIOBJ Old = SelectObject(S.Dc, Font);
    GetTextMetrics(S.Dc, &Out.Metric);
    Out.CharWidths.resize(0x250);
    GetCharWidth32(S.Dc, 0, 0x24F, Out.CharWidths.data());
    SetBkMode(S.Dc, TRANSPARENT);
    for (const char* T : Texts) {
        const int N = int(std::strlen(T));
        std::vector<int> Dx(std::size_t(N) + 1);
        SIZE Size{};
        GetTextExtentExPoint(S.Dc, T, N, 0, nullptr, Dx.data(), &Size);
        Dx[std::size_t(N)] = Size.cx;
        Out.Extents.push_back(Dx);
        S.Clear(RGB(255, 255, 255));
        TextOut(S.Dc, 3, 5, T, N);
        std::vector<unsigned char> Px(std::size_t(S.Width) * S.Height * 4);
        Px.resize(std::size_t(std::max<LONG>(0, GetBitmapBits(S.Bitmap, LONG(Px.size()), Px.data()))));
        Out.Pixels.push_back(std::move(Px));
    }
    SelectObject(S.Dc, Old);
    DeleteObject(Font);
    return Out;
}

TEST(FontReuse, ReusedFontMeasuresAndDrawsLikeAFreshOne)
{
    int Orientation = 7919;
    for (const TFontCase& C : FontCases) {
        SCOPED_TRACE(std::string(C.Face) + " " + std::to_string(C.Height));
        const TFontFacts Fresh = Probe(Describe(C, ++Orientation));
        const TFontFacts Again = Probe(Describe(C, Orientation)); // same description: reused
        EXPECT_EQ(MetricFields(Fresh.Metric), MetricFields(Again.Metric));
        EXPECT_EQ(Fresh.CharWidths, Again.CharWidths);
        EXPECT_EQ(Fresh.Extents, Again.Extents);
        ASSERT_FALSE(Fresh.Pixels[0].empty());
        EXPECT_TRUE(Fresh.Pixels == Again.Pixels);
        // A whole ASCII text is the sum of its characters' advances.
        const std::string T = Texts[0];
        int Sum = 0;
        for (char Ch : T)
            Sum += Fresh.CharWidths[std::size_t(static_cast<unsigned char>(Ch))];
        EXPECT_EQ(Fresh.Extents[0].back(), Sum);
    }
}

TEST(FontReuse, FontsDifferingInOneFieldStayApart)
{
    TFontCase Base = {"Arial", -13, 0, FW_NORMAL, 0, 0, NONANTIALIASED_QUALITY};
    const TFontFacts Plain = Probe(Describe(Base, 0));
    TFontCase Bold = Base;
    Bold.Weight = FW_BOLD;
    TFontCase Larger = Base;
    Larger.Height = -14;
    TFontCase Other = Base;
    Other.Face = "Courier New";
    for (const TFontCase& C : {Bold, Larger, Other})
        EXPECT_NE(Probe(Describe(C, 0)).Extents[0].back(), Plain.Extents[0].back()) << C.Face;
    // Asking again for the plain one after the others still gives the plain one.
    EXPECT_EQ(Probe(Describe(Base, 0)).Extents, Plain.Extents);
}

} // namespace
