#include "grabber/TGrabberTempFile.h"

#include "grabber/PartFiles.h"
#include "runtime/TFileStream.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr std::size_t kBufferSize = 256 * 1024;
constexpr int kNameAttempts = 100;

std::string Reason() { return std::strerror(errno); }

} // namespace

TGrabberTempFile::TGrabberTempFile(const std::string& target)
{
    // What a killed run left beside the target goes first.
    RemoveLeftoverParts(target);
    // O_EXCL with a fresh name each time: never reuse someone else's file.
    // The mode lets the umask decide, as for any file the user saves.
    for (int attempt = 0; attempt < kNameAttempts && fd_ < 0; ++attempt) {
        fileName_ = NewPartName(target);
        fd_ = ::open(fileName_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ < 0 && errno != EEXIST)
            break;
    }
    if (fd_ < 0)
        throw EFCreateError("Cannot create file \"" + target + "\". " + Reason());
    pending_.reserve(kBufferSize);
}

TGrabberTempFile::~TGrabberTempFile() { Discard(); }

void TGrabberTempFile::Discard()
{
    if (fd_ < 0)
        return;
    ::close(fd_);
    fd_ = -1;
    ::unlink(fileName_.c_str());
}

void TGrabberTempFile::Flush()
{
    std::size_t done = 0;
    while (done < pending_.size()) {
        ssize_t put = ::write(fd_, pending_.data() + done, pending_.size() - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            if (put == 0)
                errno = ENOSPC;
            pending_.clear();
            throw EWriteError("Cannot write file \"" + fileName_ + "\". " + Reason());
        }
        done += static_cast<std::size_t>(put);
    }
    pending_.clear();
}

std::int64_t TGrabberTempFile::Write(const void* buffer, std::int64_t count)
{
    if (fd_ < 0 || count <= 0)
        return 0;
    pending_.append(static_cast<const char*>(buffer), static_cast<std::size_t>(count));
    if (pending_.size() >= kBufferSize)
        Flush();
    return count;
}

std::int64_t TGrabberTempFile::Read(void* buffer, std::int64_t count)
{
    Flush();
    ssize_t got = ::read(fd_, buffer, static_cast<std::size_t>(count));
    return got < 0 ? 0 : got;
}

std::int64_t TGrabberTempFile::Seek(std::int64_t offset, TSeekOrigin origin)
{
    Flush();
    int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
    off_t position = ::lseek(fd_, offset, whence);
    if (position < 0)
        throw EStreamError("Cannot seek in \"" + fileName_ + "\". " + Reason());
    return position;
}

void TGrabberTempFile::SetSize(std::int64_t size)
{
    Flush();
    if (::ftruncate(fd_, size) != 0)
        throw EWriteError("Cannot resize \"" + fileName_ + "\". " + Reason());
}

void TGrabberTempFile::Commit(const std::string& target)
{
    try {
        Flush();
        if (::close(std::exchange(fd_, -1)) != 0)
            throw EWriteError("Cannot write file \"" + fileName_ + "\". " + Reason());
        if (::rename(fileName_.c_str(), target.c_str()) != 0)
            throw EWriteError("Cannot create file \"" + target + "\". " + Reason());
    } catch (...) {
        if (fd_ >= 0)
            ::close(std::exchange(fd_, -1));
        ::unlink(fileName_.c_str());
        throw;
    }
}
