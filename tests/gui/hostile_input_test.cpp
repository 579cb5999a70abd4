// Logs that somebody else's program wrote, or files picked by mistake, through the windows:
// each gives the right counts or a clear error, never a crash, a hang or a partial count shown
// as a result, and the program goes on with the log handle free.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMetaObject>
#include <QPointer>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <random>
#include <string>
#include <thread>

#include "form2.h"
#include "gui_support.h"
#include "loggen.h"
#include "quorvane/band_mode_tally.h"
#include "quorvane/log_line_scanner.h"
#include "quorvane/qsl_tally.h"

namespace {

using guitest::Contact;
using guitest::DataCells;
using guitest::ExpectedBandModeCells;
using guitest::ExpectedContinentCells;
using guitest::Grid;
using guitest::Row;
using guitest::Window;
using quorvane::LogLineScanner;

constexpr std::int32_t kMax = 2147483647;

// Fails a test that would otherwise hang: when it is not disarmed in time it gives a FIFO that
// waits for a writer one (which at once ends its data) and asks the main window to close, which
// stops a scan that never ends at its next yield. If even that does not help, the test program
// ends.
class Watchdog {
  public:
    Watchdog(QWidget* form, std::string fifo = {})
        : form_(form), fifo_(std::move(fifo)), thread_([this] { Run(); }) {}
    ~Watchdog() {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            done_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    bool Fired() {
        const std::lock_guard<std::mutex> lock(mutex_);
        return fired_;
    }

  private:
    static constexpr std::chrono::seconds kLimit{10};

    void Run() {
        std::unique_lock<std::mutex> lock(mutex_);
        if (wake_.wait_for(lock, kLimit, [this] { return done_; })) return;
        fired_ = true;
        if (!fifo_.empty()) {
            const int fd = ::open(fifo_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) ::close(fd);
        }
        QMetaObject::invokeMethod(
            form_, [form = form_] { form->close(); }, Qt::QueuedConnection);
        if (wake_.wait_for(lock, 3 * kLimit, [this] { return done_; })) return;
        std::fprintf(stderr, "Hung for %lld s even after the main window was closed\n",
                     static_cast<long long>(4 * kLimit.count()));
        std::_Exit(1);
    }

    QWidget* form_;
    std::string fifo_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    bool fired_ = false;
    std::thread thread_;  // last: starts once the rest is in place
};

bool RunningAsRoot() { return ::geteuid() == 0; }

std::string Repeat(const std::string& piece, std::size_t times) {
    std::string s;
    s.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i) s += piece;
    return s;
}

std::string Generated(std::uint64_t contacts, std::uint64_t seed) {
    quorvane::loggen::Options options;
    options.contacts = contacts;
    options.seed = seed;
    return quorvane::loggen::Generate(options);
}

class HostileLog : public guitest::WindowTest {
  protected:
    QStringList Cells() const { return DataCells(MainGrid()); }

    // Nothing held, no busy notice, the commands that start a scan live again.
    void ExpectIdle() const {
        EXPECT_FALSE(LogLineScanner::HandleHeld());
        EXPECT_EQ(Window("Form6"), nullptr);
        for (const char* name : {"mnuOpen", "mnuContinent", "mnuQSLReceived"})
            EXPECT_TRUE(Action(name)->isEnabled()) << name;
    }
    // As before the first log: no partial count is shown as a result.
    void ExpectNoLogState() const {
        EXPECT_TRUE(form->FileName.isEmpty());
        EXPECT_EQ(form->windowTitle(), "Quorvane");
        EXPECT_EQ(Cells(), QStringList(48, ""));
        ExpectIdle();
    }
    void ExpectShows(const QString& path) const {
        EXPECT_EQ(form->FileName, path);
        EXPECT_EQ(form->windowTitle(), QFileInfo(path).fileName());
        EXPECT_EQ(Cells(), ExpectedBandModeCells(path));
        ExpectIdle();
    }
    void ExpectOneError(const QString& message) const {
        ASSERT_EQ(errors.size(), 1) << errors.join("\n").toStdString();
        EXPECT_EQ(errors[0], message);
    }
    static QString CannotOpen(const QString& path, const char* reason) {
        return QString("Cannot open \"%1\": %2.").arg(path, reason);
    }
    static QString CannotCount(const QString& path, const char* counter) {
        return QString("Cannot count \"%1\": the count %2 would pass 2,147,483,647.")
            .arg(path, counter);
    }

    // A log is shown first, so that a refusal has a table to wipe.
    void ExpectRefused(const QString& path, const char* reason) {
        const QString before = Write("before.adi", Contact("20M", "CW") + Contact("40M", "SSB"));
        Open(before);
        ASSERT_EQ(Cells(), ExpectedBandModeCells(before));
        Open(path);
        ExpectOneError(CannotOpen(path, reason));
        ExpectNoLogState();
        // The program goes on.
        Open(before);
        ExpectShows(before);
    }

    // The continent or QSL window, loaded for the log shown now.
    QWidget* LoadWindow(const char* command, const char* name) {
        Trigger(command);
        return Window(name);
    }
};

// ---- files that are refused when they are opened

TEST_F(HostileLog, MissingFileIsRefusedAndLeavesTheNoLogState) {
    ExpectRefused(dir.filePath("missing.adi"), "No such file or directory");
}

TEST_F(HostileLog, DirectoryIsRefused) {
    QDir(dir.path()).mkdir("logs.adi");
    ExpectRefused(dir.filePath("logs.adi"), "Is a directory");
}

TEST_F(HostileLog, FifoIsRefusedAtOnceWithoutWaitingForAWriter) {
    const QString fifo = dir.filePath("pipe.adi");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    Watchdog watchdog(form.get(), QFile::encodeName(fifo).toStdString());
    Open(fifo);
    EXPECT_FALSE(watchdog.Fired()) << "the open waited for a writer";
    ExpectOneError(CannotOpen(fifo, "not a regular file"));
    ExpectNoLogState();
}

TEST_F(HostileLog, CharacterDeviceIsRefusedAtOnceInsteadOfReadForever) {
    ASSERT_TRUE(QFileInfo::exists("/dev/zero"));
    Watchdog watchdog(form.get());
    Open("/dev/zero");
    EXPECT_FALSE(watchdog.Fired()) << "/dev/zero was read until the watchdog stopped it";
    ExpectOneError(CannotOpen("/dev/zero", "not a regular file"));
    ExpectNoLogState();
}

TEST_F(HostileLog, UnreadableFileIsRefused) {
    if (RunningAsRoot()) GTEST_SKIP() << "file permissions do not bind root, who runs this test";
    const QString path = Write("locked.adi", Contact("20M", "CW"));
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0), 0);
    ExpectRefused(path, "Permission denied");
}

// ---- the log changed between the open command and the continent or QSL window's own scan

struct Change {
    const char* name;
    const char* reason;
    bool bindsRoot;  // needs permissions that root ignores
    void (*apply)(const QString& path);
};

const Change kChanges[] = {
    {"Deleted", "No such file or directory", false,
     [](const QString& path) { ASSERT_TRUE(QFile::remove(path)); }},
    {"MadeUnreadable", "Permission denied", true,
     [](const QString& path) { ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0), 0); }},
    {"ReplacedByADirectory", "Is a directory", false,
     [](const QString& path) {
         ASSERT_TRUE(QFile::remove(path));
         ASSERT_TRUE(QDir().mkdir(path));
     }},
    {"ReplacedByAFifo", "not a regular file", false,
     [](const QString& path) {
         ASSERT_TRUE(QFile::remove(path));
         ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
     }},
    {"ReplacedByALinkToACharacterDevice", "not a regular file", false,
     [](const QString& path) {
         ASSERT_TRUE(QFile::remove(path));
         ASSERT_TRUE(QFile::link("/dev/zero", path));
     }},
};

struct RescanCase {
    const char* command;
    const char* window;
    const Change* change;
};

void PrintTo(const RescanCase& c, std::ostream* out) { *out << c.window << ", " << c.change->name; }

class ChangedBeforeRescan : public HostileLog, public ::testing::WithParamInterface<RescanCase> {};

TEST_P(ChangedBeforeRescan, IsReportedTheWindowIsNotShownAndTheMainWindowKeepsItsLog) {
    const RescanCase& c = GetParam();
    if (c.change->bindsRoot && RunningAsRoot())
        GTEST_SKIP() << "file permissions do not bind root, who runs this test";
    const std::string content = Contact("20M", "CW", "EU", "<QSL_SENT:1>Y <QSL_RCVD:1>Y ") +
                                Contact("40M", "SSB", "NA", "<QSL_SENT:1>Y ");
    const QString path = Write("log.adi", content);
    Open(path);
    const QStringList shown = Cells();
    c.change->apply(path);
    if (HasFatalFailure()) return;
    {
        Watchdog watchdog(form.get(), QFile::encodeName(path).toStdString());
        Trigger(c.command);
        EXPECT_FALSE(watchdog.Fired()) << "the rescan hung";
    }
    ExpectOneError(CannotOpen(path, c.change->reason));
    EXPECT_EQ(Window(c.window), nullptr);
    EXPECT_EQ(form->FileName, path);
    EXPECT_EQ(form->windowTitle(), "log.adi");
    EXPECT_EQ(Cells(), shown);
    ExpectIdle();
    // Once the log is back, the same command opens the window.
    QFile::remove(path);
    QDir().rmdir(path);
    Write("log.adi", content);
    Trigger(c.command);
    EXPECT_EQ(errors.size(), 1);
    QWidget* w = Window(c.window);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
}

std::vector<RescanCase> RescanCases() {
    std::vector<RescanCase> cases;
    for (const Change& change : kChanges) {
        cases.push_back({"mnuContinent", "Form2", &change});
        cases.push_back({"mnuQSLReceived", "Form5", &change});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(ContinentAndQslWindow, ChangedBeforeRescan,
                         ::testing::ValuesIn(RescanCases()),
                         [](const ::testing::TestParamInfo<RescanCase>& info) {
                             return std::string(info.param.window) + "_Log" +
                                    info.param.change->name;
                         });

// ---- contents that are not what a log should hold

TEST_F(HostileLog, EmptyFileCountsZeroInEveryWindow) {
    const QString path = Write("empty.adi", "");
    Open(path);
    ExpectShows(path);
    for (int r = 1; r <= 11; ++r) EXPECT_EQ(Row(MainGrid(), r).mid(1), QStringList(4, "0"));
    EXPECT_EQ(Row(MainGrid(), 12), QStringList({"Others", "-", "-", "-", "0"}));
    QWidget* continent = LoadWindow("mnuContinent", "Form2");
    ASSERT_NE(continent, nullptr);
    EXPECT_EQ(DataCells(*Grid(continent)), QStringList(77, "0"));
    QWidget* qsl = LoadWindow("mnuQSLReceived", "Form5");
    ASSERT_NE(qsl, nullptr);
    EXPECT_EQ(Row(*Grid(qsl), 1), QStringList({"Rcvd/Sent", "-", "-", "-"}));
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(HostileLog, TenMegabytesOfRandomBytesAreCountedLikeTheTallySays) {
    std::mt19937_64 random(20240605);
    std::string bytes(10u << 20, '\0');
    for (std::size_t i = 0; i + 8 <= bytes.size(); i += 8) {
        const std::uint64_t word = random();
        std::memcpy(&bytes[i], &word, 8);
    }
    const QString path = Write("random.adi", bytes);
    Open(path);
    ExpectShows(path);
    EXPECT_GT(clockReadings, 40);  // it yielded all the way through
    QWidget* continent = LoadWindow("mnuContinent", "Form2");
    ASSERT_NE(continent, nullptr);
    EXPECT_EQ(DataCells(*Grid(continent)), ExpectedContinentCells(path));
    QWidget* qsl = LoadWindow("mnuQSLReceived", "Form5");
    ASSERT_NE(qsl, nullptr);
    quorvane::QslTally tally;
    tally.Count(path.toStdString());
    for (std::size_t c = 0; c < 3; ++c)
        EXPECT_EQ(Grid(qsl)->TextMatrix(1, 1 + int(c)),
                  QString::fromStdString(tally.PercentText(c)));
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(HostileLog, NulBytesInsideLinesAreOrdinaryBytes) {
    using namespace std::string_literals;
    const std::string log = "<BAND:3>20M\0<MODE:2>CW\0<CONT:2>EU\r\n"s +    // C20, EU20
                            "\0\0<BAND:3>40M <MODE:3>SSB\0\r\n"s +          // S40
                            "<BAND:3>80M <MO\0DE:2>CW <CONT:2>N\0A\r\n"s +  // Others
                            "<QSL_SENT:1>Y\0<QSL_RCVD:1>Y\0\0\0\r\n"s +     // QSL 1 of 1
                            "<BAND:3>15M\0\r\0\n<MODE:2>CW\n"s;             // Others
    const QString path = Write("nul.adi", log);
    Open(path);
    ExpectShows(path);
    EXPECT_EQ(Row(MainGrid(), 6), QStringList({"20M", "1", "0", "0", "1"}));
    EXPECT_EQ(Row(MainGrid(), 8), QStringList({"40M", "0", "0", "1", "1"}));
    EXPECT_EQ(Row(MainGrid(), 11), QStringList({"Total", "1", "0", "1", "2"}));
    EXPECT_EQ(Row(MainGrid(), 12), QStringList({"Others", "-", "-", "-", "2"}));
    QWidget* continent = LoadWindow("mnuContinent", "Form2");
    ASSERT_NE(continent, nullptr);
    EXPECT_EQ(Row(*Grid(continent), 11), QStringList({"Total", "0", "0", "0", "1", "0", "0", "0"}));
    EXPECT_EQ(Grid(continent)->TextMatrix(6, 4), "1");
    QWidget* qsl = LoadWindow("mnuQSLReceived", "Form5");
    ASSERT_NE(qsl, nullptr);
    EXPECT_EQ(Row(*Grid(qsl), 1), QStringList({"Rcvd/Sent", "100.%", "-", "-"}));
}

std::string Utf16(const std::string& ascii, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char ch : ascii) {
        if (bigEndian) out += '\0';
        out += ch;
        if (!bigEndian) out += '\0';
    }
    return out;
}

TEST_F(HostileLog, Utf16LogWithByteOrderMarkCountsNothing) {
    const std::string text = "Quorvane\r\n<EOH>\r\n" + Contact("20M", "CW", "EU") +
                             Contact("40M", "SSB", "NA", "<QSL_SENT:1>Y <QSL_RCVD:1>Y ");
    for (bool bigEndian : {false, true}) {
        SCOPED_TRACE(bigEndian ? "big endian" : "little endian");
        const QString path = Write(bigEndian ? "be.adi" : "le.adi", Utf16(text, bigEndian));
        Open(path);
        ExpectShows(path);
        QStringList zeros;
        for (int b = 0; b < 11; ++b)
            zeros << "0"
                  << "0"
                  << "0"
                  << "0";
        zeros << "-"
              << "-"
              << "-"
              << "0";
        EXPECT_EQ(Cells(), zeros);
        QWidget* continent = LoadWindow("mnuContinent", "Form2");
        ASSERT_NE(continent, nullptr);
        EXPECT_EQ(DataCells(*Grid(continent)), QStringList(77, "0"));
        QWidget* qsl = LoadWindow("mnuQSLReceived", "Form5");
        ASSERT_NE(qsl, nullptr);
        EXPECT_EQ(Row(*Grid(qsl), 1), QStringList({"Rcvd/Sent", "-", "-", "-"}));
        continent->close();
        qsl->close();
        guitest::FlushDeletes();
    }
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(HostileLog, Utf8LogWithByteOrderMarkStillCountsItsFirstLine) {
    const QString path =
        Write("bom.adi", "\xEF\xBB\xBF" + Contact("20M", "CW", "EU", "<QSL_SENT:1>Y ") +
                             Contact("40M", "SSB", "NA", "<QSL_SENT:1>Y <QSL_RCVD:1>Y "));
    Open(path);
    ExpectShows(path);
    EXPECT_EQ(Row(MainGrid(), 6), QStringList({"20M", "1", "0", "0", "1"}));
    EXPECT_EQ(Row(MainGrid(), 11), QStringList({"Total", "1", "0", "1", "2"}));
    QWidget* continent = LoadWindow("mnuContinent", "Form2");
    ASSERT_NE(continent, nullptr);
    EXPECT_EQ(Grid(continent)->TextMatrix(6, 4), "1");  // EU 20M, from the first line
    QWidget* qsl = LoadWindow("mnuQSLReceived", "Form5");
    ASSERT_NE(qsl, nullptr);
    EXPECT_EQ(Row(*Grid(qsl), 1), QStringList({"Rcvd/Sent", "50.%", "-", "-"}));
}

// A log of several megabytes on one line is one line, read in blocks, with the windows served
// between the blocks.
TEST_F(HostileLog, LogWithoutLineBreaksIsCountedWhileTheMenusStayLive) {
    std::string log;
    while (log.size() < (4u << 20))
        log += "<CALL:5>DL1AB <BAND:3>40M <MODE:3>SSB <CONT:2>OC <EOR> ";
    log += "<BAND:3>20M <MODE:2>CW <CONT:2>EU";
    const QString path = Write("oneline.adi", log);
    bool held = false;
    QPointer<QWidget> chart;
    AtClockReading(4, [&] {
        held = LogLineScanner::HandleHeld();
        Trigger("mnuVer");
        Trigger("mnuChart");  // opened in the middle, from the counts so far
        chart = Window("Form3");
    });
    Open(path);
    EXPECT_TRUE(held);
    EXPECT_FALSE(chart.isNull());
    EXPECT_GE(clockReadings, 16);  // one offer to yield per 256 KiB block
    ExpectShows(path);
    EXPECT_EQ(Row(MainGrid(), 6), QStringList({"20M", "1", "0", "0", "1"}));  // CW wins
    EXPECT_EQ(MainGrid().TextMatrix(11, 4), "1");
    EXPECT_EQ(form->BandModeTally.mystr.size(), LogLineScanner::kLastLineLimit);
    QWidget* continent = LoadWindow("mnuContinent", "Form2");
    ASSERT_NE(continent, nullptr);
    EXPECT_EQ(Grid(continent)->TextMatrix(6, 4), "1");  // EU before OC, 20M before 40M
    EXPECT_EQ(Row(*Grid(continent), 11), QStringList({"Total", "0", "0", "0", "1", "0", "0", "0"}));
}

TEST_F(HostileLog, LineOfTwentyFourMegabytesIsOneLine) {
    const std::string huge =
        "<BAND:3>20M " + std::string(24u << 20, 'x') + " <MODE:2>CW <CONT:2>EU\r\n";
    const QString path = Write("huge.adi", Contact("40M", "SSB", "NA") + huge);
    Open(path);
    ExpectShows(path);
    EXPECT_EQ(Row(MainGrid(), 6), QStringList({"20M", "1", "0", "0", "1"}));
    EXPECT_EQ(Row(MainGrid(), 8), QStringList({"40M", "0", "0", "1", "1"}));
    EXPECT_EQ(form->BandModeTally.mystr.size(), LogLineScanner::kLastLineLimit);
    EXPECT_EQ(form->BandModeTally.mystr.substr(0, 12), "<BAND:3>20M ");
    QWidget* continent = LoadWindow("mnuContinent", "Form2");
    ASSERT_NE(continent, nullptr);
    EXPECT_EQ(DataCells(*Grid(continent)), ExpectedContinentCells(path));
    EXPECT_EQ(Grid(continent)->TextMatrix(6, 4), "1");
}

// ---- a log that changes while it is scanned (the change made from inside the first yield)

class ChangingLog : public HostileLog {
  protected:
    // About 1.8 MB: seven blocks of the scanner.
    QString WriteBase() { return Write("changing.adi", Generated(6000, 7)); }
    static void Append(const QString& path, const std::string& more) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::Append));
        file.write(more.data(), static_cast<qint64>(more.size()));
    }
    // What the scanner had read when the file shrank to `size` during its first yield: the
    // first block and whatever of the rest is still there.
    QString ReadPart(const QString& path, qint64 size) {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray head =
            file.read(std::max<qint64>(size, static_cast<qint64>(LogLineScanner::kBlockSize)));
        return Write("read-part.adi", head.toStdString());
    }
};

TEST_F(ChangingLog, GrowingDuringTheOpenCommandIsCountedToItsNewEnd) {
    const QString path = WriteBase();
    const std::string more = Repeat(Contact("160M", "RTTY", "SA"), 20000);
    AtClockReading(2, [&] { Append(path, more); });
    Open(path);
    ExpectShows(path);  // the file as it is now
    EXPECT_GE(form->BandModeTally.R160, 20000);
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(ChangingLog, ShrinkingDuringTheOpenCommandCountsWhatWasRead) {
    for (qint64 size : {qint64{0}, qint64{400000}}) {
        SCOPED_TRACE(size);
        const QString path = WriteBase();
        const QString expected = ReadPart(path, size);
        AtClockReading(2, [&] { ASSERT_TRUE(QFile::resize(path, size)); });
        Open(path);
        EXPECT_EQ(form->FileName, path);
        EXPECT_EQ(Cells(), ExpectedBandModeCells(expected));
        ExpectIdle();
    }
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(ChangingLog, GrowingAndShrinkingDuringTheContinentScan) {
    const QString path = WriteBase();
    Open(path);
    const QStringList shown = Cells();
    AtClockReading(2, [&] { Append(path, Repeat(Contact("160M", "RTTY", "SA"), 20000)); });
    QWidget* grown = LoadWindow("mnuContinent", "Form2");
    ASSERT_NE(grown, nullptr);
    EXPECT_EQ(DataCells(*Grid(grown)), ExpectedContinentCells(path));
    EXPECT_GE(Grid(grown)->TextMatrix(10, 7).toInt(), 20000);  // SA 160M, all appended
    grown->close();
    guitest::FlushDeletes();

    const QString expected = ReadPart(path, 100000);
    AtClockReading(2, [&] { ASSERT_TRUE(QFile::resize(path, 100000)); });
    QWidget* shrunk = LoadWindow("mnuContinent", "Form2");
    ASSERT_NE(shrunk, nullptr);
    EXPECT_EQ(DataCells(*Grid(shrunk)), ExpectedContinentCells(expected));
    EXPECT_EQ(Cells(), shown);  // the main window keeps the log it counted
    ExpectIdle();
    EXPECT_TRUE(errors.isEmpty());
}

// ---- counters forced to 2,147,483,647 before an increase

class ForcedCounter : public HostileLog {
  protected:
    // Three blocks of the same contact, so that lines follow the first yield.
    QString WriteSameContacts(const std::string& name, const std::string& contact) {
        return Write(QString::fromStdString(name), Repeat(contact, 12000));
    }
    // The continent window while it loads, before it is shown.
    static Form2* LoadingContinentWindow() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* form2 = qobject_cast<Form2*>(w)) return form2;
        return nullptr;
    }
};

TEST_F(ForcedCounter, BandModeCounterIsNamedAndTheNoLogStateFollows) {
    const QString before = Write("before.adi", Contact("20M", "CW"));
    Open(before);
    const QString path = WriteSameContacts("cw.adi", Contact("20M", "CW", "EU"));
    AtClockReading(2, [&] { form->BandModeTally.C20 = kMax; });
    Open(path);
    ExpectOneError(CannotCount(path, "C20"));
    ExpectNoLogState();
    EXPECT_EQ(form->BandModeTally.C20, 0);
    // The program keeps running.
    Trigger("mnuVer");
    Open(path);
    ExpectShows(path);
    EXPECT_EQ(form->BandModeTally.C20, 12000);
}

TEST_F(ForcedCounter, BandTotalPassingTheLimitWhileTheTableIsFilledLeavesNoPartialTable) {
    const QString path =
        Write("total.adi", Contact("40M", "CW") + Repeat(Contact("", "", "EU"), 12000));
    AtClockReading(2, [&] { form->BandModeTally.S40 = kMax; });
    Open(path);
    ExpectOneError(CannotCount(path, "Total40"));
    ExpectNoLogState();
}

TEST_F(ForcedCounter, OthersCounterIsNamed) {
    const QString path = WriteSameContacts("others.adi", Contact("60M", "SSB"));
    AtClockReading(3, [&] { form->BandModeTally.OthersTotal = kMax; });
    Open(path);
    ExpectOneError(CannotCount(path, "OthersTotal"));
    ExpectNoLogState();
}

TEST_F(ForcedCounter, ContinentCounterIsNamedAndTheWindowIsNotShown) {
    const QString path = WriteSameContacts("eu.adi", Contact("20M", "CW", "EU"));
    Open(path);
    bool found = false;
    AtClockReading(2, [&] {
        if (Form2* loading = LoadingContinentWindow()) {
            found = true;
            loading->ContinentBandTally.EU20 = kMax;
        }
    });
    Trigger("mnuContinent");
    EXPECT_TRUE(found);
    ExpectOneError(CannotCount(path, "EU20"));
    EXPECT_EQ(Window("Form2"), nullptr);
    ExpectShows(path);  // the main window keeps its log
    Trigger("mnuContinent");
    QWidget* w = Window("Form2");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(Grid(w)->TextMatrix(6, 4), "12000");
}

TEST_F(ForcedCounter, ContinentTotalIsNamedAndTheWindowIsNotShown) {
    const QString path = WriteSameContacts("eu.adi", Contact("20M", "CW", "EU"));
    Open(path);
    AtClockReading(2, [&] {
        if (Form2* loading = LoadingContinentWindow()) loading->ContinentBandTally.EU40 = kMax;
    });
    Trigger("mnuContinent");
    ExpectOneError(CannotCount(path, "EUtotal"));
    EXPECT_EQ(Window("Form2"), nullptr);
    ExpectShows(path);
}

}  // namespace
