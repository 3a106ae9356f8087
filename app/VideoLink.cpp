#include "app/VideoLink.h"

#include "app/PageClient.h"
#include "http/TIdHTTP.h"
#include "http/TIdURI.h"
#include "regex/TRegExpr.h"
#include "runtime/AsciiText.h"

namespace {

// The quality table, tested in this order; the first that holds wins.
void ChooseFormat(TVideoLink& link, const std::string& formatList, TVideoQuality quality)
{
    link.Extension = ".mp4";
    if (quality == vqNormal) {
        link.FormatPart = "";
        link.Extension = ".flv";
    } else if (quality == vqMobile) {
        link.FormatPart = "&fmt=17";
        link.Extension = ".3GP";
    } else if (quality == vqHighDefinition && formatList.find("22%2F") != std::string::npos) {
        link.FormatPart = "&fmt=22";
    } else {
        link.FormatPart = "&fmt=18";
    }
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
    return Scheme + "://" + siteHost + "/get_video?video_id=" + Identifier + FormatPart +
        "&t=" + TIdURI::PercentDecode(Token);
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
    if (auto formatList = FirstCapture(matcher, "&fmt_map=(.*)&", record))
        ChooseFormat(link, *formatList, quality);
    return link;
}
