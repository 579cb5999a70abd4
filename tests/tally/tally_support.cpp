#include "tally_support.h"

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <utility>
#include <vector>

namespace quorvane::testing {

TempFile::TempFile(std::string_view content) {
    // Hundreds of logs of a block or more: in memory they cost little, on a disk seconds.
    namespace fs = std::filesystem;
    const bool shm = std::getenv("TMPDIR") == nullptr && ::access("/dev/shm", W_OK) == 0;
    dir_ = ((shm ? fs::path("/dev/shm") : fs::temp_directory_path()) / "quorvane-XXXXXX").string();
    if (::mkdtemp(dir_.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = dir_ + "/log.adi";
    Write(content);
}

TempFile::~TempFile() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

void TempFile::Write(std::string_view content, bool append) const {
    std::ofstream out(path_, std::ios::binary | (append ? std::ios::app : std::ios::trunc));
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!out) throw std::runtime_error("cannot write " + path_);
}

Tallies CountFile(const std::string& path, std::size_t blockSize) {
    Tallies t;
    LogLineScanner log(blockSize);
    log.Open(path);
    t.bandMode.Scan(log);
    log.Close();
    t.bandMode.FormTotals();
    ScanHooks hooks;
    hooks.blockSize = blockSize;
    t.continent.ScanContinentBands(path, hooks);
    for (int c = 1; c <= 7; ++c) t.continent.ContinentTotal(c);
    t.qsl.Count(path, hooks);
    return t;
}

namespace {

// Every counter and sum of the three tallies by name, in the program's order.
using Named = std::vector<std::pair<std::string, std::int64_t>>;

Named Flat(const Tallies& t) {
    Named out;
    for (std::size_t m = 0; m < kModeClassCount; ++m)
        for (std::size_t b = 0; b < kBandCount; ++b)
            out.emplace_back(BandModeTally::CounterName(m, b), t.bandMode.Counter(m, b));
    out.emplace_back("OthersTotal", t.bandMode.OthersTotal);
    for (std::size_t m = 0; m < kModeClassCount; ++m)
        out.emplace_back(BandModeTally::ClassTotalName(m),
                         t.bandMode.*BandModeTally::kClassTotals[m]);
    for (std::size_t b = 0; b < kBandCount; ++b)
        out.emplace_back(BandModeTally::BandTotalName(b),
                         t.bandMode.*BandModeTally::kBandTotals[b]);
    out.emplace_back("Total", t.bandMode.Total);
    for (std::size_t c = 0; c < kContinentCount; ++c)
        for (std::size_t b = 0; b < kBandCount; ++b)
            out.emplace_back(ContinentBandTally::CounterName(c, b), t.continent.Counter(c, b));
    for (std::size_t c = 0; c < kContinentCount; ++c)
        out.emplace_back(ContinentBandTally::TotalName(c),
                         t.continent.*ContinentBandTally::kTotals[c]);
    for (std::size_t f = 0; f < kQslFieldCount; ++f)
        out.emplace_back(reference::QslCounterNames()[f], t.qsl.Counter(f));
    return out;
}

}  // namespace

::testing::AssertionResult SameAsReference(const Tallies& t, const reference::Counts& ref) {
    std::ostringstream diff;
    int differences = 0;
    for (const auto& [name, got] : Flat(t)) {
        std::int64_t want = -1;
        for (const auto* counters : {&ref.bandMode, &ref.continent, &ref.qsl})
            if (counters->count(name) != 0) want = counters->at(name);
        if (want < 0)  // a sum: "AFtotal" or "Ctotal", "Total20", "Total"
            want = name.ends_with("total") && name.size() == 7 ? ref.ContinentSum(name)
                                                               : ref.BandModeSum(name);
        if (got != want && ++differences <= 12)
            diff << "\n  " << name << ": scanner " << got << ", reference " << want;
    }
    const std::string last = ref.lastLine.substr(0, LogLineScanner::kLastLineLimit);
    if (t.bandMode.mystr != last && ++differences)
        diff << "\n  mystr: " << t.bandMode.mystr.size() << " bytes, reference " << last.size();
    if (differences == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << differences << " difference(s):" << diff.str();
}

std::string Nonzero(const Tallies& t) {
    std::string out;
    for (const auto& [name, n] : Flat(t)) {
        if (n == 0 || (name.find("otal") != std::string::npos && name != "OthersTotal")) continue;
        out.append(out.empty() ? "" : " ").append(name);
        if (n > 1) out.append("*").append(std::to_string(n));
    }
    return out;
}

Tallies CountChecked(std::string_view text, std::size_t blockSize) {
    TempFile file(text);
    Tallies t = CountFile(file.path(), blockSize);
    EXPECT_TRUE(SameAsReference(t, reference::CountText(text)));
    return t;
}

}  // namespace quorvane::testing
