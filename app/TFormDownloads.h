#pragma once

#include "history/TDownloadRecord.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QPushButton;
class QTimer;
class QTreeWidget;
class TDownloadHistory;
class TNxHeaderPanel;

// The downloads window: every download of the history, of this run and
// earlier ones and of the command line alike, newest first, with its title,
// file, size, state and date. It follows the history as it changes (a
// running download's row moves with it) and acts on the chosen row: Open,
// Open folder, Retry and Remove from the list, which never touches the
// file. Closing it hides it; the main window shows it again.
class TFormDownloads : public QWidget {
    Q_OBJECT

public:
    // How often the window looks for changes of the history.
    static constexpr int kFollowMilliseconds = 500;

    TFormDownloads(QWidget* owner, TDownloadHistory& history);
    ~TFormDownloads() override;

    // Components, in the order the window declares them.
    TNxHeaderPanel* NxHeaderPanel1;
    QTreeWidget* lvDownloads;
    QPushButton* btnOpen;
    QPushButton* btnOpenFolder;
    QPushButton* btnRetry;
    QPushButton* btnRemove;
    QPushButton* btnClose;
    QTimer* tmrFollow;

    // Continues a download that waits for Retry; Retry is offered only while
    // a handler is set.
    std::function<void(const TDownloadRecord& Download)> OnRetry;

    // Event handlers.
    void FormCreate(QObject* Sender);
    void tmrFollowTimer(QObject* Sender);
    void lvDownloadsSelect(QObject* Sender);
    void btnOpenClick(QObject* Sender);
    void btnOpenFolderClick(QObject* Sender);
    void btnRetryClick(QObject* Sender);
    void btnRemoveClick(QObject* Sender);

    // Reads the history again and shows it.
    void Refresh();
    // The downloads as shown, top to bottom.
    const std::vector<TDownloadRecord>& Rows() const { return rows_; }
    // The chosen download; none when no row is chosen.
    std::optional<TDownloadRecord> Chosen() const;
    void Choose(std::int64_t id);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void CreateList();
    void CreateButtons();
    void ShowHeaders();
    void ShowRow(int index, const TDownloadRecord& download);
    void EnableActions();
    // Whether a row shown as running has lost its process since.
    bool RunningRowOrphaned() const;

    TDownloadHistory& history_;
    std::vector<TDownloadRecord> rows_;
    std::uint64_t shownChanges_ = 0;
    std::string shownLanguage_;
};
