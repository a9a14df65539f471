// Stand-in for the toolbar button until its component lands: a flat speed button of 23 x 22
// (glyph, caption, hint and click as the class library's speed button draws and runs them; a
// disabled button shows its glyph embossed).
#pragma once

#include "platform/controls/Buttons.h"

enum TButtonDisplayMode { dmBoth, dmGlyphOnly, dmTextOnly };

class TToolbarButton : public TSpeedButton {
public:
    explicit TToolbarButton(TComponent* AOwner);
    TButtonDisplayMode DisplayMode = dmBoth; // stored only in the stand-in
    bool Repeating = false;                  // stored only in the stand-in

protected:
    // A single glyph gets its greyed, embossed image beside it, so a disabled button looks so.
    void Loaded() override;
};
TW_LINK_CLASS(TToolbarButton);
