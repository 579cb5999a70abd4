// What the tally and report tests share: a log in a directory of its own, and a text counted
// by the tallies and by the reference implementation.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "tallies.h"

namespace quorvane::testing {

struct TempFile {
    explicit TempFile(std::string_view content = {})
        : dir((std::filesystem::temp_directory_path() / "quorvane-XXXXXX").string()) {
        if (::mkdtemp(dir.data()) == nullptr) throw std::runtime_error("mkdtemp");
        std::ofstream(path = dir + "/log.adi", std::ios::binary) << content;
    }
    ~TempFile() { std::filesystem::remove_all(dir); }
    std::string dir, path;
};

// A parameterised test's name: its row's.
struct RowName {
    template <class Row>
    std::string operator()(const ::testing::TestParamInfo<Row>& info) const {
        return info.param.name;
    }
};

// Counts `text` with both implementations; fails the test if they differ.
inline LogCounts CountChecked(std::string_view text, std::size_t blockSize = 0) {
    TempFile file(text);
    LogCounts t = CountFile(file.path, blockSize);
    EXPECT_EQ(Differences(t, reference::CountText(text), true), "") << "scanner/reference";
    EXPECT_EQ(Differences(FeedText(text, blockSize), reference::CountText(text), true), "")
        << "fed/reference";
    return t;
}

}  // namespace quorvane::testing
