#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <optional>
#include <string>

class QWidget;

// What the save dialog is asked; the seam answers with a full path, or
// nothing when the user cancels.
struct TSaveDialogRequest {
    QWidget* Owner = nullptr;
    std::string FileName;
    std::string Title;
    std::string Filter;
    std::string InitialDir;
};

using TSaveDialogSeam = std::function<std::optional<std::string>(const TSaveDialogRequest&)>;

// The file-save dialog as a component of its window. It asks before an
// existing file is chosen (No shows the dialog again), and keeps the last
// chosen full path in FileName.
class TSaveDialog : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString FileName READ FileNameText WRITE SetFileNameText)
    Q_PROPERTY(QString Title READ TitleText WRITE SetTitleText)
    Q_PROPERTY(QString Filter READ FilterText WRITE SetFilterText)
    Q_PROPERTY(QString DefaultExt READ DefaultExtText WRITE SetDefaultExtText)

public:
    explicit TSaveDialog(QObject* owner, const QString& name = QString());

    std::string FileName() const;
    void SetFileName(const std::string& fileName);
    // The folder the dialog opens in when FileName names none.
    std::string InitialDir() const { return initialDir_; }
    void SetInitialDir(const std::string& folder) { initialDir_ = folder; }

    // Shows the dialog modally; true when the user confirmed a path.
    bool Execute(QWidget* owner);

    QString FileNameText() const { return fileName_; }
    void SetFileNameText(const QString& text) { fileName_ = text; }
    QString TitleText() const { return title_; }
    void SetTitleText(const QString& text) { title_ = text; }
    QString FilterText() const { return filter_; }
    void SetFilterText(const QString& text) { filter_ = text; }
    QString DefaultExtText() const { return defaultExt_; }
    void SetDefaultExtText(const QString& text) { defaultExt_ = text; }

private:
    QString fileName_;
    QString title_;
    QString filter_;
    QString defaultExt_;
    std::string initialDir_;
};

TSaveDialogSeam SetSaveDialogSeam(TSaveDialogSeam seam);
