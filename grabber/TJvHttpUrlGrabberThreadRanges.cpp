// The HTTP worker's download in ranges: the answer to its GET is the first
// range, TRangeFetch opens the others beside it and writes each at its place
// in the part, and the part's record says which bytes are there, so that a
// later attempt or run continues every range where it stopped.
#include "grabber/TJvHttpUrlGrabberThread.h"

#include "grabber/PoolSettings.h"
#include "grabber/RangeHeaders.h"
#include "grabber/TGrabberPartFile.h"
#include "grabber/TJvHttpUrlGrabber.h"
#include "grabber/internet/InternetApi.h"

#include <algorithm>
#include <utility>

bool TJvHttpUrlGrabberThread::InRanges(const TJvGrabberSettings& settings)
{
    if (!Part() || Size() <= 0)
        return false;
    const bool continued = held_.Total() > 0;
    if (continued && !held_.IsPrefix())
        return true;
    if (std::clamp(settings.Connections, 1, TJvHttpUrlGrabber::kMostConnections) <= 1 || Size() <= kLeastRangedLength)
        return false;
    // A 206 that continues the part has shown both already.
    return continued || (OffersByteRanges(ResponseHeader(HTTP_QUERY_ACCEPT_RANGES)) && ResponseValidator());
}

TRangeFetch::TOutcome TJvHttpUrlGrabberThread::ReceiveInRanges(const TJvGrabberSettings& settings)
{
    TGrabberPartFile& part = *Part();
    SetStatus(gsGrabbing);
    NoteResponseBegun();
    TRangeFetch::TOutcome outcome = TRangeFetch::foFailed;
    try {
        RecordHeldSpans(part);
        TRangeFetch fetch(PoolSettingsOf(settings), RangedContent(settings), held_,
                          std::clamp(settings.Connections, 1, TJvHttpUrlGrabber::kMostConnections), RangeHooks(part));
        outcome = fetch.Run(OpenAnswer());
        if (outcome == TRangeFetch::foFailed)
            Fail(*fetch.Failure());
    } catch (const EStreamError& failure) {
        FailToWrite(failure);
        FinishRun(reReported, {});
        return TRangeFetch::foFailed;
    }
    switch (outcome) {
    case TRangeFetch::foDone:
        HandOverProgress(); // the final total, whatever the throttle says
        FinishRun(reEnd, {});
        break;
    case TRangeFetch::foStopped: FinishRun(reStopped, {}); break;
    case TRangeFetch::foFailed: FinishRun(reReported, {}); break;
    case TRangeFetch::foChanged: break;
    }
    return outcome;
}

// Every range request says what the GET said, besides the range.
TRangeFetch::TContent TJvHttpUrlGrabberThread::RangedContent(const TJvGrabberSettings& settings) const
{
    TRangeFetch::TContent content{*settings.ServerAddress(),
                                  ResponseValidator().value_or(""),
                                  Size(),
                                  {"Accept:", "Pragma: no-cache", "Cache-Control: no-cache"}};
    if (!settings.Referer.empty())
        content.Headers.push_back("Referer: " + settings.Referer);
    return content;
}

TRangeFetch::TOpenAnswer TJvHttpUrlGrabberThread::OpenAnswer()
{
    TRangeFetch::TOpenAnswer answer;
    answer.At = ContinueAt();
    answer.Read = [this](char* buffer, std::uint32_t size) {
        TRangeFetch::TArrived arrived;
        bool ended = false;
        if (!InternetReadFileNoWait(handles_.transfer, buffer, size, &arrived.Count, &ended)) {
            arrived.Ended = true;
            arrived.Failure = LastInternetFailure();
            return arrived;
        }
        arrived.Ended = ended;
        return arrived;
    };
    answer.WaitHint = [this] {
        TInternetWaitHint hint;
        InternetQueryWaitHint(handles_.transfer, &hint);
        return hint;
    };
    answer.Close = [this] { InternetCloseHandle(std::exchange(handles_.transfer, nullptr)); };
    return answer;
}

TRangeFetch::THooks TJvHttpUrlGrabberThread::RangeHooks(TGrabberPartFile& part)
{
    TRangeFetch::THooks hooks;
    hooks.Write = [this, &part](std::int64_t offset, const char* bytes, std::size_t count) {
        part.WriteAt(offset, bytes, static_cast<std::int64_t>(count));
        NoteReceived();
    };
    hooks.Held = [&part](TByteSpan span) {
        if (part.Record())
            part.AppendToRecord(HeldLine(span));
    };
    hooks.Progress = [this](std::int64_t held) {
        SetBytesRead(held);
        if (ProgressDue())
            HandOverProgress();
    };
    hooks.Stopped = [this] { return Terminated() || !Continue; };
    return hooks;
}

void TJvHttpUrlGrabberThread::RecordHeldSpans(TGrabberPartFile& part)
{
    if (!part.Record() || RecordsHeldBytes(*part.Record()))
        return;
    for (const TByteSpan& span : held_.Spans())
        part.AppendToRecord(HeldLine(span));
}
