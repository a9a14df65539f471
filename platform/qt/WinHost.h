// Private bridge between the window model and Qt widgets, for the class library's .cpp files
// (standard controls that wrap a Qt widget) and the test fixtures.
//
// A window's client area can be presented by a Qt widget (TMemo: a plain-text edit). The widget
// becomes a child of the host widget of the window's top-level window, follows the window's
// client rectangle, visibility and clipping by its ancestors, and stays above the composed
// windows. Its mouse and keyboard events do not reach it directly: they are queued as the
// window's messages (client coordinates, capture, hooks, key state as for any window) and
// handed back to the widget when they reach DefWindowProc, so a control that handles a
// message itself keeps the widget from seeing it. Qt context-menu events are dropped (the class
// library shows its own pop-up menus from WM_CONTEXTMENU). A focus change made inside the widget
// by Qt becomes SetFocus on the window.
#pragma once

#include "platform/win/WinUser.h"

#include <memory>

class QTimer;
class QWidget;

// While one lives, the program's pending paints are handled every 30 ms. For loops Qt runs
// itself (a menu's, a system dialog's), which never make our WM_PAINT: without it the windows
// behind stay blank, or keep showing a window that has just closed.
class TPaintsDuringForeignLoop {
public:
    TPaintsDuringForeignLoop();
    ~TPaintsDuringForeignLoop();
    TPaintsDuringForeignLoop(const TPaintsDuringForeignLoop&) = delete;
    TPaintsDuringForeignLoop& operator=(const TPaintsDuringForeignLoop&) = delete;

private:
    std::unique_ptr<QTimer> FTimer;
};

// A key released while a loop of Qt's own had the keyboard (a box, a file dialog, a menu) never
// reached the program's queue: a modifier the desktop reports up is made up for the program too,
// or the next key would carry it (Alt: letters running menu accelerators; Ctrl: arrows moving by
// words).
void ForgetModifiersReleasedElsewhere();

// Widget null detaches. The caller keeps ownership: the layer never deletes the widget, and
// detaches it (hidden, without parent) when the window is destroyed.
void WinAttachWidget(HWND Wnd, QWidget* Widget);
QWidget* WinAttachedWidget(HWND Wnd);
// The window an attached widget (or one of its descendants) presents; 0 for any other widget.
HWND WinWindowOfWidget(const QWidget* Widget);
// The frameless host widget presenting a top-level window (and its children); null while the
// window is not shown.
QWidget* WinHostWidget(HWND Wnd);
