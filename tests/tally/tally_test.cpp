// The tallies: the counting rules one row each, the line rule, the "##.#%" text, the fast
// scanner against the reference on byte soups read in tiny blocks, the single log handle and
// the yield, overflow, hostile inputs, and what the core keeps between and around scans.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>

#include "loggen.h"
#include "quorvane/errors.h"
#include "tally_support.h"

namespace quorvane {
namespace {

using namespace std::string_literals;
using namespace testing;

TEST(Rules, EachRowCountsItsCounters) {
    const std::pair<const char*, const char*> rows[] = {
        // Each class's modes; the mode may stand before the band.
        {"<CALL:4>K1AB <BAND:3>20M <MODE:2>CW <CONT:2>EU <EOR>", "C20 EU20"},
        {"<MODE:4>RTTY <BAND:2>6M", "R6"},
        {"<BAND:3>12M <MODE:5>PSK63 <CONT:2>AF", "R12 AF12"},
        {"<BAND:3>17M <MODE:5>PSK31 <CONT:2>AN", "R17 AN17"},
        {"<BAND:4>160M <MODE:3>SSB <CONT:2>AS", "S160 AS160"},
        {"<BAND:3>30M <MODE:2>FM <CONT:2>OC", "S30 OC30"},
        {"<BAND:3>80M <MODE:2>AM <CONT:2>SA", "S80 SA80"},
        // Class before band, then band order; several contacts on a line count once.
        {"<BAND:3>10M <MODE:4>RTTY <MODE:3>SSB <BAND:3>80M <MODE:2>CW", "C10"},
        {"<BAND:3>12M <MODE:2>FM <BAND:3>17M <MODE:5>PSK31", "R12"},
        {"<BAND:4>160M <BAND:2>6M <MODE:2>AM", "S6"},
        // Continent order, then band order; the mode plays no part.
        {"<CONT:2>NA <CONT:2>EU <BAND:3>40M <BAND:3>20M <MODE:3>FT8", "OthersTotal EU20"},
        {"<CONT:2>SA <BAND:4>160M <CONT:2>AN <BAND:3>10M <MODE:2>CW", "C10 AN10"},
        // Others: a band tag without a listed band and mode; no band tag, nothing.
        {"<CONT:2>NA <BAND:3>60M <MODE:2>CW", "OthersTotal"},
        {"<BAND:", "OthersTotal"},
        {"<MODE:2>CW <CONT:2>EU BAND:3>20M", ""},
        // Exact, case-sensitive literals; a data-type indicator makes another tag.
        {"<band:3>20m <mode:2>cw <cont:2>EU <qsl_sent:1>Y <QSL_SENT:1>y <EQSL_QSL_SENT:1>Y", ""},
        {"<BAND:3>20M <MODE:2>cw <CONT:2>eu", "OthersTotal"},
        {"x<BAND:3>20MX<MODE:2>CWR<CONT:2>NAX<EOR>", "C20 NA20"},
        {"<BAND:3:E>20M <MODE:2>CW <CONT:2>EU", "OthersTotal"},
        {"<BAND:3>20M <MODE:2:E>CW <CONT:2:E>EU <QSL_SENT:1:S>Y", "OthersTotal"},
        // QSL fields count on their own, once per line.
        {"<QSL_SENT:1>Y <QSL_SENT:1>Y <QSL_RCVD:1>N <QSL_RCVD:2>Y ", "QslSent"},
        {"<QSL_SENT:1>Y <QSL_RCVD:1>Y <LOTW_QSL_SENT:1>Y <LOTW_QSL_RCVD:1>Y <eQSL_QSL_SENT:1>Y "
         "<eQSL_QSL_RCVD:1>Y\n<BAND:3>20M <MODE:2>CW <eQSL_QSL_SENT:1>Y",
         "C20 QslSent QslRcvd LotwSent LotwRcvd EqslSent*2 EqslRcvd"},
        // Tags split over lines match on neither line. CR, LF and CRLF end a line; the last
        // line needs no terminator.
        {"<BAND:3>20M\r\n<MODE:2>CW <CONT:2>EU <EOR>\r\n", "OthersTotal"},
        {"<BAND:3>2\r\n0M <MODE:2>CW\r\n<BAND:3>20M <MODE:2>C\nW\r\n", "OthersTotal*2"},
        {"<BAND:3>20M <MODE:2>CW\r<BAND:3>40M <MODE:2>CW\n<BAND:3>80M <MODE:2>CW\r\n"
         "<BAND:3>10M <MODE:2>CW",
         "C10 C20 C40 C80"},
        {"", ""},
    };
    for (const auto& [text, counted] : rows)
        EXPECT_EQ(Nonzero(CountChecked(text)), counted) << text;
    // mystr keeps the last line: no extra empty line for a final terminator.
    const std::pair<const char*, const char*> lastLines[] = {
        {"abc", "abc"},      {"abc\r\n", "abc"},  {"abc\r", "abc"}, {"abc\n", "abc"},
        {"x\rabc\n", "abc"}, {"abc\r\n\r\n", ""}, {"abc\n\r", ""},  {"abc\r\r", ""}};
    for (const auto& [text, last] : lastLines) EXPECT_EQ(CountChecked(text).bandMode.mystr, last);
}

TEST(PercentText, TheTableOfExamplesAndHalvesAwayFromZero) {
    std::istringstream rows(  // received sent text
        "1 2 50.% 2 3 66.7% 1 8 12.5% 3 3 100.% 3 2 150.% 1 1000 .1% 0 5 .% 7 0 - 1 16 6.3% "
        "19 16 118.8% 1 2001 .% 1999 2000 100.% 2147483647 1 214748364700.% "
        "2147483646 2147483647 100.%");
    std::int32_t rcvd, sent;
    for (std::string text; rows >> rcvd >> sent >> text;)
        EXPECT_EQ(FormatRcvdSent(rcvd, sent), text) << rcvd << "/" << sent;
}

// Literals, their prefixes and near misses, line ends, random bytes, read 1 to 40 bytes at a
// time, so that every tag and every CRLF is cut by a block end.
TEST(Differential, ByteSoupsReadInTinyBlocks) {
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
        CountChecked(text, 1 + rng() % 40);
    }
}

// What the windows rely on: a scan run while another yields is refused, the handle is
// released however a scan ends, the yield comes once per block and can stop a scan, and the
// QSL tally never yields. A log that grows while it is read is read to its new end.
TEST(LogHandle, OneScanAtATimeReleasedAfterEveryEndingAndYieldOncePerBlock) {
    const std::string text = loggen::Generate({.contacts = 4 * LogLineScanner::kBlockSize / 250});
    const std::string added = loggen::Generate({.contacts = 300, .seed = 2});
    TempFile file(text);
    BandModeTally t;
    LogLineScanner log;
    log.Open(file.path);
    int yields = 0;
    EXPECT_TRUE(t.Scan(log, [&] {
        EXPECT_THROW(LogLineScanner().Open(file.path), LogBusyError);
        EXPECT_THROW(ContinentBandTally().ScanContinentBands(file.path), LogBusyError);
        EXPECT_THROW(QslTally().Count(file.path), LogBusyError);
        if (yields == 0) std::ofstream(file.path, std::ios::app) << added;
        return ++yields > 0;
    }));
    EXPECT_EQ(yields, (text.size() + added.size()) / LogLineScanner::kBlockSize + 1);
    log.Close();
    EXPECT_EQ(Nonzero({t, {}, {}}), Nonzero({CountChecked(text + added).bandMode, {}, {}}));
    EXPECT_FALSE(LogLineScanner::HandleHeld());
    const std::string last = t.mystr;  // an empty log reads no line and so leaves it
    log.Open(TempFile().path);
    t.Scan(log);
    EXPECT_EQ(t.mystr, last);
    log.Close();
    // The continent scan opens the log and zeroes its fields before it puts up the notice.
    yields = 0;
    int closed = 0;
    bool clearedAtNotice = false;
    ContinentBandTally c;
    c.EU20 = 5, c.SAtotal = 7;
    EXPECT_FALSE(c.ScanContinentBands(
        file.path,
        {[&] { clearedAtNotice = !c.EU20 && !c.SAtotal && LogLineScanner::HandleHeld(); },
         [&] { return ++yields < 2; }, [&] { ++closed; }}));
    EXPECT_EQ(std::tuple(yields + closed, clearedAtNotice), std::tuple(3, true));
    QslTally().Count(file.path, {{}, [&] { return ++yields > 0; }, {}});
    EXPECT_EQ(yields, 2);  // not one more
    EXPECT_FALSE(LogLineScanner::HandleHeld());
}

// An increase or a sum past 2,147,483,647 raises an error naming the counter, never a wrap; a
// counter keeps its value, and reaching the limit is fine. The continent and QSL tallies clear
// their counters first, so their hooks set them.
TEST(Overflow, EachCounterAndSumRaisesNamingItself) {
    const std::string twice = "<BAND:3>20M <MODE:2>CW <EOR>\r\n<BAND:3>60M <EOR>\r\n";
    TempFile file(twice + twice + "<CONT:2>EU <BAND:3>20M <eQSL_QSL_RCVD:1>Y\r\n");
    const auto scan = [&](std::int32_t BandModeTally::*counter, const CountingRules& rules) {
        return [&file, counter, &rules](testing::Tallies& t) {
            t.bandMode.*counter = INT32_MAX - 1;
            LogLineScanner log;
            log.Open(file.path);
            rules.ScanBandMode(t.bandMode, log, {});
        };
    };
    const std::pair<const char*, std::function<void(testing::Tallies&)>> rows[] = {
        {"C20", scan(&BandModeTally::C20, ExactRules())},
        {"OthersTotal", scan(&BandModeTally::OthersTotal, ExactRules())},
        {"C20", scan(&BandModeTally::C20, AdifFieldRules())},
        {"OthersTotal", scan(&BandModeTally::OthersTotal, AdifFieldRules())},
        {"EU20",
         [&](auto& t) {
             t.continent.ScanContinentBands(
                 file.path, {{}, [&] { return (t.continent.EU20 = INT32_MAX) != 0; }, {}, 4});
         }},
        {"EqslRcvd",
         [&](auto& t) {
             t.qsl.Count(file.path, {[&] { t.qsl.EqslRcvd = INT32_MAX; }, {}, {}});
         }},
        {"Ctotal",
         [](auto& t) { t.bandMode.C6 = INT32_MAX, t.bandMode.C160 = 1, t.bandMode.FormTotals(); }},
        {"Total40",
         [](auto& t) { t.bandMode.R40 = INT32_MAX, t.bandMode.S40 = 1, t.bandMode.FormTotals(); }},
        {"Total",
         [](auto& t) { t.bandMode.C6 = INT32_MAX, t.bandMode.R10 = 1, t.bandMode.FormTotals(); }},
        {"AFtotal",
         [](auto& t) {
             t.continent.AF20 = INT32_MAX, t.continent.AF160 = 1, t.continent.ContinentTotal(1);
         }},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        testing::Tallies t;
        try {
            rows[i].second(t);
            ADD_FAILURE() << rows[i].first << " passed the limit";
        } catch (const CounterOverflow& e) {
            EXPECT_EQ(e.counter(), rows[i].first);
        }
        EXPECT_FALSE(LogLineScanner::HandleHeld());
        EXPECT_TRUE(i >= 6 || Nonzero(t).find(rows[i].first + "*2147483647"s) != std::string::npos);
    }
    BandModeTally t;  // reaching the limit is fine
    t.C6 = INT32_MAX - 1, t.R6 = 1, t.FormTotals();
    EXPECT_EQ(t.Total, INT32_MAX);
}

// Files picked by mistake are refused with the file and the system's reason, whichever tally
// opens them, and never hang; odd content gives the right counts.
TEST(BadInput, EachGivesTheRightCountsOrAClearErrorAndFreesTheHandle) {
#ifdef __EMSCRIPTEN__
    GTEST_SKIP() << "Node's file system has no FIFOs, devices or /proc";
#endif
    const TempFile dir;
    const std::string fifo = dir.dir + "/fifo", pad(4 << 20, 'q');
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::pair<std::string, std::string> refused[] = {
        {dir.dir + "/x.adi", "cannot open '" + dir.dir + "/x.adi': No such file or directory"},
        {dir.dir, "cannot open '" + dir.dir + "': Is a directory"},
        {fifo, "cannot open '" + fifo + "': not a regular file"},
        {"/dev/zero", "cannot open '/dev/zero': not a regular file"},
        {"/proc/self/mem", "cannot read '/proc/self/mem': Input/output error"},  // a read error
    };
    std::signal(SIGALRM, [](int) { std::_Exit(124); });  // a hang ends the test program
    ::alarm(20);
    for (const auto& [path, error] : refused) {
        for (const std::function<void()>& tally : std::initializer_list<std::function<void()>>{
                 [&path = path] { testing::CountFile(path); },
                 [&path = path] { ContinentBandTally().ScanContinentBands(path); },
                 [&path = path] { QslTally().Count(path); }}) {
            try {
                tally();
                ADD_FAILURE() << path << " was accepted";
            } catch (const LogError& e) {
                EXPECT_EQ(e.what(), error);
                EXPECT_EQ(e.path(), path);
            }
            EXPECT_FALSE(LogLineScanner::HandleHeld());
        }
    }
    ::alarm(0);
    // Lines of several MiB with tags at their start, middle and end; mystr keeps 4,096 bytes.
    EXPECT_EQ(Nonzero(CountChecked("<BAND:3>20M" + pad + "<MODE:2>CW\r\n" + pad +
                                   "<BAND:3>30M <CONT:2>AN" + pad +
                                   "<MODE:4>RTTY\n<QSL_SENT:1>Y <BAND:2>6M <MODE:2>AM" + pad)),
              "C20 R30 S6 AN30 QslSent");
}

// A copy used after its original is gone reads none of its memory (AddressSanitizer tells).
TEST(TagMatcher, ACopyStandsOnItsOwnOnceTheOriginalIsGone) {
    const std::vector<TagLiteral> tags = {
        {"<BAND:3>20M", 1}, {"<BAND:3>40M", 2}, {"<MODE:2>CW", 4}};
    auto original = std::make_unique<TagMatcher>(tags);
    const TagMatcher copied(*original);
    std::vector<TagMatcher> grown;
    for (int i = 0; i < 5; ++i) grown.push_back(*original);  // copies, then moves as it grows
    original.reset();

    auto at = [](std::string text) { return text.append(TagMatcher::kMaxLiteral, '\0'); };
    const std::string band40 = at("<BAND:3>40M"), cw = at("<MODE:2>CW"), band60 = at("<BAND:3>60M");
    for (const TagMatcher* m : {&copied, &std::as_const(grown)[0], &std::as_const(grown)[4]})
        EXPECT_EQ(std::vector({m->MatchAt(band40.data()), m->MatchAt(cw.data()),
                               m->MatchAt(band60.data())}),
                  std::vector({2u, 4u, 0u}));
}

}  // namespace
}  // namespace quorvane
