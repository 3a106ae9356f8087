#pragma once

// How both HTTP stacks word a secure connection that failed, as the
// catalogue knows the texts: "%s" stands for the host, a second "%s" for
// OpenSSL's reason.
namespace TlsFailureWords {

inline constexpr const char* kNotSetUp = "The secure connection to %s could not be set up (%s).";
inline constexpr const char* kCutOff = "The secure connection to %s was cut off before the data was complete.";

} // namespace TlsFailureWords
