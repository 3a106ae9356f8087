#pragma once

#include "app/PageClient.h"
#include "app/VideoQuality.h"

#include <optional>
#include <string>

// What the link resolution learns about one video.
struct TVideoLink {
    std::string Identifier;      // everything after "v=" in the final page address
    std::string Token;           // still percent-encoded
    std::string Title;           // decoded and safe as a file name
    std::string FormatPart;      // "", "&fmt=17", "&fmt=18" or "&fmt=22"
    std::string Extension;       // "", ".flv", ".3GP" or ".mp4"
    std::string Scheme = "http"; // how the watch page was reached, and so the record and the stream

    // The name the save dialog proposes: the title with the extension.
    std::string ProposedFileName() const { return Title + Extension; }
    // Where the stream is fetched from, on the given site host: over https
    // when the watch page was reached so.
    std::string DownloadAddress(const std::string& siteHost) const;
};

// Turns a watch-page address into the video's link, with two page requests
// on a client of its own (cookies kept between them, redirects followed);
// the record is asked for in the scheme the watch page was reached in.
// Returns nothing when the site's answers do not hold what is looked for;
// a failed request raises its exception.
std::optional<TVideoLink> ResolveVideoLink(const std::string& watchAddress, TVideoQuality quality,
                                           const std::string& siteHost, const TPageBounds& bounds = {});

// The title made safe as a file name: "+" becomes a blank, then each of
// : ; / \ $ % * & ' " , . + ? ! | and every control character (NUL
// included) becomes "_". A name longer than kMaxTitleBytes is cut there,
// at a character's boundary; a name with nothing left of the title
// becomes "video".
std::string SafeFileName(const std::string& title);

// The longest title that leaves room, within a file system's 255 bytes, for
// the longest extension and the suffix of the part file's record.
extern const std::size_t kMaxTitleBytes;

// A copy of text with every byte that is in set replaced.
std::string ReplaceCharacters(const std::string& text, const std::string& set, char replacement);
