#include "http/TIdResponseHeaderInfo.h"

void TIdResponseHeaderInfo::Clear()
{
    TIdEntityHeaderInfo::Clear();
    location_.clear();
    server_.clear();
    proxyConnection_.clear();
    acceptRanges_.clear();
    wwwAuthenticate_.clear();
    proxyAuthenticate_.clear();
}

std::span<const TIdResponseHeaderInfo::TTextField> TIdResponseHeaderInfo::TextFields()
{
    static constexpr TTextField kFields[] = {
        {"Location", &TIdResponseHeaderInfo::location_},
        {"Server", &TIdResponseHeaderInfo::server_},
        {"Proxy-Connection", &TIdResponseHeaderInfo::proxyConnection_},
        {"Accept-Ranges", &TIdResponseHeaderInfo::acceptRanges_},
    };
    return kFields;
}

void TIdResponseHeaderInfo::ProcessHeaders()
{
    TIdEntityHeaderInfo::ProcessHeaders();
    for (const auto& [name, field] : TextFields())
        this->*field = HeaderLines().ValueOf(name);
    wwwAuthenticate_ = HeaderLines().CollectValues("WWW-Authenticate");
    proxyAuthenticate_ = HeaderLines().CollectValues("Proxy-Authenticate");
}

void TIdResponseHeaderInfo::SetHeaders()
{
    TIdEntityHeaderInfo::SetHeaders();
    for (const auto& [name, field] : TextFields())
        SetHeader(name, this->*field);
}
