#include "grabber/TStreamFetch.h"

#include "grabber/HttpStatus.h"
#include "grabber/PieceDecryption.h"
#include "grabber/PoolSettings.h"
#include "grabber/RangeHeaders.h"
#include "grabber/internet/InternetApi.h"
#include "runtime/TThread.h"

#include <algorithm>
#include <cctype>

namespace {

using TClock = std::chrono::steady_clock;

// A piece larger than this is no piece of a video.
constexpr std::int64_t kLargestPiece = std::int64_t(512) << 20;
// Progress reaches the worker at most this often.
constexpr std::chrono::milliseconds kProgressInterval{100};
// The longest wait for the network between looks at retries and progress.
constexpr std::chrono::milliseconds kLongestWait{200};

// A server error, a time-out, too many requests, a silent server or a cut
// connection may pass; no connection at all may too, for a piece of a
// stream whose other pieces arrived.
bool Passes(const TInternetFailure& failure)
{
    return failure.Kind != fkRefused && failure.Kind != fkDisk;
}

TInternetFailure OwnFailure(TFailureKind kind, std::string words, std::vector<std::string> arguments = {})
{
    return {kind, 0, std::move(words), std::move(arguments), {}, nullptr};
}

} // namespace

TStreamFetch::TStreamFetch(const TJvGrabberSettings& settings, const TStreamJobs& jobs, const std::vector<bool>& stored,
                           THooks hooks)
    : settings_(settings), jobs_(jobs), hooks_(std::move(hooks)),
      pool_(PoolSettingsOf(settings), std::max(settings.Connections, 1))
{
    for (std::size_t job : jobs.Order)
        if (!stored[job])
            pending_.push_back(job);
}

std::optional<TInternetFailure> TStreamFetch::Run()
{
    for (;;) {
        StartDue();
        while (static_cast<int>(active_.size()) < std::max(settings_.Connections, 1) && StartNext()) {}
        if (Done())
            return std::nullopt;
        const auto wait = std::min(kLongestWait, TimeToNextRetry());
        std::optional<TInternetPool::TEnd> end = pool_.Wait(wait);
        TThread* worker = TThread::Current();
        if (worker && worker->Terminated())
            return std::nullopt;
        if (end)
            if (std::optional<TInternetFailure> failure = Finish(*end))
                return failure;
        ReportProgress();
    }
}

bool TStreamFetch::Done() const
{
    return pending_.empty() && active_.empty() && retries_.empty();
}

// Pieces whose wait is over go first.
void TStreamFetch::StartDue()
{
    const auto now = TClock::now();
    for (auto it = retries_.begin(); it != retries_.end();) {
        if (it->Due > now) {
            ++it;
            continue;
        }
        if (!it->KeyAddress.empty())
            keys_[it->KeyAddress].Asked = false;
        pending_.push_front(it->Job);
        it = retries_.erase(it);
    }
}

std::chrono::milliseconds TStreamFetch::TimeToNextRetry() const
{
    auto next = kLongestWait;
    const auto now = TClock::now();
    for (const TRetry& retry : retries_)
        next = std::min(next, std::chrono::duration_cast<std::chrono::milliseconds>(retry.Due - now));
    return std::max(next, std::chrono::milliseconds(1));
}

// Starts the next piece that can go: one whose key is there; a key that is
// not is asked for first (once), and the piece waits for it.
bool TStreamFetch::StartNext()
{
    if (pending_.empty())
        return false;
    const std::size_t job = pending_.front();
    pending_.pop_front();
    const std::optional<TPieceKey>& key = jobs_.Jobs[job].Piece.Key;
    if (key && !keys_[key->Address].Bytes) {
        TKey& waiting = keys_[key->Address];
        waiting.Waiting.push_back(job);
        if (!waiting.Asked)
            StartKey(key->Address, job);
        return true;
    }
    StartPiece(job);
    return true;
}

void TStreamFetch::StartPiece(std::size_t job)
{
    auto active = std::make_unique<TActive>();
    active->Job = job;
    TInternetPool::TRequest request = Request(jobs_.Jobs[job].Piece, *active);
    const int id = pool_.Start(std::move(request));
    active_.emplace(id, std::move(active));
}

void TStreamFetch::StartKey(const std::string& address, std::size_t forJob)
{
    keys_[address].Asked = true;
    auto active = std::make_unique<TActive>();
    active->Job = forJob;
    active->KeyAddress = address;
    TInternetPool::TRequest request = Request(TStreamPiece{address, std::nullopt, std::nullopt}, *active);
    const int id = pool_.Start(std::move(request));
    active_.emplace(id, std::move(active));
}

TInternetPool::TRequest TStreamFetch::Request(const TStreamPiece& piece, TActive& active)
{
    std::optional<TWebAddress> address = TWebAddress::ParseWeb(piece.Address);
    TInternetPool::TRequest request{address.value(), {}, {}, {}};
    const std::optional<TByteRange> range = piece.Range;
    if (range) {
        active.Want = range->Length;
        request.Headers.push_back("Range: bytes=" + std::to_string(range->Offset) + "-" +
                                  std::to_string(range->Offset + range->Length - 1));
    }
    request.OnHead = [this, &active, range](const TInternetPool::THead& head) { return OnHead(active, head, range); };
    request.OnBody = [this, &active](std::string_view bytes) { return OnBody(active, bytes); };
    return request;
}

// Only a success carries the piece: the range asked for, or the whole
// answer, which the range is then cut out of.
bool TStreamFetch::OnHead(TActive& active, const TInternetPool::THead& head, const std::optional<TByteRange>& range)
{
    if (!HttpStatus::IsSuccess(head.Status)) {
        const std::string status = std::to_string(head.Status) + (head.StatusText.empty() ? "" : " " + head.StatusText);
        active.Failure = OwnFailure(HttpStatus::Passes(head.Status) ? fkBusy : fkRefused, "HTTP " + status);
        return false;
    }
    if (range && head.Status == HttpStatus::kPartialContent) {
        std::optional<TContentRange> given = ParseContentRange(head.Field("Content-Range").value_or(""));
        if (!given || given->First != range->Offset) {
            active.Failure = OwnFailure(fkRefused, "The server answered with other bytes than those asked for");
            return false;
        }
    } else if (range) {
        active.Skip = range->Offset;
    }
    return true;
}

bool TStreamFetch::OnBody(TActive& active, std::string_view bytes)
{
    const auto skipped = static_cast<std::size_t>(std::min<std::int64_t>(active.Skip, bytes.size()));
    active.Skip -= static_cast<std::int64_t>(skipped);
    bytes.remove_prefix(skipped);
    // A whole answer to a range: what follows the range is not wanted.
    bool beyond = false;
    if (active.Want >= 0) {
        const auto room = static_cast<std::size_t>(active.Want) -
            std::min(active.Bytes.size(), static_cast<std::size_t>(active.Want));
        beyond = bytes.size() > room;
        bytes = bytes.substr(0, room);
    }
    active.Bytes.append(bytes);
    if (static_cast<std::int64_t>(active.Bytes.size()) > kLargestPiece) {
        active.Failure = OwnFailure(fkRefused, "The piece is larger than any piece of a video");
        return false;
    }
    return !beyond;
}

std::optional<TInternetFailure> TStreamFetch::Finish(const TInternetPool::TEnd& end)
{
    auto found = active_.find(end.Id);
    if (found == active_.end())
        return std::nullopt;
    std::unique_ptr<TActive> active = std::move(found->second);
    active_.erase(found);
    if (end.Failure)
        return Failed(*active, *end.Failure);
    if (active->Failure)
        return Failed(*active, *active->Failure);
    if (active->Want >= 0 && static_cast<std::int64_t>(active->Bytes.size()) != active->Want)
        return Failed(*active, OwnFailure(fkCut, "The piece ended before its last byte"));
    return Completed(*active);
}

std::optional<TInternetFailure> TStreamFetch::Completed(TActive& active)
{
    const std::size_t job = *active.Job;
    if (!active.KeyAddress.empty()) {
        TKey& key = keys_[active.KeyAddress];
        if (active.Bytes.size() != 16)
            return Named(job, OwnFailure(fkRefused, "The key is not 16 bytes long"), "The key of %s");
        key.Bytes.emplace();
        std::copy(active.Bytes.begin(), active.Bytes.end(), key.Bytes->begin());
        for (auto it = key.Waiting.rbegin(); it != key.Waiting.rend(); ++it)
            pending_.push_front(*it);
        key.Waiting.clear();
        return std::nullopt;
    }
    const TStreamPiece& piece = jobs_.Jobs[job].Piece;
    if (piece.Key) {
        std::optional<std::string> plain = DecryptPiece(active.Bytes, *keys_[piece.Key->Address].Bytes, piece.Key->Iv);
        if (!plain)
            return Named(job, OwnFailure(fkRefused, "Its key does not fit it"), "%s could not be decrypted");
        active.Bytes = std::move(*plain);
    }
    hooks_.Store(job, active.Bytes);
    return std::nullopt;
}

// A piece that falters waits and is tried again, as often as the settings
// allow; a key likewise, for the pieces that wait for it.
std::optional<TInternetFailure> TStreamFetch::Failed(TActive& active, TInternetFailure failure)
{
    const std::size_t job = *active.Job;
    const int attempt = ++attempts_[job];
    if (!Passes(failure) || attempt > settings_.Retries)
        return Named(job, std::move(failure),
                     active.KeyAddress.empty() ? "%s could not be fetched" : "The key of %s could not be fetched");
    const std::chrono::seconds backOff{1LL << std::min(attempt - 1, 16)};
    const auto wait = backOff.count() * settings_.RetrySecond;
    retries_.push_back({TClock::now() + wait, job, active.KeyAddress});
    if (hooks_.Retrying)
        hooks_.Retrying(static_cast<int>(backOff.count()), attempt, settings_.Retries,
                        Named(job, failure, "%s could not be fetched"));
    return std::nullopt;
}

void TStreamFetch::ReportProgress()
{
    const auto now = TClock::now();
    if (!hooks_.Progress || now - lastProgress_ < kProgressInterval)
        return;
    lastProgress_ = now;
    std::int64_t onTheirWay = 0;
    for (const auto& [id, active] : active_)
        if (active->KeyAddress.empty())
            onTheirWay += static_cast<std::int64_t>(active->Bytes.size());
    hooks_.Progress(onTheirWay);
}

// "Segment 17 of 120 of the video could not be fetched: HTTP 404 Not Found".
TInternetFailure TStreamFetch::Named(std::size_t job, TInternetFailure cause, const char* what) const
{
    const TPieceJob& piece = jobs_.Jobs[job];
    const bool video = piece.Track == ptVideo;
    std::string name;
    std::vector<std::string> arguments;
    if (piece.Segment == 0) {
        name = video ? "the init section of the video" : "the init section of the sound";
    } else {
        name = video ? "segment %s of %s of the video" : "segment %s of %s of the sound";
        arguments = {std::to_string(piece.Segment), std::to_string(video ? jobs_.VideoSegments : jobs_.AudioSegments)};
    }
    std::string words = what;
    words.replace(words.find("%s"), 2, name);
    words[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(words[0])));
    const TFailureKind kind = cause.Kind;
    return {kind, cause.Code, words, arguments, {}, std::make_shared<const TInternetFailure>(std::move(cause))};
}
