#include "support/FtpServer.h"

#include "support/AnnouncingServer.h"
#include "support/PythonPeer.h"
#include "support/ScratchFolder.h"

#include <cstdlib>
#include <stdexcept>
#include <unistd.h>

FtpServer::FtpServer(std::string root)
{
    std::string script = SourceDir() + "/tests/support/ftp_server.py";
    char pattern[] = "/tmp/skerrow-ftp-XXXXXX";
    if (int fd = ::mkstemp(pattern); fd >= 0)
        ::close(fd);
    log_ = pattern;
    std::string announcement;
    // Debian's interpreter, where python3-pyftpdlib installs the library.
    pid_ = StartAnnouncingServer({"/usr/bin/python3", script, root, "{fd}", log_}, announcement);
    if (pid_ < 0)
        throw std::runtime_error("the FTP server did not start (scripts/install-deps installs python3-pyftpdlib)");
    port_ = static_cast<std::uint16_t>(std::atoi(announcement.c_str()));
}

FtpServer::~FtpServer()
{
    StopChild(pid_);
    ::unlink(log_.c_str());
}

std::string FtpServer::Commands() const
{
    return FileBytes(log_);
}
