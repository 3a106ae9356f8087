#pragma once

#include "http/TIdResponseHeaderInfo.h"

class TIdCustomHTTP;
class TStream;

enum TIdHTTPProtocolVersion { pv1_0, pv1_1 };

// The response last read: status line, head fields and the stream its body
// goes to. Whether the connection is kept is decided on demand, from the
// client's protocol version, the head and the state of the connection.
class TIdHTTPResponse : public TIdResponseHeaderInfo {
public:
    explicit TIdHTTPResponse(TIdCustomHTTP& owner) : owner_(owner) {}
    std::string ClassName() const override { return "TIdHTTPResponse"; }

    void Clear() override;

    const std::string& StatusLine() const { return statusLine_; }
    void SetStatusLine(std::string line);
    // The code of the status line; -1 when it has none.
    int StatusNumber() const { return statusNumber_; }
    TIdHTTPProtocolVersion ResponseProtocol() const { return responseProtocol_; }

    bool KeepConnection();
    // Clearing it closes the connection after this response whatever the head says.
    void SetKeepConnection(bool keep) { connectionDropped_ = !keep; }

    TStream* BodyTarget() const { return bodyTarget_; }
    void SetBodyTarget(TStream* stream) { bodyTarget_ = stream; }

private:
    TIdCustomHTTP& owner_;
    std::string statusLine_;
    int statusNumber_ = -1;
    TIdHTTPProtocolVersion responseProtocol_ = pv1_1;
    bool connectionDropped_ = false;
    TStream* bodyTarget_ = nullptr;
};
