// The flat speed button of the add-on controls: a glyph and a caption in one of four layouts,
// an optional flat look with hot tracking, a see-through background, grouped "radio" buttons,
// auto-repeat while held, a drop-down menu with a small mark, and a modal result for its form.
// Also the label whose text carries a one-colour shadow.
#pragma once

#include "platform/classes/Classes.h"
#include "platform/controls/Buttons.h"
#include "platform/controls/Controls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Menus.h"
#include "platform/controls/StdButtons.h"
#include "platform/graphics/Graphics.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The visual state of a speed button.
enum TAdGlyphState : std::uint8_t {
    gsUp,        // normal
    gsDisabled,  // the button is disabled
    gsDown,      // pressed while the mouse is held
    gsExclusive, // latched down
    gsInactive,  // a flat button the mouse is not over (a paint state only)
};
// Where the drop-down menu opens: below the button or to its right.
enum TAdDropDownMenuPos { dmpBottom, dmpRight };
// The number of glyphs side by side in a glyph bitmap, 1..5.
using TAdNumGlyphs = std::uint8_t;

// Sent by a grouped button that went down to its siblings: WParam the group index, LParam the
// sending button.
inline constexpr UINT GroupButtonDownMessage = 0xB03D;

// Keeps a button's glyph strip, makes and caches one image per visual state, lays out glyph and
// caption and draws both.
class TAdButtonGlyph : public TObject {
public:
    TAdButtonGlyph();
    ~TAdButtonGlyph() override;

    TBitmap* Glyph() const { return FOriginal.get(); }
    // Copies Value into the strip (nullptr empties it); drops the made images.
    void SetGlyph(TBitmap* Value);
    TAdNumGlyphs NumGlyphs() const { return FNumGlyphs; }
    // Above 5 becomes 5; 0 is ignored; a change drops the made images.
    void SetNumGlyphs(int Value);
    TColor TransparentColor() const { return FTransparentColor; }
    bool WordWrap = false;
    TAlignment Alignment = taCenter;
    // Fires when the glyph changes (the button invalidates).
    TNotifyEvent OnChange;

    void GlyphChanged(TObject* Sender);
    void DiscardStateImages();
    // The index of the state's image (made on first need); -1 for an empty glyph.
    int MakeStateImage(TAdGlyphState State);
    // A made image by index (nullptr when there is none).
    TBitmap* StateImage(int Index) const;
    // Draws the state image at GlyphPos; answers its size (0 x 0 when there is none).
    TPoint DrawGlyphImage(TCanvas* Canvas, const TPoint& GlyphPos, TAdGlyphState State);
    std::string FitCaption(TCanvas* Canvas, const std::string& Caption, int MaxWidth);
    void DrawCaptionText(TCanvas* Canvas, const std::string& Caption, TRect TextBounds, TAdGlyphState State);
    void DrawDropDownMark(TCanvas* Canvas, int X, int Y, TAdGlyphState State);
    void LayoutGlyphAndCaption(TCanvas* Canvas, const TRect& Client, TPoint& GlyphPos, TRect& TextBounds,
                               bool DropDownMark, int Margin, int Spacing, TButtonLayout Layout,
                               std::string& Caption);
    TRect DrawGlyphAndCaption(TCanvas* Canvas, const TRect& Client, TAdGlyphState State, bool DropDownMark,
                              int Spacing, int Margin, TButtonLayout Layout, const std::string& Caption);

private:
    TColor GrayOfColor(TColor Color) const;

    std::unique_ptr<TBitmap> FOriginal;
    std::vector<std::unique_ptr<TBitmap>> FImages;
    int FIndexes[5] = {-1, -1, -1, -1, -1};
    TColor FTransparentColor = 0xFF00FF;
    TAdNumGlyphs FNumGlyphs = 1;
    bool FMaking = false; // making an image touches the strip; that is no glyph change
};

// Draws the button frame of the look (Style, Flat, IsDown) around Client; answers the rectangle
// inside it.
TRect PaintButtonFrame(TCanvas* Canvas, const TRect& Client, bool IsDown, bool Flat, TButtonStyle Style);

class TTimer;

class TAdSpeedButton : public TGraphicControl {
public:
    explicit TAdSpeedButton(TComponent* AOwner);
    ~TAdSpeedButton() override;

    TAlignment Alignment() const { return FGlyph->Alignment; }
    void SetAlignment(TAlignment Value);
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value);
    bool AllowTimer() const { return FAllowTimer; }
    void SetAllowTimer(bool Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    TPopupMenu* DropDownMenu() const { return FDropDownMenu; }
    void SetDropDownMenu(TPopupMenu* Value);
    TAdDropDownMenuPos MenuPosition = dmpBottom;
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    TBitmap* Glyph() const { return FGlyph->Glyph(); }
    void SetGlyph(TBitmap* Value);
    bool GrayedInactive() const { return FGrayedInactive; }
    void SetGrayedInactive(bool Value);
    WORD InitPause = 500;
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    bool MarkDropDown() const { return FMarkDropDown; }
    void SetMarkDropDown(bool Value);
    TModalResult ModalResult = mrNone;
    TAdNumGlyphs NumGlyphs() const { return FGlyph->NumGlyphs(); }
    void SetNumGlyphs(int Value);
    WORD RepeatInterval = 100;
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    TButtonStyle Style() const { return FStyle; }
    void SetStyle(TButtonStyle Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    bool WordWrap() const { return FGlyph->WordWrap; }
    void SetWordWrap(bool Value);

    // What the button shows now, and whether the mouse is over it.
    TAdGlyphState State() const { return FState; }
    bool MouseInControl() const { return FMouseInControl; }
    bool MenuTracking() const { return FMenuTracking; }
    TAdButtonGlyph* ButtonGlyph() const { return FGlyph.get(); }
    // The repeat timer (nullptr until the first press with AllowTimer, and after AllowTimer
    // is turned off).
    TTimer* RepeatTimer() const { return FRepeatTimer; }

    void Click() override;
    void Loaded() override;
    HPALETTE GetPalette();
    // Opens the drop-down menu at a client point; true when it was shown.
    bool ShowDropDownMenu(const TPoint& P, bool Manual);
    void ReleasePress(TMouseButton Button, int X, int Y);
    void UpdateHotTracking();
    void BroadcastGroupDown();
    void RepeatTimerFired(TObject* Sender);

    // Live buttons and the latched buttons' shared brush (made on first need).
    static int InstanceCount() { return FInstanceCount; }
    static TBitmap* SharedCheckerPattern();
    static bool SharedCheckerPatternMade() { return FSharedCheckerPattern != nullptr; }

protected:
    TW_MESSAGE_HANDLERS(TAdSpeedButton);
    void WMLButtonDblClk(TWMLButtonDblClk Message);
    void WMRButtonDown(TWMRButtonDown Message);
    void WMRButtonUp(TWMRButtonUp Message);
    void CMEnabledChanged(TMessage& Message);
    void CMVisibleChanged(TMessage& Message);
    void CMFontChanged(TMessage& Message);
    void CMTextChanged(TMessage& Message);
    void CMSysColorChange(TMessage& Message);
    void CMMouseEnter(TMessage& Message);
    void CMMouseLeave(TMessage& Message);
    void CMDialogChar(TCMDialogChar Message);
    // GroupButtonDownMessage: a button of the same group went down.
    void GroupButtonDown(TMessage& Message);

    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    bool IsInside(int X, int Y) const;
    TAdGlyphState CurrentLook() const;
    bool IsAccelerator(char Key) const;
    void FreeRepeatTimer();
    void FreeRetiredTimer();
    static void RetiredTimerDue(HWND Wnd, UINT Msg, std::uintptr_t Id, DWORD Time);

    int FGroupIndex = 0;
    std::unique_ptr<TAdButtonGlyph> FGlyph;
    TButtonStyle FStyle = bsAutoDetect;
    std::unique_ptr<TBitmap> FImage;
    bool FDown = false;
    bool FDragging = false;
    bool FFlat = false;
    bool FMouseInControl = false;
    bool FAllowAllUp = false;
    TButtonLayout FLayout = blGlyphTop;
    int FSpacing = 1;
    int FMargin = -1;
    bool FTransparent = false;
    bool FMarkDropDown = true;
    TPopupMenu* FDropDownMenu = nullptr;
    bool FGrayedInactive = true;
    bool FMenuTracking = false;
    TTimer* FRepeatTimer = nullptr;  // owned (a component of the button)
    TTimer* FRetiredTimer = nullptr; // turned off inside its own tick, freed after it
    UINT_PTR FRetireTimerId = 0;     // the thread timer that frees it
    bool FInRepeatTick = false;
    bool FAllowTimer = false;
    TAdGlyphState FState = gsUp;

    static int FInstanceCount;
    static TBitmap* FSharedCheckerPattern;
};
TW_LINK_CLASS(TAdSpeedButton);

// ---- The shadowed label -----------------------------------------------------------------------
// Where a label's shadow lies from its text.
enum TShadowPosition : std::uint8_t { spLeftTop, spLeftBottom, spRightBottom, spRightTop };

// DrawText of Text (Length bytes, -1: all) into Rect, first in ShadowColor moved ShadowSize
// pixels towards ShadowPos, then in the DC's text colour in place; Rect becomes the union of
// both. Answers the shadow's DrawText height, plus ShadowSize when that height is above 0.
int PaintShadowedText(HDC DC, const char* Text, int Length, TRect& Rect, UINT Flags, int ShadowSize,
                      COLORREF ShadowColor, TShadowPosition ShadowPos);

class TAdCustomLabel : public TGraphicControl {
public:
    explicit TAdCustomLabel(TComponent* AOwner);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* Value);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout Value);
    TColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(TColor Value);
    int ShadowSize() const { return FShadowSize; }
    void SetShadowSize(int Value); // a byte: 0..255
    TShadowPosition ShadowPos() const { return FShadowPos; }
    void SetShadowPos(TShadowPosition Value);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool Value);
    bool ShowFocus() const { return FShowFocus; }
    void SetShowFocus(bool Value);
    bool Transparent() const { return !ControlStyle.Contains(csOpaque); }
    void SetTransparent(bool Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

    // Whether the focus control has the focus, the mouse is over the label, the left button
    // went down on it.
    bool FocusState() const { return FFocused; }
    bool MouseInControl() const { return FMouseInControl; }
    bool Dragging() const { return FDragging; }

    void AdjustBounds();
    void UpdateTracking();

protected:
    TW_MESSAGE_HANDLERS(TAdCustomLabel);
    void WMRButtonDown(TWMRButtonDown Message);
    void WMRButtonUp(TWMRButtonUp Message);
    void CMTextChanged(TMessage& Message);
    void CMFontChanged(TMessage& Message);
    void CMEnabledChanged(TMessage& Message);
    void CMVisibleChanged(TMessage& Message);
    void CMMouseEnter(TMessage& Message);
    void CMMouseLeave(TMessage& Message);
    void CMFocusChanged(TMessage& Message);
    void CMDialogChar(TCMDialogChar Message);

    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual void DoDrawText(TRect& Rect, UINT Flags);
    void Paint() override;
    void Loaded() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TAlignment FAlignment = taLeftJustify;
    bool FAutoSize = true;
    TWinControl* FFocusControl = nullptr;
    TTextLayout FLayout = tlTop;
    TColor FShadowColor = clBtnHighlight;
    std::uint8_t FShadowSize = 1;
    TShadowPosition FShadowPos = spLeftTop;
    bool FShowAccelChar = true;
    bool FShowFocus = false;
    bool FWordWrap = false;
    bool FFocused = false;
    bool FMouseInControl = false;
    bool FDragging = false;
};

class TAdLabel : public TAdCustomLabel {
public:
    using TAdCustomLabel::TAdCustomLabel;
};
TW_LINK_CLASS(TAdLabel);
