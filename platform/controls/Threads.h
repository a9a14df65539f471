// TThread: a worker thread with the class library's life cycle. Execute runs on the worker;
// Synchronize runs a method on the user-interface thread (marshalled through the window model's
// message queue, so it runs when the UI thread handles its messages) while the worker waits.
//
// Starting: a thread made with CreateSuspended false starts once its object is complete, that is
// after the most derived constructor has run: the creator calls AfterConstruction (NewThread
// does), and otherwise the UI thread starts it when it next handles its messages. Resume starts
// a suspended thread. Suspend and Resume count; a running worker stops for a suspension only at
// its pause points: Synchronize, Sleep and CheckSuspended.
#pragma once

#include "platform/classes/Classes.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

using TThreadMethod = std::function<void()>;

class TThread : public TObject {
public:
    explicit TThread(bool CreateSuspended);
    // Terminates, resumes and waits for the worker (except when called on the worker itself,
    // as FreeOnTerminate does). By then the derived parts of the object are gone, so a derived
    // class whose Execute uses its own members calls TerminateAndWait in its destructor.
    ~TThread() override;
    // Stops a running worker: Terminate, Resume until not suspended, WaitFor. Nothing for a
    // thread that never started or has finished.
    void TerminateAndWait();

    // Starts a thread made with CreateSuspended false (once; later calls do nothing).
    void AfterConstruction();
    void Resume();
    void Suspend();
    bool Suspended() const;
    // Asks Execute to finish (Terminated becomes true, and Sleep wakes up).
    void Terminate();
    bool Terminated() const { return FTerminated.load(); }
    // Waits for the worker to finish, handling synchronized calls meanwhile when called on the
    // UI thread; answers ReturnValue. A thread never started is started first.
    int WaitFor();
    bool Finished() const { return FFinished.load(); }
    // Deleted on the worker when Execute has returned (after OnTerminate).
    bool FreeOnTerminate = false;
    // Runs on the UI thread after Execute returns.
    TNotifyEvent OnTerminate;
    std::thread::id ThreadID() const { return FThreadId; }
    // What escaped Execute, if anything (the thread ended there); read once Finished.
    std::exception_ptr FatalException() const { return FFatalException; }

    // Whether the caller runs on the UI thread (the thread the first TThread was made on).
    static bool IsMainThread();

protected:
    virtual void Execute() = 0;
    // Runs Method on the UI thread and waits for it; an exception it raises is raised here.
    void Synchronize(const TThreadMethod& Method);
    // Sleeps up to Milliseconds (less when terminated); false when woken by Terminate.
    bool Sleep(unsigned Milliseconds);
    // Waits while suspended.
    void CheckSuspended();
    int ReturnValue = 0;
    virtual void DoTerminate();

private:
    void Start();
    void Run();
    mutable std::mutex FLock;
    std::condition_variable FWake;
    std::thread FThread;
    std::thread::id FThreadId;
    int FSuspendCount = 0;
    bool FStarted = false;
    bool FStartPending = false;
    std::atomic<bool> FTerminated{false};
    std::atomic<bool> FFinished{false};
    std::exception_ptr FFatalException;
};

// Makes a thread of class T and starts it unless it is made suspended.
template <class T, class... A> T* NewThread(A&&... Args)
{
    T* Thread = new T(std::forward<A>(Args)...);
    Thread->AfterConstruction();
    return Thread;
}

// Runs the synchronized calls waiting for the UI thread; true when any ran. The window model's
// message handling does this by itself (the calls arrive as messages); a loop that does not
// handle messages may call it.
bool CheckSynchronize();
