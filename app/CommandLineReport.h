#pragma once

#include "app/ProgressLine.h"
#include "app/StallWatch.h"
#include "app/TDownloadSession.h"

#include <chrono>
#include <string>

// How the command line shows a download: the progress line, a line for
// each wait before a retry, one for a continued part, and the outcome.
class TCommandLineReport {
public:
    // Observes session until the report goes.
    TCommandLineReport(TDownloadSession& session, bool terminal);
    ~TCommandLineReport();
    TCommandLineReport(const TCommandLineReport&) = delete;
    TCommandLineReport& operator=(const TCommandLineReport&) = delete;

    bool Done() const { return done_; }
    // Why the download failed; empty when it did not say.
    const std::string& Failure() const { return failure_; }
    // Shows the last state of the progress line and ends it, once bytes
    // arrived.
    void Finish();
    // Called often while the download runs: shows what arrived when the
    // line is due, also after the server stopped sending, and what the
    // download waits for once it has waited a while.
    void Tick();

private:
    double Elapsed() const;
    void Retrying(int secondsLeft, int retry, int retries, const std::string& reason);
    void Resumed(std::int64_t position, std::int64_t total);

    TDownloadSession& session_;
    int observer_ = 0;
    TProgressLine progress_;
    TStallWatch stall_;
    const std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
    std::int64_t received_ = 0;
    std::int64_t total_ = 0;
    int announcedRetry_ = 0;
    bool done_ = false;
    std::string failure_;
};

// What the site or the user wrote, printed with its control characters
// escaped: an escape sequence in a title must not reach the terminal. Line
// breaks (LF, and CR LF as messages may end their lines) stay line breaks; a
// carriage return of its own, which would let later text overwrite the line,
// is escaped as well.
std::string Printable(const std::string& text);
