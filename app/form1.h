// The main window: the menus, the "Open ADIF" command, the band/mode table, and the keeper of
// the other five windows; by rules that read records, also of the three award windows and of
// the date range that every count of the program keeps to.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "quorvane/band_mode_tally.h"
#include "quorvane/counting_rules.h"
#include "scanmonitor.h"

class QAction;
class AwardWindow;
class DxccEntityWindow;
class DxccSummaryWindow;
class YearsWindow;
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
    // Asks for a date range, starting from `current`; nullopt means the user cancelled.
    using RangeChooser =
        std::function<std::optional<quorvane::DateRange>(const quorvane::DateRange& current)>;
    // Asks where DXCC by Entity saves its CSV, starting from a suggested path; an empty path
    // means the user cancelled.
    using SaveChooser = std::function<QString(const QString& suggested)>;

    // Empty arguments take the defaults: Qt's file-open dialog, a message box, steady_clock,
    // the Date Range dialog, Qt's file-save dialog. Every scan of this window and of the windows
    // it opens counts by `rules`; rules that read records add the award windows and the date
    // range to the Option menu.
    explicit Form1(FileChooser chooser = {}, ErrorReporter reporter = {}, Clock clock = {},
                   const quorvane::CountingRules& rules = quorvane::ExactRules(),
                   RangeChooser rangeChooser = {}, SaveChooser saveChooser = {},
                   QWidget* parent = nullptr);
    ~Form1() override;

    // Read by the other windows: the path of the log chosen by the last "Open ADIF" (empty
    // when there is none) and its band/mode counters.
    QString FileName;
    quorvane::BandModeTally BandModeTally;

    // "Open ADIF" for the log at `path`, without asking for it: the same steps from the
    // clearing of the counters on.
    void OpenFile(const QString& path);

    // The rules that every count follows now: those given, within the date range if any.
    const quorvane::CountingRules& Rules() const { return ranged_ ? *ranged_ : baseRules_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void OpenLog();
    QString ScanLog();
    bool ScanBandModes();
    QString Caption(const QString& text) const;
    void AddAwardCommands(QMenu* option);
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

    template <class Window>
    void ShowAwardWindow(QPointer<Window>& slot, std::unique_ptr<Window> form);
    bool CountAwards(AwardWindow& window, const QString& path);
    void ChooseRange();
    void CountAgain();
    template <class Window>
    void CountAgainIn(QPointer<Window>& slot, QStringList& failures,
                      const std::function<bool(Window& window)>& count);

    void UpdateCommands();
    void CloseWindow(QWidget* window);
    void ForgetLog();

    FileChooser chooser_;
    ErrorReporter reporter_;
    RangeChooser rangeChooser_;
    SaveChooser saveChooser_;
    const quorvane::CountingRules& baseRules_;
    std::unique_ptr<const quorvane::CountingRules> ranged_;  // while a range is set
    ScanMonitor scans_;                                      // the busy notice Form6 is its own

    GridControl* grid_;
    QAction* mnuOpen_;
    QAction* mnuQSLReceived_;
    QAction* mnuContinent_;
    QAction* mnuDxccSummary_ = nullptr;  // these four by rules that read records only
    QAction* mnuDxccEntities_ = nullptr;
    QAction* mnuYears_ = nullptr;
    QAction* mnuDateRange_ = nullptr;

    QPointer<Form2> form2_;
    QPointer<Form3> form3_;
    QPointer<Form4> form4_;
    QPointer<Form5> form5_;
    QPointer<DxccSummaryWindow> dxccSummary_;
    QPointer<DxccEntityWindow> dxccEntities_;
    QPointer<YearsWindow> years_;
    QWidget* loading_ = nullptr;  // the continent or QSL window in its load step, not yet shown
    QString lastFolder_;          // of the log chosen last in this run
};
