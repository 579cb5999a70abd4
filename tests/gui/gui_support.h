// What the window tests share: a main window driven by the test, logs, the windows read back.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <optional>

#include "form1.h"
#include "gridcontrol.h"

inline void PrintTo(const QString& text, std::ostream* out) { *out << text.toStdString(); }

namespace guitest {

std::string Generated(std::uint64_t contacts, std::uint64_t seed = 1);
// What the log at `path` must show by the reference implementation: the main table's 48 data
// cells and the continent table's 77, row by row; the mode or continent chart's bars[series][band].
QStringList ExpectedBandModeCells(const QString& path);
QStringList ExpectedContinentCells(const QString& path);
using Bars = std::vector<std::vector<qreal>>;
Bars ExpectedBars(const QString& path, bool continents);
Bars BarsOf(const QWidget& chartWindow);
// "name=text" per menu item, sub-items indented, separators "-".
QStringList MenuItems(const QWidget& window);

// A top-level window by object name: any, once pending deletes are done, or a shown one.
inline QWidget* Window(const QString& name, bool shownOnly = false) {
    if (!shownOnly) QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name && (!shownOnly || w->isVisible())) return w;
    return nullptr;
}
inline QStringList ShownWindows() {
    QStringList names;
    for (const QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible()) names << w->objectName();
    return names;
}
inline GridControl& Grid(QWidget* w) { return *w->findChild<GridControl*>("MSFlexGrid1"); }
inline QStringList Row(GridControl& grid, int row) {
    QStringList texts;
    for (int c = 0; c < grid.Cols(); ++c) texts << grid.TextMatrix(row, c);
    return texts;
}
// Every cell below the header row and right of the header column, row by row.
inline QStringList DataCells(QWidget* window) {
    QStringList cells;
    for (int r = 1; r < Grid(window).Rows(); ++r) cells << Row(Grid(window), r).mid(1);
    return cells;
}

// Two logs of one contact each.
extern const std::string kFirstLog;
extern const std::string kSecondLog;

// A command that opens a window, from the menu of `from`; whether the window scans as it loads;
// one of its cells or bars, and what that shows for kFirstLog and kSecondLog.
struct WindowCommand {
    const char* name;
    const char* window;
    const char* command;
    const char* from;
    bool scans;
    QString (*probe)(QWidget& window);
    const char* first;
    const char* second;
};
extern const WindowCommand kWindowCommands[4];  // Form2, Form5, Form3, Form4

// Names the instances of a parameterised test by their rows' names.
struct RowName {
    template <class Row>
    std::string operator()(const ::testing::TestParamInfo<Row>& info) const {
        return info.param.name;
    }
};

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    QString Write(const QString& name, const std::string& content);
    // A menu command of the main window or of the window named `window`.
    QAction* Action(const char* name, const QString& window = "Form1") const {
        return (window == "Form1" ? form.get() : Window(window, true))->findChild<QAction*>(name);
    }
    void Trigger(const char* name, const QString& window = "Form1") {
        Action(name, window)->trigger();
    }
    // "Open ADIF" answered with `path` (empty: cancel).
    void Open(const QString& path) {
        answer = path;
        Trigger("mnuOpen");
    }
    void Close(const QString& window) {
        Window(window)->close();
        Window(window);
    }
    // Chooses the row's command; the continent window's, on a continent window opened anew.
    void Choose(const WindowCommand& row) {
        if (row.from == QLatin1String("Form2")) {
            if (Window("Form2")) Close("Form2");
            Trigger("mnuContinent");
        }
        Trigger(row.command, row.from);
    }
    // Runs `action` from inside a scan's yield at the nth reading of the clock (the first yield
    // is at n = 2), as if a user event had arrived then.
    void AtClockReading(int n, std::function<void()> action) {
        clockReadings = 0;
        actionAt_ = n;
        action_ = std::move(action);
    }

    const quorvane::CountingRules* rules = &quorvane::ExactRules();  // set before SetUp
    QTemporaryDir dir;
    QString answer;                                  // what the chooser returns
    std::optional<quorvane::DateRange> rangeAnswer;  // what the range chooser returns
    QString saveAnswer;                              // what the save chooser returns
    QStringList startFolders;                        // what the chooser was asked to start in
    QStringList errors;                              // what the error reporter was given
    int clockReadings = 0;
    std::unique_ptr<Form1> form;

  private:
    std::chrono::steady_clock::time_point now_{};
    int actionAt_ = -1;
    std::function<void()> action_;
};

class EachWindow : public WindowTest, public ::testing::WithParamInterface<WindowCommand> {};

}  // namespace guitest
