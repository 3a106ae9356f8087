#pragma once

#include "support/AnnouncingServer.h"
#include "support/ScratchFolder.h"

#include <fstream>
#include <string>

// A session bus of the test's own, stopped by the destructor. Its
// configuration names no service folders, so the bus never starts a service
// of the desktop (a notification daemon, say) when a test calls a name that
// nobody holds: a call reaches only what the test itself put on the bus.
class PrivateSessionBus {
public:
    PrivateSessionBus()
    {
        const std::string config = folder_.File("session.conf");
        std::ofstream(config) << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                                 " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                                 "<busconfig>\n"
                                 "  <type>session</type>\n"
                                 "  <listen>unix:tmpdir="
                              << folder_.path.string()
                              << "</listen>\n"
                                 "  <auth>EXTERNAL</auth>\n"
                                 "  <policy context=\"default\">\n"
                                 "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                                 "    <allow eavesdrop=\"true\"/>\n"
                                 "    <allow own=\"*\"/>\n"
                                 "  </policy>\n"
                                 "</busconfig>\n";
        pid_ = StartAnnouncingServer({"dbus-daemon", "--config-file=" + config, "--nofork", "--print-address={fd}"},
                                     address_);
    }
    ~PrivateSessionBus() { StopChild(pid_); }
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    // Empty when dbus-daemon did not start.
    const std::string& Address() const { return address_; }

private:
    ScratchFolder folder_{"bus"};
    std::string address_;
    pid_t pid_ = -1;
};
