#pragma once

#include <chrono>
#include <cstdint>

// What both of the program's HTTP stacks hold to, the page client and the
// download component's internet layer: how far redirects are followed, how
// long a server may keep them waiting, and the least TLS version they speak
// (TlsClientContext.h has the rest of TLS: the trusted certificates).
namespace TransferPolicy {

// Redirects followed before a request gives up: the fifteenth answer that
// redirects ends it.
inline constexpr int kRedirectsFollowed = 14;

// A page request of a lookup: to connect, and in all (redirects and every
// wait for a byte included).
inline constexpr std::chrono::milliseconds kPageConnectTimeout{15000};
inline constexpr std::chrono::milliseconds kPageRequestTimeout{30000};
// The most of one page that is read.
inline constexpr std::int64_t kPageBodyLimit = std::int64_t(8) << 20;

// A download: to connect, and without a byte before it counts as stalled.
inline constexpr std::chrono::milliseconds kDownloadConnectTimeout{60000};
inline constexpr std::chrono::milliseconds kDownloadStallTimeout{60000};

// TLS 1.2 or newer, as OpenSSL numbers the versions.
inline constexpr int kMinimumTlsVersion = 0x0303;

} // namespace TransferPolicy
