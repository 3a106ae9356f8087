#include "grabber/TJvStreamUrlGrabberThread.h"

#include "grabber/RangeHeaders.h"
#include "grabber/TGrabberPartFile.h"
#include "grabber/TStreamFetch.h"
#include "media/EMediaJoin.h"
#include "media/MediaJoin.h"
#include "runtime/AsciiText.h"

#include <sstream>

namespace {

// The record's name for a plan: another plan (a manifest that changed, other
// renditions chosen) cannot continue the part.
TPartRecord RecordOf(const TStreamPlan& plan, const TStreamJobs& jobs)
{
    return {plan.ManifestAddress, "stream " + jobs.Digest, static_cast<std::int64_t>(jobs.Jobs.size()), {}};
}

} // namespace

void TJvStreamUrlGrabberThread::Grab()
{
    const TJvGrabberSettings settings = TakeSettings();
    BeginRun();
    if (!settings.Stream || settings.OutputMode != omFile) {
        Fail(InternetFailure(ERROR_INTERNET_INVALID_URL));
        return;
    }
    const TStreamJobs jobs = PlanJobs(*settings.Stream);
    seconds_ = jobs.Duration;
    bandwidth_ = settings.Stream->Bandwidth;
    try {
        if (!PrepareContent(settings))
            return;
        TakeStoredPieces(settings, jobs);
        SetStatus(gsGrabbing);
        ShowProgress(0);
        std::vector<bool> stored(jobs.Jobs.size());
        for (std::size_t i = 0; i < stored.size(); ++i)
            stored[i] = stored_[i].Offset >= 0;
        TStreamFetch fetch(settings, jobs, stored,
                           {[&](std::size_t job, const std::string& bytes) { Store(jobs, job, bytes); },
                            [&](std::int64_t onTheirWay) { ShowProgress(onTheirWay); },
                            [&](int seconds, int retry, int retries, const TInternetFailure& why) {
                                HandOverRetry(seconds, retry, retries, why);
                            }});
        if (std::optional<TInternetFailure> failure = fetch.Run()) {
            Fail(std::move(*failure));
            return;
        }
    } catch (const EStreamError& failure) {
        FailToWrite(failure);
        return;
    }
    if (Terminated() || !Continue)
        return;
    ShowProgress(0);
    SetStatus(gsStopping);
    if (Join(settings, jobs))
        HandOverDone();
}

void TJvStreamUrlGrabberThread::TakeStoredPieces(const TJvGrabberSettings& settings, const TStreamJobs& jobs)
{
    TGrabberPartFile& part = *Part();
    const TPartRecord record = RecordOf(*settings.Stream, jobs);
    stored_.assign(jobs.Jobs.size(), {});
    const auto& found = part.Record();
    if (settings.ResumeMode == rmContinue && found && found->Address == record.Address &&
        found->Validator == record.Validator && found->Length == record.Length) {
        const std::int64_t size = part.Size();
        for (const std::string& line : found->Extra) {
            // "piece JOB OFFSET LENGTH"
            std::istringstream fields(line);
            std::string word, job, offset, length;
            fields >> word >> job >> offset >> length;
            auto number = ParseByteCount(job);
            auto at = ParseByteCount(offset);
            auto count = ParseByteCount(length);
            if (word != "piece" || !number || !at || !count || *number >= record.Length || *at + *count > size)
                continue;
            stored_[static_cast<std::size_t>(*number)] = {*at, *count};
            storedBytes_ += *count;
            const TPieceJob& piece = jobs.Jobs[static_cast<std::size_t>(*number)];
            if (piece.Track == ptVideo)
                storedSeconds_ += piece.Duration;
        }
        if (storedBytes_ > 0) {
            SetBytesRead(storedBytes_);
            HandOverResume();
            return;
        }
    }
    StartContentOver();
    if (settings.ResumeMode != rmOff)
        part.Remember(record);
}

void TJvStreamUrlGrabberThread::Store(const TStreamJobs& jobs, std::size_t job, const std::string& bytes)
{
    TGrabberPartFile& part = *Part();
    const std::int64_t offset = part.Size();
    part.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    if (part.Record())
        part.AppendToRecord("piece " + std::to_string(job) + " " + std::to_string(offset) + " " +
                            std::to_string(bytes.size()));
    stored_[job] = {offset, static_cast<std::int64_t>(bytes.size())};
    storedBytes_ += static_cast<std::int64_t>(bytes.size());
    if (jobs.Jobs[job].Track == ptVideo)
        storedSeconds_ += jobs.Jobs[job].Duration;
}

// The size is estimated from what the pieces stored so far weigh for the
// time they cover, else from the stream's bandwidth; the received bytes
// against it show how much of the time is there.
void TJvStreamUrlGrabberThread::ShowProgress(std::int64_t onTheirWay)
{
    const double covered = seconds_ > 0 ? storedSeconds_ / seconds_ : 0;
    std::int64_t estimate = 0;
    if (covered >= 1)
        estimate = storedBytes_;
    else if (covered > 0.02)
        estimate = static_cast<std::int64_t>(static_cast<double>(storedBytes_) / covered);
    else if (bandwidth_)
        estimate = static_cast<std::int64_t>(static_cast<double>(*bandwidth_) * seconds_ / 8);
    const std::int64_t received = storedBytes_ + onTheirWay;
    SetSize(std::max(estimate, received));
    SetBytesRead(received);
    HandOverProgress();
}

bool TJvStreamUrlGrabberThread::Join(const TJvGrabberSettings& settings, const TStreamJobs& jobs)
{
    const TStreamPlan& plan = *settings.Stream;
    TJoinRequest request;
    const std::string partName = TGrabberPartFile::PartName(settings.FileName);
    for (std::size_t track = 0; track < jobs.Groups.size(); ++track) {
        TMediaInput input;
        input.Take = track == 1 ? ttAudio : (plan.Audio ? ttVideo : ttVideoAndAudio);
        for (const std::vector<std::size_t>& group : jobs.Groups[track]) {
            input.Groups.emplace_back();
            for (std::size_t job : group)
                input.Groups.back().Pieces.push_back({partName, stored_[job].Offset, stored_[job].Length});
        }
        request.Inputs.push_back(std::move(input));
    }
    request.Output = TGrabberPartFile::MadeName(settings.FileName);
    request.Container = ContainerForCodecs(plan.Codecs);
    request.ReleaseInput = true;
    request.Cancelled = [this] { return Terminated(); };
    try {
        JoinMedia(request);
        return true;
    } catch (const EMediaJoin& failure) {
        // The pieces read were released: nothing is left to continue.
        StartContentOver();
        Fail(TInternetFailure{fkRefused, 0, failure.Wording(), failure.Arguments(), {}, nullptr});
    } catch (const EAbort&) {
        StartContentOver();
    }
    return false;
}
