// Image lists: rows of same-sized images with masks, drawn transparently, blended or disabled,
// and the image-list calls of the common controls over them.
#pragma once

#include "platform/classes/Classes.h"
#include "platform/graphics/Graphics.h"
#include "platform/rtl/Types.h"

#include <memory>
#include <vector>

TW_DECLARE_HANDLE(HIMAGELIST);

enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
enum TImageType { itImage, itMask };

class TImageList;

// Tells a control that uses an image list when the list changes; unregisters itself when freed.
class TChangeLink : public TObject {
public:
    TChangeLink() = default;
    ~TChangeLink() override;
    TChangeLink(const TChangeLink&) = delete;
    TChangeLink& operator=(const TChangeLink&) = delete;
    TImageList* Sender() const { return FSender; }
    TNotifyEvent OnChange;

private:
    friend class TImageList;
    TImageList* FSender = nullptr;
};

class TImageList : public TComponent {
public:
    explicit TImageList(TComponent* AOwner = nullptr);
    // The list with its image size set (the class library's CreateSize).
    TImageList(int AWidth, int AHeight, TComponent* AOwner = nullptr);
    ~TImageList() override;
    void Assign(TPersistent* Source) override;

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // A new size empties the list.
    void SetWidth(int Value);
    void SetHeight(int Value);
    int Count() const { return static_cast<int>(FImages.size()); }
    // Unmasked lists draw their images opaque.
    bool Masked() const { return FMasked; }
    void SetMasked(bool Value);
    // The colour drawn under transparent pixels in dsNormal (clNone: they stay transparent).
    TColor BkColor() const { return FBkColor; }
    void SetBkColor(TColor Value);
    // The colour dsFocus (25%) and dsSelected (50%) mix in (clNone: the highlight colour).
    TColor BlendColor() const { return FBlendColor; }
    void SetBlendColor(TColor Value);
    TDrawingStyle DrawingStyle() const { return FDrawingStyle; }
    void SetDrawingStyle(TDrawingStyle Value);
    TImageType ImageType() const { return FImageType; }
    void SetImageType(TImageType Value);
    int AllocBy = 4;

    // A bitmap as wide as several images adds them all; the index of the first is returned.
    // Mask is monochrome, white where the image is transparent (null: opaque). A bitmap smaller
    // than the list's size raises EInvalidOperation "Invalid image size".
    int Add(TBitmap* Image, TBitmap* Mask);
    // The pixels of MaskColor become transparent (clDefault: the image's TransparentColor).
    int AddMasked(TBitmap* Image, TColor MaskColor);
    int AddIcon(TIcon* Image);
    void Insert(int Index, TBitmap* Image, TBitmap* Mask);
    void InsertMasked(int Index, TBitmap* Image, TColor MaskColor);
    // Raises EInvalidOperation "Invalid image size" for a bitmap smaller than the list's size
    // and "Unable to Replace Image" for an index outside the list.
    void Replace(int Index, TBitmap* Image, TBitmap* Mask);
    void ReplaceMasked(int Index, TBitmap* NewImage, TColor MaskColor);
    // Index -1 removes every image; another index outside the list raises EInvalidOperation
    // "Invalid ImageList Index".
    void Delete(int Index);
    void Clear();
    void Move(int CurIndex, int NewIndex);

    // With the list's DrawingStyle and ImageType; a disabled image is drawn embossed in the
    // highlight and shadow colours. An index outside the list draws nothing.
    void Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled = true);
    void Draw(TCanvas* Canvas, int X, int Y, int Index, TDrawingStyle ADrawingStyle, TImageType AImageType,
              bool Enabled = true);
    // Image becomes Width x Height with the image drawn on it (over its own brush colour).
    void GetBitmap(int Index, TBitmap* Image);
    // Mask becomes a monochrome bitmap, white where the image is transparent.
    void GetMask(int Index, TBitmap* Mask);
    void GetIcon(int Index, TIcon* Image);

    HIMAGELIST Handle() { return reinterpret_cast<HIMAGELIST>(this); }
    // The list behind a handle; null for one that is not a live list.
    static TImageList* FromHandle(HIMAGELIST Handle);
    // Draws into a DC as ImageList_DrawEx does (ILD_* Style, CLR_NONE / CLR_DEFAULT colours).
    bool DrawToDC(int Index, HDC DC, int X, int Y, int DX, int DY, COLORREF Bk, COLORREF Fg, UINT Style);

    void RegisterChanges(TChangeLink* Value);
    void UnRegisterChanges(TChangeLink* Value);
    TNotifyEvent OnChange;

protected:
    virtual void Change();

private:
    struct TEntry;
    std::vector<std::unique_ptr<TEntry>> Split(TBitmap* Image, TBitmap* Mask);
    std::vector<std::unique_ptr<TEntry>> SplitMasked(TBitmap* Image, TColor MaskColor);
    void CheckSize(TBitmap* Image) const;
    void DrawDisabled(HDC DC, int X, int Y, const TEntry& Entry);

    int FWidth = 16, FHeight = 16;
    bool FMasked = true;
    TColor FBkColor = clNone;
    TColor FBlendColor = clNone;
    TDrawingStyle FDrawingStyle = dsNormal;
    TImageType FImageType = itImage;
    std::vector<std::unique_ptr<TEntry>> FImages;
    std::vector<TChangeLink*> FLinks;
};

// The common controls' image-list calls on a TImageList handle.
constexpr COLORREF CLR_NONE = 0xFFFFFFFFu;
constexpr COLORREF CLR_DEFAULT = 0xFF000000u;
constexpr UINT ILD_NORMAL = 0x0000;
constexpr UINT ILD_TRANSPARENT = 0x0001;
constexpr UINT ILD_BLEND25 = 0x0002;
constexpr UINT ILD_FOCUS = ILD_BLEND25;
constexpr UINT ILD_BLEND50 = 0x0004;
constexpr UINT ILD_SELECTED = ILD_BLEND50;
constexpr UINT ILD_BLEND = ILD_BLEND50;
constexpr UINT ILD_MASK = 0x0010;

BOOL ImageList_DrawEx(HIMAGELIST List, int Index, HDC DC, int X, int Y, int DX, int DY, COLORREF Bk,
                      COLORREF Fg, UINT Style);
BOOL ImageList_Draw(HIMAGELIST List, int Index, HDC DC, int X, int Y, UINT Style);
int ImageList_GetImageCount(HIMAGELIST List);
BOOL ImageList_GetIconSize(HIMAGELIST List, int* Width, int* Height);
// Index -1 removes every image.
BOOL ImageList_Remove(HIMAGELIST List, int Index);
