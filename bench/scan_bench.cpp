// Times the band/mode, continent and QSL scans of a generated log against grep on the same
// file, in one run, and prints the ratios; also quorvane-report as a whole process, and, given
// --before, the same processes of another build's quorvane-report (an earlier commit's) side
// by side. --processes times the whole processes alone.
//   scan_bench [--contacts N] [--runs N] [--style lines|fields|typed|awards|dense] [--log PATH]
//              [--before PATH/TO/quorvane-report] [--processes]
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <functional>
#include <iomanip>
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
    std::string path, style = "lines", before;
    bool processesOnly = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--processes")) {
            processesOnly = true;
            continue;
        }
        if (i + 1 == argc) break;
        if (!std::strcmp(argv[i], "--before"))
            before = argv[++i];
        else if (!std::strcmp(argv[i], "--contacts"))
            contacts = std::strtoull(argv[++i], nullptr, 10);
        else if (!std::strcmp(argv[i], "--runs"))
            runs = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--style"))
            style = argv[++i];
        else if (!std::strcmp(argv[i], "--log"))
            path = argv[++i];
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
    const std::string quoted = " '" + path + "'";
    const std::size_t i_tGrep = add(bench::Process("grep -c -F '<BAND:'" + quoted));
    // quorvane-report as a whole process, start-up and output included: the band/mode table
    // by either rules, and every table by the ADIF field rules (the award tables and the
    // entity list too, where the build has them).
    struct Report {
        const char* what;
        std::string args;
        std::size_t now = 0, before = 0;
    };
    std::vector<Report> reports{
        {"--table band-mode", " --table band-mode"},
        {"--rules adif --table band-mode", " --rules adif --table band-mode"},
        {"--rules adif --json (every table)", " --rules adif --json"}};
    for (Report& r : reports) {
        r.now = add(bench::Process(QUORVANE_REPORT_PATH + r.args + quoted));
        if (!before.empty()) r.before = add(bench::Process(before + r.args + quoted));
    }
    // The best wall-clock time of each, and of the processes also their best processor time
    // (their shell's included), which a machine busy with other work disturbs less.
    std::vector<double> cpu;
    const auto measure = [&work, &cpu, runs] {
        std::vector<double> best(work.size(), 1e300);
        cpu.assign(work.size(), 1e300);
        for (int round = 0; round < runs; ++round) {
            for (std::size_t i = 0; i < work.size(); ++i) {
                const double cpuBefore = bench::ChildrenCpuSeconds();
                best[i] = std::min(best[i], bench::Seconds(work[i]));
                cpu[i] = std::min(cpu[i], bench::ChildrenCpuSeconds() - cpuBefore);
            }
        }
        return best;
    };
    const auto printProcesses = [&](const std::vector<double>& best) {
        std::cout.setf(std::ios::fixed);
        std::cout.precision(3);
        std::cout << "log: " << path << " (" << contacts << " contacts, " << megabytes << " MB, "
                  << style << ")\nbest of " << runs << " rounds, page cache warm\n"
                  << "grep -c -F '<BAND:' | cat                            " << best[i_tGrep]
                  << " s, processor " << cpu[i_tGrep] << " s\n";
        for (const Report& r : reports) {
            std::cout << "quorvane-report " << std::left << std::setw(38) << r.what
                      << best[r.now] / best[i_tGrep] << " x grep";
            if (!before.empty()) std::cout << "   before " << best[r.before] / best[i_tGrep];
            std::cout << "   processor time " << cpu[r.now] / cpu[i_tGrep] << " x";
            if (!before.empty()) std::cout << ", before " << cpu[r.before] / cpu[i_tGrep];
            std::cout << "\n";
        }
    };
    if (processesOnly) {
        printProcesses(measure());
        return 0;
    }

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

    const std::vector<double> best = measure();
    const double tGrep = best[i_tGrep];
    const double tBand = best[i_tBand];
    const double tHook = best[i_tHook];
    const double tContinent = best[i_tContinent];
    const double tQsl = best[i_tQsl];
    const double tAdifBand = best[i_tAdifBand];
    const double tAdifContinent = best[i_tAdifContinent];
    const double tAdifQsl = best[i_tAdifQsl];

    printProcesses(best);
    std::cout << "band/mode scan             " << tBand << " s   ratio to grep " << tBand / tGrep
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
