// DCs over Qt images: the device origin and system clip a window DC gets, and the bridge
// helpers the window layer and the printer use.
#include "platform/qt/GdiSurface.h"
#include "platform/graphics/WinGdi.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>

#include <cstring>
#include <string>

namespace {

TEST(GdiSurface, ImageDcWithOriginAndSystemClip)
{
    QImage Image(20, 10, QImage::Format_RGB32);
    Image.fill(Qt::white);
    // The client area starts at (5, 2) of the image and only its left 6 columns are visible.
    HDC Dc = gdi::CreateImageDC(&Image, QPoint(5, 2), QRegion(0, 0, 6, 100));
    ASSERT_NE(Dc, nullptr);
    RECT R{0, 0, 10, 1};
    FillRect(Dc, &R, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(Image.pixel(4, 2), qRgb(255, 255, 255));
    EXPECT_EQ(Image.pixel(5, 2), qRgb(0, 0, 0));
    EXPECT_EQ(Image.pixel(10, 2), qRgb(0, 0, 0));
    EXPECT_EQ(Image.pixel(11, 2), qRgb(255, 255, 255)); // outside the system clip
    EXPECT_EQ(GetPixel(Dc, 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(Dc, 7, 0), CLR_INVALID);
    RECT Box;
    GetClipBox(Dc, &Box);
    EXPECT_EQ(Box.left, 0);
    EXPECT_EQ(Box.right, 6);
    EXPECT_EQ(Box.bottom, 8); // the image ends 8 rows below the origin
    POINT Org;
    GetDCOrgEx(Dc, &Org);
    EXPECT_EQ(Org.x, 5);
    EXPECT_EQ(gdi::ImageOf(Dc), &Image);
    EXPECT_EQ(gdi::OriginOf(Dc), QPoint(5, 2));

    // Text through the bridge lands inside the visible part only.
    SetBkMode(Dc, TRANSPARENT);
    TextOut(Dc, 0, 3, "WWWW", 4);
    for (int Y = 0; Y < 10; ++Y)
        for (int X = 11; X < 20; ++X)
            ASSERT_EQ(Image.pixel(X, Y), qRgb(255, 255, 255));
    gdi::SetDCVisibleRegion(Dc, QRegion());
    EXPECT_EQ(SetPixel(Dc, 0, 0, RGB(255, 0, 0)), CLR_INVALID);
    gdi::SetDCSystemClip(Dc, QRegion());
    EXPECT_EQ(SetPixel(Dc, 12, 0, RGB(255, 0, 0)), RGB(255, 0, 0));
    gdi::ResetDCState(Dc);
    QImage Wrong(4, 4, QImage::Format_RGB888);
    EXPECT_EQ(gdi::CreateImageDC(&Wrong), nullptr);
    gdi::SetDCImage(Dc, &Wrong);
    EXPECT_EQ(gdi::ImageOf(Dc), &Image);
    EXPECT_EQ(GetBkMode(Dc), OPAQUE);
    DeleteDC(Dc);
}

TEST(GdiSurface, BitmapsAndColoursCrossTheBridge)
{
    QImage Image(2, 1, QImage::Format_ARGB32);
    Image.setPixel(0, 0, qRgba(10, 20, 30, 255));
    Image.setPixel(1, 0, qRgba(250, 250, 250, 255));
    HBITMAP Colour = gdi::CreateBitmapFromImage(Image);
    HBITMAP Mono = gdi::CreateBitmapFromImage(Image, true);
    EXPECT_FALSE(gdi::IsMonochromeBitmap(Colour));
    EXPECT_TRUE(gdi::IsMonochromeBitmap(Mono));
    EXPECT_EQ(gdi::BitmapImage(Colour)->pixel(0, 0), qRgb(10, 20, 30));
    EXPECT_EQ(gdi::BitmapImage(Mono)->pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(gdi::BitmapImage(Mono)->pixel(1, 0), qRgb(255, 255, 255));
    EXPECT_EQ(gdi::ToQColor(RGB(1, 2, 3)), QColor(1, 2, 3));
    EXPECT_EQ(gdi::FromQColor(QColor(4, 5, 6)), RGB(4, 5, 6));
    EXPECT_EQ(gdi::ToQRgb(PALETTERGB(7, 8, 9)), qRgb(7, 8, 9));
    EXPECT_EQ(gdi::MappedFamily("arial", 0), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(gdi::MappedFamily("Courier", 0), QStringLiteral("Liberation Mono"));
    EXPECT_EQ(gdi::MappedFamily("Unknown Face", FF_ROMAN), QStringLiteral("Liberation Serif"));
    HRGN Rgn = gdi::CreateRgnFromQRegion(QRegion(1, 1, 3, 3));
    EXPECT_TRUE(PtInRegion(Rgn, 2, 2));
    EXPECT_EQ(gdi::QRegionOf(Rgn), QRegion(1, 1, 3, 3));
    EXPECT_EQ(gdi::ClassicPalette().color(QPalette::Button), QColor(192, 192, 192));
    // The application's palette is the same fixed scheme, whatever the desktop's theme.
    GetStockObject(WHITE_BRUSH);
    const QPalette App = QGuiApplication::palette();
    EXPECT_EQ(App.color(QPalette::Active, QPalette::Window), QColor(192, 192, 192));
    EXPECT_EQ(App.color(QPalette::Active, QPalette::Highlight), QColor(0, 0, 128));
    EXPECT_EQ(App.color(QPalette::Active, QPalette::ToolTipBase), QColor(255, 255, 225));
    EXPECT_EQ(App.color(QPalette::Disabled, QPalette::Text), QColor(128, 128, 128));
    for (HGDIOBJ O : {Colour, Mono, Rgn})
        DeleteObject(O);
}

TEST(GdiSurface, PainterDcDrawsThroughThePainter)
{
    QImage Page(50, 50, QImage::Format_RGB32);
    Page.fill(Qt::white);
    QPainter Painter(&Page);
    gdi::TDeviceCaps Caps;
    Caps.Width = 50;
    Caps.Height = 50;
    Caps.DpiX = Caps.DpiY = 300;
    HDC Dc = gdi::CreatePainterDC(&Painter, Caps);
    EXPECT_EQ(GetDeviceCaps(Dc, LOGPIXELSX), 300);
    EXPECT_EQ(GetDeviceCaps(Dc, TECHNOLOGY), DT_RASPRINTER);
    EXPECT_EQ(GetDeviceCaps(Dc, HORZRES), 50);
    RECT R{10, 10, 20, 20};
    FillRect(Dc, &R, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    Rectangle(Dc, 30, 30, 40, 40);
    TextOut(Dc, 0, 0, "x", 1);
    DeleteDC(Dc);
    Painter.end();
    EXPECT_EQ(Page.pixel(15, 15), qRgb(0, 0, 0));
    EXPECT_EQ(Page.pixel(30, 35), qRgb(0, 0, 0));
    EXPECT_EQ(Page.pixel(25, 25), qRgb(255, 255, 255));
}

// Unsmoothed text on an image DC is copied from glyph masks made once per font; it must come out
// exactly as the painter draws it, with every clip, background and style.
TEST(GdiSurface, TextOnAnImageMatchesThePaintersText)
{
    struct TCase {
        const char* Face;
        int Height, Weight;
        bool Italic, Underline, StrikeOut;
        const char* Text;
    } Cases[] = {
        {"Courier New", -13, FW_BOLD, false, false, false, "<a href=\"x.html\">Chapter 12</a> &nbsp;"},
        {"Arial", -16, FW_NORMAL, true, true, false, "Wavy fjord, qu\xC3\xA9 pas? {[|]} 0123"},
        {"Times New Roman", -24, FW_NORMAL, false, false, true, "AVA Tj ff \xE2\x82\xAC 9"},
        {"MS Sans Serif", -11, FW_NORMAL, false, false, false, "tab\there\x01, CJK \xE4\xB8\x80 end"},
    };
    const int W = 420, H = 60;
    for (const TCase& C : Cases) {
        for (int Variant = 0; Variant < 3; ++Variant) {
            SCOPED_TRACE(std::string(C.Face) + " variant " + std::to_string(Variant));
            LOGFONT Lf;
            Lf.lfHeight = C.Height;
            Lf.lfWeight = C.Weight;
            Lf.lfItalic = C.Italic;
            Lf.lfUnderline = C.Underline;
            Lf.lfStrikeOut = C.StrikeOut;
            Lf.lfQuality = NONANTIALIASED_QUALITY;
            std::strncpy(Lf.lfFaceName, C.Face, LF_FACESIZE - 1);
            HFONT Font = CreateFontIndirect(&Lf);
            HRGN Clip = CreateRectRgn(0, 0, W, 25);
            HRGN Second = CreateRectRgn(60, 25, 200, H);
            CombineRgn(Clip, Clip, Second, RGN_OR);
            auto Draw = [&](HDC Dc) {
                SelectObject(Dc, Font);
                SetTextColor(Dc, RGB(200, 30, 40));
                SetBkColor(Dc, RGB(250, 240, 100));
                SetBkMode(Dc, Variant == 1 ? TRANSPARENT : OPAQUE);
                if (Variant == 2)
                    SelectClipRgn(Dc, Clip);
                const RECT Box{30, 5, 300, 50};
                ExtTextOut(Dc, 3, 2, Variant == 0 ? ETO_CLIPPED : 0, &Box, C.Text,
                           static_cast<UINT>(std::strlen(C.Text)), nullptr);
                ExtTextOut(Dc, -5, 30, 0, nullptr, C.Text, static_cast<UINT>(std::strlen(C.Text)), nullptr);
            };
            QImage Direct(W, H, QImage::Format_RGB32), Painted(W, H, QImage::Format_RGB32);
            Direct.fill(0xFF2060A0u);
            Painted.fill(0xFF2060A0u);
            HDC ImageDc = gdi::CreateImageDC(&Direct);
            Draw(ImageDc);
            DeleteDC(ImageDc);
            {
                QPainter Painter(&Painted);
                gdi::TDeviceCaps Caps;
                Caps.Width = W;
                Caps.Height = H;
                Caps.DpiX = Caps.DpiY = 96;
                HDC PainterDc = gdi::CreatePainterDC(&Painter, Caps);
                Draw(PainterDc);
                DeleteDC(PainterDc);
            }
            int Differ = 0, Inked = 0;
            for (int Y = 0; Y < H; ++Y)
                for (int X = 0; X < W; ++X) {
                    Differ += Direct.pixel(X, Y) != Painted.pixel(X, Y);
                    Inked += Direct.pixel(X, Y) == qRgb(200, 30, 40);
                }
            EXPECT_EQ(Differ, 0);
            EXPECT_GT(Inked, 50);
            DeleteObject(Second);
            DeleteObject(Clip);
            DeleteObject(Font);
        }
    }
}

} // namespace
