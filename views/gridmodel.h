// A table of the core (quorvane::Grid) as a Qt item model: the grid's first row gives the column
// headers, every other row is a row of the model. Counts sort as numbers.
#pragma once

#include <QAbstractTableModel>

#include "quorvane/report_format.h"

class GridModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    // The role by which the views sort: a number for a cell that holds one, else its text.
    static constexpr int kSortRole = Qt::UserRole;

    // The first `textColumns` columns are texts (left-aligned), the others counts or marks.
    explicit GridModel(int textColumns, QObject* parent = nullptr);

    // The table shown from now on.
    void SetGrid(quorvane::Grid grid);
    const quorvane::Grid& Table() const { return grid_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

  protected:
    // The cell of a model index, in the grid (one row below the model's).
    const quorvane::Cell& CellAt(const QModelIndex& index) const {
        return grid_[static_cast<std::size_t>(index.row()) + 1]
                    [static_cast<std::size_t>(index.column())];
    }

  private:
    int textColumns_;
    quorvane::Grid grid_;
};
