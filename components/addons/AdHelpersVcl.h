// Drawing and window helpers shared by the add-on controls: transparent and disabled bitmap
// drawing, the checker pattern, the parent's background under a see-through control, centring,
// removing one queued message, text shortened with "..." and the active-window test.
#pragma once

#include "platform/controls/Controls.h"
#include "platform/graphics/Graphics.h"

#include <string>

// The colour argument that means "opaque: no colour is transparent".
inline constexpr TColor NoTransparentColor = 0x1FFFFFFF;

// Paints into Dest what lies behind Control in its parent: the parent's own surface and the
// windowless siblings below Control in z-order. Nothing without a parent.
void PaintParentBackground(TControl* Control, TCanvas* Dest);

// Copies the source rectangle stretched onto the destination rectangle, leaving destination
// pixels unchanged where the source has TransparentColor. Palette 0 selects no palette.
void TransparentStretchBlit(HDC DstDC, int DstX, int DstY, int DstW, int DstH, HDC SrcDC, int SrcX, int SrcY,
                            int SrcW, int SrcH, TColor TransparentColor, HPALETTE Palette);

// Draws (part of) Bitmap stretched onto Dest, opaque (NoTransparentColor) or with one transparent
// colour (white for a monochrome bitmap). DstW/DstH <= 0 take the bitmap's size; SrcW or SrcH <= 0
// takes the whole bitmap.
void PaintBitmapOnCanvas(TCanvas* Dest, int DstX, int DstY, int DstW, int DstH, TBitmap* Bitmap, int SrcX,
                         int SrcY, int SrcW, int SrcH, TColor TransparentColor);
// The whole bitmap at its own size at (X, Y).
void DrawBitmapTransparent(TCanvas* Dest, int X, int Y, TColor TransparentColor, TBitmap* Bitmap);

// A new bitmap of Source's size (owned by the caller): the pixels of BackColor in Source become a
// highlight shape one pixel down and right under a shadow shape, on clBtnFace. For a monochrome
// source (BackColor black) its black pixels make the shape, as for a colour one.
TBitmap* MakeDisabledBitmap(TBitmap* Source, TColor BackColor);

// A new 8x8 bitmap (owned by the caller) of Color1 with Color2 where x + y is even.
TBitmap* MakeCheckerPattern(TColor Color1, TColor Color2);

// DrawText of Text in Bounds with Flags over a clear brush, in the canvas's font colour; with
// Embossed, in Light one pixel down and right and then in Shadow over it (a disabled caption).
// The font colour is the same afterwards.
void DrawButtonText(TCanvas* Canvas, const std::string& Text, const TRect& Bounds, UINT Flags, bool Embossed,
                    TColor Light, TColor Shadow);

inline int RectWidth(const TRect& R)
{
    return R.right - R.left;
}
inline int RectHeight(const TRect& R)
{
    return R.bottom - R.top;
}

// ColorToRGB(Color) with the palette-relative marker.
TColor PaletteRelativeColor(TColor Color);

// Removes at most one pending message Msg of Wnd (0: any window of the thread); a removed quit
// message is posted again.
void PurgeQueuedMessage(HWND Wnd, UINT Msg);

// The number of entries of a logical palette.
int PaletteEntryCount(HPALETTE Palette);

// Moves Control to the centre of its parent; an MDI child form to the centre of the main form's
// client area, any other form to the centre of the screen. Never to a negative position.
void CentreInParent(TControl* Control);

// Brings a window to the foreground; with Restore also restores it (unless maximised) and gives
// it the focus. False for a disabled window.
bool BringWindowForward(HWND Wnd, bool Restore);

// S, or S cut from the right and ended with "...", so that it is at most MaxWidth wide on Canvas
// (only "..." is left when even less does not fit).
std::string EllipsizeText(const std::string& S, TCanvas* Canvas, int MaxWidth);
// The first Count characters (not bytes) of the UTF-8 text S.
std::string CutToChars(const std::string& S, std::size_t Count);

// True when the active window belongs to the calling thread.
bool IsOwnThreadActive();
