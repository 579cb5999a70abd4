// Random sequences of what a user can do: menu commands of every open window, logs opened,
// cancelled or missing, windows closed, and all of that in the middle of scans as well, through
// the scans' yield. After every step: at most one window of each kind, the log handle free when
// no scan runs, and the main table showing the last completed log or nothing.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QTimer>
#include <array>
#include <map>
#include <random>

#include "gui_support.h"
#include "loggen.h"

namespace guitest {
namespace {

using quorvane::LogLineScanner;

const char* const kKinds[] = {"Form2", "Form3", "Form4", "Form5", "Form6"};

// The logs that the chooser can return, each with the tables it must give: small ones of each
// line end, one of seven of the scanner's blocks, and one that the walk deletes and writes again.
struct Logs {
    Logs() {
        using quorvane::loggen::LineEnd;
        const std::tuple<int, LineEnd> specs[] = {
            {0, LineEnd::CRLF},    {40, LineEnd::CRLF},   {120, LineEnd::LF},   {200, LineEnd::CR},
            {300, LineEnd::Mixed}, {6000, LineEnd::CRLF}, {1000, LineEnd::CRLF}};
        for (const auto& [contacts, lineEnd] : specs) {
            quorvane::loggen::Options options;
            options.contacts = contacts;
            options.seed = paths.size() + 1;
            options.lineEnd = lineEnd;
            flakyContent = quorvane::loggen::Generate(options);
            paths << WriteFile(dir.filePath(QString("log%1.adi").arg(paths.size())), flakyContent);
            tables[paths.back()] = {ExpectedBandModeCells(paths.back()),
                                    ExpectedContinentCells(paths.back())};
        }
    }
    QString Large() const { return paths[5]; }
    QString Flaky() const { return paths[6]; }

    QTemporaryDir dir;
    QStringList paths;
    std::map<QString, std::pair<QStringList, QStringList>> tables;  // band/mode, continent
    std::string flakyContent;
};

const Logs& SharedLogs() {
    static const Logs logs;
    return logs;
}

// One user clicking at random, with a model of what the main window must show.
class Walk {
  public:
    explicit Walk(std::uint32_t seed) : logs_(SharedLogs()), random_(seed) {
        auto chooser = [this](const QString&) {
            ++asks_;
            return chosen_ = !forced_.isEmpty() ? forced_ : ChooseLog();
        };
        auto reporter = [this](const QString& message) { errors_ << message; };
        auto clock = [this] {
            now_ += std::chrono::milliseconds(20);
            ++readings_;
            if (endAt_ > 0 && ++endReadings_ == endAt_) PostEnd();
            // A user event arriving while the scan reads: run when the scan yields.
            if (depth_ == 1 && !ended_ && LogLineScanner::HandleHeld() && Chance(35))
                QMetaObject::invokeMethod(
                    form_.get(), [this] { Step(true); }, Qt::QueuedConnection);
            return now_;
        };
        form_ = std::make_unique<Form1>(chooser, reporter, clock);
        form_->show();
    }
    ~Walk() { End(); }

    // Closes the main window, which must take every other window with it.
    void End() {
        if (!form_) return;
        QCoreApplication::sendPostedEvents();
        form_->close();
        QCoreApplication::sendPostedEvents();
        FlushDeletes();
        for (const char* kind : kKinds) EXPECT_EQ(Count(kind), 0) << kind;
        Destroy();
    }
    // As main() does once the event loop has ended.
    void Destroy() {
        form_.reset();
        FlushDeletes();
        EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
        EXPECT_FALSE(LogLineScanner::HandleHeld());
    }

    // Ends the program from inside a scan of the large log (`command` "mnuOpen", "mnuContinent"
    // or "mnuQSLReceived") by "Exit" or by closing the main window: at clock reading `at` of the
    // scan, or with `at` 0 before it reads anything. The scan runs in the application's event
    // loop, as it does in the program; the main window is then destroyed as main() does.
    void EndInScan(const char* command, int at, bool byExit) {
        const QString large = logs_.Large();
        if (command != std::string("mnuOpen")) {
            // The log shown, and no window loaded that the scan is to load.
            forced_ = large;
            if (fileName_ != large) Open();
            for (const char* kind : {"Form2", "Form5"})
                if (QWidget* w = Shown(kind)) w->close();
            FlushDeletes();
            CheckIdle();
        }
        forced_ = large;
        endByExit_ = byExit;
        endAt_ = at;
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
        EXPECT_EQ(Count("Form2") + Count("Form6"), 0);
        for (const char* kind : kKinds) EXPECT_TRUE(byExit || !Shown(kind)) << kind;
        Destroy();
    }

    // One step at the top level, with whatever it left queued, then the checks.
    void TopLevelStep(int index) {
        SCOPED_TRACE("step " + std::to_string(index));
        Step(false);
        QCoreApplication::sendPostedEvents();
        FlushDeletes();
        CheckIdle();
    }

    // What the walk went through, to show that it reached the interesting cases.
    int nested = 0, logsShown = 0, openErrors = 0, loadErrors = 0;

  private:
    bool Chance(int percent) { return std::uniform_int_distribution(0, 99)(random_) < percent; }

    QString ChooseLog() {
        const int roll = std::uniform_int_distribution(0, 99)(random_);
        if (roll < 10) return QString();  // cancel
        if (roll < 18) return logs_.dir.filePath("missing.adi");
        if (roll < 36) return logs_.Flaky();
        if (roll < 54) return logs_.Large();
        return logs_.paths[std::uniform_int_distribution(0, 5)(random_)];
    }

    void PostEnd() {
        QMetaObject::invokeMethod(
            form_.get(),
            [this] {
                ended_ = true;
                readingsAtEnd_ = readings_;
                if (endByExit_) return Trigger(form_.get(), "mnuExit");
                form_->close();
            },
            Qt::QueuedConnection);
    }

    // o: Open ADIF, c: Chart, q: QSL, k: continent, h: continent chart, v: version, x: close a
    // window, f: delete or write again the flaky log.
    void Step(bool isNested) {
        if (ended_) return;  // no user is left
        ++depth_;
        nested += isNested;
        const std::string commands = isNested ? "ocqkhvxx" : "ooocqqkkhvxxff";
        const char command =
            commands[std::uniform_int_distribution<std::size_t>(0, commands.size() - 1)(random_)];
        if (LogLineScanner::HandleHeld()) CheckScanning();
        std::vector<QWidget*> open;
        for (const char* kind : kKinds)
            if (QWidget* w = Shown(kind)) open.push_back(w);
        if (command == 'o') Open();
        if (command == 'c') Trigger(form_.get(), "mnuChart");
        if (command == 'q') Load("mnuQSLReceived", "Form5");
        if (command == 'k') Load("mnuContinent", "Form2");
        if (command == 'h') Trigger(Shown("Form2"), "mnuChat");
        if (command == 'v') Trigger(form_.get(), "mnuVer");
        if (command == 'x' && !open.empty()) open[random_() % open.size()]->close();
        if (command == 'f' && !QFile::remove(logs_.Flaky()))
            WriteFile(logs_.Flaky(), logs_.flakyContent);
        if (LogLineScanner::HandleHeld()) CheckScanning();
        --depth_;
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
        if (!enabled) {
            EXPECT_EQ(asks_, asks) << "a greyed Open ADIF asked for a log";
            return;
        }
        ASSERT_EQ(asks_, asks + 1);  // steps in the middle of this one may not ask
        fileName_ = chosen_;
        if (chosen_.isEmpty()) return;  // table and caption stay
        const auto log = logs_.tables.find(chosen_);
        if (log != logs_.tables.end() && QFileInfo::exists(chosen_)) {
            caption_ = QFileInfo(chosen_).fileName();
            cells_ = log->second.first;
            ++logsShown;
        } else {
            fileName_.clear();
            caption_ = "Quorvane";
            cells_ = QStringList(48, "");
            ++expectedErrors_;
            ++openErrors;
        }
    }

    // The continent or QSL window: one that appears must be new, loaded for the log shown, and
    // no scan can load one while another scan holds the log; a log deleted meanwhile is an error.
    void Load(const char* command, const char* kind) {
        const QPointer<QWidget> before = Shown(kind);
        const bool failing = !fileName_.isEmpty() && !QFileInfo::exists(fileName_) &&
                             Action(command)->isEnabled() && !before;
        Trigger(form_.get(), command);
        expectedErrors_ += failing;
        loadErrors += failing;
        QWidget* after = Shown(kind);
        if (!after || after == before.data()) return;
        EXPECT_FALSE(LogLineScanner::HandleHeld()) << kind << " loaded in a scan";
        ASSERT_TRUE(logs_.tables.count(fileName_)) << kind << " without a log";
        EXPECT_TRUE(kind != std::string("Form2") ||
                    DataCells(*Grid(after)) == logs_.tables.at(fileName_).second);
    }

    QAction* Action(const char* name) const {
        return form_->findChild<QAction*>(QLatin1String(name));
    }
    // Windows of a kind, shown ones or all; those already deleted are gone at the top level.
    static int Count(const char* kind, bool shownOnly = false) {
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            n += w->objectName() == QLatin1String(kind) && (!shownOnly || w->isVisible());
        return n;
    }

    // In the middle of a scan: the table still shows what it showed, nothing is duplicated and
    // "Open ADIF" is greyed.
    void CheckScanning() {
        for (const char* kind : kKinds) EXPECT_LE(Count(kind, true), 1) << kind;
        EXPECT_FALSE(Action("mnuOpen")->isEnabled());
        EXPECT_EQ(DataCells(*Grid(form_.get())), cells_);
    }

    void CheckIdle() {
        for (const char* kind : kKinds) EXPECT_LE(Count(kind), 1) << kind;
        EXPECT_EQ(Count("Form6"), 0);
        EXPECT_FALSE(LogLineScanner::HandleHeld());
        for (const char* name : {"mnuOpen", "mnuContinent", "mnuQSLReceived"})
            EXPECT_TRUE(Action(name)->isEnabled()) << name;
        EXPECT_EQ(form_->FileName, fileName_);
        EXPECT_EQ(form_->windowTitle(), caption_);
        EXPECT_EQ(DataCells(*Grid(form_.get())), cells_);
        EXPECT_EQ(errors_.size(), expectedErrors_) << errors_.join("\n").toStdString();
        expectedErrors_ = static_cast<int>(errors_.size());  // one miss is reported once
    }

    const Logs& logs_;
    std::mt19937 random_;
    std::unique_ptr<Form1> form_;
    std::chrono::steady_clock::time_point now_{};
    QString chosen_, forced_;  // forced_: what the chooser answers, when not empty
    QString fileName_, caption_ = "Quorvane";
    QStringList errors_, cells_ = QStringList(48, "");
    int asks_ = 0, expectedErrors_ = 0, depth_ = 0;
    int readings_ = 0, endAt_ = 0, endReadings_ = 0, readingsAtEnd_ = 0;
    bool endByExit_ = false, ended_ = false;
};

TEST(RandomWalk, ThousandsOfStepsKeepEveryWindowOnceAndTheTableTrue) {
    Walk walk(20240605);
    for (int i = 0; i < 3000 && !::testing::Test::HasFailure(); ++i) walk.TopLevelStep(i);
    EXPECT_GT(walk.nested, 300);
    EXPECT_GT(walk.logsShown, 300);
    EXPECT_GT(walk.openErrors, 50);
    EXPECT_GT(walk.loadErrors, 5);
}

// The ending in the middle of a scan, dozens of times: after a few random steps, "Exit" or a
// close of the main window at a random point of the open command's scan or a window's load.
TEST(RandomWalk, EndingInTheMiddleOfAScanReleasesTheLogAndLeavesNoWindow) {
    std::mt19937 random(7);
    auto pick = [&random](int from, int to) {
        return std::uniform_int_distribution(from, to)(random);
    };
    for (int round = 0; round < 48 && !::testing::Test::HasFailure(); ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        Walk walk(static_cast<std::uint32_t>(1000 + round));
        for (int i = pick(0, 6); i > 0; --i) walk.TopLevelStep(i);
        const char* command = std::array{"mnuOpen", "mnuContinent", "mnuQSLReceived"}[pick(0, 2)];
        // The large log is read in seven blocks; the QSL tally never yields.
        const int at = command == std::string("mnuQSLReceived") ? 0 : pick(0, 7);
        walk.EndInScan(command, at, pick(0, 1) == 1);
    }
}

}  // namespace
}  // namespace guitest
