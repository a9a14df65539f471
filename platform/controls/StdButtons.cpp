#include "platform/controls/StdButtons.h"

#include "platform/classes/TypInfo.h"
#include "platform/controls/Menus.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win/ScrollGeometry.h"

#include <algorithm>
#include <cctype>

namespace {

// Whether a typed character is the accelerator of a caption ("&Name" -> 'n').
bool IsAccelChar(WPARAM Char, const std::string& Caption)
{
    char Hot = GetHotkey(Caption);
    return Hot != 0 && Char < 0x100 &&
           std::tolower(static_cast<unsigned char>(Hot)) == std::tolower(static_cast<int>(Char));
}

// Draws text on the canvas's DC with its font, transparently.
int DrawCanvasText(TCanvas* Canvas, const std::string& Text, TRect& R, UINT Flags, TColor Color)
{
    HDC DC = Canvas->Handle();
    SetBkMode(DC, TRANSPARENT);
    SetTextColor(DC, ColorToColorRef(Color));
    RECT W = R;
    int H = DrawText(DC, Text.c_str(), static_cast<int>(Text.size()), &W, Flags);
    R = W;
    return H;
}

// Text drawn grey with a white emboss, the classic disabled look.
void DrawDisabledText(TCanvas* Canvas, const std::string& Text, TRect R, UINT Flags)
{
    TRect Shifted = R;
    OffsetRect(&Shifted, 1, 1);
    DrawCanvasText(Canvas, Text, Shifted, Flags, clBtnHighlight);
    DrawCanvasText(Canvas, Text, R, Flags, clBtnShadow);
}

void FillCanvas(TCanvas* Canvas, const TRect& R, TColor Color)
{
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(Color);
    Canvas->FillRect(R);
}

void Edge(TCanvas* Canvas, TRect& R, UINT EdgeKind, UINT Flags)
{
    RECT W = R;
    DrawEdge(Canvas->Handle(), &W, EdgeKind, Flags);
    R = W;
}

} // namespace

// ---- TCustomLabel -----------------------------------------------------------------------------

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner)
{
    ControlStyle.Include(csOpaque);
    ControlStyle.Include(csReplicatable);
    SetBounds(0, 0, 65, 17);
    SetParentColor(true);
}

void TCustomLabel::SetAlignment(TAlignment Value)
{
    if (FAlignment != Value) {
        FAlignment = Value;
        Invalidate();
    }
}

void TCustomLabel::SetAutoSize(bool Value)
{
    if (FAutoSize != Value) {
        FAutoSize = Value;
        AdjustBounds();
    }
}

void TCustomLabel::SetFocusControl(TWinControl* Value)
{
    if (FFocusControl == Value)
        return;
    if (FFocusControl)
        FFocusControl->RemoveFreeNotification(this);
    FFocusControl = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TCustomLabel::SetLayout(TTextLayout Value)
{
    if (FLayout != Value) {
        FLayout = Value;
        Invalidate();
    }
}

void TCustomLabel::SetShowAccelChar(bool Value)
{
    if (FShowAccelChar != Value) {
        FShowAccelChar = Value;
        Invalidate();
    }
}

void TCustomLabel::SetTransparent(bool Value)
{
    if (Transparent() == Value)
        return;
    if (Value)
        ControlStyle.Exclude(csOpaque);
    else
        ControlStyle.Include(csOpaque);
    Invalidate();
}

void TCustomLabel::SetWordWrap(bool Value)
{
    if (FWordWrap != Value) {
        FWordWrap = Value;
        AdjustBounds();
        Invalidate();
    }
}

void TCustomLabel::DoDrawText(TRect& Rect, UINT Flags)
{
    std::string Text = GetLabelText();
    // An empty label still measures one line high.
    if ((Flags & DT_CALCRECT) && (Text.empty() || (FShowAccelChar && Text == "&")))
        Text += ' ';
    if (!FShowAccelChar)
        Flags |= DT_NOPREFIX;
    Canvas()->SetFont(Font());
    if (!Enabled() && !(Flags & DT_CALCRECT)) {
        DrawDisabledText(Canvas(), Text, Rect, Flags);
        return;
    }
    DrawCanvasText(Canvas(), Text, Rect, Flags, Font()->Color());
}

void TCustomLabel::Paint()
{
    TRect R = ClientRect();
    if (!Transparent())
        FillCanvas(Canvas(), R, Color());
    Canvas()->Brush()->SetStyle(bsClear);
    static const UINT Align[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    UINT Flags = DT_EXPANDTABS | (FWordWrap ? DT_WORDBREAK : 0) | Align[FAlignment];
    if (FLayout != tlTop) {
        TRect Calc = R;
        DoDrawText(Calc, Flags | DT_CALCRECT);
        int Room = Height() - Calc.bottom;
        OffsetRect(&R, 0, FLayout == tlBottom ? Room : Room / 2);
    }
    DoDrawText(R, Flags);
}

void TCustomLabel::AdjustBounds()
{
    if (!FAutoSize || ComponentState().Contains(csLoading))
        return;
    TRect R = ClientRect();
    HDC DC = GetDC(nullptr);
    TCanvas* C = Canvas();
    static_cast<TControlCanvas*>(C)->FreeHandle();
    C->SetHandle(DC);
    DoDrawText(R, DT_EXPANDTABS | DT_CALCRECT | (FWordWrap ? DT_WORDBREAK : 0));
    C->SetHandle(nullptr);
    ReleaseDC(nullptr, DC);
    int X = Left();
    if (FAlignment == taRightJustify)
        X += Width() - R.right;
    SetBounds(X, Top(), R.right, R.bottom);
}

void TCustomLabel::Loaded()
{
    TGraphicControl::Loaded();
    AdjustBounds();
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation)
{
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFocusControl)
        FFocusControl = nullptr;
}

void TCustomLabel::CMTextChanged(TMessage&)
{
    Invalidate();
    AdjustBounds();
}

void TCustomLabel::CMFontChanged(TMessage& Message)
{
    TGraphicControl::CMFontChanged(Message);
    AdjustBounds();
}

void TCustomLabel::CMDialogChar(TCMDialogChar Message)
{
    if (FFocusControl && Enabled() && FShowAccelChar && IsAccelChar(Message.WParam, Caption()) &&
        FFocusControl->CanFocus()) {
        FFocusControl->SetFocus();
        Message.Result = 1;
    }
}

// ---- TButtonControl ---------------------------------------------------------------------------

TButtonControl::TButtonControl(TComponent* AOwner) : TCustomControl(AOwner)
{
    // The press is tracked here; the click comes from Pressed.
    ControlStyle.Exclude(csClickEvents);
    ControlStyle.Exclude(csDoubleClicks);
    ControlStyle.Include(csSetCaption);
    SetTabStop(true);
}

void TButtonControl::SetFocusOnPress()
{
    if (CanFocus() && !Focused())
        SetFocus();
}

void TButtonControl::StartMousePress()
{
    if (!Enabled())
        return;
    SetFocusOnPress();
    FPressing = true;
    FKeyPress = false;
    FPointerInside = true;
    Invalidate();
}

void TButtonControl::WMLButtonDown(TWMLButtonDown Message)
{
    TCustomControl::WMLButtonDown(Message);
    StartMousePress();
}

void TButtonControl::WMLButtonDblClk(TWMLButtonDblClk Message)
{
    TCustomControl::WMLButtonDblClk(Message);
    StartMousePress();
}

void TButtonControl::WMMouseMove(TWMMouseMove Message)
{
    TCustomControl::WMMouseMove(Message);
    if (FPressing && !FKeyPress) {
        TPoint P = Message.Pos();
        TRect CR = ClientRect();
        bool Inside = PtInRect(&CR, P);
        if (Inside != FPointerInside) {
            FPointerInside = Inside;
            Invalidate();
        }
    }
}

void TButtonControl::WMLButtonUp(TWMLButtonUp Message)
{
    // The base lets the capture go, which reports WM_CAPTURECHANGED: look first.
    bool WasPressing = FPressing && !FKeyPress;
    TCustomControl::WMLButtonUp(Message);
    if (!WasPressing)
        return;
    TPoint P = Message.Pos();
    TRect CR = ClientRect();
    FPressing = false;
    Invalidate();
    if (PtInRect(&CR, P))
        Pressed();
}

void TButtonControl::WMKeyDown(TWMKeyDown Message)
{
    TCustomControl::WMKeyDown(Message);
    if (static_cast<int>(Message.WParam) == VK_SPACE && Enabled() && !FPressing) {
        FPressing = true;
        FKeyPress = true;
        FPointerInside = true;
        Invalidate();
    }
}

void TButtonControl::WMKeyUp(TWMKeyUp Message)
{
    TCustomControl::WMKeyUp(Message);
    if (static_cast<int>(Message.WParam) == VK_SPACE && FPressing && FKeyPress) {
        FPressing = false;
        FKeyPress = false;
        Invalidate();
        Pressed();
    }
}

void TButtonControl::CancelPress(bool FocusLost)
{
    if (FPressing && (FocusLost || !FKeyPress)) {
        FPressing = false;
        Invalidate();
    }
}

void TButtonControl::WMCancelMode(TWMCancelMode Message)
{
    CancelPress(false);
    TCustomControl::WMCancelMode(Message);
}

void TButtonControl::WMCaptureChanged(TWMCaptureChanged Message)
{
    CancelPress(false);
    DefaultHandler(Message);
}

void TButtonControl::WMKillFocus(TWMKillFocus Message)
{
    CancelPress(true);
    Invalidate(); // the focus rectangle goes
    DefaultHandler(Message);
}

void TButtonControl::WMSetFocus(TWMSetFocus Message)
{
    Invalidate();
    TCustomControl::WMSetFocus(Message);
}

void TButtonControl::WMGetDlgCode(TWMGetDlgCode Message)
{
    Message.Result = DLGC_BUTTON;
}

void TButtonControl::CMDialogChar(TCMDialogChar Message)
{
    // Alt and the caption's accelerator: focus and press (a check box toggles).
    if (IsAccelChar(Message.WParam, Caption()) && CanFocus()) {
        SetFocus();
        Pressed();
        Message.Result = 1;
    }
}

void TButtonControl::WMEraseBkgnd(TWMEraseBkgnd Message)
{
    // Paint covers the whole client area.
    Message.Result = 1;
}

// ---- TButton ----------------------------------------------------------------------------------

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner)
{
    SetBounds(0, 0, 75, 25);
    SetColor(clBtnFace);
}

void TButton::SetDefault(bool Value)
{
    if (FDefault != Value) {
        FDefault = Value;
        Invalidate();
    }
}

void TButton::Click()
{
    if (TCustomForm* Form = GetParentForm(this))
        Form->SetModalResult(FModalResult);
    TButtonControl::Click();
}

bool TButton::IsActiveDefault()
{
    if (Focused())
        return true;
    if (!FDefault)
        return false;
    // Another push button with the focus takes Enter for itself.
    TCustomForm* Form = GetParentForm(this);
    TWinControl* Active = Form ? Form->ActiveControl() : nullptr;
    return !(Active && Active != this && dynamic_cast<TButton*>(Active) && Active->Focused());
}

void TButton::CMDialogKey(TCMDialogKey Message)
{
    WORD Key = Message.CharCode();
    bool Takes = (Key == VK_RETURN && IsActiveDefault()) || (Key == VK_ESCAPE && FCancel);
    if (Takes && Showing() && Enabled()) {
        Click();
        Message.Result = 1;
    }
}

void TButton::CMDialogChar(TCMDialogChar Message)
{
    if (IsAccelChar(Message.WParam, Caption()) && CanFocus()) {
        Click();
        Message.Result = 1;
    }
}

void TButton::CMFocusChanged(TMessage&)
{
    // The default frame moves with the focus between buttons.
    if (FDefault)
        Invalidate();
}

void TButton::Paint()
{
    TCanvas* C = Canvas();
    TRect R = ClientRect();
    bool Down = IsPressed();
    bool Framed = Focused() || (FDefault && IsActiveDefault());
    if (Framed) {
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(clWindowFrame);
        C->FrameRect(R);
        InflateRect(&R, -1, -1);
    }
    if (Down) {
        C->Brush()->SetColor(clBtnShadow);
        C->FrameRect(R);
        TRect Inner = R;
        InflateRect(&Inner, -1, -1);
        FillCanvas(C, Inner, Color());
    } else {
        FillCanvas(C, R, Color());
        TRect E = R;
        Edge(C, E, EDGE_RAISED, BF_RECT);
    }
    C->SetFont(Font());
    C->Brush()->SetStyle(bsClear);
    TRect Text = R;
    if (Down)
        OffsetRect(&Text, 1, 1);
    const UINT Flags = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    if (Enabled())
        DrawCanvasText(C, Caption(), Text, Flags, Font()->Color());
    else
        DrawDisabledText(C, Caption(), Text, Flags);
    if (Focused()) {
        TRect F = R;
        InflateRect(&F, -3, -3);
        if (Down)
            OffsetRect(&F, 1, 1);
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(clBtnFace);
        C->DrawFocusRect(F);
    }
}

// ---- Check and radio boxes ----------------------------------------------------------------------

namespace {

constexpr int BoxSize = 13;

// The box or circle and the caption beside it; returns the caption's rectangle.
TRect LayoutCheck(TControl* Control, TLeftRight Alignment, TRect& Box)
{
    TRect R = Control->ClientRect();
    int Y = (R.bottom - BoxSize) / 2;
    TRect Caption = R;
    if (Alignment == taRightJustify) {
        Box = Bounds(0, Y, BoxSize, BoxSize);
        Caption.left = BoxSize + 4;
    } else {
        Box = Bounds(R.right - BoxSize, Y, BoxSize, BoxSize);
        Caption.right = R.right - BoxSize - 4;
    }
    return Caption;
}

void PaintCheckCaption(TCustomControl* Control, TCanvas* C, TRect Caption, bool Focused)
{
    C->SetFont(Control->Font());
    C->Brush()->SetStyle(bsClear);
    const UINT Flags = DT_LEFT | DT_VCENTER | DT_SINGLELINE;
    if (Control->Enabled())
        DrawCanvasText(C, Control->Caption(), Caption, Flags, Control->Font()->Color());
    else
        DrawDisabledText(C, Control->Caption(), Caption, Flags);
    if (Focused && !Control->Caption().empty()) {
        TRect Calc = Caption;
        DrawCanvasText(C, Control->Caption(), Calc, Flags | DT_CALCRECT, Control->Font()->Color());
        TRect F = Bounds(Caption.left - 1, (Caption.bottom - (Calc.bottom - Calc.top)) / 2 - 1,
                         Calc.right - Calc.left + 2, Calc.bottom - Calc.top + 2);
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(Control->Color());
        C->DrawFocusRect(F);
    }
}

} // namespace

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TButtonControl(AOwner)
{
    SetBounds(0, 0, 97, 17);
    SetParentColor(true);
}

void TCustomCheckBox::SetState(TCheckBoxState Value)
{
    if (FState == Value)
        return;
    FState = Value;
    Invalidate();
    if (!ComponentState().Contains(csLoading))
        Click();
}

void TCustomCheckBox::SetAlignment(TLeftRight Value)
{
    if (FAlignment != Value) {
        FAlignment = Value;
        Invalidate();
    }
}

void TCustomCheckBox::Toggle()
{
    switch (FState) {
    case cbUnchecked:
        SetState(cbChecked);
        break;
    case cbChecked:
        SetState(AllowGrayed ? cbGrayed : cbUnchecked);
        break;
    case cbGrayed:
        SetState(cbUnchecked);
        break;
    }
}

void TCustomCheckBox::Paint()
{
    TCanvas* C = Canvas();
    FillCanvas(C, ClientRect(), Color());
    TRect Box;
    TRect Caption = LayoutCheck(this, FAlignment, Box);
    TRect Inner = Box;
    Edge(C, Inner, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    FillCanvas(C, Inner, (IsPressed() || !Enabled() || FState == cbGrayed) ? clBtnFace : clWindow);
    if (FState != cbUnchecked) {
        // A 7 x 7 tick, three pixels thick, like the classic mark.
        C->Pen()->SetColor((FState == cbGrayed || !Enabled()) ? clBtnShadow : clWindowText);
        C->Pen()->SetWidth(1);
        int X = Inner.left + 1, Y = Inner.top + 3;
        for (int I = 0; I < 3; ++I) {
            C->MoveTo(X, Y + 2 + I);
            C->LineTo(X + 2, Y + 4 + I);
            C->LineTo(X + 7, Y - 1 + I);
        }
    }
    PaintCheckCaption(this, C, Caption, Focused());
}

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner)
{
    SetBounds(0, 0, 113, 17);
    SetParentColor(true);
}

void TRadioButton::SetChecked(bool Value)
{
    if (FChecked == Value)
        return;
    FChecked = Value;
    Invalidate();
    if (!Value)
        return;
    if (FParent) {
        for (int I = 0; I < FParent->ControlCount(); ++I)
            if (auto* Other = dynamic_cast<TRadioButton*>(FParent->Controls(I)); Other && Other != this)
                Other->SetChecked(false);
    }
    if (!ComponentState().Contains(csLoading))
        Click();
}

void TRadioButton::SetAlignment(TLeftRight Value)
{
    if (FAlignment != Value) {
        FAlignment = Value;
        Invalidate();
    }
}

void TRadioButton::Pressed()
{
    if (FChecked)
        Click();
    else
        SetChecked(true);
}

void TRadioButton::Paint()
{
    TCanvas* C = Canvas();
    FillCanvas(C, ClientRect(), Color());
    TRect Box;
    TRect Caption = LayoutCheck(this, FAlignment, Box);
    // The round well: shadow above-left, highlight below-right, the window colour inside.
    C->Pen()->SetWidth(1);
    C->Pen()->SetColor(clBtnShadow);
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(clBtnHighlight);
    C->Ellipse(Box.left, Box.top, Box.left + 12, Box.top + 12);
    C->Pen()->SetColor(cl3DDkShadow);
    C->Brush()->SetColor((IsPressed() || !Enabled()) ? clBtnFace : clWindow);
    C->Ellipse(Box.left + 1, Box.top + 1, Box.left + 11, Box.top + 11);
    if (FChecked) {
        C->Pen()->SetColor(Enabled() ? clWindowText : clBtnShadow);
        C->Brush()->SetColor(Enabled() ? clWindowText : clBtnShadow);
        C->Ellipse(Box.left + 4, Box.top + 4, Box.left + 8, Box.top + 8);
    }
    PaintCheckCaption(this, C, Caption, Focused());
}

// ---- TCustomGroupBox --------------------------------------------------------------------------

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TCustomControl(AOwner)
{
    ControlStyle.Include(csAcceptsControls);
    ControlStyle.Include(csSetCaption);
    ControlStyle.Exclude(csClickEvents);
    SetBounds(0, 0, 185, 105);
    SetParentColor(true);
}

namespace {
// A font's line height, measured without a window (the control may have none yet).
int FontLineHeight(TFont* Font)
{
    TBitmap Probe(1, 1);
    Probe.Canvas()->SetFont(Font);
    return Probe.Canvas()->TextHeight("0");
}
} // namespace

void TCustomGroupBox::AdjustClientRect(TRect& Rect)
{
    int H = FontLineHeight(Font());
    Rect.top += H;
    InflateRect(&Rect, -2, -2);
}

void TCustomGroupBox::Paint()
{
    TCanvas* C = Canvas();
    C->SetFont(Font());
    int H = C->TextHeight("0");
    FillCanvas(C, ClientRect(), Color());
    TRect Frame = ClientRect();
    Frame.top = H / 2 - 1;
    Edge(C, Frame, EDGE_ETCHED, BF_RECT);
    if (!Caption().empty()) {
        TRect T = Bounds(8, 0, 0, H);
        DrawCanvasText(C, Caption(), T, DT_LEFT | DT_SINGLELINE | DT_CALCRECT, Font()->Color());
        InflateRect(&T, 1, 0);
        FillCanvas(C, T, Color());
        InflateRect(&T, -1, 0);
        if (Enabled())
            DrawCanvasText(C, Caption(), T, DT_LEFT | DT_SINGLELINE, Font()->Color());
        else
            DrawDisabledText(C, Caption(), T, DT_LEFT | DT_SINGLELINE);
    }
}

void TCustomGroupBox::CMDialogChar(TCMDialogChar Message)
{
    if (IsAccelChar(Message.WParam, Caption()) && CanFocus()) {
        SelectNext(nullptr, true, true);
        Message.Result = 1;
        return;
    }
    TCustomControl::CMDialogChar(Message);
}

void TCustomGroupBox::CMTextChanged(TMessage& Message)
{
    Invalidate();
    Realign();
    TCustomControl::CMTextChanged(Message);
}

// ---- TScrollBar -------------------------------------------------------------------------------

namespace {
constexpr UINT_PTR RepeatTimer = 1;
constexpr UINT FirstRepeat = 400;
constexpr UINT NextRepeat = 100;
} // namespace

TScrollBar::TScrollBar(TComponent* AOwner) : TCustomControl(AOwner)
{
    ControlStyle.Exclude(csClickEvents);
    ControlStyle.Exclude(csDoubleClicks);
    ControlStyle.Exclude(csSetCaption);
    SetBounds(0, 0, 121, 16);
    SetTabStop(true);
    SetColor(clScrollBar);
}

void TScrollBar::SetKind(TScrollBarKind Value)
{
    if (FKind == Value)
        return;
    FKind = Value;
    // Turning the bar swaps its sides (outside of loading, where both sizes are read).
    if (!ComponentState().Contains(csLoading))
        SetBounds(Left(), Top(), Height(), Width());
    Invalidate();
}

void TScrollBar::SetPosition(int Value)
{
    SetParams(Value, FMin, FMax);
}

void TScrollBar::SetParams(int APosition, int AMin, int AMax)
{
    if (ComponentState().Contains(csLoading)) {
        // Min, Max and Position arrive one by one; they are checked together in Loaded.
        FPosition = APosition;
        FMin = AMin;
        FMax = AMax;
        return;
    }
    if (AMax < AMin)
        throw EInvalidOperation("Scroll bar property out of range");
    APosition = std::clamp(APosition, AMin, ScrollMaxPos(AMin, AMax, FPageSize));
    bool Moved = APosition != FPosition;
    bool Changed = Moved || AMin != FMin || AMax != FMax;
    FMin = AMin;
    FMax = AMax;
    FPosition = APosition;
    if (Changed)
        Invalidate();
    if (Moved)
        Change();
}

void TScrollBar::Loaded()
{
    TCustomControl::Loaded();
    int Pos = FPosition;
    FPosition = FMin - 1; // forces the check; OnChange does not fire for the stored position
    auto Saved = std::move(OnChange);
    OnChange = nullptr;
    SetParams(Pos, FMin, std::max(FMin, FMax));
    FPosition = std::clamp(FPosition, FMin, MaxPos());
    OnChange = std::move(Saved);
}

void TScrollBar::SetPageSize(int Value)
{
    Value = std::max(0, Value);
    if (FPageSize != Value) {
        FPageSize = Value;
        Invalidate();
        if (!ComponentState().Contains(csLoading))
            SetParams(FPosition, FMin, FMax);
    }
}

void TScrollBar::Change()
{
    if (OnChange)
        OnChange(this);
}

void TScrollBar::Scroll(TScrollCode ScrollCode, int& ScrollPos)
{
    if (OnScroll)
        OnScroll(this, ScrollCode, ScrollPos);
}

void TScrollBar::DoScroll(TScrollCode ScrollCode, int ThumbPos)
{
    int Pos = FPosition;
    switch (ScrollCode) {
    case scLineUp:
        Pos = ScrollPosMoved(Pos, -std::int64_t(SmallChange), FMin, MaxPos());
        break;
    case scLineDown:
        Pos = ScrollPosMoved(Pos, SmallChange, FMin, MaxPos());
        break;
    case scPageUp:
        Pos = ScrollPosMoved(Pos, -std::int64_t(LargeChange), FMin, MaxPos());
        break;
    case scPageDown:
        Pos = ScrollPosMoved(Pos, LargeChange, FMin, MaxPos());
        break;
    case scPosition:
    case scTrack:
        Pos = ThumbPos;
        break;
    case scTop:
        Pos = FMin;
        break;
    case scBottom:
        Pos = MaxPos();
        break;
    case scEndScroll:
        break;
    }
    Pos = std::clamp(Pos, FMin, MaxPos());
    Scroll(ScrollCode, Pos);
    SetPosition(Pos);
}

int TScrollBar::MaxPos() const
{
    // With a page, the last position shows the last page (as the window system's bars do).
    return ScrollMaxPos(FMin, FMax, FPageSize);
}

int TScrollBar::ArrowSize() const
{
    int Thick = FKind == sbHorizontal ? Height() : Width();
    return std::max(0, std::min(Thick, Length() / 2));
}

void TScrollBar::ThumbExtent(int& Start, int& Len) const
{
    int A = ArrowSize();
    int Track = Length() - 2 * A;
    Len = ScrollThumbLength(Track, FMin, FMax, FPageSize, std::max(A, 8));
    // While the thumb is dragged it shows where it is being dragged to.
    int Pos = FHeld == 5 ? FTrackPos : FPosition;
    Start = A + ScrollThumbOffset(Track - Len, FMin, MaxPos(), Pos);
}

int TScrollBar::PosFromThumb(int ThumbStart) const
{
    int A = ArrowSize();
    int Start, Len;
    ThumbExtent(Start, Len);
    return ScrollPosAt(std::int64_t(ThumbStart) - A, Length() - 2 * A - Len, FMin, MaxPos());
}

void TScrollBar::SendScroll(TScrollCode Code, int Pos)
{
    if (FParent && FParent->HandleAllocated() && HandleAllocated()) {
        UINT Msg = FKind == sbHorizontal ? WM_HSCROLL : WM_VSCROLL;
        SendMessage(FParent->Handle(), Msg, MAKEWPARAM(static_cast<WORD>(Code), static_cast<WORD>(Pos)),
                    reinterpret_cast<LPARAM>(Handle()));
    } else {
        DoScroll(Code, Pos);
    }
}

void TScrollBar::CNScroll(TWMScroll Message)
{
    auto Code = static_cast<TScrollCode>(LOWORD(Message.WParam));
    int Pos = static_cast<SmallInt>(HIWORD(Message.WParam));
    // A thumb drag here keeps its whole position (the message carries only 16 bits).
    if ((Code == scTrack || Code == scPosition) && FHeld == 5)
        Pos = FTrackPos;
    if (Code <= scEndScroll)
        DoScroll(Code, Pos);
    Message.Result = 0;
}

void TScrollBar::SBMSetScrollInfo(TMessage& Message)
{
    // The raw state, as SetScrollInfo(SB_CTL) sets it: no OnChange.
    const auto* Info = reinterpret_cast<const SCROLLINFO*>(Message.LParam);
    if (Info) {
        if (Info->fMask & SIF_RANGE) {
            FMin = Info->nMin;
            FMax = std::max(Info->nMin, Info->nMax);
        }
        if (Info->fMask & SIF_PAGE)
            FPageSize = static_cast<int>(std::min<UINT>(Info->nPage, 0x7FFFFFFF));
        if (Info->fMask & SIF_POS)
            FPosition = Info->nPos;
        FPosition = std::clamp(FPosition, FMin, MaxPos());
        if (Message.WParam)
            Invalidate();
    }
    Message.Result = FPosition;
}

void TScrollBar::SBMGetScrollInfo(TMessage& Message)
{
    auto* Info = reinterpret_cast<SCROLLINFO*>(Message.LParam);
    if (!Info) {
        Message.Result = FALSE;
        return;
    }
    if (Info->fMask & SIF_RANGE) {
        Info->nMin = FMin;
        Info->nMax = FMax;
    }
    if (Info->fMask & SIF_PAGE)
        Info->nPage = static_cast<UINT>(FPageSize);
    if (Info->fMask & SIF_POS)
        Info->nPos = FPosition;
    if (Info->fMask & SIF_TRACKPOS)
        Info->nTrackPos = FHeld == 5 ? FTrackPos : FPosition;
    Message.Result = TRUE;
}

void TScrollBar::SBMSetPos(TMessage& Message)
{
    int Old = FPosition;
    FPosition = std::clamp(static_cast<int>(Message.WParam), FMin, MaxPos());
    if (Message.LParam)
        Invalidate();
    Message.Result = Old;
}

void TScrollBar::SBMGetPos(TMessage& Message)
{
    Message.Result = FPosition;
}

void TScrollBar::WMGetDlgCode(TWMGetDlgCode Message)
{
    Message.Result = DLGC_WANTARROWS;
}

void TScrollBar::WMEraseBkgnd(TWMEraseBkgnd Message)
{
    Message.Result = 1;
}

void TScrollBar::PressAt(int P)
{
    if (!Enabled() || MaxPos() <= FMin)
        return;
    if (CanFocus())
        SetFocus();
    int A = ArrowSize();
    int Start, Len;
    ThumbExtent(Start, Len);
    if (P < A)
        FHeld = 1;
    else if (P >= Length() - A)
        FHeld = 2;
    else if (P < Start)
        FHeld = 3;
    else if (P >= Start + Len)
        FHeld = 4;
    else {
        FHeld = 5;
        FGrab = P - Start;
        FTrackPos = FPosition;
    }
    static const TScrollCode Codes[] = {scLineUp, scLineDown, scPageUp, scPageDown};
    if (FHeld <= 4) {
        SendScroll(Codes[FHeld - 1], 0);
        SetTimer(Handle(), RepeatTimer, FirstRepeat, nullptr);
    }
    Invalidate();
}

void TScrollBar::WMLButtonDown(TWMLButtonDown Message)
{
    TCustomControl::WMLButtonDown(Message);
    PressAt(Along(Message.XPos(), Message.YPos()));
}

void TScrollBar::WMLButtonDblClk(TWMLButtonDblClk Message)
{
    TCustomControl::WMLButtonDblClk(Message);
    PressAt(Along(Message.XPos(), Message.YPos()));
}

void TScrollBar::WMMouseMove(TWMMouseMove Message)
{
    TCustomControl::WMMouseMove(Message);
    if (FHeld == 5) {
        int P = Along(Message.XPos(), Message.YPos());
        int NewPos = PosFromThumb(P - FGrab);
        if (NewPos != FTrackPos) {
            FTrackPos = NewPos;
            SendScroll(scTrack, NewPos);
            Invalidate();
        }
    }
}

void TScrollBar::WMTimer(TWMTimer Message)
{
    if (Message.TimerID() != RepeatTimer) {
        DefaultHandler(Message);
        return;
    }
    KillTimer(Handle(), RepeatTimer);
    if (FHeld >= 1 && FHeld <= 4) {
        POINT Pt;
        GetCursorPos(&Pt);
        ::ScreenToClient(Handle(), &Pt);
        int P = Along(Pt.x, Pt.y);
        int A = ArrowSize();
        int Start, Len;
        ThumbExtent(Start, Len);
        // The track repeats only while the pointer stays on its side of the thumb.
        bool Still = (FHeld == 1 && P < A) || (FHeld == 2 && P >= Length() - A) ||
                     (FHeld == 3 && P < Start && P >= A) ||
                     (FHeld == 4 && P >= Start + Len && P < Length() - A);
        static const TScrollCode Codes[] = {scLineUp, scLineDown, scPageUp, scPageDown};
        if (Still)
            SendScroll(Codes[FHeld - 1], 0);
        SetTimer(Handle(), RepeatTimer, NextRepeat, nullptr);
    }
}

void TScrollBar::EndHold(int Held, bool Released)
{
    if (Held == 0)
        return;
    if (HandleAllocated())
        KillTimer(Handle(), RepeatTimer);
    if (Held == 5 && Released)
        SendScroll(scPosition, FTrackPos);
    FHeld = 0;
    SendScroll(scEndScroll, 0);
    Invalidate();
}

void TScrollBar::WMLButtonUp(TWMLButtonUp Message)
{
    int Held = FHeld;
    // The base lets the capture go; that WM_CAPTURECHANGED must not end the drag first.
    FHeld = 0;
    TCustomControl::WMLButtonUp(Message);
    FHeld = Held;
    EndHold(Held, true);
}

void TScrollBar::WMCancelMode(TWMCancelMode Message)
{
    EndHold(FHeld, false);
    TCustomControl::WMCancelMode(Message);
}

void TScrollBar::WMCaptureChanged(TWMCaptureChanged Message)
{
    EndHold(FHeld, false);
    DefaultHandler(Message);
}

void TScrollBar::WMKeyDown(TWMKeyDown Message)
{
    TCustomControl::WMKeyDown(Message);
    int Code = -1;
    switch (static_cast<int>(Message.WParam)) {
    case VK_LEFT:
    case VK_UP:
        Code = scLineUp;
        break;
    case VK_RIGHT:
    case VK_DOWN:
        Code = scLineDown;
        break;
    case VK_PRIOR:
        Code = scPageUp;
        break;
    case VK_NEXT:
        Code = scPageDown;
        break;
    case VK_HOME:
        Code = scTop;
        break;
    case VK_END:
        Code = scBottom;
        break;
    default:
        break;
    }
    if (Code >= 0) {
        SendScroll(static_cast<TScrollCode>(Code), 0);
        SendScroll(scEndScroll, 0);
    }
}

void TScrollBar::Paint()
{
    TCanvas* C = Canvas();
    TRect R = ClientRect();
    FillCanvas(C, R, Color());
    int A = ArrowSize();
    bool Horz = FKind == sbHorizontal;
    bool Active = Enabled() && MaxPos() > FMin;
    TRect Low = Horz ? Rect(0, 0, A, R.bottom) : Rect(0, 0, R.right, A);
    TRect High = Horz ? Rect(R.right - A, 0, R.right, R.bottom) : Rect(0, R.bottom - A, R.right, R.bottom);
    UINT Inactive = Active ? 0 : DFCS_INACTIVE;
    RECT W = Low;
    DrawFrameControl(C->Handle(), &W, DFC_SCROLL,
                     (Horz ? DFCS_SCROLLLEFT : DFCS_SCROLLUP) | Inactive | (FHeld == 1 ? DFCS_PUSHED : 0));
    W = High;
    DrawFrameControl(C->Handle(), &W, DFC_SCROLL,
                     (Horz ? DFCS_SCROLLRIGHT : DFCS_SCROLLDOWN) | Inactive | (FHeld == 2 ? DFCS_PUSHED : 0));
    if (!Active)
        return;
    int Start, Len;
    ThumbExtent(Start, Len);
    if (FHeld == 3 || FHeld == 4) {
        // The pressed part of the track shows dark.
        TRect Part = FHeld == 3 ? (Horz ? Rect(A, 0, Start, R.bottom) : Rect(0, A, R.right, Start))
                                : (Horz ? Rect(Start + Len, 0, R.right - A, R.bottom)
                                        : Rect(0, Start + Len, R.right, R.bottom - A));
        FillCanvas(C, Part, cl3DDkShadow);
    }
    TRect Thumb = Horz ? Rect(Start, 0, Start + Len, R.bottom) : Rect(0, Start, R.right, Start + Len);
    FillCanvas(C, Thumb, clBtnFace);
    Edge(C, Thumb, EDGE_RAISED, BF_RECT);
    if (Focused()) {
        TRect F = Thumb;
        InflateRect(&F, -3, -3);
        C->Brush()->SetColor(clBtnFace);
        C->DrawFocusRect(F);
    }
}

// ---- Registration -----------------------------------------------------------------------------

namespace {
const bool StdButtonsRegistered = [] {
    if (!EnumInfoOf(typeid(TAlignment)))
        RegisterEnum<TAlignment>("TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"});
    RegisterEventType<TScrollEvent>("TScrollEvent");
    return true;
}();
} // namespace

TW_ENUM(TTextLayout, "tlTop", "tlCenter", "tlBottom");
TW_ENUM(TCheckBoxState, "cbUnchecked", "cbChecked", "cbGrayed");
TW_ENUM(TScrollBarKind, "sbHorizontal", "sbVertical");
TW_ENUM(TScrollCode, "scLineUp", "scLineDown", "scPageUp", "scPageDown", "scPosition", "scTrack", "scTop",
        "scBottom", "scEndScroll");

TW_PUBLISH(TCustomLabel, TGraphicControl)
{
    Cls.Enum("Alignment", &TCustomLabel::Alignment, &TCustomLabel::SetAlignment).Default(taLeftJustify);
    Cls.Bool("AutoSize", &TCustomLabel::AutoSize, &TCustomLabel::SetAutoSize).Default(true);
    Cls.Component("FocusControl", &TCustomLabel::FocusControl, &TCustomLabel::SetFocusControl);
    Cls.Enum("Layout", &TCustomLabel::Layout, &TCustomLabel::SetLayout).Default(tlTop);
    Cls.Bool("ShowAccelChar", &TCustomLabel::ShowAccelChar, &TCustomLabel::SetShowAccelChar).Default(true);
    Cls.Bool("Transparent", &TCustomLabel::Transparent, &TCustomLabel::SetTransparent).Default(false);
    Cls.Bool("WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap).Default(false);
    Cls.Message(CM_TEXTCHANGED, &TCustomLabel::CMTextChanged);
    Cls.Message(CM_FONTCHANGED, &TCustomLabel::CMFontChanged);
    Cls.Message(CM_DIALOGCHAR, &TCustomLabel::CMDialogChar);
}
TW_PUBLISH(TLabel, TCustomLabel) {}

TW_PUBLISH(TButtonControl, TCustomControl)
{
    Cls.Message(WM_LBUTTONDOWN, &TButtonControl::WMLButtonDown);
    Cls.Message(WM_LBUTTONDBLCLK, &TButtonControl::WMLButtonDblClk);
    Cls.Message(WM_MOUSEMOVE, &TButtonControl::WMMouseMove);
    Cls.Message(WM_LBUTTONUP, &TButtonControl::WMLButtonUp);
    Cls.Message(WM_KEYDOWN, &TButtonControl::WMKeyDown);
    Cls.Message(WM_KEYUP, &TButtonControl::WMKeyUp);
    Cls.Message(WM_CANCELMODE, &TButtonControl::WMCancelMode);
    Cls.Message(WM_CAPTURECHANGED, &TButtonControl::WMCaptureChanged);
    Cls.Message(WM_KILLFOCUS, &TButtonControl::WMKillFocus);
    Cls.Message(WM_SETFOCUS, &TButtonControl::WMSetFocus);
    Cls.Message(WM_GETDLGCODE, &TButtonControl::WMGetDlgCode);
    Cls.Message(CM_DIALOGCHAR, &TButtonControl::CMDialogChar);
    Cls.Message(WM_ERASEBKGND, &TButtonControl::WMEraseBkgnd);
}

TW_PUBLISH(TButton, TButtonControl)
{
    Cls.Bool("Default", &TButton::Default, &TButton::SetDefault).Default(false);
    Cls.Bool("Cancel", &TButton::Cancel, &TButton::SetCancel).Default(false);
    Cls.Ident("TModalResult", "ModalResult", &TButton::ModalResult, &TButton::SetModalResult).Default(mrNone);
    Cls.Message(CM_DIALOGKEY, &TButton::CMDialogKey);
    Cls.Message(CM_DIALOGCHAR, &TButton::CMDialogChar);
    Cls.Message(CM_FOCUSCHANGED, &TButton::CMFocusChanged);
}

TW_PUBLISH(TCustomCheckBox, TButtonControl)
{
    Cls.Bool("AllowGrayed", &TCustomCheckBox::AllowGrayed).Default(false);
    Cls.Enum("State", &TCustomCheckBox::State, &TCustomCheckBox::SetState).Default(cbUnchecked);
    Cls.Bool("Checked", &TCustomCheckBox::Checked, &TCustomCheckBox::SetChecked).Default(false);
    Cls.Enum("Alignment", &TCustomCheckBox::Alignment, &TCustomCheckBox::SetAlignment)
        .Default(taRightJustify);
}
TW_PUBLISH(TCheckBox, TCustomCheckBox) {}

TW_PUBLISH(TRadioButton, TButtonControl)
{
    Cls.Bool("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked).Default(false);
    Cls.Enum("Alignment", &TRadioButton::Alignment, &TRadioButton::SetAlignment).Default(taRightJustify);
}

TW_PUBLISH(TCustomGroupBox, TCustomControl)
{
    Cls.Message(CM_DIALOGCHAR, &TCustomGroupBox::CMDialogChar);
    Cls.Message(CM_TEXTCHANGED, &TCustomGroupBox::CMTextChanged);
}
TW_PUBLISH(TGroupBox, TCustomGroupBox) {}

TW_PUBLISH(TScrollBar, TCustomControl)
{
    Cls.Enum("Kind", &TScrollBar::Kind, &TScrollBar::SetKind).Default(sbHorizontal);
    Cls.Int("Min", &TScrollBar::Min, &TScrollBar::SetMin).Default(0);
    Cls.Int("Max", &TScrollBar::Max, &TScrollBar::SetMax).Default(100);
    Cls.Int("Position", &TScrollBar::Position, &TScrollBar::SetPosition).Default(0);
    Cls.Int("SmallChange", &TScrollBar::SmallChange).Default(1);
    Cls.Int("LargeChange", &TScrollBar::LargeChange).Default(1);
    Cls.Int("PageSize", &TScrollBar::PageSize, &TScrollBar::SetPageSize).Default(0);
    Cls.Event("OnChange", &TScrollBar::OnChange);
    Cls.Event("OnScroll", &TScrollBar::OnScroll);
    Cls.Message({CN_HSCROLL, CN_VSCROLL}, &TScrollBar::CNScroll);
    Cls.Message(SBM_SETSCROLLINFO, &TScrollBar::SBMSetScrollInfo);
    Cls.Message(SBM_GETSCROLLINFO, &TScrollBar::SBMGetScrollInfo);
    Cls.Message(SBM_SETPOS, &TScrollBar::SBMSetPos);
    Cls.Message(SBM_GETPOS, &TScrollBar::SBMGetPos);
    Cls.Message(WM_GETDLGCODE, &TScrollBar::WMGetDlgCode);
    Cls.Message(WM_ERASEBKGND, &TScrollBar::WMEraseBkgnd);
    Cls.Message(WM_LBUTTONDOWN, &TScrollBar::WMLButtonDown);
    Cls.Message(WM_LBUTTONDBLCLK, &TScrollBar::WMLButtonDblClk);
    Cls.Message(WM_MOUSEMOVE, &TScrollBar::WMMouseMove);
    Cls.Message(WM_TIMER, &TScrollBar::WMTimer);
    Cls.Message(WM_LBUTTONUP, &TScrollBar::WMLButtonUp);
    Cls.Message(WM_CANCELMODE, &TScrollBar::WMCancelMode);
    Cls.Message(WM_CAPTURECHANGED, &TScrollBar::WMCaptureChanged);
    Cls.Message(WM_KEYDOWN, &TScrollBar::WMKeyDown);
}
