#include "stream/HlsPlaylist.h"

#include "stream/EStreamManifest.h"
#include "stream/HlsMasterReader.h"
#include "stream/HlsMediaReader.h"
#include "stream/StreamLimits.h"

namespace {

// The first line of every playlist.
bool IsHeaded(std::string_view text)
{
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    if (!text.starts_with("#EXTM3U"))
        return false;
    text.remove_prefix(7);
    return text.empty() || text.front() == '\r' || text.front() == '\n' || text.front() == ' ' || text.front() == '\t';
}

// A master playlist lists variants; a media playlist lists segments.
bool IsMaster(std::string_view text)
{
    bool master = false;
    ForEachLine(text, [&master](const THlsLine& line) {
        master = master || (line.IsTag() && line.TagName() == "EXT-X-STREAM-INF");
    });
    return master;
}

template <class TReader>
THlsPlaylist ReadWith(TReader reader, std::string_view text)
{
    ForEachLine(text, [&reader](const THlsLine& line) { reader.Read(line); });
    return reader.Finish();
}

} // namespace

THlsPlaylist ReadHlsPlaylist(std::string_view text, const std::string& address)
{
    if (text.size() > kMaxManifestBytes)
        throw EStreamManifest(mkPlaylist, {}, "it is larger than %s MiB", {std::to_string(kMaxManifestBytes >> 20)});
    if (!IsHeaded(text))
        throw EStreamManifest(mkPlaylist, TManifestPlace::Line(1), "%s is missing", {"#EXTM3U"});
    if (IsMaster(text))
        return ReadWith(THlsMasterReader(address), text);
    return ReadWith(THlsMediaReader(address), text);
}
