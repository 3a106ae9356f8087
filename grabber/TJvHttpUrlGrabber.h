#pragma once

#include "grabber/TJvProxyingUrlGrabber.h"

#include <mutex>

// The HTTP member of the family: the one the download window owns.
class TJvHttpUrlGrabber : public TJvProxyingUrlGrabber {
public:
    explicit TJvHttpUrlGrabber(TComponent* owner = nullptr) : TJvProxyingUrlGrabber(owner) {}
    // The worker reads this class's members and virtuals: stop it while
    // they still exist.
    ~TJvHttpUrlGrabber() override { Stop(); }

    static const TJvUrlGrabberClass& ClassType();
    const TJvUrlGrabberClass& GrabberClass() const override { return ClassType(); }
    static std::string GetProtocolMarker() { return "http://"; }
    static std::string GetProtocolName() { return "HTTP"; }
    static bool CanGrab(const std::string& url);

    const std::string& Referer() const { return settings_.Referer; }
    void SetReferer(const std::string& value) { settings_.Referer = value; }
    // Whether an answer that is a web page (text/html, XHTML) ends the run
    // with an error instead of being saved: for an address that should lead
    // to a file. Off after construction.
    bool RefuseWebPages() const { return settings_.RefuseWebPages; }
    void SetRefuseWebPages(bool refuse) { settings_.RefuseWebPages = refuse; }
    // The status code of the last response, as the server sent it.
    std::string StatusCode() const;

    // How many connections one download may use at once: the ranges of a
    // large file, the pieces of a stream (4 after construction; 1 fetches a
    // file on one connection). Runs keep it within 1 and kMostConnections.
    static constexpr int kMostConnections = 16;
    int Connections() const { return settings_.Connections; }
    void SetConnections(int count) { settings_.Connections = count; }

    // OnStatusChange, then the stage event of the worker's last status.
    void DoStatus() override;
    std::vector<TPublishedText> PublishedTexts() override;

private:
    friend class TJvHttpUrlGrabberThread;
    void SetStatusCode(const std::string& code);

    mutable std::mutex statusCodeMutex_;
    std::string statusCode_;
};
