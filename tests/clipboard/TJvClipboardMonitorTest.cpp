#include "clipboard/TJvClipboardMonitor.h"
#include "framework/MessageBox.h"
#include "runtime/Exception.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <memory>

namespace {

void Copy(const QString& text)
{
    QGuiApplication::clipboard()->setText(text);
    QCoreApplication::processEvents();
}

struct Monitor : ::testing::Test {
    QObject owner;
    int changes = 0;
    TJvClipboardMonitor* monitor = nullptr;

    void SetUp() override
    {
        Copy("held before the monitor existed");
        monitor = new TJvClipboardMonitor(&owner, "JvClipboardMonitor1");
        monitor->OnChange = [this](QObject* sender) {
            EXPECT_EQ(sender, monitor);
            ++changes;
        };
    }
};

} // namespace

TEST_F(Monitor, ReportsEachChangeOnceWhileEnabledAndNothingBefore)
{
    EXPECT_TRUE(monitor->Enabled());
    QCoreApplication::processEvents();
    EXPECT_EQ(changes, 0) << "what the clipboard held before is not a change";

    Copy("first");
    Copy("second");
    EXPECT_EQ(changes, 2);
}

TEST_F(Monitor, DisabledMonitorReportsNothingAndRejoins)
{
    monitor->SetEnabled(false);
    Copy("unseen");
    EXPECT_EQ(changes, 0);

    monitor->SetEnabled(true);
    monitor->SetEnabled(true); // writing the current value does nothing
    Copy("seen");
    EXPECT_EQ(changes, 1);
}

TEST_F(Monitor, FailingHandlerIsShownAndTheMonitorKeepsWorking)
{
    std::vector<std::string> shown;
    TMessageBoxSeam previous = SetMessageBoxSeam([&](const TMessageBoxRequest& box) { shown.push_back(box.Text); });
    monitor->OnChange = [&](QObject*) {
        ++changes;
        throw Exception("Handler broke");
    };
    Copy("one");
    Copy("two");
    SetMessageBoxSeam(previous);

    EXPECT_EQ(changes, 2);
    EXPECT_EQ(shown, (std::vector<std::string>{"Handler broke.", "Handler broke."}));
}

TEST_F(Monitor, NoEventDuringOrAfterTeardown)
{
    delete monitor;
    Copy("after the monitor is gone");
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(owner.findChild<TJvClipboardMonitor*>(), nullptr);
}
