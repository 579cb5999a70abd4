// Differential fuzz target: the fast scanner and its three tallies against the plain
// reference implementation, on arbitrary bytes, by either set of counting rules.
//
// Input layout: byte 0 chooses the rules and the placement. Bit 3 set counts by the ADIF
// field rules, clear by the exact rules. With bits 0 and 2 clear, the rest of the input
// is the whole log. With bit 2 set (and bit 0 clear), bytes 1 and 2 give a block size from 1
// to 512 bytes, which every scan reads at a time, and the rest is the log. With bit 0 set, bytes 1 and 2 give a cut c (0 to 1023) and the log is a
// tag-free first line that ends c bytes before the end of the scanner's first block
// (terminated by CR, or by LF when bit 1 is set), followed by the rest of the input: so the
// input straddles the block end at every possible cut. The scanner reads files, so the log
// is written to a file of this process under /dev/shm (or TMPDIR).
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "quorvane/band_mode_tally.h"
#include "quorvane/continent_band_tally.h"
#include "quorvane/counting_rules.h"
#include "quorvane/errors.h"
#include "quorvane/qsl_tally.h"
#include "reference_adif.h"
#include "reference_tally.h"

namespace {

using namespace quorvane;

const std::string& LogPath() {
    static const std::string path = [] {
        const char* dir = std::getenv("TMPDIR");
        std::string base =
            dir != nullptr ? dir : (::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp");
        std::string p = base + "/quorvane-fuzz-" + std::to_string(::getpid()) + ".adi";
        return p;
    }();
    return path;
}

void WriteLog(const std::string& lead, const std::uint8_t* data, std::size_t size) {
    const int fd = ::open(LogPath().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) std::abort();
    auto put = [fd](const void* p, std::size_t n) {
        const char* c = static_cast<const char*>(p);
        while (n > 0) {
            const ssize_t w = ::write(fd, c, n);
            if (w <= 0) std::abort();
            c += w;
            n -= static_cast<std::size_t>(w);
        }
    };
    put(lead.data(), lead.size());
    put(data, size);
    ::close(fd);
}

int differences = 0;

void Check(const std::string& name, std::int64_t got, std::int64_t want) {
    if (got == want) return;
    ++differences;
    std::fprintf(stderr, "difference in %s: scanner %lld, reference %lld\n", name.c_str(),
                 static_cast<long long>(got), static_cast<long long>(want));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t layout = data[0];
    ++data, --size;
    std::string lead, shortLead;
    std::size_t blockSize = 0;
    if (!(layout & 1) && (layout & 4)) {
        if (size < 2) return 0;
        blockSize = 1 + (data[0] | (std::size_t{data[1]} << 8)) % 512;
        data += 2, size -= 2;
    } else if (layout & 1) {
        if (size < 2) return 0;
        const std::size_t cut = (data[0] | (std::size_t{data[1]} << 8)) % 1024;
        data += 2, size -= 2;
        const char end = (layout & 2) ? '\n' : '\r';
        lead.assign(LogLineScanner::kBlockSize - cut - 1, 'f');
        lead += end;
        shortLead = std::string("f") + end;  // the same lines as far as counting goes
    }
    WriteLog(lead, data, size);
    const bool adif = layout & 8;
    const CountingRules& rules = adif ? AdifFieldRules() : ExactRules();

    BandModeTally bandMode;
    ContinentBandTally continent;
    QslTally qsl;
    try {
        ScanHooks hooks;
        hooks.blockSize = blockSize;
        LogLineScanner log(blockSize);
        log.Open(LogPath());
        if (!rules.ScanBandMode(bandMode, log, {})) std::abort();
        log.Close();
        bandMode.FormTotals();
        if (!rules.ScanContinentBands(continent, LogPath(), hooks)) std::abort();
        for (int c = 1; c <= 7; ++c) continent.ContinentTotal(c);
        rules.CountQsl(qsl, LogPath(), hooks);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "unexpected error: %s\n", e.what());
        std::abort();
    }
    if (LogLineScanner::HandleHeld()) std::abort();
    // Removed after every input: libFuzzer ends without running exit handlers.
    ::unlink(LogPath().c_str());

    const std::string text = shortLead + std::string(reinterpret_cast<const char*>(data), size);
    const reference::Counts ref = adif ? reference::CountAdif(text) : reference::CountText(text);

    const auto& bm = reference::BandModeCounterNames();
    for (std::size_t m = 0; m < kModeClassCount; ++m)
        for (std::size_t b = 0; b < kBandCount; ++b)
            Check(bm[m * kBandCount + b], bandMode.Counter(m, b),
                  ref.bandMode.at(bm[m * kBandCount + b]));
    Check("OthersTotal", bandMode.OthersTotal, ref.bandMode.at("OthersTotal"));
    for (std::size_t m = 0; m < kModeClassCount; ++m)
        Check(BandModeTally::ClassTotalName(m), bandMode.*BandModeTally::kClassTotals[m],
              ref.BandModeSum(BandModeTally::ClassTotalName(m)));
    for (std::size_t b = 0; b < kBandCount; ++b)
        Check(BandModeTally::BandTotalName(b), bandMode.*BandModeTally::kBandTotals[b],
              ref.BandModeSum(BandModeTally::BandTotalName(b)));
    Check("Total", bandMode.Total, ref.BandModeSum("Total"));

    const auto& cn = reference::ContinentCounterNames();
    for (std::size_t c = 0; c < kContinentCount; ++c) {
        for (std::size_t b = 0; b < kBandCount; ++b)
            Check(cn[c * kBandCount + b], continent.Counter(c, b),
                  ref.continent.at(cn[c * kBandCount + b]));
        Check(ContinentBandTally::TotalName(c), continent.*ContinentBandTally::kTotals[c],
              ref.ContinentSum(ContinentBandTally::TotalName(c)));
    }
    const auto& qn = reference::QslCounterNames();
    for (std::size_t f = 0; f < kQslFieldCount; ++f)
        Check(qn[f], qsl.Counter(f), ref.qsl.at(qn[f]));

    // The last line; when it is the tag-free lead line, it is the long one.
    const std::string& last =
        !lead.empty() && ref.lines == 1 ? lead.substr(0, lead.size() - 1) : ref.lastLine;
    if (!adif && bandMode.mystr != last.substr(0, LogLineScanner::kLastLineLimit)) {
        ++differences;
        std::fprintf(stderr, "difference in mystr: scanner %zu bytes, reference %zu bytes\n",
                     bandMode.mystr.size(), std::min(last.size(), LogLineScanner::kLastLineLimit));
    }
    if (differences != 0) std::abort();
    return 0;
}
