// The windows through their menus, from the open command to the end of the program.
#include <gtest/gtest.h>

#include <QDir>
#include <QSettings>
#include <QTimer>
#include <QWindow>

#include "gui_support.h"
#include "nosettings.h"

namespace guitest {
namespace {

TEST_F(WindowTest, OpenShowsEveryCountOfTheLog) {
    const QString log = Write("big.adi", Generated(3000));
    Open(log);
    EXPECT_EQ(DataCells(form.get()), ExpectedBandModeCells(log));
}

// Qt would take "[*]" in a title for the modified mark.
TEST_F(WindowTest, CaptionIsTheLogsNameWithoutItsFolder) {
    Open(Write("contest[*].adi", kFirstLog));
    form->winId();
    EXPECT_EQ(form->windowHandle()->title(), "contest[*].adi");
}

class AfterCancel : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        Open(log);
        Open(QString());
    }
    const QString log = Write("one.adi", "<BAND:3>20M <MODE:2>CW\n<BAND:3>60M <MODE:3>SSB\n");
};

TEST_F(AfterCancel, CaptionIsKept) { EXPECT_EQ(form->windowTitle(), "one.adi"); }

TEST_F(AfterCancel, TableIsKept) { EXPECT_EQ(DataCells(form.get()), ExpectedBandModeCells(log)); }

TEST_F(AfterCancel, LogIsForgotten) { EXPECT_EQ(form->FileName, ""); }

TEST_F(AfterCancel, NothingIsReported) { EXPECT_EQ(errors, QStringList()); }

TEST_F(AfterCancel, CountersAreCleared) {
    EXPECT_EQ(form->BandModeTally.C20, 0);
    EXPECT_EQ(form->BandModeTally.Ctotal, 0);
    EXPECT_EQ(form->BandModeTally.Total, 0);
    EXPECT_EQ(form->BandModeTally.OthersTotal, 0);
}

// The per-band totals are formed as the table is filled, not cleared with the counters.
TEST_F(AfterCancel, PerBandTotalsAreKept) { EXPECT_EQ(form->BandModeTally.Total20, 1); }

TEST_F(AfterCancel, TheCancelledOpenStartedInTheFolderOfTheLog) {
    EXPECT_EQ(startFolders, QStringList({"", dir.path()}));
}

TEST_F(WindowTest, GuardedCommandsAndTheVersionItemDoNothingBeforeALog) {
    for (const char* item : {"mnuContinent", "mnuQSLReceived", "mnuChart", "mnuVer"}) Trigger(item);
    EXPECT_EQ(ShownWindows(), QStringList({"Form1"}));
    EXPECT_EQ(errors, QStringList());
}

class ChosenAgain : public EachWindow {
  protected:
    void SetUp() override {
        EachWindow::SetUp();
        Open(Write("first.adi", kFirstLog));
        Choose(GetParam());
        Shown().setWindowState(Qt::WindowMinimized);
        Open(Write("second.adi", kSecondLog));
        Choose(GetParam());
    }
    QWidget& Shown() { return *Window(GetParam().window); }
};

TEST_P(ChosenAgain, IsRestoredFromMinimised) { EXPECT_FALSE(Shown().isMinimized()); }

TEST_P(ChosenAgain, IsUnchanged) { EXPECT_EQ(GetParam().probe(Shown()), GetParam().first); }

TEST_P(ChosenAgain, OnceClosedIsLoadedAnewForTheLogOpenNow) {
    Close(GetParam().window);
    Choose(GetParam());
    EXPECT_EQ(GetParam().probe(Shown()), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(, ChosenAgain, ::testing::ValuesIn(kWindowCommands), RowName());

TEST_F(WindowTest, ContinentWindowShowsEveryCountOfTheLog) {
    const QString log = Write("big.adi", Generated(3000));
    Open(log);
    Trigger("mnuContinent");
    EXPECT_EQ(DataCells(Window("Form2")), ExpectedContinentCells(log));
}

TEST_F(WindowTest, QslWindowShowsReceivedAsAShareOfSent) {
    Open(Write("qsl.adi", kFirstLog + "<QSL_SENT:1>Y <LOTW_QSL_SENT:1>Y\n"));
    Trigger("mnuQSLReceived");
    EXPECT_EQ(Row(Grid(Window("Form5")), 1), QStringList({"Rcvd/Sent", "50.%", ".%", "-"}));
}

using ChartCounts = EachWindow;

// No totals; counts past sixteen bits as they are.
TEST_P(ChartCounts, ShowsEachCounterInItsBandAndSeries) {
    std::string text = Generated(3000, 11);
    for (int i = 0; i < 32768; ++i) text += "<BAND:3>20M <MODE:2>AM <CONT:2>SA\n";
    const QString log = Write("big.adi", text);
    Open(log);
    Choose(GetParam());
    EXPECT_EQ(BarsOf(*Window(GetParam().window)),
              ExpectedBars(log, GetParam().from == QString("Form2")));
}

INSTANTIATE_TEST_SUITE_P(, ChartCounts, ::testing::Values(kWindowCommands[2], kWindowCommands[3]),
                         RowName());

// The continent chart's command has no guard.
TEST_F(WindowTest, ContinentChartOpensAfterACancel) {
    Open(Write("one.adi", kFirstLog));
    Trigger("mnuContinent");
    Open(QString());
    Trigger("mnuChat", "Form2");
    EXPECT_NE(Window("Form4", true), nullptr);
}

// Qt's file dialog would write its history into them as it closes.
TEST(UserSettings, AreSentWhereNothingIsWritten) {
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(".config")));
    SendUserSettingsNowhere();
    QSettings settings(QSettings::UserScope, "QtProject");
    settings.setValue("FileDialog/lastVisited", home.path());
    settings.sync();
    EXPECT_EQ(settings.status(), QSettings::AccessError);
}

class ProgramEnd : public WindowTest {
  protected:
    struct Recorder : QObject {
        QStringList closed;
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() == QEvent::Close) closed << watched->objectName();
            return false;
        }
    };
    // Runs `end` in the event loop, as the program does, with every window open; closes, in order.
    QString ClosedBy(const std::function<void()>& end) {
        Open(Write("log.adi", kFirstLog));
        for (const WindowCommand& row : kWindowCommands) Choose(row);
        Recorder recorder;
        for (QWidget* w : QApplication::topLevelWidgets()) w->installEventFilter(&recorder);
        QTimer::singleShot(0, form.get(), end);
        QTimer::singleShot(5000, [] { QCoreApplication::exit(99); });
        EXPECT_EQ(QApplication::exec(), 0);
        return recorder.closed.join(' ');
    }
};

TEST_F(ProgramEnd, ClosingTheMainWindowClosesTheOthersInOrderAndEndsTheProgram) {
    EXPECT_EQ(ClosedBy([this] { form->close(); }), "Form1 Form2 Form3 Form4 Form5");
}

TEST_F(ProgramEnd, ExitClosesTheContinentWindowAndEndsTheProgram) {
    EXPECT_EQ(ClosedBy([this] { Trigger("mnuExit"); }), "Form2");
}

}  // namespace
}  // namespace guitest
