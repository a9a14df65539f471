// Controls: the base classes of every visual control. TControl has bounds, alignment, caption,
// colour, font, cursor, hint and mouse/key events; TWinControl owns a window handle made on
// demand and parents other controls; TGraphicControl is windowless (painted by its parent and
// fed mouse input by it); TCustomControl is a windowed control that paints itself.
#pragma once

#include "platform/classes/Classes.h"
#include "platform/graphics/Graphics.h"
#include "platform/win/Windows.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

class TControl;
class TWinControl;

// EInvalidOperation (platform/rtl/SysUtils.h) is raised for operations a control or form cannot do
// in its state ("Cannot make a visible window modal", "Control '%s' has no parent window").
class TPopupMenu;
class TCustomForm;

// ---- Basic types ------------------------------------------------------------------------------
enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem>;

enum TControlStyleItem {
    csAcceptsControls,
    csCaptureMouse,
    csDesignInteractive,
    csClickEvents,
    csFramed,
    csSetCaption,
    csOpaque,
    csDoubleClicks,
    csFixedWidth,
    csFixedHeight,
    csNoDesignVisible,
    csReplicatable,
    csNoStdEvents,
    csDisplayDragImage,
    csReflector,
    csActionClient,
    csMenuEvents,
};
using TControlStyle = TSet<TControlStyleItem>;

enum TControlStateItem {
    csLButtonDown,
    csClicked,
    csPalette,
    csReadingState,
    csAlignmentNeeded,
    csFocusing,
    csCreating,
    csPaintCopy,
    csCustomPaint,
    csDestroyingHandle,
    csDocking,
};
using TControlState = TSet<TControlStateItem>;

using TCursor = std::int16_t;
inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crNone = -1;
inline constexpr TCursor crArrow = -2;
inline constexpr TCursor crCross = -3;
inline constexpr TCursor crIBeam = -4;
inline constexpr TCursor crSize = -22;
inline constexpr TCursor crSizeNESW = -6;
inline constexpr TCursor crSizeNS = -7;
inline constexpr TCursor crSizeNWSE = -8;
inline constexpr TCursor crSizeWE = -9;
inline constexpr TCursor crUpArrow = -10;
inline constexpr TCursor crHourGlass = -11;
inline constexpr TCursor crDrag = -12;
inline constexpr TCursor crNoDrop = -13;
inline constexpr TCursor crHSplit = -14;
inline constexpr TCursor crVSplit = -15;
inline constexpr TCursor crMultiDrag = -16;
inline constexpr TCursor crSQLWait = -17;
inline constexpr TCursor crNo = -18;
inline constexpr TCursor crAppStart = -19;
inline constexpr TCursor crHelp = -20;
inline constexpr TCursor crHandPoint = -21;
inline constexpr TCursor crSizeAll = -22;

enum TBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TFormBorderStyle = TBorderStyle;
// Which scroll bars a control shows.
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

enum TDragMode { dmManual, dmAutomatic };
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };

// ---- Events -----------------------------------------------------------------------------------
using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;
// Drag and drop between controls: Source is the control being dragged.
using TDragOverEvent =
    std::function<void(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDragDropEvent = std::function<void(TObject* Sender, TObject* Source, int X, int Y)>;
using TStartDragEvent = std::function<void(TObject* Sender)>;
using TEndDragEvent = std::function<void(TObject* Sender, TObject* Target, int X, int Y)>;

// The shift state of a mouse message's WParam (MK_* flags) and of the keyboard now.
TShiftState KeysToShiftState(WORD Keys);
TShiftState KeyDataToShiftState(LPARAM KeyData);
TShiftState CurrentShiftState();
// Where a WM_VSCROLL/WM_HSCROLL moves a view that scrolls by rows (or columns) from its first
// one at Pos: a line is one, a page Page, the thumb's position, SB_TOP 0 and SB_BOTTOM Bottom;
// any other code stays at Pos.
int ScrolledPos(const TWMScroll& Message, int Pos, int Page, int Bottom);

// What goes into the window a TWinControl creates.
struct TCreateParams {
    std::string Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND WndParent = nullptr;
    void* Param = nullptr;
    UINT ClassStyle = 0; // CS_* of the window class
    HCURSOR ClassCursor = nullptr;
    HBRUSH ClassBackground = nullptr;
    WNDPROC DefWindowProc = nullptr; // the procedure unhandled messages go to
    HMENU Menu = nullptr;            // a top-level window's menu bar
    std::string WinClassName;
};

// ---- TControl ---------------------------------------------------------------------------------
class TControl : public TComponent {
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    // Hierarchy.
    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* AParent);
    // The form this control sits on (nullptr when none).
    TCustomForm* ParentForm() const;

    // Bounds in the parent's client coordinates.
    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
    void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
    void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
    void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
    void SetBoundsRect(const TRect& R) { SetBounds(R.left, R.top, R.right - R.left, R.bottom - R.top); }
    virtual TRect ClientRect() const;
    int ClientWidth() const;
    int ClientHeight() const;
    virtual void SetClientWidth(int Value);
    virtual void SetClientHeight(int Value);
    virtual TPoint ClientOrigin() const; // screen position of the client area's top-left corner
    TPoint ClientToScreen(const TPoint& P) const;
    TPoint ScreenToClient(const TPoint& P) const;

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign Value);

    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    void Show();
    void Hide();
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool Value);

    // Caption and Text are one string.
    const std::string& Caption() const { return FText; }
    void SetCaption(const std::string& Value) { SetText(Value); }
    std::string Text() const { return GetText(); }
    void SetText(const std::string& Value);

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool Value);
    TFont* Font() const { return FFont; }
    void SetFont(TFont* Value);
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);

    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);

    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value) { FHint = Value; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    bool ParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool Value);

    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* Value);

    TControlStyle ControlStyle;
    TControlState ControlState;

    // Messages. Perform and the window procedure deliver to WindowProc, a replaceable hook
    // (subclassing), which is WndProc unless replaced; WndProc hands the message to the handler
    // the message table names (Dispatch, TypInfo.h), and what no handler claims goes to
    // DefaultHandler.
    LRESULT Perform(UINT Msg, WPARAM WParam, LPARAM LParam);
    TWndMethod WindowProc;
    virtual void WndProc(TMessage& Message);
    // The text answers of a control without a window.
    void DefaultHandler(TMessage& Message) override;

    // Painting.
    virtual void Invalidate();
    virtual void Repaint();
    virtual void Update();
    virtual void Refresh() { Repaint(); }

    void BringToFront();
    void SendToBack();

    bool MouseCapture() const;
    void SetMouseCapture(bool Value);

    // Dynamic members the events hang off; descendants override them.
    virtual void Click();
    virtual void DblClick();

    // Whether the control reacts to the point (client coordinates); used by ControlAtPos.
    virtual bool HitTest(int X, int Y);
    bool IsVisibleOnParent() const; // Visible and, for design-time-hidden controls, not hidden

    // Events.
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnResize;

    // Drag and drop. dmAutomatic starts a drag when the left button is pressed and the pointer
    // moves a few pixels; BeginDrag starts one from code (at once, or after Threshold pixels).
    TDragMode DragMode = dmManual;
    TCursor DragCursor = crDrag;
    void BeginDrag(bool Immediate, int Threshold = -1);
    // Ends the drag: with Drop, the control under the pointer gets OnDragDrop if it accepts.
    void EndDrag(bool Drop);
    bool Dragging() const;
    // Whether the control takes Source dropped at (X, Y) (OnDragOver; false without it).
    virtual void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept);
    virtual void DragDrop(TObject* Source, int X, int Y);
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;
    TStartDragEvent OnStartDrag;
    TEndDragEvent OnEndDrag;

    // Kept for the stored descriptions; every control is drawn flat or 3-D by the layer alike.
    bool Ctl3D = true;
    bool ParentCtl3D = true;
    int HelpContext = 0;

    void Loaded() override;
    // The form reader's parent link is the control's Parent.
    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* Value) override;

protected:
    // Message handlers.
    TW_MESSAGE_HANDLERS(TControl);
    void WMLButtonDown(TWMLButtonDown Message);
    void WMLButtonDblClk(TWMLButtonDblClk Message);
    void WMRButtonDown(TWMRButtonDown Message);
    void WMRButtonDblClk(TWMRButtonDblClk Message);
    void WMMButtonDown(TWMMButtonDown Message);
    void WMMButtonDblClk(TWMMButtonDblClk Message);
    void WMLButtonUp(TWMLButtonUp Message);
    void WMRButtonUp(TWMRButtonUp Message);
    void WMMButtonUp(TWMMButtonUp Message);
    void WMMouseMove(TWMMouseMove Message);
    void WMCancelMode(TWMCancelMode Message);
    void CMMouseEnter(TMessage& Message);
    void CMMouseLeave(TMessage& Message);
    void CMHitTest(TMessage& Message);
    void CMEnabledChanged(TMessage& Message);
    void CMFontChanged(TMessage& Message);
    void CMColorChanged(TMessage& Message);
    void CMTextChanged(TMessage& Message);
    void CMParentFontChanged(TMessage& Message);
    void CMParentColorChanged(TMessage& Message);
    void CMParentShowHintChanged(TMessage& Message);
    // Notices a plain control takes without doing anything (descendants act on them).
    void CMVisibleChanged(TMessage&) {}
    void CMCursorChanged(TMessage&) {}
    void CMShowHintChanged(TMessage&) {}
    void CMCancelMode(TCMCancelMode) {}
    void CMDialogKey(TCMDialogKey) {}
    void CMDialogChar(TCMDialogChar) {}
    void CMFocusChanged(TMessage&) {}
    void CMSysColorChange(TMessage&) {}
    void CMShowingChanged(TMessage&) {}
    void CMEnter(TCMEnter) {}
    void CMExit(TCMExit) {}
    void CMHintShow(TMessage&) {}

    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void Resize();
    virtual void Changed();
    virtual std::string GetText() const { return FText; }
    virtual void SetTextBuf(const std::string& Value);
    // Keeps Left/Top/Width/Height without moving anything (the window moved itself).
    void UpdateBoundsRect(const TRect& R);
    virtual void VisibleChanging() {}
    // Called when the bounds change, so the parent can re-align.
    void RequestAlign();
    void SendCancelMode(TControl* Sender);
    void ParentFontChanged();
    void ParentColorChanged();
    void ParentShowHintChanged();
    // Right-click auto popup: true when a popup menu was shown.
    bool DoContextPopup(const TPoint& ScreenPos);
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // Used to detect an auto-popup on right-button up (mouse position in client coordinates).
    void DoMouseDown(TMessage& Message, TMouseButton Button, TShiftState Shift);
    void DoMouseUp(TMessage& Message, TMouseButton Button);

    TWinControl* FParent = nullptr;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    TAlign FAlign = alNone;
    bool FVisible = true;
    bool FEnabled = true;
    std::string FText;
    TColor FColor = clWindow;
    bool FParentColor = false;
    TFont* FFont = nullptr;
    bool FParentFont = true;
    TCursor FCursor = crDefault;
    std::string FHint;
    bool FShowHint = false;
    bool FParentShowHint = true;
    TPopupMenu* FPopupMenu = nullptr;
    virtual void DoStartDrag();
    virtual void DoEndDrag(TObject* Target, int X, int Y);

private:
    // What every press and release message does, by button.
    void MouseDownMessage(TWMMouse Message, TMouseButton Button, bool Double);
    void MouseUpMessage(TWMMouse Message, TMouseButton Button);
    bool DragMouseMessage(TMessage& Message);
    void FontChanged(TObject* Sender);
    friend class TWinControl;
    friend class TCustomForm;
};

// The windowed or windowless control under a screen point, the innermost one.
TControl* FindDragTarget(const TPoint& Pos, bool AllowDisabled);
// The control that owns a window handle (nullptr for windows that are not ours).
TWinControl* FindControl(HWND Handle);
// The windowed control under a screen point.
TWinControl* FindVCLWindow(const TPoint& Pos);
// The control that has the mouse captured (windowed or windowless).
TControl* GetCaptureControl();
void SetCaptureControl(TControl* Control);
// The control the pointer is over now (for CM_MOUSEENTER/CM_MOUSELEAVE).
TControl* MouseOverControl();
// The control being dragged (nullptr when no drag is on).
TControl* DragSourceControl();

// ---- TWinControl ------------------------------------------------------------------------------
class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    // The window, made when first asked for.
    HWND Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    void HandleNeeded();
    void RecreateWnd();
    // The window of the parent, for controls placed on a window that is not ours.
    HWND ParentWindow() const { return FParentWindow; }
    void SetParentWindow(HWND Value);

    // Visible and every parent visible (the window is really shown).
    bool Showing() const { return FShowing; }

    // Children in z-order: the windowless ones first, then the windowed ones.
    int ControlCount() const { return static_cast<int>(FControls.size() + FWinControls.size()); }
    TControl* Controls(int Index) const;
    void InsertControl(TControl* AControl);
    void RemoveControl(TControl* AControl);
    bool ContainsControl(TControl* Control) const;
    // The child at a client point (windowless children only unless AllowWinControls).
    TControl* ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls = false);
    // Sends a message to every child, stopping at the first that sets a Result.
    void Broadcast(TMessage& Message);
    void NotifyControls(UINT Msg);

    void DisableAlign();
    void EnableAlign();
    void Realign();
    bool AlignDisabled() const { return FAlignLevel > 0; }

    // Focus and tab order.
    bool Focused() const;
    virtual bool CanFocus() const;
    virtual void SetFocus();
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool Value);
    int TabOrder() const;
    void SetTabOrder(int Value);
    void GetTabOrderList(std::vector<TWinControl*>& List);
    TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                 bool CheckParent);
    void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);

    void Invalidate() override;
    void Repaint() override;
    void Update() override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    TRect ClientRect() const override;
    TPoint ClientOrigin() const override;
    void SetParent(TWinControl* AParent) override;

    // Paints a child windowless control (or all, with nullptr) into a device context.
    void PaintControls(HDC DC, TControl* First);
    // The control's own painting into a device context, without its children.
    virtual void PaintWindow(HDC DC);
    void PaintTo(HDC DC, int X, int Y);

    // With a window, what its class's procedure answers.
    void DefaultHandler(TMessage& Message) override;
    // Hands the mouse to windowless children and keeps the layer's pointer and capture records.
    void WndProc(TMessage& Message) override;

    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

    // For the window procedure that binds windows to their controls.
    void MainWndProc(TMessage& Message);

protected:
    // Message handlers.
    TW_MESSAGE_HANDLERS(TWinControl);
    void WMPaint(TWMPaint Message);
    void WMEraseBkgnd(TWMEraseBkgnd Message);
    void WMKeyDown(TWMKeyDown Message);
    void WMSysKeyDown(TWMSysKeyDown Message);
    void WMChar(TWMChar Message);
    void WMSysChar(TWMSysChar Message);
    void WMKeyUp(TWMKeyUp Message);
    void WMSysKeyUp(TWMSysKeyUp Message);
    void WMSetFocus(TWMSetFocus Message);
    void WMSetCursor(TWMSetCursor Message);
    void WMWindowPosChanged(TWMWindowPosChanged Message);
    void WMSetText(TWMSetText Message);
    // Notifications of child windows, reflected to the controls that sent them.
    void WMCommand(TWMCommand Message);
    void WMNotify(TMessage& Message);
    void WMHScroll(TWMHScroll Message);
    void WMVScroll(TWMVScroll Message);
    void WMDrawItem(TMessage& Message);
    void WMMeasureItem(TMessage& Message);
    void WMCtlColor(TWMCtlColor Message); // WM_CTLCOLOREDIT, ...STATIC, ...BTN, ...LISTBOX
    void CNCtlColor(TWMCtlColor Message); // the same, reflected
    void CMEnabledChanged(TMessage& Message);
    void CMVisibleChanged(TMessage& Message);
    void CMShowingChanged(TMessage& Message);
    void CMFontChanged(TMessage& Message);
    void CMColorChanged(TMessage& Message);
    void CMShowHintChanged(TMessage& Message);
    void CMTextChanged(TMessage& Message);
    // Notices every child hears too.
    void CMDialogKey(TCMDialogKey Message);
    void CMDialogChar(TCMDialogChar Message);
    void CMFocusChanged(TMessage& Message);
    void CMSysColorChange(TMessage& Message);
    void CMWinIniChange(TMessage& Message);
    void CMFontChange(TMessage& Message);
    void CMTimeChange(TMessage& Message);
    void CMEnter(TCMEnter Message);
    void CMExit(TCMExit Message);

    virtual void CreateParams(TCreateParams& Params);
    // A window class based on a predefined one (the standard controls use this).
    void CreateSubClass(TCreateParams& Params, const std::string& ControlClassName);
    virtual void CreateWnd();
    virtual void CreateWindowHandle(const TCreateParams& Params);
    virtual void CreateHandle();
    virtual void DestroyWnd();
    virtual void DestroyWindowHandle();
    virtual void DestroyHandle();
    virtual void AlignControls(TControl* AControl, TRect& Rect);
    // A container that places all of its children itself (a toolbar, a dock) answers true: then
    // every child's move, resize and visibility change reaches AlignControls, not only an
    // aligned child's.
    virtual bool PlacesEveryChild() const { return false; }
    virtual void AdjustClientRect(TRect& Rect) { (void)Rect; }
    virtual void AlignControl(TControl* AControl);
    virtual void KeyDown(WORD& Key, TShiftState Shift);
    virtual void KeyPress(char& Key);
    virtual void KeyUp(WORD& Key, TShiftState Shift);
    virtual void DoEnter();
    virtual void DoExit();
    virtual void ShowControl(TControl* AControl) { (void)AControl; }
    // Whether a key message is a dialog key the form takes (Tab, arrows, Enter, Esc).
    virtual bool WantsKey(WORD Key);
    virtual void UpdateShowing();
    virtual void SetZOrderOf(TControl* Child, bool TopMost);
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Loaded() override;
    virtual void PaintHandler(TMessage& Message);
    // Moves the window to match the bounds.
    void UpdateBounds();
    // Reads the bounds back from the window (it was moved or sized from outside).
    void UpdateBoundsFromWindow();
    // The size changed: realign the children, fire OnResize.
    virtual void SizeChanged();
    // Visible, and the parent showing (or, without a parent, the parent window visible).
    virtual bool ShouldShow() const;
    // Shortcuts of the form's menus and the application's.
    bool IsMenuKey(TMessage& Message);
    // Tab, arrows, Enter and Esc that the control does not want go to the form.
    bool DialogKey(TMessage& Message);
    std::string GetText() const override;
    void SetTextBuf(const std::string& Value) override;

    HWND FHandle = nullptr;
    WNDPROC FDefWndProc = nullptr;
    std::vector<TControl*> FControls;       // windowless children
    std::vector<TWinControl*> FWinControls; // windowed children, tab order
    std::vector<TWinControl*> FTabList;
    HWND FParentWindow = nullptr;
    bool FShowing = false;
    bool FTabStop = false;
    int FAlignLevel = 0;

private:
    // The key events (the form's first when it previews keys): true when they ate the key,
    // else the key they leave goes back into the message.
    bool DoKeyDown(TMessage& Message);
    bool DoKeyPress(TMessage& Message);
    bool DoKeyUp(TMessage& Message);
    // A key press that is a menu shortcut or a dialog key, with its character dropped.
    bool CommandKey(TMessage& Message);
    // Hands a notification of a child window back to the child's control; false when it is not ours.
    bool ReflectToChild(TMessage& Message);
    // Capture, pointer and hint records that follow a message whichever class handles it.
    void NoteMessage(const TMessage& Message);
    bool FUpdatingBounds = false;
    TBrush* FBrush = nullptr; // the background a reflected WM_CTLCOLOR* answers
    // A window of a predefined class (a wrapped widget) is told the control's font.
    void SendFontToWindow();
    friend class TControl;
    friend class TCustomForm;
    friend struct TWinControlAccess;
};

// Gives back the DCs the control canvases took outside painting (the application's idle work).
void FreeDeviceContexts();

// ---- TGraphicControl / TCustomControl ---------------------------------------------------------
// A canvas over a control's window (windowed controls) or its parent's (windowless).
class TControlCanvas : public TCanvas {
public:
    TControlCanvas() = default;
    ~TControlCanvas() override;
    TControl* Control() const { return FControl; }
    void SetControl(TControl* Value);
    // Gives the window's DC back (the canvas gets a new one when next drawn on).
    void FreeHandle();

protected:
    void CreateHandle() override;

private:
    TControl* FControl = nullptr;
    HDC FDeviceContext = nullptr;
    HWND FWindowHandle = nullptr;
};

// Lends a control canvas the device context of one paint, locked, and takes it back however
// the painting ends.
class TCanvasPaintScope {
public:
    TCanvasPaintScope(TControlCanvas* Canvas, HDC DC);
    ~TCanvasPaintScope();
    TCanvasPaintScope(const TCanvasPaintScope&) = delete;
    TCanvasPaintScope& operator=(const TCanvasPaintScope&) = delete;

private:
    TControlCanvas* FCanvas;
};

class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;
    TCanvas* Canvas() const { return FCanvas; }

protected:
    // Message handlers.
    TW_MESSAGE_HANDLERS(TGraphicControl);
    // The parent's paint pass, with its device context.
    void WMPaint(TWMPaint Message);

    virtual void Paint() {}

private:
    TControlCanvas* FCanvas;
};

class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;
    TCanvas* Canvas() const { return FCanvas; }
    void PaintWindow(HDC DC) override;

protected:
    virtual void Paint() {}

private:
    TControlCanvas* FCanvas;
};

// ---- Hints ------------------------------------------------------------------------------------
// The hint shown for a control: text, where, for how long.
struct THintInfo {
    TControl* HintControl = nullptr;
    TPoint HintPos; // screen
    int HintMaxWidth = 0;
    TColor HintColor = clInfoBk;
    TRect CursorRect; // hint control's client coordinates
    TPoint CursorPos; // hint control's client coordinates
    int ReshowTimeout = 0;
    int HideTimeout = 0;
    std::string HintStr;
};
using TShowHintEvent = std::function<void(std::string& HintStr, bool& CanShow, THintInfo& HintInfo)>;

// The small window the hint pipeline shows.
class THintWindow : public TCustomControl {
public:
    explicit THintWindow(TComponent* AOwner);
    virtual void ActivateHint(const TRect& Rect, const std::string& AHint);
    virtual TRect CalcHintRect(int MaxWidth, const std::string& AHint);
    void ReleaseHandle();

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
};
using THintWindowClass = std::function<THintWindow*(TComponent* AOwner)>;
template <typename T> THintWindowClass HintWindowClassOf()
{
    return [](TComponent* AOwner) -> THintWindow* { return new T(AOwner); };
}

// The first part of "short|long" hint text, and the second (the whole text without a bar).
std::string GetShortHint(const std::string& Hint);
std::string GetLongHint(const std::string& Hint);

// ---- The application seen from below ---------------------------------------------------------
// The controls need a few services of the application object, which lives above them
// (platform/app). Without one installed they fall back to plain behaviour, so the controls can
// be tested alone.
class TApplicationHost {
public:
    virtual ~TApplicationHost() = default;
    // One round of the message loop: wait for a message and dispatch it (modal loops).
    virtual void HandleMessage() = 0;
    // Reports an exception that escaped an event handler (the program carries on).
    virtual void HandleException(TObject* Sender) = 0;
    virtual bool Terminated() const = 0;
    virtual TCustomForm* MainForm() const = 0;
    virtual void Terminate() = 0;
    // The application's hidden window (owner of top-level forms); nullptr when none.
    virtual HWND Handle() const = 0;
    // The pointer moved over a control (the hint pipeline).
    virtual void HintMouseMessage(TControl* Control, TMessage& Message) = 0;
    virtual void CancelHint() = 0;
    // The pointer left a window of ours: the hint goes, but the pointer may be on its way to
    // another control, whose hint then follows after the short pause.
    virtual void HintMouseLeft() { CancelHint(); }
    // A key or button was pressed: a shown hint goes away (and does not come back for the same
    // control until the pointer leaves it).
    virtual void InputHidesHint() {}
    // A menu item or control hint to publish (Application.Hint).
    virtual void SetHint(const std::string& Value) = 0;
    // Whether hints are on at all (Application.ShowHint).
    virtual bool ShowHints() const = 0;
    // A key pressed anywhere: the main form's menu shortcuts (Asked: the form that already
    // looked at its own); true when taken.
    virtual bool IsShortCut(TMessage& Message, TCustomForm* Asked) = 0;
    // The program as a whole gained or lost the activation (WM_ACTIVATEAPP).
    virtual void ActivateApp(bool Active) { (void)Active; }
    // The program's title (message boxes without a caption of their own).
    virtual std::string Title() const { return {}; }
    // A control is going away: forget it (hint control, mouse control).
    virtual void ControlDestroying(TControl* Control) { (void)Control; }
};
TApplicationHost* ApplicationHost();
void SetApplicationHost(TApplicationHost* Host);
// Runs a handler call; an exception is passed to the application (or rethrown without one).
void HandleControlException(TObject* Sender);

// Runs the handler and hands any escaping exception to the application object.
template <typename F> void SafeCall(TObject* Sender, F&& Fn)
{
    try {
        Fn();
    } catch (...) {
        HandleControlException(Sender);
    }
}
