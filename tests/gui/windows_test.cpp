// The windows through their menus: design, tables and captions, nothing before a log, cancel,
// one window each, never refreshed by a new log, a fresh count after a reopen, the charts, and
// the ending of the program.
#include <gtest/gtest.h>

#include <QBarCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QFileInfo>
#include <QLegend>
#include <QLegendMarker>
#include <QPointer>
#include <QScrollBar>
#include <QTimer>
#include <QWindow>

#include "gui_support.h"

namespace guitest {
namespace {

TEST_F(WindowTest, MainWindowHasItsDesignAndDoesNothingWithoutALog) {
    EXPECT_EQ(MenuItems(*form),
              QStringList({"mnuFile=File", "  mnuOpen=Open ADIF", "  mnuLine_1=-", "  mnuExit=Exit",
                           "mnuOption=Option", "  mnuChart=Chart", "  mnuLine_2=-",
                           "  mnuQSLReceived=QSL Rcvd/Sent", "  mnuContinent=Continent summary",
                           "mnuHelp=Help", "  mnuVer=Quorvane ver2.0"}));
    for (const QAction* item : form->findChildren<QAction*>())
        EXPECT_TRUE(item->isEnabled() && item->shortcut().isEmpty() && !item->isCheckable());
    QStringList headers = Row(Grid(form.get()), 0);
    for (int r = 1; r < 13; ++r) headers << Grid(form.get()).TextMatrix(r, 0);
    EXPECT_EQ(headers.join(' '),
              " CW DIG PHO Total 6M 10M 12M 15M 17M 20M 30M 40M 80M 160M Total Others");
    EXPECT_EQ(form->centralWidget()->size(), QSize(295, 256));  // 4425 x 3840 twips
    EXPECT_EQ(Grid(form.get()).geometry(), QRect(8, 0, 281, 249));
    EXPECT_EQ(Grid(form.get()).columnWidth(0) + Grid(form.get()).rowHeight(12), 56 + 19);
    EXPECT_EQ(form->font(), QFont("Arial", 9));
    EXPECT_EQ(form->windowIcon().availableSizes(), QList<QSize>({QSize(32, 32)}));
    for (const char* name : {"mnuChart", "mnuQSLReceived", "mnuContinent", "mnuVer"}) Trigger(name);
    Open(QString());  // a first cancel changes nothing either
    EXPECT_EQ(form->windowTitle(), "Quorvane");
    EXPECT_EQ(DataCells(form.get()), QStringList(48, ""));
    EXPECT_FALSE(Window("Form2") || Window("Form3") || Window("Form5"));
    EXPECT_TRUE(errors.isEmpty());  // not even an error without a log
}

// Every cell, also for a smaller log after a larger one, and the name without the folder as
// the caption, "[*]" included (Qt would take it for the modified mark).
TEST_F(WindowTest, OpenShowsTheLogsCountsAndName) {
    for (const QString& path : {Write("big.adi", Generated(3000)),
                                Write("contest[*].adi", Contact("17M", "AM") + Contact("2M", "FM")),
                                Write("empty.adi", "")}) {
        Open(path);
        form->winId();
        EXPECT_EQ(form->windowHandle()->title(), QFileInfo(path).fileName());
        EXPECT_EQ(DataCells(form.get()), ExpectedBandModeCells(path));
    }
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(WindowTest, CancelAfterALogZeroesTheCountersButKeepsTableAndCaption) {
    QDir(dir.path()).mkdir("logs");
    Open(
        Write("logs/one.adi", Contact("20M", "CW") + Contact("40M", "SSB") + Contact("60M", "CW")));
    const QStringList shown = DataCells(form.get());
    Open(QString());
    EXPECT_EQ(startFolders, QStringList({"", dir.filePath("logs")}));
    EXPECT_EQ(form->windowTitle(), "one.adi");
    EXPECT_EQ(DataCells(form.get()), shown);
    const auto& t = form->BandModeTally;
    EXPECT_EQ(std::vector({t.C20, t.Ctotal, t.Total, t.OthersTotal, t.Total20}),
              std::vector({0, 0, 0, 0, 1}));
    for (const char* name : {"mnuChart", "mnuQSLReceived", "mnuContinent"}) Trigger(name);
    EXPECT_FALSE(Window("Form2") || Window("Form3") || Window("Form5"));  // no log
}

// Shown once each, not refreshed by a second log; closed and chosen again, they count it.
TEST_F(WindowTest, ContinentAndQslWindowsShowTheLogTheyWereLoadedForUntilReopened) {
    const QString first =
        Write("first.adi", Contact("20M", "CW", "EU", "<QSL_SENT:1>Y <QSL_RCVD:1>Y ") +
                               Contact("40M", "SSB", "NA", "<QSL_SENT:1>Y "));
    const QString second = Write("second.adi", Contact("6M", "FM", "AF", "<LOTW_QSL_SENT:1>Y "));
    const auto expectShown = [&](const QString& log, const QStringList& percentages) {
        for (const char* command : {"mnuContinent", "mnuQSLReceived"}) Trigger(command);
        ASSERT_TRUE(Window("Form2") && Window("Form2", true) && Window("Form5", true));
        EXPECT_EQ(DataCells(Window("Form2")), ExpectedContinentCells(log));
        EXPECT_EQ(Row(Grid(Window("Form5")), 1), percentages);
    };
    Open(first);
    expectShown(first, {"Rcvd/Sent", "50.%", "-", "-"});
    const QPointer<QWidget> continent = Window("Form2");
    Open(second);
    expectShown(first, {"Rcvd/Sent", "50.%", "-", "-"});
    ASSERT_EQ(Window("Form2"), continent.data());
    EXPECT_EQ(continent->windowTitle(), "Continent Summary");
    EXPECT_EQ(MenuItems(*continent), QStringList({"mnuOption=Option", "  mnuChat=Chart"}));
    EXPECT_EQ(Row(Grid(continent), 0).join(' '), " AF AN AS EU NA OC SA");
    EXPECT_EQ(Grid(continent).TextMatrix(11, 0), "Total");
    EXPECT_EQ(Grid(continent).geometry(), QRect(8, 8, 381, 228));  // its columns overhang it
    EXPECT_FALSE(Grid(continent).horizontalScrollBar()->isVisible());
    EXPECT_EQ(Window("Form5")->windowTitle(), "QSL Rcvd/Sent");
    EXPECT_EQ(Row(Grid(Window("Form5")), 0).join(' '), " QSL LoTW eQSL");
    Close("Form2");
    Close("Form5");
    expectShown(second, {"Rcvd/Sent", "-", ".%", "-"});
}

// Both charts: their design; each counter in its band and series, no total, and counts past
// sixteen bits as they are; one window each, kept on log A until closed and chosen again. The
// continent chart's command has no guard, and its chart outlives the continent window.
TEST_F(WindowTest, ChartsShowTheCountsTheyWereLoadedWithUntilReopened) {
    std::string big = Generated(3000, 11);
    for (int i = 0; i < 32768; ++i) big += "<BAND:3>20M <MODE:2>AM <CONT:2>SA\n";
    const QString a = Write("a.adi", big), b = Write("b.adi", Generated(1200, 29));
    const std::tuple<const char*, const char*, QSize, QRect, const char*> charts[] = {
        {"Form3", "Mode Chart", {490, 315}, {0, 0, 489, 313}, "CW DIG PHO"},
        {"Form4", "Continent Chart", {497, 301}, {8, 8, 481, 289}, "AF AN AS EU NA OC SA"}};
    for (const auto& [chart, caption, size, geometry, series] : charts) {
        const bool continents = chart[4] == '4';
        const QString from = continents ? "Form2" : "Form1";
        const char* command = continents ? "mnuChat" : "mnuChart";
        Open(a);
        if (continents) Trigger("mnuContinent"), Open(QString());
        Trigger(command, from);
        Trigger(command, from);
        const QPointer<QWidget> shown = Window(chart);
        ASSERT_TRUE(shown && shown->isVisible());
        EXPECT_EQ(shown->windowTitle(), caption);
        EXPECT_TRUE(shown->size() == size && shown->minimumSize() == shown->maximumSize());
        const QChartView* view = shown->findChild<QChartView*>("MSChart1");
        EXPECT_EQ(view->geometry(), geometry);
        const QChart* c = view->chart();
        QStringList legend;
        for (const QLegendMarker* marker : c->legend()->markers()) legend << marker->label();
        EXPECT_EQ(legend.join(' '), series);
        EXPECT_TRUE(c->legend()->isVisible() && c->title().isEmpty());
        EXPECT_EQ(c->legend()->alignment(), Qt::AlignRight);
        EXPECT_EQ(c->legend()->font(), QFont("Arial", 8));
        EXPECT_EQ(c->isDropShadowEnabled(), continents);
        auto* bands = qobject_cast<QBarCategoryAxis*>(c->axes(Qt::Horizontal).value(0));
        EXPECT_EQ(bands->categories().join(' '), "6 10 12 15 17 20 30 40 80 160");
        if (continents) Close("Form2");
        Open(b);
        if (continents) Trigger("mnuContinent");
        Trigger(command, from);
        EXPECT_EQ(std::ranges::count(QApplication::topLevelWidgets(), chart, &QWidget::objectName),
                  1);
        EXPECT_EQ(BarsOf(*shown), ExpectedBars(a, continents));
        Close(chart);
        Trigger(command, from);
        EXPECT_EQ(BarsOf(*Window(chart)), ExpectedBars(b, continents));
    }
}

// In the event loop, as in the program: closing the main window closes the others in order
// and ends the program; "Exit" closes only the continent window and ends it at once.
TEST_F(WindowTest, ClosingTheMainWindowOrExitEndsTheProgram) {
    struct Recorder : QObject {
        QStringList closed;
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() == QEvent::Close) closed << watched->objectName();
            return false;
        }
    };
    for (const bool byExit : {false, true}) {
        SetUp();
        Open(Write("log.adi", Contact("20M", "CW", "EU", "<QSL_SENT:1>Y ")));
        for (const char* name : {"mnuQSLReceived", "mnuChart", "mnuContinent"}) Trigger(name);
        Trigger("mnuChat", "Form2");
        Recorder recorder;
        for (QWidget* w : QApplication::topLevelWidgets()) w->installEventFilter(&recorder);
        QTimer::singleShot(0, form.get(),
                           [&] { byExit ? Trigger("mnuExit") : void(form->close()); });
        QTimer::singleShot(5000, [] { QCoreApplication::exit(99); });
        EXPECT_EQ(QApplication::exec(), 0);
        EXPECT_EQ(recorder.closed.join(' '), byExit ? "Form2" : "Form1 Form2 Form3 Form4 Form5");
        TearDown();
    }
}

}  // namespace
}  // namespace guitest
