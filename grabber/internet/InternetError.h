#pragma once

#include <cstdint>
#include <string>

// The calling thread's last failure in the internet layer: a last-error code
// (the ERROR_ values of InternetApi.h), which GetLastError gives back, and the
// text that InternetGetLastResponseInfo gives back. Every call that fails
// records one.
void SetInternetError(std::uint32_t code, std::string text = {});
const std::string& LastInternetErrorText();
