// What can happen while a scan yields: the busy notice, greyed commands, windows opened or
// closed in the middle, and the program ended in the middle. The test's clock runs each action
// from inside a yield of the scan, as a user event arriving then would.
#include <gtest/gtest.h>

#include <QPointer>
#include <QTimer>

#include "gui_support.h"

namespace {

using guitest::Contact;
using guitest::Grid;
using guitest::Window;
using quorvane::LogLineScanner;

class DuringScan : public guitest::WindowTest {
  protected:
    QStringList Enabled() const {
        QStringList enabled;
        for (const char* name :
             {"mnuOpen", "mnuExit", "mnuChart", "mnuQSLReceived", "mnuContinent", "mnuVer"})
            if (Action(name)->isEnabled()) enabled << name;
        return enabled;
    }
    // Found without deleting what waits to be deleted, as the scan's yield does not either.
    static QWidget* Shown(const char* name) {
        for (QWidget* t : QApplication::topLevelWidgets())
            if (t->objectName() == name && t->isVisible()) return t;
        return nullptr;
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

TEST_F(DuringScan, TheContinentScanGreysTheCommandsButLoadedWindowsCanBeRaised) {
    Open(LargeLog());
    Trigger("mnuQSLReceived");
    QStringList enabled;
    AtClockReading(3, [&] {
        enabled = Enabled();
        Trigger("mnuOpen");  // greyed: nothing happens
        Trigger("mnuQSLReceived");
    });
    Trigger("mnuContinent");
    EXPECT_EQ(enabled, QStringList({"mnuExit", "mnuChart", "mnuQSLReceived", "mnuVer"}));
    EXPECT_EQ(startFolders.size(), 1);
    ASSERT_NE(Window("Form2"), nullptr);
    EXPECT_TRUE(Window("Form2")->isVisible());
    EXPECT_EQ(Enabled().size(), 6);
}

TEST_F(DuringScan, ModeChartOpenedInTheMiddleSeesTheCountsSoFar) {
    int soFar = -1;
    AtClockReading(3, [&] {
        Trigger("mnuChart");
        soFar = form->BandModeTally.C20 + form->BandModeTally.R20 + form->BandModeTally.S20;
    });
    Open(LargeLog());
    ASSERT_NE(Window("Form3"), nullptr);
    EXPECT_GT(soFar, 0);
    EXPECT_LT(soFar, form->BandModeTally.Total20);
    EXPECT_EQ(guitest::BarsOf(*Window("Form3"))[0].size(), 10u);
}

TEST_F(DuringScan, ClosingTheMainWindowStopsTheScanAndClosesEveryWindow) {
    guitest::CloseRecorder recorder;
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

TEST_F(DuringScan, ClosingTheMainWindowWhileTheContinentWindowLoadsDiscardsIt) {
    Open(LargeLog());
    AtClockReading(3, [&] { form->close(); });
    Trigger("mnuContinent");
    EXPECT_LT(clockReadings, 5);
    EXPECT_EQ(Window("Form2"), nullptr);
    EXPECT_EQ(Window("Form6"), nullptr);
    EXPECT_FALSE(LogLineScanner::HandleHeld());
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(DuringScan, ExitInTheMiddleEndsTheProgramAtOnce) {
    QCoreApplication::sendPostedEvents();
    AtClockReading(3, [&] { Trigger("mnuExit"); });
    QTimer::singleShot(0, form.get(), [this] { Open(LargeLog()); });
    QTimer::singleShot(5000, [] { QCoreApplication::exit(99); });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_LT(clockReadings, 5);
    EXPECT_FALSE(LogLineScanner::HandleHeld());
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
