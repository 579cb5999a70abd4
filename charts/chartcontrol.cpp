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

#include "quorvane/chart_style.h"

namespace {

const char* const kChartFace = "Arial";
constexpr int kLegendPointSize = 8;
constexpr int kAxisPointSize = 8;

QFont ChartFont(int pointSize) { return QFont(kChartFace, pointSize); }

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

void ChartControl::SyncSeries() {
    if (series_ == nullptr) return;
    series_->clear();
    for (int column = 0; column < columns_; ++column) {
        auto* set = new QBarSet(legendTexts_.at(column));
        for (int row = 0; row < rows_; ++row) set->append(grid_.at(row).at(column));
        series_->append(set);
        // Set after the chart's theme has dressed the set; the legend takes the same colour.
        const QColor colour(
            QRgb{quorvane::kChartSeriesColours[static_cast<std::size_t>(column) %
                                               quorvane::kChartSeriesColours.size()]});
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
    const quorvane::ChartScale scale = quorvane::ChartScaleFor(largest);
    valueAxis_->setRange(0, static_cast<qreal>(scale.max));
    valueAxis_->setTickCount(static_cast<int>(scale.max / scale.step) + 1);
}
