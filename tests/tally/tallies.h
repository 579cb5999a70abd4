// A log counted as the report tool counts it, and its counters and sums against the reference
// implementation; shared by the tests and the fuzz target, so no GoogleTest here.
#pragma once

#include <algorithm>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "quorvane/counting_rules.h"
#include "quorvane/log_counts.h"
#include "reference_tally.h"

namespace quorvane::testing {

// All three tables with their totals, each scan reading `blockSize` bytes at a time (0: as
// usual).
inline LogCounts CountFile(const std::string& path, std::size_t blockSize = 0,
                           const CountingRules& rules = ExactRules()) {
    return *CountLog(path, rules, {}, {.blockSize = blockSize});
}

// All three tables with their totals, the log handed over `piece` bytes at a time (0: at
// once), as a caller that reads it itself hands it over.
inline LogCounts FeedText(std::string_view text, std::size_t piece,
                          const CountingRules& rules = ExactRules()) {
    LogFeed feed(rules);
    if (piece == 0) piece = text.size() + 1;
    for (std::size_t at = 0; at < text.size(); at += piece)
        feed.Feed(text.data() + at, std::min(piece, text.size() - at));
    return feed.Finish();
}

// The reference's counters of one section, by the section's JSON name.
inline const std::map<std::string, std::int64_t>& Section(const reference::Counts& ref,
                                                          std::string_view section) {
    if (section == kBandModeSection) return ref.bandMode;
    if (section == kContinentSection) return ref.continent;
    return ref.qsl;
}

// The counters that are not zero, sums left out, in the order of the report's JSON:
// "C20 OthersTotal EU20 QslSent*2".
inline std::string Nonzero(const LogCounts& t) {
    static const reference::Counts kNames;
    std::ostringstream out;
    ForEachCounter(t, [&](std::string_view section, std::string_view name, std::int32_t n) {
        if (n == 0 || Section(kNames, section).count(std::string(name)) == 0) return;
        out << (out.tellp() ? " " : "") << name;
        if (n > 1) out << '*' << n;
    });
    return out.str();
}

// Every counter, every sum and, if asked, the last line that differ from the reference:
// " C20=2/1 Total=2/1"; empty when they agree. A counter of the reference that the tallies do
// not name is a difference too.
inline std::string Differences(const LogCounts& t, const reference::Counts& ref, bool lastLine) {
    std::string diff;
    std::size_t named = 0;
    ForEachCounter(t, [&](std::string_view section, std::string_view counter, std::int32_t got) {
        const std::string name(counter);
        const auto& counters = Section(ref, section);
        std::int64_t want;
        if (counters.count(name) != 0) {
            want = counters.at(name);
            ++named;
        } else if (section == kBandModeSection) {
            want = ref.BandModeSum(name);
        } else {
            want = ref.ContinentSum(name);
        }
        if (got != want)
            diff += " " + name + "=" + std::to_string(got) + "/" + std::to_string(want);
    });
    if (named != ref.bandMode.size() + ref.continent.size() + ref.qsl.size())
        diff += " counters missing";
    if (lastLine && t.bandMode->mystr != ref.lastLine.substr(0, LogLineScanner::kLastLineLimit))
        diff += " mystr";
    return diff;
}

}  // namespace quorvane::testing
