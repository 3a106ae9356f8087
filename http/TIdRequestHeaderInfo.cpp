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

std::string BasicCredentials(const std::string& username, const std::string& password)
{
    return "Basic " + Base64(username + ":" + password);
}

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

std::span<const TIdRequestHeaderInfo::TTextField> TIdRequestHeaderInfo::TextFields()
{
    static constexpr TTextField kFields[] = {
        {"Proxy-Connection", &TIdRequestHeaderInfo::proxyConnection_},
        {"Host", &TIdRequestHeaderInfo::host_},
        {"Accept", &TIdRequestHeaderInfo::accept_},
        {"Accept-Charset", &TIdRequestHeaderInfo::acceptCharSet_},
        {"Accept-Encoding", &TIdRequestHeaderInfo::acceptEncoding_},
        {"Accept-Language", &TIdRequestHeaderInfo::acceptLanguage_},
        {"From", &TIdRequestHeaderInfo::from_},
        {"Referer", &TIdRequestHeaderInfo::referer_},
        {"User-Agent", &TIdRequestHeaderInfo::userAgent_},
    };
    return kFields;
}

void TIdRequestHeaderInfo::ProcessHeaders()
{
    TIdEntityHeaderInfo::ProcessHeaders();
    for (const auto& [name, field] : TextFields())
        this->*field = HeaderLines().ValueOf(name);
}

void TIdRequestHeaderInfo::SetHeaders()
{
    TIdEntityHeaderInfo::SetHeaders();
    for (const auto& [name, field] : TextFields())
        SetHeader(name, this->*field);
    if (!range_.empty())
        SetHeader("Range", "bytes=" + range_);
    if (LastModified())
        SetHeader("If-Modified-Since", FormatHttpDate(*LastModified()));
    if (basicAuthentication_)
        SetHeader("Authorization", BasicCredentials(username_, password_));
}
