#pragma once

#include "grabber/TJvGrabberTypes.h"
#include "grabber/internet/TInternetFailure.h"
#include "runtime/TStream.h"
#include "runtime/TThread.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class TGrabberPartFile;
class TJvCustomUrlGrabber;
struct TInternetHandle;

// The worker of one run. Execute is the frame every protocol shares; Grab
// is the protocol's body, by default the frame of a run over the internet
// layer, in which a protocol fills in its steps. Everything the user sees is
// handed to the user-interface thread and waited for.
class TJvCustomUrlGrabberThread : public TThread {
public:
    explicit TJvCustomUrlGrabberThread(TJvCustomUrlGrabber* grabber);

    TJvCustomUrlGrabber* Grabber() const { return grabber_; }

    // Cleared by a progress handler that wants the transfer to end.
    bool Continue = true;
    std::atomic<std::uint32_t> LastStatus{0};

    // The hand-overs; each runs on the user-interface thread and returns
    // when it has run. An exception raised there comes back here.
    void HandOverProgress();
    void HandOverStatus();
    void HandOverDone();
    // Reports a failure: the run's own, or one of closing a handle.
    void HandOverError(const TInternetFailure& failure);
    void HandOverClosed();
    void HandOverRetry(int secondsLeft, int retry, int retries, const TInternetFailure& why);
    void HandOverResume();

    // The network layer's status callback; the context is the worker, and a
    // zero context belongs to no worker. It records the status and hands
    // over progress, then the status operation.
    static void NetworkStatusCallback(TInternetHandle* handle, void* context, std::uint32_t status,
                                      const void* information, std::uint32_t length);

protected:
    // The handles of a run over the internet layer, each open or none.
    struct TNetworkHandles {
        TInternetHandle* session = nullptr;
        TInternetHandle* connection = nullptr;
        TInternetHandle* transfer = nullptr; // the request or the file
    };

    void Execute() override;
    // The network frame: takes the settings; then, for each attempt, checks
    // the address, opens the session, connects and runs Transfer, and closes the
    // handles that were opened, transfer first, also after a handler's
    // exception ended the run. A transient failure is tried again after a
    // wait, as often as the settings allow.
    virtual void Grab();

    // The protocol's steps in the network frame. PrepareSession runs once
    // the session is open, Transfer once the connection is.
    virtual void PrepareSession(const TJvGrabberSettings& settings);
    // The connection to the server of the settings' address, or none (the
    // frame then reports the last response).
    virtual TInternetHandle* ConnectToServer(const TJvGrabberSettings& settings);
    virtual void Transfer(const TJvGrabberSettings& settings);

    // Helpers of the protocol steps. Connect connects the open session to
    // the server of the settings' address; ReceiveTransfer reads the open
    // transfer in chunks of chunkSize in status gsGrabbing and ends the run
    // (FinishRun).
    TInternetHandle* Connect(const TJvGrabberSettings& settings, std::uint32_t service, std::uint32_t flags,
                             void* context);
    void ReceiveTransfer(std::uint32_t chunkSize);
    static void SetTextOption(TInternetHandle* handle, std::uint32_t option, const std::string& text);

    // How a read loop ended.
    // reReported: the loop has already recorded its own failure.
    enum TReadEnd { reEnd, reFailed, reStopped, reReported };
    // Reads chunks of at most chunkSize bytes with read until it reports
    // the end (a count of 0) or a failure, Terminated is set or Continue
    // is cleared. Content is appended after what it holds, which BytesRead
    // counts from; progress is handed over for the first chunk, at most
    // every 16 ms after it, and once after the final read.
    TReadEnd ReadLoop(const std::function<bool(char* buffer, std::uint32_t size, std::uint32_t& read)>& read,
                      std::uint32_t chunkSize);
    // After a read loop: hands over done, or records the failure that
    // explains why the content is incomplete. failedRead explains a failed
    // read.
    void FinishRun(TReadEnd end, const TInternetFailure& failedRead);

    // Reads the component's settings on the user-interface thread.
    TJvGrabberSettings TakeSettings();
    // Clears the error and enters gsConnecting.
    void BeginRun();
    // Makes the content stream ready for an attempt: the locked part beside
    // the target in file mode, memory in stream mode. The run's first
    // attempt creates it, emptying a part found there unless the settings
    // ask to continue it; a later attempt keeps it as it is. Records the
    // failure when it cannot.
    bool PrepareContent(const TJvGrabberSettings& settings);
    // PrepareContent, then empties the content: for workers that cannot
    // continue.
    bool CreateContentStream(const TJvGrabberSettings& settings);
    // The part in file mode; none in stream mode.
    TGrabberPartFile* Part() const;
    // Empties the content (and forgets the part's record).
    void StartContentOver();
    void SetStatus(TJvGrabberStatus status);
    void SetSize(std::int64_t size);
    void SetBytesRead(std::int64_t count);
    std::int64_t Size() const;
    std::int64_t BytesRead() const;
    // Records why the attempt failed, unless the run was stopped or a failure
    // is already recorded; the frame reports it once no retry follows.
    void Fail(TInternetFailure failure);
    // Fail in the worker's own words, English with "%s" marks.
    void Fail(TFailureKind kind, std::string words, std::vector<std::string> arguments = {});
    // Fail with what the internet layer's last call recorded.
    void FailNetwork() { Fail(LastInternetFailure()); }
    // Fail for content that cannot be written: final, and the part goes.
    void FailToWrite(const EStreamError& failure);
    // Whether the attempt has recorded a failure.
    bool Failed() const { return failure_.has_value(); }
    // Asks the wait before the next retry to last at least this long.
    void RetryAfter(std::chrono::seconds wait) { retryAfter_ = wait; }
    // For a worker that receives without ReadLoop: the response has begun,
    // and bytes of it arrived, which makes a broken connection worth
    // another attempt.
    void NoteResponseBegun() { responseBegun_ = true; }
    void NoteReceived() { receivedAny_ = true; }
    // Whether progress is due for the user-interface thread (ReadLoop's
    // throttle).
    bool ProgressDue();
    TNetworkHandles handles_;

private:
    // The frame up to the open connection; false when the run cannot go on
    // (any error has been handed over).
    bool OpenConnection(const TJvGrabberSettings& settings);
    // Opens a network session with the access type the proxy mode asks for.
    static TInternetHandle* OpenSession(const TJvGrabberSettings& settings);
    // Caps what the session's transfers receive, when the settings ask.
    void LimitReceiveRate(const TJvGrabberSettings& settings);
    // A failed close hands over an error; a handler's exception is passed on
    // once every handle is closed.
    void CloseHandles();
    void Append(const char* bytes, std::uint32_t count);
    // Whether the recorded failure is worth another attempt, the retry-th: a
    // server that fell silent or asked to be asked later, a connection cut
    // once the response had begun, and no connection at all once bytes came.
    bool RetryWorthIt(const TJvGrabberSettings& settings, int retry) const;
    // Waits before the retry-th attempt, telling the user each second; false
    // when the run was stopped meanwhile.
    bool WaitToRetry(const TJvGrabberSettings& settings, int retry);
    // A run that ends without done keeps its part when it can be continued
    // (not when the disk failed), then reports the failure it recorded.
    // Only the first call counts.
    void EndRun();
    void KeepPart();

    TJvCustomUrlGrabber* grabber_;
    std::chrono::steady_clock::time_point lastProgress_;
    bool progressSent_ = false;
    std::optional<TInternetFailure> failure_;
    std::chrono::seconds retryAfter_{0};
    bool receivedAny_ = false;
    bool responseBegun_ = false; // in this attempt
    bool doneHandedOver_ = false;
    bool runEnded_ = false;
};

// A worker as it is created: the most derived class, which waits for the
// run to end before any part of the worker goes, so that no worker class
// needs a destructor of its own for it.
template <typename Worker>
class TRunningGrabberThread final : public Worker {
public:
    using Worker::Worker;
    ~TRunningGrabberThread() override
    {
        this->Terminate();
        this->WaitFor();
    }
};

// The class-level GetThreadClass answer of a grabber class.
template <typename Worker>
TJvCustomUrlGrabberThread* CreateGrabberThread(TJvCustomUrlGrabber* grabber)
{
    return new TRunningGrabberThread<Worker>(grabber);
}
