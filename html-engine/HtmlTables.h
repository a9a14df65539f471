// Tables in the document: a ThtmlTable block holds rows (TCellList) of cells (TCellObj, each
// with a TCell of blocks) and a caption cell.
//
// Layout here is plain: the caption and then every cell, in row order, are laid out one below
// the other at the table's full width. Column widths, spans, borders and floating tables come
// with the table layout proper.
#pragma once

#include "html-engine/HtmlModel.h"

#include <memory>

// One row of cells; owns them.
class TCellList : public TFreeList {
public:
    explicit TCellList(TAttributeList* Attributes);
    TCellList(TSectionList* Master, const TCellList& Source);
    TCellObj* CellObj(int Index) const { return ItemAs<TCellObj>(Index); }

    bool BkGnd = false;
    TColor BkColor = clWhite;
};

class ThtmlTable : public TSectionBase {
public:
    ThtmlTable(TSectionList* Master, int ALevel, TCell* OwnerCell, int AJustify, TAttributeList* Attributes);
    ThtmlTable(TSectionList* Master, const ThtmlTable& Source);

    TSectionBase* Duplicate(TSectionList* MasterList) const override;
    int DrawLogic(TCanvas* Canvas, int Y, int& Curs, int& MaxWidth, IndentManager* IMgr) override;
    int Draw(TCanvas* Canvas, const TRect& ARect, int Y, int X, IndentManager* IMgr) override;
    void MinMaxWidth(TCanvas* Canvas, int& Min, int& Max) override;
    void UpdateFonts() override;
    void CopyToClipboard() override;
    bool HoldsObject(const TObject* Obj) const override;

    TCellList* Row(int Index) const { return Rows.ItemAs<TCellList>(Index); }

    TFreeList Rows; // TCellList, owned
    std::unique_ptr<TCellObj> Caption;
    bool CaptionTop = true;
    int Level = 0;
    std::uint8_t Justify = 1;
    bool BorderOn = false;

private:
    // Every cell with content, caption first when it is above.
    template <class F> void ForEachCell(F Fn) const;
};
