// The windows' fixed design, their place on the screen, and the chart colours.
#include <gtest/gtest.h>

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QLegend>
#include <QLegendMarker>
#include <QScreen>
#include <QScrollBar>
#include <cmath>

#include "form6.h"
#include "gui_support.h"
#include "windowdesign.h"

namespace guitest {
namespace {

// Every window shown for a log.
class Design : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        Open(Write("log.adi", kFirstLog));
        for (const WindowCommand& row : kWindowCommands) Choose(row);
    }
};

// The column headers, then the row headers.
QString Headers(QWidget* w) {
    QStringList headers = Row(Grid(w), 0);
    for (int r = 1; r < Grid(w).Rows(); ++r) headers << Grid(w).TextMatrix(r, 0);
    return headers.join(' ');
}

// Sizes in pixels, 15 twips to the pixel.
TEST_F(Design, MainWindowHasItsDesignedMenus) {
    EXPECT_EQ(MenuItems(*form),
              QStringList({"mnuFile=File", "  mnuOpen=Open ADIF", "  mnuLine_1=-", "  mnuExit=Exit",
                           "mnuOption=Option", "  mnuChart=Chart", "  mnuLine_2=-",
                           "  mnuQSLReceived=QSL Rcvd/Sent", "  mnuContinent=Continent summary",
                           "mnuHelp=Help", "  mnuVer=Quorvane ver2.0"}));
    for (const QAction* item : form->findChildren<QAction*>()) {
        EXPECT_TRUE(item->shortcut().isEmpty()) << item->objectName().toStdString();
        EXPECT_FALSE(item->isCheckable()) << item->objectName().toStdString();
    }
}

TEST_F(Design, MainWindowHasItsDesignedLayout) {
    EXPECT_EQ(Headers(form.get()),
              " CW DIG PHO Total 6M 10M 12M 15M 17M 20M 30M 40M 80M 160M Total Others");
    EXPECT_EQ(form->centralWidget()->size(), QSize(295, 256));
    EXPECT_EQ(Grid(form.get()).geometry(), QRect(8, 0, 281, 249));
    EXPECT_EQ(Grid(form.get()).columnWidth(0), 56);
    EXPECT_EQ(Grid(form.get()).rowHeight(12), 19);
    EXPECT_EQ(form->font(), QFont("Arial", 9));
    EXPECT_EQ(form->windowIcon().availableSizes(), QList<QSize>({QSize(32, 32)}));
}

// Its columns overhang the grid's place, without a scroll bar.
TEST_F(Design, ContinentWindowHasItsDesignedMenuAndLayout) {
    QWidget* continent = Window("Form2");
    EXPECT_EQ(continent->windowTitle(), "Continent Summary");
    EXPECT_EQ(MenuItems(*continent), QStringList({"mnuOption=Option", "  mnuChat=Chart"}));
    EXPECT_EQ(Headers(continent),
              " AF AN AS EU NA OC SA 6M 10M 12M 15M 17M 20M 30M 40M 80M 160M Total");
    EXPECT_EQ(Grid(continent).geometry(), QRect(8, 8, 381, 228));
    EXPECT_FALSE(Grid(continent).horizontalScrollBar()->isVisible());
}

TEST_F(Design, QslWindowHasItsDesignedLayout) {
    EXPECT_EQ(Window("Form5")->windowTitle(), "QSL Rcvd/Sent");
    EXPECT_EQ(Headers(Window("Form5")), " QSL LoTW eQSL Rcvd/Sent");
}

// The offscreen platform draws a frame of 2 px around each window.
TEST_F(Design, EveryWindowOpensWithItsFrameCentred) {
    Form6 busy;  // as a scan shows it
    busy.show();
    QCoreApplication::processEvents();
    const QRect area = form->screen()->availableGeometry();
    for (const char* name : {"Form1", "Form2", "Form3", "Form4", "Form5", "Form6"}) {
        const QPointF offset = QRectF(Window(name)->frameGeometry()).center() - area.center();
        EXPECT_LE(std::abs(offset.x()), 1.0) << name;
        EXPECT_LE(std::abs(offset.y()), 1.0) << name;
    }
}

TEST(WindowPlace, TheFrameWithItsDecorationsIsCentred) {
    const QRect area(0, 0, 1280, 1024);
    const QSize client(295, 57);
    const QMargins frame(4, 30, 8, 2);  // a title bar and uneven edges
    const QRectF placed(CentredFramePosition(area, client, frame), client.grownBy(frame));
    EXPECT_LE(std::abs(placed.center().x() - 640), 1.0);
    EXPECT_LE(std::abs(placed.center().y() - 512), 1.0);
}

// A chart window's design: its window, caption, size and place, series and shadow.
struct ChartLayout {
    const char* name;
    const char* window;
    const char* caption;
    QSize size;
    QRect place;
    const char* series;
    bool shadow;
};

class Chart : public Design, public ::testing::WithParamInterface<ChartLayout> {
  protected:
    QWidget* Shown() { return Window(GetParam().window); }
    QChart& Drawn() { return *Shown()->findChild<QChartView*>("MSChart1")->chart(); }
    QList<QBarSet*> Sets() { return qobject_cast<QBarSeries*>(Drawn().series()[0])->barSets(); }
};

TEST_P(Chart, HasItsDesignedLayout) {
    EXPECT_EQ(Shown()->windowTitle(), GetParam().caption);
    EXPECT_EQ(Shown()->minimumSize(), GetParam().size);
    EXPECT_EQ(Shown()->maximumSize(), GetParam().size);
    EXPECT_EQ(Shown()->findChild<QChartView*>("MSChart1")->geometry(), GetParam().place);
    EXPECT_EQ(Drawn().isDropShadowEnabled(), GetParam().shadow);
    EXPECT_EQ(Drawn().title(), "");
}

// The bands along the axis, the series in a legend on the right.
TEST_P(Chart, LabelsItsBandsAndSeries) {
    auto* bands = qobject_cast<QBarCategoryAxis*>(Drawn().axes(Qt::Horizontal)[0]);
    EXPECT_EQ(bands->categories().join(' '), "6 10 12 15 17 20 30 40 80 160");
    QStringList legend;
    for (const QLegendMarker* marker : Drawn().legend()->markers()) legend << marker->label();
    EXPECT_EQ(legend.join(' '), GetParam().series);
    EXPECT_TRUE(Drawn().legend()->isVisible());
    EXPECT_EQ(Drawn().legend()->alignment(), Qt::AlignRight);
    EXPECT_EQ(Drawn().legend()->font(), QFont("Arial", 8));
}

// WCAG's contrast ratio.
double Linear(double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); }
double Luminance(const QColor& c) {
    return 0.2126 * Linear(c.redF()) + 0.7152 * Linear(c.greenF()) + 0.0722 * Linear(c.blueF());
}
double Contrast(const QColor& a, const QColor& b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}
double Distance(const QColor& a, const QColor& b) {
    return std::hypot(a.redF() - b.redF(), a.greenF() - b.greenF(), a.blueF() - b.blueF());
}

TEST_P(Chart, EverySeriesStandsOutFromTheBackground) {
    const QBrush brush = Drawn().backgroundBrush();
    QList<QColor> background;
    if (const QGradient* gradient = brush.gradient())  // as in Qt's themes
        for (const QGradientStop& stop : gradient->stops()) background << stop.second;
    else
        background << brush.color();
    for (QBarSet* set : Sets())
        for (const QColor& shade : background)
            EXPECT_GE(Contrast(set->color(), shade), 3.0) << set->label().toStdString();
}

// Apart by a quarter of the RGB range.
TEST_P(Chart, EverySeriesStandsApartFromTheOthers) {
    const QList<QBarSet*> sets = Sets();
    for (int i = 0; i < sets.size(); ++i)
        for (int j = 0; j < i; ++j)
            EXPECT_GE(Distance(sets[i]->color(), sets[j]->color()), 0.25)
                << sets[i]->label().toStdString() << " and " << sets[j]->label().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    , Chart,
    ::testing::Values(ChartLayout{"ModeChart", "Form3", "Mode Chart", QSize(490, 315),
                                  QRect(0, 0, 489, 313), "CW DIG PHO", false},
                      ChartLayout{"ContinentChart", "Form4", "Continent Chart", QSize(497, 301),
                                  QRect(8, 8, 481, 289), "AF AN AS EU NA OC SA", true}),
    RowName());

}  // namespace
}  // namespace guitest
