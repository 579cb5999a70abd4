// The windows' lifecycle: each at most once, loaded on first use from the counts as they are
// then, raised when open, discarded when closed, and all of them closed with the main window.
#include <gtest/gtest.h>

#include <QFile>
#include <QMenuBar>
#include <QPointer>
#include <QTimer>

#include "gui_support.h"

namespace {

using guitest::BarsOf;
using guitest::Contact;
using guitest::ContinentBars;
using guitest::Grid;
using guitest::ModeBars;
using guitest::Row;
using guitest::Window;

class Lifecycle : public guitest::WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        first_ = Write("first.adi", Contact("20M", "CW", "EU", "<QSL_SENT:1>Y <QSL_RCVD:1>Y ") +
                                        Contact("40M", "SSB", "NA", "<QSL_SENT:1>Y "));
        second_ = Write("second.adi", Contact("6M", "FM", "AF", "<LOTW_QSL_SENT:1>Y "));
        logA_ = Write("a.adi", guitest::Generated(3000, 11));
        logB_ = Write("b.adi", guitest::Generated(1200, 29));
        // The chart scenarios tell A from B by their bars.
        ASSERT_NE(ModeBars(logA_), ModeBars(logB_));
        ASSERT_NE(ContinentBars(logA_), ContinentBars(logB_));
    }
    QString first_, second_, logA_, logB_;
};

TEST_F(Lifecycle, ContinentWindowShowsItsTableAndMenu) {
    Open(first_);
    Trigger("mnuContinent");
    QWidget* w = Window("Form2");
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->windowTitle(), "Continent Summary");
    const GridControl& g = *Grid(w);
    EXPECT_EQ(Row(g, 0), QStringList({"", "AF", "AN", "AS", "EU", "NA", "OC", "SA"}));
    EXPECT_EQ(Row(g, 6), QStringList({"20M", "0", "0", "0", "1", "0", "0", "0"}));
    EXPECT_EQ(Row(g, 8), QStringList({"40M", "0", "0", "0", "0", "1", "0", "0"}));
    EXPECT_EQ(Row(g, 11), QStringList({"Total", "0", "0", "0", "1", "1", "0", "0"}));
    EXPECT_EQ(g.TextMatrix(10, 0), "160M");
    EXPECT_EQ(g.ColWidth(7), 720);
    EXPECT_EQ(g.geometry(), QRect(8, 8, 381, 228));
    QStringList items;
    for (QAction* top : w->findChild<QMenuBar*>()->actions()) {
        items << top->objectName() + "=" + top->text();
        for (QAction* item : top->menu()->actions())
            items << item->objectName() + "=" + item->text();
    }
    EXPECT_EQ(items, QStringList({"mnuOption=Option", "mnuChat=Chart"}));
}

TEST_F(Lifecycle, QslWindowShowsThePercentagesAndKeepsItsGridWhenResized) {
    Open(Write("qsl.adi", "<QSL_RCVD:1>Y\r\n" + guitest::Repeat("<QSL_SENT:1>Y\r\n", 16)));
    Trigger("mnuQSLReceived");
    QWidget* w = Window("Form5");
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->windowTitle(), "QSL Rcvd/Sent");
    EXPECT_EQ(Row(*Grid(w), 0), QStringList({"", "QSL", "LoTW", "eQSL"}));
    EXPECT_EQ(Row(*Grid(w), 1), QStringList({"Rcvd/Sent", "6.3%", "-", "-"}));  // a half rounds up
    EXPECT_EQ(Grid(w)->ColWidth(3), 930);
    EXPECT_EQ(w->size(), QSize(264, 56));
    EXPECT_EQ(Grid(w)->geometry(), QRect(8, 8, 249, 41));
    w->resize(500, 300);
    EXPECT_EQ(Grid(w)->geometry(), QRect(8, 8, 249, 41));
}

// A second log while the continent or QSL window is open refreshes neither; closing and
// choosing the command again loads the second log.
TEST_F(Lifecycle, ContinentAndQslWindowsKeepTheFirstLogUntilClosedAndReopened) {
    Open(first_);
    Trigger("mnuContinent");
    Trigger("mnuQSLReceived");
    const QPointer<QWidget> continent = Window("Form2"), qsl = Window("Form5");
    Open(second_);
    Trigger("mnuContinent");  // only raises them
    Trigger("mnuQSLReceived");
    EXPECT_EQ(Window("Form2"), continent.data());
    EXPECT_EQ(Window("Form5"), qsl.data());
    EXPECT_EQ(Grid(continent)->TextMatrix(6, 4), "1");  // EU 20M of the first log
    EXPECT_EQ(Row(*Grid(qsl), 1), QStringList({"Rcvd/Sent", "50.%", "-", "-"}));
    Close("Form2");
    Close("Form5");
    EXPECT_TRUE(continent.isNull() && qsl.isNull());
    Trigger("mnuContinent");
    Trigger("mnuQSLReceived");
    ASSERT_NE(Window("Form2"), nullptr);
    ASSERT_NE(Window("Form5"), nullptr);
    EXPECT_EQ(Grid(Window("Form2"))->TextMatrix(6, 4), "0");
    EXPECT_EQ(Grid(Window("Form2"))->TextMatrix(1, 1), "1");  // AF 6M of the second log
    EXPECT_EQ(Row(*Grid(Window("Form5")), 1), QStringList({"Rcvd/Sent", "-", ".%", "-"}));
}

TEST_F(Lifecycle, LogDeletedBeforeTheContinentWindowLoadsIsReportedAndNoWindowShown) {
    Open(first_);
    QFile::remove(first_);
    Trigger("mnuContinent");
    EXPECT_EQ(errors,
              QStringList(QString("Cannot open \"%1\": No such file or directory.").arg(first_)));
    EXPECT_EQ(Window("Form2"), nullptr);
    EXPECT_EQ(Window("Form6"), nullptr);
    EXPECT_EQ(form->FileName, first_);  // the main window still shows its log
    QFile::copy(second_, first_);       // once the log is back, the command works
    Trigger("mnuContinent");
    EXPECT_NE(Window("Form2"), nullptr);
}

// ---- the charts

TEST_F(Lifecycle, ModeChartShowsNothingWithoutALog) {
    Open(QString());  // a first open cancelled
    Trigger("mnuChart");
    EXPECT_EQ(Window("Form3"), nullptr);
    Open(logA_);
    Open(QString());  // a cancel empties FileName
    Trigger("mnuChart");
    EXPECT_EQ(Window("Form3"), nullptr);
    Open(logA_);
    Open(dir.filePath("missing.adi"));
    ASSERT_EQ(errors.size(), 1);
    Trigger("mnuChart");
    EXPECT_EQ(Window("Form3"), nullptr);
}

TEST_F(Lifecycle, ModeChartKeepsLogAUntilClosedAndChosenAgain) {
    Open(logA_);
    Trigger("mnuChart");
    Trigger("mnuChart");
    EXPECT_EQ(guitest::WindowsNamed("Form3"), 1);
    const QPointer<QWidget> chart = Window("Form3");
    ASSERT_FALSE(chart.isNull());
    EXPECT_TRUE(chart->isVisible());
    EXPECT_EQ(BarsOf(*chart), ModeBars(logA_));
    Open(logB_);
    Trigger("mnuChart");  // only brings it forward
    EXPECT_EQ(Window("Form3"), chart.data());
    EXPECT_EQ(BarsOf(*chart), ModeBars(logA_));
    Close("Form3");
    EXPECT_TRUE(chart.isNull());
    Trigger("mnuChart");
    ASSERT_NE(Window("Form3"), nullptr);
    EXPECT_EQ(BarsOf(*Window("Form3")), ModeBars(logB_));
}

TEST_F(Lifecycle, ContinentChartOutlivesItsWindowAndKeepsLogAUntilClosedAndChosenAgain) {
    Open(logA_);
    Trigger("mnuContinent");
    Open(QString());  // the continent window's "Chart" has no guard
    Trigger("mnuChat", "Form2");
    Trigger("mnuChat", "Form2");
    EXPECT_EQ(guitest::WindowsNamed("Form4"), 1);
    const QPointer<QWidget> chart = Window("Form4");
    ASSERT_FALSE(chart.isNull());
    EXPECT_TRUE(chart->isVisible());
    EXPECT_EQ(BarsOf(*chart), ContinentBars(logA_));
    Close("Form2");
    ASSERT_FALSE(chart.isNull());
    EXPECT_TRUE(chart->isVisible());
    Open(logB_);
    Trigger("mnuContinent");  // counts log B anew
    Trigger("mnuChat", "Form2");
    EXPECT_EQ(Window("Form4"), chart.data());
    EXPECT_EQ(BarsOf(*chart), ContinentBars(logA_));
    Close("Form4");
    Trigger("mnuChat", "Form2");
    ASSERT_NE(Window("Form4"), nullptr);
    EXPECT_EQ(BarsOf(*Window("Form4")), ContinentBars(logB_));
}

TEST_F(Lifecycle, BothChartsDrawCountsAbove32767Exactly) {
    Open(Write("busy.adi",
               guitest::Repeat(Contact("20M", "CW", "EU"), 32768) + Contact("40M", "SSB", "NA")));
    Trigger("mnuChart");
    Trigger("mnuContinent");
    Trigger("mnuChat", "Form2");
    ASSERT_NE(Window("Form3"), nullptr);
    ASSERT_NE(Window("Form4"), nullptr);
    const guitest::Bars mode = BarsOf(*Window("Form3")), continent = BarsOf(*Window("Form4"));
    ASSERT_EQ(mode.size(), 3u);
    ASSERT_EQ(continent.size(), 7u);
    EXPECT_EQ(mode[0][5], 32768);       // CW on 20 m
    EXPECT_EQ(mode[2][7], 1);           // PHO on 40 m
    EXPECT_EQ(continent[3][5], 32768);  // EU on 20 m
    EXPECT_EQ(continent[4][7], 1);      // NA on 40 m
}

// ---- closing

TEST_F(Lifecycle, ClosingTheMainWindowClosesTheOthersInOrder) {
    Open(first_);
    Trigger("mnuQSLReceived");
    Trigger("mnuChart");
    Trigger("mnuContinent");
    Trigger("mnuChat", "Form2");
    guitest::CloseRecorder recorder;
    for (const char* name : {"Form5", "Form3", "Form4", "Form2"}) recorder.Watch(Window(name));
    recorder.Watch(form.get());
    form->close();
    EXPECT_EQ(recorder.closed, QStringList({"Form1", "Form2", "Form3", "Form4", "Form5"}));
    for (const char* name : {"Form2", "Form3", "Form4", "Form5", "Form6"})
        EXPECT_EQ(Window(name), nullptr) << name;
}

// In the event loop, as in the program: the close ends it; "Exit" closes only the continent
// window and ends it at once.
TEST_F(Lifecycle, ClosingTheMainWindowOrExitEndsTheProgram) {
    for (const bool byExit : {false, true}) {
        SetUp();
        Open(first_);
        Trigger("mnuContinent");
        Trigger("mnuChart");
        guitest::CloseRecorder recorder;
        for (const char* name : {"Form2", "Form3"}) recorder.Watch(Window(name));
        QCoreApplication::sendPostedEvents();
        QTimer::singleShot(0, form.get(), [this, byExit] {
            if (byExit)
                Trigger("mnuExit");
            else
                form->close();
        });
        QTimer::singleShot(5000, [] { QCoreApplication::exit(99); });
        EXPECT_EQ(QApplication::exec(), 0);
        EXPECT_EQ(recorder.closed,
                  byExit ? QStringList({"Form2"}) : QStringList({"Form2", "Form3"}));
        TearDown();
    }
}

}  // namespace
