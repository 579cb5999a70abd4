#include "dxccsummarywindow.h"

#include <QHeaderView>
#include <QTableView>

#include "gridmodel.h"
#include "tableview.h"
#include "windowtexts.h"

DxccSummaryWindow::DxccSummaryWindow(QWidget* parent)
    : AwardWindow(QStringLiteral("DxccSummary"), windowtext::kDxccSummary, true, parent),
      model_(new GridModel(1, this)),
      view_(MakeTableView(model_, windowtext::kDxccSummary)) {
    SetContent(view_);
    resize(760, 340);
}

void DxccSummaryWindow::Fill(const quorvane::AwardTally& tally) {
    model_->SetGrid(quorvane::DxccSummaryGrid(tally));
    view_->resizeColumnsToContents();
}
