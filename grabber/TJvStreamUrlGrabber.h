#pragma once

#include "grabber/TJvHttpUrlGrabber.h"

#include <memory>

// A video streamed in pieces (HLS, DASH) saved as one file: an HTTP grabber
// that fetches the pieces a stream plan lists, several at once on kept
// connections, and joins them into one playable file (MP4, Matroska or
// WebM, by the codecs). Its part holds the pieces fetched so far, so a later
// run goes on from the first missing one. Url is the playlist's or
// manifest's address; the events are those of every grabber, the size
// estimated from the stream's bandwidth and duration until the pieces tell.
class TJvStreamUrlGrabber : public TJvHttpUrlGrabber {
public:
    explicit TJvStreamUrlGrabber(TComponent* owner = nullptr) : TJvHttpUrlGrabber(owner) {}
    ~TJvStreamUrlGrabber() override { Stop(); }

    static const TJvUrlGrabberClass& ClassType();
    const TJvUrlGrabberClass& GrabberClass() const override { return ClassType(); }

    // What to fetch and join; Connections says how many pieces at once.
    void SetStream(std::shared_ptr<const TStreamPlan> plan) { settings_.Stream = std::move(plan); }

protected:
    std::int64_t CommitContent(TGrabberPartFile& part) override;
};
