#pragma once

#include "grabber/HeldBytes.h"
#include "grabber/internet/TInternetPool.h"

#include <chrono>
#include <cstdint>
#include <exception>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The fetching of the missing bytes of one file in byte ranges over several
// connections at once, in one attempt of the HTTP worker: the answer the
// worker already has goes on as the first range, the others come through the
// internet layer's pool. Each range is written at its place as it arrives.
// When a range is done, its connection takes the rest of another: the next
// range when no connection has begun it, else half of the largest rest. A
// range cut early goes back to be taken again. A server that refuses the
// extra connections (an error status, a reset before the first byte) keeps
// the ones that work. Every answer must be the asked bytes of the same
// content (Content-Range, length and validator). Runs on the worker thread.
class TRangeFetch {
public:
    // The content every range belongs to.
    struct TContent {
        TWebAddress Address;
        std::string Validator; // sent as If-Range, and checked in every answer
        std::int64_t Length = 0;
        // Request lines every range request carries besides Range and
        // If-Range.
        std::vector<std::string> Headers;
    };

    // What one look at an answer's body found.
    struct TArrived {
        std::uint32_t Count = 0;
        bool Ended = false;
        std::optional<TInternetFailure> Failure; // with Ended
    };
    // The answer the worker has open, which delivers the content from At:
    // read without waiting, and waited for on its socket.
    struct TOpenAnswer {
        std::int64_t At = 0;
        std::function<TArrived(char* buffer, std::uint32_t size)> Read;
        std::function<TInternetWaitHint()> WaitHint;
        std::function<void()> Close;
    };

    struct THooks {
        // Bytes at their place in the part; raises EStreamError when they
        // cannot be written.
        std::function<void(std::int64_t offset, const char* bytes, std::size_t count)> Write;
        // A span that is now written, for the part's record.
        std::function<void(TByteSpan span)> Held;
        // How many bytes of the content are there now.
        std::function<void(std::int64_t held)> Progress;
        // Whether the run was asked to end.
        std::function<bool()> Stopped;
    };

    enum TOutcome { foDone, foStopped, foFailed, foChanged };

    TRangeFetch(const TInternetSettings& internet, TContent content, const THeldBytes& held, int connections,
                THooks hooks);

    // Fetches what is missing, beginning with the open answer. foFailed: no
    // connection works any more (Failure says why); foChanged: the server
    // answered for another version of the content. Raises what Write
    // raised.
    TOutcome Run(TOpenAnswer first);
    const std::optional<TInternetFailure>& Failure() const { return failure_; }

private:
    // A span of the content one connection at a time fetches: from Next up
    // to End. Unwritten: the last bytes received, up to Next, not yet
    // written. Recorded: up to where its bytes were handed to Held.
    struct TPiece {
        TPiece(std::int64_t from, std::int64_t to)
            : Next(from), End(to), Recorded(from), RecordedAt(std::chrono::steady_clock::now())
        {}
        std::int64_t Next = 0;
        std::int64_t End = 0;
        std::int64_t Recorded = 0;
        std::chrono::steady_clock::time_point RecordedAt;
        int Transfer = 0; // a pool transfer; kFirstAnswer; 0 when none
        std::string Unwritten;
        std::int64_t Remaining() const { return End - Next; }
    };
    // A pool transfer of a piece, and what its callbacks found.
    struct TRangeTransfer {
        TPiece* Piece = nullptr;
        std::int64_t Last = 0; // the last byte asked for
        std::int64_t Received = 0;
        bool Refused = false;
        bool Changed = false;
        bool Beyond = false; // bytes came past the piece's end
        std::optional<TInternetFailure> Failure;
    };

    void Plan(const THeldBytes& held, int connections);
    void Schedule();
    bool StartWaiting();
    bool SplitLargest();
    void StartTransfer(TPiece& piece);
    bool OnHead(TRangeTransfer& transfer, const TInternetPool::THead& head);
    bool OnBody(TRangeTransfer& transfer, std::string_view bytes);
    // Writes what arrived for a piece, up to its end; the count taken.
    std::size_t Take(TPiece& piece, const char* bytes, std::size_t count);
    void WriteOut(TPiece& piece);
    void ReadFirstAnswer();
    void FirstAnswerEnded(const TArrived& arrived);
    std::list<TPiece>::iterator FirstAnswerPiece();
    void EndFirstAnswer();
    bool AbsorbNext(TPiece& piece);
    void Finish(const TInternetPool::TEnd& end);
    // A connection lost before its piece's end; the piece waits for another.
    void Lost(bool anyReceived, const TInternetFailure& failure);
    TInternetFailure Cut() const;
    void Record(TPiece& piece, bool now);
    void RecordAll();
    int Connections() const;
    bool Done() const;
    std::chrono::milliseconds WaitTime() const;

    TContent content_;
    THooks hooks_;
    std::list<TPiece> pieces_;
    std::map<int, std::unique_ptr<TRangeTransfer>> transfers_;
    std::optional<TOpenAnswer> first_;
    std::chrono::steady_clock::time_point firstLastBytes_;
    std::vector<char> buffer_;
    std::chrono::milliseconds stallLimit_;
    std::int64_t held_ = 0;
    int allowed_ = 1;
    int losses_ = 0;
    int lossLimit_ = 0;
    bool changed_ = false;
    std::optional<TInternetFailure> failure_;
    std::exception_ptr writeError_;
    // Last, so that it goes first: its transfers' callbacks refer to the
    // members above.
    TInternetPool pool_;
};
