// What can happen while a scan yields, and the errors that end a scan.
#include <gtest/gtest.h>

#include <QDir>
#include <optional>

#include "gui_support.h"

namespace guitest {
namespace {

const QStringList kEveryCommand = {"mnuOpen",        "mnuExit",      "mnuChart",
                                   "mnuQSLReceived", "mnuContinent", "mnuVer"};

class DuringScan : public WindowTest {
  protected:
    // A log of seven of the scanner's blocks.
    QString Large() { return Write("large.adi", Generated(6000)); }
    QStringList Enabled() const {
        QStringList enabled;
        for (const QString& name : kEveryCommand)
            if (Action(qPrintable(name))->isEnabled()) enabled << name;
        return enabled;
    }
};

TEST_F(DuringScan, BusyNoticeIsShownWhileTheLogIsReadAndOnlyThen) {
    QString notice;
    AtClockReading(3, [&] {
        if (QWidget* w = Window("Form6", true)) notice = w->windowTitle();
    });
    Open(Large());
    EXPECT_EQ(notice, "QRX I'm busy !");
    EXPECT_EQ(Window("Form6"), nullptr);
}

TEST_F(DuringScan, CommandsThatWouldScanAgainAreGreyedWhileTheLogIsRead) {
    QStringList enabled;
    AtClockReading(3, [&] { enabled = Enabled(); });
    Open(Large());
    EXPECT_EQ(enabled, QStringList({"mnuExit", "mnuChart", "mnuVer"}));
    EXPECT_EQ(Enabled(), kEveryCommand);
}

// A window in its own load is no window to bring back yet.
TEST_F(DuringScan, TheCommandOfAWindowInItsLoadIsGreyed) {
    Open(Large());
    std::optional<bool> enabled;
    AtClockReading(3, [&] { enabled = Action("mnuContinent")->isEnabled(); });
    Trigger("mnuContinent");
    EXPECT_EQ(enabled, false);
}

// The close comes with the third reading of the clock, at the scan's second yield; no block is
// read after it, and the table is not filled.
TEST_F(DuringScan, ClosingTheMainWindowStopsTheScanAtThatYield) {
    const QString small = Write("small.adi", kFirstLog);
    Open(small);
    AtClockReading(3, [&] { form->close(); });
    Open(Large());
    EXPECT_EQ(clockReadings, 3);
    EXPECT_EQ(DataCells(form.get()), ExpectedBandModeCells(small));
}

// Every window open; during the scan of another log, the row's window is closed and its command
// chosen again. It is deleted only after the scan.
class ClosedInTheMiddle : public DuringScan, public ::testing::WithParamInterface<WindowCommand> {
  protected:
    void SetUp() override {
        DuringScan::SetUp();
        Open(Write("small.adi", kFirstLog));
        for (const WindowCommand& row : kWindowCommands) Choose(row);
        AtClockReading(3, [this] {
            const WindowCommand& row = GetParam();
            Window(row.window, true)->close();
            enabledInScan = Action(row.command, row.from)->isEnabled();
            Action(row.command, row.from)->trigger();
            shownInScan = Window(row.window, true) != nullptr;
        });
        Open(Large());
        QCoreApplication::sendPostedEvents();
    }
    std::optional<bool> enabledInScan;
    std::optional<bool> shownInScan;
};

TEST_P(ClosedInTheMiddle, ItsCommandIsGreyedIfItWouldScan) {
    EXPECT_EQ(enabledInScan, !GetParam().scans);
}

// A chart is made anew at once; the others must wait for the scan's end.
TEST_P(ClosedInTheMiddle, ItsCommandShowsItAgainOnlyIfItNeedsNoScan) {
    EXPECT_EQ(shownInScan, !GetParam().scans);
    EXPECT_EQ(ShownWindows().contains(GetParam().window), !GetParam().scans);
}

INSTANTIATE_TEST_SUITE_P(, ClosedInTheMiddle, ::testing::ValuesIn(kWindowCommands), RowName());

// An error that ends the open command, at the open or in the middle of the scan, after a log.
struct OpenError {
    const char* name;
    const char* file;     // in the test's folder ("" for the folder itself), or absolute
    const char* message;  // %1: the path
};

class FailedOpen : public DuringScan, public ::testing::WithParamInterface<OpenError> {
  protected:
    void SetUp() override {
        DuringScan::SetUp();
        Open(Write("eu.adi", kFirstLog));
        path = *GetParam().file ? QDir(dir.path()).filePath(GetParam().file) : dir.path();
        Open(path);
    }
    QString path;
};

TEST_P(FailedOpen, IsReportedNamingTheLog) {
    EXPECT_EQ(errors, QStringList(QString(GetParam().message).arg(path)));
}

TEST_P(FailedOpen, LeavesNoLog) {
    EXPECT_EQ(form->FileName, "");
    EXPECT_EQ(form->windowTitle(), "Quorvane");
    EXPECT_EQ(DataCells(form.get()), QStringList(48, ""));
}

TEST_P(FailedOpen, LeavesNoBusyNoticeAndEveryCommandLive) {
    EXPECT_EQ(Window("Form6"), nullptr);
    EXPECT_EQ(Enabled(), kEveryCommand);
}

INSTANTIATE_TEST_SUITE_P(, FailedOpen,
                         ::testing::Values(OpenError{"Folder", "",
                                                     "Cannot open \"%1\": Is a directory."},
                                           OpenError{"ReadError", "/proc/self/mem",
                                                     "Cannot read \"%1\": Input/output error."}),
                         RowName());

class AWindowWhoseLoadFails : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        Open(log);
        QFile::remove(log);
        Trigger("mnuContinent");
    }
    const QString log = Write("eu.adi", kFirstLog);
};

TEST_F(AWindowWhoseLoadFails, IsReportedNamingTheLog) {
    EXPECT_EQ(errors, QStringList("Cannot open \"" + log + "\": No such file or directory."));
}

TEST_F(AWindowWhoseLoadFails, IsDiscarded) { EXPECT_EQ(Window("Form2"), nullptr); }

TEST_F(AWindowWhoseLoadFails, LeavesTheMainWindowItsLog) { EXPECT_EQ(form->FileName, log); }

}  // namespace
}  // namespace guitest
