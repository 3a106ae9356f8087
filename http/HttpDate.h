#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// HTTP dates as seconds since 1970-01-01 00:00:00 UTC.
//
// The reader takes the forms servers send:
//   Sun, 06 Nov 1994 08:49:37 GMT          (RFC 1123)
//   Sunday, 06-Nov-94 08:49:37 GMT         (RFC 850, also with a four-digit year)
//   Sun Nov  6 08:49:37 1994               (asctime)
// and a zone given as GMT, UT, UTC, Z, "+hhmm"/"-hhmm" or "GMT+hhmm". A date
// without a zone is taken as GMT. Two-digit years below 70 are 20xx.
std::optional<std::int64_t> ParseHttpDate(std::string_view text);

// "Sun, 06 Nov 1994 08:49:37 GMT".
std::string FormatHttpDate(std::int64_t utcSeconds);

std::int64_t NowUtcSeconds();
