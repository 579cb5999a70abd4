// Counter overflow in the scans and in the sums, and the single log handle: refused while
// held, released after success, after every error and after a stop.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "loggen.h"
#include "quorvane/errors.h"
#include "tally_support.h"

namespace quorvane {
namespace {

using testing::TempFile;

constexpr std::size_t kBlock = LogLineScanner::kBlockSize;

// Runs `f`, expecting CounterOverflow naming `counter`.
template <class F>
void ExpectOverflow(const std::string& counter, F&& f) {
    try {
        f();
        ADD_FAILURE() << "no overflow, expected one of " << counter;
    } catch (const CounterOverflow& e) {
        EXPECT_EQ(e.counter(), counter);
        EXPECT_NE(std::string(e.what()).find(counter), std::string::npos) << e.what();
    }
}

// ---- overflow in the scans

struct ScanOverflowCase {
    const char* line;
    std::int32_t BandModeTally::*field;
    const char* name;
};

TEST(Overflow, BandModeCounterAtTheLimitRaisesNamingIt) {
    const ScanOverflowCase cases[] = {
        {"<BAND:3>20M <MODE:2>CW", &BandModeTally::C20, "C20"},
        {"<BAND:2>6M <MODE:5>PSK31", &BandModeTally::R6, "R6"},
        {"<BAND:4>160M <MODE:2>AM", &BandModeTally::S160, "S160"},
        {"<BAND:3>60M <MODE:2>AM", &BandModeTally::OthersTotal, "OthersTotal"},
    };
    for (const ScanOverflowCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempFile file(std::string("header\r\n") + c.line + "\r\n");
        BandModeTally t;
        t.*c.field = INT32_MAX;
        LogLineScanner log;
        log.Open(file.path());
        ExpectOverflow(c.name, [&] { t.Scan(log); });
        EXPECT_EQ(t.*c.field, INT32_MAX);  // kept, never wrapped
        log.Close();
        EXPECT_FALSE(LogLineScanner::HandleHeld());
    }
}

TEST(Overflow, BandModeCounterMayReachTheLimit) {
    TempFile file("<BAND:3>20M <MODE:2>CW\r\n");
    BandModeTally t;
    t.C20 = INT32_MAX - 1;
    LogLineScanner log;
    log.Open(file.path());
    EXPECT_TRUE(t.Scan(log));
    EXPECT_EQ(t.C20, INT32_MAX);
}

TEST(Overflow, ContinentCounterAtTheLimitRaisesNamingIt) {
    // The scan zeroes the tally first, so the counter is pushed to the limit from the yield
    // hook after the first block; the line that overflows it lies in the second block.
    TempFile file(std::string(kBlock + 100, ' ') + "\r\n<CONT:2>EU <BAND:3>20M\r\n");
    ContinentBandTally c;
    int closed = 0;
    ScanHooks hooks{{},
                    [&] {
                        c.EU20 = INT32_MAX;
                        return true;
                    },
                    [&] { ++closed; }};
    ExpectOverflow("EU20", [&] { c.ScanContinentBands(file.path(), hooks); });
    EXPECT_EQ(c.EU20, INT32_MAX);
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(LogLineScanner::HandleHeld());
}

TEST(Overflow, QslCounterAtTheLimitRaisesNamingIt) {
    TempFile file("<QSL_SENT:1>Y <eQSL_QSL_RCVD:1>Y\r\n");
    for (auto [field, name] :
         {std::pair{&QslTally::QslSent, "QslSent"}, std::pair{&QslTally::EqslRcvd, "EqslRcvd"}}) {
        SCOPED_TRACE(name);
        QslTally q;
        int closed = 0;
        // The counters are zeroed before the log is opened; `opened` runs after that.
        ScanHooks hooks{[&, f = field] { q.*f = INT32_MAX; }, {}, [&] { ++closed; }};
        ExpectOverflow(name, [&] { q.Count(file.path(), hooks); });
        EXPECT_EQ(q.*field, INT32_MAX);
        EXPECT_EQ(closed, 1);
        EXPECT_FALSE(LogLineScanner::HandleHeld());
    }
}

// ---- overflow in the sums

TEST(Overflow, ClassTotalNamesItself) {
    BandModeTally t;
    t.C6 = INT32_MAX;
    t.C160 = 1;
    t.Ctotal = 42;
    ExpectOverflow("Ctotal", [&] { t.FormClassTotal(0); });
    EXPECT_EQ(t.Ctotal, 42);
    ExpectOverflow("Ctotal", [&] { t.FormTotals(); });
    t.S80 = INT32_MAX;
    t.S6 = 1;
    ExpectOverflow("Stotal", [&] { t.FormClassTotal(2); });
}

TEST(Overflow, BandTotalNamesItself) {
    BandModeTally t;
    t.R40 = INT32_MAX;
    t.S40 = 1;
    t.Total40 = 7;
    ExpectOverflow("Total40", [&] { t.FormBandTotal(7); });
    EXPECT_EQ(t.Total40, 7);
    // The class totals fit, so FormTotals gets as far as the band totals.
    ExpectOverflow("Total40", [&] { t.FormTotals(); });
    EXPECT_EQ(t.Rtotal, INT32_MAX);
}

TEST(Overflow, GrandTotalNamesItself) {
    BandModeTally t;
    t.C6 = INT32_MAX;
    t.R10 = 1;
    ExpectOverflow("Total", [&] { t.FormTotals(); });
    EXPECT_EQ(t.Ctotal, INT32_MAX);
    EXPECT_EQ(t.Total6, INT32_MAX);
    EXPECT_EQ(t.Total10, 1);
    EXPECT_EQ(t.Total, 0);
}

TEST(Overflow, SumsExactlyAtTheLimitAreFine) {
    BandModeTally t;
    t.C6 = INT32_MAX - 2;
    t.R6 = 1;
    t.S6 = 1;
    t.FormTotals();
    EXPECT_EQ(t.Total6, INT32_MAX);
    EXPECT_EQ(t.Total, INT32_MAX);
    ContinentBandTally c;
    c.SA6 = INT32_MAX - 1;
    c.SA160 = 1;
    EXPECT_EQ(c.ContinentTotal(7), INT32_MAX);
}

TEST(Overflow, ContinentTotalNamesItselfAndKeepsItsValue) {
    ContinentBandTally c;
    c.AF20 = INT32_MAX;
    c.AF160 = 1;
    c.AFtotal = 42;
    ExpectOverflow("AFtotal", [&] { c.ContinentTotal(1); });
    EXPECT_EQ(c.AFtotal, 42);
    c.OC10 = INT32_MAX;
    c.OC12 = INT32_MAX;
    ExpectOverflow("OCtotal", [&] { c.ContinentTotal(6); });
}

// ---- the single log handle

TEST(LogHandle, ASecondOpenIsRefusedWhileTheFirstHoldsIt) {
    TempFile file("<BAND:3>20M <MODE:2>CW <CONT:2>EU <QSL_SENT:1>Y\r\n");
    LogLineScanner first;
    first.Open(file.path());
    ASSERT_TRUE(LogLineScanner::HandleHeld());

    LogLineScanner second;
    EXPECT_THROW(second.Open(file.path()), LogBusyError);
    EXPECT_THROW(first.Open(file.path()), LogBusyError);

    ContinentBandTally c;
    c.EU20 = 5;
    int opened = 0;
    EXPECT_THROW(c.ScanContinentBands(file.path(), {[&] { ++opened; }, {}, {}}), LogBusyError);
    EXPECT_EQ(c.EU20, 5);  // unchanged: nothing was opened
    EXPECT_EQ(opened, 0);
    QslTally q;
    EXPECT_THROW(q.Count(file.path()), LogBusyError);

    // The refusals did not take the handle from its holder, which still reads.
    EXPECT_TRUE(LogLineScanner::HandleHeld());
    BandModeTally t;
    EXPECT_TRUE(t.Scan(first));
    EXPECT_EQ(t.C20, 1);
    first.Close();
    EXPECT_FALSE(LogLineScanner::HandleHeld());
    EXPECT_NO_THROW(second.Open(file.path()));
}

TEST(LogHandle, BusyIsAnOpenErrorNamingThePath) {
    TempFile file("x\r\n");
    LogLineScanner first, second;
    first.Open(file.path());
    try {
        second.Open(file.path());
        FAIL() << "opened twice";
    } catch (const LogOpenError& e) {
        EXPECT_NE(dynamic_cast<const LogBusyError*>(&e), nullptr);
        EXPECT_EQ(e.path(), file.path());
    }
}

TEST(LogHandle, ReleasedByTheScannerGoingAway) {
    TempFile file("x\r\n");
    {
        LogLineScanner log;
        log.Open(file.path());
        EXPECT_TRUE(LogLineScanner::HandleHeld());
    }
    EXPECT_FALSE(LogLineScanner::HandleHeld());
}

TEST(LogHandle, ReleasedAfterEachTallyCompletes) {
    TempFile file(loggen::Generate({}));
    testing::CountFile(file.path());
    EXPECT_FALSE(LogLineScanner::HandleHeld());
    ContinentBandTally c;
    EXPECT_TRUE(c.ScanContinentBands(file.path()));
    EXPECT_FALSE(LogLineScanner::HandleHeld());
    QslTally q;
    q.Count(file.path());
    EXPECT_FALSE(LogLineScanner::HandleHeld());
}

TEST(LogHandle, ReleasedAfterAFailedOpen) {
    for (const char* path : {"/nonexistent/quorvane.adi", "/dev/null", "/"}) {
        SCOPED_TRACE(path);
        LogLineScanner log;
        EXPECT_THROW(log.Open(path), LogOpenError);
        EXPECT_FALSE(log.IsOpen());
        EXPECT_FALSE(LogLineScanner::HandleHeld());
        ContinentBandTally c;
        EXPECT_THROW(c.ScanContinentBands(path), LogOpenError);
        EXPECT_FALSE(LogLineScanner::HandleHeld());
        QslTally q;
        EXPECT_THROW(q.Count(path), LogOpenError);
        EXPECT_FALSE(LogLineScanner::HandleHeld());
    }
}

TEST(LogHandle, ReleasedWhenTheYieldHookThrows) {
    TempFile file(std::string(2 * kBlock, ' '));
    int closed = 0;
    ContinentBandTally c;
    EXPECT_THROW(c.ScanContinentBands(
                     file.path(),
                     {{}, []() -> bool { throw std::runtime_error("hook"); }, [&] { ++closed; }}),
                 std::runtime_error);
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(LogLineScanner::HandleHeld());
}

TEST(LogHandle, ReleasedWhenTheOpenedHookThrows) {
    TempFile file("x\r\n");
    ContinentBandTally c;
    EXPECT_THROW(
        c.ScanContinentBands(file.path(), {[] { throw std::runtime_error("opened"); }, {}, {}}),
        std::runtime_error);
    EXPECT_FALSE(LogLineScanner::HandleHeld());
    QslTally q;
    EXPECT_THROW(q.Count(file.path(), {[] { throw std::runtime_error("opened"); }, {}, {}}),
                 std::runtime_error);
    EXPECT_FALSE(LogLineScanner::HandleHeld());
}

TEST(LogHandle, ASecondScanFromInsideTheYieldHookIsRefused) {
    // What the windows rely on: a command run while a scan yields cannot start another one.
    TempFile file(std::string(2 * kBlock, ' ') + "\r\n<CONT:2>EU <BAND:3>20M\r\n");
    int refused = 0;
    ContinentBandTally c;
    ASSERT_TRUE(c.ScanContinentBands(file.path(), {{},
                                                   [&] {
                                                       QslTally q;
                                                       ContinentBandTally other;
                                                       try {
                                                           q.Count(file.path());
                                                       } catch (const LogBusyError&) {
                                                           ++refused;
                                                       }
                                                       try {
                                                           other.ScanContinentBands(file.path());
                                                       } catch (const LogBusyError&) {
                                                           ++refused;
                                                       }
                                                       return true;
                                                   },
                                                   {}}));
    EXPECT_GE(refused, 2);
    EXPECT_EQ(refused % 2, 0);
    EXPECT_EQ(c.EU20, 1);
    EXPECT_FALSE(LogLineScanner::HandleHeld());
}

TEST(LogHandle, AClosedScannerCanOpenAgain) {
    TempFile a("<BAND:3>20M <MODE:2>CW\r\n"), b("<BAND:3>40M <MODE:2>CW\r\n");
    LogLineScanner log;
    BandModeTally t;
    log.Open(a.path());
    t.Scan(log);
    log.Close();
    log.Close();  // harmless
    log.Open(b.path());
    EXPECT_EQ(log.path(), b.path());
    t.Scan(log);
    log.Close();
    EXPECT_EQ(t.C20, 1);
    EXPECT_EQ(t.C40, 1);
}

TEST(LogHandle, ScanWithoutAnOpenLogIsAProgrammingError) {
    LogLineScanner log;
    BandModeTally t;
    EXPECT_THROW(t.Scan(log), std::logic_error);
    EXPECT_FALSE(LogLineScanner::HandleHeld());
}

}  // namespace
}  // namespace quorvane
