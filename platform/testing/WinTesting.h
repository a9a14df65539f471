// Test support of the window model: input sent through the real path (synthetic Qt events
// delivered to the host widgets on the offscreen platform), draining the queue, capturing
// windows as images, and resetting the model between tests.
#pragma once

#include "platform/graphics/ImageCodecs.h"
#include "platform/win/WinUser.h"

#include <string>

// Delivers a Qt mouse event to the host of Wnd's top-level window (or to the attached widget
// under the point) as if the pointer were at (X, Y) in Wnd's client coordinates. Message is
// WM_MOUSEMOVE or a button message (WM_LBUTTONDOWN, WM_RBUTTONUP ...; a DBLCLK message sends
// Qt's double-click event, which the model treats as a press); Keys may add MK_SHIFT and
// MK_CONTROL, held for this event only (the key state is as before once it is delivered; keys
// held with SimulateKey stay down). The buttons held are remembered between calls. False when
// the window is not shown.
bool SimulateMouse(HWND Wnd, UINT Message, int X, int Y, WPARAM Keys = 0);
// The same at a screen point, delivered to the shown top-level window under it.
bool SimulateMouseAt(int ScreenX, int ScreenY, UINT Message, WPARAM Keys = 0);
// A press and a release of the left button at (X, Y).
bool SimulateClick(HWND Wnd, int X, int Y);
// A wheel turn of Delta (multiples of 120, positive away from the user) at (X, Y) of Wnd.
bool SimulateWheel(HWND Wnd, int X, int Y, int Delta);
// A Qt key event for the virtual key (WM_KEYDOWN or WM_KEYUP) sent to the widget that has the
// keyboard focus in the model (the focus window's attached widget or host), with Text (UTF-8)
// as the characters it types; empty Text types what the US layout gives. Modifiers follow the
// keys held down (send VK_SHIFT down first for a shifted key).
bool SimulateKey(UINT Message, int VirtKey, const std::string& Text = std::string());
// Key down and key up.
bool SimulateKeyPress(int VirtKey, const std::string& Text = std::string());
// A key that goes down or up (WM_KEYDOWN, WM_KEYUP) while a loop of another owner has the
// keyboard, such as a menu's or a box's: the program's queue never hears it, but the desktop's
// modifiers follow it (the desktop's keys start as the keys sent here and through SimulateKey).
void SimulateKeyElsewhere(UINT Message, int VirtKey);

// Reads and dispatches (with TranslateMessage) everything the queue holds now, paints included,
// without waiting. Returns the number of messages dispatched; stops at WM_QUIT (left queued).
int ProcessPendingMessages();

// The window as shown (pending paints run first), top row first, 0xFFRRGGBB pixels.
TDibImage CaptureWindowImage(HWND Wnd, bool ClientOnly = false);
// The desktop overlay (XOR drag frames); black where nothing is drawn.
TDibImage CaptureDesktopOverlay();
// Whether the overlay window is on screen (it is only while something is drawn on it).
bool DesktopOverlayShown();

// Destroys every window, removes hooks, timers, capture, focus, the queue's contents, the
// cursor clip and the key state, clears the desktop overlay and switches the test clock off.
void ResetWindowModel();
