#include "form4.h"

#include "quorvane/tables.h"
#include "tabletext.h"
#include "windowtexts.h"

using quorvane::BandTable;
using quorvane::Continents;
using quorvane::kBandCount;
using quorvane::kContinentCount;

Form4::Form4(const quorvane::ContinentBandTally& counters, QWidget* parent)
    : ChartWindow("Form4", windowtext::kContinentChart, QSize(7455, 4515),
                  QRect(120, 120, 7215, 4335), parent) {
    ChartControl* chart = chartControl();
    chart->SetChartType(ChartControl::ChartType::Bar2d);
    chart->SetColumnCount(kContinentCount);
    chart->SetRowCount(kBandCount);
    Fill(counters);

    for (std::size_t band = 0; band < kBandCount; ++band)
        chart->SetRowLabel(band, TableText(BandTable[band].chartLabel));
    for (std::size_t continent = 0; continent < kContinentCount; ++continent)
        chart->SetColumnLegendText(continent, TableText(Continents[continent].code));
    chart->SetShowLegend(true);
}

void Form4::Fill(const quorvane::ContinentBandTally& counters) {
    // Column by column, continent by continent; the continent totals are not charted.
    ChartControl::DataGrid grid(kBandCount, QList<qint32>(kContinentCount, 0));
    for (std::size_t continent = 0; continent < kContinentCount; ++continent) {
        for (std::size_t band = 0; band < kBandCount; ++band)
            grid[band][continent] = counters.Counter(continent, band);
    }
    chartControl()->SetChartData(grid);
}
