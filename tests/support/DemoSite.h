#pragma once

#include "support/PythonPeer.h"
#include "support/ScratchFolder.h"

#include <cstdint>
#include <string>

// The bundled demo of the video site (tools/demo-site), started on a free
// loopback port for one fixture and stopped by the destructor. The port
// speaks http and https; the site's certificate authority is made at start
// and is trusted by this process (and the programs it starts) from then on.
class DemoSite {
public:
    DemoSite();

    std::uint16_t Port() const { return peer_.Port(); }
    // "127.0.0.1:PORT", what --site-host takes.
    std::string Host() const { return "127.0.0.1:" + std::to_string(Port()); }
    std::string WatchAddress(const std::string& id) const { return "http://" + Host() + "/watch?v=" + id; }
    std::string SecureWatchAddress(const std::string& id) const { return "https://" + Host() + "/watch?v=" + id; }
    // A direct link to a video's file, as the site serves it at /files/.
    std::string FileAddress(const std::string& name) const { return "https://" + Host() + "/files/" + name; }
    // One of the site's ordinary pages (tools/demo-site/pages).
    std::string PageAddress(const std::string& name) const { return "https://" + Host() + "/pages/" + name; }

    // The bytes the site serves for a video in a format ("normal", "17",
    // "18", "22"), computed as the site computes them.
    static std::string StreamBytes(const std::string& id, const std::string& format, std::size_t size);

private:
    ScratchFolder folder_{"demo"};
    PythonPeer peer_;
};
