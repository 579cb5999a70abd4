// Times "Open ADIF" on a generated 1,000,000-contact log, driven headless with a chooser that
// returns the path, against the bare band/mode scan of the same file in the same run, and
// measures the longest time the window events waited during the open command.
//
//   QT_QPA_PLATFORM=offscreen gui_open_bench [contacts] [rounds]
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "form1.h"
#include "loggen.h"
#include "quorvane/band_mode_tally.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

Clock::duration BareScan(const std::string& path, std::int32_t& total) {
    const auto start = Clock::now();
    quorvane::LogLineScanner log;
    log.Open(path);
    quorvane::BandModeTally tally;
    tally.Scan(log);
    log.Close();
    tally.FormTotals();
    total = tally.Total;
    return Clock::now() - start;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::uint64_t contacts = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1000000;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;

    QTemporaryDir dir;
    const std::string path = QDir(dir.path()).filePath("bench.adi").toStdString();
    {
        quorvane::loggen::Options options;
        options.contacts = contacts;
        std::ofstream out(path, std::ios::binary);
        quorvane::loggen::Write(out, options);
    }
    std::ifstream sized(path, std::ios::binary | std::ios::ate);
    const double megabytes = static_cast<double>(sized.tellg()) / 1e6;

    std::vector<QString> errors;
    Form1 form([&](const QString&) { return QString::fromStdString(path); },
               [&](const QString& message) { errors.push_back(message); });
    form.show();
    QApplication::processEvents();
    QAction* open = form.findChild<QAction*>(QStringLiteral("mnuOpen"));

    // Every pass of the event loop fires this timer: the gaps between its shots are how long
    // the window events waited.
    std::vector<Clock::time_point> served;
    QTimer probe;
    probe.setInterval(0);
    QObject::connect(&probe, &QTimer::timeout, [&] { served.push_back(Clock::now()); });

    std::int32_t bareTotal = 0;
    BareScan(path, bareTotal);  // warm the page cache
    std::vector<double> bare, command;
    double longestGap = 0;
    std::size_t yields = 0;
    for (int round = 0; round < rounds; ++round) {
        bare.push_back(Seconds(BareScan(path, bareTotal)));

        served.clear();
        probe.start();
        const auto start = Clock::now();
        open->trigger();
        const auto end = Clock::now();
        probe.stop();
        command.push_back(Seconds(end - start));
        yields += served.size();
        for (std::size_t i = 1; i < served.size(); ++i)
            longestGap = std::max(longestGap, Seconds(served[i] - served[i - 1]));
    }
    if (!errors.empty() || form.BandModeTally.Total != bareTotal) {
        std::fprintf(stderr, "the open command did not count like the bare scan\n");
        return 1;
    }
    std::sort(bare.begin(), bare.end());
    std::sort(command.begin(), command.end());
    const double bareMedian = bare[bare.size() / 2];
    const double commandMedian = command[command.size() / 2];
    std::printf("log: %llu contacts, %.1f MB; %d rounds\n",
                static_cast<unsigned long long>(contacts), megabytes, rounds);
    std::printf("bare band/mode scan:  median %.3f s (best %.3f s)\n", bareMedian, bare.front());
    std::printf("open command:         median %.3f s (best %.3f s)\n", commandMedian,
                command.front());
    std::printf("ratio (median):       %.3f (target <= 1.15)\n", commandMedian / bareMedian);
    std::printf("window events served: %zu times per open on average\n",
                yields / static_cast<std::size_t>(rounds));
    std::printf("longest gap between two yields: %.2f ms (target < 16 ms)\n", longestGap * 1e3);
    return 0;
}
