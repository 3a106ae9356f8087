#include "http/TIdHTTP.h"

#include "http/EIdProxyFailure.h"
#include "http/EIdSocketError.h"
#include "http/TIdIOHandlerTls.h"
#include "http/TIdStack.h"
#include "runtime/AsciiText.h"
#include "runtime/TNullStream.h"
#include "runtime/TStringStream.h"

#include <algorithm>
#include <chrono>
#include <string_view>

namespace {

bool IsOneOf(int code, const std::vector<int>& codes)
{
    return std::find(codes.begin(), codes.end(), code) != codes.end();
}

void CutAt(TStream* stream, std::int64_t position)
{
    if (!stream)
        return;
    stream->SetPosition(position);
    stream->SetSize(position);
}

// A status that sends the client elsewhere; 304 only confirms a copy.
bool IsRedirectStatus(int code)
{
    return code / 100 == 3 && code != 304;
}

// The scheme an address names, as RFC 3986 reads it: "ftp" for
// "ftp://host/", "mailto" for "mailto:x"; empty for an address relative to
// the current one ("/a:b", "//host/x", "a/b:c").
std::string_view SchemeOf(std::string_view address)
{
    constexpr std::string_view kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    constexpr std::string_view kSchemeBytes = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+-.";
    const std::string_view scheme = address.substr(0, address.find(':'));
    if (scheme.size() == address.size() || scheme.empty() || kLetters.find(scheme[0]) == std::string_view::npos ||
        scheme.find_first_not_of(kSchemeBytes) != std::string_view::npos)
        return {};
    return scheme;
}

// The client speaks HTTP only: an address of another scheme would be asked
// of its host (or of the current one) over HTTP, as if it were an http one.
void RefuseSchemeOtherThanHttp(const std::string& destination)
{
    // Enough of a scheme to recognise it by in a message.
    constexpr std::size_t kShownSchemeBytes = 32;
    const std::string_view scheme = SchemeOf(destination);
    if (!scheme.empty() && !AsciiText::SameText(scheme, "http") && !AsciiText::SameText(scheme, "https"))
        throw EIdRedirectSchemeRefused(std::string(scheme.substr(0, kShownSchemeBytes)));
}

// The port of an address's text, 80 for none or nonsense.
int PortNumber(const std::string& text)
{
    auto number = AsciiText::ToInt32(text);
    return number && *number > 0 && *number <= 65535 ? *number : 80;
}

// The code of a status line such as "HTTP/1.1 200 Connection established";
// 0 when there is none.
int StatusCode(const std::string& statusLine)
{
    const std::size_t space = statusLine.find(' ');
    if (space == std::string::npos)
        return 0;
    return AsciiText::ToInt32(statusLine.substr(space + 1, 3)).value_or(0);
}

// The verbs that exist only since HTTP/1.1.
bool NeedsVersion11(const std::string& verb)
{
    return verb == "TRACE" || verb == "PUT" || verb == "OPTIONS" || verb == "DELETE";
}

} // namespace

TIdCustomHTTP::TIdCustomHTTP(TComponent* owner)
    : TIdTCPClientCustom(owner), request_(std::make_unique<TIdHTTPRequest>()),
      response_(std::make_unique<TIdHTTPResponse>(*this))
{}

TIdCustomHTTP::~TIdCustomHTTP() = default;

void TIdCustomHTTP::SetCookieManager(TIdCookieManager* manager)
{
    if (manager == cookieManager_)
        return;
    cookieManager_ = manager;
    if (ownedCookieManager_.get() != manager)
        ownedCookieManager_.reset();
}

std::string TIdCustomHTTP::GetToString(const std::string& address)
{
    TMemoryStream stream;
    GetToStream(address, stream);
    return stream.Bytes();
}

void TIdCustomHTTP::GetToStream(const std::string& address, TStream& stream, const std::vector<int>& ignoreReplies)
{
    PerformRequest("GET", address, nullptr, &stream, ignoreReplies);
}

void TIdCustomHTTP::Post(const std::string& address, TStream& source, TStream& response)
{
    PerformRequest("POST", address, &source, &response, {});
}

void TIdCustomHTTP::Put(const std::string& address, TStream& source, TStream& response)
{
    PerformRequest("PUT", address, &source, &response, {});
}

void TIdCustomHTTP::PerformRequest(const std::string& verb, const std::string& address, TStream* bodySource,
                                   TStream* bodyTarget, const std::vector<int>& ignoreReplies)
{
    redirectsSoFar_ = authTries_ = proxyAuthTries_ = 0;
    request_->SetTarget(address);
    request_->SetVerb(verb);
    request_->SetBodySource(bodySource);
    response_->SetBodyTarget(bodyTarget);
    if (requestTimeout_ > 0)
        SetDeadline(std::chrono::steady_clock::now() + std::chrono::milliseconds(requestTimeout_));
    try {
        RunRequestLoop(address, bodyTarget, ignoreReplies);
    } catch (const EIdHTTPProtocolException&) {
        SetDeadline({});
        CloseUnlessKept();
        throw;
    } catch (EIdSocketError& error) {
        // A connection that broke after its connect names its server too.
        if (!error.NamesPeer())
            error.SetPeer(seExchanging, Host(), Port());
        AbandonRequest();
        throw;
    } catch (...) {
        AbandonRequest();
        throw;
    }
    SetDeadline({});
    CloseUnlessKept();
}

// Whatever else ended the request may have left part of a reply unread,
// which must never be taken for the next one.
void TIdCustomHTTP::AbandonRequest()
{
    SetDeadline({});
    DropConnection();
}

void TIdCustomHTTP::RunRequestLoop(const std::string& address, TStream* bodyTarget,
                                   const std::vector<int>& ignoreReplies)
{
    const std::int64_t startOfBody = bodyTarget ? bodyTarget->Position() : 0;
    for (bool finished = false; !finished;) {
        PrepareTarget();
        OpenForRequest();
        ReadResponseHead();
        switch (DecideNextStep(ignoreReplies)) {
        case TIdHTTPNextStep::ReadAndGo: ReadBody(bodyTarget); [[fallthrough]];
        case TIdHTTPNextStep::GoToAddress:
            CutAt(bodyTarget, startOfBody);
            authTries_ = proxyAuthTries_ = 0;
            break;
        case TIdHTTPNextStep::AuthRetry: request_->SetTarget(address); break;
        case TIdHTTPNextStep::Finish: finished = true; break;
        }
    }
}

void TIdCustomHTTP::CloseUnlessKept()
{
    try {
        if (!response_->KeepConnection())
            DropConnection();
    } catch (const std::exception&) {
        // Closing is tidying up; the request's own outcome matters more.
    }
}

// Bytes left over from a closed connection must never be read as the reply
// to a request on the next one.
void TIdCustomHTTP::DropConnection()
{
    tunnelServer_.clear();
    CloseConnection();
    if (IOHandler())
        IOHandler()->InputBuffer().Reset();
}

bool TIdCustomHTTP::ConnectionAlive()
{
    if (!IOHandler())
        return false;
    CheckPeerClosed(false);
    return IsConnected();
}

// Request address.

void TIdCustomHTTP::PrepareTarget()
{
    TIdURI next(request_->Target());
    if (!next.Username().empty()) {
        request_->SetUsername(next.Username());
        request_->SetPassword(next.Password());
    }
    url_.SetUsername(request_->Username());
    url_.SetPassword(request_->Password());
    url_.SetDirectory(MergePath(url_.Directory(), next.Directory(), '/'));
    url_.SetDocumentName(next.DocumentName());
    url_.SetQuery(next.Query());
    if (!next.Host().empty())
        url_.SetHost(next.Host());
    if (!next.Scheme().empty())
        url_.SetScheme(next.Scheme());
    else
        url_.SetScheme(AsciiText::SameText(url_.Scheme(), "https") ? "https" : "http");

    if (!next.Port().empty())
        url_.SetPort(next.Port());
    else if (AsciiText::SameText(next.Scheme(), "http"))
        url_.SetPort("80");
    else if (AsciiText::SameText(next.Scheme(), "https"))
        url_.SetPort("443");
    else if (url_.Port().empty())
        throw EIdUnknownProtocol();

    if (request_->Verb() == "OPTIONS" && next.DocumentName() == "*")
        request_->SetTarget("*");
    else
        request_->SetTarget(url_.Directory() + url_.DocumentName() + url_.Query());
    request_->SetIPVersion(next.IPVersion());
    url_.SetIPVersion(next.IPVersion());

    if (NeedsVersion11(request_->Verb()) && protocolVersion_ != pv1_1)
        throw EIdException("Request method requires HTTP version 1.1");
    request_->SetContentLength(request_->BodySource() ? request_->BodySource()->Size() : -1);
    // The port is left out where it is the scheme's own; an IPv6 literal
    // keeps its brackets, or its colons would read as the port's.
    const bool defaultPort = url_.Port() == (AsciiText::SameText(url_.Scheme(), "https") ? "443" : "80");
    const std::string host = url_.IPVersion() == Id_IPv6 ? "[" + url_.Host() + "]" : url_.Host();
    request_->SetHost(defaultPort ? host : host + ":" + url_.Port());
}

// Connection.

void TIdCustomHTTP::OpenForRequest()
{
    ChooseEndpoint();
    if (protocolVersion_ == pv1_0 && request_->Connection().empty()) {
        if (request_->ConnectionKind() == ctNormal || request_->ConnectionKind() == ctSSL)
            request_->SetConnection("keep-alive");
        else if (request_->ConnectionKind() == ctProxy && request_->ProxyConnection().empty())
            request_->SetProxyConnection("keep-alive");
    }
    ExtendAcceptEncoding();
    ReconnectIfNeeded();
    SendRequestHead();
    if (request_->BodySource() && (request_->Verb() == "POST" || request_->Verb() == "PUT"))
        IOHandler()->SendStream(*request_->BodySource());
}

// The connection goes to the server, or to the proxy of the request: then
// the socket's address family is the proxy's, whatever the server's is.
void TIdCustomHTTP::ChooseEndpoint()
{
    const bool secure = AsciiText::SameText(url_.Scheme(), "https");
    // A handler of the caller's that cannot speak TLS cannot serve https.
    if (secure && IOHandler() && !TlsHandler())
        throw EIdIOHandlerPropInvalid();
    requestProxy_ = ProxyForRequest();
    const bool proxied = !requestProxy_.ProxyServer.empty();
    const std::string host = proxied ? requestProxy_.ProxyServer : url_.Host();
    const int port = proxied ? requestProxy_.ProxyPort : PortNumber(url_.Port());
    TIdHTTPConnectionType kind = secure ? ctSSL : ctNormal;
    if (proxied) {
        kind = secure ? ctSSLProxy : ctProxy;
        request_->SetIPVersion(TIdStack::IsIP(host, Id_IPv6) ? Id_IPv6 : Id_IPv4);
    }
    const std::string tunnel = kind == ctSSLProxy ? TunnelServer() : std::string();
    if ((IPVersion() != request_->IPVersion() || !AsciiText::SameText(host, Host()) || port != Port() ||
         secure != SecureConnection() || tunnel != tunnelServer_) &&
        ConnectionAlive())
        DropConnection();
    SetHost(host);
    SetPort(port);
    request_->SetConnectionKind(kind);
    if (kind == ctProxy)
        request_->SetTarget(url_.AddressText());
}

// The proxy set for every request, else the one the rules choose for this
// request's address.
TIdProxyConnectionInfo TIdCustomHTTP::ProxyForRequest() const
{
    if (!proxyParams_.ProxyServer.empty())
        return proxyParams_;
    const std::string address = proxyRules_.ProxyFor(url_.Scheme(), url_.Host());
    if (address.empty())
        return {};
    std::optional<TIdProxyConnectionInfo> proxy = ReadProxyAddress(address);
    if (!proxy)
        throw EIdProxyAddressInvalid(ProxyAddressForMessage(address));
    return *proxy;
}

std::string TIdCustomHTTP::TunnelServer() const
{
    const std::string host = url_.IPVersion() == Id_IPv6 ? "[" + url_.Host() + "]" : url_.Host();
    const std::string port = url_.Port().empty() ? "443" : std::to_string(PortNumber(url_.Port()));
    return host + ":" + port;
}

// The proxy is asked for a tunnel to the server; once it agrees, TLS runs
// through the tunnel with the server itself, verified as on a direct
// connection. A refusal's body is left unread: the connection goes with it.
// Nothing may follow the proxy's answer before TLS begins: bytes read with
// it would be taken for the server's, unencrypted and unverified.
void TIdCustomHTTP::OpenTunnel()
{
    const std::string server = TunnelServer();
    const std::string& agent = request_->UserAgent();
    if ((server + agent).find_first_of("\r\n") != std::string::npos)
        throw EIdHTTPHeaderValueInvalid("the tunnel request");
    std::string head = "CONNECT " + server + " HTTP/1.1\r\nHost: " + server + "\r\n";
    if (!agent.empty())
        head += "User-Agent: " + agent + "\r\n";
    if (requestProxy_.BasicAuthentication)
        head += "Proxy-Authorization: " + BasicCredentials(requestProxy_.ProxyUsername, requestProxy_.ProxyPassword) +
            "\r\n";
    IOHandler()->SendText(head + "\r\n");
    const std::string status = ReadResponseLine();
    // Bounded as a response head is.
    for (int lines = 0; !ReadResponseLine().empty(); ++lines)
        if (headerLineLimit_ > 0 && lines >= headerLineLimit_)
            throw EIdException("Too many header lines");
    const bool agreed = StatusCode(status) / 100 == 2;
    if (!agreed || !IOHandler()->InputBufferIsEmpty()) {
        DropConnection();
        const std::string proxy = Host() + ":" + std::to_string(Port());
        throw EIdProxyTunnelRefused(proxy, server,
                                    agreed ? LoadResString("it sent more than its answer")
                                           : AsciiText::Trim(status.substr(std::min(status.find(' '), status.size()))));
    }
    TlsHandler()->BeginTls(url_.Host());
    tunnelServer_ = server;
}

void TIdCustomHTTP::ExtendAcceptEncoding()
{
    std::string encoding = request_->AcceptEncoding();
    if (compressor_ && encoding.find("deflate") == std::string::npos && encoding.find("gzip") == std::string::npos)
        encoding = "deflate, gzip, ";
    if (encoding.find("identity") == std::string::npos)
        encoding += "identity";
    request_->SetAcceptEncoding(encoding);
}

void TIdCustomHTTP::ReconnectIfNeeded()
{
    if (!response_->KeepConnection())
        DropConnection();
    if (IOHandler())
        CheckPeerClosed(false);
    if (!IsConnected()) {
        tunnelServer_.clear();
        SetIPVersion(request_->IPVersion());
        if (!IOHandler())
            AdoptIOHandler(NewIOHandler());
        if (TIdIOHandlerTls* tls = TlsHandler())
            tls->SetPassThrough(request_->ConnectionKind() != ctSSL);
        try {
            ConnectToPeer();
        } catch (EIdSocketError& error) {
            // The user is told which server could not be reached.
            error.SetPeer(seConnecting, Host(), Port());
            throw;
        }
        if (request_->ConnectionKind() == ctSSLProxy)
            OpenTunnel();
    }
}

// Every request head leaves in one write and the next is sent only after the
// whole reply came, so Nagle's algorithm has nothing to merge: it would only
// hold back each request for an acknowledgement. The handler speaks TLS
// for https and is the plain socket handler for http.
TIdIOHandler* TIdCustomHTTP::NewIOHandler()
{
    auto* handler = new TIdIOHandlerTls();
    handler->SetUseNagle(false);
    return handler;
}

TIdIOHandlerTls* TIdCustomHTTP::TlsHandler() const
{
    return dynamic_cast<TIdIOHandlerTls*>(IOHandler());
}

bool TIdCustomHTTP::SecureConnection() const
{
    TIdIOHandlerTls* tls = TlsHandler();
    return tls && tls->Secure();
}

// Request head.

void TIdCustomHTTP::SendRequestHead()
{
    request_->SetHeaders();
    // Through a tunnel the proxy has had its credentials already.
    if (request_->ConnectionKind() == ctProxy && requestProxy_.BasicAuthentication)
        request_->HeaderLines().SetValueOf("Proxy-Authorization",
                                           BasicCredentials(requestProxy_.ProxyUsername, requestProxy_.ProxyPassword));
    if (cookieManager_)
        AttachCookieHeader();

    const std::string requestLine =
        request_->Verb() + " " + request_->Target() + " HTTP/" + (protocolVersion_ == pv1_0 ? "1.0" : "1.1");
    if (requestLine.find_first_of("\r\n") != std::string::npos)
        throw EIdHTTPHeaderValueInvalid("the request target");
    for (const std::string& line : request_->HeaderLines().Lines())
        if (line.find_first_of("\r\n") != std::string::npos)
            throw EIdHTTPHeaderValueInvalid(line.substr(0, line.find(':')));

    TIdIOHandler& io = *IOHandler();
    io.BeginBatch();
    try {
        io.SendLine(requestLine);
        for (const std::string& line : request_->HeaderLines().Lines())
            if (!line.empty())
                io.SendLine(line);
        io.SendLine("");
        io.EndBatch();
    } catch (...) {
        io.CancelBatch();
        throw;
    }
}

void TIdCustomHTTP::AttachCookieHeader()
{
    // Cookies marked secure go only over TLS.
    std::string cookies = cookieManager_->BuildCookieHeader(url_, SecureConnection());
    if (!cookies.empty())
        request_->HeaderLines().SetValueOf("Cookie", cookies);
}

// Response head.

void TIdCustomHTTP::ReadResponseHead()
{
    do {
        response_->SetStatusLine(ReadResponseLine());
        ReadHeaderBlock();
        StoreResponseCookies();
    } while (response_->StatusNumber() == 100);
}

// A line that does not come in time is a failure, never an empty line to
// be parsed as a status or taken for the end of the head.
std::string TIdCustomHTTP::ReadResponseLine()
{
    TIdIOHandler& io = *IOHandler();
    std::string line = io.ReadLine();
    if (io.ReadLnTimedOut())
        throw EIdReadTimeout();
    return line;
}

void TIdCustomHTTP::ReadHeaderBlock()
{
    TIdHeaderList& lines = response_->HeaderLines();
    lines.Clear();
    try {
        for (std::string line = ReadResponseLine(); !line.empty(); line = ReadResponseLine()) {
            // Bounded so that a server cannot make the head grow without end.
            if (headerLineLimit_ > 0 && lines.Count() >= static_cast<std::size_t>(headerLineLimit_))
                throw EIdException("Too many header lines");
            lines.Add(line);
        }
    } catch (const EIdConnClosedGracefully&) {
        if (lines.Count() == 0)
            throw;
        DropConnection();
    }
    response_->ProcessHeaders();
}

void TIdCustomHTTP::StoreResponseCookies()
{
    if (!cookieManager_ && allowCookies_) {
        ownedCookieManager_ = std::make_unique<TIdCookieManager>();
        cookieManager_ = ownedCookieManager_.get();
    }
    if (!cookieManager_)
        return;
    const TIdHeaderList& lines = response_->HeaderLines();
    for (const std::string& value : lines.CollectValues("Set-cookie"))
        cookieManager_->StoreSetCookie(value, url_.Host());
    for (const std::string& value : lines.CollectValues("Set-cookie2"))
        cookieManager_->StoreSetCookie2(value, url_.Host());
}

// Verdict.

TIdHTTPNextStep TIdCustomHTTP::DecideNextStep(const std::vector<int>& ignoreReplies)
{
    bool proceed = true;
    RaiseEvent(OnHeadersAvailable, this, &response_->HeaderLines(), proceed);
    if (!proceed) {
        response_->SetKeepConnection(false);
        return TIdHTTPNextStep::Finish;
    }
    const int code = response_->StatusNumber();
    if (IsRedirectStatus(code) || !response_->Location().empty())
        return FollowRedirect(ignoreReplies);
    if (code / 100 != 2) {
        if ((code != 401 && code != 407) || !Authorize(code)) {
            request_->SetBasicAuthentication(false);
            FailWithStatus(ignoreReplies);
            return TIdHTTPNextStep::Finish;
        }
        if (httpOptions_ & hoInProcessAuth) {
            TNullStream discarded;
            ReadBody(&discarded);
            return TIdHTTPNextStep::AuthRetry;
        }
    }
    if (code != 204)
        ReadBody(response_->BodyTarget());
    return TIdHTTPNextStep::Finish;
}

TIdHTTPNextStep TIdCustomHTTP::FollowRedirect(const std::vector<int>& ignoreReplies)
{
    ++redirectsSoFar_;
    std::string destination = response_->Location();
    std::string verb = request_->Verb();
    bool handled = handleRedirects_;
    const bool follow = handleRedirects_ && redirectsSoFar_ < redirectMaximum_;
    RaiseEvent(OnRedirect, this, destination, redirectsSoFar_, handled, verb);
    if (!handled) {
        FailWithStatus(ignoreReplies);
        return TIdHTTPNextStep::Finish;
    }
    const int code = response_->StatusNumber();
    // Past the limit, a redirect is a loop or a chain no page needs: its
    // empty body is no answer.
    if (!follow && handleRedirects_ && IsRedirectStatus(code))
        throw EIdTooManyRedirects();
    TIdHTTPNextStep step = TIdHTTPNextStep::Finish;
    if (follow) {
        RefuseSchemeOtherThanHttp(destination);
        request_->SetTarget(destination);
        if (code == 302 || code == 303) {
            verb = "GET";
            request_->SetBodySource(nullptr);
        }
        request_->SetVerb(verb);
        step = TIdHTTPNextStep::GoToAddress;
    } else {
        response_->SetLocation(destination);
    }
    DiscardRedirectBody();
    return step;
}

// The client has no authorisation scheme of its own: only a handler can
// supply credentials, or a password set beforehand for a server that offers
// Basic.
bool TIdCustomHTTP::Authorize(int statusNumber)
{
    const bool proxy = statusNumber == 407;
    int& tries = proxy ? proxyAuthTries_ : authTries_;
    if (tries >= maxAuthRetries_)
        return false;
    ++tries;
    bool handled = false;
    RaiseEvent(proxy ? OnProxyAuthorization : OnAuthorization, this, *request_, handled);
    if (handled || proxy)
        return handled;
    for (const std::string& scheme : response_->WWWAuthenticate())
        if (AsciiText::SameText(scheme.substr(0, 5), "Basic") && !request_->Password().empty()) {
            request_->SetBasicAuthentication(true);
            return true;
        }
    return false;
}

void TIdCustomHTTP::FailWithStatus(const std::vector<int>& ignoreReplies)
{
    TStringStream body;
    ReadBody(&body);
    if (IsOneOf(response_->StatusNumber(), ignoreReplies))
        return;
    throw EIdHTTPProtocolException(response_->StatusNumber(), response_->StatusLine(), body.DataString());
}

void TIdCustomHTTP::DiscardRedirectBody()
{
    if (!ConnectionAlive())
        return;
    const int readTimeout = ReadTimeout();
    SetReadTimeout(kRedirectBodyReadTimeout);
    try {
        TNullStream discarded;
        ReadBody(&discarded);
    } catch (const std::exception&) {
        // The next address is known whatever went wrong; but the rest of an
        // unfinished body must not be read as the next reply.
        DropConnection();
    }
    SetReadTimeout(readTimeout);
}
