#pragma once

#include "app/AddressKind.h"
#include "http/TWebAddress.h"

#include <optional>
#include <string>

// An address the user gave, read once where it comes in (the address field,
// --download) and handed on unchanged to the resolution and the download.
struct TVideoAddress {
    TAddressKind Kind = akNone;
    // As given: the site's rule knows a watch page by its text alone.
    std::string Text;
    // Its parts: for every kind but akNone, and for a watch page only when
    // the text is a web address.
    std::optional<TWebAddress> Web;
};

// What a text is as an address (see AddressKind.h), with its parts.
TVideoAddress ReadVideoAddress(const std::string& text);
