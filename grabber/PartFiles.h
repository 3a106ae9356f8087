#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The temporary files of downloads in file mode. Each run writes its own,
// beside the target and named after it: "TARGET.PID-N.part", PID being the
// process that writes it. This is the one place that knows the form, and so
// the one place that can tell a file a killed run left behind.

// The most bytes the suffix adds to the target's name.
constexpr std::size_t kPartSuffixMax = sizeof(".4194304-4294967295.part") - 1;

// A name for a new temporary file of this process; never the same twice.
std::string NewPartName(const std::string& target);

// The temporary files beside target whose process has ended: what a run
// that was killed left there. Files of running processes, this one
// included, are not among them.
std::vector<std::string> LeftoverParts(const std::string& target);

// Removes those files; a file that cannot be removed is left where it is.
void RemoveLeftoverParts(const std::string& target);
