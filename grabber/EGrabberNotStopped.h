#pragma once

#include "runtime/Exception.h"

// Raised when the address of a running grabber is written.
class EGrabberNotStopped : public Exception {
public:
    EGrabberNotStopped() : Exception("The grabber is not stopped, you cannot change its URL.") {}
};
