#pragma once

#include <QtGlobal>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

// What the windows remember, and the history of downloads, go to a folder
// of the test process, emptied before each test and removed at the end:
// nothing reaches the developer's own settings, and no test sees what
// another chose. A test that runs the program a second time hands its
// folder on with kKeepSettingsVariable set, and that run keeps it as it is.
inline const char* const kKeepSettingsVariable = "SKERROW_TEST_KEEP_SETTINGS";

class TPrivateSettings : public ::testing::EmptyTestEventListener {
public:
    TPrivateSettings()
    {
        if (!qEnvironmentVariableIsEmpty(kKeepSettingsVariable))
            return;
        folder_ = std::filesystem::temp_directory_path() / ("skerrow-config-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
        ::setenv("XDG_CONFIG_HOME", folder_.c_str(), 1);
        // The history of downloads goes there too.
        ::setenv("XDG_DATA_HOME", (folder_ / "data").c_str(), 1);
        // Nor does a finished download reach the developer's notifications.
        ::setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/skerrow-test-bus", 1);
    }
    ~TPrivateSettings() override
    {
        if (!folder_.empty())
            std::filesystem::remove_all(folder_);
    }

    void OnTestStart(const ::testing::TestInfo&) override
    {
        if (folder_.empty())
            return;
        std::filesystem::remove_all(folder_ / "skerrow");
        std::filesystem::remove_all(folder_ / "data");
    }

private:
    std::filesystem::path folder_;
};
