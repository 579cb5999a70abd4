// Random sequences of what a user can do: menu commands of every open window, logs opened,
// cancelled or missing, windows closed, and all of that in the middle of scans as well, through
// the scans' yield. After every step: at most one window of each kind, the log handle free when
// no scan runs, and the main table showing the last completed log or nothing.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMetaObject>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "form2.h"
#include "gui_support.h"
#include "loggen.h"
#include "quorvane/log_line_scanner.h"

namespace {

using guitest::DataCells;
using guitest::FlushDeletes;
using guitest::Grid;
using quorvane::LogLineScanner;

const char* const kKinds[] = {"Form2", "Form3", "Form4", "Form5", "Form6"};

// The logs that the chooser can return, each with the tables it must give.
struct Log {
    QString path;
    QStringList bandMode;
    QStringList continent;
    std::string content;
};

class Logs {
  public:
    Logs() {
        struct Spec {
            std::uint64_t contacts;
            std::uint64_t seed;
            quorvane::loggen::LineEnd lineEnd;
        };
        using quorvane::loggen::LineEnd;
        // Small logs of each line end, then one of seven of the scanner's blocks.
        const Spec specs[] = {{0, 1, LineEnd::CRLF},    {40, 2, LineEnd::CRLF},
                              {120, 3, LineEnd::LF},    {200, 4, LineEnd::CR},
                              {300, 5, LineEnd::Mixed}, {6000, 6, LineEnd::CRLF}};
        int n = 0;
        for (const Spec& spec : specs) {
            quorvane::loggen::Options options;
            options.contacts = spec.contacts;
            options.seed = spec.seed;
            options.lineEnd = spec.lineEnd;
            logs_.push_back(
                Make(QString("log%1.adi").arg(n++), quorvane::loggen::Generate(options)));
        }
        flaky_ = Make("flaky.adi", quorvane::loggen::Generate({}));
        missing_ = dir_.filePath("missing.adi");
    }

    const std::vector<Log>& all() const { return logs_; }
    const Log& large() const { return logs_.back(); }
    const Log& flaky() const { return flaky_; }
    const QString& missing() const { return missing_; }

    // The log at `path`, or nullptr for a path that is no log.
    const Log* Find(const QString& path) const {
        for (const Log& log : logs_)
            if (log.path == path) return &log;
        if (path == flaky_.path) return &flaky_;
        return nullptr;
    }

  private:
    Log Make(const QString& name, const std::string& content) {
        Log log;
        log.path = dir_.filePath(name);
        log.content = content;
        QFile file(log.path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content.data(), static_cast<qint64>(content.size()));
        file.close();
        log.bandMode = guitest::ExpectedBandModeCells(log.path);
        log.continent = guitest::ExpectedContinentCells(log.path);
        return log;
    }

    QTemporaryDir dir_;
    std::vector<Log> logs_;
    Log flaky_;  // deleted and written again by the walk
    QString missing_;
};

// One user clicking at random, with a model of what the main window must show.
class Walk {
  public:
    Walk(const Logs& logs, std::uint32_t seed) : logs_(logs), random_(seed) {}
    ~Walk() { End(); }

    void Start() {
        auto chooser = [this](const QString&) {
            ++asks_;
            return chosen_ = forced_.isEmpty() ? ChooseLog() : forced_;
        };
        auto reporter = [this](const QString& message) { errors_ << message; };
        auto clock = [this] {
            now_ += std::chrono::milliseconds(20);
            ++readings_;
            if (endAt_ > 0 && ++endReadings_ == endAt_) PostEnd();
            // A user event arriving while the scan reads: run when the scan yields.
            if (depth_ == 1 && !ended_ && LogLineScanner::HandleHeld() && Chance(35)) {
                QMetaObject::invokeMethod(
                    form_.get(), [this] { Step(true); }, Qt::QueuedConnection);
            }
            return now_;
        };
        form_ = std::make_unique<Form1>(chooser, reporter, clock);
        form_->show();
        fileName_.clear();
        caption_ = "Quorvane";
        cells_ = QStringList(48, "");
        expectedErrors_ = 0;
        endAt_ = 0;
        ended_ = false;
        errors_.clear();
    }

    // Closes the main window, which must take every other window with it.
    void End() {
        if (!form_) return;
        QCoreApplication::sendPostedEvents();
        form_->close();
        QCoreApplication::sendPostedEvents();
        FlushDeletes();
        for (const char* kind : kKinds) EXPECT_EQ(Count(kind), 0) << kind;
        form_.reset();
        FlushDeletes();
        EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
        EXPECT_FALSE(LogLineScanner::HandleHeld());
    }

    enum class Scan { kOpen, kContinent, kQsl };

    // Ends the program from inside a scan of the large log, by "Exit" or by closing the main
    // window: at clock reading `at` of the scan, or with `at` 0 before it reads anything, while
    // the busy notice is put up. The scan runs in the application's event loop, as it does in
    // the program, and the main window is then destroyed as main() does.
    void EndInScan(Scan scan, int at, bool byExit) {
        if (scan != Scan::kOpen) {
            // The log shown, and no window loaded that the scan is to load.
            if (fileName_ != logs_.large().path) OpenLarge();
            for (const char* kind : {"Form2", "Form5"})
                if (QWidget* w = Window(kind)) w->close();
            FlushDeletes();
            CheckIdle();
        }
        forced_ = logs_.large().path;
        endByExit_ = byExit;
        endAt_ = at;
        endReadings_ = 0;
        const char* command = scan == Scan::kOpen        ? "mnuOpen"
                              : scan == Scan::kContinent ? "mnuContinent"
                                                         : "mnuQSLReceived";
        QTimer::singleShot(0, form_.get(), [this, command, at] {
            if (at == 0) PostEnd();
            ++depth_;
            Trigger(form_.get(), command);
            --depth_;
        });
        QTimer::singleShot(20000, qApp, [] { QCoreApplication::exit(99); });
        EXPECT_EQ(QApplication::exec(), 0) << "the program did not end";
        EXPECT_TRUE(ended_);
        EXPECT_LE(readings_ - readingsAtEnd_, 1) << "blocks were read after the end";
        EXPECT_FALSE(LogLineScanner::HandleHeld());
        FlushDeletes();
        EXPECT_EQ(Count("Form2"), 0);
        EXPECT_EQ(Count("Form6"), 0);
        if (!byExit) {
            for (const char* kind : kKinds) EXPECT_EQ(Count(kind, true), 0) << kind;
        }
        // main() destroys the main window once the event loop has ended.
        form_.reset();
        FlushDeletes();
        EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
        forced_.clear();
    }

    // One step at the top level, with whatever it left queued, then the checks.
    void TopLevelStep(int index) {
        step_ = index;
        Step(false);
        QCoreApplication::sendPostedEvents();
        FlushDeletes();
        CheckIdle();
    }

    // What the walk went through, to show that it reached the interesting cases.
    struct Tally {
        int nested = 0;      // steps run inside a scan
        int logsShown = 0;   // open commands that completed
        int openErrors = 0;  // open commands refused
        int loadErrors = 0;  // continent or QSL windows refused
    };
    const Tally& tally() const { return tally_; }

  private:
    enum Command { kOpen, kChart, kQsl, kContinent, kContinentChart, kVersion, kClose, kFlaky };

    bool Chance(int percent) {
        return std::uniform_int_distribution<int>(0, 99)(random_) < percent;
    }
    template <typename T>
    const T& Pick(const std::vector<T>& items) {
        return items[std::uniform_int_distribution<std::size_t>(0, items.size() - 1)(random_)];
    }

    QString ChooseLog() {
        const int roll = std::uniform_int_distribution<int>(0, 99)(random_);
        if (roll < 10) return QString();  // cancel
        if (roll < 18) return logs_.missing();
        if (roll < 36) return logs_.flaky().path;
        if (roll < 54) return logs_.large().path;
        return Pick(logs_.all()).path;
    }

    void OpenLarge() {
        forced_ = logs_.large().path;
        Open();
        forced_.clear();
    }

    void PostEnd() {
        QMetaObject::invokeMethod(
            form_.get(),
            [this] {
                ended_ = true;
                readingsAtEnd_ = readings_;
                if (endByExit_)
                    Trigger(form_.get(), "mnuExit");
                else
                    form_->close();
            },
            Qt::QueuedConnection);
    }

    void Step(bool nested) {
        if (ended_) return;  // no user is left
        ++depth_;
        if (nested) ++tally_.nested;
        static const std::vector<Command> kTop = {
            kOpen,      kOpen,           kOpen,    kChart, kQsl,   kQsl,   kContinent,
            kContinent, kContinentChart, kVersion, kClose, kClose, kFlaky, kFlaky};
        static const std::vector<Command> kNested = {kOpen,           kChart,   kQsl,   kContinent,
                                                     kContinentChart, kVersion, kClose, kClose};
        const Command command = Pick(nested ? kNested : kTop);
        if (LogLineScanner::HandleHeld()) CheckScanning();
        Run(command);
        if (LogLineScanner::HandleHeld()) CheckScanning();
        --depth_;
    }

    void Run(Command command) {
        switch (command) {
            case kOpen:
                return Open();
            case kChart:
                return Trigger(form_.get(), "mnuChart");
            case kQsl:
                return ShowQsl();
            case kContinent:
                return ShowContinent();
            case kContinentChart:
                return Trigger(Visible("Form2"), "mnuChat");
            case kVersion:
                return Trigger(form_.get(), "mnuVer");
            case kClose:
                return CloseOne();
            case kFlaky:
                return ToggleFlaky();
        }
    }

    static void Trigger(QWidget* window, const char* name) {
        if (!window) return;
        QAction* action = window->findChild<QAction*>(QLatin1String(name));
        ASSERT_NE(action, nullptr) << name;
        action->trigger();  // does nothing while the item is greyed, as for a user
    }

    void Open() {
        const int asks = asks_;
        const bool enabled = Action("mnuOpen")->isEnabled();
        Trigger(form_.get(), "mnuOpen");
        // Steps in the middle of this one may not ask.
        if (!enabled) {
            EXPECT_EQ(asks_, asks) << Where() << "a greyed Open ADIF asked for a log";
            return;
        }
        ASSERT_EQ(asks_, asks + 1) << Where();
        fileName_ = chosen_;
        if (chosen_.isEmpty()) return;  // table and caption stay
        const Log* log = logs_.Find(chosen_);
        if (log && QFileInfo::exists(chosen_)) {
            caption_ = QFileInfo(chosen_).fileName();
            cells_ = log->bandMode;
            ++tally_.logsShown;
        } else {
            ForgetLog();
        }
    }

    void ShowContinent() {
        const QPointer<QWidget> before = Window("Form2");
        const bool failing = !fileName_.isEmpty() && !QFileInfo::exists(fileName_) &&
                             Action("mnuContinent")->isEnabled() && !before;
        Trigger(form_.get(), "mnuContinent");
        if (failing) {
            ++expectedErrors_;
            ++tally_.loadErrors;
        }
        // A window that appears must be a new one, loaded for the log shown, and no scan can
        // load one while another scan holds the log.
        QWidget* after = Window("Form2");
        if (after && after != before.data()) {
            EXPECT_FALSE(LogLineScanner::HandleHeld())
                << Where() << "a continent window appeared in the middle of a scan";
            const Log* log = logs_.Find(fileName_);
            ASSERT_NE(log, nullptr) << Where() << "a continent window without a log";
            EXPECT_EQ(DataCells(*Grid(after)), log->continent) << Where();
        }
    }

    // As the continent window, when the log shown was deleted meanwhile.
    void ShowQsl() {
        const bool failing = !fileName_.isEmpty() && !QFileInfo::exists(fileName_) &&
                             Action("mnuQSLReceived")->isEnabled() && !Window("Form5");
        Trigger(form_.get(), "mnuQSLReceived");
        if (failing) {
            ++expectedErrors_;
            ++tally_.loadErrors;
        }
    }

    void CloseOne() {
        std::vector<QWidget*> open;
        for (const char* kind : kKinds)
            if (QWidget* w = Visible(kind)) open.push_back(w);
        if (!open.empty()) Pick(open)->close();
    }

    void ToggleFlaky() {
        const QString path = logs_.flaky().path;
        if (QFile::exists(path)) {
            QFile::remove(path);
            return;
        }
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        const std::string& content = logs_.flaky().content;
        file.write(content.data(), static_cast<qint64>(content.size()));
    }

    void ForgetLog() {
        fileName_.clear();
        caption_ = "Quorvane";
        cells_ = QStringList(48, "");
        ++expectedErrors_;
        ++tally_.openErrors;
    }

    QAction* Action(const char* name) const {
        return form_->findChild<QAction*>(QLatin1String(name));
    }
    // Windows by kind; those already deleted are gone at the top level.
    static QWidget* Window(const char* kind) {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String(kind) && w->isVisible()) return w;
        return nullptr;
    }
    static QWidget* Visible(const char* kind) { return Window(kind); }
    static int Count(const char* kind, bool visibleOnly = false) {
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            n += w->objectName() == QLatin1String(kind) && (!visibleOnly || w->isVisible());
        return n;
    }
    std::string Where() const {
        return "step " + std::to_string(step_) + (depth_ > 1 ? " (nested)" : "") + ": ";
    }

    // In the middle of a scan: the table still shows what it showed, nothing is duplicated and
    // the commands that would start a second scan are greyed.
    void CheckScanning() {
        for (const char* kind : kKinds) EXPECT_LE(Count(kind, true), 1) << Where() << kind;
        EXPECT_FALSE(Action("mnuOpen")->isEnabled()) << Where();
        EXPECT_EQ(DataCells(*Grid(form_.get())), cells_) << Where();
    }

    void CheckIdle() {
        for (const char* kind : kKinds) EXPECT_LE(Count(kind), 1) << Where() << kind;
        EXPECT_EQ(Count("Form6"), 0) << Where();
        EXPECT_FALSE(LogLineScanner::HandleHeld()) << Where();
        for (const char* name : {"mnuOpen", "mnuContinent", "mnuQSLReceived"})
            EXPECT_TRUE(Action(name)->isEnabled()) << Where() << name;
        EXPECT_EQ(form_->FileName, fileName_) << Where();
        EXPECT_EQ(form_->windowTitle(), caption_) << Where();
        EXPECT_EQ(DataCells(*Grid(form_.get())), cells_) << Where();
        EXPECT_EQ(errors_.size(), expectedErrors_) << Where() << errors_.join("\n").toStdString();
        expectedErrors_ = static_cast<int>(errors_.size());  // one miss is reported once
    }

    const Logs& logs_;
    std::mt19937 random_;
    std::unique_ptr<Form1> form_;
    std::chrono::steady_clock::time_point now_{};
    QString chosen_;
    int asks_ = 0;
    QStringList errors_;
    int expectedErrors_ = 0;
    QString fileName_, caption_;
    QStringList cells_;
    int depth_ = 0;
    int step_ = 0;
    Tally tally_;
    QString forced_;  // what the chooser answers, when not empty
    int readings_ = 0;
    int endAt_ = 0;
    int endReadings_ = 0;
    int readingsAtEnd_ = 0;
    bool endByExit_ = false;
    bool ended_ = false;
};

const Logs& SharedLogs() {
    static const Logs logs;
    return logs;
}

// A window closed while a scan yields is deleted only after the scan, when control is back in
// the event loop; until then its command must not bring the closed window back.
class ClosedDuringScan : public guitest::WindowTest {
  protected:
    void SetUp() override {
        guitest::WindowTest::SetUp();
        Open(guitest::WindowTest::Write("small.adi", guitest::Contact("20M", "CW", "EU")));
        Trigger("mnuContinent");
        Trigger("mnuQSLReceived");
        Trigger("mnuChart");
        guitest::Window("Form2")->findChild<QAction*>("mnuChat")->trigger();
    }
    struct Seen {
        bool enabled;        // the command, right after the close
        bool visibleInScan;  // a window of the kind, after the command
        bool visibleAfter;   // the same, once the scan has ended
        bool operator==(const Seen&) const = default;
    };
    // Closes the window of `kind` and then chooses `command` on `window` (the main window if
    // null), in the middle of a scan.
    Seen CloseAndChoose(const char* kind, const char* window, const char* command) {
        Seen seen{};
        // Found without deleting what waits to be deleted, as the scan's yield does not either.
        auto find = [](const char* name) -> QWidget* {
            for (QWidget* t : QApplication::topLevelWidgets())
                if (t->objectName() == name && t->isVisible()) return t;
            return nullptr;
        };
        AtClockReading(3, [&] {
            QWidget* w = find(kind);
            ASSERT_NE(w, nullptr);
            w->close();
            QWidget* from = window ? find(window) : form.get();
            ASSERT_NE(from, nullptr);
            QAction* action = from->findChild<QAction*>(command);
            seen.enabled = action->isEnabled();
            action->trigger();
            seen.visibleInScan = find(kind) != nullptr;
        });
        Open(LargeLog());
        QCoreApplication::sendPostedEvents();
        QWidget* after = guitest::Window(kind);
        seen.visibleAfter = after && after->isVisible();
        return seen;
    }
};

TEST_F(ClosedDuringScan, ModeChartChosenAgainIsANewWindowThatStays) {
    EXPECT_EQ(CloseAndChoose("Form3", nullptr, "mnuChart"), (Seen{true, true, true}));
}

TEST_F(ClosedDuringScan, ContinentChartChosenAgainIsANewWindowThatStays) {
    EXPECT_EQ(CloseAndChoose("Form4", "Form2", "mnuChat"), (Seen{true, true, true}));
}

TEST_F(ClosedDuringScan, ContinentWindowIsGreyedAndNotBroughtBackWhileTheLogIsHeld) {
    EXPECT_EQ(CloseAndChoose("Form2", nullptr, "mnuContinent"), (Seen{false, false, false}));
}

TEST_F(ClosedDuringScan, QslWindowIsGreyedAndNotBroughtBackWhileTheLogIsHeld) {
    EXPECT_EQ(CloseAndChoose("Form5", nullptr, "mnuQSLReceived"), (Seen{false, false, false}));
}

TEST(RandomWalk, ThousandsOfStepsKeepEveryWindowOnceAndTheTableTrue) {
    Walk walk(SharedLogs(), 20240605);
    walk.Start();
    for (int i = 0; i < 3000 && !::testing::Test::HasFailure(); ++i) walk.TopLevelStep(i);
    const Walk::Tally& tally = walk.tally();
    EXPECT_GT(tally.nested, 300);
    EXPECT_GT(tally.logsShown, 300);
    EXPECT_GT(tally.openErrors, 50);
    EXPECT_GT(tally.loadErrors, 5);
    std::printf("nested %d, logs shown %d, open errors %d, load errors %d\n", tally.nested,
                tally.logsShown, tally.openErrors, tally.loadErrors);
    walk.End();
}

// The ending in the middle of a scan, dozens of times: after a few random steps, "Exit" or a
// close of the main window at a random point of the open command's scan or a window's load.
TEST(RandomWalk, EndingInTheMiddleOfAScanReleasesTheLogAndLeavesNoWindow) {
    std::mt19937 random(7);
    auto pick = [&random](int from, int to) {
        return std::uniform_int_distribution<int>(from, to)(random);
    };
    for (int round = 0; round < 48 && !::testing::Test::HasFailure(); ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        Walk walk(SharedLogs(), static_cast<std::uint32_t>(1000 + round));
        walk.Start();
        for (int i = pick(0, 6); i > 0; --i) walk.TopLevelStep(i);
        const auto scan = static_cast<Walk::Scan>(pick(0, 2));
        // The large log is read in seven blocks; the QSL tally never yields.
        const int at = scan == Walk::Scan::kQsl ? 0 : pick(0, 7);
        walk.EndInScan(scan, at, pick(0, 1) == 1);
    }
}

}  // namespace
