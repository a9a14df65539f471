// Animated GIFs in the HTML view: our own decoder for every image of a GIF file, the composite
// picture an animation shows (with its mask when any frame is transparent), and the stepping of
// the animation on the document's timer. Files with a single image are left to the image loader.
//
// The decoder reads untrusted bytes: every read is checked against the end of the data, the
// LZW tables never overrun, and sizes are capped (see the limits below) so that a small file
// cannot make us allocate without bound.
#pragma once

#include "platform/classes/Classes.h"
#include "platform/graphics/Graphics.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/Types.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TCell;
class TSectionList;
class TGIFImage;

// Frames past this many are not read (the file plays with the first ones).
constexpr int MaxGifFrames = 256;
// A frame or logical screen wider or higher than MaxGifSide, or with more than MaxGifPixels
// pixels, or frames adding up to more than MaxGifTotalPixels, make the read fail: the loader then
// decodes the file the ordinary way.
constexpr int MaxGifSide = 32768;
constexpr std::int64_t MaxGifPixels = std::int64_t(64) << 20;
constexpr std::int64_t MaxGifTotalPixels = std::int64_t(128) << 20;

// A read position in the bytes of a GIF file; nothing is ever read at or past End.
struct TGifCursor {
    const std::uint8_t* P = nullptr;
    const std::uint8_t* End = nullptr;
    std::size_t Left() const { return P < End ? std::size_t(End - P) : 0; }
};

// The graphic control extension waiting for the next image (all zero when there is none).
struct TGifControl {
    BYTE Packed = 0;
    WORD Delay = 0; // hundredths of a second
    BYTE TransparentIndex = 0;
};

// Buffers of a read in progress.
struct TGifReadBuffers;

// One image of an animated GIF.
class TGIFFrame : public TObject {
public:
    explicit TGIFFrame(TGIFImage* AOwner);
    // A copy for another image: the fields and copies of the bitmaps, no colour table.
    TGIFFrame(TGIFImage* AOwner, const TGIFFrame& Source);
    ~TGIFFrame() override;

    // Decodes the image data at Data (minimum code size, sub-blocks) into Pixels: Width x Height
    // colour indices, top row first; pixels the data does not reach are 0. Data ends up after
    // the image data.
    virtual void DecodeImageData(TGifCursor& Data, std::vector<BYTE>& Pixels);
    // Reads one image at Data (descriptor, local table, image data) with the pending graphic
    // control, and, unless the owner reads header-only, builds its bitmaps. 1: read; 0: the data
    // ends inside the descriptor (no frame); -1: the image breaks a size limit.
    virtual int ReadImageBlock(TGifCursor& Data, const TGifControl& Control);

    int Left = 0, Top = 0, Width = 0, Height = 0;
    int ColorBits = 0; // of the local table; 0 without one
    int Delay = 0;     // milliseconds
    BYTE Disposal = 0; // 0 none, 1 leave in place, 2 restore to background, 3 restore previous
    bool LocalTable = false;
    bool Interlaced = false;
    bool IsTransparent = false;
    BYTE TransparentIndex = 0;
    BYTE TransparentColor[3] = {}; // red, green, blue of the transparent index's entry
    // The frame's own local table, or the owner's global one (768 bytes); none in a copy.
    const BYTE* ColorTable = nullptr;
    // The pixels, transparent ones black; the mask (monochrome, white = transparent) only for a
    // transparent frame. Neither for a frame of width or height 0.
    std::unique_ptr<TBitmap> Image, Mask;
    // What lay under the frame before it was drawn (disposal 3), made when first needed.
    std::unique_ptr<TBitmap> PreviousImage, PreviousMask;
    TGIFImage* Owner = nullptr;
    std::string Comment; // the comment extensions read since the previous image

private:
    void BuildBitmaps(const std::vector<BYTE>& Pixels);
    std::unique_ptr<BYTE[]> FLocalTable;
};

// An animated GIF: its frames, the composite showing the animation's current state, and the
// animation's clock. Frame indices count from 1.
class TGIFImage : public TPersistent {
public:
    TGIFImage();
    ~TGIFImage() override;

    // Reads the file held in DataStream(): header-only (structure only: no bitmaps, no LZW) or
    // in full. False when the data is not a GIF or breaks a size limit. The stream is emptied
    // whatever the outcome.
    virtual bool ReadGIFData();
    TMemoryStream* DataStream() { return &FData; }
    void Clear();

    // A new image sharing nothing with Source, showing frame 1, animating on its own.
    static std::unique_ptr<TGIFImage> Duplicate(const TGIFImage& Source);

    // Paints the current state stretched into (X, Y, W, H) of Canvas; the document and cell
    // give the background under a transparent first frame (either may be null).
    void Draw(TCanvas* Canvas, TSectionList* Document, TCell* Cell, int X, int Y, int W, int H);
    // Shows the next frame once the current frame's delay has passed, invalidating the last
    // drawn rectangle on Window (which may be null).
    void AnimationStep(HWND Window);

    bool Animate() const { return FAnimate; }
    void SetAnimate(bool Value);
    int CurrentFrame() const { return FCurrentFrame; }
    void SetCurrentFrame(int Index);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value) { FVisible = Value; }

    // Copies of frame 1's image and mask, made once and kept; null when there is none.
    TBitmap* GetBitmap();
    TBitmap* GetMask();

    bool IsAnimated() const { return FAnimated; }
    bool Empty() const { return FEmpty; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    int FrameCount() const { return int(FFrames.size()); }
    TGIFFrame* Frame(int Index) const { return FFrames[std::size_t(Index - 1)].get(); }
    // 0: endless; without the looping extension the animation plays once.
    int LoopCount() const { return FLoopCount; }
    bool IsTransparent() const { return FTransparent; }
    int ColorBits() const { return FColorBits; }
    const BYTE* GlobalTable() const { return FGlobalTable; }
    // The composite and its mask (white = transparent), for looking at their pixels; null
    // before a full read.
    HDC CompositeDC() const;
    HDC CompositeMaskDC() const;

    bool HeaderOnly = false;
    int Speed = 100; // percent: frame delays are scaled by 100 / Speed
    // Cleared by the document before each paint and set when the image is drawn; only images
    // drawn in the last paint are stepped.
    bool Shown = false;
    // Made by Duplicate: the image object owns it (a loaded image belongs to the image cache).
    bool IsCopy = false;

private:
    struct TSurface;
    friend class TGIFFrame;
    void ClearState();
    void MakeSurfaces();
    void ComposeFrame(int Index);
    void DisposeFrame(int Index);
    void PaintBackground(TSectionList* Document, TCell* Cell, int X, int Y, int W, int H);
    DWORD DelayOf(int Index) const;

    bool FAnimated = false;
    int FCurrentFrame = 1; // the frame on show
    bool FEmpty = true;
    int FWidth = 0, FHeight = 0;
    int FLoopCount = 1;
    bool FTransparent = false;
    bool FVisible = true;
    int FColorBits = 0;
    BYTE FGlobalTable[768] = {};
    std::unique_ptr<TSurface> FComposite, FCompositeMask, FWork;
    bool FBackgroundNeeded = false;
    std::unique_ptr<TBitmap> FBitmap, FMask;
    bool FAnimate = false;
    RECT FLastRect{};
    std::vector<std::unique_ptr<TGIFFrame>> FFrames;
    int FLoopsDone = 1;
    TMemoryStream FData;
    DWORD FLastStepTime = 0, FCurrentDelay = 0;
    std::int64_t FPixelsRead = 0;              // frame pixels of the read in progress
    std::unique_ptr<TGifReadBuffers> FBuffers; // only while reading
};

// For data that sniffs as GIF: an animated GIF read in full, or null. NotAnimated stays true
// when the data is not a GIF, holds one image, or breaks a size limit (the caller decodes it
// itself); it is false when a full read of an animated file failed.
std::unique_ptr<TGIFImage> LoadAnimatedGifStream(TStream* Stream, bool& NotAnimated);
std::unique_ptr<TGIFImage> LoadAnimatedGifFile(const std::string& FileName, bool& NotAnimated);

// Every image of a GIF file as colour indices, read by the same code as the animation (the same
// limits, the same end of reading), for checks and tools that need the raw pixels.
struct TGifRaster {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    bool Interlaced = false;
    bool LocalTable = false;
    int ColorBits = 0;
    int Disposal = 0;
    int Delay = 0; // milliseconds
    bool Transparent = false;
    BYTE TransparentIndex = 0;
    std::string Comment;
    std::vector<BYTE> Pixels; // Width x Height, top row first
};
struct TGifRasters {
    int ScreenWidth = 0, ScreenHeight = 0; // as the file gives them
    int GlobalBits = 0;                    // 0: no global table
    int LoopCount = 1;
    std::vector<TGifRaster> Frames;
};
// False when the data is not a GIF or breaks a size limit.
bool ReadGifRasters(const void* Data, std::size_t Size, TGifRasters& Out);
