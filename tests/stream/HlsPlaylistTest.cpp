#include "stream/HlsPlaylist.h"
#include "stream/EStreamManifest.h"
#include "stream/StreamLimits.h"
#include "stream/TrackText.h"

#include <gtest/gtest.h>

namespace {

using Texts = std::vector<std::string>;

// The text as other servers write it: a byte order mark, CRLF line ends.
std::string WithBomAndCrlf(const std::string& text)
{
    std::string written = "\xEF\xBB\xBF";
    for (char c : text)
        written += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return written;
}

// A file read as written and as other servers write it, which must read alike.
std::vector<THlsPlaylist> ReadBothWays(const std::string& file, const std::string& address)
{
    const std::string text = ManifestFile(file);
    return {ReadHlsPlaylist(text, address), ReadHlsPlaylist(WithBomAndCrlf(text), address)};
}

} // namespace

TEST(HlsPlaylist, ReadsTheVariantsAndAudioOfAMaster)
{
    const std::string folder = "https://example.org/shows/tide/";
    for (const THlsPlaylist& playlist : ReadBothWays("master.m3u8", folder + "master.m3u8")) {
        ASSERT_TRUE(playlist.Master);
        EXPECT_EQ(playlist.Protection, spNone);
        // The I-frame variant is none; the audio-only one (4) is audio.
        const struct {
            const char* id;
            const char* address;
            int width, height;
            std::int64_t bandwidth; // BANDWIDTH, else AVERAGE-BANDWIDTH
            const char* group;
        } formats[] = {
            {"0", "video/360/index.m3u8", 640, 360, 1280000, "aac"},
            {"1", "video/720/index.m3u8", 1280, 720, 2560000, "aac"},
            {"2", "https://cdn.example.net/hevc/720.m3u8", 1280, 720, 3100000, "aac"},
            {"3", "https://example.org/shows/low/index.m3u8?token=a", 416, 234, 400000, "muxed"},
        };
        ASSERT_EQ(playlist.Formats.size(), std::size(formats));
        for (std::size_t i = 0; i < std::size(formats); ++i) {
            const TStreamFormat& format = playlist.Formats[i];
            EXPECT_EQ(format.Id, formats[i].id);
            EXPECT_EQ(Relative(format.Address, folder), formats[i].address);
            EXPECT_EQ(format.Width, formats[i].width);
            EXPECT_EQ(format.Height, formats[i].height);
            EXPECT_EQ(format.Bandwidth, formats[i].bandwidth);
            EXPECT_EQ(format.AudioGroup, formats[i].group);
        }
        EXPECT_EQ(playlist.Formats[2].Codecs, "hvc1.1.6.L93.90,mp4a.40.2");

        // A rendition borrows the audio codecs of its group's first variant.
        const struct {
            const char* id;
            const char* address;
            const char* language;
            const char* group;
            bool isDefault;
            const char* codecs;
            std::optional<std::int64_t> bandwidth;
        } audio[] = {
            {"English", "audio/en/index.m3u8", "en", "aac", true, "mp4a.40.2", std::nullopt},
            {"Español", "audio/es/index.m3u8", "es-ES", "aac", false, "mp4a.40.2", std::nullopt},
            {"Main", "", "", "muxed", true, "mp4a.40.5", std::nullopt},
            {"4", "audio-only.m3u8", "", "", false, "mp4a.40.5", 64000},
        };
        ASSERT_EQ(playlist.Audio.size(), std::size(audio));
        for (std::size_t i = 0; i < std::size(audio); ++i) {
            const TAudioRendition& rendition = playlist.Audio[i];
            EXPECT_EQ(rendition.Id, audio[i].id);
            EXPECT_EQ(Relative(rendition.Address, folder), audio[i].address);
            EXPECT_EQ(rendition.Language, audio[i].language);
            EXPECT_EQ(rendition.Group, audio[i].group);
            EXPECT_EQ(rendition.Default, audio[i].isDefault) << rendition.Id;
            EXPECT_EQ(rendition.Codecs, audio[i].codecs) << rendition.Id;
            EXPECT_EQ(rendition.Bandwidth, audio[i].bandwidth) << rendition.Id;
        }
    }
}

TEST(HlsPlaylist, ReadsTheSegmentsOfMediaPlaylists)
{
    const std::string folder = "https://example.org/v/";
    const struct {
        const char* file;
        Texts segments;
        Texts inits;
        double duration;
        bool live;
        TStreamProtection protection;
    } rows[] = {
        // Keys rotate: without IV the media sequence number is the IV; a
        // METHOD=NONE ends encryption. VOD without ENDLIST is finished.
        {"media-keys.m3u8",
         {"seg7.ts key=keys/k1.bin:7 9.009s", "seg8.ts key=keys/k1.bin:8 9.009s",
          "seg9.ts key=https://keys.example.net/k2:102030405060708090a0b0c0d0e0f 10s d1", "seg10.ts 5.5s d1"},
         {},
         33.518,
         false,
         spAes128},
        // A range without offset continues the last range of its own file;
        // an init section is encrypted by the key in force at its tag, and
        // an init section met again is the same one. EVENT without ENDLIST
        // is live.
        {"media-maps.m3u8",
         {"main.mp4 @720+1000 4s i0", "main.mp4 @1720+1200 4s i0", "other.mp4 @0+300 2s i0", "main.mp4 @2920+800 4s i0",
          "b1.m4s key=key:1 3s i1 d1", "main.mp4 @3720+100 1.5s i0 d1"},
         {"main.mp4 @0+720", "init-b.mp4 key=key:1"},
         18.5,
         true,
         spAes128},
    };
    for (const auto& row : rows) {
        for (const THlsPlaylist& playlist : ReadBothWays(row.file, folder + "index.m3u8")) {
            EXPECT_FALSE(playlist.Master);
            EXPECT_EQ(SegmentTexts(playlist.Track, folder), row.segments) << row.file;
            EXPECT_EQ(InitTexts(playlist.Track, folder), row.inits) << row.file;
            EXPECT_DOUBLE_EQ(playlist.Track.Duration, row.duration) << row.file;
            EXPECT_EQ(playlist.Live, row.live) << row.file;
            EXPECT_EQ(playlist.Protection, row.protection) << row.file;
        }
    }
}

TEST(HlsPlaylist, TellsLiveAndProtectedPlaylists)
{
    const struct {
        const char* tags; // before one segment
        bool live;
        TStreamProtection protection;
    } rows[] = {
        {"", true, spNone},
        {"#EXT-X-ENDLIST\n", false, spNone},
        {"#EXT-X-PLAYLIST-TYPE:EVENT\n#EXT-X-ENDLIST\n", false, spNone},
        {"#EXT-X-KEY:METHOD=AES-128,URI=\"k\",KEYFORMAT=\"identity\"\n", true, spAes128},
        {"#EXT-X-KEY:METHOD=SAMPLE-AES,URI=\"skd://k\",KEYFORMAT=\"com.apple.streamingkeydelivery\"\n", true, spDrm},
        {"#EXT-X-KEY:METHOD=SAMPLE-AES-CTR,URI=\"data:text/plain;base64,AAAA\"\n", true, spDrm},
        // AES-128 under a licence server's key format is no key to fetch.
        {"#EXT-X-KEY:METHOD=AES-128,URI=\"k\",KEYFORMAT=\"urn:uuid:edef8ba9-79d6-4ace-a3c8-27dcd51d21ed\"\n", true,
         spDrm},
        // The strongest key counts, wherever it stands.
        {"#EXT-X-KEY:METHOD=SAMPLE-AES,URI=\"k\"\n#EXT-X-KEY:METHOD=NONE\n", true, spDrm},
    };
    for (const auto& row : rows) {
        const std::string text = std::string("#EXTM3U\n") + row.tags + "#EXTINF:4,\na.ts\n";
        THlsPlaylist playlist = ReadHlsPlaylist(text, "https://example.org/index.m3u8");
        EXPECT_EQ(playlist.Live, row.live) << row.tags;
        EXPECT_EQ(playlist.Protection, row.protection) << row.tags;
    }
    THlsPlaylist master = ReadHlsPlaylist(
        "#EXTM3U\n#EXT-X-SESSION-KEY:METHOD=SAMPLE-AES,URI=\"skd://k\"\n#EXT-X-STREAM-INF:BANDWIDTH=1\nv.m3u8\n",
        "https://example.org/m.m3u8");
    EXPECT_EQ(master.Protection, spDrm);
}

TEST(HlsPlaylist, NamesTheLineOfABrokenPlaylist)
{
    const struct {
        const char* text;
        std::size_t line;
        const char* reason;
    } rows[] = {
        {"<html>", 1, "%s is missing"},
        {"#EXTM3Ux\n", 1, "%s is missing"},
        {"#EXTM3U\n#EXTINF:-3,\na.ts\n", 2, "%s has an invalid value (%s)"},
        {"#EXTM3U\n#EXTINF:nan,\na.ts\n", 2, "%s has an invalid value (%s)"},
        {"#EXTM3U\n#EXTINF:4,\n#EXTINF:1e400,\na.ts\n", 3, "%s has an invalid value (%s)"},
        {"#EXTM3U\n\na.ts\n", 3, "%s is missing"}, // EXTINF
        {"#EXTM3U\n#EXTINF:4,\nftp://example.org/a.ts\n", 3, "%s is not an http or https address"},
        {"#EXTM3U\n#EXT-X-MEDIA-SEQUENCE:-1\n", 2, "%s has an invalid value (%s)"},
        // Attribute lists: a quote left open, a pair without "=", bad values.
        {"#EXTM3U\n#EXT-X-KEY:METHOD=AES-128,URI=\"k\n", 2, "%s has an invalid value (%s)"},
        {"#EXTM3U\n#EXT-X-KEY:METHOD=AES-128,URI\n", 2, "%s has an invalid value (%s)"},
        {"#EXTM3U\n#EXT-X-KEY:METHOD=AES-256,URI=\"k\"\n", 2, "%s has an invalid value (%s)"},
        {"#EXTM3U\n#EXT-X-KEY:METHOD=AES-128\n", 2, "%s is missing"},
        {"#EXTM3U\n#EXT-X-KEY:METHOD=AES-128,URI=\"k\",IV=0x0123456789abcdef0123456789abcdef0\n", 2,
         "%s has an invalid value (%s)"},
        {"#EXTM3U\n#EXT-X-KEY:METHOD=AES-128,URI=\"k\",IV=0xZZ\n", 2, "%s has an invalid value (%s)"},
        // Byte ranges: empty, without a range of the same file before it.
        {"#EXTM3U\n#EXTINF:4,\n#EXT-X-BYTERANGE:0@0\na.ts\n", 3, "%s has an invalid value (%s)"},
        {"#EXTM3U\n#EXTINF:4,\n#EXT-X-BYTERANGE:10@0\na.ts\n#EXTINF:4,\n#EXT-X-BYTERANGE:10\nb.ts\n", 7,
         "a byte range without an offset follows no range of the same file"},
        // An encrypted init section needs the IV of its key's line.
        {"#EXTM3U\n#EXT-X-KEY:METHOD=AES-128,URI=\"k\"\n#EXT-X-MAP:URI=\"init.mp4\"\n", 2, "%s is missing"},
        {"#EXTM3U\n#EXT-X-MAP:BYTERANGE=\"10@0\"\n", 2, "%s is missing"},
        // Masters: a variant without its address, a bad resolution or
        // bandwidth, a group-less rendition, segments among the variants.
        {"#EXTM3U\n#EXT-X-STREAM-INF:BANDWIDTH=1\n#EXT-X-STREAM-INF:BANDWIDTH=2\nb.m3u8\n", 2, "%s is missing"},
        {"#EXTM3U\n#EXT-X-STREAM-INF:BANDWIDTH=1\n", 2, "%s is missing"},
        {"#EXTM3U\n#EXT-X-STREAM-INF:BANDWIDTH=1,RESOLUTION=1280x\nb.m3u8\n", 2, "%s has an invalid value (%s)"},
        {"#EXTM3U\n#EXT-X-STREAM-INF:BANDWIDTH=-5\nb.m3u8\n", 2, "%s has an invalid value (%s)"},
        {"#EXTM3U\n#EXT-X-MEDIA:TYPE=AUDIO,NAME=\"x\"\n#EXT-X-STREAM-INF:BANDWIDTH=1\nb.m3u8\n", 2, "%s is missing"},
        {"#EXTM3U\n#EXT-X-STREAM-INF:BANDWIDTH=1\nb.m3u8\n#EXTINF:4,\na.ts\n", 4,
         "a playlist cannot hold both variants and segments"},
    };
    for (const auto& row : rows) {
        try {
            ReadHlsPlaylist(row.text, "https://example.org/index.m3u8");
            ADD_FAILURE() << "read: " << row.text;
        } catch (const EStreamManifest& error) {
            const std::string where = "The playlist cannot be read: line " + std::to_string(row.line) + ": ";
            EXPECT_TRUE(std::string(error.what()).starts_with(where)) << error.what();
            EXPECT_STREQ(error.Reason(), row.reason) << error.what();
        }
    }
}

TEST(HlsPlaylist, RefusesWhatGoesBeyondItsBounds)
{
    std::string many = "#EXTM3U\n";
    for (std::size_t i = 0; i <= kMaxSegments; ++i)
        many += "#EXTINF:1,\ns.ts\n";
    try {
        ReadHlsPlaylist(many, "https://example.org/index.m3u8");
        ADD_FAILURE() << "read";
    } catch (const EStreamManifest& error) {
        EXPECT_STREQ(error.what(), "The playlist cannot be read: line 200003: more than 100000 segments");
    }
    const std::string large = "#EXTM3U\n" + std::string(kMaxManifestBytes, '#');
    EXPECT_THROW(ReadHlsPlaylist(large, "https://example.org/index.m3u8"), EStreamManifest);
}
