#include "app/CommandLine.h"
#include "app/Site.h"
#include "app/TForm1.h"
#include "framework/Fonts.h"
#include "framework/SynchronizeBridge.h"
#include "framework/TApplication.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    if (!Site::ApplyCommandLine(argc, argv)) {
        std::fprintf(stderr, "skerrow: --site-host takes HOST or HOST:PORT\n");
        return esBadArguments;
    }
    if (WantsCommandLine(argc, argv))
        return RunCommandLine(argc, argv);
    QApplication qt(argc, argv);
    RegisterTahoma();
    ConnectSynchronizeToQt();
    Application().SetTitle("Skerrow");
    Application().SetMainForm(new TForm1);
    return Application().Run();
}
