#include "platform/classes/FormReader.h"
#include "platform/classes/TypInfo.h"
#include "platform/graphics/Graphics.h"
#include "platform/graphics/Resources.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// A component holding one of each drawing object and graphic, as controls do.
class TDrawingProbe : public TComponent {
public:
    explicit TDrawingProbe(TComponent* AOwner = nullptr) : TComponent(AOwner) {}
    TFont* Font() { return &FFont; }
    TPen* Pen() { return &FPen; }
    TBrush* Brush() { return &FBrush; }
    TBitmap* Glyph() { return &FGlyph; }
    TIcon* Icon() { return &FIcon; }
    TPicture* Picture() { return &FPicture; }

private:
    TFont FFont;
    TPen FPen;
    TBrush FBrush;
    TBitmap FGlyph;
    TIcon FIcon;
    TPicture FPicture;
};

TW_PUBLISH(TDrawingProbe, TComponent)
{
    Cls.Object("Font", &TDrawingProbe::Font);
    Cls.Object("Pen", &TDrawingProbe::Pen);
    Cls.Object("Brush", &TDrawingProbe::Brush);
    Cls.Object("Glyph", &TDrawingProbe::Glyph);
    Cls.Object("Icon", &TDrawingProbe::Icon);
    Cls.Object("Picture", &TDrawingProbe::Picture);
}

namespace {

std::string Form(const std::string& Body)
{
    return "object Probe: TDrawingProbe\n" + Body + "end\n";
}

std::string Hex(const std::string& Bytes)
{
    static const char Digits[] = "0123456789ABCDEF";
    std::string Out;
    for (unsigned char U : Bytes) {
        Out += Digits[U >> 4];
        Out += Digits[U & 15];
    }
    return Out;
}

std::string LE32(std::size_t N)
{
    std::string Out;
    for (int I = 0; I < 4; ++I)
        Out += static_cast<char>((N >> (8 * I)) & 0xFF);
    return Out;
}

// A 3 x 2 bitmap file: the top row red, the bottom row blue.
std::string SmallBmp()
{
    TDibImage Image;
    Image.Width = 3;
    Image.Height = 2;
    Image.Pixels = {0xFFFF0000, 0xFFFF0000, 0xFFFF0000, 0xFF0000FF, 0xFF0000FF, 0xFF0000FF};
    return EncodeBmp(Image, 24);
}

TEST(GraphicsPublish, ConstructorsMatchThePublishedDefaults)
{
    TFont Font;
    TPen Pen;
    TBrush Brush;
    EXPECT_TRUE(PropsDifferingFromDefault(&Font).empty());
    EXPECT_TRUE(PropsDifferingFromDefault(&Pen).empty());
    EXPECT_TRUE(PropsDifferingFromDefault(&Brush).empty());
    EXPECT_EQ(GetEnumValue<TFontStyle>("fsStrikeOut"), 3);
    EXPECT_EQ(GetEnumName(pmNotXor), "pmNotXor");
    EXPECT_EQ(GetEnumName(bsDiagCross), "bsDiagCross");
    EXPECT_EQ(GetEnumName(psInsideFrame), "psInsideFrame");
    EXPECT_EQ(GetEnumName(fpFixed), "fpFixed");
    EXPECT_EQ(FindClassInfo("TFont")->Parent(), FindClassInfo("TGraphicsObject"));
    EXPECT_TRUE(FindClassInfo("TBitmap")->InheritsFrom(FindClassInfo("TGraphic")));
}

TEST(GraphicsPublish, FontPenAndBrushReadAndWriteBack)
{
    const std::string Text = Form("  Font.Charset = 0\n"
                                  "  Font.Color = clRed\n"
                                  "  Font.Height = -15\n"
                                  "  Font.Name = 'Arial'\n"
                                  "  Font.Pitch = fpFixed\n"
                                  "  Font.Style = [fsBold, fsUnderline]\n"
                                  "  Pen.Color = clBtnFace\n"
                                  "  Pen.Mode = pmXor\n"
                                  "  Pen.Style = psDot\n"
                                  "  Pen.Width = 3\n"
                                  "  Brush.Color = $00123456\n"
                                  "  Brush.Style = bsClear\n");
    TDrawingProbe P;
    ReadForm(&P, Text, "probe.form");
    EXPECT_EQ(P.Font()->Charset(), 0);
    EXPECT_EQ(P.Font()->Color(), clRed);
    EXPECT_EQ(P.Font()->Height(), -15);
    EXPECT_EQ(P.Font()->Name(), "Arial");
    EXPECT_EQ(P.Font()->Pitch(), fpFixed);
    EXPECT_EQ(P.Font()->Style(), (TFontStyles{fsBold, fsUnderline}));
    EXPECT_EQ(P.Pen()->Color(), clBtnFace);
    EXPECT_EQ(P.Pen()->Mode(), pmXor);
    EXPECT_EQ(P.Pen()->Style(), psDot);
    EXPECT_EQ(P.Pen()->Width(), 3);
    EXPECT_EQ(P.Brush()->Color(), 0x123456);
    EXPECT_EQ(P.Brush()->Style(), bsClear);

    const std::string Written = WriteForm(&P);
    for (const char* Line : {"  Font.Charset = 0\r\n", "  Font.Color = clRed\r\n", "  Font.Height = -15\r\n",
                             "  Font.Name = 'Arial'\r\n", "  Font.Style = [fsBold, fsUnderline]\r\n",
                             "  Pen.Color = clBtnFace\r\n", "  Brush.Style = bsClear\r\n"})
        EXPECT_NE(Written.find(Line), std::string::npos) << Line << Written;
    // Size is carried by Height; written too it would round -15 to 11 points = -15 again only
    // by luck.
    EXPECT_EQ(Written.find("Font.Size"), std::string::npos) << Written;
    // Brush.Color written after Brush.Style would make the brush solid again.
    EXPECT_LT(Written.find("Brush.Color"), Written.find("Brush.Style")) << Written;

    TDrawingProbe Back;
    ReadForm(&Back, Written, "written.form");
    EXPECT_EQ(WriteForm(&Back), Written);
    EXPECT_EQ(Back.Brush()->Style(), bsClear);
    EXPECT_EQ(Back.Font()->Height(), -15);

    // Nothing but defaults: nothing of them is written.
    TDrawingProbe Plain;
    EXPECT_EQ(WriteForm(&Plain), "object TDrawingProbe\r\nend\r\n");
}

TEST(GraphicsPublish, FontSizeSetsTheHeightInPoints)
{
    TDrawingProbe P;
    ReadForm(&P, Form("  Font.Size = 12\n"), "size.form");
    EXPECT_EQ(P.Font()->Height(), -16);
    EXPECT_EQ(P.Font()->Size(), 12);
}

TEST(GraphicsPublish, GraphicsLoadFromResourcesByName)
{
    enum TWhich { Glyph, Icon, Picture };
    struct TCase {
        const char* Body;
        TWhich Which;
        int Width, Height;
        TColor TopLeft; // of a bitmap; clNone: not a bitmap
    } Cases[] = {
        // A BMP and a PNG under res/BITMAP, a PNG under res/RCDATA, an icon under res/ICON.
        {"  Glyph = 'TW_GLYPHBMP'\n", Glyph, 4, 2, clRed},
        {"  Glyph = 'tw_glyphpng'\n", Glyph, 3, 5, clLime},
        {"  Glyph = 'TW_PICPNG'\n", Glyph, 3, 5, clLime},
        {"  Picture = 'TW_GLYPHBMP'\n", Picture, 4, 2, clRed},
        {"  Picture = 'TW_PICPNG'\n", Picture, 3, 5, clLime},
        {"  Picture = 'MAINICON'\n", Picture, 4, 4, clNone},
        {"  Icon = 'MAINICON'\n", Icon, 4, 4, clNone},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Body);
        TDrawingProbe P;
        ReadForm(&P, Form(C.Body), "res.form");
        TGraphic* G = C.Which == Glyph  ? static_cast<TGraphic*>(P.Glyph())
                      : C.Which == Icon ? static_cast<TGraphic*>(P.Icon())
                                        : P.Picture()->Graphic();
        ASSERT_NE(G, nullptr);
        EXPECT_EQ(G->Width(), C.Width);
        EXPECT_EQ(G->Height(), C.Height);
        EXPECT_EQ(dynamic_cast<TIcon*>(G) != nullptr, C.TopLeft == clNone);
        if (auto* B = dynamic_cast<TBitmap*>(G); B && C.TopLeft != clNone)
            EXPECT_EQ(B->Canvas()->Pixels(0, 0), C.TopLeft);
    }

    // An empty name empties the graphic.
    TDrawingProbe P;
    ReadForm(&P, Form("  Glyph = 'TW_GLYPHBMP'\n  Picture = 'MAINICON'\n"), "res.form");
    ReadForm(&P, Form("  Glyph = ''\n  Picture = ''\n"), "res.form");
    EXPECT_TRUE(P.Glyph()->Empty());
    EXPECT_EQ(P.Picture()->Graphic(), nullptr);
}

TEST(GraphicsPublish, GraphicLoadedByNameFiresItsChange)
{
    TDrawingProbe P;
    int Changes = 0;
    P.Glyph()->OnChange = [&](TObject*) { ++Changes; };
    ReadForm(&P, Form("  Glyph = 'TW_GLYPHBMP'\n"), "res.form");
    EXPECT_GE(Changes, 1); // owners (a button's glyph list) learn of the new image
}

TEST(GraphicsPublish, MissingOrBrokenResourceIsAFormError)
{
    const std::string Junk = "not an image";
    RegisterResource(ResourceType::Bitmap, "TW_JUNKBMP", Junk.data(), Junk.size());
    struct TCase {
        const char* Body;
        const char* Word;
        const char* Problem;
    } Cases[] = {
        {"  Glyph = 'SB_NOSUCH'\n", "SB_NOSUCH", "Image resource not found"},
        {"  Picture = 'SB_NOSUCH'\n", "SB_NOSUCH", "Image resource not found"},
        {"  Icon = 'SB_NOSUCH'\n", "SB_NOSUCH", "Image resource not found"},
        {"  Icon = 'TW_GLYPHBMP'\n", "TW_GLYPHBMP", "Image resource not found"}, // a bitmap is no icon
        {"  Glyph = 'TW_JUNKBMP'\n", "TW_JUNKBMP", nullptr},
        {"  Font = 'Arial'\n", "Arial", "Invalid property value"}, // a font takes no string
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Body);
        TDrawingProbe P;
        try {
            ReadForm(&P, Form("  Tag = 1\n" + std::string(C.Body)), "Unit1.form");
            ADD_FAILURE() << "accepted";
        } catch (const EFormError& E) {
            EXPECT_EQ(E.FormName(), "Unit1.form");
            EXPECT_EQ(E.Line(), 3);
            EXPECT_EQ(E.Word(), C.Word);
            if (C.Problem)
                EXPECT_EQ(E.Problem(), C.Problem);
            EXPECT_NE(E.Message().find("Unit1.form, line 3: "), std::string::npos) << E.Message();
        }
        EXPECT_TRUE(P.Glyph()->Empty());
    }
    UnregisterResource(ResourceType::Bitmap, "TW_JUNKBMP");
}

TEST(GraphicsPublish, InlineDataOfBitmapsIconsAndPictures)
{
    const std::string Bmp = SmallBmp();
    const std::string Ico = ResourceBytes(ResourceType::Icon, "MAINICON").Bytes();
    const std::string Text = Form("  Glyph.Data = {" + Hex(LE32(Bmp.size()) + Bmp) +
                                  "}\n"
                                  "  Icon.Data = {\n    " +
                                  Hex(Ico) +
                                  "}\n"
                                  "  Picture.Data = {" +
                                  Hex("\x07TBitmap" + LE32(Bmp.size()) + Bmp) + "}\n");
    TDrawingProbe P;
    ReadForm(&P, Text, "data.form");
    EXPECT_EQ(P.Glyph()->Width(), 3);
    EXPECT_EQ(P.Glyph()->Height(), 2);
    EXPECT_EQ(P.Glyph()->Canvas()->Pixels(0, 0), clRed);
    EXPECT_EQ(P.Glyph()->Canvas()->Pixels(2, 1), clBlue);
    EXPECT_EQ(P.Icon()->Width(), 4);
    ASSERT_NE(dynamic_cast<TBitmap*>(P.Picture()->Graphic()), nullptr);
    EXPECT_EQ(P.Picture()->Bitmap()->Canvas()->Pixels(1, 1), clBlue);

    // A bare file without the size in front, as older descriptions have it.
    TDrawingProbe Bare;
    ReadForm(&Bare,
             Form("  Glyph.Data = {" + Hex(Bmp) + "}\n  Picture.Data = {05" + Hex("TIcon" + Ico) + "}\n"),
             "bare.form");
    EXPECT_EQ(Bare.Glyph()->Width(), 3);
    ASSERT_NE(dynamic_cast<TIcon*>(Bare.Picture()->Graphic()), nullptr);
    EXPECT_EQ(Bare.Picture()->Width(), 4);
}

TEST(GraphicsPublish, GraphicsSurviveWriteAndReadBack)
{
    TDrawingProbe P;
    ReadForm(&P, Form("  Glyph = 'TW_GLYPHPNG'\n  Icon = 'MAINICON'\n  Picture = 'TW_GLYPHBMP'\n"),
             "res.form");
    const std::string Written = WriteForm(&P);
    EXPECT_NE(Written.find("  Glyph.Data = {\r\n"), std::string::npos) << Written;
    EXPECT_NE(Written.find("  Picture.Data = {\r\n    07544269746D6170"), std::string::npos) << Written;

    TDrawingProbe Back;
    ReadForm(&Back, Written, "written.form");
    EXPECT_EQ(Back.Glyph()->Width(), 3);
    EXPECT_EQ(Back.Glyph()->Height(), 5);
    EXPECT_EQ(Back.Glyph()->Canvas()->Pixels(2, 4), clLime);
    EXPECT_EQ(Back.Icon()->Width(), 4);
    ASSERT_NE(dynamic_cast<TBitmap*>(Back.Picture()->Graphic()), nullptr);
    EXPECT_EQ(Back.Picture()->Bitmap()->Canvas()->Pixels(0, 0), clRed);
    EXPECT_EQ(Back.Picture()->Bitmap()->Canvas()->Pixels(3, 1), clBlue);
    EXPECT_EQ(WriteForm(&Back), Written);

    // An empty picture and glyph write nothing.
    TDrawingProbe Empty;
    EXPECT_EQ(WriteForm(&Empty).find("Data"), std::string::npos);
}

TEST(GraphicsPublish, TruncatedDataIsAnErrorWithItsLine)
{
    const std::string Bmp = SmallBmp();
    const std::vector<std::string> Bodies = {
        "  Glyph.Data = {0A000000424D}\n",                                      // size beyond the data
        "  Glyph.Data = {0102}\n",                                              // not even the size
        "  Glyph.Data = {" + Hex(LE32(30) + Bmp.substr(0, 30)) + "}\n",         // the file cut short
        "  Glyph.Data = {" + Hex(LE32(Bmp.size()) + Bmp.substr(0, 20)) + "}\n", // size says more
        "  Picture.Data = {07544269}\n",                                        // class name cut
        "  Picture.Data = {07" + Hex("TBitmap") + "}\n",                        // nothing after it
        "  Picture.Data = {00}\n",                                              // no class name
        "  Picture.Data = {07" + Hex("TBitmap" + LE32(Bmp.size()) + Bmp.substr(0, 40)) + "}\n",
        "  Picture.Data = {05" + Hex("TIcon") + "000001}\n",
        "  Picture.Data = {04" + Hex("TFoo") + "01020304}\n", // an unknown class with junk
        "  Icon.Data = {00000100010010}\n",
    };
    for (const std::string& Body : Bodies) {
        SCOPED_TRACE(Body);
        TDrawingProbe P;
        try {
            ReadForm(&P, Form("  Tag = 2\n" + Body), "cut.form");
            ADD_FAILURE() << "accepted";
        } catch (const Exception& E) {
            EXPECT_EQ(E.Message().rfind("cut.form, line 3: ", 0), 0u) << E.Message();
        }
        EXPECT_EQ(P.Picture()->Graphic(), nullptr);
    }
}

} // namespace

namespace {

// Every prefix of good data either reads or raises, never reads past the end (the sanitizers
// watch) nor leaves a half-made graphic behind.
TEST(GraphicsPublish, EveryCutOfGoodDataReadsOrRaises)
{
    const std::string Bmp = SmallBmp();
    const std::string Ico = ResourceBytes(ResourceType::Icon, "MAINICON").Bytes();
    const std::string Pictures[] = {"\x07TBitmap" + LE32(Bmp.size()) + Bmp, "\x05TIcon" + Ico};
    for (const std::string& Data : Pictures)
        for (std::size_t N = 0; N <= Data.size(); ++N) {
            TPicture Picture;
            const TPropInfo* Prop = GetPropInfo(&Picture, "Data");
            ASSERT_NE(Prop, nullptr);
            try {
                Prop->SetStr(&Picture, Data.substr(0, N));
            } catch (const Exception&) {
                EXPECT_EQ(Picture.Graphic(), nullptr) << N;
                continue;
            }
            if (N == Data.size())
                EXPECT_EQ(Prop->GetStr(&Picture), Data);
        }
}

} // namespace
