// What the window and chart tests share: a main window whose file chooser, error reporter and
// clock the test controls, logs written on the fly, and ways to read windows back.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QChartView>
#include <QEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "form1.h"
#include "gridcontrol.h"

// Failed expectations show Qt texts as text.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace guitest {

// One contact line of a log.
std::string Contact(const std::string& band, const std::string& mode,
                    const std::string& continent = "", const std::string& extra = "");
std::string Repeat(const std::string& piece, std::size_t times);
std::string Generated(std::uint64_t contacts, std::uint64_t seed);
// Writes `content` to `path`; returns the path.
QString WriteFile(const QString& path, const std::string& content);

inline void FlushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
// A top-level window by object name, or nullptr, once windows waiting to be deleted are gone.
inline QWidget* Window(const QString& name) {
    FlushDeletes();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name) return w;
    return nullptr;
}
// A shown window by object name, found without deleting what waits to be deleted, as a scan's
// yield does not either.
inline QWidget* Shown(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String(name) && w->isVisible()) return w;
    return nullptr;
}
inline GridControl* Grid(QWidget* window) {
    return window ? window->findChild<GridControl*>(QStringLiteral("MSFlexGrid1")) : nullptr;
}
inline QStringList Row(const GridControl& grid, int row) {
    QStringList texts;
    for (int c = 0; c < grid.Cols(); ++c) texts << grid.TextMatrix(row, c);
    return texts;
}
// Every cell below the header row and right of the header column, row by row.
QStringList DataCells(const GridControl& grid);
// What the main and the continent table must show for the log at `path`, by the tally alone.
QStringList ExpectedBandModeCells(const QString& path);
QStringList ExpectedContinentCells(const QString& path);

// The menu bar of `window`: "name=text" per item, sub-items indented, separators "-".
inline QStringList MenuItems(const QMainWindow& window) {
    QStringList items;
    for (QAction* top : window.menuBar()->actions()) {
        items << top->objectName() + "=" + top->text();
        for (QAction* item : top->menu()->actions())
            items << "  " + item->objectName() + "=" + (item->isSeparator() ? "-" : item->text());
    }
    return items;
}

// A chart window read back through Qt Charts: bars[series][band], and the tallies' counters
// in the same shape.
using Bars = std::vector<std::vector<qreal>>;
QChartView* ChartView(const QWidget& window);
Bars BarsOf(const QWidget& chartWindow);
Bars ModeBars(const QString& path);
Bars ContinentBars(const QString& path);

// Records, in order, the names of the watched windows that receive a close event.
struct CloseRecorder : QObject {
    void Watch(QWidget* window) { window->installEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close) closed << watched->objectName();
        return false;
    }
    QStringList closed;
};

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    QString Write(const QString& name, const std::string& content) {
        return WriteFile(dir.filePath(name), content);
    }
    // A generated log of seven of the scanner's blocks.
    QString LargeLog() { return Write("large.adi", Generated(6000, 1)); }

    // A menu command of the main window or of the window named `window`.
    QAction* Action(const char* name, const QString& window = "Form1") const {
        const QWidget* w = window == "Form1" ? form.get() : Window(window);
        return w ? w->findChild<QAction*>(QLatin1String(name)) : nullptr;
    }
    void Trigger(const char* name, const QString& window = "Form1") {
        QAction* action = Action(name, window);
        ASSERT_NE(action, nullptr) << name;
        action->trigger();
    }
    // "Open ADIF" answered with `path` (empty: cancel).
    void Open(const QString& path) {
        answers.push_back(path);
        Trigger("mnuOpen");
    }
    void Close(const QString& window) {
        ASSERT_NE(Window(window), nullptr) << window.toStdString();
        Window(window)->close();
        FlushDeletes();
    }
    // Runs `action` from inside the scan's yield when the clock is read for the nth time
    // during a scan (n = 2 is the first yield), as if a user event had arrived then.
    void AtClockReading(int n, std::function<void()> action) {
        clockReadings = 0;
        actionAt_ = n;
        action_ = std::move(action);
    }

    GridControl& MainGrid() const { return *Grid(form.get()); }
    QStringList MainCells() const { return DataCells(MainGrid()); }

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
