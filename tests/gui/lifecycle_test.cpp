// The windows' lifecycle: each at most once, loaded on first use from the counts as they are
// then, raised when open, discarded when closed, and all of them closed with the main window;
// and what can happen while a scan yields: the busy notice, greyed commands, windows opened or
// closed in the middle, the program ended in the middle. The test's clock runs each of those
// actions from inside a yield of the scan, as a user event arriving then would.
#include <gtest/gtest.h>

#include <QPointer>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include "gui_support.h"

namespace guitest {
namespace {

using quorvane::LogLineScanner;

class Lifecycle : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        first_ = Write("first.adi", Contact("20M", "CW", "EU", "<QSL_SENT:1>Y <QSL_RCVD:1>Y ") +
                                        Contact("40M", "SSB", "NA", "<QSL_SENT:1>Y "));
        second_ = Write("second.adi", Contact("6M", "FM", "AF", "<LOTW_QSL_SENT:1>Y "));
        logA_ = Write("a.adi", Generated(3000, 11));
        logB_ = Write("b.adi", Generated(1200, 29));
        // The chart scenarios tell A from B by their bars.
        ASSERT_NE(ModeBars(logA_), ModeBars(logB_));
        ASSERT_NE(ContinentBars(logA_), ContinentBars(logB_));
    }
    static int Count(const QString& name) {
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets()) n += w->objectName() == name;
        return n;
    }
    QString first_, second_, logA_, logB_;
};

TEST_F(Lifecycle, ContinentWindowShowsItsTableAndMenu) {
    Open(first_);
    Trigger("mnuContinent");
    QWidget* w = Window("Form2");
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->windowTitle(), "Continent Summary");
    const GridControl& g = *Grid(w);
    EXPECT_EQ(Row(g, 0), QStringList({"", "AF", "AN", "AS", "EU", "NA", "OC", "SA"}));
    EXPECT_EQ(DataCells(g), ExpectedContinentCells(first_));
    EXPECT_EQ(Row(g, 11), QStringList({"Total", "0", "0", "0", "1", "1", "0", "0"}));
    EXPECT_EQ(g.TextMatrix(10, 0), "160M");
    EXPECT_EQ(g.ColWidth(7), 720);
    EXPECT_EQ(g.geometry(), QRect(8, 8, 381, 228));  // its columns overhang by 45 twips
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    EXPECT_FALSE(g.horizontalScrollBar()->isVisible() || g.verticalScrollBar()->isVisible());
    EXPECT_EQ(MenuItems(*qobject_cast<QMainWindow*>(w)),
              QStringList({"mnuOption=Option", "  mnuChat=Chart"}));
}

TEST_F(Lifecycle, QslWindowShowsThePercentages) {
    Open(Write("qsl.adi", "<QSL_RCVD:1>Y\r\n" + Repeat("<QSL_SENT:1>Y\r\n", 16)));
    Trigger("mnuQSLReceived");
    QWidget* w = Window("Form5");
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->windowTitle(), "QSL Rcvd/Sent");
    EXPECT_EQ(Row(*Grid(w), 0), QStringList({"", "QSL", "LoTW", "eQSL"}));
    EXPECT_EQ(Row(*Grid(w), 1), QStringList({"Rcvd/Sent", "6.3%", "-", "-"}));  // a half rounds up
}

// A second log while the continent or QSL window is open refreshes neither; closing and
// choosing the command again loads the second log.
TEST_F(Lifecycle, ContinentAndQslWindowsKeepTheFirstLogUntilClosedAndReopened) {
    Open(first_);
    Trigger("mnuContinent");
    Trigger("mnuQSLReceived");
    const QPointer<QWidget> continent = Window("Form2"), qsl = Window("Form5");
    Open(second_);
    Trigger("mnuContinent");  // only raises them
    Trigger("mnuQSLReceived");
    EXPECT_EQ(Window("Form2"), continent.data());
    EXPECT_EQ(Window("Form5"), qsl.data());
    EXPECT_EQ(Grid(continent)->TextMatrix(6, 4), "1");  // EU 20M of the first log
    EXPECT_EQ(Row(*Grid(qsl), 1), QStringList({"Rcvd/Sent", "50.%", "-", "-"}));
    Close("Form2");
    Close("Form5");
    EXPECT_TRUE(continent.isNull() && qsl.isNull());
    Trigger("mnuContinent");
    Trigger("mnuQSLReceived");
    ASSERT_NE(Window("Form2"), nullptr);
    ASSERT_NE(Window("Form5"), nullptr);
    EXPECT_EQ(Grid(Window("Form2"))->TextMatrix(6, 4), "0");
    EXPECT_EQ(Grid(Window("Form2"))->TextMatrix(1, 1), "1");  // AF 6M of the second log
    EXPECT_EQ(Row(*Grid(Window("Form5")), 1), QStringList({"Rcvd/Sent", "-", ".%", "-"}));
}

// ---- the charts

TEST_F(Lifecycle, ModeChartKeepsLogAUntilClosedAndChosenAgain) {
    Open(logA_);
    Trigger("mnuChart");
    Trigger("mnuChart");
    EXPECT_EQ(Count("Form3"), 1);
    const QPointer<QWidget> chart = Window("Form3");
    ASSERT_FALSE(chart.isNull());
    EXPECT_TRUE(chart->isVisible());
    EXPECT_EQ(BarsOf(*chart), ModeBars(logA_));
    Open(logB_);
    Trigger("mnuChart");  // only brings it forward
    EXPECT_EQ(Window("Form3"), chart.data());
    EXPECT_EQ(BarsOf(*chart), ModeBars(logA_));
    Close("Form3");
    EXPECT_TRUE(chart.isNull());
    Trigger("mnuChart");
    ASSERT_NE(Window("Form3"), nullptr);
    EXPECT_EQ(BarsOf(*Window("Form3")), ModeBars(logB_));
}

TEST_F(Lifecycle, ContinentChartOutlivesItsWindowAndKeepsLogAUntilClosedAndChosenAgain) {
    Open(logA_);
    Trigger("mnuContinent");
    Open(QString());  // the continent window's "Chart" has no guard
    Trigger("mnuChat", "Form2");
    Trigger("mnuChat", "Form2");
    EXPECT_EQ(Count("Form4"), 1);
    const QPointer<QWidget> chart = Window("Form4");
    ASSERT_FALSE(chart.isNull());
    EXPECT_TRUE(chart->isVisible());
    EXPECT_EQ(BarsOf(*chart), ContinentBars(logA_));
    Close("Form2");
    ASSERT_FALSE(chart.isNull());
    EXPECT_TRUE(chart->isVisible());
    Open(logB_);
    Trigger("mnuContinent");  // counts log B anew
    Trigger("mnuChat", "Form2");
    EXPECT_EQ(Window("Form4"), chart.data());
    EXPECT_EQ(BarsOf(*chart), ContinentBars(logA_));
    Close("Form4");
    Trigger("mnuChat", "Form2");
    ASSERT_NE(Window("Form4"), nullptr);
    EXPECT_EQ(BarsOf(*Window("Form4")), ContinentBars(logB_));
}

// ---- closing

TEST_F(Lifecycle, ClosingTheMainWindowClosesTheOthersInOrder) {
    Open(first_);
    Trigger("mnuQSLReceived");
    Trigger("mnuChart");
    Trigger("mnuContinent");
    Trigger("mnuChat", "Form2");
    CloseRecorder recorder;
    for (const char* name : {"Form5", "Form3", "Form4", "Form2"}) recorder.Watch(Window(name));
    recorder.Watch(form.get());
    form->close();
    EXPECT_EQ(recorder.closed, QStringList({"Form1", "Form2", "Form3", "Form4", "Form5"}));
    for (const char* name : {"Form2", "Form3", "Form4", "Form5", "Form6"})
        EXPECT_EQ(Window(name), nullptr) << name;
}

// In the event loop, as in the program: the close ends it; "Exit" closes only the continent
// window and ends it at once.
TEST_F(Lifecycle, ClosingTheMainWindowOrExitEndsTheProgram) {
    for (const bool byExit : {false, true}) {
        SetUp();
        Open(first_);
        Trigger("mnuContinent");
        Trigger("mnuChart");
        CloseRecorder recorder;
        for (const char* name : {"Form2", "Form3"}) recorder.Watch(Window(name));
        QCoreApplication::sendPostedEvents();
        QTimer::singleShot(0, form.get(), [this, byExit] {
            if (byExit) return Trigger("mnuExit");
            form->close();
        });
        QTimer::singleShot(5000, [] { QCoreApplication::exit(99); });
        EXPECT_EQ(QApplication::exec(), 0);
        EXPECT_EQ(recorder.closed,
                  byExit ? QStringList({"Form2"}) : QStringList({"Form2", "Form3"}));
        TearDown();
    }
}

// ---- during a scan

class DuringScan : public WindowTest {
  protected:
    QStringList Enabled() const {
        QStringList enabled;
        for (const char* name :
             {"mnuOpen", "mnuExit", "mnuChart", "mnuQSLReceived", "mnuContinent", "mnuVer"})
            if (Action(name)->isEnabled()) enabled << name;
        return enabled;
    }
};

TEST_F(DuringScan, BusyNoticeIsShownAndCommandsThatWouldScanAgainAreGreyed) {
    Open(Write("first.adi", Contact("20M", "CW")));
    QString notice;
    QStringList enabled;
    bool held = false;
    AtClockReading(3, [&] {
        held = LogLineScanner::HandleHeld();
        enabled = Enabled();
        if (QWidget* w = Shown("Form6")) notice = w->windowTitle();
    });
    Open(LargeLog());
    EXPECT_TRUE(held);
    EXPECT_EQ(notice, "QRX I'm busy !");
    EXPECT_EQ(enabled, QStringList({"mnuExit", "mnuChart", "mnuVer"}));
    EXPECT_EQ(Enabled().size(), 6);
    EXPECT_EQ(Window("Form6"), nullptr);
    EXPECT_GT(clockReadings, 4);  // the log spans several blocks, each offering to yield
}

TEST_F(DuringScan, ClosingTheMainWindowStopsTheScanAndClosesEveryWindow) {
    CloseRecorder recorder;
    AtClockReading(3, [&] {
        Trigger("mnuChart");
        for (const char* name : {"Form3", "Form6"}) recorder.Watch(Shown(name));
        form->close();
    });
    Open(LargeLog());
    EXPECT_EQ(recorder.closed, QStringList({"Form3", "Form6"}));
    EXPECT_LT(clockReadings, 5);  // no block was read after the close
    EXPECT_FALSE(LogLineScanner::HandleHeld());
    EXPECT_EQ(MainGrid().TextMatrix(11, 4), "");  // the table was not filled
    for (const char* name : {"Form3", "Form6"}) EXPECT_EQ(Window(name), nullptr) << name;
}

// A window closed while a scan yields is deleted only after the scan, when control is back in
// the event loop; until then its command must not bring the closed window back.
class ClosedDuringScan : public DuringScan {
  protected:
    void SetUp() override {
        DuringScan::SetUp();
        Open(Write("small.adi", Contact("20M", "CW", "EU")));
        for (const char* name : {"mnuContinent", "mnuQSLReceived", "mnuChart"}) Trigger(name);
        Trigger("mnuChat", "Form2");
    }
    struct Seen {
        bool enabled;        // the command, right after the close
        bool visibleInScan;  // a window of the kind, after the command
        bool visibleAfter;   // the same, once the scan has ended
        bool operator==(const Seen&) const = default;
    };
    // Closes the window of `kind`, then chooses `command` on `window` in the middle of a scan.
    Seen CloseAndChoose(const char* kind, const char* window, const char* command) {
        Seen seen{};
        AtClockReading(3, [&] {
            QWidget* w = Shown(kind);
            ASSERT_NE(w, nullptr);
            w->close();
            QWidget* from = Shown(window);
            ASSERT_NE(from, nullptr);
            QAction* action = from->findChild<QAction*>(command);
            seen.enabled = action->isEnabled();
            action->trigger();
            seen.visibleInScan = Shown(kind) != nullptr;
        });
        Open(LargeLog());
        QCoreApplication::sendPostedEvents();
        QWidget* after = Window(kind);
        seen.visibleAfter = after && after->isVisible();
        return seen;
    }
};

TEST_F(ClosedDuringScan, ModeChartChosenAgainIsANewWindowThatStays) {
    EXPECT_EQ(CloseAndChoose("Form3", "Form1", "mnuChart"), (Seen{true, true, true}));
}

TEST_F(ClosedDuringScan, ContinentChartChosenAgainIsANewWindowThatStays) {
    EXPECT_EQ(CloseAndChoose("Form4", "Form2", "mnuChat"), (Seen{true, true, true}));
}

TEST_F(ClosedDuringScan, ContinentWindowIsGreyedAndNotBroughtBackWhileTheLogIsHeld) {
    EXPECT_EQ(CloseAndChoose("Form2", "Form1", "mnuContinent"), (Seen{false, false, false}));
}

TEST_F(ClosedDuringScan, QslWindowIsGreyedAndNotBroughtBackWhileTheLogIsHeld) {
    EXPECT_EQ(CloseAndChoose("Form5", "Form1", "mnuQSLReceived"), (Seen{false, false, false}));
}

}  // namespace
}  // namespace guitest
