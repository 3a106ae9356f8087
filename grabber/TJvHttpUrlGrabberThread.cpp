#include "grabber/TJvHttpUrlGrabberThread.h"

#include "grabber/HttpStatus.h"
#include "grabber/RangeHeaders.h"
#include "grabber/TGrabberPartFile.h"
#include "grabber/TJvHttpUrlGrabber.h"
#include "grabber/internet/InternetApi.h"
#include "runtime/AsciiText.h"

#include <optional>
#include <utility>

namespace {

// What one read of the layer may take: as much as libcurl receives at once,
// so that each receive reaches the part in one read and one write.
constexpr std::uint32_t kChunkSize = 256 * 1024;
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

// What a part is recorded as coming from: the address requested, without
// user information.
std::string RecordedAddress(const TJvGrabberSettings& settings)
{
    return settings.ServerAddress()->RequestText();
}

} // namespace

void TJvHttpUrlGrabberThread::PrepareSession(const TJvGrabberSettings&)
{
    InternetSetStatusCallback(handles_.session, &NetworkStatusCallback);
}

TInternetHandle* TJvHttpUrlGrabberThread::ConnectToServer(const TJvGrabberSettings& settings)
{
    return Connect(settings, INTERNET_SERVICE_HTTP, 0, this);
}

void TJvHttpUrlGrabberThread::Transfer(const TJvGrabberSettings& settings)
{
    if (!PrepareContent(settings))
        return;
    std::optional<TPartRecord> record = ContinuablePart(settings);
    if (!record)
        StartContentOver();
    if (!Request(settings, record ? &*record : nullptr))
        return;
    if (record && ContinuationRefused(*record)) {
        // The part cannot be joined to what the server has now: all anew.
        record.reset();
        if (!RequestAnew(settings))
            return;
    }
    if (Terminated() || !ExamineResponse(settings, record ? &*record : nullptr) || Terminated())
        return;
    if (!InRanges(settings)) {
        ReceiveTransfer(kChunkSize);
        return;
    }
    if (ReceiveInRanges(settings) != TRangeFetch::foChanged)
        return;
    // The content changed under the ranges: all anew, on this one
    // connection, so that a content that keeps changing cannot keep the
    // attempt going round.
    if (!RequestAnew(settings) || Terminated() || !ExamineResponse(settings, nullptr) || Terminated())
        return;
    ReceiveTransfer(kChunkSize);
}

bool TJvHttpUrlGrabberThread::Request(const TJvGrabberSettings& settings, const TPartRecord* continuing)
{
    if (Failed() || !OpenRequest(settings))
        return false;
    std::string headers = continuing ? ContinuationHeaders(ContinueAt(), continuing->Validator) : "";
    if (!HttpSendRequest(handles_.transfer, headers.empty() ? nullptr : headers.c_str(),
                         static_cast<std::uint32_t>(headers.size()), nullptr, 0)) {
        FailNetwork();
        return false;
    }
    return true;
}

bool TJvHttpUrlGrabberThread::RequestAnew(const TJvGrabberSettings& settings)
{
    if (handles_.transfer)
        InternetCloseHandle(std::exchange(handles_.transfer, nullptr));
    StartContentOver();
    held_ = {};
    return Request(settings, nullptr);
}

std::optional<TPartRecord> TJvHttpUrlGrabberThread::ContinuablePart(const TJvGrabberSettings& settings)
{
    held_ = {};
    TGrabberPartFile* part = Part();
    if (!part || settings.ResumeMode == rmOff || !part->Record())
        return std::nullopt;
    const TPartRecord& record = *part->Record();
    THeldBytes held = HeldByRecord(record, part->Size());
    if (record.Address != RecordedAddress(settings) || held.Total() <= 0 || held.Total() >= record.Length)
        return std::nullopt;
    // Bytes past the held ones that no line records were written by a run
    // that ended before it could say so; one connection appends after what
    // is held.
    if (held.IsPrefix() && part->Size() != held.Total()) {
        try {
            part->SetSize(held.Total());
            part->Seek(0, soEnd);
        } catch (const EStreamError& failure) {
            FailToWrite(failure);
            return std::nullopt;
        }
    }
    held_ = held;
    return record;
}

std::int64_t TJvHttpUrlGrabberThread::ContinueAt() const
{
    const std::vector<TByteSpan>& spans = held_.Spans();
    return !spans.empty() && spans.front().From == 0 ? spans.front().To : 0;
}

bool TJvHttpUrlGrabberThread::ContinuationRefused(const TPartRecord& record)
{
    const int status = HttpStatus::Number(ResponseHeader(HTTP_QUERY_STATUS_CODE));
    if (status == HttpStatus::kRangeNotSatisfiable)
        return true;
    if (status != HttpStatus::kPartialContent)
        return false;
    // Servers and caches that ignore If-Range answer with what they have
    // now: only the rest of the same content, and only that, may be joined.
    auto range = ParseContentRange(ResponseHeader(HTTP_QUERY_CONTENT_RANGE));
    std::optional<std::string> validator = ResponseValidator();
    std::optional<std::string> length = QueryHeader(handles_.transfer, HTTP_QUERY_CONTENT_LENGTH);
    return !range || range->First != ContinueAt() || range->Length != record.Length || validator != record.Validator ||
        (length && ParseByteCount(*length) != range->Last - range->First + 1);
}

bool TJvHttpUrlGrabberThread::OpenRequest(const TJvGrabberSettings& settings)
{
    std::uint32_t flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_PRAGMA_NOCACHE;
    // The secure grabber shares this worker; its requests must go over TLS.
    if (settings.Address->Scheme() == "https")
        flags |= INTERNET_FLAG_SECURE;
    // No object name: the request is for the address the connection was
    // made with, as it was read. HTTP/1.1 lets the server say where a body
    // without a length ends (chunks), so a cut is told from the end.
    handles_.transfer = HttpOpenRequest(handles_.connection, "GET", nullptr, "HTTP/1.1", settings.Referer.c_str(),
                                        nullptr, flags, nullptr);
    if (!handles_.transfer) {
        FailNetwork();
        return false;
    }
    if (settings.ProxyMode != pmNoProxy) {
        SetTextOption(handles_.transfer, INTERNET_OPTION_PROXY_USERNAME, settings.ProxyUserName);
        SetTextOption(handles_.transfer, INTERNET_OPTION_PROXY_PASSWORD, settings.ProxyPassword);
    }
    return true;
}

bool TJvHttpUrlGrabberThread::ExamineResponse(const TJvGrabberSettings& settings, const TPartRecord* continuing)
{
    const std::string code = ResponseHeader(HTTP_QUERY_STATUS_CODE);
    const int status = HttpStatus::Number(code);
    static_cast<TJvHttpUrlGrabber*>(Grabber())->SetStatusCode(code);
    if (continuing && status == HttpStatus::kPartialContent) {
        SetSize(continuing->Length);
        SetBytesRead(held_.Total());
        HandOverResume();
        return true;
    }
    // The server sends the whole content: it ignored the range, or the
    // content changed since the part was begun.
    if (continuing && status == HttpStatus::kOk) {
        StartContentOver();
        held_ = {};
    }
    // Only a success carries the resource; an error page is not the video.
    if (!HttpStatus::IsSuccess(status)) {
        FailStatus(code);
        return false;
    }
    if (settings.RefuseWebPages && IsWebPage()) {
        Fail(fkRefused, "The address leads to a web page, not to a file.");
        return false;
    }
    std::optional<std::string> lengthText = QueryHeader(handles_.transfer, HTTP_QUERY_CONTENT_LENGTH);
    if (!lengthText) {
        SetSize(0);
        return !Failed();
    }
    std::optional<std::int64_t> length = ParseByteCount(*lengthText);
    if (!length) {
        Fail(fkRefused, "Invalid Content-Length \"%s\"", {*lengthText});
        return false;
    }
    SetSize(*length);
    return RememberIfContinuable(settings);
}

// A server error, a time-out or "too many requests" may pass; the server
// may say when to ask again.
void TJvHttpUrlGrabberThread::FailStatus(const std::string& code)
{
    std::string reason = ResponseHeader(HTTP_QUERY_STATUS_TEXT);
    const bool passing = HttpStatus::Passes(HttpStatus::Number(code));
    if (passing)
        if (auto wait = RetryAfterSeconds(ResponseHeader(HTTP_QUERY_RETRY_AFTER)))
            RetryAfter(*wait);
    Fail(passing ? fkBusy : fkRefused,
         code.empty() ? "No valid HTTP response" : "HTTP " + code + (reason.empty() ? "" : " " + reason));
}

bool TJvHttpUrlGrabberThread::RememberIfContinuable(const TJvGrabberSettings& settings)
{
    TGrabberPartFile* part = Part();
    if (!part || settings.ResumeMode == rmOff || Size() <= 0 || Failed())
        return !Failed();
    std::optional<std::string> validator = ResponseValidator();
    if (!OffersByteRanges(ResponseHeader(HTTP_QUERY_ACCEPT_RANGES)) || !validator)
        return true;
    try {
        part->Remember({RecordedAddress(settings), *validator, Size(), {}});
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

std::optional<std::string> TJvHttpUrlGrabberThread::ResponseValidator() const
{
    return RangeValidator(ResponseHeader(HTTP_QUERY_ETAG), ResponseHeader(HTTP_QUERY_LAST_MODIFIED));
}

bool TJvHttpUrlGrabberThread::IsWebPage()
{
    std::string type = ResponseHeader(HTTP_QUERY_CONTENT_TYPE);
    std::string mediaType = AsciiText::Trim(std::string_view(type).substr(0, type.find(';')));
    return AsciiText::SameText(mediaType, "text/html") || AsciiText::SameText(mediaType, "application/xhtml+xml");
}
