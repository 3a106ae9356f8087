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
    // Splits an address into its parts; see the .cpp for the rule.
    static void ParseUrl(const std::string& url, const std::string& marker, std::string& host, std::string& fileName,
                         std::string& userName, std::string& password, std::uint32_t& port);

    // Lets a worker run for the current settings, stopping any previous one.
    virtual void Start();
    // Ends the running worker and waits for it; on the user-interface thread
    // the wait keeps running the worker's hand-overs.
    virtual void Stop();
    // Raises OnStatusChange; protocol grabbers add the stage events.
    virtual void DoStatus();

    // Published properties.
    const std::string& UserName() const { return userName_; }
    void SetUserName(const std::string& value) { userName_ = value; }
    const std::string& Password() const { return password_; }
    void SetPassword(const std::string& value) { password_ = value; }
    const std::string& FileName() const { return fileName_; }
    void SetFileName(const std::string& value) { fileName_ = value; }
    TJvOutputMode OutputMode() const { return outputMode_; }
    void SetOutputMode(TJvOutputMode value) { outputMode_ = value; }
    const std::string& Agent() const { return agent_; }
    void SetAgent(const std::string& value) { agent_ = value; }
    const std::string& Url() const { return url_; }
    // Raises EGrabberNotStopped unless the status is gsStopped.
    virtual void SetUrl(const std::string& value);
    std::uint32_t Port() const { return port_; }
    void SetPort(std::uint32_t value) { port_ = value; }

    // Surviving a faltering network: how many times a transient failure is
    // tried again (waiting 1, 2, 4, 8, 16... seconds, or what the server
    // asks for up to a minute), how long one of those seconds lasts (tests
    // shorten it), and what becomes of the part beside the target.
    int Retries() const { return retries_; }
    void SetRetries(int value) { retries_ = value; }
    std::chrono::milliseconds RetrySecond() const { return retrySecond_; }
    void SetRetrySecond(std::chrono::milliseconds value) { retrySecond_ = value; }
    TJvResumeMode ResumeMode() const { return resumeMode_; }
    void SetResumeMode(TJvResumeMode value) { resumeMode_ = value; }
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
    // Stores the address as it is, for setters with their own rule.
    void StoreUrl(const std::string& url) { url_ = url; }
    // A published text property over a field of the component.
    static TPublishedText TextProperty(std::string name, std::string* field);
    // Raises the stage event for a status code of the network layer.
    void RaiseStageEvent(std::uint32_t status);
    // The settings a worker reads when its run begins.
    virtual void FillSettings(TJvGrabberSettings& settings) const;

private:
    friend class TJvCustomUrlGrabberThread;

    // Operations the worker hands to the user-interface thread.
    void DoProgress(bool& Continue);
    void DoDone();
    void DoError(const std::string& message);
    void DoClosed();
    void DoRetry(int secondsLeft, int retry, int retries, const std::string& reason);
    void DoResume(std::int64_t position);

    std::string userName_;
    std::string password_;
    std::string fileName_ = "output.txt";
    TJvOutputMode outputMode_ = omFile;
    std::string agent_ = "Vantorel";
    std::string url_;
    std::uint32_t port_ = 0;
    int retries_ = 0;
    std::chrono::milliseconds retrySecond_{1000};
    TJvResumeMode resumeMode_ = rmOff;

    std::atomic<TJvGrabberStatus> status_{gsStopped};
    std::atomic<std::int64_t> size_{0};
    std::atomic<std::int64_t> bytesRead_{0};
    std::atomic<bool> partKept_{false};
    std::string keptPartTarget_; // written by the worker before partKept_
    std::unique_ptr<TStream> contentStream_;
    TJvCustomUrlGrabberThread* worker_ = nullptr;
};
