// The tallies by the exact rules: the counting rules one row each, the line rule, the "##.#%"
// text, the fast scanner against the reference on byte soups read in tiny blocks, the single log
// handle and the yield, overflow, and files picked by mistake.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fstream>
#include <memory>
#include <random>

#include "loggen.h"
#include "quorvane/errors.h"
#include "tally_support.h"

namespace quorvane {
namespace {

using namespace std::string_literals;
using namespace testing;

// ---- the rules: a line, and the counters it raises (checked against the reference too)

struct RuleRow {
    const char* name;
    const char* text;
    const char* counted;
};

const RuleRow kRuleRows[] = {
    {"CwWithModeAfterBand", "<CALL:4>K1AB <BAND:3>20M <MODE:2>CW <CONT:2>EU <EOR>", "C20 EU20"},
    {"RttyWithModeBeforeBand", "<MODE:4>RTTY <BAND:2>6M", "R6"},
    {"Psk63", "<BAND:3>12M <MODE:5>PSK63 <CONT:2>AF", "R12 AF12"},
    {"Psk31", "<BAND:3>17M <MODE:5>PSK31 <CONT:2>AN", "R17 AN17"},
    {"Ssb", "<BAND:4>160M <MODE:3>SSB <CONT:2>AS", "S160 AS160"},
    {"Fm", "<BAND:3>30M <MODE:2>FM <CONT:2>OC", "S30 OC30"},
    {"Am", "<BAND:3>80M <MODE:2>AM <CONT:2>SA", "S80 SA80"},
    {"CwBeforeDigitalBeforePhone", "<BAND:3>10M <MODE:4>RTTY <MODE:3>SSB <BAND:3>80M <MODE:2>CW",
     "C10"},
    {"DigitalBeforePhone", "<BAND:3>12M <MODE:2>FM <BAND:3>17M <MODE:5>PSK31", "R12"},
    {"LowerBandFirst", "<BAND:4>160M <BAND:2>6M <MODE:2>AM", "S6"},
    {"ContinentOrderThenBandOrder", "<CONT:2>NA <CONT:2>EU <BAND:3>40M <BAND:3>20M <MODE:3>FT8",
     "OthersTotal EU20"},
    {"ContinentIgnoresTheMode", "<CONT:2>SA <BAND:4>160M <CONT:2>AN <BAND:3>10M",
     "OthersTotal AN10"},
    {"UnlistedBandIsOthers", "<CONT:2>NA <BAND:3>60M <MODE:2>CW", "OthersTotal"},
    {"BareBandTagIsOthers", "<BAND:", "OthersTotal"},
    {"NoBandTagNoCount", "<MODE:2>CW <CONT:2>EU BAND:3>20M", ""},
    {"LowerCaseTagsAreNotTags",
     "<band:3>20m <mode:2>cw <cont:2>EU <qsl_sent:1>Y <QSL_SENT:1>y <EQSL_QSL_SENT:1>Y", ""},
    {"LowerCaseValuesAreNotValues", "<BAND:3>20M <MODE:2>cw <CONT:2>eu", "OthersTotal"},
    {"TagsWithinText", "x<BAND:3>20MX<MODE:2>CWR<CONT:2>NAX<EOR>", "C20 NA20"},
    {"TypedBandIsAnotherTag", "<BAND:3:E>20M <MODE:2>CW <CONT:2>EU", "OthersTotal"},
    {"TypedModeContinentQslAreOtherTags", "<BAND:3>20M <MODE:2:E>CW <CONT:2:E>EU <QSL_SENT:1:S>Y",
     "OthersTotal"},
    {"QslFieldCountsOncePerLine", "<QSL_SENT:1>Y <QSL_SENT:1>Y <QSL_RCVD:1>N", "QslSent"},
    {"EachQslField",
     "<QSL_SENT:1>Y <QSL_RCVD:1>Y <LOTW_QSL_SENT:1>Y <LOTW_QSL_RCVD:1>Y <eQSL_QSL_SENT:1>Y "
     "<eQSL_QSL_RCVD:1>Y\n<eQSL_QSL_SENT:1>Y",
     "QslSent QslRcvd LotwSent LotwRcvd EqslSent*2 EqslRcvd"},
    {"QslLengthDigitMatters", "<QSL_RCVD:2>Y ", ""},
    {"TagsOnTwoLinesDoNotPair", "<BAND:3>20M\r\n<MODE:2>CW <CONT:2>EU <EOR>\r\n", "OthersTotal"},
    {"TagCutByALineEndIsNoTag", "<BAND:3>2\r\n0M <MODE:2>CW\r\n<BAND:3>20M <MODE:2>C\nW",
     "OthersTotal*2"},
    {"CrLfAndCrLfEndLines",
     "<BAND:3>20M <MODE:2>CW\r<BAND:3>40M <MODE:2>CW\n<BAND:3>80M <MODE:2>CW\r\n<BAND:3>10M "
     "<MODE:2>CW",
     "C10 C20 C40 C80"},
    {"EmptyLog", "", ""},
};

// A wrong tag literal, precedence order, line rule or Others rule.
TEST(Rules, EachLineCountsItsRowsCounters) {
    for (const RuleRow& row : kRuleRows) {
        SCOPED_TRACE(row.name);  // names the row in the reference check too
        EXPECT_EQ(Nonzero(CountChecked(row.text)), row.counted);
    }
}

// ---- "##.#%"

// Rounding, the dropped leading zero and zero decimal, or the "-" for nothing sent.
TEST(PercentText, RendersReceivedOverSent) {
    const struct {
        const char* name;
        std::int32_t received;
        std::int32_t sent;
        const char* text;
    } rows[] = {
        {"Half", 1, 2, "50.%"},
        {"TwoThirds", 2, 3, "66.7%"},
        {"NoLeadingZero", 1, 1000, ".1%"},
        {"NoneReceived", 0, 5, ".%"},
        {"NoneSent", 7, 0, "-"},
        {"HalfUpOf6_25", 1, 16, "6.3%"},
        {"HalfUpOf118_75", 19, 16, "118.8%"},
        {"BelowAHalfTenth", 1, 2001, ".%"},
        {"RoundsUpToAll", 1999, 2000, "100.%"},
        {"Largest", 2147483647, 1, "214748364700.%"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(FormatRcvdSent(row.received, row.sent), row.text) << row.name;
}

// ---- the fast scanner against the reference

// A tag or CRLF cut by a block end that is lost, doubled or misread.
TEST(Differential, ByteSoupsReadInTinyBlocksCountAsTheReference) {
    std::vector<std::string> parts = {"\r", "\n", "\r\n", "<", " ", "<BAND:", "<BAND:3>60M", "\0"s};
    for (const char* l : {"<BAND:2>6M", "<BAND:3>20M", "<BAND:4>160M", "<MODE:2>CW",
                          "<MODE:5>PSK31", "<MODE:2>AM", "<CONT:2>AF", "<CONT:2>EU", "<CONT:2>SA",
                          "<QSL_SENT:1>Y", "<LOTW_QSL_RCVD:1>Y", "<eQSL_QSL_RCVD:1>Y"}) {
        const std::string s = l;
        parts.insert(parts.end(), {s, s, s.substr(0, s.size() / 2), s.substr(0, s.size() - 1)});
    }
    std::mt19937_64 rng(3);
    for (int i = 0; i < 300; ++i) {
        std::string text;
        for (std::size_t size = rng() % 2000; text.size() < size;) {
            const std::uint64_t r = rng();
            text += r % 8 == 0 ? std::string(1, static_cast<char>(r >> 8))
                               : parts[(r >> 8) % parts.size()];
        }
        SCOPED_TRACE("soup " + std::to_string(i));
        CountChecked(text, 1 + rng() % 40);
    }
}

// ---- the single log handle and the yield

class LogHandle : public ::testing::Test {
  protected:
    const std::string text_ = loggen::Generate({.contacts = 4 * LogLineScanner::kBlockSize / 250});
    TempFile file_{text_};
};

// A second scan that starts while a yielding one holds the log.
// Every tally opens the log through the one handle.
TEST_F(LogHandle, IsRefusedWhileAScanHoldsIt) {
    LogLineScanner log;
    log.Open(file_.path);
    EXPECT_THROW(CountFile(file_.path), LogBusyError);
}

// A yield per line (slow) or none at all (the windows freeze).
TEST_F(LogHandle, TheScanYieldsOncePerBlock) {
    BandModeTally t;
    LogLineScanner log;
    log.Open(file_.path);
    int yields = 0;
    t.Scan(log, [&] { return ++yields > 0; });
    EXPECT_EQ(yields, static_cast<int>(text_.size() / LogLineScanner::kBlockSize + 1));
}

// A continent window that shows the old counts under the busy notice.
TEST_F(LogHandle, TheContinentScanZeroesItsFieldsBeforeTellingTheCaller) {
    ContinentBandTally c;
    c.EU20 = 5;
    c.SAtotal = 7;
    std::int32_t eu20AtNotice = -1;
    std::int32_t saTotalAtNotice = -1;
    c.ScanContinentBands(file_.path, {.opened = [&] {
                             eu20AtNotice = c.EU20;
                             saTotalAtNotice = c.SAtotal;
                         }});
    EXPECT_EQ(eu20AtNotice, 0);
    EXPECT_EQ(saTotalAtNotice, 0);
}

// A stopped scan that goes on reading, or that keeps the log open or never says so.
TEST_F(LogHandle, AYieldThatSaysStopEndsTheScanAndClosesTheLog) {
    int yields = 0;
    int closed = 0;
    const bool completed = ContinentBandTally().ScanContinentBands(
        file_.path, {.yield = [&] { return ++yields < 2; }, .closed = [&] { ++closed; }});
    EXPECT_FALSE(completed);
    EXPECT_EQ(yields, 2);
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(LogLineScanner::HandleHeld());
}

// ---- overflow: an error naming the counter, never a wrap

const std::string kTwice = "<BAND:3>20M <MODE:2>CW <EOR>\r\n<BAND:3>60M <EOR>\r\n";
const std::string kOverflowLog = kTwice + kTwice + "<CONT:2>EU <BAND:3>20M <eQSL_QSL_RCVD:1>Y\r\n";

// The counter that an overflow error names, or "" when `count` raised none.
std::string Overflowed(const std::function<void()>& count) {
    try {
        count();
    } catch (const CounterOverflow& e) {
        return e.counter();
    }
    return "";
}

struct ScanOverflowRow {
    const char* name;  // the counter that overflows
    std::function<void(LogCounts& counts, const std::string& path)> scan;
};

// Sets a band/mode counter one below the limit, then counts the log by `rules`.
auto BandModeScan(std::int32_t BandModeTally::*counter, const CountingRules& rules) {
    return [counter, &rules](LogCounts& counts, const std::string& path) {
        BandModeTally& t = counts.bandMode.emplace();
        t.*counter = INT32_MAX - 1;
        LogLineScanner log;
        log.Open(path);
        rules.ScanBandMode(t, log, {});
    };
}

class ScanOverflow : public ::testing::TestWithParam<ScanOverflowRow> {
  protected:
    std::string Count() {
        return Overflowed([this] { GetParam().scan(counts_, file_.path); });
    }
    const TempFile file_{kOverflowLog};
    LogCounts counts_;
};

// A wrap-around to a negative count, or an error that names another counter.
TEST_P(ScanOverflow, RaisesAnErrorNamingTheCounter) { EXPECT_EQ(Count(), GetParam().name); }

// A counter that wraps or goes on past the limit before the error.
TEST_P(ScanOverflow, TheCounterKeepsTheLimit) {
    Count();
    EXPECT_NE(Nonzero(counts_).find(GetParam().name + "*2147483647"s), std::string::npos)
        << Nonzero(counts_);
}

INSTANTIATE_TEST_SUITE_P(
    Counters, ScanOverflow,
    ::testing::Values(
        ScanOverflowRow{"C20", BandModeScan(&BandModeTally::C20, ExactRules())},
        ScanOverflowRow{"OthersTotal", BandModeScan(&BandModeTally::OthersTotal, ExactRules())},
        ScanOverflowRow{"C20", BandModeScan(&BandModeTally::C20, AdifFieldRules())},
        ScanOverflowRow{"OthersTotal", BandModeScan(&BandModeTally::OthersTotal, AdifFieldRules())},
        // The continent and QSL tallies clear their counters first, so their hooks set them.
        ScanOverflowRow{"EU20",
                        [](LogCounts& counts, const std::string& path) {
                            ContinentBandTally& t = counts.continent.emplace();
                            t.ScanContinentBands(
                                path, {.yield = [&t] { return (t.EU20 = INT32_MAX) != 0; },
                                       .blockSize = 4});
                        }},
        ScanOverflowRow{"EqslRcvd",
                        [](LogCounts& counts, const std::string& path) {
                            QslTally& t = counts.qsl.emplace();
                            t.Count(path, {.opened = [&t] { t.EqslRcvd = INT32_MAX; }});
                        }}),
    [](const ::testing::TestParamInfo<ScanOverflowRow>& info) {
        return info.param.name + std::to_string(info.index);
    });

// A sum that wraps, or an error that names another sum: two counters whose sum is one past the
// limit.
TEST(Overflow, ASumRaisesAnErrorNamingTheSum) {
    const struct {
        const char* name;
        std::int32_t BandModeTally::*big;
        std::int32_t BandModeTally::*one;
    } rows[] = {{"Ctotal", &BandModeTally::C6, &BandModeTally::C160},
                {"Total40", &BandModeTally::R40, &BandModeTally::S40},
                {"Total", &BandModeTally::C6, &BandModeTally::R10}};
    for (const auto& row : rows) {
        BandModeTally t;
        t.*row.big = INT32_MAX;
        t.*row.one = 1;
        EXPECT_EQ(Overflowed([&t] { t.FormTotals(); }), row.name);
    }
}

TEST(Overflow, AContinentTotalRaisesAnErrorNamingIt) {
    ContinentBandTally t;
    t.AF20 = INT32_MAX;
    t.AF160 = 1;
    EXPECT_EQ(Overflowed([&t] { t.ContinentTotal(1); }), "AFtotal");
}

// An overflow check that is off by one.
TEST(Overflow, ASumThatReachesTheLimitIsFine) {
    BandModeTally t;
    t.C6 = INT32_MAX - 1;
    t.R6 = 1;
    t.FormTotals();
    EXPECT_EQ(t.Total, INT32_MAX);
}

// ---- files picked by mistake: refused with the file and the system's reason, never a hang

struct RefusedRow {
    const char* name;
    std::function<std::string(const std::string& dir)> path;  // made in a fresh folder
    const char* error;                                        // after "cannot ... '<path>': "
    const char* verb;
};

class Refused : public ::testing::TestWithParam<RefusedRow> {
  protected:
    void SetUp() override {
#ifdef __EMSCRIPTEN__
        if (GetParam().name == "Fifo"s) GTEST_SKIP() << "Node's file system has no FIFOs";
#endif
        path_ = GetParam().path(dir_.dir);
        std::signal(SIGALRM, [](int) { std::_Exit(124); });  // a hang ends the test program
        ::alarm(20);
    }
    void TearDown() override { ::alarm(0); }

    // What opening the log by `tally` raised; "" when it was accepted.
    std::string Error(const std::function<void()>& tally) {
        try {
            tally();
        } catch (const LogError& e) {
            EXPECT_EQ(e.path(), path_);
            return e.what();
        }
        return "";
    }
    std::string Expected() const {
        return GetParam().verb + " '"s + path_ + "': " + GetParam().error;
    }

    TempFile dir_;
    std::string path_;
};

// A file that is read as an empty log, or a hang on a pipe or a device. Every tally opens the
// log the same way.
TEST_P(Refused, WithTheFileAndTheSystemsReason) {
    EXPECT_EQ(Error([&] { CountFile(path_); }), Expected());
}

INSTANTIATE_TEST_SUITE_P(
    Files, Refused,
    ::testing::Values(RefusedRow{"Missing", [](const std::string& dir) { return dir + "/x.adi"; },
                                 "No such file or directory", "cannot open"},
                      RefusedRow{"Folder", [](const std::string& dir) { return dir; },
                                 "Is a directory", "cannot open"},
                      RefusedRow{"Fifo",
                                 [](const std::string& dir) {
                                     const std::string fifo = dir + "/fifo";
                                     EXPECT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
                                     return fifo;
                                 },
                                 "not a regular file", "cannot open"},
                      RefusedRow{"Device", [](const std::string&) { return "/dev/zero"s; },
                                 "not a regular file", "cannot open"},
                      RefusedRow{"ReadError", [](const std::string&) { return "/proc/self/mem"s; },
                                 std::strerror(EIO), "cannot read"}),
    RowName());

// An overflow reported in other words than the windows', or a name that breaks the line.
TEST(ErrorSentence, NamesTheCounterAndKeepsTheNameOnOneLine) {
    EXPECT_EQ(ErrorSentence(CounterOverflow("EU20"), "/x/a\nb\x1b[2J.adi"),
              R"(Cannot count "/x/a\nb\x1b[2J.adi": the count EU20 would pass 2,147,483,647.)");
}

// A line buffer that drops tags beyond a size, or grows without bound.
TEST(LongLines, TagsAtTheStartMiddleAndEndOfLinesOfSeveralMiBCount) {
    const std::string pad(4 << 20, 'q');
    EXPECT_EQ(Nonzero(CountChecked("<BAND:3>20M" + pad + "<MODE:2>CW\r\n" + pad +
                                   "<BAND:3>30M <CONT:2>AN" + pad +
                                   "<MODE:4>RTTY\n<QSL_SENT:1>Y <BAND:2>6M <MODE:2>AM" + pad)),
              "C20 R30 S6 AN30 QslSent");
}

// ---- the tag matcher

// A copy or a moved matcher that points into its original's memory (AddressSanitizer tells).
TEST(TagMatcher, ACopyStandsOnItsOwnOnceTheOriginalIsGone) {
    auto original = std::make_unique<TagMatcher>(
        std::vector<TagLiteral>{{"<BAND:3>20M", 1}, {"<BAND:3>40M", 2}, {"<MODE:2>CW", 4}});
    const TagMatcher copied(*original);
    std::vector<TagMatcher> grown;
    for (int i = 0; i < 5; ++i) grown.push_back(copied);  // copies, then moves as it grows
    original.reset();
    const TagMatcher& moved = grown[0];
    const auto at = [](std::string text) { return text.append(TagMatcher::kMaxLiteral, '\0'); };
    EXPECT_EQ(moved.MatchAt(at("<BAND:3>40M").data()), 2u);
    EXPECT_EQ(moved.MatchAt(at("<MODE:2>CW").data()), 4u);
    EXPECT_EQ(moved.MatchAt(at("<BAND:3>60M").data()), 0u);
}

}  // namespace
}  // namespace quorvane
