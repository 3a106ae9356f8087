#include "app/Site.h"
#include "app/TForm1.h"
#include "app/TForm2.h"
#include "app/VideoDownload.h"
#include "framework/MessageBox.h"
#include "framework/QuitOnSignals.h"
#include "framework/Shell.h"
#include "framework/TApplication.h"
#include "framework/TImage.h"
#include "framework/TSaveDialog.h"
#include "grabber/TJvHttpUrlGrabber.h"
#include "i18n/GnuGettext.h"
#include "support/CuttingSite.h"
#include "support/DemoSiteSuite.h"
#include "support/RunEventsUntil.h"
#include "support/ScratchFolder.h"
#include "support/ScriptedPeer.h"
#include "widgets/TNxLabel.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

// The main job seen from outside: an address in the field, START, the save
// dialog answered, a download window that runs the download.
namespace {

class Download : public DemoSiteSuite {
protected:
    void SetUp() override
    {
        Site::SetHost(site->Host());
        previousBox = SetMessageBoxSeam([this](const TMessageBoxRequest& box) { messages.push_back(box.Text); });
        previousDialog = SetSaveDialogSeam([this](const TSaveDialogRequest& request) -> std::optional<std::string> {
            proposed.push_back(request.FileName);
            startFolders.push_back(request.InitialDir);
            if (cancelDialog)
                return std::nullopt;
            return folder.File("saved-" + std::to_string(proposed.size()) + ".bin");
        });
        previousQuestion = SetQuestionSeam([this](const TMessageBoxRequest& box) {
            questions.push_back(box.Text);
            return answer;
        });
        form = new TForm1;
    }

    void TearDown() override
    {
        delete form;
        SetMessageBoxSeam(previousBox);
        SetSaveDialogSeam(previousDialog);
        SetQuestionSeam(previousQuestion);
        Site::SetHost("www.youtube.com");
    }

    // Pastes the address and presses START.
    void Press(const std::string& address)
    {
        form->Edit1->setText(QString::fromStdString(address));
        form->btnDownload->click();
        EXPECT_EQ(form->Edit1->text(), "") << "the field is cleared first";
        EXPECT_FALSE(form->btnDownload->isEnabled());
    }

    // START, then the resolution's outcome: the new download window, if any.
    TForm2* Start(const std::string& address)
    {
        int before = form->findChildren<TForm2*>().size();
        Press(address);
        EXPECT_TRUE(WaitFor([&] { return form->lblLookingUp->isHidden(); }));
        auto windows = form->findChildren<TForm2*>();
        return windows.size() == before ? nullptr : windows.last();
    }

    static bool WaitFor(const std::function<bool()>& done, int milliseconds = 20000)
    {
        return RunEventsUntil(done, milliseconds);
    }

    static bool Finished(TForm2* window) { return window->Label1->text() == "Finished"; }
    static bool Ended(TForm2* window) { return window->btnCancelClose->text() == "Close"; }

    TForm1* form = nullptr;
    ScratchFolder folder{"download"};
    std::vector<std::string> messages;
    std::vector<std::string> proposed;
    std::vector<std::string> startFolders;
    bool cancelDialog = false;
    std::vector<std::string> questions;
    bool answer = false; // Yes to every question when true
    TMessageBoxSeam previousBox;
    TSaveDialogSeam previousDialog;
    TQuestionSeam previousQuestion;
};

// The save dialog refuses a device, a fifo or a socket and asks again.
TEST_F(Download, OnlyAFileIsReplacedFromTheSaveDialogToo)
{
    const std::string fifo = folder.File("saved-1.bin");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    TForm2* window = Start(site->FileAddress("harbour-walk.mp4"));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(messages, std::vector<std::string>{fifo + " is not a file; only files are replaced"});
    EXPECT_EQ(window->UrlGrabber1->FileName(), folder.File("saved-2.bin"));
    EXPECT_TRUE(WaitFor([&] { return Ended(window); }));
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
}

// For one scope the program trusts no certificate of the demo site.
struct DistrustTheSite {
    DistrustTheSite() : trusted(std::getenv("SSL_CERT_FILE")) { ::setenv("SSL_CERT_FILE", "/nonexistent.pem", 1); }
    ~DistrustTheSite() { ::setenv("SSL_CERT_FILE", trusted.c_str(), 1); }
    std::string trusted;
};

} // namespace

TEST_F(Download, SavesExactlyTheServedBytes)
{
    TForm2* window = Start(site->WatchAddress("seastack01"));
    ASSERT_NE(window, nullptr);
    const QRect field(form->Edit1->mapToGlobal(QPoint(0, 0)), form->Edit1->size());
    EXPECT_FALSE(window->frameGeometry().intersects(field)) << "never over the address field";
    EXPECT_EQ(proposed, std::vector<std::string>{"Sea stacks at dawn.mp4"});
    ASSERT_TRUE(WaitFor([&] { return Finished(window); }));
    EXPECT_EQ(FileBytes(window->UrlGrabber1->FileName()), DemoSite::StreamBytes("seastack01", "18", 3 * 1048576));
    EXPECT_EQ(window->lblFileSize->text(), "~3 MB");
    EXPECT_TRUE(window->Label1->font().bold());
    EXPECT_EQ(window->Label1->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_TRUE(window->btnOpen->isEnabled());
    EXPECT_EQ(window->btnCancelClose->text(), "Close");
    EXPECT_EQ(window->lblTitle->Caption(), "Sea stacks at dawn");
    EXPECT_EQ(window->windowTitle(), "100% Sea stacks at dawn");
    EXPECT_TRUE(messages.empty());

    std::vector<TShellRequest> opened;
    TShellSeam previous = SetShellSeam([&](const TShellRequest& request) { opened.push_back(request); });
    window->btnOpen->click();
    SetShellSeam(previous);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].Verb, "open");
    EXPECT_EQ(opened[0].Target, window->UrlGrabber1->FileName());
    EXPECT_EQ(opened[0].Owner, window);
}

TEST_F(Download, AWatchPageReachedOverHttpsIsSavedOverHttps)
{
    TForm2* window = Start(site->SecureWatchAddress("seastack01"));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->UrlGrabber1->Url().rfind("https://127.0.0.1/get_video?", 0), 0u) << window->UrlGrabber1->Url();
    ASSERT_TRUE(WaitFor([&] { return Finished(window); }));
    EXPECT_EQ(FileBytes(window->UrlGrabber1->FileName()), DemoSite::StreamBytes("seastack01", "18", 3 * 1048576));
}

TEST_F(Download, ADirectLinkIsSavedUnderItsOwnNameWhateverTheQuality)
{
    form->chkMobile->setChecked(true);
    const std::string link = site->FileAddress("Rock%20%26%20Roll%20(live).webm");
    TForm2* window = Start(link);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(proposed, std::vector<std::string>{"Rock _ Roll (live).webm"});
    EXPECT_EQ(window->lblTitle->Caption(), "Rock _ Roll (live).webm");
    EXPECT_EQ(window->UrlGrabber1->Url(), "https://127.0.0.1/files/Rock%20%26%20Roll%20(live).webm");
    ASSERT_TRUE(WaitFor([&] { return Finished(window); }));
    EXPECT_EQ(FileBytes(window->UrlGrabber1->FileName()), DemoSite::StreamBytes("rockroll33", "22", 1048576));
}

TEST_F(Download, AnOrdinaryPageIsSavedUnderItsTitleInTheChosenSize)
{
    form->chkHD->setChecked(true);
    TForm2* window = Start(site->PageAddress("gallery.html"));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(proposed, std::vector<std::string>{"Rock pools_ in four sizes.webm"});
    EXPECT_EQ(window->lblTitle->Caption(), "Rock pools_ in four sizes");
    ASSERT_TRUE(WaitFor([&] { return Finished(window); }));
    EXPECT_EQ(FileBytes(window->UrlGrabber1->FileName()), DemoSite::StreamBytes("rockroll33", "1080", 1048576));
}

// A page whose video is streamed in pieces: the window saves it as one file
// in the chosen quality.
TEST_F(Download, APageThatStreamsItsVideoInPiecesIsSavedAsOneFile)
{
    form->chkHD->setChecked(true);
    TForm2* window = Start(site->PageAddress("kelp.html"));
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(proposed.size(), 1u);
    EXPECT_EQ(proposed[0].substr(proposed[0].size() - 4), ".mp4");
    ASSERT_TRUE(WaitFor([&] { return Finished(window); }, 60000)) << window->lblTransfer->text().toStdString();
    // The 720-line representation, as the site's own reading of it decodes.
    EXPECT_EQ(DemoSite::DecodedVideoMd5(window->UrlGrabber1->FileName()),
              DemoSite::DecodedVideoMd5(site->StreamsFolder() + "/hls/v720/index.m3u8"));
}

TEST_F(Download, APageWithoutAVideoToSaveSaysSoInTheCurrentLanguage)
{
    SelectLanguage("es");
    EXPECT_EQ(Start(site->PageAddress("about.html")), nullptr);
    EXPECT_EQ(Start(site->PageAddress("members.html")), nullptr);
    SelectLanguage("en");
    EXPECT_EQ(Start(site->PageAddress("on-air.html")), nullptr);
    EXPECT_EQ(messages,
              (std::vector<std::string>{"Esta p\xc3\xa1gina no contiene ning\xc3\xban v\xc3\xad"
                                        "deo que guardar.",
                                        "Este v\xc3\xad"
                                        "deo est\xc3\xa1 protegido contra copia (DRM) y no se puede guardar.",
                                        "This is a live stream; only recorded videos can be saved."}));
    EXPECT_TRUE(proposed.empty());
}

TEST_F(Download, SaveDialogStartsWhereTheLastVideoWasSaved)
{
    TForm2* first = Start(site->WatchAddress("harbour202"));
    ASSERT_NE(first, nullptr);
    std::filesystem::remove_all(folder.path);
    Start(site->WatchAddress("rockroll33"));
    std::filesystem::create_directories(folder.path);
    Start(site->WatchAddress("plainflv44"));
    ASSERT_EQ(startFolders.size(), 3u);
    EXPECT_NE(startFolders[0], folder.path.string());
    EXPECT_NE(startFolders[1], folder.path.string()) << "a folder that is gone is not offered";
    EXPECT_EQ(startFolders[2], folder.path.string());
}

TEST_F(Download, IdentifierKeepsWhatFollowsItInTheFinalAddress)
{
    TForm2* window = Start(site->WatchAddress("harbour202") + "&feature=xyz");
    ASSERT_NE(window, nullptr);
    EXPECT_NE(window->UrlGrabber1->Url().find("/get_video?video_id=harbour202&feature=xyz&fmt=18&t="),
              std::string::npos)
        << window->UrlGrabber1->Url();
    ASSERT_TRUE(WaitFor([&] { return Finished(window); }));
}

TEST_F(Download, QualityDecidesNameAndFormat)
{
    form->chkMobile->setChecked(true);
    TForm2* window = Start(site->WatchAddress("rockroll33"));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(proposed.back(), "Rock _ Roll_ Live_.3GP");
    EXPECT_NE(window->UrlGrabber1->Url().find("&fmt=17&t="), std::string::npos);
    ASSERT_TRUE(WaitFor([&] { return Finished(window); }));

    form->chkNormal->setChecked(true);
    window = Start(site->WatchAddress("plainflv44"));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(proposed.back(), "Plain old clip") << "no format list: no extension";
    EXPECT_EQ(window->UrlGrabber1->Url().find("&fmt="), std::string::npos);
    ASSERT_TRUE(WaitFor([&] { return Finished(window); }));
}

TEST_F(Download, ARecordWithoutAUsableTokenSaysSoAndACancelledDialogSaysNothing)
{
    EXPECT_EQ(Start(site->WatchAddress("lasttok100")), nullptr);
    EXPECT_EQ(Start(site->WatchAddress("notoken099")), nullptr);
    cancelDialog = true;
    EXPECT_EQ(Start(site->WatchAddress("seastack01")), nullptr);
    EXPECT_EQ(proposed.size(), 1u);
    EXPECT_EQ(messages, std::vector<std::string>(2, "The site's answer holds no video to save."));
}

TEST_F(Download, FailedRequestsAreShownAndOpenNoWindow)
{
    {
        DistrustTheSite distrust;
        EXPECT_EQ(Start(site->SecureWatchAddress("seastack01")), nullptr);
    }
    EXPECT_EQ(Start(site->WatchAddress("missing000")), nullptr);
    ScriptedPeer silent;
    silent.ReadUntil("\r\n\r\n").ReadUntilClosed();
    silent.Start();
    PageBounds().ReadTimeout = 200;
    EXPECT_EQ(Start("http://127.0.0.1:" + std::to_string(silent.Port()) + "/watch?v=x"), nullptr);
    PageBounds() = TPageBounds();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0], "The certificate of 127.0.0.1 is not trusted (unable to get local issuer certificate).");
    EXPECT_NE(messages[1].find("404"), std::string::npos) << messages[1];
    EXPECT_EQ(messages[2], "Read Timeout.") << "a silent server is never an empty message";
}

TEST_F(Download, ErrorStatusOfTheWatchPageMakesNoSecondRequest)
{
    ScriptedPeer peer;
    peer.ReadUntil("\r\n\r\n").Send("HTTP/1.1 404 Not Found\r\nContent-Length: 4\r\n\r\ngone").ReadUntilClosed();
    peer.Start();
    Site::SetHost("127.0.0.1:" + std::to_string(peer.Port()));
    EXPECT_EQ(Start("http://127.0.0.1:" + std::to_string(peer.Port()) + "/watch?v=abc"), nullptr);
    peer.Wait();
    EXPECT_EQ(peer.Connections(), 1);
    EXPECT_EQ(messages, std::vector<std::string>{"HTTP/1.1 404 Not Found."});
    EXPECT_EQ(peer.Received().find("get_video_info"), std::string::npos);
}

// While an address is resolved the window answers at once, START takes
// another address and running downloads go on; closing the window then
// abandons the resolution.
TEST_F(Download, TheWindowAnswersWhileAPageIsAwaited)
{
    TForm2* running = Start(site->WatchAddress("slowtide77"));
    ASSERT_NE(running, nullptr);
    ASSERT_TRUE(WaitFor([&] { return running->UrlGrabber1->BytesRead() > 0; }));
    ScriptedPeer silent;
    silent.ReadUntil("\r\n\r\n").ReadUntilClosed();
    silent.stepTimeout = std::chrono::seconds(90);
    silent.Start();
    PageBounds().ReadTimeout = PageBounds().RequestTimeout = 60000;

    Press("http://127.0.0.1:" + std::to_string(silent.Port()) + "/watch?v=silent");
    EXPECT_FALSE(form->lblLookingUp->isHidden());
    form->imgESClick(form->imgES);
    EXPECT_EQ(form->btnDownload->text(), "COMENZAR");
    form->imgENClick(form->imgEN);
    std::int64_t before = running->UrlGrabber1->BytesRead();
    EXPECT_TRUE(WaitFor([&] { return running->UrlGrabber1->BytesRead() > before; }));

    Press(site->WatchAddress("rockroll33"));
    ASSERT_TRUE(WaitFor([&] { return form->findChildren<TForm2*>().size() == 2; }));
    EXPECT_FALSE(form->lblLookingUp->isHidden()) << "the first address is still awaited";

    auto closing = std::chrono::steady_clock::now();
    delete std::exchange(form, nullptr);
    EXPECT_LT(std::chrono::steady_clock::now() - closing, std::chrono::seconds(30)) << "sat out the page's time-out";
    PageBounds() = TPageBounds();
    silent.Wait();
    EXPECT_EQ(silent.Failure(), "");
    EXPECT_TRUE(messages.empty());
}

TEST_F(Download, ClosingWithRunningDownloadsAsksFirst)
{
    TForm2* first = Start(site->WatchAddress("slowtide77"));
    ASSERT_NE(Start(site->WatchAddress("slowtide77")), nullptr);
    ASSERT_NE(first, nullptr);
    form->show();
    EXPECT_FALSE(form->close());
    SelectLanguage("es");
    EXPECT_FALSE(form->close());
    SelectLanguage("en");
    first->btnCancelClose->click();
    answer = true;
    EXPECT_TRUE(form->close());
    EXPECT_EQ(questions,
              (std::vector<std::string>{
                  "2 downloads are still running. Stop them and quit?",
                  "2 descargas siguen en curso. \xc2\xbf"
                  "Detenerlas y salir?",
                  "1 download is still running. Stop it and quit?",
              }));
}

// Asked to end (a kill, the session's logout), the program stops its
// downloads as if its windows were closed: no temporary file stays.
TEST_F(Download, ASignalToEndLeavesNoFile)
{
    for (int signalNumber : {SIGTERM, SIGHUP}) {
        TForm2* window = Start(site->WatchAddress("slowtide77"));
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(WaitFor([&] { return window->UrlGrabber1->BytesRead() > 0; }));
        ASSERT_FALSE(folder.Names().empty()) << "the temporary file is there";
        QuitOnSignals({signalNumber});
        Application().SetMainForm(std::exchange(form, nullptr));
        QTimer::singleShot(0, [signalNumber] { ::kill(::getpid(), signalNumber); });
        EXPECT_EQ(Application().Run(), 128 + signalNumber);
        EXPECT_TRUE(folder.Names().empty()) << signalNumber;
        form = new TForm1;
    }
}

TEST_F(Download, StreamWithoutLengthLeavesLabelsYetFinishes)
{
    TForm2* window = Start(site->WatchAddress("nolength66"));
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitFor([&] { return Finished(window); }));
    EXPECT_EQ(window->lblFileSize->text(), "");
    EXPECT_EQ(window->lblTransfer->text(), "");
    EXPECT_EQ(FileBytes(window->UrlGrabber1->FileName()).size(), 2u * 1048576);
}

TEST_F(Download, CancelStopsAndRelabelsThenCloseFreesTheWindow)
{
    QPointer<TForm2> window = Start(site->WatchAddress("slowtide77"));
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitFor([&] { return !window->lblFileSize->text().isEmpty(); }));
    window->btnCancelClose->click();
    EXPECT_EQ(window->Label1->text(), "Cancelled");
    EXPECT_EQ(window->btnCancelClose->text(), "Close");
    EXPECT_FALSE(window->btnOpen->isEnabled());
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(std::filesystem::exists(folder.File("saved-1.bin"))) << "a cancelled download leaves no file";

    window->btnCancelClose->click();
    ASSERT_TRUE(WaitFor([&] { return window.isNull(); }));
}

TEST_F(Download, SeveralWindowsRunAtOnce)
{
    TForm2* first = Start(site->WatchAddress("harbour202"));
    TForm2* second = Start(site->WatchAddress("rockroll33"));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    ASSERT_NE(first, second);
    EXPECT_NE(second->pos(), first->pos()) << "cascaded, not on top of each other";
    ASSERT_TRUE(WaitFor([&] { return Finished(first) && Finished(second); }));
    EXPECT_EQ(FileBytes(first->UrlGrabber1->FileName()).size(), 5u * 1048576 / 2);
    EXPECT_EQ(FileBytes(second->UrlGrabber1->FileName()).size(), 1u * 1048576);
}

TEST_F(Download, TwoWindowsOfOneTitleNameTheirFiles)
{
    QPointer<TForm2> first = Start(site->WatchAddress("slowtide77"));
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(first->windowTitle().contains("saved-1.bin")) << "alone, the title is enough";
    TForm2* second = Start(site->WatchAddress("slowtide77"));
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(first->windowTitle().endsWith("Slow tide - saved-1.bin")) << first->windowTitle().toStdString();
    EXPECT_TRUE(second->windowTitle().endsWith("Slow tide - saved-2.bin")) << second->windowTitle().toStdString();
    first->btnCancelClose->click();
    second->btnCancelClose->click();
}

TEST_F(Download, TruncatedStreamShowsFailedAndWritesNoFile)
{
    TForm2* window = Start(site->WatchAddress("cutshort88"));
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitFor([&] { return Ended(window); }));
    EXPECT_EQ(window->Label1->text(), "Failed");
    EXPECT_EQ(window->lblTransfer->text(), "Connection closed after 1048576 of 2097152 bytes");
    EXPECT_FALSE(window->btnOpen->isEnabled());
    EXPECT_FALSE(std::filesystem::exists(window->UrlGrabber1->FileName()));
}

TEST_F(Download, FailuresAreShownInTheCurrentLanguage)
{
    SelectLanguage("es");
    EXPECT_EQ(Start("http://127.0.0.1:1/watch?v=refused"), nullptr);
    {
        DistrustTheSite distrust;
        EXPECT_EQ(Start(site->SecureWatchAddress("seastack01")), nullptr);
    }
    SelectLanguage("en");
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], "No se pudo conectar con 127.0.0.1:1: conexi\xc3\xb3n rechazada.");
    EXPECT_EQ(messages[1], "El certificado de 127.0.0.1 no es de confianza (unable to get local issuer certificate).");
}

TEST_F(Download, AFailedDownloadSaysWhyInTheCurrentLanguageAndLeavesNoFile)
{
    const struct {
        std::string address;
        const char* reason;
    } rows[] = {
        {site->WatchAddress("cutshort88"), "La conexi\xc3\xb3n se cerr\xc3\xb3 tras 1048576 de 2097152 bytes"},
        // A direct link that leads to a web page instead of a video.
        {site->FileAddress("landing.mp4"), "La direcci\xc3\xb3n lleva a una p\xc3\xa1gina web, no a un archivo."},
    };
    for (const auto& row : rows) {
        SelectLanguage("es");
        TForm2* window = Start(row.address);
        ASSERT_NE(window, nullptr);
        bool ended = WaitFor([&] { return window->btnCancelClose->text() == "Cerrar"; });
        SelectLanguage("en");
        ASSERT_TRUE(ended) << row.address;
        EXPECT_EQ(window->Label1->text(), "Fallido");
        EXPECT_EQ(window->lblTransfer->text(), QString::fromUtf8(row.reason));
        // The worker removes what it had received once it has closed.
        EXPECT_TRUE(WaitFor([&] { return folder.Names().empty(); })) << row.address;
    }
}

TEST_F(Download, TheSaveDialogAsksBeforeReplacingAFile)
{
    std::string mine = folder.File("mine.mp4");
    std::ofstream(mine) << "mine";
    int shown = 0;
    SetSaveDialogSeam([&](const TSaveDialogRequest&) -> std::optional<std::string> {
        // Declined, the dialog comes back; the user then cancels it.
        if (++shown > 1 && !answer)
            return std::nullopt;
        return mine;
    });
    EXPECT_EQ(Start(site->WatchAddress("seastack01")), nullptr);
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(FileBytes(mine), "mine");
    ASSERT_EQ(questions, std::vector<std::string>{"mine.mp4 already exists.\r\nDo you want to replace it?"});

    answer = true;
    TForm2* window = Start(site->WatchAddress("seastack01"));
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitFor([&] { return Finished(window); }));
    EXPECT_EQ(FileBytes(mine), DemoSite::StreamBytes("seastack01", "18", 3 * 1048576));
}

TEST_F(Download, AFailureThatKeptAPartOffersRetryAndClosingTheWindowRemovesThePart)
{
    std::string video = DemoSite::StreamBytes("rockroll33", "18", 60000);
    CuttingSite cutting(video);
    for (int window = 0; window < 2; ++window) {
        cutting.Pages("cut");
        for (std::size_t from = 0; from < 30000; from += 5000)
            cutting.Stream(from, from + 5000);
    }
    cutting.Stream(30000, 60000);
    cutting.Start();
    Site::SetHost(cutting.Host());

    QPointer<TForm2> first = Start(cutting.WatchAddress("cut"));
    ASSERT_NE(first, nullptr);
    ASSERT_TRUE(WaitFor([&] { return Ended(first); }));
    EXPECT_EQ(first->btnOpen->text(), "Retry");
    EXPECT_TRUE(first->btnOpen->isEnabled());
    std::string firstPart = first->UrlGrabber1->FileName() + ".part";
    EXPECT_TRUE(std::filesystem::exists(firstPart));
    first->btnCancelClose->click();
    ASSERT_TRUE(WaitFor([&] { return first.isNull(); }));
    EXPECT_FALSE(std::filesystem::exists(firstPart)) << "the user gave up on it";

    TForm2* second = Start(cutting.WatchAddress("cut"));
    ASSERT_NE(second, nullptr);
    ASSERT_TRUE(WaitFor([&] { return Ended(second); }));
    second->btnOpen->click();
    EXPECT_EQ(second->Label1->text(), "Downloading...");
    EXPECT_EQ(second->btnCancelClose->text(), "Cancel");
    ASSERT_TRUE(WaitFor([&] { return Finished(second); }));
    EXPECT_EQ(FileBytes(second->UrlGrabber1->FileName()), video);
    EXPECT_FALSE(std::filesystem::exists(second->UrlGrabber1->FileName() + ".part"));

    SelectLanguage("es");
    second->UrlGrabber1Retry(nullptr, 4, 2, 5, "");
    SelectLanguage("en");
    EXPECT_EQ(second->lblTransfer->text(), "Reintentando en 4 s (2 de 5)");
}
