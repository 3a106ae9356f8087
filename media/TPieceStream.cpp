#include "media/TPieceStream.h"

#include "media/EMediaJoin.h"
#include "media/TJoinProgress.h"
#include "media/TPieceRelease.h"
#include "runtime/Exception.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr int kBufferSize = 64 * 1024;
// Released as the read goes, in steps this large, so that a long piece does
// not wait for its end and a short read costs no system call.
constexpr std::int64_t kReleaseStep = 1024 * 1024;

[[noreturn]] void FailFile(const char* wording, const std::string& file, int error)
{
    throw EMediaJoin(wording, {file, std::strerror(error)});
}

[[noreturn]] void FailOutside(const std::string& file)
{
    throw EMediaJoin("A piece of the video lies outside its file %s.", {file});
}

} // namespace

TPieceStream::TPieceStream(const std::vector<TMediaPiece>& pieces, TJoinProgress& progress, TPieceRelease& release)
    : pieces_(pieces), progress_(progress), release_(release), holdsPacket_(pieces.size())
{
    std::int64_t start = 0;
    for (const TMediaPiece& piece : pieces) {
        starts_.push_back(start);
        start += piece.Length;
    }
    auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferSize));
    if (!buffer)
        throw std::bad_alloc();
    context_.reset(avio_alloc_context(buffer, kBufferSize, 0, this, &TPieceStream::ReadCallback, nullptr, nullptr));
    if (!context_) {
        av_free(buffer);
        throw std::bad_alloc();
    }
    context_->seekable = 0;
}

TPieceStream::~TPieceStream()
{
    if (index_ < pieces_.size())
        ReleaseRead(false);
    CloseFile();
}

void TPieceStream::NotePacketAt(std::int64_t position)
{
    const auto after = std::upper_bound(starts_.begin(), starts_.end(), position);
    if (after != starts_.begin())
        holdsPacket_[after - starts_.begin() - 1] = true;
}

std::optional<TMediaPiece> TPieceStream::SkippedData(bool packetsPlaced) const
{
    if (index_ < pieces_.size()) {
        const TMediaPiece& piece = pieces_[index_];
        if (position_ < piece.Length)
            return TMediaPiece{piece.File, piece.Offset + position_, piece.Length - position_};
        for (std::size_t i = index_ + 1; i < pieces_.size(); ++i)
            if (pieces_[i].Length > 0)
                return pieces_[i];
    }
    if (packetsPlaced)
        for (std::size_t i = 1; i < pieces_.size(); ++i)
            if (pieces_[i].Length > 0 && !holdsPacket_[i])
                return pieces_[i];
    return std::nullopt;
}

void TPieceStream::RethrowFailure()
{
    if (failure_)
        std::rethrow_exception(std::exchange(failure_, nullptr));
}

int TPieceStream::ReadCallback(void* stream, std::uint8_t* buffer, int size) noexcept
{
    auto* self = static_cast<TPieceStream*>(stream);
    try {
        return self->Read(buffer, size);
    } catch (...) {
        self->failure_ = std::current_exception();
        return AVERROR_EXIT;
    }
}

int TPieceStream::Read(std::uint8_t* buffer, int size)
{
    if (progress_.Cancelled())
        throw EAbort();
    while (index_ < pieces_.size() && position_ == pieces_[index_].Length) {
        ReleaseRead(true);
        ++index_;
        position_ = released_ = 0;
    }
    if (index_ == pieces_.size())
        return AVERROR_EOF;
    const TMediaPiece& piece = pieces_[index_];
    OpenFileOf(piece);
    const std::int64_t wanted = std::min<std::int64_t>(size, piece.Length - position_);
    ssize_t count;
    do
        count = ::pread(descriptor_, buffer, wanted, piece.Offset + position_);
    while (count < 0 && errno == EINTR);
    if (count < 0)
        FailFile("The file %s that holds pieces of the video could not be read (%s).", piece.File, errno);
    if (count == 0)
        FailOutside(piece.File); // the file shrank since the join began
    position_ += count;
    progress_.Consumed(count);
    if (position_ - released_ >= kReleaseStep)
        ReleaseRead(false);
    return static_cast<int>(count);
}

void TPieceStream::OpenFileOf(const TMediaPiece& piece)
{
    if (descriptor_ >= 0 && openFile_ == piece.File)
        return;
    CloseFile();
    // Releasing needs the file open for writing; a file that cannot be
    // written is read and kept whole.
    writable_ = release_.Enabled();
    if (writable_)
        descriptor_ = ::open(piece.File.c_str(), O_RDWR | O_CLOEXEC);
    if (descriptor_ < 0) {
        writable_ = false;
        descriptor_ = ::open(piece.File.c_str(), O_RDONLY | O_CLOEXEC);
    }
    if (descriptor_ < 0)
        FailFile("The file %s that holds pieces of the video could not be opened (%s).", piece.File, errno);
    openFile_ = piece.File;
}

void TPieceStream::CloseFile()
{
    if (descriptor_ >= 0)
        ::close(descriptor_);
    descriptor_ = -1;
    openFile_.clear();
}

// Bytes handed to the demuxer are in its buffers, so the file's copy may go.
void TPieceStream::ReleaseRead(bool wholePiece)
{
    const TMediaPiece& piece = pieces_[index_];
    if (writable_ && descriptor_ >= 0 && openFile_ == piece.File) {
        const std::int64_t end = wholePiece ? piece.Length : position_;
        release_.Release(descriptor_, piece.File, piece.Offset + released_, piece.Offset + end);
    }
    released_ = position_;
}
