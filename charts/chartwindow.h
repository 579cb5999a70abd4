// What the two chart windows share: a fixed-size, centred top-level window holding one chart.
#pragma once

#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

#include "chartcontrol.h"

class ChartWindow : public QWidget {
    Q_OBJECT
  public:
    // The chart control is named "MSChart1"; sizes and places are in twips.
    ChartWindow(const QString& objectName, const QString& caption, QSize clientTwips,
                QRect chartTwips, QWidget* parent);

    ChartControl* chartControl() const { return chart_; }

  private:
    ChartControl* chart_;
};
