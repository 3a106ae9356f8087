#pragma once

#include "runtime/Exception.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// What was being read when a fault was found.
enum TManifestKind {
    mkPlaylist, // an HLS playlist
    mkManifest, // a DASH manifest (and the segment index it points at)
};

// Where in the text a fault was found: a line of a playlist ("line 12"), an
// element of a manifest ("Representation v720", "SegmentTimeline of
// Representation v720"), or nowhere in particular.
struct TManifestPlace {
    const char* Wording = nullptr; // a catalogue text with "%s" marks; none for the whole text
    std::vector<std::string> Arguments;

    static TManifestPlace Line(std::size_t number);
    static TManifestPlace Element(std::string name);
    static TManifestPlace ElementOf(std::string part, std::string whole);
};

// A playlist or manifest that cannot be read, with where and why:
// "The playlist cannot be read: line 12: EXTINF has an invalid value (-3)".
// The reason is a catalogue text whose "%s" marks the arguments fill; the
// arguments (names and values from the text) are never translated.
class EStreamManifest : public Exception {
public:
    EStreamManifest(TManifestKind kind, TManifestPlace place, const char* reason,
                    std::vector<std::string> arguments = {});

    void Reword() override;

    // The reason's catalogue text, before translation.
    const char* Reason() const { return reason_; }

private:
    TManifestKind kind_;
    TManifestPlace place_;
    const char* reason_;
    std::vector<std::string> arguments_;
};

// A value of the text as a message quotes it: cut after 80 bytes.
std::string Quoted(std::string_view value);
