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

// The address a text of the address field stands for: the text itself, or,
// when it is no address as written but looks like one without its scheme (a
// host with a dot, then a path, no blanks: "www.example.com/clip.mp4"), the
// text taken as https.
std::string CompletedAddress(const std::string& text);

// Why a text is not taken as an address, in English as the catalogue has it;
// empty for a text that is taken (once completed) and for no text at all.
std::string WhyNotAnAddress(const std::string& text);
