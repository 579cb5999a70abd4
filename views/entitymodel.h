// The DXCC by Entity table as an item model: the core's grid, with the channels that confirm each
// cell as its tooltip, deleted entities in italics and the marks sorting from worked to
// confirmed.
#pragma once

#include <cstdint>
#include <vector>

#include "gridmodel.h"
#include "quorvane/award_tally.h"

class EntityModel : public GridModel {
    Q_OBJECT
  public:
    // The columns before the marks: code, entity, deleted; then Mixed.
    static constexpr int kCodeColumn = 0;
    static constexpr int kNameColumn = 1;
    static constexpr int kDeletedColumn = 2;
    static constexpr int kMixedColumn = 3;

    explicit EntityModel(QObject* parent = nullptr);

    // The table of `tally`, as quorvane-report prints it.
    void SetTally(const quorvane::AwardTally& tally);

    bool Deleted(int row) const { return deleted_[static_cast<std::size_t>(row)]; }

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  private:
    std::vector<bool> deleted_;                        // by row
    std::vector<std::vector<std::uint8_t>> channels_;  // by row and mark column
};
