#pragma once

#include "app/VideoDownload.h"
#include "grabber/TJvGrabberTypes.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TJvHttpUrlGrabber;

// What a download tells those who show it; any handler may be left unset.
// They run on the thread that serves the download component's hand-overs.
struct TDownloadEvents {
    // A run begins: the first one, or one after a failure (a retry).
    std::function<void()> OnStart;
    // Bytes received (what an earlier run left included) of total (0 while unknown).
    std::function<void(std::int64_t received, std::int64_t total)> OnProgress;
    // The server agreed to continue the part at position.
    std::function<void(std::int64_t position, std::int64_t total)> OnResume;
    // Once a second while the run waits to try again.
    std::function<void(int secondsLeft, int retry, int retries, const std::string& reason)> OnRetry;
    // The file is saved whole under its name.
    std::function<void(const std::string& file, std::int64_t size)> OnDone;
    // The run ended without the file; PartKept() tells whether it can be continued.
    std::function<void(const std::string& reason)> OnFailure;
    // The user gave up on the download: the run ended and no part stays.
    std::function<void()> OnCancel;
};

// One download of a resolved video into a target, run the same way for the
// download window and the command line, which observe it: the download
// component fetches into the part beside the target, tries a faltering
// network again five times, continues a part an earlier run left unless
// told to start over, and renames the part to the target once every byte is
// there; it goes through the run's proxies, within its receive cap
// (NetworkChoice.h). SKERROW_RETRY_SECOND_MS shortens the waits between
// tries (for the tests).
class TDownloadSession {
public:
    TDownloadSession(TVideoSource video, std::string target);
    // Stops the run, keeping a part that can be continued.
    ~TDownloadSession();
    TDownloadSession(const TDownloadSession&) = delete;
    TDownloadSession& operator=(const TDownloadSession&) = delete;

    const TVideoSource& Video() const { return video_; }
    const std::string& Target() const { return target_; }
    // The component that runs it: the stream component for a stream in
    // pieces, else the HTTP one (the secure one for https).
    TJvHttpUrlGrabber& Grabber() const { return *grabber_; }

    // Tells observer what happens from now on, until RemoveObserver with the
    // number returned.
    int AddObserver(TDownloadEvents observer);
    void RemoveObserver(int id);

    // How many connections the download may use at once (the component's
    // own number until set): the ranges of a large file.
    void SetConnections(int count);

    // Starts the download, or starts it again after a failure (continuing
    // the part it kept).
    void Start(TJvResumeMode resume = rmContinue);
    // Ends the run and waits for it; what was received stays in the part
    // when the server can continue it.
    void Stop();
    // Ends the run and removes the part: the user gave up on it.
    void Cancel();
    // Whether the run goes on: it may be waiting to try again.
    bool Running() const;
    // Whether the last run ended early and kept its part for a later one.
    bool PartKept() const;

private:
    void BindEvents();
    template <typename Event, typename... Args>
    void Tell(Event TDownloadEvents::*event, const Args&... args);

    const TVideoSource video_;
    const std::string target_;
    std::unique_ptr<TJvHttpUrlGrabber> grabber_;
    std::vector<std::pair<int, TDownloadEvents>> observers_;
    int lastObserver_ = 0;
};
