// Logs that somebody else's program wrote, or files picked by mistake, through the windows:
// each gives the right counts or a clear error, never a crash, a hang or a partial count shown
// as a result, and the program goes on with the log handle free.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFileInfo>
#include <csignal>
#include <random>

#include "form2.h"
#include "gui_support.h"

namespace guitest {
namespace {

using quorvane::LogLineScanner;
using namespace std::string_literals;

// Runs `what`, ending the test program as failed if it hangs.
void WithoutHanging(const std::function<void()>& what) {
    std::signal(SIGALRM, [](int) { std::_Exit(124); });
    ::alarm(20);
    what();
    ::alarm(0);
}

class HostileLog : public WindowTest {
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
        EXPECT_EQ(MainCells(), ExpectedBandModeCells(countedAs));
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
};

void PrintTo(const Hostile& h, std::ostream* out) { *out << h.name; }

// A file `name` written with what `content` gives when the test runs.
auto File(const char* name, std::function<std::string()> content) {
    return [name, content](const QTemporaryDir& dir) {
        return std::pair(WriteFile(dir.filePath(name), content()), QString());
    };
}
auto File(const char* name, std::string content) {
    return File(name, [content] { return content; });
}

std::string RandomBytes() {
    std::string bytes(10u << 20, '\0');
    std::mt19937 random(20240605);
    for (char& byte : bytes) byte = static_cast<char>(random());
    return bytes;
}

std::string Utf16(const std::string& ascii) {
    std::string out = "\xFF\xFE";
    for (char ch : ascii) out += ch + "\0"s;
    return out;
}

const std::string kTwo = Contact("20M", "CW", "EU") + Contact("40M", "SSB", "NA");

const Hostile kHostile[] = {
    {"DeletedAfterItWasChosen",
     [](auto& d) {
         const QString path = WriteFile(d.filePath("contest.adi"), kTwo);
         QFile::remove(path);
         return std::pair(path, QString());
     },
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
    {"NoLineBreaks",
     File("oneline.adi",
          [] {
              return Repeat("<CALL:5>DL1AB <BAND:3>40M <MODE:3>SSB <EOR> ", 95000) +
                     "<BAND:3>20M <MODE:2>CW";
          }),
     nullptr, "1", 16},
    {"GrowingWhileScanned", File("growing.adi", [] { return Generated(6000, 7); }), nullptr,
     nullptr, 0,
     [](const QString& path) {
         QFile file(path);
         ASSERT_TRUE(file.open(QIODevice::Append));
         file.write(QByteArray::fromStdString(Repeat(Contact("160M", "RTTY", "SA"), 20000)));
     }},
    // Shrunk at the first yield: what is counted is what was read, 400,000 bytes.
    {"ShrinkingWhileScanned",
     [](auto& d) {
         const std::string log = Generated(6000, 7);
         return std::pair(WriteFile(d.filePath("shrinking.adi"), log),
                          WriteFile(d.filePath("read.adi"), log.substr(0, 400000)));
     },
     nullptr, nullptr, 0, [](const QString& path) { ASSERT_TRUE(QFile::resize(path, 400000)); }},
};

class OpenCommand : public HostileLog, public ::testing::WithParamInterface<Hostile> {};

// A log is shown first, so that a refusal has a table to wipe; the program goes on after.
TEST_P(OpenCommand, CountsTheFileOrRefusesItAtOnce) {
    const Hostile& h = GetParam();
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
    WithoutHanging([&] { Open(path); });
    if (h.refused) {
        EXPECT_EQ(errors, QStringList(QString("Cannot open \"%1\": %2.").arg(path, h.refused)));
        ExpectNoLogState();
        Trigger("mnuChart");  // the mode chart too has no log to show
        EXPECT_EQ(Window("Form3"), nullptr);
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
    EXPECT_EQ(DataCells(*Grid(Window("Form2"))), ExpectedContinentCells(path));
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
    {"ReplacedByAFifo", "not a regular file",
     [](const QString& path) {
         QFile::remove(path), ::mkfifo(QFile::encodeName(path).constData(), 0600);
     }},
    {"ReplacedByALinkToACharacterDevice", "not a regular file",
     [](const QString& path) { QFile::remove(path), QFile::link("/dev/zero", path); }},
};

class ChangedBeforeRescan : public HostileLog,
                            public ::testing::WithParamInterface<std::tuple<const char*, int>> {};

TEST_P(ChangedBeforeRescan, IsReportedTheWindowIsNotShownAndTheMainWindowKeepsItsLog) {
    const auto [command, index] = GetParam();
    const Change* change = &kChanges[index];
    const QString window = command == "mnuContinent"s ? "Form2" : "Form5";
    if (change->bindsRoot && ::geteuid() == 0)
        GTEST_SKIP() << "file permissions do not bind root, who runs this test";
    const std::string content = kTwo + "<QSL_SENT:1>Y\r\n";
    const QString path = Write("log.adi", content);
    Open(path);
    change->apply(path);
    WithoutHanging([&] { Trigger(command); });
    EXPECT_EQ(errors, QStringList(QString("Cannot open \"%1\": %2.").arg(path, change->reason)));
    EXPECT_EQ(Window(window), nullptr);
    ExpectShows(path, Write("copy.adi", content));
}

INSTANTIATE_TEST_SUITE_P(ContinentAndQslWindow, ChangedBeforeRescan,
                         ::testing::Combine(::testing::Values("mnuContinent", "mnuQSLReceived"),
                                            ::testing::Range(0, 4)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param)) + "_Log" +
                                    kChanges[std::get<1>(info.param)].name;
                         });

// ---- counters forced to 2,147,483,647 from a yield, before an increase: the error names the
// counter, no partial count is shown, and the program keeps running

TEST_F(HostileLog, CounterForcedToTheLimitFromAYieldIsNamed) {
    const QString path = Write("eu.adi", Repeat(Contact("20M", "CW", "EU"), 12000));
    const QString message = "Cannot count \"" + path + "\": the count %1 would pass 2,147,483,647.";
    AtClockReading(2, [&] { form->BandModeTally.C20 = 2147483647; });
    Open(path);
    EXPECT_EQ(errors, QStringList(message.arg("C20")));
    ExpectNoLogState();
    Open(path);
    ExpectShows(path, path);
    AtClockReading(2, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())  // the window loading, not yet shown
            if (auto* loading = qobject_cast<Form2*>(w))
                loading->ContinentBandTally.EU20 = 2147483647;
    });
    Trigger("mnuContinent");
    EXPECT_EQ(errors, QStringList({message.arg("C20"), message.arg("EU20")}));
    EXPECT_EQ(Window("Form2"), nullptr);
    ExpectShows(path, path);  // the main window keeps its log
}

}  // namespace
}  // namespace guitest
