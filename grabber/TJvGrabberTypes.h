#pragma once

#include "runtime/Events.h"

#include <chrono>
#include <cstdint>
#include <functional>
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

// The component's properties as the worker reads them once, on the
// user-interface thread, when its run begins.
struct TJvGrabberSettings {
    std::string Url;
    std::string Marker;
    std::string UserName;
    std::string Password;
    std::string FileName;
    TJvOutputMode OutputMode = omFile;
    std::string Agent;
    std::uint32_t Port = 0;
    TJvProxyMode ProxyMode = pmNoProxy;
    std::string ProxyAddresses;
    std::string ProxyIgnoreList;
    std::string ProxyUserName;
    std::string ProxyPassword;
    std::string Referer;
    bool RefuseWebPages = false;
    bool Passive = true;
    TJvFtpDownloadMode Mode = hmBinary;
    bool PreserveAttributes = true;
    int Retries = 0;
    std::chrono::milliseconds RetrySecond{1000};
    TJvResumeMode ResumeMode = rmOff;
};
