#include "app/CommandLine.h"
#include "app/Language.h"
#include "app/ProgramText.h"
#include "app/Site.h"
#include "app/TForm1.h"
#include "framework/Fonts.h"
#include "framework/MessageBox.h"
#include "framework/QtText.h"
#include "framework/QuitOnSignals.h"
#include "framework/SynchronizeBridge.h"
#include "framework/TApplication.h"
#include "i18n/GnuGettext.h"

#include <QApplication>
#include <csignal>
#include <cstdio>

// The program's start, in order. Nothing of it happens in static
// initialisers.
int main(int argc, char** argv)
{
    // The translation engine comes first, on the main thread: whatever the
    // program says from here on, windows or terminal, is translated.
    StartTranslationEngine();
    if (!Site::ApplyCommandLine(argc, argv)) {
        std::fprintf(stderr, "skerrow: %s\n", Tr("--site-host takes HOST or HOST:PORT").c_str());
        return esBadArguments;
    }
    if (WantsCommandLine(argc, argv))
        return RunCommandLine(argc, argv);
    if (!DisplayAvailable(argc, argv))
        return ExplainMissingDisplay(argc, argv);

    QApplication qt(argc, argv);
    ShowEngineMessagesInMessageBoxes();
    RegisterTahoma();
    ConnectSynchronizeToQt();
    // Asked to end (a kill, the session's logout, Ctrl-C in a terminal): as
    // if the user had closed the windows, without the question.
    QuitOnSignals({SIGTERM, SIGHUP, SIGINT});
    StartInChosenLanguage();
    Application().SetTitle("Skerrow");
    auto* form = new TForm1;
    Application().SetMainForm(form);
    if (std::string address = AddressArgument(argc, argv); !address.empty())
        form->TakeAddress(ToQt(address));
    return Application().Run();
}
