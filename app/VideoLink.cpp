#include "app/VideoLink.h"

#include "app/PageClient.h"
#include "http/TIdHTTP.h"
#include "http/TIdURI.h"
#include "regex/TRegExpr.h"
#include "runtime/AsciiText.h"

#include <string_view>

namespace {

// A format the site serves a video in.
struct TSiteFormat {
    const char* Id;        // its code; "normal" for the plain one, asked for without a code
    const char* Part;      // what it adds to the stream's address
    const char* Extension; // of the file it is saved as
    const char* Container;
    int Width, Height;
};

// The largest first. The record's format list names the HD one where the
// site has it; the others the site always serves.
constexpr TSiteFormat kSiteFormats[] = {
    {"22", "&fmt=22", ".mp4", "mp4", 1280, 720},
    {"18", "&fmt=18", ".mp4", "mp4", 480, 360},
    {"normal", "", ".flv", "flv", 320, 240},
    {"17", "&fmt=17", ".3GP", "3gp", 176, 144},
};
constexpr const TSiteFormat& kPlainFormat = kSiteFormats[2];

std::vector<const TSiteFormat*> OfferedFormats(const std::string& formatList)
{
    std::vector<const TSiteFormat*> offered;
    for (const TSiteFormat& format : kSiteFormats)
        if (std::string_view(format.Id) != "22" || formatList.find("22%2F") != std::string::npos)
            offered.push_back(&format);
    return offered;
}

// Normal and mobile name their formats; the other qualities go by height.
const TSiteFormat& ChosenFormat(const std::vector<const TSiteFormat*>& offered, TVideoQuality quality)
{
    const char* named = quality == vqNormal ? "normal" : quality == vqMobile ? "17" : nullptr;
    for (const TSiteFormat* format : offered)
        if (named && std::string_view(format->Id) == named)
            return *format;
    const TSizePreference size = SizeFor(quality);
    const TSiteFormat* best = offered.front();
    for (const TSiteFormat* format : offered)
        if (size.Prefers(format->Height, best->Height))
            best = format;
    return *best;
}

std::string StreamAddress(const TVideoLink& link, const std::string& siteHost, const std::string& formatPart)
{
    return link.Scheme + "://" + siteHost + "/get_video?video_id=" + link.Identifier + formatPart +
        "&t=" + TIdURI::PercentDecode(link.Token);
}

TStreamFormat Described(const TVideoLink& link, const std::string& siteHost, const TSiteFormat& format)
{
    TStreamFormat described;
    described.Id = format.Id;
    described.Address = StreamAddress(link, siteHost, format.Part);
    described.Width = format.Width;
    described.Height = format.Height;
    described.Container = format.Container;
    return described;
}

// The format the quality takes among those the record lists, and all of
// them described.
void ChooseFormat(TVideoLink& link, const std::string& formatList, TVideoQuality quality, const std::string& siteHost)
{
    const std::vector<const TSiteFormat*> offered = OfferedFormats(formatList);
    const TSiteFormat& chosen = ChosenFormat(offered, quality);
    link.FormatPart = chosen.Part;
    link.Extension = chosen.Extension;
    link.FormatId = chosen.Id;
    for (const TSiteFormat* format : offered)
        link.Formats.push_back(Described(link, siteHost, *format));
}

// A record without a format list: the plain format, of which nothing is
// said, saved under no extension.
void TakePlainFormat(TVideoLink& link, const std::string& siteHost)
{
    link.FormatId = kPlainFormat.Id;
    TStreamFormat plain;
    plain.Id = kPlainFormat.Id;
    plain.Address = StreamAddress(link, siteHost, kPlainFormat.Part);
    link.Formats.push_back(plain);
}

// Runs a pattern and hands back its first capture, or nothing.
std::optional<std::string> FirstCapture(TRegExpr& matcher, const std::string& pattern, const std::string& text)
{
    matcher.SetExpression(pattern);
    if (!matcher.Exec(text))
        return std::nullopt;
    return matcher.Capture(1);
}

} // namespace

std::string TVideoLink::DownloadAddress(const std::string& siteHost) const
{
    return StreamAddress(*this, siteHost, FormatPart);
}

std::optional<TVideoLink> ResolveVideoLink(const std::string& watchAddress, TVideoQuality quality,
                                           const std::string& siteHost, const TPageBounds& bounds)
{
    TIdHTTP http;
    PreparePageClient(http, bounds);

    TRegExpr matcher;
    matcher.SetModifier(rmIgnoreCase, true);
    matcher.SetModifier(rmGreedy, true);

    TVideoLink link;
    http.GetToString(watchAddress);
    std::string finalPage = TIdURI::PercentDecode(http.URL().AddressText());
    if (AsciiText::SameText(http.URL().Scheme(), "https"))
        link.Scheme = "https";
    auto identifier = FirstCapture(matcher, "v=(.*)", finalPage);
    if (!identifier)
        return std::nullopt;
    link.Identifier = *identifier;

    // What was found over https is asked for over https too.
    const std::string site = link.Scheme + "://" + siteHost;
    http.Request().SetReferer(site);
    std::string record = http.GetToString(site + "/get_video_info?video_id=" + link.Identifier);

    // From here on repetition takes as little as it can.
    matcher.SetModifier(rmIgnoreCase, true);
    matcher.SetModifier(rmGreedy, false);
    auto token = FirstCapture(matcher, "&token=(.*)&", record);
    if (!token)
        return std::nullopt;
    link.Token = *token;
    auto title = FirstCapture(matcher, "&title=(.*)(&|$)", record);
    if (!title)
        return std::nullopt;
    link.Title = SafeFileName(TIdURI::PercentDecode(*title));
    // The record writes blanks as "+", and a "+" of the title encoded.
    link.RecordTitle = TIdURI::PercentDecode(ReplaceCharacters(*title, "+", ' '));
    if (auto formatList = FirstCapture(matcher, "&fmt_map=(.*)&", record))
        ChooseFormat(link, *formatList, quality, siteHost);
    else
        TakePlainFormat(link, siteHost);
    return link;
}
