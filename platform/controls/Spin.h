// Spin controls: a pair of arrow buttons (TSpinButton) and an integer field with such a pair
// (TSpinEdit). Both paint through their canvas; the field takes digits and a minus sign.
#pragma once

#include "platform/controls/Controls.h"

#include <string>

class TSpinButton : public TCustomControl {
public:
    explicit TSpinButton(TComponent* AOwner);
    TNotifyEvent OnUpClick;
    TNotifyEvent OnDownClick;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    int FPressed = 0; // 1 up, -1 down, 0 none
};
TW_LINK_CLASS(TSpinButton);

class TSpinEdit : public TCustomControl {
public:
    explicit TSpinEdit(TComponent* AOwner);

    // The number in the field (MinValue when it holds none); setting it clamps to the limits.
    int Value() const;
    void SetValue(int NewValue);
    // Equal limits (both 0 by default) mean no limits.
    int MinValue() const { return FMinValue; }
    void SetMinValue(int Value);
    int MaxValue() const { return FMaxValue; }
    void SetMaxValue(int Value);
    int Increment = 1;
    bool EditorEnabled = true;
    bool ReadOnly = false;
    int MaxLength = 0;
    // The value within the limits.
    int CheckValue(int NewValue) const;

    TNotifyEvent OnChange;

protected:
    TW_MESSAGE_HANDLERS(TSpinEdit);
    void WMGetDlgCode(TWMGetDlgCode Message);
    void WMSetFocus(TWMSetFocus Message);
    void WMKillFocus(TWMKillFocus Message);
    void WMMouseWheel(TWMMouseWheel Message);

    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void DoExit() override;
    virtual void Change();
    void SetTextBuf(const std::string& Value) override;
    void CreateParams(TCreateParams& Params) override;
    void Step(int Delta);

private:
    int FMinValue = 0, FMaxValue = 0;
};
TW_LINK_CLASS(TSpinEdit);
