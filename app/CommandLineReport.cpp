#include "app/CommandLineReport.h"

#include "app/ByteCountText.h"
#include "app/ProgramText.h"

#include <cstdio>
#include <utility>

TCommandLineReport::TCommandLineReport(TDownloadSession& session, bool terminal)
    : session_(session), progress_(terminal)
{
    if (session.Video().Stream)
        progress_.EstimateTotals();
    TDownloadEvents events;
    events.OnProgress = [this](std::int64_t received, std::int64_t total) {
        received_ = received;
        total_ = total;
        stall_.Arrived(received);
        progress_.Update(received, total, Elapsed());
    };
    events.OnDone = [this](const std::string&, std::int64_t) {
        done_ = true;
        stall_.Stop();
    };
    events.OnFailure = [this](const std::string& reason) {
        failure_ = reason;
        stall_.Stop();
    };
    events.OnRetry = [this](int secondsLeft, int retry, int retries, const std::string& reason) {
        stall_.Stop();
        Retrying(secondsLeft, retry, retries, reason);
    };
    events.OnResume = [this](std::int64_t position, std::int64_t total) { Resumed(position, total); };
    observer_ = session_.AddObserver(std::move(events));
}

TCommandLineReport::~TCommandLineReport()
{
    session_.RemoveObserver(observer_);
}

double TCommandLineReport::Elapsed() const
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
}

// One line for each wait, not one for each of its seconds.
void TCommandLineReport::Retrying(int secondsLeft, int retry, int retries, const std::string& reason)
{
    if (std::exchange(announcedRetry_, retry) == retry)
        return;
    progress_.Break();
    std::string wait = Tr("Retrying in %s s (%s of %s)",
                          {std::to_string(secondsLeft), std::to_string(retry), std::to_string(retries)});
    std::fprintf(stderr, "skerrow: %s: %s\n", wait.c_str(), Printable(reason).c_str());
}

void TCommandLineReport::Resumed(std::int64_t position, std::int64_t total)
{
    progress_.Break();
    std::printf("%s\n",
                Tr("Continuing at %s of %s",
                   {ByteCountText(static_cast<double>(position)), ByteCountText(static_cast<double>(total))})
                    .c_str());
    progress_.ContinueFrom(position, Elapsed());
}

void TCommandLineReport::Tick()
{
    const std::optional<int> left = stall_.SecondsLeft();
    progress_.Refresh(Elapsed(), left ? WaitingText(*left) : "");
}

// A download that never got a byte (refused before it began) has no
// progress to show.
void TCommandLineReport::Finish()
{
    if (done_ || received_ > 0)
        progress_.Finish(received_, total_, Elapsed());
}

std::string Printable(const std::string& text)
{
    std::string printable;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        auto byte = static_cast<unsigned char>(c);
        if (text.compare(i, 2, "\r\n") == 0)
            continue; // the line feed after it breaks the line
        if (c == '\n') {
            printable += c;
        } else if (byte < 0x20 || byte == 0x7F) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            printable += escaped;
        } else {
            printable += c;
        }
    }
    return printable;
}
