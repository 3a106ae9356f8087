#pragma once

#include "grabber/StreamJobs.h"
#include "grabber/TJvGrabberTypes.h"
#include "grabber/internet/TInternetPool.h"

#include <array>
#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The fetching of a stream's pieces in one run of the stream worker: a few
// at once through the internet layer's pool, on kept connections; each piece
// tried again on its own when the network or the server falters, waiting 1,
// 2, 4, 8, 16 seconds; keys fetched once per address; a piece whole and
// decrypted before it is handed on. Runs on the worker thread.
class TStreamFetch {
public:
    // What the fetch asks of the worker.
    struct THooks {
        // A piece whole and decrypted: the worker stores it (and may raise
        // EStreamError when it cannot).
        std::function<void(std::size_t job, const std::string& bytes)> Store;
        // Bytes arrived of the pieces on their way.
        std::function<void(std::int64_t bytesOnTheirWay)> Progress;
        // A piece waits to be tried again.
        std::function<void(int secondsLeft, int retry, int retries, const TInternetFailure& why)> Retrying;
    };

    // The pieces of jobs whose flag in stored is false are fetched.
    TStreamFetch(const TJvGrabberSettings& settings, const TStreamJobs& jobs, const std::vector<bool>& stored,
                 THooks hooks);

    // Fetches them all. Nothing when every piece was stored, or the worker
    // was asked to stop; else the failure of the piece that could not be
    // had, naming it.
    std::optional<TInternetFailure> Run();

private:
    using TKeyBytes = std::array<unsigned char, 16>;
    struct TKey {
        std::optional<TKeyBytes> Bytes;
        bool Asked = false;
        std::vector<std::size_t> Waiting; // jobs that need it
    };
    // One transfer on its way: a piece of a job, or a key.
    struct TActive {
        std::optional<std::size_t> Job;
        std::string KeyAddress;
        std::string Bytes;
        std::int64_t Skip = 0;  // bytes of a whole answer before the range asked for
        std::int64_t Want = -1; // bytes asked for; -1: the whole answer
        std::optional<TInternetFailure> Failure;
    };
    struct TRetry {
        std::chrono::steady_clock::time_point Due;
        std::size_t Job;
        std::string KeyAddress;
    };

    void StartDue();
    bool StartNext();
    void StartPiece(std::size_t job);
    void StartKey(const std::string& address, std::size_t forJob);
    TInternetPool::TRequest Request(const TStreamPiece& piece, TActive& active);
    bool OnHead(TActive& active, const TInternetPool::THead& head, const std::optional<TByteRange>& range);
    bool OnBody(TActive& active, std::string_view bytes);
    std::optional<TInternetFailure> Finish(const TInternetPool::TEnd& end);
    std::optional<TInternetFailure> Completed(TActive& active);
    std::optional<TInternetFailure> Failed(TActive& active, TInternetFailure failure);
    bool Done() const;
    std::chrono::milliseconds TimeToNextRetry() const;
    void ReportProgress();
    TInternetFailure Named(std::size_t job, TInternetFailure cause, const char* what) const;

    const TJvGrabberSettings& settings_;
    const TStreamJobs& jobs_;
    THooks hooks_;
    TInternetPool pool_;
    std::deque<std::size_t> pending_;
    std::map<int, std::unique_ptr<TActive>> active_;
    std::map<std::string, TKey> keys_;
    std::vector<TRetry> retries_;
    std::map<std::size_t, int> attempts_; // by job; keys count for the job that asked
    std::chrono::steady_clock::time_point lastProgress_;
};
