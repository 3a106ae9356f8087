#pragma once

#include "stream/DashElement.h"
#include "stream/DashManifest.h"
#include "stream/DashPeriodJoin.h"
#include "stream/DashSegmentReader.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Reads a manifest's elements from the MPD down to its Representations,
// each with the BaseURLs, attributes and segment information it inherits,
// and hands the Periods to the join (see ReadDashManifest).
class TDashReader {
public:
    explicit TDashReader(const std::string& address) : address_(address) {}

    TDashManifest Read(std::string_view text);

private:
    // Where a Period stands in the presentation.
    struct TPeriodTiming {
        std::optional<double> Start, Duration;
    };
    // What the Representations of a Period share.
    struct TPeriodContext {
        pugi::xml_node Period;
        std::string Name;
        std::string BaseAddress;
        int Position = 0;
        std::optional<double> Duration;
    };

    static std::vector<TPeriodTiming> Timings(const std::vector<TDashElement>& periods,
                                              std::optional<double> presentation);
    std::vector<TDashRepresentation> ReadPeriod(const TPeriodContext& period);
    void ReadAdaptationSet(pugi::xml_node set, const std::string& setName, const TPeriodContext& period,
                           std::vector<TDashRepresentation>& representations);
    std::optional<TDashRepresentation> ReadRepresentation(pugi::xml_node representation, pugi::xml_node set,
                                                          const std::string& setBase, const TPeriodContext& period);
    void SeeProtection(pugi::xml_node element);

    std::string address_;
    TDashSegmentReader segments_;
    TStreamProtection protection_ = spNone;
    std::size_t representations_ = 0;
};
