// The mode chart window: its design and the band-by-mode counters it charts.
#include "form3.h"

#include <gtest/gtest.h>

#include <QBarSet>
#include <QChart>
#include <QFont>
#include <QGuiApplication>
#include <QLegend>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>
#include <algorithm>
#include <limits>

#include "chart_readback.h"
#include "quorvane/band_mode_tally.h"
#include "quorvane/log_line_scanner.h"
#include "twips.h"

namespace {

using quorvane::BandModeTally;
using quorvane::kBandCount;
using quorvane::kModeClassCount;

const QStringList kBands{"6", "10", "12", "15", "17", "20", "30", "40", "80", "160"};

BandModeTally TallyOfGeneratedLog(unsigned contacts, unsigned seed) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("log.adi").toStdString();
    charttest::WriteLog(path, contacts, seed);
    BandModeTally tally;
    quorvane::LogLineScanner log;
    log.Open(path);
    tally.Scan(log);
    log.Close();
    tally.FormTotals();
    return tally;
}

// Every counter a different value: C6 = 1001, R6 = 2001, S10 = 3002 ... so that a swapped row
// or column shows.
BandModeTally DistinctCounters() {
    BandModeTally tally;
    for (std::size_t mode = 0; mode < kModeClassCount; ++mode) {
        for (std::size_t band = 0; band < kBandCount; ++band)
            tally.Counter(mode, band) = static_cast<std::int32_t>(1000 * (mode + 1) + band + 1);
    }
    return tally;
}

void ExpectChartShows(const Form3& window, const BandModeTally& tally) {
    QBarSeries* series = charttest::BarSeries(*charttest::ChartView(window));
    const QList<QBarSet*> sets = series->barSets();
    ASSERT_EQ(sets.size(), static_cast<qsizetype>(kModeClassCount));
    for (std::size_t mode = 0; mode < kModeClassCount; ++mode) {
        ASSERT_EQ(sets[mode]->count(), static_cast<qsizetype>(kBandCount));
        for (std::size_t band = 0; band < kBandCount; ++band)
            EXPECT_EQ(sets[mode]->at(band), tally.Counter(mode, band))
                << BandModeTally::CounterName(mode, band);
    }
}

TEST(ModeChart, OpensCentredOnTheScreen) {
    Form3 window{BandModeTally{}};

    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((window.geometry().center() - screen.center()).manhattanLength(), 1);
}

TEST(ModeChart, HasItsCaptionFixedSizeAndFont) {
    Form3 window{BandModeTally{}};

    EXPECT_EQ(window.objectName(), "Form3");
    EXPECT_EQ(window.windowTitle(), "Mode Chart");
    EXPECT_TRUE(window.isWindow());
    EXPECT_EQ(window.size(), QSize(TwipsToPixels(7350), TwipsToPixels(4725)));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(window.font().family(), "Arial");
    EXPECT_EQ(window.font().pointSize(), 9);
}

TEST(ModeChart, FillsTheWindowWithItsChart) {
    Form3 window{BandModeTally{}};

    const QChartView* view = charttest::ChartView(window);
    EXPECT_EQ(view->geometry(), QRect(0, 0, TwipsToPixels(7335), TwipsToPixels(4695)));
}

TEST(ModeChart, ShowsTenBandsAndThreeModeClassesInTheirOrder) {
    Form3 window{BandModeTally{}};

    const QChartView* view = charttest::ChartView(window);
    EXPECT_EQ(charttest::Categories(*view), kBands);
    EXPECT_EQ(charttest::SeriesNames(*charttest::BarSeries(*view)),
              QStringList({"CW", "DIG", "PHO"}));
    EXPECT_EQ(charttest::LegendLabels(*view), QStringList({"CW", "DIG", "PHO"}));
}

TEST(ModeChart, ChartsEachCounterInItsBandAndClass) {
    const BandModeTally tally = DistinctCounters();
    Form3 window{tally};
    ExpectChartShows(window, tally);
}

TEST(ModeChart, ChartsTheCountersOfAGeneratedLog) {
    const BandModeTally tally = TallyOfGeneratedLog(5000, 7);
    ASSERT_GT(tally.Total, 4000);
    Form3 window{tally};
    ExpectChartShows(window, tally);
}

TEST(ModeChart, ChartsZeroHeightBarsForAnEmptyLog) {
    Form3 window{BandModeTally{}};

    for (const QBarSet* set : charttest::BarSeries(*charttest::ChartView(window))->barSets()) {
        ASSERT_EQ(set->count(), static_cast<qsizetype>(kBandCount));
        for (qsizetype band = 0; band < set->count(); ++band) EXPECT_EQ(set->at(band), 0.0);
    }
}

TEST(ModeChart, NeverChartsTheTotals) {
    BandModeTally tally = DistinctCounters();
    tally.FormTotals();
    tally.OthersTotal = 777777;
    Form3 window{tally};

    // The largest total is far above every counter: it must not stretch the axis.
    const QChartView* view = charttest::ChartView(window);
    EXPECT_EQ(charttest::BarSeries(*view)->barSets().size(), 3);
    const auto* axis = qobject_cast<QValueAxis*>(view->chart()->axes(Qt::Vertical).front());
    EXPECT_EQ(axis->max(), static_cast<double>(ChartControl::ScaleFor(3010).max));
}

TEST(ModeChart, ChartsCountsPastSixteenBitsExactly) {
    BandModeTally tally;
    tally.C20 = 32767;
    tally.R20 = 32768;
    tally.S20 = 1000000;
    tally.C40 = std::numeric_limits<std::int32_t>::max();
    Form3 window{tally};

    ExpectChartShows(window, tally);
    const QList<QBarSet*> sets = charttest::BarSeries(*charttest::ChartView(window))->barSets();
    EXPECT_EQ(sets[1]->at(5), 32768.0);
    EXPECT_EQ(sets[2]->at(5), 1000000.0);
    EXPECT_EQ(sets[0]->at(7), 2147483647.0);
}

TEST(ModeChart, KeepsTheCountsItWasBuiltFrom) {
    BandModeTally tally = DistinctCounters();
    const BandModeTally before = tally;
    Form3 window{tally};
    tally.ClearCounters();
    tally.C20 = 5;

    ExpectChartShows(window, before);
}

TEST(ModeChart, HasNoTitleAndItsLegendAtTheRightInArial8) {
    Form3 window{BandModeTally{}};

    const QChart* chart = charttest::ChartView(window)->chart();
    EXPECT_TRUE(chart->title().isEmpty());
    const QLegend* legend = chart->legend();
    EXPECT_TRUE(legend->isVisible());
    EXPECT_EQ(legend->alignment(), Qt::AlignRight);
    EXPECT_EQ(legend->font().family(), "Arial");
    EXPECT_EQ(legend->font().pointSize(), 8);
    for (const QAbstractAxis* axis : chart->axes()) EXPECT_EQ(axis->labelsFont().family(), "Arial");
}

TEST(ModeChart, SwitchesOffTheDropShadow) {
    Form3 window{BandModeTally{}};
    EXPECT_FALSE(charttest::ChartView(window)->chart()->isDropShadowEnabled());
}

// Shown on screen: what the user reads off the value axis and where the legend stands.
class ShownModeChart : public ::testing::TestWithParam<std::int32_t> {};

TEST_P(ShownModeChart, DrawsWholeNumberTicksAndKeepsTheLegendOffTheBars) {
    BandModeTally tally = TallyOfGeneratedLog(3000, 3);
    tally.S20 = GetParam();
    Form3 window{tally};
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QCoreApplication::processEvents();

    const QChartView* view = charttest::ChartView(window);
    const QStringList labels = charttest::ValueAxisLabels(*view);
    std::int32_t largest = 0;
    for (std::size_t mode = 0; mode < kModeClassCount; ++mode) {
        for (std::size_t band = 0; band < kBandCount; ++band)
            largest = std::max(largest, tally.Counter(mode, band));
    }
    const ChartControl::ValueScale scale = ChartControl::ScaleFor(largest);
    ASSERT_EQ(labels.size(), scale.tickCount) << labels.join(' ').toStdString();
    for (const QString& label : labels) {
        bool whole = false;
        label.toLongLong(&whole);
        EXPECT_TRUE(whole) << "not a whole number: " << label.toStdString();
    }
    for (int tick = 0; tick < scale.tickCount; ++tick)
        EXPECT_TRUE(labels.contains(QString::number(scale.step() * tick)))
            << "missing " << scale.step() * tick << " in " << labels.join(' ').toStdString();

    const QChart* chart = view->chart();
    EXPECT_FALSE(chart->legend()->geometry().intersects(chart->plotArea()));
    EXPECT_GT(chart->legend()->geometry().left(), chart->plotArea().right() - 1);
}

INSTANTIATE_TEST_SUITE_P(UpToTheLargestCount, ShownModeChart,
                         ::testing::Values(1000, 32768, 1000000, 2147483647));

}  // namespace
