// Helpers the bitmap, icon and image-list code share: memory DCs, plain bitmap copies and
// masked drawing. Not for use outside platform/graphics.
#pragma once

#include "platform/graphics/Graphics.h"

#include <cstdint>
#include <vector>

namespace gfx {

// A memory DC holding Bitmap for the life of the object.
struct TMemoryDC {
    explicit TMemoryDC(HGDIOBJ Bitmap);
    ~TMemoryDC();
    TMemoryDC(const TMemoryDC&) = delete;
    TMemoryDC& operator=(const TMemoryDC&) = delete;
    HDC DC = nullptr;
    HGDIOBJ Old = nullptr;
};

// A new bitmap filled with Fill (null for an empty size).
HBITMAP CreateBlankBitmap(int Width, int Height, bool Monochrome, COLORREF Fill);
// A new bitmap of the same size and format with the same pixels.
HBITMAP CopyBitmapHandle(HBITMAP Source);
// The pixels as 0xFFRRGGBB, top row first.
std::vector<std::uint32_t> ReadPixels(HBITMAP Bitmap, int Width, int Height);
void WritePixels(HBITMAP Bitmap, int Width, int Height, const std::vector<std::uint32_t>& Pixels);
// A monochrome bitmap from one byte per pixel (non-zero = 1, white), top row first.
HBITMAP CreateMonoBitmap(int Width, int Height, const std::vector<std::uint8_t>& Bits);

// Draws the source rectangle stretched to Rect, leaving the destination where the monochrome
// mask is 1 (the mask is read at the source's size from MaskX, MaskY).
void StretchTransparent(HDC Dst, const TRect& Rect, HDC Src, int SrcX, int SrcY, int SrcW, int SrcH,
                        HDC MaskDC, int MaskX, int MaskY);
// The same with the mask made from the pixels of one colour.
void StretchWithTransparentColor(HDC Dst, const TRect& Rect, HDC Src, int SrcX, int SrcY, int SrcW, int SrcH,
                                 COLORREF Transparent, bool SourceMonochrome);

} // namespace gfx
