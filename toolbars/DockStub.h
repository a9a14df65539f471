// Stand-in for the docking strip until its component lands: a container along the top (or
// another edge) of a form that lines up its toolbars in rows by DockRow and DockPos and takes
// the height of its rows.
#pragma once

#include "platform/controls/Controls.h"

enum TDockPosition { dpTop, dpBottom, dpLeft, dpRight };

class TDock : public TCustomControl {
public:
    explicit TDock(TComponent* AOwner);

    TDockPosition Position() const { return FPosition; }
    void SetPosition(TDockPosition Value);
    bool AllowDrag = true;
    bool BoundLines = false; // stored only in the stand-in

    // Places the visible toolbars in their rows and sizes the dock to them.
    void ArrangeToolbars();

protected:
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void Loaded() override;
    void Paint() override;

private:
    TDockPosition FPosition = dpTop;
    bool FArranging = false;
};
TW_LINK_CLASS(TDock);
