// The window model: the user32 subset the class library and the programs are written against.
//
// The layer keeps the whole model itself and uses Qt only to show windows and to receive input:
// - one table of window handles (HWND): each window has its procedure, class, styles, a logical
//   parent (for WS_CHILD) or owner (for pop-ups), window and client rectangles, text, user data
//   and properties. A top-level window that is shown gets one frameless host widget that presents
//   the window's backing image and its children's, composed; child windows need no widget.
// - one message queue for the (single) user-interface thread: posted messages, then input,
//   then WM_QUIT, then WM_PAINT made from invalid regions, then WM_TIMER. Input arriving from Qt
//   is queued raw and turned into messages when it is read (hit test, capture, WM_SETCURSOR,
//   WM_MOUSEACTIVATE, double clicks), so filters and modal loops see what they expect.
// - SendMessage and DispatchMessage both pass through one function that runs the WH_CALLWNDPROC
//   hook chain and then the window procedure.
//
// Text parameters are UTF-8. Coordinates are pixels at a fixed 96 dpi. Headless (tests) the
// screen is a fixed 1024 x 768 whose work area leaves 28 pixels at the bottom for a task bar; on
// a real display it is the primary screen and its available area (see GetSystemMetrics).
// Everything runs on one thread; calls from other threads are not supported except PostMessage.
//
// How the class library builds on it:
// - A windowed control registers its window class once (RegisterClass, lpfnWndProc =
//   DefWindowProc or the class it wraps) and creates its window with CreateWindowExWithProc,
//   passing MakeObjectInstance(its window method) so that the method sees WM_NCCREATE,
//   WM_NCCALCSIZE and WM_CREATE too; unhandled messages go to CallWindowProc(class procedure).
//   SetProp or GWL_USERDATA maps a handle back to its control.
// - Painting: WM_PAINT with BeginPaint/EndPaint (a DC over the window's backing image, clipped
//   to the update region); a TCanvas can take that DC. Windowless controls are drawn by their
//   parent on the parent's DC. WM_NCPAINT/GetWindowDC draw custom frames; WM_NCCALCSIZE places
//   the client area; WM_NCHITTEST classifies points.
// - A control wrapping a Qt widget shows it with WinAttachWidget (platform/qt/WinHost.h); its
//   input still arrives as our messages first.
// - Modal loops (ShowModal, menus, drag loops) are plain GetMessage / PeekMessage loops; a
//   modal form disables the other top-level windows with EnableWindow.
// - Tests: platform/testing/WinTesting.h sends input through the host widgets, drains the queue,
//   captures windows as images and resets the model; SetTestClock drives timers.
#pragma once

#include "platform/graphics/WinGdi.h"
#include "platform/rtl/Types.h"
#include "platform/win/Messages.h"

#include <cstdint>
#include <functional>
#include <string>

using LONG_PTR = std::intptr_t;
using ULONG_PTR = std::uintptr_t;
using UINT_PTR = std::uintptr_t;
using DWORD_PTR = std::uintptr_t;
using ATOM = WORD;

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using HOOKPROC = LRESULT (*)(int Code, WPARAM, LPARAM);
using WNDENUMPROC = BOOL (*)(HWND, LPARAM);
// A method of an object as a message handler (the class library's window methods).
using TWndMethod = std::function<void(TMessage&)>;

// ---------------------------------------------------------------------------------------------
// Records.
struct MSG {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD time = 0;
    POINT pt;
    DWORD lPrivate = 0; // the layer's: links an input message to the Qt event it came from
};
using TMsg = MSG;

struct WNDCLASS {
    UINT style = 0;
    WNDPROC lpfnWndProc = nullptr;
    int cbClsExtra = 0;
    int cbWndExtra = 0;
    HINSTANCE hInstance = nullptr;
    HICON hIcon = nullptr;
    HCURSOR hCursor = nullptr;
    HBRUSH hbrBackground = nullptr; // a brush, or (HBRUSH)(COLOR_xxx + 1)
    const char* lpszMenuName = nullptr;
    const char* lpszClassName = nullptr;
};
using TWndClass = WNDCLASS;

struct CREATESTRUCT {
    void* lpCreateParams = nullptr;
    HINSTANCE hInstance = nullptr;
    HMENU hMenu = nullptr;
    HWND hwndParent = nullptr;
    int cy = 0;
    int cx = 0;
    int y = 0;
    int x = 0;
    LONG style = 0;
    const char* lpszName = nullptr;
    const char* lpszClass = nullptr;
    DWORD dwExStyle = 0;
};
using TCreateStruct = CREATESTRUCT;

struct WINDOWPOS {
    HWND hwnd = nullptr;
    HWND hwndInsertAfter = nullptr;
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
    UINT flags = 0;
};
using TWindowPos = WINDOWPOS;

struct NCCALCSIZE_PARAMS {
    RECT rgrc[3];
    WINDOWPOS* lppos = nullptr;
};
using TNCCalcSizeParams = NCCALCSIZE_PARAMS;

struct MINMAXINFO {
    POINT ptReserved;
    POINT ptMaxSize;
    POINT ptMaxPosition;
    POINT ptMinTrackSize;
    POINT ptMaxTrackSize;
};
using TMinMaxInfo = MINMAXINFO;

struct PAINTSTRUCT {
    HDC hdc = nullptr;
    BOOL fErase = FALSE;
    RECT rcPaint;
    BOOL fRestore = FALSE;
    BOOL fIncUpdate = FALSE;
    BYTE rgbReserved[32] = {};
};
using TPaintStruct = PAINTSTRUCT;

// WH_CALLWNDPROC: lParam of the hook points to this record.
struct CWPSTRUCT {
    LPARAM lParam = 0;
    WPARAM wParam = 0;
    UINT message = 0;
    HWND hwnd = nullptr;
};
using TCWPStruct = CWPSTRUCT;

// WH_CALLWNDPROCRET: called after the window procedure, with its result.
struct CWPRETSTRUCT {
    LRESULT lResult = 0;
    LPARAM lParam = 0;
    WPARAM wParam = 0;
    UINT message = 0;
    HWND hwnd = nullptr;
};

// WH_MOUSE: lParam of the hook points to this record; wParam is the mouse message.
struct MOUSEHOOKSTRUCT {
    POINT pt;
    HWND hwnd = nullptr;
    UINT wHitTestCode = 0;
    ULONG_PTR dwExtraInfo = 0;
};

struct NONCLIENTMETRICS {
    UINT cbSize = sizeof(NONCLIENTMETRICS);
    int iBorderWidth = 0;
    int iScrollWidth = 0;
    int iScrollHeight = 0;
    int iCaptionWidth = 0;
    int iCaptionHeight = 0;
    LOGFONT lfCaptionFont;
    int iSmCaptionWidth = 0;
    int iSmCaptionHeight = 0;
    LOGFONT lfSmCaptionFont;
    int iMenuWidth = 0;
    int iMenuHeight = 0;
    LOGFONT lfMenuFont;
    LOGFONT lfStatusFont;
    LOGFONT lfMessageFont;
};
using TNonClientMetrics = NONCLIENTMETRICS;

struct SCROLLINFO {
    UINT cbSize = sizeof(SCROLLINFO);
    UINT fMask = 0;
    int nMin = 0;
    int nMax = 0;
    UINT nPage = 0;
    int nPos = 0;
    int nTrackPos = 0;
};
using TScrollInfo = SCROLLINFO;

struct TRACKMOUSEEVENT {
    DWORD cbSize = sizeof(TRACKMOUSEEVENT);
    DWORD dwFlags = 0;
    HWND hwndTrack = nullptr;
    DWORD dwHoverTime = 0;
};

// ---------------------------------------------------------------------------------------------
// Window styles.
constexpr DWORD WS_OVERLAPPED = 0x00000000;
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_MINIMIZE = 0x20000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_DISABLED = 0x08000000;
constexpr DWORD WS_CLIPSIBLINGS = 0x04000000;
constexpr DWORD WS_CLIPCHILDREN = 0x02000000;
constexpr DWORD WS_MAXIMIZE = 0x01000000;
constexpr DWORD WS_BORDER = 0x00800000;
constexpr DWORD WS_DLGFRAME = 0x00400000;
constexpr DWORD WS_CAPTION = WS_BORDER | WS_DLGFRAME;
constexpr DWORD WS_VSCROLL = 0x00200000;
constexpr DWORD WS_HSCROLL = 0x00100000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_THICKFRAME = 0x00040000;
constexpr DWORD WS_SIZEBOX = WS_THICKFRAME;
constexpr DWORD WS_GROUP = 0x00020000;
constexpr DWORD WS_TABSTOP = 0x00010000;
constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
constexpr DWORD WS_MAXIMIZEBOX = 0x00010000;
constexpr DWORD WS_ICONIC = WS_MINIMIZE;
constexpr DWORD WS_OVERLAPPEDWINDOW =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr DWORD WS_POPUPWINDOW = WS_POPUP | WS_BORDER | WS_SYSMENU;
constexpr DWORD WS_CHILDWINDOW = WS_CHILD;

constexpr DWORD WS_EX_DLGMODALFRAME = 0x00000001;
constexpr DWORD WS_EX_NOPARENTNOTIFY = 0x00000004;
constexpr DWORD WS_EX_TOPMOST = 0x00000008;
constexpr DWORD WS_EX_ACCEPTFILES = 0x00000010;
constexpr DWORD WS_EX_TRANSPARENT = 0x00000020;
constexpr DWORD WS_EX_MDICHILD = 0x00000040;
constexpr DWORD WS_EX_TOOLWINDOW = 0x00000080;
constexpr DWORD WS_EX_WINDOWEDGE = 0x00000100;
constexpr DWORD WS_EX_CLIENTEDGE = 0x00000200;
constexpr DWORD WS_EX_CONTEXTHELP = 0x00000400;
constexpr DWORD WS_EX_RIGHT = 0x00001000;
constexpr DWORD WS_EX_CONTROLPARENT = 0x00010000;
constexpr DWORD WS_EX_STATICEDGE = 0x00020000;
constexpr DWORD WS_EX_APPWINDOW = 0x00040000;
constexpr DWORD WS_EX_NOACTIVATE = 0x08000000;
constexpr DWORD WS_EX_OVERLAPPEDWINDOW = WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE;
constexpr DWORD WS_EX_PALETTEWINDOW = WS_EX_WINDOWEDGE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST;

// Edit window styles (class "EDIT") and the notifications it sends its parent in WM_COMMAND.
constexpr DWORD ES_LEFT = 0x0000;
constexpr DWORD ES_CENTER = 0x0001;
constexpr DWORD ES_RIGHT = 0x0002;
constexpr DWORD ES_MULTILINE = 0x0004;
constexpr DWORD ES_UPPERCASE = 0x0008;
constexpr DWORD ES_LOWERCASE = 0x0010;
constexpr DWORD ES_PASSWORD = 0x0020;
constexpr DWORD ES_AUTOVSCROLL = 0x0040;
constexpr DWORD ES_AUTOHSCROLL = 0x0080;
constexpr DWORD ES_NOHIDESEL = 0x0100;
constexpr DWORD ES_OEMCONVERT = 0x0400;
constexpr DWORD ES_READONLY = 0x0800;
constexpr DWORD ES_WANTRETURN = 0x1000;
constexpr DWORD ES_NUMBER = 0x2000;
constexpr WORD EN_SETFOCUS = 0x0100;
constexpr WORD EN_KILLFOCUS = 0x0200;
constexpr WORD EN_CHANGE = 0x0300;
constexpr WORD EN_UPDATE = 0x0400;
constexpr WORD EN_ERRSPACE = 0x0500;
constexpr WORD EN_MAXTEXT = 0x0501;
constexpr WORD EN_HSCROLL = 0x0601;
constexpr WORD EN_VSCROLL = 0x0602;

// Class styles.
constexpr UINT CS_VREDRAW = 0x0001;
constexpr UINT CS_HREDRAW = 0x0002;
constexpr UINT CS_DBLCLKS = 0x0008;
constexpr UINT CS_OWNDC = 0x0020;
constexpr UINT CS_CLASSDC = 0x0040;
constexpr UINT CS_PARENTDC = 0x0080;
constexpr UINT CS_NOCLOSE = 0x0200;
constexpr UINT CS_SAVEBITS = 0x0800;
constexpr UINT CS_BYTEALIGNCLIENT = 0x1000;
constexpr UINT CS_GLOBALCLASS = 0x4000;

// WM_STYLECHANGING / WM_STYLECHANGED: lParam points to this.
struct STYLESTRUCT {
    DWORD styleOld = 0;
    DWORD styleNew = 0;
};

// GetWindowLong / SetWindowLong.
constexpr int GWL_WNDPROC = -4;
constexpr int GWL_HINSTANCE = -6;
constexpr int GWL_HWNDPARENT = -8;
constexpr int GWL_STYLE = -16;
constexpr int GWL_EXSTYLE = -20;
constexpr int GWL_USERDATA = -21;
constexpr int GWL_ID = -12;
constexpr int GWLP_WNDPROC = GWL_WNDPROC;
constexpr int GWLP_HINSTANCE = GWL_HINSTANCE;
constexpr int GWLP_HWNDPARENT = GWL_HWNDPARENT;
constexpr int GWLP_USERDATA = GWL_USERDATA;
constexpr int GWLP_ID = GWL_ID;
// GetClassLong / SetClassLong.
constexpr int GCL_MENUNAME = -8;
constexpr int GCL_HBRBACKGROUND = -10;
constexpr int GCL_HCURSOR = -12;
constexpr int GCL_HICON = -14;
constexpr int GCL_CBWNDEXTRA = -18;
constexpr int GCL_CBCLSEXTRA = -20;
constexpr int GCL_WNDPROC = -24;
constexpr int GCL_STYLE = -26;

// ShowWindow.
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_NORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int SW_MAXIMIZE = 3;
constexpr int SW_SHOWNOACTIVATE = 4;
constexpr int SW_SHOW = 5;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_SHOWMINNOACTIVE = 7;
constexpr int SW_SHOWNA = 8;
constexpr int SW_RESTORE = 9;
constexpr int SW_SHOWDEFAULT = 10;
// WM_SHOWWINDOW status.
constexpr int SW_PARENTCLOSING = 1;
constexpr int SW_PARENTOPENING = 3;

// SetWindowPos.
constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_NOREDRAW = 0x0008;
constexpr UINT SWP_NOACTIVATE = 0x0010;
constexpr UINT SWP_FRAMECHANGED = 0x0020;
constexpr UINT SWP_DRAWFRAME = SWP_FRAMECHANGED;
constexpr UINT SWP_SHOWWINDOW = 0x0040;
constexpr UINT SWP_HIDEWINDOW = 0x0080;
constexpr UINT SWP_NOCOPYBITS = 0x0100;
constexpr UINT SWP_NOOWNERZORDER = 0x0200;
constexpr UINT SWP_NOREPOSITION = SWP_NOOWNERZORDER;
constexpr UINT SWP_NOSENDCHANGING = 0x0400;
constexpr UINT SWP_DEFERERASE = 0x2000;
constexpr UINT SWP_ASYNCWINDOWPOS = 0x4000;

inline HWND const HWND_TOP = reinterpret_cast<HWND>(0);
inline HWND const HWND_BOTTOM = reinterpret_cast<HWND>(1);
inline HWND const HWND_TOPMOST = reinterpret_cast<HWND>(-1);
inline HWND const HWND_NOTOPMOST = reinterpret_cast<HWND>(-2);
// As the parent of CreateWindowEx: a message-only window (never shown, not enumerated).
inline HWND const HWND_MESSAGE = reinterpret_cast<HWND>(-3);
// As the target of PostMessage/SendMessage: every top-level window.
inline HWND const HWND_BROADCAST = reinterpret_cast<HWND>(0xFFFF);

// GetWindow.
constexpr UINT GW_HWNDFIRST = 0;
constexpr UINT GW_HWNDLAST = 1;
constexpr UINT GW_HWNDNEXT = 2;
constexpr UINT GW_HWNDPREV = 3;
constexpr UINT GW_OWNER = 4;
constexpr UINT GW_CHILD = 5;
constexpr UINT GW_ENABLEDPOPUP = 6;
// GetAncestor.
constexpr UINT GA_PARENT = 1;
constexpr UINT GA_ROOT = 2;
constexpr UINT GA_ROOTOWNER = 3;
// ChildWindowFromPointEx.
constexpr UINT CWP_ALL = 0x0000;
constexpr UINT CWP_SKIPINVISIBLE = 0x0001;
constexpr UINT CWP_SKIPDISABLED = 0x0002;
constexpr UINT CWP_SKIPTRANSPARENT = 0x0004;

// WM_NCHITTEST results.
constexpr int HTERROR = -2;
constexpr int HTTRANSPARENT = -1;
constexpr int HTNOWHERE = 0;
constexpr int HTCLIENT = 1;
constexpr int HTCAPTION = 2;
constexpr int HTSYSMENU = 3;
constexpr int HTGROWBOX = 4;
constexpr int HTSIZE = HTGROWBOX;
constexpr int HTMENU = 5;
constexpr int HTHSCROLL = 6;
constexpr int HTVSCROLL = 7;
constexpr int HTMINBUTTON = 8;
constexpr int HTREDUCE = HTMINBUTTON;
constexpr int HTMAXBUTTON = 9;
constexpr int HTZOOM = HTMAXBUTTON;
constexpr int HTLEFT = 10;
constexpr int HTRIGHT = 11;
constexpr int HTTOP = 12;
constexpr int HTTOPLEFT = 13;
constexpr int HTTOPRIGHT = 14;
constexpr int HTBOTTOM = 15;
constexpr int HTBOTTOMLEFT = 16;
constexpr int HTBOTTOMRIGHT = 17;
constexpr int HTBORDER = 18;
constexpr int HTOBJECT = 19;
constexpr int HTCLOSE = 20;
constexpr int HTHELP = 21;

// WM_MOUSEACTIVATE answers.
constexpr int MA_ACTIVATE = 1;
constexpr int MA_ACTIVATEANDEAT = 2;
constexpr int MA_NOACTIVATE = 3;
constexpr int MA_NOACTIVATEANDEAT = 4;
// WM_ACTIVATE states.
constexpr WORD WA_INACTIVE = 0;
constexpr WORD WA_ACTIVE = 1;
constexpr WORD WA_CLICKACTIVE = 2;
// WM_SIZE types.
constexpr WPARAM SIZE_RESTORED = 0;
constexpr WPARAM SIZE_MINIMIZED = 1;
constexpr WPARAM SIZE_MAXIMIZED = 2;
constexpr WPARAM SIZE_MAXSHOW = 3;
constexpr WPARAM SIZE_MAXHIDE = 4;
// WM_NCCALCSIZE answers (with CalcValidRects).
constexpr LRESULT WVR_ALIGNTOP = 0x0010;
constexpr LRESULT WVR_REDRAW = 0x0300;
constexpr LRESULT WVR_VALIDRECTS = 0x0400;

// WM_SYSCOMMAND.
constexpr WPARAM SC_SIZE = 0xF000;
constexpr WPARAM SC_MOVE = 0xF010;
constexpr WPARAM SC_MINIMIZE = 0xF020;
constexpr WPARAM SC_MAXIMIZE = 0xF030;
constexpr WPARAM SC_NEXTWINDOW = 0xF040;
constexpr WPARAM SC_PREVWINDOW = 0xF050;
constexpr WPARAM SC_CLOSE = 0xF060;
constexpr WPARAM SC_VSCROLL = 0xF070;
constexpr WPARAM SC_HSCROLL = 0xF080;
constexpr WPARAM SC_MOUSEMENU = 0xF090;
constexpr WPARAM SC_KEYMENU = 0xF100;
constexpr WPARAM SC_RESTORE = 0xF120;
constexpr WPARAM SC_TASKLIST = 0xF130;
constexpr WPARAM SC_SCREENSAVE = 0xF140;
constexpr WPARAM SC_HOTKEY = 0xF150;
constexpr WPARAM SC_DEFAULT = 0xF160;
constexpr WPARAM SC_CONTEXTHELP = 0xF180;

// Mouse-message key flags.
constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;
constexpr WPARAM MK_SHIFT = 0x0004;
constexpr WPARAM MK_CONTROL = 0x0008;
constexpr WPARAM MK_MBUTTON = 0x0010;
constexpr int WHEEL_DELTA = 120;

// WM_GETDLGCODE answers.
constexpr LRESULT DLGC_WANTARROWS = 0x0001;
constexpr LRESULT DLGC_WANTTAB = 0x0002;
constexpr LRESULT DLGC_WANTALLKEYS = 0x0004;
constexpr LRESULT DLGC_WANTMESSAGE = 0x0004;
constexpr LRESULT DLGC_HASSETSEL = 0x0008;
constexpr LRESULT DLGC_DEFPUSHBUTTON = 0x0010;
constexpr LRESULT DLGC_UNDEFPUSHBUTTON = 0x0020;
constexpr LRESULT DLGC_RADIOBUTTON = 0x0040;
constexpr LRESULT DLGC_WANTCHARS = 0x0080;
constexpr LRESULT DLGC_STATIC = 0x0100;
constexpr LRESULT DLGC_BUTTON = 0x2000;

// Virtual keys. Letters and digits are their upper-case ASCII codes ('A' .. 'Z', '0' .. '9').
constexpr int VK_LBUTTON = 0x01;
constexpr int VK_RBUTTON = 0x02;
constexpr int VK_CANCEL = 0x03;
constexpr int VK_MBUTTON = 0x04;
constexpr int VK_BACK = 0x08;
constexpr int VK_TAB = 0x09;
constexpr int VK_CLEAR = 0x0C;
constexpr int VK_RETURN = 0x0D;
constexpr int VK_SHIFT = 0x10;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_MENU = 0x12;
constexpr int VK_PAUSE = 0x13;
constexpr int VK_CAPITAL = 0x14;
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_SPACE = 0x20;
constexpr int VK_PRIOR = 0x21;
constexpr int VK_NEXT = 0x22;
constexpr int VK_END = 0x23;
constexpr int VK_HOME = 0x24;
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;
constexpr int VK_SELECT = 0x29;
constexpr int VK_PRINT = 0x2A;
constexpr int VK_EXECUTE = 0x2B;
constexpr int VK_SNAPSHOT = 0x2C;
constexpr int VK_INSERT = 0x2D;
constexpr int VK_DELETE = 0x2E;
constexpr int VK_HELP = 0x2F;
constexpr int VK_LWIN = 0x5B;
constexpr int VK_RWIN = 0x5C;
constexpr int VK_APPS = 0x5D;
constexpr int VK_NUMPAD0 = 0x60;
constexpr int VK_NUMPAD1 = 0x61;
constexpr int VK_NUMPAD2 = 0x62;
constexpr int VK_NUMPAD3 = 0x63;
constexpr int VK_NUMPAD4 = 0x64;
constexpr int VK_NUMPAD5 = 0x65;
constexpr int VK_NUMPAD6 = 0x66;
constexpr int VK_NUMPAD7 = 0x67;
constexpr int VK_NUMPAD8 = 0x68;
constexpr int VK_NUMPAD9 = 0x69;
constexpr int VK_MULTIPLY = 0x6A;
constexpr int VK_ADD = 0x6B;
constexpr int VK_SEPARATOR = 0x6C;
constexpr int VK_SUBTRACT = 0x6D;
constexpr int VK_DECIMAL = 0x6E;
constexpr int VK_DIVIDE = 0x6F;
constexpr int VK_F1 = 0x70;
constexpr int VK_F2 = 0x71;
constexpr int VK_F3 = 0x72;
constexpr int VK_F4 = 0x73;
constexpr int VK_F5 = 0x74;
constexpr int VK_F6 = 0x75;
constexpr int VK_F7 = 0x76;
constexpr int VK_F8 = 0x77;
constexpr int VK_F9 = 0x78;
constexpr int VK_F10 = 0x79;
constexpr int VK_F11 = 0x7A;
constexpr int VK_F12 = 0x7B;
constexpr int VK_NUMLOCK = 0x90;
constexpr int VK_SCROLL = 0x91;
constexpr int VK_LSHIFT = 0xA0;
constexpr int VK_RSHIFT = 0xA1;
constexpr int VK_LCONTROL = 0xA2;
constexpr int VK_RCONTROL = 0xA3;
constexpr int VK_LMENU = 0xA4;
constexpr int VK_RMENU = 0xA5;
constexpr int VK_OEM_1 = 0xBA;      // ;:
constexpr int VK_OEM_PLUS = 0xBB;   // =+
constexpr int VK_OEM_COMMA = 0xBC;  // ,<
constexpr int VK_OEM_MINUS = 0xBD;  // -_
constexpr int VK_OEM_PERIOD = 0xBE; // .>
constexpr int VK_OEM_2 = 0xBF;      // /?
constexpr int VK_OEM_3 = 0xC0;      // `~
constexpr int VK_OEM_4 = 0xDB;      // [{
constexpr int VK_OEM_5 = 0xDC;      // \|
constexpr int VK_OEM_6 = 0xDD;      // ]}
constexpr int VK_OEM_7 = 0xDE;      // '"

// PeekMessage.
constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;
constexpr UINT PM_NOYIELD = 0x0002;

// Hooks.
constexpr int WH_MSGFILTER = -1;
constexpr int WH_KEYBOARD = 2;
constexpr int WH_GETMESSAGE = 3;
constexpr int WH_CALLWNDPROC = 4;
constexpr int WH_CBT = 5;
constexpr int WH_MOUSE = 7;
constexpr int WH_CALLWNDPROCRET = 12;
constexpr int HC_ACTION = 0;
constexpr int HC_NOREMOVE = 3;

// GetSystemMetrics.
constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_CXVSCROLL = 2;
constexpr int SM_CYHSCROLL = 3;
constexpr int SM_CYCAPTION = 4;
constexpr int SM_CXBORDER = 5;
constexpr int SM_CYBORDER = 6;
constexpr int SM_CXDLGFRAME = 7;
constexpr int SM_CYDLGFRAME = 8;
constexpr int SM_CYVTHUMB = 9;
constexpr int SM_CXHTHUMB = 10;
constexpr int SM_CXICON = 11;
constexpr int SM_CYICON = 12;
constexpr int SM_CXCURSOR = 13;
constexpr int SM_CYCURSOR = 14;
constexpr int SM_CYMENU = 15;
constexpr int SM_CXFULLSCREEN = 16;
constexpr int SM_CYFULLSCREEN = 17;
constexpr int SM_CYKANJIWINDOW = 18;
constexpr int SM_MOUSEPRESENT = 19;
constexpr int SM_CYVSCROLL = 20;
constexpr int SM_CXHSCROLL = 21;
constexpr int SM_DEBUG = 22;
constexpr int SM_SWAPBUTTON = 23;
constexpr int SM_CXMIN = 28;
constexpr int SM_CYMIN = 29;
constexpr int SM_CXSIZE = 30;
constexpr int SM_CYSIZE = 31;
constexpr int SM_CXFRAME = 32;
constexpr int SM_CYFRAME = 33;
constexpr int SM_CXMINTRACK = 34;
constexpr int SM_CYMINTRACK = 35;
constexpr int SM_CXDOUBLECLK = 36;
constexpr int SM_CYDOUBLECLK = 37;
constexpr int SM_CXICONSPACING = 38;
constexpr int SM_CYICONSPACING = 39;
constexpr int SM_MENUDROPALIGNMENT = 40;
constexpr int SM_CXFIXEDFRAME = SM_CXDLGFRAME;
constexpr int SM_CYFIXEDFRAME = SM_CYDLGFRAME;
constexpr int SM_CXSIZEFRAME = SM_CXFRAME;
constexpr int SM_CYSIZEFRAME = SM_CYFRAME;
constexpr int SM_CMOUSEBUTTONS = 43;
constexpr int SM_CXEDGE = 45;
constexpr int SM_CYEDGE = 46;
constexpr int SM_CXMINSPACING = 47;
constexpr int SM_CYMINSPACING = 48;
constexpr int SM_CXSMICON = 49;
constexpr int SM_CYSMICON = 50;
constexpr int SM_CYSMCAPTION = 51;
constexpr int SM_CXSMSIZE = 52;
constexpr int SM_CYSMSIZE = 53;
constexpr int SM_CXMENUSIZE = 54;
constexpr int SM_CYMENUSIZE = 55;
constexpr int SM_CXMINIMIZED = 57;
constexpr int SM_CYMINIMIZED = 58;
constexpr int SM_CXMAXTRACK = 59;
constexpr int SM_CYMAXTRACK = 60;
constexpr int SM_CXMAXIMIZED = 61;
constexpr int SM_CYMAXIMIZED = 62;
constexpr int SM_CXDRAG = 68;
constexpr int SM_CYDRAG = 69;
constexpr int SM_CXMENUCHECK = 71;
constexpr int SM_CYMENUCHECK = 72;
constexpr int SM_MOUSEWHEELPRESENT = 75;
constexpr int SM_CMONITORS = 80;

// SystemParametersInfo.
constexpr UINT SPI_GETBORDER = 0x0005;
constexpr UINT SPI_GETKEYBOARDSPEED = 0x000A;
constexpr UINT SPI_GETKEYBOARDDELAY = 0x0016;
constexpr UINT SPI_GETICONTITLELOGFONT = 0x001F;
constexpr UINT SPI_GETDRAGFULLWINDOWS = 0x0026;
constexpr UINT SPI_GETNONCLIENTMETRICS = 0x0029;
constexpr UINT SPI_SETNONCLIENTMETRICS = 0x002A;
constexpr UINT SPI_SETWORKAREA = 0x002F;
constexpr UINT SPI_GETWORKAREA = 0x0030;
constexpr UINT SPI_GETWHEELSCROLLLINES = 0x0068;
constexpr UINT SPI_GETMENUANIMATION = 0x1002;
constexpr UINT SPI_GETCOMBOBOXANIMATION = 0x1004;
constexpr UINT SPI_GETTOOLTIPANIMATION = 0x1016;
constexpr UINT SPIF_UPDATEINIFILE = 0x0001;
constexpr UINT SPIF_SENDCHANGE = 0x0002;

// RedrawWindow.
constexpr UINT RDW_INVALIDATE = 0x0001;
constexpr UINT RDW_INTERNALPAINT = 0x0002;
constexpr UINT RDW_ERASE = 0x0004;
constexpr UINT RDW_VALIDATE = 0x0008;
constexpr UINT RDW_NOINTERNALPAINT = 0x0010;
constexpr UINT RDW_NOERASE = 0x0020;
constexpr UINT RDW_NOCHILDREN = 0x0040;
constexpr UINT RDW_ALLCHILDREN = 0x0080;
constexpr UINT RDW_UPDATENOW = 0x0100;
constexpr UINT RDW_ERASENOW = 0x0200;
constexpr UINT RDW_FRAME = 0x0400;
constexpr UINT RDW_NOFRAME = 0x0800;

// GetDCEx.
constexpr DWORD DCX_WINDOW = 0x00000001;
constexpr DWORD DCX_CACHE = 0x00000002;
constexpr DWORD DCX_NORESETATTRS = 0x00000004;
constexpr DWORD DCX_CLIPCHILDREN = 0x00000008;
constexpr DWORD DCX_CLIPSIBLINGS = 0x00000010;
constexpr DWORD DCX_PARENTCLIP = 0x00000020;
constexpr DWORD DCX_EXCLUDERGN = 0x00000040;
constexpr DWORD DCX_INTERSECTRGN = 0x00000080;
constexpr DWORD DCX_EXCLUDEUPDATE = 0x00000100;
constexpr DWORD DCX_INTERSECTUPDATE = 0x00000200;
constexpr DWORD DCX_LOCKWINDOWUPDATE = 0x00000400;
constexpr DWORD DCX_VALIDATE = 0x00200000;

// ScrollWindowEx.
constexpr UINT SW_SCROLLCHILDREN = 0x0001;
constexpr UINT SW_INVALIDATE = 0x0002;
constexpr UINT SW_ERASE = 0x0004;

// Scroll bars.
constexpr int SB_HORZ = 0;
constexpr int SB_VERT = 1;
constexpr int SB_CTL = 2;
constexpr int SB_BOTH = 3;
constexpr int SB_LINEUP = 0;
constexpr int SB_LINELEFT = 0;
constexpr int SB_LINEDOWN = 1;
constexpr int SB_LINERIGHT = 1;
constexpr int SB_PAGEUP = 2;
constexpr int SB_PAGELEFT = 2;
constexpr int SB_PAGEDOWN = 3;
constexpr int SB_PAGERIGHT = 3;
constexpr int SB_THUMBPOSITION = 4;
constexpr int SB_THUMBTRACK = 5;
constexpr int SB_TOP = 6;
constexpr int SB_LEFT = 6;
constexpr int SB_BOTTOM = 7;
constexpr int SB_RIGHT = 7;
constexpr int SB_ENDSCROLL = 8;
constexpr UINT SIF_RANGE = 0x0001;
constexpr UINT SIF_PAGE = 0x0002;
constexpr UINT SIF_POS = 0x0004;
constexpr UINT SIF_DISABLENOSCROLL = 0x0008;
constexpr UINT SIF_TRACKPOS = 0x0010;
constexpr UINT SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
constexpr UINT ESB_ENABLE_BOTH = 0x0000;
constexpr UINT ESB_DISABLE_LTUP = 0x0001;
constexpr UINT ESB_DISABLE_RTDN = 0x0002;
constexpr UINT ESB_DISABLE_BOTH = 0x0003;

// TrackMouseEvent.
constexpr DWORD TME_HOVER = 0x00000001;
constexpr DWORD TME_LEAVE = 0x00000002;
constexpr DWORD TME_CANCEL = 0x80000000;
constexpr DWORD HOVER_DEFAULT = 0xFFFFFFFF;

// Standard cursors for LoadCursor(0, IDC_xxx): small numbers passed where a name is expected.
#define TW_MAKEINTRESOURCE(n) reinterpret_cast<const char*>(static_cast<std::uintptr_t>(n))
inline const char* const IDC_ARROW = TW_MAKEINTRESOURCE(32512);
inline const char* const IDC_IBEAM = TW_MAKEINTRESOURCE(32513);
inline const char* const IDC_WAIT = TW_MAKEINTRESOURCE(32514);
inline const char* const IDC_CROSS = TW_MAKEINTRESOURCE(32515);
inline const char* const IDC_UPARROW = TW_MAKEINTRESOURCE(32516);
inline const char* const IDC_SIZE = TW_MAKEINTRESOURCE(32640);
inline const char* const IDC_ICON = TW_MAKEINTRESOURCE(32641);
inline const char* const IDC_SIZENWSE = TW_MAKEINTRESOURCE(32642);
inline const char* const IDC_SIZENESW = TW_MAKEINTRESOURCE(32643);
inline const char* const IDC_SIZEWE = TW_MAKEINTRESOURCE(32644);
inline const char* const IDC_SIZENS = TW_MAKEINTRESOURCE(32645);
inline const char* const IDC_SIZEALL = TW_MAKEINTRESOURCE(32646);
inline const char* const IDC_NO = TW_MAKEINTRESOURCE(32648);
inline const char* const IDC_HAND = TW_MAKEINTRESOURCE(32649);
inline const char* const IDC_APPSTARTING = TW_MAKEINTRESOURCE(32650);
inline const char* const IDC_HELP = TW_MAKEINTRESOURCE(32651);
// True when a "name" is really a small number (an integer resource).
inline bool IS_INTRESOURCE(const char* Name)
{
    return reinterpret_cast<std::uintptr_t>(Name) < 0x10000;
}

// ---------------------------------------------------------------------------------------------
// Window classes.
ATOM RegisterClass(const WNDCLASS* WndClass);
BOOL UnregisterClass(const char* ClassName, HINSTANCE Instance);
// False when the class is not registered.
BOOL GetClassInfo(HINSTANCE Instance, const char* ClassName, WNDCLASS* WndClass);
int GetClassName(HWND Wnd, char* ClassName, int MaxCount);
LONG_PTR GetClassLong(HWND Wnd, int Index);
LONG_PTR SetClassLong(HWND Wnd, int Index, LONG_PTR NewLong);

// ---------------------------------------------------------------------------------------------
// Creating and destroying windows.
//
// CreateWindowEx sends, in order: WM_GETMINMAXINFO (top-level), WM_NCCREATE, WM_NCCALCSIZE,
// WM_CREATE; then, for WS_VISIBLE, the window is shown. WS_CHILD needs a parent. X = CW_USEDEFAULT
// places a top-level window at a default spot.
// A failing WM_NCCREATE (0) or WM_CREATE (-1) destroys the window and returns 0.
constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000);
HWND CreateWindowEx(DWORD ExStyle, const char* ClassName, const char* WindowName, DWORD Style, int X, int Y,
                    int Width, int Height, HWND Parent, HMENU Menu, HINSTANCE Instance, void* Param);
inline HWND CreateWindow(const char* ClassName, const char* WindowName, DWORD Style, int X, int Y, int Width,
                         int Height, HWND Parent, HMENU Menu, HINSTANCE Instance, void* Param)
{
    return CreateWindowEx(0, ClassName, WindowName, Style, X, Y, Width, Height, Parent, Menu, Instance,
                          Param);
}
// As CreateWindowEx, but Proc (in place of the class's procedure) receives every message from
// the first (WM_NCCREATE) on. The class library creates its windows this way, with the
// object instance of its control's window method.
HWND CreateWindowExWithProc(DWORD ExStyle, const char* ClassName, const char* WindowName, DWORD Style, int X,
                            int Y, int Width, int Height, HWND Parent, HMENU Menu, HINSTANCE Instance,
                            void* Param, WNDPROC Proc);
// Hides the window, sends WM_DESTROY to it and then to its children (parents first), then
// WM_NCDESTROY to the children and the window (children first); owned windows go first.
// Focus, capture, activation, timers, carets and properties of the windows are dropped.
BOOL DestroyWindow(HWND Wnd);
BOOL IsWindow(HWND Wnd);

// ---------------------------------------------------------------------------------------------
// Window data.
//
// GetWindowLong returns a pointer-sized value in this layer, so GWL_WNDPROC and GWL_USERDATA
// hold pointers (GetWindowLongPtr is the same call). Indexes >= 0 address the cbWndExtra bytes
// of the class, in steps of pointer size.
LONG_PTR GetWindowLong(HWND Wnd, int Index);
// GWL_STYLE and GWL_EXSTYLE send WM_STYLECHANGING / WM_STYLECHANGED; the frame is recomputed
// only by a later SetWindowPos(SWP_FRAMECHANGED), as usual. GWL_HWNDPARENT changes the owner.
LONG_PTR SetWindowLong(HWND Wnd, int Index, LONG_PTR NewLong);
inline LONG_PTR GetWindowLongPtr(HWND Wnd, int Index)
{
    return GetWindowLong(Wnd, Index);
}
inline LONG_PTR SetWindowLongPtr(HWND Wnd, int Index, LONG_PTR NewLong)
{
    return SetWindowLong(Wnd, Index, NewLong);
}
// Calls a window procedure (one read with GetWindowLong(GWL_WNDPROC), or an object instance).
LRESULT CallWindowProc(WNDPROC Proc, HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
// The standard behaviour of every message: see WinUser.cpp for the list answered.
LRESULT DefWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

BOOL SetWindowText(HWND Wnd, const char* Text);        // sends WM_SETTEXT
int GetWindowText(HWND Wnd, char* Text, int MaxCount); // sends WM_GETTEXT
int GetWindowTextLength(HWND Wnd);                     // sends WM_GETTEXTLENGTH
std::string GetWindowTextString(HWND Wnd);             // convenience over the two above

BOOL SetProp(HWND Wnd, const char* Name, HANDLE Data);
HANDLE GetProp(HWND Wnd, const char* Name);
HANDLE RemoveProp(HWND Wnd, const char* Name);

// ---------------------------------------------------------------------------------------------
// Object instances: a window method made callable as a window procedure (null when all 8192
// are in use). The returned WNDPROC
// is a real function (it can be stored with SetWindowLong and called directly or through
// CallWindowProc) that runs Method with a TMessage and returns its Result. Free it with
// FreeObjectInstance once no window uses it.
WNDPROC MakeObjectInstance(TWndMethod Method);
void FreeObjectInstance(WNDPROC Instance);
// A hidden utility window whose messages all go to Method (timers, private messages, callbacks).
// It is a never-shown top-level pop-up rather than a message-only window, so that broadcasts
// (WM_WININICHANGE ...) reach it; the method passes what it does not handle to DefWindowProc.
// At most 8192 object instances live at once. DeallocateHWnd destroys it and frees its instance.
HWND AllocateHWnd(TWndMethod Method);
void DeallocateHWnd(HWND Wnd);

// ---------------------------------------------------------------------------------------------
// Tree and z-order. Children are kept top first: GetWindow(Parent, GW_CHILD) is the topmost child.
HWND GetDesktopWindow();
// The parent of a child window, the owner of a pop-up, else 0.
HWND GetParent(HWND Wnd);
// Moves the window under NewParent (0 or the desktop: top-level), keeping its position
// relative to the new parent's client area; returns the previous parent.
HWND SetParent(HWND Wnd, HWND NewParent);
HWND GetAncestor(HWND Wnd, UINT Flags);
BOOL IsChild(HWND Parent, HWND Wnd);
HWND GetWindow(HWND Wnd, UINT Cmd);
HWND GetTopWindow(HWND Wnd); // the topmost child (0: the topmost top-level window)
inline HWND GetNextWindow(HWND Wnd, UINT Cmd)
{
    return GetWindow(Wnd, Cmd);
}
// Class name and text match exactly when given (case-insensitively for the class); a null
// Parent searches the top-level windows; ChildAfter starts after that child.
HWND FindWindowEx(HWND Parent, HWND ChildAfter, const char* ClassName, const char* WindowName);
HWND FindWindow(const char* ClassName, const char* WindowName);
// The enumerations stop when the callback returns FALSE. Message-only windows are skipped.
BOOL EnumWindows(WNDENUMPROC Func, LPARAM Param);
BOOL EnumThreadWindows(DWORD ThreadId, WNDENUMPROC Func, LPARAM Param);
BOOL EnumChildWindows(HWND Parent, WNDENUMPROC Func, LPARAM Param); // all descendants
DWORD GetCurrentThreadId();
DWORD GetWindowThreadProcessId(HWND Wnd, DWORD* ProcessId);
BOOL BringWindowToTop(HWND Wnd);

// ---------------------------------------------------------------------------------------------
// Position and size. A child's window rectangle is kept in its parent's client coordinates,
// a top-level window's in screen coordinates; GetWindowRect always answers screen coordinates.
//
// SetWindowPos sends WM_WINDOWPOSCHANGING (which may change the WINDOWPOS), WM_NCCALCSIZE when
// the size changes or with SWP_FRAMECHANGED, then WM_WINDOWPOSCHANGED, whose default handling
// sends WM_MOVE and WM_SIZE. Showing sends WM_SHOWWINDOW first; activation (unless
// SWP_NOACTIVATE or a child) follows for top-level windows that are shown.
BOOL SetWindowPos(HWND Wnd, HWND InsertAfter, int X, int Y, int Cx, int Cy, UINT Flags);
BOOL MoveWindow(HWND Wnd, int X, int Y, int Width, int Height, BOOL Repaint);
BOOL GetWindowRect(HWND Wnd, RECT* Rect);
BOOL GetClientRect(HWND Wnd, RECT* Rect); // (0, 0, client width, client height)
BOOL ClientToScreen(HWND Wnd, POINT* Point);
BOOL ScreenToClient(HWND Wnd, POINT* Point);
// Maps Count points between client coordinates of From and To (0 = screen); the result packs
// the horizontal shift in the low word and the vertical in the high word.
int MapWindowPoints(HWND From, HWND To, POINT* Points, UINT Count);
// The deepest visible, enabled window under a screen point that does not answer HTTRANSPARENT.
HWND WindowFromPoint(POINT Point);
// The child of Parent (or Parent itself) under a point in Parent's client coordinates.
HWND ChildWindowFromPoint(HWND Parent, POINT Point);
HWND ChildWindowFromPointEx(HWND Parent, POINT Point, UINT Flags);
// The window rectangle that gives the client rectangle Rect for these styles.
BOOL AdjustWindowRectEx(RECT* Rect, DWORD Style, BOOL Menu, DWORD ExStyle);

BOOL ShowWindow(HWND Wnd, int CmdShow); // returns whether it was visible before
// The normal (restored) bounds are kept while a window is minimised or maximised.
struct WINDOWPLACEMENT {
    UINT length = sizeof(WINDOWPLACEMENT);
    UINT flags = 0;
    UINT showCmd = 0; // SW_SHOWNORMAL, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED or SW_HIDE
    POINT ptMinPosition;
    POINT ptMaxPosition;
    RECT rcNormalPosition; // parent client coordinates (child) or screen coordinates
};
BOOL GetWindowPlacement(HWND Wnd, WINDOWPLACEMENT* Placement);
// Sets the normal bounds and shows the window as showCmd says.
BOOL SetWindowPlacement(HWND Wnd, const WINDOWPLACEMENT* Placement);
// The window and all its ancestors have WS_VISIBLE.
BOOL IsWindowVisible(HWND Wnd);
BOOL IsWindowEnabled(HWND Wnd);
// Sends WM_ENABLE; a disabled window loses the focus and the capture (WM_CANCELMODE).
BOOL EnableWindow(HWND Wnd, BOOL Enable); // returns whether it was disabled before
BOOL IsIconic(HWND Wnd);
BOOL IsZoomed(HWND Wnd);

// ---------------------------------------------------------------------------------------------
// Activation and focus. Activation follows the model, not the desktop: a top-level window
// becomes active by SetActiveWindow, by showing it, or by a click it does not refuse through
// WM_MOUSEACTIVATE. The old window gets WM_NCACTIVATE(0) and WM_ACTIVATE(WA_INACTIVE), the new
// one WM_NCACTIVATE(1) and WM_ACTIVATE(WA_ACTIVE or WA_CLICKACTIVE); WM_ACTIVATEAPP goes to
// every top-level window when the program itself gains or loses activation (see
// SetApplicationActive). DefWindowProc's WM_ACTIVATE gives the active window the focus.
HWND GetActiveWindow();
HWND SetActiveWindow(HWND Wnd);
HWND GetForegroundWindow();
BOOL SetForegroundWindow(HWND Wnd);
HWND GetFocus();
// Sends WM_KILLFOCUS to the old focus and WM_SETFOCUS to the new; activates the new window's
// top-level window first. Returns the previous focus window, or Wnd itself when none had the
// focus; 0 only on failure (no such window, or it or an ancestor is disabled).
HWND SetFocus(HWND Wnd);
// The program gained or lost activation as a whole (the desktop switched to another program):
// sends WM_ACTIVATEAPP to the top-level windows and WM_NCACTIVATE/WM_ACTIVATE to the active one.
// Qt's application state drives this; tests may call it.
void SetApplicationActive(bool Active);
bool IsApplicationActive();

// ---------------------------------------------------------------------------------------------
// The message queue.
//
// GetMessage waits (pumping Qt) until a message comes; it returns 0 for WM_QUIT, -1 for a window
// filter that is not a window, else 1.
// Filters: Wnd = 0 takes any window's messages and thread messages, a window takes its own and
// its descendants'; Min..Max (both 0: all) filter by number. WM_QUIT passes every filter.
BOOL GetMessage(MSG* Msg, HWND Wnd, UINT FilterMin, UINT FilterMax);
BOOL PeekMessage(MSG* Msg, HWND Wnd, UINT FilterMin, UINT FilterMax, UINT RemoveMsg);
// Posts WM_CHAR (WM_SYSCHAR) after a WM_KEYDOWN (WM_SYSKEYDOWN) that gives a character.
BOOL TranslateMessage(const MSG* Msg);
LRESULT DispatchMessage(const MSG* Msg);
LRESULT SendMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
// Wnd = 0 posts a thread message (MSG.hwnd 0).
BOOL PostMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
BOOL PostThreadMessage(DWORD ThreadId, UINT Msg, WPARAM WParam, LPARAM LParam);
void PostQuitMessage(int ExitCode);
// Blocks until the queue holds something: pumps Qt's events (input arrives that way) and wakes
// for the next due timer. With the test clock, see SetWaitHandler.
BOOL WaitMessage();
DWORD GetMessageTime();
DWORD GetMessagePos(); // screen position of the last message read, packed as in an LPARAM
// A process-wide message number for a name (the same name gives the same number).
UINT RegisterWindowMessage(const char* Name);
// True while a message sent with SendMessage is being handled (not a dispatched one).
BOOL InSendMessage();
// What the queue holds (QS_* flags, high word: since last call; low word: now).
constexpr UINT QS_KEY = 0x0001;
constexpr UINT QS_MOUSEMOVE = 0x0002;
constexpr UINT QS_MOUSEBUTTON = 0x0004;
constexpr UINT QS_POSTMESSAGE = 0x0008;
constexpr UINT QS_TIMER = 0x0010;
constexpr UINT QS_PAINT = 0x0020;
constexpr UINT QS_MOUSE = QS_MOUSEMOVE | QS_MOUSEBUTTON;
constexpr UINT QS_INPUT = QS_MOUSE | QS_KEY;
constexpr UINT QS_ALLINPUT = QS_INPUT | QS_POSTMESSAGE | QS_TIMER | QS_PAINT;
DWORD GetQueueStatus(UINT Flags);

// ---------------------------------------------------------------------------------------------
// Hooks (one thread, so ThreadId and Module are accepted and ignored). The newest hook runs
// first; CallNextHookEx passes the call to the next one. A hook may remove itself (or another)
// while the chain runs. WH_CALLWNDPROC runs for every sent and dispatched message before the
// window procedure (lParam: CWPSTRUCT*, wParam: nonzero for a message sent by the program);
// WH_CALLWNDPROCRET after it; WH_GETMESSAGE when GetMessage/PeekMessage returns a message (lParam:
// MSG*, which the hook may change; wParam PM_REMOVE or PM_NOREMOVE); WH_KEYBOARD (wParam the
// virtual key, lParam the key data; nonzero discards) and WH_MOUSE (wParam the message, lParam
// MOUSEHOOKSTRUCT*; nonzero discards) for input as it is read.
HHOOK SetWindowsHookEx(int IdHook, HOOKPROC Proc, HINSTANCE Module, DWORD ThreadId);
BOOL UnhookWindowsHookEx(HHOOK Hook);
LRESULT CallNextHookEx(HHOOK Hook, int Code, WPARAM WParam, LPARAM LParam);

// ---------------------------------------------------------------------------------------------
// Keyboard state. GetKeyState answers the state as of the last message read (high bit down,
// low bit toggled); GetAsyncKeyState the state now (high bit down).
SmallInt GetKeyState(int VirtKey);
SmallInt GetAsyncKeyState(int VirtKey);
BOOL GetKeyboardState(BYTE* KeyState);       // 256 bytes
BOOL SetKeyboardState(const BYTE* KeyState); // 256 bytes; also sets the asynchronous state

// ---------------------------------------------------------------------------------------------
// Mouse capture. While a window holds it, every mouse message goes to it (client messages, in
// its client coordinates). Losing the capture sends WM_CAPTURECHANGED (lParam: the new capture
// window or 0) to the old one. When the system takes it away (the window or its top-level window
// is disabled, hidden, destroyed or deactivated) the window is first sent WM_CANCELMODE, whose
// default handling releases the capture.
HWND SetCapture(HWND Wnd);
BOOL ReleaseCapture();
HWND GetCapture();

// ---------------------------------------------------------------------------------------------
// The cursor. The position is the model's own (set by input and SetCursorPos).
BOOL GetCursorPos(POINT* Point);
BOOL SetCursorPos(int X, int Y);
// Confines the cursor (null: frees it); input positions are clamped to the rectangle.
BOOL ClipCursor(const RECT* Rect);
BOOL GetClipCursor(RECT* Rect);
// Instance 0: the standard cursors IDC_xxx. Otherwise a CURSOR resource by name or number.
HCURSOR LoadCursor(HINSTANCE Instance, const char* Name);
// A cursor made from an image (0xAARRGGBB, top row first) and its hot spot, in the icon store
// the graphics classes share (CreateIconHandle).
HCURSOR CreateCursorFromImage(int Width, int Height, const std::uint32_t* Pixels, int HotX, int HotY);
BOOL DestroyCursor(HCURSOR Cursor);
HCURSOR SetCursor(HCURSOR Cursor); // returns the previous one
HCURSOR GetCursor();
int ShowCursor(BOOL Show);
// The hot spot and size of a cursor made or loaded here (false for any other handle).
bool GetCursorHotSpot(HCURSOR Cursor, POINT* HotSpot, SIZE* Size);
// The standard cursor IDC_xxx (its number) a cursor stands for, or 0 for a cursor from an image.
int GetStandardCursorId(HCURSOR Cursor);
// Mouse tracking: WM_MOUSELEAVE when the cursor leaves the window (or its host).
BOOL TrackMouseEvent(TRACKMOUSEEVENT* EventTrack);
UINT GetDoubleClickTime();
BOOL SetDoubleClickTime(UINT Interval);

// ---------------------------------------------------------------------------------------------
// Timers. WM_TIMER is made when the queue is otherwise empty and a timer is due (at most one
// pending per timer); with a TIMERPROC, DispatchMessage calls the procedure instead of the
// window. A window timer's id is the caller's; Wnd = 0 makes a thread timer with a new id.
UINT_PTR SetTimer(HWND Wnd, UINT_PTR IdEvent, UINT Elapse, TIMERPROC TimerFunc);
BOOL KillTimer(HWND Wnd, UINT_PTR IdEvent);
// Milliseconds of the model's clock (message times, timers, double clicks).
DWORD GetTickCount();
// The test clock: while on, time stands still except through AdvanceTestClock, which moves the
// clock forward in steps, dispatching every timer tick as it comes due (in time order), so a
// 125 ms timer advanced by 500 ms fires four times. Calling it again while on sets the time
// without firing anything (due timers then wait in the queue). Switching it off returns to real time.
void SetTestClock(bool On, DWORD StartTime = 0);
bool TestClockActive();
void AdvanceTestClock(DWORD Milliseconds);
// Called by WaitMessage in place of blocking while the test clock is on (tests feed input to
// a modal loop from here; return true when something was queued). Without a handler, or when it
// returns false, WaitMessage lets Qt deliver what it holds; after two seconds of wall time with
// nothing arriving it raises EInvalidOperation, so a test whose loop can never end fails clearly.
void SetWaitHandler(std::function<bool()> Handler);

// ---------------------------------------------------------------------------------------------
// Painting. Each window has a backing image of its window rectangle; a window paints only its
// own surface (children are composed over it, so every window clips its children).
// WM_PAINT is made for a window with a non-empty update region when the queue holds nothing
// else; BeginPaint sends WM_ERASEBKGND when the region was invalidated with erase and returns a
// DC over the client area clipped to the update region, which it validates.
BOOL InvalidateRect(HWND Wnd, const RECT* Rect, BOOL Erase); // Rect in client coordinates
BOOL InvalidateRgn(HWND Wnd, HRGN Rgn, BOOL Erase);
// Dispatches the WM_PAINT of every window that needs one and leaves the rest of the queue alone:
// for loops that are not ours (a system dialog's), so the windows beneath stay painted.
void DispatchPendingPaints();
BOOL ValidateRect(HWND Wnd, const RECT* Rect);
BOOL ValidateRgn(HWND Wnd, HRGN Rgn);
BOOL GetUpdateRect(HWND Wnd, RECT* Rect, BOOL Erase);
int GetUpdateRgn(HWND Wnd, HRGN Rgn, BOOL Erase);
// Sends WM_PAINT at once when the update region is not empty.
BOOL UpdateWindow(HWND Wnd);
BOOL RedrawWindow(HWND Wnd, const RECT* Update, HRGN UpdateRgn, UINT Flags);
HDC BeginPaint(HWND Wnd, PAINTSTRUCT* Paint);
BOOL EndPaint(HWND Wnd, const PAINTSTRUCT* Paint);
// A DC over the client area (GetDC), the whole window (GetWindowDC) or as Flags say (GetDCEx:
// DCX_WINDOW, DCX_INTERSECTRGN, DCX_EXCLUDERGN...). GetDC(0), GetDC(GetDesktopWindow()) and
// GetDCEx(GetDesktopWindow(), ...) give the desktop overlay: a screen-sized surface shown above
// every window and passing input through, where drag loops draw their XOR frames. Every DC
// from these calls must be given back with ReleaseDC.
HDC GetDC(HWND Wnd);
HDC GetWindowDC(HWND Wnd);
HDC GetDCEx(HWND Wnd, HRGN Clip, DWORD Flags);
int ReleaseDC(HWND Wnd, HDC DC);
HWND WindowFromDC(HDC DC);
// Scrolls the client area's pixels (Scroll/Clip in client coordinates, null: all) and
// invalidates the uncovered part; SW_SCROLLCHILDREN (and ScrollWindow always) moves the children.
BOOL ScrollWindow(HWND Wnd, int Dx, int Dy, const RECT* Scroll, const RECT* Clip);
int ScrollWindowEx(HWND Wnd, int Dx, int Dy, const RECT* Scroll, const RECT* Clip, HRGN Update,
                   RECT* UpdateRect, UINT Flags);
// While a window is locked, its (and its descendants') pixels on the display stay as they are
// and its invalidations are held back until it is unlocked. LockWindowUpdate(0) unlocks;
// locking the desktop window only reserves the desktop overlay for the caller.
BOOL LockWindowUpdate(HWND Wnd);
// Renders the window as it is shown (its surface and its visible children composed, or only
// its client area with PW_CLIENTONLY) into the DC at (0, 0). Pending paints run first.
constexpr UINT PW_CLIENTONLY = 0x00000001;
BOOL PrintWindow(HWND Wnd, HDC DC, UINT Flags);

// ---------------------------------------------------------------------------------------------
// Carets: one per thread, owned by a window, blinking with the model's clock (off while hidden
// or the window is not the focus). Bitmap may be 0 (solid) or (HBITMAP)1 (grey).
BOOL CreateCaret(HWND Wnd, HBITMAP Bitmap, int Width, int Height);
BOOL DestroyCaret();
BOOL ShowCaret(HWND Wnd); // HideCaret and ShowCaret nest
BOOL HideCaret(HWND Wnd);
BOOL SetCaretPos(int X, int Y);
BOOL GetCaretPos(POINT* Point);
UINT GetCaretBlinkTime();
BOOL SetCaretBlinkTime(UINT Milliseconds);

// ---------------------------------------------------------------------------------------------
// Scroll bars of a window (WS_HSCROLL / WS_VSCROLL): drawn in the non-client area; a press on
// them sends WM_HSCROLL / WM_VSCROLL (line, page, thumb tracking, SB_ENDSCROLL) through
// DefWindowProc's WM_NCLBUTTONDOWN. SB_CTL is not handled here (scroll-bar controls are the
// class library's).
int SetScrollInfo(HWND Wnd, int Bar, const SCROLLINFO* Info, BOOL Redraw);
BOOL GetScrollInfo(HWND Wnd, int Bar, SCROLLINFO* Info);
int SetScrollPos(HWND Wnd, int Bar, int Pos, BOOL Redraw);
int GetScrollPos(HWND Wnd, int Bar);
BOOL SetScrollRange(HWND Wnd, int Bar, int Min, int Max, BOOL Redraw);
BOOL GetScrollRange(HWND Wnd, int Bar, int* Min, int* Max);
BOOL ShowScrollBar(HWND Wnd, int Bar, BOOL Show);
BOOL EnableScrollBar(HWND Wnd, UINT Bar, UINT Arrows);

// ---------------------------------------------------------------------------------------------
// System metrics and parameters: fixed tables (the classic 96 dpi desktop on a 1024 x 768
// screen; work area 0, 0, 1024, 740). SM_CXSCREEN 1024, SM_CYSCREEN 768, SM_CXBORDER 1,
// SM_CXDLGFRAME 3, SM_CXFRAME 4, SM_CXEDGE 2, SM_CYCAPTION 19, SM_CYSMCAPTION 15, SM_CYMENU 19,
// SM_CXVSCROLL 16, SM_CYHSCROLL 16, SM_CXSIZE 18, SM_CXSMSIZE 13, SM_CXICON 32, SM_CXSMICON 16,
// SM_CXCURSOR 32, SM_CXDOUBLECLK 4, SM_CXDRAG 4. Fonts: "MS Sans Serif", height -11 (caption
// fonts bold).
int GetSystemMetrics(int Index);
// SPI_GETWORKAREA (RECT*), SPI_SETWORKAREA (tests), SPI_GETNONCLIENTMETRICS (NONCLIENTMETRICS*,
// uiParam or cbSize must be its size), SPI_SETNONCLIENTMETRICS (tests; null: the fixed table again),
// SPI_GETICONTITLELOGFONT (LOGFONT*), SPI_GETBORDER, SPI_GETWHEELSCROLLLINES, SPI_GETDRAGFULLWINDOWS (BOOL*:
// TRUE) and the animation flags (FALSE).
BOOL SystemParametersInfo(UINT Action, UINT UiParam, void* PvParam, UINT WinIni);

// ---------------------------------------------------------------------------------------------
// Icon information of a cursor made or loaded here, or of an icon handle of the graphics
// classes. The caller deletes both bitmaps (DeleteObject). hbmMask is monochrome (1 = transparent),
// hbmColor a colour bitmap.
struct ICONINFO {
    BOOL fIcon = TRUE;
    DWORD xHotspot = 0;
    DWORD yHotspot = 0;
    HBITMAP hbmMask = nullptr;
    HBITMAP hbmColor = nullptr;
};
using TIconInfo = ICONINFO;
BOOL GetIconInfo(HICON Icon, ICONINFO* Info);
// Draws an icon or cursor of the shared icon store (Width/Height 0: its own size).
constexpr UINT DI_MASK = 0x0001;
constexpr UINT DI_IMAGE = 0x0002;
constexpr UINT DI_NORMAL = 0x0003;
BOOL DrawIconEx(HDC DC, int X, int Y, HICON Icon, int Width, int Height, UINT StepIfAni, HBRUSH Background,
                UINT Flags);
BOOL DrawIcon(HDC DC, int X, int Y, HICON Icon);

// ---------------------------------------------------------------------------------------------
// Rectangle helpers. A rectangle covers [left, right) x [top, bottom).
inline BOOL SetRect(RECT* R, int Left, int Top, int Right, int Bottom)
{
    if (!R)
        return FALSE;
    *R = RECT{Left, Top, Right, Bottom};
    return TRUE;
}
inline BOOL SetRectEmpty(RECT* R)
{
    return SetRect(R, 0, 0, 0, 0);
}
inline BOOL CopyRect(RECT* Dest, const RECT* Src)
{
    if (!Dest || !Src)
        return FALSE;
    *Dest = *Src;
    return TRUE;
}
inline BOOL IsRectEmpty(const RECT* R)
{
    return !R || R->right <= R->left || R->bottom <= R->top;
}
inline BOOL EqualRect(const RECT* A, const RECT* B)
{
    return A && B && *A == *B;
}
inline BOOL PtInRect(const RECT* R, POINT P)
{
    return R && P.x >= R->left && P.x < R->right && P.y >= R->top && P.y < R->bottom;
}
inline BOOL OffsetRect(RECT* R, int Dx, int Dy)
{
    if (!R)
        return FALSE;
    R->left += Dx;
    R->right += Dx;
    R->top += Dy;
    R->bottom += Dy;
    return TRUE;
}
inline BOOL InflateRect(RECT* R, int Dx, int Dy)
{
    if (!R)
        return FALSE;
    R->left -= Dx;
    R->right += Dx;
    R->top -= Dy;
    R->bottom += Dy;
    return TRUE;
}
// FALSE (and an empty Dest) when the two do not overlap.
inline BOOL IntersectRect(RECT* Dest, const RECT* A, const RECT* B)
{
    if (!Dest || !A || !B)
        return FALSE;
    RECT R{A->left > B->left ? A->left : B->left, A->top > B->top ? A->top : B->top,
           A->right < B->right ? A->right : B->right, A->bottom < B->bottom ? A->bottom : B->bottom};
    if (IsRectEmpty(&R)) {
        *Dest = RECT{};
        return FALSE;
    }
    *Dest = R;
    return TRUE;
}
// An empty rectangle adds nothing.
inline BOOL UnionRect(RECT* Dest, const RECT* A, const RECT* B)
{
    if (!Dest || !A || !B)
        return FALSE;
    if (IsRectEmpty(A)) {
        *Dest = IsRectEmpty(B) ? RECT{} : *B;
    } else if (IsRectEmpty(B)) {
        *Dest = *A;
    } else {
        *Dest =
            RECT{A->left < B->left ? A->left : B->left, A->top < B->top ? A->top : B->top,
                 A->right > B->right ? A->right : B->right, A->bottom > B->bottom ? A->bottom : B->bottom};
    }
    return !IsRectEmpty(Dest);
}

// ---------------------------------------------------------------------------------------------
// Modules. The programs look some exports up by name at run time; none of the platform's own
// libraries exist here, so a known module name gives a handle but GetProcAddress finds nothing
// and callers take their own path ("DrawCaption" in "user32.dll" among them).
HMODULE GetModuleHandle(const char* ModuleName);
HMODULE LoadLibrary(const char* FileName); // 0: no library can be loaded
BOOL FreeLibrary(HMODULE Module);
void* GetProcAddress(HMODULE Module, const char* ProcName); // always null
