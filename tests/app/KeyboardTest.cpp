#include "app/Site.h"
#include "app/TForm1.h"
#include "app/TForm2.h"
#include "framework/AboutBox.h"
#include "framework/MessageBox.h"
#include "framework/Shell.h"
#include "framework/TImage.h"
#include "i18n/GnuGettext.h"
#include "support/RunEventsUntil.h"
#include "widgets/TNxHtmlLabel.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>

// The windows with the keyboard only.
namespace {

void Press(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(widget, &press);
}

struct Keyboard : ::testing::Test {
    void SetUp() override
    {
        form.show();
        QApplication::setActiveWindow(&form);
    }

    TForm1 form;
};

} // namespace

TEST_F(Keyboard, EnterInTheAddressFieldStartsOnlyWhenStartIsEnabled)
{
    std::vector<std::string> messages;
    TMessageBoxSeam previous = SetMessageBoxSeam([&](const TMessageBoxRequest& box) { messages.push_back(box.Text); });
    Site::SetHost("127.0.0.1:1");
    form.Edit1->setText("not an address");
    Press(form.Edit1, Qt::Key_Return);
    EXPECT_EQ(form.Edit1->text(), "not an address");
    form.Edit1->setText("http://127.0.0.1:1/watch?v=refused");
    Press(form.Edit1, Qt::Key_Return);
    EXPECT_EQ(form.Edit1->text(), "") << "START ran: its first step clears the field";
    RunEventsUntil([&] { return !messages.empty(); }, 20000);
    Site::SetHost("www.youtube.com");
    SetMessageBoxSeam(previous);
    EXPECT_EQ(messages.size(), 1u) << "and met the refused connection";
}

TEST_F(Keyboard, TabEntersTheQualitiesAtTheChosenOne)
{
    form.chkHD->click();
    form.NxHtmlLabel1->setFocus();
    Press(form.NxHtmlLabel1, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), form.chkHD);
    Press(form.chkHD, Qt::Key_Up);
    EXPECT_TRUE(form.chkHQ->isChecked()) << "the arrow keys still move the choice";
    Press(form.chkHQ, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), form.imgES) << "no other quality is a stop, and START is disabled";
}

TEST_F(Keyboard, FlagsHelpAndLinkArePressedWithSpaceOrEnter)
{
    std::vector<std::string> opened;
    TShellSeam previous = SetShellSeam([&](const TShellRequest& request) { opened.push_back(request.Target); });
    int abouts = 0;
    TAboutSeam previousAbout = SetAboutSeam([&](const TAboutRequest&) { ++abouts; });
    form.imgES->setFocus();
    Press(form.imgES, Qt::Key_Space);
    const std::string language = CurrentLanguage();
    form.imgEN->setFocus();
    Press(form.imgEN, Qt::Key_Return);
    form.imgHelp->setFocus();
    Press(form.imgHelp, Qt::Key_Enter);
    form.NxHtmlLabel1->setFocus();
    Press(form.NxHtmlLabel1, Qt::Key_Space);
    SetShellSeam(previous);
    SetAboutSeam(previousAbout);
    EXPECT_EQ(language, "es");
    EXPECT_EQ(CurrentLanguage(), "en");
    EXPECT_EQ(abouts, 1);
    EXPECT_EQ(opened, std::vector<std::string>{"http://" + Site::Host()});
    EXPECT_EQ(form.imgES->focusPolicy(), Qt::TabFocus) << "the mouse leaves the focus in the address field";
}

TEST_F(Keyboard, EscapeActsAsTheDownloadWindowsButton)
{
    QPointer<TForm2> window = new TForm2(&form);
    QApplication::setActiveWindow(window);
    ASSERT_EQ(QApplication::focusWidget(), window->btnCancelClose);
    Press(window->btnCancelClose, Qt::Key_Escape);
    EXPECT_EQ(window->btnCancelClose->text(), "Close") << "the first Escape cancels";
    Press(window->btnCancelClose, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull()) << "the second closes";
}
