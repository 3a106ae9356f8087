#pragma once

#include "runtime/Exception.h"

// The localisation family of failures.
class EGnuGettext : public Exception {
public:
    using Exception::Exception;
};

// A caller used the engine in a way it does not support.
class EGGProgrammingError : public EGnuGettext {
public:
    using EGnuGettext::EGnuGettext;
};

// A property of a window could not be translated.
class EGGComponentError : public EGnuGettext {
public:
    using EGnuGettext::EGnuGettext;
};

// A catalogue could not be read: wrong magic number, truncated or corrupt.
class EGGIOError : public EGnuGettext {
public:
    using EGnuGettext::EGnuGettext;
};

// An 8-bit text could not be converted to wide text.
class EGGAnsi2WideConvError : public EGnuGettext {
public:
    using EGnuGettext::EGnuGettext;
};
