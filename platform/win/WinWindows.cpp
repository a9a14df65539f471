// The window table: classes, creation and destruction, window data, the tree and z-order,
// positions and sizes, showing and enabling, object instances and the default window
// procedure.
#include "platform/qt/WinState.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <utility>

namespace win {
namespace {

std::unordered_map<HWND, std::unique_ptr<TWindow>> gWindows;
std::map<std::string, std::unique_ptr<TWndClassRec>> gClasses;
std::vector<HWND> gTopLevels;
std::vector<HWND> gMessageOnly;
std::vector<std::unique_ptr<TWindow>> gGraveyard;
std::uintptr_t gNextHandle = 0x20000;
HWND const gDesktop = reinterpret_cast<HWND>(std::uintptr_t(0x10010));
int gDefaultPlace = 0;

std::string Lower(const char* S)
{
    std::string R = S ? S : "";
    for (char& C : R)
        C = static_cast<char>(std::tolower(static_cast<unsigned char>(C)));
    return R;
}

HWND NewHandle()
{
    gNextHandle += 4;
    return reinterpret_cast<HWND>(gNextHandle);
}

void RemoveFrom(std::vector<HWND>& List, HWND Wnd)
{
    List.erase(std::remove(List.begin(), List.end(), Wnd), List.end());
}

} // namespace

TWindow* Find(HWND Wnd)
{
    auto It = gWindows.find(Wnd);
    return It == gWindows.end() ? nullptr : It->second.get();
}

bool IsDesktop(HWND Wnd)
{
    return Wnd == gDesktop;
}
std::vector<HWND>& TopLevels()
{
    return gTopLevels;
}

std::vector<HWND>* SiblingList(TWindow* W)
{
    if (W->MessageOnly)
        return &gMessageOnly;
    if (W->Parent) {
        TWindow* P = Find(W->Parent);
        return P ? &P->Children : nullptr;
    }
    return &gTopLevels;
}

HWND Root(HWND Wnd)
{
    TWindow* W = Find(Wnd);
    while (W && W->Parent) {
        TWindow* P = Find(W->Parent);
        if (!P)
            break;
        W = P;
    }
    return W ? W->Handle : nullptr;
}

bool IsDescendant(HWND Ancestor, HWND Wnd)
{
    for (TWindow* W = Find(Wnd); W; W = W->Parent ? Find(W->Parent) : nullptr)
        if (W->Handle == Ancestor)
            return true;
    return false;
}

QPoint WindowOrigin(const TWindow* W)
{
    QPoint P(W->Window.left, W->Window.top);
    if (W->Parent)
        if (TWindow* Parent = Find(W->Parent))
            P += ClientOrigin(Parent);
    return P;
}

QPoint ClientOrigin(const TWindow* W)
{
    return WindowOrigin(W) + QPoint(W->Client.left, W->Client.top);
}

QRect ScreenWindowRect(const TWindow* W)
{
    return QRect(WindowOrigin(W), QSize(W->Width(), W->Height()));
}

QRegion VisibleWindowRegion(const TWindow* W)
{
    QRect Screen = ScreenWindowRect(W);
    QRegion R(Screen);
    for (TWindow* P = W->Parent ? Find(W->Parent) : nullptr; P; P = P->Parent ? Find(P->Parent) : nullptr) {
        QPoint CO = ClientOrigin(P);
        R &= QRegion(QRect(CO, QSize(P->ClientWidth(), P->ClientHeight())));
    }
    return R.translated(-Screen.topLeft());
}

bool IsShown(const TWindow* W)
{
    for (const TWindow* X = W; X; X = X->Parent ? Find(X->Parent) : nullptr) {
        if (!(X->Style & WS_VISIBLE) || X->MessageOnly)
            return false;
        if (!X->Parent && (X->Style & WS_MINIMIZE))
            return false;
    }
    return true;
}

bool IsEnabledChain(const TWindow* W)
{
    for (const TWindow* X = W; X; X = X->Parent ? Find(X->Parent) : nullptr)
        if (X->Style & WS_DISABLED)
            return false;
    return true;
}

TFrame FrameOf(DWORD Style, DWORD ExStyle, bool Child, bool HasMenu)
{
    TFrame F;
    if (Style & WS_THICKFRAME) {
        F.Border = GetSystemMetrics(SM_CXFRAME);
        F.Sizable = true;
    } else if ((Style & WS_DLGFRAME) || (ExStyle & WS_EX_DLGMODALFRAME)) {
        F.Border = GetSystemMetrics(SM_CXDLGFRAME);
    } else if (Style & WS_BORDER) {
        F.Border = GetSystemMetrics(SM_CXBORDER);
    }
    if (ExStyle & WS_EX_CLIENTEDGE)
        F.Edge = GetSystemMetrics(SM_CXEDGE);
    else if (ExStyle & WS_EX_STATICEDGE)
        F.Edge = 1;
    if ((Style & WS_CAPTION) == WS_CAPTION) {
        F.SmallCaption = (ExStyle & WS_EX_TOOLWINDOW) != 0;
        F.Caption = GetSystemMetrics(F.SmallCaption ? SM_CYSMCAPTION : SM_CYCAPTION);
    }
    if (HasMenu && !Child)
        F.Menu = GetSystemMetrics(SM_CYMENU);
    return F;
}

namespace {

// A backing image for a window. Large ones sit in memory the kernel may back with huge pages: a
// maximised window's image is several megabytes, and touching that page by page for the first
// fill costs more than everything else the window does before it is shown.
QImage NewSurfaceImage(int Width, int Height)
{
    constexpr std::size_t Huge = std::size_t(2) << 20;
    const std::size_t Bytes = std::size_t(Width) * std::size_t(Height) * 4;
    if (Bytes < Huge)
        return QImage(Width, Height, QImage::Format_RGB32);
    const std::size_t Reserved = (Bytes + Huge - 1) / Huge * Huge;
    void* Pixels = std::aligned_alloc(Huge, Reserved);
    if (!Pixels)
        return QImage(Width, Height, QImage::Format_RGB32);
    madvise(Pixels, Reserved, MADV_HUGEPAGE); // only advice: without huge pages it is plain memory
    return QImage(
        static_cast<uchar*>(Pixels), Width, Height, qsizetype(Width) * 4, QImage::Format_RGB32,
        [](void* P) { std::free(P); }, Pixels);
}

} // namespace

void EnsureSurface(TWindow* W)
{
    int Wd = std::max(1, W->Width()), Ht = std::max(1, W->Height());
    if (W->Surface.width() == Wd && W->Surface.height() == Ht)
        return;
    QImage New = NewSurfaceImage(Wd, Ht);
    New.fill(gdi::ToQRgb(GetSysColor(COLOR_BTNFACE)));
    if (!W->Surface.isNull()) {
        QPainter P(&New);
        P.drawImage(0, 0, W->Surface);
    }
    W->Surface = std::move(New);
    SurfaceReallocated(W);
}

void RaiseInSiblings(TWindow* W, HWND InsertAfter, bool MoveOwned)
{
    std::vector<HWND>* List = SiblingList(W);
    if (!List)
        return;
    RemoveFrom(*List, W->Handle);
    auto Topmost = [](HWND H) {
        TWindow* X = Find(H);
        return X && (X->ExStyle & WS_EX_TOPMOST);
    };
    bool TopBand = !W->Parent && (W->ExStyle & WS_EX_TOPMOST);
    std::size_t Pos = 0;
    if (InsertAfter == HWND_BOTTOM) {
        Pos = List->size();
        if (!W->Parent && !TopBand) {
            // stays in the normal band, below everything
        }
    } else if (InsertAfter == HWND_TOP || InsertAfter == HWND_TOPMOST || InsertAfter == HWND_NOTOPMOST) {
        Pos = 0;
        if (!W->Parent && !TopBand)
            while (Pos < List->size() && Topmost((*List)[Pos]))
                ++Pos;
    } else {
        auto It = std::find(List->begin(), List->end(), InsertAfter);
        Pos = It == List->end() ? 0 : static_cast<std::size_t>(It - List->begin()) + 1;
    }
    if (!W->Parent && TopBand)
        Pos = std::min(Pos, static_cast<std::size_t>(std::count_if(List->begin(), List->end(), Topmost)));
    List->insert(List->begin() + static_cast<std::ptrdiff_t>(std::min(Pos, List->size())), W->Handle);
    if (!W->Parent && InsertAfter != HWND_BOTTOM && MoveOwned) {
        // Owned windows stay above their owner, in their own order.
        std::vector<HWND> Owned;
        for (HWND H : *List)
            if (H != W->Handle) {
                TWindow* X = Find(H);
                for (TWindow* O = X; O && O->Owner; O = Find(O->Owner))
                    if (O->Owner == W->Handle) {
                        Owned.push_back(H);
                        break;
                    }
            }
        for (HWND H : Owned)
            RemoveFrom(*List, H);
        auto It = std::find(List->begin(), List->end(), W->Handle);
        List->insert(It, Owned.begin(), Owned.end());
    }
}

void DestroyGraveyard()
{
    gGraveyard.clear();
}

void ResetMessageOnlyWindows()
{
    std::vector<HWND> List = gMessageOnly;
    for (HWND H : List)
        DestroyWindow(H);
    gMessageOnly.clear();
    gDefaultPlace = 0;
    SystemParametersInfo(SPI_SETWORKAREA, 0, nullptr, 0);
    SystemParametersInfo(SPI_SETNONCLIENTMETRICS, 0, nullptr, 0);
}

} // namespace win

using namespace win;

// ---------------------------------------------------------------------------------------------
// Classes

ATOM RegisterClass(const WNDCLASS* WndClass)
{
    if (!WndClass || !WndClass->lpszClassName || !*WndClass->lpszClassName)
        return 0;
    std::string Key = Lower(WndClass->lpszClassName);
    if (gClasses.count(Key))
        return 0;
    auto Rec = std::make_unique<TWndClassRec>();
    Rec->Class = *WndClass;
    Rec->Name = WndClass->lpszClassName;
    if (!IS_INTRESOURCE(WndClass->lpszMenuName) && WndClass->lpszMenuName)
        Rec->MenuName = WndClass->lpszMenuName;
    Rec->Class.lpszClassName = Rec->Name.c_str();
    Rec->Class.lpszMenuName = Rec->MenuName.empty() ? nullptr : Rec->MenuName.c_str();
    if (!Rec->Class.lpfnWndProc)
        Rec->Class.lpfnWndProc = DefWindowProc;
    gClasses[Key] = std::move(Rec);
    static ATOM NextAtom = 0xC000;
    return NextAtom++;
}

BOOL UnregisterClass(const char* ClassName, HINSTANCE)
{
    auto It = gClasses.find(Lower(ClassName));
    if (It == gClasses.end())
        return FALSE;
    for (auto& [H, W] : gWindows)
        if (W->Class == It->second.get())
            return FALSE; // still in use
    gClasses.erase(It);
    return TRUE;
}

BOOL GetClassInfo(HINSTANCE, const char* ClassName, WNDCLASS* WndClass)
{
    auto It = gClasses.find(Lower(ClassName));
    if (It == gClasses.end())
        return FALSE;
    if (WndClass)
        *WndClass = It->second->Class;
    return TRUE;
}

int GetClassName(HWND Wnd, char* ClassName, int MaxCount)
{
    TWindow* W = Find(Wnd);
    if (!W || !ClassName || MaxCount <= 0)
        return 0;
    int N = std::min<int>(MaxCount - 1, static_cast<int>(W->Class->Name.size()));
    std::memcpy(ClassName, W->Class->Name.data(), static_cast<std::size_t>(N));
    ClassName[N] = 0;
    return N;
}

LONG_PTR GetClassLong(HWND Wnd, int Index)
{
    TWindow* W = Find(Wnd);
    if (!W)
        return 0;
    const WNDCLASS& C = W->Class->Class;
    switch (Index) {
    case GCL_STYLE:
        return C.style;
    case GCL_WNDPROC:
        return reinterpret_cast<LONG_PTR>(C.lpfnWndProc);
    case GCL_HCURSOR:
        return reinterpret_cast<LONG_PTR>(C.hCursor);
    case GCL_HICON:
        return reinterpret_cast<LONG_PTR>(C.hIcon);
    case GCL_HBRBACKGROUND:
        return reinterpret_cast<LONG_PTR>(C.hbrBackground);
    case GCL_CBWNDEXTRA:
        return C.cbWndExtra;
    case GCL_CBCLSEXTRA:
        return C.cbClsExtra;
    default:
        return 0;
    }
}

LONG_PTR SetClassLong(HWND Wnd, int Index, LONG_PTR NewLong)
{
    TWindow* W = Find(Wnd);
    if (!W)
        return 0;
    LONG_PTR Old = GetClassLong(Wnd, Index);
    WNDCLASS& C = W->Class->Class;
    switch (Index) {
    case GCL_STYLE:
        C.style = static_cast<UINT>(NewLong);
        break;
    case GCL_WNDPROC:
        C.lpfnWndProc = reinterpret_cast<WNDPROC>(NewLong);
        break;
    case GCL_HCURSOR:
        C.hCursor = reinterpret_cast<HCURSOR>(NewLong);
        break;
    case GCL_HICON:
        C.hIcon = reinterpret_cast<HICON>(NewLong);
        break;
    case GCL_HBRBACKGROUND:
        C.hbrBackground = reinterpret_cast<HBRUSH>(NewLong);
        break;
    default:
        return 0;
    }
    return Old;
}

// ---------------------------------------------------------------------------------------------
// Creation and destruction

HWND CreateWindowExWithProc(DWORD ExStyle, const char* ClassName, const char* WindowName, DWORD Style, int X,
                            int Y, int Width, int Height, HWND Parent, HMENU Menu, HINSTANCE Instance,
                            void* Param, WNDPROC Proc)
{
    auto It = gClasses.find(Lower(ClassName));
    if (It == gClasses.end())
        return nullptr;
    bool MessageOnly = Parent == HWND_MESSAGE;
    if (MessageOnly || IsDesktop(Parent))
        Parent = nullptr;
    if (Parent && !Find(Parent))
        return nullptr;
    if ((Style & WS_CHILD) && !Parent && !MessageOnly)
        return nullptr;

    auto Rec = std::make_unique<TWindow>();
    TWindow* W = Rec.get();
    W->Handle = NewHandle();
    W->Class = It->second.get();
    W->Proc = Proc ? Proc : W->Class->Class.lpfnWndProc;
    W->Style = Style & ~WS_VISIBLE & ~WS_MAXIMIZE & ~WS_MINIMIZE;
    W->ExStyle = ExStyle;
    W->MessageOnly = MessageOnly;
    W->Instance = Instance;
    W->ThreadId = GetCurrentThreadId();
    W->Extra.assign(static_cast<std::size_t>(std::max(0, W->Class->Class.cbWndExtra)) / sizeof(LONG_PTR) + 1,
                    0);
    if ((Style & WS_CHILD) && Parent) {
        W->Parent = Parent;
        W->Menu = Menu;
    } else {
        W->Menu = Menu;
        if (Parent)
            W->Owner = Root(Parent);
    }
    if (X == CW_USEDEFAULT) {
        int Step = 26 * (gDefaultPlace++ % 8);
        X = 26 + Step;
        Y = 26 + Step;
    }
    if (Width == CW_USEDEFAULT) {
        Width = 600;
        Height = 400;
    }
    Width = std::max(0, Width);
    Height = std::max(0, Height);
    W->Window = Bounds(X, Y, Width, Height);
    W->Client = Bounds(0, 0, Width, Height);
    W->RestoreRect = W->Window;
    if (Style & WS_HSCROLL)
        W->HScroll.Info.nMax = 100;
    if (Style & WS_VSCROLL)
        W->VScroll.Info.nMax = 100;
    HWND Handle = W->Handle;
    gWindows[Handle] = std::move(Rec);
    if (MessageOnly)
        gMessageOnly.insert(gMessageOnly.begin(), Handle);
    else
        RaiseInSiblings(W, HWND_TOP);

    CREATESTRUCT CS;
    CS.lpCreateParams = Param;
    CS.hInstance = Instance;
    CS.hMenu = Menu;
    CS.hwndParent = Parent;
    CS.x = X;
    CS.y = Y;
    CS.cx = Width;
    CS.cy = Height;
    CS.style = static_cast<LONG>(Style);
    CS.lpszName = WindowName;
    CS.lpszClass = ClassName;
    CS.dwExStyle = ExStyle;

    if (!W->Parent && !MessageOnly) {
        MINMAXINFO MMI;
        SendMessage(Handle, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&MMI));
    }
    if (!Find(Handle))
        return nullptr;
    if (!SendMessage(Handle, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&CS))) {
        DestroyWindow(Handle);
        return nullptr;
    }
    if (TWindow* X2 = Find(Handle)) {
        RECT R = Bounds(0, 0, X2->Width(), X2->Height());
        SendMessage(Handle, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&R));
        if ((X2 = Find(Handle))) {
            R.right = std::max(R.left, R.right);
            R.bottom = std::max(R.top, R.bottom);
            X2->Client = R;
        }
    }
    if (!Find(Handle) || SendMessage(Handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&CS)) == -1) {
        DestroyWindow(Handle);
        return nullptr;
    }
    W = Find(Handle);
    if (!W)
        return nullptr;
    W->Created = true;
    if (W->Parent && !(W->ExStyle & WS_EX_NOPARENTNOTIFY))
        SendMessage(W->Parent, WM_PARENTNOTIFY,
                    MAKEWPARAM(WM_CREATE, static_cast<WORD>(reinterpret_cast<std::uintptr_t>(Menu))),
                    reinterpret_cast<LPARAM>(Handle));
    if ((W = Find(Handle))) {
        SendMessage(Handle, WM_SIZE, SIZE_RESTORED, MAKELPARAM(W->ClientWidth(), W->ClientHeight()));
        if ((W = Find(Handle))) {
            QPoint CO = W->Parent ? QPoint(W->Window.left + W->Client.left, W->Window.top + W->Client.top)
                                  : ClientOrigin(W);
            SendMessage(Handle, WM_MOVE, 0, PointToLParam(CO.x(), CO.y()));
        }
    }
    if (!Find(Handle))
        return nullptr;
    InvalidateWhole(Find(Handle), true, true);
    if (Style & WS_VISIBLE) {
        if (Style & WS_MAXIMIZE)
            ShowWindow(Handle, SW_SHOWMAXIMIZED);
        else if (Style & WS_MINIMIZE)
            ShowWindow(Handle, SW_SHOWMINIMIZED);
        else
            ShowWindow(Handle, (Style & WS_CHILD) || (ExStyle & WS_EX_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    }
    return Find(Handle) ? Handle : nullptr;
}

HWND CreateWindowEx(DWORD ExStyle, const char* ClassName, const char* WindowName, DWORD Style, int X, int Y,
                    int Width, int Height, HWND Parent, HMENU Menu, HINSTANCE Instance, void* Param)
{
    return CreateWindowExWithProc(ExStyle, ClassName, WindowName, Style, X, Y, Width, Height, Parent, Menu,
                                  Instance, Param, nullptr);
}

namespace {

void SendDestroy(HWND Wnd)
{
    SendMessage(Wnd, WM_DESTROY, 0, 0);
    TWindow* W = Find(Wnd);
    if (!W)
        return;
    std::vector<HWND> Kids = W->Children;
    for (HWND K : Kids)
        if (TWindow* KW = Find(K)) {
            KW->Destroying = true;
            SendDestroy(K);
        }
}

void SendNcDestroy(HWND Wnd)
{
    TWindow* W = Find(Wnd);
    if (!W)
        return;
    std::vector<HWND> Kids = W->Children;
    for (HWND K : Kids)
        SendNcDestroy(K);
    WindowDestroyed(Wnd);
    ForgetWindowDCs(Wnd);
    CaretWindowGone(Wnd);
    SendMessage(Wnd, WM_NCDESTROY, 0, 0);
    W = Find(Wnd);
    if (!W)
        return;
    DestroyHost(W);
    if (std::vector<HWND>* List = SiblingList(W))
        RemoveFrom(*List, Wnd);
    auto It = gWindows.find(Wnd);
    gGraveyard.push_back(std::move(It->second));
    gWindows.erase(It);
}

} // namespace

BOOL DestroyWindow(HWND Wnd)
{
    TWindow* W = Find(Wnd);
    if (!W || W->Destroying)
        return FALSE;
    W->Destroying = true;
    // Owned windows go first.
    std::vector<HWND> Owned;
    for (HWND H : gTopLevels)
        if (TWindow* X = Find(H); X && X->Owner == Wnd)
            Owned.push_back(H);
    for (HWND H : Owned)
        DestroyWindow(H);
    if (!(W = Find(Wnd)))
        return TRUE;
    if (W->Parent && !(W->ExStyle & WS_EX_NOPARENTNOTIFY) && !Find(W->Parent)->Destroying)
        SendMessage(W->Parent, WM_PARENTNOTIFY,
                    MAKEWPARAM(WM_DESTROY, static_cast<WORD>(reinterpret_cast<std::uintptr_t>(W->Menu))),
                    reinterpret_cast<LPARAM>(Wnd));
    if ((W = Find(Wnd)) && (W->Style & WS_VISIBLE))
        SetWindowPos(Wnd, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (!Find(Wnd))
        return TRUE;
    WindowHidden(Wnd);
    SendDestroy(Wnd);
    SendNcDestroy(Wnd);
    SyncAttachedWidgets();
    return TRUE;
}

BOOL IsWindow(HWND Wnd)
{
    return Find(Wnd) != nullptr || IsDesktop(Wnd);
}

// ---------------------------------------------------------------------------------------------
// Window data

LONG_PTR GetWindowLong(HWND Wnd, int Index)
{
    TWindow* W = Find(Wnd);
    if (!W)
        return 0;
    switch (Index) {
    case GWL_WNDPROC:
        return reinterpret_cast<LONG_PTR>(W->Proc);
    case GWL_HINSTANCE:
        return reinterpret_cast<LONG_PTR>(W->Instance);
    case GWL_HWNDPARENT:
        return reinterpret_cast<LONG_PTR>(W->Parent ? W->Parent : W->Owner);
    case GWL_STYLE:
        return static_cast<LONG_PTR>(W->Style);
    case GWL_EXSTYLE:
        return static_cast<LONG_PTR>(W->ExStyle);
    case GWL_USERDATA:
        return W->UserData;
    case GWL_ID:
        return reinterpret_cast<LONG_PTR>(W->Menu);
    default:
        if (Index >= 0 && static_cast<std::size_t>(Index) / sizeof(LONG_PTR) < W->Extra.size())
            return W->Extra[static_cast<std::size_t>(Index) / sizeof(LONG_PTR)];
        return 0;
    }
}

LONG_PTR SetWindowLong(HWND Wnd, int Index, LONG_PTR NewLong)
{
    TWindow* W = Find(Wnd);
    if (!W)
        return 0;
    LONG_PTR Old = GetWindowLong(Wnd, Index);
    switch (Index) {
    case GWL_WNDPROC:
        W->Proc = reinterpret_cast<WNDPROC>(NewLong);
        break;
    case GWL_HINSTANCE:
        W->Instance = reinterpret_cast<HINSTANCE>(NewLong);
        break;
    case GWL_HWNDPARENT:
        if (!W->Parent)
            W->Owner = Root(reinterpret_cast<HWND>(NewLong));
        break;
    case GWL_STYLE:
    case GWL_EXSTYLE: {
        STYLESTRUCT SS{static_cast<DWORD>(Old), static_cast<DWORD>(NewLong)};
        SendMessage(Wnd, WM_STYLECHANGING, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&SS));
        if (!(W = Find(Wnd)))
            return Old;
        bool WasShown = IsShown(W);
        if (Index == GWL_STYLE)
            W->Style = SS.styleNew;
        else
            W->ExStyle = SS.styleNew;
        SendMessage(Wnd, WM_STYLECHANGED, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&SS));
        if ((W = Find(Wnd))) {
            if (WasShown != IsShown(W)) {
                if (!IsShown(W))
                    WindowHidden(Wnd);
                else
                    InvalidateWhole(W, true, true);
                if (!W->Parent)
                    SyncHost(W);
                SyncAttachedWidgets();
            }
            if (Index == GWL_STYLE && (SS.styleOld ^ SS.styleNew) & WS_DISABLED &&
                (SS.styleNew & WS_DISABLED))
                WindowDisabled(Wnd);
        }
        break;
    }
    case GWL_USERDATA:
        W->UserData = NewLong;
        break;
    case GWL_ID:
        W->Menu = reinterpret_cast<HMENU>(NewLong);
        break;
    default:
        if (Index >= 0 && static_cast<std::size_t>(Index) / sizeof(LONG_PTR) < W->Extra.size())
            W->Extra[static_cast<std::size_t>(Index) / sizeof(LONG_PTR)] = NewLong;
        else
            return 0;
    }
    return Old;
}

BOOL SetWindowText(HWND Wnd, const char* Text)
{
    if (!Find(Wnd))
        return FALSE;
    return SendMessage(Wnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Text ? Text : "")) != 0;
}

int GetWindowText(HWND Wnd, char* Text, int MaxCount)
{
    if (!Find(Wnd) || !Text || MaxCount <= 0)
        return 0;
    return static_cast<int>(
        SendMessage(Wnd, WM_GETTEXT, static_cast<WPARAM>(MaxCount), reinterpret_cast<LPARAM>(Text)));
}

int GetWindowTextLength(HWND Wnd)
{
    if (!Find(Wnd))
        return 0;
    return static_cast<int>(SendMessage(Wnd, WM_GETTEXTLENGTH, 0, 0));
}

std::string GetWindowTextString(HWND Wnd)
{
    int N = GetWindowTextLength(Wnd);
    if (N <= 0)
        return {};
    std::string S(static_cast<std::size_t>(N) + 1, '\0');
    int Got = GetWindowText(Wnd, S.data(), N + 1);
    S.resize(static_cast<std::size_t>(std::max(0, std::min(Got, N))));
    return S;
}

BOOL SetProp(HWND Wnd, const char* Name, HANDLE Data)
{
    TWindow* W = Find(Wnd);
    if (!W || !Name)
        return FALSE;
    std::string Key = Lower(
        IS_INTRESOURCE(Name) ? ("#" + std::to_string(reinterpret_cast<std::uintptr_t>(Name))).c_str() : Name);
    for (auto& P : W->Props)
        if (P.first == Key) {
            P.second = Data;
            return TRUE;
        }
    W->Props.emplace_back(Key, Data);
    return TRUE;
}

HANDLE GetProp(HWND Wnd, const char* Name)
{
    TWindow* W = Find(Wnd);
    if (!W || !Name)
        return nullptr;
    std::string Key = Lower(
        IS_INTRESOURCE(Name) ? ("#" + std::to_string(reinterpret_cast<std::uintptr_t>(Name))).c_str() : Name);
    for (auto& P : W->Props)
        if (P.first == Key)
            return P.second;
    return nullptr;
}

HANDLE RemoveProp(HWND Wnd, const char* Name)
{
    TWindow* W = Find(Wnd);
    if (!W || !Name)
        return nullptr;
    std::string Key = Lower(
        IS_INTRESOURCE(Name) ? ("#" + std::to_string(reinterpret_cast<std::uintptr_t>(Name))).c_str() : Name);
    for (auto It = W->Props.begin(); It != W->Props.end(); ++It)
        if (It->first == Key) {
            HANDLE D = It->second;
            W->Props.erase(It);
            return D;
        }
    return nullptr;
}

// ---------------------------------------------------------------------------------------------
// Object instances: a fixed pool of real functions, each bound to one slot of methods, so an
// instance can be called like any window procedure.

namespace {

constexpr std::size_t kInstanceCount = 8192;
std::vector<TWndMethod>& InstanceSlots()
{
    static std::vector<TWndMethod> Slots(kInstanceCount);
    return Slots;
}
std::vector<std::size_t>& FreeSlots()
{
    static std::vector<std::size_t> Free = [] {
        std::vector<std::size_t> F;
        for (std::size_t I = kInstanceCount; I-- > 0;)
            F.push_back(I);
        return F;
    }();
    return Free;
}

LRESULT CallInstance(std::size_t Slot, HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    TWndMethod Method = InstanceSlots()[Slot]; // a copy: the method may free its own instance
    if (!Method)
        return DefWindowProc(Wnd, Msg, WParam, LParam);
    TMessage M;
    M.Msg = Msg;
    M.WParam = WParam;
    M.LParam = LParam;
    Method(M);
    return M.Result;
}

template <std::size_t I> LRESULT InstanceThunk(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    return CallInstance(I, Wnd, Msg, WParam, LParam);
}

template <std::size_t... I> constexpr std::array<WNDPROC, sizeof...(I)> MakeThunks(std::index_sequence<I...>)
{
    return {&InstanceThunk<I>...};
}

const std::array<WNDPROC, kInstanceCount>& Thunks()
{
    static const std::array<WNDPROC, kInstanceCount> Table =
        MakeThunks(std::make_index_sequence<kInstanceCount>());
    return Table;
}

} // namespace

WNDPROC MakeObjectInstance(TWndMethod Method)
{
    auto& Free = FreeSlots();
    if (Free.empty())
        return nullptr;
    std::size_t Slot = Free.back();
    Free.pop_back();
    InstanceSlots()[Slot] = std::move(Method);
    return Thunks()[Slot];
}

void FreeObjectInstance(WNDPROC Instance)
{
    const auto& Table = Thunks();
    for (std::size_t I = 0; I < Table.size(); ++I)
        if (Table[I] == Instance) {
            if (InstanceSlots()[I]) {
                InstanceSlots()[I] = nullptr;
                FreeSlots().push_back(I);
            }
            return;
        }
}

HWND AllocateHWnd(TWndMethod Method)
{
    static bool Registered = false;
    if (!Registered) {
        WNDCLASS C;
        C.lpfnWndProc = DefWindowProc;
        C.lpszClassName = "TPUtilWindow";
        RegisterClass(&C);
        Registered = true;
    }
    // A hidden top-level window rather than a message-only one, so that broadcasts reach it.
    HWND Wnd = CreateWindowEx(WS_EX_TOOLWINDOW, "TPUtilWindow", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              nullptr, nullptr);
    if (Wnd && Method)
        SetWindowLong(Wnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(MakeObjectInstance(std::move(Method))));
    return Wnd;
}

void DeallocateHWnd(HWND Wnd)
{
    TWindow* W = Find(Wnd);
    if (!W)
        return;
    WNDPROC Proc = W->Proc;
    DestroyWindow(Wnd);
    if (Proc != DefWindowProc)
        FreeObjectInstance(Proc);
}

// ---------------------------------------------------------------------------------------------
// Tree and z-order

HWND GetDesktopWindow()
{
    return gDesktop;
}

HWND GetParent(HWND Wnd)
{
    TWindow* W = Find(Wnd);
    if (!W)
        return nullptr;
    if (W->Parent)
        return W->Parent;
    if (W->Style & WS_POPUP)
        return W->Owner;
    return nullptr;
}

HWND SetParent(HWND Wnd, HWND NewParent)
{
    TWindow* W = Find(Wnd);
    if (!W || W->MessageOnly)
        return nullptr;
    if (IsDesktop(NewParent))
        NewParent = nullptr;
    if (NewParent && (!Find(NewParent) || IsDescendant(Wnd, NewParent)))
        return nullptr;
    HWND Old = W->Parent;
    if (Old == NewParent)
        return Old ? Old : gDesktop;
    bool WasShown = IsShown(W);
    if (WasShown)
        WindowHidden(Wnd);
    if (std::vector<HWND>* List = SiblingList(W))
        RemoveFrom(*List, Wnd);
    if (!Old && NewParent)
        DestroyHost(W);
    W->Parent = NewParent;
    if (NewParent)
        W->Owner = nullptr;
    RaiseInSiblings(W, HWND_TOP);
    if (!NewParent)
        SyncHost(W);
    InvalidateWhole(W, true, true);
    for (HWND H : W->Children)
        if (TWindow* K = Find(H))
            InvalidateWhole(K, true, true);
    SyncAttachedWidgets();
    return Old ? Old : gDesktop;
}

HWND GetAncestor(HWND Wnd, UINT Flags)
{
    TWindow* W = Find(Wnd);
    if (!W)
        return nullptr;
    switch (Flags) {
    case GA_PARENT:
        return W->Parent ? W->Parent : gDesktop;
    case GA_ROOT:
        return Root(Wnd);
    case GA_ROOTOWNER: {
        HWND R = Root(Wnd);
        for (TWindow* X = Find(R); X && X->Owner; X = Find(X->Owner))
            R = X->Owner;
        return R;
    }
    default:
        return nullptr;
    }
}

BOOL IsChild(HWND Parent, HWND Wnd)
{
    return Parent != Wnd && Find(Parent) && IsDescendant(Parent, Wnd);
}

HWND GetWindow(HWND Wnd, UINT Cmd)
{
    if (IsDesktop(Wnd))
        return Cmd == GW_CHILD && !gTopLevels.empty() ? gTopLevels.front() : nullptr;
    TWindow* W = Find(Wnd);
    if (!W)
        return nullptr;
    std::vector<HWND>* List = SiblingList(W);
    switch (Cmd) {
    case GW_CHILD:
        return W->Children.empty() ? nullptr : W->Children.front();
    case GW_OWNER:
        return W->Owner;
    case GW_HWNDFIRST:
        return List && !List->empty() ? List->front() : nullptr;
    case GW_HWNDLAST:
        return List && !List->empty() ? List->back() : nullptr;
    case GW_HWNDNEXT:
    case GW_HWNDPREV: {
        if (!List)
            return nullptr;
        auto It = std::find(List->begin(), List->end(), Wnd);
        if (It == List->end())
            return nullptr;
        if (Cmd == GW_HWNDNEXT)
            return ++It == List->end() ? nullptr : *It;
        return It == List->begin() ? nullptr : *--It;
    }
    case GW_ENABLEDPOPUP:
        for (HWND H : gTopLevels)
            if (TWindow* X = Find(H);
                X && X->Owner == Wnd && (X->Style & WS_VISIBLE) && !(X->Style & WS_DISABLED))
                return H;
        return nullptr;
    default:
        return nullptr;
    }
}

HWND GetTopWindow(HWND Wnd)
{
    if (!Wnd || IsDesktop(Wnd))
        return gTopLevels.empty() ? nullptr : gTopLevels.front();
    return GetWindow(Wnd, GW_CHILD);
}

HWND FindWindowEx(HWND Parent, HWND ChildAfter, const char* ClassName, const char* WindowName)
{
    std::vector<HWND> List;
    if (Parent == HWND_MESSAGE)
        List = gMessageOnly;
    else if (!Parent || IsDesktop(Parent))
        List = gTopLevels;
    else if (TWindow* P = Find(Parent))
        List = P->Children;
    else
        return nullptr;
    bool Started = ChildAfter == nullptr;
    std::string Cls = IS_INTRESOURCE(ClassName) ? std::string() : Lower(ClassName);
    for (HWND H : List) {
        if (!Started) {
            Started = H == ChildAfter;
            continue;
        }
        TWindow* W = Find(H);
        if (!W)
            continue;
        if (!Cls.empty() && Lower(W->Class->Name.c_str()) != Cls)
            continue;
        if (WindowName && W->Text != WindowName)
            continue;
        return H;
    }
    return nullptr;
}

HWND FindWindow(const char* ClassName, const char* WindowName)
{
    return FindWindowEx(nullptr, nullptr, ClassName, WindowName);
}

BOOL EnumWindows(WNDENUMPROC Func, LPARAM Param)
{
    if (!Func)
        return FALSE;
    std::vector<HWND> List = gTopLevels;
    for (HWND H : List)
        if (Find(H) && !Func(H, Param))
            return FALSE;
    return TRUE;
}

BOOL EnumThreadWindows(DWORD ThreadId, WNDENUMPROC Func, LPARAM Param)
{
    if (!Func)
        return FALSE;
    std::vector<HWND> List = gTopLevels;
    bool Any = false;
    for (HWND H : List) {
        TWindow* W = Find(H);
        if (!W || W->ThreadId != ThreadId)
            continue;
        Any = true;
        if (!Func(H, Param))
            return FALSE;
    }
    return Any ? TRUE : FALSE;
}

namespace {
bool EnumDescendants(HWND Parent, WNDENUMPROC Func, LPARAM Param)
{
    TWindow* P = Find(Parent);
    if (!P)
        return true;
    std::vector<HWND> Kids = P->Children;
    for (HWND K : Kids) {
        if (!Find(K))
            continue;
        if (!Func(K, Param))
            return false;
        if (!EnumDescendants(K, Func, Param))
            return false;
    }
    return true;
}
} // namespace

BOOL EnumChildWindows(HWND Parent, WNDENUMPROC Func, LPARAM Param)
{
    if (!Func)
        return FALSE;
    if (!Parent || IsDesktop(Parent))
        return EnumWindows(Func, Param);
    return EnumDescendants(Parent, Func, Param) ? TRUE : FALSE;
}

DWORD GetCurrentThreadId()
{
    return static_cast<DWORD>(::syscall(SYS_gettid));
}

DWORD GetWindowThreadProcessId(HWND Wnd, DWORD* ProcessId)
{
    TWindow* W = Find(Wnd);
    if (ProcessId)
        *ProcessId = static_cast<DWORD>(::getpid());
    return W ? W->ThreadId : 0;
}

BOOL BringWindowToTop(HWND Wnd)
{
    return SetWindowPos(Wnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

// ---------------------------------------------------------------------------------------------
// Position and size

// Flags the layer adds to WINDOWPOS for WM_WINDOWPOSCHANGED: the client did not move / resize.
constexpr UINT kNoClientSize = 0x0800;
constexpr UINT kNoClientMove = 0x1000;

BOOL SetWindowPos(HWND Wnd, HWND InsertAfter, int X, int Y, int Cx, int Cy, UINT Flags)
{
    TWindow* W = Find(Wnd);
    if (!W)
        return FALSE;
    if (Flags & SWP_NOMOVE) {
        X = W->Window.left;
        Y = W->Window.top;
    }
    if (Flags & SWP_NOSIZE) {
        Cx = W->Width();
        Cy = W->Height();
    }
    if ((Flags & SWP_SHOWWINDOW) && (W->Style & WS_VISIBLE))
        Flags &= ~SWP_SHOWWINDOW;
    if ((Flags & SWP_HIDEWINDOW) && !(W->Style & WS_VISIBLE))
        Flags &= ~SWP_HIDEWINDOW;
    if (W->Parent)
        Flags |= SWP_NOACTIVATE;

    WINDOWPOS WP;
    WP.hwnd = Wnd;
    WP.hwndInsertAfter = InsertAfter;
    WP.x = X;
    WP.y = Y;
    WP.cx = std::max(0, Cx);
    WP.cy = std::max(0, Cy);
    WP.flags = Flags;
    if (!(Flags & SWP_NOSENDCHANGING)) {
        SendMessage(Wnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&WP));
        if (!(W = Find(Wnd)))
            return FALSE;
    }
    Flags = WP.flags;
    WP.cx = std::max(0, WP.cx);
    WP.cy = std::max(0, WP.cy);
    RECT OldWindow = W->Window;
    RECT OldClient = W->Client;
    QPoint OldClientOrigin = ClientOrigin(W);
    RECT NewWindow = Bounds(WP.x, WP.y, WP.cx, WP.cy);
    bool Moved = NewWindow.left != OldWindow.left || NewWindow.top != OldWindow.top;
    bool Sized = NewWindow.right - NewWindow.left != OldWindow.right - OldWindow.left ||
                 NewWindow.bottom - NewWindow.top != OldWindow.bottom - OldWindow.top;
    if (!Moved)
        WP.flags |= SWP_NOMOVE;
    if (!Sized)
        WP.flags |= SWP_NOSIZE;

    bool WasShown = IsShown(W);
    if (!(Flags & SWP_NOZORDER)) {
        if (InsertAfter == HWND_TOPMOST && !W->Parent)
            W->ExStyle |= WS_EX_TOPMOST;
        else if (InsertAfter == HWND_NOTOPMOST && !W->Parent)
            W->ExStyle &= ~WS_EX_TOPMOST;
        RaiseInSiblings(W, InsertAfter, !(Flags & SWP_NOOWNERZORDER));
    }

    RECT NewClient = OldClient;
    if (Sized || (Flags & SWP_FRAMECHANGED)) {
        NCCALCSIZE_PARAMS NP;
        NP.rgrc[0] = NewWindow;
        NP.rgrc[1] = OldWindow;
        NP.rgrc[2] = OldClient;
        OffsetRect(&NP.rgrc[2], OldWindow.left, OldWindow.top);
        NP.lppos = &WP;
        W->Window = NewWindow;
        SendMessage(Wnd, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&NP));
        if (!(W = Find(Wnd)))
            return FALSE;
        NewClient = NP.rgrc[0];
        OffsetRect(&NewClient, -NewWindow.left, -NewWindow.top);
        NewClient.right = std::max(NewClient.left, NewClient.right);
        NewClient.bottom = std::max(NewClient.top, NewClient.bottom);
    }
    W->Window = NewWindow;
    W->Client = NewClient;
    if (!(W->Style & (WS_MINIMIZE | WS_MAXIMIZE)))
        W->RestoreRect = NewWindow;

    if (Flags & SWP_SHOWWINDOW)
        W->Style |= WS_VISIBLE;
    if (Flags & SWP_HIDEWINDOW)
        W->Style &= ~WS_VISIBLE;
    bool Shown = IsShown(W);

    int OldCW = OldClient.right - OldClient.left, OldCH = OldClient.bottom - OldClient.top;
    bool ClientSized = OldCW != W->ClientWidth() || OldCH != W->ClientHeight();
    bool ClientMoved = ClientOrigin(W) != OldClientOrigin;
    if (!ClientSized)
        WP.flags |= kNoClientSize;
    if (!ClientMoved)
        WP.flags |= kNoClientMove;

    if (Sized)
        EnsureSurface(W);
    if (!(Flags & SWP_NOREDRAW)) {
        if (Shown && !WasShown) {
            InvalidateTree(W);
        } else if (Sized || (Flags & SWP_FRAMECHANGED)) {
            UINT CS = W->Class->Class.style;
            bool Whole = (Flags & SWP_FRAMECHANGED) || ((CS & CS_HREDRAW) && W->ClientWidth() != OldCW) ||
                         ((CS & CS_VREDRAW) && W->ClientHeight() != OldCH) ||
                         NewClient.left != OldClient.left || NewClient.top != OldClient.top;
            if (Whole) {
                InvalidateWhole(W, true, true);
            } else {
                QRegion Exposed(0, 0, W->ClientWidth(), W->ClientHeight());
                Exposed -= QRegion(0, 0, OldCW, OldCH);
                if (!Exposed.isEmpty()) {
                    W->Update += Exposed;
                    W->Erase = true;
                }
                W->NcPaint = true;
            }
        }
    }
    if (!W->Parent)
        SyncHost(W);
    SyncAttachedWidgets();
    if (TWindow* Top = Find(Root(Wnd)))
        UpdateHost(Top, QRect());
    // Only once the window is off the screen does the activation move on: what the next window
    // does on activation (a message box, say) must not show over a window that is gone.
    if (WasShown && !Shown)
        WindowHidden(Wnd);

    WP.x = NewWindow.left;
    WP.y = NewWindow.top;
    WP.cx = NewWindow.right - NewWindow.left;
    WP.cy = NewWindow.bottom - NewWindow.top;
    SendMessage(Wnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&WP));
    if (!(W = Find(Wnd)))
        return TRUE;
    if (!W->Parent && !(Flags & SWP_NOACTIVATE) && Shown && !(W->ExStyle & WS_EX_NOACTIVATE) &&
        ((Flags & SWP_SHOWWINDOW) || !(Flags & SWP_NOZORDER)))
        SetActiveWindow(Wnd);
    return TRUE;
}

BOOL MoveWindow(HWND Wnd, int X, int Y, int Width, int Height, BOOL Repaint)
{
    return SetWindowPos(Wnd, nullptr, X, Y, Width, Height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (Repaint ? 0 : SWP_NOREDRAW));
}

BOOL GetWindowRect(HWND Wnd, RECT* Rect)
{
    if (!Rect)
        return FALSE;
    if (IsDesktop(Wnd)) {
        *Rect = Bounds(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
        return TRUE;
    }
    TWindow* W = Find(Wnd);
    if (!W)
        return FALSE;
    QRect R = ScreenWindowRect(W);
    *Rect = Bounds(R.x(), R.y(), R.width(), R.height());
    return TRUE;
}

BOOL GetClientRect(HWND Wnd, RECT* Rect)
{
    if (!Rect)
        return FALSE;
    if (IsDesktop(Wnd))
        return GetWindowRect(Wnd, Rect);
    TWindow* W = Find(Wnd);
    if (!W)
        return FALSE;
    *Rect = Bounds(0, 0, W->ClientWidth(), W->ClientHeight());
    return TRUE;
}

BOOL ClientToScreen(HWND Wnd, POINT* Point)
{
    if (!Point)
        return FALSE;
    if (IsDesktop(Wnd))
        return TRUE;
    TWindow* W = Find(Wnd);
    if (!W)
        return FALSE;
    QPoint O = ClientOrigin(W);
    Point->x += O.x();
    Point->y += O.y();
    return TRUE;
}

BOOL ScreenToClient(HWND Wnd, POINT* Point)
{
    if (!Point)
        return FALSE;
    if (IsDesktop(Wnd))
        return TRUE;
    TWindow* W = Find(Wnd);
    if (!W)
        return FALSE;
    QPoint O = ClientOrigin(W);
    Point->x -= O.x();
    Point->y -= O.y();
    return TRUE;
}

int MapWindowPoints(HWND From, HWND To, POINT* Points, UINT Count)
{
    QPoint A, B;
    if (From && !IsDesktop(From)) {
        TWindow* W = Find(From);
        if (!W)
            return 0;
        A = ClientOrigin(W);
    }
    if (To && !IsDesktop(To)) {
        TWindow* W = Find(To);
        if (!W)
            return 0;
        B = ClientOrigin(W);
    }
    int Dx = A.x() - B.x(), Dy = A.y() - B.y();
    for (UINT I = 0; Points && I < Count; ++I) {
        Points[I].x += Dx;
        Points[I].y += Dy;
    }
    return static_cast<int>(MAKELONG(static_cast<WORD>(Dx), static_cast<WORD>(Dy)));
}

namespace {

// The deepest shown, enabled window under a screen point inside W (W itself when no child is
// hit), skipping windows that answer HTTRANSPARENT.
HWND DeepestAt(HWND Wnd, POINT P, int* Hit)
{
    TWindow* W = Find(Wnd);
    if (!W)
        return nullptr;
    int H = static_cast<int>(SendMessage(Wnd, WM_NCHITTEST, 0, PointToLParam(P.x, P.y)));
    if (!(W = Find(Wnd)))
        return nullptr;
    if (H == HTTRANSPARENT)
        return nullptr;
    if (H == HTCLIENT) {
        std::vector<HWND> Kids = W->Children;
        for (HWND K : Kids) {
            TWindow* KW = Find(K);
            if (!KW || !(KW->Style & WS_VISIBLE) || (KW->Style & WS_DISABLED))
                continue;
            QRegion Vis = VisibleWindowRegion(KW).translated(WindowOrigin(KW));
            if (!Vis.contains(QPoint(P.x, P.y)))
                continue;
            if (HWND Deeper = DeepestAt(K, P, Hit))
                return Deeper;
        }
    }
    if (Hit)
        *Hit = H;
    return Wnd;
}

} // namespace

namespace win {
HWND HitWindow(HWND Top, POINT P, int* Hit)
{
    return DeepestAt(Top, P, Hit);
}
} // namespace win

HWND WindowFromPoint(POINT Point)
{
    std::vector<HWND> List = gTopLevels;
    for (HWND H : List) {
        TWindow* W = Find(H);
        if (!W || !IsShown(W) || (W->Style & WS_DISABLED))
            continue;
        if (!ScreenWindowRect(W).contains(QPoint(Point.x, Point.y)))
            continue;
        if (HWND R = DeepestAt(H, Point, nullptr))
            return R;
    }
    return nullptr;
}

HWND ChildWindowFromPointEx(HWND Parent, POINT Point, UINT Flags)
{
    TWindow* P = Find(Parent);
    if (!P)
        return nullptr;
    if (Point.x < 0 || Point.y < 0 || Point.x >= P->ClientWidth() || Point.y >= P->ClientHeight())
        return nullptr;
    for (HWND K : P->Children) {
        TWindow* KW = Find(K);
        if (!KW)
            continue;
        if ((Flags & CWP_SKIPINVISIBLE) && !(KW->Style & WS_VISIBLE))
            continue;
        if ((Flags & CWP_SKIPDISABLED) && (KW->Style & WS_DISABLED))
            continue;
        if ((Flags & CWP_SKIPTRANSPARENT) && (KW->ExStyle & WS_EX_TRANSPARENT))
            continue;
        if (PtInRect(&KW->Window, Point))
            return K;
    }
    return Parent;
}

HWND ChildWindowFromPoint(HWND Parent, POINT Point)
{
    return ChildWindowFromPointEx(Parent, Point, CWP_ALL);
}

BOOL AdjustWindowRectEx(RECT* Rect, DWORD Style, BOOL Menu, DWORD ExStyle)
{
    if (!Rect)
        return FALSE;
    TFrame F = FrameOf(Style, ExStyle, (Style & WS_CHILD) != 0, Menu != FALSE);
    int B = F.Border + F.Edge;
    Rect->left -= B;
    Rect->right += B;
    Rect->top -= B + F.Caption + F.Menu;
    Rect->bottom += B;
    if (Style & WS_VSCROLL)
        Rect->right += GetSystemMetrics(SM_CXVSCROLL);
    if (Style & WS_HSCROLL)
        Rect->bottom += GetSystemMetrics(SM_CYHSCROLL);
    return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Showing and enabling

namespace win {
HWND NextToActivate(HWND Leaving)
{
    TWindow* L = Find(Leaving);
    if (L && L->Owner)
        if (TWindow* O = Find(L->Owner); O && IsShown(O) && !(O->Style & WS_DISABLED))
            return O->Handle;
    for (HWND H : gTopLevels) {
        TWindow* W = Find(H);
        if (H != Leaving && W && IsShown(W) && !(W->Style & WS_DISABLED) &&
            !(W->ExStyle & WS_EX_NOACTIVATE) && !(W->ExStyle & WS_EX_TOOLWINDOW) && !IsDescendant(Leaving, H))
            return H;
    }
    return nullptr;
}

} // namespace win

namespace {

void Maximize(HWND Wnd, bool Activate)
{
    TWindow* W = Find(Wnd);
    if (!W)
        return;
    if (!(W->Style & (WS_MAXIMIZE | WS_MINIMIZE)))
        W->RestoreRect = W->Window;
    W->Style = (W->Style | WS_MAXIMIZE) & ~WS_MINIMIZE;
    RECT R;
    if (W->Parent) {
        GetClientRect(W->Parent, &R);
        TFrame F = FrameOf(W->Style, W->ExStyle, true, false);
        InflateRect(&R, F.Border + F.Edge, F.Border + F.Edge);
        R.top -= F.Caption;
    } else {
        SystemParametersInfo(SPI_GETWORKAREA, 0, &R, 0);
        TFrame F = FrameOf(W->Style, W->ExStyle, false, W->Menu != nullptr);
        if (F.Sizable)
            InflateRect(&R, F.Border, F.Border);
    }
    W->Style |= WS_VISIBLE;
    SetWindowPos(Wnd, HWND_TOP, R.left, R.top, R.right - R.left, R.bottom - R.top,
                 SWP_FRAMECHANGED | (Activate ? 0 : SWP_NOACTIVATE));
    if ((W = Find(Wnd)))
        SendMessage(Wnd, WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(W->ClientWidth(), W->ClientHeight()));
}

void Minimize(HWND Wnd, bool Activate)
{
    TWindow* W = Find(Wnd);
    if (!W)
        return;
    if (!(W->Style & (WS_MAXIMIZE | WS_MINIMIZE)))
        W->RestoreRect = W->Window;
    bool WasActive = GetActiveWindow() == Wnd;
    W->Style = (W->Style | WS_MINIMIZE | WS_VISIBLE) & ~WS_MAXIMIZE;
    int Wd = GetSystemMetrics(SM_CXMINIMIZED), Ht = GetSystemMetrics(SM_CYMINIMIZED);
    RECT R;
    if (W->Parent) {
        RECT PC;
        GetClientRect(W->Parent, &PC);
        R = Bounds(0, PC.bottom - Ht, Wd, Ht);
    } else {
        R = Bounds(-32000, -32000, Wd, Ht);
    }
    SetWindowPos(Wnd, nullptr, R.left, R.top, Wd, Ht, SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    if (!(W = Find(Wnd)))
        return;
    SendMessage(Wnd, WM_SIZE, SIZE_MINIMIZED, 0);
    (void)WasActive;
    (void)Activate;
}

void Restore(HWND Wnd, bool Activate)
{
    TWindow* W = Find(Wnd);
    if (!W)
        return;
    RECT R = W->RestoreRect;
    W->Style = (W->Style & ~(WS_MINIMIZE | WS_MAXIMIZE)) | WS_VISIBLE;
    SetWindowPos(Wnd, HWND_TOP, R.left, R.top, R.right - R.left, R.bottom - R.top,
                 SWP_FRAMECHANGED | (Activate ? 0 : SWP_NOACTIVATE));
    if ((W = Find(Wnd)))
        InvalidateWhole(W, true, true);
}

} // namespace

BOOL ShowWindow(HWND Wnd, int CmdShow)
{
    TWindow* W = Find(Wnd);
    if (!W)
        return FALSE;
    BOOL WasVisible = (W->Style & WS_VISIBLE) ? TRUE : FALSE;
    bool Child = W->Parent != nullptr;
    switch (CmdShow) {
    case SW_HIDE:
        if (!WasVisible)
            break;
        SendMessage(Wnd, WM_SHOWWINDOW, FALSE, 0);
        if (Find(Wnd)) {
            SetWindowPos(Wnd, nullptr, 0, 0, 0, 0,
                         SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        break;
    case SW_SHOWMAXIMIZED:
        if (!WasVisible)
            SendMessage(Wnd, WM_SHOWWINDOW, TRUE, 0);
        Maximize(Wnd, true);
        break;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE:
        if (!WasVisible)
            SendMessage(Wnd, WM_SHOWWINDOW, TRUE, 0);
        Minimize(Wnd, CmdShow == SW_SHOWMINIMIZED);
        break;
    case SW_RESTORE:
    case SW_SHOWNORMAL:
    case SW_SHOWDEFAULT:
        if (!WasVisible)
            SendMessage(Wnd, WM_SHOWWINDOW, TRUE, 0);
        if (Find(Wnd) && (Find(Wnd)->Style & (WS_MINIMIZE | WS_MAXIMIZE)))
            Restore(Wnd, !Child);
        else if (Find(Wnd))
            SetWindowPos(Wnd, HWND_TOP, 0, 0, 0, 0,
                         SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | (Child ? SWP_NOZORDER : 0));
        break;
    default: // SW_SHOW, SW_SHOWNA, SW_SHOWNOACTIVE
        if (WasVisible && CmdShow != SW_SHOW)
            break;
        if (!WasVisible)
            SendMessage(Wnd, WM_SHOWWINDOW, TRUE, 0);
        if (Find(Wnd)) {
            bool Activate = CmdShow == SW_SHOW && !Child;
            SetWindowPos(Wnd, HWND_TOP, 0, 0, 0, 0,
                         SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE |
                             (Activate ? 0 : SWP_NOACTIVATE | SWP_NOZORDER));
        }
        break;
    }
    return WasVisible;
}

BOOL GetWindowPlacement(HWND Wnd, WINDOWPLACEMENT* Placement)
{
    TWindow* W = Find(Wnd);
    if (!W || !Placement)
        return FALSE;
    Placement->flags = 0;
    Placement->showCmd = !(W->Style & WS_VISIBLE)   ? SW_HIDE
                         : (W->Style & WS_MINIMIZE) ? SW_SHOWMINIMIZED
                         : (W->Style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED
                                                    : SW_SHOWNORMAL;
    Placement->ptMinPosition = POINT{-1, -1};
    Placement->ptMaxPosition = POINT{-1, -1};
    Placement->rcNormalPosition = (W->Style & (WS_MINIMIZE | WS_MAXIMIZE)) ? W->RestoreRect : W->Window;
    return TRUE;
}

BOOL SetWindowPlacement(HWND Wnd, const WINDOWPLACEMENT* Placement)
{
    TWindow* W = Find(Wnd);
    if (!W || !Placement)
        return FALSE;
    const RECT& R = Placement->rcNormalPosition;
    if (W->Style & (WS_MINIMIZE | WS_MAXIMIZE))
        W->RestoreRect = R;
    else
        SetWindowPos(Wnd, nullptr, R.left, R.top, R.right - R.left, R.bottom - R.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    if (Find(Wnd))
        ShowWindow(Wnd, static_cast<int>(Placement->showCmd));
    return TRUE;
}

BOOL IsWindowVisible(HWND Wnd)
{
    TWindow* W = Find(Wnd);
    if (!W)
        return IsDesktop(Wnd);
    for (TWindow* X = W; X; X = X->Parent ? Find(X->Parent) : nullptr)
        if (!(X->Style & WS_VISIBLE))
            return FALSE;
    return TRUE;
}

BOOL IsWindowEnabled(HWND Wnd)
{
    TWindow* W = Find(Wnd);
    return W ? !(W->Style & WS_DISABLED) : IsDesktop(Wnd);
}

BOOL EnableWindow(HWND Wnd, BOOL Enable)
{
    TWindow* W = Find(Wnd);
    if (!W)
        return FALSE;
    BOOL WasDisabled = (W->Style & WS_DISABLED) ? TRUE : FALSE;
    if (WasDisabled == !Enable)
        return WasDisabled;
    if (!Enable) {
        WindowDisabled(Wnd);
        if (!(W = Find(Wnd)))
            return WasDisabled;
        W->Style |= WS_DISABLED;
    } else {
        W->Style &= ~WS_DISABLED;
    }
    SendMessage(Wnd, WM_ENABLE, Enable ? TRUE : FALSE, 0);
    return WasDisabled;
}

BOOL IsIconic(HWND Wnd)
{
    TWindow* W = Find(Wnd);
    return W && (W->Style & WS_MINIMIZE);
}

BOOL IsZoomed(HWND Wnd)
{
    TWindow* W = Find(Wnd);
    return W && (W->Style & WS_MAXIMIZE);
}

// ---------------------------------------------------------------------------------------------
// System metrics and parameters

namespace {
// Tests run on the offscreen platform against one fixed screen, so every machine lays windows
// out alike; on a real display the model's screen is the primary screen.
struct TScreenGeometry {
    int Width = 1024;
    int Height = 768;
    RECT WorkArea{0, 0, 1024, 740};
};

const TScreenGeometry& ScreenGeometry()
{
    static TScreenGeometry Geometry;
    static bool Known = false;
    if (Known)
        return Geometry;
    // Until the application object exists nothing is known of the display: answer the fixed
    // screen without keeping it.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return Geometry;
    Known = true;
    Geometry = [] {
        TScreenGeometry G;
        if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
            if (QScreen* Screen = QGuiApplication::primaryScreen()) {
                const QRect Full = Screen->geometry();
                const QRect Avail = Screen->availableGeometry();
                if (Full.width() > 0 && Full.height() > 0) {
                    G.Width = Full.width();
                    G.Height = Full.height();
                    G.WorkArea = RECT{Avail.left() - Full.left(), Avail.top() - Full.top(),
                                      Avail.right() + 1 - Full.left(), Avail.bottom() + 1 - Full.top()};
                }
            }
        }
        gdi::SetScreenSize(G.Width, G.Height);
        return G;
    }();
    return Geometry;
}

// Set through SPI_SETWORKAREA; otherwise the screen's own.
std::optional<RECT> gWorkAreaSet;
// Set through SPI_SETNONCLIENTMETRICS; otherwise the fixed table.
std::optional<NONCLIENTMETRICS> gMetricsSet;

RECT WorkArea()
{
    return gWorkAreaSet ? *gWorkAreaSet : ScreenGeometry().WorkArea;
}

void ClassicFont(LOGFONT& F, bool Bold)
{
    F = LOGFONT();
    F.lfHeight = -11;
    F.lfWeight = Bold ? FW_BOLD : FW_NORMAL;
    F.lfCharSet = DEFAULT_CHARSET;
    std::strncpy(F.lfFaceName, "MS Sans Serif", LF_FACESIZE - 1);
}
} // namespace

int GetSystemMetrics(int Index)
{
    switch (Index) {
    case SM_CXSCREEN:
        return ScreenGeometry().Width;
    case SM_CYSCREEN:
        return ScreenGeometry().Height;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL:
    case SM_CYVTHUMB:
    case SM_CXHTHUMB:
        return 16;
    case SM_CYCAPTION:
        return 19;
    case SM_CXBORDER:
    case SM_CYBORDER:
        return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
        return 3;
    case SM_CXFRAME:
    case SM_CYFRAME:
        return 4;
    case SM_CXEDGE:
    case SM_CYEDGE:
        return 2;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR:
        return 32;
    case SM_CXSMICON:
    case SM_CYSMICON:
        return 16;
    case SM_CYMENU:
        return 19;
    case SM_CXFULLSCREEN:
        return WorkArea().right - WorkArea().left;
    case SM_CYFULLSCREEN:
        return WorkArea().bottom - WorkArea().top - 19;
    case SM_MOUSEPRESENT:
        return 1;
    case SM_MOUSEWHEELPRESENT:
        return 1;
    case SM_CMOUSEBUTTONS:
        return 3;
    case SM_SWAPBUTTON:
        return 0;
    case SM_DEBUG:
        return 0;
    case SM_CXMIN:
        return 112;
    case SM_CYMIN:
        return 27;
    case SM_CXSIZE:
    case SM_CYSIZE:
        return 18;
    case SM_CXSMSIZE:
    case SM_CYSMSIZE:
        return 13;
    case SM_CYSMCAPTION:
        return 15;
    case SM_CXMENUSIZE:
    case SM_CYMENUSIZE:
        return 18;
    case SM_CXMINTRACK:
        return 112;
    case SM_CYMINTRACK:
        return 27;
    case SM_CXMAXTRACK:
        return 1036;
    case SM_CYMAXTRACK:
        return 780;
    case SM_CXMAXIMIZED:
        return WorkArea().right - WorkArea().left + 8;
    case SM_CYMAXIMIZED:
        return WorkArea().bottom - WorkArea().top + 8;
    case SM_CXMINIMIZED:
        return 160;
    case SM_CYMINIMIZED:
        return 24;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
    case SM_CXDRAG:
    case SM_CYDRAG:
        return 4;
    case SM_CXICONSPACING:
    case SM_CYICONSPACING:
        return 75;
    case SM_CXMINSPACING:
        return 160;
    case SM_CYMINSPACING:
        return 24;
    case SM_CXMENUCHECK:
    case SM_CYMENUCHECK:
        return 13;
    case SM_CMONITORS:
        return 1;
    default:
        return 0;
    }
}

BOOL SystemParametersInfo(UINT Action, UINT UiParam, void* PvParam, UINT)
{
    switch (Action) {
    case SPI_GETWORKAREA:
        if (!PvParam)
            return FALSE;
        *static_cast<RECT*>(PvParam) = WorkArea();
        return TRUE;
    case SPI_SETWORKAREA:
        if (PvParam)
            gWorkAreaSet = *static_cast<const RECT*>(PvParam);
        else
            gWorkAreaSet.reset();
        return TRUE;
    case SPI_SETNONCLIENTMETRICS:
        if (PvParam)
            gMetricsSet = *static_cast<const NONCLIENTMETRICS*>(PvParam);
        else
            gMetricsSet.reset();
        return TRUE;
    case SPI_GETNONCLIENTMETRICS: {
        auto* M = static_cast<NONCLIENTMETRICS*>(PvParam);
        if (!M || (UiParam != sizeof(NONCLIENTMETRICS) && M->cbSize != sizeof(NONCLIENTMETRICS)))
            return FALSE;
        if (gMetricsSet) {
            *M = *gMetricsSet;
            M->cbSize = sizeof(NONCLIENTMETRICS);
            return TRUE;
        }
        M->cbSize = sizeof(NONCLIENTMETRICS);
        M->iBorderWidth = 1;
        M->iScrollWidth = 16;
        M->iScrollHeight = 16;
        M->iCaptionWidth = 18;
        M->iCaptionHeight = 18;
        ClassicFont(M->lfCaptionFont, true);
        M->iSmCaptionWidth = 12;
        M->iSmCaptionHeight = 14;
        ClassicFont(M->lfSmCaptionFont, true);
        M->iMenuWidth = 18;
        M->iMenuHeight = 18;
        ClassicFont(M->lfMenuFont, false);
        ClassicFont(M->lfStatusFont, false);
        ClassicFont(M->lfMessageFont, false);
        return TRUE;
    }
    case SPI_GETICONTITLELOGFONT:
        if (!PvParam)
            return FALSE;
        ClassicFont(*static_cast<LOGFONT*>(PvParam), false);
        return TRUE;
    case SPI_GETBORDER:
        if (PvParam)
            *static_cast<int*>(PvParam) = 1;
        return PvParam != nullptr;
    case SPI_GETWHEELSCROLLLINES:
        if (PvParam)
            *static_cast<UINT*>(PvParam) = 3;
        return PvParam != nullptr;
    case SPI_GETDRAGFULLWINDOWS:
        if (PvParam)
            *static_cast<BOOL*>(PvParam) = TRUE;
        return PvParam != nullptr;
    case SPI_GETMENUANIMATION:
    case SPI_GETCOMBOBOXANIMATION:
    case SPI_GETTOOLTIPANIMATION:
        if (PvParam)
            *static_cast<BOOL*>(PvParam) = FALSE;
        return PvParam != nullptr;
    case SPI_GETKEYBOARDDELAY:
        if (PvParam)
            *static_cast<int*>(PvParam) = 1;
        return PvParam != nullptr;
    case SPI_GETKEYBOARDSPEED:
        if (PvParam)
            *static_cast<DWORD*>(PvParam) = 31;
        return PvParam != nullptr;
    default:
        return FALSE;
    }
}

// ---------------------------------------------------------------------------------------------
// Modules

HMODULE GetModuleHandle(const char* ModuleName)
{
    static int Self, User32, Kernel32, Gdi32, Shell32;
    if (!ModuleName)
        return reinterpret_cast<HMODULE>(&Self);
    std::string N = Lower(ModuleName);
    if (N.size() > 4 && N.compare(N.size() - 4, 4, ".dll") == 0)
        N.resize(N.size() - 4);
    if (N == "user32")
        return reinterpret_cast<HMODULE>(&User32);
    if (N == "kernel32")
        return reinterpret_cast<HMODULE>(&Kernel32);
    if (N == "gdi32")
        return reinterpret_cast<HMODULE>(&Gdi32);
    if (N == "shell32")
        return reinterpret_cast<HMODULE>(&Shell32);
    return nullptr;
}

HMODULE LoadLibrary(const char*)
{
    return nullptr;
}
BOOL FreeLibrary(HMODULE)
{
    return FALSE;
}
void* GetProcAddress(HMODULE, const char*)
{
    return nullptr;
}
