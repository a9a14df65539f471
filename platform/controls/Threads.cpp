#include "platform/controls/Threads.h"

#include "platform/win/Windows.h"

#include <chrono>
#include <deque>
#include <set>

namespace {

// The thread static initialisation runs on is the program's UI thread.
const std::thread::id gMainThread = std::this_thread::get_id();

struct TSyncRequest {
    TThreadMethod Method;
    std::exception_ptr Error;
    bool Done = false;
};

std::mutex gSyncLock;
std::condition_variable gSyncChanged; // a request queued or done, or a thread finished
std::deque<TSyncRequest*> gSyncQueue;
std::set<TThread*> gPendingStart;
std::atomic<HWND> gSyncWnd{nullptr};

constexpr UINT WM_SYNCHRONIZE = WM_USER + 0x5100;
constexpr UINT WM_STARTTHREAD = WM_USER + 0x5101;

void SyncWndProc(TMessage& Message)
{
    HWND Wnd = gSyncWnd.load();
    if (Message.Msg == WM_SYNCHRONIZE) {
        CheckSynchronize();
        Message.Result = 0;
        return;
    }
    if (Message.Msg == WM_STARTTHREAD) {
        auto* Thread = reinterpret_cast<TThread*>(Message.LParam);
        bool Pending;
        {
            std::lock_guard L(gSyncLock);
            Pending = gPendingStart.count(Thread) != 0;
        }
        if (Pending)
            Thread->AfterConstruction();
        Message.Result = 0;
        return;
    }
    Message.Result = DefWindowProc(Wnd, Message.Msg, Message.WParam, Message.LParam);
}

// The hidden window synchronized calls are posted to; remade when the window model was reset.
HWND SyncWindow()
{
    HWND Wnd = gSyncWnd.load();
    if (TThread::IsMainThread() && (!Wnd || !IsWindow(Wnd))) {
        Wnd = AllocateHWnd(&SyncWndProc);
        gSyncWnd.store(Wnd);
    }
    return Wnd;
}

} // namespace

bool TThread::IsMainThread()
{
    return std::this_thread::get_id() == gMainThread;
}

bool CheckSynchronize()
{
    if (!TThread::IsMainThread())
        return false;
    bool Ran = false;
    while (true) {
        TSyncRequest* R;
        {
            std::lock_guard L(gSyncLock);
            if (gSyncQueue.empty())
                break;
            R = gSyncQueue.front();
            gSyncQueue.pop_front();
        }
        try {
            R->Method();
        } catch (...) {
            R->Error = std::current_exception();
        }
        {
            std::lock_guard L(gSyncLock);
            R->Done = true;
        }
        gSyncChanged.notify_all();
        Ran = true;
    }
    return Ran;
}

TThread::TThread(bool CreateSuspended)
{
    HWND Wnd = SyncWindow();
    if (CreateSuspended) {
        FSuspendCount = 1;
        return;
    }
    FStartPending = true;
    {
        std::lock_guard L(gSyncLock);
        gPendingStart.insert(this);
    }
    if (Wnd)
        PostMessage(Wnd, WM_STARTTHREAD, 0, reinterpret_cast<LPARAM>(this));
}

TThread::~TThread()
{
    {
        std::lock_guard L(gSyncLock);
        gPendingStart.erase(this);
    }
    if (FStarted && std::this_thread::get_id() == FThreadId) {
        // Freed by the worker itself (FreeOnTerminate): nobody joins it.
        FThread.detach();
        return;
    }
    TerminateAndWait();
    if (FThread.joinable())
        FThread.join();
}

void TThread::TerminateAndWait()
{
    {
        std::lock_guard L(gSyncLock);
        gPendingStart.erase(this);
    }
    {
        std::lock_guard L(FLock);
        FStartPending = false;
    }
    if (!FStarted || FFinished.load() || std::this_thread::get_id() == FThreadId)
        return;
    Terminate();
    {
        std::lock_guard L(FLock);
        FSuspendCount = 0;
    }
    FWake.notify_all();
    WaitFor();
}

void TThread::Start()
{
    // Called with FLock held, so the worker sees FThreadId set before it runs.
    if (FStarted)
        return;
    FStarted = true;
    FStartPending = false;
    {
        std::lock_guard L(gSyncLock);
        gPendingStart.erase(this);
    }
    FThread = std::thread([this] { Run(); });
    FThreadId = FThread.get_id();
}

void TThread::AfterConstruction()
{
    std::lock_guard L(FLock);
    if (FStartPending && FSuspendCount == 0)
        Start();
}

void TThread::Resume()
{
    {
        std::lock_guard L(FLock);
        if (FSuspendCount > 0)
            --FSuspendCount;
        if (FSuspendCount == 0 && !FStarted)
            Start();
    }
    FWake.notify_all();
}

void TThread::Suspend()
{
    std::lock_guard L(FLock);
    ++FSuspendCount;
}

bool TThread::Suspended() const
{
    std::lock_guard L(FLock);
    return FSuspendCount > 0;
}

void TThread::Terminate()
{
    {
        std::lock_guard L(FLock);
        FTerminated = true;
    }
    FWake.notify_all();
}

void TThread::CheckSuspended()
{
    std::unique_lock L(FLock);
    FWake.wait(L, [this] { return FSuspendCount == 0 || FTerminated.load(); });
}

bool TThread::Sleep(unsigned Milliseconds)
{
    {
        std::unique_lock L(FLock);
        if (FWake.wait_for(L, std::chrono::milliseconds(Milliseconds), [this] { return FTerminated.load(); }))
            return false;
    }
    CheckSuspended();
    return !FTerminated.load();
}

void TThread::Synchronize(const TThreadMethod& Method)
{
    if (IsMainThread()) {
        Method();
        return;
    }
    CheckSuspended();
    TSyncRequest R;
    R.Method = Method;
    {
        std::lock_guard L(gSyncLock);
        gSyncQueue.push_back(&R);
    }
    gSyncChanged.notify_all();
    if (HWND Wnd = gSyncWnd.load())
        PostMessage(Wnd, WM_SYNCHRONIZE, 0, 0);
    {
        std::unique_lock L(gSyncLock);
        gSyncChanged.wait(L, [&] { return R.Done; });
    }
    if (R.Error)
        std::rethrow_exception(R.Error);
}

void TThread::DoTerminate()
{
    if (OnTerminate)
        Synchronize([this] { OnTerminate(this); });
}

void TThread::Run()
{
    {
        std::lock_guard L(FLock); // Start has finished setting up
    }
    CheckSuspended();
    try {
        if (!FTerminated.load())
            Execute();
    } catch (...) {
        // It ends the thread; whoever waits for the thread may look at it.
        FFatalException = std::current_exception();
    }
    try {
        DoTerminate();
    } catch (...) {
    }
    bool FreeSelf = FreeOnTerminate;
    {
        std::lock_guard L(gSyncLock);
        FFinished = true;
    }
    gSyncChanged.notify_all();
    FWake.notify_all();
    if (FreeSelf)
        delete this;
}

int TThread::WaitFor()
{
    {
        std::lock_guard L(FLock);
        if (!FStarted) {
            FSuspendCount = 0;
            Start();
        }
    }
    FWake.notify_all();
    if (IsMainThread()) {
        std::unique_lock L(gSyncLock);
        while (!FFinished.load()) {
            if (!gSyncQueue.empty()) {
                L.unlock();
                CheckSynchronize();
                L.lock();
                continue;
            }
            gSyncChanged.wait_for(L, std::chrono::milliseconds(10));
        }
    } else {
        std::unique_lock L(gSyncLock);
        gSyncChanged.wait(L, [this] { return FFinished.load(); });
    }
    if (FThread.joinable() && std::this_thread::get_id() != FThreadId)
        FThread.join();
    return ReturnValue;
}
