#pragma once

#include <functional>
#include <string>

class QWidget;

// A request to the desktop to open an address or a file with its default
// application. Its outcome is never examined.
struct TShellRequest {
    QWidget* Owner = nullptr;
    std::string Verb; // empty: the default action
    std::string Target;
};

using TShellSeam = std::function<void(const TShellRequest&)>;

void ShellExecute(const TShellRequest& request);
TShellSeam SetShellSeam(TShellSeam seam);
