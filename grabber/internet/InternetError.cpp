#include "grabber/internet/InternetError.h"

#include "grabber/internet/InternetApi.h"

namespace {

struct TLastError {
    std::uint32_t code = 0;
    std::string text;
};
thread_local TLastError lastError;

} // namespace

void SetInternetError(std::uint32_t code, std::string text)
{
    lastError.code = code;
    lastError.text = std::move(text);
}

const std::string& LastInternetErrorText()
{
    return lastError.text;
}

std::uint32_t GetLastError()
{
    return lastError.code;
}

// The system's text for a code: the program's own words where it has them.
std::string SysErrorMessage(std::uint32_t code)
{
    if (const char* words = FailureWords(code))
        return words;
    return code == 0 ? "The operation completed successfully" : "System error code " + std::to_string(code);
}

// What the user reads first when a transfer fails, with the layer's detail
// after it.
const char* FailureWords(std::uint32_t code)
{
    switch (code) {
    case ERROR_INVALID_HANDLE: return "The handle is invalid";
    case ERROR_NOT_ENOUGH_MEMORY: return "Not enough memory resources are available to process this command";
    case ERROR_INVALID_PARAMETER: return "The parameter is incorrect";
    case ERROR_INTERNET_TIMEOUT: return "The operation timed out";
    case ERROR_INTERNET_INVALID_URL: return "The URL is invalid";
    case ERROR_INTERNET_UNRECOGNIZED_SCHEME: return "The URL's scheme is not supported";
    case ERROR_INTERNET_NAME_NOT_RESOLVED: return "The server name or address could not be resolved";
    case ERROR_INTERNET_OPERATION_CANCELLED: return "The operation was cancelled";
    case ERROR_INTERNET_CANNOT_CONNECT: return "A connection with the server could not be established";
    case ERROR_INTERNET_CONNECTION_ABORTED: return "The connection with the server was terminated abnormally";
    case ERROR_INTERNET_INVALID_SERVER_RESPONSE: return "The server returned an invalid or unrecognized response";
    case ERROR_HTTP_INVALID_HEADER: return "The server sent a header line that is too long";
    case ERROR_HTTP_REDIRECT_FAILED: return "The server redirected too many times";
    case ERROR_INTERNET_SECURE_FAILURE: return "The secure connection with the server failed";
    default: return nullptr;
    }
}
