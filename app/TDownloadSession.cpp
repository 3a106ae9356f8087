#include "app/TDownloadSession.h"

#include "app/NetworkChoice.h"
#include "app/Site.h"
#include "grabber/TJvHttpsUrlGrabber.h"
#include "grabber/TJvStreamUrlGrabber.h"
#include "runtime/AsciiText.h"

#include <chrono>
#include <cstdlib>
#include <optional>

namespace {

constexpr int kRetries = 5;

std::chrono::milliseconds RetrySecond()
{
    const char* text = std::getenv("SKERROW_RETRY_SECOND_MS");
    std::optional<std::uint64_t> ms = text ? AsciiText::ParseUnsigned(text) : std::nullopt;
    return std::chrono::milliseconds(ms && *ms <= 1000 ? static_cast<long>(*ms) : 1000);
}

// A stream in pieces has a component of its own; a file, the HTTP one (the
// secure one for https).
std::unique_ptr<TJvHttpUrlGrabber> NewGrabberFor(const TVideoSource& video)
{
    if (video.Stream) {
        auto grabber = std::make_unique<TJvStreamUrlGrabber>();
        grabber->SetStream(std::make_shared<const TStreamPlan>(*video.Stream));
        return grabber;
    }
    if (video.StreamAddress.Scheme() == "https")
        return std::make_unique<TJvHttpsUrlGrabber>();
    return std::make_unique<TJvHttpUrlGrabber>();
}

} // namespace

TDownloadSession::TDownloadSession(TVideoSource video, std::string target)
    : video_(std::move(video)), target_(std::move(target)), grabber_(NewGrabberFor(video_))
{
    grabber_->SetAgent(Site::UserAgent);
    BindEvents();
}

TDownloadSession::~TDownloadSession()
{
    grabber_->Stop();
}

int TDownloadSession::AddObserver(TDownloadEvents observer)
{
    observers_.emplace_back(++lastObserver_, std::move(observer));
    return lastObserver_;
}

void TDownloadSession::RemoveObserver(int id)
{
    std::erase_if(observers_, [id](const auto& observer) { return observer.first == id; });
}

// A copy is walked: an observer may come or go while it is told.
template <typename Event, typename... Args>
void TDownloadSession::Tell(Event TDownloadEvents::*event, const Args&... args)
{
    const auto observers = observers_;
    for (const auto& [id, observer] : observers)
        if (observer.*event)
            (observer.*event)(args...);
}

void TDownloadSession::BindEvents()
{
    grabber_->OnProgress = [this](TObject*, std::int64_t position, std::int64_t total, const std::string&, bool&) {
        Tell(&TDownloadEvents::OnProgress, position, total);
    };
    grabber_->OnResume = [this](TObject*, std::int64_t position, std::int64_t total) {
        Tell(&TDownloadEvents::OnResume, position, total);
    };
    grabber_->OnRetry = [this](TObject*, int secondsLeft, int retry, int retries, const std::string& reason) {
        Tell(&TDownloadEvents::OnRetry, secondsLeft, retry, retries, reason);
    };
    grabber_->OnDoneFile = [this](TObject*, const std::string& file, std::int64_t size, const std::string&) {
        Tell(&TDownloadEvents::OnDone, file, size);
    };
    grabber_->OnError = [this](TObject*, const std::string& reason) { Tell(&TDownloadEvents::OnFailure, reason); };
}

void TDownloadSession::SetConnections(int count)
{
    grabber_->SetConnections(count);
}

// The download's own settings are given last, over any a window's
// description gave the component.
void TDownloadSession::Start(TJvResumeMode resume)
{
    grabber_->Stop();
    grabber_->SetAddress(video_.StreamAddress);
    grabber_->SetFileName(target_);
    grabber_->SetRefuseWebPages(video_.RefuseWebPages);
    grabber_->SetRetries(kRetries);
    grabber_->SetRetrySecond(RetrySecond());
    grabber_->SetResumeMode(resume);
    ApplyNetworkChoice(*grabber_);
    Tell(&TDownloadEvents::OnStart);
    grabber_->Start();
}

void TDownloadSession::Stop()
{
    grabber_->Stop();
}

void TDownloadSession::Cancel()
{
    grabber_->Stop();
    grabber_->DiscardPart();
    Tell(&TDownloadEvents::OnCancel);
}

bool TDownloadSession::Running() const
{
    return grabber_->Running();
}

bool TDownloadSession::PartKept() const
{
    return grabber_->PartKept();
}
