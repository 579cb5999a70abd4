#include "tally_support.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace quorvane::testing {

namespace {

// The tests write hundreds of logs of a block or more: in memory (/dev/shm) they cost little,
// on a disk they would cost seconds. TMPDIR, when set, wins.
std::string Template() {
    std::filesystem::path dir = "/dev/shm";
    std::error_code ignored;
    if (std::getenv("TMPDIR") != nullptr || ::access(dir.c_str(), W_OK) != 0 ||
        !std::filesystem::is_directory(dir, ignored))
        dir = std::filesystem::temp_directory_path();
    return (dir / "quorvane-test-XXXXXX").string();
}

void WriteFile(const std::string& path, std::string_view content, std::ios::openmode mode) {
    std::ofstream out(path, std::ios::binary | mode);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace

TempFile::TempFile(std::string_view content) {
    std::string name = Template();
    std::vector<char> buffer(name.begin(), name.end());
    buffer.push_back('\0');
    const int fd = ::mkstemp(buffer.data());
    if (fd < 0) throw std::runtime_error("mkstemp failed");
    ::close(fd);
    path_ = buffer.data();
    Write(content);
}

TempFile::~TempFile() { ::unlink(path_.c_str()); }

void TempFile::Write(std::string_view content) const { WriteFile(path_, content, std::ios::trunc); }

void TempFile::Append(std::string_view content) const { WriteFile(path_, content, std::ios::app); }

TempDir::TempDir() {
    std::string name = Template();
    std::vector<char> buffer(name.begin(), name.end());
    buffer.push_back('\0');
    if (::mkdtemp(buffer.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = buffer.data();
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
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

Tallies CountText(std::string_view text) {
    TempFile file(text);
    return CountFile(file.path());
}

::testing::AssertionResult SameAsReference(const Tallies& t, const reference::Counts& ref) {
    std::ostringstream diff;
    int differences = 0;
    auto check = [&](const std::string& name, std::int64_t got, std::int64_t want) {
        if (got == want) return;
        if (++differences <= 12)
            diff << "\n  " << name << ": scanner " << got << ", reference " << want;
    };

    const auto& bmNames = reference::BandModeCounterNames();
    for (std::size_t m = 0; m < kModeClassCount; ++m) {
        for (std::size_t b = 0; b < kBandCount; ++b) {
            const std::string& name = bmNames[m * kBandCount + b];
            if (BandModeTally::CounterName(m, b) != name) {
                ++differences;
                diff << "\n  counter (" << m << ", " << b << ") is named "
                     << BandModeTally::CounterName(m, b) << ", expected " << name;
            }
            check(name, t.bandMode.Counter(m, b), ref.bandMode.at(name));
        }
    }
    check("OthersTotal", t.bandMode.OthersTotal, ref.bandMode.at("OthersTotal"));
    for (std::size_t m = 0; m < kModeClassCount; ++m) {
        const std::string name = BandModeTally::ClassTotalName(m);
        check(name, t.bandMode.*BandModeTally::kClassTotals[m], ref.BandModeSum(name));
    }
    for (std::size_t b = 0; b < kBandCount; ++b) {
        const std::string name = BandModeTally::BandTotalName(b);
        check(name, t.bandMode.*BandModeTally::kBandTotals[b], ref.BandModeSum(name));
    }
    check("Total", t.bandMode.Total, ref.BandModeSum("Total"));

    const auto& cNames = reference::ContinentCounterNames();
    for (std::size_t c = 0; c < kContinentCount; ++c) {
        for (std::size_t b = 0; b < kBandCount; ++b) {
            const std::string& name = cNames[c * kBandCount + b];
            if (ContinentBandTally::CounterName(c, b) != name) {
                ++differences;
                diff << "\n  continent counter (" << c << ", " << b << ") is named "
                     << ContinentBandTally::CounterName(c, b) << ", expected " << name;
            }
            check(name, t.continent.Counter(c, b), ref.continent.at(name));
        }
        const std::string total = ContinentBandTally::TotalName(c);
        check(total, t.continent.*ContinentBandTally::kTotals[c], ref.ContinentSum(total));
    }

    const auto& qNames = reference::QslCounterNames();
    for (std::size_t f = 0; f < kQslFieldCount; ++f)
        check(qNames[f], t.qsl.Counter(f), ref.qsl.at(qNames[f]));

    const std::string expectedLast = ref.lastLine.substr(0, LogLineScanner::kLastLineLimit);
    if (t.bandMode.mystr != expectedLast) {
        ++differences;
        diff << "\n  mystr: scanner holds " << t.bandMode.mystr.size() << " bytes, reference "
             << expectedLast.size() << " bytes"
             << (t.bandMode.mystr.size() < 80 && expectedLast.size() < 80
                     ? " ('" + t.bandMode.mystr + "' vs '" + expectedLast + "')"
                     : std::string());
    }
    if (differences == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << differences << " difference(s):" << diff.str();
}

Tallies CountChecked(std::string_view text) {
    TempFile file(text);
    Tallies t = CountFile(file.path());
    EXPECT_TRUE(SameAsReference(t, reference::CountText(text)));
    return t;
}

}  // namespace quorvane::testing
