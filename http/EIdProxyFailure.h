#pragma once

#include "http/EIdException.h"
#include "runtime/AsciiText.h"
#include "runtime/ResourceString.h"

#include <string>

// A proxy address the client cannot go through: not an http proxy, or no
// address at all. The address is shown without its password.
class EIdProxyAddressInvalid : public EIdException {
public:
    explicit EIdProxyAddressInvalid(std::string address) : EIdException(""), address_(std::move(address)) { Reword(); }

    void Reword() override
    {
        SetMessage(AsciiText::FillPlaceholders(LoadResString("The proxy %s cannot be used: only http:// proxies can"),
                                               {address_}));
    }

private:
    std::string address_;
};

// The proxy answered the request for a tunnel to an https server (CONNECT)
// with something other than success: its status says why ("407 Proxy
// Authentication Required").
class EIdProxyTunnelRefused : public EIdException {
public:
    EIdProxyTunnelRefused(std::string proxy, std::string server, std::string status)
        : EIdException(""), proxy_(std::move(proxy)), server_(std::move(server)), status_(std::move(status))
    {
        Reword();
    }

    void Reword() override
    {
        SetMessage(AsciiText::FillPlaceholders(LoadResString("The proxy %s refused the connection to %s (%s)"),
                                               {proxy_, server_, status_}));
    }

private:
    std::string proxy_;
    std::string server_;
    std::string status_;
};
