#pragma once

#include "http/TIdCookieRFC2109.h"

// The cookie of a Set-Cookie2 header: adds the comment address, the discard
// flag and the ports it applies to.
class TIdCookieRFC2965 : public TIdCookieRFC2109 {
public:
    TIdCookieRFC2965() { cookieKind_ = ckRFC2965; }
    std::string ClassName() const override { return "TIdCookieRFC2965"; }

    const std::string& CommentAddress() const { return commentAddress_; }
    bool DiscardFlag() const { return discardFlag_; }
    const std::vector<int>& PortNumbers() const { return portNumbers_; }

protected:
    void LoadAttributes(const TAttributeItems& items) override;

private:
    std::string commentAddress_;
    bool discardFlag_ = false;
    std::vector<int> portNumbers_{80};
};
