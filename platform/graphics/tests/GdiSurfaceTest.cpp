// DCs over Qt images: the device origin and system clip a window DC gets, and the bridge
// helpers the window layer and the printer use.
#include "platform/qt/GdiSurface.h"
#include "platform/graphics/WinGdi.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>

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

} // namespace
