// Peak memory of quorvane-report on a log with no line break at all: it must not grow with the
// file or the line. Writes the file (sparse-free, 1 GiB by default), runs the report on it and
// reads the child's peak resident size.
//   memory_bench [--mib N] [--log PATH]
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <iostream>
#include <string>
#include <vector>

#include "bench_util.h"

namespace {

const std::string kUnit =
    "<CALL:5>DL1AB <QSO_DATE:8>20230115 <BAND:3>20M <MODE:2>CW <CONT:2>EU <DXCC:3>230 "
    "<QSL_SENT:1>Y <LOTW_QSL_RCVD:1>Y <EOR> ";

// One endless line: a contact's tags repeated, so that the line counts once as 20 m CW, and
// every contact once by the ADIF field rules, in every table, the award tables included (one
// entity, confirmed, in 2023). `lead` comes first.
bool WriteEndlessLine(const std::string& path, std::uint64_t bytes, const std::string& lead = {}) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return false;
    std::string block;
    while (block.size() < (1u << 20)) block += kUnit;
    bool ok = ::write(fd, lead.data(), lead.size()) == static_cast<ssize_t>(lead.size());
    std::uint64_t written = 0;
    while (ok && written < bytes) {
        const std::size_t n =
            static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), bytes - written));
        ok = ::write(fd, block.data(), n) == static_cast<ssize_t>(n);
        written += n;
    }
    return ::close(fd) == 0 && ok;
}

// The contacts of `bytes` of the endless line: the units whose "<EOR>" lies in it.
std::uint64_t UnitsIn(std::uint64_t bytes) {
    std::string block;
    while (block.size() < (1u << 20)) block += kUnit;
    const std::uint64_t perBlock = block.size() / kUnit.size(), rest = bytes % block.size();
    return bytes / block.size() * perBlock + (rest + 1) / kUnit.size();
}

struct Run {
    int status;
    std::string output;
    double seconds;
    double peakMib;
};

Run Report(const std::vector<std::string>& args) {
    int pipeFd[2];
    if (::pipe(pipeFd) != 0) std::exit(2);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(pipeFd[1], STDOUT_FILENO);
        ::close(pipeFd[0]);
        std::vector<char*> argv{const_cast<char*>("quorvane-report")};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(QUORVANE_REPORT_PATH, argv.data());
        _exit(127);
    }
    ::close(pipeFd[1]);
    Run run{};
    char buf[4096];
    for (ssize_t n; (n = ::read(pipeFd[0], buf, sizeof buf)) > 0;)
        run.output.append(buf, static_cast<std::size_t>(n));
    int status = 0;
    struct rusage usage {};
    ::wait4(child, &status, 0, &usage);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.peakMib = static_cast<double>(usage.ru_maxrss) / 1024.0;
    return run;
}

bool Holds(const std::string& output, std::initializer_list<std::string> parts) {
    for (const std::string& p : parts)
        if (output.find(p) == std::string::npos) return false;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::uint64_t mib = 1024;
    std::string path = bench::TempDir() + "/quorvane-endless-line.adi";
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--mib"))
            mib = std::strtoull(argv[i + 1], nullptr, 10);
        else if (!std::strcmp(argv[i], "--log"))
            path = argv[i + 1];
    }
    const std::uint64_t bytes = mib << 20;
    bool allGood = true;
    auto report = [&](const char* what, const Run& run, bool counted) {
        std::cout << what << ": exit " << run.status << ", " << run.seconds << " s, peak resident "
                  << run.peakMib
                  << " MiB (limit 32 MiB), counted right: " << (counted ? "yes" : "NO") << "\n";
        allGood = allGood && counted && run.status == 0 && run.peakMib < 32;
    };
    std::cout << "file: " << mib << " MiB without a line break\n";
    if (!WriteEndlessLine(path, bytes)) {
        std::cerr << "cannot write " << path << "\n";
        return 2;
    }
    Run run = Report({"--json", path});
    report("exact rules, one 20 m CW EU line", run,
           Holds(run.output,
                 {"\"C20\": 1,", "\"EU20\": 1,", "\"QslSent\": 1,", "\"OthersTotal\": 0}"}));
    const std::string contacts = std::to_string(UnitsIn(bytes));
    run = Report({"--rules", "adif", "--json", path});
    report(("ADIF field rules, every table, " + contacts + " contacts").c_str(), run,
           Holds(run.output, {"\"C20\": " + contacts + ",", "\"EU20\": " + contacts + ",",
                              "\"QslSent\": " + contacts + ",", "\"confirmed\": {\"Mixed\": 1,",
                              "\"2023\": {\"contacts\": " + contacts + ","}));
    run = Report({"--rules", "adif", "--json", "--from", "2023-01-15", "--to", "2023-01-15", path});
    report("ADIF field rules, every table, within a range of that day", run,
           Holds(run.output, {"\"C20\": " + contacts + ",", "\"leftOut\": 0}",
                              "\"2023\": {\"contacts\": " + contacts + ","}));
    // A QSO_DATE of 64 KiB (spaces before the day) and a DXCC that claims 10^15 bytes, which
    // swallows the rest of the file: one record before it.
    const std::string lead = "<BAND:3>20m<MODE:2>CW<DXCC:3>230<QSO_DATE:65544>" +
                             std::string(65536, ' ') + "20230115<EOR><DXCC:1000000000000000>";
    if (!WriteEndlessLine(path, bytes, lead)) return 2;
    run = Report({"--rules", "adif", "--json", path});
    report("ADIF field rules, a QSO_DATE of 64 KiB, a DXCC of 10^15 bytes", run,
           Holds(run.output, {"\"C20\": 1,", "\"EU20\": 0,", "\"worked\": {\"Mixed\": 1,",
                              "\"2023\": {\"contacts\": 1,"}));
    ::unlink(path.c_str());
    return allGood ? 0 : 1;
}
