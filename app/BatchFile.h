#pragma once

#include <istream>
#include <optional>
#include <string>
#include <vector>

// The addresses a batch file lists (--batch-file): one a line, blanks at
// either end left out, blank lines and lines beginning with "#" skipped;
// lines may end in LF or CR LF, and a byte-order mark may open the file.
// A list is at most 16 MiB, a line at most 16 KiB, and it names at most
// 10000 addresses; beyond those, or when it cannot be read, it gives
// nothing and says why in error.

// "-" reads standard input.
std::optional<std::vector<std::string>> ReadBatchFile(const std::string& name, std::string& error);
// From an open stream; shownName names it in messages.
std::optional<std::vector<std::string>> ReadBatchList(std::istream& in, const std::string& shownName,
                                                      std::string& error);
