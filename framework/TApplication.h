#pragma once

#include <exception>
#include <string>

class QWidget;

// The process-wide application object: the title shown on the task bar and
// on error boxes, the main window, the message loop, and the display of
// failures that escape an event handler.
class TApplication {
public:
    const std::string& Title() const { return title_; }
    void SetTitle(std::string title) { title_ = std::move(title); }

    // The first window made main ends the program when it is closed.
    QWidget* MainForm() const { return mainForm_; }
    void SetMainForm(QWidget* form);

    // Runs the message loop until the main window is closed or the loop is
    // told to exit; the main window is freed either way.
    int Run();

    // Shows the failure in flight (call from a catch block); the silent
    // abort shows nothing.
    void HandleException(std::exception_ptr failure);
    void ShowException(const std::exception& failure);

private:
    std::string title_ = "Skerrow";
    QWidget* mainForm_ = nullptr;
};

TApplication& Application();
