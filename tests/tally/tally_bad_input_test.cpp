// Hostile and mistaken inputs: each gives the right counts or a clear typed error, never a
// hang or a crash, and the log handle is free afterwards.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <future>
#include <random>
#include <string>

#include "loggen.h"
#include "quorvane/errors.h"
#include "tally_support.h"

namespace quorvane {
namespace {

using testing::CountChecked;
using testing::CountFile;
using testing::SameAsReference;
using testing::Tallies;
using testing::TempDir;
using testing::TempFile;

constexpr std::size_t kBlock = LogLineScanner::kBlockSize;

// Every way into the log must refuse `path` with LogOpenError carrying `reason`.
void ExpectRefused(const std::string& path, const std::string& reason) {
    auto check = [&](const char* how, auto&& f) {
        SCOPED_TRACE(how);
        try {
            f();
            ADD_FAILURE() << path << " was accepted";
        } catch (const LogOpenError& e) {
            EXPECT_EQ(e.path(), path);
            EXPECT_EQ(e.reason(), reason);
            EXPECT_EQ(std::string(e.what()), "cannot open '" + path + "': " + reason);
        }
        EXPECT_FALSE(LogLineScanner::HandleHeld());
    };
    check("scanner", [&] {
        LogLineScanner log;
        log.Open(path);
    });
    check("continent", [&] {
        ContinentBandTally c;
        c.ScanContinentBands(path);
    });
    check("qsl", [&] {
        QslTally q;
        q.Count(path);
    });
}

std::string Log(loggen::LineEnd end = loggen::LineEnd::CRLF, std::uint64_t contacts = 400) {
    loggen::Options o;
    o.contacts = contacts;
    o.lineEnd = end;
    return loggen::Generate(o);
}

TEST(BadInput, MissingFile) {
    TempDir dir;
    ExpectRefused(dir.path() + "/x.adi", "No such file or directory");
}

TEST(BadInput, Directory) {
    TempDir dir;
    ExpectRefused(dir.path(), "Is a directory");
}

TEST(BadInput, FifoIsRefusedAtOnce) {
    TempDir dir;
    const std::string fifo = dir.path() + "/log.fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Run the refusal on a helper thread: if it blocked waiting for a writer, this test opens
    // the FIFO for writing to set it free and fails, instead of hanging the suite.
    auto refused =
        std::async(std::launch::async, [&] { ExpectRefused(fifo, "not a regular file"); });
    if (refused.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
        const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        ADD_FAILURE() << "opening a FIFO without a writer hangs";
        refused.wait();
        if (writer >= 0) ::close(writer);
    }
    // With a writer holding data in it, still refused.
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(::write(writer, "<BAND:3>20M <MODE:2>CW\r\n", 24), 24);
    ExpectRefused(fifo, "not a regular file");
    ::close(writer);
    ::close(reader);
}

TEST(BadInput, CharacterDevicesAreRefused) {
    ExpectRefused("/dev/null", "not a regular file");
    ExpectRefused("/dev/zero", "not a regular file");
}

TEST(BadInput, UnreadableFile) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "running as root, and file permissions do not bind root (CI runs as root)";
    TempFile file(Log());
    ASSERT_EQ(::chmod(file.path().c_str(), 0), 0);
    ExpectRefused(file.path(), "Permission denied");
}

TEST(BadInput, EmptyFile) {
    const Tallies t = CountChecked("");
    EXPECT_EQ(t.bandMode.Total + t.bandMode.OthersTotal, 0);
    EXPECT_EQ(t.qsl.PercentText(0), "-");
}

TEST(BadInput, TenMegabytesOfRandomBytes) {
    std::mt19937_64 rng(20240601);
    std::string bytes(10 * 1000 * 1000, '\0');
    for (std::size_t i = 0; i + 8 <= bytes.size(); i += 8) {
        const std::uint64_t r = rng();
        std::memcpy(&bytes[i], &r, 8);
    }
    CountChecked(bytes);
    EXPECT_FALSE(LogLineScanner::HandleHeld());
}

TEST(BadInput, NulBytesInsideLines) {
    using namespace std::string_literals;
    Tallies t = CountChecked(
        "\0\0<BAND:3>20M\0<MODE:2>CW\0<CONT:2>EU\0\r\n"s
        "<BAND:3>4\0M <MODE:2>CW\r\n"s
        "<QSL_SENT:1>Y\0\0\0\n\0"s);
    EXPECT_EQ(t.bandMode.C20, 1);
    EXPECT_EQ(t.bandMode.OthersTotal, 1);
    EXPECT_EQ(t.continent.EU20, 1);
    EXPECT_EQ(t.qsl.QslSent, 1);
    EXPECT_EQ(t.bandMode.mystr, "\0"s);
}

std::string Utf16(const std::string& ascii, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char c : ascii) {
        if (bigEndian) out += '\0';
        out += c;
        if (!bigEndian) out += '\0';
    }
    return out;
}

TEST(BadInput, Utf16LogCountsNothing) {
    for (bool bigEndian : {false, true}) {
        const Tallies t = CountChecked(Utf16(Log(loggen::LineEnd::CRLF, 300), bigEndian));
        EXPECT_EQ(t.bandMode.Total, 0);
        EXPECT_EQ(t.bandMode.OthersTotal, 0);
        for (std::size_t c = 0; c < kContinentCount; ++c)
            EXPECT_EQ(t.continent.*ContinentBandTally::kTotals[c], 0);
        for (std::size_t f = 0; f < kQslFieldCount; ++f) EXPECT_EQ(t.qsl.Counter(f), 0);
    }
}

TEST(BadInput, Utf8ByteOrderMarkLeavesTheFirstLineCounted) {
    const Tallies t = CountChecked(
        "\xEF\xBB\xBF<BAND:3>20M <MODE:2>CW <CONT:2>EU <QSL_SENT:1>Y <EOR>\r\n"
        "<BAND:3>40M <MODE:3>SSB <EOR>\r\n");
    EXPECT_EQ(t.bandMode.C20, 1);
    EXPECT_EQ(t.bandMode.S40, 1);
    EXPECT_EQ(t.continent.EU20, 1);
    EXPECT_EQ(t.qsl.QslSent, 1);
}

TEST(BadInput, FileWithoutLineBreaks) {
    std::string log = Log(loggen::LineEnd::LF, 12000);  // about 3.5 MB
    for (char& c : log)
        if (c == '\n') c = ' ';
    const Tallies t = CountChecked(log);
    EXPECT_EQ(t.bandMode.Total + t.bandMode.OthersTotal, 1);
    EXPECT_EQ(t.bandMode.mystr.size(), LogLineScanner::kLastLineLimit);
}

TEST(BadInput, OnlyLineBreaks) {
    Tallies t = CountChecked(std::string(kBlock + 17, '\n'));
    EXPECT_EQ(t.bandMode.mystr, "");
    t = CountChecked(std::string(kBlock + 3, '\r'));
    t = CountChecked(std::string(300000, '<'));
}

TEST(BadInput, LinesOfSeveralMebibytes) {
    std::string text;
    const std::string pad(4 * 1024 * 1024, 'q');
    text += "<BAND:3>20M" + pad + "<MODE:2>CW\r\n";
    text += pad + "<BAND:3>30M <CONT:2>AN" + pad + "<MODE:4>RTTY\n";
    text += "<BAND:2>6M <MODE:2>AM" + pad;
    const Tallies t = CountChecked(text);
    EXPECT_EQ(t.bandMode.C20, 1);
    EXPECT_EQ(t.bandMode.R30, 1);
    EXPECT_EQ(t.bandMode.S6, 1);
    EXPECT_EQ(t.continent.AN30, 1);
}

// ---- a log that changes while it is read

// Counts with the band/mode scan and the continent scan, running `change` at the first yield.
template <class Change>
std::pair<BandModeTally, ContinentBandTally> CountChanging(const TempFile& file,
                                                           const std::string& original,
                                                           Change change) {
    std::pair<BandModeTally, ContinentBandTally> out;
    file.Write(original);
    bool changed = false;
    auto hook = [&] {
        if (!changed) change();
        changed = true;
        return true;
    };
    LogLineScanner log;
    log.Open(file.path());
    EXPECT_TRUE(out.first.Scan(log, hook));
    log.Close();
    out.first.FormTotals();
    file.Write(original);
    changed = false;
    EXPECT_TRUE(out.second.ScanContinentBands(file.path(), {{}, hook, {}}));
    for (int c = 1; c <= 7; ++c) out.second.ContinentTotal(c);
    EXPECT_FALSE(LogLineScanner::HandleHeld());
    return out;
}

// What was read: the tallies match the reference on exactly those bytes.
void ExpectCounted(const std::pair<BandModeTally, ContinentBandTally>& got,
                   const std::string& read) {
    Tallies t;
    t.bandMode = got.first;
    t.continent = got.second;
    const reference::Counts ref = reference::CountText(read);
    // The QSL tally is not run here (it never yields); take its counts as given.
    for (std::size_t f = 0; f < kQslFieldCount; ++f)
        t.qsl.Counter(f) = static_cast<std::int32_t>(ref.qsl.at(reference::QslCounterNames()[f]));
    EXPECT_TRUE(SameAsReference(t, ref));
}

TEST(ChangingLog, ShrinkingWhileScannedCountsWhatWasRead) {
    const std::string log = Log(loggen::LineEnd::CRLF, 3000);
    ASSERT_GT(log.size(), 3 * kBlock);
    TempFile file;
    const auto got =
        CountChanging(file, log, [&] { ASSERT_EQ(::truncate(file.path().c_str(), 1000), 0); });
    ExpectCounted(got, log.substr(0, kBlock));
}

TEST(ChangingLog, TruncatedToNothingWhileScanned) {
    const std::string log = Log(loggen::LineEnd::LF, 3000);
    TempFile file;
    const auto got =
        CountChanging(file, log, [&] { ASSERT_EQ(::truncate(file.path().c_str(), 0), 0); });
    ExpectCounted(got, log.substr(0, kBlock));
}

TEST(ChangingLog, GrowingWhileScannedCountsTheNewLines) {
    const std::string log = Log(loggen::LineEnd::Mixed, 2000);
    loggen::Options more;
    more.seed = 99;
    more.header = false;
    more.contacts = 700;
    const std::string added = loggen::Generate(more);
    TempFile file;
    const auto got = CountChanging(file, log, [&] { file.Append(added); });
    ExpectCounted(got, log + added);
}

TEST(ChangingLog, DeletedWhileScannedIsReadToTheEnd) {
    const std::string log = Log(loggen::LineEnd::CR, 3000);
    TempFile file;
    const auto got = CountChanging(file, log, [&] { ::unlink(file.path().c_str()); });
    ExpectCounted(got, log);
}

}  // namespace
}  // namespace quorvane
