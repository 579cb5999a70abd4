#include "gui_support.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QMetaObject>
#include <QWidget>

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

void FlushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

QWidget* Window(const QString& name) {
    FlushDeletes();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name) return w;
    return nullptr;
}

GridControl* Grid(QWidget* window) {
    return window ? window->findChild<GridControl*>(QStringLiteral("MSFlexGrid1")) : nullptr;
}

QStringList Row(const GridControl& grid, int row) {
    QStringList texts;
    for (int c = 0; c < grid.Cols(); ++c) texts << grid.TextMatrix(row, c);
    return texts;
}

QStringList Column(const GridControl& grid, int col) {
    QStringList texts;
    for (int r = 0; r < grid.Rows(); ++r) texts << grid.TextMatrix(r, col);
    return texts;
}

QStringList DataCells(const GridControl& grid) {
    QStringList cells;
    for (int r = 1; r < grid.Rows(); ++r) cells << Row(grid, r).mid(1);
    return cells;
}

QStringList ExpectedBandModeCells(const QString& path) {
    quorvane::LogLineScanner log;
    log.Open(QFile::encodeName(path).toStdString());
    quorvane::BandModeTally tally;
    tally.Scan(log);
    log.Close();
    tally.FormTotals();
    QStringList cells;
    for (std::size_t b = 0; b < quorvane::kBandCount; ++b) {
        for (std::size_t m = 0; m < quorvane::kModeClassCount; ++m)
            cells << QString::number(tally.Counter(m, b));
        cells << QString::number(tally.*quorvane::BandModeTally::kBandTotals[b]);
    }
    for (std::size_t m = 0; m < quorvane::kModeClassCount; ++m)
        cells << QString::number(tally.*quorvane::BandModeTally::kClassTotals[m]);
    cells << QString::number(tally.Total);
    cells << "-"
          << "-"
          << "-" << QString::number(tally.OthersTotal);
    return cells;
}

QStringList ExpectedContinentCells(const QString& path) {
    quorvane::ContinentBandTally tally;
    tally.ScanContinentBands(QFile::encodeName(path).toStdString());
    QStringList cells;
    for (std::size_t b = 0; b < quorvane::kBandCount; ++b)
        for (std::size_t c = 0; c < quorvane::kContinentCount; ++c)
            cells << QString::number(tally.Counter(c, b));
    for (int c = 1; c <= static_cast<int>(quorvane::kContinentCount); ++c)
        cells << QString::number(tally.ContinentTotal(c));
    return cells;
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

QString WindowTest::Write(const QString& name, const std::string& content) {
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content.data(), static_cast<qint64>(content.size()));
    return path;
}

QString WindowTest::LargeLog() {
    static QTemporaryDir largeDir;
    static const QString path = [] {
        quorvane::loggen::Options options;
        options.contacts = 6000;  // about 1.8 MB: seven blocks
        const std::string log = quorvane::loggen::Generate(options);
        const QString p = largeDir.filePath(QStringLiteral("large.adi"));
        QFile file(p);
        if (file.open(QIODevice::WriteOnly))
            file.write(log.data(), static_cast<qint64>(log.size()));
        return p;
    }();
    return path;
}

QAction* WindowTest::Action(const char* name) const {
    return form->findChild<QAction*>(QLatin1String(name));
}

void WindowTest::Trigger(const char* name) {
    QAction* action = Action(name);
    ASSERT_NE(action, nullptr) << name;
    action->trigger();
}

void WindowTest::Open(const QString& path) {
    answers.push_back(path);
    Trigger("mnuOpen");
}

void WindowTest::AtClockReading(int n, std::function<void()> action) {
    clockReadings = 0;
    actionAt_ = n;
    action_ = std::move(action);
}

}  // namespace guitest
