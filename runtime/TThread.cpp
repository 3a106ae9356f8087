#include "runtime/TThread.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <exception>
#include <optional>
#include <unistd.h>

namespace {

// One operation waiting for the main thread.
struct HandOver {
    const std::function<void()>* method;
    std::exception_ptr error;
    bool done = false;
};

// The process-wide queue. One condition serves every waiter: workers wait
// for their hand-over to be done, the main thread waits for new hand-overs
// or for a worker's end.
struct SyncState {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<HandOver*> pending;
    // Counts the threads that finished, so that a wait for hand-overs also
    // ends when one does: the caller usually waits for that.
    std::uint64_t finished = 0;
    std::function<void()> wakeHook;
    // Set when someone names the main thread; until then it is the thread
    // that started the process.
    std::optional<std::thread::id> namedMainThread;
};

// Never destroyed: a process that exits while a worker still waits for its
// hand-over (the display went away, say) would otherwise hang destroying a
// condition that someone waits on.
SyncState& State()
{
    static SyncState& state = *new SyncState;
    return state;
}

void RunOnMainThread(const std::function<void()>& method)
{
    SyncState& state = State();
    HandOver handOver{&method, nullptr, false};
    std::function<void()> hook;
    {
        std::lock_guard lock(state.mutex);
        state.pending.push_back(&handOver);
        hook = state.wakeHook;
    }
    state.changed.notify_all();
    if (hook)
        hook();
    std::unique_lock lock(state.mutex);
    state.changed.wait(lock, [&] { return handOver.done; });
    if (handOver.error)
        std::rethrow_exception(handOver.error);
}

} // namespace

bool IsMainThread()
{
    SyncState& state = State();
    std::optional<std::thread::id> named;
    {
        std::lock_guard lock(state.mutex);
        named = state.namedMainThread;
    }
    if (named)
        return std::this_thread::get_id() == *named;
    // The thread that started the process carries the process's own id.
    return ::gettid() == ::getpid();
}

void SetMainThreadId(std::thread::id id)
{
    std::lock_guard lock(State().mutex);
    State().namedMainThread = id;
}

void SetWakeMainThreadHook(std::function<void()> hook)
{
    std::lock_guard lock(State().mutex);
    State().wakeHook = std::move(hook);
}

bool CheckSynchronize(int timeoutMs)
{
    if (!IsMainThread())
        return false;
    SyncState& state = State();
    std::deque<HandOver*> batch;
    {
        std::unique_lock lock(state.mutex);
        const std::uint64_t finishedBefore = state.finished;
        if (timeoutMs > 0)
            state.changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                   [&] { return !state.pending.empty() || state.finished != finishedBefore; });
        batch.swap(state.pending);
    }
    // NOTE: each worker waits for its own hand-over, so no entry outlives the
    // batch; the lock is released while the operations run.
    for (HandOver* handOver : batch) {
        std::exception_ptr error;
        try {
            (*handOver->method)();
        } catch (...) {
            error = std::current_exception();
        }
        {
            // The failure moves to the worker: a copy left here would be
            // released after the worker has already woken and used it.
            std::lock_guard lock(state.mutex);
            handOver->error = std::move(error);
            handOver->done = true;
        }
        state.changed.notify_all();
    }
    return !batch.empty();
}

TThread::~TThread()
{
    Terminate();
    WaitFor();
}

void TThread::Terminate()
{
    {
        std::lock_guard lock(terminateMutex_);
        terminated_ = true;
    }
    terminateSignal_.notify_all();
}

bool TThread::WaitUnlessTerminated(std::chrono::milliseconds time)
{
    std::unique_lock lock(terminateMutex_);
    return terminateSignal_.wait_for(lock, time, [this] { return terminated_.load(); });
}

void TThread::Resume()
{
    if (started_.exchange(true))
        return;
    thread_ = std::thread([this] { Run(); });
}

namespace {
thread_local TThread* currentThread = nullptr;
} // namespace

TThread* TThread::Current()
{
    return currentThread;
}

void TThread::Run()
{
    currentThread = this;
    try {
        Execute();
    } catch (...) {
        // An exception that leaves Execute ends the thread and nothing else.
    }
    try {
        DoTerminate();
    } catch (...) {}
    SyncState& state = State();
    {
        std::lock_guard lock(state.mutex);
        finished_ = true;
        ++state.finished;
    }
    state.changed.notify_all();
}

void TThread::WaitFor()
{
    if (!thread_.joinable())
        return;
    if (IsMainThread()) {
        SyncState& state = State();
        std::unique_lock lock(state.mutex);
        while (!finished_) {
            if (!state.pending.empty()) {
                lock.unlock();
                CheckSynchronize();
                lock.lock();
                continue;
            }
            state.changed.wait(lock);
        }
    }
    thread_.join();
}

void TThread::Synchronize(const std::function<void()>& method)
{
    Synchronize(this, method);
}

void TThread::Synchronize(TThread*, const std::function<void()>& method)
{
    if (IsMainThread()) {
        method();
        return;
    }
    RunOnMainThread(method);
}
