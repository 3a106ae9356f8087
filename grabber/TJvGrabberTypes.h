#pragma once

#include "http/TWebAddress.h"
#include "runtime/Events.h"
#include "stream/StreamPlan.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class TStream;

enum TJvOutputMode { omFile, omStream };
enum TJvProxyMode { pmNoProxy, pmSysConfig, pmManual };
enum TJvGrabberStatus : std::uint8_t { gsStopped, gsConnecting, gsGrabbing, gsStopping };
enum TJvFtpDownloadMode { hmBinary, hmAscii };
// What a file-mode run does with the part beside its target. rmOff: a part
// found is emptied, and the run's own goes whenever it ends without done.
// rmContinue: a part that the server can continue is continued, and the
// run's own stays when it ends early, for a later run. rmStartOver: a part
// found is emptied; the run's own stays as with rmContinue. Only the HTTP
// worker continues; the others always start from the beginning.
enum TJvResumeMode { rmOff, rmContinue, rmStartOver };

// Sizes are 64-bit throughout, so bodies beyond 2 GiB report correctly.
using TJvDoneFileEvent =
    std::function<void(TObject* Sender, const std::string& FileName, std::int64_t FileSize, const std::string& Url)>;
using TJvDoneStreamEvent =
    std::function<void(TObject* Sender, TStream& Stream, std::int64_t StreamSize, const std::string& Url)>;
using TJvErrorEvent = std::function<void(TObject* Sender, const std::string& ErrorMsg)>;
using TJvUrlGrabberProgressEvent = std::function<void(TObject* Sender, std::int64_t Position, std::int64_t TotalSize,
                                                      const std::string& Url, bool& Continue)>;
// Raised once a second while the run waits to try again: seconds left of the
// wait, which retry comes (from 1) of how many, and why.
using TJvRetryEvent =
    std::function<void(TObject* Sender, int SecondsLeft, int Retry, int Retries, const std::string& Reason)>;
// Raised when the server agreed to continue the part at Position.
using TJvResumeEvent = std::function<void(TObject* Sender, std::int64_t Position, std::int64_t TotalSize)>;

// The family's settings, each with its value after construction: the
// components and the settings templates hold them, and a worker takes a copy
// when its run begins. Grouped as the templates copy them.
struct TJvCommonProperties {
    std::string Agent = "Vantorel";
    std::uint32_t Port = 0; // 0: the scheme's default port
    std::string UserName;
    std::string Password;
    std::string FileName = "output.txt";
    TJvOutputMode OutputMode = omFile;
};
struct TJvProxyProperties {
    TJvProxyMode ProxyMode = pmSysConfig;
    std::string ProxyAddresses = "proxyserver";
    std::string ProxyIgnoreList = "<local>";
    std::string ProxyUserName;
    std::string ProxyPassword;
};
struct TJvFtpProperties {
    bool Passive = true;
    TJvFtpDownloadMode Mode = hmBinary;
};
// The ports that FTP grabbers and the HTTP settings template start with.
constexpr std::uint32_t kJvFtpPort = 21;
constexpr std::uint32_t kJvHttpTemplatePort = 80;

// Everything a component holds for its runs.
struct TJvGrabberSettings : TJvCommonProperties, TJvProxyProperties, TJvFtpProperties {
    // The Url property: the address without user information and port,
    // which the properties above hold.
    std::string Url;
    // The address as it was read, for the network workers; none when the
    // Url is no address (a local file's path).
    std::optional<TWebAddress> Address;
    std::string Referer;
    bool RefuseWebPages = false;
    bool PreserveAttributes = true;
    int Retries = 0;
    std::chrono::milliseconds RetrySecond{1000};
    TJvResumeMode ResumeMode = rmOff;
    // A stream in pieces: what to fetch and join; how many pieces at once.
    std::shared_ptr<const TStreamPlan> Stream;
    int Connections = 4;
    // The most bytes a second a run receives; 0 sets no cap.
    std::int64_t ReceiveRateLimit = 0;

    // The address a network worker fetches: Address with the user, the
    // password and the port of the properties.
    std::optional<TWebAddress> ServerAddress() const;
};
