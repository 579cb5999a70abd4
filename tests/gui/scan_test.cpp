// What can happen while a scan yields: the busy notice, greyed commands, windows closed in the
// middle, the program closed in the middle; and the errors that end a scan, which leave the
// program with no log and the log handle free.
#include <gtest/gtest.h>

#include "form2.h"
#include "gui_support.h"

namespace guitest {
namespace {

using quorvane::LogLineScanner;

class DuringScan : public WindowTest {
  protected:
    // A log of seven of the scanner's blocks.
    QString Large() { return Write("large.adi", Generated(6000)); }
    QStringList Enabled() const {
        QStringList enabled;
        for (const char* name :
             {"mnuOpen", "mnuExit", "mnuChart", "mnuQSLReceived", "mnuContinent", "mnuVer"})
            if (Action(name)->isEnabled()) enabled << name;
        return enabled;
    }
    // Nothing held, no busy notice, every command live, and the log at `path` shown, or none.
    void ExpectIdleShowing(const QString& path) {
        EXPECT_FALSE(LogLineScanner::HandleHeld());
        EXPECT_EQ(Window("Form6"), nullptr);
        EXPECT_EQ(Enabled().size(), 6);
        EXPECT_EQ(form->FileName, path);
        EXPECT_EQ(form->windowTitle(), path.isEmpty() ? "Quorvane" : QFileInfo(path).fileName());
        EXPECT_EQ(DataCells(form.get()),
                  path.isEmpty() ? QStringList(48, "") : ExpectedBandModeCells(path));
    }
};

// The menus stay live: the chart opens from the counts so far; the commands that would start
// a second scan are greyed.
TEST_F(DuringScan, BusyNoticeIsShownAndCommandsThatWouldScanAgainAreGreyed) {
    Open(Write("first.adi", Contact("20M", "CW")));
    QString notice;
    QStringList enabled;
    AtClockReading(3, [&] {
        enabled = Enabled();
        Trigger("mnuChart");
        if (QWidget* w = Window("Form6", true)) notice = w->windowTitle();
        Trigger("mnuContinent");  // greyed: nothing happens
    });
    const QString large = Large();
    Open(large);
    EXPECT_EQ(notice, "QRX I'm busy !");
    EXPECT_EQ(enabled, QStringList({"mnuExit", "mnuChart", "mnuVer"}));
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_TRUE(Window("Form3") && !Window("Form2"));
    ExpectIdleShowing(large);
}

TEST_F(DuringScan, ClosingTheMainWindowStopsTheScanAndClosesEveryWindow) {
    AtClockReading(3, [&] { Trigger("mnuChart"), form->close(); });
    Open(Write("small.adi", Contact("20M", "CW")));
    Open(Large());
    EXPECT_LT(clockReadings, 5);  // no block was read after the close
    EXPECT_FALSE(LogLineScanner::HandleHeld());
    EXPECT_EQ(DataCells(form.get()),
              ExpectedBandModeCells(dir.filePath("small.adi")));  // not refilled
    for (const char* name : {"Form3", "Form6"}) EXPECT_EQ(Window(name), nullptr) << name;
}

// A window closed while a scan yields is deleted only after the scan; until then its command
// must not bring it back, and the continent and QSL commands stay greyed.
TEST_F(DuringScan, AWindowClosedInTheMiddleIsNotBroughtBack) {
    const std::tuple<const char*, const char*, const char*, bool> rows[] = {
        {"Form3", "Form1", "mnuChart", true},
        {"Form4", "Form2", "mnuChat", true},
        {"Form2", "Form1", "mnuContinent", false},
        {"Form5", "Form1", "mnuQSLReceived", false}};
    for (const auto& [kind, from, command, reopened] : rows) {
        Open(Write("small.adi", Contact("20M", "CW", "EU")));
        for (const char* name : {"mnuContinent", "mnuQSLReceived", "mnuChart"}) Trigger(name);
        Trigger("mnuChat", "Form2");
        bool enabled = !reopened, shownInScan = !reopened;
        AtClockReading(3, [&] {
            Window(kind, true)->close();
            enabled = Action(command, from)->isEnabled();
            Action(command, from)->trigger();
            shownInScan = Window(kind, true) != nullptr;
        });
        Open(Large());
        QCoreApplication::sendPostedEvents();
        EXPECT_EQ(std::vector({enabled, shownInScan, Window(kind) && Window(kind)->isVisible()}),
                  std::vector(3, reopened))
            << kind;
        for (const char* name : {"Form2", "Form3", "Form4", "Form5"})
            if (Window(name)) Close(name);
    }
}

// A refusal, a read error and an overflow each end the open command with a message naming the
// file, leave no log, and the next open works; a log changed before the continent or QSL
// window's own scan is reported and that window not shown.
TEST_F(DuringScan, ErrorsAreReportedAndLeaveNoLog) {
    const QString log = Write("eu.adi", Contact("20M", "CW", "EU") + "<QSL_SENT:1>Y\r\n");
    const QString many = Write("many.adi", Generated(6000) + Contact("20M", "CW", "EU"));
    const QString open = "Cannot open \"%1\": %2.",
                  count = "Cannot count \"%1\": the count %2 would pass 2,147,483,647.";
    const std::tuple<QString, QString, std::function<void()>> rows[] = {
        {dir.path(), open.arg(dir.path(), "Is a directory"), {}},
        {"/proc/self/mem", "Cannot read \"/proc/self/mem\": Input/output error.", {}},
        {many, count.arg(many, "C20"), [&] { form->BandModeTally.C20 = 2147483647; }},
    };
    for (const auto& [path, message, atYield] : rows) {
        Open(log);
        AtClockReading(2, atYield);
        Open(path);
        EXPECT_EQ(errors, QStringList(message));
        errors.clear();
        ExpectIdleShowing("");
        AtClockReading(-1, {});
    }
    Open(many);
    AtClockReading(2, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())  // the window loading, not yet shown
            if (auto* loading = qobject_cast<Form2*>(w))
                loading->ContinentBandTally.EU20 = 2147483647;
    });
    Trigger("mnuContinent");
    QFile::remove(many);
    Trigger("mnuQSLReceived");
    EXPECT_EQ(errors,
              QStringList({count.arg(many, "EU20"), open.arg(many, "No such file or directory")}));
    for (const char* name : {"Form2", "Form5"}) EXPECT_EQ(Window(name), nullptr) << name;
    QFile::copy(log, many);
    EXPECT_EQ(form->FileName, many);  // the main window keeps its log
    EXPECT_EQ(Enabled().size(), 6);
}

}  // namespace
}  // namespace guitest
