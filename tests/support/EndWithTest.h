#pragma once

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

// Called in a peer's child process between fork and exec: the peer is asked
// to end when the test that started it dies, so a crashed test does not leave
// a server running until CTest's time-out. The signal is bound to the thread
// that forked, so peers are started from the test's own thread.
inline void EndWithTest(pid_t test)
{
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    // The test may have died before the request was made.
    if (::getppid() != test)
        ::_exit(127);
}
