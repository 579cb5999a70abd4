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
#include <functional>
#include <memory>

#include "bandmodetable.h"
#include "errormessage.h"
#include "form2.h"
#include "form3.h"
#include "form4.h"
#include "form5.h"
#include "gridcontrol.h"
#include "windowdesign.h"

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
             const quorvane::CountingRules& rules, QWidget* parent)
    : QMainWindow(parent),
      chooser_(std::move(chooser)),
      reporter_(std::move(reporter)),
      rules_(rules),
      scans_(std::move(clock), [this] { UpdateCommands(); }),
      grid_(new GridControl) {
    if (!chooser_)
        chooser_ = [this](const QString& startFolder) { return ChooseLog(this, startFolder); };
    if (!reporter_) {
        reporter_ = [this](const QString& message) {
            QMessageBox::warning(this, kCaption, message);
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
}

// The window's caption: `text` and, for rules other than the exact ones, their note.
QString Form1::Caption(const QString& text) const {
    const std::string_view note = rules_.CaptionNote();
    if (note.empty()) return text;
    return QStringLiteral("%1 (%2)").arg(
        text, QString::fromUtf8(note.data(), static_cast<qsizetype>(note.size())));
}

// ---- "Open ADIF"

void Form1::OpenLog() {
    if (quorvane::LogLineScanner::HandleHeld()) return;  // greyed meanwhile; never a second scan
    BandModeTally.ClearCounters();
    FileName = chooser_(lastFolder_);
    if (FileName.isEmpty()) return;  // the table and the caption keep the previous log
    ScanLog();
}

void Form1::OpenFile(const QString& path) {
    if (quorvane::LogLineScanner::HandleHeld()) return;
    BandModeTally.ClearCounters();
    FileName = QFileInfo(path).absoluteFilePath();
    if (FileName.isEmpty()) return;
    ScanLog();
}

// The open command from the caption on, for the log in FileName.
void Form1::ScanLog() {
    lastFolder_ = QFileInfo(FileName).absolutePath();
    // Qt reads "[*]" in a title as the modified-mark placeholder and drops it; doubled, it
    // shows as itself, so a log named "log[*].adi" keeps its name in the caption.
    QString caption = QFileInfo(FileName).fileName();
    setWindowTitle(Caption(caption.replace(QLatin1String("[*]"), QLatin1String("[*][*]"))));

    try {
        if (!ScanBandModes()) return;  // the program is ending
        FillBandModeTable(*grid_, BandModeTally);
    } catch (const quorvane::TallyError& error) {
        const QString path = FileName;
        ForgetLog();
        reporter_(ErrorMessage(error, path));
    }
}

// Opens the log, shows the busy notice, counts, closes the log and then the notice. Returns
// false when the scan stopped because the program is ending.
bool Form1::ScanBandModes() {
    quorvane::LogLineScanner log;
    const ScanMonitor::Scope scan(scans_, log, QFile::encodeName(FileName).toStdString());
    return rules_.ScanBandMode(BandModeTally, log, [this] { return scans_.Yield(); });
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
}

// ---- the other windows

void Form1::ShowModeChart() {
    if (FileName.isEmpty()) return;
    try {
        ForgetIfClosed(form3_);
        if (!form3_) {
            form3_ = new Form3(BandModeTally);
            form3_->setAttribute(Qt::WA_DeleteOnClose);
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
    auto form = std::make_unique<Form2>(rules_);
    connect(form.get(), &Form2::chartRequested, this,
            [this, source = form.get()] { ShowContinentChart(*source); });
    Form2& window = *form;
    LoadAndShow(form2_, std::move(form),
                [this, &window](const QString& path) { return window.Load(path, scans_.Hooks()); });
}

void Form1::ShowQslWindow() {
    if (ShowLoaded(form5_)) return;
    auto form = std::make_unique<Form5>(rules_);
    Form5& window = *form;
    LoadAndShow(form5_, std::move(form), [this, &window](const QString& path) {
        window.Load(path, scans_.Hooks());
        return !scans_.Stopped();
    });
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
    scans_.CloseNotice();  // Form6
    event->accept();
    QCoreApplication::quit();
}

void Form1::ExitProgram() {
    scans_.Stop();
    CloseWindow(form2_);
    QCoreApplication::exit(0);
}
