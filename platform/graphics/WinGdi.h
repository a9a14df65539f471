// The graphics device interface subset the program draws with: device contexts over our own
// surfaces, drawing objects, raster operations, regions, palettes as plain data, fonts and text,
// plus the few drawing helpers of the window system (FillRect, DrawText, DrawEdge, system colours).
//
// Conventions:
// - Colours are COLORREF $00BBGGRR. PALETTERGB colours ($02xxxxxx) draw as their RGB value;
//   PALETTEINDEX colours ($01000nnn) resolve through the palette selected into the DC.
// - Strings are UTF-8. Counts passed with a string are byte counts (-1 = up to the NUL where the
//   call allows it). Per-character arrays (lpDx, alpDx) have one entry per BYTE: for a character
//   of several bytes the entries of all its bytes add up to its advance, so code that indexes a
//   string by byte works unchanged and plain ASCII behaves exactly as one entry per character.
// - All calls belong to the GUI thread.
// - Resolution is a fixed 96 pixels per inch; the screen reports 24 bits per pixel.
#pragma once

#include "platform/rtl/Types.h"

#include <cstddef>
#include <cstdint>

// ---------------------------------------------------------------------------------------------
// Colours

constexpr COLORREF RGB(int r, int g, int b)
{
    return COLORREF((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr BYTE GetRValue(COLORREF c)
{
    return BYTE(c & 0xFF);
}
constexpr BYTE GetGValue(COLORREF c)
{
    return BYTE((c >> 8) & 0xFF);
}
constexpr BYTE GetBValue(COLORREF c)
{
    return BYTE((c >> 16) & 0xFF);
}
constexpr COLORREF PALETTERGB(int r, int g, int b)
{
    return 0x02000000u | RGB(r, g, b);
}
constexpr COLORREF PALETTEINDEX(int i)
{
    return 0x01000000u | COLORREF(i & 0xFFFF);
}

constexpr COLORREF CLR_INVALID = 0xFFFFFFFFu;
constexpr int GDI_ERROR = -1;
#define HGDI_ERROR (reinterpret_cast<HGDIOBJ>(std::intptr_t(-1)))

// ---------------------------------------------------------------------------------------------
// Objects

constexpr int OBJ_PEN = 1;
constexpr int OBJ_BRUSH = 2;
constexpr int OBJ_DC = 3;
constexpr int OBJ_METADC = 4;
constexpr int OBJ_PAL = 5;
constexpr int OBJ_FONT = 6;
constexpr int OBJ_BITMAP = 7;
constexpr int OBJ_REGION = 8;
constexpr int OBJ_METAFILE = 9;
constexpr int OBJ_MEMDC = 10;
constexpr int OBJ_EXTPEN = 11;

// Stock objects (GetStockObject); they are never destroyed, DeleteObject on them does nothing.
constexpr int WHITE_BRUSH = 0;
constexpr int LTGRAY_BRUSH = 1;
constexpr int GRAY_BRUSH = 2;
constexpr int DKGRAY_BRUSH = 3;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;
constexpr int HOLLOW_BRUSH = NULL_BRUSH;
constexpr int WHITE_PEN = 6;
constexpr int BLACK_PEN = 7;
constexpr int NULL_PEN = 8;
constexpr int OEM_FIXED_FONT = 10;
constexpr int ANSI_FIXED_FONT = 11;
constexpr int ANSI_VAR_FONT = 12;
constexpr int SYSTEM_FONT = 13;
constexpr int DEVICE_DEFAULT_FONT = 14;
constexpr int DEFAULT_PALETTE = 15;
constexpr int SYSTEM_FIXED_FONT = 16;
constexpr int DEFAULT_GUI_FONT = 17;
constexpr int DC_BRUSH = 18;
constexpr int DC_PEN = 19;

HGDIOBJ GetStockObject(int Index);
// Bytes written to Buffer (or needed when Buffer is null); 0 for an invalid handle. Fills
// BITMAP, LOGPEN (EXTLOGPEN for ExtCreatePen pens), LOGBRUSH, LOGFONT, or a WORD entry count for
// a palette.
int GetObject(HGDIOBJ Object, int Size, void* Buffer);
DWORD GetObjectType(HGDIOBJ Object);
DWORD GetObjectType(HDC DC);
BOOL DeleteObject(HGDIOBJ Object);
// Returns the object previously selected of that kind, or null on failure. For a region the
// result is the region type (SIMPLEREGION...) cast to HGDIOBJ, as the platform does.
HGDIOBJ SelectObject(HDC DC, HGDIOBJ Object);
HGDIOBJ GetCurrentObject(HDC DC, UINT ObjectType);
BOOL UnrealizeObject(HGDIOBJ Object);
BOOL GdiFlush();

// ---------------------------------------------------------------------------------------------
// Pens

constexpr int PS_SOLID = 0;
constexpr int PS_DASH = 1;
constexpr int PS_DOT = 2;
constexpr int PS_DASHDOT = 3;
constexpr int PS_DASHDOTDOT = 4;
constexpr int PS_NULL = 5;
constexpr int PS_INSIDEFRAME = 6;
constexpr int PS_USERSTYLE = 7;
constexpr int PS_ALTERNATE = 8;
constexpr int PS_STYLE_MASK = 0x0000000F;
constexpr int PS_ENDCAP_ROUND = 0x00000000;
constexpr int PS_ENDCAP_SQUARE = 0x00000100;
constexpr int PS_ENDCAP_FLAT = 0x00000200;
constexpr int PS_ENDCAP_MASK = 0x00000F00;
constexpr int PS_JOIN_ROUND = 0x00000000;
constexpr int PS_JOIN_BEVEL = 0x00001000;
constexpr int PS_JOIN_MITER = 0x00002000;
constexpr int PS_JOIN_MASK = 0x0000F000;
constexpr int PS_COSMETIC = 0x00000000;
constexpr int PS_GEOMETRIC = 0x00010000;
constexpr int PS_TYPE_MASK = 0x000F0000;

struct LOGPEN {
    UINT lopnStyle = PS_SOLID;
    POINT lopnWidth; // only x is used
    COLORREF lopnColor = 0;
};
struct LOGBRUSH;
struct EXTLOGPEN {
    DWORD elpPenStyle = 0;
    DWORD elpWidth = 0;
    UINT elpBrushStyle = 0;
    COLORREF elpColor = 0;
    std::uintptr_t elpHatch = 0;
    DWORD elpNumEntries = 0;
    DWORD elpStyleEntry[1] = {0};
};
using TLogPen = LOGPEN;

// Width 0 or 1 gives a one-pixel pen. Styled pens (dash, dot) are always one pixel wide, as on
// the platform; a wider styled pen draws solid.
HPEN CreatePen(int Style, int Width, COLORREF Color);
HPEN CreatePenIndirect(const LOGPEN* LogPen);
// Geometric pens honour the end-cap and join bits; PS_ALTERNATE and PS_USERSTYLE cosmetic pens
// set every other pixel / follow StyleLengths (on, off, on, off ... in pixels).
HPEN ExtCreatePen(DWORD Style, DWORD Width, const LOGBRUSH* Brush, DWORD StyleCount,
                  const DWORD* StyleLengths);

// ---------------------------------------------------------------------------------------------
// Brushes

constexpr UINT BS_SOLID = 0;
constexpr UINT BS_NULL = 1;
constexpr UINT BS_HOLLOW = BS_NULL;
constexpr UINT BS_HATCHED = 2;
constexpr UINT BS_PATTERN = 3;
constexpr UINT BS_INDEXED = 4;
constexpr UINT BS_DIBPATTERN = 5;
constexpr UINT BS_DIBPATTERNPT = 6;
constexpr UINT BS_PATTERN8X8 = 7;
constexpr UINT BS_DIBPATTERN8X8 = 8;

constexpr int HS_HORIZONTAL = 0;
constexpr int HS_VERTICAL = 1;
constexpr int HS_FDIAGONAL = 2; // top-left to bottom-right
constexpr int HS_BDIAGONAL = 3; // bottom-left to top-right
constexpr int HS_CROSS = 4;
constexpr int HS_DIAGCROSS = 5;

struct LOGBRUSH {
    UINT lbStyle = BS_SOLID;
    COLORREF lbColor = 0;
    std::uintptr_t lbHatch = 0; // hatch style, or the HBITMAP of a BS_PATTERN brush
};
using TLogBrush = LOGBRUSH;

HBRUSH CreateSolidBrush(COLORREF Color);
HBRUSH CreateBrushIndirect(const LOGBRUSH* LogBrush);
// Hatch lines in Color; the gaps take the DC's background colour in OPAQUE mode and are left
// untouched in TRANSPARENT mode.
HBRUSH CreateHatchBrush(int Hatch, COLORREF Color);
// The brush keeps its own copy of the bitmap (any size; 8x8 is the classic). A monochrome
// pattern draws 0 bits in the DC's text colour and 1 bits in its background colour.
HBRUSH CreatePatternBrush(HBITMAP Bitmap);
// Pattern from a packed DIB (BITMAPINFO followed by its bits).
HBRUSH CreateDIBPatternBrushPt(const void* PackedDib, UINT Usage);
BOOL SetBrushOrgEx(HDC DC, int X, int Y, POINT* Old);
BOOL GetBrushOrgEx(HDC DC, POINT* Org);
COLORREF SetDCBrushColor(HDC DC, COLORREF Color);
COLORREF GetDCBrushColor(HDC DC);
COLORREF SetDCPenColor(HDC DC, COLORREF Color);
COLORREF GetDCPenColor(HDC DC);

// ---------------------------------------------------------------------------------------------
// Bitmaps and device-independent bitmaps

struct BITMAP {
    LONG bmType = 0;
    LONG bmWidth = 0;
    LONG bmHeight = 0;
    LONG bmWidthBytes = 0; // bytes per row, rows padded to 16 bits
    WORD bmPlanes = 1;
    WORD bmBitsPixel = 0; // 1 for monochrome bitmaps, 24 for colour ones (32 for 32-bit DIBs)
    void* bmBits = nullptr;
};
using TBitmapStruct = BITMAP;

constexpr DWORD BI_RGB = 0;
constexpr DWORD BI_RLE8 = 1;
constexpr DWORD BI_RLE4 = 2;
constexpr DWORD BI_BITFIELDS = 3;

struct RGBQUAD {
    BYTE rgbBlue = 0;
    BYTE rgbGreen = 0;
    BYTE rgbRed = 0;
    BYTE rgbReserved = 0;
};
struct BITMAPINFOHEADER {
    DWORD biSize = 40;
    LONG biWidth = 0;
    LONG biHeight = 0; // > 0: bottom-up rows; < 0: top-down rows
    WORD biPlanes = 1;
    WORD biBitCount = 0;
    DWORD biCompression = BI_RGB;
    DWORD biSizeImage = 0;
    LONG biXPelsPerMeter = 0;
    LONG biYPelsPerMeter = 0;
    DWORD biClrUsed = 0;
    DWORD biClrImportant = 0;
};
// Variable length, as on the platform: the colour table (or the three BI_BITFIELDS masks) follows
// the header; allocate sizeof(BITMAPINFOHEADER) + entries * sizeof(RGBQUAD).
struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};
using TBitmapInfoHeader = BITMAPINFOHEADER;
using TBitmapInfo = BITMAPINFO;
using TRGBQuad = RGBQUAD;

constexpr UINT DIB_RGB_COLORS = 0;
constexpr UINT DIB_PAL_COLORS = 1; // colour table holds WORD indices into the DC's palette
constexpr DWORD CBM_INIT = 4;

// Planes * BitsPerPixel == 1 makes a monochrome bitmap; anything else a colour one. Bits (may be
// null) are rows padded to 16 bits, top row first: 1 bpp, or 24/32 bpp as B,G,R(,x).
HBITMAP CreateBitmap(int Width, int Height, UINT Planes, UINT BitsPerPixel, const void* Bits);
HBITMAP CreateBitmapIndirect(const BITMAP* Bitmap);
// Same format as the surface of DC: a memory DC still holding its initial 1x1 monochrome bitmap
// gives a monochrome bitmap, as on the platform. Width or Height 0 gives a 1x1 monochrome bitmap.
HBITMAP CreateCompatibleBitmap(HDC DC, int Width, int Height);
HBITMAP CreateDiscardableBitmap(HDC DC, int Width, int Height);
HBITMAP CreateDIBitmap(HDC DC, const BITMAPINFOHEADER* Header, DWORD Init, const void* Bits,
                       const BITMAPINFO* Info, UINT Usage);
// Bits null: fills Info's header (and colour table when biBitCount is set) and returns the line
// count. Otherwise writes Lines rows starting at DIB row Start (bottom-up rows count from the
// bottom) in Info's format (1, 4, 8, 16, 24 or 32 bpp, BI_RGB). Returns rows copied, 0 on error.
int GetDIBits(HDC DC, HBITMAP Bitmap, UINT Start, UINT Lines, void* Bits, BITMAPINFO* Info, UINT Usage);
int SetDIBits(HDC DC, HBITMAP Bitmap, UINT Start, UINT Lines, const void* Bits, const BITMAPINFO* Info,
              UINT Usage);
int SetDIBitsToDevice(HDC DC, int XDest, int YDest, DWORD Width, DWORD Height, int XSrc, int YSrc,
                      UINT StartScan, UINT Lines, const void* Bits, const BITMAPINFO* Info, UINT Usage);
// YSrc counts from the bottom for a bottom-up DIB, as on the platform.
int StretchDIBits(HDC DC, int XDest, int YDest, int DestWidth, int DestHeight, int XSrc, int YSrc,
                  int SrcWidth, int SrcHeight, const void* Bits, const BITMAPINFO* Info, UINT Usage,
                  DWORD Rop);
// Rows padded to 16 bits, top row first, in the bitmap's own depth (1 or 24 bpp).
LONG GetBitmapBits(HBITMAP Bitmap, LONG Count, void* Bits);
LONG SetBitmapBits(HBITMAP Bitmap, DWORD Count, const void* Bits);
BOOL GetBitmapDimensionEx(HBITMAP Bitmap, SIZE* Size);
BOOL SetBitmapDimensionEx(HBITMAP Bitmap, int Width, int Height, SIZE* Old);

// ---------------------------------------------------------------------------------------------
// Device contexts

// A memory DC compatible with DC (or the screen when DC is null), holding a 1x1 monochrome
// bitmap until another is selected.
HDC CreateCompatibleDC(HDC DC);
// "DISPLAY" gives an information context for the screen (drawing on it goes nowhere).
HDC CreateDC(const char* Driver, const char* Device, const char* Output, const void* InitData);
HDC CreateIC(const char* Driver, const char* Device, const char* Output, const void* InitData);
BOOL DeleteDC(HDC DC);
// Returns the new save level (1, 2 ...), 0 on failure.
int SaveDC(HDC DC);
// Level > 0 restores that level; < 0 counts back from the latest (-1 = the latest).
BOOL RestoreDC(HDC DC, int Level);

constexpr int DRIVERVERSION = 0;
constexpr int TECHNOLOGY = 2;
constexpr int HORZSIZE = 4; // millimetres
constexpr int VERTSIZE = 6;
constexpr int HORZRES = 8; // pixels
constexpr int VERTRES = 10;
constexpr int BITSPIXEL = 12;
constexpr int PLANES = 14;
constexpr int NUMBRUSHES = 16;
constexpr int NUMPENS = 18;
constexpr int NUMMARKERS = 20;
constexpr int NUMFONTS = 22;
constexpr int NUMCOLORS = 24;
constexpr int PDEVICESIZE = 26;
constexpr int CURVECAPS = 28;
constexpr int LINECAPS = 30;
constexpr int POLYGONALCAPS = 32;
constexpr int TEXTCAPS = 34;
constexpr int CLIPCAPS = 36;
constexpr int RASTERCAPS = 38;
constexpr int ASPECTX = 40;
constexpr int ASPECTY = 42;
constexpr int ASPECTXY = 44;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;
constexpr int SIZEPALETTE = 104;
constexpr int NUMRESERVED = 106;
constexpr int COLORRES = 108;
constexpr int PHYSICALWIDTH = 110;
constexpr int PHYSICALHEIGHT = 111;
constexpr int PHYSICALOFFSETX = 112;
constexpr int PHYSICALOFFSETY = 113;
constexpr int SCALINGFACTORX = 114;
constexpr int SCALINGFACTORY = 115;
constexpr int VREFRESH = 116;
constexpr int DESKTOPVERTRES = 117;
constexpr int DESKTOPHORZRES = 118;
constexpr int BLTALIGNMENT = 119;

// TECHNOLOGY values
constexpr int DT_PLOTTER = 0;
constexpr int DT_RASDISPLAY = 1;
constexpr int DT_RASPRINTER = 2;
constexpr int DT_RASCAMERA = 3;
constexpr int DT_CHARSTREAM = 4;
constexpr int DT_METAFILE = 5;
constexpr int DT_DISPFILE = 6;

// RASTERCAPS bits
constexpr int RC_BITBLT = 0x0001;
constexpr int RC_BANDING = 0x0002;
constexpr int RC_SCALING = 0x0004;
constexpr int RC_BITMAP64 = 0x0008;
constexpr int RC_GDI20_OUTPUT = 0x0010;
constexpr int RC_DI_BITMAP = 0x0080;
constexpr int RC_PALETTE = 0x0100;
constexpr int RC_DIBTODEV = 0x0200;
constexpr int RC_BIGFONT = 0x0400;
constexpr int RC_STRETCHBLT = 0x0800;
constexpr int RC_FLOODFILL = 0x1000;
constexpr int RC_STRETCHDIB = 0x2000;

// Screen: 96 dpi, 24 bpp, 1 plane, NUMCOLORS -1, SIZEPALETTE 0, no RC_PALETTE. HORZRES/VERTRES
// are the screen size the window layer reports (1920x1080 until it says otherwise). A memory DC
// reports the screen's values except BITSPIXEL 1 while a monochrome bitmap is selected.
int GetDeviceCaps(HDC DC, int Index);

// Mapping modes. MM_TEXT is exact pixels; the metric ones flip y (up is positive) and scale
// from the fixed 96 dpi; MM_ISOTROPIC/MM_ANISOTROPIC use the window and viewport extents.
constexpr int MM_TEXT = 1;
constexpr int MM_LOMETRIC = 2;
constexpr int MM_HIMETRIC = 3;
constexpr int MM_LOENGLISH = 4;
constexpr int MM_HIENGLISH = 5;
constexpr int MM_TWIPS = 6;
constexpr int MM_ISOTROPIC = 7;
constexpr int MM_ANISOTROPIC = 8;

int SetMapMode(HDC DC, int Mode); // returns the previous mode, 0 on failure
int GetMapMode(HDC DC);
BOOL SetViewportOrgEx(HDC DC, int X, int Y, POINT* Old);
BOOL GetViewportOrgEx(HDC DC, POINT* Org);
BOOL OffsetViewportOrgEx(HDC DC, int DX, int DY, POINT* Old);
BOOL SetWindowOrgEx(HDC DC, int X, int Y, POINT* Old);
BOOL GetWindowOrgEx(HDC DC, POINT* Org);
BOOL OffsetWindowOrgEx(HDC DC, int DX, int DY, POINT* Old);
BOOL SetViewportExtEx(HDC DC, int X, int Y, SIZE* Old);
BOOL GetViewportExtEx(HDC DC, SIZE* Ext);
BOOL SetWindowExtEx(HDC DC, int X, int Y, SIZE* Old);
BOOL GetWindowExtEx(HDC DC, SIZE* Ext);
BOOL LPtoDP(HDC DC, POINT* Points, int Count);
BOOL DPtoLP(HDC DC, POINT* Points, int Count);
// The DC's device origin on its surface (a window DC's client origin), in surface pixels.
BOOL GetDCOrgEx(HDC DC, POINT* Org);

// ---------------------------------------------------------------------------------------------
// Attributes

constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

constexpr UINT TA_NOUPDATECP = 0;
constexpr UINT TA_UPDATECP = 1;
constexpr UINT TA_LEFT = 0;
constexpr UINT TA_RIGHT = 2;
constexpr UINT TA_CENTER = 6;
constexpr UINT TA_TOP = 0;
constexpr UINT TA_BOTTOM = 8;
constexpr UINT TA_BASELINE = 24;
constexpr UINT TA_RTLREADING = 256;
constexpr UINT TA_MASK = TA_BASELINE + TA_CENTER + TA_UPDATECP + TA_RTLREADING;
constexpr UINT GDI_ERROR_ALIGN = 0xFFFFFFFFu;

// Binary raster operations for pens and brush fills: 1 + the 4-bit truth table over
// (pen, destination).
constexpr int R2_BLACK = 1;
constexpr int R2_NOTMERGEPEN = 2;
constexpr int R2_MASKNOTPEN = 3;
constexpr int R2_NOTCOPYPEN = 4;
constexpr int R2_MASKPENNOT = 5;
constexpr int R2_NOT = 6;
constexpr int R2_XORPEN = 7;
constexpr int R2_NOTMASKPEN = 8;
constexpr int R2_MASKPEN = 9;
constexpr int R2_NOTXORPEN = 10;
constexpr int R2_NOP = 11;
constexpr int R2_MERGENOTPEN = 12;
constexpr int R2_COPYPEN = 13;
constexpr int R2_MERGEPENNOT = 14;
constexpr int R2_MERGEPEN = 15;
constexpr int R2_WHITE = 16;

constexpr int BLACKONWHITE = 1;
constexpr int WHITEONBLACK = 2;
constexpr int COLORONCOLOR = 3;
constexpr int HALFTONE = 4;
constexpr int STRETCH_ANDSCANS = BLACKONWHITE;
constexpr int STRETCH_ORSCANS = WHITEONBLACK;
constexpr int STRETCH_DELETESCANS = COLORONCOLOR;
constexpr int STRETCH_HALFTONE = HALFTONE;

constexpr int ALTERNATE = 1;
constexpr int WINDING = 2;

constexpr int AD_COUNTERCLOCKWISE = 1;
constexpr int AD_CLOCKWISE = 2;

COLORREF SetBkColor(HDC DC, COLORREF Color); // returns the previous colour, CLR_INVALID on error
COLORREF GetBkColor(HDC DC);
COLORREF SetTextColor(HDC DC, COLORREF Color);
COLORREF GetTextColor(HDC DC);
int SetBkMode(HDC DC, int Mode);
int GetBkMode(HDC DC);
UINT SetTextAlign(HDC DC, UINT Align);
UINT GetTextAlign(HDC DC);
int SetROP2(HDC DC, int Mode);
int GetROP2(HDC DC);
int SetStretchBltMode(HDC DC, int Mode);
int GetStretchBltMode(HDC DC);
int SetPolyFillMode(HDC DC, int Mode);
int GetPolyFillMode(HDC DC);
int SetArcDirection(HDC DC, int Direction);
int GetArcDirection(HDC DC);
int SetTextCharacterExtra(HDC DC, int Extra);
int GetTextCharacterExtra(HDC DC);
// Spreads Extra pixels over the Breaks break characters (spaces) of the next text output.
BOOL SetTextJustification(HDC DC, int Extra, int Breaks);

// ---------------------------------------------------------------------------------------------
// Raster operations

// Ternary raster operations: bits 16..23 are the truth table over pattern (0xF0), source (0xCC)
// and destination (0xAA); any code works, these are the named ones.
constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr DWORD SRCPAINT = 0x00EE0086;
constexpr DWORD SRCAND = 0x008800C6;
constexpr DWORD SRCINVERT = 0x00660046;
constexpr DWORD SRCERASE = 0x00440328;
constexpr DWORD NOTSRCCOPY = 0x00330008;
constexpr DWORD NOTSRCERASE = 0x001100A6;
constexpr DWORD MERGECOPY = 0x00C000CA;
constexpr DWORD MERGEPAINT = 0x00BB0226;
constexpr DWORD PATCOPY = 0x00F00021;
constexpr DWORD PATPAINT = 0x00FB0A09;
constexpr DWORD PATINVERT = 0x005A0049;
constexpr DWORD DSTINVERT = 0x00550009;
constexpr DWORD BLACKNESS = 0x00000042;
constexpr DWORD WHITENESS = 0x00FF0062;
constexpr DWORD NOMIRRORBITMAP = 0x80000000;
constexpr DWORD CAPTUREBLT = 0x40000000;

// The pattern operand is the brush selected into DC (with the brush origin). Source pixels are
// converted to the destination's format: colour to monochrome gives 1 (white) for pixels equal to
// the SOURCE DC's background colour and 0 for all others; monochrome to colour gives the
// DESTINATION's text colour for 0 and its background colour for 1. SrcDC may be null for codes
// that do not use the source.
BOOL BitBlt(HDC DC, int X, int Y, int Width, int Height, HDC SrcDC, int XSrc, int YSrc, DWORD Rop);
// Negative widths or heights mirror. Shrinking follows the stretch mode: COLORONCOLOR drops
// pixels, BLACKONWHITE keeps black (ANDs dropped pixels), WHITEONBLACK keeps white (ORs them);
// HALFTONE averages.
BOOL StretchBlt(HDC DC, int X, int Y, int Width, int Height, HDC SrcDC, int XSrc, int YSrc, int SrcWidth,
                int SrcHeight, DWORD Rop);
BOOL PatBlt(HDC DC, int X, int Y, int Width, int Height, DWORD Rop);
// Copies every source pixel except those of colour Transparent (compared in the source format).
BOOL TransparentBlt(HDC DC, int X, int Y, int Width, int Height, HDC SrcDC, int XSrc, int YSrc, int SrcWidth,
                    int SrcHeight, UINT Transparent);
// Rop is MAKEROP4(fore, back): Fore applies where the monochrome Mask is 1, Back where it is 0.
BOOL MaskBlt(HDC DC, int X, int Y, int Width, int Height, HDC SrcDC, int XSrc, int YSrc, HBITMAP Mask,
             int XMask, int YMask, DWORD Rop);
constexpr DWORD MAKEROP4(DWORD Fore, DWORD Back)
{
    return ((Back << 8) & 0xFF000000u) | Fore;
}

// ---------------------------------------------------------------------------------------------
// Drawing

COLORREF SetPixel(HDC DC, int X, int Y, COLORREF Color); // returns the colour set, CLR_INVALID off
BOOL SetPixelV(HDC DC, int X, int Y, COLORREF Color);
COLORREF GetPixel(HDC DC, int X, int Y); // CLR_INVALID outside the surface or the clip

BOOL MoveToEx(HDC DC, int X, int Y, POINT* Old);
BOOL GetCurrentPositionEx(HDC DC, POINT* Pos);
// Draws from the current position up to, but not including, (X, Y), which becomes current.
BOOL LineTo(HDC DC, int X, int Y);
BOOL Polyline(HDC DC, const POINT* Points, int Count); // last point excluded, CP unchanged
BOOL PolylineTo(HDC DC, const POINT* Points, int Count);
BOOL PolyPolyline(HDC DC, const POINT* Points, const DWORD* Counts, DWORD Polylines);
BOOL Polygon(HDC DC, const POINT* Points, int Count);
BOOL PolyPolygon(HDC DC, const POINT* Points, const int* Counts, int Polygons);
BOOL PolyBezier(HDC DC, const POINT* Points, DWORD Count);
BOOL PolyBezierTo(HDC DC, const POINT* Points, DWORD Count);
// Rectangle-based shapes cover [Left, Right) x [Top, Bottom): the pen is drawn on the outermost
// pixels and the brush fills inside it. With a null pen the filled area is one pixel smaller at
// the right and bottom, as on the platform. A PS_INSIDEFRAME pen wider than 1 stays inside.
BOOL Rectangle(HDC DC, int Left, int Top, int Right, int Bottom);
BOOL Ellipse(HDC DC, int Left, int Top, int Right, int Bottom);
BOOL RoundRect(HDC DC, int Left, int Top, int Right, int Bottom, int Width, int Height);
// Arcs run counter-clockwise (or as SetArcDirection says) from the radial through (XStart, YStart)
// to the radial through (XEnd, YEnd).
BOOL Arc(HDC DC, int Left, int Top, int Right, int Bottom, int XStart, int YStart, int XEnd, int YEnd);
BOOL ArcTo(HDC DC, int Left, int Top, int Right, int Bottom, int XStart, int YStart, int XEnd, int YEnd);
BOOL Pie(HDC DC, int Left, int Top, int Right, int Bottom, int XStart, int YStart, int XEnd, int YEnd);
BOOL Chord(HDC DC, int Left, int Top, int Right, int Bottom, int XStart, int YStart, int XEnd, int YEnd);

constexpr UINT FLOODFILLBORDER = 0;
constexpr UINT FLOODFILLSURFACE = 1;
BOOL FloodFill(HDC DC, int X, int Y, COLORREF Border);
BOOL ExtFloodFill(HDC DC, int X, int Y, COLORREF Color, UINT Type);

// A brush handle may also be a system colour index + 1 ((HBRUSH)(COLOR_WINDOW + 1)).
int FillRect(HDC DC, const RECT* Rect, HBRUSH Brush);
int FrameRect(HDC DC, const RECT* Rect, HBRUSH Brush); // one-pixel frame inside Rect
BOOL InvertRect(HDC DC, const RECT* Rect);
// XORs a dotted frame (every other pixel); drawing it twice restores the pixels.
BOOL DrawFocusRect(HDC DC, const RECT* Rect);

constexpr UINT BDR_RAISEDOUTER = 0x0001;
constexpr UINT BDR_SUNKENOUTER = 0x0002;
constexpr UINT BDR_RAISEDINNER = 0x0004;
constexpr UINT BDR_SUNKENINNER = 0x0008;
constexpr UINT BDR_OUTER = 0x0003;
constexpr UINT BDR_INNER = 0x000C;
constexpr UINT BDR_RAISED = 0x0005;
constexpr UINT BDR_SUNKEN = 0x000A;
constexpr UINT EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
constexpr UINT EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
constexpr UINT EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
constexpr UINT EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;

constexpr UINT BF_LEFT = 0x0001;
constexpr UINT BF_TOP = 0x0002;
constexpr UINT BF_RIGHT = 0x0004;
constexpr UINT BF_BOTTOM = 0x0008;
constexpr UINT BF_TOPLEFT = BF_TOP | BF_LEFT;
constexpr UINT BF_TOPRIGHT = BF_TOP | BF_RIGHT;
constexpr UINT BF_BOTTOMLEFT = BF_BOTTOM | BF_LEFT;
constexpr UINT BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT;
constexpr UINT BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;
constexpr UINT BF_DIAGONAL = 0x0010;
constexpr UINT BF_MIDDLE = 0x0800;
constexpr UINT BF_SOFT = 0x1000;
constexpr UINT BF_ADJUST = 0x2000;
constexpr UINT BF_FLAT = 0x4000;
constexpr UINT BF_MONO = 0x8000;

// Classic 3-D borders from the system colour table: raised outer = 3D light / 3D dark shadow,
// raised inner = highlight / shadow, sunken the reverse. BF_ADJUST shrinks *Rect by the borders.
BOOL DrawEdge(HDC DC, RECT* Rect, UINT Edge, UINT Flags);

constexpr UINT DFC_CAPTION = 1;
constexpr UINT DFC_MENU = 2;
constexpr UINT DFC_SCROLL = 3;
constexpr UINT DFC_BUTTON = 4;
constexpr UINT DFC_POPUPMENU = 5;

constexpr UINT DFCS_CAPTIONCLOSE = 0x0000;
constexpr UINT DFCS_CAPTIONMIN = 0x0001;
constexpr UINT DFCS_CAPTIONMAX = 0x0002;
constexpr UINT DFCS_CAPTIONRESTORE = 0x0003;
constexpr UINT DFCS_CAPTIONHELP = 0x0004;
constexpr UINT DFCS_MENUARROW = 0x0000;
constexpr UINT DFCS_MENUCHECK = 0x0001;
constexpr UINT DFCS_MENUBULLET = 0x0002;
constexpr UINT DFCS_MENUARROWRIGHT = 0x0004;
constexpr UINT DFCS_SCROLLUP = 0x0000;
constexpr UINT DFCS_SCROLLDOWN = 0x0001;
constexpr UINT DFCS_SCROLLLEFT = 0x0002;
constexpr UINT DFCS_SCROLLRIGHT = 0x0003;
constexpr UINT DFCS_SCROLLCOMBOBOX = 0x0005;
constexpr UINT DFCS_SCROLLSIZEGRIP = 0x0008;
constexpr UINT DFCS_SCROLLSIZEGRIPRIGHT = 0x0010;
constexpr UINT DFCS_BUTTONCHECK = 0x0000;
constexpr UINT DFCS_BUTTONRADIOIMAGE = 0x0001;
constexpr UINT DFCS_BUTTONRADIOMASK = 0x0002;
constexpr UINT DFCS_BUTTONRADIO = 0x0004;
constexpr UINT DFCS_BUTTON3STATE = 0x0008;
constexpr UINT DFCS_BUTTONPUSH = 0x0010;
constexpr UINT DFCS_INACTIVE = 0x0100;
constexpr UINT DFCS_PUSHED = 0x0200;
constexpr UINT DFCS_CHECKED = 0x0400;
constexpr UINT DFCS_TRANSPARENT = 0x0800;
constexpr UINT DFCS_HOT = 0x1000;
constexpr UINT DFCS_ADJUSTRECT = 0x2000;
constexpr UINT DFCS_FLAT = 0x4000;
constexpr UINT DFCS_MONO = 0x8000;

BOOL DrawFrameControl(HDC DC, RECT* Rect, UINT Type, UINT State);

// ---------------------------------------------------------------------------------------------
// Regions (logical coordinates at creation; a region is a set of pixels)

constexpr int ERROR = 0;
constexpr int RGN_ERROR = ERROR;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;

constexpr int RGN_AND = 1;
constexpr int RGN_OR = 2;
constexpr int RGN_XOR = 3;
constexpr int RGN_DIFF = 4;
constexpr int RGN_COPY = 5;

HRGN CreateRectRgn(int Left, int Top, int Right, int Bottom); // pixels [Left, Right) x [Top, Bottom)
HRGN CreateRectRgnIndirect(const RECT* Rect);
HRGN CreateEllipticRgn(int Left, int Top, int Right, int Bottom);
HRGN CreateEllipticRgnIndirect(const RECT* Rect);
HRGN CreateRoundRectRgn(int Left, int Top, int Right, int Bottom, int Width, int Height);
HRGN CreatePolygonRgn(const POINT* Points, int Count, int FillMode);
HRGN CreatePolyPolygonRgn(const POINT* Points, const int* Counts, int Polygons, int FillMode);
// Dest must already exist (any region); returns the type of the result or ERROR.
int CombineRgn(HRGN Dest, HRGN Src1, HRGN Src2, int Mode);
BOOL SetRectRgn(HRGN Region, int Left, int Top, int Right, int Bottom);
int OffsetRgn(HRGN Region, int DX, int DY);
int GetRgnBox(HRGN Region, RECT* Rect);
BOOL EqualRgn(HRGN A, HRGN B);
BOOL PtInRegion(HRGN Region, int X, int Y);
BOOL RectInRegion(HRGN Region, const RECT* Rect);
BOOL FillRgn(HDC DC, HRGN Region, HBRUSH Brush);
BOOL FrameRgn(HDC DC, HRGN Region, HBRUSH Brush, int Width, int Height);
BOOL PaintRgn(HDC DC, HRGN Region); // fills with the selected brush
BOOL InvertRgn(HDC DC, HRGN Region);

// Clipping. SelectClipRgn takes DEVICE coordinates (a copy of Region is kept; null removes the
// clip); the rectangle calls take logical ones. All return the resulting region type.
int SelectClipRgn(HDC DC, HRGN Region);
int ExtSelectClipRgn(HDC DC, HRGN Region, int Mode);
int IntersectClipRect(HDC DC, int Left, int Top, int Right, int Bottom);
int ExcludeClipRect(HDC DC, int Left, int Top, int Right, int Bottom);
int OffsetClipRgn(HDC DC, int DX, int DY);
// Bounding box of the visible, clipped area in logical coordinates.
int GetClipBox(HDC DC, RECT* Rect);
// 1 and a copy of the application clip in Region (device coordinates), 0 when there is none.
int GetClipRgn(HDC DC, HRGN Region);
BOOL PtVisible(HDC DC, int X, int Y);
BOOL RectVisible(HDC DC, const RECT* Rect);

// ---------------------------------------------------------------------------------------------
// Palettes (plain data: the screen is true colour, so nothing is ever realized into hardware)

constexpr BYTE PC_RESERVED = 0x01;
constexpr BYTE PC_EXPLICIT = 0x02;
constexpr BYTE PC_NOCOLLAPSE = 0x04;

struct PALETTEENTRY {
    BYTE peRed = 0;
    BYTE peGreen = 0;
    BYTE peBlue = 0;
    BYTE peFlags = 0;
};
// Variable length: palNumEntries entries follow.
struct LOGPALETTE {
    WORD palVersion = 0x300;
    WORD palNumEntries = 0;
    PALETTEENTRY palPalEntry[1];
};
using TPaletteEntry = PALETTEENTRY;
using TLogPalette = LOGPALETTE;

HPALETTE CreatePalette(const LOGPALETTE* LogPalette);
HPALETTE CreateHalftonePalette(HDC DC);
UINT GetPaletteEntries(HPALETTE Palette, UINT Start, UINT Count, PALETTEENTRY* Entries);
UINT SetPaletteEntries(HPALETTE Palette, UINT Start, UINT Count, const PALETTEENTRY* Entries);
BOOL ResizePalette(HPALETTE Palette, UINT Count);
BOOL AnimatePalette(HPALETTE Palette, UINT Start, UINT Count, const PALETTEENTRY* Entries);
// The 256 default system palette entries: the 20 static colours at 0..9 and 246..255.
UINT GetSystemPaletteEntries(HDC DC, UINT Start, UINT Count, PALETTEENTRY* Entries);
HPALETTE SelectPalette(HDC DC, HPALETTE Palette, BOOL ForceBackground);
UINT RealizePalette(HDC DC); // 0: nothing changes on a true-colour screen
UINT GetNearestPaletteIndex(HPALETTE Palette, COLORREF Color);
// The colour as the DC will draw it: black or white on a monochrome surface, else the RGB.
COLORREF GetNearestColor(HDC DC, COLORREF Color);
UINT GetSystemPaletteUse(HDC DC);
UINT SetSystemPaletteUse(HDC DC, UINT Use);
constexpr UINT SYSPAL_ERROR = 0;
constexpr UINT SYSPAL_STATIC = 1;
constexpr UINT SYSPAL_NOSTATIC = 2;

// ---------------------------------------------------------------------------------------------
// Fonts

constexpr int LF_FACESIZE = 32;
constexpr int LF_FULLFACESIZE = 64;

constexpr int FW_DONTCARE = 0;
constexpr int FW_THIN = 100;
constexpr int FW_EXTRALIGHT = 200;
constexpr int FW_LIGHT = 300;
constexpr int FW_NORMAL = 400;
constexpr int FW_REGULAR = 400;
constexpr int FW_MEDIUM = 500;
constexpr int FW_SEMIBOLD = 600;
constexpr int FW_BOLD = 700;
constexpr int FW_EXTRABOLD = 800;
constexpr int FW_HEAVY = 900;

constexpr BYTE ANSI_CHARSET = 0;
constexpr BYTE DEFAULT_CHARSET = 1;
constexpr BYTE SYMBOL_CHARSET = 2;
constexpr BYTE SHIFTJIS_CHARSET = 128;
constexpr BYTE HANGEUL_CHARSET = 129;
constexpr BYTE GB2312_CHARSET = 134;
constexpr BYTE CHINESEBIG5_CHARSET = 136;
constexpr BYTE GREEK_CHARSET = 161;
constexpr BYTE TURKISH_CHARSET = 162;
constexpr BYTE HEBREW_CHARSET = 177;
constexpr BYTE ARABIC_CHARSET = 178;
constexpr BYTE BALTIC_CHARSET = 186;
constexpr BYTE RUSSIAN_CHARSET = 204;
constexpr BYTE THAI_CHARSET = 222;
constexpr BYTE EASTEUROPE_CHARSET = 238;
constexpr BYTE MAC_CHARSET = 77;
constexpr BYTE OEM_CHARSET = 255;

constexpr BYTE OUT_DEFAULT_PRECIS = 0;
constexpr BYTE OUT_STRING_PRECIS = 1;
constexpr BYTE OUT_CHARACTER_PRECIS = 2;
constexpr BYTE OUT_STROKE_PRECIS = 3;
constexpr BYTE OUT_TT_PRECIS = 4;
constexpr BYTE OUT_DEVICE_PRECIS = 5;
constexpr BYTE OUT_RASTER_PRECIS = 6;
constexpr BYTE OUT_TT_ONLY_PRECIS = 7;
constexpr BYTE OUT_OUTLINE_PRECIS = 8;
constexpr BYTE CLIP_DEFAULT_PRECIS = 0;
constexpr BYTE CLIP_CHARACTER_PRECIS = 1;
constexpr BYTE CLIP_STROKE_PRECIS = 2;
constexpr BYTE CLIP_LH_ANGLES = 0x10;

constexpr BYTE DEFAULT_QUALITY = 0;
constexpr BYTE DRAFT_QUALITY = 1;
constexpr BYTE PROOF_QUALITY = 2;
// Text is drawn without smoothing (every pixel exactly the text colour or untouched) unless the
// font asks for ANTIALIASED_QUALITY or CLEARTYPE_QUALITY.
constexpr BYTE NONANTIALIASED_QUALITY = 3;
constexpr BYTE ANTIALIASED_QUALITY = 4;
constexpr BYTE CLEARTYPE_QUALITY = 5;

constexpr BYTE DEFAULT_PITCH = 0;
constexpr BYTE FIXED_PITCH = 1;
constexpr BYTE VARIABLE_PITCH = 2;
constexpr BYTE FF_DONTCARE = 0x00;
constexpr BYTE FF_ROMAN = 0x10;
constexpr BYTE FF_SWISS = 0x20;
constexpr BYTE FF_MODERN = 0x30;
constexpr BYTE FF_SCRIPT = 0x40;
constexpr BYTE FF_DECORATIVE = 0x50;

// tmPitchAndFamily bits. Note the platform's oddity: TMPF_FIXED_PITCH SET means VARIABLE pitch.
constexpr BYTE TMPF_FIXED_PITCH = 0x01;
constexpr BYTE TMPF_VECTOR = 0x02;
constexpr BYTE TMPF_TRUETYPE = 0x04;
constexpr BYTE TMPF_DEVICE = 0x08;

struct LOGFONT {
    LONG lfHeight = 0;     // < 0: em (character) height in pixels; > 0: cell height; 0: default
    LONG lfWidth = 0;      // 0: natural width; otherwise the average character width asked for
    LONG lfEscapement = 0; // tenths of a degree, counter-clockwise
    LONG lfOrientation = 0;
    LONG lfWeight = FW_NORMAL;
    BYTE lfItalic = 0;
    BYTE lfUnderline = 0;
    BYTE lfStrikeOut = 0;
    BYTE lfCharSet = DEFAULT_CHARSET;
    BYTE lfOutPrecision = OUT_DEFAULT_PRECIS;
    BYTE lfClipPrecision = CLIP_DEFAULT_PRECIS;
    BYTE lfQuality = DEFAULT_QUALITY;
    BYTE lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    char lfFaceName[LF_FACESIZE] = {}; // UTF-8, NUL-terminated
};
using TLogFont = LOGFONT;

struct TEXTMETRIC {
    LONG tmHeight = 0; // tmAscent + tmDescent
    LONG tmAscent = 0;
    LONG tmDescent = 0;
    LONG tmInternalLeading = 0; // tmHeight - em height
    LONG tmExternalLeading = 0;
    LONG tmAveCharWidth = 0;
    LONG tmMaxCharWidth = 0;
    LONG tmWeight = 0;
    LONG tmOverhang = 0;
    LONG tmDigitizedAspectX = 96;
    LONG tmDigitizedAspectY = 96;
    char tmFirstChar = 0x20;
    char tmLastChar = char(0xFF);
    char tmDefaultChar = 0x1F;
    char tmBreakChar = 0x20;
    BYTE tmItalic = 0;
    BYTE tmUnderlined = 0;
    BYTE tmStruckOut = 0;
    BYTE tmPitchAndFamily = 0;
    BYTE tmCharSet = 0;
};
using TTextMetric = TEXTMETRIC;

struct NEWTEXTMETRIC : TEXTMETRIC {
    DWORD ntmFlags = 0;
    UINT ntmSizeEM = 2048;
    UINT ntmCellHeight = 0;
    UINT ntmAvgWidth = 0;
};
struct FONTSIGNATURE {
    DWORD fsUsb[4] = {};
    DWORD fsCsb[2] = {};
};
struct NEWTEXTMETRICEX {
    NEWTEXTMETRIC ntmTm;
    FONTSIGNATURE ntmFontSig;
};
struct ENUMLOGFONT {
    LOGFONT elfLogFont;
    char elfFullName[LF_FULLFACESIZE] = {};
    char elfStyle[LF_FACESIZE] = {};
};
struct ENUMLOGFONTEX {
    LOGFONT elfLogFont;
    char elfFullName[LF_FULLFACESIZE] = {};
    char elfStyle[LF_FACESIZE] = {};
    char elfScript[LF_FACESIZE] = {};
};
using TEnumLogFont = ENUMLOGFONT;
using TNewTextMetric = NEWTEXTMETRIC;

constexpr DWORD RASTER_FONTTYPE = 0x0001;
constexpr DWORD DEVICE_FONTTYPE = 0x0002;
constexpr DWORD TRUETYPE_FONTTYPE = 0x0004;

// The callback gets pointers to an ENUMLOGFONTEX and a NEWTEXTMETRICEX (their first members are
// the LOGFONT / TEXTMETRIC); returning 0 stops the enumeration. The result of the Enum call is
// the last callback result (1 when there was nothing to enumerate).
using FONTENUMPROC = int (*)(const LOGFONT* LogFont, const TEXTMETRIC* Metric, DWORD FontType, LPARAM Data);

// Family null or empty: one call per family, sorted by name (the installed families and the
// classic names the layer maps to them). Otherwise one call per style of that family.
int EnumFontFamilies(HDC DC, const char* Family, FONTENUMPROC Proc, LPARAM Data);
// LogFont->lfFaceName empty: one call per family; else the styles of that family. lfCharSet
// DEFAULT_CHARSET lists every family; another charset lists the families that cover it.
int EnumFontFamiliesEx(HDC DC, const LOGFONT* LogFont, FONTENUMPROC Proc, LPARAM Data, DWORD Flags);
int EnumFonts(HDC DC, const char* Face, FONTENUMPROC Proc, LPARAM Data);

// Face names map to installed free fonts ("Arial", "MS Sans Serif" -> Liberation Sans, "Times
// New Roman" -> Liberation Serif, "Courier New", "Courier", "Terminal" -> Liberation Mono ...),
// compared without regard to case; an unknown face falls back by pitch and family.
HFONT CreateFontIndirect(const LOGFONT* LogFont);
HFONT CreateFont(int Height, int Width, int Escapement, int Orientation, int Weight, DWORD Italic,
                 DWORD Underline, DWORD StrikeOut, DWORD CharSet, DWORD OutPrecision, DWORD ClipPrecision,
                 DWORD Quality, DWORD PitchAndFamily, const char* Face);
BOOL GetTextMetrics(HDC DC, TEXTMETRIC* Metric);
// Copies the face name of the selected font (as it was asked for) into Face (Count bytes with
// the NUL); returns the bytes copied, or the length needed when Face is null.
int GetTextFace(HDC DC, int Count, char* Face);
int GetTextCharset(HDC DC);
// Every character advances by a whole number of pixels and kerning is off, so the extent of a
// string is the sum of the extents of its characters (plus the character extra).
BOOL GetTextExtentPoint32(HDC DC, const char* Text, int Count, SIZE* Size);
BOOL GetTextExtentPoint(HDC DC, const char* Text, int Count, SIZE* Size);
// Fit (may be null) gets the number of BYTES of whole characters that fit into MaxExtent;
// Dx (may be null, Count entries) the extent from the start to the end of each byte's character.
BOOL GetTextExtentExPoint(HDC DC, const char* Text, int Count, int MaxExtent, int* Fit, int* Dx, SIZE* Size);
// Advance widths of the characters First..Last (code points), one int each.
BOOL GetCharWidth32(HDC DC, UINT First, UINT Last, int* Widths);
BOOL GetCharWidth(HDC DC, UINT First, UINT Last, int* Widths);
struct ABC {
    int abcA = 0;
    UINT abcB = 0;
    int abcC = 0;
};
BOOL GetCharABCWidths(HDC DC, UINT First, UINT Last, ABC* Widths);

// ---------------------------------------------------------------------------------------------
// Text output

constexpr UINT ETO_OPAQUE = 0x0002;
constexpr UINT ETO_CLIPPED = 0x0004;
constexpr UINT ETO_GLYPH_INDEX = 0x0010;
constexpr UINT ETO_RTLREADING = 0x0080;
constexpr UINT ETO_IGNORELANGUAGE = 0x1000;

// (X, Y) is placed by the text alignment (default: top-left of the character cell). In OPAQUE
// mode the cell is filled with the background colour first.
BOOL TextOut(HDC DC, int X, int Y, const char* Text, int Count);
// ETO_OPAQUE fills Rect with the background colour, ETO_CLIPPED clips to Rect; Dx (may be null)
// gives the advance after each byte (see the conventions at the top).
BOOL ExtTextOut(HDC DC, int X, int Y, UINT Options, const RECT* Rect, const char* Text, UINT Count,
                const int* Dx);
// Tabs expand to the given stops (pixels from Origin; none = every 8 average characters).
LONG TabbedTextOut(HDC DC, int X, int Y, const char* Text, int Count, int TabPositions, const int* TabStops,
                   int Origin);
DWORD GetTabbedTextExtent(HDC DC, const char* Text, int Count, int TabPositions, const int* TabStops);

constexpr UINT DT_TOP = 0x00000000;
constexpr UINT DT_LEFT = 0x00000000;
constexpr UINT DT_CENTER = 0x00000001;
constexpr UINT DT_RIGHT = 0x00000002;
constexpr UINT DT_VCENTER = 0x00000004;
constexpr UINT DT_BOTTOM = 0x00000008;
constexpr UINT DT_WORDBREAK = 0x00000010;
constexpr UINT DT_SINGLELINE = 0x00000020;
constexpr UINT DT_EXPANDTABS = 0x00000040;
constexpr UINT DT_TABSTOP = 0x00000080;
constexpr UINT DT_NOCLIP = 0x00000100;
constexpr UINT DT_EXTERNALLEADING = 0x00000200;
constexpr UINT DT_CALCRECT = 0x00000400;
constexpr UINT DT_NOPREFIX = 0x00000800;
constexpr UINT DT_INTERNAL = 0x00001000;
constexpr UINT DT_EDITCONTROL = 0x00002000;
constexpr UINT DT_PATH_ELLIPSIS = 0x00004000;
constexpr UINT DT_END_ELLIPSIS = 0x00008000;
constexpr UINT DT_MODIFYSTRING = 0x00010000;
constexpr UINT DT_RTLREADING = 0x00020000;
constexpr UINT DT_WORD_ELLIPSIS = 0x00040000;
constexpr UINT DT_NOFULLWIDTHCHARBREAK = 0x00080000;
constexpr UINT DT_HIDEPREFIX = 0x00100000;
constexpr UINT DT_PREFIXONLY = 0x00200000;

// Formats Text into *Rect with the selected font, text colour and background mode. Lines break at
// CR LF / LF (unless DT_SINGLELINE) and, with DT_WORDBREAK, between words that would pass the
// right edge (a word longer than the line stays whole). "&x" underlines x and "&&" shows "&"
// unless DT_NOPREFIX. DT_VCENTER and DT_BOTTOM apply to single lines only. DT_CALCRECT draws
// nothing and sets Rect->right/bottom to the text's extent. Returns the text height (with
// DT_VCENTER/DT_BOTTOM: the offset from Rect->top to the bottom of the text); 0 on error.
// Empty text counts as one empty line.
int DrawText(HDC DC, const char* Text, int Count, RECT* Rect, UINT Format);
struct DRAWTEXTPARAMS {
    UINT cbSize = sizeof(DRAWTEXTPARAMS);
    int iTabLength = 0; // in average character widths
    int iLeftMargin = 0;
    int iRightMargin = 0;
    UINT uiLengthDrawn = 0;
};
int DrawTextEx(HDC DC, const char* Text, int Count, RECT* Rect, UINT Format, DRAWTEXTPARAMS* Params);

// ---------------------------------------------------------------------------------------------
// System colours: ONE fixed table of the classic default scheme, the same on every machine.

constexpr int COLOR_SCROLLBAR = 0;
constexpr int COLOR_BACKGROUND = 1;
constexpr int COLOR_DESKTOP = COLOR_BACKGROUND;
constexpr int COLOR_ACTIVECAPTION = 2;
constexpr int COLOR_INACTIVECAPTION = 3;
constexpr int COLOR_MENU = 4;
constexpr int COLOR_WINDOW = 5;
constexpr int COLOR_WINDOWFRAME = 6;
constexpr int COLOR_MENUTEXT = 7;
constexpr int COLOR_WINDOWTEXT = 8;
constexpr int COLOR_CAPTIONTEXT = 9;
constexpr int COLOR_ACTIVEBORDER = 10;
constexpr int COLOR_INACTIVEBORDER = 11;
constexpr int COLOR_APPWORKSPACE = 12;
constexpr int COLOR_HIGHLIGHT = 13;
constexpr int COLOR_HIGHLIGHTTEXT = 14;
constexpr int COLOR_BTNFACE = 15;
constexpr int COLOR_3DFACE = COLOR_BTNFACE;
constexpr int COLOR_BTNSHADOW = 16;
constexpr int COLOR_3DSHADOW = COLOR_BTNSHADOW;
constexpr int COLOR_GRAYTEXT = 17;
constexpr int COLOR_BTNTEXT = 18;
constexpr int COLOR_INACTIVECAPTIONTEXT = 19;
constexpr int COLOR_BTNHIGHLIGHT = 20;
constexpr int COLOR_BTNHILIGHT = COLOR_BTNHIGHLIGHT;
constexpr int COLOR_3DHIGHLIGHT = COLOR_BTNHIGHLIGHT;
constexpr int COLOR_3DHILIGHT = COLOR_BTNHIGHLIGHT;
constexpr int COLOR_3DDKSHADOW = 21;
constexpr int COLOR_3DLIGHT = 22;
constexpr int COLOR_INFOTEXT = 23;
constexpr int COLOR_INFOBK = 24;
constexpr int COLOR_HOTLIGHT = 26;
constexpr int COLOR_GRADIENTACTIVECAPTION = 27;
constexpr int COLOR_GRADIENTINACTIVECAPTION = 28;
constexpr int COLOR_MENUHILIGHT = 29;
constexpr int COLOR_MENUBAR = 30;
constexpr int COLOR_ENDCOLORS = COLOR_MENUBAR; // the highest index in the table

// 0 for an index outside the table.
DWORD GetSysColor(int Index);
// A stock brush of that colour (never destroyed); null for an index outside the table.
HBRUSH GetSysColorBrush(int Index);
