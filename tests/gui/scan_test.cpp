// What can happen while a scan yields: the busy notice, greyed commands, windows opened in the
// middle, and the program ended in the middle. The test's clock runs each action from inside
// a yield of the scan, as a user event arriving then would.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QPointer>
#include <QTimer>

#include "gui_support.h"
#include "quorvane/band_mode_tally.h"

namespace {

using guitest::Contact;
using guitest::Grid;
using guitest::Window;

class DuringScan : public guitest::WindowTest {};

TEST_F(DuringScan, BusyNoticeIsShownWhileTheLogIsReadAndClosedAfter) {
    QString title;
    bool visible = false;
    AtClockReading(2, [&] {
        if (QWidget* notice = Window("Form6")) {
            title = notice->windowTitle();
            visible = notice->isVisible();
        }
    });
    Open(LargeLog());
    EXPECT_EQ(title, "QRX I'm busy !");
    EXPECT_TRUE(visible);
    EXPECT_EQ(Window("Form6"), nullptr);
    EXPECT_GT(clockReadings, 4);  // the log spans several blocks, each offering to yield
}

TEST_F(DuringScan, CommandsThatWouldStartASecondScanAreGreyedUntilTheLogIsReleased) {
    Open(Write("first.adi", Contact("20M", "CW")));
    QStringList enabled;
    bool held = false;
    AtClockReading(3, [&] {
        held = quorvane::LogLineScanner::HandleHeld();
        for (const char* name :
             {"mnuOpen", "mnuExit", "mnuChart", "mnuQSLReceived", "mnuContinent", "mnuVer"})
            if (Action(name)->isEnabled()) enabled << name;
    });
    Open(LargeLog());
    EXPECT_TRUE(held);
    EXPECT_EQ(enabled, QStringList({"mnuExit", "mnuChart", "mnuVer"}));
    for (const char* name : {"mnuOpen", "mnuQSLReceived", "mnuContinent"})
        EXPECT_TRUE(Action(name)->isEnabled()) << name;
}

TEST_F(DuringScan, LoadedWindowsCanStillBeRaised) {
    Open(Write("first.adi", Contact("20M", "CW", "EU")));
    Trigger("mnuContinent");
    Trigger("mnuQSLReceived");
    const QPointer<QWidget> continent = Window("Form2");
    bool continentEnabled = false, qslEnabled = false;
    AtClockReading(3, [&] {
        continentEnabled = Action("mnuContinent")->isEnabled();
        qslEnabled = Action("mnuQSLReceived")->isEnabled();
        Trigger("mnuContinent");
    });
    Open(LargeLog());
    EXPECT_TRUE(continentEnabled);
    EXPECT_TRUE(qslEnabled);
    EXPECT_EQ(Window("Form2"), continent.data());
    EXPECT_EQ(Grid(continent)->TextMatrix(6, 4), "1");  // still the first log
}

TEST_F(DuringScan, TheContinentScanGreysTheCommandsToo) {
    Open(LargeLog());
    QStringList enabled;
    AtClockReading(3, [&] {
        for (const char* name : {"mnuOpen", "mnuQSLReceived", "mnuContinent"})
            if (Action(name)->isEnabled()) enabled << name;
        Trigger("mnuOpen");  // greyed: nothing happens
    });
    const int asked = static_cast<int>(startFolders.size());
    Trigger("mnuContinent");
    EXPECT_TRUE(enabled.isEmpty()) << enabled.join(",").toStdString();
    EXPECT_EQ(startFolders.size(), asked);
    ASSERT_NE(Window("Form2"), nullptr);
    EXPECT_TRUE(Window("Form2")->isVisible());
    EXPECT_TRUE(Action("mnuOpen")->isEnabled());
}

TEST_F(DuringScan, ModeChartOpenedInTheMiddleSeesTheCountsSoFar) {
    int totalSoFar = -1;
    AtClockReading(3, [&] {
        Trigger("mnuChart");
        totalSoFar = form->BandModeTally.C20 + form->BandModeTally.R20 + form->BandModeTally.S20;
    });
    Open(LargeLog());
    EXPECT_NE(Window("Form3"), nullptr);
    EXPECT_GT(totalSoFar, 0);
    EXPECT_LT(totalSoFar, form->BandModeTally.Total20);
}

TEST_F(DuringScan, ClosingTheMainWindowStopsTheScanAndClosesEveryWindow) {
    guitest::CloseRecorder recorder;
    AtClockReading(3, [&] {
        Trigger("mnuChart");
        for (const char* name : {"Form3", "Form6"}) recorder.Watch(Window(name));
        form->close();
    });
    Open(LargeLog());
    EXPECT_EQ(recorder.closed, QStringList({"Form3", "Form6"}));
    EXPECT_LT(clockReadings, 5);  // no block was read after the close
    EXPECT_FALSE(quorvane::LogLineScanner::HandleHeld());
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
    EXPECT_FALSE(quorvane::LogLineScanner::HandleHeld());
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(DuringScan, ExitInTheMiddleEndsTheProgramAtOnce) {
    QCoreApplication::sendPostedEvents();
    AtClockReading(3, [&] { Trigger("mnuExit"); });
    QTimer::singleShot(0, form.get(), [this] { Open(LargeLog()); });
    QTimer::singleShot(5000, [] { QCoreApplication::exit(99); });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_LT(clockReadings, 5);
    EXPECT_FALSE(quorvane::LogLineScanner::HandleHeld());
}

TEST_F(DuringScan, TheOpenCommandCountsLikeTheBareTally) {
    Open(LargeLog());
    quorvane::LogLineScanner log;
    log.Open(LargeLog().toStdString());
    quorvane::BandModeTally bare;
    ASSERT_TRUE(bare.Scan(log));
    log.Close();
    bare.FormTotals();
    for (std::size_t m = 0; m < quorvane::kModeClassCount; ++m)
        for (std::size_t b = 0; b < quorvane::kBandCount; ++b)
            EXPECT_EQ(MainGrid().TextMatrix(1 + int(b), 1 + int(m)),
                      QString::number(bare.Counter(m, b)));
    EXPECT_EQ(MainGrid().TextMatrix(11, 4), QString::number(bare.Total));
    EXPECT_EQ(MainGrid().TextMatrix(12, 4), QString::number(bare.OthersTotal));
}

}  // namespace
