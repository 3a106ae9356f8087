#include "grabber/internet/TInternetRequest.h"

#include "grabber/internet/CurlTransfer.h"
#include "grabber/internet/TInternetFailure.h"
#include "runtime/AsciiText.h"
#include "runtime/TThread.h"

#include <curl/curl.h>

#include <algorithm>
#include <arpa/inet.h>
#include <cstdio>
#include <cstring>
#include <sys/select.h>
#include <sys/socket.h>

namespace {

// libcurl is paused once this much waits for the caller.
constexpr std::size_t kHighWater = 256 * 1024;
// How long one wait for the network lasts before the time-outs are checked.
constexpr int kPollMs = 50;
// A read that has waited this long for the network says so (as WinInet
// tells INTERNET_STATUS_RECEIVING_RESPONSE during reads): the caller may
// hold bytes it has not shown yet, and the server may be stalling.
constexpr std::chrono::milliseconds kWaitNoticeAfter{250};

} // namespace

// The C entry points libcurl calls. An exception thrown by the status
// callback cannot cross libcurl, so it is kept and rethrown by the call
// that drove the transfer.
struct TInternetRequestCallbacks {
    static std::size_t Header(char* data, std::size_t size, std::size_t count, void* self)
    {
        return static_cast<TInternetRequest*>(self)->OnHeader(data, size * count);
    }
    static std::size_t Body(char* data, std::size_t size, std::size_t count, void* self)
    {
        return static_cast<TInternetRequest*>(self)->OnBody(data, size * count);
    }
    static curl_socket_t OpenSocket(void* self, curlsocktype, curl_sockaddr* address)
    {
        char text[INET6_ADDRSTRLEN] = {};
        const void* raw = address->addr.sa_family == AF_INET6
            ? static_cast<const void*>(&reinterpret_cast<sockaddr_in6*>(&address->addr)->sin6_addr)
            : static_cast<const void*>(&reinterpret_cast<sockaddr_in*>(&address->addr)->sin_addr);
        ::inet_ntop(address->addr.sa_family, raw, text, sizeof text);
        return static_cast<TInternetRequest*>(self)->OnOpenSocket(address->family, address->socktype, address->protocol,
                                                                  text);
    }
    static int Prerequest(void* self, char*, char*, int, int)
    {
        auto* request = static_cast<TInternetRequest*>(self);
        try {
            request->OnConnected();
        } catch (...) {
            request->pendingError_ = std::current_exception();
            return CURL_PREREQFUNC_ABORT;
        }
        return CURL_PREREQFUNC_OK;
    }
};

TInternetRequest::TInternetRequest(Target target) : target_(std::move(target)) {}

TInternetRequest::~TInternetRequest()
{
    if (multi_ && easy_)
        curl_multi_remove_handle(multi_, easy_);
    if (easy_)
        curl_easy_cleanup(easy_);
    if (multi_)
        curl_multi_cleanup(multi_);
    curl_slist_free_all(headers_);
}

void TInternetRequest::Notify(std::uint32_t status, const std::string& information)
{
    if (callback)
        callback(this, context, status, information.c_str(), static_cast<std::uint32_t>(information.size() + 1));
}

bool TInternetRequest::Configure()
{
    easy_ = curl_easy_init();
    multi_ = curl_multi_init();
    if (!easy_ || !multi_)
        return Fail(ERROR_NOT_ENOUGH_MEMORY, "Out of memory");
    ConfigureTransfer();
    CurlTransfer::ApplyTls(easy_, &closeNotified_);
    CurlTransfer::ApplyProxy(easy_, settings, target_.address, IsFtp() ? "ftp" : "http");
    if (IsFtp())
        ConfigureFtp();
    else
        ConfigureHttp();
    return true;
}

// What every transfer has: the address, the protocols it may use, the
// connect time-out, the receive cap, the callbacks, the agent and the
// server's credentials.
void TInternetRequest::ConfigureTransfer()
{
    curl_easy_setopt(easy_, CURLOPT_URL, Url().c_str());
    curl_easy_setopt(easy_, CURLOPT_ERRORBUFFER, errorBuffer_);
    CurlTransfer::ApplyCommon(easy_, settings, IsFtp() ? "ftp" : "http,https");
    curl_easy_setopt(easy_, CURLOPT_HEADERFUNCTION, &TInternetRequestCallbacks::Header);
    curl_easy_setopt(easy_, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy_, CURLOPT_WRITEFUNCTION, &TInternetRequestCallbacks::Body);
    curl_easy_setopt(easy_, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(easy_, CURLOPT_OPENSOCKETFUNCTION, &TInternetRequestCallbacks::OpenSocket);
    curl_easy_setopt(easy_, CURLOPT_OPENSOCKETDATA, this);
    curl_easy_setopt(easy_, CURLOPT_PREREQFUNCTION, &TInternetRequestCallbacks::Prerequest);
    curl_easy_setopt(easy_, CURLOPT_PREREQDATA, this);
    if (target_.server.userName)
        curl_easy_setopt(easy_, CURLOPT_USERNAME, target_.server.userName->c_str());
    if (target_.server.password)
        curl_easy_setopt(easy_, CURLOPT_PASSWORD, target_.server.password->c_str());
}

void TInternetRequest::ConfigureFtp()
{
    if (!(target_.server.flags & INTERNET_FLAG_PASSIVE))
        curl_easy_setopt(easy_, CURLOPT_FTPPORT, "-");
    if ((target_.flags & 3) == FTP_TRANSFER_TYPE_ASCII)
        curl_easy_setopt(easy_, CURLOPT_TRANSFERTEXT, 1L);
}

void TInternetRequest::ConfigureHttp()
{
    const bool version11 = target_.version == "HTTP/1.1";
    curl_easy_setopt(easy_, CURLOPT_HTTP_VERSION,
                     static_cast<long>(version11 ? CURL_HTTP_VERSION_1_1 : CURL_HTTP_VERSION_1_0));
    curl_easy_setopt(easy_, CURLOPT_FOLLOWLOCATION, 1L);
    if (!target_.referrer.empty())
        curl_easy_setopt(easy_, CURLOPT_REFERER, target_.referrer.c_str());
    // No accept types were given, so no Accept header goes out.
    headers_ = curl_slist_append(headers_, "Accept:");
    if (target_.flags & INTERNET_FLAG_PRAGMA_NOCACHE)
        headers_ = curl_slist_append(headers_, "Pragma: no-cache");
    if (target_.flags & INTERNET_FLAG_RELOAD)
        headers_ = curl_slist_append(headers_, "Cache-Control: no-cache");
    for (const std::string& line : extraHeaders_)
        headers_ = curl_slist_append(headers_, line.c_str());
    curl_easy_setopt(easy_, CURLOPT_HTTPHEADER, headers_);
}

bool TInternetRequest::Send(const std::vector<std::string>& extraHeaders)
{
    if (sent_)
        return Fail(ERROR_INTERNET_INCORRECT_HANDLE_STATE, "The request has already been sent");
    sent_ = true;
    extraHeaders_ = extraHeaders;
    if (!Configure())
        return false;
    Notify(INTERNET_STATUS_RESOLVING_NAME, target_.address.HostName());
    lastActivity_ = std::chrono::steady_clock::now();
    curl_multi_add_handle(multi_, easy_);
    // Once the response has begun, a later failure (a body cut short, say)
    // belongs to the reads, after the bytes that did arrive.
    if (!Pump([&] { return IsFtp() ? (gotBody_ || Unread() > 0) : headersDone_; }) && result_ != CURLE_OK)
        return FailWithResult();
    return true;
}

std::string TInternetRequest::Url() const
{
    return target_.scheme + "://" + target_.address.HostAndPort() + target_.address.Target();
}

bool TInternetRequest::Read(void* buffer, std::uint32_t toRead, std::uint32_t& read)
{
    read = 0;
    if (!sent_)
        return Fail(ERROR_INTERNET_INCORRECT_HANDLE_STATE, "The request has not been sent");
    if (TakeUnread(buffer, toRead, read))
        return true;
    // Nothing waits: what arrives now is copied once, into the reader's
    // buffer, instead of through ours.
    direct_ = {static_cast<char*>(buffer), toRead, 0};
    Resume();
    Pump([&] { return direct_.Filled > 0 || Unread() > 0; }, wnOnce);
    read = static_cast<std::uint32_t>(std::exchange(direct_, {}).Filled);
    if (read > 0 || TakeUnread(buffer, toRead, read))
        return true;
    return EndOfBody();
}

bool TInternetRequest::ReadArrived(void* buffer, std::uint32_t toRead, std::uint32_t& read, bool& ended)
{
    read = 0;
    ended = false;
    if (!sent_)
        return Fail(ERROR_INTERNET_INCORRECT_HANDLE_STATE, "The request has not been sent");
    if (TakeUnread(buffer, toRead, read))
        return true;
    if (!done_) {
        direct_ = {static_cast<char*>(buffer), toRead, 0};
        Resume();
        Perform();
        read = static_cast<std::uint32_t>(std::exchange(direct_, {}).Filled);
        if (read > 0 || TakeUnread(buffer, toRead, read) || !done_)
            return true;
    }
    ended = true;
    return EndOfBody();
}

// libcurl names the socket of a transfer under way only through its sets
// (the active socket is known once the transfer is done).
TInternetWaitHint TInternetRequest::WaitHint() const
{
    TInternetWaitHint hint;
    fd_set reading, writing, failing;
    FD_ZERO(&reading);
    FD_ZERO(&writing);
    FD_ZERO(&failing);
    int highest = -1;
    if (multi_ && curl_multi_fdset(multi_, &reading, &writing, &failing, &highest) == CURLM_OK)
        for (int socket = 0; socket <= highest && hint.Socket < 0; ++socket)
            if (FD_ISSET(socket, &reading))
                hint.Socket = socket;
    long timeout = -1;
    if (multi_ && curl_multi_timeout(multi_, &timeout) == CURLM_OK)
        hint.TimeoutMs = timeout;
    // Bytes that wait for the reader (libcurl paused for them) are read at
    // once; no socket tells of them.
    if (Unread() > 0 || paused_)
        hint.TimeoutMs = 0;
    return hint;
}

void TInternetRequest::Resume()
{
    if (!paused_)
        return;
    paused_ = false;
    lastActivity_ = std::chrono::steady_clock::now();
    curl_easy_pause(easy_, CURLPAUSE_CONT);
    if (pendingError_)
        std::rethrow_exception(std::exchange(pendingError_, nullptr));
}

bool TInternetRequest::TakeUnread(void* buffer, std::uint32_t toRead, std::uint32_t& read)
{
    if (Unread() == 0)
        return false;
    std::size_t count = std::min<std::size_t>(toRead, Unread());
    std::memcpy(buffer, body_.data() + bodyRead_, count);
    bodyRead_ += count;
    if (bodyRead_ == body_.size()) {
        body_.clear();
        bodyRead_ = 0;
    }
    read = static_cast<std::uint32_t>(count);
    return true;
}

bool TInternetRequest::EndOfBody()
{
    if (result_ != CURLE_OK)
        return FailWithResult();
    if (CutWithoutCloseNotify())
        return FailTlsCut();
    return true;
}

bool TInternetRequest::CutWithoutCloseNotify() const
{
    std::optional<std::string> encoding = Header("Transfer-Encoding");
    const bool chunked = encoding && AsciiText::ContainsText(*encoding, "chunked");
    return !IsFtp() &&
        CurlTransfer::CutWithoutCloseNotify(target_.scheme, closeNotified_, Header("Content-Length").has_value(),
                                            chunked);
}

bool TInternetRequest::FailTlsCut()
{
    SetLastInternetFailure(CurlTransfer::TlsCutFailure(target_.address));
    return false;
}

bool TInternetRequest::Pump(const std::function<bool()>& enough, TWaitNotice notice)
{
    // The receive time-out counts from the moment the caller starts waiting.
    lastActivity_ = std::chrono::steady_clock::now();
    const auto began = lastActivity_;
    while (!enough() && !done_) {
        Perform();
        if (enough() || done_)
            break;
        // A stop request ends the wait at once, so stopping a download never
        // waits for a silent server's time-out.
        if (TThread* worker = TThread::Current(); worker && worker->Terminated()) {
            done_ = true;
            result_ = CURLE_ABORTED_BY_CALLBACK;
            std::snprintf(errorBuffer_, sizeof errorBuffer_, "Operation cancelled");
            break;
        }
        if (IdleTooLong()) {
            done_ = true;
            result_ = CURLE_OPERATION_TIMEDOUT;
            std::snprintf(errorBuffer_, sizeof errorBuffer_, "no data received for %u ms", settings.receiveTimeoutMs);
            break;
        }
        if (paused_)
            break; // the caller still has bytes to take
        if (notice == wnOnce && std::chrono::steady_clock::now() - began >= kWaitNoticeAfter) {
            notice = wnNone;
            Notify(INTERNET_STATUS_RECEIVING_RESPONSE);
        }
        curl_multi_poll(multi_, nullptr, 0, kPollMs, nullptr);
    }
    return enough();
}

void TInternetRequest::Perform()
{
    int running = 0;
    curl_multi_perform(multi_, &running);
    if (pendingError_)
        std::rethrow_exception(std::exchange(pendingError_, nullptr));
    CollectResult();
}

void TInternetRequest::CollectResult()
{
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi_, &left)) {
        if (message->msg != CURLMSG_DONE)
            continue;
        done_ = true;
        result_ = message->data.result;
        if (result_ == CURLE_OK)
            Notify(INTERNET_STATUS_REQUEST_COMPLETE);
    }
}

bool TInternetRequest::IdleTooLong() const
{
    if (!connected_)
        return false; // libcurl's connect time-out covers the way there
    return std::chrono::steady_clock::now() - lastActivity_ > std::chrono::milliseconds(settings.receiveTimeoutMs);
}

// libcurl's failure by what it means here. A refused certificate is worded
// as the page client words it, with the host and OpenSSL's reason. Some of
// libcurl's texts mislead: a redirect loop can end in "Connection died,
// tried 5 times before giving up", a header line too long in "Out of
// memory"; those are known by when they happen and keep no text. Every
// other failure keeps libcurl's own account.
bool TInternetRequest::FailWithResult()
{
    const auto result = static_cast<CURLcode>(result_);
    if (result == CURLE_TOO_MANY_REDIRECTS)
        return Fail(ERROR_HTTP_REDIRECT_FAILED, errorBuffer_);
    if (redirectedBack_ && result != CURLE_OPERATION_TIMEDOUT && result != CURLE_ABORTED_BY_CALLBACK)
        return Fail(ERROR_HTTP_REDIRECT_FAILED, "");
    if (result == CURLE_OUT_OF_MEMORY && sawResponse_ && !headersDone_)
        return Fail(ERROR_HTTP_INVALID_HEADER, "");
    SetLastInternetFailure(CurlTransfer::FailureOf(easy_, result_, errorBuffer_));
    return false;
}

bool TInternetRequest::Fail(std::uint32_t code, const std::string& text)
{
    SetLastInternetFailure(InternetFailure(code, text));
    return false;
}

std::size_t TInternetRequest::OnHeader(const char* data, std::size_t size)
{
    lastActivity_ = std::chrono::steady_clock::now();
    std::string line = AsciiText::Trim(std::string_view(data, size));
    try {
        if (line.rfind("HTTP/", 0) == 0) {
            if (!sawResponse_) {
                Notify(INTERNET_STATUS_REQUEST_SENT);
                Notify(INTERNET_STATUS_RECEIVING_RESPONSE);
            }
            sawResponse_ = true;
            responseHeaders_.clear();
            redirectTo_.clear();
            std::size_t codeStart = line.find(' ');
            std::size_t codeEnd = codeStart == std::string::npos ? std::string::npos : line.find(' ', codeStart + 1);
            statusCode_ = codeStart == std::string::npos ? "" : line.substr(codeStart + 1, codeEnd - codeStart - 1);
            statusText_ = codeEnd == std::string::npos ? "" : line.substr(codeEnd + 1);
        } else if (line.empty()) {
            if (statusCode_.size() == 3 && statusCode_[0] == '1')
                return size; // an interim response; the real one follows
            Notify(INTERNET_STATUS_RESPONSE_RECEIVED);
            if (statusCode_.size() == 3 && statusCode_[0] == '3' && !redirectTo_.empty()) {
                // No cookies are kept, so being sent back to an address
                // asked before can only go round for ever.
                redirectedBack_ = redirectedBack_ || !redirectsSeen_.insert(redirectTo_).second;
                Notify(INTERNET_STATUS_REDIRECT, redirectTo_);
            } else {
                headersDone_ = true;
            }
        } else if (std::size_t colon = line.find(':'); colon != std::string::npos) {
            std::string name = line.substr(0, colon);
            std::string value = AsciiText::Trim(line.substr(colon + 1));
            if (AsciiText::SameText(name, "Location"))
                redirectTo_ = value;
            responseHeaders_.emplace_back(name, value);
        }
    } catch (...) {
        pendingError_ = std::current_exception();
        return 0;
    }
    return size;
}

std::size_t TInternetRequest::OnBody(const char* data, std::size_t size)
{
    // What the waiting reader's buffer cannot take is kept whatever the high
    // water: part of these bytes is taken, so libcurl cannot be paused.
    if (direct_.Room > direct_.Filled) {
        const std::size_t count = std::min(size, direct_.Room - direct_.Filled);
        std::memcpy(direct_.At + direct_.Filled, data, count);
        direct_.Filled += count;
        body_.append(data + count, size - count);
    } else if (Unread() >= kHighWater) {
        paused_ = true;
        return CURL_WRITEFUNC_PAUSE;
    } else {
        body_.append(data, size);
    }
    lastActivity_ = std::chrono::steady_clock::now();
    gotBody_ = true;
    return size;
}

int TInternetRequest::OnOpenSocket(int family, int type, int protocol, const std::string& address)
{
    try {
        Notify(INTERNET_STATUS_NAME_RESOLVED, address);
        Notify(INTERNET_STATUS_CONNECTING_TO_SERVER, address);
    } catch (...) {
        pendingError_ = std::current_exception();
        return CURL_SOCKET_BAD;
    }
    return ::socket(family, type | SOCK_CLOEXEC, protocol);
}

void TInternetRequest::OnConnected()
{
    connected_ = true;
    lastActivity_ = std::chrono::steady_clock::now();
    Notify(INTERNET_STATUS_CONNECTED_TO_SERVER);
    Notify(INTERNET_STATUS_SENDING_REQUEST);
}

std::optional<std::string> TInternetRequest::StatusCode() const
{
    if (statusCode_.empty())
        return std::nullopt;
    return statusCode_;
}

std::optional<std::string> TInternetRequest::StatusText() const
{
    if (statusCode_.empty())
        return std::nullopt;
    return statusText_;
}

std::optional<std::string> TInternetRequest::Header(const std::string& name) const
{
    for (auto it = responseHeaders_.rbegin(); it != responseHeaders_.rend(); ++it)
        if (AsciiText::SameText(it->first, name))
            return it->second;
    return std::nullopt;
}

std::int64_t TInternetRequest::ContentLength() const
{
    curl_off_t length = -1;
    if (easy_)
        curl_easy_getinfo(easy_, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
    return length;
}

void TInternetRequest::NotifyClose()
{
    if (!sent_)
        return;
    Notify(INTERNET_STATUS_CLOSING_CONNECTION);
    if (multi_ && easy_)
        curl_multi_remove_handle(multi_, easy_);
    Notify(INTERNET_STATUS_CONNECTION_CLOSED);
}
