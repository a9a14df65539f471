// TScrollBox: a container whose children may reach beyond its client area; with AutoScroll
// its own scroll bars appear as needed and scrolling moves the children.
#pragma once

#include "platform/controls/Forms.h"

class TScrollBox : public TScrollingWinControl {
public:
    explicit TScrollBox(TComponent* AOwner);

    // bsSingle (the default) gives the sunken client edge.
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    bool AutoScroll() const { return FAutoScroll; }
    void SetAutoScroll(bool Value);
    // How far the contents are scrolled (pixels), and the extent of the contents.
    int HorzPosition() const { return FHorzPos; }
    int VertPosition() const { return FVertPos; }
    void SetHorzPosition(int Value) { ScrollTo(Value, FVertPos); }
    void SetVertPosition(int Value) { ScrollTo(FHorzPos, Value); }
    int HorzRange() const { return FHorzRange; }
    int VertRange() const { return FVertRange; }
    // Scrolls so that the control (a child, at any depth) is wholly in view where it fits.
    void ScrollInView(TControl* AControl);
    // Pixels an arrow click scrolls.
    int Increment = 8;

protected:
    TW_MESSAGE_HANDLERS(TScrollBox);
    void CMControlListChange(TMessage& Message);
    void WMPaint(TWMPaint Message);
    void WMHScroll(TWMHScroll Message);
    void WMVScroll(TWMVScroll Message);

    void CreateParams(TCreateParams& Params) override;
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void SizeChanged() override;

private:
    void ScrollTo(int X, int Y);
    void MoveContents(int X, int Y); // ScrollTo without measuring the contents first
    void UpdateScrollBars();
    void Scrolled(int Bar, int Code);
    TBorderStyle FBorderStyle = bsSingle;
    bool FAutoScroll = true;
    int FHorzPos = 0, FVertPos = 0;
    int FHorzRange = 0, FVertRange = 0;
    bool FUpdating = false;
    // What the window's scroll bars were last set to (-1: never).
    int FShownHorzRange = -1, FShownVertRange = -1, FShownHorzPos = -1, FShownVertPos = -1;
    int FShownWidth = -1, FShownHeight = -1;
};
