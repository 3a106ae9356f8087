#pragma once

#include "history/TDownloadRecord.h"

#include <chrono>
#include <cstdint>

class TDownloadHistory;
class TDownloadSession;

// Writes a download into the history as its session runs it, the same for
// the windows and the command line: a row when it begins (or the row of an
// earlier run it continues), what arrived twice a second at most, and how it
// ended: finished, failed with the reason shown, waiting for Retry when the
// part is kept, or cancelled. A retry runs the same row again.
class THistoryRecorder {
public:
    // How often what arrived is written while the download runs: the
    // downloads window, which reads the history twice a second, then shows
    // it within a second.
    static constexpr std::chrono::milliseconds kProgressInterval{500};

    // Records download (address, title, file, quality) as beginning now;
    // a download whose Id is set continues that row of the history.
    THistoryRecorder(TDownloadSession& session, TDownloadHistory& history, TDownloadRecord download);
    // A download that has not ended by then ends here: waiting for Retry
    // when the session kept its part, else cancelled.
    ~THistoryRecorder();
    THistoryRecorder(const THistoryRecorder&) = delete;
    THistoryRecorder& operator=(const THistoryRecorder&) = delete;

    // The row in the history; 0 when the history could not take it.
    std::int64_t Id() const { return id_; }
    // Writes what arrived when it was held back by the interval and the
    // interval has passed: called now and then, it keeps the row up to date
    // also when the server stopped sending after the last write.
    void Flush();

private:
    void Observe();
    void Started();
    void Arrived(std::int64_t received, std::int64_t total);
    void WriteProgress();
    void Failed(const std::string& reason);
    void Cancelled();
    void End(TDownloadState state, const std::string& reason = "");

    TDownloadSession& session_;
    TDownloadHistory& history_;
    int observer_ = 0;
    std::int64_t id_ = 0;
    std::int64_t received_ = 0;
    std::int64_t total_ = -1;
    std::int64_t writtenReceived_ = -1;
    bool running_ = true;
    TDownloadState ended_ = dsRunning;
    std::string reason_;
    std::chrono::steady_clock::time_point writtenAt_{};
};
