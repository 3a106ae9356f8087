#pragma once

#include "stream/StreamPlan.h"

#include <cstddef>
#include <string>
#include <vector>

// The pieces of a stream plan as a download fetches and joins them.

enum TPieceTrack { ptVideo, ptAudio };

// One piece to fetch once: a segment, or an init section that segments share.
struct TPieceJob {
    TStreamPiece Piece;
    TPieceTrack Track = ptVideo;
    double Duration = 0; // seconds; 0 for an init section
    double Start = 0;    // seconds into its track
    int Segment = 0;     // its number in its track (from 1); 0 for an init section
};

struct TStreamJobs {
    // Every piece once: the init sections, the video's segments, the
    // audio's.
    std::vector<TPieceJob> Jobs;
    // The order they are fetched in: the init sections, then the segments
    // of both tracks by the time they play, so that what is stored grows
    // with the time it covers.
    std::vector<std::size_t> Order;
    // For the join: per track (video, then audio when it comes apart), its
    // groups in play order, each a list of indices into Jobs. A group starts
    // at every discontinuity and wherever the init section changes, with its
    // init section first.
    std::vector<std::vector<std::vector<std::size_t>>> Groups;
    // How many segments each track has, for the names of failures.
    int VideoSegments = 0;
    int AudioSegments = 0;
    double Duration = 0; // seconds
    // Names the plan's renditions and pieces: another list, another digest.
    std::string Digest;
};

TStreamJobs PlanJobs(const TStreamPlan& plan);
