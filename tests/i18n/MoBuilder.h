#pragma once

#include <string>
#include <utility>
#include <vector>

namespace test {

using TEntries = std::vector<std::pair<std::string, std::string>>;

// A catalogue in the GNU gettext binary format, written by hand so that the
// tests control byte order, counts and damage. Entries must be sorted.
std::string MoBytes(const TEntries& entries, bool bigEndian = false);

// A fresh folder under the system's temporary folder, removed by the test.
std::string MakeTempFolder();
void RemoveFolder(const std::string& folder);

void WriteFile(const std::string& fileName, const std::string& bytes);
std::string ReadFile(const std::string& fileName);

// Compiles po text with msgfmt into fileName; returns false when msgfmt fails.
bool CompilePo(const std::string& poText, const std::string& fileName);

// A minimal po text with a UTF-8 header and the given entries.
std::string PoText(const TEntries& entries, const std::string& charset = "UTF-8");

} // namespace test
