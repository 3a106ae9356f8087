#include "app/TForm1.h"
#include "clipboard/TJvClipboardMonitor.h"
#include "support/RunEventsUntil.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <cstdio>
#include <memory>

// Another process copies text on a real X display; the main window hears of
// it through the clipboard monitor.
namespace {

void CopyFromAnotherProcess(const std::string& text)
{
    FILE* xclip = ::popen("xclip -selection clipboard -i", "w");
    ASSERT_NE(xclip, nullptr);
    std::fwrite(text.data(), 1, text.size(), xclip);
    ASSERT_EQ(::pclose(xclip), 0);
}

struct Desktop : ::testing::Test {
    std::unique_ptr<TForm1> form = std::make_unique<TForm1>();
    int notices = 0;

    void SetUp() override
    {
        // Count the notices the window's own handler gets, so a test can wait
        // for one that should change nothing.
        auto handler = form->JvClipboardMonitor1->OnChange;
        form->JvClipboardMonitor1->OnChange = [this, handler](QObject* sender) {
            handler(sender);
            ++notices;
        };
        form->show();
    }

    bool WaitForNotice(int count)
    {
        return RunEventsUntil([&] { return notices >= count; }, 10000);
    }
};

} // namespace

TEST_F(Desktop, CopiedAddressFillsTheFieldAndEnablesStart)
{
    CopyFromAnotherProcess("http://www.youtube.com/watch?v=desktop1");
    ASSERT_TRUE(WaitForNotice(1));
    EXPECT_EQ(form->Edit1->text(), "http://www.youtube.com/watch?v=desktop1");
    EXPECT_TRUE(form->btnDownload->isEnabled());

    CopyFromAnotherProcess("https://cdn.example.org/clip.mp4");
    ASSERT_TRUE(WaitForNotice(2));
    EXPECT_EQ(form->Edit1->text(), "https://cdn.example.org/clip.mp4") << "a direct link fills the field too";
}

TEST_F(Desktop, OtherTextChangesNothingEvenWhenTheFieldIsEmpty)
{
    CopyFromAnotherProcess("just some words");
    ASSERT_TRUE(WaitForNotice(1));
    EXPECT_EQ(form->Edit1->text(), "");

    // Neither is the address of any other page taken.
    form->Edit1->setText("typed by hand");
    CopyFromAnotherProcess("http://example.org/watch?v=1");
    ASSERT_TRUE(WaitForNotice(2));
    CopyFromAnotherProcess("http://example.org/clip.mp4.html");
    ASSERT_TRUE(WaitForNotice(3));
    EXPECT_EQ(form->Edit1->text(), "typed by hand");
}

TEST_F(Desktop, AfterStartTheFieldStaysEmptyUntilTheAddressIsCopiedAgain)
{
    const std::string address = "http://www.youtube.com/watch?v=again";
    CopyFromAnotherProcess(address);
    ASSERT_TRUE(WaitForNotice(1));
    form->Edit1->clear(); // what START does first

    QCoreApplication::processEvents();
    EXPECT_EQ(form->Edit1->text(), "");

    CopyFromAnotherProcess(address);
    ASSERT_TRUE(WaitForNotice(2));
    EXPECT_EQ(form->Edit1->text(), QString::fromStdString(address));
}

TEST_F(Desktop, DisabledMonitorStopsTheFilling)
{
    // Nothing can be waited on when nothing is to come: a second, enabled
    // monitor witnesses that the X server delivered both copies.
    TJvClipboardMonitor witness(nullptr);
    int seen = 0;
    witness.OnChange = [&](QObject*) { ++seen; };
    form->JvClipboardMonitor1->SetEnabled(false);

    CopyFromAnotherProcess("http://www.youtube.com/watch?v=ignored");
    CopyFromAnotherProcess("http://www.youtube.com/watch?v=witness");
    RunEventsUntil([&] { return seen >= 2; }, 10000);

    ASSERT_EQ(seen, 2);
    EXPECT_EQ(form->Edit1->text(), "");
    EXPECT_EQ(notices, 0);
}
