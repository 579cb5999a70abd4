#include "entitymodel.h"

#include <QFont>
#include <string_view>

#include "windowtexts.h"

namespace {

// Not worked, worked, eQSL only, card or LoTW.
int MarkRank(std::string_view mark) {
    if (mark == "W") return 1;
    if (mark == "E") return 2;
    if (mark == "C") return 3;
    return 0;
}

// The award column whose name heads a column of the grid.
std::size_t AwardColumnNamed(const std::string& name) {
    for (std::size_t c = 0; c < quorvane::kAwardColumnCount; ++c)
        if (quorvane::AwardColumnName(c) == name) return c;
    return quorvane::kMixedColumn;
}

}  // namespace

EntityModel::EntityModel(QObject* parent) : GridModel(kMixedColumn, parent) {}

void EntityModel::SetTally(const quorvane::AwardTally& tally) {
    quorvane::Grid grid = quorvane::DxccEntityGrid(tally);
    const std::vector<std::size_t> entities = quorvane::WorkedEntities(tally);
    std::vector<std::size_t> columns;
    for (std::size_t c = kMixedColumn; c < grid.front().size(); ++c)
        columns.push_back(AwardColumnNamed(grid.front()[c].text));
    deleted_.clear();
    channels_.clear();
    for (const std::size_t e : entities) {
        deleted_.push_back(quorvane::DxccEntities()[e].deleted);
        std::vector<std::uint8_t>& row = channels_.emplace_back();
        for (const std::size_t c : columns) row.push_back(tally.Cell(e, c).channels);
    }
    SetGrid(std::move(grid));
}

QVariant EntityModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const auto row = static_cast<std::size_t>(index.row());
    const bool mark = index.column() >= kMixedColumn;
    if (role == Qt::FontRole && deleted_[row]) {
        QFont font;
        font.setItalic(true);
        return font;
    }
    if (role == Qt::ToolTipRole && mark && !CellAt(index).text.empty())
        return windowtext::ChannelsText(
            channels_[row][static_cast<std::size_t>(index.column() - kMixedColumn)]);
    if (role == Qt::ToolTipRole && index.column() == kNameColumn && deleted_[row])
        return QStringLiteral("A deleted entity: no longer current; its contacts stay valid");
    if (role == kSortRole && mark) return MarkRank(CellAt(index).text);
    if (role == Qt::TextAlignmentRole && mark) return Qt::AlignCenter;
    return GridModel::data(index, role);
}
