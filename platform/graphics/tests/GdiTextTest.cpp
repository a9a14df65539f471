// Fonts and text: the face mapping, metrics that are the same on every run, measuring that adds
// up, drawn pixels that agree with the measure, and DrawText's formatting rules.
#include "platform/graphics/WinGdi.h"
#include "platform/graphics/tests/GdiTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

const COLORREF White = RGB(255, 255, 255);
const COLORREF Black = RGB(0, 0, 0);

HFONT MakeFont(const char* Face, int Height, int Weight = FW_NORMAL, BYTE Quality = DEFAULT_QUALITY)
{
    LOGFONT Lf;
    Lf.lfHeight = Height;
    Lf.lfWeight = Weight;
    Lf.lfQuality = Quality;
    std::strncpy(Lf.lfFaceName, Face, LF_FACESIZE - 1);
    return CreateFontIndirect(&Lf);
}

// A surface with a font selected; releases both.
struct TTextSurface : TTestSurface {
    HFONT Font;
    HGDIOBJ OldFont;
    TTextSurface(int W, int H, const char* Face, int Height, BYTE Quality = NONANTIALIASED_QUALITY)
        : TTestSurface(W, H), Font(MakeFont(Face, Height, FW_NORMAL, Quality))
    {
        OldFont = SelectObject(Dc, Font);
    }
    ~TTextSurface()
    {
        SelectObject(Dc, OldFont);
        DeleteObject(Font);
    }
    SIZE Extent(const std::string& S)
    {
        SIZE Sz{};
        GetTextExtentPoint32(Dc, S.data(), int(S.size()), &Sz);
        return Sz;
    }
};

TEST(Fonts, MetricsAreFixedForTheMappedFaces)
{
    // Known values for the faces the program uses; they must not move between runs or machines
    // that have the project's fonts installed.
    struct {
        const char* Face;
        int Height;
        LONG H, Ascent, Descent, Internal, Ave;
        int HelloWidth;
    } Cases[] = {
        {"Arial", -13, 15, 12, 3, 2, 6, 71},       {"Times New Roman", -16, 17, 14, 3, 1, 6, 79},
        {"Courier New", -13, 15, 11, 4, 2, 8, 96}, {"MS Sans Serif", -11, 12, 10, 2, 1, 5, 57},
        {"Terminal", -12, 14, 10, 4, 2, 7, 84},
    };
    for (const auto& C : Cases) {
        TTextSurface S(4, 4, C.Face, C.Height);
        TEXTMETRIC Tm;
        ASSERT_TRUE(GetTextMetrics(S.Dc, &Tm));
        const int Hello = S.Extent("Hello, World").cx;
        EXPECT_EQ(Tm.tmHeight, C.H) << C.Face;
        EXPECT_EQ(Tm.tmAscent, C.Ascent) << C.Face;
        EXPECT_EQ(Tm.tmDescent, C.Descent) << C.Face;
        EXPECT_EQ(Tm.tmInternalLeading, C.Internal) << C.Face;
        EXPECT_EQ(Tm.tmAveCharWidth, C.Ave) << C.Face;
        EXPECT_EQ(Hello, C.HelloWidth) << C.Face;
        EXPECT_EQ(Tm.tmHeight, Tm.tmAscent + Tm.tmDescent);
        EXPECT_EQ(Tm.tmInternalLeading, Tm.tmHeight + C.Height); // em = -Height
        EXPECT_EQ(Tm.tmOverhang, 0);
    }
}

TEST(Fonts, SameFontSameNumbers)
{
    TEXTMETRIC A, B;
    SIZE Sa, Sb;
    {
        TTextSurface S(4, 4, "Times New Roman", -15);
        GetTextMetrics(S.Dc, &A);
        Sa = S.Extent("The quick brown fox jumps over the lazy dog");
    }
    {
        TTextSurface S(4, 4, "times new roman", -15); // names compare without regard to case
        GetTextMetrics(S.Dc, &B);
        Sb = S.Extent("The quick brown fox jumps over the lazy dog");
    }
    for (auto F : {&TEXTMETRIC::tmHeight, &TEXTMETRIC::tmAscent, &TEXTMETRIC::tmDescent,
                   &TEXTMETRIC::tmInternalLeading, &TEXTMETRIC::tmExternalLeading,
                   &TEXTMETRIC::tmAveCharWidth, &TEXTMETRIC::tmMaxCharWidth, &TEXTMETRIC::tmWeight})
        EXPECT_EQ(A.*F, B.*F);
    EXPECT_EQ(A.tmPitchAndFamily, B.tmPitchAndFamily);
    EXPECT_EQ(Sa.cx, Sb.cx);
    EXPECT_EQ(Sa.cy, A.tmHeight);
}

TEST(Fonts, PositiveHeightIsTheCellNegativeTheEm)
{
    for (int H : {12, 16, 20, 33}) {
        TTextSurface Cell(4, 4, "Arial", H), Em(4, 4, "Arial", -H);
        TEXTMETRIC Tc, Te;
        GetTextMetrics(Cell.Dc, &Tc);
        GetTextMetrics(Em.Dc, &Te);
        EXPECT_LE(Tc.tmHeight, H);
        EXPECT_GE(Tc.tmHeight, H - 2);
        EXPECT_EQ(Te.tmHeight - Te.tmInternalLeading, H);
        EXPECT_GT(Te.tmHeight, Tc.tmHeight);
    }
}

TEST(Fonts, FaceNamesAndPitch)
{
    TTextSurface Mono(4, 4, "Courier New", -13);
    EXPECT_EQ(Mono.Extent("iiii").cx, Mono.Extent("WWWW").cx);
    TEXTMETRIC Tm;
    GetTextMetrics(Mono.Dc, &Tm);
    EXPECT_EQ(Tm.tmPitchAndFamily & TMPF_FIXED_PITCH, 0); // clear means fixed
    EXPECT_EQ(Tm.tmPitchAndFamily & 0xF0, FF_MODERN);
    char Face[LF_FACESIZE];
    EXPECT_EQ(GetTextFace(Mono.Dc, sizeof Face, Face), 11);
    EXPECT_STREQ(Face, "Courier New");

    TTextSurface Sans(4, 4, "Arial", -13);
    EXPECT_LT(Sans.Extent("iiii").cx, Sans.Extent("WWWW").cx);
    GetTextMetrics(Sans.Dc, &Tm);
    EXPECT_NE(Tm.tmPitchAndFamily & TMPF_FIXED_PITCH, 0);
    // An unknown face falls back by pitch: still a usable font.
    TTextSurface Unknown(4, 4, "No Such Face 123", -13);
    EXPECT_GT(Unknown.Extent("abc").cx, 0);
}

TEST(Text, ExtentsAddUpWithoutKerning)
{
    TTextSurface S(4, 4, "Arial", -16);
    EXPECT_EQ(S.Extent("Hello").cx + S.Extent(" World").cx, S.Extent("Hello World").cx);
    EXPECT_EQ(S.Extent("A").cx + S.Extent("V").cx, S.Extent("AV").cx);
    EXPECT_EQ(S.Extent("To").cx, S.Extent("T").cx + S.Extent("o").cx);
    EXPECT_EQ(S.Extent("").cx, 0);
    SetTextCharacterExtra(S.Dc, 2);
    EXPECT_EQ(S.Extent("abc").cx, S.Extent("a").cx + S.Extent("b").cx + S.Extent("c").cx);
    SetTextCharacterExtra(S.Dc, 0);

    // Fit and per-byte extents; a two-byte character fits whole or not at all.
    const std::string Text = "ab\xC3\xA9"
                             "cd"; // a b e-acute c d
    int Fit = -1;
    std::vector<int> Dx(Text.size());
    SIZE Sz;
    const int UpToE = S.Extent("ab\xC3\xA9").cx;
    ASSERT_TRUE(GetTextExtentExPoint(S.Dc, Text.data(), int(Text.size()), UpToE, &Fit, Dx.data(), &Sz));
    EXPECT_EQ(Fit, 4);
    EXPECT_EQ(Dx[2], UpToE);
    EXPECT_EQ(Dx[3], UpToE);
    EXPECT_EQ(Dx.back(), Sz.cx);
    ASSERT_TRUE(GetTextExtentExPoint(S.Dc, Text.data(), int(Text.size()), UpToE - 1, &Fit, nullptr, &Sz));
    EXPECT_EQ(Fit, 2);
    // Broken UTF-8 measures byte by byte instead of failing.
    EXPECT_GT(S.Extent("a\xFF\xC3").cx, S.Extent("a").cx);
}

TEST(Text, DrawnPixelsAgreeWithTheMeasure)
{
    TTextSurface S(120, 30, "Arial", -16);
    TEXTMETRIC Tm;
    GetTextMetrics(S.Dc, &Tm);
    const std::string Line = "Hello World";
    ASSERT_TRUE(TextOut(S.Dc, 3, 4, Line.data(), int(Line.size())));
    const RECT Ink = S.InkBox();
    const SIZE Sz = S.Extent(Line);
    ASSERT_GT(Ink.right, Ink.left);
    EXPECT_GE(Ink.left, 3);
    EXPECT_LE(Ink.right, 3 + Sz.cx + 1);
    EXPECT_GE(Ink.right, 3 + Sz.cx - 3);
    EXPECT_GE(Ink.top, 4);
    EXPECT_LE(Ink.bottom, 4 + Tm.tmHeight);
    // Non-antialiased text is pure text colour on the background.
    EXPECT_EQ(S.Count(White) + S.Count(Black), 120 * 30);

    // A run drawn alone lands exactly where it lands inside its line.
    TTextSurface Parts(120, 30, "Arial", -16);
    TextOut(Parts.Dc, 3, 4, "Hello", 5);
    TextOut(Parts.Dc, 3 + Parts.Extent("Hello").cx, 4, " World", 6);
    for (int Y = 0; Y < 30; ++Y)
        ASSERT_EQ(Parts.Row(Y), S.Row(Y)) << Y;
}

TEST(Text, MonochromeSurfacesStayBlackAndWhite)
{
    TTestSurface S(60, 20, true);
    HFONT Smooth = MakeFont("Arial", -16, FW_NORMAL, ANTIALIASED_QUALITY);
    SelectObject(S.Dc, Smooth);
    SetTextColor(S.Dc, RGB(200, 30, 30)); // maps to the nearer of black and white
    SetBkMode(S.Dc, TRANSPARENT);
    TextOut(S.Dc, 1, 1, "Mask", 4);
    EXPECT_GT(S.Count(Black), 10);
    EXPECT_EQ(S.Count(Black) + S.Count(White), 60 * 20);
    SelectObject(S.Dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(Smooth);
}

TEST(Text, AlignmentModes)
{
    TTextSurface Ref(80, 40, "Arial", -16);
    TEXTMETRIC Tm;
    GetTextMetrics(Ref.Dc, &Tm);
    const int W = Ref.Extent("Mug").cx;
    TextOut(Ref.Dc, 10, 10, "Mug", 3);
    struct {
        UINT Align;
        int X, Y;
    } Cases[] = {
        {TA_BASELINE | TA_LEFT, 10, 10 + Tm.tmAscent},
        {TA_BOTTOM | TA_LEFT, 10, 10 + Tm.tmHeight},
        {TA_TOP | TA_RIGHT, 10 + W, 10},
        {TA_TOP | TA_CENTER, 10 + W / 2, 10},
    };
    for (const auto& C : Cases) {
        TTextSurface S(80, 40, "Arial", -16);
        SetTextAlign(S.Dc, C.Align);
        TextOut(S.Dc, C.X, C.Y, "Mug", 3);
        if (C.Align & TA_CENTER && W % 2)
            continue; // an odd width cannot centre on a pixel
        for (int Y = 0; Y < 40; ++Y)
            ASSERT_EQ(S.Row(Y), Ref.Row(Y)) << C.Align;
    }
    TTextSurface Cp(80, 40, "Arial", -16);
    SetTextAlign(Cp.Dc, TA_UPDATECP);
    MoveToEx(Cp.Dc, 10, 10, nullptr);
    TextOut(Cp.Dc, 0, 0, "Mu", 2);
    TextOut(Cp.Dc, 0, 0, "g", 1);
    POINT P;
    GetCurrentPositionEx(Cp.Dc, &P);
    EXPECT_EQ(P.x, 10 + W);
    for (int Y = 0; Y < 40; ++Y)
        ASSERT_EQ(Cp.Row(Y), Ref.Row(Y));
}

TEST(Text, BackgroundAndClipping)
{
    const COLORREF Bk = RGB(0, 0, 255);
    TTextSurface S(80, 30, "Arial", -16);
    TEXTMETRIC Tm;
    GetTextMetrics(S.Dc, &Tm);
    SetBkColor(S.Dc, Bk);
    const int W = S.Extent("Fill").cx;
    TextOut(S.Dc, 5, 5, "Fill", 4); // opaque is the default
    EXPECT_EQ(S.Count(Bk) + S.Count(Black), W * Tm.tmHeight);
    const RECT Ink = S.InkBox();
    EXPECT_EQ(Ink.left, 5);
    EXPECT_EQ(Ink.right, 5 + W);
    EXPECT_EQ(Ink.bottom, 5 + Tm.tmHeight);

    S.Clear(White);
    SetBkMode(S.Dc, TRANSPARENT);
    TextOut(S.Dc, 5, 5, "Fill", 4);
    EXPECT_EQ(S.Count(Bk), 0);

    // ETO_OPAQUE fills the rectangle, ETO_CLIPPED keeps the ink inside it.
    S.Clear(White);
    RECT R{5, 5, 5 + W / 2, 5 + Tm.tmHeight};
    ExtTextOut(S.Dc, 5, 5, ETO_OPAQUE | ETO_CLIPPED, &R, "Fill", 4, nullptr);
    const RECT Clipped = S.InkBox();
    EXPECT_EQ(Clipped.left, 5);
    EXPECT_EQ(Clipped.right, 5 + W / 2);
    EXPECT_GT(S.Count(Black), 0);

    // Dx places each character.
    S.Clear(White);
    const int Dx[] = {20, 20, 20};
    ExtTextOut(S.Dc, 0, 0, 0, nullptr, "iii", 3, Dx);
    EXPECT_GE(S.InkBox().right, 40);
}

struct TCalc {
    int Width, Height, Result;
};
TCalc Calc(HDC Dc, const std::string& Text, UINT Format, int Width = 1000)
{
    RECT R{0, 0, Width, 0};
    const int H = DrawText(Dc, Text.data(), int(Text.size()), &R, Format | DT_CALCRECT);
    return TCalc{R.right - R.left, R.bottom - R.top, H};
}

TEST(DrawTextTest, MeasuringAndPrefixes)
{
    TTextSurface S(4, 4, "MS Sans Serif", -11);
    TEXTMETRIC Tm;
    GetTextMetrics(S.Dc, &Tm);
    const TCalc One = Calc(S.Dc, "File", DT_SINGLELINE);
    EXPECT_EQ(One.Width, S.Extent("File").cx);
    EXPECT_EQ(One.Height, Tm.tmHeight);
    EXPECT_EQ(One.Result, Tm.tmHeight);
    EXPECT_EQ(Calc(S.Dc, "&File", DT_SINGLELINE).Width, S.Extent("File").cx);
    EXPECT_EQ(Calc(S.Dc, "&File", DT_SINGLELINE | DT_NOPREFIX).Width, S.Extent("&File").cx);
    EXPECT_EQ(Calc(S.Dc, "Fish && Chips", DT_SINGLELINE).Width, S.Extent("Fish & Chips").cx);
    EXPECT_EQ(Calc(S.Dc, "", 0).Height, Tm.tmHeight);
    EXPECT_EQ(Calc(S.Dc, "", 0).Width, 0);
    EXPECT_EQ(Calc(S.Dc, "one\r\ntwo\nthree", 0).Height, 3 * Tm.tmHeight);
    EXPECT_EQ(Calc(S.Dc, "one\r\ntwo\nthree", 0).Width, S.Extent("three").cx);
    EXPECT_EQ(Calc(S.Dc, "one\r\ntwo", DT_SINGLELINE).Height, Tm.tmHeight);
    EXPECT_EQ(Calc(S.Dc, "a\tb", DT_EXPANDTABS | DT_SINGLELINE).Width,
              8 * Tm.tmAveCharWidth + S.Extent("b").cx);
    EXPECT_EQ(Calc(S.Dc, "x", DT_EXTERNALLEADING).Height, Tm.tmHeight + Tm.tmExternalLeading);
}

TEST(DrawTextTest, WordWrapping)
{
    TTextSurface S(4, 4, "Arial", -13);
    TEXTMETRIC Tm;
    GetTextMetrics(S.Dc, &Tm);
    const std::string Text = "one two three";
    const int TwoWords = S.Extent("one two").cx;
    struct {
        int Width;
        int Lines;
        int WantWidth;
    } Cases[] = {
        {1000, 1, S.Extent(Text).cx},
        {TwoWords, 2, TwoWords},                 // "one two" / "three"
        {TwoWords - 1, 3, S.Extent("three").cx}, // one word a line
        {5, 3, S.Extent("three").cx},            // words longer than the line stay whole
    };
    for (const auto& C : Cases) {
        const TCalc R = Calc(S.Dc, Text, DT_WORDBREAK, C.Width);
        EXPECT_EQ(R.Height, C.Lines * Tm.tmHeight) << C.Width;
        EXPECT_EQ(R.Width, C.WantWidth) << C.Width;
    }
    // Line breaks in the text still break; blanks at a wrap point vanish.
    EXPECT_EQ(Calc(S.Dc, "one\r\ntwo three", DT_WORDBREAK, TwoWords).Height, 3 * Tm.tmHeight);
    const TCalc Blanks = Calc(S.Dc, "one      two", DT_WORDBREAK, S.Extent("one   ").cx);
    EXPECT_EQ(Blanks.Height, 2 * Tm.tmHeight);
    EXPECT_EQ(Blanks.Width, std::max(S.Extent("one").cx, S.Extent("two").cx));
}

TEST(DrawTextTest, PlacementClippingAndUnderline)
{
    TTextSurface S(100, 40, "Arial", -13);
    TEXTMETRIC Tm;
    GetTextMetrics(S.Dc, &Tm);
    SetBkMode(S.Dc, TRANSPARENT);
    const int W = S.Extent("ab").cx;
    RECT R{0, 0, 100, 40};
    DrawText(S.Dc, "ab", 2, &R, DT_RIGHT | DT_SINGLELINE);
    const RECT Right = S.InkBox();
    EXPECT_LE(Right.right, 100);
    EXPECT_GE(Right.left, 100 - W);
    S.Clear(White);
    const int Off = DrawText(S.Dc, "ab", 2, &R, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    EXPECT_EQ(Off, (40 - Tm.tmHeight) / 2 + Tm.tmHeight);
    const RECT Centre = S.InkBox();
    EXPECT_GE(Centre.left, (100 - W) / 2);
    EXPECT_LE(Centre.right, (100 - W) / 2 + W + 1);
    EXPECT_GE(Centre.top, (40 - Tm.tmHeight) / 2);
    S.Clear(White);
    DrawText(S.Dc, "ab", 2, &R, DT_BOTTOM | DT_SINGLELINE);
    EXPECT_LE(S.InkBox().bottom, 40);
    EXPECT_GE(S.InkBox().top, 40 - Tm.tmHeight);

    // Clipped to the rectangle unless DT_NOCLIP.
    S.Clear(White);
    RECT Small{0, 0, 4, 40};
    DrawText(S.Dc, "Wide text", 9, &Small, DT_SINGLELINE);
    EXPECT_LE(S.InkBox().right, 4);
    S.Clear(White);
    DrawText(S.Dc, "Wide text", 9, &Small, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_GT(S.InkBox().right, 20);

    // "&F" underlines the F one pixel below the baseline; nothing else changes.
    TTextSurface Plain(100, 40, "Arial", -13), Prefixed(100, 40, "Arial", -13);
    RECT Pr{0, 0, 100, 40};
    DrawText(Plain.Dc, "File", 4, &Pr, DT_SINGLELINE);
    DrawText(Prefixed.Dc, "&File", 5, &Pr, DT_SINGLELINE);
    const int Fw = Plain.Extent("F").cx;
    for (int Y = 0; Y < 40; ++Y) {
        if (Y == Tm.tmAscent + 1) {
            const std::string Want = std::string(std::size_t(Fw), '#');
            EXPECT_EQ(Prefixed.Row(Y).substr(0, std::size_t(Fw)), Want);
            EXPECT_EQ(Prefixed.Row(Y).substr(std::size_t(Fw)), Plain.Row(Y).substr(std::size_t(Fw)));
        } else {
            ASSERT_EQ(Prefixed.Row(Y), Plain.Row(Y)) << Y;
        }
    }
}

TEST(DrawTextTest, EndEllipsisFitsTheLine)
{
    TTextSurface S(4, 4, "Arial", -13);
    const int Max = S.Extent("A long line").cx;
    const TCalc R = Calc(S.Dc, "A long line of text that does not fit", DT_SINGLELINE | DT_END_ELLIPSIS, Max);
    EXPECT_LE(R.Width, Max);
    EXPECT_GT(R.Width, S.Extent("...").cx);
}

int CollectFamily(const LOGFONT* Lf, const TEXTMETRIC*, DWORD, LPARAM Data)
{
    reinterpret_cast<std::vector<std::string>*>(Data)->push_back(Lf->lfFaceName);
    return 1;
}
int StopAtOnce(const LOGFONT*, const TEXTMETRIC*, DWORD, LPARAM Data)
{
    ++*reinterpret_cast<int*>(Data);
    return 0;
}

TEST(Fonts, EnumerationForTheFontBox)
{
    std::vector<std::string> Names;
    EXPECT_EQ(EnumFontFamilies(nullptr, nullptr, CollectFamily, LPARAM(&Names)), 1);
    const std::set<std::string> Unique(Names.begin(), Names.end());
    EXPECT_EQ(Unique.size(), Names.size());
    for (const char* Want : {"Arial", "Times New Roman", "Courier New", "Liberation Sans"})
        EXPECT_TRUE(Unique.count(Want)) << Want;
    std::vector<std::string> Styles;
    EnumFontFamilies(nullptr, "Liberation Sans", CollectFamily, LPARAM(&Styles));
    EXPECT_GE(Styles.size(), 2u);
    int Calls = 0;
    EXPECT_EQ(EnumFontFamilies(nullptr, nullptr, StopAtOnce, LPARAM(&Calls)), 0);
    EXPECT_EQ(Calls, 1);
    LOGFONT Lf;
    Lf.lfCharSet = DEFAULT_CHARSET;
    std::vector<std::string> Ex;
    EnumFontFamiliesEx(nullptr, &Lf, CollectFamily, LPARAM(&Ex), 0);
    EXPECT_EQ(Ex.size(), Names.size());
}

struct TReported {
    DWORD Type = 0;
    BYTE CharSet = 0;
    BYTE Pitch = 0;
    bool Seen = false;
};
int CollectKinds(const LOGFONT* Lf, const TEXTMETRIC*, DWORD Type, LPARAM Data)
{
    auto& Map = *reinterpret_cast<std::map<std::string, TReported>*>(Data);
    Map[Lf->lfFaceName] = TReported{Type, Lf->lfCharSet, BYTE(Lf->lfPitchAndFamily & 3), true};
    return 1;
}

// What the font box filters on: outline or bitmap kind, character set and pitch.
TEST(Fonts, EnumerationReportsKindCharsetAndPitch)
{
    std::map<std::string, TReported> Got;
    EnumFonts(nullptr, nullptr, CollectKinds, LPARAM(&Got));
    struct {
        const char* Face;
        DWORD Type;
        BYTE CharSet;
        BYTE Pitch;
    } const Cases[] = {
        {"Arial", TRUETYPE_FONTTYPE, ANSI_CHARSET, VARIABLE_PITCH},
        {"Courier New", TRUETYPE_FONTTYPE, ANSI_CHARSET, FIXED_PITCH},
        {"MS Sans Serif", RASTER_FONTTYPE, ANSI_CHARSET, VARIABLE_PITCH},
        {"Terminal", RASTER_FONTTYPE, OEM_CHARSET, FIXED_PITCH},
        {"Liberation Mono", TRUETYPE_FONTTYPE, ANSI_CHARSET, FIXED_PITCH},
    };
    for (const auto& C : Cases) {
        const TReported& R = Got[C.Face];
        ASSERT_TRUE(R.Seen) << C.Face;
        EXPECT_EQ(R.Type, C.Type) << C.Face;
        EXPECT_EQ(R.CharSet, C.CharSet) << C.Face;
        EXPECT_EQ(R.Pitch, C.Pitch) << C.Face;
    }
}

} // namespace
