#include "framework/TApplication.h"

#include "framework/ExceptionText.h"
#include "framework/MessageBox.h"
#include "framework/QtText.h"
#include "runtime/Exception.h"

#include <QApplication>
#include <QWidget>

TApplication& Application()
{
    static TApplication application;
    return application;
}

void TApplication::SetMainForm(QWidget* form)
{
    mainForm_ = form;
    if (!form)
        return;
    // Closing the main window frees it, and with it everything it owns.
    form->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(form, &QObject::destroyed, [this, form] {
        if (mainForm_ == form)
            mainForm_ = nullptr;
    });
}

int TApplication::Run()
{
    QApplication::setApplicationDisplayName(QString());
    QApplication::setApplicationName(ToQt(title_));
    QApplication::setQuitOnLastWindowClosed(false);
    if (mainForm_)
        QObject::connect(mainForm_, &QObject::destroyed, qApp, &QCoreApplication::quit);
    else
        return 0;
    mainForm_->show();
    int status = QApplication::exec();
    // A loop ended some other way than by closing the main window (a signal,
    // say) still frees the window and everything it owns.
    delete mainForm_;
    return status;
}

void TApplication::HandleException(std::exception_ptr failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const EAbort&) {
        // The silent abort unwinds without a word.
    } catch (const std::exception& error) {
        ShowException(error);
    } catch (...) {
        ShowException(Exception("Unknown failure"));
    }
}

void TApplication::ShowException(const std::exception& failure)
{
    TMessageBoxRequest request;
    request.Owner = QApplication::activeWindow();
    request.Text = ExceptionDisplayText(failure.what());
    request.Caption = title_;
    request.Icon = mbiError;
    ShowMessageBox(request);
}
