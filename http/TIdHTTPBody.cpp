// The client's body readers: a counted body, a chunked one, and one that
// lasts until the server closes; a compressed body is read whole first.
#include "http/TIdHTTP.h"

#include "http/EIdTlsFailure.h"

#include "runtime/AsciiText.h"
#include "runtime/TMemoryStream.h"

#include <algorithm>

namespace {

// Counted reads go to the stream in pieces of this size, so a length that a
// server merely claims never sizes the stream up front.
constexpr std::int64_t kCountedReadPiece = std::int64_t(1) << 20;

// Passes everything on to the target, but refuses to let it grow more than
// limit bytes beyond where it began: what a server sends never decides how
// much memory a reply takes.
class TBoundedStream : public TStream {
public:
    TBoundedStream(TStream& target, std::int64_t limit) : target_(target), end_(target.Position() + limit) {}

    std::int64_t Read(void* buffer, std::int64_t count) override { return target_.Read(buffer, count); }
    std::int64_t Write(const void* buffer, std::int64_t count) override
    {
        if (target_.Position() + count > end_)
            throw EIdResponseTooLarge();
        return target_.Write(buffer, count);
    }
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override { return target_.Seek(offset, origin); }
    void SetSize(std::int64_t size) override { target_.SetSize(std::min(size, end_)); }
    std::int64_t Size() override { return target_.Size(); }

private:
    TStream& target_;
    std::int64_t end_;
};

} // namespace

void TIdCustomHTTP::ReadBody(TStream* target)
{
    if (!target)
        return;
    if (maxBodySize_ > 0) {
        if (response_->ContentLength() > maxBodySize_)
            throw EIdResponseTooLarge();
        TBoundedStream bounded(*target, maxBodySize_);
        ReadBodyInto(bounded);
        return;
    }
    ReadBodyInto(*target);
}

void TIdCustomHTTP::ReadBodyInto(TStream& target)
{
    const std::string& encoding = response_->ContentEncoding();
    if (compressor_ && (encoding == "deflate" || encoding == "gzip")) {
        TMemoryStream packed;
        ReadBodyBytes(packed);
        packed.SetPosition(0);
        compressor_->Decompress(encoding, packed, target);
        return;
    }
    ReadBodyBytes(target);
}

void TIdCustomHTTP::ReadBodyBytes(TStream& target)
{
    if (response_->HeaderLines().ValueOf("Transfer-Encoding").find("chunked") != std::string::npos) {
        ReadChunked(target);
    } else if (response_->ContentLength() > 0) {
        // A server that closes before the length is complete leaves what it sent.
        try {
            ReadCounted(target, response_->ContentLength());
        } catch (const EIdConnClosedGracefully&) {}
    } else if (!response_->HasContentLength()) {
        IOHandler()->CopyToStream(target, -1, true);
    }
}

void TIdCustomHTTP::ReadCounted(TStream& target, std::int64_t count)
{
    while (count > 0 && IsConnected()) {
        const std::int64_t piece = std::min(count, kCountedReadPiece);
        const std::int64_t before = target.Position();
        IOHandler()->CopyToStream(target, piece);
        const std::int64_t moved = target.Position() - before;
        if (moved < piece)
            return;
        count -= moved;
    }
}

// Each chunk is a hexadecimal size line, the bytes and a line break; a size
// of 0 ends the body, and the empty line after it ends the message. Chunk
// extensions after ";" are skipped.
void TIdCustomHTTP::ReadChunked(TStream& target)
{
    DoStatus(hsStatusText, "Chunk Started");
    for (;;) {
        std::string line = ReadResponseLine();
        std::int64_t size = AsciiText::HexToInt64(line.substr(0, line.find_first_of(" ;"))).value_or(0);
        if (size <= 0)
            break;
        ReadCounted(target, size);
        ReadResponseLine();
    }
    try {
        ReadResponseLine();
    } catch (const EIdConnClosedGracefully&) {
        // The body is complete; a server that closes instead of ending the
        // message with its empty line loses nothing.
    } catch (const EIdTlsTruncated&) {
        // Nor does one that closes so without a TLS close notification: the
        // last chunk has already said that the body is whole.
    }
}
