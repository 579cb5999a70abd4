// The continent chart window: its design and the continent-by-band counters it charts.
#include "form4.h"

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
#include "quorvane/continent_band_tally.h"
#include "twips.h"

namespace {

using quorvane::ContinentBandTally;
using quorvane::kBandCount;
using quorvane::kContinentCount;

const QStringList kBands{"6", "10", "12", "15", "17", "20", "30", "40", "80", "160"};
const QStringList kContinentCodes{"AF", "AN", "AS", "EU", "NA", "OC", "SA"};

ContinentBandTally TallyOfGeneratedLog(unsigned contacts, unsigned seed) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("log.adi").toStdString();
    charttest::WriteLog(path, contacts, seed);
    ContinentBandTally tally;
    tally.ScanContinentBands(path);
    for (int continent = 1; continent <= static_cast<int>(kContinentCount); ++continent)
        tally.ContinentTotal(continent);
    return tally;
}

// Every counter a different value: AF6 = 1001, AN6 = 2001, AF10 = 1002 ...
ContinentBandTally DistinctCounters() {
    ContinentBandTally tally;
    for (std::size_t continent = 0; continent < kContinentCount; ++continent) {
        for (std::size_t band = 0; band < kBandCount; ++band)
            tally.Counter(continent, band) =
                static_cast<std::int32_t>(1000 * (continent + 1) + band + 1);
    }
    return tally;
}

std::int32_t Largest(const ContinentBandTally& tally) {
    std::int32_t largest = 0;
    for (std::size_t continent = 0; continent < kContinentCount; ++continent) {
        for (std::size_t band = 0; band < kBandCount; ++band)
            largest = std::max(largest, tally.Counter(continent, band));
    }
    return largest;
}

void ExpectChartShows(const Form4& window, const ContinentBandTally& tally) {
    QBarSeries* series = charttest::BarSeries(*charttest::ChartView(window));
    const QList<QBarSet*> sets = series->barSets();
    ASSERT_EQ(sets.size(), static_cast<qsizetype>(kContinentCount));
    for (std::size_t continent = 0; continent < kContinentCount; ++continent) {
        ASSERT_EQ(sets[continent]->count(), static_cast<qsizetype>(kBandCount));
        for (std::size_t band = 0; band < kBandCount; ++band)
            EXPECT_EQ(sets[continent]->at(band), tally.Counter(continent, band))
                << ContinentBandTally::CounterName(continent, band);
    }
}

TEST(ContinentChart, OpensCentredOnTheScreen) {
    Form4 window{ContinentBandTally{}};

    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((window.geometry().center() - screen.center()).manhattanLength(), 1);
}

TEST(ContinentChart, HasItsCaptionFixedSizeAndFont) {
    Form4 window{ContinentBandTally{}};

    EXPECT_EQ(window.objectName(), "Form4");
    EXPECT_EQ(window.windowTitle(), "Continent Chart");
    EXPECT_TRUE(window.isWindow());
    EXPECT_EQ(window.size(), QSize(TwipsToPixels(7455), TwipsToPixels(4515)));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(window.font().family(), "Arial");
    EXPECT_EQ(window.font().pointSize(), 9);
}

TEST(ContinentChart, PlacesItsChartWithAMargin) {
    Form4 window{ContinentBandTally{}};

    EXPECT_EQ(
        charttest::ChartView(window)->geometry(),
        QRect(TwipsToPixels(120), TwipsToPixels(120), TwipsToPixels(7215), TwipsToPixels(4335)));
}

TEST(ContinentChart, ShowsTenBandsAndSevenContinentsInTheirOrder) {
    Form4 window{ContinentBandTally{}};

    const QChartView* view = charttest::ChartView(window);
    EXPECT_EQ(charttest::Categories(*view), kBands);
    EXPECT_EQ(charttest::SeriesNames(*charttest::BarSeries(*view)), kContinentCodes);
    EXPECT_EQ(charttest::LegendLabels(*view), kContinentCodes);
}

TEST(ContinentChart, ChartsEachCounterInItsBandAndContinent) {
    const ContinentBandTally tally = DistinctCounters();
    Form4 window{tally};
    ExpectChartShows(window, tally);
}

TEST(ContinentChart, ChartsTheCountersOfAGeneratedLog) {
    const ContinentBandTally tally = TallyOfGeneratedLog(5000, 11);
    ASSERT_GT(Largest(tally), 0);
    Form4 window{tally};
    ExpectChartShows(window, tally);
}

TEST(ContinentChart, ChartsZeroHeightBarsWhenNoLineNamesAContinent) {
    Form4 window{ContinentBandTally{}};

    const QChartView* view = charttest::ChartView(window);
    EXPECT_EQ(charttest::Categories(*view), kBands);
    for (const QBarSet* set : charttest::BarSeries(*view)->barSets()) {
        ASSERT_EQ(set->count(), static_cast<qsizetype>(kBandCount));
        for (qsizetype band = 0; band < set->count(); ++band) EXPECT_EQ(set->at(band), 0.0);
    }
}

TEST(ContinentChart, NeverChartsTheContinentTotals) {
    ContinentBandTally tally = DistinctCounters();
    for (int continent = 1; continent <= static_cast<int>(kContinentCount); ++continent)
        tally.ContinentTotal(continent);
    Form4 window{tally};

    const QChartView* view = charttest::ChartView(window);
    const auto* axis = qobject_cast<QValueAxis*>(view->chart()->axes(Qt::Vertical).front());
    EXPECT_EQ(axis->max(), static_cast<double>(ChartControl::ScaleFor(Largest(tally)).max));
    ExpectChartShows(window, tally);
}

TEST(ContinentChart, ChartsCountsPastSixteenBitsExactly) {
    ContinentBandTally tally;
    tally.EU20 = 32767;
    tally.NA20 = 32768;
    tally.AS20 = 1000000;
    tally.SA160 = std::numeric_limits<std::int32_t>::max();
    Form4 window{tally};

    ExpectChartShows(window, tally);
    const QList<QBarSet*> sets = charttest::BarSeries(*charttest::ChartView(window))->barSets();
    EXPECT_EQ(sets[4]->at(5), 32768.0);
    EXPECT_EQ(sets[6]->at(9), 2147483647.0);
}

TEST(ContinentChart, KeepsTheCountsItWasBuiltFrom) {
    ContinentBandTally tally = DistinctCounters();
    const ContinentBandTally before = tally;
    Form4 window{tally};
    tally.EU20 = 5;
    tally.AF6 = 0;

    ExpectChartShows(window, before);
}

TEST(ContinentChart, HasNoTitleAndItsLegendAtTheRightInArial8) {
    Form4 window{ContinentBandTally{}};

    const QChart* chart = charttest::ChartView(window)->chart();
    EXPECT_TRUE(chart->title().isEmpty());
    const QLegend* legend = chart->legend();
    EXPECT_TRUE(legend->isVisible());
    EXPECT_EQ(legend->alignment(), Qt::AlignRight);
    EXPECT_EQ(legend->font().family(), "Arial");
    EXPECT_EQ(legend->font().pointSize(), 8);
    for (const QAbstractAxis* axis : chart->axes()) EXPECT_EQ(axis->labelsFont().family(), "Arial");
}

TEST(ContinentChart, KeepsTheDropShadow) {
    Form4 window{ContinentBandTally{}};
    EXPECT_TRUE(charttest::ChartView(window)->chart()->isDropShadowEnabled());
}

class ShownContinentChart : public ::testing::TestWithParam<std::int32_t> {};

TEST_P(ShownContinentChart, DrawsWholeNumberTicksAndKeepsTheLegendOffTheBars) {
    ContinentBandTally tally = TallyOfGeneratedLog(3000, 5);
    tally.EU20 = GetParam();
    Form4 window{tally};
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QCoreApplication::processEvents();

    const QChartView* view = charttest::ChartView(window);
    const QStringList labels = charttest::ValueAxisLabels(*view);
    const ChartControl::ValueScale scale = ChartControl::ScaleFor(Largest(tally));
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

INSTANTIATE_TEST_SUITE_P(UpToTheLargestCount, ShownContinentChart,
                         ::testing::Values(7, 32768, 1000000, 2147483647));

}  // namespace
