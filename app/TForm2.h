#pragma once

#include "app/VideoDownload.h"

#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>

class QLabel;
class QPushButton;
class TAdvSmoothProgressBar;
class TJvHttpUrlGrabber;
class TNxHeaderPanel;
class TDownloadSession;
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
    // title and starts the download at once.
    TForm2(QWidget* owner, TVideoSource video, std::string target);
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
    // Back to "Downloading..." with the rate line, for a retry.
    void ShowDownloading();
    // Continues from the part the failed run kept.
    void RetryDownload();
    void ShowProgressInTitle();
    void TellTheUserWhenAway(const char* summary);

    bool firstProgress_ = false;
    bool failed_ = false;
    bool ended_ = false;
    bool retryOffered_ = false;
    std::uint32_t startTime_ = 0;
    std::int64_t resumedAt_ = 0; // what the part held when this run began
    int percent_ = -1;           // of the known total; -1 while unknown
    std::unique_ptr<TDownloadSession> session_;
    // The component of a window without a download.
    std::unique_ptr<TJvHttpUrlGrabber> idleGrabber_;
};
