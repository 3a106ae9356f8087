#pragma once

#include "stream/StreamTypes.h"
#include "support/PythonPeer.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

// The tests compare pieces as short texts, so that a table row reads as a
// line of the playlist it comes from: "seg8.ts key=k1.bin:8 9.009s d1".

inline std::string ManifestFile(const std::string& name)
{
    std::string text = FileBytes(SourceDir() + "/tests/stream/manifests/" + name);
    EXPECT_FALSE(text.empty()) << name;
    return text;
}

// The address without the folder every piece of the test shares.
inline std::string Relative(const std::string& address, const std::string& folder)
{
    return address.starts_with(folder) ? address.substr(folder.size()) : address;
}

// A piece: its address, "@offset+length" for a range, "key=ADDRESS:IV" for
// a key, the IV in hexadecimal without leading zeros.
inline std::string PieceText(const TStreamPiece& piece, const std::string& folder)
{
    std::ostringstream text;
    text << Relative(piece.Address, folder);
    if (piece.Range)
        text << " @" << piece.Range->Offset << "+" << piece.Range->Length;
    if (piece.Key) {
        text << " key=" << Relative(piece.Key->Address, folder) << ":" << std::hex;
        bool leading = true;
        for (unsigned char byte : piece.Key->Iv) {
            if (leading && byte == 0)
                continue;
            text << (leading ? "" : byte < 16 ? "0" : "") << int(byte);
            leading = false;
        }
        if (leading)
            text << 0;
    }
    return text.str();
}

// A segment: its piece, "4.5s", then "i0" for its init section and "d1"
// for the discontinuities before it, each left out when none.
inline std::string SegmentText(const TStreamSegment& segment, const std::string& folder)
{
    std::ostringstream text;
    text << PieceText(segment.Piece, folder) << " " << segment.Duration << "s";
    if (segment.Init >= 0)
        text << " i" << segment.Init;
    if (segment.Discontinuity > 0)
        text << " d" << segment.Discontinuity;
    return text.str();
}

inline std::vector<std::string> SegmentTexts(const TStreamTrack& track, const std::string& folder)
{
    std::vector<std::string> texts;
    for (const TStreamSegment& segment : track.Segments)
        texts.push_back(SegmentText(segment, folder));
    return texts;
}

inline std::vector<std::string> InitTexts(const TStreamTrack& track, const std::string& folder)
{
    std::vector<std::string> texts;
    for (const TStreamPiece& init : track.Inits)
        texts.push_back(PieceText(init, folder));
    return texts;
}
