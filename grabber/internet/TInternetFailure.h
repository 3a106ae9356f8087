#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// What failed in a transfer: made once, where the failure is seen (libcurl's
// answer, a refused argument, the server's status, a body cut short, the
// disk), carried unchanged up to the component's error event and worded
// there, once, in the language of that moment.
enum TFailureKind : std::uint8_t {
    fkRefused,     // trying again cannot help: a bad address, a refused certificate...
    fkTimeout,     // the server fell silent
    fkUnreachable, // no connection could be made: the name, the server
    fkCut,         // the connection broke, or closed before the end
    fkBusy,        // the server asked to be asked again later (5xx, 408, 429)
    fkDisk,        // what arrived cannot be written
};

struct TInternetFailure {
    TFailureKind Kind = fkRefused;
    // The layer's last-error code (the ERROR_ values of InternetApi.h); 0 for
    // a failure found above the layer.
    std::uint32_t Code = 0;
    // The program's words in English, "%s" marks standing for the
    // arguments; empty when the detail alone explains.
    std::string Words;
    std::vector<std::string> Arguments;
    // The layer's own account, shown after the words.
    std::string Detail;
    // What this failure came of, shown after the words in the detail's
    // place: a piece of a stream that could not be had, and why.
    std::shared_ptr<const TInternetFailure> Cause;

    // The words in the language of the moment, then the detail: called where
    // the message lookup translates, on the user-interface thread.
    std::string Text() const;
    // The layer's account of it, as InternetGetLastResponseInfo gives it:
    // the detail, else the words in English.
    std::string ResponseInfo() const;
};

// The failure a layer's code stands for: its kind and the program's words,
// with the detail given (a code the program has no words for keeps only its
// detail).
TInternetFailure InternetFailure(std::uint32_t code, std::string detail = {});

// The calling thread's last failure in the internet layer; every call that
// fails records one. GetLastError gives its code.
void SetLastInternetFailure(TInternetFailure failure);
const TInternetFailure& LastInternetFailure();
