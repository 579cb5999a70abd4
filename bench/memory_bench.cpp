// Peak memory of quorvane-report on a log with no line break at all: it must not grow with the
// file or the line. Writes the file (sparse-free, 1 GiB by default), runs the report on it and
// reads the child's peak resident size.
//   memory_bench [--mib N] [--log PATH]
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "bench_util.h"

namespace {

// One endless line: a contact's tags repeated, so that the line counts once as 20 m CW.
bool WriteEndlessLine(const std::string& path, std::uint64_t bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return false;
    const std::string unit = "<CALL:5>DL1AB <BAND:3>20M <MODE:2>CW <CONT:2>EU <QSL_SENT:1>Y <EOR> ";
    std::string block;
    while (block.size() < (1u << 20)) block += unit;
    std::uint64_t written = 0;
    while (written < bytes) {
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), bytes - written));
        if (::write(fd, block.data(), n) != static_cast<ssize_t>(n)) {
            ::close(fd);
            return false;
        }
        written += n;
    }
    return ::close(fd) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::uint64_t mib = 1024;
    std::string path = bench::TempDir() + "/quorvane-endless-line.adi";
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--mib")) mib = std::strtoull(argv[i + 1], nullptr, 10);
        else if (!std::strcmp(argv[i], "--log")) path = argv[i + 1];
    }
    if (!WriteEndlessLine(path, mib << 20)) {
        std::cerr << "cannot write " << path << "\n";
        return 2;
    }
    int pipeFd[2];
    if (::pipe(pipeFd) != 0) return 2;
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(pipeFd[1], STDOUT_FILENO);
        ::close(pipeFd[0]);
        ::execl(QUORVANE_REPORT_PATH, "quorvane-report", "--json", path.c_str(), nullptr);
        _exit(127);
    }
    ::close(pipeFd[1]);
    std::string output;
    char buf[4096];
    for (ssize_t n; (n = ::read(pipeFd[0], buf, sizeof buf)) > 0;) output.append(buf, static_cast<std::size_t>(n));
    int status = 0;
    struct rusage usage {};
    ::wait4(child, &status, 0, &usage);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ::unlink(path.c_str());

    const bool counted = output.find("\"C20\": 1,") != std::string::npos &&
                         output.find("\"EU20\": 1,") != std::string::npos &&
                         output.find("\"QslSent\": 1,") != std::string::npos &&
                         output.find("\"OthersTotal\": 0}") != std::string::npos;
    std::cout << "file: " << mib << " MiB without a line break\n"
              << "quorvane-report exit " << (WIFEXITED(status) ? WEXITSTATUS(status) : -1) << ", "
              << seconds << " s, peak resident " << usage.ru_maxrss / 1024.0 << " MiB (limit 32 MiB)\n"
              << "counted as one 20 m CW EU line: " << (counted ? "yes" : "NO") << "\n";
    return counted && usage.ru_maxrss < 32 * 1024 ? 0 : 1;
}
