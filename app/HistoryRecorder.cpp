#include "app/HistoryRecorder.h"

#include "app/TDownloadSession.h"
#include "history/TDownloadHistory.h"

#include <filesystem>
#include <system_error>
#include <utility>

THistoryRecorder::THistoryRecorder(TDownloadSession& session, TDownloadHistory& history, TDownloadRecord download)
    : session_(session), history_(history)
{
    std::error_code unknown;
    const std::filesystem::path file = std::filesystem::absolute(session.Target(), unknown);
    download.File = unknown ? session.Target() : file.string();
    if (download.Title.empty())
        download.Title = session.Video().Title;
    if (download.Id > 0 && history_.Find(download.Id)) {
        id_ = download.Id;
        history_.Resume(id_);
    } else {
        id_ = history_.Begin(download);
    }
    Observe();
}

THistoryRecorder::~THistoryRecorder()
{
    session_.RemoveObserver(observer_);
    if (running_)
        End(session_.PartKept() ? dsWaitingForRetry : dsCancelled);
}

void THistoryRecorder::Observe()
{
    TDownloadEvents events;
    events.OnStart = [this] { Started(); };
    events.OnProgress = [this](std::int64_t received, std::int64_t total) { Arrived(received, total); };
    events.OnResume = [this](std::int64_t position, std::int64_t total) { Arrived(position, total); };
    events.OnDone = [this](const std::string&, std::int64_t size) {
        received_ = size;
        total_ = size;
        End(dsFinished);
    };
    events.OnFailure = [this](const std::string& reason) { Failed(reason); };
    events.OnCancel = [this] { Cancelled(); };
    observer_ = session_.AddObserver(std::move(events));
}

// A retry runs the row again; the first run's start was written already.
void THistoryRecorder::Started()
{
    if (running_)
        return;
    running_ = true;
    ended_ = dsRunning;
    history_.Resume(id_);
}

void THistoryRecorder::Arrived(std::int64_t received, std::int64_t total)
{
    received_ = received;
    if (total > 0)
        total_ = total;
    WriteProgress();
}

void THistoryRecorder::Flush()
{
    if (running_ && received_ != writtenReceived_)
        WriteProgress();
}

void THistoryRecorder::WriteProgress()
{
    const auto now = std::chrono::steady_clock::now();
    if (now - writtenAt_ < kProgressInterval)
        return;
    writtenAt_ = now;
    writtenReceived_ = received_;
    history_.Progress(id_, received_, total_);
}

void THistoryRecorder::Failed(const std::string& reason)
{
    End(session_.PartKept() ? dsWaitingForRetry : dsFailed, reason);
}

// Giving up on a running download cancels it; giving up on one that waits
// for Retry takes its part away, and it stays failed.
void THistoryRecorder::Cancelled()
{
    if (running_)
        End(dsCancelled);
    else if (ended_ == dsWaitingForRetry)
        End(dsFailed, reason_);
}

void THistoryRecorder::End(TDownloadState state, const std::string& reason)
{
    running_ = false;
    ended_ = state;
    reason_ = reason;
    history_.End(id_, {state, received_, total_, reason});
}
