#pragma once

#include <cstdint>
#include <map>
#include <string>

// Gives the blocks of pieces already read back to the file system, so that
// the input shrinks while the output grows. Only whole blocks go: a block
// that also holds bytes not read yet (the next piece, the other track's
// pieces) waits until those are read too. A file system that cannot punch
// holes keeps its blocks; the join goes on.
class TPieceRelease {
public:
    explicit TPieceRelease(bool enabled) : enabled_(enabled) {}

    bool Enabled() const { return enabled_; }
    // Bytes [begin, end) of the file, open as descriptor for writing, have
    // been read and are not needed again.
    void Release(int descriptor, const std::string& file, std::int64_t begin, std::int64_t end);

private:
    struct TFileSpans {
        // Runs of bytes read, begin to end, apart from each other.
        std::map<std::int64_t, std::int64_t> read;
        std::int64_t block = 0;
        bool unable = false;
    };

    static std::pair<std::int64_t, std::int64_t> Merge(TFileSpans& spans, std::int64_t begin, std::int64_t end);

    bool enabled_;
    std::map<std::string, TFileSpans> files_;
};
