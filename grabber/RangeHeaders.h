#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The response headers that say whether and how a download can be continued,
// and the request headers that ask for it.

// A byte count as headers give it (a Content-Length, the numbers of a
// Content-Range): decimal digits that fit a signed 64-bit number.
std::optional<std::int64_t> ParseByteCount(std::string_view digits);

// "bytes FIRST-LAST/LENGTH" of a 206 answer.
struct TContentRange {
    std::int64_t First = 0;
    std::int64_t Last = 0;
    std::int64_t Length = 0;
};
// None for anything else, "*" lengths and ranges that end before they begin
// included.
std::optional<TContentRange> ParseContentRange(const std::string& text);

// Whether an Accept-Ranges value offers byte ranges.
bool OffersByteRanges(const std::string& acceptRanges);

// What a later request can name in If-Range: a strong ETag, else the
// Last-Modified date; none when neither is usable.
std::optional<std::string> RangeValidator(const std::string& etag, const std::string& lastModified);

// The extra request headers that continue at offset, if the content still
// matches validator.
std::string ContinuationHeaders(std::int64_t offset, const std::string& validator);

// A Retry-After given in seconds; none for a date or anything else.
std::optional<std::chrono::seconds> RetryAfterSeconds(const std::string& text);
