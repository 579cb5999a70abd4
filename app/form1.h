// The main window: the menus, the "Open ADIF" command, the band/mode table, and the keeper of
// the other five windows.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

#include "quorvane/band_mode_tally.h"
#include "quorvane/counting_rules.h"
#include "scanmonitor.h"

class QAction;
class GridControl;
class Form2;
class Form3;
class Form4;
class Form5;

class Form1 : public QMainWindow {
    Q_OBJECT
  public:
    // Asks for a log, starting in `startFolder`; an empty path means the user cancelled.
    using FileChooser = std::function<QString(const QString& startFolder)>;
    // Shows an error that ended a command.
    using ErrorReporter = std::function<void(const QString& message)>;
    // Times the yields of every scan (ScanMonitor).
    using Clock = ScanMonitor::Clock;

    // Empty arguments take the defaults: Qt's file-open dialog, a message box, steady_clock.
    // Every scan of this window and of the windows it opens counts by `rules`.
    explicit Form1(FileChooser chooser = {}, ErrorReporter reporter = {}, Clock clock = {},
                   const quorvane::CountingRules& rules = quorvane::ExactRules(),
                   QWidget* parent = nullptr);
    ~Form1() override;

    // Read by the other windows: the path of the log chosen by the last "Open ADIF" (empty
    // when there is none) and its band/mode counters.
    QString FileName;
    quorvane::BandModeTally BandModeTally;

    // "Open ADIF" for the log at `path`, without asking for it: the same steps from the
    // clearing of the counters on.
    void OpenFile(const QString& path);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void OpenLog();
    void ScanLog();
    bool ScanBandModes();
    QString Caption(const QString& text) const;
    void ExitProgram();
    void ShowModeChart();
    void ShowQslWindow();
    void ShowContinentWindow();
    void ShowContinentChart(const Form2& source);
    template <class Window>
    bool ShowLoaded(QPointer<Window>& slot);
    template <class Window>
    void LoadAndShow(QPointer<Window>& slot, std::unique_ptr<Window> form,
                     const std::function<bool(const QString& path)>& load);

    void UpdateCommands();
    void CloseWindow(QWidget* window);
    void ForgetLog();

    FileChooser chooser_;
    ErrorReporter reporter_;
    const quorvane::CountingRules& rules_;
    ScanMonitor scans_;  // the busy notice Form6 is its own

    GridControl* grid_;
    QAction* mnuOpen_;
    QAction* mnuQSLReceived_;
    QAction* mnuContinent_;

    QPointer<Form2> form2_;
    QPointer<Form3> form3_;
    QPointer<Form4> form4_;
    QPointer<Form5> form5_;
    QWidget* loading_ = nullptr;  // the continent or QSL window in its load step, not yet shown
    QString lastFolder_;          // of the log chosen last in this run
};
