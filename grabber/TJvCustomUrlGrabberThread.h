#pragma once

#include "grabber/TJvGrabberTypes.h"
#include "runtime/TThread.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

class TJvCustomUrlGrabber;

// The worker of one run. Execute is the frame every protocol shares; Grab
// is the protocol's body. Everything the user sees is handed to the
// user-interface thread and waited for.
class TJvCustomUrlGrabberThread : public TThread {
public:
    explicit TJvCustomUrlGrabberThread(TJvCustomUrlGrabber* grabber);
    ~TJvCustomUrlGrabberThread() override;

    TJvCustomUrlGrabber* Grabber() const { return grabber_; }

    // Cleared by a progress handler that wants the transfer to end.
    bool Continue = true;
    // The failure in English; "%s" marks stand for ErrorArguments in order.
    std::string ErrorText;
    std::vector<std::string> ErrorArguments;
    std::atomic<std::uint32_t> LastStatus{0};

    // The hand-overs; each runs on the user-interface thread and returns
    // when it has run. An exception raised there comes back here.
    void HandOverProgress();
    void HandOverStatus();
    void HandOverDone();
    void HandOverError();
    void HandOverClosed();

    // The network layer's status callback; the context is the worker, and a
    // zero context belongs to no worker. It records the status and hands
    // over progress, then the status operation.
    static void NetworkStatusCallback(struct TInternetHandle* handle, void* context, std::uint32_t status,
        const void* information, std::uint32_t length);

protected:
    void Execute() override;
    virtual void Grab() = 0;

    // How a read loop ended.
    // reReported: the loop has already handed over its own error.
    enum TReadEnd { reEnd, reFailed, reStopped, reReported };
    // Reads chunks of at most chunkSize bytes with read until it reports
    // the end (a count of 0) or a failure, Terminated is set or Continue
    // is cleared. Content is appended; progress is handed over for the first
    // chunk, at most every 16 ms after it, and once after the final read.
    TReadEnd ReadLoop(const std::function<bool(char* buffer, std::uint32_t size, std::uint32_t& read)>& read,
        std::uint32_t chunkSize);
    // After a read loop: hands over done, or the error that explains why the
    // content is incomplete. failureText explains a failed read.
    void FinishRun(TReadEnd end, const std::string& failureText);

    // Reads the component's settings on the user-interface thread.
    TJvGrabberSettings TakeSettings();
    // Creates the content stream: a temporary file beside the target in
    // file mode, memory in stream mode. Hands over the error on failure.
    bool CreateContentStream(const TJvGrabberSettings& settings);
    void SetStatus(TJvGrabberStatus status);
    void SetSize(std::int64_t size);
    void SetBytesRead(std::int64_t count);
    std::int64_t Size() const;
    std::int64_t BytesRead() const;
    // The parts of the address a worker connects to.
    struct TServerAddress {
        std::string host;
        std::string object;
        std::string userName;
        std::string password;
        std::uint32_t port = 0;
    };
    // Splits the address; empty parts fall back to the component's
    // properties, as does a port of 0.
    static TServerAddress ServerAddress(const TJvGrabberSettings& settings);
    // The network layer takes "none" where a text is empty.
    static const char* NoneWhenEmpty(const std::string& text) { return text.empty() ? nullptr : text.c_str(); }
    // Clears the error, enters gsConnecting and checks the port; false when
    // the run cannot go on (the error has been handed over).
    bool BeginConnecting(const TServerAddress& address);
    // Opens a network session with the access type the proxy mode asks for.
    static struct TInternetHandle* OpenSession(const TJvGrabberSettings& settings);
    // The network layer's text for its last failure on this thread.
    static std::string LastResponseInfo();
    // Closes the open ones among the handles, in the order given. A failed
    // close hands over an error; a handler's exception is passed on once
    // every handle is closed.
    void CloseHandles(std::initializer_list<struct TInternetHandle**> handles);
    // Reports an error unless the run was stopped.
    void Fail(const std::string& text, std::vector<std::string> arguments = {});
    // The failure in the user's language, composed where the message lookup
    // translates: on the user-interface thread.
    std::string LocalisedErrorText() const;

private:
    void Append(const char* bytes, std::uint32_t count);
    bool ProgressDue();

    TJvCustomUrlGrabber* grabber_;
    std::chrono::steady_clock::time_point lastProgress_;
    bool progressSent_ = false;
};

// The class-level GetThreadClass answer of a grabber class.
template <typename Worker>
TJvCustomUrlGrabberThread* CreateGrabberThread(TJvCustomUrlGrabber* grabber)
{
    return new Worker(grabber);
}
