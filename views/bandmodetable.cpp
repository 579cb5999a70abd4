#include "bandmodetable.h"

#include <QString>

#include "gridcontrol.h"
#include "quorvane/tables.h"
#include "tabletext.h"

using quorvane::BandModeTally;
using quorvane::BandTable;
using quorvane::kBandCount;
using quorvane::kModeClassCount;
using quorvane::ModeClasses;

namespace {

constexpr int kTotalRow = 1 + static_cast<int>(kBandCount);
constexpr int kOthersRow = kTotalRow + 1;
constexpr int kTotalCol = 1 + static_cast<int>(kModeClassCount);

QString Number(std::int32_t value) { return QString::number(value); }

}  // namespace

void SetUpBandModeTable(GridControl& grid) {
    grid.SetRows(kOthersRow + 1);
    grid.SetCols(kTotalCol + 1);
    for (std::size_t b = 0; b < kBandCount; ++b)
        grid.SetTextMatrix(1 + static_cast<int>(b), 0, TableText(BandTable[b].label));
    grid.SetTextMatrix(kTotalRow, 0, TableText(quorvane::kTotalText));
    grid.SetTextMatrix(kOthersRow, 0, TableText(quorvane::kOthersText));
    for (std::size_t m = 0; m < kModeClassCount; ++m)
        grid.SetTextMatrix(0, 1 + static_cast<int>(m), TableText(ModeClasses[m].name));
    grid.SetTextMatrix(0, kTotalCol, TableText(quorvane::kTotalText));
    grid.SetColWidth(-1, 840);
    grid.SetRowHeight(-1, 280);
    for (int c = 0; c <= kTotalCol; ++c) grid.SetColAlignment(c, GridControl::kAlignCenterCenter);
}

void FillBandModeTable(GridControl& grid, BandModeTally& tally) {
    for (std::size_t m = 0; m < kModeClassCount; ++m) {
        const int col = 1 + static_cast<int>(m);
        for (std::size_t b = 0; b < kBandCount; ++b)
            grid.SetTextMatrix(1 + static_cast<int>(b), col, Number(tally.Counter(m, b)));
        grid.SetTextMatrix(kTotalRow, col, Number(tally.FormClassTotal(m)));
    }
    for (std::size_t b = 0; b < kBandCount; ++b)
        grid.SetTextMatrix(1 + static_cast<int>(b), kTotalCol, Number(tally.FormBandTotal(b)));
    grid.SetTextMatrix(kTotalRow, kTotalCol, Number(tally.FormTotal()));
    for (std::size_t m = 0; m < kModeClassCount; ++m)
        grid.SetTextMatrix(kOthersRow, 1 + static_cast<int>(m),
                           TableText(quorvane::kNoBreakdownText));
    grid.SetTextMatrix(kOthersRow, kTotalCol, Number(tally.OthersTotal));
}

void ClearBandModeTable(GridControl& grid) {
    for (int r = 1; r <= kOthersRow; ++r)
        for (int c = 1; c <= kTotalCol; ++c) grid.SetTextMatrix(r, c, QString());
}
