// Images placed in text: an IMG element is one TImageObj standing as character 4 in its text
// block. This holds the attributes, the box the image takes in a line and its last painted
// place; floating images (ALIGN LEFT/RIGHT) are placed by the indent manager.
//
// The picture itself (fetching through the image cache, masks, animation) is not here yet: an
// image is measured from its WIDTH and HEIGHT (a 20 x 20 box when absent) and painted as a box.
#pragma once

#include "html-engine/HtmlImageUtil.h"
#include "html-engine/HtmlParser.h"
#include "platform/graphics/Graphics.h"

#include <string>

class TSectionList;
class TCell;
class TFontObj;
class TFormControlObj;

class TImageObj : public TObject {
public:
    TImageObj(int APos, TAttributeList* Attributes);
    TImageObj(const TImageObj& Source);

    bool Floating() const { return ImageAlign == 3 || ImageAlign == 4; }
    // Settles ImageWidth and ImageHeight (called by layout and MinMaxWidth).
    void Size(TSectionList* Document, TCanvas* Canvas, TFontObj* FontObj);
    // Paints the image in a line; Baseline and LineTop are document Y values.
    void Draw(TCanvas* Canvas, int X, TFontObj* FontObj, int Baseline, int LineTop);

    int Pos = 0;
    int ImageHeight = 0, ImageWidth = 0;
    int SpecHeight = 0, SpecWidth = 0;
    int ObjHeight = 0, ObjWidth = 0;
    bool ImageKnown = false;
    std::string Source, Alt;
    std::uint8_t ImageAlign = 2; // 0 top, 1 middle, 2 bottom, 3 left float, 4 right float
    bool NoBorder = false;
    TObject* Image = nullptr; // the picture (not owned here)
    TSectionList* ParentSectionList = nullptr;
    std::uint8_t Transparent = 0;
    bool IsMap = false, UseMap = false;
    bool HasBorder = false;
    int DrawX = 0, DrawY = 0; // screen X and document Y at the last paint
    int Indent = 0;           // X of a floating image from the cell's left edge
    std::string MapName;
    int HSpace = 5;
    TFormControlObj* MyFormControl = nullptr;
    TCell* MyCell = nullptr;
    TColor BoxColor = clGray; // the colour the stand-in box is painted in
};

// The images of one text block in text order; owns them.
class TImageList : public TFreeList {
public:
    TImageList() = default;
    TImageList(const TImageList& Source);
    TImageObj* Image(int Index) const { return ItemAs<TImageObj>(Index); }
    TImageObj* FindImage(int Pos) const;
    int GetHeightAt(int Pos, std::uint8_t& Align) const;
    int GetWidthAt(int Pos, std::uint8_t& Align) const;
    // Characters from Pos to the next image at or after Pos; 9999 when none.
    int GetImageCountAt(int Pos) const;
    // The image whose last painted box holds (X screen, Y document).
    bool PtInImage(int X, int Y, TFormControlObj*& FormControl, bool& IsMap, int& Pos, int& YInImage,
                   int& XInImage, TImageObj*& Which) const;
};
