// Helpers shared by the tally tests: temporary files, counting a file with all three tallies,
// and comparing the result with the reference implementation.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "quorvane/band_mode_tally.h"
#include "quorvane/continent_band_tally.h"
#include "quorvane/qsl_tally.h"
#include "reference_tally.h"

namespace quorvane::testing {

// A file "log.adi" in a directory of its own under /dev/shm or TMPDIR, removed with
// everything in it when the object goes.
class TempFile {
  public:
    explicit TempFile(std::string_view content = {});
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const std::string& dir() const { return dir_; }
    const std::string& path() const { return path_; }
    void Write(std::string_view content, bool append = false) const;

  private:
    std::string dir_, path_;
};

struct Tallies {
    BandModeTally bandMode;
    ContinentBandTally continent;
    QslTally qsl;
};

// Counts the file as the program does: the band/mode scan and its totals, the continent scan
// and its seven totals, the QSL tally; each reading `blockSize` bytes at a time (0: as usual).
Tallies CountFile(const std::string& path, std::size_t blockSize = 0);

// Every counter of the three tallies, the sums and the last line against the reference.
::testing::AssertionResult SameAsReference(const Tallies& tallies,
                                           const reference::Counts& expected);

// The counters that are not zero, in the program's order: "C20 OthersTotal EU20 QslSent*2".
std::string Nonzero(const Tallies& tallies);

// Counts `text` with both implementations, fails the current test if they differ.
Tallies CountChecked(std::string_view text, std::size_t blockSize = 0);

}  // namespace quorvane::testing
