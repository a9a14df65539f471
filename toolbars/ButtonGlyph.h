// Glyph images of the toolbar buttons: each button's TButtonGlyph holds its glyph strip and
// optional mask, builds the image of each button state on demand (an embossed disabled image
// when the strip has none) into image lists that all buttons with glyphs of one size share, and
// lays out and draws glyph, caption and drop-down arrow inside the button's content rectangle.
#pragma once

#include "platform/controls/Buttons.h"
#include "platform/graphics/Graphics.h"
#include "platform/graphics/ImgList.h"

#include <memory>
#include <string>
#include <vector>

// What a toolbar button shows; the values index the images of a glyph strip.
enum TToolbarButtonState { tbsUp, tbsDisabled, tbsDown, tbsExclusive, tbsHot };
inline constexpr int ToolbarButtonStateCount = 5;

// Images in a glyph strip, 1 .. 5.
using TToolbarNumGlyphs = int;

// An image list whose slots are handed out one by one and given back; the images of freed
// slots stay in place (so the others keep their indexes) until a new image takes the slot.
class TGlyphList : public TImageList {
public:
    TGlyphList(int AWidth, int AHeight);

    // Into the first free slot, or a new one; answers the slot.
    int AddImage(TBitmap* Image, TBitmap* Mask);
    int AddImageMasked(TBitmap* Image, TColor MaskColor);
    void FreeSlot(int Index);
    // Slots in use.
    int UsedCount() const { return FUsedCount; }

private:
    int TakeSlot();
    std::vector<bool> FUsed;
    int FUsedCount = 0;
};

// The shared lists by image size.
class TGlyphCache {
public:
    TGlyphCache() = default;
    ~TGlyphCache();
    TGlyphCache(const TGlyphCache&) = delete;
    TGlyphCache& operator=(const TGlyphCache&) = delete;

    // The list of that size, made when there is none.
    TGlyphList* AcquireList(int AWidth, int AHeight);
    // Frees the list once none of its slots is in use.
    void ReleaseList(TGlyphList* List);
    bool IsEmpty() const { return FLists.empty(); }
    int ListCount() const { return static_cast<int>(FLists.size()); }

private:
    std::vector<std::unique_ptr<TGlyphList>> FLists;
};

// The cache every TButtonGlyph shares: made by the first one that needs it, freed when the last
// one goes while it is empty. nullptr when there is none.
TGlyphCache* SharedGlyphCache();

class TButtonGlyph : public TObject {
public:
    TButtonGlyph();
    ~TButtonGlyph() override;
    TButtonGlyph(const TButtonGlyph&) = delete;
    TButtonGlyph& operator=(const TButtonGlyph&) = delete;

    // The strip: assigning one whose width is an exact multiple of its height takes the number
    // of images from its shape.
    TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(TBitmap* Value);
    // Optional monochrome mask of the strip, white where the glyph is transparent.
    TBitmap* GlyphMask() const { return FGlyphMask.get(); }
    void SetGlyphMask(TBitmap* Value);
    TToolbarNumGlyphs NumGlyphs() const { return FNumGlyphs; }
    // 0 and less become 1, above 5 becomes 5.
    void SetNumGlyphs(TToolbarNumGlyphs Value);
    bool OldDisabledStyle() const { return FOldDisabledStyle; }
    void SetOldDisabledStyle(bool Value);
    // The strip's bottom-left pixel, palette-relative.
    TColor TransparentColor() const { return FTransparentColor; }
    // The button repaints.
    TNotifyEvent OnChange;

    struct TStateImage {
        TGlyphList* List = nullptr;
        int Index = -1;
    };
    // The image of a state, built on first need; no list for an empty glyph.
    TStateImage BuildStateImage(TToolbarButtonState State);
    void DrawStateImage(TCanvas* Canvas, const TPoint& Pos, TToolbarButtonState State);
    void DrawCaptionText(TCanvas* Canvas, const std::string& Caption, TRect TextBounds,
                         TToolbarButtonState State, bool WordWrap);
    void DrawDropArrow(TCanvas* Canvas, int X, int Y, TToolbarButtonState State);

    // Where glyph, caption and arrow go in Client, moved by Offset.
    struct TContentLayout {
        TPoint GlyphPos;
        TSize GlyphSize;
        TRect TextBounds;
        TPoint ArrowPos;
    };
    TContentLayout ComputeLayout(TCanvas* Canvas, const TRect& Client, const TPoint& Offset,
                                 const std::string& Caption, TButtonLayout Layout, int Margin, int Spacing,
                                 bool DropArrow, bool WordWrap, bool DrawText, bool DrawGlyph);
    void DrawContent(TCanvas* Canvas, const TRect& Client, const TPoint& Offset, const std::string& Caption,
                     TButtonLayout Layout, int Margin, int Spacing, TToolbarButtonState State, bool DropArrow,
                     bool WordWrap, bool DrawText, bool DrawGlyph);

    // Gives every built image back (the glyph or the system colours changed).
    void ReleaseImages();

private:
    void GlyphChanged(TObject* Sender);
    void Changed();
    // Column Index of the strip, and of the mask (nullptr when there is no mask).
    std::unique_ptr<TBitmap> StripColumn(TBitmap* Strip, int Index) const;
    std::unique_ptr<TBitmap> GeneratedDisabledImage();
    std::unique_ptr<TBitmap> RecolouredDisabledImage(std::unique_ptr<TBitmap>& Mask);

    std::unique_ptr<TBitmap> FGlyph;
    std::unique_ptr<TBitmap> FGlyphMask;
    TToolbarNumGlyphs FNumGlyphs = 1;
    bool FOldDisabledStyle = false;
    TColor FTransparentColor = clNone;
    // [0] the list of the glyph's size, [1] the one a pixel larger each way (disabled image).
    TGlyphList* FLists[2] = {nullptr, nullptr};
    int FIndexes[2][ToolbarButtonStateCount] = {{-1, -1, -1, -1, -1}, {-1, -1, -1, -1, -1}};
};
