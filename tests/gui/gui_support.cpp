#include "gui_support.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChartView>
#include <QFile>
#include <QMenu>
#include <QMenuBar>

#include "loggen.h"
#include "reference_tally.h"

namespace guitest {

namespace ref = quorvane::reference;

std::string Generated(std::uint64_t contacts, std::uint64_t seed) {
    return quorvane::loggen::Generate({.contacts = contacts, .seed = seed});
}

namespace {
ref::Counts Reference(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return ref::CountText(file.readAll().toStdString());
}
const char* const kBands[] = {"6", "10", "12", "15", "17", "20", "30", "40", "80", "160"};
const char* const kContinents[] = {"AF", "AN", "AS", "EU", "NA", "OC", "SA"};
QString N(std::int64_t n) { return QString::number(n); }
}  // namespace

QStringList ExpectedBandModeCells(const QString& path) {
    const ref::Counts r = Reference(path);
    QStringList cells;
    for (std::string b : kBands) {
        for (const char* m : {"C", "R", "S"}) cells << N(r.bandMode.at(m + b));
        cells << N(r.BandModeSum("Total" + b));
    }
    for (const char* sum : {"Ctotal", "Rtotal", "Stotal", "Total"}) cells << N(r.BandModeSum(sum));
    return cells << QStringList(3, "-") << N(r.bandMode.at("OthersTotal"));
}

QStringList ExpectedContinentCells(const QString& path) {
    const ref::Counts r = Reference(path);
    QStringList cells;
    for (std::string b : kBands)
        for (std::string c : kContinents) cells << N(r.continent.at(c + b));
    for (std::string c : kContinents) cells << N(r.ContinentSum(c));
    return cells;
}

Bars ExpectedBars(const QString& path, bool continents) {
    const ref::Counts r = Reference(path);
    const auto& names = continents ? ref::ContinentCounterNames() : ref::BandModeCounterNames();
    Bars bars(names.size() / 10);
    for (std::size_t i = 0; i < names.size(); ++i)
        bars[i / 10].push_back((continents ? r.continent : r.bandMode).at(names[i]));
    return bars;
}

Bars BarsOf(const QWidget& chartWindow) {
    Bars bars;
    const auto* view = chartWindow.findChild<QChartView*>("MSChart1");
    for (const QBarSet* set :
         qobject_cast<QBarSeries*>(view->chart()->series().value(0))->barSets()) {
        bars.emplace_back();
        for (qsizetype i = 0; i < set->count(); ++i) bars.back().push_back(set->at(i));
    }
    return bars;
}

QStringList MenuItems(const QWidget& window) {
    QStringList items;
    for (QAction* top : window.findChild<QMenuBar*>()->actions()) {
        items << top->objectName() + "=" + top->text();
        for (QAction* item : top->menu()->actions())
            items << "  " + item->objectName() + "=" + (item->isSeparator() ? "-" : item->text());
    }
    return items;
}

const std::string kFirstLog = "<BAND:3>20M <MODE:2>CW <CONT:2>EU <QSL_SENT:1>Y <QSL_RCVD:1>Y\r\n";
const std::string kSecondLog = "<BAND:2>6M <MODE:2>FM <CONT:2>AF <QSL_SENT:1>Y\r\n";

// EU20; the paper QSL's share; CW on 20 m; EU on 20 m.
const WindowCommand kWindowCommands[4] = {
    {"ContinentWindow", "Form2", "mnuContinent", "Form1", true,
     [](QWidget& w) { return Grid(&w).TextMatrix(6, 4); }, "1", "0"},
    {"QslWindow", "Form5", "mnuQSLReceived", "Form1", true,
     [](QWidget& w) { return Grid(&w).TextMatrix(1, 1); }, "100.%", ".%"},
    {"ModeChart", "Form3", "mnuChart", "Form1", false,
     [](QWidget& w) { return QString::number(BarsOf(w)[0][5]); }, "1", "0"},
    {"ContinentChart", "Form4", "mnuChat", "Form2", false,
     [](QWidget& w) { return QString::number(BarsOf(w)[3][5]); }, "1", "0"}};

void WindowTest::SetUp() {
    ASSERT_TRUE(dir.isValid());
    // Every reading is 20 ms after the last, so that each yield serves the window events.
    auto clock = [this] {
        now_ += std::chrono::milliseconds(20);
        if (++clockReadings == actionAt_ && action_)
            QMetaObject::invokeMethod(qApp, action_, Qt::QueuedConnection);
        return now_;
    };
    const auto chooser = [this](const QString& startFolder) {
        startFolders << startFolder;
        return answer;
    };
    form = std::make_unique<Form1>(
        chooser, [this](const QString& m) { errors << m; }, clock, *rules,
        [this](const quorvane::DateRange&) { return rangeAnswer; },
        [this](const QString&) { return saveAnswer; });
    form->show();
}

void WindowTest::TearDown() {
    form.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // The main window takes every other window with it and leaves the log handle free.
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
    EXPECT_FALSE(quorvane::LogLineScanner::HandleHeld());
}

QString WindowTest::Write(const QString& name, const std::string& content) {
    QFile file(dir.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content.data(), static_cast<qint64>(content.size()));
    return file.fileName();
}

}  // namespace guitest

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
