// Stand-in for the toolbar and its separator until the docking toolbars land: a raised row of
// buttons (left to right in their stored order, with a drag handle in front) that sizes itself
// to its buttons and sits in its dock at DockRow/DockPos.
#pragma once

#include "platform/controls/Controls.h"

class TDock;

class TToolbar : public TCustomControl {
public:
    explicit TToolbar(TComponent* AOwner);

    TDock* DockedTo() const { return FDockedTo; }
    void SetDockedTo(TDock* Value);
    int DockRow() const { return FDockRow; }
    void SetDockRow(int Value);
    int DockPos() const { return FDockPos; }
    void SetDockPos(int Value);
    bool CloseButton = true;
    bool DragHandle = true;
    bool FullSize = false;

    // Places the buttons and takes the size they need.
    void ArrangeControls();

protected:
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void Loaded() override;
    void Paint() override;

private:
    void DockChanged();
    TDock* FDockedTo = nullptr;
    int FDockRow = 0;
    int FDockPos = -1;
    bool FArranging = false;
};
TW_LINK_CLASS(TToolbar);

class TToolbarSep : public TGraphicControl {
public:
    explicit TToolbarSep(TComponent* AOwner);
    bool Blank = false;

protected:
    void Paint() override;
};
TW_LINK_CLASS(TToolbarSep);
