#pragma once

#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <chrono>
#include <string>

// Waits until done() holds, asking it again each time a file in folder is
// created, written or closed: for what another process writes, without
// polling. False when the time passed first.
template <typename Predicate>
bool WaitForFolder(const std::string& folder, Predicate done, std::chrono::milliseconds limit)
{
    const int watch = ::inotify_init1(IN_CLOEXEC);
    ::inotify_add_watch(watch, folder.c_str(), IN_CREATE | IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_TO);
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        pollfd ready{watch, POLLIN, 0};
        if (::poll(&ready, 1, static_cast<int>(left.count())) > 0) {
            char events[4096];
            [[maybe_unused]] ssize_t ignored = ::read(watch, events, sizeof events);
        }
    }
    ::close(watch);
    return done();
}
