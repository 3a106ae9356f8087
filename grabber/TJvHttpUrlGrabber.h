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

    const std::string& Referer() const { return referer_; }
    void SetReferer(const std::string& value) { referer_ = value; }
    // Whether an answer that is a web page (text/html, XHTML) ends the run
    // with an error instead of being saved: for an address that should lead
    // to a file. Off after construction.
    bool RefuseWebPages() const { return refuseWebPages_; }
    void SetRefuseWebPages(bool refuse) { refuseWebPages_ = refuse; }
    // The status code of the last response, as the server sent it.
    std::string StatusCode() const;

    // OnStatusChange, then the stage event of the worker's last status.
    void DoStatus() override;
    std::vector<TPublishedText> PublishedTexts() override;

protected:
    void FillSettings(TJvGrabberSettings& settings) const override;

private:
    friend class TJvHttpUrlGrabberThread;
    void SetStatusCode(const std::string& code);

    std::string referer_;
    bool refuseWebPages_ = false;
    mutable std::mutex statusCodeMutex_;
    std::string statusCode_;
};
