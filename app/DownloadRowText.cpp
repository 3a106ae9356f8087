#include "app/DownloadRowText.h"

#include "app/ByteCountText.h"
#include "app/ProgramText.h"
#include "grabber/TGrabberPartFile.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace {

bool PartKept(const std::string& file)
{
    std::error_code error;
    return !file.empty() && std::filesystem::exists(TGrabberPartFile::PartName(file), error);
}

} // namespace

TDownloadState ShownState(const TDownloadRecord& download)
{
    if (!download.OwnerGone)
        return download.State;
    return PartKept(download.File) ? dsWaitingForRetry : dsFailed;
}

int PercentDone(const TDownloadRecord& download)
{
    if (download.Size <= 0)
        return -1;
    const double done = 100.0 * static_cast<double>(download.Received) / static_cast<double>(download.Size);
    return static_cast<int>(std::clamp(done, 0.0, 100.0));
}

std::string StateText(const TDownloadRecord& download)
{
    switch (ShownState(download)) {
    case dsRunning: {
        const int percent = PercentDone(download);
        return percent < 0 ? Tr("Downloading...") : Tr("Downloading %s", {std::to_string(percent) + "%"});
    }
    case dsFinished: return Tr("Finished");
    case dsCancelled: return Tr("Cancelled");
    case dsWaitingForRetry: return Tr("Waiting for Retry");
    case dsFailed: break;
    }
    if (download.OwnerGone)
        return Tr("Failed: %s", {Tr("the program ended before the download did")});
    return download.Reason.empty() ? Tr("Failed") : Tr("Failed: %s", {download.Reason});
}

std::string SizeText(const TDownloadRecord& download)
{
    const std::string received = ByteCountText(static_cast<double>(download.Received));
    if (download.Size < 0)
        return received;
    const std::string size = ByteCountText(static_cast<double>(download.Size));
    if (ShownState(download) == dsFinished)
        return size;
    return Tr("%s of %s", {received, size});
}

std::string FileNameText(const TDownloadRecord& download)
{
    if (download.File.empty())
        return download.Title;
    return std::filesystem::path(download.File).filename().string();
}
