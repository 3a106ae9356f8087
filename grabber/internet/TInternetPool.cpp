#include "grabber/internet/TInternetPool.h"

#include "grabber/internet/CurlTransfer.h"
#include "runtime/AsciiText.h"
#include "runtime/TThread.h"

#include <curl/curl.h>

#include <algorithm>

namespace {

// How long one wait for the network lasts before stalls and stop requests
// are looked at.
constexpr std::chrono::milliseconds kPollStep{50};

using TClock = std::chrono::steady_clock;

bool WorkerAskedToStop()
{
    TThread* worker = TThread::Current();
    return worker && worker->Terminated();
}

} // namespace

struct TInternetPool::TTransfer {
    TTransfer(int id, TRequest request) : Id(id), Request(std::move(request)) {}

    int Id = 0;
    TRequest Request;
    CURL* Easy = nullptr;
    curl_slist* Headers = nullptr;
    char ErrorBuffer[CURL_ERROR_SIZE] = {};
    THead Head;
    bool HeadDone = false;
    bool EndedByCaller = false;
    bool CloseNotified = false;
    TClock::time_point LastActivity = TClock::now();

    ~TTransfer()
    {
        if (Easy)
            curl_easy_cleanup(Easy);
        curl_slist_free_all(Headers);
    }

    // One line of the head; a new status line begins a new answer (after
    // an interim one or a redirect that is followed).
    bool OnHeaderLine(std::string_view data)
    {
        LastActivity = TClock::now();
        const std::string line = AsciiText::Trim(data);
        if (line.rfind("HTTP/", 0) == 0) {
            Head = THead{};
            const std::size_t codeStart = std::min(line.find(' '), line.size());
            const std::size_t codeEnd = std::min(line.find(' ', codeStart + 1), line.size());
            Head.Status = AsciiText::ToInt32(line.substr(codeStart, codeEnd - codeStart)).value_or(0);
            Head.StatusText = codeEnd < line.size() ? line.substr(codeEnd + 1) : "";
        } else if (!line.empty()) {
            const std::size_t colon = line.find(':');
            if (colon != std::string::npos)
                Head.Fields.emplace_back(line.substr(0, colon), AsciiText::Trim(line.substr(colon + 1)));
        } else if (!Interim()) {
            HeadDone = true;
            if (Request.OnHead && !Request.OnHead(Head))
                EndedByCaller = true;
        }
        return !EndedByCaller;
    }

    bool OnBodyBytes(std::string_view bytes)
    {
        LastActivity = TClock::now();
        if (Request.OnBody && !Request.OnBody(bytes))
            EndedByCaller = true;
        return !EndedByCaller;
    }

    // An answer another one follows: an interim one, or a redirect.
    bool Interim() const
    {
        return Head.Status / 100 == 1 || (Head.Status / 100 == 3 && Head.Field("Location").has_value());
    }
};

// The C entry points libcurl calls.
struct TInternetPoolCallbacks {
    static std::size_t Header(char* data, std::size_t size, std::size_t count, void* transfer)
    {
        const std::size_t length = size * count;
        return static_cast<TInternetPool::TTransfer*>(transfer)->OnHeaderLine({data, length}) ? length : 0;
    }
    static std::size_t Body(char* data, std::size_t size, std::size_t count, void* transfer)
    {
        const std::size_t length = size * count;
        return static_cast<TInternetPool::TTransfer*>(transfer)->OnBodyBytes({data, length}) ? length : 0;
    }
};

std::optional<std::string> TInternetPool::THead::Field(std::string_view name) const
{
    for (auto it = Fields.rbegin(); it != Fields.rend(); ++it)
        if (AsciiText::SameText(it->first, name))
            return it->second;
    return std::nullopt;
}

TInternetPool::TInternetPool(TInternetSettings settings, int connections) : settings_(std::move(settings))
{
    CurlTransfer::InitialiseOnce();
    multi_ = curl_multi_init();
    curl_multi_setopt(multi_, CURLMOPT_PIPELINING, CURLPIPE_MULTIPLEX);
    curl_multi_setopt(multi_, CURLMOPT_MAX_HOST_CONNECTIONS, static_cast<long>(std::max(connections, 1)));
}

TInternetPool::~TInternetPool()
{
    while (!transfers_.empty())
        Remove(transfers_.begin()->first);
    curl_multi_cleanup(multi_);
}

void TInternetPool::OneTransferPerConnection()
{
    ownConnections_ = true;
    curl_multi_setopt(multi_, CURLMOPT_PIPELINING, CURLPIPE_NOTHING);
}

int TInternetPool::Start(TRequest request)
{
    auto transfer = std::make_unique<TTransfer>(++lastId_, std::move(request));
    transfer->Easy = curl_easy_init();
    Configure(*transfer);
    curl_multi_add_handle(multi_, transfer->Easy);
    const int id = transfer->Id;
    transfers_.emplace(id, std::move(transfer));
    return id;
}

void TInternetPool::Configure(TTransfer& transfer)
{
    CURL* easy = transfer.Easy;
    const TWebAddress& address = transfer.Request.Address;
    curl_easy_setopt(easy, CURLOPT_URL, address.RequestText().c_str());
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, transfer.ErrorBuffer);
    curl_easy_setopt(easy, CURLOPT_PRIVATE, &transfer);
    CurlTransfer::ApplyCommon(easy, settings_, "http,https");
    CurlTransfer::ApplyTls(easy, &transfer.CloseNotified);
    CurlTransfer::ApplyProxy(easy, settings_, address, "http");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    if (ownConnections_) {
        curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    } else {
        // Waits for a connection that can carry several transfers rather
        // than opening another, where the server offers HTTP/2.
        curl_easy_setopt(easy, CURLOPT_PIPEWAIT, 1L);
    }
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &TInternetPoolCallbacks::Header);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &TInternetPoolCallbacks::Body);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &transfer);
    if (!address.UserName().empty())
        curl_easy_setopt(easy, CURLOPT_USERNAME, address.UserName().c_str());
    if (!address.Password().empty())
        curl_easy_setopt(easy, CURLOPT_PASSWORD, address.Password().c_str());
    for (const std::string& line : transfer.Request.Headers)
        transfer.Headers = curl_slist_append(transfer.Headers, line.c_str());
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, transfer.Headers);
}

std::optional<TInternetPool::TEnd> TInternetPool::Wait(std::chrono::milliseconds time, const TInternetWaitHint& also)
{
    auto deadline = TClock::now() + time;
    if (also.TimeoutMs >= 0)
        deadline = std::min(deadline, TClock::now() + std::chrono::milliseconds(also.TimeoutMs));
    for (;;) {
        if (WorkerAskedToStop()) {
            while (!transfers_.empty())
                Remove(transfers_.begin()->first);
            return std::nullopt;
        }
        int running = 0;
        curl_multi_perform(multi_, &running);
        if (std::optional<TEnd> end = Collect())
            return end;
        TEnd stalled;
        if (StalledTransfer(stalled))
            return stalled;
        const auto now = TClock::now();
        if (now >= deadline)
            return std::nullopt;
        const auto step = std::min(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now), kPollStep);
        curl_waitfd other{also.Socket, CURL_WAIT_POLLIN, 0};
        const bool withOther = also.Socket >= 0;
        curl_multi_poll(multi_, withOther ? &other : nullptr, withOther ? 1 : 0,
                        static_cast<int>(std::max<long>(step.count(), 1)), nullptr);
        if (withOther && other.revents != 0)
            return std::nullopt;
    }
}

std::optional<TInternetPool::TEnd> TInternetPool::Collect()
{
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi_, &left)) {
        if (message->msg != CURLMSG_DONE)
            continue;
        TTransfer* transfer = nullptr;
        curl_easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, &transfer);
        TEnd end = Finish(*transfer, message->data.result);
        Remove(end.Id);
        return end;
    }
    return std::nullopt;
}

TInternetPool::TEnd TInternetPool::Finish(TTransfer& transfer, int curlCode)
{
    TEnd end{transfer.Id, std::nullopt, transfer.EndedByCaller};
    if (transfer.EndedByCaller)
        return end;
    if (curlCode != CURLE_OK) {
        end.Failure = CurlTransfer::FailureOf(transfer.Easy, curlCode, transfer.ErrorBuffer);
        return end;
    }
    std::optional<std::string> encoding = transfer.Head.Field("Transfer-Encoding");
    const bool chunked = encoding && AsciiText::ContainsText(*encoding, "chunked");
    if (CurlTransfer::CutWithoutCloseNotify(transfer.Request.Address.Scheme(), transfer.CloseNotified,
                                            transfer.Head.Field("Content-Length").has_value(), chunked))
        end.Failure = CurlTransfer::TlsCutFailure(transfer.Request.Address);
    return end;
}

// A transfer that got no byte for the stall time-out ends as timed out.
bool TInternetPool::StalledTransfer(TEnd& end)
{
    const auto limit = std::chrono::milliseconds(settings_.receiveTimeoutMs);
    const auto now = TClock::now();
    for (auto& [id, transfer] : transfers_) {
        if (now - transfer->LastActivity <= limit)
            continue;
        end = TEnd{id,
                   InternetFailure(ERROR_INTERNET_TIMEOUT,
                                   "no data received for " + std::to_string(settings_.receiveTimeoutMs) + " ms"),
                   false};
        Remove(id);
        return true;
    }
    return false;
}

void TInternetPool::Cancel(int id)
{
    Remove(id);
}

void TInternetPool::Remove(int id)
{
    auto found = transfers_.find(id);
    if (found == transfers_.end())
        return;
    curl_multi_remove_handle(multi_, found->second->Easy);
    transfers_.erase(found);
}
