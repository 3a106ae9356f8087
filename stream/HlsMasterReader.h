#pragma once

#include "stream/HlsLine.h"
#include "stream/HlsPlaylist.h"

#include <optional>
#include <string>

// Reads a master playlist line by line: EXT-X-STREAM-INF variants (each
// followed by its address), EXT-X-MEDIA audio renditions and session keys.
class THlsMasterReader {
public:
    explicit THlsMasterReader(const std::string& address) : address_(address) {}

    void Read(const THlsLine& line);
    // Raises EStreamManifest when the last variant has no address.
    THlsPlaylist Finish();

private:
    // A variant read from its tag, waiting for its address.
    struct TVariant {
        TStreamFormat Format;
        std::string Name;
        bool AudioOnly = false;
        std::size_t Line = 0;
    };

    void ReadTag(const THlsLine& line);
    void ReadVariant(const THlsLine& line);
    void ReadMedia(const THlsLine& line);
    void ReadAddress(const THlsLine& line);
    void LendAudioCodecs();

    std::string address_;
    THlsPlaylist playlist_;
    std::optional<TVariant> variant_;
    int variants_ = 0;
};
