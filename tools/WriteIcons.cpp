// Writes the program's icon in the sizes of the desktop's icon theme:
//   write-icons FOLDER      (FOLDER/<N>x<N>/apps/org.example.skerrow.png)
#include "app/Pictures.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: write-icons FOLDER\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        QString folder = QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(size);
        QString file = folder + QStringLiteral("/org.example.skerrow.png");
        if (!QDir().mkpath(folder) || !Pictures::AppIcon(size).save(file)) {
            std::fprintf(stderr, "write-icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
