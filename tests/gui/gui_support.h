// What the window tests share: a main window whose file chooser, error reporter and clock the
// test controls, logs written on the fly, and the windows read back.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <memory>

#include "form1.h"
#include "gridcontrol.h"

inline void PrintTo(const QString& text, std::ostream* out) { *out << text.toStdString(); }

namespace guitest {

// One contact line of a log.
std::string Contact(const std::string& band, const std::string& mode,
                    const std::string& continent = "", const std::string& extra = "");
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

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    QString Write(const QString& name, const std::string& content);
    // A menu command of the main window or of the window named `window`.
    QAction* Action(const char* name, const QString& window = "Form1") const {
        const QWidget* w = window == "Form1" ? form.get() : Window(window, true);
        return w ? w->findChild<QAction*>(name) : nullptr;
    }
    void Trigger(const char* name, const QString& window = "Form1") {
        Action(name, window)->trigger();
    }
    // "Open ADIF" answered with `path` (empty: cancel).
    void Open(const QString& path) {
        answers.push_back(path);
        Trigger("mnuOpen");
    }
    void Close(const QString& window) {
        Window(window)->close();
        Window(window);
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
    std::deque<QString> answers;  // what the chooser returns, in turn
    QStringList startFolders;     // what the chooser was asked to start in
    QStringList errors;           // what the error reporter was given
    int clockReadings = 0;
    std::unique_ptr<Form1> form;

  private:
    std::chrono::steady_clock::time_point now_{};
    int actionAt_ = -1;
    std::function<void()> action_;
};

}  // namespace guitest
