// Stand-in for the tool window until the docking toolbars land: a small captioned panel that
// floats over its form (above the documents), hidden until a command shows it, moved by its
// caption and hidden again by its close box. Children lie below the caption.
#pragma once

#include "platform/controls/Controls.h"

class TDock;

class TToolWindow : public TCustomControl {
public:
    explicit TToolWindow(TComponent* AOwner);

    bool Resizable = true; // stored only in the stand-in
    bool CloseButton = true;
    TDock* DockedTo = nullptr; // stored only: the stand-in always floats
    int DockRow = 0;
    int DockPos = -1;

    // The client area lies inside the frame, below the caption.
    TRect ClientRect() const override;
    void SetClientWidth(int Value) override;
    void SetClientHeight(int Value) override;
    void Dispatch(TMessage& Message) override;

    static constexpr int FrameSize = 3;
    static constexpr int CaptionHeight = 15;
    // The close box in the control's coordinates.
    TRect CloseBoxRect() const;

protected:
    void AdjustClientRect(TRect& Rect) override;
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    bool FMoving = false;
    TPoint FGrab{};
};
TW_LINK_CLASS(TToolWindow);
