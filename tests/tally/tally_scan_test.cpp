// The scans as the windows drive them: the single log handle, the yield hook, a log that
// changes while it is read, counter overflow, and hostile or mistaken inputs.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <fstream>
#include <functional>
#include <future>
#include <random>
#include <string>

#include "loggen.h"
#include "quorvane/errors.h"
#include "tally_support.h"

namespace quorvane {
namespace {

using testing::TempFile;

constexpr std::size_t kBlock = LogLineScanner::kBlockSize;

// About four blocks of records.
const std::string kLog = loggen::Generate({.contacts = 4 * kBlock / 250});

TEST(LogHandle, HeldByOneScannerAtATimeAndReleasedAfterSuccessAndError) {
    TempFile file("<BAND:3>20M <MODE:2>CW <CONT:2>EU <QSL_SENT:1>Y\r\n");
    {
        LogLineScanner first, second;
        first.Open(file.path());
        EXPECT_THROW(first.Open(file.path()), LogBusyError);
        EXPECT_THROW(second.Open(file.path()), LogBusyError);
        EXPECT_THROW(ContinentBandTally().ScanContinentBands(file.path()), LogBusyError);
        EXPECT_THROW(QslTally().Count(file.path()), LogBusyError);
        BandModeTally t;  // the refusals left the handle with its holder, which still reads
        EXPECT_TRUE(t.Scan(first));
        EXPECT_EQ(t.C20, 1);
        first.Close();
        EXPECT_FALSE(LogLineScanner::HandleHeld());
        second.Open(file.path());  // held until the scanner goes away
    }
    EXPECT_FALSE(LogLineScanner::HandleHeld());
    testing::CountFile(file.path());
    EXPECT_FALSE(LogLineScanner::HandleHeld());
    // Errors raised by the caller's hooks release it as well (for overflow, see below).
    const auto fail = [] { throw std::runtime_error("hook"); };
    EXPECT_THROW(ContinentBandTally().ScanContinentBands(file.path(), {fail, {}, {}}),
                 std::runtime_error);
    EXPECT_THROW(QslTally().Count(file.path(), {fail, {}, {}}), std::runtime_error);
    EXPECT_FALSE(LogLineScanner::HandleHeld());
}

TEST(YieldHook, CalledOncePerBlockAlsoInsideAVeryLongLine) {
    for (const std::string& text :
         {kLog, "<BAND:3>20M " + std::string(3 * kBlock, 'z') + " <MODE:2>CW"}) {
        TempFile file(text);
        std::size_t calls = 0;
        const auto count = [&] { return ++calls > 0; };
        BandModeTally t;
        LogLineScanner log;
        log.Open(file.path());
        EXPECT_TRUE(t.Scan(log, count));
        EXPECT_GE(calls, text.size() / kBlock);  // no fewer than the blocks, and not per line
        EXPECT_LE(calls, text.size() / kBlock + 1);
        EXPECT_GT(t.C20, 0);
        log.Close();
        calls = 0;
        QslTally().Count(file.path(), {{}, count, {}});
        EXPECT_EQ(calls, 0u);  // the QSL tally never yields
    }
}

TEST(YieldHook, StopsTheScansWhichReleaseTheHandle) {
    TempFile file(kLog);
    int calls = 0, refused = 0, closed = 0;
    BandModeTally t;
    LogLineScanner log;
    log.Open(file.path());
    EXPECT_FALSE(t.Scan(log, [&] {
        // What the windows rely on: a command run while a scan yields cannot start another.
        try {
            QslTally().Count(file.path());
        } catch (const LogBusyError&) {
            ++refused;
        }
        return ++calls < 2;
    }));
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(refused, 2);
    t.FormTotals();  // partial counts: something, but not everything
    EXPECT_GT(t.Total, 0);
    EXPECT_LT(t.Total, reference::CountFile(file.path()).BandModeSum("Total"));
    EXPECT_TRUE(LogLineScanner::HandleHeld());  // the caller closes
    log.Close();

    calls = 0;
    ScanHooks hooks{{}, [&] { return ++calls < 3; }, [&] { ++closed; }};
    EXPECT_FALSE(ContinentBandTally().ScanContinentBands(file.path(), hooks));
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(LogLineScanner::HandleHeld());
}

TEST(ChangingLog, ShrinkingOrGrowingWhileScannedCountsWhatWasRead) {
    constexpr std::size_t kSmallBlock = 4096;  // read at a time, so the change lands after it
    const std::string log = loggen::Generate({.contacts = 400, .lineEnd = loggen::LineEnd::Mixed});
    const std::string added = loggen::Generate({.contacts = 300, .seed = 2});
    for (bool grow : {false, true}) {
        SCOPED_TRACE(grow ? "growing" : "shrinking");
        TempFile file(log);
        bool changed = false;
        BandModeTally t;
        LogLineScanner scanner(kSmallBlock);
        scanner.Open(file.path());
        EXPECT_TRUE(t.Scan(scanner, [&] {
            if (!changed && grow) file.Write(added, true);
            EXPECT_TRUE(changed || grow || ::truncate(file.path().c_str(), 1000) == 0);
            return changed = true;
        }));
        scanner.Close();
        const testing::Tallies read =
            testing::CountChecked(grow ? log + added : log.substr(0, kSmallBlock));
        EXPECT_EQ(testing::Nonzero({t, {}, {}}), testing::Nonzero({read.bandMode, {}, {}}));
        EXPECT_EQ(t.mystr, read.bandMode.mystr);
    }
}

// ---- overflow: an increase past INT32_MAX raises an error naming the counter, never a wrap

struct Subject {
    BandModeTally b;
    ContinentBandTally c;
    QslTally q;
};

using Run = std::function<void(Subject&, const std::string& path)>;

Run ScanAt(std::int32_t BandModeTally::*counter) {
    return [=](Subject& s, const std::string& path) {
        s.b.*counter = INT32_MAX;
        LogLineScanner log;
        log.Open(path);
        s.b.Scan(log);
    };
}

// The continent and QSL tallies clear their counters first, so their hooks set them.
void ScanContinent(Subject& s, const std::string& path) {
    ScanHooks hooks{{}, [&] { return (s.c.EU20 = INT32_MAX) != 0; }, {}};
    hooks.blockSize = 4;  // the hook runs before the line's end
    s.c.ScanContinentBands(path, hooks);
}

void CountQsl(Subject& s, const std::string& path) {
    s.q.Count(path, {[&] { s.q.QslSent = s.q.EqslRcvd = INT32_MAX; }, {}, {}});
}

Run SumOf(std::int32_t BandModeTally::*atLimit, std::int32_t BandModeTally::*one) {
    return [=](Subject& s, const std::string&) {
        s.b.*atLimit = INT32_MAX;
        s.b.*one = 1;
        s.b.FormTotals();
    };
}

void ContinentSum(Subject& s, const std::string&) {
    s.c.AF20 = INT32_MAX;
    s.c.AF160 = 1;
    s.c.ContinentTotal(1);
}

struct OverflowRow {
    const char* counter;
    const char* line;  // the log's second line, "" for the sums
    Run run;
};

const OverflowRow kOverflows[] = {
    {"C20", "<BAND:3>20M <MODE:2>CW", ScanAt(&BandModeTally::C20)},
    {"R6", "<BAND:2>6M <MODE:5>PSK31", ScanAt(&BandModeTally::R6)},
    {"S160", "<BAND:4>160M <MODE:2>AM", ScanAt(&BandModeTally::S160)},
    {"OthersTotal", "<BAND:3>60M", ScanAt(&BandModeTally::OthersTotal)},
    {"EU20", "<CONT:2>EU <BAND:3>20M", ScanContinent},
    {"QslSent", "<QSL_SENT:1>Y", CountQsl},
    {"EqslRcvd", "<eQSL_QSL_RCVD:1>Y", CountQsl},
    {"Ctotal", "", SumOf(&BandModeTally::C6, &BandModeTally::C160)},
    {"Total40", "", SumOf(&BandModeTally::R40, &BandModeTally::S40)},  // the class totals fit
    {"Total", "", SumOf(&BandModeTally::C6, &BandModeTally::R10)},
    {"AFtotal", "", ContinentSum},
};

TEST(Overflow, EachCounterAndSumRaisesNamingItself) {
    for (const OverflowRow& row : kOverflows) {
        SCOPED_TRACE(row.counter);
        TempFile file(std::string("header\r\n") + row.line + "\r\n");
        Subject s;
        try {
            row.run(s, file.path());
            ADD_FAILURE() << "no overflow";
        } catch (const CounterOverflow& e) {
            EXPECT_EQ(e.counter(), row.counter);
            EXPECT_NE(std::string(e.what()).find(row.counter), std::string::npos) << e.what();
        }
        EXPECT_FALSE(LogLineScanner::HandleHeld());
        if (*row.line == '\0') continue;
        const testing::Tallies t{s.b, s.c, s.q};  // the counter kept its value
        EXPECT_NE(testing::Nonzero(t).find(std::string(row.counter) + "*2147483647"),
                  std::string::npos);
    }
    BandModeTally t;  // reaching the limit is fine
    t.C6 = INT32_MAX - 1;
    t.R6 = 1;
    t.FormTotals();
    EXPECT_EQ(t.Total, INT32_MAX);
}

// ---- hostile and mistaken inputs: the right counts or a clear typed error, never a hang

using namespace std::string_literals;

std::string Utf16(const std::string& ascii, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char c : ascii) out += bigEndian ? "\0"s + c : c + "\0"s;
    return out;
}

const std::string kPad(4 << 20, 'q');
const char kRefused[] = "refused: ";

struct BadInput {
    const char* name;
    // The log's path (in a directory of its own) where it is refused, its content otherwise.
    std::function<std::string(const std::string& dir)> make;
    // "refused: <reason>"; otherwise what is counted (testing::Nonzero), "*" for whatever the
    // reference counts.
    std::string outcome;
};

const BadInput kBadInputs[] = {
    {"missing file", [](auto& dir) { return dir + "/x.adi"; },
     "refused: No such file or directory"},
    {"directory", [](auto& dir) { return dir; }, "refused: Is a directory"},
    {"FIFO without a writer",
     [](auto& dir) { return ::mkfifo((dir + "/f").c_str(), 0600) == 0 ? dir + "/f" : ""; },
     "refused: not a regular file"},
    {"character device", [](auto&) { return "/dev/zero"s; }, "refused: not a regular file"},
    {"unreadable file",
     [](auto& dir) {
         std::ofstream(dir + "/f") << kLog;
         ::chmod((dir + "/f").c_str(), 0);
         return dir + "/f";
     },
     "refused: Permission denied"},
    {"empty file", [](auto&) { return ""s; }, ""},
    {"10 MB of random bytes",
     [](auto&) {
         std::mt19937 rng(7);
         std::string s(10'000'000, 0);
         for (char& c : s) c = static_cast<char>(rng());
         return s;
     },
     "*"},
    {"NUL bytes inside lines",
     [](auto&) {
         return "\0<BAND:3>20M\0<MODE:2>CW\0<CONT:2>EU\0\r\n<BAND:3>4\0M <MODE:2>CW\r\n"
                "<QSL_SENT:1>Y\0\0\n\0"s;
     },
     "C20 OthersTotal EU20 QslSent"},
    {"UTF-16 little-endian with BOM", [](auto&) { return Utf16(kLog, false); }, ""},
    {"UTF-16 big-endian with BOM", [](auto&) { return Utf16(kLog, true); }, ""},
    {"UTF-8 with BOM",
     [](auto&) {
         return "\xEF\xBB\xBF<BAND:3>20M <MODE:2>CW <CONT:2>EU <QSL_SENT:1>Y\r\n"
                "<BAND:3>40M <MODE:3>SSB"s;
     },
     "C20 S40 EU20 QslSent"},
    {"no line breaks (one 1 MB line)",
     [](auto&) {
         std::string s = kLog;
         std::replace(s.begin(), s.end(), '\n', ' ');
         std::replace(s.begin(), s.end(), '\r', ' ');
         return s;
     },
     "*"},
    {"only line breaks", [](auto&) { return std::string(300000, '\n'); }, ""},
    {"lines of several MiB with tags at start, middle and end",
     [](auto&) {
         return "<BAND:3>20M" + kPad + "<MODE:2>CW\r\n" + kPad + "<BAND:3>30M <CONT:2>AN" + kPad +
                "<MODE:4>RTTY\n<QSL_SENT:1>Y <BAND:2>6M <MODE:2>AM" + kPad;
     },
     "C20 R30 S6 AN30 QslSent"},
};

void Check(const BadInput& row, const std::string& path) {
    if (row.outcome.starts_with(kRefused)) {
        const std::string reason = row.outcome.substr(sizeof kRefused - 1);
        const std::function<void()> ways[] = {
            [&] { LogLineScanner().Open(path); },
            [&] { ContinentBandTally().ScanContinentBands(path); },
            [&] { QslTally().Count(path); },
        };
        for (const auto& open : ways) {
            try {
                open();
                ADD_FAILURE() << path << " was accepted";
            } catch (const LogOpenError& e) {
                EXPECT_EQ(e.path(), path);
                EXPECT_EQ(e.reason(), reason);
                EXPECT_EQ(std::string(e.what()), "cannot open '" + path + "': " + reason);
            }
        }
    } else {
        std::ofstream(path, std::ios::binary) << row.make("");
        const testing::Tallies t = testing::CountFile(path);
        EXPECT_TRUE(testing::SameAsReference(t, reference::CountFile(path)));
        if (row.outcome != "*") {
            EXPECT_EQ(testing::Nonzero(t), row.outcome);
        }
    }
    EXPECT_FALSE(LogLineScanner::HandleHeld());
}

TEST(BadInput, EachGivesTheRightCountsOrAClearErrorAndFreesTheHandle) {
    for (const BadInput& row : kBadInputs) {
        SCOPED_TRACE(row.name);
        if (std::string(row.name) == "unreadable file" && ::geteuid() == 0) {
            std::cout << "[ SKIPPED  ] unreadable file: running as root, whom file permissions "
                         "do not bind (CI runs as root)\n";
            continue;
        }
        const TempFile file;
        const bool refused = row.outcome.starts_with(kRefused);
        const std::string path = refused ? row.make(file.dir()) : file.path();
        ASSERT_FALSE(path.empty());
        // A watchdog: if opening blocks (a FIFO waiting for a writer), a writer sets it free
        // and the case fails, instead of the suite hanging.
        auto done = std::async(std::launch::async, [&] { Check(row, path); });
        if (done.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
            ADD_FAILURE() << "opening " << path << " hangs";
            const int writer = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
            done.wait();
            if (writer >= 0) ::close(writer);
        }
    }
}

}  // namespace
}  // namespace quorvane
