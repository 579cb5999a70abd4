#include "chartcontrol.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QColor>
#include <QFont>
#include <QLegend>
#include <QPainter>
#include <QValueAxis>
#include <algorithm>
#include <iterator>
#include <stdexcept>

namespace {

const char* const kChartFace = "Arial";
constexpr int kLegendPointSize = 8;
constexpr int kAxisPointSize = 8;
constexpr int kMaxSteps = 8;

QFont ChartFont(int pointSize) { return QFont(kChartFace, pointSize); }

// The bar colours, series by series: clearly different hues, from palettes made to stay apart
// for colour-blind eyes too, each dark enough to stand out from the white plot by at least 3:1,
// so that bars only a few pixels wide are told apart. Blue, red and bluish green first, for
// charts of three series; then black, purple, ochre and indigo.
constexpr QRgb kSeriesColours[] = {0x0072B2, 0xC0392B, 0x009E73, 0x000000,
                                   0xAA3377, 0xB07800, 0x332288};

}  // namespace

ChartControl::ChartControl(QWidget* parent) : QChartView(parent) {
    setFrameShape(QFrame::NoFrame);
    setRenderHint(QPainter::Antialiasing);

    QChart* c = chart();
    c->setTitle(QString());
    c->setTitleFont(ChartFont(kAxisPointSize + 1));
    c->setAnimationOptions(QChart::NoAnimation);
    // Like the component the windows were designed for: a shadow, and no legend until asked.
    c->setDropShadowEnabled(true);
    c->legend()->setVisible(false);
    c->legend()->setAlignment(Qt::AlignRight);
    c->legend()->setFont(ChartFont(kLegendPointSize));
}

void ChartControl::SetChartType(ChartType type) {
    // The only type the windows use; another would need its own kind of series here.
    Q_ASSERT(type == ChartType::Bar2d);
    if (series_ != nullptr) return;

    QChart* c = chart();
    series_ = new QBarSeries(c);
    // Wider than the default half of a category, so that seven bars a band stay visible.
    series_->setBarWidth(0.8);
    c->addSeries(series_);

    categoryAxis_ = new QBarCategoryAxis(c);
    categoryAxis_->setLabelsFont(ChartFont(kAxisPointSize));
    c->addAxis(categoryAxis_, Qt::AlignBottom);
    series_->attachAxis(categoryAxis_);

    valueAxis_ = new QValueAxis(c);
    valueAxis_->setLabelsFont(ChartFont(kAxisPointSize));
    // A fixed-point format: every tick is a whole number, and "%d" would not take the axis's
    // double values above the 32-bit range.
    valueAxis_->setLabelFormat("%.0f");
    valueAxis_->setMinorTickCount(0);
    c->addAxis(valueAxis_, Qt::AlignLeft);
    series_->attachAxis(valueAxis_);

    SyncSeries();
    SyncCategories();
    SyncValueAxis();
}

void ChartControl::SetColumnCount(int columns) {
    columns_ = std::max(columns, 0);
    for (QList<qint32>& row : grid_) row.resize(columns_, 0);
    legendTexts_.resize(std::min<qsizetype>(legendTexts_.size(), columns_));
    while (legendTexts_.size() < columns_)
        legendTexts_.append(QStringLiteral("C%1").arg(legendTexts_.size() + 1));
    SyncSeries();
    SyncValueAxis();
}

void ChartControl::SetRowCount(int rows) {
    rows_ = std::max(rows, 0);
    grid_.resize(rows_, QList<qint32>(columns_, 0));
    rowLabels_.resize(std::min<qsizetype>(rowLabels_.size(), rows_));
    while (rowLabels_.size() < rows_)
        rowLabels_.append(QStringLiteral("R%1").arg(rowLabels_.size() + 1));
    SyncSeries();
    SyncCategories();
    SyncValueAxis();
}

void ChartControl::SetChartData(const DataGrid& grid) {
    if (grid.size() != rows_)
        throw std::invalid_argument("chart data: the grid's row count differs from the chart's");
    for (const QList<qint32>& row : grid) {
        if (row.size() != columns_)
            throw std::invalid_argument(
                "chart data: a grid row's column count differs from the chart's");
    }
    grid_ = grid;
    SyncSeries();
    SyncValueAxis();
}

void ChartControl::SetRowLabel(int row, const QString& label) {
    if (row < 0 || row >= rows_) throw std::out_of_range("chart row label: no such row");
    rowLabels_[row] = label;
    SyncCategories();
}

void ChartControl::SetColumnLegendText(int column, const QString& text) {
    if (column < 0 || column >= columns_)
        throw std::out_of_range("chart legend text: no such column");
    legendTexts_[column] = text;
    if (series_ != nullptr) series_->barSets().at(column)->setLabel(text);
}

void ChartControl::SetShowLegend(bool shown) { chart()->legend()->setVisible(shown); }

void ChartControl::SetDropShadowEnabled(bool enabled) { chart()->setDropShadowEnabled(enabled); }

ChartControl::ValueScale ChartControl::ScaleFor(qint64 largest) {
    if (largest <= 0) return {1, 2};
    // The smallest step of 1, 2 or 5 times a power of ten that needs at most kMaxSteps.
    for (qint64 decade = 1;; decade *= 10) {
        for (qint64 factor : {1, 2, 5}) {
            const qint64 step = factor * decade;
            const qint64 steps = (largest + step - 1) / step;
            if (steps <= kMaxSteps) return {steps * step, static_cast<int>(steps) + 1};
        }
    }
}

void ChartControl::SyncSeries() {
    if (series_ == nullptr) return;
    series_->clear();
    for (int column = 0; column < columns_; ++column) {
        auto* set = new QBarSet(legendTexts_.at(column));
        for (int row = 0; row < rows_; ++row) set->append(grid_.at(row).at(column));
        series_->append(set);
        // Set after the chart's theme has dressed the set; the legend takes the same colour.
        const QColor colour(kSeriesColours[column % std::size(kSeriesColours)]);
        set->setColor(colour);
        set->setBorderColor(colour);
    }
}

void ChartControl::SyncCategories() {
    if (categoryAxis_ == nullptr) return;
    // The axis drops a label equal to an earlier one, so equal labels would shift the rest.
    categoryAxis_->setCategories(rowLabels_);
}

void ChartControl::SyncValueAxis() {
    if (valueAxis_ == nullptr) return;
    qint64 largest = 0;
    for (const QList<qint32>& row : grid_) {
        for (qint32 value : row) largest = std::max<qint64>(largest, value);
    }
    const ValueScale scale = ScaleFor(largest);
    valueAxis_->setRange(0, static_cast<qreal>(scale.max));
    valueAxis_->setTickCount(scale.tickCount);
}
