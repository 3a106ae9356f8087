#include "framework/QuitOnSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

// A signal handler may do next to nothing: it writes the signal's number
// into a pipe, and the loop reads it from there.
int signalPipe[2] = {-1, -1};

void Forward(int signalNumber)
{
    const int saved = errno;
    const unsigned char number = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] ssize_t written = ::write(signalPipe[1], &number, 1);
    errno = saved;
}

} // namespace

void QuitOnSignals(std::initializer_list<int> signalNumbers)
{
    if (signalPipe[0] < 0) {
        if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
            return;
        auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
        QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
            unsigned char number = 0;
            if (::read(signalPipe[0], &number, 1) == 1)
                QCoreApplication::exit(128 + number);
        });
    }
    struct sigaction action {};
    action.sa_handler = &Forward;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signalNumber : signalNumbers)
        ::sigaction(signalNumber, &action, nullptr);
}
