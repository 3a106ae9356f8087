#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

class TIdSocketHandle;

// Runs the connect of a binding on its own thread, so that the caller can
// give up after a time limit. What the connect raised is raised again on the
// caller's thread.
class TIdConnectThread {
public:
    explicit TIdConnectThread(TIdSocketHandle& binding);
    ~TIdConnectThread();
    TIdConnectThread(const TIdConnectThread&) = delete;
    TIdConnectThread& operator=(const TIdConnectThread&) = delete;

    // Waits until the connect has ended or timeoutMs have passed (-1: no
    // limit); true when it has ended.
    bool WaitFor(int timeoutMs);
    // Tells the connect to stop and waits for the thread.
    void Terminate();
    // EIdSocketError with the code the connect failed with, or
    // EIdConnectException with the message of any other failure.
    void RaiseCapturedError();

private:
    void Execute();

    TIdSocketHandle& binding_;
    std::atomic<bool> terminated_{false};
    std::mutex lock_;
    std::condition_variable finished_;
    bool done_ = false;
    int errorCode_ = 0;
    std::string errorMessage_;
    bool failed_ = false;
    std::thread thread_;
};
