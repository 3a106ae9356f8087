#include "grabber/TJvLocalFileUrlGrabberThread.h"

#include "grabber/TJvCustomUrlGrabber.h"
#include "runtime/TFileStream.h"

#include <filesystem>
#include <memory>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace {

constexpr std::uint32_t kChunkSize = 1024;

} // namespace

std::string TJvLocalFileUrlGrabberThread::LocalPath(const std::string& url)
{
    std::string path = url;
    if (TJvCustomUrlGrabber::HasMarker(path, "file://"))
        path.erase(0, 7);
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

void TJvLocalFileUrlGrabberThread::Grab()
{
    TJvGrabberSettings settings = TakeSettings();
    std::string path = LocalPath(settings.Url);
    BeginRun();
    struct stat source {};
    if (::stat(path.c_str(), &source) != 0 || S_ISDIR(source.st_mode)) {
        Fail(fkRefused, "File \"%s\" not found", {path});
        return;
    }
    Copy(settings, path);
    // The source's permission bits, as they were at the start.
    if (settings.PreserveAttributes && settings.OutputMode == omFile && ::access(settings.FileName.c_str(), F_OK) == 0)
        ::chmod(settings.FileName.c_str(), source.st_mode & 07777);
}

void TJvLocalFileUrlGrabberThread::Copy(const TJvGrabberSettings& settings, const std::string& path)
{
    std::unique_ptr<TFileStream> file;
    try {
        file = std::make_unique<TFileStream>(path, fmOpenRead);
    } catch (const EStreamError& failure) {
        Fail(fkRefused, failure.Message());
        return;
    }
    SetSize(file->Size());
    SetBytesRead(0);
    HandOverProgress();
    if (Terminated() || !CreateContentStream(settings))
        return;
    SetStatus(gsGrabbing);
    TReadEnd end = ReadLoop(
        [&](char* buffer, std::uint32_t count, std::uint32_t& read) {
            read = static_cast<std::uint32_t>(file->Read(buffer, count));
            return true;
        },
        kChunkSize);
    FinishRun(end, {fkRefused, 0, "Cannot read file \"%s\"", {path}, {}, nullptr});
}
