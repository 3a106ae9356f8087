#include "grabber/StreamJobs.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>

namespace {

// FNV-1a over the texts that name the pieces.
class TDigest {
public:
    void Add(const std::string& text)
    {
        for (unsigned char c : text)
            hash_ = (hash_ ^ c) * 1099511628211ull;
        hash_ = (hash_ ^ 0xffu) * 1099511628211ull; // where one text ends
    }
    void Add(const TStreamPiece& piece)
    {
        Add(piece.Address);
        if (piece.Range)
            Add(std::to_string(piece.Range->Offset) + "+" + std::to_string(piece.Range->Length));
        if (piece.Key)
            Add(piece.Key->Address + std::string(piece.Key->Iv.begin(), piece.Key->Iv.end()));
    }
    std::string Text() const
    {
        char text[17];
        std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash_));
        return text;
    }

private:
    std::uint64_t hash_ = 14695981039346656037ull;
};

// A track's init sections and segments as jobs; its groups for the join.
void AddTrack(const TStreamTrack& track, TPieceTrack kind, std::vector<TPieceJob>& inits,
              std::vector<TPieceJob>& segments, std::vector<std::vector<std::size_t>>& groups,
              std::size_t firstSegmentJob)
{
    std::map<int, std::size_t> initJob; // init index -> position among the inits
    for (std::size_t i = 0; i < track.Inits.size(); ++i) {
        initJob[static_cast<int>(i)] = inits.size();
        inits.push_back({track.Inits[i], kind, 0, 0, 0});
    }
    double start = 0;
    int lastInit = -2;
    int lastDiscontinuity = -1;
    for (std::size_t i = 0; i < track.Segments.size(); ++i) {
        const TStreamSegment& segment = track.Segments[i];
        if (segment.Init != lastInit || segment.Discontinuity != lastDiscontinuity) {
            groups.emplace_back();
            // Init sections come first among the jobs: their numbers are final.
            if (segment.Init >= 0)
                groups.back().push_back(initJob.at(segment.Init));
            lastInit = segment.Init;
            lastDiscontinuity = segment.Discontinuity;
        }
        groups.back().push_back(firstSegmentJob + segments.size());
        segments.push_back({segment.Piece, kind, segment.Duration, start, static_cast<int>(i) + 1});
        start += segment.Duration;
    }
}

} // namespace

TStreamJobs PlanJobs(const TStreamPlan& plan)
{
    const std::size_t initCount = plan.Video.Inits.size() + (plan.Audio ? plan.Audio->Inits.size() : 0);
    std::vector<TPieceJob> inits;
    std::vector<TPieceJob> videoSegments;
    std::vector<TPieceJob> audioSegments;
    TStreamJobs jobs;
    jobs.Groups.resize(plan.Audio ? 2 : 1);
    AddTrack(plan.Video, ptVideo, inits, videoSegments, jobs.Groups[0], initCount);
    if (plan.Audio)
        AddTrack(*plan.Audio, ptAudio, inits, audioSegments, jobs.Groups[1], initCount + videoSegments.size());
    jobs.VideoSegments = static_cast<int>(videoSegments.size());
    jobs.AudioSegments = static_cast<int>(audioSegments.size());
    jobs.Duration = plan.Duration;

    jobs.Jobs = std::move(inits);
    jobs.Jobs.insert(jobs.Jobs.end(), videoSegments.begin(), videoSegments.end());
    jobs.Jobs.insert(jobs.Jobs.end(), audioSegments.begin(), audioSegments.end());
    jobs.Order.resize(jobs.Jobs.size());
    for (std::size_t i = 0; i < jobs.Order.size(); ++i)
        jobs.Order[i] = i;
    std::stable_sort(jobs.Order.begin() + static_cast<std::ptrdiff_t>(initCount), jobs.Order.end(),
                     [&](std::size_t a, std::size_t b) { return jobs.Jobs[a].Start < jobs.Jobs[b].Start; });

    TDigest digest;
    digest.Add(plan.VideoId);
    digest.Add(plan.AudioId);
    for (const TPieceJob& job : jobs.Jobs)
        digest.Add(job.Piece);
    jobs.Digest = digest.Text();
    return jobs;
}
