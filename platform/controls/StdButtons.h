// Labels, push buttons, check boxes, radio buttons, group boxes and scroll bars. All of them are
// drawn through our canvas in the classic 3-D look (the system colour table), and take their
// input as the window model's messages, so a click on any of them reaches OnClick the same way.
#pragma once

#include "platform/controls/Controls.h"
#include "platform/controls/Forms.h"

#include <functional>
#include <string>

enum TTextLayout { tlTop, tlCenter, tlBottom };
// The side a check box's caption is on (taLeftJustify or taRightJustify).
using TLeftRight = TAlignment;

// ---- Labels -----------------------------------------------------------------------------------
// A windowless caption. Its accelerator ("&Name") focuses FocusControl.
class TCustomLabel : public TGraphicControl {
public:
    explicit TCustomLabel(TComponent* AOwner);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    // Width and height follow the caption (the left edge stays; right-justified, the right one).
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* Value);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout Value);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool Value);
    // A transparent label leaves its parent's background showing around the letters.
    bool Transparent() const { return !ControlStyle.Contains(csOpaque); }
    void SetTransparent(bool Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);

protected:
    TW_MESSAGE_HANDLERS(TCustomLabel);
    void CMTextChanged(TMessage& Message);
    void CMFontChanged(TMessage& Message);
    void CMDialogChar(TCMDialogChar Message);

    // Draws (or with DT_CALCRECT measures) the caption into Rect on the canvas.
    virtual void DoDrawText(TRect& Rect, UINT Flags);
    virtual std::string GetLabelText() const { return Caption(); }
    virtual void AdjustBounds();
    void Paint() override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TAlignment FAlignment = taLeftJustify;
    bool FAutoSize = true;
    TWinControl* FFocusControl = nullptr;
    TTextLayout FLayout = tlTop;
    bool FShowAccelChar = true;
    bool FWordWrap = false;
};

class TLabel : public TCustomLabel {
public:
    using TCustomLabel::TCustomLabel;
};

// ---- Buttons ----------------------------------------------------------------------------------
// The base of the push button, check box and radio button: a focusable window that draws itself
// and tracks a press of the left button or the space bar.
class TButtonControl : public TCustomControl {
public:
    explicit TButtonControl(TComponent* AOwner);

protected:
    TW_MESSAGE_HANDLERS(TButtonControl);
    void WMLButtonDown(TWMLButtonDown Message);
    void WMLButtonDblClk(TWMLButtonDblClk Message);
    void WMMouseMove(TWMMouseMove Message);
    void WMLButtonUp(TWMLButtonUp Message);
    void WMKeyDown(TWMKeyDown Message);
    void WMKeyUp(TWMKeyUp Message);
    void WMCancelMode(TWMCancelMode Message);
    void WMCaptureChanged(TWMCaptureChanged Message);
    void WMKillFocus(TWMKillFocus Message);
    void WMSetFocus(TWMSetFocus Message);
    void WMGetDlgCode(TWMGetDlgCode Message);
    void CMDialogChar(TCMDialogChar Message);
    void WMEraseBkgnd(TWMEraseBkgnd Message);

    // The press ended over the control (mouse) or the space bar was let go.
    virtual void Pressed() = 0;
    // Whether the control shows as held down now.
    bool IsPressed() const { return FPressing && FPointerInside; }
    void SetFocusOnPress();

private:
    void StartMousePress();
    // The press ends without a click: the mouse let go elsewhere, or the focus went.
    void CancelPress(bool FocusLost);
    bool FPressing = false;      // left button or space held since a press on the control
    bool FPointerInside = false; // the pointer is over the control while the button is held
    bool FKeyPress = false;      // the press came from the space bar
};

class TButton : public TButtonControl {
public:
    explicit TButton(TComponent* AOwner);

    // Enter anywhere on the form clicks the default button (unless another button has the focus).
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    // Esc anywhere on the form clicks the cancel button.
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    // Handed to the parent form on a click (a modal form then closes with it).
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }

    void Click() override;

protected:
    TW_MESSAGE_HANDLERS(TButton);
    void CMDialogKey(TCMDialogKey Message);
    void CMDialogChar(TCMDialogChar Message);
    void CMFocusChanged(TMessage& Message);

    void Pressed() override { Click(); }
    void Paint() override;

private:
    bool IsActiveDefault();
    bool FDefault = false;
    bool FCancel = false;
    TModalResult FModalResult = mrNone;
};

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

class TCustomCheckBox : public TButtonControl {
public:
    explicit TCustomCheckBox(TComponent* AOwner);
    // Setting the state (from code too) fires OnClick when it changes.
    TCheckBoxState State() const { return FState; }
    void SetState(TCheckBoxState Value);
    bool Checked() const { return FState == cbChecked; }
    void SetChecked(bool Value) { SetState(Value ? cbChecked : cbUnchecked); }
    bool AllowGrayed = false;
    // The side of the box the caption is on: taRightJustify puts it right of the box.
    TLeftRight Alignment() const { return FAlignment; }
    void SetAlignment(TLeftRight Value);

protected:
    // A click: unchecked -> checked -> (grayed when allowed) -> unchecked.
    virtual void Toggle();
    void Pressed() override { Toggle(); }
    void Paint() override;

private:
    TCheckBoxState FState = cbUnchecked;
    TLeftRight FAlignment = taRightJustify;
};

class TCheckBox : public TCustomCheckBox {
public:
    using TCustomCheckBox::TCustomCheckBox;
};

// Radio buttons with the same parent exclude each other: checking one unchecks the others.
// Checking one (from code too) fires its OnClick.
class TRadioButton : public TButtonControl {
public:
    explicit TRadioButton(TComponent* AOwner);
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);
    TLeftRight Alignment() const { return FAlignment; }
    void SetAlignment(TLeftRight Value);

protected:
    void Pressed() override;
    void Paint() override;

private:
    bool FChecked = false;
    TLeftRight FAlignment = taRightJustify;
};

// ---- Group box --------------------------------------------------------------------------------
class TCustomGroupBox : public TCustomControl {
public:
    explicit TCustomGroupBox(TComponent* AOwner);

protected:
    TW_MESSAGE_HANDLERS(TCustomGroupBox);
    void CMDialogChar(TCMDialogChar Message);
    void CMTextChanged(TMessage& Message);

    void AdjustClientRect(TRect& Rect) override;
    void Paint() override;
};

class TGroupBox : public TCustomGroupBox {
public:
    using TCustomGroupBox::TCustomGroupBox;
};

// ---- Scroll bar -------------------------------------------------------------------------------
enum TScrollBarKind { sbHorizontal, sbVertical };
enum TScrollCode {
    scLineUp,
    scLineDown,
    scPageUp,
    scPageDown,
    scPosition,
    scTrack,
    scTop,
    scBottom,
    scEndScroll
};
using TScrollEvent = std::function<void(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos)>;

// A scroll-bar control. Its arrows, track and thumb send WM_HSCROLL/WM_VSCROLL to the parent,
// which reflects them back (CN_HSCROLL/CN_VSCROLL); OnScroll sees the code and may change the
// new position, then Position (kept within Min..Max) moves and OnChange fires.
class TScrollBar : public TCustomControl {
public:
    explicit TScrollBar(TComponent* AOwner);

    TScrollBarKind Kind() const { return FKind; }
    void SetKind(TScrollBarKind Value);
    int Position() const { return FPosition; }
    void SetPosition(int Value);
    int Min() const { return FMin; }
    void SetMin(int Value) { SetParams(FPosition, Value, FMax); }
    int Max() const { return FMax; }
    void SetMax(int Value) { SetParams(FPosition, FMin, Value); }
    // A range with Max below Min raises EInvalidOperation.
    void SetParams(int APosition, int AMin, int AMax);
    int SmallChange = 1;
    int LargeChange = 1;
    // The part of the range one view shows (sizes the thumb; 0: a square thumb). With a page,
    // the position goes up to Max - PageSize + 1. SetScrollInfo/GetScrollInfo with SB_CTL on
    // the bar's handle set and read the same state (GetScrollInfo's nTrackPos: the thumb being
    // dragged, in full 32 bits).
    int PageSize() const { return FPageSize; }
    void SetPageSize(int Value);

    TNotifyEvent OnChange;
    TScrollEvent OnScroll;

protected:
    TW_MESSAGE_HANDLERS(TScrollBar);
    void CNScroll(TWMScroll Message); // CN_HSCROLL, CN_VSCROLL
    // The bar's own state, as SetScrollInfo/GetScrollInfo(SB_CTL) and SetScrollPos read it.
    void SBMSetScrollInfo(TMessage& Message);
    void SBMGetScrollInfo(TMessage& Message);
    void SBMSetPos(TMessage& Message);
    void SBMGetPos(TMessage& Message);
    void WMGetDlgCode(TWMGetDlgCode Message);
    void WMEraseBkgnd(TWMEraseBkgnd Message);
    void WMLButtonDown(TWMLButtonDown Message);
    void WMLButtonDblClk(TWMLButtonDblClk Message);
    void WMMouseMove(TWMMouseMove Message);
    void WMTimer(TWMTimer Message);
    void WMLButtonUp(TWMLButtonUp Message);
    void WMCancelMode(TWMCancelMode Message);
    void WMCaptureChanged(TWMCaptureChanged Message);
    void WMKeyDown(TWMKeyDown Message);

    virtual void Change();
    void Loaded() override;
    virtual void Scroll(TScrollCode ScrollCode, int& ScrollPos);
    // The reflected scroll message: the new position from the code, OnScroll, then Position.
    void DoScroll(TScrollCode ScrollCode, int ThumbPos);
    void Paint() override;

private:
    // Geometry along the bar: arrow length, thumb start and length (pixels).
    int MaxPos() const;
    int ArrowSize() const;
    void ThumbExtent(int& Start, int& Length) const;
    int Along(int X, int Y) const { return FKind == sbHorizontal ? X : Y; }
    int Length() const { return FKind == sbHorizontal ? Width() : Height(); }
    int PosFromThumb(int ThumbStart) const;
    void SendScroll(TScrollCode Code, int Pos);
    void PressAt(int P);
    // Ends what the mouse held (Held: the part); Released: by letting the button go.
    void EndHold(int Held, bool Released);

    TScrollBarKind FKind = sbHorizontal;
    int FPosition = 0;
    int FMin = 0;
    int FMax = 100;
    int FPageSize = 0;
    // Mouse tracking: which part is held (0 none, 1 low arrow, 2 high arrow, 3 low track,
    // 4 high track, 5 thumb) and, for the thumb, the grab offset and the tracked position.
    int FHeld = 0;
    int FGrab = 0;
    int FTrackPos = 0;
};
