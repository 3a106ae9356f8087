#pragma once

#include "http/EIdHTTPProtocolException.h"
#include "http/TIdCookieManager.h"
#include "http/TIdHTTPRequest.h"
#include "http/TIdHTTPResponse.h"
#include "http/TIdProxyConnectionInfo.h"
#include "http/TIdTCPClientCustom.h"
#include "http/TIdURI.h"
#include "http/TProxyRules.h"
#include "tls/TransferPolicy.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TIdIOHandlerTls;
class TStream;

enum TIdHTTPOption : unsigned { hoInProcessAuth = 1u, hoKeepOrigProtocol = 2u, hoForceEncodeParams = 4u };
using TIdHTTPOptions = unsigned;

// What the request loop does after a response head.
enum class TIdHTTPNextStep { GoToAddress, Finish, ReadAndGo, AuthRetry };

// Turns a deflate or gzip body into its plain bytes.
class TIdHTTPCompressor {
public:
    virtual ~TIdHTTPCompressor() = default;
    virtual void Decompress(const std::string& contentEncoding, TStream& source, TStream& target) = 0;
};

using TIdHTTPOnRedirectEvent =
    std::function<void(TObject* Sender, std::string& dest, int& NumRedirect, bool& Handled, std::string& VMethod)>;
using TIdHTTPOnHeadersAvailableEvent = std::function<void(TObject* Sender, TIdHeaderList* AHeaders, bool& VContinue)>;
// Asked when a 401 (or 407) came: a handler that sets Handled has put
// credentials into the request (or the proxy settings) for another try.
using TIdOnAuthorizationEvent = std::function<void(TObject* Sender, TIdHTTPRequest& ARequest, bool& Handled)>;

// Blocking HTTP/1.1 requests on the caller's thread: one request at a time,
// redirects followed on demand, cookies kept, the connection reused while
// the server allows. A socket error of a request names its server in words
// for the user (EIdSocketError::SetPeer). Through a proxy, an http request
// goes to the proxy with the whole address as its target, and an https one
// through a tunnel the proxy opens (CONNECT), in which TLS verifies the
// server at its far end as on a direct connection; a user name and password
// of the proxy go to it in the Basic scheme.
class TIdCustomHTTP : public TIdTCPClientCustom {
public:
    static constexpr int kRedirectBodyReadTimeout = 4000;

    explicit TIdCustomHTTP(TComponent* owner = nullptr);
    ~TIdCustomHTTP() override;

    std::string ClassName() const override { return "TIdCustomHTTP"; }

    // GET into text, one character per byte.
    std::string GetToString(const std::string& address);
    void GetToStream(const std::string& address, TStream& stream, const std::vector<int>& ignoreReplies = {});
    void Post(const std::string& address, TStream& source, TStream& response);
    void Put(const std::string& address, TStream& source, TStream& response);
    void PerformRequest(const std::string& verb, const std::string& address, TStream* bodySource, TStream* bodyTarget,
                        const std::vector<int>& ignoreReplies);

    TIdURI& URL() { return url_; }
    TIdHTTPRequest& Request() { return *request_; }
    TIdHTTPResponse& Response() { return *response_; }
    int ResponseCode() const { return response_->StatusNumber(); }
    const std::string& ResponseText() const { return response_->StatusLine(); }

    bool AllowCookies() const { return allowCookies_; }
    void SetAllowCookies(bool allow) { allowCookies_ = allow; }
    bool HandleRedirects() const { return handleRedirects_; }
    void SetHandleRedirects(bool handle) { handleRedirects_ = handle; }
    TIdHTTPProtocolVersion ProtocolVersion() const { return protocolVersion_; }
    void SetProtocolVersion(TIdHTTPProtocolVersion version) { protocolVersion_ = version; }
    // With redirects handled, a request follows one redirect fewer than
    // this and fails with EIdTooManyRedirects at the next.
    int RedirectMaximum() const { return redirectMaximum_; }
    void SetRedirectMaximum(int maximum) { redirectMaximum_ = maximum; }
    int MaxAuthRetries() const { return maxAuthRetries_; }
    void SetMaxAuthRetries(int retries) { maxAuthRetries_ = retries; }
    TIdHTTPOptions HTTPOptions() const { return httpOptions_; }
    void SetHTTPOptions(TIdHTTPOptions options) { httpOptions_ = options; }
    // The proxy of every request; when it names none, ProxyRules choose one
    // for each request's address (none by default).
    TIdProxyConnectionInfo& ProxyParams() { return proxyParams_; }
    const TProxyRules& ProxyRules() const { return proxyRules_; }
    void SetProxyRules(TProxyRules rules) { proxyRules_ = std::move(rules); }
    TIdCookieManager* CookieManager() const { return cookieManager_; }
    // An assigned store stays its owner's; one the client made is freed.
    void SetCookieManager(TIdCookieManager* manager);
    TIdHTTPCompressor* Compressor() const { return compressor_; }
    void SetCompressor(TIdHTTPCompressor* compressor) { compressor_ = compressor; }
    int RedirectsSoFar() const { return redirectsSoFar_; }
    int AuthTries() const { return authTries_; }
    int HeaderLineLimit() const { return headerLineLimit_; }
    void SetHeaderLineLimit(int limit) { headerLineLimit_ = limit; }
    // The longest one request may take, redirects and all, in milliseconds;
    // 0 sets no limit.
    int RequestTimeout() const { return requestTimeout_; }
    void SetRequestTimeout(int milliseconds) { requestTimeout_ = milliseconds; }
    // The most body bytes one response may bring; 0 sets no limit.
    std::int64_t MaxBodySize() const { return maxBodySize_; }
    void SetMaxBodySize(std::int64_t bytes) { maxBodySize_ = bytes; }

    TIdHTTPOnRedirectEvent OnRedirect;
    TIdHTTPOnHeadersAvailableEvent OnHeadersAvailable;
    TIdOnAuthorizationEvent OnAuthorization;
    TIdOnAuthorizationEvent OnProxyAuthorization;

    // Whether the connection is up, after letting the transport notice a
    // close by the peer.
    bool ConnectionAlive();

protected:
    void PrepareTarget();
    void OpenForRequest();
    void SendRequestHead();
    void ReadResponseHead();
    void ReadHeaderBlock();
    void StoreResponseCookies();
    TIdHTTPNextStep DecideNextStep(const std::vector<int>& ignoreReplies);
    void ReadBody(TStream* target);

private:
    void RunRequestLoop(const std::string& address, TStream* bodyTarget, const std::vector<int>& ignoreReplies);
    void CloseUnlessKept();
    void AbandonRequest();
    void DropConnection();
    void ChooseEndpoint();
    TIdProxyConnectionInfo ProxyForRequest() const;
    // The server an https request through a proxy goes to, as CONNECT names it.
    std::string TunnelServer() const;
    void OpenTunnel();
    void ExtendAcceptEncoding();
    void ReconnectIfNeeded();
    static TIdIOHandler* NewIOHandler();
    // The handler when it can speak TLS, and whether the open connection does.
    TIdIOHandlerTls* TlsHandler() const;
    bool SecureConnection() const;
    void AttachCookieHeader();
    TIdHTTPNextStep FollowRedirect(const std::vector<int>& ignoreReplies);
    bool Authorize(int statusNumber);
    void FailWithStatus(const std::vector<int>& ignoreReplies);
    void DiscardRedirectBody();
    // The body readers, in TIdHTTPBody.cpp.
    void ReadBodyInto(TStream& target);
    void ReadBodyBytes(TStream& target);
    void ReadCounted(TStream& target, std::int64_t count);
    void ReadChunked(TStream& target);
    std::string ReadResponseLine();

    TIdURI url_;
    std::unique_ptr<TIdHTTPRequest> request_;
    std::unique_ptr<TIdHTTPResponse> response_;
    TIdProxyConnectionInfo proxyParams_;
    TProxyRules proxyRules_;
    // The proxy of the current request, and the server the open connection
    // tunnels to (empty: no tunnel).
    TIdProxyConnectionInfo requestProxy_;
    std::string tunnelServer_;
    TIdCookieManager* cookieManager_ = nullptr;
    std::unique_ptr<TIdCookieManager> ownedCookieManager_;
    TIdHTTPCompressor* compressor_ = nullptr;

    bool allowCookies_ = true;
    bool handleRedirects_ = false;
    TIdHTTPProtocolVersion protocolVersion_ = pv1_1;
    int redirectMaximum_ = TransferPolicy::kRedirectsFollowed + 1;
    int maxAuthRetries_ = 3;
    TIdHTTPOptions httpOptions_ = hoForceEncodeParams;
    int redirectsSoFar_ = 0;
    int authTries_ = 0;
    int proxyAuthTries_ = 0;
    int headerLineLimit_ = 255;
    int requestTimeout_ = 0;
    std::int64_t maxBodySize_ = 0;
};

// The published face of the client.
class TIdHTTP : public TIdCustomHTTP {
public:
    using TIdCustomHTTP::TIdCustomHTTP;
    std::string ClassName() const override { return "TIdHTTP"; }
};
