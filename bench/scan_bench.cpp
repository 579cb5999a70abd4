// Times the band/mode, continent and QSL scans of a generated log against grep on the same
// file, in one run, and prints the ratios; also quorvane-report as a whole process.
//   scan_bench [--contacts N] [--runs N] [--style lines|fields|typed] [--log PATH]
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "bench_util.h"
#include "loggen.h"
#include "quorvane/band_mode_tally.h"
#include "quorvane/continent_band_tally.h"
#include "quorvane/counting_rules.h"
#include "quorvane/qsl_tally.h"

using namespace quorvane;

namespace {

void ReadThrough(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    static char buf[1 << 20];
    while (in.read(buf, sizeof buf) || in.gcount() > 0) {
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::uint64_t contacts = 1'000'000;
    int runs = 5;
    std::string path, style = "lines";
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--contacts"))
            contacts = std::strtoull(argv[i + 1], nullptr, 10);
        else if (!std::strcmp(argv[i], "--runs"))
            runs = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--style"))
            style = argv[i + 1];
        else if (!std::strcmp(argv[i], "--log"))
            path = argv[i + 1];
    }
    loggen::Options options;
    if (!loggen::ParseStyle(style, options.style)) {
        std::cerr << "scan_bench: unknown style '" << style << "'\n";
        return 1;
    }
    if (path.empty()) {
        // Generated once and kept: the same seed always writes the same log.
        const std::string kind = style == "lines" ? "" : "-" + style;
        path = bench::TempDir() + "/quorvane-bench-" + std::to_string(contacts) + kind + ".adi";
    }
    if (::access(path.c_str(), R_OK) != 0) {
        std::ofstream out(path, std::ios::binary);
        options.contacts = contacts;
        options.seed = 42;
        loggen::Write(out, options);
    }
    ReadThrough(path);  // into the page cache, as for a log the user just saved
    std::ifstream size(path, std::ios::binary | std::ios::ate);
    const double megabytes = static_cast<double>(size.tellg()) / 1e6;

    // Every measurement once per round, round after round, each keeping its best time: so that
    // a busy spell of the machine touches all of them alike and the ratios stay fair.
    std::vector<std::function<void()>> work;
    const auto add = [&work](std::function<void()> f) {
        work.push_back(std::move(f));
        return work.size() - 1;
    };
    // Through a pipe: GNU grep stops at the first match when its output is /dev/null.
    const auto process = [](const std::string& command) {
        return [command] {
            FILE* p = ::popen(command.c_str(), "r");
            char sink[4096];
            if (!p) std::cerr << command << " failed\n";
            while (p && std::fread(sink, 1, sizeof sink, p) > 0) {
            }
            if (p) ::pclose(p);
        };
    };
    const std::size_t i_tGrep = add(process("grep -c -F '<BAND:' '" + path + "'"));
    // quorvane-report as a whole process, start-up and output included.
    const std::string report = std::string(QUORVANE_REPORT_PATH) + " --table band-mode ";
    const std::size_t i_tReportExact = add(process(report + "'" + path + "'"));
    const std::size_t i_tReportAdif = add(process(report + "--rules adif '" + path + "'"));
    const std::size_t i_tReportAllAdif =
        add(process(std::string(QUORVANE_REPORT_PATH) + " --rules adif --json '" + path + "'"));

    BandModeTally bandMode;
    const std::size_t i_tBand = add([&] {
        bandMode.ClearCounters();
        LogLineScanner log;
        log.Open(path);
        bandMode.Scan(log);
        log.Close();
        bandMode.FormTotals();
    });

    // The windows' hook: look at the clock once per block and yield when 10 ms have passed.
    std::uint64_t hookCalls = 0, yields = 0;
    const std::size_t i_tHook = add([&] {
        bandMode.ClearCounters();
        auto next = std::chrono::steady_clock::now() + std::chrono::milliseconds(10);
        LogLineScanner log;
        log.Open(path);
        bandMode.Scan(log, [&] {
            ++hookCalls;
            const auto now = std::chrono::steady_clock::now();
            if (now >= next) {
                ++yields;
                next = now + std::chrono::milliseconds(10);
            }
            return true;
        });
        log.Close();
        bandMode.FormTotals();
    });

    ContinentBandTally continent;
    const std::size_t i_tContinent = add([&] { continent.ScanContinentBands(path); });

    QslTally qsl;
    const std::size_t i_tQsl = add([&] { qsl.Count(path); });

    // The ADIF field rules on the same log.
    const CountingRules& adif = AdifFieldRules();
    BandModeTally adifBandMode;
    const std::size_t i_tAdifBand = add([&] {
        adifBandMode.ClearCounters();
        LogLineScanner log;
        log.Open(path);
        adif.ScanBandMode(adifBandMode, log, {});
        log.Close();
        adifBandMode.FormTotals();
    });
    ContinentBandTally adifContinent;
    const std::size_t i_tAdifContinent =
        add([&] { adif.ScanContinentBands(adifContinent, path, {}); });
    QslTally adifQsl;
    const std::size_t i_tAdifQsl = add([&] { adif.CountQsl(adifQsl, path, {}); });

    std::vector<double> best(work.size(), 1e300);
    for (int r = 0; r < runs; ++r)
        for (std::size_t i = 0; i < work.size(); ++i)
            best[i] = std::min(best[i], bench::Seconds(work[i]));
    const double tGrep = best[i_tGrep];
    const double tReportExact = best[i_tReportExact];
    const double tReportAdif = best[i_tReportAdif];
    const double tReportAllAdif = best[i_tReportAllAdif];
    const double tBand = best[i_tBand];
    const double tHook = best[i_tHook];
    const double tContinent = best[i_tContinent];
    const double tQsl = best[i_tQsl];
    const double tAdifBand = best[i_tAdifBand];
    const double tAdifContinent = best[i_tAdifContinent];
    const double tAdifQsl = best[i_tAdifQsl];

    std::cout.setf(std::ios::fixed);
    std::cout.precision(3);
    std::cout << "log: " << path << " (" << contacts << " contacts, " << megabytes << " MB)\n"
              << "best of " << runs << " runs, page cache warm\n"
              << "grep -c -F '<BAND:'        " << tGrep << " s\n"
              << "quorvane-report --table band-mode                " << tReportExact
              << " s   ratio to grep " << tReportExact / tGrep << "\n"
              << "quorvane-report --table band-mode --rules adif   " << tReportAdif
              << " s   ratio to grep " << tReportAdif / tGrep << "\n"
              << "quorvane-report --rules adif --json (all tables) " << tReportAllAdif
              << " s   ratio to grep " << tReportAllAdif / tGrep << "\n"
              << "band/mode scan             " << tBand << " s   ratio to grep " << tBand / tGrep
              << "   (" << megabytes / tBand << " MB/s)\n"
              << "band/mode scan with hook   " << tHook << " s   ratio to bare scan "
              << tHook / tBand << "\n"
              << "continent scan             " << tContinent << " s   ratio to grep "
              << tContinent / tGrep << "\n"
              << "QSL tally (six passes)     " << tQsl << " s   ratio to grep " << tQsl / tGrep
              << "\n"
              << "ADIF rules band/mode scan  " << tAdifBand << " s   ratio to grep "
              << tAdifBand / tGrep << "\n"
              << "ADIF rules continent scan  " << tAdifContinent << " s   ratio to grep "
              << tAdifContinent / tGrep << "\n"
              << "ADIF rules QSL tally       " << tAdifQsl << " s   ratio to grep "
              << tAdifQsl / tGrep << "\n"
              << "ADIF rules check: Total " << adifBandMode.Total << ", OthersTotal "
              << adifBandMode.OthersTotal << ", EU20 " << adifContinent.EU20 << ", QslSent "
              << adifQsl.QslSent << "\n"
              << "check: Total " << bandMode.Total << ", OthersTotal " << bandMode.OthersTotal
              << ", EU20 " << continent.EU20 << ", QslSent " << qsl.QslSent << "\n";
    return 0;
}
