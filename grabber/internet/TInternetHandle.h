#pragma once

#include "grabber/internet/InternetApi.h"
#include "http/TWebAddress.h"
#include "tls/TransferPolicy.h"

#include <cstdint>
#include <optional>
#include <string>

// What a handle passes on to the handles opened under it: WinInet-style
// children take their parent's settings and callback when they are created,
// so closing a parent first never leaves a child pointing at it.
struct TInternetSettings {
    std::string agent;
    std::uint32_t accessType = INTERNET_OPEN_TYPE_PRECONFIG;
    std::string proxyList;
    std::string proxyBypass;
    std::string proxyUserName;
    std::string proxyPassword;
    std::uint32_t connectTimeoutMs = TransferPolicy::kDownloadConnectTimeout.count();
    std::uint32_t receiveTimeoutMs = TransferPolicy::kDownloadStallTimeout.count();
    // Bytes a second a transfer may receive at most; 0 sets no cap.
    std::uint64_t receiveRateLimit = 0;
};

// What a session opened with these arguments passes on to its handles, the
// process-wide time-outs of the moment included: for transfers made apart
// from the handles (TInternetPool).
TInternetSettings InternetSessionSettings(const std::string& agent, std::uint32_t accessType, const std::string& proxy,
                                          const std::string& proxyBypass);

// The target of a connection.
struct TInternetServer {
    // The address the connection was made with; requests go to it or to
    // other objects of its server.
    std::optional<TWebAddress> address;
    std::optional<std::string> userName;
    std::optional<std::string> password;
    std::uint32_t service = INTERNET_SERVICE_HTTP;
    std::uint32_t flags = 0;
};

struct TInternetHandle {
    virtual ~TInternetHandle() = default;

    TInternetSettings settings;
    INTERNET_STATUS_CALLBACK callback = nullptr;
    void* context = nullptr;
};

struct TInternetSession : TInternetHandle {};

struct TInternetConnection : TInternetHandle {
    TInternetServer server;
};
