// The desktop shell as the programs use it: opening documents and web addresses with their
// default program, starting programs, the help file, the notification-area (tray) icon and
// files dropped onto windows.
//
// Opening, starting and help requests all pass through PerformSystemCall, which hands them to
// the handler of platform/app/SystemCalls.h when one is installed (tests record them) and
// otherwise performs them itself.
#pragma once

#include "platform/app/SystemCalls.h"
#include "platform/win/WinUser.h"

#include <functional>
#include <string>
#include <vector>

// The installed handler's answer, or the call performed here:
// - ShellExecute: "open" (or no verb) on a web address or mail link opens it with the desktop's
//   default handler; on a local document the same (a missing document: ERROR_FILE_NOT_FOUND);
//   on a program file it starts the program with Parameters. 42 on success, SE_ERR_NOASSOC when
//   the desktop has no handler or the verb is not supported.
// - StartProgram: File is the program, Parameters the rest of the command line (see WinExec).
// - PlaySound: File is a sound file played by an audio player found on PATH, in the background;
//   a missing file or player plays nothing and is no error (the result is then 0).
// - Help: File is the HTML help file to open (see WinHelp).
// - MessageBeep: Flags is the beep type (see MessageBeep).
int PerformSystemCall(const TSystemCall& Call);

// ---------------------------------------------------------------------------------------------
// Documents and programs.
constexpr int ERROR_FILE_NOT_FOUND = 2;
constexpr int ERROR_PATH_NOT_FOUND = 3;
constexpr int ERROR_BAD_FORMAT = 11;
constexpr int SE_ERR_ACCESSDENIED = 5;
constexpr int SE_ERR_OOM = 8;
constexpr int SE_ERR_NOASSOC = 31;

// Returns a value above 32 on success (the classic instance-handle convention). Windows-style
// paths in File and Directory are mapped (MapPath).
HINSTANCE ShellExecute(HWND Wnd, const char* Operation, const char* File, const char* Parameters,
                       const char* Directory, int ShowCmd);

// Starts a program from a command line, never through a shell: the line is split into
// arguments (SplitCommandLine) and the first names the program, looked up on PATH when it has
// no directory part. Arguments are passed exactly as written, so no ";", "|", "$(...)" or
// quote can run another command. Returns ERROR_FILE_NOT_FOUND (2) when the program does not
// exist, ERROR_BAD_FORMAT (11) when it cannot be run, another value below 32 on other failures,
// and 33 once the program has started (it runs on by itself).
UINT WinExec(const char* CmdLine, UINT ShowCmd);
// The classic rules: blanks and tabs separate arguments; a double quote starts or ends a
// quoted part, in which blanks are kept (quotes group, they are not passed on); two double
// quotes inside a quoted part give one quote character; a backslash is an ordinary character.
std::vector<std::string> SplitCommandLine(const std::string& CmdLine);

// ---------------------------------------------------------------------------------------------
// The alert sound for Type (MB_OK, MB_ICONHAND, MB_ICONQUESTION, MB_ICONEXCLAMATION,
// MB_ICONASTERISK, or 0xFFFFFFFF for the plain beep): a MessageBeep system call with Flags =
// Type, which without a handler rings the desktop's bell (every type sounds the same here).
// TRUE unless the handler answers 0.
BOOL MessageBeep(UINT Type);

// ---------------------------------------------------------------------------------------------
// Help. The help file of a program is shown from its HTML rendition: the same name with the
// extension ".html", looked up beside the named file, in the current directory, beside the
// program and in the program's data directory. When none exists a message box says the help
// file cannot be found. HELP_QUIT only answers TRUE. Application.HelpCommand comes here unless
// a help viewer (SetHelpViewer) is installed.
BOOL WinHelp(HWND Wnd, const char* HelpFile, UINT Command, ULONG_PTR Data);
// The HTML file shown for HelpFile; empty when there is none.
std::string FindHtmlHelpFile(const std::string& HelpFile);

// ---------------------------------------------------------------------------------------------
// The notification-area icon, shown with the desktop's tray. Mouse actions on the icon are
// posted to hWnd as uCallbackMessage with wParam = uID and lParam = the mouse message
// (WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONUP,
// WM_MBUTTONDOWN, WM_MBUTTONUP); the cursor position is the model's own (GetCursorPos).
// Where the desktop has no tray, NIM_ADD fails and nothing is shown.
constexpr DWORD NIM_ADD = 0x00000000;
constexpr DWORD NIM_MODIFY = 0x00000001;
constexpr DWORD NIM_DELETE = 0x00000002;
constexpr UINT NIF_MESSAGE = 0x00000001;
constexpr UINT NIF_ICON = 0x00000002;
constexpr UINT NIF_TIP = 0x00000004;

struct NOTIFYICONDATA {
    DWORD cbSize = 88; // the size the classic record has
    HWND hWnd = nullptr;
    UINT uID = 0;
    UINT uFlags = 0;
    UINT uCallbackMessage = 0;
    HICON hIcon = nullptr; // an icon of the shared icon store (TIcon::Handle)
    char szTip[64] = {};
};
using TNotifyIconData = NOTIFYICONDATA;
// NIM_ADD: a new icon for (hWnd, uID); FALSE when it exists already or there is no tray.
// NIM_MODIFY: changes what uFlags names; NIM_DELETE removes it. FALSE for an unknown icon.
BOOL Shell_NotifyIcon(DWORD Message, NOTIFYICONDATA* Data);

// Tests: whether a tray exists (the desktop's answer when the override is off), an icon's
// state, and a click on it as the desktop would report it.
void SetTrayAvailableOverride(bool Override, bool Available = false);
bool TrayAvailable();
struct TTrayIconState {
    bool Exists = false;
    std::string Tip;
    HICON Icon = nullptr;
    UINT CallbackMessage = 0;
};
TTrayIconState TrayIconState(HWND Wnd, UINT ID);
// Posts the callback messages a real press, release or double click on the icon makes
// (MouseMessage: WM_LBUTTONUP for a click gives WM_LBUTTONDOWN then WM_LBUTTONUP; a
// WM_LBUTTONDBLCLK gives WM_LBUTTONDBLCLK then WM_LBUTTONUP). False for an unknown icon.
bool SimulateTrayClick(HWND Wnd, UINT ID, UINT MouseMessage);

// ---------------------------------------------------------------------------------------------
// Dropped files. A window registered with DragAcceptFiles (it gets WS_EX_ACCEPTFILES) receives
// WM_DROPFILES when local files are dropped on it (or on a child without the style): wParam is
// an HDROP that the receiver reads with DragQueryFile and DragQueryPoint and frees with
// DragFinish. Names are native paths, full length.
void DragAcceptFiles(HWND Wnd, BOOL Accept);
// Index 0xFFFFFFFF: the number of files. Otherwise copies the name into File (at most Size - 1
// bytes and a NUL) and returns its length without the NUL; with File null, the length needed.
// 0 for a bad handle or index.
UINT DragQueryFile(HDROP Drop, UINT Index, char* File, UINT Size);
// The drop point in the client coordinates of the window that received the drop; TRUE when
// it lies in the client area.
BOOL DragQueryPoint(HDROP Drop, POINT* Point);
void DragFinish(HDROP Drop);
// A drop handle holding Files at Point of the receiver's client area (the drop code and tests).
HDROP CreateDropHandle(const std::vector<std::string>& Files, POINT Point, BOOL InClient = TRUE);
// Tests: drops Files at (X, Y) of Wnd's client area as a desktop drop would, through the
// window's host widget; the WM_DROPFILES is posted to the accepting window. False when no
// window there accepts files.
bool SimulateFileDrop(HWND Wnd, int X, int Y, const std::vector<std::string>& Files);
