#include "entityfilter.h"

#include "entitymodel.h"

EntityFilter::EntityFilter(QObject* parent) : QSortFilterProxyModel(parent) {
    setSortRole(GridModel::kSortRole);
}

void EntityFilter::SetStatus(Status status) {
    status_ = status;
    invalidateRowsFilter();
}

void EntityFilter::SetFindText(const QString& text) {
    find_ = text.trimmed();
    invalidateRowsFilter();
}

bool EntityFilter::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    const QAbstractItemModel* model = sourceModel();
    const auto text = [&](int column) {
        return model->index(sourceRow, column, sourceParent).data().toString();
    };
    const bool confirmed = text(EntityModel::kMixedColumn) == QLatin1String("C");
    if (status_ == Status::Confirmed && !confirmed) return false;
    if (status_ == Status::NotConfirmed && confirmed) return false;
    if (find_.isEmpty()) return true;
    return text(EntityModel::kNameColumn).contains(find_, Qt::CaseInsensitive) ||
           text(EntityModel::kCodeColumn).startsWith(find_);
}
