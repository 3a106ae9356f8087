#include "framework/Fonts.h"
#include "framework/MessageBox.h"
#include "framework/SynchronizeBridge.h"
#include "i18n/GnuGettext.h"
#include "support/PrivateSettings.h"
#include "support/TestEnvironment.h"

#include <QApplication>
#include <gtest/gtest.h>

// Window tests run inside one QApplication, on the offscreen platform unless
// the test environment names another (a real X display), started the way
// the program starts.
int main(int argc, char** argv)
{
    StartTranslationEngine();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ProvideRuntimeFolder();
    auto* settings = new TPrivateSettings;
    QApplication application(argc, argv);
    ShowEngineMessagesInMessageBoxes();
    RegisterTahoma();
    ConnectSynchronizeToQt();
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(settings);
    return RUN_ALL_TESTS();
}
