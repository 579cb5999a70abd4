// What the core keeps between and around scans: matchers that are copied, the last line after
// an empty log, and the counters as the busy notice comes up.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tally_support.h"

namespace quorvane {
namespace {

// A copy used after its original is gone must not read the original's memory (AddressSanitizer
// says so at once; without it, the freed memory is filled with other text first).
TEST(TagMatcher, ACopyStandsOnItsOwnOnceTheOriginalIsGone) {
    const std::vector<TagSpec> tags = {{"<BAND:3>20M", 1}, {"<BAND:3>40M", 2}, {"<MODE:2>CW", 4}};
    auto original = std::make_unique<TagMatcher>(tags);
    const TagMatcher copied(*original);
    TagMatcher assigned(std::vector<TagSpec>{{"<X>", 8}});
    assigned = *original;
    std::vector<TagMatcher> grown;
    for (int i = 0; i < 5; ++i) grown.push_back(*original);  // copies, then moves as it grows
    original.reset();
    std::vector<std::string> reuse;
    for (std::size_t n = 1; n <= 2048; ++n) reuse.emplace_back(n, '#');

    auto at = [](std::string text) { return text.append(TagMatcher::kMaxLiteral, '\0'); };
    const std::string band40 = at("<BAND:3>40M"), cw = at("<MODE:2>CW"), band60 = at("<BAND:3>60M");
    for (const TagMatcher* m :
         std::vector<const TagMatcher*>{&copied, &assigned, &grown.front(), &grown.back()}) {
        EXPECT_EQ(m->MatchAt(band40.data()), 2u);
        EXPECT_EQ(m->MatchAt(cw.data()), 4u);
        EXPECT_EQ(m->MatchAt(band60.data()), 0u);
    }
}

// mystr holds the last line read; an empty log reads none and so leaves it alone, while a log
// of one empty line does read one.
TEST(BandModeScan, AnEmptyLogLeavesTheLastLineAsItWas) {
    const struct {
        std::string second, mystr;
    } cases[] = {{"", "first <BAND:3>20M"}, {"\r\n", ""}, {"next", "next"}};
    for (const auto& c : cases) {
        const testing::TempFile file("first <BAND:3>20M\r\n");
        BandModeTally t;
        auto scan = [&] {
            LogLineScanner log;
            log.Open(file.path());
            t.Scan(log);
        };
        scan();
        file.Write(c.second);
        scan();
        EXPECT_EQ(t.mystr, c.mystr) << ::testing::PrintToString(c.second);
    }
}

// The continent scan opens the log, zeroes its 77 fields and only then puts up the busy notice,
// so that a window looking at the tally meanwhile never sees the previous log's counts.
TEST(ContinentScan, TheNoticeComesUpOnceTheLogIsOpenAndTheCountersAreZero) {
    const testing::TempFile file("<CONT:2>EU <BAND:3>20M\r\n");
    ContinentBandTally t;
    t.EU20 = 5;
    t.SAtotal = 7;
    int seenNonzero = -1;
    bool seenHeld = false;
    ScanHooks hooks;
    hooks.opened = [&] {
        seenHeld = LogLineScanner::HandleHeld();
        seenNonzero = 0;
        for (std::size_t c = 0; c < kContinentCount; ++c) {
            seenNonzero += t.*ContinentBandTally::kTotals[c] != 0;
            for (std::size_t b = 0; b < kBandCount; ++b) seenNonzero += t.Counter(c, b) != 0;
        }
    };
    t.ScanContinentBands(file.path(), hooks);
    EXPECT_TRUE(seenHeld);
    EXPECT_EQ(seenNonzero, 0);
    EXPECT_EQ(t.EU20, 1);
}

}  // namespace
}  // namespace quorvane
