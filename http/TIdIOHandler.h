#pragma once

#include "http/TIdBuffer.h"
#include "http/TIdComponent.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TStream;

// What a line read does with a line longer than its maximum.
enum TIdMaxLineAction { maException, maSplit };

// Buffered reading and writing over a connection. Received bytes wait in the
// input buffer until a read consumes them; writes go out at once or, inside a
// batch, collect in a write buffer. The descendants supply the transport.
class TIdIOHandler : public TIdComponent {
public:
    static constexpr int kDefaultBufferSize = 32768;
    static constexpr int kDefaultMaxLineLength = 16384;

    explicit TIdIOHandler(TComponent* owner = nullptr);
    ~TIdIOHandler() override;

    std::string ClassName() const override { return "TIdIOHandler"; }

    // A fresh input buffer; the flags of the last connection are cleared.
    virtual void Open();
    virtual void Close();
    bool Opened() const { return opened_; }
    virtual bool IsConnected() = 0;

    // One line without its terminator (a CR before an LF terminator goes
    // too). A timeout gives an empty line and sets ReadLnTimedOut.
    // timeout -1 is the read timeout; maxLength -1 is MaxLineLength.
    std::string ReadLine(const std::string& terminator = "\n", int timeout = -1, int maxLength = -1);
    // Exactly count bytes; count -1 takes what one receive brings together
    // with what was buffered.
    void ReadByteCount(std::string& buffer, std::int64_t count, bool append = true);
    // count bytes, or everything until the peer closes.
    void CopyToStream(TStream& stream, std::int64_t count, bool readUntilDisconnect = false);
    std::string TakeBufferedText();

    // One wait-and-receive step: the bytes received, or -1 on a timeout
    // that was not asked to raise.
    virtual int ReceiveStep(bool raiseIfDisconnected = true, int timeout = -1, bool raiseOnTimeout = true) = 0;
    virtual void DetectPeerClose(bool raiseIfDisconnected = true, bool ignoreBuffer = false) = 0;

    void SendText(const std::string& text);
    void SendBytes(std::string_view bytes);
    void SendLine(const std::string& text);
    void SendLines(const std::vector<std::string>& lines, bool writeCount = false);
    // size 0 sends the whole stream from its beginning, a negative size the
    // rest from its position.
    void SendStream(TStream& stream, std::int64_t size = 0, bool writeSize = false);
    void SendInt32(std::int32_t value);

    // Writes collect until FlushBatch; threshold > 0 flushes on reaching it.
    void BeginBatch(int threshold = -1);
    void FlushBatch();
    void EndBatch();
    void CancelBatch();
    bool Batching() const { return writeBuffer_ != nullptr; }

    TIdBuffer& InputBuffer() { return *inputBuffer_; }
    bool InputBufferIsEmpty() const { return inputBuffer_->IsEmpty(); }

    const std::string& Host() const { return host_; }
    void SetHost(std::string host) { host_ = std::move(host); }
    int Port() const { return port_; }
    void SetPort(int port) { port_ = port; }
    int ConnectTimeout() const { return connectTimeout_; }
    void SetConnectTimeout(int milliseconds) { connectTimeout_ = milliseconds; }
    int ReadTimeout() const { return readTimeout_; }
    void SetReadTimeout(int milliseconds) { readTimeout_ = milliseconds; }
    int RecvBufferSize() const { return recvBufferSize_; }
    void SetRecvBufferSize(int size);
    int SendBufferSize() const { return sendBufferSize_; }
    void SetSendBufferSize(int size);
    int MaxLineLength() const { return maxLineLength_; }
    void SetMaxLineLength(int length) { maxLineLength_ = length; }
    TIdMaxLineAction MaxLineAction() const { return maxLineAction_; }
    void SetMaxLineAction(TIdMaxLineAction action) { maxLineAction_ = action; }
    int MaxCapturedLines() const { return maxCapturedLines_; }
    void SetMaxCapturedLines(int count) { maxCapturedLines_ = count; }
    bool LargeStream() const { return largeStream_; }
    void SetLargeStream(bool large) { largeStream_ = large; }

    // The moment by which the current request must be done: a wait still
    // going on then raises EIdRequestTimeout. None: waits last as long as
    // their own time-outs say.
    using TDeadline = std::optional<std::chrono::steady_clock::time_point>;
    const TDeadline& Deadline() const { return deadline_; }
    void SetDeadline(TDeadline deadline) { deadline_ = deadline; }

    bool ClosedGracefully() const { return closedGracefully_; }
    bool ReadLnSplit() const { return readLnSplit_; }
    bool ReadLnTimedOut() const { return readLnTimedOut_; }

protected:
    // Sends bytes to the transport at once.
    virtual void SendNow(std::string_view bytes) = 0;
    // The wait of one receive step: the read timeout when timeout is -1,
    // and -1 (no limit) for a read timeout of 0 or less.
    int EffectiveTimeout(int timeout) const;
    // Every wait of a handler goes through here, whatever its transport:
    // ready(ms) waits up to ms milliseconds (-1: no limit) for what the
    // handler needs and says whether it came. Await gives it at most
    // timeoutMs in all (-1: no limit) and returns false when they ran out.
    // It raises EIdRequestTimeout once the deadline has passed, and the
    // silent EAbort when the thread it runs on is asked to stop, which it
    // looks at every tenth of a second. A wait of 0 only looks.
    bool Await(int timeoutMs, const std::function<bool(int)>& ready) const;
    // The moment some milliseconds from now (-1: none), and the milliseconds
    // left until a moment (-1 for none, 0 once it has passed).
    static TDeadline DeadlineAfter(int milliseconds);
    static int MillisecondsLeft(const TDeadline& deadline);
    // Whether waits must go through Await although they have no limit of
    // their own: a deadline is set, or a thread that can be stopped runs them.
    bool WaitsAreBounded() const;

    std::unique_ptr<TIdBuffer> inputBuffer_;
    bool closedGracefully_ = false;

private:
    std::string TooLongLine(std::int64_t maxLength);
    // Receives until the input buffer holds count bytes.
    void WaitForBytes(std::int64_t count);
    void CopyBufferedToStream(TStream& stream, std::int64_t& remaining);
    void CopyChunks(TStream& stream, std::int64_t& remaining, bool readUntilDisconnect);
    void RaiseIfCutOff();

    std::unique_ptr<TIdBuffer> writeBuffer_;
    int writeThreshold_ = 0;
    bool opened_ = false;
    bool readLnSplit_ = false;
    bool readLnTimedOut_ = false;

    std::string host_;
    int port_ = 0;
    int connectTimeout_ = 0;
    int readTimeout_ = -1;
    int recvBufferSize_ = kDefaultBufferSize;
    int sendBufferSize_ = kDefaultBufferSize;
    int maxLineLength_ = kDefaultMaxLineLength;
    TIdMaxLineAction maxLineAction_ = maException;
    int maxCapturedLines_ = -1;
    bool largeStream_ = false;
    TDeadline deadline_;
};
