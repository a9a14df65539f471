// The class library's own windowless push button with a glyph: TSpeedButton, and the button
// types the program's own buttons share (layouts, states, styles).
#pragma once

#include "platform/controls/Controls.h"
#include "platform/graphics/Graphics.h"

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };
enum TButtonStyle { bsAutoDetect, bsWin31, bsNew };
using TNumGlyphs = int; // 1 .. 4

// Where a glyph and a caption go inside a button's client rectangle: Margin -1 centres the
// pair, Spacing -1 spreads them evenly; Offset moves both (a pressed button draws one pixel
// down and right).
void LayoutGlyphAndCaption(const TRect& Client, const TSize& GlyphSize, const TSize& TextSize,
                           TButtonLayout Layout, int Margin, int Spacing, TPoint& GlyphPos, TRect& TextRect);

class TSpeedButton : public TGraphicControl {
public:
    explicit TSpeedButton(TComponent* AOwner);
    ~TSpeedButton() override;

    // A strip of NumGlyphs images: up, disabled, down, exclusive (the missing ones fall back to
    // the first). The bottom-left pixel's colour is transparent. Loading a strip whose width is
    // 2 to 4 times its height sets NumGlyphs to that.
    TBitmap* Glyph() const { return FGlyph; }
    void SetGlyph(TBitmap* Value) { FGlyph->Assign(Value); }
    TNumGlyphs NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(TNumGlyphs Value);
    // Buttons of one parent with the same GroupIndex (not 0) act as radio buttons; Down stays
    // down after a click. AllowAllUp lets the down one come up again.
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value);
    // Flat buttons show their frame only while the pointer is over them (or while down).
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);

    TButtonState State() const { return FState; }
    bool MouseInControl() const { return FMouseInControl; }
    void Click() override;

protected:
    TW_MESSAGE_HANDLERS(TSpeedButton);
    void CMMouseEnter(TMessage& Message);
    void CMMouseLeave(TMessage& Message);
    void CMEnabledChanged(TMessage& Message);
    void CMTextChanged(TMessage& Message);

    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Paint() override;

private:
    void GlyphChanged();
    void UpdateExclusive();
    TBitmap* FGlyph;
    TNumGlyphs FNumGlyphs = 1;
    int FGroupIndex = 0;
    bool FDown = false;
    bool FAllowAllUp = false;
    bool FFlat = false;
    TButtonLayout FLayout = blGlyphLeft;
    int FSpacing = 4;
    int FMargin = -1;
    TButtonState FState = bsUp;
    bool FDragging = false;
    bool FMouseInControl = false;
};
// Also keeps the names of TButtonLayout, which other buttons read from forms too.
TW_LINK_CLASS(TSpeedButton);
