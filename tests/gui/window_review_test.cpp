// How the windows stand on the screen and come back, what the file dialog leaves behind, error
// messages for odd names, and the chart colours.
#include <gtest/gtest.h>

#include <QBarSeries>
#include <QBarSet>
#include <QDir>
#include <QFileDialog>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>

#include "errormessage.h"
#include "form3.h"
#include "form4.h"
#include "form6.h"
#include "gui_support.h"
#include "nosettings.h"
#include "windowdesign.h"

namespace guitest {
namespace {

// A frame centred in `area`, to the pixel.
void ExpectCentred(const QRect& frame, const QRect& area, const char* what) {
    const QPointF offset = QRectF(frame).center() - QRectF(area).center();
    EXPECT_LE(std::max(std::abs(offset.x()), std::abs(offset.y())), 1.0) << what;
}

TEST(WindowPlace, TheFrameWithItsDecorationsIsCentred) {
    const QRect area(0, 0, 1280, 1024);
    const QSize client(295, 57);
    const QMargins frame(4, 30, 8, 2);  // a title bar and uneven edges
    ExpectCentred(QRect(CentredFramePosition(area, client, frame), client.grownBy(frame)), area,
                  "frame");
}

// The offscreen platform draws a frame of 2 px around each window.
TEST_F(WindowTest, EveryWindowOpensWithItsFrameCentredAndComesBackFromMinimised) {
    Open(Write("large.adi", Generated(6000)));
    for (const char* name : {"mnuContinent", "mnuQSLReceived", "mnuChart"}) Trigger(name);
    Trigger("mnuChat", "Form2");
    auto busy = std::make_unique<Form6>();
    busy->show();
    QCoreApplication::processEvents();
    const QRect area = form->screen()->availableGeometry();
    for (const char* name : {"Form1", "Form2", "Form3", "Form4", "Form5", "Form6"})
        ExpectCentred(Window(name, true)->frameGeometry(), area, name);

    // Window, its command, the command's window.
    const std::array<const char*, 3> commands[] = {{"Form2", "mnuContinent", "Form1"},
                                                   {"Form5", "mnuQSLReceived", "Form1"},
                                                   {"Form3", "mnuChart", "Form1"},
                                                   {"Form4", "mnuChat", "Form2"}};
    for (const auto& [name, command, owner] : commands) {
        QWidget* window = Window(name, true);
        window->setWindowState(Qt::WindowMinimized);
        Trigger(command, owner);
        EXPECT_TRUE(window->isVisible() && !window->isMinimized()) << name;
    }
}

// Qt's own file dialog writes its history into the user's Qt settings as it closes.
TEST(FileDialog, OpensLogsInTheLastFolderAndLeavesNoFileBehind) {
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(".config")));
    QTemporaryDir logs;
    const QString log = logs.filePath("a.adi");
    std::ofstream(log.toStdString()) << Contact("20M", "CW");
    SendUserSettingsNowhere();  // as the programs do at start
    Form1 form({}, [](const QString& message) { ADD_FAILURE() << message.toStdString(); });
    QStringList startedIn;
    const auto answer = [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        startedIn << dialog->directory().absolutePath();
        dialog->selectFile(log);
        static_cast<QDialog*>(dialog)->accept();  // as its Open button
    };
    for (int i = 0; i < 2; ++i) {
        QTimer::singleShot(0, answer);
        form.findChild<QAction*>("mnuOpen")->trigger();
        EXPECT_EQ(form.FileName, log);
    }
    EXPECT_EQ(startedIn.value(1), logs.path());
    EXPECT_EQ(QDir(home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList());
}

// The windows' error messages stay one line whatever the log's name holds.
TEST(ErrorMessage, ControlCharactersInTheNameAreEscaped) {
    const QString path = QString::fromUtf8("/x/a\nb\rc\td\x1b[2Je\x7f\\f.adi");
    const QString shown = QStringLiteral(R"(/x/a\nb\rc\td\x1b[2Je\x7f\\f.adi)");
    EXPECT_EQ(ErrorMessage(quorvane::CounterOverflow("EU20"), path),
              "Cannot count \"" + shown + "\": the count EU20 would pass 2,147,483,647.");
}

// ---- chart colours

double Linear(double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); }
double Luminance(const QColor& c) {
    return 0.2126 * Linear(c.redF()) + 0.7152 * Linear(c.greenF()) + 0.0722 * Linear(c.blueF());
}
double Contrast(const QColor& a, const QColor& b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}
TEST(ChartColours, EverySeriesStandsOutFromTheBackgroundAndFromTheOthers) {
    EXPECT_NEAR(Contrast(QColor(0x76, 0x76, 0x76), Qt::white), 4.54, 0.01);  // a known value
    const Form3 modes(quorvane::BandModeTally{});
    const Form4 continents(quorvane::ContinentBandTally{});
    for (const ChartWindow* window :
         {static_cast<const ChartWindow*>(&modes), static_cast<const ChartWindow*>(&continents)}) {
        const ChartControl& chart = *window->chartControl();
        const QBrush brush = chart.chart()->backgroundBrush();  // a gradient in Qt's themes
        QList<QColor> background;
        if (const QGradient* gradient = brush.gradient())
            for (const QGradientStop& stop : gradient->stops()) background << stop.second;
        else
            background << brush.color();
        const QList<QBarSet*> sets = chart.barSeries()->barSets();
        for (int i = 0; i < sets.size(); ++i) {
            const QString name = sets[i]->label();
            for (const QColor& shade : background)
                EXPECT_GE(Contrast(sets[i]->color(), shade), 3.0) << name.toStdString();
            for (int j = 0; j < i; ++j) {  // apart by a quarter of the RGB range
                const QColor a = sets[i]->color(), b = sets[j]->color();
                EXPECT_GE(
                    std::hypot(a.redF() - b.redF(), a.greenF() - b.greenF(), a.blueF() - b.blueF()),
                    0.25)
                    << name.toStdString() << " and " << sets[j]->label().toStdString();
            }
        }
    }
}

}  // namespace
}  // namespace guitest
