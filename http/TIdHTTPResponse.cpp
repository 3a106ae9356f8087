#include "http/TIdHTTPResponse.h"

#include "http/TIdHTTP.h"
#include "runtime/AsciiText.h"

void TIdHTTPResponse::Clear()
{
    TIdResponseHeaderInfo::Clear();
    connectionDropped_ = false;
}

// "HTTP/1.1 200 OK": the code is the second word, the version sits in the
// sixth to eighth characters.
void TIdHTTPResponse::SetStatusLine(std::string line)
{
    connectionDropped_ = false;
    statusLine_ = std::move(line);
    std::size_t blank = statusLine_.find(' ');
    std::string rest = blank == std::string::npos ? std::string() : AsciiText::Trim(statusLine_.substr(blank + 1));
    statusNumber_ = AsciiText::ToInt32(rest.substr(0, rest.find(' '))).value_or(-1);
    std::string version = statusLine_.size() >= 8 ? statusLine_.substr(5, 3) : std::string();
    if (version == "1.0")
        responseProtocol_ = pv1_0;
    else if (version == "1.1")
        responseProtocol_ = pv1_1;
}

bool TIdHTTPResponse::KeepConnection()
{
    if (!owner_.ConnectionAlive() || connectionDropped_)
        return false;
    auto says = [this](const char* word) {
        return AsciiText::SameText(AsciiText::Trim(Connection()), word) ||
            AsciiText::SameText(AsciiText::Trim(ProxyConnection()), word);
    };
    if (owner_.ProtocolVersion() == pv1_1)
        return !says("close");
    return says("keep-alive");
}
