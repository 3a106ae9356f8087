#pragma once

#include "stream/DashElement.h"
#include "stream/DashSegmentInfo.h"

#include <array>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

// Reads how Representations tell their segments: the SegmentTemplate,
// SegmentList or SegmentBase of the most specific level that has one, each
// attribute and child from the most specific element of that kind that has
// it. A timeline or list that several Representations inherit is read once.
class TDashSegmentReader {
public:
    // The Representation, its AdaptationSet and its Period.
    using TLevels = std::array<pugi::xml_node, 3>;

    // Raises EStreamManifest naming the element for a malformed or absurd
    // value, a template without media, more than 100,000 entries.
    TDashSegmentInfo Read(const TLevels& levels, const std::string& baseAddress, const std::string& representation);

private:
    using TTimeline = std::shared_ptr<const std::vector<TDashTimelineEntry>>;
    using TList = std::shared_ptr<const std::vector<TDashListEntry>>;

    TTimeline Timeline(pugi::xml_node timeline, const std::string& representation);
    TList List(pugi::xml_node element, const std::string& representation);
    pugi::xml_node Merged(const std::vector<pugi::xml_node>& elements);

    std::unordered_map<const void*, TTimeline> timelines_;
    std::unordered_map<const void*, TList> lists_;
    pugi::xml_document scratch_;
};
