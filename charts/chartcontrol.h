// The chart component of the two chart windows: a bar chart filled from a grid of counts.
#pragma once

#include <QChartView>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

class QBarCategoryAxis;
class QBarSeries;
class QValueAxis;

// The operations the chart windows use, in the order they call them: chart type, column
// count, row count, the data grid, row labels, legend texts, legend shown, drop shadow.
// Rows are the categories along the horizontal axis, columns the series (one bar per row
// each). Indices are 0-based. Every value of the grid is a 32-bit count and is charted
// exactly, up to 2,147,483,647.
class ChartControl : public QChartView {
    Q_OBJECT
  public:
    enum class ChartType { Bar2d };
    using DataGrid = QList<QList<qint32>>;  // grid[row][column]

    explicit ChartControl(QWidget* parent = nullptr);

    void SetChartType(ChartType type);
    // Changing a count keeps the values, labels and legend texts that still fit and fills the
    // rest with zeros, row numbers ("R3") and column numbers ("C2").
    void SetColumnCount(int columns);
    void SetRowCount(int rows);
    // The grid must have RowCount() rows of ColumnCount() values; raises std::invalid_argument
    // otherwise, leaving the chart as it was.
    void SetChartData(const DataGrid& grid);
    // The one label level this chart has: the category axis.
    void SetRowLabel(int row, const QString& label);
    void SetColumnLegendText(int column, const QString& text);
    void SetShowLegend(bool shown);
    // The further on/off setting: the drop shadow of the chart's background.
    void SetDropShadowEnabled(bool enabled);

    int ColumnCount() const { return columns_; }
    int RowCount() const { return rows_; }
    QBarSeries* barSeries() const { return series_; }
    QBarCategoryAxis* categoryAxis() const { return categoryAxis_; }
    QValueAxis* valueAxis() const { return valueAxis_; }

    // A whole-number axis from 0 that holds `largest`, with at most eight steps of 1, 2 or 5
    // times a power of ten.

  private:
    void SyncSeries();
    void SyncCategories();
    void SyncValueAxis();

    int columns_ = 0;
    int rows_ = 0;
    DataGrid grid_;  // always rows_ x columns_
    QStringList rowLabels_;
    QStringList legendTexts_;

    QBarSeries* series_ = nullptr;  // owned by the chart once the chart type is set
    QBarCategoryAxis* categoryAxis_ = nullptr;
    QValueAxis* valueAxis_ = nullptr;
};
