// Private bridge between the GDI layer and Qt, for other platform .cpp files only (the window
// model paints windows through it, the printer wraps its painter with it).
//
// A DC draws either into a QImage (a window's backing store, an offscreen image, a bitmap) with
// every raster operation exact, or through a QPainter already active on some other device (a
// printer or PDF writer), where raster operations that need the destination's pixels degrade to
// plain copies and fills.
#pragma once

#include "platform/graphics/WinGdi.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QPoint>
#include <QRegion>

namespace gdi {

// Colour conversion. PALETTEINDEX colours need a DC to resolve; here they give black.
QColor ToQColor(COLORREF Color);
COLORREF FromQColor(const QColor& Color);
// 0xFFRRGGBB, the pixel value of the colour on an RGB32 surface.
QRgb ToQRgb(COLORREF Color);

// A DC drawing into Image (not owned: it must outlive the DC or be detached with
// SetDCImage(DC, nullptr) first). Image must be Format_RGB32 or Format_ARGB32_Premultiplied
// (null is returned for any other format, and SetDCImage ignores one).
// Origin is the image pixel that is the DC's device point (0, 0) (a window's client origin);
// Clip, in device coordinates, is the visible part (empty: all of the image). The DC starts with
// the platform's defaults (black text on white, opaque, SYSTEM_FONT, BLACK_PEN, WHITE_BRUSH) and
// is freed with DeleteDC.
HDC CreateImageDC(QImage* Image, QPoint Origin = QPoint(), const QRegion& Clip = QRegion());
// Re-points a DC at another image (the backing store was resized), keeping its state.
void SetDCImage(HDC DC, QImage* Image);
void SetDCOrigin(HDC DC, QPoint Origin);
// The system clip (the window's visible region), device coordinates; empty: none.
void SetDCSystemClip(HDC DC, const QRegion& Clip);
// The same, but an empty region means nothing is visible (a window hidden behind others).
void SetDCVisibleRegion(HDC DC, const QRegion& Visible);
// Back to the defaults a freshly got window DC has (objects, colours, modes, origins, clip).
void ResetDCState(HDC DC);

// What GetDeviceCaps reports for a painter DC.
struct TDeviceCaps {
    int Width = 0, Height = 0; // printable area in device pixels
    int DpiX = 96, DpiY = 96;
    int BitsPixel = 24;
    int Technology = DT_RASPRINTER;
    int PhysicalWidth = 0, PhysicalHeight = 0; // whole page in device pixels
    int OffsetX = 0, OffsetY = 0;              // printable area's offset on the page
};
// A DC drawing through Painter (not owned, already active; the caller handles pages and end).
HDC CreatePainterDC(QPainter* Painter, const TDeviceCaps& Caps);

// What a DC draws into. ImageOf is null for painter DCs and DCs without a surface; PainterOf is
// null for image DCs (their painters live only for one call).
QImage* ImageOf(HDC DC);
QPainter* PainterOf(HDC DC);
QPoint OriginOf(HDC DC);
// Everything the DC may currently touch, in image pixels (surface bounds, system clip and
// application clip together).
QRegion VisibleRegionOf(HDC DC);

// Bitmaps. The image of a bitmap is Format_RGB32; a monochrome bitmap holds only 0xFF000000
// and 0xFFFFFFFF. Writing into the image changes the bitmap.
QImage* BitmapImage(HBITMAP Bitmap);
bool IsMonochromeBitmap(HBITMAP Bitmap);
// A new colour bitmap holding Image (converted to RGB32; alpha is dropped), or a monochrome one
// (pixels at least half bright become white).
HBITMAP CreateBitmapFromImage(const QImage& Image, bool Monochrome = false);

// The Qt font a GDI font handle stands for (after the face-name mapping, at its pixel size).
QFont QFontOf(HFONT Font);
// The face a LOGFONT face name maps to ("Arial" -> "Liberation Sans" ...).
QString MappedFamily(const char* FaceName, BYTE PitchAndFamily);

QRegion QRegionOf(HRGN Region);
HRGN CreateRgnFromQRegion(const QRegion& Region);

// The screen size GetDeviceCaps(HORZRES/VERTRES) reports (the window layer sets it).
void SetScreenSize(int Width, int Height);

// A Qt palette built from the fixed system colour table, for the Qt widgets the layer wraps.
QPalette ClassicPalette();

} // namespace gdi
