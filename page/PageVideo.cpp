#include "page/PageVideo.h"

#include "page/HtmlPage.h"
#include "page/LinkedData.h"
#include "page/ReferenceResolution.h"
#include "page/SourceHeight.h"
#include "page/VideoTypes.h"
#include "runtime/AsciiText.h"

#include <algorithm>
#include <vector>

namespace {

// One video of the Open Graph tags: og:video (or og:video:url) opens it,
// the structured properties after it describe it.
struct TOpenGraphVideo {
    std::string SecureUrl, Url, Video, Type;
};

std::string MetaProperty(const THtmlAttributes& meta)
{
    std::string property = AttributeOf(meta, "property");
    return AsciiText::LowerCase(property.empty() ? AttributeOf(meta, "name") : property);
}

std::vector<TOpenGraphVideo> OpenGraphVideos(const THtmlPage& page)
{
    std::vector<TOpenGraphVideo> videos;
    for (const THtmlAttributes& meta : page.Metas) {
        const std::string property = MetaProperty(meta);
        const bool opens = property == "og:video" || property == "og:video:url";
        if (!opens && property != "og:video:secure_url" && property != "og:video:type")
            continue;
        if (videos.empty() || (opens && !(videos.back().Video.empty() && videos.back().Url.empty())))
            videos.emplace_back();
        TOpenGraphVideo& video = videos.back();
        std::string& field = property == "og:video" ? video.Video
            : property == "og:video:url"            ? video.Url
            : property == "og:video:secure_url"     ? video.SecureUrl
                                                    : video.Type;
        if (field.empty())
            field = AttributeOf(meta, "content");
    }
    return videos;
}

// Which of the page's videos a search looks for.
enum TDelivery {
    dvFile,   // a video file
    dvPieces, // a playlist or manifest of a video streamed in pieces
};

int TypeRank(const std::string& type)
{
    const std::string media = MediaType(type);
    return media == "video/mp4" ? 0 : media == "video/webm" ? 1 : 2;
}

// The candidate a size preference takes among those that tell their
// height; of two of one height, the one that comes first.
const TPageVideo& BySize(const std::vector<const TPageVideo*>& sized, TSizePreference size)
{
    const TPageVideo* best = sized.front();
    for (const TPageVideo* candidate : sized)
        if (size.Prefers(*candidate->Height, *best->Height))
            best = candidate;
    return *best;
}

// The search through one page, in the order of the tags that may name its
// video, for a file or for a stream in pieces.
class TVideoSearch {
public:
    TVideoSearch(const THtmlPage& page, const std::string& pageAddress, TSizePreference size)
        : page_(page), base_(pageAddress), size_(size)
    {
        if (page.BaseHref) {
            std::string base = ResolveReference(pageAddress, *page.BaseHref);
            if (TWebAddress::ParseWeb(base))
                base_ = base;
        }
    }

    std::optional<TPageVideo> Find(TDelivery delivery)
    {
        for (auto step :
             {&TVideoSearch::OpenGraph, &TVideoSearch::VideoSrc, &TVideoSearch::Sources, &TVideoSearch::LinkedData})
            if (std::optional<TPageVideo> candidate = (this->*step)(delivery))
                return candidate;
        return std::nullopt;
    }

    // What the choice of a video found by Find was made among: the sources
    // of its <video> element, files and streams, in the page's order; or
    // the video alone.
    std::vector<TPageVideo> ChoicesBeside(const TPageVideo& chosen) const
    {
        const std::optional<std::size_t> element = sourcesElement_[chosen.InPieces ? dvPieces : dvFile];
        if (!element)
            return {chosen};
        std::vector<TPageVideo> choices;
        for (const THtmlAttributes& source : page_.Videos[*element].Sources)
            for (TDelivery delivery : {dvFile, dvPieces})
                if (std::optional<TPageVideo> video =
                        Video(AttributeOf(source, "src"), AttributeOf(source, "type"), delivery)) {
                    video->Height = SourceHeight(source);
                    choices.push_back(std::move(*video));
                }
        return choices;
    }

private:
    // A reference of the page, when it leads to a video of the kind looked
    // for.
    std::optional<TPageVideo> Video(const std::string& reference, const std::string& declaredType,
                                    TDelivery delivery) const
    {
        if (AsciiText::Trim(reference).empty())
            return std::nullopt;
        std::optional<TWebAddress> address = TWebAddress::ParseWeb(ResolveReference(base_, reference));
        if (!address)
            return std::nullopt; // data:, blob:, javascript: and the like
        const std::string& path = address->Path();
        const bool inPieces = IsPiecesType(declaredType) || IsPiecesPath(path);
        if (inPieces != (delivery == dvPieces))
            return std::nullopt;
        if (inPieces)
            return TPageVideo{*address, MediaType(declaredType), true, std::nullopt};
        if (!declaredType.empty() && !IsVideoType(declaredType))
            return std::nullopt;
        return TPageVideo{*address, declaredType.empty() ? TypeOfPath(path) : MediaType(declaredType), false,
                          std::nullopt};
    }

    // og:video:secure_url before og:video:url before og:video, each with
    // the type of its own video.
    std::optional<TPageVideo> OpenGraph(TDelivery delivery)
    {
        const std::vector<TOpenGraphVideo> videos = OpenGraphVideos(page_);
        for (auto field : {&TOpenGraphVideo::SecureUrl, &TOpenGraphVideo::Url, &TOpenGraphVideo::Video})
            for (const TOpenGraphVideo& tags : videos)
                if (std::optional<TPageVideo> video = Video(tags.*field, tags.Type, delivery))
                    return video;
        return std::nullopt;
    }

    std::optional<TPageVideo> VideoSrc(TDelivery delivery)
    {
        for (const THtmlVideo& element : page_.Videos)
            if (std::optional<TPageVideo> video = Video(AttributeOf(element.Attributes, "src"), "", delivery))
                return video;
        return std::nullopt;
    }

    std::optional<TPageVideo> Sources(TDelivery delivery)
    {
        for (std::size_t at = 0; at < page_.Videos.size(); ++at) {
            std::vector<TPageVideo> candidates;
            for (const THtmlAttributes& source : page_.Videos[at].Sources)
                if (std::optional<TPageVideo> video =
                        Video(AttributeOf(source, "src"), AttributeOf(source, "type"), delivery)) {
                    video->Height = SourceHeight(source);
                    candidates.push_back(std::move(*video));
                }
            if (!candidates.empty()) {
                sourcesElement_[delivery] = at;
                return Choose(candidates);
            }
        }
        return std::nullopt;
    }

    TPageVideo Choose(std::vector<TPageVideo>& candidates) const
    {
        std::stable_sort(candidates.begin(), candidates.end(),
                         [](const TPageVideo& a, const TPageVideo& b) { return TypeRank(a.Type) < TypeRank(b.Type); });
        std::vector<const TPageVideo*> sized;
        for (const TPageVideo& candidate : candidates)
            if (candidate.Height)
                sized.push_back(&candidate);
        return sized.size() >= 2 ? BySize(sized, size_) : candidates.front();
    }

    std::optional<TPageVideo> LinkedData(TDelivery delivery)
    {
        for (const std::string& script : page_.LinkedData)
            for (const TLinkedVideo& linked : LinkedVideos(script))
                if (std::optional<TPageVideo> video = Video(linked.ContentUrl, linked.EncodingFormat, delivery))
                    return video;
        return std::nullopt;
    }

    const THtmlPage& page_;
    std::string base_;
    TSizePreference size_;
    // The <video> element whose sources gave the video of each delivery.
    std::optional<std::size_t> sourcesElement_[2];
};

// The file, unless the stream tells a height that suits the preference
// better than the file's.
std::optional<TPageVideo> FileOrStream(std::optional<TPageVideo> file, std::optional<TPageVideo> stream,
                                       TSizePreference size)
{
    if (file && stream && file->Height && stream->Height && &BySize({&*file, &*stream}, size) == &*stream)
        return stream;
    return file ? file : stream;
}

// Runs of blanks and line breaks become one blank; none at either end.
std::string CollapseBlanks(std::string_view text)
{
    std::string collapsed;
    for (std::string_view word : AsciiText::SplitList(text, " \t\n\r\f"))
        collapsed += (collapsed.empty() ? "" : " ") + std::string(word);
    return collapsed;
}

std::string PageTitle(const THtmlPage& page)
{
    for (const THtmlAttributes& meta : page.Metas)
        if (MetaProperty(meta) == "og:title")
            if (std::string title = CollapseBlanks(AttributeOf(meta, "content")); !title.empty())
                return title;
    return CollapseBlanks(page.Title.value_or(""));
}

} // namespace

TPageReading ReadPageVideo(std::string_view html, const std::string& pageAddress, TSizePreference size)
{
    THtmlPage page = ReadHtmlPage(html);
    TVideoSearch search(page, pageAddress, size);
    TPageReading reading;
    reading.Video = FileOrStream(search.Find(dvFile), search.Find(dvPieces), size);
    if (reading.Video)
        reading.Choices = search.ChoicesBeside(*reading.Video);
    reading.Title = PageTitle(page);
    return reading;
}
