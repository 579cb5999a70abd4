// The windows' lifecycle: each at most once, loaded on first use, raised when open, discarded
// when closed, and all of them closed with the main window.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenuBar>
#include <QPointer>
#include <QTimer>

#include "form2.h"
#include "gui_support.h"

namespace {

using guitest::Column;
using guitest::Contact;
using guitest::Grid;
using guitest::Row;
using guitest::Window;

class Lifecycle : public guitest::WindowTest {
  protected:
    void TriggerOn(const QString& window, const char* name) {
        QWidget* w = Window(window);
        ASSERT_NE(w, nullptr) << window.toStdString();
        QAction* action = w->findChild<QAction*>(QLatin1String(name));
        ASSERT_NE(action, nullptr) << name;
        action->trigger();
    }
    void CloseWindow(const QString& name) {
        QWidget* w = Window(name);
        ASSERT_NE(w, nullptr) << name.toStdString();
        w->close();
        guitest::FlushDeletes();
    }
    QString first_, second_;
    void OpenTwoLogsFirst() {
        first_ = Write("first.adi", Contact("20M", "CW", "EU", "<QSL_SENT:1>Y <QSL_RCVD:1>Y ") +
                                        Contact("40M", "SSB", "NA", "<QSL_SENT:1>Y "));
        second_ = Write("second.adi", Contact("6M", "FM", "AF", "<LOTW_QSL_SENT:1>Y "));
        Open(first_);
    }
};

// ---- the continent window

TEST_F(Lifecycle, ContinentWindowShowsTheContinentTable) {
    OpenTwoLogsFirst();
    Trigger("mnuContinent");
    QWidget* w = Window("Form2");
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->windowTitle(), "Continent Summary");
    const GridControl& g = *Grid(w);
    EXPECT_EQ(Row(g, 0), QStringList({"", "AF", "AN", "AS", "EU", "NA", "OC", "SA"}));
    EXPECT_EQ(Column(g, 0), QStringList({"", "6M", "10M", "12M", "15M", "17M", "20M", "30M", "40M",
                                         "80M", "160M", "Total"}));
    EXPECT_EQ(Row(g, 6), QStringList({"20M", "0", "0", "0", "1", "0", "0", "0"}));
    EXPECT_EQ(Row(g, 8), QStringList({"40M", "0", "0", "0", "0", "1", "0", "0"}));
    EXPECT_EQ(Row(g, 11), QStringList({"Total", "0", "0", "0", "1", "1", "0", "0"}));
    for (int c = 0; c < 8; ++c) {
        EXPECT_EQ(g.ColWidth(c), 720);
        EXPECT_EQ(g.ColAlignment(c), 4);
    }
    EXPECT_EQ(g.geometry(), QRect(8, 8, 381, 228));
    const auto* form2 = qobject_cast<Form2*>(w);
    ASSERT_NE(form2, nullptr);
    EXPECT_EQ(form2->ContinentBandTally.EU20, 1);
    EXPECT_EQ(form2->ContinentBandTally.NAtotal, 1);
    EXPECT_EQ(w->minimumSize(), w->maximumSize());
}

TEST_F(Lifecycle, ContinentWindowKeepsTheFirstLogUntilClosedAndReopened) {
    OpenTwoLogsFirst();
    Trigger("mnuContinent");
    const QPointer<QWidget> loaded = Window("Form2");
    Open(second_);
    Trigger("mnuContinent");  // only raises it
    EXPECT_EQ(Window("Form2"), loaded.data());
    EXPECT_EQ(Grid(loaded)->TextMatrix(6, 4), "1");  // EU 20M of the first log
    EXPECT_EQ(Grid(loaded)->TextMatrix(1, 1), "0");
    CloseWindow("Form2");
    EXPECT_TRUE(loaded.isNull());
    Trigger("mnuContinent");
    QWidget* reloaded = Window("Form2");
    ASSERT_NE(reloaded, nullptr);
    EXPECT_EQ(Grid(reloaded)->TextMatrix(6, 4), "0");
    EXPECT_EQ(Grid(reloaded)->TextMatrix(1, 1), "1");  // AF 6M of the second log
}

TEST_F(Lifecycle, ContinentChartOpensOnceAndStillWorksAfterACancel) {
    OpenTwoLogsFirst();
    Trigger("mnuContinent");
    Open(QString());  // FileName is now empty
    TriggerOn("Form2", "mnuChat");
    const QPointer<QWidget> chart = Window("Form4");
    ASSERT_NE(chart, nullptr);
    EXPECT_TRUE(chart->isVisible());
    TriggerOn("Form2", "mnuChat");
    int charts = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) charts += w->objectName() == "Form4";
    EXPECT_EQ(charts, 1);
    // The chart stays open when its continent window closes, and is found again from a new one.
    CloseWindow("Form2");
    EXPECT_FALSE(chart.isNull());
}

TEST_F(Lifecycle, ContinentWindowHasItsChartMenu) {
    OpenTwoLogsFirst();
    Trigger("mnuContinent");
    QWidget* w = Window("Form2");
    ASSERT_NE(w, nullptr);
    QStringList items;
    for (QAction* top : w->findChild<QMenuBar*>()->actions()) {
        items << top->objectName() + "=" + top->text();
        for (QAction* item : top->menu()->actions())
            items << item->objectName() + "=" + item->text();
    }
    EXPECT_EQ(items, QStringList({"mnuOption=Option", "mnuChat=Chart"}));
}

// ---- the QSL window

TEST_F(Lifecycle, QslWindowShowsThePercentagesOfItsLog) {
    const QString log =
        Write("qsl.adi", std::string(15, 'x') + "<QSL_SENT:1>Y\r\n" +
                             "<QSL_SENT:1>Y <QSL_RCVD:1>Y\r\n" + "<eQSL_QSL_RCVD:1>Y\r\n");
    Open(log);
    Trigger("mnuQSLReceived");
    QWidget* w = Window("Form5");
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->windowTitle(), "QSL Rcvd/Sent");
    const GridControl& g = *Grid(w);
    EXPECT_EQ(Row(g, 0), QStringList({"", "QSL", "LoTW", "eQSL"}));
    EXPECT_EQ(Row(g, 1), QStringList({"Rcvd/Sent", "50.%", "-", "-"}));
    for (int c = 0; c < 4; ++c) EXPECT_EQ(g.ColWidth(c), 930);
    EXPECT_EQ(g.RowHeight(0), 300);
    EXPECT_EQ(g.RowHeight(1), 300);
}

TEST_F(Lifecycle, QslWindowRoundsAnExactHalfAwayFromZero) {
    std::string log = "<QSL_RCVD:1>Y\r\n";
    for (int i = 0; i < 16; ++i) log += "<QSL_SENT:1>Y\r\n";
    Open(Write("half.adi", log));
    Trigger("mnuQSLReceived");
    ASSERT_NE(Window("Form5"), nullptr);
    EXPECT_EQ(Grid(Window("Form5"))->TextMatrix(1, 1), "6.3%");
}

TEST_F(Lifecycle, QslWindowIsSizableWhileItsGridKeepsPlaceAndSize) {
    OpenTwoLogsFirst();
    Trigger("mnuQSLReceived");
    QWidget* w = Window("Form5");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->size(), QSize(264, 56));
    EXPECT_NE(w->minimumSize(), w->maximumSize());
    const QRect before = Grid(w)->geometry();
    EXPECT_EQ(before, QRect(8, 8, 249, 41));
    w->resize(500, 300);
    EXPECT_EQ(Grid(w)->geometry(), before);
    EXPECT_FALSE(w->windowFlags() & Qt::WindowMaximizeButtonHint);
}

TEST_F(Lifecycle, QslWindowKeepsTheFirstLogUntilClosedAndReopened) {
    OpenTwoLogsFirst();
    Trigger("mnuQSLReceived");
    const QPointer<QWidget> loaded = Window("Form5");
    ASSERT_FALSE(loaded.isNull());
    EXPECT_EQ(Row(*Grid(loaded), 1), QStringList({"Rcvd/Sent", "50.%", "-", "-"}));
    Open(second_);
    Trigger("mnuQSLReceived");
    EXPECT_EQ(Window("Form5"), loaded.data());
    EXPECT_EQ(Row(*Grid(loaded), 1), QStringList({"Rcvd/Sent", "50.%", "-", "-"}));
    CloseWindow("Form5");
    EXPECT_TRUE(loaded.isNull());
    Trigger("mnuQSLReceived");
    ASSERT_NE(Window("Form5"), nullptr);
    EXPECT_EQ(Row(*Grid(Window("Form5")), 1), QStringList({"Rcvd/Sent", "-", ".%", "-"}));
}

// ---- the mode chart

TEST_F(Lifecycle, ModeChartOpensOnceAndIsDiscardedWhenClosed) {
    OpenTwoLogsFirst();
    Trigger("mnuChart");
    const QPointer<QWidget> chart = Window("Form3");
    ASSERT_FALSE(chart.isNull());
    EXPECT_TRUE(chart->isVisible());
    Trigger("mnuChart");
    EXPECT_EQ(Window("Form3"), chart.data());
    CloseWindow("Form3");
    EXPECT_TRUE(chart.isNull());
    Trigger("mnuChart");
    EXPECT_NE(Window("Form3"), nullptr);
}

// ---- errors of the later windows

TEST_F(Lifecycle, LogDeletedBeforeTheContinentWindowLoadsIsReportedAndNoWindowShown) {
    OpenTwoLogsFirst();
    QFile::remove(first_);
    Trigger("mnuContinent");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors[0], QString("Cannot open \"%1\": No such file or directory.").arg(first_));
    EXPECT_EQ(Window("Form2"), nullptr);
    EXPECT_EQ(Window("Form6"), nullptr);
    EXPECT_EQ(form->FileName, first_);  // the main window still shows its log
    EXPECT_TRUE(Action("mnuContinent")->isEnabled());
    // Once the log is back, the command works.
    QFile::copy(second_, first_);
    Trigger("mnuContinent");
    EXPECT_NE(Window("Form2"), nullptr);
}

TEST_F(Lifecycle, LogDeletedBeforeTheQslWindowLoadsIsReportedAndNoWindowShown) {
    OpenTwoLogsFirst();
    QFile::remove(first_);
    Trigger("mnuQSLReceived");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith("Cannot open \"")) << errors[0].toStdString();
    EXPECT_EQ(Window("Form5"), nullptr);
    EXPECT_EQ(Window("Form6"), nullptr);
}

// ---- closing

TEST_F(Lifecycle, ClosingTheMainWindowClosesTheOthersInOrder) {
    OpenTwoLogsFirst();
    Trigger("mnuQSLReceived");
    Trigger("mnuChart");
    Trigger("mnuContinent");
    TriggerOn("Form2", "mnuChat");
    guitest::CloseRecorder recorder;
    for (const char* name : {"Form5", "Form3", "Form4", "Form2"}) recorder.Watch(Window(name));
    recorder.Watch(form.get());
    form->close();
    EXPECT_EQ(recorder.closed, QStringList({"Form1", "Form2", "Form3", "Form4", "Form5"}));
    for (const char* name : {"Form2", "Form3", "Form4", "Form5", "Form6"})
        EXPECT_EQ(Window(name), nullptr) << name;
}

TEST_F(Lifecycle, ClosingTheMainWindowEndsTheProgram) {
    OpenTwoLogsFirst();
    Trigger("mnuContinent");
    QCoreApplication::sendPostedEvents();
    QTimer::singleShot(0, form.get(), [this] { form->close(); });
    QTimer::singleShot(5000, [] { QCoreApplication::exit(99); });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_EQ(Window("Form2"), nullptr);
}

TEST_F(Lifecycle, ExitClosesTheContinentWindowAndEndsTheProgramAtOnce) {
    OpenTwoLogsFirst();
    Trigger("mnuContinent");
    Trigger("mnuChart");
    guitest::CloseRecorder recorder;
    recorder.Watch(Window("Form2"));
    recorder.Watch(Window("Form3"));
    recorder.Watch(form.get());
    QCoreApplication::sendPostedEvents();
    QTimer::singleShot(0, form.get(), [this] { Trigger("mnuExit"); });
    QTimer::singleShot(5000, [] { QCoreApplication::exit(99); });
    EXPECT_EQ(QApplication::exec(), 0);
    // Only the continent window is closed; the rest go with the program.
    EXPECT_EQ(recorder.closed, QStringList({"Form2"}));
}

}  // namespace
