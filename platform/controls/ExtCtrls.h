// Panels, bevels, shapes, images, paint boxes, timers and notebooks, drawn through our canvas in
// the classic 3-D look.
#pragma once

#include "platform/controls/Controls.h"
#include "platform/controls/PageHosts.h"
#include "platform/graphics/Graphics.h"

#include <string>
#include <vector>

// Draws Width rings of a 3-D frame just inside Rect (top and left in TopColor, bottom and right in
// BottomColor) and shrinks Rect by them.
void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width);

// ---- Panel ------------------------------------------------------------------------------------
enum TPanelBevel { bvNone, bvLowered, bvRaised, bvSpace };
using TBevelWidth = int;
using TBorderWidth = int;

class TCustomPanel : public TCustomControl {
public:
    explicit TCustomPanel(TComponent* AOwner);

    TPanelBevel BevelInner() const { return FBevelInner; }
    void SetBevelInner(TPanelBevel Value);
    TPanelBevel BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TPanelBevel Value);
    TBevelWidth BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(TBevelWidth Value);
    // The gap between the outer and the inner bevel, in the panel's colour.
    TBorderWidth BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(TBorderWidth Value);
    // bsSingle adds a one-pixel window-frame line around everything.
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);

protected:
    TW_MESSAGE_HANDLERS(TCustomPanel);
    void WMEraseBkgnd(TWMEraseBkgnd Message);

    void AdjustClientRect(TRect& Rect) override;
    void Paint() override;

private:
    int FrameWidth() const; // everything inside the client rectangle the bevels take
    TPanelBevel FBevelInner = bvNone;
    TPanelBevel FBevelOuter = bvRaised;
    TBevelWidth FBevelWidth = 1;
    TBorderWidth FBorderWidth = 0;
    TBorderStyle FBorderStyle = bsNone;
    TAlignment FAlignment = taCenter;
};

class TPanel : public TCustomPanel {
public:
    using TCustomPanel::TCustomPanel;
};

// ---- Bevel ------------------------------------------------------------------------------------
enum TBevelStyle { bsLowered, bsRaised };
enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };

class TBevel : public TGraphicControl {
public:
    explicit TBevel(TComponent* AOwner);
    TBevelShape Shape() const { return FShape; }
    void SetShape(TBevelShape Value);
    TBevelStyle Style() const { return FStyle; }
    void SetStyle(TBevelStyle Value);

protected:
    void Paint() override;

private:
    TBevelShape FShape = bsBox;
    TBevelStyle FStyle = bsLowered;
};

// ---- Shape ------------------------------------------------------------------------------------
enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };

class TShape : public TGraphicControl {
public:
    explicit TShape(TComponent* AOwner);
    ~TShape() override;
    TShapeType Shape() const { return FShape; }
    void SetShape(TShapeType Value);
    TPen* Pen() const { return FPen; }
    void SetPen(TPen* Value) { FPen->Assign(Value); }
    TBrush* Brush() const { return FBrush; }
    void SetBrush(TBrush* Value) { FBrush->Assign(Value); }

protected:
    void Paint() override;

private:
    TShapeType FShape = stRectangle;
    TPen* FPen;
    TBrush* FBrush;
};

// ---- Image ------------------------------------------------------------------------------------
class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* AOwner);
    ~TImage() override;

    TPicture* Picture() const { return FPicture; }
    void SetPicture(TPicture* Value) { FPicture->Assign(Value); }
    // The canvas of the picture's bitmap (made the control's size when the picture is empty).
    // Raises EInvalidOperation when the picture holds another kind of graphic.
    TCanvas* Canvas();
    // The control takes the picture's size.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    // The picture fills the control.
    bool Stretch() const { return FStretch; }
    void SetStretch(bool Value);
    // Unstretched, the picture sits in the middle instead of the top-left corner.
    bool Center() const { return FCenter; }
    void SetCenter(bool Value);
    // The picture's transparent colour lets the parent show through.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);

    // Where the picture is drawn, in client coordinates.
    TRect DestRect() const;

protected:
    void Paint() override;
    virtual void PictureChanged(TObject* Sender);

private:
    TPicture* FPicture;
    bool FAutoSize = false;
    bool FStretch = false;
    bool FCenter = false;
    bool FTransparent = false;
    bool FDrawing = false;
};

// ---- Paint box --------------------------------------------------------------------------------
class TPaintBox : public TGraphicControl {
public:
    explicit TPaintBox(TComponent* AOwner);
    // Draws on Canvas, which is set up with the box's font and colour.
    TNotifyEvent OnPaint;

protected:
    void Paint() override;
};

// ---- Timer ------------------------------------------------------------------------------------
// Fires OnTimer every Interval milliseconds while Enabled, from a timer of the window model on a
// hidden window of its own (so tests drive it with the test clock).
class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    // Milliseconds; 0 stops the timer.
    unsigned Interval() const { return FInterval; }
    void SetInterval(unsigned Value);
    TNotifyEvent OnTimer;

protected:
    virtual void Timer();
    void Loaded() override;

private:
    void UpdateTimer();
    void WndProc(TMessage& Message);
    HWND FWindowHandle = nullptr;
    bool FEnabled = true;
    unsigned FInterval = 1000;
};

// ---- Notebook ---------------------------------------------------------------------------------

// One page of a notebook ("TPage" in stored forms): a container shown while it is the active page.
class TNotebookPage : public TPageHostPage {
public:
    explicit TNotebookPage(TComponent* AOwner) : TPageHostPage(AOwner) {}
};

// A stack of pages of which one shows (see TPageHost); OnPageChanged comes after another page
// was shown, but not while the notebook is read.
class TNotebook : public TPageHost {
public:
    explicit TNotebook(TComponent* AOwner);
    ~TNotebook() override;

    TNotebookPage* Page(int Index) const { return static_cast<TNotebookPage*>(PageAt(Index)); }

    TNotifyEvent OnPageChanged;

protected:
    TPageHostPage* CreatePage() override;
    bool IsOwnPage(TPageHostPage* P) const override;
    void PageShown(bool Changed) override;
};
