// Reads arbitrary bytes as a page, as JSON-LD and as a reference in a page,
// checking what must hold for every input: a video found is an http or https
// address (a file never one named as a playlist), and so is any reference
// read against a page's address.
#include "http/TWebAddress.h"
#include "page/JsonValue.h"
#include "page/LinkedData.h"
#include "page/PageVideo.h"
#include "page/ReferenceResolution.h"
#include "page/VideoTypes.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string page = "https://example.org/a/b.html";
    for (TSizePreference preference : {spLargest, spNearest360, spSmallest}) {
        TPageReading reading = ReadPageVideo(text, page, preference);
        Check(!reading.Video || reading.Video->Address.IsWeb());
        Check(!reading.Video || reading.Video->InPieces || !IsPiecesPath(reading.Video->Address.Path()));
    }
    // The JSON reader alone, and the page's tags around it.
    ParseJson(text);
    ReadPageVideo("<script type=application/ld+json>" + text + "</script>", page, spLargest);
    LinkedVideos(text);

    const std::string resolved = ResolveReference(page, text);
    Check(resolved.find_first_of(" \t\r\n") == std::string::npos);
    return 0;
}
