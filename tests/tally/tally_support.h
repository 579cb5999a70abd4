// Helpers shared by the tally tests: temporary log files, counting a file with all three
// tallies, and comparing the result with the reference implementation.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "quorvane/band_mode_tally.h"
#include "quorvane/continent_band_tally.h"
#include "quorvane/qsl_tally.h"
#include "reference_tally.h"

namespace quorvane::testing {

// A file of its own under the temporary directory, removed again when the object goes.
class TempFile {
  public:
    explicit TempFile(std::string_view content = {});
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const std::string& path() const { return path_; }
    void Write(std::string_view content) const;  // replaces the whole content
    void Append(std::string_view content) const;

  private:
    std::string path_;
};

// A directory of its own, removed with everything in it.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

struct Tallies {
    BandModeTally bandMode;
    ContinentBandTally continent;
    QslTally qsl;
};

// Counts the file as the program does: the band/mode scan and its totals, the continent scan
// and its seven totals, the QSL tally; each reading `blockSize` bytes at a time (0: as usual).
Tallies CountFile(const std::string& path, std::size_t blockSize = 0);
// The same for a text written to a temporary file.
Tallies CountText(std::string_view text);

// Every counter of the three tallies, the sums and the last line against the reference.
::testing::AssertionResult SameAsReference(const Tallies& tallies,
                                           const reference::Counts& expected);

// Counts `text` with both implementations and fails the current test if they differ.
Tallies CountChecked(std::string_view text);

}  // namespace quorvane::testing
