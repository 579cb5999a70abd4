#include "yearswindow.h"

#include <QSplitter>
#include <QTableView>

#include "chartcontrol.h"
#include "gridmodel.h"
#include "tableview.h"
#include "windowtexts.h"

YearsWindow::YearsWindow(QWidget* parent)
    : AwardWindow(QStringLiteral("Years"), windowtext::kYears, false, parent),
      model_(new GridModel(1, this)),
      view_(MakeTableView(model_, windowtext::kYears)),
      chart_(new ChartControl) {
    chart_->setObjectName(QStringLiteral("chart"));
    chart_->setAccessibleName(QStringLiteral("Chart of contacts by year"));
    chart_->SetChartType(ChartControl::ChartType::Bar2d);
    chart_->SetColumnCount(1);
    chart_->SetColumnLegendText(0, QStringLiteral("Contacts"));
    chart_->SetDropShadowEnabled(false);
    auto* splitter = new QSplitter(Qt::Vertical);
    splitter->addWidget(view_);
    splitter->addWidget(chart_);
    splitter->setStretchFactor(1, 1);
    SetContent(splitter);
    resize(640, 620);
}

// The chart's bars are the years' Contacts; the records without a date have no bar.
void YearsWindow::Fill(const quorvane::AwardTally& tally) {
    model_->SetGrid(quorvane::YearsGrid(tally));
    view_->resizeColumnsToContents();
    const int years = static_cast<int>(tally.years.size());
    chart_->SetRowCount(years);
    ChartControl::DataGrid grid;
    for (int y = 0; y < years; ++y) {
        const auto& [year, row] = tally.years[static_cast<std::size_t>(y)];
        grid.append(QList<qint32>{row.contacts});
        chart_->SetRowLabel(y, QString::number(year));
    }
    chart_->SetChartData(grid);
}
