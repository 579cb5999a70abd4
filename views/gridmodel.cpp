#include "gridmodel.h"

#include <utility>

GridModel::GridModel(int textColumns, QObject* parent)
    : QAbstractTableModel(parent), textColumns_(textColumns) {}

void GridModel::SetGrid(quorvane::Grid grid) {
    beginResetModel();
    grid_ = std::move(grid);
    endResetModel();
}

int GridModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || grid_.empty()) return 0;
    return static_cast<int>(grid_.size()) - 1;
}

int GridModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid() || grid_.empty()) return 0;
    return static_cast<int>(grid_.front().size());
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const QString text = QString::fromStdString(CellAt(index).text);
    switch (role) {
        case Qt::DisplayRole:
            return text;
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(index.column() < textColumns_
                                           ? Qt::AlignLeft | Qt::AlignVCenter
                                           : Qt::AlignRight | Qt::AlignVCenter);
        case kSortRole: {
            bool number = false;
            const qlonglong value = text.toLongLong(&number);
            if (number) return value;
            return text;
        }
        default:
            return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || grid_.empty() || section < 0 || section >= columnCount())
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromStdString(grid_.front()[static_cast<std::size_t>(section)].text);
    return {};
}
