#include "grabber/internet/InternetApi.h"

#include "grabber/internet/CurlTransfer.h"
#include "grabber/internet/TInternetFailure.h"
#include "grabber/internet/TInternetRequest.h"

#include <curl/curl.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <vector>

namespace {

std::atomic<std::uint32_t> defaultConnectTimeoutMs{TInternetSettings{}.connectTimeoutMs};
std::atomic<std::uint32_t> defaultReceiveTimeoutMs{TInternetSettings{}.receiveTimeoutMs};

// Every handle handed out and not yet closed, so that a stale or made-up
// handle is refused instead of followed.
std::mutex handlesMutex;
std::set<TInternetHandle*> liveHandles;

HINTERNET Register(TInternetHandle* handle)
{
    std::lock_guard lock(handlesMutex);
    liveHandles.insert(handle);
    return handle;
}

template <typename Kind>
Kind* Find(HINTERNET handle)
{
    {
        std::lock_guard lock(handlesMutex);
        if (liveHandles.count(handle) == 0)
            handle = nullptr;
    }
    auto* found = dynamic_cast<Kind*>(handle);
    if (!found)
        SetLastInternetFailure(InternetFailure(ERROR_INVALID_HANDLE, "The handle is invalid"));
    return found;
}

std::string TextOrEmpty(const char* text)
{
    return text ? text : "";
}

// Texts that end up in a request line or header must not carry line breaks
// or other control bytes, or they could add headers of their own.
bool SafeForHeader(const std::string& text)
{
    for (unsigned char c : text)
        if (c < 0x20 || c == 0x7f)
            return false;
    return true;
}

// The lines of extra request headers, each ended by CR LF; none when a line
// is not one named header, as no line may smuggle in another.
std::optional<std::vector<std::string>> HeaderLines(const std::string& text)
{
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find("\r\n", start);
        std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        start = end == std::string::npos ? text.size() : end + 2;
        if (line.empty())
            continue;
        if (!SafeForHeader(line) || line.find(':') == std::string::npos || line.front() == ':')
            return std::nullopt;
        lines.push_back(line);
    }
    return lines;
}

// A host name goes into an address between "//" and the port; anything
// that would end that part early is refused.
bool SafeHost(const std::string& host)
{
    return !host.empty() && SafeForHeader(host) && host.find_first_of("/?#@ \\") == std::string::npos;
}

bool RefuseParameter(const std::string& what)
{
    SetLastInternetFailure(InternetFailure(ERROR_INVALID_PARAMETER, "Invalid " + what));
    return false;
}

// The response header each header query reads.
const char* HeaderOfQuery(std::uint32_t info)
{
    switch (info) {
    case HTTP_QUERY_CONTENT_TYPE: return "Content-Type";
    case HTTP_QUERY_CONTENT_LENGTH: return "Content-Length";
    case HTTP_QUERY_LAST_MODIFIED: return "Last-Modified";
    case HTTP_QUERY_RETRY_AFTER: return "Retry-After";
    case HTTP_QUERY_ACCEPT_RANGES: return "Accept-Ranges";
    case HTTP_QUERY_CONTENT_RANGE: return "Content-Range";
    case HTTP_QUERY_ETAG: return "ETag";
    default: return nullptr;
    }
}

// What a request of the connection asks for: the connection's address, or
// another object of its server. Nothing, with the error set, for a target
// that could smuggle a line into the request.
std::optional<TWebAddress> RequestedAddress(const TInternetConnection& connection, const char* objectName)
{
    const TWebAddress& server = *connection.server.address;
    TWebAddress address = objectName ? server.WithTarget("/" + std::string(objectName)) : server;
    const std::string target = address.Target();
    if (!SafeForHeader(target) || target.find(' ') != std::string::npos) {
        SetLastInternetFailure(InternetFailure(ERROR_INTERNET_INVALID_URL, "Invalid object name \"" + target + "\""));
        return std::nullopt;
    }
    return address;
}

HINTERNET OpenTransfer(TInternetConnection& connection, const char* scheme, const TWebAddress& address,
                       const std::string& version, const std::string& referrer, std::uint32_t flags, void* context)
{
    auto* request = new TInternetRequest({.address = address,
                                          .scheme = scheme,
                                          .version = version,
                                          .referrer = referrer,
                                          .flags = flags,
                                          .server = connection.server});
    request->settings = connection.settings;
    request->callback = connection.callback;
    request->context = context ? context : connection.context;
    return Register(request);
}

} // namespace

HINTERNET InternetOpen(const char* agent, std::uint32_t accessType, const char* proxy, const char* proxyBypass,
                       std::uint32_t)
{
    std::string agentText = TextOrEmpty(agent);
    if (!SafeForHeader(agentText)) {
        RefuseParameter("agent");
        return nullptr;
    }
    if (accessType != INTERNET_OPEN_TYPE_PRECONFIG && accessType != INTERNET_OPEN_TYPE_DIRECT &&
        accessType != INTERNET_OPEN_TYPE_PROXY) {
        RefuseParameter("access type");
        return nullptr;
    }
    CurlTransfer::InitialiseOnce();
    auto* session = new TInternetSession;
    session->settings = InternetSessionSettings(agentText, accessType, TextOrEmpty(proxy), TextOrEmpty(proxyBypass));
    return Register(session);
}

TInternetSettings InternetSessionSettings(const std::string& agent, std::uint32_t accessType, const std::string& proxy,
                                          const std::string& proxyBypass)
{
    TInternetSettings settings;
    settings.agent = agent;
    settings.accessType = accessType;
    settings.proxyList = proxy;
    settings.proxyBypass = proxyBypass;
    settings.connectTimeoutMs = defaultConnectTimeoutMs;
    settings.receiveTimeoutMs = defaultReceiveTimeoutMs;
    return settings;
}

INTERNET_STATUS_CALLBACK InternetSetStatusCallback(HINTERNET handle, INTERNET_STATUS_CALLBACK callback)
{
    auto* found = Find<TInternetHandle>(handle);
    if (!found)
        return nullptr;
    return std::exchange(found->callback, callback);
}

HINTERNET InternetConnect(HINTERNET session, const TWebAddress& server, const char* userName, const char* password,
                          std::uint32_t service, std::uint32_t flags, void* context)
{
    auto* parent = Find<TInternetSession>(session);
    if (!parent)
        return nullptr;
    if (!SafeHost(server.Host()) || server.Port() > 0xFFFF) {
        SetLastInternetFailure(
            InternetFailure(ERROR_INTERNET_INVALID_URL, "Invalid host name \"" + server.HostAndPort() + "\""));
        return nullptr;
    }
    if (service != INTERNET_SERVICE_HTTP && service != INTERNET_SERVICE_FTP) {
        RefuseParameter("service");
        return nullptr;
    }
    auto* connection = new TInternetConnection;
    connection->settings = parent->settings;
    connection->callback = parent->callback;
    connection->context = context;
    connection->server.address = server;
    if (userName)
        connection->server.userName = userName;
    if (password)
        connection->server.password = password;
    connection->server.service = service;
    connection->server.flags = flags;
    return Register(connection);
}

HINTERNET HttpOpenRequest(HINTERNET connection, const char* verb, const char* objectName, const char* version,
                          const char* referrer, const char**, std::uint32_t flags, void* context)
{
    auto* parent = Find<TInternetConnection>(connection);
    if (!parent)
        return nullptr;
    if (parent->server.service != INTERNET_SERVICE_HTTP) {
        SetLastInternetFailure(InternetFailure(ERROR_INTERNET_INCORRECT_HANDLE_STATE, "Not an HTTP connection"));
        return nullptr;
    }
    // Only the download's GET is carried, in the HTTP version asked for.
    if (verb && std::strcmp(verb, "GET") != 0) {
        RefuseParameter("verb");
        return nullptr;
    }
    std::string referrerText = TextOrEmpty(referrer);
    std::optional<TWebAddress> address = RequestedAddress(*parent, objectName);
    if (!address)
        return nullptr;
    if (!SafeForHeader(referrerText)) {
        RefuseParameter("referrer");
        return nullptr;
    }
    const char* scheme = (flags & INTERNET_FLAG_SECURE) ? "https" : "http";
    return OpenTransfer(*parent, scheme, *address, TextOrEmpty(version), referrerText, flags, context);
}

HINTERNET FtpOpenFile(HINTERNET connection, const char* fileName, std::uint32_t, std::uint32_t flags, void* context)
{
    auto* parent = Find<TInternetConnection>(connection);
    if (!parent)
        return nullptr;
    if (parent->server.service != INTERNET_SERVICE_FTP) {
        RefuseParameter("file name");
        return nullptr;
    }
    std::optional<TWebAddress> address = RequestedAddress(*parent, fileName);
    if (!address)
        return nullptr;
    HINTERNET handle = OpenTransfer(*parent, "ftp", *address, {}, {}, flags, context);
    if (static_cast<TInternetRequest*>(handle)->Send())
        return handle;
    // Closing records nothing of its own, but the failure must outlive it.
    TInternetFailure failure = LastInternetFailure();
    InternetCloseHandle(handle);
    SetLastInternetFailure(std::move(failure));
    return nullptr;
}

bool InternetQueryOption(HINTERNET handle, std::uint32_t option, void* buffer, std::uint32_t* length)
{
    if (!buffer || !length)
        return RefuseParameter("option buffer");
    if (option != INTERNET_OPTION_CONNECT_TIMEOUT && option != INTERNET_OPTION_RECEIVE_TIMEOUT)
        return RefuseParameter("option");
    if (*length < sizeof(std::uint32_t))
        return RefuseParameter("option length");
    const bool connect = option == INTERNET_OPTION_CONNECT_TIMEOUT;
    std::uint32_t value = connect ? defaultConnectTimeoutMs.load() : defaultReceiveTimeoutMs.load();
    if (handle) {
        auto* found = Find<TInternetHandle>(handle);
        if (!found)
            return false;
        value = connect ? found->settings.connectTimeoutMs : found->settings.receiveTimeoutMs;
    }
    std::memcpy(buffer, &value, sizeof value);
    *length = sizeof value;
    return true;
}

bool InternetSetOption(HINTERNET handle, std::uint32_t option, const void* buffer, std::uint32_t length)
{
    if (!buffer)
        return RefuseParameter("option buffer");
    if (option == INTERNET_OPTION_CONNECT_TIMEOUT || option == INTERNET_OPTION_RECEIVE_TIMEOUT) {
        if (length < sizeof(std::uint32_t))
            return RefuseParameter("option length");
        std::uint32_t value;
        std::memcpy(&value, buffer, sizeof value);
        bool connect = option == INTERNET_OPTION_CONNECT_TIMEOUT;
        if (!handle) {
            (connect ? defaultConnectTimeoutMs : defaultReceiveTimeoutMs) = value;
            return true;
        }
        auto* found = Find<TInternetHandle>(handle);
        if (!found)
            return false;
        (connect ? found->settings.connectTimeoutMs : found->settings.receiveTimeoutMs) = value;
        return true;
    }
    if (option == INTERNET_OPTION_RECEIVE_RATE_LIMIT) {
        if (length < sizeof(std::uint64_t))
            return RefuseParameter("option length");
        auto* found = Find<TInternetHandle>(handle);
        if (!found)
            return false;
        std::memcpy(&found->settings.receiveRateLimit, buffer, sizeof(std::uint64_t));
        return true;
    }
    if (option == INTERNET_OPTION_PROXY_USERNAME || option == INTERNET_OPTION_PROXY_PASSWORD) {
        auto* found = Find<TInternetHandle>(handle);
        if (!found)
            return false;
        // The text ends at its zero or at the given length, whichever comes first.
        const char* text = static_cast<const char*>(buffer);
        std::string value(text, strnlen(text, length));
        (option == INTERNET_OPTION_PROXY_USERNAME ? found->settings.proxyUserName : found->settings.proxyPassword) =
            value;
        return true;
    }
    return RefuseParameter("option");
}

bool HttpSendRequest(HINTERNET request, const char* headers, std::uint32_t headersLength, const void*, std::uint32_t)
{
    auto* found = Find<TInternetRequest>(request);
    if (!found)
        return false;
    // A length of -1 stands for a zero-terminated text, as the calls it
    // follows allow.
    std::string text;
    if (headers)
        text = headersLength == UINT32_MAX ? std::string(headers) : std::string(headers, headersLength);
    std::optional<std::vector<std::string>> lines = HeaderLines(text);
    if (!lines)
        return RefuseParameter("headers");
    return found->Send(*lines);
}

bool HttpQueryInfo(HINTERNET request, std::uint32_t info, char* buffer, std::uint32_t* length, std::uint32_t* index)
{
    auto* found = Find<TInternetRequest>(request);
    if (!found)
        return false;
    if (!buffer || !length)
        return RefuseParameter("buffer");
    std::optional<std::string> value;
    if (info == HTTP_QUERY_STATUS_CODE)
        value = found->StatusCode();
    else if (info == HTTP_QUERY_STATUS_TEXT)
        value = found->StatusText();
    else if (const char* name = HeaderOfQuery(info))
        value = found->Header(name);
    else
        return RefuseParameter("query");
    if (!value) {
        SetLastInternetFailure(InternetFailure(ERROR_HTTP_HEADER_NOT_FOUND, "The header was not found"));
        return false;
    }
    if (value->size() + 1 > *length) {
        *length = static_cast<std::uint32_t>(value->size() + 1);
        SetLastInternetFailure(InternetFailure(ERROR_INSUFFICIENT_BUFFER, "The buffer is too small"));
        return false;
    }
    std::memcpy(buffer, value->c_str(), value->size() + 1);
    *length = static_cast<std::uint32_t>(value->size());
    if (index)
        ++*index;
    return true;
}

bool InternetReadFile(HINTERNET file, void* buffer, std::uint32_t toRead, std::uint32_t* read)
{
    if (read)
        *read = 0;
    auto* found = Find<TInternetRequest>(file);
    if (!found)
        return false;
    if (!buffer || !read)
        return RefuseParameter("buffer");
    return found->Read(buffer, toRead, *read);
}

bool InternetReadFileNoWait(HINTERNET file, void* buffer, std::uint32_t toRead, std::uint32_t* read, bool* ended)
{
    if (read)
        *read = 0;
    auto* found = Find<TInternetRequest>(file);
    if (!found)
        return false;
    if (!buffer || !read || !ended)
        return RefuseParameter("buffer");
    return found->ReadArrived(buffer, toRead, *read, *ended);
}

bool InternetQueryWaitHint(HINTERNET file, TInternetWaitHint* hint)
{
    auto* found = Find<TInternetRequest>(file);
    if (!found)
        return false;
    if (!hint)
        return RefuseParameter("buffer");
    *hint = found->WaitHint();
    return true;
}

std::uint32_t FtpGetFileSize(HINTERNET file, std::uint32_t* sizeHigh)
{
    auto* found = Find<TInternetRequest>(file);
    std::int64_t size = found ? found->ContentLength() : -1;
    auto bits = static_cast<std::uint64_t>(size);
    if (sizeHigh)
        *sizeHigh = static_cast<std::uint32_t>(bits >> 32);
    return static_cast<std::uint32_t>(bits);
}

bool InternetGetLastResponseInfo(std::uint32_t* error, char* buffer, std::uint32_t* length)
{
    if (error)
        *error = GetLastError();
    if (!buffer || !length || *length == 0)
        return RefuseParameter("buffer");
    const std::string text = LastInternetFailure().ResponseInfo();
    std::size_t count = std::min<std::size_t>(text.size(), *length - 1);
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
    *length = static_cast<std::uint32_t>(count);
    return true;
}

bool InternetCloseHandle(HINTERNET handle)
{
    auto* found = Find<TInternetHandle>(handle);
    if (!found)
        return false;
    {
        std::lock_guard lock(handlesMutex);
        liveHandles.erase(found);
    }
    // The handle goes even when a closing notice's handler throws.
    std::unique_ptr<TInternetHandle> owned(found);
    if (auto* request = dynamic_cast<TInternetRequest*>(found))
        request->NotifyClose();
    return true;
}
