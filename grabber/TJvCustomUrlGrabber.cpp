#include "grabber/TJvCustomUrlGrabber.h"

#include "grabber/EGrabberNotStopped.h"
#include "grabber/TGrabberPartFile.h"
#include "grabber/TJvCustomUrlGrabberThread.h"
#include "grabber/internet/InternetApi.h"
#include "runtime/AsciiText.h"

namespace {

// The Url property keeps no user information and no port: scheme, then the
// host and "/" when there is a host, then the rest of the target.
std::string UrlProperty(const TWebAddress& address)
{
    const std::string target = address.Target();
    return address.Scheme() + "://" + (address.Host().empty() ? target.substr(1) : address.Host() + target);
}

} // namespace

TJvCustomUrlGrabber::TJvCustomUrlGrabber(TComponent* owner) : TComponent(owner) {}

bool TJvCustomUrlGrabber::HasMarker(const std::string& url, const std::string& marker)
{
    return AsciiText::StartsWithText(url, marker);
}

TJvCustomUrlGrabber::~TJvCustomUrlGrabber()
{
    Stop();
}

// Text without a scheme is an address of the class's protocol.
void TJvCustomUrlGrabber::SetUrl(const std::string& value)
{
    if (status_ != gsStopped)
        throw EGrabberNotStopped();
    const std::string marker = GrabberClass().GetProtocolMarker();
    const bool hasScheme = value.find("://") != std::string::npos;
    if (std::optional<TWebAddress> address = TWebAddress::Parse(hasScheme ? value : marker + value)) {
        SetAddress(*address);
        return;
    }
    StoreUrl(marker + value);
}

void TJvCustomUrlGrabber::SetAddress(const TWebAddress& address)
{
    if (status_ != gsStopped)
        throw EGrabberNotStopped();
    if (!address.UserName().empty())
        settings_.UserName = address.UserName();
    if (!address.Password().empty())
        settings_.Password = address.Password();
    if (address.Port() != 0)
        settings_.Port = address.Port();
    settings_.Address = address;
    settings_.Url = UrlProperty(address);
}

void TJvCustomUrlGrabber::StoreUrl(const std::string& url)
{
    settings_.Url = url;
    settings_.Address.reset();
}

void TJvCustomUrlGrabber::Start()
{
    Stop();
    auto threadClass = GrabberClass().GetThreadClass;
    if (!threadClass)
        return;
    worker_ = threadClass(this);
    worker_->Resume();
}

bool TJvCustomUrlGrabber::Running() const
{
    return worker_ && !worker_->Finished();
}

void TJvCustomUrlGrabber::Stop()
{
    if (!worker_)
        return;
    worker_->Terminate();
    worker_->WaitFor();
    delete worker_;
    worker_ = nullptr;
}

void TJvCustomUrlGrabber::DoStatus()
{
    RaiseEvent(OnStatusChange, this);
}

void TJvCustomUrlGrabber::RaiseStageEvent(std::uint32_t status)
{
    switch (status) {
    case INTERNET_STATUS_RESOLVING_NAME: RaiseEvent(OnResolvingName, this); break;
    case INTERNET_STATUS_NAME_RESOLVED: RaiseEvent(OnNameResolved, this); break;
    case INTERNET_STATUS_CONNECTING_TO_SERVER: RaiseEvent(OnConnectingToServer, this); break;
    case INTERNET_STATUS_CONNECTED_TO_SERVER: RaiseEvent(OnConnectedToServer, this); break;
    case INTERNET_STATUS_SENDING_REQUEST: RaiseEvent(OnSendingRequest, this); break;
    case INTERNET_STATUS_REQUEST_SENT: RaiseEvent(OnRequestSent, this); break;
    case INTERNET_STATUS_RECEIVING_RESPONSE: RaiseEvent(OnReceivingResponse, this); break;
    case INTERNET_STATUS_RESPONSE_RECEIVED: RaiseEvent(OnResponseReceived, this); break;
    case INTERNET_STATUS_CLOSING_CONNECTION: RaiseEvent(OnClosingConnection, this); break;
    case INTERNET_STATUS_CONNECTION_CLOSED: RaiseEvent(OnConnectionClosed, this); break;
    case INTERNET_STATUS_REQUEST_COMPLETE: RaiseEvent(OnRequestComplete, this); break;
    case INTERNET_STATUS_REDIRECT: RaiseEvent(OnRedirect, this); break;
    case INTERNET_STATUS_STATE_CHANGE: RaiseEvent(OnStatusChange, this); break;
    default: break;
    }
}

TPublishedText TJvCustomUrlGrabber::TextProperty(std::string name, std::string* field)
{
    return TPublishedText{std::move(name), [field] { return *field; },
                          [field](const std::string& value) { *field = value; }};
}

std::vector<TPublishedText> TJvCustomUrlGrabber::PublishedTexts()
{
    return {
        TextProperty("UserName", &settings_.UserName),
        TextProperty("Password", &settings_.Password),
        TextProperty("FileName", &settings_.FileName),
        TextProperty("Agent", &settings_.Agent),
        // The address goes through its setter, like any other write.
        TPublishedText{"Url", [this] { return settings_.Url; }, [this](const std::string& value) { SetUrl(value); }},
    };
}

void TJvCustomUrlGrabber::DoProgress(bool& Continue)
{
    RaiseEvent(OnProgress, this, bytesRead_.load(), size_.load(), settings_.Url, Continue);
}

void TJvCustomUrlGrabber::DoDone()
{
    TStream& content = *contentStream_;
    std::int64_t size = content.Size();
    content.SetPosition(0);
    // The output mode was fixed when the run began and chose the stream.
    auto* file = dynamic_cast<TGrabberPartFile*>(&content);
    if (!file) {
        RaiseEvent(OnDoneStream, this, content, size, settings_.Url);
        return;
    }
    // The file appears whole, in one rename, or not at all.
    try {
        size = CommitContent(*file);
    } catch (const EStreamError& failure) {
        DoError(failure.Message());
        return;
    }
    RaiseEvent(OnDoneFile, this, settings_.FileName, size, settings_.Url);
}

std::int64_t TJvCustomUrlGrabber::CommitContent(TGrabberPartFile& part)
{
    const std::int64_t size = part.Size();
    part.Commit(settings_.FileName);
    return size;
}

void TJvCustomUrlGrabber::DoError(const std::string& message)
{
    status_ = gsStopped;
    RaiseEvent(OnError, this, message);
}

void TJvCustomUrlGrabber::DoClosed()
{
    RaiseEvent(OnConnectionClosed, this);
}

void TJvCustomUrlGrabber::DoRetry(int secondsLeft, int retry, int retries, const std::string& reason)
{
    RaiseEvent(OnRetry, this, secondsLeft, retry, retries, reason);
}

void TJvCustomUrlGrabber::DoResume(std::int64_t position)
{
    RaiseEvent(OnResume, this, position, size_.load());
}

void TJvCustomUrlGrabber::DiscardPart()
{
    if (status_ != gsStopped || !partKept_)
        return;
    TGrabberPartFile::Remove(keptPartTarget_);
    partKept_ = false;
}
