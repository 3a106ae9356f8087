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

// A video the page offers, with the height it tells, if any.
struct TVideoCandidate {
    TPageVideo Video;
    std::optional<int> Height;
};

std::optional<TVideoCandidate> Unsized(std::optional<TPageVideo> video)
{
    return video ? std::optional<TVideoCandidate>(TVideoCandidate{std::move(*video), std::nullopt}) : std::nullopt;
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
const TVideoCandidate& BySize(const std::vector<const TVideoCandidate*>& sized, TSizePreference size)
{
    const TVideoCandidate* best = sized.front();
    for (const TVideoCandidate* candidate : sized)
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

    std::optional<TVideoCandidate> Find(TDelivery delivery)
    {
        for (auto step :
             {&TVideoSearch::OpenGraph, &TVideoSearch::VideoSrc, &TVideoSearch::Sources, &TVideoSearch::LinkedData})
            if (std::optional<TVideoCandidate> candidate = (this->*step)(delivery))
                return candidate;
        return std::nullopt;
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
            return TPageVideo{*address, MediaType(declaredType), true};
        if (!declaredType.empty() && !IsVideoType(declaredType))
            return std::nullopt;
        return TPageVideo{*address, declaredType.empty() ? TypeOfPath(path) : MediaType(declaredType)};
    }

    // og:video:secure_url before og:video:url before og:video, each with
    // the type of its own video.
    std::optional<TVideoCandidate> OpenGraph(TDelivery delivery)
    {
        const std::vector<TOpenGraphVideo> videos = OpenGraphVideos(page_);
        for (auto field : {&TOpenGraphVideo::SecureUrl, &TOpenGraphVideo::Url, &TOpenGraphVideo::Video})
            for (const TOpenGraphVideo& tags : videos)
                if (std::optional<TPageVideo> video = Video(tags.*field, tags.Type, delivery))
                    return Unsized(std::move(video));
        return std::nullopt;
    }

    std::optional<TVideoCandidate> VideoSrc(TDelivery delivery)
    {
        for (const THtmlVideo& element : page_.Videos)
            if (std::optional<TPageVideo> video = Video(AttributeOf(element.Attributes, "src"), "", delivery))
                return Unsized(std::move(video));
        return std::nullopt;
    }

    std::optional<TVideoCandidate> Sources(TDelivery delivery)
    {
        for (const THtmlVideo& element : page_.Videos) {
            std::vector<TVideoCandidate> candidates;
            for (const THtmlAttributes& source : element.Sources)
                if (std::optional<TPageVideo> video =
                        Video(AttributeOf(source, "src"), AttributeOf(source, "type"), delivery))
                    candidates.push_back({*video, SourceHeight(source)});
            if (!candidates.empty())
                return Choose(candidates);
        }
        return std::nullopt;
    }

    TVideoCandidate Choose(std::vector<TVideoCandidate>& candidates) const
    {
        std::stable_sort(candidates.begin(), candidates.end(), [](const TVideoCandidate& a, const TVideoCandidate& b) {
            return TypeRank(a.Video.Type) < TypeRank(b.Video.Type);
        });
        std::vector<const TVideoCandidate*> sized;
        for (const TVideoCandidate& candidate : candidates)
            if (candidate.Height)
                sized.push_back(&candidate);
        return sized.size() >= 2 ? BySize(sized, size_) : candidates.front();
    }

    std::optional<TVideoCandidate> LinkedData(TDelivery delivery)
    {
        for (const std::string& script : page_.LinkedData)
            for (const TLinkedVideo& linked : LinkedVideos(script))
                if (std::optional<TPageVideo> video = Video(linked.ContentUrl, linked.EncodingFormat, delivery))
                    return Unsized(std::move(video));
        return std::nullopt;
    }

    const THtmlPage& page_;
    std::string base_;
    TSizePreference size_;
};

// The file, unless the stream tells a height that suits the preference
// better than the file's.
std::optional<TPageVideo> FileOrStream(std::optional<TVideoCandidate> file, std::optional<TVideoCandidate> stream,
                                       TSizePreference size)
{
    if (file && stream && file->Height && stream->Height && &BySize({&*file, &*stream}, size) == &*stream)
        return stream->Video;
    if (file)
        return file->Video;
    if (stream)
        return stream->Video;
    return std::nullopt;
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
    reading.Title = PageTitle(page);
    return reading;
}
