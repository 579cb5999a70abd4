#include "form2.h"

#include <QAction>
#include <QFile>
#include <QMenuBar>

#include "gridcontrol.h"
#include "quorvane/tables.h"
#include "tabletext.h"
#include "windowdesign.h"
#include "windowtexts.h"

using quorvane::BandTable;
using quorvane::Continents;
using quorvane::kBandCount;
using quorvane::kContinentCount;

namespace {
constexpr int kTotalRow = 1 + static_cast<int>(kBandCount);
}

Form2::Form2(const quorvane::CountingRules& rules, QWidget* parent)
    : QMainWindow(parent), rules_(&rules), grid_(new GridControl) {
    setObjectName(QStringLiteral("Form2"));
    ApplyWindowDesign(*this, Border::Fixed);
    setWindowTitle(windowtext::kContinentSummary);

    QMenu* option = AddMenu(menuBar(), "mnuOption", QStringLiteral("Option"));
    QAction* chart = AddItem(option, "mnuChat", QStringLiteral("Chart"));
    connect(chart, &QAction::triggered, this, &Form2::chartRequested);

    auto* client = new QWidget;
    setCentralWidget(client);
    grid_->setParent(client);
    grid_->setObjectName(QStringLiteral("MSFlexGrid1"));
    grid_->setGeometry(TwipsRect(120, 120, 5715, 3420));
    SizeAndCentre(*this, 5940, 3645, Border::Fixed, menuBar()->sizeHint().height());

    grid_->SetRows(kTotalRow + 1);
    grid_->SetCols(1 + static_cast<int>(kContinentCount));
    for (std::size_t b = 0; b < kBandCount; ++b)
        grid_->SetTextMatrix(1 + static_cast<int>(b), 0, TableText(BandTable[b].label));
    grid_->SetTextMatrix(kTotalRow, 0, TableText(quorvane::kTotalText));
    for (std::size_t c = 0; c < kContinentCount; ++c)
        grid_->SetTextMatrix(0, 1 + static_cast<int>(c), TableText(Continents[c].code));
    grid_->SetColWidth(-1, 720);
    grid_->SetRowHeight(-1, 280);
    for (int c = 0; c <= static_cast<int>(kContinentCount); ++c)
        grid_->SetColAlignment(c, GridControl::kAlignCenterCenter);
}

bool Form2::Load(const QString& path, const quorvane::ScanHooks& hooks) {
    path_ = path;
    ContinentBandTally = quorvane::ContinentBandTally{};  // when it counts again
    if (!rules_->ScanContinentBands(ContinentBandTally, QFile::encodeName(path).toStdString(),
                                    hooks))
        return false;
    // Column by column, each continent's total formed as its cell is written.
    for (std::size_t c = 0; c < kContinentCount; ++c) {
        const int col = 1 + static_cast<int>(c);
        for (std::size_t b = 0; b < kBandCount; ++b)
            grid_->SetTextMatrix(1 + static_cast<int>(b), col,
                                 QString::number(ContinentBandTally.Counter(c, b)));
        grid_->SetTextMatrix(kTotalRow, col,
                             QString::number(ContinentBandTally.ContinentTotal(col)));
    }
    return true;
}
