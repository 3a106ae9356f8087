#pragma once

#include "grabber/TJvGrabberTypes.h"
#include "grabber/internet/TInternetHandle.h"

// What the transfers a worker makes beside its handles (TInternetPool: the
// pieces of a stream, the ranges of a file) are given: the component's agent
// and proxy, and the layer's time-outs of the moment.
TInternetSettings PoolSettingsOf(const TJvGrabberSettings& settings);
