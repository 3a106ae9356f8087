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

}  // namespace

void TIdCustomHTTP::ReadBody(TStream* target)
{
    if (!target)
        return;
    const std::string& encoding = response_->ContentEncoding();
    if (compressor_ && (encoding == "deflate" || encoding == "gzip")) {
        TMemoryStream packed;
        ReadBodyBytes(packed);
        packed.SetPosition(0);
        compressor_->Decompress(encoding, packed, *target);
        return;
    }
    ReadBodyBytes(*target);
}

void TIdCustomHTTP::ReadBodyBytes(TStream& target)
{
    if (response_->HeaderLines().ValueOf("Transfer-Encoding").find("chunked") != std::string::npos) {
        ReadChunked(target);
    } else if (response_->ContentLength() > 0) {
        // A server that closes before the length is complete leaves what it sent.
        try {
            ReadCounted(target, response_->ContentLength());
        } catch (const EIdConnClosedGracefully&) {
        }
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
    TIdIOHandler& io = *IOHandler();
    for (;;) {
        std::string line = io.ReadLine();
        if (io.ReadLnTimedOut())
            throw EIdReadTimeout();
        std::int64_t size = AsciiText::HexToInt64(line.substr(0, line.find_first_of(" ;"))).value_or(0);
        if (size <= 0)
            break;
        ReadCounted(target, size);
        io.ReadLine();
    }
    try {
        io.ReadLine();
    } catch (const EIdConnClosedGracefully&) {
        // The body is complete; a server that closes instead of ending the
        // message with its empty line loses nothing.
    } catch (const EIdTlsTruncated&) {
        // Nor does one that closes so without a TLS close notification: the
        // last chunk has already said that the body is whole.
    }
}
