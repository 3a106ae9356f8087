#pragma once

#include "support/AnnouncingServer.h"
#include "support/ScratchFolder.h"

#include <fstream>
#include <string>

// A session bus of the test's own. Its configuration names no service
// folders, so a call to a service that is not there fails at once instead
// of starting the desktop's real one (a notification daemon, say).
struct TPrivateBus {
    TPrivateBus()
    {
        const std::string config = folder.File("session.conf");
        std::ofstream(config) << R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=)" << folder.path.string()
                              << R"(</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";
        pid = StartAnnouncingServer({"dbus-daemon", "--config-file=" + config, "--nofork", "--print-address={fd}"},
                                    address);
    }
    ~TPrivateBus() { StopChild(pid); }
    TPrivateBus(const TPrivateBus&) = delete;
    TPrivateBus& operator=(const TPrivateBus&) = delete;

    ScratchFolder folder{"bus"};
    std::string address;
    pid_t pid = -1;
};
