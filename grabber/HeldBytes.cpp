#include "grabber/HeldBytes.h"

#include "grabber/RangeHeaders.h"
#include "grabber/TGrabberPartFile.h"

#include <algorithm>
#include <optional>

namespace {

constexpr std::string_view kHeldWord = "held ";

// "held FROM TO" with FROM < TO; none for anything else.
std::optional<TByteSpan> ParseHeldLine(std::string_view line)
{
    if (line.substr(0, kHeldWord.size()) != kHeldWord)
        return std::nullopt;
    line.remove_prefix(kHeldWord.size());
    const std::size_t blank = line.find(' ');
    if (blank == std::string_view::npos)
        return std::nullopt;
    std::optional<std::int64_t> from = ParseByteCount(line.substr(0, blank));
    std::optional<std::int64_t> to = ParseByteCount(line.substr(blank + 1));
    if (!from || !to || *from >= *to)
        return std::nullopt;
    return TByteSpan{*from, *to};
}

} // namespace

// Sorted once and merged in one pass, so that a long record costs no more
// than its sorting.
void THeldBytes::Add(std::vector<TByteSpan> spans)
{
    spans.insert(spans.end(), spans_.begin(), spans_.end());
    std::erase_if(spans, [](const TByteSpan& span) { return span.From >= span.To; });
    std::sort(spans.begin(), spans.end(), [](const TByteSpan& a, const TByteSpan& b) { return a.From < b.From; });
    spans_.clear();
    for (const TByteSpan& span : spans) {
        if (!spans_.empty() && span.From <= spans_.back().To)
            spans_.back().To = std::max(spans_.back().To, span.To);
        else
            spans_.push_back(span);
    }
}

std::int64_t THeldBytes::Total() const
{
    std::int64_t total = 0;
    for (const TByteSpan& span : spans_)
        total += span.Size();
    return total;
}

std::vector<TByteSpan> THeldBytes::Missing(std::int64_t length) const
{
    std::vector<TByteSpan> missing;
    std::int64_t at = 0;
    for (const TByteSpan& span : spans_) {
        if (span.From >= length)
            break;
        if (span.From > at)
            missing.push_back({at, span.From});
        at = std::max(at, span.To);
    }
    if (at < length)
        missing.push_back({at, length});
    return missing;
}

std::string HeldLine(TByteSpan span)
{
    return std::string(kHeldWord) + std::to_string(span.From) + " " + std::to_string(span.To);
}

bool RecordsHeldBytes(const TPartRecord& record)
{
    return std::any_of(record.Extra.begin(), record.Extra.end(),
                       [](const std::string& line) { return line.rfind(kHeldWord, 0) == 0; });
}

THeldBytes HeldByRecord(const TPartRecord& record, std::int64_t partSize)
{
    const std::int64_t end = std::min(record.Length, partSize);
    std::vector<TByteSpan> spans;
    for (const std::string& line : record.Extra) {
        std::optional<TByteSpan> span = ParseHeldLine(line);
        if (span && span->From < end)
            spans.push_back({span->From, std::min(span->To, end)});
    }
    if (!RecordsHeldBytes(record) && end > 0)
        spans.push_back({0, end});
    THeldBytes held;
    held.Add(std::move(spans));
    return held;
}
