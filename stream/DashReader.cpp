#include "stream/DashReader.h"

#include "page/ReferenceResolution.h"
#include "runtime/AsciiText.h"
#include "stream/CodecList.h"
#include "stream/StreamLimits.h"

#include <unordered_set>

namespace {

// An element's name in messages: its id, else its position from 1.
std::string NameOf(pugi::xml_node element, std::string_view kind, std::size_t index)
{
    const std::string id = element.attribute("id").value();
    return std::string(kind) + " " + (id.empty() ? std::to_string(index + 1) : id);
}

// The address an element's BaseURL leads to, read against the one above.
std::string BaseOf(pugi::xml_node element, const std::string& outer)
{
    const std::string base = ChildText(element, "BaseURL");
    return base.empty() ? outer : ResolveReference(outer, base);
}

// A Representation's attribute, else its AdaptationSet's.
pugi::xml_node Holder(pugi::xml_node representation, pugi::xml_node set, const char* attribute)
{
    return representation.attribute(attribute) ? representation : set;
}

std::string Inherited(pugi::xml_node representation, pugi::xml_node set, const char* attribute)
{
    return Holder(representation, set, attribute).attribute(attribute).value();
}

// Video or audio by the AdaptationSet's contentType, else the mimeType,
// else the codecs; nothing for text, images and what cannot be told.
std::optional<TDashRepresentation::TKind> KindOf(pugi::xml_node representation, pugi::xml_node set)
{
    auto kindOfType = [](std::string_view type) -> std::optional<TDashRepresentation::TKind> {
        if (type == "video")
            return TDashRepresentation::rkVideo;
        if (type == "audio")
            return TDashRepresentation::rkAudio;
        return std::nullopt;
    };
    const std::string contentType = AsciiText::LowerCase(set.attribute("contentType").value());
    if (!contentType.empty())
        return kindOfType(contentType);
    const std::string mimeType = AsciiText::LowerCase(Inherited(representation, set, "mimeType"));
    if (!mimeType.empty())
        return kindOfType(std::string_view(mimeType).substr(0, mimeType.find('/')));
    const TCodecKinds codecs = CodecKindsOf(Inherited(representation, set, "codecs"));
    if (codecs.Video)
        return TDashRepresentation::rkVideo;
    if (codecs.AudioOnly())
        return TDashRepresentation::rkAudio;
    return std::nullopt;
}

std::string ContainerOf(std::string_view mimeType, TDashSegmentKind segments)
{
    const std::string_view type = mimeType.substr(0, mimeType.find(';'));
    const std::size_t slash = type.find('/');
    const std::string subtype =
        slash == std::string_view::npos ? std::string() : AsciiText::LowerCase(AsciiText::Trim(type.substr(slash + 1)));
    if (subtype == "mp4")
        return segments == dsTemplate || segments == dsList ? "fmp4" : "mp4";
    if (subtype == "webm")
        return "webm";
    return subtype == "mp2t" ? "ts" : "";
}

bool IsMain(pugi::xml_node element)
{
    for (pugi::xml_node role : Children(element, "Role"))
        if (std::string_view(role.attribute("value").value()) == "main")
            return true;
    return false;
}

} // namespace

TDashManifest TDashReader::Read(std::string_view text)
{
    if (text.size() > kMaxManifestBytes)
        throw EStreamManifest(mkManifest, {}, "it is larger than %s MiB", {std::to_string(kMaxManifestBytes >> 20)});
    pugi::xml_document document;
    const pugi::xml_parse_result parsed = document.load_buffer(text.data(), text.size());
    if (!parsed)
        throw EStreamManifest(mkManifest, {}, "it is not XML (%s at byte %s)",
                              {parsed.description(), std::to_string(parsed.offset)});
    const TDashElement mpd(document.document_element(), TManifestPlace::Element("MPD"));
    if (LocalName(mpd.Node()) != "MPD")
        throw EStreamManifest(mkManifest, {}, "%s is missing", {"MPD"});

    TDashManifest manifest;
    manifest.Live = mpd.Text("type") == "dynamic";
    manifest.Title = ChildText(FirstChild(mpd.Node(), "ProgramInformation"), "Title");
    const std::optional<double> presentation = mpd.Duration("mediaPresentationDuration");
    std::vector<TDashElement> periods;
    for (pugi::xml_node period : Children(mpd.Node(), "Period"))
        periods.emplace_back(period, TManifestPlace::Element(NameOf(period, "Period", periods.size())));
    const std::vector<TPeriodTiming> timings = Timings(periods, presentation);

    const std::string base = BaseOf(mpd.Node(), address_);
    TDashPeriods read;
    std::optional<double> total = 0.0;
    for (std::size_t i = 0; i < periods.size(); ++i) {
        const pugi::xml_node period = periods[i].Node();
        const TPeriodContext context{period, NameOf(period, "Period", i), BaseOf(period, base),
                                     static_cast<int>(read.size()), timings[i].Duration};
        std::vector<TDashRepresentation> representations = ReadPeriod(context);
        if (!representations.empty())
            read.push_back(std::move(representations));
        total = total && timings[i].Duration ? std::optional(*total + *timings[i].Duration) : std::nullopt;
    }
    JoinPeriods(read, manifest);
    manifest.Protection = protection_;
    manifest.Duration = presentation.value_or(total.value_or(0));
    return manifest;
}

// Each Period starts where the one before ends unless it says otherwise,
// and lasts until the next starts, or the presentation ends.
std::vector<TDashReader::TPeriodTiming> TDashReader::Timings(const std::vector<TDashElement>& periods,
                                                             std::optional<double> presentation)
{
    std::vector<TPeriodTiming> timings(periods.size());
    for (std::size_t i = 0; i < periods.size(); ++i) {
        timings[i] = {periods[i].Duration("start"), periods[i].Duration("duration")};
        if (!timings[i].Start && i == 0)
            timings[i].Start = 0;
        else if (!timings[i].Start && timings[i - 1].Start && timings[i - 1].Duration)
            timings[i].Start = *timings[i - 1].Start + *timings[i - 1].Duration;
    }
    for (std::size_t i = 0; i < periods.size(); ++i) {
        const bool last = i + 1 == periods.size();
        const std::optional<double> end = last ? presentation : timings[i + 1].Start;
        if (timings[i].Duration || !timings[i].Start || !end)
            continue;
        if (*end < *timings[i].Start)
            (last ? periods[i] : periods[i + 1]).FailValue("start");
        timings[i].Duration = *end - *timings[i].Start;
    }
    return timings;
}

std::vector<TDashRepresentation> TDashReader::ReadPeriod(const TPeriodContext& period)
{
    std::vector<TDashRepresentation> representations;
    std::size_t index = 0;
    for (pugi::xml_node set : Children(period.Period, "AdaptationSet"))
        ReadAdaptationSet(set, NameOf(set, "AdaptationSet", index++), period, representations);
    std::unordered_set<std::string> ids;
    for (const TDashRepresentation& representation : representations)
        if (!ids.insert(representation.Format.Id).second)
            throw EStreamManifest(mkManifest, TManifestPlace::Element(period.Name), "the id %s is used twice",
                                  {Quoted(representation.Format.Id)});
    return representations;
}

void TDashReader::ReadAdaptationSet(pugi::xml_node set, const std::string& setName, const TPeriodContext& period,
                                    std::vector<TDashRepresentation>& representations)
{
    SeeProtection(set);
    const std::string setBase = BaseOf(set, period.BaseAddress);
    std::size_t index = 0;
    for (pugi::xml_node element : Children(set, "Representation")) {
        if (++representations_ > kMaxRepresentations)
            throw EStreamManifest(mkManifest, TManifestPlace::Element("MPD"), "more than %s Representations",
                                  {std::to_string(kMaxRepresentations)});
        if (std::string_view(element.attribute("id").value()).empty())
            throw EStreamManifest(mkManifest,
                                  TManifestPlace::ElementOf(NameOf(element, "Representation", index), setName),
                                  "%s is missing", {"id"});
        ++index;
        if (std::optional<TDashRepresentation> representation = ReadRepresentation(element, set, setBase, period))
            representations.push_back(std::move(*representation));
    }
}

std::optional<TDashRepresentation> TDashReader::ReadRepresentation(pugi::xml_node element, pugi::xml_node set,
                                                                   const std::string& setBase,
                                                                   const TPeriodContext& period)
{
    SeeProtection(element);
    const std::optional<TDashRepresentation::TKind> kind = KindOf(element, set);
    if (!kind)
        return std::nullopt;
    const std::string name = "Representation " + std::string(element.attribute("id").value());
    auto whole = [&](const char* attribute) {
        return TDashElement(Holder(element, set, attribute), TManifestPlace::Element(name)).Whole(attribute);
    };
    auto size = [&](const char* attribute) -> std::optional<int> {
        std::optional<std::uint64_t> value = whole(attribute);
        if (value && (*value == 0 || *value > 65535))
            TDashElement(Holder(element, set, attribute), TManifestPlace::Element(name)).FailValue(attribute);
        return value ? std::optional<int>(static_cast<int>(*value)) : std::nullopt;
    };

    TDashRepresentation representation;
    representation.Kind = *kind;
    TStreamFormat& format = representation.Format;
    format.Id = element.attribute("id").value();
    format.Width = size("width");
    format.Height = size("height");
    if (std::optional<std::uint64_t> bandwidth = whole("bandwidth"))
        format.Bandwidth = static_cast<std::int64_t>(*bandwidth);
    format.Codecs = Inherited(element, set, "codecs");
    representation.Language = Inherited(element, set, "lang");
    representation.Name = ChildText(FirstChild(element, "Label") ? element : set, "Label");
    representation.Default = IsMain(set) || IsMain(element);

    TDashPeriodPieces& pieces = representation.Pieces;
    pieces.RepresentationId = format.Id;
    pieces.Bandwidth = format.Bandwidth;
    pieces.BaseAddress = BaseOf(element, setBase);
    pieces.Period = period.Position;
    pieces.PeriodName = period.Name;
    pieces.PeriodDuration = period.Duration;
    pieces.Segments = segments_.Read({element, set, period.Period}, pieces.BaseAddress, name);
    format.Container = ContainerOf(Inherited(element, set, "mimeType"), pieces.Segments.Kind);
    return representation;
}

void TDashReader::SeeProtection(pugi::xml_node element)
{
    if (FirstChild(element, "ContentProtection"))
        protection_ = spDrm;
}
