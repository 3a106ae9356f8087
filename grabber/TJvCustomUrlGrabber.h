#pragma once

#include "grabber/TJvGrabberTypes.h"
#include "grabber/TJvUrlGrabberClass.h"
#include "runtime/TComponent.h"
#include "runtime/TStream.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

class TGrabberPartFile;
class TJvCustomUrlGrabberThread;

// The download component: it fetches the resource at Url on a worker thread
// and raises its events on the user-interface thread. Subclasses name the
// protocol (marker, worker class) and add their settings.
class TJvCustomUrlGrabber : public TComponent {
public:
    explicit TJvCustomUrlGrabber(TComponent* owner = nullptr);
    ~TJvCustomUrlGrabber() override;

    std::string ClassName() const override { return GrabberClass().ClassName; }
    virtual const TJvUrlGrabberClass& GrabberClass() const = 0;

    // Class-level values of the abstract base.
    static std::string GetProtocolMarker() { return ""; }
    static std::string GetProtocolName() { return ""; }
    static bool CanGrab(const std::string&) { return false; }
    // Whether url begins with marker, without regard to letter case.
    static bool HasMarker(const std::string& url, const std::string& marker);

    // Lets a worker run for the current settings, stopping any previous one.
    virtual void Start();
    // Ends the running worker and waits for it; on the user-interface thread
    // the wait keeps running the worker's hand-overs.
    virtual void Stop();
    // Raises OnStatusChange; protocol grabbers add the stage events.
    virtual void DoStatus();

    // Published properties.
    const std::string& UserName() const { return settings_.UserName; }
    void SetUserName(const std::string& value) { settings_.UserName = value; }
    const std::string& Password() const { return settings_.Password; }
    void SetPassword(const std::string& value) { settings_.Password = value; }
    const std::string& FileName() const { return settings_.FileName; }
    void SetFileName(const std::string& value) { settings_.FileName = value; }
    TJvOutputMode OutputMode() const { return settings_.OutputMode; }
    void SetOutputMode(TJvOutputMode value) { settings_.OutputMode = value; }
    const std::string& Agent() const { return settings_.Agent; }
    void SetAgent(const std::string& value) { settings_.Agent = value; }
    // The address without user information and port, with the class's
    // marker where the text had no scheme ("host/a" is "http://host/a").
    const std::string& Url() const { return settings_.Url; }
    // Raises EGrabberNotStopped unless the status is gsStopped. User
    // information and a port in the address move to UserName, Password and
    // Port; empty ones leave those as they are.
    virtual void SetUrl(const std::string& value);
    // The same for an address already read.
    void SetAddress(const TWebAddress& address);
    std::uint32_t Port() const { return settings_.Port; }
    void SetPort(std::uint32_t value) { settings_.Port = value; }

    // Surviving a faltering network: how many times a transient failure is
    // tried again (waiting 1, 2, 4, 8, 16... seconds, or what the server
    // asks for up to a minute), how long one of those seconds lasts (tests
    // shorten it), and what becomes of the part beside the target.
    int Retries() const { return settings_.Retries; }
    void SetRetries(int value) { settings_.Retries = value; }
    std::chrono::milliseconds RetrySecond() const { return settings_.RetrySecond; }
    void SetRetrySecond(std::chrono::milliseconds value) { settings_.RetrySecond = value; }
    TJvResumeMode ResumeMode() const { return settings_.ResumeMode; }
    void SetResumeMode(TJvResumeMode value) { settings_.ResumeMode = value; }
    // The most bytes a second a run receives (0: no cap), for a user who
    // shares the line.
    std::int64_t ReceiveRateLimit() const { return settings_.ReceiveRateLimit; }
    void SetReceiveRateLimit(std::int64_t value) { settings_.ReceiveRateLimit = value; }
    // Whether the last run ended early and kept its part for a later run.
    bool PartKept() const { return partKept_; }
    // Removes the part the last run kept, unless a run holds it now.
    void DiscardPart();

    TJvDoneFileEvent OnDoneFile;
    TJvDoneStreamEvent OnDoneStream;
    TJvErrorEvent OnError;
    TJvUrlGrabberProgressEvent OnProgress;
    TNotifyEvent OnResolvingName;
    TNotifyEvent OnNameResolved;
    TNotifyEvent OnConnectingToServer;
    TNotifyEvent OnConnectedToServer;
    TNotifyEvent OnSendingRequest;
    TNotifyEvent OnRequestSent;
    TNotifyEvent OnRequestComplete;
    TNotifyEvent OnReceivingResponse;
    TNotifyEvent OnResponseReceived;
    TNotifyEvent OnClosingConnection;
    TNotifyEvent OnConnectionClosed;
    TNotifyEvent OnRedirect;
    TNotifyEvent OnStatusChange;
    TJvRetryEvent OnRetry;
    TJvResumeEvent OnResume;

    // Run-time state.
    TJvGrabberStatus Status() const { return status_; }
    std::int64_t Size() const { return size_; }
    std::int64_t BytesRead() const { return bytesRead_; }
    // The content of the running transfer; none outside a run.
    TStream* ContentStream() const { return contentStream_.get(); }
    TJvCustomUrlGrabberThread* Worker() const { return worker_; }
    // Whether the worker of the last Start is still at work: it may wait to
    // try again between its attempts.
    bool Running() const;

    std::vector<TPublishedText> PublishedTexts() override;

protected:
    // Stores the address text as it is, for setters with their own rule.
    void StoreUrl(const std::string& url);
    // A published text property over a field of the component.
    static TPublishedText TextProperty(std::string name, std::string* field);
    // Raises the stage event for a status code of the network layer.
    void RaiseStageEvent(std::uint32_t status);

    // Saves what the run received as FileName, in one rename; returns the
    // file's size. Raises EStreamError when it cannot.
    virtual std::int64_t CommitContent(TGrabberPartFile& part);

    // Every setting of the component, the subclasses' included: a worker
    // takes a copy of them when its run begins.
    TJvGrabberSettings settings_;

private:
    friend class TJvCustomUrlGrabberThread;

    // Operations the worker hands to the user-interface thread.
    void DoProgress(bool& Continue);
    void DoDone();
    void DoError(const std::string& message);
    void DoClosed();
    void DoRetry(int secondsLeft, int retry, int retries, const std::string& reason);
    void DoResume(std::int64_t position);

    std::atomic<TJvGrabberStatus> status_{gsStopped};
    std::atomic<std::int64_t> size_{0};
    std::atomic<std::int64_t> bytesRead_{0};
    std::atomic<bool> partKept_{false};
    std::string keptPartTarget_; // written by the worker before partKept_
    std::unique_ptr<TStream> contentStream_;
    TJvCustomUrlGrabberThread* worker_ = nullptr;
};
