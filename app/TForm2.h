#pragma once

#include "app/StallWatch.h"
#include "app/VideoDownload.h"

#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QLabel;
class QPushButton;
class QTimer;
class TAdvSmoothProgressBar;
class TJvHttpUrlGrabber;
class TNxHeaderPanel;
class TDownloadHistory;
class TDownloadSession;
class THistoryRecorder;
struct TDownloadRecord;
class TNxLabel;
class TObject;

// The download window: one per download, owned by the main window. It owns
// the download session and so its component, shows the title, the expected
// size, the amount received with the average rate and the progress bar, and
// frees itself when it is closed.
class TForm2 : public QWidget {
    Q_OBJECT

public:
    // A window without a download: its layout and texts alone.
    explicit TForm2(QWidget* owner);
    // The window of a video's download into target: it shows the video's
    // title and starts the download at once. With a history, the download
    // is written into it (download gives the address and the quality, or
    // the row of an earlier run it continues).
    TForm2(QWidget* owner, TVideoSource video, std::string target);
    TForm2(QWidget* owner, TVideoSource video, std::string target, TDownloadHistory& history,
           const TDownloadRecord& download);
    ~TForm2() override;

    // Components, in the order the window declares them.
    TNxHeaderPanel* NxHeaderPanel1;
    QLabel* Label1;
    QLabel* Label5;
    QLabel* lblTransfer;
    QPushButton* btnCancelClose;
    TNxLabel* lblTitle;
    TJvHttpUrlGrabber* UrlGrabber1;
    QPushButton* btnOpen;
    QLabel* Label2;
    QLabel* lblFileSize;
    TAdvSmoothProgressBar* ProgressBar1;
    // Looks four times a second whether the server has stopped sending, and
    // brings the history's row up to what arrived.
    QTimer* tmrWait;

    // Opens the downloads window: the button of the desktop's notice that
    // the download ended. It may outlive the window.
    std::function<void()> OnShowDownloads;

    // Event handlers.
    void FormCreate(QObject* Sender);
    void UrlGrabber1Progress(TObject* Sender, std::int64_t Position, std::int64_t TotalSize, const std::string& Url,
                             bool& Continue);
    void UrlGrabber1DoneFile(TObject* Sender, const std::string& FileName, std::int64_t FileSize,
                             const std::string& Url);
    void UrlGrabber1Error(TObject* Sender, const std::string& ErrorMsg);
    void UrlGrabber1Retry(TObject* Sender, int SecondsLeft, int Retry, int Retries, const std::string& Reason);
    void UrlGrabber1Resume(TObject* Sender, std::int64_t Position, std::int64_t TotalSize);
    void btnCancelCloseClick(QObject* Sender);
    void btnOpenClick(QObject* Sender);

    // Whether the download still runs: it has neither finished nor failed,
    // and was not cancelled.
    bool Running() const;
    // The download's row in the history; 0 when it is not recorded.
    std::int64_t HistoryId() const;
    // Whether the download failed and can be continued from its part.
    bool RetryOffered() const { return retryOffered_; }
    // Continues the download from its part, as Retry does.
    void Retry();
    // What has arrived, and of how much (0 while not known).
    std::int64_t Received() const { return received_; }
    std::int64_t Total() const { return total_; }
    // The file the download becomes.
    std::string Target() const;

signals:
    // The download moved on, ended or started again.
    void DownloadChanged();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    TForm2(QWidget* owner, std::unique_ptr<TDownloadSession> session);
    void CreateComponents();
    void CreateGrabber();
    void ObserveSession();
    QLabel* AddLabel(const char* name, const char* caption, int left, int top);
    QPushButton* AddButton(const char* name, const char* caption, QRect bounds);
    void PlaceInPanel(QWidget* control);
    void ShowOutcome(const std::string& status);
    void ShowReason(const std::string& reason);
    // A text longer than a rate takes the whole line of the rate's caption,
    // wrapping onto a second one above the buttons; the rate's own place
    // comes back for the next rate.
    void ShowWideLine(const QString& text);
    void ShowRateLine();
    // "Waiting for the server (gives up in 55 s)" where the rate was, once
    // the server has sent nothing for a while; the history's row is brought
    // up to date first.
    void ShowWaitForServer();
    void EndWaitForServer();
    // Back to "Downloading..." with the rate line, for a retry.
    void ShowDownloading();
    // Starts the download with the settings file's number of connections.
    void StartSession();
    // Continues from the part the failed run kept.
    void RetryDownload();
    void ShowProgressInTitle();
    // Whether another download window shows a video of the same title.
    bool SharesItsTitle() const;
    void RetitleSiblings();
    void TellTheUserWhenAway(const char* summary);

    bool firstProgress_ = false;
    bool failed_ = false;
    bool ended_ = false;
    bool retryOffered_ = false;
    std::uint32_t startTime_ = 0;
    std::int64_t resumedAt_ = 0; // what the part held when this run began
    int percent_ = -1;           // of the known total; -1 while unknown
    TStallWatch stall_;
    bool waitShown_ = false;
    std::int64_t received_ = 0;
    std::int64_t total_ = 0;
    std::unique_ptr<TDownloadSession> session_;
    // Goes before the session, whose last word it may still write.
    std::unique_ptr<THistoryRecorder> recorder_;
    // The component of a window without a download.
    std::unique_ptr<TJvHttpUrlGrabber> idleGrabber_;
};
