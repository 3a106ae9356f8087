// Arbitrary server bytes as the replies to a GET: whatever they are, the
// client ends with a text or one of its own failures, never a crash, and
// never sends a line break inside a request line or header.
#include "MemoryIOHandler.h"

#include "http/TIdHTTP.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const std::uint8_t options = data[0];
    const std::size_t piece = 1 + data[1] % 64 * 16;
    TMemoryIOHandler transport(std::string_view(reinterpret_cast<const char*>(data) + 2, size - 2), piece);

    TIdHTTP http;
    http.SetIOHandler(&transport);
    http.SetHandleRedirects(options & 1);
    http.SetProtocolVersion(options & 2 ? pv1_0 : pv1_1);
    http.SetAllowCookies(options & 4);
    try {
        std::string text = http.GetToString("http://video.example/watch?v=abc");
        if (options & 8)
            http.GetToString("/get_video_info?video_id=abc");
    } catch (const Exception&) {
        // The client's own failures are expected answers to bad replies.
    }
    http.CloseConnection();

    // Every request line and header line ends in CR LF and holds no other.
    const std::string& sent = transport.Sent();
    for (std::size_t i = 0; i < sent.size(); ++i)
        if ((sent[i] == '\r') != (i + 1 < sent.size() && sent[i + 1] == '\n'))
            std::abort();
    return 0;
}
