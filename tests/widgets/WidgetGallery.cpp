// Shows the styled widgets as the download window arranges them, for a look
// by eye and for screenshots under a virtual display:
//   widgets_gallery gliding|finished [milliseconds before quitting]
#include "DownloadWindowLook.h"

#include "widgets/TNxHeaderPanel.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <cstring>

namespace {

struct DownloadWindow {
    QWidget window;
    TNxHeaderPanel* panel = new TNxHeaderPanel(&window);
    QLabel* status = nullptr;
    TNxLabel* title = nullptr;
    TAdvSmoothProgressBar* bar = nullptr;
    QPushButton* open = nullptr;
    QPushButton* cancel = nullptr;

    DownloadWindow()
    {
        window.setWindowTitle("Skerrow");
        window.setFixedSize(285, 201);
        window.move(0, 0);
        panel->setObjectName("NxHeaderPanel1");
        panel->setGeometry(0, 0, 285, 201);
        panel->SetCaption("Downloading video");
        panel->SetHeaderFont(TahomaFont());
        status = AddLabel("Label1", "Downloading...", 20, 34);
        title = new TNxLabel(panel);
        title->setObjectName("lblTitle");
        ApplyDownloadTitleLook(*title);
        Offset(title);
        title->SetCaption("A rather long video title that does not fit on the line of the download window");
        bar = new TAdvSmoothProgressBar(panel);
        bar->setObjectName("ProgressBar1");
        ApplyDownloadBarLook(*bar);
        Offset(bar);
        AddLabel("Label2", "Video Size: ", 20, 115);
        AddLabel("lblFileSize", "~15 MB", 140, 115);
        AddLabel("Label5", "Transfer Rate:", 20, 134);
        AddLabel("lblTransfer", "3.0 MB (1536.00 kb/s)", 140, 134);
        open = AddButton("btnOpen", "Open", QRect(112, 164, 76, 25));
        open->setEnabled(false);
        cancel = AddButton("btnCancelClose", "Cancel", QRect(194, 164, 75, 25));
    }

    // Positions of the layout are relative to the area inside the frame.
    void Offset(QWidget* child) { child->move(child->pos() + panel->ClientRect().topLeft()); }

    QLabel* AddLabel(const char* name, const char* text, int x, int y)
    {
        auto* label = new QLabel(text, panel);
        label->setObjectName(name);
        label->move(x, y);
        label->adjustSize();
        Offset(label);
        return label;
    }

    QPushButton* AddButton(const char* name, const char* text, QRect geometry)
    {
        auto* button = new QPushButton(text, panel);
        button->setObjectName(name);
        button->setGeometry(geometry);
        Offset(button);
        return button;
    }

    void Finish()
    {
        bar->SetPosition(100);
        status->setText("Finished");
        status->setStyleSheet("color: rgb(255, 0, 0)");
        status->setFont(TahomaFont(true));
        status->adjustSize();
        cancel->setText("Close");
        open->setEnabled(true);
    }
};

}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    RegisterTahoma();
    QApplication::setFont(TahomaFont());

    DownloadWindow download;
    const bool finished = argc > 1 && std::strcmp(argv[1], "finished") == 0;
    if (finished) {
        download.Finish();
    } else {
        download.bar->SetPosition(20);
        QTimer::singleShot(400, [&] { download.bar->SetPosition(68); });
    }
    download.window.show();
    if (argc > 2)
        QTimer::singleShot(std::atoi(argv[2]), &application, &QApplication::quit);
    return application.exec();
}
