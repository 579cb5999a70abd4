// The two charts as the user meets them through the menus: when they open, which counts they
// show, how long they keep them, and how they go. Every bar is compared with the tallies of the
// same log counted directly.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QBarSet>
#include <QFile>
#include <QPointer>
#include <QWindow>

#include "chart_readback.h"
#include "gui/gui_support.h"
#include "quorvane/band_mode_tally.h"
#include "quorvane/continent_band_tally.h"
#include "quorvane/log_line_scanner.h"

namespace {

using guitest::Contact;
using guitest::Window;
using quorvane::BandModeTally;
using quorvane::ContinentBandTally;
using quorvane::kBandCount;
using quorvane::kContinentCount;
using quorvane::kModeClassCount;

// The bars of a chart window, bars[series][band].
using Bars = std::vector<std::vector<qreal>>;

Bars BarsOf(const QWidget& window) {
    Bars bars;
    for (const QBarSet* set : charttest::BarSeries(*charttest::ChartView(window))->barSets()) {
        std::vector<qreal> values;
        for (qsizetype i = 0; i < set->count(); ++i) values.push_back(set->at(i));
        bars.push_back(values);
    }
    return bars;
}

Bars BarsOf(const BandModeTally& tally) {
    Bars bars(kModeClassCount);
    for (std::size_t m = 0; m < kModeClassCount; ++m)
        for (std::size_t b = 0; b < kBandCount; ++b) bars[m].push_back(tally.Counter(m, b));
    return bars;
}

Bars BarsOf(const ContinentBandTally& tally) {
    Bars bars(kContinentCount);
    for (std::size_t c = 0; c < kContinentCount; ++c)
        for (std::size_t b = 0; b < kBandCount; ++b) bars[c].push_back(tally.Counter(c, b));
    return bars;
}

BandModeTally ModeTallyOf(const QString& path) {
    BandModeTally tally;
    quorvane::LogLineScanner log;
    log.Open(QFile::encodeName(path).toStdString());
    tally.Scan(log);
    log.Close();
    return tally;
}

ContinentBandTally ContinentTallyOf(const QString& path) {
    ContinentBandTally tally;
    tally.ScanContinentBands(QFile::encodeName(path).toStdString());
    return tally;
}

int WindowsNamed(const QString& name) {
    guitest::FlushDeletes();
    int count = 0;
    for (const QWidget* w : QApplication::topLevelWidgets()) count += w->objectName() == name;
    return count;
}

class ChartLifecycle : public guitest::WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        logA_ = dir.filePath("a.adi");
        logB_ = dir.filePath("b.adi");
        charttest::WriteLog(logA_.toStdString(), 3000, 11);
        charttest::WriteLog(logB_.toStdString(), 1200, 29);
        // The scenarios tell A from B by their bars, so the logs must differ in both charts.
        ASSERT_NE(BarsOf(ModeTallyOf(logA_)), BarsOf(ModeTallyOf(logB_)));
        ASSERT_NE(BarsOf(ContinentTallyOf(logA_)), BarsOf(ContinentTallyOf(logB_)));
        ASSERT_NE(BarsOf(ContinentTallyOf(logA_)), BarsOf(ContinentBandTally{}));
    }

    // A menu command of a window other than the main one.
    void TriggerOn(const QString& window, const char* name) {
        QWidget* w = Window(window);
        ASSERT_NE(w, nullptr) << window.toStdString();
        QAction* action = w->findChild<QAction*>(QLatin1String(name));
        ASSERT_NE(action, nullptr) << name;
        action->trigger();
    }
    void Close(const QString& name) {
        QWidget* w = Window(name);
        ASSERT_NE(w, nullptr) << name.toStdString();
        w->close();
        guitest::FlushDeletes();
    }
    // "Continent summary", then the continent window's "Chart".
    void OpenContinentChart() {
        Trigger("mnuContinent");
        TriggerOn("Form2", "mnuChat");
    }

    QString logA_, logB_;
};

// ---- before any log

TEST_F(ChartLifecycle, ModeChartShowsNoWindowBeforeAnyLog) {
    Trigger("mnuChart");
    EXPECT_EQ(Window("Form3"), nullptr);
    Open(QString());  // a first open cancelled: still no log
    Trigger("mnuChart");
    EXPECT_EQ(Window("Form3"), nullptr);
}

TEST_F(ChartLifecycle, ModeChartShowsNoWindowOnceACancelHasEmptiedFileName) {
    Open(logA_);
    Open(QString());
    Trigger("mnuChart");
    EXPECT_EQ(Window("Form3"), nullptr);
}

TEST_F(ChartLifecycle, ModeChartShowsNoWindowAfterAFailedOpen) {
    Open(logA_);
    Open(dir.filePath("missing.adi"));
    ASSERT_EQ(errors.size(), 1);
    Trigger("mnuChart");
    EXPECT_EQ(Window("Form3"), nullptr);
}

// ---- the mode chart

TEST_F(ChartLifecycle, ModeChartShowsTheCountsOfTheLogOpen) {
    Open(logA_);
    Trigger("mnuChart");
    QWidget* chart = Window("Form3");
    ASSERT_NE(chart, nullptr);
    EXPECT_TRUE(chart->isVisible());
    EXPECT_EQ(BarsOf(*chart), BarsOf(ModeTallyOf(logA_)));
}

TEST_F(ChartLifecycle, ModeChartKeepsLogAUntilClosedAndChosenAgain) {
    Open(logA_);
    Trigger("mnuChart");
    const QPointer<QWidget> chart = Window("Form3");
    ASSERT_FALSE(chart.isNull());
    Open(logB_);
    ASSERT_EQ(form->FileName, logB_);
    EXPECT_EQ(BarsOf(*chart), BarsOf(ModeTallyOf(logA_)));
    Trigger("mnuChart");  // only brings it forward
    EXPECT_EQ(Window("Form3"), chart.data());
    EXPECT_EQ(BarsOf(*chart), BarsOf(ModeTallyOf(logA_)));

    Close("Form3");
    EXPECT_TRUE(chart.isNull());
    Trigger("mnuChart");
    QWidget* again = Window("Form3");
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(BarsOf(*again), BarsOf(ModeTallyOf(logB_)));
}

TEST_F(ChartLifecycle, ChoosingChartTwiceLeavesOneWindowOfEachChart) {
    Open(logA_);
    Trigger("mnuChart");
    Trigger("mnuChart");
    OpenContinentChart();
    TriggerOn("Form2", "mnuChat");
    Trigger("mnuContinent");  // raises the continent window
    TriggerOn("Form2", "mnuChat");
    EXPECT_EQ(WindowsNamed("Form3"), 1);
    EXPECT_EQ(WindowsNamed("Form4"), 1);
    EXPECT_EQ(WindowsNamed("Form2"), 1);
}

// ---- the continent chart

TEST_F(ChartLifecycle, ContinentChartShowsTheContinentWindowsCounts) {
    Open(logA_);
    OpenContinentChart();
    QWidget* chart = Window("Form4");
    ASSERT_NE(chart, nullptr);
    EXPECT_TRUE(chart->isVisible());
    EXPECT_EQ(BarsOf(*chart), BarsOf(ContinentTallyOf(logA_)));
}

TEST_F(ChartLifecycle, ContinentChartStaysOpenWhenTheContinentWindowCloses) {
    Open(logA_);
    OpenContinentChart();
    const QPointer<QWidget> chart = Window("Form4");
    ASSERT_FALSE(chart.isNull());
    Close("Form2");
    ASSERT_FALSE(chart.isNull());
    EXPECT_TRUE(chart->isVisible());
    EXPECT_EQ(BarsOf(*chart), BarsOf(ContinentTallyOf(logA_)));
}

TEST_F(ChartLifecycle, ContinentChartKeepsTheEarlierCountsUntilClosedAndOpenedAgain) {
    Open(logA_);
    OpenContinentChart();
    const QPointer<QWidget> chart = Window("Form4");
    ASSERT_FALSE(chart.isNull());
    Close("Form2");
    Open(logB_);
    Trigger("mnuContinent");  // counts log B anew
    EXPECT_EQ(BarsOf(*chart), BarsOf(ContinentTallyOf(logA_)));
    TriggerOn("Form2", "mnuChat");  // only brings the chart forward
    EXPECT_EQ(Window("Form4"), chart.data());
    EXPECT_EQ(BarsOf(*chart), BarsOf(ContinentTallyOf(logA_)));

    Close("Form4");
    EXPECT_TRUE(chart.isNull());
    TriggerOn("Form2", "mnuChat");
    QWidget* again = Window("Form4");
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(BarsOf(*again), BarsOf(ContinentTallyOf(logB_)));
}

TEST_F(ChartLifecycle, ContinentChartWorksAfterACancelHasEmptiedFileName) {
    Open(logA_);
    Trigger("mnuContinent");
    Open(QString());
    ASSERT_TRUE(form->FileName.isEmpty());
    TriggerOn("Form2", "mnuChat");
    QWidget* chart = Window("Form4");
    ASSERT_NE(chart, nullptr);
    EXPECT_TRUE(chart->isVisible());
    EXPECT_EQ(BarsOf(*chart), BarsOf(ContinentTallyOf(logA_)));
}

// ---- closing

TEST_F(ChartLifecycle, BothChartsCloseWithTheMainWindow) {
    Open(logA_);
    Trigger("mnuChart");
    OpenContinentChart();
    Close("Form2");  // the continent chart outlives its window, but not the main one
    const QPointer<QWidget> modeChart = Window("Form3");
    const QPointer<QWidget> continentChart = Window("Form4");
    ASSERT_FALSE(modeChart.isNull());
    ASSERT_FALSE(continentChart.isNull());
    guitest::CloseRecorder recorder;
    recorder.Watch(modeChart);
    recorder.Watch(continentChart);
    form->close();
    EXPECT_EQ(recorder.closed, QStringList({"Form3", "Form4"}));
    guitest::FlushDeletes();
    EXPECT_TRUE(modeChart.isNull());
    EXPECT_TRUE(continentChart.isNull());
}

// ---- counts past sixteen bits, through the menus

TEST_F(ChartLifecycle, BothChartsDrawCountsAbove32767Exactly) {
    std::string log;
    for (int i = 0; i < 32768; ++i) log += Contact("20M", "CW", "EU");
    for (int i = 0; i < 3; ++i) log += Contact("40M", "SSB", "NA");
    Open(Write("busy.adi", log));
    Trigger("mnuChart");
    OpenContinentChart();
    QWidget* modeChart = Window("Form3");
    QWidget* continentChart = Window("Form4");
    ASSERT_NE(modeChart, nullptr);
    ASSERT_NE(continentChart, nullptr);
    const Bars mode = BarsOf(*modeChart);
    const Bars continent = BarsOf(*continentChart);
    ASSERT_EQ(mode.size(), kModeClassCount);
    ASSERT_EQ(continent.size(), kContinentCount);
    EXPECT_EQ(mode[0][5], 32768);       // CW on 20 m
    EXPECT_EQ(mode[2][7], 3);           // PHO on 40 m
    EXPECT_EQ(continent[3][5], 32768);  // EU on 20 m
    EXPECT_EQ(continent[4][7], 3);      // NA on 40 m
}

// ---- the main window's caption, which names the log the mode chart is drawn from

TEST_F(ChartLifecycle, CaptionShowsALogNameHoldingTheTitlePlaceholderAsItIs) {
    Open(Write("contest[*].adi", Contact("20M", "CW")));
    ASSERT_NE(form->windowHandle(), nullptr);
    EXPECT_EQ(form->windowHandle()->title(), "contest[*].adi");
}

}  // namespace
