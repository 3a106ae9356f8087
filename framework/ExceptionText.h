#pragma once

#include <string>

// The text the exception display shows for a failure message: a full stop is
// appended when the message is not empty and its last byte sorts after the
// full stop ("Read Timeout" gets one; "Done." , "Stop!" and "(x)" do not).
std::string ExceptionDisplayText(const std::string& message);
