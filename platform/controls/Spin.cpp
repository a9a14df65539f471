#include "platform/controls/Spin.h"

#include "platform/classes/TypInfo.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <limits>

namespace {

// An arrow pointing up or down, centred in R.
void DrawArrow(TCanvas* C, const TRect& R, bool Up, bool Enabled)
{
    int Cx = (R.left + R.right) / 2, Cy = (R.top + R.bottom) / 2;
    C->Pen()->SetColor(Enabled ? clBtnText : clGrayText);
    for (int K = 0; K < 3; ++K) {
        int Y = Up ? Cy - 1 + K : Cy + 1 - K;
        C->MoveTo(Cx - K, Y);
        C->LineTo(Cx + K + 1, Y);
    }
}

void DrawButtonFace(TCanvas* C, const TRect& R, bool Down)
{
    C->Brush()->SetColor(clBtnFace);
    C->FillRect(R);
    RECT E = R;
    DrawEdge(C->Handle(), &E, Down ? BDR_SUNKENOUTER : EDGE_RAISED, BF_RECT);
}

constexpr int SpinButtonWidth = 15;

} // namespace

// ---- TSpinButton ------------------------------------------------------------------------------
TSpinButton::TSpinButton(TComponent* AOwner) : TCustomControl(AOwner)
{
    ControlStyle = TControlStyle{csCaptureMouse, csOpaque};
    FColor = clBtnFace;
    FWidth = 20;
    FHeight = 25;
}

void TSpinButton::Paint()
{
    TCanvas* C = Canvas();
    int H = ClientHeight() / 2;
    TRect Up{0, 0, ClientWidth(), H}, Down{0, H, ClientWidth(), ClientHeight()};
    DrawButtonFace(C, Up, FPressed == 1);
    DrawButtonFace(C, Down, FPressed == -1);
    DrawArrow(C, Up, true, Enabled());
    DrawArrow(C, Down, false, Enabled());
}

void TSpinButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft && !Shift.Contains(ssDouble)) {
        FPressed = Y < ClientHeight() / 2 ? 1 : -1;
        Invalidate();
        if (FPressed > 0 && OnUpClick)
            OnUpClick(this);
        else if (FPressed < 0 && OnDownClick)
            OnDownClick(this);
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TSpinButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    FPressed = 0;
    Invalidate();
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

// ---- TSpinEdit --------------------------------------------------------------------------------
TSpinEdit::TSpinEdit(TComponent* AOwner) : TCustomControl(AOwner)
{
    ControlStyle = TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque, csSetCaption};
    FColor = clWindow;
    FTabStop = true;
    FWidth = 121;
    FHeight = 22;
    FText = "0";
}

void TSpinEdit::CreateParams(TCreateParams& Params)
{
    TCustomControl::CreateParams(Params);
    Params.ExStyle |= WS_EX_CLIENTEDGE;
}

int TSpinEdit::CheckValue(int NewValue) const
{
    if (FMaxValue != FMinValue)
        return std::clamp(NewValue, std::min(FMinValue, FMaxValue), std::max(FMinValue, FMaxValue));
    return NewValue;
}

int TSpinEdit::Value() const
{
    int V;
    if (!TryStrToInt(Text(), V))
        return FMinValue;
    return V;
}

void TSpinEdit::SetValue(int NewValue)
{
    SetText(IntToStr(CheckValue(NewValue)));
}

void TSpinEdit::SetMinValue(int Value)
{
    FMinValue = Value;
    if (!ComponentState().Contains(csLoading) && CheckValue(this->Value()) != this->Value())
        SetValue(this->Value());
}

void TSpinEdit::SetMaxValue(int Value)
{
    FMaxValue = Value;
    if (!ComponentState().Contains(csLoading) && CheckValue(this->Value()) != this->Value())
        SetValue(this->Value());
}

void TSpinEdit::SetTextBuf(const std::string& Value)
{
    bool Changed = Value != FText;
    TCustomControl::SetTextBuf(Value);
    Invalidate();
    if (Changed)
        Change();
}

void TSpinEdit::Change()
{
    if (OnChange && !ComponentState().Contains(csLoading))
        OnChange(this);
}

void TSpinEdit::Step(int Delta)
{
    if (ReadOnly)
        return;
    long long V = static_cast<long long>(Value()) + Delta;
    V = std::clamp<long long>(V, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    SetValue(static_cast<int>(V));
}

void TSpinEdit::Paint()
{
    TCanvas* C = Canvas();
    C->SetFont(FFont);
    TRect Client = ClientRect();
    int BL = Client.right - SpinButtonWidth;
    C->Brush()->SetColor(FColor);
    C->FillRect(TRect{0, 0, BL, Client.bottom});
    C->Font()->SetColor(Enabled() ? FFont->Color() : clGrayText);
    C->Brush()->SetStyle(bsClear);
    std::string T = Text();
    int TY = (Client.bottom - C->TextHeight("0")) / 2;
    C->TextRect(TRect{1, 0, BL - 1, Client.bottom}, 2, TY, T);
    C->Brush()->SetStyle(bsSolid);
    if (Focused()) {
        // The caret after the text.
        int X = 2 + C->TextWidth(T);
        C->Pen()->SetColor(clWindowText);
        C->MoveTo(X, TY);
        C->LineTo(X, TY + C->TextHeight("0"));
    }
    int H = Client.bottom / 2;
    TRect Up{BL, 0, Client.right, H}, Down{BL, H, Client.right, Client.bottom};
    DrawButtonFace(C, Up, false);
    DrawButtonFace(C, Down, false);
    DrawArrow(C, Up, true, Enabled());
    DrawArrow(C, Down, false, Enabled());
}

void TSpinEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft && !Shift.Contains(ssDouble)) {
        if (CanFocus() && !Focused())
            SetFocus();
        if (X >= ClientWidth() - SpinButtonWidth)
            Step(Y < ClientHeight() / 2 ? Increment : -Increment);
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TSpinEdit::KeyDown(WORD& Key, TShiftState Shift)
{
    TCustomControl::KeyDown(Key, Shift);
    if (Key == VK_UP) {
        Step(Increment);
        Key = 0;
    } else if (Key == VK_DOWN) {
        Step(-Increment);
        Key = 0;
    }
}

void TSpinEdit::KeyPress(char& Key)
{
    TCustomControl::KeyPress(Key);
    if (Key == 0 || ReadOnly || !EditorEnabled)
        return;
    std::string T = Text();
    if (Key == '\b') {
        if (!T.empty())
            T.pop_back();
    } else if ((Key >= '0' && Key <= '9') || (Key == '-' && T.empty())) {
        if (MaxLength > 0 && static_cast<int>(T.size()) >= MaxLength)
            return;
        T += Key;
    } else {
        // Anything but a digit is refused: the field only holds numbers.
        return;
    }
    SetText(T);
}

void TSpinEdit::DoExit()
{
    // Leaving the field brings what was typed within the limits.
    if (CheckValue(Value()) != Value() || Text().empty())
        SetValue(Value());
    TCustomControl::DoExit();
}

void TSpinEdit::WMGetDlgCode(TWMGetDlgCode Message)
{
    Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
}

void TSpinEdit::WMSetFocus(TWMSetFocus Message)
{
    Invalidate();
    TCustomControl::WMSetFocus(Message);
}

void TSpinEdit::WMKillFocus(TWMKillFocus Message)
{
    Invalidate();
    DefaultHandler(Message);
}

void TSpinEdit::WMMouseWheel(TWMMouseWheel Message)
{
    Step(Message.WheelDelta() > 0 ? Increment : -Increment);
    Message.Result = 0;
}

// ---- Registration -----------------------------------------------------------------------------
TW_PUBLISH(TSpinButton, TCustomControl)
{
    Cls.Color("Color", &TControl::Color, &TControl::SetColor).Default(clBtnFace);
    Cls.Event("OnUpClick", &TSpinButton::OnUpClick);
    Cls.Event("OnDownClick", &TSpinButton::OnDownClick);
}

TW_PUBLISH(TSpinEdit, TCustomControl)
{
    Cls.Color("Color", &TControl::Color, &TControl::SetColor).Default(clWindow);
    Cls.Int("MinValue", &TSpinEdit::MinValue, &TSpinEdit::SetMinValue).Default(0);
    Cls.Int("MaxValue", &TSpinEdit::MaxValue, &TSpinEdit::SetMaxValue).Default(0);
    Cls.Int("Value", &TSpinEdit::Value, &TSpinEdit::SetValue).Default(0);
    Cls.Int("Increment", &TSpinEdit::Increment).Default(1);
    Cls.Bool("EditorEnabled", &TSpinEdit::EditorEnabled).Default(true);
    Cls.Bool("ReadOnly", &TSpinEdit::ReadOnly).Default(false);
    Cls.Int("MaxLength", &TSpinEdit::MaxLength).Default(0);
    Cls.Bool("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(true);
    Cls.Event("OnChange", &TSpinEdit::OnChange);
    Cls.Message(WM_GETDLGCODE, &TSpinEdit::WMGetDlgCode);
    Cls.Message(WM_SETFOCUS, &TSpinEdit::WMSetFocus);
    Cls.Message(WM_KILLFOCUS, &TSpinEdit::WMKillFocus);
    Cls.Message(WM_MOUSEWHEEL, &TSpinEdit::WMMouseWheel);
}
