// What the two chart windows share: a fixed-size, centred top-level window holding one chart.
#pragma once

#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>
#include <string_view>

#include "chartcontrol.h"

class ChartWindow : public QWidget {
    Q_OBJECT
  public:
    // The chart control is named "MSChart1"; sizes and places are in twips.
    ChartWindow(const QString& objectName, const QString& caption, QSize clientTwips,
                QRect chartTwips, QWidget* parent);

    ChartControl* chartControl() const { return chart_; }

  protected:
    // A text of the program's fixed tables (a band's chart label, a series name).
    static QString ChartText(std::string_view text) {
        return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }

  private:
    ChartControl* chart_;
};
