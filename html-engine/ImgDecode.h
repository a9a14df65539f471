// The image decoder of the HTML engine, behind one call per kind and source: BMP, GIF (first
// frame), JPEG and PNG, from a file or from a memory stream. Each call answers true and stores
// the decoded picture into the given bitmap (its Handle, then its Palette); on false the bitmap is
// left exactly as it was. The decoder itself checks that the data is of the kind asked for, so
// a picture is always decoded by its signature, never by its name.
//
// What the decoder hands over is flat: PNG alpha is blended onto white, and a GIF pixel of the
// transparent colour keeps that colour's RGB from the colour table, so a mask made from the
// transparent colour finds exactly those pixels.
#pragma once

#include "platform/graphics/Graphics.h"
#include "platform/rtl/Streams.h"

#include <cstdint>
#include <functional>
#include <string>

namespace ImgDecode {

// Polled while a picture decodes: 0 stops the decode (the call then fails), anything else goes on.
using TImgProgress = std::function<int()>;

// The palette the decoders map onto on input (none: keep the picture's own colours). Only a
// screen of 256 colours has one.
extern HPALETTE DecoderPalette;
// Options handed to every decode; 0.
extern WORD DecodeOptions;

// The colour-depth class of a display depth: up to 4 bits gives 4; 5 to 15 bits gives 8; 16 and
// more gives 24.
int DepthClassOfBits(int BitsPerPixel);
// The class of the device DC draws on (its BITSPIXEL).
int ScreenDepthClass(HDC DC);

// File names reach the decoder whole, however long they are.
bool LoadBmpFile(const std::string& FileName, int DepthClass, int DecodeFlag, const TImgProgress& Progress,
                 TBitmap* Bitmap);
bool LoadGifFile(const std::string& FileName, int DepthClass, int DecodeFlag, const TImgProgress& Progress,
                 TBitmap* Bitmap);
bool LoadJpegFile(const std::string& FileName, int DepthClass, int DecodeFlag, const TImgProgress& Progress,
                  TBitmap* Bitmap);
bool LoadPngFile(const std::string& FileName, int DepthClass, int DecodeFlag, const TImgProgress& Progress,
                 TBitmap* Bitmap);

// A null stream, or one with no bytes, gives false without a decode.
bool LoadBmpStream(TMemoryStream* Stream, int DepthClass, int DecodeFlag, const TImgProgress& Progress,
                   TBitmap* Bitmap);
bool LoadGifStream(TMemoryStream* Stream, int DepthClass, int DecodeFlag, const TImgProgress& Progress,
                   TBitmap* Bitmap);
bool LoadJpegStream(TMemoryStream* Stream, int DepthClass, int DecodeFlag, const TImgProgress& Progress,
                    TBitmap* Bitmap);
bool LoadPngStream(TMemoryStream* Stream, int DepthClass, int DecodeFlag, const TImgProgress& Progress,
                   TBitmap* Bitmap);

} // namespace ImgDecode
