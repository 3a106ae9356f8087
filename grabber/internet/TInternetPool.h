#pragma once

#include "grabber/internet/TInternetFailure.h"
#include "grabber/internet/TInternetHandle.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

typedef void CURLM;

// Several GET transfers at once, driven by the thread that owns the pool
// (a download's worker): connections are kept and reused from one transfer
// to the next, and HTTP/2 carries several at once where the server offers
// it. Each transfer hands its head, then its body, to the caller as they
// arrive, so that nothing of a body waits in the pool. The transfers are
// given the internet layer's policies (TLS, proxy, agent, time-outs).
class TInternetPool {
public:
    // The final answer's status and head, once it is complete.
    struct THead {
        int Status = 0;
        std::string StatusText;
        std::vector<std::pair<std::string, std::string>> Fields;

        std::optional<std::string> Field(std::string_view name) const;
    };

    struct TRequest {
        TWebAddress Address;
        // Extra header lines ("Range: bytes=0-99", "If-Range: ...").
        std::vector<std::string> Headers;
        // Whether the body that follows this head is wanted; false ends the
        // transfer (a status or a range the caller cannot use).
        std::function<bool(const THead& head)> OnHead;
        // A piece of the body; false ends the transfer (the caller could not
        // keep it).
        std::function<bool(std::string_view bytes)> OnBody;
    };

    // How a transfer ended: whole, or with a failure (none when the caller
    // ended it, from OnHead or OnBody).
    struct TEnd {
        int Id = 0;
        std::optional<TInternetFailure> Failure;
        bool EndedByCaller = false;
    };

    // The pool uses at most `connections` connections to one server; each
    // transfer is capped at the settings' receive rate.
    TInternetPool(TInternetSettings settings, int connections);
    ~TInternetPool();
    TInternetPool(const TInternetPool&) = delete;
    TInternetPool& operator=(const TInternetPool&) = delete;

    // Gives every transfer started from now on a connection of its own,
    // spoken in HTTP/1.1: for servers that hold each connection to a rate,
    // where transfers that shared one (HTTP/2) would share its rate.
    void OneTransferPerConnection();
    // Starts a transfer; its number is what Wait reports.
    int Start(TRequest request);
    // Runs the transfers until one ends (reporting it) or the time passes;
    // with a hint of a transfer the caller runs itself, also until that one
    // has bytes to read or must be run. A transfer that gets no byte for the
    // stall time-out ends as timed out. When the worker thread is asked to
    // stop, every transfer ends at once and nothing is reported.
    std::optional<TEnd> Wait(std::chrono::milliseconds time, const TInternetWaitHint& also = {});
    // Ends a transfer without a report.
    void Cancel(int id);
    std::size_t Running() const { return transfers_.size(); }

private:
    struct TTransfer;
    friend struct TInternetPoolCallbacks;

    void Configure(TTransfer& transfer);
    std::optional<TEnd> Collect();
    TEnd Finish(TTransfer& transfer, int curlCode);
    bool StalledTransfer(TEnd& end);
    void Remove(int id);

    TInternetSettings settings_;
    CURLM* multi_ = nullptr;
    bool ownConnections_ = false;
    std::map<int, std::unique_ptr<TTransfer>> transfers_;
    int lastId_ = 0;
};
