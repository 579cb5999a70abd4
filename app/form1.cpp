#include "form1.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QStringList>
#include <functional>
#include <memory>

#include "awardwindow.h"
#include "bandmodetable.h"
#include "daterangedialog.h"
#include "dxccentitywindow.h"
#include "dxccsummarywindow.h"
#include "errormessage.h"
#include "form2.h"
#include "form3.h"
#include "form4.h"
#include "form5.h"
#include "gridcontrol.h"
#include "quorvane/log_counts.h"
#include "windowdesign.h"
#include "windowtexts.h"
#include "yearswindow.h"

namespace {

const QString kCaption = QStringLiteral("Quorvane");

// A window in its load step; whatever ends the step, the window is no longer loading.
class LoadingScope {
  public:
    LoadingScope(QWidget*& loading, QWidget* window) : loading_(loading) { loading_ = window; }
    ~LoadingScope() { loading_ = nullptr; }
    LoadingScope(const LoadingScope&) = delete;
    LoadingScope& operator=(const LoadingScope&) = delete;

  private:
    QWidget*& loading_;
};

// A window closed while a scan yields is deleted only once control is back in the event loop,
// after the scan. Until then it counts as gone: it is never shown again, only replaced, and it
// is left to its pending deletion. The kept windows are hidden only by their close (Qt clears
// Qt::WA_DeleteOnClose as it closes), while one in its load step has not been shown yet.
bool IsClosed(const QWidget* window) {
    return window && window->isHidden() && window->testAttribute(Qt::WA_WState_ExplicitShowHide);
}

template <typename Window>
void ForgetIfClosed(QPointer<Window>& window) {
    if (IsClosed(window)) window.clear();
}

// Runs `hidden` whenever the watched window is hidden, as by its close.
class HideWatcher : public QObject {
  public:
    HideWatcher(QObject* parent, std::function<void()> hidden)
        : QObject(parent), hidden_(std::move(hidden)) {}
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() == QEvent::Hide) hidden_();
        return false;
    }

  private:
    std::function<void()> hidden_;
};

// Asks for a log in Qt's own file dialog; the start folder within a run is the caller's. The
// dialog's own memory goes to Qt's user settings, which main sends nowhere.
QString ChooseLog(QWidget* parent, const QString& startFolder) {
    return QFileDialog::getOpenFileName(parent, QString(), startFolder,
                                        Form1::tr("ADIF logs (*.adi *.adif);;All files (*)"),
                                        nullptr, QFileDialog::DontUseNativeDialog);
}

// Some window managers offer to minimise a window despite its hints; brought forward, it is also
// restored.
void ShowWindow(QWidget* window) {
    if (window->isMinimized()) window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace

Form1::Form1(FileChooser chooser, ErrorReporter reporter, Clock clock,
             const quorvane::CountingRules& rules, RangeChooser rangeChooser,
             SaveChooser saveChooser, QWidget* parent)
    : QMainWindow(parent),
      chooser_(std::move(chooser)),
      reporter_(std::move(reporter)),
      rangeChooser_(std::move(rangeChooser)),
      saveChooser_(std::move(saveChooser)),
      baseRules_(rules),
      scans_(std::move(clock), [this] { UpdateCommands(); }),
      grid_(new GridControl) {
    if (!chooser_)
        chooser_ = [this](const QString& startFolder) { return ChooseLog(this, startFolder); };
    if (!reporter_) {
        reporter_ = [this](const QString& message) {
            QMessageBox::warning(this, kCaption, message);
        };
    }
    if (!rangeChooser_) {
        rangeChooser_ = [this](const quorvane::DateRange& current) {
            DateRangeDialog dialog(current, this);
            return dialog.exec() == QDialog::Accepted
                       ? std::optional<quorvane::DateRange>(dialog.Range())
                       : std::nullopt;
        };
    }

    setObjectName(QStringLiteral("Form1"));
    ApplyWindowDesign(*this, Border::Fixed);
    setWindowTitle(Caption(kCaption));

    QMenu* file = AddMenu(menuBar(), "mnuFile", tr("File"));
    mnuOpen_ = AddItem(file, "mnuOpen", tr("Open ADIF"));
    AddSeparator(file, "mnuLine_1");
    QAction* exit = AddItem(file, "mnuExit", tr("Exit"));
    QMenu* option = AddMenu(menuBar(), "mnuOption", tr("Option"));
    QAction* chart = AddItem(option, "mnuChart", tr("Chart"));
    AddSeparator(option, "mnuLine_2");
    mnuQSLReceived_ = AddItem(option, "mnuQSLReceived", tr("QSL Rcvd/Sent"));
    mnuContinent_ = AddItem(option, "mnuContinent", tr("Continent summary"));
    if (baseRules_.ReadsRecords()) AddAwardCommands(option);
    QMenu* help = AddMenu(menuBar(), "mnuHelp", tr("Help"));
    AddItem(help, "mnuVer", tr("Quorvane ver2.0"));  // a version label; choosing it does nothing

    connect(mnuOpen_, &QAction::triggered, this, &Form1::OpenLog);
    connect(exit, &QAction::triggered, this, &Form1::ExitProgram);
    connect(chart, &QAction::triggered, this, &Form1::ShowModeChart);
    connect(mnuQSLReceived_, &QAction::triggered, this, &Form1::ShowQslWindow);
    connect(mnuContinent_, &QAction::triggered, this, &Form1::ShowContinentWindow);

    auto* client = new QWidget;
    setCentralWidget(client);
    grid_->setParent(client);
    grid_->setObjectName(QStringLiteral("MSFlexGrid1"));
    grid_->setGeometry(TwipsRect(120, 0, 4215, 3735));
    SizeAndCentre(*this, 4425, 3840, Border::Fixed, menuBar()->sizeHint().height());

    SetUpBandModeTable(*grid_);
}

Form1::~Form1() {
    // Windows still open when the program ends ("Exit") go with it, without their close steps;
    // the busy notice goes last, with the scans.
    delete form2_.data();
    delete form3_.data();
    delete form4_.data();
    delete form5_.data();
    delete dxccSummary_.data();
    delete dxccEntities_.data();
    delete years_.data();
}

// After the design's items: the award windows, then the date range.
void Form1::AddAwardCommands(QMenu* option) {
    AddSeparator(option, "mnuLine_3");
    mnuDxccSummary_ = AddItem(option, "mnuDxccSummary", windowtext::kDxccSummary);
    mnuDxccEntities_ = AddItem(option, "mnuDxccEntities", windowtext::kDxccEntities);
    mnuYears_ = AddItem(option, "mnuYears", windowtext::kYears);
    AddSeparator(option, "mnuLine_4");
    mnuDateRange_ = AddItem(option, "mnuDateRange", windowtext::kDateRange);
    mnuDxccSummary_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    mnuDxccEntities_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    mnuYears_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));
    mnuDateRange_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    connect(mnuDxccSummary_, &QAction::triggered, this,
            [this] { ShowAwardWindow(dxccSummary_, std::make_unique<DxccSummaryWindow>()); });
    connect(mnuDxccEntities_, &QAction::triggered, this, [this] {
        ShowAwardWindow(dxccEntities_, std::make_unique<DxccEntityWindow>(saveChooser_, reporter_));
    });
    connect(mnuYears_, &QAction::triggered, this,
            [this] { ShowAwardWindow(years_, std::make_unique<YearsWindow>()); });
    connect(mnuDateRange_, &QAction::triggered, this, &Form1::ChooseRange);
}

// The window's caption: `text` and, for rules other than the exact ones, their note and range.
QString Form1::Caption(const QString& text) const { return windowtext::Caption(text, Rules()); }

// ---- "Open ADIF"

void Form1::OpenLog() {
    if (quorvane::LogLineScanner::HandleHeld()) return;  // greyed meanwhile; never a second scan
    BandModeTally.ClearCounters();
    FileName = chooser_(lastFolder_);
    if (FileName.isEmpty()) return;  // the table and the caption keep the previous log
    if (const QString error = ScanLog(); !error.isEmpty()) reporter_(error);
}

void Form1::OpenFile(const QString& path) {
    if (quorvane::LogLineScanner::HandleHeld()) return;
    BandModeTally.ClearCounters();
    FileName = QFileInfo(path).absoluteFilePath();
    if (FileName.isEmpty()) return;
    if (const QString error = ScanLog(); !error.isEmpty()) reporter_(error);
}

// The open command from the caption on, for the log in FileName. Returns the message of an
// error that ended it, which the caller shows.
QString Form1::ScanLog() {
    lastFolder_ = QFileInfo(FileName).absolutePath();
    // Qt reads "[*]" in a title as the modified-mark placeholder and drops it; doubled, it
    // shows as itself, so a log named "log[*].adi" keeps its name in the caption.
    setWindowTitle(Caption(windowtext::FileCaption(FileName)));

    try {
        if (!ScanBandModes()) return {};  // the program is ending
        FillBandModeTable(*grid_, BandModeTally);
    } catch (const quorvane::TallyError& error) {
        const QString path = FileName;
        ForgetLog();
        return ErrorMessage(error, path);
    }
    return {};
}

// Opens the log, shows the busy notice, counts, closes the log and then the notice. Returns
// false when the scan stopped because the program is ending.
bool Form1::ScanBandModes() {
    quorvane::LogLineScanner log;
    const ScanMonitor::Scope scan(scans_, log, QFile::encodeName(FileName).toStdString());
    return Rules().ScanBandMode(BandModeTally, log, [this] { return scans_.Yield(); });
}

// Back to the state before the first log, so that no partial count is shown as a result.
void Form1::ForgetLog() {
    FileName.clear();
    setWindowTitle(Caption(kCaption));
    BandModeTally = quorvane::BandModeTally{};
    ClearBandModeTable(*grid_);
}

// ---- the single log handle

// While a scan holds the log, the commands that would start another are greyed.
void Form1::UpdateCommands() {
    const bool held = quorvane::LogLineScanner::HandleHeld();
    mnuOpen_->setEnabled(!held);
    mnuContinent_->setEnabled(!held || (form2_ && form2_ != loading_ && !IsClosed(form2_)));
    mnuQSLReceived_->setEnabled(!held || (form5_ && form5_ != loading_ && !IsClosed(form5_)));
    if (!mnuDateRange_) return;
    mnuDxccSummary_->setEnabled(
        !held || (dxccSummary_ && dxccSummary_ != loading_ && !IsClosed(dxccSummary_)));
    mnuDxccEntities_->setEnabled(
        !held || (dxccEntities_ && dxccEntities_ != loading_ && !IsClosed(dxccEntities_)));
    mnuYears_->setEnabled(!held || (years_ && years_ != loading_ && !IsClosed(years_)));
    mnuDateRange_->setEnabled(!held);
}

// ---- the other windows

void Form1::ShowModeChart() {
    if (FileName.isEmpty()) return;
    try {
        ForgetIfClosed(form3_);
        if (!form3_) {
            form3_ = new Form3(BandModeTally);
            form3_->setAttribute(Qt::WA_DeleteOnClose);
            form3_->setWindowTitle(windowtext::RangeCaption(windowtext::kModeChart, Rules()));
        }
        ShowWindow(form3_);
    } catch (...) {
        // The chart commands ignore every error while their window is made and shown.
    }
}

void Form1::ShowContinentChart(const Form2& source) {
    try {
        ForgetIfClosed(form4_);
        if (!form4_) {
            form4_ = new Form4(source.ContinentBandTally);
            form4_->setAttribute(Qt::WA_DeleteOnClose);
            form4_->setWindowTitle(windowtext::RangeCaption(windowtext::kContinentChart, Rules()));
        }
        ShowWindow(form4_);
    } catch (...) {
        // As for the mode chart.
    }
}

// The continent and QSL commands: nothing without a log; a window that exists is only brought
// forward (or left alone while it loads); none is made while another scan holds the log.
// Returns true when the command has nothing more to do.
template <class Window>
bool Form1::ShowLoaded(QPointer<Window>& slot) {
    if (FileName.isEmpty()) return true;
    ForgetIfClosed(slot);
    if (slot) {
        if (slot != loading_) ShowWindow(slot);
        return true;
    }
    return quorvane::LogLineScanner::HandleHeld();
}

// Runs the window's load step on the current log and shows the window once it is done. A load
// that fails is reported and its window discarded unseen, as is one stopped because the program
// is ending.
template <class Window>
void Form1::LoadAndShow(QPointer<Window>& slot, std::unique_ptr<Window> form,
                        const std::function<bool(const QString& path)>& load) {
    connect(form.get(), &QObject::destroyed, this, &Form1::UpdateCommands, Qt::QueuedConnection);
    slot = form.get();
    const QString path = FileName;
    bool completed = false;
    try {
        const LoadingScope loading(loading_, form.get());
        completed = load(path);
    } catch (const quorvane::TallyError& error) {
        form.reset();
        UpdateCommands();
        reporter_(ErrorMessage(error, path));
        return;
    }
    if (!completed) return;  // the program is ending; the window goes unseen
    form->setAttribute(Qt::WA_DeleteOnClose);
    // Closed during a scan, it stays until the scan ends, but its command is greyed at once.
    form->installEventFilter(new HideWatcher(form.get(), [this] { UpdateCommands(); }));
    ShowWindow(form.release());
    UpdateCommands();
}

void Form1::ShowContinentWindow() {
    if (ShowLoaded(form2_)) return;
    auto form = std::make_unique<Form2>(Rules());
    form->setWindowTitle(windowtext::RangeCaption(windowtext::kContinentSummary, Rules()));
    connect(form.get(), &Form2::chartRequested, this,
            [this, source = form.get()] { ShowContinentChart(*source); });
    Form2& window = *form;
    LoadAndShow(form2_, std::move(form),
                [this, &window](const QString& path) { return window.Load(path, scans_.Hooks()); });
}

void Form1::ShowQslWindow() {
    if (ShowLoaded(form5_)) return;
    auto form = std::make_unique<Form5>(Rules());
    form->setWindowTitle(windowtext::RangeCaption(windowtext::kQslRcvdSent, Rules()));
    Form5& window = *form;
    LoadAndShow(form5_, std::move(form), [this, &window](const QString& path) {
        window.Load(path, scans_.Hooks());
        return !scans_.Stopped();
    });
}

// ---- the award windows and the date range

// As the continent window: shown once its count is done, with the busy notice meanwhile.
template <class Window>
void Form1::ShowAwardWindow(QPointer<Window>& slot, std::unique_ptr<Window> form) {
    if (ShowLoaded(slot)) return;
    Window& window = *form;
    LoadAndShow(slot, std::move(form),
                [this, &window](const QString& path) { return CountAwards(window, path); });
}

// Counts the award tables of the log at `path` by the rules of now and shows them in `window`.
// Returns false when the program is ending; raises the count's errors.
bool Form1::CountAwards(AwardWindow& window, const QString& path) {
    const std::optional<quorvane::LogCounts> counts = quorvane::CountLog(
        QFile::encodeName(path).toStdString(), Rules(),
        {.bandMode = false, .continent = false, .qsl = false, .awards = true}, scans_.Hooks());
    if (!counts) return false;
    window.ShowCounts(path, Rules(), *counts);
    return true;
}

void Form1::ChooseRange() {
    if (quorvane::LogLineScanner::HandleHeld()) return;  // greyed meanwhile
    const std::optional<quorvane::DateRange> range = rangeChooser_(Rules().Range());
    if (!range || (range->from == Rules().Range().from && range->to == Rules().Range().to)) return;
    // The windows count by the rules they were given until they are given these: the old ones
    // go only once every window has the new.
    const std::unique_ptr<const quorvane::CountingRules> old = std::move(ranged_);
    if (range->Bounded()) ranged_ = quorvane::AdifFieldRulesWithin(*range);
    if (form2_) form2_->SetRules(Rules());
    if (form5_) form5_->SetRules(Rules());
    CountAgain();
}

// Every open window counts its log again by the rules of now, one after another; one whose
// count fails is closed, and the failures are shown together once all have counted.
void Form1::CountAgain() {
    QStringList failures;
    setWindowTitle(Caption(FileName.isEmpty() ? kCaption : windowtext::FileCaption(FileName)));
    if (!FileName.isEmpty()) {
        BandModeTally.ClearCounters();
        failures << ScanLog();
    }
    if (!scans_.Stopped()) {
        ForgetIfClosed(form3_);
        if (form3_) {
            form3_->Fill(BandModeTally);
            form3_->setWindowTitle(windowtext::RangeCaption(windowtext::kModeChart, Rules()));
        }
    }
    CountAgainIn<Form2>(form2_, failures, [this](Form2& window) {
        window.setWindowTitle(windowtext::RangeCaption(windowtext::kContinentSummary, Rules()));
        return window.Load(window.LogPath(), scans_.Hooks());
    });
    ForgetIfClosed(form4_);
    if (form4_ && !scans_.Stopped()) {
        // Its bars come from the continent window; without that window they cannot follow.
        if (form2_) {
            form4_->Fill(form2_->ContinentBandTally);
            form4_->setWindowTitle(windowtext::RangeCaption(windowtext::kContinentChart, Rules()));
        } else {
            form4_->close();
        }
    }
    CountAgainIn<Form5>(form5_, failures, [this](Form5& window) {
        window.setWindowTitle(windowtext::RangeCaption(windowtext::kQslRcvdSent, Rules()));
        window.Load(window.LogPath(), scans_.Hooks());
        return !scans_.Stopped();
    });
    const auto award = [this](AwardWindow& window) {
        return CountAwards(window, window.LogPath());
    };
    CountAgainIn<DxccSummaryWindow>(dxccSummary_, failures, award);
    CountAgainIn<DxccEntityWindow>(dxccEntities_, failures, award);
    CountAgainIn<YearsWindow>(years_, failures, award);
    failures.removeAll(QString());
    failures.removeDuplicates();
    if (!failures.isEmpty() && !scans_.Stopped()) reporter_(failures.join(QLatin1Char('\n')));
}

template <class Window>
void Form1::CountAgainIn(QPointer<Window>& slot, QStringList& failures,
                         const std::function<bool(Window& window)>& count) {
    ForgetIfClosed(slot);
    if (!slot || scans_.Stopped()) return;
    const QString path = slot->LogPath();
    try {
        count(*slot);
    } catch (const quorvane::TallyError& error) {
        failures << ErrorMessage(error, path);
        slot->close();
    }
}

// ---- ending

// A window in its load step is only hidden: the load stops at its next yield and discards it.
void Form1::CloseWindow(QWidget* window) {
    if (!window) return;
    if (window == loading_)
        window->hide();
    else
        window->close();
}

void Form1::closeEvent(QCloseEvent* event) {
    scans_.Stop();
    CloseWindow(form2_);
    CloseWindow(form3_);
    CloseWindow(form4_);
    CloseWindow(form5_);
    CloseWindow(dxccSummary_);
    CloseWindow(dxccEntities_);
    CloseWindow(years_);
    scans_.CloseNotice();  // Form6
    event->accept();
    QCoreApplication::quit();
}

void Form1::ExitProgram() {
    scans_.Stop();
    CloseWindow(form2_);
    QCoreApplication::exit(0);
}
