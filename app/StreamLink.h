#pragma once

#include "app/PageClient.h"
#include "app/StreamDescription.h"
#include "app/VideoQuality.h"
#include "http/TWebAddress.h"
#include "runtime/Exception.h"
#include "stream/StreamPlan.h"

#include <optional>
#include <string>

class TIdCustomHTTP;

// The video of an HLS playlist or DASH manifest: a direct link to one, a
// page's answer that is one, or a page's video that is one.

// A stream that may still grow (an HLS media playlist without
// EXT-X-ENDLIST, a DASH manifest of type "dynamic").
class ELiveStream : public Exception {
public:
    ELiveStream();
};

// A stream whose keys a licence server holds (HLS SAMPLE-AES,
// SAMPLE-AES-CTR or a key format of its own; DASH ContentProtection).
class EProtectedStream : public Exception {
public:
    EProtectedStream();
};

// An answer that is neither an HLS playlist nor a DASH manifest.
class ENoStreamManifest : public Exception {
public:
    ENoStreamManifest();
};

// A playlist or manifest as the page client received it.
struct TStreamAnswer {
    std::string Text;
    TWebAddress Address; // where it was read from, after any redirects
    std::string ContentType;
};

// A video streamed in pieces, chosen and ready to be fetched.
struct TStreamLink {
    TStreamPlan Plan;
    std::string Title;     // decoded and safe as a file name
    std::string Extension; // of the container its pieces are joined into (see ContainerForCodecs)

    std::string ProposedFileName() const { return Title + Extension; }
};

// GETs a playlist or manifest (everything of the address but its fragment)
// on a page client (see PageClient.h). Raises what a failed request raises.
TStreamAnswer FetchStreamAnswer(TIdCustomHTTP& http, const TWebAddress& address);

// Reads a fetched playlist or manifest (HLS or DASH, see ManifestKind.h),
// chooses its format for the quality as a page's sizes are chosen (see
// SizeFor) and its audio for the language (ISO 639-1, such as "es": the
// interface's), and fetches on the same client what the download needs
// first: an HLS master's chosen variant's and audio rendition's media
// playlists, a DASH SegmentBase's index (by a byte range). The file is
// named after the title (already safe), with the extension of the
// container the chosen codecs go into (MP4 when the manifest names none).
//
// described is set once the kind is known and filled as the reading goes,
// so that it tells what was found also when the reading raises:
// ELiveStream, EProtectedStream, ENoStreamManifest, EStreamManifest for a
// text (or an index) that cannot be read or that names no video, and what a
// failed request raises.
TStreamLink ReadStreamLink(TIdCustomHTTP& http, const TStreamAnswer& answer, const std::string& title,
                           TVideoQuality quality, const std::string& language,
                           std::optional<TStreamDescription>& described);

// The same for a direct link to a playlist or manifest, fetched on a page
// client of its own; the file is named after the link's own name ("tide"
// for .../tide.m3u8).
TStreamLink ResolveStreamLink(const TWebAddress& address, TVideoQuality quality, const std::string& language,
                              const TPageBounds& bounds, std::optional<TStreamDescription>& described);

// The extension of the container a stream's codecs are joined into (".mp4"
// when none are named).
std::string StreamExtension(const std::string& codecs);
