// The Contacts by Year window: the years' table and a bar chart of the contacts of each year.
#pragma once

#include "awardwindow.h"

class ChartControl;
class GridModel;
class QTableView;

class YearsWindow : public AwardWindow {
    Q_OBJECT
  public:
    explicit YearsWindow(QWidget* parent = nullptr);

    ChartControl* chartControl() const { return chart_; }

  protected:
    void Fill(const quorvane::AwardTally& tally) override;

  private:
    GridModel* model_;
    QTableView* view_;
    ChartControl* chart_;
};
