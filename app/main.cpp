#include "app/Site.h"
#include "app/TForm1.h"
#include "framework/Fonts.h"
#include "framework/TApplication.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    if (!Site::ApplyCommandLine(argc, argv)) {
        std::fprintf(stderr, "skerrow: --site-host takes HOST or HOST:PORT\n");
        return 2;
    }
    QApplication qt(argc, argv);
    RegisterTahoma();
    Application().SetTitle("Skerrow");
    Application().SetMainForm(new TForm1);
    return Application().Run();
}
