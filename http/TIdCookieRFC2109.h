#pragma once

#include "http/TIdNetscapeCookie.h"

// The cookie of a Set-Cookie header: adds max-age, version and comment. A
// max-age given without an expires date becomes an absolute expiry when the
// text is read.
class TIdCookieRFC2109 : public TIdNetscapeCookie {
public:
    TIdCookieRFC2109() { cookieKind_ = ckRFC2109; }
    std::string ClassName() const override { return "TIdCookieRFC2109"; }

    std::int64_t MaxAgeSeconds() const { return maxAgeSeconds_; }
    void SetMaxAgeSeconds(std::int64_t seconds) { maxAgeSeconds_ = seconds; }
    const std::string& VersionText() const { return versionText_; }
    void SetVersionText(std::string text) { versionText_ = std::move(text); }
    const std::string& CommentText() const { return commentText_; }
    void SetCommentText(std::string text) { commentText_ = std::move(text); }

    std::string ServerForm() const override;

protected:
    void LoadAttributes(const TAttributeItems& items) override;

private:
    std::int64_t maxAgeSeconds_ = -1;
    std::string versionText_;
    std::string commentText_;
};
