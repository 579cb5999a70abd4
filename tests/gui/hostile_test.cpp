// Logs that somebody else's program wrote, or files picked by mistake, through the windows:
// each gives the right counts or a clear error, never a crash, a hang or a partial count shown
// as a result, and the program goes on with the log handle free.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <atomic>
#include <cstring>
#include <future>
#include <random>
#include <thread>

#include "form2.h"
#include "gui_support.h"

namespace {

using guitest::Contact;
using guitest::Repeat;
using guitest::Window;
using quorvane::LogLineScanner;
using namespace std::chrono_literals;
using namespace std::string_literals;

// Fails a test that would otherwise hang: after 10 s it gives a FIFO that waits for a writer
// one (which at once ends its data) and asks the main window to close, which stops an endless
// scan at its next yield; if even that does not help, the test program ends.
class Watchdog {
  public:
    explicit Watchdog(QWidget* form, const QString& fifo = {})
        : thread_([this, form, path = QFile::encodeName(fifo).toStdString()] {
              if (future_.wait_for(10s) == std::future_status::ready) return;
              fired = true;
              if (const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK); fd >= 0) ::close(fd);
              QMetaObject::invokeMethod(
                  form, [form] { form->close(); }, Qt::QueuedConnection);
              if (future_.wait_for(30s) != std::future_status::ready) std::_Exit(1);
          }) {}
    ~Watchdog() {
        done_.set_value();
        thread_.join();
    }
    std::atomic<bool> fired{false};

  private:
    std::promise<void> done_;
    std::future<void> future_ = done_.get_future();
    std::thread thread_;  // last: starts once the rest is in place
};

bool RunningAsRoot() { return ::geteuid() == 0; }
const char* const kRootSkip = "file permissions do not bind root, who runs this test";

class HostileLog : public guitest::WindowTest {
  protected:
    // Nothing held, no busy notice, the commands that start a scan live again.
    void ExpectIdle() const {
        EXPECT_FALSE(LogLineScanner::HandleHeld());
        EXPECT_EQ(Window("Form6"), nullptr);
        for (const char* name : {"mnuOpen", "mnuContinent", "mnuQSLReceived"})
            EXPECT_TRUE(Action(name)->isEnabled()) << name;
    }
    void ExpectNoLogState() const {
        EXPECT_TRUE(form->FileName.isEmpty());
        EXPECT_EQ(form->windowTitle(), "Quorvane");
        EXPECT_EQ(MainCells(), QStringList(48, ""));
        ExpectIdle();
    }
    void ExpectShows(const QString& path, const QString& countedAs) const {
        EXPECT_EQ(form->FileName, path);
        EXPECT_EQ(form->windowTitle(), QFileInfo(path).fileName());
        EXPECT_EQ(MainCells(), guitest::ExpectedBandModeCells(countedAs));
        ExpectIdle();
    }
};

// ---- any file through the open command

struct Hostile {
    const char* name;
    // Makes the file; returns its path and, if it is to change during the scan, the file that
    // holds what the scan must count.
    std::function<std::pair<QString, QString>(const QTemporaryDir&)> make;
    const char* refused = nullptr;  // the reason, or null: counted like the tally counts it
    const char* total = nullptr;    // the table's grand total, when it matters
    int blocks = 0;                 // at least this many yields, the menus live at the fourth
    std::function<void(const QString& path)> duringScan = {};  // at the first yield
    bool bindsRoot = false;
};

void PrintTo(const Hostile& h, std::ostream* out) { *out << h.name; }

// A file `name` written with what `content` gives when the test runs.
auto File(const char* name, std::function<std::string()> content) {
    return [name, content](const QTemporaryDir& dir) {
        return std::pair(guitest::WriteFile(dir.filePath(name), content()), QString());
    };
}
auto File(const char* name, std::string content) {
    return File(name, [content] { return content; });
}

std::string RandomBytes() {
    std::mt19937_64 random(20240605);
    std::string bytes(10u << 20, '\0');
    for (std::size_t i = 0; i + 8 <= bytes.size(); i += 8) {
        const std::uint64_t word = random();
        std::memcpy(&bytes[i], &word, 8);
    }
    return bytes;
}

std::string Utf16(const std::string& ascii) {
    std::string out = "\xFF\xFE";
    for (char ch : ascii) out += ch + "\0"s;
    return out;
}

std::string OneLine() {
    std::string log;
    while (log.size() < (4u << 20)) log += "<CALL:5>DL1AB <BAND:3>40M <MODE:3>SSB <EOR> ";
    return log + "<BAND:3>20M <MODE:2>CW";
}

std::string HugeLine() {
    return "<BAND:3>40M <MODE:2>CW\r\n<BAND:3>20M " + std::string(24u << 20, 'x') +
           " <MODE:2>CW\r\n";
}

const std::string kTwo = Contact("20M", "CW", "EU") + Contact("40M", "SSB", "NA");

// A generated log of seven blocks that shrinks to `size` at the first yield: what is counted
// is the first block and whatever of the rest is still there.
auto Shrinking(qint64 size) {
    return [size](const QTemporaryDir& dir) {
        const std::string log = guitest::Generated(6000, 7);
        const auto head = std::max<qint64>(size, qint64(LogLineScanner::kBlockSize));
        return std::pair(guitest::WriteFile(dir.filePath("shrinking.adi"), log),
                         guitest::WriteFile(dir.filePath("read.adi"), log.substr(0, head)));
    };
}

auto Shrink(qint64 size) {
    return [size](const QString& path) { ASSERT_TRUE(QFile::resize(path, size)); };
}

const Hostile kHostile[] = {
    {"Missing", [](auto& d) { return std::pair(d.filePath("no.adi"), QString()); },
     "No such file or directory"},
    {"Directory", [](auto& d) { return std::pair(d.path(), QString()); }, "Is a directory"},
    {"Fifo",
     [](auto& d) {
         const QString path = d.filePath("pipe.adi");
         EXPECT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
         return std::pair(path, QString());
     },
     "not a regular file"},
    {"CharacterDevice", [](auto&) { return std::pair(QString("/dev/zero"), QString()); },
     "not a regular file"},
    {"Unreadable",
     [](auto& d) {
         const auto made = File("locked.adi", kTwo)(d);
         EXPECT_EQ(::chmod(QFile::encodeName(made.first).constData(), 0), 0);
         return made;
     },
     "Permission denied",
     nullptr,
     0,
     {},
     true},
    {"Empty", File("empty.adi", ""), nullptr, "0"},
    {"TenMegabytesOfRandomBytes", File("random.adi", RandomBytes), nullptr, nullptr, 40},
    {"NulBytesInsideLines",
     File("nul.adi",
          "<BAND:3>20M\0<MODE:2>CW\0\r\n\0\0<BAND:3>40M <MODE:3>SSB\0\r\n"
          "<BAND:3>80M <MO\0DE:2>CW\r\n<BAND:3>15M\0\r\0\n<MODE:2>CW\n"s),
     nullptr, "2"},
    {"Utf16WithByteOrderMark", File("utf16.adi", Utf16("<EOH>\r\n" + kTwo)), nullptr, "0"},
    {"Utf8WithByteOrderMarkCountsItsFirstLine", File("bom.adi", "\xEF\xBB\xBF" + kTwo), nullptr,
     "2"},
    {"NoLineBreaks", File("oneline.adi", OneLine), nullptr, "1", 16},
    {"LineOfTwentyFourMegabytes", File("huge.adi", HugeLine), nullptr, "2"},
    {"GrowingWhileScanned", File("growing.adi", [] { return guitest::Generated(6000, 7); }),
     nullptr, nullptr, 0,
     [](const QString& path) {
         QFile file(path);
         ASSERT_TRUE(file.open(QIODevice::Append));
         file.write(QByteArray::fromStdString(Repeat(Contact("160M", "RTTY", "SA"), 20000)));
     }},
    {"ShrinkingToNothingWhileScanned", Shrinking(0), nullptr, nullptr, 0, Shrink(0)},
    {"ShrinkingWhileScanned", Shrinking(400000), nullptr, nullptr, 0, Shrink(400000)},
};

class OpenCommand : public HostileLog, public ::testing::WithParamInterface<Hostile> {};

// A log is shown first, so that a refusal has a table to wipe; the program goes on after.
TEST_P(OpenCommand, CountsTheFileOrRefusesItAtOnce) {
    const Hostile& h = GetParam();
    if (h.bindsRoot && RunningAsRoot()) GTEST_SKIP() << kRootSkip;
    const QString before = Write("before.adi", Contact("20M", "CW") + Contact("40M", "SSB"));
    Open(before);
    const auto made = h.make(dir);
    const QString path = made.first, countedAs = made.second;
    bool live = false;
    AtClockReading(-1, {});
    if (h.duringScan) AtClockReading(2, [&] { h.duringScan(path); });
    if (h.blocks) {
        AtClockReading(4, [&] {
            Trigger("mnuVer");
            Trigger("mnuChart");  // opened in the middle, from the counts so far
            live = LogLineScanner::HandleHeld() && Window("Form3");
        });
    }
    {
        Watchdog watchdog(form.get(), path);
        Open(path);
        EXPECT_FALSE(watchdog.fired) << "the open hung";
    }
    if (h.refused) {
        EXPECT_EQ(errors, QStringList(QString("Cannot open \"%1\": %2.").arg(path, h.refused)));
        ExpectNoLogState();
        Open(before);
        ExpectShows(before, before);
        return;
    }
    EXPECT_TRUE(errors.isEmpty()) << errors.join("\n").toStdString();
    ExpectShows(path, countedAs.isEmpty() ? path : countedAs);
    EXPECT_EQ(MainGrid().TextMatrix(11, 4), h.total ? h.total : MainCells()[43]);
    EXPECT_GE(clockReadings, h.blocks);
    EXPECT_EQ(live, h.blocks > 0);
    Trigger("mnuContinent");
    ASSERT_NE(Window("Form2"), nullptr);
    EXPECT_EQ(guitest::DataCells(*guitest::Grid(Window("Form2"))),
              guitest::ExpectedContinentCells(path));
}

INSTANTIATE_TEST_SUITE_P(AnyFile, OpenCommand, ::testing::ValuesIn(kHostile),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- the log changed between the open command and the continent or QSL window's own scan

struct Change {
    const char* name;
    const char* reason;
    void (*apply)(const QString& path);
    bool bindsRoot = false;
};

const Change kChanges[] = {
    {"Deleted", "No such file or directory", [](const QString& path) { QFile::remove(path); }},
    {"MadeUnreadable", "Permission denied",
     [](const QString& path) { ::chmod(QFile::encodeName(path).constData(), 0); }, true},
    {"ReplacedByADirectory", "Is a directory",
     [](const QString& path) { QFile::remove(path), QDir().mkdir(path); }},
    {"ReplacedByAFifo", "not a regular file",
     [](const QString& path) {
         QFile::remove(path), ::mkfifo(QFile::encodeName(path).constData(), 0600);
     }},
    {"ReplacedByALinkToACharacterDevice", "not a regular file",
     [](const QString& path) { QFile::remove(path), QFile::link("/dev/zero", path); }},
};

class ChangedBeforeRescan
    : public HostileLog,
      public ::testing::WithParamInterface<std::tuple<const char*, const Change*>> {};

TEST_P(ChangedBeforeRescan, IsReportedTheWindowIsNotShownAndTheMainWindowKeepsItsLog) {
    const auto [command, change] = GetParam();
    const QString window = command == "mnuContinent"s ? "Form2" : "Form5";
    if (change->bindsRoot && RunningAsRoot()) GTEST_SKIP() << kRootSkip;
    const std::string content = kTwo + "<QSL_SENT:1>Y\r\n";
    const QString path = Write("log.adi", content);
    Open(path);
    change->apply(path);
    {
        Watchdog watchdog(form.get(), path);
        Trigger(command);
        EXPECT_FALSE(watchdog.fired) << "the rescan hung";
    }
    EXPECT_EQ(errors, QStringList(QString("Cannot open \"%1\": %2.").arg(path, change->reason)));
    EXPECT_EQ(Window(window), nullptr);
    ExpectShows(path, Write("copy.adi", content));
    // Once the log is back, the same command opens the window.
    QFile::remove(path);
    QDir().rmdir(path);
    Write("log.adi", content);
    Trigger(command);
    EXPECT_EQ(errors.size(), 1);
    ASSERT_NE(Window(window), nullptr);
    EXPECT_TRUE(Window(window)->isVisible());
}

INSTANTIATE_TEST_SUITE_P(ContinentAndQslWindow, ChangedBeforeRescan,
                         ::testing::Combine(::testing::Values("mnuContinent", "mnuQSLReceived"),
                                            ::testing::Values(&kChanges[0], &kChanges[1],
                                                              &kChanges[2], &kChanges[3],
                                                              &kChanges[4])),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param)) + "_Log" +
                                    std::get<1>(info.param)->name;
                         });

// ---- counters forced to 2,147,483,647 from a yield, before an increase: the error names the
// counter, no partial count is shown, and the program keeps running

TEST_F(HostileLog, CounterForcedToTheLimitInTheOpenCommandIsNamed) {
    const QString path = Write(
        "cw.adi", Repeat(Contact("20M", "CW", "EU"), 12000) + Repeat(Contact("40M", "CW"), 1));
    for (const auto& [counter, force] : std::vector<std::pair<const char*, void (*)(Form1&)>>{
             {"C20", [](Form1& f) { f.BandModeTally.C20 = 2147483647; }},
             {"Total40", [](Form1& f) { f.BandModeTally.R40 = 2147483647; }}}) {
        SCOPED_TRACE(counter);
        errors.clear();
        AtClockReading(2, [&, force = force] { force(*form); });
        Open(path);
        EXPECT_EQ(errors, QStringList(QString("Cannot count \"%1\": the count %2 would pass "
                                              "2,147,483,647.")
                                          .arg(path, counter)));
        ExpectNoLogState();
    }
    Open(path);
    ExpectShows(path, path);
}

TEST_F(HostileLog, ContinentCounterForcedToTheLimitIsNamedAndTheWindowIsNotShown) {
    const QString path = Write("eu.adi", Repeat(Contact("20M", "CW", "EU"), 12000));
    Open(path);
    AtClockReading(2, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())  // the window loading, not yet shown
            if (auto* loading = qobject_cast<Form2*>(w))
                loading->ContinentBandTally.EU20 = 2147483647;
    });
    Trigger("mnuContinent");
    EXPECT_EQ(errors, QStringList(QString("Cannot count \"%1\": the count EU20 would pass "
                                          "2,147,483,647.")
                                      .arg(path)));
    EXPECT_EQ(Window("Form2"), nullptr);
    ExpectShows(path, path);  // the main window keeps its log
    Trigger("mnuContinent");
    ASSERT_NE(Window("Form2"), nullptr);
    EXPECT_EQ(guitest::Grid(Window("Form2"))->TextMatrix(6, 4), "12000");
}

}  // namespace
