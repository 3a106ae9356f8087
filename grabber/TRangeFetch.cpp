#include "grabber/TRangeFetch.h"

#include "grabber/HttpStatus.h"
#include "grabber/RangeHeaders.h"

#include <algorithm>

namespace {

using TClock = std::chrono::steady_clock;

// A piece is never split into parts smaller than this: the request that
// fetches the new part costs a round trip (and a TLS handshake) that fewer
// bytes would not repay.
constexpr std::int64_t kLeastPiece = std::int64_t(1) << 20;
// A piece's written bytes reach the record at least this often, so that a
// run that is killed has little to fetch again.
constexpr std::int64_t kRecordBytes = std::int64_t(8) << 20;
constexpr std::chrono::seconds kRecordInterval{1};
// libcurl hands a body over in pieces of 16 KiB: they are gathered up to
// this size before they are written, a call to the disk for each costing
// more than copying them. Larger ones are written as they come.
constexpr std::size_t kWriteBuffer = 256 * 1024;
constexpr std::size_t kWrittenAsTheyCome = 64 * 1024;
// The open answer is read in reads of this size, at most a few in a turn
// before the pool's connections are served again.
constexpr std::uint32_t kReadSize = 256 * 1024;
constexpr int kReadsPerTurn = 4;
// The longest wait for the network between looks at the stop request.
constexpr std::chrono::milliseconds kLongestWait{100};
// Connections lost in one attempt, for each connection, before the attempt
// gives up (the worker then waits and continues every range).
constexpr int kLossesPerConnection = 4;
// The transfer number of the pieces the open answer fetches.
constexpr int kFirstAnswer = -1;

TInternetFailure OwnFailure(TFailureKind kind, std::string words, std::vector<std::string> arguments = {})
{
    return {kind, 0, std::move(words), std::move(arguments), {}, nullptr};
}

std::optional<std::string> ValidatorOf(const TInternetPool::THead& head)
{
    return RangeValidator(head.Field("ETag").value_or(""), head.Field("Last-Modified").value_or(""));
}

} // namespace

TRangeFetch::TRangeFetch(const TInternetSettings& internet, TContent content, const THeldBytes& held, int connections,
                         THooks hooks)
    : content_(std::move(content)), hooks_(std::move(hooks)), buffer_(kReadSize),
      stallLimit_(internet.receiveTimeoutMs), held_(held.Total()), allowed_(std::max(connections, 1)),
      lossLimit_(kLossesPerConnection * std::max(connections, 1)), pool_(internet, std::max(connections, 1))
{
    pool_.OneTransferPerConnection();
    Plan(held, allowed_);
}

// The gaps are the pieces; the largest are halved until each connection has
// one.
void TRangeFetch::Plan(const THeldBytes& held, int connections)
{
    for (const TByteSpan& gap : held.Missing(content_.Length))
        pieces_.emplace_back(gap.From, gap.To);
    while (static_cast<int>(pieces_.size()) < connections) {
        auto largest = std::max_element(pieces_.begin(), pieces_.end(),
                                        [](const TPiece& a, const TPiece& b) { return a.Remaining() < b.Remaining(); });
        if (largest == pieces_.end() || largest->Remaining() < 2 * kLeastPiece)
            break;
        const std::int64_t middle = largest->Next + largest->Remaining() / 2;
        pieces_.emplace(std::next(largest), middle, largest->End);
        largest->End = middle;
    }
}

TRangeFetch::TOutcome TRangeFetch::Run(TOpenAnswer first)
{
    for (TPiece& piece : pieces_) {
        if (piece.Next == first.At) {
            piece.Transfer = kFirstAnswer;
            first_ = std::move(first);
            break;
        }
    }
    if (!first_ && first.Close)
        first.Close(); // it begins where nothing is missing
    firstLastBytes_ = TClock::now();
    hooks_.Progress(held_);
    while (!Done() && !changed_ && !failure_ && !hooks_.Stopped()) {
        Schedule();
        ReadFirstAnswer();
        if (Done() || changed_ || failure_)
            break;
        std::optional<TInternetPool::TEnd> end =
            pool_.Wait(kLongestWait, first_ ? first_->WaitHint() : TInternetWaitHint{});
        if (writeError_)
            break;
        if (end)
            Finish(*end);
        hooks_.Progress(held_);
    }
    RecordAll();
    if (first_)
        EndFirstAnswer();
    if (writeError_)
        std::rethrow_exception(writeError_);
    hooks_.Progress(held_);
    if (changed_)
        return foChanged;
    if (failure_)
        return foFailed;
    return Done() ? foDone : foStopped;
}

bool TRangeFetch::Done() const
{
    return pieces_.empty();
}

int TRangeFetch::Connections() const
{
    return static_cast<int>(transfers_.size()) + (first_ ? 1 : 0);
}

// Every free connection takes a piece that waits, else half of the largest
// rest of a piece under way.
void TRangeFetch::Schedule()
{
    while (Connections() < allowed_ && (StartWaiting() || SplitLargest())) {}
}

bool TRangeFetch::StartWaiting()
{
    for (TPiece& piece : pieces_) {
        if (piece.Transfer == 0 && piece.Remaining() > 0) {
            StartTransfer(piece);
            return true;
        }
    }
    return false;
}

bool TRangeFetch::SplitLargest()
{
    auto largest = pieces_.end();
    for (auto it = pieces_.begin(); it != pieces_.end(); ++it)
        if (it->Transfer != 0 && (largest == pieces_.end() || it->Remaining() > largest->Remaining()))
            largest = it;
    if (largest == pieces_.end() || largest->Remaining() < 2 * kLeastPiece)
        return false;
    const std::int64_t middle = largest->Next + largest->Remaining() / 2;
    auto half = pieces_.emplace(std::next(largest), middle, largest->End);
    largest->End = middle;
    StartTransfer(*half);
    return true;
}

void TRangeFetch::StartTransfer(TPiece& piece)
{
    auto transfer = std::make_unique<TRangeTransfer>();
    transfer->Piece = &piece;
    transfer->Last = piece.End - 1;
    TInternetPool::TRequest request{content_.Address, content_.Headers, {}, {}};
    request.Headers.push_back("Range: bytes=" + std::to_string(piece.Next) + "-" + std::to_string(transfer->Last));
    request.Headers.push_back("If-Range: " + content_.Validator);
    TRangeTransfer* watched = transfer.get();
    request.OnHead = [this, watched](const TInternetPool::THead& head) { return OnHead(*watched, head); };
    request.OnBody = [this, watched](std::string_view bytes) { return OnBody(*watched, bytes); };
    piece.Transfer = pool_.Start(std::move(request));
    transfers_.emplace(piece.Transfer, std::move(transfer));
}

// Only the asked bytes of the same content are taken. An error status
// refuses the connection; an answer for another version of the content, or
// for other bytes, means what is held cannot be joined to it.
bool TRangeFetch::OnHead(TRangeTransfer& transfer, const TInternetPool::THead& head)
{
    if (head.Status == HttpStatus::kRangeNotSatisfiable) {
        transfer.Changed = true;
        return false;
    }
    if (!HttpStatus::IsSuccess(head.Status)) {
        const std::string status = std::to_string(head.Status) + (head.StatusText.empty() ? "" : " " + head.StatusText);
        transfer.Refused = true;
        transfer.Failure = OwnFailure(HttpStatus::Passes(head.Status) ? fkBusy : fkRefused, "HTTP " + status);
        return false;
    }
    const bool sameContent = ValidatorOf(head) == content_.Validator;
    if (head.Status != HttpStatus::kPartialContent) {
        // The whole content instead of the range: of no use beside other
        // connections, and alone a reason to start over, as for a request
        // that continues a part.
        if (sameContent && Connections() > 1)
            transfer.Refused = true;
        else
            transfer.Changed = true;
        return false;
    }
    std::optional<TContentRange> range = ParseContentRange(head.Field("Content-Range").value_or(""));
    std::optional<std::string> length = head.Field("Content-Length");
    if (!sameContent || !range || range->First != transfer.Piece->Next || range->Last > transfer.Last ||
        range->Length != content_.Length || (length && ParseByteCount(*length) != range->Last - range->First + 1)) {
        transfer.Changed = true;
        return false;
    }
    transfer.Last = range->Last;
    return true;
}

bool TRangeFetch::OnBody(TRangeTransfer& transfer, std::string_view bytes)
{
    // An exception may not cross libcurl: it waits for Run.
    try {
        transfer.Received += static_cast<std::int64_t>(bytes.size());
        if (Take(*transfer.Piece, bytes.data(), bytes.size()) == bytes.size())
            return true;
        transfer.Beyond = true;
    } catch (...) {
        writeError_ = std::current_exception();
    }
    return false;
}

std::size_t TRangeFetch::Take(TPiece& piece, const char* bytes, std::size_t count)
{
    const auto taken = static_cast<std::size_t>(std::min<std::int64_t>(piece.Remaining(), count));
    if (taken == 0)
        return 0;
    if (piece.Unwritten.empty() && taken >= kWrittenAsTheyCome)
        hooks_.Write(piece.Next, bytes, taken);
    else
        piece.Unwritten.append(bytes, taken);
    piece.Next += static_cast<std::int64_t>(taken);
    held_ += static_cast<std::int64_t>(taken);
    if (piece.Unwritten.size() >= kWriteBuffer || piece.Remaining() == 0)
        WriteOut(piece);
    Record(piece, false);
    return taken;
}

void TRangeFetch::WriteOut(TPiece& piece)
{
    if (piece.Unwritten.empty())
        return;
    const auto count = static_cast<std::int64_t>(piece.Unwritten.size());
    hooks_.Write(piece.Next - count, piece.Unwritten.data(), piece.Unwritten.size());
    piece.Unwritten.clear();
}

// Reads what the open answer has, writing it at its place; at the end of its
// piece it goes on with the next one when no connection has begun that,
// else it ends.
void TRangeFetch::ReadFirstAnswer()
{
    const auto now = TClock::now();
    for (int read = 0; read < kReadsPerTurn && first_; ++read) {
        TArrived arrived = first_->Read(buffer_.data(), static_cast<std::uint32_t>(buffer_.size()));
        if (arrived.Count == 0) {
            if (arrived.Ended) {
                FirstAnswerEnded(arrived);
                return;
            }
            break;
        }
        firstLastBytes_ = now;
        auto piece = FirstAnswerPiece();
        const char* bytes = buffer_.data();
        std::size_t count = arrived.Count;
        while (count > 0) {
            const std::size_t taken = Take(*piece, bytes, count);
            bytes += taken;
            count -= taken;
            if (piece->Remaining() == 0 && !AbsorbNext(*piece)) {
                EndFirstAnswer();
                return;
            }
        }
    }
    // A silent answer is lost as a silent pool transfer is.
    if (first_ && now - firstLastBytes_ > stallLimit_) {
        EndFirstAnswer();
        Lost(true,
             InternetFailure(ERROR_INTERNET_TIMEOUT,
                             "no data received for " + std::to_string(stallLimit_.count()) + " ms"));
    }
}

// The open answer ended before its piece did: cut, or shorter than it said.
void TRangeFetch::FirstAnswerEnded(const TArrived& arrived)
{
    const bool whole = FirstAnswerPiece()->Remaining() == 0;
    EndFirstAnswer();
    if (!whole)
        Lost(true, arrived.Failure ? *arrived.Failure : Cut());
}

std::list<TRangeFetch::TPiece>::iterator TRangeFetch::FirstAnswerPiece()
{
    return std::find_if(pieces_.begin(), pieces_.end(),
                        [](const TPiece& piece) { return piece.Transfer == kFirstAnswer; });
}

TInternetFailure TRangeFetch::Cut() const
{
    return OwnFailure(fkCut, "Connection closed after %s of %s bytes",
                      {std::to_string(held_), std::to_string(content_.Length)});
}

void TRangeFetch::EndFirstAnswer()
{
    first_->Close();
    first_.reset();
    for (auto it = pieces_.begin(); it != pieces_.end(); ++it) {
        if (it->Transfer != kFirstAnswer)
            continue;
        it->Transfer = 0;
        Record(*it, true);
        if (it->Remaining() == 0)
            pieces_.erase(it);
        return;
    }
}

// The piece right after this one, when it waits with nothing of it held,
// becomes this one's rest.
bool TRangeFetch::AbsorbNext(TPiece& piece)
{
    auto it = std::find_if(pieces_.begin(), pieces_.end(), [&](const TPiece& p) { return &p == &piece; });
    auto next = std::next(it);
    if (next == pieces_.end() || next->Transfer != 0 || next->Next != piece.End)
        return false;
    piece.End = next->End;
    pieces_.erase(next);
    return true;
}

void TRangeFetch::Finish(const TInternetPool::TEnd& end)
{
    auto found = transfers_.find(end.Id);
    if (found == transfers_.end())
        return;
    std::unique_ptr<TRangeTransfer> transfer = std::move(found->second);
    transfers_.erase(found);
    TPiece& piece = *transfer->Piece;
    piece.Transfer = 0;
    Record(piece, true);
    if (transfer->Changed) {
        changed_ = true;
        return;
    }
    if (piece.Remaining() == 0) {
        pieces_.remove_if([&](const TPiece& p) { return &p == &piece; });
        return;
    }
    Lost(transfer->Received > 0, transfer->Failure ? *transfer->Failure : end.Failure ? *end.Failure : Cut());
}

// A piece whose connection was lost waits for another. A connection lost
// before its first byte was refused: the server gets fewer from now on, as
// long as one still works.
void TRangeFetch::Lost(bool anyReceived, const TInternetFailure& failure)
{
    if (!anyReceived)
        allowed_ = std::max(1, Connections());
    if ((!anyReceived && Connections() == 0) || ++losses_ > lossLimit_)
        failure_ = failure;
}

void TRangeFetch::Record(TPiece& piece, bool now)
{
    if (piece.Next == piece.Recorded)
        return;
    const auto at = TClock::now();
    if (!now && piece.Next - piece.Recorded < kRecordBytes && at - piece.RecordedAt < kRecordInterval)
        return;
    WriteOut(piece);
    hooks_.Held({piece.Recorded, piece.Next});
    piece.Recorded = piece.Next;
    piece.RecordedAt = at;
}

void TRangeFetch::RecordAll()
{
    for (TPiece& piece : pieces_)
        Record(piece, true);
}
