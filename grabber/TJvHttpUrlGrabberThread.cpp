#include "grabber/TJvHttpUrlGrabberThread.h"

#include "grabber/RangeHeaders.h"
#include "grabber/TGrabberPartFile.h"
#include "grabber/TJvHttpUrlGrabber.h"
#include "grabber/internet/InternetApi.h"
#include "runtime/AsciiText.h"

#include <optional>
#include <utility>

namespace {

constexpr std::uint32_t kChunkSize = 1025;
constexpr std::uint32_t kHeaderBufferSize = 1024;

std::optional<std::string> QueryHeader(HINTERNET request, std::uint32_t info)
{
    char buffer[kHeaderBufferSize];
    std::uint32_t length = kHeaderBufferSize;
    std::uint32_t index = 0;
    if (!HttpQueryInfo(request, info, buffer, &length, &index))
        return std::nullopt;
    return std::string(buffer, length);
}

} // namespace

// A session that cannot be opened is explained by the system's text for
// the last error.
std::string TJvHttpUrlGrabberThread::SessionFailureText() const
{
    return SysErrorMessage(GetLastError());
}

void TJvHttpUrlGrabberThread::PrepareSession(const TJvGrabberSettings&)
{
    InternetSetStatusCallback(handles_.session, &NetworkStatusCallback);
}

TInternetHandle* TJvHttpUrlGrabberThread::ConnectToServer(const TServerAddress& address, const TJvGrabberSettings&)
{
    return Connect(address, INTERNET_SERVICE_HTTP, 0, this);
}

void TJvHttpUrlGrabberThread::Transfer(const TJvGrabberSettings& settings, const TServerAddress& address)
{
    if (!PrepareContent(settings))
        return;
    std::optional<TPartRecord> record = ContinuablePart(settings, address);
    if (!record)
        StartContentOver();
    if (!Request(settings, address.object, record ? &*record : nullptr))
        return;
    if (record && ContinuationRefused(*record)) {
        // The part cannot be joined to what the server has now: all anew.
        InternetCloseHandle(std::exchange(handles_.transfer, nullptr));
        StartContentOver();
        record.reset();
        if (!Request(settings, address.object, nullptr))
            return;
    }
    if (Terminated() || !ExamineResponse(settings, address, record ? &*record : nullptr) || Terminated())
        return;
    ReceiveTransfer(kChunkSize);
}

bool TJvHttpUrlGrabberThread::Request(const TJvGrabberSettings& settings, const std::string& object,
                                      const TPartRecord* continuing)
{
    if (Failed() || !OpenRequest(settings, object))
        return false;
    std::string headers = continuing ? ContinuationHeaders(Part()->Size(), continuing->Validator) : "";
    if (!HttpSendRequest(handles_.transfer, headers.empty() ? nullptr : headers.c_str(),
                         static_cast<std::uint32_t>(headers.size()), nullptr, 0)) {
        FailNetwork(GetLastError());
        return false;
    }
    return true;
}

std::optional<TPartRecord> TJvHttpUrlGrabberThread::ContinuablePart(const TJvGrabberSettings& settings,
                                                                    const TServerAddress& address)
{
    TGrabberPartFile* part = Part();
    if (!part || settings.ResumeMode == rmOff || !part->Record())
        return std::nullopt;
    const TPartRecord& record = *part->Record();
    std::int64_t held = part->Size();
    if (record.Address != address.Text(settings.Marker) || held <= 0 || held >= record.Length)
        return std::nullopt;
    return record;
}

bool TJvHttpUrlGrabberThread::ContinuationRefused(const TPartRecord& record)
{
    std::string code = ResponseHeader(HTTP_QUERY_STATUS_CODE);
    if (code == "416")
        return true;
    if (code != "206")
        return false;
    auto range = ParseContentRange(ResponseHeader(HTTP_QUERY_CONTENT_RANGE));
    return !range || range->First != Part()->Size() || range->Length != record.Length;
}

bool TJvHttpUrlGrabberThread::OpenRequest(const TJvGrabberSettings& settings, const std::string& object)
{
    std::uint32_t flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_PRAGMA_NOCACHE;
    // The secure grabber shares this worker; its requests must go over TLS.
    if (settings.Marker == "https://")
        flags |= INTERNET_FLAG_SECURE;
    handles_.transfer = HttpOpenRequest(handles_.connection, "GET", object.c_str(), "HTTP/1.0",
                                        settings.Referer.c_str(), nullptr, flags, nullptr);
    if (!handles_.transfer) {
        FailWorded(GetLastError(), ftFinal);
        return false;
    }
    if (settings.ProxyMode != pmNoProxy) {
        SetTextOption(handles_.transfer, INTERNET_OPTION_PROXY_USERNAME, settings.ProxyUserName);
        SetTextOption(handles_.transfer, INTERNET_OPTION_PROXY_PASSWORD, settings.ProxyPassword);
    }
    return true;
}

bool TJvHttpUrlGrabberThread::ExamineResponse(const TJvGrabberSettings& settings, const TServerAddress& address,
                                              const TPartRecord* continuing)
{
    std::string code = ResponseHeader(HTTP_QUERY_STATUS_CODE);
    static_cast<TJvHttpUrlGrabber*>(Grabber())->SetStatusCode(code);
    if (continuing && code == "206") {
        SetSize(continuing->Length);
        SetBytesRead(Part()->Size());
        HandOverResume();
        return true;
    }
    // The server sends the whole content: it ignored the range, or the
    // content changed since the part was begun.
    if (continuing && code == "200")
        StartContentOver();
    // Only a success carries the resource; an error page is not the video.
    if (code.size() != 3 || code[0] != '2') {
        FailStatus(code);
        return false;
    }
    if (settings.RefuseWebPages && IsWebPage()) {
        Fail("The address leads to a web page, not to a file.");
        return false;
    }
    std::optional<std::string> lengthText = QueryHeader(handles_.transfer, HTTP_QUERY_CONTENT_LENGTH);
    if (!lengthText) {
        SetSize(0);
        return !Failed();
    }
    std::optional<std::int64_t> length = ParseByteCount(*lengthText);
    if (!length) {
        Fail("Invalid Content-Length \"%s\"", {*lengthText});
        return false;
    }
    SetSize(*length);
    return RememberIfContinuable(settings, address);
}

// A server error, a time-out or "too many requests" may pass; the server
// may say when to ask again.
void TJvHttpUrlGrabberThread::FailStatus(const std::string& code)
{
    std::string reason = ResponseHeader(HTTP_QUERY_STATUS_TEXT);
    bool passing = code.size() == 3 && (code[0] == '5' || code == "408" || code == "429");
    if (passing)
        if (auto wait = RetryAfterSeconds(ResponseHeader(HTTP_QUERY_RETRY_AFTER)))
            RetryAfter(*wait);
    Fail(code.empty() ? "No valid HTTP response" : "HTTP " + code + (reason.empty() ? "" : " " + reason), {},
         passing ? ftTransient : ftFinal);
}

bool TJvHttpUrlGrabberThread::RememberIfContinuable(const TJvGrabberSettings& settings, const TServerAddress& address)
{
    TGrabberPartFile* part = Part();
    if (!part || settings.ResumeMode == rmOff || Size() <= 0 || Failed())
        return !Failed();
    std::optional<std::string> validator =
        RangeValidator(ResponseHeader(HTTP_QUERY_ETAG), ResponseHeader(HTTP_QUERY_LAST_MODIFIED));
    if (!OffersByteRanges(ResponseHeader(HTTP_QUERY_ACCEPT_RANGES)) || !validator)
        return true;
    try {
        part->Remember({address.Text(settings.Marker), *validator, Size()});
    } catch (const EStreamError& failure) {
        FailToWrite(failure);
        return false;
    }
    return true;
}

std::string TJvHttpUrlGrabberThread::ResponseHeader(std::uint32_t query) const
{
    return QueryHeader(handles_.transfer, query).value_or("");
}

bool TJvHttpUrlGrabberThread::IsWebPage()
{
    std::string type = ResponseHeader(HTTP_QUERY_CONTENT_TYPE);
    std::string mediaType = AsciiText::Trim(std::string_view(type).substr(0, type.find(';')));
    return AsciiText::SameText(mediaType, "text/html") || AsciiText::SameText(mediaType, "application/xhtml+xml");
}
