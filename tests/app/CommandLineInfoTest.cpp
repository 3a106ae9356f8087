// The built program telling what an address holds (--info), as text and as
// JSON, against the demo site and a server of the test's own.
#include "ProgramRun.h"
#include "app/CommandLine.h"
#include "app/InfoJson.h"
#include "app/VideoQuality.h"
#include "support/DemoSiteSuite.h"
#include "support/NginxServer.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <sstream>

using json = nlohmann::ordered_json;
namespace fs = std::filesystem;

namespace {

// The keys of an object, in their order, as "a b c".
std::string Keys(const json& object)
{
    std::string keys;
    for (const auto& [key, value] : object.items())
        keys += (keys.empty() ? "" : " ") + key;
    return keys;
}

// The item of a list whose field has the value.
const json& Find(const json& list, const char* field, const json& value)
{
    for (const json& item : list)
        if (item[field] == value)
            return item;
    static const json none;
    return none;
}

// Every object's keys are these, whatever is known.
void ExpectTheKeys(const json& info)
{
    EXPECT_EQ(Keys(info), "address kind title formats audio choice");
    EXPECT_EQ(Keys(info["choice"]), "quality format audio file segments duration encryption live");
    for (const json& format : info["formats"])
        EXPECT_EQ(Keys(format), "id address width height bandwidth codecs container audio_group");
    for (const json& audio : info["audio"])
        EXPECT_EQ(Keys(audio), "id address language name default bandwidth codecs");
}

} // namespace

class CommandLineInfo : public DemoSiteSuite {
protected:
    TProgramOutput Run(std::vector<std::string> words)
    {
        return RunProgramApart(site->Host(), std::move(words), folder.path, {{"LANG", "C.UTF-8"}, {"LC_ALL", ""}});
    }

    // The object --info --json prints for one address.
    json Info(const std::string& address, const std::string& quality)
    {
        const TProgramOutput run = Run({"-ij", "-q", quality, address});
        EXPECT_EQ(run.Status, esSuccess) << address << ": " << run.Errors;
        EXPECT_EQ(run.Output.find('\n'), run.Output.size() - 1) << "one line: " << run.Output;
        json info = json::parse(run.Output, nullptr, false);
        EXPECT_FALSE(info.is_discarded()) << run.Output;
        ExpectTheKeys(info);
        EXPECT_EQ(info["address"], address);
        EXPECT_EQ(info["choice"]["quality"], QualityName(*QualityNamed(quality))); // "720p" for 720
        return info;
    }

    static const json& Facts(const std::string& path)
    {
        static const json facts = json::parse(FileBytes(site->StreamFactsFile()));
        return facts["streams"][path];
    }

    ScratchFolder folder{"cli-info"};
};

TEST_F(CommandLineInfo, AWatchPageTellsTheSitesFormatsAndTheChosenOnesFile)
{
    const json info = Info(site->WatchAddress("seastack01"), "hd");
    EXPECT_EQ(info["kind"], "watch");
    EXPECT_EQ(info["title"], "Sea stacks at dawn");
    std::string ids;
    for (const json& format : info["formats"])
        ids += format["id"].get<std::string>() + " ";
    EXPECT_EQ(ids, "22 18 normal 17 ");
    const json& hd = info["formats"][0];
    EXPECT_EQ(hd["address"].get<std::string>().rfind(
                  "http://" + site->Host() + "/get_video?video_id=seastack01&fmt=22&t=", 0),
              0u)
        << hd["address"];
    EXPECT_EQ(hd["height"], 720);
    EXPECT_EQ(hd["container"], "mp4");
    EXPECT_EQ(hd["bandwidth"], nullptr);
    EXPECT_TRUE(info["audio"].empty());
    const json& choice = info["choice"];
    EXPECT_EQ(choice["format"], "22");
    EXPECT_EQ(choice["audio"], nullptr);
    EXPECT_EQ(choice["file"], "Sea stacks at dawn.mp4");
    EXPECT_EQ(choice["segments"], nullptr);
    EXPECT_EQ(choice["encryption"], nullptr);
    EXPECT_EQ(choice["live"], false);
    // Without the HD format, the nearest the site has; as near 720 lines.
    EXPECT_EQ(Info(site->WatchAddress("harbour202"), "720p")["choice"]["format"], "18");
}

TEST_F(CommandLineInfo, ADirectLinkAndAPageTellTheirFiles)
{
    const json direct = Info(site->FileAddress("harbour-walk.mp4"), "hq");
    EXPECT_EQ(direct["kind"], "direct");
    EXPECT_EQ(direct["title"], "harbour-walk");
    ASSERT_EQ(direct["formats"].size(), 1u);
    EXPECT_EQ(direct["formats"][0]["address"], site->FileAddress("harbour-walk.mp4"));
    EXPECT_EQ(direct["formats"][0]["container"], "mp4");
    EXPECT_EQ(direct["choice"]["format"], direct["formats"][0]["id"]);
    EXPECT_EQ(direct["choice"]["file"], "harbour-walk.mp4");

    // Four sizes in the page's order; 720 takes its own.
    const json page = Info(site->PageAddress("gallery.html"), "720");
    EXPECT_EQ(page["kind"], "page");
    EXPECT_EQ(page["title"], "Rock pools, in four sizes");
    std::string sizes;
    for (const json& format : page["formats"])
        sizes += std::to_string(format["height"].get<int>()) + format["container"].get<std::string>() + " ";
    EXPECT_EQ(sizes, "240mp4 360mp4 720mp4 1080webm ");
    EXPECT_EQ(page["choice"]["format"], page["formats"][2]["id"]);
    EXPECT_EQ(page["formats"][2]["address"], site->FileAddress("gallery-720.mp4"));
    EXPECT_EQ(page["choice"]["file"], "Rock pools_ in four sizes.mp4");
}

// The formats and audio as the playlist or manifest gives them, the
// chosen ones' segments and length as the site made them.
TEST_F(CommandLineInfo, StreamsTellTheirFormatsAudioAndPieces)
{
    const json hls = Info(site->StreamAddress("hls/master.m3u8"), "hd");
    const json& master = Facts("hls/master.m3u8");
    EXPECT_EQ(hls["kind"], "hls");
    EXPECT_EQ(hls["title"], "master");
    ASSERT_EQ(hls["formats"].size(), master["variants"].size()) << "I-frame playlists are no formats";
    for (std::size_t i = 0; i < master["variants"].size(); ++i) {
        const json &format = hls["formats"][i], &variant = master["variants"][i];
        EXPECT_EQ(format["height"], variant["height"]);
        EXPECT_EQ(format["width"], variant["width"]);
        EXPECT_EQ(format["bandwidth"], variant["bandwidth"]);
        EXPECT_EQ(format["codecs"], variant["codecs"]);
        EXPECT_EQ(format["audio_group"], variant["audio"]);
        EXPECT_EQ(format["address"], site->StreamAddress(variant["playlist"]));
    }
    const json& chosen = Find(hls["formats"], "id", hls["choice"]["format"]);
    EXPECT_EQ(chosen["height"], 720);
    EXPECT_EQ(chosen["container"], "ts");
    ASSERT_EQ(hls["audio"].size(), 2u);
    const json& english = Find(hls["audio"], "id", hls["choice"]["audio"]);
    EXPECT_EQ(english["language"], "en"); // the interface's
    EXPECT_EQ(english["default"], true);
    EXPECT_EQ(english["address"], site->StreamAddress("hls/audio-en/index.m3u8"));
    EXPECT_EQ(hls["choice"]["segments"], Facts("hls/v720/index.m3u8")["segments"]);
    EXPECT_NEAR(hls["choice"]["duration"].get<double>(), 6.0, 0.05);
    EXPECT_EQ(hls["choice"]["encryption"], "none");
    EXPECT_EQ(hls["choice"]["live"], false);
    EXPECT_EQ(hls["choice"]["file"], "master.mp4");

    const json dash = Info(site->StreamAddress("dash/manifest.mpd"), "worst");
    const json& manifest = Facts("dash/manifest.mpd");
    EXPECT_EQ(dash["kind"], "dash");
    ASSERT_EQ(dash["formats"].size(), 3u) << "audio is no format";
    for (const json& format : dash["formats"]) {
        const json& representation = Find(manifest["representations"], "id", format["id"]);
        EXPECT_EQ(format["height"], representation["height"]);
        EXPECT_EQ(format["codecs"], representation["codecs"]);
        EXPECT_EQ(format["container"], "fmp4");
        EXPECT_EQ(format["address"], site->StreamAddress("dash/manifest.mpd")) << "what its pieces are read against";
    }
    EXPECT_EQ(Find(dash["formats"], "id", dash["choice"]["format"])["height"], 180);
    EXPECT_EQ(Find(dash["audio"], "id", dash["choice"]["audio"])["language"], "en");
    EXPECT_EQ(dash["choice"]["segments"], Find(manifest["representations"], "height", 180)["segments"]);
    EXPECT_NEAR(dash["choice"]["duration"].get<double>(), manifest["seconds"].get<double>(), 0.05);
}

// What --download refuses is told about, with why, and the status says it
// was told.
TEST_F(CommandLineInfo, LiveAndProtectedStreamsAreDescribedNotRefused)
{
    const struct {
        std::string address;
        const char* kind;
        bool live;
        const char* encryption;
    } rows[] = {
        {site->StreamAddress("hls-live/master.m3u8"), "hls", true, "none"},
        {site->PageAddress("on-air.html"), "page", true, "none"},
        {site->StreamAddress("dash-drm/manifest.mpd"), "dash", false, "DRM"},
        {site->PageAddress("members.html"), "page", false, "DRM"},
    };
    for (const auto& row : rows) {
        const json info = Info(row.address, "hq");
        EXPECT_EQ(info["kind"], row.kind) << row.address;
        EXPECT_EQ(info["choice"]["live"], row.live) << row.address;
        EXPECT_EQ(info["choice"]["encryption"], row.encryption) << row.address;
        EXPECT_NE(info["choice"]["format"], nullptr) << row.address;
        EXPECT_NE(info["choice"]["file"], nullptr) << row.address;
    }
    const TProgramOutput text = Run({"--info", site->StreamAddress("hls-live/master.m3u8")});
    EXPECT_EQ(text.Status, esSuccess);
    EXPECT_NE(text.Output.find("Live:       yes\n"), std::string::npos) << text.Output;
    EXPECT_NE(text.Output.find("This is a live stream; only recorded videos can be saved"), std::string::npos);
}

TEST_F(CommandLineInfo, AnAddressWithNothingToSaveFailsAsADownloadWould)
{
    const TProgramOutput none = Run({"-ij", site->PageAddress("about.html")});
    EXPECT_EQ(none.Status, esResolutionFailed);
    EXPECT_EQ(none.Output, "");
    EXPECT_EQ(none.Errors, "skerrow: " + site->PageAddress("about.html") + ": This page holds no video to save\n");
    EXPECT_EQ(Run({"-i", "not an address"}).Status, esNotAccepted);

    // One object a line for each address told; the status is the failure's.
    const TProgramOutput several = Run({"-ij", site->FileAddress("harbour-walk.mp4"), site->PageAddress("about.html"),
                                        site->PageAddress("talk.html")});
    EXPECT_EQ(several.Status, esResolutionFailed);
    std::istringstream lines(several.Output);
    std::vector<std::string> addresses;
    for (std::string line; std::getline(lines, line);)
        addresses.push_back(json::parse(line)["address"]);
    EXPECT_EQ(addresses,
              (std::vector<std::string>{site->FileAddress("harbour-walk.mp4"), site->PageAddress("talk.html")}));
}

// It asks for the playlists and manifests a download would read before its
// first segment, and for nothing more; it writes nothing.
TEST_F(CommandLineInfo, NothingIsFetchedBeyondThePlaylistsAndNothingIsWritten)
{
    ScratchFolder root{"cli-info-streams"};
    for (const char* stream : {"hls", "dash"})
        fs::copy(site->StreamsFolder() + "/" + stream, root.File(stream), fs::copy_options::recursive);
    NginxServer nginx(root.path.string());
    for (const char* path : {"/hls/master.m3u8", "/dash/manifest.mpd"})
        EXPECT_EQ(Run({"--info", "-o", folder.path.string(), nginx.BaseUrl() + path}).Status, esSuccess) << path;
    nginx.LogLinesFor("/dash/manifest.mpd");
    std::istringstream log(nginx.AccessLog());
    int requests = 0;
    for (std::string line; std::getline(log, line); ++requests)
        EXPECT_TRUE(line.find(".m3u8 HTTP") != std::string::npos || line.find(".mpd HTTP") != std::string::npos)
            << line;
    EXPECT_EQ(requests, 4) << "the master, the chosen variant and audio, the manifest";

    EXPECT_EQ(Run({"-i", site->WatchAddress("seastack01"), site->FileAddress("harbour-walk.mp4")}).Status, esSuccess);
    EXPECT_TRUE(fs::is_empty(folder.path));
    EXPECT_FALSE(fs::exists(fs::path(std::getenv("XDG_DATA_HOME")) / "skerrow")) << "no history";
}

// What the site or a page wrote reaches the JSON escaped, and stays UTF-8.
TEST(InfoJson, EscapesWhatJsonMustAndKeepsUtf8)
{
    TAddressInfo info;
    info.Address = "https://example.org/a?b=\"c\"";
    info.Title = "Quote \" backslash \\ tab \t bell \x07 Espa\xC3\xB1ol \xE2\x80\x94 broken \xFF end";
    info.Quality = "hq";
    const std::string line = InfoJson(info);
    EXPECT_EQ(line.find('\n'), std::string::npos);
    EXPECT_NE(line.find(R"("title":"Quote \" backslash \\ tab \t bell \u0007 Espa)"), std::string::npos) << line;
    const json parsed = json::parse(line);
    EXPECT_EQ(parsed["title"],
              "Quote \" backslash \\ tab \t bell \x07 Espa\xC3\xB1ol \xE2\x80\x94 broken \xEF\xBF\xBD end");
    EXPECT_EQ(parsed["address"], info.Address);
    EXPECT_EQ(parsed["choice"]["format"], nullptr);
    EXPECT_EQ(parsed["formats"], json::array());
}
