#include "framework/AboutBox.h"

#include "framework/QtText.h"
#include "framework/Shell.h"

#include <QLabel>
#include <QMessageBox>
#include <QWidget>

namespace {

TAboutSeam& Seam()
{
    static TAboutSeam seam;
    return seam;
}

QString Escaped(const std::string& text)
{
    return ToQt(text).toHtmlEscaped();
}

} // namespace

std::string AboutBoxText(const TAboutRequest& request)
{
    QString text = QStringLiteral("<p><b>%1</b></p>").arg(Escaped(request.Title));
    for (const std::string& line : request.Lines)
        text += QStringLiteral("<p>%1</p>").arg(Escaped(line));
    if (!request.HelpAddress.empty())
        text += QStringLiteral("<p>%1 <a href=\"%2\">%2</a></p>")
                    .arg(Escaped(request.HelpText), Escaped(request.HelpAddress));
    return FromQt(text);
}

void ShowAboutBox(const TAboutRequest& request)
{
    if (Seam()) {
        Seam()(request);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, ToQt(request.Caption), ToQt(AboutBoxText(request)), QMessageBox::Ok,
                    request.Owner);
    box.setTextFormat(Qt::RichText);
    if (request.Owner)
        box.setIconPixmap(request.Owner->windowIcon().pixmap(64, 64));
    box.setTextInteractionFlags(Qt::TextBrowserInteraction);
    // The link goes through the shell, as every address the program opens.
    if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
        label->setOpenExternalLinks(false);
        QObject::connect(label, &QLabel::linkActivated, &box, [&box](const QString& link) {
            ShellExecute({&box, "", FromQt(link)});
        });
    }
    box.exec();
}

TAboutSeam SetAboutSeam(TAboutSeam seam)
{
    return std::exchange(Seam(), std::move(seam));
}
