#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// A worker thread in the manner of the component framework: it is created
// suspended and runs Execute once resumed; Terminate only raises a flag that
// Execute reads. Synchronize runs an operation on the main (user-interface)
// thread and waits for it; an exception raised there comes back to the
// worker. The main thread drains the hand-overs with CheckSynchronize; the
// Qt framework installs a wake-up hook so its loop does so soon after
// something is queued.
class TThread {
public:
    // Always created suspended: Execute is virtual, so the thread may only
    // start once the derived object is complete.
    TThread() = default;
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;
    // Terminates and waits. A subclass whose Execute reads its own members
    // must wait in its own destructor (WaitFor), before those members go.
    virtual ~TThread();

    // Lets a suspended thread run; a second call does nothing.
    void Resume();
    void Start() { Resume(); }

    // Raises the flag and wakes a wait in WaitUnlessTerminated.
    void Terminate();
    bool Terminated() const { return terminated_; }
    // Waits for the given time on the worker, returning early (true) once
    // Terminate is called.
    bool WaitUnlessTerminated(std::chrono::milliseconds time);
    // The thread object whose Execute runs on the calling thread, if any:
    // lets code deep inside a worker notice that it was asked to stop.
    static TThread* Current();
    bool Finished() const { return finished_; }
    bool Suspended() const { return !started_; }

    // Waits until Execute has returned. On the main thread the wait keeps
    // running the hand-overs of every worker, so a worker waiting in
    // Synchronize can reach its end. A thread never resumed returns at once.
    void WaitFor();

    // Runs method on the main thread and waits for it; on the main thread
    // itself it runs at once. Rethrows what the method raised.
    void Synchronize(const std::function<void()>& method);
    static void Synchronize(TThread* thread, const std::function<void()>& method);

protected:
    virtual void Execute() = 0;
    // Runs on the worker after Execute, also when Execute raised.
    virtual void DoTerminate() {}

private:
    void Run();

    std::thread thread_;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> started_{false};
    std::atomic<bool> finished_{false};
    std::mutex terminateMutex_;
    std::condition_variable terminateSignal_;
};

// Runs every queued hand-over on the calling thread, which must be the main
// thread; when none is queued, first waits up to timeoutMs for one, or for a
// thread to finish. Returns whether anything ran.
bool CheckSynchronize(int timeoutMs = 0);

// Called (from the worker) each time a hand-over is queued; the framework
// uses it to wake its event loop. An empty function removes the hook.
void SetWakeMainThreadHook(std::function<void()> hook);

// The thread that runs the hand-overs: the one that started the process,
// unless a test or the framework names another.
bool IsMainThread();
void SetMainThreadId(std::thread::id id);
