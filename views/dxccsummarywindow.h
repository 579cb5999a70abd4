// The DXCC Summary window: distinct entities worked and confirmed by mode and band, the deleted
// entities and the contacts without an entity.
#pragma once

#include "awardwindow.h"

class GridModel;
class QTableView;

class DxccSummaryWindow : public AwardWindow {
    Q_OBJECT
  public:
    explicit DxccSummaryWindow(QWidget* parent = nullptr);

  protected:
    void Fill(const quorvane::AwardTally& tally) override;

  private:
    GridModel* model_;
    QTableView* view_;
};
