#pragma once

#include <cstdint>
#include <string>
#include <sys/types.h>

// The bundled demo of the video site (tools/demo-site), started on a free
// loopback port for one fixture and stopped by the destructor.
class DemoSite {
public:
    DemoSite();
    ~DemoSite();
    DemoSite(const DemoSite&) = delete;
    DemoSite& operator=(const DemoSite&) = delete;

    std::uint16_t Port() const { return port_; }
    // "127.0.0.1:PORT", what --site-host takes.
    std::string Host() const { return "127.0.0.1:" + std::to_string(port_); }
    std::string WatchAddress(const std::string& id) const { return "http://" + Host() + "/watch?v=" + id; }

    // The bytes the site serves for a video in a format ("normal", "17",
    // "18", "22"), computed as the site computes them.
    static std::string StreamBytes(const std::string& id, const std::string& format, std::size_t size);

private:
    std::string folder_;
    std::uint16_t port_ = 0;
    pid_t pid_ = -1;
};
