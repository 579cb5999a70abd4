// The chart component on its own: shape, data, labels and the value axis.
#include "chartcontrol.h"

#include <gtest/gtest.h>

#include <QBarSet>
#include <QChart>
#include <QLegend>
#include <QValueAxis>
#include <limits>
#include <stdexcept>

#include "chart_readback.h"

namespace {

constexpr qint32 kMax32 = std::numeric_limits<qint32>::max();

// A 2 x 3 chart built in the order the windows use.
void Build(ChartControl& chart, const ChartControl::DataGrid& grid) {
    chart.SetChartType(ChartControl::ChartType::Bar2d);
    chart.SetColumnCount(3);
    chart.SetRowCount(2);
    chart.SetChartData(grid);
    chart.SetRowLabel(0, "6");
    chart.SetRowLabel(1, "10");
    chart.SetColumnLegendText(0, "CW");
    chart.SetColumnLegendText(1, "DIG");
    chart.SetColumnLegendText(2, "PHO");
    chart.SetShowLegend(true);
}

TEST(ChartControl, ChartsEachCellAsTheBarOfItsColumnInItsRow) {
    ChartControl chart;
    Build(chart, {{1, 2, 3}, {4, 5, 6}});

    QBarSeries* series = charttest::BarSeries(chart);
    EXPECT_EQ(charttest::SeriesNames(*series), QStringList({"CW", "DIG", "PHO"}));
    EXPECT_EQ(charttest::Categories(chart), QStringList({"6", "10"}));
    const QList<QBarSet*> sets = series->barSets();
    ASSERT_EQ(sets.size(), 3);
    for (int column = 0; column < 3; ++column) {
        ASSERT_EQ(sets[column]->count(), 2);
        EXPECT_EQ(sets[column]->at(0), column + 1);
        EXPECT_EQ(sets[column]->at(1), column + 4);
    }
}

TEST(ChartControl, ChartsCountsPastSixteenBitsExactly) {
    ChartControl chart;
    Build(chart, {{32767, 32768, 65536}, {1000000, kMax32 - 1, kMax32}});

    const QList<QBarSet*> sets = charttest::BarSeries(chart)->barSets();
    EXPECT_EQ(sets[0]->at(0), 32767.0);
    EXPECT_EQ(sets[1]->at(0), 32768.0);
    EXPECT_EQ(sets[2]->at(0), 65536.0);
    EXPECT_EQ(sets[0]->at(1), 1000000.0);
    EXPECT_EQ(sets[1]->at(1), 2147483646.0);
    EXPECT_EQ(sets[2]->at(1), 2147483647.0);
    EXPECT_GE(chart.valueAxis()->max(), 2147483647.0);
}

TEST(ChartControl, RefusesAGridOfAnotherShapeAndKeepsItsData) {
    ChartControl chart;
    Build(chart, {{1, 2, 3}, {4, 5, 6}});

    EXPECT_THROW(chart.SetChartData({{1, 2, 3}}), std::invalid_argument);
    EXPECT_THROW(chart.SetChartData({{1, 2, 3}, {4, 5}}), std::invalid_argument);
    EXPECT_EQ(charttest::BarSeries(chart)->barSets()[2]->at(1), 6.0);
}

TEST(ChartControl, RefusesLabelsForRowsAndColumnsItDoesNotHave) {
    ChartControl chart;
    Build(chart, {{1, 2, 3}, {4, 5, 6}});

    EXPECT_THROW(chart.SetRowLabel(2, "12"), std::out_of_range);
    EXPECT_THROW(chart.SetRowLabel(-1, "12"), std::out_of_range);
    EXPECT_THROW(chart.SetColumnLegendText(3, "XX"), std::out_of_range);
}

TEST(ChartControl, ShowsNoLegendUntilAskedAndThenAtTheRight) {
    ChartControl chart;
    chart.SetChartType(ChartControl::ChartType::Bar2d);
    EXPECT_FALSE(chart.chart()->legend()->isVisible());

    chart.SetShowLegend(true);
    EXPECT_TRUE(chart.chart()->legend()->isVisible());
    EXPECT_EQ(chart.chart()->legend()->alignment(), Qt::AlignRight);
}

TEST(ChartControl, SwitchesTheDropShadow) {
    ChartControl chart;
    EXPECT_TRUE(chart.chart()->isDropShadowEnabled());
    chart.SetDropShadowEnabled(false);
    EXPECT_FALSE(chart.chart()->isDropShadowEnabled());
}

TEST(ChartControl, StartsTheValueAxisAtZeroWithWholeNumberLabels) {
    ChartControl chart;
    Build(chart, {{0, 3, 7}, {12, 0, 1}});

    QValueAxis* axis = chart.valueAxis();
    EXPECT_EQ(axis->min(), 0.0);
    EXPECT_GE(axis->max(), 12.0);
    const ChartControl::ValueScale scale = ChartControl::ScaleFor(12);
    EXPECT_EQ(axis->max(), static_cast<double>(scale.max));
    EXPECT_EQ(axis->tickCount(), scale.tickCount);
    EXPECT_EQ(axis->labelFormat(), "%.0f");
}

// The scale for a largest count: starts at 0, holds the count, whole steps, few ticks.
class ValueScaleTest : public ::testing::TestWithParam<qint64> {};

TEST_P(ValueScaleTest, HoldsTheLargestCountInWholeNumberSteps) {
    const qint64 largest = GetParam();
    const ChartControl::ValueScale scale = ChartControl::ScaleFor(largest);

    ASSERT_GE(scale.tickCount, 2);
    EXPECT_LE(scale.tickCount, 9);
    EXPECT_GE(scale.max, largest);
    EXPECT_GE(scale.max, 1);
    EXPECT_EQ(scale.max % (scale.tickCount - 1), 0) << "ticks would fall between whole numbers";
    // Not so loose that the tallest bar looks small.
    if (largest > 0) {
        EXPECT_LT(scale.max - scale.step(), largest);
    }
}

INSTANTIATE_TEST_SUITE_P(FromNothingToTheLargestCount, ValueScaleTest,
                         ::testing::Values(0, 1, 2, 3, 5, 7, 8, 9, 10, 11, 13, 17, 25, 99, 101, 999,
                                           1001, 32767, 32768, 65535, 99999, 1000000, 123456789,
                                           2147483646, 2147483647));

}  // namespace
