#include "framework/MessageBox.h"

#include "framework/QtText.h"
#include "i18n/MessageBoxHook.h"

#include <QMessageBox>

namespace {

TMessageBoxSeam& Seam()
{
    static TMessageBoxSeam seam;
    return seam;
}

TQuestionSeam& QuestionSeam()
{
    static TQuestionSeam seam;
    return seam;
}

QMessageBox::Icon QtIcon(TMessageBoxIcon icon)
{
    switch (icon) {
    case mbiError: return QMessageBox::Critical;
    case mbiWarning: return QMessageBox::Warning;
    case mbiInformation: return QMessageBox::Information;
    case mbiQuestion: return QMessageBox::Question;
    }
    return QMessageBox::Critical;
}

} // namespace

void ShowMessageBox(const TMessageBoxRequest& request)
{
    if (Seam()) {
        Seam()(request);
        return;
    }
    QMessageBox box(QtIcon(request.Icon), ToQt(request.Caption), ToQt(request.Text), QMessageBox::Ok, request.Owner);
    box.exec();
}

bool AskQuestion(const TMessageBoxRequest& request)
{
    if (QuestionSeam())
        return QuestionSeam()(request);
    QMessageBox box(QtIcon(request.Icon), ToQt(request.Caption), ToQt(request.Text), QMessageBox::Yes | QMessageBox::No,
                    request.Owner);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void ShowEngineMessagesInMessageBoxes()
{
    SetMessageBoxHook([](const std::string& text, const std::string& caption) {
        ShowMessageBox({nullptr, text, caption, mbiWarning});
    });
}

TMessageBoxSeam SetMessageBoxSeam(TMessageBoxSeam seam)
{
    return std::exchange(Seam(), std::move(seam));
}

TQuestionSeam SetQuestionSeam(TQuestionSeam seam)
{
    return std::exchange(QuestionSeam(), std::move(seam));
}
