#include "support/DemoSite.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace {

// What a command run by the shell writes to its output.
std::string Output(const std::string& command)
{
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        throw std::runtime_error("the shell did not start");
    std::string out;
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    ::pclose(pipe);
    return out;
}

std::string RunPython(const std::string& code)
{
    return Output("/usr/bin/python3 -c '" + code + "'");
}

std::string ShellQuoted(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// The first line that tools/demo-site/streams.py writes for these arguments.
std::string StreamsScript(const std::string& arguments)
{
    std::string out =
        Output("/usr/bin/python3 " + ShellQuoted(SourceDir() + "/tools/demo-site/streams.py") + " " + arguments);
    return out.substr(0, out.find('\n'));
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

std::string DemoSite::StreamsFolder() const
{
    // The script finds the same folder as the site (both read the cache's
    // place from the environment) and waits while the site makes it.
    if (streamsFolder_.empty())
        streamsFolder_ = StreamsScript("");
    if (streamsFolder_.empty())
        throw std::runtime_error("the demo streams could not be made");
    return streamsFolder_;
}

std::string DemoSite::DecodedVideoMd5(const std::string& file)
{
    return StreamsScript("--video-md5 " + ShellQuoted(file) + " 2>/dev/null");
}

std::string DemoSite::DecodedAudioMd5(const std::string& file)
{
    return StreamsScript("--audio-md5 " + ShellQuoted(file) + " 2>/dev/null");
}
