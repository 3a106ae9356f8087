#include "app/UserSettings.h"

#include "framework/QtText.h"
#include "grabber/TJvHttpUrlGrabber.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>

namespace UserSettings {
namespace {

const char* const kQuality = "quality";
const char* const kLanguage = "language";
const char* const kSaveFolder = "saveFolder";
const char* const kMainWindowPosition = "mainWindow/position";
const char* const kConnections = "connections";

// The file, opened afresh for each read and write: a value written by one
// call is on disk before the next begins.
struct TSettingsFile : QSettings {
    TSettingsFile() : QSettings(QStringLiteral("skerrow"), QStringLiteral("skerrow")) {}
};

QString Read(const char* key)
{
    TSettingsFile settings;
    if (settings.status() != QSettings::NoError)
        return {};
    return settings.value(QLatin1String(key)).toString();
}

// Nothing to do when the file cannot be written: the choice then lasts for
// this run only.
void Write(const char* key, const QString& value)
{
    TSettingsFile settings;
    if (settings.status() != QSettings::NoError)
        return;
    settings.setValue(QLatin1String(key), value);
    settings.sync();
}

bool IsFolder(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

} // namespace

std::optional<TVideoQuality> Quality()
{
    return QualityNamed(FromQt(Read(kQuality)));
}

void SetQuality(TVideoQuality quality)
{
    Write(kQuality, ToQt(QualityName(quality)));
}

std::optional<std::string> Language()
{
    static const QRegularExpression code(QStringLiteral("^[a-z]{2,3}(_[A-Z]{2})?$"));
    const QString value = Read(kLanguage);
    if (!code.match(value).hasMatch())
        return std::nullopt;
    return FromQt(value);
}

void SetLanguage(const std::string& code)
{
    Write(kLanguage, ToQt(code));
}

QString SaveFolder()
{
    const QString last = Read(kSaveFolder);
    if (QDir::isAbsolutePath(last) && IsFolder(last))
        return last;
    const QString videos = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
    return IsFolder(videos) ? videos : QDir::homePath();
}

void SetSaveFolder(const QString& folder)
{
    Write(kSaveFolder, folder);
}

std::optional<QPoint> MainWindowPosition()
{
    static const QRegularExpression pair(QStringLiteral("^(-?\\d{1,5}),(-?\\d{1,5})$"));
    const QRegularExpressionMatch match = pair.match(Read(kMainWindowPosition));
    if (!match.hasMatch())
        return std::nullopt;
    return QPoint(match.captured(1).toInt(), match.captured(2).toInt());
}

void SetMainWindowPosition(QPoint position)
{
    Write(kMainWindowPosition, QStringLiteral("%1,%2").arg(position.x()).arg(position.y()));
}

std::optional<int> Connections()
{
    static const QRegularExpression number(QStringLiteral("^\\d{1,2}$"));
    const QString value = Read(kConnections).trimmed();
    const int count = number.match(value).hasMatch() ? value.toInt() : 0;
    if (count < 1 || count > TJvHttpUrlGrabber::kMostConnections)
        return std::nullopt;
    return count;
}

} // namespace UserSettings
