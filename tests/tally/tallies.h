// The three tallies run as the program runs them, and their counters and sums against the
// reference implementation; shared by the tests and the fuzz target, so no GoogleTest here.
#pragma once

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "quorvane/band_mode_tally.h"
#include "quorvane/continent_band_tally.h"
#include "quorvane/counting_rules.h"
#include "quorvane/qsl_tally.h"
#include "reference_tally.h"

namespace quorvane::testing {

struct Tallies {
    BandModeTally bandMode;
    ContinentBandTally continent;
    QslTally qsl;
};

// All three tallies with their totals, each reading `blockSize` bytes at a time (0: as usual).
inline Tallies CountFile(const std::string& path, std::size_t blockSize = 0,
                         const CountingRules& rules = ExactRules()) {
    Tallies t;
    LogLineScanner log(blockSize);
    log.Open(path);
    rules.ScanBandMode(t.bandMode, log, {});
    log.Close();
    t.bandMode.FormTotals();
    const ScanHooks hooks{{}, {}, {}, blockSize};
    rules.ScanContinentBands(t.continent, path, hooks);
    for (int c = 1; c <= 7; ++c) t.continent.ContinentTotal(c);
    rules.CountQsl(t.qsl, path, hooks);
    return t;
}

// Every counter by the reference's name and in its order (sums left out), with its value.
inline std::vector<std::pair<std::string, std::int64_t>> Counters(const Tallies& t) {
    std::vector<std::pair<std::string, std::int64_t>> out;
    const auto& modes = reference::BandModeCounterNames();
    for (std::size_t i = 0; i < modes.size(); ++i)
        out.emplace_back(modes[i], t.bandMode.Counter(i / kBandCount, i % kBandCount));
    out.emplace_back("OthersTotal", t.bandMode.OthersTotal);
    const auto& continents = reference::ContinentCounterNames();
    for (std::size_t i = 0; i < continents.size(); ++i)
        out.emplace_back(continents[i], t.continent.Counter(i / kBandCount, i % kBandCount));
    for (std::size_t f = 0; f < kQslFieldCount; ++f)
        out.emplace_back(reference::QslCounterNames()[f], t.qsl.Counter(f));
    return out;
}

// The counters that are not zero: "C20 OthersTotal EU20 QslSent*2".
inline std::string Nonzero(const Tallies& t) {
    std::ostringstream out;
    for (const auto& [name, n] : Counters(t)) {
        if (n) out << (out.tellp() ? " " : "") << name;
        if (n > 1) out << '*' << n;
    }
    return out.str();
}

// Every counter, every sum and, if asked, the last line that differ from the reference:
// " C20=2/1 Total=2/1"; empty when they agree.
inline std::string Differences(const Tallies& t, const reference::Counts& ref, bool lastLine) {
    std::string diff;
    const auto check = [&](const std::string& name, std::int64_t got, std::int64_t want) {
        if (got != want)
            diff += " " + name + "=" + std::to_string(got) + "/" + std::to_string(want);
    };
    for (const auto& [name, got] : Counters(t))
        for (const auto* counters : {&ref.bandMode, &ref.continent, &ref.qsl})
            if (counters->count(name) != 0) check(name, got, counters->at(name));
    std::vector<std::pair<std::string, std::int64_t>> sums = {{"Total", t.bandMode.Total}};
    for (std::size_t m = 0; m < kModeClassCount; ++m)
        sums.emplace_back(BandModeTally::ClassTotalName(m),
                          t.bandMode.*BandModeTally::kClassTotals[m]);
    for (std::size_t b = 0; b < kBandCount; ++b)
        sums.emplace_back(BandModeTally::BandTotalName(b),
                          t.bandMode.*BandModeTally::kBandTotals[b]);
    for (const auto& [name, got] : sums) check(name, got, ref.BandModeSum(name));
    for (std::size_t c = 0; c < kContinentCount; ++c) {
        const std::string name = ContinentBandTally::TotalName(c);
        check(name, t.continent.*ContinentBandTally::kTotals[c], ref.ContinentSum(name));
    }
    if (lastLine && t.bandMode.mystr != ref.lastLine.substr(0, LogLineScanner::kLastLineLimit))
        diff += " mystr";
    return diff;
}

}  // namespace quorvane::testing
