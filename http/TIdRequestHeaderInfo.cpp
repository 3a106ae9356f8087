#include "http/TIdRequestHeaderInfo.h"

#include "http/HttpDate.h"

namespace {

std::string Base64(const std::string& bytes)
{
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        std::uint32_t group = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size())
            group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size())
            group |= static_cast<unsigned char>(bytes[i + 2]);
        text += kAlphabet[(group >> 18) & 63];
        text += kAlphabet[(group >> 12) & 63];
        text += i + 1 < bytes.size() ? kAlphabet[(group >> 6) & 63] : '=';
        text += i + 2 < bytes.size() ? kAlphabet[group & 63] : '=';
    }
    return text;
}

} // namespace

void TIdRequestHeaderInfo::Clear()
{
    TIdEntityHeaderInfo::Clear();
    accept_ = kDefaultAccept;
    acceptCharSet_.clear();
    acceptEncoding_.clear();
    acceptLanguage_.clear();
    host_.clear();
    from_.clear();
    referer_.clear();
    userAgent_ = kDefaultUserAgent;
    username_.clear();
    password_.clear();
    basicAuthentication_ = false;
    proxyConnection_.clear();
    range_.clear();
}

void TIdRequestHeaderInfo::ProcessHeaders()
{
    TIdEntityHeaderInfo::ProcessHeaders();
    const TIdHeaderList& lines = HeaderLines();
    accept_ = lines.ValueOf("Accept");
    acceptCharSet_ = lines.ValueOf("Accept-Charset");
    acceptEncoding_ = lines.ValueOf("Accept-Encoding");
    acceptLanguage_ = lines.ValueOf("Accept-Language");
    host_ = lines.ValueOf("Host");
    from_ = lines.ValueOf("From");
    referer_ = lines.ValueOf("Referer");
    userAgent_ = lines.ValueOf("User-Agent");
    proxyConnection_ = lines.ValueOf("Proxy-Connection");
}

void TIdRequestHeaderInfo::SetHeaders()
{
    TIdEntityHeaderInfo::SetHeaders();
    SetHeader("Proxy-Connection", proxyConnection_);
    SetHeader("Host", host_);
    SetHeader("Accept", accept_);
    SetHeader("Accept-Charset", acceptCharSet_);
    SetHeader("Accept-Encoding", acceptEncoding_);
    SetHeader("Accept-Language", acceptLanguage_);
    SetHeader("From", from_);
    SetHeader("Referer", referer_);
    SetHeader("User-Agent", userAgent_);
    if (!range_.empty())
        SetHeader("Range", "bytes=" + range_);
    if (LastModified())
        SetHeader("If-Modified-Since", FormatHttpDate(*LastModified()));
    if (basicAuthentication_)
        SetHeader("Authorization", "Basic " + Base64(username_ + ":" + password_));
}
