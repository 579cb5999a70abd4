#include "form5.h"

#include <QFile>

#include "gridcontrol.h"
#include "quorvane/qsl_tally.h"
#include "quorvane/tables.h"
#include "tabletext.h"
#include "windowdesign.h"
#include "windowtexts.h"

using quorvane::QslChannels;

Form5::Form5(const quorvane::CountingRules& rules, QWidget* parent)
    : QWidget(parent), rules_(&rules), grid_(new GridControl(this)) {
    setObjectName(QStringLiteral("Form5"));
    ApplyWindowDesign(*this, Border::Sizable);
    setWindowTitle(windowtext::kQslRcvdSent);
    // No layout: when the window is resized the grid keeps its place and size.
    grid_->setObjectName(QStringLiteral("MSFlexGrid1"));
    grid_->setGeometry(TwipsRect(120, 120, 3735, 615));
    SizeAndCentre(*this, 3960, 840, Border::Sizable);

    grid_->SetRows(2);
    grid_->SetCols(1 + static_cast<int>(QslChannels.size()));
    for (std::size_t c = 0; c < QslChannels.size(); ++c)
        grid_->SetTextMatrix(0, 1 + static_cast<int>(c), TableText(QslChannels[c].header));
    grid_->SetTextMatrix(1, 0, TableText(quorvane::kRcvdSentText));
    grid_->SetColWidth(-1, 930);
    grid_->SetRowHeight(-1, 300);
    for (int c = 0; c <= static_cast<int>(QslChannels.size()); ++c)
        grid_->SetColAlignment(c, GridControl::kAlignCenterCenter);
}

void Form5::Load(const QString& path, const quorvane::ScanHooks& hooks) {
    path_ = path;
    quorvane::QslTally tally;  // lives for this load only
    rules_->CountQsl(tally, QFile::encodeName(path).toStdString(), hooks);
    for (std::size_t c = 0; c < QslChannels.size(); ++c)
        grid_->SetTextMatrix(1, 1 + static_cast<int>(c),
                             QString::fromStdString(tally.PercentText(c)));
}
