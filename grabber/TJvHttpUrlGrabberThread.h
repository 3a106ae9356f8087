#pragma once

#include "grabber/TJvCustomUrlGrabberThread.h"

struct TPartRecord;

// The worker of the HTTP and HTTPS grabbers: one GET over the network layer,
// asking for the rest of the part beside the target when it can be continued.
class TJvHttpUrlGrabberThread : public TJvCustomUrlGrabberThread {
public:
    using TJvCustomUrlGrabberThread::TJvCustomUrlGrabberThread;

protected:
    void PrepareSession(const TJvGrabberSettings& settings) override;
    TInternetHandle* ConnectToServer(const TJvGrabberSettings& settings) override;
    void Transfer(const TJvGrabberSettings& settings) override;

private:
    bool OpenRequest(const TJvGrabberSettings& settings);
    // Opens and sends the request; with a record, for the part's rest.
    bool Request(const TJvGrabberSettings& settings, const TPartRecord* continuing);
    // The part's record when this run may continue it from the address.
    std::optional<TPartRecord> ContinuablePart(const TJvGrabberSettings& settings);
    // A 416, or a 206 that is not the part's rest with its whole length.
    bool ContinuationRefused(const TPartRecord& record);
    // Records the status code and the announced size; false when the
    // response cannot be saved (the failure has been recorded). A 200 to a
    // request for the part's rest starts the part over.
    bool ExamineResponse(const TJvGrabberSettings& settings, const TPartRecord* continuing);
    // Notes in the part what a later run needs to continue it, when the
    // server says it can.
    bool RememberIfContinuable(const TJvGrabberSettings& settings);
    void FailStatus(const std::string& code);
    // The response's answer to a header query; empty when it has none.
    std::string ResponseHeader(std::uint32_t query) const;
    bool IsWebPage();
};
