// The flat button of the toolbars: a windowless control showing a glyph and/or a caption that
// lights its border while the mouse is over it (one hot button and one hot-tracking timer for
// the whole program), latches down in a group, repeats while held and drops down a popup menu,
// optionally from a separate arrow part at its right. TDropdownList is the hidden window that
// hears the menu messages of dropped-down menus.
#pragma once

#include "platform/controls/Controls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Menus.h"
#include "toolbars/ButtonGlyph.h"

#include <memory>
#include <string>
#include <vector>

class TTimer;

enum TButtonDisplayMode { dmBoth, dmGlyphOnly, dmTextOnly };

class TToolbarButton : public TGraphicControl {
public:
    explicit TToolbarButton(TComponent* AOwner);
    ~TToolbarButton() override;

    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    // Latched; only with a GroupIndex, and the down button of a group without AllowAllUp stays
    // down until another one goes down.
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    TButtonDisplayMode DisplayMode() const { return FDisplayMode; }
    void SetDisplayMode(TButtonDisplayMode Value);
    TPopupMenu* DropdownMenu() const { return FDropdownMenu; }
    void SetDropdownMenu(TPopupMenu* Value);
    // The small arrow beside the content when there is a menu.
    bool DropdownArrow() const { return FDropdownArrow; }
    void SetDropdownArrow(bool Value);
    // The menu drops only from the arrow part at the right; the rest of the button clicks.
    bool DropdownCombo() const { return FDropdownCombo; }
    void SetDropdownCombo(bool Value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    TBitmap* Glyph() const { return FGlyph->Glyph(); }
    void SetGlyph(TBitmap* Value) { FGlyph->SetGlyph(Value); }
    TBitmap* GlyphMask() const { return FGlyph->GlyphMask(); }
    void SetGlyphMask(TBitmap* Value) { FGlyph->SetGlyphMask(Value); }
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value);
    // -1 centres the content; values below -1 are refused.
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    bool NoBorder() const { return FNoBorder; }
    void SetNoBorder(bool Value);
    TToolbarNumGlyphs NumGlyphs() const { return FGlyph->NumGlyphs(); }
    void SetNumGlyphs(TToolbarNumGlyphs Value) { FGlyph->SetNumGlyphs(Value); }
    bool OldDisabledStyle() const { return FGlyph->OldDisabledStyle(); }
    void SetOldDisabledStyle(bool Value) { FGlyph->SetOldDisabledStyle(Value); }
    // A flat button that is not opaque shows its parent through.
    bool Opaque() const { return FOpaque; }
    void SetOpaque(bool Value);
    bool Repeating = false;
    int RepeatDelay = 400;
    int RepeatInterval = 100;
    // Hot tracking also while another program is active.
    bool ShowBorderWhenInactive = false;
    // -1 spreads glyph and caption evenly.
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    TModalResult ModalResult = mrNone;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseExit;

    TToolbarButtonState ButtonState() const { return FButtonState; }
    // The border is lit: the mouse is over the button (or held down on it).
    bool CursorInside() const { return FCursorInside; }
    // The left button is held after a press that may end in a click.
    bool Tracking() const { return FTracking; }
    TButtonGlyph* ButtonGlyph() const { return FGlyph.get(); }
    // The one button whose border is lit by hot tracking (nullptr when none).
    static TToolbarButton* HotButton();

    void Click() override;
    // The double-click message fires OnDblClick itself, and only for a down button.
    void DblClick() override {}
    void Loaded() override;
    HPALETTE GetPalette() { return FGlyph->Glyph()->Palette(); }

    // The width of the arrow part of a DropdownCombo button.
    static constexpr int DropdownComboSpace = 11;

protected:
    TW_MESSAGE_HANDLERS(TToolbarButton);
    void WMLButtonDblClk(TWMLButtonDblClk Message);
    void WMCancelMode(TWMCancelMode Message);
    void CMEnabledChanged(TMessage& Message);
    void CMButtonPressed(TMessage& Message);
    void CMDialogChar(TCMDialogChar Message);
    void CMSysColorChange(TMessage& Message);
    void CMMouseLeave(TMessage& Message);

    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    static void HotTimerTick(TObject* Sender);
    static bool AppWindowHook(TMessage& Message);
    void ShowHot();
    void ClearHot();
    void RecheckHot();
    // Becomes the hot button when the mouse over it counts (the program active, or
    // ShowBorderWhenInactive).
    void TakeHot();
    bool IsCursorOver();
    // Inside the part that clicks (the whole button less a combo's arrow part).
    bool InsideClickPart(int X, int Y) const;
    bool HasComboArrow() const { return FDropdownCombo && FDropdownMenu; }
    void DropDown();
    void StartRepeat();
    void StopRepeat();
    void RepeatTimerTick(TObject* Sender);
    void UpdateExclusive();
    void UpdateOpaqueStyle();
    void BuildImageOfEnabledState();

    std::unique_ptr<TButtonGlyph> FGlyph;
    TToolbarButtonState FButtonState = tbsUp;
    bool FCursorInside = false;
    bool FTracking = false;
    bool FMenuPressed = false;
    bool FInClick = false;
    TTimer* FRepeatTimer = nullptr; // owned; made at the first repeating press
    bool FHooked = false;           // counted among the buttons that keep the main-window hook

    bool FAllowAllUp = false;
    int FGroupIndex = 0;
    bool FDown = false;
    TButtonDisplayMode FDisplayMode = dmBoth;
    TPopupMenu* FDropdownMenu = nullptr;
    bool FDropdownArrow = true;
    bool FDropdownCombo = false;
    bool FFlat = true;
    TButtonLayout FLayout = blGlyphLeft;
    int FMargin = -1;
    bool FNoBorder = false;
    bool FOpaque = true;
    int FSpacing = 4;
    bool FWordWrap = false;
};
TW_LINK_CLASS(TToolbarButton);

// The drop-down buttons' menus: a hidden window, made with the first menu and destroyed with the
// last, owns every dropped-down menu and hands its messages to the registered menus.
class TDropdownList : public TComponent {
public:
    explicit TDropdownList(TComponent* AOwner);
    ~TDropdownList() override;
    void AddMenu(TPopupMenu* Menu);
    // The owner window of dropped-down menus (nullptr while no menu is registered).
    HWND Window() const { return FWindow; }
    void DefaultHandler(TMessage& Message) override;

protected:
    TW_MESSAGE_HANDLERS(TDropdownList);
    void WMMenuSelect(TWMMenuSelect Message);
    void WMCommand(TWMCommand Message);
    void WMInitMenuPopup(TWMInitMenuPopup Message);
    void WMHelp(TWMHelp Message);
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void WndProc(TMessage& Message);
    std::vector<TPopupMenu*> FList;
    HWND FWindow = nullptr;
};

// The list every drop-down button registers its menu with (nullptr while no button exists).
TDropdownList* DropdownList();
