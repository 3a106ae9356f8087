#pragma once

#include "http/TIdIOHandler.h"
#include "http/TIdIPVersion.h"
#include "http/TIdSocketHandle.h"

#include <memory>

// An I/O handler over one socket binding, with the local end to bind to.
class TIdIOHandlerSocket : public TIdIOHandler {
public:
    explicit TIdIOHandlerSocket(TComponent* owner = nullptr);
    ~TIdIOHandlerSocket() override;

    std::string ClassName() const override { return "TIdIOHandlerSocket"; }

    // The binding is reset (or made) for every opening.
    void Open() override;
    void Close() override;

    TIdSocketHandle* Binding() const { return binding_.get(); }
    bool BindingAllocated() const { return binding_ && binding_->HandleAllocated(); }

    bool UseNagle() const { return useNagle_; }
    void SetUseNagle(bool useNagle) { useNagle_ = useNagle; }
    TIdIPVersion IPVersion() const { return ipVersion_; }
    void SetIPVersion(TIdIPVersion ipVersion) { ipVersion_ = ipVersion; }
    const std::string& BoundIP() const { return boundIP_; }
    void SetBoundIP(std::string ip) { boundIP_ = std::move(ip); }
    int BoundPort() const { return boundPort_; }
    void SetBoundPort(int port) { boundPort_ = port; }
    int BoundPortMin() const { return boundPortMin_; }
    int BoundPortMax() const { return boundPortMax_; }
    void SetBoundPortRange(int low, int high);

protected:
    // Waits up to timeoutMs (-1: no limit) until the socket is readable, as
    // every wait does: ending at the deadline and when the thread is asked
    // to stop (Await).
    bool WaitReadable(int timeoutMs);

private:
    std::unique_ptr<TIdSocketHandle> binding_;
    bool useNagle_ = true;
    TIdIPVersion ipVersion_ = Id_IPv4;
    std::string boundIP_;
    int boundPort_ = 0;
    int boundPortMin_ = 0;
    int boundPortMax_ = 0;
};
