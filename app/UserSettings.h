#pragma once

#include "app/VideoQuality.h"

#include <QPoint>
#include <QString>

#include <optional>
#include <string>

// What the windows remember between runs, in the user's configuration folder
// (skerrow/skerrow.conf under $XDG_CONFIG_HOME, ~/.config by default). Each
// change is written at once, so a program that is killed keeps what was
// chosen. A damaged or unreadable file, or a value that makes no sense, reads
// as nothing remembered.
namespace UserSettings {

std::optional<TVideoQuality> Quality();
void SetQuality(TVideoQuality quality);

// The language chosen with a flag; it wins over LANG from then on.
std::optional<std::string> Language();
void SetLanguage(const std::string& code);

// Where the save dialog starts: the folder last saved to while it exists,
// else the user's Videos folder, else home.
QString SaveFolder();
void SetSaveFolder(const QString& folder);

std::optional<QPoint> MainWindowPosition();
void SetMainWindowPosition(QPoint position);

// How many connections a download may use at once ("connections", from 1
// to 16, written into the file by hand); none: the download's own number.
std::optional<int> Connections();

} // namespace UserSettings
