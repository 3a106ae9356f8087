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

void TIdResponseHeaderInfo::ProcessHeaders()
{
    TIdEntityHeaderInfo::ProcessHeaders();
    const TIdHeaderList& lines = HeaderLines();
    location_ = lines.ValueOf("Location");
    server_ = lines.ValueOf("Server");
    proxyConnection_ = lines.ValueOf("Proxy-Connection");
    acceptRanges_ = lines.ValueOf("Accept-Ranges");
    wwwAuthenticate_ = lines.CollectValues("WWW-Authenticate");
    proxyAuthenticate_ = lines.CollectValues("Proxy-Authenticate");
}

void TIdResponseHeaderInfo::SetHeaders()
{
    TIdEntityHeaderInfo::SetHeaders();
    SetHeader("Location", location_);
    SetHeader("Server", server_);
    SetHeader("Proxy-Connection", proxyConnection_);
    SetHeader("Accept-Ranges", acceptRanges_);
}
