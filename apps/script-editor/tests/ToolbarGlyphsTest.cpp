#include "apps/script-editor/Main.h"
#include "apps/script-editor/WendleStartup.h"
#include "platform/testing/AppTesting.h"
#include "platform/testing/TestSupport.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace testing_support;

namespace {

TColor Rgb(TColor Color)
{
    return ColorToRGB(Color) & 0xFFFFFF;
}

class ToolbarGlyphsTest : public ::testing::Test {
protected:
    ToolbarGlyphsTest()
    {
        SetProgramName("wendle");
        RunUnitStartups();
        CreateProgramForms();
        Frame = MainForm;
        Frame->Show();
        ProcessMessages();
    }
    TAppTest Fixture;
    TMainForm* Frame = nullptr;
};

} // namespace

// With no document open the document commands are disabled: their glyphs show embossed in the
// two greys; every other button with a glyph or a caption shows it in its own colours.
TEST_F(ToolbarGlyphsTest, EveryButtonShowsItsGlyphOrCaption)
{
    const std::set<std::string> DocumentCommands{"Cut", "Copy1", "Paste", "Save"};
    const TColor Face = Rgb(clBtnFace), Light = Rgb(clBtnHighlight), Shadow = Rgb(clBtnShadow);
    int Checked = 0;
    for (int I = 0; I < Frame->ComponentCount(); ++I) {
        auto* B = dynamic_cast<TToolbarButton*>(Frame->Components(I));
        if (!B || (B->Glyph()->Empty() && B->Caption().empty()))
            continue;
        SCOPED_TRACE(B->Name());
        ++Checked;
        auto Image = RenderControl(B);
        int Grey = 0, Coloured = 0;
        for (int Y = 1; Y < B->Height() - 1; ++Y)
            for (int X = 1; X < B->Width() - 1; ++X) {
                const TColor P = PixelAt(Image.get(), X, Y) & 0xFFFFFF;
                Grey += P == Shadow;
                Coloured += P != Face && P != Light && P != Shadow;
            }
        if (DocumentCommands.count(B->Name())) {
            EXPECT_FALSE(B->Enabled());
            EXPECT_GT(Grey, 0);
            EXPECT_EQ(Coloured, 0);
        } else {
            EXPECT_GT(Coloured, 0);
        }
    }
    EXPECT_EQ(Checked, 42 + 4);
}
