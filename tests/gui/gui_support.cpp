#include "gui_support.h"

#include <QApplication>
#include <QBarSeries>
#include <QBarSet>
#include <QEvent>
#include <QFile>
#include <QMetaObject>

#include "loggen.h"
#include "quorvane/band_mode_tally.h"
#include "quorvane/continent_band_tally.h"

namespace guitest {

std::string Contact(const std::string& band, const std::string& mode, const std::string& continent,
                    const std::string& extra) {
    std::string line = "<CALL:5>DL1AB ";
    if (!band.empty()) line += "<BAND:" + std::to_string(band.size()) + ">" + band + " ";
    if (!mode.empty()) line += "<MODE:" + std::to_string(mode.size()) + ">" + mode + " ";
    if (!continent.empty()) line += "<CONT:2>" + continent + " ";
    return line + extra + "<EOR>\r\n";
}

std::string Repeat(const std::string& piece, std::size_t times) {
    std::string s;
    for (std::size_t i = 0; i < times; ++i) s += piece;
    return s;
}

std::string Generated(std::uint64_t contacts, std::uint64_t seed) {
    quorvane::loggen::Options options;
    options.contacts = contacts;
    options.seed = seed;
    return quorvane::loggen::Generate(options);
}

void FlushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

QWidget* Window(const QString& name) {
    FlushDeletes();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name) return w;
    return nullptr;
}

int WindowsNamed(const QString& name) {
    FlushDeletes();
    int count = 0;
    for (const QWidget* w : QApplication::topLevelWidgets()) count += w->objectName() == name;
    return count;
}

GridControl* Grid(QWidget* window) {
    return window ? window->findChild<GridControl*>(QStringLiteral("MSFlexGrid1")) : nullptr;
}

QStringList Row(const GridControl& grid, int row) {
    QStringList texts;
    for (int c = 0; c < grid.Cols(); ++c) texts << grid.TextMatrix(row, c);
    return texts;
}

QStringList DataCells(const GridControl& grid) {
    QStringList cells;
    for (int r = 1; r < grid.Rows(); ++r) cells << Row(grid, r).mid(1);
    return cells;
}

namespace {
quorvane::BandModeTally ModeTally(const QString& path) {
    quorvane::LogLineScanner log;
    log.Open(QFile::encodeName(path).toStdString());
    quorvane::BandModeTally tally;
    tally.Scan(log);
    log.Close();
    tally.FormTotals();
    return tally;
}
quorvane::ContinentBandTally ContinentTally(const QString& path) {
    quorvane::ContinentBandTally tally;
    tally.ScanContinentBands(QFile::encodeName(path).toStdString());
    return tally;
}
}  // namespace

QStringList ExpectedBandModeCells(const QString& path) {
    const quorvane::BandModeTally tally = ModeTally(path);
    QStringList cells;
    for (std::size_t b = 0; b < quorvane::kBandCount; ++b) {
        for (std::size_t m = 0; m < quorvane::kModeClassCount; ++m)
            cells << QString::number(tally.Counter(m, b));
        cells << QString::number(tally.*quorvane::BandModeTally::kBandTotals[b]);
    }
    for (std::size_t m = 0; m < quorvane::kModeClassCount; ++m)
        cells << QString::number(tally.*quorvane::BandModeTally::kClassTotals[m]);
    return cells << QString::number(tally.Total) << "-"
                 << "-"
                 << "-" << QString::number(tally.OthersTotal);
}

QStringList ExpectedContinentCells(const QString& path) {
    quorvane::ContinentBandTally tally = ContinentTally(path);
    QStringList cells;
    for (std::size_t b = 0; b < quorvane::kBandCount; ++b)
        for (std::size_t c = 0; c < quorvane::kContinentCount; ++c)
            cells << QString::number(tally.Counter(c, b));
    for (int c = 1; c <= static_cast<int>(quorvane::kContinentCount); ++c)
        cells << QString::number(tally.ContinentTotal(c));
    return cells;
}

QChartView* ChartView(const QWidget& window) {
    return window.findChild<QChartView*>(QStringLiteral("MSChart1"));
}

Bars BarsOf(const QWidget& chartWindow) {
    Bars bars;
    const QChartView* view = ChartView(chartWindow);
    if (!view || view->chart()->series().size() != 1) return bars;
    auto* series = qobject_cast<QBarSeries*>(view->chart()->series().front());
    for (const QBarSet* set : series ? series->barSets() : QList<QBarSet*>()) {
        bars.emplace_back();
        for (qsizetype i = 0; i < set->count(); ++i) bars.back().push_back(set->at(i));
    }
    return bars;
}

Bars ModeBars(const QString& path) {
    const quorvane::BandModeTally tally = ModeTally(path);
    Bars bars(quorvane::kModeClassCount);
    for (std::size_t m = 0; m < bars.size(); ++m)
        for (std::size_t b = 0; b < quorvane::kBandCount; ++b)
            bars[m].push_back(tally.Counter(m, b));
    return bars;
}

Bars ContinentBars(const QString& path) {
    const quorvane::ContinentBandTally tally = ContinentTally(path);
    Bars bars(quorvane::kContinentCount);
    for (std::size_t c = 0; c < bars.size(); ++c)
        for (std::size_t b = 0; b < quorvane::kBandCount; ++b)
            bars[c].push_back(tally.Counter(c, b));
    return bars;
}

namespace {
class CloseFilter : public QObject {
  public:
    explicit CloseFilter(QStringList& closed) : closed_(closed) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close) closed_ << watched->objectName();
        return false;
    }

  private:
    QStringList& closed_;
};
}  // namespace

void CloseRecorder::Watch(QWidget* window) {
    filters_.push_back(std::make_unique<CloseFilter>(closed));
    window->installEventFilter(filters_.back().get());
}

void WindowTest::SetUp() {
    ASSERT_TRUE(dir.isValid());
    auto chooser = [this](const QString& startFolder) {
        startFolders << startFolder;
        if (answers.empty()) return QString();
        QString path = answers.front();
        answers.pop_front();
        return path;
    };
    auto reporter = [this](const QString& message) { errors << message; };
    // Every reading is 20 ms after the last, so that each yield serves the window events.
    auto clock = [this] {
        now_ += std::chrono::milliseconds(20);
        if (++clockReadings == actionAt_ && action_)
            QMetaObject::invokeMethod(qApp, action_, Qt::QueuedConnection);
        return now_;
    };
    form = std::make_unique<Form1>(chooser, reporter, clock);
    form->show();
}

void WindowTest::TearDown() {
    form.reset();
    FlushDeletes();
    // The main window takes every other window with it.
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
    EXPECT_FALSE(quorvane::LogLineScanner::HandleHeld());
}

QString WriteFile(const QString& path, const std::string& content) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content.data(), static_cast<qint64>(content.size()));
    return path;
}

QString WindowTest::Write(const QString& name, const std::string& content) {
    return WriteFile(dir.filePath(name), content);
}

QString WindowTest::LargeLog() {
    static QTemporaryDir largeDir;
    static const QString path = [] {
        return WriteFile(largeDir.filePath("large.adi"), Generated(6000, 1));  // 1.8 MB
    }();
    return path;
}

QAction* WindowTest::Action(const char* name, const QString& window) const {
    const QWidget* w = window == "Form1" ? form.get() : Window(window);
    return w ? w->findChild<QAction*>(QLatin1String(name)) : nullptr;
}

void WindowTest::Trigger(const char* name, const QString& window) {
    QAction* action = Action(name, window);
    ASSERT_NE(action, nullptr) << name;
    action->trigger();
}

void WindowTest::Open(const QString& path) {
    answers.push_back(path);
    Trigger("mnuOpen");
}

void WindowTest::Close(const QString& window) {
    QWidget* w = Window(window);
    ASSERT_NE(w, nullptr) << window.toStdString();
    w->close();
    FlushDeletes();
}

void WindowTest::AtClockReading(int n, std::function<void()> action) {
    clockReadings = 0;
    actionAt_ = n;
    action_ = std::move(action);
}

}  // namespace guitest

namespace {
// The offscreen platform cannot raise windows and says so each time one is brought forward.
QtMessageHandler g_previous = nullptr;
void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (!message.contains(QLatin1String("does not support raise()")))
        g_previous(type, context, message);
}
}  // namespace

int main(int argc, char** argv) {
    g_previous = qInstallMessageHandler(QuietHandler);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
