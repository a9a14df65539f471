// Inside of the window model: the window table, the queue state and the helpers the Win*.cpp
// units share. Only platform/win/*.cpp and the test input path in platform/testing include it.
#pragma once

#include "platform/qt/GdiSurface.h"
#include "platform/win/WinUser.h"

#include <QImage>
#include <QPointer>
#include <QRect>
#include <QRegion>
#include <QWidget>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class QEvent;
class QObject;

namespace win {

class THostWidget;

struct TWndClassRec {
    WNDCLASS Class;
    std::string Name;
    std::string MenuName;
};

struct TScrollBarState {
    SCROLLINFO Info;
    UINT Disabled = ESB_ENABLE_BOTH;
};

struct TWindow {
    HWND Handle = nullptr;
    TWndClassRec* Class = nullptr;
    WNDPROC Proc = nullptr;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    HWND Parent = nullptr; // logical parent: set for child windows only
    HWND Owner = nullptr;  // top-level windows only
    bool MessageOnly = false;
    HMENU Menu = nullptr; // a child's id
    HINSTANCE Instance = nullptr;
    DWORD ThreadId = 0;
    RECT Window;      // parent client coordinates (child) or screen coordinates (top-level)
    RECT Client;      // in window coordinates (relative to the window's top-left)
    RECT RestoreRect; // the normal bounds while minimised or maximised
    std::string Text;
    LONG_PTR UserData = 0;
    std::vector<LONG_PTR> Extra;
    std::vector<std::pair<std::string, HANDLE>> Props;
    std::vector<HWND> Children; // top first
    HICON IconBig = nullptr, IconSmall = nullptr;
    HFONT Font = nullptr;

    // Painting.
    QRegion Update; // client coordinates
    bool Erase = false;
    bool NcPaint = false;
    bool InternalPaint = false;
    bool RedrawOff = false; // WM_SETREDRAW(FALSE)
    bool CaptionActive = false;
    QImage Surface; // the whole window

    TScrollBarState HScroll, VScroll;

    QPointer<QWidget> Host;     // top-level windows that are shown
    QPointer<QWidget> Attached; // a Qt widget presenting the client area

    bool Destroying = false;
    bool Created = false; // WM_CREATE answered

    int Width() const { return Window.right - Window.left; }
    int Height() const { return Window.bottom - Window.top; }
    int ClientWidth() const { return Client.right - Client.left; }
    int ClientHeight() const { return Client.bottom - Client.top; }
    bool IsChild() const { return Parent != nullptr; }
};

// ---- the table (WinWindows.cpp) -------------------------------------------------------------
TWindow* Find(HWND Wnd); // null for an invalid handle or the desktop
bool IsDesktop(HWND Wnd);
std::vector<HWND>& TopLevels(); // z-order, top first (message-only windows excluded)
std::vector<HWND>* SiblingList(TWindow* W);
HWND Root(HWND Wnd);                        // the top-level ancestor (itself for a top-level window)
bool IsDescendant(HWND Ancestor, HWND Wnd); // Wnd == Ancestor counts
// Screen position of the window's top-left and of its client origin.
QPoint WindowOrigin(const TWindow* W);
QPoint ClientOrigin(const TWindow* W);
QRect ScreenWindowRect(const TWindow* W);
// The part of the window (window coordinates) not cut away by its ancestors' client areas.
QRegion VisibleWindowRegion(const TWindow* W);
// Visible: WS_VISIBLE on the window and every ancestor, not minimised (top-level).
bool IsShown(const TWindow* W);
bool IsEnabledChain(const TWindow* W);
// Non-client geometry from the styles (what DefWindowProc's WM_NCCALCSIZE gives).
struct TFrame {
    int Border = 0;  // frame thickness (each side)
    int Edge = 0;    // client edge / static edge thickness
    int Caption = 0; // caption band height (including its bottom line)
    int Menu = 0;    // menu band height
    bool Sizable = false;
    bool SmallCaption = false;
};
TFrame FrameOf(DWORD Style, DWORD ExStyle, bool Child, bool HasMenu);
void EnsureSurface(TWindow* W);
// Moves the window to the top of its siblings (owned windows stay above their owners).
void RaiseInSiblings(TWindow* W, HWND InsertAfter, bool MoveOwned = true);
void DestroyGraveyard();
// The window that becomes active when Leaving is hidden or destroyed.
HWND NextToActivate(HWND Leaving);
// The deepest window under a screen point inside the top-level window Top, and its hit code.
HWND HitWindow(HWND Top, POINT P, int* Hit);
// Scroll-bar geometry of a window (window coordinates); empty when it has none.
QRect ScrollBarRect(const TWindow* W, int Bar);

// Where the standard parts of the frame lie, in window coordinates (WinDefProc.cpp).
struct TNcLayout {
    TFrame F;
    QRect Caption, Menu, SysIcon, Close, Max, Min, VScroll, HScroll, SizeBox;
};
TNcLayout NcLayoutOf(const TWindow* W);

// ---- painting (WinPaint.cpp) ----------------------------------------------------------------
void InvalidateWhole(TWindow* W, bool Erase, bool Frame);
bool NeedsPaint(const TWindow* W);
bool IsLocked(const TWindow* W); // inside the window LockWindowUpdate holds
// Composes the window (surface and shown children) into Target with the window's top-left at
// Offset; Clip limits the drawing (target coordinates).
void Compose(TWindow* W, QPainter& P, QPoint Offset, const QRegion& Clip, bool ForCapture);
// Invalidates the window and every descendant (shown again, reparented).
void InvalidateTree(TWindow* W);
// Sends WM_PAINT to every window of the tree that needs it (before a capture).
void PaintTreeNow(HWND Wnd);
// Composes a window into a new image (whole window, or its client area).
QImage RenderWindowImage(HWND Wnd, bool ClientOnly);
struct TCaretState {
    HWND Wnd = nullptr;
    int Width = 1, Height = 1;
    bool Grey = false;
    int HideCount = 1;
    POINT Pos;
    DWORD BlinkStart = 0;
};
const TCaretState& Caret();
void SurfaceChanged(TWindow* W); // asks the host to repaint that window's pixels
void ForgetWindowDCs(HWND Wnd);
void SurfaceReallocated(TWindow* W); // re-points the window's open DCs at its new image
void CaretWindowGone(HWND Wnd);
QImage& DesktopOverlay();
// The standard frame, caption and scroll bars (DefWindowProc's WM_NCPAINT).
void PaintNonClient(TWindow* W, HRGN Clip);

// ---- queue (WinQueue.cpp) ---------------------------------------------------------------------
// Raw input from Qt, turned into a message when the queue reads it.
struct TRawInput {
    enum TKind { Mouse, Key, Wheel, Leave } Kind = Mouse;
    UINT Message = 0;      // WM_MOUSEMOVE, WM_LBUTTONDOWN ..., WM_KEYDOWN / WM_KEYUP
    HWND Host = nullptr;   // the top-level window whose host received it
    HWND Target = nullptr; // set when Qt already knows the window (an attached widget)
    POINT Screen;          // mouse position
    WPARAM Keys = 0;       // MK_* (mouse), the virtual key (keyboard)
    LPARAM KeyData = 0;    // keyboard
    int WheelDelta = 0;
    std::u32string Text; // characters a key press gives
    DWORD Time = 0;
    DWORD NativeId = 0; // a clone of the Qt event kept for replay to an attached widget
    bool Converted = false;
    bool Discard = false;
    MSG Msg;
};
void QueueInput(TRawInput Input);
DWORD ClockNow();
void NoteAsyncKey(int VirtKey, bool Down);
void SetMousePosition(POINT P);
// Windows going away drop their queue entries, timers, capture, focus and activation.
void WindowDestroyed(HWND Wnd);
void WindowHidden(HWND Wnd);
void WindowDisabled(HWND Wnd);
LRESULT SendCore(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam, bool Sent);
void WakeQueue();
// The Qt event behind the message being dispatched, for the replay to an attached widget.
DWORD StoreNativeEvent(HWND Wnd, QObject* Receiver, QEvent* Clone);
DWORD NewInputId();
bool ReplayNativeEvent(HWND Wnd, UINT Msg, WPARAM WParam);
bool ReplayingNative();
// Applies the cursor SetCursor chose to the hosts.
void ApplyCursor();
struct TCursorRec {
    int StandardId = 0; // IDC_ number, 0 for an image cursor
    QImage Image;
    POINT HotSpot;
};
TCursorRec* FindCursor(HCURSOR Cursor);

// ---- Qt side (WinHost.cpp) --------------------------------------------------------------------
void SyncHost(TWindow* W); // create, move, show or hide the host of a top-level window
void DestroyHost(TWindow* W);
void SyncAttachedWidgets(); // geometry, visibility and clipping of every attached widget
void UpdateHost(TWindow* Top, const QRect& WindowRect); // repaint part of a top-level window
void SetHostFocus(TWindow* W);
// Asks the desktop to make the host of an activated top-level window its active window too.
void ActivateHost(TWindow* W);
void ShowDesktopOverlay(bool Any);
QWidget* HostOf(HWND Wnd);

// Keys and attached widgets, for the test input path (platform/testing/WinTesting.cpp).
int VkToQtKey(int Vk); // 0 for a key Qt has no code for
bool IsKeypadVk(int Vk);
HWND AttachedOwner(QObject* O); // the window an attached widget (or a descendant) presents
Qt::KeyboardModifiers CurrentModifiers(); // from the model's key state
// The desktop's modifiers as test input moves them; once it has sent something,
// DesktopModifiers reports these instead of the platform's.
void UseSimulatedDesktop();
void NoteDesktopKey(UINT Message, int VirtKey);
Qt::KeyboardModifiers DesktopModifiers();
void ResetSimulatedDesktop();
bool DesktopOverlayVisible();

// Test resets (platform/testing/WinTesting.h's ResetWindowModel).
void ResetMessageOnlyWindows();
void ResetQueueState();
void ResetPaintState();
int CursorShowCount(); // ShowCursor's counter (the cursor shows while it is >= 0)
void ProcessQtEvents(bool Wait, int TimeoutMs);

} // namespace win
