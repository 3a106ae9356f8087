#include "support/DemoSite.h"
#include "support/NginxServer.h"
#include "support/ScriptedPeer.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

int ConnectLoopback(std::uint16_t port)
{
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    return fd;
}

std::string ReadAll(int fd)
{
    std::string all;
    char buffer[4096];
    ssize_t n;
    while ((n = ::recv(fd, buffer, sizeof buffer, 0)) > 0)
        all.append(buffer, static_cast<std::size_t>(n));
    return all;
}

} // namespace

TEST(ScriptedPeer, PlaysItsScriptAndRecordsWhatItReceived)
{
    ScriptedPeer peer;
    peer.ReadUntil("\n").Send("one").Pause(std::chrono::milliseconds(20)).Send("two").Close();
    peer.Start();

    int fd = ConnectLoopback(peer.Port());
    ::send(fd, "hello\n", 6, 0);
    EXPECT_EQ(ReadAll(fd), "onetwo");
    ::close(fd);
    peer.Wait();

    EXPECT_EQ(peer.Received(), "hello\n");
    EXPECT_EQ(peer.Failure(), "");
}

TEST(NginxServer, ServesItsRootAndLogsTheConnection)
{
    std::string root = std::filesystem::temp_directory_path() / ("skerrow-root-" + std::to_string(::getpid()));
    std::filesystem::create_directories(root);
    std::ofstream(root + "/page.txt") << "served";
    {
        NginxServer nginx(root);
        int fd = ConnectLoopback(nginx.Port());
        std::string request = "GET /page.txt HTTP/1.0\r\nHost: x\r\n\r\n";
        ::send(fd, request.data(), request.size(), 0);
        std::string answer = ReadAll(fd);
        ::close(fd);
        EXPECT_NE(answer.find("200 OK"), std::string::npos);
        EXPECT_NE(answer.find("\r\n\r\nserved"), std::string::npos);
    }
    std::filesystem::remove_all(root);
}

TEST(DemoSite, NamesTheFolderOfItsStreamsAndDecodesFilesAsTheirFactsSay)
{
    DemoSite site;
    const nlohmann::json facts = nlohmann::json::parse(FileBytes(site.StreamFactsFile()));
    // The single-file playlist's one file holds the whole clip.
    const nlohmann::json& single = facts["streams"]["hls-single/index.m3u8"];
    const std::string file = site.StreamsFolder() + "/hls-single/" + single["single_file"].get<std::string>();
    EXPECT_EQ(DemoSite::DecodedVideoMd5(file), single["video"]["md5"]);
    EXPECT_EQ(DemoSite::DecodedAudioMd5(file), single["audio"]["md5"]);
    EXPECT_EQ(DemoSite::DecodedVideoMd5(site.StreamsFolder() + "/no such file"), "");
}
