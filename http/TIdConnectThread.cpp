#include "http/TIdConnectThread.h"

#include "http/EIdSocketError.h"
#include "http/TIdSocketHandle.h"

#include <chrono>

TIdConnectThread::TIdConnectThread(TIdSocketHandle& binding) : binding_(binding), thread_([this] { Execute(); }) {}

TIdConnectThread::~TIdConnectThread()
{
    Terminate();
}

void TIdConnectThread::Execute()
{
    int code = 0;
    std::string message;
    bool failed = false;
    try {
        binding_.Connect(&terminated_);
    } catch (const EIdSocketError& error) {
        // A socket closed under the connect is the caller giving up.
        bool closedUnderUs =
            error.LastError() == IdSocketErrors::NotASocket || error.LastError() == IdSocketErrors::BadFile;
        failed = !closedUnderUs;
        code = error.LastError();
    } catch (const std::exception& error) {
        failed = true;
        message = error.what();
    }
    std::lock_guard<std::mutex> lock(lock_);
    failed_ = failed;
    errorCode_ = code;
    errorMessage_ = message;
    done_ = true;
    finished_.notify_all();
}

bool TIdConnectThread::WaitFor(int timeoutMs)
{
    std::unique_lock<std::mutex> lock(lock_);
    if (timeoutMs < 0) {
        finished_.wait(lock, [this] { return done_; });
        return true;
    }
    return finished_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return done_; });
}

void TIdConnectThread::Terminate()
{
    terminated_ = true;
    if (thread_.joinable())
        thread_.join();
}

void TIdConnectThread::RaiseCapturedError()
{
    Terminate();
    if (!failed_)
        return;
    if (errorCode_ != 0)
        RaiseSocketError(errorCode_);
    throw EIdConnectException(errorMessage_);
}
