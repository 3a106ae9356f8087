#include "grabber/TJvCustomUrlGrabberThread.h"

#include "grabber/TGrabberTempFile.h"
#include "grabber/TJvCustomUrlGrabber.h"
#include "grabber/internet/InternetApi.h"
#include "runtime/AsciiText.h"
#include "runtime/ResourceString.h"
#include "runtime/TMemoryStream.h"

#include <utility>
#include <vector>

namespace {

// Progress reaches the user-interface thread at most this often, so a fast
// transfer is not held up by round trips to it.
constexpr std::chrono::milliseconds kProgressInterval{16};

} // namespace

TJvCustomUrlGrabberThread::TJvCustomUrlGrabberThread(TJvCustomUrlGrabber* grabber) : grabber_(grabber) {}

void TJvCustomUrlGrabberThread::Execute()
{
    grabber_->status_ = gsStopped;
    grabber_->contentStream_.reset();
    try {
        Grab();
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
    Synchronize([this] { grabber_->DoDone(); });
}

void TJvCustomUrlGrabberThread::HandOverError()
{
    Synchronize([this] { grabber_->DoError(LocalisedErrorText()); });
}

void TJvCustomUrlGrabberThread::HandOverClosed()
{
    Synchronize([this] { grabber_->DoClosed(); });
}

void TJvCustomUrlGrabberThread::Fail(const std::string& text, std::vector<std::string> arguments)
{
    if (Terminated())
        return;
    ErrorText = text;
    ErrorArguments = std::move(arguments);
    HandOverError();
}

std::string TJvCustomUrlGrabberThread::LocalisedErrorText() const
{
    return AsciiText::FillPlaceholders(LoadResString(ErrorText), ErrorArguments);
}

void TJvCustomUrlGrabberThread::BeginRun()
{
    ErrorText.clear();
    ErrorArguments.clear();
    SetStatus(gsConnecting);
}

TJvGrabberSettings TJvCustomUrlGrabberThread::TakeSettings()
{
    TJvGrabberSettings settings;
    Synchronize([&] { grabber_->FillSettings(settings); });
    return settings;
}

bool TJvCustomUrlGrabberThread::CreateContentStream(const TJvGrabberSettings& settings)
{
    try {
        if (settings.OutputMode == omStream)
            grabber_->contentStream_ = std::make_unique<TMemoryStream>();
        else
            grabber_->contentStream_ = std::make_unique<TGrabberTempFile>(settings.FileName);
    } catch (const EStreamError& failure) {
        Fail(failure.Message());
        return false;
    }
    return true;
}

void TJvCustomUrlGrabberThread::SetStatus(TJvGrabberStatus status) { grabber_->status_ = status; }
void TJvCustomUrlGrabberThread::SetSize(std::int64_t size) { grabber_->size_ = size; }
void TJvCustomUrlGrabberThread::SetBytesRead(std::int64_t count) { grabber_->bytesRead_ = count; }
std::int64_t TJvCustomUrlGrabberThread::Size() const { return grabber_->size_; }
std::int64_t TJvCustomUrlGrabberThread::BytesRead() const { return grabber_->bytesRead_; }

void TJvCustomUrlGrabberThread::Append(const char* bytes, std::uint32_t count)
{
    grabber_->contentStream_->WriteBuffer(bytes, count);
    SetBytesRead(BytesRead() + count);
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

TJvCustomUrlGrabberThread::TReadEnd TJvCustomUrlGrabberThread::ReadLoop(
    const std::function<bool(char*, std::uint32_t, std::uint32_t&)>& read, std::uint32_t chunkSize)
{
    std::vector<char> buffer(chunkSize);
    SetBytesRead(0);
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
        try {
            Append(buffer.data(), count);
        } catch (const EStreamError& failure) {
            Fail(failure.Message());
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

void TJvCustomUrlGrabberThread::FinishRun(TReadEnd end, const std::string& failureText)
{
    SetStatus(gsStopping);
    if (end == reStopped || end == reReported || Terminated() || !Continue)
        return;
    // A time-out says so; any other end before the announced size is the
    // connection closing early.
    const bool timedOut = end == reFailed && GetLastError() == ERROR_INTERNET_TIMEOUT;
    const bool shortOfLength = Size() > 0 && BytesRead() < Size();
    if (shortOfLength && !timedOut) {
        Fail("Connection closed after %s of %s bytes", {std::to_string(BytesRead()), std::to_string(Size())});
        return;
    }
    if (end == reFailed) {
        Fail(failureText);
        return;
    }
    HandOverDone();
}
