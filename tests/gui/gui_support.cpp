#include "gui_support.h"

#include <QBarSeries>
#include <QBarSet>
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

template <class Tally>
Bars BarsOfTally(const Tally& tally, std::size_t series) {
    Bars bars(series);
    for (std::size_t s = 0; s < series; ++s)
        for (std::size_t b = 0; b < quorvane::kBandCount; ++b)
            bars[s].push_back(tally.Counter(s, b));
    return bars;
}
Bars ModeBars(const QString& path) {
    return BarsOfTally(ModeTally(path), quorvane::kModeClassCount);
}
Bars ContinentBars(const QString& path) {
    return BarsOfTally(ContinentTally(path), quorvane::kContinentCount);
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

}  // namespace guitest

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
