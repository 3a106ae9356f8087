#pragma once

#include <string>

// Whether a download may be saved as path: nothing is there, or a file. A
// device, a fifo, a socket, a folder or a link is never replaced; where
// nothing can be looked at, whatever creates the file will say what is
// wrong.
bool IsReplaceableFile(const std::string& path);

// What the user is told when it is not ("%s" is the path).
inline constexpr const char* kNotAReplaceableFile = "%s is not a file; only files are replaced";
