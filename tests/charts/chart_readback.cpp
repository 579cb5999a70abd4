#include "chart_readback.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QLegend>
#include <QLegendMarker>
#include <fstream>
#include <stdexcept>

#include "loggen.h"

namespace charttest {

QChartView* ChartView(const QWidget& window) {
    auto* view = window.findChild<QChartView*>("MSChart1");
    if (view == nullptr) throw std::runtime_error("no chart named MSChart1");
    return view;
}

QBarSeries* BarSeries(const QChartView& view) {
    const QList<QAbstractSeries*> all = view.chart()->series();
    if (all.size() != 1) throw std::runtime_error("expected exactly one series");
    auto* bars = qobject_cast<QBarSeries*>(all.front());
    if (bars == nullptr) throw std::runtime_error("the series is not a bar series");
    return bars;
}

QStringList SeriesNames(const QBarSeries& series) {
    QStringList names;
    for (const QBarSet* set : series.barSets()) names << set->label();
    return names;
}

QStringList Categories(const QChartView& view) {
    const QList<QAbstractAxis*> axes = view.chart()->axes(Qt::Horizontal);
    if (axes.size() != 1) throw std::runtime_error("expected one horizontal axis");
    auto* axis = qobject_cast<QBarCategoryAxis*>(axes.front());
    if (axis == nullptr) throw std::runtime_error("the horizontal axis is not a category axis");
    return axis->categories();
}

QStringList LegendLabels(const QChartView& view) {
    QStringList labels;
    for (const QLegendMarker* marker : view.chart()->legend()->markers()) labels << marker->label();
    return labels;
}

QStringList DrawnTexts(const QChartView& view) {
    QStringList texts;
    for (const QGraphicsItem* item : view.scene()->items()) {
        if (const auto* text = dynamic_cast<const QGraphicsTextItem*>(item);
            text != nullptr && text->isVisible())
            texts << text->toPlainText();
    }
    return texts;
}

QStringList ValueAxisLabels(const QChartView& view) {
    const QRectF plot = view.chart()->plotArea();
    QStringList texts;
    for (const QGraphicsItem* item : view.scene()->items()) {
        const auto* text = dynamic_cast<const QGraphicsTextItem*>(item);
        if (text == nullptr || !text->isVisible() || text->toPlainText().isEmpty()) continue;
        const QRectF box = text->sceneBoundingRect();
        if (box.right() <= plot.left() + 1 && box.bottom() >= plot.top() - box.height() &&
            box.top() <= plot.bottom() + box.height())
            texts << text->toPlainText();
    }
    return texts;
}

void WriteLog(const std::string& path, unsigned contacts, unsigned seed) {
    quorvane::loggen::Options options;
    options.contacts = contacts;
    options.seed = seed;
    std::ofstream out(path, std::ios::binary);
    quorvane::loggen::Write(out, options);
    if (!out) throw std::runtime_error("cannot write the test log " + path);
}

}  // namespace charttest
