#include "form3.h"

#include "quorvane/tables.h"
#include "tabletext.h"
#include "windowtexts.h"

using quorvane::BandTable;
using quorvane::kBandCount;
using quorvane::kModeClassCount;
using quorvane::ModeClasses;

Form3::Form3(const quorvane::BandModeTally& counters, QWidget* parent)
    : ChartWindow("Form3", windowtext::kModeChart, QSize(7350, 4725), QRect(0, 0, 7335, 4695),
                  parent) {
    ChartControl* chart = chartControl();
    chart->SetChartType(ChartControl::ChartType::Bar2d);
    chart->SetColumnCount(kModeClassCount);
    chart->SetRowCount(kBandCount);
    Fill(counters);

    for (std::size_t band = 0; band < kBandCount; ++band)
        chart->SetRowLabel(band, TableText(BandTable[band].chartLabel));
    for (std::size_t mode = 0; mode < kModeClassCount; ++mode)
        chart->SetColumnLegendText(mode, TableText(ModeClasses[mode].name));
    chart->SetShowLegend(true);
    // Only the mode chart drops the shadow; it fills its window edge to edge.
    chart->SetDropShadowEnabled(false);
}

void Form3::Fill(const quorvane::BandModeTally& counters) {
    // Column by column: the ten CW counters, then DIG, then PHO. No totals.
    ChartControl::DataGrid grid(kBandCount, QList<qint32>(kModeClassCount, 0));
    for (std::size_t mode = 0; mode < kModeClassCount; ++mode) {
        for (std::size_t band = 0; band < kBandCount; ++band)
            grid[band][mode] = counters.Counter(mode, band);
    }
    chartControl()->SetChartData(grid);
}
