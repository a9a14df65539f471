// The folder browser: a dialog that shows directories only and answers the one the user chose.
// It keeps the classic callback contract: the callback gets BFFM_INITIALIZED once the dialog
// window exists (before it is shown) and BFFM_SELCHANGED whenever the chosen directory changes;
// it may send the dialog window BFFM_SETSELECTION (a path; the selection moves there and
// BFFM_SELCHANGED follows) and BFFM_ENABLEOK (lParam non-zero enables OK), and it may subclass
// the window or look up its child buttons, which are windows of class "BUTTON" ("OK" first).
// The dialog goes through the dialog presenter (TDialogKind::BrowseFolder) with its window in
// TDialogRequest::Window: the interactive presenter shows it modally; a test drives the window
// and answers 1 for a press of OK (which counts only while OK is enabled) or 0 for Cancel.
#pragma once

#include "platform/controls/Dialogs.h"

#include <string>

inline constexpr UINT BIF_RETURNONLYFSDIRS = 0x0001;
inline constexpr UINT BIF_RETURNFSANCESTORS = 0x0008;

inline constexpr UINT BFFM_INITIALIZED = 1;
inline constexpr UINT BFFM_SELCHANGED = 2;
inline constexpr UINT BFFM_ENABLEOK = WM_USER + 101;
inline constexpr UINT BFFM_SETSELECTION = WM_USER + 102;

// A directory the browser answers or reports (BFFM_SELCHANGED's lParam); freed with
// CoTaskMemFree.
struct TItemIDList;
using LPITEMIDLIST = TItemIDList*;
using BFFCALLBACK = int (*)(HWND Wnd, UINT Msg, LPARAM lParam, LPARAM Data);

struct BROWSEINFO {
    HWND hwndOwner = nullptr;
    LPITEMIDLIST pidlRoot = nullptr; // nullptr: the whole file system
    // When set, receives the chosen directory's own name (at most 259 bytes and a NUL).
    char* pszDisplayName = nullptr;
    const char* lpszTitle = nullptr; // shown above the directories
    UINT ulFlags = 0;
    BFFCALLBACK lpfn = nullptr;
    LPARAM lParam = 0; // handed to lpfn
    int iImage = 0;
};

// Runs the dialog; the chosen directory, or nullptr when it was cancelled.
LPITEMIDLIST SHBrowseForFolder(BROWSEINFO* Info);
// The native path of Item (full length); false for nullptr.
bool SHGetPathFromIDList(LPITEMIDLIST Item, std::string& Path);
void CoTaskMemFree(LPITEMIDLIST Item);

// The library's directory choice: the folder browser opened at Directory; true with Directory
// set to the choice when the user confirmed.
enum TSelectDirOpt { sdAllowCreate, sdPerformCreate, sdPrompt };
using TSelectDirOpts = TSet<TSelectDirOpt>;
bool SelectDirectory(std::string& Directory, TSelectDirOpts Options, int HelpCtx);
