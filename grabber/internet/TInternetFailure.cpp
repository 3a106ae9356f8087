#include "grabber/internet/TInternetFailure.h"

#include "grabber/internet/InternetApi.h"
#include "runtime/AsciiText.h"
#include "runtime/ResourceString.h"

namespace {

thread_local TInternetFailure lastFailure;

struct TCodeMeaning {
    TFailureKind kind;
    const char* words; // none: the layer's detail says it
};

// What the user reads first when the layer fails with a code, with the
// layer's detail after it.
TCodeMeaning MeaningOf(std::uint32_t code)
{
    switch (code) {
    case ERROR_INVALID_HANDLE: return {fkRefused, "The handle is invalid"};
    case ERROR_NOT_ENOUGH_MEMORY:
        return {fkRefused, "Not enough memory resources are available to process this command"};
    case ERROR_INVALID_PARAMETER: return {fkRefused, "The parameter is incorrect"};
    case ERROR_INTERNET_TIMEOUT: return {fkTimeout, "The operation timed out"};
    case ERROR_INTERNET_INVALID_URL: return {fkRefused, "The URL is invalid"};
    case ERROR_INTERNET_UNRECOGNIZED_SCHEME: return {fkRefused, "The URL's scheme is not supported"};
    case ERROR_INTERNET_NAME_NOT_RESOLVED: return {fkUnreachable, "The server name or address could not be resolved"};
    case ERROR_INTERNET_OPERATION_CANCELLED: return {fkRefused, "The operation was cancelled"};
    case ERROR_INTERNET_CANNOT_CONNECT: return {fkUnreachable, "A connection with the server could not be established"};
    case ERROR_INTERNET_CONNECTION_ABORTED: return {fkCut, "The connection with the server was terminated abnormally"};
    case ERROR_INTERNET_INVALID_SERVER_RESPONSE:
        return {fkRefused, "The server returned an invalid or unrecognized response"};
    case ERROR_HTTP_INVALID_HEADER: return {fkRefused, "The server sent a header line that is too long"};
    case ERROR_HTTP_REDIRECT_FAILED: return {fkRefused, "The server redirected too many times"};
    case ERROR_INTERNET_SECURE_FAILURE: return {fkRefused, "The secure connection with the server failed"};
    default: return {fkRefused, nullptr};
    }
}

} // namespace

std::string TInternetFailure::Text() const
{
    std::string words = Words.empty() ? "" : AsciiText::FillPlaceholders(LoadResString(Words), Arguments);
    const std::string detail = Cause ? Cause->Text() : Detail;
    if (detail.empty())
        return words;
    return words.empty() ? detail : words + ": " + detail;
}

std::string TInternetFailure::ResponseInfo() const
{
    return Detail.empty() ? AsciiText::FillPlaceholders(Words, Arguments) : Detail;
}

TInternetFailure InternetFailure(std::uint32_t code, std::string detail)
{
    const TCodeMeaning meaning = MeaningOf(code);
    return {meaning.kind, code, meaning.words ? meaning.words : "", {}, std::move(detail), nullptr};
}

void SetLastInternetFailure(TInternetFailure failure)
{
    lastFailure = std::move(failure);
}

const TInternetFailure& LastInternetFailure()
{
    return lastFailure;
}

std::uint32_t GetLastError()
{
    return lastFailure.Code;
}
