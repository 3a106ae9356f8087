#pragma once

#include "stream/EStreamManifest.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A SegmentTemplate's media or initialization text, made ready for one
// Representation: its $RepresentationID$ and $Bandwidth$ filled in, its
// $Number$ and $Time$ (with an optional "%0Nd" format) filled in per
// segment, "$$" a dollar.
class TDashTemplate {
public:
    enum TUse { tuSegments, tuInitialization }; // an initialization has no $Number$ or $Time$

    // Raises EStreamManifest at the place for an identifier it does not
    // know, one left open, a bad format, $Bandwidth$ without a bandwidth.
    TDashTemplate(std::string_view text, TUse use, const std::string& representationId,
                  std::optional<std::int64_t> bandwidth, const TManifestPlace& place, const char* attribute);

    std::string Expand(std::uint64_t number, std::uint64_t time) const;

private:
    enum TPartKind { pkText, pkNumber, pkTime };
    struct TPart {
        TPartKind Kind = pkText;
        std::string Text; // pkText
        int Width = 0;    // the digits a number is padded to with zeros
    };

    void AppendText(std::string_view text);
    TPart Identifier(std::string_view identifier) const;
    [[noreturn]] void Fail() const;

    TUse use_;
    std::string representationId_;
    std::optional<std::int64_t> bandwidth_;
    TManifestPlace place_;
    const char* attribute_;
    std::string text_;
    std::vector<TPart> parts_;
};
