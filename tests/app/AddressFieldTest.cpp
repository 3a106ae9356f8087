#include "app/TForm1.h"
#include "framework/MessageBox.h"
#include "framework/TSaveDialog.h"
#include "support/LocalPort.h"
#include "support/RunEventsUntil.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>

// The address field keeps what the user gave it: an address that did not
// become a download comes back, and one dropped on the window lands in it.
namespace {

struct AddressField : ::testing::Test {
    void SetUp() override
    {
        previousBox = SetMessageBoxSeam([this](const TMessageBoxRequest& box) {
            messages.push_back(box.Text);
            fieldBehindTheMessage = form.Edit1->text();
        });
        previousDialog = SetSaveDialogSeam([](const TSaveDialogRequest&) { return std::optional<std::string>(); });
    }
    void TearDown() override
    {
        SetMessageBoxSeam(previousBox);
        SetSaveDialogSeam(previousDialog);
    }

    // START on the text, until the lookup has ended.
    void Start(const QString& text)
    {
        form.Edit1->setText(text);
        form.btnDownload->click();
        EXPECT_EQ(form.Edit1->text(), "");
        EXPECT_TRUE(RunEventsUntil([&] { return form.lblLookingUp->isHidden(); }, 20000));
    }

    // Drags data over the window and drops it, as the desktop would.
    bool Drop(QMimeData& data)
    {
        QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&form, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&form, &drop);
        return drop.isAccepted();
    }

    TForm1 form;
    std::vector<std::string> messages;
    QString fieldBehindTheMessage;
    TMessageBoxSeam previousBox;
    TSaveDialogSeam previousDialog;
};

} // namespace

TEST_F(AddressField, AFailedLookupGivesTheAddressBack)
{
    LocalPort closed;
    const QString refused = QStringLiteral("http://127.0.0.1:%1/talk.html").arg(closed.Port());
    Start(refused);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(fieldBehindTheMessage, refused) << "back before the failure is shown";
    EXPECT_EQ(form.Edit1->text(), refused);
    EXPECT_TRUE(form.btnDownload->isEnabled());
}

TEST_F(AddressField, ACancelledSaveDialogGivesTheAddressBackWithTheSchemeItWasTakenWith)
{
    // A direct link is resolved without a request.
    Start("cdn.example.org/clip.mp4");
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(form.Edit1->text(), "https://cdn.example.org/clip.mp4");
}

TEST_F(AddressField, AnAddressTypedMeanwhileIsNotOverwritten)
{
    form.Edit1->setText("https://cdn.example.org/first.mp4");
    form.btnDownload->click();
    form.Edit1->setText("https://cdn.example.org/second.mp4");
    EXPECT_TRUE(RunEventsUntil([&] { return form.lblLookingUp->isHidden(); }, 20000));
    EXPECT_EQ(form.Edit1->text(), "https://cdn.example.org/second.mp4");
}

TEST_F(AddressField, ADroppedAddressFillsTheField)
{
    form.Edit1->setText("something typed before");
    QMimeData links;
    links.setUrls({QUrl("https://cdn.example.org/clip.mp4"), QUrl("https://cdn.example.org/other.mp4")});
    EXPECT_TRUE(Drop(links));
    EXPECT_EQ(form.Edit1->text(), "https://cdn.example.org/clip.mp4") << "the first of a list";
    EXPECT_TRUE(form.btnDownload->isEnabled());

    QMimeData text;
    text.setText("\n  https://example.org/talk.html  \r\nand more words\n");
    EXPECT_TRUE(Drop(text));
    EXPECT_EQ(form.Edit1->text(), "https://example.org/talk.html") << "the first line";

    QMimeData picture;
    picture.setImageData(QImage(4, 4, QImage::Format_RGB32));
    EXPECT_FALSE(Drop(picture));
    EXPECT_EQ(form.Edit1->text(), "https://example.org/talk.html");
    EXPECT_FALSE(form.Edit1->acceptDrops()) << "a drop on the field replaces its text too";
}
