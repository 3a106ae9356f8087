#pragma once

#include "grabber/HeldBytes.h"
#include "grabber/TJvCustomUrlGrabberThread.h"
#include "grabber/TRangeFetch.h"

struct TPartRecord;

// The worker of the HTTP and HTTPS grabbers: one GET over the network layer,
// asking for the rest of the part beside the target when it can be continued.
// A large file whose server offers byte ranges of a content it names is
// fetched in ranges over several connections, the GET's answer being the
// first of them.
class TJvHttpUrlGrabberThread : public TJvCustomUrlGrabberThread {
public:
    using TJvCustomUrlGrabberThread::TJvCustomUrlGrabberThread;

    // Files up to this size come on one connection: more would gain little
    // over the time it takes to open them.
    static constexpr std::int64_t kLeastRangedLength = std::int64_t(16) << 20;

protected:
    void PrepareSession(const TJvGrabberSettings& settings) override;
    TInternetHandle* ConnectToServer(const TJvGrabberSettings& settings) override;
    void Transfer(const TJvGrabberSettings& settings) override;

private:
    bool OpenRequest(const TJvGrabberSettings& settings);
    // Opens and sends the request; with a record, for the part's first gap.
    bool Request(const TJvGrabberSettings& settings, const TPartRecord* continuing);
    // Closes the answer, empties the part and asks for the whole content.
    bool RequestAnew(const TJvGrabberSettings& settings);
    // The part's record when this run may continue it from the address.
    std::optional<TPartRecord> ContinuablePart(const TJvGrabberSettings& settings);
    // Where the part's first gap begins.
    std::int64_t ContinueAt() const;
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
    std::optional<std::string> ResponseValidator() const;
    bool IsWebPage();

    // Ranges (TJvHttpUrlGrabberThreadRanges.cpp). Whether the rest comes in
    // ranges: gaps between held spans always do; else a file larger than
    // kLeastRangedLength, with more than one connection allowed, when the
    // server offers byte ranges and names the content.
    bool InRanges(const TJvGrabberSettings& settings);
    // Fetches what is missing in ranges, the open answer first, and ends the
    // run unless the content changed (foChanged: the caller starts over).
    TRangeFetch::TOutcome ReceiveInRanges(const TJvGrabberSettings& settings);
    TRangeFetch::TContent RangedContent(const TJvGrabberSettings& settings) const;
    TRangeFetch::TOpenAnswer OpenAnswer();
    TRangeFetch::THooks RangeHooks(TGrabberPartFile& part);
    // A part one connection wrote says what it holds by its size alone: that
    // goes into its record before ranges are written beside it.
    void RecordHeldSpans(TGrabberPartFile& part);

    // What the part holds of the content this attempt continues; nothing
    // when it starts from the beginning.
    THeldBytes held_;
};
