// What the tally and report tests share: a log in a directory of its own, the three tallies run
// as the program runs them, and their counters against the reference implementation.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "quorvane/band_mode_tally.h"
#include "quorvane/continent_band_tally.h"
#include "quorvane/counting_rules.h"
#include "quorvane/qsl_tally.h"
#include "reference_tally.h"

namespace quorvane::testing {

struct TempFile {
    explicit TempFile(std::string_view content = {})
        : dir((std::filesystem::temp_directory_path() / "quorvane-XXXXXX").string()) {
        if (::mkdtemp(dir.data()) == nullptr) throw std::runtime_error("mkdtemp");
        std::ofstream(path = dir + "/log.adi", std::ios::binary) << content;
    }
    ~TempFile() { std::filesystem::remove_all(dir); }
    std::string dir, path;
};

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
    std::string out;
    for (const auto& [name, n] : Counters(t))
        if (n != 0) out += (out.empty() ? "" : " ") + name + (n > 1 ? "*" + std::to_string(n) : "");
    return out;
}

// Every counter, every sum and the last line against the reference.
inline ::testing::AssertionResult SameAsReference(const Tallies& t, const reference::Counts& ref) {
    std::string diff;
    const auto check = [&](const std::string& name, std::int64_t got, std::int64_t want) {
        if (got != want)
            diff += " " + name + "=" + std::to_string(got) + "/" + std::to_string(want);
    };
    for (const auto& [name, got] : Counters(t)) {
        for (const auto* counters : {&ref.bandMode, &ref.continent, &ref.qsl})
            if (counters->count(name) != 0) check(name, got, counters->at(name));
    }
    for (std::size_t m = 0; m < kModeClassCount; ++m) {
        const std::string name = BandModeTally::ClassTotalName(m);
        check(name, t.bandMode.*BandModeTally::kClassTotals[m], ref.BandModeSum(name));
    }
    for (std::size_t b = 0; b < kBandCount; ++b) {
        const std::string name = BandModeTally::BandTotalName(b);
        check(name, t.bandMode.*BandModeTally::kBandTotals[b], ref.BandModeSum(name));
    }
    check("Total", t.bandMode.Total, ref.BandModeSum("Total"));
    for (std::size_t c = 0; c < kContinentCount; ++c) {
        const std::string name = ContinentBandTally::TotalName(c);
        check(name, t.continent.*ContinentBandTally::kTotals[c], ref.ContinentSum(name));
    }
    if (t.bandMode.mystr != ref.lastLine.substr(0, LogLineScanner::kLastLineLimit))
        diff += " mystr";
    if (diff.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "scanner/reference:" << diff;
}

// Counts `text` with both implementations; fails the test if they differ.
inline Tallies CountChecked(std::string_view text, std::size_t blockSize = 0) {
    TempFile file(text);
    Tallies t = CountFile(file.path, blockSize);
    EXPECT_TRUE(SameAsReference(t, reference::CountText(text)));
    return t;
}

}  // namespace quorvane::testing
