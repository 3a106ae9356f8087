#include "media/TPieceRelease.h"

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>

void TPieceRelease::Release(int descriptor, const std::string& file, std::int64_t begin, std::int64_t end)
{
    if (!enabled_ || begin >= end)
        return;
    TFileSpans& spans = files_[file];
    if (spans.unable)
        return;
    if (spans.block == 0) {
        struct stat status {};
        if (::fstat(descriptor, &status) != 0 || status.st_blksize <= 0) {
            spans.unable = true;
            return;
        }
        spans.block = status.st_blksize;
    }
    const auto [runBegin, runEnd] = Merge(spans, begin, end);
    // The whole blocks of the merged run that the new bytes touch: those of
    // the run that earlier calls could not free are among them.
    const std::int64_t block = spans.block;
    const std::int64_t first = std::max((runBegin + block - 1) / block, begin / block) * block;
    const std::int64_t last = std::min(runEnd / block, (end + block - 1) / block) * block;
    if (first >= last)
        return;
    if (::fallocate(descriptor, FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE, first, last - first) != 0)
        spans.unable = true;
}

std::pair<std::int64_t, std::int64_t> TPieceRelease::Merge(TFileSpans& spans, std::int64_t begin, std::int64_t end)
{
    auto next = spans.read.upper_bound(begin);
    if (next != spans.read.begin()) {
        auto previous = std::prev(next);
        if (previous->second >= begin) {
            begin = previous->first;
            end = std::max(end, previous->second);
            spans.read.erase(previous);
        }
    }
    while (next != spans.read.end() && next->first <= end) {
        end = std::max(end, next->second);
        next = spans.read.erase(next);
    }
    spans.read.emplace(begin, end);
    return {begin, end};
}
