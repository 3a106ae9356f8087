#pragma once

#include "i18n/TEmbeddedFileInfo.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Files travel inside the executable behind the built program: their contents
// first, then a directory of 256-byte entries (all integers 64-bit
// little-endian): next-entry offset, content offset, content size, and the
// name, padded with blanks up to the next entry. An entry whose next-entry
// offset is 0 ends the directory at the very end of the file.
//
// The program's constant data holds the signature text followed by 8 bytes:
// the file offset of the first entry, or 0 when nothing is appended. The
// build tool that appends the files writes those 8 bytes.

// The signature text itself lives once in the program, beside its 8 bytes:
// a second copy would leave the build tool unsure which one to patch.
constexpr std::size_t kAppendedFilesSignatureLength = 36;
constexpr std::size_t kAppendedEntrySize = 256;
constexpr std::size_t kAppendedEntryFields = 24;
// Longest name the scan accepts; longer ones mean a corrupt directory.
constexpr std::size_t kAppendedNameLimit = 4096;

using TAppendedFile = std::pair<std::string, TEmbeddedFileInfo>;

// The directory offset patched into this program's constant data.
std::uint64_t AppendedDirectoryOffset();

// Reads the directory of fileName starting at directoryOffset. Any error ends
// the scan silently; the entries read so far are returned. Every offset is
// checked against the file, and each entry must lie after the one before.
std::vector<TAppendedFile> ScanAppendedFiles(const std::string& fileName, std::uint64_t directoryOffset);
