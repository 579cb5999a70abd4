// The two chart windows, one table-driven suite over both, read back through Qt Charts; and
// the value axis of the chart control.
#include <gtest/gtest.h>

#include <QBarCategoryAxis>
#include <QChart>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QLegend>
#include <QLegendMarker>
#include <QTest>
#include <QValueAxis>
#include <limits>

#include "chartcontrol.h"
#include "form3.h"
#include "form4.h"
#include "gui_support.h"
#include "quorvane/band_mode_tally.h"
#include "quorvane/continent_band_tally.h"
#include "twips.h"

namespace guitest {
namespace {

constexpr qreal kMax32 = std::numeric_limits<std::int32_t>::max();

// Builds the window from counters bars[series][band], with every total formed as well.
template <class Tally, class Window>
std::unique_ptr<QWidget> Make(const Bars& bars) {
    Tally tally;
    for (std::size_t s = 0; s < bars.size(); ++s)
        for (std::size_t b = 0; b < bars[s].size(); ++b)
            tally.Counter(s, b) = static_cast<std::int32_t>(bars[s][b]);
    // Totals far above every counter: they must neither be charted nor stretch the axis.
    if constexpr (std::is_same_v<Tally, quorvane::BandModeTally>) {
        for (auto total : Tally::kClassTotals) tally.*total = 777777;
        for (auto total : Tally::kBandTotals) tally.*total = 777777;
        tally.Total = tally.OthersTotal = 777777;
    } else {
        for (auto total : Tally::kTotals) tally.*total = 777777;
    }
    auto window = std::make_unique<Window>(tally);
    tally = Tally{};  // the chart keeps the counts it was built from
    return window;
}

struct ChartCase {
    const char* objectName;
    const char* caption;
    QSize clientTwips;
    QRect chartTwips;
    QStringList series;
    bool dropShadow;
    std::unique_ptr<QWidget> (*make)(const Bars&);
};

void PrintTo(const ChartCase& c, std::ostream* out) { *out << c.objectName; }

class ChartWindows : public ::testing::TestWithParam<ChartCase> {
  protected:
    // Every counter a different value, so that a swapped series or band shows.
    static Bars Distinct(std::size_t series) {
        Bars bars(series);
        for (std::size_t s = 0; s < series; ++s)
            for (std::size_t b = 0; b < 10; ++b) bars[s].push_back(1000.0 * (s + 1) + b + 1);
        return bars;
    }
    static QChart* Chart(const QWidget& window) { return ChartView(window)->chart(); }
};

TEST_P(ChartWindows, HaveTheirDesign) {
    const ChartCase& c = GetParam();
    const auto window = c.make(Distinct(c.series.size()));
    EXPECT_EQ(window->objectName(), c.objectName);
    EXPECT_EQ(window->windowTitle(), c.caption);
    const QSize size(TwipsToPixels(c.clientTwips.width()), TwipsToPixels(c.clientTwips.height()));
    EXPECT_EQ(window->size(), size);
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    const QRect& t = c.chartTwips;
    EXPECT_EQ(ChartView(*window)->geometry(),
              QRect(TwipsToPixels(t.x()), TwipsToPixels(t.y()), TwipsToPixels(t.width()),
                    TwipsToPixels(t.height())));
    const QChart* chart = Chart(*window);
    EXPECT_EQ(chart->isDropShadowEnabled(), c.dropShadow);
    EXPECT_TRUE(chart->title().isEmpty());
    EXPECT_TRUE(chart->legend()->isVisible());
    EXPECT_EQ(chart->legend()->alignment(), Qt::AlignRight);
    EXPECT_EQ(chart->legend()->font().family(), "Arial");
    EXPECT_EQ(chart->legend()->font().pointSize(), 8);
    for (const QAbstractAxis* axis : chart->axes()) EXPECT_EQ(axis->labelsFont().family(), "Arial");
}

TEST_P(ChartWindows, ChartEachCounterInItsBandAndSeriesAndNoTotal) {
    const ChartCase& c = GetParam();
    const Bars bars = Distinct(c.series.size());
    const auto window = c.make(bars);
    EXPECT_EQ(BarsOf(*window), bars);
    const QChart* chart = Chart(*window);
    QStringList legend;
    for (const QLegendMarker* marker : chart->legend()->markers()) legend << marker->label();
    EXPECT_EQ(legend, c.series);
    auto* bands = qobject_cast<QBarCategoryAxis*>(chart->axes(Qt::Horizontal).value(0));
    ASSERT_NE(bands, nullptr);
    EXPECT_EQ(bands->categories(),
              QStringList({"6", "10", "12", "15", "17", "20", "30", "40", "80", "160"}));
    const auto* values = qobject_cast<QValueAxis*>(chart->axes(Qt::Vertical).value(0));
    ASSERT_NE(values, nullptr);
    EXPECT_EQ(values->max(), double(ChartControl::ScaleFor(bars.back().back()).max));
    Bars big(c.series.size(), std::vector<qreal>(10, 0.0));  // zero-height bars, and counts
    big[1][5] = 32768;                                       // past sixteen bits exactly
    big.back()[9] = kMax32;
    EXPECT_EQ(BarsOf(*c.make(big)), big);
}

// Shown on screen: the value axis reads whole numbers from 0, the legend stands off the bars.
TEST_P(ChartWindows, DrawWholeNumberTicksFromZeroAndKeepTheLegendOffTheBars) {
    const ChartCase& c = GetParam();
    for (const qreal largest : {7.0, 32768.0, kMax32}) {
        SCOPED_TRACE(largest);
        Bars bars(c.series.size(), std::vector<qreal>(10, 0.0));
        bars[0][5] = largest;
        bars.back()[9] = largest / 3;
        const auto window = c.make(bars);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        QCoreApplication::processEvents();
        const QChart* chart = Chart(*window);
        const QRectF plot = chart->plotArea();
        QStringList labels;  // the texts drawn left of the plot area
        for (const QGraphicsItem* item : chart->scene()->items()) {
            const auto* text = dynamic_cast<const QGraphicsTextItem*>(item);
            if (!text || !text->isVisible() || text->toPlainText().isEmpty()) continue;
            if (text->sceneBoundingRect().right() <= plot.left() + 1) labels << text->toPlainText();
        }
        const ChartControl::ValueScale scale = ChartControl::ScaleFor(qint64(largest));
        EXPECT_GE(scale.max, qint64(largest));
        ASSERT_EQ(labels.size(), scale.tickCount) << labels.join(' ').toStdString();
        for (int tick = 0; tick < scale.tickCount; ++tick)
            EXPECT_TRUE(labels.contains(QString::number(scale.step() * tick)))
                << scale.step() * tick << " not in " << labels.join(' ').toStdString();
        EXPECT_FALSE(chart->legend()->geometry().intersects(plot));
        EXPECT_GT(chart->legend()->geometry().left(), plot.right() - 1);
    }
}

// clang-format off
const ChartCase kCharts[] = {
    {"Form3", "Mode Chart", {7350, 4725}, {0, 0, 7335, 4695}, {"CW", "DIG", "PHO"}, false,
     &Make<quorvane::BandModeTally, Form3>},
    {"Form4", "Continent Chart", {7455, 4515}, {120, 120, 7215, 4335},
     {"AF", "AN", "AS", "EU", "NA", "OC", "SA"}, true, &Make<quorvane::ContinentBandTally, Form4>}};
// clang-format on

INSTANTIATE_TEST_SUITE_P(ModeAndContinentChart, ChartWindows, ::testing::ValuesIn(kCharts),
                         [](const auto& info) { return std::string(info.param.objectName); });

}  // namespace
}  // namespace guitest
