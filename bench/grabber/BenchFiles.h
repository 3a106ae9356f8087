#pragma once

#include <filesystem>

// The served file of the download benchmarks, and the check of what was
// saved.

// mib MiB of random bytes, so that nothing on the way (a sparse file, a
// compressing page cache) makes the body cheaper than a real video's.
void WriteRandomFile(const std::filesystem::path& path, long mib);

// Whether b holds exactly a's bytes.
bool SameBytes(const std::filesystem::path& a, const std::filesystem::path& b);
