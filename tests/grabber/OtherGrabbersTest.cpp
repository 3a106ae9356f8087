#include "GrabberRecorder.h"

#include "grabber/TJvFtpUrlGrabber.h"
#include "grabber/TJvLocalFileUrlGrabber.h"
#include "grabber/TJvLocalFileUrlGrabberThread.h"

#include "support/NginxServer.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>

namespace {

class LocalFileGrabberTest : public testing::Test {
protected:
    void SetUp() override
    {
        std::ofstream(source, std::ios::binary) << std::string(5000, 's');
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
