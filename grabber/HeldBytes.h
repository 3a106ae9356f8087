#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TPartRecord;

// Bytes FROM up to (not including) TO of a content.
struct TByteSpan {
    std::int64_t From = 0;
    std::int64_t To = 0;

    std::int64_t Size() const { return To - From; }
    bool operator==(const TByteSpan&) const = default;
};

// Which bytes of a content a part holds: a download in ranges writes each
// range at its place, so a part may hold several spans with gaps between.
class THeldBytes {
public:
    // Adds the spans; overlapping and touching ones become one.
    void Add(std::vector<TByteSpan> spans);
    void Add(TByteSpan span) { Add(std::vector<TByteSpan>{span}); }

    // The held spans, in order, apart from each other.
    const std::vector<TByteSpan>& Spans() const { return spans_; }
    std::int64_t Total() const;
    // The gaps of [0, length), in order.
    std::vector<TByteSpan> Missing(std::int64_t length) const;
    // Whether the part holds its first bytes and nothing after them (or
    // nothing at all): what a download on one connection leaves.
    bool IsPrefix() const { return spans_.empty() || (spans_.size() == 1 && spans_[0].From == 0); }

private:
    std::vector<TByteSpan> spans_;
};

// The record of a part written in ranges says which bytes are there, one
// line for each span written: "held FROM TO". A line is added only once the
// part holds those bytes, so a run that ends in any way leaves lines that are
// true.
std::string HeldLine(TByteSpan span);
// Whether the record has held lines: a part written in ranges.
bool RecordsHeldBytes(const TPartRecord& record);

// What a part of partSize bytes holds by its record: the spans its held
// lines name, within the record's length and the part's size (a line that
// cannot be read is left out: those bytes are fetched again); with no held
// line, the part's first bytes, as one connection writes them.
THeldBytes HeldByRecord(const TPartRecord& record, std::int64_t partSize);
