#include "app/TForm1.h"
#include "app/Site.h"
#include "framework/Shell.h"
#include "framework/TImage.h"
#include "widgets/TNxHeaderPanel.h"
#include "widgets/TNxHtmlLabel.h"

#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <memory>
#include <vector>

namespace {

struct MainWindow : ::testing::Test {
    std::unique_ptr<TForm1> form = std::make_unique<TForm1>();

    bool Step1Framed() const
    {
        return form->NxHeaderPanel1->BorderWidth() == 1 && form->NxHeaderPanel3->BorderWidth() == 0;
    }
    bool Step2Framed() const
    {
        return form->NxHeaderPanel1->BorderWidth() == 0 && form->NxHeaderPanel3->BorderWidth() == 1;
    }
};

} // namespace

TEST_F(MainWindow, StartsInStepOneWithHighQualityChosen)
{
    EXPECT_FALSE(form->btnDownload->isEnabled());
    EXPECT_TRUE(form->chkHQ->isChecked());
    EXPECT_FALSE(form->chkNormal->isChecked() || form->chkMobile->isChecked() || form->chkHD->isChecked());
    EXPECT_TRUE(Step1Framed());
    EXPECT_EQ(form->windowTitle(), "Skerrow");
    EXPECT_EQ(form->size(), QSize(707, 292));
}

TEST_F(MainWindow, ComponentsCarryTheirNames)
{
    for (const char* name : {"NxHeaderPanel1", "NxHeaderPanel3", "btnDownload", "SaveDialog1", "GroupBox1", "chkNormal",
                             "chkHQ", "chkHD", "GroupBox2", "Edit1", "chkMobile", "JvClipboardMonitor1", "Panel1",
                             "img", "imgES", "imgEN", "NxHtmlLabel1", "imgHelp", "lblDownloads"})
        EXPECT_NE(form->findChild<QObject*>(name), nullptr) << name;
}

TEST_F(MainWindow, FrameFollowsEveryChangeOfTheAddress)
{
    // The site's rule alone, on addresses written without a scheme.
    form->Edit1->setText("www.youtube.com/watch?v=abc");
    EXPECT_TRUE(form->btnDownload->isEnabled());
    EXPECT_TRUE(Step2Framed());

    // Deleting the path goes back to step one at once.
    form->Edit1->setText("www.youtube.com");
    EXPECT_FALSE(form->btnDownload->isEnabled());
    EXPECT_TRUE(Step1Framed());

    form->Edit1->setText("www.youtube.com/watch?key=abc");
    EXPECT_TRUE(Step2Framed());
    form->Edit1->clear();
    EXPECT_TRUE(Step1Framed());

    // A direct link to a video file, and any other page, are the other kinds
    // of address; text that is no http or https address is none.
    for (const char* address : {"https://cdn.example.org/clip.mp4", "https://example.org/talk.html"}) {
        form->Edit1->setText(address);
        EXPECT_TRUE(Step2Framed()) << address;
        EXPECT_TRUE(form->btnDownload->isEnabled());
    }
    // An address without its scheme is taken as https; other text says
    // in the field's tooltip why START stays disabled.
    form->Edit1->setText("example.org/talk.html");
    EXPECT_TRUE(Step2Framed());
    EXPECT_EQ(form->Edit1->toolTip(), "");
    form->Edit1->setText("example.org");
    EXPECT_TRUE(Step1Framed());
    EXPECT_EQ(form->Edit1->toolTip(),
              "This is not an address: paste the address of a page with a video, or of a video file.");
}

TEST_F(MainWindow, SizeIsHeldWithinItsLimitsAndCannotBeMaximised)
{
    EXPECT_FALSE(form->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(form->windowFlags() & Qt::WindowMinimizeButtonHint);
    form->resize(3000, 3000);
    EXPECT_LE(form->width(), 715);
    EXPECT_LE(form->height(), 340);
    form->resize(1, 1);
    EXPECT_GE(form->width() + 8, 680);
    EXPECT_GE(form->height() + 34, 319);
}

TEST_F(MainWindow, QualityGroupKeepsItsWidthWhileTheAddressGroupTakesTheRest)
{
    form->show();
    for (int width : {672, 690, 707}) {
        form->resize(width, 292);
        EXPECT_EQ(form->GroupBox1->width(), 258) << width;
        EXPECT_EQ(form->GroupBox1->geometry().right() + 1 + 8 + 1, form->NxHeaderPanel1->width()) << width;
        EXPECT_GE(form->GroupBox2->width(), 406) << width;
    }
}

TEST_F(MainWindow, TabOrderVisitsQualitiesNormalHighDefinitionMobile)
{
    EXPECT_EQ(form->chkNormal->nextInFocusChain(), form->chkHQ);
    EXPECT_EQ(form->chkHQ->nextInFocusChain(), form->chkHD);
    EXPECT_EQ(form->chkHD->nextInFocusChain(), form->chkMobile);
}

TEST_F(MainWindow, TheLinkAsksTheShellForTheSitesAddress)
{
    std::vector<TShellRequest> requests;
    TShellSeam previous = SetShellSeam([&](const TShellRequest& request) { requests.push_back(request); });
    form->NxHtmlLabel1Click(form->NxHtmlLabel1);
    SetShellSeam(previous);

    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].Target, "http://" + Site::Host());
    EXPECT_EQ(requests[0].Verb, "");
    EXPECT_EQ(requests[0].Owner, form.get());
}

TEST(Site, SiteHostOptionMovesTheDomainWithIt)
{
    std::string before = Site::Host();
    char program[] = "skerrow";
    char option[] = "--site-host=127.0.0.1:8080";
    char* argv[] = {program, option};
    ASSERT_TRUE(Site::ApplyCommandLine(2, argv));
    EXPECT_EQ(Site::Host(), "127.0.0.1:8080");
    EXPECT_EQ(Site::Domain(), "127.0.0.1");
    EXPECT_EQ(Site::DomainOf("www.demo.test:99"), "demo.test");

    char bad[] = "--site-host=";
    char* badArgv[] = {program, bad};
    EXPECT_FALSE(Site::ApplyCommandLine(2, badArgv));
    Site::SetHost(before);
    EXPECT_EQ(Site::Domain(), "youtube.com");
}
