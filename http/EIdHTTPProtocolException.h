#pragma once

#include "http/EIdException.h"
#include "runtime/AsciiText.h"
#include "runtime/ResourceString.h"

#include <string>

// A reply whose code the client does not accept.
class EIdReplyRFCError : public EIdException {
public:
    EIdReplyRFCError(std::string message, int errorCode) : EIdException(std::move(message)), errorCode_(errorCode) {}
    int ErrorCode() const { return errorCode_; }

private:
    int errorCode_;
};

// An HTTP status the request did not accept: the message is the status line,
// the body of the response is kept as text.
class EIdHTTPProtocolException : public EIdReplyRFCError {
public:
    EIdHTTPProtocolException(int statusNumber, std::string statusLine, std::string bodyText)
        : EIdReplyRFCError(std::move(statusLine), statusNumber), bodyText_(std::move(bodyText))
    {}

    int StatusNumber() const { return ErrorCode(); }
    const std::string& BodyText() const { return bodyText_; }

private:
    std::string bodyText_;
};

// Redirects were being followed, and the last one the limit allows
// (RedirectMaximum) was answered with yet another redirect.
class EIdTooManyRedirects : public EIdException {
public:
    EIdTooManyRedirects() : EIdException(LoadResString("The page redirects too often")) {}
};

// A redirect to an address of a scheme other than http and https ("ftp",
// "file"), which the client does not follow: it speaks HTTP only.
class EIdRedirectSchemeRefused : public EIdException {
public:
    explicit EIdRedirectSchemeRefused(std::string scheme) : EIdException(""), scheme_(std::move(scheme)) { Reword(); }

    const std::string& Scheme() const { return scheme_; }
    void Reword() override
    {
        SetMessage(AsciiText::FillPlaceholders(
            LoadResString("The page redirects to an address that is neither http nor https (%s)"), {scheme_ + ":"}));
    }

private:
    std::string scheme_;
};

// An address whose scheme the client cannot serve or whose port it cannot tell.
class EIdUnknownProtocol : public EIdException {
public:
    EIdUnknownProtocol() : EIdException("Unknown Protocol") {}
};

// An https address without a secure-socket handler.
class EIdIOHandlerPropInvalid : public EIdException {
public:
    EIdIOHandlerPropInvalid() : EIdException(LoadResString("IOHandler value is not valid")) {}
};

// A request header value (or request target) with a CR or LF in it: sent as
// it is, it would end the line and start a header of the value's choosing.
class EIdHTTPHeaderValueInvalid : public EIdException {
public:
    explicit EIdHTTPHeaderValueInvalid(const std::string& name) : EIdException("Line break in the value of " + name) {}
};
