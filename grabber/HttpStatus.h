#pragma once

#include <string>

// The statuses of an HTTP answer that the download worker tells apart.
namespace HttpStatus {

inline constexpr int kOk = 200;
inline constexpr int kPartialContent = 206;
inline constexpr int kRequestTimeout = 408;
inline constexpr int kRangeNotSatisfiable = 416;
inline constexpr int kTooManyRequests = 429;

// The number of a status as the server sent it ("206"); 0 for anything
// that is not three digits.
int Number(const std::string& code);
inline bool IsSuccess(int status)
{
    return status / 100 == 2;
}
// An answer that may be different if asked again later: a server error, a
// time-out, too many requests.
inline bool Passes(int status)
{
    return status / 100 == 5 || status == kRequestTimeout || status == kTooManyRequests;
}

} // namespace HttpStatus
