#include "stream/StreamChoice.h"

#include "runtime/AsciiText.h"

#include <algorithm>

namespace {

std::int64_t BandwidthOf(const TStreamFormat* format)
{
    return format->Bandwidth.value_or(0);
}

// Whether a is a better choice than b; both tell their height. At one
// height the higher bandwidth wins, but for the smallest size the lower.
bool BetterBySize(const TStreamFormat* a, const TStreamFormat* b, TSizePreference preference)
{
    if (*a->Height != *b->Height)
        return preference.Prefers(*a->Height, *b->Height);
    return preference.Rule == TSizePreference::srSmallest ? BandwidthOf(a) < BandwidthOf(b)
                                                          : BandwidthOf(a) > BandwidthOf(b);
}

// Without heights the bandwidth stands in for the size; a height asked for
// cannot be told apart from 360 lines, and takes the middle one too.
const TStreamFormat* ByBandwidth(std::vector<const TStreamFormat*> formats, TSizePreference preference)
{
    auto lower = [](const TStreamFormat* a, const TStreamFormat* b) { return BandwidthOf(a) < BandwidthOf(b); };
    switch (preference.Rule) {
    case TSizePreference::srLargest: return *std::max_element(formats.begin(), formats.end(), lower);
    case TSizePreference::srSmallest: return *std::min_element(formats.begin(), formats.end(), lower);
    case TSizePreference::srNearest: break;
    }
    std::stable_sort(formats.begin(), formats.end(), lower);
    return formats[formats.size() / 2];
}

// "es-ES" and "es_es" are Spanish, as "es" is.
bool SpeaksLanguage(const TAudioRendition& audio, const std::string& language)
{
    auto primary = [](const std::string& tag) { return tag.substr(0, tag.find_first_of("-_")); };
    return !language.empty() && AsciiText::SameText(primary(audio.Language), primary(language));
}

} // namespace

const TStreamFormat* ChooseFormat(const std::vector<TStreamFormat>& formats, TSizePreference preference)
{
    if (formats.empty())
        return nullptr;
    std::vector<const TStreamFormat*> sized, all;
    for (const TStreamFormat& format : formats) {
        all.push_back(&format);
        if (format.Height)
            sized.push_back(&format);
    }
    if (sized.empty())
        return ByBandwidth(all, preference);
    const TStreamFormat* best = sized.front();
    for (const TStreamFormat* format : sized)
        if (BetterBySize(format, best, preference))
            best = format;
    return best;
}

const TAudioRendition* ChooseAudio(const std::vector<TAudioRendition>& audio, const std::string& group,
                                   const std::string& language)
{
    std::vector<const TAudioRendition*> ofGroup;
    for (const TAudioRendition& rendition : audio)
        if (group.empty() || rendition.Group == group)
            ofGroup.push_back(&rendition);
    if (std::none_of(ofGroup.begin(), ofGroup.end(), [](auto* rendition) { return !rendition->Address.empty(); }))
        return nullptr;
    const TAudioRendition* spoken = nullptr;
    const TAudioRendition* preset = nullptr;
    for (const TAudioRendition* rendition : ofGroup) {
        if (SpeaksLanguage(*rendition, language) && (!spoken || (rendition->Default && !spoken->Default)))
            spoken = rendition;
        if (rendition->Default && !preset)
            preset = rendition;
    }
    return spoken ? spoken : preset ? preset : ofGroup.front();
}
