#include "app/Language.h"
#include "app/TForm1.h"
#include "app/UserSettings.h"
#include "framework/QtCatalogue.h"
#include "framework/TImage.h"
#include "i18n/GnuGettext.h"
#include "support/PrivateSettings.h"
#include "widgets/TNxHeaderPanel.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QRadioButton>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

// What the windows remember, across two runs of the program: a first run
// (this test program started again) makes its choices and is killed; this
// process then starts as the program does and finds them.
namespace {

const char* const kFirstRunVariable = "SKERROW_TEST_FIRST_RUN";
const QPoint kMovedTo(40, 30);

std::filesystem::path SettingsFile()
{
    return std::filesystem::path(qgetenv("XDG_CONFIG_HOME").toStdString()) / "skerrow" / "skerrow.conf";
}

} // namespace

TEST(Settings, DISABLED_FirstRunChoosesAndIsKilled)
{
    if (qEnvironmentVariableIsEmpty(kFirstRunVariable))
        GTEST_SKIP() << "the first run of Settings.LastAcrossRunsEvenWhenKilled";
    TForm1 form;
    form.show();
    form.chkMobile->click();
    form.imgESClick(form.imgES);
    form.move(kMovedTo);
    QCoreApplication::processEvents();
    ::raise(SIGKILL);
}

TEST(Settings, LastAcrossRunsEvenWhenKilled)
{
    pid_t pid = ::fork();
    if (pid == 0) {
        ::setenv(kFirstRunVariable, "1", 1);
        ::setenv(kKeepSettingsVariable, "1", 1);
        ::execl("/proc/self/exe", "app_tests", "--gtest_also_run_disabled_tests",
                "--gtest_filter=Settings.DISABLED_FirstRunChoosesAndIsKilled", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "status " << status;

    StartInChosenLanguage();
    TForm1 form;
    const std::string language = CurrentLanguage();
    const QString step1 = form.NxHeaderPanel1->Caption();
    SelectLanguage("en");
    FollowLanguageInQt("en");
    EXPECT_EQ(language, "es") << "the flag wins over LANG";
    EXPECT_NE(step1, "Step 1: Enter Video URL") << "the window opens in Spanish";
    EXPECT_TRUE(form.chkMobile->isChecked());
    EXPECT_EQ(form.pos(), kMovedTo);
}

TEST(Settings, ADamagedOrUnreadableFileMeansDefaults)
{
    const char damaged[] = "\0\xff[[[general\nquality=best\nlanguage=../../etc\n[mainWindow]\nposition=99999999999,1\n";
    std::filesystem::create_directories(SettingsFile().parent_path());
    std::ofstream(SettingsFile(), std::ios::binary) << std::string(damaged, sizeof damaged - 1);
    {
        TForm1 form;
        EXPECT_TRUE(form.chkHQ->isChecked());
        EXPECT_EQ(UserSettings::Language(), std::nullopt);
        EXPECT_EQ(UserSettings::MainWindowPosition(), std::nullopt);
    }
    // A folder where the file should be can be neither read nor written.
    std::filesystem::remove(SettingsFile());
    std::filesystem::create_directory(SettingsFile());
    TForm1 form;
    form.chkNormal->click();
    EXPECT_EQ(UserSettings::Quality(), std::nullopt);
    EXPECT_TRUE(std::filesystem::is_directory(SettingsFile()));
}

// The number of connections is written into the file by hand; only a count
// from 1 to 16 counts.
TEST(Settings, ConnectionsAreACountTheFileGivesOrNothing)
{
    const struct {
        const char* line;
        std::optional<int> read;
    } rows[] = {
        {"connections=2", 2},
        {"connections=16", 16},
        {"connections=0", std::nullopt},
        {"connections=17", std::nullopt},
        {"connections=two", std::nullopt},
        {"", std::nullopt},
    };
    std::filesystem::create_directories(SettingsFile().parent_path());
    for (const auto& row : rows) {
        // Qt reads a file again when its size or time changed: the empty
        // file between rows makes sure it does.
        std::ofstream(SettingsFile()) << "";
        EXPECT_EQ(UserSettings::Connections(), std::nullopt);
        std::ofstream(SettingsFile()) << "[General]\n" << row.line << "\n";
        EXPECT_EQ(UserSettings::Connections(), row.read) << row.line;
    }
}
