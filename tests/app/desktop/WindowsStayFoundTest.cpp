#include "app/TForm1.h"
#include "app/TForm2.h"
#include "support/ChildProcess.h"
#include "support/RunEventsUntil.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QScreen>

#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

// Download windows under a real window manager (openbox on the tests' Xvfb):
// transient for the main window, so it keeps them above itself when it is
// clicked; beside it where the screen has room; never over the address
// field.
namespace {

std::string Shell(const std::string& command)
{
    std::string output;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t read; (read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            output.append(buffer, read);
        ::pclose(pipe);
    }
    return output;
}

// The numbers xprop writes after "=", in order ("window id # 0x2000005, ...").
std::vector<unsigned long> WindowIds(const std::string& property, const std::string& window = "-root")
{
    std::string text = Shell("xprop " + window + " " + property + " 2>/dev/null");
    std::vector<unsigned long> ids;
    for (std::size_t at = text.find("0x"); at != std::string::npos; at = text.find("0x", at + 2))
        ids.push_back(std::stoul(text.substr(at), nullptr, 16));
    return ids;
}

std::string Id(const QWidget& window)
{
    return std::to_string(window.winId());
}

class WindowManager : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        const pid_t test = ::getpid();
        openbox = ::fork();
        if (openbox == 0) {
            EndWithTest(test);
            std::vector<std::string> words{"openbox", "--sm-disable"};
            ExecCommand(words);
        }
        // The manager has taken the screen once it names itself on the root
        // and lists the clients it manages (none yet).
        for (int turn = 0; turn < 100 && WindowIds("_NET_SUPPORTING_WM_CHECK").empty(); ++turn)
            RunEventsUntil([] { return false; }, 50);
        RunEventsUntil([] { return Shell("xprop -root _NET_CLIENT_LIST").find("_NET_CLIENT_LIST") == 0; }, 5000);
    }
    static void TearDownTestSuite() { StopChild(openbox); }

    void SetUp() override
    {
        ASSERT_FALSE(WindowIds("_NET_SUPPORTING_WM_CHECK").empty())
            << "openbox did not start (scripts/install-deps installs it)";
        form = std::make_unique<TForm1>();
        form->move(0, 0);
        form->show();
        ASSERT_TRUE(Mapped(*form));
    }

    bool Mapped(const QWidget& window)
    {
        return RunEventsUntil(
            [&] {
                for (unsigned long id : WindowIds("_NET_CLIENT_LIST"))
                    if (id == window.winId())
                        return true;
                return false;
            },
            10000);
    }
    TForm2* OpenDownloadWindow()
    {
        auto* window = new TForm2(form.get());
        EXPECT_TRUE(Mapped(*window));
        return window;
    }
    // Client windows from the bottom of the stack to its top.
    static int StackPlace(const QWidget& window)
    {
        const std::vector<unsigned long> stack = WindowIds("_NET_CLIENT_LIST_STACKING");
        for (std::size_t place = 0; place < stack.size(); ++place)
            if (stack[place] == window.winId())
                return static_cast<int>(place);
        return -1;
    }

    static inline pid_t openbox = -1;
    std::unique_ptr<TForm1> form;
};

} // namespace

TEST_F(WindowManager, DownloadWindowsAreTransientForTheMainWindowAndStayAboveIt)
{
    TForm2* window = OpenDownloadWindow();
    EXPECT_EQ(WindowIds("WM_TRANSIENT_FOR", "-id " + Id(*window)), std::vector<unsigned long>{form->winId()});

    // The user clicks the main window to paste the next address.
    Shell("xdotool windowactivate --sync " + Id(*form) + " 2>/dev/null");
    RunEventsUntil([&] { return form->isActiveWindow(); }, 3000);
    EXPECT_TRUE(RunEventsUntil([&] { return StackPlace(*window) > StackPlace(*form); }, 3000))
        << "the download window stays above the main window";
    EXPECT_GE(StackPlace(*form), 0);
}

TEST_F(WindowManager, DownloadWindowsCascadeBesideTheMainWindowNeverOverTheAddressField)
{
    TForm2* first = OpenDownloadWindow();
    TForm2* second = OpenDownloadWindow();
    const QRect main = form->frameGeometry();
    const QRect field(form->Edit1->mapToGlobal(QPoint(0, 0)), form->Edit1->size());
    RunEventsUntil([&] { return first->frameGeometry().left() > main.right(); }, 2000);
    for (const TForm2* window : {first, second}) {
        EXPECT_GT(window->frameGeometry().left(), main.right()) << "to the right, where the screen has room";
        EXPECT_FALSE(window->frameGeometry().intersects(field));
        EXPECT_TRUE(form->screen()->availableGeometry().contains(window->frameGeometry()));
    }
    EXPECT_NE(second->pos(), first->pos()) << "cascaded, not one over the other";
}
