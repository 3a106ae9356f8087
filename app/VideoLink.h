#pragma once

#include "app/PageClient.h"
#include "app/SafeFileName.h" // the rule every proposed name goes through
#include "app/VideoQuality.h"
#include "stream/StreamTypes.h"

#include <optional>
#include <string>
#include <vector>

// What the link resolution learns about one video.
struct TVideoLink {
    std::string Identifier;      // everything after "v=" in the final page address
    std::string Token;           // still percent-encoded
    std::string Title;           // decoded and safe as a file name
    std::string FormatPart;      // "", "&fmt=17", "&fmt=18" or "&fmt=22"
    std::string Extension;       // "", ".flv", ".3GP" or ".mp4"
    std::string Scheme = "http"; // how the watch page was reached, and so the record and the stream
    std::string RecordTitle;     // as the record gives it, decoded: for telling the user
    // The formats the site offers the video in, the largest first, each at
    // its address; without a format list in the record, the plain one.
    std::vector<TStreamFormat> Formats;
    std::string FormatId; // the one chosen: "normal" (the plain one), or the site's code

    // The name the save dialog proposes: the title with the extension.
    std::string ProposedFileName() const { return Title + Extension; }
    // Where the stream is fetched from, on the given site host: over https
    // when the watch page was reached so.
    std::string DownloadAddress(const std::string& siteHost) const;
};

// Turns a watch-page address into the video's link, with two page requests
// on a client of its own (cookies kept between them, redirects followed);
// the record is asked for in the scheme the watch page was reached in. The
// quality chooses the format: normal the plain one (FLV), mobile the 3GP
// one, any other by height among those the record lists (see SizeFor).
// Returns nothing when the site's answers do not hold what is looked for;
// a failed request raises its exception.
std::optional<TVideoLink> ResolveVideoLink(const std::string& watchAddress, TVideoQuality quality,
                                           const std::string& siteHost, const TPageBounds& bounds = {});
