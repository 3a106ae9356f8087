#pragma once

#include "grabber/internet/TInternetHandle.h"

#include <chrono>
#include <exception>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

typedef void CURL;
typedef void CURLM;
struct curl_slist;

// One transfer on libcurl, driven as a pull: the caller's calls run the
// transfer just far enough (the headers for Send, some bytes for Read), and
// libcurl is paused while received bytes wait for the caller, so at most
// one buffer's worth is held whatever the size of the body. Bytes that
// arrive while a read waits go straight into the reader's buffer.
class TInternetRequest : public TInternetHandle {
public:
    // Everything the transfer needs, fixed when the request is opened.
    struct Target {
        TWebAddress address; // without user information: that travels apart
        std::string scheme;  // what the request speaks: http, https or ftp
        std::string version; // "HTTP/1.1", else HTTP/1.0 is spoken
        std::string referrer;
        std::uint32_t flags = 0;
        TInternetServer server;
    };

    explicit TInternetRequest(Target target);
    ~TInternetRequest() override;

    // Starts the transfer, with the extra header lines given, and runs it
    // until the final response's headers (HTTP) or its first data (FTP) have
    // arrived, or it ended.
    bool Send(const std::vector<std::string>& extraHeaders = {});
    // The address libcurl is given: the target's, in the request's scheme.
    std::string Url() const;
    bool Read(void* buffer, std::uint32_t toRead, std::uint32_t& read);
    // Read without waiting: one round of the transfer, then what arrived.
    // Nothing read and ended false: nothing has arrived yet (see WaitHint).
    bool ReadArrived(void* buffer, std::uint32_t toRead, std::uint32_t& read, bool& ended);
    // What a caller that waits on several transfers waits on for this one.
    TInternetWaitHint WaitHint() const;
    // The final response's status code, reason and headers.
    std::optional<std::string> StatusCode() const;
    std::optional<std::string> StatusText() const;
    std::optional<std::string> Header(const std::string& name) const;
    // The size announced by the server, -1 when unknown.
    std::int64_t ContentLength() const;
    // Reports the closing notices; libcurl releases the connection in the
    // destructor.
    void NotifyClose();

    void Notify(std::uint32_t status, const std::string& information = {});

private:
    bool IsFtp() const { return target_.server.service == INTERNET_SERVICE_FTP; }
    // Sets the transfer up by concern; false when libcurl has no handles.
    bool Configure();
    void ConfigureTransfer();
    void ConfigureFtp();
    void ConfigureHttp();
    // Drives the transfer until enough holds, it ends, or a time-out. A read
    // that waits tells the status callback once that it is receiving, so
    // the caller can show what arrived before the wait.
    enum TWaitNotice { wnNone, wnOnce };
    bool Pump(const std::function<bool()>& enough, TWaitNotice notice = wnNone);
    // Lets libcurl go on after it was paused for the caller.
    void Resume();
    // Hands out what waits for the caller; false when nothing does.
    bool TakeUnread(void* buffer, std::uint32_t toRead, std::uint32_t& read);
    // What a read that found nothing says: the end, or a failure.
    bool EndOfBody();
    void Perform();
    void CollectResult();
    bool IdleTooLong() const;
    bool Fail(std::uint32_t code, const std::string& text);
    // Records the failure libcurl ended the transfer with.
    bool FailWithResult();
    // Over TLS, a body whose length nothing announced ends where the server
    // says so with its close notification; without one, it was cut.
    bool CutWithoutCloseNotify() const;
    bool FailTlsCut();
    std::size_t Unread() const { return body_.size() - bodyRead_; }

    // libcurl calls these through static trampolines.
    friend struct TInternetRequestCallbacks;
    std::size_t OnHeader(const char* data, std::size_t size);
    std::size_t OnBody(const char* data, std::size_t size);
    int OnOpenSocket(int family, int type, int protocol, const std::string& address);
    void OnConnected();

    Target target_;
    CURL* easy_ = nullptr;
    CURLM* multi_ = nullptr;
    curl_slist* headers_ = nullptr;
    std::vector<std::string> extraHeaders_;
    char errorBuffer_[256] = {};

    bool sent_ = false;
    bool connected_ = false;
    bool headersDone_ = false;
    bool sawResponse_ = false;
    bool done_ = false;
    bool paused_ = false;
    bool closeNotified_ = false;
    int result_ = 0;
    std::exception_ptr pendingError_;
    std::chrono::steady_clock::time_point lastActivity_;

    // The response being received; the last one is the final response.
    std::string statusCode_;
    std::string statusText_;
    std::vector<std::pair<std::string, std::string>> responseHeaders_;
    std::string redirectTo_;
    std::set<std::string> redirectsSeen_;
    bool redirectedBack_ = false;

    std::string body_;
    std::size_t bodyRead_ = 0;
    bool gotBody_ = false;
    // The reader's buffer while a read waits with nothing unread.
    struct TDirect {
        char* At = nullptr;
        std::size_t Room = 0;
        std::size_t Filled = 0;
    } direct_;
};
