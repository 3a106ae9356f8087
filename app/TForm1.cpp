#include "app/TForm1.h"

#include "app/AddressKind.h"
#include "app/Language.h"
#include "app/MainWindowColors.h"
#include "app/Pictures.h"
#include "app/ProgramText.h"
#include "app/Site.h"
#include "app/TForm2.h"
#include "app/TFormDownloads.h"
#include "app/UserSettings.h"
#include "app/VideoLookup.h"
#include "app/VideoQuality.h"
#include "clipboard/TJvClipboardMonitor.h"
#include "framework/AboutBox.h"
#include "framework/DesignLook.h"
#include "framework/DesignPalette.h"
#include "framework/Fonts.h"
#include "framework/Guard.h"
#include "framework/LauncherEntry.h"
#include "framework/MessageBox.h"
#include "framework/QtText.h"
#include "framework/Shell.h"
#include "framework/TAlignLayout.h"
#include "framework/TImage.h"
#include "framework/TSaveDialog.h"
#include "framework/TSizeConstraints.h"
#include "framework/TranslateComponent.h"
#include "framework/WindowPlacement.h"
#include "history/TDownloadHistory.h"
#include "i18n/GnuGettext.h"
#include "widgets/TNxHeaderPanel.h"
#include "widgets/TNxHtmlLabel.h"
#include "widgets/TNxLabel.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScreen>
#include <QShortcut>
#include <QUrl>

#include <algorithm>

namespace {

template <typename Control>
Control* Named(Control* control, const char* name)
{
    control->setObjectName(QString::fromLatin1(name));
    return control;
}

QRadioButton* Choice(QWidget* parent, const char* name, const char* caption, int top)
{
    auto* choice = Named(new QRadioButton(QString::fromUtf8(caption), parent), name);
    choice->setGeometry(21, top, 220, 17);
    return choice;
}

} // namespace

TForm1::TForm1()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Skerrow"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowIcon(Pictures::WindowIcon());
    setFont(TahomaFont());
    setPalette(DesignPalette());
    HoldDesignLook();
    resize(707, 292);
    launcher_ = std::make_unique<TLauncherEntry>();

    auto* layout = new TAlignLayout(this);
    CreateBand();
    CreateStepPanels();
    CreateDownloadsLink();
    layout->AddAligned(Panel1, alTop);
    layout->AddAligned(NxHeaderPanel3, alBottom);
    layout->AddAligned(NxHeaderPanel1, alClient);
    SaveDialog1 = new TSaveDialog(this, QStringLiteral("SaveDialog1"));
    JvClipboardMonitor1 = new TJvClipboardMonitor(this, QStringLiteral("JvClipboardMonitor1"));

    new TSizeConstraints(this, QSize(680, 319), QSize(715, 340));
    BindEvents();
    BindKeyboard();
    // An address dropped anywhere on the window, the field included, fills
    // the field.
    setAcceptDrops(true);
    Edit1->setAcceptDrops(false);
    if (std::optional<TVideoQuality> quality = UserSettings::Quality())
        ChoiceFor(*quality)->setChecked(true);
    PlaceAsRemembered();
    Guarded([this] { FormCreate(this); });
}

// Resolutions still going on are abandoned before anything they could
// report to goes; the windows go before the history they write and read.
TForm1::~TForm1()
{
    lookups_.clear();
    // Download windows write their last word into the history and the
    // launcher entry, which go with this window.
    qDeleteAll(findChildren<TForm2*>(Qt::FindDirectChildrenOnly));
    delete downloads_;
}

void TForm1::CreateBand()
{
    Panel1 = Named(new QWidget(this), "Panel1");
    Panel1->setGeometry(0, 0, 707, 52);
    Panel1->setAutoFillBackground(true);
    QPalette white = Panel1->palette();
    white.setColor(QPalette::Window, ToQColor(MainWindowColors::Band));
    Panel1->setPalette(white);
    auto* band = new TAlignLayout(Panel1);
    band->setContentsMargins(1, 1, 1, 1);

    imgHelp = new TImage(Panel1, QStringLiteral("imgHelp"));
    imgHelp->setGeometry(685, 3, 16, 45);
    imgHelp->SetPicture(&Pictures::HelpGlyph);
    imgHelp->SetHint(QStringLiteral("About Skerrow"));
    imgHelp->SetHandCursor();
    imgEN = new TImage(Panel1, QStringLiteral("imgEN"));
    imgEN->setGeometry(646, 6, 16, 42);
    imgEN->SetPicture(&Pictures::EnglishFlag);
    imgEN->SetHint(QString::fromUtf8("English - Inglés"));
    imgEN->SetHandCursor();
    imgES = new TImage(Panel1, QStringLiteral("imgES"));
    imgES->setGeometry(622, 6, 16, 42);
    imgES->SetPicture(&Pictures::SpanishFlag);
    imgES->SetHint(QString::fromUtf8("Spanish - Español"));
    imgES->SetHandCursor();
    img = new TImage(Panel1, QStringLiteral("img"));
    img->setGeometry(1, 1, 618, 50);
    img->SetPicture(&Pictures::Banner);

    // Right-aligned controls are placed from the right edge inwards.
    band->AddAligned(imgHelp, alRight, QMargins(3, 2, 5, 3));
    band->AddAligned(imgEN, alRight, QMargins(3, 5, 20, 3));
    band->AddAligned(imgES, alRight, QMargins(3, 5, 5, 3));
    band->AddAligned(img, alClient);
}

void TForm1::CreateStepPanels()
{
    NxHeaderPanel1 = Named(new TNxHeaderPanel(this), "NxHeaderPanel1");
    NxHeaderPanel1->setGeometry(0, 52, 707, 170);
    NxHeaderPanel1->SetCaption(QStringLiteral("Step 1: Enter Video URL"));
    NxHeaderPanel3 = Named(new TNxHeaderPanel(this), "NxHeaderPanel3");
    NxHeaderPanel3->setGeometry(0, 222, 707, 70);
    NxHeaderPanel3->SetCaption(QStringLiteral("Step 2: Download Video!"));
    for (TNxHeaderPanel* panel : {NxHeaderPanel1, NxHeaderPanel3}) {
        panel->SetHeaderSize(22);
        panel->SetAdaptiveColors(false);
        panel->SetHeaderColor(MainWindowColors::StepHeader);
        panel->SetBorderColor(MainWindowColors::NextStepFrame);
        panel->SetHeaderFont(TahomaFont());
    }
    NxHeaderPanel3->SetBorderWidth(0);

    CreateAddressGroup();
    CreateQualityGroup();
    auto* step1 = new TAlignLayout(NxHeaderPanel1);
    step1->AddAligned(GroupBox1, alRight, {}, 120);
    step1->AddAligned(GroupBox2, alClient, {}, 406);
    CreateStartButton();
}

void TForm1::CreateAddressGroup()
{
    GroupBox2 = Named(new QGroupBox(QStringLiteral(" Video URL : "), NxHeaderPanel1), "GroupBox2");
    GroupBox2->setGeometry(9, 27, 430, 137);
    Edit1 = Named(new QLineEdit(GroupBox2), "Edit1");
    Edit1->setGeometry(13, 40, 378, 21);
    NxHtmlLabel1 = Named(new TNxHtmlLabel(GroupBox2), "NxHtmlLabel1");
    NxHtmlLabel1->setGeometry(13, 114, 228, 17);
    NxHtmlLabel1->SetCaption(ToQt("<a href=\"http://" + Site::Host() + "\">Open YouTube in browser</a>"));
}

void TForm1::CreateQualityGroup()
{
    GroupBox1 = Named(new QGroupBox(QStringLiteral(" Video Quality : "), NxHeaderPanel1), "GroupBox1");
    GroupBox1->setGeometry(439, 27, 258, 137);
    chkNormal = Choice(GroupBox1, "chkNormal", "Normal - FLV", 22);
    chkMobile = Choice(GroupBox1, "chkMobile", "Mobile Phone  - 3GP", 46);
    chkHQ = Choice(GroupBox1, "chkHQ", "HQ (High Quality) - MP4 480x360", 69);
    chkHD = Choice(GroupBox1, "chkHD", "HD (High Definition)  - MP4 1280x720", 92);
    chkHQ->setChecked(true);
    // The keyboard visits them in a different order than they stand.
    setTabOrder(chkNormal, chkHQ);
    setTabOrder(chkHQ, chkHD);
    setTabOrder(chkHD, chkMobile);
}

void TForm1::CreateStartButton()
{
    btnDownload = Named(new QPushButton(QStringLiteral("START"), NxHeaderPanel3), "btnDownload");
    btnDownload->setGeometry(9, 27, 690, 39);
    btnDownload->setEnabled(false);
    auto* step2 = new TAlignLayout(NxHeaderPanel3);
    step2->AddAligned(btnDownload, alClient);

    lblLookingUp = Named(new QLabel(QStringLiteral("Looking up the video..."), NxHeaderPanel3), "lblLookingUp");
    lblLookingUp->setFont(TahomaFont());
    QPalette caption = lblLookingUp->palette();
    caption.setColor(QPalette::WindowText, ToQColor(NxHeaderPanel3->CaptionColor()));
    lblLookingUp->setPalette(caption);
    lblLookingUp->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblLookingUp->hide();
    connect(NxHeaderPanel3, &TNxHeaderPanel::ClientAreaChanged, this, [this] { PlaceLookingUp(); });
    PlaceLookingUp();
}

// At the right end of the panel's band, across from its caption.
void TForm1::PlaceLookingUp()
{
    lblLookingUp->setGeometry(NxHeaderPanel3->HeaderRect().adjusted(NxHeaderPanel3->width() / 2, 0, -8, 0));
}

void TForm1::BindEvents()
{
    BindGuarded(Edit1, &QLineEdit::textChanged, this, [this](const QString&) { Edit1Change(Edit1); });
    BindGuarded(btnDownload, &QPushButton::clicked, this, [this](bool) { btnDownloadClick(btnDownload); });
    imgES->OnClick = [this](QObject* sender) { imgESClick(sender); };
    imgEN->OnClick = [this](QObject* sender) { imgENClick(sender); };
    imgHelp->OnClick = [this](QObject* sender) { imgHelpClick(sender); };
    NxHtmlLabel1->OnClick = [this](QObject* sender) { NxHtmlLabel1Click(sender); };
    JvClipboardMonitor1->OnChange = [this](QObject* sender) { JvClipboardMonitor1Change(sender); };
    for (QRadioButton* choice : QualityChoices())
        BindGuarded(choice, &QRadioButton::toggled, this, [this](bool checked) {
            if (checked)
                UserSettings::SetQuality(ChosenQuality());
        });
}

void TForm1::BindKeyboard()
{
    // Enter in the address field starts, as the button would.
    BindGuarded(Edit1, &QLineEdit::returnPressed, this, [this] {
        if (btnDownload->isEnabled())
            btnDownload->click();
    });
    // Tab enters the quality group at the chosen button; the arrow keys move
    // within it.
    auto followChoice = [this] {
        for (QRadioButton* choice : QualityChoices())
            choice->setFocusPolicy(choice->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
    };
    for (QRadioButton* choice : QualityChoices())
        connect(choice, &QRadioButton::toggled, this, followChoice);
    followChoice();
    // The band's pictures come after START, from left to right.
    for (TImage* picture : {imgES, imgEN, imgHelp})
        picture->setFocusPolicy(Qt::TabFocus);
    setTabOrder(btnDownload, imgES);
    setTabOrder(imgES, imgEN);
    setTabOrder(imgEN, imgHelp);
}

void TForm1::PlaceCentred()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect desktop = screen->availableGeometry();
    QSize outer = size().grownBy(TSizeConstraints::AssumedFrame);
    move(desktop.center() - QPoint(outer.width() / 2, outer.height() / 2));
}

// Where the window was last left, as long as that is still on a screen (a
// screen may have gone since); kept whole inside that screen.
void TForm1::PlaceAsRemembered()
{
    std::optional<QPoint> remembered = UserSettings::MainWindowPosition();
    QScreen* screen = remembered ? QGuiApplication::screenAt(*remembered) : nullptr;
    if (!screen) {
        PlaceCentred();
        return;
    }
    QRect desktop = screen->availableGeometry();
    QSize outer = size().grownBy(TSizeConstraints::AssumedFrame);
    move(std::clamp(remembered->x(), desktop.left(), std::max(desktop.left(), desktop.right() + 1 - outer.width())),
         std::clamp(remembered->y(), desktop.top(), std::max(desktop.top(), desktop.bottom() + 1 - outer.height())));
}

void TForm1::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    // Only moves of the shown window are the user's; placing it is not.
    if (isVisible())
        UserSettings::SetMainWindowPosition(pos());
}

void TForm1::TakeAddress(const QString& address)
{
    Edit1->setText(address);
}

void TForm1::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Guarded([this] { FormActivate(this); });
}

void TForm1::FormCreate(QObject*)
{
    TranslateComponent(this);
}

void TForm1::FormActivate(QObject*)
{
    Edit1->setFocus();
}

void TForm1::Edit1Change(QObject*)
{
    btnDownload->setEnabled(AddressKind(CompletedAddress(FromQt(Edit1->text()))) != akNone);
    ShowWhyNotAnAddress();
    // The panel of the step the user must do next carries the red frame.
    bool step2 = btnDownload->isEnabled();
    NxHeaderPanel3->SetBorderWidth(step2 ? 1 : 0);
    NxHeaderPanel1->SetBorderWidth(step2 ? 0 : 1);
}

void TForm1::ShowWhyNotAnAddress()
{
    const std::string why = WhyNotAnAddress(FromQt(Edit1->text()));
    Edit1->setToolTip(why.empty() ? QString() : ToQt(Tr(why.c_str())));
}

// The clipboard is read afresh for every test of the rule and for the copy:
// nothing of it is remembered between notices.
void TForm1::JvClipboardMonitor1Change(QObject*)
{
    auto clipboardText = [] { return FromQt(QGuiApplication::clipboard()->text()); };
    if (!TakenFromClipboard(AddressKind(clipboardText)))
        return;
    Edit1->setText(ToQt(clipboardText()));
}

// Resolves the address (a watch page, a direct link or another page) into a
// download on a worker thread; the window goes on answering meanwhile, and
// START can take another address.
void TForm1::btnDownloadClick(QObject*)
{
    std::string text = CompletedAddress(FromQt(Edit1->text()));
    Edit1->clear();
    const TVideoQuality quality = ChosenQuality();
    LookUp(text, quality, [this, text, quality](const TResolution& resolution) {
        bool started = false;
        // Back before a failure is shown, so the field holds it behind the
        // message.
        auto giveBack = qScopeGuard([&] {
            if (!started)
                GiveBackAddress(text);
        });
        started = SaveResolvedVideo(resolution, text, quality);
    });
}

void TForm1::LookUp(const std::string& address, TVideoQuality quality, TResolvedAction then)
{
    auto resolved = [this, then](TVideoLookup& lookup, TResolution resolution) {
        LookupResolved(lookup, std::move(resolution), then);
    };
    lookups_.push_back(std::make_unique<TVideoLookup>(*this, ReadVideoAddress(address), quality, CurrentLanguage(),
                                                      Site::Host(), PageBounds(), resolved));
    ShowLookups();
}

// What to do next is a copy: the lookup that held it, with the handler
// that called here, goes first.
void TForm1::LookupResolved(TVideoLookup& lookup, TResolution resolution, TResolvedAction then)
{
    std::erase_if(lookups_, [&](const auto& held) { return held.get() == &lookup; });
    ShowLookups();
    Guarded([&] { then(resolution); });
}

void TForm1::GiveBackAddress(const std::string& address)
{
    if (Edit1->text().isEmpty())
        Edit1->setText(ToQt(address));
}

// Asks where to save the video and opens a download window that runs it.
// A failure, the site's answer without a video included, leaves through the
// failure display; a cancelled dialog ends it without a word.
bool TForm1::SaveResolvedVideo(const TResolution& resolution, const std::string& address, TVideoQuality quality)
{
    if (resolution.Failure)
        std::rethrow_exception(resolution.Failure);
    const TVideoSource& video = *resolution.Video;
    SaveDialog1->SetFileName(video.ProposedFileName);
    SaveDialog1->SetInitialDir(FromQt(UserSettings::SaveFolder()));
    if (!SaveDialog1->Execute(this))
        return false;
    UserSettings::SetSaveFolder(QFileInfo(ToQt(SaveDialog1->FileName())).absolutePath());
    TDownloadRecord download;
    download.Address = address;
    download.Quality = QualityName(quality);
    OpenDownloadWindow(video, SaveDialog1->FileName(), download);
    return true;
}

// The window runs the download and writes it into the history; the
// launcher entry follows it.
TForm2* TForm1::OpenDownloadWindow(const TVideoSource& video, const std::string& target,
                                   const TDownloadRecord& download)
{
    auto* window = new TForm2(this, video, target, History(), download);
    window->OnShowDownloads = [form = QPointer<TForm1>(this)] {
        if (form)
            form->ShowDownloads();
    };
    connect(window, &TForm2::DownloadChanged, this, [this] { ShowTaskbarProgress(); });
    ShowTaskbarProgress();
    return window;
}

// Retry in the downloads window: a download whose window is open retries
// there; one of an earlier run or of the command line is looked up again
// and downloaded into the same file, which continues the part it kept.
void TForm1::RetryFromHistory(const TDownloadRecord& download)
{
    for (TForm2* window : findChildren<TForm2*>(Qt::FindDirectChildrenOnly)) {
        if (window->HistoryId() != download.Id)
            continue;
        window->Retry();
        window->raise();
        window->activateWindow();
        return;
    }
    const TVideoQuality quality = QualityNamed(download.Quality).value_or(vqHighQuality);
    LookUp(download.Address, quality, [this, download](const TResolution& resolution) {
        if (resolution.Failure)
            std::rethrow_exception(resolution.Failure);
        OpenDownloadWindow(*resolution.Video, download.File, download);
    });
}

// The running downloads' count and joint progress, on the desktop's
// launcher entry; only downloads of a known size weigh in the progress.
void TForm1::ShowTaskbarProgress()
{
    int running = 0;
    std::int64_t received = 0;
    std::int64_t total = 0;
    for (const TForm2* window : findChildren<TForm2*>(Qt::FindDirectChildrenOnly)) {
        if (!window->Running())
            continue;
        ++running;
        if (window->Total() > 0) {
            received += window->Received();
            total += window->Total();
        }
    }
    launcher_->Show(running, total > 0 ? static_cast<double>(received) / static_cast<double>(total) : 0.0);
}

void TForm1::SetLauncherEntry(std::unique_ptr<TLauncherEntry> entry)
{
    launcher_ = std::move(entry);
}

void TForm1::ShowLookups()
{
    lblLookingUp->setVisible(!lookups_.empty());
}

int TForm1::RunningDownloads() const
{
    int running = 0;
    for (const TForm2* download : findChildren<TForm2*>(Qt::FindDirectChildrenOnly))
        if (download->Running())
            ++running;
    return running;
}

// Closing the main window ends every download it owns, so it asks first.
void TForm1::closeEvent(QCloseEvent* event)
{
    int running = RunningDownloads();
    if (running > 0 && !AskToStopDownloads(running)) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

bool TForm1::AskToStopDownloads(int running)
{
    TMessageBoxRequest request;
    request.Owner = this;
    request.Text = running == 1 ? Tr("1 download is still running. Stop it and quit?")
                                : Tr("%s downloads are still running. Stop them and quit?", {std::to_string(running)});
    request.Caption = Application().Title();
    request.Icon = mbiQuestion;
    return AskQuestion(request);
}

std::array<QRadioButton*, 4> TForm1::QualityChoices() const
{
    return {chkNormal, chkMobile, chkHQ, chkHD};
}

QRadioButton* TForm1::ChoiceFor(TVideoQuality quality) const
{
    // The command line's other qualities have no button: the default's.
    switch (quality.Kind) {
    case vqNormal: return chkNormal;
    case vqMobile: return chkMobile;
    case vqHighDefinition: return chkHD;
    default: break;
    }
    return chkHQ;
}

TVideoQuality TForm1::ChosenQuality() const
{
    if (chkNormal->isChecked())
        return vqNormal;
    if (chkMobile->isChecked())
        return vqMobile;
    if (chkHD->isChecked())
        return vqHighDefinition;
    return vqHighQuality;
}

void TForm1::imgESClick(QObject*)
{
    SwitchTo("es");
}

void TForm1::imgENClick(QObject*)
{
    SwitchTo("en");
}

void TForm1::SwitchTo(const std::string& language)
{
    SwitchLanguage(language);
    RetranslateComponent(this);
    ShowWhyNotAnAddress();
    PlaceDownloadsLink();
}

void TForm1::imgHelpClick(QObject*)
{
    ShowAbout();
}

void TForm1::ShowAbout()
{
    TAboutRequest about;
    about.Owner = this;
    about.Caption = Tr("About Skerrow");
    about.Title = std::string("Skerrow ") + SKERROW_VERSION;
    about.Lines = {Tr("A small desktop video saver for Linux."), Tr("Licence: proprietary; all rights reserved.")};
    about.HelpText = Tr("Help and news:");
    about.HelpAddress = "http://" + Site::MakerHost() + "/skerrow/";
    ShowAboutBox(about);
}

void TForm1::NxHtmlLabel1Click(QObject*)
{
    ShellExecute({this, "", "http://" + Site::Host()});
}

// A small link at the band's foot, under the flags and the help picture;
// Ctrl+D does the same from anywhere in the window.
void TForm1::CreateDownloadsLink()
{
    lblDownloads = Named(new TNxHtmlLabel(Panel1), "lblDownloads");
    lblDownloads->SetAutoSize(true);
    lblDownloads->SetCaption(QStringLiteral("<a href=\"downloads\">Downloads</a>"));
    lblDownloads->OnClick = [this](QObject* sender) { lblDownloadsClick(sender); };
    auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_D), this);
    connect(shortcut, &QShortcut::activated, this, [this] { Guarded([this] { ShowDownloads(); }); });
    setTabOrder(imgHelp, lblDownloads);
    PlaceDownloadsLink();
}

// Right-aligned with the help picture, whatever the width of the window and
// of the caption in the current language.
void TForm1::PlaceDownloadsLink()
{
    lblDownloads->move(imgHelp->geometry().right() + 1 - lblDownloads->width(),
                       Panel1->height() - 4 - lblDownloads->height());
}

void TForm1::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    PlaceDownloadsLink();
}

void TForm1::lblDownloadsClick(QObject*)
{
    ShowDownloads();
}

void TForm1::ShowDownloads()
{
    if (!downloads_) {
        downloads_ = new TFormDownloads(this, History());
        downloads_->OnRetry = [this](const TDownloadRecord& download) { RetryFromHistory(download); };
        MoveBeside(*downloads_, *this);
    }
    downloads_->show();
    downloads_->raise();
    downloads_->activateWindow();
}

TDownloadHistory& TForm1::History()
{
    if (history_)
        return *history_;
    history_ = std::make_unique<TDownloadHistory>();
    if (!history_->DamagedSetAside().empty()) {
        TMessageBoxRequest request;
        request.Owner = this;
        request.Text = Tr("The download history was damaged. It was put aside as %s and a new one started.",
                          {history_->DamagedSetAside()});
        request.Caption = Application().Title();
        request.Icon = mbiWarning;
        ShowMessageBox(request);
    }
    return *history_;
}

// The first address of a list of them (text/uri-list), or the first line of
// plain text, fills the field as a paste would.
void TForm1::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls() || event->mimeData()->hasText())
        event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event)
{
    const QMimeData* dropped = event->mimeData();
    QString address;
    if (dropped->hasUrls() && !dropped->urls().isEmpty())
        address = dropped->urls().front().toString();
    else
        address = dropped->text().section(QLatin1Char('\n'), 0, 0, QString::SectionSkipEmpty).trimmed();
    if (address.isEmpty())
        return;
    Edit1->setText(address);
    event->acceptProposedAction();
    activateWindow();
    Edit1->setFocus();
}
