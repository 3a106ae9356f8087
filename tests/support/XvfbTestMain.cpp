#include "framework/Fonts.h"
#include "framework/MessageBox.h"
#include "i18n/GnuGettext.h"
#include "support/AnnouncingServer.h"
#include "support/PrivateSettings.h"
#include "support/TestEnvironment.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

// Desktop tests run against a real X server: a private Xvfb started here,
// which tells its display number through a pipe once it accepts clients.
namespace {

pid_t StartXvfb(std::string& display)
{
    std::string number;
    pid_t pid = StartAnnouncingServer({"Xvfb", "-displayfd", "{fd}", "-screen", "0", "1024x768x24", "-nolisten", "tcp"},
                                      number);
    display = ":" + number;
    return pid;
}

} // namespace

int main(int argc, char** argv)
{
    StartTranslationEngine();
    std::string display;
    pid_t xvfb = StartXvfb(display);
    if (xvfb <= 0) {
        std::fprintf(stderr, "Xvfb did not start (scripts/install-deps installs it)\n");
        return 1;
    }
    ::setenv("DISPLAY", display.c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    int status;
    {
        ProvideRuntimeFolder();
        auto* settings = new TPrivateSettings;
        QApplication application(argc, argv);
        ShowEngineMessagesInMessageBoxes();
        RegisterTahoma();
        ::testing::InitGoogleTest(&argc, argv);
        ::testing::UnitTest::GetInstance()->listeners().Append(settings);
        status = RUN_ALL_TESTS();
    }
    StopChild(xvfb);
    return status;
}
