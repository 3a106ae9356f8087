#include "grabber/TJvCustomUrlGrabber.h"

#include "grabber/EGrabberNotStopped.h"
#include "grabber/TGrabberPartFile.h"
#include "grabber/TJvCustomUrlGrabberThread.h"
#include "grabber/internet/InternetApi.h"
#include "runtime/AsciiText.h"

#include <cstdint>
#include <optional>

namespace {

// A port is a decimal number that fits 32 bits; anything else counts as 0.
std::uint32_t PortNumber(const std::string& text)
{
    std::optional<std::uint64_t> value = AsciiText::ParseUnsigned(text);
    return value && *value <= UINT32_MAX ? static_cast<std::uint32_t>(*value) : 0;
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

// Splitting rule: the marker (any letter case) goes; the host part ends at
// the first "/", and the file name is everything after it; user information
// ends at the first "@" and splits at its first ":"; the port follows the
// first ":" of what remains.
void TJvCustomUrlGrabber::ParseUrl(const std::string& url, const std::string& marker, std::string& host,
                                   std::string& fileName, std::string& userName, std::string& password,
                                   std::uint32_t& port)
{
    host.clear();
    fileName.clear();
    userName.clear();
    password.clear();
    port = 0;
    std::string rest = url;
    if (!marker.empty() && HasMarker(rest, marker))
        rest.erase(0, marker.size());
    std::size_t slash = rest.find('/');
    std::string hostPart = rest.substr(0, slash);
    if (slash != std::string::npos)
        fileName = rest.substr(slash + 1);
    if (std::size_t at = hostPart.find('@'); at != std::string::npos) {
        std::string user = hostPart.substr(0, at);
        hostPart.erase(0, at + 1);
        std::size_t colon = user.find(':');
        userName = user.substr(0, colon);
        if (colon != std::string::npos)
            password = user.substr(colon + 1);
    }
    std::size_t colon = hostPart.find(':');
    host = hostPart.substr(0, colon);
    if (colon != std::string::npos)
        port = PortNumber(hostPart.substr(colon + 1));
}

void TJvCustomUrlGrabber::SetUrl(const std::string& value)
{
    if (status_ != gsStopped)
        throw EGrabberNotStopped();
    std::string marker = GrabberClass().GetProtocolMarker();
    std::string host, fileName, userName, password;
    std::uint32_t port = 0;
    ParseUrl(value, marker, host, fileName, userName, password, port);
    if (!userName.empty())
        userName_ = userName;
    if (!password.empty())
        password_ = password;
    if (port != 0)
        port_ = port;
    url_ = marker + (host.empty() ? "" : host + "/") + fileName;
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

void TJvCustomUrlGrabber::FillSettings(TJvGrabberSettings& settings) const
{
    settings.Url = url_;
    settings.Marker = GrabberClass().GetProtocolMarker();
    settings.UserName = userName_;
    settings.Password = password_;
    settings.FileName = fileName_;
    settings.OutputMode = outputMode_;
    settings.Agent = agent_;
    settings.Port = port_;
    settings.Retries = retries_;
    settings.RetrySecond = retrySecond_;
    settings.ResumeMode = resumeMode_;
}

TPublishedText TJvCustomUrlGrabber::TextProperty(std::string name, std::string* field)
{
    return TPublishedText{std::move(name), [field] { return *field; },
                          [field](const std::string& value) { *field = value; }};
}

std::vector<TPublishedText> TJvCustomUrlGrabber::PublishedTexts()
{
    return {
        TextProperty("UserName", &userName_),
        TextProperty("Password", &password_),
        TextProperty("FileName", &fileName_),
        TextProperty("Agent", &agent_),
        // The address goes through its setter, like any other write.
        TPublishedText{"Url", [this] { return url_; }, [this](const std::string& value) { SetUrl(value); }},
    };
}

void TJvCustomUrlGrabber::DoProgress(bool& Continue)
{
    RaiseEvent(OnProgress, this, bytesRead_.load(), size_.load(), url_, Continue);
}

void TJvCustomUrlGrabber::DoDone()
{
    TStream& content = *contentStream_;
    std::int64_t size = content.Size();
    content.SetPosition(0);
    // The output mode was fixed when the run began and chose the stream.
    auto* file = dynamic_cast<TGrabberPartFile*>(&content);
    if (!file) {
        RaiseEvent(OnDoneStream, this, content, size, url_);
        return;
    }
    // The file appears whole, in one rename, or not at all.
    try {
        file->Commit(fileName_);
    } catch (const EStreamError& failure) {
        DoError(failure.Message());
        return;
    }
    RaiseEvent(OnDoneFile, this, fileName_, size, url_);
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
