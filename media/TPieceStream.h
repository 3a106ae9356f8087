#pragma once

#include "media/FfmpegHandles.h"
#include "media/MediaJoin.h"

#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <vector>

class TJoinProgress;
class TPieceRelease;

// The pieces of one group read one after another as one byte stream, through
// the AVIOContext a demuxer reads. The stream only goes forward, never seeks,
// so a byte once read is not needed again and may be released.
class TPieceStream {
public:
    TPieceStream(const std::vector<TMediaPiece>& pieces, TJoinProgress& progress, TPieceRelease& release);
    ~TPieceStream();
    TPieceStream(const TPieceStream&) = delete;
    TPieceStream& operator=(const TPieceStream&) = delete;

    AVIOContext* Context() const { return context_.get(); }
    // A packet began at this byte of the stream.
    void NotePacketAt(std::int64_t position);
    // Data the demuxer passed by without a word: the first byte it never
    // asked for, or else, when packets tell where they began, a piece that
    // no packet began in (after the first, which may be an init section).
    // A piece of garbage among fragments is read through as one box.
    std::optional<TMediaPiece> SkippedData(bool packetsPlaced) const;
    // A failure inside a read (the file, the caller's callbacks, a cancel)
    // reaches FFmpeg as an error code only; this raises it again.
    void RethrowFailure();

private:
    static int ReadCallback(void* stream, std::uint8_t* buffer, int size) noexcept;
    int Read(std::uint8_t* buffer, int size);
    void OpenFileOf(const TMediaPiece& piece);
    void CloseFile();
    void ReleaseRead(bool wholePiece);

    const std::vector<TMediaPiece>& pieces_;
    TJoinProgress& progress_;
    TPieceRelease& release_;
    std::vector<std::int64_t> starts_; // of each piece in the stream
    std::vector<bool> holdsPacket_;
    std::size_t index_ = 0;
    std::int64_t position_ = 0; // within the current piece
    std::int64_t released_ = 0; // within the current piece
    int descriptor_ = -1;
    bool writable_ = false;
    std::string openFile_;
    std::exception_ptr failure_;
    TIOContextPtr context_;
};
