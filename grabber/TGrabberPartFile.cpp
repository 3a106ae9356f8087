#include "grabber/TGrabberPartFile.h"

#include "grabber/RangeHeaders.h"
#include "runtime/AsciiText.h"
#include "runtime/ReplaceableFile.h"
#include "runtime/ResourceString.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr std::size_t kBufferSize = 256 * 1024;
// Bytes that come in pieces this large go to the disk as they are: copying
// them into the buffer first would cost more than the call it saves.
constexpr std::size_t kWrittenAsTheyCome = 64 * 1024;
// A record is a few short lines, and one for each piece of a stream (at
// most 200,000 of them); anything longer is not one of ours.
constexpr std::size_t kRecordLimit = 16 << 20;
// Another run may replace the part between our open and our lock; a few
// tries settle it.
constexpr int kOpenAttempts = 8;
// The bytes of one name in a folder, on the file systems Linux keeps.
constexpr std::size_t kNameMax = 255;
constexpr std::string_view kLongestSuffix = ".part.info";

// FNV-1a: the same name gives the same shortened stem in every run.
std::uint64_t NameHash(std::string_view name)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : name)
        hash = (hash ^ c) * 1099511628211ull;
    return hash;
}

std::string Reason()
{
    return std::strerror(errno);
}

bool Printable(const std::string& text)
{
    for (unsigned char c : text)
        if (c < 0x20 || c == 0x7f)
            return false;
    return !text.empty();
}

// "address ...", "validator ..." and "length ..." lines, in any order.
std::optional<TPartRecord> ParseRecord(const std::string& text)
{
    TPartRecord record;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::size_t blank = line.find(' ');
        std::string key = line.substr(0, blank);
        std::string value = blank == std::string::npos ? "" : line.substr(blank + 1);
        if (key == "address")
            record.Address = value;
        else if (key == "validator")
            record.Validator = value;
        else if (key == "length")
            record.Length = ParseByteCount(value).value_or(0);
        else if (Printable(line))
            record.Extra.push_back(line);
    }
    if (!Printable(record.Address) || !Printable(record.Validator) || record.Length <= 0)
        return std::nullopt;
    return record;
}

std::optional<TPartRecord> ReadRecord(const std::string& name)
{
    int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return std::nullopt;
    std::string text(kRecordLimit + 1, '\0');
    ssize_t got = ::read(fd, text.data(), text.size());
    ::close(fd);
    if (got <= 0 || static_cast<std::size_t>(got) > kRecordLimit)
        return std::nullopt;
    text.resize(static_cast<std::size_t>(got));
    return ParseRecord(text);
}

bool WriteAll(int fd, const char* bytes, std::size_t count)
{
    while (count > 0) {
        ssize_t put = ::write(fd, bytes, count);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            if (put == 0)
                errno = ENOSPC;
            return false;
        }
        bytes += put;
        count -= static_cast<std::size_t>(put);
    }
    return true;
}

bool WriteRecord(const std::string& name, const TPartRecord& record)
{
    std::string text = "address " + record.Address + "\nvalidator " + record.Validator + "\nlength " +
        std::to_string(record.Length) + "\n";
    for (const std::string& line : record.Extra)
        text += line + "\n";
    int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0)
        return false;
    bool written = WriteAll(fd, text.data(), text.size());
    int error = errno;
    if (::close(fd) != 0 && written)
        return false;
    errno = error;
    return written;
}

// Whether the open file still carries the name: another run may have renamed
// or removed it since it was opened.
bool StillNamed(int fd, const std::string& name)
{
    struct stat open {
    }, named{};
    return ::fstat(fd, &open) == 0 && ::lstat(name.c_str(), &named) == 0 && open.st_dev == named.st_dev &&
        open.st_ino == named.st_ino;
}

} // namespace

std::string TGrabberPartFile::PartStem(const std::string& target)
{
    const std::size_t folderEnd = target.rfind('/') + 1; // 0 without a folder
    const std::string_view name = std::string_view(target).substr(folderEnd);
    if (name.size() + kLongestSuffix.size() <= kNameMax)
        return target;
    char hash[24];
    std::snprintf(hash, sizeof hash, "~%016llx", static_cast<unsigned long long>(NameHash(name)));
    std::size_t keep = kNameMax - kLongestSuffix.size() - std::strlen(hash);
    // A cut never lands inside a UTF-8 character.
    while (keep > 0 && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80)
        --keep;
    return target.substr(0, folderEnd) + std::string(name.substr(0, keep)) + hash;
}

TGrabberPartFile::TGrabberPartFile(const std::string& target) : target_(target), fileName_(PartName(target))
{
    Open();
    record_ = ReadRecord(RecordName(target_));
    pending_.reserve(kBufferSize);
}

TGrabberPartFile::~TGrabberPartFile()
{
    if (fd_ < 0)
        return;
    if (!keep_) {
        Discard();
        return;
    }
    ::close(std::exchange(fd_, -1));
}

// The part may be created, locked and then renamed or removed by another run
// between our open and our lock: only a lock on the file that still carries
// the name counts.
void TGrabberPartFile::Open()
{
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        // The mode lets the umask decide, as for any file the user saves.
        fd_ = ::open(fileName_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd_ < 0)
            throw CreateError(errno);
        if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            int error = errno;
            ::close(std::exchange(fd_, -1));
            if (error == EWOULDBLOCK)
                throw EPartInUse("Another download is saving to \"" + target_ + "\"");
            throw CreateError(error);
        }
        if (StillNamed(fd_, fileName_)) {
            ::lseek(fd_, 0, SEEK_END);
            return;
        }
        ::close(std::exchange(fd_, -1));
    }
    throw CreateError(EBUSY);
}

EFCreateError TGrabberPartFile::CreateError(int error) const
{
    return EFCreateError("Cannot create file \"" + target_ + "\". " + std::strerror(error));
}

bool TGrabberPartFile::Remove(const std::string& target)
{
    std::string name = PartName(target);
    int fd = ::open(name.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return false;
    bool removed = false;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && StillNamed(fd, name)) {
        ::unlink(RecordName(target).c_str());
        removed = ::unlink(name.c_str()) == 0;
    }
    ::close(fd);
    return removed;
}

// Both names go while the lock is held, so no other run can have taken them.
void TGrabberPartFile::Discard()
{
    ::unlink(RecordName(target_).c_str());
    ::unlink(fileName_.c_str());
    ::close(std::exchange(fd_, -1));
}

void TGrabberPartFile::RaiseWriteError(const std::string& name) const
{
    if (errno == ENOSPC || errno == EDQUOT)
        throw EDiskFull("There is not enough space on the disk to save \"" + target_ + "\"");
    throw EWriteError("Cannot write file \"" + name + "\". " + Reason());
}

void TGrabberPartFile::Flush()
{
    bool written = WriteAll(fd_, pending_.data(), pending_.size());
    pending_.clear();
    if (!written)
        RaiseWriteError(fileName_);
}

std::int64_t TGrabberPartFile::Write(const void* buffer, std::int64_t count)
{
    if (fd_ < 0 || count <= 0)
        return 0;
    if (pending_.empty() && static_cast<std::size_t>(count) >= kWrittenAsTheyCome) {
        if (!WriteAll(fd_, static_cast<const char*>(buffer), static_cast<std::size_t>(count)))
            RaiseWriteError(fileName_);
        return count;
    }
    pending_.append(static_cast<const char*>(buffer), static_cast<std::size_t>(count));
    if (pending_.size() >= kBufferSize)
        Flush();
    return count;
}

void TGrabberPartFile::WriteAt(std::int64_t offset, const void* buffer, std::int64_t count)
{
    Flush();
    auto bytes = static_cast<const char*>(buffer);
    while (count > 0) {
        ssize_t put = ::pwrite(fd_, bytes, static_cast<std::size_t>(count), offset);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            if (put == 0)
                errno = ENOSPC;
            RaiseWriteError(fileName_);
        }
        bytes += put;
        offset += put;
        count -= put;
    }
}

std::int64_t TGrabberPartFile::Read(void* buffer, std::int64_t count)
{
    Flush();
    ssize_t got = ::read(fd_, buffer, static_cast<std::size_t>(count));
    return got < 0 ? 0 : got;
}

std::int64_t TGrabberPartFile::Seek(std::int64_t offset, TSeekOrigin origin)
{
    Flush();
    int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
    off_t position = ::lseek(fd_, offset, whence);
    if (position < 0)
        throw EStreamError("Cannot seek in \"" + fileName_ + "\". " + Reason());
    return position;
}

void TGrabberPartFile::SetSize(std::int64_t size)
{
    Flush();
    if (::ftruncate(fd_, size) != 0)
        throw EWriteError("Cannot resize \"" + fileName_ + "\". " + Reason());
}

std::int64_t TGrabberPartFile::Size()
{
    struct stat status {};
    if (::fstat(fd_, &status) != 0)
        return static_cast<std::int64_t>(pending_.size());
    return status.st_size + static_cast<std::int64_t>(pending_.size());
}

void TGrabberPartFile::StartOver()
{
    pending_.clear();
    record_.reset();
    ::unlink(RecordName(target_).c_str());
    SetSize(0);
    ::lseek(fd_, 0, SEEK_SET);
}

void TGrabberPartFile::Remember(const TPartRecord& record)
{
    if (record_ == record)
        return;
    if (!WriteRecord(RecordName(target_), record)) {
        ::unlink(RecordName(target_).c_str());
        record_.reset();
        RaiseWriteError(RecordName(target_));
    }
    record_ = record;
}

bool TGrabberPartFile::Keep()
{
    // Nothing is kept of a run that received nothing.
    if (!record_ || fd_ < 0 || Size() == 0)
        return false;
    Flush();
    keep_ = true;
    return true;
}

void TGrabberPartFile::AppendToRecord(const std::string& line)
{
    Flush();
    const std::string name = RecordName(target_);
    int fd = ::open(name.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOFOLLOW);
    const std::string text = line + "\n";
    const bool written = fd >= 0 && WriteAll(fd, text.data(), text.size());
    if (fd >= 0 && ::close(fd) != 0 && written)
        RaiseWriteError(name);
    if (!written)
        RaiseWriteError(name);
    if (record_)
        record_->Extra.push_back(line);
}

void TGrabberPartFile::CommitMade(const std::string& target)
{
    const std::string made = MadeName(target_);
    try {
        if (!IsReplaceableFile(target))
            throw EWriteError(AsciiText::FillPlaceholders(LoadResString(kNotAReplaceableFile), {target}));
        if (::rename(made.c_str(), target.c_str()) != 0)
            throw EWriteError("Cannot create file \"" + target + "\". " + Reason());
    } catch (...) {
        ::unlink(made.c_str());
        Discard();
        throw;
    }
    Discard();
}

void TGrabberPartFile::Commit(const std::string& target)
{
    // The rename happens under the lock: a run that opened the part meanwhile
    // finds the lock taken, or the name gone once it has the lock.
    try {
        if (!IsReplaceableFile(target))
            throw EWriteError(AsciiText::FillPlaceholders(LoadResString(kNotAReplaceableFile), {target}));
        Flush();
        if (::rename(fileName_.c_str(), target.c_str()) != 0)
            throw EWriteError("Cannot create file \"" + target + "\". " + Reason());
    } catch (...) {
        Discard();
        throw;
    }
    ::unlink(RecordName(target_).c_str());
    ::close(std::exchange(fd_, -1));
}
