#include "app/TFormDownloads.h"

#include "app/DownloadRowText.h"
#include "app/Pictures.h"
#include "app/ProgramText.h"
#include "framework/DesignPalette.h"
#include "framework/Fonts.h"
#include "framework/Guard.h"
#include "framework/QtText.h"
#include "framework/Shell.h"
#include "framework/TranslateComponent.h"
#include "history/TDownloadHistory.h"
#include "i18n/GnuGettext.h"
#include "widgets/TNxHeaderPanel.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLocale>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

enum TColumn { colTitle, colFile, colSize, colState, colDate, kColumns };

QString DateText(std::int64_t seconds)
{
    const QLocale language(ToQt(CurrentLanguage()));
    return language.toString(QDateTime::fromSecsSinceEpoch(seconds), QLocale::ShortFormat);
}

QPushButton* AddButton(QWidget* parent, QHBoxLayout* row, const char* name, const char* caption)
{
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setMinimumWidth(75);
    row->addWidget(button);
    return button;
}

} // namespace

TFormDownloads::TFormDownloads(QWidget* owner, TDownloadHistory& history) : QWidget(owner), history_(history)
{
    setObjectName(QStringLiteral("FormDownloads"));
    setWindowFlags(Qt::Window);
    setWindowTitle(QStringLiteral("Downloads"));
    setWindowIcon(Pictures::WindowIcon());
    setFont(TahomaFont());
    setPalette(DesignPalette());
    resize(820, 340);
    setMinimumSize(480, 220);

    NxHeaderPanel1 = new TNxHeaderPanel(this);
    NxHeaderPanel1->setObjectName(QStringLiteral("NxHeaderPanel1"));
    NxHeaderPanel1->SetCaption(QStringLiteral("Downloads"));
    NxHeaderPanel1->SetHeaderFont(TahomaFont());
    auto* window = new QVBoxLayout(this);
    window->setContentsMargins(0, 0, 0, 0);
    window->addWidget(NxHeaderPanel1);
    auto* panel = new QVBoxLayout(NxHeaderPanel1);
    panel->setContentsMargins(8, 8, 8, 8);
    CreateList();
    panel->addWidget(lvDownloads);
    CreateButtons();

    tmrFollow = new QTimer(this);
    tmrFollow->setObjectName(QStringLiteral("tmrFollow"));
    tmrFollow->setInterval(kFollowMilliseconds);
    connect(tmrFollow, &QTimer::timeout, this, [this] { Guarded([this] { tmrFollowTimer(tmrFollow); }); });
    Guarded([this] { FormCreate(this); });
}

TFormDownloads::~TFormDownloads() = default;

void TFormDownloads::CreateList()
{
    lvDownloads = new QTreeWidget(NxHeaderPanel1);
    lvDownloads->setObjectName(QStringLiteral("lvDownloads"));
    lvDownloads->setColumnCount(kColumns);
    lvDownloads->setRootIsDecorated(false);
    lvDownloads->setUniformRowHeights(true);
    lvDownloads->setAlternatingRowColors(true);
    lvDownloads->setSelectionMode(QAbstractItemView::SingleSelection);
    lvDownloads->setAllColumnsShowFocus(true);
    // The title takes what the sizes, states and dates leave; a long reason
    // of a failure is cut in the list and read whole in its tooltip.
    QHeaderView* header = lvDownloads->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(colTitle, QHeaderView::Stretch);
    lvDownloads->setColumnWidth(colFile, 160);
    lvDownloads->setColumnWidth(colState, 210);
    for (TColumn column : {colSize, colDate})
        header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    BindGuarded(lvDownloads, &QTreeWidget::itemSelectionChanged, this, [this] { lvDownloadsSelect(lvDownloads); });
    BindGuarded(lvDownloads, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem*, int) {
        if (btnOpen->isEnabled())
            btnOpen->click();
    });
}

void TFormDownloads::CreateButtons()
{
    auto* row = new QHBoxLayout;
    btnOpen = AddButton(NxHeaderPanel1, row, "btnOpen", "Open");
    btnOpenFolder = AddButton(NxHeaderPanel1, row, "btnOpenFolder", "Open folder");
    btnRetry = AddButton(NxHeaderPanel1, row, "btnRetry", "Retry");
    btnRemove = AddButton(NxHeaderPanel1, row, "btnRemove", "Remove from the list");
    row->addStretch();
    btnClose = AddButton(NxHeaderPanel1, row, "btnClose", "Close");
    static_cast<QVBoxLayout*>(NxHeaderPanel1->layout())->addLayout(row);
    BindGuarded(btnOpen, &QPushButton::clicked, this, [this](bool) { btnOpenClick(btnOpen); });
    BindGuarded(btnOpenFolder, &QPushButton::clicked, this, [this](bool) { btnOpenFolderClick(btnOpenFolder); });
    BindGuarded(btnRetry, &QPushButton::clicked, this, [this](bool) { btnRetryClick(btnRetry); });
    BindGuarded(btnRemove, &QPushButton::clicked, this, [this](bool) { btnRemoveClick(btnRemove); });
    BindGuarded(btnClose, &QPushButton::clicked, this, [this](bool) { close(); });
}

void TFormDownloads::FormCreate(QObject*)
{
    TranslateComponent(this);
    shownLanguage_ = CurrentLanguage();
    ShowHeaders();
    Refresh();
}

// The history is followed while the window shows it.
void TFormDownloads::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    Refresh();
    tmrFollow->start();
}

void TFormDownloads::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    tmrFollow->stop();
}

void TFormDownloads::ShowHeaders()
{
    lvDownloads->setHeaderLabels(
        {ToQt(Tr("Title")), ToQt(Tr("File")), ToQt(Tr("Size")), ToQt(Tr("State")), ToQt(Tr("Date"))});
}

// The history is read again when it changed, in this process or another;
// when a running row's process died without a word (its row then shows
// how it ended); and when the language changed.
void TFormDownloads::tmrFollowTimer(QObject*)
{
    if (CurrentLanguage() != shownLanguage_) {
        shownLanguage_ = CurrentLanguage();
        RetranslateComponent(this);
        ShowHeaders();
        Refresh();
        return;
    }
    if (history_.ChangeCount() != shownChanges_ || RunningRowOrphaned())
        Refresh();
}

bool TFormDownloads::RunningRowOrphaned() const
{
    return std::any_of(rows_.begin(), rows_.end(), [](const TDownloadRecord& download) {
        return download.State == dsRunning && !download.OwnerGone && !download.Owner.Alive();
    });
}

// Rows are filled in place, so the chosen one and the scroll position stay.
void TFormDownloads::Refresh()
{
    const std::optional<TDownloadRecord> chosen = Chosen();
    shownChanges_ = history_.ChangeCount();
    rows_ = history_.Newest();
    const int count = static_cast<int>(rows_.size());
    while (lvDownloads->topLevelItemCount() > count)
        delete lvDownloads->takeTopLevelItem(lvDownloads->topLevelItemCount() - 1);
    while (lvDownloads->topLevelItemCount() < count)
        lvDownloads->addTopLevelItem(new QTreeWidgetItem);
    for (int index = 0; index < count; ++index)
        ShowRow(index, rows_[static_cast<std::size_t>(index)]);
    lvDownloads->clearSelection();
    if (chosen)
        Choose(chosen->Id);
    EnableActions();
}

void TFormDownloads::ShowRow(int index, const TDownloadRecord& download)
{
    QTreeWidgetItem* item = lvDownloads->topLevelItem(index);
    item->setData(colTitle, Qt::UserRole, QVariant::fromValue<qint64>(download.Id));
    item->setText(colTitle, ToQt(download.Title.empty() ? FileNameText(download) : download.Title));
    item->setToolTip(colTitle, ToQt(download.Address));
    item->setText(colFile, ToQt(FileNameText(download)));
    item->setToolTip(colFile, ToQt(download.File));
    item->setText(colSize, ToQt(SizeText(download)));
    const QString state = ToQt(StateText(download));
    item->setText(colState, state);
    item->setToolTip(colState, state);
    item->setText(colDate, DateText(download.Started));
}

std::optional<TDownloadRecord> TFormDownloads::Chosen() const
{
    const QList<QTreeWidgetItem*> selected = lvDownloads->selectedItems();
    if (selected.isEmpty())
        return std::nullopt;
    const int index = lvDownloads->indexOfTopLevelItem(selected.front());
    if (index < 0 || index >= static_cast<int>(rows_.size()))
        return std::nullopt;
    return rows_[static_cast<std::size_t>(index)];
}

void TFormDownloads::Choose(std::int64_t id)
{
    for (int index = 0; index < lvDownloads->topLevelItemCount(); ++index) {
        QTreeWidgetItem* item = lvDownloads->topLevelItem(index);
        if (item->data(colTitle, Qt::UserRole).toLongLong() == id) {
            lvDownloads->setCurrentItem(item);
            return;
        }
    }
}

void TFormDownloads::lvDownloadsSelect(QObject*)
{
    EnableActions();
}

// Each action is offered where it can act: Open on a file that is there,
// Open folder on a folder that is, Retry on a download that waits for it,
// Remove on one that no longer runs.
void TFormDownloads::EnableActions()
{
    const std::optional<TDownloadRecord> chosen = Chosen();
    const TDownloadState state = chosen ? ShownState(*chosen) : dsRunning;
    const QFileInfo file(chosen ? ToQt(chosen->File) : QString());
    btnOpen->setEnabled(chosen && state == dsFinished && file.isFile());
    btnOpenFolder->setEnabled(chosen && !chosen->File.empty() && file.absoluteDir().exists());
    btnRetry->setEnabled(chosen && state == dsWaitingForRetry && OnRetry);
    btnRemove->setEnabled(chosen && state != dsRunning);
}

void TFormDownloads::btnOpenClick(QObject*)
{
    if (std::optional<TDownloadRecord> chosen = Chosen())
        ShellExecute({this, "open", chosen->File});
}

void TFormDownloads::btnOpenFolderClick(QObject*)
{
    if (std::optional<TDownloadRecord> chosen = Chosen())
        ShellExecute({this, "", FromQt(QFileInfo(ToQt(chosen->File)).absolutePath())});
}

void TFormDownloads::btnRetryClick(QObject*)
{
    std::optional<TDownloadRecord> chosen = Chosen();
    if (chosen && OnRetry)
        OnRetry(*chosen);
}

// The row goes; the file, finished or not, stays where it is.
void TFormDownloads::btnRemoveClick(QObject*)
{
    std::optional<TDownloadRecord> chosen = Chosen();
    if (!chosen)
        return;
    const int index = lvDownloads->indexOfTopLevelItem(lvDownloads->selectedItems().front());
    history_.Remove(chosen->Id);
    Refresh();
    // The next row down takes the removed one's place, as in a file list.
    if (lvDownloads->topLevelItemCount() > 0)
        lvDownloads->setCurrentItem(lvDownloads->topLevelItem(std::min(index, lvDownloads->topLevelItemCount() - 1)));
}

// Delete removes the chosen row, Escape closes.
void TFormDownloads::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    if (event->key() == Qt::Key_Delete && btnRemove->isEnabled()) {
        btnRemove->click();
        return;
    }
    QWidget::keyPressEvent(event);
}
