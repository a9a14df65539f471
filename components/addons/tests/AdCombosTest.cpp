#include "components/addons/AdCombos.h"

#include "platform/controls/Forms.h"
#include "platform/graphics/WinGdi.h"
#include "platform/rtl/SysUtils.h"
#include "platform/testing/FormTesting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

class FontComboBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(nullptr);
        Form->SetBounds(100, 100, 300, 200);
        Box = new TFontComboBox(Form);
        Box->SetBounds(10, 10, 200, 22);
        Box->SetParent(Form);
        Box->OnChange = [this](TObject*) { ++Changes; };
        Form->Show();
        ProcessMessages();
    }
    void TearDown() override
    {
        Form->BeforeDestruction();
        delete Form;
    }
    std::vector<std::string> Names() const
    {
        std::vector<std::string> N;
        for (int I = 0; I < Box->Items()->Count(); ++I)
            N.push_back(Box->Items()->Strings(I));
        return N;
    }
    bool Lists(const std::string& Name) const
    {
        const auto N = Names();
        return std::find(N.begin(), N.end(), Name) != N.end();
    }
    TWindowTest Fixture;
    TForm* Form = nullptr;
    TFontComboBox* Box = nullptr;
    int Changes = 0;
};

} // namespace

TEST_F(FontComboBoxTest, ListsTheInstalledFontsSortedAndOnce)
{
    const auto N = Names();
    ASSERT_FALSE(N.empty());
    EXPECT_TRUE(std::is_sorted(N.begin(), N.end(), [](const std::string& A, const std::string& B) {
        return AnsiCompareText(A, B) < 0;
    }));
    EXPECT_EQ(std::set<std::string>(N.begin(), N.end()).size(), N.size());
    for (const char* Want : {"Arial", "Courier New", "MS Sans Serif", "Terminal", "Liberation Sans"})
        EXPECT_TRUE(Lists(Want)) << Want;
    EXPECT_EQ(Box->ItemFontType(Box->Items()->IndexOf("Arial")), TRUETYPE_FONTTYPE);
    EXPECT_EQ(Box->ItemFontType(Box->Items()->IndexOf("MS Sans Serif")), RASTER_FONTTYPE);
    // The printer offers the screen's fonts: both together are each listed once.
    const std::size_t ScreenCount = N.size();
    Box->SetDevice(fdBoth);
    EXPECT_EQ(Names().size(), ScreenCount);
    Box->SetDevice(fdPrinter);
    EXPECT_EQ(Names().size(), ScreenCount);
    EXPECT_EQ(Changes, 0);
}

TEST_F(FontComboBoxTest, EachOptionFiltersTheList)
{
    struct {
        TFontListOptions Options;
        std::vector<const char*> Kept, Hidden;
    } const Cases[] = {
        {{foAnsiOnly}, {"Arial", "MS Sans Serif"}, {"Terminal"}},
        {{foTrueTypeOnly}, {"Arial", "Courier New"}, {"MS Sans Serif", "Terminal", "System"}},
        {{foFixedPitchOnly}, {"Courier New", "Terminal", "Liberation Mono"}, {"Arial", "Times New Roman"}},
        {{foNoOEMFonts}, {"Arial", "Courier"}, {"Terminal"}},
        {{foOEMFontsOnly}, {"Terminal"}, {"Arial", "Courier New"}},
        {{foScalableOnly}, {"Arial", "Times New Roman"}, {"MS Sans Serif", "System"}},
        {{foTrueTypeOnly, foFixedPitchOnly}, {"Courier New"}, {"Arial", "Courier", "Terminal"}},
    };
    for (const auto& C : Cases) {
        Box->SetOptions(C.Options);
        for (const char* K : C.Kept)
            EXPECT_TRUE(Lists(K)) << K;
        for (const char* H : C.Hidden)
            EXPECT_FALSE(Lists(H)) << H;
    }
    // Both OEM options together leave nothing.
    Box->SetOptions({foOEMFontsOnly, foNoOEMFonts});
    EXPECT_EQ(Box->Items()->Count(), 0);
    Box->SetOptions({});
    EXPECT_TRUE(Lists("Terminal"));
    EXPECT_TRUE(Lists("Arial"));
}

TEST_F(FontComboBoxTest, TheFontNameIsMatchedWithoutRegardToCase)
{
    struct {
        std::string Set, Read;
    } const Cases[] = {
        {"arial", "Arial"},
        {"COURIER NEW", "Courier New"},
        {"No Such Font Installed", ""},
        {"Times New Roman", "Times New Roman"},
    };
    for (const auto& C : Cases) {
        Changes = 0;
        Box->SetFontName(C.Set);
        EXPECT_EQ(Box->FontName(), C.Read) << C.Set;
        EXPECT_EQ(Box->ItemIndex() >= 0, !C.Read.empty()) << C.Set;
        EXPECT_EQ(Changes, 1) << C.Set;
    }
    // The same name again is no change.
    Changes = 0;
    Box->SetFontName("Times New Roman");
    EXPECT_EQ(Changes, 0);
    // Reading cuts the name to 31 characters.
    Box->SetItemIndex(Box->Items()->Add(std::string(40, 'x')));
    EXPECT_EQ(Box->FontName(), std::string(31, 'x'));
}

TEST_F(FontComboBoxTest, RefillingKeepsTheChosenFontQuietly)
{
    Box->SetFontName("Arial");
    Changes = 0;
    Box->SetTrueTypeOnly(true);
    EXPECT_TRUE(Box->Options().Contains(foTrueTypeOnly));
    EXPECT_EQ(Box->FontName(), "Arial");
    EXPECT_EQ(Changes, 0);
    // The installed fonts changed.
    SendMessage(Box->Handle(), WM_FONTCHANGE, 0, 0);
    EXPECT_EQ(Box->FontName(), "Arial");
    EXPECT_EQ(Changes, 0);
    // A chosen font the new list lacks: the selection empties and the change is told once.
    Box->SetTrueTypeOnly(false);
    Box->SetFontName("MS Sans Serif");
    Changes = 0;
    Box->SetTrueTypeOnly(true);
    EXPECT_EQ(Box->FontName(), "");
    EXPECT_EQ(Box->ItemIndex(), -1);
    EXPECT_EQ(Changes, 1);
}

TEST_F(FontComboBoxTest, ANameSetBeforeTheWindowSurvivesItsCreation)
{
    TForm Hidden(nullptr);
    auto* Late = new TFontComboBox(&Hidden);
    Late->SetBounds(10, 40, 200, 22);
    Late->SetParent(&Hidden);
    ASSERT_FALSE(Late->HandleAllocated());
    Late->SetFontName("courier new"); // makes the window to find the name in
    EXPECT_TRUE(Late->HandleAllocated());
    EXPECT_EQ(Late->FontName(), "Courier New");
    EXPECT_GT(Late->Items()->Count(), 0);
    // A new window (after a font change) keeps it too, with the item height of the new font.
    const int Before = Late->ItemHeight();
    Late->Font()->SetHeight(-24);
    EXPECT_EQ(Late->FontName(), "Courier New");
    EXPECT_GT(Late->ItemHeight(), Before);
    EXPECT_GE(Before, 11); // the glyph's height - 1 at least
}

TEST_F(FontComboBoxTest, ItemsShowTheirKindsGlyph)
{
    Box->SetFontName("Arial");
    auto Shot = RenderControl(Box);
    // The outline glyph's black stem (column 8 of the glyph, drawn 2 pixels in from the field).
    bool Black = false, Grey = false;
    for (int Y = 0; Y < Box->Height(); ++Y)
        for (int X = 0; X < 18; ++X) {
            const TColor P = PixelAt(Shot.get(), X, Y) & 0xFFFFFF;
            Black = Black || P == 0;
            Grey = Grey || P == RGB(128, 128, 128);
        }
    EXPECT_TRUE(Black);
    EXPECT_TRUE(Grey);
    // A bitmap font has no glyph: nothing grey in the glyph's place.
    Box->SetFontName("MS Sans Serif");
    Shot = RenderControl(Box);
    Grey = false;
    for (int Y = 0; Y < Box->Height(); ++Y)
        for (int X = 0; X < 18; ++X)
            Grey = Grey || (PixelAt(Shot.get(), X, Y) & 0xFFFFFF) == RGB(128, 128, 128);
    EXPECT_FALSE(Grey);
}

TEST(FontListOptions, FilterRulesOnReportedFonts)
{
    LOGFONT Oem;
    Oem.lfCharSet = OEM_CHARSET;
    Oem.lfPitchAndFamily = FIXED_PITCH;
    LOGFONT Ansi;
    Ansi.lfCharSet = ANSI_CHARSET;
    Ansi.lfPitchAndFamily = VARIABLE_PITCH;
    struct {
        const LOGFONT* Font;
        DWORD Type;
        TFontListOptions Options;
        bool Pass;
    } const Cases[] = {
        {&Ansi, TRUETYPE_FONTTYPE, {}, true},
        {&Oem, RASTER_FONTTYPE, {}, true},
        {&Ansi, DEVICE_FONTTYPE, {foTrueTypeOnly}, false},
        {&Ansi, DEVICE_FONTTYPE, {foScalableOnly}, true},
        {&Ansi, RASTER_FONTTYPE | DEVICE_FONTTYPE, {foScalableOnly}, false},
        {&Oem, RASTER_FONTTYPE, {foFixedPitchOnly}, true},
        {&Ansi, TRUETYPE_FONTTYPE, {foFixedPitchOnly}, false},
        {&Oem, RASTER_FONTTYPE, {foAnsiOnly}, false},
        {&Oem, RASTER_FONTTYPE, {foOEMFontsOnly, foNoOEMFonts}, false},
        {&Ansi, TRUETYPE_FONTTYPE, {foOEMFontsOnly, foNoOEMFonts}, false},
    };
    for (std::size_t I = 0; I < std::size(Cases); ++I)
        EXPECT_EQ(FontPassesOptions(*Cases[I].Font, Cases[I].Type, Cases[I].Options), Cases[I].Pass) << I;
}
