#include "stream/DashSegmentReader.h"

#include "page/ReferenceResolution.h"
#include "stream/StreamLimits.h"

#include <limits>

namespace {

const char* const kKindNames[] = {"", "SegmentTemplate", "SegmentList", "SegmentBase"};

// The kind the most specific level names; a single file when none does.
TDashSegmentKind KindOf(const TDashSegmentReader::TLevels& levels)
{
    for (pugi::xml_node level : levels)
        for (TDashSegmentKind kind : {dsTemplate, dsList, dsBase})
            if (FirstChild(level, kKindNames[kind]))
                return kind;
    return dsSingleFile;
}

// The first of the elements (most specific first) that has such a child.
pugi::xml_node InheritedChild(const std::vector<pugi::xml_node>& elements, std::string_view name)
{
    for (pugi::xml_node element : elements)
        if (pugi::xml_node child = FirstChild(element, name))
            return child;
    return {};
}

[[noreturn]] void FailCount(const TManifestPlace& place)
{
    throw EStreamManifest(mkManifest, place, "more than %s segments", {std::to_string(kMaxSegments)});
}

TStreamPiece InitPiece(pugi::xml_node initialization, const std::string& baseAddress, const std::string& representation)
{
    const TDashElement element(initialization, TManifestPlace::ElementOf("Initialization", representation));
    const std::string source = element.Text("sourceURL");
    return TStreamPiece{source.empty() ? baseAddress : ResolveReference(baseAddress, source), element.Range("range"),
                        std::nullopt};
}

} // namespace

TDashSegmentInfo TDashSegmentReader::Read(const TLevels& levels, const std::string& baseAddress,
                                          const std::string& representation)
{
    TDashSegmentInfo info;
    info.Kind = KindOf(levels);
    if (info.Kind == dsSingleFile)
        return info;
    const char* kindName = kKindNames[info.Kind];
    std::vector<pugi::xml_node> elements;
    for (pugi::xml_node level : levels)
        if (pugi::xml_node element = FirstChild(level, kindName))
            elements.push_back(element);

    const TDashElement element(Merged(elements), TManifestPlace::ElementOf(kindName, representation));
    info.Timescale = element.Positive("timescale").value_or(1);
    if (info.Timescale > std::numeric_limits<std::uint32_t>::max())
        element.FailValue("timescale");
    info.Duration = element.Positive("duration");
    info.StartNumber = element.Whole("startNumber").value_or(1);
    info.EndNumber = element.Whole("endNumber");
    info.PresentationTimeOffset = element.Whole("presentationTimeOffset").value_or(0);
    if (info.Kind == dsTemplate) {
        info.Media = element.Text("media");
        if (info.Media.empty())
            element.Fail("%s is missing", {"media"});
        info.Initialization = element.Text("initialization");
    }
    if (info.Kind == dsBase)
        info.IndexRange = element.Range("indexRange");
    if (pugi::xml_node initialization = InheritedChild(elements, "Initialization"))
        info.Init = InitPiece(initialization, baseAddress, representation);
    if (pugi::xml_node timeline = InheritedChild(elements, "SegmentTimeline"))
        info.Timeline = Timeline(timeline, representation);
    if (info.Kind == dsList) {
        pugi::xml_node first = InheritedChild(elements, "SegmentURL");
        if (!first)
            element.Fail("%s is missing", {"SegmentURL"});
        info.List = List(first.parent(), representation);
    }
    return info;
}

TDashSegmentReader::TTimeline TDashSegmentReader::Timeline(pugi::xml_node timeline, const std::string& representation)
{
    TTimeline& known = timelines_[timeline.internal_object()];
    if (known)
        return known;
    auto entries = std::make_shared<std::vector<TDashTimelineEntry>>();
    const TManifestPlace place = TManifestPlace::ElementOf("SegmentTimeline", representation);
    ForEachChild(timeline, "S", [&](pugi::xml_node s) {
        const TDashElement element(s, place);
        if (entries->size() == kMaxSegments)
            FailCount(place);
        TDashTimelineEntry entry;
        entry.Time = element.Whole("t");
        std::optional<std::uint64_t> duration = element.Positive("d");
        if (!duration)
            element.Fail("%s is missing", {"d"});
        entry.Duration = *duration;
        if (element.Text("r") == "-1")
            entry.Repeat = -1;
        else if (std::optional<std::uint64_t> repeat = element.Whole("r"); repeat && *repeat >= kMaxSegments)
            FailCount(place);
        else
            entry.Repeat = static_cast<std::int64_t>(repeat.value_or(0));
        entries->push_back(entry);
    });
    if (entries->empty())
        TDashElement(timeline, place).Fail("%s is missing", {"S"});
    return known = std::move(entries);
}

TDashSegmentReader::TList TDashSegmentReader::List(pugi::xml_node element, const std::string& representation)
{
    TList& known = lists_[element.internal_object()];
    if (known)
        return known;
    auto entries = std::make_shared<std::vector<TDashListEntry>>();
    const TManifestPlace place = TManifestPlace::ElementOf("SegmentURL", representation);
    ForEachChild(element, "SegmentURL", [&](pugi::xml_node url) {
        if (entries->size() == kMaxSegments)
            FailCount(place);
        const TDashElement segment(url, place);
        entries->push_back(TDashListEntry{segment.Text("media"), segment.Range("mediaRange")});
    });
    return known = std::move(entries);
}

// One element that holds the attributes of all, the more specific winning.
// Only those read are copied: a lookup by name goes through every
// attribute of an element, and a manifest may give an element many.
pugi::xml_node TDashSegmentReader::Merged(const std::vector<pugi::xml_node>& elements)
{
    static const char* const kInherited[] = {"timescale", "duration",       "startNumber", "endNumber",
                                             "media",     "initialization", "indexRange",  "presentationTimeOffset"};
    scratch_.reset();
    pugi::xml_node merged = scratch_.append_child("merged");
    for (const char* name : kInherited)
        for (pugi::xml_node element : elements)
            if (pugi::xml_attribute attribute = element.attribute(name)) {
                merged.append_attribute(name).set_value(attribute.value());
                break;
            }
    return merged;
}
