#include "page/PageVideo.h"
#include "runtime/Utf8Text.h"
#include "support/PythonPeer.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

namespace {

std::string Page(const std::string& name)
{
    std::string html = FileBytes(SourceDir() + "/tests/page/pages/" + name);
    EXPECT_FALSE(html.empty()) << name;
    return html;
}

} // namespace

// Each page file against the video and title a reader should find, for each
// size preference. An empty address means no video.
TEST(PageVideo, FindsTheVideoOfEachPage)
{
    const struct {
        const char* file;
        const char* address; // as it reads the page
        const char* video;   // nearest 360 lines
        const char* largest; // when other than video
        const char* smallest;
        const char* title;
        bool inPieces = false;
    } rows[] = {
        // The secure address wins over og:video; og:title over <title>.
        {"open-graph.html", "https://example.org/talks/1", "https://media.example.org/talk.mp4", nullptr, nullptr,
         "Sea & Sky: a talk"},
        // An embedded player is no file: the <video src> after it is.
        {"open-graph-player.html", "https://example.org/tides/", "https://example.org/media/tides.webm?token=a&part=1",
         nullptr, nullptr, "Tide tables explained"},
        // MP4 before WebM before the rest; a file before the HLS source.
        {"sources-types.html", "http://example.org/clips/page.html?x", "http://example.org/clips/clip.mp4", nullptr,
         nullptr, "Two ways of one clip"},
        // Heights from size, media, label, data-res and res; of two as near
        // 360, the greater; of two of one height, the MP4.
        {"sources-sizes.html", "https://example.org/pools/", "https://example.org/pools/pools-480.mp4",
         "https://example.org/pools/pools-1080.mp4", "https://example.org/pools/pools-240.mp4", "Rock pools"},
        // <base href> is read against the page; entities in address and title.
        {"base-href.html", "https://example.org/harbour/cafe.html",
         "https://example.org/cdn/films/quay%202.mp4?x=1&y=2", nullptr, nullptr,
         "Caf\xc3\xa9 on the quay \xe2\x80\x93 part\xc2\xa0"
         "2"},
        // A VideoObject inside another object, with escapes in its address.
        {"json-ld.html", "https://example.org/lens", "https://cdn.example.org/lens.mp4", nullptr, nullptr,
         "The lighthouse lens"},
        {"broken.html", "https://example.org/b/c", "https://example.org/b/clip.mp4", nullptr, nullptr,
         "Broken & but fine"},
        // Streams in pieces only: a playlist by its name, a manifest by its type.
        {"hls.html", "https://example.org/live", "https://live.example.org/breakwater/index.m3u8", nullptr, nullptr,
         "Live from the breakwater", true},
        {"dash.html", "https://example.org/night", "https://stream.example.org/manifest?id=7", nullptr, nullptr,
         "Harbour at night", true},
        // A link to a video, an audio, a video without an address, broken
        // JSON-LD and a template's contents show no video.
        {"no-video.html", "https://example.org/about", "", nullptr, nullptr, "About the harbour society"},
    };
    for (const auto& row : rows) {
        const std::string html = Page(row.file);
        const struct {
            TSizePreference size;
            const char* expected;
        } choices[] = {{spNearest360, row.video},
                       {spLargest, row.largest ? row.largest : row.video},
                       {spSmallest, row.smallest ? row.smallest : row.video}};
        for (const auto& choice : choices) {
            TPageReading reading = ReadPageVideo(html, row.address, choice.size);
            EXPECT_EQ(reading.Video ? reading.Video->Address.Text() : "", choice.expected)
                << row.file << " " << choice.size.Rule;
            EXPECT_EQ(reading.Video && reading.Video->InPieces, row.inPieces) << row.file;
            EXPECT_EQ(reading.Title, row.title) << row.file;
        }
    }
}

// A stream in pieces stands beside the page's files: it is taken when there
// is no file, or when both tell heights and the stream's suits better.
TEST(PageVideo, TakesAStreamInPiecesOnlyWhereNoFileDoesAsWell)
{
    const std::string sized = "<video><source src=s.m3u8 type=application/x-mpegURL size=1080>"
                              "<source src=f720.mp4 size=720><source src=f360.mp4 size=360></video>";
    const struct {
        std::string html;
        TSizePreference size;
        const char* video; // relative to https://example.org/
        bool inPieces;
    } rows[] = {
        // One height: the file needs no joining.
        {"<video><source src=s.m3u8 type=application/x-mpegURL size=720><source src=f.mp4 type=video/mp4 size=720>",
         spLargest, "f.mp4", false},
        {sized, spLargest, "s.m3u8", true},
        {sized, spNearest360, "f360.mp4", false},
        {sized, spSmallest, "f360.mp4", false},
        {sized, NearestHeight(1000), "s.m3u8", true},
        {sized, NearestHeight(540), "f360.mp4", false}, // as near 720 as 360: the smaller
        // A height on one side only compares nothing.
        {"<video><source src=s.mpd size=1080><source src=f.mp4></video>", spLargest, "f.mp4", false},
        // A stream found earlier in the page does not beat a later file.
        {"<meta property=og:video content=/s.m3u8><video src=f.webm></video>", spLargest, "f.webm", false},
        // Without a file, the stream, however it is named.
        {"<video src=S.M3U8></video>", spSmallest, "S.M3U8", true},
        {R"(<script type="application/ld+json">{"@type": "VideoObject", "contentUrl": "/play?id=4",
            "encodingFormat": "application/dash+xml"}</script>)",
         spLargest, "play?id=4", true},
    };
    for (const auto& row : rows) {
        TPageReading reading = ReadPageVideo(row.html, "https://example.org/", row.size);
        ASSERT_TRUE(reading.Video) << row.html;
        EXPECT_EQ(reading.Video->Address.Text(), std::string("https://example.org/") + row.video) << row.html;
        EXPECT_EQ(reading.Video->InPieces, row.inPieces) << row.html;
    }
}

// What the video was chosen among: the sources of its own <video>, of
// either kind, in the page's order; a video found otherwise stands alone.
TEST(PageVideo, TellsWhatItsVideoWasChosenAmong)
{
    const struct {
        std::string html;
        const char* choices; // relative addresses with heights
    } rows[] = {
        {"<video src=a.mp4></video><video><source src=s.m3u8 size=1080 type=application/x-mpegURL>"
         "<source src=b.mp4 size=720><source src=c.mp4 size=360><source src=x.jpg type=image/jpeg></video>",
         "a.mp4 "},
        {"<video><source src=x.jpg type=image/jpeg></video><video><source src=s.m3u8 size=1080 "
         "type=application/x-mpegURL>"
         "<source src=b.mp4 size=720><source src=c.mp4></video>",
         "s.m3u8@1080 b.mp4@720 c.mp4 "},
        {"<video><source src=s.mpd></video><video><source src=f.webm></video>", "f.webm "},
        {"<meta property=og:video content=/s.m3u8>", "s.m3u8 "},
    };
    for (const auto& row : rows) {
        const TPageReading reading = ReadPageVideo(row.html, "https://example.org/", spLargest);
        std::string choices;
        for (const TPageVideo& video : reading.Choices)
            choices += video.Address.Text().substr(std::string("https://example.org/").size()) +
                (video.Height ? "@" + std::to_string(*video.Height) : "") + " ";
        EXPECT_EQ(choices, row.choices) << row.html;
    }
    EXPECT_TRUE(ReadPageVideo("<p>nothing</p>", "https://example.org/", spLargest).Choices.empty());
}

TEST(PageVideo, TellsTheTypeByTheTagOrByTheName)
{
    const std::string page = "https://example.org/";
    EXPECT_EQ(ReadPageVideo(Page("open-graph.html"), page, spLargest).Video->Type, "video/mp4");
    EXPECT_EQ(ReadPageVideo(Page("open-graph-player.html"), page, spLargest).Video->Type, "video/webm");
    EXPECT_EQ(ReadPageVideo("<video src=/v?id=1></video>", page, spLargest).Video->Type, "");
}

// Pages that would keep the parser busy for hours are read up to where they
// pass its bounds: the head, and any video before that point, still count.
TEST(PageVideo, ReadsAHostilePageUpToWhereItGoesTooFar)
{
    const std::string head = "<title>Deep</title><meta property=og:video content=/head.mp4><video src=early.mp4>";
    std::string deep = head, wide = head + "<div";
    for (int i = 0; i < 200000; ++i) {
        deep += i % 2 ? "<div>" : "<b class=x>";
        wide += " a" + std::to_string(i);
    }
    deep += "<video src=late.mp4>";
    wide += "><video src=late.mp4>";
    for (const std::string& html : {deep, wide}) {
        TPageReading reading = ReadPageVideo(html, "https://example.org/", spLargest);
        ASSERT_TRUE(reading.Video);
        EXPECT_EQ(reading.Video->Address.Text(), "https://example.org/head.mp4");
        EXPECT_EQ(reading.Title, "Deep");
    }
    // Within the bounds nothing is cut: closed, void and self-closed
    // elements, elements closed with the one around them, and tags in
    // comments and scripts do not count.
    std::string fine = "<body><!-- <div><div> --><script>if (a <b) x = '<div>';</script>";
    for (int i = 0; i < 2000; ++i)
        fine += "<div><p>one<li>two<img src=x><svg/><br><span><a href='>'>x</div>";
    fine += "<video src=late.mp4>";
    EXPECT_EQ(ReadPageVideo(fine, "https://example.org/", spLargest).Video->Address.Text(),
              "https://example.org/late.mp4");
}

// A title's bytes that are not UTF-8 come out of the HTML parser as the
// program's own reading of such text makes them (ValidUtf8): file names
// from anywhere else are cleaned the same way.
TEST(PageVideo, ReadsBytesThatAreNotUtf8AsTheProgramDoes)
{
    for (const char* bytes :
         {"\xff", "\x80\xbf", "\xc0\xaf", "\xe2\x80", "\xe2\x80\xe2\x80\x93", "\xe0\x80\xaf", "\xed\xa0\x80",
          "\xf0\x9f\x8c", "\xf0\x80\x80\xaf", "\xf4\x90\x80\x80", "\xf5\x80\x80\x80"}) {
        const std::string title = std::string("a") + bytes + "b";
        EXPECT_EQ(ReadPageVideo("<title>" + title + "</title>", "https://example.org/", spLargest).Title,
                  ValidUtf8(title))
            << testing::PrintToString(title);
    }
}
