// Differential fuzz target: the fast scanner and its three tallies against the plain
// reference implementation, on arbitrary bytes, by either set of counting rules.
//
// Input layout: byte 0 chooses the rules and the block size. Bit 3 set counts by the ADIF
// field rules, clear by the exact rules. With bit 2 clear, the rest of the input is the log,
// read in the scanner's usual blocks. With bit 2 set, bytes 1 and 2 give a block size from 1 to
// 512 bytes, which every scan reads at a time, so that tags and CRLF are cut at every offset,
// and the rest is the log. With bit 1 set, the log is handed over in pieces of that size (or at
// once) as the web page hands it over; otherwise the scanner reads it from a file of this
// process under /dev/shm (or TMPDIR). By the ADIF field rules, bit 4 set counts the award
// tables too, and bit 5 set takes a date range from the next four bytes (see RangeOf), which
// every table then counts within.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "reference_adif.h"
#include "tallies.h"

namespace {

const std::string& LogPath() {
    static const std::string path = [] {
        const char* dir = std::getenv("TMPDIR");
        const std::string base =
            dir != nullptr ? dir : (::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp");
        return base + "/quorvane-fuzz-" + std::to_string(::getpid()) + ".adi";
    }();
    return path;
}

void WriteLog(const std::uint8_t* data, std::size_t size) {
    const int fd = ::open(LogPath().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) std::abort();
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written <= 0) std::abort();
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    ::close(fd);
}

// Two bytes as a bound: 0 (none) for a first byte of 0, else a day from 1925 to 2052, some
// that no calendar has (20230231), so that bounds fall before, among and after the log's days.
quorvane::Day BoundOf(std::uint8_t year, std::uint8_t rest) {
    if (year == 0) return 0;
    return (1925u + year % 128u) * 10000u + (1u + rest % 12u) * 100u + 1u + rest / 12u % 31u;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quorvane;
    if (size == 0) return 0;
    const std::uint8_t layout = data[0];
    std::size_t skip = 1;
    std::size_t blockSize = 0;
    if (layout & 4) {
        if (size < 3) return 0;
        blockSize = 1 + (data[1] | (std::size_t{data[2]} << 8)) % 512;
        skip = 3;
    }
    const bool adif = layout & 8;
    DateRange range;
    if (adif && layout & 32) {
        if (size < skip + 4) return 0;
        range = {BoundOf(data[skip], data[skip + 1]), BoundOf(data[skip + 2], data[skip + 3])};
        skip += 4;
    }
    data += skip;
    size -= skip;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto within = AdifFieldRulesWithin(range);
    const CountingRules& rules = !adif             ? ExactRules()
                                 : range.Bounded() ? *within
                                                   : AdifFieldRules();
    const TableChoice tables{.awards = adif && (layout & 16)};
    // An exception escaping here is a crash to libFuzzer, and so a finding.
    LogCounts t;
    if (layout & 2) {
        t = testing::FeedText(text, blockSize, rules, tables);
    } else {
        WriteLog(data, size);
        t = testing::CountFile(LogPath(), blockSize, rules, tables);
        if (LogLineScanner::HandleHeld()) std::abort();
        // Removed after every input: libFuzzer ends without running exit handlers.
        ::unlink(LogPath().c_str());
    }
    const std::string diff = testing::Differences(
        t, adif ? reference::CountAdif(text, range.from, range.to) : reference::CountText(text),
        !adif);
    if (diff.empty()) return 0;
    std::fprintf(stderr, "scanner/reference:%s\n", diff.c_str());
    std::abort();
}
