#include "grabber/TJvCustomUrlGrabberThread.h"

#include "grabber/TGrabberPartFile.h"
#include "grabber/TJvCustomUrlGrabber.h"
#include "grabber/internet/InternetApi.h"
#include "runtime/AsciiText.h"
#include "runtime/ResourceString.h"
#include "runtime/TMemoryStream.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// Progress reaches the user-interface thread at most this often, so a fast
// transfer is not held up by round trips to it.
constexpr std::chrono::milliseconds kProgressInterval{16};
// A server may ask for a longer pause before the next try, up to this.
constexpr std::chrono::seconds kLongestRetryAfter{60};

} // namespace

TJvCustomUrlGrabberThread::TJvCustomUrlGrabberThread(TJvCustomUrlGrabber* grabber) : grabber_(grabber) {}

void TJvCustomUrlGrabberThread::Execute()
{
    grabber_->status_ = gsStopped;
    grabber_->contentStream_.reset();
    grabber_->partKept_ = false;
    try {
        Grab();
        EndRun();
    } catch (...) {
        // A handler's exception ends the run; it is not reported further.
    }
    grabber_->contentStream_.reset();
    grabber_->status_ = gsStopped;
    HandOverClosed();
}

void TJvCustomUrlGrabberThread::HandOverProgress()
{
    Synchronize([this] { grabber_->DoProgress(Continue); });
}

void TJvCustomUrlGrabberThread::HandOverStatus()
{
    Synchronize([this] { grabber_->DoStatus(); });
}

void TJvCustomUrlGrabberThread::HandOverDone()
{
    doneHandedOver_ = true;
    Synchronize([this] { grabber_->DoDone(); });
}

void TJvCustomUrlGrabberThread::HandOverError(const TInternetFailure& failure)
{
    Synchronize([&] { grabber_->DoError(failure.Text()); });
}

void TJvCustomUrlGrabberThread::HandOverClosed()
{
    Synchronize([this] { grabber_->DoClosed(); });
}

void TJvCustomUrlGrabberThread::HandOverRetry(int secondsLeft, int retry, int retries, const TInternetFailure& why)
{
    Synchronize([&] { grabber_->DoRetry(secondsLeft, retry, retries, why.Text()); });
}

void TJvCustomUrlGrabberThread::HandOverResume()
{
    Synchronize([this] { grabber_->DoResume(BytesRead()); });
}

void TJvCustomUrlGrabberThread::Fail(TInternetFailure failure)
{
    if (Terminated() || failure_)
        return;
    failure_ = std::move(failure);
}

void TJvCustomUrlGrabberThread::Fail(TFailureKind kind, std::string words, std::vector<std::string> arguments)
{
    Fail(TInternetFailure{kind, 0, std::move(words), std::move(arguments), {}, nullptr});
}

void TJvCustomUrlGrabberThread::FailToWrite(const EStreamError& failure)
{
    TGrabberPartFile* part = Part();
    if (part && dynamic_cast<const EDiskFull*>(&failure))
        Fail(fkDisk, "There is not enough space on the disk to save \"%s\"", {part->Target()});
    else
        Fail(fkDisk, failure.Message());
}

bool TJvCustomUrlGrabberThread::RetryWorthIt(const TJvGrabberSettings& settings, int retry) const
{
    if (!failure_ || doneHandedOver_ || Terminated() || !Continue || retry > settings.Retries)
        return false;
    switch (failure_->Kind) {
    case fkTimeout:
    case fkBusy: return true;
    case fkCut: return responseBegun_ || receivedAny_;
    case fkUnreachable: return receivedAny_;
    case fkRefused:
    case fkDisk: break;
    }
    return false;
}

bool TJvCustomUrlGrabberThread::WaitToRetry(const TJvGrabberSettings& settings, int retry)
{
    // 1, 2, 4, 8, 16... seconds, or longer when the server asked for it.
    std::chrono::seconds backOff{1LL << std::min(retry - 1, 16)};
    auto wait = std::max(backOff, std::min(retryAfter_, kLongestRetryAfter));
    SetStatus(gsConnecting);
    for (auto left = wait.count(); left > 0; --left) {
        HandOverRetry(static_cast<int>(left), retry, settings.Retries, *failure_);
        if (WaitUnlessTerminated(settings.RetrySecond))
            return false;
    }
    failure_.reset();
    retryAfter_ = std::chrono::seconds{0};
    return !Terminated();
}

void TJvCustomUrlGrabberThread::EndRun()
{
    if (doneHandedOver_ || std::exchange(runEnded_, true))
        return;
    KeepPart();
    if (!failure_ || Terminated())
        return;
    TInternetFailure failure = *std::exchange(failure_, std::nullopt);
    HandOverError(failure);
}

void TJvCustomUrlGrabberThread::KeepPart()
{
    TGrabberPartFile* part = Part();
    if (!part || (failure_ && failure_->Kind == fkDisk))
        return;
    try {
        if (part->Keep()) {
            grabber_->keptPartTarget_ = part->Target();
            grabber_->partKept_ = true;
        }
    } catch (const EStreamError&) {
        // What could not be written goes with the part.
    }
}

void TJvCustomUrlGrabberThread::BeginRun()
{
    failure_.reset();
    responseBegun_ = false;
    SetStatus(gsConnecting);
}

TJvGrabberSettings TJvCustomUrlGrabberThread::TakeSettings()
{
    TJvGrabberSettings settings;
    Synchronize([&] { settings = grabber_->settings_; });
    return settings;
}

bool TJvCustomUrlGrabberThread::PrepareContent(const TJvGrabberSettings& settings)
{
    if (grabber_->contentStream_)
        return true;
    try {
        if (settings.OutputMode == omStream) {
            grabber_->contentStream_ = std::make_unique<TMemoryStream>();
            return true;
        }
        auto part = std::make_unique<TGrabberPartFile>(settings.FileName);
        if (settings.ResumeMode != rmContinue)
            part->StartOver();
        grabber_->contentStream_ = std::move(part);
    } catch (const EPartInUse&) {
        Fail(fkRefused, "Another download is saving to \"%s\"", {settings.FileName});
        return false;
    } catch (const EStreamError& failure) {
        FailToWrite(failure);
        return false;
    }
    return true;
}

bool TJvCustomUrlGrabberThread::CreateContentStream(const TJvGrabberSettings& settings)
{
    if (!PrepareContent(settings))
        return false;
    StartContentOver();
    return !Failed();
}

TGrabberPartFile* TJvCustomUrlGrabberThread::Part() const
{
    return dynamic_cast<TGrabberPartFile*>(grabber_->contentStream_.get());
}

void TJvCustomUrlGrabberThread::StartContentOver()
{
    try {
        if (TGrabberPartFile* part = Part())
            part->StartOver();
        else
            grabber_->contentStream_->SetSize(0);
        SetBytesRead(0);
    } catch (const EStreamError& failure) {
        FailToWrite(failure);
    }
}

void TJvCustomUrlGrabberThread::SetStatus(TJvGrabberStatus status)
{
    grabber_->status_ = status;
}
void TJvCustomUrlGrabberThread::SetSize(std::int64_t size)
{
    grabber_->size_ = size;
}
void TJvCustomUrlGrabberThread::SetBytesRead(std::int64_t count)
{
    grabber_->bytesRead_ = count;
}
std::int64_t TJvCustomUrlGrabberThread::Size() const
{
    return grabber_->size_;
}
std::int64_t TJvCustomUrlGrabberThread::BytesRead() const
{
    return grabber_->bytesRead_;
}

void TJvCustomUrlGrabberThread::Append(const char* bytes, std::uint32_t count)
{
    grabber_->contentStream_->WriteBuffer(bytes, count);
    SetBytesRead(BytesRead() + count);
    receivedAny_ = true;
}

bool TJvCustomUrlGrabberThread::ProgressDue()
{
    auto now = std::chrono::steady_clock::now();
    if (progressSent_ && now - lastProgress_ < kProgressInterval)
        return false;
    progressSent_ = true;
    lastProgress_ = now;
    return true;
}

TJvCustomUrlGrabberThread::TReadEnd
TJvCustomUrlGrabberThread::ReadLoop(const std::function<bool(char*, std::uint32_t, std::uint32_t&)>& read,
                                    std::uint32_t chunkSize)
{
    std::vector<char> buffer(chunkSize);
    responseBegun_ = true;
    SetBytesRead(grabber_->contentStream_->Size());
    while (!Terminated() && Continue) {
        std::uint32_t count = 0;
        if (!read(buffer.data(), chunkSize, count)) {
            HandOverProgress(); // what arrived before the failure
            return reFailed;
        }
        if (count == 0) {
            HandOverProgress(); // the final total, whatever the throttle says
            return reEnd;
        }
        // Bytes beyond the announced size belong to some other answer than
        // the one announced: what was joined cannot be trusted.
        if (Size() > 0 && BytesRead() + count > Size()) {
            StartContentOver();
            Fail(fkCut, "The server sent more than the %s bytes it announced", {std::to_string(Size())});
            return reReported;
        }
        try {
            Append(buffer.data(), count);
        } catch (const EStreamError& failure) {
            FailToWrite(failure);
            return reReported;
        }
        // NOTE: no yield between chunks: on a busy machine giving up the
        // time slice after every kilobyte paces the download to the other
        // processes.
        if (ProgressDue())
            HandOverProgress();
    }
    return reStopped;
}

void TJvCustomUrlGrabberThread::FinishRun(TReadEnd end, const TInternetFailure& failedRead)
{
    SetStatus(gsStopping);
    if (end == reStopped || end == reReported || Terminated() || !Continue)
        return;
    // A time-out says so; any other end before the announced size is the
    // connection closing early.
    const bool timedOut = end == reFailed && failedRead.Kind == fkTimeout;
    const bool shortOfLength = Size() > 0 && BytesRead() < Size();
    if (shortOfLength && !timedOut) {
        Fail(fkCut, "Connection closed after %s of %s bytes", {std::to_string(BytesRead()), std::to_string(Size())});
        return;
    }
    if (end == reFailed) {
        Fail(failedRead);
        return;
    }
    HandOverDone();
}
