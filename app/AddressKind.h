#pragma once

#include <functional>
#include <string>

// The kinds of address the program takes, in the order they are tried. The
// main window, its clipboard hook and the command line all ask here.
enum TAddressKind {
    akNone,       // nothing the program can save
    akWatchPage,  // a video's watch page on the site
    akDirectLink, // an http or https address of a video file
    akWebPage,    // any other http or https address: a page that may show a video
};

// What a text is as an address: a watch page by the site's rule (the text
// holds the site domain and "v=" or "key=", plain, case-sensitive substring
// tests), else a direct link (see DirectLink.h), else a web page (see
// TWebAddress::IsWeb), else nothing. VideoAddress.h gives the parts too.
TAddressKind AddressKind(const std::string& text);

// The same on a text that may change between looks (the clipboard):
// readText is called afresh for each test.
TAddressKind AddressKind(const std::function<std::string()>& readText);

// Whether copying such an address fills the address field: a watch page or a
// direct link, never just any page's address.
bool TakenFromClipboard(TAddressKind kind);
