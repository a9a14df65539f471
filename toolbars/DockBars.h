// Docking toolbars: docks along the edges of a form that hold bars in rows, the tool window that
// docks and floats (a thin frame with a drag handle in a dock, a small-caption pop-up when
// floating), the toolbar that lays its controls out in a line or in wrapped rows, the panel tool
// window, the separator, and the modal loops that drag, size and close the bars.
#pragma once

#include "platform/controls/Controls.h"
#include "platform/controls/Forms.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TDock;
class TCustomToolWindow;

enum TDockPosition { dpTop, dpBottom, dpLeft, dpRight };
using TDockableTo = TSet<TDockPosition>;
enum TDockBoundLine { blTop, blBottom, blLeft, blRight };
using TDockBoundLines = TSet<TDockBoundLine>;

using TInsertRemoveEvent = std::function<void(TObject* Sender, bool Inserting, TCustomToolWindow* Bar)>;
using TRequestDockEvent = std::function<void(TObject* Sender, TCustomToolWindow* Bar, bool& Accept)>;

// 0 for no dock (floating), 1 for a top or bottom dock, 2 for a left or right dock.
int DockOrientation(const TDock* Dock);

// Sorts List with Compare(A, B, Context) < 0 meaning A goes first; equal items keep their order.
template <class T, class F> void SortList(std::vector<T>& List, F Compare, const void* Context)
{
    std::stable_sort(List.begin(), List.end(),
                     [&](const T& A, const T& B) { return Compare(A, B, Context) < 0; });
}
// Dispatches the paint messages waiting for the thread (a quit met there is posted again).
void FlushPaintMessages();
// A new logical palette with Palette's entries; none for a missing or empty palette.
HPALETTE DuplicatePalette(HPALETTE Palette);

// ---- TDock --------------------------------------------------------------------------------------
class TDock : public TCustomControl {
public:
    explicit TDock(TComponent* AOwner);
    ~TDock() override;

    TDockPosition Position() const { return FPosition; }
    void SetPosition(TDockPosition Value);
    bool AllowDrag() const { return FAllowDrag; }
    void SetAllowDrag(bool Value);
    TBitmap* Background() const { return FBackground; }
    void SetBackground(TBitmap* Value);
    bool BackgroundOnToolbars() const { return FBackgroundOnToolbars; }
    void SetBackgroundOnToolbars(bool Value);
    bool BackgroundTransparent() const { return FBackgroundTransparent; }
    void SetBackgroundTransparent(bool Value);
    TDockBoundLines BoundLines() const { return FBoundLines; }
    void SetBoundLines(TDockBoundLines Value);
    bool FixAlign() const { return FFixAlign; }
    void SetFixAlign(bool Value);
    bool LimitToOneRow = false;
    TInsertRemoveEvent OnInsertRemoveBar;
    TRequestDockEvent OnRequestDock;

    // Lays out the bars row by row and sizes the dock across its edge to the rows.
    void LayoutBars();
    // Puts Bar into the list of laid-out bars (when visible, or at design time) or takes it out.
    void ChangeBarList(bool Inserting, TCustomToolWindow* Bar, bool BarIsVisible);
    // The row a dragged outline's centre (Pos across the dock) falls in; NewRow: a new row is to
    // be opened in front of it.
    int RowAtDropPoint(int Pos, bool& NewRow);
    int RowAtPosition(int Pos);
    void InsertRow(int Row);
    int CountBarsInRow(int Row, const TCustomToolWindow* Except) const;
    int RowThicknessOf(int Row, TCustomToolWindow* Bar);
    void BuildRowThickness();
    int HighestRow() const;
    bool HasBackground() const;
    void DrawBackground(HDC DC, const TRect& ClipRect, const TRect& TileArea, const TRect* ExcludeRect);
    void InvalidateBackground();
    const std::vector<TCustomToolWindow*>& DockedBars() const { return FDockedBars; }
    int ArrangeLock = 0;

    void SetParent(TWinControl* AParent) override;
    void Loaded() override;

protected:
    TW_MESSAGE_HANDLERS(TDock);
    void WMMove(TWMMove Message);
    void WMSize(TWMSize Message);
    void WMNCCalcSize(TWMNCCalcSize Message);
    void WMNCPaint(TWMNCPaint Message);
    void CMColorChanged(TMessage& Message);
    void CMSysColorChange(TMessage& Message);

    void AlignControls(TControl* AControl, TRect& Rect) override;
    bool PlacesEveryChild() const override { return true; }
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void VisibleChanging() override;

private:
    void SetDockSize(bool ClientAdjust, int NewWidth, int NewHeight);
    void BackgroundChanged(TObject* Sender);
    void FrameChanged(HWND Wnd);
    TBitmap* BackgroundSource();

    TDockPosition FPosition = dpTop;
    bool FAllowDrag = true;
    TBitmap* FBackground = nullptr;
    std::unique_ptr<TBitmap> FBackgroundCache;
    bool FBackgroundOnToolbars = true;
    bool FBackgroundTransparent = false;
    TDockBoundLines FBoundLines;
    bool FFixAlign = false;
    std::vector<TCustomToolWindow*> FDockedBars;
    std::vector<int> FRowThickness;
};
TW_LINK_CLASS(TDock);

// ---- TFloatParent -------------------------------------------------------------------------------
// The invisible windowed parent a floating tool window hangs under: a child of the top form that
// never shows its own window, though its floating children show.
class TFloatParent : public TWinControl {
public:
    explicit TFloatParent(TComponent* AOwner);

protected:
    TW_MESSAGE_HANDLERS(TFloatParent);
    void CMShowingChanged(TMessage& Message);
    void CreateParams(TCreateParams& Params) override;
    bool ShouldShow() const override;
};

// ---- Position persistence ----------------------------------------------------------------------
// Read and write routines the caller of the position hooks supplies (tool window name, value
// name, value or default, caller data).
using TPositionReadIntProc =
    std::function<int(const std::string& ToolWindow, const std::string& Value, int Default, void* ExtraData)>;
using TPositionReadStringProc = std::function<std::string(
    const std::string& ToolWindow, const std::string& Value, const std::string& Default, void* ExtraData)>;
using TPositionWriteIntProc =
    std::function<void(const std::string& ToolWindow, const std::string& Value, int Data, void* ExtraData)>;
using TPositionWriteStringProc = std::function<void(const std::string& ToolWindow, const std::string& Value,
                                                    const std::string& Data, void* ExtraData)>;

// ---- TCustomToolWindow --------------------------------------------------------------------------
class TCustomToolWindow : public TCustomControl {
public:
    explicit TCustomToolWindow(TComponent* AOwner);
    ~TCustomToolWindow() override;

    TDock* DockedTo() const { return FDockedTo; }
    void SetDockedTo(TDock* Value);
    bool Docked() const { return FDocked; }
    int DockRow() const { return FDockRow; }
    void SetDockRow(int Value);
    int DockPos() const { return FDockPos; }
    void SetDockPos(int Value);
    TDock* DefaultDock() const { return FDefaultDock; }
    void SetDefaultDock(TDock* Value);
    TDockableTo DockableTo{dpTop, dpBottom, dpLeft, dpRight};
    bool ActivateParent = true;
    bool HideWhenInactive = true;
    bool CloseButton() const { return FCloseButton; }
    void SetCloseButton(bool Value);
    bool DragHandle() const { return FDragHandle; }
    void SetDragHandle(bool Value);
    bool FullSize() const { return FFullSize; }
    void SetFullSize(bool Value);
    bool Resizable() const { return FResizable; }
    virtual void SetResizable(bool Value);

    TNotifyEvent OnClose;
    TNotifyEvent OnDockChanged;
    TNotifyEvent OnDockChanging;
    TNotifyEvent OnRecreated;
    TNotifyEvent OnRecreating;
    TNotifyEvent OnVisibleChanged;

    // The form the bar's floating window follows (the owner, or its MDI frame).
    TCustomForm* TopForm() const { return FTopForm; }
    TWinControl* FloatParent() const { return FFloatParent; }
    bool HiddenByActivity() const { return FHiddenByActivity; }
    bool CaptionInactive() const { return FCaptionInactive; }
    bool CloseButtonDown() const { return FCloseButtonDown; }
    // Left and top of the floating window on the screen, kept on every floating move.
    TPoint FloatPosition;

    void ArrangeControls();
    // Mode 0 measures the client size for DockingTo, 1 also positions the children for it,
    // 2 applies it to the window (against the current dock).
    void UpdateSize(int Mode, TDock* WasDockedTo, TSize& Size, TDock* DockingTo);
    void KeepOnScreen(bool OnlyWhenOffScreen);
    // Frame metrics of the floating window: frame thickness and small-caption height.
    int FrameX() const;
    int FrameY() const;
    static int CaptionHeight();
    // The caption and close-button rectangles of the floating frame (window coordinates).
    TRect FloatingCaptionRect(bool WithoutCloseButton) const;
    TRect CloseButtonRect() const;

    virtual int GetBarThickness(int Orientation);
    virtual void QueryMinimumSize(int& AWidth, int& AHeight);
    virtual TSize PositionControls(bool CanMoveControls, TDock* WasDockedTo, TDock* DockingTo);
    virtual void SizeAboutToChange(int AWidth, int AHeight);
    virtual void LoadPositionHook(const TPositionReadIntProc& ReadInt,
                                  const TPositionReadStringProc& ReadString, void* ExtraData);
    virtual void SavePositionHook(const TPositionWriteIntProc& WriteInt,
                                  const TPositionWriteStringProc& WriteString, void* ExtraData);

    void SetParent(TWinControl* AParent) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    TRect ClientRect() const override;
    void Loaded() override;

protected:
    TW_MESSAGE_HANDLERS(TCustomToolWindow);
    void WMMove(TWMMove Message);
    void WMSize(TWMSize Message);
    void WMGetMinMaxInfo(TWMGetMinMaxInfo Message);
    void WMActivate(TWMActivate Message);
    void WMMouseActivate(TWMMouseActivate Message);
    void WMClose(TWMClose Message);
    void WMNCCalcSize(TWMNCCalcSize Message);
    void WMNCHitTest(TWMNCHitTest Message);
    void WMNCLButtonDown(TWMNCLButtonDown Message);
    void WMNCPaint(TWMNCPaint Message);
    void WMDockedNCRepaint(TMessage& Message);
    void CMShowingChanged(TMessage& Message);
    void CMVisibleChanged(TMessage& Message);
    void CMColorChanged(TMessage& Message);
    void CMTextChanged(TMessage& Message);

    virtual void QueryWindowOptions();
    virtual void SizingStart(int HitCode);
    virtual void SizingTrack(TRect& Rect, const TRect& StartRect);
    virtual void SizingFinish(bool Accepted);
    virtual void PrepareOrdering();

    void AlignControls(TControl* AControl, TRect& Rect) override;
    bool PlacesEveryChild() const override { return true; }
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    void PaintFloatingFrame(HRGN Clip, bool DrawFrame, bool DrawCloseButton, bool DrawCaption);
    void PaintDockedFrame(HRGN Clip);
    void PostDockedNCRepaint();
    void RunMoveLoop(int X, int Y);
    void RunSizeLoop(int HitCode, bool& Accepted, TRect& NewBounds);
    void RunCloseButtonLoop();
    void DrawDragFrame(HDC DC, const TRect* NewRect, const TRect* OldRect, bool NewDocked, bool OldDocked);
    // The client offset inside the window for the frame DockingTo gives (floating for nullptr).
    TRect NonClientInsets(TDock* DockingTo) const;
    // Width and height of the frame the window has now.
    TSize NonClientSize() const;
    void SetCaptionInactive(bool Value);
    void SetHiddenByActivity(bool Value);
    void ShowOrHideWindow();

    // Option flags from QueryWindowOptions.
    bool FAlignChildren = true;
    bool FCornerSizing = true;
    bool FClipCursorWhileSizing = true;
    int FBoundsUpdating = 0;
    int FOrderLock = 0;
    int FDockChangeHide = 0;

private:
    friend class TDock;
    friend class TToolbarSep;
    friend void UpdateVisibility(TCustomForm* Form, bool AppActive);
    void FrameChanged();

    TDock* FDockedTo = nullptr;
    bool FDocked = false;
    int FDockRow = 0;
    int FDockPos = -1;
    TDock* FDefaultDock = nullptr;
    bool FCloseButton = true;
    bool FDragHandle = true;
    bool FFullSize = false;
    bool FResizable = true;
    TWinControl* FFloatParent = nullptr; // the owner form itself at design time
    TCustomForm* FTopForm = nullptr;
    bool FCaptionInactive = false;
    bool FHiddenByActivity = false;
    bool FCloseButtonDown = false;
    bool FRegistered = false;
};

// Re-decides which floating tool windows of Form (and its MDI children) hide: while the program
// is inactive (HideWhenInactive) or the form is hidden or minimised.
void UpdateVisibility(TCustomForm* Form, bool AppActive);

// ---- TCustomToolbar / TToolbar ------------------------------------------------------------------
class TToolbarSep;

class TCustomToolbar : public TCustomToolWindow {
public:
    explicit TCustomToolbar(TComponent* AOwner);
    ~TCustomToolbar() override;

    // The wrap limit of the floating layout in client pixels (0: no wrap).
    int FloatRightX = 0;
    // Child controls in layout order.
    const std::vector<TControl*>& ControlOrder() const { return FControlOrder; }
    // Etched lines of the floating layout: the cross position of the row after the gap and
    // whether the separator that ended the row before was blank.
    struct TGapLine {
        int Y;
        bool Blank;
    };
    const std::vector<TGapLine>& GapLines() const { return FGapLines; }

    int GetBarThickness(int Orientation) override;
    void QueryMinimumSize(int& AWidth, int& AHeight) override;
    TSize PositionControls(bool CanMoveControls, TDock* WasDockedTo, TDock* DockingTo) override;
    void LoadPositionHook(const TPositionReadIntProc& ReadInt, const TPositionReadStringProc& ReadString,
                          void* ExtraData) override;
    void SavePositionHook(const TPositionWriteIntProc& WriteInt, const TPositionWriteStringProc& WriteString,
                          void* ExtraData) override;

protected:
    TW_MESSAGE_HANDLERS(TCustomToolbar);
    void CMControlListChange(TMessage& Message);

    void QueryWindowOptions() override;
    void PrepareOrdering() override;
    void SizingStart(int HitCode) override;
    void SizingTrack(TRect& Rect, const TRect& StartRect) override;
    void SizingFinish(bool Accepted) override;
    void Paint() override;

private:
    struct TSizingState;
    std::vector<TControl*> FControlOrder;
    std::vector<TGapLine> FGapLines;
    std::unique_ptr<TSizingState> FSizing;
};

class TToolbar : public TCustomToolbar {
public:
    using TCustomToolbar::TCustomToolbar;
};
TW_LINK_CLASS(TToolbar);

// ---- TToolWindow --------------------------------------------------------------------------------
class TToolWindow : public TCustomToolWindow {
public:
    explicit TToolWindow(TComponent* AOwner);

    int MinClientWidth = 32;
    int MinClientHeight = 32;
    void SetResizable(bool Value) override;

    int GetBarThickness(int Orientation) override;
    void QueryMinimumSize(int& AWidth, int& AHeight) override;
    TSize PositionControls(bool CanMoveControls, TDock* WasDockedTo, TDock* DockingTo) override;
    void SizeAboutToChange(int AWidth, int AHeight) override;
    void LoadPositionHook(const TPositionReadIntProc& ReadInt, const TPositionReadStringProc& ReadString,
                          void* ExtraData) override;
    void SavePositionHook(const TPositionWriteIntProc& WriteInt, const TPositionWriteStringProc& WriteString,
                          void* ExtraData) override;

protected:
    void CreateParams(TCreateParams& Params) override;

private:
    int FStoredClientWidth = 32;
    int FStoredClientHeight = 32;
};
TW_LINK_CLASS(TToolWindow);

// ---- TToolbarSep --------------------------------------------------------------------------------
class TToolbarSep : public TGraphicControl {
public:
    explicit TToolbarSep(TComponent* AOwner);
    bool Blank() const { return FBlank; }
    void SetBlank(bool Value);
    int SizeHorz() const { return FSizeHorz; }
    void SetSizeHorz(int Value);
    int SizeVert() const { return FSizeVert; }
    void SetSizeVert(int Value);
    void SetParent(TWinControl* AParent) override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    bool FBlank = false;
    int FSizeHorz = 6;
    int FSizeVert = 6;
};
TW_LINK_CLASS(TToolbarSep);
