#include "chartwindow.h"

#include "windowdesign.h"

ChartWindow::ChartWindow(const QString& objectName, const QString& caption, QSize clientTwips,
                         QRect chartTwips, QWidget* parent)
    : QWidget(parent), chart_(new ChartControl(this)) {
    setObjectName(objectName);
    ApplyWindowDesign(*this, Border::Fixed);
    setWindowTitle(caption);

    chart_->setObjectName("MSChart1");
    chart_->setGeometry(
        TwipsRect(chartTwips.x(), chartTwips.y(), chartTwips.width(), chartTwips.height()));
    SizeAndCentre(*this, clientTwips.width(), clientTwips.height(), Border::Fixed);
}
