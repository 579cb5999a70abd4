#include "chartwindow.h"

#include <QFont>
#include <QGuiApplication>
#include <QScreen>

#include "twips.h"

ChartWindow::ChartWindow(const QString& objectName, const QString& caption, QSize clientTwips,
                         QRect chartTwips, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      chart_(new ChartControl(this)) {
    setObjectName(objectName);
    setWindowTitle(caption);
    setFont(QFont("Arial", 9));
    setFixedSize(TwipsToPixels(clientTwips.width()), TwipsToPixels(clientTwips.height()));

    chart_->setObjectName("MSChart1");
    chart_->setGeometry(TwipsToPixels(chartTwips.x()), TwipsToPixels(chartTwips.y()),
                        TwipsToPixels(chartTwips.width()), TwipsToPixels(chartTwips.height()));

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
}
