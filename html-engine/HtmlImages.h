// Images placed in text: an IMG element (or an INPUT TYPE=image) is one TImageObj standing as
// character 4 in its text block. It fetches its picture by name through the document (the
// shared image cache, the view's request events or the file), sizes itself from the picture and
// its WIDTH and HEIGHT, paints the picture (stretched, masked when transparent, framed inside a
// link) or a stand-in with its ALT text, and answers which point of the picture was hit.
// Floating images (ALIGN LEFT/RIGHT) are placed by the indent manager.
#pragma once

#include "html-engine/HtmlImageUtil.h"
#include "html-engine/HtmlParser.h"
#include "platform/graphics/Graphics.h"

#include <memory>
#include <string>
#include <vector>

class TSectionList;
class TGIFImage;
class TCell;
class TFontObj;
class TFormControlObj;

class TImageObj : public TObject {
public:
    TImageObj(int APos, TAttributeList* Attributes);
    // Shares the picture: another use of its cache entry, or a copy of a picture of its own;
    // an animation is always copied.
    TImageObj(const TImageObj& Source);
    ~TImageObj() override;

    bool Floating() const { return ImageAlign == 3 || ImageAlign == 4; }
    // Fetches the picture when images are shown and there is none yet, and settles ImageWidth
    // and ImageHeight (called by layout and MinMaxWidth).
    void Size(TSectionList* Document, TCanvas* Canvas, TFontObj* FontObj);
    // Paints the image in a line; Baseline and LineTop are document Y values.
    void Draw(TCanvas* Canvas, int X, TFontObj* FontObj, int Baseline, int LineTop);
    // True while the image shows a stand-in (images off, or a picture that could not be had).
    bool ShowsPlaceholder() const;

    int Pos = 0;
    int ImageHeight = 0, ImageWidth = 0; // the box in the line, link border included
    int SpecHeight = 0, SpecWidth = 0;   // HEIGHT and WIDTH (0 when absent)
    int ObjHeight = 0, ObjWidth = 0;     // the painted picture
    bool ImageKnown = false;
    std::string Source, Alt;
    std::uint8_t ImageAlign = 2; // 0 top, 1 middle, 2 bottom, 3 left float, 4 right float
    bool NoBorder = false;
    // The picture: a bitmap, an animated GIF, or one of the stand-ins; held through FHold, or
    // the image's own copy of an animation.
    TObject* Image = nullptr;
    TBitmap* Mask = nullptr; // white = transparent
    TSectionList* ParentSectionList = nullptr;
    std::uint8_t Transparent = 0; // 0 none, 1 TRANSP (bottom-left colour), 2 a given colour
    bool IsMap = false, UseMap = false;
    bool HasBorder = false;
    int DrawX = 0, DrawY = 0; // screen X and document Y of the picture at the last paint
    int Indent = 0;           // X of a floating image from the cell's left edge
    std::string MapName;      // USEMAP, upper case, without a leading "#"
    int HSpace = 5;
    TFormControlObj* MyFormControl = nullptr;
    TCell* MyCell = nullptr;

private:
    // What the fetch left this image: a use of a cache entry, or a picture of its own.
    TImageHold FHold;
    // The copy of a cached animation this image shows (marked as a copy).
    std::unique_ptr<TGIFImage> FOwnGif;
};

// The platform's image lists of toolbars and menus carry the same class name; the engine's list of
// a block's images lives in its own namespace so that a program linking both has one definition
// of each.
namespace HtmlEngine {

// The images of one text block in text order; owns them. Most blocks have none, so the list
// is made with the first.
class TImageList {
public:
    TImageList() = default;
    TImageList(const TImageList& Source);
    TImageList& operator=(const TImageList&) = delete;
    ~TImageList();
    int Count() const { return FImages ? static_cast<int>(FImages->size()) : 0; }
    TImageObj* Image(int Index) const;
    // Takes Image, which stands after every image already in the list.
    void Add(TImageObj* Image);
    void Clear();
    TImageObj* FindImage(int Pos) const;
    int GetHeightAt(int Pos, std::uint8_t& Align) const;
    int GetWidthAt(int Pos, std::uint8_t& Align) const;
    // Characters from Pos to the next image at or after Pos; 9999 when none.
    int GetImageCountAt(int Pos) const;
    // The image whose last painted picture holds (X screen, Y document): its form control, its
    // client-side map when it names one the document has, ISMAP, its position and the point
    // inside the picture.
    bool PtInImage(int X, int Y, TFormControlObj*& FormControl, TMapItem*& MapItem, bool& MapFound,
                   bool& IsMap, int& Pos, int& YInImage, int& XInImage) const;

private:
    // The index of the first image at Pos or later (Count() when none).
    int FirstAtOrAfter(int Pos) const;

    std::unique_ptr<std::vector<std::unique_ptr<TImageObj>>> FImages;
};

} // namespace HtmlEngine
