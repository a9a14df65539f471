// The message queue: posting, sending through the hook chain, reading with filters, input
// turned into messages, key state, capture, focus and activation, cursors, timers and the clock.
#include "platform/graphics/Graphics.h"
#include "platform/graphics/Resources.h"
#include "platform/qt/WinState.h"
#include "platform/rtl/SysUtils.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <list>
#include <map>
#include <mutex>
#include <set>

using namespace win;

namespace {

// ---- state ----------------------------------------------------------------------------------
std::mutex gPostLock;
std::deque<MSG> gPosted;
std::deque<TRawInput> gInput;
bool gQuit = false;
int gQuitCode = 0;

HWND gCapture = nullptr;
HWND gFocus = nullptr;
HWND gActive = nullptr;
HWND gLastActive = nullptr;
bool gAppActive = true;
HWND gTracked = nullptr;

BYTE gKeys[256] = {};
BYTE gAsync[256] = {};
POINT gCursor{512, 384};
bool gClipOn = false;
RECT gClip;
DWORD gLastTime = 0;
POINT gLastPos;

int gDispatchDepth = 0;
int gSendDepth = 0;
std::thread::id gGuiThread = std::this_thread::get_id();

// Double clicks.
UINT gLastDownMsg = 0;
HWND gLastDownWnd = nullptr;
DWORD gLastDownTime = 0;
POINT gLastDownPt;
UINT gDoubleClickTime = 500;

// The clock.
bool gTestClock = false;
DWORD gTestTime = 0;
std::function<bool()> gWaitHandler;
DWORD RealNow()
{
    using namespace std::chrono;
    static const auto Start = steady_clock::now();
    return static_cast<DWORD>(duration_cast<milliseconds>(steady_clock::now() - Start).count()) + 1000;
}

// Timers.
struct TTimer {
    HWND Wnd = nullptr;
    UINT_PTR Id = 0;
    UINT Elapse = 0;
    DWORD Due = 0;
    TIMERPROC Proc = nullptr;
};
std::vector<TTimer> gTimers;
UINT_PTR gNextTimerId = 0x7000;

// Hooks.
struct THook {
    int Id = 0;
    HOOKPROC Proc = nullptr;
    bool Removed = false;
};
std::list<std::unique_ptr<THook>> gHooks; // newest first
int gHookDepth = 0;

// Native events kept for the replay to an attached widget.
struct TNative {
    HWND Wnd = nullptr;
    QPointer<QObject> Receiver;
    std::unique_ptr<QEvent> Event;
};
std::map<DWORD, TNative> gNative;
std::map<DWORD, std::u32string> gKeyText;
std::set<DWORD> gKeyTextIds; // native key presses that typed text (replayed with their WM_CHAR)
DWORD gNextInputId = 0;
DWORD gCurrentNative = 0;
bool gReplaying = false;

// Cursors.
std::list<std::unique_ptr<TCursorRec>> gCursors;
std::map<int, HCURSOR> gStandardCursors;
std::map<std::string, HCURSOR> gResourceCursors;
std::map<HCURSOR, std::unique_ptr<TCursorRec>> gImageCursors; // views of the shared icon store
HCURSOR gCurrentCursor = nullptr;
int gCursorShow = 0;

bool InRange(UINT Msg, UINT Min, UINT Max)
{
    return (Min == 0 && Max == 0) || (Msg >= Min && Msg <= Max);
}

bool MatchesWindow(HWND Filter, HWND Wnd)
{
    if (!Filter)
        return true;
    if (Filter == reinterpret_cast<HWND>(-1))
        return Wnd == nullptr;
    return Wnd && IsDescendant(Filter, Wnd);
}

struct TDepth {
    int& D;
    explicit TDepth(int& X) : D(X) { ++D; }
    ~TDepth() { --D; }
};

LRESULT CallHooks(int Id, int Code, WPARAM WParam, LPARAM LParam)
{
    for (auto& H : gHooks)
        if (H->Id == Id && !H->Removed) {
            TDepth Guard(gHookDepth);
            return H->Proc(Code, WParam, LParam);
        }
    return 0;
}

bool HasHooks(int Id)
{
    for (auto& H : gHooks)
        if (H->Id == Id && !H->Removed)
            return true;
    return false;
}

void PurgeHooks()
{
    if (gHookDepth)
        return;
    gHooks.remove_if([](const std::unique_ptr<THook>& H) { return H->Removed; });
}

void UpdateSyncKey(int Vk, bool Down)
{
    auto Set = [&](int K) {
        if (K <= 0 || K > 255)
            return;
        if (Down) {
            if (!(gKeys[K] & 0x80))
                gKeys[K] ^= 0x01;
            gKeys[K] |= 0x80;
        } else {
            gKeys[K] &= static_cast<BYTE>(~0x80);
        }
    };
    Set(Vk);
    if (Vk == VK_SHIFT)
        Set(VK_LSHIFT);
    if (Vk == VK_CONTROL)
        Set(VK_LCONTROL);
    if (Vk == VK_MENU)
        Set(VK_LMENU);
}

WPARAM MouseKeys(WPARAM Keys)
{
    return Keys & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON | MK_SHIFT | MK_CONTROL);
}

void CancelCaptureIn(HWND Wnd, bool SendToWnd)
{
    if (!gCapture || !IsDescendant(Wnd, gCapture))
        return;
    HWND C = gCapture;
    if (SendToWnd && C != Wnd)
        SendMessage(Wnd, WM_CANCELMODE, 0, 0);
    if (gCapture == C && Find(C))
        SendMessage(C, WM_CANCELMODE, 0, 0);
    if (gCapture == C)
        ReleaseCapture();
}

void KillFocusIn(HWND Wnd)
{
    if (gFocus && IsDescendant(Wnd, gFocus)) {
        HWND F = gFocus;
        gFocus = nullptr;
        SendMessage(F, WM_KILLFOCUS, 0, 0);
    }
}

HWND SetActiveCore(HWND Wnd, bool Click)
{
    HWND Old = gActive;
    if (Wnd) {
        Wnd = Root(Wnd);
        TWindow* W = Find(Wnd);
        if (!W || W->MessageOnly)
            return Old;
    }
    if (Wnd == Old)
        return Old;
    if (!gAppActive) {
        gLastActive = Wnd;
        return Old;
    }
    if (Old && gCapture && Root(gCapture) == Old)
        CancelCaptureIn(Old, false);
    gActive = Wnd;
    if (Old && Find(Old)) {
        SendMessage(Old, WM_NCACTIVATE, FALSE, 0);
        if (Find(Old))
            SendMessage(Old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, IsIconic(Old) ? 1 : 0),
                        reinterpret_cast<LPARAM>(Wnd));
    }
    if (Old && gFocus && IsDescendant(Old, gFocus) && !(Wnd && IsDescendant(Wnd, gFocus)))
        KillFocusIn(Old);
    if (Wnd && gActive == Wnd && Find(Wnd)) {
        std::vector<HWND>& Tops = TopLevels();
        if (!Tops.empty() && Tops.front() != Wnd)
            SetWindowPos(Wnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        if (Find(Wnd))
            SendMessage(Wnd, WM_NCACTIVATE, TRUE, 0);
        if (TWindow* W = Find(Wnd); W && gActive == Wnd)
            ActivateHost(W);
        if (Find(Wnd) && gActive == Wnd)
            SendMessage(Wnd, WM_ACTIVATE,
                        MAKEWPARAM(Click ? WA_CLICKACTIVE : WA_ACTIVE, IsIconic(Wnd) ? 1 : 0),
                        reinterpret_cast<LPARAM>(Old));
    }
    return Old;
}

// ---- input ----------------------------------------------------------------------------------

POINT P_in(HWND Wnd, POINT Screen)
{
    ScreenToClient(Wnd, &Screen);
    return Screen;
}

UINT ButtonDblClk(UINT Down)
{
    return Down + 2;
}
bool IsButtonDown(UINT M)
{
    return M == WM_LBUTTONDOWN || M == WM_RBUTTONDOWN || M == WM_MBUTTONDOWN;
}

void ConvertMouse(TRawInput& R)
{
    POINT P = R.Screen;
    gCursor = P;
    HWND Target = nullptr;
    int Hit = HTCLIENT;
    if (gCapture && Find(gCapture)) {
        Target = gCapture;
    } else if (R.Target && Find(R.Target)) {
        Target = R.Target;
    } else {
        if (!Find(R.Host)) {
            R.Discard = true;
            return;
        }
        Target = HitWindow(R.Host, P, &Hit);
    }
    if (!Target || !Find(Target)) {
        R.Discard = true;
        return;
    }
    if (gTracked && gTracked != Target) {
        PostMessage(gTracked, WM_MOUSELEAVE, 0, 0);
        gTracked = nullptr;
    }
    UINT Msg = R.Message;
    if (!gCapture) {
        HWND Top = Root(Target);
        TWindow* TW = Find(Target);
        if (!IsEnabledChain(TW)) {
            if (IsButtonDown(Msg))
                if (HWND Popup = GetWindow(Top, GW_ENABLEDPOPUP))
                    SetActiveWindow(Popup);
            if (Msg == WM_MOUSEMOVE)
                SetCursor(LoadCursor(nullptr, IDC_ARROW));
            R.Discard = true;
            return;
        }
        if (Msg == WM_MOUSEMOVE || IsButtonDown(Msg))
            SendMessage(Target, WM_SETCURSOR, reinterpret_cast<WPARAM>(Target),
                        MAKELPARAM(static_cast<WORD>(Hit), static_cast<WORD>(Msg)));
        if (!Find(Target)) {
            R.Discard = true;
            return;
        }
        if (IsButtonDown(Msg) && (Top != gActive || !gAppActive)) {
            LRESULT MA = SendMessage(Target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(Top),
                                     MAKELPARAM(static_cast<WORD>(Hit), static_cast<WORD>(Msg)));
            if (MA == MA_ACTIVATE || MA == MA_ACTIVATEANDEAT || MA == 0) {
                if (!gAppActive)
                    SetApplicationActive(true);
                SetActiveCore(Top, true);
            }
            if (MA == MA_ACTIVATEANDEAT || MA == MA_NOACTIVATEANDEAT || !Find(Target)) {
                R.Discard = true;
                return;
            }
        }
    }
    TWindow* W = Find(Target);
    bool Client = gCapture == Target || Hit == HTCLIENT;
    // The ancestors of a child hear of presses on it, innermost first: on its frame and scroll
    // bars too (a press on a document's scroll bar activates the document).
    if (IsButtonDown(Msg) && W && W->Parent && !gCapture) {
        for (HWND H = Target; TWindow* X = Find(H);) {
            if (!X->Parent || (X->ExStyle & WS_EX_NOPARENTNOTIFY))
                break;
            HWND P = X->Parent;
            POINT Q = P_in(P, R.Screen);
            SendMessage(P, WM_PARENTNOTIFY, MAKEWPARAM(static_cast<WORD>(Msg), 0), PointToLParam(Q.x, Q.y));
            H = P;
        }
        if (!(W = Find(Target))) {
            R.Discard = true;
            return;
        }
    }
    if (IsButtonDown(Msg)) {
        bool Dbl = Msg == gLastDownMsg && Target == gLastDownWnd &&
                   R.Time - gLastDownTime <= gDoubleClickTime &&
                   std::abs(P.x - gLastDownPt.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
                   std::abs(P.y - gLastDownPt.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2 &&
                   (!Client || (W->Class->Class.style & CS_DBLCLKS));
        if (Dbl) {
            Msg = ButtonDblClk(Msg);
            gLastDownMsg = 0;
        } else {
            gLastDownMsg = Msg;
            gLastDownWnd = Target;
            gLastDownTime = R.Time;
            gLastDownPt = P;
        }
    }
    if (HasHooks(WH_MOUSE)) {
        MOUSEHOOKSTRUCT MH;
        MH.pt = P;
        MH.hwnd = Target;
        MH.wHitTestCode = static_cast<UINT>(Hit);
        if (CallHooks(WH_MOUSE, HC_ACTION, Msg, reinterpret_cast<LPARAM>(&MH))) {
            R.Discard = true;
            return;
        }
        if (!(W = Find(Target))) {
            R.Discard = true;
            return;
        }
    }
    MSG& M = R.Msg;
    M.hwnd = Target;
    M.time = R.Time;
    M.pt = P;
    if (Client) {
        QPoint O = ClientOrigin(W);
        M.message = Msg;
        M.wParam = MouseKeys(R.Keys);
        M.lParam = PointToLParam(P.x - O.x(), P.y - O.y());
    } else {
        M.message = Msg - WM_MOUSEMOVE + WM_NCMOUSEMOVE;
        M.wParam = static_cast<WPARAM>(Hit);
        M.lParam = PointToLParam(P.x, P.y);
    }
}

void ConvertKey(TRawInput& R)
{
    HWND Target = gFocus && Find(gFocus) ? gFocus : gActive;
    if (!Target || !Find(Target)) {
        R.Discard = true;
        return;
    }
    int Vk = static_cast<int>(R.Keys);
    bool Down = R.Message == WM_KEYDOWN;
    bool WasDown = (gKeys[Vk & 0xFF] & 0x80) != 0;
    UpdateSyncKey(Vk, Down);
    bool Alt = (gKeys[VK_MENU] & 0x80) != 0;
    bool Ctrl = (gKeys[VK_CONTROL] & 0x80) != 0;
    bool Sys = !gFocus || (Alt && !Ctrl) || Vk == VK_F10 || (Vk == VK_MENU);
    if (HasHooks(WH_KEYBOARD)) {
        LPARAM KD =
            R.KeyData | (Alt ? (1 << 29) : 0) | (WasDown ? (1 << 30) : 0) | (Down ? 0 : (LPARAM(1) << 31));
        if (CallHooks(WH_KEYBOARD, HC_ACTION, static_cast<WPARAM>(Vk), KD)) {
            R.Discard = true;
            return;
        }
    }
    MSG& M = R.Msg;
    M.hwnd = Target;
    M.message = Down ? (Sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (Sys ? WM_SYSKEYUP : WM_KEYUP);
    M.wParam = static_cast<WPARAM>(Vk);
    M.lParam = (R.KeyData & 0x01FFFFFF) | 1 | (Alt ? (1 << 29) : 0) | ((WasDown || !Down) ? (1 << 30) : 0) |
               (Down ? 0 : static_cast<LPARAM>(static_cast<DWORD>(1u << 31)));
    if (!Down)
        M.lParam = static_cast<LPARAM>(static_cast<std::uint32_t>(M.lParam));
    M.time = R.Time;
    M.pt = gCursor;
    if (Down && !R.Text.empty()) {
        gKeyText[R.NativeId] = R.Text;
        if (gNative.count(R.NativeId))
            gKeyTextIds.insert(R.NativeId);
    }
}

void ConvertWheel(TRawInput& R)
{
    gCursor = R.Screen;
    HWND Target = gFocus && Find(gFocus) ? gFocus : nullptr;
    if (!Target) {
        int Hit = 0;
        Target = Find(R.Host) ? HitWindow(R.Host, R.Screen, &Hit) : nullptr;
    }
    if (!Target) {
        R.Discard = true;
        return;
    }
    MSG& M = R.Msg;
    M.hwnd = Target;
    M.message = WM_MOUSEWHEEL;
    M.wParam = MAKEWPARAM(static_cast<WORD>(MouseKeys(R.Keys)),
                          static_cast<WORD>(static_cast<SmallInt>(R.WheelDelta)));
    M.lParam = PointToLParam(R.Screen.x, R.Screen.y);
    M.time = R.Time;
    M.pt = R.Screen;
}

void Convert(TRawInput& R)
{
    R.Converted = true;
    switch (R.Kind) {
    case TRawInput::Mouse:
        ConvertMouse(R);
        break;
    case TRawInput::Key:
        ConvertKey(R);
        break;
    case TRawInput::Wheel:
        ConvertWheel(R);
        break;
    case TRawInput::Leave:
        if (gTracked) {
            PostMessage(gTracked, WM_MOUSELEAVE, 0, 0);
            gTracked = nullptr;
        }
        R.Discard = true;
        break;
    }
    R.Msg.lPrivate = R.NativeId;
    if (!R.Discard && R.Kind == TRawInput::Mouse) {
        if (R.Msg.message == WM_LBUTTONDOWN || R.Msg.message == WM_LBUTTONDBLCLK)
            UpdateSyncKey(VK_LBUTTON, true);
        if (R.Msg.message == WM_RBUTTONDOWN || R.Msg.message == WM_RBUTTONDBLCLK)
            UpdateSyncKey(VK_RBUTTON, true);
        if (R.Msg.message == WM_MBUTTONDOWN || R.Msg.message == WM_MBUTTONDBLCLK)
            UpdateSyncKey(VK_MBUTTON, true);
        if (R.Message == WM_LBUTTONUP)
            UpdateSyncKey(VK_LBUTTON, false);
        if (R.Message == WM_RBUTTONUP)
            UpdateSyncKey(VK_RBUTTON, false);
        if (R.Message == WM_MBUTTONUP)
            UpdateSyncKey(VK_MBUTTON, false);
    }
}

bool InputRange(UINT Min, UINT Max)
{
    if (Min == 0 && Max == 0)
        return true;
    auto Overlaps = [&](UINT A, UINT B) { return Min <= B && Max >= A; };
    return Overlaps(WM_KEYFIRST, WM_KEYLAST) || Overlaps(WM_MOUSEFIRST, WM_MOUSELAST) ||
           Overlaps(WM_NCMOUSEMOVE, WM_NCMBUTTONDBLCLK);
}

// Parent before children, top-level windows in z-order.
HWND FindPaint(HWND Wnd, HWND Filter)
{
    TWindow* W = Find(Wnd);
    if (!W || !IsShown(W) || W->RedrawOff)
        return nullptr;
    if (IsLocked(W))
        return nullptr;
    if (NeedsPaint(W) && MatchesWindow(Filter, Wnd))
        return Wnd;
    for (HWND K : W->Children)
        if (HWND P = FindPaint(K, Filter))
            return P;
    return nullptr;
}

bool PeekCore(MSG* Out, HWND Wnd, UINT Min, UINT Max, UINT Remove, bool Hooks = true)
{
    if (gDispatchDepth == 0)
        DestroyGraveyard();
    PurgeHooks();
    bool Rem = (Remove & PM_REMOVE) != 0;
    MSG M;
    bool Got = false;
    {
        std::lock_guard<std::mutex> Lock(gPostLock);
        for (auto It = gPosted.begin(); It != gPosted.end(); ++It)
            if (MatchesWindow(Wnd, It->hwnd) && InRange(It->message, Min, Max)) {
                M = *It;
                if (Rem)
                    gPosted.erase(It);
                Got = true;
                break;
            }
    }
    if (!Got && InputRange(Min, Max)) {
        for (std::size_t I = 0; I < gInput.size();) {
            if (!gInput[I].Converted) {
                // Mouse moves are coalesced: only the latest of a run counts.
                if (gInput[I].Kind == TRawInput::Mouse && gInput[I].Message == WM_MOUSEMOVE &&
                    I + 1 < gInput.size() && gInput[I + 1].Kind == TRawInput::Mouse &&
                    gInput[I + 1].Message == WM_MOUSEMOVE && gInput[I + 1].Keys == gInput[I].Keys &&
                    !gInput[I + 1].Converted) {
                    gInput.erase(gInput.begin() + static_cast<std::ptrdiff_t>(I));
                    continue;
                }
                // Converting sends messages whose handlers may read the queue again: mark the
                // entry first and find it again by its id afterwards.
                gInput[I].Converted = true;
                TRawInput Copy = gInput[I];
                Convert(Copy);
                auto It = std::find_if(gInput.begin(), gInput.end(),
                                       [&](const TRawInput& R) { return R.NativeId == Copy.NativeId; });
                if (It == gInput.end())
                    continue; // consumed meanwhile; I now names the next entry
                *It = std::move(Copy);
                I = static_cast<std::size_t>(It - gInput.begin());
            }
            if (gInput[I].Discard) {
                gInput.erase(gInput.begin() + static_cast<std::ptrdiff_t>(I));
                continue;
            }
            const MSG& IM = gInput[I].Msg;
            if (MatchesWindow(Wnd, IM.hwnd) && InRange(IM.message, Min, Max)) {
                M = IM;
                if (Rem)
                    gInput.erase(gInput.begin() + static_cast<std::ptrdiff_t>(I));
                Got = true;
                break;
            }
            ++I;
        }
    }
    if (!Got && gQuit) {
        M = MSG();
        M.message = WM_QUIT;
        M.wParam = static_cast<WPARAM>(gQuitCode);
        M.time = ClockNow();
        M.pt = gCursor;
        if (Rem)
            gQuit = false;
        Got = true;
    }
    if (!Got && InRange(WM_PAINT, Min, Max)) {
        std::vector<HWND> Tops = TopLevels();
        for (HWND T : Tops)
            if (HWND P = FindPaint(T, Wnd)) {
                M = MSG();
                M.hwnd = P;
                M.message = WM_PAINT;
                M.time = ClockNow();
                M.pt = gCursor;
                Got = true;
                break;
            }
    }
    if (!Got && InRange(WM_TIMER, Min, Max)) {
        DWORD T = ClockNow();
        TTimer* Best = nullptr;
        for (TTimer& X : gTimers)
            if (static_cast<std::int32_t>(T - X.Due) >= 0 && MatchesWindow(Wnd, X.Wnd) &&
                (!Best || static_cast<std::int32_t>(X.Due - Best->Due) < 0))
                Best = &X;
        if (Best) {
            M = MSG();
            M.hwnd = Best->Wnd;
            M.message = WM_TIMER;
            M.wParam = Best->Id;
            M.lParam = reinterpret_cast<LPARAM>(Best->Proc);
            M.time = T;
            M.pt = gCursor;
            if (Rem)
                Best->Due = T + Best->Elapse;
            Got = true;
        }
    }
    if (!Got)
        return false;
    if (M.time == 0)
        M.time = ClockNow();
    if (Hooks && HasHooks(WH_GETMESSAGE))
        CallHooks(WH_GETMESSAGE, HC_ACTION, Rem ? PM_REMOVE : PM_NOREMOVE, reinterpret_cast<LPARAM>(&M));
    if (Rem) {
        gLastTime = M.time;
        gLastPos = M.pt;
    }
    if (Out)
        *Out = M;
    return true;
}

// Whether something the filter takes is waiting (looked at without hooks and left queued).
bool PendingFor(HWND Wnd, UINT Min, UINT Max)
{
    MSG M;
    return PeekCore(&M, Wnd, Min, Max, PM_NOREMOVE, false);
}

TCursorRec* NewCursor()
{
    gCursors.push_back(std::make_unique<TCursorRec>());
    return gCursors.back().get();
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Internal entry points

namespace win {

DWORD ClockNow()
{
    return gTestClock ? gTestTime : RealNow();
}

DWORD NewInputId()
{
    return ++gNextInputId;
}

void QueueInput(TRawInput Input)
{
    if (!Input.NativeId)
        Input.NativeId = NewInputId();
    if (Input.Time == 0)
        Input.Time = ClockNow();
    if (gClipOn && (Input.Kind == TRawInput::Mouse || Input.Kind == TRawInput::Wheel)) {
        Input.Screen.x = std::clamp(Input.Screen.x, gClip.left, std::max(gClip.left, gClip.right - 1));
        Input.Screen.y = std::clamp(Input.Screen.y, gClip.top, std::max(gClip.top, gClip.bottom - 1));
    }
    if (Input.Kind == TRawInput::Mouse || Input.Kind == TRawInput::Wheel)
        gCursor = Input.Screen;
    gInput.push_back(std::move(Input));
}

void NoteAsyncKey(int VirtKey, bool Down)
{
    if (VirtKey <= 0 || VirtKey > 255)
        return;
    if (Down)
        gAsync[VirtKey] |= 0x80;
    else
        gAsync[VirtKey] &= static_cast<BYTE>(~0x80);
}

void SetMousePosition(POINT P)
{
    gCursor = P;
}

void WindowDestroyed(HWND Wnd)
{
    {
        std::lock_guard<std::mutex> Lock(gPostLock);
        gPosted.erase(
            std::remove_if(gPosted.begin(), gPosted.end(), [&](const MSG& M) { return M.hwnd == Wnd; }),
            gPosted.end());
    }
    gInput.erase(std::remove_if(gInput.begin(), gInput.end(),
                                [&](const TRawInput& R) {
                                    return R.Host == Wnd || R.Target == Wnd ||
                                           (R.Converted && R.Msg.hwnd == Wnd);
                                }),
                 gInput.end());
    gTimers.erase(
        std::remove_if(gTimers.begin(), gTimers.end(), [&](const TTimer& T) { return T.Wnd == Wnd; }),
        gTimers.end());
    if (gCapture == Wnd)
        gCapture = nullptr;
    if (gFocus == Wnd)
        gFocus = nullptr;
    if (gActive == Wnd)
        gActive = nullptr;
    if (gLastActive == Wnd)
        gLastActive = nullptr;
    if (gTracked == Wnd)
        gTracked = nullptr;
    if (gLastDownWnd == Wnd)
        gLastDownWnd = nullptr;
    for (auto It = gNative.begin(); It != gNative.end();)
        It = It->second.Wnd == Wnd ? gNative.erase(It) : std::next(It);
}

void WindowHidden(HWND Wnd)
{
    CancelCaptureIn(Wnd, false);
    KillFocusIn(Wnd);
    if (gActive && IsDescendant(Wnd, gActive))
        SetActiveCore(NextToActivate(gActive), false);
}

void WindowDisabled(HWND Wnd)
{
    if (gCapture && IsDescendant(Wnd, gCapture))
        CancelCaptureIn(Wnd, true);
    KillFocusIn(Wnd);
}

LRESULT SendCore(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam, bool Sent)
{
    TWindow* W = Find(Wnd);
    if (!W)
        return 0;
    if (HasHooks(WH_CALLWNDPROC)) {
        CWPSTRUCT C;
        C.lParam = LParam;
        C.wParam = WParam;
        C.message = Msg;
        C.hwnd = Wnd;
        CallHooks(WH_CALLWNDPROC, HC_ACTION, Sent ? 1 : 0, reinterpret_cast<LPARAM>(&C));
        if (!(W = Find(Wnd)))
            return 0;
    }
    WNDPROC Proc = W->Proc;
    LRESULT R;
    {
        struct TSendDepth {
            bool On;
            explicit TSendDepth(bool O) : On(O) { gSendDepth += On ? 1 : 0; }
            ~TSendDepth() { gSendDepth -= On ? 1 : 0; }
        } SendGuard(Sent);
        TDepth Guard(gDispatchDepth);
        R = Proc ? Proc(Wnd, Msg, WParam, LParam) : DefWindowProc(Wnd, Msg, WParam, LParam);
    }
    if (HasHooks(WH_CALLWNDPROCRET) && Find(Wnd)) {
        CWPRETSTRUCT C;
        C.lResult = R;
        C.lParam = LParam;
        C.wParam = WParam;
        C.message = Msg;
        C.hwnd = Wnd;
        CallHooks(WH_CALLWNDPROCRET, HC_ACTION, Sent ? 1 : 0, reinterpret_cast<LPARAM>(&C));
    }
    return R;
}

void WakeQueue()
{
    if (QCoreApplication* App = QCoreApplication::instance())
        QCoreApplication::postEvent(App, new QEvent(QEvent::User));
}

DWORD StoreNativeEvent(HWND Wnd, QObject* Receiver, QEvent* Clone)
{
    DWORD Id = NewInputId();
    TNative N;
    N.Wnd = Wnd;
    N.Receiver = Receiver;
    N.Event.reset(Clone);
    gNative[Id] = std::move(N);
    while (gNative.size() > 256) {
        gKeyTextIds.erase(gNative.begin()->first);
        gNative.erase(gNative.begin());
    }
    return Id;
}

bool ReplayNativeEvent(HWND Wnd, UINT Msg, WPARAM WParam)
{
    if (!gCurrentNative)
        return false;
    auto It = gNative.find(gCurrentNative);
    if (It == gNative.end() || It->second.Wnd != Wnd)
        return false;
    bool KeyDown = Msg == WM_KEYDOWN || Msg == WM_SYSKEYDOWN;
    bool Char = Msg == WM_CHAR || Msg == WM_SYSCHAR;
    auto* Key = It->second.Event && It->second.Event->type() == QEvent::KeyPress
                    ? static_cast<QKeyEvent*>(It->second.Event.get())
                    : nullptr;
    // A key that types text reaches the widget with its WM_CHAR, so that a window procedure
    // can drop or change the character as on the platform.
    if (KeyDown && Key && gKeyTextIds.count(gCurrentNative))
        return true;
    TNative N = std::move(It->second);
    gNative.erase(It);
    gKeyTextIds.erase(gCurrentNative);
    gCurrentNative = 0;
    if (!N.Receiver || !N.Event)
        return true;
    gReplaying = true;
    if (Char && Key && !Key->text().isEmpty() &&
        Key->text().toUcs4().value(0) != static_cast<char32_t>(WParam)) {
        QKeyEvent Changed(QEvent::KeyPress, Key->key(), Key->modifiers(),
                          QString::fromUcs4(reinterpret_cast<const char32_t*>(&WParam), 1));
        QCoreApplication::sendEvent(N.Receiver, &Changed);
    } else {
        QCoreApplication::sendEvent(N.Receiver, N.Event.get());
    }
    gReplaying = false;
    return true;
}

bool ReplayingNative()
{
    return gReplaying;
}

TCursorRec* FindCursor(HCURSOR Cursor)
{
    if (!Cursor)
        return nullptr;
    for (auto& C : gCursors)
        if (reinterpret_cast<HCURSOR>(C.get()) == Cursor)
            return C.get();
    auto It = gImageCursors.find(Cursor);
    if (It != gImageCursors.end())
        return It->second.get();
    std::shared_ptr<const TIconImage> Img = IconHandleImage(Cursor);
    if (!Img)
        return nullptr;
    auto Rec = std::make_unique<TCursorRec>();
    Rec->Image = QImage(std::max(1, Img->Image.Width), std::max(1, Img->Image.Height), QImage::Format_ARGB32);
    Rec->Image.fill(Qt::transparent);
    for (int Y = 0; Y < Img->Image.Height; ++Y)
        for (int X = 0; X < Img->Image.Width; ++X) {
            std::size_t I = static_cast<std::size_t>(Y) * static_cast<std::size_t>(Img->Image.Width) +
                            static_cast<std::size_t>(X);
            if (I < Img->Image.Pixels.size())
                Rec->Image.setPixel(X, Y, Img->Image.Pixels[I]);
        }
    Rec->HotSpot = POINT{Img->HotSpotX, Img->HotSpotY};
    TCursorRec* R = Rec.get();
    gImageCursors[Cursor] = std::move(Rec);
    return R;
}

} // namespace win

// ---------------------------------------------------------------------------------------------
// The public queue

BOOL PeekMessage(MSG* Msg, HWND Wnd, UINT FilterMin, UINT FilterMax, UINT RemoveMsg)
{
    if (PeekCore(Msg, Wnd, FilterMin, FilterMax, RemoveMsg))
        return TRUE;
    // Nothing queued: let Qt deliver what input it holds, then look again.
    ProcessQtEvents(false, 0);
    return PeekCore(Msg, Wnd, FilterMin, FilterMax, RemoveMsg) ? TRUE : FALSE;
}

void DispatchPendingPaints()
{
    // A window whose paint handler does not validate would come straight back: stay finite.
    MSG M;
    for (int I = 0; I < 1000 && PeekCore(&M, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE); ++I)
        DispatchMessage(&M);
}

namespace {

// Blocks until something the filter takes may have arrived: pumps Qt (input and posts from
// other threads come that way) and wakes for the next timer.
void WaitFor(HWND Wnd, UINT Min, UINT Max)
{
    static bool Idle = false;
    static std::chrono::steady_clock::time_point IdleSince;
    if (PendingFor(Wnd, Min, Max)) {
        Idle = false;
        return;
    }
    if (gTestClock) {
        if (gWaitHandler && gWaitHandler())
            return;
        ProcessQtEvents(true, 5);
        // With the clock stopped and nobody feeding the queue, nothing will ever come: fail
        // the waiting loop clearly instead of hanging the test.
        auto T = std::chrono::steady_clock::now();
        if (!Idle) {
            Idle = true;
            IdleSince = T;
        } else if (!PendingFor(Wnd, Min, Max) && T - IdleSince > std::chrono::seconds(2)) {
            Idle = false;
            throw EInvalidOperation("WaitMessage: the queue is empty and the test clock stands still");
        }
        return;
    }
    Idle = false;
    // Timers already due that the filter does not take must not make this a busy loop.
    int Timeout = -1;
    DWORD T = ClockNow();
    for (const TTimer& X : gTimers) {
        int Left = static_cast<std::int32_t>(X.Due - T);
        if (Left > 0)
            Timeout = Timeout < 0 ? Left : std::min(Timeout, Left);
    }
    ProcessQtEvents(true, Timeout);
}

} // namespace

BOOL GetMessage(MSG* Msg, HWND Wnd, UINT FilterMin, UINT FilterMax)
{
    if (Wnd && Wnd != reinterpret_cast<HWND>(-1) && !Find(Wnd))
        return -1; // nothing can ever come for a window that does not exist
    MSG M;
    for (;;) {
        if (PeekMessage(&M, Wnd, FilterMin, FilterMax, PM_REMOVE))
            break;
        WaitFor(Wnd, FilterMin, FilterMax);
    }
    if (Msg)
        *Msg = M;
    return M.message == WM_QUIT ? FALSE : TRUE;
}

BOOL WaitMessage()
{
    WaitFor(nullptr, 0, 0);
    return TRUE;
}

BOOL TranslateMessage(const MSG* Msg)
{
    if (!Msg || (Msg->message != WM_KEYDOWN && Msg->message != WM_SYSKEYDOWN))
        return FALSE;
    std::u32string Text;
    auto It = gKeyText.find(Msg->lPrivate);
    if (It != gKeyText.end()) {
        Text = It->second;
        gKeyText.erase(It);
    } else {
        int Vk = static_cast<int>(Msg->wParam);
        bool Shift = (gKeys[VK_SHIFT] & 0x80) != 0, Ctrl = (gKeys[VK_CONTROL] & 0x80) != 0;
        bool Caps = (gKeys[VK_CAPITAL] & 0x01) != 0;
        char32_t C = 0;
        if (Vk >= 'A' && Vk <= 'Z') {
            if (Ctrl)
                C = static_cast<char32_t>(Vk - 'A' + 1);
            else
                C = static_cast<char32_t>((Shift != Caps) ? Vk : Vk + 32);
        } else if (Vk >= '0' && Vk <= '9' && !Ctrl) {
            static const char Shifted[] = ")!@#$%^&*(";
            C = static_cast<char32_t>(Shift ? Shifted[Vk - '0'] : Vk);
        } else if (Vk >= VK_NUMPAD0 && Vk <= VK_NUMPAD9) {
            C = static_cast<char32_t>('0' + Vk - VK_NUMPAD0);
        } else {
            struct {
                int Vk;
                char Plain, Shifted;
            } static const Oem[] = {
                {VK_OEM_1, ';', ':'},     {VK_OEM_PLUS, '=', '+'},   {VK_OEM_COMMA, ',', '<'},
                {VK_OEM_MINUS, '-', '_'}, {VK_OEM_PERIOD, '.', '>'}, {VK_OEM_2, '/', '?'},
                {VK_OEM_3, '`', '~'},     {VK_OEM_4, '[', '{'},      {VK_OEM_5, '\\', '|'},
                {VK_OEM_6, ']', '}'},     {VK_OEM_7, '\'', '"'},     {VK_MULTIPLY, '*', '*'},
                {VK_ADD, '+', '+'},       {VK_SUBTRACT, '-', '-'},   {VK_DECIMAL, '.', '.'},
                {VK_DIVIDE, '/', '/'}};
            for (const auto& O : Oem)
                if (O.Vk == Vk && !Ctrl)
                    C = static_cast<char32_t>(Shift ? O.Shifted : O.Plain);
            if (Vk == VK_SPACE)
                C = ' ';
            else if (Vk == VK_RETURN)
                C = Ctrl ? 10 : 13;
            else if (Vk == VK_BACK)
                C = Ctrl ? 127 : 8;
            else if (Vk == VK_TAB && !Ctrl)
                C = 9;
            else if (Vk == VK_ESCAPE)
                C = 27;
        }
        if (C)
            Text.push_back(C);
    }
    if (Text.empty())
        return FALSE;
    UINT CharMsg = Msg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
    bool First = true;
    for (char32_t C : Text) {
        MSG M = *Msg;
        M.message = CharMsg;
        M.wParam = static_cast<WPARAM>(C);
        M.lPrivate = First && gNative.count(Msg->lPrivate) ? Msg->lPrivate : 0; // carries the Qt key press
        First = false;
        std::lock_guard<std::mutex> Lock(gPostLock);
        gPosted.push_back(M);
    }
    return TRUE;
}

LRESULT DispatchMessage(const MSG* Msg)
{
    if (!Msg)
        return 0;
    if (Msg->message == WM_TIMER && Msg->lParam) {
        for (const TTimer& T : gTimers)
            if (T.Wnd == Msg->hwnd && T.Id == Msg->wParam) {
                reinterpret_cast<TIMERPROC>(Msg->lParam)(Msg->hwnd, WM_TIMER, Msg->wParam, Msg->time);
                return 0;
            }
        return 0;
    }
    if (!Msg->hwnd)
        return 0;
    DWORD SavedNative = gCurrentNative;
    gCurrentNative = Msg->lPrivate;
    struct TRestore {
        DWORD Saved;
        ~TRestore() { gCurrentNative = Saved; }
    } Restore{SavedNative};
    LRESULT R = SendCore(Msg->hwnd, Msg->message, Msg->wParam, Msg->lParam, false);
    if (Msg->lPrivate && !(gKeyTextIds.count(Msg->lPrivate) &&
                           (Msg->message == WM_KEYDOWN || Msg->message == WM_SYSKEYDOWN))) {
        gNative.erase(Msg->lPrivate);
        gKeyTextIds.erase(Msg->lPrivate);
    }
    return R;
}

LRESULT SendMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    if (Wnd == HWND_BROADCAST) {
        std::vector<HWND> Tops = TopLevels();
        for (HWND T : Tops)
            SendCore(T, Msg, WParam, LParam, true);
        return 0;
    }
    DWORD SavedNative = gCurrentNative;
    gCurrentNative = 0;
    LRESULT R = SendCore(Wnd, Msg, WParam, LParam, true);
    gCurrentNative = SavedNative;
    return R;
}

BOOL PostMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    bool Gui = std::this_thread::get_id() == gGuiThread;
    if (Wnd == HWND_BROADCAST) {
        std::vector<HWND> Tops = TopLevels();
        for (HWND T : Tops)
            PostMessage(T, Msg, WParam, LParam);
        return TRUE;
    }
    if (Wnd && Gui && !Find(Wnd))
        return FALSE;
    MSG M;
    M.hwnd = Wnd;
    M.message = Msg;
    M.wParam = WParam;
    M.lParam = LParam;
    M.time = Gui ? ClockNow() : 0;
    M.pt = gCursor;
    {
        std::lock_guard<std::mutex> Lock(gPostLock);
        gPosted.push_back(M);
    }
    if (!Gui)
        WakeQueue();
    return TRUE;
}

BOOL PostThreadMessage(DWORD, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    return PostMessage(nullptr, Msg, WParam, LParam);
}

void PostQuitMessage(int ExitCode)
{
    gQuit = true;
    gQuitCode = ExitCode;
}

DWORD GetMessageTime()
{
    return gLastTime;
}
DWORD GetMessagePos()
{
    return static_cast<DWORD>(PointToLParam(gLastPos.x, gLastPos.y));
}

UINT RegisterWindowMessage(const char* Name)
{
    static std::map<std::string, UINT> Known;
    static UINT Next = 0xC000;
    if (!Name || !*Name)
        return 0;
    std::string Key = Name;
    for (char& C : Key)
        C = static_cast<char>(std::tolower(static_cast<unsigned char>(C)));
    auto It = Known.find(Key);
    if (It != Known.end())
        return It->second;
    return Known[Key] = Next++;
}

BOOL InSendMessage()
{
    return gSendDepth > 0 ? TRUE : FALSE;
}

DWORD GetQueueStatus(UINT Flags)
{
    UINT Now = 0;
    {
        std::lock_guard<std::mutex> Lock(gPostLock);
        if (!gPosted.empty())
            Now |= QS_POSTMESSAGE;
    }
    for (const TRawInput& R : gInput)
        Now |=
            R.Kind == TRawInput::Key ? QS_KEY : (R.Message == WM_MOUSEMOVE ? QS_MOUSEMOVE : QS_MOUSEBUTTON);
    MSG M;
    if (PeekCore(&M, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE, false))
        Now |= QS_PAINT;
    if (PeekCore(&M, nullptr, WM_TIMER, WM_TIMER, PM_NOREMOVE, false))
        Now |= QS_TIMER;
    Now &= Flags;
    return MAKELONG(static_cast<WORD>(Now), static_cast<WORD>(Now));
}

// ---------------------------------------------------------------------------------------------
// Hooks

HHOOK SetWindowsHookEx(int IdHook, HOOKPROC Proc, HINSTANCE, DWORD)
{
    if (!Proc)
        return nullptr;
    auto H = std::make_unique<THook>();
    H->Id = IdHook;
    H->Proc = Proc;
    HHOOK Handle = reinterpret_cast<HHOOK>(H.get());
    gHooks.push_front(std::move(H));
    return Handle;
}

BOOL UnhookWindowsHookEx(HHOOK Hook)
{
    for (auto& H : gHooks)
        if (reinterpret_cast<HHOOK>(H.get()) == Hook && !H->Removed) {
            H->Removed = true;
            PurgeHooks();
            return TRUE;
        }
    return FALSE;
}

LRESULT CallNextHookEx(HHOOK Hook, int Code, WPARAM WParam, LPARAM LParam)
{
    auto It = gHooks.begin();
    while (It != gHooks.end() && reinterpret_cast<HHOOK>(It->get()) != Hook)
        ++It;
    if (It == gHooks.end())
        return 0;
    int Id = (*It)->Id;
    for (++It; It != gHooks.end(); ++It)
        if ((*It)->Id == Id && !(*It)->Removed) {
            TDepth Guard(gHookDepth);
            return (*It)->Proc(Code, WParam, LParam);
        }
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Keyboard state

SmallInt GetKeyState(int VirtKey)
{
    if (VirtKey <= 0 || VirtKey > 255)
        return 0;
    int V = ((gKeys[VirtKey] & 0x80) ? 0x8000 : 0) | (gKeys[VirtKey] & 0x01);
    return static_cast<SmallInt>(V);
}

SmallInt GetAsyncKeyState(int VirtKey)
{
    if (VirtKey <= 0 || VirtKey > 255)
        return 0;
    return static_cast<SmallInt>((gAsync[VirtKey] & 0x80) ? 0x8000 : 0);
}

BOOL GetKeyboardState(BYTE* KeyState)
{
    if (!KeyState)
        return FALSE;
    std::copy(std::begin(gKeys), std::end(gKeys), KeyState);
    return TRUE;
}

BOOL SetKeyboardState(const BYTE* KeyState)
{
    if (!KeyState)
        return FALSE;
    std::copy(KeyState, KeyState + 256, gKeys);
    for (int I = 0; I < 256; ++I)
        gAsync[I] = KeyState[I] & 0x80;
    return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Capture

HWND SetCapture(HWND Wnd)
{
    HWND Old = gCapture;
    if (!Find(Wnd) || Wnd == Old)
        return Old;
    gCapture = Wnd;
    if (Old && Find(Old))
        SendMessage(Old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(Wnd));
    return Old;
}

BOOL ReleaseCapture()
{
    HWND Old = gCapture;
    gCapture = nullptr;
    if (Old && Find(Old))
        SendMessage(Old, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND GetCapture()
{
    return gCapture && Find(gCapture) ? gCapture : nullptr;
}

// ---------------------------------------------------------------------------------------------
// Activation and focus

HWND GetActiveWindow()
{
    return gActive;
}
HWND SetActiveWindow(HWND Wnd)
{
    return SetActiveCore(Wnd, false);
}
HWND GetForegroundWindow()
{
    return gAppActive ? gActive : nullptr;
}

BOOL SetForegroundWindow(HWND Wnd)
{
    TWindow* W = Find(Wnd);
    if (!W)
        return FALSE;
    SetApplicationActive(true);
    SetActiveCore(Wnd, false);
    return TRUE;
}

HWND GetFocus()
{
    return gFocus;
}

HWND SetFocus(HWND Wnd)
{
    HWND Old = gFocus;
    if (!Wnd) {
        if (Old) {
            gFocus = nullptr;
            SendMessage(Old, WM_KILLFOCUS, 0, 0);
        }
        return Old;
    }
    TWindow* W = Find(Wnd);
    if (!W || W->MessageOnly || !IsEnabledChain(W))
        return nullptr;
    if (Wnd == Old)
        return Old;
    HWND Top = Root(Wnd);
    if (Top != gActive) {
        if (!gAppActive)
            SetApplicationActive(true);
        SetActiveCore(Top, false);
        if (!Find(Wnd))
            return nullptr;
        Old = gFocus;
        if (Old == Wnd)
            return Old;
    }
    gFocus = Wnd;
    if (Old && Find(Old))
        SendMessage(Old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(Wnd), 0);
    if (gFocus == Wnd && Find(Wnd)) {
        SetHostFocus(Find(Wnd));
        SendMessage(Wnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(Old), 0);
    }
    return Old ? Old : Wnd == gFocus ? Wnd : nullptr;
}

void SetApplicationActive(bool Active)
{
    if (Active == gAppActive)
        return;
    if (!Active) {
        HWND Was = gActive;
        if (Was && gCapture)
            CancelCaptureIn(Was, false);
        if (Was && Find(Was)) {
            SendMessage(Was, WM_NCACTIVATE, FALSE, 0);
            if (Find(Was))
                SendMessage(Was, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, IsIconic(Was) ? 1 : 0), 0);
        }
        gAppActive = false;
        std::vector<HWND> Tops = TopLevels();
        for (HWND T : Tops)
            if (Find(T))
                SendMessage(T, WM_ACTIVATEAPP, FALSE, 0);
        if (gFocus) {
            HWND F = gFocus;
            gFocus = nullptr;
            SendMessage(F, WM_KILLFOCUS, 0, 0);
        }
        gLastActive = Was && Find(Was) ? Was : nullptr;
        gActive = nullptr;
    } else {
        gAppActive = true;
        std::vector<HWND> Tops = TopLevels();
        for (HWND T : Tops)
            if (Find(T))
                SendMessage(T, WM_ACTIVATEAPP, TRUE, static_cast<LPARAM>(GetCurrentThreadId()));
        HWND Restore = gLastActive && Find(gLastActive) ? gLastActive : nullptr;
        gLastActive = nullptr;
        if (Restore)
            SetActiveCore(Restore, false);
    }
}

bool IsApplicationActive()
{
    return gAppActive;
}

// ---------------------------------------------------------------------------------------------
// Cursor

BOOL GetCursorPos(POINT* Point)
{
    if (!Point)
        return FALSE;
    *Point = gCursor;
    return TRUE;
}

BOOL SetCursorPos(int X, int Y)
{
    if (gClipOn) {
        X = std::clamp<int>(X, gClip.left, std::max(gClip.left, gClip.right - 1));
        Y = std::clamp<int>(Y, gClip.top, std::max(gClip.top, gClip.bottom - 1));
    }
    gCursor = POINT{X, Y};
    return TRUE;
}

BOOL ClipCursor(const RECT* Rect)
{
    gClipOn = Rect != nullptr;
    if (Rect) {
        gClip = *Rect;
        SetCursorPos(gCursor.x, gCursor.y);
    }
    return TRUE;
}

BOOL GetClipCursor(RECT* Rect)
{
    if (!Rect)
        return FALSE;
    *Rect = gClipOn ? gClip : Bounds(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    return TRUE;
}

HCURSOR LoadCursor(HINSTANCE Instance, const char* Name)
{
    if (!Instance && IS_INTRESOURCE(Name)) {
        int Id = static_cast<int>(reinterpret_cast<std::uintptr_t>(Name));
        static const int Known[] = {32512, 32513, 32514, 32515, 32516, 32640, 32641, 32642,
                                    32643, 32644, 32645, 32646, 32648, 32649, 32650, 32651};
        if (std::find(std::begin(Known), std::end(Known), Id) == std::end(Known))
            return nullptr;
        auto It = gStandardCursors.find(Id);
        if (It != gStandardCursors.end())
            return It->second;
        TCursorRec* C = NewCursor();
        C->StandardId = Id;
        HCURSOR H = reinterpret_cast<HCURSOR>(C);
        gStandardCursors[Id] = H;
        return H;
    }
    if (!Name)
        return nullptr;
    TResourceId Id = IS_INTRESOURCE(Name)
                         ? TResourceId(static_cast<int>(reinterpret_cast<std::uintptr_t>(Name)))
                         : TResourceId(Name);
    std::string Key = Id.ToString();
    auto It = gResourceCursors.find(Key);
    if (It != gResourceCursors.end())
        return It->second;
    try {
        TIconImage Img = LoadResourceCursor(Id);
        Img.IsCursor = true;
        HCURSOR H = CreateIconHandle(Img);
        if (H)
            gResourceCursors[Key] = H;
        return H;
    } catch (const std::exception&) {
        return nullptr;
    }
}

HCURSOR CreateCursorFromImage(int Width, int Height, const std::uint32_t* Pixels, int HotX, int HotY)
{
    if (Width <= 0 || Height <= 0 || Width > 1024 || Height > 1024 || !Pixels)
        return nullptr;
    TIconImage Img;
    Img.Image.Width = Width;
    Img.Image.Height = Height;
    Img.Image.BitsPerPixel = 32;
    Img.Image.HasAlpha = true;
    Img.Image.Pixels.assign(Pixels,
                            Pixels + static_cast<std::size_t>(Width) * static_cast<std::size_t>(Height));
    Img.Mask.resize(Img.Image.Pixels.size());
    for (std::size_t I = 0; I < Img.Mask.size(); ++I)
        Img.Mask[I] = (Img.Image.Pixels[I] >> 24) < 128 ? 1 : 0;
    Img.HotSpotX = std::clamp(HotX, 0, Width - 1);
    Img.HotSpotY = std::clamp(HotY, 0, Height - 1);
    Img.IsCursor = true;
    return CreateIconHandle(Img);
}

BOOL DestroyCursor(HCURSOR Cursor)
{
    for (auto& C : gCursors)
        if (reinterpret_cast<HCURSOR>(C.get()) == Cursor)
            return FALSE; // standard cursors are shared
    for (auto& [K, H] : gResourceCursors)
        if (H == Cursor)
            return FALSE; // so are cursors loaded from resources
    gImageCursors.erase(Cursor);
    if (gCurrentCursor == Cursor)
        gCurrentCursor = nullptr;
    return DestroyIconHandle(Cursor) ? TRUE : FALSE;
}

HCURSOR SetCursor(HCURSOR Cursor)
{
    HCURSOR Old = gCurrentCursor;
    if (Cursor != Old) {
        gCurrentCursor = Cursor;
        ApplyCursor();
    }
    return Old;
}

HCURSOR GetCursor()
{
    // Before any window set one, the cursor is the arrow.
    return gCurrentCursor ? gCurrentCursor : LoadCursor(nullptr, IDC_ARROW);
}

int ShowCursor(BOOL Show)
{
    gCursorShow += Show ? 1 : -1;
    ApplyCursor();
    return gCursorShow;
}

bool GetCursorHotSpot(HCURSOR Cursor, POINT* HotSpot, SIZE* Size)
{
    TCursorRec* C = FindCursor(Cursor);
    if (!C)
        return false;
    POINT H = C->HotSpot;
    SIZE S{C->Image.width(), C->Image.height()};
    if (C->StandardId) {
        S = SIZE{32, 32};
        H = C->StandardId == 32513 ? POINT{16, 16} : POINT{0, 0}; // the I-beam is centred
    }
    if (HotSpot)
        *HotSpot = H;
    if (Size)
        *Size = S;
    return true;
}

int GetStandardCursorId(HCURSOR Cursor)
{
    TCursorRec* C = FindCursor(Cursor);
    return C ? C->StandardId : 0;
}

BOOL GetIconInfo(HICON Icon, ICONINFO* Info)
{
    if (!Info)
        return FALSE;
    QImage Image;
    POINT Hot{0, 0};
    bool IsIcon = true;
    if (TCursorRec* C = FindCursor(Icon)) {
        std::shared_ptr<const TIconImage> Stored = IconHandleImage(Icon);
        IsIcon = Stored ? !Stored->IsCursor : false;
        GetCursorHotSpot(Icon, &Hot, nullptr);
        if (C->StandardId) {
            // A plain arrow shape stands for every standard cursor.
            Image = QImage(32, 32, QImage::Format_ARGB32);
            Image.fill(Qt::transparent);
            for (int Y = 0; Y < 19; ++Y)
                for (int X = 0; X <= Y / 2 + 1 && X < 12; ++X)
                    Image.setPixel(X, Y, (X == 0 || X == Y / 2 + 1 || Y == 18) ? 0xFF000000u : 0xFFFFFFFFu);
        } else {
            Image = C->Image;
        }
    } else {
        return FALSE;
    }
    QImage Mask(Image.size(), QImage::Format_RGB32);
    QImage Color(Image.size(), QImage::Format_RGB32);
    for (int Y = 0; Y < Image.height(); ++Y)
        for (int X = 0; X < Image.width(); ++X) {
            QRgb P = Image.pixel(X, Y);
            bool Transparent = qAlpha(P) < 128;
            Mask.setPixel(X, Y, Transparent ? 0xFFFFFFFFu : 0xFF000000u);
            Color.setPixel(X, Y, Transparent ? 0xFF000000u : (P | 0xFF000000u));
        }
    Info->fIcon = IsIcon ? TRUE : FALSE;
    Info->xHotspot = static_cast<DWORD>(Hot.x);
    Info->yHotspot = static_cast<DWORD>(Hot.y);
    Info->hbmMask = gdi::CreateBitmapFromImage(Mask, true);
    Info->hbmColor = gdi::CreateBitmapFromImage(Color, false);
    return TRUE;
}

BOOL TrackMouseEvent(TRACKMOUSEEVENT* EventTrack)
{
    if (!EventTrack)
        return FALSE;
    if (EventTrack->dwFlags & TME_CANCEL) {
        if (gTracked == EventTrack->hwndTrack)
            gTracked = nullptr;
        return TRUE;
    }
    if ((EventTrack->dwFlags & TME_LEAVE) && Find(EventTrack->hwndTrack))
        gTracked = EventTrack->hwndTrack;
    return TRUE;
}

UINT GetDoubleClickTime()
{
    return gDoubleClickTime;
}

BOOL SetDoubleClickTime(UINT Interval)
{
    gDoubleClickTime = Interval ? Interval : 500;
    return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Timers and the clock

UINT_PTR SetTimer(HWND Wnd, UINT_PTR IdEvent, UINT Elapse, TIMERPROC TimerFunc)
{
    if (Wnd && !Find(Wnd))
        return 0;
    Elapse = std::max<UINT>(1, Elapse);
    if (Wnd) {
        for (TTimer& T : gTimers)
            if (T.Wnd == Wnd && T.Id == IdEvent) {
                T.Elapse = Elapse;
                T.Due = ClockNow() + Elapse;
                T.Proc = TimerFunc;
                return IdEvent ? IdEvent : 1;
            }
    } else {
        IdEvent = ++gNextTimerId;
    }
    TTimer T;
    T.Wnd = Wnd;
    T.Id = IdEvent;
    T.Elapse = Elapse;
    T.Due = ClockNow() + Elapse;
    T.Proc = TimerFunc;
    gTimers.push_back(T);
    if (!Wnd)
        return IdEvent;
    return IdEvent ? IdEvent : 1;
}

BOOL KillTimer(HWND Wnd, UINT_PTR IdEvent)
{
    auto It = std::find_if(gTimers.begin(), gTimers.end(),
                           [&](const TTimer& T) { return T.Wnd == Wnd && T.Id == IdEvent; });
    if (It == gTimers.end())
        return FALSE;
    gTimers.erase(It);
    return TRUE;
}

DWORD GetTickCount()
{
    return ClockNow();
}

void SetTestClock(bool On, DWORD StartTime)
{
    if (On) {
        DWORD Was = ClockNow();
        bool Switching = !gTestClock;
        gTestClock = true;
        gTestTime = StartTime ? StartTime : Was;
        if (Switching)
            for (TTimer& T : gTimers)
                T.Due = gTestTime + T.Elapse;
    } else {
        gTestClock = false;
        DWORD T0 = RealNow();
        for (TTimer& T : gTimers)
            T.Due = T0 + T.Elapse;
    }
}

bool TestClockActive()
{
    return gTestClock;
}

void AdvanceTestClock(DWORD Milliseconds)
{
    if (!gTestClock)
        return;
    DWORD Target = gTestTime + Milliseconds;
    for (;;) {
        TTimer* Best = nullptr;
        for (TTimer& T : gTimers)
            if (static_cast<std::int32_t>(Target - T.Due) >= 0 &&
                (!Best || static_cast<std::int32_t>(T.Due - Best->Due) < 0))
                Best = &T;
        if (!Best)
            break;
        if (static_cast<std::int32_t>(Best->Due - gTestTime) > 0)
            gTestTime = Best->Due;
        Best->Due = gTestTime + Best->Elapse;
        MSG M;
        M.hwnd = Best->Wnd;
        M.message = WM_TIMER;
        M.wParam = Best->Id;
        M.lParam = reinterpret_cast<LPARAM>(Best->Proc);
        M.time = gTestTime;
        M.pt = gCursor;
        if (M.hwnd)
            DispatchMessage(&M);
        else if (Best->Proc)
            Best->Proc(nullptr, WM_TIMER, M.wParam, M.time);
    }
    gTestTime = Target;
}

void SetWaitHandler(std::function<bool()> Handler)
{
    gWaitHandler = std::move(Handler);
}

namespace win {

int CursorShowCount()
{
    return gCursorShow;
}

void ResetQueueState()
{
    {
        std::lock_guard<std::mutex> Lock(gPostLock);
        gPosted.clear();
    }
    gInput.clear();
    gQuit = false;
    gQuitCode = 0;
    gCapture = gFocus = gActive = gLastActive = gTracked = nullptr;
    gAppActive = true;
    std::fill(std::begin(gKeys), std::end(gKeys), BYTE(0));
    std::fill(std::begin(gAsync), std::end(gAsync), BYTE(0));
    gCursor = POINT{512, 384};
    gClipOn = false;
    gLastDownMsg = 0;
    gLastDownWnd = nullptr;
    gDoubleClickTime = 500;
    gTestClock = false;
    gWaitHandler = nullptr;
    gTimers.clear();
    for (auto& H : gHooks)
        H->Removed = true;
    PurgeHooks();
    gNative.clear();
    gKeyText.clear();
    gKeyTextIds.clear();
    gCurrentNative = 0;
    gCurrentCursor = nullptr;
    gCursorShow = 0;
}

} // namespace win

BOOL DrawIconEx(HDC DC, int X, int Y, HICON Icon, int Width, int Height, UINT, HBRUSH Background, UINT)
{
    std::shared_ptr<const TIconImage> Img = IconHandleImage(Icon);
    if (!Img || !DC)
        return FALSE;
    if (Background) {
        RECT R = Bounds(X, Y, Width ? Width : Img->Image.Width, Height ? Height : Img->Image.Height);
        FillRect(DC, &R, Background);
    }
    DrawIconImage(DC, X, Y, *Img, Width, Height);
    return TRUE;
}

BOOL DrawIcon(HDC DC, int X, int Y, HICON Icon)
{
    return DrawIconEx(DC, X, Y, Icon, 0, 0, 0, nullptr, 0);
}

LRESULT CallWindowProc(WNDPROC Proc, HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    if (!Proc)
        return DefWindowProc(Wnd, Msg, WParam, LParam);
    return Proc(Wnd, Msg, WParam, LParam);
}
