#include "app/TForm2.h"

#include "app/DownloadWindowLook.h"
#include "app/HistoryRecorder.h"
#include "app/Pictures.h"
#include "app/ProgramText.h"
#include "app/Site.h"
#include "app/TDownloadSession.h"
#include "app/TransferText.h"
#include "app/UserSettings.h"
#include "framework/AttachedComponent.h"
#include "framework/DesignPalette.h"
#include "framework/DesktopNotification.h"
#include "framework/Fonts.h"
#include "framework/Guard.h"
#include "framework/QtText.h"
#include "framework/Shell.h"
#include "framework/TranslateComponent.h"
#include "framework/WindowPlacement.h"
#include "grabber/TJvHttpUrlGrabber.h"
#include "i18n/GnuGettext.h"
#include "runtime/TickCount.h"
#include "widgets/TAdvSmoothProgressBar.h"
#include "widgets/TNxHeaderPanel.h"
#include "widgets/TNxLabel.h"

#include <QApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

QString Translated(const char* msgid)
{
    return QString::fromStdU16String(TranslateText(msgid));
}

// Each download window opens beside the main window, a step further down
// and right than the windows still open there, so none hides another nor
// the address field.
void PlaceInCascade(QWidget& window, const QWidget& owner)
{
    constexpr int kSteps = 10;
    QList<QPoint> taken;
    for (const QWidget* other : owner.findChildren<TForm2*>(Qt::FindDirectChildrenOnly))
        if (other != &window && other->isVisible())
            taken.append(other->pos());
    for (int step = 0; step < kSteps; ++step) {
        MoveBeside(window, owner, step);
        if (!taken.contains(window.pos()))
            return;
    }
    MoveBeside(window, owner);
}

} // namespace

TForm2::TForm2(QWidget* owner) : TForm2(owner, std::unique_ptr<TDownloadSession>()) {}

TForm2::TForm2(QWidget* owner, TVideoSource video, std::string target)
    : TForm2(owner, std::make_unique<TDownloadSession>(std::move(video), std::move(target)))
{
    lblTitle->SetCaption(ToQt(session_->Video().Title));
    RetitleSiblings();
    StartSession();
}

// The history hears of the download before its first byte.
TForm2::TForm2(QWidget* owner, TVideoSource video, std::string target, TDownloadHistory& history,
               const TDownloadRecord& download)
    : TForm2(owner, std::make_unique<TDownloadSession>(std::move(video), std::move(target)))
{
    lblTitle->SetCaption(ToQt(session_->Video().Title));
    RetitleSiblings();
    recorder_ = std::make_unique<THistoryRecorder>(*session_, history, download);
    StartSession();
}

TForm2::TForm2(QWidget* owner, std::unique_ptr<TDownloadSession> session) : QWidget(owner), session_(std::move(session))
{
    setObjectName(QStringLiteral("Form2"));
    setAttribute(Qt::WA_DeleteOnClose);
    // A window of the dialog type: Qt names the owner as the window it is
    // transient for only for those, and window managers keep such a window
    // above its owner, as the design's owned windows stay.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Skerrow"));
    setWindowIcon(Pictures::WindowIcon());
    setFont(TahomaFont());
    setPalette(DesignPalette());
    setFixedSize(285, 201);
    if (owner)
        PlaceInCascade(*this, *owner);

    CreateComponents();
    Guarded([this] { FormCreate(this); });
    show();
    btnCancelClose->setFocus();
}

// The download stops before the window's controls go. A window closed
// before its download finished leaves no part behind: the user gave up on it.
TForm2::~TForm2()
{
    if (session_)
        session_->Cancel();
}

void TForm2::CreateComponents()
{
    NxHeaderPanel1 = new TNxHeaderPanel(this);
    NxHeaderPanel1->setObjectName(QStringLiteral("NxHeaderPanel1"));
    NxHeaderPanel1->setGeometry(0, 0, 285, 201);
    NxHeaderPanel1->SetCaption(QStringLiteral("Downloading video"));
    NxHeaderPanel1->SetHeaderFont(TahomaFont());

    Label1 = AddLabel("Label1", "Downloading...", 20, 34);
    Label1->resize(73, 13);
    lblTitle = new TNxLabel(NxHeaderPanel1);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    ApplyDownloadTitleLook(*lblTitle);
    PlaceInPanel(lblTitle);
    ProgressBar1 = new TAdvSmoothProgressBar(NxHeaderPanel1);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ApplyDownloadBarLook(*ProgressBar1);
    PlaceInPanel(ProgressBar1);
    Label2 = AddLabel("Label2", "Video Size: ", 20, 115);
    lblFileSize = AddLabel("lblFileSize", "", 140, 115);
    Label5 = AddLabel("Label5", "Transfer Rate:", 20, 134);
    lblTransfer = AddLabel("lblTransfer", "", 140, 134);
    btnCancelClose = AddButton("btnCancelClose", "Cancel", QRect(194, 164, 75, 25));
    btnOpen = AddButton("btnOpen", "Open", QRect(112, 164, 76, 25));
    btnOpen->setEnabled(false);
    setTabOrder(btnCancelClose, btnOpen);
    BindGuarded(btnCancelClose, &QPushButton::clicked, this, [this](bool) { btnCancelCloseClick(btnCancelClose); });
    BindGuarded(btnOpen, &QPushButton::clicked, this, [this](bool) { btnOpenClick(btnOpen); });
    connect(lblTitle, &TNxLabel::CaptionChanged, this, &TForm2::ShowProgressInTitle);
    tmrWait = new QTimer(this);
    tmrWait->setObjectName(QStringLiteral("tmrWait"));
    tmrWait->setInterval(250);
    connect(tmrWait, &QTimer::timeout, this, [this] { Guarded([this] { ShowWaitForServer(); }); });
    tmrWait->start();
    CreateGrabber();
}

void TForm2::CreateGrabber()
{
    if (!session_)
        idleGrabber_ = std::make_unique<TJvHttpUrlGrabber>();
    UrlGrabber1 = session_ ? &session_->Grabber() : idleGrabber_.get();
    UrlGrabber1->SetName("UrlGrabber1");
    UrlGrabber1->SetFileName("output.txt");
    UrlGrabber1->SetAgent(Site::UserAgent);
    UrlGrabber1->SetPort(0);
    UrlGrabber1->SetProxyAddresses("proxyserver");
    UrlGrabber1->SetProxyIgnoreList("<local>");
    if (session_)
        ObserveSession();
    // The window translation reaches the component through its holder.
    AttachComponent(this, UrlGrabber1);
}

// The handlers keep the component's arguments: the component is the sender.
void TForm2::ObserveSession()
{
    TDownloadEvents events;
    events.OnProgress = [this](std::int64_t position, std::int64_t total) {
        received_ = position;
        total_ = std::max<std::int64_t>(total, 0);
        bool go = true;
        Guarded([&] { UrlGrabber1Progress(UrlGrabber1, position, total, UrlGrabber1->Url(), go); });
        emit DownloadChanged();
    };
    events.OnDone = [this](const std::string& file, std::int64_t size) {
        Guarded([&] { UrlGrabber1DoneFile(UrlGrabber1, file, size, UrlGrabber1->Url()); });
        emit DownloadChanged();
    };
    events.OnFailure = [this](const std::string& reason) {
        Guarded([&] { UrlGrabber1Error(UrlGrabber1, reason); });
        emit DownloadChanged();
    };
    events.OnStart = [this] { emit DownloadChanged(); };
    events.OnCancel = [this] { emit DownloadChanged(); };
    events.OnRetry = [this](int secondsLeft, int retry, int retries, const std::string& reason) {
        Guarded([&] { UrlGrabber1Retry(UrlGrabber1, secondsLeft, retry, retries, reason); });
    };
    events.OnResume = [this](std::int64_t position, std::int64_t total) {
        Guarded([&] { UrlGrabber1Resume(UrlGrabber1, position, total); });
    };
    session_->AddObserver(std::move(events));
}

QLabel* TForm2::AddLabel(const char* name, const char* caption, int left, int top)
{
    auto* label = new QLabel(QString::fromUtf8(caption), NxHeaderPanel1);
    label->setObjectName(QString::fromLatin1(name));
    label->move(left, top);
    label->adjustSize();
    PlaceInPanel(label);
    return label;
}

QPushButton* TForm2::AddButton(const char* name, const char* caption, QRect bounds)
{
    auto* button = new QPushButton(QString::fromUtf8(caption), NxHeaderPanel1);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(bounds);
    PlaceInPanel(button);
    return button;
}

// Positions of the layout are relative to the area inside the panel's frame.
void TForm2::PlaceInPanel(QWidget* control)
{
    control->move(control->pos() + NxHeaderPanel1->ClientRect().topLeft());
}

void TForm2::FormCreate(QObject*)
{
    TranslateComponent(this);
    // The labels size themselves to their texts, translated ones included.
    for (QLabel* label : NxHeaderPanel1->findChildren<QLabel*>())
        label->adjustSize();
    firstProgress_ = true;
}

void TForm2::UrlGrabber1Progress(TObject*, std::int64_t Position, std::int64_t TotalSize, const std::string&, bool&)
{
    // The closing notices that follow a failure still report progress; the
    // reason of the failure stays where the rate was.
    if (failed_)
        return;
    stall_.Arrived(Position);
    if (waitShown_ && !stall_.SecondsLeft()) {
        waitShown_ = false;
        ShowRateLine();
    }
    if (firstProgress_) {
        startTime_ = GetTickCount();
        firstProgress_ = false;
    }
    // Unsigned subtraction keeps the interval right across the counter's wrap.
    double elapsedSeconds = static_cast<std::uint32_t>(GetTickCount() - startTime_) / 1000.0;
    if (TotalSize <= 0)
        return;
    lblFileSize->setText(ToQt(ApproximateSizeText(TotalSize)));
    lblFileSize->adjustSize();
    if (elapsedSeconds > 0) {
        std::string separator = FromQt(QLocale::system().decimalPoint());
        lblTransfer->setText(ToQt(TransferText(Position, elapsedSeconds, separator, resumedAt_)));
        lblTransfer->adjustSize();
    }
    ProgressBar1->SetMaximum(static_cast<double>(TotalSize));
    ProgressBar1->SetPosition(static_cast<double>(Position));
    percent_ = static_cast<int>(std::clamp(std::lround(100.0 * Position / TotalSize), 0L, 100L));
    ShowProgressInTitle();
}

// "34% Slow tide": the video and how far it is, on the task bar too. Two
// windows of videos with one title tell their files apart: "34% Slow tide -
// Slow tide (2).mp4".
void TForm2::ShowProgressInTitle()
{
    QString title = lblTitle->Caption().isEmpty() ? QStringLiteral("Skerrow") : lblTitle->Caption();
    if (SharesItsTitle())
        title += QStringLiteral(" - ") + QFileInfo(ToQt(Target())).fileName();
    if (percent_ >= 0)
        title = QStringLiteral("%1% %2").arg(percent_).arg(title);
    setWindowTitle(title);
}

bool TForm2::SharesItsTitle() const
{
    if (!parentWidget() || lblTitle->Caption().isEmpty())
        return false;
    for (const TForm2* other : parentWidget()->findChildren<TForm2*>(Qt::FindDirectChildrenOnly))
        if (other != this && other->lblTitle->Caption() == lblTitle->Caption())
            return true;
    return false;
}

// A new window's title may be one an older window already shows.
void TForm2::RetitleSiblings()
{
    if (!parentWidget())
        return;
    for (TForm2* window : parentWidget()->findChildren<TForm2*>(Qt::FindDirectChildrenOnly))
        window->ShowProgressInTitle();
}

// A download that ends while the user looks elsewhere asks for attention and
// says so on the desktop, with a button that opens the downloads window.
void TForm2::TellTheUserWhenAway(const char* summary)
{
    if (isActiveWindow())
        return;
    QApplication::alert(this);
    TNotificationAction showDownloads;
    if (OnShowDownloads)
        showDownloads = {QStringLiteral("downloads"), Translated("Show downloads"), OnShowDownloads};
    NotifyDesktop(Translated(summary), lblTitle->Caption(), showDownloads);
}

void TForm2::UrlGrabber1DoneFile(TObject*, const std::string&, std::int64_t, const std::string&)
{
    ShowOutcome("Finished");
    btnOpen->setEnabled(true);
    TellTheUserWhenAway("Download finished");
}

// A failed download says so, with the engine's reason where the rate was,
// instead of waiting at "Downloading..." for ever. When the engine kept what
// arrived, Open becomes Retry and continues from there.
void TForm2::UrlGrabber1Error(TObject*, const std::string& ErrorMsg)
{
    failed_ = true;
    ShowOutcome("Failed");
    ShowReason(ErrorMsg);
    retryOffered_ = session_ && session_->PartKept();
    btnOpen->setText(Translated(retryOffered_ ? "Retry" : "Open"));
    btnOpen->setEnabled(retryOffered_);
    TellTheUserWhenAway("Download failed");
}

void TForm2::ShowReason(const std::string& reason)
{
    ShowWideLine(ToQt(reason));
    lblTransfer->setToolTip(ToQt(reason));
}

void TForm2::ShowWideLine(const QString& text)
{
    Label5->hide();
    lblTransfer->setWordWrap(true);
    lblTransfer->setGeometry(Label5->x(), Label5->y(), lblTitle->width(), btnOpen->y() - Label5->y() - 2);
    lblTransfer->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblTransfer->setText(text);
}

void TForm2::ShowRateLine()
{
    Label5->show();
    lblTransfer->setWordWrap(false);
    lblTransfer->setToolTip(QString());
    lblTransfer->setText(QString());
    lblTransfer->move(lblFileSize->x(), Label5->y());
    lblTransfer->adjustSize();
}

void TForm2::ShowWaitForServer()
{
    if (recorder_)
        recorder_->Flush();
    if (ended_ || failed_)
        return;
    const std::optional<int> left = stall_.SecondsLeft();
    if (!left)
        return;
    waitShown_ = true;
    ShowWideLine(ToQt(WaitingText(*left)));
}

void TForm2::EndWaitForServer()
{
    stall_.Stop();
    if (std::exchange(waitShown_, false))
        ShowRateLine();
}

// "Retrying in 4 s (2 of 5)" where the rate was, while the engine waits.
void TForm2::UrlGrabber1Retry(TObject*, int SecondsLeft, int Retry, int Retries, const std::string& Reason)
{
    EndWaitForServer();
    lblTransfer->setText(ToQt(Tr("Retrying in %s s (%s of %s)",
                                 {std::to_string(SecondsLeft), std::to_string(Retry), std::to_string(Retries)})));
    lblTransfer->setToolTip(ToQt(Reason));
    lblTransfer->adjustSize();
}

// The rate counts only what arrives in this run.
void TForm2::UrlGrabber1Resume(TObject*, std::int64_t Position, std::int64_t)
{
    if (firstProgress_)
        resumedAt_ = Position;
}

void TForm2::ShowDownloading()
{
    failed_ = false;
    ended_ = false;
    retryOffered_ = false;
    Label1->setPalette(palette());
    Label1->setFont(TahomaFont());
    Label1->setText(Translated("Downloading..."));
    Label1->adjustSize();
    ShowRateLine();
    btnCancelClose->setText(Translated("Cancel"));
    btnOpen->setText(Translated("Open"));
    btnOpen->setEnabled(false);
}

void TForm2::StartSession()
{
    if (std::optional<int> connections = UserSettings::Connections())
        session_->SetConnections(*connections);
    session_->Start();
}

void TForm2::RetryDownload()
{
    ShowDownloading();
    firstProgress_ = true;
    resumedAt_ = 0;
    session_->Start();
}

void TForm2::ShowOutcome(const std::string& status)
{
    ended_ = true;
    EndWaitForServer();
    QPalette outcome = Label1->palette();
    outcome.setColor(QPalette::WindowText, ToQColor(DownloadWindowColors::Outcome));
    Label1->setPalette(outcome);
    Label1->setFont(TahomaFont(QFont::Bold));
    Label1->setText(Translated(status.c_str()));
    Label1->adjustSize();
    btnCancelClose->setText(Translated("Close"));
}

// Cancel stops and leaves neither file nor part.
void TForm2::btnCancelCloseClick(QObject*)
{
    if (btnCancelClose->text() == Translated("Close")) {
        close();
        return;
    }
    if (session_)
        session_->Cancel();
    ShowOutcome("Cancelled");
}

bool TForm2::Running() const
{
    return !ended_ && session_ && session_->Running();
}

std::int64_t TForm2::HistoryId() const
{
    return recorder_ ? recorder_->Id() : 0;
}

void TForm2::Retry()
{
    if (retryOffered_)
        RetryDownload();
}

std::string TForm2::Target() const
{
    return session_ ? session_->Target() : UrlGrabber1->FileName();
}

// Escape acts as the Cancel/Close button.
void TForm2::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        btnCancelClose->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TForm2::btnOpenClick(QObject*)
{
    if (retryOffered_) {
        RetryDownload();
        return;
    }
    ShellExecute({this, "open", UrlGrabber1->FileName()});
}
