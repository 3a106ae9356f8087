#pragma once

#include "http/TIdIPVersion.h"
#include "http/TIdTCPConnection.h"

#include <string>

// A client connection: where to connect, how long to wait, which local end
// to bind. The parameters are handed to the I/O handler at every connect and
// whenever they change.
class TIdTCPClientCustom : public TIdTCPConnection {
public:
    explicit TIdTCPClientCustom(TComponent* owner = nullptr);

    std::string ClassName() const override { return "TIdTCPClientCustom"; }

    // Connects to Host and Port. Without an I/O handler, makes a managed
    // TIdIOHandlerStack first.
    void ConnectToPeer();

    const std::string& Host() const { return host_; }
    void SetHost(std::string host);
    int Port() const { return port_; }
    void SetPort(int port);
    // 0 connects without limit; any other value runs the connect on its
    // own thread for at most that many milliseconds (-1: no limit).
    int ConnectTimeout() const { return connectTimeout_; }
    void SetConnectTimeout(int milliseconds);
    // -1 and 0 wait without limit.
    int ReadTimeout() const { return readTimeout_; }
    void SetReadTimeout(int milliseconds);
    const std::string& BoundIP() const { return boundIP_; }
    void SetBoundIP(std::string ip);
    int BoundPort() const { return boundPort_; }
    void SetBoundPort(int port);
    int BoundPortMin() const { return boundPortMin_; }
    int BoundPortMax() const { return boundPortMax_; }
    // Local ports to try, lowest first, when BoundPort is 0.
    void SetBoundPortRange(int low, int high);
    TIdIPVersion IPVersion() const { return ipVersion_; }
    void SetIPVersion(TIdIPVersion ipVersion);
    // The moment by which the current request must be done, for every wait
    // of the I/O handler (connecting included); none by default.
    const TIdIOHandler::TDeadline& Deadline() const { return deadline_; }
    void SetDeadline(TIdIOHandler::TDeadline deadline);

    TNotifyEvent OnConnected;

private:
    void CopyParameters();
    void OpenHandler();

    std::string host_;
    int port_ = 0;
    int connectTimeout_ = 0;
    int readTimeout_ = -1;
    std::string boundIP_;
    int boundPort_ = 0;
    int boundPortMin_ = 0;
    int boundPortMax_ = 0;
    TIdIPVersion ipVersion_ = Id_IPv4;
    TIdIOHandler::TDeadline deadline_;
};
