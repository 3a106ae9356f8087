#pragma once

#include "history/TOwnerProcess.h"

#include <cstdint>
#include <string>

enum TDownloadState {
    dsRunning,
    dsFinished,
    dsFailed,
    dsCancelled,
    dsWaitingForRetry, // failed, and what arrived is kept to continue from
};

// One download as the history keeps it.
struct TDownloadRecord {
    std::int64_t Id = 0;
    std::string Address; // what the user gave: a watch page, a link, a page
    std::string Title;
    std::string File;       // the file it becomes, as a full path
    std::int64_t Size = -1; // of the whole file; -1 while not known
    std::int64_t Received = 0;
    TDownloadState State = dsRunning;
    std::string Reason; // why it failed, as it was shown then
    std::string Quality;
    std::int64_t Started = 0; // seconds since 1970 (UTC)
    std::int64_t Ended = 0;   // 0 while it runs
    TOwnerProcess Owner;
    // Set when read: the record says running, but the process that ran it
    // has ended without saying how the download did.
    bool OwnerGone = false;
};

// How a download ended, for TDownloadHistory::End.
struct TDownloadOutcome {
    TDownloadState State = dsFinished;
    std::int64_t Received = 0;
    std::int64_t Size = -1;
    std::string Reason;
};

// Texts for the database ("running", "finished", ...), and back; an unknown
// text (a later version's state) reads as failed.
const char* StateName(TDownloadState state);
TDownloadState StateNamed(const std::string& name);
