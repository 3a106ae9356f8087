#pragma once

#include <functional>
#include <string>
#include <vector>

class QWidget;

// What the About box shows: the program's name and version as its title,
// a few lines of plain text, and the address where help is found, which
// opens through the desktop shell (framework/Shell.h) when clicked.
struct TAboutRequest {
    QWidget* Owner = nullptr;
    std::string Caption;
    std::string Title;
    std::vector<std::string> Lines;
    std::string HelpText;
    std::string HelpAddress;
};

using TAboutSeam = std::function<void(const TAboutRequest&)>;

// Shows a modal About box with the owner's window icon and an OK button.
void ShowAboutBox(const TAboutRequest& request);

// Replaces the real box (an empty seam restores it); returns the previous
// seam.
TAboutSeam SetAboutSeam(TAboutSeam seam);

// The box's text as rich text, every part escaped.
std::string AboutBoxText(const TAboutRequest& request);
