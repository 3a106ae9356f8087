#include "runtime/TFileStream.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

std::string SystemText(int error)
{
    return std::strerror(error);
}

int OpenFlags(TFileMode mode)
{
    switch (mode) {
    case fmCreate: return O_RDWR | O_CREAT | O_TRUNC;
    case fmOpenRead: return O_RDONLY;
    case fmOpenWrite: return O_WRONLY;
    case fmOpenReadWrite: return O_RDWR;
    }
    return O_RDONLY;
}

} // namespace

TFileStream::TFileStream(const std::string& fileName, TFileMode mode) : fileName_(fileName)
{
    fd_ = ::open(fileName.c_str(), OpenFlags(mode) | O_CLOEXEC, 0666);
    if (fd_ >= 0)
        return;
    std::string reason = SystemText(errno);
    if (mode == fmCreate)
        throw EFCreateError("Cannot create file \"" + fileName + "\". " + reason);
    throw EFOpenError("Cannot open file \"" + fileName + "\". " + reason);
}

TFileStream::~TFileStream()
{
    if (fd_ >= 0)
        ::close(fd_);
}

std::int64_t TFileStream::Read(void* buffer, std::int64_t count)
{
    std::int64_t done = 0;
    auto* bytes = static_cast<char*>(buffer);
    while (done < count) {
        ssize_t got = ::read(fd_, bytes + done, static_cast<std::size_t>(count - done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += got;
    }
    return done;
}

std::int64_t TFileStream::Write(const void* buffer, std::int64_t count)
{
    std::int64_t done = 0;
    const auto* bytes = static_cast<const char*>(buffer);
    while (done < count) {
        ssize_t put = ::write(fd_, bytes + done, static_cast<std::size_t>(count - done));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            break;
        done += put;
    }
    return done;
}

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin)
{
    int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
    off_t position = ::lseek(fd_, offset, whence);
    if (position < 0)
        throw EStreamError("Cannot seek in \"" + fileName_ + "\". " + SystemText(errno));
    return position;
}

void TFileStream::SetSize(std::int64_t size)
{
    std::int64_t position = Position();
    if (::ftruncate(fd_, size) != 0)
        throw EWriteError("Cannot resize \"" + fileName_ + "\". " + SystemText(errno));
    if (position > size)
        Seek(size, soBeginning);
}
