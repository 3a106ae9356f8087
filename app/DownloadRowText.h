#pragma once

#include "history/TDownloadRecord.h"

#include <string>

// What the downloads window shows of one download of the history, in the
// current language.

// The state to show: the recorded one, except for a download whose process
// ended without saying how it did, which failed, or waits for Retry when
// its part is kept.
TDownloadState ShownState(const TDownloadRecord& download);

// "Downloading 34%", "Finished", "Failed: Host not found.", "Cancelled",
// "Waiting for Retry".
std::string StateText(const TDownloadRecord& download);

// "8.0 MB" once finished, "1.8 MB of 8.0 MB" before; only what arrived
// while the size is not known.
std::string SizeText(const TDownloadRecord& download);

// How much of the known size has arrived, 0 to 100; -1 while the size is
// not known.
int PercentDone(const TDownloadRecord& download);

// The name of the file without its folder, or the title when there is no
// file yet.
std::string FileNameText(const TDownloadRecord& download);
