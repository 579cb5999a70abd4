// Small helpers shared by the benchmarks: timing, temporary logs, best-of runs.
#pragma once

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

namespace bench {

// The processor time, user and system, of the children that this process has waited for.
inline double ChildrenCpuSeconds() {
    struct rusage usage {};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

inline double Seconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The best of `runs` timings: the least disturbed by the rest of the machine.
inline double Best(int runs, const std::function<void()>& work) {
    double best = 1e300;
    for (int i = 0; i < runs; ++i) best = std::min(best, Seconds(work));
    return best;
}

// Runs a shell command as a whole process, its standard output read through a pipe and
// dropped: GNU grep stops at the first match when its output is /dev/null.
inline std::function<void()> Process(const std::string& command) {
    return [command] {
        FILE* p = ::popen(command.c_str(), "r");
        char sink[4096];
        if (!p) std::fprintf(stderr, "%s failed\n", command.c_str());
        while (p && std::fread(sink, 1, sizeof sink, p) > 0) {
        }
        if (p) ::pclose(p);
    };
}

inline std::string TempDir() {
    const char* dir = std::getenv("TMPDIR");
    return dir && *dir ? dir : "/tmp";
}

}  // namespace bench
