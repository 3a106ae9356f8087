#include "page/PageVideo.h"

#include "page/HtmlPage.h"
#include "page/LinkedData.h"
#include "page/ReferenceResolution.h"
#include "page/SourceHeight.h"
#include "page/VideoTypes.h"
#include "runtime/AsciiText.h"

#include <algorithm>
#include <cstdlib>
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

// A <source> that leads to a video file, with what it tells of itself.
struct TSourceChoice {
    TPageVideo Video;
    std::optional<int> Height;
};

int TypeRank(const std::string& type)
{
    const std::string media = MediaType(type);
    return media == "video/mp4" ? 0 : media == "video/webm" ? 1 : 2;
}

// The source a size preference takes among those that tell their height:
// of two as near 360 lines, the greater; of two of one height, the one
// that comes first.
const TSourceChoice& BySize(const std::vector<const TSourceChoice*>& sized, TSizePreference size)
{
    auto better = [size](const TSourceChoice* a, const TSourceChoice* b) {
        switch (size) {
        case spLargest: return *a->Height > *b->Height;
        case spSmallest: return *a->Height < *b->Height;
        case spNearest360: break;
        }
        int da = std::abs(*a->Height - 360), db = std::abs(*b->Height - 360);
        return da < db || (da == db && *a->Height > *b->Height);
    };
    const TSourceChoice* best = sized.front();
    for (const TSourceChoice* choice : sized)
        if (better(choice, best))
            best = choice;
    return *best;
}

// The search through one page, in the order of the tags that may name its
// video; it remembers whether it passed over a stream in pieces.
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

    std::optional<TPageVideo> Find()
    {
        for (auto step :
             {&TVideoSearch::OpenGraph, &TVideoSearch::VideoSrc, &TVideoSearch::Sources, &TVideoSearch::LinkedData})
            if (std::optional<TPageVideo> video = (this->*step)())
                return video;
        return std::nullopt;
    }

    bool PassedPieces() const { return passedPieces_; }

private:
    // A reference of the page, when it leads to a video file.
    std::optional<TPageVideo> File(const std::string& reference, const std::string& declaredType)
    {
        if (AsciiText::Trim(reference).empty())
            return std::nullopt;
        std::optional<TWebAddress> address = TWebAddress::ParseWeb(ResolveReference(base_, reference));
        if (!address)
            return std::nullopt; // data:, blob:, javascript: and the like
        const std::string& path = address->Path();
        if (IsPiecesType(declaredType) || IsPiecesPath(path)) {
            passedPieces_ = true;
            return std::nullopt;
        }
        if (!declaredType.empty() && !IsVideoType(declaredType))
            return std::nullopt;
        return TPageVideo{*address, declaredType.empty() ? TypeOfPath(path) : MediaType(declaredType)};
    }

    // og:video:secure_url before og:video:url before og:video, each with
    // the type of its own video.
    std::optional<TPageVideo> OpenGraph()
    {
        const std::vector<TOpenGraphVideo> videos = OpenGraphVideos(page_);
        for (auto field : {&TOpenGraphVideo::SecureUrl, &TOpenGraphVideo::Url, &TOpenGraphVideo::Video})
            for (const TOpenGraphVideo& tags : videos)
                if (std::optional<TPageVideo> video = File(tags.*field, tags.Type))
                    return video;
        return std::nullopt;
    }

    std::optional<TPageVideo> VideoSrc()
    {
        for (const THtmlVideo& element : page_.Videos)
            if (std::optional<TPageVideo> video = File(AttributeOf(element.Attributes, "src"), ""))
                return video;
        return std::nullopt;
    }

    std::optional<TPageVideo> Sources()
    {
        for (const THtmlVideo& element : page_.Videos) {
            std::vector<TSourceChoice> choices;
            for (const THtmlAttributes& source : element.Sources)
                if (std::optional<TPageVideo> video = File(AttributeOf(source, "src"), AttributeOf(source, "type")))
                    choices.push_back({*video, SourceHeight(source)});
            if (!choices.empty())
                return Choose(choices);
        }
        return std::nullopt;
    }

    TPageVideo Choose(std::vector<TSourceChoice>& choices) const
    {
        std::stable_sort(choices.begin(), choices.end(), [](const TSourceChoice& a, const TSourceChoice& b) {
            return TypeRank(a.Video.Type) < TypeRank(b.Video.Type);
        });
        std::vector<const TSourceChoice*> sized;
        for (const TSourceChoice& choice : choices)
            if (choice.Height)
                sized.push_back(&choice);
        return sized.size() >= 2 ? BySize(sized, size_).Video : choices.front().Video;
    }

    std::optional<TPageVideo> LinkedData()
    {
        for (const std::string& script : page_.LinkedData)
            for (const TLinkedVideo& linked : LinkedVideos(script))
                if (std::optional<TPageVideo> video = File(linked.ContentUrl, linked.EncodingFormat))
                    return video;
        return std::nullopt;
    }

    const THtmlPage& page_;
    std::string base_;
    TSizePreference size_;
    bool passedPieces_ = false;
};

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
    reading.Video = search.Find();
    reading.OnlyInPieces = !reading.Video && search.PassedPieces();
    reading.Title = PageTitle(page);
    return reading;
}
