#include "framework/Fonts.h"
#include "framework/MessageBox.h"
#include "i18n/GnuGettext.h"
#include "support/TestEnvironment.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

// Desktop tests run against a real X server: a private Xvfb started here,
// which tells its display number through a pipe once it accepts clients.
namespace {

pid_t StartXvfb(std::string& display)
{
    int ready[2];
    if (::pipe(ready) != 0)
        return -1;
    pid_t pid = ::fork();
    if (pid == 0) {
        ::close(ready[0]);
        std::string fd = std::to_string(ready[1]);
        ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                 static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(ready[1]);
    // Xvfb writes the number and the newline apart; the pipe stays open until
    // both arrived, or Xvfb dies of a write to a closed pipe.
    std::string number;
    char byte;
    while (::read(ready[0], &byte, 1) == 1 && byte != '\n')
        number += byte;
    ::close(ready[0]);
    if (number.empty())
        return -1;
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
        QApplication application(argc, argv);
        ShowEngineMessagesInMessageBoxes();
        RegisterTahoma();
        ::testing::InitGoogleTest(&argc, argv);
        status = RUN_ALL_TESTS();
    }
    ::kill(xvfb, SIGTERM);
    ::waitpid(xvfb, nullptr, 0);
    return status;
}
