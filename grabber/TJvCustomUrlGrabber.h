#pragma once

#include "grabber/TJvGrabberTypes.h"
#include "grabber/TJvUrlGrabberClass.h"
#include "runtime/TComponent.h"
#include "runtime/TStream.h"

#include <atomic>
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

    // Run-time state.
    TJvGrabberStatus Status() const { return status_; }
    std::int64_t Size() const { return size_; }
    std::int64_t BytesRead() const { return bytesRead_; }
    // The content of the running transfer; none outside a run.
    TStream* ContentStream() const { return contentStream_.get(); }
    TJvCustomUrlGrabberThread* Worker() const { return worker_; }

    std::vector<TPublishedText> PublishedTexts() override;

protected:
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

    std::string userName_;
    std::string password_;
    std::string fileName_ = "output.txt";
    TJvOutputMode outputMode_ = omFile;
    std::string agent_ = "Vantorel";
    std::string url_;
    std::uint32_t port_ = 0;

    std::atomic<TJvGrabberStatus> status_{gsStopped};
    std::atomic<std::int64_t> size_{0};
    std::atomic<std::int64_t> bytesRead_{0};
    std::unique_ptr<TStream> contentStream_;
    TJvCustomUrlGrabberThread* worker_ = nullptr;
};
