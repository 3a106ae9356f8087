#include "GrabberRecorder.h"
#include "TestBytes.h"

#include "grabber/TJvFtpUrlGrabber.h"
#include "grabber/TJvLocalFileUrlGrabber.h"
#include "grabber/TJvLocalFileUrlGrabberThread.h"

#include "support/FtpServer.h"
#include "support/NginxServer.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

class LocalFileGrabberTest : public testing::Test {
protected:
    void SetUp() override
    {
        WriteFile(source, std::string(5000, 's'));
        ::chmod(source.c_str(), 0640);
        grabber.SetFileName(target);
    }

    ScratchFolder folder;
    std::string source = folder.File("source.bin");
    std::string target = folder.File("copy.bin");
    TJvLocalFileUrlGrabber grabber;
    GrabberRecorder recorder{grabber};
};

} // namespace

TEST_F(LocalFileGrabberTest, CopiesTheFileWithItsPermissions)
{
    grabber.SetUrl("file://" + source);
    recorder.Run();
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"done 5000", "closed"}));
    EXPECT_EQ(std::filesystem::file_size(target), 5000u);
    struct stat copied {};
    ::stat(target.c_str(), &copied);
    EXPECT_EQ(copied.st_mode & 07777, 0640u);
    EXPECT_EQ(recorder.totals.front(), 5000); // the first hand-over announces the size
    EXPECT_EQ(recorder.positions.front(), 0);
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"copy.bin", "source.bin"}));
}

TEST_F(LocalFileGrabberTest, AMissingFileIsReportedByName)
{
    std::string missing = folder.File("none.bin");
    grabber.SetUrl(missing);
    recorder.Run();
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"error File \"" + missing + "\" not found", "closed"}));
}

TEST_F(LocalFileGrabberTest, PathsAreResolvedFromTheAddress)
{
    grabber.SetUrl("/abs/path");
    EXPECT_EQ(grabber.Url(), "file:///abs/path");
    grabber.SetUrl("FILE:///abs/path");
    EXPECT_EQ(grabber.Url(), "file:///abs/path");
    EXPECT_EQ(TJvLocalFileUrlGrabberThread::LocalPath("file:///tmp/a/../b"), "/tmp/b");
    EXPECT_EQ(TJvLocalFileUrlGrabberThread::LocalPath("FILE:///x"), "/x");
    EXPECT_EQ(TJvLocalFileUrlGrabberThread::LocalPath("rel"), (std::filesystem::current_path() / "rel").string());
}

TEST(FtpGrabber, ARefusedConnectionIsReportedThroughTheSameLayer)
{
    TJvFtpUrlGrabber grabber;
    GrabberRecorder recorder(grabber);
    grabber.SetProxyMode(pmNoProxy);
    grabber.SetUrl("ftp://127.0.0.1:" + std::to_string(FreeLoopbackPort()) + "/file.bin");
    recorder.Run();
    ASSERT_EQ(recorder.events.size(), 2u);
    EXPECT_NE(recorder.events[0].find("onnect"), std::string::npos) << recorder.events[0];
    EXPECT_EQ(recorder.events[1], "closed");
}

// A real FTP server: passive and active, binary and text, size and progress,
// a missing file, a transfer cut short.
class FtpGrabberTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        root = new ScratchFolder("ftp-root");
        WriteFile(root->File("every-byte.bin"), EveryByte());
        WriteFile(root->File("cut-file.bin"), EveryByte());
        server = new FtpServer(root->path.string());
    }
    static void TearDownTestSuite()
    {
        delete server;
        delete root;
    }

    static std::string EveryByte()
    {
        std::string bytes(300000, '\0');
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<char>(i % 256);
        return bytes;
    }

    void SetUp() override
    {
        grabber.SetProxyMode(pmNoProxy);
        grabber.SetFileName(target);
    }

    static ScratchFolder* root;
    static FtpServer* server;
    ScratchFolder folder;
    std::string target = folder.File("copy.bin");
    TJvFtpUrlGrabber grabber;
    GrabberRecorder recorder{grabber};
};
ScratchFolder* FtpGrabberTest::root = nullptr;
FtpServer* FtpGrabberTest::server = nullptr;

TEST_F(FtpGrabberTest, PassiveAndActiveFetchEveryByteWithTheSizeAndProgress)
{
    for (bool passive : {true, false}) {
        recorder.events.clear();
        recorder.positions.clear();
        grabber.SetPassive(passive);
        grabber.SetUrl(server->BaseUrl() + "/every-byte.bin");
        recorder.Run();
        EXPECT_EQ(recorder.events, (std::vector<std::string>{"done 300000", "closed"})) << passive;
        EXPECT_EQ(FileBytes(target), EveryByte()) << passive;
        EXPECT_EQ(recorder.totals.back(), 300000);
        EXPECT_GT(recorder.positions.size(), 1u);
        EXPECT_TRUE(std::is_sorted(recorder.positions.begin(), recorder.positions.end()));
    }
    std::string commands = server->Commands();
    EXPECT_NE(commands.find("TYPE I"), std::string::npos) << commands;
    EXPECT_NE(commands.find("SIZE every-byte.bin"), std::string::npos) << commands;
    EXPECT_NE(commands.find("EPSV"), std::string::npos) << "passive" << commands;
    EXPECT_NE(commands.find("EPRT"), std::string::npos) << "active" << commands;

    grabber.SetMode(hmAscii);
    recorder.Run();
    EXPECT_NE(server->Commands().find("TYPE A"), std::string::npos);
}

TEST_F(FtpGrabberTest, AMissingFileOrACutTransferIsAnErrorAndLeavesNoFile)
{
    grabber.SetUrl(server->BaseUrl() + "/none.bin");
    recorder.Run();
    ASSERT_EQ(recorder.events.size(), 2u);
    EXPECT_EQ(recorder.events[0].rfind("error ", 0), 0u) << recorder.events[0];
    EXPECT_TRUE(folder.Names().empty());

    recorder.events.clear();
    grabber.SetUrl(server->BaseUrl() + "/cut-file.bin");
    recorder.Run();
    EXPECT_EQ(recorder.events,
              (std::vector<std::string>{"error Connection closed after 150000 of 300000 bytes", "closed"}));
    EXPECT_TRUE(folder.Names().empty());
}
