#pragma once

#include "app/VideoDownload.h"

#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <vector>

class QDragEnterEvent;
class QDropEvent;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class TDownloadHistory;
class TForm2;
class TLauncherEntry;
struct TDownloadRecord;
class TFormDownloads;
class TImage;
class TJvClipboardMonitor;
class TSaveDialog;
class TVideoLookup;
class TNxHeaderPanel;
class TNxHtmlLabel;

// The main window: the address field, the quality choice and START, framed
// as two steps, under a white band with the banner, the language flags and
// the help glyph.
class TForm1 : public QWidget {
    Q_OBJECT

public:
    TForm1();
    ~TForm1() override;

    // Components, in the order the window declares them.
    TNxHeaderPanel* NxHeaderPanel1;
    TNxHeaderPanel* NxHeaderPanel3;
    QPushButton* btnDownload;
    TSaveDialog* SaveDialog1;
    QGroupBox* GroupBox1;
    QRadioButton* chkNormal;
    QRadioButton* chkHQ;
    QRadioButton* chkHD;
    QGroupBox* GroupBox2;
    QLineEdit* Edit1;
    QRadioButton* chkMobile;
    TJvClipboardMonitor* JvClipboardMonitor1;
    QWidget* Panel1;
    TImage* img;
    TImage* imgES;
    TImage* imgEN;
    TNxHtmlLabel* NxHtmlLabel1;
    TImage* imgHelp;
    // Shown in the step-2 panel's band while addresses are being resolved.
    QLabel* lblLookingUp;
    // Opens the downloads window; under the flags and the help picture.
    TNxHtmlLabel* lblDownloads;

    // Event handlers.
    void FormCreate(QObject* Sender);
    void FormActivate(QObject* Sender);
    void Edit1Change(QObject* Sender);
    void JvClipboardMonitor1Change(QObject* Sender);
    void btnDownloadClick(QObject* Sender);
    void imgESClick(QObject* Sender);
    void imgENClick(QObject* Sender);
    void imgHelpClick(QObject* Sender);
    void NxHtmlLabel1Click(QObject* Sender);
    void lblDownloadsClick(QObject* Sender);

    // Shows the downloads window (Ctrl+D), made at its first showing, in
    // front of the others.
    void ShowDownloads();
    // The downloads window; null until it was first shown.
    TFormDownloads* Downloads() const { return downloads_; }
    // The history of downloads, opened at its first use. A damaged one is
    // set aside then, and the user told so.
    TDownloadHistory& History();

    // An address the program was started with, put into the address field.
    void TakeAddress(const QString& address);
    // Continues a download of the history that waits for Retry.
    void RetryFromHistory(const TDownloadRecord& download);
    // Where the running downloads' progress is shown (tests hand in one on
    // a bus of their own).
    void SetLauncherEntry(std::unique_ptr<TLauncherEntry> entry);

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    using TResolvedAction = std::function<void(const TResolution& resolution)>;
    // Resolves address on a worker thread, then hands the outcome to then.
    void LookUp(const std::string& address, TVideoQuality quality, TResolvedAction then);
    void LookupResolved(TVideoLookup& lookup, TResolution resolution, TResolvedAction then);
    // Whether the download started: the user chose where to save it.
    bool SaveResolvedVideo(const TResolution& resolution, const std::string& address, TVideoQuality quality);
    TForm2* OpenDownloadWindow(const TVideoSource& video, const std::string& target, const TDownloadRecord& download);
    void ShowTaskbarProgress();
    // Puts an address that did not become a download back into the field,
    // unless something else was put there meanwhile.
    void GiveBackAddress(const std::string& address);
    // The field's tooltip says why its text leaves START disabled.
    void ShowWhyNotAnAddress();
    void ShowLookups();
    void PlaceLookingUp();
    // Downloads whose windows have not yet finished, failed or been cancelled.
    int RunningDownloads() const;
    bool AskToStopDownloads(int running);
    TVideoQuality ChosenQuality() const;
    QRadioButton* ChoiceFor(TVideoQuality quality) const;
    // The quality buttons, top to bottom.
    std::array<QRadioButton*, 4> QualityChoices() const;
    void CreateBand();
    void CreateStepPanels();
    void CreateAddressGroup();
    void CreateQualityGroup();
    void CreateStartButton();
    void CreateDownloadsLink();
    void PlaceDownloadsLink();
    void ShowAbout();
    void BindEvents();
    void BindKeyboard();
    void PlaceCentred();
    void PlaceAsRemembered();
    void SwitchTo(const std::string& language);

    // The addresses being resolved, oldest first.
    std::vector<std::unique_ptr<TVideoLookup>> lookups_;
    std::unique_ptr<TDownloadHistory> history_;
    std::unique_ptr<TLauncherEntry> launcher_;
    TFormDownloads* downloads_ = nullptr;
};
