#include "support/DemoSite.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace {

std::string RunPython(const std::string& code)
{
    std::string command = "/usr/bin/python3 -c '" + code + "'";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        throw std::runtime_error("python3 did not start");
    std::string out;
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    ::pclose(pipe);
    return out;
}

} // namespace

DemoSite::DemoSite() : peer_("tools/demo-site/demo_site.py", {"--ca-file", folder_.File("ca.pem")}, folder_.path)
{
    ::setenv("SSL_CERT_FILE", folder_.File("ca.pem").c_str(), 1);
}

std::string DemoSite::StreamBytes(const std::string& id, const std::string& format, std::size_t size)
{
    std::string code = "import sys; sys.path.insert(0, \"" + SourceDir() +
        "/tools/demo-site\"); import demo_site as d; "
        "sys.stdout.buffer.write(d.stream_bytes(d.VIDEOS[\"" +
        id + "\"], \"" + format + "\", 0, " + std::to_string(size) + "))";
    return RunPython(code);
}
