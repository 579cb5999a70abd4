// Reads a chart window back through Qt Charts, as a user would see it.
#pragma once

#include <QBarSeries>
#include <QChartView>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <string>
#include <vector>

namespace charttest {

// The window's chart control, found by name as the other windows see it.
QChartView* ChartView(const QWidget& window);
QBarSeries* BarSeries(const QChartView& view);
QStringList SeriesNames(const QBarSeries& series);
QStringList Categories(const QChartView& view);
QStringList LegendLabels(const QChartView& view);
// Every text the chart draws once it is shown and laid out.
QStringList DrawnTexts(const QChartView& view);
// The axis labels drawn left of the plot area: the value axis.
QStringList ValueAxisLabels(const QChartView& view);

// A generated log written to `path`.
void WriteLog(const std::string& path, unsigned contacts, unsigned seed);

}  // namespace charttest
