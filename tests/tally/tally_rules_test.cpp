// The counting rules of the three tallies, the line rule, the last line, the totals and the
// percentage text. Every text here is also counted by the reference implementation, and the
// two must agree (CountChecked), so these cases check the reference as much as the scanner.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "loggen.h"
#include "tally_support.h"

namespace quorvane {
namespace {

using testing::CountChecked;
using testing::Tallies;
using Nonzero = std::map<std::string, std::int32_t>;

// The band/mode counters that are not zero, by name, OthersTotal included.
Nonzero BandMode(const Tallies& t) {
    Nonzero out;
    for (std::size_t m = 0; m < kModeClassCount; ++m)
        for (std::size_t b = 0; b < kBandCount; ++b)
            if (t.bandMode.Counter(m, b) != 0)
                out[BandModeTally::CounterName(m, b)] = t.bandMode.Counter(m, b);
    if (t.bandMode.OthersTotal != 0) out["OthersTotal"] = t.bandMode.OthersTotal;
    return out;
}

Nonzero Continent(const Tallies& t) {
    Nonzero out;
    for (std::size_t c = 0; c < kContinentCount; ++c)
        for (std::size_t b = 0; b < kBandCount; ++b)
            if (t.continent.Counter(c, b) != 0)
                out[ContinentBandTally::CounterName(c, b)] = t.continent.Counter(c, b);
    return out;
}

Nonzero Qsl(const Tallies& t) {
    const char* names[] = {"QslSent", "QslRcvd", "LotwSent", "LotwRcvd", "EqslSent", "EqslRcvd"};
    Nonzero out;
    for (std::size_t f = 0; f < kQslFieldCount; ++f)
        if (t.qsl.Counter(f) != 0) out[names[f]] = t.qsl.Counter(f);
    return out;
}

Nonzero BandModeOf(const std::string& text) { return BandMode(CountChecked(text)); }
Nonzero ContinentOf(const std::string& text) { return Continent(CountChecked(text)); }
Nonzero QslOf(const std::string& text) { return Qsl(CountChecked(text)); }

// Band tags and the number in counter names, written out once more for these tests.
const std::vector<std::pair<std::string, std::string>> kBands = {
    {"<BAND:2>6M", "6"},   {"<BAND:3>10M", "10"},   {"<BAND:3>12M", "12"}, {"<BAND:3>15M", "15"},
    {"<BAND:3>17M", "17"}, {"<BAND:3>20M", "20"},   {"<BAND:3>30M", "30"}, {"<BAND:3>40M", "40"},
    {"<BAND:3>80M", "80"}, {"<BAND:4>160M", "160"},
};

// ---- band/mode

TEST(BandModeRules, EachListedModeOnEachBandCountsInItsCell) {
    const std::vector<std::pair<std::string, std::string>> modes = {
        {"<MODE:2>CW", "C"},  {"<MODE:4>RTTY", "R"}, {"<MODE:5>PSK63", "R"}, {"<MODE:5>PSK31", "R"},
        {"<MODE:3>SSB", "S"}, {"<MODE:2>FM", "S"},   {"<MODE:2>AM", "S"},
    };
    for (const auto& [band, number] : kBands) {
        for (const auto& [mode, letter] : modes) {
            SCOPED_TRACE(band + " " + mode);
            EXPECT_EQ(BandModeOf("<CALL:4>K1AB " + band + " " + mode + " <EOR>\r\n"),
                      (Nonzero{{letter + number, 1}}));
        }
    }
}

TEST(BandModeRules, ModeTagMayStandBeforeTheBandTag) {
    EXPECT_EQ(BandModeOf("<MODE:2>CW <BAND:3>20M\r\n"), (Nonzero{{"C20", 1}}));
}

TEST(BandModeRules, CwAnywhereOnTheLineWinsOverDigAndPhone) {
    // Class before band: 6M comes first in the band order, but the CW row of 160M is tried
    // before any DIG or PHO row.
    EXPECT_EQ(BandModeOf("<BAND:2>6M <MODE:3>SSB <BAND:4>160M <MODE:2>CW\r\n"),
              (Nonzero{{"C6", 1}}));
    EXPECT_EQ(BandModeOf("<BAND:3>10M <MODE:4>RTTY <BAND:3>80M <MODE:2>CW\r\n"),
              (Nonzero{{"C10", 1}}));
    EXPECT_EQ(BandModeOf("<BAND:3>40M <MODE:3>SSB <EOR> <BAND:3>20M <MODE:2>CW <EOR>\r\n"),
              (Nonzero{{"C20", 1}}));
    EXPECT_EQ(BandModeOf("<BAND:3>12M <MODE:2>FM <BAND:3>17M <MODE:5>PSK31\r\n"),
              (Nonzero{{"R12", 1}}));
}

TEST(BandModeRules, WithinAClassTheFirstBandOfTheTableWins) {
    EXPECT_EQ(BandModeOf("<BAND:3>20M <MODE:3>SSB <EOR> <BAND:3>10M <MODE:3>SSB <EOR>\r\n"),
              (Nonzero{{"S10", 1}}));
    EXPECT_EQ(BandModeOf("<BAND:3>40M <BAND:3>20M <MODE:2>CW\r\n"), (Nonzero{{"C20", 1}}));
    EXPECT_EQ(BandModeOf("<BAND:4>160M <BAND:2>6M <MODE:2>AM\r\n"), (Nonzero{{"S6", 1}}));
}

TEST(BandModeRules, SeveralContactsOnOneLineCountOnce) {
    std::string line;
    for (const auto& band : kBands) line += band.first + " <MODE:2>CW <EOR> ";
    EXPECT_EQ(BandModeOf(line + "\r\n"), (Nonzero{{"C6", 1}}));
}

TEST(BandModeRules, UnlistedBandsAndModesGoToOthers) {
    EXPECT_EQ(BandModeOf("<BAND:3>20M <MODE:3>FT8\r\n"), (Nonzero{{"OthersTotal", 1}}));
    EXPECT_EQ(BandModeOf("<BAND:3>20M <MODE:4>PSK31\r\n"), (Nonzero{{"OthersTotal", 1}}));
    EXPECT_EQ(BandModeOf("<BAND:2>2M <MODE:2>FM\r\n"), (Nonzero{{"OthersTotal", 1}}));
    EXPECT_EQ(BandModeOf("<BAND:3>60M <MODE:2>CW\r\n"), (Nonzero{{"OthersTotal", 1}}));
    EXPECT_EQ(BandModeOf("<BAND:3>20M\r\n"), (Nonzero{{"OthersTotal", 1}}));
    EXPECT_EQ(BandModeOf("<BAND:\r\n"), (Nonzero{{"OthersTotal", 1}}));
}

TEST(BandModeRules, DataTypeIndicatorsAndWrongLengthsAreNotTheTag) {
    EXPECT_EQ(BandModeOf("<BAND:3:E>20M <MODE:2>CW\r\n"), (Nonzero{{"OthersTotal", 1}}));
    EXPECT_EQ(BandModeOf("<BAND:3>20M <MODE:2:E>CW\r\n"), (Nonzero{{"OthersTotal", 1}}));
    EXPECT_EQ(BandModeOf("<BAND:4>20M <MODE:2>CW\r\n"), (Nonzero{{"OthersTotal", 1}}));
    EXPECT_EQ(BandModeOf("<BAND: 3>20M <MODE:2>CW\r\n"), (Nonzero{{"OthersTotal", 1}}));
}

TEST(BandModeRules, TagsAreCaseSensitive) {
    EXPECT_EQ(BandModeOf("<band:3>20m <mode:2>cw\r\n"), Nonzero{});
    EXPECT_EQ(BandModeOf("<BAND:3>20m <MODE:2>CW\r\n"), (Nonzero{{"OthersTotal", 1}}));
    EXPECT_EQ(BandModeOf("<BAND:3>20M <MODE:2>cw\r\n"), (Nonzero{{"OthersTotal", 1}}));
    EXPECT_EQ(BandModeOf("<Band:3>20M <MODE:2>CW\r\n"), Nonzero{});
}

TEST(BandModeRules, TheLiteralIsASubstringWhateverFollowsIt) {
    EXPECT_EQ(BandModeOf("<BAND:3>20MX <MODE:2>CWR\r\n"), (Nonzero{{"C20", 1}}));
    EXPECT_EQ(BandModeOf("x<BAND:3>20M<MODE:2>CW<EOR>\r\n"), (Nonzero{{"C20", 1}}));
}

TEST(BandModeRules, LinesWithoutABandTagCountNothing) {
    EXPECT_EQ(BandModeOf("<MODE:2>CW <CONT:2>EU\r\n"), Nonzero{});
    EXPECT_EQ(BandModeOf("Quorvane log\r\n<ADIF_VER:5>3.1.4 <EOH>\r\n"), Nonzero{});
    EXPECT_EQ(BandModeOf("BAND:3>20M <MODE:2>CW\r\n"), Nonzero{});
}

TEST(BandModeRules, TagsSplitOverTwoLinesCountAsOthersOnTheBandLine) {
    EXPECT_EQ(BandModeOf("<CALL:4>K1AB <BAND:3>20M\r\n<MODE:2>CW <EOR>\r\n"),
              (Nonzero{{"OthersTotal", 1}}));
    EXPECT_EQ(BandModeOf("<MODE:2>CW\r\n<BAND:3>20M <EOR>\r\n"), (Nonzero{{"OthersTotal", 1}}));
    // A tag cut by a line end is no tag at all.
    EXPECT_EQ(BandModeOf("<BAND:3>2\r\n0M <MODE:2>CW\r\n"), (Nonzero{{"OthersTotal", 1}}));
    EXPECT_EQ(BandModeOf("<BAND:3>20M <MODE:2>C\nW\r\n"), (Nonzero{{"OthersTotal", 1}}));
}

TEST(BandModeRules, EveryLineCountsOnItsOwn) {
    EXPECT_EQ(BandModeOf("<BAND:3>20M <MODE:2>CW\r\n<BAND:3>20M <MODE:2>CW\r\n"
                         "<BAND:3>40M <MODE:3>SSB\r\n<BAND:3>60M <MODE:3>SSB\r\n"),
              (Nonzero{{"C20", 2}, {"S40", 1}, {"OthersTotal", 1}}));
}

// ---- continent/band

TEST(ContinentRules, EachContinentOnEachBandCountsInItsCell) {
    for (const char* code : {"AF", "AN", "AS", "EU", "NA", "OC", "SA"}) {
        for (const auto& [band, number] : kBands) {
            SCOPED_TRACE(std::string(code) + " " + band);
            EXPECT_EQ(ContinentOf(band + " <CONT:2>" + code + " <EOR>\r\n"),
                      (Nonzero{{code + number, 1}}));
        }
    }
}

TEST(ContinentRules, ModeDoesNotMatter) {
    EXPECT_EQ(ContinentOf("<CONT:2>EU <BAND:3>20M\r\n"), (Nonzero{{"EU20", 1}}));
    EXPECT_EQ(ContinentOf("<CONT:2>EU <BAND:3>20M <MODE:3>FT8\r\n"), (Nonzero{{"EU20", 1}}));
    EXPECT_EQ(ContinentOf("<BAND:3>20M <MODE:2>CW <CONT:2>EU\r\n"), (Nonzero{{"EU20", 1}}));
}

TEST(ContinentRules, EarlierContinentAndEarlierBandWinWhereverTheyStand) {
    EXPECT_EQ(ContinentOf("<CONT:2>NA <CONT:2>EU <BAND:3>20M\r\n"), (Nonzero{{"EU20", 1}}));
    EXPECT_EQ(ContinentOf("<CONT:2>AF <BAND:3>40M <BAND:3>20M\r\n"), (Nonzero{{"AF20", 1}}));
    EXPECT_EQ(ContinentOf("<CONT:2>SA <BAND:4>160M <CONT:2>AN <BAND:3>10M\r\n"),
              (Nonzero{{"AN10", 1}}));
    EXPECT_EQ(ContinentOf("<CONT:2>OC <BAND:3>80M <EOR> <CONT:2>AS <BAND:3>30M <EOR>\r\n"),
              (Nonzero{{"AS30", 1}}));
}

TEST(ContinentRules, LinesLackingAContinentOrAListedBandCountNothing) {
    EXPECT_EQ(ContinentOf("<CONT:2>EU <MODE:2>CW\r\n"), Nonzero{});
    EXPECT_EQ(ContinentOf("<BAND:3>20M <MODE:2>CW\r\n"), Nonzero{});
    EXPECT_EQ(ContinentOf("<CONT:2>AF <BAND:3>60M\r\n"), Nonzero{});
    EXPECT_EQ(ContinentOf("<CONT:2>eu <BAND:3>20M\r\n"), Nonzero{});
    EXPECT_EQ(ContinentOf("<cont:2>EU <BAND:3>20M\r\n"), Nonzero{});
    EXPECT_EQ(ContinentOf("<CONT:2:E>EU <BAND:3>20M\r\n"), Nonzero{});
    EXPECT_EQ(ContinentOf("<CONT:2>EU <band:3>20m\r\n"), Nonzero{});
}

TEST(ContinentRules, ContinentAndBandOnDifferentLinesCountNothing) {
    EXPECT_EQ(ContinentOf("<CONT:2>EU\r\n<BAND:3>20M\r\n"), Nonzero{});
    EXPECT_EQ(ContinentOf("<BAND:3>20M\n<CONT:2>EU\n"), Nonzero{});
}

// ---- QSL

TEST(QslRules, EachFieldCountsOnItsOwnAndOncePerLine) {
    EXPECT_EQ(QslOf("<QSL_SENT:1>Y <QSL_RCVD:1>Y\r\n"), (Nonzero{{"QslSent", 1}, {"QslRcvd", 1}}));
    EXPECT_EQ(QslOf("<QSL_SENT:1>Y <QSL_SENT:1>Y\r\n"), (Nonzero{{"QslSent", 1}}));
    EXPECT_EQ(QslOf("<LOTW_QSL_RCVD:1>Y\r\n"), (Nonzero{{"LotwRcvd", 1}}));
    EXPECT_EQ(QslOf("<QSL_SENT:1>Y <QSL_RCVD:1>Y <LOTW_QSL_SENT:1>Y <LOTW_QSL_RCVD:1>Y "
                    "<eQSL_QSL_SENT:1>Y <eQSL_QSL_RCVD:1>Y\r\n<eQSL_QSL_SENT:1>Y\r\n"),
              (Nonzero{{"QslSent", 1},
                       {"QslRcvd", 1},
                       {"LotwSent", 1},
                       {"LotwRcvd", 1},
                       {"EqslSent", 2},
                       {"EqslRcvd", 1}}));
}

TEST(QslRules, OnlyTheExactFieldWithValueYCounts) {
    EXPECT_EQ(QslOf("<QSL_SENT:1>N\r\n"), Nonzero{});
    EXPECT_EQ(QslOf("<QSL_SENT:1>y\r\n"), Nonzero{});
    EXPECT_EQ(QslOf("<qsl_sent:1>Y\r\n"), Nonzero{});
    EXPECT_EQ(QslOf("<QSL_SENT:1:S>Y\r\n"), Nonzero{});
    EXPECT_EQ(QslOf("<QSL_SENT:2>Y \r\n"), Nonzero{});
    EXPECT_EQ(QslOf("<EQSL_QSL_RCVD:1>Y <EQSL_QSL_SENT:1>Y\r\n"), Nonzero{});
}

TEST(QslRules, CountsDoNotDependOnBandOrOtherTags) {
    EXPECT_EQ(QslOf("<QSL_SENT:1>Y\r\n<BAND:3>20M <MODE:2>CW <QSL_SENT:1>Y\r\n<QSL_SENT:1>Y"),
              (Nonzero{{"QslSent", 3}}));
}

// ---- the line rule and the last line

struct LineEndCase {
    const char* name;
    std::vector<std::string> ends;  // used in turn after each line
};

TEST(LineRule, EveryTerminatorEndsALineAndTheLastLineNeedsNone) {
    const std::vector<std::string> lines = {
        "<BAND:3>20M <MODE:2>CW <CONT:2>EU <QSL_SENT:1>Y",
        "<BAND:3>40M <MODE:5>PSK63 <CONT:2>NA <QSL_SENT:1>Y",
        "<BAND:2>6M <MODE:2>FM <CONT:2>SA <QSL_RCVD:1>Y",
    };
    const std::vector<LineEndCase> cases = {
        {"CR", {"\r"}},
        {"CRLF", {"\r\n"}},
        {"LF", {"\n"}},
        {"mixed", {"\r", "\n", "\r\n"}},
        {"mixed2", {"\n", "\r\n", "\r"}},
    };
    for (const LineEndCase& c : cases) {
        for (bool finalEnd : {true, false}) {
            SCOPED_TRACE(std::string(c.name) + (finalEnd ? " with" : " without") + " final end");
            std::string text;
            for (std::size_t i = 0; i < lines.size(); ++i) {
                text += lines[i];
                if (i + 1 < lines.size() || finalEnd) text += c.ends[i % c.ends.size()];
            }
            const Tallies t = CountChecked(text);
            EXPECT_EQ(BandMode(t), (Nonzero{{"C20", 1}, {"R40", 1}, {"S6", 1}}));
            EXPECT_EQ(Continent(t), (Nonzero{{"EU20", 1}, {"NA40", 1}, {"SA6", 1}}));
            EXPECT_EQ(Qsl(t), (Nonzero{{"QslSent", 2}, {"QslRcvd", 1}}));
            EXPECT_EQ(t.bandMode.mystr, lines.back());
        }
    }
}

TEST(LineRule, LfThenCrIsTwoLineEnds) {
    const Tallies t = CountChecked("<BAND:3>20M\n\r<MODE:2>CW\n\r");
    EXPECT_EQ(BandMode(t), (Nonzero{{"OthersTotal", 1}}));
    EXPECT_EQ(t.bandMode.mystr, "");  // the CR after "CW\n" ends an empty last line
}

TEST(LineRule, ATerminatorAtTheEndMakesNoExtraLine) {
    EXPECT_EQ(CountChecked("abc\r\n").bandMode.mystr, "abc");
    EXPECT_EQ(CountChecked("abc\r").bandMode.mystr, "abc");
    EXPECT_EQ(CountChecked("abc\n").bandMode.mystr, "abc");
    EXPECT_EQ(CountChecked("abc\r\ndef").bandMode.mystr, "def");
    // Two terminators make one empty last line.
    EXPECT_EQ(CountChecked("abc\r\n\r\n").bandMode.mystr, "");
    EXPECT_EQ(CountChecked("abc\n\n").bandMode.mystr, "");
    EXPECT_EQ(CountChecked("abc\r\r").bandMode.mystr, "");
}

TEST(LineRule, EmptyFileHasNoLineAndCountsNothing) {
    Tallies t = CountChecked("");
    EXPECT_EQ(BandMode(t), Nonzero{});
    EXPECT_EQ(Continent(t), Nonzero{});
    EXPECT_EQ(Qsl(t), Nonzero{});
    EXPECT_EQ(t.bandMode.mystr, "");
    EXPECT_EQ(t.bandMode.Total, 0);
    for (std::size_t c = 0; c < kContinentCount; ++c)
        EXPECT_EQ(t.continent.*ContinentBandTally::kTotals[c], 0);
}

TEST(LineRule, LfOnlyLogIsCountedRecordByRecord) {
    loggen::Options o;
    o.contacts = 300;
    o.lineEnd = loggen::LineEnd::LF;
    o.oddShare = 0;
    o.splitShare = 0;
    o.doubleShare = 0;
    const Tallies t = CountChecked(loggen::Generate(o));
    EXPECT_EQ(t.bandMode.Total + t.bandMode.OthersTotal, 300);
    EXPECT_EQ(t.bandMode.OthersTotal, 0);
}

TEST(LastLine, MystrHoldsTheLastLineOfTheScan) {
    EXPECT_EQ(CountChecked("first\r\n<BAND:3>20M <MODE:2>CW <EOR>\r\n").bandMode.mystr,
              "<BAND:3>20M <MODE:2>CW <EOR>");
}

TEST(LastLine, MystrKeepsABoundedPrefixOfALongLastLine) {
    std::string longLine;
    for (int i = 0; longLine.size() < 3 * LogLineScanner::kLastLineLimit; ++i)
        longLine += "<CALL:5>K" + std::to_string(1000 + i) + " ";
    for (const char* end : {"", "\r\n", "\n"}) {
        const Tallies t = CountChecked("head\r\n" + longLine + end);
        EXPECT_EQ(t.bandMode.mystr, longLine.substr(0, LogLineScanner::kLastLineLimit));
    }
}

TEST(LastLine, AScanRewritesMystr) {
    testing::TempFile a("one\r\ntwo\r\n"), b("");
    BandModeTally t;
    LogLineScanner log;
    log.Open(a.path());
    t.Scan(log);
    log.Close();
    EXPECT_EQ(t.mystr, "two");
    log.Open(b.path());
    t.Scan(log);
    log.Close();
    EXPECT_EQ(t.mystr, "");
}

// ---- totals

TEST(Totals, IdentitiesHoldOnAGeneratedLog) {
    loggen::Options o;
    o.contacts = 3000;
    o.lineEnd = loggen::LineEnd::Mixed;
    o.oddShare = 0.2;
    const Tallies t = CountChecked(loggen::Generate(o));
    const BandModeTally& b = t.bandMode;
    ASSERT_GT(b.Total, 0);
    ASSERT_GT(b.OthersTotal, 0);
    EXPECT_EQ(b.Total, b.Ctotal + b.Rtotal + b.Stotal);
    std::int64_t byBand = 0, counters = 0;
    for (std::size_t band = 0; band < kBandCount; ++band) {
        byBand += b.*BandModeTally::kBandTotals[band];
        EXPECT_EQ(b.*BandModeTally::kBandTotals[band],
                  b.Counter(0, band) + b.Counter(1, band) + b.Counter(2, band));
    }
    for (std::size_t m = 0; m < kModeClassCount; ++m) {
        std::int64_t sum = 0;
        for (std::size_t band = 0; band < kBandCount; ++band) sum += b.Counter(m, band);
        EXPECT_EQ(b.*BandModeTally::kClassTotals[m], sum);
        counters += sum;
    }
    EXPECT_EQ(b.Total, byBand);
    EXPECT_EQ(b.Total, counters);  // OthersTotal is in no sum

    std::int64_t continentCells = 0;
    for (std::size_t c = 0; c < kContinentCount; ++c) {
        std::int64_t sum = 0;
        for (std::size_t band = 0; band < kBandCount; ++band) sum += t.continent.Counter(c, band);
        EXPECT_EQ(t.continent.*ContinentBandTally::kTotals[c], sum);
        continentCells += sum;
    }
    EXPECT_GT(continentCells, 0);
}

TEST(Totals, ContinentTotalReturnsAndStoresTheSum) {
    Tallies t = CountChecked(
        "<CONT:2>AF <BAND:3>20M\r\n<CONT:2>AF <BAND:4>160M\r\n"
        "<CONT:2>AF <BAND:3>60M\r\n<CONT:2>SA <BAND:2>6M\r\n");
    EXPECT_EQ(t.continent.AFtotal, 2);
    EXPECT_EQ(t.continent.SAtotal, 1);
    ContinentBandTally& c = t.continent;
    c.AF40 = 5;
    EXPECT_EQ(c.ContinentTotal(1), 7);
    EXPECT_EQ(c.AFtotal, 7);
    EXPECT_EQ(c.ContinentTotal(7), 1);
    EXPECT_THROW(c.ContinentTotal(0), std::out_of_range);
    EXPECT_THROW(c.ContinentTotal(8), std::out_of_range);
}

TEST(Totals, TheContinentScanLeavesTheTotalsAtZero) {
    testing::TempFile log("<CONT:2>EU <BAND:3>20M\r\n");
    ContinentBandTally c;
    c.EUtotal = 99;
    c.AF6 = 3;
    ASSERT_TRUE(c.ScanContinentBands(log.path()));
    EXPECT_EQ(c.EUtotal, 0);
    EXPECT_EQ(c.AF6, 0);
    EXPECT_EQ(c.EU20, 1);
}

TEST(Totals, ClearCountersKeepsBandTotalsAndMystr) {
    Tallies t = CountChecked("<BAND:3>20M <MODE:2>CW\r\n<BAND:3>60M\r\n");
    BandModeTally& b = t.bandMode;
    ASSERT_EQ(b.Total20, 1);
    b.ClearCounters();
    EXPECT_EQ(b.C20, 0);
    EXPECT_EQ(b.Ctotal, 0);
    EXPECT_EQ(b.Total, 0);
    EXPECT_EQ(b.OthersTotal, 0);
    EXPECT_EQ(b.Total20, 1);
    EXPECT_EQ(b.mystr, "<BAND:3>60M");
}

TEST(Totals, TheBandModeScanAddsToTheCountersUntilCleared) {
    testing::TempFile log("<BAND:3>20M <MODE:2>CW\r\n");
    BandModeTally t;
    for (int i = 0; i < 2; ++i) {
        LogLineScanner scanner;
        scanner.Open(log.path());
        t.Scan(scanner);
    }
    EXPECT_EQ(t.C20, 2);
    t.ClearCounters();
    LogLineScanner scanner;
    scanner.Open(log.path());
    t.Scan(scanner);
    EXPECT_EQ(t.C20, 1);
}

TEST(Totals, RepeatedCountsOfOneLogAgree) {
    loggen::Options o;
    o.contacts = 500;
    testing::TempFile log(loggen::Generate(o));
    const Tallies a = testing::CountFile(log.path());
    const Tallies b = testing::CountFile(log.path());
    EXPECT_TRUE(testing::SameAsReference(b, reference::CountFile(log.path())));
    for (std::size_t c = 0; c < kContinentCount; ++c)
        for (std::size_t band = 0; band < kBandCount; ++band)
            EXPECT_EQ(a.continent.Counter(c, band), b.continent.Counter(c, band));
    for (std::size_t f = 0; f < kQslFieldCount; ++f) EXPECT_EQ(a.qsl.Counter(f), b.qsl.Counter(f));
}

// ---- the percentage text

TEST(PercentText, TheTableOfExamples) {
    EXPECT_EQ(FormatRcvdSent(1, 2), "50.%");
    EXPECT_EQ(FormatRcvdSent(2, 3), "66.7%");
    EXPECT_EQ(FormatRcvdSent(1, 8), "12.5%");
    EXPECT_EQ(FormatRcvdSent(3, 3), "100.%");
    EXPECT_EQ(FormatRcvdSent(3, 2), "150.%");
    EXPECT_EQ(FormatRcvdSent(1, 1000), ".1%");
    EXPECT_EQ(FormatRcvdSent(0, 5), ".%");
    EXPECT_EQ(FormatRcvdSent(7, 0), "-");
    EXPECT_EQ(FormatRcvdSent(0, 0), "-");
}

TEST(PercentText, AnExactHalfRoundsAwayFromZero) {
    EXPECT_EQ(FormatRcvdSent(1, 16), "6.3%");        // 6.25
    EXPECT_EQ(FormatRcvdSent(1, 2000), ".1%");       // 0.05
    EXPECT_EQ(FormatRcvdSent(1, 1600), ".1%");       // 0.0625
    EXPECT_EQ(FormatRcvdSent(1999, 2000), "100.%");  // 99.95
    EXPECT_EQ(FormatRcvdSent(3, 1600), ".2%");       // 0.1875
    EXPECT_EQ(FormatRcvdSent(1, 2001), ".%");        // just below 0.05
    EXPECT_EQ(FormatRcvdSent(19, 16), "118.8%");     // 118.75
}

TEST(PercentText, ExtremeCounts) {
    EXPECT_EQ(FormatRcvdSent(INT32_MAX, 1), "214748364700.%");
    EXPECT_EQ(FormatRcvdSent(1, INT32_MAX), ".%");
    EXPECT_EQ(FormatRcvdSent(INT32_MAX, INT32_MAX), "100.%");
    EXPECT_EQ(FormatRcvdSent(INT32_MAX - 1, INT32_MAX), "100.%");
}

TEST(PercentText, AgreesWithTheReferenceOnAGridOfCounts) {
    for (std::int32_t sent = 0; sent <= 120; ++sent)
        for (std::int32_t rcvd = 0; rcvd <= 260; ++rcvd)
            ASSERT_EQ(FormatRcvdSent(rcvd, sent), reference::PercentText(rcvd, sent))
                << rcvd << "/" << sent;
    std::uint64_t x = 12345;
    for (int i = 0; i < 20000; ++i) {
        x = x * 6364136223846793005ULL + 1442695040888963407ULL;
        const auto sent = static_cast<std::int32_t>((x >> 33) % INT32_MAX) + 1;
        const auto rcvd = static_cast<std::int32_t>((x >> 1) % INT32_MAX);
        ASSERT_EQ(FormatRcvdSent(rcvd, sent), reference::PercentText(rcvd, sent))
            << rcvd << "/" << sent;
    }
}

TEST(PercentText, EachChannelDividesItsOwnCounts) {
    // QSL 1 of 2, LoTW 2 of 3, eQSL nothing sent but something received.
    const Tallies t = CountChecked(
        "<QSL_SENT:1>Y <QSL_RCVD:1>Y <LOTW_QSL_SENT:1>Y <LOTW_QSL_RCVD:1>Y <eQSL_QSL_RCVD:1>Y\r\n"
        "<QSL_SENT:1>Y <LOTW_QSL_SENT:1>Y <LOTW_QSL_RCVD:1>Y\r\n<LOTW_QSL_SENT:1>Y\r\n");
    EXPECT_EQ(t.qsl.PercentText(0), "50.%");
    EXPECT_EQ(t.qsl.PercentText(1), "66.7%");
    EXPECT_EQ(t.qsl.PercentText(2), "-");
}

}  // namespace
}  // namespace quorvane
